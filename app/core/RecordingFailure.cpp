#include "core/RecordingFailure.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "core/DiskSpace.h"
#include "core/NumberFormat.h"

namespace encoderdesk {
namespace {

std::string Trimmed(std::string folder)
{
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

// Writes 64 KiB into a fresh temporary file of the folder and removes it; 0 when
// that worked, else the errno of the step that failed.
int ProbeWrite(const std::string& folder)
{
    std::string name = folder + "/.encoderdesk-probe-XXXXXX";
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return errno;
    ::unlink(name.c_str());
    const std::vector<char> block(64 * 1024, 0);
    int error = 0;
    std::size_t done = 0;
    while (done < block.size()) {
        const ssize_t n = ::write(fd, block.data() + done, block.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = errno;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    ::close(fd);
    return error;
}

// The largest file of the folder whose name begins with the capture file's stem
// (the writer numbers its fragments after it).
std::int64_t LargestCaptureFile(const std::string& captureFile)
{
    const std::size_t slash = captureFile.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : captureFile.substr(0, slash == 0 ? 1 : slash);
    std::string stem = slash == std::string::npos ? captureFile : captureFile.substr(slash + 1);
    if (const std::size_t dot = stem.rfind('.'); dot != std::string::npos) stem.erase(dot);
    std::int64_t largest = 0;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (stem.empty() || name.compare(0, stem.size(), stem) != 0) continue;
        struct stat st{};
        if (::stat((folder + "/" + name).c_str(), &st) == 0 && S_ISREG(st.st_mode))
            largest = std::max<std::int64_t>(largest, st.st_size);
    }
    ::closedir(dir);
    return largest;
}

}  // namespace

FailureCause DiagnoseRecordingFailure(const std::string& folder, const std::string& captureFile)
{
    const std::string dir = Trimmed(folder.empty() ? std::string(".") : folder);
    struct stat st{};
    if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return FailureCause::FolderMissing;

    rlimit limit{};
    if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
        // The writer stops at the first block that would pass the limit.
        constexpr std::int64_t kBlock = 1024 * 1024;
        if (LargestCaptureFile(captureFile) + kBlock >= static_cast<std::int64_t>(limit.rlim_cur))
            return FailureCause::FileSizeLimit;
    }
    switch (ProbeWrite(dir)) {
    case 0:
        break;
    case ENOSPC:
    case EDQUOT:
        return FailureCause::DiskFull;
    case EROFS:
    case EACCES:
    case EPERM:
        return FailureCause::NotWritable;
    default:
        return FailureCause::Unknown;
    }
    // Writable now, but a full drive may have had a little freed since.
    const DiskSpace disk = MeasureDisk(dir);
    if (disk.measured && disk.freeBytes < 4 * kMiB) return FailureCause::DiskFull;
    return FailureCause::Unknown;
}

std::string RecordingFailureText(FailureCause cause, const std::string& folder)
{
    const std::string kept = " Записанные файлы сохранены.";
    switch (cause) {
    case FailureCause::DiskFull:
        return "Запись прервана: на диске с папкой \"" + folder + "\" закончилось свободное место." + kept;
    case FailureCause::NotWritable:
        return "Запись прервана: папка \"" + folder + "\" недоступна для записи." + kept;
    case FailureCause::FolderMissing:
        return "Запись прервана: папка \"" + folder + "\" больше не существует.";
    case FailureCause::FileSizeLimit:
        return "Запись прервана: файл достиг наибольшего размера, который системе разрешено записывать программе." +
               kept;
    case FailureCause::Unknown:
        break;
    }
    return "Запись прервана из-за ошибки устройства или записи на диск." + kept;
}

std::string PreviewFailureText() { return "Предварительный просмотр прерван из-за ошибки устройства."; }

std::string PlaybackFailureText() { return "Воспроизведение прервано из-за ошибки чтения файла или устройства."; }

std::string NotEnoughSpaceText(std::int64_t freeBytes, std::int64_t neededBytes)
{
    auto mb = [](std::int64_t bytes) { return FormatGrouped(static_cast<double>(bytes / kMiB), 0); };
    return "Недостаточно свободного места на диске для записи: свободно " + mb(freeBytes) + " Мб, нужно не меньше " +
           mb(neededBytes) + " Мб. Освободите место или выберите другую папку.";
}

}  // namespace encoderdesk
