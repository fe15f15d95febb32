#pragma once

#include <throngkit/engine_export.h>

#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <optional>
#include <random>

namespace throngkit {

// Spreads the bits of a word over the whole word (SplitMix64): for a seed from a weak source such
// as a clock, and for ids that must look random yet come out the same on every run.
constexpr quint64 SplitMix64(quint64 x) noexcept
{
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

// What stands in for the engine where a test scripts every roll.
class THRONGKIT_ENGINE_EXPORT DiceScript
{
public:
    virtual ~DiceScript();
    virtual double next() noexcept = 0;   // uniform in [0, 1)
};

// The random source of every roll. Seeded, the sequence is the same on every platform and
// compiler: mt19937_64 is fully specified, and next() makes [0, 1) itself from 53 high bits.
// A rabble is some thirty thousand rolls, so the engine's path is inline; a script, when one is
// given, takes its place.
class THRONGKIT_ENGINE_EXPORT Dice
{
public:
    Dice();   // seeded from the time of day mixed with std::random_device
    explicit Dice(quint64 seed);
    explicit Dice(DiceScript &script);   // every r from script, which must outlive the dice

    quint64 seed() const noexcept { return m_seed; }
    // Starts the sequence of seed afresh.
    void reseed(quint64 seed);

    // Uniform in [0, 1): the 53 high bits of one draw, scaled, exact and the same everywhere,
    // unlike std::uniform_real_distribution whose algorithm the standard leaves open.
    double next() noexcept
    {
        if (m_script) [[unlikely]]
            return m_script->next();
        return static_cast<double>(m_engine() >> 11) * 0x1.0p-53;
    }

    static quint64 freshSeed();

private:
    quint64 m_seed;
    std::mt19937_64 m_engine;
    DiceScript *m_script = nullptr;
};

// count dice of sides sides, summed: each die is floor(sides * r) + 1. A die of 0 sides shows 1;
// count 0 gives 0; a count that is not whole is rounded half to even first.
THRONGKIT_ENGINE_EXPORT double RollDice(Dice &dice, double count, double sides);

// The same for a whole count of dice with a whole number of sides, as every throw of the
// generators is: a few thousand of them make a rabble, so this one is inline.
inline int RollDice(Dice &dice, int count, int sides)
{
    if (count < 0 || sides < 0)
        return int(RollDice(dice, double(count), double(sides)));
    int total = 0;
    for (int die = 0; die < count; ++die)
        total += int(sides * dice.next()) + 1;   // never negative: truncation is the floor
    return total;
}

// A characteristic value as one character of "123456789ABCDEFGHJKLMNPQRSTVWXYZ": 0 or less gives
// "0", above 32 gives "-99"; a value that is not whole is rounded half to even first.
// A view of a constant: no copy for each of a thousand members' codes.
THRONGKIT_ENGINE_EXPORT QStringView CharDigit(double value) noexcept;

// The characteristic digits: the value 1 is "1", 32 is "Z".
inline constexpr QStringView CharDigits = u"123456789ABCDEFGHJKLMNPQRSTVWXYZ";

// The same for a whole value, as the dice give it.
inline QStringView CharDigit(int value) noexcept
{
    if (value <= 0)
        return u"0";
    if (value > 32)
        return u"-99";
    return CharDigits.sliced(value - 1, 1);
}

// The value a characteristic digit stands for: "1" is 1, "Z" is 32, and "0" (which stands for
// 0 or less) is 0. None for any other character, such as the blank after a Traveller code.
THRONGKIT_ENGINE_EXPORT std::optional<int> CharDigitValue(QChar digit) noexcept;

} // namespace throngkit
