#pragma once

#include "core/outcome.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

namespace throngkit {

// What the check of the tables found.
struct TablesReport
{
    QByteArray text;   // for standard output
    QString problem;   // one line for standard error; empty when there is nothing to say
    bool sound = true; // every table checked is sound
};

// `throngkit tables [--data-dir DIR] [FILE...]`: arguments as the program got them (its name,
// then "tables" and the rest). Checks the files given, or else every table of the data directory
// (--data-dir, or else the one findDataDirectory finds as start-up does, asked only then) in
// file-name order. A failure is bad usage.
Result<TablesReport> RunTablesCommand(const QStringList &arguments,
                                      const std::function<QString()> &findDataDirectory);

// The lines of the program's --help about the output formats and the tables command.
QString FormatsAndTablesHelp();

} // namespace throngkit
