#include "outside/maker/RecordingFragments.h"

#include <fstream>

#include "platform/win32/Text.h"

namespace quvo::maker {
namespace {

// A description is a few lines per gigabyte of video; anything larger is not one.
constexpr std::size_t kMaxDescriptionBytes = 1u << 20;

bool IsValidUtf8(std::string_view text)
{
    return text.empty()
        || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0)
        > 0;
}

std::string_view FileNamePart(std::string_view name)
{
    const std::size_t cut = name.find_last_of("\\/:");
    return cut == std::string_view::npos ? name : name.substr(cut + 1);
}

std::string_view Trimmed(std::string_view line)
{
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n' || line.back() == ' ')) line.remove_suffix(1);
    return line;
}

}  // namespace

std::string DescriptionPathFor(const std::string& path)
{
    const std::size_t dot = path.rfind('.');
    return (dot == std::string::npos ? path : path.substr(0, dot)) + ".mzl";
}

std::vector<std::string> ParseDescription(std::string_view text)
{
    constexpr std::string_view kHeader = "TVMP\r\n";
    if (text.substr(0, kHeader.size()) != kHeader) return {};
    text.remove_prefix(kHeader.size());
    const std::string converted = IsValidUtf8(text) ? std::string(text) : text::Cp1251ToUtf8(text);

    std::vector<std::string> names;
    std::string_view rest = converted;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        std::string_view line = Trimmed(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        const std::size_t semicolon = line.rfind(';');
        if (semicolon != std::string_view::npos) line = line.substr(0, semicolon);
        line = FileNamePart(line);
        if (!line.empty()) names.emplace_back(line);
    }
    return names;
}

std::vector<std::string> RecordingFragments(const std::string& path)
{
    std::ifstream in(DescriptionPathFor(path), std::ios::binary);
    std::string text(kMaxDescriptionBytes + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(in ? 0 : static_cast<std::size_t>(in.gcount()));  // a full read: too large to be one
    const std::vector<std::string> names = ParseDescription(text);
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    if (names.empty() || names.front() != path.substr(folder.size())) return {path};

    std::vector<std::string> files;
    files.reserve(names.size());
    files.push_back(path);
    for (std::size_t i = 1; i < names.size(); ++i) files.push_back(folder + names[i]);
    return files;
}

}  // namespace quvo::maker
