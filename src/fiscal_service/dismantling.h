#pragma once
// The fiscal memory's totals collected when a device is dismantled: one
// amount per tax group А, Б, В, Г, their total in figures and in words.

#include "common/amount_words.h"
#include "common/decimal.h"

#include <QDate>
#include <QHash>
#include <QString>
#include <array>
#include <optional>

namespace torvika {

// An amount as typed: a number with "." or "," as the decimal point
// ("12,50" and "12.50" are the same); nothing for anything else.
std::optional<Decimal> dismantlingAmount(const QString& typed);

struct DismantlingTotals {
    std::array<Decimal, 4> amounts{}; // А, Б, В, Г
    QDate from, to;
    CurrencyWords words; // of the base currency: "лева"/"стотинки", "евро"/"цента"

    Decimal total() const;
    // The total as "Обща сума" shows it: fixed point, two decimals.
    QString totalText() const;
    // The total in words, in the base currency's words.
    QString totalWords() const;
};

// The texts a dismantling protocol's band texts print for "[Ставка А]" ..
// "[Ставка Г]", "[Обща сума]", "[Словом]", "[От дата]" and "[До дата]".
QHash<QString, QString> dismantlingFields(const DismantlingTotals& totals);

} // namespace torvika
