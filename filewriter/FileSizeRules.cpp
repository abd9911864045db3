#include "filewriter/FileSizeRules.h"

#include <strings.h>

#include <string>

namespace quvo::filewriter {
namespace {

struct Entry {
    const char* name;
    FileSystemLimits limits;
};

// The defaults leave room below each file system's largest file.
constexpr Entry kTable[] = {
    {"FAT32", {4091904, 0xF9C00000ull}},
    {"FAT16", {1994752, 0x79C00000ull}},
    {"FAT12", {30720, 0x01E00000ull}},
    {"NTFS", {10485760, 0x280000000ull}},
};

}  // namespace

const FileSystemLimits* LimitsForFileSystem(std::string_view fileSystemName)
{
    std::string name(fileSystemName);
    for (const Entry& e : kTable)
        if (strcasecmp(name.c_str(), e.name) == 0) return &e.limits;
    return nullptr;
}

}  // namespace quvo::filewriter
