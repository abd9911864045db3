// CSourceStream: an output pin with its own streaming thread. The thread starts
// when the filter leaves Stopped (Active) and loops: get a buffer, FillBuffer,
// Deliver. It is stopped and joined when the filter stops (Inactive), after the
// allocator is decommitted so a thread waiting for a buffer leaves at once.
//
// FillBuffer answers S_OK (deliver the sample), S_FALSE (end of stream: it is sent
// downstream and the loop ends) or a failure (end of stream, EC_ERRORABORT to the
// graph, loop ends). A Deliver failure ends the loop and reports EC_ERRORABORT,
// except VFW_E_WRONG_STATE (the downstream filter stopped first, as graphs stop
// renderers first) and S_FALSE (downstream asks us to stop).
//
// A FillBuffer that waits for data of its own should look at CheckRequest now and
// then, so a Stop does not wait for it longer than needed.
//
// Threads: Active/Inactive and the command calls run on the application thread
// under the filter lock; everything named On*, FillBuffer and the loop run on the
// streaming thread. Commands pass through requestLock (see below).
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/graph/base/BaseOutputPin.h"

class CSource;

class CSourceStream : public CBaseOutputPin {
public:
    enum Command { CMD_INIT, CMD_PAUSE, CMD_RUN, CMD_STOP, CMD_EXIT };

    // Adds itself to `filter`, which owns it from then on.
    CSourceStream(const char* objectName, HRESULT* phr, CSource* filter, LPCWSTR pinName);
    ~CSourceStream() override;

    HRESULT Active() override;
    HRESULT Inactive() override;

    // Types: the single-type GetMediaType serves position 0 unless overridden.
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    virtual HRESULT GetMediaType(CMediaType* mt);
    // Accepts exactly the types GetMediaType offers.
    HRESULT CheckMediaType(const CMediaType* mt) override;

    // Commands to the thread; each waits for the thread's answer. (The pin's Run
    // hook keeps its base behaviour: streaming starts at Pause.)
    HRESULT InitThread() { return CallWorker(CMD_INIT); }
    HRESULT ExitThread() { return CallWorker(CMD_EXIT); }
    HRESULT RunThread() { return CallWorker(CMD_RUN); }
    HRESULT PauseThread() { return CallWorker(CMD_PAUSE); }
    HRESULT StopThread() { return CallWorker(CMD_STOP); }
    bool ThreadExists() const { return thread_.joinable(); }

protected:
    virtual HRESULT FillBuffer(IMediaSample* sample) = 0;
    virtual HRESULT OnThreadCreate() { return S_OK; }
    virtual HRESULT OnThreadDestroy() { return S_OK; }
    virtual HRESULT OnThreadStartPlay() { return S_OK; }
    // The delivery loop; returns when a Stop or Exit is pending or streaming ended.
    virtual HRESULT DoBufferProcessingLoop();

    // Streaming thread: whether a command is waiting (left for GetRequest to take).
    bool CheckRequest(Command* cmd);
    // Streaming thread: waits up to `timeoutMs` (INFINITE: no limit) for a command,
    // e.g. a live source waiting for its next frame time; true when one is waiting.
    bool WaitForRequest(DWORD timeoutMs, Command* cmd);
    Command GetRequest();
    void Reply(HRESULT hr);

    CSource* const source_;

private:
    void ThreadProc();
    HRESULT CallWorker(Command cmd);

    std::thread thread_;
    // callLock lets one application-side command through at a time.
    std::mutex callLock_;
    // requestLock guards the hand-off below between the application thread
    // (CallWorker) and the streaming thread (GetRequest/CheckRequest/Reply).
    std::mutex requestLock_;
    std::condition_variable requestChanged_;
    bool hasRequest_ = false;
    Command request_ = CMD_INIT;
    bool hasReply_ = false;
    HRESULT reply_ = S_OK;
};
