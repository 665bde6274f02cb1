#pragma once
// The company's base currency, in one place: the currency its books are
// kept in (the row of Valuti marked Osn, at rate 1), whether that is the
// lev or the euro, the words of its amounts in words and its signs. Every
// total, VAT split, receipt, document, cash count and report names the base
// currency through here, so a company keeps its books in lev or in euro by
// its database alone, the same on every workstation.
//
// The lev and the euro are tied by the fixed rate 1 EUR = 1.95583 BGN: a lev
// amount becomes euro by dividing by the rate exactly and rounding half up
// to the cent once, at the end; a euro amount becomes lev by multiplying.

#include "common/amount_words.h"
#include "common/decimal.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>

namespace torvika {

enum class CurrencyKind { Lev, Euro, Other };

// The kind a currency name stands for ("Лева", "BGL", "BGN", "лв." are the
// lev; "EUR", "Евро", "euro", "€" the euro), letter case and blanks ignored.
CurrencyKind currencyKind(const QString& name);

// 1.95583: leva for one euro.
Decimal euroRate();
// The lev amount in euro, to the cent (half up, from the exact quotient).
Decimal levToEuro(const Decimal& leva);
// The euro amount in leva, to the stotinka.
Decimal euroToLev(const Decimal& euro);

struct BaseCurrency {
    QString name; // Valuti.Opisanie of the base currency ("Лева", "EUR")
    CurrencyKind kind = CurrencyKind::Lev;
    CurrencyWords words;   // "лева"/"стотинки", "евро"/"цента"
    QString sign;          // after an amount: "лв.", "EUR"
    QString totalsCaption; // a column of totals: "Общо в лева", "Общо в евро"
    bool isEuro() const { return kind == CurrencyKind::Euro; }
};

// The base currency of that name (the lev's words for a currency that is
// neither lev nor euro, whose words nobody has given).
BaseCurrency baseCurrencyNamed(const QString& name);
// The lev, as a company that never chose kept its books.
BaseCurrency levBase();
BaseCurrency euroBase();
// The company's base currency, read from Valuti; the lev when no row is
// marked. Throws EDatabaseError.
BaseCurrency loadBaseCurrency(const QSqlDatabase& db);
// The base currency for a caption or a column title, which must show
// something: the lev when the database cannot be read (the failure logged).
BaseCurrency baseCurrencyForCaptions(const QSqlDatabase& db);
// The name of the base currency's Valuti row; empty when no row is marked.
// Throws EDatabaseError.
QString baseCurrencyRowName(const QSqlDatabase& db);

// The day Bulgaria adopted the euro (1 January 2026): a company made from
// then on keeps its books in euro.
QDate euroAdoptionDay();
// A lev rate (leva for one unit) as a rate against the euro: divided by
// 1.95583 exactly, to the rate column's 8 decimals.
Decimal euroBasedRate(const Decimal& levRate);
// Makes the euro the base currency of a company that has no prices yet (a
// database just made): the euro row (added when missing) at rate 1, every
// other rate divided by 1.95583. A company without Valuti, or whose base is
// not the lev, is left alone. Throws EDatabaseError.
void makeEuroTheBaseOfNewCompany(const QSqlDatabase& db);

// An amount of the base currency with its equivalent in the other one of
// the pair lev/euro, euro first: "10.00 EUR / 19.56 лв.". The equivalent is
// converted once from the amount shown (rounded to the cent first).
QString dualAmountText(const Decimal& amount, CurrencyKind base);

// The first day prices and totals were shown in both currencies: a month
// after the decision that Bulgaria adopts the euro (8 August 2025).
QDate dualDisplayStart();
// Whether amounts are shown in both currencies today: from that first day
// until the setting's day (ISO text). An empty or unreadable text: not shown.
bool dualDisplayOn(const QString& until, const QDate& today);
// The dual text of the amount when it is shown today and the base currency
// is the lev or the euro; empty otherwise.
QString dualAmountToday(const Decimal& amount, CurrencyKind base, const QString& until, const QDate& today);

} // namespace torvika
