#include "core/numerictext.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace throngkit {

namespace {

bool IsSkippedSpace(QChar c) noexcept
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

bool IsDigit(QChar c) noexcept
{
    return c >= u'0' && c <= u'9';
}

// Cursor over the text that steps over the blanks a number may hold ("1 0" is 10).
class Reader
{
public:
    explicit Reader(QStringView text) noexcept : m_text(text) { skipSpaces(); }

    bool atEnd() const noexcept { return m_pos >= m_text.size(); }
    QChar peek() const noexcept { return atEnd() ? QChar() : m_text[m_pos]; }
    QChar peekAfterNext() const noexcept
    {
        qsizetype pos = m_pos + 1;
        while (pos < m_text.size() && IsSkippedSpace(m_text[pos]))
            ++pos;
        return pos < m_text.size() ? m_text[pos] : QChar();
    }
    void advance() noexcept
    {
        ++m_pos;
        skipSpaces();
    }
    qsizetype position() const noexcept { return m_pos; }
    void rewind(qsizetype pos) noexcept { m_pos = pos; }

private:
    void skipSpaces() noexcept
    {
        while (m_pos < m_text.size() && IsSkippedSpace(m_text[m_pos]))
            ++m_pos;
    }

    QStringView m_text;
    qsizetype m_pos = 0;
};

// "&H" or "&O" followed by digits of that base; a whole number, nothing when no digit follows.
std::optional<double> ReadRadixNumber(Reader &reader, int base) noexcept
{
    double value = 0;
    bool anyDigit = false;
    for (; !reader.atEnd(); reader.advance()) {
        const char16_t c = reader.peek().toUpper().unicode();
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        if (digit < 0 || digit >= base)
            break;
        value = value * base + digit;
        anyDigit = true;
    }
    if (!anyDigit)
        return std::nullopt;
    return value;
}

} // namespace

double NumericValue(QStringView text) noexcept
{
    return LeadingNumber(text).value_or(0);
}

std::optional<double> LeadingNumber(QStringView text) noexcept
{
    Reader reader(text);
    if (reader.peek() == u'&') {
        const QChar radix = reader.peekAfterNext().toUpper();
        if (radix == u'H' || radix == u'O') {
            reader.advance();
            reader.advance();
            return ReadRadixNumber(reader, radix == u'H' ? 16 : 8);
        }
        return std::nullopt;
    }

    bool negative = false;
    if (reader.peek() == u'+' || reader.peek() == u'-') {
        negative = reader.peek() == u'-';
        reader.advance();
    }

    // The mantissa and exponent are gathered without blanks and then converted in one step, so
    // that the value is the correctly rounded one, whatever the locale.
    std::string number;
    qsizetype integerDigits = 0;
    bool seenPoint = false;
    bool anyDigit = false;
    for (; !reader.atEnd(); reader.advance()) {
        const QChar c = reader.peek();
        if (IsDigit(c)) {
            number += char(c.unicode());
            anyDigit = true;
            if (!seenPoint)
                ++integerDigits;
        } else if (c == u'.' && !seenPoint) {
            number += '.';
            seenPoint = true;
        } else {
            break;
        }
    }
    if (!anyDigit)
        return std::nullopt;

    long long exponentSign = 1;
    std::string exponent;
    const QChar marker = reader.peek().toUpper();
    if (marker == u'E' || marker == u'D') {
        const qsizetype markerPos = reader.position();
        reader.advance();
        if (reader.peek() == u'+' || reader.peek() == u'-') {
            exponentSign = reader.peek() == u'-' ? -1 : 1;
            reader.advance();
        }
        for (; !reader.atEnd() && IsDigit(reader.peek()); reader.advance())
            exponent += char(reader.peek().unicode());
        if (exponent.empty())
            reader.rewind(markerPos);   // "1E" is 1: an exponent needs a digit
        else
            number += (exponentSign < 0 ? "e-" : "e") + exponent;
    }

    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    Q_UNUSED(end);
    if (error == std::errc::result_out_of_range) {
        // Too large (or too small) for a double: infinity or 0, judged by the decimal magnitude.
        long long magnitude = integerDigits;
        // Past a quintillion the exact exponent no longer matters, and more digits would overflow.
        constexpr long long ExponentCap = 1'000'000'000'000'000'000LL;
        long long exponentValue = 0;
        for (char digit : exponent) {
            if (exponentValue >= ExponentCap / 10)
                break;
            exponentValue = exponentValue * 10 + (digit - '0');
        }
        magnitude += exponentSign * exponentValue;
        value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -value : value;
}

double RoundHalfEven(double value) noexcept
{
    if (!std::isfinite(value))
        return value;
    const double nearest = std::round(value);   // halves away from zero
    if (std::fabs(value - std::trunc(value)) == 0.5)
        return 2.0 * std::round(value / 2.0);
    return nearest;
}

std::optional<qint16> WholeRank(double value) noexcept
{
    const double whole = RoundHalfEven(value);
    // Written to be false for NaN too.
    if (!(whole >= std::numeric_limits<qint16>::min() && whole <= std::numeric_limits<qint16>::max()))
        return std::nullopt;
    return static_cast<qint16>(whole);
}

} // namespace throngkit
