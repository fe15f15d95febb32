#include "core/paths.h"

#include <QDir>
#include <QFileInfo>

namespace throngkit {

QString AddBackslash(const QString &path)
{
    // Qt spells paths with "/" on every system; on Windows "\\" ends one too.
    if (path.endsWith(u'/') || path.endsWith(QDir::separator()))
        return path;
    return path + QDir::separator();
}

QString ResolveFileName(const QString &path)
{
    const QFileInfo info(path);
    if (info.exists())
        return path;

    const QString wanted = info.fileName();
    QDir directory = info.dir();
    if (wanted.isEmpty() || !directory.exists())
        return path;
    // Unsorted gives the directory's own order, so the first of several names that differ
    // only in case is the same one every time on the same directory.
    const QStringList entries =
        directory.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted);
    for (const QString &entry : entries) {
        if (entry.compare(wanted, Qt::CaseInsensitive) == 0) {
            const qsizetype cut = path.size() - wanted.size();
            return path.left(cut) + entry;
        }
    }
    return path;
}

} // namespace throngkit
