// FileWriter: the component object the class factory hands out. It owns the sink
// filter, its one input pin, the position pass-through (made on demand) and the
// writer state, and answers IFileSinkFilter and WriterControl itself.
//
// Threads: the application thread calls IFileSinkFilter, WriterControl and the
// filter's state changes; the upstream streaming thread calls the pin's Receive and
// EndOfStream. Both reach the writer state only under the filter's streaming lock.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>

#include "interfaces/WriterControl.h"
#include "filewriter/WriterState.h"
#include "platform/graph/base/PosPassThru.h"

class FileWriterFilter;
class FileWriterInputPin;

class FileWriter final : public CUnknown, public IFileSinkFilter, public WriterControl {
public:
    // The class table creates it (CreateComObject).
    FileWriter(IUnknown* outer, HRESULT* hr);
    ~FileWriter() override;

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // IFileSinkFilter. The media type is neither needed nor kept.
    HRESULT SetFileName(LPCWSTR fileName, const AM_MEDIA_TYPE* mt) override;
    HRESULT GetCurFile(LPWSTR* fileName, AM_MEDIA_TYPE* mt) override;

    // WriterControl
    HRESULT SetFileSizeLimit(DWORD kib) override;
    HRESULT SetCaptureLimit(ULONGLONG bytes) override;
    HRESULT EnableCaptureOnTheFly() override;
    HRESULT DisableCaptureOnTheFly() override;
    HRESULT StartRecording() override;
    HRESULT StopRecording() override;
    ULONGLONG GetBytesStreamed() override;

private:
    friend class FileWriterFilter;
    friend class FileWriterInputPin;

    // Guarded by the filter's streaming lock: the streaming thread holds it for each
    // Receive; the application thread for the IFileSinkFilter and WriterControl
    // calls and for the file work of the state changes, so that none of them runs
    // while a block is being written.
    quvo::filewriter::WriterState state_;
    // The first failed write of the run (S_OK: none), and the one still to be told
    // to the graph; guarded as state_ is.
    HRESULT writeFailure_ = S_OK;
    HRESULT abortPending_ = S_OK;
    // Something may be waiting to be told to the graph (set under the streaming lock).
    std::atomic<bool> noticePending_{false};

    // Tells the graph what is pending, with no lock of the filter held (NotifyEvent
    // may reach the host at once): a failed write as EC_ERRORABORT with its HRESULT, a
    // description file that could not be created as EC_STREAM_ERROR_STILLPLAYING with
    // the failure (the recording goes on without it). Called by the pin after each
    // block and by StartRecording.
    void ReportNotices();

    std::unique_ptr<FileWriterFilter> filter_;
    std::unique_ptr<FileWriterInputPin> pin_;
    // passThruLock guards making positionPassThru on the first query (any thread).
    std::mutex passThruLock_;
    std::unique_ptr<CPosPassThru> positionPassThru_;
};
