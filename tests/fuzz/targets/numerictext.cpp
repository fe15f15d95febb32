// Any text typed into the "How many?" or SR/PEN box: read as Latin-1 and as UTF-16.
#include "core/numerictext.h"

#include <QString>

#include <cmath>
#include <cstring>
#include <cstdlib>

namespace {

void Check(QStringView text)
{
    const double value = throngkit::NumericValue(text);
    const double rounded = throngkit::RoundHalfEven(value);
    if (std::isfinite(value) && std::fabs(rounded - value) > 0.5)
        std::abort();
    (void)static_cast<float>(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString latin1 = QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(size));
    Check(latin1);
    // Copied rather than cast: libFuzzer's buffer need not be aligned for QChar.
    QString utf16(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(utf16.data(), data, size / 2 * sizeof(QChar));
    Check(utf16);
    return 0;
}
