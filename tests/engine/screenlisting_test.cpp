#include "listing/screenlisting.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <utility>

using namespace throngkit;
using throngkit::test::NewSettings;

namespace {

const QString RQHeader =
    QStringLiteral("Num   T Weapon     Damage     Att Parry  SR  Mis HP AP Sc Ls SCZIPDA");
const QString TravellerHeader =
    QStringLiteral("Num   T Weapon     Damage     Pen Skill  HP AP  Recon   SDEIES Skills");

// A line of the given length, blank except for the texts placed at their columns (from 1).
QString Placed(int length, std::initializer_list<std::pair<int, const char16_t *>> texts)
{
    QString line(length, u' ');
    for (const auto &[column, text] : texts) {
        const QStringView t(text);
        line.replace(column - 1, t.size(), t.toString());
    }
    return line;
}

QStringList Lines(const QString &text)
{
    QStringList lines = text.split(QStringLiteral("\r\n"));
    lines.removeLast();   // after the final line end
    return lines;
}

} // namespace

// Members 7 and 1000 of a full listing in each system, column by column; a bare CR or LF in a
// line, or a line end missing, breaks the comparison of lines.
TEST(ScreenListing, ColumnsOfBothSystems)
{
    const struct {
        const char *name;
        GameSystem system;
        int number;
        RabbleMember member;
        QString line;
    } cases[] = {
        // Missile 33 must not show: a blank letter means no missile weapon whatever the value.
        // HP 0 leaves only its blank and Listen 0 nothing, so the tail shifts left by three.
        {"RQ, no missile, HP and Listen 0", GameSystem::RuneQuest, 7,
         {.Name = {}, .Level = u"G", .Weapon = u"Broadsword", .Damage = u"1D8+1+1D4", .Attack = 7,
          .Parry = 45, .ParryWith = u"Sh", .Missile = 33, .MissileType = u" ", .StrikeRank = u"6+2",
          .HitPoints = 0, .Scan = 52, .Listen = 0, .Armour = 5, .Code = u"CBDEA9F"},
         Placed(64, {{1, u"7"}, {7, u"G"}, {9, u"Broadsword"}, {20, u"1D8+1+1D4"}, {31, u"07%"},
                     {35, u"45%"}, {39, u"Sh"}, {42, u"6+2"}, {51, u"5"}, {54, u"52"},
                     {58, u"CBDEA9F"}})},
        // Attack 100 loses its "%" to the four-column field; parry 100 fills its five.
        {"RQ, attack and parry 100", GameSystem::RuneQuest, 1000,
         {.Name = {}, .Level = u"E", .Weapon = u"2H Spear", .Damage = u"1D10+1+1D6", .Attack = 100,
          .Parry = 100, .ParryWith = u"Wp", .Missile = 7, .MissileType = u"B", .StrikeRank = u"5+3",
          .HitPoints = 17, .Scan = 52, .Listen = 45, .Armour = 5, .Code = u"J3883J3"},
         Placed(68, {{1, u"1000"}, {7, u"E"}, {9, u"2H Spear"}, {20, u"1D10+1+1D6"}, {31, u"100"},
                     {35, u"100%"}, {39, u"Wp"}, {42, u"5+3"}, {46, u"07B"}, {50, u"17"},
                     {53, u"5"}, {56, u"52"}, {59, u"45"}, {62, u"J3883J3"}})},
        {"Traveller, recon 0", GameSystem::Traveller, 7,
         {.Name = {}, .Level = u"G", .Weapon = u"Autopistol", .Damage = u"3D6", .Attack = 3, .Parry = 4,
          .ParryWith = {}, .MissileType = {}, .StrikeRank = u"2", .HitPoints = 45, .Scan = 0,
          .Armour = 7, .Code = u"5FA7EB"},
         Placed(66, {{1, u"7"}, {7, u"G"}, {9, u"Autopistol"}, {20, u"3D6"}, {31, u"2"},
                     {35, u"Gun-3"}, {42, u"45"}, {46, u"7"}, {49, u"Recon-0"}, {57, u"5FA7EB"},
                     {65, u"-4"}})},
        {"Traveller, three-digit HP and two-digit PEN", GameSystem::Traveller, 1000,
         {.Name = {}, .Level = u"E", .Weapon = u"Laser", .Damage = u"5D6", .Attack = 6, .Parry = 5,
          .ParryWith = {}, .MissileType = {}, .StrikeRank = u"12", .HitPoints = 135, .Scan = 6,
          .Armour = 24, .Code = u"9A5B8C "},
         Placed(66, {{1, u"1000"}, {7, u"E"}, {9, u"Laser"}, {20, u"5D6"}, {31, u"12"},
                     {35, u"Gun-6"}, {42, u"135"}, {46, u"24"}, {49, u"Recon-6"},
                     {57, u"9A5B8C"}, {65, u"-5"}})},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        auto s = NewSettings();
        s->HowMany = 1000.9f;   // still the capacity
        s->Members[c.number] = c.member;
        const QStringList lines = Lines(BuildListing(c.system, *s));
        ASSERT_EQ(lines.size(), 1001);
        EXPECT_EQ(lines[0], c.system == GameSystem::RuneQuest ? RQHeader : TravellerHeader);
        EXPECT_EQ(lines[c.number], c.line);
    }
}

TEST(ScreenListing, SystemChoiceAndAnEmptyRabble)
{
    auto s = NewSettings();
    s->HowMany = 0;
    EXPECT_EQ(BuildListing(GameSystem::RuneQuest, *s), RQHeader + QStringLiteral("\r\n"));
    EXPECT_EQ(BuildListing(GameSystem::Traveller, *s), TravellerHeader + QStringLiteral("\r\n"));
    EXPECT_EQ(BuildListing(GameSystem::None, *s), QString());
}
