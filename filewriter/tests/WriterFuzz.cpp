// Fuzzes the write path with generated program streams cut into random blocks, in
// both modes, with random fragment and capture limits, and checks on the files that
// nothing was lost or written twice:
//  - the fragments put together equal the input from where writing starts (byte 0 in
//    normal mode, the first start point after StartRecording on the fly) up to the
//    capture limit;
//  - in both modes no fragment passes the limit unless it holds a single block;
//  - the description file lists every fragment, in order, with its exact size.
#include <fuzzer/FuzzedDataProvider.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "filewriter/WriterState.h"
#include "filewriter/tests/ProgramStream.h"
#include "filewriter/tests/TestFiles.h"

using namespace quvo::filewriter;

namespace {

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "writer fuzz: %s\n", what);
    std::abort();
}

void Check(bool ok, const char* what)
{
    if (!ok) Fail(what);
}

const std::string& WorkDir()
{
    static const std::string dir = [] {
        const char* base = std::getenv("TMPDIR");
        std::string d = std::string(base && *base ? base : "/tmp") + "/writer-fuzz";
        std::filesystem::create_directories(d);
        return d;
    }();
    return dir;
}

std::string FragmentPath(int index)
{
    return WorkDir() + (index == 0 ? "/f.mpg" : "/f_" + std::to_string(index) + ".mpg");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    const bool onTheFly = in.ConsumeBool();
    const DWORD limitKiB = in.ConsumeIntegralInRange<DWORD>(0, 40);
    const bool capture = in.ConsumeBool();
    const ULONGLONG captureLimit = in.ConsumeIntegralInRange<ULONGLONG>(0, 150000);

    test::ProgramStreamBuilder ps(in.ConsumeIntegral<std::uint32_t>());
    ps.Random(in.ConsumeIntegralInRange<std::size_t>(0, 3000));
    ps.Stream(in.ConsumeIntegralInRange<std::size_t>(0, 120), in.ConsumeIntegralInRange<std::size_t>(1, 12));
    const std::vector<std::uint8_t>& stream = ps.Bytes();

    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(WorkDir(), ec))
        std::filesystem::remove(entry.path(), ec);

    std::size_t recordFrom = 0;  // offset of the first block after StartRecording
    std::size_t largestBlock = 0;
    int fragments = 0;
    {
        WriterState w([](const std::string&, std::string* out) {
            *out = "EXT4";
            return true;
        });
        if (onTheFly) w.EnableCaptureOnTheFly();
        std::u16string name = test::Wide(WorkDir() + "/f.mpg");
        Check(w.SetFileName(name.c_str()) == S_OK, "SetFileName");
        w.SetFileSizeLimit(limitKiB);
        if (capture) w.SetCaptureLimit(captureLimit);
        w.Pause();
        w.Run();
        // On the fly, some blocks go by before the recording starts.
        std::size_t startAfterBlocks = onTheFly ? in.ConsumeIntegralInRange<std::size_t>(0, 4) : 0;
        std::size_t at = 0, blocks = 0;
        bool recording = !onTheFly;
        while (at < stream.size()) {
            if (!recording && blocks == startAfterBlocks) {
                Check(w.StartRecording() == S_OK, "StartRecording");
                recording = true;
                recordFrom = at;
            }
            std::size_t n = std::min(stream.size() - at, in.ConsumeIntegralInRange<std::size_t>(1, 5000));
            largestBlock = std::max(largestBlock, n);
            Check(w.WriteData(stream.data() + at, static_cast<DWORD>(n)) == S_OK, "WriteData");
            at += n;
            ++blocks;
        }
        if (!recording) {
            Check(w.StartRecording() == S_OK, "StartRecording at the end");
            recordFrom = stream.size();
        }
        w.Stop();
        fragments = w.FragmentIndex() + 1;
    }

    // Where the written data must begin and end.
    std::size_t begin = 0;
    if (onTheFly) {
        begin = stream.size();
        for (std::size_t s : ps.StartPoints())
            if (s >= recordFrom) {
                begin = s;
                break;
            }
    }
    std::size_t end = stream.size();
    if (capture) end = std::min<std::size_t>(end, begin + captureLimit);

    std::vector<std::uint8_t> joined;
    std::string description = "TVMP\r\n";
    const ULONGLONG limitBytes = static_cast<ULONGLONG>(limitKiB) * 1024;
    for (int i = 0; i < fragments; ++i) {
        std::vector<std::uint8_t> f = test::ReadBytes(FragmentPath(i));
        Check(test::Exists(FragmentPath(i)), "fragment missing");
        // Within the limit, but for one block larger than it (with the few bytes of a
        // pack header the scan held back before it). Near the limit a fragment ends
        // at a start point; when none comes in time it ends at the limit, so a fragment
        // need not begin at one.
        if (limitBytes != 0)
            Check(f.size() <= std::max<ULONGLONG>(limitBytes, largestBlock + 4096), "fragment past its limit");
        joined.insert(joined.end(), f.begin(), f.end());
        std::string leaf = i == 0 ? "f.mpg" : "f_" + std::to_string(i) + ".mpg";
        description += leaf + ";" + std::to_string(f.size()) + "\r\n";
    }
    Check(!test::Exists(FragmentPath(fragments)), "a fragment beyond the last one");
    std::vector<std::uint8_t> expected(stream.begin() + static_cast<std::ptrdiff_t>(std::min(begin, end)),
                                       stream.begin() + static_cast<std::ptrdiff_t>(end));
    Check(joined == expected, "fragments differ from the input");
    // Nothing written at all: the one empty fragment is not listed.
    if (joined.empty() && fragments == 1) description = "TVMP\r\n";
    Check(test::ReadText(WorkDir() + "/f.mzl") == description, "description file differs");
    return 0;
}
