#pragma once

#include "core/settings.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace throngkit {

// The rabble in members 1..HowMany as UTF-8 JSON for scripts: system, the seed that made it (so
// that it can be made again), the heading and one object per member. Text fields keep their
// full fixed width. Written by hand because a seed above 2^53 must survive exactly, which a
// double-based JSON writer cannot promise.
QByteArray ComposeRabbleJson(GameSystem system, quint64 seed, const QString &heading,
                             const Settings &settings);

// text as a JSON string literal, quotes included.
QString JsonString(QStringView text);

} // namespace throngkit
