#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

namespace throngkit {

struct CommandResult
{
    int status = 0;    // 0 every table sound, 1 a table has a problem, 2 bad usage
    QByteArray out;    // for standard output
    QString error;     // one line for standard error; empty when there is nothing to say
};

// `throngkit tables [--data-dir DIR] [FILE...]`: arguments as the program got them (its name,
// then "tables" and the rest). Checks the files given, or else every table of the data directory
// (--data-dir, or else the one findDataDirectory finds as start-up does, asked only then) in
// file-name order.
CommandResult RunTablesCommand(const QStringList &arguments,
                               const std::function<QString()> &findDataDirectory);

// The lines of the program's --help about the output formats and the tables command.
QString FormatsAndTablesHelp();

} // namespace throngkit
