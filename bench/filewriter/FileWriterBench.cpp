// The writer filter beside a plain write loop. First a comparison in normal mode:
// QUVO_BENCH_BYTES (default 1 GiB) in QUVO_BENCH_BLOCK-byte samples (default 64 KiB)
// into fragments of QUVO_BENCH_FRAGMENT_MIB (default 256), through the pin's Receive
// and through a write() loop that splits and flushes the same way (each closed file
// and the folder synced off the writing thread, the run ending when all is on
// stable storage). One unmeasured round of each warms the target; then
// QUVO_BENCH_ROUNDS rounds (default 5) alternate which of the two goes first, and the
// median of the per-round ratios is printed (QUVO_BENCH_PLAIN_NO_SYNC: the loop does
// not sync, which shows what the flush costs). Files go to QUVO_BENCH_DIR, else
// /var/tmp; the file system type is printed, since a memory file system makes the
// flush free. Then the start-point scan alone and through Receive on the fly, over
// data without start codes (google-benchmark, in /dev/shm when there).
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "filewriter/DurableFlush.h"
#include "filewriter/FileWriter.h"
#include "platform/com/ClassFactory.h"
#include "filewriter/StartCodeScan.h"
#include "platform/graph/base/MemAllocator.h"

namespace {

std::uint64_t EnvNumber(const char* name, std::uint64_t fallback)
{
    const char* v = std::getenv(name);
    return v && *v ? std::strtoull(v, nullptr, 10) : fallback;
}

// Removes the output directory when the run ends.
struct DirectoryRemover {
    std::string path;
    ~DirectoryRemover()
    {
        std::error_code ec;
        if (!path.empty()) std::filesystem::remove_all(path, ec);
    }
};

std::string MakeOutputDir(const std::string& base, DirectoryRemover& remover)
{
    std::string d = base + "/filewriter-bench-" + std::to_string(getpid());
    std::filesystem::create_directories(d);
    remover.path = d;
    return d;
}

// The scan benchmarks' folder: memory when there, so they measure the CPU.
const std::string& OutputDir()
{
    static DirectoryRemover remover;
    static const std::string dir = [] {
        std::string base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : (std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp");
        std::string d = base + "/filewriter-scan-" + std::to_string(getpid());
        std::filesystem::create_directories(d);
        remover.path = d;
        std::fprintf(stderr, "writing to %s\n", d.c_str());
        return d;
    }();
    return dir;
}

void Clean(const std::string& dir)
{
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(dir, ec)) std::filesystem::remove(e.path(), ec);
}

// Random bytes with every 00 00 01 broken up, so a scan never finds a start code.
std::vector<BYTE> NoStartCodes(std::size_t n)
{
    std::vector<BYTE> v(n);
    std::mt19937 rng(1);
    for (std::size_t i = 0; i < n; ++i) {
        v[i] = static_cast<BYTE>(rng() % 4 == 0 ? 0 : rng());
        if (i >= 2 && v[i] == 1 && v[i - 1] == 0 && v[i - 2] == 0) v[i] = 2;
    }
    return v;
}

// The writer filter running on a file in the output directory, with one sample of
// `block` bytes that is handed to Receive again and again.
class WriterUnderTest {
public:
    WriterUnderTest(const std::string& dir, std::size_t block, bool onTheFly, DWORD fragmentKiB)
    {
        HRESULT hr = S_OK;
        CreateComObject<FileWriter>(nullptr, &hr)->NonDelegatingQueryInterface(IID_IUnknown, writer_.ReleaseAndGetVoidAddressOf());
        writer_->QueryInterface(IID_IBaseFilter, filter_.ReleaseAndGetVoidAddressOf());
        writer_->QueryInterface(IID_WriterControl, control_.ReleaseAndGetVoidAddressOf());
        ComPtr<IFileSinkFilter> sink;
        writer_->QueryInterface(IID_IFileSinkFilter, sink.ReleaseAndGetVoidAddressOf());
        if (onTheFly) control_->EnableCaptureOnTheFly();
        const std::string path = dir + "/bench.mpg";  // ASCII: widened byte by byte
        std::u16string name(path.begin(), path.end());
        sink->SetFileName(name.c_str(), nullptr);
        control_->SetFileSizeLimit(fragmentKiB);
        ComPtr<IPin> pin;
        filter_->FindPin(u"Input", pin.ReleaseAndGetAddressOf());
        pin->QueryInterface(IID_IMemInputPin, input_.ReleaseAndGetVoidAddressOf());

        CMemAllocator::Create(allocator_.ReleaseAndGetAddressOf());
        ALLOCATOR_PROPERTIES want{1, static_cast<LONG>(block), 1, 0}, got{};
        allocator_->SetProperties(&want, &got);
        allocator_->Commit();
        allocator_->GetBuffer(sample_.ReleaseAndGetAddressOf(), nullptr, nullptr, 0);
        BYTE* data = nullptr;
        sample_->GetPointer(&data);
        std::vector<BYTE> content = NoStartCodes(block);
        std::copy(content.begin(), content.end(), data);
        sample_->SetActualDataLength(static_cast<LONG>(block));
        filter_->Run(0);
        if (onTheFly) control_->StartRecording();
    }
    ~WriterUnderTest()
    {
        filter_->Stop();
        sample_.Reset();
        allocator_->Decommit();
    }
    HRESULT Receive() { return input_->Receive(sample_.Get()); }
    ULONGLONG Written() { return control_->GetBytesStreamed(); }
    void Stop() { filter_->Stop(); }

private:
    ComPtr<IUnknown> writer_;
    ComPtr<IBaseFilter> filter_;
    ComPtr<WriterControl> control_;
    ComPtr<IMemInputPin> input_;
    ComPtr<IMemAllocator> allocator_;
    ComPtr<IMediaSample> sample_;
};

using Clock = std::chrono::steady_clock;

// Seconds to write `total` bytes through the writer filter and have them on stable
// storage (the filter's destruction waits for its flusher).
double FilterRun(const std::string& dir, std::size_t block, std::uint64_t total, std::uint64_t fragment)
{
    Clean(dir);
    const std::uint64_t count = total / block;
    const auto start = Clock::now();
    {
        WriterUnderTest w(dir, block, false, static_cast<DWORD>(fragment >> 10));
        for (std::uint64_t i = 0; i < count; ++i)
            if (w.Receive() != S_OK) {
                std::fprintf(stderr, "Receive failed\n");
                std::exit(1);
            }
        if (w.Written() != count * block) {
            std::fprintf(stderr, "byte count differs\n");
            std::exit(1);
        }
        w.Stop();
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The same with write(): a new file before the block that would pass the fragment
// size, each closed file and the folder synced by the same flusher.
double PlainRun(const std::string& dir, std::size_t block, std::uint64_t total, std::uint64_t fragment,
                const std::vector<BYTE>& data)
{
    Clean(dir);
    const std::uint64_t count = total / block;
    const auto start = Clock::now();
    {
        quvo::filewriter::DurableFlush flush;
        const bool sync = std::getenv("QUVO_BENCH_PLAIN_NO_SYNC") == nullptr;
        int index = 0;
        std::uint64_t inFile = 0;
        auto openNext = [&] {
            std::string path = dir + "/plain_" + std::to_string(index++) + ".mpg";
            int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
            if (sync) flush.SyncFolderOf(path);
            return fd;
        };
        int fd = openNext();
        for (std::uint64_t i = 0; i < count; ++i) {
            if (inFile > 0 && inFile + block > fragment) {
                if (sync) flush.SyncFile(fd);
                close(fd);
                fd = openNext();
                inFile = 0;
            }
            if (write(fd, data.data(), block) != static_cast<ssize_t>(block)) {
                std::fprintf(stderr, "write failed\n");
                std::exit(1);
            }
            inFile += block;
        }
        if (sync) flush.SyncFile(fd);
        close(fd);
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string FileSystemType(const std::string& dir)
{
    struct statfs fs {};
    if (statfs(dir.c_str(), &fs) != 0) return "unknown";
    switch (static_cast<unsigned long>(fs.f_type)) {
    case 0x01021994: return "tmpfs";
    case 0xEF53: return "ext2/3/4";
    case 0x58465342: return "xfs";
    case 0x9123683E: return "btrfs";
    case 0x794C7630: return "overlayfs";
    default: {
        char hex[32];
        std::snprintf(hex, sizeof hex, "0x%lx", static_cast<unsigned long>(fs.f_type));
        return hex;
    }
    }
}

void CompareWithPlainLoop()
{
    static DirectoryRemover remover;
    const char* chosen = std::getenv("QUVO_BENCH_DIR");
    const std::string dir = MakeOutputDir(chosen && *chosen ? chosen : "/var/tmp", remover);
    const std::size_t block = EnvNumber("QUVO_BENCH_BLOCK", 64 * 1024);
    const std::uint64_t total = EnvNumber("QUVO_BENCH_BYTES", 1ull << 30);
    const std::uint64_t fragment = EnvNumber("QUVO_BENCH_FRAGMENT_MIB", 256) << 20;
    const int rounds = static_cast<int>(EnvNumber("QUVO_BENCH_ROUNDS", 5));
    const std::vector<BYTE> data = NoStartCodes(block);
    std::printf("writer vs plain loop: %s (%s), %llu MiB in %zu-byte blocks, %llu MiB fragments, %d rounds\n",
                dir.c_str(), FileSystemType(dir).c_str(), static_cast<unsigned long long>(total >> 20), block,
                static_cast<unsigned long long>(fragment >> 20), rounds);
    FilterRun(dir, block, total, fragment);  // warm-up: the target's first allocation is paid here
    PlainRun(dir, block, total, fragment, data);
    std::vector<double> ratios;
    const double mib = static_cast<double>(total) / 1048576.0;
    for (int r = 0; r < rounds; ++r) {
        double filter, plain;
        if (r % 2 == 0) {
            filter = FilterRun(dir, block, total, fragment);
            plain = PlainRun(dir, block, total, fragment, data);
        } else {
            plain = PlainRun(dir, block, total, fragment, data);
            filter = FilterRun(dir, block, total, fragment);
        }
        ratios.push_back(plain / filter);  // speed of the filter over speed of the loop
        std::printf("  round %d (%s first): writer %.0f MB/s, plain %.0f MB/s, ratio %.3f\n", r + 1,
                    r % 2 == 0 ? "writer" : "plain", mib * 1.048576 / filter, mib * 1.048576 / plain, ratios.back());
    }
    Clean(dir);
    std::sort(ratios.begin(), ratios.end());
    if (!ratios.empty()) std::printf("median ratio writer/plain: %.3f\n", ratios[ratios.size() / 2]);
    std::fflush(stdout);
}

// The start-point scan alone over 64 MiB without start codes.
void BM_StartPointScan(benchmark::State& state)
{
    std::vector<BYTE> data = NoStartCodes(64 << 20);
    for (auto _ : state) {
        auto scan = quvo::filewriter::FindStartPoint(data.data(), data.size());
        benchmark::DoNotOptimize(scan);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.size()));
}

// Receive on the fly while the recording still seeks its first start point: every
// sample is scanned and dropped.
void BM_OnTheFlyReceiveScan(benchmark::State& state)
{
    const std::size_t block = static_cast<std::size_t>(state.range(0));
    Clean(OutputDir());
    WriterUnderTest w(OutputDir(), block, true, 512 * 1024);
    for (auto _ : state)
        if (w.Receive() != S_OK) state.SkipWithError("Receive failed");
    if (w.Written() != 0) state.SkipWithError("wrote without a start point");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * block));
}

}  // namespace

BENCHMARK(BM_StartPointScan)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OnTheFlyReceiveScan)->Arg(2048)->Arg(64 * 1024);

int main(int argc, char** argv)
{
    CompareWithPlainLoop();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
