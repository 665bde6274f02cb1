#pragma once
// An amount in Bulgarian words, as invoices and other documents print it:
// the whole units in words, the major unit's name, "и", the two-digit minor
// units in figures and the minor unit's name:
//
//   1234.56 -> "хиляда  двеста  тридесет и четири лева и 56 стотинки "
//
// The words come from fixed tables whose entries carry their own blanks, and
// every word is followed by one more blank, so the spacing is irregular; the
// documents print exactly these texts. The amount is first rounded to two
// decimals (half away from zero).
//
// - 0 reads " нула лева и 00 стотинки ".
// - Thousands keep the tables' joined forms ("двехиляди", "десетхиляди",
//   "двадесет и петхиляди"); a thousands digit 1 after a ten or a hundred
//   reads "една хиляди " ("двадесет и една хиляди  лева и 00 стотинки ").
// - Hundreds of thousands put the hundreds word before the thousands
//   ("сто  двадесет и трихиляди  ..."), and "хиляди " after it when the
//   lower thousands digits are zero ("сто хиляди  лева и 00 стотинки ").
// - Millions and milliards read their group like the units (hundreds, tens,
//   units) followed by "милион " / "милиона " and "милиард " / "милиарда "
//   ("два милиона  лева и 00 стотинки ").
// - Whole units of a trillion and more are written in figures
//   ("1000000000000 лева и 00 стотинки ").
// - A negative amount reads "минус " and the words of its absolute value
//   ("минус пет лева и 50 стотинки "); one that rounds to 0.00 has no minus.

#include "common/decimal.h"
#include "common/texts.h"

#include <QString>
#include <QVariant>

namespace torvika {

// The names of the currency's units, so that a company may keep its books in
// another currency.
struct CurrencyWords {
    QString major = texts::kCurrencyMajorWords; // "лева"
    QString minor = texts::kCurrencyMinorWords; // "стотинки"
};

QString Sum_To_Words(const Decimal& amount, const CurrencyWords& currency = {});
// A number or a number text (as Decimal::fromVariant reads it); throws
// EConvertError for anything else.
QString Sum_To_Words(const QVariant& amount, const CurrencyWords& currency = {});

} // namespace torvika
