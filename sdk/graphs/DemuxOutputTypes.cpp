#include "sdk/graphs/DemuxOutputTypes.h"

#include <cstddef>
#include <cstring>

#include "platform/graph/Guids.h"

namespace quvo::sdk {
namespace {

// Writes `bits` of `value` most significant bit first.
class BitWriter {
public:
    explicit BitWriter(std::uint8_t* out) : out_(out) {}
    void Put(std::uint32_t value, int bits)
    {
        for (int i = bits - 1; i >= 0; --i) {
            if ((value >> i) & 1u) out_[pos_ / 8] |= static_cast<std::uint8_t>(0x80u >> (pos_ % 8));
            ++pos_;
        }
    }

private:
    std::uint8_t* out_;
    std::size_t pos_ = 0;
};

}  // namespace

std::array<std::uint8_t, 12> MakeSequenceHeader(std::uint32_t width, std::uint32_t height,
                                                 REFERENCE_TIME timePerFrame, std::uint32_t bitRate)
{
    std::array<std::uint8_t, 12> header{};
    BitWriter bits(header.data());
    bits.Put(0x000001B3u, 32);
    bits.Put(width, 12);
    bits.Put(height, 12);
    bits.Put(2, 4);  // 4:3
    bits.Put(timePerFrame == 400000 ? 3 : 4, 4);
    bits.Put(bitRate / 400, 18);
    bits.Put(1, 1);    // marker
    bits.Put(112, 10); // VBV buffer size
    bits.Put(0, 1);    // constrained parameters
    bits.Put(0, 1);    // load intra quantiser matrix
    bits.Put(0, 1);    // load non-intra quantiser matrix
    return header;
}

REFERENCE_TIME TimePerFrameOf(std::uint32_t tvStandard)
{
    switch (tvStandard) {
    case 1: return 333667;
    case 16:
    case 64: return 400000;
    default: return 0;
    }
}

HRESULT BuildVideoOutFormat(std::uint32_t width, std::uint32_t height, std::uint32_t bitRate,
                            std::uint32_t tvStandard, VideoOutFormat* out)
{
    const REFERENCE_TIME timePerFrame = TimePerFrameOf(tvStandard);
    if (timePerFrame == 0) return E_FAIL;

    MPEG2VIDEOINFO info{};
    info.hdr.rcSource = {0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
    info.hdr.dwBitRate = bitRate;
    info.hdr.AvgTimePerFrame = timePerFrame;
    info.hdr.dwPictAspectRatioX = 4;
    info.hdr.dwPictAspectRatioY = 3;
    info.hdr.bmiHeader.biWidth = static_cast<LONG>(width);
    info.hdr.bmiHeader.biHeight = static_cast<LONG>(height);
    info.dwStartTimeCode = 0;
    info.dwProfile = 2;  // main
    info.dwLevel = 2;    // main
    info.dwFlags = 0;
    info.cbSequenceHeader = 12;

    out->block.fill(0);
    std::memcpy(out->block.data(), &info, offsetof(MPEG2VIDEOINFO, dwSequenceHeader));
    const auto header = MakeSequenceHeader(width, height, timePerFrame, bitRate);
    std::memcpy(out->block.data() + offsetof(MPEG2VIDEOINFO, dwSequenceHeader), header.data(), header.size());

    AM_MEDIA_TYPE& mt = out->type;
    mt = AM_MEDIA_TYPE{};
    mt.majortype = MEDIATYPE_Video;
    mt.subtype = MEDIASUBTYPE_MPEG2_VIDEO;
    mt.formattype = FORMAT_MPEG2Video;
    mt.bFixedSizeSamples = TRUE;
    mt.bTemporalCompression = FALSE;
    mt.lSampleSize = 1;
    mt.pUnk = nullptr;
    mt.cbFormat = kVideoFormatBlockSize;
    mt.pbFormat = out->block.data();
    return S_OK;
}

void BuildAudioOutFormat(std::uint32_t samplesPerSecond, AudioOutFormat* out)
{
    WAVEFORMATEX wfx{};
    wfx.wFormatTag = 0;
    wfx.nChannels = 2;
    wfx.nSamplesPerSec = samplesPerSecond;
    wfx.nAvgBytesPerSec = samplesPerSecond * 4;
    wfx.nBlockAlign = 4;
    wfx.wBitsPerSample = 16;
    wfx.cbSize = 0;
    std::memcpy(out->block.data(), &wfx, sizeof wfx);

    AM_MEDIA_TYPE& mt = out->type;
    mt = AM_MEDIA_TYPE{};
    mt.majortype = MEDIATYPE_Audio;
    mt.subtype = MEDIASUBTYPE_DVD_LPCM_AUDIO;
    mt.formattype = FORMAT_WaveFormatEx;
    mt.bFixedSizeSamples = TRUE;
    mt.bTemporalCompression = FALSE;
    mt.lSampleSize = 2;
    mt.cbFormat = kAudioFormatBlockSize;
    mt.pbFormat = out->block.data();
}

}  // namespace quvo::sdk
