#pragma once
// The price formulas of the price groups, read by our own small parser and
// never handed to SQL or a script engine. A formula is made of
//   P        the selling price,
//   D        the delivery price,
//   numbers  digits with an optional "." ("12", "0.5", ".5"),
//   + - * /  with the usual precedence, and a sign before an operand,
//   ( )      grouping,
//   %        after an operand: hundredths of it ("P*120%" is P*1.2); after
//            "+" or "-" a percentage of what stands before ("D+20%" is
//            D*1.2, "P-10%" is P*0.9).
// Blanks and any other character are faults.
//
// The arithmetic is exact decimal (common/decimal.h): every intermediate
// value keeps kFormulaScale decimals, so "D*1.2" of 0.10 is 0.12, never
// 0.12000000000000001. A formula is read at most kFormulaMaxLength
// characters long and kFormulaMaxDepth parentheses and signs deep, wherever
// it comes from (a stored group, a typed correction), so that no formula can
// exhaust the stack or the time of the reader.

#include "common/decimal.h"

#include <QString>
#include <optional>

namespace torvika {

// The longest formula a price group keeps (Cenovi_Grupi.Formula), and the
// longest one read.
inline constexpr int kFormulaMaxLength = 255;
// The deepest nesting of parentheses and signs read.
inline constexpr int kFormulaMaxDepth = 50;
// The decimals every value in a formula keeps (half away from zero).
inline constexpr int kFormulaScale = 8;

struct FormulaResult {
    enum Fault { None, Syntax, Arithmetic };
    std::optional<Decimal> value; // none when there is a fault
    Fault fault = None;
    QString message;   // the operator's message when there is a fault
    int position = -1; // the character where a fault of syntax was found
};

// Evaluates the formula for the prices. A malformed formula, one too long
// or too deeply nested gives a fault of syntax (the first one found, with
// its position); a division by zero or a value out of range one of
// arithmetic.
FormulaResult GETRESULT_FORMULA(const QString& formula, const Decimal& P, const Decimal& D);

// The formula's fault of syntax, if any (division by zero is no fault of
// syntax: it depends on the prices).
std::optional<FormulaResult> formulaSyntaxFault(const QString& formula);

// The formula restated for prices in another currency, `rate` units of the
// old one making one of the new (1.95583 from the lev to the euro): every
// constant that stands for an amount (added to or taken from a price, or a
// formula that is a fixed price) becomes that amount in the new currency,
// to the formula's decimals; factors and percentages stay as they are
// ("D*1.2+2" becomes "D*1.2+1.02258376"). None when the formula is not well
// formed, when its amounts cannot be told (a price times a price, a
// percentage of a price, a price added to a ratio), or when the new text
// would be too long: such a formula is for the operator to restate.
std::optional<QString> formulaInOtherCurrency(const QString& formula, const Decimal& rate);

// Whether the character may be typed into a formula ("p" and "d" are
// taken as "P" and "D").
bool isFormulaCharacter(QChar c);
// The typed text as a formula line keeps it: the characters a formula may
// hold, "p" and "d" upper-cased, any other character dropped.
QString formulaInput(const QString& typed);

// A number typed into a field (a rate, a factor, a sample price): an
// optional sign, digits and one decimal separator, "." or ","; blanks
// around it are ignored. None for anything else.
std::optional<Decimal> typedDecimal(const QString& typed);

} // namespace torvika
