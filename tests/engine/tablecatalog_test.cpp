// Which weapon tables the table chooser is offered: by name pattern without regard to case,
// regular readable non-empty files only, in case-blind name order, "/" kept out of captions.
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
        {"tk-wp-empty.dat", ""},
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
    QStringList offered;
    for (const OfferedTable &table : OfferedWeaponTables(dir.path() + u'/'))
        offered << table.fileName + u": "_qs + table.caption;
    // A root test run reads every file whatever its permissions.
    if (QFile(dir.filePath(QStringLiteral("tk-wp-unreadable.dat"))).open(QIODevice::ReadOnly))
        expected << "tk-wp-unreadable.dat: Locked";
    EXPECT_EQ(offered, expected);
}

} // namespace
