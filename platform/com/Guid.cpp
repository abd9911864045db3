#include "platform/com/Guid.h"

#include <cctype>
#include <cstdio>

std::string GuidToString(const GUID& g)
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1],
                  g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return buf;
}

namespace {
int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads `digits` hex characters at text[pos]; false on any non-hex character.
bool ReadHex(const std::string& text, std::size_t pos, int digits, std::uint64_t* out)
{
    std::uint64_t v = 0;
    for (int i = 0; i < digits; ++i) {
        int h = HexValue(text[pos + static_cast<std::size_t>(i)]);
        if (h < 0) return false;
        v = (v << 4) | static_cast<std::uint64_t>(h);
    }
    *out = v;
    return true;
}
}  // namespace

bool GuidFromString(const std::string& input, GUID* out)
{
    std::string text = input;
    if (text.size() == 38 && text.front() == '{' && text.back() == '}')
        text = text.substr(1, 36);
    if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' || text[23] != '-')
        return false;
    GUID g{};
    std::uint64_t v;
    if (!ReadHex(text, 0, 8, &v)) return false;
    g.Data1 = static_cast<std::uint32_t>(v);
    if (!ReadHex(text, 9, 4, &v)) return false;
    g.Data2 = static_cast<std::uint16_t>(v);
    if (!ReadHex(text, 14, 4, &v)) return false;
    g.Data3 = static_cast<std::uint16_t>(v);
    const std::size_t bytePos[8] = {19, 21, 24, 26, 28, 30, 32, 34};
    for (int i = 0; i < 8; ++i) {
        if (!ReadHex(text, bytePos[i], 2, &v)) return false;
        g.Data4[i] = static_cast<std::uint8_t>(v);
    }
    if (out) *out = g;
    return true;
}

int StringFromGUID2(REFGUID g, LPWSTR out, int max)
{
    std::string s = GuidToString(g);
    if (!out || max < static_cast<int>(s.size()) + 1) return 0;
    for (std::size_t i = 0; i < s.size(); ++i) out[i] = static_cast<WCHAR>(s[i]);
    out[s.size()] = 0;
    return static_cast<int>(s.size()) + 1;
}
