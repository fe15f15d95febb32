#include "core/messagesink.h"
#include "tests/support/scripteddice.h"
#include "tests/support/testsupport.h"
#include "weapons/tablecheck.h"
#include "weapons/weapondraw.h"
#include "weapons/weapontable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>

using namespace throngkit;

namespace {

struct CollectingSink : MessageSink
{
    QStringList messages;
    void showMessage(const QString &text) override { messages.append(text); }
};

QString Number(double value) { return QString::number(value, 'g', 9); }

// The rows settings hold after a load, as the draw and the listings see them (cut to their
// widths), and at least the first three, so that a refused load shows what it kept.
QString LoadedRows(const Settings &s)
{
    QString text = u"  Loaded rows: "_qs + QString::number(s.WeaponCount) + u'\n';
    for (int n = 1; n <= std::max(3, int(s.WeaponCount)); ++n) {
        const WeaponRow &row = s.Weapons[n];
        text += u"  "_qs + QString::number(n) + u": "_qs + Number(row.Low) + u".."_qs + Number(row.High) + u" ["_qs
                + row.Name.toString() + u"] ["_qs + row.Damage.toString() + u"] "_qs + QString::number(row.Rank) + u'\n';
    }
    return text;
}

} // namespace

// Every sample table (tests/data/engine/tables: caption and line-end rules, the end at High 100,
// the 50-row bound, gaps, overlaps, cut texts and each reason to refuse a file), every shipped
// table and files that are not tables at all (made here: a FIFO, a device node, a directory,
// nothing, a file past the bound of 1 MiB and one at it) are checked, described as the "tables"
// command describes them, captioned as the table chooser reads them, and loaded over an older
// table, with the draw's problems, against one report per folder; the folder reads {dir}/.
// The reports were made by this code and read through line by line: every caption, row count,
// field, chance, problem and refusal (file line and system reason included) equals what the
// earlier case-by-case assertions required, all of which passed against them; a refused load
// keeps the older rows; the shipped tables cover 1 to 100 from row 1 on, mark two-handed
// RuneQuest weapons "2H " and have captions starting "Runequest " or "Traveller ".
TEST(WeaponTables, SampleShippedAndSpecialFilesMatchTheirCheckedReports)
{
    QTemporaryDir special;
    const QByteArray fifo = QFile::encodeName(special.filePath(u"fifo.dat"_qs));
    const QByteArray zero = QFile::encodeName(special.filePath(u"zero.dat"_qs));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    // A copy of the zero device, which only root may make; a FIFO meets the same refusal.
    if (::mknod(zero.constData(), S_IFCHR | 0600, makedev(1, 5)) != 0) {
        ASSERT_EQ(::mkfifo(zero.constData(), 0600), 0);
    }
    QDir(special.path()).mkdir(u"dir.dat"_qs);
    const QByteArray row = "1,100,A,1,1\r\n";
    const QByteArray filler(1024 * 1024 - 3 - row.size(), ' ');
    test::WriteFile(special, u"large.dat"_qs, "T\r\n " + filler + row);
    test::WriteFile(special, u"at-bound.dat"_qs, "T\r\n" + filler + row);

    const QString data = QStringLiteral(THRONGKIT_SOURCE_DATA_DIR "/../tests/data/engine/");
    const struct { QString dir; const char *golden; QStringList missing; } folders[] = {
        {data + u"tables/"_qs, "sample-tables.txt", {}},
        {test::SourceDataDirectory(), "shipped-tables.txt", {}},
        {special.path() + u'/', "special-tables.txt", {u"nowhere.dat"_qs}},
    };
    for (const auto &folder : folders) {
        SCOPED_TRACE(folder.golden);
        QString report;
        for (const QString &name : QDir(folder.dir).entryList({u"*.dat"_qs}, QDir::AllEntries | QDir::System
                                                               | QDir::NoDotAndDotDot, QDir::Name) + folder.missing) {
            const QString path = folder.dir + name;
            const TableCheck check = CheckWeaponTable(path, name);
            report += DescribeTableCheck(check);
            const Result<QString> caption = ReadTableCaption(path);
            report += u"  Caption: "_qs + (caption ? u'"' + caption.value() + u'"' : caption.reason()) + u'\n';
            const auto settings = test::NewSettings();
            test::LoadSmallTable(*settings);
            settings->WeaponCount = 2;   // row 3 lies beyond the loaded table
            const Result<QString> loaded = LoadWeaponTable(*settings, path);
            // The check reads exactly what the loader reads and refuses it with the same reason.
            EXPECT_EQ(loaded.ok() ? loaded.value() : loaded.reason(),
                      check.table.ok() ? check.table.value().caption : check.problems.value(0)) << name.toStdString();
            report += LoadedRows(*settings);
            for (const QString &problem : DrawProblems(*settings))
                report += u"  Draw: "_qs + problem + u'\n';
        }
        report.replace(folder.dir, u"{dir}/"_qs);
        EXPECT_EQ(report.toStdString(), test::ReadFile(data + QLatin1String(folder.golden)).toStdString());
    }
}

TEST(DrawWeapon, BandsOverlapsGapsAndTheBlankNotice)
{
    const auto settings = test::NewSettings();
    settings->Weapons[1] = {u"Spear", 1, 50, u"1D8+1", 2};
    settings->Weapons[2] = {u"Never", 40, 55, u"9D9", 9};   // hidden under row 1 from 40 to 50
    settings->Weapons[3] = {u"", 61, 70, u"1D3", 4};        // 56..60 is a gap
    settings->Weapons[4] = {u"2H Sword", 71, 100, u"2D8", 1};
    settings->WeaponCount = 4;
    settings->CurMember = 7;

    struct Case { int roll; const char16_t *weapon; const char16_t *damage; qint16 rank; bool notice; };
    const Case cases[] = {
        {1, u"Spear     ", u"1D8+1 ", 2, false}, {45, u"Spear     ", u"1D8+1 ", 2, false},
        {51, u"Never     ", u"9D9   ", 9, false}, {58, u"Untouched ", u"keep  ", 5, false},
        {63, u"          ", u"1D3   ", 4, true}, {100, u"2H Sword  ", u"2D8   ", 1, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.roll);
        settings->Members[7].Weapon = u"Untouched";
        settings->WeaponDamage = u"keep";
        settings->WeaponRank = 5;
        test::ScriptedDice dice({test::ScriptedDice::Face(c.roll, 100)});
        CollectingSink sink;
        DrawWeapon(*settings, dice, &sink);
        EXPECT_EQ(dice.remaining(), 0u);
        EXPECT_EQ(settings->Members[7].Weapon.toString(), QString::fromUtf16(c.weapon));
        EXPECT_EQ(settings->WeaponDamage.toString(), QString::fromUtf16(c.damage));
        EXPECT_EQ(settings->WeaponRank, c.rank);
        EXPECT_EQ(sink.messages, c.notice ? QStringList{u"63 "_qs} : QStringList{});
    }

    // A table ending at 60 is drawn with a die of 60 sides; an empty one with a die of 0 sides.
    settings->Weapons[3] = {u"Axe", 56, 60, u"1D6", 3};
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
