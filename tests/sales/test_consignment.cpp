// Credit instalments: the total due and the instalments in exact decimals
// (adding up to the total to the stotinka), calendar dates, the terms that
// cannot be taken, the credit recorded with its sale and first instalment
// in one transaction, payments in full and in part closing the credit when
// the amounts are paid, one payment when two tills pay at once, the
// receipt of a payment and the printouts byte for byte.

#include "catalogue/stock.h"
#include "common/errors.h"
#include "common/sql.h"
#include "sales/consignment.h"
#include "sales/sale_completion.h"
#include "support/fixture.h"

#include <QDir>
#include <QTest>
#include <QThread>

using namespace torvika;

Q_DECLARE_METATYPE(torvika::CreditTerms)

namespace {

Decimal d(const char* text) {
    return Decimal(text);
}

CreditTerms terms(int count, const char* first = "0", const char* interest = "0",
                  InstalmentPeriod period = InstalmentPeriod::Months) {
    CreditTerms t;
    t.counterparty = 15;
    t.handover = QDate(2025, 1, 31);
    t.instalments = count;
    t.method = Decimal(first) > Decimal() ? InstalmentMethod::EqualWithFirst : InstalmentMethod::Equal;
    t.period = period;
    t.first = Decimal(first);
    t.interest = Decimal(interest);
    return t;
}

int count(const QSqlDatabase& db, const char* table) {
    return scalarSql(db, QString("SELECT COUNT(*) FROM %1").arg(table)).toInt();
}

} // namespace

class ConsignmentTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    QSqlDatabase db() { return fx_->db(); }

    SaleContext context() {
        SaleContext c;
        c.operatorName = "Иван";
        c.terminal = 3;
        c.vatRates = VatRates::uniform(20);
        return c;
    }
    // A sale of 100.00 on credit (four lines of 25.00), as the till records it.
    SaleResult sellOnCredit(const CreditTerms& t) {
        QList<qint64> lines;
        for (int i = 0; i < 4; ++i)
            lines << enterLine(db(), context(), {10, d("1"), d("25"), {}, {}}).line;
        SaleRequest r;
        r.operatorName = "Иван";
        r.lines = lines;
        r.pay = PayKind::Deferred;
        r.counterparty = t.counterparty;
        r.warehouse = 1;
        r.amountDue = d("100.00");
        r.when = QDateTime(QDate(2025, 1, 31), QTime(11, 0));
        r.credit = t;
        return recordSale(db(), r);
    }
    InstalmentPayment payment(const CreditState& s, std::optional<Decimal> partial = std::nullopt) {
        InstalmentPayment p;
        p.credit = s.id;
        p.instalment = s.current;
        p.due = s.due;
        p.partial = partial;
        p.place = {"Мария", QDateTime(QDate(2025, 2, 28), QTime(9, 15)), 2, 1};
        return p;
    }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        execSql(
            db(),
            "INSERT INTO Produkti (ID, Opisanie, Nomer_Grupa, Ed_Cena, Valuta_P, Mqrka, Max_TO, Dan_Grup) "
            "VALUES (10, 'Телевизор', 1, 25, 'Лева', 'бр.', 0, 1)");
        execSql(db(), "INSERT INTO Klienti (ID, Ime_Klient, EGN) VALUES (5, 'Иван Петров', '7001011234')");
        execSql(db(), "INSERT INTO Firmi (ID, Ime_Firma, Grad, Adres_Firma, EIK, Telefon, ID_Mol) "
                      "VALUES (15, 'Бип ЕТ', 'Русе', 'ул. Борисова 5', '121', '082 1234', 5)");
    }
    void cleanup() { fx_.reset(); }

    void amounts_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("purchase");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("interest");
        QTest::addColumn<QString>("total");
        QTest::addColumn<QString>("instalment");
        QTest::addColumn<QStringList>("each");
        QTest::newRow("interest 10 over 2") << 2 << "100"
                                            << "0"
                                            << "10"
                                            << "121.0000"
                                            << "60.5000" << QStringList{"60.50", "60.50"};
        QTest::newRow("30 given, 7 instalments") << 7 << "100"
                                                 << "30"
                                                 << "0"
                                                 << "70.0000"
                                                 << "10.0000" << QStringList(7, "10.00");
        QTest::newRow("the last takes the remainder") << 3 << "100"
                                                      << "0"
                                                      << "0"
                                                      << "100.0000"
                                                      << "33.3333" << QStringList{"33.33", "33.33", "33.34"};
        QTest::newRow("compound, cut to four decimals")
            << 3 << "99.99"
            << "0"
            << "1.5"
            << "104.5574"
            << "34.8525" << QStringList{"34.85", "34.85", "34.86"};
        QTest::newRow("no instalments") << 0 << "100"
                                        << "20"
                                        << "10"
                                        << "80.0000"
                                        << "80.0000" << QStringList{};
    }
    void amounts() {
        QFETCH(int, count);
        QFETCH(QString, purchase);
        QFETCH(QString, first);
        QFETCH(QString, interest);
        QFETCH(QString, total);
        QFETCH(QString, instalment);
        QFETCH(QStringList, each);
        const Decimal t =
            CALCULATE_KONSIGNACION_SUM(count, Decimal(purchase), Decimal(first), Decimal(interest));
        QCOMPARE(t.toFixed(4), total);
        const CreditSchedule s =
            creditSchedule(terms(count, first.toLatin1(), interest.toLatin1()), Decimal(purchase));
        QCOMPARE(s.total, t);
        QCOMPARE(s.instalment.toFixed(4), instalment);
        QStringList got;
        Decimal sum;
        for (const Decimal& a : s.amounts) {
            got << a.toFixed(2);
            sum += a;
        }
        QCOMPARE(got, each);
        if (count > 0)
            QCOMPARE(sum, t.rounded(2));
    }

    // Dates as a calendar has them: the end of a month falls on the last
    // day of a shorter one, December is followed by January.
    void dates() {
        QCOMPARE(instalmentDate(QDate(2025, 1, 31), InstalmentPeriod::Months, 1), QDate(2025, 2, 28));
        QCOMPARE(instalmentDate(QDate(2024, 1, 31), InstalmentPeriod::Months, 1), QDate(2024, 2, 29));
        QCOMPARE(instalmentDate(QDate(2025, 11, 30), InstalmentPeriod::Months, 3), QDate(2026, 2, 28));
        QCOMPARE(instalmentDate(QDate(2025, 12, 30), InstalmentPeriod::Days, 5), QDate(2026, 1, 4));
        const CreditSchedule s = creditSchedule(terms(3), d("90"));
        QCOMPARE(s.dates, (QList<QDate>{QDate(2025, 2, 28), QDate(2025, 3, 31), QDate(2025, 4, 30)}));
        QCOMPARE(s.payDate, QDate(2025, 4, 30));
    }

    void refusedTerms_data() {
        QTest::addColumn<CreditTerms>("terms");
        QTest::addColumn<QString>("message");
        CreditTerms t = terms(3);
        t.counterparty = 0;
        QTest::newRow("counterparty 0") << t << "Необходимо е да се посочи контрагент за консигнацията!";
        QTest::newRow("0 instalments") << terms(0) << "Броят вноски трябва да бъде от 1 до 100.";
        QTest::newRow("1000 instalments") << terms(1000) << "Броят вноски трябва да бъде от 1 до 100.";
        QTest::newRow("interest -5") << terms(3, "0", "-5") << "Лихвата трябва да бъде от 0 до 100 %.";
        QTest::newRow("interest above 100")
            << terms(3, "0", "100.01") << "Лихвата трябва да бъде от 0 до 100 %.";
        t = terms(3, "1");
        t.first = d("-1");
        QTest::newRow("first below 0")
            << t << "Първоначалната вноска трябва да бъде поне 0 и по-малка от сумата на покупката.";
        QTest::newRow("first the whole sum")
            << terms(3, "100")
            << "Първоначалната вноска трябва да бъде поне 0 и по-малка от сумата на покупката.";
        QTest::newRow("too large") << terms(100, "0", "100")
                                   << "Задължението с тази лихва и този брой вноски е твърде голямо.";
    }
    void refusedTerms() {
        QFETCH(CreditTerms, terms);
        QFETCH(QString, message);
        QCOMPARE(refuseCreditTerms(terms, d("100")).value_or(QString()), message);
        // The sale with them writes nothing.
        QVERIFY_THROWS_EXCEPTION(EConvertError, sellOnCredit(terms));
        QCOMPARE(count(db(), "Konsignation"), 0);
        QCOMPARE(count(db(), "Prodajbi"), 0);
        QCOMPARE(count(db(), "Prodajbi_Vremenni"), 4);
        QVERIFY(!refuseCreditTerms(::terms(100, "99.99", "10"), d("100")));
    }

    // 100 with 30 given, 7 instalments: the credit, the first instalment's
    // payment row and the lines under the credit's number, together.
    void creditRecordedWithTheSale() {
        const SaleResult r = sellOnCredit(terms(7, "30"));
        QCOMPARE(r.status, SaleResult::Sold);
        QCOMPARE(r.credit.consignment, 1);
        const SqlRows k = readRows(db(), "SELECT ID, ID_Kontrag, Date_Otd, Date_Pay, Broj_Vnosk, Vid_Pay, "
                                         "Period_Vnosk, Operator, Payed, First_Vnosk, Lihva, Suma, Valuta "
                                         "FROM Konsignation");
        QCOMPARE(k.rows.size(), 1);
        QCOMPARE(k.rows[0][2].toString(), "2025-01-31");
        QCOMPARE(k.rows[0][3].toString(), "2025-08-31");
        QCOMPARE(k.rows[0][4].toInt(), 7);
        QCOMPARE(k.rows[0][5].toInt(), 1);
        QCOMPARE(k.rows[0][8].toString(), "False");
        QCOMPARE(k.rows[0][9].toDouble(), 30.0);
        QCOMPARE(k.rows[0][11].toDouble(), 100.0);
        QCOMPARE(k.rows[0][12].toString(), "Лева");
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Prodajbi WHERE Konsign_N = 1 AND Type_Pay = "
                                 "'отложено плащане'")
                     .toInt(),
                 4);
        const SqlRows pay =
            readRows(db(), "SELECT ID_Prodajba, Kol, ED_Cena, Konsign_N, Valuta, Type_Pay, Term_N, "
                           "ID_Klient FROM Prodajbi WHERE ID_Art = 0");
        QCOMPARE(pay.rows.size(), 1);
        QCOMPARE(pay.rows[0][0].toLongLong(), r.credit.firstPaymentRow);
        QCOMPARE(pay.rows[0][2].toDouble(), 30.0);
        QCOMPARE(pay.rows[0][3].toInt(), 0);
        QCOMPARE(pay.rows[0][5].toString(), "в брой");
        QCOMPARE(pay.rows[0][6].toInt(), 3);
        // The payment's number is never a line's.
        QVERIFY(!r.sold.isEmpty());
        for (const SaleLine& l : r.sold)
            QVERIFY(l.number != r.credit.firstPaymentRow);
        QVERIFY(enterLine(db(), context(), {10, d("1"), d("25"), {}, {}}).line > r.credit.firstPaymentRow);
        QCOMPARE(count(db(), "Prodajbi_Vremenni"), 1);

        const CreditState s = *loadCredit(db(), 1);
        QCOMPARE(s.total, d("70"));
        QCOMPARE(s.instalment, d("10"));
        QCOMPARE(s.current, 1);
        QCOMPARE(s.due, d("10"));
        QCOMPARE(openCredits(db(), 15), QList<qint64>{1});
    }

    // No first instalment: no payment row.
    void noFirstInstalment() {
        QCOMPARE(sellOnCredit(terms(2)).credit.firstPaymentRow, 0);
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Prodajbi WHERE ID_Art = 0").toInt(), 0);
    }

    // Paid off in three instalments, one of them in two parts; the last
    // payment closes the credit and marks its lines paid.
    void paidOff() {
        sellOnCredit(terms(3));
        CreditState s = *loadCredit(db(), 1);
        QCOMPARE(s.amounts, (QList<Decimal>{d("33.33"), d("33.33"), d("33.34")}));

        PaymentResult p = payInstalment(db(), payment(s));
        QCOMPARE(p.status, PaymentResult::Paid);
        QCOMPARE(p.amount, d("33.33"));
        QCOMPARE(p.percent, d("100"));
        s = *loadCredit(db(), 1);
        QCOMPARE(s.current, 2);

        p = payInstalment(db(), payment(s, d("10.10")));
        QCOMPARE(p.percent, d("30.30"));
        QCOMPARE(p.remaining, d("23.23"));
        s = *loadCredit(db(), 1);
        QCOMPARE(s.current, 2);
        QCOMPARE(s.due, d("23.23"));
        QVERIFY_THROWS_EXCEPTION(EConvertError, payInstalment(db(), payment(s, d("23.24"))));
        QVERIFY_THROWS_EXCEPTION(EConvertError, payInstalment(db(), payment(s, d("0"))));
        QVERIFY_THROWS_EXCEPTION(EConvertError, payInstalment(db(), payment(s, d("-1"))));
        QCOMPARE(count(db(), "Vnoski"), 2);

        // The rest of the second: 69.70 %, which with 30.30 % is the
        // instalment paid, though a rounded percentage would say so of
        // less.
        p = payInstalment(db(), payment(s));
        QCOMPARE(p.amount, d("23.23"));
        QCOMPARE(p.percent, d("69.70"));
        QVERIFY(!p.paidOff);
        s = *loadCredit(db(), 1);
        QCOMPARE(s.current, 3);
        p = payInstalment(db(), payment(s));
        QCOMPARE(p.amount, d("33.34"));
        QVERIFY(p.paidOff);
        QCOMPARE(scalarSql(db(), "SELECT Payed FROM Konsignation").toString(), "True");
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Prodajbi WHERE Konsign_N = -1").toInt(), 4);
        QVERIFY(openCredits(db(), 15).isEmpty());
        QVERIFY(loadCredit(db(), 1)->paidOff);
        // Paid off: no further payment.
        QCOMPARE(payInstalment(db(), payment(s)).status, PaymentResult::Changed);
        const SqlRows rows = readRows(
            db(), "SELECT ED_Cena, Term_N, Operator FROM Prodajbi WHERE ID_Art = 0 ORDER BY ID_Prodajba");
        QCOMPARE(rows.rows.size(), 4);
        QCOMPARE(rows.rows[1][0].toDouble(), 10.10);
        QCOMPARE(rows.rows[1][1].toInt(), 2);
        QCOMPARE(rows.rows[1][2].toString(), "Мария");
    }

    // An earlier version's spellings and rows: "TRUE" is paid off, a payment
    // with only its percentage counts its share.
    void earlierRows() {
        execSql(db(), "INSERT INTO Konsignation (ID, ID_Kontrag, Broj_Vnosk, Payed, First_Vnosk, Lihva) "
                      "VALUES (1, 15, 2, 'TRUE', 0, 0), (2, 15, 2, 'False', 0, 0)");
        execSql(db(),
                "INSERT INTO Prodajbi (ID_Prodajba, ID_Art, Kol, ED_Cena, Valuta, ID_Klient, T_O, Konsign_N) "
                "VALUES (1, 10, 1, 40, 'EUR', 15, 0, 2)");
        execSql(db(),
                "INSERT INTO Vnoski (ID, Data_Pay, ID_Konsign, Procent_pay) VALUES (1, '2025-01-01', 2, 50)");
        QCOMPARE(openCredits(db(), 15), QList<qint64>{2});
        const CreditState s = *loadCredit(db(), 2);
        QCOMPARE(s.purchase, d("78.2332"));
        QCOMPARE(s.current, 1);
        QCOMPARE(s.due, d("19.55"));
    }

    // Two tills paying the same instalment at the same moment: one payment.
    void twoTillsPayOnce() {
        sellOnCredit(terms(2));
        const CreditState s = *loadCredit(db(), 1);
        QList<int> paid(2, -1);
        QList<QThread*> threads;
        for (int i = 0; i < 2; ++i)
            threads << QThread::create([&, i] {
                const QString name = QString("till %1").arg(i);
                {
                    QSqlDatabase conn = fx_->openWorkstation(name);
                    paid[i] = int(payInstalment(conn, payment(s)).status == PaymentResult::Paid);
                }
                QSqlDatabase::removeDatabase(name);
            });
        for (QThread* t : threads)
            t->start();
        for (QThread* t : threads) {
            QVERIFY(t->wait(60000));
            delete t;
        }
        QCOMPARE(paid[0] + paid[1], 1);
        QCOMPARE(count(db(), "Vnoski"), 1);
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Prodajbi WHERE ID_Art = 0").toInt(), 1);
    }

    // The receipt of a payment: the amount in exact stotinki, the payment
    // its total, its file recorded for the payment row; none with FB 0.
    void receipt() {
        QCOMPARE(instalmentReceiptLine(2, 7, d("10.10")), "%0^Вн.:2 Кр.N: 7:^1010^1000^1^");
        sellOnCredit(terms(3));
        const PaymentResult p = payInstalment(db(), payment(*loadCredit(db(), 1), d("10.10")));
        FiscalSettings settings;
        settings.programDir = fx_->root();
        settings.receiptDir = fx_->root() + "Fiscal";
        FiscalState state;
        const BonHeader header{"2", "Мария", "0"};
        QVERIFY(printInstalmentReceipt(state, db(), p, 1, settings, header).receiptFile.isEmpty());
        QVERIFY(!QDir(settings.receiptDir).exists());
        settings.saleReceipt = kFiscalReceipt;
        const BonResult r = printInstalmentReceipt(state, db(), p, 1, settings, header);
        QCOMPARE(test::Fixture::readFile(r.receiptFile),
                 commandFileBytes({":ПОС: 2", ":Опер.: Мария           ", "%0^Вн.:1 Кр.N: 1:^1010^1000^1^"}));
        QCOMPARE(receiptFileOf(db(), p.paymentRow), r.receiptFile);
        settings.saleReceipt = kServiceReceipt;
        settings.deviceType = 2;
        const BonResult service = printInstalmentReceipt(state, db(), p, 1, settings, header);
        QCOMPARE(test::Fixture::readFile(service.receiptFile),
                 commandFileBytes({":ПОС: 2", ":ПОРЪЧКА: 0", ":Опер.: Мария           ",
                                   ":%0^Вн.:1 Кр.N: 1:^1010^1000^1^",
                                   ":=======================", ":Общо: 10.10", ":======================="}));
    }

    void voucher() {
        VoucherData v;
        v.credit = 1;
        v.now = QDateTime(QDate(2025, 2, 28), QTime(9, 15, 2));
        v.counterparty = "15:Бип ЕТ";
        v.instalment = 2;
        v.count = 3;
        v.goods = {{"Телевизор", "1", "25", "Лева"}};
        v.amount = d("10.10");
        v.partial = true;
        v.due = d("33.33");
        QCOMPARE(instalmentVoucher(v),
                 (QStringList{"+----------------------------------------------------------+",
                              "|ЧАСТИЧНО ПЛАЩАНЕ - ВНОСКА КЪМ КРЕДИТ: 1                   |",
                              "|----------------------------------------------------------|",
                              "|     Дата:28.02.2025 09:15:02                             |",
                              "|     Клиент: 15:Бип ЕТ                                    |",
                              "|     Вноска N:2;От общо:3                                 |",
                              "|     За стоката:                                          |",
                              "+-----Описание---------------+--Кол--+--Ед. цена--+-Валута-+",
                              "|Телевизор                   |  1    |  25        |  Лева  |",
                              "+----------------------------------------------------------+",
                              "|     Сума:10.1000, лева                                   |",
                              "|     ОСТАТЪК:23.23, лева                                  |",
                              "|                                                          |",
                              "|     Приел:...........             Предал:..............  |",
                              "+----------------------------------------------------------+", "", ""}));
        v.partial = false;
        v.amount = d("33.33");
        const QStringList full = instalmentVoucher(v);
        QCOMPARE(full[1], "|                    ВНОСКА КЪМ КРЕДИТ: 1                  |");
        QCOMPARE(full[10], "|     Сума:33.3300, лева                                   |");
        QCOMPARE(full[11], "|                                                          |");
    }

    void protocol() {
        ProtocolData p;
        p.number = 4;
        p.terms = terms(2, "30", "10");
        p.schedule = creditSchedule(p.terms, d("100"));
        p.goods = {{"Телевизор", "4", "25", "Лева"}};
        p.currency = "Лева";
        p.parties = creditCounterparty(db(), 15);
        p.parties.firmName = "Торвика ООД";
        p.parties.firmMol = "Пешо";
        p.parties.firmAddress = "София";
        p.parties.firmEik = "999";
        p.operatorName = "Иван";
        const QStringList l = handoverProtocol(p);
        QCOMPARE(l.mid(0, 17),
                 (QStringList{
                     "", "         ПРИЕМО - ПРЕДАВАТЕЛЕН ПРОТОКОЛ ", "",
                     "ДОГОВОР ЗА ОТЛОЖЕНО ПЛАЩАНЕ N: 4 / 31.01.2025", "",
                     "Днес 31.01.2025, представител на Торвика ООД                        ",
                     "представляван от  Пешо", "със седалище и адрес на управление София", "Булстат: 999", "",
                     "предаде стоката: ", "", "+-----Описание---------------+--Кол--+--Ед. цена--+-Валута-+",
                     "|Телевизор                   |  4    |  25        |  Лева  |",
                     "+----------------------------+-------+------------+--------+", "", "На: Бип ЕТ"}));
        QCOMPARE(l.mid(17, 5),
                 (QStringList{"с адресна регистрация: Русе, ул. Борисова 5", "Булстат: 121",
                              "представлявана от :Иван Петров", "ЕГН: 7001011234", "телефон: 082 1234"}));
        QCOMPARE(l.mid(24, 8),
                 (QStringList{"                     С ПОГАСИТЕЛНА СХЕМА", "",
                              "     КЪМ ДОГОВОР ЗА ЛИЗИНГ N: 4 / 31.01.2025", "", "",
                              "      Първоначална вноска  30.0000 ,Лева",
                              "       1 вноска  42.3500 ,Лева        да се внесе до дата : 28.2.2025г",
                              "       2 вноска  42.3500 ,Лева        да се внесе до дата : 31.3.2025г"}));
        QCOMPARE(l.mid(32, 4), (QStringList{"", "", "", "Обща сума на задължението: 114.70, Лева"}));
        QCOMPARE(l.mid(40, 3), (QStringList{"      Приел:...........             Предал:..............   ",
                                            "", "      /               /              Иван"}));
        QCOMPARE(l.size(), 47);
    }
};

QTEST_GUILESS_MAIN(ConsignmentTest)
#include "test_consignment.moc"
