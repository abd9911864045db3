// The writer as a component object and a filter: the interfaces it answers and in
// what way (the pass-through made once, aggregation), its one pin, IFileSinkFilter,
// the WriterControl calls, and Receive across Pause, Run and Stop with real files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "filewriter/FileWriter.h"
#include "platform/com/ClassFactory.h"
#include "filewriter/tests/Samples.h"
#include "filewriter/tests/TestFiles.h"
#include "platform/com/Runtime.h"
#include "platform/graph/Guids.h"

namespace quvo::filewriter {
namespace {

using test::ReadBytes;
using test::ReadText;
using test::SamplePool;
using test::TempDir;

// A new writer, held by its own unknown.
ComPtr<IUnknown> NewWriter(IUnknown* outer = nullptr)
{
    HRESULT hr = S_OK;
    CUnknown* object = CreateComObject<FileWriter>(outer, &hr);
    ComPtr<IUnknown> unknown;
    if (object && SUCCEEDED(hr))
        object->NonDelegatingQueryInterface(IID_IUnknown, unknown.ReleaseAndGetVoidAddressOf());
    return unknown;
}

template <class T>
ComPtr<T> Query(IUnknown* object)
{
    ComPtr<T> out;
    object->QueryInterface(uuidof<T>(), out.ReleaseAndGetVoidAddressOf());
    return out;
}

std::vector<BYTE> Bytes(std::size_t n, BYTE seed)
{
    std::vector<BYTE> v(n);
    for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<BYTE>(seed * 31 + i);
    return v;
}

class FilterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        writer_ = NewWriter();
        ASSERT_TRUE(writer_);
        filter_ = Query<IBaseFilter>(writer_.Get());
        sink_ = Query<IFileSinkFilter>(writer_.Get());
        control_ = Query<WriterControl>(writer_.Get());
        ASSERT_TRUE(filter_ && sink_ && control_);
        ComPtr<IPin> pin;
        ASSERT_EQ(filter_->FindPin(u"Input", pin.ReleaseAndGetAddressOf()), S_OK);
        input_ = Query<IMemInputPin>(pin.Get());
        ASSERT_TRUE(input_);
    }

    HRESULT Receive(const std::vector<BYTE>& data)
    {
        ComPtr<IMediaSample> sample = pool_.Make(data);
        if (!sample) return E_FAIL;
        return input_->Receive(sample.Get());
    }

    TempDir dir_;
    SamplePool pool_{64 * 1024};
    ComPtr<IUnknown> writer_;
    ComPtr<IBaseFilter> filter_;
    ComPtr<IFileSinkFilter> sink_;
    ComPtr<WriterControl> control_;
    ComPtr<IMemInputPin> input_;
};

TEST_F(FilterTest, AnswersItsInterfacesOnOneIdentity)
{
    for (const IID* iid : {&IID_IFileSinkFilter, &IID_IBaseFilter, &IID_IMediaFilter, &IID_IPersist,
                           &IID_WriterControl, &IID_IMediaSeeking, &IID_IMediaPosition}) {
        ComPtr<IUnknown> itf;
        ASSERT_EQ(writer_->QueryInterface(*iid, itf.ReleaseAndGetVoidAddressOf()), S_OK) << GuidToString(*iid);
        ComPtr<IUnknown> identity;
        ASSERT_EQ(itf->QueryInterface(IID_IUnknown, identity.ReleaseAndGetVoidAddressOf()), S_OK);
        EXPECT_EQ(identity.Get(), writer_.Get()) << GuidToString(*iid);
    }
    ComPtr<IUnknown> none;
    EXPECT_EQ(writer_->QueryInterface(IID_IMemInputPin, none.ReleaseAndGetVoidAddressOf()), E_NOINTERFACE);
    EXPECT_EQ(writer_->QueryInterface(IID_IFileSinkFilter, nullptr), E_POINTER);
    EXPECT_EQ(writer_->QueryInterface(IID_IMediaSeeking, nullptr), E_POINTER);

    CLSID clsid{};
    EXPECT_EQ(filter_->GetClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_TavrinFileWriter);
}

TEST_F(FilterTest, PositionPassThroughIsMadeOnce)
{
    ComPtr<IMediaSeeking> first = Query<IMediaSeeking>(writer_.Get());
    ComPtr<IMediaSeeking> second = Query<IMediaSeeking>(writer_.Get());
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first.Get(), second.Get());
    // Unconnected: the pass-through has nobody to ask.
    DWORD caps = 0;
    EXPECT_EQ(first->GetCapabilities(&caps), VFW_E_NOT_CONNECTED);
}

TEST_F(FilterTest, OneInputPinThatTakesAnything)
{
    ComPtr<IEnumPins> pins;
    ASSERT_EQ(filter_->EnumPins(pins.ReleaseAndGetAddressOf()), S_OK);
    IPin* got[2] = {};
    ULONG fetched = 0;
    EXPECT_EQ(pins->Next(2, got, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 1u);
    ComPtr<IPin> pin;
    pin.Attach(got[0]);
    PIN_DIRECTION dir = PINDIR_OUTPUT;
    EXPECT_EQ(pin->QueryDirection(&dir), S_OK);
    EXPECT_EQ(dir, PINDIR_INPUT);
    PIN_INFO info{};
    ASSERT_EQ(pin->QueryPinInfo(&info), S_OK);
    EXPECT_EQ(std::u16string(info.achName), u"Input");
    if (info.pFilter) info.pFilter->Release();

    AM_MEDIA_TYPE anyType{};
    anyType.majortype = MEDIATYPE_Stream;
    anyType.subtype = MEDIASUBTYPE_MPEG2_PROGRAM;
    EXPECT_EQ(pin->QueryAccept(&anyType), S_OK);
    anyType.majortype = MEDIATYPE_Audio;
    EXPECT_EQ(pin->QueryAccept(&anyType), S_OK);
    ULONG count = 0;
    EXPECT_EQ(pin->QueryInternalConnections(nullptr, &count), E_NOTIMPL);
    EXPECT_EQ(input_->ReceiveCanBlock(), S_FALSE);
    EXPECT_EQ(input_->Receive(nullptr), E_POINTER);
}

// Aggregated: every IUnknown call on the writer's interfaces reaches the outer object.
TEST(FileWriterAggregation, DelegatesToTheOuterUnknown)
{
    struct Outer : IUnknown {
        HRESULT QueryInterface(REFIID riid, void** ppv) override
        {
            ++queries;
            if (riid == IID_IUnknown) {
                *ppv = this;
                return S_OK;
            }
            return inner ? inner->QueryInterface(riid, ppv) : E_NOINTERFACE;
        }
        ULONG AddRef() override { return static_cast<ULONG>(++refs); }
        ULONG Release() override { return static_cast<ULONG>(--refs); }
        int queries = 0;
        long refs = 1;
        IUnknown* inner = nullptr;
    } outer;

    HRESULT hr = S_OK;
    CUnknown* object = CreateComObject<FileWriter>(&outer, &hr);
    ASSERT_TRUE(object);
    ASSERT_EQ(hr, S_OK);
    ComPtr<IUnknown> inner;
    ASSERT_EQ(object->NonDelegatingQueryInterface(IID_IUnknown, inner.ReleaseAndGetVoidAddressOf()), S_OK);
    // The inner unknown holds the only reference to the writer; the outer one asks it.
    outer.inner = inner.Get();
    ComPtr<IBaseFilter> filter;
    ASSERT_EQ(inner->QueryInterface(IID_IBaseFilter, filter.ReleaseAndGetVoidAddressOf()), S_OK);
    long refsBefore = outer.refs;
    filter->AddRef();
    EXPECT_EQ(outer.refs, refsBefore + 1);
    filter->Release();
    ComPtr<WriterControl> control;
    EXPECT_EQ(filter->QueryInterface(IID_WriterControl, control.ReleaseAndGetVoidAddressOf()), S_OK);
    EXPECT_GE(outer.queries, 1);
    control.Reset();
    filter.Reset();
    EXPECT_EQ(outer.refs, 1);
    outer.inner = nullptr;
}

TEST_F(FilterTest, GetCurFileHandsOutACopy)
{
    LPWSTR name = reinterpret_cast<LPWSTR>(1);
    EXPECT_EQ(sink_->GetCurFile(nullptr, nullptr), E_POINTER);
    ASSERT_EQ(sink_->GetCurFile(&name, nullptr), S_OK);
    EXPECT_EQ(name, nullptr);

    ASSERT_EQ(sink_->SetFileName(dir_.Wide("cur.MZL").c_str(), nullptr), S_OK);
    AM_MEDIA_TYPE mt;
    std::memset(&mt, 0xAB, sizeof mt);
    ASSERT_EQ(sink_->GetCurFile(&name, &mt), S_OK);
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(std::u16string(name), dir_.Wide("cur.mpg"));
    CoTaskMemFree(name);
    EXPECT_EQ(mt.majortype, GUID_NULL);
    EXPECT_EQ(mt.subtype, GUID_NULL);
    EXPECT_EQ(mt.cbFormat, 0u);
    EXPECT_EQ(mt.pbFormat, nullptr);

    // After a split the current fragment's name.
    control_->SetFileSizeLimit(1);
    filter_->Run(0);
    EXPECT_EQ(Receive(Bytes(800, 1)), S_OK);
    EXPECT_EQ(Receive(Bytes(800, 2)), S_OK);
    ASSERT_EQ(sink_->GetCurFile(&name, nullptr), S_OK);
    EXPECT_EQ(std::u16string(name), dir_.Wide("cur_1.mpg"));
    CoTaskMemFree(name);
    filter_->Stop();
}

TEST_F(FilterTest, ReceiveWritesOnlyWhileAFragmentIsOpen)
{
    ASSERT_EQ(sink_->SetFileName(dir_.Wide("rx.mpg").c_str(), nullptr), S_OK);
    EXPECT_EQ(Receive(Bytes(100, 1)), S_OK);  // nothing open yet: dropped
    EXPECT_FALSE(test::Exists(dir_.File("rx.mpg")));
    EXPECT_EQ(control_->GetBytesStreamed(), 0u);

    ASSERT_EQ(filter_->Pause(), S_OK);
    EXPECT_TRUE(test::Exists(dir_.File("rx.mpg")));
    std::vector<BYTE> a = Bytes(1000, 2), b = Bytes(24, 3);
    EXPECT_EQ(Receive(a), S_OK);
    ASSERT_EQ(filter_->Run(0), S_OK);
    EXPECT_EQ(Receive(b), S_OK);
    ASSERT_EQ(filter_->Stop(), S_OK);
    EXPECT_EQ(Receive(Bytes(10, 4)), S_OK);  // closed again: dropped

    std::vector<BYTE> expected = a;
    expected.insert(expected.end(), b.begin(), b.end());
    EXPECT_EQ(ReadBytes(dir_.File("rx.mpg")), expected);
    EXPECT_EQ(ReadText(dir_.File("rx.mzl")), "TVMP\r\nrx.mpg;1024\r\n");
    EXPECT_EQ(control_->GetBytesStreamed(), 1024u);
    FILTER_STATE state = State_Running;
    EXPECT_EQ(filter_->GetState(0, &state), S_OK);
    EXPECT_EQ(state, State_Stopped);
}

TEST_F(FilterTest, CaptureLimitDropsUntilRunOrStartRecording)
{
    ASSERT_EQ(sink_->SetFileName(dir_.Wide("lim.mpg").c_str(), nullptr), S_OK);
    EXPECT_EQ(control_->SetCaptureLimit(1000), S_OK);
    filter_->Run(0);
    for (BYTE i = 1; i <= 4; ++i) EXPECT_EQ(Receive(Bytes(300, i)), S_OK);
    EXPECT_EQ(control_->GetBytesStreamed(), 1000u);
    EXPECT_EQ(Receive(Bytes(300, 5)), S_OK);  // accepted and dropped
    EXPECT_EQ(control_->GetBytesStreamed(), 1000u);
    filter_->Stop();
    EXPECT_EQ(test::FileSize(dir_.File("lim.mpg")), 1000);

    // A larger limit later: writing goes on from the next Run.
    EXPECT_EQ(control_->SetCaptureLimit(1500), S_OK);
    ASSERT_EQ(sink_->SetFileName(dir_.Wide("more.mpg").c_str(), nullptr), S_OK);
    filter_->Run(0);
    EXPECT_EQ(Receive(Bytes(800, 6)), S_OK);
    EXPECT_EQ(control_->GetBytesStreamed(), 1500u);
    filter_->Stop();
    EXPECT_EQ(test::FileSize(dir_.File("more.mpg")), 500);
}

TEST_F(FilterTest, RecordingOnTheFlyWhilePreviewRuns)
{
    control_->EnableCaptureOnTheFly();
    ASSERT_EQ(sink_->SetFileName(dir_.Wide("fly.mpg").c_str(), nullptr), S_OK);
    control_->SetFileSizeLimit(0);
    filter_->Run(0);
    std::vector<BYTE> gop = {0x00, 0x00, 0x01, 0xBA, 0x44, 0x00, 0x00, 0x01, 0xBB, 0x00, 0x06};
    gop.resize(600, 0x77);
    EXPECT_EQ(Receive(gop), S_OK);  // preview only
    EXPECT_EQ(control_->GetBytesStreamed(), 0u);
    EXPECT_EQ(control_->StartRecording(), S_OK);
    EXPECT_EQ(Receive(gop), S_OK);
    EXPECT_EQ(control_->StopRecording(), S_OK);
    EXPECT_EQ(Receive(gop), S_OK);
    filter_->Stop();
    EXPECT_EQ(ReadBytes(dir_.File("fly.mpg")), gop);
    EXPECT_EQ(ReadText(dir_.File("fly.mzl")), "TVMP\r\nfly.mpg;600\r\n");
    EXPECT_EQ(control_->GetBytesStreamed(), 600u);

    // The mode switched off: everything received is written.
    control_->DisableCaptureOnTheFly();
    ASSERT_EQ(sink_->SetFileName(dir_.Wide("all.mpg").c_str(), nullptr), S_OK);
    filter_->Run(0);
    std::vector<BYTE> plain(50, 0x11);
    EXPECT_EQ(Receive(plain), S_OK);
    filter_->Stop();
    EXPECT_EQ(ReadBytes(dir_.File("all.mpg")), plain);
}

}  // namespace
}  // namespace quvo::filewriter
