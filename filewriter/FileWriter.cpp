#include "filewriter/FileWriter.h"

#include <cstring>
#include <new>

#include "filewriter/FileWriterFilter.h"
#include "filewriter/FileWriterInputPin.h"
#include "platform/com/NoThrow.h"
#include "platform/com/Runtime.h"
#include "platform/graph/ControlInterfaces.h"

using quvo::NoThrow;

FileWriter::FileWriter(IUnknown* outer, HRESULT* hr) : CUnknown("Tavrin MPEG File Writer", outer)
{
    if (hr) *hr = S_OK;
    filter_.reset(new (std::nothrow) FileWriterFilter(this, GetOwner()));
    if (!filter_) {
        if (hr) *hr = E_OUTOFMEMORY;
        return;
    }
    pin_.reset(new (std::nothrow) FileWriterInputPin(filter_.get(), this, hr));
    if (!pin_ && hr) *hr = E_OUTOFMEMORY;
}

// The members close the files (the writer state) after the pin and filter are gone.
FileWriter::~FileWriter() = default;

HRESULT FileWriter::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (riid == IID_IFileSinkFilter) return GetInterface(static_cast<IFileSinkFilter*>(this), ppv);
    if (riid == IID_IBaseFilter || riid == IID_IMediaFilter || riid == IID_IPersist) {
        if (!filter_) return E_NOINTERFACE;
        return filter_->NonDelegatingQueryInterface(riid, ppv);
    }
    if (riid == IID_IMediaPosition || riid == IID_IMediaSeeking) {
        std::lock_guard lock(passThruLock_);
        if (!positionPassThru_) {
            HRESULT hr = S_OK;
            positionPassThru_.reset(new (std::nothrow) CPosPassThru("Position pass-through", GetOwner(), &hr, pin_.get()));
            if (!positionPassThru_) return E_OUTOFMEMORY;
            if (FAILED(hr)) {
                positionPassThru_.reset();
                return hr;
            }
        }
        return positionPassThru_->NonDelegatingQueryInterface(riid, ppv);
    }
    if (riid == IID_WriterControl) return GetInterface(static_cast<WriterControl*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT FileWriter::SetFileName(LPCWSTR fileName, const AM_MEDIA_TYPE*)
{
    std::lock_guard lock(filter_->StreamingLock());
    return NoThrow([&] { return state_.SetFileName(fileName); });
}

HRESULT FileWriter::GetCurFile(LPWSTR* fileName, AM_MEDIA_TYPE* mt)
{
    if (!fileName) return E_POINTER;
    *fileName = nullptr;
    {
        std::lock_guard lock(filter_->StreamingLock());
        const std::u16string& name = state_.CurrentName();
        if (!name.empty()) {
            std::size_t bytes = (name.size() + 1) * sizeof(WCHAR);
            auto* copy = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
            if (!copy) return E_OUTOFMEMORY;
            std::memcpy(copy, name.c_str(), bytes);
            *fileName = copy;
        }
    }
    if (mt) {
        std::memset(mt, 0, sizeof *mt);
        mt->majortype = GUID_NULL;
        mt->subtype = GUID_NULL;
    }
    return S_OK;
}

HRESULT FileWriter::SetFileSizeLimit(DWORD kib)
{
    std::lock_guard lock(filter_->StreamingLock());
    return NoThrow([&] { return state_.SetFileSizeLimit(kib); });
}

HRESULT FileWriter::SetCaptureLimit(ULONGLONG bytes)
{
    std::lock_guard lock(filter_->StreamingLock());
    return state_.SetCaptureLimit(bytes);
}

HRESULT FileWriter::EnableCaptureOnTheFly()
{
    std::lock_guard lock(filter_->StreamingLock());
    state_.EnableCaptureOnTheFly();
    return S_OK;
}

HRESULT FileWriter::DisableCaptureOnTheFly()
{
    std::lock_guard lock(filter_->StreamingLock());
    state_.DisableCaptureOnTheFly();
    return S_OK;
}

HRESULT FileWriter::StartRecording()
{
    HRESULT hr;
    {
        std::lock_guard lock(filter_->StreamingLock());
        writeFailure_ = S_OK;  // a new recording may write again
        hr = NoThrow([&] { return state_.StartRecording(); });
    }
    noticePending_.store(true);
    ReportNotices();
    return hr;
}

void FileWriter::ReportNotices()
{
    if (!noticePending_.exchange(false)) return;
    HRESULT description, abort;
    {
        std::lock_guard lock(filter_->StreamingLock());
        description = state_.TakeDescriptionFailure();
        abort = abortPending_;
        abortPending_ = S_OK;
    }
    if (FAILED(description)) filter_->NotifyEvent(EC_STREAM_ERROR_STILLPLAYING, description, 0);
    if (FAILED(abort)) filter_->NotifyEvent(EC_ERRORABORT, abort, 0);
}

HRESULT FileWriter::StopRecording()
{
    std::lock_guard lock(filter_->StreamingLock());
    return NoThrow([&] { return state_.StopRecording(); });
}

// Read without the lock: the application's timer must not wait for a disk write.
ULONGLONG FileWriter::GetBytesStreamed() { return state_.BytesStreamed(); }
