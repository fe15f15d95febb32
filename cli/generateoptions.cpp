#include "cli/generateoptions.h"

#include "core/numerictext.h"
#include "core/paths.h"
#include "core/safefiles.h"

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

QString BadValue(const QString &option, const QString &value, const QString &expected)
{
    return QStringLiteral("invalid value %1 for --%2: expected %3")
        .arg(QuotedText(value), option, expected);
}

} // namespace

Outcome ReadGenerateOptions(const QCommandLineParser &parser, const Options &o,
                            GenerateRequest &request)
{
    if (parser.isSet(o.system)) {
        const QString value = parser.value(o.system);
        if (value.compare(u"runequest", Qt::CaseInsensitive) == 0)
            request.system = GameSystem::RuneQuest;
        else if (value.compare(u"traveller", Qt::CaseInsensitive) == 0)
            request.system = GameSystem::Traveller;
        else
            return Outcome::failure(BadValue(QStringLiteral("system"), value, QStringLiteral("runequest or traveller")));
    }

    if (parser.isSet(o.count)) {
        // Only a plain decimal: a script that passes "abc" or "1e-9" has made a mistake that an
        // empty rabble would hide. A fraction is cut when the rabble is made, as in the window.
        const QString value = parser.value(o.count);
        if (!IsPlainDecimal(value))
            return Outcome::failure(BadValue(QStringLiteral("count"), value,
                                             QStringLiteral("a number from 0 to %1").arg(MaxMembers)));
        const float howMany = static_cast<float>(QLocale::c().toDouble(value));
        if (!HowManyFits(howMany))
            return Outcome::failure(QStringLiteral("--count %1 is too many: at most %2 fighters")
                                 .arg(QuotedText(value)).arg(MaxMembers));
        request.howMany = howMany;
    }

    if (parser.isSet(o.level)) {
        const QString value = parser.value(o.level);
        if (value.compare(u"random", Qt::CaseInsensitive) == 0)
            request.abilityLevel = QStringLiteral("*");
        else if (value.size() == 1 && QStringLiteral("EBGFP").contains(value.toUpper()))
            request.abilityLevel = value.toUpper();
        else
            return Outcome::failure(BadValue(QStringLiteral("level"), value, QStringLiteral("random, E, B, G, F or P")));
    }

    if (parser.isSet(o.shield)) {
        const QString value = parser.value(o.shield);
        if (value.compare(u"random", Qt::CaseInsensitive) == 0)
            request.shieldChoice = QStringLiteral("*");
        else if (value.compare(u"always", Qt::CaseInsensitive) == 0)
            request.shieldChoice = QStringLiteral("Y");
        else if (value.compare(u"never", Qt::CaseInsensitive) == 0)
            request.shieldChoice = QStringLiteral("N");
        else
            return Outcome::failure(BadValue(QStringLiteral("shield"), value, QStringLiteral("random, always or never")));
    }

    if (parser.isSet(o.missile)) {
        const QString value = parser.value(o.missile);
        if (value.size() != 1 || !value[0].isDigit() || value[0].unicode() > u'9')
            return Outcome::failure(BadValue(QStringLiteral("missile"), value, QStringLiteral("a digit 0 to 9")));
        request.missileOdds = static_cast<qint16>(value[0].unicode() - u'0');
    }

    request.weapon.forced = parser.isSet(o.weapon);
    if (!request.weapon.forced && (parser.isSet(o.damage) || parser.isSet(o.rank)))
        return Outcome::failure(QStringLiteral("--damage and --rank describe a forced weapon: give --weapon too"));
    if (request.weapon.forced) {
        request.weapon.name = parser.value(o.weapon);
        // "*" in the first place means "no forced weapon" to the generators: a name that would
        // silently turn the choice off is refused rather than obeyed.
        if (request.weapon.name.startsWith(u'*'))
            return Outcome::failure(BadValue(QStringLiteral("weapon"), request.weapon.name,
                                             QStringLiteral("a name that does not start with \"*\"")));
        request.weapon.damage = parser.value(o.damage);
        request.weapon.rank = parser.value(o.rank);
        if (const Result<qint16> rank = OverrideRank(request.weapon); !rank)
            return Outcome::failure(BadValue(QStringLiteral("rank"), request.weapon.rank, rank.reason()));
    }

    if (parser.isSet(o.table)) {
        request.table = parser.value(o.table);
        if (request.table.isEmpty())
            return Outcome::failure(QStringLiteral("--table needs a file name"));
    }
    if (parser.isSet(o.dataDir)) {
        request.dataDir = parser.value(o.dataDir);
        if (const Outcome directory = CheckDataDirectory(request.dataDir); !directory)
            return directory;
    }

    if (parser.isSet(o.heading))
        request.heading = parser.value(o.heading);

    if (parser.isSet(o.format)) {
        const QString value = parser.value(o.format).toLower();
        if (value == u"listing")
            request.format = OutputFormat::Listing;
        else if (value == u"json")
            request.format = OutputFormat::Json;
        else if (value == u"rbl")
            request.format = OutputFormat::Rbl;
        else if (value == u"htm")
            request.format = OutputFormat::Htm;
        else if (value == u"csv")
            request.format = OutputFormat::Csv;
        else if (value == u"summary")
            request.format = OutputFormat::Summary;
        else
            return Outcome::failure(BadValue(QStringLiteral("format"), parser.value(o.format),
                                             QStringLiteral("listing, json, rbl, htm, csv or summary")));
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
            return Outcome::failure(BadValue(QStringLiteral("seed"), value,
                                             QStringLiteral("a whole number from 0 to 18446744073709551615")));
        request.seed = seed;
    }
    return Outcome::success();
}

} // namespace throngkit
