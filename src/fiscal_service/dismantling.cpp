#include "fiscal_service/dismantling.h"

#include "common/cformat.h"

namespace torvika {

std::optional<Decimal> dismantlingAmount(const QString& typed) {
    return Decimal::parse(typed);
}

Decimal DismantlingTotals::total() const {
    Decimal sum;
    for (const Decimal& a : amounts)
        sum += a;
    return sum;
}

QString DismantlingTotals::totalText() const {
    return formatFixed(total(), 2);
}

QString DismantlingTotals::totalWords(const CurrencyWords& currency) const {
    return Sum_To_Words(total(), currency);
}

} // namespace torvika
