#include "core/messagesink.h"
#include "tests/support/scripteddice.h"
#include "tests/support/testsupport.h"
#include "weapons/tablecatalog.h"
#include "weapons/tablecheck.h"
#include "weapons/weapondraw.h"
#include "weapons/weapontable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <numeric>

using namespace throngkit;

namespace {

struct CollectingSink : MessageSink
{
    QStringList messages;
    void showMessage(const QString &text) override { messages.append(text); }
};

QByteArray Rows(int count, bool endAt100)
{
    QByteArray bytes = "Many, many weapons\r\n";
    for (int i = 1; i <= count; ++i) {
        const int high = (endAt100 && i == count) ? 100 : i;
        bytes += QByteArray::number(i) + ',' + QByteArray::number(high) + ",W" + QByteArray::number(i)
                 + ",1D6,2\r\n";
    }
    return bytes;
}

} // namespace

TEST(LoadWeaponTable, RowsCaptionAndEndRules)
{
    struct Case { const char *what; QByteArray file; int rows; const char16_t *caption; };
    const Case cases[] = {
        {"caption with commas, one row per line",
         "Guards, city, night\r\n1,60,Spear,1D8+1,2\r\n61,100,\"2H Sword, old\",2D8,1\r\n", 2, u"Guards, city, night"},
        {"rows not bound to lines", "T\r\n1,50,A,1D6,2,51\r\n100,B,2D6,1\r\n", 2, u"T"},
        {"blanks before fields, a number ended by a blank", "T\n  1 ,  40 , Club , 1D6 , 3\n41,100,Axe,1D8,2\n", 2, u"T"},
        {"100.0 ends the table", "T\r\n1,100.0,A,1,1\r\ngarbage,\"\r\n", 1, u"T"},
        {"99.9 does not", "T\r\n1,99.9,A,1,1\r\n99.9,100,B,1,1\r\n", 2, u"T"},
        {"ends without a High of 100", "T\r\n1,30,A,1,1\r\n31,60,B,1,1\r\n\r\n\r\n", 2, u"T"},
        {"caption only", "Empty table\r\n", 0, u"Empty table"},
        {"20 rows and more lines after", Rows(20, true) + "21,22,X,1,1\r\n", 20, u"Many, many weapons"},
        {"exactly 50 rows", Rows(50, false), 50, u"Many, many weapons"},
        {"empty SR reads as 0", "T\r\n1,100,A,1D4,\r\n", 1, u"T"},
        {"Latin-1 text", "Arm\xe9" "e\r\n1,100,\"Ep\xe9" "e\",1D8,2\r\n", 1, u"Arm\u00e9e"},
    };
    for (const Case &c : cases) {
        QTemporaryDir dir;
        const auto settings = test::NewSettings();
        const Result<QString> loaded = LoadWeaponTable(*settings, test::WriteFile(dir, QStringLiteral("tk-wp-x.dat"), c.file));
        ASSERT_TRUE(loaded.ok()) << c.what << ": " << loaded.reason().toStdString();
        EXPECT_EQ(loaded.value(), QString::fromUtf16(c.caption)) << c.what;
        EXPECT_EQ(settings->WeaponCount, c.rows) << c.what;
    }
}

TEST(LoadWeaponTable, FieldsAreCutAndKept)
{
    QTemporaryDir dir;
    const auto settings = test::NewSettings();
    const Result<QString> loaded = LoadWeaponTable(*settings, test::WriteFile(dir, QStringLiteral("t.dat"),
        "T\r\n1.5,40,2H Greatsword,1D10+1D6,-3\r\n41,100,\"Pike, long\",2D6+1,0\r\n"));
    ASSERT_TRUE(loaded.ok()) << loaded.reason().toStdString();
    const WeaponRow &first = settings->Weapons[1];
    EXPECT_EQ(first.Low, 1.5f);
    EXPECT_EQ(first.High, 40.0f);
    EXPECT_EQ(first.Name.toString(), QStringLiteral("2H Greatsw"));
    EXPECT_EQ(first.Damage.toString(), QStringLiteral("1D10+1"));
    EXPECT_EQ(first.Rank, -3);
    EXPECT_EQ(settings->Weapons[2].Name.toString(), QStringLiteral("Pike, long"));
    EXPECT_EQ(settings->Weapons[2].Damage.toString(), QStringLiteral("2D6+1 "));
}

TEST(LoadWeaponTable, FailuresNameFileAndLineAndKeepTheLoadedTable)
{
    QTemporaryDir dir;
    const auto settings = test::NewSettings();
    ASSERT_TRUE(LoadWeaponTable(*settings, test::WriteFile(dir, QStringLiteral("good.dat"),
                "Good\r\n1,50,Old1,1D6,2\r\n51,100,Old2,1D8,3\r\n")).ok());
    settings->Weapons[3].Name = u"Keep";

    struct Case { const char *what; QByteArray file; const char *problem; int line; };
    const Case cases[] = {
        {"cut short", "T\r\n1,100,Club", "the file ends in the middle of a row", 2},
        {"cut short on a later line", "T\r\n1,50,A,1,1\r\n51,100,B\r\n", "the file ends in the middle of a row", 3},
        {"not a number", "T\r\n1,x9,A,1,1\r\n", "the High \"x9\" is not a number", 2},
        {"rank not a number", "T\r\n1,100,A,1D6,two\r\n", "the SR/PEN \"two\" is not a number", 2},
        {"rank out of 16 bits", "T\r\n1,100,A,1D6,40000\r\n", "the SR/PEN 40000 is out of range", 2},
        {"unclosed quote", "T\r\n1,100,\"A,1D6,2\r\n", "a quoted text is not closed on its line", 2},
        {"unclosed quote at the end", "T\r\n1,100,\"Club", "a quoted text is not closed on its line", 2},
        {"51 rows", Rows(51, true), "a table holds at most 50 weapons", 52},
        {"empty file", "", "the file is empty", 1},
        // Control characters in text would reach labels, listings and terminals.
        {"NUL in a name", QByteArray("T\r\n1,50,A,1,1\r\n51,100,Cl\0ub,1D6,2\r\n", 30),
         "the text \"Cl\\x00ub\" holds a control character", 3},
        {"ESC in a quoted damage", "T\r\n1,100,A,\"1D6\x1b[2J\",2\r\n",
         "the text \"1D6\\x1B[2J\" holds a control character", 2},
        {"ESC in the caption", "Title\x1b]0;x\x07\r\n1,100,A,1,1\r\n",
         "the caption \"Title\\x1B]0;x\\x07\" holds a control character", 1},
    };
    for (const Case &c : cases) {
        // A name that looks like arg() placeholders must reach the message as it is.
        const QString path = test::WriteFile(dir, QStringLiteral("bad %2%1.dat"), c.file);
        const Result<QString> loaded = LoadWeaponTable(*settings, path);
        EXPECT_FALSE(loaded.ok()) << c.what;
        EXPECT_EQ(loaded.reason(), QStringLiteral("The weapon table %1 cannot be loaded: line %2: %3.")
                                       .arg(path, QString::number(c.line), QString::fromUtf8(c.problem)))
            << c.what;
        EXPECT_EQ(settings->WeaponCount, 2) << c.what;
        EXPECT_EQ(settings->Weapons[1].Name.toString(), QStringLiteral("Old1      ")) << c.what;
        EXPECT_EQ(settings->Weapons[3].Name.trimmed(), u"Keep") << c.what;
    }
    // Files that are not tables at all: opened without blocking, read with a bound.
    const QString fifo = dir.filePath(QStringLiteral("fifo.dat"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString zero = dir.filePath(QStringLiteral("zero.dat"));
    const bool haveDevice = ::mknod(QFile::encodeName(zero).constData(), S_IFCHR | 0600, makedev(1, 5)) == 0;
    const QString large = test::WriteFile(dir, QStringLiteral("large.dat"),
                                          "T\r\n" + QByteArray(1024 * 1024, ' ') + "1,100,A,1,1\r\n");
    const struct { QString path; const char *problem; } unreadable[] = {
        {dir.filePath(QStringLiteral("nowhere.dat")), "No such file"},
        {dir.path(), "directory"},
        {fifo, "not a regular file"},
        {zero, "not a regular file"},   // root only: a copy of the zero device
        {large, "too large"},
    };
    for (const auto &c : unreadable) {
        if (c.path == zero && !haveDevice)
            continue;
        const Result<QString> loaded = LoadWeaponTable(*settings, c.path);
        EXPECT_FALSE(loaded.ok()) << c.path.toStdString();
        EXPECT_TRUE(loaded.reason().contains(c.path)) << loaded.reason().toStdString();
        EXPECT_TRUE(loaded.reason().contains(QLatin1String(c.problem))) << loaded.reason().toStdString();
        EXPECT_FALSE(ReadTableCaption(c.path).ok()) << c.path.toStdString();
    }
    EXPECT_EQ(settings->WeaponCount, 2);
}

TEST(LoadWeaponTable, NamesFoundWithoutRegardToCaseAndListedByPattern)
{
    QTemporaryDir dir;
    test::WriteFile(dir, QStringLiteral("TK-WP-RQ1.DAT"), "Upper\r\n1,100,A,1,1\r\n");
    test::WriteFile(dir, QStringLiteral("tk-wp-tr1.dat"), "Lower\r\n1,100,A,1,1\r\n");
    test::WriteFile(dir, QStringLiteral("tk-wp.txt"), "no");
    test::WriteFile(dir, QStringLiteral("other.dat"), "no");
    QDir(dir.path()).mkdir(QStringLiteral("tk-wp-dir.dat"));
    const auto settings = test::NewSettings();
    const Result<QString> loaded = LoadWeaponTable(*settings, dir.filePath(QStringLiteral("tk-wp-rq1.dat")));
    EXPECT_TRUE(loaded.ok());
    EXPECT_EQ(loaded.value(), QStringLiteral("Upper"));
    QStringList found = WeaponTableFiles(dir.path() + u'/');
    found.sort();
    EXPECT_EQ(found, (QStringList{QStringLiteral("TK-WP-RQ1.DAT"), QStringLiteral("tk-wp-tr1.dat")}));
    const Result<QString> caption = ReadTableCaption(dir.filePath(QStringLiteral("tk-wp-tr1.dat")));
    EXPECT_TRUE(caption.ok());
    EXPECT_EQ(caption.value(), QStringLiteral("Lower"));
    EXPECT_FALSE(ReadTableCaption(dir.filePath(QStringLiteral("none.dat"))).ok());
}

TEST(ShippedTables, LoadAndCoverOneToHundred)
{
    QStringList tables = WeaponTableFiles(test::SourceDataDirectory());
    tables.sort();
    EXPECT_EQ(tables, (QStringList{"tk-wp-rq1.dat", "tk-wp-rq2.dat", "tk-wp-rq3.dat", "tk-wp-tr1.dat",
                                   "tk-wp-tr2.dat", "tk-wp-tr3.dat"}));
    for (const QString &name : tables) {
        const auto settings = test::NewSettings();
        const Result<QString> loaded = LoadWeaponTable(*settings, test::SourceTable(name));
        ASSERT_TRUE(loaded.ok()) << loaded.reason().toStdString();
        const bool isRuneQuest = name.startsWith(QStringLiteral("tk-wp-rq"));
        EXPECT_TRUE(loaded.value().startsWith(isRuneQuest ? u"Runequest " : u"Traveller ")) << name.toStdString();
        ASSERT_GE(settings->WeaponCount, 2);
        float expectedLow = 1;
        for (int n = 1; n <= settings->WeaponCount; ++n) {
            const WeaponRow &row = settings->Weapons[n];
            EXPECT_EQ(row.Low, expectedLow) << name.toStdString() << " row " << n;
            EXPECT_GE(row.High, row.Low);
            EXPECT_FALSE(row.Name.trimmed().isEmpty());
            EXPECT_FALSE(row.Damage.trimmed().isEmpty());
            expectedLow = row.High + 1;
        }
        EXPECT_EQ(settings->Weapons[settings->WeaponCount].High, 100.0f) << name.toStdString();
        const TableCheck check = CheckWeaponTable(test::SourceTable(name), name);
        EXPECT_TRUE(check.sound()) << check.problems.join(u' ').toStdString();
        EXPECT_TRUE(DrawProblems(*settings).isEmpty());
        EXPECT_DOUBLE_EQ(std::accumulate(check.odds.chance.begin(), check.odds.chance.end(), 0.0), 1.0);
        // Two-handed RuneQuest weapons are marked so; nothing else may look like it.
        if (isRuneQuest) {
            bool anyTwoHanded = false;
            for (int n = 1; n <= settings->WeaponCount; ++n)
                anyTwoHanded |= settings->Weapons[n].Name.view().startsWith(u"2H ");
            EXPECT_TRUE(anyTwoHanded) << name.toStdString();
        }
    }
    const auto settings = test::NewSettings();
    EXPECT_EQ(LoadWeaponTable(*settings, test::SourceTable(QStringLiteral("tk-wp-rq1.dat"))).value(),
              QStringLiteral("Runequest Standard"));
}

TEST(CheckWeaponTable, ChancesAndProblems)
{
    struct Case
    {
        const char *what;
        QByteArray rows;                   // after a caption line
        std::vector<double> percent;       // each row's chance
        std::vector<const char *> problems;
    };
    const std::vector<Case> cases{
        {"sound", "1,15,A,1D6,1\r\n16,40,B,1D6,1\r\n41,100,C,1D6,1\r\n", {15, 25, 60}, {}},
        {"a gap of rolls", "1,10,A,1,1\r\n21,100,B,1,1\r\n", {10, 80}, {"Rolls 11 to 20 draw no weapon."}},
        {"a gap of one roll", "1,10,A,1,1\r\n12,100,B,1,1\r\n", {10, 89}, {"Roll 11 draws no weapon."}},
        {"a band not whole", "1,10.5,A,1,1\r\n10.7,100,B,1,1\r\n", {10, 90}, {}},
        {"overlap: the earlier row wins", "1,50,A,1,1\r\n30,45,C,1,1\r\n40,100,B,1,1\r\n", {50, 0, 50},
         {"Row 2 (C) can never be drawn: earlier rows take all its rolls."}},
        {"a band past the last High",
         "1,30,A,1,1\r\n70,80,Far,1,1\r\n31,60,B,1,1\r\n", {50, 0, 50},
         {"Row 2 (Far) can never be drawn: its band 70 to 80 holds none of the rolls 1 to 60.",
          "No row has High 100: the draw rolls 1 to 60 only."}},
        // A die of 99.5 sides shows 100 too, half as often as any other face.
        {"a last High that is not whole", "1,50,A,1,1\r\n51,99.5,B,1,1\r\n", {100 * 50 / 99.5, 100 * 49 / 99.5},
         {"Roll 100 draws no weapon.", "No row has High 100: the draw rolls 1 to 100 only."}},
        {"texts that are cut, a blank name",
         "1,50,\"Bastard Sword\",1D10+1D4,1\r\n51,100,\"  \",1D6,1\r\n", {50, 50},
         {"Row 1: the name \"Bastard Sword\" is longer than 10 characters and is cut to \"Bastard Sw\".",
          "Row 1: the damage \"1D10+1D4\" is longer than 6 characters and is cut to \"1D10+1\".",
          "Row 2 has a blank name."}},
        {"no rows", "", {}, {"The table has no weapons, so no weapon can be drawn."}},
        {"refused by the loader", "1,100,Club\r\n", {}, {"line 2: the file ends in the middle of a row"}},
    };
    QTemporaryDir dir;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = test::WriteTable(dir, QStringLiteral("tk-wp-check.dat"), "Caption", c.rows);
        const TableCheck check = CheckWeaponTable(path, QStringLiteral("tk-wp-check.dat"));
        ASSERT_EQ(check.odds.chance.size(), c.percent.size());
        for (std::size_t i = 0; i < c.percent.size(); ++i)
            EXPECT_NEAR(check.odds.chance[i] * 100, c.percent[i], 1e-9) << "row " << i + 1;
        ASSERT_EQ(check.problems.size(), qsizetype(c.problems.size())) << check.problems.join(u'|').toStdString();
        for (std::size_t i = 0; i < c.problems.size(); ++i)
            EXPECT_TRUE(check.problems[qsizetype(i)].contains(QString::fromUtf8(c.problems[i])))
                << check.problems[qsizetype(i)].toStdString();
        EXPECT_EQ(check.sound(), c.problems.empty());

        // The desktop's view of the loaded table names the same gaps and unreachable rows.
        const auto settings = test::NewSettings();
        if (LoadWeaponTable(*settings, path).ok()) {
            QStringList drawn;
            for (const QString &problem : check.problems) {
                if (problem.contains(u"draw no weapon") || problem.contains(u"draws no weapon")
                    || problem.contains(u"never be drawn") || problem.contains(u"no weapons"))
                    drawn << problem;
            }
            EXPECT_EQ(DrawProblems(*settings), drawn);
        }
    }
}

TEST(DrawWeapon, BandsOverlapsGapsAndTheBlankNotice)
{
    const auto settings = test::NewSettings();
    auto row = [&](int n, float low, float high, const char16_t *name, const char16_t *damage, qint16 rank) {
        settings->Weapons[n] = {FixedText<10>(name), low, high, FixedText<6>(damage), rank};
    };
    row(1, 1, 50, u"Spear", u"1D8+1", 2);
    row(2, 40, 55, u"Never", u"9D9", 9);   // hidden under row 1 from 40 to 50
    row(3, 61, 70, u"", u"1D3", 4);          // 56..60 is a gap
    row(4, 71, 100, u"2H Sword", u"2D8", 1);
    settings->WeaponCount = 4;
    settings->CurMember = 7;

    struct Case { int roll; const char16_t *weapon; const char16_t *damage; qint16 rank; bool notice; };
    const Case cases[] = {
        {1, u"Spear     ", u"1D8+1 ", 2, false}, {45, u"Spear     ", u"1D8+1 ", 2, false},
        {51, u"Never     ", u"9D9   ", 9, false}, {58, u"Untouched ", u"keep  ", 5, false},
        {63, u"          ", u"1D3   ", 4, true}, {100, u"2H Sword  ", u"2D8   ", 1, false},
    };
    for (const Case &c : cases) {
        settings->Members[7].Weapon = u"Untouched";
        settings->WeaponDamage = u"keep";
        settings->WeaponRank = 5;
        test::ScriptedDice dice({test::ScriptedDice::Face(c.roll, 100)});
        CollectingSink sink;
        DrawWeapon(*settings, dice, &sink);
        EXPECT_EQ(dice.remaining(), 0u);
        EXPECT_EQ(settings->Members[7].Weapon.toString(), QString::fromUtf16(c.weapon)) << c.roll;
        EXPECT_EQ(settings->WeaponDamage.toString(), QString::fromUtf16(c.damage)) << c.roll;
        EXPECT_EQ(settings->WeaponRank, c.rank) << c.roll;
        EXPECT_EQ(sink.messages, c.notice ? QStringList{QStringLiteral("63 ")} : QStringList{}) << c.roll;
    }

    // A table ending at 60 is drawn with a die of 60 sides; an empty one with a die of 0 sides.
    row(3, 56, 60, u"Axe", u"1D6", 3);
    settings->WeaponCount = 3;
    test::ScriptedDice top({0.999999});
    DrawWeapon(*settings, top, nullptr);
    EXPECT_EQ(settings->Members[7].Weapon.trimmed(), u"Axe");
    settings->WeaponCount = 0;
    settings->Members[7].Weapon = u"Same";
    test::ScriptedDice empty({0.5});
    DrawWeapon(*settings, empty, nullptr);
    EXPECT_EQ(settings->Members[7].Weapon.trimmed(), u"Same");
    EXPECT_EQ(empty.remaining(), 0u);
}
