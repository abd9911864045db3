// Volumes: the file-system name and the free space of the volume that holds a path.
// The path need not exist yet: its nearest existing ancestor decides, which is what a
// writer about to create a file needs.
#pragma once

#include <string>

#include "platform/com/Types.h"

// GetVolumeInformationA. Fills what is asked for: the volume name is always empty,
// the serial number is the device number, the file-system flags are 0, and the
// file-system name is "FAT32" for msdos/vfat, "NTFS" for ntfs, ntfs3 and ntfs-3g,
// else the file system's own name in upper case ("EXT4", "XFS", "TMPFS", "PROC").
// FALSE with ERROR_INSUFFICIENT_BUFFER when the name does not fit (terminator
// included) and with ERROR_PATH_NOT_FOUND when nothing of the path exists.
BOOL GetVolumeInformationA(LPCSTR path, LPSTR volumeName, DWORD volumeNameSize, DWORD* serialNumber,
                           DWORD* maxComponentLength, DWORD* fileSystemFlags, LPSTR fileSystemName,
                           DWORD fileSystemNameSize);

// GetDiskFreeSpaceExA: bytes free to this user, total bytes, bytes free in all. Each
// pointer may be null.
BOOL GetDiskFreeSpaceExA(LPCSTR path, ULONGLONG* freeBytesAvailable, ULONGLONG* totalBytes,
                         ULONGLONG* totalFreeBytes);

namespace quvo::win32 {

// The path itself if it exists, else its closest existing ancestor ("." for a
// relative path none of whose directories exist).
std::string NearestExistingAncestor(const std::string& path);

// The file-system name as GetVolumeInformationA gives it, or "" when nothing of the
// path exists.
std::string FileSystemNameOf(const std::string& path);

// Kernel file-system type (as mount lists it) -> the Win32-style name above.
std::string FileSystemDisplayName(const std::string& kernelType);

}  // namespace quvo::win32
