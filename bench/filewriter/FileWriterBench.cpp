// The writer filter's cost per byte. Writes 2 GiB (QUVO_BENCH_BYTES to change it)
// through the pin's Receive in 2 KiB and 64 KiB samples, and the same amount with a
// plain write() loop in the same block sizes, so the difference is the writer's own
// work. Files go to /dev/shm when it is there (a tmpfs: the numbers are CPU, not
// disk), else to TMPDIR. The on-the-fly scan is measured over data without start
// codes, alone and through Receive while a recording waits for its first start point.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "filewriter/FileWriter.h"
#include "platform/com/ClassFactory.h"
#include "filewriter/StartCodeScan.h"
#include "platform/graph/base/MemAllocator.h"
#include "platform/win32/Text.h"

namespace {

std::uint64_t TotalBytes()
{
    const char* v = std::getenv("QUVO_BENCH_BYTES");
    return v ? std::strtoull(v, nullptr, 10) : (2ull << 30);
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

const std::string& OutputDir()
{
    static DirectoryRemover remover;
    static const std::string dir = [] {
        std::string base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : (std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp");
        std::string d = base + "/filewriter-bench-" + std::to_string(getpid());
        std::filesystem::create_directories(d);
        remover.path = d;
        std::fprintf(stderr, "writing to %s\n", d.c_str());
        return d;
    }();
    return dir;
}

void Clean()
{
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(OutputDir(), ec)) std::filesystem::remove(e.path(), ec);
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
    WriterUnderTest(std::size_t block, bool onTheFly)
    {
        HRESULT hr = S_OK;
        CreateComObject<FileWriter>(nullptr, &hr)->NonDelegatingQueryInterface(IID_IUnknown, writer_.ReleaseAndGetVoidAddressOf());
        writer_->QueryInterface(IID_IBaseFilter, filter_.ReleaseAndGetVoidAddressOf());
        writer_->QueryInterface(IID_WriterControl, control_.ReleaseAndGetVoidAddressOf());
        ComPtr<IFileSinkFilter> sink;
        writer_->QueryInterface(IID_IFileSinkFilter, sink.ReleaseAndGetVoidAddressOf());
        if (onTheFly) control_->EnableCaptureOnTheFly();
        std::u16string name = quvo::text::Utf8ToUtf16(OutputDir() + "/bench.mpg");
        sink->SetFileName(name.c_str(), nullptr);
        control_->SetFileSizeLimit(512 * 1024);  // 512 MiB fragments: the split path is taken too
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

private:
    ComPtr<IUnknown> writer_;
    ComPtr<IBaseFilter> filter_;
    ComPtr<WriterControl> control_;
    ComPtr<IMemInputPin> input_;
    ComPtr<IMemAllocator> allocator_;
    ComPtr<IMediaSample> sample_;
};

void BM_FilterReceive(benchmark::State& state)
{
    const std::size_t block = static_cast<std::size_t>(state.range(0));
    const std::uint64_t count = TotalBytes() / block;
    for (auto _ : state) {
        Clean();
        WriterUnderTest w(block, false);
        for (std::uint64_t i = 0; i < count; ++i)
            if (w.Receive() != S_OK) state.SkipWithError("Receive failed");
        if (w.Written() != count * block) state.SkipWithError("byte count differs");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * count * block));
    Clean();
}

void BM_PlainWrite(benchmark::State& state)
{
    const std::size_t block = static_cast<std::size_t>(state.range(0));
    const std::uint64_t count = TotalBytes() / block;
    std::vector<BYTE> data = NoStartCodes(block);
    for (auto _ : state) {
        Clean();
        std::string path = OutputDir() + "/plain.mpg";
        int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        for (std::uint64_t i = 0; i < count; ++i)
            if (write(fd, data.data(), block) != static_cast<ssize_t>(block)) state.SkipWithError("write failed");
        close(fd);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * count * block));
    Clean();
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
    Clean();
    WriterUnderTest w(block, true);
    for (auto _ : state)
        if (w.Receive() != S_OK) state.SkipWithError("Receive failed");
    if (w.Written() != 0) state.SkipWithError("wrote without a start point");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * block));
}

}  // namespace

BENCHMARK(BM_FilterReceive)->Arg(2048)->Arg(64 * 1024)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainWrite)->Arg(2048)->Arg(64 * 1024)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartPointScan)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OnTheFlyReceiveScan)->Arg(2048)->Arg(64 * 1024);

BENCHMARK_MAIN();
