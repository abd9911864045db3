#include "platform/win32/Volume.h"

#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/win32/Errors.h"

namespace quvo::win32 {
namespace {

// mountinfo escapes blanks and backslashes in paths as \ooo.
std::string UnescapeMountPath(const std::string& s)
{
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size() && std::isdigit(static_cast<unsigned char>(s[i + 1]))) {
            out.push_back(static_cast<char>(std::strtol(s.substr(i + 1, 3).c_str(), nullptr, 8)));
            i += 3;
        } else {
            out.push_back(s[i]);
        }
    }
    return out;
}

bool IsUnder(const std::string& path, const std::string& mountPoint)
{
    if (mountPoint == "/") return true;
    return path.compare(0, mountPoint.size(), mountPoint) == 0 &&
           (path.size() == mountPoint.size() || path[mountPoint.size()] == '/');
}

// The kernel's type name of the mount that holds `existing`, from mountinfo: the
// longest mount point above the path on the same device (any device if none
// matches, e.g. for file systems that report other device numbers in stat).
std::string MountTypeOf(const std::string& existing)
{
    struct stat st {};
    if (stat(existing.c_str(), &st) != 0) return {};
    char resolved[PATH_MAX];
    if (!realpath(existing.c_str(), resolved)) return {};
    std::string real(resolved);

    std::ifstream in("/proc/self/mountinfo");
    std::string line, bestType, bestAnyType;
    std::size_t bestLen = 0, bestAnyLen = 0;
    bool found = false, foundAny = false;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string id, parent, devText, root, mountPoint, field;
        fields >> id >> parent >> devText >> root >> mountPoint;
        while (fields >> field && field != "-") {}
        std::string type;
        fields >> type;
        if (type.empty()) continue;
        mountPoint = UnescapeMountPath(mountPoint);
        if (!IsUnder(real, mountPoint)) continue;
        unsigned maj = 0, min = 0;
        bool sameDevice = std::sscanf(devText.c_str(), "%u:%u", &maj, &min) == 2 && maj == major(st.st_dev) &&
                          min == minor(st.st_dev);
        // Later lines win on equal length: they are mounted over the earlier ones.
        if (sameDevice && (!found || mountPoint.size() >= bestLen)) {
            found = true;
            bestLen = mountPoint.size();
            bestType = type;
        }
        if (!foundAny || mountPoint.size() >= bestAnyLen) {
            foundAny = true;
            bestAnyLen = mountPoint.size();
            bestAnyType = type;
        }
    }
    return found ? bestType : bestAnyType;
}

// Used when mountinfo cannot be read.
std::string TypeFromMagic(const std::string& existing)
{
    struct statfs fs {};
    if (statfs(existing.c_str(), &fs) != 0) return {};
    switch (static_cast<unsigned long>(fs.f_type)) {
    case 0x4d44: return "vfat";
    case 0x5346544e: return "ntfs";
    case 0x7366746e: return "ntfs3";
    case 0xEF53: return "ext4";
    case 0x58465342: return "xfs";
    case 0x01021994: return "tmpfs";
    case 0x9123683E: return "btrfs";
    case 0x9fa0: return "proc";
    case 0x62656572: return "sysfs";
    case 0x794c7630: return "overlay";
    case 0x6969: return "nfs";
    case 0x65735546: return "fuseblk";
    default: {
        char hex[32];
        std::snprintf(hex, sizeof hex, "0x%lx", static_cast<unsigned long>(fs.f_type));
        return hex;
    }
    }
}

bool CopyOut(const std::string& text, LPSTR out, DWORD size)
{
    if (!out) return true;
    if (text.size() + 1 > size) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return false;
    }
    std::memcpy(out, text.c_str(), text.size() + 1);
    return true;
}

}  // namespace

std::string NearestExistingAncestor(const std::string& path)
{
    std::string p = path.empty() ? "." : path;
    for (;;) {
        struct stat st {};
        if (stat(p.c_str(), &st) == 0) return p;
        while (p.size() > 1 && p.back() == '/') p.pop_back();
        auto slash = p.rfind('/');
        if (slash == std::string::npos) return ".";
        p = slash == 0 ? "/" : p.substr(0, slash);
    }
}

std::string FileSystemDisplayName(const std::string& kernelType)
{
    if (kernelType == "vfat" || kernelType == "msdos" || kernelType == "fat") return "FAT32";
    if (kernelType == "ntfs" || kernelType == "ntfs3" || kernelType == "fuseblk" || kernelType == "fuse.ntfs-3g" ||
        kernelType == "fuse.ntfs")
        return "NTFS";
    std::string upper = kernelType;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

std::string FileSystemNameOf(const std::string& path)
{
    std::string existing = NearestExistingAncestor(path);
    struct stat st {};
    if (stat(existing.c_str(), &st) != 0) return {};
    std::string type = MountTypeOf(existing);
    if (type.empty()) type = TypeFromMagic(existing);
    return type.empty() ? std::string() : FileSystemDisplayName(type);
}

}  // namespace quvo::win32

BOOL GetVolumeInformationA(LPCSTR path, LPSTR volumeName, DWORD volumeNameSize, DWORD* serialNumber,
                           DWORD* maxComponentLength, DWORD* fileSystemFlags, LPSTR fileSystemName,
                           DWORD fileSystemNameSize)
{
    std::string existing = quvo::win32::NearestExistingAncestor(path ? path : ".");
    struct statfs fs {};
    struct stat st {};
    if (stat(existing.c_str(), &st) != 0 || statfs(existing.c_str(), &fs) != 0) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    std::string name = quvo::win32::FileSystemNameOf(existing);
    if (!quvo::win32::CopyOut(std::string(), volumeName, volumeNameSize)) return FALSE;
    if (!quvo::win32::CopyOut(name, fileSystemName, fileSystemNameSize)) return FALSE;
    if (serialNumber) *serialNumber = static_cast<DWORD>(st.st_dev);
    if (maxComponentLength) *maxComponentLength = static_cast<DWORD>(fs.f_namelen);
    if (fileSystemFlags) *fileSystemFlags = 0;
    return TRUE;
}

BOOL GetDiskFreeSpaceExA(LPCSTR path, ULONGLONG* freeBytesAvailable, ULONGLONG* totalBytes,
                         ULONGLONG* totalFreeBytes)
{
    std::string existing = quvo::win32::NearestExistingAncestor(path ? path : ".");
    struct statvfs vfs {};
    if (statvfs(existing.c_str(), &vfs) != 0) {
        SetLastError(Win32ErrorFromErrno(errno));
        return FALSE;
    }
    ULONGLONG unit = vfs.f_frsize ? vfs.f_frsize : vfs.f_bsize;
    if (freeBytesAvailable) *freeBytesAvailable = unit * vfs.f_bavail;
    if (totalBytes) *totalBytes = unit * vfs.f_blocks;
    if (totalFreeBytes) *totalFreeBytes = unit * vfs.f_bfree;
    return TRUE;
}
