#pragma once

#include "core/outcome.h"
#include "core/settings.h"

#include <throngkit/engine_export.h>

#include <QString>
#include <QStringList>

#include <vector>

namespace throngkit {

// One row as its file writes it, before Name and Damage are cut to the widths of a WeaponRow.
struct TableRowText
{
    float Low = 0;
    float High = 0;
    QString Name;
    QString Damage;
    qint16 Rank = 0;
};

struct TableText
{
    QString caption;
    std::vector<TableRowText> rows;  // up to the row with High 100, or to the end of the file
};

// Reads the weapon table at path exactly as LoadWeaponTable does, refusing what it refuses with
// the same reason, but into a TableText, so that a table can be checked without loading it.
Result<TableText> ReadWeaponTable(const QString &path);

// Reads the weapon table at path (resolved without regard to case) into settings.Weapons from
// row 1 and sets WeaponCount. A file that cannot be opened, a row cut short by the end of the
// file, a field that is not a number where one is expected or a 51st row refuse the load: then
// Weapons and WeaponCount stay exactly as they were. Gives the caption (line 1 of the file, taken
// whole) on success; a failure names the file, the line and the problem.
THRONGKIT_ENGINE_EXPORT Result<QString> LoadWeaponTable(Settings &settings, const QString &path);

// The caption (line 1) of the table at path, for the table chooser; a failure when the file
// cannot be read or is empty.
THRONGKIT_ENGINE_EXPORT Result<QString> ReadTableCaption(const QString &path);

} // namespace throngkit
