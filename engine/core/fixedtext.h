#pragma once

#include <QString>
#include <QStringView>

#include <algorithm>
#include <array>

namespace throngkit {

// A record field of exactly N characters. Assigning shorter text pads it with blanks on the
// right, longer text is cut to N; reading gives all N characters, padding included.
template <int N>
class FixedText
{
    static_assert(N > 0);

public:
    FixedText() noexcept { m_chars.fill(QChar(u' ')); }
    FixedText(QStringView text) noexcept { assign(text); }
    FixedText(const QString &text) noexcept { assign(text); }
    FixedText(const char16_t *text) noexcept { assign(QStringView(text)); }

    FixedText &operator=(QStringView text) noexcept { assign(text); return *this; }
    FixedText &operator=(const QString &text) noexcept { assign(text); return *this; }
    FixedText &operator=(const char16_t *text) noexcept { assign(QStringView(text)); return *this; }

    void assign(QStringView text) noexcept
    {
        const auto kept = std::min<qsizetype>(text.size(), N);
        std::copy_n(text.data(), kept, m_chars.begin());
        std::fill(m_chars.begin() + kept, m_chars.end(), QChar(u' '));
    }

    static constexpr int size() noexcept { return N; }
    QStringView view() const noexcept { return QStringView(m_chars.data(), N); }
    QString toString() const { return view().toString(); }
    QStringView trimmed() const noexcept { return view().trimmed(); }
    QChar first() const noexcept { return m_chars[0]; }
    QChar operator[](int index) const noexcept { return m_chars[index]; }
    const QChar *data() const noexcept { return m_chars.data(); }

    friend bool operator==(const FixedText &, const FixedText &) noexcept = default;
    friend bool operator==(const FixedText &field, QStringView text) noexcept
    {
        return field.view() == text;
    }

private:
    std::array<QChar, N> m_chars;
};

} // namespace throngkit
