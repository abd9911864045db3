// Finding MPEG program-stream start points: a pack header (00 00 01 BA) that is
// followed by a system header (00 00 01 BB) or a sequence header (00 00 01 B3) before
// the next pack header. A fragment that begins there can be decoded on its own.
#pragma once

#include <cstddef>

#include "platform/com/Types.h"
#include "platform/graph/MpegStartCodes.h"

namespace quvo::filewriter {

// The bytes a held-back tail is always a prefix of.
inline constexpr BYTE kPackHeaderPrefix[4] = {0x00, 0x00, 0x01, mpeg::kPackHeaderCode};

struct StartPointScan {
    enum class Outcome {
        Found,        // `offset` is the start point
        PackPending,  // `offset` is the last pack header; what decides it is still to come
        None,         // no pack header; the last `heldBack` bytes may begin one
    };
    Outcome outcome = Outcome::None;
    std::size_t offset = 0;
    std::size_t heldBack = 0;
    bool packFound = false;      // a pack header was met
    bool sequenceFound = false;  // a system or sequence header was met after a pack header
};

// Scans data[0, n). A scan that goes on from an earlier one passes `from`, the first
// position not yet examined, and `packAtZero` when the data begins with the pending
// pack header of that scan (nothing else before `from` can matter then). A system or
// sequence header with no pack header before it is passed over: it cannot begin a
// fragment.
StartPointScan FindStartPoint(const BYTE* data, std::size_t n, std::size_t from = 0, bool packAtZero = false);

}  // namespace quvo::filewriter
