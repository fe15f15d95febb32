#pragma once

#include <throngkit/engine_export.h>

#include <QLatin1StringView>
#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <array>
#include <charconv>
#include <concepts>
#include <ostream>

namespace throngkit {

// The text of one number form: at most a sign, a blank, five digits and a blank, kept in place
// so that a listing of a thousand members formats its numbers without touching the heap.
class NumberText
{
public:
    void append(char16_t c) noexcept { m_chars[m_size++] = c; }
    QStringView view() const noexcept { return QStringView(m_chars.data(), m_size); }
    operator QStringView() const noexcept { return view(); }
    QString toString() const { return view().toString(); }

    friend bool operator==(const NumberText &a, QLatin1StringView b) noexcept { return a.view() == b; }
    friend std::ostream &operator<<(std::ostream &os, const NumberText &t)
    {
        return os << '"' << t.toString().toStdString() << '"';
    }

private:
    std::array<char16_t, 10> m_chars{};
    qsizetype m_size = 0;
};

// The number forms of the listings and files, for a 16-bit value v. Negative values carry one
// minus sign at the very front.
THRONGKIT_ENGINE_EXPORT NumberText PlainDecimal(qint16 v);   // 3 -> "3", 0 -> "0", -5 -> "-5"
THRONGKIT_ENGINE_EXPORT NumberText HashForm(qint16 v);       // like PlainDecimal, but 0 -> ""   (also the "##" pattern)
THRONGKIT_ENGINE_EXPORT NumberText HashBlank(qint16 v);      // the "## " pattern: HashForm then a blank; 0 -> " "
THRONGKIT_ENGINE_EXPORT NumberText BlankTwoDigits(qint16 v); // the " 00" pattern: 5 -> " 05", 100 -> " 100", -5 -> "- 05"
THRONGKIT_ENGINE_EXPORT NumberText TwoDigits(qint16 v);      // the "00" pattern: 7 -> "07", -7 -> "-07"
THRONGKIT_ENGINE_EXPORT NumberText PrintedNumber(qint16 v);  // a blank (minus sign when negative), digits, a blank: " 1 "

// value in decimal at the end of out, as QString::number writes it, without a string of its own:
// a file of a thousand members holds some twenty thousand numbers.
inline void AppendDecimal(QString &out, std::integral auto value)
{
    char digits[24];
    const char *const end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out += QLatin1StringView(digits, end);
}

} // namespace throngkit
