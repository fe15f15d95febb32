#pragma once

#include "core/settings.h"

#include <QString>

namespace throngkit {

// A rabble at a glance, for a referee who runs it as units: the count; how many of each level;
// each weapon with its count and share; for RuneQuest, shields against weapon parries and each
// missile type; and the lowest, median, highest and mean of each figure. Plain text within 80
// columns, CRLF after every line, made from members 1..HowMany of system's rabble.
QString BuildSummary(GameSystem system, const Settings &settings);

} // namespace throngkit
