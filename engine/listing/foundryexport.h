#pragma once

// A rabble and weapon tables as documents of the Foundry virtual tabletop, for the RuneQuest
// system "rqg" and the Traveller system "twodsix": every field their data models keep, with the
// type they expect, so that each document is what Foundry itself would store.
#include "listing/outputformats.h"
#include "weapons/tablecheck.h"

#include <throngkit/engine_export.h>

#include <QByteArray>
#include <QString>

#include <span>

namespace throngkit {

// One JSON document: the program and its version, the system's id ("rqg" or "twodsix"), the
// seed, the folder the actors go in (the heading), and "actors": one complete Actor a fighter,
// each also importable on its own, each of its items on a line of its own. The ids of the
// documents are made from the seed and the member's number, so the same rabble gives the same
// bytes.
QByteArray ComposeFoundryActors(const RabbleOutput &output);

// The weapon tables checked, as a JSON array of RollTable documents, one a line: each named by
// its caption, rolled as the draw rolls it (1d100 for a sound table) and holding one text
// result for each run of rolls that draws the same weapon. A table the loader refuses is left
// out.
THRONGKIT_ENGINE_EXPORT QByteArray ComposeFoundryRollTables(std::span<const TableCheck> tables);

} // namespace throngkit
