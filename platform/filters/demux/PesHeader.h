// Header of one PES packet in a program stream: which stream, where the payload
// starts, and the presentation and decoding time stamps (MPEG-1 and MPEG-2 forms).
#pragma once

#include <cstddef>
#include <cstdint>

namespace quvo::mpeg {

struct PesHeader {
    std::uint8_t streamId = 0;
    std::size_t payloadOffset = 0;  // from the packet's first byte (the 00 00 01 prefix)
    std::size_t payloadSize = 0;
    bool hasPts = false;
    bool hasDts = false;
    std::uint64_t pts = 0;  // 33-bit, 90 kHz
    std::uint64_t dts = 0;
};

// `packet` holds one whole PES packet: 00 00 01 id, 16-bit length, then `length`
// bytes. False when the header inside does not fit its own length or is malformed;
// nothing outside [packet, packet + size) is read.
bool ParsePesHeader(const std::uint8_t* packet, std::size_t size, PesHeader* out);

// Streams that carry a PES header after the length field (not padding, private
// stream 2, the stream map or the directory).
bool HasPesHeader(std::uint8_t streamId);

}  // namespace quvo::mpeg
