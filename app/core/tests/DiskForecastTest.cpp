// Disk labels, the two forecast grids and the automatic-stop summary of the file
// page, and the measuring of a real folder's file system.
#include <gtest/gtest.h>

#include <sys/statvfs.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "core/AutoOffSummary.h"
#include "core/DiskSpace.h"
#include "core/Forecast.h"
#include "core/TextDescription.h"

namespace encoderdesk {
namespace {

TEST(DiskLabelsTest, SizesUsedFreeAndGauge)
{
    const DiskLabels l = MakeDiskLabels(100000, 25000);
    EXPECT_EQ(l.size, "100 000 Мб");
    EXPECT_EQ(l.free, "25 000 Мб");
    EXPECT_EQ(l.used, "75 000 Мб");
    EXPECT_EQ(l.gaugePercent, 25);
    EXPECT_EQ(MakeDiskLabels(0, 0).gaugePercent, 0);
    EXPECT_EQ(MakeDiskLabels(0, 0).size, "0 Мб");
    EXPECT_EQ(MakeDiskLabels(1000, 125).gaugePercent, 12);  // 12.5, halves to even
}

TEST(DiskMeasure, NearestExistingFolderOfTheDirectory)
{
    const std::filesystem::path tmp = std::filesystem::temp_directory_path() / "disk";
    std::filesystem::create_directories(tmp);
    EXPECT_EQ(NearestExistingFolder((tmp / "not/yet/there").string()), tmp.string());
    EXPECT_EQ(NearestExistingFolder(tmp.string() + "\\later\\"), tmp.string());
    EXPECT_EQ(NearestExistingFolder("e:\\video"), "");
    EXPECT_EQ(NearestExistingFolder(""), "");
    std::filesystem::current_path(tmp);
    EXPECT_EQ(NearestExistingFolder("relative/name"), tmp.string());

    struct statvfs vfs{};
    ASSERT_EQ(statvfs(tmp.c_str(), &vfs), 0);
    const DiskSpace d = MeasureDisk((tmp / "missing").string());
    EXPECT_TRUE(d.measured);
    EXPECT_EQ(d.totalBytes, static_cast<std::int64_t>(vfs.f_blocks * vfs.f_frsize));
    EXPECT_FALSE(MeasureDisk("c:\\video").measured);
    EXPECT_EQ(MeasureDisk("").SizeMB(), 0);
}

TEST(Forecasts, SizeAndDiskGridsAtOneMebibytePerSecond)
{
    const double rate = 1048576, mpeg = rate - 158720;
    const auto size = SizeForecast(rate, mpeg);
    EXPECT_EQ(size[0].lpcm, "300.0 мб");
    EXPECT_EQ(size[6].lpcm, "3 600.0 мб");
    EXPECT_EQ(size[0].mpeg, "254.6 мб");
    EXPECT_EQ(SizeForecast(0, -158720)[0].mpeg, "-45.4 мб");  // negative estimates shown as computed

    EXPECT_FALSE(DiskForecast(rate, mpeg, 30, 1000, false));
    EXPECT_FALSE(DiskForecast(0, mpeg, 31, 1000, false));
    const auto disk = DiskForecast(rate, mpeg, 31, 1000, true);
    ASSERT_TRUE(disk);
    EXPECT_EQ((*disk)[0].lpcm, "11 мин  (0:11)");
    EXPECT_EQ((*disk)[2].lpcm, "75 мин  (1:15)");
    EXPECT_EQ((*disk)[3].lpcm, "17 мин  (0:17)");  // 1000 MiB free
}

TEST(AutoOff, SummaryInItsOrderAndListRules)
{
    EXPECT_EQ(AutoOffSummary(false, false, false), "не используется");
    EXPECT_EQ(AutoOffSummary(true, true, true), "по размеру,н.с.,по длит.");
    EXPECT_EQ(AutoOffSummary(false, true, true), "н.с.,по длит.");
    std::string list = "  ";
    AppendListItem(list, "a", ",");
    EXPECT_EQ(list, "  a");
    AppendListItem(list, " \t", ",");
    EXPECT_EQ(list, "  a");
}

TEST(TextDescriptionFile, FiveWindows1251LinesReplacingTheOldFile)
{
    const TextDescription d{"06.12.2026 23:05:09", "Video CD (VCD)", "MPEG1, 352 x 288, PAL", "1150000", "VBR отключен"};
    const std::string bytes = TextDescriptionBytes(d);
    EXPECT_EQ(bytes.substr(0, 6), "\xC4\xE0\xF2\xE0 \xE8");  // "Дата и" in Windows-1251
    EXPECT_NE(bytes.find("\r\n\xCF\xF0\xEE\xF4\xE8\xEB\xFC: Video CD (VCD)\r\n"), std::string::npos);
    EXPECT_NE(bytes.find(":  1150000\r\n"), std::string::npos);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");

    const auto path = (std::filesystem::temp_directory_path() / "clip.txt").string();
    { std::ofstream(path) << std::string(1000, 'x'); }
    ASSERT_TRUE(WriteTextDescription(path, d));
    EXPECT_EQ(std::filesystem::file_size(path), bytes.size());
    EXPECT_FALSE(WriteTextDescription("/nonexistent-folder/clip.txt", d));
}

}  // namespace
}  // namespace encoderdesk
