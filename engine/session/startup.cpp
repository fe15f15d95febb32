#include "session/startup.h"

#include "core/inienv.h"
#include "core/paths.h"
#include "core/platformfiles.h"
#include "core/request.h"
#include "core/safefiles.h"
#include "weapons/weapontable.h"

#include <throngkit/version.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace throngkit {

namespace {

// Where the tables that ship are installed, found from the running executable (its bin/
// directory's ../share/throngkit; on Windows the tables folder beside it). The build tree has
// the same layout.
QString ProgramDataDirectory()
{
    const QString binDirectory = platform::ProgramDirectory();
    if (binDirectory.isEmpty())
        return {};
    return QDir::cleanPath(binDirectory + u'/' + QStringLiteral(THRONGKIT_DATA_FROM_BIN));
}

QString DefaultTableName(GameSystem system)
{
    return QString::fromUtf16(system == GameSystem::Traveller ? TravellerTableName
                                                              : RuneQuestTableName);
}

} // namespace

double ProgramVersion(int major, int minor, int revision) noexcept
{
    return major + minor / 10.0 + revision / 100.0;
}

QString TitleFor(double version)
{
    return QStringLiteral("Throngkit v") + QString::number(version, 'g', 15);
}

void InitialiseSettings(Settings &settings)
{
    settings.Version = ProgramVersion(version::Major, version::Minor, version::Revision);
    settings.Title = TitleFor(settings.Version);
    settings.CrLf = QStringLiteral("\r\n");
    // The request's defaults are the start-up choices; a request's unforced weapon is "*", "*"
    // and 2, but before the first Generate the damage is blank.
    [[maybe_unused]] const Outcome initial = ApplyRequest(RabbleRequest(), settings);
    Q_ASSERT(initial.ok());
    settings.WeaponDamage = u"";
}

QString TablePath(const QString &dbLoc, const QString &fileName)
{
    // A hand-edited INI may name the directory without its closing separator.
    return dbLoc.isEmpty() ? fileName : AddBackslash(dbLoc) + fileName;
}

QString DefaultTablePath(const QString &dbLoc, GameSystem system)
{
    return TablePath(dbLoc, DefaultTableName(system));
}

QString NamedTablePath(const QString &dbLoc, const QString &table)
{
    if (QFileInfo(ResolveFileName(table)).isFile() || QFileInfo(table).isAbsolute() || dbLoc.isEmpty())
        return table;
    const QString inData = TablePath(dbLoc, table);
    return QFileInfo(ResolveFileName(inData)).isFile() ? inData : table;
}

Outcome CheckDataDirectory(const QString &directory)
{
    const QFileInfo info(directory);
    if (!info.exists())
        return Outcome::failure(QStringLiteral("data directory %1 does not exist").arg(QuotedText(directory)));
    if (!info.isDir())
        return Outcome::failure(QStringLiteral("data directory %1 is not a directory").arg(QuotedText(directory)));
    return Outcome::success();
}

StartupContext ProcessStartupContext(FirstRunIni ini)
{
    StartupContext context;
    context.environment = QProcess::systemEnvironment();
    context.currentDirectory = QDir::currentPath();
    context.programDataDirectory = ProgramDataDirectory();
    context.mayWriteIni = ini == FirstRunIni::Write;
    return context;
}

namespace {

// The table to load for a user's choice: the system's default table when table is empty, else
// as NamedTablePath finds it.
QString ChosenTablePath(const QString &dbLoc, GameSystem system, const QString &table)
{
    return table.isEmpty() ? DefaultTablePath(dbLoc, system) : NamedTablePath(dbLoc, table);
}

// A folder as the system spells it (the INI keeps it so, messages show it so), ending in a separator.
QString Folder(const QString &path)
{
    return AddBackslash(QDir::toNativeSeparators(path));
}

bool HoldsDefaultTable(const QString &candidate)
{
    const QFileInfo table(ResolveFileName(DefaultTablePath(candidate, GameSystem::RuneQuest)));
    return table.isFile();
}

QString ProgramTablesOrEmpty(const StartupContext &context)
{
    if (context.programDataDirectory.isEmpty())
        return {};
    const QString candidate = Folder(context.programDataDirectory);
    return HoldsDefaultTable(candidate) ? candidate : QString();
}

// The INI's contents; missing (nothing there) is not refused.
struct IniFile
{
    QString path;             // empty when there is no configuration folder
    Result<QByteArray> read = Result<QByteArray>::failure(QString());
    bool refused = false;     // something is there that cannot be read as the INI
};

IniFile ReadIni(const StartupContext &context)
{
    IniFile ini;
    ini.path = IniPath(context.environment, QString::fromUtf16(IniFileName));
    if (ini.path.isEmpty())
        return ini;
    ini.read = ReadRegularFile(ini.path);
    // A link that leads nowhere, or round in a loop, is there all the same.
    const QFileInfo info(ini.path);
    ini.refused = !ini.read && (info.exists() || info.isSymLink());
    return ini;
}

// The first-run notice after writing (or failing to write) the INI, where the platform writes it
// (which on Windows need not be where an old one was read).
QString FirstRunNotice(const StartupContext &context, const IniFile &ini, const QString &candidate)
{
    const platform::IniFolders folders = platform::IniFoldersOf(context.environment);
    if (folders.writeTo.isEmpty()) {
        return QStringLiteral("Throngkit.ini could not be created: there is no configuration folder (%1). "
                              "Your data files are assumed to be in %2 for this run only.")
            .arg(folders.noFolder, candidate);
    }
    // A file there that cannot be read (too large, unreadable) is not the program's to replace.
    if (ini.refused) {
        return QStringLiteral("%1 cannot be read (%2), so it is left as it is. Your data files "
                              "are assumed to be in %3 for this run only.")
            .arg(ini.path, ini.read.reason(), candidate);
    }
    const QString iniPath = folders.writeTo + QString::fromUtf16(IniFileName);
    const bool replacing = ini.read.ok() && ini.path == iniPath;
    QDir().mkpath(folders.writeTo);
    // The one line of a first run; the directory is written as the file system spells it.
    const Outcome written =
        SaveFileAtomically(iniPath, "dbloc=" + candidate.toLocal8Bit() + "\r\n");
    if (!written) {
        return QStringLiteral("Throngkit.ini could not be created as %1 (%2). Your data files "
                              "are assumed to be in %3 for this run only.")
            .arg(iniPath, written.reason(), candidate);
    }
    return QStringLiteral("%1 has been %2, assuming your data files are in %3")
        .arg(iniPath, replacing ? QStringLiteral("rewritten") : QStringLiteral("created"), candidate);
}

} // namespace

DataLocation LocateDataDirectory(const StartupContext &context)
{
    DataLocation location;
    if (!context.dataDirectory.isEmpty()) {
        location.dbLoc = Folder(context.dataDirectory);
        return location;
    }
    const IniFile ini = ReadIni(context);
    const QString &iniPath = ini.path;
    if (ini.read)
        location.dbLoc = IniValue(ini.read.value(), QStringLiteral("DBLoc"));
    if (ini.refused) {
        location.firstRunNotice = QStringLiteral("%1 cannot be read (%2), so it is ignored.")
                                      .arg(iniPath, ini.read.reason());
    }
    if (!location.dbLoc.isEmpty()) {
        if (QFileInfo(location.dbLoc).isDir())
            return location;
        // A folder moved or deleted since the INI was written: say where the stale line is,
        // and carry on with the tables that ship rather than fail at every start.
        const QString stale = location.dbLoc;
        location.dbLoc = ProgramTablesOrEmpty(context);
        location.firstRunNotice =
            QStringLiteral("The data directory %1 named on the line \"dbloc=%2\" of %3 does not "
                           "exist: edit or delete that file. %4")
                .arg(QuotedText(stale), EscapeControls(stale), iniPath,
                     location.dbLoc.isEmpty()
                         ? QStringLiteral("No weapon table is loaded for this run.")
                         : QStringLiteral("The program's own tables in %1 are used for this run.")
                               .arg(location.dbLoc));
        return location;
    }

    // Only tables found in the current directory are worth an INI: the program's own data
    // directory is found afresh at every start, and naming it in the INI would point a moved
    // or reinstalled program at a folder that is gone.
    const QString current = Folder(context.currentDirectory);
    if (HoldsDefaultTable(current)) {
        location.dbLoc = current;
        if (context.mayWriteIni)
            location.firstRunNotice = FirstRunNotice(context, ini, current);
        return location;
    }
    location.dbLoc = ProgramTablesOrEmpty(context);
    return location;
}

StartupReport RunStartup(Settings &settings, const StartupContext &context, GameSystem system,
                         const QString &table)
{
    InitialiseSettings(settings);
    const DataLocation location = LocateDataDirectory(context);
    settings.DBLoc = location.dbLoc;

    StartupReport report;
    report.firstRunNotice = location.firstRunNotice;
    report.table = LoadWeaponTable(settings, ChosenTablePath(settings.DBLoc, system, table));
    return report;
}

} // namespace throngkit
