// Builds program-stream bytes for the parser tests: MPEG-1 and MPEG-2 pack headers,
// system headers, padding and PES packets with time stamps.
#pragma once

#include <cstdint>
#include <vector>

namespace quvo::mpeg::test {

using Bytes = std::vector<std::uint8_t>;

inline void PutTimeStamp(Bytes& b, std::uint8_t prefix, std::uint64_t ts)
{
    b.push_back(static_cast<std::uint8_t>((prefix << 4) | (((ts >> 30) & 7) << 1) | 1));
    b.push_back(static_cast<std::uint8_t>(ts >> 22));
    b.push_back(static_cast<std::uint8_t>(((ts >> 15) & 0x7F) << 1 | 1));
    b.push_back(static_cast<std::uint8_t>(ts >> 7));
    b.push_back(static_cast<std::uint8_t>((ts & 0x7F) << 1 | 1));
}

inline void PutLength(Bytes& b, std::size_t lengthPos)
{
    const std::size_t len = b.size() - lengthPos - 2;
    b[lengthPos] = static_cast<std::uint8_t>(len >> 8);
    b[lengthPos + 1] = static_cast<std::uint8_t>(len);
}

inline void Mpeg2Pack(Bytes& b, int stuffing = 0)
{
    const Bytes pack = {0, 0, 1, 0xBA, 0x44, 0, 4, 0, 4, 1, 0x01, 0x89, 0xC3,
                        static_cast<std::uint8_t>(0xF8 | stuffing)};
    b.insert(b.end(), pack.begin(), pack.end());
    for (int i = 0; i < stuffing; ++i) b.push_back(0xFF);
}

inline void Mpeg1Pack(Bytes& b)
{
    const Bytes pack = {0, 0, 1, 0xBA, 0x21, 0, 1, 0, 1, 0x80, 0x1B, 0x83};
    b.insert(b.end(), pack.begin(), pack.end());
}

inline void SystemHeader(Bytes& b)
{
    const Bytes header = {0, 0, 1, 0xBB, 0, 12, 0x80, 0x1B, 0x83, 0x04, 0xE1, 0xFF,
                          0xE0, 0xE0, 0xE8, 0xBD, 0xE0, 0x20};
    b.insert(b.end(), header.begin(), header.end());
}

inline void Padding(Bytes& b, std::size_t size)
{
    b.insert(b.end(), {0, 0, 1, 0xBE, static_cast<std::uint8_t>(size >> 8), static_cast<std::uint8_t>(size)});
    b.insert(b.end(), size, 0xFF);
}

// MPEG-2 PES packet; pts/dts < 0 leave them out.
inline void Mpeg2Pes(Bytes& b, std::uint8_t id, const Bytes& payload, std::int64_t pts = -1,
                     std::int64_t dts = -1)
{
    b.insert(b.end(), {0, 0, 1, id, 0, 0});
    const std::size_t lengthPos = b.size() - 2;
    const std::uint8_t flags = pts < 0 ? 0 : (dts < 0 ? 0x80 : 0xC0);
    const std::uint8_t headerLength = pts < 0 ? 0 : (dts < 0 ? 5 : 10);
    b.insert(b.end(), {0x81, flags, headerLength});
    if (pts >= 0) PutTimeStamp(b, dts < 0 ? 2 : 3, static_cast<std::uint64_t>(pts));
    if (dts >= 0) PutTimeStamp(b, 1, static_cast<std::uint64_t>(dts));
    b.insert(b.end(), payload.begin(), payload.end());
    PutLength(b, lengthPos);
}

// MPEG-1 packet with stuffing, an STD buffer field and PTS (+DTS) when given.
inline void Mpeg1Pes(Bytes& b, std::uint8_t id, const Bytes& payload, std::int64_t pts = -1,
                     std::int64_t dts = -1)
{
    b.insert(b.end(), {0, 0, 1, id, 0, 0});
    const std::size_t lengthPos = b.size() - 2;
    b.insert(b.end(), {0xFF, 0xFF, 0x60, 0x2E});
    if (pts < 0) {
        b.push_back(0x0F);
    } else {
        PutTimeStamp(b, dts < 0 ? 2 : 3, static_cast<std::uint64_t>(pts));
        if (dts >= 0) PutTimeStamp(b, 1, static_cast<std::uint64_t>(dts));
    }
    b.insert(b.end(), payload.begin(), payload.end());
    PutLength(b, lengthPos);
}

inline Bytes Payload(std::size_t size, std::uint8_t seed)
{
    Bytes p(size);
    for (std::size_t i = 0; i < size; ++i) p[i] = static_cast<std::uint8_t>((seed + i * 7) & 0x7F) | 0x80;
    return p;
}

}  // namespace quvo::mpeg::test
