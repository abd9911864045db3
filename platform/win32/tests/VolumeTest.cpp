// Volumes: the file-system name that decides a writer's default fragment size, and
// the free space shown to the user, for paths that exist and paths about to be made.
#include <gtest/gtest.h>

#include <sys/statvfs.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/win32/Errors.h"
#include "platform/win32/Volume.h"

namespace {

// The type util-linux reports for the mount holding `path`, upper-cased; an
// independent reading of the same fact.
std::string FindmntType(const std::string& path)
{
    std::string cmd = "findmnt -n -o FSTYPE --target '" + path + "' 2>/dev/null";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return {};
    char buf[128] = {};
    if (!fgets(buf, sizeof buf, p)) buf[0] = 0;
    pclose(p);
    std::string s(buf);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.pop_back();
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

TEST(Volume, FileSystemNames)
{
    EXPECT_EQ(quvo::win32::FileSystemNameOf("/proc"), "PROC");
    EXPECT_EQ(quvo::win32::FileSystemNameOf("/proc/self/status"), "PROC");
    std::string tmpType = FindmntType("/tmp");
    if (tmpType.empty()) GTEST_SKIP() << "findmnt is not available";
    EXPECT_EQ(quvo::win32::FileSystemNameOf("/tmp"), quvo::win32::FileSystemDisplayName([&] {
                  std::string lower = tmpType;
                  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                  return lower;
              }()));
}

TEST(Volume, WindowsNamesForWindowsFileSystems)
{
    EXPECT_EQ(quvo::win32::FileSystemDisplayName("vfat"), "FAT32");
    EXPECT_EQ(quvo::win32::FileSystemDisplayName("msdos"), "FAT32");
    EXPECT_EQ(quvo::win32::FileSystemDisplayName("ntfs3"), "NTFS");
    EXPECT_EQ(quvo::win32::FileSystemDisplayName("fuseblk"), "NTFS");
    EXPECT_EQ(quvo::win32::FileSystemDisplayName("ext4"), "EXT4");
    EXPECT_EQ(quvo::win32::FileSystemDisplayName("tmpfs"), "TMPFS");
}

TEST(Volume, PathsThatDoNotExistYetUseTheirNearestAncestor)
{
    EXPECT_EQ(quvo::win32::NearestExistingAncestor("/proc/no/such/file.mpg"), "/proc");
    EXPECT_EQ(quvo::win32::NearestExistingAncestor("/tmp/"), "/tmp/");
    EXPECT_EQ(quvo::win32::NearestExistingAncestor("no-such-dir/x.mpg"), ".");
    EXPECT_EQ(quvo::win32::FileSystemNameOf("/proc/no/such/file.mpg"), "PROC");

    char name[16];
    DWORD serial = 0, maxComponent = 0;
    ASSERT_TRUE(GetVolumeInformationA("/proc/nothing/here", nullptr, 0, &serial, &maxComponent, nullptr, name,
                                      sizeof name));
    EXPECT_STREQ(name, "PROC");
    EXPECT_GT(maxComponent, 0u);
    char tiny[4];
    EXPECT_FALSE(GetVolumeInformationA("/proc", nullptr, 0, nullptr, nullptr, nullptr, tiny, sizeof tiny));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
}

TEST(Volume, FreeSpaceMatchesStatvfs)
{
    const char* t = std::getenv("TMPDIR");
    std::string dir = t && *t ? t : "/tmp";
    ULONGLONG avail = 0, total = 0, free = 0;
    ASSERT_TRUE(GetDiskFreeSpaceExA((dir + "/not/yet/made").c_str(), &avail, &total, &free));
    struct statvfs v {};
    ASSERT_EQ(statvfs(dir.c_str(), &v), 0);
    EXPECT_EQ(total, static_cast<ULONGLONG>(v.f_blocks) * v.f_frsize);
    EXPECT_LE(avail, free);
    EXPECT_LE(free, total);
    EXPECT_GT(total, 0u);
    EXPECT_TRUE(GetDiskFreeSpaceExA(dir.c_str(), nullptr, nullptr, nullptr));
}

}  // namespace
