// The offers window offscreen, from the main window's tool button: two
// suppliers' lists imported, a group clicked and the articles searched, a
// correction that is no formula refused, an offer of five positions with two
// alternatives for one and a 10 % correction compared and saved with order
// lines for the chosen supplier, printed to an HTML file; the order lines
// in the orders list; the offer found in the report, printed to PDF and
// reopened in the window.

#include "catalogue/ui/form_artikuli.h"
#include "catalogue/ui/form_zaqvka_all.h"
#include "common/sql.h"
#include "common/ui/desktop.h"
#include "common/ui/form_print_vid_fail.h"
#include "counterparties/ui/form_kontrakents.h"
#include "offers/ui/form_oferti.h"
#include "offers/ui/form_spr_new_oferts.h"
#include "support/fixture.h"
#include "support/main_window.h"
#include "support/modal_script.h"
#include "support/scripted_messages.h"
#include "support/window_helpers.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>

using namespace torvika;

namespace {

const QDateTime kNow(QDate(2026, 12, 11), QTime(10, 0));

const QByteArray kSupplierA = "16:[Алфа ООД]\r\n11:[Монитори]\r\n"
                              "1:[Монитор 24]\t2:[100]\t3:[90]\t5:[Лева]\t7:[A-24]\r\n"
                              "1:[Монитор 27]\t2:[200]\t3:[180]\t5:[Лева]\t7:[A-27]\r\n"
                              "11:[Периферия]\r\n"
                              "1:[Клавиатура]\t2:[20]\t3:[15]\t5:[Лева]\t7:[A-K]\r\n"
                              "1:[Мишка]\t2:[10]\t3:[8]\t5:[Лева]\t7:[A-M]\r\n"
                              "1:[Кабел HDMI]\t2:[5]\t3:[4]\t5:[Лева]\t7:[A-H]\r\n";
const QByteArray kSupplierB = "16:[Бета Трейд]\r\n11:[Екрани]\r\n"
                              "1:[Монитор 24 IPS]\t2:[50]\t3:[45]\t5:[EUR]\t7:[B-24]\r\n";

void clickNode(QTreeWidget* tree, QTreeWidgetItem* item) {
    tree->scrollToItem(item);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
}

} // namespace

class OffersWindowTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    std::unique_ptr<test::ScriptedMessages> msg_;
    QSqlDatabase db() { return fx_->db(); }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        fx_->session().clock = [] { return kNow; };
        msg_ = std::make_unique<test::ScriptedMessages>();
        execSql(db(),
                "INSERT INTO Firmi (ID, Ime_Firma, EIK, Telefon, Nomer_Grupa) VALUES (7, 'Клиент АД', '0', "
                "'088 7', 0)");
        fx_->settings().save(Settings::Changes().set(setting::kCompanyName, "Търговец ООД"));
    }
    void cleanup() {
        msg_.reset();
        fx_.reset();
    }

    void composesSavesPrintsAndReopens() {
        test::MainWindow main(fx_->session());
        QVERIFY(main.start());
        main.form.show();
        QStringList opened;
        const FileOpener previous = setFileOpener([&opened](const QString& f) {
            opened << f;
            return true;
        });

        test::control<QAbstractButton>(main.form, "SpdBtn_Oferti")->click();
        QPointer<TForm_Oferti> w = TForm_Oferti::openWindow();
        QVERIFY(w && w->isVisible());
        // Reopening brings back the same window from minimized.
        w->showMinimized();
        test::control<QAbstractButton>(main.form, "SpdBtn_Oferti")->click();
        QCOMPARE(TForm_Oferti::openWindow(), w.data());
        QVERIFY(!(w->windowState() & Qt::WindowMinimized));

        // Two suppliers' lists through the tree's "Добави".
        QTreeWidget* tree = test::control<QTreeWidget>(*w, "TreeView1");
        for (const QByteArray& list : {kSupplierA, kSupplierB}) {
            msg_->answer(fx_->writeFile("list.txt", list));
            test::control<QAction>(*w, "Action_Dobavi")->trigger();
        }
        QCOMPARE(tree->topLevelItemCount(), 2);
        QCOMPARE(tree->topLevelItem(0)->text(0), "2:Бета Трейд");
        QCOMPARE(tree->topLevelItem(1)->childCount(), 2);
        // "Актуализирай" without a supplier chosen is refused.
        tree->setCurrentItem(tree->topLevelItem(1)->child(0));
        test::control<QAction>(*w, "Action_Aktualizirai")->trigger();
        QCOMPARE(msg_->messages.last(), "Необходимо е да избeрете Фирма за актуализацията");

        // A click on a group: its articles, the cheapest red, the dearest blue.
        QTableView* articles = test::control<QTableView>(*w, "DBGrid_Art");
        clickNode(tree, tree->topLevelItem(1)->child(0));
        QCOMPARE(articles->model()->rowCount(), 2);
        QCOMPARE(test::control<QLabel>(*w, "Label_Count")->text(), "2");
        QCOMPARE(w->articleColour(0), QColor(Qt::red));
        QCOMPARE(w->articleColour(1), QColor(Qt::blue));

        // A search of both suppliers; with every supplier excluded, nothing.
        test::typeAndEnter(*w, "Edit_Search", "монитор 24");
        QCOMPARE(articles->model()->rowCount(), 2);
        tree->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
        tree->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
        test::click(*w, "Button_Tarsene");
        QCOMPARE(articles->model()->rowCount(), 0);
        QCOMPARE(test::control<QLabel>(*w, "Label_Count")->text(), "0");
        tree->topLevelItem(0)->setCheckState(0, Qt::Checked);
        tree->topLevelItem(1)->setCheckState(0, Qt::Checked);
        test::click(*w, "Button_Tarsene");
        QCOMPARE(articles->model()->rowCount(), 2);

        // A mandatory element for marker 1.
        test::typeAndEnter(*w, "Edit_Zad_el", "Екран");
        QListWidget* elements = test::control<QListWidget>(*w, "CheckListBox_Zad_el");
        QCOMPARE(elements->count(), 1);

        // A correction that is no formula adds nothing.
        QTableView* offer = test::control<QTableView>(*w, "DBGrid_Oferta");
        QLineEdit* correction = test::control<QLineEdit>(*w, "Edit_Korekcia");
        correction->setText("1; DROP TABLE Art_CL");
        test::clickRow(articles, 0);
        test::click(*w, "Button_Dobavi");
        QVERIFY(
            msg_->messages.last().startsWith("Корекцията \"1; DROP TABLE Art_CL\" не е число или формула"));
        QCOMPARE(offer->model()->rowCount(), 0);
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Art_CL").toInt(), 6);

        // Marker 1: the two monitors 24 as alternatives, +10 %.
        correction->setText("10%");
        test::chooseItem(test::control<QComboBox>(*w, "ComboBox_Znak_Korekcia"), 0);
        for (int row : {0, 1}) {
            test::clickRow(articles, row);
            test::click(*w, "Button_Dobavi");
        }
        QCOMPARE(offer->model()->rowCount(), 2);
        QCOMPARE(elements->item(0)->checkState(), Qt::Checked);
        // Markers 2 to 5: the periphery group and the 27" monitor.
        QSpinBox* marker = test::control<QSpinBox>(*w, "SpinEdit_Marker");
        clickNode(tree, tree->topLevelItem(1)->child(1));
        for (int row : {0, 1, 2}) {
            marker->setValue(row + 2);
            test::clickRow(articles, row);
            test::click(*w, "Button_Dobavi");
        }
        clickNode(tree, tree->topLevelItem(1)->child(0));
        marker->setValue(5);
        test::control<QSpinBox>(*w, "SpinEdit_Kol")->setValue(2);
        test::clickRow(articles, 1);
        test::click(*w, "Button_Dobavi");
        QCOMPARE(offer->model()->rowCount(), 6);
        QCOMPARE(test::control<QSpinBox>(*w, "SpinEdit_Kol")->value(), 1);
        // 110 + 50 EUR x 1.1 x 1.95583 + 22 + 11 + 5.5 + 2 x 220
        QCOMPARE(test::control<QLabel>(*w, "Label_Sum")->text(), "696.07");

        // Comparing marker 1: the euro monitor (107.57 lev) is the cheaper.
        marker->setValue(1);
        QCOMPARE(w->lineColour(0), QColor(Qt::blue));
        QCOMPARE(w->lineColour(1), QColor(Qt::red));
        QCOMPARE(w->lineColour(2), QColor());
        QVERIFY(test::control<QLabel>(*w, "Label_Marker_Info")->text().contains("общо 217.57"));

        // Saving without a counterparty opens the list; the client chosen.
        test::ModalScript script;
        script.next<TForm_Kontrakents>([](TForm_Kontrakents* list) {
            QVERIFY(list->positionOn(7));
            test::control<QPushButton>(*list, "BitBtn_Izberi")->click();
        });
        test::click(*w, "Button_Zapis");
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(msg_->messages.last(), "Не е посочен Контрагент");
        QCOMPARE(test::control<QLabel>(*w, "Label_ID_Kontragent")->text(), "7:Клиент АД");

        // Saved with order lines for Алфа ООД only, printed to HTML.
        msg_->answerYes(); // add to the orders
        msg_->answerYes(); // Алфа ООД
        msg_->answerNo();  // Бета Трейд
        script.next<TForm_Print_Vid_Fail>([](TForm_Print_Vid_Fail* chooser) {
            chooser->setChoice(3);
            test::control<QPushButton>(*chooser, "BitBtn_Priemi")->click();
        });
        test::click(*w, "Button_Zapis");
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Oferti_Klient_Art WHERE ID_Oferta = 1").toInt(), 6);
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Zaqvki_All WHERE Dost_Ime = 'Алфа ООД'").toInt(), 5);
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Zaqvki_All").toInt(), 5);
        QCOMPARE(opened.size(), 1);
        QVERIFY(opened.front().endsWith("TEMP/Oferts.html"));
        const QString html = QString::fromUtf8(test::Fixture::readFile(opened.front()));
        QVERIFY(html.contains(" ОФЕРТА № 1"));
        QVERIFY(html.contains("До: Клиент АД"));
        QVERIFY(html.contains("Монитор 24 IPS"));
        QVERIFY(html.contains("На обща стойност в лева: 696.07 "));

        const QString pictures = qEnvironmentVariable("TORVIKA_OFFERS_PICTURE");
        if (!pictures.isEmpty())
            w->grab().save(pictures);

        // The orders list shows them.
        script.next<TForm_Zaqvka_all>([](TForm_Zaqvka_all* orders) {
            QCOMPARE(test::control<QTableView>(*orders, "DBGrid1")->model()->rowCount(), 5);
            orders->reject();
        });
        main.form.runCommand(Command::N_Izpalneni_Oferti);
        QVERIFY2(script.finished(), qPrintable(script.failure()));

        // The report: found by number, printed to PDF, reopened.
        w->close();
        QTRY_VERIFY(!TForm_Oferti::openWindow());
        script.next<TForm_Spr_New_Oferts>([&](TForm_Spr_New_Oferts* r) {
            test::control<QCheckBox>(*r, "CheckBox_Nomer")->setChecked(true);
            test::control<QLineEdit>(*r, "Edit_Nomer_Ot")->setText("1");
            test::click(*r, "Button_Tarsi");
            QTableView* found = test::control<QTableView>(*r, "DBGrid_Oferti");
            QCOMPARE(found->model()->rowCount(), 1);
            test::clickRow(found, 0);
            QCOMPARE(test::control<QTableView>(*r, "DBGrid_Oferta_Art")->model()->rowCount(), 6);
            QCOMPARE(test::control<QLabel>(*r, "Label_Obshta_Stoinost")->text(),
                     "Обща стойност на офертата: 696.07");
            test::click(*r, "Button_Pe4at_Dokument");
            test::click(*r, "Button_Otvori");
        });
        main.form.runCommand(Command::N_Izgotveni_Oferti);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(opened.size(), 2);
        QVERIFY(opened.last().endsWith("TEMP/Oferta.pdf"));
        QVERIFY(test::Fixture::readFile(opened.last()).startsWith("%PDF"));
        if (!pictures.isEmpty())
            QFile::copy(opened.last(), pictures + ".pdf");
        w = TForm_Oferti::openWindow();
        QVERIFY(w && w->isVisible());
        QCOMPARE(test::control<QTableView>(*w, "DBGrid_Oferta")->model()->rowCount(), 6);
        QCOMPARE(test::control<QLabel>(*w, "Label_ID_Kontragent")->text(), "7:Клиент АД");
        QCOMPARE(test::control<QLabel>(*w, "Label_Sum")->text(), "696.07");
        setFileOpener(previous);
        w->close();

        // "Създай заявка" for Бета Трейд only, then "ИЗТРИИ".
        msg_->answerYes(); // add to the orders
        msg_->answerNo();  // Алфа ООД
        msg_->answerYes(); // Бета Трейд
        msg_->answerYes(); // delete the offer
        script.next<TForm_Spr_New_Oferts>([&](TForm_Spr_New_Oferts* r) {
            QTableView* found = test::control<QTableView>(*r, "DBGrid_Oferti");
            QCOMPARE(found->model()->rowCount(), 1);
            test::clickRow(found, 0);
            test::click(*r, "Button_Sazdai_Zaqvka");
            QCOMPARE(msg_->messages.last(), "Добавени редове в Списък за заявки: 1");
            test::click(*r, "Button_Iztrii");
            QCOMPARE(found->model()->rowCount(), 0);
            r->reject();
        });
        main.form.runCommand(Command::N_Izgotveni_Oferti);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Zaqvki_All WHERE Dost_Ime = 'Бета Трейд'").toInt(), 1);
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Oferti_Klient").toInt(), 0);
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Oferti_Klient_Art").toInt(), 0);
        QCOMPARE(msg_->unexpected, 0);
    }

    // The sort boxes order the catalogue by the fields ticked; "Налично"
    // adds an own article with the correction; "Печат" of an empty offer
    // and a title click without rows are refused.
    void ownStockAndSorting() {
        execSql(db(), "INSERT INTO Grupi (ID, Opisanie) VALUES (3, 'Напитки')");
        execSql(db(), "INSERT INTO Produkti (ID, Nomenkl_N, Opisanie, Nomer_Grupa, Ed_Cena, Valuta_P) VALUES "
                      "(12, '3_12', 'Чай', 3, 4.5, 'Лева')");
        test::MainWindow main(fx_->session());
        QVERIFY(main.start());
        main.form.runCommand(Command::N_Oferti);
        QPointer<TForm_Oferti> w = TForm_Oferti::openWindow();
        QVERIFY(w);
        test::click(*w, "Button_Pe4at");
        QCOMPARE(msg_->messages.last(), "Няма данни за печат");
        test::clickTitle(test::control<QTableView>(*w, "DBGrid_Art"), 1);
        QCOMPARE(msg_->messages.last(), "Няма данни за подреждане");

        msg_->answer(fx_->writeFile("list.txt", kSupplierA));
        test::control<QAction>(*w, "Action_Dobavi")->trigger();
        QTreeWidget* tree = test::control<QTreeWidget>(*w, "TreeView1");
        clickNode(tree, tree->topLevelItem(0)->child(1));
        QTableView* articles = test::control<QTableView>(*w, "DBGrid_Art");
        QCOMPARE(test::shownRows(articles->model()).first().section('|', 1, 1), "Клавиатура");
        test::control<QCheckBox>(*w, "CheckBox_Sort_1")->click();
        test::click(*w, "Button_Podredi");
        QStringList names;
        for (const QString& row : test::shownRows(articles->model()))
            names << row.section('|', 1, 1);
        QCOMPARE(names, (QStringList{"Кабел HDMI", "Мишка", "Клавиатура"}));
        QVERIFY(!test::control<QCheckBox>(*w, "CheckBox_Sort_1")->isChecked());

        test::control<QComboBox>(*w, "ComboBox_Znak_Korekcia")->setCurrentIndex(2);
        test::control<QLineEdit>(*w, "Edit_Korekcia")->setText("2");
        test::ModalScript script;
        script.next<TForm_Artikuli>([](TForm_Artikuli* catalogue) {
            QCOMPARE(catalogue->mode(), int(kSelectOfferArticles));
            QVERIFY(catalogue->positionOn(12));
            test::control<QAbstractButton>(*catalogue, "BitBtn_Izberi")->click();
        });
        test::click(*w, "Button_Nali4no");
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        const QStringList lines = test::shownRows(test::control<QTableView>(*w, "DBGrid_Oferta")->model());
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines.first().startsWith("1|1|Арт. N: 12|Ном. N: 3_12|Чай|9.00|1.00|9.00|Лева|* 2|"),
                 qPrintable(lines.first()));
        QVERIFY(lines.first().endsWith("|В наличност"));
        w->close();
        QCOMPARE(msg_->unexpected, 0);
    }
};

QTEST_MAIN(OffersWindowTest)
#include "test_offers_window.moc"
