#include "core/dice.h"
#include "core/request.h"
#include "generate/generators.h"
#include "listing/foundryexport.h"
#include "listing/outputformats.h"
#include "session/startup.h"
#include "tests/support/scripteddice.h"
#include "tests/support/testsupport.h"
#include "weapons/weapondraw.h"
#include "weapons/weapontable.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace throngkit;
using throngkit::test::NewSettings;

namespace {

constexpr auto RQ = GameSystem::RuneQuest;
constexpr auto Traveller = GameSystem::Traveller;

// One type a field may have: a kind of the README of tests/data/engine/foundry, or a word.
struct Type
{
    int kind;   // the place of its name in Kinds
    QString word;
};

constexpr const char16_t *Kinds[] = {u"=", u"object", u"list", u"bool", u"null", u"string", u"text",
                                     u"int", u"int+", u"number", u"number+", u"id", u"rqid"};

// A shape of tests/data/engine/foundry: for each field, the types it may have and the keys that
// it must hold when it is an object ("" for the document itself).
struct Field
{
    std::vector<Type> types;
    QStringList required;
};
using Shape = QHash<QString, Field>;

const Shape &ShapeOf(const QString &kind)
{
    static QHash<QString, Shape> shapes;
    if (shapes.contains(kind))
        return shapes[kind];
    Shape &shape = shapes[kind];
    QHash<QString, bool> optional;
    const std::function<void(const QString &)> read = [&](const QString &name) {
        const QByteArray text = test::ReadTestData(u"engine/foundry/"_qs + name + u".shape"_qs);
        EXPECT_FALSE(text.isEmpty()) << name.toStdString();
        for (const QString &line : QString::fromUtf8(text).split(u'\n', Qt::SkipEmptyParts)) {
            const QString path = line.section(u' ', 0, 0);
            if (path == u"include") {
                read(line.section(u' ', 1));
                continue;
            }
            const QString key = path.endsWith(u'?') ? path.chopped(1) : path;
            optional[key] = path.endsWith(u'?');
            shape[key].types.clear();
            for (const QString &type : line.section(u' ', 1).split(u'|')) {
                const auto *known = std::find(std::begin(Kinds), std::end(Kinds), type.startsWith(u'=') ? u"="_qs : type);
                EXPECT_NE(known, std::end(Kinds)) << "no such type: " << type.toStdString();
                shape[key].types.push_back({int(known - std::begin(Kinds)), type.mid(1)});
            }
        }
    };
    read(kind);
    for (auto it = optional.cbegin(); it != optional.cend(); ++it)
        if (!it.value() && !it.key().endsWith(u"[]"))
            shape[it.key().section(u'.', 0, -2)].required << it.key().section(u'.', -1);
    return shape;
}

bool Fits(const QJsonValue &v, const Type &type)
{
    static const QRegularExpression id(u"^[A-Za-z0-9]{16}$"_qs);
    static const QRegularExpression rqid(u"^i\\.(skill|armor|rune|passion|rune-magic|weapon|gear|"
                                         u"hit-location|cult|homeland|occupation|spirit-magic)\\.[^.]+$"_qs);
    const double n = v.toDouble();
    switch (type.kind) {
    case 0: return (v.isString() || v.isBool()) && v.toVariant().toString() == type.word;
    case 1: return v.isObject();
    case 2: return v.isArray();
    case 3: return v.isBool();
    case 4: return v.isNull();
    case 5: return v.isString();
    case 6: return v.isString() && !v.toString().trimmed().isEmpty();
    case 7: case 8: return v.isDouble() && n == std::floor(n) && (type.kind == 7 || n >= 0);
    case 9: case 10: return v.isDouble() && (type.kind == 9 || n >= 0);
    default: return v.isString() && (type.kind == 11 ? id : rqid).match(v.toString()).hasMatch();
    }
}

// Every field of value (at path) is one its shape names, of a type it allows, and none it
// requires is missing.
void Check(const QJsonValue &value, const Shape &shape, QStringList &faults, const QString &path = {})
{
    const auto field = shape.constFind(path);
    if (field == shape.cend())
        return void(faults << path + u" is no field"_qs);
    const auto fits = [&](const Type &type) { return Fits(value, type); };
    if (!path.isEmpty() && std::none_of(field->types.cbegin(), field->types.cend(), fits))
        faults << path + u" is of a type it may not have"_qs;
    for (const QJsonValue &element : value.toArray())
        Check(element, shape, faults, path + u"[]"_qs);
    const QJsonObject object = value.toObject();
    for (auto it = object.begin(); it != object.end(); ++it)
        Check(it.value(), shape, faults, path.isEmpty() ? it.key() : path + u'.' + it.key());
    for (const QString &key : field->required)
        if (value.isObject() && !object.contains(key))
            faults << (path.isEmpty() ? key : path + u'.' + key) + u" is missing"_qs;
}

// A document checked whole, its embedded documents by their own shapes; each fault names it.
void CheckDocument(const QJsonObject &document, const QString &kind, const QString &system, QStringList &faults)
{
    QJsonObject outer = document;
    outer[u"items"] = QJsonArray();
    QStringList found;
    Check(outer, ShapeOf(kind), found);
    for (const QJsonValue &item : document[u"items"].toArray())
        Check(item, ShapeOf(system + u'-' + item[u"type"].toString()), found);
    for (const QString &fault : found)
        faults << document[u"name"].toString() + u": "_qs + fault;
}

QJsonObject Parse(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    return document.object();
}

QJsonArray ItemsOf(const QJsonObject &actor, const QString &type)
{
    QJsonArray items;
    for (const QJsonValue &item : actor[u"items"].toArray())
        if (item[u"type"] == type)
            items << item;
    return items;
}

QString Notes(const QJsonObject &actor)
{
    const QJsonObject system = actor[u"system"].toObject();
    return system.contains(u"notes") ? system[u"notes"].toString() : system[u"background"][u"biography"].toString();
}

// An rqg fighter holds the member's figures: every skill at the member's figure (none below 0),
// reached by the rqid its weapon links, the weapon's own damage with rqg's damage bonus, the
// parry with a shield or in the notes, the missile weapon when one is carried, the armour.
void CheckRqgFighter(const QJsonObject &actor, const QJsonObject &m)
{
    QHash<QString, int> chance;
    for (const QJsonValue &skill : ItemsOf(actor, u"skill"_qs))
        chance[skill[u"flags"][u"rqg"][u"documentRqidFlags"][u"id"].toString()] =
            skill[u"system"][u"baseChance"].toInt() + skill[u"system"][u"gainedChance"].toInt();
    QHash<QString, int> usedAt;   // "weapon/usage": the chance of the skill it links
    QStringList ids;
    for (const QJsonValue &item : actor[u"items"].toArray())
        ids << item[u"_id"].toString();
    for (const QJsonValue &weapon : ItemsOf(actor, u"weapon"_qs)) {
        const QJsonObject usages = weapon[u"system"][u"usage"].toObject();
        for (auto usage = usages.begin(); usage != usages.end(); ++usage) {
            const QString rqid = usage.value()[u"skillRqidLink"][u"rqid"].toString();
            if (rqid.isEmpty())
                continue;
            EXPECT_TRUE(chance.contains(rqid)) << rqid.toStdString();
            usedAt[weapon[u"name"].toString() + u'/' + usage.key()] = chance.value(rqid, -1);
        }
        const QString projectile = weapon[u"system"][u"projectileId"].toString();
        EXPECT_TRUE(projectile.isEmpty() || ids.contains(projectile));
    }
    const QString weapon = m[u"weapon"].toString().trimmed();
    const QString hand = weapon.startsWith(u"2H") ? u"/twoHand"_qs : u"/oneHand"_qs;
    EXPECT_EQ(usedAt.value(weapon + hand, -1), std::max(0, m[u"attack"].toInt()));
    const QJsonArray weapons = ItemsOf(actor, u"weapon"_qs);
    EXPECT_EQ(weapons[0][u"system"][u"usage"][hand.mid(1)][u"damage"],
              m[u"weaponDamage"].toString().toLower() + u"+db"_qs);
    if (m[u"parryWith"].toString() == u"Sh")
        EXPECT_EQ(usedAt.value(u"Shield/oneHand"_qs, -1), std::max(0, m[u"parry"].toInt()));
    else
        EXPECT_TRUE(Notes(actor).contains(u"Parries with the weapon at %1%"_qs.arg(m[u"parry"].toInt()))
                    && !usedAt.contains(u"Shield/oneHand"_qs));
    int missiles = 0;
    for (auto it = usedAt.cbegin(); it != usedAt.cend(); ++it) {
        if (!it.key().endsWith(u"/missile"))
            continue;
        EXPECT_EQ(it.value(), m[u"missile"].toInt());
        ++missiles;
    }
    EXPECT_EQ(missiles, m[u"missileType"].toString() == u" " ? 0 : 1);
    EXPECT_EQ(chance.value(u"i.skill.scan"_qs, -1), std::max(0, m[u"scan"].toInt()));
    EXPECT_EQ(chance.value(u"i.skill.listen"_qs, -1), std::max(0, m[u"listen"].toInt()));
    EXPECT_TRUE(chance.contains(u"i.skill.dodge"_qs) && chance.contains(u"i.skill.jump"_qs));
    EXPECT_EQ(ItemsOf(actor, u"armor"_qs)[0][u"system"][u"absorbs"], std::max(0, m[u"armour"].toInt()));
    EXPECT_EQ(ItemsOf(actor, u"hitLocation"_qs).size(), 7);
}

// A twodsix fighter: the weapon rolls with the skill of the attack, the second skill and Recon at
// the member's levels, the weapon's damage and PEN, the armour, and the Untrained skill found.
void CheckTwodsixFighter(const QJsonObject &actor, const QJsonObject &m)
{
    QHash<QString, QJsonObject> byId;
    QHash<QString, int> level;
    for (const QJsonValue &item : actor[u"items"].toArray())
        byId[item[u"_id"].toString()] = item.toObject();
    for (const QJsonValue &skill : ItemsOf(actor, u"skills"_qs))
        level[skill[u"name"].toString()] = skill[u"system"][u"value"].toInt();
    EXPECT_EQ(level.size(), ItemsOf(actor, u"skills"_qs).size());   // twodsix wants names unique
    const QJsonObject weapon = ItemsOf(actor, u"weapon"_qs)[0].toObject();
    EXPECT_EQ(byId[weapon[u"system"][u"skill"].toString()][u"system"][u"value"], m[u"attack"]);
    EXPECT_EQ(level.value(u"Second Skill"_qs, -9), m[u"parry"].toInt());
    EXPECT_EQ(level.value(u"Recon"_qs, -9), m[u"scan"].toInt());
    EXPECT_EQ(weapon[u"system"][u"damage"],
              m[u"damage"].toString().trimmed().toLower().replace(QRegularExpression(u"d(?![0-9])"_qs), u"d6"_qs));
    EXPECT_EQ(weapon[u"system"][u"armorPiercing"], m[u"strikeRank"].toString().trimmed());
    EXPECT_EQ(byId[actor[u"system"][u"untrainedSkill"].toString()][u"flags"][u"twodsix"][u"untrainedSkill"], true);
    EXPECT_EQ(ItemsOf(actor, u"armor"_qs)[0][u"system"][u"armor"], m[u"armour"]);
}

// For seeds 1 to 50, rabbles of 1 and 10 (and once one of 1000) of each row: every
// document is whole and of the right types for its system, and every actor holds the figures of
// the member of the same number in the JSON output.
TEST(FoundryExport, EveryActorIsWholeAndHoldsItsMembersFigures)
{
    // A rabble of 1000 is made for the last seed of the row with the most items only: it takes long.
    // A forced weapon's skill has the rqid rqg itself would give it.
    struct Row { const char *name; GameSystem system; char16_t shield; qint16 missile; WeaponOverride weapon; bool thousand;
                 const char16_t *rqid; };
    const Row rows[] = {
        {"RuneQuest, weapons drawn, shields by chance", RQ, u'*', 4, {}, false, nullptr},
        {"RuneQuest, a forced weapon, shields always, missiles always", RQ, u'Y', 1,
         {true, u"Scimitar"_qs, u"1D8+1"_qs, u"2"_qs}, true, u"i.skill.scimitar"},
        {"RuneQuest, a forced two-handed weapon, shields never, missiles always", RQ, u'N', 1,
         {true, u"2H BigAxe"_qs, u"3D6"_qs, u"1"_qs}, false, u"i.skill.2h-big-axe"},
        {"Traveller, weapons drawn", Traveller, u'*', 4, {}, false, nullptr},
        // A weapon named as a skill the actor has: its skill takes another name.
        {"RuneQuest, a forced weapon called Scan", RQ, u'*', 4, {true, u"Scan"_qs, u"1D6"_qs, u"2"_qs}, false, nullptr},
        {"Traveller, a forced weapon called Recon", Traveller, u'*', 4, {true, u"Recon"_qs, u"3D"_qs, u"5"_qs}, false, nullptr},
    };
    const QList<std::pair<const char16_t *, const char16_t *>> characteristics[2] = {
        {{u"strength", u"STR"}, {u"constitution", u"CON"}, {u"size", u"SIZ"}, {u"intelligence", u"INT"},
         {u"power", u"POW"}, {u"dexterity", u"DEX"}, {u"charisma", u"APP"}},
        {{u"strength", u"STR"}, {u"dexterity", u"DEX"}, {u"endurance", u"END"}, {u"intelligence", u"INT"},
         {u"education", u"EDU"}, {u"socialStanding", u"SOC"}}};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const bool rq = row.system == RQ;
        auto s = NewSettings();
        ASSERT_TRUE(LoadWeaponTable(*s, DefaultTablePath(test::SourceDataDirectory(), row.system)).ok());
        for (quint64 seed = 1; seed <= 50; ++seed) {
            for (const int count : {1, 10, 1000}) {
                if (count == 1000 && (seed != 50 || !row.thousand))
                    continue;
                SCOPED_TRACE("seed " + std::to_string(seed) + ", count " + std::to_string(count));
                RabbleRequest request;
                request.system = row.system, request.howMany = float(count), request.shieldChoice = row.shield;
                request.missileOdds = row.missile, request.weapon = row.weapon, request.heading = u"Guards"_qs;
                ASSERT_TRUE(ApplyRequest(request, *s).ok());
                Dice dice(seed);
                ASSERT_TRUE(GenerateRabble(row.system, *s, dice).ok());
                const RabbleOutput output{row.system, *s, request.heading, seed};
                const QJsonArray members = Parse(ComposeOutput(OutputFormat::Json, output))[u"members"].toArray();
                const QJsonObject rabble = Parse(ComposeOutput(OutputFormat::Foundry, output));
                const QJsonArray actors = rabble[u"actors"].toArray();
                QStringList faults;
                QJsonObject outer = rabble;
                outer[u"actors"] = QJsonArray();
                Check(outer, ShapeOf(u"rabble"_qs), faults);
                EXPECT_EQ(rabble[u"system"], rq ? u"rqg"_qs : u"twodsix"_qs);
                EXPECT_EQ(rabble[u"seedString"], QString::number(seed));
                EXPECT_EQ(rabble[u"folder"], u"Guards"_qs);
                ASSERT_EQ(actors.size(), count);
                QStringList ids;
                for (qsizetype i = 0; i < count; ++i) {
                    const QJsonObject actor = actors[i].toObject(), m = members[i].toObject();
                    CheckDocument(actor, rq ? u"rqg-character"_qs : u"twodsix-traveller"_qs,
                                  rq ? u"rqg"_qs : u"twodsix"_qs, faults);
                    EXPECT_EQ(actor[u"name"], u"Guards %1"_qs.arg(i + 1, count == 1000 ? 4 : count == 10 ? 2 : 1, 10, QChar(u'0')));
                    for (const auto &[key, column] : characteristics[rq ? 0 : 1])
                        EXPECT_EQ(actor[u"system"][u"characteristics"][key][u"value"], m[column]) << QString::fromUtf16(key).toStdString();
                    const QString notes = Notes(actor);
                    EXPECT_TRUE(notes.contains(u"ability level %1."_qs.arg(m[u"level"].toString()))) << notes.toStdString();
                    EXPECT_TRUE(notes.contains(u"Hit points %1 "_qs.arg(m[u"hitPoints"].toInt()))) << notes.toStdString();
                    QStringList rqids;
                    for (const QJsonValue &skill : ItemsOf(actor, u"skill"_qs))
                        rqids << skill[u"flags"][u"rqg"][u"documentRqidFlags"][u"id"].toString();
                    EXPECT_TRUE(!row.rqid || rqids.contains(QString::fromUtf16(row.rqid)));
                    EXPECT_EQ(rqids.removeDuplicates(), 0) << rqids.join(u' ').toStdString();
                    if (rq)
                        CheckRqgFighter(actor, m);
                    else
                        CheckTwodsixFighter(actor, m);
                    QStringList itemIds{actor[u"_id"].toString()};
                    for (const QJsonValue &item : actor[u"items"].toArray())
                        itemIds << item[u"_id"].toString();
                    EXPECT_EQ(QStringList(itemIds).removeDuplicates(), 0);
                    ids << itemIds.first();
                }
                EXPECT_EQ(ids.removeDuplicates(), 0);
                ASSERT_EQ(faults.mid(0, 5), QStringList());
                if (::testing::Test::HasFailure())
                    return;   // one rabble's faults say it all
            }
        }
    }
}

// Figures below 0 (low characteristics make them) are 0 in rqg, which holds no chance below 0;
// the parry, with the weapon, stays in the notes as it is.
TEST(FoundryExport, FiguresBelowZeroAreZeroInRqg)
{
    auto s = NewSettings();
    RabbleRequest request;
    request.howMany = 1, request.shieldChoice = u'N', request.missileOdds = 0;
    ASSERT_TRUE(ApplyRequest(request, *s).ok() && LoadWeaponTable(*s, test::SourceTable(u"tk-wp-rq1.dat"_qs)).ok());
    Dice dice(3);
    ASSERT_TRUE(GenerateRabble(RQ, *s, dice).ok());
    RabbleMember &m = s->Members[1];
    m.Attack = -2, m.Parry = -4, m.Scan = -1, m.Listen = -5, m.Armour = -1;
    const RabbleOutput output{RQ, *s, u"Low"_qs, 3};
    CheckRqgFighter(Parse(ComposeOutput(OutputFormat::Foundry, output))[u"actors"][0].toObject(),
                    Parse(ComposeOutput(OutputFormat::Json, output))[u"members"][0].toObject());
}

// rqg's hit points are its own: CON + (SIZ's modifier + POW's modifier) / 5, at least 3, and
// each location's a third of them rounded up, at least 2, the chest one more and the arms one
// less (right leg, left leg, abdomen, chest, right arm, left arm, head). The actor starts
// unhurt; the figures below are worked out by hand from that rule.
TEST(FoundryExport, RqgHitPointsAreRqgsOwn)
{
    const struct { const char16_t *code; int total; std::vector<int> locations; } cases[] = {
        {u"CBDEA9F", 12, {4, 4, 4, 5, 3, 3, 4}},   // CON 11, SIZ 13 (+5), POW 10
        {u"A38C39A", 3, {2, 2, 2, 3, 1, 1, 2}},    // CON 3, SIZ 8 (-5), POW 3 (-5): 1, at least 3
        {u"AJJAJAA", 21, {7, 7, 7, 8, 6, 6, 7}},   // CON 18, SIZ 18 (+10), POW 18 (+5)
        {u"AACA4AA", 9, {3, 3, 3, 4, 2, 2, 3}},    // CON 10, SIZ 12 (0), POW 4 (-5)
        {u"A?8A9AA", 3, {2, 2, 2, 3, 1, 1, 2}},    // CON unreadable (0), SIZ 8 (-5), POW 9 (0): -1
    };
    for (const auto &c : cases) {
        auto s = NewSettings();
        s->HowMany = 1;
        s->Members[1].Code = c.code;
        const QJsonObject actor = Parse(ComposeOutput(OutputFormat::Foundry, {RQ, *s, u"H"_qs}))[u"actors"][0].toObject();
        EXPECT_EQ(actor[u"system"][u"attributes"][u"hitPoints"], QJsonObject({{u"value"_qs, c.total}, {u"max"_qs, c.total}}));
        std::vector<int> locations;
        for (const QJsonValue &location : ItemsOf(actor, u"hitLocation"_qs))
            locations.push_back(location[u"system"][u"hitPoints"][u"value"].toInt());
        EXPECT_EQ(locations, c.locations) << QString::fromUtf16(c.code).toStdString();
    }
}

// A damage text is a Foundry dice formula, Traveller's "3D" six-sided, or nothing where it is no
// formula at all: no figure, or a word.
TEST(FoundryExport, DamageIsADiceFormulaOrNothing)
{
    auto s = NewSettings();
    s->HowMany = 1;
    for (const auto &[damage, formula] : {std::pair{u"3D", u"3d6"}, {u"1D10 + 3", u"1d10+3"}, {u"+", u""}, {u"(D)", u""}, {u"Bite", u""}}) {
        s->Members[1].Damage = QString::fromUtf16(damage);
        const QJsonObject actor = Parse(ComposeOutput(OutputFormat::Foundry, {Traveller, *s, u"H"_qs}))[u"actors"][0].toObject();
        EXPECT_EQ(ItemsOf(actor, u"weapon"_qs)[0][u"system"][u"damage"], QString::fromUtf16(formula)) << QString::fromUtf16(damage).toStdString();
    }
}

// Text from a table or a heading reaches Foundry as data: JSON that reads back, names on one
// line without control characters (a Windows-1252 dash is a dash), and fields rendered as HTML
// holding only text (no tag but the export's own paragraphs, no entity but the escapes, no
// enricher's opening: "@UUID[", "@SkillRoll", "[[/r").
void ExpectSafe(const QJsonValue &value, const QString &key, QStringList &faults)
{
    static const QRegularExpression markup(
        u"<(?!/?p>)|(?<!<p|</p)>|&(?!(amp|lt|gt|quot|#39);)|\\[\\[|@\\w|[\\x00-\\x1f]"_qs);
    for (const QJsonValue &element : value.toArray())
        ExpectSafe(element, key, faults);
    const QJsonObject object = value.toObject();
    for (auto it = object.begin(); it != object.end(); ++it)
        ExpectSafe(it.value(), it.key(), faults);
    const QString text = value.toString();
    if ((key == u"description" || key == u"notes" || key == u"biography") && markup.match(text).hasMatch())
        faults << key + u": "_qs + text;
    if (key == u"name" && (text.contains(QRegularExpression(u"[\\x00-\\x1f]"_qs)) || text != text.trimmed()))
        faults << key + u": "_qs + text;
}

TEST(FoundryExport, TableAndHeadingTextCannotBecomeMarkup)
{
    const QString heading = u"</p><script>alert(\"x\")</script>@UUID[Actor.x]{y} [[/r 1d6]] \\ &amp;\x96\x81\t\x01\x1b"_qs;
    QStringList faults;
    for (const GameSystem system : {RQ, Traveller}) {
        auto s = NewSettings();
        RabbleRequest request;
        request.system = system, request.heading = heading, request.missileOdds = 1;
        request.weapon = {true, u"<i>@[[x\"\\"_qs, u"<b>&"_qs, u"2"_qs};
        ASSERT_TRUE(ApplyRequest(request, *s).ok());
        Dice dice(7);
        ASSERT_TRUE(GenerateRabble(system, *s, dice).ok());
        const QJsonObject rabble = Parse(ComposeOutput(OutputFormat::Foundry, {system, *s, heading, 7}));
        ExpectSafe(rabble, {}, faults);
        EXPECT_EQ(rabble[u"actors"][0][u"name"], u"</p><script>alert(\"x\")</script>@UUID[Actor.x]{y} [[/r 1d6]] \\ &amp;– 01"_qs);
    }
    QTemporaryDir dir;
    const QString table = test::WriteTable(dir, u"tk-wp-x.dat"_qs, "Say \"hi\" \x96 <b>&</b> @UUID[x] [[1]]",
                                           "1,50,\"<i>[[x]]\",<b>,2\r\n51,100,\"@Table[y]\",1D6,2\r\n");
    const TableCheck check = CheckWeaponTable(table, u"<x>.dat"_qs);
    const QJsonArray tables = QJsonDocument::fromJson(ComposeFoundryRollTables({&check, 1})).array();
    ASSERT_EQ(tables.size(), 1);
    ExpectSafe(tables, {}, faults);
    EXPECT_EQ(tables[0][u"name"], u"Say \"hi\" – <b>&</b> @UUID[x] [[1]]"_qs);
    EXPECT_EQ(faults, QStringList());
}

// Each table as a roll table rolls as the draw does: for every roll of the draw's die, the
// result holding it names the weapon the draw gives, with that row's damage and SR/PEN, and no
// result holds a roll that draws nothing. The tables that ship, and tables with a gap,
// overlapping rows, a last row short of 100 and a name cut to 10 characters; one the loader
// refuses is left out.
TEST(FoundryExport, RollTablesRollAsTheDraw)
{
    QTemporaryDir dir;
    std::vector<TableCheck> checks;
    for (const char *name : {"tk-wp-rq1.dat", "tk-wp-rq2.dat", "tk-wp-rq3.dat", "tk-wp-tr1.dat", "tk-wp-tr2.dat",
                             "tk-wp-tr3.dat"})
        checks.push_back(CheckWeaponTable(test::SourceTable(QLatin1String(name)), QLatin1String(name)));
    const std::pair<const char *, QByteArray> made[] = {
        {"tk-wp-gaps.dat", "1,10,Club,1D6,3\r\n21,60,\"Bastard Sword\",1D10+1D4,2\r\n30,40,Spear,1D8,2\r\n41,95,Axe,1D8,1\r\n"},
        {"tk-wp-overlap.dat", "1,50,Dagger,1D4,3\r\n20,30,Pike,2D6,1\r\n40,100,Axe,1D8,1\r\n"},
        {"tk-wp-broken.dat", "1,10,Club\r\n"}};
    for (const auto &[name, rows] : made)
        checks.push_back(CheckWeaponTable(test::WriteTable(dir, QLatin1String(name), "Made", rows), QLatin1String(name)));
    const QJsonArray tables = QJsonDocument::fromJson(ComposeFoundryRollTables(checks)).array();
    ASSERT_EQ(tables.size(), qsizetype(checks.size()) - 1);
    for (qsizetype t = 0; t < tables.size(); ++t) {
        SCOPED_TRACE(checks[std::size_t(t)].label.toStdString());
        QStringList faults;
        Check(tables[t], ShapeOf(u"rolltable"_qs), faults);
        EXPECT_EQ(faults, QStringList());
        auto s = NewSettings();
        ASSERT_TRUE(LoadWeaponTable(*s, t < 6 ? test::SourceTable(checks[std::size_t(t)].label)
                                              : dir.filePath(checks[std::size_t(t)].label)).ok());
        const int top = int(s->Weapons[s->WeaponCount].High);
        EXPECT_EQ(tables[t][u"formula"], u"1d%1"_qs.arg(top));
        for (int roll = 1; roll <= top; ++roll) {
            test::ScriptedDice dice(test::Script({{roll, top}}));
            s->CurMember = 1;
            s->Members[1].Weapon = u"-";
            s->WeaponDamage = u"-";
            DrawWeapon(*s, dice);
            QStringList holding;
            for (const QJsonValue &result : tables[t][u"results"].toArray()) {
                const QJsonArray range = result[u"range"].toArray();
                if (range[0].toInt() <= roll && roll <= range[1].toInt())
                    holding << result[u"name"].toString() + u' ' + result[u"description"].toString();
            }
            const QString drawn = s->Members[1].Weapon.trimmed().toString();
            EXPECT_EQ(holding, drawn == u"-" ? QStringList()
                                             : QStringList(drawn + u" <p>Damage %1, SR/PEN %2</p>"_qs.arg(
                                                                     s->WeaponDamage.trimmed(), QString::number(s->WeaponRank))))
                << roll;
        }
    }
}

} // namespace
