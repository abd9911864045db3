// One INI file of the program (profile, signal or settings file), read and
// written one key at a time. Every call opens the file by its name: nothing is
// cached, so another program's change (the startup profile dialog's, say) is seen
// at the next read. The text rules are IniText's.
#pragma once

#include <string>
#include <string_view>

namespace encoderdesk {

class IniFile {
public:
    explicit IniFile(std::string path) : path_(std::move(path)) {}

    const std::string& Path() const { return path_; }

    // A missing file, section or key gives the default; so does a value that is
    // no number (integers) or no integer (booleans: non-zero is true).
    std::string ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const;
    int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
    bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;

    // Creates the file on first write (not its folder). False when the file could
    // not be written (LastError() says why); the file is then as it was, since the
    // new text replaces it whole only once it is on disk.
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);
    bool WriteInteger(std::string_view section, std::string_view key, int value);
    bool WriteBool(std::string_view section, std::string_view key, bool value);

    // Why the last write failed, in Russian, with the file's name.
    const std::string& LastError() const { return lastError_; }

private:
    std::string path_;
    std::string lastError_;
};

// The bytes of a file, at most `limit` of them; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path, std::size_t limit);

// Replaces the file with `bytes`: written beside it under a temporary name, then
// renamed over it (keeping its permissions), or written in place when the folder
// takes no new file. False with errno set when it fails.
bool ReplaceFileBytes(const std::string& path, const std::string& bytes);

}  // namespace encoderdesk
