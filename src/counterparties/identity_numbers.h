#pragma once
// Bulgarian identity numbers: the nine-digit company number (ЕИК) and the
// ten-digit personal number (ЕГН), each ending in a check digit.

#include <QString>
#include <QStringView>

namespace torvika {

// The check digit candidate of a company number: the first length - 1
// characters (at most eight) weighted shift + 1 ... shift + 8, modulo 11.
// In the second pass (second = true) a remainder of 10 gives 0. -1 when one
// of those characters is not a decimal digit.
int Get_EIK(QStringView text, int shift, bool second);

// Nine decimal digits whose last one is the check digit: S1 with weights
// 1..8 modulo 11, or, when that is 10, S2 with weights 3..10 modulo 11
// (10 counting as 0). When one of the first eight characters of a nine-
// character text is not a digit, *showMessage is set: the caller shows
// kInvalidEik (texts.h) before going on.
bool Check_EIK(QStringView text, bool* showMessage = nullptr);

// Ten decimal digits whose last one is the check digit: weights
// 2, 4, 8, 5, 10, 9, 7, 3, 6 modulo 11 (10 counting as 0). The date part is
// not examined.
bool Check_EGN(QStringView text);

} // namespace torvika
