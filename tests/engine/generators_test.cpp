#include "core/request.h"
#include "generate/generators.h"
#include "listing/csvwriter.h"
#include "tests/support/scripteddice.h"
#include "tests/support/testsupport.h"
#include "weapons/weapontable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace throngkit;
using throngkit::test::LoadSmallTable;
using throngkit::test::NewSettings;
using throngkit::test::Roll;
using throngkit::test::Script;
using throngkit::test::ScriptedDice;

namespace {

constexpr auto RQ = GameSystem::RuneQuest;
constexpr auto Traveller = GameSystem::Traveller;

// One member's throws: the characteristics in heading order, given as the values they must give
// (RuneQuest SIZ and INT 2D6 + 6, the rest 3D6; Traveller each 2D6 + 3), then the other throws.
std::deque<double> Member(GameSystem system, std::initializer_list<int> characteristics,
                          std::initializer_list<Roll> rest)
{
    std::deque<double> values;
    int slot = 1;
    for (int v : characteristics) {
        const Roll roll = system == Traveller ? Roll{v - 3, 6, 2}
                          : slot == 3 || slot == 4 ? Roll{v - 6, 6, 2} : Roll{v, 6, 3};
        const auto dice = Script({roll});
        values.insert(values.end(), dice.begin(), dice.end());
        ++slot;
    }
    const auto after = Script(rest);
    values.insert(values.end(), after.begin(), after.end());
    return values;
}

// STR 12, CON 11, SIZ 13, INT 14, POW 10, DEX 9, APP 15: the worked example of the rules.
const std::initializer_list<int> Example = {12, 11, 13, 14, 10, 9, 15};
const std::initializer_list<int> Strong = {18, 3, 8, 8, 3, 18, 3};

} // namespace

// Whole members pinned die by die, every throw scripted, each checked as its CSV row (whose last
// cells unpack the code into the scripted characteristics and split the damage): the caps
// with an elite fighter and a forced two-handed weapon, the missile kept at exactly 15 and lost
// at 14, and the Traveller recon loss on a 1 or 2 only, with its floor at 0.
TEST(Generators, ScriptedMembersFollowTheRollOrder)
{
    // Level, forced weapon, its damage and SR/PEN, shield choice, missile odds.
    const struct Choice { const char16_t *level, *weapon, *damage; qint16 rank; const char16_t *shield; qint16 odds; }
        elite{u"E", u"2H Sword", u"2D8", 3, u"Y", 1}, poor{u"P", u"*", u"", 2, u"*", 1},
        rifle{u"G", u"Rifle", u"3D6", 2, u"*", 4}, none{u"*", u"*", u"", 2, u"*", 4};
    const struct {
        const char *name;
        GameSystem system;
        Choice choice;
        std::deque<double> script;
        const char *row;
    } cases[] = {
        // Attack 111: Scan 110 and Listen of exactly 100 (from the uncapped Scan) are capped.
        {"elite caps", RQ, elite,
         Member(RQ, Strong, {{28, 35}, {1, 2}, {1, 10}, {10, 10}, {2, 5}, {5, 5}, {1, 1}, {1, 5}, {20, 10, 2}}),
         "____________________,E,2H Sword,2D8+1D4,111,102,Wp,91,B,5+3,7,92,95,6,J3883J3,18,3,8,8,3,18,3,2D8,+1D4"},
        {"Scan of 99, Listen 98", RQ, elite,
         Member(RQ, Strong, {{17, 35}, {2, 2}, {1, 10}, {1, 10}, {1, 1}, {3, 5}, {20, 10, 2}}),
         "____________________,E,2H Sword,2D8+1D4,100,91,Wp,80,A,5+3,7,99,98,7,J3883J3,18,3,8,8,3,18,3,2D8,+1D4"},
        {"Scan of exactly 100", RQ, elite,
         Member(RQ, Strong, {{18, 35}, {2, 2}, {1, 10}, {1, 10}, {3, 5}, {1, 1}, {2, 5}, {20, 10, 2}}),
         "____________________,E,2H Sword,2D8+1D4,101,92,Wp,81,J,5+3,7,93,99,7,J3883J3,18,3,8,8,3,18,3,2D8,+1D4"},
        {"missile of exactly 15 is kept", RQ, poor,
         Member(RQ, Example, {{30, 100}, {1, 6}, {1, 15}, {1, 3}, {1, 10}, {1, 10}, {1, 1}, {5, 5}, {14, 10, 2}}),
         "____________________,P,Broadsword,1D8+1+1D4,29,34,Sh,15,K,6+2,17,28,27,0,CBDEA9F,12,11,13,14,10,9,15,1D8+1,+1D4"},
        {"missile of 14 is dropped", RQ, poor,
         Member(RQ, Example, {{30, 100}, {1, 6}, {1, 15}, {1, 3}, {1, 10}, {1, 10}, {1, 1}, {5, 5}, {15, 10, 2}}),
         "____________________,P,Broadsword,1D8+1+1D4,29,34,Sh,0,,6+2,17,28,27,0,CBDEA9F,12,11,13,14,10,9,15,1D8+1,+1D4"},
        // Level P, 2H Spear, armour 0, gun and recon sixes, loss test 2, recon 2 - 4 floored.
        {"recon loss on a 2", Traveller, none,
         Member(Traveller, {5, 15, 10, 7, 14, 11}, {{9, 9}, {70, 100}, {1, 8}, {6, 6}, {5, 6}, {6, 6}, {2, 6}, {4, 4}}),
         "P,2H Spear,1D10+1,2,1,3,90,0,0,5FA7EB,5,15,10,7,14,11"},
        {"recon loss on a 1", Traveller, rifle,
         Member(Traveller, {7, 7, 7, 7, 7, 7}, {{5, 10}, {1, 6}, {6, 6}, {6, 6}, {1, 6}, {3, 4}}),
         "G,Rifle,3D6,3,4,2,63,1,5,777777,7,7,7,7,7,7"},
        {"no recon loss on a 3", Traveller, rifle,
         Member(Traveller, {7, 7, 7, 7, 7, 7}, {{5, 10}, {1, 6}, {6, 6}, {6, 6}, {3, 6}}),
         "G,Rifle,3D6,3,4,2,63,4,5,777777,7,7,7,7,7,7"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        auto s = NewSettings();
        LoadSmallTable(*s);
        s->HowMany = 1;
        s->AbilityLevel = c.choice.level, s->ForcedWeapon = c.choice.weapon, s->WeaponDamage = c.choice.damage;
        s->WeaponRank = c.choice.rank, s->ShieldChoice = c.choice.shield, s->MissileOdds = c.choice.odds;
        ScriptedDice dice(c.script);
        ASSERT_TRUE(GenerateRabble(c.system, *s, dice).ok());
        EXPECT_EQ(dice.remaining(), 0u);
        EXPECT_FALSE(dice.exhausted());
        EXPECT_EQ(s->GeneratedSystem, c.system);
        EXPECT_EQ(s->CurMember, 2);
        EXPECT_EQ(ComposeCsv(c.system, *s).split('\n').value(1), QByteArray("1,") + c.row + "\r");
    }
}

// Every edge of the strike-rank parts (DEX and SIZ: 1-9, 10-15, 16-19, other) and of the damage
// bonus (STR + SIZ: 1-12, 13-24, 25-32, 33-40, 41-56, other), each side of it, taken from the
// rules' tables. Values past what the dice reach (SIZ 19 and 20, STR 20 and more) are scripted
// with faces no real die shows; the edge at 0/1 cannot be reached even so, as every die shows
// at least 1. Only the characteristics are scripted: the rolls after them do not matter here.
TEST(Generators, StrikeRankAndDamageBonusAtEveryBandEdge)
{
    const struct { int str, siz, dex; const char16_t *strikeRank, *damage; } cases[] = {
        {10, 12, 9, u"6+1", u"1D6"},  {10, 12, 10, u"5+1", u"1D6"}, {10, 12, 15, u"5+1", u"1D6"},
        {10, 12, 16, u"4+1", u"1D6"}, {10, 12, 19, u"4+1", u"1D6"}, {10, 12, 20, u"3+1", u"1D6"},
        {8, 9, 12, u"6+1", u"1D6"},   {8, 10, 12, u"5+1", u"1D6"},  {8, 15, 12, u"5+1", u"1D6"},
        {8, 16, 12, u"4+1", u"1D6"},  {8, 19, 12, u"4+1", u"1D6+1D4"},
        {8, 20, 12, u"3+1", u"1D6+1D4"},
        {4, 8, 12, u"6+1", u"1D6-1D4"},   {5, 8, 12, u"6+1", u"1D6"},
        {12, 12, 12, u"5+1", u"1D6"},     {13, 12, 12, u"5+1", u"1D6+1D4"},
        {20, 12, 12, u"5+1", u"1D6+1D4"}, {21, 12, 12, u"5+1", u"1D6+1D6"},
        {28, 12, 12, u"5+1", u"1D6+1D6"}, {29, 12, 12, u"5+1", u"1D6+2D6"},
        {44, 12, 12, u"5+1", u"1D6+2D6"}, {45, 12, 12, u"5+1", u"1D6"},
    };
    auto s = NewSettings();
    s->HowMany = 1, s->AbilityLevel = u"G", s->ForcedWeapon = u"Spear", s->WeaponDamage = u"1D6", s->WeaponRank = 1;
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "STR " << c.str << " SIZ " << c.siz << " DEX " << c.dex);
        ScriptedDice dice(Member(RQ, {c.str, 10, c.siz, 10, 10, c.dex, 10}, {}));
        ASSERT_TRUE(GenerateRQRabble(*s, dice).ok());
        EXPECT_EQ(s->Members[1].StrikeRank.toString(), QStringView(c.strikeRank));
        EXPECT_EQ(s->Members[1].Damage.toString().trimmed(), QStringView(c.damage));
    }
}

// Too many is refused before a die is thrown or a record touched; a blank weapon row (roll 58
// draws it every time) raises its notice once per generation.
TEST(Generators, RefusalAndBlankWeaponNotice)
{
    for (GameSystem system : {RQ, Traveller}) {
        SCOPED_TRACE(int(system));
        auto s = NewSettings();
        s->Weapons[1] = {u"", 1, 100, u"1D3", 0};
        s->WeaponCount = 1, s->Members[1].Weapon = u"Kept", s->HowMany = 1001;
        ScriptedDice none({});
        EXPECT_EQ(GenerateRabble(system, *s, none).subject(), RequestField::Count);
        EXPECT_FALSE(none.exhausted());
        EXPECT_EQ(s->Members[1].Weapon.toString(), QStringLiteral("Kept      "));
        EXPECT_EQ(s->GeneratedSystem, GameSystem::None);

        s->HowMany = 50;
        test::CollectingSink sink;
        ScriptedDice dice({}, ScriptedDice::Face(58, 100));
        ASSERT_TRUE(GenerateRabble(system, *s, dice, &sink).ok());
        EXPECT_EQ(sink.messages, QStringList{u"58 "_qs});
        EXPECT_EQ(s->Members[50].Weapon.toString(), QString(10, u' '));
        EXPECT_TRUE(GenerateRabble(system, *s, dice, nullptr).ok());
    }
}

namespace {

// The characteristics a member's code holds, from its digits.
std::vector<int> Characteristics(const RabbleMember &m, int count)
{
    const QStringView digits = u"123456789ABCDEFGHJKLMNPQRSTVWXYZ";
    std::vector<int> values;
    for (int i = 0; i < count; ++i)
        values.push_back(int(digits.indexOf(m.Code[i])) + 1);
    return values;
}

struct LevelRange { char16_t level; int low, high; };

bool Within(const LevelRange (&ranges)[5], QChar level, int value)
{
    for (const LevelRange &range : ranges) {
        if (range.level == level)
            return value >= range.low && value <= range.high;
    }
    return false;
}

} // namespace

// The rules, checked on every member of rabbles of 1000 over many seeds and every choice of
// shield and missile odds, against the values the code holds: a golden file made by a wrong
// generator would still fail here.
TEST(Generators, EveryMemberKeepsTheRulesOverManySeeds)
{
    constexpr LevelRange RQBase[] = {{u'E', 65, 99}, {u'B', 60, 64}, {u'G', 55, 59}, {u'F', 45, 54}, {u'P', 30, 44}};
    constexpr LevelRange RQArmour[] = {{u'E', 6, 7}, {u'B', 5, 6}, {u'G', 4, 5}, {u'F', 2, 4}, {u'P', 0, 2}};
    constexpr LevelRange TravellerSkill[] = {{u'E', 5, 6}, {u'B', 4, 5}, {u'G', 3, 4}, {u'F', 2, 3}, {u'P', 1, 2}};
    constexpr LevelRange TravellerArmour[] = {{u'E', 15, 24}, {u'B', 2, 12}, {u'G', 1, 10}, {u'F', 1, 8}, {u'P', 0, 7}};
    const auto bands = [](int value, std::initializer_list<std::pair<int, int>> rows, int other) {
        for (const auto &[last, result] : rows) {
            if (value <= last)
                return result;
        }
        return other;
    };
    for (quint64 seed = 1; seed <= 24; ++seed) {
        const GameSystem system = seed % 2 ? RQ : Traveller;
        const char16_t shield = u"*YN"[seed % 3];
        const qint16 odds = qint16(seed % 5);
        SCOPED_TRACE(testing::Message() << "seed " << seed << ", shield " << char(shield) << ", missile 1 in " << odds);
        auto s = NewSettings();
        ASSERT_TRUE(LoadWeaponTable(*s, test::SourceTable(system == RQ ? u"tk-wp-rq1.dat"_qs : u"tk-wp-tr1.dat"_qs)).ok());
        s->HowMany = MaxMembers;
        s->ShieldChoice = QStringView(&shield, 1);
        s->MissileOdds = odds;
        Dice dice(seed);
        ASSERT_TRUE(GenerateRabble(system, *s, dice).ok());
        for (int n = 1; n <= MaxMembers; ++n) {
            const RabbleMember &m = s->Members[n];
            const QChar level = m.Level.first();
            const WeaponRow *row = nullptr;
            for (int r = 1; r <= s->WeaponCount; ++r)
                row = s->Weapons[r].Name == m.Weapon ? &s->Weapons[r] : row;
            ASSERT_NE(row, nullptr) << n;
            const QString damage = row->Damage.trimmed().toString();
            if (system == Traveller) {
                const auto c = Characteristics(m, 6);
                EXPECT_TRUE(std::all_of(c.begin(), c.end(), [](int v) { return v >= 5 && v <= 15; })) << n;
                EXPECT_EQ(m.Code[6], u' ');
                EXPECT_EQ(m.HitPoints, 3 * (c[0] + c[1] + c[2])) << n;
                EXPECT_TRUE(Within(TravellerSkill, level, m.Attack) && Within(TravellerSkill, level, m.Parry)) << n;
                // Recon is a skill roll, less 1D4 on a 1 or 2 of 1D6, never below 0.
                const int base = std::find_if(std::begin(TravellerSkill), std::end(TravellerSkill),
                                              [&](const LevelRange &r) { return r.level == level; })->low;
                EXPECT_TRUE(m.Scan >= std::max(0, base - 4) && m.Scan <= base + 1) << n;
                EXPECT_TRUE(Within(TravellerArmour, level, m.Armour)) << n;
                EXPECT_EQ(m.Damage.trimmed(), damage) << n;
                EXPECT_EQ(m.StrikeRank.trimmed(), QString::number(row->Rank)) << n;
                continue;
            }
            const auto c = Characteristics(m, 7);   // STR CON SIZ INT POW DEX APP
            for (int i = 0; i < 7; ++i)
                EXPECT_TRUE(c[i] >= (i == 2 || i == 3 ? 8 : 3) && c[i] <= 18) << n << " characteristic " << i;
            const int str = c[0], con = c[1], siz = c[2], intel = c[3], dex = c[5];
            EXPECT_EQ(m.HitPoints, con + siz / 2) << n;
            const int base = bands(dex, {{9, 4}, {15, 3}, {19, 2}}, 1) + bands(siz, {{9, 3}, {15, 2}, {19, 1}}, 0);
            EXPECT_EQ(m.StrikeRank.trimmed(), QString::number(base) + u'+' + QString::number(row->Rank)) << n;
            const char16_t *bonus = str + siz <= 12 ? u"-1D4" : str + siz <= 24 ? u"" : str + siz <= 32 ? u"+1D4"
                                    : str + siz <= 40 ? u"+1D6" : u"+2D6";
            EXPECT_EQ(m.Damage.trimmed(), damage + QString::fromUtf16(bonus)) << n;
            const int strength = int(std::floor((str - 10) / 2.0));
            const int skill = m.Attack - (strength + dex - con);
            EXPECT_TRUE(Within(RQBase, level, skill)) << n << " skill " << skill;
            EXPECT_EQ(m.Parry, skill + strength + dex - 10 + intel - 10) << n;
            EXPECT_TRUE(Within(RQArmour, level, m.Armour)) << n;
            const bool twoHanded = m.Weapon.view().startsWith(u"2H");
            const QStringView parry = twoHanded || shield == u'N' ? u"Wp" : shield == u'Y' ? u"Sh" : m.ParryWith.view();
            EXPECT_EQ(m.ParryWith, parry) << n;
            // Scan is Attack less 1D10, Listen Scan (before its cap) less 1D10; above 99 each is 91 to 95.
            const auto capped = [](int value) { return value >= 91 && value <= 95; };
            EXPECT_TRUE((m.Scan >= m.Attack - 10 && m.Scan <= std::min(m.Attack - 1, 99)) || (m.Attack > 100 && capped(m.Scan))) << n;
            EXPECT_TRUE((m.Listen >= m.Attack - 20 && m.Listen <= std::min(m.Attack - 2, 99)) || (m.Attack > 101 && capped(m.Listen))) << n;
            if (m.MissileType.first() == u' ') {
                EXPECT_EQ(m.Missile, 0) << n;
            } else {
                EXPECT_NE(odds, 0) << n;
                EXPECT_TRUE(QStringView(u"BJASK").contains(m.MissileType.first())) << n;
                EXPECT_TRUE(m.Missile >= 15 && m.Missile >= m.Attack - 20 && m.Missile <= m.Attack - 2) << n;
            }
        }
    }
}
