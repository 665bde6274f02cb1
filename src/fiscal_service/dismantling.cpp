#include "fiscal_service/dismantling.h"

#include "common/cformat.h"
#include "common/dates.h"

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

QString DismantlingTotals::totalWords() const {
    return Sum_To_Words(total(), words);
}

QHash<QString, QString> dismantlingFields(const DismantlingTotals& totals) {
    QHash<QString, QString> f;
    const QStringList groups{QStringLiteral("А"), QStringLiteral("Б"), QStringLiteral("В"),
                             QStringLiteral("Г")};
    for (int i = 0; i < 4; ++i)
        f.insert(QStringLiteral("Ставка ") + groups[i], formatFixed(totals.amounts[i], 2));
    f.insert(QStringLiteral("Обща сума"), totals.totalText());
    f.insert(QStringLiteral("Словом"), totals.totalWords());
    f.insert(QStringLiteral("От дата"), shortDate(totals.from));
    f.insert(QStringLiteral("До дата"), shortDate(totals.to));
    return f;
}

} // namespace torvika
