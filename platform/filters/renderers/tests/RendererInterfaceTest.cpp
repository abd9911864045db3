// The renderers through their interfaces, without streaming: the video renderer's
// IVideoWindow keeps and checks its settings (owner from the window table, full
// screen filling the owner's client area), IQualProp starts at zero; the audio
// renderer takes 16-bit PCM only and offers a clock that never goes back.
#include <gtest/gtest.h>

#include "platform/com/ComPtr.h"
#include "platform/com/Runtime.h"
#include "platform/graph/ControlInterfaces.h"
#include "platform/graph/Guids.h"
#include "platform/graph/base/MediaType.h"
#include "platform/win32/Window.h"

namespace quvo::filters {
namespace {

class RendererInterfaceTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(CoInitialize(nullptr), S_OK); }
    void TearDown() override { CoUninitialize(); }

    template <class T>
    ComPtr<T> Create(REFCLSID clsid)
    {
        ComPtr<T> p;
        EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, uuidof<T>(), p.ReleaseAndGetVoidAddressOf()),
                  S_OK);
        return p;
    }
};

TEST_F(RendererInterfaceTest, VideoWindowSettings)
{
    ComPtr<IVideoWindow> window = Create<IVideoWindow>(CLSID_VideoRenderer);
    ASSERT_TRUE(window);
    LONG value = 1;
    EXPECT_EQ(window->get_FullScreenMode(&value), S_OK);
    EXPECT_EQ(value, OAFALSE);
    EXPECT_EQ(window->get_Visible(&value), S_OK);
    EXPECT_EQ(value, OATRUE);
    OAHWND owner = 1;
    EXPECT_EQ(window->get_Owner(&owner), S_OK);
    EXPECT_EQ(owner, 0);

    EXPECT_EQ(window->put_Visible(5), E_INVALIDARG);
    EXPECT_EQ(window->put_FullScreenMode(2), E_INVALIDARG);
    EXPECT_EQ(window->SetWindowPosition(0, 0, -1, 10), E_INVALIDARG);
    EXPECT_EQ(window->put_Owner(0x1234), E_INVALIDARG);  // not a window of the table
    EXPECT_EQ(window->get_FullScreenMode(nullptr), E_POINTER);

    HWND host = RegisterWindow(nullptr, nullptr, nullptr, 640, 480);
    ASSERT_TRUE(host);
    EXPECT_EQ(window->put_Owner(reinterpret_cast<OAHWND>(host)), S_OK);
    EXPECT_EQ(window->get_Owner(&owner), S_OK);
    EXPECT_EQ(owner, reinterpret_cast<OAHWND>(host));
    EXPECT_EQ(window->put_WindowStyle(WS_CHILD), S_OK);
    EXPECT_EQ(window->get_WindowStyle(&value), S_OK);
    EXPECT_EQ(value, WS_CHILD);
    EXPECT_EQ(window->SetWindowPosition(8, 16, 320, 240), S_OK);
    LONG l = 0, t = 0, w = 0, h = 0;
    EXPECT_EQ(window->GetWindowPosition(&l, &t, &w, &h), S_OK);
    EXPECT_EQ(l, 8);
    EXPECT_EQ(t, 16);
    EXPECT_EQ(w, 320);
    EXPECT_EQ(h, 240);

    // Full screen with an owner: the owner's whole client area.
    EXPECT_EQ(window->put_FullScreenMode(OATRUE), S_OK);
    EXPECT_EQ(window->get_FullScreenMode(&value), S_OK);
    EXPECT_EQ(value, OATRUE);
    EXPECT_EQ(window->GetWindowPosition(&l, &t, &w, &h), S_OK);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    EXPECT_EQ(window->put_FullScreenMode(OAFALSE), S_OK);
    EXPECT_EQ(window->GetWindowPosition(&l, &t, &w, &h), S_OK);
    EXPECT_EQ(w, 320);

    EXPECT_EQ(window->put_Owner(0), S_OK);
    window.Reset();
    UnregisterWindow(host);
}

TEST_F(RendererInterfaceTest, QualityCountersStartAtZero)
{
    ComPtr<IQualProp> quality = Create<IQualProp>(CLSID_VideoRenderer);
    ASSERT_TRUE(quality);
    int n = -1;
    EXPECT_EQ(quality->get_FramesDrawn(&n), S_OK);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(quality->get_FramesDroppedInRenderer(&n), S_OK);
    EXPECT_EQ(n, 0);
}

CMediaType Pcm(WORD bits, WORD channels, DWORD rate)
{
    CMediaType mt;
    mt.SetType(&MEDIATYPE_Audio);
    mt.SetSubtype(&MEDIASUBTYPE_PCM);
    mt.SetFormatType(&FORMAT_WaveFormatEx);
    WAVEFORMATEX wfx{WAVE_FORMAT_PCM, channels, rate, rate * channels * bits / 8,
                     static_cast<WORD>(channels * bits / 8), bits, 0};
    mt.SetFormat(reinterpret_cast<const BYTE*>(&wfx), sizeof wfx);
    return mt;
}

TEST_F(RendererInterfaceTest, AudioRendererTypesAndClock)
{
    ComPtr<IBaseFilter> renderer = Create<IBaseFilter>(CLSID_DSoundRender);
    ASSERT_TRUE(renderer);
    ComPtr<IEnumPins> pins;
    ComPtr<IPin> input;
    ASSERT_EQ(renderer->EnumPins(&pins), S_OK);
    ASSERT_EQ(pins->Next(1, &input, nullptr), S_OK);
    const CMediaType stereo = Pcm(16, 2, 48000);
    const CMediaType eightBit = Pcm(8, 2, 48000);
    const CMediaType mono = Pcm(16, 1, 44100);
    EXPECT_EQ(input->QueryAccept(&stereo), S_OK);
    EXPECT_EQ(input->QueryAccept(&mono), S_OK);
    EXPECT_NE(input->QueryAccept(&eightBit), S_OK);

    ComPtr<IReferenceClock> clock;
    ASSERT_EQ(renderer->QueryInterface(IID_IReferenceClock, clock.ReleaseAndGetVoidAddressOf()), S_OK);
    // The clock is part of the renderer: same object.
    EXPECT_TRUE(IsSameObject(clock.Get(), renderer.Get()));
    REFERENCE_TIME last = 0;
    ASSERT_EQ(clock->GetTime(&last), S_OK);
    for (int i = 0; i < 1000; ++i) {
        REFERENCE_TIME now = 0;
        clock->GetTime(&now);
        EXPECT_GE(now, last);
        last = now;
    }
}

}  // namespace
}  // namespace quvo::filters
