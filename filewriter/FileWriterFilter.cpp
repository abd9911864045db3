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

// Leaving Stopped: a new run, no failure yet. In normal mode a fragment that cannot
// be opened refuses the change, so the graph does not run into a file that is not.
HRESULT FileWriterFilter::InitStream()
{
    HRESULT hr;
    {
        std::lock_guard streaming(StreamingLock());
        writer_->writeFailure_ = S_OK;
        hr = NoThrow([&] { return writer_->state_.Pause(); });
    }
    writer_->noticePending_.store(true);  // told at the next block, outside the locks
    return hr;
}

HRESULT FileWriterFilter::StartStream(REFERENCE_TIME)
{
    HRESULT hr;
    {
        std::lock_guard streaming(StreamingLock());
        hr = NoThrow([&] { return writer_->state_.Run(); });
    }
    writer_->noticePending_.store(true);
    return hr;
}

// Running to paused never fails: a fragment lost at a failed split has been
// reported as the write failure already.
HRESULT FileWriterFilter::StopStream()
{
    std::lock_guard streaming(StreamingLock());
    NoThrow([&] { return writer_->state_.Pause(); });
    return S_OK;
}

// Under the streaming lock: what the start-point search still holds goes out
// before the files close.
HRESULT FileWriterFilter::CleanupStream()
{
    NoThrow([&] {
        writer_->state_.Stop();
        return S_OK;
    });
    writer_->writeFailure_ = S_OK;
    return S_OK;
}

HRESULT FileWriterFilter::OnReceive(IMediaSample* sample)
{
    // After a failed write the run takes nothing more: a later block that fits would
    // follow a gap and leave a torn picture in the file.
    if (FAILED(writer_->writeFailure_)) return writer_->writeFailure_;
    quvo::filewriter::WriterState& state = writer_->state_;
    // Before the first Pause, after Stop or after StopRecording: nothing to write to.
    if (!state.FragmentOpen()) return S_OK;
    BYTE* data = nullptr;
    HRESULT hr = sample->GetPointer(&data);
    if (FAILED(hr)) return hr;
    LONG length = sample->GetActualDataLength();
    hr = NoThrow([&] { return state.WriteData(data, length > 0 ? static_cast<DWORD>(length) : 0); });
    if (FAILED(hr)) {
        // Upstream may not pass the failure on (a tee with other outputs answers with
        // theirs), so the writer tells the graph itself, with its own code, once the
        // pin has left the streaming lock.
        writer_->writeFailure_ = hr;
        writer_->abortPending_ = hr;
        writer_->noticePending_.store(true);
    }
    return hr;
}
