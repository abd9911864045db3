// The demultiplexer's output pins of the preview graph, typed from the device's
// current format (the encoder-settings and audio-format copies) and mapped to the
// board's video stream and its linear PCM substream.
#include <cstdint>
#include <memory>

#include "platform/graph/MpegInterfaces.h"
#include "sdk/EncoderDevice.h"
#include "sdk/graphs/CaptureGraph.h"
#include "sdk/graphs/DemuxOutputTypes.h"

namespace quvo::sdk {
namespace {

std::uint32_t ReadU32(const std::uint8_t* bytes, std::size_t at)
{
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

// Offsets of the property payloads (after the 24-byte header).
constexpr std::size_t kBitRateAt = 24;
constexpr std::size_t kWidthAt = 36;
constexpr std::size_t kHeightAt = 40;
constexpr std::size_t kSamplingRateAt = 24;

// Creates the named pin with `type`, maps it, and lets go of both the pin and the
// map: the demultiplexer keeps the pin. `pinSlot` is the device member that holds
// the pin meanwhile.
HRESULT CreateMappedPin(EncoderDevice& device, AM_MEDIA_TYPE* type, const char16_t* name, ComPtr<IPin>& pinSlot,
                        ULONG streamId, ULONG substream, int dataOffset)
{
    if (!device.demuxControl) return E_POINTER;
    HRESULT hr = device.demuxControl->CreateOutputPin(type, const_cast<LPWSTR>(name), &pinSlot);
    if (SUCCEEDED(hr)) {
        ComPtr<IMPEG2StreamIdMap> map;
        hr = pinSlot.As(std::addressof(map));
        if (SUCCEEDED(hr)) hr = map->MapStreamId(streamId, MPEG2_PROGRAM_ELEMENTARY_STREAM, substream, dataOffset);
    }
    pinSlot.Reset();
    return hr;
}

}  // namespace

HRESULT CreateVideoOutPin(EncoderDevice& device)
{
    VideoOutFormat format;
    HRESULT hr = BuildVideoOutFormat(ReadU32(device.encoderSettings, kWidthAt), ReadU32(device.encoderSettings, kHeightAt),
                                     ReadU32(device.encoderSettings, kBitRateAt), device.tvStandard, &format);
    if (FAILED(hr)) return hr;
    return CreateMappedPin(device, &format.type, u"Video Out", device.videoOutPin, 0xE0, 0, 0);
}

HRESULT CreateAudioOutPin(EncoderDevice& device)
{
    AudioOutFormat format;
    BuildAudioOutFormat(ReadU32(device.audioFormat, kSamplingRateAt), &format);
    return CreateMappedPin(device, &format.type, u"Audio Out", device.audioOutPin, 0xBD, 0xA0, 7);
}

}  // namespace quvo::sdk
