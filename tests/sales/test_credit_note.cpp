// The credit note for the goods of an annulled invoice, printed without a
// printer from the shipped template: the lines invalidated (read from
// Invalidate_Sales, never the lines still recorded), the counterparty of
// the invoice, the invoice it corrects and the reason, the amounts in the
// base currency split by VAT rate with the total in words, and its own
// number taken once and registered for its lines.

#include "common/sql.h"
#include "documents/credit_note.h"
#include "documents/document_kinds.h"
#include "documents/issued_documents.h"
#include "documents/template_files.h"
#include "documents/texts.h"
#include "sales/invalidation.h"
#include "sales/sales_report.h"
#include "support/fixture.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace torvika;

namespace {

const QDateTime kNow(QDate(2025, 3, 6), QTime(11, 15, 0));

void record(const QSqlDatabase& db, qint64 id, qint64 article, double quantity, double price,
            const QString& currency, double discount = 0) {
    execSql(db,
            "INSERT INTO Prodajbi (ID_Prodajba, ID_Art, Operator, D_Prodajba, T_Prodajba, Kol, ED_Cena, "
            "Valuta, ID_Klient, T_O, Konsign_N, Pored_Ot, Pored_Do, Type_Pay, Term_N, Sklad_ID) "
            "VALUES (?, ?, 'Иван', '2025-03-04', '10:00:00', ?, ?, ?, 15, ?, 0, '', '', 'в брой', 1, 1)",
            {id, article, quantity, price, currency, discount});
}

} // namespace

class CreditNoteTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    QSqlDatabase db() { return fx_->db(); }
    QString dir() { return fx_->session().programDir.documentationsDir(); }

    // Lines 1 and 2 invoiced to Бип ЕТ (invoice 0000000007 of the 4th), line
    // 3 sold without a document; 1 and 2 invalidated with the invoice
    // annulled.
    AnnulledDocument invalidateInvoicedLines() {
        record(db(), 1, 10, 2, 2.5, "Лева");
        record(db(), 2, 12, 2, 10, "EUR", 10);
        record(db(), 3, 10, 1, 2.5, "Лева");
        for (qint64 line : {1, 2})
            execSql(db(),
                    "INSERT INTO Printed_Dok (ID_Prod, ID_Dok, ID_Kontrag, ID_Art, N_Dok, Operator, Data, "
                    "fTime, Ot_Kade_Prod) SELECT ?, ID_Dokument, 15, 10, '0000000007', 'Иван', '2025-03-04', "
                    "'10:05:00', 1 FROM Dokumenti WHERE Opisanie = 'Фактура'",
                    {line});
        InvalidationRequest r;
        r.lines = {{1, false, true}, {2, false, true}};
        r.reason = QStringLiteral("Върната стока");
        r.operatorName = QStringLiteral("Мария");
        r.when = kNow;
        r.activeWarehouse = 1;
        const InvalidationResult result = invalidateSales(db(), r);
        if (result.annulled.size() != 1)
            return {};
        return result.annulled.first();
    }

    // The request the sales report makes for the annulled document.
    PrintRequest request(const AnnulledDocument& d, const QList<qint64>& lines) {
        PrintRequest base;
        base.operatorName = QStringLiteral("Мария");
        base.companyFields = companyFields("Алфа ЕООД", "201234567", "Мария Иванова", "гр. София, ул. Рила 1",
                                           "", "", "", "", "20");
        base.templateDir = dir();
        base.now = kNow;
        base.vatRates = VatRates::defaults();
        base.amounts = [](const QSqlDatabase& db, const QList<qint64>& l) {
            return recordedSalesVat(db, l, 2, VatRates::defaults(), StoredLines::Invalidated);
        };
        return creditNoteRequest(
            base, lines, CorrectedDocument{d.kind, d.number, d.date, d.counterparty, "Върната стока"});
    }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        QDir().mkpath(dir());
        for (const QString& f : QDir(TORVIKA_SOURCE_DIR "/documentations").entryList(QDir::Files))
            QFile::copy(TORVIKA_SOURCE_DIR "/documentations/" + f, dir() + u'/' + f);
        execSql(db(), "DELETE FROM Valuti");
        execSql(db(), "INSERT INTO Valuti (Opisanie, Kurs, Osn) VALUES ('Лева', 1, 'True'), "
                      "('EUR', 1.95583, 'False')");
        execSql(db(), "INSERT INTO Produkti (ID, Opisanie, Nomer_Grupa, Ed_Cena, Valuta_P, Mqrka, Dan_Grup) "
                      "VALUES (10, 'Чай', 1, 2.5, 'Лева', 'бр.', 1), (12, 'Уред', 1, 10, 'EUR', 'бр.', 1)");
        execSql(db(), "INSERT INTO Firmi (ID, Ime_Firma, Adres_Firma, EIK, Dan_N) VALUES "
                      "(15, 'Бип ЕТ', 'ул. Витоша 12', '123456789', 'BG123456789')");
    }
    void cleanup() { fx_.reset(); }

    // The annulled invoice's lines on the note, the line still recorded
    // left out; the amounts in leva, 20 % VAT, the total in words; the
    // number taken by the first print and registered for the two lines, the
    // second print of the run a copy under it.
    void printsTheInvalidatedLines() {
        const AnnulledDocument annulled = invalidateInvoicedLines();
        QCOMPARE(annulled.lines, (QList<qint64>{1, 2}));
        QCOMPARE(annulled.counterparty, 15);
        QVERIFY(correctedByCreditNote(dir(), annulled.kind));
        QVERIFY(!correctedByCreditNote(dir(), "Стокова разписка"));
        checkCreditNoteKind(db());

        const PrintRequest r = request(annulled, {1, 2, 3});
        const PreparedDocument doc = prepareDocument(db(), r, texts::kCreditNoteKind, {});
        QCOMPARE(doc.lines, (QList<qint64>{1, 2}));
        QCOMPARE(doc.values.amounts.net.toFixed(2), "33.50");
        QCOMPARE(doc.values.amounts.vat.toFixed(2), "6.70");
        QCOMPARE(doc.values.amounts.gross.toFixed(2), "40.20");

        DocumentPrintState state;
        state.beginRun(r.context, r.lines);
        QStringList texts;
        auto draw = [&](const ReportLayout& layout, int) {
            texts << layout.plainText();
            return true;
        };
        QCOMPARE(printDocument(db(), state, doc, r, draw), PrintOutcome::Printed);
        QCOMPARE(printDocument(db(), state, doc, r, draw), PrintOutcome::Printed);
        QCOMPARE(texts.size(), 2);
        const QString& text = texts[0];
        for (const char* expected :
             {"КРЕДИТНО ИЗВЕСТИЕ", "ОРИГИНАЛ", "Към документ: Фактура № 0000000007 от 04.03.2025",
              "Кредитно известие №:", "0000000001", "Бип ЕТ", "ул. Витоша 12", "BG123456789", "Алфа ЕООД",
              "Чай", "Уред", "Основание: Върната стока", "33.50", "6.70", "40.20",
              "четиридесет  лева и 20 стотинки"})
            QVERIFY2(text.contains(QString::fromUtf8(expected)), qPrintable(expected + ("\n" + text)));
        QVERIFY2(!text.contains("[Към документ]") && !text.contains("[Основание]"), qPrintable(text));
        // The line's value without VAT is that of its amount (35.20 / 1.2).
        QVERIFY2(text.contains("\n29.33\n") && !text.contains("29.34"), qPrintable(text));
        QVERIFY2(texts[1].contains("КОПИЕ") && texts[1].contains("0000000001"), qPrintable(texts[1]));

        QCOMPARE(currentDocumentNumber(db(), texts::kCreditNoteKind), "0000000002");
        const SqlRows reg = readRows(
            db(),
            "SELECT P.ID_Prod, P.ID_Kontrag, P.N_Dok, P.Ot_Kade_Prod, P.Data, COALESCE(P.Anulirano, '') "
            "FROM Printed_Dok P JOIN Dokumenti D ON D.ID_Dokument = P.ID_Dok WHERE D.Opisanie = ? "
            "ORDER BY P.ID_Prod",
            {texts::kCreditNoteKind});
        QCOMPARE(reg.rows.size(), 2);
        QCOMPARE(reg.rows[0], (QVariantList{1, 15, "0000000001", 1, "2025-03-06", ""}));
        QCOMPARE(reg.rows[1][0].toLongLong(), 2);

        // The note in the register of issued documents: its lines read back
        // from the invalidated sales, with their total.
        const IssuedDocumentRef issued{findDocumentKind(db(), texts::kCreditNoteKind)->id,
                                       texts::kCreditNoteKind,
                                       "0000000001",
                                       kIssuedInShop,
                                       "2025-03-06",
                                       "11:15:00",
                                       15};
        QCOMPARE(issuedDocumentLines(db(), issued), (QList<qint64>{1, 2}));
        QCOMPARE(issuedDocumentTotal(db(), issued).toFixed(2), "40.20");
        QVERIFY(issuedLinesInvalidated(db(), {1, 2}));
        QVERIFY(!issuedLinesInvalidated(db(), {1, 3}));

        // What a copy of the note names, found from its lines.
        const std::optional<CorrectedDocument> corrected = correctedDocumentOf(db(), {2, 1});
        QVERIFY(corrected);
        QCOMPARE(corrected->kind, "Фактура");
        QCOMPARE(corrected->number, "0000000007");
        QCOMPARE(corrected->date, "2025-03-04");
        QCOMPARE(corrected->counterparty, 15);
        QCOMPARE(corrected->reason, "Върната стока");
        QVERIFY(!correctedDocumentOf(db(), {3}));
    }

    // With the euro as the base currency the lines are converted into it
    // and the words name it.
    void amountsInTheBaseCurrency() {
        execSql(db(), "DELETE FROM Valuti");
        execSql(db(), "INSERT INTO Valuti (Opisanie, Kurs, Osn) VALUES ('EUR', 1, 'True'), "
                      "('Лева', 0.51129, 'False')");
        const AnnulledDocument annulled = invalidateInvoicedLines();
        const PreparedDocument doc =
            prepareDocument(db(), request(annulled, annulled.lines), texts::kCreditNoteKind, {});
        // 2 × 2.50 лв. = 2.56 EUR, 2 × 10 EUR less 10 % = 18.00 EUR.
        QCOMPARE(doc.values.amounts.gross.toFixed(2), "20.56");
        QVERIFY2(doc.values.amounts.grossWords.contains("евро"), qPrintable(doc.values.amounts.grossWords));
    }

    // The kind printed for recorded lines, as an operator who offers it on
    // a page would: the fields naming a corrected document stay empty.
    void printedElsewhereNamesNothing() {
        record(db(), 3, 10, 1, 2.5, "Лева");
        PrintRequest r;
        r.context = PrintContext::SalesReport;
        r.lines = {3};
        r.counterparty = 15;
        r.companyFields = companyFields("Алфа ЕООД", "201234567", "", "", "", "", "", "", "20");
        r.templateDir = dir();
        r.now = kNow;
        const PreparedDocument doc = prepareDocument(db(), r, texts::kCreditNoteKind, {});
        const QString text = ReportLayout(doc.report, doc.data, doc.values).plainText();
        QVERIFY2(text.contains("Към документ:") && text.contains("Чай"), qPrintable(text));
        QVERIFY2(!text.contains("[Към документ]") && !text.contains("[Основание]"), qPrintable(text));
    }

    // Credit notes are numbered in the invoices' series: the kind shows and
    // sets the invoices' number, and follows the invoice kind's new name.
    void numberedInTheInvoicesSeries() {
        const std::optional<DocumentKind> note = findDocumentKind(db(), texts::kCreditNoteKind);
        const std::optional<DocumentKind> invoice = findDocumentKind(db(), "Фактура");
        QVERIFY(note && invoice);
        QCOMPARE(note->numberingId, invoice->id);
        setDocumentNumber(db(), note->id, "0000000120");
        QCOMPARE(findDocumentKind(db(), "Фактура")->number, "0000000120");
        QCOMPARE(findDocumentKind(db(), texts::kCreditNoteKind)->number, "0000000120");
        const SqlStatement kinds = documentKindsStatement();
        QStringList shown;
        for (const QVariantList& row : readRows(db(), kinds.text, kinds.values).rows)
            if (row[1].toString() == "Фактура" || row[1].toString() == texts::kCreditNoteKind)
                shown << row[2].toString();
        QCOMPARE(shown, (QStringList{"0000000120", "0000000120"}));
        renameDocumentKind(db(), dir(), invoice->id, "Данъчна фактура");
        QCOMPARE(findDocumentKind(db(), texts::kCreditNoteKind)->numberingId, invoice->id);
    }

    // No credit note without its numbered kind: never one printed unnumbered.
    void refusedWithoutItsNumberedKind_data() {
        QTest::addColumn<QString>("change");
        QTest::newRow("kind deleted") << "DELETE FROM Dokumenti WHERE Opisanie = ?";
        QTest::newRow("own series not numbered")
            << "UPDATE Dokumenti SET N_Dok = '0', Nomeracia_Ot = '' WHERE Opisanie = ?";
        QTest::newRow("invoices not numbered")
            << "UPDATE Dokumenti SET N_Dok = '0' WHERE Opisanie = (SELECT Nomeracia_Ot FROM Dokumenti WHERE "
               "Opisanie = ?)";
    }
    void refusedWithoutItsNumberedKind() {
        QFETCH(QString, change);
        execSql(db(), change, {texts::kCreditNoteKind});
        QVERIFY_THROWS_EXCEPTION(EDocumentError, checkCreditNoteKind(db()));
    }
};

QTEST_MAIN(CreditNoteTest)
#include "test_credit_note.moc"
