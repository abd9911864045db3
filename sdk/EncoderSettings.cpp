// Encoder settings: compression standard, frame size, bit rates, frame rate, audio
// format and sampling rate. Every operation tests for the device first. A change is
// made in the property copy and sent to the board at once, also while a graph runs;
// the getters report the copies as last read or written.
#include "sdk/DebugLog.h"
#include "sdk/EncoderDevice.h"
#include "sdk/FrameSizes.h"
#include "sdk/PropertyLayout.h"

namespace quvo::sdk {
namespace {

struct SamplingRate {
    uint32_t code;
    uint32_t hertz;
};
constexpr SamplingRate kSamplingRates[] = {
    {QUVO_AUDIO_RATE_16000, 16000}, {QUVO_AUDIO_RATE_22050, 22050}, {QUVO_AUDIO_RATE_24000, 24000},
    {QUVO_AUDIO_RATE_32000, 32000}, {QUVO_AUDIO_RATE_44100, 44100}, {QUVO_AUDIO_RATE_48000, 48000},
    {QUVO_AUDIO_RATE_96000, 96000}};

}  // namespace

QUVO_RESULT EncoderDevice::GetSupportedVideoCompressionStandards(uint32_t* mask)
{
    if (!deviceFound) {
        *mask = 0;
        return QUVO_ERR_DEVICE_NOT_FOUND;
    }
    *mask = QUVO_STANDARD_MPEG1 | QUVO_STANDARD_MPEG2;
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::GetCurrentVideoCompressionStandard(uint32_t* standard)
{
    *standard = 0;
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    switch (ReadU32(encoderSettings, layout::kMpeg1Flag)) {
    case 1: *standard = QUVO_STANDARD_MPEG1; return QUVO_SUCCESS;
    case 0: *standard = QUVO_STANDARD_MPEG2; return QUVO_SUCCESS;
    default: return QUVO_ERR_FAILED;
    }
}

QUVO_RESULT EncoderDevice::SetVideoCompressionStandard(uint32_t standard)
{
    Trace trace("TvrSetVideoCompressionStandard");
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    if (standard != QUVO_STANDARD_MPEG1 && standard != QUVO_STANDARD_MPEG2) return QUVO_ERR_INVALID_PARAMETER;
    const bool mpeg1 = standard == QUVO_STANDARD_MPEG1;
    WriteU32(encoderSettings, layout::kMpeg1Flag, mpeg1 ? 1 : 0);
    // Without a known TV standard the frame size stays as it was.
    FrameSize size{};
    if (FrameSizeOfCode(mpeg1 ? QUVO_RESOLUTION_352x288 : QUVO_RESOLUTION_720x576, tvStandard, &size)) {
        WriteU32(encoderSettings, layout::kFrameWidth, size.width);
        WriteU32(encoderSettings, layout::kFrameHeight, size.height);
    }
    const uint32_t bitrate = mpeg1 ? 1150000 : 4200000;
    WriteU32(encoderSettings, layout::kBitrate, bitrate);
    WriteU32(encoderSettings, layout::kPeakBitrate, bitrate);
    WriteU32(encoderSettings, layout::kRateMode, QUVO_RATE_CONSTANT);
    // The offered frame sizes and bit-rate limits depend on the standard.
    if (!SetDeviceProperties(REQ_ENCODER_SETTINGS) || !GetDeviceProperties(REQ_DEVICE_INFO)) return QUVO_ERR_FAILED;
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::GetSupportedVideoResolutions(uint32_t* mask)
{
    *mask = 0;
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    uint32_t count = ReadU32(deviceInfo, layout::kFrameSizeCount);
    if (count > layout::kMaxFrameSizes) count = layout::kMaxFrameSizes;
    uint32_t codes = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const FrameSize size{ReadU32(deviceInfo, layout::kFrameSizes + 8 * i),
                             ReadU32(deviceInfo, layout::kFrameSizes + 8 * i + 4)};
        codes |= FrameSizeCode(size, tvStandard);
    }
    *mask = codes;
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::GetCurrentVideoResolution(uint32_t* resolution)
{
    *resolution = 0;
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    const FrameSize size{ReadU32(encoderSettings, layout::kFrameWidth), ReadU32(encoderSettings, layout::kFrameHeight)};
    *resolution = FrameSizeCode(size, tvStandard);
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::SetVideoResolution(uint32_t resolution)
{
    Trace trace("TvrSetVideoResolution");
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    FrameSize size{};
    if (!FrameSizeOfCode(resolution, tvStandard, &size)) return QUVO_ERR_INVALID_PARAMETER;
    WriteU32(encoderSettings, layout::kFrameWidth, size.width);
    WriteU32(encoderSettings, layout::kFrameHeight, size.height);
    return SetDeviceProperties(REQ_ENCODER_SETTINGS) ? QUVO_SUCCESS : QUVO_ERR_FAILED;
}

QUVO_RESULT EncoderDevice::GetSupportedVideoBitrates(SupportedVideoBitrates* bitrates)
{
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    // Variable bit rate is an MPEG-2 mode; another flag value leaves the field alone.
    const uint32_t mpeg1Flag = ReadU32(encoderSettings, layout::kMpeg1Flag);
    if (mpeg1Flag == 0) bitrates->vbrAllowed = 1;
    else if (mpeg1Flag == 1) bitrates->vbrAllowed = 0;
    bitrates->bitrateRef = ReadU32(deviceInfo, layout::kReferenceBitrate);
    bitrates->bitrateMax = ReadU32(deviceInfo, layout::kMaxBitrate);
    bitrates->bitrateMin = ReadU32(deviceInfo, layout::kMinBitrate);
    bitrates->peakRef = bitrates->bitrateRef;
    bitrates->peakMax = bitrates->bitrateMax;
    // The peak may not be below the current bit rate.
    bitrates->peakMin = ReadU32(encoderSettings, layout::kBitrate);
    bitrates->bitrateStep = ReadU32(deviceInfo, layout::kBitrateStep);
    bitrates->peakStep = bitrates->bitrateStep;
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::GetCurrentVideoBitrate(VideoBitrate* bitrate)
{
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    bitrate->rateMode = ReadU32(encoderSettings, layout::kRateMode);
    bitrate->bitrate = ReadU32(encoderSettings, layout::kBitrate);
    bitrate->peakBitrate = ReadU32(encoderSettings, layout::kPeakBitrate);
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::SetVideoBitrate(uint32_t rateMode, uint32_t bitrate, uint32_t peakBitrate)
{
    Trace trace("TvrSetVideoBitrate");
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    // The peak is not held to the largest allowed rate, and modes other than 0
    // and 1 pass: the driver has the last word on both.
    const bool inRange = bitrate >= ReadU32(deviceInfo, layout::kMinBitrate) &&
                         bitrate <= ReadU32(deviceInfo, layout::kMaxBitrate) && peakBitrate >= bitrate;
    const bool vbrOnMpeg1 = ReadU32(encoderSettings, layout::kMpeg1Flag) == 1 && rateMode == QUVO_RATE_VARIABLE;
    if (!inRange || vbrOnMpeg1) return QUVO_ERR_INVALID_PARAMETER;
    WriteU32(encoderSettings, layout::kRateMode, rateMode);
    WriteU32(encoderSettings, layout::kBitrate, bitrate);
    WriteU32(encoderSettings, layout::kPeakBitrate, peakBitrate);
    return SetDeviceProperties(REQ_ENCODER_SETTINGS) ? QUVO_SUCCESS : QUVO_ERR_FAILED;
}

QUVO_RESULT EncoderDevice::GetCurrentFrameRate(double* framesPerSecond)
{
    *framesPerSecond = 0.0;
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    // Through the operation table; a failed query counts as no signal.
    uint32_t detected = 0;
    IsSignalDetected(&detected);
    if (detected == 0) return QUVO_INFO_NO_SIGNAL;
    if (tvStandard == QUVO_TV_NTSC_M) *framesPerSecond = 29.97;
    else if (tvStandard == QUVO_TV_PAL_B) *framesPerSecond = 25.0;
    else return QUVO_ERR_FAILED;
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::GetSupportedAudioParameters(AudioParameters* parameters)
{
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    parameters->formats = QUVO_AUDIO_FORMAT_DEFAULT;
    parameters->second = 2;
    parameters->third = 2;
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::GetCurrentAudioFormat(uint32_t* format)
{
    if (!deviceFound) {
        *format = 0;
        return QUVO_ERR_DEVICE_NOT_FOUND;
    }
    *format = QUVO_AUDIO_FORMAT_DEFAULT;
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::SetAudioFormat(uint32_t format)
{
    Trace trace("TvrSetAudioFormat");
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    if (format != QUVO_AUDIO_FORMAT_DEFAULT) return QUVO_ERR_INVALID_PARAMETER;
    audioFormat[layout::kAudioFormatByte] = 0;
    return SetDeviceProperties(REQ_AUDIO_FORMAT) ? QUVO_SUCCESS : QUVO_ERR_FAILED;
}

QUVO_RESULT EncoderDevice::GetCurrentAudioBitrate(uint32_t* bitrate)
{
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    *bitrate = QUVO_AUDIO_BITRATE_DEFAULT;
    return QUVO_SUCCESS;
}

// Alias of GetCurrentAudioBitrate.
QUVO_RESULT EncoderDevice::GetSupportedAudioBitrates(uint32_t* bitrates)
{
    return EncoderDevice::GetCurrentAudioBitrate(bitrates);
}

QUVO_RESULT EncoderDevice::SetAudioBitrate(uint32_t bitrate)
{
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    return bitrate == QUVO_AUDIO_BITRATE_DEFAULT ? QUVO_SUCCESS : QUVO_ERR_INVALID_PARAMETER;
}

QUVO_RESULT EncoderDevice::GetSupportedAudioSamplingRates(uint32_t* mask)
{
    *mask = 0;
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    *mask = QUVO_AUDIO_RATE_48000;
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::GetCurrentAudioSamplingRate(uint32_t* rate)
{
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    const uint32_t hertz = ReadU32(audioFormat, layout::kSamplingRate);
    uint32_t code = 0;
    for (const SamplingRate& r : kSamplingRates)
        if (r.hertz == hertz) code = r.code;
    *rate = code;
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::SetAudioSamplingRate(uint32_t rate)
{
    Trace trace("TvrSetAudioSamplingRate");
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    if (rate != QUVO_AUDIO_RATE_48000) return QUVO_ERR_INVALID_PARAMETER;
    WriteU32(audioFormat, layout::kSamplingRate, 48000);
    // Reported as set even when the write fails; the channel has logged the failure.
    SetDeviceProperties(REQ_AUDIO_FORMAT);
    return QUVO_SUCCESS;
}

}  // namespace quvo::sdk
