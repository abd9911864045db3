#include "platform/graph/base/SourceStream.h"

#include <chrono>

#include "platform/com/NoThrow.h"
#include "platform/graph/base/Source.h"

using quvo::NoThrow;

CSourceStream::CSourceStream(const char* objectName, HRESULT* phr, CSource* filter, LPCWSTR pinName)
    : CBaseOutputPin(objectName, filter, filter->FilterLock(), phr, pinName), source_(filter)
{
    HRESULT hr = filter->AddPin(this);
    if (phr && FAILED(hr)) *phr = hr;
}

CSourceStream::~CSourceStream()
{
    // The filter stops its pins before deleting them; a thread still here would
    // call into a derived pin that is already gone, so this is only a last guard.
    if (ThreadExists()) {
        StopThread();
        ExitThread();
        thread_.join();
    }
}

HRESULT CSourceStream::GetMediaType(int position, CMediaType* mt)
{
    if (position != 0) return VFW_S_NO_MORE_ITEMS;
    return GetMediaType(mt);
}

HRESULT CSourceStream::GetMediaType(CMediaType*) { return VFW_S_NO_MORE_ITEMS; }

HRESULT CSourceStream::CheckMediaType(const CMediaType* mt)
{
    for (int i = 0;; ++i) {
        CMediaType offered;
        if (GetMediaType(i, &offered) != S_OK) return E_INVALIDARG;
        if (offered == *mt) return S_OK;
    }
}

HRESULT CSourceStream::Active()
{
    std::lock_guard lock(*filterLock_);
    if (ThreadExists()) return S_FALSE;
    if (!IsConnected()) return S_OK;

    HRESULT hr = CBaseOutputPin::Active();
    if (FAILED(hr)) return hr;
    {
        std::lock_guard request(requestLock_);
        hasRequest_ = hasReply_ = false;
    }
    thread_ = std::thread(&CSourceStream::ThreadProc, this);
    hr = InitThread();
    if (FAILED(hr)) {
        // The thread has already left after its failed OnThreadCreate.
        thread_.join();
        CBaseOutputPin::Inactive();
        return hr;
    }
    return PauseThread();
}

HRESULT CSourceStream::Inactive()
{
    std::lock_guard lock(*filterLock_);
    if (!IsConnected()) return S_OK;
    // Decommit first: a thread blocked in GetBuffer wakes up and sees our command.
    HRESULT hr = CBaseOutputPin::Inactive();
    if (ThreadExists()) {
        StopThread();
        ExitThread();
        thread_.join();
    }
    return hr;
}

HRESULT CSourceStream::CallWorker(Command cmd)
{
    std::lock_guard call(callLock_);
    std::unique_lock lock(requestLock_);
    request_ = cmd;
    hasRequest_ = true;
    hasReply_ = false;
    requestChanged_.notify_all();
    requestChanged_.wait(lock, [this] { return hasReply_; });
    hasReply_ = false;
    return reply_;
}

bool CSourceStream::CheckRequest(Command* cmd)
{
    std::lock_guard lock(requestLock_);
    if (!hasRequest_) return false;
    if (cmd) *cmd = request_;
    return true;
}

CSourceStream::Command CSourceStream::GetRequest()
{
    std::unique_lock lock(requestLock_);
    requestChanged_.wait(lock, [this] { return hasRequest_; });
    hasRequest_ = false;
    return request_;
}

bool CSourceStream::WaitForRequest(DWORD timeoutMs, Command* cmd)
{
    std::unique_lock lock(requestLock_);
    auto pending = [this] { return hasRequest_; };
    if (timeoutMs == INFINITE)
        requestChanged_.wait(lock, pending);
    else if (!requestChanged_.wait_for(lock, std::chrono::milliseconds(timeoutMs), pending))
        return false;
    if (cmd) *cmd = request_;
    return true;
}

void CSourceStream::Reply(HRESULT hr)
{
    {
        std::lock_guard lock(requestLock_);
        reply_ = hr;
        hasReply_ = true;
        requestChanged_.notify_all();
    }
    // The caller is woken onto this thread's processor as a rule; a stream that
    // goes straight back to delivering would keep it waiting there for the rest
    // of its time slice (milliseconds per Pause with a source that never blocks).
    std::this_thread::yield();
}

void CSourceStream::ThreadProc()
{
    Command cmd;
    while ((cmd = GetRequest()) != CMD_INIT) Reply(E_UNEXPECTED);

    // The hooks run on the streaming thread: nothing they throw may leave it.
    HRESULT hr = NoThrow([&] { return OnThreadCreate(); });
    if (FAILED(hr)) {
        NoThrow([&] { return OnThreadDestroy(); });
        Reply(hr);
        return;
    }
    Reply(S_OK);

    do {
        cmd = GetRequest();
        switch (cmd) {
        case CMD_RUN:
        case CMD_PAUSE:
            Reply(S_OK);
            DoBufferProcessingLoop();
            break;
        case CMD_STOP:
        case CMD_EXIT:
            Reply(S_OK);
            break;
        default:
            Reply(E_NOTIMPL);
            break;
        }
    } while (cmd != CMD_EXIT);
    NoThrow([&] { return OnThreadDestroy(); });
}

HRESULT CSourceStream::DoBufferProcessingLoop()
{
    NoThrow([&] { return OnThreadStartPlay(); });
    Command cmd = CMD_RUN;
    for (;;) {
        while (!CheckRequest(&cmd)) {
            ComPtr<IMediaSample> sample;
            HRESULT hr = GetDeliveryBuffer(&sample, nullptr, nullptr, 0);
            if (FAILED(hr)) {
                // Decommitted: Inactive is on its way with a Stop.
                WaitForRequest(INFINITE, nullptr);
                continue;
            }
            hr = NoThrow([&] { return FillBuffer(sample.Get()); });
            if (hr == S_OK) {
                hr = Deliver(sample.Get());
                sample.Reset();
                if (hr == S_OK) continue;
                if (FAILED(hr) && hr != VFW_E_WRONG_STATE)
                    filter_->NotifyEvent(EC_ERRORABORT, hr, 0);
                return hr;
            }
            sample.Reset();
            DeliverEndOfStream();
            if (FAILED(hr)) filter_->NotifyEvent(EC_ERRORABORT, hr, 0);
            return hr;
        }
        // Run and Pause keep streaming; Stop and Exit are left for ThreadProc.
        if (cmd == CMD_RUN || cmd == CMD_PAUSE) {
            GetRequest();
            Reply(S_OK);
            continue;
        }
        if (cmd == CMD_STOP || cmd == CMD_EXIT) return S_FALSE;
        GetRequest();
        Reply(E_UNEXPECTED);
    }
}
