#include "core/messagesink.h"
#include "generate/generators.h"
#include "tests/support/scripteddice.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <set>
#include <vector>

using namespace throngkit;
using throngkit::test::NewSettings;
using throngkit::test::ScriptedDice;

namespace {

const QString Alphabet = QStringLiteral("123456789ABCDEFGHJKLMNPQRSTVWXYZ");

void LoadSmallTable(Settings &s)
{
    s.Weapons[1] = {u"Broadsword", 1, 60, u"1D8+1", 2};
    s.Weapons[2] = {u"2H Spear", 61, 90, u"1D10+1", 3};
    s.Weapons[3] = {u"Sling", 91, 100, u"1D6", 1};
    s.WeaponCount = 3;
}

struct Roll { int face, sides; };

std::deque<double> Script(std::initializer_list<Roll> rolls)
{
    std::deque<double> values;
    for (const Roll &r : rolls)
        values.push_back(ScriptedDice::Face(r.face, r.sides));
    return values;
}

std::vector<int> Decode(const RabbleMember &m, int count)
{
    std::vector<int> values;
    for (int j = 0; j < count; ++j)
        values.push_back(int(Alphabet.indexOf(m.Code[j])) + 1);
    return values;
}

class CountingSink : public MessageSink
{
public:
    void showMessage(const QString &text) override { texts.push_back(text); }
    std::vector<QString> texts;
};

} // namespace

// Whole members pinned die by die: the worked example, the caps with an elite fighter and a
// forced two-handed weapon, and the Traveller order of throws with the recon floor.
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
    const Case cases[] = {
        {"worked example", GameSystem::RuneQuest, [](Settings &) {},
         Script({{4, 6}, {4, 6}, {4, 6}, {4, 6}, {4, 6}, {3, 6}, {3, 6}, {4, 6}, {4, 6}, {4, 6},
                 {3, 6}, {3, 6}, {4, 6}, {3, 6}, {3, 6}, {3, 6}, {5, 6}, {5, 6}, {5, 6},
                 {4, 9}, {30, 100}, {6, 6}, {3, 5}, {2, 2}, {4, 10}, {7, 10},
                 {1, 4}, {3, 5}, {5, 10}, {6, 10}}),
         u"CBDEA9F", u"G", u"Broadsword", u"1D8+1+1D4 ", u"6+2", u"Wp", u"A",
         17, 56, 61, 5, 52, 45, 45},
        {"worked example, never a missile", GameSystem::RuneQuest,
         [](Settings &s) { s.MissileOdds = 0; s.ShieldChoice = u"N"; s.AbilityLevel = u"G"; },
         Script({{4, 6}, {4, 6}, {4, 6}, {4, 6}, {4, 6}, {3, 6}, {3, 6}, {4, 6}, {4, 6}, {4, 6},
                 {3, 6}, {3, 6}, {4, 6}, {3, 6}, {3, 6}, {3, 6}, {5, 6}, {5, 6}, {5, 6},
                 {95, 100}, {3, 5}, {2, 2}, {4, 10}, {7, 10}}),
         u"CBDEA9F", u"G", u"Sling     ", u"1D6+1D4   ", u"6+1", u"Wp", u" ",
         17, 56, 61, 5, 52, 45, 0},
        {"elite caps, forced 2H", GameSystem::RuneQuest,
         [](Settings &s) {
             s.AbilityLevel = u"E"; s.ForcedWeapon = u"2H Sword"; s.WeaponDamage = u"2D8";
             s.WeaponRank = 3; s.ShieldChoice = u"Y"; s.MissileOdds = 1;
         },
         Script({{6, 6}, {6, 6}, {6, 6}, {1, 6}, {1, 6}, {1, 6}, {1, 6}, {1, 6}, {1, 6}, {1, 6},
                 {1, 6}, {1, 6}, {1, 6}, {6, 6}, {6, 6}, {6, 6}, {1, 6}, {1, 6}, {1, 6},
                 {35, 35}, {1, 2}, {1, 10}, {1, 10}, {2, 5}, {5, 5},
                 {1, 1}, {1, 5}, {10, 10}, {10, 10}}),
         u"J3883J3", u"E", u"2H Sword  ", u"2D8+1D4   ", u"5+3", u"Wp", u"B",
         7, 118, 109, 6, 92, 95, 98},
        {"traveller", GameSystem::Traveller, [](Settings &) {},
         Script({{1, 6}, {1, 6}, {6, 6}, {6, 6}, {3, 6}, {4, 6}, {2, 6}, {2, 6}, {5, 6}, {6, 6},
                 {4, 6}, {4, 6}, {9, 9}, {70, 100}, {1, 8}, {6, 6}, {5, 6}, {6, 6}, {2, 6},
                 {4, 4}}),
         u"5FA7EB ", u"P", u"2H Spear  ", u"1D10+1    ", u"3  ", nullptr, nullptr,
         90, 2, 1, 0, 0, 0, 0},
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
        if (c.system == GameSystem::RuneQuest) {
            EXPECT_EQ(m.Name.toString(), QString(20, u'_'));
            EXPECT_EQ(m.ParryWith.toString(), QStringView(c.parryWith));
            EXPECT_EQ(m.MissileType.toString(), QStringView(c.missileType));
            EXPECT_EQ(m.Listen, c.listen);
            EXPECT_EQ(m.Missile, c.missile);
        }
    }
}

// Every member of many seeded rabbles obeys the derivations, under each kind of setting.
TEST(Generators, SeededRQRabblesKeepTheirRules)
{
    struct Level { char16_t letter; int low, high, armourLow, armourHigh; };
    const Level levels[] = {{u'E', 65, 99, 6, 7}, {u'B', 60, 64, 5, 6}, {u'G', 55, 59, 4, 5},
                            {u'F', 45, 54, 2, 4}, {u'P', 30, 44, 0, 2}};
    struct Case { const char *name; std::function<void(Settings &)> setup; };
    const Case cases[] = {
        {"defaults", [](Settings &) {}},
        {"forced level P", [](Settings &s) { s.AbilityLevel = u"P"; }},
        {"elite, missile odds 1", [](Settings &s) { s.AbilityLevel = u"E"; s.MissileOdds = 1; }},
        {"missile odds 0", [](Settings &s) { s.MissileOdds = 0; }},
        {"forced 2H, shield Y", [](Settings &s) {
             s.ForcedWeapon = u"2H Axe"; s.WeaponDamage = u"3D6"; s.WeaponRank = 1;
             s.ShieldChoice = u"Y"; }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        auto s = NewSettings();
        LoadSmallTable(*s);
        s->HowMany = 1000;
        c.setup(*s);
        std::set<QString> seen, weapons;
        for (quint64 seed = 1; seed <= 3; ++seed) {
            Dice dice(seed);
            ASSERT_TRUE(GenerateRQRabble(*s, dice).ok());
            for (int i = 1; i <= 1000; ++i) {
                const RabbleMember &m = s->Members[i];
                SCOPED_TRACE(i);
                const auto v = Decode(m, 7);
                const int str = v[0], con = v[1], siz = v[2], intel = v[3], dex = v[5];
                for (int j = 0; j < 7; ++j) {
                    EXPECT_GE(v[j], j == 2 || j == 3 ? 8 : 3);
                    EXPECT_LE(v[j], 18);
                }
                EXPECT_EQ(m.HitPoints, int(std::floor(con + siz / 2.0)));
                const int strengthPart = int(std::floor((str - 10) / 2.0));
                const int skillBase = m.Attack - (strengthPart + dex - con);
                EXPECT_EQ(m.Parry, skillBase + strengthPart + dex + intel - 20);

                const Level *level = nullptr;
                for (const Level &l : levels)
                    if (m.Level.first() == l.letter)
                        level = &l;
                ASSERT_NE(level, nullptr);
                if (s->AbilityLevel.first() != u'*') {
                    EXPECT_EQ(m.Level.first(), s->AbilityLevel.first());
                }
                EXPECT_GE(skillBase, level->low);
                EXPECT_LE(skillBase, level->high);
                EXPECT_GE(m.Armour, level->armourLow);
                EXPECT_LE(m.Armour, level->armourHigh);

                const bool twoHanded = m.Weapon.view().startsWith(u"2H");
                if (twoHanded || s->ShieldChoice.first() == u'N') {
                    EXPECT_EQ(m.ParryWith.toString(), QStringLiteral("Wp"));
                } else if (s->ShieldChoice.first() == u'Y') {
                    EXPECT_EQ(m.ParryWith.toString(), QStringLiteral("Sh"));
                }

                // Scan is Attack less 1D10, capped to 91..95 above 99.
                if (m.Attack - 1 <= 99) {
                    EXPECT_TRUE(m.Scan <= m.Attack - 1 && m.Scan >= m.Attack - 10) << m.Scan;
                }
                if (m.Attack - 10 > 99) {
                    EXPECT_TRUE(m.Scan >= 91 && m.Scan <= 95) << m.Scan;
                }
                EXPECT_LE(m.Scan, 99);
                EXPECT_LE(m.Listen, 99);

                if (m.MissileType.first() == u' ') {
                    EXPECT_EQ(m.Missile, 0);
                    // Missile is Attack less 2D10, so a fighter sure to reach 15 keeps one.
                    if (s->MissileOdds == 1) {
                        EXPECT_LT(m.Attack - 20, 15);
                    }
                } else {
                    EXPECT_NE(s->MissileOdds, 0);
                    EXPECT_TRUE(QStringLiteral("BJASK").contains(m.MissileType.first()));
                    EXPECT_GE(m.Missile, 15);
                    EXPECT_GE(m.Missile, m.Attack - 20);
                    EXPECT_LE(m.Missile, m.Attack - 2);
                }
                seen.insert(m.Level.toString() + m.ParryWith.toString());
                weapons.insert(m.Weapon.toString());
            }
        }
        if (s->AbilityLevel.first() == u'*' && s->ShieldChoice.first() == u'*') {
            EXPECT_EQ(seen.size(), 10u);   // every level, with shield and without
        }
        EXPECT_EQ(weapons.size(), s->ForcedWeapon.first() == u'*' ? 3u : 1u);
    }
}

TEST(Generators, SeededTravellerRabblesKeepTheirRules)
{
    const std::pair<char16_t, std::pair<int, int>> armour[] = {
        {u'E', {15, 24}}, {u'B', {2, 12}}, {u'G', {1, 10}}, {u'F', {1, 8}}, {u'P', {0, 7}}};
    const QString bases = QStringLiteral("PFGBE");
    for (const char16_t *forced : {u"*", u"G", u"P"}) {
        SCOPED_TRACE(QString::fromUtf16(forced).toStdString());
        auto s = NewSettings();
        LoadSmallTable(*s);
        s->HowMany = 1000;
        s->AbilityLevel = forced;
        Dice dice(42);
        ASSERT_TRUE(GenerateTravellerRabble(*s, dice).ok());
        int reconZeros = 0;
        for (int i = 1; i <= 1000; ++i) {
            const RabbleMember &m = s->Members[i];
            const auto v = Decode(m, 6);
            for (int x : v) {
                EXPECT_GE(x, 5);
                EXPECT_LE(x, 15);
            }
            EXPECT_EQ(m.Code[6], u' ');
            EXPECT_EQ(m.HitPoints, 3 * (v[0] + v[1] + v[2]));
            const int base = int(bases.indexOf(m.Level.first())) + 1;
            ASSERT_GE(base, 1);
            if (*forced != u'*') {
                EXPECT_EQ(m.Level.first(), QChar(*forced));
            }
            for (const auto &[letter, range] : armour) {
                if (letter == m.Level.first()) {
                    EXPECT_GE(m.Armour, range.first);
                    EXPECT_LE(m.Armour, range.second);
                }
            }
            EXPECT_TRUE(m.Attack == base || m.Attack == base + 1);
            EXPECT_TRUE(m.Parry == base || m.Parry == base + 1);
            EXPECT_GE(m.Scan, 0);
            EXPECT_LE(m.Scan, base + 1);
            EXPECT_GE(m.Scan, std::max(0, base - 4));
            reconZeros += m.Scan == 0;
            const int row = m.Weapon.view().startsWith(u"Broad") ? 1 : m.Weapon.view().startsWith(u"2H") ? 2 : 3;
            EXPECT_EQ(m.Damage.toString(), s->Weapons[row].Damage.toString() + QString(4, u' '));
            EXPECT_EQ(m.StrikeRank.toString(), QString::number(s->Weapons[row].Rank) + QStringLiteral("  "));
        }
        if (*forced == u'P') {
            EXPECT_GT(reconZeros, 0);   // losses below zero were floored, not wrapped
        }
    }
}

TEST(Generators, HowManyAboveCapacityIsRefusedUntouched)
{
    for (GameSystem system : {GameSystem::RuneQuest, GameSystem::Traveller}) {
        auto s = NewSettings();
        LoadSmallTable(*s);
        s->Members[1].Weapon = u"Kept";
        s->Members[1000].Attack = 77;
        s->CurMember = 5;
        s->HowMany = 1001;
        ScriptedDice dice({});
        const Outcome made = GenerateRabble(system, *s, dice);
        EXPECT_FALSE(made.ok());
        EXPECT_EQ(made.reason(), QStringLiteral("\"How many?\" must be at most 1000."));
        EXPECT_FALSE(dice.exhausted());
        EXPECT_EQ(s->Members[1].Weapon.toString(), QStringLiteral("Kept      "));
        EXPECT_EQ(s->Members[1000].Attack, 77);
        EXPECT_EQ(s->CurMember, 5);
        EXPECT_EQ(s->GeneratedSystem, GameSystem::None);

        // Only whole members up to HowMany are made; the rest stay as they were.
        s->HowMany = 0.5f;
        Dice seeded(7);
        EXPECT_TRUE(GenerateRabble(system, *s, seeded).ok());
        EXPECT_EQ(s->Members[1].Weapon.toString(), QStringLiteral("Kept      "));
        EXPECT_EQ(s->GeneratedSystem, system);
        s->HowMany = 999.7f;
        EXPECT_TRUE(GenerateRabble(system, *s, seeded).ok());
        EXPECT_NE(s->Members[1].Weapon.toString(), QStringLiteral("Kept      "));
        EXPECT_EQ(s->Members[1000].Attack, 77);
    }
}

TEST(Generators, BlankWeaponNoticeComesOncePerGeneration)
{
    auto s = NewSettings();
    s->Weapons[1] = {u"", 1, 100, u"1D3", 0};
    s->WeaponCount = 1;
    s->HowMany = 50;
    for (GameSystem system : {GameSystem::RuneQuest, GameSystem::Traveller}) {
        CountingSink sink;
        Dice dice(3);
        ASSERT_TRUE(GenerateRabble(system, *s, dice, &sink).ok());
        ASSERT_EQ(sink.texts.size(), 1u);
        EXPECT_TRUE(sink.texts[0].endsWith(u' '));
        EXPECT_GE(sink.texts[0].trimmed().toInt(), 1);
        EXPECT_TRUE(GenerateRabble(system, *s, dice, nullptr).ok());
    }
}
