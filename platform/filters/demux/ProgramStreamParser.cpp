#include "platform/filters/demux/ProgramStreamParser.h"

#include "platform/graph/MpegStartCodes.h"

#include <algorithm>
#include <cstring>

namespace quvo::mpeg {
namespace {

constexpr std::size_t kMpeg1PackSize = 12;
constexpr std::size_t kMpeg2PackFixed = 14;

}  // namespace

ProgramStreamParser::ProgramStreamParser(PayloadSink sink) : sink_(std::move(sink))
{
    wanted_.set(kPrivateStream1);
    for (unsigned id = kFirstAudioStream; id <= kLastVideoStream; ++id) wanted_.set(id);
}

void ProgramStreamParser::SetStreamWanted(std::uint8_t streamId, bool wanted)
{
    wanted_.set(streamId, wanted);
}

void ProgramStreamParser::Reset()
{
    carry_.clear();
    skipRemaining_ = 0;
}

void ProgramStreamParser::Push(const std::uint8_t* data, std::size_t size)
{
    if (skipRemaining_ > 0) {
        const std::size_t n = std::min(skipRemaining_, size);
        skipRemaining_ -= n;
        data += n;
        size -= n;
    }
    if (size == 0) return;

    if (carry_.empty()) {
        const std::size_t used = ParseBuffer(data, size);
        if (skipRemaining_ == 0) carry_.assign(data + used, data + size);
        return;
    }
    // Complete the held unit from the new block; whatever is left over is parsed in
    // place, so only an unfinished tail is ever copied.
    const std::size_t take = std::min(size, kMaxUnit);
    carry_.insert(carry_.end(), data, data + take);
    const std::size_t used = ParseBuffer(carry_.data(), carry_.size());
    const std::size_t heldBefore = carry_.size() - take;
    if (used >= heldBefore && skipRemaining_ == 0 && take < size) {
        // The held unit ended inside the new block: go on from the block itself.
        const std::size_t offset = used - heldBefore;
        carry_.clear();
        Push(data + offset, size - offset);
        return;
    }
    if (skipRemaining_ > 0) {
        // A skipped packet runs past everything copied so far.
        carry_.clear();
        if (take < size) Push(data + take, size - take);
        return;
    }
    carry_.erase(carry_.begin(), carry_.begin() + static_cast<std::ptrdiff_t>(used));
    if (take < size) Push(data + take, size - take);  // appends to what is still held
}

std::size_t ProgramStreamParser::ParseBuffer(const std::uint8_t* data, std::size_t size)
{
    std::size_t pos = 0;
    while (pos < size) {
        if (size - pos < 4) return pos;
        if (!IsStartCodePrefix(data + pos)) {
            std::size_t next = FindStartCode(data, size, pos + 1);
            // None complete: keep what may begin one for the next block.
            if (next == size) next = size - StartCodeTailLength(data, size);
            counters_.resyncBytes += next - pos;
            pos = next;
            continue;
        }
        std::size_t used = 0;
        if (ParseUnit(data + pos, size - pos, &used) == Step::NeedMore) return pos;
        pos += used;
        if (skipRemaining_ > 0) {
            // The skipped unit runs past the buffer; Push drops the rest as it arrives.
            return size;
        }
    }
    return pos;
}

ProgramStreamParser::Step ProgramStreamParser::ParseUnit(const std::uint8_t* p, std::size_t avail,
                                                         std::size_t* used)
{
    const std::uint8_t code = p[3];
    if (code == kPackHeaderCode) return ParsePack(p, avail, used);
    if (code == kProgramEndCode) {
        *used = 4;
        return Step::Consumed;
    }
    if (code < kSystemHeaderCode) {
        // An elementary-stream start code at system level: damaged data.
        ++counters_.damagedUnits;
        *used = 1;
        return Step::Consumed;
    }
    return ParsePacket(p, avail, used);
}

ProgramStreamParser::Step ProgramStreamParser::ParsePack(const std::uint8_t* p, std::size_t avail,
                                                         std::size_t* used)
{
    if (avail < 5) return Step::NeedMore;
    if ((p[4] & 0xC0) == 0x40) {  // MPEG-2: SCR with extension, mux rate, stuffing
        if (avail < kMpeg2PackFixed) return Step::NeedMore;
        const std::size_t size = kMpeg2PackFixed + (p[13] & 0x07);
        if (avail < size) return Step::NeedMore;
        *used = size;
    } else if ((p[4] & 0xF0) == 0x20) {  // MPEG-1
        if (avail < kMpeg1PackSize) return Step::NeedMore;
        *used = kMpeg1PackSize;
    } else {
        ++counters_.damagedUnits;
        *used = 1;
        return Step::Consumed;
    }
    ++counters_.packs;
    return Step::Consumed;
}

ProgramStreamParser::Step ProgramStreamParser::ParsePacket(const std::uint8_t* p, std::size_t avail,
                                                           std::size_t* used)
{
    if (avail < 6) return Step::NeedMore;
    const std::uint8_t id = p[3];
    const std::size_t total = 6 + ((static_cast<std::size_t>(p[4]) << 8) | p[5]);

    if (!HasPesHeader(id) || !wanted_.test(id)) {
        ++counters_.skippedPackets;
        if (avail < total) {
            skipRemaining_ = total - avail;
            *used = avail;
        } else {
            *used = total;
        }
        return Step::Consumed;
    }
    if (avail < total) return Step::NeedMore;

    PesHeader header;
    if (!ParsePesHeader(p, total, &header)) {
        ++counters_.damagedUnits;
        *used = 1;
        return Step::Consumed;
    }
    *used = total;
    PesPayload payload;
    payload.streamId = id;
    payload.data = p + header.payloadOffset;
    payload.size = header.payloadSize;
    payload.hasPts = header.hasPts;
    payload.hasDts = header.hasDts;
    payload.pts = header.pts;
    payload.dts = header.dts;
    if (id == kPrivateStream1) {
        if (payload.size == 0) {
            ++counters_.damagedUnits;
            return Step::Consumed;
        }
        payload.substreamId = payload.data[0];
    }
    ++counters_.packets;
    if (sink_) sink_(payload);
    return Step::Consumed;
}

}  // namespace quvo::mpeg
