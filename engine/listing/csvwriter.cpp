#include "listing/csvwriter.h"

#include "listing/memberfields.h"

#include <QString>

namespace throngkit {
namespace {

void AppendCell(QString &row, QStringView text)
{
    const bool quoted = text.contains(u',') || text.contains(u'"') || text.contains(u'\r')
                        || text.contains(u'\n');
    if (!quoted) {
        row += text;
        return;
    }
    row += u'"';
    for (const QChar c : text) {
        if (c == u'"')
            row += u'"';
        row += c;
    }
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
    out.reserve(200 + count * 130);

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
            else if (field.number)
                out += QString::number(field.number(member));
            else if (const std::optional<int> figure = field.figure(member))
                out += QString::number(*figure);
        }
        out += u"\r\n";
    }
    return out.toUtf8();
}

} // namespace throngkit
