#pragma once

#include "core/settings.h"

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
    bool ok = false;
    QString caption;
    QString error;                   // as TableLoad's error; set when not ok
    std::vector<TableRowText> rows;  // up to the row with High 100, or to the end of the file
};

// Reads the weapon table at path exactly as LoadWeaponTable does, refusing what it refuses, but
// into a TableText, so that a table can be checked without loading it.
TableText ReadWeaponTable(const QString &path);

struct TableLoad
{
    bool ok = false;
    QString caption;   // line 1 of the file, taken whole; set when ok
    QString error;     // names the file, the line and the problem; set when not ok
};

// Reads the weapon table at path (resolved without regard to case) into settings.Weapons from
// row 1 and sets WeaponCount. A file that cannot be opened, a row cut short by the end of the
// file, a field that is not a number where one is expected or a 51st row refuse the load: then
// Weapons and WeaponCount stay exactly as they were.
TableLoad LoadWeaponTable(Settings &settings, const QString &path);

// The caption (line 1) of the table at path, for the table chooser; false when the file cannot
// be read or is empty.
bool ReadTableCaption(const QString &path, QString *caption);

// The names (without directory) of the ordinary, not hidden files in directory dbLoc (the current
// directory when empty) that match "tk-wp*.dat" without regard to case, in directory order.
QStringList FindWeaponTables(const QString &dbLoc);

} // namespace throngkit
