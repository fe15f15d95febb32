// Which weapon tables the table chooser is offered: by name pattern without regard to case,
// regular readable non-empty files only, in case-blind name order, "/" kept out of captions; the
// others left out with their reasons, and the note the chooser shows about them.
#include "tests/support/testsupport.h"
#include "weapons/tablecatalog.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

using namespace throngkit;

namespace {

TEST(OfferedWeaponTables, RegularTablesInCaseBlindNameOrder)
{
    QTemporaryDir dir;
    const struct { const char *name; QByteArray bytes; } files[] = {
        {"tk-wp-b.dat", "Bravo\r\n1,100,A,1,1\r\n"},
        {"TK-WP-A.DAT", "Alpha/Upper\r\n1,100,A,1,1\r\n"},
#ifndef Q_OS_WIN   // whose file names are one whatever their case
        {"tk-wp-a.dat", "Alpha lower"},   // the same name but for case: after the upper-case one
#endif
        {"tk-wp-C.dat", "Charlie\r\n"},
        {"tk-wp-a2.dat", "Alpha two"},   // no line end: still a caption
        {"tk-wp-long.dat", QByteArray(70000, 'L')},   // a caption is read from the first 64 KiB only
        {"tk-wp-empty.dat", ""},
        {"tk-wp-esc.dat", "Bad\x1b caption\r\n1,100,A,1,1\r\n"},
        {"tk-wp.txt", "Not a table\r\n"},
        {"other.dat", "Not a table\r\n"},
        {"tk-wp-unreadable.dat", "Locked\r\n"},
    };
    for (const auto &file : files)
        test::WriteFile(dir, QString::fromLatin1(file.name), file.bytes);
    QFile::setPermissions(dir.filePath(QStringLiteral("tk-wp-unreadable.dat")), QFileDevice::WriteOwner);
    QDir(dir.path()).mkdir(QStringLiteral("tk-wp-dir.dat"));
    QStringList expected{"TK-WP-A.DAT: Alpha-Upper", "tk-wp-a2.dat: Alpha two", "tk-wp-b.dat: Bravo", "tk-wp-C.dat: Charlie"};
#ifndef Q_OS_WIN
    expected.insert(1, "tk-wp-a.dat: Alpha lower");
    // Opening a FIFO for reading would wait for a writer that never comes.
    const QByteArray fifo = QFile::encodeName(dir.filePath(QStringLiteral("tk-wp-x.dat")));
    ASSERT_EQ(mkfifo(fifo.constData(), 0644), 0);
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("tk-wp-x.dat")),
                            dir.filePath(QStringLiteral("tk-wp-link-to-fifo.dat"))));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("tk-wp-b.dat")),
                            dir.filePath(QStringLiteral("tk-wp-link.dat"))));
    expected << "tk-wp-link.dat: Bravo";
#endif
    expected << "tk-wp-long.dat: " + QString(64 * 1024, u'L');
    const TableCatalogue catalogue = OfferedWeaponTables(dir.path() + u'/');
    QStringList offered;
    for (const OfferedTable &table : catalogue.offered)
        offered << table.fileName + u": "_qs + table.caption;
    for (const LeftOutTable &table : catalogue.leftOut)
        offered << u"left out "_qs + table.fileName + u": "_qs + table.reason;
    // A root test run, or Windows, reads every file whatever its permissions.
    const bool readable = QFile(dir.filePath(QStringLiteral("tk-wp-unreadable.dat"))).open(QIODevice::ReadOnly);
    if (readable)
        expected << "tk-wp-unreadable.dat: Locked";
    expected << "left out tk-wp-empty.dat: the file is empty"
             << "left out tk-wp-esc.dat: the caption \"Bad\\x1B caption\" holds a control character";
    if (!test::OnWindows)
        expected << "left out tk-wp-link-to-fifo.dat: it is not a regular file";
    if (!readable)
        expected << "left out tk-wp-unreadable.dat: Permission denied";
    if (!test::OnWindows)
        expected << "left out tk-wp-x.dat: it is not a regular file";
    EXPECT_EQ(offered, expected);
    EXPECT_TRUE(catalogue.folderProblem.isEmpty());
}

// The folder gone or no folder, a folder without tables, a few tables left out, many. (With
// nothing left out there is no note: the window's Browse test has those cases.)
TEST(OfferedWeaponTables, TheNoteSaysWhatWasLeftOutAndWhy)
{
    QTemporaryDir dir;
    test::WriteFile(dir, u"file"_qs, "");
    for (const char *folder : {"none", "one", "six"})
        QDir(dir.path()).mkdir(QString::fromLatin1(folder));
    test::WriteFile(dir, u"one/tk-wp-good.dat"_qs, "Good\r\n1,100,A,1,1\r\n");
    test::WriteFile(dir, u"one/tk-wp-e.dat"_qs, "");
    for (int i = 1; i <= 6; ++i)
        test::WriteFile(dir, u"six/tk-wp-e%1.dat"_qs.arg(i), "");
    const struct { QString folder, note; } rows[] = {
        {"gone/", "The data folder \"{dir}/gone\" does not exist."},
        {"file", "The data folder \"{dir}/file\" is not a folder."},
        {"none/", "The data folder \"{dir}/none\" holds no weapon tables (tk-wp*.dat)."},
        {"one/", "1 table left out:\ntk-wp-e.dat: the file is empty"},
        {"six/", "6 tables left out:\ntk-wp-e1.dat: the file is empty\ntk-wp-e2.dat: the file is empty\n"
                 "tk-wp-e3.dat: the file is empty\ntk-wp-e4.dat: the file is empty\nand 2 more."},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.folder.toStdString());
        EXPECT_EQ(QDir::fromNativeSeparators(LeftOutNote(OfferedWeaponTables(dir.filePath(row.folder)))), QString(row.note).replace(u"{dir}"_qs, dir.path()));
    }
}

} // namespace
