// The capture drive: the file system that holds the capture directory, measured at
// the directory's nearest existing folder (the directory itself may not exist
// until the first recording), with the space free to this user.
#pragma once

#include <cstdint>
#include <string>

namespace encoderdesk {

inline constexpr std::int64_t kMiB = 1048576;

struct DiskSpace {
    std::int64_t totalBytes = 0;
    std::int64_t freeBytes = 0;  // free to the user, not to root
    bool measured = false;

    std::int64_t SizeMB() const { return totalBytes / kMiB; }
    std::int64_t FreeMB() const { return freeBytes / kMiB; }
};

// A relative name counts from the current directory; "\" is taken as "/". An
// empty text, or one naming a drive letter ("e:\video", from a file written on
// another system), cannot be measured and gives zeros.
DiskSpace MeasureDisk(const std::string& directory);

// The nearest existing folder of `directory` (itself when it exists), absolute;
// empty when there is none.
std::string NearestExistingFolder(const std::string& directory);

// The three labels and the gauge of the file page.
struct DiskLabels {
    std::string size, used, free;  // "100 000 Мб"
    int gaugePercent = 0;          // free share, halves to even
};

DiskLabels MakeDiskLabels(std::int64_t sizeMB, std::int64_t freeMB);

}  // namespace encoderdesk
