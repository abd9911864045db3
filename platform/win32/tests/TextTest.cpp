// Code-page conversion: the Win32 size protocol (ask, then convert), the 260-unit
// limit of file names, malformed input, and Windows-1251 text of the desktop program.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32/Errors.h"
#include "platform/win32/Text.h"

namespace {

TEST(MultiByteToWideChar, AsksForSizeThenConverts)
{
    const char* name = "Запись.mpg";  // 10 characters, 16 bytes in UTF-8
    int needed = MultiByteToWideChar(CP_ACP, 0, name, -1, nullptr, 0);
    EXPECT_EQ(needed, 11);  // terminator included with length -1
    WCHAR out[11];
    ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, name, -1, out, 11), 11);
    EXPECT_EQ(std::u16string(out), u"Запись.mpg");
    // An explicit length converts no terminator.
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, name, 12, out, 11), 6);
}

TEST(MultiByteToWideChar, FailsWhenTheDestinationIsShort)
{
    std::string name(260, 'a');  // 260 characters + terminator = 261 units
    WCHAR out[260];
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, out, 260), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    name.pop_back();  // 259 + terminator fits exactly
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, out, 260), 260);
    EXPECT_EQ(out[259], 0);
}

TEST(MultiByteToWideChar, RejectsBadArguments)
{
    WCHAR out[4];
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, nullptr, -1, out, 4), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "a", 0, out, 4), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(MultiByteToWideChar(437, 0, "a", -1, out, 4), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(MultiByteToWideChar, MalformedInputIsReplacedOrRejected)
{
    // Truncated sequence, overlong slash, encoded surrogate, stray continuation byte.
    const char bad[] = "a\xD0" "b\xC0\xAF" "c\xED\xA0\x80" "d\x80";
    WCHAR out[32];
    int n = MultiByteToWideChar(CP_UTF8, 0, bad, -1, out, 32);
    ASSERT_GT(n, 0);
    std::u16string s(out);
    EXPECT_EQ(s.substr(0, 2), u"a\uFFFD");
    EXPECT_EQ(s.front(), u'a');
    EXPECT_EQ(s.back(), u'\uFFFD');
    EXPECT_NE(s.find(u'b'), std::u16string::npos);
    EXPECT_NE(s.find(u'd'), std::u16string::npos);
    for (char16_t c : s) EXPECT_FALSE(c >= 0xD800 && c <= 0xDFFF) << "no surrogate may leak through";

    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bad, -1, out, 32), 0);
    EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
}

TEST(WideCharToMultiByte, RoundTripsAndHonoursTheLimit)
{
    std::u16string wide = u"Видео \U0001F3A5 D:";  // includes a surrogate pair
    int needed = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8 = quvo::text::Utf16ToUtf8(wide);
    EXPECT_EQ(needed, static_cast<int>(utf8.size()) + 1);
    std::string out(static_cast<std::size_t>(needed), '\xFF');
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, out.data(), needed, nullptr, nullptr), needed);
    EXPECT_EQ(std::string(out.c_str()), utf8);
    EXPECT_EQ(quvo::text::Utf8ToUtf16(utf8), wide);

    char small[4];
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, small, 4, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    // UTF-8 takes no default character, as in Win32.
    BOOL used = FALSE;
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, out.data(), needed, nullptr, &used), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(WideCharToMultiByte, LoneSurrogates)
{
    const char16_t lone[] = {u'x', 0xD800, u'y', 0};
    char out[16];
    int n = WideCharToMultiByte(CP_UTF8, 0, lone, -1, out, 16, nullptr, nullptr);
    EXPECT_EQ(n, 6);
    EXPECT_STREQ(out, "x\xEF\xBF\xBDy");
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, lone, -1, out, 16, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
}

TEST(Cp1251, RussianTextRoundTrips)
{
    std::string utf8 = "Настройки захвата: Ёлка, ё, №5, «кавычки» — тире";
    std::string cp = quvo::text::Utf8ToCp1251(utf8);
    // One byte per character in the code page: "Н" is 0xCD, "ё" 0xB8, "№" 0xB9.
    EXPECT_EQ(static_cast<unsigned char>(cp[0]), 0xCD);
    EXPECT_NE(cp.find('\xB8'), std::string::npos);
    EXPECT_NE(cp.find('\xB9'), std::string::npos);
    EXPECT_EQ(cp.size(), quvo::text::Utf8ToUtf16(utf8).size());
    EXPECT_EQ(quvo::text::Cp1251ToUtf8(cp), utf8);
}

TEST(Cp1251, UnmappableAndMalformedInput)
{
    EXPECT_EQ(quvo::text::Utf8ToCp1251("a\xE4\xB8\xAD" "b"), "a?b");  // a CJK character
    EXPECT_EQ(quvo::text::Utf8ToCp1251("a\xFF" "b"), "a?b");          // not UTF-8 at all
    EXPECT_EQ(quvo::text::Cp1251ToUtf8("a\x98" "b"), "a\xEF\xBF\xBD" "b");  // unassigned byte

    const char16_t wide[] = {u'Я', 0x4E2D, 0};
    char out[8];
    BOOL used = FALSE;
    EXPECT_EQ(WideCharToMultiByte(CP_WINDOWS_1251, 0, wide, -1, out, 8, "#", &used), 3);
    EXPECT_STREQ(out, "\xDF#");
    EXPECT_EQ(used, TRUE);
    WCHAR back[4];
    EXPECT_EQ(MultiByteToWideChar(CP_WINDOWS_1251, 0, "\xDF", -1, back, 4), 2);
    EXPECT_EQ(back[0], u'Я');
}

}  // namespace
