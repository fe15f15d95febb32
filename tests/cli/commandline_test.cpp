#include "cli/commandline.h"
#include "core/inienv.h"
#include "tests/support/testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>

#include <cstring>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

using namespace throngkit;
using throngkit::test::ReadFile;
using throngkit::test::WriteFile;

namespace {

struct CommandRun
{
    int status = -1;
    QByteArray out;
    QByteArray err;
};

CommandRun Command(QStringList arguments)
{
    // The command needs the application object that main() gives it. The program is named by a
    // full path, as a shell passes it, which --help must cut to the program's name.
    static int argc = 1;
    static char name[] = "/opt/elsewhere/bin/throngkit";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
    arguments.prepend(QStringLiteral("throngkit"));
    char *out = nullptr, *err = nullptr;
    size_t outSize = 0, errSize = 0;
    std::FILE *outStream = ::open_memstream(&out, &outSize);
    std::FILE *errStream = ::open_memstream(&err, &errSize);
    CommandRun run{RunCommandLine(arguments, outStream, errStream), {}, {}};
    std::fclose(outStream);
    std::fclose(errStream);
    run.out = QByteArray(out, qsizetype(outSize));
    run.err = QByteArray(err, qsizetype(errSize));
    std::free(out);
    std::free(err);
    return run;
}

QStringList Generate(const QStringList &more)
{
    return QStringList{u"generate"_qs, u"--data-dir"_qs, test::SourceDataDirectory()} + more;
}

QStringList Json(const QStringList &more)
{
    return Generate(QStringList{u"--format"_qs, u"json"_qs} + more);
}

QJsonArray Members(const CommandRun &run)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(run.out, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    return document.object().value(u"members").toArray();
}

// A table with one weapon only, so that every member shows where the table came from.
const QByteArray OneWeaponTable = "One weapon\r\n1,100,\"Clubhammer\",1D6,3\r\n";

// Every test gets its own home, INI directory and current directory (ctest runs each test in
// a process of its own).
class CommandLine : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_home.isValid() && m_work.isValid());
        for (const char *name : {"HOME", "XDG_CONFIG_HOME", "WINDIR"})
            qputenv(name, QFile::encodeName(m_home.path()));
        QDir::setCurrent(m_work.path());
    }

    QTemporaryDir m_home;
    QTemporaryDir m_work;
};

TEST_F(CommandLine, EveryFormatIsRepeatableAndSavedAsWritten)
{
    const QString path = m_work.filePath(u"rabble.out"_qs);
    for (const char *system : {"runequest", "traveller"}) {
        for (const char *format : {"listing", "json", "rbl", "htm", "csv", "summary"}) {
            SCOPED_TRACE(std::string(system) + " " + format);
            const QStringList arguments = Generate(
                {u"--system"_qs, QString::fromLatin1(system), u"--format"_qs, QString::fromLatin1(format),
                 u"--count"_qs, u"25"_qs, u"--heading"_qs, u"Trolls & <Co>"_qs, u"--seed"_qs, u"42"_qs});
            const CommandRun first = Command(arguments);
            ASSERT_EQ(first.status, 0) << first.err.constData();
            EXPECT_EQ(first.err, "");
            EXPECT_EQ(Command(arguments).out, first.out);
            const CommandRun saved = Command(arguments + QStringList{u"-o"_qs, path});
            EXPECT_EQ(saved.status, 0);
            EXPECT_EQ(saved.out, "");
            EXPECT_EQ(ReadFile(path), first.out);

            const QByteArray kind(format);
            if (kind == "listing") {   // the header and a line for each member
                EXPECT_EQ(first.out.count("\r\n"), 26);
            } else if (kind == "rbl") {
                EXPECT_TRUE(first.out.startsWith("Trolls & <Co>\r\n\r\n"));
            } else if (kind == "htm") {
                EXPECT_TRUE(first.out.contains("<h1>Trolls &amp; &lt;Co&gt;</h1>"));
            }
            if (kind != "json") {
                EXPECT_TRUE(first.out.endsWith("\r\n"));
                EXPECT_EQ(first.out.count('\n'), first.out.count("\r\n"));
            }
        }
    }
}

TEST_F(CommandLine, JsonHasEveryFieldAtItsWidthAndTheSeedExactly)
{
    // Texts at their fixed widths, numbers (width 0) as numbers.
    const std::map<QString, int> fields{{u"number"_qs, 0}, {u"name"_qs, 20}, {u"level"_qs, 1},
        {u"weapon"_qs, 10}, {u"damage"_qs, 10}, {u"attack"_qs, 0}, {u"parry"_qs, 0}, {u"parryWith"_qs, 2},
        {u"missile"_qs, 0}, {u"missileType"_qs, 1}, {u"strikeRank"_qs, 3}, {u"hitPoints"_qs, 0},
        {u"scan"_qs, 0}, {u"listen"_qs, 0}, {u"armour"_qs, 0}, {u"code"_qs, 7}};
    const QStringList notInTraveller{u"name"_qs, u"parryWith"_qs, u"missile"_qs, u"missileType"_qs,
                                     u"listen"_qs};
    for (const char *system : {"runequest", "traveller"}) {
        SCOPED_TRACE(system);
        const bool rq = QByteArray(system) == "runequest";
        const CommandRun run = Command(Json({u"--system"_qs, QString::fromLatin1(system), u"--seed"_qs,
                                         u"18446744073709551615"_qs, u"--count"_qs, u"12"_qs,
                                         u"--heading"_qs, u"Say \"hi\"\\\t\u00e9"_qs}));
        ASSERT_EQ(run.status, 0) << run.err.constData();
        // Read as text: a double-based reader cannot hold this seed.
        EXPECT_TRUE(run.out.contains("\"seed\": 18446744073709551615,"));
        const QJsonObject document = QJsonDocument::fromJson(run.out).object();
        EXPECT_EQ(document.value(u"system").toString(), QString::fromLatin1(system));
        EXPECT_EQ(document.value(u"heading").toString(), u"Say \"hi\"\\\t\u00e9"_qs);
        const QJsonArray members = Members(run);
        ASSERT_EQ(members.size(), 12);
        for (qsizetype i = 0; i < members.size(); ++i) {
            const QJsonObject member = members.at(i).toObject();
            EXPECT_EQ(member.value(u"number").toInt(), i + 1);
            EXPECT_EQ(member.size(), rq ? 16 : 11);
            for (const auto &[key, width] : fields) {
                const QJsonValue value = member.value(key);
                if (rq || !notInTraveller.contains(key)) {
                    EXPECT_TRUE(width ? value.toString().size() == width : value.isDouble()) << key.toStdString();
                }
            }
        }
    }
    EXPECT_EQ(Command(Json({u"--count"_qs, u"0"_qs, u"--seed"_qs, u"5"_qs})).out,
              "{\"system\": \"runequest\", \"seed\": 5, \"heading\": \"Throngkit Listing\", \"members\": []}\n");
}

TEST_F(CommandLine, TablesReportsEachTableAndItsProblems)
{
    QTemporaryDir data;
    WriteFile(data, u"tk-wp-b-gap.dat"_qs, "Gappy\r\n1,10,Club,1D6,3\r\n21,100,Axe,1D8,2\r\n");
    WriteFile(data, u"TK-WP-A-GOOD.DAT"_qs, "Good\r\n1,100,Club,1D6,3\r\n");
    WriteFile(data, u"tk-wp-c-broken.dat"_qs, "Broken\r\n1,10,\"Club\"\r\n");
    struct Case
    {
        QStringList arguments;
        int status;
        std::vector<const char *> out;   // in this order
        const char *err;
    };
    const std::vector<Case> cases{
        {{u"--data-dir"_qs, test::SourceDataDirectory()}, 0,
         {"tk-wp-rq1.dat: \"Runequest Standard\", 11 rows",
          "    1  1-10        Dagger      1D4+2        3   10.0%",
          "  Sound: every roll from 1 to 100 draws a weapon.", "tk-wp-tr3.dat", "6 tables checked: all sound."},
         ""},
        {{u"--data-dir"_qs, data.path()}, 1,
         {"TK-WP-A-GOOD.DAT", "tk-wp-b-gap.dat: \"Gappy\", 2 rows", "Problem: Rolls 11 to 20 draw no weapon.",
          "tk-wp-c-broken.dat: refused by the loader", "line 2: the file ends in the middle of a row",
          "3 tables checked: 2 with problems: tk-wp-b-gap.dat, tk-wp-c-broken.dat."},
         ""},
        // A bare name is looked for in the data directory as well.
        {{u"--data-dir"_qs, data.path(), u"tk-wp-b-gap.dat"_qs}, 1, {"Gappy", "1 table checked: 1 with problems"}, ""},
        {{u"no-such-table.dat"_qs}, 1, {"no-such-table.dat: refused by the loader", "cannot be opened"}, ""},
        {{u"--data-dir"_qs, m_work.path()}, 1, {}, "throngkit: no weapon tables"},
        {{u"--data-dir"_qs, m_work.filePath(u"missing"_qs)}, 2, {}, "missing"},
        {{u"--help"_qs}, 0, {"tables [--data-dir dir] [file...]", "--data-dir"}, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const CommandRun run = Command(QStringList{u"tables"_qs} + c.arguments);
        EXPECT_EQ(run.status, c.status) << run.err.constData();
        qsizetype from = 0;
        for (const char *text : c.out) {
            const qsizetype at = run.out.indexOf(text, from);
            EXPECT_GE(at, from) << text << " in:\n" << run.out.constData();
            from = std::max(from, at);
        }
        EXPECT_TRUE(run.err.contains(c.err)) << run.err.constData();
        EXPECT_EQ(run.err.isEmpty(), QByteArray(c.err).isEmpty()) << run.err.constData();
    }
}

TEST_F(CommandLine, AFreshSeedIsReportedSoTheRabbleCanBeMadeAgain)
{
    static const QRegularExpression seedField(u"\"seed\": (\\d+),"_qs);
    for (int run = 0; run < 4; ++run) {
        const CommandRun fresh = Command(Json({}));
        ASSERT_EQ(fresh.status, 0) << fresh.err.constData();
        const QString seed = seedField.match(QString::fromUtf8(fresh.out)).captured(1);
        EXPECT_EQ(Command(Json({u"--seed"_qs, seed})).out, fresh.out);
        // Below 2^53, where every JSON reader holds it exactly.
        EXPECT_LT(seed.toULongLong(), 1ULL << 53) << seed.toStdString();
    }
}

TEST_F(CommandLine, OptionsReachEveryMember)
{
    struct Case
    {
        QStringList arguments;
        qsizetype members;
        std::map<QString, QJsonValue> every;   // what each member must show
    };
    const std::vector<Case> cases{
        {{}, 10, {}},
        {{u"--count"_qs, u"10.7"_qs}, 10, {}},
        {{u"--count"_qs, u"1000.0000001"_qs}, 1000, {}},   // 1000 as the box's float holds it
        {{u"--level"_qs, u"e"_qs}, 10, {{u"level"_qs, u"E"_qs}}},
        {{u"--level"_qs, u"P"_qs, u"--system"_qs, u"Traveller"_qs}, 10, {{u"level"_qs, u"P"_qs}}},
        {{u"--missile"_qs, u"0"_qs}, 10, {{u"missile"_qs, 0}, {u"missileType"_qs, u" "_qs}}},
        {{u"--shield"_qs, u"never"_qs, u"--count"_qs, u"300"_qs}, 300, {{u"parryWith"_qs, u"Wp"_qs}}},
        {{u"--shield"_qs, u"Always"_qs, u"--weapon"_qs, u"Mace"_qs, u"--count"_qs, u"300"_qs}, 300, {{u"parryWith"_qs, u"Sh"_qs}}},
        {{u"--weapon"_qs, u"Greatclub of doom"_qs}, 10, {{u"weapon"_qs, u"Greatclub "_qs}}},
        // The rank is rounded half to even, as the SR/PEN box is read; the damage holds six.
        {{u"--weapon"_qs, u"Mace"_qs, u"--damage"_qs, u"2D6+1D4"_qs, u"--rank"_qs, u"-1.5"_qs,
          u"--system"_qs, u"traveller"_qs},
         10, {{u"weapon"_qs, u"Mace      "_qs}, {u"damage"_qs, u"2D6+1D    "_qs}, {u"strikeRank"_qs, u"-2 "_qs}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const CommandRun run = Command(Json(c.arguments + QStringList{u"--seed"_qs, u"5"_qs}));
        ASSERT_EQ(run.status, 0) << run.err.constData();
        const QJsonArray members = Members(run);
        EXPECT_EQ(members.size(), c.members);
        for (const QJsonValue &member : members) {
            for (const auto &[key, value] : c.every)
                EXPECT_EQ(member.toObject().value(key), value) << key.toStdString();
        }
    }
}

TEST_F(CommandLine, BadInputIsOneLineOnStandardErrorExitTwoAndNoFile)
{
    const QString broken = WriteFile(m_work, u"tk-wp-broken.dat"_qs, "Broken\r\n1,10,\"Club\"\r\n");
    const QString escaping = WriteFile(m_work, u"tk-wp-esc.dat"_qs, "Esc\r\n1\x1b]0;x\x07,100,Club,1D6,2\r\n");
    const QString tooLarge = WriteFile(m_work, u"tk-wp-large.dat"_qs,
                                       "Large\r\n" + QByteArray(1024 * 1024, ' ') + "1,100,Club,1D6,2\r\n");
    const QString fifo = m_work.filePath(u"tk-wp-fifo.dat"_qs);
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);   // opening it must not hang
    const QString target = m_work.filePath(u"out.txt"_qs);
    const QString fifoOut = m_work.filePath(u"fifo.out"_qs);
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifoOut).constData(), 0600), 0);
    const QString unreachable = m_work.filePath(u"no-such-dir/out.rbl"_qs);
    const QString socketOut = m_work.filePath(u"socket.out"_qs);
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, QFile::encodeName(socketOut).constData(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    std::vector<std::pair<QStringList, QByteArray>> cases{   // the arguments, what the line names
        {{u"--bogus"_qs}, "bogus"},
        {{u"--bo\r\ngus\nx"_qs}, "'bo gus x'"},   // line breaks in a message are written as blanks
        {{u"--system"_qs, u"dnd"_qs}, "dnd"},
        {{u"--weapon"_qs, u"*Club"_qs}, "*Club"},
        {{u"--level"_qs, u"X"_qs}, "level"},
        {{u"--level"_qs, u"EB"_qs}, "level"},
        {{u"--shield"_qs, u"sometimes"_qs}, "shield"},
        {{u"--missile"_qs, u"10"_qs}, "missile"},
        {{u"--seed"_qs, u"-1"_qs}, "seed"},
        {{u"--seed"_qs, u"18446744073709551616"_qs}, "seed"},
        {{u"--seed"_qs, u"12a"_qs}, "seed"},
        {{u"--format"_qs, u"pdf"_qs}, "pdf"},
        {{u"--weapon"_qs, u"Mace"_qs, u"--rank"_qs, u"40000"_qs}, "rank"},
        {{u"--damage"_qs, u"1D6"_qs}, "--weapon"},
        {{u"--rank"_qs, u"3"_qs}, "--weapon"},
        {{u"--table"_qs, u"no-such-table.dat"_qs}, "no-such-table.dat"},
        {{u"--table"_qs, broken}, "tk-wp-broken.dat"},
        {{u"--data-dir"_qs, m_work.filePath(u"missing"_qs)}, "missing"},
        {{u"--data-dir"_qs, broken}, "is not a directory"},
        {{u"--table"_qs, fifo}, "not a regular file"},
        {{u"--table"_qs, tooLarge}, "too large"},
        // File content is quoted with its control characters escaped, never sent raw.
        {{u"--table"_qs, escaping}, "\"1\\x1B]0;x\\x07\""},
        {{u"extra"_qs}, "extra"},
        // Output that is not a regular file is refused and left as it is.
        {{u"-o"_qs, fifoOut}, "fifo.out"},
        {{u"-o"_qs, socketOut}, "socket.out"},
        {{u"-o"_qs, m_work.path()}, QFile::encodeName(m_work.path())},
        {{u"-o"_qs, unreachable}, "no-such-dir"},
    };
    // A device node (root only: made here, never aimed at the machine's /dev).
    const QString deviceOut = m_work.filePath(u"null.out"_qs);
    const bool haveDevice = ::mknod(QFile::encodeName(deviceOut).constData(), S_IFCHR | 0600, makedev(1, 3)) == 0;
    if (haveDevice)
        cases.push_back({{u"-o"_qs, deviceOut}, "null.out"});
    for (const char *count : {"1001", "1e9", "1000.5", "abc", "", "nan", "inf", "-5", "0x10", "1e-9",
                              "1,000", "1..2", "1 2"})
        cases.push_back({{u"--count"_qs, QString::fromLatin1(count)}, "--count"});
    for (auto &[arguments, named] : cases)   // a later -o replaces the first
        arguments = Generate(QStringList{u"-o"_qs, target} + arguments);
    // Not the generate command at all.
    cases.push_back({{u"generat"_qs}, "unknown command \"generat\""});
    cases.push_back({{u"--count"_qs, u"5"_qs}, "no command given"});
    for (const auto &[arguments, named] : cases) {
        SCOPED_TRACE(arguments.join(u' ').toStdString());
        const CommandRun run = Command(arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_TRUE(run.err.startsWith("throngkit: ")) << run.err.constData();
        EXPECT_EQ(run.err.indexOf('\n'), run.err.size() - 1) << run.err.constData();
        EXPECT_TRUE(run.err.contains(named)) << run.err.constData();
        EXPECT_FALSE(run.err.contains('\x1b'));
        EXPECT_FALSE(QFile::exists(target));
    }

    ::close(listener);
    EXPECT_FALSE(QFile::exists(unreachable));
    struct stat after {};
    EXPECT_TRUE(::stat(QFile::encodeName(fifoOut).constData(), &after) == 0 && S_ISFIFO(after.st_mode));
    EXPECT_TRUE(::stat(QFile::encodeName(socketOut).constData(), &after) == 0 && S_ISSOCK(after.st_mode));
    if (haveDevice) {
        EXPECT_TRUE(::stat(QFile::encodeName(deviceOut).constData(), &after) == 0 && S_ISCHR(after.st_mode));
    }
}

// Every format, small and large, against a file-size limit: the command fails with the
// system's reason, and the file it was to replace and its folder stay as they were.
TEST_F(CommandLine, ASaveThatDoesNotFitKeepsTheOldFile)
{
    const QString target = m_work.filePath(u"keep.out"_qs);
    for (const char *format : {"listing", "json", "rbl", "htm", "csv", "summary"}) {
        for (const char *count : {"10", "1000"}) {
            SCOPED_TRACE(std::string(format) + " " + count);
            const QStringList arguments = Generate({u"--format"_qs, QString::fromLatin1(format), u"--count"_qs,
                                                    QString::fromLatin1(count), u"--seed"_qs, u"5"_qs});
            const qsizetype size = Command(arguments).out.size();
            WriteFile(m_work, u"keep.out"_qs, "OLD\n");
            const auto reported = test::WithFileSizeLimit(long(size / 2), [&] {
                const CommandRun run = Command(arguments + QStringList{u"-o"_qs, target});
                return QString::number(run.status) + u' ' + QString::fromUtf8(run.err);
            });
            ASSERT_TRUE(reported.has_value());
            EXPECT_TRUE(reported->startsWith(u"2 throngkit: Cannot save \""_qs + target + u"\": File too large"_qs))
                << reported->toStdString();
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
assert rows[0] == list(members[0].keys()), rows[0]
assert len(rows) == len(members) + 1, len(rows)
for row, member in zip(rows[1:], members):
    expected = [v.rstrip(' ') if isinstance(v, str) else str(v) for v in member.values()]
    assert row == expected, (row, expected)
)";
    const QString csvPath = m_work.filePath(u"rabble.csv"_qs);
    const QString jsonPath = m_work.filePath(u"rabble.json"_qs);
    for (const QStringList &more : {QStringList{u"--count"_qs, u"300"_qs},
                                    QStringList{u"--system"_qs, u"traveller"_qs, u"--count"_qs, u"300"_qs},
                                    QStringList{u"--weapon"_qs, u"A,\"b\"\nc"_qs, u"--count"_qs, u"3"_qs}}) {
        SCOPED_TRACE(more.join(u' ').toStdString());
        const QStringList base = Generate(QStringList{u"--seed"_qs, u"7"_qs} + more);
        ASSERT_EQ(Command(base + QStringList{u"--format"_qs, u"csv"_qs, u"-o"_qs, csvPath}).status, 0);
        ASSERT_EQ(Command(base + QStringList{u"--format"_qs, u"json"_qs, u"-o"_qs, jsonPath}).status, 0);
        QProcess python;
        python.start(u"python3"_qs, {u"-c"_qs, QString::fromLatin1(check), csvPath, jsonPath});
        ASSERT_TRUE(python.waitForFinished(60000)) << python.errorString().toStdString();
        EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().constData();
    }
}

TEST_F(CommandLine, FindsTablesOfAnyCaseAndNeverWritesTheIni)
{
    // Upper-case names in a directory given on the command line, and a bare --table name that
    // is looked for there too.
    QTemporaryDir data;
    WriteFile(data, u"TK-WP-RQ1.DAT"_qs, OneWeaponTable);
    WriteFile(data, u"TK-WP-TR1.DAT"_qs, OneWeaponTable);
    WriteFile(data, u"tk-wp-extra.dat"_qs, "Extra\r\n1,100,\"Flail\",1D6,3\r\n");
    const std::pair<QStringList, QString> runs[] = {
        {{u"--system"_qs, u"runequest"_qs}, u"Clubhammer"_qs},
        {{u"--system"_qs, u"traveller"_qs}, u"Clubhammer"_qs},
        {{u"--table"_qs, u"TK-WP-EXTRA.DAT"_qs}, u"Flail     "_qs},
    };
    for (const auto &[more, weapon] : runs) {
        SCOPED_TRACE(more.join(u' ').toStdString());
        const CommandRun run = Command(QStringList{u"generate"_qs, u"--format"_qs, u"json"_qs, u"-o"_qs, u"-"_qs,
                                                   u"--data-dir"_qs, data.path()} + more);
        ASSERT_EQ(run.status, 0) << run.err.constData();
        for (const QJsonValue &member : Members(run))
            EXPECT_EQ(member.toObject().value(u"weapon").toString(), weapon);
    }

    // No INI and the table in the current directory: the first-run path, which the windows
    // would answer by writing the INI. The command uses the directory and writes nothing.
    WriteFile(m_work, u"tk-wp-rq1.dat"_qs, OneWeaponTable);
    const CommandRun run = Command({u"generate"_qs, u"--format"_qs, u"json"_qs});
    ASSERT_EQ(run.status, 0) << run.err.constData();
    EXPECT_EQ(Members(run).first().toObject().value(u"weapon").toString(), u"Clubhammer"_qs);
    EXPECT_TRUE(QDir(m_home.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
}

TEST_F(CommandLine, HelpVersionAndWhichFrontRuns)
{
    for (const QStringList &arguments : {QStringList{u"--help"_qs}, QStringList{u"generate"_qs, u"-h"_qs}}) {
        const CommandRun help = Command(arguments);
        EXPECT_EQ(help.status, 0);
        EXPECT_TRUE(help.out.startsWith("Usage: throngkit [options] generate")) << help.out.constData();
        for (const char *word : {"tables", "--count", "--seed", "--format", "--output", "csv", "summary"})
            EXPECT_TRUE(help.out.contains(word)) << word;
    }
    const CommandRun version = Command({u"--version"_qs});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.startsWith(throngkit::test::ProgramTitle())) << version.out.constData();

    const std::vector<std::pair<QStringList, bool>> fronts{
        {{}, false},
        {{u"generate"_qs, u"--count"_qs, u"3"_qs}, true},
        {{u"--help"_qs}, true},
        {{u"-style"_qs, u"fusion"_qs, u"-?"_qs}, true},
        {{u"--version"_qs}, true},
        {{u"-v"_qs}, true},
        {{u"-style"_qs, u"fusion"_qs}, false},
        {{u"frobnicate"_qs}, true},
    };
    for (const auto &[arguments, commandLine] : fronts)
        EXPECT_EQ(WantsCommandLine(arguments), commandLine) << arguments.join(u' ').toStdString();
}

} // namespace
