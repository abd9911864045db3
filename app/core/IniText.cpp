#include "core/IniText.h"

#include <cstdint>

#include "platform/win32/Text.h"

namespace encoderdesk {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool IsQuote(char c) { return c == '"' || c == '\''; }

bool InMatchingQuotes(std::string_view s) { return s.size() >= 2 && IsQuote(s.front()) && s.front() == s.back(); }

// Upper-case Latin and Cyrillic letters (UTF-8) to lower case; other bytes stay.
std::string FoldCase(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c >= 'A' && c <= 'Z') {
            out += static_cast<char>(c + 32);
            continue;
        }
        if (c == 0xD0 && i + 1 < s.size()) {
            const auto d = static_cast<unsigned char>(s[i + 1]);
            if (d >= 0x90 && d <= 0x9F) {  // А-П -> а-п
                out += '\xD0';
                out += static_cast<char>(d + 0x20);
                ++i;
                continue;
            }
            if (d >= 0xA0 && d <= 0xAF) {  // Р-Я -> р-я
                out += '\xD1';
                out += static_cast<char>(d - 0x20);
                ++i;
                continue;
            }
            if (d == 0x81) {  // Ё -> ё
                out += "\xD1\x91";
                ++i;
                continue;
            }
        }
        out += static_cast<char>(c);
    }
    return out;
}

// "[name]" (blanks allowed around and inside the brackets): the name.
std::optional<std::string_view> SectionName(std::string_view line)
{
    line = Trim(line);
    if (line.size() < 2 || line.front() != '[') return std::nullopt;
    const std::size_t close = line.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return Trim(line.substr(1, close - 1));
}

struct KeyLine {
    std::string_view key;
    std::string_view value;
};

std::optional<KeyLine> ParseKeyLine(std::string_view line)
{
    line = Trim(line);
    if (line.empty() || line.front() == ';' || line.front() == '[') return std::nullopt;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    return KeyLine{Trim(line.substr(0, eq)), Trim(line.substr(eq + 1))};
}

// The lines of the section [name]: from the header's index to the next header.
struct SectionRange {
    std::size_t header = 0;
    std::size_t end = 0;
};

std::optional<SectionRange> FindSection(const IniText& text, std::string_view name)
{
    const std::string folded = FoldCase(Trim(name));
    for (std::size_t i = 0; i < text.lines.size(); ++i) {
        const auto found = SectionName(text.lines[i]);
        if (!found || FoldCase(*found) != folded) continue;
        std::size_t end = i + 1;
        while (end < text.lines.size() && !SectionName(text.lines[end])) ++end;
        return SectionRange{i, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> FindKeyLine(const IniText& text, const SectionRange& range, std::string_view key)
{
    const std::string folded = FoldCase(Trim(key));
    for (std::size_t i = range.header + 1; i < range.end; ++i) {
        const auto line = ParseKeyLine(text.lines[i]);
        if (line && FoldCase(line->key) == folded) return i;
    }
    return std::nullopt;
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

bool UsableName(std::string_view name)
{
    return !Trim(name).empty() && !HasLineBreak(name) && name.find_first_of("=]") == std::string_view::npos &&
           Trim(name).front() != ';' && Trim(name).front() != '[';
}

std::string EncodedValue(std::string_view value)
{
    const bool padded = !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()));
    if (padded || InMatchingQuotes(value)) return "\"" + std::string(value) + "\"";
    return std::string(value);
}

bool FitsCp1251(const std::string& utf8)
{
    return quvo::text::Cp1251ToUtf8(quvo::text::Utf8ToCp1251(utf8)) == utf8;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

IniText ParseIniText(std::string_view bytes)
{
    if (bytes.size() > kMaxIniBytes) bytes = bytes.substr(0, kMaxIniBytes);
    const bool marked = bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark;
    if (marked) bytes.remove_prefix(kUtf8Mark.size());
    std::string decoded;
    if (marked) {
        decoded.assign(bytes);
    } else {
        decoded = quvo::text::Cp1251ToUtf8(bytes);
    }
    IniText text;
    std::size_t start = 0;
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        if (decoded[i] != '\r' && decoded[i] != '\n') continue;
        text.lines.emplace_back(decoded, start, i - start);
        if (decoded[i] == '\r' && i + 1 < decoded.size() && decoded[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < decoded.size()) text.lines.emplace_back(decoded, start);
    // The mark's own line, written by SerializeIniText.
    if (marked && !text.lines.empty() && text.lines.front().empty()) text.lines.erase(text.lines.begin());
    return text;
}

std::string SerializeIniText(const IniText& text)
{
    std::string joined;
    for (const std::string& line : text.lines) joined += line + "\r\n";
    if (FitsCp1251(joined)) {
        // A Windows-1251 text that begins with the mark's bytes ("п»ї") would read
        // back as UTF-8.
        std::string bytes = quvo::text::Utf8ToCp1251(joined);
        if (bytes.compare(0, kUtf8Mark.size(), kUtf8Mark) != 0) return bytes;
    }
    return std::string(kUtf8Mark) + "\r\n" + joined;
}

std::optional<std::string> FindIniValue(const IniText& text, std::string_view section, std::string_view key)
{
    const auto range = FindSection(text, section);
    if (!range) return std::nullopt;
    const auto index = FindKeyLine(text, *range, key);
    if (!index) return std::nullopt;
    std::string_view value = ParseKeyLine(text.lines[*index])->value;
    if (InMatchingQuotes(value)) value = value.substr(1, value.size() - 2);
    return std::string(value);
}

bool SetIniValue(IniText& text, std::string_view section, std::string_view key, std::string_view value)
{
    if (!UsableName(section) || !UsableName(key) || HasLineBreak(value)) return false;
    const std::string encoded = EncodedValue(value);
    const auto range = FindSection(text, section);
    if (!range) {
        text.lines.push_back("[" + std::string(Trim(section)) + "]");
        text.lines.push_back(std::string(Trim(key)) + "=" + encoded);
        return true;
    }
    if (const auto index = FindKeyLine(text, *range, key)) {
        std::string& line = text.lines[*index];
        line = std::string(ParseKeyLine(line)->key) + "=" + encoded;
        return true;
    }
    std::size_t last = range->end;
    while (last > range->header + 1 && Trim(text.lines[last - 1]).empty()) --last;
    text.lines.insert(text.lines.begin() + static_cast<std::ptrdiff_t>(last), std::string(Trim(key)) + "=" + encoded);
    return true;
}

std::optional<int> ParseIniInteger(std::string_view value)
{
    value = Trim(value);
    bool negative = false;
    if (!value.empty() && (value.front() == '-' || value.front() == '+')) {
        negative = value.front() == '-';
        value.remove_prefix(1);
    }
    if (value.empty()) return std::nullopt;
    std::uint64_t magnitude = 0;
    const bool hex = value.front() == '$' || (value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X'));
    if (hex) {
        value.remove_prefix(value.front() == '$' ? 1 : 2);
        if (value.empty() || value.size() > 8) return std::nullopt;
        for (char c : value) {
            const int d = HexDigit(c);
            if (d < 0) return std::nullopt;
            magnitude = magnitude * 16 + static_cast<std::uint64_t>(d);
        }
        // Eight digits are 32 bits: 0xFFFFFFFF reads as -1.
        const auto bits = static_cast<std::uint32_t>(negative ? 0 - magnitude : magnitude);
        return static_cast<int>(static_cast<std::int32_t>(bits));
    }
    for (char c : value) {
        if (c < '0' || c > '9') return std::nullopt;
        magnitude = magnitude * 10 + static_cast<std::uint64_t>(c - '0');
        if (magnitude > 2147483648ULL) return std::nullopt;
    }
    if (!negative && magnitude > 2147483647ULL) return std::nullopt;
    return negative ? static_cast<int>(-static_cast<std::int64_t>(magnitude)) : static_cast<int>(magnitude);
}

bool SameIniName(std::string_view a, std::string_view b) { return FoldCase(Trim(a)) == FoldCase(Trim(b)); }

}  // namespace encoderdesk
