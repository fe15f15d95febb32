#include "listing/csvwriter.h"

#include "core/numberforms.h"
#include "core/windows1252.h"
#include "listing/memberfields.h"

#include <QRegularExpression>
#include <QString>

#include <algorithm>

namespace throngkit {
namespace {

// A spreadsheet reads a cell that starts with "=", "+", "-", "@", a tab or a carriage return as a
// formula, and a table's text or a forced weapon may start so ("=HYPERLINK(...)"). As OWASP
// advises against such injection, the cell gets a leading single quote, which makes it text;
// blanks before the sign count for nothing, as a reader may trim them. Two kinds of cell are
// left as they are, because no spreadsheet can compute anything from them and a quote would
// change what every reader gets: a plain number ("-1") and a roll of dice with at least one die
// (a damage bonus alone is "+1D4" or "-1D4").
bool StartsLikeAFormula(QStringView text)
{
    qsizetype start = 0;
    while (start < text.size() && text[start] == u' ')
        ++start;
    if (start == text.size() || !QStringView(u"=+-@\t\r").contains(text[start]))
        return false;
    static const QRegularExpression harmless(QRegularExpression::anchoredPattern(
        QStringLiteral("[+-]?[0-9]+(\\.[0-9]+)?|[+-]?([0-9]+[+-])*[0-9]+D[0-9]+([+-][0-9]+(D[0-9]+)?)*")));
    return !harmless.match(text.sliced(start)).hasMatch();
}

// A cell holding a separator that a reader may split on (a comma, or a semicolon or tab, which
// some readers take as separators too), a quote or a line break is quoted, its quotes doubled.
// Weapon-table text has its bytes 0x80 to 0x9F read as Windows-1252.
void AppendCell(QString &row, QStringView text)
{
    bool quoted = false;
    bool asItStands = true;   // no quote to double, no byte of Windows-1252 to read
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'"':
            asItStands = false;
            [[fallthrough]];
        case u',': case u';': case u'\t': case u'\r': case u'\n':
            quoted = true;
            break;
        default:
            asItStands = asItStands && FromWindows1252(c.unicode()) == c.unicode();
        }
    }
    if (quoted)
        row += u'"';
    if (StartsLikeAFormula(text))
        row += u'\'';
    if (asItStands) {
        row += text;
    } else {
        for (const QChar c : text) {
            if (c == u'"')
                row += u'"';
            row += QChar(FromWindows1252(c.unicode()));
        }
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
    out.reserve(200 + count * 130);

    out += u"number";
    for (const MemberField &field : fields) {
        out += u',';
        out += QStringView(field.key);
    }
    out += u"\r\n";

    for (int number = 1; number <= count; ++number) {
        const RabbleMember &member = settings.Members[number];
        AppendDecimal(out, number);
        for (const MemberField &field : fields) {
            out += u',';
            if (field.text)
                AppendCell(out, WithoutPadding(field.text(member)));
            else if (field.number)
                AppendDecimal(out, field.number(member));
            else if (const std::optional<int> figure = field.figure(member))
                AppendDecimal(out, *figure);
        }
        out += u"\r\n";
    }
    return out.toUtf8();
}

} // namespace throngkit
