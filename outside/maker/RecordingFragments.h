// Which files make up the recording a file reader is asked to play. A recording the
// writer split into fragments (movie.mpg, movie_1.mpg, ...) is described by a text
// file beside it (movie.mzl): "TVMP" CR LF, then one "name;size" line per fragment
// in recording order. When the file given is the fragment that description lists
// first, the fragments play in the listed order as one stream; any other file
// plays alone. Plain C++.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quvo::maker {

// The description's name for `path`: everything up to the last "." of the whole
// path (or the whole path without one), then ".mzl".
std::string DescriptionPathFor(const std::string& path);

// The fragment names listed in a description's text, in order; empty when the text
// does not start with "TVMP" CR LF. Names are UTF-8, or Windows-1251 when the text
// is not valid UTF-8 (a description made on Windows). A name keeps only what
// follows its last "\", "/" or ":", so a description never reaches outside the
// recording's folder. The listed sizes are not used: a fragment is read to its end.
std::vector<std::string> ParseDescription(std::string_view text);

// The files to play for `path` (UTF-8): the listed fragments, each in `path`'s
// folder, when `path`'s description exists and lists `path`'s own name first;
// otherwise `path` alone.
std::vector<std::string> RecordingFragments(const std::string& path);

}  // namespace quvo::maker
