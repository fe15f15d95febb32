#include "core/request.h"

#include "core/numerictext.h"

namespace throngkit {

namespace {

constexpr SystemChoice Systems[] = {
    {GameSystem::RuneQuest, u"runequest"},
    {GameSystem::Traveller, u"traveller"},
};

constexpr RequestChoice Levels[] = {
    {u'*', u"random", u"* Random"}, {u'E', u"E", u"E Elite"}, {u'B', u"B", u"B Better"},
    {u'G', u"G", u"G Good"},        {u'F', u"F", u"F Fair"},  {u'P', u"P", u"P Poor"},
};

constexpr RequestChoice Shields[] = {
    {u'*', u"random", u"* Random"}, {u'Y', u"always", u"Y Always"}, {u'N', u"never", u"N Never"},
};

constexpr RequestChoice Missiles[] = {
    {u'1', u"1", u"1 (Always)"}, {u'2', u"2", u"2"}, {u'3', u"3", u"3"}, {u'4', u"4", u"4"},
    {u'5', u"5", u"5"},          {u'6', u"6", u"6"}, {u'7', u"7", u"7"}, {u'8', u"8", u"8"},
    {u'9', u"9", u"9"},          {u'0', u"0", u"0 Never"},
};

} // namespace

std::span<const SystemChoice> SystemChoices() { return Systems; }
std::span<const RequestChoice> AbilityLevelChoices() { return Levels; }
std::span<const RequestChoice> ShieldChoices() { return Shields; }
std::span<const RequestChoice> MissileChoices() { return Missiles; }

const SystemChoice *FindSystem(QStringView word)
{
    for (const SystemChoice &choice : Systems) {
        if (word.compare(choice.word, Qt::CaseInsensitive) == 0)
            return &choice;
    }
    return nullptr;
}

const RequestChoice *FindChoice(std::span<const RequestChoice> choices, QStringView word)
{
    for (const RequestChoice &choice : choices) {
        if (word.compare(choice.word, Qt::CaseInsensitive) == 0)
            return &choice;
    }
    return nullptr;
}

const RequestChoice *FindChoice(std::span<const RequestChoice> choices, char16_t code)
{
    for (const RequestChoice &choice : choices) {
        if (choice.code == code)
            return &choice;
    }
    return nullptr;
}

QString ChoiceWords(const QStringList &words)
{
    QString text;
    for (qsizetype i = 0; i < words.size(); ++i) {
        if (i > 0)
            text += i + 1 == words.size() ? QStringLiteral(" or ") : QStringLiteral(", ");
        text += words[i];
    }
    return text;
}

QString ChoiceWords(std::span<const RequestChoice> choices)
{
    QStringList words;
    for (const RequestChoice &choice : choices)
        words << choice.word.toString();
    return ChoiceWords(words);
}

Outcome CheckHowMany(float howMany)
{
    // Written to refuse NaN too.
    if (!(howMany <= float(MaxMembers)))
        return Outcome::failure(QStringLiteral("A rabble holds at most %1 fighters.").arg(MaxMembers),
                                RequestField::Count.toString());
    return Outcome::success();
}

Result<qint16> OverrideRank(const WeaponOverride &choice)
{
    if (!choice.forced)
        return Result<qint16>::success(2);
    const std::optional<qint16> rank = WholeRank(NumericValue(choice.rank));
    if (!rank)
        return Result<qint16>::failure(QStringLiteral("a number from -32768 to 32767"));
    return Result<qint16>::success(*rank);
}

Outcome CheckRequest(const RabbleRequest &request)
{
    const auto fault = [](QStringView field, const QString &reason) {
        return Outcome::failure(reason, field.toString());
    };
    if (request.system != GameSystem::RuneQuest && request.system != GameSystem::Traveller)
        return fault(RequestField::System, QStringLiteral("No game system is selected."));
    if (const Outcome fits = CheckHowMany(request.howMany); !fits)
        return fits;
    if (!FindChoice(Levels, request.abilityLevel))
        return fault(RequestField::Level, QStringLiteral("The ability level is not one of %1.")
                                              .arg(ChoiceWords(Levels)));
    if (!FindChoice(Shields, request.shieldChoice))
        return fault(RequestField::Shield,
                     QStringLiteral("The shield choice is not one of %1.").arg(ChoiceWords(Shields)));
    if (request.missileOdds < 0 || request.missileOdds > 9)
        return fault(RequestField::Missile, QStringLiteral("The missile odds are not 1 in 0 to 9."));
    if (request.weapon.forced) {
        // "*" in the first place means "no forced weapon" to the generators: a name that would
        // silently turn the choice off is refused rather than obeyed.
        if (request.weapon.name.startsWith(u'*'))
            return fault(RequestField::Weapon,
                         QStringLiteral("A forced weapon's name may not start with \"*\"."));
        if (const Result<qint16> rank = OverrideRank(request.weapon); !rank)
            return fault(RequestField::Rank, QStringLiteral("The forced weapon's SR or PEN must be %1.")
                                                 .arg(rank.reason()));
    }
    return Outcome::success();
}

Outcome ApplyRequest(const RabbleRequest &request, Settings &settings)
{
    if (const Outcome checked = CheckRequest(request); !checked)
        return checked;
    settings.HowMany = request.howMany;
    settings.AbilityLevel = QStringView(&request.abilityLevel, 1);
    settings.ShieldChoice = QStringView(&request.shieldChoice, 1);
    settings.MissileOdds = request.missileOdds;
    const WeaponOverride &weapon = request.weapon;
    settings.ForcedWeapon = weapon.forced ? weapon.name : QStringLiteral("*");
    settings.WeaponDamage = weapon.forced ? weapon.damage : QStringLiteral("*");
    settings.WeaponRank = OverrideRank(weapon).value();
    return Outcome::success();
}

} // namespace throngkit
