#pragma once

#include "core/settings.h"

#include <throngkit/engine_export.h>

#include <QByteArray>

namespace throngkit {

// Members 1..HowMany as a spreadsheet file (RFC 4180, UTF-8, CRLF after every row): a header row
// of the JSON's keys in the JSON's order, then one row per member. Texts lose their padding
// blanks, so that a spreadsheet sorts and filters on what they say; a field holding a comma, a
// semicolon, a tab, a quote or a line break is quoted, its quotes doubled. A text that a
// spreadsheet would take for a formula (it starts with "=", "+", "-", "@", a tab or a carriage
// return, and is neither a plain number nor a roll of dice such as "-1D4") starts with a single
// quote, which makes it text. Weapon-table text is shown as Windows-1252 (its byte 0x96 is "–").
THRONGKIT_ENGINE_EXPORT QByteArray ComposeCsv(GameSystem system, const Settings &settings);

} // namespace throngkit
