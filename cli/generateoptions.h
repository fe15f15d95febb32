#pragma once

// The options of `throngkit generate`: declared for the parser, checked and converted to the
// values Settings holds. The run itself is in commandline.cpp.
#include "core/outcome.h"
#include "core/settings.h"
#include "session/startup.h"
#include "generate/weaponoverride.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QtGlobal>

#include <optional>

namespace throngkit {

enum class OutputFormat { Listing, Json, Rbl, Htm, Csv, Summary };

// Everything `generate` was asked for, checked and converted to the values Settings holds.
struct GenerateRequest
{
    GameSystem system = GameSystem::RuneQuest;
    float howMany = 10;
    QString abilityLevel = QStringLiteral("*");
    QString shieldChoice = QStringLiteral("*");
    qint16 missileOdds = 4;
    WeaponOverride weapon;
    QString table;     // empty: the system's default table
    QString dataDir;   // empty: found as start-up finds it
    QString heading = QString::fromUtf16(DefaultHeading);
    OutputFormat format = OutputFormat::Listing;
    QString output;    // empty: standard output
    std::optional<quint64> seed;
};

// The options the parser knows, with their help lines.
struct Options
{
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Show this help and stop.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Show the version and stop.")};
    QCommandLineOption system{QStringLiteral("system"),
                              QStringLiteral("Game system: runequest or traveller (default runequest)."),
                              QStringLiteral("system")};
    QCommandLineOption count{QStringLiteral("count"),
                             QStringLiteral("How many fighters, 0 to 1000, a fraction cut (default 10)."),
                             QStringLiteral("N")};
    QCommandLineOption level{QStringLiteral("level"),
                             QStringLiteral("Ability level: random, E, B, G, F or P (default random)."),
                             QStringLiteral("level")};
    QCommandLineOption shield{QStringLiteral("shield"),
                              QStringLiteral("RuneQuest shield: random, always or never (default random)."),
                              QStringLiteral("choice")};
    QCommandLineOption missile{QStringLiteral("missile"),
                               QStringLiteral("RuneQuest missile weapon 1 in N, 0 to 9, 0 never (default 4)."),
                               QStringLiteral("N")};
    QCommandLineOption table{QStringLiteral("table"),
                             QStringLiteral("Weapon table to load (default: the system's table in the data directory)."),
                             QStringLiteral("file")};
    QCommandLineOption dataDir{QStringLiteral("data-dir"),
                               QStringLiteral("Data directory (default: as the program finds it at start)."),
                               QStringLiteral("dir")};
    QCommandLineOption weapon{QStringLiteral("weapon"),
                              QStringLiteral("Force this standard weapon on every fighter."),
                              QStringLiteral("name")};
    QCommandLineOption damage{QStringLiteral("damage"),
                              QStringLiteral("Damage of the forced weapon (needs --weapon)."),
                              QStringLiteral("text")};
    QCommandLineOption rank{QStringLiteral("rank"),
                            QStringLiteral("SR or PEN of the forced weapon (needs --weapon)."),
                            QStringLiteral("N")};
    QCommandLineOption heading{QStringLiteral("heading"),
                               QStringLiteral("Heading of .rbl and .htm output (default \"Throngkit Listing\")."),
                               QStringLiteral("text")};
    QCommandLineOption format{QStringLiteral("format"),
                              QStringLiteral("What to write: listing, json, rbl, htm, csv or summary (default listing)."),
                              QStringLiteral("format")};
    QCommandLineOption output{{QStringLiteral("o"), QStringLiteral("output")},
                              QStringLiteral("Write to this file instead of standard output."),
                              QStringLiteral("file")};
    QCommandLineOption seed{QStringLiteral("seed"),
                            QStringLiteral("Seed of the dice, 0 to 18446744073709551615 (default: fresh each run)."),
                            QStringLiteral("N")};

    void addTo(QCommandLineParser &parser) const
    {
        parser.addOptions({help, version, system, count, level, shield, missile, table, dataDir,
                           weapon, damage, rank, heading, format, output, seed});
    }
};

// Reads and checks every option of `generate` into request; a failure gives the reason for the
// first bad one, as one line for the user.
Outcome ReadGenerateOptions(const QCommandLineParser &parser, const Options &options,
                            GenerateRequest &request);

} // namespace throngkit
