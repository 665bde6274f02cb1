#pragma once
// An exact decimal number for amounts, prices, quantities, exchange rates and
// percentages: a 128-bit integer mantissa and a decimal scale (0 to 18
// digits after the point). Addition, subtraction and multiplication are
// exact; division takes the scale of its result and rounds. No binary
// floating point is used inside, so 0.1 + 0.2 is 0.3.
//
// Rounding (rounded, toFixed, divided and the formatting in common/cformat.h)
// is half away from zero on the exact decimal value: 2.675 gives "2.68" and
// -2.675 gives "-2.68". printf on a double rounds the nearest binary value
// instead (2.675 is stored as 2.67499999..., so "%4.2f" gives "2.67"); the
// exact type rounds what was typed.
//
// Values hold at most 38 significant digits. A result that does not fit
// (too large, or a product that would need more than 18 decimals) throws
// std::overflow_error; nothing wraps silently. Division by zero throws
// std::domain_error.

#include <QString>
#include <QStringView>
#include <QVariant>
#include <compare>
#include <concepts>
#include <cstdint>
#include <optional>

namespace torvika {

class Decimal {
public:
    __extension__ typedef __int128 Mantissa;
    static constexpr int kMaxScale = 18;

    constexpr Decimal() = default;
    // Any integer, exactly (implicit, so that `total += 1` and `price * 2` read naturally).
    template <std::integral T>
    requires(!std::same_as<T, bool>) constexpr Decimal(T value) : mantissa_(Mantissa(value)) {}
    // A number text as parse() accepts it; throws EConvertError otherwise.
    explicit Decimal(QStringView text);
    explicit Decimal(const QString& text) : Decimal(QStringView(text)) {}
    explicit Decimal(const char* text) : Decimal(QString::fromLatin1(text)) {}

    // mantissa / 10^scale; throws std::overflow_error when the mantissa has
    // more than 38 digits or the scale is outside 0..18.
    static Decimal fromScaled(Mantissa mantissa, int scale);

    // A number text: an optional sign, digits with at most one decimal
    // separator ("." or ","; "1,5" and "1.5" are the same), blanks before and
    // after. At least one digit; ".5" and "5." are accepted. Refused (nullopt):
    // an empty text, "inf", "nan", exponents ("1e5"), thousands separators
    // ("1 000", "1,000.50"), anything else, and numbers that cannot be held
    // (more than 38 digits, or more than 18 decimals that are not zeros).
    static std::optional<Decimal> parse(QStringView text);

    // A value read from the database or a caller: integers exactly; a double
    // through its shortest round-trip text (12.3 is exactly 12.3; decimals
    // beyond 18 are rounded away); a text as parse(). nullopt for a null or
    // empty value, NaN, infinity, a text that is no number and any other type.
    static std::optional<Decimal> fromVariant(const QVariant& value);

    // The shortest exact text: "-12.3", "20", "0.05"; no exponent, "." as the
    // separator, no trailing zeros after it.
    QString toString() const;
    // Exactly `decimals` digits after "." (none and no "." for 0), rounded half
    // away from zero; a value that rounds to zero has no minus sign.
    // Throws std::invalid_argument for negative decimals.
    QString toFixed(int decimals) const;
    // For display widgets only: the nearest double.
    double toDouble() const;

    // Rounded half away from zero to at most `decimals` (0..18) digits after
    // the point; a value with fewer decimals is returned unchanged.
    Decimal rounded(int decimals) const;
    // The quotient with exactly `scale` (0..18) decimals, rounded half away from zero.
    Decimal divided(const Decimal& divisor, int scale) const;

    bool isZero() const { return mantissa_ == 0; }
    int sign() const { return mantissa_ < 0 ? -1 : mantissa_ > 0 ? 1 : 0; }
    Decimal abs() const { return mantissa_ < 0 ? -*this : *this; }
    // The number of decimals stored (1.50 parsed keeps 2).
    int scale() const { return scale_; }
    // The integer part, truncated toward zero.
    Decimal integerPart() const;

    Decimal operator-() const;
    Decimal& operator+=(const Decimal& other) { return *this = *this + other; }
    Decimal& operator-=(const Decimal& other) { return *this = *this - other; }
    Decimal& operator*=(const Decimal& other) { return *this = *this * other; }

    friend Decimal operator+(const Decimal& a, const Decimal& b);
    friend Decimal operator-(const Decimal& a, const Decimal& b);
    friend Decimal operator*(const Decimal& a, const Decimal& b);
    // Equal values compare equal whatever their scale (1.5 == 1.50).
    friend bool operator==(const Decimal& a, const Decimal& b) { return compare(a, b) == 0; }
    friend std::strong_ordering operator<=>(const Decimal& a, const Decimal& b) {
        return compare(a, b) <=> 0;
    }

private:
    static int compare(const Decimal& a, const Decimal& b);

    Mantissa mantissa_ = 0;
    int scale_ = 0;
};

} // namespace torvika
