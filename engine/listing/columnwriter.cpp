#include "listing/columnwriter.h"

#include "listing/latin1.h"

namespace throngkit {

ColumnWriter &ColumnWriter::text(QStringView text)
{
    AppendLatin1(m_out, text);
    return *this;
}

ColumnWriter &ColumnWriter::at(int n)
{
    const int current = column();
    if (current < n) {
        m_out.fill(n - current, ' ');
    } else if (current > n) {
        endLine();
        m_out.fill(n - 1, ' ');
    }
    return *this;
}

void ColumnWriter::endLine()
{
    m_out.append("\r\n");
    m_lineStart = m_out.size();
}

} // namespace throngkit
