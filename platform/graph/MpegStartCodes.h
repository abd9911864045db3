// MPEG system and video start codes (the byte after the prefix 00 00 01) and the
// one start-code scanner every reader and writer of program streams uses: the
// demultiplexer's parser, the splitter's probe, the file writer and the board.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace quvo::mpeg {

// Video elementary stream.
inline constexpr std::uint8_t kPictureStartCode = 0x00;
inline constexpr std::uint8_t kSequenceHeaderCode = 0xB3;
inline constexpr std::uint8_t kSequenceEndCode = 0xB7;
inline constexpr std::uint8_t kGroupStartCode = 0xB8;
// Program stream.
inline constexpr std::uint8_t kProgramEndCode = 0xB9;
inline constexpr std::uint8_t kPackHeaderCode = 0xBA;
inline constexpr std::uint8_t kSystemHeaderCode = 0xBB;
inline constexpr std::uint8_t kProgramStreamMap = 0xBC;
inline constexpr std::uint8_t kPrivateStream1 = 0xBD;
inline constexpr std::uint8_t kPaddingStream = 0xBE;
inline constexpr std::uint8_t kPrivateStream2 = 0xBF;
inline constexpr std::uint8_t kFirstAudioStream = 0xC0;
inline constexpr std::uint8_t kLastAudioStream = 0xDF;
inline constexpr std::uint8_t kFirstVideoStream = 0xE0;
inline constexpr std::uint8_t kLastVideoStream = 0xEF;
// Private stream 1 substreams: AC-3 0x80-0x87, LPCM 0xA0-0xA7.
inline constexpr std::uint8_t kFirstAc3Substream = 0x80;
inline constexpr std::uint8_t kLastAc3Substream = 0x87;
inline constexpr std::uint8_t kFirstLpcmSubstream = 0xA0;
inline constexpr std::uint8_t kLastLpcmSubstream = 0xA7;

inline constexpr std::uint8_t kStartCodePrefix[3] = {0x00, 0x00, 0x01};

inline bool IsStartCodePrefix(const std::uint8_t* p) { return p[0] == 0 && p[1] == 0 && p[2] == 1; }

// Position of the first 00 00 01 at or after `from` whose code byte is still inside
// the data; n when there is none (StartCodeTailLength says what to keep then).
inline std::size_t FindStartCode(const std::uint8_t* data, std::size_t n, std::size_t from)
{
    if (n < 4 || from > n - 4) return n;
    // memchr finds the 01 of 00 00 01 at vector speed; the two zeros before it are
    // checked only at its hits. The 01 must leave room for the code byte after it.
    std::size_t i = from + 2;
    const std::size_t last = n - 2;
    while (i <= last) {
        const void* hit = std::memchr(data + i, 0x01, last - i + 1);
        if (!hit) return n;
        const std::size_t j = static_cast<std::size_t>(static_cast<const std::uint8_t*>(hit) - data);
        if (data[j - 1] == 0 && data[j - 2] == 0) return j - 2;
        // data[j] is not 0, so the next 00 00 01 cannot begin before j + 1.
        i = j + 3;
    }
    return n;
}

// How many bytes at the end of the data could begin a start code cut by the end of
// the data: 3 for 00 00 01, 2 for 00 00, 1 for 00, else 0.
inline std::size_t StartCodeTailLength(const std::uint8_t* data, std::size_t n)
{
    if (n >= 3 && data[n - 3] == 0 && data[n - 2] == 0 && data[n - 1] == 1) return 3;
    if (n >= 2 && data[n - 2] == 0 && data[n - 1] == 0) return 2;
    if (n >= 1 && data[n - 1] == 0) return 1;
    return 0;
}

}  // namespace quvo::mpeg
