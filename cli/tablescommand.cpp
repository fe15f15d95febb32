#include "cli/tablescommand.h"

#include "cli/helptext.h"
#include "core/paths.h"
#include "core/safefiles.h"
#include "listing/foundryexport.h"
#include "listing/outputformats.h"
#include "session/startup.h"
#include "weapons/tablecatalog.h"
#include "weapons/tablecheck.h"
#include "weapons/weapontable.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

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
    QStringList formatWords;
    for (const TableFormatInfo &format : TableFormats())
        formatWords << format.name.toString();
    const QCommandLineOption format{
        QStringLiteral("format"),
        QStringLiteral("What to write: %1 (default %2); foundry writes the tables as roll tables "
                       "for the Foundry virtual tabletop.")
            .arg(ChoiceWords(formatWords), formatWords.constFirst()),
        QStringLiteral("format")};
    parser.addOptions({help, dataDir, format});
    parser.addPositionalArgument(QStringLiteral("tables"), QStringLiteral("Check weapon tables."),
                                 QStringLiteral("tables [--data-dir dir] [--format format]"));
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("Tables to check instead of the data directory's."),
                                 QStringLiteral("[file...]"));

    // "-style" is one unknown option, not five letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    if (!parser.parse(arguments))
        return Refused(ParserError(parser, arguments));
    if (parser.isSet(help))
        return Report({NamedAsTyped(parser.helpText(), arguments.value(0)).toUtf8(), {}, true});

    // The roll tables rather than the report.
    bool rollTables = false;
    if (parser.isSet(format)) {
        const QString word = parser.value(format);
        const auto found = std::find_if(TableFormats().begin(), TableFormats().end(),
                                        [&](const TableFormatInfo &f) {
                                            return word.compare(f.name, Qt::CaseInsensitive) == 0;
                                        });
        if (found == TableFormats().end())
            return Refused(QStringLiteral("invalid value %1 for --format: expected %2")
                               .arg(QuotedText(word), ChoiceWords(formatWords)));
        rollTables = found->name == u"foundry";
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

    std::vector<TableCheck> checks;
    QStringList unsound, refused, loadedUnsound;
    for (const auto &[label, path] : tables) {
        checks.push_back(CheckWeaponTable(path, label));
        if (checks.back().sound())
            continue;
        unsound << label;
        (checks.back().table ? loadedUnsound : refused) << label;
    }
    if (rollTables) {
        // The tables that load, as the draw reads them, problems and all; the report says more.
        QStringList said;
        if (!refused.isEmpty())
            said << QStringLiteral("left out, as they cannot be read: %1")
                        .arg(refused.join(QStringLiteral(", ")));
        if (!loadedUnsound.isEmpty())
            said << QStringLiteral("tables with problems (see the report without --format): %1")
                        .arg(loadedUnsound.join(QStringLiteral(", ")));
        return Report({ComposeFoundryRollTables(checks), said.join(QStringLiteral("; ")),
                       unsound.isEmpty()});
    }

    QString text;
    for (const TableCheck &check : checks) {
        if (!text.isEmpty())
            text += u'\n';
        text += DescribeTableCheck(check);
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
    return text
           + QStringLiteral("\nUsage: throngkit tables [--data-dir dir] [--format format] [file...]\n")
           + WrapText(u"Checks weapon tables (the data directory's, or the files given): each "
                      u"weapon's chance, rolls that draw nothing, rows never drawn, names and damage "
                      u"that are cut, blank names, no row with High 100. Exit status 0 when all are "
                      u"sound, 1 otherwise. --format foundry writes the tables instead as one JSON "
                      u"array of roll tables for the Foundry virtual tabletop.")
           + QStringLiteral(
        "\nExamples:\n"
        "  throngkit generate --count 300 --format csv -o guards.csv --seed 42\n"
        "  throngkit generate --count 300 --format summary\n"
        "  throngkit tables --data-dir ~/tables\n"
        "  throngkit generate --count 40 --format foundry -o guards.json\n");
}

} // namespace throngkit
