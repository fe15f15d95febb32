#pragma once

#include <throngkit/engine_export.h>

#include <QStringView>
#include <QtGlobal>

#include <optional>

namespace throngkit {

// The numeric value of a text as the "How many?" and SR/PEN boxes read it: leading blanks
// skipped; an optional sign, digits with at most one decimal point and an optional exponent
// (E or D, optional sign, digits) read as far as they go; blanks, tabs and line feeds inside the
// number skipped ("1 0" is 10); "&H"/"&O" start a hexadecimal/octal whole number; no leading
// number gives 0. Values too large for a double give +/- infinity, never undefined behaviour.
THRONGKIT_ENGINE_EXPORT double NumericValue(QStringView text) noexcept;

// The number text starts with, read as NumericValue reads it; nothing when it starts with none
// ("abc", "", "-", "&H"), which NumericValue reads as 0.
THRONGKIT_ENGINE_EXPORT std::optional<double> LeadingNumber(QStringView text) noexcept;

// Nearest whole number, a half going to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
THRONGKIT_ENGINE_EXPORT double RoundHalfEven(double value) noexcept;

// An SR or PEN, in a table or in the forced-weapon box: value rounded half to even, as a 16-bit
// number; nothing when that falls outside -32768..32767 or value is not a number.
std::optional<qint16> WholeRank(double value) noexcept;

} // namespace throngkit
