#include "core/settings.h"
#include "listing/csvwriter.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <limits>

using namespace throngkit;

// A fresh record is blank text and zeros, never NUL, up to the last: as the files write a member
// that was never generated.
TEST(Settings, RecordsStartBlankNotNul)
{
    const auto settings = test::NewSettings();
    settings->HowMany = MaxMembers;
    EXPECT_EQ(ComposeCsv(GameSystem::RuneQuest, *settings).split('\n').value(MaxMembers), "1000,,,,,0,0,,0,,,0,0,0,0,\r");
    EXPECT_EQ(settings->Weapons[MaxWeaponRows].Damage.toString(), u"      "_qs);
}

TEST(Settings, ListedMemberCountRoundsDownAndKeepsToCapacity)
{
    const struct { float howMany; int count; } cases[] = {
        {10.7f, 10}, {10.5f, 10}, {1.0f, 1}, {0.5f, 0}, {0.0f, 0}, {-3.0f, 0},
        {1000.0f, 1000}, {1000.9f, 1000}, {5000.0f, 1000},
        {std::numeric_limits<float>::quiet_NaN(), 0},
        {std::numeric_limits<float>::infinity(), 1000},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ListedMemberCount(c.howMany), c.count) << c.howMany;
}
