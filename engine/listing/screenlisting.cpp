#include "listing/screenlisting.h"

#include "core/numberforms.h"
#include "core/windows1252.h"

#include <algorithm>
#include <array>

namespace throngkit {

namespace {

constexpr QStringView RQHeader =
    u"Num   T Weapon     Damage     Att Parry  SR  Mis HP AP Sc Ls SCZIPDA";
constexpr QStringView TravellerHeader =
    u"Num   T Weapon     Damage     Pen Skill  HP AP  Recon   SDEIES Skills";

// Room for the longest ordinary line and its line end, so that a full rabble is one allocation.
constexpr qsizetype LineRoom = 80;

// Collects the pieces of member lines and hands them to the listing in large blocks: a thousand
// members are some twenty thousand pieces, and each append to a QString costs a capacity check.
class LineBuffer
{
public:
    explicit LineBuffer(QString &out) noexcept : m_out(out) {}
    ~LineBuffer() { flush(); }
    LineBuffer(const LineBuffer &) = delete;
    LineBuffer &operator=(const LineBuffer &) = delete;

    LineBuffer &operator+=(QStringView text)
    {
        if (m_size + text.size() > Capacity) {
            flush();
            if (text.size() > Capacity) {
                m_out += text;
                return *this;
            }
        }
        std::copy(text.begin(), text.end(), m_chars.begin() + m_size);
        m_size += text.size();
        return *this;
    }
    LineBuffer &operator+=(QChar c) { return *this += QStringView(&c, 1); }

    // A member's field of weapon-table text (a few characters), bytes 0x80 to 0x9F read as
    // Windows-1252.
    void appendTableText(QStringView text)
    {
        if (m_size + text.size() > Capacity)
            flush();
        for (const QChar c : text)
            m_chars[m_size++] = QChar(FromWindows1252(c.unicode()));
    }

    void flush()
    {
        m_out.append(m_chars.data(), m_size);
        m_size = 0;
    }

private:
    static constexpr qsizetype Capacity = 4096;
    QString &m_out;
    std::array<QChar, Capacity> m_chars;
    qsizetype m_size = 0;
};

NumberText Percent(NumberText number)
{
    number.append(u'%');
    return number;
}

// text written over width blanks: longer text loses its tail, shorter text is padded.
void AppendLeftField(LineBuffer &out, QStringView text, int width)
{
    const QStringView kept = text.left(width);
    out += kept;
    for (qsizetype pad = kept.size(); pad < width; ++pad)
        out += u' ';
}

QString StartListing(const Settings &settings, QStringView header, int count)
{
    QString out;
    out.reserve((count + 1) * (LineRoom + settings.CrLf.size()));
    out += header;
    out += settings.CrLf;
    return out;
}

// Number, level, weapon and damage open a member line alike in both systems.
void AppendMemberStart(LineBuffer &out, const RabbleMember &m, int number)
{
    AppendLeftField(out, PlainDecimal(qint16(number)), 5);
    out += u' ';
    out += m.Level.view();
    out += u' ';
    out.appendTableText(m.Weapon.view());
    out += u' ';
    out.appendTableText(m.Damage.view());
}

void AppendRQMember(LineBuffer &out, const Settings &settings, int number)
{
    const RabbleMember &m = settings.Members[number];

    AppendMemberStart(out, m, number);

    AppendLeftField(out, Percent(BlankTwoDigits(m.Attack)), 4);
    AppendLeftField(out, Percent(BlankTwoDigits(m.Parry)), 5);

    out += m.ParryWith.view();
    out += u' ';
    out += m.StrikeRank.view();

    if (m.MissileType.first() == u' ') {
        out += QStringView(u"     ");
    } else {
        out += u' ';
        out += TwoDigits(m.Missile);
        out += m.MissileType.view();
        out += u' ';
    }

    // Nothing from here on is padded: odd digit counts shift the rest of the line, as they
    // always have in this listing.
    out += HashBlank(m.HitPoints);
    out += PlainDecimal(m.Armour);
    out += QStringView(u"  ");
    out += PlainDecimal(m.Scan);
    out += u' ';
    out += HashForm(m.Listen);
    out += u' ';
    out += m.Code.view();
    out += settings.CrLf;
}

void AppendTravellerMember(LineBuffer &out, const Settings &settings, int number)
{
    const RabbleMember &m = settings.Members[number];

    AppendMemberStart(out, m, number);
    out += u' ';
    out += m.StrikeRank.view();

    out += QStringView(u" Gun-");
    out += PlainDecimal(m.Attack);
    out += QStringView(u"  ");
    AppendLeftField(out, PlainDecimal(m.HitPoints), 3);
    out += u' ';
    AppendLeftField(out, PlainDecimal(m.Armour), 2);
    out += QStringView(u" Recon-");
    AppendLeftField(out, PlainDecimal(m.Scan), 2);
    out += m.Code.view();
    out += QStringView(u" -");
    out += PlainDecimal(m.Parry);
    out += settings.CrLf;
}

} // namespace

QString BuildRQListing(const Settings &settings)
{
    const int count = ListedMemberCount(settings.HowMany);
    QString out = StartListing(settings, RQHeader, count);
    {
        LineBuffer lines(out);
        for (int i = 1; i <= count; ++i)
            AppendRQMember(lines, settings, i);
    }
    return out;
}

QString BuildTravellerListing(const Settings &settings)
{
    const int count = ListedMemberCount(settings.HowMany);
    QString out = StartListing(settings, TravellerHeader, count);
    {
        LineBuffer lines(out);
        for (int i = 1; i <= count; ++i)
            AppendTravellerMember(lines, settings, i);
    }
    return out;
}

QString BuildListing(GameSystem system, const Settings &settings)
{
    switch (system) {
    case GameSystem::RuneQuest:
        return BuildRQListing(settings);
    case GameSystem::Traveller:
        return BuildTravellerListing(settings);
    case GameSystem::None:
        break;
    }
    return QString();
}

} // namespace throngkit
