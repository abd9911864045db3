#include "platform/filters/renderers/VideoRenderer.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

#include "platform/com/Runtime.h"
#include "platform/graph/Guids.h"

namespace quvo::filters {

VideoRenderer::VideoRenderer(IUnknown* outer, HRESULT* phr)
    : CBaseRenderer(CLSID_VideoRenderer, "Video Renderer", outer, phr)
{
}

VideoRenderer::~VideoRenderer() = default;

HRESULT VideoRenderer::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_IVideoWindow) return GetInterface(static_cast<IVideoWindow*>(this), ppv);
    return CBaseRenderer::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT VideoRenderer::CheckMediaType(const CMediaType* mt)
{
    if (mt->majortype != MEDIATYPE_Video) return VFW_E_TYPE_NOT_ACCEPTED;
    if (mt->subtype != MEDIASUBTYPE_RGB32 && mt->subtype != MEDIASUBTYPE_ARGB32) return VFW_E_TYPE_NOT_ACCEPTED;
    if (mt->formattype != FORMAT_VideoInfo || !mt->Format() || mt->FormatLength() < sizeof(VIDEOINFOHEADER))
        return VFW_E_TYPE_NOT_ACCEPTED;
    VIDEOINFOHEADER vih;
    std::memcpy(&vih, mt->Format(), sizeof vih);
    const LONG w = vih.bmiHeader.biWidth;
    const LONG h = std::abs(vih.bmiHeader.biHeight);
    if (vih.bmiHeader.biBitCount != 32 || vih.bmiHeader.biCompression != BI_RGB) return VFW_E_TYPE_NOT_ACCEPTED;
    if (w <= 0 || h <= 0 || w > 8192 || h > 8192) return VFW_E_TYPE_NOT_ACCEPTED;
    return S_OK;
}

HRESULT VideoRenderer::SetMediaType(const CMediaType* mt)
{
    VIDEOINFOHEADER vih;
    std::memcpy(&vih, mt->Format(), sizeof vih);
    width_ = vih.bmiHeader.biWidth;
    height_ = std::abs(vih.bmiHeader.biHeight);
    topDown_ = vih.bmiHeader.biHeight < 0;
    return S_OK;
}

HRESULT VideoRenderer::OnStartStreaming()
{
    std::lock_guard lock(windowLock_);
    streaming_ = true;
    UpdateOwnWindowLocked();
    return S_OK;
}

HRESULT VideoRenderer::OnStopStreaming()
{
    std::unique_ptr<SdlVideoWindow> closing;
    {
        std::lock_guard lock(windowLock_);
        streaming_ = false;
        closing = std::move(ownWindow_);
    }
    return S_OK;  // the own window closes here, outside the lock
}

void VideoRenderer::UpdateOwnWindowLocked()
{
    const bool wanted = streaming_ && !window_.owner && width_ > 0 && SdlVideoWindow::DisplayAvailable();
    if (!wanted) {
        ownWindow_.reset();
        return;
    }
    if (!ownWindow_) {
        ownWindow_ = std::make_unique<SdlVideoWindow>(width_, height_);
        ownWindow_->SetFullScreen(window_.fullScreen == OATRUE);
        ownWindow_->SetVisible(window_.visible == OATRUE);
    }
}

RECT VideoRenderer::DestinationLocked() const
{
    RECT client{0, 0, 0, 0};
    if (window_.fullScreen == OATRUE && GetClientRect(window_.owner, &client) && client.right > 0)
        return client;
    const LONG w = window_.width > 0 ? window_.width : width_;
    const LONG h = window_.height > 0 ? window_.height : height_;
    // A host may place the picture anywhere, even near the ends of the coordinate
    // range: the far edge stops at the range's end rather than wrapping round.
    auto farEdge = [](LONG from, LONG size) {
        return static_cast<LONG>(std::min<std::int64_t>(std::int64_t{from} + size, std::numeric_limits<LONG>::max()));
    };
    return RECT{window_.left, window_.top, farEdge(window_.left, w), farEdge(window_.top, h)};
}

HRESULT VideoRenderer::DoRenderSample(IMediaSample* sample)
{
    BYTE* data = nullptr;
    if (FAILED(sample->GetPointer(&data)) || !data) return E_POINTER;
    const int stride = width_ * 4;
    if (sample->GetActualDataLength() < stride * height_) return S_FALSE;

    const std::uint8_t* top = data;
    if (!topDown_) {
        // The surfaces take pictures top row first.
        flipped_.resize(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height_));
        for (int y = 0; y < height_; ++y)
            std::memcpy(flipped_.data() + static_cast<std::size_t>(y) * stride,
                        data + static_cast<std::size_t>(height_ - 1 - y) * stride, static_cast<std::size_t>(stride));
        top = flipped_.data();
    }

    std::shared_ptr<IVideoSurface> surface;
    RECT dest{};
    bool visible = false;
    {
        std::lock_guard lock(windowLock_);
        visible = window_.visible == OATRUE;
        if (window_.owner) {
            surface = GetWindowVideoSurface(window_.owner);
            dest = DestinationLocked();
        } else if (ownWindow_ && visible) {
            ownWindow_->Present(top, stride);
            return S_OK;
        }
    }
    if (surface && visible) surface->PresentFrame(top, width_, height_, stride, dest);
    return S_OK;
}

}  // namespace quvo::filters
