#pragma once

// Every file the program reads or writes goes through here: whole or not at all on the way out,
// regular files only and bounded on the way in, so that a FIFO, a device or a huge file can
// neither hang the program nor replace a special file.
#include "core/outcome.h"

#include <throngkit/engine_export.h>

#include <QByteArray>
#include <QString>

namespace throngkit {

// Replaces (or creates) the file at path with bytes, atomically: on any failure the file that
// was there stays as it was, no temporary file is left, and the reason (naming the path and
// the system's reason in words) is returned. An existing target that is not a regular file (a
// FIFO, a device, a socket, a directory) or that is a loop of symbolic links is refused and left
// alone; a symbolic link to a regular file is followed, so the file is replaced and the link
// kept. The new file keeps the old one's permissions, owner, group and extended attributes as
// far as the user may set them (platform::FileReplacement).
THRONGKIT_ENGINE_EXPORT Outcome SaveFileAtomically(const QString &path, const QByteArray &bytes);

// Refuses an existing path that is not a regular file (links followed) or that cannot be looked
// up (a loop of links); nothing else is checked.
THRONGKIT_ENGINE_EXPORT Outcome CheckReplaceableTarget(const QString &path);

// At most this many bytes of a table or the INI are read: a table holds a caption and 50 rows.
inline constexpr qsizetype MaxReadBytes = 1024 * 1024;

// The contents of the regular file at path, opened without blocking and read up to
// MaxReadBytes; anything else (missing, FIFO, device, directory, larger) is a failure whose
// reason is the system's, "it is not a regular file" or "it is too large (...)".
THRONGKIT_ENGINE_EXPORT Result<QByteArray> ReadRegularFile(const QString &path, qsizetype limit = MaxReadBytes);

// A control character (C0, DEL, C1): one that a terminal or a reader would act on, not show.
constexpr bool IsControlCharacter(char16_t u) noexcept
{
    return u < 0x20 || (u >= 0x7F && u < 0xA0);
}

// text with every control character (C0, DEL, C1) written as \xHH, so that file content quoted
// in a message can neither cut it (NUL) nor drive the terminal (ESC).
THRONGKIT_ENGINE_EXPORT QString EscapeControls(QStringView text);

// text between double quotes, control characters escaped.
THRONGKIT_ENGINE_EXPORT QString QuotedText(QStringView text);

} // namespace throngkit
