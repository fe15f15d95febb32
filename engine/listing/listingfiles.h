#pragma once

#include "core/outcome.h"
#include "core/safefiles.h"
#include "core/settings.h"

#include <throngkit/engine_export.h>

#include <QByteArray>
#include <QString>

namespace throngkit {

enum class FileFormat { Rbl, Htm };

// The bytes of a listing file (.rbl) or an HTML page (.htm) for members 1..HowMany under
// heading: Latin-1, CRLF after every line. A character Latin-1 cannot hold is "?" in a .rbl file
// and a numeric character reference in a page; "&", "<" and ">" are escaped in a page.
THRONGKIT_ENGINE_EXPORT QByteArray ComposeRQRbl(const Settings &settings, const QString &heading);
THRONGKIT_ENGINE_EXPORT QByteArray ComposeTravellerRbl(const Settings &settings, const QString &heading);
THRONGKIT_ENGINE_EXPORT QByteArray ComposeRQHtm(const Settings &settings, const QString &heading);
THRONGKIT_ENGINE_EXPORT QByteArray ComposeTravellerHtm(const Settings &settings, const QString &heading);
THRONGKIT_ENGINE_EXPORT QByteArray ComposeListingFile(GameSystem system, FileFormat format, const Settings &settings,
                              const QString &heading);

// The heading as it goes into a file: each line break (CR LF, CR or LF) one blank, so that a
// .rbl file keeps its three-line head.
THRONGKIT_ENGINE_EXPORT QString OneLineHeading(const QString &heading);

// Every save of a listing file: compose for the system that made the rabble, then save
// atomically. The four named writers are this for one system and format each.
THRONGKIT_ENGINE_EXPORT Outcome WriteListingFile(GameSystem system, FileFormat format, const Settings &settings,
                         const QString &heading, const QString &path);
THRONGKIT_ENGINE_EXPORT Outcome WriteRQRblFile(const Settings &settings, const QString &heading, const QString &path);
THRONGKIT_ENGINE_EXPORT Outcome WriteTravellerRblFile(const Settings &settings, const QString &heading, const QString &path);
THRONGKIT_ENGINE_EXPORT Outcome WriteRQHtmFile(const Settings &settings, const QString &heading, const QString &path);
THRONGKIT_ENGINE_EXPORT Outcome WriteTravellerHtmFile(const Settings &settings, const QString &heading, const QString &path);

} // namespace throngkit
