#include "platform/graph/devices/InstanceKey.h"

#include "platform/com/HResult.h"

namespace quvo::graph {

std::string CategoryInstancesPath(const GUID& category)
{
    return "CLSID\\" + GuidToString(category) + "\\Instance";
}

std::string InstancePath(const GUID& category, const std::string& instance)
{
    return CategoryInstancesPath(category) + "\\" + instance;
}

HRESULT HResultFromRegistry(LONG status)
{
    return status == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(static_cast<std::uint32_t>(status));
}

}  // namespace quvo::graph
