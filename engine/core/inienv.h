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

// The directory that holds "Throngkit.ini": the one named by WINDIR when it is set, else
// $XDG_CONFIG_HOME, else $HOME/.config. Ends with a separator; empty when none of them is set
// (then there is no INI to read or write).
THRONGKIT_ENGINE_EXPORT QString IniDirectory(const QStringList &environment);

// The value of key in the INI file iniName (a name without a separator is looked for in
// IniDirectory): the first line whose first key-length characters equal key ignoring case gives
// the rest of the line after one separator character, untrimmed. Empty text when the file or the
// key is missing.
// The value of key in the contents of an INI file, as GetIniValue reads it.
THRONGKIT_ENGINE_EXPORT QString IniValue(QByteArrayView contents, const QString &key);

THRONGKIT_ENGINE_EXPORT QString GetIniValue(const QStringList &environment, const QString &iniName, const QString &key);

} // namespace throngkit
