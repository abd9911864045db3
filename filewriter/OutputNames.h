// How the writer names its files: the name given, the numbered fragments after it, the
// description file beside them and the line that lists a fragment there.
#pragma once

#include <string>
#include <string_view>

#include "platform/com/Types.h"

namespace quvo::filewriter {

// The description file's own extension, and what a given name with it becomes.
inline constexpr std::u16string_view kDescriptionExtension = u".mzl";
inline constexpr std::u16string_view kMediaExtension = u".mpg";

// A name whose part from its last "." is ".mzl" (any case) would collide with the
// description file: that part becomes ".mpg".
std::u16string ReplaceDescriptionExtension(std::u16string_view name);

// Splits at the last "." of the whole path, wherever it stands (so a dot in a
// directory name splits there too): base before it, extension from it on.
void SplitAtLastDot(std::u16string_view name, std::u16string* base, std::u16string* extension);

// "%s_%d%s": base, fragment number, extension.
std::u16string FragmentName(std::u16string_view base, int index, std::u16string_view extension);

// base + ".mzl".
std::u16string DescriptionName(std::u16string_view base);

// "TVMP" CR LF, the description file's first line.
inline constexpr std::string_view kDescriptionHeader = "TVMP\r\n";

// "%s;%I64d" CR LF: the fragment's name without its directory (after the last "\", "/"
// or ":"), then its size in decimal.
std::string DescriptionLine(std::string_view fragmentPath, ULONGLONG bytes);

}  // namespace quvo::filewriter
