// Fuzz target: what the file splitter does with a file it is given. It probes the
// start of the stream (sequence header, audio coding, rate, channels), maps the
// streams it found as its outputs do, routes every PES payload with its time and,
// when the seed asks, decodes the routed payloads with the decoders downstream
// opened from the probed types. Asserts the probe only answers values the media
// types can carry. Inputs whose first byte is odd are recipes: packs holding
// sequence headers, LPCM, AC-3 and MPEG audio headers whose fields the input
// chooses, then damaged at chosen places, so the fuzzer reaches the probe's
// branches without a corpus.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "outside/mpeg/AudioDecoderCore.h"
#include "outside/mpeg/SplitterProbe.h"
#include "outside/mpeg/VideoDecoderCore.h"
#include "platform/filters/demux/ProgramStreamParser.h"
#include "platform/filters/demux/StreamRouter.h"
#include "platform/filters/demux/TimeStampClock.h"
#include "platform/filters/demux/tests/PsBuilder.h"

using namespace quvo;
using namespace quvo::mpeg;

namespace {

struct Recipe {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t pos = 0;
    std::uint8_t Next() { return pos < size ? data[pos++] : 0; }
    bool Done() const { return pos >= size; }
};

test::Bytes Take(Recipe& r, std::size_t n)
{
    test::Bytes b;
    for (std::size_t i = 0; i < n; ++i) b.push_back(r.Next());
    return b;
}

test::Bytes BuildStream(Recipe& r)
{
    test::Bytes s;
    const int units = r.Next() % 48 + 1;
    for (int i = 0; i < units && !r.Done(); ++i) {
        const std::uint8_t kind = r.Next();
        const std::int64_t pts = kind & 0x80 ? (static_cast<std::int64_t>(r.Next()) << 24) | r.Next() : -1;
        test::Bytes body;
        std::uint8_t id = 0xE0;
        switch (kind % 6) {
        case 0:  // sequence header (size, rate, matrices flags), then a picture start
            body = {0, 0, 1, 0xB3};
            for (const std::uint8_t b : Take(r, 8)) body.push_back(b);
            for (const std::uint8_t b : Take(r, r.Next() % 140)) body.push_back(b);
            body.insert(body.end(), {0, 0, 1, 0x00});
            break;
        case 1:  // LPCM: substream, frame count, pointer, emphasis, format, range
            id = 0xBD;
            body = {static_cast<std::uint8_t>(0xA0 + (r.Next() & 7)), 1, 0, 4, 0, r.Next(), 0x80};
            for (const std::uint8_t b : Take(r, r.Next())) body.push_back(b);
            break;
        case 2:  // AC-3: substream, frame count, pointer, sync word and header
            id = 0xBD;
            body = {static_cast<std::uint8_t>(0x80 + (r.Next() & 7)), 1, 0, 1, 0x0B, 0x77};
            for (const std::uint8_t b : Take(r, r.Next() % 64 + 3)) body.push_back(b);
            break;
        case 3:  // MPEG audio frame header
            id = static_cast<std::uint8_t>(0xC0 + (r.Next() & 0x1F));
            body = {0xFF, static_cast<std::uint8_t>(0xE0 | r.Next()), r.Next(), r.Next()};
            for (const std::uint8_t b : Take(r, r.Next())) body.push_back(b);
            break;
        case 4:
            test::Mpeg2Pack(s, kind >> 5 & 7);
            continue;
        default:
            test::Mpeg1Pack(s);
            test::SystemHeader(s);
            continue;
        }
        if (kind & 0x40) test::Mpeg1Pes(s, id, body, pts);
        else test::Mpeg2Pes(s, id, body, pts);
    }
    const int edits = r.Next() % 6;
    for (int i = 0; i < edits && !s.empty(); ++i) {
        const std::size_t at = ((static_cast<std::size_t>(r.Next()) << 8) | r.Next()) % s.size();
        if (r.Next() & 1) s[at] = r.Next();
        else s.resize(at);
    }
    return s;
}

void CheckProbe(const mpegdec::StreamProbe& p)
{
    using mpegdec::ProbedAudio;
    if (p.video) {
        if (p.sequenceHeader.size() < 12 || p.sequenceHeader[3] != 0xB3) std::abort();
        if (p.width <= 0 || p.height <= 0 || p.frameDuration <= 0) std::abort();
    }
    if (p.audio != ProbedAudio::None) {
        if (p.channels < 1 || p.channels > 8 || p.rate < 8000) std::abort();
        if (p.bits != 16 && p.bits != 20 && p.bits != 24) std::abort();
        if (p.dataOffset < 0 || p.dataOffset > 7) std::abort();
    }
}

mpegdec::AudioCoding CodingOf(mpegdec::ProbedAudio a)
{
    return a == mpegdec::ProbedAudio::Ac3 ? mpegdec::AudioCoding::Ac3
        : a == mpegdec::ProbedAudio::Mpeg ? mpegdec::AudioCoding::MpegAudio
                                          : mpegdec::AudioCoding::Lpcm;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) return 0;
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
    // A copy of exactly the input, so a read past its end is caught.
    const std::vector<std::uint8_t> stream(data, data + size);
    const mpegdec::StreamProbe probe = mpegdec::ProbeProgramStream(stream.data(), stream.size());
    CheckProbe(probe);

    // The splitter's outputs: 0 video, 1 audio.
    StreamRouter router;
    router.Map({probe.videoId, kNoSubstreamFilter, 0, 0});
    router.Map({probe.audioId, probe.substream, static_cast<std::size_t>(probe.dataOffset), 1});
    const bool decode = (seed & 2) != 0;
    mpegdec::VideoDecoderCore video;
    mpegdec::AudioDecoderCore audio;
    if (decode) {
        video.Open(probe.frameDuration);
        if (probe.audio != mpegdec::ProbedAudio::None)
            audio.Open(CodingOf(probe.audio), probe.channels, probe.rate, probe.bits);
    }
    std::vector<std::uint8_t> bgra(32 * 24 * 4);
    std::uint64_t sum = 0;
    const auto onPicture = [&](const mpegdec::DecodedPicture& p) {
        video.ConvertToBgra(p.frame, bgra.data(), 32 * 4, 32, 24);
        sum += bgra[0];
        return true;
    };
    const auto onPcm = [&](const mpegdec::PcmBlock& b) {
        for (std::size_t i = 0; i < b.frames * static_cast<std::size_t>(audio.Channels()); ++i)
            sum += static_cast<std::uint16_t>(b.samples[i]);
        return true;
    };
    TimeStampClock clock;
    ProgramStreamParser parser([&](const PesPayload& p) {
        RoutedPayload r;
        if (!router.Route(p, &r)) return;
        for (std::size_t i = 0; i < r.size; ++i) sum += r.data[i];
        const std::int64_t time = p.hasPts ? clock.ToReferenceTime(p.pts) : 0;
        if (!decode) return;
        if (r.output == 0) video.Decode(r.data, r.size, p.hasPts, time, onPicture);
        else audio.Decode(r.data, r.size, p.hasPts, time, onPcm);
    });
    // The splitter's input takes the reader's blocks whatever their size.
    std::size_t pos = 0;
    unsigned state = seed;
    while (pos < stream.size()) {
        state = state * 1103515245u + 12345u;
        std::size_t block = (state >> 16) % 70000 + 1;
        if (block > stream.size() - pos) block = stream.size() - pos;
        std::vector<std::uint8_t> copy(stream.begin() + static_cast<std::ptrdiff_t>(pos),
                                       stream.begin() + static_cast<std::ptrdiff_t>(pos + block));
        parser.Push(copy.data(), copy.size());
        pos += block;
    }
    if (decode) {
        video.Drain(onPicture);
        audio.Drain(onPcm);
    }
    return sum == 0xFFFFFFFFFFFFFFFFull ? 1 : 0;
}
