// Builds MPEG program streams for the writer's tests and fuzz target: pack headers,
// system headers, sequence headers and PES packets, with payload bytes that never
// form a start code by chance. The builder notes where the start points are (pack
// headers followed by a system or sequence header before the next pack header)
// independently of the writer's own scanner.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace quvo::filewriter::test {

class ProgramStreamBuilder {
public:
    explicit ProgramStreamBuilder(std::uint32_t seed) : rng_(seed) {}

    void PackHeader()
    {
        StartCode(0xBA);
        packs_.push_back(bytes_.size() - 4);
        packHasHeader_ = false;
        for (std::uint8_t b : {0x44, 0x00, 0x04, 0x00, 0x04, 0x01, 0x01, 0x89, 0xC3, 0xF8}) Put(b);
    }

    void SystemHeader()
    {
        StartCode(0xBB);
        NoteHeader();
        for (std::uint8_t b : {0x00, 0x0C, 0x80, 0xC4, 0xE1, 0x04, 0xE1, 0x7F, 0xE0, 0xE0, 0xE8, 0xBD, 0xE0, 0x3A})
            Put(b);
    }

    // A video PES packet; with `sequenceHeader` its payload begins with one.
    void VideoPes(std::size_t payload, bool sequenceHeader)
    {
        PesHeader(0xE0, payload + (sequenceHeader ? 12 : 0));
        if (sequenceHeader) {
            StartCode(0xB3);
            NoteHeader();
            for (std::uint8_t b : {0x2D, 0x02, 0x40, 0x33, 0x24, 0x9F, 0x23, 0x81}) Put(b);
        }
        Random(payload);
    }

    void AudioPes(std::size_t payload)
    {
        PesHeader(0xBD, payload + 4);
        for (std::uint8_t b : {0xA0, 0x07, 0x00, 0x04}) Put(b);
        Random(payload);
    }

    // A pack as an encoder writes it: header, maybe a system header, then packets.
    void Pack(bool systemHeader, bool sequenceHeader)
    {
        PackHeader();
        if (systemHeader) SystemHeader();
        std::uniform_int_distribution<std::size_t> size(16, 1800);
        if (Chance(3)) AudioPes(size(rng_) / 4);
        VideoPes(size(rng_), sequenceHeader);
    }

    // A stream of `packs` packs with a GOP (system and sequence header) every `gop` packs.
    void Stream(std::size_t packs, std::size_t gop)
    {
        for (std::size_t i = 0; i < packs; ++i) {
            bool gopStart = gop != 0 && i % gop == 0;
            Pack(gopStart && Chance(2), gopStart);
        }
    }

    // Payload bytes with no start code: a 01 after 00 00 becomes 02.
    void Random(std::size_t n)
    {
        std::uniform_int_distribution<int> byte(0, 255);
        for (std::size_t i = 0; i < n; ++i) {
            // Plenty of zeros, as real payloads have, so that near misses are common.
            int b = Chance(8) ? 0 : byte(rng_);
            Put(static_cast<std::uint8_t>(b));
        }
    }

    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    std::vector<std::uint8_t> Take() { return std::move(bytes_); }
    // Offsets of the pack headers that begin a decodable stretch, ascending.
    const std::vector<std::size_t>& StartPoints() const { return startPoints_; }
    std::mt19937& Rng() { return rng_; }

private:
    void StartCode(std::uint8_t code)
    {
        bytes_.insert(bytes_.end(), {0x00, 0x00, 0x01, code});
    }
    void NoteHeader()
    {
        if (!packs_.empty() && !packHasHeader_) {
            startPoints_.push_back(packs_.back());
            packHasHeader_ = true;
        }
    }
    void PesHeader(std::uint8_t id, std::size_t payload)
    {
        StartCode(id);
        std::size_t length = payload + 3;
        Put(static_cast<std::uint8_t>(length >> 8));
        Put(static_cast<std::uint8_t>(length));
        for (std::uint8_t b : {0x81, 0x80, 0x00}) Put(b);
    }
    void Put(std::uint8_t b)
    {
        std::size_t n = bytes_.size();
        if (b == 1 && n >= 2 && bytes_[n - 1] == 0 && bytes_[n - 2] == 0) b = 2;
        bytes_.push_back(b);
    }
    bool Chance(int oneIn) { return std::uniform_int_distribution<int>(0, oneIn - 1)(rng_) == 0; }

    std::mt19937 rng_;
    std::vector<std::uint8_t> bytes_;
    std::vector<std::size_t> packs_;
    std::vector<std::size_t> startPoints_;
    bool packHasHeader_ = false;
};

}  // namespace quvo::filewriter::test
