// IVideoWindow of the video renderer: the settings are kept and applied to the
// next picture; the window itself belongs to the host (owner) or to the renderer.
#include "platform/filters/renderers/VideoRenderer.h"

#include "platform/com/NoThrow.h"
#include "platform/graph/base/WideText.h"

namespace quvo::filters {

namespace {

template <class T>
HRESULT Out(T* out, T value)
{
    if (!out) return E_POINTER;
    *out = value;
    return S_OK;
}

bool IsBoolean(LONG v) { return v == OATRUE || v == OAFALSE; }

}  // namespace

HRESULT VideoRenderer::put_Caption(LPCWSTR caption)
{
    if (!caption) return E_POINTER;
    std::lock_guard lock(windowLock_);
    window_.caption = caption;
    return S_OK;
}

HRESULT VideoRenderer::get_Caption(LPWSTR* caption)
{
    if (!caption) return E_POINTER;
    std::lock_guard lock(windowLock_);
    *caption = quvo::base::TaskMemString(window_.caption);
    return *caption ? S_OK : E_OUTOFMEMORY;
}

HRESULT VideoRenderer::put_WindowStyle(LONG style)
{
    std::lock_guard lock(windowLock_);
    window_.style = style;
    return S_OK;
}

HRESULT VideoRenderer::get_WindowStyle(LONG* style)
{
    std::lock_guard lock(windowLock_);
    return Out(style, window_.style);
}

HRESULT VideoRenderer::put_WindowStyleEx(LONG style)
{
    std::lock_guard lock(windowLock_);
    window_.styleEx = style;
    return S_OK;
}

HRESULT VideoRenderer::get_WindowStyleEx(LONG* style)
{
    std::lock_guard lock(windowLock_);
    return Out(style, window_.styleEx);
}

HRESULT VideoRenderer::put_AutoShow(LONG autoShow)
{
    if (!IsBoolean(autoShow)) return E_INVALIDARG;
    std::lock_guard lock(windowLock_);
    window_.autoShow = autoShow;
    return S_OK;
}

HRESULT VideoRenderer::get_AutoShow(LONG* autoShow)
{
    std::lock_guard lock(windowLock_);
    return Out(autoShow, window_.autoShow);
}

HRESULT VideoRenderer::put_WindowState(LONG state)
{
    std::lock_guard lock(windowLock_);
    window_.windowState = state;
    return S_OK;
}

HRESULT VideoRenderer::get_WindowState(LONG* state)
{
    std::lock_guard lock(windowLock_);
    return Out(state, window_.windowState);
}

HRESULT VideoRenderer::put_Visible(LONG visible)
{
    if (!IsBoolean(visible)) return E_INVALIDARG;
    std::lock_guard lock(windowLock_);
    window_.visible = visible;
    if (ownWindow_) ownWindow_->SetVisible(visible == OATRUE);
    return S_OK;
}

HRESULT VideoRenderer::get_Visible(LONG* visible)
{
    std::lock_guard lock(windowLock_);
    return Out(visible, window_.visible);
}

HRESULT VideoRenderer::put_Left(LONG left)
{
    std::lock_guard lock(windowLock_);
    window_.left = left;
    return S_OK;
}

HRESULT VideoRenderer::get_Left(LONG* left)
{
    std::lock_guard lock(windowLock_);
    return Out(left, window_.left);
}

HRESULT VideoRenderer::put_Width(LONG width)
{
    if (width < 0) return E_INVALIDARG;
    std::lock_guard lock(windowLock_);
    window_.width = width;
    return S_OK;
}

HRESULT VideoRenderer::get_Width(LONG* width)
{
    std::lock_guard lock(windowLock_);
    return Out(width, window_.width > 0 ? window_.width : static_cast<LONG>(width_));
}

HRESULT VideoRenderer::put_Top(LONG top)
{
    std::lock_guard lock(windowLock_);
    window_.top = top;
    return S_OK;
}

HRESULT VideoRenderer::get_Top(LONG* top)
{
    std::lock_guard lock(windowLock_);
    return Out(top, window_.top);
}

HRESULT VideoRenderer::put_Height(LONG height)
{
    if (height < 0) return E_INVALIDARG;
    std::lock_guard lock(windowLock_);
    window_.height = height;
    return S_OK;
}

HRESULT VideoRenderer::get_Height(LONG* height)
{
    std::lock_guard lock(windowLock_);
    return Out(height, window_.height > 0 ? window_.height : static_cast<LONG>(height_));
}

HRESULT VideoRenderer::put_Owner(OAHWND owner)
{
    HWND window = reinterpret_cast<HWND>(owner);
    if (window && !IsWindow(window)) return E_INVALIDARG;
    std::unique_ptr<SdlVideoWindow> closing;
    std::lock_guard lock(windowLock_);
    window_.owner = window;
    if (window) {
        closing = std::move(ownWindow_);
        return S_OK;
    }
    return quvo::NoThrow([this] {  // back to a window of its own
        UpdateOwnWindowLocked();
        return S_OK;
    });
}

HRESULT VideoRenderer::get_Owner(OAHWND* owner)
{
    std::lock_guard lock(windowLock_);
    return Out(owner, reinterpret_cast<OAHWND>(window_.owner));
}

HRESULT VideoRenderer::put_MessageDrain(OAHWND drain)
{
    std::lock_guard lock(windowLock_);
    window_.drain = drain;
    return S_OK;
}

HRESULT VideoRenderer::get_MessageDrain(OAHWND* drain)
{
    std::lock_guard lock(windowLock_);
    return Out(drain, window_.drain);
}

HRESULT VideoRenderer::get_BorderColor(LONG* color)
{
    std::lock_guard lock(windowLock_);
    return Out(color, window_.borderColor);
}

HRESULT VideoRenderer::put_BorderColor(LONG color)
{
    std::lock_guard lock(windowLock_);
    window_.borderColor = color;
    return S_OK;
}

HRESULT VideoRenderer::get_FullScreenMode(LONG* mode)
{
    std::lock_guard lock(windowLock_);
    return Out(mode, window_.fullScreen);
}

// With an owner, full screen fills the owner's whole client area (the surface is
// the host's); with the own window, that window goes full screen; headless, only
// the mode is kept.
HRESULT VideoRenderer::put_FullScreenMode(LONG mode)
{
    if (!IsBoolean(mode)) return E_INVALIDARG;
    std::lock_guard lock(windowLock_);
    window_.fullScreen = mode;
    if (ownWindow_) ownWindow_->SetFullScreen(mode == OATRUE);
    return S_OK;
}

HRESULT VideoRenderer::SetWindowForeground(LONG focus)
{
    return IsBoolean(focus) ? S_OK : E_INVALIDARG;
}

HRESULT VideoRenderer::NotifyOwnerMessage(OAHWND, LONG, LONG_PTR, LONG_PTR) { return S_OK; }

HRESULT VideoRenderer::SetWindowPosition(LONG left, LONG top, LONG width, LONG height)
{
    if (width < 0 || height < 0) return E_INVALIDARG;
    std::lock_guard lock(windowLock_);
    window_.left = left;
    window_.top = top;
    window_.width = width;
    window_.height = height;
    return S_OK;
}

HRESULT VideoRenderer::GetWindowPosition(LONG* left, LONG* top, LONG* width, LONG* height)
{
    if (!left || !top || !width || !height) return E_POINTER;
    std::lock_guard lock(windowLock_);
    const RECT r = DestinationLocked();
    *left = r.left;
    *top = r.top;
    *width = r.right - r.left;
    *height = r.bottom - r.top;
    return S_OK;
}

HRESULT VideoRenderer::GetMinIdealImageSize(LONG* width, LONG* height)
{
    if (!width || !height) return E_POINTER;
    *width = 1;
    *height = 1;
    return S_OK;
}

HRESULT VideoRenderer::GetMaxIdealImageSize(LONG* width, LONG* height)
{
    if (!width || !height) return E_POINTER;
    *width = 8192;
    *height = 8192;
    return S_OK;
}

HRESULT VideoRenderer::GetRestorePosition(LONG* left, LONG* top, LONG* width, LONG* height)
{
    if (!left || !top || !width || !height) return E_POINTER;
    std::lock_guard lock(windowLock_);
    *left = window_.left;
    *top = window_.top;
    *width = window_.width > 0 ? window_.width : width_;
    *height = window_.height > 0 ? window_.height : height_;
    return S_OK;
}

HRESULT VideoRenderer::HideCursor(LONG hide)
{
    if (!IsBoolean(hide)) return E_INVALIDARG;
    std::lock_guard lock(windowLock_);
    window_.cursorHidden = hide;
    return S_OK;
}

HRESULT VideoRenderer::IsCursorHidden(LONG* hidden)
{
    std::lock_guard lock(windowLock_);
    return Out(hidden, window_.cursorHidden);
}

}  // namespace quvo::filters
