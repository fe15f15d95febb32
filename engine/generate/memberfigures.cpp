#include "generate/memberfigures.h"

#include "core/dice.h"

namespace throngkit {

std::optional<int> CharacteristicAt(const RabbleMember &member, int place)
{
    if (place < 0 || place >= member.Code.size())
        return std::nullopt;
    return CharDigitValue(member.Code[place]);
}

QStringView DamageBonus(double strPlusSiz)
{
    if (strPlusSiz >= 1 && strPlusSiz <= 12)
        return u"-1D4";
    if (strPlusSiz >= 25 && strPlusSiz <= 32)
        return u"+1D4";
    if (strPlusSiz >= 33 && strPlusSiz <= 40)
        return u"+1D6";
    if (strPlusSiz >= 41 && strPlusSiz <= 56)
        return u"+2D6";
    return {};   // 13 to 24, and anything the rolls cannot reach
}

QStringView MemberDamageBonus(const RabbleMember &member)
{
    // STR and SIZ are the first and third characters of "SCZIPDA".
    const std::optional<int> str = CharacteristicAt(member, 0);
    const std::optional<int> siz = CharacteristicAt(member, 2);
    if (!str || !siz)
        return {};
    return DamageBonus(*str + *siz);
}

QStringView MemberWeaponDamage(const RabbleMember &member)
{
    QStringView damage = member.Damage.view();
    while (!damage.isEmpty() && damage.back() == u' ')
        damage.chop(1);
    const QStringView bonus = MemberDamageBonus(member);
    // A weapon damage of up to 6 characters and a bonus of 4 always fit the 10 of Damage, so a
    // generated member's damage ends in its bonus; a hand-made one may not, and keeps it whole.
    if (!bonus.isEmpty() && damage.endsWith(bonus))
        damage.chop(bonus.size());
    return damage;
}

} // namespace throngkit
