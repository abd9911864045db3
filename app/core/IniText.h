// The program's INI texts in memory: parsed from the bytes of a file, looked up
// and changed key by key, and turned back into bytes, as the Windows program's
// files are read and written there. No file access here (IniFile does that), so
// tests and fuzz targets drive it directly.
//
// Reading is as tolerant as the Windows INI functions: blanks around section
// names, keys and values are ignored, a value in matching quotes loses them,
// lines before the first section, comment lines (";") and lines without "=" are
// no keys, section and key names compare without regard to case (Latin and
// Cyrillic letters), and the first section and the first key of a name win.
//
// Encoding: a file that starts with the UTF-8 byte-order mark is UTF-8; every
// other file is Windows-1251, as the Windows program reads it (a guess from the
// bytes could take Windows-1251 Cyrillic for UTF-8). Bytes are written in
// Windows-1251 whenever every line fits that code page; otherwise the whole text is written in UTF-8 behind the
// mark and a line break, so that nothing is lost and the Windows program, which
// skips the mark's line, still finds every section. Lines end in CR LF.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace encoderdesk {

// Files larger than this are no INI text of the program's: only this much of one
// is read, and one is never rewritten.
inline constexpr std::size_t kMaxIniBytes = 1024 * 1024;

struct IniText {
    std::vector<std::string> lines;  // UTF-8, without line ends
};

// Never fails: every byte sequence gives some lines. At most kMaxIniBytes are read.
IniText ParseIniText(std::string_view bytes);

// The bytes of the file: Windows-1251 when it holds every line, else UTF-8 with
// the mark (see above).
std::string SerializeIniText(const IniText& text);

// The value of the key, blanks and matching quotes removed; nothing when the
// section or the key is missing.
std::optional<std::string> FindIniValue(const IniText& text, std::string_view section, std::string_view key);

// Replaces the value of the key in place (the key keeps its spelling), or adds the
// key after the last line of its section, or adds the section and the key at the
// end. A value with blanks at either end, or one in matching quotes, is written in
// double quotes so that it reads back the same. False, and nothing changed, for a
// value or name holding a line break (it cannot be one line of the file) and for
// a name that cannot be found again (blank, or holding "=" or "]").
bool SetIniValue(IniText& text, std::string_view section, std::string_view key, std::string_view value);

// The integer of a value as the Windows program reads one: decimal with an
// optional sign, or hexadecimal after "0x", "0X" or "$" (up to 8 digits, taken as
// 32 bits); anything else, or a decimal outside 32 bits, is no number.
std::optional<int> ParseIniInteger(std::string_view value);

// Case-blind equality of section and key names.
bool SameIniName(std::string_view a, std::string_view b);

}  // namespace encoderdesk
