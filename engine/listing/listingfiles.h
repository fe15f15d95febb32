#pragma once

#include "core/settings.h"

#include <QByteArray>
#include <QString>

namespace throngkit {

// The bytes of a listing file (.rbl) or an HTML page (.htm) of system's layout for members
// 1..HowMany under heading: Latin-1, CRLF after every line. A character Latin-1 cannot hold is
// "?" in a .rbl file and a numeric character reference in a page; "&", "<" and ">" are escaped
// in a page. A heading's line breaks become blanks, so that a .rbl file keeps its three-line
// head. Any system but Traveller has the RuneQuest layout.
QByteArray ComposeRbl(GameSystem system, const Settings &settings, const QString &heading);
QByteArray ComposeHtm(GameSystem system, const Settings &settings, const QString &heading);

} // namespace throngkit
