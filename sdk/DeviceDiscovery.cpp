// Finding the board among the system's video capture devices by its friendly name,
// and opening its capture filter inside a new filter graph.
#include <cstring>
#include <memory>
#include <string>

#include "platform/com/Runtime.h"
#include "platform/com/Variant.h"
#include "platform/graph/Guids.h"
#include "platform/win32/Text.h"
#include "sdk/DebugLog.h"
#include "sdk/EncoderDevice.h"

namespace quvo::sdk {
namespace {

// The board's three models; the library treats them alike.
constexpr const char* kDeviceNames[] = {"Kestor Recorder A", "Kestor Recorder B", "Kestor Studio C"};

constexpr std::size_t kNameUnits = 259;  // the name fields hold 260 with the terminating zero

// The moniker's "FriendlyName", or false when its property bag or the value cannot be read.
bool ReadFriendlyName(IMoniker* moniker, std::u16string* name)
{
    ComPtr<IPropertyBag> bag;
    if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.ReleaseAndGetVoidAddressOf())) || !bag)
        return false;
    VARIANT value;
    VariantInit(&value);
    const bool ok = SUCCEEDED(bag->Read(u"FriendlyName", &value, nullptr)) && value.vt == VT_BSTR && value.bstrVal;
    if (ok) name->assign(value.bstrVal, text::WideLength(value.bstrVal));
    VariantClear(&value);
    return ok;
}

// The ANSI form, cut to what the field holds without splitting a character.
std::string ToAnsi(const std::u16string& name)
{
    std::string ansi = text::Utf16ToUtf8(name);
    if (ansi.size() > kNameUnits) {
        std::size_t cut = kNameUnits;
        while (cut > 0 && (static_cast<unsigned char>(ansi[cut]) & 0xC0) == 0x80) --cut;
        ansi.resize(cut);
    }
    return ansi;
}

}  // namespace

std::uint32_t EncoderDevice::DiscoverDevices()
{
    deviceFound = 0;
    std::uint32_t count = 0;
    ComPtr<ICreateDevEnum> devEnum;
    if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                devEnum.ReleaseAndGetVoidAddressOf())) ||
        !devEnum) {
        TheLog().Log(kLogError, 4, "System Device Enumerator Failed");
        return 0;
    }
    ComPtr<IEnumMoniker> monikers;
    // An empty category answers S_FALSE, which counts as a failure here.
    if (devEnum->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, &monikers, 0) != S_OK || !monikers) {
        TheLog().Log(kLogError, 4, "Video Capture Class Instance Failed");
        return 0;
    }
    monikers->Reset();
    ComPtr<IMoniker> moniker;
    while (monikers->Next(1, &moniker, nullptr) == S_OK) {
        std::u16string nameW;
        if (!moniker || !ReadFriendlyName(moniker.Get(), &nameW)) continue;
        if (nameW.size() > kNameUnits) nameW.resize(kNameUnits);
        const std::string nameA = ToAnsi(nameW);
        TheLog().Log(kLogPlain, 5, "Capture Device : %s Found", nameA.c_str());
        for (const char* known : kDeviceNames) {
            if (nameA != known) continue;
            ++count;
            std::memcpy(deviceNameA, nameA.c_str(), nameA.size() + 1);
            std::memcpy(deviceNameW, nameW.c_str(), (nameW.size() + 1) * sizeof(QUVO_WCHAR));
            TheLog().Log(kLogPlain, 1, "***Device %s Found***\n", nameA.c_str());
            // A later match replaces an earlier one; start-up then fails on the count.
            deviceMoniker = moniker;
            break;
        }
    }
    if (count == 1) deviceFound = 1;
    return count;
}

bool EncoderDevice::OpenCaptureFilters()
{
    DebugLog& log = TheLog();
    log.Log(kLogPlain, 5, "Instantiating Capture Filters....");
    if (!captureGraphBuilder &&
        FAILED(CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER, IID_ICaptureGraphBuilder2,
                                captureGraphBuilder.ReleaseAndGetVoidAddressOf()))) {
        log.Log(kLogError, 4, "Failed to create Graph Builder instance");
        log.Log(kLogError, 4, "Graph Builder failed to Instantiate.");
        return false;
    }
    ComPtr<IBaseFilter> filter;
    if (deviceMoniker)
        deviceMoniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter.ReleaseAndGetVoidAddressOf());
    captureFilter = filter;
    if (!captureFilter) {
        log.Log(kLogError, 4, "Video Capture Filter failed to Instantiate");
        return false;
    }
    log.Log(kLogPlain, 5, "Creating Filter Graph...");
    if (!graphBuilder && FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                                 graphBuilder.ReleaseAndGetVoidAddressOf()))) {
        log.Log(kLogError, 4, "Failed to create Filter Graph instance");
        log.Log(kLogError, 4, "Filtergraph Failed to Instantiate");
        return false;
    }
    log.Log(kLogPlain, 5, "Setting the Filter Graph to Builder...");
    if (FAILED(captureGraphBuilder->SetFiltergraph(graphBuilder.Get()))) {
        log.Log(kLogError, 4, "Set Filter Graph to Builder Failed.");
        return false;
    }
    if (FAILED(graphBuilder->AddFilter(captureFilter.Get(), nullptr))) {
        log.Log(kLogError, 4, "Add Capture Filter to Graph Failed.");
        return false;
    }
    if (FAILED(captureFilter.As(std::addressof(videoDecoderControl)))) {
        log.Log(kLogError, 5, "Failed to create Analog Video Decoder");
        return false;
    }
    if (FAILED(captureFilter.As(std::addressof(procAmp)))) {
        log.Log(kLogError, 5, "Failed to create Video Proc Amp");
        return false;
    }
    return true;
}

}  // namespace quvo::sdk
