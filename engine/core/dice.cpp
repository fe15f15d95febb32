#include "core/dice.h"

#include "core/numerictext.h"

#include <chrono>
#include <cmath>

namespace throngkit {

Dice::Dice() : Dice(freshSeed()) {}

DiceScript::~DiceScript() = default;

Dice::Dice(quint64 seed) : m_seed(seed), m_engine(seed) {}

Dice::Dice(DiceScript &script) : Dice(quint64(0))
{
    m_script = &script;
}

void Dice::reseed(quint64 seed)
{
    m_seed = seed;
    m_engine.seed(seed);
}

quint64 Dice::freshSeed()
{
    std::random_device device;
    const quint64 entropy = (quint64(device()) << 32) ^ quint64(device());
    const auto ticks = std::chrono::system_clock::now().time_since_epoch().count();
    // Below 2^53, so that the seed in JSON output is exact in every reader, JavaScript's too.
    return SplitMix64(entropy ^ SplitMix64(static_cast<quint64>(ticks))) >> 11;
}

double RollDice(Dice &dice, double count, double sides)
{
    // The generators throw a few whole dice of whole sides: that case avoids the library's
    // rounding calls. sides * r is never negative there, so truncation is the floor.
    if (count >= 0 && count <= 1000 && count == double(int(count)) && sides >= 0
        && sides <= 0x1.0p52) {
        double total = 0;
        for (int die = int(count); die > 0; --die)
            total += double(static_cast<qint64>(sides * dice.next())) + 1;
        return total;
    }
    const double dieCount = RoundHalfEven(count);
    double total = 0;
    for (double die = 0; die < dieCount; ++die)
        total += std::floor(sides * dice.next()) + 1;
    return total;
}

QStringView CharDigit(double value) noexcept
{
    const bool small = value > -1e9 && value < 1e9;   // NaN too is not small
    const double whole = small && value == double(int(value)) ? value : RoundHalfEven(value);
    if (whole <= 0)
        return u"0";
    if (whole > 32 || std::isnan(whole))
        return u"-99";
    return CharDigit(static_cast<int>(whole));
}

std::optional<int> CharDigitValue(QChar digit) noexcept
{
    if (digit == u'0')
        return 0;
    const qsizetype at = CharDigits.indexOf(digit);
    if (at < 0)
        return std::nullopt;
    return int(at) + 1;
}

} // namespace throngkit
