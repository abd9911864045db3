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

// A setting kept for the next picture, written and read under the window lock.
template <class T>
HRESULT Store(std::mutex& windowLock, T& setting, T value)
{
    std::lock_guard lock(windowLock);
    setting = value;
    return S_OK;
}

template <class T>
HRESULT Load(std::mutex& windowLock, const T& setting, T* out)
{
    std::lock_guard lock(windowLock);
    return Out(out, setting);
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

HRESULT VideoRenderer::put_WindowStyle(LONG style) { return Store(windowLock_, window_.style, style); }
HRESULT VideoRenderer::get_WindowStyle(LONG* style) { return Load(windowLock_, window_.style, style); }
HRESULT VideoRenderer::put_WindowStyleEx(LONG style) { return Store(windowLock_, window_.styleEx, style); }
HRESULT VideoRenderer::get_WindowStyleEx(LONG* style) { return Load(windowLock_, window_.styleEx, style); }

HRESULT VideoRenderer::put_AutoShow(LONG autoShow)
{
    return IsBoolean(autoShow) ? Store(windowLock_, window_.autoShow, autoShow) : E_INVALIDARG;
}

HRESULT VideoRenderer::get_AutoShow(LONG* autoShow) { return Load(windowLock_, window_.autoShow, autoShow); }
HRESULT VideoRenderer::put_WindowState(LONG state) { return Store(windowLock_, window_.windowState, state); }
HRESULT VideoRenderer::get_WindowState(LONG* state) { return Load(windowLock_, window_.windowState, state); }

HRESULT VideoRenderer::put_Visible(LONG visible)
{
    if (!IsBoolean(visible)) return E_INVALIDARG;
    std::lock_guard lock(windowLock_);
    window_.visible = visible;
    if (ownWindow_) ownWindow_->SetVisible(visible == OATRUE);
    return S_OK;
}

HRESULT VideoRenderer::get_Visible(LONG* visible) { return Load(windowLock_, window_.visible, visible); }
HRESULT VideoRenderer::put_Left(LONG left) { return Store(windowLock_, window_.left, left); }
HRESULT VideoRenderer::get_Left(LONG* left) { return Load(windowLock_, window_.left, left); }

HRESULT VideoRenderer::put_Width(LONG width)
{
    return width >= 0 ? Store(windowLock_, window_.width, width) : E_INVALIDARG;
}

HRESULT VideoRenderer::get_Width(LONG* width)
{
    std::lock_guard lock(windowLock_);
    return Out(width, window_.width > 0 ? window_.width : static_cast<LONG>(width_));
}

HRESULT VideoRenderer::put_Top(LONG top) { return Store(windowLock_, window_.top, top); }
HRESULT VideoRenderer::get_Top(LONG* top) { return Load(windowLock_, window_.top, top); }

HRESULT VideoRenderer::put_Height(LONG height)
{
    return height >= 0 ? Store(windowLock_, window_.height, height) : E_INVALIDARG;
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

HRESULT VideoRenderer::put_MessageDrain(OAHWND drain) { return Store(windowLock_, window_.drain, drain); }
HRESULT VideoRenderer::get_MessageDrain(OAHWND* drain) { return Load(windowLock_, window_.drain, drain); }
HRESULT VideoRenderer::get_BorderColor(LONG* color) { return Load(windowLock_, window_.borderColor, color); }
HRESULT VideoRenderer::put_BorderColor(LONG color) { return Store(windowLock_, window_.borderColor, color); }
HRESULT VideoRenderer::get_FullScreenMode(LONG* mode) { return Load(windowLock_, window_.fullScreen, mode); }

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
    return IsBoolean(hide) ? Store(windowLock_, window_.cursorHidden, hide) : E_INVALIDARG;
}

HRESULT VideoRenderer::IsCursorHidden(LONG* hidden) { return Load(windowLock_, window_.cursorHidden, hidden); }

}  // namespace quvo::filters
