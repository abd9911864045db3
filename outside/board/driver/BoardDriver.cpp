#include "outside/board/driver/BoardDriver.h"

#include <algorithm>
#include <cstring>

#include "outside/board/driver/DeviceInfo.h"
#include "platform/graph/DeviceInterfaces.h"
#include "platform/graph/Guids.h"

namespace quvo::board {
namespace {

constexpr LONG kNtsc = AnalogVideo_NTSC_M;
constexpr LONG kPal = AnalogVideo_PAL_B;

void Put32(BYTE* at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) at[i] = static_cast<BYTE>(v >> (8 * i));
}
std::uint32_t Get32(const BYTE* at)
{
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
           static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

// A failure a real driver would answer for a property it is told to fail.
constexpr HRESULT kInjectedFailure = HRESULT_FROM_WIN32(31);  // ERROR_GEN_FAILURE

}  // namespace

DWORD PropertyLength(DWORD id)
{
    switch (id) {
    case ENCPROP_ENCODER_SETTINGS: return 48;
    case ENCPROP_AUDIO_LEVEL:
    case ENCPROP_AUDIO_FORMAT:
    case ENCPROP_AUDIO_MUTE: return 32;
    case ENCPROP_DEVICE_INFO: return 128;
    case ENCPROP_EXTRA_INFO: return 64;
    case ENCPROP_SERIAL_NUMBER: return 56;
    default: return 0;
    }
}

BoardDriver& BoardDriver::Instance()
{
    static BoardDriver driver;
    return driver;
}

void BoardDriver::Reset()
{
    std::lock_guard lock(stateLock_);
    // Power-on: MPEG-2 at the full PAL size, constant 4.2 Mbit/s.
    encoder_ = {4200000, 4200000, 0, 720, 576, 0};
    volume_ = 0;
    sampleRate_ = 48000;
    std::memset(audioFormat_, 0, sizeof audioFormat_);
    mute_ = 0;
    tvFormat_ = kPal;
    for (int i = 0; i < kProcAmpCount; ++i) procAmp_[i] = kProcAmpRanges[i].defaultValue;
    input_ = 0;
    outputSelects_ = 0;
}

HRESULT BoardDriver::QuerySupported(REFGUID set, DWORD id, DWORD* support)
{
    if (!support) return E_POINTER;
    if (set == PROPSETID_VIDCAP_VIDEOPROCAMP && id < kProcAmpCount) {
        *support = KSPROPERTY_SUPPORT_GET | KSPROPERTY_SUPPORT_SET;
        return S_OK;
    }
    if (set != PROPSETID_EncoderDevice) return E_PROP_SET_UNSUPPORTED;
    switch (id) {
    case ENCPROP_ENCODER_SETTINGS:
    case ENCPROP_AUDIO_LEVEL:
    case ENCPROP_AUDIO_FORMAT:
    case ENCPROP_AUDIO_MUTE: *support = KSPROPERTY_SUPPORT_GET | KSPROPERTY_SUPPORT_SET; return S_OK;
    case ENCPROP_DEVICE_INFO:
    case ENCPROP_EXTRA_INFO:
    case ENCPROP_SERIAL_NUMBER: *support = KSPROPERTY_SUPPORT_GET; return S_OK;
    case ENCPROP_OUTPUT_SELECT: *support = KSPROPERTY_SUPPORT_SET; return S_OK;
    default: return E_PROP_ID_UNSUPPORTED;
    }
}

HRESULT BoardDriver::GetProperty(REFGUID set, DWORD id, BYTE* data, DWORD length, DWORD* returned)
{
    if (returned) *returned = 0;
    const BoardConfig config = CurrentConfig();
    if (set == PROPSETID_VIDCAP_VIDEOPROCAMP) {
        if (id >= kProcAmpCount) return E_PROP_ID_UNSUPPORTED;
        if (!data) return E_POINTER;
        if (length < kProcAmpPropertyLength) return E_INVALIDARG;
        std::lock_guard lock(stateLock_);
        Put32(data + 24, static_cast<std::uint32_t>(procAmp_[id]));
        Put32(data + 28, static_cast<std::uint32_t>(VideoProcAmp_Flags_Manual));
        Put32(data + 32, static_cast<std::uint32_t>(VideoProcAmp_Flags_Manual));
        Put32(data + 36, 0);
        if (returned) *returned = kProcAmpPropertyLength;
        return S_OK;
    }
    if (set != PROPSETID_EncoderDevice) return E_PROP_SET_UNSUPPORTED;
    const DWORD need = PropertyLength(id);
    if (need == 0) return id == ENCPROP_OUTPUT_SELECT ? E_INVALIDARG : E_PROP_ID_UNSUPPORTED;
    if (!data) return E_POINTER;
    if (length < need) return E_INVALIDARG;
    if (config.failGetProperty == id) return kInjectedFailure;

    // The header stays as the caller sent it; the payload is ours.
    BYTE* p = data + kPropertyHeader;
    std::memset(p, 0, need - kPropertyHeader);
    std::lock_guard lock(stateLock_);
    switch (id) {
    case ENCPROP_ENCODER_SETTINGS:
        Put32(p + 0, encoder_.bitRate);
        Put32(p + 4, encoder_.peakBitRate);
        Put32(p + 8, encoder_.rateMode);
        Put32(p + 12, encoder_.width);
        Put32(p + 16, encoder_.height);
        Put32(p + 20, encoder_.mpeg1);
        break;
    case ENCPROP_AUDIO_LEVEL:
        Put32(p, static_cast<std::uint32_t>(volume_));
        break;
    case ENCPROP_AUDIO_FORMAT:
        Put32(p, sampleRate_);
        std::memcpy(p + 4, audioFormat_, 4);
        break;
    case ENCPROP_DEVICE_INFO: {
        const DeviceInfo info = DeviceInfoFor(encoder_.mpeg1 == 1, tvFormat_ == kNtsc);
        Put32(p + 0, info.minBitRate);
        Put32(p + 4, info.maxBitRate);
        Put32(p + 8, info.maxPeakBitRate);
        Put32(p + 12, info.referenceBitRate);
        Put32(p + 16, info.bitRateStep);
        const std::size_t n = std::min<std::size_t>(info.frameSizes.size(), 10);
        Put32(p + 20, static_cast<std::uint32_t>(n));
        for (std::size_t i = 0; i < n; ++i) {
            Put32(p + 24 + 8 * i, info.frameSizes[i].width);
            Put32(p + 28 + 8 * i, info.frameSizes[i].height);
        }
        break;
    }
    case ENCPROP_EXTRA_INFO:
        // Hardware revision, firmware version, then the board's name.
        Put32(p + 0, 3);
        Put32(p + 4, 0x00020105);
        std::memcpy(p + 8, "KESTOR MPEG ENCODER", 19);
        break;
    case ENCPROP_SERIAL_NUMBER: {
        // Length at byte 33, up to 14 serial bytes from byte 34; a longer serial
        // number states its own length and is cut to what fits.
        const std::string& s = config.serialNumber;
        data[33] = static_cast<BYTE>(std::min<std::size_t>(s.size(), 255));
        std::memcpy(data + 34, s.data(), std::min<std::size_t>(s.size(), 14));
        break;
    }
    case ENCPROP_AUDIO_MUTE:
        Put32(p, mute_);
        break;
    default: break;
    }
    if (returned) *returned = need;
    return S_OK;
}

HRESULT BoardDriver::SetProperty(REFGUID set, DWORD id, const BYTE* data, DWORD length)
{
    const BoardConfig config = CurrentConfig();
    if (set == PROPSETID_VIDCAP_VIDEOPROCAMP) {
        if (id >= kProcAmpCount) return E_PROP_ID_UNSUPPORTED;
        if (!data) return E_POINTER;
        if (length < kProcAmpPropertyLength) return E_INVALIDARG;
        return SetProcAmp(static_cast<LONG>(id), static_cast<std::int32_t>(Get32(data + 24)));
    }
    if (set != PROPSETID_EncoderDevice) return E_PROP_SET_UNSUPPORTED;
    if (id < ENCPROP_ENCODER_SETTINGS || id > ENCPROP_OUTPUT_SELECT) return E_PROP_ID_UNSUPPORTED;
    if (id == ENCPROP_DEVICE_INFO || id == ENCPROP_EXTRA_INFO || id == ENCPROP_SERIAL_NUMBER)
        return E_PROP_ID_UNSUPPORTED;  // read only
    if (config.failSetProperty == id) return kInjectedFailure;
    if (id == ENCPROP_OUTPUT_SELECT) {
        std::lock_guard lock(stateLock_);
        ++outputSelects_;
        return S_OK;
    }
    if (!data) return E_POINTER;
    if (length < PropertyLength(id)) return E_INVALIDARG;
    const BYTE* p = data + kPropertyHeader;
    std::lock_guard lock(stateLock_);
    switch (id) {
    case ENCPROP_ENCODER_SETTINGS:
        // Kept as written; the encoder works from a sanitised copy.
        encoder_ = {Get32(p + 0), Get32(p + 4), Get32(p + 8), Get32(p + 12), Get32(p + 16), Get32(p + 20)};
        break;
    case ENCPROP_AUDIO_LEVEL: volume_ = static_cast<std::int32_t>(Get32(p)); break;
    case ENCPROP_AUDIO_FORMAT:
        sampleRate_ = Get32(p);
        std::memcpy(audioFormat_, p + 4, 4);
        break;
    case ENCPROP_AUDIO_MUTE: mute_ = Get32(p); break;
    default: break;
    }
    return S_OK;
}

HRESULT BoardDriver::PutTvFormat(LONG format)
{
    if (format != kNtsc && format != kPal) return E_INVALIDARG;
    if (CurrentConfig().refuseTvFormat == format) return E_FAIL;
    std::lock_guard lock(stateLock_);
    if (format != tvFormat_) {
        // The decoder's line count changes the encoder's frame size with it.
        const FrameSize s = AdaptToStandard({encoder_.width, encoder_.height}, format == kNtsc);
        encoder_.width = s.width;
        encoder_.height = s.height;
        tvFormat_ = format;
    }
    return S_OK;
}

LONG BoardDriver::TvFormat()
{
    std::lock_guard lock(stateLock_);
    return tvFormat_;
}

HRESULT BoardDriver::HorizontalLocked(LONG* locked)
{
    if (!locked) return E_POINTER;
    *locked = CurrentConfig().signal ? 1 : 0;
    return S_OK;
}

HRESULT BoardDriver::NumberOfLines(LONG* lines)
{
    if (!lines) return E_POINTER;
    const BoardConfig config = CurrentConfig();
    if (!config.signal) {
        *lines = 0;
        return S_OK;
    }
    if (config.lines != 0) {
        *lines = static_cast<LONG>(config.lines);
        return S_OK;
    }
    std::lock_guard lock(stateLock_);
    *lines = tvFormat_ == kNtsc ? 525 : 625;
    return S_OK;
}

HRESULT BoardDriver::ProcAmpRange(LONG property, LONG* min, LONG* max, LONG* step, LONG* defaultValue, LONG* caps)
{
    if (!min || !max || !step || !defaultValue || !caps) return E_POINTER;
    if (property < 0 || property >= kProcAmpCount) return E_PROP_ID_UNSUPPORTED;
    if (CurrentConfig().failProcAmpRange == property) return kInjectedFailure;
    const quvo::board::ProcAmpRange& r = kProcAmpRanges[property];
    *min = r.minimum;
    *max = r.maximum;
    *step = r.step;
    *defaultValue = r.defaultValue;
    *caps = VideoProcAmp_Flags_Manual;
    return S_OK;
}

HRESULT BoardDriver::SetProcAmp(LONG property, LONG value)
{
    if (property < 0 || property >= kProcAmpCount) return E_PROP_ID_UNSUPPORTED;
    const quvo::board::ProcAmpRange& r = kProcAmpRanges[property];
    if (value < r.minimum || value > r.maximum) return E_INVALIDARG;
    std::lock_guard lock(stateLock_);
    procAmp_[property] = value;
    return S_OK;
}

HRESULT BoardDriver::GetProcAmp(LONG property, LONG* value)
{
    if (!value) return E_POINTER;
    if (property < 0 || property >= kProcAmpCount) return E_PROP_ID_UNSUPPORTED;
    std::lock_guard lock(stateLock_);
    *value = procAmp_[property];
    return S_OK;
}

HRESULT BoardDriver::Route(LONG output, LONG input)
{
    if (output != 0 || (input != 0 && input != 1)) return E_INVALIDARG;
    std::lock_guard lock(stateLock_);
    input_ = input;
    return S_OK;
}

HRESULT BoardDriver::RoutedTo(LONG output, LONG* input)
{
    if (!input) return E_POINTER;
    if (output != 0) return E_INVALIDARG;
    std::lock_guard lock(stateLock_);
    *input = input_;
    return S_OK;
}

VideoFormat BoardDriver::Video()
{
    std::lock_guard lock(stateLock_);
    VideoFormat f;
    f.width = static_cast<int>(std::min<std::uint32_t>(encoder_.width, 4096));
    f.height = static_cast<int>(std::min<std::uint32_t>(encoder_.height, 4096));
    f.mpeg1 = encoder_.mpeg1 == 1;
    f.vbr = encoder_.rateMode == 1;
    f.bitRate = encoder_.bitRate;
    f.peakBitRate = encoder_.peakBitRate;
    f.tv = tvFormat_ == kNtsc ? TvSystem::Ntsc : TvSystem::Pal;
    return f;
}

PictureSettings BoardDriver::Picture()
{
    const bool signal = CurrentConfig().signal;
    std::lock_guard lock(stateLock_);
    PictureSettings p;
    p.brightness = procAmp_[0];
    p.contrast = procAmp_[1];
    p.hue = procAmp_[2];
    p.saturation = procAmp_[3];
    p.sharpness = procAmp_[4];
    p.input = input_ == 1 ? VideoInput::SVideo : VideoInput::Composite;
    p.signal = signal;
    return p;
}

AudioSettings BoardDriver::Audio()
{
    std::lock_guard lock(stateLock_);
    return AudioSettings{volume_, mute_ != 0};
}

unsigned BoardDriver::OutputSelects()
{
    std::lock_guard lock(stateLock_);
    return outputSelects_;
}

}  // namespace quvo::board
