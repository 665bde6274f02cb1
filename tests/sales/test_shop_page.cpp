// The shop page in the main window: the sale counterparty chosen by the
// quick search and by the list, restored at each login, and the buttons
// that follow their commands.

#include "common/cp1251.h"
#include "common/sql.h"
#include "common/ui/form_get_kol.h"
#include "counterparties/ui/form_kontrakents.h"
#include "counterparties/ui/quick_search.h"
#include "sales/ui/sale_lines_model.h"
#include "sales/ui/shop_page.h"
#include "shell/menu_tree.h"
#include "shell/operators.h"
#include "shell/rights.h"
#include "support/fixture.h"
#include "support/main_window.h"
#include "support/modal_script.h"
#include "support/scripted_messages.h"
#include "support/window_helpers.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace torvika;

namespace {

const QString kDiscountQuestion =
    QStringLiteral("Желаете ли да бъдат въведени отстъпките за посоченият контрагент");

QString rightsDenying(const QList<int>& nodes) {
    QList<bool> denied(menuTreeNodeCount(), false);
    for (int n : nodes)
        denied[n] = true;
    return buildRightsString(denied);
}

double lineDiscount(const QSqlDatabase& db, int article) {
    return scalarSql(db, "SELECT T_O FROM Prodajbi_Vremenni WHERE Operator = 'Иван' AND Barkod = ?",
                     {article})
        .toDouble();
}

QString lineNumber(const QSqlDatabase& db, int article) {
    return scalarSql(db, "SELECT Nomenkl_N FROM Prodajbi_Vremenni WHERE Operator = 'Иван' AND Barkod = ?",
                     {article})
        .toString();
}

} // namespace

class ShopPageTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    std::unique_ptr<test::ScriptedMessages> msg_;
    std::unique_ptr<test::MainWindow> main_;
    QSqlDatabase db() { return fx_->db(); }
    QLineEdit* field() { return test::control<QLineEdit>(main_->form, "Label_Selected_Kontragent"); }
    QListWidget* list() { return test::control<QListWidget>(main_->form, "ListBox_Selected_Kontrag"); }
    ShopPage* page() { return main_->form.findChild<ShopPage*>(); }
    QLineEdit* edit(const char* name) { return test::control<QLineEdit>(main_->form, name); }
    QString label(const char* name) { return test::control<QLabel>(main_->form, name)->text(); }
    void setUpTill() {
        execSql(db(), "DELETE FROM Prodajbi_Vremenni");
        execSql(
            db(),
            "UPDATE Produkti SET Ed_Cena = 2.5, Valuta_P = 'Лева', Mqrka = 'бр.', Max_TO = 0, Dan_Grup = 1 "
            "WHERE ID = 10");
        execSql(
            db(),
            "UPDATE Produkti SET Ed_Cena = 4, Valuta_P = 'Лева', Mqrka = 'кг', Dan_Grup = 1 WHERE ID = 11");
        execSql(db(), "INSERT INTO Barkodes (ID, Barkode) VALUES (11, '3800000000011')");
        fx_->firmData().writeString("Firm_Data", "DDS", "20");
        page()->Calculate_SUM();
    }
    // "Отвори сметка" with the number typed.
    void openBill(const QString& number) {
        test::ModalScript script;
        script.next<TForm_Get_Kol>([number](TForm_Get_Kol* d) {
            auto* field = d->findChild<QLineEdit*>("Edit_Kol");
            field->selectAll();
            test::typeText(field, number);
            d->findChild<QPushButton*>("Button_Priemi")->click();
        });
        main_->form.runCommand(Command::N39);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
    }
    // Types into the field as the operator does and presses Enter.
    void typeAndEnter(const char* field, const QString& text) {
        QLineEdit* e = edit(field);
        e->setFocus();
        e->selectAll();
        test::typeText(e, text);
        QTest::keyClick(e, Qt::Key_Return);
    }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        msg_ = std::make_unique<test::ScriptedMessages>();
        insertOperator(db(), "Иван", "1", allAllowedRights(menuTreeNodeCount()));
        insertOperator(db(), "Мария", "2", rightsDenying({2, 4})); // Enter1, N_Prodajba
        execSql(db(),
                "INSERT INTO Firmi (ID, Ime_Firma, EIK, Dan_N, T_O, ID_Mol, Nomer_Grupa) VALUES "
                "(3, 'Чип ООД', '0', 'BG123', 7, 3, 0), (15, 'Бип ЕТ', '123456786', 'BG999', 4, 15, 0)");
        execSql(db(),
                "INSERT INTO Produkti (ID, Opisanie, Nomer_Grupa) VALUES (10, 'Чай', 1), (11, 'Кафе', 2)");
        execSql(
            db(),
            "INSERT INTO Sp_Otstapka (ID_Klient, Otnasq_se_za, ID_Art_Gr, T_O) VALUES (15, 'A', 10, 12.5)");
        execSql(
            db(),
            "INSERT INTO Nomenklatures (ID, Nomenkl_N, ID_Kontrag) VALUES (10, 'B-10', 15), (10, 'C-10', 3)");
        execSql(
            db(),
            "INSERT INTO Prodajbi_Vremenni (Barkod, Operator, T_O, Nomenkl_N, Kol, Ed_Cena, Valuta, Sm_N) "
            "VALUES (10, 'Иван', 0, '0', 1, 1, 'Лева', 0), (11, 'Иван', 0, '0', 1, 1, 'Лева', 0), "
            "(10, 'Мария', 0, '0', 1, 1, 'Лева', 0)");
        main_ = std::make_unique<test::MainWindow>(fx_->session());
        QVERIFY(main_->start("Иван", "1"));
        main_->form.resize(1024, 700);
        main_->form.show();
        main_->form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main_->form));
    }
    void cleanup() {
        QCOMPARE(msg_->unexpected, 0);
        main_.reset();
        msg_.reset();
        fx_.reset();
    }

    void quickSearchChoosesTheSaleCounterparty() {
        QCOMPARE(field()->text(), "0: Няма избран контрагент");
        QCOMPARE(field()->toolTip(), "Въведете име на контрагент");
        field()->setFocus();
        field()->clear();
        test::typeText(field(), "бип");
        QVERIFY(list()->isVisible());
        msg_->answerYes();
        QTest::keyClick(field(), Qt::Key_Return);
        QCOMPARE(msg_->shown, QStringList{kDiscountQuestion});
        QCOMPARE(field()->text(), "15:Бип ЕТ");
        QCOMPARE(field()->palette().color(QPalette::Text), QColor(Qt::blue));
        QVERIFY(!list()->isVisible());
        QCOMPARE(fx_->session().saleCounterparty("Иван"), "15:Бип ЕТ");
        QCOMPARE(lineDiscount(db(), 10), 12.5); // the article's special discount
        QCOMPARE(lineDiscount(db(), 11), 4.0);  // the standing one
        QCOMPARE(lineNumber(db(), 10), "B-10");
        QCOMPARE(lineNumber(db(), 11), "");
        QCOMPARE(scalarSql(db(), "SELECT T_O FROM Prodajbi_Vremenni WHERE Operator = 'Мария'").toDouble(),
                 0.0);

        // Without the discounts; the article numbers follow the counterparty.
        field()->clear();
        test::typeText(field(), "чип");
        list()->setCurrentRow(1);
        msg_->answerNo();
        QTest::keyClick(field(), Qt::Key_Return);
        QCOMPARE(field()->text(), "3:Чип ООД");
        QCOMPARE(lineDiscount(db(), 10), 12.5);
        QCOMPARE(lineNumber(db(), 10), "C-10");
    }

    void listChoosesTheSaleCounterparty() {
        test::ModalScript script;
        script.next<TForm_Kontrakents>([](TForm_Kontrakents* list) {
            QCOMPARE(list->mode(), 0);
            QVERIFY(list->positionOn(15));
            test::control<QPushButton>(*list, "BitBtn_Izberi")->click();
        });
        msg_->answerYes();
        main_->form.runCommand(Command::N_Select_Kontrag);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(msg_->shown, QStringList{kDiscountQuestion});
        QCOMPARE(field()->text(), "15:Бип ЕТ");
        QCOMPARE(fx_->session().saleCounterparty("Иван"), "15:Бип ЕТ");
        QCOMPARE(lineDiscount(db(), 10), 12.5);
        QCOMPARE(lineNumber(db(), 10), "0"); // the list does not set the article numbers
    }

    // Each operator finds his own counterparty at the login, "none" until he chooses one.
    void loginRestoresTheOperatorsCounterparty() {
        fx_->session().setSaleCounterparty("15:Бип ЕТ");
        test::answerNextLogin(main_->form.login(), "Мария", "2");
        main_->form.runCommand(Command::N_dostap);
        QCOMPARE(field()->text(), "0: Няма избран контрагент");
        QCOMPARE(field()->palette().color(QPalette::Text), QColor(Qt::red));
        test::answerNextLogin(main_->form.login(), "Иван", "1");
        main_->form.runCommand(Command::N_dostap);
        QCOMPARE(field()->text(), "15:Бип ЕТ");
    }

    // Reference, Enter, quantity, Enter, price, Enter: the line is there and
    // the totals under the grid show it with its VAT.
    void typingALine() {
        setUpTill();
        typeAndEnter("Edit_Barkod", "10");
        QCOMPARE(edit("Edit_Cena_Nula")->text(), "2.50");
        QCOMPARE(label("Ime_na_produkt"), "[] 10:Чай");
        typeAndEnter("Edit_Broj", "3");
        typeAndEnter("Edit_Cena_Nula", "2,50");
        const SaleLinesModel* m = page()->model();
        QCOMPARE(m->rowCount(), 1);
        QCOMPARE(m->data(m->index(0, SaleLinesModel::Description), Qt::DisplayRole).toString(), "Чай");
        QCOMPARE(m->data(m->index(0, SaleLinesModel::Quantity), Qt::DisplayRole).toString(), "3");
        QCOMPARE(m->data(m->index(0, SaleLinesModel::Amount), Qt::DisplayRole).toString(), "7.50");
        QCOMPARE(label("Label_Leva"), "7.50");
        QCOMPARE(label("Label_SUMA_BezDDS"), "6.25");
        QCOMPARE(label("Label_DDS"), "1.25");
        QCOMPARE(label("Label68"), "ДДС 20.00% :");
        QCOMPARE(label("Label_Words"), "седем лева и 50 стотинки ");
        QCOMPARE(edit("Edit_Barkod")->text(), "");
        QCOMPARE(edit("Edit_Broj")->text(), "1");
        QCOMPARE(main_->form.focusWidget(), edit("Edit_Barkod"));
        QVERIFY(field()->isEnabled());

        // A price typed below the catalogue's becomes the line's discount.
        typeAndEnter("Edit_Barkod", "10");
        typeAndEnter("Edit_Broj", "1");
        typeAndEnter("Edit_Cena_Nula", "2");
        QCOMPARE(scalarSql(db(), "SELECT T_O FROM Prodajbi_Vremenni ORDER BY N_Prodajba DESC").toDouble(),
                 20.0);
        QCOMPARE(label("Label_Leva"), "9.50");
    }

    // A company in euro while both currencies are shown: the total's
    // caption, its lev equivalent beside it and its words in euro; from
    // 2027 the euro alone.
    void dualTotalsInEuro() {
        setUpTill();
        execSql(db(), "UPDATE Produkti SET Valuta_P = 'EUR' WHERE ID = 10");
        execSql(db(), "UPDATE Valuti SET Osn = 'False'");
        execSql(db(), "UPDATE Valuti SET Osn = 'True', Kurs = 1 WHERE Opisanie = 'EUR'");
        fx_->session().clock = [] { return QDateTime(QDate(2026, 6, 1), QTime(10, 0)); };
        typeAndEnter("Edit_Barkod", "10");
        typeAndEnter("Edit_Broj", "3");
        typeAndEnter("Edit_Cena_Nula", "2,50");
        QCOMPARE(label("Label_Leva"), "7.50");
        QCOMPARE(label("Label_Leva_Caption"), "Общо в евро с ДДС:");
        QCOMPARE(label("Label_Dvoina_Suma"), "7.50 EUR / 14.67 лв.");
        QVERIFY(page()->findChild<QLabel*>("Label_Dvoina_Suma")->isVisibleTo(page()));
        QCOMPARE(label("Label_Words"), "седем евро и 50 цента ");
        QCOMPARE(page()->findChild<QTableView*>("DBGrid1")->model()->headerData(7, Qt::Horizontal).toString(),
                 "Общо в евро");
        fx_->session().clock = [] { return QDateTime(QDate(2027, 1, 1), QTime(10, 0)); };
        page()->Calculate_SUM();
        QCOMPARE(label("Label_Dvoina_Suma"), "");
        QVERIFY(!page()->findChild<QLabel*>("Label_Dvoina_Suma")->isVisibleTo(page()));
    }

    // Bad references, quantities and prices: the message, nothing written.
    void refusedInput() {
        setUpTill();
        typeAndEnter("Edit_Barkod", "999");
        QCOMPARE(msg_->messages, QStringList{"Не са открити данни"});
        QCOMPARE(edit("Edit_Barkod")->text(), "");
        msg_->clear();
        typeAndEnter("Edit_Barkod", "10");
        typeAndEnter("Edit_Broj", "0");
        QCOMPARE(msg_->messages, QStringList{"Въведена е нулева стойност"});
        msg_->clear();
        typeAndEnter("Edit_Broj", "abc");
        QCOMPARE(msg_->messages, QStringList{"Грешно въведена (или нулева) стойност"});
        msg_->clear();
        edit("Edit_Broj")->setFocus();
        edit("Edit_Broj")->clear();
        test::typeText(edit("Edit_Broj"), "-");
        QCOMPARE(msg_->messages, QStringList{"Не се допускат отрицателни количества"});
        QCOMPARE(edit("Edit_Broj")->text(), "1");
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Prodajbi_Vremenni").toInt(), 0);
    }

    // "3*" on the keypad makes 3 the quantity; a code typed at scanner
    // speed is a barcode whatever the criterion.
    void quantityFirstAndScanner() {
        setUpTill();
        QLineEdit* code = edit("Edit_Barkod");
        code->setFocus();
        test::typeText(code, "3");
        QTest::keyClick(code, Qt::Key_Asterisk, Qt::KeypadModifier);
        QCOMPARE(edit("Edit_Broj")->text(), "3");
        QCOMPARE(code->text(), "");
        test::typeText(code, "3800000000011");
        QTest::keyClick(code, Qt::Key_Return);
        QCOMPARE(page()->currentArticle()->id, 11);
        QCOMPARE(edit("Edit_Broj")->text(), "1");
        typeAndEnter("Edit_Broj", "2");
        QTest::keyClick(edit("Edit_Cena_Nula"), Qt::Key_Return);
        QCOMPARE(label("Label_Leva"), "8.00");
        QCOMPARE(test::control<QLabel>(main_->form, "Label_Search_In")->text(), "a.");
    }

    // Two articles of one name: the pick list carries each one's number.
    void pickListSellsTheChosenArticle() {
        setUpTill();
        execSql(db(), "INSERT INTO Produkti (ID, Opisanie, Nomer_Grupa, Ed_Cena, Valuta_P) VALUES "
                      "(12, 'Хляб', 1, 1, 'Лева'), (13, 'Хляб', 1, 2, 'Лева')");
        QLineEdit* code = edit("Edit_Barkod");
        code->setFocus();
        QTest::keyClick(code, Qt::Key_Space);
        auto* criteria = test::control<QListWidget>(main_->form, "ListBox_Prefixes");
        QVERIFY(criteria->isVisible());
        criteria->setCurrentRow(2);
        QTest::keyClick(criteria, Qt::Key_Return);
        QCOMPARE(test::control<QLabel>(main_->form, "Label_Search_In")->text(), "i.");
        typeAndEnter("Edit_Barkod", "хля");
        auto* pick = test::control<QListWidget>(main_->form, "ListBox_Opisanie_Artikuli");
        QVERIFY(pick->isVisible());
        QCOMPARE(pick->count(), 2);
        QVERIFY(!test::control<QPushButton>(main_->form, "Button_Insert_in_List")->isEnabled());
        pick->setCurrentRow(1);
        QTest::keyClick(pick, Qt::Key_Return);
        QVERIFY(!pick->isVisible());
        QCOMPARE(page()->currentArticle()->id, 13);
        typeAndEnter("Edit_Broj", "1");
        QTest::keyClick(edit("Edit_Cena_Nula"), Qt::Key_Return);
        QCOMPARE(scalarSql(db(), "SELECT Barkod FROM Prodajbi_Vremenni").toInt(), 13);
    }

    // A line opened by a double click is rewritten, not added; cancelling
    // asks first and logs in again.
    void editAndCancel() {
        setUpTill();
        typeAndEnter("Edit_Barkod", "10");
        typeAndEnter("Edit_Broj", "2");
        QTest::keyClick(edit("Edit_Cena_Nula"), Qt::Key_Return);
        page()->openLineForEditing(0);
        QCOMPARE(edit("Edit_Barkod")->text(), "10");
        QCOMPARE(edit("Edit_Broj")->text(), "2.00");
        typeAndEnter("Edit_Barkod", "10");
        typeAndEnter("Edit_Broj", "5");
        QTest::keyClick(edit("Edit_Cena_Nula"), Qt::Key_Return);
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Prodajbi_Vremenni").toInt(), 1);
        QCOMPARE(scalarSql(db(), "SELECT Kol FROM Prodajbi_Vremenni").toDouble(), 5.0);
        QVERIFY(!page()->editingLine());

        page()->grid()->selectRow(0);
        msg_->answerYes();
        test::answerNextLogin(main_->form.login(), "Иван", "1");
        main_->form.runCommand(Command::N_Cancel_Prodajba);
        QCOMPARE(msg_->questions, QStringList{"Наистина ли желаете да откажете избраните артикули"});
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Prodajbi_Vremenni").toInt(), 0);
        QCOMPARE(field()->text(), "0:Няма избран контрагент");
        QVERIFY(!field()->isEnabled());
    }

    // Bills 2 and 10 list as "0", "10", "2"; each shows its own lines.
    void openBills() {
        setUpTill();
        for (const char* bill : {"10", "2"}) {
            test::ModalScript script;
            script.next<TForm_Get_Kol>([bill](TForm_Get_Kol* d) {
                QCOMPARE(d->mode(), TForm_Get_Kol::BillNumber);
                auto* field = d->findChild<QLineEdit*>("Edit_Kol");
                field->setText(QString::fromLatin1(bill));
                test::control<QAbstractButton>(*d, "Button_Priemi")->click();
            });
            main_->form.runCommand(Command::N39);
            QVERIFY2(script.finished(), qPrintable(script.failure()));
            typeAndEnter("Edit_Barkod", "10");
            typeAndEnter("Edit_Broj", "1");
            QTest::keyClick(edit("Edit_Cena_Nula"), Qt::Key_Return);
        }
        auto* bills = test::control<QComboBox>(main_->form, "ComboBox_Smetka");
        QStringList items;
        for (int i = 0; i < bills->count(); ++i)
            items << bills->itemText(i);
        QCOMPARE(items, (QStringList{"0", "10", "2"}));
        QCOMPARE(bills->currentText(), "2");
        QVERIFY(test::control<QWidget>(main_->form, "Panel_Smetki")->isVisible());
        QCOMPARE(page()->model()->rowCount(), 1);
        page()->showBill(0);
        QCOMPARE(page()->model()->rowCount(), 0);
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Prodajbi_Vremenni WHERE Sm_N = 10").toInt(), 1);
    }

    // A counterparty with an article, a group and a standing discount: each
    // line gets its own.
    void counterpartyDiscountsOnLines() {
        setUpTill();
        execSql(db(), "INSERT INTO Produkti (ID, Opisanie, Nomer_Grupa, Ed_Cena, Valuta_P) VALUES "
                      "(12, 'Мед', 2, 10, 'Лева'), (13, 'Сол', 3, 10, 'Лева')");
        execSql(db(),
                "INSERT INTO Sp_Otstapka (ID_Klient, Otnasq_se_za, ID_Art_Gr, T_O) VALUES (15, 'G', 2, 3)");
        fx_->session().setSaleCounterparty("15:Бип ЕТ");
        for (const char* article : {"10", "12", "13"}) {
            typeAndEnter("Edit_Barkod", article);
            typeAndEnter("Edit_Broj", "1");
            QTest::keyClick(edit("Edit_Cena_Nula"), Qt::Key_Return);
        }
        QCOMPARE(lineDiscount(db(), 10), 12.5); // the article's
        QCOMPARE(lineDiscount(db(), 12), 3.0);  // its group's
        QCOMPARE(lineDiscount(db(), 13), 4.0);  // the standing one
        QCOMPARE(field()->text(), "15:Бип ЕТ");
    }

    // Prices are above 0: a typed 0 sells nothing. A typed price gives that
    // price for the line's quantity.
    void typedPrices() {
        setUpTill();
        execSql(db(), "INSERT INTO Produkti (ID, Opisanie, Nomer_Grupa, Ed_Cena, Valuta_P, Max_TO) "
                      "VALUES (12, 'Вафла', 1, 7, 'Лева', 0)");
        for (const char* zero : {"0", "0,00"}) {
            typeAndEnter("Edit_Barkod", "10");
            typeAndEnter("Edit_Broj", "1");
            typeAndEnter("Edit_Cena_Nula", zero);
            QCOMPARE(msg_->messages, QStringList{"Не са въведени коректни данни"});
            QCOMPARE(
                scalarSql(db(), "SELECT COUNT(*) FROM Prodajbi_Vremenni WHERE Operator = 'Иван'").toInt(), 0);
            msg_->clear();
        }
        typeAndEnter("Edit_Barkod", "12");
        typeAndEnter("Edit_Broj", "100");
        typeAndEnter("Edit_Cena_Nula", "1.00");
        QCOMPARE(label("Label_Leva"), "100.00");
        QVERIFY(msg_->shown.isEmpty());
    }

    // Display decimals below 2: the price field shows the price as the line
    // keeps it, and taking it as shown is no discount.
    void fewDisplayDecimals() {
        setUpTill();
        fx_->firmData().writeString("Values", "9", "0");
        test::control<QPushButton>(main_->form, "Button_Refresh")->click();
        QCOMPARE(label("Label_Leva"), "   0");
        typeAndEnter("Edit_Barkod", "10");
        QCOMPARE(edit("Edit_Cena_Nula")->text(), "2.50");
        typeAndEnter("Edit_Broj", "2");
        QTest::keyClick(edit("Edit_Cena_Nula"), Qt::Key_Return);
        QCOMPARE(lineDiscount(db(), 10), 0.0);
        QCOMPARE(label("Label_Leva"), "   5");
    }

    // Opening or switching to a bill without lines keeps the sale
    // counterparty; choosing one re-prices the lines of the bill shown only.
    void billsAndTheSaleCounterparty() {
        setUpTill();
        typeAndEnter("Edit_Barkod", "11");
        typeAndEnter("Edit_Broj", "1");
        QTest::keyClick(edit("Edit_Cena_Nula"), Qt::Key_Return);
        fx_->session().setSaleCounterparty("3:Чип ООД");
        QCOMPARE(field()->text(), "3:Чип ООД");
        openBill("5");
        QCOMPARE(page()->currentBill(), 5);
        QCOMPARE(field()->text(), "3:Чип ООД");
        auto* bills = test::control<QComboBox>(main_->form, "ComboBox_Smetka");
        bills->setFocus();
        QTest::keyClick(bills, Qt::Key_Up); // to "0"; bill 5 had no lines
        QCOMPARE(page()->currentBill(), 0);
        QCOMPARE(field()->text(), "3:Чип ООД");

        openBill("5");
        typeAndEnter("Edit_Barkod", "10");
        typeAndEnter("Edit_Broj", "1");
        QTest::keyClick(edit("Edit_Cena_Nula"), Qt::Key_Return);
        field()->setFocus();
        field()->clear();
        test::typeText(field(), "бип");
        msg_->answerYes();
        QTest::keyClick(field(), Qt::Key_Return);
        QCOMPARE(field()->text(), "15:Бип ЕТ");
        QCOMPARE(scalarSql(db(), "SELECT T_O FROM Prodajbi_Vremenni WHERE Operator = 'Иван' AND Sm_N = 5")
                     .toDouble(),
                 12.5);
        QCOMPARE(scalarSql(db(), "SELECT T_O FROM Prodajbi_Vremenni WHERE Operator = 'Иван' AND Sm_N = 0")
                     .toDouble(),
                 0.0);
    }

    // After the start the bill box shows the bill whose lines the grid
    // shows, and the receipts name that bill.
    void billBoxAfterTheStart() {
        setUpTill();
        execSql(db(),
                "INSERT INTO Prodajbi_Vremenni (Barkod, Opisanie, Operator, T_O, Nomenkl_N, Kol, Ed_Cena, "
                "Valuta, Sm_N) VALUES (10, 'Чай', 'Иван', 0, '0', 1, 2.5, 'Лева', 0), "
                "(11, 'Кафе', 'Иван', 0, '0', 1, 4, 'Лева', 7)");
        fx_->firmData().writeString("Tuning", "24", "1: ЕЛТРЕЙД - Фискален принтер");
        main_.reset();
        main_ = std::make_unique<test::MainWindow>(fx_->session());
        QVERIFY(main_->start("Иван", "1"));
        main_->form.show();
        QCOMPARE(test::control<QComboBox>(main_->form, "ComboBox_Smetka")->currentText(),
                 QString::number(page()->currentBill()));
        QCOMPARE(page()->billText(), QString::number(page()->currentBill()));
        QCOMPARE(page()->model()->rowCount(), 1);
        page()->grid()->selectRow(0);
        const qint64 shown = page()->model()->line(0).number;
        QCOMPARE(scalarSql(db(), "SELECT Sm_N FROM Prodajbi_Vremenni WHERE N_Prodajba = ?", {shown}).toInt(),
                 page()->currentBill());
        main_->form.runCommand(Command::N70); // "Издай служебен бон"
        const QString receipt = fromCp1251(test::Fixture::readFile(fx_->root() + "Fiscal/BON1.bon"));
        QVERIFY2(receipt.contains(QStringLiteral(":ПОРЪЧКА: %1\r\n").arg(page()->currentBill())),
                 qPrintable(receipt));
    }

    // A bill number the conversion would drop is refused by the dialog with
    // its message; the operator types it again or gives up.
    void badBillNumbers_data() {
        QTest::addColumn<QString>("typed");
        for (const char* typed : {"+5", "5.0", "1e3", "-1", "5 5", "1234567890"})
            QTest::newRow(typed) << QString::fromLatin1(typed);
    }
    void badBillNumbers() {
        QFETCH(QString, typed);
        setUpTill();
        test::ModalScript script;
        script.next<TForm_Get_Kol>([typed, this](TForm_Get_Kol* d) {
            auto* number = d->findChild<QLineEdit*>("Edit_Kol");
            number->selectAll();
            test::typeText(number, typed);
            d->findChild<QPushButton*>("Button_Priemi")->click();
            QCOMPARE(msg_->messages,
                     QStringList{"Номерът на сметка трябва да е цяло число, не по-малко от 0!"});
            QVERIFY(d->isVisible());
            d->findChild<QPushButton*>("Button_Otkaji")->click();
        });
        main_->form.runCommand(Command::N39);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(page()->currentBill(), 0);
    }

    // Enter in the price field runs "Добави в списък" only for an operator
    // the right allows it.
    void enterChecksTheRight() {
        setUpTill();
        test::answerNextLogin(main_->form.login(), "Мария", "2");
        main_->form.runCommand(Command::N_dostap);
        typeAndEnter("Edit_Barkod", "10");
        typeAndEnter("Edit_Broj", "1");
        QTest::keyClick(edit("Edit_Cena_Nula"), Qt::Key_Return);
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Prodajbi_Vremenni WHERE Operator = 'Мария'").toInt(),
                 0);
    }

    // With the criterion "s." a scanned barcode finds its article, and the
    // serial number is one of the article's, not the barcode.
    void scannedBarcodeUnderTheSerialCriterion() {
        setUpTill();
        execSql(db(), "UPDATE Produkti SET Garancionen = 'True' WHERE ID = 11");
        execSql(db(), "INSERT INTO Serials (ID, Serial_ID, Data) VALUES (11, 'SN-77', '2027-01-31')");
        QLineEdit* code = edit("Edit_Barkod");
        code->setFocus();
        QTest::keyClick(code, Qt::Key_Space);
        auto* criteria = test::control<QListWidget>(main_->form, "ListBox_Prefixes");
        criteria->setCurrentRow(5);
        QTest::keyClick(criteria, Qt::Key_Return);
        QCOMPARE(test::control<QLabel>(main_->form, "Label_Search_In")->text(), "s.");
        test::typeText(code, "3800000000011");
        QTest::keyClick(code, Qt::Key_Return);
        QCOMPARE(page()->currentArticle()->id, 11);
        QCOMPARE(edit("Edit_Serien_Nomer")->text(), "SN-77");
    }

    // A reference that finds nothing, also a barcode whose article is gone:
    // the message, and the article found before is no longer the one the
    // next line is of.
    void nothingFound_data() {
        QTest::addColumn<QString>("reference");
        QTest::newRow("no such article") << "999";
        QTest::newRow("barcode of a deleted article") << "3800000000099";
    }
    void nothingFound() {
        QFETCH(QString, reference);
        setUpTill();
        execSql(db(), "INSERT INTO Barkodes (ID, Barkode) VALUES (99, '3800000000099')");
        typeAndEnter("Edit_Barkod", "10");
        QCOMPARE(page()->currentArticle()->id, 10);
        typeAndEnter("Edit_Barkod", reference);
        QCOMPARE(msg_->messages, QStringList{"Не са открити данни"});
        QVERIFY(!page()->currentArticle());
        msg_->clear();
        test::control<QPushButton>(main_->form, "Button_Insert_in_List")->click();
        QCOMPARE(msg_->messages, QStringList{"Не са въведени коректни данни"});
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Prodajbi_Vremenni WHERE Operator = 'Иван'").toInt(),
                 0);
    }

    // A line opened for editing and sold elsewhere: "Обнови" (F12) ends the
    // edit, and the next lookup shows the catalogue's price.
    void editedLineGoneAtRefresh() {
        setUpTill();
        typeAndEnter("Edit_Barkod", "10");
        typeAndEnter("Edit_Broj", "2");
        typeAndEnter("Edit_Cena_Nula", "2");
        QTableView* grid = page()->grid();
        const QRect cell = grid->visualRect(page()->model()->index(0, 1));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QVERIFY(page()->editingLine());
        {
            QSqlDatabase other = fx_->openWorkstation("other till");
            execSql(other, "DELETE FROM Prodajbi_Vremenni WHERE N_Prodajba = ?", {*page()->editingLine()});
        }
        QSqlDatabase::removeDatabase("other till");
        test::control<QPushButton>(main_->form, "Button_Refresh")->click(); // "Обнови" (F12)
        QVERIFY(!page()->editingLine());
        typeAndEnter("Edit_Barkod", "10");
        QCOMPARE(edit("Edit_Cena_Nula")->text(), "2.50");
    }

    // The buttons follow their commands' rights and carry their shortcut texts.
    void buttonsFollowTheirCommands() {
        auto* sale = test::control<QPushButton>(main_->form, "Button_Prodajba");
        QCOMPARE(sale->text(), "Продажба     Ins");
        QCOMPARE(test::control<QPushButton>(main_->form, "Button_Insert_in_List")->text(),
                 "Добави в списък        "); // Enter1 has no shortcut of its own
        QVERIFY(sale->isEnabled());
        QVERIFY(test::control<QPushButton>(main_->form, "Button_Otkaz")->isEnabled());
        // An operator without the right to sell sees the button disabled.
        test::answerNextLogin(main_->form.login(), "Мария", "2");
        main_->form.runCommand(Command::N_dostap);
        QVERIFY(!sale->isEnabled());
        QVERIFY(!main_->form.command(Command::N_Prodajba)->isEnabled());
        QVERIFY(!test::control<QPushButton>(main_->form, "Button_Insert_in_List")->isEnabled());
    }
};

QTEST_MAIN(ShopPageTest)
#include "test_shop_page.moc"
