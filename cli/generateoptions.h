#pragma once

// The options of `throngkit generate`: declared for the parser and read into the engine's
// request. The run itself is in commandline.cpp.
#include "core/outcome.h"
#include "core/request.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QtGlobal>

#include <optional>

namespace throngkit {

// Everything `generate` was asked for: the rabble, and where it goes.
struct GenerateRequest
{
    RabbleRequest rabble;
    QString dataDir;   // empty: found as start-up finds it
    QString output;    // empty: standard output
    std::optional<quint64> seed;
};

// The options the parser knows, with their help lines.
struct Options
{
    Options();

    QCommandLineOption help;
    QCommandLineOption version;
    QCommandLineOption system;
    QCommandLineOption count;
    QCommandLineOption level;
    QCommandLineOption shield;
    QCommandLineOption missile;
    QCommandLineOption table;
    QCommandLineOption dataDir;
    QCommandLineOption weapon;
    QCommandLineOption damage;
    QCommandLineOption rank;
    QCommandLineOption heading;
    QCommandLineOption format;
    QCommandLineOption output;
    QCommandLineOption seed;

    void addTo(QCommandLineParser &parser) const;
};

// Reads every option of `generate` into request and has the engine check it; a failure gives
// the reason for the first bad one, as one line for the user.
Outcome ReadGenerateOptions(const QCommandLineParser &parser, const Options &options,
                            GenerateRequest &request);

} // namespace throngkit
