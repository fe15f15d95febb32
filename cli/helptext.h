#pragma once

// The command's texts for a terminal: help wrapped to fit 79 columns, and usage errors in the
// command's one style.
#include <QCommandLineParser>
#include <QString>
#include <QStringView>

namespace throngkit {

// text's words on lines of at most 79 columns, the lines after the first indented by indent
// blanks; every line ends in LF.
QString WrapText(QStringView text, int indent = 0);

// "  name      description", the description wrapped under itself.
QString HelpEntry(QStringView name, QStringView description);

// A parser's help with its usage line naming the program as it is typed, not by the path it was
// started from (nor by its extension: Windows runs throngkit.com for "throngkit").
QString NamedAsTyped(QString helpText, const QString &programPath);

// What the parser could not make of arguments, as the command says a usage error: lower case,
// values in double quotes, no full stop.
QString ParserError(const QCommandLineParser &parser, const QStringList &arguments);

} // namespace throngkit
