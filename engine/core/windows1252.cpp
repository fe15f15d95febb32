#include "core/windows1252.h"

#include <array>

namespace throngkit {
namespace {

// Windows-1252 at 0x80 to 0x9F; the undefined bytes keep their C1 code.
constexpr std::array<char16_t, 32> C1Range = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

char16_t FromWindows1252(char16_t c) noexcept
{
    return c >= 0x80 && c <= 0x9F ? C1Range[c - 0x80] : c;
}

QString FromWindows1252(QStringView text)
{
    QString out(text.size(), Qt::Uninitialized);
    QChar *to = out.data();
    for (const QChar c : text)
        *to++ = QChar(FromWindows1252(c.unicode()));
    return out;
}

} // namespace throngkit
