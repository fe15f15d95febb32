#pragma once

// The "Override weapon table" choice: one weapon for every fighter instead of the table's draw.
#include "core/outcome.h"
#include "core/settings.h"

#include <throngkit/engine_export.h>

#include <QString>
#include <QtGlobal>

namespace throngkit {

struct WeaponOverride
{
    bool forced = false;
    QString name;
    QString damage;
    QString rank;   // SR or PEN as the user typed it
};

// The forced weapon's SR or PEN as a whole 16-bit number: rounded half to even, an empty or
// non-numeric text reading 0 as an empty box does. 2, the start-up value, when nothing is
// forced. A failure's reason is "a number from -32768 to 32767".
THRONGKIT_ENGINE_EXPORT Result<qint16> OverrideRank(const WeaponOverride &choice);

// ForcedWeapon, WeaponDamage and WeaponRank for the generators: the forced weapon's name,
// damage and rank, or "*", "*" and 2 (the table's draw) when nothing is forced. A rank out of
// range changes nothing.
THRONGKIT_ENGINE_EXPORT Outcome ApplyWeaponOverride(const WeaponOverride &choice, Settings &settings);

// A rabble can be armed only by a forced weapon or by a loaded table with a row to draw from;
// without either every fighter would get a blank weapon with damage "*".
THRONGKIT_ENGINE_EXPORT bool CanArmRabble(bool forced, const Settings &settings) noexcept;

} // namespace throngkit
