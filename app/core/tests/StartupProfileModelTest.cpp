// The startup profile dialog's rules on the two [Startup] keys: a file without the
// section, the user profile with an empty name, Cancel, and a stored value outside
// 0 to 3. The keys are held in memory here; which keys are written is the point.
#include <gtest/gtest.h>

#include <map>

#include "core/StartupProfileModel.h"

namespace encoderdesk {
namespace {

class MemoryKeys final : public StartupKeys {
public:
    std::map<std::string, std::string> values;

    int ReadProfile(int d) override { return values.count("Profile") ? std::stoi(values["Profile"]) : d; }
    std::string ReadProfileName(const std::string& d) override
    {
        return values.count("ProfileName") ? values["ProfileName"] : d;
    }
    void WriteProfile(int v) override { values["Profile"] = std::to_string(v); }
    void WriteProfileName(const std::string& v) override { values["ProfileName"] = v; }
};

TEST(StartupProfile, NoSectionOpensVcdAndOkWritesOnlyTheProfile)
{
    MemoryKeys keys;
    StartupProfileModel model;
    model.Load(keys);
    EXPECT_EQ(model.checked, 0);
    model.Save(keys);
    EXPECT_EQ(keys.values, (std::map<std::string, std::string>{{"Profile", "0"}}));
}

TEST(StartupProfile, UserProfileWithAnEmptyNameAndAPresetKeepingTheName)
{
    MemoryKeys keys;
    StartupProfileModel model;
    model.checked = 3;
    model.Save(keys);
    EXPECT_EQ(keys.values, (std::map<std::string, std::string>{{"Profile", "3"}, {"ProfileName", ""}}));

    keys.values = {{"Profile", "3"}, {"ProfileName", "/p/night.vcp"}};
    model.Load(keys);
    EXPECT_EQ(model.fileName, "/p/night.vcp");
    model.checked = 2;
    model.Save(keys);
    EXPECT_EQ(keys.values["ProfileName"], "/p/night.vcp");
    EXPECT_EQ(keys.values["Profile"], "2");
}

TEST(StartupProfile, CancelWritesNothingAndAnUnknownValueKeepsTheLastChoice)
{
    MemoryKeys keys;
    keys.values = {{"Profile", "1"}};
    StartupProfileModel model;
    model.Load(keys);  // opened, then cancelled: no Save
    EXPECT_EQ(model.checked, 1);
    EXPECT_EQ(keys.values, (std::map<std::string, std::string>{{"Profile", "1"}}));
    keys.values["Profile"] = "7";
    model.Load(keys);
    EXPECT_EQ(model.checked, 1);
}

}  // namespace
}  // namespace encoderdesk
