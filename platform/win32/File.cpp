#include "platform/win32/File.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <utility>

#include "platform/win32/Errors.h"

namespace quvo::win32 {

DWORD ErrorForPath(int err, LPCSTR path)
{
    if (err != ENOENT || !path) return Win32ErrorFromErrno(err);
    std::string p(path);
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    auto slash = p.rfind('/');
    if (slash == std::string::npos) return ERROR_FILE_NOT_FOUND;  // relative, in the current directory
    std::string parent = slash == 0 ? "/" : p.substr(0, slash);
    struct stat st {};
    if (stat(parent.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return ERROR_PATH_NOT_FOUND;
    return ERROR_FILE_NOT_FOUND;
}

}  // namespace quvo::win32

FileHandle::FileHandle(FileHandle&& o) noexcept : fd_(std::exchange(o.fd_, -1)) {}

FileHandle& FileHandle::operator=(FileHandle&& o) noexcept
{
    if (this != &o) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = std::exchange(o.fd_, -1);
    }
    return *this;
}

FileHandle::~FileHandle()
{
    if (fd_ >= 0) ::close(fd_);
}

FileHandle FileHandle::Create(LPCSTR path, DWORD access, DWORD /*shareMode*/, DWORD disposition)
{
    if (!path || !*path) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FileHandle();
    }
    int flags = O_CLOEXEC;
    bool read = (access & GENERIC_READ) != 0, write = (access & GENERIC_WRITE) != 0;
    if (read && write) flags |= O_RDWR;
    else if (write) flags |= O_WRONLY;
    else flags |= O_RDONLY;
    switch (disposition) {
    case CREATE_NEW: flags |= O_CREAT | O_EXCL; break;
    case CREATE_ALWAYS: flags |= O_CREAT | O_TRUNC; break;
    case OPEN_EXISTING: break;
    case OPEN_ALWAYS: flags |= O_CREAT; break;
    case TRUNCATE_EXISTING: flags |= O_TRUNC; break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return FileHandle();
    }
    int fd;
    do {
        fd = ::open(path, flags, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        int err = errno;
        SetLastError(err == EEXIST ? ERROR_FILE_EXISTS : quvo::win32::ErrorForPath(err, path));
        return FileHandle();
    }
    SetLastError(ERROR_SUCCESS);
    return FileHandle(fd);
}

bool FileHandle::Write(const void* data, DWORD size, DWORD* written)
{
    if (written) *written = 0;
    if (fd_ < 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    const char* p = static_cast<const char*>(data);
    DWORD done = 0;
    while (done < size) {
        ssize_t n = ::write(fd_, p + done, size - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            SetLastErrorFromErrno(errno);
            if (written) *written = done;
            return false;
        }
        if (n == 0) {  // nothing taken and no reason given: treat as a full disk
            SetLastError(ERROR_DISK_FULL);
            if (written) *written = done;
            return false;
        }
        done += static_cast<DWORD>(n);
    }
    if (written) *written = done;
    return true;
}

bool FileHandle::Close()
{
    if (fd_ < 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    // The descriptor is gone after close() even when it reports an error, so no retry.
    int r = ::close(std::exchange(fd_, -1));
    if (r != 0 && errno != EINTR) {
        SetLastErrorFromErrno(errno);
        return false;
    }
    return true;
}

DWORD GetFileAttributesA(LPCSTR path)
{
    if (!path || !*path) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_FILE_ATTRIBUTES;
    }
    struct stat st {};
    if (stat(path, &st) != 0) {
        SetLastError(quvo::win32::ErrorForPath(errno, path));
        return INVALID_FILE_ATTRIBUTES;
    }
    DWORD attributes = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : 0;
    if (access(path, W_OK) != 0) attributes |= FILE_ATTRIBUTE_READONLY;
    return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

BOOL DeleteFileA(LPCSTR path)
{
    if (!path || !*path) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    if (::unlink(path) != 0) {
        SetLastError(quvo::win32::ErrorForPath(errno, path));
        return FALSE;
    }
    return TRUE;
}
