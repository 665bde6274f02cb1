// The delivery window and the delivery report, driven offscreen on either
// engine: opened from the menu; the supplier found by name and by "+" VAT
// number; an article found by the supplier's own number and by ours, its
// markup and VAT mark, a quantity kept exactly; serial numbers of a
// warranty article; a line edited and accepted unchanged; deleting asked
// first; three articles picked with their own quantities; the sums; the
// print byte for byte; "Запис" raising the stock of the chosen warehouse
// and carrying prices and supplier into the catalogue; a delivery without
// a warehouse refused; abandoning asked first; and the report: a filter,
// the lines of the delivery clicked, and the article filter falling back
// to its label.

#include "catalogue/stock.h"
#include "catalogue/ui/article_views.h"
#include "catalogue/ui/form_artikuli.h"
#include "catalogue/ui/form_dostavki.h"
#include "catalogue/ui/form_sprdostavka.h"
#include "common/sql.h"
#include "common/ui/desktop.h"
#include "common/ui/form_get_kol.h"
#include "common/ui/form_print_vid_fail.h"
#include "common/ui/statement_model.h"
#include "support/fixture.h"
#include "support/host_stand_in.h"
#include "support/main_window.h"
#include "support/modal_script.h"
#include "support/scripted_messages.h"
#include "support/window_helpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace torvika;

namespace {

using test::click;
using test::clickRow;
using test::shownRows;
using test::typeAndEnter;

const QDateTime kNow(QDate(2024, 5, 6), QTime(10, 20, 30));

template <typename T = QLineEdit> T* control(const QWidget& w, const char* name) {
    return test::control<T>(w, name);
}

void chooseItem(QComboBox* box, const QString& text) {
    const int index = box->findText(text);
    QVERIFY(index >= 0);
    test::chooseItem(box, index);
}

// Ticks or unticks the box as the operator does from the keyboard.
void toggle(const QWidget& w, const char* name) {
    QCheckBox* box = control<QCheckBox>(w, name);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Space);
}

void typeSerial(test::ModalScript& script, const QString& serial) {
    script.next<TForm_Get_Kol>([serial](TForm_Get_Kol* d) {
        test::typeText(d->findChild<QLineEdit*>("Edit_SN"), serial);
        d->findChild<QPushButton*>("Button_Priemi")->click();
    });
}

void typeQuantity(test::ModalScript& script, const QString& quantity) {
    script.next<TForm_Get_Kol>([quantity](TForm_Get_Kol* d) {
        auto* field = d->findChild<QLineEdit*>("Edit_Kol");
        field->selectAll();
        test::typeText(field, quantity);
        d->findChild<QPushButton*>("Button_Priemi")->click();
    });
}

} // namespace

class DeliveryWindowTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    std::unique_ptr<test::ScriptedMessages> msg_;
    QSqlDatabase db() { return fx_->db(); }
    QString stock(qint64 article, qint64 warehouse) {
        const std::optional<Decimal> s = stockIn(db(), article, warehouse);
        return s ? s->toString() : QStringLiteral("-");
    }
    QString article(qint64 id) {
        QSqlQuery q = execSql(db(),
                              "SELECT Ed_Cena, Valuta_P, Dostavna_Cena, Valuta_D, Dostav4ik, DDS, Mqrka "
                              "FROM Produkti WHERE ID = ?",
                              {id});
        if (!q.next())
            return {};
        QStringList cells;
        for (int i = 0; i < 7; ++i)
            cells << q.value(i).toString();
        return cells.join(u'|');
    }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        msg_ = std::make_unique<test::ScriptedMessages>();
        fx_->session().settings().set(setting::kVatPercent, QStringLiteral("20"));
        fx_->session().clock = [] { return kNow; };
        test::HostStandIn& host = test::host(fx_->session());
        TForm_Dostavki::addFollowUps(host.followUps());
        TForm_SprDostavka::addFollowUps(host.followUps());
        execSql(db(), "INSERT INTO Sklad (ID_Sklad, Opis_Sklad) VALUES (2, 'Склад 2')");
        execSql(db(), "INSERT INTO Firmi (ID, Ime_Firma, ID_Mol, Nomer_Grupa, Dan_N, EIK) VALUES "
                      "(5, 'Метро ООД', 5, 0, 'BG123456789', '123456789'), "
                      "(6, 'Булмаг', 6, 0, 'BG999000111', '999000111')");
        execSql(db(), "INSERT INTO Grupi (ID, Opisanie) VALUES (3, 'Стоки')");
        execSql(db(), "INSERT INTO Produkti (ID, Nomer_Grupa, Opisanie, Ed_Cena, Valuta_P, Dostavna_Cena, "
                      "Valuta_D, Mqrka, Dan_Grup, DDS, Garancionen) VALUES "
                      "(10, 3, 'Чай', 2.4, 'Лева', 1.1, 'Лева', 'бр.', 1, 'False', 'False'), "
                      "(11, 3, 'Кафе', 6, 'Лева', 4, 'Лева', 'кг.', 1, 'False', 'False'), "
                      "(12, 3, 'Телефон', 150, 'Лева', 100, 'Лева', 'бр.', 1, 'False', 'True')");
        execSql(db(), "INSERT INTO Nomenklatures (ID, Nomenkl_N, ID_Kontrag) VALUES (10, 'MT-10', 5)");
        execSql(db(), "INSERT INTO Store_Kol (Art_ID, Sklad_ID, Kol) VALUES (10, 2, 3)");
    }
    void cleanup() {
        const int unexpected = msg_->unexpected;
        msg_.reset();
        fx_.reset();
        QCOMPARE(unexpected, 0);
    }

    void openedFromTheMenu() {
        test::MainWindow main(fx_->session());
        QVERIFY(main.start());
        test::ModalScript script;
        script.next<TForm_Dostavki>([](TForm_Dostavki* w) {
            QCOMPARE(w->windowTitle(), "ДОСТАВКИ");
            QVERIFY(w->isOpen());
            QCOMPARE(control<QPushButton>(*w, "Button_Nova_Dostavka")->text(), "Запис");
            QCOMPARE(control<QLabel>(*w, "Label_Dostavka_N")->text(), "Доставка N: 1");
            QCOMPARE(control<QLabel>(*w, "Label_Artikul")->text(), "0:Няма  избран артикул");
            QCOMPARE(control<QComboBox>(*w, "ComboBox_Valuta_D")->currentText(), "Лева");
            w->reject();
        });
        main.form.runCommand(Command::N_Dostavka);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        script.next<TForm_SprDostavka>([](TForm_SprDostavka* w) {
            QCOMPARE(w->windowTitle(), "СПРАВКА ДОСТАВКИ");
            w->reject();
        });
        main.form.runCommand(Command::N_SprDostavka);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
    }

    // A delivery entered, printed and saved, then found in the report.
    void deliveryEnteredAndSaved() {
        TForm_Dostavki w(test::context(fx_->session()));
        w.show();
        QVERIFY(w.isOpen());
        // By name: the list shows the match, Enter chooses it.
        QLineEdit* supplier = control(w, "Edit_Dostav4ik");
        supplier->setFocus();
        test::typeText(supplier, "мет");
        QListWidget* list = control<QListWidget>(w, "ListBox_Dostav4ik");
        QVERIFY(list->isVisible());
        QCOMPARE(list->count(), 1);
        QTest::keyClick(supplier, Qt::Key_Return);
        QCOMPARE(supplier->text(), "5:Метро ООД");
        QVERIFY(!list->isVisible());
        // By VAT number.
        typeAndEnter(w, "Edit_Dostav4ik", "+999000");
        QCOMPARE(supplier->text(), "6:Булмаг");
        typeAndEnter(w, "Edit_Dostav4ik", "+123456");
        QCOMPARE(supplier->text(), "5:Метро ООД");
        QCOMPARE(control<QLabel>(w, "Label_A_N")->text(), "н.");
        chooseItem(control<QComboBox>(w, "ComboBox_Vid_Dokument"), "1:Фактура");
        control(w, "Edit_Nomer_Dokument")->setText("F-100");

        // By the supplier's own number; markup from the selling price and back.
        typeAndEnter(w, "Edit_Art_ID", "MT-10");
        QCOMPARE(control<QLabel>(w, "Label_Artikul")->text(), "10:Чай");
        QCOMPARE(control<QLabel>(w, "Label_Nali4no_Kol")->text(), "3.00");
        typeAndEnter(w, "Edit_Dostavna_Cena", "1.5");
        typeAndEnter(w, "Edit_Prodajna_Cena", "3");
        QCOMPARE(control(w, "Edit_Nadcenka")->text(), "100.0000");
        typeAndEnter(w, "Edit_Nadcenka", "20");
        QCOMPARE(control(w, "Edit_Prodajna_Cena")->text(), "1.8000");
        typeAndEnter(w, "Edit_Kol", "1,255");
        // By our number, the VAT mark adding 20 % to the delivery price.
        QTest::mouseClick(control<QLabel>(w, "Label_A_N"), Qt::LeftButton);
        QCOMPARE(control<QLabel>(w, "Label_A_N")->text(), "а.");
        typeAndEnter(w, "Edit_Art_ID", "12");
        QCOMPARE(control(w, "Edit_Dostavna_Cena")->text(), "100.0000");
        toggle(w, "CheckBox_DDS");
        QCOMPARE(control(w, "Edit_Dostavna_Cena")->text(), "120.0000");
        typeAndEnter(w, "Edit_Kol", "2");
        QCOMPARE(shownRows(w.model()),
                 (QStringList{"10|Чай|1.50|Лева|1.255|бр.|1.88|1.80|Лева|False",
                              "12|Телефон|120.00|Лева|2.000|бр.|240.00|150.00|Лева|True"}));
        // The unmarked line gets its VAT added, the marked one holds it.
        QCOMPARE(control<QLabel>(w, "Label_Dan_Osnova_Value")->text(), "201.88");
        QCOMPARE(control<QLabel>(w, "Label_DDS_Value")->text(), "40.38");
        QCOMPARE(control(w, "Edit_Plateno_Broj")->text(), "242.26");

        // Two serial numbers of the phone, its quantity.
        test::ModalScript script;
        typeSerial(script, "SN-1");
        typeSerial(script, "SN-2");
        click(w, "Button_Serijni");
        QVERIFY2(script.finished(), qPrintable(script.failure()));

        // Edited and accepted unchanged: the prices stay.
        QTableView* grid = w.grid();
        clickRow(grid, 1);
        QTest::keyClick(grid, Qt::Key_Return);
        QCOMPARE(control<QPushButton>(w, "Button_Dobavi")->text(), "Приеми");
        QVERIFY(control<QCheckBox>(w, "CheckBox_DDS")->isChecked());
        click(w, "Button_Dobavi");
        QCOMPARE(control<QPushButton>(w, "Button_Dobavi")->text(), "Добави");
        QCOMPARE(shownRows(w.model()).at(1), "12|Телефон|120.00|Лева|2.000|бр.|240.00|150.00|Лева|True");
        // Deleting is asked first.
        clickRow(grid, 0);
        msg_->answerNo();
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(msg_->questions, QStringList{"Наистина ли желаете да изтриете избраните артикули"});
        QCOMPARE(w.model()->rowCount(), 2);

        // The print.
        QStringList opened;
        const FileOpener previous = setFileOpener([&opened](const QString& f) {
            opened << f;
            return true;
        });
        script.next<TForm_Print_Vid_Fail>([](TForm_Print_Vid_Fail* chooser) {
            test::control<QPushButton>(*chooser, "BitBtn_Priemi")->click();
        });
        click(w, "Button_Pe4at");
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        setFileOpener(previous);
        QCOMPARE(opened, QStringList{fx_->root() + "TEMP/Доставка.txt"});
        const QString printed = QString::fromUtf8(test::Fixture::readFile(opened.at(0)));
        QVERIFY2(printed.startsWith("\r\n\tДОСТАВКА АРТИКУЛИ\r\n\t06.05.2024 10:20:30\r\n\r\n"
                                    "\tДата на доставка :06.05.2024, 10:20:30\r\n\tДОСТАВЧИК: 5:Метро ООД\r\n"
                                    "\tДокумент: 1:Фактура\r\n\tДокумент N: F-100\tОт дата: 06.05.2024\r\n"
                                    "\tСклад: \r\n\tЗабележка: \r\n"),
                 qPrintable(printed));
        QVERIFY2(printed.contains("\r\n\r\n\r\n\tДължима сума: 242.26\r\n\tПлатено в брой: 242.26\r\n"
                                  "\tПлатено по банка: 0.00\r\n\tНе платено: 0.00\r\n\r\n\t"),
                 qPrintable(printed));

        // Without a warehouse the delivery is refused, nothing written.
        msg_->clear();
        click(w, "Button_Nova_Dostavka");
        QCOMPARE(msg_->shown, QStringList{"Изберете склад, в който се получава доставката!"});
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Dostavki").toInt(), 0);
        chooseItem(control<QComboBox>(w, "ComboBox_Sklad"), "2:Склад 2");
        QCOMPARE(control<QLabel>(w, "Label_Nali4no")->text(), "Нал. кол в склад:2:Склад 2");
        msg_->clear();
        click(w, "Button_Nova_Dostavka");
        QCOMPARE(msg_->shown, QStringList{"Доставката е записана под номер 1."});
        QVERIFY(!w.isOpen());
        QCOMPARE(control<QPushButton>(w, "Button_Nova_Dostavka")->text(), "Нова доставка");
        QCOMPARE(stock(10, 2), "4.255");
        QCOMPARE(stock(12, 2), "2");
        QCOMPARE(stock(12, 1), "-");
        QCOMPARE(article(10), "1.8|Лева|1.5|Лева|5|False|бр.");
        QCOMPARE(article(12), "150|Лева|120|Лева|5|True|бр.");
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Serials WHERE ID = 12").toInt(), 2);
        QCOMPARE(w.model()->rowCount(), 0);

        // A new delivery abandoned: asked first.
        click(w, "Button_Nova_Dostavka");
        QVERIFY(w.isOpen());
        QCOMPARE(control<QLabel>(w, "Label_Dostavka_N")->text(), "Доставка N: 2");
        typeAndEnter(w, "Edit_Art_ID", "11");
        typeAndEnter(w, "Edit_Kol", "1");
        msg_->clear();
        msg_->answerYes();
        click(w, "Button_Otkaji");
        QCOMPARE(msg_->questions,
                 QStringList{"Имате неприключена доставка.\rЖелаете ли да излезете без запис"});
        QVERIFY(!w.isOpen());
        QCOMPARE(w.model()->rowCount(), 0);

        // The report: by supplier, the delivery's lines shown.
        TForm_SprDostavka r(test::context(fx_->session()));
        r.show();
        toggle(r, "CheckBox_Vid");
        chooseItem(control<QComboBox>(r, "ComboBox_Vid"), "1:Фактура");
        click(r, "Button_Tarsi");
        QCOMPARE(r.model()->rowCount(), 1);
        QCOMPARE(shownRows(r.model()).at(0), "1|Метро ООД|F-100|Фактура|06.05.2024|06.05.2024|Склад 2");
        QCOMPARE(shownRows(r.linesModel()),
                 (QStringList{"10|Чай|1.255|бр.|1.50|Лева|1.88|1.80|Лева|2.26",
                              "12|Телефон|2.000|бр.|120.00|Лева|240.00|150.00|Лева|300.00"}));
        QCOMPARE(control<QLabel>(r, "Label_Broj")->text(), "Общо сума платено в брой: 242.26");
        // The article filter without a marked article takes its label's.
        toggle(r, "CheckBox_Artikul");
        control<QLabel>(r, "Label_Artikul")->setText("11:Кафе");
        click(r, "Button_Tarsi");
        QCOMPARE(r.model()->rowCount(), 0);
        control<QLabel>(r, "Label_Artikul")->setText("12:Телефон");
        click(r, "Button_Tarsi");
        QCOMPARE(r.model()->rowCount(), 1);
    }

    // Three articles picked with 2, 5 and 0.5 give three lines.
    void pickedWithTheirQuantities() {
        TForm_Dostavki w(test::context(fx_->session()));
        w.show();
        test::ModalScript script;
        script.next<TForm_Artikuli>([&script](TForm_Artikuli* catalogue) {
            QCOMPARE(catalogue->mode(), int(kSelectDeliveryArticles));
            QItemSelectionModel* selection = catalogue->grid()->selectionModel();
            selection->clearSelection();
            for (qint64 id : {10, 11, 12}) {
                const int row = catalogue->model()->findRow(QStringLiteral("ID"), id);
                QVERIFY(row >= 0);
                selection->select(catalogue->model()->index(row, 0),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
            }
            QCOMPARE(catalogue->markedIds(), (QList<qint64>{10, 11, 12}));
            typeQuantity(script, "2");
            typeQuantity(script, "5");
            typeQuantity(script, "0.5");
            test::control<QPushButton>(*catalogue, "BitBtn_Izberi")->click();
        });
        click(w, "Button_Izberi");
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(shownRows(w.model()),
                 (QStringList{"10|Чай|1.10|Лева|2.000|бр.|2.20|2.40|Лева|False",
                              "11|Кафе|4.00|Лева|5.000|кг.|20.00|6.00|Лева|False",
                              "12|Телефон|100.00|Лева|0.500|бр.|50.00|150.00|Лева|False"}));
        // Closing with lines asks first.
        msg_->answerYes();
        w.reject();
    }
};

QTEST_MAIN(DeliveryWindowTest)
#include "test_delivery_window.moc"
