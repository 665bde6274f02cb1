#include "common/amount_words.h"

#include "common/errors.h"

#include <QStringList>
#include <array>

namespace torvika {

namespace {

using Words = std::array<QString, 10>;

// Word tables by digit; a blank at the end of an entry belongs to it.
const Words kUnits = {QString(),
                      QStringLiteral("един"),
                      QStringLiteral("два"),
                      QStringLiteral("три"),
                      QStringLiteral("четири"),
                      QStringLiteral("пет"),
                      QStringLiteral("шест"),
                      QStringLiteral("седем"),
                      QStringLiteral("осем"),
                      QStringLiteral("девет")};
const Words kTeens = {QString(),
                      QStringLiteral("единадесет "),
                      QStringLiteral("дванадесет "),
                      QStringLiteral("тринадесет "),
                      QStringLiteral("четиринадесет "),
                      QStringLiteral("петнадесет "),
                      QStringLiteral("шестнадесет "),
                      QStringLiteral("седемнадесет "),
                      QStringLiteral("осемнадесет "),
                      QStringLiteral("деветнадесет ")};
// Tens when the units digit is zero, and when it is not (no blank after
// "и": the blank after every word separates it from the units).
const Words kTens = {QString(),
                     QStringLiteral("десет "),
                     QStringLiteral("двадесет "),
                     QStringLiteral("тридесет "),
                     QStringLiteral("четиридесет "),
                     QStringLiteral("петдесет "),
                     QStringLiteral("шестдесет "),
                     QStringLiteral("седемдесет "),
                     QStringLiteral("осемдесет "),
                     QStringLiteral("деветдесет ")};
const Words kTensAnd = {QString(),
                        QString(),
                        QStringLiteral("двадесет и"),
                        QStringLiteral("тридесет и"),
                        QStringLiteral("четиридесет и"),
                        QStringLiteral("петдесет и"),
                        QStringLiteral("шестдесет и"),
                        QStringLiteral("седемдесет и"),
                        QStringLiteral("осемдесет и"),
                        QStringLiteral("деветдесет и")};
const Words kHundreds = {QString(),
                         QStringLiteral("сто "),
                         QStringLiteral("двеста "),
                         QStringLiteral("триста "),
                         QStringLiteral("четиристотин "),
                         QStringLiteral("петстотин "),
                         QStringLiteral("шестстотин "),
                         QStringLiteral("седемстотин "),
                         QStringLiteral("осемстотин "),
                         QStringLiteral("деветстотин ")};
const Words kThousands = {QString(),
                          QStringLiteral("хиляда "),
                          QStringLiteral("двехиляди "),
                          QStringLiteral("трихиляди "),
                          QStringLiteral("четирихиляди "),
                          QStringLiteral("петхиляди "),
                          QStringLiteral("шестхиляди "),
                          QStringLiteral("седемхиляди "),
                          QStringLiteral("осемхиляди "),
                          QStringLiteral("деветхиляди ")};
// Tens of thousands when the thousands digit is zero; "единадесет хиляди "
// and so on by the thousands digit when the ten is 1; the ten followed by
// the thousands word otherwise.
const Words kTenThousands = {QString(),
                             QStringLiteral("десетхиляди "),
                             QStringLiteral("двадесетхиляди "),
                             QStringLiteral("тридесетхиляди "),
                             QStringLiteral("четиридесетхиляди "),
                             QStringLiteral("петдесетхиляди "),
                             QStringLiteral("шестдесетхиляди "),
                             QStringLiteral("седемдесетхиляди "),
                             QStringLiteral("осемдесетхиляди "),
                             QStringLiteral("деветдесетхиляди ")};
const Words kTeenThousands = {QString(),
                              QStringLiteral("единадесет хиляди "),
                              QStringLiteral("дванадесет хиляди "),
                              QStringLiteral("тринадесет хиляди "),
                              QStringLiteral("четиринадесет хиляди "),
                              QStringLiteral("петнадесет хиляди "),
                              QStringLiteral("шестнадесет хиляди "),
                              QStringLiteral("седемнадесет хиляди "),
                              QStringLiteral("осемнадесет хиляди "),
                              QStringLiteral("деветнадесет хиляди ")};
const Words kTenThousandsAnd = {QString(),
                                QString(),
                                QStringLiteral("двадесет и"),
                                QStringLiteral("тридесет и"),
                                QStringLiteral("четиридесет и"),
                                QStringLiteral("петдесет и"),
                                QStringLiteral("шестдесет и"),
                                QStringLiteral("седемдесет и"),
                                QStringLiteral("осемдесет и"),
                                QStringLiteral("деветдесет и")};

// A thousands digit 1 after a ten of 2 to 9 or after a hundred.
const QString kOneThousandAfter = QStringLiteral("една хиляди ");
// After a hundreds word whose lower thousands digits are zero.
const QString kThousandsAfterHundreds = QStringLiteral("хиляди ");
const QString kMillion = QStringLiteral("милион ");
const QString kMillions = QStringLiteral("милиона ");
const QString kMilliard = QStringLiteral("милиард ");
const QString kMilliards = QStringLiteral("милиарда ");
// The words of no whole units, blanks included.
const QString kZeroWords = QStringLiteral(" нула ");

// Whole units from a trillion on are written in figures.
const Decimal kWordsLimit = Decimal(Q_INT64_C(1000000000000));

// The words of 0..999 as the units of an amount: hundreds, tens, units.
void appendHundreds(QStringList& words, int n) {
    const int u = n % 10, t = n / 10 % 10, h = n / 100;
    QString units = kUnits[u];
    QString tens;
    if (t == 1) {
        if (units.isEmpty())
            tens = kTens[1];
        else
            units = kTeens[u];
    } else if (t >= 2) {
        tens = units.isEmpty() ? kTens[t] : kTensAnd[t];
    }
    words << kHundreds[h] << tens << units;
}

// The words of 1..999 thousands: hundreds, tens and units of thousands in
// the forms of the thousands tables.
void appendThousands(QStringList& words, int n) {
    const int k = n % 10, m = n / 10 % 10, h = n / 100;
    QString thousands = kThousands[k];
    if (k == 1 && (m >= 2 || (m == 0 && h > 0)))
        thousands = kOneThousandAfter;
    QString tens;
    if (m == 1) {
        if (thousands.isEmpty()) {
            tens = kTenThousands[1];
        } else {
            tens = kTeenThousands[k];
            thousands.clear();
        }
    } else if (m >= 2) {
        tens = thousands.isEmpty() ? kTenThousands[m] : kTenThousandsAnd[m];
    }
    QString hundreds = kHundreds[h];
    if (!hundreds.isEmpty() && tens.isEmpty() && thousands.isEmpty())
        hundreds += kThousandsAfterHundreds;
    words << hundreds << tens << thousands;
}

// The words of the whole units, each followed by a blank.
QString wholeWords(const Decimal& whole) {
    if (whole.isZero())
        return kZeroWords;
    if (whole >= kWordsLimit)
        return whole.toString() + u' ';
    const qint64 n = whole.toString().toLongLong();
    const int milliards = int(n / 1000000000);
    const int millions = int(n / 1000000 % 1000);
    const int thousands = int(n / 1000 % 1000);
    QStringList words;
    if (milliards > 0) {
        appendHundreds(words, milliards);
        words << (milliards == 1 ? kMilliard : kMilliards);
    }
    if (millions > 0) {
        appendHundreds(words, millions);
        words << (millions == 1 ? kMillion : kMillions);
    }
    if (thousands > 0)
        appendThousands(words, thousands);
    appendHundreds(words, int(n % 1000));
    QString text;
    for (const QString& word : words)
        if (!word.isEmpty())
            text += word + u' ';
    return text;
}

} // namespace

QString Sum_To_Words(const Decimal& amount, const CurrencyWords& currency) {
    const Decimal rounded = amount.rounded(2);
    const Decimal magnitude = rounded.abs();
    const QString cents = magnitude.toFixed(2).right(2);
    QString text = rounded.sign() < 0 ? texts::kMinusWord : QString();
    text += wholeWords(magnitude.integerPart());
    text += currency.major + QStringLiteral(" и ") + cents + u' ' + currency.minor + u' ';
    return text;
}

QString Sum_To_Words(const QVariant& amount, const CurrencyWords& currency) {
    const std::optional<Decimal> value = Decimal::fromVariant(amount);
    if (!value)
        throw EConvertError(texts::kNotANumber.arg(amount.toString()));
    return Sum_To_Words(*value, currency);
}

} // namespace torvika
