#pragma once

// Every output of a rabble in one table: the command's --format and its help, the listing
// window's Save buttons and the completion script all read it, so that a new format is one row.
#include "core/outcome.h"
#include "core/request.h"
#include "core/settings.h"

#include <throngkit/engine_export.h>

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <span>

namespace throngkit {

// What every writer is given: members 1..HowMany of settings, made by system from seed.
struct RabbleOutput
{
    GameSystem system;
    const Settings &settings;
    QString heading;
    quint64 seed = 0;
};

enum class LineEnds
{
    Crlf,        // fixed by the format, wherever it goes (.rbl, .htm, csv)
    Lf,          // JSON
    CrlfInFiles  // text for reading: CR LF in a file, the platform's own on a terminal or a pipe
};

struct OutputFormatInfo
{
    OutputFormat format;
    QStringView name;          // the word --format takes
    QStringView extension;     // with its dot: ".rbl"
    QStringView description;   // for the help
    LineEnds lineEnds;
    QByteArray (*compose)(const RabbleOutput &output);
};

// In the order the help lists them.
THRONGKIT_ENGINE_EXPORT std::span<const OutputFormatInfo> OutputFormats();
THRONGKIT_ENGINE_EXPORT const OutputFormatInfo &FormatInfo(OutputFormat format);
// The format whose name is name, ignoring case; null when there is none.
THRONGKIT_ENGINE_EXPORT const OutputFormatInfo *FindOutputFormat(QStringView name);
// "listing, json, rbl, htm, csv or summary"
THRONGKIT_ENGINE_EXPORT QString OutputFormatNames();

// What `throngkit tables` writes: the report of its check, or the tables as the virtual
// tabletop's roll tables (listing/foundryexport.h). In the order the help lists them.
struct TableFormatInfo
{
    QStringView name;   // the word --format takes
};
THRONGKIT_ENGINE_EXPORT std::span<const TableFormatInfo> TableFormats();

// The bytes of output in format.
THRONGKIT_ENGINE_EXPORT QByteArray ComposeOutput(OutputFormat format, const RabbleOutput &output);

// Every save of a rabble, by the window and the command alike: composed, then saved whole or
// not at all.
THRONGKIT_ENGINE_EXPORT Outcome SaveOutput(OutputFormat format, const RabbleOutput &output,
                                           const QString &path);

} // namespace throngkit
