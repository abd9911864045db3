// Which PES packets go to which output, as the demultiplexer's stream map says:
// a stream identifier, for private stream 1 a substream value, and a number of
// payload bytes to drop in front (the substream's own header). Plain C++; the
// demultiplexer guards it with its map lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/filters/demux/ProgramStreamParser.h"

namespace quvo::mpeg {

// Substream value meaning "any substream" (SUBSTREAM_FILTER_VAL_NONE).
inline constexpr std::uint32_t kNoSubstreamFilter = 0x10000000;

struct StreamMapping {
    std::uint8_t streamId = 0;
    std::uint32_t substreamFilter = kNoSubstreamFilter;
    std::size_t dataOffset = 0;
    int output = 0;  // the owner's index of the output
};

struct RoutedPayload {
    int output = 0;
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
};

class StreamRouter {
public:
    // False when the stream (and substream) is already mapped to another output.
    bool Map(const StreamMapping& mapping);
    // Removes mappings of `streamId` for `output`; false when there was none.
    bool Unmap(int output, std::uint8_t streamId);
    void UnmapOutput(int output);

    // The output for this payload and its data after the offset; false when no
    // mapping matches or the offset leaves nothing.
    bool Route(const PesPayload& payload, RoutedPayload* out) const;
    std::vector<StreamMapping> MappingsOf(int output) const;
    bool Wants(std::uint8_t streamId) const;

private:
    std::vector<StreamMapping> mappings_;
};

}  // namespace quvo::mpeg
