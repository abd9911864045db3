#include "platform/win32/Text.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/win32/Errors.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf16(std::u16string& out, char32_t cp)
{
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Decodes one UTF-8 character at p[0..n). Returns the bytes it spans; *cp is the
// character or kReplacement for a malformed sequence (then the span is the maximal
// invalid prefix, at least one byte, as the Unicode recommendation has it).
std::size_t DecodeUtf8(const unsigned char* p, std::size_t n, char32_t* cp, bool* valid)
{
    unsigned char b = p[0];
    *valid = true;
    if (b < 0x80) {
        *cp = b;
        return 1;
    }
    std::size_t need;
    char32_t value;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    if (b >= 0xC2 && b <= 0xDF) {
        need = 1;
        value = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        need = 2;
        value = b & 0x0F;
        if (b == 0xE0) lo = 0xA0;          // overlong
        if (b == 0xED) hi = 0x9F;          // surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
        need = 3;
        value = b & 0x07;
        if (b == 0xF0) lo = 0x90;          // overlong
        if (b == 0xF4) hi = 0x8F;          // above U+10FFFF
    } else {
        *valid = false;
        *cp = kReplacement;
        return 1;
    }
    std::size_t i = 1;
    for (; i <= need; ++i) {
        if (i >= n) break;
        unsigned char c = p[i];
        unsigned char l = i == 1 ? lo : 0x80, h = i == 1 ? hi : 0xBF;
        if (c < l || c > h) break;
        value = (value << 6) | (c & 0x3F);
    }
    if (i <= need) {
        *valid = false;
        *cp = kReplacement;
        return i;
    }
    *cp = value;
    return need + 1;
}

// UTF-8 -> UTF-16; false on malformed input when `strict`.
bool DecodeAll(std::string_view in, bool strict, std::u16string& out)
{
    const auto* p = reinterpret_cast<const unsigned char*>(in.data());
    std::size_t n = in.size();
    std::size_t i = 0;
    while (i < n) {
        char32_t cp;
        bool valid;
        i += DecodeUtf8(p + i, n - i, &cp, &valid);
        if (!valid && strict) return false;
        AppendUtf16(out, cp);
    }
    return true;
}

// UTF-16 -> UTF-8; false on a lone surrogate when `strict`.
bool EncodeAll(std::u16string_view in, bool strict, std::string& out)
{
    for (std::size_t i = 0; i < in.size(); ++i) {
        char32_t c = in[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < in.size() && in[i + 1] >= 0xDC00 && in[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (in[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            if (strict) return false;
            c = kReplacement;
        }
        AppendUtf8(out, c);
    }
    return true;
}

class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv()
    {
        if (ok()) iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

// Runs iconv over the whole input. An input sequence that cannot be converted is
// skipped (`skip` tells how many bytes) and `substitute` is written in its place.
std::string Convert(const char* to, const char* from, std::string_view in, std::string_view substitute,
                    std::size_t (*skip)(const char*, std::size_t), bool* substituted)
{
    std::string out;
    Iconv cd(to, from);
    if (!cd.ok()) return out;
    std::vector<char> buffer(in.size() * 3 + 16);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    while (srcLeft > 0) {
        char* dst = buffer.data();
        std::size_t dstLeft = buffer.size();
        std::size_t r = iconv(cd.get(), &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer.data(), buffer.size() - dstLeft);
        if (r != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG) continue;
        // EILSEQ or EINVAL (truncated at the end): replace and move on.
        std::size_t n = errno == EINVAL ? srcLeft : skip(src, srcLeft);
        src += n;
        srcLeft -= n;
        out.append(substitute);
        if (substituted) *substituted = true;
    }
    return out;
}

std::size_t SkipOneByte(const char*, std::size_t) { return 1; }

std::size_t SkipUtf8Char(const char* p, std::size_t n)
{
    char32_t cp;
    bool valid;
    return DecodeUtf8(reinterpret_cast<const unsigned char*>(p), n, &cp, &valid);
}

std::string Utf8ToCp1251Impl(std::string_view utf8, char substitute, bool* substituted)
{
    return Convert("WINDOWS-1251", "UTF-8", utf8, std::string_view(&substitute, 1), &SkipUtf8Char, substituted);
}

bool IsKnownCodePage(UINT cp) { return cp == CP_ACP || cp == CP_UTF8 || cp == CP_WINDOWS_1251; }

// Copies `result` (units of T) into dst with the Win32 limit rules.
template <class T>
int Deliver(const std::basic_string<T>& result, T* dst, int dstCap)
{
    if (result.empty()) {
        // Empty input after all (only possible with an explicit length of 0 units).
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (result.size() > 0x7FFFFFFF) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    int needed = static_cast<int>(result.size());
    if (dstCap == 0) return needed;
    if (needed > dstCap) {
        std::memcpy(dst, result.data(), static_cast<std::size_t>(dstCap) * sizeof(T));
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(dst, result.data(), result.size() * sizeof(T));
    return needed;
}

}  // namespace

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR src, int srcLen, LPWSTR dst, int dstCap)
{
    if (!src || srcLen == 0 || srcLen < -1 || dstCap < 0 || (dstCap > 0 && !dst) || !IsKnownCodePage(codePage) ||
        (flags & ~MB_ERR_INVALID_CHARS) != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string_view in(src, srcLen == -1 ? std::strlen(src) + 1 : static_cast<std::size_t>(srcLen));
    std::u16string result;
    if (codePage == CP_WINDOWS_1251) {
        // Every byte has a character except 0x98, which becomes U+FFFD (or fails).
        bool substituted = false;
        std::string utf8 = Convert("UTF-8", "WINDOWS-1251", in, "\xEF\xBF\xBD", &SkipOneByte, &substituted);
        if (substituted && (flags & MB_ERR_INVALID_CHARS)) {
            SetLastError(ERROR_NO_UNICODE_TRANSLATION);
            return 0;
        }
        DecodeAll(utf8, false, result);
    } else if (!DecodeAll(in, (flags & MB_ERR_INVALID_CHARS) != 0, result)) {
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        return 0;
    }
    return Deliver(result, dst, dstCap);
}

int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR src, int srcLen, LPSTR dst, int dstCap,
                        LPCSTR defaultChar, BOOL* usedDefault)
{
    bool utf8 = codePage == CP_ACP || codePage == CP_UTF8;
    if (!src || srcLen == 0 || srcLen < -1 || dstCap < 0 || (dstCap > 0 && !dst) || !IsKnownCodePage(codePage) ||
        (flags & ~WC_ERR_INVALID_CHARS) != 0 || (utf8 && (defaultChar || usedDefault))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::u16string_view in(src, srcLen == -1 ? quvo::text::WideLength(src) + 1 : static_cast<std::size_t>(srcLen));
    std::string result;
    if (!EncodeAll(in, (flags & WC_ERR_INVALID_CHARS) != 0, result)) {
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        return 0;
    }
    if (!utf8) {
        bool substituted = false;
        result = Utf8ToCp1251Impl(result, defaultChar ? *defaultChar : '?', &substituted);
        if (usedDefault) *usedDefault = substituted ? TRUE : FALSE;
    }
    return Deliver(result, dst, dstCap);
}

namespace quvo::text {

std::u16string Utf8ToUtf16(std::string_view utf8)
{
    std::u16string out;
    DecodeAll(utf8, false, out);
    return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16)
{
    std::string out;
    EncodeAll(utf16, false, out);
    return out;
}

std::string Cp1251ToUtf8(std::string_view cp1251)
{
    return Convert("UTF-8", "WINDOWS-1251", cp1251, "\xEF\xBF\xBD", &SkipOneByte, nullptr);
}

std::string Utf8ToCp1251(std::string_view utf8) { return Utf8ToCp1251Impl(utf8, '?', nullptr); }

std::size_t WideLength(LPCWSTR s)
{
    std::size_t n = 0;
    while (s[n] != 0) ++n;
    return n;
}

}  // namespace quvo::text
