#pragma once

#include "core/settings.h"

#include <QStringView>

#include <optional>
#include <span>

namespace throngkit {

// One field of a member as the JSON and CSV outputs name it: a text (at its full fixed width
// when it is a field of the record), a number, or a figure unpacked from a text, which a record
// that does not hold it leaves out (null in JSON, an empty cell in CSV).
struct MemberField
{
    const char16_t *key;
    QStringView (*text)(const RabbleMember &) = nullptr;
    qint16 (*number)(const RabbleMember &) = nullptr;
    std::optional<int> (*figure)(const RabbleMember &) = nullptr;
};

// The fields that system writes, in the order of the JSON's keys; every output puts the member's
// "number" before them. Any system but RuneQuest leaves out the RuneQuest-only fields. The
// record's own fields come first, in its order; then the characteristics as numbers, in the
// order of the code, and for RuneQuest the weapon's damage and the damage bonus apart.
std::span<const MemberField> MemberFields(GameSystem system);

} // namespace throngkit
