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
#include <cstring>
#include <map>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

using namespace throngkit;
using throngkit::test::ReadFile;
using throngkit::test::SourceTable;
using throngkit::test::WriteFile;

namespace {

// The command needs an application object, as main() gives it one; gtest_main does not.
void EnsureApplication()
{
    static int argc = 1;
    static char name[] = "throngkit";
    static char *argv[] = {name, nullptr};
    static QCoreApplication *app = QCoreApplication::instance() ? nullptr
                                                                : new QCoreApplication(argc, argv);
    (void)app;
}

QByteArray ReadBack(std::FILE *file)
{
    std::fflush(file);
    std::rewind(file);
    QByteArray bytes;
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, static_cast<qsizetype>(got));
    std::fclose(file);
    return bytes;
}

struct CommandRun
{
    int status = -1;
    QByteArray out;
    QByteArray err;
};

CommandRun Generate(QStringList arguments)
{
    EnsureApplication();
    arguments.prepend(QStringLiteral("throngkit"));
    std::FILE *out = std::tmpfile();
    std::FILE *err = std::tmpfile();
    CommandRun run;
    run.status = RunCommandLine(arguments, out, err);
    run.out = ReadBack(out);
    run.err = ReadBack(err);
    return run;
}

// A table with one weapon only, so that every member shows where the table came from.
const QByteArray OneWeaponTable = "One weapon\r\n1,10,\"Clubhammer\",1D6,3\r\n";

// Every test gets its own home, INI directory and current directory.
class CommandLine : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_home.isValid() && m_work.isValid());
        for (const char *name : {"HOME", "XDG_CONFIG_HOME", "WINDIR"}) {
            m_saved.emplace(name, qgetenv(name));
            qputenv(name, m_home.path().toLocal8Bit());
        }
        m_savedDirectory = QDir::currentPath();
        QDir::setCurrent(m_work.path());
    }

    void TearDown() override
    {
        QDir::setCurrent(m_savedDirectory);
        for (const auto &[name, value] : m_saved)
            qputenv(name.c_str(), value);
    }

    QStringList JsonRun(const QStringList &more) const
    {
        return QStringList{u"generate"_qs, u"--data-dir"_qs, test::SourceDataDirectory(),
                           u"--format"_qs, u"json"_qs}
            + more;
    }

    QTemporaryDir m_home;
    QTemporaryDir m_work;
    std::map<std::string, QByteArray> m_saved;
    QString m_savedDirectory;
};

QJsonArray Members(const CommandRun &run)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(run.out, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    return document.object().value(u"members").toArray();
}

TEST_F(CommandLine, SameSeedGivesSameBytesInEveryFormat)
{
    for (const char *system : {"runequest", "traveller"}) {
        for (const char *format : {"listing", "json", "rbl", "htm", "csv", "summary"}) {
            SCOPED_TRACE(std::string(system) + " " + format);
            const QStringList base{u"generate"_qs, u"--data-dir"_qs, test::SourceDataDirectory(),
                                   u"--system"_qs, QString::fromLatin1(system), u"--format"_qs,
                                   QString::fromLatin1(format), u"--count"_qs, u"25"_qs,
                                   u"--heading"_qs, u"Trolls & <Co>"_qs};
            const CommandRun first = Generate(base + QStringList{u"--seed"_qs, u"42"_qs});
            const CommandRun again = Generate(base + QStringList{u"--seed"_qs, u"42"_qs});
            const CommandRun other = Generate(base + QStringList{u"--seed"_qs, u"43"_qs});
            ASSERT_EQ(first.status, 0) << first.err.constData();
            EXPECT_TRUE(first.err.isEmpty());
            EXPECT_EQ(first.out, again.out);
            EXPECT_NE(first.out, other.out);

            // To a file: the same bytes, nothing on standard output.
            const QString path = m_work.filePath(u"rabble.out"_qs);
            const CommandRun saved = Generate(base + QStringList{u"--seed"_qs, u"42"_qs, u"-o"_qs, path});
            EXPECT_EQ(saved.status, 0);
            EXPECT_TRUE(saved.out.isEmpty());
            EXPECT_EQ(ReadFile(path), first.out);

            // The heading reaches the files, escaped in a page.
            if (QByteArray(format) == "rbl") {
                EXPECT_TRUE(first.out.startsWith("Trolls & <Co>\r\n\r\n"));
            } else if (QByteArray(format) == "htm") {
                EXPECT_TRUE(first.out.contains("Trolls &amp; &lt;Co&gt;"));
            }

            if (QByteArray(format) != "json") {   // the listing and both files end lines in CRLF
                EXPECT_TRUE(first.out.endsWith("\r\n"));
                EXPECT_EQ(first.out.count('\n'), first.out.count("\r\n"));
            }
        }
    }
}

TEST_F(CommandLine, JsonHasEveryFieldAtItsWidthAndTheSeedExactly)
{
    const std::map<QString, int> rqText{{u"name"_qs, 20}, {u"level"_qs, 1}, {u"weapon"_qs, 10},
        {u"damage"_qs, 10}, {u"parryWith"_qs, 2}, {u"missileType"_qs, 1}, {u"strikeRank"_qs, 3},
        {u"code"_qs, 7}};
    const QStringList rqNumbers{u"number"_qs, u"attack"_qs, u"parry"_qs, u"missile"_qs,
                                u"hitPoints"_qs, u"scan"_qs, u"listen"_qs, u"armour"_qs};
    const QStringList travellerOnlyMissing{u"name"_qs, u"parryWith"_qs, u"missile"_qs,
                                           u"missileType"_qs, u"listen"_qs};

    for (const char *system : {"runequest", "traveller"}) {
        SCOPED_TRACE(system);
        const bool rq = QByteArray(system) == "runequest";
        const CommandRun run = Generate(JsonRun({u"--system"_qs, QString::fromLatin1(system), u"--seed"_qs,
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
            for (const auto &[key, width] : rqText) {
                if (!rq && travellerOnlyMissing.contains(key))
                    continue;
                EXPECT_TRUE(member.value(key).isString()) << key.toStdString();
                EXPECT_EQ(member.value(key).toString().size(), width) << key.toStdString();
            }
            for (const QString &key : rqNumbers) {
                if (!rq && travellerOnlyMissing.contains(key))
                    continue;
                EXPECT_TRUE(member.value(key).isDouble()) << key.toStdString();
            }
        }
    }
}

// Reads the csv file with Python's csv module and compares every cell with the json file's member:
// the header is "number" and the json's keys in their order, texts without their padding blanks.
const char CsvAgainstJson[] = R"(
import csv, json, sys
with open(sys.argv[1], newline='', encoding='utf-8') as f:
    rows = list(csv.reader(f, strict=True))
with open(sys.argv[2], encoding='utf-8') as f:
    members = json.load(f)['members']
if rows[0] != list(members[0].keys()):
    sys.exit('header %r' % rows[0])
if len(rows) != len(members) + 1:
    sys.exit('%d rows for %d members' % (len(rows) - 1, len(members)))
for row, member in zip(rows[1:], members):
    expected = [v.rstrip(' ') if isinstance(v, str) else str(v) for v in member.values()]
    if row != expected:
        sys.exit('row %r, expected %r' % (row, expected))
)";

TEST_F(CommandLine, CsvReadsBackAsTheJson)
{
    const QString csvPath = m_work.filePath(u"rabble.csv"_qs);
    const QString jsonPath = m_work.filePath(u"rabble.json"_qs);
    const std::vector<QStringList> runs{
        {u"--system"_qs, u"runequest"_qs, u"--count"_qs, u"300"_qs},
        {u"--system"_qs, u"traveller"_qs, u"--count"_qs, u"300"_qs},
        // A forced name with a comma, a quote and a line break, and non-ASCII damage.
        {u"--weapon"_qs, u"A,\"b\"\nc"_qs, u"--damage"_qs, u"1D\u00e9"_qs, u"--count"_qs, u"3"_qs},
    };
    for (const QStringList &more : runs) {
        SCOPED_TRACE(more.join(u' ').toStdString());
        const QStringList base = QStringList{u"generate"_qs, u"--data-dir"_qs, test::SourceDataDirectory(),
                                             u"--seed"_qs, u"7"_qs} + more;
        ASSERT_EQ(Generate(base + QStringList{u"--format"_qs, u"csv"_qs, u"-o"_qs, csvPath}).status, 0);
        ASSERT_EQ(Generate(base + QStringList{u"--format"_qs, u"json"_qs, u"-o"_qs, jsonPath}).status, 0);
        QProcess python;
        python.start(u"python3"_qs, {u"-c"_qs, QString::fromLatin1(CsvAgainstJson), csvPath, jsonPath});
        ASSERT_TRUE(python.waitForFinished(60000)) << python.errorString().toStdString();
        EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().constData();
    }
    // The forced name is quoted, its quotes doubled, and the line break kept inside the quotes.
    EXPECT_TRUE(ReadFile(csvPath).contains(",\"A,\"\"b\"\"\nc\",1D\xc3\xa9,"));
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
        {{test::SourceTable(u"tk-wp-tr2.dat"_qs)}, 0, {"Traveller Low Tech", "1 table checked: all sound."}, ""},
        // A bare name is looked for in the data directory as well.
        {{u"--data-dir"_qs, data.path(), u"tk-wp-b-gap.dat"_qs}, 1, {"Gappy", "1 table checked: 1 with problems"}, ""},
        {{u"no-such-table.dat"_qs}, 1, {"no-such-table.dat: refused by the loader", "cannot be opened"}, ""},
        {{u"--data-dir"_qs, m_work.path()}, 1, {}, "no weapon tables"},
        {{u"--data-dir"_qs, m_work.filePath(u"missing"_qs)}, 2, {}, "missing"},
        {{u"--count"_qs, u"3"_qs}, 2, {}, "count"},
        {{u"--help"_qs}, 0, {"tables [--data-dir dir] [file...]", "--data-dir"}, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const CommandRun run = Generate(QStringList{u"tables"_qs} + c.arguments);
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
    const CommandRun fresh = Generate(JsonRun({}));
    ASSERT_EQ(fresh.status, 0);
    const auto match = QRegularExpression(u"\"seed\": (\\d+),"_qs).match(QString::fromUtf8(fresh.out));
    ASSERT_TRUE(match.hasMatch());
    EXPECT_EQ(Generate(JsonRun({u"--seed"_qs, match.captured(1)})).out, fresh.out);
    // Fresh seeds stay below 2^53, where every JSON reader holds them exactly; a seed given
    // by hand may still use all 64 bits.
    for (int run = 0; run < 8; ++run) {
        const auto seed = QRegularExpression(u"\"seed\": (\\d+),"_qs)
                              .match(QString::fromUtf8(Generate(JsonRun({})).out)).captured(1);
        EXPECT_LT(seed.toULongLong(), 1ULL << 53) << seed.toStdString();
    }
    const CommandRun wide = Generate(JsonRun({u"--seed"_qs, u"18446744073709551615"_qs}));
    EXPECT_TRUE(wide.out.contains("\"seed\": 18446744073709551615,")) << wide.err.constData();
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
        {{u"--count"_qs, u"0"_qs}, 0, {}},
        {{u"--count"_qs, u"007"_qs}, 7, {}},
        {{u"--count"_qs, u".5"_qs}, 0, {}},
        {{u"--count"_qs, u"1000"_qs}, 1000, {}},
        {{u"--count"_qs, u"1000.0000001"_qs}, 1000, {}},   // 1000 as the box's float holds it
        {{u"--level"_qs, u"e"_qs}, 10, {{u"level"_qs, u"E"_qs}}},
        {{u"--level"_qs, u"P"_qs, u"--system"_qs, u"Traveller"_qs}, 10, {{u"level"_qs, u"P"_qs}}},
        {{u"--missile"_qs, u"0"_qs}, 10, {{u"missile"_qs, 0}, {u"missileType"_qs, u" "_qs}}},
        {{u"--weapon"_qs, u"Greatclub of doom"_qs, u"--damage"_qs, u"2D6+1D4"_qs, u"--rank"_qs,
          u"2.5"_qs},
         10, {{u"weapon"_qs, u"Greatclub "_qs}}},
        {{u"--weapon"_qs, u"Mace"_qs, u"--system"_qs, u"traveller"_qs}, 10,
         {{u"weapon"_qs, u"Mace      "_qs}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const CommandRun run = Generate(JsonRun(c.arguments + QStringList{u"--seed"_qs, u"5"_qs}));
        ASSERT_EQ(run.status, 0) << run.err.constData();
        const QJsonArray members = Members(run);
        EXPECT_EQ(members.size(), c.members);
        for (const QJsonValue &member : members) {
            for (const auto &[key, value] : c.every)
                EXPECT_EQ(member.toObject().value(key), value) << key.toStdString();
        }
    }
}

TEST_F(CommandLine, BadInputIsOneLineExitTwoAndNoFile)
{
    const QString broken = WriteFile(m_work, u"tk-wp-broken.dat"_qs, "Broken\r\n1,10,\"Club\"\r\n");
    const QString escaping = WriteFile(m_work, u"tk-wp-esc.dat"_qs, "Esc\r\n1\x1b]0;x\x07,100,Club,1D6,2\r\n");
    const QString tooLarge = WriteFile(m_work, u"tk-wp-large.dat"_qs,
                                       "Large\r\n" + QByteArray(1024 * 1024, ' ') + "1,100,Club,1D6,2\r\n");
    const QString fifo = m_work.filePath(u"tk-wp-fifo.dat"_qs);
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);   // opening it must not hang
    const QString target = m_work.filePath(u"out.txt"_qs);
    struct Case
    {
        QStringList arguments;
        const char *named;   // the message must name the problem
    };
    const std::vector<Case> cases{
        {{u"--bogus"_qs}, "bogus"},
        {{u"--system"_qs, u"dnd"_qs}, "dnd"},
        {{u"--count"_qs, u"1001"_qs}, "1001"},
        {{u"--count"_qs, u"1e9"_qs}, "1e9"},
        {{u"--count"_qs, u"1000.5"_qs}, "1000.5"},
        {{u"--count"_qs, u"abc"_qs}, "abc"},
        {{u"--count"_qs, u""_qs}, "count"},
        {{u"--count"_qs, u"nan"_qs}, "nan"},
        {{u"--count"_qs, u"inf"_qs}, "inf"},
        {{u"--count"_qs, u"-5"_qs}, "-5"},
        {{u"--count"_qs, u"0x10"_qs}, "0x10"},
        {{u"--count"_qs, u"1e-9"_qs}, "1e-9"},
        {{u"--count"_qs, u"1,000"_qs}, "1,000"},
        {{u"--count"_qs, u"1..2"_qs}, "1..2"},
        {{u"--count"_qs, u"1 2"_qs}, "1 2"},
        {{u"--weapon"_qs, u"*Club"_qs}, "*Club"},
        {{u"--level"_qs, u"X"_qs}, "level"},
        {{u"--level"_qs, u"EB"_qs}, "level"},
        {{u"--shield"_qs, u"sometimes"_qs}, "shield"},
        {{u"--missile"_qs, u"10"_qs}, "missile"},
        {{u"--missile"_qs, u"x"_qs}, "missile"},
        {{u"--seed"_qs, u"-1"_qs}, "seed"},
        {{u"--seed"_qs, u"18446744073709551616"_qs}, "seed"},
        {{u"--seed"_qs, u"12a"_qs}, "seed"},
        {{u"--format"_qs, u"pdf"_qs}, "pdf"},
        {{u"--weapon"_qs, u"Mace"_qs, u"--rank"_qs, u"40000"_qs}, "rank"},
        {{u"--damage"_qs, u"1D6"_qs}, "--weapon"},
        {{u"--table"_qs, u"no-such-table.dat"_qs}, "no-such-table.dat"},
        {{u"--table"_qs, broken}, "tk-wp-broken.dat"},
        {{u"--data-dir"_qs, m_work.filePath(u"missing"_qs)}, "missing"},
        {{u"--data-dir"_qs, broken}, "is not a directory"},
        {{u"--table"_qs, fifo}, "not a regular file"},
        {{u"--table"_qs, tooLarge}, "too large"},
        // File content is quoted with its control characters escaped, never sent raw.
        {{u"--table"_qs, escaping}, "\"1\\x1B]0;x\\x07\""},
        {{u"extra"_qs}, "extra"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const CommandRun run = Generate(QStringList{u"generate"_qs, u"--data-dir"_qs,
                                             test::SourceDataDirectory(), u"-o"_qs, target}
                                 + c.arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.constData();
        EXPECT_TRUE(run.err.endsWith('\n'));
        EXPECT_TRUE(run.err.contains(c.named)) << run.err.constData();
        EXPECT_FALSE(run.err.contains('\x1b'));
        EXPECT_FALSE(QFile::exists(target));
    }

    // Not the generate command at all, and a save that cannot be made.
    const QString unreachable = m_work.filePath(u"no-such-dir/out.rbl"_qs);
    for (const QStringList &arguments :
         {QStringList{u"generat"_qs}, QStringList{u"--count"_qs, u"5"_qs},
          QStringList{u"generate"_qs, u"--data-dir"_qs, test::SourceDataDirectory(), u"-o"_qs,
                      unreachable}}) {
        SCOPED_TRACE(arguments.join(u' ').toStdString());
        const CommandRun run = Generate(arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.constData();
    }
    EXPECT_FALSE(QFile::exists(unreachable));
}

// Every format, small and large, against a file-size limit: the command fails with the
// system's reason, and the file it was to replace and its folder stay as they were.
TEST_F(CommandLine, ASaveThatDoesNotFitKeepsTheOldFile)
{
    const QString target = m_work.filePath(u"keep.out"_qs);
    for (const char *format : {"listing", "json", "rbl", "htm"}) {
        for (const char *count : {"10", "1000"}) {
            SCOPED_TRACE(std::string(format) + " " + count);
            const QStringList arguments{u"generate"_qs, u"--data-dir"_qs, test::SourceDataDirectory(),
                                        u"--format"_qs, QString::fromLatin1(format), u"--count"_qs,
                                        QString::fromLatin1(count), u"--seed"_qs, u"5"_qs};
            const qsizetype size = Generate(arguments).out.size();
            WriteFile(m_work, u"keep.out"_qs, "OLD\n");
            const auto reported = test::WithFileSizeLimit(long(size / 2), [&] {
                const CommandRun run = Generate(arguments + QStringList{u"-o"_qs, target});
                return QString::number(run.status) + u' ' + QString::fromUtf8(run.err);
            });
            ASSERT_TRUE(reported.has_value());
            EXPECT_TRUE(reported->startsWith(u"2 ")) << reported->toStdString();
            EXPECT_TRUE(reported->contains(u"File too large")) << reported->toStdString();
            EXPECT_TRUE(reported->contains(target)) << reported->toStdString();
            EXPECT_EQ(ReadFile(target), "OLD\n");
            EXPECT_EQ(QDir(m_work.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                      QStringList{u"keep.out"_qs});
        }
    }
}

// A FIFO, a device node and a socket named by -o are refused and left as they are; "-o -"
// is still standard output.
TEST_F(CommandLine, OutputThatIsNotARegularFileIsRefused)
{
    const QString fifo = m_work.filePath(u"fifo"_qs);
    const QString device = m_work.filePath(u"null"_qs);
    const QString socket = m_work.filePath(u"socket"_qs);
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const bool haveDevice = ::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0600, makedev(1, 3)) == 0;
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray socketName = QFile::encodeName(socket);
    ASSERT_LT(size_t(socketName.size()), sizeof address.sun_path);
    std::memcpy(address.sun_path, socketName.constData(), size_t(socketName.size()));
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);

    QStringList targets{fifo, socket, m_work.path()};
    if (haveDevice)
        targets << device;   // root only
    for (const QString &path : std::as_const(targets)) {
        SCOPED_TRACE(path.toStdString());
        struct stat before {};
        ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &before), 0);
        const CommandRun run = Generate(JsonRun({u"-o"_qs, path}));
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.err.contains(QFile::encodeName(path))) << run.err.constData();
        struct stat after {};
        ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &after), 0);
        EXPECT_EQ(after.st_mode, before.st_mode);
        EXPECT_EQ(after.st_ino, before.st_ino);
    }
    ::close(listener);
    const CommandRun stdoutRun = Generate(JsonRun({u"-o"_qs, u"-"_qs}));
    EXPECT_EQ(stdoutRun.status, 0);
    EXPECT_FALSE(Members(stdoutRun).isEmpty());
}

TEST_F(CommandLine, FindsTablesOfAnyCaseAndNeverWritesTheIni)
{
    // Upper-case names in a directory given on the command line.
    QTemporaryDir data;
    WriteFile(data, u"TK-WP-RQ1.DAT"_qs, OneWeaponTable);
    WriteFile(data, u"TK-WP-TR1.DAT"_qs, OneWeaponTable);
    for (const char *system : {"runequest", "traveller"}) {
        SCOPED_TRACE(system);
        const CommandRun run = Generate({u"generate"_qs, u"--format"_qs, u"json"_qs, u"--data-dir"_qs,
                                  data.path(), u"--system"_qs, QString::fromLatin1(system)});
        ASSERT_EQ(run.status, 0) << run.err.constData();
        for (const QJsonValue &member : Members(run))
            EXPECT_EQ(member.toObject().value(u"weapon").toString(), u"Clubhammer"_qs);
    }

    // No INI and the table in the current directory: the first-run path, which the windows
    // would answer by writing the INI. The command uses the directory and writes nothing.
    WriteFile(m_work, u"tk-wp-rq1.dat"_qs, OneWeaponTable);
    const CommandRun run = Generate({u"generate"_qs, u"--format"_qs, u"json"_qs});
    ASSERT_EQ(run.status, 0) << run.err.constData();
    EXPECT_EQ(Members(run).first().toObject().value(u"weapon").toString(), u"Clubhammer"_qs);
    EXPECT_FALSE(QFile::exists(IniDirectory(QProcess::systemEnvironment()) + u"Throngkit.ini"_qs));
    EXPECT_TRUE(QDir(m_home.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));

    // A table named by a bare name is also looked for in the data directory.
    WriteFile(data, u"tk-wp-extra.dat"_qs, OneWeaponTable);
    EXPECT_EQ(Generate({u"generate"_qs, u"--data-dir"_qs, data.path(), u"--table"_qs,
                        u"TK-WP-EXTRA.DAT"_qs})
                  .status,
              0);
}

TEST_F(CommandLine, HelpVersionAndWhichFrontRuns)
{
    for (const char *option : {"--help", "-h"}) {
        for (const QStringList &before : {QStringList{}, QStringList{u"generate"_qs}}) {
            const CommandRun help = Generate(before + QStringList{QString::fromLatin1(option)});
            EXPECT_EQ(help.status, 0);
            EXPECT_TRUE(help.out.startsWith("Usage: throngkit ")) << help.out.constData();
            for (const char *word : {"generate", "tables", "--count", "--seed", "--format", "--output", "csv",
                                     "summary"})
                EXPECT_TRUE(help.out.contains(word)) << word;
        }
    }
    const CommandRun version = Generate({u"--version"_qs});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.startsWith(throngkit::test::ProgramTitle())) << version.out.constData();

    const std::vector<std::pair<QStringList, bool>> fronts{
        {{}, false},
        {{u"generate"_qs, u"--count"_qs, u"3"_qs}, true},
        {{u"--help"_qs}, true},
        {{u"--version"_qs}, true},
        {{u"-v"_qs}, true},
        {{u"-style"_qs, u"fusion"_qs}, false},
        {{u"frobnicate"_qs}, true},
    };
    for (const auto &[arguments, commandLine] : fronts)
        EXPECT_EQ(WantsCommandLine(arguments), commandLine) << arguments.join(u' ').toStdString();
}

} // namespace
