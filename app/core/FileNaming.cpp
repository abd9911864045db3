#include "core/FileNaming.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace encoderdesk {
namespace {

namespace fs = std::filesystem;

std::size_t ExtensionStart(std::string_view name)
{
    const std::size_t slash = name.rfind('/');
    const std::size_t point = name.rfind('.');
    if (point == std::string_view::npos || (slash != std::string_view::npos && point < slash))
        return std::string_view::npos;
    return point;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
        if (x != y) return false;
    }
    return true;
}

}  // namespace

std::string ReplaceAll(const std::string& source, const std::string& pattern, const std::string& replacement)
{
    if (pattern.empty() || pattern == source || source.find(pattern) == std::string::npos) return source;
    std::string out;
    std::size_t from = 0;
    for (std::size_t at = source.find(pattern); at != std::string::npos; at = source.find(pattern, from)) {
        out.append(source, from, at - from);
        out += replacement;
        from = at + pattern.size();
    }
    out.append(source, from);
    return out;
}

std::string NormalizeDirectory(const std::string& directory)
{
    std::string s = directory;
    for (char& c : s)
        if (c == '\\') c = '/';
    if (!s.empty() && s.back() != '/') s += '/';
    return ReplaceAll(s, "//", "/");
}

std::string TrimDirectory(const std::string& directory)
{
    std::string s = NormalizeDirectory(directory);
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

bool HasDriveLetter(std::string_view directory)
{
    if (directory.size() < 2 || directory[1] != ':') return false;
    const char c = directory[0];
    return ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) &&
           (directory.size() == 2 || directory[2] == '\\' || directory[2] == '/');
}

std::string ChangeFileExt(const std::string& name, const std::string& extension)
{
    const std::size_t point = ExtensionStart(name);
    return (point == std::string::npos ? name : name.substr(0, point)) + extension;
}

std::string ForceExtension(const std::string& name, const std::string& extension)
{
    return HasExtension(name, extension) ? name : ChangeFileExt(name, extension);
}

std::string TimeStampName(const std::tm& t)
{
    char text[32];
    std::snprintf(text, sizeof text, "%02d%02d%02d_%02d_%02d_%02d", (t.tm_year + 1900) % 100, t.tm_mon + 1, t.tm_mday,
                  t.tm_hour, t.tm_min, t.tm_sec);
    return text;
}

std::string MakeFileName(const std::string& fieldText, bool automatic, const std::tm& localTime)
{
    return ChangeFileExt(automatic ? TimeStampName(localTime) : fieldText, ".mpg");
}

std::string CurrentFile(const std::string& directory, const std::string& fileName)
{
    return NormalizeDirectory(directory) + fileName;
}

std::string FindIgnoringExtensionCase(const std::string& path)
{
    std::error_code ec;
    if (fs::exists(path, ec)) return path;
    const std::size_t point = ExtensionStart(path);
    if (point == std::string::npos) return path;
    const fs::path wanted(path);
    const fs::path folder = wanted.has_parent_path() ? wanted.parent_path() : fs::path(".");
    const std::string stem = wanted.stem().string();
    const std::string extension = path.substr(point);
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path candidate = it->path().filename();
        if (candidate.stem().string() == stem && EqualIgnoringAsciiCase(candidate.extension().string(), extension))
            return (wanted.has_parent_path() ? folder / candidate : candidate).string();
    }
    return path;
}

bool HasExtension(std::string_view name, std::string_view extension)
{
    const std::size_t point = ExtensionStart(name);
    return point != std::string_view::npos && EqualIgnoringAsciiCase(name.substr(point), extension);
}

}  // namespace encoderdesk
