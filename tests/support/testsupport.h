#pragma once

#include "core/settings.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <optional>

namespace throngkit::test {

// The weapon tables that ship, in the source tree.
QString SourceDataDirectory();   // ends with "/"
QString SourceTable(const QString &fileName);

// A fresh Settings on the heap (it holds 1000 members).
std::unique_ptr<Settings> NewSettings();

// Writes bytes to dir/name and returns the full path.
QString WriteFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes);
QByteArray ReadFile(const QString &path);

// Writes a weapon table to dir/name, the caption line and then the rows as given, and returns
// the full path.
QString WriteTable(const QTemporaryDir &dir, const QString &name, const QByteArray &caption,
                   const QByteArray &rows);

// The program's title for this build's version number ("Throngkit v6.1"), which --version and
// the windows' titles start with.
QByteArray ProgramTitle();

// Runs action in a child process whose files may not grow past limit bytes (SIGXFSZ ignored,
// so a write past it fails with "File too large"), and returns the text action returned there;
// nothing when the child did not end normally.
std::optional<QString> WithFileSizeLimit(long limit, const std::function<QString()> &action);

} // namespace throngkit::test
