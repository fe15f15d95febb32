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
// FIFO, a device, a socket, a directory) is refused and left alone; a symbolic link to a
// regular file is followed, so the file is replaced and the link kept.
THRONGKIT_ENGINE_EXPORT Outcome SaveFileAtomically(const QString &path, const QByteArray &bytes);

// Refuses an existing path that is not a regular file (links followed); nothing else is checked.
THRONGKIT_ENGINE_EXPORT Outcome CheckReplaceableTarget(const QString &path);

// Why the existing file at path may not be written over, with the system's reason: "the file is
// not writable (Read-only file system)"; empty when it may, or when there is no file there.
THRONGKIT_ENGINE_EXPORT QString WhyNotWritable(const QString &path);

// Moves the finished file from (in the same folder as to) over to, by one rename; to is
// checked as SaveFileAtomically checks it, and a link at to is followed. On failure from is
// left for the caller to remove and to stays as it was.
THRONGKIT_ENGINE_EXPORT Outcome MoveFileIntoPlace(const QString &from, const QString &to);

// At most this many bytes of a table or the INI are read: a table holds a caption and 50 rows.
inline constexpr qsizetype MaxReadBytes = 1024 * 1024;

// The contents of the regular file at path, opened without blocking and read up to
// MaxReadBytes; anything else (missing, FIFO, device, directory, larger) is a failure whose
// reason is the system's, "it is not a regular file" or "it is too large (...)".
THRONGKIT_ENGINE_EXPORT Result<QByteArray> ReadRegularFile(const QString &path, qsizetype limit = MaxReadBytes);

// text with every control character (C0, DEL, C1) written as \xHH, so that file content quoted
// in a message can neither cut it (NUL) nor drive the terminal (ESC).
THRONGKIT_ENGINE_EXPORT QString EscapeControls(QStringView text);

// text between double quotes, control characters escaped.
THRONGKIT_ENGINE_EXPORT QString QuotedText(QStringView text);

} // namespace throngkit
