#include "shell/vat_rates.h"

#include "common/errors.h"
#include "common/sql.h"
#include "common/texts.h"
#include "shell/session.h"

namespace torvika {

namespace {

const QString kTable = QStringLiteral("Dan_Grupi");

bool validRate(const Decimal& rate) {
    return rate.sign() >= 0 && rate <= Decimal(100);
}

} // namespace

VatRates storedVatRates(const QSqlDatabase& db) {
    VatRates rates = VatRates::defaults();
    // A database the update has not reached yet keeps the defaults.
    if (tableColumns(db, kTable).isEmpty())
        return rates;
    const SqlRows rows = readRows(db, QStringLiteral("SELECT ID, Stavka FROM Dan_Grupi ORDER BY ID"));
    for (const QVariantList& r : rows.rows) {
        const int group = r[0].toInt();
        if (group < 0 || group >= kTaxGroupCount || r[1].isNull())
            continue;
        const std::optional<Decimal> rate = Decimal::fromVariant(r[1]);
        if (!rate || !validRate(*rate))
            throw EConvertError(texts::kGroupRateInvalid.arg(taxGroupLetter(group), r[1].toString()));
        rates.groups[size_t(group)] = rate->rounded(4);
    }
    return rates;
}

VatRates companyVatRates(Session& session) {
    if (vatRateFromText(session.settings().get(setting::kVatPercent)).isZero())
        return VatRates::uniform(0);
    return storedVatRates(session.db());
}

void setVatRates(const QSqlDatabase& db, const VatRates& rates) {
    for (int g = 0; g < kTaxGroupCount; ++g)
        if (!validRate(rates.of(g)))
            throw EConvertError(texts::kGroupRateInvalid.arg(taxGroupLetter(g), rates.of(g).toString()));
    Transaction tx(db);
    for (int g = 0; g < kTaxGroupCount; ++g) {
        execSql(db, QStringLiteral("DELETE FROM Dan_Grupi WHERE ID = ?"), {g});
        execSql(db, QStringLiteral("INSERT INTO Dan_Grupi (ID, Opisanie, Stavka) VALUES (?, ?, ?)"),
                {g, taxGroupLetter(g), rates.of(g).toDouble()});
    }
    tx.commit();
}

} // namespace torvika
