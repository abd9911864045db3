// Fuzz target: random and mutated program streams, fed to the parser in block
// sizes taken from the input itself, routed through a stream map with offsets and
// turned into sample times. Asserts the parser never holds more than one unit.
// Inputs whose first byte is odd are recipes: they build a well-formed stream of
// packs, system headers, padding and MPEG-1/MPEG-2 packets, then damage it at
// positions the input chooses, so the fuzzer reaches deep states without a corpus.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/filters/demux/ProgramStreamParser.h"
#include "platform/filters/demux/StreamRouter.h"
#include "platform/filters/demux/TimeStampClock.h"
#include "platform/filters/demux/tests/PsBuilder.h"

using namespace quvo::mpeg;

namespace {

// Reads recipe bytes; zero once the input is used up.
struct Recipe {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t pos = 0;
    std::uint8_t Next() { return pos < size ? data[pos++] : 0; }
    bool Done() const { return pos >= size; }
};

test::Bytes BuildStream(Recipe& r)
{
    test::Bytes s;
    const int units = r.Next() % 64 + 1;
    for (int i = 0; i < units && !r.Done(); ++i) {
        const std::uint8_t kind = r.Next();
        const std::size_t len = static_cast<std::size_t>(r.Next()) * (kind & 0x10 ? 64 : 1);
        const std::int64_t pts = (static_cast<std::int64_t>(r.Next()) << 25) | r.Next();
        switch (kind % 8) {
        case 0: test::Mpeg2Pack(s, kind >> 5); break;
        case 1: test::Mpeg1Pack(s); break;
        case 2: test::SystemHeader(s); break;
        case 3: test::Padding(s, len); break;
        case 4: test::Mpeg2Pes(s, 0xE0, test::Payload(len, kind), kind & 0x20 ? pts : -1,
                               kind & 0x40 ? pts - 3600 : -1); break;
        case 5: {
            test::Bytes lpcm = {static_cast<std::uint8_t>(0xA0 + (kind >> 7)), 1, 0, 4, 0, 1, 0x80};
            const test::Bytes body = test::Payload(len, kind);
            lpcm.insert(lpcm.end(), body.begin(), body.end());
            test::Mpeg2Pes(s, 0xBD, lpcm, pts);
            break;
        }
        case 6: test::Mpeg1Pes(s, 0xC0, test::Payload(len, kind), kind & 0x20 ? pts : -1,
                               kind & 0x40 ? pts - 1 : -1); break;
        default: s.insert(s.end(), {0, 0, 1, kind}); break;
        }
    }
    // Damage: overwrite, cut or duplicate at chosen places.
    const int edits = r.Next() % 8;
    for (int i = 0; i < edits && !s.empty(); ++i) {
        const std::size_t at = ((static_cast<std::size_t>(r.Next()) << 8) | r.Next()) % s.size();
        const std::uint8_t op = r.Next();
        if (op % 3 == 0) s[at] = r.Next();
        else if (op % 3 == 1) s.resize(at);
        else s.insert(s.begin() + static_cast<std::ptrdiff_t>(at), s.begin(), s.begin() + static_cast<std::ptrdiff_t>(at / 2));
    }
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) return 0;
    // The first two bytes choose the block sizes; the rest is the stream.
    const unsigned seed = data[0] | (data[1] << 8);
    data += 2;
    size -= 2;
    test::Bytes built;
    if (seed & 1) {
        Recipe recipe{data, size};
        built = BuildStream(recipe);
        data = built.data();
        size = built.size();
    }

    StreamRouter router;
    router.Map({0xE0, 0, 0, 0});
    router.Map({0xBD, 0xA0, 7, 1});
    router.Map({0xC0, kNoSubstreamFilter, 0, 2});
    TimeStampClock clock;
    std::uint64_t sum = 0;
    ProgramStreamParser parser([&](const PesPayload& p) {
        RoutedPayload r;
        if (!router.Route(p, &r)) return;
        // Touch every routed byte so the sanitizer sees any read out of bounds.
        for (std::size_t i = 0; i < r.size; ++i) sum += r.data[i];
        if (p.hasPts) sum += static_cast<std::uint64_t>(clock.ToReferenceTime(p.pts));
        if (p.hasDts) sum += static_cast<std::uint64_t>(clock.ToReferenceTime(p.dts));
    });

    unsigned state = seed;
    std::size_t pos = 0;
    while (pos < size) {
        state = state * 1103515245u + 12345u;
        std::size_t block = (state >> 16) % 4099 + 1;
        if ((state & 3) == 0) block = (state >> 8) % 7 + 1;  // tiny blocks too
        if (block > size - pos) block = size - pos;
        // Copy the block so that reading past it is caught.
        std::vector<std::uint8_t> copy(data + pos, data + pos + block);
        parser.Push(copy.data(), copy.size());
        if (parser.HeldBytes() > ProgramStreamParser::kMaxUnit) std::abort();
        pos += block;
    }
    parser.Reset();
    return sum == 0xFFFFFFFFFFFFFFFFull ? 1 : 0;
}
