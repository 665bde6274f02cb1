// The quick counterparty search of the shop and service pages, driven
// offscreen: every first-character rule, the shop page's letter
// replacement, the keys, the no-match question, and the follow-ups of the
// list's selection modes.

#include "common/sql.h"
#include "counterparties/ui/counterparty_picker.h"
#include "counterparties/ui/form_kontrakents.h"
#include "counterparties/ui/quick_search.h"
#include "support/fixture.h"
#include "support/host_stand_in.h"
#include "support/modal_script.h"
#include "support/scripted_messages.h"
#include "support/window_helpers.h"

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

const QString kNoMatchQuestion =
    QStringLiteral("Няма намерени данни, отговарящи на критерия.\rЖелаете ли да въведете нов контрагент");

// A page with the quick search and a button under it.
struct Page {
    QWidget window;
    CounterpartyQuickSearch* search;
    QPushButton* other;
    Page(Session& session, QuickSearchPage page) {
        auto* layout = new QVBoxLayout(&window);
        search = new CounterpartyQuickSearch(test::context(session), page, &window);
        layout->addWidget(search);
        other = new QPushButton("друго", &window);
        layout->addWidget(other);
        layout->addStretch(1);
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
        test::ModalScript script;
        script.next<TForm_Kontrakents>([&mode](TForm_Kontrakents* list) {
            mode = list->mode();
            list->reject();
        });
        QTest::keyClick(p.field(), Qt::Key_Return);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(mode, 0);
        QCOMPARE(p.field()->text(), "Щит");
    }

    // The list in a page's mode hands its choice to the follow-up the
    // page's module registered.
    void followUpTakesTheChoice() {
        QString taken;
        test::host(fx_->session())
            .followUps()
            .of<CounterpartyPicker>()
            .add(kSelectServiceClient, [&](QWidget*, const QString& ref) { taken = ref; });
        test::ModalScript script;
        script.next<TForm_Kontrakents>([](TForm_Kontrakents* list) {
            QCOMPARE(list->mode(), int(kSelectServiceClient));
            QVERIFY(list->positionOn(3));
            test::control<QPushButton>(*list, "BitBtn_Izberi")->click();
        });
        QCOMPARE(pickCounterparty(test::context(fx_->session()), kSelectServiceClient, nullptr),
                 std::optional<QString>("3:Чип ООД"));
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(taken, "3:Чип ООД");
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
