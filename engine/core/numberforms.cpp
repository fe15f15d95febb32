#include "core/numberforms.h"

#include <cstdlib>

namespace throngkit {
namespace {

// Digits of |v| (no sign), at least minDigits of them; 0 with minDigits 0 gives no digits.
void AppendDigits(NumberText &out, qint16 v, int minDigits)
{
    int magnitude = std::abs(int(v));
    char16_t digits[5];
    int count = 0;
    while (magnitude > 0) {
        digits[count++] = char16_t(u'0' + magnitude % 10);
        magnitude /= 10;
    }
    for (int pad = count; pad < minDigits; ++pad)
        out.append(u'0');
    while (count > 0)
        out.append(digits[--count]);
}

NumberText Signed(qint16 v)
{
    NumberText text;
    if (v < 0)
        text.append(u'-');
    return text;
}

} // namespace

NumberText PlainDecimal(qint16 v)
{
    NumberText text = Signed(v);
    AppendDigits(text, v, 1);
    return text;
}

NumberText HashForm(qint16 v)
{
    NumberText text = Signed(v);
    AppendDigits(text, v, 0);
    return text;
}

NumberText HashBlank(qint16 v)
{
    NumberText text = HashForm(v);
    text.append(u' ');
    return text;
}

NumberText BlankTwoDigits(qint16 v)
{
    NumberText text = Signed(v);
    text.append(u' ');
    AppendDigits(text, v, 2);
    return text;
}

NumberText TwoDigits(qint16 v)
{
    NumberText text = Signed(v);
    AppendDigits(text, v, 2);
    return text;
}

NumberText PrintedNumber(qint16 v)
{
    NumberText text;
    text.append(v < 0 ? u'-' : u' ');
    AppendDigits(text, v, 1);
    text.append(u' ');
    return text;
}

} // namespace throngkit
