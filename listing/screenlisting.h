#pragma once

#include "core/settings.h"

#include <QString>

namespace throngkit {

// The fixed-width listing of the listing window: header, one line per member 1..HowMany,
// CrLf after every line. Assembled in one buffer.
QString BuildRQListing(const Settings &settings);
QString BuildTravellerListing(const Settings &settings);

// The listing of system (RuneQuest or Traveller; None gives an empty text).
QString BuildListing(GameSystem system, const Settings &settings);

} // namespace throngkit
