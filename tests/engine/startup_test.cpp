#include "core/inienv.h"
#include "core/paths.h"
#include "core/startup.h"
#include "tests/support/testsupport.h"

#include <throngkit/version.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace throngkit;

TEST(GetEnvValue, WholeNameIgnoringCase)
{
    const QStringList environment{QStringLiteral("WINDIRX=/wrong"), QStringLiteral("windir= /right "),
                                  QStringLiteral("PATH=/bin:/usr/bin"), QStringLiteral("EMPTY=")};
    struct Case { const char16_t *name; const char16_t *value; };
    const Case cases[] = {
        {u"WINDIR", u"/right"}, {u"windir", u"/right"}, {u"WINDIRX", u"/wrong"}, {u"WIN", u""},
        {u"PATH", u"/bin:/usr/bin"}, {u"EMPTY", u""}, {u"MISSING", u""}, {u"", u""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(GetEnvValue(environment, QString::fromUtf16(c.name)), QString::fromUtf16(c.value))
            << QString::fromUtf16(c.name).toStdString();
}

TEST(AddBackslash, AppendsTheSeparatorOnce)
{
    EXPECT_EQ(AddBackslash(QString()), QStringLiteral("/"));
    EXPECT_EQ(AddBackslash(QStringLiteral("/")), QStringLiteral("/"));
    EXPECT_EQ(AddBackslash(QStringLiteral("/games/rabble")), QStringLiteral("/games/rabble/"));
    EXPECT_EQ(AddBackslash(QStringLiteral("/games/rabble/")), QStringLiteral("/games/rabble/"));
    EXPECT_EQ(TablePath(QString(), QStringLiteral("t.dat")), QStringLiteral("t.dat"));
    EXPECT_EQ(TablePath(QStringLiteral("/d/"), QStringLiteral("t.dat")), QStringLiteral("/d/t.dat"));
    EXPECT_EQ(TablePath(QStringLiteral("/d"), QStringLiteral("t.dat")), QStringLiteral("/d/t.dat"));
}

TEST(GetIniValue, KeyIgnoringCaseOneSeparatorNothingTrimmed)
{
    QTemporaryDir dir;
    const QStringList environment{QStringLiteral("WINDIR=") + dir.path()};
    struct Case { QByteArray file; const char16_t *value; };
    const Case cases[] = {
        {"DBLOC=/Games/Rabble/\r\n", u"/Games/Rabble/"},
        {"dbloc: /Data/\r\n", u" /Data/"},          // any one separator; the blank stays
        {"dbloc= /Data/\r\n", u" /Data/"},
        {"[paths]\r\nother=1\r\ndbloc=/x/\r\ndbloc=/y/\r\n", u"/x/"},   // the first line wins
        {"dbloc=/lf/only/\n", u"/lf/only/"},
        {"dbloc=/no/line/end/", u"/no/line/end/"},
        {"dblo\r\n", u""},
        {"", u""},
    };
    for (const Case &c : cases) {
        test::WriteFile(dir, QStringLiteral("Throngkit.ini"), c.file);
        EXPECT_EQ(GetIniValue(environment, QStringLiteral("Throngkit.ini"), QStringLiteral("DBLoc")),
                  QString::fromUtf16(c.value)) << c.file.toStdString();
    }
    // A name with a directory is read where it says; a missing file gives nothing.
    const QString elsewhere = test::WriteFile(dir, QStringLiteral("other.ini"), "DBLoc=/e/\r\n");
    EXPECT_EQ(GetIniValue(environment, elsewhere, QStringLiteral("dbloc")), QStringLiteral("/e/"));
    EXPECT_EQ(GetIniValue(environment, QStringLiteral("missing.ini"), QStringLiteral("dbloc")), QString());
}

TEST(IniDirectory, WindirThenXdgThenHome)
{
    EXPECT_EQ(IniDirectory({QStringLiteral("WINDIR=/w"), QStringLiteral("XDG_CONFIG_HOME=/x")}), QStringLiteral("/w/"));
    EXPECT_EQ(IniDirectory({QStringLiteral("XDG_CONFIG_HOME=/x"), QStringLiteral("HOME=/h")}), QStringLiteral("/x/"));
    EXPECT_EQ(IniDirectory({QStringLiteral("XDG_CONFIG_HOME=relative"), QStringLiteral("HOME=/h")}),
              QStringLiteral("/h/.config/"));
    EXPECT_EQ(IniDirectory({QStringLiteral("HOME=/h/")}), QStringLiteral("/h/.config/"));
    // No home: no INI at all, never one at the file-system root.
    EXPECT_EQ(IniDirectory({}), QString());
    EXPECT_EQ(IniDirectory({QStringLiteral("HOME=/")}), QString());
}

TEST(ResolveFileName, FindsNamesWithoutRegardToCase)
{
    QTemporaryDir dir;
    const QString table = test::WriteFile(dir, QStringLiteral("TK-WP-RQ1.DAT"), "x\r\n");
    EXPECT_EQ(ResolveFileName(dir.filePath(QStringLiteral("tk-wp-rq1.dat"))), table);
    EXPECT_EQ(ResolveFileName(table), table);
    const QString missing = dir.filePath(QStringLiteral("tk-wp-zz.dat"));
    EXPECT_EQ(ResolveFileName(missing), missing);
}

TEST(Startup, VersionTitleAndStartValues)
{
    EXPECT_EQ(ProgramVersion(6, 1, 0), 6.1);
    EXPECT_EQ(TitleFor(6.1), QStringLiteral("Throngkit v6.1"));
    EXPECT_EQ(TitleFor(ProgramVersion(7, 0, 0)), QStringLiteral("Throngkit v7"));
    EXPECT_EQ(TitleFor(ProgramVersion(1, 2, 3)), QStringLiteral("Throngkit v1.23"));
    const auto settings = test::NewSettings();
    settings->HowMany = 3;
    settings->WeaponRank = 9;
    InitialiseSettings(*settings);
    EXPECT_EQ(settings->Title, TitleFor(ProgramVersion(version::Major, version::Minor, version::Revision)));
    EXPECT_EQ(settings->HowMany, 10.0f);
    EXPECT_EQ(settings->WeaponRank, 2);
    EXPECT_EQ(settings->MissileOdds, 4);
    EXPECT_EQ(settings->WeaponDamage.toString(), QStringLiteral("      "));
    EXPECT_EQ(settings->ForcedWeapon.toString(), QStringLiteral("*         "));
}

class FirstRun : public ::testing::Test
{
protected:
    QTemporaryDir windows, current, shipped;
    StartupContext context() const
    {
        return {{QStringLiteral("WINDIR=") + windows.path()}, current.path(), shipped.path(), true, {}};
    }
    QByteArray ini() const { return test::ReadFile(windows.filePath(QStringLiteral("Throngkit.ini"))); }
};

TEST_F(FirstRun, CurrentDirectoryWithTheTableIsWrittenToTheIni)
{
    test::WriteFile(current, QStringLiteral("tk-wp-rq1.dat"), "Mine\r\n1,100,Club,1D6,2\r\n");
    const DataLocation location = LocateDataDirectory(context());
    const QString candidate = current.path() + u'/';
    EXPECT_EQ(location.dbLoc, candidate);
    const QString iniPath = windows.filePath(QStringLiteral("Throngkit.ini"));
    EXPECT_EQ(location.firstRunNotice,
              iniPath + QStringLiteral(" has been created, assuming your data files are in ") + candidate);
    EXPECT_EQ(ini(), "dbloc=" + candidate.toLocal8Bit() + "\r\n");
    // The next run reads it back and writes nothing.
    const DataLocation again = LocateDataDirectory(context());
    EXPECT_EQ(again.dbLoc, candidate);
    EXPECT_TRUE(again.firstRunNotice.isEmpty());
}

TEST_F(FirstRun, TheProgramsOwnTablesAreUsedWithoutWritingTheIni)
{
    test::WriteFile(shipped, QStringLiteral("TK-WP-RQ1.DAT"), "Shipped\r\n1,100,Club,1D6,2\r\n");
    const auto settings = test::NewSettings();
    const StartupReport report = RunStartup(*settings, context());
    EXPECT_EQ(settings->DBLoc, shipped.path() + u'/');
    ASSERT_TRUE(report.table.ok()) << report.table.reason().toStdString();
    EXPECT_EQ(report.table.value(), QStringLiteral("Shipped"));
    EXPECT_EQ(settings->WeaponCount, 1);
    // Found afresh at every start, so a moved program still finds its tables.
    EXPECT_TRUE(report.firstRunNotice.isEmpty());
    EXPECT_FALSE(QFile::exists(windows.filePath(QStringLiteral("Throngkit.ini"))));
}

TEST_F(FirstRun, AStaleDataDirectoryNamesTheIniAndFallsBackToTheOwnTables)
{
    test::WriteFile(shipped, QStringLiteral("tk-wp-rq1.dat"), "Shipped\r\n1,100,Club,1D6,2\r\n");
    const QByteArray stale = "dbloc=" + QFile::encodeName(current.filePath(QStringLiteral("gone/"))) + "\r\n";
    test::WriteFile(windows, QStringLiteral("Throngkit.ini"), stale);
    const DataLocation location = LocateDataDirectory(context());
    EXPECT_EQ(location.dbLoc, shipped.path() + u'/');
    for (const QString &named : {windows.filePath(QStringLiteral("Throngkit.ini")),
                                 QString::fromLocal8Bit(stale.chopped(2)), QStringLiteral("edit or delete")})
        EXPECT_TRUE(location.firstRunNotice.contains(named)) << location.firstRunNotice.toStdString();
    EXPECT_EQ(ini(), stale);   // the user's file is the user's to mend
}

TEST_F(FirstRun, AnIniThatIsNotARegularFileOrTooLargeIsLeftAlone)
{
    test::WriteFile(current, QStringLiteral("tk-wp-rq1.dat"), "Mine\r\n1,100,Club,1D6,2\r\n");
    const QString iniPath = windows.filePath(QStringLiteral("Throngkit.ini"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(iniPath).constData(), 0600), 0);   // must not hang
    const DataLocation location = LocateDataDirectory(context());
    EXPECT_EQ(location.dbLoc, current.path() + u'/');
    EXPECT_TRUE(location.firstRunNotice.contains(QStringLiteral("not a regular file")))
        << location.firstRunNotice.toStdString();
    EXPECT_FALSE(QFileInfo(iniPath).isFile());
    // Nor is one too large to be an INI file.
    ASSERT_TRUE(QFile::remove(iniPath));
    const QByteArray huge = "[x]\r\n" + QByteArray(1024 * 1024, ';');
    test::WriteFile(windows, QStringLiteral("Throngkit.ini"), huge);
    EXPECT_TRUE(LocateDataDirectory(context()).firstRunNotice.contains(QStringLiteral("too large")));
    EXPECT_EQ(ini(), huge);
}

TEST_F(FirstRun, ReplacingAnIniIsNotCalledCreatingIt)
{
    test::WriteFile(current, QStringLiteral("tk-wp-rq1.dat"), "Mine\r\n1,100,Club,1D6,2\r\n");
    test::WriteFile(windows, QStringLiteral("Throngkit.ini"), "[other]\r\n");
    const DataLocation location = LocateDataDirectory(context());
    EXPECT_FALSE(location.firstRunNotice.contains(QStringLiteral("created")));
    EXPECT_TRUE(location.firstRunNotice.contains(windows.filePath(QStringLiteral("Throngkit.ini"))));
    EXPECT_EQ(ini(), "dbloc=" + QFile::encodeName(current.path()) + "/\r\n");
}

TEST_F(FirstRun, AnIniThatDoesNotFitKeepsTheOldFileAndSaysWhy)
{
    test::WriteFile(current, QStringLiteral("tk-wp-rq1.dat"), "Mine\r\n1,100,Club,1D6,2\r\n");
    test::WriteFile(windows, QStringLiteral("Throngkit.ini"), "[x]\r\n");
    const auto notice = test::WithFileSizeLimit(8, [&] { return LocateDataDirectory(context()).firstRunNotice; });
    ASSERT_TRUE(notice.has_value());
    EXPECT_TRUE(notice->contains(QStringLiteral("could not be created"))) << notice->toStdString();
    EXPECT_TRUE(notice->contains(QStringLiteral("File too large"))) << notice->toStdString();
    EXPECT_EQ(ini(), "[x]\r\n");
    EXPECT_EQ(QDir(windows.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral("Throngkit.ini")});
}

TEST_F(FirstRun, WithoutAHomeNothingIsWritten)
{
    test::WriteFile(current, QStringLiteral("tk-wp-rq1.dat"), "Mine\r\n1,100,Club,1D6,2\r\n");
    const StartupContext homeless{{QStringLiteral("PATH=/bin")}, current.path(), QString(), true, {}};
    const DataLocation location = LocateDataDirectory(homeless);
    EXPECT_EQ(location.dbLoc, current.path() + u'/');
    EXPECT_TRUE(location.firstRunNotice.contains(QStringLiteral("could not be created")))
        << location.firstRunNotice.toStdString();
    EXPECT_FALSE(QFile::exists(QStringLiteral("/.config/Throngkit.ini")));
}

TEST_F(FirstRun, NoTableAnywhereGoesOnWithAnEmptyTable)
{
    StartupContext noWrite = context();
    noWrite.mayWriteIni = false;
    const auto settings = test::NewSettings();
    const StartupReport report = RunStartup(*settings, noWrite);
    EXPECT_TRUE(settings->DBLoc.isEmpty());
    EXPECT_EQ(settings->WeaponCount, 0);
    EXPECT_FALSE(report.table.ok());
    EXPECT_TRUE(report.table.reason().contains(QStringLiteral("tk-wp-rq1.dat"))) << report.table.reason().toStdString();
    EXPECT_TRUE(report.firstRunNotice.isEmpty());
    EXPECT_TRUE(ini().isEmpty());
}

TEST_F(FirstRun, CommandFindsTheTableButNeverWritesTheIni)
{
    test::WriteFile(current, QStringLiteral("tk-wp-rq1.dat"), "Mine\r\n1,100,Club,1D6,2\r\n");
    StartupContext noWrite = context();
    noWrite.mayWriteIni = false;
    EXPECT_EQ(LocateDataDirectory(noWrite).dbLoc, current.path() + u'/');
    EXPECT_FALSE(QFile::exists(windows.filePath(QStringLiteral("Throngkit.ini"))));
}

TEST_F(FirstRun, AnIniThatCannotBeWrittenIsNotReportedAsCreated)
{
    test::WriteFile(current, QStringLiteral("tk-wp-rq1.dat"), "Mine\r\n1,100,Club,1D6,2\r\n");
    // WINDIR names a file, so no INI can be created below it.
    const QString blocker = test::WriteFile(windows, QStringLiteral("blocker"), "x");
    const StartupContext blocked{{QStringLiteral("WINDIR=") + blocker}, current.path(), QString(), true, {}};
    const DataLocation location = LocateDataDirectory(blocked);
    EXPECT_EQ(location.dbLoc, current.path() + u'/');
    EXPECT_FALSE(location.firstRunNotice.contains(QStringLiteral("has been created")));
    EXPECT_TRUE(location.firstRunNotice.contains(QStringLiteral("could not be created")));
}

// Which table each front loads for a system and an optional table name: the system's default,
// a table found as given, or a bare name found in the data directory (which the user may name,
// bypassing the INI).
TEST_F(FirstRun, TheTableASystemOrTheUserChooses)
{
    test::WriteFile(shipped, QStringLiteral("tk-wp-rq1.dat"), "RQ default\r\n1,100,Club,1D6,2\r\n");
    test::WriteFile(shipped, QStringLiteral("TK-WP-TR1.DAT"), "TR default\r\n1,100,Club,1D6,2\r\n");
    test::WriteFile(shipped, QStringLiteral("mine.dat"), "In data\r\n1,100,Club,1D6,2\r\n");
    test::WriteFile(current, QStringLiteral("mine.dat"), "Here\r\n1,100,Club,1D6,2\r\n");
    const QString inShipped = shipped.filePath(QStringLiteral("mine.dat"));
    struct Case
    {
        GameSystem system;
        QString table;
        QString dataDirectory;
        QString caption;   // empty: the load fails
    };
    const Case cases[] = {
        {GameSystem::RuneQuest, {}, {}, QStringLiteral("RQ default")},
        {GameSystem::Traveller, {}, {}, QStringLiteral("TR default")},   // found ignoring case
        {GameSystem::Traveller, {}, current.path(), {}},                 // the named directory only
        {GameSystem::RuneQuest, QStringLiteral("mine.dat"), {}, QStringLiteral("In data")},
        {GameSystem::RuneQuest, inShipped, current.path(), QStringLiteral("In data")},
        {GameSystem::RuneQuest, QStringLiteral("mine.dat"), current.path(), QStringLiteral("Here")},
        {GameSystem::RuneQuest, QStringLiteral("none.dat"), {}, {}},
    };
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(windows.path()));   // a relative name is not found by accident
    for (const Case &c : cases) {
        SCOPED_TRACE(c.table.toStdString() + " in " + c.dataDirectory.toStdString());
        StartupContext ctx = context();
        ctx.dataDirectory = c.dataDirectory;
        const auto settings = test::NewSettings();
        const StartupReport report = RunStartup(*settings, ctx, c.system, c.table);
        EXPECT_EQ(report.table.ok(), !c.caption.isEmpty()) << report.table.reason().toStdString();
        EXPECT_EQ(report.table.value(), c.caption);
    }
    ASSERT_TRUE(QDir::setCurrent(previous));
}
