#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace throngkit {

struct CommandResult
{
    int status = 0;    // 0 every table sound, 1 a table has a problem, 2 bad usage
    QByteArray out;    // for standard output
    QString error;     // one line for standard error; empty when there is nothing to say
};

// `throngkit tables [--data-dir DIR] [FILE...]`: arguments as the program got them (its name,
// then "tables" and the rest). Checks the files given, or else every table of the data directory
// (--data-dir, or foundDataDirectory, found as start-up finds it) in file-name order.
CommandResult RunTablesCommand(const QStringList &arguments, const QString &foundDataDirectory);

// The lines of the program's --help about the output formats and the tables command.
QString FormatsAndTablesHelp();

} // namespace throngkit
