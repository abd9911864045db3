// The property channel: moves the device's cached property copies between the
// EncoderDevice and the board driver. Each requested transfer is tried even when
// an earlier one failed, in a fixed order, and the failures are gathered into one
// log line.
#include <cstring>
#include <memory>

#include "platform/graph/Guids.h"
#include "sdk/DebugLog.h"
#include "sdk/EncoderDevice.h"
#include "sdk/PropertyLayout.h"

namespace quvo::sdk {
namespace {

// The answer a missing platform interface stands for in the failure line.
constexpr HRESULT kNoInterface = E_NOINTERFACE;

// Gathers the failed transfers and the last platform answer of one request.
struct TransferLog {
    std::uint32_t failed = 0;
    HRESULT last = S_OK;

    // Notes a platform call's answer; true when it succeeded.
    bool Note(std::uint32_t bit, HRESULT hr)
    {
        last = hr;
        if (FAILED(hr)) failed |= bit;
        return SUCCEEDED(hr);
    }
};

// Reads one property of the board's own set into `buffer`, zeroed first. A failed
// read leaves the copy zeroed.
void ReadOwn(IKsPropertySet* ks, TransferLog& log, std::uint32_t bit, DWORD id, std::uint8_t* buffer,
             DWORD length)
{
    std::memset(buffer, 0, length);
    if (!ks) {
        log.Note(bit, kNoInterface);
        return;
    }
    DWORD returned = 0;
    // The driver takes one buffer as both the instance data and the property data.
    if (!log.Note(bit, ks->Get(PROPSETID_EncoderDevice, id, buffer, length, buffer, length, &returned)))
        std::memset(buffer, 0, length);
}

// Sends the copy unchanged, header included.
void WriteOwn(IKsPropertySet* ks, TransferLog& log, std::uint32_t bit, DWORD id, std::uint8_t* buffer,
              DWORD length)
{
    if (!ks) {
        log.Note(bit, kNoInterface);
        return;
    }
    log.Note(bit, ks->Set(PROPSETID_EncoderDevice, id, buffer, length, buffer, length));
}

}  // namespace

// Finds the crossbar on the capture path; the answer of the search is returned,
// and only a plain success hands out an interface worth using.
HRESULT EncoderDevice::FindCrossbar(ComPtr<IAMCrossbar>& crossbar)
{
    crossbar.Reset();
    if (!captureGraphBuilder) return kNoInterface;
    return captureGraphBuilder->FindInterface(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Stream, captureFilter.Get(),
                                              IID_IAMCrossbar, crossbar.ReleaseAndGetVoidAddressOf());
}

bool EncoderDevice::GetDeviceProperties(std::uint32_t mask)
{
    if (!captureFilter) {
        TheLog().Log(kLogError, 4, "Video Capture Not Initialied - Failed to Get Device Properties");
        return false;
    }
    TransferLog log;
    ComPtr<IKsPropertySet> ks;
    log.last = captureFilter.As(std::addressof(ks));

    if (mask & REQ_EXTRA_INFO)
        ReadOwn(ks.Get(), log, REQ_EXTRA_INFO, ENCPROP_EXTRA_INFO, extraDeviceData, sizeof extraDeviceData);
    if (mask & REQ_DEVICE_INFO)
        ReadOwn(ks.Get(), log, REQ_DEVICE_INFO, ENCPROP_DEVICE_INFO, deviceInfo, sizeof deviceInfo);
    if (mask & REQ_PROCAMP_RANGES) {
        if (!procAmp) log.Note(REQ_PROCAMP_RANGES, kNoInterface);
        // Ranges up to the first that fails are kept; the rest stay as they were.
        for (LONG property = 0; procAmp && property < 5; ++property) {
            LONG min = 0, max = 0, step = 0, def = 0, caps = 0;
            if (!log.Note(REQ_PROCAMP_RANGES, procAmp->GetRange(property, &min, &max, &step, &def, &caps))) break;
            procAmpRanges[property] = ControlRange{max, min, step, def, caps};
        }
    }
    if (mask & REQ_TV_FORMAT) {
        LONG format = 0;
        if (!videoDecoderControl) log.Note(REQ_TV_FORMAT, kNoInterface);
        else if (log.Note(REQ_TV_FORMAT, videoDecoderControl->get_TVFormat(&format)))
            tvStandard = static_cast<std::uint32_t>(format);
    }
    if (mask & REQ_AUDIO_FORMAT)
        ReadOwn(ks.Get(), log, REQ_AUDIO_FORMAT, ENCPROP_AUDIO_FORMAT, audioFormat, sizeof audioFormat);
    if (mask & REQ_AUDIO_LEVEL)
        ReadOwn(ks.Get(), log, REQ_AUDIO_LEVEL, ENCPROP_AUDIO_LEVEL, audioLevel, sizeof audioLevel);
    if (mask & REQ_AUDIO_MUTE)
        ReadOwn(ks.Get(), log, REQ_AUDIO_MUTE, ENCPROP_AUDIO_MUTE, audioMute, sizeof audioMute);
    if (mask & REQ_ENCODER_SETTINGS)
        ReadOwn(ks.Get(), log, REQ_ENCODER_SETTINGS, ENCPROP_ENCODER_SETTINGS, encoderSettings,
                sizeof encoderSettings);
    if (mask & REQ_PROCAMP_VALUE) {
        std::memset(procAmpValue, 0, sizeof procAmpValue);
        if (!ks) {
            log.Note(REQ_PROCAMP_VALUE, kNoInterface);
        } else {
            DWORD returned = 0;
            if (!log.Note(REQ_PROCAMP_VALUE, ks->Get(PROPSETID_VIDCAP_VIDEOPROCAMP, procAmpIndex, procAmpValue,
                                                     sizeof procAmpValue, procAmpValue, sizeof procAmpValue,
                                                     &returned)))
                std::memset(procAmpValue, 0, sizeof procAmpValue);
        }
    }
    if (mask & REQ_LINES_DETECTED) {
        if (!videoDecoderControl) {
            log.Note(REQ_LINES_DETECTED, kNoInterface);
        } else {
            LONG locked = 0;
            // Only the last call made decides whether the transfer failed.
            const HRESULT hr = videoDecoderControl->get_HorizontalLocked(&locked);
            if (SUCCEEDED(hr) && locked == 1) {
                LONG lines = 0;
                if (log.Note(REQ_LINES_DETECTED, videoDecoderControl->get_NumberOfLines(&lines)))
                    linesDetected = static_cast<std::uint32_t>(lines);
            } else if (log.Note(REQ_LINES_DETECTED, hr)) {
                linesDetected = 0;
            }
        }
    }
    if (mask & REQ_INPUT_ROUTE) {
        ComPtr<IAMCrossbar> crossbar;
        const HRESULT hr = FindCrossbar(crossbar);
        // A search that succeeds in another way reads nothing and is no failure.
        if (log.Note(REQ_INPUT_ROUTE, hr) && hr == S_OK) {
            LONG input = 0;
            if (log.Note(REQ_INPUT_ROUTE, crossbar->get_IsRoutedTo(0, &input)))
                inputIndex = static_cast<std::uint32_t>(input);
        }
    }

    if (log.failed != 0)
        TheLog().Log(kLogError, 4, "Get Device Properties Failed - Code = 0x%x : 0x%X", log.failed,
                     static_cast<unsigned>(log.last));
    return log.failed == 0;
}

bool EncoderDevice::SetDeviceProperties(std::uint32_t mask)
{
    if (!captureFilter) {
        TheLog().Log(kLogError, 4, "Video Capture Filter not created - Set Property Failed");
        return false;
    }
    TransferLog log;
    ComPtr<IKsPropertySet> ks;
    captureFilter.As(std::addressof(ks));

    if (mask & REQ_TV_FORMAT) {
        if (!videoDecoderControl) log.Note(REQ_TV_FORMAT, kNoInterface);
        else log.Note(REQ_TV_FORMAT, videoDecoderControl->put_TVFormat(static_cast<LONG>(tvStandard)));
    }
    if (mask & REQ_AUDIO_FORMAT)
        WriteOwn(ks.Get(), log, REQ_AUDIO_FORMAT, ENCPROP_AUDIO_FORMAT, audioFormat, sizeof audioFormat);
    if (mask & REQ_AUDIO_LEVEL)
        WriteOwn(ks.Get(), log, REQ_AUDIO_LEVEL, ENCPROP_AUDIO_LEVEL, audioLevel, sizeof audioLevel);
    if (mask & REQ_AUDIO_MUTE)
        WriteOwn(ks.Get(), log, REQ_AUDIO_MUTE, ENCPROP_AUDIO_MUTE, audioMute, sizeof audioMute);
    if (mask & REQ_ENCODER_SETTINGS)
        WriteOwn(ks.Get(), log, REQ_ENCODER_SETTINGS, ENCPROP_ENCODER_SETTINGS, encoderSettings,
                 sizeof encoderSettings);
    if (mask & REQ_PROCAMP_VALUE) {
        if (!ks) log.Note(REQ_PROCAMP_VALUE, kNoInterface);
        else
            log.Note(REQ_PROCAMP_VALUE, ks->Set(PROPSETID_VIDCAP_VIDEOPROCAMP, procAmpIndex, procAmpValue,
                                                sizeof procAmpValue, procAmpValue, sizeof procAmpValue));
    }
    if (mask & REQ_INPUT_ROUTE) {
        ComPtr<IAMCrossbar> crossbar;
        const HRESULT hr = FindCrossbar(crossbar);
        if (log.Note(REQ_INPUT_ROUTE, hr) && hr == S_OK)
            log.Note(REQ_INPUT_ROUTE, crossbar->Route(0, static_cast<LONG>(inputIndex)));
    }
    if (mask & REQ_OUTPUT_SELECT) {
        // A command without data: no buffer at all.
        if (!ks) log.Note(REQ_OUTPUT_SELECT, kNoInterface);
        else
            log.Note(REQ_OUTPUT_SELECT,
                     ks->Set(PROPSETID_EncoderDevice, ENCPROP_OUTPUT_SELECT, nullptr, 0, nullptr, 0));
    }

    if (log.failed != 0) TheLog().Log(kLogError, 4, "Set Device Property Failed - Code = 0x%x", log.failed);
    return log.failed == 0;
}

}  // namespace quvo::sdk
