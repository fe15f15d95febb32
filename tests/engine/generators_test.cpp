#include "core/messagesink.h"
#include "generate/generators.h"
#include "tests/support/scripteddice.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace throngkit;
using throngkit::test::NewSettings;
using throngkit::test::Roll;
using throngkit::test::Script;
using throngkit::test::ScriptedDice;

namespace {

void LoadSmallTable(Settings &s)
{
    s.Weapons[1] = {u"Broadsword", 1, 60, u"1D8+1", 2};
    s.Weapons[2] = {u"2H Spear", 61, 90, u"1D10+1", 3};
    s.Weapons[3] = {u"Sling", 91, 100, u"1D6", 1};
    s.WeaponCount = 3;
}

// The throws of one member's characteristics, in heading order, as the values they must give:
// RuneQuest rolls SIZ and INT as 2D6 + 6 and the rest as 3D6, Traveller every one as 2D6 + 3.
std::vector<Roll> Characteristics(GameSystem system, std::initializer_list<int> values)
{
    std::vector<Roll> rolls;
    int slot = 1;
    for (int v : values) {
        if (system == GameSystem::Traveller)
            rolls.push_back({v - 3, 6, 2});
        else
            rolls.push_back(slot == 3 || slot == 4 ? Roll{v - 6, 6, 2} : Roll{v, 6, 3});
        ++slot;
    }
    return rolls;
}

std::deque<double> Member(GameSystem system, std::initializer_list<int> characteristics,
                          std::initializer_list<Roll> rest)
{
    std::deque<double> values;
    for (const Roll &roll : Characteristics(system, characteristics))
        for (double r : Script({roll}))
            values.push_back(r);
    for (double r : Script(rest))
        values.push_back(r);
    return values;
}

constexpr auto RQ = GameSystem::RuneQuest;
constexpr auto Traveller = GameSystem::Traveller;

// STR 12, CON 11, SIZ 13, INT 14, POW 10, DEX 9, APP 15: the worked example of the rules.
const std::initializer_list<int> Example = {12, 11, 13, 14, 10, 9, 15};

class CountingSink : public MessageSink
{
public:
    void showMessage(const QString &text) override { texts.push_back(text); }
    std::vector<QString> texts;
};

} // namespace

// Whole members pinned die by die, every throw scripted: the worked example, the caps with an
// elite fighter and a forced two-handed weapon, the missile kept at exactly 15 and lost at 14,
// and the Traveller order of throws with the recon loss on a 1 or 2 only and its floor at 0.
TEST(Generators, ScriptedMembersFollowTheRollOrder)
{
    struct Case {
        const char *name;
        GameSystem system;
        std::function<void(Settings &)> setup;
        std::deque<double> script;
        const char16_t *code, *level, *weapon, *damage, *strikeRank, *parryWith, *missileType;
        int hp, attack, parry, armour, scan, listen, missile;
    };
    const auto eliteForced2H = [](Settings &s) {
        s.AbilityLevel = u"E"; s.ForcedWeapon = u"2H Sword"; s.WeaponDamage = u"2D8";
        s.WeaponRank = 3; s.ShieldChoice = u"Y"; s.MissileOdds = 1;
    };
    const auto poorWithMissiles = [](Settings &s) { s.AbilityLevel = u"P"; s.MissileOdds = 1; };
    const auto goodWithRifle = [](Settings &s) {
        s.AbilityLevel = u"G"; s.ForcedWeapon = u"Rifle"; s.WeaponDamage = u"3D6"; s.WeaponRank = 2;
    };
    const Case cases[] = {
        // Level G, Broadsword, shield lost on a 6, skill 57, armour 5, Scan 56 - 4, Listen
        // 52 - 7, missile die 1, letter A, missile 57 - 1 - 11.
        {"worked example", RQ, [](Settings &) {},
         Member(RQ, Example, {{4, 9}, {30, 100}, {6, 6}, {3, 5}, {2, 2}, {4, 10}, {7, 10},
                              {1, 4}, {3, 5}, {11, 10, 2}}),
         u"CBDEA9F", u"G", u"Broadsword", u"1D8+1+1D4 ", u"6+2", u"Wp", u"A",
         17, 56, 61, 5, 52, 45, 45},
        {"worked example, never a missile", RQ,
         [](Settings &s) { s.MissileOdds = 0; s.ShieldChoice = u"N"; s.AbilityLevel = u"G"; },
         Member(RQ, Example, {{95, 100}, {3, 5}, {2, 2}, {4, 10}, {7, 10}}),
         u"CBDEA9F", u"G", u"Sling     ", u"1D6+1D4   ", u"6+1", u"Wp", u" ",
         17, 56, 61, 5, 52, 45, 0},
        // Attack 111: Scan 110 and Listen of exactly 100 (from the uncapped Scan) are capped.
        {"elite caps, forced 2H", RQ, eliteForced2H,
         Member(RQ, {18, 3, 8, 8, 3, 18, 3}, {{28, 35}, {1, 2}, {1, 10}, {10, 10}, {2, 5}, {5, 5},
                                             {1, 1}, {1, 5}, {20, 10, 2}}),
         u"J3883J3", u"E", u"2H Sword  ", u"2D8+1D4   ", u"5+3", u"Wp", u"B",
         7, 111, 102, 6, 92, 95, 91},
        // Attack 100 gives a Scan of 99 and Listen 98, neither capped.
        {"elite, Scan of 99", RQ, eliteForced2H,
         Member(RQ, {18, 3, 8, 8, 3, 18, 3}, {{17, 35}, {2, 2}, {1, 10}, {1, 10},
                                             {1, 1}, {3, 5}, {20, 10, 2}}),
         u"J3883J3", u"E", u"2H Sword  ", u"2D8+1D4   ", u"5+3", u"Wp", u"A",
         7, 100, 91, 7, 99, 98, 80},
        // Attack 101: a Scan of exactly 100 is capped; Listen 99 is not.
        {"elite, Scan of exactly 100", RQ, eliteForced2H,
         Member(RQ, {18, 3, 8, 8, 3, 18, 3}, {{18, 35}, {2, 2}, {1, 10}, {1, 10}, {3, 5},
                                             {1, 1}, {2, 5}, {20, 10, 2}}),
         u"J3883J3", u"E", u"2H Sword  ", u"2D8+1D4   ", u"5+3", u"Wp", u"J",
         7, 101, 92, 7, 93, 99, 81},
        {"missile of exactly 15 is kept", RQ, poorWithMissiles,
         Member(RQ, Example, {{30, 100}, {1, 6}, {1, 15}, {1, 3}, {1, 10}, {1, 10},
                              {1, 1}, {5, 5}, {14, 10, 2}}),
         u"CBDEA9F", u"P", u"Broadsword", u"1D8+1+1D4 ", u"6+2", u"Sh", u"K",
         17, 29, 34, 0, 28, 27, 15},
        {"missile of 14 is dropped", RQ, poorWithMissiles,
         Member(RQ, Example, {{30, 100}, {1, 6}, {1, 15}, {1, 3}, {1, 10}, {1, 10},
                              {1, 1}, {5, 5}, {15, 10, 2}}),
         u"CBDEA9F", u"P", u"Broadsword", u"1D8+1+1D4 ", u"6+2", u"Sh", u" ",
         17, 29, 34, 0, 28, 27, 0},
        // Level P, 2H Spear, armour 0, gun and recon sixes, loss test 2, recon 2 - 4 floored.
        {"traveller, recon loss on a 2", Traveller, [](Settings &) {},
         Member(Traveller, {5, 15, 10, 7, 14, 11}, {{9, 9}, {70, 100}, {1, 8}, {6, 6}, {5, 6},
                                                    {6, 6}, {2, 6}, {4, 4}}),
         u"5FA7EB ", u"P", u"2H Spear  ", u"1D10+1    ", u"3  ", nullptr, nullptr,
         90, 2, 1, 0, 0, 0, 0},
        {"traveller, recon loss on a 1", Traveller, goodWithRifle,
         Member(Traveller, {7, 7, 7, 7, 7, 7}, {{5, 10}, {1, 6}, {6, 6}, {6, 6}, {1, 6}, {3, 4}}),
         u"777777 ", u"G", u"Rifle     ", u"3D6       ", u"2  ", nullptr, nullptr,
         63, 3, 4, 5, 1, 0, 0},
        {"traveller, no recon loss on a 3", Traveller, goodWithRifle,
         Member(Traveller, {7, 7, 7, 7, 7, 7}, {{5, 10}, {1, 6}, {6, 6}, {6, 6}, {3, 6}}),
         u"777777 ", u"G", u"Rifle     ", u"3D6       ", u"2  ", nullptr, nullptr,
         63, 3, 4, 5, 4, 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        auto s = NewSettings();
        LoadSmallTable(*s);
        s->HowMany = 1;
        c.setup(*s);
        ScriptedDice dice(c.script);
        ASSERT_TRUE(GenerateRabble(c.system, *s, dice).ok());
        EXPECT_FALSE(dice.exhausted());
        EXPECT_EQ(dice.remaining(), 0u);
        EXPECT_EQ(s->GeneratedSystem, c.system);
        EXPECT_EQ(s->CurMember, 2);

        const RabbleMember &m = s->Members[1];
        EXPECT_EQ(m.Code.toString(), QStringView(c.code));
        EXPECT_EQ(m.Level.toString(), QStringView(c.level));
        EXPECT_EQ(m.Weapon.toString(), QStringView(c.weapon));
        EXPECT_EQ(m.Damage.toString(), QStringView(c.damage));
        EXPECT_EQ(m.StrikeRank.toString(), QStringView(c.strikeRank));
        EXPECT_EQ(m.HitPoints, c.hp);
        EXPECT_EQ(m.Attack, c.attack);
        EXPECT_EQ(m.Parry, c.parry);
        EXPECT_EQ(m.Armour, c.armour);
        EXPECT_EQ(m.Scan, c.scan);
        if (c.system == RQ) {
            EXPECT_EQ(m.Name.toString(), QString(20, u'_'));
            EXPECT_EQ(m.ParryWith.toString(), QStringView(c.parryWith));
            EXPECT_EQ(m.MissileType.toString(), QStringView(c.missileType));
            EXPECT_EQ(m.Listen, c.listen);
            EXPECT_EQ(m.Missile, c.missile);
        }
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
    s->HowMany = 1;
    s->AbilityLevel = u"G";
    s->ForcedWeapon = u"Spear";
    s->WeaponDamage = u"1D6";
    s->WeaponRank = 1;
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "STR " << c.str << " SIZ " << c.siz << " DEX " << c.dex);
        ScriptedDice dice(Member(RQ, {c.str, 10, c.siz, 10, 10, c.dex, 10}, {}));
        ASSERT_TRUE(GenerateRQRabble(*s, dice).ok());
        EXPECT_EQ(s->Members[1].StrikeRank.toString(), QStringView(c.strikeRank));
        EXPECT_EQ(s->Members[1].Damage.toString().trimmed(), QStringView(c.damage));
    }
}

TEST(Generators, HowManyAboveCapacityIsRefusedUntouched)
{
    for (GameSystem system : {RQ, Traveller}) {
        auto s = NewSettings();
        LoadSmallTable(*s);
        s->Members[1].Weapon = u"Kept";
        s->CurMember = 5;
        s->HowMany = 1001;
        ScriptedDice dice({});
        const Outcome made = GenerateRabble(system, *s, dice);
        EXPECT_FALSE(made.ok());
        EXPECT_EQ(made.reason(), QStringLiteral("\"How many?\" must be at most 1000."));
        EXPECT_FALSE(dice.exhausted());
        EXPECT_EQ(s->Members[1].Weapon.toString(), QStringLiteral("Kept      "));
        EXPECT_EQ(s->CurMember, 5);
        EXPECT_EQ(s->GeneratedSystem, GameSystem::None);
    }
}

// Every draw of the blank row (roll 58) would raise the notice; a generation raises it once.
TEST(Generators, BlankWeaponNoticeComesOncePerGeneration)
{
    auto s = NewSettings();
    s->Weapons[1] = {u"", 1, 100, u"1D3", 0};
    s->WeaponCount = 1;
    s->HowMany = 50;
    for (GameSystem system : {RQ, Traveller}) {
        CountingSink sink;
        ScriptedDice dice({}, ScriptedDice::Face(58, 100));
        ASSERT_TRUE(GenerateRabble(system, *s, dice, &sink).ok());
        EXPECT_EQ(sink.texts, std::vector<QString>{QStringLiteral("58 ")});
        EXPECT_EQ(s->Members[50].Weapon.toString(), QString(10, u' '));
        EXPECT_TRUE(GenerateRabble(system, *s, dice, nullptr).ok());
    }
}
