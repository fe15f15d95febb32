#include "listing/csvwriter.h"

#include "core/windows1252.h"
#include "listing/memberfields.h"

#include <QString>

namespace throngkit {
namespace {

// Weapon-table text has its bytes 0x80 to 0x9F read as Windows-1252.
void AppendCell(QString &row, QStringView text)
{
    const bool quoted = text.contains(u',') || text.contains(u'"') || text.contains(u'\r')
                        || text.contains(u'\n');
    if (quoted)
        row += u'"';
    for (const QChar c : text) {
        if (c == u'"')
            row += u'"';
        row += QChar(FromWindows1252(c.unicode()));
    }
    if (quoted)
        row += u'"';
}

// The padding of a fixed-width field is on its right; blanks the text itself begins with stay.
QStringView WithoutPadding(QStringView text)
{
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == u' ')
        --end;
    return text.first(end);
}

} // namespace

QByteArray ComposeCsv(GameSystem system, const Settings &settings)
{
    const int count = ListedMemberCount(settings.HowMany);
    const auto fields = MemberFields(system);
    QString out;
    out.reserve(200 + count * 100);

    out += u"number";
    for (const MemberField &field : fields) {
        out += u',';
        out += QStringView(field.key);
    }
    out += u"\r\n";

    for (int number = 1; number <= count; ++number) {
        const RabbleMember &member = settings.Members[number];
        out += QString::number(number);
        for (const MemberField &field : fields) {
            out += u',';
            if (field.text)
                AppendCell(out, WithoutPadding(field.text(member)));
            else
                out += QString::number(field.number(member));
        }
        out += u"\r\n";
    }
    return out.toUtf8();
}

} // namespace throngkit
