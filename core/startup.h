#pragma once

#include "core/settings.h"

#include <QString>
#include <QStringList>

namespace throngkit {

inline constexpr char16_t IniFileName[] = u"Throngkit.ini";
inline constexpr char16_t RuneQuestTableName[] = u"tk-wp-rq1.dat";
inline constexpr char16_t TravellerTableName[] = u"tk-wp-tr1.dat";
inline constexpr char16_t DefaultHeading[] = u"Throngkit Listing";

// Major + Minor / 10 + Revision / 100, and "Throngkit v" + that number as the shortest decimal
// text of at most 15 significant digits ("Throngkit v6.1").
double ProgramVersion(int major, int minor, int revision) noexcept;
QString TitleFor(double version);

// Version, Title, CrLf and the start-up values of the choice fields and HowMany.
void InitialiseSettings(Settings &settings);

// Where the tables that ship are installed, found from the running executable (its bin/
// directory's ../share/throngkit). The build tree has the same layout.
QString ProgramDataDirectory();

// What start-up reads of the world, passed in so that tests can fake every part of it.
struct StartupContext
{
    QStringList environment;        // entries "NAME=value"
    QString currentDirectory;
    QString programDataDirectory;   // where the tables that ship are installed; may be empty
    bool mayWriteIni = true;        // the command never writes the INI
};

struct DataLocation
{
    QString dbLoc;            // ends with a separator; empty when no candidate holds the table
    QString firstRunNotice;   // the first-run or stale-INI notice; empty when none is due
};

// DBLoc from the INI; on a first run the current directory when it holds the default RuneQuest
// table, written to the INI through the atomic writer, else the program's data directory,
// used for the run without writing the INI. A DBLoc naming a folder that is gone gives a notice
// naming the INI and its line, and the program's data directory for the run.
DataLocation LocateDataDirectory(const StartupContext &context);

// dbLoc followed directly by fileName: dbLoc ends with a separator, or is empty (current directory).
QString TablePath(const QString &dbLoc, const QString &fileName);

struct StartupReport
{
    QString firstRunNotice;   // to show before the configuration window, when not empty
    QString tableCaption;     // caption of the loaded default table (for Label3)
    QString tableError;       // why the default table did not load; empty when it did
};

// The whole start-up: InitialiseSettings, LocateDataDirectory, load of the default RuneQuest
// table. Never ends the program: a table that does not load leaves Weapons empty.
StartupReport RunStartup(Settings &settings, const StartupContext &context);

} // namespace throngkit
