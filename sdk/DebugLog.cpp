#include "sdk/DebugLog.h"

#include <cstdio>
#include <cstring>

#include <quvo/QuvoSDK.h>

namespace quvo::sdk {
namespace {

const char* PatternOf(std::uint32_t kind)
{
    switch (kind) {
    case kLogEnter: return "---Enter : %s---\r\n";
    case kLogExit: return "---Exit : %s---\r\n";
    case kLogWarning: return "-Warning : %s-\r\n";
    case kLogError: return "***Error : %s\r\n";
    default: return "%s\r\n";
    }
}

}  // namespace

std::string DebugLog::FileNameFor(const SYSTEMTIME& time)
{
    char name[64];
    std::snprintf(name, sizeof name, "TvrSDK_%2d-%2d_%2d-%2d.log", time.wMonth, time.wDay, time.wHour,
                  time.wMinute);
    return name;
}

void DebugLog::SetTarget(std::uint32_t target)
{
    if (target == QUVO_DEBUG_TARGET_FILE) {
        SYSTEMTIME now{};
        now_(&now);
        fileName_ = FileNameFor(now);
        // The earlier file, if any, is closed: later lines go to the newest file only.
        file_ = FileHandle::Create(fileName_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS);
    }
    target_ = target;
}

void DebugLog::Log(std::uint32_t kind, std::uint32_t level, const char* format, ...)
{
    std::va_list args;
    va_start(args, format);
    LogV(kind, level, format, args);
    va_end(args);
}

void DebugLog::LogV(std::uint32_t kind, std::uint32_t level, const char* format, std::va_list args)
{
    if (level > level_) return;
    char message[kBufferSize];
    std::vsnprintf(message, sizeof message, format, args);
    char line[kBufferSize];
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    std::snprintf(line, sizeof line, PatternOf(kind), message);
#pragma GCC diagnostic pop
    if (target_ != QUVO_DEBUG_TARGET_FILE || !file_.IsOpen()) return;
    // A failed write loses the line; the log never reports its own failures.
    file_.Write(line, static_cast<DWORD>(std::strlen(line)), nullptr);
}

}  // namespace quvo::sdk
