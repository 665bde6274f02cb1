#include "common/decimal.h"

#include "common/errors.h"
#include "common/texts.h"

#include <array>
#include <charconv>
#include <cmath>
#include <stdexcept>
#include <system_error>

namespace torvika {

namespace {

using Mantissa = Decimal::Mantissa;
__extension__ typedef unsigned __int128 U128;

constexpr int kMaxDigits = 38;

constexpr std::array<U128, kMaxDigits + 1> makePowers() {
    std::array<U128, kMaxDigits + 1> p{};
    p[0] = 1;
    for (int i = 1; i <= kMaxDigits; ++i)
        p[i] = p[i - 1] * 10;
    return p;
}
constexpr std::array<U128, kMaxDigits + 1> kPow10 = makePowers();
// The largest mantissa: 38 nines.
constexpr U128 kMaxMagnitude = kPow10[kMaxDigits] - 1;

[[noreturn]] void overflow() {
    throw std::overflow_error("Decimal: the result has more digits than a decimal holds");
}

void checkScale(int scale, const char* what) {
    if (scale < 0 || scale > Decimal::kMaxScale)
        throw std::invalid_argument(what);
}

U128 magnitude(Mantissa m) {
    return m < 0 ? U128(0) - U128(m) : U128(m);
}

// A 256-bit unsigned number in four 64-bit limbs, least significant first:
// room for the product of two mantissas and for a dividend scaled up by 10^36.
struct U256 {
    std::array<std::uint64_t, 4> limb{};

    static U256 from(U128 v) {
        U256 r;
        r.limb[0] = std::uint64_t(v);
        r.limb[1] = std::uint64_t(v >> 64);
        return r;
    }
    bool fits128() const { return limb[2] == 0 && limb[3] == 0; }
    U128 low128() const { return (U128(limb[1]) << 64) | limb[0]; }
    bool bit(int i) const { return (limb[size_t(i / 64)] >> (i % 64)) & 1; }
    void setBit(int i) { limb[size_t(i / 64)] |= std::uint64_t(1) << (i % 64); }
    bool isZero() const { return (limb[0] | limb[1] | limb[2] | limb[3]) == 0; }
    bool fitsMantissa() const { return fits128() && low128() <= kMaxMagnitude; }

    // Divides by a small number in place and returns the remainder.
    std::uint64_t divideSmall(std::uint64_t d) {
        U128 rem = 0;
        for (int i = 3; i >= 0; --i) {
            const U128 cur = (rem << 64) | limb[size_t(i)];
            limb[size_t(i)] = std::uint64_t(cur / d);
            rem = cur % d;
        }
        return std::uint64_t(rem);
    }
    void increment() {
        for (auto& l : limb)
            if (++l != 0)
                break;
    }
};

U256 multiply(U128 a, U128 b) {
    const std::uint64_t x[2] = {std::uint64_t(a), std::uint64_t(a >> 64)};
    const std::uint64_t y[2] = {std::uint64_t(b), std::uint64_t(b >> 64)};
    U256 r;
    for (int i = 0; i < 2; ++i) {
        U128 carry = 0;
        for (int j = 0; j < 2; ++j) {
            const U128 cur = U128(x[i]) * y[j] + r.limb[size_t(i + j)] + carry;
            r.limb[size_t(i + j)] = std::uint64_t(cur);
            carry = cur >> 64;
        }
        r.limb[size_t(i + 2)] = std::uint64_t(carry);
    }
    return r;
}

// n / d rounded half away from zero (both non-negative, d > 0), by binary
// long division. The remainder stays below d < 2^128; a bit shifted out of
// it is carried so that d up to 2^128 - 1 works.
U256 divideRounded(const U256& n, U128 d) {
    U256 q;
    U128 rem = 0;
    for (int i = 255; i >= 0; --i) {
        const bool carry = (rem >> 127) != 0;
        rem = (rem << 1) | U128(n.bit(i));
        if (carry || rem >= d) {
            rem -= d;
            q.setBit(i);
        }
    }
    if (rem >= d - rem) // 2 * rem >= d without overflowing
        q.increment();
    return q;
}

// Builds a decimal from a magnitude, a sign and a scale, dropping trailing
// zeros while the scale is above `keepScale` or while the magnitude is too
// large to hold. Throws std::overflow_error when it still does not fit.
Decimal make(U256 mag, bool negative, int scale, int keepScale) {
    while (scale > 0 && (scale > keepScale || scale > Decimal::kMaxScale || !mag.fitsMantissa())) {
        U256 reduced = mag;
        if (reduced.divideSmall(10) != 0)
            break;
        mag = reduced;
        --scale;
    }
    if (scale > Decimal::kMaxScale || !mag.fitsMantissa())
        overflow();
    const Mantissa m = Mantissa(mag.low128());
    return Decimal::fromScaled(negative ? -m : m, scale);
}

QString digits(U128 v) {
    if (v == 0)
        return QStringLiteral("0");
    char buf[kMaxDigits + 2];
    int at = int(sizeof buf);
    while (v != 0) {
        buf[--at] = char('0' + int(v % 10));
        v /= 10;
    }
    return QString::fromLatin1(buf + at, int(sizeof buf) - at);
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The number text of parse(); with `roundExcess`, decimals beyond 18 are
// rounded half away from zero instead of refusing the text.
std::optional<Decimal> parseNumber(QStringView text, bool roundExcess) {
    text = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    QStringView whole, fraction;
    const qsizetype wholeStart = i;
    while (i < text.size() && isDigit(text[i]))
        ++i;
    whole = text.mid(wholeStart, i - wholeStart);
    if (i < text.size() && (text[i] == u'.' || text[i] == u',')) {
        const qsizetype fractionStart = ++i;
        while (i < text.size() && isDigit(text[i]))
            ++i;
        fraction = text.mid(fractionStart, i - fractionStart);
    }
    if (i != text.size() || (whole.isEmpty() && fraction.isEmpty()))
        return std::nullopt;
    while (!whole.isEmpty() && whole.front() == u'0')
        whole = whole.mid(1);
    while (!fraction.isEmpty() && fraction.back() == u'0')
        fraction.chop(1);
    bool roundUp = false;
    if (fraction.size() > Decimal::kMaxScale) {
        if (!roundExcess)
            return std::nullopt;
        roundUp = fraction[Decimal::kMaxScale] >= u'5';
        fraction.truncate(Decimal::kMaxScale);
    }
    if (whole.size() + fraction.size() > kMaxDigits)
        return std::nullopt;
    U128 m = 0;
    for (QChar c : whole)
        m = m * 10 + U128(c.unicode() - u'0');
    for (QChar c : fraction)
        m = m * 10 + U128(c.unicode() - u'0');
    if (roundUp && ++m > kMaxMagnitude)
        return std::nullopt;
    return Decimal::fromScaled(negative ? -Mantissa(m) : Mantissa(m), int(fraction.size()));
}

template <typename F> std::optional<Decimal> fromFloating(F value) {
    if (!std::isfinite(value))
        return std::nullopt;
    // The shortest text that reads back as the same value, without exponent.
    char buf[400];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    if (ec != std::errc())
        return std::nullopt;
    return parseNumber(QString::fromLatin1(buf, int(end - buf)), true);
}

} // namespace

Decimal::Decimal(QStringView text) {
    const std::optional<Decimal> value = parse(text);
    if (!value)
        throw EConvertError(texts::kNotANumber.arg(text));
    *this = *value;
}

Decimal Decimal::fromScaled(Mantissa mantissa, int scale) {
    if (scale < 0 || scale > kMaxScale || magnitude(mantissa) > kMaxMagnitude)
        overflow();
    Decimal d;
    d.mantissa_ = mantissa;
    d.scale_ = scale;
    return d;
}

std::optional<Decimal> Decimal::parse(QStringView text) {
    return parseNumber(text, false);
}

std::optional<Decimal> Decimal::fromVariant(const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return std::nullopt;
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::Long:
        return Decimal(value.toLongLong());
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::UShort:
    case QMetaType::ULong:
        return Decimal(value.toULongLong());
    case QMetaType::Double:
        return fromFloating(value.toDouble());
    case QMetaType::Float:
        return fromFloating(value.toFloat());
    case QMetaType::QString:
        return parse(value.toString());
    case QMetaType::QByteArray:
        return parse(QString::fromLatin1(value.toByteArray()));
    default:
        return std::nullopt;
    }
}

QString Decimal::toString() const {
    QString text = toFixed(scale_);
    if (scale_ > 0) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    return text;
}

QString Decimal::toFixed(int decimals) const {
    if (decimals < 0)
        throw std::invalid_argument("Decimal::toFixed: negative decimals");
    const Decimal r = decimals < scale_ ? rounded(decimals) : *this;
    QString text = digits(magnitude(r.mantissa_));
    if (r.scale_ > 0) {
        if (text.size() <= r.scale_)
            text = QString(r.scale_ + 1 - text.size(), u'0') + text;
        text.insert(text.size() - r.scale_, u'.');
    }
    if (decimals > r.scale_)
        text += (r.scale_ == 0 ? QStringLiteral(".") : QString()) + QString(decimals - r.scale_, u'0');
    return r.mantissa_ < 0 ? u'-' + text : text;
}

double Decimal::toDouble() const {
    const QByteArray text = toString().toLatin1();
    double value = 0;
    std::from_chars(text.constData(), text.constData() + text.size(), value);
    return value;
}

Decimal Decimal::rounded(int decimals) const {
    checkScale(decimals, "Decimal::rounded: decimals outside 0..18");
    if (decimals >= scale_)
        return *this;
    const U128 divisor = kPow10[size_t(scale_ - decimals)];
    const U128 mag = magnitude(mantissa_);
    U128 q = mag / divisor;
    const U128 rem = mag % divisor;
    if (rem >= divisor - rem)
        ++q;
    return fromScaled(mantissa_ < 0 ? -Mantissa(q) : Mantissa(q), decimals);
}

Decimal Decimal::divided(const Decimal& divisor, int scale) const {
    checkScale(scale, "Decimal::divided: scale outside 0..18");
    if (divisor.isZero())
        throw std::domain_error("Decimal: division by zero");
    // this / divisor = m1 * 10^(scale + s2 - s1) / m2 at the result's scale.
    const int shift = scale + divisor.scale_ - scale_;
    U256 dividend = U256::from(magnitude(mantissa_));
    U128 d = magnitude(divisor.mantissa_);
    if (shift >= 0) {
        dividend = multiply(magnitude(mantissa_), kPow10[size_t(shift)]);
    } else if (__builtin_mul_overflow(d, kPow10[size_t(-shift)], &d)) {
        // The divisor exceeds 2^128 > 2 * dividend: the quotient rounds to 0.
        return fromScaled(0, scale);
    }
    const U256 q = divideRounded(dividend, d);
    if (!q.fitsMantissa())
        overflow();
    const bool negative = (mantissa_ < 0) != (divisor.mantissa_ < 0);
    const Mantissa m = Mantissa(q.low128());
    return fromScaled(negative ? -m : m, scale);
}

Decimal Decimal::integerPart() const {
    return fromScaled(mantissa_ / Mantissa(kPow10[size_t(scale_)]), 0);
}

Decimal Decimal::operator-() const {
    return fromScaled(-mantissa_, scale_);
}

Decimal operator+(const Decimal& a, const Decimal& b) {
    const int scale = std::max(a.scale_, b.scale_);
    Mantissa x = 0, y = 0, sum = 0;
    if (__builtin_mul_overflow(a.mantissa_, Mantissa(kPow10[size_t(scale - a.scale_)]), &x) ||
        __builtin_mul_overflow(b.mantissa_, Mantissa(kPow10[size_t(scale - b.scale_)]), &y) ||
        __builtin_add_overflow(x, y, &sum))
        overflow();
    return make(U256::from(magnitude(sum)), sum < 0, scale, scale);
}

Decimal operator-(const Decimal& a, const Decimal& b) {
    return a + (-b);
}

Decimal operator*(const Decimal& a, const Decimal& b) {
    const U256 product = multiply(magnitude(a.mantissa_), magnitude(b.mantissa_));
    const bool negative = (a.mantissa_ < 0) != (b.mantissa_ < 0) && !product.isZero();
    // 2.00 * 12.00 keeps two decimals, not four.
    return make(product, negative, a.scale_ + b.scale_, std::max(a.scale_, b.scale_));
}

int Decimal::compare(const Decimal& a, const Decimal& b) {
    if (a.sign() != b.sign())
        return a.sign() < b.sign() ? -1 : 1;
    // Same sign: compare the magnitudes' integer parts, then their fractions
    // brought to 18 decimals; neither step can overflow.
    const U128 ma = magnitude(a.mantissa_), mb = magnitude(b.mantissa_);
    const U128 pa = kPow10[size_t(a.scale_)], pb = kPow10[size_t(b.scale_)];
    int byMagnitude = 0;
    if (ma / pa != mb / pb) {
        byMagnitude = ma / pa < mb / pb ? -1 : 1;
    } else {
        const U128 fa = (ma % pa) * kPow10[size_t(kMaxScale - a.scale_)];
        const U128 fb = (mb % pb) * kPow10[size_t(kMaxScale - b.scale_)];
        byMagnitude = fa == fb ? 0 : fa < fb ? -1 : 1;
    }
    return a.sign() < 0 ? -byMagnitude : byMagnitude;
}

} // namespace torvika
