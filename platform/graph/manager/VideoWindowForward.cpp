#include "platform/graph/manager/VideoWindowForward.h"

#include "platform/graph/manager/FilterGraph.h"

namespace quvo::graph {

ComPtr<IVideoWindow> GraphVideoWindow::Target()
{
    ComPtr<IVideoWindow> window;
    if (ComPtr<IUnknown> filter = graph_.FirstFilterWith(IID_IVideoWindow)) filter->QueryInterface(IID_IVideoWindow, window.ReleaseAndGetVoidAddressOf());
    return window;
}

HRESULT GraphVideoWindow::put_Caption(LPCWSTR caption)
{
    ComPtr<IVideoWindow> forward = Target();
    return forward ? forward->put_Caption(caption) : E_NOINTERFACE;
}

HRESULT GraphVideoWindow::get_Caption(LPWSTR* caption)
{
    ComPtr<IVideoWindow> forward = Target();
    return forward ? forward->get_Caption(caption) : E_NOINTERFACE;
}

HRESULT GraphVideoWindow::put_WindowStyle(LONG style)
{
    ComPtr<IVideoWindow> forward = Target();
    return forward ? forward->put_WindowStyle(style) : E_NOINTERFACE;
}

HRESULT GraphVideoWindow::get_WindowStyle(LONG* style)
{
    ComPtr<IVideoWindow> forward = Target();
    return forward ? forward->get_WindowStyle(style) : E_NOINTERFACE;
}

HRESULT GraphVideoWindow::put_WindowStyleEx(LONG style)
{
    ComPtr<IVideoWindow> forward = Target();
    return forward ? forward->put_WindowStyleEx(style) : E_NOINTERFACE;
}

HRESULT GraphVideoWindow::get_WindowStyleEx(LONG* style)
{
    ComPtr<IVideoWindow> forward = Target();
    return forward ? forward->get_WindowStyleEx(style) : E_NOINTERFACE;
}

HRESULT GraphVideoWindow::put_AutoShow(LONG autoShow)
{
    ComPtr<IVideoWindow> forward = Target();
    return forward ? forward->put_AutoShow(autoShow) : E_NOINTERFACE;
}

HRESULT GraphVideoWindow::get_AutoShow(LONG* autoShow)
{
    ComPtr<IVideoWindow> forward = Target();
    return forward ? forward->get_AutoShow(autoShow) : E_NOINTERFACE;
}

HRESULT GraphVideoWindow::put_WindowState(LONG state)
{
    ComPtr<IVideoWindow> forward = Target();
    return forward ? forward->put_WindowState(state) : E_NOINTERFACE;
}

HRESULT GraphVideoWindow::get_WindowState(LONG* state)
{
    ComPtr<IVideoWindow> forward = Target();
    return forward ? forward->get_WindowState(state) : E_NOINTERFACE;
}

HRESULT GraphVideoWindow::put_Visible(LONG visible)
{
    ComPtr<IVideoWindow> forward = Target();
    return forward ? forward->put_Visible(visible) : E_NOINTERFACE;
}

HRESULT GraphVideoWindow::get_Visible(LONG* visible)
{
    ComPtr<IVideoWindow> forward = Target();
    return forward ? forward->get_Visible(visible) : E_NOINTERFACE;
}

HRESULT GraphVideoWindow::put_Left(LONG left)
{
    ComPtr<IVideoWindow> forward = Target();
    return forward ? forward->put_Left(left) : E_NOINTERFACE;
}

HRESULT GraphVideoWindow::get_Left(LONG* left)
{
    ComPtr<IVideoWindow> forward = Target();
    return forward ? forward->get_Left(left) : E_NOINTERFACE;
}

HRESULT GraphVideoWindow::put_Width(LONG width)
{
    ComPtr<IVideoWindow> forward = Target();
    return forward ? forward->put_Width(width) : E_NOINTERFACE;
}

HRESULT GraphVideoWindow::get_Width(LONG* width)
{
    ComPtr<IVideoWindow> forward = Target();
    return forward ? forward->get_Width(width) : E_NOINTERFACE;
}

HRESULT GraphVideoWindow::put_Top(LONG top)
{
    ComPtr<IVideoWindow> forward = Target();
    return forward ? forward->put_Top(top) : E_NOINTERFACE;
}

HRESULT GraphVideoWindow::get_Top(LONG* top)
{
    ComPtr<IVideoWindow> forward = Target();
    return forward ? forward->get_Top(top) : E_NOINTERFACE;
}

HRESULT GraphVideoWindow::put_Height(LONG height)
{
    ComPtr<IVideoWindow> forward = Target();
    return forward ? forward->put_Height(height) : E_NOINTERFACE;
}

HRESULT GraphVideoWindow::get_Height(LONG* height)
{
    ComPtr<IVideoWindow> forward = Target();
    return forward ? forward->get_Height(height) : E_NOINTERFACE;
}

HRESULT GraphVideoWindow::put_Owner(OAHWND owner)
{
    ComPtr<IVideoWindow> forward = Target();
    return forward ? forward->put_Owner(owner) : E_NOINTERFACE;
}

HRESULT GraphVideoWindow::get_Owner(OAHWND* owner)
{
    ComPtr<IVideoWindow> forward = Target();
    return forward ? forward->get_Owner(owner) : E_NOINTERFACE;
}

HRESULT GraphVideoWindow::put_MessageDrain(OAHWND drain)
{
    ComPtr<IVideoWindow> forward = Target();
    return forward ? forward->put_MessageDrain(drain) : E_NOINTERFACE;
}

HRESULT GraphVideoWindow::get_MessageDrain(OAHWND* drain)
{
    ComPtr<IVideoWindow> forward = Target();
    return forward ? forward->get_MessageDrain(drain) : E_NOINTERFACE;
}

HRESULT GraphVideoWindow::get_BorderColor(LONG* color)
{
    ComPtr<IVideoWindow> forward = Target();
    return forward ? forward->get_BorderColor(color) : E_NOINTERFACE;
}

HRESULT GraphVideoWindow::put_BorderColor(LONG color)
{
    ComPtr<IVideoWindow> forward = Target();
    return forward ? forward->put_BorderColor(color) : E_NOINTERFACE;
}

HRESULT GraphVideoWindow::get_FullScreenMode(LONG* mode)
{
    ComPtr<IVideoWindow> forward = Target();
    return forward ? forward->get_FullScreenMode(mode) : E_NOINTERFACE;
}

HRESULT GraphVideoWindow::put_FullScreenMode(LONG mode)
{
    ComPtr<IVideoWindow> forward = Target();
    return forward ? forward->put_FullScreenMode(mode) : E_NOINTERFACE;
}

HRESULT GraphVideoWindow::SetWindowForeground(LONG focus)
{
    ComPtr<IVideoWindow> forward = Target();
    return forward ? forward->SetWindowForeground(focus) : E_NOINTERFACE;
}

HRESULT GraphVideoWindow::NotifyOwnerMessage(OAHWND window, LONG msg, LONG_PTR wParam, LONG_PTR lParam)
{
    ComPtr<IVideoWindow> forward = Target();
    return forward ? forward->NotifyOwnerMessage(window, msg, wParam, lParam) : E_NOINTERFACE;
}

HRESULT GraphVideoWindow::SetWindowPosition(LONG left, LONG top, LONG width, LONG height)
{
    ComPtr<IVideoWindow> forward = Target();
    return forward ? forward->SetWindowPosition(left, top, width, height) : E_NOINTERFACE;
}

HRESULT GraphVideoWindow::GetWindowPosition(LONG* left, LONG* top, LONG* width, LONG* height)
{
    ComPtr<IVideoWindow> forward = Target();
    return forward ? forward->GetWindowPosition(left, top, width, height) : E_NOINTERFACE;
}

HRESULT GraphVideoWindow::GetMinIdealImageSize(LONG* width, LONG* height)
{
    ComPtr<IVideoWindow> forward = Target();
    return forward ? forward->GetMinIdealImageSize(width, height) : E_NOINTERFACE;
}

HRESULT GraphVideoWindow::GetMaxIdealImageSize(LONG* width, LONG* height)
{
    ComPtr<IVideoWindow> forward = Target();
    return forward ? forward->GetMaxIdealImageSize(width, height) : E_NOINTERFACE;
}

HRESULT GraphVideoWindow::GetRestorePosition(LONG* left, LONG* top, LONG* width, LONG* height)
{
    ComPtr<IVideoWindow> forward = Target();
    return forward ? forward->GetRestorePosition(left, top, width, height) : E_NOINTERFACE;
}

HRESULT GraphVideoWindow::HideCursor(LONG hide)
{
    ComPtr<IVideoWindow> forward = Target();
    return forward ? forward->HideCursor(hide) : E_NOINTERFACE;
}

HRESULT GraphVideoWindow::IsCursorHidden(LONG* hidden)
{
    ComPtr<IVideoWindow> forward = Target();
    return forward ? forward->IsCursorHidden(hidden) : E_NOINTERFACE;
}

}  // namespace quvo::graph
