#include "listing/screenlisting.h"

#include "listing/numberforms.h"

namespace throngkit {

namespace {

constexpr QStringView RQHeader =
    u"Num   T Weapon     Damage     Att Parry  SR  Mis HP AP Sc Ls SCZIPDA";
constexpr QStringView TravellerHeader =
    u"Num   T Weapon     Damage     Pen Skill  HP AP  Recon   SDEIES Skills";

// Room for the longest ordinary line and its line end, so that a full rabble is one allocation.
constexpr qsizetype LineRoom = 80;

// text written over width blanks: longer text loses its tail, shorter text is padded.
void AppendLeftField(QString &out, QStringView text, int width)
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
void AppendMemberStart(QString &out, const RabbleMember &m, int number)
{
    AppendLeftField(out, PlainDecimal(qint16(number)), 5);
    out += u' ';
    out += m.Level.view();
    out += u' ';
    out += m.Weapon.view();
    out += u' ';
    out += m.Damage.view();
}

void AppendRQMember(QString &out, const Settings &settings, int number)
{
    const RabbleMember &m = settings.Members[number];

    AppendMemberStart(out, m, number);

    AppendLeftField(out, QString(BlankTwoDigits(m.Attack) + u'%'), 4);
    AppendLeftField(out, QString(BlankTwoDigits(m.Parry) + u'%'), 5);

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

void AppendTravellerMember(QString &out, const Settings &settings, int number)
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
    for (int i = 1; i <= count; ++i)
        AppendRQMember(out, settings, i);
    return out;
}

QString BuildTravellerListing(const Settings &settings)
{
    const int count = ListedMemberCount(settings.HowMany);
    QString out = StartListing(settings, TravellerHeader, count);
    for (int i = 1; i <= count; ++i)
        AppendTravellerMember(out, settings, i);
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
