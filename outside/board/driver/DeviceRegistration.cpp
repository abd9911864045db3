#include "outside/board/driver/DeviceRegistration.h"

#include "outside/board/driver/BoardConfig.h"
#include "platform/com/ComPtr.h"
#include "platform/com/Runtime.h"
#include "platform/graph/DeviceInterfaces.h"
#include "platform/graph/Guids.h"
#include "platform/graph/Types.h"

namespace quvo::board {
namespace {

std::u16string Utf16(const std::string& s)
{
    // Names are ASCII or UTF-8; decode UTF-8 sequences to UTF-16.
    std::u16string out;
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        char32_t cp = c;
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        if (extra) cp = c & (0x3F >> extra);
        ++i;
        for (; extra > 0 && i < s.size(); --extra, ++i) cp = (cp << 6) | (static_cast<unsigned char>(s[i]) & 0x3F);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

// Keeps the component library started on this thread while it lives.
class ComScope {
public:
    ComScope() : hr_(CoInitialize(nullptr)) {}
    ~ComScope()
    {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT hr_;
};

const REGPINTYPES kStreamType = {&MEDIATYPE_Stream, &MEDIASUBTYPE_MPEG2_PROGRAM};
const REGFILTERPINS kPins[] = {
    {u"Capture", FALSE, TRUE, FALSE, FALSE, nullptr, nullptr, 1, &kStreamType},
    {u"Playback", TRUE, FALSE, FALSE, FALSE, nullptr, nullptr, 1, &kStreamType},
};
const REGFILTER2 kFilterData = {1, MERIT_DO_NOT_USE, 2, kPins};

HRESULT RemoveWith(IFilterMapper2* mapper, REFCLSID filter)
{
    std::vector<std::string> old;
    if (!ReadMultiString(value::kRegisteredDevices, &old)) return S_OK;
    for (const std::string& instance : old) {
        const std::u16string w = Utf16(instance);
        mapper->UnregisterFilter(&CLSID_VideoInputDeviceCategory, w.c_str(), filter);
    }
    DeleteValue(value::kRegisteredDevices);
    return S_OK;
}

}  // namespace

HRESULT RewriteDeviceInstances(REFCLSID filter, const std::vector<std::string>& names)
{
    ComScope com;
    ComPtr<IFilterMapper2> mapper;
    HRESULT hr = CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                                  mapper.ReleaseAndGetVoidAddressOf());
    if (FAILED(hr)) return hr;
    RemoveWith(mapper.Get(), filter);
    std::vector<std::string> written;
    for (std::size_t i = 0; i < names.size(); ++i) {
        // Instance keys of our own, so any friendly name (blanks included) is fine.
        const std::string instance = "Kestor Board " + std::to_string(i);
        const std::u16string w = Utf16(instance);
        const std::u16string name = Utf16(names[i]);
        hr = mapper->RegisterFilter(filter, name.c_str(), nullptr, &CLSID_VideoInputDeviceCategory, w.c_str(),
                                    &kFilterData);
        if (FAILED(hr)) break;
        written.push_back(instance);
    }
    if (!written.empty()) WriteMultiString(value::kRegisteredDevices, written);
    return FAILED(hr) ? hr : S_OK;
}

HRESULT RemoveDeviceInstances(REFCLSID filter)
{
    ComScope com;
    ComPtr<IFilterMapper2> mapper;
    HRESULT hr = CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                                  mapper.ReleaseAndGetVoidAddressOf());
    if (FAILED(hr)) return hr;
    return RemoveWith(mapper.Get(), filter);
}

}  // namespace quvo::board
