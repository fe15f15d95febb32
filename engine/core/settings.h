#pragma once

#include "core/fixedtext.h"
#include "core/outcome.h"

#include <throngkit/engine_export.h>

#include <QString>
#include <QtGlobal>

#include <array>

namespace throngkit {

inline constexpr int MaxMembers = 1000;   // Members 1..1000; slot 0 is never used
inline constexpr int MaxWeaponRows = 50;  // Weapons 1..50; slot 0 is never used

enum class GameSystem { None, RuneQuest, Traveller };

struct WeaponRow
{
    FixedText<10> Name;
    float Low = 0;
    float High = 0;
    FixedText<6> Damage;
    qint16 Rank = 0;   // SR in a RuneQuest table, PEN in a Traveller table
};

// One fighter of the rabble. Both systems share the record; a Traveller rabble leaves Name,
// ParryWith, Missile, MissileType and Listen as an earlier generation left them.
struct RabbleMember
{
    FixedText<20> Name;
    FixedText<1> Level;
    FixedText<10> Weapon;
    FixedText<10> Damage;
    qint16 Attack = 0;
    qint16 Parry = 0;
    FixedText<2> ParryWith;
    qint16 Missile = 0;
    FixedText<1> MissileType;
    FixedText<3> StrikeRank;
    qint16 HitPoints = 0;
    qint16 Scan = 0;
    qint16 Listen = 0;
    qint16 Armour = 0;
    FixedText<7> Code;
};

// All state of a run. One instance, owned by the program and passed by reference; the field
// defaults are the start-up values (InitialiseSettings adds version, title and data directory).
struct Settings
{
    double Version = 0;
    QString Title;
    QString DBLoc;
    QString CrLf = QStringLiteral("\r\n");
    qint16 WeaponCount = 0;
    qint16 CurMember = 0;
    FixedText<1> AbilityLevel = u"*";
    FixedText<10> ForcedWeapon = u"*";
    FixedText<6> WeaponDamage;
    qint16 WeaponRank = 2;
    FixedText<1> ShieldChoice = u"*";
    qint16 MissileOdds = 4;
    float HowMany = 10;
    std::array<double, 8> Chars{};
    std::array<RabbleMember, MaxMembers + 1> Members{};
    std::array<WeaponRow, MaxWeaponRows + 1> Weapons{};

    // Which system made the rabble now in Members (None before the first generation), so that
    // it is saved with that system's writer whatever is selected later.
    GameSystem GeneratedSystem = GameSystem::None;
};

// Members 1..count are listed and written: the largest whole number not above HowMany, 0 for
// anything below 1 (or not a number), and never more than the capacity.
THRONGKIT_ENGINE_EXPORT int ListedMemberCount(float howMany) noexcept;

// Whether a rabble of howMany (as Settings holds it) fits the members table: the one capacity
// check of the window and the command, made on the float so that both round alike.
THRONGKIT_ENGINE_EXPORT bool HowManyFits(float howMany) noexcept;

// HowManyFits with the window's words for a refusal, "\"How many?\" must be at most 1000.":
// the window and the generators refuse alike, before any member is touched.
THRONGKIT_ENGINE_EXPORT Outcome CheckHowMany(float howMany);

// The window's "How many?" box as typed: a text that starts with no number ("abc", an empty
// box) reads as 0, but nobody who typed it asked for an empty rabble.
THRONGKIT_ENGINE_EXPORT Outcome CheckHowManyIsNumber(QStringView text);

} // namespace throngkit
