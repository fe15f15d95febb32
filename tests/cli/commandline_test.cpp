#include "cli/commandline.h"
#include "tests/support/testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

using namespace throngkit;
using namespace throngkit::test;

namespace {

struct CommandRun { int status = -1; QByteArray out, err; };

struct Capture   // a stream whose bytes are kept in memory
{
    char *data = nullptr;
    size_t size = 0;
    std::FILE *file = ::open_memstream(&data, &size);
    QByteArray take() { std::fclose(file); QByteArray b(data, qsizetype(size)); std::free(data); return b; }
};

CommandRun Command(const QStringList &arguments)
{
    // The command needs the application object that main() gives it. The program is named by a
    // full path, as a shell passes it, which --help must cut to the program's name.
    static int argc = 1;
    static char name[] = "/opt/elsewhere/bin/throngkit";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
    Capture out, err;
    const int status = RunCommandLine(QStringList{u"throngkit"_qs} + arguments, out.file, err.file);
    return {status, out.take(), err.take()};
}

// Arguments written as a shell line would give them (no word holds a blank).
QStringList Args(const char *words) { return QString::fromUtf8(words).split(u' ', Qt::SkipEmptyParts); }
QStringList Generate(const QStringList &more) { return Args("generate --data-dir") << SourceDataDirectory() << more; }
QStringList Json(const QStringList &more) { return Generate(Args("--format json") + more); }
QJsonArray Members(const CommandRun &run) { return QJsonDocument::fromJson(run.out)[u"members"].toArray(); }

// A table with one weapon only, so that every member shows where the table came from.
const QByteArray OneWeaponTable = "One weapon\r\n1,100,\"Clubhammer\",1D6,3\r\n";

// Every test gets its own home, INI directory and current directory (ctest runs each test in
// a process of its own).
struct CommandLine : ::testing::Test
{
    void SetUp() override
    {
        for (const char *name : {"HOME", "XDG_CONFIG_HOME", "WINDIR"})
            qputenv(name, QFile::encodeName(m_home.path()));
        QDir::setCurrent(m_work.path());
    }

    QTemporaryDir m_home, m_work;
};

// One seeded run per system and format against tests/data/cli-*. Those copies were written by
// this command once its output had passed field-by-field checks: the header and one CRLF line
// per member in the listing, CRLF line ends throughout, the heading first in the .rbl and escaped
// in the page, in the JSON every member numbered and each text at its fixed width (numbers as
// numbers, five fields fewer for Traveller) and the heading read back as given. The seed is the
// largest there is, which the JSON must carry exactly (a double-based reader cannot hold it).
TEST_F(CommandLine, EveryFormatIsRepeatableAndSavedAsWritten)
{
    for (const char *system : {"runequest", "traveller"}) {
        for (const char *format : {"listing", "json", "rbl", "htm", "csv", "summary"}) {
            SCOPED_TRACE(std::string(system) + " " + format);
            const QStringList arguments = Generate(QStringList{u"--system"_qs, QLatin1String(system), u"--format"_qs,
                QLatin1String(format), u"--heading"_qs, u"Say \"hi\" & <Co>\\\t\u00e9"_qs}
                + Args("--count 12 --seed 18446744073709551615"));
            const CommandRun first = Command(arguments);
            EXPECT_TRUE(first.status == 0 && first.err.isEmpty()) << first.err.constData();
            EXPECT_EQ(first.out, ReadFile(QStringLiteral(THRONGKIT_SOURCE_DATA_DIR "/../tests/data/cli-")
                                          + QLatin1String(system) + u'.' + QLatin1String(format)));
            const CommandRun saved = Command(arguments + Args("-o rabble.out"));
            EXPECT_TRUE(saved.status == 0 && saved.out.isEmpty());
            EXPECT_EQ(ReadFile(u"rabble.out"_qs), first.out);
        }
    }
    // A fresh seed is reported so that the rabble can be made again.
    for (int run = 0; run < 4; ++run) {
        const CommandRun fresh = Command(Json({}));
        const qint64 seed = QJsonDocument::fromJson(fresh.out).object().value(u"seed").toInteger(-1);
        EXPECT_EQ(Command(Json({u"--seed"_qs, QString::number(seed)})).out, fresh.out);
        EXPECT_TRUE(seed >= 0 && seed < (1LL << 53)) << seed;   // where every JSON reader holds it exactly
    }
    EXPECT_EQ(Command(Json(Args("--count 0 --seed 5"))).out,
              "{\"system\": \"runequest\", \"seed\": 5, \"heading\": \"Throngkit Listing\", \"members\": []}\n");
}

TEST_F(CommandLine, TablesReportsEachTableAndItsProblems)
{
    // The tables go to the (temporary) home folder, which stands in for a data folder; the current
    // folder stays empty.
    WriteFile(m_home, u"tk-wp-b-gap.dat"_qs, "Gappy\r\n1,10,Club,1D6,3\r\n21,100,Axe,1D8,2\r\n");
    WriteFile(m_home, u"TK-WP-A-GOOD.DAT"_qs, "Good\r\n1,100,Club,1D6,3\r\n");
    WriteFile(m_home, u"tk-wp-c-broken.dat"_qs, "Broken\r\n1,10,\"Club\"\r\n");
    struct Case { QStringList arguments; int status; std::vector<const char *> out; const char *err; };
    const Case cases[] = {   // out: texts in this order
        {{u"--data-dir"_qs, SourceDataDirectory()}, 0,
         {"tk-wp-rq1.dat: \"Runequest Standard\", 11 rows", "    1  1-10        Dagger      1D4+2        3   10.0%",
          "  Sound: every roll from 1 to 100 draws a weapon.", "tk-wp-tr3.dat", "6 tables checked: all sound."}, ""},
        {{u"--data-dir"_qs, m_home.path()}, 1,
         {"TK-WP-A-GOOD.DAT", "tk-wp-b-gap.dat: \"Gappy\", 2 rows", "Problem: Rolls 11 to 20 draw no weapon.",
          "tk-wp-c-broken.dat: refused by the loader", "line 2: the file ends in the middle of a row",
          "3 tables checked: 2 with problems: tk-wp-b-gap.dat, tk-wp-c-broken.dat."}, ""},
        // A bare name is looked for in the data directory as well.
        {{u"--data-dir"_qs, m_home.path(), u"tk-wp-b-gap.dat"_qs}, 1, {"Gappy", "1 table checked: 1 with problems"}, ""},
        {Args("no-such-table.dat"), 1, {"no-such-table.dat: refused by the loader", "cannot be opened"}, ""},
        {Args("--data-dir ."), 1, {}, "throngkit: no weapon tables"},
        {Args("--data-dir missing"), 2, {}, "missing"},
        {Args("--help"), 0, {"tables [--data-dir dir] [file...]", "--data-dir"}, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const CommandRun run = Command(Args("tables") + c.arguments);
        EXPECT_EQ(run.status, c.status) << run.err.constData();
        qsizetype from = 0;
        for (const char *text : c.out)
            EXPECT_GE(from = run.out.indexOf(text, from), 0) << text << " in:\n" << run.out.constData();
        EXPECT_TRUE(run.err.contains(c.err) && run.err.isEmpty() == !*c.err) << run.err.constData();
    }
    // A directory given is the one checked: a stale INI elsewhere has nothing to say about it.
    WriteFile(m_home, u"Throngkit.ini"_qs, "dbloc=/no/such/folder/\r\n");
    const CommandRun given = Command(Args("tables --data-dir") + QStringList{SourceDataDirectory()});
    EXPECT_TRUE(given.status == 0 && given.err.isEmpty()) << given.err.constData();
    const CommandRun file = Command(Args("tables --data-dir") + QStringList{m_home.filePath(u"Throngkit.ini"_qs)});
    EXPECT_TRUE(file.status == 2 && file.err.contains("is not a directory")) << file.err.constData();
}

// Each option reaches every member; tables are found whatever their names' case, in a directory
// given or, a bare --table name, there too. The last run has no INI and the table in the current
// directory, the first run that the windows would answer by writing the INI: the command uses the
// directory and writes nothing.
TEST_F(CommandLine, OptionsReachEveryMemberAndTheIniIsNeverWritten)
{
    QTemporaryDir data;
    WriteFile(data, u"TK-WP-RQ1.DAT"_qs, OneWeaponTable);
    WriteFile(data, u"TK-WP-TR1.DAT"_qs, OneWeaponTable);
    WriteFile(data, u"tk-wp-extra.dat"_qs, "Extra\r\n1,100,\"Flail\",1D6,3\r\n");
    WriteFile(m_work, u"tk-wp-rq1.dat"_qs, OneWeaponTable);
    const QStringList dir = Args("generate --format json -o - --data-dir") << data.path();
    const QJsonObject club{{u"weapon"_qs, u"Clubhammer"_qs}};
    const std::tuple<QStringList, qsizetype, QJsonObject> cases[] = {   // the members, what each must show
        {Json({}), 10, {}}, {Json(Args("--count 10.7")), 10, {}},
        {Json(Args("--count 1000.0000001")), 1000, {}},   // 1000 as the box's float holds it
        {Json(Args("--level e")), 10, {{u"level"_qs, u"E"_qs}}},
        {Json(Args("--level P --system Traveller")), 10, {{u"level"_qs, u"P"_qs}}},
        {Json(Args("--missile 0")), 10, {{u"missile"_qs, 0}, {u"missileType"_qs, u" "_qs}}},
        {Json(Args("--shield never --count 300")), 300, {{u"parryWith"_qs, u"Wp"_qs}}},
        {Json(Args("--shield Always --weapon Mace --count 300")), 300, {{u"parryWith"_qs, u"Sh"_qs}}},
        {Json({u"--weapon"_qs, u"Greatclub of doom"_qs}), 10, {{u"weapon"_qs, u"Greatclub "_qs}}},
        // The rank is rounded half to even, as the SR/PEN box is read; the damage holds six.
        {Json(Args("--weapon Mace --damage 2D6+1D4 --rank -1.5 --system traveller")), 10,
         {{u"weapon"_qs, u"Mace      "_qs}, {u"damage"_qs, u"2D6+1D    "_qs}, {u"strikeRank"_qs, u"-2 "_qs}}},
        {dir + Args("--system runequest"), 10, club}, {dir + Args("--system traveller"), 10, club},
        {dir + Args("--table TK-WP-EXTRA.DAT"), 10, {{u"weapon"_qs, u"Flail     "_qs}}},
        {Args("generate --format json"), 10, club},
    };
    for (const auto &[arguments, count, every] : cases) {
        SCOPED_TRACE(arguments.join(u' ').toStdString());
        const QJsonArray members = Members(Command(arguments + Args("--seed 5")));
        EXPECT_EQ(members.size(), count);
        for (const QJsonValue &member : members)
            for (auto field = every.begin(); field != every.end(); ++field)
                EXPECT_EQ(member.toObject().value(field.key()), field.value()) << field.key().toStdString();
    }
    EXPECT_TRUE(QDir(m_home.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
}

TEST_F(CommandLine, BadInputIsOneLineOnStandardErrorExitTwoAndNoFile)
{
    const QString broken = WriteFile(m_work, u"tk-wp-broken.dat"_qs, "Broken\r\n1,10,\"Club\"\r\n");
    const QString escaping = WriteFile(m_work, u"tk-wp-esc.dat"_qs, "Esc\r\n1\x1b]0;x\x07,100,Club,1D6,2\r\n");
    const QString empty = WriteFile(m_work, u"tk-wp-empty.dat"_qs, "Caption only\r\n");
    const QString tooLarge = WriteFile(m_work, u"tk-wp-large.dat"_qs,
                                       "Large\r\n" + QByteArray(1024 * 1024, ' ') + "1,100,Club,1D6,2\r\n");
    // Special files made here in the test's own folder (the current one), never the machine's /dev.
    ASSERT_EQ(::mkfifo("tk-wp-fifo.dat", 0600) + ::mkfifo("fifo.out", 0600), 0);   // opening them must not hang
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{AF_UNIX, "socket.out"};
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    // A device node where that is allowed (root), else one more FIFO.
    ASSERT_TRUE(::mknod("null.out", S_IFCHR | 0600, makedev(1, 3)) == 0 || ::mkfifo("null.out", 0600) == 0);
    std::vector<std::pair<QStringList, QByteArray>> cases{   // the arguments, what the line names
        {Args("--bogus"), "bogus"}, {Args("--system dnd"), "dnd"}, {Args("--weapon *Club"), "*Club"},
        {{u"--bo\r\ngus\nx"_qs}, "'bo gus x'"},   // line breaks in a message are written as blanks
        {Args("--level X"), "level"}, {Args("--level EB"), "level"}, {Args("--shield sometimes"), "shield"},
        {Args("--missile 10"), "missile"}, {Args("--seed -1"), "seed"}, {Args("--seed 12a"), "seed"},
        {Args("--seed 18446744073709551616"), "seed"}, {Args("--format pdf"), "pdf"}, {Args("extra"), "extra"},
        {Args("--weapon Mace --rank 40000"), "rank"}, {Args("--damage 1D6"), "--weapon"},
        {Args("--rank 3"), "--weapon"},
        {Args("--table no-such-table.dat"), "no-such-table.dat"}, {{u"--table"_qs, broken}, "tk-wp-broken.dat"},
        {Args("--data-dir missing"), "missing"}, {{u"--data-dir"_qs, broken}, "is not a directory"},
        {Args("--table tk-wp-fifo.dat"), "not a regular file"}, {{u"--table"_qs, tooLarge}, "too large"},
        {{u"--table"_qs, escaping}, "\"1\\x1B]0;x\\x07\""},   // control characters escaped, never raw
        {{u"--table"_qs, empty}, "holds no weapons"},   // an unarmed rabble is no rabble
        // Output that is not a regular file is refused and left as it is.
        {Args("-o fifo.out"), "fifo.out"}, {Args("-o socket.out"), "socket.out"}, {Args("-o null.out"), "null.out"},
        {{u"-o"_qs, m_work.path()}, QFile::encodeName(m_work.path())}, {Args("-o no-such-dir/out.rbl"), "no-such-dir"},
    };
    for (const char *count :
         {"1001", "1e9", "1000.5", "abc", "", "nan", "inf", "-5", "0x10", "1e-9", "1,000", "1..2", "1 2"})
        cases.push_back({{u"--count"_qs, QString::fromLatin1(count)}, "--count"});
    for (auto &[arguments, named] : cases)   // a later -o replaces the first
        arguments = Generate(Args("-o out.txt") + arguments);
    cases.push_back({Args("generat"), "unknown command \"generat\""});
    cases.push_back({Args("--count 5"), "no command given"});
    for (const auto &[arguments, named] : cases) {
        SCOPED_TRACE(arguments.join(u' ').toStdString());
        const CommandRun run = Command(arguments);
        EXPECT_TRUE(run.status == 2 && run.out.isEmpty() && !QFile::exists(u"out.txt"_qs));
        EXPECT_TRUE(run.err.startsWith("throngkit: ") && run.err.indexOf('\n') == run.err.size() - 1
                    && run.err.contains(named) && !run.err.contains('\x1b')) << run.err.constData();
    }
    ::close(listener);
    EXPECT_FALSE(QFile::exists(u"no-such-dir"_qs));
    for (const char *path : {"fifo.out", "socket.out", "null.out"})   // no file in their place
        EXPECT_TRUE(QFileInfo::exists(path) && !QFileInfo(path).isFile()) << path;
}

// Every format, small and large, against a file-size limit: the command fails with the
// system's reason, and the file it was to replace and its folder stay as they were.
TEST_F(CommandLine, ASaveThatDoesNotFitKeepsTheOldFile)
{
    const QString target = m_work.filePath(u"keep.out"_qs);
    for (const char *format : {"listing", "json", "rbl", "htm", "csv", "summary"}) {
        for (const char *count : {"10", "1000"}) {
            SCOPED_TRACE(std::string(format) + " " + count);
            const QStringList arguments = Generate(Args("--seed 5 --format") << QLatin1String(format) << u"--count"_qs
                                                   << QLatin1String(count));
            const qsizetype size = Command(arguments).out.size();
            WriteFile(m_work, u"keep.out"_qs, "OLD\n");
            const auto reported = WithFileSizeLimit(long(size / 2), [&] {
                const CommandRun run = Command(arguments + QStringList{u"-o"_qs, target});
                return QString::number(run.status) + u' ' + QString::fromUtf8(run.err);
            });
            const QString expected = u"2 throngkit: Cannot save \""_qs + target + u"\": File too large"_qs;
            EXPECT_EQ(reported.value_or(u""_qs).left(expected.size()), expected);
            EXPECT_EQ(ReadFile(target), "OLD\n");
            EXPECT_EQ(QDir(m_work.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                      QStringList{u"keep.out"_qs});
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
        const QStringList base = Generate(Args("--seed 7") + more);
        ASSERT_EQ(Command(base + Args("--format csv -o rabble.csv")).status, 0);
        ASSERT_EQ(Command(base + Args("--format json -o rabble.json")).status, 0);
        QProcess python;
        python.start(u"python3"_qs, {u"-c"_qs, QString::fromLatin1(check), u"rabble.csv"_qs, u"rabble.json"_qs});
        ASSERT_TRUE(python.waitForFinished(60000)) << python.errorString().toStdString();
        EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().constData();
    }
}

TEST_F(CommandLine, HelpVersionAndWhichFrontRuns)
{
    for (const char *arguments : {"--help", "generate -h"}) {
        const CommandRun help = Command(Args(arguments));
        EXPECT_TRUE(help.status == 0 && help.out.startsWith("Usage: throngkit [options] generate"))
            << help.out.constData();
        for (const char *word : {"tables", "--count", "--seed", "--format", "--output", "csv", "summary"})
            EXPECT_TRUE(help.out.contains(word)) << word;
    }
    const CommandRun version = Command(Args("--version"));
    EXPECT_TRUE(version.status == 0 && version.out.startsWith(ProgramTitle())) << version.out.constData();
    // Output that cannot be written is a failure, not a silent success.
    const QStringList data{u"--data-dir"_qs, SourceDataDirectory()};
    for (const QStringList &arguments : {Args("--help"), Args("--version"), Args("generate") + data,
                                         Args("tables") + data}) {
        SCOPED_TRACE(arguments.join(u' ').toStdString());
        char full[4];
        std::FILE *tiny = ::fmemopen(full, sizeof full, "w");
        Capture err;
        EXPECT_EQ(RunCommandLine(QStringList{u"throngkit"_qs} + arguments, tiny, err.file), 2);
        std::fclose(tiny);
        EXPECT_EQ(err.take(), "throngkit: could not write to standard output\n");
    }
    const std::pair<const char *, bool> fronts[] = {{"", false}, {"generate --count 3", true}, {"--help", true},
        {"-style fusion -?", true}, {"--version", true}, {"-v", true}, {"-style fusion", false}, {"frobnicate", true}};
    for (const auto &[arguments, commandLine] : fronts)
        EXPECT_EQ(WantsCommandLine(Args(arguments)), commandLine) << arguments;
}

} // namespace
