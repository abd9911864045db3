// Input and output selection, audio volume and mute, and the preview mode. Every
// operation tests for the device first, except the always-unsupported ones and the
// input-channel mask. Volume and mute are reported from their copies as last read
// (at start-up) or written; the input route is read from the device.
#include "sdk/DebugLog.h"
#include "sdk/EncoderDevice.h"
#include "sdk/PropertyLayout.h"

namespace quvo::sdk {
namespace {

constexpr int32_t kMinVolume = -50;
constexpr int32_t kMaxVolume = 0;

}  // namespace

QUVO_RESULT EncoderDevice::EnableVCRSource() { return QUVO_ERR_NOT_SUPPORTED; }
// The next three are aliases of EnableVCRSource.
QUVO_RESULT EncoderDevice::DisableVCRSource() { return EncoderDevice::EnableVCRSource(); }
QUVO_RESULT EncoderDevice::EnableAnalogVideoDecoder() { return EncoderDevice::EnableVCRSource(); }
QUVO_RESULT EncoderDevice::DisableAnalogVideoDecoder() { return EncoderDevice::EnableVCRSource(); }

QUVO_RESULT EncoderDevice::GetSupportedInputChannels(uint32_t* mask)
{
    // Answers success also without a device, with an empty mask.
    *mask = deviceFound ? QUVO_CHANNEL_COMPOSITE | QUVO_CHANNEL_SVIDEO : 0;
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::SetInputChannel(uint32_t channel)
{
    Trace trace("TvrSetInputChannel");
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    if (channel == QUVO_CHANNEL_COMPOSITE) inputIndex = 0;
    else if (channel == QUVO_CHANNEL_SVIDEO) inputIndex = 1;
    else return QUVO_ERR_INVALID_PARAMETER;
    return SetDeviceProperties(REQ_INPUT_ROUTE) ? QUVO_SUCCESS : QUVO_ERR_FAILED;
}

QUVO_RESULT EncoderDevice::GetCurrentInputChannel(uint32_t* channel)
{
    Trace trace("TvrGetCurrentInputChannel");
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    if (!GetDeviceProperties(REQ_INPUT_ROUTE)) return QUVO_ERR_FAILED;
    if (inputIndex == 0) *channel = QUVO_CHANNEL_COMPOSITE;
    else if (inputIndex == 1) *channel = QUVO_CHANNEL_SVIDEO;
    else return QUVO_ERR_INVALID_PARAMETER;
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::GetSupportedOutputChannels(uint32_t* mask)
{
    if (!deviceFound) {
        *mask = 0;
        return QUVO_ERR_DEVICE_NOT_FOUND;
    }
    *mask = QUVO_CHANNEL_COMPOSITE | QUVO_CHANNEL_SVIDEO;
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::SetOutputChannel(uint32_t) { return QUVO_ERR_NOT_SUPPORTED; }
// Alias of SetOutputChannel: its argument is not written through.
QUVO_RESULT EncoderDevice::GetCurrentOutputChannel(uint32_t channel)
{
    return EncoderDevice::SetOutputChannel(channel);
}

QUVO_RESULT EncoderDevice::GetCurrentOutput(uint32_t* output)
{
    if (!deviceFound) {
        *output = 0;
        return QUVO_ERR_DEVICE_NOT_FOUND;
    }
    *output = currentOutput;
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::SetCurrentOutput(uint32_t output)
{
    if (!deviceFound) {
        TheLog().Log(kLogError, 3, "Set Output Signal Failed - Device not Found");
        return QUVO_ERR_DEVICE_NOT_FOUND;
    }
    if (output != QUVO_OUTPUT_ENCODER) {
        TheLog().Log(kLogError, 2, "Set Output Signal Failed - Invalid Operation");
        return QUVO_ERR_INVALID_PARAMETER;
    }
    if (!SetDeviceProperties(REQ_OUTPUT_SELECT)) return QUVO_ERR_FAILED;
    currentOutput = QUVO_OUTPUT_ENCODER;
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::GetAudioCapabilities(uint32_t* mask)
{
    if (!deviceFound) {
        *mask = 0;
        return QUVO_ERR_DEVICE_NOT_FOUND;
    }
    *mask = QUVO_AUDIO_VOLUME;
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::GetSupportedAudioPropertyRange(uint32_t property, ControlRange* range)
{
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    if (property != QUVO_AUDIO_VOLUME) return QUVO_ERR_INVALID_PARAMETER;
    // The fifth field (capability flags) is left as the caller had it.
    range->maximum = kMaxVolume;
    range->minimum = kMinVolume;
    range->step = 1;
    range->defaultValue = 0;
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::SetAudioPropertyValue(uint32_t property, int32_t value)
{
    Trace trace("TvrSetAudioPropertyValue");
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    if (property != QUVO_AUDIO_VOLUME) {
        TheLog().Log(kLogError, 3, "Audio Property value Invalid");
        return QUVO_ERR_INVALID_PARAMETER;
    }
    if (value < kMinVolume || value > kMaxVolume) return QUVO_ERR_INVALID_PARAMETER;
    WriteI32(audioLevel, layout::kAudioValue, value);
    return SetDeviceProperties(REQ_AUDIO_LEVEL) ? QUVO_SUCCESS : QUVO_ERR_FAILED;
}

QUVO_RESULT EncoderDevice::GetCurrentAudioPropertyValue(uint32_t property, int32_t* value)
{
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    if (property != QUVO_AUDIO_VOLUME) return QUVO_ERR_INVALID_PARAMETER;
    *value = ReadI32(audioLevel, layout::kAudioValue);
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::GetAudioMuteCapabilities(uint32_t* mask)
{
    if (!deviceFound) {
        *mask = 0;
        return QUVO_ERR_DEVICE_NOT_FOUND;
    }
    *mask = QUVO_AUDIO_MUTE;
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::SetAudioMute(uint32_t property, uint32_t value)
{
    Trace trace("TvrSetAudioMute");
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    if (property != QUVO_AUDIO_MUTE) {
        TheLog().Log(kLogError, 4, "Audio Mute Property Invalid");
        return QUVO_ERR_INVALID_PARAMETER;
    }
    WriteU32(audioMute, layout::kAudioValue, value);
    return SetDeviceProperties(REQ_AUDIO_MUTE) ? QUVO_SUCCESS : QUVO_ERR_FAILED;
}

QUVO_RESULT EncoderDevice::GetAudioMute(uint32_t property, uint32_t* value)
{
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    if (property != QUVO_AUDIO_MUTE) {
        TheLog().Log(kLogError, 4, "Audio Mute Property Invalid");
        return QUVO_ERR_INVALID_PARAMETER;
    }
    *value = ReadU32(audioMute, layout::kAudioValue);
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::GetPreviewCapabilities(uint32_t* mask)
{
    if (!deviceFound) {
        *mask = 0;
        return QUVO_ERR_DEVICE_NOT_FOUND;
    }
    *mask = QUVO_PREVIEW_CAPABILITIES;
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::SetPreviewMode(uint32_t mode)
{
    // Both flags go back on first, with or without a device.
    previewVideo = 1;
    previewAudio = 1;
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    switch (mode) {
    case QUVO_PREVIEW_NONE: previewVideo = 0; previewAudio = 0; return QUVO_SUCCESS;
    case QUVO_PREVIEW_VIDEO: previewAudio = 0; return QUVO_SUCCESS;
    case QUVO_PREVIEW_VIDEO_AUDIO: return QUVO_SUCCESS;
    default: return QUVO_ERR_INVALID_PARAMETER;  // 16 too, although the capability mask lists it
    }
}

}  // namespace quvo::sdk
