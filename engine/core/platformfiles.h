#pragma once

// The file system as each platform offers it, behind one small interface: what a path names, a
// read that cannot hang on a special file, a file made beside the one it replaces, where the INI
// file lives and where the program itself is. One file a platform implements it
// (platformfiles_posix.cpp for Linux and the other POSIX systems, platformfiles_windows.cpp for
// Windows); nothing else in the program asks which system it runs on. A failure's reason is the
// system's own words ("Permission denied").
#include "core/outcome.h"

#include <throngkit/engine_export.h>

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <memory>

namespace throngkit::platform {

enum class PathKind { Missing, RegularFile, Directory, Other };

// What path names, symbolic links followed; a path that cannot be looked up (a loop of links,
// a folder that may not be searched, a file used as a folder) is a failure. A name that the
// system keeps for a device (on Windows CON, NUL, COM1, LPT1... with any extension, in any
// folder) is Other, as a device node is.
THRONGKIT_ENGINE_EXPORT Result<PathKind> KindOfPath(const QString &path);

// What a read found: the kind of file opened and, from a regular file only, its first bytes.
struct FileStart
{
    PathKind kind = PathKind::Missing;
    QByteArray bytes;
};

// Opens path for reading without waiting on it (an ordinary open of a FIFO without a writer
// never returns) and reads at most maxBytes of it when it is a regular file.
THRONGKIT_ENGINE_EXPORT Result<FileStart> ReadFileStart(const QString &path, qsizetype maxBytes);

// A file made beside the one it is to replace, so that the replacement is whole or not at all.
// begin() follows symbolic links to the file at their end, so that the links stay and that file
// is replaced, and makes the new file in that file's folder, with its permissions, owner, group
// and extended attributes (ACLs among them) as far as the user may set them, or the usual
// permissions for a file that is not there yet. commit() syncs it and renames it over that file:
// a hard link to the old file keeps the old contents. Until then a signal that ends the program
// removes it first, and so does the object when it goes.
class THRONGKIT_ENGINE_EXPORT FileReplacement
{
public:
    FileReplacement();
    ~FileReplacement();
    FileReplacement(const FileReplacement &) = delete;
    FileReplacement &operator=(const FileReplacement &) = delete;

    // Who writes the new file: this object (write()), or a writer that opens it by name
    // (temporaryPath()). Where the system can, a file only this object writes has no name
    // until commit(), so that a kill before then leaves nothing.
    enum class Writer { ThisObject, OpensByName };

    Outcome begin(const QString &target, Writer writer = Writer::ThisObject);
    // The new file's name, once it has one: at once for a writer that opens it by name.
    QString temporaryPath() const;
    Outcome write(QByteArrayView bytes);
    Outcome commit();

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// Where the INI file is looked for, in this order, and the folder a first run writes it to
// (empty when there is none, for the reason noFolder gives); every folder ends in a separator.
// On Linux the one folder is $WINDIR (when set), else $XDG_CONFIG_HOME, else $HOME/.config; on
// Windows, %APPDATA%\Throngkit, where a user may write, before %WINDIR%, where the INI used to
// be, which is read but never written.
struct IniFolders
{
    QStringList readFrom;
    QString writeTo;
    QString noFolder;
};
THRONGKIT_ENGINE_EXPORT IniFolders IniFoldersOf(const QStringList &environment);

// The folder of the running program's executable, found without a QCoreApplication.
THRONGKIT_ENGINE_EXPORT QString ProgramDirectory();

// Whether there is a desktop to open windows on: on Windows always; elsewhere when DISPLAY,
// WAYLAND_DISPLAY or QT_QPA_PLATFORM names one (without, Qt would abort the program).
THRONGKIT_ENGINE_EXPORT bool HasDesktop();

// Makes stream pass bytes as they are: the program writes its own line ends, and its outputs
// are the same bytes on every system (Windows' C library would add a CR before every LF).
THRONGKIT_ENGINE_EXPORT void UseBinaryMode(std::FILE *stream);

} // namespace throngkit::platform
