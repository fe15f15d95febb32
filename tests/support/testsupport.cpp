#include "tests/support/testsupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace throngkit::test {

QString SourceDataDirectory()
{
    return QStringLiteral(THRONGKIT_SOURCE_DATA_DIR "/");
}

QString SourceTable(const QString &fileName)
{
    return SourceDataDirectory() + fileName;
}

std::unique_ptr<Settings> NewSettings()
{
    return std::make_unique<Settings>();
}

QString WriteFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(bytes);
    return path;
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace throngkit::test
