#pragma once

#include "core/outcome.h"
#include "core/settings.h"

#include <throngkit/engine_export.h>

namespace throngkit {

class Dice;
class MessageSink;

// Fill members 1 up to HowMany (read once) with a RuneQuest or a Traveller rabble, throwing the
// dice in the order the rules give, and record the system in GeneratedSystem. A HowMany above
// the capacity is refused before anything is touched. The blank-weapon notice reaches notices
// at most once per call, with the first blank draw. The listing is the caller's to build.
THRONGKIT_ENGINE_EXPORT Outcome GenerateRQRabble(Settings &settings, Dice &dice, MessageSink *notices = nullptr);
THRONGKIT_ENGINE_EXPORT Outcome GenerateTravellerRabble(Settings &settings, Dice &dice, MessageSink *notices = nullptr);

// The generator of system (RuneQuest or Traveller).
THRONGKIT_ENGINE_EXPORT Outcome GenerateRabble(GameSystem system, Settings &settings, Dice &dice,
                       MessageSink *notices = nullptr);

} // namespace throngkit
