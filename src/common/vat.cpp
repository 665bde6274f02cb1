#include "common/vat.h"

#include "common/cformat.h"
#include "common/errors.h"
#include "common/texts.h"

#include <algorithm>
#include <stdexcept>

namespace torvika {

namespace {

void checkRate(const Decimal& ratePercent) {
    if (ratePercent.sign() < 0)
        throw std::invalid_argument("VAT: negative rate");
}

} // namespace

VatSplit splitVat(const Decimal& gross, const Decimal& ratePercent, const CurrencyWords& currency) {
    checkRate(ratePercent);
    VatSplit split;
    split.gross = gross.rounded(2);
    split.rate = ratePercent;
    // gross / (1 + rate / 100) == gross * 100 / (100 + rate), one rounding.
    split.net = (split.gross * 100).divided(ratePercent + 100, 2);
    split.vat = split.gross - split.net;
    split.grossText = format42(split.gross);
    split.grossWords = Sum_To_Words(split.gross, currency);
    return split;
}

LineNet lineNet(const Decimal& quantity, const Decimal& unitPrice, const Decimal& discountPercent,
                const Decimal& ratePercent, int decimals) {
    checkRate(ratePercent);
    decimals = std::clamp(decimals, 0, Decimal::kMaxScale);
    // price / (1 + rate / 100) * (1 - discount / 100)
    //   == price * (100 - discount) / (100 + rate)
    const Decimal numerator = unitPrice * (Decimal(100) - discountPercent);
    const Decimal denominator = ratePercent + 100;
    LineNet net;
    net.unitNet = numerator.divided(denominator, decimals);
    net.lineNet = (quantity * numerator).divided(denominator, decimals);
    return net;
}

VatRates VatRates::defaults() {
    VatRates r;
    r.groups = {Decimal(0), Decimal(20), Decimal(20), Decimal(9)};
    return r;
}

VatRates VatRates::uniform(const Decimal& rate) {
    VatRates r;
    r.groups.fill(rate);
    return r;
}

Decimal VatRates::of(int group) const {
    return group >= 0 && group < kTaxGroupCount ? groups[size_t(group)] : groups[kStandardTaxGroup];
}

QString taxGroupLetter(int group) {
    static const QString letters[kTaxGroupCount] = {QStringLiteral("А"), QStringLiteral("Б"),
                                                    QStringLiteral("В"), QStringLiteral("Г")};
    return group >= 0 && group < kTaxGroupCount ? letters[group] : QString();
}

VatTotals splitVatByRate(const QList<VatLine>& lines, const CurrencyWords& currency) {
    VatTotals t;
    QList<std::pair<Decimal, Decimal>> sums; // rate, gross
    for (const VatLine& l : lines) {
        checkRate(l.rate);
        t.lineRates.insert(l.line, l.rate);
        auto it = std::find_if(sums.begin(), sums.end(), [&](const auto& s) { return s.first == l.rate; });
        if (it == sums.end())
            sums.append({l.rate, l.gross});
        else
            it->second += l.gross;
    }
    std::sort(sums.begin(), sums.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [rate, gross] : sums) {
        const VatSplit s = splitVat(gross, rate, currency);
        t.rates.append({rate, s.gross, s.net, s.vat});
        t.gross += s.gross;
        t.net += s.net;
        t.vat += s.vat;
    }
    t.grossText = format42(t.gross);
    t.grossWords = Sum_To_Words(t.gross, currency);
    return t;
}

Decimal vatRateFromText(QStringView text) {
    if (text.trimmed().isEmpty())
        return 0;
    const std::optional<Decimal> rate = Decimal::parse(text);
    if (!rate || rate->sign() < 0)
        throw EConvertError(texts::kVatRateInvalid.arg(text));
    return *rate;
}

} // namespace torvika
