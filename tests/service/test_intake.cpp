// The service intake: what the serial-number lookup finds, the working
// list of each operator, its numbers, "Откажи", "ПРИЕМИ" and the workshop
// ticket written for the print server.

#include "common/cp1251.h"
#include "common/errors.h"
#include "common/sql.h"
#include "service/intake_lines.h"
#include "support/fixture.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QThread>

using namespace torvika;

namespace {

const QDateTime kNow(QDate(2026, 3, 10), QTime(9, 15, 30));

IntakeEntry entry(qint64 client = 5) {
    IntakeEntry e;
    e.article = 20;
    e.description = "20:Лаптоп";
    e.serial = "ab-1";
    e.reason = "Не се включва";
    e.client = client;
    e.price = Decimal(25);
    e.currency = "Лева";
    e.due = QDate(2026, 3, 20);
    return e;
}

} // namespace

class IntakeTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    QSqlDatabase db() { return fx_->db(); }
    int count(const QString& sql, const QVariantList& values = {}) {
        return scalarSql(db(), sql, values).toInt();
    }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        execSql(db(), "INSERT INTO Firmi (ID, Ime_Firma, Telefon, EIK, Nomer_Grupa) VALUES "
                      "(5, 'Бип ЕТ', '0888 123', '0', 0), (7, 'Доставчик ООД', '', '0', 0), "
                      "(8, 'Вносител АД', '', '0', 0)");
        execSql(db(),
                "INSERT INTO Produkti (ID, Opisanie, Nomer_Grupa, Ed_Cena, Valuta_P, Garancionen) VALUES "
                "(20, 'Лаптоп', 1, 900, 'Лева', 'True'), (21, 'Принтер', 1, 300, 'Лева', 'True')");
    }
    void cleanup() { fx_.reset(); }

    // The latest supplier document and the latest sale count, whatever the
    // order the rows were stored in; the serial number matches in any
    // letter case, and a "contains" search lists each number found once.
    void lookupTakesTheLatestSaleAndDocument() {
        execSql(db(),
                "INSERT INTO Garancia_dostavtchik (ID, ID_Kontrag, Vid_Dok, ID_Dok, Data, Zabel) VALUES "
                "(2, 8, 3, 'К-77', '2026-02-01', 'нова партида'), (1, 7, 1, 'Ф-12', '2025-05-01', '')");
        execSql(db(),
                "INSERT INTO Serials (ID_Karta, ID, Model, Partida, Serial_ID, Data) VALUES "
                "(2, 20, 'X2', 'P-2', 'AB-1', '2028-02-01'), (1, 20, 'X1', 'P-1', 'ab-1', '2026-05-01'), "
                "(1, 21, 'Z', 'P-9', 'AB-12', '2026-05-01')");
        execSql(db(),
                "INSERT INTO Prodajbi (ID_Prodajba, ID_Art, D_Prodajba, T_Prodajba, ID_Klient, Pored_Ot, "
                "Pored_Do) VALUES (90, 20, '2026-02-10', '10:00:00', 5, 'Ab-1', '10.02.2028'), "
                "(40, 20, '2025-06-01', '12:00:00', 0, 'AB-1', '01.06.2026')");

        const SerialLookup found = lookupSerial(db(), "aB-1", false);
        QVERIFY(found.supplier.has_value());
        QCOMPARE(found.supplier->card, 2);
        QCOMPARE(found.supplier->supplierText(), "8:Вносител АД");
        QCOMPARE(found.supplier->documentKind, "Гаранционна карта");
        QCOMPARE(found.supplier->documentNumber, "К-77");
        QCOMPARE(found.supplier->documentDate, QDate(2026, 2, 1));
        QCOMPARE(found.supplier->validUntil, QDate(2028, 2, 1));
        QCOMPARE(found.supplier->note, "нова партида");
        QVERIFY(found.sale.has_value());
        QCOMPARE(found.sale->articleText(), "20:Лаптоп");
        QCOMPARE(found.sale->clientText(), "5:Бип ЕТ");
        QCOMPARE(found.sale->date, QDate(2026, 2, 10));
        QCOMPARE(found.sale->warranty, "10.02.2028");
        QCOMPARE(found.model, "X2");
        QCOMPARE(found.batch, "P-2");
        QCOMPARE(found.serials, QStringList({"AB-1", "ab-1"}));

        const SerialLookup part = lookupSerial(db(), "b-1", true);
        QCOMPARE(part.serials.size(), 3);
        QVERIFY(part.serials.contains("AB-12"));
        // A "%" typed is a character, not a wildcard.
        QVERIFY(lookupSerial(db(), "%", true).serials.isEmpty());

        const SerialLookup unknown = lookupSerial(db(), "ZZ-404", false);
        QVERIFY(!unknown.supplier && !unknown.sale);
        QVERIFY(unknown.serials.isEmpty() && unknown.model.isEmpty());
        QVERIFY(!lookupSerial(db(), "  ", true).sale.has_value());
    }

    // A supplier warranty ending today is over; one ending tomorrow runs.
    void supplierWarrantyRunsAfterToday_data() {
        QTest::addColumn<QDate>("until");
        QTest::addColumn<bool>("running");
        QTest::newRow("yesterday") << QDate(2026, 3, 9) << false;
        QTest::newRow("today") << QDate(2026, 3, 10) << false;
        QTest::newRow("tomorrow") << QDate(2026, 3, 11) << true;
        QTest::newRow("none") << QDate() << false;
    }
    void supplierWarrantyRunsAfterToday() {
        QFETCH(QDate, until);
        QFETCH(bool, running);
        SerialLookup l;
        l.supplier = SupplierWarranty{};
        l.supplier->validUntil = until;
        QCOMPARE(l.underSupplierWarranty(kNow.date()), running);
    }

    // The dossier lists the serial's issued items, latest first, with
    // their client, whatever the letter case.
    void dossierOfTheSerial() {
        execSql(db(), "INSERT INTO R_Priem (N_Priem, S_N, Pri4ina, ID_Kontrag, Data_Izd, Time_Izd) VALUES "
                      "(3, 'AB-1', 'първи', 5, '2025-01-02', '10:00:00'), "
                      "(9, 'AB-1', 'втори', 99, '2026-01-02', '10:00:00'), (4, 'CD-2', 'друг', 5, '', '')");
        const SqlStatement s = dossierStatement("ab-1");
        const SqlRows rows = readRows(db(), s.text, s.values);
        QCOMPARE(rows.rows.size(), 2);
        QCOMPARE(rows.rows[0][0].toInt(), 9);
        QVERIFY(rows.rows[0][7].isNull()); // a client gone is no reason to hide the repair
        QCOMPARE(rows.rows[1][7].toString(), "Бип ЕТ");
    }

    void typedPrices_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("price"); // empty: refused
        QTest::newRow("comma") << "12,50"
                               << "12.5";
        QTest::newRow("point") << "12.50"
                               << "12.5";
        QTest::newRow("zero") << "0.0000"
                              << "0";
        QTest::newRow("letters") << "abc"
                                 << "";
        QTest::newRow("negative") << "-1"
                                  << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void typedPrices() {
        QFETCH(QString, typed);
        QFETCH(QString, price);
        const std::optional<Decimal> p = parseRepairPrice(typed);
        QCOMPARE(p ? p->toString() : QString(), price);
    }

    // What "Добави в списък" stores: the serial in upper case, the reason's
    // lines run together, the price rounded to the price decimals, dates as
    // ISO text; the warranty fields only for a warranty intake.
    void addedLineAsStored() {
        IntakeEntry e = entry();
        e.reason = "Не се\r\nвключва";
        e.price = Decimal("12.505");
        e.warrantyDocument = "К-1"; // not a warranty intake: not kept
        e.supplier = 7;
        const qint64 n = addIntakeLine(db(), "Иван", e, kNow, 2);
        const SqlRows rows = readRows(
            db(),
            "SELECT Barkod, S_N, Opisanie, Pri4ina, Gar, Gar_Dok_N, Data_Gar_Dok, ID_Kontrag, Data_Priem, "
            "Time_Priem, Operator, Pred_Cena_Remont, Valuta, ID_Dostav4ik, Model, Krai_data "
            "FROM Priem_Ser_Vremen WHERE N_Prodajba = ?",
            {n});
        QCOMPARE(rows.rows.size(), 1);
        const QVariantList& r = rows.rows[0];
        QCOMPARE(r[0].toInt(), 20);
        QCOMPARE(r[1].toString(), "AB-1");
        QCOMPARE(r[2].toString(), "20:Лаптоп");
        QCOMPARE(r[3].toString(), "Не севключва");
        QCOMPARE(r[4].toString(), "False");
        QCOMPARE(r[5].toString(), "");
        QCOMPARE(r[6].toString(), "");
        QCOMPARE(r[7].toInt(), 5);
        QCOMPARE(r[8].toString(), "2026-03-10");
        QCOMPARE(r[9].toString(), "09:15:30");
        QCOMPARE(r[10].toString(), "Иван");
        QCOMPARE(r[11].toDouble(), 12.51);
        QCOMPARE(r[12].toString(), "Лева");
        QCOMPARE(r[13].toInt(), 0);
        QCOMPARE(r[15].toString(), "2026-03-20");

        IntakeEntry w = entry();
        w.article = kFreeTextItem;
        w.description = "Стар телевизор";
        w.warranty = true;
        w.warrantyDocument = "К-1";
        w.warrantyDocumentDate = QDate(2026, 1, 5);
        w.supplier = 7;
        w.model = "TV-1";
        const qint64 m = addIntakeLine(db(), "Иван", w, kNow, 2);
        const SqlRows wr = readRows(db(),
                                    "SELECT Barkod, Gar, Gar_Dok_N, Data_Gar_Dok, ID_Dostav4ik, Model "
                                    "FROM Priem_Ser_Vremen WHERE N_Prodajba = ?",
                                    {m});
        QCOMPARE(wr.rows[0], (QVariantList{-1, "True", "К-1", "2026-01-05", 7, "TV-1"}));
        QCOMPARE(intakeRepairTotal(db(), {n, m}), Decimal("37.51"));
    }

    // An entry that lacks what an intake needs is refused with its message
    // and the field to correct; nothing is written.
    void refusedEntries_data() {
        QTest::addColumn<int>("fault");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("message");
        QTest::newRow("no client") << 0 << int(IntakeRefusal::Client)
                                   << "Необходимо е да се посочи Контрагент";
        QTest::newRow("no description") << 1 << int(IntakeRefusal::Description)
                                        << "Необходимо е да се посочи артикул или описание на стоката";
        QTest::newRow("empty reason")
            << 2 << int(IntakeRefusal::Reason) << "Необходимо е да се посочи причина за приемане";
        QTest::newRow("reason of line breaks")
            << 3 << int(IntakeRefusal::Reason) << "Необходимо е да се посочи причина за приемане";
        QTest::newRow("due yesterday") << 4 << int(IntakeRefusal::Due)
                                       << "Датата, до която да се ремонтира, не може да бъде преди днешната";
        QTest::newRow("no currency") << 5 << int(IntakeRefusal::Currency)
                                     << "Необходимо е да се посочи валута";
    }
    void refusedEntries() {
        QFETCH(int, fault);
        QFETCH(int, field);
        QFETCH(QString, message);
        IntakeEntry e = entry();
        switch (fault) {
        case 0:
            e.client = 0;
            break;
        case 1:
            e.description = "  ";
            break;
        case 2:
            e.reason = "";
            break;
        case 3:
            e.reason = "\r\n";
            break;
        case 4:
            e.due = kNow.date().addDays(-1);
            break;
        case 5:
            e.currency = "";
            break;
        }
        const std::optional<IntakeRefusal> refusal = checkIntakeEntry(e, kNow.date());
        QVERIFY(refusal.has_value());
        QCOMPARE(int(refusal->field), field);
        QCOMPARE(refusal->message, message);
        QVERIFY_THROWS_EXCEPTION(EConvertError, addIntakeLine(db(), "Иван", e, kNow, 2));
        QCOMPARE(count("SELECT COUNT(*) FROM Priem_Ser_Vremen"), 0);
        // Due today is no fault.
        QVERIFY(!checkIntakeEntry(entry(), QDate(2026, 3, 20)));
    }

    // Intake numbers and the shop's sale-line numbers come from one
    // sequence: neither ever takes a number the other has, and a number
    // cancelled is never handed out again. Each operator's list shows his
    // own lines only.
    void numbersNeverMeetSaleNumbers() {
        const qint64 first = addIntakeLine(db(), "Иван", entry(), kNow, 2);
        const qint64 sale = insertReturningKey(
            db(), "INSERT INTO Prodajbi_Vremenni (Operator) VALUES ('Мария')", {}, "N_Prodajba");
        const qint64 second = addIntakeLine(db(), "Мария", entry(), kNow, 2);
        QCOMPARE(cancelIntakeLines(db(), "Мария", {second}), 1);
        const qint64 third = addIntakeLine(db(), "Мария", entry(), kNow, 2);
        const qint64 nextSale = insertReturningKey(
            db(), "INSERT INTO Prodajbi_Vremenni (Operator) VALUES ('Мария')", {}, "N_Prodajba");
        QList<qint64> all{first, sale, second, third, nextSale};
        std::sort(all.begin(), all.end());
        QCOMPARE(all, (QList<qint64>{first, sale, second, third, nextSale}));
        QCOMPARE(operatorIntakeLines(db(), "Иван"), QList<qint64>{first});
        QCOMPARE(operatorIntakeLines(db(), "Мария"), QList<qint64>{third});
        const SqlStatement mine = intakeLinesStatement("Иван");
        QCOMPARE(readRows(db(), mine.text, mine.values).rows.size(), 1);
        // An operator name holding a pattern character finds no one else's lines.
        QVERIFY(operatorIntakeLines(db(), "%").isEmpty());
    }

    // Two workstations adding lines at the same moment get distinct numbers.
    void twoWorkstationsAddAtOnce() {
        QList<qint64> numbers(2, 0);
        QList<QThread*> threads;
        for (int i = 0; i < 2; ++i)
            threads << QThread::create([&, i] {
                const QString name = QString("desk %1").arg(i);
                {
                    QSqlDatabase conn = fx_->openWorkstation(name);
                    for (int k = 0; k < 5; ++k)
                        numbers[i] = std::max(
                            numbers[i], addIntakeLine(conn, "Оп " + QString::number(i), entry(), kNow, 2));
                }
                QSqlDatabase::removeDatabase(name);
            });
        for (QThread* t : threads)
            t->start();
        for (QThread* t : threads) {
            QVERIFY(t->wait(60000));
            delete t;
        }
        QCOMPARE(count("SELECT COUNT(DISTINCT N_Prodajba) FROM Priem_Ser_Vremen"), 10);
    }

    // "Откажи" deletes the operator's own lines and the documents the
    // service page registered for them, and nothing of anyone else.
    void cancelRemovesOnlyOwnLinesAndTheirDocuments() {
        const qint64 mine = addIntakeLine(db(), "Иван", entry(), kNow, 2);
        const qint64 hers = addIntakeLine(db(), "Мария", entry(), kNow, 2);
        const QString doc =
            "INSERT INTO Printed_Dok (ID_Prod, ID_Dok, N_Dok, Ot_Kade_Prod) VALUES (?, 1, '7', ?)";
        execSql(db(), doc, {mine, kServicePlace});
        execSql(db(), doc, {mine, 1}); // a shop document of the same number
        execSql(db(), doc, {hers, kServicePlace});
        QCOMPARE(cancelIntakeLines(db(), "Иван", {mine, hers}), 1);
        QCOMPARE(count("SELECT COUNT(*) FROM Priem_Ser_Vremen"), 1);
        QCOMPARE(count("SELECT COUNT(*) FROM Printed_Dok WHERE ID_Prod = ?", {mine}), 1);
        QCOMPARE(count("SELECT COUNT(*) FROM Printed_Dok WHERE ID_Prod = ?", {hers}), 1);
    }

    // "ПРИЕМИ" moves the selected lines with every value into the register
    // in state 1; a line accepted meanwhile elsewhere is left out.
    void acceptMovesTheSelectedLines() {
        const qint64 a = addIntakeLine(db(), "Иван", entry(), kNow, 2);
        IntakeEntry w = entry();
        w.warranty = true;
        w.warrantyDocument = "К-1";
        w.warrantyDocumentDate = QDate(2026, 1, 5);
        w.supplier = 7;
        w.model = "M";
        w.batch = "B";
        const qint64 b = addIntakeLine(db(), "Иван", w, kNow, 2);
        const qint64 other = addIntakeLine(db(), "Мария", entry(), kNow, 2);
        const qint64 kept = addIntakeLine(db(), "Иван", entry(), kNow, 2);
        QCOMPARE(acceptIntakeLines(db(), "Иван", {a, b, other, a + 1000}), (QList<qint64>{b, a}));
        QCOMPARE(operatorIntakeLines(db(), "Иван"), QList<qint64>{kept});
        QCOMPARE(operatorIntakeLines(db(), "Мария"), QList<qint64>{other});
        const SqlRows rows = readRows(
            db(), "SELECT N_Prodajba, Barkod, S_N, Opisanie, Pri4ina, Gar, Gar_Dok_N, Data_Gar_Dok, "
                  "ID_Kontrag, Data_Priem, Time_Priem, Operator, Pred_Cena_Remont, Valuta, ID_Dostav4ik, "
                  "Model, Partida, Status, Krai_Data FROM Priem_Ser ORDER BY N_Prodajba");
        QCOMPARE(rows.rows.size(), 2);
        QCOMPARE(rows.rows[1], (QVariantList{b, 20, "AB-1", "20:Лаптоп", "Не се включва", "True", "К-1",
                                             "2026-01-05", 5, "2026-03-10", "09:15:30", "Иван", 25.0, "Лева",
                                             7, "M", "B", 1, "2026-03-20"}));
        QVERIFY(acceptIntakeLines(db(), "Иван", {a}).isEmpty());
    }

    // A failure part way accepts nothing: the lines stay in the list.
    void acceptIsWhole() {
        const qint64 a = addIntakeLine(db(), "Иван", entry(), kNow, 2);
        const qint64 b = addIntakeLine(db(), "Иван", entry(), kNow, 2);
        execSql(db(), "INSERT INTO Priem_Ser (N_Prodajba, Status) VALUES (?, 1)",
                {a}); // taken: the insert fails
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, acceptIntakeLines(db(), "Иван", {a, b}));
        QCOMPARE(operatorIntakeLines(db(), "Иван"), (QList<qint64>{a, b}));
        QCOMPARE(count("SELECT COUNT(*) FROM Priem_Ser"), 1);
    }

    // The same operator accepting the same lines on two workstations at
    // once: each line is accepted once.
    void acceptOnTwoWorkstationsAtOnce() {
        QList<qint64> lines;
        for (int i = 0; i < 6; ++i)
            lines << addIntakeLine(db(), "Иван", entry(), kNow, 2);
        QList<int> accepted(2, 0);
        QList<QThread*> threads;
        for (int i = 0; i < 2; ++i)
            threads << QThread::create([&, i] {
                const QString name = QString("desk %1").arg(i);
                {
                    QSqlDatabase conn = fx_->openWorkstation(name);
                    QList<qint64> order = lines;
                    if (i == 1)
                        std::reverse(order.begin(), order.end());
                    accepted[i] = int(acceptIntakeLines(conn, "Иван", order).size());
                }
                QSqlDatabase::removeDatabase(name);
            });
        for (QThread* t : threads)
            t->start();
        for (QThread* t : threads) {
            QVERIFY(t->wait(60000));
            delete t;
        }
        QCOMPARE(accepted[0] + accepted[1], 6);
        QCOMPARE(count("SELECT COUNT(*) FROM Priem_Ser"), 6);
        QCOMPARE(count("SELECT COUNT(*) FROM Priem_Ser_Vremen"), 0);
    }

    // The workshop ticket, byte for byte, in the department's directory;
    // a second one waits until the print server has taken the first.
    void workshopTicketFile() {
        IntakeEntry e = entry();
        e.reason = "Не; се^включва";
        const qint64 n = addIntakeLine(db(), "Иван Петров-Стоянов", e, kNow, 2);
        const std::optional<WorkshopTicket> t = workshopTicketFor(db(), "Иван Петров-Стоянов", n, "3");
        QVERIFY(t.has_value());
        QVERIFY(!workshopTicketFor(db(), "Мария", n, "3"));

        FiscalSettings settings;
        settings.programDir = fx_->root();
        settings.receiptDir = fx_->root() + "Fiscal";
        const Department workshop{4, "Сервиз", "Workshop", "1: ЕЛТРЕЙД - Фискален принтер"};
        FiscalState state;
        BonResult r = writeWorkshopTicket(state, settings, workshop, *t);
        QCOMPARE(r.ticketsWritten, 1);
        QVERIFY(r.ticketFailures.isEmpty());
        const QString file = fx_->root() + "Workshop/ToPrepare_Ser.bon";
        const QByteArray expected =
            toCp1251("*\r\n:=======================\r\n:СЕРВИЗ\r\n:=======================\r\n:ПОС: 3\r\n"
                     ":Приет под N: " +
                     QString::number(n) +
                     "\r\n:Клиент: Бип ЕТ\r\n:Клиент тел.: 0888 123\r\n:Арт.: 20:Лаптоп\r\n"
                     ":Причина: Не  се включва\r\n:Опер.: Иван Петров-Стоя\r\n:=======================\r\n"
                     ":Цена ремонт: \r\n:=======================\r\n");
        QCOMPARE(test::Fixture::readFile(file), expected);
        QCOMPARE(QFile(file).permissions() & QFileDevice::ReadOther, QFileDevice::ReadOther);

        // Another device type: no "*" line. The first ticket is not taken
        // yet: the second waits and is written once the first is gone.
        const Department colon{4, "Сервиз", "Workshop", "2: ЕЛТРЕЙД - Касов апарат"};
        QVERIFY(!workshopTicketLines(colon, *t).contains("*"));
        r = writeWorkshopTicket(state, settings, colon, *t);
        QCOMPARE(r.ticketsWritten, 0);
        QCOMPARE(r.ticketsWaiting, 1);
        QCOMPARE(test::Fixture::readFile(file), expected);
        QVERIFY(QFile::remove(file));
        QVERIFY(state.retryWaitingTickets().isEmpty());
        QCOMPARE(test::Fixture::readFile(file), expected.mid(3));

        // A department without a directory of its own writes into its
        // directory under the receipt directory.
        const Department plain{2, "Бар", "", "2: ЕЛТРЕЙД - Касов апарат"};
        QCOMPARE(writeWorkshopTicket(state, settings, plain, *t).ticketsWritten, 1);
        QVERIFY(QFile::exists(fx_->root() + "Fiscal/Department2/ToPrepare_Ser.bon"));
    }
};

QTEST_MAIN(IntakeTest)
#include "test_intake.moc"
