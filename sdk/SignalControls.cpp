// Signal, input and audio controls and the preview mode. Every operation tests for
// the device first (except the always-unsupported ones and the input-channel mask).
//
// Controls that live on the board travel through the property channel or the
// capture filter's decoder interfaces, which this library does not drive yet; with a
// device, those operations answer QUVO_ERR_FAILED as a failed transfer would.
#include "sdk/DebugLog.h"
#include "sdk/EncoderDevice.h"

namespace quvo::sdk {
namespace {

// Proc-amp code -> property index by its highest set bit; -1 for 0 and codes of 32 up.
int ProcAmpIndexOf(uint32_t code)
{
    if (code == 0 || code >= 32) return -1;
    int index = 0;
    while (code >>= 1) ++index;
    return index;
}

}  // namespace

QUVO_RESULT EncoderDevice::GetSupportedTVStandards(uint32_t* mask)
{
    if (!deviceFound) {
        *mask = 0;
        return QUVO_ERR_DEVICE_NOT_FOUND;
    }
    *mask = 17;
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::GetCurrentTVStandard(uint32_t* standard)
{
    *standard = 0;
    Trace trace("TvrGetCurrentTVStandard");
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    return QUVO_ERR_FAILED;
}

QUVO_RESULT EncoderDevice::SetTVStandard(uint32_t)
{
    Trace trace("TvrSetTVStandard");
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    return QUVO_ERR_FAILED;
}

QUVO_RESULT EncoderDevice::GetNumberOfLinesDetected(uint32_t* lines)
{
    *lines = 0;
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    return QUVO_ERR_FAILED;
}

QUVO_RESULT EncoderDevice::IsSignalDetected(uint32_t* detected)
{
    *detected = 0;
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    return QUVO_ERR_FAILED;
}

QUVO_RESULT EncoderDevice::GetProcAmpCapabilities(uint32_t* mask)
{
    if (!deviceFound) {
        *mask = 0;
        return QUVO_ERR_DEVICE_NOT_FOUND;
    }
    *mask = 31;
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::GetProcAmpRange(uint32_t property, ControlRange* range)
{
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    int index = ProcAmpIndexOf(property);
    if (index < 0) return QUVO_ERR_INVALID_PARAMETER;
    procAmpIndex = static_cast<uint32_t>(index);
    *range = procAmpRanges[index];
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::GetCurrentProcAmpValue(uint32_t property, int32_t* value)
{
    *value = 0;
    Trace trace("TvrGetCurrentProcAmpValue");
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    if (ProcAmpIndexOf(property) < 0) return QUVO_ERR_INVALID_PARAMETER;
    return QUVO_ERR_FAILED;
}

QUVO_RESULT EncoderDevice::SetProcAmpValue(uint32_t property, int32_t value)
{
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    int index = ProcAmpIndexOf(property);
    if (index < 0) return QUVO_ERR_INVALID_PARAMETER;
    if (value < procAmpRanges[index].minimum || value > procAmpRanges[index].maximum)
        return QUVO_ERR_INVALID_PARAMETER;
    return QUVO_ERR_FAILED;
}

QUVO_RESULT EncoderDevice::EnableVCRSource() { return QUVO_ERR_NOT_SUPPORTED; }
// The next three are aliases of EnableVCRSource.
QUVO_RESULT EncoderDevice::DisableVCRSource() { return EncoderDevice::EnableVCRSource(); }
QUVO_RESULT EncoderDevice::EnableAnalogVideoDecoder() { return EncoderDevice::EnableVCRSource(); }
QUVO_RESULT EncoderDevice::DisableAnalogVideoDecoder() { return EncoderDevice::EnableVCRSource(); }

QUVO_RESULT EncoderDevice::GetSupportedInputChannels(uint32_t* mask)
{
    // Answers success also without a device, with an empty mask.
    *mask = deviceFound ? 5 : 0;
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::SetInputChannel(uint32_t)
{
    Trace trace("TvrSetInputChannel");
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    return QUVO_ERR_FAILED;
}

QUVO_RESULT EncoderDevice::GetCurrentInputChannel(uint32_t*)
{
    Trace trace("TvrGetCurrentInputChannel");
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    return QUVO_ERR_FAILED;
}

QUVO_RESULT EncoderDevice::GetSupportedOutputChannels(uint32_t* mask)
{
    if (!deviceFound) {
        *mask = 0;
        return QUVO_ERR_DEVICE_NOT_FOUND;
    }
    *mask = 5;
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
    if (output != 6) {
        TheLog().Log(kLogError, 2, "Set Output Signal Failed - Invalid Operation");
        return QUVO_ERR_INVALID_PARAMETER;
    }
    return QUVO_ERR_FAILED;
}

QUVO_RESULT EncoderDevice::GetAudioCapabilities(uint32_t* mask)
{
    if (!deviceFound) {
        *mask = 0;
        return QUVO_ERR_DEVICE_NOT_FOUND;
    }
    *mask = 1;
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::GetSupportedAudioPropertyRange(uint32_t property, ControlRange* range)
{
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    if (property != 1) return QUVO_ERR_INVALID_PARAMETER;
    // The fifth field (capability flags) is left as the caller had it.
    range->maximum = 0;
    range->minimum = -50;
    range->step = 1;
    range->defaultValue = 0;
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::SetAudioPropertyValue(uint32_t property, int32_t value)
{
    Trace trace("TvrSetAudioPropertyValue");
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    if (property != 1) {
        TheLog().Log(kLogError, 3, "Audio Property value Invalid");
        return QUVO_ERR_INVALID_PARAMETER;
    }
    if (value < -50 || value > 0) return QUVO_ERR_INVALID_PARAMETER;
    return QUVO_ERR_FAILED;
}

QUVO_RESULT EncoderDevice::GetCurrentAudioPropertyValue(uint32_t property, int32_t*)
{
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    if (property != 1) return QUVO_ERR_INVALID_PARAMETER;
    return QUVO_ERR_FAILED;
}

QUVO_RESULT EncoderDevice::GetAudioMuteCapabilities(uint32_t* mask)
{
    if (!deviceFound) {
        *mask = 0;
        return QUVO_ERR_DEVICE_NOT_FOUND;
    }
    *mask = 64;
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::SetAudioMute(uint32_t property, uint32_t)
{
    Trace trace("TvrSetAudioMute");
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    if (property != 64) {
        TheLog().Log(kLogError, 4, "Audio Mute Property Invalid");
        return QUVO_ERR_INVALID_PARAMETER;
    }
    return QUVO_ERR_FAILED;
}

QUVO_RESULT EncoderDevice::GetAudioMute(uint32_t property, uint32_t*)
{
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    if (property != 64) {
        TheLog().Log(kLogError, 4, "Audio Mute Property Invalid");
        return QUVO_ERR_INVALID_PARAMETER;
    }
    return QUVO_ERR_FAILED;
}

QUVO_RESULT EncoderDevice::GetPreviewCapabilities(uint32_t* mask)
{
    if (!deviceFound) {
        *mask = 0;
        return QUVO_ERR_DEVICE_NOT_FOUND;
    }
    *mask = 27;
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::SetPreviewMode(uint32_t mode)
{
    // Both flags go back on first, with or without a device.
    previewVideo = 1;
    previewAudio = 1;
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    switch (mode) {
    case 1: previewVideo = 0; previewAudio = 0; return QUVO_SUCCESS;
    case 2: previewAudio = 0; return QUVO_SUCCESS;
    case 8: return QUVO_SUCCESS;
    default: return QUVO_ERR_INVALID_PARAMETER;
    }
}

}  // namespace quvo::sdk
