// Class identifiers in registry form: text round trip, the accepted spellings,
// and StringFromGUID2's buffer rule.
#include <gtest/gtest.h>

#include "platform/com/Guid.h"

namespace {
constexpr GUID kWriter = {0x277DEC5B, 0x063E, 0x4432, {0xAC, 0x82, 0x88, 0x23, 0xA6, 0xC8, 0x5E, 0xF3}};
}

TEST(Guid, TextRoundTripAndSpellings)
{
    EXPECT_EQ(GuidToString(kWriter), "{277DEC5B-063E-4432-AC82-8823A6C85EF3}");
    GUID back{};
    ASSERT_TRUE(GuidFromString(GuidToString(kWriter), &back));
    EXPECT_EQ(back, kWriter);
    GUID lower{};
    ASSERT_TRUE(GuidFromString("277dec5b-063e-4432-ac82-8823a6c85ef3", &lower));
    EXPECT_EQ(lower, kWriter);

    GUID untouched = GUID_NULL;
    for (const char* bad : {"", "{277DEC5B-063E-4432-AC82-8823A6C85EF3", "{277DEC5B-063E-4432-AC82-8823A6C85EG3}",
                            "277DEC5B063E-4432-AC82-8823A6C85EF3--", "{277DEC5B-063E-4432-AC828-823A6C85EF3}"}) {
        EXPECT_FALSE(GuidFromString(bad, &untouched)) << bad;
    }
    EXPECT_EQ(untouched, GUID_NULL);
    EXPECT_NE(kWriter, GUID_NULL);
}

TEST(Guid, StringFromGuid2NeedsThirtyNineUnits)
{
    WCHAR buf[39];
    EXPECT_EQ(StringFromGUID2(kWriter, buf, 39), 39);
    EXPECT_EQ(std::u16string(buf), u"{277DEC5B-063E-4432-AC82-8823A6C85EF3}");
    WCHAR small[38] = {u'x'};
    EXPECT_EQ(StringFromGUID2(kWriter, small, 38), 0);
    EXPECT_EQ(small[0], u'x');
}
