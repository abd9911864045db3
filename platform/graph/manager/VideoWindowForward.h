// IVideoWindow of the graph manager: every call goes to the first filter of the
// graph that has a video window (the video renderer). With none, calls answer
// E_NOINTERFACE, as the framework's graph does while no renderer is present.
#pragma once

#include "platform/com/ComPtr.h"
#include "platform/graph/ControlInterfaces.h"

namespace quvo::graph {

class FilterGraph;

class GraphVideoWindow final : public IVideoWindow {
public:
    GraphVideoWindow(IUnknown* owner, FilterGraph& graph) : owner_(owner), graph_(graph) {}
    GraphVideoWindow(const GraphVideoWindow&) = delete;
    GraphVideoWindow& operator=(const GraphVideoWindow&) = delete;

    HRESULT QueryInterface(REFIID riid, void** ppv) override { return owner_->QueryInterface(riid, ppv); }
    ULONG AddRef() override { return owner_->AddRef(); }
    ULONG Release() override { return owner_->Release(); }

    HRESULT put_Caption(LPCWSTR caption) override;
    HRESULT get_Caption(LPWSTR* caption) override;
    HRESULT put_WindowStyle(LONG style) override;
    HRESULT get_WindowStyle(LONG* style) override;
    HRESULT put_WindowStyleEx(LONG style) override;
    HRESULT get_WindowStyleEx(LONG* style) override;
    HRESULT put_AutoShow(LONG autoShow) override;
    HRESULT get_AutoShow(LONG* autoShow) override;
    HRESULT put_WindowState(LONG state) override;
    HRESULT get_WindowState(LONG* state) override;
    HRESULT put_Visible(LONG visible) override;
    HRESULT get_Visible(LONG* visible) override;
    HRESULT put_Left(LONG left) override;
    HRESULT get_Left(LONG* left) override;
    HRESULT put_Width(LONG width) override;
    HRESULT get_Width(LONG* width) override;
    HRESULT put_Top(LONG top) override;
    HRESULT get_Top(LONG* top) override;
    HRESULT put_Height(LONG height) override;
    HRESULT get_Height(LONG* height) override;
    HRESULT put_Owner(OAHWND owner) override;
    HRESULT get_Owner(OAHWND* owner) override;
    HRESULT put_MessageDrain(OAHWND drain) override;
    HRESULT get_MessageDrain(OAHWND* drain) override;
    HRESULT get_BorderColor(LONG* color) override;
    HRESULT put_BorderColor(LONG color) override;
    HRESULT get_FullScreenMode(LONG* mode) override;
    HRESULT put_FullScreenMode(LONG mode) override;
    HRESULT SetWindowForeground(LONG focus) override;
    HRESULT NotifyOwnerMessage(OAHWND window, LONG msg, LONG_PTR wParam, LONG_PTR lParam) override;
    HRESULT SetWindowPosition(LONG left, LONG top, LONG width, LONG height) override;
    HRESULT GetWindowPosition(LONG* left, LONG* top, LONG* width, LONG* height) override;
    HRESULT GetMinIdealImageSize(LONG* width, LONG* height) override;
    HRESULT GetMaxIdealImageSize(LONG* width, LONG* height) override;
    HRESULT GetRestorePosition(LONG* left, LONG* top, LONG* width, LONG* height) override;
    HRESULT HideCursor(LONG hide) override;
    HRESULT IsCursorHidden(LONG* hidden) override;

private:
    // The renderer's window, looked up at each call: filters come and go.
    ComPtr<IVideoWindow> Target();

    IUnknown* owner_;
    FilterGraph& graph_;
};

}  // namespace quvo::graph
