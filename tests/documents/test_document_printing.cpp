// "Печат документи" on the shop page of the main window: the shipped
// invoice printed to a PDF file for selected sale lines, its text read back
// with pdftotext, the numbering it registers; a second print of the same
// lines as a copy or a new document; the preview and a print from it; what
// happens without a selection, a document, a counterparty or a working
// printer; the register of document kinds edited in its grid.

#include "common/sql.h"
#include "common/texts.h"
#include "documents/print_run.h"
#include "documents/texts.h"
#include "documents/ui/document_choosers.h"
#include "documents/ui/document_preview.h"
#include "documents/ui/kind_grids.h"
#include "sales/ui/sales_module.h"
#include "sales/ui/shop_page.h"
#include "support/fixture.h"
#include "support/host_stand_in.h"
#include "support/main_window.h"
#include "support/modal_script.h"
#include "support/scripted_messages.h"
#include "support/window_helpers.h"

#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>
#include <QToolButton>

using namespace torvika;

namespace {

// The lines of the text with their blanks run together, so that a line of
// a table reads "9 % 22.02 1.98" whatever the columns' widths (pdftotext
// reads the narrow blank of "9 %" as none at times).
QString squeezed(const QString& text) {
    static const QRegularExpression percent(QStringLiteral("(\\d) ?%"));
    QStringList lines;
    for (const QString& l : text.split(u'\n'))
        lines << l.simplified().replace(percent, QStringLiteral("\\1 %"));
    return lines.join(u'\n');
}

const QDateTime kNow(QDate(2024, 5, 17), QTime(10, 30, 5));

} // namespace

class DocumentPrintingTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    std::unique_ptr<test::ScriptedMessages> msg_;
    std::unique_ptr<test::MainWindow> main_;
    QList<qint64> lines_;
    QSqlDatabase db() { return fx_->db(); }
    ShopPage* page() { return main_->modules.get<SalesModule>().shopPage(); }
    QString number() {
        return scalarSql(db(), "SELECT N_Dok FROM Dokumenti WHERE Opisanie = 'Фактура'").toString();
    }
    int registered() { return scalarSql(db(), "SELECT COUNT(*) FROM Printed_Dok").toInt(); }
    QString pdf(const char* name) { return fx_->root() + QString::fromLatin1(name); }

    // Selects grid rows in this order, opens the lists with their toggle
    // and ticks the document and the printer.
    void choose(const QList<int>& rows, const QString& document, const QString& printer) {
        QTableView* grid = page()->findChild<QTableView*>("DBGrid1");
        grid->clearSelection();
        for (int row : rows)
            grid->selectionModel()->select(grid->model()->index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
        auto* toggle = page()->findChild<QToolButton*>("SpdBtn_Pokaji_Dokuments");
        if (!toggle->isChecked())
            QTest::mouseClick(toggle, Qt::LeftButton);
        test::tickOnly(page()->findChild<QListWidget*>("ChkListBox_Pokaj_Dokum"), document);
        test::tickOnly(page()->findChild<QListWidget*>("CheckListBox_Printers"), printer);
    }
    void pressPrint() {
        QTest::mouseClick(page()->findChild<QPushButton*>("Button_Pe4at_Dokumenti"), Qt::LeftButton);
    }

    // The invoice of the rows into the file, the payment method typed.
    void printInvoice(const QList<int>& rows, const QString& file, const QString& payment = "в брой") {
        choose(rows, "Фактура", texts::kPdfPrinter);
        msg_->answer(payment);
        msg_->answer(file);
        pressPrint();
    }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        msg_ = std::make_unique<test::ScriptedMessages>();
        fx_->session().clock = [] { return kNow; };
        // The shipped templates, the company, its VAT registration and the
        // town of the warehouse the till sells from.
        const QString docs = fx_->session().programDir.documentationsDir();
        QDir().mkpath(docs);
        for (const QString& f : QDir(TORVIKA_SOURCE_DIR "/documentations").entryList(QDir::Files))
            QFile::copy(TORVIKA_SOURCE_DIR "/documentations/" + f, docs + u'/' + f);
        ProfileFile firm = fx_->firmData();
        firm.writeString("Firm_Data", "Name", "Алфа ЕООД");
        firm.writeString("Firm_Data", "EIK", "201234567");
        firm.writeString("Firm_Data", "Adress", "ул. Главна 1");
        firm.writeString("Firm_Data", "DDS", "20");
        execSql(db(), "UPDATE Sklad SET Grad = 'Пловдив' WHERE ID_Sklad = 1");
        execSql(db(),
                "INSERT INTO Firmi (ID, Ime_Firma, Adres_Firma, EIK, Dan_N, ID_Mol, Nomer_Grupa) VALUES "
                "(5, 'Бета Трейд ООД', 'ул. Витоша 12', '123456789', 'BG123456789', 7, 0)");
        execSql(db(), "INSERT INTO Klienti (ID, Ime_Klient) VALUES (7, 'Петър Петров')");
        execSql(db(), "UPDATE Dokumenti SET N_Dok = '000125' WHERE Opisanie = 'Фактура'");
        // Coffee at 20 % (group Б), tea and sugar at 9 % (group Г).
        const QList<std::pair<const char*, int>> lines{
            {"Кафе мляно 250 г", 1}, {"Чай зелен", 3}, {"Захар 1 кг", 3}};
        for (const auto& [name, group] : lines)
            lines_ << insertReturningKey(
                db(),
                "INSERT INTO Prodajbi_Vremenni (Barkod, Opisanie, Kol, Mqrka, Ed_Cena, Valuta, "
                "Operator, T_O, SUM_BezDDS, Bez_DDS, Sm_N, Dan_Grup) VALUES "
                "(10, ?, 2, 'бр.', 12, 'Лева', ?, 0, 20, 10, 0, ?)",
                {QString::fromUtf8(name), test::kFirstOperator, group}, "N_Prodajba");
        main_ = std::make_unique<test::MainWindow>(fx_->session());
        QVERIFY(main_->start());
        fx_->session().setSaleCounterparty("5:Бета Трейд ООД");
        page()->refresh();
    }
    void cleanup() {
        QCOMPARE(msg_->unexpected, 0);
        main_.reset();
        msg_.reset();
        fx_.reset();
    }

    // A line at 9 % and one at 20 %: each line with its rate, each rate with
    // its base and VAT, the totals, the payment method typed, the dates and
    // the place of issue; the number registered for both lines.
    void invoiceOfTwoRates() {
        printInvoice({2, 0}, pdf("invoice.pdf"), "по банков път");
        QCOMPARE(msg_->messages, QStringList{});
        const QString text = test::pdfText(pdf("invoice.pdf"));
        const QString lines = squeezed(text);
        for (const char* expected :
             {"ФАКТУРА", "ОРИГИНАЛ", "Фактура №: 000125", "Дата на издаване: 17.05.2024",
              "Дата на данъчното събитие: 17.05.2024", "Място на издаване: Пловдив", "Алфа ЕООД",
              "ЕИК: 201234567", "ИН по ДДС: BG201234567", "Бета Трейд ООД", "123456789", "BG123456789",
              "Петър Петров",
              // the lines: number, code, name, unit, quantity, rate, unit net, line net
              "1 10 Захар 1 кг бр. 2.00 9 % 11.01 22.02", "2 10 Кафе мляно 250 г бр. 2.00 20 % 10.00 20.00",
              // the rates, their bases and VAT; the totals
              "Ставка на ДДС Данъчна основа ДДС", "9 % 22.02 1.98", "20 % 20.00 4.00",
              "Данъчна основа общо: 42.02", "ДДС общо: 5.98", "Сума за плащане: 48.00",
              "Словом: четиридесет и осем лева и 00 стотинки", "Начин на плащане: по банков път",
              "Съставил: Администратор", "Стр. 1 от 1"})
            QVERIFY2(lines.contains(QString::fromUtf8(expected)),
                     qPrintable(QString::fromUtf8(expected) + "\n" + text));
        QVERIFY(!text.contains("Чай зелен"));
        QVERIFY(!text.contains("в брой"));
        QCOMPARE(number(), "000126");
        const SqlRows reg =
            readRows(db(), "SELECT ID_Prod, N_Dok, ID_Kontrag FROM Printed_Dok ORDER BY ID_Prod");
        QCOMPARE(reg.rows.size(), 2);
        QCOMPARE(reg.rows[0][0].toLongLong(), lines_[0]);
        QCOMPARE(reg.rows[1][0].toLongLong(), lines_[2]);
        for (const QVariantList& r : reg.rows) {
            QCOMPARE(r[1].toString(), "000125");
            QCOMPARE(r[2].toInt(), 5);
        }
        // The lists close, the key list is empty again.
        QVERIFY(!page()->findChild<QWidget*>("Panel_Dokumets")->isVisible());
        QVERIFY(fx_->session().state<DocumentPrintState>().keys.isEmpty());
    }

    // A company that keeps its books in euro: the invoice's total in words
    // names euro and cents, and while both currencies are shown the total
    // stands in euro and in lev.
    void invoiceInEuro() {
        fx_->session().clock = [] { return QDateTime(QDate(2026, 3, 2), QTime(10, 0)); };
        execSql(db(), "UPDATE Prodajbi_Vremenni SET Valuta = 'EUR'");
        execSql(db(), "UPDATE Valuti SET Osn = 'False'");
        execSql(db(), "UPDATE Valuti SET Osn = 'True', Kurs = 1 WHERE Opisanie = 'EUR'");
        page()->refresh();
        printInvoice({2, 0}, pdf("invoice.pdf"), "по банков път");
        const QString lines = squeezed(test::pdfText(pdf("invoice.pdf")));
        QVERIFY2(lines.contains("Словом: четиридесет и осем евро и 00 цента"), qPrintable(lines));
        QVERIFY(!lines.contains("стотинки"));
        QVERIFY2(lines.contains("48.00 EUR / 93.88 лв."), qPrintable(lines));
    }

    // The same lines again: a copy of the issued invoice (its number,
    // "КОПИЕ", nothing registered), or a new one with the next number; a
    // selection that is not the issued document can only get a new one.
    void secondPrintOfIssuedLines_data() {
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<QString>("question");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("stamp");
        QTest::addColumn<QString>("printed");
        QTest::addColumn<QString>("next");
        QTest::addColumn<int>("rowsRegistered");
        const QString copyOrNew = texts::kAskCopyOrNew.arg("Фактура", "000125");
        QTest::newRow("copy") << QList<int>{0, 2} << copyOrNew << int(Messages::Yes) << "КОПИЕ"
                              << "000125"
                              << "000126" << 2;
        QTest::newRow("new one") << QList<int>{2, 0} << copyOrNew << int(Messages::No) << "ОРИГИНАЛ"
                                 << "000126"
                                 << "000127" << 4;
        QTest::newRow("nothing") << QList<int>{0, 2} << copyOrNew << int(Messages::Cancel) << ""
                                 << ""
                                 << "000126" << 2;
        const QString newFor = texts::kAskNewForIssued.arg("Фактура", "000125");
        QTest::newRow("other lines, new one")
            << QList<int>{0, 1} << newFor << int(Messages::Yes) << "ОРИГИНАЛ"
            << "000126"
            << "000127" << 4;
        QTest::newRow("other lines, nothing") << QList<int>{0} << newFor << int(Messages::No) << ""
                                              << ""
                                              << "000126" << 2;
    }
    void secondPrintOfIssuedLines() {
        QFETCH(QList<int>, rows);
        QFETCH(QString, question);
        QFETCH(int, answer);
        QFETCH(QString, stamp);
        QFETCH(QString, printed);
        QFETCH(QString, next);
        QFETCH(int, rowsRegistered);
        printInvoice({0, 2}, pdf("first.pdf"));
        QCOMPARE(registered(), 2);
        msg_->clear();
        choose(rows, "Фактура", texts::kPdfPrinter);
        msg_->answer(QVariant::fromValue(answer));
        if (!printed.isEmpty()) {
            msg_->answer("в брой");
            msg_->answer(pdf("second.pdf"));
        }
        pressPrint();
        QCOMPARE(msg_->questions, QStringList{question});
        QCOMPARE(number(), next);
        QCOMPARE(registered(), rowsRegistered);
        if (printed.isEmpty()) {
            QVERIFY(!QFile::exists(pdf("second.pdf")));
            return;
        }
        const QString text = squeezed(test::pdfText(pdf("second.pdf")));
        QVERIFY2(text.contains(stamp), qPrintable(text));
        QVERIFY2(text.contains("Фактура №: " + printed), qPrintable(text));
    }

    // Each refusal says why and registers nothing.
    void nothingPrinted_data() {
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<QString>("document");
        QTest::addColumn<QString>("printer");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        const QString pdfPrinter = texts::kPdfPrinter;
        QTest::newRow("no line") << QList<int>{} << "Фактура" << pdfPrinter << "" << texts::kNoLinesSelected;
        QTest::newRow("no document") << QList<int>{0} << "" << pdfPrinter << "" << texts::kNoDocumentTicked;
        QTest::newRow("no printer") << QList<int>{0} << "Фактура"
                                    << ""
                                    << "" << texts::kNoPrinterTicked;
        QTest::newRow("printer fails") << QList<int>{0} << "Фактура" << pdfPrinter << "/nonexistent/x.pdf"
                                       << texts::kPrintFailed.arg(pdfPrinter, "Фактура");
        QTest::newRow("printer unknown") << QList<int>{0} << "Фактура"
                                         << "Липсващ"
                                         << "" << texts::kPrinterNotFound.arg("Липсващ", "Фактура");
        // A numbered kind whose layout file is gone.
        QTest::newRow("no template") << QList<int>{0} << "Фактура" << pdfPrinter << "no layout"
                                     << "no layout";
        // An invoice is issued to a counterparty, never to "Няма избран контрагент".
        QTest::newRow("no counterparty")
            << QList<int>{0} << "Фактура" << pdfPrinter << "no counterparty"
            << texts::kTemplateNotPrinted.arg("Фактура", texts::kNeedsCounterparty);
        // A number with a letter would print the same number every time.
        QTest::newRow("number not digits")
            << QList<int>{0} << "Фактура" << pdfPrinter << "A125"
            << texts::kTemplateNotPrinted.arg("Фактура", texts::kNumberNotDigits.arg("A125"));
    }
    void nothingPrinted() {
        QFETCH(QList<int>, rows);
        QFETCH(QString, document);
        QFETCH(QString, printer);
        QFETCH(QString, file);
        QFETCH(QString, message);
        QString kept = "000125";
        choose(rows, document, printer);
        if (printer == "Липсващ") {
            // A printer ticked that is gone by the time of the print.
            auto* list = page()->findChild<QListWidget*>("CheckListBox_Printers");
            list->addItem(printer);
            list->item(list->count() - 1)->setCheckState(Qt::Checked);
            msg_->answer("в брой");
        } else if (file == "no layout") {
            const QString layout = fx_->session().programDir.documentationsDir() + "/Фактура.psc";
            QFile::remove(layout);
            message = texts::kTemplateNotPrinted.arg(
                "Фактура", texts::kNoTemplateLayout.arg(QDir::toNativeSeparators(layout)));
        } else if (file == "no counterparty") {
            fx_->session().setSaleCounterparty(texts::kNoCounterpartyChosen);
        } else if (file == "A125") {
            execSql(db(), "UPDATE Dokumenti SET N_Dok = 'A125' WHERE Opisanie = 'Фактура'");
            kept = file;
        } else if (!file.isEmpty()) {
            msg_->answer("в брой");
            msg_->answer(file);
        }
        pressPrint();
        QCOMPARE(msg_->messages, QStringList{message});
        QCOMPARE(registered(), 0);
        QCOMPARE(number(), kept);
        QVERIFY(fx_->session().state<DocumentPrintState>().keys.isEmpty());
    }

    // With "Преглед на документ преди печат" the document is previewed:
    // looking registers nothing; "Печат" in the preview prints on the
    // destination chosen there (another file than the preview's) and
    // registers the number it printed.
    void previewThenPrintElsewhere() {
        fx_->firmData().writeString("Tuning", "26", "1");
        test::ModalScript script;
        script.next<DocumentPreview>([](DocumentPreview* preview) { preview->reject(); });
        msg_->answer("в брой");
        choose({0}, "Фактура", texts::kPdfPrinter);
        pressPrint();
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(registered(), 0);
        QCOMPARE(number(), "000125");

        script.next<DocumentPreview>([](DocumentPreview* preview) {
            QCOMPARE(preview->findChild<QComboBox*>("ComboBox_Printer")->currentText(), texts::kPdfPrinter);
            QTest::mouseClick(preview->findChild<QPushButton*>("Button_Print"), Qt::LeftButton);
        });
        msg_->answer("в брой");
        msg_->answer(pdf("elsewhere.pdf"));
        choose({0}, "Фактура", texts::kPdfPrinter);
        pressPrint();
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(msg_->messages, QStringList{});
        QCOMPARE(registered(), 1);
        QCOMPARE(scalarSql(db(), "SELECT N_Dok FROM Printed_Dok").toString(), "000125");
        QCOMPARE(number(), "000126");
        const QString text = squeezed(test::pdfText(pdf("elsewhere.pdf")));
        QVERIFY(text.contains("ОРИГИНАЛ"));
        QVERIFY(text.contains("Фактура №: 000125"));
    }

    // The preview is printed only as it was shown: a line changed meanwhile
    // on another workstation stops the print, the preview shows the change,
    // and the next "Печат" prints and registers what it shows.
    void previewOutdated() {
        fx_->firmData().writeString("Tuning", "26", "1");
        test::ModalScript script;
        script.next<DocumentPreview>([this](DocumentPreview* preview) {
            {
                QSqlDatabase other = fx_->openWorkstation("other");
                execSql(other, "UPDATE Prodajbi_Vremenni SET Kol = 3 WHERE N_Prodajba = ?", {lines_[0]});
            }
            QSqlDatabase::removeDatabase("other");
            QTest::mouseClick(preview->findChild<QPushButton*>("Button_Print"), Qt::LeftButton);
            QCOMPARE(msg_->messages, QStringList{texts::kPreviewChanged.arg("Фактура")});
            QCOMPARE(registered(), 0);
            QTest::mouseClick(preview->findChild<QPushButton*>("Button_Print"), Qt::LeftButton);
        });
        msg_->answer("в брой");
        msg_->answer(pdf("changed.pdf"));
        msg_->answer(pdf("changed.pdf"));
        choose({0}, "Фактура", texts::kPdfPrinter);
        pressPrint();
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(registered(), 1);
        QCOMPARE(number(), "000126");
        const QString text = squeezed(test::pdfText(pdf("changed.pdf")));
        QVERIFY2(text.contains("Сума за плащане: 36.00"), qPrintable(text));
    }

    // A template whose band text is missing prints with that band empty.
    void missingBandText() {
        QFile::remove(fx_->session().programDir.documentationsDir() + "/Фактура.ftr");
        printInvoice({0}, pdf("invoice.pdf"));
        QCOMPARE(msg_->messages, QStringList{});
        const QString text = test::pdfText(pdf("invoice.pdf"));
        QVERIFY(text.contains("Кафе мляно 250 г"));
        QVERIFY(!text.contains("Данъчна основа общо:"));
        QCOMPARE(registered(), 1);
        QVERIFY(test::Fixture::readFile(fx_->session().programDir.exceptionsLog()).contains("Фактура.ftr"));
    }

    // The register's grid: numbers of digits, copies from 0, kinds in use kept.
    void kindGrid() {
        TForm_Na4_N_Dok form(test::context(fx_->session()));
        QAbstractItemModel* model = form.grid()->model();
        int row = 0;
        while (row < model->rowCount() && model->index(row, 0).data().toString() != "Фактура")
            ++row;
        QVERIFY(row < model->rowCount());
        auto edit = [&](int column, const QString& value) {
            model->setData(model->index(row, column), value);
            QCoreApplication::processEvents();
        };
        edit(1, "12a");
        edit(3, "-2");
        QCOMPARE(msg_->messages, (QStringList{texts::kNumberDigitsOnly, texts::kCopiesNotNegative}));
        QCOMPARE(number(), "000125");
        edit(1, "000200");
        edit(3, "2");
        QCOMPARE(number(), "000200");
        QCOMPARE(scalarSql(db(), "SELECT N_Copies FROM Dokumenti WHERE Opisanie = 'Фактура'").toInt(), 2);
        execSql(db(), "INSERT INTO Printed_Dok (ID_Prod, ID_Dok, N_Dok) "
                      "SELECT 1, ID_Dokument, '000200' FROM Dokumenti WHERE Opisanie = 'Фактура'");
        form.grid()->setCurrentIndex(model->index(row, 0));
        msg_->clear();
        msg_->answerYes();
        test::control<QPushButton>(form, "Button_Iztrij")->click();
        QCOMPARE(msg_->questions, QStringList{texts::kAskDeleteKind.arg("Фактура")});
        QCOMPARE(msg_->messages, QStringList{texts::kKindInUse.arg("Фактура")});
        QCOMPARE(number(), "000200");
    }

    // "Видове документи": a kind added by its name, renamed in its cell and
    // deleted after the question.
    void workKinds() {
        TForm_Rab_Dokumenti form(test::context(fx_->session()));
        QCOMPARE(form.windowTitle(), "Видове документи");
        auto name = [](const QSqlDatabase& db) {
            return scalarSql(db, "SELECT Opisanie FROM Rab_Dokumenti ORDER BY ID DESC").toString();
        };
        const int before = form.model()->rowCount();
        msg_->answer(QStringLiteral("Протокол"));
        test::control<QPushButton>(form, "Button_Dobavi")->click();
        QCOMPARE(msg_->shown, QStringList{texts::kKindNamePrompt});
        QCOMPARE(form.model()->rowCount(), before + 1);
        QCOMPARE(form.grid()->currentIndex().data().toString(), "Протокол"); // the new kind is current
        form.model()->setData(form.grid()->currentIndex(), QStringLiteral("Протокол за ремонт"));
        QCoreApplication::processEvents();
        QCOMPARE(name(db()), "Протокол за ремонт");
        QCOMPARE(form.grid()->currentIndex().data().toString(), "Протокол за ремонт");

        msg_->clear();
        msg_->answerYes();
        test::control<QPushButton>(form, "Button_Iztrij")->click();
        QCOMPARE(msg_->questions, QStringList{texts::kAskDeleteKind.arg("Протокол за ремонт")});
        QCOMPARE(form.model()->rowCount(), before);
        QVERIFY(name(db()) != "Протокол за ремонт");
    }
};

QTEST_MAIN(DocumentPrintingTest)
#include "test_document_printing.moc"
