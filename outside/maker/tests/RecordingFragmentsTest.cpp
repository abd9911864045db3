// A recording split by the writer plays as one stream when the file given is the
// fragment its ".mzl" lists first: the fragments' bytes joined in the listed order,
// each read to its real end, the stream ending at a fragment that is missing.
// Names are UTF-8, or Windows-1251 in a description made on Windows.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "outside/maker/FragmentFile.h"
#include "outside/maker/RecordingFragments.h"

namespace quvo::maker {
namespace {

std::string TempDir()
{
    const char* dir = std::getenv("TMPDIR");
    return dir && *dir ? dir : "/tmp";
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadAll(FragmentSequence& sequence)
{
    std::string joined;
    char buffer[7];  // small, so reads cross the fragment ends
    for (;;) {
        std::size_t got = 0;
        EXPECT_EQ(sequence.Read(buffer, sizeof buffer, &got), S_OK);
        if (got == 0) return joined;
        joined.append(buffer, got);
    }
}

TEST(RecordingFragments, DescriptionListsNamesInOrderWithoutFolders)
{
    EXPECT_EQ(DescriptionPathFor("/v/movie.mpg"), "/v/movie.mzl");
    EXPECT_EQ(DescriptionPathFor("/v.d/movie"), "/v.mzl");  // the last "." of the whole path
    EXPECT_TRUE(ParseDescription("movie.mpg;12\r\n").empty());  // no "TVMP" line
    EXPECT_EQ(ParseDescription("TVMP\r\nmovie.mpg;1048576\r\nmovie_1.mpg;9\r\n\r\n..\\..\\etc\\x.mpg;1\r\n"
                               "c:up/movie_3.mpg\r\n"),
              (std::vector<std::string>{"movie.mpg", "movie_1.mpg", "x.mpg", "movie_3.mpg"}));
    // "Запись" in UTF-8, then in Windows-1251 (not valid UTF-8).
    EXPECT_EQ(ParseDescription("TVMP\r\n\xD0\x97\xD0\xB0\xD0\xBF\xD0\xB8\xD1\x81\xD1\x8C.mpg;5\r\n"),
              std::vector<std::string>{"\xD0\x97\xD0\xB0\xD0\xBF\xD0\xB8\xD1\x81\xD1\x8C.mpg"});
    EXPECT_EQ(ParseDescription("TVMP\r\n\xC7\xE0\xEF\xE8\xF1\xFC.mpg;5\r\n"),
              std::vector<std::string>{"\xD0\x97\xD0\xB0\xD0\xBF\xD0\xB8\xD1\x81\xD1\x8C.mpg"});
}

TEST(RecordingFragments, FirstListedFragmentPlaysTheWholeRecording)
{
    const std::string dir = TempDir() + "/";
    WriteFile(dir + "rec.mpg", "AAAA");
    WriteFile(dir + "rec_1.mpg", "BBBBBBBBBB");  // listed with another size: the file counts
    WriteFile(dir + "rec_2.mpg", "C");
    WriteFile(dir + "rec.mzl", "TVMP\r\nrec.mpg;4\r\nrec_1.mpg;3\r\nrec_2.mpg;1\r\n");

    FragmentSequence whole(RecordingFragments(dir + "rec.mpg"));
    ASSERT_EQ(whole.Rewind(), S_OK);
    EXPECT_EQ(ReadAll(whole), "AAAABBBBBBBBBBC");
    ASSERT_EQ(whole.Rewind(), S_OK);  // a second run starts again
    EXPECT_EQ(ReadAll(whole), "AAAABBBBBBBBBBC");

    // A later fragment, or a file the description does not list first, plays alone.
    EXPECT_EQ(RecordingFragments(dir + "rec_1.mpg"), std::vector<std::string>{dir + "rec_1.mpg"});
    WriteFile(dir + "other.mpg", "X");
    WriteFile(dir + "other.mzl", "TVMP\r\nrec.mpg;4\r\n");
    EXPECT_EQ(RecordingFragments(dir + "other.mpg"), std::vector<std::string>{dir + "other.mpg"});

    // A missing fragment ends the stream there.
    WriteFile(dir + "cut.mpg", "11");
    WriteFile(dir + "cut_2.mpg", "33");
    WriteFile(dir + "cut.mzl", "TVMP\r\ncut.mpg;2\r\ncut_1.mpg;2\r\ncut_2.mpg;2\r\n");
    FragmentSequence cut(RecordingFragments(dir + "cut.mpg"));
    ASSERT_EQ(cut.Rewind(), S_OK);
    EXPECT_EQ(ReadAll(cut), "11");
}

TEST(RecordingFragments, UnreadableFilesAnswerTheSystemsError)
{
    ReadDescriptor file;
    EXPECT_EQ(file.Open(TempDir() + "/absent.mpg"), static_cast<HRESULT>(0x80070002));  // file not found
    EXPECT_EQ(file.Open(TempDir() + "/no/such/dir/x.mpg"), static_cast<HRESULT>(0x80070003));
    EXPECT_EQ(file.Open(TempDir()), static_cast<HRESULT>(0x80070005));  // a folder: access denied
}

}  // namespace
}  // namespace quvo::maker
