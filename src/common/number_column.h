#pragma once
// The one conversion between exact numbers (common/decimal.h) and the
// DOUBLE PRECISION columns of the company database: prices, rates,
// quantities, discounts. Logic carries Decimal; only here does a value
// become the column's double, or a double read back become a Decimal.
//
// A value is bound as the double nearest to it; a double read back is taken
// through its shortest exact text and rounded to the decimals asked for, so
// that 12.34 stored is 12.34 read and the noise of a sum the engine made
// (0.30000000000000004) never reaches a product.

#include "common/decimal.h"

#include <QVariant>

namespace torvika {

// The decimals a value read back keeps unless a caller asks for others:
// far more than any price, quantity or percentage is shown or stored with.
inline constexpr int kNumberColumnDecimals = 8;

// The value to bind for a number column.
QVariant numberColumnValue(const Decimal& value);
// A number column's value; 0 for NULL, an empty text or anything that is no
// number.
Decimal fromNumberColumn(const QVariant& value, int decimals = kNumberColumnDecimals);

// A number typed for a comparison with a number column ("равно", "между"
// ...): a whole number binds as an integer, so that an integer column
// compares exactly and its index serves; any other as the column's double.
// Throws EConvertError (texts::kNotANumber) when the text is no number.
QVariant typedNumberValue(const QString& typed);

} // namespace torvika
