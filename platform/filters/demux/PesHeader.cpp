#include "platform/filters/demux/PesHeader.h"

#include "platform/graph/MpegStartCodes.h"

namespace quvo::mpeg {
namespace {

constexpr std::uint8_t kEcmStream = 0xF0;
constexpr std::uint8_t kEmmStream = 0xF1;
constexpr std::uint8_t kDsmccStream = 0xF2;
constexpr std::uint8_t kH222TypeE = 0xF8;
constexpr std::uint8_t kDirectory = 0xFF;

// A 33-bit time stamp in its 5-byte form: 4 prefix bits, 3 bits, marker, 15 bits,
// marker, 15 bits, marker. Marker bits are not checked: encoders get them wrong
// and the value is still usable.
std::uint64_t ReadTimeStamp(const std::uint8_t* p)
{
    return (static_cast<std::uint64_t>((p[0] >> 1) & 0x07) << 30)
        | (static_cast<std::uint64_t>(p[1]) << 22)
        | (static_cast<std::uint64_t>(p[2] >> 1) << 15)
        | (static_cast<std::uint64_t>(p[3]) << 7)
        | static_cast<std::uint64_t>(p[4] >> 1);
}

// MPEG-2 PES header: '10' marker, flags, header data length, then optional fields.
bool ParseMpeg2(const std::uint8_t* p, std::size_t end, PesHeader* out)
{
    constexpr std::size_t kFixed = 9;  // prefix, id, length, two flag bytes, header length
    if (end < kFixed) return false;
    const std::uint8_t flags = p[7];
    const std::size_t headerEnd = kFixed + p[8];
    if (headerEnd > end) return false;

    const std::uint8_t ptsDts = flags >> 6;
    std::size_t pos = kFixed;
    if (ptsDts == 2 || ptsDts == 3) {
        if (pos + 5 > headerEnd) return false;
        out->hasPts = true;
        out->pts = ReadTimeStamp(p + pos);
        pos += 5;
    }
    if (ptsDts == 3) {
        if (pos + 5 > headerEnd) return false;
        out->hasDts = true;
        out->dts = ReadTimeStamp(p + pos);
    }
    out->payloadOffset = headerEnd;
    return true;
}

// MPEG-1 packet header: up to 16 stuffing bytes, an optional STD buffer field, then
// PTS, PTS+DTS or the single byte 0x0F.
bool ParseMpeg1(const std::uint8_t* p, std::size_t end, PesHeader* out)
{
    constexpr std::size_t kMaxStuffing = 16;
    std::size_t pos = 6;
    std::size_t stuffing = 0;
    while (pos < end && p[pos] == 0xFF) {
        if (++stuffing > kMaxStuffing) return false;
        ++pos;
    }
    if (pos >= end) return false;
    if ((p[pos] & 0xC0) == 0x40) {  // STD buffer scale and size
        pos += 2;
        if (pos >= end) return false;
    }
    const std::uint8_t kind = p[pos] & 0xF0;
    if (kind == 0x20) {
        if (pos + 5 > end) return false;
        out->hasPts = true;
        out->pts = ReadTimeStamp(p + pos);
        pos += 5;
    } else if (kind == 0x30) {
        if (pos + 10 > end) return false;
        out->hasPts = true;
        out->pts = ReadTimeStamp(p + pos);
        out->hasDts = true;
        out->dts = ReadTimeStamp(p + pos + 5);
        pos += 10;
    } else if (p[pos] == 0x0F) {
        pos += 1;
    } else {
        return false;
    }
    out->payloadOffset = pos;
    return true;
}

}  // namespace

bool HasPesHeader(std::uint8_t id)
{
    switch (id) {
    case kProgramStreamMap:
    case kPaddingStream:
    case kPrivateStream2:
    case kEcmStream:
    case kEmmStream:
    case kDsmccStream:
    case kH222TypeE:
    case kDirectory:
        return false;
    default:
        return id >= kPrivateStream1;
    }
}

bool ParsePesHeader(const std::uint8_t* p, std::size_t size, PesHeader* out)
{
    if (size < 6 || p[0] != 0 || p[1] != 0 || p[2] != 1) return false;
    const std::size_t end = 6 + ((static_cast<std::size_t>(p[4]) << 8) | p[5]);
    if (end > size) return false;

    *out = PesHeader{};
    out->streamId = p[3];
    if (end <= 6) return false;
    const bool ok = (p[6] & 0xC0) == 0x80 ? ParseMpeg2(p, end, out) : ParseMpeg1(p, end, out);
    if (!ok) return false;
    out->payloadSize = end - out->payloadOffset;
    return true;
}

}  // namespace quvo::mpeg
