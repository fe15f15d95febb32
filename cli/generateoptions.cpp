#include "cli/generateoptions.h"

#include "core/safefiles.h"
#include "core/settings.h"
#include "listing/outputformats.h"
#include "session/startup.h"

#include <QFileInfo>
#include <QLocale>

namespace throngkit {
namespace {

// Digits with at most one decimal point and at least one digit: "10", "10.7", ".5", "7."
bool IsPlainDecimal(QStringView text)
{
    int digits = 0;
    int points = 0;
    for (const QChar c : text) {
        if (c >= u'0' && c <= u'9')
            ++digits;
        else if (c == u'.' && ++points == 1)
            continue;
        else
            return false;
    }
    return digits > 0;
}

QString BadValue(QStringView option, const QString &value, const QString &expected)
{
    return QStringLiteral("invalid value %1 for --%2: expected %3")
        .arg(QuotedText(value), option.toString(), expected);
}

// A choice's option read into its code: one of the choices' words, ignoring case.
std::optional<char16_t> ReadChoice(const QCommandLineParser &parser, const QCommandLineOption &option,
                                   std::span<const RequestChoice> choices)
{
    const RequestChoice *choice = FindChoice(choices, parser.value(option));
    if (!choice)
        return std::nullopt;
    return choice->code;
}

QString RankExpected()
{
    return QStringLiteral("a number from -32768 to 32767");
}

QString DefaultWord(std::span<const RequestChoice> choices, char16_t code)
{
    return FindChoice(choices, code)->word.toString();
}

QCommandLineOption ValueOption(const char16_t *name, const QString &description, const char16_t *valueName)
{
    return QCommandLineOption(QString::fromUtf16(name), description, QString::fromUtf16(valueName));
}

} // namespace

Options::Options()
    : help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help and stop.")),
      version({QStringLiteral("v"), QStringLiteral("version")}, QStringLiteral("Show the version and stop.")),
      system(ValueOption(u"system",
                         QStringLiteral("Game system: runequest or traveller (default %1).")
                             .arg(FindSystem(u"runequest")->word.toString()),
                         u"system")),
      count(ValueOption(u"count",
                        QStringLiteral("How many fighters, 0 to %1, a fraction cut (default %2).")
                            .arg(MaxMembers)
                            .arg(double(RabbleRequest().howMany)),
                        u"N")),
      level(ValueOption(u"level",
                        QStringLiteral("Ability level: %1 (default %2).")
                            .arg(ChoiceWords(AbilityLevelChoices()),
                                 DefaultWord(AbilityLevelChoices(), RabbleRequest().abilityLevel)),
                        u"level")),
      shield(ValueOption(u"shield",
                         QStringLiteral("RuneQuest shield: %1 (default %2).")
                             .arg(ChoiceWords(ShieldChoices()),
                                  DefaultWord(ShieldChoices(), RabbleRequest().shieldChoice)),
                         u"choice")),
      missile(ValueOption(u"missile",
                          QStringLiteral("RuneQuest missile weapon 1 in N, 0 to 9, 0 never (default %1).")
                              .arg(RabbleRequest().missileOdds),
                          u"N")),
      table(ValueOption(u"table",
                        QStringLiteral("Weapon table to load (default: the system's table in the data directory)."),
                        u"file")),
      dataDir(ValueOption(u"data-dir",
                          QStringLiteral("Data directory (default: as the program finds it at start)."),
                          u"dir")),
      weapon(ValueOption(u"weapon", QStringLiteral("Force this standard weapon on every fighter."), u"name")),
      damage(ValueOption(u"damage", QStringLiteral("Damage of the forced weapon (needs --weapon)."), u"text")),
      rank(ValueOption(u"rank", QStringLiteral("SR or PEN of the forced weapon (needs --weapon)."), u"N")),
      heading(ValueOption(u"heading",
                          QStringLiteral("Heading of .rbl, .htm and foundry output (default \"%1\").")
                              .arg(QString::fromUtf16(DefaultHeading)),
                          u"text")),
      format(ValueOption(u"format",
                         QStringLiteral("What to write: %1 (default %2).")
                             .arg(OutputFormatNames(), FormatInfo(RabbleRequest().format).name.toString()),
                         u"format")),
      output({QStringLiteral("o"), QStringLiteral("output")},
             QStringLiteral("Write to this file instead of standard output."), QStringLiteral("file")),
      seed(ValueOption(u"seed",
                       QStringLiteral("Seed of the dice, 0 to 18446744073709551615 (default: fresh each run)."),
                       u"N"))
{
}

void Options::addTo(QCommandLineParser &parser) const
{
    parser.addOptions({help, version, system, count, level, shield, missile, table, dataDir, weapon,
                       damage, rank, heading, format, output, seed});
}

Outcome ReadGenerateOptions(const QCommandLineParser &parser, const Options &o,
                            GenerateRequest &request)
{
    RabbleRequest &rabble = request.rabble;
    if (parser.isSet(o.system)) {
        const SystemChoice *system = FindSystem(parser.value(o.system));
        if (!system) {
            QStringList words;
            for (const SystemChoice &choice : SystemChoices())
                words << choice.word.toString();
            return Outcome::failure(BadValue(RequestField::System, parser.value(o.system), ChoiceWords(words)));
        }
        rabble.system = system->system;
    }

    if (parser.isSet(o.count)) {
        // Only a plain decimal: a script that passes "abc" or "1e-9" has made a mistake that an
        // empty rabble would hide. A fraction is cut when the rabble is made, as in the window.
        const QString value = parser.value(o.count);
        if (!IsPlainDecimal(value))
            return Outcome::failure(BadValue(RequestField::Count, value,
                                             QStringLiteral("a number from 0 to %1").arg(MaxMembers)));
        rabble.howMany = static_cast<float>(QLocale::c().toDouble(value));
    }

    if (parser.isSet(o.level)) {
        const std::optional<char16_t> level = ReadChoice(parser, o.level, AbilityLevelChoices());
        if (!level)
            return Outcome::failure(BadValue(RequestField::Level, parser.value(o.level),
                                             ChoiceWords(AbilityLevelChoices())));
        rabble.abilityLevel = *level;
    }

    if (parser.isSet(o.shield)) {
        const std::optional<char16_t> shield = ReadChoice(parser, o.shield, ShieldChoices());
        if (!shield)
            return Outcome::failure(BadValue(RequestField::Shield, parser.value(o.shield),
                                             ChoiceWords(ShieldChoices())));
        rabble.shieldChoice = *shield;
    }

    if (parser.isSet(o.missile)) {
        const std::optional<char16_t> odds = ReadChoice(parser, o.missile, MissileChoices());
        if (!odds)
            return Outcome::failure(BadValue(RequestField::Missile, parser.value(o.missile),
                                             QStringLiteral("a digit 0 to 9")));
        rabble.missileOdds = static_cast<qint16>(*odds - u'0');
    }

    rabble.weapon.forced = parser.isSet(o.weapon);
    if (!rabble.weapon.forced && (parser.isSet(o.damage) || parser.isSet(o.rank)))
        return Outcome::failure(QStringLiteral("--damage and --rank describe a forced weapon: give --weapon too"));
    if (rabble.weapon.forced) {
        rabble.weapon.name = parser.value(o.weapon);
        rabble.weapon.damage = parser.value(o.damage);
        rabble.weapon.rank = parser.value(o.rank);
        // The window reads its box as far as a number goes; a script's "2abc" or "0x5" is a
        // mistake. A sign is allowed: a rank may be below 0.
        const QStringView rank = rabble.weapon.rank;
        if (parser.isSet(o.rank)
            && !IsPlainDecimal(rank.startsWith(u'-') || rank.startsWith(u'+') ? rank.sliced(1) : rank))
            return Outcome::failure(BadValue(RequestField::Rank, rabble.weapon.rank,
                                             RankExpected()));
    }

    if (parser.isSet(o.table)) {
        rabble.table = parser.value(o.table);
        if (rabble.table.isEmpty())
            return Outcome::failure(QStringLiteral("--table needs a file name"));
    }
    if (parser.isSet(o.dataDir)) {
        request.dataDir = parser.value(o.dataDir);
        if (request.dataDir.isEmpty())
            return Outcome::failure(QStringLiteral("--data-dir needs a directory"));
        if (const Outcome directory = CheckDataDirectory(request.dataDir); !directory)
            return directory;
    }

    if (parser.isSet(o.heading))
        rabble.heading = parser.value(o.heading);

    if (parser.isSet(o.format)) {
        const OutputFormatInfo *format = FindOutputFormat(parser.value(o.format));
        if (!format)
            return Outcome::failure(BadValue(u"format", parser.value(o.format), OutputFormatNames()));
        rabble.format = format->format;
    }

    if (parser.isSet(o.output)) {
        request.output = parser.value(o.output);
        if (request.output.isEmpty())
            return Outcome::failure(QStringLiteral("--output needs a file name"));
        if (request.output == u"-")
            request.output.clear();   // the usual spelling of standard output
    }

    if (parser.isSet(o.seed)) {
        const QString value = parser.value(o.seed);
        bool ok = !value.isEmpty();
        for (const QChar c : value)
            ok = ok && c >= u'0' && c <= u'9';
        const quint64 seed = ok ? value.toULongLong(&ok) : 0;
        if (!ok)
            return Outcome::failure(BadValue(u"seed", value,
                                             QStringLiteral("a whole number from 0 to 18446744073709551615")));
        request.seed = seed;
    }

    // What the engine refuses, in the command's words for the option at fault.
    const Outcome checked = CheckRequest(rabble);
    if (checked.ok())
        return checked;
    if (checked.subject() == RequestField::Count)
        return Outcome::failure(QStringLiteral("--count %1 is too many: at most %2 fighters")
                                    .arg(QuotedText(parser.value(o.count)))
                                    .arg(MaxMembers));
    if (checked.subject() == RequestField::Weapon)
        return Outcome::failure(BadValue(RequestField::Weapon, rabble.weapon.name,
                                         QStringLiteral("a name that does not start with \"*\"")));
    if (checked.subject() == RequestField::Rank)
        return Outcome::failure(BadValue(RequestField::Rank, rabble.weapon.rank, RankExpected()));
    return checked;
}

} // namespace throngkit
