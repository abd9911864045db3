// Encoder settings: compression standard, frame size, bit rates, frame rate, audio
// format and sampling rate. Every operation tests for the device first.
//
// Settings that live on the board travel through the board's property channel,
// which this library does not have yet; with a device, those operations answer
// QUVO_ERR_FAILED as a failed transfer would. The fixed answers are complete.
#include "sdk/DebugLog.h"
#include "sdk/EncoderDevice.h"

namespace quvo::sdk {

QUVO_RESULT EncoderDevice::GetSupportedVideoCompressionStandards(uint32_t* mask)
{
    if (!deviceFound) {
        *mask = 0;
        return QUVO_ERR_DEVICE_NOT_FOUND;
    }
    *mask = 3;
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::GetCurrentVideoCompressionStandard(uint32_t* standard)
{
    *standard = 0;
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    return QUVO_ERR_FAILED;
}

QUVO_RESULT EncoderDevice::SetVideoCompressionStandard(uint32_t)
{
    Trace trace("TvrSetVideoCompressionStandard");
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    return QUVO_ERR_FAILED;
}

QUVO_RESULT EncoderDevice::GetSupportedVideoResolutions(uint32_t* mask)
{
    *mask = 0;
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    return QUVO_ERR_FAILED;
}

QUVO_RESULT EncoderDevice::GetCurrentVideoResolution(uint32_t* resolution)
{
    *resolution = 0;
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    return QUVO_ERR_FAILED;
}

QUVO_RESULT EncoderDevice::SetVideoResolution(uint32_t)
{
    Trace trace("TvrSetVideoResolution");
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    return QUVO_ERR_FAILED;
}

QUVO_RESULT EncoderDevice::GetSupportedVideoBitrates(SupportedVideoBitrates*)
{
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    return QUVO_ERR_FAILED;
}

QUVO_RESULT EncoderDevice::GetCurrentVideoBitrate(VideoBitrate*)
{
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    return QUVO_ERR_FAILED;
}

QUVO_RESULT EncoderDevice::SetVideoBitrate(uint32_t, uint32_t, uint32_t)
{
    Trace trace("TvrSetVideoBitrate");
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    return QUVO_ERR_FAILED;
}

QUVO_RESULT EncoderDevice::GetCurrentFrameRate(double* framesPerSecond)
{
    *framesPerSecond = 0.0;
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    return QUVO_ERR_FAILED;
}

QUVO_RESULT EncoderDevice::GetSupportedAudioParameters(AudioParameters* parameters)
{
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    parameters->formats = 16;
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
    *format = 16;
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::SetAudioFormat(uint32_t format)
{
    Trace trace("TvrSetAudioFormat");
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    if (format != 16) return QUVO_ERR_INVALID_PARAMETER;
    return QUVO_ERR_FAILED;
}

QUVO_RESULT EncoderDevice::GetCurrentAudioBitrate(uint32_t* bitrate)
{
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    *bitrate = 1;
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
    return bitrate == 1 ? QUVO_SUCCESS : QUVO_ERR_INVALID_PARAMETER;
}

QUVO_RESULT EncoderDevice::GetSupportedAudioSamplingRates(uint32_t* mask)
{
    *mask = 0;
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    *mask = 32;
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::GetCurrentAudioSamplingRate(uint32_t*)
{
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    return QUVO_ERR_FAILED;
}

QUVO_RESULT EncoderDevice::SetAudioSamplingRate(uint32_t rate)
{
    Trace trace("TvrSetAudioSamplingRate");
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    if (rate != 32) return QUVO_ERR_INVALID_PARAMETER;
    return QUVO_ERR_FAILED;
}

}  // namespace quvo::sdk
