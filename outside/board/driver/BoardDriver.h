// The board driver's state: what the capture filter's property sets, analogue
// video decoder, proc-amp and crossbar read and write. One per process, as the
// board's settings outlive each capture filter bound from its moniker: a value
// set through one filter holds for the next.
//
// Property buffers follow the board's layouts: 24 header bytes (left as the
// caller sent them), then the payload, little-endian.
//
// Thread-safe: the application thread sets, the streaming thread reads the
// settings each frame. stateLock_ guards every field.
#pragma once

#include <mutex>

#include "outside/board/core/Settings.h"
#include "outside/board/driver/BoardConfig.h"
#include "platform/com/Guid.h"
#include "platform/com/HResult.h"

namespace quvo::board {

// {C662F340-BA96-11D2-B3DB-00104B946F85}
inline constexpr GUID PROPSETID_EncoderDevice = {
    0xC662F340, 0xBA96, 0x11D2, {0xB3, 0xDB, 0x00, 0x10, 0x4B, 0x94, 0x6F, 0x85}};

enum EncoderProperty : DWORD {
    ENCPROP_ENCODER_SETTINGS = 1,
    ENCPROP_AUDIO_LEVEL = 2,
    ENCPROP_AUDIO_FORMAT = 3,
    ENCPROP_DEVICE_INFO = 4,
    ENCPROP_EXTRA_INFO = 5,
    ENCPROP_SERIAL_NUMBER = 6,
    ENCPROP_AUDIO_MUTE = 7,
    ENCPROP_OUTPUT_SELECT = 8,
};

// Answers of a property-set call for a set or id the board does not have.
inline constexpr HRESULT E_PROP_SET_UNSUPPORTED = HRESULT_FROM_WIN32(1170);  // ERROR_SET_NOT_FOUND
inline constexpr HRESULT E_PROP_ID_UNSUPPORTED = HRESULT_FROM_WIN32(1168);   // ERROR_NOT_FOUND

// Buffer length of each property (0 for the data-less output select).
DWORD PropertyLength(DWORD id);
inline constexpr DWORD kProcAmpPropertyLength = 40;
inline constexpr DWORD kPropertyHeader = 24;

class BoardDriver {
public:
    static BoardDriver& Instance();

    // Back to the state after power-on (tests).
    void Reset();

    // The board's own set and the proc-amp set, with the layouts above.
    HRESULT GetProperty(REFGUID set, DWORD id, BYTE* data, DWORD length, DWORD* returned);
    HRESULT SetProperty(REFGUID set, DWORD id, const BYTE* data, DWORD length);
    HRESULT QuerySupported(REFGUID set, DWORD id, DWORD* support);

    // Analogue video decoder.
    HRESULT PutTvFormat(LONG format);
    LONG TvFormat();
    HRESULT HorizontalLocked(LONG* locked);
    HRESULT NumberOfLines(LONG* lines);

    // Proc-amp, property 0..4.
    HRESULT ProcAmpRange(LONG property, LONG* min, LONG* max, LONG* step, LONG* defaultValue, LONG* caps);
    HRESULT SetProcAmp(LONG property, LONG value);
    HRESULT GetProcAmp(LONG property, LONG* value);

    // Crossbar: inputs 0 composite, 1 S-video; one output (the decoder).
    HRESULT Route(LONG output, LONG input);
    HRESULT RoutedTo(LONG output, LONG* input);

    // What the encoder should make now.
    VideoFormat Video();
    PictureSettings Picture();
    AudioSettings Audio();
    // Times the output-select command was given.
    unsigned OutputSelects();

private:
    BoardDriver() { Reset(); }

    // Encoder settings as written (ENCPROP_ENCODER_SETTINGS payload).
    struct EncoderFields {
        std::uint32_t bitRate, peakBitRate, rateMode, width, height, mpeg1;
    };

    std::mutex stateLock_;
    EncoderFields encoder_{};
    std::int32_t volume_ = 0;
    std::uint32_t sampleRate_ = 48000;
    std::uint8_t audioFormat_[4] = {};
    std::uint32_t mute_ = 0;
    LONG tvFormat_ = 16;
    int procAmp_[kProcAmpCount] = {};
    LONG input_ = 0;
    unsigned outputSelects_ = 0;
};

}  // namespace quvo::board
