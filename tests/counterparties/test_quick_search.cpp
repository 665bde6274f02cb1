// The quick counterparty search of the shop and service pages, driven
// offscreen: every first-character rule, the shop page's letter
// replacement, the keys, the no-match question, and choosing the sale
// counterparty of the operator by the quick search and by the list (mode 0).

#include "common/sql.h"
#include "counterparties/ui/counterparty_picker.h"
#include "counterparties/ui/form_kontrakents.h"
#include "counterparties/ui/quick_search.h"
#include "support/fixture.h"
#include "support/scripted_messages.h"
#include "window_helpers.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <memory>

using namespace torvika;

namespace {

const QString kDiscountQuestion =
    QStringLiteral("Желаете ли да бъдат въведени отстъпките за посоченият контрагент");
const QString kNoMatchQuestion =
    QStringLiteral("Няма намерени данни, отговарящи на критерия.\rЖелаете ли да въведете нов контрагент");

// A page with the quick search, a button under it and the debts button.
struct Page {
    QWidget window;
    CounterpartyQuickSearch* search;
    QToolButton* debts;
    QPushButton* other;
    Page(Session& session, QuickSearchPage page) {
        auto* layout = new QVBoxLayout(&window);
        search = new CounterpartyQuickSearch(session, page, &window);
        layout->addWidget(search);
        other = new QPushButton("друго", &window);
        layout->addWidget(other);
        layout->addStretch(1);
        debts = new QToolButton(&window);
        debts->setObjectName("SpdBtn_Zadaljeniq");
        layout->addWidget(debts);
        window.resize(400, 300);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }
    QLineEdit* field() const { return search->field(); }
    QListWidget* list() const { return search->list(); }
    QStringList items() const {
        QStringList out;
        for (int i = 0; i < list()->count(); ++i)
            out << list()->item(i)->text();
        return out;
    }
    void type(const QString& text) {
        field()->setFocus();
        field()->clear();
        test::typeText(field(), text);
    }
};

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

class QuickSearchTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    std::unique_ptr<test::ScriptedMessages> msg_;
    QSqlDatabase db() { return fx_->db(); }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        msg_ = std::make_unique<test::ScriptedMessages>();
        fx_->session().operatorName = "Иван";
        execSql(db(),
                "INSERT INTO Firmi (ID, Ime_Firma, EIK, Dan_N, T_O, ID_Mol, Nomer_Grupa) VALUES "
                "(3, 'Чип ООД', '0', 'BG123', 7, 3, 0), (15, 'Бип ЕТ', '123456786', 'BG999', 4, 15, 0), "
                "(16, 'Жар 50%', '0', '0', 0, 16, 0)");
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
        execSql(db(),
                "INSERT INTO Konsignation (ID, ID_Kontrag, Payed) VALUES (1, 15, 'False'), (2, 3, 'True')");
    }
    void cleanup() {
        QCOMPARE(msg_->unexpected, 0);
        msg_.reset();
        fx_.reset();
    }

    void rules_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("items");
        const int shop = int(QuickSearchPage::Shop), service = int(QuickSearchPage::Service);
        const QStringList all{"15:Бип ЕТ", "16:Жар 50%", "0:Няма избран контрагент", "3:Чип ООД"};
        QTest::newRow("!15") << shop << "!15" << QStringList{"15:Бип ЕТ"};
        QTest::newRow("+ VAT number") << shop << "+BG123" << QStringList{"3:Чип ООД"};
        QTest::newRow("- company number") << service << "-123456786" << QStringList{"15:Бип ЕТ"};
        QTest::newRow("a space") << shop << " " << all;
        QTest::newRow("a Latin letter") << service << "x" << all;
        QTest::newRow("starts with 0") << shop << "0: Няма избран потребител" << QStringList{};
        QTest::newRow("shop: Ч for any letter") << shop << "Чип" << QStringList{"15:Бип ЕТ", "3:Чип ООД"};
        QTest::newRow("service: Ч as typed") << service << "Чип" << QStringList{"3:Чип ООД"};
        QTest::newRow("percent as typed") << shop << "Жар 5" << QStringList{"16:Жар 50%"};
        QTest::newRow("nothing found") << service << "Щит" << QStringList{};
    }
    void rules() {
        QFETCH(int, page);
        QFETCH(QString, text);
        QFETCH(QStringList, items);
        Page p(fx_->session(), QuickSearchPage(page));
        QCOMPARE(p.field()->objectName(), page == int(QuickSearchPage::Shop)
                                              ? "Label_Selected_Kontragent"
                                              : "Label_Selected_Kontragent_Ser");
        p.type(text);
        QCOMPARE(p.list()->isVisible(), !items.isEmpty());
        if (items.isEmpty())
            return;
        QCOMPARE(p.items(), items);
        QCOMPARE(p.list()->currentRow(), 0);
        QCOMPARE(p.list()->geometry(), QRect(p.field()->mapTo(&p.window, QPoint(0, p.field()->height())),
                                             QSize(p.field()->width(), 80)));
        QCOMPARE(msg_->shown, QStringList{});
    }

    void quickSearchChoosesTheSaleCounterparty() {
        Page p(fx_->session(), QuickSearchPage::Shop);
        QCOMPARE(p.field()->toolTip(), "Въведете име на контрагент");
        int recalculated = 0, selected = 0;
        p.search->setSaleHooks({[&selected] {
                                    ++selected;
                                    return QList<qint64>{10, 11};
                                },
                                [&recalculated] { ++recalculated; }});
        p.debts->hide();
        p.type("бип");
        msg_->answerYes();
        QTest::keyClick(p.field(), Qt::Key_Return);
        QCOMPARE(msg_->shown, QStringList{kDiscountQuestion});
        QCOMPARE(p.field()->text(), "15:Бип ЕТ");
        QCOMPARE(p.field()->palette().color(QPalette::Text), QColor(Qt::blue));
        QVERIFY(!p.list()->isVisible());
        QCOMPARE(fx_->session().selectedCounterparty.value("Иван"), "15:Бип ЕТ");
        QCOMPARE(lineDiscount(db(), 10), 12.5); // the article's special discount
        QCOMPARE(lineDiscount(db(), 11), 4.0);  // the standing one
        QCOMPARE(lineNumber(db(), 10), "B-10");
        QCOMPARE(lineNumber(db(), 11), "");
        QCOMPARE(scalarSql(db(), "SELECT T_O FROM Prodajbi_Vremenni WHERE Operator = 'Мария'").toDouble(),
                 0.0);
        QCOMPARE(recalculated, 1);
        QCOMPARE(selected, 2);
        QVERIFY(p.debts->isVisible());
        QCOMPARE(p.debts->toolTip(), "Списък задължения");

        // Without the discounts; the article numbers follow the counterparty, the debts button hides.
        p.type("чип");
        QCOMPARE(p.items(), (QStringList{"15:Бип ЕТ", "3:Чип ООД"}));
        p.list()->setCurrentRow(1);
        msg_->answerNo();
        QTest::keyClick(p.field(), Qt::Key_Return);
        QCOMPARE(p.field()->text(), "3:Чип ООД");
        QCOMPARE(lineDiscount(db(), 10), 12.5);
        QCOMPARE(lineNumber(db(), 10), "C-10");
        QVERIFY(!p.debts->isVisible());
    }

    void listChoosesTheSaleCounterparty() {
        Page p(fx_->session(), QuickSearchPage::Shop);
        QTimer::singleShot(0, [] {
            auto* list = qobject_cast<TForm_Kontrakents*>(QApplication::activeModalWidget());
            QVERIFY(list);
            QCOMPARE(list->mode(), 0);
            list->positionOn(15);
            test::control<QPushButton>(*list, "BitBtn_Izberi")->click();
        });
        msg_->answerYes();
        QCOMPARE(N_Select_KontragClick(fx_->session(), &p.window), std::optional<QString>("15:Бип ЕТ"));
        QCOMPARE(msg_->shown, QStringList{kDiscountQuestion});
        QCOMPARE(p.field()->text(), "15:Бип ЕТ");
        QCOMPARE(fx_->session().selectedCounterparty.value("Иван"), "15:Бип ЕТ");
        QCOMPARE(lineDiscount(db(), 10), 12.5);
        QCOMPARE(lineNumber(db(), 10), "0"); // the list does not set the article numbers
        QVERIFY(p.debts->isEnabled());
        QVERIFY(p.debts->isVisible());
    }

    void keys() {
        Page p(fx_->session(), QuickSearchPage::Service);
        p.type("п");
        QVERIFY(p.list()->isVisible());
        QTest::keyClick(p.field(), Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), p.list());
        QCOMPARE(p.list()->currentRow(), 0);
        QCOMPARE(p.field()->text(), "п"); // moving into the list does not reset the field
        QTest::keyClick(p.list(), Qt::Key_Escape);
        QVERIFY(!p.list()->isVisible());
        QCOMPARE(QApplication::focusWidget(), p.field());

        p.type("п");
        QTest::keyClick(p.field(), Qt::Key_Down);
        QTest::keyClick(p.list(), Qt::Key_Down);
        QTest::keyClick(p.list(), Qt::Key_Return);
        QCOMPARE(p.field()->text(), "3:Чип ООД");
        QVERIFY(!p.list()->isVisible());

        p.type("п");
        QTest::keyClick(p.field(), Qt::Key_Down);
        p.other->setFocus(Qt::MouseFocusReason); // the list hides when it loses the focus
        QVERIFY(!p.list()->isVisible());

        p.type("ж");
        emit p.list()->itemDoubleClicked(p.list()->item(0));
        QCOMPARE(p.field()->text(), "16:Жар 50%");

        QTest::mouseClick(p.field(), Qt::LeftButton);
        QCOMPARE(p.field()->selectedText(), "16:Жар 50%");
        QCOMPARE(msg_->shown, QStringList{});
    }

    // Only a reference text with its number before a colon stays when the
    // field is left; anything else becomes "none".
    void leavingWithoutANumberResets_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("left"); // the field's text once left
        const QString none = QStringLiteral("0: Няма избран Контрагент");
        QTest::newRow("a typed name") << "Пет" << none;
        QTest::newRow("a bare number") << "15" << none;
        QTest::newRow("a number and a blank") << "15 " << none;
        QTest::newRow("a reference text") << "15:Бип"
                                          << "15:Бип";
        QTest::newRow("the none text") << "0: Няма избран потребител"
                                       << "0: Няма избран потребител";
    }
    void leavingWithoutANumberResets() {
        QFETCH(QString, text);
        QFETCH(QString, left);
        Page p(fx_->session(), QuickSearchPage::Shop);
        p.field()->setFocus();
        p.field()->setText(text);
        p.other->setFocus(Qt::TabFocusReason);
        QCOMPARE(p.field()->text(), left);
    }

    void noMatch() {
        Page p(fx_->session(), QuickSearchPage::Shop);
        p.type("Щит");
        QVERIFY(!p.list()->isVisible());
        msg_->answerNo();
        QTest::keyClick(p.field(), Qt::Key_Return);
        QCOMPARE(msg_->shown, QStringList{kNoMatchQuestion});
        QCOMPARE(p.field()->text(), "0: Няма избран потребител");
        QTest::keyClick(p.field(), Qt::Key_Return); // nothing searched since: nothing asked
        QCOMPARE(msg_->shown.size(), 1);

        p.type("Щит");
        msg_->answerYes();
        int mode = -2;
        QTimer::singleShot(0, [&mode] {
            auto* list = qobject_cast<TForm_Kontrakents*>(QApplication::activeModalWidget());
            QVERIFY(list);
            mode = list->mode();
            list->reject();
        });
        QTest::keyClick(p.field(), Qt::Key_Return);
        QCOMPARE(mode, 0);
        QCOMPARE(p.field()->text(), "Щит");
    }

    void serviceFollowUp() {
        Page p(fx_->session(), QuickSearchPage::Service);
        p.type("ж");
        QTimer::singleShot(0, [] {
            auto* list = qobject_cast<TForm_Kontrakents*>(QApplication::activeModalWidget());
            QVERIFY(list);
            list->positionOn(3);
            test::control<QPushButton>(*list, "BitBtn_Izberi")->click();
        });
        pickCounterparty(fx_->session(), kSelectServiceClient, &p.window);
        QCOMPARE(p.field()->text(), "3:Чип ООД");
        QVERIFY(!p.list()->isVisible());
        QCOMPARE(msg_->shown, QStringList{});
        QCOMPARE(fx_->session().selectedCounterparty.value("Иван"), QString());
    }

    void followUpEndsWithItsPage() {
        {
            Page p(fx_->session(), QuickSearchPage::Shop);
            QVERIFY(hasSelectionFollowUp(kSelectSaleCounterparty));
        }
        QVERIFY(!hasSelectionFollowUp(kSelectSaleCounterparty));
    }

    void failingSearch() {
        Page p(fx_->session(), QuickSearchPage::Shop);
        execSql(db(), "DROP TABLE Firmi");
        p.type("а");
        QCOMPARE(msg_->shown, QStringList{"Невалидни данни"});
    }
};

QTEST_MAIN(QuickSearchTest)
#include "test_quick_search.moc"
