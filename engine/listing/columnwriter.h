#pragma once

#include "core/numberforms.h"
#include "listing/bytesink.h"

#include <QStringView>

#include <string_view>

namespace throngkit {

// Writes the fixed-column lines of a listing file. Columns count from 1 and advance by one for
// every character written, so a long value pushes what follows to the right, or onto a new line
// once it has run past the next column.
class ColumnWriter
{
public:
    explicit ColumnWriter(ByteSink &out) noexcept : m_out(out), m_lineStart(out.size()) {}

    // Appends text in Latin-1 ("?" for a character it cannot hold).
    ColumnWriter &text(QStringView text);
    ColumnWriter &text(const NumberText &number)
    {
        m_out.ascii(number);
        return *this;
    }
    ColumnWriter &literal(std::string_view bytes)
    {
        m_out.append(bytes);
        return *this;
    }

    // Moves to column n before the next text: blanks up to n; nothing when already at n; when
    // past n, a line end and n - 1 blanks, so that the next text starts at column n of a new line.
    ColumnWriter &at(int n);

    void endLine();

    int column() const noexcept { return int(m_out.size() - m_lineStart) + 1; }

private:
    ByteSink &m_out;
    qsizetype m_lineStart;
};

} // namespace throngkit
