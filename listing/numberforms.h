#pragma once

#include <QString>
#include <QtGlobal>

namespace throngkit {

// The number forms of the listings and files, for a 16-bit value v. Negative values carry one
// minus sign at the very front.
QString PlainDecimal(qint16 v);   // 3 -> "3", 0 -> "0", -5 -> "-5"
QString HashForm(qint16 v);       // like PlainDecimal, but 0 -> ""   (also the "##" pattern)
QString HashBlank(qint16 v);      // the "## " pattern: HashForm then a blank; 0 -> " "
QString BlankTwoDigits(qint16 v); // the " 00" pattern: 5 -> " 05", 100 -> " 100", -5 -> "- 05"
QString TwoDigits(qint16 v);      // the "00" pattern: 7 -> "07", -7 -> "-07"
QString PrintedNumber(qint16 v);  // a blank (minus sign when negative), digits, a blank: " 1 "

} // namespace throngkit
