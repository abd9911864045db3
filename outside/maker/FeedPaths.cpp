#include "outside/maker/FeedPaths.h"

#include <new>

#include "platform/graph/Guids.h"

namespace quvo::maker {
namespace {

// The largest picture the board's decoder takes fits one buffer; a bigger one is
// sent in pieces (untimed continuations).
constexpr LONG kVideoBufferBytes = 1 << 20;
constexpr LONG kAudioBufferBytes = 64 * 1024;
constexpr REFERENCE_TIME kUnitsPerSecond = 10000000;

std::int64_t FrameDuration(const CMediaType& mt)
{
    if (mt.formattype == FORMAT_MPEG2Video && mt.Format() && mt.FormatLength() >= sizeof(VIDEOINFOHEADER2)) {
        VIDEOINFOHEADER2 header;
        std::memcpy(&header, mt.Format(), sizeof header);
        if (header.AvgTimePerFrame > 0) return header.AvgTimePerFrame;
    }
    return 400000;  // PAL
}

class VideoFeed final : public FeedPath {
public:
    VideoFeed(CBaseFilter* filter, std::recursive_mutex* lock)
        : FeedPath(filter, lock, u"Video In", u"Video Out"), cutter_(400000, Sink())
    {
    }

    HRESULT CheckInput(const CMediaType& mt) override
    {
        return IsMpegVideoType(mt) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }
    HRESULT UseInput(const CMediaType& mt) override
    {
        type_ = mt;
        std::lock_guard lock(receiveLock_);
        cutter_ = AccessUnitCutter(FrameDuration(mt), Sink());
        return S_OK;
    }
    bool OutputType(CMediaType* mt) override
    {
        if (!Input().IsConnected()) return false;
        return SUCCEEDED(mt->Set(type_));
    }
    LONG BufferBytes() const override { return kVideoBufferBytes; }

protected:
    HRESULT Process(const BYTE* data, std::size_t size, bool hasTime, REFERENCE_TIME start) override
    {
        deliverResult_ = S_OK;
        cutter_.Push(data, size, hasTime, start);
        return deliverResult_;
    }
    HRESULT Finish() override
    {
        deliverResult_ = S_OK;
        cutter_.Finish();
        return deliverResult_;
    }
    void Clear() override { cutter_.Reset(); }

private:
    AccessUnitCutter::Sink Sink()
    {
        return [this](AccessUnit& unit) {
            if (deliverResult_ != S_OK) return;  // downstream refused: the rest goes too
            deliverResult_ = Deliver(unit.bytes.data(), unit.bytes.size(), unit.hasTime ? &unit.pts : nullptr,
                                     unit.hasTime ? &unit.dts : nullptr, unit.key);
        };
    }

    CMediaType type_;                 // filter lock; read by OutputType
    AccessUnitCutter cutter_;         // receiveLock
    HRESULT deliverResult_ = S_OK;    // receiveLock
};

class AudioFeed final : public FeedPath {
public:
    AudioFeed(CBaseFilter* filter, std::recursive_mutex* lock) : FeedPath(filter, lock, u"Audio In", u"Audio Out") {}

    HRESULT CheckInput(const CMediaType& mt) override
    {
        WAVEFORMATEX wfx;
        if (!ReadPcm(mt, &wfx)) return VFW_E_TYPE_NOT_ACCEPTED;
        return wfx.wBitsPerSample == 16 && wfx.nChannels >= 1 && wfx.nChannels <= 8 && wfx.nSamplesPerSec > 0
            ? S_OK
            : VFW_E_TYPE_NOT_ACCEPTED;
    }
    HRESULT UseInput(const CMediaType& mt) override
    {
        WAVEFORMATEX wfx;
        if (!ReadPcm(mt, &wfx)) return VFW_E_TYPE_NOT_ACCEPTED;
        std::lock_guard lock(receiveLock_);
        rate_ = static_cast<int>(wfx.nSamplesPerSec);
        channels_ = wfx.nChannels;
        return S_OK;
    }
    bool OutputType(CMediaType* mt) override
    {
        *mt = BoardAudioType();
        return mt->IsValid();
    }
    LONG BufferBytes() const override { return kAudioBufferBytes; }

protected:
    HRESULT Process(const BYTE* data, std::size_t size, bool hasTime, REFERENCE_TIME start) override
    {
        if (!open_ && !(open_ = converter_.Open(rate_, channels_))) return VFW_E_TYPE_NOT_ACCEPTED;
        // The converter holds back a few frames; the first one out is that much older.
        const REFERENCE_TIME first = start - converter_.DelayFrames() * kUnitsPerSecond / kBoardAudioRate;
        out_.clear();
        const int frames = static_cast<int>(size / (static_cast<std::size_t>(channels_) * 2));
        if (!converter_.Convert(reinterpret_cast<const std::int16_t*>(data), frames, out_)) return E_FAIL;
        if (out_.empty()) return S_OK;
        return Deliver(reinterpret_cast<const std::uint8_t*>(out_.data()), out_.size() * sizeof(std::int16_t),
                       hasTime ? &first : nullptr, nullptr, true);
    }
    HRESULT Finish() override { return S_OK; }
    void Clear() override
    {
        converter_.Close();
        open_ = false;
    }

private:
    static bool ReadPcm(const CMediaType& mt, WAVEFORMATEX* wfx)
    {
        if (mt.majortype != MEDIATYPE_Audio || mt.subtype != MEDIASUBTYPE_PCM) return false;
        if (mt.formattype != FORMAT_WaveFormatEx || !mt.Format() || mt.FormatLength() < sizeof(WAVEFORMATEX))
            return false;
        std::memcpy(wfx, mt.Format(), sizeof *wfx);
        return true;
    }

    int rate_ = kBoardAudioRate;      // receiveLock (set while stopped)
    int channels_ = kBoardAudioChannels;
    PcmTo48k converter_;              // receiveLock
    bool open_ = false;
    std::vector<std::int16_t> out_;   // receiveLock
};

}  // namespace

std::unique_ptr<FeedPath> MakeVideoFeed(CBaseFilter* filter, std::recursive_mutex* lock)
{
    return std::unique_ptr<FeedPath>(new (std::nothrow) VideoFeed(filter, lock));
}

std::unique_ptr<FeedPath> MakeAudioFeed(CBaseFilter* filter, std::recursive_mutex* lock)
{
    return std::unique_ptr<FeedPath>(new (std::nothrow) AudioFeed(filter, lock));
}

CMediaType BoardAudioType()
{
    CMediaType mt;
    mt.SetType(&MEDIATYPE_Audio);
    mt.SetSubtype(&MEDIASUBTYPE_PCM);
    mt.SetFormatType(&FORMAT_WaveFormatEx);
    WAVEFORMATEX wfx{};
    wfx.wFormatTag = WAVE_FORMAT_PCM;
    wfx.nChannels = kBoardAudioChannels;
    wfx.nSamplesPerSec = kBoardAudioRate;
    wfx.wBitsPerSample = 16;
    wfx.nBlockAlign = kBoardAudioChannels * 2;
    wfx.nAvgBytesPerSec = kBoardAudioRate * wfx.nBlockAlign;
    if (!mt.SetFormat(reinterpret_cast<const BYTE*>(&wfx), sizeof wfx)) return CMediaType();
    return mt;
}

bool IsMpegVideoType(const CMediaType& mt)
{
    return mt.majortype == MEDIATYPE_Video
        && (mt.subtype == MEDIASUBTYPE_MPEG2_VIDEO || mt.subtype == MEDIASUBTYPE_MPEG1Payload
            || mt.subtype == MEDIASUBTYPE_MPEG1Packet);
}

}  // namespace quvo::maker
