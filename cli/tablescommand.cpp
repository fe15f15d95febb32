#include "cli/tablescommand.h"

#include "cli/helptext.h"
#include "core/paths.h"
#include "listing/outputformats.h"
#include "session/startup.h"
#include "weapons/tablecatalog.h"
#include "weapons/tablecheck.h"
#include "weapons/weapontable.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFileInfo>

#include <algorithm>

namespace throngkit {
namespace {

Result<TablesReport> Refused(const QString &reason)
{
    return Result<TablesReport>::failure(reason);
}

Result<TablesReport> Report(TablesReport report)
{
    return Result<TablesReport>::success(std::move(report));
}

} // namespace

Result<TablesReport> RunTablesCommand(const QStringList &arguments,
                                      const std::function<QString()> &findDataDirectory)
{
    QCommandLineParser parser;
    // Qt's help leaves the description as it is given: wrapped here, its last line end dropped.
    parser.setApplicationDescription(
        WrapText(u"Checks weapon tables: each weapon's chance, rolls that draw nothing, rows that are "
                 u"never drawn, names and damage that are cut, blank names, a missing last row with "
                 u"High 100. Exit status 0 when every table is sound, 1 otherwise.")
            .chopped(1));
    const QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and stop.")};
    const QCommandLineOption dataDir{QStringLiteral("data-dir"),
                                     QStringLiteral("Data directory whose tk-wp*.dat tables are checked "
                                                    "(default: as the program finds it at start)."),
                                     QStringLiteral("dir")};
    parser.addOptions({help, dataDir});
    parser.addPositionalArgument(QStringLiteral("tables"), QStringLiteral("Check weapon tables."),
                                 QStringLiteral("tables [--data-dir dir]"));
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("Tables to check instead of the data directory's."),
                                 QStringLiteral("[file...]"));

    // "-style" is one unknown option, not five letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    if (!parser.parse(arguments))
        return Refused(ParserError(parser, arguments));
    if (parser.isSet(help)) {
        QString text = parser.helpText();
        const QString program = arguments.value(0);
        if (const qsizetype at = program.isEmpty() ? -1 : text.indexOf(program); at >= 0)
            text.replace(at, program.size(), QFileInfo(program).completeBaseName());
        return Report({text.toUtf8(), {}, true});
    }

    QString dbLoc;
    if (parser.isSet(dataDir)) {
        const QString value = parser.value(dataDir);
        if (const Outcome directory = CheckDataDirectory(value); !directory)
            return Refused(directory.reason());
        dbLoc = AddBackslash(value);
    } else {
        dbLoc = findDataDirectory();
    }

    // (label, path) of each table, in the order they are reported.
    std::vector<std::pair<QString, QString>> tables;
    const QStringList files = parser.positionalArguments().mid(1);
    for (const QString &file : files)
        tables.emplace_back(file, NamedTablePath(dbLoc, file));
    if (files.isEmpty()) {
        if (dbLoc.isEmpty())
            return Refused(QStringLiteral("no data directory found: give --data-dir or name the tables"));
        const QStringList names = WeaponTableFiles(dbLoc);
        if (names.isEmpty())
            return Report({{}, QStringLiteral("no weapon tables (tk-wp*.dat) in %1").arg(dbLoc), false});
        for (const QString &name : names)
            tables.emplace_back(name, TablePath(dbLoc, name));
    }

    QString text;
    QStringList unsound;
    for (const auto &[label, path] : tables) {
        const TableCheck check = CheckWeaponTable(path, label);
        if (!text.isEmpty())
            text += u'\n';
        text += DescribeTableCheck(check);
        if (!check.sound())
            unsound << label;
    }
    text += u'\n';
    const qsizetype total = qsizetype(tables.size());
    const QString checked = total == 1 ? QStringLiteral("1 table checked")
                                       : QStringLiteral("%1 tables checked").arg(total);
    if (unsound.isEmpty())
        text += checked + QStringLiteral(": all sound.\n");
    else
        text += checked + QStringLiteral(": %1 with problems: %2.\n")
                              .arg(QString::number(unsound.size()), unsound.join(QStringLiteral(", ")));
    return Report({text.toUtf8(), {}, unsound.isEmpty()});
}

QString FormatsAndTablesHelp()
{
    QString text = QStringLiteral("\nFormats of generate:\n");
    for (const OutputFormatInfo &format : OutputFormats())
        text += HelpEntry(format.name, format.description);
    return text + QStringLiteral("\nUsage: throngkit tables [--data-dir dir] [file...]\n")
           + WrapText(u"Checks weapon tables (the data directory's, or the files given): each "
                      u"weapon's chance, rolls that draw nothing, rows never drawn, names and damage "
                      u"that are cut, blank names, no row with High 100. Exit status 0 when all are "
                      u"sound, 1 otherwise.")
           + QStringLiteral(
        "\nExamples:\n"
        "  throngkit generate --count 300 --format csv -o guards.csv --seed 42\n"
        "  throngkit generate --count 300 --format summary\n"
        "  throngkit tables --data-dir ~/tables\n");
}

} // namespace throngkit
