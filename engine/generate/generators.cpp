#include "generate/generators.h"

#include "core/messagesink.h"
#include "core/numberforms.h"
#include "core/request.h"
#include "core/dice.h"
#include "generate/memberfigures.h"
#include "weapons/weapondraw.h"

#include <array>
#include <cmath>
#include <initializer_list>

namespace throngkit {

namespace {

// Levels drawn at random come from one die of nine faces over this string, which gives the
// chances 1, 2, 3, 2 and 1 in 9.
constexpr char16_t LevelFaces[] = u"EBBGGGFFP";
constexpr char16_t MissileLetters[] = u"BJASK";

// A rabble of a thousand fighters with one blank table row would otherwise raise a thousand
// identical message boxes; the first one says all there is to say.
class OnceOnlySink : public MessageSink
{
public:
    explicit OnceOnlySink(MessageSink *target) : m_target(target) {}

    void showMessage(const QString &text) override
    {
        if (!m_target || m_shown)
            return;
        m_shown = true;
        m_target->showMessage(text);
    }

    MessageSink *sink() { return m_target ? this : nullptr; }

private:
    MessageSink *m_target;
    bool m_shown = false;
};

int Roll(Dice &dice, int count, int sides)
{
    return int(RollDice(dice, count, sides));
}

QChar DrawnLevel(Settings &settings, Dice &dice)
{
    if (settings.AbilityLevel.first() != u'*')
        return settings.AbilityLevel.first();
    return QChar(LevelFaces[Roll(dice, 1, 9) - 1]);
}

bool WeaponIsForced(const Settings &settings)
{
    return settings.ForcedWeapon.first() != u'*';
}

// Short texts put together in place, so that making a member allocates nothing.
class Joined
{
public:
    Joined() noexcept = default;
    Joined(std::initializer_list<QStringView> parts) noexcept
    {
        for (QStringView part : parts)
            append(part);
    }
    void append(QStringView part) noexcept
    {
        for (QChar c : part)
            if (m_size < qsizetype(m_chars.size()))
                m_chars[m_size++] = c;
    }
    operator QStringView() const noexcept { return QStringView(m_chars.data(), m_size); }

private:
    std::array<QChar, 32> m_chars;
    qsizetype m_size = 0;
};

QStringView WithoutTrailingBlanks(QStringView text)
{
    while (!text.isEmpty() && text.back() == u' ')
        text.chop(1);
    return text;
}

// --- RuneQuest ---------------------------------------------------------------------------

int DexPart(double dex)
{
    if (dex >= 1 && dex <= 9)
        return 4;
    if (dex >= 10 && dex <= 15)
        return 3;
    if (dex >= 16 && dex <= 19)
        return 2;
    return 1;
}

int SizPart(double siz)
{
    if (siz >= 1 && siz <= 9)
        return 3;
    if (siz >= 10 && siz <= 15)
        return 2;
    if (siz >= 16 && siz <= 19)
        return 1;
    return 0;
}

struct RQLevelRolls
{
    char16_t level;
    int skillOffset, skillSides;
    int armourOffset, armourSides;
};

constexpr RQLevelRolls RQLevels[] = {
    {u'E', 64, 35, 5, 2},
    {u'B', 59, 5, 4, 2},
    {u'G', 54, 5, 3, 2},
    {u'F', 44, 10, 1, 3},
    {u'P', 29, 15, -1, 3},
};

void MakeRQMember(Settings &settings, Dice &dice, MessageSink *notices)
{
    RabbleMember &m = settings.Members[settings.CurMember];
    auto &chars = settings.Chars;

    m.Name = u"____________________";

    Joined code;
    for (int j = 1; j <= 7; ++j) {
        const int value = (j == 3 || j == 4) ? RollDice(dice, 2, 6) + 6 : RollDice(dice, 3, 6);
        chars[j] = value;
        code.append(CharDigit(value));
    }
    m.Code = code;
    const double str = chars[1], con = chars[2], siz = chars[3], intel = chars[4], dex = chars[6];

    const QChar level = DrawnLevel(settings, dice);
    m.Level = QStringView(&level, 1);
    m.HitPoints = qint16(std::floor(con + siz / 2));

    if (WeaponIsForced(settings))
        m.Weapon = settings.ForcedWeapon.view();
    else
        DrawWeapon(settings, dice, notices);

    m.StrikeRank = Joined({PlainDecimal(qint16(DexPart(dex) + SizPart(siz))), u"+",
                           PlainDecimal(settings.WeaponRank)});
    m.Damage = Joined({WithoutTrailingBlanks(settings.WeaponDamage.view()), DamageBonus(str + siz)});

    const int strengthPart = int(std::floor((str - 10) / 2));
    const int attackModifier = strengthPart + int(dex - 10) - int(con - 10);
    const int parryModifier = strengthPart + int(dex - 10) + int(intel - 10);
    const int missileModifier = attackModifier;

    m.ParryWith = u"Sh";
    if (settings.ShieldChoice.first() == u'*' && Roll(dice, 1, 6) == 6)
        m.ParryWith = u"Wp";
    if (settings.ShieldChoice.first() == u'N')
        m.ParryWith = u"Wp";
    if (m.Weapon.view().startsWith(u"2H"))
        m.ParryWith = u"Wp";

    // A level outside the table (only a caller bypassing the window could set one) throws no
    // dice and gives a skill base and armour of 0.
    int skillBase = 0;
    m.Armour = 0;
    for (const RQLevelRolls &row : RQLevels) {
        if (m.Level.first() != row.level)
            continue;
        skillBase = row.skillOffset + Roll(dice, 1, row.skillSides);
        m.Armour = qint16(row.armourOffset + Roll(dice, 1, row.armourSides));
        break;
    }

    m.Attack = qint16(skillBase + attackModifier);
    m.Parry = qint16(skillBase + parryModifier);

    // Listen follows the uncapped Scan: the cap is applied afterwards on purpose.
    m.Scan = qint16(m.Attack - Roll(dice, 1, 10));
    m.Listen = qint16(m.Scan - Roll(dice, 1, 10));
    if (m.Scan > 99)
        m.Scan = qint16(90 + Roll(dice, 1, 5));
    if (m.Listen > 99)
        m.Listen = qint16(90 + Roll(dice, 1, 5));

    m.Missile = 0;
    m.MissileType = u" ";
    // "0 Never" means never: a die of 0 sides would show 1 and arm everyone.
    if (settings.MissileOdds > 0 && Roll(dice, 1, settings.MissileOdds) == 1) {
        const int letter = Roll(dice, 1, 5);
        const int missile = skillBase + missileModifier - Roll(dice, 2, 10);
        if (missile >= 15) {
            m.Missile = qint16(missile);
            m.MissileType = QStringView(&MissileLetters[letter - 1], 1);
        }
    }
}

// --- Traveller ---------------------------------------------------------------------------

struct TravellerLevelRolls
{
    char16_t level;
    int skillBase;
    int armourCount, armourSides, armourOffset;
};

constexpr TravellerLevelRolls TravellerLevels[] = {
    {u'E', 5, 1, 10, 14},
    {u'B', 4, 2, 6, 0},
    {u'G', 3, 1, 10, 0},
    {u'F', 2, 1, 8, 0},
    {u'P', 1, 1, 8, -1},
};

int SkillLevel(Dice &dice, int skillBase)
{
    return Roll(dice, 1, 6) > 5 ? skillBase + 1 : skillBase;
}

void MakeTravellerMember(Settings &settings, Dice &dice, MessageSink *notices)
{
    RabbleMember &m = settings.Members[settings.CurMember];
    auto &chars = settings.Chars;

    Joined code;
    for (int j = 1; j <= 6; ++j) {
        const int value = RollDice(dice, 2, 6) + 3;
        chars[j] = value;
        code.append(CharDigit(value));
    }
    m.Code = code;   // the seventh character is the padding blank
    m.HitPoints = qint16(3 * (chars[1] + chars[2] + chars[3]));

    const QChar level = DrawnLevel(settings, dice);
    m.Level = QStringView(&level, 1);

    if (WeaponIsForced(settings))
        m.Weapon = settings.ForcedWeapon.view();
    else
        DrawWeapon(settings, dice, notices);
    m.Damage = settings.WeaponDamage.view();
    m.StrikeRank = PlainDecimal(settings.WeaponRank).view();

    // As with RuneQuest, an unknown level throws no armour die and leaves skill base 0.
    int skillBase = 0;
    m.Armour = 0;
    for (const TravellerLevelRolls &row : TravellerLevels) {
        if (m.Level.first() != row.level)
            continue;
        skillBase = row.skillBase;
        m.Armour = qint16(Roll(dice, row.armourCount, row.armourSides) + row.armourOffset);
        break;
    }

    m.Attack = qint16(SkillLevel(dice, skillBase));
    m.Parry = qint16(SkillLevel(dice, skillBase));
    m.Scan = qint16(SkillLevel(dice, skillBase));
    if (Roll(dice, 1, 6) < 3)
        m.Scan = qint16(m.Scan - Roll(dice, 1, 4));
    if (m.Scan < 0)
        m.Scan = 0;
}

using MemberMaker = void (*)(Settings &, Dice &, MessageSink *);

Outcome Generate(GameSystem system, MemberMaker makeMember, Settings &settings, Dice &dice,
                 MessageSink *notices)
{
    if (const Outcome capacity = CheckHowMany(settings.HowMany); !capacity)
        return capacity;
    // Every member would get a blank weapon with damage "*": a rabble no referee wants.
    if (!WeaponIsForced(settings) && settings.WeaponCount < 1)
        return Outcome::failure(QStringLiteral("The weapon table holds no weapons and no weapon is "
                                               "forced: every fighter would be unarmed."),
                                RequestField::Table.toString());

    OnceOnlySink once(notices);
    const int count = ListedMemberCount(settings.HowMany);
    for (settings.CurMember = 1; settings.CurMember <= count; ++settings.CurMember)
        makeMember(settings, dice, once.sink());
    settings.GeneratedSystem = system;
    settings.GeneratedSeed = dice.seed();
    return Outcome::success();
}

} // namespace

Outcome GenerateRQRabble(Settings &settings, Dice &dice, MessageSink *notices)
{
    return Generate(GameSystem::RuneQuest, MakeRQMember, settings, dice, notices);
}

Outcome GenerateTravellerRabble(Settings &settings, Dice &dice, MessageSink *notices)
{
    return Generate(GameSystem::Traveller, MakeTravellerMember, settings, dice, notices);
}

Outcome GenerateRabble(GameSystem system, Settings &settings, Dice &dice, MessageSink *notices)
{
    switch (system) {
    case GameSystem::RuneQuest:
        return GenerateRQRabble(settings, dice, notices);
    case GameSystem::Traveller:
        return GenerateTravellerRabble(settings, dice, notices);
    case GameSystem::None:
        break;
    }
    return Outcome::failure(QStringLiteral("No game system is selected."));
}

} // namespace throngkit
