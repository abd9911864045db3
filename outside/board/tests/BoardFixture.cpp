#include "outside/board/tests/BoardFixture.h"

#include <dlfcn.h>

#include <cstdlib>

#include "platform/com/Runtime.h"
#include "platform/com/Variant.h"
#include "platform/graph/Guids.h"

namespace quvo::board::test {
namespace {

void RegisterModule()
{
    static bool done = false;
    if (done) return;
    const char* dir = std::getenv("QUVO_MODULE_DIR");
    ASSERT_NE(dir, nullptr) << "QUVO_MODULE_DIR names the built modules";
    const std::string path = std::string(dir) + "/KestorBoard.so";
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    auto reg = reinterpret_cast<DllRegisterServerFn>(dlsym(module, "DllRegisterServer"));
    ASSERT_NE(reg, nullptr);
    ASSERT_EQ(reg(), S_OK);
    done = true;
    // The module stays loaded for the process; the runtime loads its own handle.
}

std::string Narrow(const WCHAR* w)
{
    std::string s;
    for (; w && *w; ++w) s.push_back(static_cast<char>(*w));
    return s;
}

template <class Fn>
void ForEachDevice(Fn fn)
{
    ComPtr<ICreateDevEnum> devEnum;
    if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                devEnum.ReleaseAndGetVoidAddressOf())))
        return;
    ComPtr<IEnumMoniker> monikers;
    if (devEnum->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, &monikers, 0) != S_OK) return;
    ComPtr<IMoniker> m;
    while (monikers->Next(1, &m, nullptr) == S_OK) {
        ComPtr<IPropertyBag> bag;
        if (FAILED(m->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.ReleaseAndGetVoidAddressOf()))) continue;
        VARIANT v;
        VariantInit(&v);
        if (SUCCEEDED(bag->Read(u"FriendlyName", &v, nullptr)) && v.vt == VT_BSTR) {
            const std::string name = Narrow(v.bstrVal);
            VariantClear(&v);
            if (!fn(name, m.Get())) return;
        }
    }
}

}  // namespace

std::vector<std::string> VideoInputDevices()
{
    std::vector<std::string> names;
    ForEachDevice([&](const std::string& n, IMoniker*) {
        names.push_back(n);
        return true;
    });
    return names;
}

ComPtr<IBaseFilter> BindDevice(const std::string& name)
{
    ComPtr<IBaseFilter> filter;
    ForEachDevice([&](const std::string& n, IMoniker* m) {
        if (n != name) return true;
        m->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter.ReleaseAndGetVoidAddressOf());
        return false;
    });
    return filter;
}

void BoardTest::SetUp()
{
    CoInitialize(nullptr);
    ClearValues();
    RegisterModule();
}

void BoardTest::TearDown()
{
    ClearValues();
    CoUninitialize();
}

void BoardTest::ClearValues()
{
    for (const char* name : {value::kSignal, value::kLines, value::kSource, value::kSerialNumber,
                             value::kFailGetProperty, value::kFailSetProperty, value::kNoPropertySet,
                             value::kNoDecoder, value::kNoProcAmp, value::kNoCrossbar, value::kFailProcAmpRange,
                             value::kRefuseTvFormat, value::kPlaybackFile})
        DeleteValue(name);
}

HRESULT BoardTest::GetProperty(IKsPropertySet* ks, DWORD id, std::vector<BYTE>* buffer)
{
    buffer->assign(PropertyLength(id), 0);
    for (std::size_t i = 0; i < kPropertyHeader; ++i) (*buffer)[i] = static_cast<BYTE>(0xA0 + i);
    DWORD returned = 0;
    // The host passes one buffer as both instance and property data.
    return ks->Get(PROPSETID_EncoderDevice, id, buffer->data(), static_cast<DWORD>(buffer->size()), buffer->data(),
                   static_cast<DWORD>(buffer->size()), &returned);
}

HRESULT BoardTest::SetProperty(IKsPropertySet* ks, DWORD id, std::vector<BYTE>& buffer)
{
    return ks->Set(PROPSETID_EncoderDevice, id, buffer.data(), static_cast<DWORD>(buffer.size()), buffer.data(),
                   static_cast<DWORD>(buffer.size()));
}

std::uint32_t BoardTest::U32(const std::vector<BYTE>& b, std::size_t at)
{
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
           static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

void BoardTest::PutU32(std::vector<BYTE>& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<BYTE>(v >> (8 * i));
}

}  // namespace quvo::board::test

namespace quvo::board::test {

void BoardGraphTest::SetUp()
{
    BoardTest::SetUp();
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                               graph_.ReleaseAndGetVoidAddressOf()),
              S_OK);
    board_ = FreshFilter();
    ASSERT_TRUE(board_);
    ASSERT_EQ(graph_->AddFilter(board_.Get(), nullptr), S_OK);
}

void BoardGraphTest::TearDown()
{
    if (graph_) {
        if (ComPtr<IMediaControl> control = Control()) control->Stop();
    }
    graph_.Reset();
    board_.Reset();
    BoardTest::TearDown();
}

ComPtr<IPin> BoardGraphTest::BoardPin(PIN_DIRECTION dir)
{
    ComPtr<IEnumPins> pins;
    board_->EnumPins(&pins);
    ComPtr<IPin> pin;
    while (pins->Next(1, &pin, nullptr) == S_OK) {
        PIN_DIRECTION d;
        pin->QueryDirection(&d);
        if (d == dir) return pin;
    }
    return {};
}

ComPtr<IPin> BoardGraphTest::FirstPin(IBaseFilter* f)
{
    ComPtr<IEnumPins> pins;
    f->EnumPins(&pins);
    ComPtr<IPin> pin;
    pins->Next(1, &pin, nullptr);
    return pin;
}

ComPtr<IMediaControl> BoardGraphTest::Control()
{
    ComPtr<IMediaControl> control;
    graph_->QueryInterface(IID_IMediaControl, control.ReleaseAndGetVoidAddressOf());
    return control;
}

ComPtr<IMediaEvent> BoardGraphTest::Events()
{
    ComPtr<IMediaEvent> events;
    graph_->QueryInterface(IID_IMediaEvent, events.ReleaseAndGetVoidAddressOf());
    return events;
}

}  // namespace quvo::board::test
