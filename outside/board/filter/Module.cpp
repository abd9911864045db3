// The virtual board's module: its one class (the capture filter) and the
// registration that lists the board's devices in the video input category.
#include "outside/board/driver/BoardConfig.h"
#include "outside/board/driver/DeviceRegistration.h"
#include "interfaces/BoardInterfaces.h"
#include "outside/board/filter/CaptureFilter.h"
#include "platform/com/ClassFactory.h"

namespace {

const CFactoryTemplate kTemplates[] = {
    {u"Kestor MPEG Capture", &CLSID_KestorCaptureFilter, &CreateComObject<quvo::board::CaptureFilter>, nullptr, nullptr},
};

}  // namespace

QUVO_MODULE_CLASS_OBJECTS(kTemplates)

QUVO_MODULE_EXPORT HRESULT DllRegisterServer()
{
    HRESULT hr = ModuleRegisterClasses(kTemplates, static_cast<int>(std::size(kTemplates)), true);
    if (FAILED(hr)) return hr;
    return quvo::board::RewriteDeviceInstances(CLSID_KestorCaptureFilter, quvo::board::ConfiguredDevices());
}

QUVO_MODULE_EXPORT HRESULT DllUnregisterServer()
{
    quvo::board::RemoveDeviceInstances(CLSID_KestorCaptureFilter);
    return ModuleRegisterClasses(kTemplates, static_cast<int>(std::size(kTemplates)), false);
}
