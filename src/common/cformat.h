#pragma once
// printf-style formatting of the program's texts ("%*.*f" with width 4,
// "%4.2f", "%4.4f", "%-16.16s", "%-12.11s" ...). Widths and precisions of %s
// count characters, not bytes, so Cyrillic names are cut and padded right.
// Numbers use "." as the decimal separator.

#include "common/decimal.h"

#include <QString>
#include <QVariant>
#include <initializer_list>

namespace torvika {

// Supports %%, flags "-", "0", "+", " ", a width and a precision (digits or
// "*" taken from the arguments), and the conversions s, d, i, u, f, e, g.
// Throws std::invalid_argument on a malformed format or missing argument.
QString cformat(QStringView format, std::initializer_list<QVariant> args);

// The program's usual amount texts.
QString formatFixed(double value, int decimals, int width = 4); // "%*.*f"
inline QString format42(double value) {
    return formatFixed(value, 2, 4);
} // "%4.2f"
inline QString format44(double value) {
    return formatFixed(value, 4, 4);
} // "%4.4f"

// The same texts of an exact decimal: at least `width` characters (a negative
// width pads on the right), blanks on the left, "." as the separator, and a
// negative number of decimals meaning 6, as printf does. The rounding is half
// away from zero on the decimal value (2.675 gives "2.68"; see common/decimal.h).
QString formatFixed(const Decimal& value, int decimals, int width = 4); // "%*.*f"
inline QString format42(const Decimal& value) {
    return formatFixed(value, 2, 4);
} // "%4.2f"
inline QString format44(const Decimal& value) {
    return formatFixed(value, 4, 4);
} // "%4.4f"

} // namespace torvika
