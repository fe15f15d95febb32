#include "core/inienv.h"

#include "core/platformfiles.h"
#include "core/safefiles.h"

#include <QDir>
#include <QFileInfo>

namespace throngkit {

QString GetEnvValue(const QStringList &environment, const QString &name)
{
    if (name.isEmpty())
        return {};
    for (const QString &entry : environment) {
        const qsizetype equals = entry.indexOf(u'=');
        // The whole name must match: "WINDIRX" does not answer for "WINDIR".
        if (equals == name.size() && QStringView(entry).left(equals).compare(name, Qt::CaseInsensitive) == 0)
            return entry.mid(equals + 1).trimmed();
    }
    return {};
}

QString IniPath(const QStringList &environment, const QString &iniName)
{
    const platform::IniFolders folders = platform::IniFoldersOf(environment);
    for (const QString &folder : folders.readFrom) {
        const QFileInfo there(folder + iniName);
        if (there.exists() || there.isSymLink())
            return folder + iniName;
    }
    return folders.writeTo.isEmpty() ? QString() : folders.writeTo + iniName;
}

QString IniValue(QByteArrayView contents, const QString &key)
{
    const QString upperKey = key.toUpper();
    for (QByteArrayView rest(contents); !rest.isEmpty();) {
        const qsizetype end = rest.indexOf('\n');
        QByteArray bytes = (end < 0 ? rest : rest.first(end + 1)).toByteArray();
        rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
        if (bytes.endsWith('\n'))
            bytes.chop(1);
        if (bytes.endsWith('\r'))
            bytes.chop(1);
        // Paths are stored as the file system spells them.
        const QString line = QString::fromLocal8Bit(bytes);
        if (line.size() >= upperKey.size() && line.left(upperKey.size()).toUpper() == upperKey)
            return line.mid(upperKey.size() + 1);   // one separator character, whatever it is
    }
    return {};
}

QString GetIniValue(const QStringList &environment, const QString &iniName, const QString &key)
{
    const bool bare = !iniName.contains(u'/') && !iniName.contains(QDir::separator());
    const QString path = bare ? IniPath(environment, iniName) : iniName;
    if (path.isEmpty())
        return {};

    // A missing file, one that cannot be read and one that is not a regular file (a FIFO would
    // hang the start) alike give no value.
    const Result<QByteArray> read = ReadRegularFile(path);
    if (!read)
        return {};
    return IniValue(read.value(), key);
}

} // namespace throngkit
