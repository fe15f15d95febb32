#include "listing/summary.h"

#include "core/windows1252.h"

#include <algorithm>
#include <map>
#include <numeric>
#include <vector>

namespace throngkit {
namespace {

constexpr int LabelWidth = 20;
constexpr int NumberWidth = 9;

QString Share(int part, int whole)
{
    return QString::number(100.0 * part / whole, 'f', 1) + u'%';
}

class SummaryText
{
public:
    explicit SummaryText(int count) : m_count(count) {}

    void line(const QString &text = QString())
    {
        m_text += text;
        m_text += u"\r\n";
    }

    // A table of counts and shares of the whole rabble under its own heading.
    void counts(const QString &heading, const std::vector<std::pair<QString, int>> &rows)
    {
        line();
        line(heading.leftJustified(LabelWidth) + QStringLiteral("Count").rightJustified(NumberWidth)
             + QStringLiteral("Share").rightJustified(NumberWidth));
        for (const auto &[label, n] : rows) {
            line(label.leftJustified(LabelWidth) + QString::number(n).rightJustified(NumberWidth)
                 + Share(n, m_count).rightJustified(NumberWidth));
        }
    }

    void figureHeading()
    {
        line();
        line(QStringLiteral("Figure").leftJustified(LabelWidth)
             + QStringLiteral("Lowest").rightJustified(NumberWidth)
             + QStringLiteral("Median").rightJustified(NumberWidth)
             + QStringLiteral("Highest").rightJustified(NumberWidth)
             + QStringLiteral("Mean").rightJustified(NumberWidth));
    }

    // Lowest, median, highest and mean of values; dashes when there are none.
    void figure(const QString &label, std::vector<int> values)
    {
        QString text = label.leftJustified(LabelWidth);
        if (values.empty()) {
            for (int column = 0; column < 4; ++column)
                text += QStringLiteral("-").rightJustified(NumberWidth);
            line(text);
            return;
        }
        std::sort(values.begin(), values.end());
        const std::size_t middle = values.size() / 2;
        // The median of an even count is halfway between the two middle values: at most a half.
        const double median = values.size() % 2 ? values[middle]
                                                 : (double(values[middle - 1]) + values[middle]) / 2;
        const double mean = std::accumulate(values.begin(), values.end(), 0.0) / double(values.size());
        text += QString::number(values.front()).rightJustified(NumberWidth);
        text += QString::number(median, 'f', median == double(qint64(median)) ? 0 : 1)
                    .rightJustified(NumberWidth);
        text += QString::number(values.back()).rightJustified(NumberWidth);
        text += QString::number(mean, 'f', 1).rightJustified(NumberWidth);
        line(text);
    }

    QString take() { return std::move(m_text); }

private:
    int m_count;
    QString m_text;
};

std::vector<std::pair<QString, int>> LevelCounts(const Settings &settings, int count)
{
    static constexpr std::pair<char16_t, const char16_t *> Levels[] = {
        {u'E', u"E Elite"}, {u'B', u"B Better"}, {u'G', u"G Good"}, {u'F', u"F Fair"}, {u'P', u"P Poor"}};
    std::vector<std::pair<QString, int>> rows;
    for (const auto &[letter, name] : Levels)
        rows.emplace_back(QString::fromUtf16(name), 0);
    for (int number = 1; number <= count; ++number) {
        const QChar level = settings.Members[number].Level.first();
        const auto known = std::find_if(std::begin(Levels), std::end(Levels),
                                        [&](const auto &entry) { return entry.first == level; });
        if (known != std::end(Levels)) {
            ++rows[std::size_t(known - std::begin(Levels))].second;
            continue;
        }
        // A level the generators never give (a record from elsewhere) is still counted.
        const QString other = QString(level);
        const auto found = std::find_if(rows.begin(), rows.end(),
                                        [&](const auto &row) { return row.first == other; });
        if (found == rows.end())
            rows.emplace_back(other, 1);
        else
            ++found->second;
    }
    return rows;
}

// Most carried first; equal counts by name.
std::vector<std::pair<QString, int>> WeaponCounts(const Settings &settings, int count)
{
    std::map<QString, int> byName;
    for (int number = 1; number <= count; ++number) {
        QString name = FromWindows1252(settings.Members[number].Weapon.view());
        while (name.endsWith(u' '))
            name.chop(1);
        ++byName[name.isEmpty() ? QStringLiteral("(blank)") : name];
    }
    std::vector<std::pair<QString, int>> rows(byName.begin(), byName.end());
    std::stable_sort(rows.begin(), rows.end(),
                     [](const auto &a, const auto &b) { return a.second > b.second; });
    return rows;
}

void RuneQuestCounts(SummaryText &text, const Settings &settings, int count)
{
    int shields = 0;
    int weapons = 0;
    std::map<QChar, int> missiles;
    int noMissile = 0;
    for (int number = 1; number <= count; ++number) {
        const RabbleMember &m = settings.Members[number];
        if (m.ParryWith == QStringView(u"Sh"))
            ++shields;
        else if (m.ParryWith == QStringView(u"Wp"))
            ++weapons;
        if (m.MissileType.first() == u' ')
            ++noMissile;
        else
            ++missiles[m.MissileType.first()];
    }
    text.counts(QStringLiteral("Parry with"),
                {{QStringLiteral("Shield"), shields}, {QStringLiteral("Weapon"), weapons}});

    std::vector<std::pair<QString, int>> rows;
    for (const QChar letter : QStringView(u"BJASK")) {
        if (const auto found = missiles.find(letter); found != missiles.end()) {
            rows.emplace_back(QString(letter), found->second);
            missiles.erase(found);
        }
    }
    for (const auto &[letter, n] : missiles)
        rows.emplace_back(QString(letter), n);
    rows.emplace_back(QStringLiteral("None"), noMissile);
    text.counts(QStringLiteral("Missile weapon"), rows);
}

template <typename Field>
std::vector<int> Values(const Settings &settings, int count, Field field)
{
    std::vector<int> values;
    values.reserve(std::size_t(count));
    for (int number = 1; number <= count; ++number)
        values.push_back(field(settings.Members[number]));
    return values;
}

} // namespace

QString BuildSummary(GameSystem system, const Settings &settings)
{
    const int count = ListedMemberCount(settings.HowMany);
    const bool runeQuest = system == GameSystem::RuneQuest;
    SummaryText text(count);
    text.line(QStringLiteral("%1 rabble of %2 %3")
                  .arg(runeQuest ? QStringLiteral("RuneQuest") : QStringLiteral("Traveller"),
                       QString::number(count),
                       count == 1 ? QStringLiteral("fighter") : QStringLiteral("fighters")));
    if (count == 0)
        return text.take();

    text.counts(QStringLiteral("Level"), LevelCounts(settings, count));
    text.counts(QStringLiteral("Weapon"), WeaponCounts(settings, count));
    if (runeQuest)
        RuneQuestCounts(text, settings, count);

    text.figureHeading();
    if (runeQuest) {
        text.figure(QStringLiteral("Attack"), Values(settings, count, [](const RabbleMember &m) { return m.Attack; }));
        text.figure(QStringLiteral("Parry"), Values(settings, count, [](const RabbleMember &m) { return m.Parry; }));
        std::vector<int> missiles;
        for (int number = 1; number <= count; ++number) {
            const RabbleMember &m = settings.Members[number];
            if (m.MissileType.first() != u' ')
                missiles.push_back(m.Missile);
        }
        text.figure(QStringLiteral("Missile (carried)"), std::move(missiles));
    } else {
        text.figure(QStringLiteral("Gun"), Values(settings, count, [](const RabbleMember &m) { return m.Attack; }));
        text.figure(QStringLiteral("Second skill"), Values(settings, count, [](const RabbleMember &m) { return m.Parry; }));
        text.figure(QStringLiteral("Recon"), Values(settings, count, [](const RabbleMember &m) { return m.Scan; }));
    }
    text.figure(QStringLiteral("Hit points"), Values(settings, count, [](const RabbleMember &m) { return m.HitPoints; }));
    text.figure(QStringLiteral("Armour"), Values(settings, count, [](const RabbleMember &m) { return m.Armour; }));
    if (runeQuest) {
        text.figure(QStringLiteral("Scan"), Values(settings, count, [](const RabbleMember &m) { return m.Scan; }));
        text.figure(QStringLiteral("Listen"), Values(settings, count, [](const RabbleMember &m) { return m.Listen; }));
    }
    return text.take();
}

} // namespace throngkit
