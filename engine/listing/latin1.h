#pragma once

#include "listing/bytesink.h"

#include <QStringView>

namespace throngkit {

// The saved files are single-byte Latin-1. A character outside it must not turn into stray
// bytes, and a surrogate pair is one character, however it is replaced.

// Appends text; a character Latin-1 cannot hold (or a lone surrogate) becomes one "?".
void AppendLatin1(ByteSink &out, QStringView text);

// Appends text for an HTML page: "&", "<" and ">" become "&amp;", "&lt;" and "&gt;", a character
// Latin-1 cannot hold becomes a decimal character reference ("&#8364;"), a lone surrogate the
// reference of the replacement character ("&#65533;").
void AppendHtmlText(ByteSink &out, QStringView text);

// The longest a UTF-16 unit of text grows to in a page: "&#65533;".
inline constexpr qsizetype MostHtmlBytesPerUnit = 8;

// AppendHtmlText into a buffer with room for MostHtmlBytesPerUnit bytes a unit of text; gives
// the end of what it wrote.
char *WriteHtmlText(char *to, QStringView text);

} // namespace throngkit
