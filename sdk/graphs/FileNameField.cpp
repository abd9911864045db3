#include "platform/win32/Text.h"
#include "sdk/graphs/GraphCommon.h"

namespace quvo::sdk {

bool StoreFileName(const char* ansiName, QUVO_WCHAR (&field)[260])
{
    if (MultiByteToWideChar(CP_ACP, 0, ansiName, -1, field, 260) == 0) return false;
    for (QUVO_WCHAR& c : field) {
        if (c == 0) break;
        if (c == u'\\') c = u'/';
    }
    return true;
}

}  // namespace quvo::sdk
