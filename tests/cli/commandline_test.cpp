#include "cli/commandline.h"
#include "tests/support/testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QProcess>

#include <functional>

#include <gtest/gtest.h>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>
#endif

using namespace throngkit;
using namespace throngkit::test;

namespace {

struct Capture   // a stream whose bytes are kept, binary as the program's are
{
    std::FILE *file = std::tmpfile();
    QByteArray take()
    {
        QByteArray bytes(qsizetype(std::ftell(file)), '\0');
        std::rewind(file);
        bytes.truncate(qsizetype(std::fread(bytes.data(), 1, size_t(bytes.size()), file)));
        std::fclose(file);
        return bytes;
    }
};

struct CommandRun { int status = -1; QByteArray out, err; };

// Runs the command as main() does: the program named by a full path, as a shell passes it,
// which the help texts must cut to the program's name.
CommandRun Command(const QStringList &arguments, std::FILE *out = nullptr)
{
    static int argc = 1;
    static char name[] = "/opt/elsewhere/bin/throngkit", *argv[] = {name, nullptr};
    [[maybe_unused]] static const auto *application = new QCoreApplication(argc, argv);
    Capture captured, err;
    const int status = RunCommandLine(QCoreApplication::arguments() + arguments, out ? out : captured.file, err.file);
    return {status, captured.take(), err.take()};
}

// A run as the transcripts write it: the status, the standard output and, after "2> ", the errors.
std::string Said(const CommandRun &run)
{
    return ("exit " + QByteArray::number(run.status) + '\n' + run.out + (run.err.isEmpty() ? "" : "2> " + run.err)).toStdString();
}

// Arguments written as a shell line would give them (no word holds a blank).
QStringList Args(const char *words) { return QString::fromUtf8(words).split(u' ', Qt::SkipEmptyParts); }
QStringList Generate(const char *more) { return Args("generate --data-dir") << SourceDataDirectory() << Args(more); }

// Every test gets its own home, INI directory and current directory (ctest runs each test in
// a process of its own).
struct CommandLine : ::testing::Test
{
    void SetUp() override
    {
        for (const char *name : {"HOME", "XDG_CONFIG_HOME", "WINDIR", "APPDATA"})
            qputenv(name, QFile::encodeName(m_home.path()));
        QDir::setCurrent(m_work.path());
    }

    QTemporaryDir m_home, m_work;
};

// One seeded run per system and format against its copy in tests/data/cli/, which -o saves as
// it stands; on standard output the listing and the summary end their lines the system's way
// (LF alone; CR LF, as the files do, on Windows). The
// seed is the largest there is, which the JSON must carry exactly (a double-based reader cannot
// hold it).
TEST_F(CommandLine, EveryFormatIsRepeatableAndSavedAsWritten)
{
    for (const char *system : {"runequest", "traveller"}) {
        for (const char *format : {"listing", "json", "rbl", "htm", "csv", "summary", "foundry"}) {
            SCOPED_TRACE(std::string(system) + " " + format);
            const QStringList arguments = Generate("--count 12 --seed 18446744073709551615") + QStringList{u"--system"_qs,
                QLatin1String(system), u"--format"_qs, QLatin1String(format), u"--heading"_qs, u"Say \"hi\" & <Co>\\\t\u00e9"_qs};
            const QByteArray file = ReadTestData(u"cli/"_qs + QLatin1String(system) + u'.' + QLatin1String(format));
            const bool text = !OnWindows && (format == std::string("listing") || format == std::string("summary"));
            EXPECT_EQ(Said(Command(arguments)), "exit 0\n" + (text ? QByteArray(file).replace("\r\n", "\n") : file).toStdString());
            const std::string saved = Said(Command(arguments + Args("-o rabble.out")));   // before the file is read
            EXPECT_EQ(saved + ReadFile(u"rabble.out"_qs).toStdString(), "exit 0\n" + file.toStdString());
        }
    }
    // A fresh seed is reported so that the rabble can be made again.
    const CommandRun fresh = Command(Generate("--format json"));
    const qint64 seed = QJsonDocument::fromJson(fresh.out)[u"seed"].toInteger(-1);
    EXPECT_EQ(Command(Generate("--format json --seed") << QString::number(seed)).out, fresh.out);
    EXPECT_TRUE(seed >= 0 && seed < (1LL << 53)) << seed;   // where every JSON reader holds it exactly
}

// tests/data/cli/transcript.txt and stale-ini.txt hold runs of the command: a line "$ " and the
// arguments (%-escapes inside a word; {data}, {build}, {work} and {home} stand for the shipped
// tables' folder, the build's, the test's current folder and its home), then "exit" and the
// status, the standard output as written and, after "2> ", the standard error. The test makes the
// same runs and must write the same transcript: each refusal one line naming the bad value, with
// no control character; each option shown on every member; the table reports of the tables
// written below; the stale INI named where it is read; and no run leaving a file behind.
TEST_F(CommandLine, TranscriptOfRunsAndRefusals)
{
    ASSERT_TRUE(QDir(m_work.path()).mkdir(u"data"_qs));
    const QByteArray oneWeapon = "One weapon\r\n1,100,\"Clubhammer\",1D6,3\r\n";   // shows where a table came from
    for (const char *name : {"tk-wp-rq1.dat", "data/TK-WP-RQ1.DAT", "data/TK-WP-TR1.DAT"})
        WriteFile(m_work, QLatin1String(name), oneWeapon);
    WriteFile(m_work, u"data/tk-wp-extra.dat"_qs, "Extra\r\n1,100,\"Flail\",1D6,3\r\n");
    WriteFile(m_work, u"tk-wp-gap.dat"_qs, "Gappy\r\n1,10,Club,1D6,3\r\n21,100,Axe,1D8,2\r\n");
    WriteFile(m_work, u"tk-wp-broken.dat"_qs, "Broken\r\n1,10,\"Club\"\r\n");
    WriteFile(m_work, u"tk-wp-esc.dat"_qs, "Esc\r\n1\x1b]0;x\x07,100,Club,1D6,2\r\n");
    WriteFile(m_work, u"tk-wp-empty.dat"_qs, "Caption only\r\n");
    WriteFile(m_work, u"tk-wp-large.dat"_qs, "Large\r\n" + QByteArray(1024 * 1024, ' ') + "1,100,Club,1D6,2\r\n");
#ifndef Q_OS_WIN
    // Special files made here in the test's own folder, never the machine's /dev.
    ASSERT_EQ(::mkfifo("tk-wp-fifo.dat", 0600) + ::mkfifo("fifo.out", 0600), 0);   // opening them must not hang
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{AF_UNIX, "socket.out"};
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    // A device node where that is allowed (root), else one more FIFO.
    ASSERT_TRUE(::mknod("null.out", S_IFCHR | 0600, makedev(1, 3)) == 0 || ::mkfifo("null.out", 0600) == 0);
#endif

    const QStringList made = Entries(m_work.path());
    QList<std::pair<QByteArray, QByteArray>> places = {{"{data}", QFile::encodeName(SourceDataDirectory())},
        {"{build}", THRONGKIT_BINARY_DIR}, {"{work}", QFile::encodeName(m_work.path())}, {"{home}", QFile::encodeName(m_home.path())}};
    for (qsizetype i = 0, n = places.size(); i < n; ++i)   // as messages show them
        places.append({places[i].first, QFile::encodeName(QDir::toNativeSeparators(QFile::decodeName(places[i].second)))});
#ifdef Q_OS_WIN   // whose words Wine does not share
    places += {{"{no file}", NoSuchFile().toUtf8()}, {"{no path}", NoSuchFolder().toUtf8()}};
#endif
    // Windows': devices by name in place of FIFOs and sockets, paths as Windows writes them.
    const QString system = OnWindows ? u"-windows"_qs : QString();
    const auto replay = [&](const QString &stem) {
        const QString name = stem + system + u".txt"_qs;
        const QByteArray golden = ReadTestData(u"cli/"_qs + name);
        QByteArray transcript;
        for (const QByteArray &line : golden.split('\n')) {
            if (!line.startsWith("$ "))
                continue;
            QStringList arguments;
            for (const QByteArray &word : line.mid(2).split(' ')) {
                QByteArray argument = QByteArray::fromPercentEncoding(word);
                for (const auto &[mark, path] : places)
                    argument.replace(mark, path);
                arguments << QString::fromUtf8(argument);
            }
            QByteArray said = QByteArray::fromStdString(Said(Command(arguments)));
            for (const auto &[mark, path] : places)
                said.replace(path, mark);
            transcript += line + '\n' + said;
            EXPECT_EQ(Entries(m_work.path()), made) << line.constData();   // no run leaves a file behind
        }
        EXPECT_EQ(transcript.toStdString(), golden.toStdString()) << name.toStdString();
    };
    replay(u"transcript"_qs);
#ifndef Q_OS_WIN
    ::close(listener);
    for (const char *path : {"fifo.out", "socket.out", "null.out"})   // refused, and left as they were
        EXPECT_TRUE(QFileInfo::exists(path) && !QFileInfo(path).isFile()) << path;
#endif
    // None of the runs wrote the INI, not even the one that found the table in the current folder.
    EXPECT_EQ(Entries(m_home.path()), QStringList{});
    // A stale INI is worth a word where it is read, and nothing where a directory is given.
    WriteFile(m_home, u"Throngkit.ini"_qs, "dbloc=/no/such/folder/\r\n");
    replay(u"stale-ini"_qs);

    // An INI that cannot be read is said once, and the run goes on with the program's own tables.
    const QString ini = m_home.filePath(u"Throngkit.ini"_qs);
    const struct { const char *name; std::function<bool()> make; const char *why; } refused[] = {
#ifndef Q_OS_WIN
        {"a FIFO", [&] { return ::mkfifo(QFile::encodeName(ini), 0600) == 0; }, "it is not a regular file"},
        {"a link to a device", [&] { return QFile::link(m_work.filePath(u"null.out"_qs), ini); }, "it is not a regular file"},
        {"a link loop", [&] { return QFile::link(ini, ini); }, "Too many levels of symbolic links"},
#endif
        {"a folder", [&] { return QDir().mkdir(ini); }, "it is a directory"},
        {"past 1 MiB", [&] { WriteFile(m_home, u"Throngkit.ini"_qs, QByteArray(1024 * 1024 + 1, ';')); return true; },
         "it is too large (more than 1024 KiB)"},
    };
    QFile::remove(ini);
    const QByteArray listing = Command(Args("generate --count 1 --seed 5")).out;   // as with no INI at all
    for (const auto &c : refused) {
        SCOPED_TRACE(c.name);
        QFile::remove(ini);
        QDir(ini).removeRecursively();
        ASSERT_TRUE(c.make());
        const CommandRun run = Command(Args("generate --count 1 --seed 5"));
        EXPECT_EQ(run.out.toStdString(), listing.toStdString());
        EXPECT_EQ(run.err.toStdString(), ("throngkit: " + QFile::encodeName(QDir::toNativeSeparators(ini)) + " cannot be read (" + c.why
                                          + "), so it is ignored.\n").toStdString());
    }
}

#ifndef Q_OS_WIN
// Every format, small and large, against a file-size limit: the command fails with the
// system's reason, and the file it was to replace and its folder stay as they were.
TEST_F(CommandLine, ASaveThatDoesNotFitKeepsTheOldFile)
{
    for (const char *format : {"listing", "json", "rbl", "htm", "csv", "summary", "foundry"}) {
        for (const char *count : {"10", "1000"}) {
            SCOPED_TRACE(std::string(format) + " " + count);
            const QStringList arguments = Generate("--seed 5 --format") << QLatin1String(format) << u"--count"_qs << QLatin1String(count);
            WriteFile(m_work, u"keep.out"_qs, "OLD\n");
            const auto reported = InChildProcess([&] { return QString::fromStdString(Said(Command(arguments + Args("-o keep.out")))); },
                                                 long(Command(arguments).out.size() / 2));
            EXPECT_EQ(reported, u"exit 2\n2> throngkit: Cannot save \"keep.out\": File too large\n"_qs);
            EXPECT_EQ(ReadFile(u"keep.out"_qs), "OLD\n");
            EXPECT_EQ(Entries(m_work.path()), QStringList{u"keep.out"_qs});
        }
    }
}

// A spreadsheet reads the csv back cell for cell as the json has it (Python's csv module is
// the reader); a forced name holding a comma, a quote and a line break survives the trip.
TEST_F(CommandLine, CsvReadsBackAsTheJson)
{
    static const char check[] = R"(import csv, json, sys
rows = list(csv.reader(open(sys.argv[1], newline='', encoding='utf-8')))
members = json.load(open(sys.argv[2], encoding='utf-8'))['members']
cells = [[v.rstrip(' ') if isinstance(v, str) else str(v) for v in m.values()] for m in members]
assert rows == [list(members[0].keys())] + cells, (rows, cells)
)";
    for (const QStringList &more : {Args("--count 300"), Args("--system traveller --count 300"),
                                    QStringList{u"--weapon"_qs, u"A,\"b\"\nc"_qs, u"--count"_qs, u"3"_qs}}) {
        SCOPED_TRACE(more.join(u' ').toStdString());
        const QStringList base = Generate("--seed 7") + more;
        ASSERT_EQ(Command(base + Args("--format csv -o rabble.csv")).status, 0);
        ASSERT_EQ(Command(base + Args("--format json -o rabble.json")).status, 0);
        EXPECT_EQ(QProcess::execute(u"python3"_qs, {u"-c"_qs, QString::fromLatin1(check), u"rabble.csv"_qs, u"rabble.json"_qs}), 0);
    }
}

// Output nobody takes is a failure with the system's reason: a pipe whose reader has gone, and
// a full device (made here; a FIFO when mknod is not allowed, whose reader goes too).
TEST_F(CommandLine, OutputThatCannotBeWrittenSaysWhy)
{
    const bool device = ::mknod("full", S_IFCHR | 0600, makedev(1, 7)) == 0;
    for (const QStringList &arguments : {Args("--help"), Args("--version"), Generate(""),
                                         Args("tables --data-dir") << SourceDataDirectory()}) {
        SCOPED_TRACE(arguments.join(u' ').toStdString());
        int ends[2];
        ASSERT_EQ(::pipe(ends), 0);
        ::close(ends[0]);
        std::FILE *gone = ::fdopen(ends[1], "w");
        EXPECT_EQ(Said(Command(arguments, gone)), "exit 2\n2> throngkit: could not write to standard output: Broken pipe\n");
        std::fclose(gone);
        if (device) {
            std::FILE *full = std::fopen("full", "w");
            EXPECT_EQ(Said(Command(arguments, full)), "exit 2\n2> throngkit: could not write to standard output: No space left on device\n");
            std::fclose(full);
        }
    }
}

#endif

// The help fits a terminal of 80 columns, as the program's and as the tables command's.
TEST_F(CommandLine, HelpFitsSeventyNineColumns)
{
    for (const char *arguments : {"--help", "tables --help"}) {
        const QByteArray help = Command(Args(arguments)).out;
        for (const QByteArray &line : help.split('\n'))
            EXPECT_LE(line.size(), 79) << arguments << ": " << line.constData();
        EXPECT_GT(help.count('\n'), 10) << arguments;
    }
}

} // namespace
