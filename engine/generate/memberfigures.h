#pragma once

// What a member's record holds only packed into text, unpacked by the rules that packed it: the
// characteristics in its code, and for RuneQuest the weapon's damage apart from the damage bonus
// that the generator appended to it.
#include "core/settings.h"

#include <QStringView>

#include <optional>

namespace throngkit {

// The characteristic at place (0 for the first) of the member's code, from the code's own
// digits; none where the code holds no digit there (a record never generated, a hand-made one).
std::optional<int> CharacteristicAt(const RabbleMember &member, int place);

// The RuneQuest damage bonus for STR + SIZ: "-1D4", "+1D4", "+1D6", "+2D6", or empty for none.
QStringView DamageBonus(double strPlusSiz);

// The damage bonus that a RuneQuest member's STR and SIZ give; empty when they give none or the
// code does not hold them.
QStringView MemberDamageBonus(const RabbleMember &member);

// A RuneQuest member's damage without its padding and without the damage bonus at its end: the
// weapon's own damage, as the table or the forced weapon gave it.
QStringView MemberWeaponDamage(const RabbleMember &member);

} // namespace throngkit
