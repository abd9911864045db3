// Files in the Win32 manner: a move-only handle that owns one descriptor, opened
// CreateFile-style, written WriteFile-style; failures leave the last error set from
// errno (Errors.h). Paths are used as given.
#pragma once

#include "platform/com/Types.h"

inline constexpr DWORD GENERIC_READ = 0x80000000u;
inline constexpr DWORD GENERIC_WRITE = 0x40000000u;

// Share modes are accepted for the callers' sake; files here are never locked
// against other openers, so readers can follow a file that is being written.
inline constexpr DWORD FILE_SHARE_READ = 0x1;
inline constexpr DWORD FILE_SHARE_WRITE = 0x2;
inline constexpr DWORD FILE_SHARE_DELETE = 0x4;

inline constexpr DWORD CREATE_NEW = 1;
inline constexpr DWORD CREATE_ALWAYS = 2;
inline constexpr DWORD OPEN_EXISTING = 3;
inline constexpr DWORD OPEN_ALWAYS = 4;
inline constexpr DWORD TRUNCATE_EXISTING = 5;

inline constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x1;
inline constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
inline constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
inline constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFFu;

class FileHandle {
public:
    FileHandle() noexcept = default;
    explicit FileHandle(int fd) noexcept : fd_(fd) {}
    FileHandle(FileHandle&& o) noexcept;
    FileHandle& operator=(FileHandle&& o) noexcept;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle();

    // CreateFile: `access` GENERIC_READ and/or GENERIC_WRITE, `disposition` one of the
    // five above. Returns a closed handle on failure, with the last error set
    // (ERROR_PATH_NOT_FOUND when a directory of the path is missing).
    static FileHandle Create(LPCSTR path, DWORD access, DWORD shareMode, DWORD disposition);

    bool IsOpen() const noexcept { return fd_ >= 0; }
    int Fd() const noexcept { return fd_; }

    // WriteFile: writes all `size` bytes (retrying interrupted and short writes).
    // *written (optional) gets the bytes that reached the file, also on failure.
    bool Write(const void* data, DWORD size, DWORD* written);
    // CloseHandle: false (with the last error) when the close reports a failure; the
    // handle is closed either way.
    bool Close();

private:
    int fd_ = -1;
};

// The Win32 names, for code that reads best with them.
inline FileHandle CreateFileA(LPCSTR path, DWORD access, DWORD shareMode, DWORD disposition)
{
    return FileHandle::Create(path, access, shareMode, disposition);
}
inline BOOL WriteFile(FileHandle& file, const void* data, DWORD size, DWORD* written)
{
    return file.Write(data, size, written) ? TRUE : FALSE;
}
inline BOOL CloseHandle(FileHandle& file) { return file.Close() ? TRUE : FALSE; }

// FILE_ATTRIBUTE_DIRECTORY for a directory, FILE_ATTRIBUTE_NORMAL (plus READONLY when
// not writable) for anything else; INVALID_FILE_ATTRIBUTES with the last error set
// when the path does not exist.
DWORD GetFileAttributesA(LPCSTR path);
BOOL DeleteFileA(LPCSTR path);

namespace quvo::win32 {
// errno of a failed call on `path` -> Win32 error, telling a missing file
// (ERROR_FILE_NOT_FOUND) from a missing directory on the way (ERROR_PATH_NOT_FOUND).
DWORD ErrorForPath(int err, LPCSTR path);
}  // namespace quvo::win32
