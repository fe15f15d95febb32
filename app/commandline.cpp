#include "app/commandline.h"

#include "app/rabblejson.h"
#include "app/tablescommand.h"
#include "core/messagesink.h"
#include "core/numerictext.h"
#include "core/paths.h"
#include "core/safefiles.h"
#include "core/settings.h"
#include "core/startup.h"
#include "generate/dice.h"
#include "generate/generators.h"
#include "listing/csvwriter.h"
#include "listing/listingfiles.h"
#include "listing/screenlisting.h"
#include "listing/summary.h"
#include "weapons/weapontable.h"

#include <throngkit/version.h>

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>

#include <cmath>
#include <limits>
#include <memory>
#include <optional>

namespace throngkit {
namespace {

const QString GenerateCommand = QStringLiteral("generate");

enum class OutputFormat { Listing, Json, Rbl, Htm, Csv, Summary };

// Everything `generate` was asked for, checked and converted to the values Settings holds.
struct GenerateRequest
{
    GameSystem system = GameSystem::RuneQuest;
    float howMany = 10;
    QString abilityLevel = QStringLiteral("*");
    QString shieldChoice = QStringLiteral("*");
    qint16 missileOdds = 4;
    bool forceWeapon = false;
    QString forcedWeapon;
    QString weaponDamage;
    qint16 weaponRank = 0;
    QString table;     // empty: the system's default table
    QString dataDir;   // empty: found as start-up finds it
    QString heading = QString::fromUtf16(DefaultHeading);
    OutputFormat format = OutputFormat::Listing;
    QString output;    // empty: standard output
    std::optional<quint64> seed;
};

// A line for the user: what went wrong, never more than one line.
void WriteLine(std::FILE *stream, const QString &text)
{
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(u'\n', u' ').replace(u'\r', u' ');
    // Whatever else slipped through must not reach the terminal as a control sequence.
    const QByteArray bytes = (QStringLiteral("throngkit: ") + EscapeControls(line) + u'\n').toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

bool WriteBytes(std::FILE *stream, const QByteArray &bytes)
{
    if (!bytes.isEmpty()
        && std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream)
               != static_cast<size_t>(bytes.size()))
        return false;
    return std::fflush(stream) == 0 && !std::ferror(stream);
}

// The generator's notices (a blank weapon drawn) are worth seeing but do not stop the run.
class StandardErrorSink : public MessageSink
{
public:
    explicit StandardErrorSink(std::FILE *err) : m_err(err) {}
    void showMessage(const QString &text) override { WriteLine(m_err, text); }

private:
    std::FILE *m_err;
};

struct Options
{
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Show this help and stop.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Show the version and stop.")};
    QCommandLineOption system{QStringLiteral("system"),
                              QStringLiteral("Game system: runequest or traveller (default runequest)."),
                              QStringLiteral("system")};
    QCommandLineOption count{QStringLiteral("count"),
                             QStringLiteral("How many fighters, 0 to 1000, a fraction cut (default 10)."),
                             QStringLiteral("N")};
    QCommandLineOption level{QStringLiteral("level"),
                             QStringLiteral("Ability level: random, E, B, G, F or P (default random)."),
                             QStringLiteral("level")};
    QCommandLineOption shield{QStringLiteral("shield"),
                              QStringLiteral("RuneQuest shield: random, always or never (default random)."),
                              QStringLiteral("choice")};
    QCommandLineOption missile{QStringLiteral("missile"),
                               QStringLiteral("RuneQuest missile weapon 1 in N, 0 to 9, 0 never (default 4)."),
                               QStringLiteral("N")};
    QCommandLineOption table{QStringLiteral("table"),
                             QStringLiteral("Weapon table to load (default: the system's table in the data directory)."),
                             QStringLiteral("file")};
    QCommandLineOption dataDir{QStringLiteral("data-dir"),
                               QStringLiteral("Data directory (default: as the program finds it at start)."),
                               QStringLiteral("dir")};
    QCommandLineOption weapon{QStringLiteral("weapon"),
                              QStringLiteral("Force this standard weapon on every fighter."),
                              QStringLiteral("name")};
    QCommandLineOption damage{QStringLiteral("damage"),
                              QStringLiteral("Damage of the forced weapon (needs --weapon)."),
                              QStringLiteral("text")};
    QCommandLineOption rank{QStringLiteral("rank"),
                            QStringLiteral("SR or PEN of the forced weapon (needs --weapon)."),
                            QStringLiteral("N")};
    QCommandLineOption heading{QStringLiteral("heading"),
                               QStringLiteral("Heading of .rbl and .htm output (default \"Throngkit Listing\")."),
                               QStringLiteral("text")};
    QCommandLineOption format{QStringLiteral("format"),
                              QStringLiteral("What to write: listing, json, rbl, htm, csv or summary (default listing)."),
                              QStringLiteral("format")};
    QCommandLineOption output{{QStringLiteral("o"), QStringLiteral("output")},
                              QStringLiteral("Write to this file instead of standard output."),
                              QStringLiteral("file")};
    QCommandLineOption seed{QStringLiteral("seed"),
                            QStringLiteral("Seed of the dice, 0 to 18446744073709551615 (default: fresh each run)."),
                            QStringLiteral("N")};

    void addTo(QCommandLineParser &parser) const
    {
        parser.addOptions({help, version, system, count, level, shield, missile, table, dataDir,
                           weapon, damage, rank, heading, format, output, seed});
    }
};

QString Quoted(const QString &text)
{
    return QuotedText(text);
}

// Digits with at most one decimal point and at least one digit: "10", "10.7", ".5", "7."
bool IsPlainDecimal(QStringView text)
{
    int digits = 0;
    int points = 0;
    for (const QChar c : text) {
        if (c >= u'0' && c <= u'9')
            ++digits;
        else if (c == u'.' && ++points == 1)
            continue;
        else
            return false;
    }
    return digits > 0;
}

QString BadValue(const QString &option, const QString &value, const QString &expected)
{
    return QStringLiteral("invalid value %1 for --%2: expected %3")
        .arg(Quoted(value), option, expected);
}

// Reads and checks every option of `generate`; the reason for the first bad one, or nothing.
std::optional<QString> ReadRequest(const QCommandLineParser &parser, const Options &o,
                                   GenerateRequest &request)
{
    if (parser.isSet(o.system)) {
        const QString value = parser.value(o.system);
        if (value.compare(u"runequest", Qt::CaseInsensitive) == 0)
            request.system = GameSystem::RuneQuest;
        else if (value.compare(u"traveller", Qt::CaseInsensitive) == 0)
            request.system = GameSystem::Traveller;
        else
            return BadValue(QStringLiteral("system"), value, QStringLiteral("runequest or traveller"));
    }

    if (parser.isSet(o.count)) {
        // Only a plain decimal: a script that passes "abc" or "1e-9" has made a mistake that an
        // empty rabble would hide. A fraction is cut when the rabble is made, as in the window.
        const QString value = parser.value(o.count);
        if (!IsPlainDecimal(value))
            return BadValue(QStringLiteral("count"), value,
                            QStringLiteral("a number from 0 to %1").arg(MaxMembers));
        const float howMany = static_cast<float>(QLocale::c().toDouble(value));
        if (!HowManyFits(howMany))
            return QStringLiteral("--count %1 is too many: at most %2 fighters")
                .arg(Quoted(value)).arg(MaxMembers);
        request.howMany = howMany;
    }

    if (parser.isSet(o.level)) {
        const QString value = parser.value(o.level);
        if (value.compare(u"random", Qt::CaseInsensitive) == 0)
            request.abilityLevel = QStringLiteral("*");
        else if (value.size() == 1 && QStringLiteral("EBGFP").contains(value.toUpper()))
            request.abilityLevel = value.toUpper();
        else
            return BadValue(QStringLiteral("level"), value, QStringLiteral("random, E, B, G, F or P"));
    }

    if (parser.isSet(o.shield)) {
        const QString value = parser.value(o.shield);
        if (value.compare(u"random", Qt::CaseInsensitive) == 0)
            request.shieldChoice = QStringLiteral("*");
        else if (value.compare(u"always", Qt::CaseInsensitive) == 0)
            request.shieldChoice = QStringLiteral("Y");
        else if (value.compare(u"never", Qt::CaseInsensitive) == 0)
            request.shieldChoice = QStringLiteral("N");
        else
            return BadValue(QStringLiteral("shield"), value, QStringLiteral("random, always or never"));
    }

    if (parser.isSet(o.missile)) {
        const QString value = parser.value(o.missile);
        if (value.size() != 1 || !value[0].isDigit() || value[0].unicode() > u'9')
            return BadValue(QStringLiteral("missile"), value, QStringLiteral("a digit 0 to 9"));
        request.missileOdds = static_cast<qint16>(value[0].unicode() - u'0');
    }

    request.forceWeapon = parser.isSet(o.weapon);
    if (!request.forceWeapon && (parser.isSet(o.damage) || parser.isSet(o.rank)))
        return QStringLiteral("--damage and --rank describe a forced weapon: give --weapon too");
    if (request.forceWeapon) {
        request.forcedWeapon = parser.value(o.weapon);
        // "*" in the first place means "no forced weapon" to the generators.
        if (request.forcedWeapon.startsWith(u'*'))
            return BadValue(QStringLiteral("weapon"), request.forcedWeapon,
                            QStringLiteral("a name that does not start with \"*\""));
        request.weaponDamage = parser.value(o.damage);
        // An empty or non-numeric rank reads as 0, as an empty SR/PEN box does.
        const QString value = parser.value(o.rank);
        const double rank = RoundHalfEven(NumericValue(value));
        if (!(rank >= std::numeric_limits<qint16>::min() && rank <= std::numeric_limits<qint16>::max()))
            return BadValue(QStringLiteral("rank"), value,
                            QStringLiteral("a number from -32768 to 32767"));
        request.weaponRank = static_cast<qint16>(rank);
    }

    if (parser.isSet(o.table)) {
        request.table = parser.value(o.table);
        if (request.table.isEmpty())
            return QStringLiteral("--table needs a file name");
    }
    if (parser.isSet(o.dataDir)) {
        request.dataDir = parser.value(o.dataDir);
        if (request.dataDir.isEmpty())
            return QStringLiteral("--data-dir needs a directory");
        const QFileInfo info(request.dataDir);
        if (!info.exists())
            return QStringLiteral("data directory %1 does not exist").arg(Quoted(request.dataDir));
        if (!info.isDir())
            return QStringLiteral("data directory %1 is not a directory").arg(Quoted(request.dataDir));
    }

    if (parser.isSet(o.heading))
        request.heading = parser.value(o.heading);

    if (parser.isSet(o.format)) {
        const QString value = parser.value(o.format).toLower();
        if (value == u"listing")
            request.format = OutputFormat::Listing;
        else if (value == u"json")
            request.format = OutputFormat::Json;
        else if (value == u"rbl")
            request.format = OutputFormat::Rbl;
        else if (value == u"htm")
            request.format = OutputFormat::Htm;
        else if (value == u"csv")
            request.format = OutputFormat::Csv;
        else if (value == u"summary")
            request.format = OutputFormat::Summary;
        else
            return BadValue(QStringLiteral("format"), parser.value(o.format),
                            QStringLiteral("listing, json, rbl, htm, csv or summary"));
    }

    if (parser.isSet(o.output)) {
        request.output = parser.value(o.output);
        if (request.output.isEmpty())
            return QStringLiteral("--output needs a file name");
        if (request.output == u"-")
            request.output.clear();   // the usual spelling of standard output
    }

    if (parser.isSet(o.seed)) {
        const QString value = parser.value(o.seed);
        bool ok = !value.isEmpty();
        for (const QChar c : value)
            ok = ok && c >= u'0' && c <= u'9';
        const quint64 seed = ok ? value.toULongLong(&ok) : 0;
        if (!ok)
            return BadValue(QStringLiteral("seed"), value,
                            QStringLiteral("a whole number from 0 to 18446744073709551615"));
        request.seed = seed;
    }
    return std::nullopt;
}

QString DataDirectory(const GenerateRequest &request, std::FILE *err)
{
    if (!request.dataDir.isEmpty())
        return AddBackslash(request.dataDir);
    StartupContext context;
    context.environment = QProcess::systemEnvironment();
    context.currentDirectory = QDir::currentPath();
    context.programDataDirectory = ProgramDataDirectory();
    context.mayWriteIni = false;   // a script's run must leave the user's configuration alone
    const DataLocation location = LocateDataDirectory(context);
    if (!location.firstRunNotice.isEmpty())
        WriteLine(err, location.firstRunNotice);   // a stale INI: worth a word, not a stop
    return location.dbLoc;
}

// A table named on the command line is looked for as given first; a bare relative name that is
// not there is also looked for in the data directory, where the tables usually are.
QString TableToLoad(const GenerateRequest &request, const QString &dbLoc)
{
    if (request.table.isEmpty()) {
        return TablePath(dbLoc, QString::fromUtf16(request.system == GameSystem::Traveller
                                                       ? TravellerTableName
                                                       : RuneQuestTableName));
    }
    if (QFileInfo(ResolveFileName(request.table)).isFile() || QFileInfo(request.table).isAbsolute()
        || dbLoc.isEmpty())
        return request.table;
    const QString inData = TablePath(dbLoc, request.table);
    return QFileInfo(ResolveFileName(inData)).isFile() ? inData : request.table;
}

void ApplyRequest(const GenerateRequest &request, Settings &settings)
{
    settings.HowMany = request.howMany;
    settings.AbilityLevel = request.abilityLevel;
    settings.ShieldChoice = request.shieldChoice;
    settings.MissileOdds = request.missileOdds;
    if (request.forceWeapon) {
        settings.ForcedWeapon = request.forcedWeapon;
        settings.WeaponDamage = request.weaponDamage;
        settings.WeaponRank = request.weaponRank;
    } else {
        settings.ForcedWeapon = u"*";
        settings.WeaponDamage = u"*";
        settings.WeaponRank = 2;
    }
}

int RunGenerate(const GenerateRequest &request, std::FILE *out, std::FILE *err)
{
    auto settings = std::make_unique<Settings>();   // 1000 members: too big for the stack
    InitialiseSettings(*settings);
    settings->DBLoc = DataDirectory(request, err);

    const QString tablePath = TableToLoad(request, settings->DBLoc);
    const TableLoad loaded = LoadWeaponTable(*settings, tablePath);
    if (!loaded.ok) {
        QString reason = loaded.error;
        if (request.table.isEmpty() && settings->DBLoc.isEmpty())
            reason += QStringLiteral(" (no data directory found: give --data-dir or --table)");
        WriteLine(err, reason);
        return 2;
    }

    ApplyRequest(request, *settings);
    Dice dice(request.seed ? *request.seed : Dice::freshSeed());
    StandardErrorSink notices(err);
    const Outcome generated = GenerateRabble(request.system, *settings, dice, &notices);
    if (!generated) {
        WriteLine(err, generated.reason());
        return 2;
    }

    QByteArray bytes;
    switch (request.format) {
    case OutputFormat::Listing:
        bytes = BuildListing(request.system, *settings).toUtf8();
        break;
    case OutputFormat::Json:
        bytes = ComposeRabbleJson(request.system, dice.seed(), request.heading, *settings);
        break;
    case OutputFormat::Rbl:
        bytes = ComposeListingFile(request.system, FileFormat::Rbl, *settings, request.heading);
        break;
    case OutputFormat::Htm:
        bytes = ComposeListingFile(request.system, FileFormat::Htm, *settings, request.heading);
        break;
    case OutputFormat::Csv:
        bytes = ComposeCsv(request.system, *settings);
        break;
    case OutputFormat::Summary:
        bytes = BuildSummary(request.system, *settings).toUtf8();
        break;
    }

    if (!request.output.isEmpty()) {
        const Outcome saved = SaveFileAtomically(request.output, bytes);
        if (!saved) {
            WriteLine(err, saved.reason());
            return 2;
        }
        return 0;
    }
    if (!WriteBytes(out, bytes)) {
        WriteLine(err, QStringLiteral("could not write to standard output"));
        return 2;
    }
    return 0;
}

QString HelpText(QCommandLineParser &parser, const QString &programPath)
{
    // The usage line names the program as it is typed, not by the path it was started from.
    QString text = parser.helpText();
    if (!programPath.isEmpty()) {
        const qsizetype at = text.indexOf(programPath);
        if (at >= 0)
            text.replace(at, programPath.size(), QFileInfo(programPath).fileName());
    }
    return text + FormatsAndTablesHelp()
           + QStringLiteral("\nWith no arguments, throngkit opens its windows.\n");
}

QString VersionText()
{
    const QString title =
        TitleFor(ProgramVersion(version::Major, version::Minor, version::Revision));
    return QStringLiteral("%1 (%2)\n").arg(title, QString::fromLatin1(version::Text));
}

} // namespace

bool WantsCommandLine(const QStringList &arguments)
{
    if (arguments.isEmpty())
        return false;
    // A first word that is not an option is a command, known or not: the command line reports
    // an unknown one rather than opening the windows. Options alone (such as Qt's own -style)
    // still reach the desktop, except the ones asking for help or the version.
    if (!arguments.first().startsWith(u'-'))
        return true;
    for (const QString &argument : arguments) {
        if (argument == u"--")
            break;
        if (argument == u"-h" || argument == u"--help" || argument == u"-?"
            || argument == u"-v" || argument == u"--version")
            return true;
    }
    return false;
}

int RunCommandLine(const QStringList &arguments, std::FILE *out, std::FILE *err)
{
    // The table check has options of its own, so it is parsed apart from generate's.
    if (arguments.value(1) == u"tables") {
        const CommandResult checked = RunTablesCommand(arguments, DataDirectory(GenerateRequest(), err));
        if (!checked.error.isEmpty())
            WriteLine(err, checked.error);
        if (!WriteBytes(out, checked.out)) {
            WriteLine(err, QStringLiteral("could not write to standard output"));
            return 2;
        }
        return checked.status;
    }

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Generates a rabble of fighters for RuneQuest or Traveller."));
    parser.addPositionalArgument(
        GenerateCommand,
        QStringLiteral("Make a rabble and write it to standard output or to --output."),
        QStringLiteral("generate [options]"));
    const Options options;
    options.addTo(parser);

    if (!parser.parse(arguments)) {
        WriteLine(err, parser.errorText());
        return 2;
    }
    if (parser.isSet(options.help)) {
        WriteBytes(out, HelpText(parser, QCoreApplication::arguments().value(0)).toUtf8());
        return 0;
    }
    if (parser.isSet(options.version)) {
        WriteBytes(out, VersionText().toUtf8());
        return 0;
    }

    const QStringList words = parser.positionalArguments();
    if (words.isEmpty()) {
        WriteLine(err, QStringLiteral("no command given: use \"generate\" (see --help)"));
        return 2;
    }
    if (words.first() != GenerateCommand) {
        WriteLine(err, QStringLiteral("unknown command %1 (see --help)").arg(Quoted(words.first())));
        return 2;
    }
    if (words.size() > 1) {
        WriteLine(err, QStringLiteral("unexpected argument %1").arg(Quoted(words.at(1))));
        return 2;
    }

    GenerateRequest request;
    if (const auto problem = ReadRequest(parser, options, request)) {
        WriteLine(err, *problem);
        return 2;
    }
    return RunGenerate(request, out, err);
}

} // namespace throngkit
