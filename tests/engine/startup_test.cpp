#include "core/inienv.h"
#include "core/paths.h"
#include "core/platformfiles.h"
#include "session/startup.h"
#include "tests/support/testsupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/stat.h>
#endif

using namespace throngkit;

// The folders the INI is read from and the one it is written to, as "read... > written".
QString IniFolders(const QStringList &environment)
{
    const platform::IniFolders folders = platform::IniFoldersOf(environment);
    return (folders.readFrom + QStringList{u">"_qs, folders.writeTo}).join(u' ').trimmed();
}

// A variable by its whole name ignoring case, the INI's folders (on Linux WINDIR, then
// XDG_CONFIG_HOME, then HOME's .config, none without a home, never the file-system root; on
// Windows %APPDATA%\Throngkit, then the old %WINDIR%, which is never written), a folder with its
// separator, a table's path, the title for a version; paths with "/" between their parts.
TEST(Startup, EnvironmentPathsAndTitle)
{
    const QStringList environment{u"WINDIRX=/wrong"_qs, u"windir= /right "_qs, u"PATH=/bin:/usr/bin"_qs, u"EMPTY="_qs};
    const std::pair<QString, const char16_t *> cases[] = {
#ifdef Q_OS_WIN
        {IniFolders({u"WINDIR=C:\\Windows"_qs, u"APPDATA=C:\\Users\\r\\AppData\\Roaming"_qs}),
         u"C:/Users/r/AppData/Roaming/Throngkit/ C:/Windows/ > C:/Users/r/AppData/Roaming/Throngkit/"},
        {IniFolders({u"WINDIR=C:\\Windows"_qs, u"APPDATA=Roaming"_qs}), u"C:/Windows/ >"}, {IniFolders({}), u">"},
#else
        {IniFolders({u"WINDIR=/w"_qs, u"XDG_CONFIG_HOME=/x"_qs}), u"/w/ > /w/"},
        {IniFolders({u"XDG_CONFIG_HOME=/x"_qs, u"HOME=/h"_qs}), u"/x/ > /x/"},
        {IniFolders({u"XDG_CONFIG_HOME=relative"_qs, u"HOME=/h"_qs}), u"/h/.config/ > /h/.config/"},
        {IniFolders({u"HOME=/h/"_qs}), u"/h/.config/ > /h/.config/"}, {IniFolders({}), u">"}, {IniFolders({u"HOME=/"_qs}), u">"},
        {IniFolders({u"HOME=relative/home"_qs}), u">"},
        {ResolveFileName(u"/no/such/folder/t.dat"_qs), u"/no/such/folder/t.dat"},
#endif
        {GetEnvValue(environment, u"WINDIR"_qs), u"/right"}, {GetEnvValue(environment, u"windir"_qs), u"/right"},
        {GetEnvValue(environment, u"WINDIRX"_qs), u"/wrong"}, {GetEnvValue(environment, u"WIN"_qs), u""},
        {GetEnvValue(environment, u"PATH"_qs), u"/bin:/usr/bin"}, {GetEnvValue(environment, u"EMPTY"_qs), u""},
        {GetEnvValue(environment, u"MISSING"_qs), u""}, {GetEnvValue(environment, QString()), u""},
        {AddBackslash(QString()), u"/"}, {AddBackslash(u"/"_qs), u"/"}, {AddBackslash(u"/games/rabble"_qs), u"/games/rabble/"},
        {AddBackslash(u"/games/rabble/"_qs), u"/games/rabble/"}, {TablePath(QString(), u"t.dat"_qs), u"t.dat"},
        {TablePath(u"/d/"_qs, u"t.dat"_qs), u"/d/t.dat"}, {TablePath(u"/d"_qs, u"t.dat"_qs), u"/d/t.dat"},
        {TitleFor(ProgramVersion(6, 1, 0)), u"Throngkit v6.1"}, {TitleFor(ProgramVersion(7, 0, 0)), u"Throngkit v7"},
        {TitleFor(ProgramVersion(1, 2, 3)), u"Throngkit v1.23"},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(QDir::fromNativeSeparators(cases[i].first), QString::fromUtf16(cases[i].second)) << "case " << i;
    EXPECT_EQ(ProgramVersion(6, 1, 0), 6.1);
    QTemporaryDir dir;   // an INI named with its folder is read there
    EXPECT_EQ(GetIniValue({}, test::WriteFile(dir, u"other.ini"_qs, "DBLoc=/e/\r\n"), u"dbloc"_qs), u"/e/"_qs);
}

// The desktop starts through the real process context: settings left by anything before are
// reset to the start-up values, and a first run with the table at hand writes the INI.
TEST(FirstRun, TheDesktopsStartResetsTheSettings)
{
    QTemporaryDir windows, current;
    test::WriteTable(current, u"tk-wp-rq1.dat"_qs, "Mine", "1,100,Club,1D6,2\r\n");
    const QByteArray previousWindir = qgetenv("WINDIR"), previousAppData = qgetenv("APPDATA");
    const QString previousDirectory = QDir::currentPath();
    qputenv("WINDIR", QFile::encodeName(windows.path()));
    qputenv("APPDATA", QFile::encodeName(windows.path()));
    ASSERT_TRUE(QDir::setCurrent(current.path()));
    const auto settings = test::NewSettings();
    settings->Title = u"stale"_qs; settings->CrLf = u"\n"_qs;
    settings->AbilityLevel = u"L"; settings->ForcedWeapon = u"Axe"; settings->WeaponDamage = u"1D8";
    settings->WeaponRank = 9; settings->ShieldChoice = u"N"; settings->MissileOdds = 0; settings->HowMany = 3;
    const StartupReport desktop = RunStartup(*settings, ProcessStartupContext(FirstRunIni::Write));
    ASSERT_TRUE(QDir::setCurrent(previousDirectory));
    qputenv("WINDIR", previousWindir);
    qputenv("APPDATA", previousAppData);

    // Paths as the system spells them; on Windows in a folder of the program's own in %APPDATA%.
    const QString here = QDir::toNativeSeparators(current.path() + u'/');
    const QString ini = windows.filePath(test::OnWindows ? u"Throngkit/Throngkit.ini"_qs : u"Throngkit.ini"_qs);
    EXPECT_EQ(desktop.firstRunNotice, QDir::toNativeSeparators(ini) + u" has been created, assuming your data files are in "_qs + here);
    EXPECT_EQ(desktop.table.value(), u"Mine"_qs);
    EXPECT_EQ(settings->DBLoc, here);
    EXPECT_EQ((QStringList{settings->Title, settings->CrLf, settings->AbilityLevel.toString(),
                           settings->ForcedWeapon.toString(), settings->WeaponDamage.toString(),
                           QString::number(settings->WeaponRank), settings->ShieldChoice.toString(),
                           QString::number(settings->MissileOdds), QString::number(settings->HowMany)}),
              (QStringList{QString::fromUtf8(test::ProgramTitle()), u"\r\n"_qs, u"*"_qs, u"*         "_qs, u"      "_qs,
                           u"2"_qs, u"*"_qs, u"4"_qs, u"10"_qs}));
}

// The names below a folder, its subfolders' included, ignoring case.
QStringList Tree(const QString &folder)
{
    QStringList names;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        names << QDir(folder).relativeFilePath(it.next());
    names.sort(Qt::CaseInsensitive);
    return names;
}

// Where the tables are looked for at start, what a first run writes and says, what it leaves
// beside the INI, and where a second start looks, against tests/data/engine/startup-locations.txt
// (startup-locations-windows.txt on Windows, whose paths are shown here with "/"; {ini} is the
// INI's path, {here} the current directory, {own} the program's own data directory, {old} the
// Windows folder): the notices word for word, an INI written only as "dbloc={here}" with nothing
// else left beside it, and a user's file (stale, too large or a FIFO, which must not hang the
// start; on Windows, one in the Windows folder) left as it was.
TEST(StartupLocation, TheDataDirectoryAndTheIni)
{
    enum Ini { Missing, File, Fifo, NoHome, FolderIsAFile, FolderToMake, Old, OldAndNew };
    const std::string huge = "[x]\r\n" + std::string(1024 * 1024, ';');
    const struct { const char *what; Ini ini; const char *before; bool tableHere, ownTables, mayWrite; long sizeLimit; } cases[] = {
        {"no INI yet", Missing, "", true, false, true, 0},
        {"no configuration folder yet", FolderToMake, "", true, false, true, 0},
        {"an INI without the line", File, "[other]\r\n", true, true, true, 0},
        {"no home", NoHome, "", true, false, true, 0},
        {"no home, the program's own tables", NoHome, "", false, true, true, 0},   // nothing to say
        {"the INI's folder is a file", FolderIsAFile, "", true, false, true, 0},
        {"the INI does not fit", File, "[x]\r\n", true, false, true, 8},
        {"a FIFO", Fifo, "", true, false, true, 0},
        {"too large to be an INI", File, huge.c_str(), true, false, true, 0},
        {"the command never writes the INI", Missing, "", true, true, false, 0},
        {"the program's own tables", Missing, "", false, true, true, 0},   // found afresh at every start
        {"no table anywhere", Missing, "", false, false, true, 0},
        {"the INI's line comes first", File, "dbloc={own}\r\n", true, true, true, 0},
        {"a stale line", File, "dbloc={here}gone/\r\n", true, true, true, 0},
        {"a stale line, no own tables", File, "dbloc={here}gone/\r\n", true, false, true, 0},
        // The INI's line: its key in any case, then any one separator, nothing trimmed.
        {"a separator other than \"=\", the blank kept", File, "dbloc: {own}\r\n", true, true, true, 0},
        {"the first line wins", File, "[paths]\r\nother=1\r\nDBLOC={own}\r\ndbloc={here}\r\n", true, true, true, 0},
        {"LF only", File, "dbloc={own}\n", true, true, true, 0},
        {"no line end", File, "dbloc={own}", true, true, true, 0},
        {"a line too short for the key", File, "dblo\r\n", true, true, true, 0},
        // Where the old program kept its INI: read, never written (Windows has two INI folders).
        {"an old INI in the Windows folder", Old, "dbloc={own}\r\n", true, true, true, 0},
        {"an old INI without the line", Old, "[other]\r\n", true, true, true, 0},
        {"an INI in both folders", OldAndNew, "dbloc={own}\r\n", true, true, true, 0},
    };
    const QString iniName = test::OnWindows ? u"Throngkit/Throngkit.ini"_qs : u"Throngkit.ini"_qs;
    const QString golden = test::OnWindows ? u"engine/startup-locations-windows.txt"_qs : u"engine/startup-locations.txt"_qs;
    QString report;
    for (const auto &c : cases) {
#ifdef Q_OS_WIN
        if (c.ini == Fifo || c.sizeLimit)
            continue;
#else
        if (c.ini == Old || c.ini == OldAndNew)
            continue;
#endif
        QTemporaryDir home, here, own, old;
        const QString blocker = test::WriteFile(home, u"blocker"_qs, "x");
        const QString iniDir = c.ini == FolderIsAFile ? blocker : c.ini == FolderToMake ? home.filePath(u"new"_qs) : home.path();
        const QString ini = iniDir + u'/' + iniName, oldIni = old.filePath(u"Throngkit.ini"_qs);
        const auto fill = [&](QString text) {
            return text.replace(u"{ini}"_qs, ini).replace(u"{here}"_qs, here.path() + u'/')
                .replace(u"{own}"_qs, own.path() + u'/');
        };
        if (c.tableHere)
            test::WriteTable(here, u"tk-wp-rq1.dat"_qs, "Here", "1,100,Club,1D6,2\r\n");
        if (c.ownTables)
            test::WriteTable(own, u"TK-WP-RQ1.DAT"_qs, "Own", "1,100,Club,1D6,2\r\n");
        const QByteArray before = fill(QString::fromLatin1(c.before)).toLocal8Bit();
        const QByteArray oldBefore = c.ini == Old ? before : fill(u"dbloc={here}\r\n"_qs).toLocal8Bit();
        if (c.ini == File || c.ini == OldAndNew) {
            QDir().mkpath(QFileInfo(ini).path());
            test::WriteFile(home, iniName, before);
        }
        if (c.ini == Old || c.ini == OldAndNew)
            test::WriteFile(old, u"Throngkit.ini"_qs, oldBefore);
#ifdef Q_OS_WIN
        const QStringList environment = c.ini == NoHome ? QStringList{u"PATH=C:\\"_qs}
                                                        : QStringList{u"APPDATA="_qs + iniDir, u"WINDIR="_qs + old.path()};
#else
        if (c.ini == Fifo) {
            ASSERT_EQ(::mkfifo(QFile::encodeName(ini).constData(), 0600), 0);
        }
        const QStringList environment{c.ini == NoHome ? u"PATH=/bin"_qs : u"WINDIR="_qs + iniDir};
#endif
        const StartupContext context{environment, here.path(), own.path(), c.mayWrite, {}};
        const auto locate = [&] {
            const DataLocation location = LocateDataDirectory(context);
            return u"  located: "_qs + location.dbLoc + u"\n  notice: "_qs + location.firstRunNotice + u'\n';
        };
#ifdef Q_OS_WIN
        report += QLatin1String(c.what) + u'\n' + locate();
#else
        report += QLatin1String(c.what) + u'\n'
                  + (c.sizeLimit ? test::InChildProcess(locate, c.sizeLimit).value_or(u"no result\n"_qs) : locate());
#endif
        const bool regular = QFileInfo(ini).isFile();   // never read the FIFO: that would wait
        const QByteArray after = regular ? test::ReadFile(ini) : QByteArray();
        report += u"  INI: "_qs + (!QFileInfo::exists(ini) ? u"none"_qs : !regular ? u"not a file"_qs
                                    : after == before ? u"as before"_qs : QString::fromLocal8Bit(after).replace(u"\r\n"_qs, u"<CRLF>"_qs))
                  + u"\n  beside it: "_qs + Tree(home.path()).join(u' ') + u'\n';
        if (regular && after != before)
            report += u"  at the next start:\n"_qs + locate();
        if (QFileInfo::exists(oldIni)) {
            EXPECT_EQ(test::ReadFile(oldIni), oldBefore) << c.what;   // the old INI is never written
        }
#ifdef Q_OS_WIN
        report = QDir::fromNativeSeparators(report).replace(test::NoSuchFolder(), u"{no path}"_qs);
#endif
        report.replace(ini, u"{ini}"_qs).replace(here.path() + u'/', u"{here}"_qs).replace(own.path() + u'/', u"{own}"_qs)
            .replace(old.path() + u'/', u"{old}/"_qs);
    }
    EXPECT_EQ(report.toStdString(), test::ReadTestData(golden).toStdString());
    EXPECT_FALSE(QFile::exists(u"/.config/Throngkit.ini"_qs));
}

// Which table each front loads for a system and an optional table name: the system's default,
// a table found as given, or a bare name found in the data directory (which the user may name,
// bypassing the INI).
TEST(FirstRun, TheTableASystemOrTheUserChooses)
{
    QTemporaryDir windows, current, shipped;
    test::WriteTable(shipped, u"tk-wp-rq1.dat"_qs, "RQ default", "1,100,Club,1D6,2\r\n");
    test::WriteTable(shipped, u"TK-WP-TR1.DAT"_qs, "TR default", "1,100,Club,1D6,2\r\n");
    test::WriteTable(shipped, u"mine.dat"_qs, "In data", "1,100,Club,1D6,2\r\n");
    test::WriteTable(current, u"mine.dat"_qs, "Here", "1,100,Club,1D6,2\r\n");
    const QString inShipped = shipped.filePath(u"mine.dat"_qs);
    const QString missing = u"The weapon table %1 cannot be opened: "_qs + test::NoSuchFile() + u'.';
    const struct { GameSystem system; QString table, dataDirectory, loaded; } cases[] = {   // caption or reason
        {GameSystem::RuneQuest, {}, {}, u"RQ default"_qs},
        {GameSystem::Traveller, {}, {}, u"TR default"_qs},   // found ignoring case
        {GameSystem::Traveller, {}, current.path(), missing.arg(QDir::toNativeSeparators(current.filePath(u"tk-wp-tr1.dat"_qs)))},
        {GameSystem::RuneQuest, u"mine.dat"_qs, {}, u"In data"_qs},
        {GameSystem::RuneQuest, inShipped, current.path(), u"In data"_qs},
        {GameSystem::RuneQuest, u"mine.dat"_qs, current.path(), u"Here"_qs},
        {GameSystem::RuneQuest, u"none.dat"_qs, {}, missing.arg(u"none.dat"_qs)},
    };
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(windows.path()));   // a relative name is not found by accident
    for (const auto &c : cases) {
        SCOPED_TRACE(c.table.toStdString() + " in " + c.dataDirectory.toStdString());
        const StartupContext ctx{{u"WINDIR="_qs + windows.path()}, current.path(), shipped.path(), true, c.dataDirectory};
        const auto settings = test::NewSettings();
        const StartupReport report = RunStartup(*settings, ctx, c.system, c.table);
        EXPECT_EQ(report.table.ok() ? report.table.value() : report.table.reason(), c.loaded);
    }
    ASSERT_TRUE(QDir::setCurrent(previous));
}
