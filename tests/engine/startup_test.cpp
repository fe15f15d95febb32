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

TEST(Startup, VersionAndTitle)
{
    EXPECT_EQ(ProgramVersion(6, 1, 0), 6.1);
    EXPECT_EQ(TitleFor(6.1), QStringLiteral("Throngkit v6.1"));
    EXPECT_EQ(TitleFor(ProgramVersion(7, 0, 0)), QStringLiteral("Throngkit v7"));
    EXPECT_EQ(TitleFor(ProgramVersion(1, 2, 3)), QStringLiteral("Throngkit v1.23"));
}

class FirstRun : public ::testing::Test
{
protected:
    QTemporaryDir windows, current, shipped;
    StartupContext context() const
    {
        return {{QStringLiteral("WINDIR=") + windows.path()}, current.path(), shipped.path(), true, {}};
    }
    QString iniPath() const { return windows.filePath(QStringLiteral("Throngkit.ini")); }
    QByteArray ini() const { return test::ReadFile(iniPath()); }
    void tableHere() const
    {
        test::WriteTable(current, QStringLiteral("tk-wp-rq1.dat"), "Mine", "1,100,Club,1D6,2\r\n");
    }
};

// The desktop starts through the real process context: settings left by anything before are
// reset to the start-up values, and a first run with the table at hand writes the INI.
TEST_F(FirstRun, TheDesktopsStartResetsTheSettingsAndWritesTheIni)
{
    tableHere();
    const QByteArray previousWindir = qgetenv("WINDIR");
    const QString previousDirectory = QDir::currentPath();
    qputenv("WINDIR", QFile::encodeName(windows.path()));
    ASSERT_TRUE(QDir::setCurrent(current.path()));
    const auto settings = test::NewSettings();
    settings->Title = QStringLiteral("stale"); settings->CrLf = QStringLiteral("\n");
    settings->AbilityLevel = u"L"; settings->ForcedWeapon = u"Axe"; settings->WeaponDamage = u"1D8";
    settings->WeaponRank = 9; settings->ShieldChoice = u"N"; settings->MissileOdds = 0; settings->HowMany = 3;
    const StartupReport desktop = RunStartup(*settings, ProcessStartupContext(FirstRunIni::Write));
    ASSERT_TRUE(QDir::setCurrent(previousDirectory));
    qputenv("WINDIR", previousWindir);

    const QString here = current.path() + u'/';
    EXPECT_EQ(desktop.firstRunNotice,
              iniPath() + QStringLiteral(" has been created, assuming your data files are in ") + here);
    EXPECT_EQ(ini(), "dbloc=" + QFile::encodeName(here) + "\r\n");
    EXPECT_EQ(desktop.table.value(), QStringLiteral("Mine"));
    EXPECT_EQ(settings->DBLoc, here);
    EXPECT_EQ(settings->Title, QString::fromUtf8(test::ProgramTitle()));
    EXPECT_EQ(settings->CrLf, QStringLiteral("\r\n"));
    EXPECT_EQ(settings->AbilityLevel.toString(), QStringLiteral("*"));
    EXPECT_EQ(settings->ForcedWeapon.toString(), QStringLiteral("*         "));
    EXPECT_EQ(settings->WeaponDamage.toString(), QStringLiteral("      "));
    EXPECT_EQ(settings->WeaponRank, 2);
    EXPECT_EQ(settings->ShieldChoice.toString(), QStringLiteral("*"));
    EXPECT_EQ(settings->MissileOdds, 4);
    EXPECT_EQ(settings->HowMany, 10.0f);
}

// With the default table in the current directory and no INI line yet: what is written, and
// what the user is told. "{why}" stands for the system's reason, which must hold the word given.
TEST_F(FirstRun, TheCurrentDirectoryAndTheIni)
{
    enum class Home { Windir, None, WindirIsAFile };
    enum class Before { Nothing, File, Fifo };
    struct Case
    {
        const char *what;
        Home home;
        Before before;
        QByteArray beforeBytes;
        QString notice;        // {ini}: the INI's path; {dir}: the current directory
        const char *why;
        bool written;          // the INI holds the dbloc line afterwards; else as it was
    };
    const QString assumed = QStringLiteral(" Your data files are assumed to be in {dir} for this run only.");
    const QByteArray huge = "[x]\r\n" + QByteArray(1024 * 1024, ';');
    const Case cases[] = {
        {"no INI yet", Home::Windir, Before::Nothing, {},
         QStringLiteral("{ini} has been created, assuming your data files are in {dir}"), "", true},
        {"an INI without the line", Home::Windir, Before::File, "[other]\r\n",
         QStringLiteral("{ini} has been rewritten, assuming your data files are in {dir}"), "", true},
        {"no home", Home::None, Before::Nothing, {},
         QStringLiteral("Throngkit.ini could not be created: there is no configuration folder (WINDIR and "
                        "XDG_CONFIG_HOME are not set, and HOME is unset, relative or the file-system root).")
             + assumed, "", false},
        {"WINDIR names a file", Home::WindirIsAFile, Before::Nothing, {},
         QStringLiteral("Throngkit.ini could not be created as {ini} ({why}).") + assumed, "directory", false},
        // Must not hang on the FIFO, nor replace what it cannot read.
        {"a FIFO", Home::Windir, Before::Fifo, {},
         QStringLiteral("{ini} cannot be read ({why}), so it is left as it is.") + assumed,
         "not a regular file", false},
        {"too large to be an INI", Home::Windir, Before::File, huge,
         QStringLiteral("{ini} cannot be read ({why}), so it is left as it is.") + assumed, "too large", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir home, here;
        test::WriteTable(here, QStringLiteral("tk-wp-rq1.dat"), "Mine", "1,100,Club,1D6,2\r\n");
        const QString blocker = test::WriteFile(home, QStringLiteral("blocker"), "x");
        const QString iniDir = c.home == Home::WindirIsAFile ? blocker : home.path();
        const QString path = iniDir + QStringLiteral("/Throngkit.ini");
        if (c.before == Before::File)
            test::WriteFile(home, QStringLiteral("Throngkit.ini"), c.beforeBytes);
        if (c.before == Before::Fifo) {
            ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        }
        const QStringList environment = c.home == Home::None
            ? QStringList{QStringLiteral("PATH=/bin")} : QStringList{QStringLiteral("WINDIR=") + iniDir};
        const StartupContext ctx{environment, here.path(), QString(), true, {}};

        const DataLocation location = LocateDataDirectory(ctx);
        const QString dir = here.path() + u'/';
        EXPECT_EQ(location.dbLoc, dir);
        const QString notice = QString(c.notice).replace(QStringLiteral("{ini}"), path).replace(QStringLiteral("{dir}"), dir);
        const qsizetype why = notice.indexOf(QStringLiteral("{why}"));
        if (why < 0) {
            EXPECT_EQ(location.firstRunNotice, notice);
        } else {
            const QString before = notice.left(why), after = notice.mid(why + 5);
            const QString &got = location.firstRunNotice;
            ASSERT_TRUE(got.startsWith(before) && got.endsWith(after)) << got.toStdString();
            EXPECT_TRUE(got.sliced(before.size(), got.size() - before.size() - after.size())
                            .contains(QLatin1String(c.why))) << got.toStdString();
        }
        if (c.before == Before::Fifo) {
            EXPECT_FALSE(QFileInfo(path).isFile());
            continue;
        }
        const QByteArray line = "dbloc=" + QFile::encodeName(dir) + "\r\n";
        EXPECT_EQ(test::ReadFile(path), c.written ? line : c.beforeBytes);
        // Only the INI itself: no temporary file left beside it.
        EXPECT_EQ(QDir(home.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(),
                  1 + qsizetype(c.before == Before::File || c.written));
        if (c.written) {
            const DataLocation again = LocateDataDirectory(ctx);
            EXPECT_EQ(again.dbLoc, dir);
            EXPECT_EQ(again.firstRunNotice, QString());
        }
    }
    EXPECT_FALSE(QFile::exists(QStringLiteral("/.config/Throngkit.ini")));
}

TEST_F(FirstRun, TheProgramsOwnTablesAreUsedWithoutWritingTheIni)
{
    test::WriteTable(shipped, QStringLiteral("TK-WP-RQ1.DAT"), "Shipped", "1,100,Club,1D6,2\r\n");
    const auto settings = test::NewSettings();
    const StartupReport report = RunStartup(*settings, context());
    EXPECT_EQ(settings->DBLoc, shipped.path() + u'/');
    ASSERT_TRUE(report.table.ok()) << report.table.reason().toStdString();
    EXPECT_EQ(report.table.value(), QStringLiteral("Shipped"));
    EXPECT_EQ(settings->WeaponCount, 1);
    // Found afresh at every start, so a moved program still finds its tables.
    EXPECT_EQ(report.firstRunNotice, QString());
    EXPECT_FALSE(QFile::exists(iniPath()));
}

TEST_F(FirstRun, AStaleDataDirectoryNamesTheIniAndFallsBackToTheOwnTables)
{
    test::WriteTable(shipped, QStringLiteral("tk-wp-rq1.dat"), "Shipped", "1,100,Club,1D6,2\r\n");
    const QString gone = current.filePath(QStringLiteral("gone/"));
    const QByteArray stale = "dbloc=" + QFile::encodeName(gone) + "\r\n";
    test::WriteFile(windows, QStringLiteral("Throngkit.ini"), stale);
    const DataLocation location = LocateDataDirectory(context());
    EXPECT_EQ(location.dbLoc, shipped.path() + u'/');
    EXPECT_EQ(location.firstRunNotice,
              QStringLiteral("The data directory \"%1\" named on the line \"dbloc=%1\" of %2 does not "
                             "exist: edit or delete that file. The program's own tables in %3/ are used "
                             "for this run.").arg(gone, iniPath(), shipped.path()));
    EXPECT_EQ(ini(), stale);   // the user's file is the user's to mend
}

TEST_F(FirstRun, AnIniThatDoesNotFitKeepsTheOldFileAndSaysWhy)
{
    tableHere();
    test::WriteFile(windows, QStringLiteral("Throngkit.ini"), "[x]\r\n");
    const auto notice = test::WithFileSizeLimit(8, [&] { return LocateDataDirectory(context()).firstRunNotice; });
    ASSERT_TRUE(notice.has_value());
    EXPECT_TRUE(notice->startsWith(QStringLiteral("Throngkit.ini could not be created as ") + iniPath()))
        << notice->toStdString();
    EXPECT_TRUE(notice->contains(QStringLiteral("File too large"))) << notice->toStdString();
    EXPECT_EQ(ini(), "[x]\r\n");
    EXPECT_EQ(QDir(windows.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral("Throngkit.ini")});
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
    EXPECT_TRUE(report.table.reason().startsWith(QStringLiteral("The weapon table tk-wp-rq1.dat cannot be opened: ")))
        << report.table.reason().toStdString();
    EXPECT_EQ(report.firstRunNotice, QString());
    EXPECT_TRUE(ini().isEmpty());
}

// Which table each front loads for a system and an optional table name: the system's default,
// a table found as given, or a bare name found in the data directory (which the user may name,
// bypassing the INI).
TEST_F(FirstRun, TheTableASystemOrTheUserChooses)
{
    test::WriteTable(shipped, QStringLiteral("tk-wp-rq1.dat"), "RQ default", "1,100,Club,1D6,2\r\n");
    test::WriteTable(shipped, QStringLiteral("TK-WP-TR1.DAT"), "TR default", "1,100,Club,1D6,2\r\n");
    test::WriteTable(shipped, QStringLiteral("mine.dat"), "In data", "1,100,Club,1D6,2\r\n");
    test::WriteTable(current, QStringLiteral("mine.dat"), "Here", "1,100,Club,1D6,2\r\n");
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
