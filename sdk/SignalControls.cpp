// The analogue video decoder and the proc-amp: TV standard, signal lock, line
// count, brightness, contrast, hue, saturation and sharpness. Every operation tests
// for the device first. The standard, the line count and the proc-amp value are
// read from the device at each call; the proc-amp ranges only at start-up.
#include "sdk/DebugLog.h"
#include "sdk/EncoderDevice.h"
#include "sdk/PropertyLayout.h"

namespace quvo::sdk {
namespace {


// Reading the standard: any locked line count but the standard's own.
bool ContradictsStandard(uint32_t standard, uint32_t lines)
{
    const uint32_t own = standard == QUVO_TV_NTSC_M ? 525 : 625;
    return lines != 0 && lines != own;
}

// Setting the standard and reading the line count: exactly the other standard's count.
bool IsOtherStandardsCount(uint32_t standard, uint32_t lines)
{
    return (standard == QUVO_TV_NTSC_M && lines == 625) || (standard == QUVO_TV_PAL_B && lines == 525);
}

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
    *mask = QUVO_TV_NTSC_M | QUVO_TV_PAL_B;
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::GetCurrentTVStandard(uint32_t* standard)
{
    *standard = 0;
    Trace trace("TvrGetCurrentTVStandard");
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    if (!GetDeviceProperties(REQ_TV_FORMAT | REQ_LINES_DETECTED)) return QUVO_ERR_FAILED;
    // A decoder standard the library does not know cannot be reported.
    if (tvStandard != QUVO_TV_NTSC_M && tvStandard != QUVO_TV_PAL_B) return QUVO_ERR_FAILED;
    *standard = tvStandard;
    if (ContradictsStandard(tvStandard, linesDetected)) {
        TheLog().Log(kLogWarning, 3, "Source TV Standard Mismatches with Current TV Standard");
        return QUVO_WARN_TV_STANDARD_MISMATCH;
    }
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::SetTVStandard(uint32_t standard)
{
    Trace trace("TvrSetTVStandard");
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    // Stored unchecked: the decoder is the judge, and a refused code stays.
    tvStandard = standard;
    if (!SetDeviceProperties(REQ_TV_FORMAT)) return QUVO_ERR_FAILED;
    // The driver adapts the frame size and the offered sizes to the standard.
    GetDeviceProperties(REQ_LINES_DETECTED | REQ_ENCODER_SETTINGS | REQ_DEVICE_INFO);
    return IsOtherStandardsCount(tvStandard, linesDetected) ? QUVO_WARN_TV_STANDARD_MISMATCH : QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::GetNumberOfLinesDetected(uint32_t* lines)
{
    *lines = 0;
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    if (!GetDeviceProperties(REQ_LINES_DETECTED)) return QUVO_ERR_FAILED;
    *lines = linesDetected;
    return IsOtherStandardsCount(tvStandard, linesDetected) ? QUVO_WARN_TV_STANDARD_MISMATCH : QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::IsSignalDetected(uint32_t* detected)
{
    *detected = 0;
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    if (!videoDecoderControl) return QUVO_ERR_FAILED;
    // Asked directly: the lock alone, without the line count of the property channel.
    LONG locked = 0;
    if (FAILED(videoDecoderControl->get_HorizontalLocked(&locked))) return QUVO_ERR_FAILED;
    *detected = static_cast<uint32_t>(locked);
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::GetProcAmpCapabilities(uint32_t* mask)
{
    if (!deviceFound) {
        *mask = 0;
        return QUVO_ERR_DEVICE_NOT_FOUND;
    }
    *mask = QUVO_PROCAMP_BRIGHTNESS | QUVO_PROCAMP_CONTRAST | QUVO_PROCAMP_HUE | QUVO_PROCAMP_SATURATION |
            QUVO_PROCAMP_SHARPNESS;
    return QUVO_SUCCESS;
}

QUVO_RESULT EncoderDevice::GetProcAmpRange(uint32_t property, ControlRange* range)
{
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    const int index = ProcAmpIndexOf(property);
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
    const int index = ProcAmpIndexOf(property);
    if (index < 0) return QUVO_ERR_INVALID_PARAMETER;
    procAmpIndex = static_cast<uint32_t>(index);
    if (!GetDeviceProperties(REQ_PROCAMP_VALUE)) return QUVO_ERR_FAILED;
    *value = ReadI32(procAmpValue, layout::kProcAmpValue);
    return QUVO_SUCCESS;
}

// Not traced: the host moves these with track bars, a write per step.
QUVO_RESULT EncoderDevice::SetProcAmpValue(uint32_t property, int32_t value)
{
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    const int index = ProcAmpIndexOf(property);
    if (index < 0) return QUVO_ERR_INVALID_PARAMETER;
    if (value < procAmpRanges[index].minimum || value > procAmpRanges[index].maximum)
        return QUVO_ERR_INVALID_PARAMETER;
    WriteI32(procAmpValue, layout::kProcAmpValue, value);
    procAmpIndex = static_cast<uint32_t>(index);
    return SetDeviceProperties(REQ_PROCAMP_VALUE) ? QUVO_SUCCESS : QUVO_ERR_FAILED;
}

}  // namespace quvo::sdk
