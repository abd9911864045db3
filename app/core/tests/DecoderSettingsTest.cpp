// The decoder dialog over the test's own platform registry: no decoder installed,
// a value of 2, and the standard settings followed by Cancel.
#include <gtest/gtest.h>

#include "core/DecoderSettings.h"
#include "platform/registry/Registry.h"

namespace encoderdesk {
namespace {

const std::string kFirst = kDecoderPages[0].key;
const std::string kSecond = kDecoderPages[1].key;

void Delete(const std::string& key) { RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str()); }

void SetDword(const std::string& key, const char* name, DWORD value)
{
    HKEY k = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, key.c_str(), &k), ERROR_SUCCESS);
    RegSetValueExA(k, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    RegCloseKey(k);
}

class DecoderSettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Delete(kFirst);
        Delete(kSecond);
    }
    RegistryOptionStore store;
    DecoderSettings settings{store};
};

TEST_F(DecoderSettingsTest, NeitherInstalledShowsDefaultsAndWritesNothing)
{
    settings.Fill();
    for (const auto& page : settings.pages) {
        for (int i = 0; i < kDecoderOptionCount; ++i) EXPECT_EQ(page.checked[static_cast<std::size_t>(i)], i < 7) << i;
        EXPECT_EQ(page.lastUsedColorSpace, "?");
    }
    settings.Write();
    EXPECT_FALSE(store.KeyExists(kFirst));
    EXPECT_FALSE(store.KeyExists(kSecond));
}

TEST_F(DecoderSettingsTest, OnlyOneMeansCheckedAndOkWritesZeroOrOne)
{
    SetDword(kFirst, "YV12", 2);
    SetDword(kFirst, "Deinterlacing", 1);
    settings.Fill();
    EXPECT_FALSE(settings.pages[0].checked[6]);
    EXPECT_TRUE(settings.pages[0].checked[7]);
    settings.Write();
    EXPECT_EQ(store.ReadInteger(kFirst, "YV12"), 0u);
    EXPECT_EQ(store.ReadInteger(kFirst, "BGR3"), 1u);
    EXPECT_EQ(store.ReadInteger(kFirst, "MPEG2Only"), 0u);
    EXPECT_FALSE(store.KeyExists(kSecond));

    // The second page has no MPEG2Only box: its key never gets that value.
    SetDword(kSecond, "BGR3", 0);
    settings.Fill();
    EXPECT_FALSE(settings.pages[1].checked[0]);
    settings.Write();
    EXPECT_EQ(store.ReadInteger(kSecond, "ShowErrorFrames"), 0u);
    EXPECT_EQ(store.ReadInteger(kSecond, "MPEG2Only"), std::nullopt);
}

TEST_F(DecoderSettingsTest, StandardSettingsThenCancelChangeNothing)
{
    SetDword(kFirst, "Deinterlacing", 1);
    SetDword(kFirst, "BGR4", 0);
    settings.Fill();
    settings.SetStandard();
    EXPECT_TRUE(settings.pages[0].checked[1]);
    EXPECT_FALSE(settings.pages[0].checked[7]);
    EXPECT_TRUE(settings.pages[0].checked[kMpeg2OnlyOption]);
    // Cancel: nothing written.
    EXPECT_EQ(store.ReadInteger(kFirst, "Deinterlacing"), 1u);
    EXPECT_EQ(store.ReadInteger(kFirst, "BGR4"), 0u);
    EXPECT_EQ(store.ReadInteger(kFirst, "MPEG2Only"), std::nullopt);
}

}  // namespace
}  // namespace encoderdesk
