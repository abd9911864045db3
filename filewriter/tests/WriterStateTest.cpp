// The writer's file logic in normal mode, on real files in the test's TMPDIR: the
// name rules, splitting into numbered fragments with exact sizes and description
// lines, the capture limit, the file-system defaults and caps, and the result codes
// of the name and open failures.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/vfs.h>

#include <numeric>
#include <string>
#include <vector>

#include "filewriter/WriterState.h"
#include "filewriter/tests/TestFiles.h"
#include "platform/win32/Errors.h"

namespace quvo::filewriter {
namespace {

using test::Exists;
using test::FileSize;
using test::ReadText;
using test::TempDir;

// Stands in for the volume of a test path: answers the given file-system name.
WriterState::VolumeQuery FileSystem(std::string name)
{
    return [name](const std::string&, std::string* out) {
        *out = name;
        return true;
    };
}

WriterState::VolumeQuery NoVolume()
{
    return [](const std::string&, std::string*) { return false; };
}

std::vector<BYTE> Pattern(std::size_t n, unsigned seed)
{
    std::vector<BYTE> v(n);
    for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<BYTE>((i * 131 + seed * 17 + 7) & 0xFF);
    return v;
}

class WriterStateTest : public ::testing::Test {
protected:
    // Writes blocks of the given sizes and returns everything written, in order.
    std::string WriteBlocks(WriterState& w, const std::vector<std::size_t>& sizes, std::vector<HRESULT>* results = nullptr)
    {
        std::string all;
        unsigned seed = 0;
        for (std::size_t n : sizes) {
            std::vector<BYTE> block = Pattern(n, ++seed);
            HRESULT hr = w.WriteData(block.data(), static_cast<DWORD>(n));
            if (results) results->push_back(hr);
            all.append(block.begin(), block.end());
        }
        return all;
    }

    TempDir dir_;
};

TEST_F(WriterStateTest, DescriptionExtensionBecomesMpgInAnyCase)
{
    for (const char* given : {"movie.MZL", "movie.mzl", "movie.Mzl"}) {
        WriterState w(FileSystem("EXT4"));
        ASSERT_EQ(w.SetFileName(dir_.Wide(given).c_str()), S_OK);
        EXPECT_EQ(w.CurrentName(), dir_.Wide("movie.mpg")) << given;
        w.Pause();
        EXPECT_TRUE(Exists(dir_.File("movie.mpg")));
        EXPECT_TRUE(Exists(dir_.File("movie.mzl")));
        w.Stop();
    }
    // Only the extension counts: ".mzlx" and a ".mzl" inside the name stay.
    WriterState w(FileSystem("EXT4"));
    ASSERT_EQ(w.SetFileName(dir_.Wide("a.mzl.mzlx").c_str()), S_OK);
    EXPECT_EQ(w.CurrentName(), dir_.Wide("a.mzl.mzlx"));
}

TEST_F(WriterStateTest, NameWithoutDotNumbersAfterTheWholeName)
{
    if (dir_.Path().find('.') != std::string::npos) GTEST_SKIP() << "TMPDIR has a dot: " << dir_.Path();
    WriterState w(FileSystem("EXT4"));
    ASSERT_EQ(w.SetFileName(dir_.Wide("name").c_str()), S_OK);
    w.SetFileSizeLimit(1);
    w.Run();
    WriteBlocks(w, {600, 600, 600});
    EXPECT_EQ(w.CurrentName(), dir_.Wide("name_2"));
    w.Stop();
    EXPECT_EQ(FileSize(dir_.File("name")), 600);
    EXPECT_EQ(FileSize(dir_.File("name_1")), 600);
    EXPECT_EQ(FileSize(dir_.File("name_2")), 600);
    EXPECT_EQ(ReadText(dir_.File("name.mzl")), "TVMP\r\nname;600\r\nname_1;600\r\nname_2;600\r\n");
}

TEST_F(WriterStateTest, DotInDirectoryNameSplitsThere)
{
    ASSERT_EQ(mkdir(dir_.File("my.dir").c_str(), 0755), 0);
    ASSERT_EQ(mkdir(dir_.File("my_1.dir").c_str(), 0755), 0);
    WriterState w(FileSystem("EXT4"));
    ASSERT_EQ(w.SetFileName(dir_.Wide("my.dir/file").c_str()), S_OK);
    w.SetFileSizeLimit(1);
    w.Run();
    WriteBlocks(w, {1000, 1000});
    EXPECT_EQ(w.CurrentName(), dir_.Wide("my_1.dir/file"));
    w.Stop();
    EXPECT_EQ(FileSize(dir_.File("my.dir/file")), 1000);
    EXPECT_EQ(FileSize(dir_.File("my_1.dir/file")), 1000);
    // The description file takes the part before the dot: <dir>/my.mzl.
    EXPECT_EQ(ReadText(dir_.File("my.mzl")), "TVMP\r\nfile;1000\r\nfile;1000\r\n");
}

TEST_F(WriterStateTest, SplitsBeforeTheBlockThatWouldPassTheLimit)
{
    WriterState w(FileSystem("EXT4"));
    ASSERT_EQ(w.SetFileName(dir_.Wide("movie.mpg").c_str()), S_OK);
    w.SetFileSizeLimit(1);  // 1024 bytes
    w.Pause();
    w.Run();
    std::vector<HRESULT> results;
    std::string written = WriteBlocks(w, {400, 400, 400, 400, 224}, &results);
    for (HRESULT hr : results) EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(w.FragmentIndex(), 1);
    EXPECT_EQ(w.BytesStreamed(), 1824u);
    w.Stop();

    // 400 + 400 + 224 = 1024 is not above the limit, so the last block stays.
    EXPECT_EQ(ReadText(dir_.File("movie.mpg")), written.substr(0, 800));
    EXPECT_EQ(ReadText(dir_.File("movie_1.mpg")), written.substr(800));
    EXPECT_FALSE(Exists(dir_.File("movie_2.mpg")));
    EXPECT_EQ(ReadText(dir_.File("movie.mzl")), "TVMP\r\nmovie.mpg;800\r\nmovie_1.mpg;1024\r\n");
}

TEST_F(WriterStateTest, BlockLargerThanTheLimitGoesWholeIntoItsOwnFragment)
{
    WriterState w(FileSystem("EXT4"));
    ASSERT_EQ(w.SetFileName(dir_.Wide("big.mpg").c_str()), S_OK);
    w.SetFileSizeLimit(1);
    w.Run();
    // The first block is larger than the limit too: an empty fragment takes it.
    std::string written = WriteBlocks(w, {3000, 400, 2000, 400});
    w.Stop();
    EXPECT_EQ(ReadText(dir_.File("big.mpg")), written.substr(0, 3000));
    EXPECT_EQ(ReadText(dir_.File("big_1.mpg")), written.substr(3000, 400));
    EXPECT_EQ(ReadText(dir_.File("big_2.mpg")), written.substr(3400, 2000));
    EXPECT_EQ(ReadText(dir_.File("big_3.mpg")), written.substr(5400));
    EXPECT_EQ(ReadText(dir_.File("big.mzl")),
              "TVMP\r\nbig.mpg;3000\r\nbig_1.mpg;400\r\nbig_2.mpg;2000\r\nbig_3.mpg;400\r\n");
}

TEST_F(WriterStateTest, CaptureLimitCutsTheLastBlockAndDropsTheRest)
{
    WriterState w(FileSystem("EXT4"));
    ASSERT_EQ(w.SetFileName(dir_.Wide("cap.mpg").c_str()), S_OK);
    w.SetCaptureLimit(1000);
    w.Run();
    std::vector<HRESULT> results;
    std::string written = WriteBlocks(w, {300, 300, 300, 300, 300}, &results);
    for (HRESULT hr : results) EXPECT_EQ(hr, S_OK);
    EXPECT_TRUE(w.LimitReached());
    EXPECT_EQ(w.BytesStreamed(), 1000u);
    // Run clears the flag, but the total is spent: nothing more goes out.
    w.Run();
    WriteBlocks(w, {300});
    EXPECT_EQ(w.BytesStreamed(), 1000u);
    w.Stop();
    EXPECT_EQ(ReadText(dir_.File("cap.mpg")), written.substr(0, 1000));
    EXPECT_EQ(ReadText(dir_.File("cap.mzl")), "TVMP\r\ncap.mpg;1000\r\n");
}

TEST_F(WriterStateTest, BytesStreamedCountsAcrossStopAndNewNames)
{
    WriterState w(FileSystem("EXT4"));
    ASSERT_EQ(w.SetFileName(dir_.Wide("one.mpg").c_str()), S_OK);
    w.Run();
    WriteBlocks(w, {100, 200});
    w.Stop();
    ASSERT_EQ(w.SetFileName(dir_.Wide("two.mpg").c_str()), S_OK);
    w.Run();
    WriteBlocks(w, {50});
    w.Stop();
    EXPECT_EQ(w.BytesStreamed(), 350u);
    EXPECT_EQ(FileSize(dir_.File("one.mpg")), 300);
    EXPECT_EQ(FileSize(dir_.File("two.mpg")), 50);
    // The count of a new fragment starts at 0 even though the writer wrote before.
    EXPECT_EQ(ReadText(dir_.File("two.mzl")), "TVMP\r\ntwo.mpg;50\r\n");
}

TEST_F(WriterStateTest, NoDescriptionLineBeforeAnyDataThenEmptyFragmentsAreListed)
{
    WriterState w(FileSystem("EXT4"));
    ASSERT_EQ(w.SetFileName(dir_.Wide("empty.mpg").c_str()), S_OK);
    w.Pause();
    w.Stop();
    EXPECT_EQ(FileSize(dir_.File("empty.mpg")), 0);
    EXPECT_EQ(ReadText(dir_.File("empty.mzl")), "TVMP\r\n");

    ASSERT_EQ(w.SetFileName(dir_.Wide("data.mpg").c_str()), S_OK);
    w.Run();
    WriteBlocks(w, {10});
    w.Stop();
    // Once anything was written, a fragment closed empty still gets its line.
    ASSERT_EQ(w.SetFileName(dir_.Wide("later.mpg").c_str()), S_OK);
    w.Pause();
    w.Stop();
    EXPECT_EQ(ReadText(dir_.File("later.mzl")), "TVMP\r\nlater.mpg;0\r\n");
}

// Stop, then Pause without a new name after a split: the new run begins again at the
// name given with a new description, as it would had no split happened.
TEST_F(WriterStateTest, RestartWithoutNewNameBeginsAtTheNameGiven)
{
    WriterState w(FileSystem("EXT4"));
    ASSERT_EQ(w.SetFileName(dir_.Wide("keep.mpg").c_str()), S_OK);
    w.SetFileSizeLimit(1);
    w.Run();
    std::string written = WriteBlocks(w, {800, 800});
    w.Stop();
    w.Pause();
    w.Run();
    EXPECT_EQ(w.CurrentName(), dir_.Wide("keep.mpg"));
    std::string again = WriteBlocks(w, {100});
    w.Stop();
    EXPECT_EQ(ReadText(dir_.File("keep.mpg")), again);
    EXPECT_EQ(ReadText(dir_.File("keep_1.mpg")), written.substr(800));
    EXPECT_EQ(ReadText(dir_.File("keep.mzl")), "TVMP\r\nkeep.mpg;100\r\n");
    EXPECT_EQ(w.BytesStreamed(), 1700u);
}

TEST_F(WriterStateTest, FileSystemDefaultsAndCaps)
{
    struct Case {
        const char* name;
        ULONGLONG defaultBytes;
        ULONGLONG limitFor5000000;
    };
    const Case cases[] = {
        {"FAT32", 4091904ull * 1024, 4190109696ull},
        {"fat32", 4091904ull * 1024, 4190109696ull},
        {"FAT16", 1994752ull * 1024, 2042626048ull},
        {"FAT12", 30720ull * 1024, 31457280ull},
        {"NTFS", 10485760ull * 1024, 5120000000ull},
        {"Ntfs", 10485760ull * 1024, 5120000000ull},
        {"FAT", 0, 5120000000ull},  // not in the table: no default, no cap
        {"EXT4", 0, 5120000000ull},
    };
    for (const Case& c : cases) {
        WriterState w(FileSystem(c.name));
        ASSERT_EQ(w.SetFileName(dir_.Wide("fs.mpg").c_str()), S_OK);
        EXPECT_EQ(w.FragmentLimit(), c.defaultBytes) << c.name;
        EXPECT_EQ(w.SetFileSizeLimit(0), S_OK);
        EXPECT_EQ(w.FragmentLimit(), c.defaultBytes) << c.name << ": 0 keeps the limit";
        EXPECT_EQ(w.SetFileSizeLimit(5000000), S_OK);
        EXPECT_EQ(w.FragmentLimit(), c.limitFor5000000) << c.name;
    }
    WriterState ntfs(FileSystem("NTFS"));
    ASSERT_EQ(ntfs.SetFileName(dir_.Wide("fs.mpg").c_str()), S_OK);
    ntfs.SetFileSizeLimit(0xFFFFFF00u);
    EXPECT_EQ(ntfs.FragmentLimit(), 10737418240ull);

    // No volume found: 2047 MiB, and no cap afterwards.
    WriterState none(NoVolume());
    ASSERT_EQ(none.SetFileName(dir_.Wide("fs.mpg").c_str()), S_OK);
    EXPECT_EQ(none.FragmentLimit(), 2146435072ull);
    none.SetFileSizeLimit(0xFFFFFF00u);
    EXPECT_EQ(none.FragmentLimit(), 0xFFFFFF00ull * 1024);

    // A new name forgets the old file system: FAT32 caps no longer apply on EXT4.
    std::string current = "FAT32";
    WriterState moving([&current](const std::string&, std::string* out) {
        *out = current;
        return true;
    });
    ASSERT_EQ(moving.SetFileName(dir_.Wide("a.mpg").c_str()), S_OK);
    current = "EXT4";
    ASSERT_EQ(moving.SetFileName(dir_.Wide("b.mpg").c_str()), S_OK);
    moving.SetFileSizeLimit(5000000);
    EXPECT_EQ(moving.FragmentLimit(), 5120000000ull);
}

// The real volume of a path that does not exist yet is that of its nearest existing
// ancestor, named from statfs' magic number as the system names it.
TEST_F(WriterStateTest, RealFileSystemOfTmpAndOfTheTestDirectory)
{
    auto expected = [](const std::string& dir) -> std::string {
        struct statfs fs {};
        if (statfs(dir.c_str(), &fs) != 0) return "?";
        switch (static_cast<unsigned long>(fs.f_type)) {
        case 0x01021994: return "TMPFS";
        case 0xEF53: return "EXT4";  // ext2/3/4 share it; mounts here are ext4
        case 0x58465342: return "XFS";
        case 0x9123683E: return "BTRFS";
        case 0x794c7630: return "OVERLAY";
        default: return "";
        }
    };
    for (const std::string& dir : {std::string("/tmp"), dir_.Path()}) {
        std::string want = expected(dir);
        if (want.empty()) continue;  // a file system this test does not know by number
        WriterState w;
        std::u16string name = test::Wide(dir + "/missing/deeper/x.mpg");
        ASSERT_EQ(w.SetFileName(name.c_str()), S_OK);
        EXPECT_EQ(w.FileSystemName(), want) << dir;
        // None of these is in the table: the limit is left alone (0 on a new writer).
        EXPECT_EQ(w.FragmentLimit(), 0u) << dir;
    }
}

TEST_F(WriterStateTest, NameResultCodes)
{
    WriterState w(FileSystem("EXT4"));
    ASSERT_EQ(w.SetFileName(dir_.Wide("first.mpg").c_str()), S_OK);

    std::u16string tooLong(261, u'a');
    EXPECT_EQ(w.SetFileName(tooLong.c_str()), 206);
    EXPECT_EQ(w.CurrentName(), dir_.Wide("first.mpg"));

    // 260 characters pass the length test but not the conversion to at most 260 bytes
    // with the terminator; nor do 200 Cyrillic letters (400 bytes in UTF-8).
    std::u16string exactly260(260, u'b');
    EXPECT_EQ(w.SetFileName(exactly260.c_str()), 123);
    std::u16string cyrillic(200, u'\u0436');
    EXPECT_EQ(w.SetFileName(cyrillic.c_str()), 123);
    std::u16string fits = dir_.Wide(std::string(259 - dir_.Path().size() - 1, 'c'));
    EXPECT_EQ(w.SetFileName(fits.c_str()), S_OK);

    EXPECT_EQ(w.SetFileName(nullptr), E_INVALIDARG);
}

TEST_F(WriterStateTest, NullNameClosesTheOpenFiles)
{
    WriterState w(FileSystem("EXT4"));
    ASSERT_EQ(w.SetFileName(dir_.Wide("open.mpg").c_str()), S_OK);
    w.Run();
    WriteBlocks(w, {70});
    ASSERT_TRUE(w.FragmentOpen());
    EXPECT_EQ(w.SetFileName(nullptr), E_INVALIDARG);
    EXPECT_FALSE(w.FragmentOpen());
    EXPECT_EQ(w.FragmentIndex(), 0);
    EXPECT_EQ(ReadText(dir_.File("open.mzl")), "TVMP\r\nopen.mpg;70\r\n");
}

TEST_F(WriterStateTest, NoNameOrMissingDirectoryFailsToOpen)
{
    WriterState unnamed(FileSystem("EXT4"));
    EXPECT_EQ(unnamed.StartRecording(), 123);
    unnamed.Run();
    EXPECT_FALSE(unnamed.FragmentOpen());

    WriterState w(FileSystem("EXT4"));
    ASSERT_EQ(w.SetFileName(dir_.Wide("nodir/x.mpg").c_str()), S_OK);
    EXPECT_EQ(w.Pause(), HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(w.Run(), HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(w.FragmentOpen());
    EXPECT_EQ(w.StartRecording(), HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND));
    w.EnableCaptureOnTheFly();  // there the recording reports it, not the state change
    EXPECT_EQ(w.Pause(), S_OK);
}

TEST_F(WriterStateTest, FailedSplitIsReportedOnceThenBlocksAreDropped)
{
    // Fragment 1 of "<dir>/a.d/f" is "<dir>/a_1.d/f", whose directory is missing.
    ASSERT_EQ(mkdir(dir_.File("a.d").c_str(), 0755), 0);
    WriterState w(FileSystem("EXT4"));
    ASSERT_EQ(w.SetFileName(dir_.Wide("a.d/f").c_str()), S_OK);
    w.SetFileSizeLimit(1);
    w.Run();
    std::vector<HRESULT> results;
    std::string written = WriteBlocks(w, {800, 800}, &results);
    EXPECT_EQ(results[0], S_OK);
    EXPECT_EQ(results[1], HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(w.FragmentOpen());
    w.Stop();
    EXPECT_EQ(ReadText(dir_.File("a.d/f")), written.substr(0, 800));
    EXPECT_EQ(ReadText(dir_.File("a.mzl")), "TVMP\r\nf;800\r\n");
    EXPECT_EQ(w.BytesStreamed(), 800u);
}

TEST_F(WriterStateTest, NewNameWhileAFragmentIsOpenClosesItFirst)
{
    WriterState w(FileSystem("EXT4"));
    ASSERT_EQ(w.SetFileName(dir_.Wide("old.mpg").c_str()), S_OK);
    w.Pause();  // opened, nothing written yet
    ASSERT_EQ(w.SetFileName(dir_.Wide("new.mpg").c_str()), S_OK);
    EXPECT_FALSE(w.FragmentOpen());
    w.Run();
    WriteBlocks(w, {42});
    w.Stop();
    EXPECT_EQ(FileSize(dir_.File("old.mpg")), 0);
    EXPECT_EQ(FileSize(dir_.File("new.mpg")), 42);
    EXPECT_EQ(ReadText(dir_.File("new.mzl")), "TVMP\r\nnew.mpg;42\r\n");
}

}  // namespace
}  // namespace quvo::filewriter
