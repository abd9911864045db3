// Why a recording broke off. The board's library reports only that its graph
// failed; the window looks at the capture folder to name the cause for the user.
#pragma once

#include <cstdint>
#include <string>

namespace encoderdesk {

enum class FailureCause {
    DiskFull,        // no space left on the capture drive
    NotWritable,     // the folder refuses new data (read-only, no permission)
    FolderMissing,   // the capture folder has gone
    FileSizeLimit,   // a file reached the largest size this process may write
    Unknown,
};

// Probes `folder` (the capture directory) by writing a small temporary file in it,
// and compares the files named after `captureFile` (its fragments included) with
// the process's file-size limit.
FailureCause DiagnoseRecordingFailure(const std::string& folder, const std::string& captureFile);

// The error box after a recording that broke off (every file written is kept).
std::string RecordingFailureText(FailureCause cause, const std::string& folder);

// The error box after a preview or playback that the board's library failed.
std::string PreviewFailureText();
std::string PlaybackFailureText();

// The refusal to start a recording with too little free space.
std::string NotEnoughSpaceText(std::int64_t freeBytes, std::int64_t neededBytes);

}  // namespace encoderdesk
