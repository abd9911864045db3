// The capture file's name and folder: the directory text as the user typed it,
// normalised to "/" separators, the automatic time-stamp names, the extension rule,
// and the file name the program uses for every file operation.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

namespace encoderdesk {

// One pass, left to right: every occurrence of `pattern` becomes `replacement`.
// An empty pattern, or one equal to the source or absent from it, leaves the
// source as it is ("////" with "//" -> "/" gives "//").
std::string ReplaceAll(const std::string& source, const std::string& pattern, const std::string& replacement);

// "\" becomes "/", a non-empty text gets one trailing "/", and doubled separators
// collapse in one pass: "/video//new" -> "/video/new/"; "" stays "".
std::string NormalizeDirectory(const std::string& directory);

// NormalizeDirectory without the trailing separators; the root "/" stays.
std::string TrimDirectory(const std::string& directory);

// A text naming a Windows drive ("e:", "e:\video", "C:/x"): it means nothing here.
bool HasDriveLetter(std::string_view directory);

// `name` with its extension replaced by `extension` (".mpg"), or with it appended
// when there is none; the extension is what follows the last point after the last
// "/".
std::string ChangeFileExt(const std::string& name, const std::string& extension);

// `name` when its extension already is `extension` in any case ("CLIP.VCP" for
// ".vcp"), else ChangeFileExt(name, extension).
std::string ForceExtension(const std::string& name, const std::string& extension);

// "261206_23_05_09" for 6 December 2026, 23:05:09 local time.
std::string TimeStampName(const std::tm& localTime);

// The new text of the file name field: the time stamp when `automatic`, else the
// text as it is; in both cases with the extension ".mpg".
std::string MakeFileName(const std::string& fieldText, bool automatic, const std::tm& localTime);

// NormalizeDirectory(directory) followed directly by the name.
std::string CurrentFile(const std::string& directory, const std::string& fileName);

// `path` when it exists; else the file in the same folder whose name differs only
// in the case of its extension ("CLIP.VCP" for "CLIP.vcp"); else `path`.
std::string FindIgnoringExtensionCase(const std::string& path);

// Whether the file name's extension is `extension` (".vcp"), case-blind.
bool HasExtension(std::string_view name, std::string_view extension);

}  // namespace encoderdesk
