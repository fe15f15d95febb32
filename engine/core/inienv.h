#pragma once

#include <throngkit/engine_export.h>

#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace throngkit {

// The value of the environment variable name, found in environment (entries "NAME=value", as
// QProcess::systemEnvironment() gives them) by its whole name, ignoring case; leading and
// trailing blanks of the value removed; empty text when there is none.
THRONGKIT_ENGINE_EXPORT QString GetEnvValue(const QStringList &environment, const QString &name);

// Where an INI file named iniName (no folder) is read from: in the first of the platform's INI
// folders (platform::IniFoldersOf) that holds something by that name, a link leading nowhere
// included; else where a first run writes it. Empty when there is no INI folder at all.
THRONGKIT_ENGINE_EXPORT QString IniPath(const QStringList &environment, const QString &iniName);

// The value of key in the contents of an INI file, as GetIniValue reads it.
THRONGKIT_ENGINE_EXPORT QString IniValue(QByteArrayView contents, const QString &key);

// The value of key in the INI file iniName (a name without a separator is found by IniPath):
// the first line whose first key-length characters equal key ignoring case gives the rest of the
// line after one separator character, untrimmed. Empty text when the file or the key is missing.
THRONGKIT_ENGINE_EXPORT QString GetIniValue(const QStringList &environment, const QString &iniName, const QString &key);

} // namespace throngkit
