#pragma once
// VAT arithmetic shared by sales and documents. Prices include VAT; the VAT
// is extracted from a gross amount at the company's single rate. Everything
// is exact decimal arithmetic, rounded once, half away from zero.

#include "common/amount_words.h"
#include "common/decimal.h"

#include <QString>
#include <QStringView>

namespace torvika {

// A gross amount split into its tax base and its VAT.
struct VatSplit {
    Decimal gross;      // the amount, rounded to the stotinka
    Decimal net;        // gross / (1 + rate / 100), rounded to the stotinka
    Decimal vat;        // gross - net, so that net + vat == gross
    Decimal rate;       // percent
    QString grossText;  // the gross as "%4.2f"
    QString grossWords; // the gross in words (Sum_To_Words)
};

// Splits the gross amount at the rate in percent (10.23 at 20: net 8.53,
// VAT 1.70). Rate 0 gives net = gross and VAT 0. Throws std::invalid_argument
// for a negative rate.
VatSplit splitVat(const Decimal& gross, const Decimal& ratePercent, const CurrencyWords& currency = {});

// The net values of a sale line, in the line's own currency.
struct LineNet {
    Decimal unitNet; // Bez_DDS: unit price / (1 + rate / 100) * (1 - discount / 100)
    Decimal lineNet; // SUM_BezDDS: quantity times the exact unit net
};

// The net values of a line, each computed exactly from the line's values and
// rounded once to `decimals` (the display decimals, kept within 0..18). A
// negative discount is a surcharge. Throws std::invalid_argument for a
// negative rate.
LineNet lineNet(const Decimal& quantity, const Decimal& unitPrice, const Decimal& discountPercent,
                const Decimal& ratePercent, int decimals);

// The company's VAT rate from its settings text ("20", "20.00", "9,5"); an
// empty or blank text is 0. Throws EConvertError for a text that is no number
// or a negative one.
Decimal vatRateFromText(QStringView text);

} // namespace torvika
