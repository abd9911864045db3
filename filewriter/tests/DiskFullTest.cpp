// A full disk under the writer filter: the sample that does not fit is answered by
// Receive with HRESULT_FROM_WIN32(ERROR_DISK_FULL) and leaves no part of itself in the
// file, what was written before stays intact and counted, later samples are refused
// with the same code (one that fits would follow a gap), and Stop closes the fragment
// and the description file with the exact line. Two ways to fill a disk: a file
// size limit in a child process (EFBIG), and a 1 MiB tmpfs when it can be mounted
// (ENOSPC).
#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <vector>

#include "filewriter/FileWriter.h"
#include "platform/com/ClassFactory.h"
#include "filewriter/tests/Samples.h"
#include "filewriter/tests/TestFiles.h"
#include "platform/win32/Errors.h"

namespace quvo::filewriter {
namespace {

using test::ReadBytes;
using test::ReadText;
using test::TempDir;

// A writer filter with a file name, running, and a way to push samples into it.
class RunningWriter {
public:
    explicit RunningWriter(const std::u16string& name) : pool_(128 * 1024)
    {
        HRESULT hr = S_OK;
        CUnknown* object = CreateComObject<FileWriter>(nullptr, &hr);
        object->NonDelegatingQueryInterface(IID_IUnknown, writer_.ReleaseAndGetVoidAddressOf());
        writer_->QueryInterface(IID_IBaseFilter, filter_.ReleaseAndGetVoidAddressOf());
        writer_->QueryInterface(IID_WriterControl, control_.ReleaseAndGetVoidAddressOf());
        ComPtr<IFileSinkFilter> sink;
        writer_->QueryInterface(IID_IFileSinkFilter, sink.ReleaseAndGetVoidAddressOf());
        nameResult_ = sink->SetFileName(name.c_str(), nullptr);
        ComPtr<IPin> pin;
        filter_->FindPin(u"Input", pin.ReleaseAndGetAddressOf());
        pin->QueryInterface(IID_IMemInputPin, input_.ReleaseAndGetVoidAddressOf());
        filter_->Run(0);
    }
    HRESULT NameResult() const { return nameResult_; }
    HRESULT Receive(const std::vector<BYTE>& data)
    {
        ComPtr<IMediaSample> sample = pool_.Make(data);
        return sample ? input_->Receive(sample.Get()) : E_FAIL;
    }
    ULONGLONG BytesStreamed() { return control_->GetBytesStreamed(); }
    void Stop() { filter_->Stop(); }

private:
    test::SamplePool pool_;
    ComPtr<IUnknown> writer_;
    ComPtr<IBaseFilter> filter_;
    ComPtr<WriterControl> control_;
    ComPtr<IMemInputPin> input_;
    HRESULT nameResult_ = E_FAIL;
};

std::vector<BYTE> Block(std::size_t n, BYTE seed)
{
    std::vector<BYTE> v(n);
    for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<BYTE>(seed + i * 7);
    return v;
}

TEST(DiskFull, FileSizeLimitInAChildProcess)
{
    TempDir dir;
    const std::vector<std::size_t> sizes = {3000, 3000, 3000, 3000, 3000, 500};
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(fds[0]);
        // The file may grow to 10000 bytes; past that write() fails with EFBIG
        // instead of killing the process.
        signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit {10000, 10000};
        setrlimit(RLIMIT_FSIZE, &limit);
        std::vector<HRESULT> results;
        {
            RunningWriter w(dir.Wide("full.mpg"));
            BYTE seed = 0;
            for (std::size_t n : sizes) results.push_back(w.Receive(Block(n, ++seed)));
            results.push_back(static_cast<HRESULT>(w.BytesStreamed()));
            w.Stop();
        }
        ssize_t want = static_cast<ssize_t>(results.size() * sizeof(HRESULT));
        _exit(write(fds[1], results.data(), results.size() * sizeof(HRESULT)) == want ? 0 : 1);
    }
    close(fds[1]);
    std::vector<HRESULT> results(sizes.size() + 1);
    ssize_t got = read(fds[0], results.data(), results.size() * sizeof(HRESULT));
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_EQ(got, static_cast<ssize_t>(results.size() * sizeof(HRESULT)));

    const HRESULT full = HRESULT_FROM_WIN32(ERROR_DISK_FULL);
    EXPECT_EQ(results, (std::vector<HRESULT>{S_OK, S_OK, S_OK, full, full, full, 9000}));
    std::vector<BYTE> expected;
    for (BYTE seed : {1, 2, 3}) {
        std::vector<BYTE> b = Block(3000, seed);
        expected.insert(expected.end(), b.begin(), b.end());
    }
    EXPECT_EQ(ReadBytes(dir.File("full.mpg")), expected);
    EXPECT_EQ(ReadText(dir.File("full.mzl")), "TVMP\r\nfull.mpg;9000\r\n");
}

// Unmounts (lazily) what it mounted.
class SmallTmpfs {
public:
    explicit SmallTmpfs(const std::string& path) : path_(path)
    {
        mkdir(path.c_str(), 0755);
        mounted_ = mount("tmpfs", path.c_str(), "tmpfs", 0, "size=1m") == 0;
    }
    ~SmallTmpfs()
    {
        if (mounted_) umount2(path_.c_str(), MNT_DETACH);
    }
    bool Mounted() const { return mounted_; }

private:
    std::string path_;
    bool mounted_ = false;
};

TEST(DiskFull, SmallTmpfs)
{
    TempDir dir;
    SmallTmpfs fs(dir.File("small"));
    if (!fs.Mounted()) GTEST_SKIP() << "cannot mount a tmpfs here";
    std::vector<BYTE> expected;
    HRESULT failure = S_OK;
    {
        RunningWriter w(dir.Wide("small/disk.mpg"));
        ASSERT_EQ(w.NameResult(), S_OK);
        for (BYTE seed = 1; seed < 40 && failure == S_OK; ++seed) {
            std::vector<BYTE> b = Block(64 * 1024 + 100, seed);
            HRESULT hr = w.Receive(b);
            if (hr == S_OK)
                expected.insert(expected.end(), b.begin(), b.end());
            else
                failure = hr;
        }
        EXPECT_EQ(w.BytesStreamed(), expected.size());
        w.Stop();
    }
    EXPECT_EQ(failure, HRESULT_FROM_WIN32(ERROR_DISK_FULL));
    EXPECT_GT(expected.size(), 0u);
    EXPECT_EQ(ReadBytes(dir.File("small/disk.mpg")), expected);
    EXPECT_EQ(ReadText(dir.File("small/disk.mzl")), "TVMP\r\ndisk.mpg;" + std::to_string(expected.size()) + "\r\n");
}

}  // namespace
}  // namespace quvo::filewriter
