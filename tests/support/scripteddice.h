#pragma once

#include "generate/dice.h"

#include <deque>
#include <stdexcept>

namespace throngkit::test {

// Dice whose every r in [0, 1) is given by the test, to pin the order and the result of rolls.
// Face(f, s) is an r that makes a die of s sides show f. Asking for more values than were
// scripted sets exhausted(), which a test checks.
class ScriptedDice : public Dice
{
public:
    explicit ScriptedDice(std::deque<double> values) : Dice(0), m_values(std::move(values)) {}

    static double Face(int face, double sides) { return (face - 0.5) / sides; }

    double next() noexcept override
    {
        if (m_values.empty()) {
            m_exhausted = true;
            return 0.0;
        }
        const double r = m_values.front();
        m_values.pop_front();
        return r;
    }

    bool exhausted() const { return m_exhausted; }   // asked for more values than scripted
    std::size_t remaining() const { return m_values.size(); }

private:
    std::deque<double> m_values;
    bool m_exhausted = false;
};

} // namespace throngkit::test
