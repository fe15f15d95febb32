#include "generate/weaponoverride.h"

#include "core/numerictext.h"

#include <optional>

namespace throngkit {

Result<qint16> OverrideRank(const WeaponOverride &choice)
{
    if (!choice.forced)
        return Result<qint16>::success(2);
    const std::optional<qint16> rank = WholeRank(NumericValue(choice.rank));
    if (!rank)
        return Result<qint16>::failure(QStringLiteral("a number from -32768 to 32767"));
    return Result<qint16>::success(*rank);
}

Outcome ApplyWeaponOverride(const WeaponOverride &choice, Settings &settings)
{
    const Result<qint16> rank = OverrideRank(choice);
    if (!rank)
        return rank.outcome();
    // "*" in the first place of ForcedWeapon means "draw from the table" to the generators.
    settings.ForcedWeapon = choice.forced ? choice.name : QStringLiteral("*");
    settings.WeaponDamage = choice.forced ? choice.damage : QStringLiteral("*");
    settings.WeaponRank = rank.value();
    return Outcome::success();
}

bool CanArmRabble(bool forced, const Settings &settings) noexcept
{
    return forced || settings.WeaponCount >= 1;
}

} // namespace throngkit
