// The diagnostic log: plain-text trace lines in "TvrSDK_<month>-<day>_<hour>-<minute>.log"
// in the current directory, off until the host sets target 1. One per process, beside
// the EncoderDevice. No lock: the library's callers serialize their calls.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>

#include "platform/win32/File.h"
#include "platform/win32/LocalTime.h"

namespace quvo::sdk {

enum LogKind : std::uint32_t {
    kLogEnter = 0,
    kLogExit = 1,
    kLogPlain = 2,
    kLogWarning = 3,
    kLogError = 4,
};

class DebugLog {
public:
    using LocalTimeSource = void (*)(SYSTEMTIME*);
    static constexpr std::size_t kBufferSize = 260;  // message buffer and line buffer

    explicit DebugLog(LocalTimeSource now = &GetLocalTime) : now_(now) {}

    // No check of the value; messages above it are not written.
    void SetLevel(std::uint32_t level) { level_ = level; }
    std::uint32_t Level() const { return level_; }

    // 1 opens a new file named after the local time (emptying one of that name) and
    // writes there from now on; any other value stops writing but keeps the file.
    void SetTarget(std::uint32_t target);
    std::uint32_t Target() const { return target_; }
    bool HasFile() const { return file_.IsOpen(); }
    // Name of the file the last SetTarget(1) made (even if it could not be created).
    const std::string& FileName() const { return fileName_; }

    // One line in the pattern of `kind` (a kind above 4 is written as Plain), when
    // `level` is at or below the set level. The message is cut to 259 characters,
    // and so is the line.
    void Log(std::uint32_t kind, std::uint32_t level, const char* format, ...)
        __attribute__((format(printf, 4, 5)));
    void LogV(std::uint32_t kind, std::uint32_t level, const char* format, std::va_list args)
        __attribute__((format(printf, 4, 0)));

    // "TvrSDK_%2d-%2d_%2d-%2d.log" of month, day, hour, minute.
    static std::string FileNameFor(const SYSTEMTIME& time);

private:
    std::uint32_t level_ = 1;
    std::uint32_t target_ = 0;
    FileHandle file_;
    std::string fileName_;
    LocalTimeSource now_;
};

// The process-wide log; exists from library load to unload (LibraryEntry.cpp).
DebugLog& TheLog();

// Writes "---Enter : name---" now and "---Exit : name---" on every way out, at level 5.
class Trace {
public:
    explicit Trace(const char* name) : name_(name) { TheLog().Log(kLogEnter, 5, "%s", name_); }
    ~Trace() { TheLog().Log(kLogExit, 5, "%s", name_); }
    Trace(const Trace&) = delete;
    Trace& operator=(const Trace&) = delete;

private:
    const char* name_;
};

}  // namespace quvo::sdk
