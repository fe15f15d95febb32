#pragma once

// What a front asks of the engine for one rabble: every choice with its start-up value, the
// words each choice may take, and the one check of them all. The windows and the command turn
// their controls and options into a RabbleRequest; the engine says what is wrong with it, and
// each front words that for its own controls or options.
#include "core/outcome.h"
#include "core/settings.h"

#include <throngkit/engine_export.h>

#include <QString>
#include <QStringList>
#include <QStringView>
#include <QtGlobal>

#include <span>

namespace throngkit {

// What `generate` writes and what the listing window saves and exports; the formats themselves
// (name, extension, writer, line ends) are the table in listing/outputformats.h.
enum class OutputFormat { Listing, Json, Rbl, Htm, Csv, Summary, Foundry };

// The "Override weapon table" choice: one weapon for every fighter instead of the table's draw.
struct WeaponOverride
{
    bool forced = false;
    QString name;
    QString damage;
    QString rank;   // SR or PEN as the user typed it
};

inline constexpr char16_t DefaultHeading[] = u"Throngkit Listing";

struct RabbleRequest
{
    GameSystem system = GameSystem::RuneQuest;
    float howMany = 10;            // a fraction is cut when the rabble is made
    char16_t abilityLevel = u'*';  // '*' (each drawn at random) or a level letter
    char16_t shieldChoice = u'*';  // '*' by chance, 'Y' always, 'N' never
    qint16 missileOdds = 4;        // a missile weapon 1 in N; 0 never
    QString table;                 // empty: the system's standard table
    WeaponOverride weapon;
    QString heading = QString::fromUtf16(DefaultHeading);
    OutputFormat format = OutputFormat::Listing;
};

// The fields of a request by the names the command's options, the JSON and a failed check's
// Outcome::subject() use.
namespace RequestField {
inline constexpr QStringView System = u"system";
inline constexpr QStringView Count = u"count";
inline constexpr QStringView Level = u"level";
inline constexpr QStringView Shield = u"shield";
inline constexpr QStringView Missile = u"missile";
inline constexpr QStringView Table = u"table";
inline constexpr QStringView Weapon = u"weapon";
inline constexpr QStringView Rank = u"rank";
} // namespace RequestField

// One value a choice may take: the code Settings holds, the word the command takes and the
// entry the configuration window lists, in the window's order.
struct RequestChoice
{
    char16_t code;
    QStringView word;
    QStringView entry;
};

THRONGKIT_ENGINE_EXPORT std::span<const RequestChoice> AbilityLevelChoices();  // *, E, B, G, F, P
THRONGKIT_ENGINE_EXPORT std::span<const RequestChoice> ShieldChoices();        // *, Y, N
THRONGKIT_ENGINE_EXPORT std::span<const RequestChoice> MissileChoices();       // 1 to 9, then 0

// The choice among choices whose word is word (ignoring case), or whose code is code.
THRONGKIT_ENGINE_EXPORT const RequestChoice *FindChoice(std::span<const RequestChoice> choices,
                                                        QStringView word);
THRONGKIT_ENGINE_EXPORT const RequestChoice *FindChoice(std::span<const RequestChoice> choices,
                                                        char16_t code);
// "random, E, B, G, F or P": the words of choices as a sentence lists them.
THRONGKIT_ENGINE_EXPORT QString ChoiceWords(std::span<const RequestChoice> choices);
THRONGKIT_ENGINE_EXPORT QString ChoiceWords(const QStringList &words);

// The game systems a rabble is made for, by the command's word for each.
struct SystemChoice
{
    GameSystem system;
    QStringView word;
};
THRONGKIT_ENGINE_EXPORT std::span<const SystemChoice> SystemChoices();   // RuneQuest, Traveller
THRONGKIT_ENGINE_EXPORT const SystemChoice *FindSystem(QStringView word);   // ignoring case

// Whether a rabble of howMany (as Settings holds it) fits the members table: the one capacity
// check of the fronts and the generators, made on the float so that all round alike.
Outcome CheckHowMany(float howMany);

// The forced weapon's SR or PEN as a whole 16-bit number: rounded half to even, an empty or
// non-numeric text reading 0 as an empty box does. 2, the start-up value, when nothing is
// forced.
THRONGKIT_ENGINE_EXPORT Result<qint16> OverrideRank(const WeaponOverride &choice);

// Whether the rabble asked for can be made: the first field at fault is the failure's subject
// (a RequestField), its reason a sentence that names no control or option.
THRONGKIT_ENGINE_EXPORT Outcome CheckRequest(const RabbleRequest &request);

// The checked request's choices into settings for the generators: HowMany, AbilityLevel,
// ShieldChoice, MissileOdds, and ForcedWeapon, WeaponDamage and WeaponRank (the forced
// weapon, or "*", "*" and 2 for the table's draw). A request that fails the check changes
// nothing.
THRONGKIT_ENGINE_EXPORT Outcome ApplyRequest(const RabbleRequest &request, Settings &settings);

} // namespace throngkit
