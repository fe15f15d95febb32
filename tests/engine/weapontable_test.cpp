#include "tests/support/scripteddice.h"
#include "tests/support/testsupport.h"
#include "weapons/tablecheck.h"
#include "weapons/weapondraw.h"
#include "weapons/weapontable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#include <sys/sysmacros.h>
#endif

using namespace throngkit;

namespace {

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

// What each roll of the draw's die gives the last member, as spans of rolls: weapon, damage and
// SR/PEN, "-" where the roll draws nothing and all stays as it was, and any notice it raises.
QString Draws(Settings &s)
{
    const double top = s.WeaponCount > 0 ? double(s.Weapons[s.WeaponCount].High) : 0.0;
    const int last = std::max(1, int(std::ceil(top)));
    s.CurMember = MaxMembers;
    QString text = u"  Draws:"_qs, previous;
    int from = 1;
    for (int roll = 1; roll <= last + 1; ++roll) {
        QString drawn;
        if (roll <= last) {
            s.Members[MaxMembers].Weapon = u"-";
            s.WeaponDamage = u"-";
            s.WeaponRank = -1;
            test::ScriptedDice dice({top > 0 ? test::ScriptedDice::Face(roll, top) : 0.5});
            test::CollectingSink sink;
            DrawWeapon(s, dice, &sink);
            EXPECT_EQ(dice.remaining(), 0u);
            drawn = s.Members[MaxMembers].Weapon.trimmed().toString() + u'|' + s.WeaponDamage.trimmed().toString()
                    + u'|' + QString::number(s.WeaponRank);
            if (!sink.messages.isEmpty()) {   // the roll, for a blank name
                EXPECT_EQ(sink.messages, QStringList{QString::number(roll) + u' '});
                drawn += u" and its notice"_qs;
            }
        }
        if (roll > 1 && drawn != previous) {
            text += u' ' + QString::number(from) + (from < roll - 1 ? u'-' + QString::number(roll - 1) : QString())
                    + u' ' + previous + (roll <= last ? u","_qs : QString());
            from = roll;
        }
        previous = drawn;
    }
    // A draw for no member (slot 0 is never one) names no member's weapon.
    s.CurMember = 0;
    s.Members[0].Weapon = u"-";
    test::ScriptedDice dice({0.5});
    DrawWeapon(s, dice);
    EXPECT_EQ(s.Members[0].Weapon.trimmed(), u"-");
    return text + u'\n';
}

} // namespace

// Every sample table (tests/data/engine/tables: caption and line-end rules, the end at High 100,
// the 50-row bound, gaps, overlaps, cut texts and each reason to refuse a file), every shipped
// table and files that are not tables at all (made here: a FIFO, a device node, a directory,
// nothing, a file past the bound of 1 MiB and one at it) are checked, described as the "tables"
// command describes them, captioned as the table chooser reads them, loaded over an older table,
// and drawn from with every roll of the die, against one report per folder ({dir}/ for the folder).
// They pin every caption, row count, field, chance, problem and refusal (file line and system
// reason included); that a refused load keeps the older rows; that each roll draws the first row
// whose band holds it, and nothing in a gap; and that the shipped tables cover 1 to 100 from row 1
// on, mark two-handed RuneQuest weapons "2H " and have captions starting "Runequest " or
// "Traveller ".
TEST(WeaponTables, SampleShippedAndSpecialFilesMatchTheirCheckedReports)
{
    QTemporaryDir special;
#ifndef Q_OS_WIN   // FIFOs, device nodes and escapes in names are Linux's (Windows' devices: safefiles)
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
    test::WriteFile(special, u"escape\x1B[2J.dat"_qs, "T\r\n" + row);   // the report escapes it
#endif

    const QString data = test::TestDataDirectory() + u"engine/"_qs;
    const struct { QString dir; const char *golden; QStringList missing; } folders[] = {
        {data + u"tables/"_qs, "sample-tables.txt", {}},
        {test::SourceDataDirectory(), "shipped-tables.txt", {}},
#ifndef Q_OS_WIN
        {special.path() + u'/', "special-tables.txt", {u"nowhere.dat"_qs}},
#endif
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
            report += LoadedRows(*settings) + Draws(*settings);
            for (const QString &problem : DrawProblems(*settings))
                report += u"  Draw: "_qs + problem + u'\n';
        }
        report.replace(QDir::toNativeSeparators(folder.dir), u"{dir}/"_qs).replace(folder.dir, u"{dir}/"_qs);
        EXPECT_EQ(report.toStdString(), test::ReadFile(data + QLatin1String(folder.golden)).toStdString());
    }
}
