#include "common/number_column.h"

#include "common/errors.h"
#include "common/texts.h"

namespace torvika {

QVariant numberColumnValue(const Decimal& value) {
    return value.toDouble();
}

Decimal fromNumberColumn(const QVariant& value, int decimals) {
    return Decimal::fromVariant(value).value_or(Decimal()).rounded(decimals);
}

QVariant typedNumberValue(const QString& typed) {
    const std::optional<Decimal> d = Decimal::parse(typed);
    if (!d)
        throw EConvertError(texts::kNotANumber.arg(typed));
    if (*d == d->integerPart()) {
        bool ok = false;
        const qint64 n = d->toString().toLongLong(&ok);
        if (ok)
            return n;
    }
    return numberColumnValue(*d);
}

} // namespace torvika
