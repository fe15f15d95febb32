#pragma once

#include <throngkit/engine_export.h>

// Which weapon tables the table chooser offers, and in which order: one rule for every front.
#include <QList>
#include <QString>
#include <QStringList>

namespace throngkit {

struct OfferedTable
{
    QString fileName;   // without directory
    QString caption;    // line 1 of the file, any "/" shown as "-"
};

// Every file in directory dbLoc (the current directory when empty) whose name matches
// "tk-wp*.dat" without regard to case, whatever it holds, by name without directory, in the order
// a case-insensitive file system lists them (case only breaks ties). The table check reports on
// each of them, the broken ones too.
THRONGKIT_ENGINE_EXPORT QStringList WeaponTableFiles(const QString &dbLoc);

// The tables in directory dbLoc (the current directory when empty) whose names match
// "tk-wp*.dat" without regard to case: regular, readable, non-empty files only (a FIFO or a
// device of that name is never opened), ordered by file name compared without regard to case.
// A "/" in a caption would split it into two choices of a "/"-separated pick list.
THRONGKIT_ENGINE_EXPORT QList<OfferedTable> OfferedWeaponTables(const QString &dbLoc);

} // namespace throngkit
