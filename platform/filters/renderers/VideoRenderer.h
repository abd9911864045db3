// The Video Renderer (CLSID_VideoRenderer): RGB32 pictures presented by the graph
// clock. Where a picture goes:
//  - with an owner window (IVideoWindow::put_Owner, a window of the window table
//    that has a video surface): to that surface, at the rectangle given by
//    SetWindowPosition; in full-screen mode to the owner's whole client area (the
//    surface is the owner's, so "full screen" means filling the owner);
//  - without an owner, when a display exists: to a window of its own (SDL2), which
//    full-screen mode makes full screen;
//  - otherwise headless: nothing is shown, frames are still counted.
// IQualProp counts frames drawn and dropped; end of stream reaches the graph as
// EC_COMPLETE (CBaseRenderer).
//
// Locks: those of CBaseRenderer, plus windowLock, which guards the window settings
// and the own window: written by the application thread through IVideoWindow,
// read by the streaming thread in DoRenderSample. No surface call is made under it.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "platform/filters/renderers/SdlVideoWindow.h"
#include "platform/graph/MethodLists.h"
#include "platform/graph/base/BaseRenderer.h"
#include "platform/win32/Window.h"

namespace quvo::filters {

struct VideoWindowSettings {
    HWND owner = nullptr;
    LONG style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    LONG styleEx = 0;
    LONG left = 0, top = 0, width = 0, height = 0;  // 0 width: the picture's size
    LONG visible = OATRUE;
    LONG autoShow = OATRUE;
    LONG windowState = 1;  // shown normally
    LONG fullScreen = OAFALSE;
    LONG borderColor = 0;
    LONG cursorHidden = OAFALSE;
    OAHWND drain = 0;
    std::u16string caption = u"Video Renderer";
};

class VideoRenderer final : public CBaseRenderer, public IVideoWindow {
public:
    // The class table creates it (CreateComObject).
    VideoRenderer(IUnknown* outer, HRESULT* hr);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT SetMediaType(const CMediaType* mt) override;
    HRESULT DoRenderSample(IMediaSample* sample) override;
    HRESULT OnStartStreaming() override;
    HRESULT OnStopStreaming() override;

    // IVideoWindow (VideoWindowControl.cpp).
    QUVO_VIDEO_WINDOW_METHODS(QUVO_OVERRIDE_METHOD)

private:
    ~VideoRenderer() override;

    // Rectangle in the owner's client area the picture goes to (windowLock held).
    RECT DestinationLocked() const;
    // Creates or drops the own window to match the owner setting (windowLock held).
    void UpdateOwnWindowLocked();

    // Picture geometry from the connection type (filter lock; read while streaming).
    int width_ = 0;
    int height_ = 0;
    bool topDown_ = true;
    std::vector<std::uint8_t> flipped_;  // streaming thread: bottom-up pictures turned over

    mutable std::mutex windowLock_;
    VideoWindowSettings window_;
    bool streaming_ = false;
    std::unique_ptr<SdlVideoWindow> ownWindow_;
};

}  // namespace quvo::filters
