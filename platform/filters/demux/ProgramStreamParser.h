// Program-stream parser: takes a multiplexed MPEG-1 or MPEG-2 program stream in
// blocks of any size and hands out the payload of each PES packet with its time
// stamps. Pack headers, system headers, padding and private stream 2 are skipped;
// damaged data is passed over up to the next start code. Plain C++, no threads:
// the owner serialises calls.
#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/filters/demux/PesHeader.h"

namespace quvo::mpeg {

struct PesPayload {
    std::uint8_t streamId = 0;
    // First payload byte for private stream 1 (its substream number), else 0.
    std::uint8_t substreamId = 0;
    const std::uint8_t* data = nullptr;  // valid only during the callback
    std::size_t size = 0;
    bool hasPts = false;
    bool hasDts = false;
    std::uint64_t pts = 0;  // raw 33-bit 90 kHz values
    std::uint64_t dts = 0;
};

struct ParserCounters {
    std::uint64_t packs = 0;
    std::uint64_t packets = 0;          // PES packets handed out
    std::uint64_t skippedPackets = 0;   // padding, system headers, unwanted streams
    std::uint64_t damagedUnits = 0;     // headers that did not parse
    std::uint64_t resyncBytes = 0;      // bytes passed over while looking for a start code
};

class ProgramStreamParser {
public:
    using PayloadSink = std::function<void(const PesPayload&)>;

    // Largest unit the parser ever holds back: a PES packet of the maximum length.
    static constexpr std::size_t kMaxUnit = 6 + 0xFFFF;

    explicit ProgramStreamParser(PayloadSink sink);

    // Audio (0xC0-0xDF), video (0xE0-0xEF) and private stream 1 are wanted by
    // default; packets of unwanted streams are skipped without being held.
    void SetStreamWanted(std::uint8_t streamId, bool wanted);

    // Parses what it can; an incomplete unit at the end is kept for the next call.
    void Push(const std::uint8_t* data, std::size_t size);
    // Forgets held data (after a discontinuity or at end of stream).
    void Reset();

    std::size_t HeldBytes() const { return carry_.size(); }
    const ParserCounters& Counters() const { return counters_; }

private:
    enum class Step { Consumed, NeedMore };

    // Parses units in [data, data + size); returns how many bytes were used.
    std::size_t ParseBuffer(const std::uint8_t* data, std::size_t size);
    // One unit starting with a start code at `p`; `*used` gets its length.
    Step ParseUnit(const std::uint8_t* p, std::size_t avail, std::size_t* used);
    Step ParsePack(const std::uint8_t* p, std::size_t avail, std::size_t* used);
    Step ParsePacket(const std::uint8_t* p, std::size_t avail, std::size_t* used);

    PayloadSink sink_;
    std::bitset<256> wanted_;
    std::vector<std::uint8_t> carry_;   // start of an incomplete unit, < kMaxUnit bytes
    std::size_t skipRemaining_ = 0;     // bytes of a skipped packet still to come
    ParserCounters counters_;
};

}  // namespace quvo::mpeg
