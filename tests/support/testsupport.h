#pragma once

#include "core/settings.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace throngkit::test {

// The weapon tables that ship, in the source tree.
QString SourceDataDirectory();   // ends with "/"
QString SourceTable(const QString &fileName);

// A fresh Settings on the heap (it holds 1000 members).
std::unique_ptr<Settings> NewSettings();

// Writes bytes to dir/name and returns the full path.
QString WriteFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes);
QByteArray ReadFile(const QString &path);

} // namespace throngkit::test
