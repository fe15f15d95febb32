#include "core/fixedtext.h"
#include "core/settings.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <limits>

using namespace throngkit;

TEST(FixedText, PadsWithBlanksAndCutsToWidth)
{
    FixedText<10> weapon = u"Broadswords";
    EXPECT_EQ(weapon.toString(), QStringLiteral("Broadsword"));
    weapon = u"Sword";
    EXPECT_EQ(weapon.toString(), QStringLiteral("Sword     "));
    weapon = QString();
    EXPECT_EQ(weapon.toString(), QString(10, u' '));
}

TEST(Settings, RecordsStartBlankNotNul)
{
    const auto settings = test::NewSettings();
    const RabbleMember &member = settings->Members[MaxMembers];
    EXPECT_EQ(member.Name.toString(), QString(20, u' '));
    EXPECT_EQ(member.Code.toString(), QStringLiteral("       "));
    EXPECT_EQ(member.HitPoints, 0);
    EXPECT_EQ(settings->Weapons[MaxWeaponRows].Damage.toString(), QStringLiteral("      "));
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
