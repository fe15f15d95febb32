#include "listing/numberforms.h"

#include <cstdlib>

namespace throngkit {
namespace {

// Digits of |v| (no sign), at least minDigits of them; 0 with minDigits 0 gives no digits.
QString Digits(qint16 v, int minDigits)
{
    const int magnitude = std::abs(int(v));
    if (magnitude == 0 && minDigits == 0)
        return QString();
    return QString::number(magnitude).rightJustified(minDigits, QLatin1Char('0'));
}

QString WithSign(qint16 v, const QString &unsignedText)
{
    return v < 0 ? QLatin1Char('-') + unsignedText : unsignedText;
}

} // namespace

QString PlainDecimal(qint16 v)
{
    return QString::number(v);
}

QString HashForm(qint16 v)
{
    return WithSign(v, Digits(v, 0));
}

QString HashBlank(qint16 v)
{
    return WithSign(v, Digits(v, 0) + QLatin1Char(' '));
}

QString BlankTwoDigits(qint16 v)
{
    return WithSign(v, QLatin1Char(' ') + Digits(v, 2));
}

QString TwoDigits(qint16 v)
{
    return WithSign(v, Digits(v, 2));
}

QString PrintedNumber(qint16 v)
{
    return (v < 0 ? QLatin1Char('-') : QLatin1Char(' ')) + Digits(v, 1) + QLatin1Char(' ');
}

} // namespace throngkit
