// The shop page in the main window: the sale counterparty chosen by the
// quick search and by the list, restored at each login, and the buttons
// that follow their commands.

#include "common/sql.h"
#include "counterparties/ui/form_kontrakents.h"
#include "counterparties/ui/quick_search.h"
#include "sales/ui/shop_page.h"
#include "shell/menu_tree.h"
#include "shell/operators.h"
#include "shell/rights.h"
#include "support/fixture.h"
#include "support/main_window.h"
#include "support/modal_script.h"
#include "support/scripted_messages.h"
#include "support/window_helpers.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
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
        execSql(db(), "INSERT INTO Prodajbi_Vremenni (Barkod, Operator, T_O, Nomenkl_N) VALUES "
                      "(10, 'Иван', 0, '0'), (11, 'Иван', 0, '0'), (10, 'Мария', 0, '0')");
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
        QCOMPARE(field()->text(), kNoSaleCounterparty);
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
        main_->form.runCommand("N_Select_Kontrag");
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
        main_->form.N_dostapClick();
        QCOMPARE(field()->text(), kNoSaleCounterparty);
        QCOMPARE(field()->palette().color(QPalette::Text), QColor(Qt::red));
        test::answerNextLogin(main_->form.login(), "Иван", "1");
        main_->form.N_dostapClick();
        QCOMPARE(field()->text(), "15:Бип ЕТ");
    }

    // The buttons follow their commands' rights and carry their shortcut texts.
    void buttonsFollowTheirCommands() {
        auto* sale = test::control<QPushButton>(main_->form, "Button_Prodajba");
        QCOMPARE(sale->text(), "Продажба     Ins");
        QCOMPARE(test::control<QPushButton>(main_->form, "Button_Insert_in_List")->text(),
                 "Добави в списък        "); // Enter1 has no shortcut of its own
        // No operation attached yet: visibly disabled.
        QVERIFY(!sale->isEnabled());
        QVERIFY(!main_->form.command("N_Prodajba")->isEnabled());
    }
};

QTEST_MAIN(ShopPageTest)
#include "test_shop_page.moc"
