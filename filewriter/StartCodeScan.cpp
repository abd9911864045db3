#include "filewriter/StartCodeScan.h"

#include <cstring>

namespace quvo::filewriter {

std::size_t FindStartCode(const BYTE* data, std::size_t n, std::size_t from)
{
    if (n < 4 || from > n - 4) return n;
    // memchr finds the 01 of 00 00 01 at vector speed; the two zeros before it are
    // checked only at its hits. The 01 must leave room for the code byte after it.
    std::size_t i = from + 2;
    const std::size_t last = n - 2;
    while (i <= last) {
        const void* hit = std::memchr(data + i, 0x01, last - i + 1);
        if (!hit) return n;
        std::size_t j = static_cast<std::size_t>(static_cast<const BYTE*>(hit) - data);
        if (data[j - 1] == 0 && data[j - 2] == 0) return j - 2;
        // data[j] is not 0, so the next 00 00 01 cannot begin before j + 1.
        i = j + 3;
    }
    return n;
}

std::size_t StartCodeTailLength(const BYTE* data, std::size_t n)
{
    if (n >= 3 && data[n - 3] == 0 && data[n - 2] == 0 && data[n - 1] == 1) return 3;
    if (n >= 2 && data[n - 2] == 0 && data[n - 1] == 0) return 2;
    if (n >= 1 && data[n - 1] == 0) return 1;
    return 0;
}

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
    scan.heldBack = StartCodeTailLength(data, n);
    return scan;
}

}  // namespace quvo::filewriter
