#include "listing/listingfiles.h"

#include "listing/columnwriter.h"
#include "listing/latin1.h"
#include "core/numberforms.h"

#include <QDir>

#include <cstring>
#include <initializer_list>
#include <string_view>

namespace throngkit {
namespace {

const char16_t RQHeader[] = u"Num  Name                 T Weapon     Damage     Att Parry  SR  Mis HP AP Sc Ls"
                            u"                                          SCZIPDA";
const char16_t TravellerHeader[] = u"Num  Name                 T Weapon     Damage     Pen Skill  HP AP  Recon   SDEIES Skills";
const char16_t NotesSlot[] = u" Notes ___________________________________";   // 35 underscores
const char16_t NameSlot[] = u"____________________";                          // 20 underscores

// Bytes per member line or row, generous, so that a full rabble is built without regrowing.
constexpr qsizetype RblBytesPerMember = 140;
constexpr qsizetype HtmBytesPerMember = 720;
constexpr qsizetype FixedBytes = 1600;

bool HasNoMissile(const RabbleMember &member)
{
    return member.MissileType == QStringView(u" ");
}

// The heading as it goes into a file: each line break (CR LF, CR or LF) one blank, so that a
// .rbl file keeps its three-line head.
QString OneLineHeading(const QString &heading)
{
    if (!heading.contains(u'\r') && !heading.contains(u'\n'))
        return heading;
    QString line = heading;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    line.replace(u'\r', u' ').replace(u'\n', u' ');
    return line;
}

// The bytes write() gives a sink, in an array that holds exactly them.
template <typename Write>
QByteArray Written(qsizetype expected, Write write)
{
    QByteArray out;
    {
        ByteSink sink(out, expected);
        write(sink);
    }
    return out;
}

// Heading, empty line, header line: the start of every listing file.
void StartRbl(ColumnWriter &line, const QString &heading, QStringView header)
{
    line.text(OneLineHeading(heading)).endLine();
    line.endLine();
    line.text(header).endLine();
}

// Writes the lines of a page in Latin-1; record texts and the heading are escaped, literals not.
class PageWriter
{
public:
    explicit PageWriter(ByteSink &out) noexcept : m_out(out) {}

    PageWriter &literal(std::string_view text)
    {
        m_out.append(text);
        return *this;
    }

    PageWriter &text(QStringView text)
    {
        AppendHtmlText(m_out, text);
        return *this;
    }
    PageWriter &text(const NumberText &number)
    {
        m_out.ascii(number);
        return *this;
    }

    void line(std::string_view closing)
    {
        char *to = m_out.room(qsizetype(closing.size()) + 2);
        to = Copy(to, closing);
        *to++ = '\r';
        *to++ = '\n';
        m_out.advance(qsizetype(closing.size()) + 2);
    }

    // A data cell of a member row: P, the text, then the closing literal, made in one piece.
    void cell(QStringView text, std::string_view closing = "</td>")
    {
        char *const start = m_out.room(qsizetype(Small.size() + closing.size()) + 2
                                       + text.size() * MostHtmlBytesPerUnit);
        char *to = WriteHtmlText(Copy(start, Small), text);
        to = Copy(to, closing);
        *to++ = '\r';
        *to++ = '\n';
        m_out.advance(to - start);
    }
    void cell(const NumberText &number, std::string_view closing = "</td>")
    {
        literal(Small).text(number).line(closing);
    }

    static constexpr std::string_view Small = "        <td><small><small>";

private:
    static char *Copy(char *to, std::string_view bytes)
    {
        std::memcpy(to, bytes.data(), bytes.size());
        return to + bytes.size();
    }

    ByteSink &m_out;
};

// The cells that open a member row in both systems: number, name line, level, weapon, damage.
void RowStart(PageWriter &page, int number, const RabbleMember &m, std::string_view nameCell)
{
    page.line("    <tr>");
    page.cell(PrintedNumber(qint16(number)));
    page.line(nameCell);
    page.cell(m.Level.view());
    page.cell(m.Weapon.view());
    page.cell(m.Damage.view());
}

void StartHtm(PageWriter &page, const QString &heading, std::string_view title,
              bool emptyLineAfterBody, std::initializer_list<std::string_view> labels)
{
    page.line("<html>");
    page.line("");
    page.line("<head>");
    page.line("<meta http-equiv=\"Content-Type\"");
    page.line("content=\"text/html; charset=iso-8859-1\">");
    page.line("<meta name=\"GENERATOR\" content=\"Microsoft FrontPage Express 2.0\">");
    page.line(title);
    page.line("</head>");
    page.line("");
    page.line("<body bgcolor=\"#FFFFFF\">");
    if (emptyLineAfterBody)
        page.line("");
    page.literal("<h1>").text(OneLineHeading(heading)).line("</h1>");
    page.line("<table border=\"1\" width=\"100%\">");
    page.line("    <tr>");
    for (std::string_view label : labels)
        page.literal("        <td>").literal(label).line("</td>");
    page.line("    </tr>");
}

void EndHtm(PageWriter &page)
{
    page.line("</table>");
    page.line("</body>");
    page.line("</html>");
}

QByteArray ComposeRQRbl(const Settings &settings, const QString &heading)
{
    const int count = ListedMemberCount(settings.HowMany);
    return Written(FixedBytes + count * RblBytesPerMember, [&](ByteSink &sink) {
        ColumnWriter line(sink);
        StartRbl(line, heading, RQHeader);
        for (int i = 1; i <= count; ++i) {
            const RabbleMember &m = settings.Members[i];
            line.text(HashForm(qint16(i)));
            line.at(6).text(m.Name.view());
            line.at(27).text(m.Level.view());
            line.at(29).text(m.Weapon.view());
            line.at(40).text(m.Damage.view());
            line.at(52).text(HashForm(m.Attack));
            line.at(55).text(HashForm(m.Parry));
            line.at(58).text(m.ParryWith.view());
            line.at(62).text(m.StrikeRank.view());
            if (!HasNoMissile(m))
                line.at(66).text(PlainDecimal(m.Missile)).text(m.MissileType.view()).literal(" ");
            line.at(70).text(HashForm(m.HitPoints));
            line.at(73).text(HashForm(m.Armour));
            line.at(76).text(HashForm(m.Scan));
            line.at(79).text(HashForm(m.Listen));
            line.at(81).text(NotesSlot);
            line.at(123).text(m.Code.view());
            line.endLine();
        }
    });
}

QByteArray ComposeTravellerRbl(const Settings &settings, const QString &heading)
{
    const int count = ListedMemberCount(settings.HowMany);
    return Written(FixedBytes + count * RblBytesPerMember, [&](ByteSink &sink) {
        ColumnWriter line(sink);
        StartRbl(line, heading, TravellerHeader);
        for (int i = 1; i <= count; ++i) {
            const RabbleMember &m = settings.Members[i];
            line.text(HashForm(qint16(i)));
            line.at(6).text(NameSlot);
            line.at(27).text(m.Level.view());
            line.at(29).text(m.Weapon.view());
            line.at(40).text(m.Damage.view());
            line.at(51).text(m.StrikeRank.view());
            line.at(55).literal("Gun-").text(PlainDecimal(m.Attack));
            line.at(62).text(HashForm(m.HitPoints));
            line.at(65).text(HashForm(m.Armour));
            line.at(69).literal("Recon-").text(HashForm(m.Scan));
            line.at(77).text(m.Code.view());
            line.at(84).literal("-").text(PlainDecimal(m.Parry));
            line.at(91).text(NotesSlot);
            line.endLine();
        }
    });
}

QByteArray ComposeRQHtm(const Settings &settings, const QString &heading)
{
    const int count = ListedMemberCount(settings.HowMany);
    return Written(FixedBytes + count * HtmBytesPerMember, [&](ByteSink &sink) {
        PageWriter page(sink);
        StartHtm(page, heading, "<title>RQ Rabble Listing</title>", true,
                 {"Num", "Name", "T", "Weapon", "Damage", "Att", "Parry", "SR", "Mis", "HP", "AP", "Sc",
                  "Li", "Notes", "SCZIPDA"});
        for (int i = 1; i <= count; ++i) {
            const RabbleMember &m = settings.Members[i];
            RowStart(page, i, m, "        <td><small><small>__________</td>");
            page.cell(HashForm(m.Attack), "%</td>");
            page.cell(HashForm(m.Parry), "%</td>");
            page.cell(m.StrikeRank.view());
            if (HasNoMissile(m))
                page.line("        <td>_</td>");
            else
                page.literal(PageWriter::Small)
                    .text(PlainDecimal(m.Missile))
                    .text(m.MissileType.view())
                    .line(" </td>");
            page.cell(PrintedNumber(m.HitPoints));
            page.cell(PrintedNumber(m.Armour));
            page.cell(HashForm(m.Scan), "%</td>");
            page.cell(HashForm(m.Listen), "%</td>");
            page.line("        <td><small><small>__________</td>");
            page.cell(m.Code.view());
            page.line("    </tr>");
        }
        EndHtm(page);
    });
}

QByteArray ComposeTravellerHtm(const Settings &settings, const QString &heading)
{
    const int count = ListedMemberCount(settings.HowMany);
    return Written(FixedBytes + count * HtmBytesPerMember, [&](ByteSink &sink) {
        PageWriter page(sink);
        StartHtm(page, heading, "<title>Traveller Rabble Listing</title>", false,
                 {"Num", "Name", "T", "Weapon", "Damage", "Pen", "Skill", "HP", "AP", "Recon", "SDEIES",
                  "Skills", "Notes"});
        for (int i = 1; i <= count; ++i) {
            const RabbleMember &m = settings.Members[i];
            RowStart(page, i, m, "        <td><small><small>_____________________ </td>");
            page.cell(m.StrikeRank.view());
            page.literal("        <td><small><small>Gun-").text(PlainDecimal(m.Attack)).line("</td>");
            page.cell(HashForm(m.HitPoints));
            page.cell(HashForm(m.Armour));
            page.literal("        <td><small><small>Recon-").text(HashForm(m.Scan)).line("</td>");
            page.cell(m.Code.view());
            page.literal("        <td><small><small>-").text(PlainDecimal(m.Parry)).line("</td>");
            page.line("        <td><small><small>__________</td>");
            page.line("    </tr>");
        }
        EndHtm(page);
    });
}

} // namespace

QByteArray ComposeRbl(GameSystem system, const Settings &settings, const QString &heading)
{
    return system == GameSystem::Traveller ? ComposeTravellerRbl(settings, heading)
                                           : ComposeRQRbl(settings, heading);
}

QByteArray ComposeHtm(GameSystem system, const Settings &settings, const QString &heading)
{
    return system == GameSystem::Traveller ? ComposeTravellerHtm(settings, heading)
                                           : ComposeRQHtm(settings, heading);
}

} // namespace throngkit
