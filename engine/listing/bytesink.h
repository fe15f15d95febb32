#pragma once

#include <QByteArray>
#include <QStringView>
#include <QtGlobal>

#include <algorithm>
#include <cstring>
#include <string_view>

namespace throngkit {

// Appends to a QByteArray through a raw pointer. A listing file of a thousand members is some
// hundred thousand small pieces, and QByteArray::append checks its sharing and capacity for each
// one; here a piece costs a bounds check and a copy. The array holds exactly what was written
// once the sink is gone.
class ByteSink
{
public:
    ByteSink(QByteArray &out, qsizetype expected) : m_out(out), m_size(out.size())
    {
        grow(expected);
    }
    ~ByteSink() { m_out.resize(m_size); }
    ByteSink(const ByteSink &) = delete;
    ByteSink &operator=(const ByteSink &) = delete;

    qsizetype size() const noexcept { return m_size; }

    // Room for at least count more bytes, written at the pointer returned; advance() then says
    // how many were written.
    char *room(qsizetype count)
    {
        if (m_size + count > m_capacity)
            grow(count);
        return m_data + m_size;
    }
    void advance(qsizetype count) noexcept { m_size += count; }

    ByteSink &append(std::string_view bytes)
    {
        std::memcpy(room(qsizetype(bytes.size())), bytes.data(), bytes.size());
        m_size += qsizetype(bytes.size());
        return *this;
    }
    ByteSink &append(char c)
    {
        *room(1) = c;
        ++m_size;
        return *this;
    }
    // ASCII text (digits, signs, blanks) needs no conversion and no escaping.
    ByteSink &ascii(QStringView text)
    {
        char *to = room(text.size());
        for (const QChar c : text)
            *to++ = char(c.unicode());
        m_size += text.size();
        return *this;
    }
    ByteSink &fill(qsizetype count, char c)
    {
        std::memset(room(count), c, std::size_t(count));
        m_size += count;
        return *this;
    }

private:
    void grow(qsizetype count)
    {
        m_capacity = std::max(2 * m_capacity, m_size + count + 1024);
        m_out.resize(m_capacity);   // the bytes past m_size are left as they are, unwritten
        m_data = m_out.data();
    }

    QByteArray &m_out;
    char *m_data = nullptr;
    qsizetype m_size;
    qsizetype m_capacity = 0;
};

} // namespace throngkit
