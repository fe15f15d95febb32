#include "cli/commandline.h"

#include "cli/generateoptions.h"
#include "cli/helptext.h"
#include "cli/tablescommand.h"
#include "core/dice.h"
#include "core/messagesink.h"
#include "core/request.h"
#include "core/safefiles.h"
#include "core/settings.h"
#include "generate/generators.h"
#include "listing/outputformats.h"
#include "session/startup.h"

#include <throngkit/version.h>

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <memory>

namespace throngkit {
namespace {

const QString GenerateCommand = QStringLiteral("generate");

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

// bytes on standard output, every one of them, or the system's reason why not.
Outcome WriteOutput(std::FILE *stream, const QByteArray &bytes)
{
    errno = 0;
    const bool written = (bytes.isEmpty()
                          || std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream)
                                 == static_cast<size_t>(bytes.size()))
                         && std::fflush(stream) == 0 && !std::ferror(stream);
    if (written)
        return Outcome::success();
    const int error = errno != 0 ? errno : EIO;
    return Outcome::failure(QStringLiteral("could not write to standard output: %1")
                                .arg(QString::fromLocal8Bit(std::strerror(error))));
}

// Text for reading goes to a terminal or a pipe with the platform's own line ends; a file of it
// keeps the CR LF of the format.
QByteArray ForStandardOutput(QByteArray bytes, LineEnds lineEnds)
{
#ifndef Q_OS_WIN
    if (lineEnds == LineEnds::CrlfInFiles)
        bytes.replace("\r\n", "\n");
#else
    Q_UNUSED(lineEnds);
#endif
    return bytes;
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

// Where the tables are, as start-up finds it or as --data-dir names it. The command never
// writes the INI: a script's run must leave the user's configuration alone.
StartupContext CommandContext(const GenerateRequest &request)
{
    StartupContext context = ProcessStartupContext(FirstRunIni::LeaveAlone);
    context.dataDirectory = request.dataDir;
    return context;
}

QString DataDirectory(const GenerateRequest &request, std::FILE *err)
{
    const DataLocation location = LocateDataDirectory(CommandContext(request));
    if (!location.firstRunNotice.isEmpty())
        WriteLine(err, location.firstRunNotice);   // a stale INI: worth a word, not a stop
    return location.dbLoc;
}

int RunGenerate(const GenerateRequest &request, std::FILE *out, std::FILE *err)
{
    const RabbleRequest &rabble = request.rabble;
    // 1000 members: too big for the stack. Every field has its initial value written, so the
    // storage need not be zeroed first.
    auto settings = std::make_unique_for_overwrite<Settings>();
    const StartupReport started =
        RunStartup(*settings, CommandContext(request), rabble.system, rabble.table);
    if (!started.firstRunNotice.isEmpty())
        WriteLine(err, started.firstRunNotice);   // a stale INI: worth a word, not a stop
    if (!started.table) {
        QString reason = started.table.reason();
        if (rabble.table.isEmpty() && settings->DBLoc.isEmpty())
            reason += QStringLiteral(" (no data directory found: give --data-dir or --table)");
        WriteLine(err, reason);
        return 2;
    }

    // Checked with the options already; a refusal here would still be said, never passed over.
    if (const Outcome applied = ApplyRequest(rabble, *settings); !applied) {
        WriteLine(err, applied.reason());
        return 2;
    }
    Dice dice(request.seed ? *request.seed : Dice::freshSeed());
    StandardErrorSink notices(err);
    const Outcome generated = GenerateRabble(rabble.system, *settings, dice, &notices);
    if (!generated) {
        WriteLine(err, generated.reason());
        return 2;
    }

    const RabbleOutput output{rabble.system, *settings, rabble.heading, dice.seed()};
    if (!request.output.isEmpty()) {
        const Outcome saved = SaveOutput(rabble.format, output, request.output);
        if (!saved) {
            WriteLine(err, saved.reason());
            return 2;
        }
        return 0;
    }
    const QByteArray bytes = ForStandardOutput(ComposeOutput(rabble.format, output),
                                               FormatInfo(rabble.format).lineEnds);
    if (const Outcome written = WriteOutput(out, bytes); !written) {
        WriteLine(err, written.reason());
        return 2;
    }
    return 0;
}

QString HelpText(QCommandLineParser &parser, const QString &programPath)
{
    return NamedAsTyped(parser.helpText(), programPath) + FormatsAndTablesHelp()
           + QStringLiteral("\nWith no arguments, throngkit opens its windows.\n");
}

QString VersionText()
{
    const QString title =
        TitleFor(ProgramVersion(version::Major, version::Minor, version::Revision));
    return QStringLiteral("%1 (%2)\n").arg(title, QString::fromLatin1(version::Text));
}

} // namespace

int RunCommandLine(const QStringList &arguments, std::FILE *out, std::FILE *err)
{
#ifdef SIGPIPE
    // A reader that goes away mid-listing is a failed write to be said, not a silent death.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    // The table check has options of its own, so it is parsed apart from generate's.
    if (arguments.value(1) == u"tables") {
        const Result<TablesReport> checked =
            RunTablesCommand(arguments, [err] { return DataDirectory(GenerateRequest(), err); });
        if (!checked) {
            WriteLine(err, checked.reason());
            return 2;
        }
        if (!checked.value().problem.isEmpty())
            WriteLine(err, checked.value().problem);
        if (const Outcome written = WriteOutput(out, checked.value().text); !written) {
            WriteLine(err, written.reason());
            return 2;
        }
        return checked.value().sound ? 0 : 1;
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

    // "-style" is one unknown option, not five letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    if (!parser.parse(arguments)) {
        WriteLine(err, ParserError(parser, arguments));
        return 2;
    }
    if (parser.isSet(options.help) || parser.isSet(options.version)) {
        const QString text = parser.isSet(options.help)
                                 ? HelpText(parser, QCoreApplication::arguments().value(0))
                                 : VersionText();
        if (const Outcome written = WriteOutput(out, text.toUtf8()); !written) {
            WriteLine(err, written.reason());
            return 2;
        }
        return 0;
    }

    const QStringList words = parser.positionalArguments();
    if (words.isEmpty()) {
        WriteLine(err, QStringLiteral("no command given: use \"generate\" (see --help)"));
        return 2;
    }
    if (words.first() != GenerateCommand) {
        WriteLine(err, QStringLiteral("unknown command %1 (see --help)").arg(QuotedText(words.first())));
        return 2;
    }
    if (words.size() > 1) {
        WriteLine(err, QStringLiteral("unexpected argument %1").arg(QuotedText(words.at(1))));
        return 2;
    }

    GenerateRequest request;
    if (const Outcome checked = ReadGenerateOptions(parser, options, request); !checked) {
        WriteLine(err, checked.reason());
        return 2;
    }
    return RunGenerate(request, out, err);
}

} // namespace throngkit
