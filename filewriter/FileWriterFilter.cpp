#include "filewriter/FileWriterFilter.h"

#include "filewriter/FileWriter.h"
#include "filewriter/FileWriterInputPin.h"
#include "platform/com/NoThrow.h"

using quvo::NoThrow;

FileWriterFilter::FileWriterFilter(FileWriter* writer, IUnknown* outer)
    : CBaseSink("Tavrin MPEG File Writer filter", outer, CLSID_TavrinFileWriter), writer_(writer)
{
}

CSinkInputPin* FileWriterFilter::SinkPin() { return writer_->pin_.get(); }

// A failure of the file work below is not reported, as with the files' own failures.
HRESULT FileWriterFilter::InitStream()
{
    std::lock_guard streaming(StreamingLock());
    NoThrow([&] {
        writer_->state_.Pause();
        return S_OK;
    });
    return S_OK;
}

HRESULT FileWriterFilter::StartStream(REFERENCE_TIME)
{
    std::lock_guard streaming(StreamingLock());
    NoThrow([&] {
        writer_->state_.Run();
        return S_OK;
    });
    return S_OK;
}

HRESULT FileWriterFilter::StopStream() { return InitStream(); }

// Under the streaming lock: what the start-point search still holds goes out
// before the files close.
HRESULT FileWriterFilter::CleanupStream()
{
    NoThrow([&] {
        writer_->state_.Stop();
        return S_OK;
    });
    return S_OK;
}

HRESULT FileWriterFilter::OnReceive(IMediaSample* sample)
{
    quvo::filewriter::WriterState& state = writer_->state_;
    // Before the first Pause, after Stop or after a failed split: nothing to write to.
    if (!state.FragmentOpen()) return S_OK;
    BYTE* data = nullptr;
    HRESULT hr = sample->GetPointer(&data);
    if (FAILED(hr)) return hr;
    LONG length = sample->GetActualDataLength();
    return NoThrow([&] { return state.WriteData(data, length > 0 ? static_cast<DWORD>(length) : 0); });
}
