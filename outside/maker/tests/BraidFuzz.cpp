// Arbitrary bytes as a video elementary stream, with arbitrary times and audio in
// between: the cutter and the braid neither crash nor grow without bound, and what
// they write starts with a start code. The same bytes as a recording's description
// give names without folders.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "outside/maker/AccessUnits.h"
#include "outside/maker/RecordingFragments.h"
#include "outside/maker/StreamBraid.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) return 0;
    std::string text("TVMP\r\n");
    text.append(reinterpret_cast<const char*>(data), size);
    for (const std::string& name : quvo::maker::ParseDescription(text))
        if (name.empty() || name.find_first_of("/\\:") != std::string::npos) std::abort();

    std::vector<std::uint8_t> out;
    quvo::maker::StreamBraid braid;
    quvo::maker::AccessUnitCutter cutter(static_cast<std::int64_t>(data[0]) * 4000, [&](quvo::maker::AccessUnit& u) {
        braid.AddVideo(u.bytes.data(), u.bytes.size(), u.hasTime, u.pts, u.dts, u.key, out);
    });
    std::vector<std::int16_t> audio(2 * 256, 0);
    std::size_t at = 1;
    while (at < size) {
        // A control byte: chunk length, whether it is timed, whether audio follows.
        const std::uint8_t control = data[at++];
        const std::size_t n = std::min<std::size_t>(control & 0x3F, size - at);
        const std::int64_t time = static_cast<std::int64_t>(at) * 3600 * ((control & 0x80) ? -1 : 7);
        cutter.Push(data + at, n, (control & 0x40) != 0, time);
        if (control & 0x01) braid.AddAudio(audio.data(), 1 + control % 200, (control & 0x02) != 0, time, out);
        at += n;
        if (out.size() > (1u << 20)) out.clear();
    }
    cutter.Finish();
    braid.EndVideo(out);
    braid.EndAudio(out);
    if (!braid.Finished() || out.size() < 4 || out[0] != 0 || out[1] != 0 || out[2] != 1) std::abort();
    return 0;
}
