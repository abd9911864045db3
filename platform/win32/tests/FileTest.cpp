// Files and errors: a writer creates, writes, inspects and deletes files, and reads
// Win32 error codes from failures. The full-disk case is a real write past a file
// size limit (RLIMIT_FSIZE with SIGXFSZ ignored, so the kernel answers EFBIG).
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/Errors.h"
#include "platform/win32/File.h"

namespace {

std::string TempDir()
{
    const char* t = std::getenv("TMPDIR");
    std::string dir = std::string(t && *t ? t : "/tmp") + "/win32-file-XXXXXX";
    if (!mkdtemp(dir.data())) return "/tmp";
    return dir;
}

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(Errors, ErrnoMapping)
{
    EXPECT_EQ(Win32ErrorFromErrno(0), ERROR_SUCCESS);
    EXPECT_EQ(Win32ErrorFromErrno(ENOENT), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Win32ErrorFromErrno(ENOTDIR), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(Win32ErrorFromErrno(ENOSPC), ERROR_DISK_FULL);
    EXPECT_EQ(Win32ErrorFromErrno(EDQUOT), ERROR_DISK_FULL);
    EXPECT_EQ(Win32ErrorFromErrno(EFBIG), ERROR_DISK_FULL);
    EXPECT_EQ(Win32ErrorFromErrno(EACCES), ERROR_ACCESS_DENIED);
    EXPECT_EQ(Win32ErrorFromErrno(EPERM), ERROR_ACCESS_DENIED);
    EXPECT_EQ(Win32ErrorFromErrno(EROFS), ERROR_ACCESS_DENIED);
    EXPECT_EQ(Win32ErrorFromErrno(ENAMETOOLONG), ERROR_FILENAME_EXCED_RANGE);
    EXPECT_EQ(Win32ErrorFromErrno(EMFILE), ERROR_TOO_MANY_OPEN_FILES);
    EXPECT_EQ(Win32ErrorFromErrno(EEXIST), ERROR_FILE_EXISTS);
    EXPECT_EQ(Win32ErrorFromErrno(EINVAL), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(Win32ErrorFromErrno(EIO), ERROR_WRITE_FAULT);
    EXPECT_EQ(Win32ErrorFromErrno(EBADF), ERROR_INVALID_HANDLE);
}

TEST(Errors, LastErrorIsPerThread)
{
    SetLastError(ERROR_DISK_FULL);
    DWORD seen = 1;
    std::thread([&] { seen = GetLastError(); SetLastError(ERROR_ACCESS_DENIED); }).join();
    EXPECT_EQ(seen, ERROR_SUCCESS);
    EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
}

TEST(File, CreateAlwaysTruncatesAndWrites)
{
    std::string path = TempDir() + "/movie.mpg";
    {
        FileHandle f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, CREATE_ALWAYS);
        ASSERT_TRUE(f.IsOpen());
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(f, "0123456789", 10, &written));
        EXPECT_EQ(written, 10u);
    }
    FileHandle f = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS);
    ASSERT_TRUE(f.IsOpen());
    EXPECT_EQ(ReadAll(path), "");  // emptied by the second create
    std::vector<char> big(1 << 20, 'x');
    ASSERT_TRUE(f.Write(big.data(), static_cast<DWORD>(big.size()), nullptr));
    EXPECT_TRUE(CloseHandle(f));
    EXPECT_FALSE(f.IsOpen());
    EXPECT_FALSE(CloseHandle(f));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(ReadAll(path).size(), big.size());
}

TEST(File, OpenErrorsTellFileFromPath)
{
    std::string dir = TempDir();
    FileHandle f = CreateFileA((dir + "/absent.mpg").c_str(), GENERIC_WRITE, 0, OPEN_EXISTING);
    EXPECT_FALSE(f.IsOpen());
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    f = CreateFileA((dir + "/no/such/dir/x.mpg").c_str(), GENERIC_WRITE, 0, CREATE_ALWAYS);
    EXPECT_FALSE(f.IsOpen());
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    f = CreateFileA((dir + "/" + std::string(300, 'n')).c_str(), GENERIC_WRITE, 0, CREATE_ALWAYS);
    EXPECT_EQ(GetLastError(), ERROR_FILENAME_EXCED_RANGE);
    f = CreateFileA("", GENERIC_WRITE, 0, CREATE_ALWAYS);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);

    std::string existing = dir + "/once";
    ASSERT_TRUE(CreateFileA(existing.c_str(), GENERIC_WRITE, 0, CREATE_NEW).IsOpen());
    EXPECT_FALSE(CreateFileA(existing.c_str(), GENERIC_WRITE, 0, CREATE_NEW).IsOpen());
    EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
}

TEST(File, AttributesAndDelete)
{
    std::string dir = TempDir();
    std::string file = dir + "/a.mzl";
    ASSERT_TRUE(CreateFileA(file.c_str(), GENERIC_WRITE, 0, CREATE_ALWAYS).IsOpen());
    EXPECT_EQ(GetFileAttributesA(dir.c_str()) & FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY);
    DWORD attributes = GetFileAttributesA(file.c_str());
    EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_TRUE(DeleteFileA(file.c_str()));
    EXPECT_EQ(GetFileAttributesA(file.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(DeleteFileA(file.c_str()));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(GetFileAttributesA((dir + "/x/y").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

// Lowers the soft file-size limit for its lifetime and ignores SIGXFSZ, so that a
// write past the limit fails with EFBIG instead of killing the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = saved_;
        lowered.rlim_cur = bytes;
        ok_ = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    bool ok() const { return ok_; }

private:
    rlimit saved_{};
    void (*oldHandler_)(int) = nullptr;
    bool ok_ = false;
};

TEST(File, WritePastTheSizeLimitIsADiskFull)
{
    std::string path = TempDir() + "/full.mpg";
    FileHandle f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, CREATE_ALWAYS);
    ASSERT_TRUE(f.IsOpen());
    std::vector<char> block(10000, 'z');
    DWORD written = 12345;
    bool ok;
    DWORD error;
    {
        FileSizeLimit limit(4096);
        ASSERT_TRUE(limit.ok());
        SetLastError(ERROR_SUCCESS);
        ok = f.Write(block.data(), static_cast<DWORD>(block.size()), &written);
        error = GetLastError();
    }
    EXPECT_FALSE(ok);
    EXPECT_EQ(error, ERROR_DISK_FULL);
    EXPECT_EQ(written, 4096u);  // the short write reached the file, the rest did not
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 4096);
}

}  // namespace
