// The forced weapon as both fronts hand it to the generators: name and damage cut to their
// fields, SR/PEN read from the user's text, and the table's draw when nothing is forced.
#include "generate/weaponoverride.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

using namespace throngkit;

namespace {

TEST(ApplyWeaponOverride, ForcedFieldsRankRoundingAndBounds)
{
    struct Case
    {
        bool forced;
        const char16_t *name;
        const char16_t *damage;
        const char16_t *rank;
        bool ok;
        const char16_t *expectedName;     // as the 10-character field holds it
        const char16_t *expectedDamage;   // as the 6-character field holds it
        qint16 expectedRank;
    };
    const Case cases[] = {
        {true, u"Axe", u"1D8+1", u"3", true, u"Axe       ", u"1D8+1 ", 3},
        {true, u"Greatclub of doom", u"2D6+1D4", u"0", true, u"Greatclub ", u"2D6+1D", 0},
        // Half to even, as the table loader rounds a rank.
        {true, u"A", u"1", u"2.5", true, u"A         ", u"1     ", 2},
        {true, u"A", u"1", u"3.5", true, u"A         ", u"1     ", 4},
        // An empty box reads 0; so does text with no leading number; "12abc" reads 12.
        {true, u"A", u"", u"", true, u"A         ", u"      ", 0},
        {true, u"A", u"1", u"abc", true, u"A         ", u"1     ", 0},
        {true, u"A", u"1", u"12abc", true, u"A         ", u"1     ", 12},
        // The 16-bit bounds, after rounding.
        {true, u"A", u"1", u"32767", true, u"A         ", u"1     ", 32767},
        {true, u"A", u"1", u"32766.5", true, u"A         ", u"1     ", 32766},
        {true, u"A", u"1", u"-32768.5", true, u"A         ", u"1     ", -32768},
        {true, u"A", u"1", u"32767.5", false, nullptr, nullptr, 0},
        {true, u"A", u"1", u"-32769", false, nullptr, nullptr, 0},
        {true, u"A", u"1", u"1E300", false, nullptr, nullptr, 0},
        // Nothing forced: the table's draw, whatever the boxes still hold.
        {false, u"Axe", u"1D8", u"99999", true, u"*         ", u"*     ", 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.rank).toStdString());
        const auto settings = test::NewSettings();
        settings->ForcedWeapon = u"Before";
        settings->WeaponDamage = u"1D2";
        settings->WeaponRank = 7;
        const WeaponOverride choice{c.forced, QString::fromUtf16(c.name),
                                    QString::fromUtf16(c.damage), QString::fromUtf16(c.rank)};
        const Outcome applied = ApplyWeaponOverride(choice, *settings);
        ASSERT_EQ(applied.ok(), c.ok) << applied.reason().toStdString();
        EXPECT_EQ(OverrideRank(choice).ok(), c.ok);
        if (!c.ok) {
            EXPECT_EQ(applied.reason(), QStringLiteral("a number from -32768 to 32767"));
            // A refused rank changes nothing.
            EXPECT_EQ(settings->ForcedWeapon.toString(), QStringLiteral("Before    "));
            EXPECT_EQ(settings->WeaponDamage.toString(), QStringLiteral("1D2   "));
            EXPECT_EQ(settings->WeaponRank, 7);
            continue;
        }
        EXPECT_EQ(settings->ForcedWeapon.toString(), QString::fromUtf16(c.expectedName));
        EXPECT_EQ(settings->WeaponDamage.toString(), QString::fromUtf16(c.expectedDamage));
        EXPECT_EQ(settings->WeaponRank, c.expectedRank);
    }
}

} // namespace
