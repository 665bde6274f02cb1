// The service page in the main window: its boxes filled at each switch to
// it, the intake client chosen by the quick search or the list (mode 9), and
// the intake of two items of one client by serial number (one the shop
// sold, one unknown) with the dossier, the refusals, the workshop ticket and
// "ПРИЕМИ"; "Печат документи" for the chosen intake lines.

#include "common/cp1251.h"
#include "common/ref_text.h"
#include "common/sql.h"
#include "counterparties/ui/counterparty_picker.h"
#include "counterparties/ui/form_kontrakents.h"
#include "documents/template_files.h"
#include "documents/texts.h"
#include "service/texts.h"
#include "support/fixture.h"
#include "support/host_stand_in.h"
#include "support/main_window.h"
#include "support/modal_script.h"
#include "support/scripted_messages.h"
#include "support/window_helpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QToolButton>

using namespace torvika;

class ServicePageTest : public QObject {
    Q_OBJECT
private slots:
    void pageSwitchFillsServiceBoxesOnce() {
        test::Fixture fx;
        test::ScriptedMessages msgs;
        fx.session().clock = [] { return QDateTime(QDate(2026, 12, 9), QTime(10, 0)); };
        test::MainWindow main(fx.session());
        QVERIFY(main.start());
        auto* pages = test::control<QTabWidget>(main.form, "PageControl1");
        pages->setCurrentIndex(1);
        pages->setCurrentIndex(0);
        pages->setCurrentIndex(1);
        QCOMPARE(main.form.windowTitle(), QStringLiteral("ТОРВИКА - СЕРВИЗ"));
        auto* dep = test::control<QComboBox>(main.form, "ComboBox_Otdel");
        QCOMPARE(dep->itemText(0), QStringLiteral("0:Не се приготвя"));
        QStringList items;
        for (int i = 0; i < dep->count(); ++i)
            items << dep->itemText(i);
        QCOMPARE(items.removeDuplicates(), 0);
        auto* cur = test::control<QComboBox>(main.form, "ComboBox_Valuta");
        QVERIFY(cur->count() > 0);
        QCOMPARE(cur->currentIndex(), 0);
        QCOMPARE(test::control<QDateEdit>(main.form, "DateTimePicker_Krai_Data")->date(), QDate(2026, 12, 9));
        pages->setCurrentIndex(0);
        QCOMPARE(main.form.windowTitle(), QStringLiteral("ТОРВИКА - МАГАЗИН"));
    }

    // The list in mode 9 writes the client into the service page's field,
    // and leaves the sale counterparty alone.
    void clientFromTheList() {
        test::Fixture fx;
        test::ScriptedMessages msgs;
        execSql(fx.db(), "INSERT INTO Firmi (ID, Ime_Firma, EIK, Dan_N, T_O, ID_Mol, Nomer_Grupa) VALUES "
                         "(3, 'Чип ООД', '0', 'BG123', 7, 3, 0)");
        test::MainWindow main(fx.session());
        QVERIFY(main.start());
        test::ModalScript script;
        script.next<TForm_Kontrakents>([](TForm_Kontrakents* list) {
            QVERIFY(list->positionOn(3));
            test::control<QPushButton>(*list, "BitBtn_Izberi")->click();
        });
        pickCounterparty(main.form.context(), kSelectServiceClient, &main.form);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(test::control<QLineEdit>(main.form, "Label_Selected_Kontragent_Ser")->text(), "3:Чип ООД");
        QVERIFY(!test::control<QListWidget>(main.form, "ListBox_Selected_Kontrag_Ser")->isVisible());
        QCOMPARE(msgs.shown, QStringList{});
        // The shop's sale keeps no counterparty.
        QCOMPARE(GetID_MFromTreeNodeName(fx.session().saleCounterparty()), 0);
    }
    void intakeOfTwoItems() {
        test::Fixture fx;
        test::ScriptedMessages msgs;
        fx.session().clock = [] { return QDateTime(QDate(2026, 3, 10), QTime(10, 0)); };
        execSql(fx.db(), "INSERT INTO Firmi (ID, Ime_Firma, Telefon, EIK, Nomer_Grupa) VALUES "
                         "(3, 'Чип ООД', '0888 123', '0', 0), (7, 'Доставчик ООД', '', '0', 0)");
        execSql(fx.db(),
                "INSERT INTO Produkti (ID, Opisanie, Nomer_Grupa, Ed_Cena, Valuta_P, Garancionen) VALUES "
                "(20, 'Лаптоп', 1, 900, 'Лева', 'True')");
        execSql(fx.db(),
                "INSERT INTO Prodajbi (ID_Prodajba, ID_Art, D_Prodajba, T_Prodajba, ID_Klient, Pored_Ot, "
                "Pored_Do) VALUES (90, 20, '2026-02-10', '10:00:00', 3, 'AB-1', '10.02.2028')");
        // An earlier repair of the sold item.
        execSql(fx.db(), "INSERT INTO R_Priem (N_Priem, S_N, Pri4ina, ID_Kontrag, Data_Izd, Time_Izd) VALUES "
                         "(4, 'AB-1', 'Счупен екран', 3, '2026-02-20', '12:00:00')");
        execSql(
            fx.db(),
            "INSERT INTO R_Remont (N_Priem, Remont, Kol, ED_Cena, Valuta, Garan_Remont, SN, Zamqna, "
            "Oper_Remont) VALUES (4, 'Смяна на екран', 1, 120, 'Лева', '2026-08-20', '', 'True', 'Иван')");
        execSql(fx.db(),
                "INSERT INTO Type_Prigotvq_Se (ID, Opisanie, Path, Vid_FU) VALUES "
                "(4, 'Сервиз', ?, '1: ЕЛТРЕЙД - Фискален принтер')",
                {fx.root() + "Workshop"});
        test::MainWindow main(fx.session());
        QVERIFY(main.start());
        test::control<QTabWidget>(main.form, "PageControl1")->setCurrentIndex(1);
        QWidget& page = main.form;
        auto* serial = test::control<QLineEdit>(page, "Edit_SN");
        auto* article = test::control<QLineEdit>(page, "Edit_Art");
        auto* client = test::control<QLineEdit>(page, "Label_Selected_Kontragent_Ser");
        auto* reason = test::control<QPlainTextEdit>(page, "Memo_Pri4ina");
        auto* price = test::control<QLineEdit>(page, "Edit_Pred_Cena_Priem");
        auto* add = test::control<QPushButton>(page, "Button_Dobavi");
        auto* lines = test::control<QTableView>(page, "DBGrid_Ser");

        // The sold item: its article, client, sale and earlier repair.
        test::typeText(serial, "ab-1");
        QCOMPARE(serial->text(), "AB-1");
        QTest::keyClick(serial, Qt::Key_Return);
        QCOMPARE(article->text(), "20:Лаптоп");
        QCOMPARE(client->text(), "3:Чип ООД");
        QCOMPARE(test::control<QLabel>(page, "Label_Opis_art")->text(), "20:Лаптоп");
        QCOMPARE(test::control<QLabel>(page, "Label_Data_Prod")->text(), "10.02.2026");
        QCOMPARE(test::control<QLabel>(page, "Label_Gar_Klient")->text(), "10.02.2028");
        QCOMPARE(test::control<QTableView>(page, "DBGrid3")->model()->rowCount(), 1);
        QCOMPARE(test::control<QTableView>(page, "DBGrid4")->model()->index(0, 1).data().toString(),
                 "Смяна на екран");
        test::typeText(reason, "Не");
        QTest::keyClick(reason, Qt::Key_Return);
        test::typeText(reason, "се включва");
        price->clear();
        test::typeText(price, "abc");
        add->click();
        QCOMPARE(msgs.shown.last(), texts::kIntakePriceNotNumber.arg("abc"));
        price->clear();
        test::typeText(price, "12,50");
        add->click();
        QCOMPARE(lines->model()->rowCount(), 1);
        QCOMPARE(client->text(), "3:Чип ООД");
        QCOMPARE(article->text(), "");

        // The unknown item: free text, the client kept; a reason is required.
        test::typeText(serial, "zz-9");
        QTest::keyClick(serial, Qt::Key_Return);
        QVERIFY(test::control<QCheckBox>(page, "CheckBox_Free_Text")->isChecked());
        QCOMPARE(article->text(), texts::kIntakeNoDescription);
        QCOMPARE(client->text(), "3:Чип ООД");
        QCOMPARE(test::control<QLabel>(page, "Label_Opis_art")->text(), "-1:" + texts::kIntakeNoDescription);
        add->click();
        QCOMPARE(msgs.shown.last(), texts::kIntakeReasonMissing);
        test::typeText(reason, "Шуми");
        add->click();
        QCOMPARE(lines->model()->rowCount(), 2);
        QCOMPARE(scalarSql(fx.db(), "SELECT Pri4ina FROM Priem_Ser_Vremen WHERE S_N = 'AB-1'").toString(),
                 "Несе включва");
        QCOMPARE(scalarSql(fx.db(), "SELECT Barkod FROM Priem_Ser_Vremen WHERE S_N = 'ZZ-9'").toInt(), -1);
        const qint64 first =
            scalarSql(fx.db(), "SELECT N_Prodajba FROM Priem_Ser_Vremen WHERE S_N = 'AB-1'").toLongLong();

        // The workshop ticket of the first line.
        auto* departments = test::control<QComboBox>(page, "ComboBox_Otdel");
        test::control<QPushButton>(page, "Button_Pechat")->click();
        QCOMPARE(msgs.shown.last(), texts::kIntakeNoLineForTicket);
        lines->selectRow(0);
        departments->setCurrentIndex(departments->findText("4:Сервиз"));
        test::control<QPushButton>(page, "Button_Pechat")->click();
        const QByteArray expected = toCp1251(
            QStringLiteral("*\r\n:=======================\r\n:СЕРВИЗ\r\n:=======================\r\n"
                           ":ПОС: 1\r\n:Приет под N: ") +
            QString::number(first) +
            QStringLiteral("\r\n:Клиент: Чип ООД\r\n:Клиент тел.: 0888 123\r\n:Арт.: 20:Лаптоп\r\n"
                           ":Причина: Несе включва\r\n:Опер.: Администратор   \r\n"
                           ":=======================\r\n:Цена ремонт: \r\n:=======================\r\n"));
        QCOMPARE(test::Fixture::readFile(fx.root() + "Workshop/ToPrepare_Ser.bon"), expected);

        // A third line cancelled after the question.
        test::typeText(serial, "QQ-5");
        QTest::keyClick(serial, Qt::Key_Return);
        test::typeText(reason, "Грешка");
        add->click();
        QCOMPARE(lines->model()->rowCount(), 3);
        lines->selectRow(2);
        msgs.answerYes();
        test::control<QPushButton>(page, "Button_Otkaz_Ser")->click();
        QCOMPARE(lines->model()->rowCount(), 2);
        QCOMPARE(scalarSql(fx.db(), "SELECT COUNT(*) FROM Priem_Ser_Vremen WHERE S_N = 'QQ-5'").toInt(), 0);

        // Both accepted into service; the client is cleared.
        test::control<QPushButton>(page, "Button_Izberi_Vsi")->click();
        test::answerNextLogin(main.form.login());
        test::control<QPushButton>(page, "Button_Priemi")->click();
        QCOMPARE(lines->model()->rowCount(), 0);
        QCOMPARE(
            scalarSql(fx.db(), "SELECT COUNT(*) FROM Priem_Ser WHERE Status = 1 AND ID_Kontrag = 3").toInt(),
            2);
        QCOMPARE(client->text(), texts::kIntakeNoClientShort);
        QCOMPARE(msgs.shown.size(), 4);
    }
    // A supplier's warranty that runs past today makes it a warranty intake;
    // a search by part that finds several serial numbers offers them.
    void warrantyIntakeAndSerialPick() {
        test::Fixture fx;
        test::ScriptedMessages msgs;
        fx.session().clock = [] { return QDateTime(QDate(2026, 3, 10), QTime(10, 0)); };
        execSql(fx.db(),
                "INSERT INTO Firmi (ID, Ime_Firma, EIK, Nomer_Grupa) VALUES (7, 'Доставчик ООД', '0', 0)");
        execSql(fx.db(),
                "INSERT INTO Produkti (ID, Opisanie, Nomer_Grupa, Ed_Cena, Valuta_P, Garancionen) VALUES "
                "(20, 'Лаптоп', 1, 900, 'Лева', 'True')");
        execSql(fx.db(),
                "INSERT INTO Garancia_dostavtchik (ID, ID_Kontrag, Vid_Dok, ID_Dok, Data, Zabel) VALUES "
                "(1, 7, 1, 'Ф-12', '2025-03-01', 'партида 5')");
        execSql(fx.db(),
                "INSERT INTO Serials (ID_Karta, ID, Model, Partida, Serial_ID, Data) VALUES "
                "(1, 20, 'X1', 'P-1', 'QW-1', '2026-03-11'), (1, 20, 'X1', 'P-1', 'QW-2', '2026-03-10')");
        test::MainWindow main(fx.session());
        QVERIFY(main.start());
        test::control<QTabWidget>(main.form, "PageControl1")->setCurrentIndex(1);
        QWidget& page = main.form;
        auto* serial = test::control<QLineEdit>(page, "Edit_SN");
        auto* pick = test::control<QToolButton>(page, "SpdBtn_Sel_SN");
        auto* warranty = test::control<QCheckBox>(page, "CheckBox_Garancionen");
        test::control<QCheckBox>(page, "CheckBox_Select_Chast")->click();
        test::typeText(serial, "qw");
        QTest::keyClick(serial, Qt::Key_Return);
        QVERIFY(!pick->isHidden());
        pick->click();
        auto* list = test::control<QListWidget>(page, "ListBox_Sel_SN");
        QCOMPARE(list->count(), 2);
        test::control<QCheckBox>(page, "CheckBox_Select_Chast")->click();
        // The one ending today: no warranty intake.
        QListWidgetItem* second = list->item(1);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(second).center());
        QCOMPARE(serial->text(), "QW-2");
        QVERIFY(!warranty->isChecked());
        QVERIFY(pick->isHidden());
        // The one ending tomorrow: a warranty intake with the document's data.
        serial->clear();
        test::typeText(serial, "QW-1");
        QTest::keyClick(serial, Qt::Key_Return);
        QVERIFY(warranty->isChecked());
        QCOMPARE(test::control<QLineEdit>(page, "Edit_Gar_Dok_N")->text(), "Ф-12");
        QCOMPARE(test::control<QLabel>(page, "Label_Ime_Dost")->text(), "7:Доставчик ООД");
        QCOMPARE(test::control<QLineEdit>(page, "Edit_Model")->text(), "X1");
        QCOMPARE(test::control<QDateEdit>(page, "DateTimePicker_Krai_Data")->date(), QDate(2026, 3, 11));
        QCOMPARE(test::control<QLabel>(page, "Label_Zabel")->text(), "партида 5");
        QCOMPARE(msgs.shown, QStringList{});
    }

    // "Печат документи" prints the service documents for the chosen intake
    // lines only (by line number, so two lines of one client print apart),
    // numbers them from the kind's row, and refuses without a chosen line.
    void documentsForChosenLines() {
        test::Fixture fx;
        test::ScriptedMessages msgs;
        fx.session().clock = [] { return QDateTime(QDate(2026, 3, 10), QTime(10, 0)); };
        execSql(fx.db(), "INSERT INTO Firmi (ID, Ime_Firma, EIK, Nomer_Grupa) VALUES (3, 'Чип ООД', '0', 0)");
        auto field = [](const QString& set, const QString& column, int x) {
            ReportElement e;
            e.kind = ElementKind::DataField;
            e.name = set + column;
            e.band = ReportBand::Detail;
            e.dataSet = set;
            e.dataField = column;
            e.geometry = QRect(x, 0, 180, 20);
            return e;
        };
        ReportTemplate t;
        t.name = "Приемателен протокол";
        t.detailHeight = 20;
        t.elements = {field("Priem_Ser_Vremen", "S_N", 0), field("Priem_Ser_Vremen", "Pri4ina", 200),
                      field("Firmi", "Ime_Firma", 420)};
        const QString docs = fx.session().programDir.documentationsDir();
        QDir().mkpath(docs);
        DocumentPlaces places;
        places.service = true;
        saveTemplate(fx.db(), docs, t, places, "0000000041");

        test::MainWindow main(fx.session());
        QVERIFY(main.start());
        test::control<QTabWidget>(main.form, "PageControl1")->setCurrentIndex(1);
        QWidget& page = main.form;
        {
            test::ModalScript script;
            script.next<TForm_Kontrakents>([](TForm_Kontrakents* list) {
                QVERIFY(list->positionOn(3));
                test::control<QPushButton>(*list, "BitBtn_Izberi")->click();
            });
            pickCounterparty(main.form.context(), kSelectServiceClient, &main.form);
            QVERIFY2(script.finished(), qPrintable(script.failure()));
        }
        auto* serial = test::control<QLineEdit>(page, "Edit_SN");
        auto* reason = test::control<QPlainTextEdit>(page, "Memo_Pri4ina");
        auto* lines = test::control<QTableView>(page, "DBGrid_Ser");
        for (const auto& [sn, why] : {std::pair{"KK-1", "Шуми"}, std::pair{"KK-2", "Не пали"}}) {
            test::typeText(serial, sn);
            QTest::keyClick(serial, Qt::Key_Return);
            test::typeText(reason, why);
            test::control<QPushButton>(page, "Button_Dobavi")->click();
        }
        QCOMPARE(lines->model()->rowCount(), 2);

        auto* print = test::control<QPushButton>(page, "Button3");
        lines->clearSelection();
        print->click();
        QCOMPARE(msgs.shown.last(), texts::kIntakeNoLinesForDocuments);

        QTest::mouseClick(test::control<QToolButton>(page, "SpdBtn_Pokaji_Dokuments_Ser"), Qt::LeftButton);
        test::tickOnly(test::control<QListWidget>(page, "ChkListBox_Pokaj_Dokum_Ser"), t.name);
        test::tickOnly(test::control<QListWidget>(page, "CheckListBox_Printers_Ser"), texts::kPdfPrinter);
        const QStringList shown = test::shownRows(lines->model());
        const int second = int(shown.indexOf(QRegularExpression(".*\\|KK-2\\|.*")));
        QVERIFY2(second >= 0, qPrintable(shown.join(u'\n')));
        test::clickRow(lines, second);
        const QString pdf = fx.root() + "intake.pdf";
        msgs.answer(pdf);
        print->click();
        QVERIFY(QFile::exists(pdf));
        const QString text = test::pdfText(pdf);
        QVERIFY2(text.contains("KK-2") && text.contains("Не пали") && text.contains("Чип ООД"),
                 qPrintable(text));
        QVERIFY2(!text.contains("KK-1"), qPrintable(text));
        QCOMPARE(scalarSql(fx.db(), "SELECT N_Dok FROM Dokumenti WHERE Opisanie = ?", {t.name}).toString(),
                 QString("0000000042"));
        // The lines stay on the working list for "ПРИЕМИ".
        QCOMPARE(lines->model()->rowCount(), 2);
    }
};

QTEST_MAIN(ServicePageTest)
#include "test_service_page.moc"
