#include "filewriter/StartCodeScan.h"

namespace quvo::filewriter {

using mpeg::FindStartCode;
using mpeg::kPackHeaderCode;
using mpeg::kSequenceHeaderCode;
using mpeg::kSystemHeaderCode;

StartPointScan FindStartPoint(const BYTE* data, std::size_t n, std::size_t from, bool packAtZero)
{
    StartPointScan scan;
    bool havePack = packAtZero;
    std::size_t lastPack = 0;
    for (std::size_t pos = FindStartCode(data, n, from); pos < n; pos = FindStartCode(data, n, pos + 3)) {
        BYTE code = data[pos + 3];
        if (code == kPackHeaderCode) {
            havePack = true;
            lastPack = pos;
        } else if ((code == kSequenceHeaderCode || code == kSystemHeaderCode) && havePack) {
            scan.outcome = StartPointScan::Outcome::Found;
            scan.offset = lastPack;
            scan.packFound = true;
            scan.sequenceFound = true;
            return scan;
        }
    }
    if (havePack) {
        scan.outcome = StartPointScan::Outcome::PackPending;
        scan.offset = lastPack;
        scan.packFound = true;
        return scan;
    }
    scan.heldBack = mpeg::StartCodeTailLength(data, n);
    return scan;
}

}  // namespace quvo::filewriter
