// Supplier warranty documents: the staged rows, the save (whole, under the
// next free number, the articles marked), the import file checked whole
// before anything is staged, and the service reports.

#include "common/cp1251.h"
#include "common/errors.h"
#include "common/sql.h"
#include "service/intake_lines.h"
#include "service/service_reports.h"
#include "service/warranty_cards.h"
#include "support/fixture.h"
#include "support/fuzz.h"

#include <QTest>

using namespace torvika;

namespace {

WarrantyRow row(qint64 article, const QString& serial, const QDate& until = QDate(2028, 1, 1)) {
    WarrantyRow r;
    r.article = article;
    r.serial = serial;
    r.model = "M-" + serial;
    r.batch = "P1";
    r.until = until;
    return r;
}

WarrantyHeader header() {
    return {7, 3, "К-123", QDate(2026, 3, 1), "партида 5"};
}

QList<qint64> numbers(const QSqlDatabase& db, const SqlStatement& s) {
    QList<qint64> out;
    for (const QVariantList& r : readRows(db, s.text, s.values).rows)
        out << r[0].toLongLong();
    return out;
}

} // namespace

class WarrantyCardsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    QSqlDatabase db() { return fx_->db(); }
    int count(const QString& sql, const QVariantList& values = {}) {
        return scalarSql(db(), sql, values).toInt();
    }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        execSql(db(), "INSERT INTO Firmi (ID, Ime_Firma, EIK, Nomer_Grupa) VALUES (5, 'Бип ЕТ', '0', 0), "
                      "(7, 'Доставчик ООД', '0', 0)");
        execSql(db(),
                "INSERT INTO Produkti (ID, Opisanie, Nomer_Grupa, Ed_Cena, Valuta_P, Garancionen) VALUES "
                "(20, 'Лаптоп', 1, 900, 'Лева', 'False'), (21, 'Принтер', 1, 300, 'Лева', 'True'), "
                "(22, 'Мишка', 1, 10, 'Лева', 'False')");
    }
    void cleanup() { fx_.reset(); }

    // A row needs a serial number, an existing article, a validity, and a
    // serial number not staged already; a period runs from the document's
    // date and follows it when it changes (2 months from 1 March is 30
    // April, from 1 April 31 May).
    void stagedRows() {
        WarrantyStaging staging(db());
        staging.setDocumentDate(QDate(2026, 3, 1));
        const QList<std::pair<WarrantyRow, QString>> refused{
            {row(20, "  "), "Задължително е да се въведе сериен номер и е да е избран артикул"},
            {row(0, "S1"), "Задължително е да се въведе сериен номер и е да е избран артикул"},
            {row(99, "S1"), "Въведеният номер за артикул не съществува!"},
            {row(20, "S1", QDate()), "Необходимо е да се въведе валидност за гаранцията"},
        };
        for (const auto& [r, message] : refused) {
            try {
                staging.stage(r);
                QFAIL(qPrintable("staged: " + message));
            } catch (const EConvertError& e) {
                QCOMPARE(e.message(), message);
            }
        }
        WarrantyRow months = row(20, "s1");
        months.unit = PeriodUnit::Months;
        months.count = 2;
        QCOMPARE(staging.stage(months), 1);
        QCOMPARE(staging.stage(row(21, "S2")), 2);
        try {
            staging.stage(row(22, "S1"));
            QFAIL("a serial staged twice");
        } catch (const EConvertError& e) {
            QCOMPARE(e.message(), "Серийният номер \"S1\" вече е въведен в документа");
        }
        auto validities = [&] {
            QStringList out;
            const SqlStatement s = staging.statement();
            for (const QVariantList& r : readRows(db(), s.text, s.values).rows)
                out << r[6].toString();
            return out;
        };
        QCOMPARE(validities(), (QStringList{"2026-04-30", "2028-01-01"}));
        staging.setDocumentDate(QDate(2026, 4, 1));
        QCOMPARE(validities(), (QStringList{"2026-05-31", "2028-01-01"}));
        QCOMPARE(staging.remove({1, 7}), 1);
        QCOMPARE(staging.count(), 1);
        // Other workstations see nothing of it.
        QCOMPARE(count("SELECT COUNT(*) FROM Serials"), 0);
    }

    // The save takes the number free at that moment (here taken meanwhile
    // by another workstation), points the serial numbers to it, marks every
    // article as a warranty article (one already marked too), and empties
    // the staged rows.
    void saveUnderTheNextFreeNumber() {
        WarrantyStaging staging(db());
        staging.setDocumentDate(QDate(2026, 3, 1));
        QCOMPARE(expectedWarrantyCard(db()), 1);
        staging.stage(row(20, "S1"));
        staging.stage(row(21, "S2"));
        execSql(db(), "INSERT INTO Garancia_dostavtchik (ID, ID_Kontrag, Vid_Dok, ID_Dok, Data) "
                      "VALUES (1, 0, 1, 'X', '2026-01-01')");
        QCOMPARE(staging.save(header()), 2);
        QCOMPARE(staging.count(), 0);
        const SqlRows doc = readRows(db(), "SELECT ID_Kontrag, Vid_Dok, ID_Dok, Data, Zabel FROM "
                                           "Garancia_dostavtchik WHERE ID = 2");
        QCOMPARE(doc.rows[0], (QVariantList{7, 3, "К-123", "2026-03-01", "партида 5"}));
        QCOMPARE(count("SELECT COUNT(*) FROM Serials WHERE ID_Karta = 2"), 2);
        QCOMPARE(count("SELECT COUNT(*) FROM Produkti WHERE Garancionen = 'True'"), 2);
        QCOMPARE(scalarSql(db(), "SELECT Garancionen FROM Produkti WHERE ID = 22").toString(), "False");
        // The intake now knows the serial numbers.
        const SerialLookup found = lookupSerial(db(), "s2", false);
        QVERIFY(found.supplier.has_value());
        QCOMPARE(found.supplier->card, 2);
        QCOMPARE(found.supplier->documentNumber, "К-123");
        QCOMPARE(found.model, "M-S2");
    }

    // A document is refused before anything is stored when it cannot be
    // kept; a failure while storing keeps nothing and leaves the rows
    // staged.
    void saveIsWhole() {
        WarrantyStaging staging(db());
        staging.setDocumentDate(QDate(2026, 3, 1));
        QVERIFY_THROWS_EXCEPTION(EConvertError, staging.save(header())); // no rows
        staging.stage(row(20, "S1"));
        WarrantyHeader longNumber = header();
        longNumber.number = "1234567890123";
        QVERIFY_THROWS_EXCEPTION(EConvertError, staging.save(longNumber));
        WarrantyHeader noKind = header();
        noKind.kind = 0;
        QVERIFY_THROWS_EXCEPTION(EConvertError, staging.save(noKind));
        // The second serial number breaks a unique index: the document, the
        // first serial number and the article's mark are not kept either.
        staging.stage(row(22, "S2"));
        execSql(db(), "CREATE UNIQUE INDEX IX_Test_One_Serial_Per_Card ON Serials (ID_Karta)");
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, staging.save(header()));
        QCOMPARE(count("SELECT COUNT(*) FROM Garancia_dostavtchik"), 0);
        QCOMPARE(count("SELECT COUNT(*) FROM Serials"), 0);
        QCOMPARE(scalarSql(db(), "SELECT Garancionen FROM Produkti WHERE ID = 20").toString(), "False");
        QCOMPARE(staging.count(), 2);
    }

    // A file whose rows come before its document line stages them all;
    // the number, note and date are the last document line's. Windows-1251
    // is read as well as UTF-8.
    void importAFile() {
        const QString path = fx_->writeFile(
            "import.txt",
            toCp1251(
                u"1:[20]2:[П-1]3:[X1]4:[sn-1]5:[01.02.2028]\r\n"
                u"\r\n"
                u"7:[К-1]8:[01.01.2026]9:[първа]\r\n"
                u"1:[21] 2:[П-2] 3:[X2] 4:[SN-2] 5:[2027-12-31] 7:[К-2] 8:[15.02.2026] 9:[последна]\r\n"));
        const WarrantyImport file = readWarrantyFile(db(), path);
        QVERIFY2(file.ok(), qPrintable(file.errorText()));
        QCOMPARE(file.number, "К-2");
        QCOMPARE(file.note, "последна");
        QCOMPARE(file.date, QDate(2026, 2, 15));
        QCOMPARE(file.rows.size(), 2);
        QCOMPARE(file.rows[0].batch, "П-1");
        QCOMPARE(file.rows[0].model, "X1");
        QCOMPARE(file.rows[0].until, QDate(2028, 2, 1));
        QCOMPARE(file.rows[1].until, QDate(2027, 12, 31));

        // Stopped by the operator: nothing to stage, and no fault to show.
        struct Stop : NoProgress {
            bool cancelled() override { return true; }
        } stop;
        const WarrantyImport stopped = readWarrantyFile(db(), path, &stop);
        QVERIFY(stopped.cancelled && !stopped.ok());
        QVERIFY(stopped.errors.isEmpty() && stopped.rows.isEmpty());

        WarrantyStaging staging(db());
        staging.setDocumentDate(file.date);
        staging.stageAll(file.rows);
        QCOMPARE(staging.save({7, 1, file.number, file.date, file.note}), 1);
        QCOMPARE(lookupSerial(db(), "SN-1", false).supplier->documentNumber, "К-2");
    }

    // A file with faults is refused whole, every fault named by its line.
    void importRefusedByLine() {
        const QString path = fx_->writeFile("faults.txt", QByteArray("1:[20]2:[a]3:[b]4:[S1]5:[01.02.2028]\n"
                                                                     "1:[99]4:[S2]5:[01.02.2028]\n"
                                                                     "1:[x]4:[S3]5:[01.02.2028]\n"
                                                                     "1:[20]5:[01.02.2028]\n"
                                                                     "1:[21]4:[s1]5:[01.02.2028]\n"
                                                                     "1:[21]4:[S5]5:[31.02.2028]\n"
                                                                     "1:[21]4:[S6\n"
                                                                     "3:[only a model]\n"
                                                                     "7:[1234567890123]8:[soon]\n"));
        const WarrantyImport file = readWarrantyFile(db(), path);
        QStringList lines;
        for (const WarrantyImportError& e : file.errors)
            lines << QString("%1 %2").arg(e.line).arg(e.message);
        QCOMPARE(lines, (QStringList{
                            "2 няма артикул с номер 99",
                            "3 \"x\" не е номер на артикул",
                            "4 липсва сериен номер (поле 4)",
                            "5 серийният номер \"s1\" вече е на ред 1",
                            "6 валидността \"31.02.2028\" (поле 5) не е дата във вида дд.мм.гггг",
                            "7 поле 4 няма затваряща скоба \"]\"",
                            "8 редът няма нито артикул (1), нито номер на документ (7)",
                            "9 номерът на документа \"1234567890123\" (поле 7) е по-дълъг от 12 знака",
                            "9 датата на документа \"soon\" (поле 8) не е дата във вида дд.мм.гггг",
                        }));
        QVERIFY(file.errorText(2).endsWith("... и още 7 грешки"));
        const QString noDocument = fx_->writeFile("rows.txt", "1:[20]4:[S1]5:[01.02.2028]\r\n");
        const WarrantyImport rowsOnly = readWarrantyFile(db(), noDocument);
        QCOMPARE(rowsOnly.errorText(), "Във файла няма ред с номер на документ (поле 7)");
    }

    // Mutated files never crash or hang the reader.
    void importFuzzed() {
        const QList<QByteArray> seeds{
            "1:[20]2:[a]3:[b]4:[S1]5:[01.02.2028]\r\n7:[K1]8:[01.01.2026]9:[n]\r\n",
            toCp1251(u"7:[К-1]8:[2026-01-01]\r\n1:[21] 4:[СН-1] 5:[01.01.2027]\r\n"),
        };
        const QString path = fx_->root() + "fuzz.txt";
        const test::FuzzResult r = test::fuzz(seeds, 2000, [&](const QByteArray& input) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(input);
            f.close();
            const WarrantyImport file = readWarrantyFile(db(), path);
            if (file.ok())
                QVERIFY(file.hasDocument);
        });
        QVERIFY2(r.failure.isEmpty(), qPrintable(r.failure));
        QVERIFY(r.cases > 2000);
    }

    // The documents report: each criterion narrows it, each document is
    // listed once however many of its serial numbers match.
    void documentsReport_data() {
        QTest::addColumn<int>("criterion");
        QTest::addColumn<QList<qint64>>("found");
        QTest::newRow("none") << 0 << QList<qint64>{1, 2, 3};
        QTest::newRow("supplier") << 1 << QList<qint64>{2};
        QTest::newRow("kind") << 2 << QList<qint64>{3};
        QTest::newRow("document date between") << 3 << QList<qint64>{1, 2};
        QTest::newRow("serial containing 12") << 4 << QList<qint64>{1, 3};
        QTest::newRow("serial exactly, any case") << 5 << QList<qint64>{3};
        QTest::newRow("article and model") << 6 << QList<qint64>{1};
        QTest::newRow("validity at most") << 7 << QList<qint64>{2};
    }
    void documentsReport() {
        QFETCH(int, criterion);
        QFETCH(QList<qint64>, found);
        execSql(db(),
                "INSERT INTO Garancia_dostavtchik (ID, ID_Kontrag, Vid_Dok, ID_Dok, Data) VALUES "
                "(1, 5, 1, 'A', '2026-01-10'), (2, 7, 1, 'B', '2026-02-10'), (3, 99, 3, 'C', '2026-03-10')");
        execSql(db(), "INSERT INTO Serials (ID_Karta, ID, Model, Partida, Serial_ID, Data) VALUES "
                      "(1, 20, 'X1', 'P', 'A120', '2028-01-01'), (1, 20, 'Y', 'P', 'A121', '2028-01-01'), "
                      "(2, 21, 'Z', 'P', 'B7', '2026-06-01'), (3, 22, 'X1', 'P', 'c12', '2028-01-01')");
        WarrantyReportFilter f;
        switch (criterion) {
        case 1:
            f.supplier = 7;
            break;
        case 2:
            f.kind = 3;
            break;
        case 3:
            f.date = DateFilter{DateComparison::Between, QDate(2026, 1, 1), QDate(2026, 2, 10)};
            break;
        case 4:
            f.serial = TextFilter{"12", true};
            break;
        case 5:
            f.serial = TextFilter{"C12", false};
            break;
        case 6:
            f.article = 20;
            f.model = TextFilter{"x", true};
            break;
        case 7:
            f.validity = DateFilter{DateComparison::AtMost, QDate(2027, 1, 1), {}};
            break;
        }
        QCOMPARE(numbers(db(), warrantyDocumentsStatement(f)), found);
        const SqlStatement serials = documentSerialsStatement(1);
        const SqlRows rows = readRows(db(), serials.text, serials.values);
        QCOMPARE(rows.rows.size(), 2);
        QCOMPARE(rows.rows[0][1].toString(), "Лаптоп");
    }

    // The issued items: an item without a supplier is listed; the
    // criteria the window offers narrow it; the total converts each line.
    void issuedReport() {
        execSql(
            db(),
            "INSERT INTO R_Priem (N_Priem, Barkod, S_N, Pri4ina, ID_Kontrag, ID_Dostav4ik, Gar_Dok_N, "
            "Data_Gar_Dok, Operator, Model, Partida, Dosie_ID, Data_Izd, Oper_Izd) VALUES "
            "(1, 20, 'SN-1', 'Не се включва', 5, 0, '', '', 'Иван', 'X1', 'P1', 0, '2026-03-01', 'Мария'), "
            "(2, 21, 'SN-2', 'Счупен екран', 5, 7, 'К-9', '2026-01-05', 'Петър', 'Y', 'P2', 4, "
            "'2026-03-05', 'Иван'), "
            "(3, 22, 'XX-3', 'шум', 99, 7, 'К-9', '2026-02-05', 'Иван', 'Z', 'P3', 0, '2026-03-09', "
            "'Мария')");
        execSql(db(),
                "INSERT INTO R_Remont (N_Priem, Remont, Kol, ED_Cena, Valuta, ID) VALUES "
                "(1, 'Труд', 1, 10, 'EUR', 1), (2, 'Екран', 1, 5, 'Лева', 2), (2, 'Лепило', 2, 1, 'XYZ', 3)");
        const QList<std::pair<IssuedFilter, QList<qint64>>> cases = [] {
            QList<std::pair<IssuedFilter, QList<qint64>>> c;
            c.append({IssuedFilter{}, {1, 2, 3}});
            IssuedFilter f;
            f.reason = "ВКЛ";
            c.append({f, {1}});
            f = {};
            f.supplier = 7;
            f.documentDate = DateFilter{DateComparison::AtLeast, QDate(2026, 2, 1), {}};
            c.append({f, {3}});
            f = {};
            f.operatorName = "Иван";
            f.serial = "sn";
            c.append({f, {1}});
            f = {};
            f.dossier = 4;
            c.append({f, {2}});
            f = {};
            f.issuedBy = "Мария";
            f.issued = DateFilter{DateComparison::Between, QDate(2026, 3, 2), QDate(2026, 3, 31)};
            c.append({f, {3}});
            f = {};
            f.article = 21;
            f.model = "y";
            f.batch = "p";
            c.append({f, {2}});
            return c;
        }();
        for (const auto& [filter, expected] : cases)
            QCOMPARE(numbers(db(), issuedItemsStatement(filter)), expected);
        IssuedFilter client;
        client.client = 5;
        QCOMPARE(issuedRepairsTotal(db(), client).text(2), "24.56 + 2.00 XYZ");

        const ServiceTurnover t = serviceTurnover(db(), QDate(2026, 3, 1), QDate(2026, 3, 5));
        QCOMPARE(t.issued, 2);
        QCOMPARE(t.repairs.leva, Decimal("24.5583"));
    }

    // The items in service: narrowed by state, client, intake date or
    // overdue, with the repair so far.
    void inServiceReport() {
        const QString item = "INSERT INTO Priem_Ser (N_Prodajba, ID_Kontrag, Data_Priem, Krai_Data, Status) "
                             "VALUES (?, ?, ?, ?, ?)";
        execSql(db(), item, {1, 5, "2026-03-01", "2026-03-05", 1});
        execSql(db(), item, {2, 7, "2026-03-01", "2026-03-01", 2});
        execSql(db(), item, {3, 5, "2026-03-09", "2026-03-20", 1});
        execSql(
            db(),
            "INSERT INTO Remont (N_Priem, Remont, Kol, Ed_Cena, Valuta) VALUES (1, 'Труд', 2, 10, 'Лева')");
        const QDate today(2026, 3, 10);
        InServiceFilter f;
        QCOMPARE(numbers(db(), inServiceStatement(f, today)), (QList<qint64>{1, 2, 3}));
        f.overdueOnly = true;
        QCOMPARE(numbers(db(), inServiceStatement(f, today)), (QList<qint64>{1}));
        f = {};
        f.client = 5;
        f.received = DateFilter{DateComparison::AtLeast, QDate(2026, 3, 5), {}};
        QCOMPARE(numbers(db(), inServiceStatement(f, today)), (QList<qint64>{3}));
        f = {};
        f.state = 2;
        QCOMPARE(numbers(db(), inServiceStatement(f, today)), (QList<qint64>{2}));
        const SqlStatement all = inServiceStatement({}, today);
        QCOMPARE(readRows(db(), all.text, all.values).rows[0][11].toDouble(), 20.0);
        QCOMPARE(serviceTurnover(db(), QDate(2026, 3, 1), QDate(2026, 3, 10)).inService, 3);
        QCOMPARE(serviceTurnover(db(), QDate(2026, 3, 1), QDate(2026, 3, 1)).received, 2);
    }
};

QTEST_MAIN(WarrantyCardsTest)
#include "test_warranty_cards.moc"
