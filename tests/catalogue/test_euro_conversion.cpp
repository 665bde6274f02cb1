// The change of a company's books from the lev to the euro: each lev price
// divided by 1.95583 and rounded once (the statement's arithmetic checked
// against the exact decimal), what it touches and leaves, its undoing to
// the very values before, and its refusals while a sale is open on another
// workstation and after the first sale in euro.

#include "catalogue/euro_conversion.h"
#include "catalogue/texts.h"
#include "common/base_currency.h"
#include "common/number_column.h"
#include "common/sql.h"
#include "support/fixture.h"

#include <QRandomGenerator>
#include <QTest>

using namespace torvika;

namespace {

const QDateTime kNow(QDate(2026, 1, 1), QTime(8, 0));

// A statement's rows as texts, doubles with all their digits, so that a
// value restored differs from the one before in no bit.
QStringList dump(const QSqlDatabase& db, const QString& sql) {
    QStringList out;
    QSqlQuery q = execSql(db, sql);
    while (q.next()) {
        QStringList row;
        for (int i = 0; i < q.record().count(); ++i) {
            const QVariant v = q.value(i);
            row << (v.isNull()                        ? QStringLiteral("NULL")
                    : v.typeId() == QMetaType::Double ? QString::number(v.toDouble(), 'g', 17)
                                                      : v.toString());
        }
        out << row.join(u'|');
    }
    return out;
}

QStringList snapshot(const QSqlDatabase& db) {
    QStringList out;
    for (const char* sql :
         {"SELECT ID, Ed_Cena, Valuta_P, Dostavna_Cena, Valuta_D FROM Produkti ORDER BY ID",
          "SELECT ID, Cena_1, Cena_2, Cena_3, Valuta FROM Art_CL ORDER BY ID",
          "SELECT ID_Klient, Otnasq_se_za, ID_Art_Gr, T_O, Suma_Up FROM Sp_Otstapka ORDER BY ID_Klient, "
          "ID_Art_Gr, T_O, Suma_Up",
          "SELECT ID, Payed, First_Vnosk, Suma, Valuta FROM Konsignation ORDER BY ID",
          "SELECT ID_Konsign, ID, Data_Pay, Procent_pay, Suma FROM Vnoski ORDER BY ID_Konsign, ID, Suma",
          "SELECT Opisanie, Kurs, Osn FROM Valuti ORDER BY Opisanie",
          "SELECT ID, Formula FROM Cenovi_Grupi ORDER BY ID"})
        out << QString::fromUtf8(sql).section(u' ', 3, 3) + u':' +
                   dump(db, QString::fromUtf8(sql)).join(u';');
    return out;
}

void article(const QSqlDatabase& db, qint64 id, const QVariant& price, const QString& currency,
             const QVariant& delivery = 0.5, const QString& deliveryCurrency = QStringLiteral("Лева")) {
    execSql(
        db,
        "INSERT INTO Produkti (ID, Opisanie, Ed_Cena, Valuta_P, Dostavna_Cena, Valuta_D) VALUES (?, ?, ?, ?, "
        "?, ?)",
        {id, QStringLiteral("Артикул %1").arg(id), price, currency, delivery, deliveryCurrency});
}

Decimal price(const QSqlDatabase& db, qint64 id) {
    return fromNumberColumn(scalarSql(db, "SELECT Ed_Cena FROM Produkti WHERE ID = ?", {id}));
}

} // namespace

class EuroConversionTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    QSqlDatabase db() { return fx_->db(); }

    // A lev company with a little of everything that converts, and of what
    // does not: a USD article, a paid-off credit.
    void fillCompany() {
        article(db(), 1, 9.99, "Лева");
        article(db(), 2, 19.99, "BGL", 12.3456, "USD");
        article(db(), 3, 10, "USD");
        article(db(), 4, QVariant(), "Лева", QVariant());
        execSql(db(), "INSERT INTO Art_CL (ID, Opisanie, Cena_1, Cena_2, Cena_3, Valuta) VALUES "
                      "(1, 'Лист', 1.5, 2.5, 3.5, 'Лева'), (2, 'Лист USD', 1, 2, 3, 'USD')");
        // Two thresholds of one counterparty and article, and no threshold.
        execSql(db(), "INSERT INTO Sp_Otstapka (ID_Klient, Otnasq_se_za, ID_Art_Gr, T_O, Suma_Up) VALUES "
                      "(5, 'A', 1, 5, 100), (5, 'A', 1, 10, 200.004), (6, 'G', 2, 3, 0)");
        execSql(db(),
                "INSERT INTO Konsignation (ID, ID_Kontrag, Broj_Vnosk, Payed, First_Vnosk, Lihva, Suma, "
                "Valuta) VALUES (1, 5, 3, 'False', 10, 0, 300, 'Лева'), (2, 5, 2, 'TRUE', 0, 0, 50, 'Лева'), "
                "(3, 6, 2, NULL, 0, 0, 80, NULL)");
        execSql(db(), "INSERT INTO Vnoski (ID, Data_Pay, ID_Konsign, Procent_pay, Suma) VALUES "
                      "(1, '2025-12-01', 1, 50, 48.33), (1, '2025-12-02', 1, 50, 48.34), "
                      "(1, '2025-12-01', 2, 100, 25)");
        // Price groups: an amount in a formula, factors only, amounts that cannot be told.
        execSql(db(), "INSERT INTO Cenovi_Grupi (ID, Opisanie, Formula, Koeficient, Ot_Dostavna) VALUES "
                      "(1, 'Надценка', 'D*1.2+2', 1, 'True'), (2, 'Дребно', 'P-10%', 1, 'False'), "
                      "(3, 'Особена', 'P*D', 1, 'False')");
    }

private slots:
    void init() { fx_ = std::make_unique<test::Fixture>(); }
    void cleanup() { fx_.reset(); }

    // Each lev price divided exactly and rounded half up once.
    void pricesRoundedOnce_data() {
        QTest::addColumn<double>("leva");
        QTest::addColumn<QString>("euro");
        QTest::newRow("the rate") << 1.95583 << "1.00";
        QTest::newRow("1.955825") << 1.955825 << "1.00";
        QTest::newRow("a stotinka") << 0.01 << "0.01";
        QTest::newRow("exactly half a cent") << 0.00977915 << "0.01";
        QTest::newRow("below half a cent") << 0.00977914 << "0.00";
        QTest::newRow("negative half a cent") << -0.00977915 << "-0.01";
        QTest::newRow("no double rounding") << 2.9235 << "1.49";
        QTest::newRow("19.99") << 19.99 << "10.22";
        QTest::newRow("a milliard") << 1e9 << "511291881.20";
        QTest::newRow("ten milliards and a stotinka") << 10000000000.01 << "5112918811.97";
        QTest::newRow("zero") << 0.0 << "0.00";
    }
    void pricesRoundedOnce() {
        QFETCH(double, leva);
        QFETCH(QString, euro);
        article(db(), 1, leva, "Лева");
        const EuroConversionResult r = convertToEuro(db(), "Администратор", kNow);
        QVERIFY2(r.done(), qPrintable(r.refusal));
        QCOMPARE(price(db(), 1).toFixed(2), euro);
        QCOMPARE(levToEuro(*Decimal::fromVariant(leva)).toFixed(2), euro);
        QCOMPARE(scalarSql(db(), "SELECT Valuta_P FROM Produkti WHERE ID = 1").toString(), "EUR");
    }

    // The statement's integer arithmetic gives what the exact decimal gives,
    // for prices of up to four decimals and the half cents of eight.
    void statementAgreesWithDecimal() {
        QRandomGenerator random(2026);
        QList<double> prices;
        for (int i = 0; i < 3000; ++i)
            prices << double(random.bounded(100000000)) / (i % 2 ? 100 : 10000);
        for (int k = 1; k < 200; k += 2) // (k / 2) cents: half cents exactly
            prices << (Decimal(k) * Decimal::fromScaled(977915, 8)).toDouble();
        for (int i = 0; i < prices.size(); ++i)
            article(db(), i + 1, prices[i], "Лева");
        QSqlQuery q =
            execSql(db(), "SELECT ID, Ed_Cena, " + euroCentsSql("Ed_Cena") + " FROM Produkti ORDER BY ID");
        int rows = 0;
        while (q.next()) {
            const Decimal leva = fromNumberColumn(q.value(1));
            const Decimal cents = Decimal(q.value(2).toLongLong());
            QVERIFY2(cents == levToEuro(leva) * 100, qPrintable(leva.toString()));
            ++rows;
        }
        QCOMPARE(rows, int(prices.size()));
    }

    // What converts, what stays, and the undoing that leaves every value as
    // it was, to the bit.
    void convertAndBack() {
        fillCompany();
        const QStringList before = snapshot(db());
        const EuroConversionResult r = convertToEuro(db(), "Администратор", kNow);
        QVERIFY2(r.done(), qPrintable(r.refusal));
        QCOMPARE(r.articles, 3); // 1, 2 and 4 (without a price)
        QCOMPARE(r.priceListRows, 1);
        QCOMPARE(r.discounts, 2);
        QCOMPARE(r.credits, 2);
        QCOMPARE(r.formulas, 1);
        QCOMPARE(r.formulasLeft, QStringList{"Особена"});
        QCOMPARE(dump(db(), "SELECT Formula FROM Cenovi_Grupi ORDER BY ID"),
                 (QStringList{"D*1.2+1.02258376", "P-10%", "P*D"}));
        QVERIFY(loadBaseCurrency(db()).isEuro());
        QCOMPARE(
            dump(db(), "SELECT ID, Ed_Cena, Valuta_P, Dostavna_Cena, Valuta_D FROM Produkti ORDER BY ID"),
            (QStringList{"1|5.1100000000000003|EUR|0.26000000000000001|EUR",
                         "2|10.220000000000001|EUR|12.345599999999999|USD",
                         "3|10|USD|0.26000000000000001|EUR", "4|NULL|EUR|NULL|EUR"}));
        QCOMPARE(dump(db(), "SELECT Cena_1, Cena_2, Cena_3, Valuta FROM Art_CL ORDER BY ID"),
                 (QStringList{"0.77000000000000002|1.28|1.79|EUR", "1|2|3|USD"}));
        QCOMPARE(dump(db(), "SELECT T_O, Suma_Up FROM Sp_Otstapka ORDER BY ID_Klient, T_O"),
                 (QStringList{"5|51.130000000000003", "10|102.26000000000001", "3|0"}));
        // The open credits (an unpaid one, one of an earlier version without
        // a currency) and their payments; the paid-off credit stays.
        QCOMPARE(dump(db(), "SELECT ID, First_Vnosk, Suma, Valuta FROM Konsignation ORDER BY ID"),
                 (QStringList{"1|5.1100000000000003|153.38999999999999|EUR", "2|0|50|Лева",
                              "3|0|40.899999999999999|EUR"}));
        QCOMPARE(dump(db(), "SELECT ID_Konsign, Suma FROM Vnoski ORDER BY ID_Konsign, Suma"),
                 (QStringList{"1|24.710000000000001", "1|24.719999999999999", "2|25"}));
        // The rates against the euro.
        QCOMPARE(dump(db(), "SELECT Opisanie, Kurs, Osn FROM Valuti ORDER BY Opisanie"),
                 (QStringList{"BGL|0.51129188000000003|False", "EUR|1|True", "USD|0.86919619999999997|False",
                              "Лева|0.51129188000000003|False"}));
        const EuroConversionInfo info = lastEuroConversion(db());
        QCOMPARE(info.id, r.id);
        QCOMPARE(info.when, kNow);
        QVERIFY(info.reversible);

        const EuroReversalResult back = reverseEuroConversion(db(), kNow.addSecs(60));
        QVERIFY2(back.done(), qPrintable(back.refusal));
        QCOMPARE(snapshot(db()), before);
        QCOMPARE(loadBaseCurrency(db()).name, "Лева");
        QCOMPARE(lastEuroConversion(db()).id, 0);
        QCOMPARE(reverseEuroConversion(db(), kNow).refusal, texts::kEuroNothingToReverse);
        // And once more: the second conversion gives the first one's values.
        QVERIFY(convertToEuro(db(), "Администратор", kNow).done());
        QCOMPARE(price(db(), 1).toFixed(2), "5.11");
    }

    // A company already in euro has nothing in lev to convert.
    void refusedInEuro() {
        article(db(), 1, 9.99, "Лева");
        QVERIFY(convertToEuro(db(), "Администратор", kNow).done());
        const EuroConversionResult again = convertToEuro(db(), "Администратор", kNow);
        QCOMPARE(again.refusal, texts::kEuroBaseNotLev.arg("EUR"));
        QCOMPARE(price(db(), 1).toFixed(2), "5.11");
    }

    // A sale being entered on another workstation: neither the conversion
    // nor its undoing runs, and nothing is written.
    void refusedWhileASaleIsOpenElsewhere() {
        fillCompany();
        const QStringList before = snapshot(db());
        {
            QSqlDatabase other = fx_->openWorkstation("other");
            execSql(other,
                    "INSERT INTO Prodajbi_Vremenni (Barkod, Opisanie, Kol, Ed_Cena, Valuta, Operator, Sm_N) "
                    "VALUES (1, 'Артикул 1', 1, 9.99, 'Лева', 'Каса 2', 0)");
            const EuroConversionResult r = convertToEuro(db(), "Администратор", kNow);
            QCOMPARE(r.refusal, texts::kEuroSaleOpen);
            QCOMPARE(snapshot(db()), before);
            QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Euro_Prehod").toInt(), 0);
            execSql(other, "DELETE FROM Prodajbi_Vremenni");
            QVERIFY(convertToEuro(db(), "Администратор", kNow).done());
            const QStringList converted = snapshot(db());
            execSql(other,
                    "INSERT INTO Prodajbi_Vremenni (Barkod, Opisanie, Kol, Ed_Cena, Valuta, Operator, Sm_N) "
                    "VALUES (1, 'Артикул 1', 1, 5.11, 'EUR', 'Каса 2', 0)");
            QCOMPARE(reverseEuroConversion(db(), kNow).refusal, texts::kEuroSaleOpen);
            QCOMPARE(snapshot(db()), converted);
        }
        QSqlDatabase::removeDatabase("other");
    }

    // Once a sale is made in euro the conversion stays.
    void refusedAfterTheFirstEuroSale() {
        fillCompany();
        execSql(db(), "INSERT INTO Prodajbi (ID_Prodajba, ID_Art, Kol, ED_Cena, Valuta) VALUES (7, 1, 1, "
                      "9.99, 'Лева')");
        QVERIFY(convertToEuro(db(), "Администратор", kNow).done());
        QVERIFY(lastEuroConversion(db()).reversible);
        execSql(
            db(),
            "INSERT INTO Prodajbi (ID_Prodajba, ID_Art, Kol, ED_Cena, Valuta) VALUES (8, 1, 1, 5.11, 'EUR')");
        QVERIFY(!lastEuroConversion(db()).reversible);
        const QStringList converted = snapshot(db());
        QCOMPARE(reverseEuroConversion(db(), kNow).refusal, texts::kEuroSoldSince);
        QCOMPARE(snapshot(db()), converted);
        QVERIFY(loadBaseCurrency(db()).isEuro());
    }
};

QTEST_GUILESS_MAIN(EuroConversionTest)
#include "test_euro_conversion.moc"
