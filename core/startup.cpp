#include "core/startup.h"

#include "core/inienv.h"
#include "core/paths.h"
#include "weapons/weapontable.h"

#include <throngkit/version.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace throngkit {

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
    settings.AbilityLevel = u"*";
    settings.ForcedWeapon = u"*";
    settings.WeaponDamage = u"";
    settings.WeaponRank = 2;
    settings.ShieldChoice = u"*";
    settings.HowMany = 10;
    settings.MissileOdds = 4;
}

QString ProgramDataDirectory()
{
    QString binDirectory;
    if (QCoreApplication::instance())
        binDirectory = QCoreApplication::applicationDirPath();
    else
        binDirectory = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    if (binDirectory.isEmpty())
        return {};
    return AddBackslash(QDir::cleanPath(binDirectory + QDir::separator()
                                        + QStringLiteral(THRONGKIT_DATA_FROM_BIN)));
}

QString TablePath(const QString &dbLoc, const QString &fileName)
{
    // A hand-edited INI may name the directory without its closing separator.
    if (dbLoc.isEmpty() || dbLoc.endsWith(QDir::separator()))
        return dbLoc + fileName;
    return dbLoc + QDir::separator() + fileName;
}

namespace {

bool HoldsDefaultTable(const QString &candidate)
{
    const QFileInfo table(ResolveFileName(candidate + QStringLiteral("TK-WP-RQ1.DAT")));
    return table.isFile();
}

// The one line of a first run. The directory is written as the file system spells it.
bool WriteIniFile(const QString &path, const QString &dbLoc, QString *error)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write("dbloc=" + dbLoc.toLocal8Bit() + "\r\n");
        if (file.commit())
            return true;
    }
    *error = file.errorString();
    return false;
}

} // namespace

DataLocation LocateDataDirectory(const StartupContext &context)
{
    DataLocation location;
    location.dbLoc = GetIniValue(context.environment, QString::fromUtf16(IniFileName),
                                 QStringLiteral("DBLoc"));
    if (!location.dbLoc.isEmpty())
        return location;

    QStringList candidates{AddBackslash(context.currentDirectory)};
    if (!context.programDataDirectory.isEmpty())
        candidates.append(AddBackslash(context.programDataDirectory));

    for (const QString &candidate : std::as_const(candidates)) {
        if (!HoldsDefaultTable(candidate))
            continue;
        location.dbLoc = candidate;
        if (context.mayWriteIni) {
            const QString iniPath = IniDirectory(context.environment) + QString::fromUtf16(IniFileName);
            QString error;
            if (WriteIniFile(iniPath, candidate, &error)) {
                location.firstRunNotice =
                    QStringLiteral("Throngkit.ini has been created, assuming your data files are in ")
                    + candidate;
            } else {
                location.firstRunNotice =
                    QStringLiteral("Throngkit.ini could not be created as %1 (%2). Your data files "
                                   "are assumed to be in %3 for this run only.")
                        .arg(iniPath, error, candidate);
            }
        }
        return location;
    }
    return location;
}

StartupReport RunStartup(Settings &settings, const StartupContext &context)
{
    InitialiseSettings(settings);
    const DataLocation location = LocateDataDirectory(context);
    settings.DBLoc = location.dbLoc;

    StartupReport report;
    report.firstRunNotice = location.firstRunNotice;
    const TableLoad loaded =
        LoadWeaponTable(settings, TablePath(settings.DBLoc, QString::fromUtf16(RuneQuestTableName)));
    if (loaded.ok)
        report.tableCaption = loaded.caption;
    else
        report.tableError = loaded.error;
    return report;
}

} // namespace throngkit
