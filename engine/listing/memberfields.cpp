#include "listing/memberfields.h"

#include "generate/memberfigures.h"

namespace throngkit {
namespace {

template <int Place>
std::optional<int> Characteristic(const RabbleMember &m)
{
    return CharacteristicAt(m, Place);
}

constexpr MemberField RQFields[] = {
    {u"name", [](const RabbleMember &m) { return m.Name.view(); }},
    {u"level", [](const RabbleMember &m) { return m.Level.view(); }},
    {u"weapon", [](const RabbleMember &m) { return m.Weapon.view(); }},
    {u"damage", [](const RabbleMember &m) { return m.Damage.view(); }},
    {u"attack", nullptr, [](const RabbleMember &m) { return m.Attack; }},
    {u"parry", nullptr, [](const RabbleMember &m) { return m.Parry; }},
    {u"parryWith", [](const RabbleMember &m) { return m.ParryWith.view(); }},
    {u"missile", nullptr, [](const RabbleMember &m) { return m.Missile; }},
    {u"missileType", [](const RabbleMember &m) { return m.MissileType.view(); }},
    {u"strikeRank", [](const RabbleMember &m) { return m.StrikeRank.view(); }},
    {u"hitPoints", nullptr, [](const RabbleMember &m) { return m.HitPoints; }},
    {u"scan", nullptr, [](const RabbleMember &m) { return m.Scan; }},
    {u"listen", nullptr, [](const RabbleMember &m) { return m.Listen; }},
    {u"armour", nullptr, [](const RabbleMember &m) { return m.Armour; }},
    {u"code", [](const RabbleMember &m) { return m.Code.view(); }},
    {u"STR", nullptr, nullptr, Characteristic<0>},
    {u"CON", nullptr, nullptr, Characteristic<1>},
    {u"SIZ", nullptr, nullptr, Characteristic<2>},
    {u"INT", nullptr, nullptr, Characteristic<3>},
    {u"POW", nullptr, nullptr, Characteristic<4>},
    {u"DEX", nullptr, nullptr, Characteristic<5>},
    {u"APP", nullptr, nullptr, Characteristic<6>},
    {u"weaponDamage", MemberWeaponDamage},
    {u"damageBonus", MemberDamageBonus},
};

constexpr MemberField TravellerFields[] = {
    {u"level", [](const RabbleMember &m) { return m.Level.view(); }},
    {u"weapon", [](const RabbleMember &m) { return m.Weapon.view(); }},
    {u"damage", [](const RabbleMember &m) { return m.Damage.view(); }},
    {u"attack", nullptr, [](const RabbleMember &m) { return m.Attack; }},
    {u"parry", nullptr, [](const RabbleMember &m) { return m.Parry; }},
    {u"strikeRank", [](const RabbleMember &m) { return m.StrikeRank.view(); }},
    {u"hitPoints", nullptr, [](const RabbleMember &m) { return m.HitPoints; }},
    {u"scan", nullptr, [](const RabbleMember &m) { return m.Scan; }},
    {u"armour", nullptr, [](const RabbleMember &m) { return m.Armour; }},
    {u"code", [](const RabbleMember &m) { return m.Code.view(); }},
    {u"STR", nullptr, nullptr, Characteristic<0>},
    {u"DEX", nullptr, nullptr, Characteristic<1>},
    {u"END", nullptr, nullptr, Characteristic<2>},
    {u"INT", nullptr, nullptr, Characteristic<3>},
    {u"EDU", nullptr, nullptr, Characteristic<4>},
    {u"SOC", nullptr, nullptr, Characteristic<5>},
};

} // namespace

std::span<const MemberField> MemberFields(GameSystem system)
{
    if (system == GameSystem::RuneQuest)
        return RQFields;
    return TravellerFields;
}

} // namespace throngkit
