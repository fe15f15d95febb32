#pragma once

#include "core/settings.h"
#include "core/dice.h"
#include "core/messagesink.h"

#include <QStringList>

#include <algorithm>
#include <deque>
#include <initializer_list>

namespace throngkit::test {

// Dice whose every r is given by the test, to pin the order and the result of rolls. Once the
// script is used up every further r is `afterwards` and exhausted() is set, which a test that
// scripts every roll checks.
class ScriptedDice : private DiceScript, public Dice
{
public:
    explicit ScriptedDice(std::deque<double> values, double afterwards = 0.0)
        : Dice(static_cast<DiceScript &>(*this)), m_values(std::move(values)), m_afterwards(afterwards) {}

    // An r that makes a die of sides show face. A face above sides is what no real die shows:
    // it reaches the rows of the rule tables that a real roll never does.
    static double Face(int face, double sides) { return (face - 0.5) / sides; }

    bool exhausted() const { return m_exhausted; }
    std::size_t remaining() const { return m_values.size(); }

private:
    double next() noexcept override
    {
        if (m_values.empty()) {
            m_exhausted = true;
            return m_afterwards;
        }
        const double r = m_values.front();
        m_values.pop_front();
        return r;
    }

    std::deque<double> m_values;
    double m_afterwards;
    bool m_exhausted = false;
};

// One throw in a script: count dice of sides faces that show total between them, filled from
// the first die, so that {12, 6, 3} is 3D6 showing 6, 5, 1 and {4, 9} is one D9 showing 4.
struct Roll { int total, sides, count = 1; };

inline std::deque<double> Script(std::initializer_list<Roll> rolls)
{
    std::deque<double> values;
    for (const Roll &roll : rolls) {
        int rest = roll.total;
        for (int die = roll.count; die > 1; --die) {
            const int face = std::max(1, std::min(roll.sides, rest - (die - 1)));
            values.push_back(ScriptedDice::Face(face, roll.sides));
            rest -= face;
        }
        values.push_back(ScriptedDice::Face(rest, roll.sides));   // the last die takes any excess
    }
    return values;
}

// Keeps the notices a generation or a draw raises, in order.
struct CollectingSink : MessageSink
{
    QStringList messages;
    void showMessage(const QString &text) override { messages.append(text); }
};

// Three weapons that share the d100 between them.
inline void LoadSmallTable(Settings &s)
{
    s.Weapons[1] = {u"Broadsword", 1, 60, u"1D8+1", 2};
    s.Weapons[2] = {u"2H Spear", 61, 90, u"1D10+1", 3};
    s.Weapons[3] = {u"Sling", 91, 100, u"1D6", 1};
    s.WeaponCount = 3;
}

} // namespace throngkit::test
