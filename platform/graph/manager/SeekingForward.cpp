#include "platform/graph/manager/SeekingForward.h"

#include "platform/graph/manager/FilterGraph.h"

namespace quvo::graph {

ComPtr<IMediaSeeking> GraphSeeking::Target()
{
    ComPtr<IMediaSeeking> seeking;
    if (ComPtr<IUnknown> filter = graph_.FirstFilterWith(IID_IMediaSeeking)) filter->QueryInterface(IID_IMediaSeeking, seeking.ReleaseAndGetVoidAddressOf());
    return seeking;
}

ComPtr<IMediaPosition> GraphPosition::Target()
{
    ComPtr<IMediaPosition> position;
    if (ComPtr<IUnknown> filter = graph_.FirstFilterWith(IID_IMediaPosition)) filter->QueryInterface(IID_IMediaPosition, position.ReleaseAndGetVoidAddressOf());
    return position;
}

HRESULT GraphSeeking::GetCapabilities(DWORD* caps)
{
    ComPtr<IMediaSeeking> forward = Target();
    return forward ? forward->GetCapabilities(caps) : E_NOTIMPL;
}

HRESULT GraphSeeking::CheckCapabilities(DWORD* caps)
{
    ComPtr<IMediaSeeking> forward = Target();
    return forward ? forward->CheckCapabilities(caps) : E_NOTIMPL;
}

HRESULT GraphSeeking::IsFormatSupported(const GUID* format)
{
    ComPtr<IMediaSeeking> forward = Target();
    return forward ? forward->IsFormatSupported(format) : E_NOTIMPL;
}

HRESULT GraphSeeking::QueryPreferredFormat(GUID* format)
{
    ComPtr<IMediaSeeking> forward = Target();
    return forward ? forward->QueryPreferredFormat(format) : E_NOTIMPL;
}

HRESULT GraphSeeking::GetTimeFormat(GUID* format)
{
    ComPtr<IMediaSeeking> forward = Target();
    return forward ? forward->GetTimeFormat(format) : E_NOTIMPL;
}

HRESULT GraphSeeking::IsUsingTimeFormat(const GUID* format)
{
    ComPtr<IMediaSeeking> forward = Target();
    return forward ? forward->IsUsingTimeFormat(format) : E_NOTIMPL;
}

HRESULT GraphSeeking::SetTimeFormat(const GUID* format)
{
    ComPtr<IMediaSeeking> forward = Target();
    return forward ? forward->SetTimeFormat(format) : E_NOTIMPL;
}

HRESULT GraphSeeking::GetDuration(LONGLONG* duration)
{
    ComPtr<IMediaSeeking> forward = Target();
    return forward ? forward->GetDuration(duration) : E_NOTIMPL;
}

HRESULT GraphSeeking::GetStopPosition(LONGLONG* stop)
{
    ComPtr<IMediaSeeking> forward = Target();
    return forward ? forward->GetStopPosition(stop) : E_NOTIMPL;
}

HRESULT GraphSeeking::GetCurrentPosition(LONGLONG* current)
{
    ComPtr<IMediaSeeking> forward = Target();
    return forward ? forward->GetCurrentPosition(current) : E_NOTIMPL;
}

HRESULT GraphSeeking::ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat, LONGLONG source, const GUID* sourceFormat)
{
    ComPtr<IMediaSeeking> forward = Target();
    return forward ? forward->ConvertTimeFormat(target, targetFormat, source, sourceFormat) : E_NOTIMPL;
}

HRESULT GraphSeeking::SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop, DWORD stopFlags)
{
    ComPtr<IMediaSeeking> forward = Target();
    return forward ? forward->SetPositions(current, currentFlags, stop, stopFlags) : E_NOTIMPL;
}

HRESULT GraphSeeking::GetPositions(LONGLONG* current, LONGLONG* stop)
{
    ComPtr<IMediaSeeking> forward = Target();
    return forward ? forward->GetPositions(current, stop) : E_NOTIMPL;
}

HRESULT GraphSeeking::GetAvailable(LONGLONG* earliest, LONGLONG* latest)
{
    ComPtr<IMediaSeeking> forward = Target();
    return forward ? forward->GetAvailable(earliest, latest) : E_NOTIMPL;
}

HRESULT GraphSeeking::SetRate(double rate)
{
    ComPtr<IMediaSeeking> forward = Target();
    return forward ? forward->SetRate(rate) : E_NOTIMPL;
}

HRESULT GraphSeeking::GetRate(double* rate)
{
    ComPtr<IMediaSeeking> forward = Target();
    return forward ? forward->GetRate(rate) : E_NOTIMPL;
}

HRESULT GraphSeeking::GetPreroll(LONGLONG* preroll)
{
    ComPtr<IMediaSeeking> forward = Target();
    return forward ? forward->GetPreroll(preroll) : E_NOTIMPL;
}

HRESULT GraphPosition::get_Duration(REFTIME* length)
{
    ComPtr<IMediaPosition> forward = Target();
    return forward ? forward->get_Duration(length) : E_NOTIMPL;
}

HRESULT GraphPosition::put_CurrentPosition(REFTIME time)
{
    ComPtr<IMediaPosition> forward = Target();
    return forward ? forward->put_CurrentPosition(time) : E_NOTIMPL;
}

HRESULT GraphPosition::get_CurrentPosition(REFTIME* time)
{
    ComPtr<IMediaPosition> forward = Target();
    return forward ? forward->get_CurrentPosition(time) : E_NOTIMPL;
}

HRESULT GraphPosition::get_StopTime(REFTIME* time)
{
    ComPtr<IMediaPosition> forward = Target();
    return forward ? forward->get_StopTime(time) : E_NOTIMPL;
}

HRESULT GraphPosition::put_StopTime(REFTIME time)
{
    ComPtr<IMediaPosition> forward = Target();
    return forward ? forward->put_StopTime(time) : E_NOTIMPL;
}

HRESULT GraphPosition::get_PrerollTime(REFTIME* time)
{
    ComPtr<IMediaPosition> forward = Target();
    return forward ? forward->get_PrerollTime(time) : E_NOTIMPL;
}

HRESULT GraphPosition::put_PrerollTime(REFTIME time)
{
    ComPtr<IMediaPosition> forward = Target();
    return forward ? forward->put_PrerollTime(time) : E_NOTIMPL;
}

HRESULT GraphPosition::put_Rate(double rate)
{
    ComPtr<IMediaPosition> forward = Target();
    return forward ? forward->put_Rate(rate) : E_NOTIMPL;
}

HRESULT GraphPosition::get_Rate(double* rate)
{
    ComPtr<IMediaPosition> forward = Target();
    return forward ? forward->get_Rate(rate) : E_NOTIMPL;
}

HRESULT GraphPosition::CanSeekForward(LONG* canSeek)
{
    ComPtr<IMediaPosition> forward = Target();
    return forward ? forward->CanSeekForward(canSeek) : E_NOTIMPL;
}

HRESULT GraphPosition::CanSeekBackward(LONG* canSeek)
{
    ComPtr<IMediaPosition> forward = Target();
    return forward ? forward->CanSeekBackward(canSeek) : E_NOTIMPL;
}

}  // namespace quvo::graph
