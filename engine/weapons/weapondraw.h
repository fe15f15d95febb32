#pragma once

#include "core/settings.h"

#include <throngkit/engine_export.h>

namespace throngkit {

class Dice;
class MessageSink;

// Gives member CurMember a weapon from the loaded table: one die of the last row's High sides;
// the first row whose band holds the roll sets the member's Weapon, WeaponDamage and WeaponRank.
// A roll in no band changes nothing. When the drawn name is blank, notices (if any) receives
// the roll and one blank ("57 ").
THRONGKIT_ENGINE_EXPORT void DrawWeapon(Settings &settings, Dice &dice, MessageSink *notices = nullptr);

} // namespace throngkit
