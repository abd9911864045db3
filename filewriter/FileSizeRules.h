// Fragment sizes by file system: the default a new file name gets and the largest
// fragment each known file system can hold.
#pragma once

#include <string_view>

#include "platform/com/Types.h"

namespace quvo::filewriter {

// Used when no volume could be found for the name (2047 MiB, no cap).
inline constexpr DWORD kNoVolumeDefaultKiB = 2096128;

struct FileSystemLimits {
    DWORD defaultKiB;     // set as the fragment size when a name on this file system is given
    ULONGLONG capBytes;   // the most a fragment may be
};

// The limits of "FAT32", "FAT16", "FAT12" and "NTFS" (case ignored); null for any other
// name, which keeps the current fragment size and applies no cap.
const FileSystemLimits* LimitsForFileSystem(std::string_view fileSystemName);

}  // namespace quvo::filewriter
