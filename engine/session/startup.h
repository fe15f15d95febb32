#pragma once

#include "core/outcome.h"
#include "core/settings.h"

#include <throngkit/engine_export.h>

#include <QString>
#include <QStringList>

namespace throngkit {

inline constexpr char16_t IniFileName[] = u"Throngkit.ini";
inline constexpr char16_t RuneQuestTableName[] = u"tk-wp-rq1.dat";
inline constexpr char16_t TravellerTableName[] = u"tk-wp-tr1.dat";

// Major + Minor / 10 + Revision / 100, and "Throngkit v" + that number as the shortest decimal
// text of at most 15 significant digits ("Throngkit v6.1").
THRONGKIT_ENGINE_EXPORT double ProgramVersion(int major, int minor, int revision) noexcept;
THRONGKIT_ENGINE_EXPORT QString TitleFor(double version);

// Version, Title, CrLf and the start-up values of the choice fields and HowMany.
THRONGKIT_ENGINE_EXPORT void InitialiseSettings(Settings &settings);

// What start-up reads of the world, passed in so that tests can fake every part of it.
struct StartupContext
{
    QStringList environment;        // entries "NAME=value"
    QString currentDirectory;
    QString programDataDirectory;   // where the tables that ship are installed; may be empty
    bool mayWriteIni = true;        // the command never writes the INI
    QString dataDirectory;          // named by the user: used as it stands, the INI not read
};

enum class FirstRunIni { Write, LeaveAlone };

// The context of the running process: its environment, its current directory and the program's
// own data directory. The windows write the INI on a first run; a script's run leaves the
// user's configuration alone.
THRONGKIT_ENGINE_EXPORT StartupContext ProcessStartupContext(FirstRunIni ini);

struct DataLocation
{
    QString dbLoc;            // ends with a separator; empty when no candidate holds the table
    QString firstRunNotice;   // the first-run or stale-INI notice; empty when none is due
};

// DBLoc as the user named it (with a separator added), else from the INI; on a first run the
// current directory when it holds the default RuneQuest table, written to the INI through the
// atomic writer, else the program's data directory, used for the run without writing the INI.
// A DBLoc naming a folder that is gone gives a notice naming the INI and its line, and the
// program's data directory for the run.
THRONGKIT_ENGINE_EXPORT DataLocation LocateDataDirectory(const StartupContext &context);

// dbLoc followed directly by fileName: dbLoc ends with a separator, or is empty (current directory).
THRONGKIT_ENGINE_EXPORT QString TablePath(const QString &dbLoc, const QString &fileName);

// The table a game system loads when none is chosen: tk-wp-rq1.dat or tk-wp-tr1.dat (RuneQuest
// for a system that is neither).
THRONGKIT_ENGINE_EXPORT QString DefaultTablePath(const QString &dbLoc, GameSystem system);

// A table file the user named (not empty): table as given when it is there, is absolute or there
// is no data directory; else, a bare relative name being where the tables usually are, the same
// name in dbLoc when it is a file.
THRONGKIT_ENGINE_EXPORT QString NamedTablePath(const QString &dbLoc, const QString &table);

// A data directory the user named: refused when missing or not a directory.
[[nodiscard]] THRONGKIT_ENGINE_EXPORT Outcome CheckDataDirectory(const QString &directory);

struct StartupReport
{
    QString firstRunNotice;   // to show before the first window or line, when not empty
    // The caption of the loaded table (for Label3), or why the table did not load.
    Result<QString> table = Result<QString>::success(QString());
};

// The whole start-up: InitialiseSettings, LocateDataDirectory, load of the table chosen for
// system (its default table when table is empty, else NamedTablePath; the windows start with RuneQuest's default). Never ends the program:
// a table that does not load leaves Weapons empty.
THRONGKIT_ENGINE_EXPORT StartupReport RunStartup(Settings &settings, const StartupContext &context,
                         GameSystem system = GameSystem::RuneQuest, const QString &table = QString());

} // namespace throngkit
