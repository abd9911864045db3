// The video window and position interfaces have several implementations that mostly
// forward them (the video renderer, the renderers' upstream pass-through, the graph
// manager), so their methods are listed here once, M(name, (parameters), (arguments)),
// and each of those classes declares or forwards them from the list. `override` makes
// the compiler hold each list to its interface.
#pragma once

#include "platform/graph/ControlInterfaces.h"

#define QUVO_OVERRIDE_METHOD(name, params, args) HRESULT name params override;

#define QUVO_VIDEO_WINDOW_METHODS(M)                                                   \
    M(put_Caption, (LPCWSTR caption), (caption))                                       \
    M(get_Caption, (LPWSTR* caption), (caption))                                       \
    M(put_WindowStyle, (LONG style), (style))                                          \
    M(get_WindowStyle, (LONG* style), (style))                                         \
    M(put_WindowStyleEx, (LONG style), (style))                                        \
    M(get_WindowStyleEx, (LONG* style), (style))                                       \
    M(put_AutoShow, (LONG autoShow), (autoShow))                                       \
    M(get_AutoShow, (LONG* autoShow), (autoShow))                                      \
    M(put_WindowState, (LONG state), (state))                                          \
    M(get_WindowState, (LONG* state), (state))                                         \
    M(put_Visible, (LONG visible), (visible))                                          \
    M(get_Visible, (LONG* visible), (visible))                                         \
    M(put_Left, (LONG left), (left))                                                   \
    M(get_Left, (LONG* left), (left))                                                  \
    M(put_Width, (LONG width), (width))                                                \
    M(get_Width, (LONG* width), (width))                                               \
    M(put_Top, (LONG top), (top))                                                      \
    M(get_Top, (LONG* top), (top))                                                     \
    M(put_Height, (LONG height), (height))                                             \
    M(get_Height, (LONG* height), (height))                                            \
    M(put_Owner, (OAHWND owner), (owner))                                              \
    M(get_Owner, (OAHWND* owner), (owner))                                             \
    M(put_MessageDrain, (OAHWND drain), (drain))                                       \
    M(get_MessageDrain, (OAHWND* drain), (drain))                                      \
    M(get_BorderColor, (LONG* color), (color))                                         \
    M(put_BorderColor, (LONG color), (color))                                          \
    M(get_FullScreenMode, (LONG* mode), (mode))                                        \
    M(put_FullScreenMode, (LONG mode), (mode))                                         \
    M(SetWindowForeground, (LONG focus), (focus))                                      \
    M(NotifyOwnerMessage, (OAHWND window, LONG msg, LONG_PTR wParam, LONG_PTR lParam), \
      (window, msg, wParam, lParam))                                                   \
    M(SetWindowPosition, (LONG left, LONG top, LONG width, LONG height),               \
      (left, top, width, height))                                                      \
    M(GetWindowPosition, (LONG* left, LONG* top, LONG* width, LONG* height),           \
      (left, top, width, height))                                                      \
    M(GetMinIdealImageSize, (LONG* width, LONG* height), (width, height))              \
    M(GetMaxIdealImageSize, (LONG* width, LONG* height), (width, height))              \
    M(GetRestorePosition, (LONG* left, LONG* top, LONG* width, LONG* height),          \
      (left, top, width, height))                                                      \
    M(HideCursor, (LONG hide), (hide))                                                 \
    M(IsCursorHidden, (LONG* hidden), (hidden))

#define QUVO_MEDIA_SEEKING_METHODS(M)                                                                             \
    M(GetCapabilities, (DWORD* caps), (caps))                                                                     \
    M(CheckCapabilities, (DWORD* caps), (caps))                                                                   \
    M(IsFormatSupported, (const GUID* format), (format))                                                          \
    M(QueryPreferredFormat, (GUID* format), (format))                                                             \
    M(GetTimeFormat, (GUID* format), (format))                                                                    \
    M(IsUsingTimeFormat, (const GUID* format), (format))                                                          \
    M(SetTimeFormat, (const GUID* format), (format))                                                              \
    M(GetDuration, (LONGLONG* duration), (duration))                                                              \
    M(GetStopPosition, (LONGLONG* stop), (stop))                                                                  \
    M(GetCurrentPosition, (LONGLONG* current), (current))                                                         \
    M(ConvertTimeFormat, (LONGLONG* target, const GUID* targetFormat, LONGLONG source, const GUID* sourceFormat), \
      (target, targetFormat, source, sourceFormat))                                                               \
    M(SetPositions, (LONGLONG* current, DWORD currentFlags, LONGLONG* stop, DWORD stopFlags),                     \
      (current, currentFlags, stop, stopFlags))                                                                   \
    M(GetPositions, (LONGLONG* current, LONGLONG* stop), (current, stop))                                         \
    M(GetAvailable, (LONGLONG* earliest, LONGLONG* latest), (earliest, latest))                                   \
    M(SetRate, (double rate), (rate))                                                                             \
    M(GetRate, (double* rate), (rate))                                                                            \
    M(GetPreroll, (LONGLONG* preroll), (preroll))

#define QUVO_MEDIA_POSITION_METHODS(M)              \
    M(get_Duration, (REFTIME* length), (length))    \
    M(put_CurrentPosition, (REFTIME time), (time))  \
    M(get_CurrentPosition, (REFTIME* time), (time)) \
    M(get_StopTime, (REFTIME* time), (time))        \
    M(put_StopTime, (REFTIME time), (time))         \
    M(get_PrerollTime, (REFTIME* time), (time))     \
    M(put_PrerollTime, (REFTIME time), (time))      \
    M(put_Rate, (double rate), (rate))              \
    M(get_Rate, (double* rate), (rate))             \
    M(CanSeekForward, (LONG* canSeek), (canSeek))   \
    M(CanSeekBackward, (LONG* canSeek), (canSeek))
