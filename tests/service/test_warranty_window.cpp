// The warranty documents' window from its menu command and from the
// import: rows staged by article number with a validity in months, a
// duplicate serial and an unknown article refused, the document saved with
// its serial numbers; an imported file staged whole and saved, a faulty
// one refused by line with nothing staged; the report of the documents
// narrowed by a part of a serial number.

#include "catalogue/ui/form_artikuli.h"
#include "common/sql.h"
#include "service/intake_lines.h"
#include "service/texts.h"
#include "service/ui/form_garanc_produkti.h"
#include "service/ui/form_spr_garanc_prod.h"
#include "support/fixture.h"
#include "support/main_window.h"
#include "support/modal_script.h"
#include "support/scripted_messages.h"
#include "support/window_helpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTest>

using namespace torvika;

class WarrantyWindowTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    std::unique_ptr<test::ScriptedMessages> msg_;
    std::unique_ptr<test::MainWindow> main_;
    QSqlDatabase db() { return fx_->db(); }
    int count(const QString& sql) { return scalarSql(db(), sql).toInt(); }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        msg_ = std::make_unique<test::ScriptedMessages>();
        fx_->session().clock = [] { return QDateTime(QDate(2026, 3, 1), QTime(9, 0)); };
        execSql(db(),
                "INSERT INTO Firmi (ID, Ime_Firma, EIK, Nomer_Grupa) VALUES (7, 'Доставчик ООД', '0', 0)");
        execSql(db(),
                "INSERT INTO Produkti (ID, Opisanie, Nomer_Grupa, Ed_Cena, Valuta_P, Garancionen) VALUES "
                "(20, 'Лаптоп', 1, 900, 'Лева', 'False')");
        main_ = std::make_unique<test::MainWindow>(fx_->session());
        QVERIFY(main_->start());
    }
    void cleanup() {
        main_.reset();
        msg_.reset();
        fx_.reset();
    }

    void documentEnteredAndSaved() {
        test::ModalScript script;
        script.next<TForm_Garanc_Produkti>([this](TForm_Garanc_Produkti* w) {
            QCOMPARE(w->windowTitle(), "Гаранционни продукти");
            QCOMPARE(test::control<QLabel>(*w, "Label_Poreden_N")->text(), "1");
            test::typeText(test::control<QLineEdit>(*w, "Edit_Nomer"), "Ф-12");
            auto* article = test::control<QLineEdit>(*w, "Edit_Sel_Art");
            test::typeText(article, "20");
            QTest::keyClick(article, Qt::Key_Return);
            QCOMPARE(test::control<QLabel>(*w, "Label_Artikul")->text(), "20:Лаптоп");
            QCOMPARE(test::control<QLineEdit>(*w, "Edit_Opisanie")->text(), "Лаптоп");
            auto* unit = test::control<QComboBox>(*w, "ComboBox_Gar_Vid");
            unit->setCurrentIndex(2); // в месеци
            test::control<QSpinBox>(*w, "SpinEdit_Gar")->setValue(2);
            QCOMPARE(test::control<QLabel>(*w, "Label_Valid_Do")->text(), "30.04.2026");
            auto* serial = test::control<QLineEdit>(*w, "Edit_SN");
            auto* add = test::control<QPushButton>(*w, "Button_Dobavi");
            test::typeText(test::control<QLineEdit>(*w, "Edit_Model"), "X1");
            test::typeText(serial, "S-1");
            add->click();
            test::typeText(serial, "s-1");
            add->click();
            QCOMPARE(msg_->shown.last(), texts::kWarrantyDuplicateSerial.arg("s-1"));
            serial->clear();
            test::typeText(serial, "S-2");
            add->click();
            QCOMPARE(w->model()->rowCount(), 2);
            QCOMPARE(serial->text(), "");

            // An unknown article: said, then the catalogue opens.
            article->clear();
            test::typeText(article, "99");
            QTest::keyClick(article, Qt::Key_Return);
            QCOMPARE(msg_->shown.last(), texts::kWarrantyNoArticle);

            test::control<QPushButton>(*w, "Button_Zapis")->click();
            QCOMPARE(msg_->shown.last(), texts::kWarrantySaved.arg(1));
            QCOMPARE(w->model()->rowCount(), 0);
            QCOMPARE(test::control<QLabel>(*w, "Label_Poreden_N")->text(), "2");
            w->reject();
        });
        script.next<TForm_Artikuli>([](TForm_Artikuli* list) { list->reject(); });
        main_->form.runCommand(Command::N_Gar_Prod);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(count("SELECT COUNT(*) FROM Serials WHERE ID_Karta = 1 AND Data = '2026-04-30'"), 2);
        QCOMPARE(scalarSql(db(), "SELECT ID_Dok FROM Garancia_dostavtchik WHERE ID = 1").toString(), "Ф-12");
        QCOMPARE(scalarSql(db(), "SELECT Garancionen FROM Produkti WHERE ID = 20").toString(), "True");
    }

    void importedFileSaved() {
        const QString path =
            fx_->writeFile("cards.txt", QStringLiteral("1:[20]2:[П-1]3:[X1]4:[ab-7]5:[01.02.2028]\r\n"
                                                       "7:[К-2]8:[15.02.2026]9:[партида]\r\n")
                                            .toUtf8());
        msg_->answer(path);
        test::ModalScript script;
        script.next<TForm_Garanc_Produkti>([this](TForm_Garanc_Produkti* w) {
            QCOMPARE(w->model()->rowCount(), 1);
            QCOMPARE(test::control<QLineEdit>(*w, "Edit_Nomer")->text(), "К-2");
            QCOMPARE(test::control<QDateEdit>(*w, "DateTimePicker_Data")->date(), QDate(2026, 2, 15));
            test::control<QPushButton>(*w, "Button_Zapis")->click();
            w->reject();
        });
        main_->form.runCommand(Command::N_Import_Garanc_Prod);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(lookupSerial(db(), "AB-7", false).supplier->documentNumber, "К-2");

        // A file with an unknown article stores nothing and names the line.
        const QString faulty = fx_->writeFile("bad.txt", QByteArray("7:[K-3]8:[15.02.2026]\r\n"
                                                                    "1:[20]4:[C-1]5:[01.02.2028]\r\n"
                                                                    "1:[99]4:[C-2]5:[01.02.2028]\r\n"));
        msg_->answer(faulty);
        main_->form.runCommand(Command::N_Import_Garanc_Prod);
        QVERIFY(msg_->shown.last().contains(
            texts::kWarrantyImportLine.arg(3).arg(texts::kWarrantyImportUnknownArticle.arg(99))));
        QCOMPARE(count("SELECT COUNT(*) FROM Serials"), 1);
    }
    void reportFindsDocumentsBySerialPart() {
        execSql(db(),
                "INSERT INTO Garancia_dostavtchik (ID, ID_Kontrag, Vid_Dok, ID_Dok, Data, Zabel) VALUES "
                "(1, 7, 1, 'Ф-1', '2026-01-10', ''), (2, 7, 2, 'С-2', '2026-02-10', 'втора')");
        execSql(db(),
                "INSERT INTO Serials (ID_Karta, ID, Model, Partida, Serial_ID, Data) VALUES "
                "(1, 20, 'X1', 'P1', 'AB-120', '2027-01-10'), (1, 20, 'X1', 'P1', 'AB-300', '2027-01-10'), "
                "(2, 20, 'X2', 'P2', 'CD-412', '2027-02-10')");
        test::ModalScript script;
        script.next<TForm_Spr_Garanc_Prod>([](TForm_Spr_Garanc_Prod* w) {
            auto* find = test::control<QPushButton>(*w, "Button_Tarsi");
            find->click();
            QCOMPARE(w->model()->rowCount(), 2);
            QCOMPARE(w->serialsModel()->rowCount(), 2);
            test::control<QCheckBox>(*w, "CheckBox_SN")->click();
            test::typeText(test::control<QLineEdit>(*w, "Edit_SN"), "12");
            find->click();
            QCOMPARE(w->model()->rowCount(), 0);
            test::control<QCheckBox>(*w, "CheckBox_SN_Chast")->click();
            find->click();
            QCOMPARE(w->model()->rowCount(), 2);
            // With the document's kind as well: the second only.
            test::control<QCheckBox>(*w, "CheckBox_Vid_Dok")->click();
            auto* kind = test::control<QComboBox>(*w, "ComboBox_Vid_Dok");
            kind->setCurrentIndex(kind->findText("2:Стокова разписка"));
            find->click();
            QCOMPARE(w->model()->rowCount(), 1);
            QCOMPARE(w->serialsModel()->index(0, 2).data().toString(), "CD-412");
            w->accept();
        });
        main_->form.runCommand(Command::N_Garanc_Prod);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
    }
};

QTEST_MAIN(WarrantyWindowTest)
#include "test_warranty_window.moc"
