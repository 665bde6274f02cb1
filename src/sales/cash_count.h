#pragma once
// The cash desk count "КАСА": the cash this workstation took today (its
// cash sales and the instalments paid there, each line at the rate of its
// currency), the notes and coins counted in the drawer, what is in hand,
// the difference, and the count report (TEMP/Account.tmp).
//
// The coins and notes are data of the base currency: the lev's or, when
// the base currency is the euro, the euro's, in the order the panel shows
// them and the report lists them. Amounts are exact decimals.

#include "common/decimal.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace torvika {

// One kind of coin or note: the object name of its count field, its
// caption, its value in the base currency.
struct Denomination {
    QString field;   // "SpEdit_1st"
    QString caption; // "1 ст."
    Decimal value;   // 0.01
    bool coin = true;
};

// The coins and notes of a base currency and the word the report writes
// after its amounts.
struct CashCurrency {
    QString word; // "Лева"
    QList<Denomination> denominations;
};
// The lev: 1, 2, 5, 10, 20, 50 stotinki; 1, 2 leva coins and 5 to 100
// leva notes, counted as the program always has (1 and 2 leva under
// "Банкноти").
CashCurrency levCash();
// The euro: 1, 2, 5, 10, 20, 50 cents, 1 and 2 euro coins; 5 to 500 euro notes.
CashCurrency euroCash();
// The coins and notes of the base currency named so (Valuti.Opisanie of
// the base currency): the euro's for the euro, the lev's otherwise.
CashCurrency cashCurrencyFor(const QString& baseCurrency);

// The cash of the day: the rows of the day recorded by the terminal and
// paid "в брой" (cash sales and instalment payments), each line's amount
// in the base currency rounded to the decimals, added exactly. Lines in a
// currency without a rate are left out and named. 0 for a day without any.
struct Turnover {
    Decimal cash;
    QStringList currenciesWithoutRate;
};
// Throws EDatabaseError.
Turnover cashTurnover(const QSqlDatabase& db, const QDate& day, int terminal, int decimals);

// What is in hand: Σ count × value, exactly (3 × 0.10 + 0.20 is 0.50).
// counts holds one count per denomination, in their order (missing ones
// are 0).
Decimal cashInHand(const CashCurrency& currency, const QList<qint64>& counts);

// The count report's lines: "ОТЧЕТ - КАСА", "ЗА ДАТА: " + date and time,
// "СУМА ОБОРОТ: ", "НАЛИЧНОСТ: ", the operator panel's text, an empty
// line, "ВАЛУТЕН ОПИС", a rule, one line per denomination (the count, " x ",
// the value, "  = ", the amount), a rule, "ОБЩО: " + the total.
struct CashCountReport {
    QDateTime now;
    Decimal turnover;
    Decimal inHand;
    QString operatorPanel; // "Оператор: <name>"
    CashCurrency currency;
    QList<qint64> counts;
};
QStringList cashCountReport(const CashCountReport& report);

// Writes the lines (UTF-8, each ended by CR LF) as the file, whole: under a
// temporary name in its directory, renamed into place, so a reader never
// finds half a report and a failure leaves the file before as it was.
// Throws EInOutError saying why it could not be written.
void writeReportFile(const QString& path, const QStringList& lines);

} // namespace torvika
