#pragma once

// What a weapon table does when it is drawn from, worked out without drawing: each row's chance,
// the rolls that draw nothing, the rows that never come up and the texts the loader will cut.
#include "core/settings.h"
#include "weapons/weapontable.h"

#include <throngkit/engine_export.h>

#include <QString>
#include <QStringList>

#include <vector>

namespace throngkit {

// Whole rolls first to last, both included.
struct RollSpan
{
    double first = 0;
    double last = 0;
};

// The draw over bands (Low, High) in row order, with its die of the last band's High sides.
struct DrawOdds
{
    RollSpan rolls;                 // the rolls the die can show with a chance above 0
    std::vector<double> chance;     // of each row, 0 to 1, in row order
    std::vector<std::vector<RollSpan>> taken;   // the rolls each row draws, in row order
    std::vector<RollSpan> gaps;     // rolls that no row takes, in order
};

struct TableCheck
{
    QString label;                  // the file as the report names it
    // As the loader reads it, or the loader's reason for refusing it.
    Result<TableText> table = Result<TableText>::success({});
    DrawOdds odds;
    QStringList problems;           // one sentence each; none when the table is sound

    bool sound() const { return problems.isEmpty(); }
};

// Reads the table at path as the loader does and checks it: rolls from 1 to the last row's High
// that draw nothing, rows that can never be drawn, names longer than 10 and damage longer than 6
// characters, blank names, no row with High 100, or the loader's reason for refusing the file.
THRONGKIT_ENGINE_EXPORT TableCheck CheckWeaponTable(const QString &path, const QString &label);

// The report of one check for a reader: the label, caption and row count, each row with its band
// and chance, then the problems. Lines end in LF.
THRONGKIT_ENGINE_EXPORT QString DescribeTableCheck(const TableCheck &check);

// The problems of the table now loaded in settings that the draw itself shows: gaps and rows that
// can never be drawn, one sentence each; empty for a sound table.
THRONGKIT_ENGINE_EXPORT QStringList DrawProblems(const Settings &settings);

} // namespace throngkit
