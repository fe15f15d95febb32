#include "weapons/tablecheck.h"

#include "core/safefiles.h"
#include "core/windows1252.h"

#include <algorithm>
#include <cmath>

namespace throngkit {
namespace {

constexpr int NameWidth = decltype(WeaponRow::Name)::size();
constexpr int DamageWidth = decltype(WeaponRow::Damage)::size();

QString Roll(double roll)
{
    return QString::number(roll, 'f', 0);
}

// A band limit as the table would write it: 100, 99.9, 1e+30.
QString Limit(float value)
{
    return QString::number(double(value), 'g', 7);
}

QString Rolls(const RollSpan &span)
{
    return span.first == span.last ? Roll(span.first)
                                    : QStringLiteral("%1 to %2").arg(Roll(span.first), Roll(span.last));
}

// A row's band and the name the reader knows it by, for the sentences about the draw.
struct NamedBand
{
    float low;
    float high;
    QString name;
};

QString RowName(int number, const QString &name)
{
    return QStringLiteral("Row %1 (%2)").arg(QString::number(number),
                                            name.trimmed().isEmpty() ? QStringLiteral("blank") : name.trimmed());
}

// The draw over bands (Low, High) in row order, with its die of the last band's High sides.
DrawOdds ComputeDrawOdds(const std::vector<std::pair<float, float>> &bands)
{
    DrawOdds odds;
    // The die shows floor(top * r) + 1 for r uniform in [0, 1), so x = top * r is uniform over
    // [low, high) and roll k stands for the x in [k - 1, k). A top that is not whole makes its
    // last roll rarer; a die of 0 sides always shows 1.
    const double top = bands.empty() ? 0.0 : double(bands.back().second);
    const double low = std::min(0.0, top);
    const double high = std::max(0.0, top);
    if (top > 0)
        odds.rolls = {1, std::ceil(top)};
    else if (top < 0)
        odds.rolls = {std::floor(top) + 1, 0};
    else
        odds.rolls = {1, 1};
    const auto mass = [&](const RollSpan &span) {
        if (top == 0)
            return 1.0;
        const double covered = std::min(span.last, high) - std::max(span.first - 1, low);
        return std::max(0.0, covered) / (high - low);
    };

    std::vector<RollSpan> untaken{odds.rolls};
    odds.chance.reserve(bands.size());
    odds.taken.reserve(bands.size());
    for (const auto &[bandLow, bandHigh] : bands) {
        const double first = std::max(std::ceil(double(bandLow)), odds.rolls.first);
        const double last = std::min(std::floor(double(bandHigh)), odds.rolls.last);
        double chance = 0;
        std::vector<RollSpan> left, rowTaken;
        for (const RollSpan &span : untaken) {
            const RollSpan taken{std::max(span.first, first), std::min(span.last, last)};
            if (taken.first > taken.last) {
                left.push_back(span);
                continue;
            }
            chance += mass(taken);
            if (span.first < taken.first)
                left.push_back({span.first, taken.first - 1});
            if (taken.last < span.last)
                left.push_back({taken.last + 1, span.last});
            rowTaken.push_back(taken);
        }
        untaken = std::move(left);
        odds.chance.push_back(chance);
        odds.taken.push_back(std::move(rowTaken));
    }
    odds.gaps = std::move(untaken);
    return odds;
}

DrawOdds OddsOf(const std::vector<NamedBand> &rows)
{
    std::vector<std::pair<float, float>> bands;
    bands.reserve(rows.size());
    for (const NamedBand &row : rows)
        bands.emplace_back(row.low, row.high);
    return ComputeDrawOdds(bands);
}

void AppendDrawProblems(QStringList &problems, const std::vector<NamedBand> &rows, const DrawOdds &odds)
{
    if (rows.empty()) {
        problems << QStringLiteral("The table has no weapons, so no weapon can be drawn.");
        return;
    }
    for (const RollSpan &gap : odds.gaps) {
        problems << (gap.first == gap.last ? QStringLiteral("Roll %1 draws no weapon.")
                                           : QStringLiteral("Rolls %1 draw no weapon."))
                        .arg(Rolls(gap));
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (odds.chance[i] > 0)
            continue;
        const NamedBand &row = rows[i];
        const bool holdsARoll = std::max(std::ceil(double(row.low)), odds.rolls.first)
                                <= std::min(std::floor(double(row.high)), odds.rolls.last);
        const QString why = holdsARoll
            ? QStringLiteral("earlier rows take all its rolls")
            : QStringLiteral("its band %1 to %2 holds none of the rolls %3")
                  .arg(Limit(row.low), Limit(row.high), Rolls(odds.rolls));
        problems << QStringLiteral("%1 can never be drawn: %2.").arg(RowName(int(i) + 1, row.name), why);
    }
}

// Text of a table or a file name as the report prints it: bytes 0x80 to 0x9F read as
// Windows-1252, control characters (the undefined C1 bytes, a tab) escaped so that none acts
// on the terminal.
QString Printable(QStringView text)
{
    return EscapeControls(FromWindows1252(text));
}

QString Percent(double chance)
{
    return QString::number(chance * 100.0, 'f', 1) + u'%';
}

} // namespace

TableCheck CheckWeaponTable(const QString &path, const QString &label)
{
    TableCheck check;
    check.label = label;
    check.table = ReadWeaponTable(path);
    if (!check.table) {
        check.problems << check.table.reason();
        return check;
    }

    const std::vector<TableRowText> &rows = check.table.value().rows;
    std::vector<NamedBand> bands;
    for (const TableRowText &row : rows)
        bands.push_back({row.Low, row.High, row.Name});
    check.odds = OddsOf(bands);
    AppendDrawProblems(check.problems, bands, check.odds);

    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int number = int(i) + 1;
        const TableRowText &row = rows[i];
        if (row.Name.size() > NameWidth) {
            check.problems << QStringLiteral("Row %1: the name \"%2\" is longer than %3 characters "
                                             "and is cut to \"%4\".")
                                  .arg(QString::number(number), row.Name, QString::number(NameWidth),
                                       row.Name.left(NameWidth));
        }
        if (row.Damage.size() > DamageWidth) {
            check.problems << QStringLiteral("Row %1: the damage \"%2\" is longer than %3 characters "
                                             "and is cut to \"%4\".")
                                  .arg(QString::number(number), row.Damage, QString::number(DamageWidth),
                                       row.Damage.left(DamageWidth));
        }
        if (row.Name.trimmed().isEmpty())
            check.problems << QStringLiteral("Row %1 has a blank name.").arg(number);
    }
    if (!rows.empty() && rows.back().High != 100.0f) {
        check.problems << QStringLiteral("No row has High 100: the draw rolls %1 only.")
                              .arg(Rolls(check.odds.rolls));
    }
    return check;
}

QString DescribeTableCheck(const TableCheck &check)
{
    QString text = Printable(check.label);
    if (!check.table) {
        text += QStringLiteral(": refused by the loader\n  ") + check.problems.value(0) + u'\n';
        return text;
    }
    const std::vector<TableRowText> &rows = check.table.value().rows;
    text += QStringLiteral(": \"%1\", %2 %3\n")
                .arg(Printable(check.table.value().caption), QString::number(rows.size()),
                     rows.size() == 1 ? QStringLiteral("row") : QStringLiteral("rows"));
    if (!rows.empty())
        text += QStringLiteral("    #  Band        Weapon      Damage  SR/PEN  Chance\n");
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const TableRowText &row = rows[i];
        // Texts of the file go in whole (a long one pushes the rest right) and never through arg(),
        // which would read a "%1" in a weapon's name as a place to fill.
        const QString gap = QStringLiteral("  ");
        text += QString::number(i + 1).rightJustified(5) + gap
                + (Limit(row.Low) + u'-' + Limit(row.High)).leftJustified(10) + gap
                + Printable(row.Name).leftJustified(NameWidth) + gap
                + Printable(row.Damage).leftJustified(DamageWidth) + gap
                + QString::number(row.Rank).rightJustified(6) + gap
                + Percent(check.odds.chance[i]).rightJustified(6) + u'\n';
    }
    if (check.sound()) {
        text += QStringLiteral("  Sound: every roll from %1 draws a weapon.\n").arg(Rolls(check.odds.rolls));
        return text;
    }
    for (const QString &problem : check.problems)
        text += QStringLiteral("  Problem: ") + Printable(problem) + u'\n';
    return text;
}

QStringList DrawProblems(const Settings &settings)
{
    const int count = qBound(0, int(settings.WeaponCount), MaxWeaponRows);
    std::vector<NamedBand> rows;
    for (int n = 1; n <= count; ++n) {
        const WeaponRow &row = settings.Weapons[n];
        rows.push_back({row.Low, row.High, FromWindows1252(row.Name.view())});
    }
    QStringList problems;
    AppendDrawProblems(problems, rows, OddsOf(rows));
    return problems;
}

} // namespace throngkit
