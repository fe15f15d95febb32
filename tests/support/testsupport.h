#pragma once

#include "core/settings.h"

#include <QList>
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <initializer_list>
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

// A line of the given length, blank but for the texts placed at their columns (counted from 1):
// Placed<QString>(...) for a listing on screen, Placed<QByteArray>(...) for a file.
template <typename Text>
Text Placed(int length, std::initializer_list<std::pair<int, Text>> texts)
{
    Text line(length, ' ');
    for (const auto &[column, text] : texts)
        line.replace(column - 1, text.size(), text);
    return line;
}

// The lines of a listing or a file without their line ends; a line that does not end in CRLF,
// the last one included, fails the test.
QStringList CrLfLines(const QString &text);
QList<QByteArray> CrLfLines(const QByteArray &bytes);

// Members as the listings show them, every field given.
void FillRQ(RabbleMember &m, const char16_t *level, const char16_t *weapon, const char16_t *damage,
            qint16 attack, qint16 parry, const char16_t *parryWith, const char16_t *strikeRank,
            qint16 missile, const char16_t *missileType, qint16 hp, qint16 armour, qint16 scan,
            qint16 listen, const char16_t *code);
void FillTraveller(RabbleMember &m, const char16_t *level, const char16_t *weapon,
                   const char16_t *damage, const char16_t *pen, qint16 gun, qint16 hp,
                   qint16 armour, qint16 recon, const char16_t *code, qint16 skill);
// The program's title for this build's version number ("Throngkit v6.1"), which --version and
// the windows' titles start with.
QByteArray ProgramTitle();

// Runs action in a child process whose files may not grow past limit bytes (SIGXFSZ ignored,
// so a write past it fails with "File too large"), and returns the text action returned there;
// nothing when the child did not end normally.
std::optional<QString> WithFileSizeLimit(long limit, const std::function<QString()> &action);

} // namespace throngkit::test
