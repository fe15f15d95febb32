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

// A file of the pattern that the chooser cannot offer, and why ("the file is empty").
struct LeftOutTable
{
    QString fileName;
    QString reason;
};

struct TableCatalogue
{
    QString folder;                // the folder looked in, absolute
    QList<OfferedTable> offered;
    QList<LeftOutTable> leftOut;   // in file-name order, as offered
    QString folderProblem;         // why the folder could not be listed at all; empty when it could
};

// The tables in directory dbLoc (the current directory when empty) whose names match
// "tk-wp*.dat" without regard to case, ordered by file name compared without regard to case:
// regular, readable, non-empty files with a caption the loader accepts are offered; the others
// (a FIFO or a device of that name is never opened) are left out with their reasons.
// A "/" in a caption would split it into two choices of a "/"-separated pick list.
THRONGKIT_ENGINE_EXPORT TableCatalogue OfferedWeaponTables(const QString &dbLoc);

// What the chooser says about what it could not offer: the folder's problem, how many tables were
// left out and why (a few of them by name), or that the folder holds none; empty when every table
// of the folder is offered.
THRONGKIT_ENGINE_EXPORT QString LeftOutNote(const TableCatalogue &catalogue);

} // namespace throngkit
