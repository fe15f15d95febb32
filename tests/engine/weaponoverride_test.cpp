// The forced weapon as both fronts hand it to the generators: name and damage cut to their
// fields, SR/PEN read from the user's text, and the table's draw when nothing is forced.
#include "generate/weaponoverride.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

using namespace throngkit;

namespace {

TEST(ApplyWeaponOverride, ForcedFieldsRankRoundingAndBounds)
{
    // The settings after the choice: forced name and damage as their fields hold them, and the
    // SR/PEN; a refused rank gives its reason and changes nothing.
    const struct { bool forced; const char16_t *name, *damage, *rank, *result; } cases[] = {
        {true, u"Axe", u"1D8+1", u"3", u"Axe       |1D8+1 |3"},
        {true, u"Greatclub of doom", u"2D6+1D4", u"0", u"Greatclub |2D6+1D|0"},
        // Half to even, as the table loader rounds a rank.
        {true, u"A", u"1", u"2.5", u"A         |1     |2"},
        {true, u"A", u"1", u"3.5", u"A         |1     |4"},
        // An empty box reads 0; "12abc" reads 12.
        {true, u"A", u"", u"", u"A         |      |0"},
        {true, u"A", u"1", u"12abc", u"A         |1     |12"},
        // The 16-bit bounds, after rounding.
        {true, u"A", u"1", u"32767", u"A         |1     |32767"},
        {true, u"A", u"1", u"32766.5", u"A         |1     |32766"},
        {true, u"A", u"1", u"-32768.5", u"A         |1     |-32768"},
        {true, u"A", u"1", u"32767.5", u"a number from -32768 to 32767: Before    |1D2   |7"},
        {true, u"A", u"1", u"-32769", u"a number from -32768 to 32767: Before    |1D2   |7"},
        {true, u"A", u"1", u"1E300", u"a number from -32768 to 32767: Before    |1D2   |7"},
        // Nothing forced: the table's draw, whatever the boxes still hold.
        {false, u"Axe", u"1D8", u"99999", u"*         |*     |2"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.rank).toStdString());
        const auto settings = test::NewSettings();
        settings->ForcedWeapon = u"Before";
        settings->WeaponDamage = u"1D2";
        settings->WeaponRank = 7;
        const WeaponOverride choice{c.forced, QString::fromUtf16(c.name), QString::fromUtf16(c.damage),
                                    QString::fromUtf16(c.rank)};
        const Outcome applied = ApplyWeaponOverride(choice, *settings);
        EXPECT_EQ(OverrideRank(choice).ok(), applied.ok());
        EXPECT_EQ((applied ? QString() : applied.reason() + u": "_qs) + settings->ForcedWeapon.toString() + u'|'
                      + settings->WeaponDamage.toString() + u'|' + QString::number(settings->WeaponRank),
                  QString::fromUtf16(c.result));
    }
}

} // namespace
