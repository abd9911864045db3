#include "core/IniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "core/IniText.h"

namespace encoderdesk {
namespace {

// Closes a descriptor on every way out.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Closes now; false (errno set) when the close reports a failed write.
    bool Close()
    {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

bool WriteAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// The file the name stands for: a link is followed, so that the link stays.
std::string ResolvedTarget(const std::string& path)
{
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved)) return resolved;
    return path;
}

// A new file beside `target` under a name of its own (the umask applies, as to
// any new file); -1 when the folder takes none.
int CreateBeside(const std::string& target, std::string& name)
{
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 16; ++attempt) {
        name = target + ".new" + std::to_string(::getpid()) + "-" + std::to_string(++counter);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool WriteInPlace(const std::string& path, const std::string& bytes)
{
    Descriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    return fd.get() >= 0 && WriteAll(fd.get(), bytes) && fd.Close();
}

}  // namespace

std::string ReadFileBytes(const std::string& path, std::size_t limit)
{
    std::string bytes;
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) return bytes;
    char buffer[16384];
    while (bytes.size() < limit) {
        const ssize_t n = ::read(fd.get(), buffer, std::min(sizeof buffer, limit - bytes.size()));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return bytes;
}

bool ReplaceFileBytes(const std::string& path, const std::string& bytes)
{
    const std::string target = ResolvedTarget(path);
    struct stat old {};
    const bool existed = ::stat(target.c_str(), &old) == 0;
    std::string temp;
    Descriptor fd(CreateBeside(target, temp));
    if (fd.get() < 0) {
        // A folder we may not add to, holding a file we may write: in place then.
        return existed && WriteInPlace(target, bytes);
    }
    const bool kept = !existed || ::fchmod(fd.get(), old.st_mode & 07777) == 0;
    const bool written = kept && WriteAll(fd.get(), bytes) && fd.Close();
    if (!written || ::rename(temp.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        errno = error;
        return false;
    }
    return true;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const
{
    const IniText text = ParseIniText(ReadFileBytes(path_, kMaxIniBytes));
    const auto value = FindIniValue(text, section, key);
    return value ? *value : std::string(defaultValue);
}

int IniFile::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const
{
    const IniText text = ParseIniText(ReadFileBytes(path_, kMaxIniBytes));
    const auto value = FindIniValue(text, section, key);
    if (!value) return defaultValue;
    return ParseIniInteger(*value).value_or(defaultValue);
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const
{
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

bool IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    lastError_.clear();
    const std::string bytes = ReadFileBytes(path_, kMaxIniBytes + 1);
    if (bytes.size() > kMaxIniBytes) {
        lastError_ = "Файл " + path_ + " слишком велик для файла настроек: он не изменен";
        return false;
    }
    IniText text = ParseIniText(bytes);
    if (!SetIniValue(text, section, key, value)) {
        lastError_ = "Значение для " + std::string(key) + " нельзя записать в файл " + path_ +
                     ": оно содержит перевод строки";
        return false;
    }
    const std::string updated = SerializeIniText(text);
    if (updated.size() > kMaxIniBytes) {
        lastError_ = "Файл " + path_ + " слишком велик для файла настроек: он не изменен";
        return false;
    }
    if (!ReplaceFileBytes(path_, updated)) {
        lastError_ = "Не удалось записать файл " + path_ + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

bool IniFile::WriteInteger(std::string_view section, std::string_view key, int value)
{
    return WriteString(section, key, std::to_string(value));
}

bool IniFile::WriteBool(std::string_view section, std::string_view key, bool value)
{
    return WriteString(section, key, value ? "1" : "0");
}

}  // namespace encoderdesk
