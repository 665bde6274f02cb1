#pragma once
// VAT arithmetic shared by sales and documents. Prices include VAT; the VAT
// is extracted from a gross amount at the rate of the line's tax group (А,
// Б, В, Г), and a document's amounts are split per rate. Everything is exact
// decimal arithmetic, rounded once, half away from zero.

#include "common/amount_words.h"
#include "common/decimal.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>
#include <array>

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

// The rates of the four tax groups (Dan_Grup 0 А, 1 Б, 2 В, 3 Г), in percent.
inline constexpr int kTaxGroupCount = 4;
// The group of the standard rate, and of lines that name no known group.
inline constexpr int kStandardTaxGroup = 1;
struct VatRates {
    std::array<Decimal, kTaxGroupCount> groups;

    // А 0 %, Б 20 %, В 20 %, Г 9 %.
    static VatRates defaults();
    // Every group at one rate (a company not registered for VAT: 0).
    static VatRates uniform(const Decimal& rate);
    // The rate of the group; a group outside 0..3 (a damaged line) takes the
    // standard group's rate.
    Decimal of(int group) const;
    bool operator==(const VatRates&) const = default;
};

// "А", "Б", "В", "Г"; empty outside 0..3.
QString taxGroupLetter(int group);

// One rate's part of a document: the gross of its lines, its tax base and
// its VAT (net + VAT == gross).
struct VatByRate {
    Decimal rate;
    Decimal gross;
    Decimal net;
    Decimal vat;
};

// A line of a document or a sale: its number, its rate and its gross amount
// in the base currency.
struct VatLine {
    qint64 line = 0;
    Decimal rate;
    Decimal gross;
};

// Amounts split per rate: the totals, the part of each rate, and each line's
// rate.
struct VatTotals {
    Decimal gross; // the sum of the rates' gross amounts
    Decimal net;   // the sum of the rates' tax bases
    Decimal vat;   // the sum of the rates' VAT
    // One part per rate the lines have, by rising rate.
    QList<VatByRate> rates;
    // The rate of each line, by its number.
    QHash<qint64, Decimal> lineRates;
    QString grossText;  // the gross as "%4.2f"
    QString grossWords; // the gross in words (Sum_To_Words)
};

// Sums the lines' gross amounts per rate, each sum taken to the stotinka,
// and splits each sum once (splitVat), so the VAT of a rate is that of its
// base and the totals are the sums of the parts. Throws
// std::invalid_argument for a negative rate.
VatTotals splitVatByRate(const QList<VatLine>& lines, const CurrencyWords& currency = {});

// The company's VAT rate from its settings text ("20", "20.00", "9,5"); an
// empty or blank text is 0. Throws EConvertError for a text that is no number
// or a negative one.
Decimal vatRateFromText(QStringView text);

} // namespace torvika
