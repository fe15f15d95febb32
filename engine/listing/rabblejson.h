#pragma once

#include "core/settings.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace throngkit {

// The rabble in members 1..HowMany as UTF-8 JSON for scripts: system, the seed that made it (so
// that it can be made again; as a number, and as the decimal string "seedString" that readers
// with double-only numbers get exactly), the heading and one object per member. The record's
// text fields keep their full fixed width. Written by hand rather than through QJsonDocument
// for three reasons: a QJsonObject keeps its keys sorted, while these keep the listing's column
// order (system, seed, heading, members; each member's fields left to right); QJsonDocument
// writes either one line or one key a line, while here each member is one line, which keeps the
// file readable and diffable; and QJsonValue holds a whole number as a signed 64-bit integer or
// a double, so a seed from 2^63 up to 2^64 - 1, which --seed accepts, would not be written
// exactly.
QByteArray ComposeRabbleJson(GameSystem system, quint64 seed, const QString &heading,
                             const Settings &settings);

// text as a JSON string literal at the end of out, quotes included: weapon-table text read as
// Windows-1252 (0x96 is "–"), and control characters escaped (\u001b).
THRONGKIT_ENGINE_EXPORT void AppendJsonString(QString &out, QStringView text);

} // namespace throngkit
