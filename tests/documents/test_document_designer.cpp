// The document designer driven as an operator drives it: the shipped
// invoice opened, a field moved with the mouse and the keyboard (and kept
// on the page when dragged off it), a computed label and a picture added,
// the lower band's text changed and its band made taller, the template
// saved under its own kind; then the invoice printed from the shop page to
// a PDF file, where the changes are read back (the words' places with
// pdftotext -bbox, the picture with pdfimages). Saving under another
// kind's name asks first, a name that is no file name is refused, a new
// name registers a new kind; a template whose table the database lacks
// opens with the table named; "Документация..." opens the designer.

#include "common/sql.h"
#include "documents/report_engine.h"
#include "documents/rich_text.h"
#include "documents/template_files.h"
#include "documents/texts.h"
#include "documents/ui/band_text_editor.h"
#include "documents/ui/design_model.h"
#include "documents/ui/design_page.h"
#include "documents/ui/document_designer.h"
#include "documents/ui/document_preview.h"
#include "documents/ui/element_settings.h"
#include "documents/ui/name_of_document.h"
#include "sales/ui/sales_module.h"
#include "sales/ui/shop_page.h"
#include "support/fixture.h"
#include "support/main_window.h"
#include "support/modal_script.h"
#include "support/scripted_messages.h"
#include "support/window_helpers.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QSpinBox>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>

using namespace torvika;

namespace {

const QDateTime kNow(QDate(2024, 5, 17), QTime(10, 30, 5));

QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The left edges (in points) of the words of the PDF that read `word`.
QList<double> wordLefts(const QString& pdf, const QString& word) {
    const QString html =
        run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    static const QRegularExpression re(QStringLiteral("<word xMin=\"([0-9.]+)\"[^>]*>([^<]*)</word>"));
    QList<double> out;
    for (auto it = re.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(2) == word)
            out << m.captured(1).toDouble();
    }
    return out;
}

// Where an element's text starts on the paper, in points, for a left in
// the designer's units.
double pointsOf(int left) {
    return (kPageMargin + left + 2) * 72.0 / 96.0;
}

bool near(const QList<double>& lefts, double at) {
    return std::any_of(lefts.begin(), lefts.end(), [at](double l) { return std::abs(l - at) < 3.0; });
}

QAction* menuItem(const QWidget& window, const char* name) {
    QAction* a = window.findChild<QAction*>(QString::fromLatin1(name));
    if (!a)
        qFatal("no menu item %s", name);
    return a;
}

} // namespace

class DocumentDesignerTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    std::unique_ptr<test::ScriptedMessages> msg_;
    std::unique_ptr<test::MainWindow> main_;
    QSqlDatabase db() { return fx_->db(); }
    QString docs() { return fx_->session().programDir.documentationsDir(); }
    ShopPage* shop() { return main_->modules.get<SalesModule>().shopPage(); }

    std::unique_ptr<TForm_GeneralForm_Dokumentaciq> openDesigner() {
        auto d = std::make_unique<TForm_GeneralForm_Dokumentaciq>(main_->form.context(), &main_->form);
        d->show();
        return d;
    }
    // "File" / "Отвори" / "Файл", then the kind chosen in the document box.
    void openKind(TForm_GeneralForm_Dokumentaciq& d, const QString& kind) {
        menuItem(d, "N_Open_File")->trigger();
        auto* box = test::control<QComboBox>(d, "ComboBox_Dokumenti");
        QVERIFY(box->isVisible());
        const int at = box->findText(kind);
        QVERIFY(at >= 0);
        test::chooseItem(box, at);
        QCOMPARE(d.model().openedName(), kind);
    }
    // "Запази" with the name typed into the save dialog and OK pressed.
    void save(TForm_GeneralForm_Dokumentaciq& d, const QString& name) {
        test::ModalScript script;
        script.next<TName_Of_Dokument>([name](TName_Of_Dokument* dialog) {
            auto* edit = test::control<QLineEdit>(*dialog, "Edit_Name_Of_Dok");
            edit->selectAll();
            test::typeText(edit, name);
            test::click(*dialog, "OKBtn");
        });
        menuItem(d, "N2")->trigger();
        QVERIFY2(script.finished(), qPrintable(script.failure()));
    }
    QByteArray file(const QString& name) { return test::Fixture::readFile(QDir(docs()).filePath(name)); }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        msg_ = std::make_unique<test::ScriptedMessages>();
        fx_->session().clock = [] { return kNow; };
        QDir().mkpath(docs());
        for (const QString& f : QDir(TORVIKA_SOURCE_DIR "/documentations").entryList(QDir::Files))
            QFile::copy(TORVIKA_SOURCE_DIR "/documentations/" + f, docs() + u'/' + f);
        ProfileFile firm = fx_->firmData();
        firm.writeString("Firm_Data", "Name", "Алфа ЕООД");
        firm.writeString("Firm_Data", "DDS", "20");
        execSql(db(),
                "INSERT INTO Firmi (ID, Ime_Firma, Adres_Firma, EIK, Dan_N, ID_Mol, Nomer_Grupa) VALUES "
                "(5, 'Бета Трейд ООД', 'ул. Витоша 12', '123456789', 'BG123456789', 7, 0)");
        execSql(db(), "INSERT INTO Klienti (ID, Ime_Klient) VALUES (7, 'Петър Петров')");
        execSql(db(), "UPDATE Dokumenti SET N_Dok = '000125' WHERE Opisanie = 'Фактура'");
        execSql(db(),
                "INSERT INTO Prodajbi_Vremenni (Barkod, Opisanie, Kol, Mqrka, Ed_Cena, Valuta, "
                "Operator, T_O, SUM_BezDDS, Bez_DDS, Sm_N, Dan_Grup) VALUES "
                "(10, 'Кафе мляно 250 г', 2, 'бр.', 24, 'Лева', ?, 0, 40, 20, 0, 1)",
                {test::kFirstOperator});
        main_ = std::make_unique<test::MainWindow>(fx_->session());
        QVERIFY(main_->start());
        fx_->session().setSaleCounterparty("5:Бета Трейд ООД");
        shop()->refresh();
    }
    void cleanup() {
        QCOMPARE(msg_->unexpected, 0);
        main_.reset();
        msg_.reset();
        fx_.reset();
    }

    void designInvoiceThenPrint() {
        auto d = openDesigner();
        openKind(*d, "Фактура");
        DesignModel& m = d->model();
        DesignPage* page = d->page();
        TForm_Nastrojki* settings = d->settingsWindow();
        QVERIFY(settings && settings->isVisible());
        const ReportTemplate shipped = LOAD_SELECTED_FILE_PRINT(docs(), "Фактура");
        QCOMPARE(m.report().elements.size(), shipped.elements.size());
        QCOMPARE(test::control<QComboBox>(*settings, "ComboBox2")->count(), shipped.elements.size());
        QCOMPARE(test::control<QSpinBox>(*settings, "SpinEdit_GroupHeaderBand1_Height")->value(), 272);
        QCOMPARE(test::control<QSpinBox>(*settings, "SpinEdit_QRSubDetail1_Height")->value(), 20);
        QCOMPARE(test::control<QSpinBox>(*settings, "SpinEdit_GroupFooterBand1_Height")->value(), 145);
        auto* fields = test::control<QComboBox>(*settings, "ComboBox_Poleta");
        QVERIFY(fields->findText("Produkti.DB-Opisanie", Qt::MatchFixedString) >= 0);

        // The invoice's number, dragged 400 units to the left and 10 down,
        // then moved back 5 with the arrow keys; dragged off the page it
        // stays at the page's edge, and dragged back.
        const int number = m.report().indexOf("QRDBText1");
        QCOMPARE(m.report().elements[number].dataField, "N_Dok");
        const QScrollArea* scroll = test::control<QScrollArea>(*d, "ScrollBox_Report");
        QVERIFY(scroll->widget() == page);
        QPoint at = page->elementBox(number).center();
        QTest::mousePress(page, Qt::LeftButton, {}, at);
        QCOMPARE(m.selected(), number);
        QCOMPARE(test::control<QComboBox>(*settings, "ComboBox2")->currentText(), "QRDBText1");
        QTest::mouseMove(page, at + QPoint(-200, 5));
        QTest::mouseMove(page, at + QPoint(-400, 10));
        QTest::mouseRelease(page, Qt::LeftButton, {}, at + QPoint(-400, 10));
        QCOMPARE(m.report().elements[number].geometry.topLeft(), QPoint(150, 65));
        for (int i = 0; i < 5; ++i)
            QTest::keyClick(page, Qt::Key_Left);
        QTest::keyClick(page, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(m.report().elements[number].geometry, QRect(145, 65, 160, 18));
        QCOMPARE(test::control<QSpinBox>(*settings, "SpinEdit_Left")->value(), 145);
        at = page->elementBox(number).center();
        QTest::mousePress(page, Qt::LeftButton, {}, at);
        QTest::mouseMove(page, at + QPoint(3000, -3000));
        QCOMPARE(m.report().elements[number].geometry, QRect(int(kContentWidth) - 160, 0, 160, 18));
        QCOMPARE(m.report().elements[number].band, ReportBand::Header);
        QTest::mouseMove(page, at);
        QTest::mouseRelease(page, Qt::LeftButton, {}, at);
        QCOMPARE(m.report().elements[number].geometry, QRect(145, 65, 160, 18));

        // The lower band made taller; a computed label of the total, bold,
        // on it.
        test::control<QSpinBox>(*settings, "SpinEdit_GroupFooterBand1_Height")->setValue(175);
        QCOMPARE(m.report().footerHeight, 175);
        test::chooseItem(test::control<QComboBox>(*settings, "ComboBox_Sobstvenik_na_Obekt"), 2);
        test::control<QRadioButton>(*settings, "RadioButton_Etiket")->click();
        auto* kinds = test::control<QComboBox>(*settings, "ComboBox_Type");
        QVERIFY(kinds->isEnabled());
        QVERIFY(!fields->isEnabled());
        test::chooseItem(kinds, 2);
        QCOMPARE(kinds->currentText(), "2:Обща сума продажба");
        test::click(*settings, "BitBtn1");
        const int label = int(m.report().elements.size()) - 1;
        QCOMPARE(m.selected(), label);
        QCOMPARE(m.report().elements[label].name, QStringLiteral("QRLabel%1").arg(label + 1));
        QCOMPARE(m.report().elements[label].caption, "2:Обща сума продажба");
        QCOMPARE(m.report().elements[label].band, ReportBand::Footer);
        test::control<QSpinBox>(*settings, "SpinEdit_Left")->setValue(300);
        test::control<QSpinBox>(*settings, "SpinEdit_Top")->setValue(150);
        test::control<QCheckBox>(*settings, "CheckBox_Style_Bold")->click();
        QCOMPARE(m.report().elements[label].geometry.topLeft(), QPoint(300, 150));
        QVERIFY(m.report().elements[label].font.bold);

        // A picture, copied into the templates' directory.
        QImage logo(60, 30, QImage::Format_RGB32);
        logo.fill(QColor(200, 30, 30));
        QVERIFY(logo.save(fx_->root() + "logo.png"));
        d->openSettings(true);
        msg_->answer(fx_->root() + "logo.png");
        test::click(*settings, "Button_Izberi_Kartinka");
        const int picture = int(m.report().elements.size()) - 1;
        QCOMPARE(m.report().elements[picture].kind, ElementKind::Image);
        QCOMPARE(m.report().elements[picture].picture, "logo.png");
        QCOMPARE(m.report().elements[picture].band, ReportBand::Footer);
        QCOMPARE(m.report().elements[picture].geometry, QRect(0, 0, 60, 30));
        QVERIFY(QFile::exists(QDir(docs()).filePath("logo.png")));

        // The lower band's text: a line added at its end.
        {
            test::ModalScript script;
            script.next<TForm_Band_Text>([](TForm_Band_Text* editor) {
                auto* text = test::control<QTextEdit>(*editor, "RichEdit_Text");
                text->setFocus();
                text->moveCursor(QTextCursor::End);
                QTest::keyClick(text, Qt::Key_Return);
                test::typeText(text, "Благодарим Ви за покупката!");
                test::click(*editor, "Button_Priemi");
            });
            QTest::mouseClick(test::control<QToolButton>(*d, "SpeedButton_Footer_Text"), Qt::LeftButton);
            QVERIFY2(script.finished(), qPrintable(script.failure()));
        }
        QVERIFY(m.modified());

        save(*d, "Фактура");
        QCOMPARE(msg_->shown, QStringList{});
        QVERIFY(!m.modified());
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Dokumenti WHERE Opisanie = 'Фактура'").toInt(), 1);
        QCOMPARE(scalarSql(db(), "SELECT N_Dok FROM Dokumenti WHERE Opisanie = 'Фактура'").toString(),
                 "000125");
        const ReportTemplate saved = LOAD_SELECTED_FILE_PRINT(docs(), "Фактура");
        QCOMPARE(saved.elements.size(), shipped.elements.size() + 2);
        QCOMPARE(saved.footerHeight, 175);
        QTextDocument footer;
        readRtf(saved.footerText, footer);
        QVERIFY(footer.toPlainText().endsWith("Благодарим Ви за покупката!"));
        menuItem(*d, "N4")->trigger();
        QVERIFY(!d->isVisible());
        QVERIFY(!settings->isVisible());
        d.reset();

        // The invoice printed from the shop page into a PDF file.
        const QString pdf = fx_->root() + "invoice.pdf";
        QTableView* grid = shop()->findChild<QTableView*>("DBGrid1");
        grid->selectRow(0);
        auto* toggle = shop()->findChild<QToolButton*>("SpdBtn_Pokaji_Dokuments");
        if (!toggle->isChecked())
            QTest::mouseClick(toggle, Qt::LeftButton);
        test::tickOnly(shop()->findChild<QListWidget*>("ChkListBox_Pokaj_Dokum"), "Фактура");
        test::tickOnly(shop()->findChild<QListWidget*>("CheckListBox_Printers"), texts::kPdfPrinter);
        msg_->answer("в брой");
        msg_->answer(pdf);
        QTest::mouseClick(shop()->findChild<QPushButton*>("Button_Pe4at_Dokumenti"), Qt::LeftButton);
        QCOMPARE(msg_->messages, QStringList{});
        const QString text = run("pdftotext", {"-layout", pdf, "-"});
        QVERIFY2(text.contains("Благодарим Ви за покупката!"), qPrintable(text));
        QVERIFY2(near(wordLefts(pdf, "000125"), pointsOf(145)), qPrintable(text));
        QVERIFY(!near(wordLefts(pdf, "000125"), pointsOf(550)));
        QVERIFY2(near(wordLefts(pdf, "48.00"), pointsOf(300)), qPrintable(text));
        const QString images = run("pdfimages", {"-list", pdf});
        QVERIFY2(images.contains(QRegularExpression("\\s60\\s+30\\s")), qPrintable(images));
        QCOMPARE(scalarSql(db(), "SELECT N_Dok FROM Dokumenti WHERE Opisanie = 'Фактура'").toString(),
                 "000126");
    }

    // Saving under a name: another kind's only after the question (No
    // leaves its files as they were), a name with "/" refused, a new name
    // a new kind beside the one opened.
    void saveUnderName() {
        auto d = openDesigner();
        openKind(*d, "Фактура");
        d->model().place(0, ReportBand::Header, QRect(10, 10, 100, 17));
        const QByteArray receipt = file("Стокова разписка.psc");
        const QByteArray invoice = file("Фактура.psc");
        const int kinds = scalarSql(db(), "SELECT COUNT(*) FROM Dokumenti").toInt();

        msg_->answerNo();
        save(*d, "Стокова разписка");
        QCOMPARE(msg_->questions, QStringList{texts::kAskReplaceKind.arg("Стокова разписка")});
        QCOMPARE(file("Стокова разписка.psc"), receipt);

        msg_->clear();
        save(*d, "Фактура/копие");
        QCOMPARE(msg_->messages, QStringList{texts::kBadTemplateName.arg("Фактура/копие")});
        QCOMPARE(QDir(docs()).entryList({"*копие*"}, QDir::Files), QStringList{});
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Dokumenti").toInt(), kinds);

        msg_->clear();
        save(*d, "Фактура 2");
        QCOMPARE(msg_->shown, QStringList{});
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Dokumenti").toInt(), kinds + 1);
        QCOMPARE(d->model().openedName(), "Фактура 2");
        QCOMPARE(LOAD_SELECTED_FILE_PRINT(docs(), "Фактура 2").elements[0].geometry, QRect(10, 10, 100, 17));
        QCOMPARE(file("Фактура.psc"), invoice);
        QCOMPARE(scalarSql(db(), "SELECT N_Dok FROM Dokumenti WHERE Opisanie = 'Фактура'").toString(),
                 "000125");

        // Yes replaces the other kind's template; its number stays.
        msg_->answerYes();
        save(*d, "Стокова разписка");
        QCOMPARE(LOAD_SELECTED_FILE_PRINT(docs(), "Стокова разписка").elements.size(),
                 d->model().report().elements.size());
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Dokumenti").toInt(), kinds + 1);
    }

    // A template naming a table the database does not have opens with its
    // elements and the table named; deleting an element asks first.
    void missingTableAndDelete() {
        ReportTemplate t;
        t.name = "Стар";
        t.detailHeight = 20;
        const int i = t.addElement(ElementKind::DataField, ReportBand::Detail);
        t.elements[i].dataSet = "Stari_Klienti.db";
        t.elements[i].dataField = "Ime";
        t.addElement(ElementKind::Label, ReportBand::Detail);
        saveTemplate(db(), docs(), t, {}, "1");
        auto d = openDesigner();
        msg_->clear();
        openKind(*d, "Стар");
        QCOMPARE(msg_->messages, QStringList{texts::kUnknownTable.arg("Stari_Klienti.db", "Стар")});
        QCOMPARE(d->model().report().elements.size(), 2);

        d->model().select(0);
        msg_->answerNo();
        QTest::keyClick(d->page(), Qt::Key_Delete);
        QCOMPARE(d->model().report().elements.size(), 2);
        msg_->answerYes();
        test::click(*d->settingsWindow(), "BitBtn2");
        QCOMPARE(d->model().report().elements.size(), 1);
        QCOMPARE(d->model().report().elements[0].name, "QRLabel2");
        // Closing with the change unsaved asks; No keeps the window.
        msg_->answerNo();
        menuItem(*d, "N4")->trigger();
        QVERIFY(d->isVisible());
        msg_->answerYes();
        menuItem(*d, "N4")->trigger();
        QVERIFY(!d->isVisible());
    }

    // A free-text label asks for its title; "Преглед" shows the design with
    // the operator's sale lines, and its print is a proof: a PDF with the
    // invoice's next number, no number taken, nothing registered.
    void freeTextAndProofPrint() {
        auto d = openDesigner();
        openKind(*d, "Фактура");
        TForm_Nastrojki* settings = d->settingsWindow();
        test::control<QRadioButton>(*settings, "RadioButton_Etiket")->click();
        test::chooseItem(test::control<QComboBox>(*settings, "ComboBox_Type"), 4);
        msg_->answer("Бележка");
        test::click(*settings, "BitBtn1");
        const ReportElement& label = d->model().report().elements.last();
        QCOMPARE(label.caption, "4:Бележка");
        QCOMPARE(label.code, int(kLabelFreeText));

        const QString pdf = fx_->root() + "proof.pdf";
        {
            test::ModalScript script;
            script.next<DocumentPreview>([this, pdf](DocumentPreview* preview) {
                QCOMPARE(test::control<QLabel>(*preview, "Label_Pages")->text(), texts::kPreviewPages.arg(1));
                auto* printers = test::control<QComboBox>(*preview, "ComboBox_Printer");
                printers->setCurrentIndex(printers->findText(texts::kPdfPrinter));
                msg_->answer(pdf);
                test::click(*preview, "Button_Print");
            });
            menuItem(*d, "N_Pregled")->trigger();
            QVERIFY2(script.finished(), qPrintable(script.failure()));
        }
        const QString text = run("pdftotext", {"-layout", pdf, "-"});
        for (const char* expected :
             {"ФАКТУРА", "000125", "Кафе мляно 250 г", "Бета Трейд ООД", "48.00", "4:Бележка"})
            QVERIFY2(text.contains(QString::fromUtf8(expected)),
                     qPrintable(QString::fromUtf8(expected) + "\n" + text));
        QCOMPARE(scalarSql(db(), "SELECT N_Dok FROM Dokumenti WHERE Opisanie = 'Фактура'").toString(),
                 "000125");
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Printed_Dok").toInt(), 0);
        msg_->answerYes(); // the label added is given up
        menuItem(*d, "N4")->trigger();
    }

    // "Документация..." in the main menu opens the designer, maximised.
    void menuCommand() {
        test::ModalScript script;
        script.next<TForm_GeneralForm_Dokumentaciq>([](TForm_GeneralForm_Dokumentaciq* d) {
            QCOMPARE(d->windowTitle(), "ДОКУМЕНТАЦИЯ");
            QVERIFY(d->windowState().testFlag(Qt::WindowMaximized));
            menuItem(*d, "N4")->trigger();
        });
        main_->form.runCommand(Command::N_Dokumentacia);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
    }
};

QTEST_MAIN(DocumentDesignerTest)
#include "test_document_designer.moc"
