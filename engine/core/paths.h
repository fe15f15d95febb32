#pragma once

#include <throngkit/engine_export.h>

#include <QString>

namespace throngkit {

// path with the platform's separator ("/", or "\\" on Windows) appended when it does not already
// end in one; an empty path becomes the separator alone.
THRONGKIT_ENGINE_EXPORT QString AddBackslash(const QString &path);

// The file that path names, found without regard to case in its directory: "TK-WP-RQ1.DAT" and
// "tk-wp-rq1.dat" name the same file. An exact match wins; otherwise the first directory entry
// whose name equals the file name ignoring case. When nothing matches, path is returned as it is
// (so that an open of it fails with the usual reason). Every open of a weapon table goes through
// this.
THRONGKIT_ENGINE_EXPORT QString ResolveFileName(const QString &path);

} // namespace throngkit
