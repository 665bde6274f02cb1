#include "sales/cash_count.h"

#include "common/base_currency.h"
#include "common/cformat.h"
#include "common/dates.h"
#include "common/errors.h"
#include "common/number_column.h"
#include "common/sql.h"
#include "sales/sale_lines.h"
#include "sales/texts.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace torvika {

namespace {

Denomination coin(const char* field, const QString& caption, const char* value) {
    return {QString::fromLatin1(field), caption, Decimal(value), true};
}

Denomination note(const char* field, const QString& caption, const char* value) {
    return {QString::fromLatin1(field), caption, Decimal(value), false};
}

const QString kRule = QStringLiteral("-------------------------");

} // namespace

CashCurrency levCash() {
    return {QStringLiteral("Лева"),
            {coin("SpEdit_1st", QStringLiteral("1 ст."), "0.01"),
             coin("SpEdit_2st", QStringLiteral("2 ст."), "0.02"),
             coin("SpEdit_5st", QStringLiteral("5 ст."), "0.05"),
             coin("SpEdit_10st", QStringLiteral("10 ст."), "0.10"),
             coin("SpEdit_20st", QStringLiteral("20 ст."), "0.20"),
             coin("SpEdit_50st", QStringLiteral("50 ст."), "0.50"),
             note("SpEdit_1lv", QStringLiteral("1 лв."), "1"),
             note("SpEdit_2lv", QStringLiteral("2 лв."), "2"),
             note("SpEdit_5lv", QStringLiteral("5 лв."), "5"),
             note("SpEdit_10lv", QStringLiteral("10 лв."), "10"),
             note("SpEdit_20lv", QStringLiteral("20 лв."), "20"),
             note("SpEdit_50lv", QStringLiteral("50 лв."), "50"),
             note("SpEdit_100lv", QStringLiteral("100 лв."), "100")}};
}

CashCurrency euroCash() {
    return {QStringLiteral("Евро"),
            {coin("SpEdit_1c", QStringLiteral("1 цент"), "0.01"),
             coin("SpEdit_2c", QStringLiteral("2 цента"), "0.02"),
             coin("SpEdit_5c", QStringLiteral("5 цента"), "0.05"),
             coin("SpEdit_10c", QStringLiteral("10 цента"), "0.10"),
             coin("SpEdit_20c", QStringLiteral("20 цента"), "0.20"),
             coin("SpEdit_50c", QStringLiteral("50 цента"), "0.50"),
             coin("SpEdit_1eur", QStringLiteral("1 евро"), "1"),
             coin("SpEdit_2eur", QStringLiteral("2 евро"), "2"),
             note("SpEdit_5eur", QStringLiteral("5 евро"), "5"),
             note("SpEdit_10eur", QStringLiteral("10 евро"), "10"),
             note("SpEdit_20eur", QStringLiteral("20 евро"), "20"),
             note("SpEdit_50eur", QStringLiteral("50 евро"), "50"),
             note("SpEdit_100eur", QStringLiteral("100 евро"), "100"),
             note("SpEdit_200eur", QStringLiteral("200 евро"), "200"),
             note("SpEdit_500eur", QStringLiteral("500 евро"), "500")}};
}

CashCurrency cashCurrencyFor(const QString& baseCurrency) {
    if (currencyKind(baseCurrency) == CurrencyKind::Euro)
        return euroCash();
    return levCash();
}

Turnover cashTurnover(const QSqlDatabase& db, const QDate& day, int terminal, int decimals) {
    // Lines of the same figures are read once and counted.
    QSqlQuery q =
        execSql(db,
                QStringLiteral("SELECT P.Kol, P.ED_Cena, V.Kurs, P.T_O, P.Valuta, COUNT(*) FROM Prodajbi P "
                               "LEFT JOIN Valuti V ON V.Opisanie = P.Valuta "
                               "WHERE P.D_Prodajba = ? AND P.Term_N = ? AND P.Type_Pay = ? "
                               "GROUP BY P.Kol, P.ED_Cena, V.Kurs, P.T_O, P.Valuta"),
                {isoDate(day), terminal, texts::kPayCash});
    Turnover t;
    while (q.next()) {
        if (q.value(2).isNull()) {
            if (!t.currenciesWithoutRate.contains(q.value(4).toString()))
                t.currenciesWithoutRate << q.value(4).toString();
            continue;
        }
        t.cash += lineAmount(fromNumberColumn(q.value(0), 6), fromNumberColumn(q.value(1), 6),
                             fromNumberColumn(q.value(2), 8), fromNumberColumn(q.value(3), 8), decimals) *
                  Decimal(q.value(5).toLongLong());
    }
    return t;
}

Decimal cashInHand(const CashCurrency& currency, const QList<qint64>& counts) {
    Decimal sum;
    for (int i = 0; i < currency.denominations.size(); ++i)
        sum += currency.denominations[i].value * Decimal(counts.value(i));
    return sum;
}

QStringList cashCountReport(const CashCountReport& r) {
    const QString word = u' ' + r.currency.word;
    QStringList lines{QStringLiteral("ОТЧЕТ - КАСА"),
                      QStringLiteral("ЗА ДАТА: ") + shortDate(r.now.date()) + u' ' + shortTime(r.now.time()),
                      QStringLiteral("СУМА ОБОРОТ: ") + format42(r.turnover) + word,
                      QStringLiteral("НАЛИЧНОСТ: ") + format42(r.inHand) + word,
                      r.operatorPanel,
                      QString(),
                      QStringLiteral("ВАЛУТЕН ОПИС"),
                      kRule};
    for (int i = 0; i < r.currency.denominations.size(); ++i) {
        const Denomination& d = r.currency.denominations[i];
        const qint64 count = r.counts.value(i);
        lines << QString::number(count) + QStringLiteral(" x ") + d.value.toFixed(2) +
                     QStringLiteral("  = ") + format42(d.value * Decimal(count));
    }
    lines << kRule << QStringLiteral("ОБЩО: ") + format42(r.inHand);
    return lines;
}

void writeReportFile(const QString& path, const QStringList& lines) {
    const QString dir = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(dir))
        throw EInOutError(texts::kDirectoryNotCreated.arg(QDir::toNativeSeparators(dir)));
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += line.toUtf8() + "\r\n";
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
        throw EInOutError(texts::kReportNotWritten.arg(QDir::toNativeSeparators(path), f.errorString()));
}

} // namespace torvika
