#include "listing/memberfields.h"

namespace throngkit {
namespace {

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
};

} // namespace

std::span<const MemberField> MemberFields(GameSystem system)
{
    if (system == GameSystem::RuneQuest)
        return RQFields;
    return TravellerFields;
}

} // namespace throngkit
