#include "listing/foundryexport.h"

#include "core/dice.h"
#include "core/numberforms.h"
#include "core/request.h"
#include "core/safefiles.h"
#include "core/windows1252.h"
#include "generate/memberfigures.h"
#include "listing/rabblejson.h"

#include <throngkit/version.h>

#include <QStringList>

#include <algorithm>
#include <array>
#include <deque>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace throngkit {
namespace {

// The releases whose data models the documents follow: both systems need this core.
constexpr char16_t CoreVersion[] = u"14.361";
constexpr char16_t RqgVersion[] = u"6.1.0";
constexpr char16_t TwodsixVersion[] = u"7.5.2";

// Compact JSON, written in order: each value after the first of an object or a list gets its
// comma, so that a document reads as the calls that write it.
class Json
{
public:
    explicit Json(QString &out) : m_out(out) {}

    Json &open(const char16_t *key = nullptr) { return start(key, u'{'); }
    Json &list(const char16_t *key = nullptr) { return start(key, u'['); }
    Json &close() { return end(u'}'); }
    Json &endList() { return end(u']'); }
    Json &text(const char16_t *key, QStringView value)
    {
        item(key);
        AppendJsonString(m_out, value);
        return *this;
    }
    Json &number(const char16_t *key, qint64 value)
    {
        item(key);
        AppendDecimal(m_out, value);
        return *this;
    }
    Json &figure(const char16_t *key, std::optional<int> value)
    {
        return value ? number(key, *value) : raw(key, u"null");
    }
    Json &flag(const char16_t *key, bool value) { return raw(key, value ? u"true" : u"false"); }
    // A value written out already: the constant parts of the documents.
    Json &raw(const char16_t *key, QStringView json)
    {
        item(key);
        m_out += json;
        return *this;
    }
    // The next value of a list of documents begins a line of its own.
    Json &onNewLine()
    {
        if (!m_first)
            m_out += u',';
        m_out += u'\n';
        m_first = true;
        return *this;
    }

private:
    Json &start(const char16_t *key, QChar bracket)
    {
        item(key);
        m_out += bracket;
        m_first = true;
        return *this;
    }
    Json &end(QChar bracket)
    {
        m_out += bracket;
        m_first = false;
        return *this;
    }
    void item(const char16_t *key)
    {
        if (!m_first)
            m_out += u',';
        m_first = false;
        if (key) {
            m_out += u'"';
            m_out += QStringView(key);
            m_out += u"\":";
        }
    }

    QString &m_out;
    bool m_first = true;
};

// A name as Foundry shows it: one line, no control characters, no blanks at its ends. A table's
// Windows-1252 bytes are read first, so that its dashes and quotes are not taken for the C1
// control characters that share their codes.
QString PlainText(QStringView text)
{
    QString plain;
    plain.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = FromWindows1252(c.unicode());
        plain += IsControlCharacter(u) ? QChar(u' ') : QChar(u);
    }
    return plain.simplified();
}

// rqg's own slug of a name for its ids (rqids): runs of anything but ASCII letters and digits
// become one '-', a lower-case letter followed by a capital gets one between them, none at the
// ends, all in lower case. "2H Spear" gives "2h-spear".
QString RqidSlug(QStringView name)
{
    QString slug;
    bool gap = false;
    bool afterLower = false;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        const bool lower = u >= u'a' && u <= u'z';
        const bool upper = u >= u'A' && u <= u'Z';
        if (!lower && !upper && !(u >= u'0' && u <= u'9')) {
            gap = true;
            continue;
        }
        if (!slug.isEmpty() && (gap || (upper && afterLower)))
            slug += u'-';
        slug += upper ? QChar(char16_t(u + (u'a' - u'A'))) : c;
        gap = false;
        afterLower = lower;
    }
    return slug;
}

// text as safe HTML for a field that Foundry renders: the markup characters escaped, control
// characters as blanks, and the openings of Foundry's text enrichers ("@UUID[", "[[") broken
// so that no link, roll or embed can come from a table or a heading.
QString HtmlText(QStringView text)
{
    QString html;
    const QString plain = PlainText(text);
    for (const QChar c : plain) {
        switch (c.unicode()) {
        case u'&': html += u"&amp;"; break;
        case u'<': html += u"&lt;"; break;
        case u'>': html += u"&gt;"; break;
        case u'"': html += u"&quot;"; break;
        case u'\'': html += u"&#39;"; break;
        // The enrichers match the page's text after its markup is read, so an escaped bracket
        // would still open one; a word joiner, which shows as nothing, breaks each pattern.
        case u'@':
        case u'[':
            html += c;
            html += QChar(0x2060);
            break;
        default: html += c;
        }
    }
    return html;
}

// A damage text as a Foundry dice formula: "1D8+1" as "1d8+1", and a die without sides, as
// Traveller writes "3D", as a six-sided one. Empty for a text that is no formula ("*", "Bite").
QString DiceFormula(QStringView damage)
{
    QString compact;
    for (const QChar c : damage) {
        if (c != u' ')
            compact += c;
    }
    QString formula;
    bool digits = false;
    for (qsizetype i = 0; i < compact.size(); ++i) {
        const char16_t c = compact[i].unicode();
        if (c == u'd' || c == u'D') {
            const bool sides =
                i + 1 < compact.size() && compact[i + 1] >= u'0' && compact[i + 1] <= u'9';
            formula += sides ? u"d" : u"d6";
            continue;
        }
        if (!QStringView(u"0123456789+-*/()").contains(QChar(c)))
            return {};
        digits = digits || (c >= u'0' && c <= u'9');
        formula += QChar(c);
    }
    return digits ? formula : QString();
}

// A number that a record holds as text: "5+2" is 2 after the '+', "5  " is 5.
std::optional<int> WholeNumber(QStringView text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

// A Foundry document id: 16 letters and digits, from the rabble's key and the document's place
// in it, so that the same rabble gives the same ids and no two of its documents share one.
QString FoundryId(quint64 key, quint64 place)
{
    static constexpr char16_t Letters[] =
        u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    quint64 bits = SplitMix64(key ^ SplitMix64(place));
    QString id(16, Qt::Uninitialized);
    for (QChar &c : id) {
        bits = SplitMix64(bits);
        c = QChar(Letters[bits % 62]);
    }
    return id;
}

// The ids of one actor's documents: the actor's, then one for each embedded item in turn.
class ActorIds
{
public:
    ActorIds(quint64 seed, GameSystem system, int number)
        : m_seed(seed), m_place((quint64(system) << 48) | (quint64(number) << 16))
    {}
    QString actor() const { return FoundryId(m_seed, m_place); }
    QString next() { return FoundryId(m_seed, m_place + ++m_items); }

private:
    quint64 m_seed;
    quint64 m_place;
    quint64 m_items = 0;
};

QString Percent(int value)
{
    return QString::number(value) + u'%';
}

// What an actor of either system starts from: the member, the ids of its documents, its
// characteristics unpacked from its code, its weapon's name as an item may have it (never
// blank), and the first line of its notes.
struct Fighter
{
    Fighter(const RabbleOutput &output, int number)
        : m(output.settings.Members[number]), ids(output.seed, output.system, number),
          weaponName(PlainText(m.Weapon.view()))
    {
        int place = 0;
        for (std::optional<int> &characteristic : code)   // a Traveller code's last is its blank
            characteristic = CharacteristicAt(m, place++);
        if (weaponName.isEmpty())
            weaponName = u"Weapon"_s;
        notes = QStringLiteral("<p>Rabble member %1 of %2: ability level %3.</p>")
                    .arg(QString::number(number), HtmlText(output.heading), HtmlText(m.Level.view()));
    }

    const RabbleMember &m;
    ActorIds ids;
    std::array<std::optional<int>, 7> code;
    QString weaponName;
    QString notes;
};

// --- the parts every document has ----------------------------------------------------------

QString Stats(QStringView systemId, QStringView systemVersion)
{
    return QStringLiteral("{\"coreVersion\":\"%1\",\"systemId\":\"%2\",\"systemVersion\":\"%3\"}")
        .arg(QStringView(CoreVersion), systemId, systemVersion);
}

// Opens an embedded item; the caller writes its "system" and closes it with EndItem.
void BeginItem(Json &j, const QString &id, const QString &name, QStringView type, QStringView img)
{
    j.onNewLine().open().text(u"_id", id).text(u"name", name).text(u"type", type).text(u"img", img);
}

void EndItem(Json &j, QStringView flags, QStringView stats)
{
    j.raw(u"effects", u"[]")
        .raw(u"folder", u"null")
        .number(u"sort", 0)
        .raw(u"ownership", u"{\"default\":0}")
        .raw(u"flags", flags)
        .raw(u"_stats", stats)
        .close();
}

// Everything an actor has around its "system" and "items".
void BeginActor(Json &j, const QString &id, const QString &name, QStringView type, int number)
{
    j.onNewLine()
        .open()
        .text(u"_id", id)
        .text(u"name", name)
        .text(u"type", type)
        .text(u"img", u"icons/svg/mystery-man.svg");
    // Linked: one actor a fighter, whose characteristics a placed token keeps (rqg rolls an
    // unlinked token's characteristics afresh). Hostile, as a rabble meets the players.
    j.open(u"prototypeToken")
        .text(u"name", name)
        .flag(u"actorLink", true)
        .number(u"disposition", -1)
        .close();
    j.raw(u"effects", u"[]")
        .raw(u"folder", u"null")
        .number(u"sort", number)
        .raw(u"ownership", u"{\"default\":0}")
        .raw(u"flags", u"{}");
}

// --- RuneQuest: the rqg system -------------------------------------------------------------

// rqg's figures from the characteristics (its rqg-calculations): a fighter's sheet shows them
// whatever is stored, so the stored values are the ones it would work out.
int LinearModifier(int value)
{
    return value ? (int(std::ceil(value / 4.0)) - 3) * 5 : 0;
}

int FlattenedModifier(int value)
{
    if (!value)
        return 0;
    return value <= 4 ? -5 : value <= 16 ? 0 : (int(std::ceil(value / 4.0)) - 4) * 5;
}

int RqgHitPoints(int con, int siz, int pow)
{
    const int hitPoints = con + LinearModifier(siz) / 5 + FlattenedModifier(pow) / 5;
    return hitPoints == 0 ? 0 : std::max(3, hitPoints);
}

struct HitLocation
{
    const char16_t *name;
    const char16_t *slug;
    int dieFrom, dieTo, hpDelta;
    const char16_t *type;
    const char16_t *connectedTo;
};

// A human body as rqg knows it: these seven locations and no other, or it is not "humanoid".
constexpr HitLocation Body[] = {
    {u"Right Leg", u"right-leg", 1, 4, 0, u"limb", u"i.hit-location.abdomen"},
    {u"Left Leg", u"left-leg", 5, 8, 0, u"limb", u"i.hit-location.abdomen"},
    {u"Abdomen", u"abdomen", 9, 11, 0, u"abdomen", u""},
    {u"Chest", u"chest", 12, 12, 1, u"chest", u""},
    {u"Right Arm", u"right-arm", 13, 15, -1, u"limb", u"i.hit-location.chest"},
    {u"Left Arm", u"left-arm", 16, 18, -1, u"limb", u"i.hit-location.chest"},
    {u"Head", u"head", 19, 20, 0, u"head", u""},
};

// The missile weapons of the letters "BJASK". A bow or a sling shoots its ammunition; the
// others are thrown, and are their own ammunition.
struct MissileWeapon
{
    char16_t letter;
    const char16_t *name;
    const char16_t *maneuver;
    const char16_t *damageType;
    const char16_t *ammunition;
};

constexpr MissileWeapon MissileWeapons[] = {
    {u'B', u"Bow", u"Shoot", u"impale", u"Arrows"},
    {u'J', u"Javelin", u"Throw", u"impale", nullptr},
    {u'A', u"Throwing Axe", u"Throw", u"slash", nullptr},
    {u'S', u"Sling", u"Shoot", u"crush", u"Sling Stones"},
    {u'K', u"Throwing Knife", u"Throw", u"impale", nullptr},
};
constexpr MissileWeapon UnknownMissile {u'?', u"Missile Weapon", u"Throw", u"impale", nullptr};
// rqg refuses a shot without ammunition; Throngkit gives no count, so each has this many.
constexpr int Ammunition = 10;

struct RqgSkill
{
    QString name;
    QString specialization;
    QString rqid;
    const char16_t *category;
    int chance;
};

// Skills with a name of their own, each with an rqid no other skill of the actor has: a name
// already taken (a weapon called "Dodge") gets the skill's role as its specialization.
class RqgSkills
{
public:
    const RqgSkill &add(
        const QString &name, const char16_t *role, const char16_t *category, int chance)
    {
        RqgSkill skill {name, QString(), QString(), category, chance};
        QString slug = RqidSlug(name);
        for (int n = 1; slug.isEmpty() || m_slugs.contains(slug); ++n) {
            skill.specialization = n == 1
                ? QString::fromUtf16(role)
                : QStringLiteral("%1 %2").arg(QStringView(role), QString::number(n));
            slug = RqidSlug(QString(name + u'-' + skill.specialization));
        }
        m_slugs << slug;
        skill.rqid = u"i.skill."_s + slug;
        m_skills.push_back(skill);
        return m_skills.back();
    }
    const std::deque<RqgSkill> &all() const { return m_skills; }

private:
    QStringList m_slugs;
    std::deque<RqgSkill> m_skills;   // where a skill stays as more are added
};

QString ItemName(const RqgSkill &skill)
{
    return skill.specialization.isEmpty()
        ? skill.name
        : QStringLiteral("%1 (%2)").arg(skill.name, skill.specialization);
}

QString RqidFlags(QStringView rqid)
{
    return QStringLiteral(
        "{\"rqg\":{\"documentRqidFlags\":{\"id\":\"%1\",\"lang\":\"en\",\"priority\":0}}}")
        .arg(rqid);
}

constexpr char16_t RqgSkillImage[] = u"systems/rqg/assets/images/items/skill.svg";
constexpr char16_t RqgWeaponImage[] = u"systems/rqg/assets/images/items/weapon.svg";

void WriteRqgSkill(Json &j, const QString &id, const RqgSkill &skill, QStringView stats)
{
    BeginItem(j, id, ItemName(skill), u"skill", RqgSkillImage);
    // The figure is the whole chance: with no skill-category modifiers (see the actor), rqg's
    // chance is base + gained, and neither may be below 0.
    j.open(u"system")
        .flag(u"canGetExperience", true)
        .flag(u"hasExperience", false)
        .text(u"category", skill.category)
        .text(u"skillName", skill.name)
        .text(u"specialization", skill.specialization)
        .number(u"baseChance", std::max(0, skill.chance))
        .number(u"gainedChance", 0)
        .raw(u"runeRqidLinks", u"[]")
        .close();
    EndItem(j, RqidFlags(skill.rqid), stats);
}

// How a weapon is used: the one usage it has (the others stay empty), linked to its skill.
struct RqgUsage
{
    QStringView slot;   // oneHand, twoHand or missile
    const RqgSkill *skill;
    QString maneuvers;   // the JSON list
    QString damage;
    std::optional<int> strikeRank;
};

struct RqgWeapon
{
    RqgWeapon(QString id, QString name, RqgUsage usage)
        : id(std::move(id)), name(std::move(name)), usage(std::move(usage))
    {}

    QString id;
    QString name;
    RqgUsage usage;
    bool consumable = false;
    int quantity = 1;
    bool thrown = false, shoots = false, isAmmunition = false;
    QString projectileId;
};

QString Maneuvers(std::initializer_list<std::pair<QStringView, QStringView>> maneuvers)
{
    QString list = QStringLiteral("[");
    for (const auto &[name, damageType] : maneuvers) {
        if (list.size() > 1)
            list += u',';
        list += QStringLiteral("{\"name\":\"%1\",\"damageType\":\"%2\",\"description\":\"\"}")
                    .arg(name, damageType);
    }
    return list + u']';
}

// The fields every physical item of rqg has, after its type and quantity: nothing weighs
// anything (Throngkit's tables give no encumbrance, and a load above the fighter's limit would
// lower every weapon skill), and all of it is worn or in hand.
constexpr char16_t PhysicalItem[] =
    uR"("description":"","gmNotes":"","location":"","isContainer":false,"attunedTo":"",)"
    uR"("encumbrance":0,)"
    uR"("equippedStatus":"equipped","price":{"real":0,"estimated":0},)"
    uR"("storedMagicPoints":{"value":0,"max":0,"identified":false},"boundSpiritActorUuids":[],)"
    uR"("matrixSpells":[])";

void WriteRqgWeapon(Json &j, const RqgWeapon &weapon, QStringView stats)
{
    BeginItem(j, weapon.id, weapon.name, u"weapon", RqgWeaponImage);
    j.open(u"system")
        .text(u"physicalItemType", weapon.consumable ? u"consumable" : u"unique")
        .number(u"quantity", weapon.quantity)
        .raw(nullptr, PhysicalItem)
        .raw(u"effect",
            uR"({"add":{"melee":{"attack":0,"parry":0},"missile":{"attack":0,"parry":0}}})");
    j.open(u"usage");
    for (const char16_t *slot : {u"oneHand", u"offHand", u"twoHand", u"missile"}) {
        const RqgUsage &usage = weapon.usage;
        const bool used = usage.skill && usage.slot == QStringView(slot);
        j.open(slot);
        if (used)
            j.open(u"skillRqidLink")
                .text(u"rqid", usage.skill->rqid)
                .text(u"name", ItemName(*usage.skill))
                .close();
        else
            j.raw(u"skillRqidLink", u"null");
        j.raw(u"combatManeuvers", used ? QStringView(usage.maneuvers) : u"[]")
            .text(u"damage", used ? QStringView(usage.damage) : u"")
            .number(u"minStrength", 0)
            .number(u"minDexterity", 0)
            .figure(u"strikeRank", used ? usage.strikeRank : std::nullopt);
        j.close();
    }
    j.close();
    if (weapon.usage.skill)   // ammunition has none, and leaves it out
        j.text(u"defaultUsage", weapon.usage.slot);
    // Throngkit knows no weapon's hit points: null, which rqg's data model allows for that.
    j.raw(u"hitPoints", u"{\"value\":null,\"max\":null}")
        .text(u"hitPointLocation", u"")
        .flag(u"isNatural", false)
        .number(u"rate", 0)
        .number(u"range", 0)
        .flag(u"isProjectile", weapon.isAmmunition)
        .flag(u"isProjectileWeapon", weapon.shoots)
        .flag(u"isThrownWeapon", weapon.thrown)
        .flag(u"isRangedWeapon", false)
        .text(u"projectileId", weapon.projectileId)
        .close();
    const QString slug = RqidSlug(weapon.name);
    EndItem(j, RqidFlags(u"i.weapon."_s + (slug.isEmpty() ? u"weapon"_s : slug)), stats);
}

void WriteRqgActor(Json &j, const RabbleOutput &output, int number, const QString &name)
{
    Fighter fighter(output, number);
    const RabbleMember &m = fighter.m;
    const auto &code = fighter.code;
    const QString &weaponName = fighter.weaponName;
    ActorIds &ids = fighter.ids;
    const QString stats = Stats(u"rqg", RqgVersion);
    const int con = code[1].value_or(0), siz = code[2].value_or(0), pow = code[4].value_or(0),
              dex = code[5].value_or(0);
    const int hitPoints = RqgHitPoints(con, siz, pow);

    BeginActor(j, ids.actor(), name, u"character", number);
    j.open(u"system").open(u"characteristics");
    static constexpr std::pair<const char16_t *, const char16_t *> Characteristics[] = {
        {u"strength", u"3d6"}, {u"constitution", u"3d6"}, {u"size", u"2d6+6"},
        {u"intelligence", u"2d6+6"}, {u"power", u"3d6"}, {u"dexterity", u"3d6"},
        {u"charisma", u"3d6"},   // rqg has no APP; charisma is its nearest
    };
    for (int place = 0; place < 7; ++place)
        j.open(Characteristics[place].first)
            .figure(u"value", code[place])
            .text(u"formula", Characteristics[place].second)
            .close();
    j.close();

    // What the referee should know that the sheet cannot hold.
    const bool shield = m.ParryWith.view() == u"Sh";
    const QChar missileLetter = m.MissileType.first();
    const bool missile = missileLetter != u' ';
    const MissileWeapon *missileWeapon = &UnknownMissile;
    for (const MissileWeapon &kind : MissileWeapons) {
        if (kind.letter == missileLetter)
            missileWeapon = &kind;
    }
    QString &notes = fighter.notes;
    notes += QStringLiteral(
        "<p>Hit points %1 (rqg works out its own from CON, SIZ and POW: %2). Armour %3 "
        "on every hit location. Strike ranks %4.</p>")
                 .arg(QString::number(m.HitPoints), QString::number(hitPoints),
                     QString::number(m.Armour), HtmlText(m.StrikeRank.view()));
    const QStringView bonus = MemberDamageBonus(m);
    notes += bonus.isEmpty()
        ? QStringLiteral("<p>%1: damage %2, no damage bonus.</p>")
              .arg(HtmlText(weaponName), HtmlText(m.Damage.view()))
        : QStringLiteral("<p>%1: damage %2, the weapon's %3 and the damage bonus %4, which rqg "
                         "adds itself.</p>")
              .arg(HtmlText(weaponName), HtmlText(m.Damage.view()),
                  HtmlText(MemberWeaponDamage(m)), bonus.toString());
    notes += shield
        ? QStringLiteral("<p>Parries with the shield at %1.</p>").arg(Percent(m.Parry))
        : QStringLiteral(
              "<p>Parries with the weapon at %1; rqg parries with the weapon's skill, at %2.</p>")
              .arg(Percent(m.Parry), Percent(m.Attack));
    if (missile)
        notes += QStringLiteral(
            "<p>Missile weapon %1 (%2) at %3; Throngkit gives no missile damage.</p>")
                     .arg(HtmlText(QStringView(&missileLetter, 1)),
                         QStringView(missileWeapon->name), Percent(m.Missile));

    j.open(u"background")
        .text(u"species", u"Human")
        .text(u"occupation", u"")
        .raw(u"cultureJournalRqidLinks", u"[]")
        .raw(u"tribeJournalRqidLinks", u"[]")
        .raw(u"clanJournalRqidLinks", u"[]")
        .text(u"biography", notes)
        .close();
    j.text(u"allies", u"").flag(u"editMode", false).text(u"extendedName", u"");
    // Throngkit's skill figures already hold the fighter's modifiers: as a "creature", rqg adds
    // no skill-category modifiers of its own, so every chance on the sheet is Throngkit's.
    j.open(u"attributes")
        .raw(u"magicPoints", QStringLiteral("{\"value\":%1,\"max\":%1}").arg(pow))
        .number(u"magicPointRecoveryRateFactor", 1)
        .raw(u"hitPoints", QStringLiteral("{\"value\":%1,\"max\":%1}").arg(hitPoints))
        .raw(u"move",
            uR"({"currentLocomotion":"walk","walk":{"value":8,"carryingFactor":1},)"
            uR"("swim":{"value":2,"carryingFactor":0.5},"fly":{"value":null,)"
            uR"("carryingFactor":null}})")
        .number(u"heroPoints", 0)
        .flag(u"isCreature", true)
        .text(u"health", u"healthy")
        .close();
    // Foundry does not keep these (rqg works them out on every preparation), but the data model
    // names them: here at their start values.
    j.raw(u"effect",
        uR"({"add":{"magicPoints":{"max":0},"hitPoints":{"max":0},"skillCategoryModifiers":{)"
        uR"("agility":0,"communication":0,"knowledge":0,"magic":0,"manipulation":0,"perception":0,)"
        uR"("stealth":0,"meleeWeapons":0,"missileWeapons":0,"shields":0,"naturalWeapons":0,)"
        uR"("otherSkills":0}}})");
    j.close();

    // rqg reaches a weapon's skill by its rqid, and needs Dodge and Jump on every character.
    RqgSkills skills;
    skills.add(u"Scan"_s, u"Perception", u"perception", m.Scan);
    skills.add(u"Listen"_s, u"Perception", u"perception", m.Listen);
    skills.add(u"Dodge"_s, u"Agility", u"agility", dex * 2);
    skills.add(u"Jump"_s, u"Agility", u"agility", dex * 3);
    const RqgSkill *weaponSkill = &skills.add(weaponName, u"Weapon", u"meleeWeapons", m.Attack);
    const RqgSkill *shieldSkill =
        shield ? &skills.add(u"Shield"_s, u"Shield", u"shields", m.Parry) : nullptr;
    const RqgSkill *missileSkill = missile ? &skills.add(QString::fromUtf16(missileWeapon->name),
                                                 u"Missile", u"missileWeapons", m.Missile)
                                           : nullptr;

    j.list(u"items");
    for (const RqgSkill &skill : skills.all())
        WriteRqgSkill(j, ids.next(), skill, stats);

    const QString formula = DiceFormula(MemberWeaponDamage(m));
    const qsizetype plus = m.StrikeRank.view().indexOf(u'+');
    std::optional<int> weaponRank =
        plus < 0 ? std::nullopt : WholeNumber(m.StrikeRank.view().sliced(plus + 1));
    if (weaponRank && *weaponRank < 0)
        weaponRank.reset();
    // The tables do not say whether a weapon cuts, thrusts or crushes: Hit, with the damage type
    // that rqg's data model gives a new maneuver (crush).
    RqgWeapon weapon {ids.next(), weaponName,
        {m.Weapon.view().startsWith(u"2H") ? u"twoHand" : u"oneHand", weaponSkill,
            Maneuvers({{u"Hit", u"crush"}, {u"Parry", u"parry"}}),
            formula.isEmpty() ? QString() : formula + u"+db"_s, weaponRank}};
    WriteRqgWeapon(j, weapon, stats);
    if (shieldSkill) {
        const RqgWeapon shieldItem {ids.next(), u"Shield"_s,
            {u"oneHand", shieldSkill, Maneuvers({{u"Parry", u"parry"}}), QString(), std::nullopt}};
        WriteRqgWeapon(j, shieldItem, stats);
    }
    if (missileSkill) {
        RqgWeapon thrown {ids.next(), QString::fromUtf16(missileWeapon->name),
            {u"missile", missileSkill,
                Maneuvers({{missileWeapon->maneuver, missileWeapon->damageType}}), QString(),
                std::nullopt}};
        if (missileWeapon->ammunition) {
            RqgWeapon ammunition {ids.next(), QString::fromUtf16(missileWeapon->ammunition),
                {u"", nullptr, {}, {}, {}}};
            ammunition.consumable = ammunition.isAmmunition = true;
            ammunition.quantity = Ammunition;
            thrown.shoots = true;
            thrown.projectileId = ammunition.id;
            WriteRqgWeapon(j, thrown, stats);
            WriteRqgWeapon(j, ammunition, stats);
        } else {
            thrown.consumable = thrown.thrown = true;
            thrown.projectileId = thrown.id;
            WriteRqgWeapon(j, thrown, stats);
        }
    }

    // One armour for the whole body: Throngkit's armour points on every location.
    BeginItem(j, ids.next(), u"Armour"_s, u"armor", u"systems/rqg/assets/images/items/armor.svg");
    j.open(u"system")
        .text(u"physicalItemType", u"unique")
        .number(u"quantity", 1)
        .raw(nullptr, PhysicalItem)
        .number(u"size", 0)
        .list(u"hitLocationRqidLinks");
    for (const HitLocation &location : Body)
        j.open()
            .text(u"rqid", u"i.hit-location."_s + QString::fromUtf16(location.slug))
            .text(u"name", location.name)
            .close();
    j.endList()
        .text(u"namePrefix", u"")
        .text(u"armorType", u"Armour")
        .text(u"material", u"")
        .number(u"absorbs", std::max<int>(0, m.Armour))
        .number(u"moveQuietlyPenalty", 0)
        .close();
    EndItem(j, RqidFlags(u"i.armor.armour"), stats);

    for (const HitLocation &location : Body) {
        BeginItem(j, ids.next(), QString::fromUtf16(location.name), u"hitLocation",
            u"systems/rqg/assets/images/items/hit-location.svg");
        const int locationHitPoints =
            std::max(2, int(std::ceil(hitPoints / 3.0))) + location.hpDelta;
        j.open(u"system")
            .number(u"dieFrom", location.dieFrom)
            .number(u"dieTo", location.dieTo)
            .raw(u"hitPoints", QStringLiteral("{\"value\":%1,\"max\":%1}").arg(locationHitPoints))
            .number(u"baseHpDelta", location.hpDelta)
            .number(u"naturalAp", 0)
            .raw(u"wounds", u"[]")
            .text(u"hitLocationHealthState", u"healthy")
            .text(u"actorHealthImpact", u"healthy")
            .text(u"hitLocationType", location.type)
            .text(u"connectedTo", location.connectedTo)
            .close();
        EndItem(j, RqidFlags(u"i.hit-location."_s + QString::fromUtf16(location.slug)), stats);
    }
    j.endList().raw(u"_stats", stats).close();
}

// --- Traveller: the twodsix system ---------------------------------------------------------

// The fields every twodsix item has, before its own.
QString TwodsixItemBase(QStringView type)
{
    return QStringLiteral(
        "\"name\":\"\",\"description\":\"\",\"type\":\"%1\",\"docReference\":[\"\"],"
        "\"pdfReference\":{\"type\":\"\",\"href\":\"\",\"label\":\"\"},\"priorType\":\"unknown\"")
        .arg(type);
}

constexpr char16_t TwodsixItemImage[] = u"icons/svg/item-bag.svg";   // twodsix puts its own in

void WriteTwodsixSkill(Json &j, const QString &id, const QString &name, int level,
    QStringView flags, QStringView stats)
{
    BeginItem(j, id, name, u"skills", TwodsixItemImage);
    j.open(u"system")
        .raw(nullptr, TwodsixItemBase(u"skills"))
        .number(u"value", level)
        .raw(nullptr,
            uR"("shortdescr":"","subtype":"","prereq":"","key":"key","characteristic":"NONE",)"
            uR"("difficulty":"Average","rolltype":"Normal","trainingNotes":"","groupLabel":"")")
        .close();
    EndItem(j, flags, stats);
}

// The fields of twodsix's gear after the item's own base, for an item rolled with skill.
void WriteGear(Json &j, const QString &skillId, const QString &skillName)
{
    j.raw(nullptr,
         uR"("techLevel":0,"shortdescr":"","quantity":1,"weight":0,"price":0,"traits":[],)"
         uR"("consumables":[],"useConsumableForAttack":"","skillModifier":0)")
        .text(u"skill", skillId)
        .text(u"associatedSkillName", skillName)
        .text(u"equipped", u"equipped");
}

void WriteTwodsixActor(Json &j, const RabbleOutput &output, int number, const QString &name)
{
    Fighter fighter(output, number);
    const RabbleMember &m = fighter.m;
    const auto &code = fighter.code;
    const QString &weaponName = fighter.weaponName;
    ActorIds &ids = fighter.ids;
    const QString stats = Stats(u"twodsix", TwodsixVersion);
    // twodsix counts hits as STR + DEX + END and works them out itself.
    const int hits = code[0].value_or(0) + code[1].value_or(0) + code[2].value_or(0);

    QString &notes = fighter.notes;
    notes +=
        QStringLiteral(
            "<p>Hit points %1 (twodsix counts hits as STR + DEX + END: %2). Armour %3.</p>")
            .arg(QString::number(m.HitPoints), QString::number(hits), QString::number(m.Armour));
    notes += QStringLiteral("<p>%1: damage %2, PEN %3. Gun %4, second skill %5, Recon %6.</p>")
                 .arg(HtmlText(weaponName), HtmlText(m.Damage.view()),
                     HtmlText(m.StrikeRank.view()), QString::number(m.Attack),
                     QString::number(m.Parry), QString::number(m.Scan));

    // Skills with unique names: a weapon called "Recon" gets its role in its name.
    const QString untrainedId = ids.next();
    QStringList taken {u"untrained"_s, u"secondskill"_s, u"recon"_s};
    QString weaponSkill = weaponName;
    for (int n = 1;
         taken.contains(RqidSlug(weaponSkill).remove(u'-')) || RqidSlug(weaponSkill).isEmpty(); ++n)
        weaponSkill = n == 1 ? weaponName + u" (Weapon)"_s
                             : QStringLiteral("%1 (Weapon %2)").arg(weaponName, QString::number(n));

    BeginActor(j, ids.actor(), name, u"traveller", number);
    j.open(u"system").text(u"name", u"").open(u"characteristics");
    static constexpr std::array<std::pair<const char16_t *, const char16_t *>, 12> Characteristics {
        {
            {u"strength", u"STR"},
            {u"dexterity", u"DEX"},
            {u"endurance", u"END"},
            {u"intelligence", u"INT"},
            {u"education", u"EDU"},
            {u"socialStanding", u"SOC"},
            {u"psionicStrength", u"PSI"},
            {u"stamina", u"STA"},
            {u"lifeblood", u"LFB"},
            {u"alternative1", u"ALT1"},
            {u"alternative2", u"ALT2"},
            {u"alternative3", u"ALT3"},
        }};
    for (std::size_t place = 0; place < Characteristics.size(); ++place) {
        const auto &[key, shortLabel] = Characteristics[place];
        // The six a Traveller fighter has; the others at the data model's own start value.
        const std::optional<int> value = place < 6 ? code[place] : std::optional<int>(7);
        QString label = QString::fromUtf16(key);
        label[0] = label[0].toUpper();
        j.open(key)
            .text(u"key", key)
            .figure(u"value", value)
            .figure(u"current", value)
            .number(u"damage", 0)
            .number(u"mod", 0)
            .text(u"label", label)
            .text(u"shortLabel", shortLabel)
            .text(u"displayShortLabel", u"")
            .close();
    }
    j.close();
    j.raw(nullptr,
        uR"("characteristicEdit":false,"primaryArmor":{"value":0,"base":0},)"
        uR"("radiationProtection":{"value":0},)"
        uR"("armorType":"nothing","armorDM":0,"conditions":{"woundedEffect":0,)"
        uR"("encumberedEffect":0},)"
        uR"("movement":{"burrow":null,"climb":null,"fly":null,"swim":null,"walk":null,)"
        uR"("units":"m","hover":false},)"
        uR"("docReference":[""],"pdfReference":{"type":"","href":"","label":""},)"
        uR"("radiationDose":{"value":0,"max":0,"min":0,"label":""},)"
        uR"("encumbrance":{"value":0,"max":0,"min":0,"offset":0})");
    j.raw(u"hits", QStringLiteral("{\"value\":%1,\"max\":%1,\"min\":0,\"lastDelta\":0}").arg(hits))
        .text(u"untrainedSkill", untrainedId)
        .text(u"description", u"")
        .text(u"notes", notes)
        .text(u"bio", u"");
    j.raw(nullptr,
        uR"("homeWorld":"","nationality":"","primaryLanguage":"","species":"","age":{"value":18,)"
        uR"("min":0},)"
        uR"("gender":"","heroPoints":0,"contacts":"","secondaryArmor":{"value":0},)"
        uR"("finances":{"cash":"0","pension":"0","payments":"0","debt":"0","livingCosts":"0",)"
        uR"("financial-notes":""},)"
        uR"("financeValues":{"cash":0,"pension":0,"payment":0,"debt":0,"livingCosts":0},)"
        uR"("hideStoredItems":{"weapon":false,"armor":false,"augment":false,"equipment":false,)"
        uR"("consumable":false,"attachment":false,"junk":false},"experience":{"value":0,)"
        uR"("totalEarned":0},)"
        uR"("xpNotes":"","displaySkillGroup":{},"layersWorn":0,"wearingNonstackable":false,)"
        uR"("reflectOn":false,)"
        uR"("protectionTypes":"","totalArmor":0)");
    j.close();

    j.list(u"items");
    // twodsix adds an Untrained skill of its own, under a random id, unless it finds this one.
    WriteTwodsixSkill(
        j, untrainedId, u"Untrained"_s, -3, uR"({"twodsix":{"untrainedSkill":true}})", stats);
    const QString weaponSkillId = ids.next();
    WriteTwodsixSkill(j, weaponSkillId, weaponSkill, m.Attack, u"{}", stats);
    WriteTwodsixSkill(j, ids.next(), u"Second Skill"_s, m.Parry, u"{}", stats);
    WriteTwodsixSkill(j, ids.next(), u"Recon"_s, m.Scan, u"{}", stats);

    // The weapon rolls with its skill, which twodsix finds by its id.
    const QString pen = WholeNumber(m.StrikeRank.view()) ? m.StrikeRank.trimmed().toString() : u"0"_s;
    BeginItem(j, ids.next(), weaponName, u"weapon", TwodsixItemImage);
    j.open(u"system").raw(nullptr, TwodsixItemBase(u"weapon"));
    WriteGear(j, weaponSkillId, weaponSkill);
    j.raw(u"target", uR"({"value":null,"width":null,"units":"m","type":"none"})")
        .text(u"range", u"")
        .text(u"damage", DiceFormula(m.Damage.view()))
        .raw(nullptr,
            uR"("damageBonus":0,"magazineSize":0,"ammo":0,"magazineCost":0,"lawLevel":"",)"
            uR"("rangeBand":"none","weaponType":"","damageType":"NONE","rateOfFire":"",)"
            uR"("doubleTap":false,)"
            uR"("isSingleAction":false,"recoil":false,"features":"")")
        .text(u"armorPiercing", pen)
        .raw(nullptr,
            uR"("parryAV":0,"isShield":false,"handlingModifiers":"","meleeRangeModifier":"0",)"
            uR"("customCT":{"armor":{"nothing":"0","jack":"0","mesh":"0","cloth":"0","reflec":"0",)"
            uR"("ablat":"0","combat":"0"},"range":{"close":"0","short":"0","medium":"0",)"
            uR"("long":"0",)"
            uR"("veryLong":"0"}})")
        .close();
    EndItem(j, u"{}", stats);

    BeginItem(j, ids.next(), u"Armour"_s, u"armor", TwodsixItemImage);
    j.open(u"system").raw(nullptr, TwodsixItemBase(u"armor"));
    WriteGear(j, QString(), QString());
    j.number(u"armor", m.Armour)
        .raw(nullptr,
            uR"("armorDM":0,"secondaryArmor":{"value":0,"protectionTypes":[]},)"
            uR"("radiationProtection":{"value":0},"isPowered":false,"nonstackable":false,)"
            uR"("armorType":"nothing")")
        .close();
    EndItem(j, u"{}", stats);
    j.endList().raw(u"_stats", stats).close();
}

// FNV-1a: a table's key for its ids, from its label and caption.
quint64 TextKey(QStringView text)
{
    quint64 hash = 0xCBF29CE484222325ULL;
    for (const QChar c : text) {
        hash ^= c.unicode();
        hash *= 0x100000001B3ULL;
    }
    return hash;
}

QString WholeRoll(double roll)
{
    return QString::number(roll, 'f', 0);
}

} // namespace

QByteArray ComposeFoundryActors(const RabbleOutput &output)
{
    const int count = ListedMemberCount(output.settings.HowMany);
    const bool traveller = output.system == GameSystem::Traveller;
    QString heading = PlainText(output.heading);
    if (heading.isEmpty())
        heading = QString::fromUtf16(DefaultHeading);
    // "Guards 0007": the numbers padded so that the actors sort in order.
    const int width = int(QString::number(count).size());

    QString out;
    out.reserve(1000 + count * (traveller ? 8000 : 14000));   // about what a fighter takes
    Json j(out);
    j.open()
        .text(u"program", u"Throngkit")
        .text(u"version", QString::fromLatin1(version::Text))
        .text(u"system", traveller ? u"twodsix" : u"rqg")
        .raw(u"seed", QString::number(output.seed))
        .text(u"seedString", QString::number(output.seed))
        .text(u"folder", heading)
        .list(u"actors");
    for (int number = 1; number <= count; ++number) {
        const QString name = QStringLiteral("%1 %2").arg(
            heading, QStringLiteral("%1").arg(number, width, 10, QChar(u'0')));
        if (traveller)
            WriteTwodsixActor(j, output, number, name);
        else
            WriteRqgActor(j, output, number, name);
    }
    out += u'\n';
    j.endList().close();
    out += u'\n';
    return out.toUtf8();
}

QByteArray ComposeFoundryRollTables(std::span<const TableCheck> tables)
{
    QString out;
    Json j(out);
    j.list();
    quint64 index = 0;
    for (const TableCheck &check : tables) {
        ++index;
        if (!check.table)
            continue;
        const TableText &table = check.table.value();
        const quint64 key = TextKey(check.label + u'\n' + table.caption);
        QString name = PlainText(table.caption);
        if (name.isEmpty())
            name = PlainText(check.label);
        const QString stats =
            QStringLiteral("{\"coreVersion\":\"%1\",\"systemId\":null,\"systemVersion\":null}")
                .arg(QStringView(CoreVersion));
        // The die the draw throws: 1d100 for a table whose last row ends at 100.
        const RollSpan &rolls = check.odds.rolls;
        QString formula = u"1d"_s + WholeRoll(rolls.last - rolls.first + 1);
        if (rolls.first != 1)
            formula += WholeRoll(rolls.first - 1);   // a die of 0 sides or fewer shows 1, or less

        j.onNewLine()
            .open()
            .text(u"_id", FoundryId(key, index << 32))
            .text(u"name", name)
            .text(u"img", u"icons/svg/d20-grey.svg")
            .text(u"description",
                QStringLiteral("<p>Weapon table %1, from Throngkit.</p>")
                    .arg(HtmlText(check.label)))
            .text(u"formula", formula)
            .flag(u"replacement", true)
            .flag(u"displayRoll", true)
            .raw(u"folder", u"null")
            .number(u"sort", 0)
            .raw(u"ownership", u"{\"default\":0}")
            .raw(u"flags", u"{}")
            .raw(u"_stats", stats)
            .list(u"results");
        // One result for each run of rolls that draws a row: where bands overlap the earlier
        // row wins, as in the draw, and rolls that draw nothing have no result.
        quint64 result = 0;
        for (std::size_t row = 0; row < table.rows.size() && row < check.odds.taken.size(); ++row) {
            // The row as the loader keeps it: its name cut to 10 characters, its damage to 6.
            const WeaponRow kept {
                table.rows[row].Name, 0, 0, table.rows[row].Damage, table.rows[row].Rank};
            for (const RollSpan &span : check.odds.taken[row]) {
                j.open()
                    .text(u"_id", FoundryId(key, (index << 32) + ++result))
                    .text(u"type", u"text")
                    .text(u"name", PlainText(kept.Name.view()))
                    .text(u"description",
                        QStringLiteral("<p>Damage %1, SR/PEN %2</p>")
                            .arg(HtmlText(kept.Damage.view()), QString::number(kept.Rank)))
                    .text(u"img", u"icons/svg/d20-black.svg")
                    .raw(u"weight", WholeRoll(span.last - span.first + 1))
                    .raw(u"range",
                        QStringLiteral("[%1,%2]").arg(WholeRoll(span.first), WholeRoll(span.last)))
                    .flag(u"drawn", false)
                    .raw(u"flags", u"{}")
                    .raw(u"_stats", stats)
                    .close();
            }
        }
        j.endList().close();
    }
    out += u'\n';
    j.endList();
    out += u'\n';
    return out.toUtf8();
}

} // namespace throngkit
