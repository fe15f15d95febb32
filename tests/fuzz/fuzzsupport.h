#pragma once

// Scratch files of the fuzz targets, in a directory of their own for the life of the process.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace throngkit::fuzz {

inline QString ScratchDirectory()
{
    static QTemporaryDir directory;
    return directory.path();
}

inline QString WriteScratchFile(const char *name, const uint8_t *data, size_t size)
{
    const QString path = ScratchDirectory() + QDir::separator() + QString::fromLatin1(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    return path;
}

} // namespace throngkit::fuzz
