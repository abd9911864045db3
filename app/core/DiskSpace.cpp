#include "core/DiskSpace.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>

#include "core/NumberFormat.h"

namespace encoderdesk {
namespace {

bool IsDirectory(const std::string& path)
{
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string CurrentDirectory()
{
    std::string buffer(4096, '\0');
    if (!::getcwd(buffer.data(), buffer.size())) return {};
    buffer.resize(std::char_traits<char>::length(buffer.c_str()));
    return buffer;
}

}  // namespace

std::string NearestExistingFolder(const std::string& directory)
{
    std::string path = directory;
    std::replace(path.begin(), path.end(), '\\', '/');
    if (path.empty()) return {};
    if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) return {};
    if (path[0] != '/') {
        const std::string cwd = CurrentDirectory();
        if (cwd.empty()) return {};
        path = cwd + "/" + path;
    }
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    while (!IsDirectory(path)) {
        if (path == "/") return {};
        const std::size_t slash = path.rfind('/');
        path = slash == 0 ? std::string("/") : path.substr(0, slash);
    }
    return path;
}

DiskSpace MeasureDisk(const std::string& directory)
{
    DiskSpace disk;
    const std::string folder = NearestExistingFolder(directory);
    if (folder.empty()) return disk;
    struct statvfs vfs{};
    if (::statvfs(folder.c_str(), &vfs) != 0) return disk;
    disk.totalBytes = static_cast<std::int64_t>(vfs.f_blocks) * static_cast<std::int64_t>(vfs.f_frsize);
    disk.freeBytes = static_cast<std::int64_t>(vfs.f_bavail) * static_cast<std::int64_t>(vfs.f_frsize);
    disk.measured = true;
    return disk;
}

DiskLabels MakeDiskLabels(std::int64_t sizeMB, std::int64_t freeMB)
{
    DiskLabels labels;
    auto mb = [](std::int64_t v) { return FormatGrouped(static_cast<double>(v), 0) + " Мб"; };
    labels.size = mb(sizeMB);
    labels.free = mb(freeMB);
    labels.used = mb(sizeMB - freeMB);
    if (sizeMB > 0)
        labels.gaugePercent = static_cast<int>(
            RoundHalfEven(static_cast<double>(freeMB) / static_cast<double>(sizeMB) * 100.0));
    return labels;
}

}  // namespace encoderdesk
