#pragma once

// Weapon tables are single-byte files read byte for byte as Latin-1, so that the .rbl and .htm
// files give back exactly the bytes a table holds. Tables written on Windows are Windows-1252,
// which puts dashes, quotes and the euro sign on bytes 0x80 to 0x9F, where Latin-1 has C1
// control characters: whatever shows such text to a reader as Unicode (a window, UTF-8 output)
// reads those bytes as Windows-1252 through here.
#include <throngkit/engine_export.h>

#include <QString>
#include <QStringView>

namespace throngkit {

// What a character read from a Latin-1 byte 0x80 to 0x9F means in Windows-1252 ("–" for 0x96);
// any other character as it is. The five bytes Windows-1252 leaves undefined (0x81, 0x8D, 0x8F,
// 0x90, 0x9D) stay the control characters they are, as Windows itself reads them.
THRONGKIT_ENGINE_EXPORT char16_t FromWindows1252(char16_t c) noexcept;

// text with every character passed through FromWindows1252.
THRONGKIT_ENGINE_EXPORT QString FromWindows1252(QStringView text);

} // namespace throngkit
