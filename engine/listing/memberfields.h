#pragma once

#include "core/settings.h"

#include <QStringView>

#include <span>

namespace throngkit {

// One field of a member as the JSON and CSV outputs name it: a text (at its full fixed width)
// or a number.
struct MemberField
{
    const char16_t *key;
    QStringView (*text)(const RabbleMember &) = nullptr;
    qint16 (*number)(const RabbleMember &) = nullptr;
};

// The fields that system writes, in the order of the JSON's keys; every output puts the member's
// "number" before them. Any system but RuneQuest leaves out the RuneQuest-only fields.
std::span<const MemberField> MemberFields(GameSystem system);

} // namespace throngkit
