// Helpers for the writer's tests: a fresh directory under the test's TMPDIR, whole-file
// reads, and UTF-16 names.
#pragma once

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/win32/Text.h"

namespace quvo::filewriter::test {

class TempDir {
public:
    TempDir()
    {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/writer-XXXXXX";
        std::filesystem::create_directories(std::filesystem::path(pattern).parent_path());
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back('\0');
        if (mkdtemp(buf.data())) path_ = buf.data();
    }
    ~TempDir()
    {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    std::u16string Wide(const std::string& name) const { return quvo::text::Utf8ToUtf16(File(name)); }

private:
    std::string path_;
};

inline std::u16string Wide(const std::string& s) { return quvo::text::Utf8ToUtf16(s); }

inline std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::vector<unsigned char> ReadBytes(const std::string& path)
{
    std::string s = ReadText(path);
    return std::vector<unsigned char>(s.begin(), s.end());
}

inline bool Exists(const std::string& path)
{
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

inline long long FileSize(const std::string& path)
{
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

}  // namespace quvo::filewriter::test
