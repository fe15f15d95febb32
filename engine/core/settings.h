#pragma once

#include "core/fixedtext.h"

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

// All state of a run. One instance, owned by the program and passed by reference. The choices
// get their start-up values from InitialiseSettings, which takes them from RabbleRequest.
struct Settings
{
    double Version = 0;
    QString Title;
    QString DBLoc;
    QString CrLf = QStringLiteral("\r\n");
    qint16 WeaponCount = 0;
    qint16 CurMember = 0;
    FixedText<1> AbilityLevel;
    FixedText<10> ForcedWeapon;
    FixedText<6> WeaponDamage;
    qint16 WeaponRank = 0;
    FixedText<1> ShieldChoice;
    qint16 MissileOdds = 0;
    float HowMany = 0;
    std::array<double, 8> Chars{};
    std::array<RabbleMember, MaxMembers + 1> Members{};
    std::array<WeaponRow, MaxWeaponRows + 1> Weapons{};

    // Which system made the rabble now in Members (None before the first generation), so that
    // it is saved with that system's writer whatever is selected later.
    GameSystem GeneratedSystem = GameSystem::None;
    // The seed of the dice that made it, which the JSON and the export name so that the same
    // choices make the same rabble again.
    quint64 GeneratedSeed = 0;
};

// Members 1..count are listed and written: the largest whole number not above HowMany, 0 for
// anything below 1 (or not a number), and never more than the capacity.
THRONGKIT_ENGINE_EXPORT int ListedMemberCount(float howMany) noexcept;

} // namespace throngkit
