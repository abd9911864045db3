#include "platform/filters/demux/StreamRouter.h"

#include <algorithm>

#include "platform/graph/MpegStartCodes.h"

namespace quvo::mpeg {
namespace {

bool Matches(const StreamMapping& m, std::uint8_t streamId, std::uint32_t substream)
{
    if (m.streamId != streamId) return false;
    return m.substreamFilter == kNoSubstreamFilter || substream == kNoSubstreamFilter
        || m.substreamFilter == substream;
}

// The filter value given for a stream without substreams (video, MPEG audio) is
// not a substream number: only private stream 1 looks at it.
std::uint32_t EffectiveFilter(const StreamMapping& m)
{
    return m.streamId == kPrivateStream1 ? m.substreamFilter : kNoSubstreamFilter;
}

}  // namespace

bool StreamRouter::Map(const StreamMapping& mapping)
{
    StreamMapping m = mapping;
    m.substreamFilter = EffectiveFilter(mapping);
    for (const StreamMapping& existing : mappings_) {
        if (Matches(existing, m.streamId, m.substreamFilter)) {
            if (existing.output != m.output) return false;
        }
    }
    mappings_.reserve(mappings_.size() + 1);  // a failure leaves the map as it was
    mappings_.erase(std::remove_if(mappings_.begin(), mappings_.end(),
                                   [&](const StreamMapping& e) {
                                       return e.output == m.output && e.streamId == m.streamId
                                           && e.substreamFilter == m.substreamFilter;
                                   }),
                    mappings_.end());
    mappings_.push_back(m);
    return true;
}

bool StreamRouter::Unmap(int output, std::uint8_t streamId)
{
    const auto before = mappings_.size();
    mappings_.erase(std::remove_if(mappings_.begin(), mappings_.end(),
                                   [&](const StreamMapping& e) {
                                       return e.output == output && e.streamId == streamId;
                                   }),
                    mappings_.end());
    return mappings_.size() != before;
}

void StreamRouter::UnmapOutput(int output)
{
    mappings_.erase(std::remove_if(mappings_.begin(), mappings_.end(),
                                   [&](const StreamMapping& e) { return e.output == output; }),
                    mappings_.end());
}

bool StreamRouter::Route(const PesPayload& payload, RoutedPayload* out) const
{
    for (const StreamMapping& m : mappings_) {
        if (m.streamId != payload.streamId) continue;
        if (m.substreamFilter != kNoSubstreamFilter && m.substreamFilter != payload.substreamId) continue;
        if (m.dataOffset >= payload.size) return false;
        out->output = m.output;
        out->data = payload.data + m.dataOffset;
        out->size = payload.size - m.dataOffset;
        return true;
    }
    return false;
}

std::vector<StreamMapping> StreamRouter::MappingsOf(int output) const
{
    std::vector<StreamMapping> result;
    for (const StreamMapping& m : mappings_)
        if (m.output == output) result.push_back(m);
    return result;
}

bool StreamRouter::Wants(std::uint8_t streamId) const
{
    return std::any_of(mappings_.begin(), mappings_.end(),
                       [&](const StreamMapping& m) { return m.streamId == streamId; });
}

}  // namespace quvo::mpeg
