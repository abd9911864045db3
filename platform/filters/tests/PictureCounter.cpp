#include "platform/filters/tests/PictureCounter.h"

#include <mutex>

#include "platform/filters/demux/ProgramStreamParser.h"
#include "platform/filters/demux/TimeStampClock.h"
#include "platform/graph/Guids.h"
#include "platform/graph/base/BaseFilter.h"
#include "platform/graph/base/RenderedInputPin.h"

namespace quvo::filters::test {
namespace {

// {7A4C1E02-93B5-4F6D-8E21-0C3D5B6A7F80}: test only.
constexpr CLSID kClsid = {0x7A4C1E02, 0x93B5, 0x4F6D, {0x8E, 0x21, 0x0C, 0x3D, 0x5B, 0x6A, 0x7F, 0x80}};
constexpr REFERENCE_TIME kFrame = 400000;

// logLock guards everything; Receive (streaming thread) writes, the test reads.
class Log final : public PictureLog {
public:
    Log() : parser_([this](const mpeg::PesPayload& p) { OnPayload(p); }) {}

    std::vector<REFERENCE_TIME> Times() const override
    {
        std::lock_guard lock(logLock_);
        return times_;
    }

    void Push(const BYTE* data, std::size_t size)
    {
        std::lock_guard lock(logLock_);
        parser_.Push(data, size);
    }

private:
    void OnPayload(const mpeg::PesPayload& p)
    {
        if (p.streamId < 0xE0 || p.streamId > 0xEF) {
            if (p.hasPts) clock_.ToReferenceTime(p.pts);  // the time base counts every stream
            return;
        }
        bool stamped = p.hasPts;
        const REFERENCE_TIME stamp = p.hasPts ? clock_.ToReferenceTime(p.pts) : 0;
        // Picture start codes; one split across payloads is missed, rarely.
        for (std::size_t i = 0; i + 3 < p.size; ++i) {
            if (p.data[i] != 0 || p.data[i + 1] != 0 || p.data[i + 2] != 1 || p.data[i + 3] != 0) continue;
            next_ = stamped ? stamp : next_;
            stamped = false;
            times_.push_back(next_);
            next_ += kFrame;
        }
    }

    mutable std::mutex logLock_;
    mpeg::ProgramStreamParser parser_;
    mpeg::TimeStampClock clock_;
    REFERENCE_TIME next_ = 0;
    std::vector<REFERENCE_TIME> times_;
};

class CounterFilter;

// A rendered pin: the sink ends a stream, and reports its end like a writer does.
class CounterPin final : public CRenderedInputPin {
public:
    CounterPin(CBaseFilter* filter, std::recursive_mutex* lock, std::shared_ptr<Log> log)
        : CRenderedInputPin("Picture counter input", filter, lock, nullptr, u"Input"), log_(std::move(log))
    {
    }
    HRESULT CheckMediaType(const CMediaType* mt) override
    {
        return mt->majortype == MEDIATYPE_Stream ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }
    HRESULT Receive(IMediaSample* sample) override
    {
        const HRESULT hr = CBaseInputPin::Receive(sample);
        if (hr != S_OK) return hr;
        BYTE* data = nullptr;
        sample->GetPointer(&data);
        if (data && sample->GetActualDataLength() > 0)
            log_->Push(data, static_cast<std::size_t>(sample->GetActualDataLength()));
        return S_OK;
    }

private:
    std::shared_ptr<Log> log_;
};

class CounterFilter final : public CBaseFilter {
public:
    explicit CounterFilter(std::shared_ptr<Log> log)
        : CBaseFilter("Picture counter", nullptr, kClsid), pin_(this, FilterLock(), std::move(log))
    {
    }
    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int n) override { return n == 0 ? &pin_ : nullptr; }

private:
    CounterPin pin_;
};

}  // namespace

IBaseFilter* CreatePictureCounter(std::shared_ptr<PictureLog>* log)
{
    auto shared = std::make_shared<Log>();
    *log = shared;
    auto* filter = new CounterFilter(shared);
    filter->NonDelegatingAddRef();
    IBaseFilter* out = nullptr;
    filter->NonDelegatingQueryInterface(IID_IBaseFilter, reinterpret_cast<void**>(&out));
    filter->NonDelegatingRelease();
    return out;
}

}  // namespace quvo::filters::test
