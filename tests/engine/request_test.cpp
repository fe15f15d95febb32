// The request both fronts hand to the engine: what its check refuses and names, and what it
// writes into Settings for the generators.
#include "core/request.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace throngkit;

namespace {

// The settings after the choice: forced name and damage as their fields hold them, and the
// SR/PEN; a refused request names its field and changes nothing.
TEST(Request, CheckNamesTheFieldAndApplyWritesTheChoices)
{
    const auto forced = [](const char16_t *name, const char16_t *damage, const char16_t *rank) {
        RabbleRequest r;
        r.weapon = {true, QString::fromUtf16(name), QString::fromUtf16(damage), QString::fromUtf16(rank)};
        return r;
    };
    const auto with = [](auto change) {
        RabbleRequest r;
        change(r);
        return r;
    };
    const struct { const char *name; RabbleRequest request; const char16_t *result; } cases[] = {
        {"nothing forced: the table's draw, whatever the boxes hold",
         with([](RabbleRequest &r) { r.weapon = {false, u"Axe"_qs, u"1D8"_qs, u"99999"_qs}; }), u"10|*|*|4|*         |*     |2"},
        {"forced fields cut to their widths", forced(u"Greatclub of doom", u"2D6+1D4", u"0"), u"10|*|*|4|Greatclub |2D6+1D|0"},
        {"a half to even, as the loader rounds", forced(u"A", u"1", u"2.5"), u"10|*|*|4|A         |1     |2"},
        {"three and a half up", forced(u"A", u"1", u"3.5"), u"10|*|*|4|A         |1     |4"},
        {"an empty box reads 0", forced(u"A", u"", u""), u"10|*|*|4|A         |      |0"},
        {"a leading number is read", forced(u"A", u"1", u"12abc"), u"10|*|*|4|A         |1     |12"},
        {"the top bound", forced(u"A", u"1", u"32766.5"), u"10|*|*|4|A         |1     |32766"},
        {"the bottom bound", forced(u"A", u"1", u"-32768.5"), u"10|*|*|4|A         |1     |-32768"},
        {"past the top bound", forced(u"A", u"1", u"32767.5"), u"rank"},
        {"past the bottom bound", forced(u"A", u"1", u"-32769"), u"rank"},
        {"far past", forced(u"A", u"1", u"1E300"), u"rank"},
        {"a name that would turn the choice off", forced(u"*Club", u"1", u"2"), u"weapon"},
        {"every choice",
         with([](RabbleRequest &r) { r.howMany = 1000; r.abilityLevel = u'P'; r.shieldChoice = u'N'; r.missileOdds = 0; }),
         u"1000|P|N|0|*         |*     |2"},
        {"a fraction is kept for the generators to cut", with([](RabbleRequest &r) { r.howMany = 10.7f; }), u"10.7|*|*|4|*         |*     |2"},
        {"past the capacity", with([](RabbleRequest &r) { r.howMany = 1000.5f; }), u"count"},
        {"not a number", with([](RabbleRequest &r) { r.howMany = std::nanf(""); }), u"count"},
        {"no system", with([](RabbleRequest &r) { r.system = GameSystem::None; }), u"system"},
        {"an unknown level", with([](RabbleRequest &r) { r.abilityLevel = u'X'; }), u"level"},
        {"an unknown shield choice", with([](RabbleRequest &r) { r.shieldChoice = u'y'; }), u"shield"},
        {"missile odds past 9", with([](RabbleRequest &r) { r.missileOdds = 10; }), u"missile"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const auto settings = test::NewSettings();
        settings->ForcedWeapon = u"Before";
        const Outcome checked = CheckRequest(c.request);
        const Outcome applied = ApplyRequest(c.request, *settings);
        EXPECT_EQ(checked.subject(), applied.subject());
        EXPECT_EQ(checked.ok(), checked.subject().isEmpty());
        const QString made = QString::number(double(settings->HowMany)) + u'|' + settings->AbilityLevel.toString() + u'|'
                             + settings->ShieldChoice.toString() + u'|' + QString::number(settings->MissileOdds) + u'|'
                             + settings->ForcedWeapon.toString() + u'|' + settings->WeaponDamage.toString() + u'|'
                             + QString::number(settings->WeaponRank);
        EXPECT_EQ(applied ? made : applied.subject(), QString::fromUtf16(c.result));
        EXPECT_TRUE(applied || settings->ForcedWeapon == QStringView(u"Before    "));
    }
}

// Each front reads its words through the vocabularies and shows their entries; every code a
// vocabulary holds passes the check, and the words are found whatever their case.
TEST(Request, VocabulariesAgreeWithTheCheck)
{
    const struct { const char *name; std::span<const RequestChoice> choices; char16_t RabbleRequest::*field; const char *words; } lists[] = {
        {"levels", AbilityLevelChoices(), &RabbleRequest::abilityLevel, "random, E, B, G, F or P"},
        {"shields", ShieldChoices(), &RabbleRequest::shieldChoice, "random, always or never"},
    };
    for (const auto &list : lists) {
        SCOPED_TRACE(list.name);
        EXPECT_EQ(ChoiceWords(list.choices), QString::fromLatin1(list.words));
        for (const RequestChoice &choice : list.choices) {
            RabbleRequest request;
            request.*list.field = choice.code;
            EXPECT_TRUE(CheckRequest(request).ok()) << choice.word.toString().toStdString();
            EXPECT_EQ(FindChoice(list.choices, choice.word.toString().toUpper()), &choice);
            EXPECT_EQ(FindChoice(list.choices, choice.code), &choice);
            EXPECT_TRUE(choice.entry.startsWith(QChar(choice.code)));
        }
    }
    for (const RequestChoice &choice : MissileChoices()) {
        RabbleRequest request;
        request.missileOdds = qint16(choice.code - u'0');
        EXPECT_TRUE(CheckRequest(request).ok());
        EXPECT_TRUE(choice.entry.startsWith(QChar(choice.code)));
    }
    EXPECT_EQ(FindSystem(u"TRAVELLER")->system, GameSystem::Traveller);
    EXPECT_EQ(FindSystem(u"dnd"), nullptr);
}

} // namespace
