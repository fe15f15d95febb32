#pragma once

#include "core/settings.h"

#include <throngkit/engine_export.h>

#include <QString>

namespace throngkit {

// The fixed-width listing of the listing window: header, one line per member 1..HowMany,
// CrLf after every line. Assembled in one buffer.
THRONGKIT_ENGINE_EXPORT QString BuildRQListing(const Settings &settings);
THRONGKIT_ENGINE_EXPORT QString BuildTravellerListing(const Settings &settings);

// The listing of system (RuneQuest or Traveller; None gives an empty text).
THRONGKIT_ENGINE_EXPORT QString BuildListing(GameSystem system, const Settings &settings);

} // namespace throngkit
