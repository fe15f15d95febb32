#pragma once

#include "core/settings.h"

#include <QByteArray>
#include <QDir>
#include <QOperatingSystemVersion>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <optional>
#include <ostream>

// Readable failures: GoogleTest would print a QString's bytes.
inline void PrintTo(const QString &text, std::ostream *out) { *out << '"' << text.toStdString() << '"'; }

namespace throngkit::test {

// Windows has rules of its own (CR LF on standard output, the INI in %APPDATA%\Throngkit).
inline const bool OnWindows = QOperatingSystemVersion::currentType() == QOperatingSystemVersion::Windows;

// The weapon tables that ship, in the source tree.
inline QString SourceDataDirectory() { return QStringLiteral(THRONGKIT_SOURCE_DATA_DIR "/"); }
inline QString SourceTable(const QString &fileName) { return SourceDataDirectory() + fileName; }

// A fresh Settings on the heap (it holds 1000 members) with the start-up values.
std::unique_ptr<Settings> NewSettings();

// Writes bytes to dir/name and returns the full path; reads a file whole (empty when it cannot).
QString WriteFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes);
QByteArray ReadFile(const QString &path);

// The tests' expected outputs, in the source tree's tests/data.
inline QString TestDataDirectory() { return QStringLiteral(THRONGKIT_TEST_DATA_DIR "/"); }
inline QByteArray ReadTestData(const QString &relativePath) { return ReadFile(TestDataDirectory() + relativePath); }

// A folder's entries by name, hidden and special files included.
inline QStringList Entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

// Writes a weapon table to dir/name, the caption line and then the rows as given, and returns
// the full path.
QString WriteTable(const QTemporaryDir &dir, const QString &name, const QByteArray &caption,
                   const QByteArray &rows);

// The program's title for this build's version number ("Throngkit v6.1"), which --version and
// the windows' titles start with.
QByteArray ProgramTitle();

// The system's words for a file that is not there and for a folder that is not, as the
// program quotes them (on Linux both are "No such file or directory").
QString NoSuchFile();
QString NoSuchFolder();
#ifdef Q_OS_WIN
// The system's words for a Windows error code (Wine's are not always Windows' own).
QString SystemReason(unsigned long error);
#endif

#ifndef Q_OS_WIN
// Runs action in a child process and returns the text action returned there; nothing when the
// child did not end normally. With a limit, the child's files may not grow past it (SIGXFSZ
// ignored, so a write past it fails with "File too large").
std::optional<QString> InChildProcess(const std::function<QString()> &action,
                                      std::optional<long> fileSizeLimit = {});
#endif

} // namespace throngkit::test
