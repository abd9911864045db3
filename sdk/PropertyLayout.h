// The board driver's own property set and the byte layouts of its buffers, and the
// request masks that name the transfers of the property channel. Every buffer of
// the set starts with a 24-byte header that the library zeroes before a read and
// sends back unchanged; multi-byte fields are little-endian.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/com/Guid.h"

namespace quvo::sdk {

// {C662F340-BA96-11D2-B3DB-00104B946F85}
inline constexpr GUID PROPSETID_EncoderDevice = {
    0xC662F340, 0xBA96, 0x11D2, {0xB3, 0xDB, 0x00, 0x10, 0x4B, 0x94, 0x6F, 0x85}};

enum EncoderProperty : std::uint32_t {
    ENCPROP_ENCODER_SETTINGS = 1,
    ENCPROP_AUDIO_LEVEL = 2,
    ENCPROP_AUDIO_FORMAT = 3,
    ENCPROP_DEVICE_INFO = 4,
    ENCPROP_EXTRA_INFO = 5,
    ENCPROP_SERIAL_NUMBER = 6,
    ENCPROP_AUDIO_MUTE = 7,
    ENCPROP_OUTPUT_SELECT = 8,
};

// Request mask bits: one transfer each (a bit that has no transfer in a direction
// is ignored there).
enum RequestMask : std::uint32_t {
    REQ_DEVICE_INFO = 0x001,       // read only
    REQ_PROCAMP_RANGES = 0x002,    // read only
    REQ_ENCODER_SETTINGS = 0x004,
    REQ_PROCAMP_VALUE = 0x008,
    REQ_TV_FORMAT = 0x010,
    REQ_EXTRA_INFO = 0x020,        // read only
    REQ_AUDIO_FORMAT = 0x040,
    REQ_AUDIO_LEVEL = 0x080,
    REQ_AUDIO_MUTE = 0x100,
    REQ_LINES_DETECTED = 0x200,    // read only
    REQ_INPUT_ROUTE = 0x400,
    REQ_OUTPUT_SELECT = 0x800,     // write only
};

// Everything start-up reads: all but the proc-amp value.
inline constexpr std::uint32_t kStartupReadMask = 0x7F7;

namespace layout {

inline constexpr std::size_t kHeader = 24;

// Encoder settings (48 bytes).
inline constexpr std::size_t kBitrate = 24;
inline constexpr std::size_t kPeakBitrate = 28;
inline constexpr std::size_t kRateMode = 32;
inline constexpr std::size_t kFrameWidth = 36;
inline constexpr std::size_t kFrameHeight = 40;
inline constexpr std::size_t kMpeg1Flag = 44;

// Audio level, audio mute (32 bytes each): the value at the payload start.
inline constexpr std::size_t kAudioValue = 24;

// Audio format (32 bytes).
inline constexpr std::size_t kSamplingRate = 24;
inline constexpr std::size_t kAudioFormatByte = 28;

// Device information (128 bytes).
inline constexpr std::size_t kMinBitrate = 24;
inline constexpr std::size_t kMaxBitrate = 28;
inline constexpr std::size_t kReferenceBitrate = 36;
inline constexpr std::size_t kBitrateStep = 40;
inline constexpr std::size_t kFrameSizeCount = 44;
inline constexpr std::size_t kFrameSizes = 48;  // width, height pairs
inline constexpr std::uint32_t kMaxFrameSizes = 10;

// Serial number (56 bytes).
inline constexpr std::size_t kSerialLength = 56;
inline constexpr std::size_t kSerialLengthByte = 33;
inline constexpr std::size_t kSerialBytes = 34;
inline constexpr std::uint32_t kMaxSerialLength = 14;

// Proc-amp value (40 bytes, the platform's proc-amp set): the signed value.
inline constexpr std::size_t kProcAmpValue = 24;

}  // namespace layout

inline std::uint32_t ReadU32(const std::uint8_t* buffer, std::size_t offset)
{
    const std::uint8_t* p = buffer + offset;
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

inline void WriteU32(std::uint8_t* buffer, std::size_t offset, std::uint32_t value)
{
    for (std::size_t i = 0; i < 4; ++i) buffer[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline std::int32_t ReadI32(const std::uint8_t* buffer, std::size_t offset)
{
    return static_cast<std::int32_t>(ReadU32(buffer, offset));
}

inline void WriteI32(std::uint8_t* buffer, std::size_t offset, std::int32_t value)
{
    WriteU32(buffer, offset, static_cast<std::uint32_t>(value));
}

}  // namespace quvo::sdk
