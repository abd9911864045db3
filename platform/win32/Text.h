// Code-page conversion as the Win32 calls do it: UTF-8 (the ANSI code page here) <->
// UTF-16, with the caller's destination limit, plus Windows-1251 for the desktop
// program's files.
#pragma once

#include <string>
#include <string_view>

#include "platform/com/Types.h"

inline constexpr UINT CP_ACP = 0;  // the ANSI code page; UTF-8 on this system
inline constexpr UINT CP_UTF8 = 65001;
inline constexpr UINT CP_WINDOWS_1251 = 1251;

// MultiByteToWideChar flag: fail on malformed input instead of substituting U+FFFD.
inline constexpr DWORD MB_ERR_INVALID_CHARS = 0x8;
// WideCharToMultiByte flag: fail on a lone surrogate instead of substituting U+FFFD.
inline constexpr DWORD WC_ERR_INVALID_CHARS = 0x80;

// Converts `srcLen` bytes (-1: up to and including the terminating zero) into `dst`,
// which holds `dstCap` units. Returns the units written, or with dstCap 0 the units
// needed. 0 on failure with the last error: ERROR_INSUFFICIENT_BUFFER when dst is too
// small (dst may then hold a partial result), ERROR_INVALID_PARAMETER for bad
// arguments or an unknown code page, ERROR_NO_UNICODE_TRANSLATION for malformed
// input with MB_ERR_INVALID_CHARS. Code pages: CP_ACP, CP_UTF8, CP_WINDOWS_1251.
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR src, int srcLen, LPWSTR dst, int dstCap);

// The reverse direction, same conventions. Characters that the code page cannot hold
// become `defaultChar` (or '?'), and *usedDefault is set; both are for
// CP_WINDOWS_1251 only and must be null for UTF-8, as in Win32.
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR src, int srcLen, LPSTR dst, int dstCap,
                        LPCSTR defaultChar, BOOL* usedDefault);

namespace quvo::text {

// Whole-string conversions. Malformed input is replaced by U+FFFD, never rejected.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// Windows-1251 <-> UTF-8 through iconv. Characters without a Windows-1251 form become
// '?'; malformed UTF-8 becomes '?' as well. The byte 0x98, unassigned in the code
// page, becomes U+FFFD.
std::string Cp1251ToUtf8(std::string_view cp1251);
std::string Utf8ToCp1251(std::string_view utf8);

// Length of a zero-terminated UTF-16 string, in units.
std::size_t WideLength(LPCWSTR s);

}  // namespace quvo::text
