// "Печат документи" on the shop page of the main window: the shipped
// invoice printed to a PDF file for two selected sale lines, its text read
// back with pdftotext, the numbering it registers; what happens without a
// selection, a document or a working printer; the register of document
// kinds edited in its grid.

#include "common/sql.h"
#include "documents/print_run.h"
#include "documents/texts.h"
#include "documents/ui/document_choosers.h"
#include "documents/ui/kind_grids.h"
#include "sales/ui/shop_page.h"
#include "support/fixture.h"
#include "support/main_window.h"
#include "support/modal_script.h"
#include "support/scripted_messages.h"
#include "support/window_helpers.h"

#include <QDir>
#include <QListWidget>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace torvika;

namespace {

QString pdfText(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

void tickOnly(QListWidget* list, const QString& text) {
    for (int i = 0; i < list->count(); ++i)
        list->item(i)->setCheckState(list->item(i)->text() == text ? Qt::Checked : Qt::Unchecked);
}

} // namespace

class DocumentPrintingTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    std::unique_ptr<test::ScriptedMessages> msg_;
    std::unique_ptr<test::MainWindow> main_;
    QList<qint64> lines_;
    QSqlDatabase db() { return fx_->db(); }
    ShopPage* page() { return main_->modules.sales.shopPage(); }
    QString number() {
        return scalarSql(db(), "SELECT N_Dok FROM Dokumenti WHERE Opisanie = 'Фактура'").toString();
    }
    int registered() { return scalarSql(db(), "SELECT COUNT(*) FROM Printed_Dok").toInt(); }

    // Selects grid rows in this order and ticks the document and the printer.
    void choose(const QList<int>& rows, const QString& document, const QString& printer) {
        QTableView* grid = page()->findChild<QTableView*>("DBGrid1");
        grid->clearSelection();
        for (int row : rows)
            grid->selectionModel()->select(grid->model()->index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
        page()->showDocumentChoosers();
        tickOnly(page()->findChild<QListWidget*>("ChkListBox_Pokaj_Dokum"), document);
        tickOnly(page()->findChild<QListWidget*>("CheckListBox_Printers"), printer);
    }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        msg_ = std::make_unique<test::ScriptedMessages>();
        // The shipped templates, the company and its VAT rate.
        const QString docs = fx_->session().programDir.documentationsDir();
        QDir().mkpath(docs);
        for (const QString& f : QDir(TORVIKA_SOURCE_DIR "/documentations").entryList(QDir::Files))
            QFile::copy(TORVIKA_SOURCE_DIR "/documentations/" + f, docs + u'/' + f);
        FirmData firm = fx_->firmData();
        firm.writeString(ini::kFirmData, "Name", "Алфа ЕООД");
        firm.writeString(ini::kFirmData, "EIK", "201234567");
        firm.writeString(ini::kFirmData, "DDS", "20");
        execSql(db(),
                "INSERT INTO Firmi (ID, Ime_Firma, Adres_Firma, EIK, Dan_N, ID_Mol, Nomer_Grupa) VALUES "
                "(5, 'Бета Трейд ООД', 'ул. Витоша 12', '123456789', 'BG123456789', 7, 0)");
        execSql(db(), "INSERT INTO Klienti (ID, Ime_Klient) VALUES (7, 'Петър Петров')");
        execSql(db(), "UPDATE Dokumenti SET N_Dok = '000125' WHERE Opisanie = 'Фактура'");
        for (const char* name : {"Кафе мляно 250 г", "Чай зелен", "Захар 1 кг"})
            lines_ << insertReturningKey(
                db(),
                "INSERT INTO Prodajbi_Vremenni (Barkod, Opisanie, Kol, Mqrka, Ed_Cena, Valuta, "
                "Operator, T_O, SUM_BezDDS, Bez_DDS, Sm_N) VALUES "
                "(10, ?, 2, 'бр.', 12, 'Лева', ?, 0, 20, 10, 0)",
                {QString::fromUtf8(name), test::kFirstOperator}, "N_Prodajba");
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

    void invoiceOfTwoSelectedLines() {
        choose({2, 0}, "Фактура", texts::kPdfPrinter);
        QCOMPARE(page()->selectedSaleLines(), (QList<qint64>{lines_[2], lines_[0]}));
        const QString pdf = fx_->root() + "invoice.pdf";
        msg_->answer(pdf);
        page()->Button_Pe4at_DokumentiClick();
        QCOMPARE(msg_->messages, QStringList{});
        const QString text = pdfText(pdf);
        for (const char* expected :
             {"ФАКТУРА", "ОРИГИНАЛ", "000125", "Алфа ЕООД", "201234567", "BG201234567", "Бета Трейд ООД",
              "123456789", "BG123456789", "Петър Петров", "Захар 1 кг", "Кафе мляно 250 г",
              "Данъчна основа:", "40.00", "8.00", "48.00", "четиридесет и осем лева и 00", "Администратор"})
            QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
        QVERIFY(!text.contains("Чай зелен"));
        // The lines in the order they were selected.
        QVERIFY(text.indexOf("Захар 1 кг") < text.indexOf("Кафе мляно 250 г"));
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

    // Each refusal says why and registers nothing.
    void nothingPrinted_data() {
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<QString>("document");
        QTest::addColumn<QString>("printer");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("no line") << QList<int>{} << "Фактура" << texts::kPdfPrinter << ""
                                 << texts::kNoLinesSelected;
        QTest::newRow("no document") << QList<int>{0} << "" << texts::kPdfPrinter << ""
                                     << texts::kNoDocumentTicked;
        QTest::newRow("no printer") << QList<int>{0} << "Фактура"
                                    << ""
                                    << "" << texts::kNoPrinterTicked;
        QTest::newRow("printer fails")
            << QList<int>{0} << "Фактура" << texts::kPdfPrinter << "/nonexistent/x.pdf"
            << texts::kPrintFailed.arg(texts::kPdfPrinter, "Фактура");
        QTest::newRow("printer unknown") << QList<int>{0} << "Фактура"
                                         << "Липсващ"
                                         << "" << texts::kPrinterNotFound.arg("Липсващ", "Фактура");
        // A numbered kind whose layout file is gone.
        QTest::newRow("no template") << QList<int>{0} << "Фактура" << texts::kPdfPrinter << "no layout"
                                     << "no layout";
    }
    void nothingPrinted() {
        QFETCH(QList<int>, rows);
        QFETCH(QString, document);
        QFETCH(QString, printer);
        QFETCH(QString, file);
        QFETCH(QString, message);
        choose(rows, document, printer);
        if (printer == "Липсващ") {
            // A printer ticked that is gone by the time of the print.
            auto* list = page()->findChild<QListWidget*>("CheckListBox_Printers");
            list->addItem(printer);
            list->item(list->count() - 1)->setCheckState(Qt::Checked);
        }
        if (file == "no layout") {
            const QString layout = fx_->session().programDir.documentationsDir() + "/Фактура.psc";
            QFile::remove(layout);
            message = texts::kTemplateNotPrinted.arg(
                "Фактура", texts::kNoTemplateLayout.arg(QDir::toNativeSeparators(layout)));
        } else if (!file.isEmpty())
            msg_->answer(file);
        page()->Button_Pe4at_DokumentiClick();
        QCOMPARE(msg_->messages, QStringList{message});
        QCOMPARE(registered(), 0);
        QCOMPARE(number(), "000125");
        QVERIFY(fx_->session().state<DocumentPrintState>().keys.isEmpty());
    }

    // With "Преглед на документ преди печат" the document is previewed:
    // looking registers nothing, a print from the preview is numbered.
    void preview() {
        FirmData firm = fx_->firmData();
        firm.writeString(ini::kTuning, "26", "1");
        test::ModalScript script;
        script.next<QPrintPreviewDialog>([](QPrintPreviewDialog* dialog) { dialog->reject(); });
        choose({0}, "Фактура", texts::kPdfPrinter);
        page()->Button_Pe4at_DokumentiClick();
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(registered(), 0);
        QCOMPARE(number(), "000125");

        script.next<QPrintPreviewDialog>([](QPrintPreviewDialog* dialog) {
            dialog->findChild<QPrintPreviewWidget*>()->print();
            dialog->reject();
        });
        choose({0}, "Фактура", texts::kPdfPrinter);
        page()->Button_Pe4at_DokumentiClick();
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(msg_->messages, QStringList{});
        QCOMPARE(registered(), 1);
        QCOMPARE(number(), "000126");
        const QString text = pdfText(QDir(fx_->session().programDir.tempDir()).filePath("Фактура.pdf"));
        QVERIFY(text.contains("ОРИГИНАЛ"));
        QVERIFY(text.contains("000125"));
    }

    // A template whose band text is missing prints with that band empty.
    void missingBandText() {
        QFile::remove(fx_->session().programDir.documentationsDir() + "/Фактура.ftr");
        choose({0}, "Фактура", texts::kPdfPrinter);
        const QString pdf = fx_->root() + "invoice.pdf";
        msg_->answer(pdf);
        page()->Button_Pe4at_DokumentiClick();
        QCOMPARE(msg_->messages, QStringList{});
        const QString text = pdfText(pdf);
        QVERIFY(text.contains("Кафе мляно 250 г"));
        QVERIFY(!text.contains("Данъчна основа:"));
        QCOMPARE(registered(), 1);
        QVERIFY(test::Fixture::readFile(fx_->session().programDir.exceptionsLog()).contains("Фактура.ftr"));
    }

    // The register's grid: numbers of digits, copies from 0, kinds in use kept.
    void kindGrid() {
        TForm_Na4_N_Dok form(fx_->session());
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
        TForm_Rab_Dokumenti form(fx_->session());
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
