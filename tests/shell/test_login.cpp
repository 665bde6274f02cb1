// The login dialog and the operators window, driven offscreen.

#include "common/sql.h"
#include "shell/menu_tree.h"
#include "shell/operators.h"
#include "shell/rights.h"
#include "shell/ui/login.h"
#include "shell/ui/main_menu.h"
#include "shell/ui/menu_rights.h"
#include "shell/ui/operators_form.h"
#include "support/fixture.h"
#include "support/host_stand_in.h"
#include "support/main_window.h"
#include "support/scripted_messages.h"
#include "support/window_helpers.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

using namespace torvika;

namespace {

const QDateTime kNow(QDate(2024, 3, 5), QTime(10, 11, 12));

QString rightsDenying(const QList<int>& nodes) {
    QList<bool> denied(menuTreeNodeCount(), false);
    for (int n : nodes)
        denied[n] = true;
    return buildRightsString(denied);
}

// Double-clicks the operators grid's current row (the first when none is).
void doubleClickOperator(TForm_Operatori& form) {
    auto* grid = form.findChild<QTableView*>("DBGrid1");
    const QModelIndex at = grid->currentIndex().isValid() ? grid->currentIndex() : grid->model()->index(0, 1);
    grid->scrollTo(at);
    // The first click makes the row current, the second opens it.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(at).center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(at).center());
}
// Clicks the rights tree's item of a menu node.
void clickMenuNode(TForm_Operatori& form, int node) {
    auto* tree = form.findChild<QTreeWidget*>("TreeView_Menues");
    QTreeWidgetItem* item = form.treeItem(node);
    for (QTreeWidgetItem* p = item->parent(); p; p = p->parent())
        p->setExpanded(true);
    tree->scrollToItem(item);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
}

// A menu alone, for the rights.
struct MenuWindow {
    QMainWindow window;
    MainMenu menu{window.menuBar()};
};

// The program directory with its company database, the main window and its login.
struct LoginFixture {
    test::Fixture fx;
    test::MainWindow main{fx.session()};
    Login& login = main.form.login();
    int quits = 0;

    LoginFixture() {
        fx.session().clock = [] { return kNow; };
        login.setQuitHook([this] { ++quits; });
    }
    QSqlDatabase db() { return fx.db(); }
    TForm_Dostap_Operators* dialog() { return login.dialog(); }
    QComboBox* combo() { return dialog()->findChild<QComboBox*>("ComboBox_Operators"); }
    QLineEdit* password() { return dialog()->findChild<QLineEdit*>("Edit_Password"); }
    QPushButton* cancel() { return dialog()->findChild<QPushButton*>("CancelBtn"); }
    QPushButton* ok() { return dialog()->findChild<QPushButton*>("OKBtn"); }
    // The text of a control of the main window.
    QString text(const char* name) const {
        if (auto* l = main.form.findChild<QLabel*>(name))
            return l->text();
        if (auto* e = main.form.findChild<QLineEdit*>(name))
            return e->text();
        return main.form.findChild<QAbstractButton*>(name)->text();
    }
    bool enabled(const char* name) const { return main.form.findChild<QWidget*>(name)->isEnabled(); }
    bool allowed(Command command) { return main.form.mainMenu().hasRight(*menuNode(command)); }
    QAction* action(Command command) { return main.form.mainMenu().action(command); }

    // Shows the dialog (which lists the operators) and tries name and password.
    void attempt(const QString& name, const QString& pw) {
        dialog()->clearPassword();
        dialog()->show();
        combo()->setCurrentIndex(combo()->findText(name));
        password()->setText(pw);
        ok()->click();
    }
    // Shows the login modally and runs action in it. Should the action
    // leave the dialog open, the dialog is closed after a while, so that
    // the test fails instead of hanging.
    bool runModal(std::function<void()> action) {
        QTimer::singleShot(0, dialog(), std::move(action));
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, dialog(), [this] { dialog()->done(QDialog::Rejected); });
        guard.start(10000);
        return login.N_dostapClick();
    }
    void logIn(const QString& name, const QString& pw) {
        attempt(name, pw);
        QVERIFY2(!dialog()->isVisible(), qPrintable(name));
        QCOMPARE(fx.session().operatorName(), name);
    }
};

// The first operator of a new database with its password "1"; added when
// the creation script does not add it.
void ensureAdministrator(const QSqlDatabase& db) {
    if (!findOperatorByName(db, "Администратор"))
        execSql(db, "INSERT INTO Operators (Ime, Par, Prava) VALUES (?, ?, ?)",
                {"Администратор", "1", allAllowedRights(menuTreeNodeCount())});
}

} // namespace

class LoginTest : public QObject {
    Q_OBJECT
private slots:
    void firstOperatorLogsIn() {
        test::ScriptedMessages messages;
        LoginFixture f;
        ensureAdministrator(f.db());
        insertOperator(f.db(), "Втори", "2", allAllowedRights(menuTreeNodeCount()));
        QSignalSpy spy(&f.login, &Login::loggedIn);

        int index = -2;
        QWidget* focus = nullptr;
        QString last;
        const bool first = f.runModal([&] {
            index = f.combo()->currentIndex();
            focus = f.dialog()->focusWidget();
            last = f.combo()->itemText(f.combo()->count() - 1);
            f.password()->setText("1");
            f.ok()->click();
        });
        QVERIFY(first);
        // No last operator: the first one is selected and the list has the focus.
        QCOMPARE(index, 0);
        QCOMPARE(focus, f.combo());
        QCOMPARE(last, QString("Втори"));
        QVERIFY(messages.shown.isEmpty());
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), QString("Администратор"));
        QCOMPARE(f.fx.session().operatorName(), QString("Администратор"));
        QCOMPARE(f.text("Panel_Operator"), QString("Оператор: Администратор"));
        QCOMPARE(f.text("Panel_Database"), "База данни: " + f.fx.alias().description());
        QCOMPARE(f.text("Panel_DateTime"), QString("05.03.2024 - 10:11:12"));
        // The login restores "none", and the totals of the empty sale write it
        // without the blank.
        QCOMPARE(f.text("Label_Selected_Kontragent"), QString("0:Няма избран контрагент"));
        QCOMPARE(f.fx.settings().get(setting::kLastOperator), QString("Администратор"));
        // The plain-text password is now kept hashed.
        QVERIFY(isPasswordHash(findOperatorByName(f.db(), "Администратор")->par));

        // The next showing selects the last operator and focuses the password.
        QString selected;
        QString typed = "x";
        const bool second = f.runModal([&] {
            selected = f.combo()->currentText();
            focus = f.dialog()->focusWidget();
            typed = f.password()->text();
            f.combo()->setCurrentIndex(1);
            f.password()->setText("2");
            f.ok()->click();
        });
        QVERIFY(second);
        QCOMPARE(selected, QString("Администратор"));
        QCOMPARE(focus, f.password());
        QVERIFY(typed.isEmpty());
        QCOMPARE(f.text("Panel_Operator"), QString("Оператор: Втори"));
    }

    void lastOperatorUnknown() {
        LoginFixture f;
        ensureAdministrator(f.db());
        f.fx.settings().set(setting::kLastOperator, QString("Никой"));
        f.dialog()->show();
        QCOMPARE(f.combo()->currentIndex(), -1);
        // No name selected: just a wrong attempt.
        test::ScriptedMessages messages;
        f.password()->setText("1");
        f.ok()->click();
        QCOMPARE(messages.messages, QStringList{"Невалидни данни"});
        QVERIFY(f.dialog()->isVisible());
        // Nobody is logged in: the stored last operator stays.
        QCOMPARE(f.fx.settings().get(setting::kLastOperator), QString("Никой"));
    }

    void wrongPasswordKeepsPreviousOperator() {
        test::ScriptedMessages messages;
        LoginFixture f;
        insertOperator(f.db(), "Ана", "а1", rightsDenying({19}));
        insertOperator(f.db(), "Борис", "б1", allAllowedRights(menuTreeNodeCount()));
        f.logIn("Ана", "а1");
        f.fx.session().setSaleCounterparty("5:Фирма Ана");
        QVERIFY(!f.allowed(Command::N_Artikuli));
        QCOMPARE(f.text("Label_Selected_Kontragent"), QString("5:Фирма Ана"));
        f.fx.settings().set(setting::kLastOperator, QString("x"));
        QSignalSpy spy(&f.login, &Login::loggedIn);
        f.attempt("Борис", "грешна");
        QCOMPARE(messages.messages, QStringList{"Невалидни данни"});
        QVERIFY(f.dialog()->isVisible());
        QVERIFY(f.password()->text().isEmpty());
        QCOMPARE(f.dialog()->focusWidget(), f.combo());
        QCOMPARE(spy.count(), 0);
        QCOMPARE(f.fx.session().operatorName(), QString("Ана"));
        QCOMPARE(f.text("Panel_Operator"), QString("Оператор: Ана"));
        QVERIFY(!f.allowed(Command::N_Artikuli));
        QCOMPARE(f.text("Button_Prodajba"), QString("Продажба     Ins"));
        QCOMPARE(f.text("Label_Selected_Kontragent"), QString("5:Фирма Ана"));
        QCOMPARE(f.fx.settings().get(setting::kLastOperator), QString("Ана"));

        // A typed quote is just a wrong password too.
        messages.clear();
        f.attempt("Борис", "\" OR \"1\"=\"1");
        QCOMPARE(messages.messages, QStringList{"Невалидни данни"});
        QCOMPARE(f.fx.session().operatorName(), QString("Ана"));
    }

    void rightsAppliedToMenuAndButtons() {
        LoginFixture f;
        // Enter1 (2), N_Dokumenti (9), N_Artikuli (19), N_Kasa (96).
        insertOperator(f.db(), "Ограничен", "1", rightsDenying({2, 9, 19, 96}));
        f.logIn("Ограничен", "1");
        QVERIFY(!f.allowed(Command::N_Artikuli));
        QVERIFY(!f.allowed(Command::Enter1));
        QVERIFY(!f.allowed(Command::N_Kasa));
        QVERIFY(f.allowed(Command::N_Prodajba));
        QVERIFY(f.allowed(Command::N_Klienti));
        // Allowed and with an operation: enabled.
        QVERIFY(f.action(Command::N_Klienti)->isEnabled());
        QVERIFY(!f.enabled("SpdBtn_Kasa"));
        // The shop buttons follow their commands: disabled while denied or without an operation.
        QVERIFY(!f.enabled("Button_Insert_in_List"));
        QCOMPARE(f.enabled("Button_Prodajba"), f.action(Command::N_Prodajba)->isEnabled());
    }

    void shortOrMalformedRights_data() {
        QTest::addColumn<QString>("rights");
        QTest::addColumn<QString>("enabled"); // nodes 1, 2, 3 and 19: 1 enabled, 0 disabled
        QTest::newRow("empty leaves all") << ""
                                          << "0000";
        QTest::newRow("short string") << "0=0,1=0,2=0,"
                                      << "1100";
        QTest::newRow("malformed entry stops") << "0=0,1=0,2=x,3=0,"
                                               << "1000";
        QTest::newRow("full string") << allAllowedRights(menuTreeNodeCount()) << "1111";
    }
    void shortOrMalformedRights() {
        QFETCH(QString, rights);
        QFETCH(QString, enabled);
        MenuWindow w;
        // The previous operator was denied everything.
        applyRights(w.menu, GETRIGHTS(rightsDenying(QList<int>{1, 2, 3, 19})));
        applyRights(w.menu, GETRIGHTS(rights));
        QString actual;
        for (int n : {1, 2, 3, 19})
            actual += w.menu.hasRight(n) ? u'1' : u'0';
        QCOMPARE(actual, enabled);
    }

    // Hidden items are left out of their menus, yet keep their rights like
    // any other command.
    void hiddenItemsKeepTheirRights_data() {
        QTest::addColumn<int>("node");
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<bool>("denied");
        QTest::newRow("hidden command allowed") << 96 << true << false; // N_Kasa
        QTest::newRow("hidden command denied") << 96 << true << true;
        QTest::newRow("hidden submenu allowed") << 33 << true << false;            // N7 "Анулиране"
        QTest::newRow("hidden top-level command allowed") << 128 << true << false; // N_dostap
        QTest::newRow("shown command denied") << 19 << false << true;              // N_Artikuli
        QTest::newRow("shown command allowed") << 19 << false << false;
    }
    void hiddenItemsKeepTheirRights() {
        QFETCH(int, node);
        QFETCH(bool, hidden);
        QFETCH(bool, denied);
        MenuWindow w;
        QCOMPARE(w.menu.isHidden(node), hidden);
        const int parent = menuParentNode(node);
        const QList<QAction*> shown =
            parent > 0 ? w.menu.submenu(parent)->actions() : w.window.menuBar()->actions();
        QCOMPARE(shown.contains(w.menu.action(node)), !hidden);
        applyRights(w.menu, GETRIGHTS(rightsDenying(denied ? QList<int>{node} : QList<int>{})));
        QCOMPARE(w.menu.hasRight(node), !denied);
    }

    void cancelFollowsExitRight() {
        test::ScriptedMessages messages;
        LoginFixture f;
        insertOperator(f.db(), "Без изход", "1", rightsDenying({139}));
        insertOperator(f.db(), "С изход", "1", allAllowedRights(menuTreeNodeCount()));
        f.dialog()->show();
        QVERIFY(f.cancel()->isEnabled());
        f.logIn("Без изход", "1");

        f.dialog()->show();
        QVERIFY(!f.cancel()->isEnabled());
        // Esc does nothing while Cancel is disabled.
        QTest::keyClick(f.dialog(), Qt::Key_Escape);
        QVERIFY(f.dialog()->isVisible());
        QVERIFY(messages.shown.isEmpty());

        f.logIn("С изход", "1");
        f.dialog()->show();
        QVERIFY(f.cancel()->isEnabled());
        messages.answerNo();
        QTest::keyClick(f.dialog(), Qt::Key_Escape);
        QCOMPARE(messages.questions, QStringList{"Найстина ли желаете да приключите работа"});
        QVERIFY(f.dialog()->isVisible());
        QCOMPARE(f.dialog()->focusWidget(), f.combo());
        QCOMPARE(f.quits, 0);

        messages.answerYes();
        f.cancel()->click();
        QCOMPARE(f.quits, 1);
        QVERIFY(f.login.quitRequested());
        QVERIFY(!f.dialog()->isVisible());
    }

    void cancelEndsTheModalLogin() {
        test::ScriptedMessages messages;
        LoginFixture f;
        ensureAdministrator(f.db());
        messages.answerYes();
        QVERIFY(!f.runModal([&] { f.cancel()->click(); }));
        QVERIFY(f.login.quitRequested());
        QCOMPARE(f.quits, 1);
        QCOMPARE(f.fx.session().operatorName(), QString());
    }

    // The upgrade of a plain-text password to a hash is not the login: when
    // it fails the operator is logged in all the same and the failure is
    // logged.
    void loginWhenPasswordCannotBeHashed() {
        test::ScriptedMessages messages;
        LoginFixture f;
        execSql(f.db(), "INSERT INTO Operators (Ime, Par, Prava) VALUES (?, ?, ?)",
                {"Стар", "стара", allAllowedRights(menuTreeNodeCount())});
        test::refuseUpdates(f.db(), "Operators", "заключена таблица");
        f.logIn("Стар", "стара");
        QVERIFY(messages.shown.isEmpty());
        QCOMPARE(f.text("Panel_Operator"), QString("Оператор: Стар"));
        const QByteArray log = test::Fixture::readFile(f.fx.session().programDir.exceptionsLog());
        QVERIFY2(log.startsWith("05.03.2024 10:11:12:EDatabaseError: !"), log.constData());
        QVERIFY2(log.contains("заключена таблица"), log.constData());
        QCOMPARE(findOperatorByName(f.db(), "Стар")->par, QString("стара"));
    }

    // A working database that cannot be opened: the login says why and that
    // the program works without a database until another is chosen, logs
    // the error, and closes without ending the program.
    void databaseMissing() {
        test::ScriptedMessages messages;
        LoginFixture f;
        ensureAdministrator(f.db());
        Alias missing = f.fx.alias();
        QString reason;
        if (missing.isPostgres()) {
            missing.database = "torvika_nowhere";
            reason = "На сървъра няма база данни torvika_nowhere";
        } else {
            missing.path = f.fx.root() + "Nowhere";
            reason = "Няма база данни в " + QDir::cleanPath(missing.path);
        }
        EngineConfig(f.fx.session().programDir.engineConfig()).addAlias(missing);

        QVERIFY(!f.runModal([] {}));

        QVERIFY(!f.dialog()->isVisible());
        QVERIFY(f.dialog()->workspaceMissing());
        QCOMPARE(f.quits, 0);
        QVERIFY(!f.login.quitRequested());
        QCOMPARE(f.combo()->count(), 0);
        QVERIFY(!f.fx.session().workspace.isOpen());
        QCOMPARE(messages.shown,
                 QStringList{"Работната база данни не може да бъде отворена:\r" + reason +
                             "\r\rПрограмата работи без база данни, докато не изберете друга с „Отвори“ в "
                             "менюто „Настройки“ → „База данни“."});
        const QByteArray log = test::Fixture::readFile(f.fx.session().programDir.exceptionsLog());
        QVERIFY(log.startsWith("05.03.2024 10:11:12:EDatabaseError: "));
        QVERIFY(log.contains(reason.toUtf8()));
    }

    // A server that wants a password: a refused one is said and asked for
    // again; Cancel gives up, and the login says the database is not open.
    void serverPasswordAskedAgain_data() {
        QTest::addColumn<QStringList>("typed"); // the passwords typed; then Cancel
        QTest::addColumn<bool>("opened");
        QTest::newRow("wrong, then right") << QStringList{"wrong", "richtig"} << true;
        QTest::newRow("wrong, then Cancel") << QStringList{"wrong"} << false;
        QTest::newRow("Cancel at once") << QStringList{} << false;
    }
    void serverPasswordAskedAgain() {
        if (!test::onPostgres())
            QSKIP("a server password is the PostgreSQL case");
        QFETCH(QStringList, typed);
        QFETCH(bool, opened);
        test::ScriptedMessages messages;
        LoginFixture f;
        ensureAdministrator(f.db());
        // The test server checks the passwords of the members of this role.
        if (scalarSql(f.db(), "SELECT COUNT(*) FROM pg_roles WHERE rolname = ?", {"torvika_passwords"})
                .toInt() == 0)
            QSKIP("the test server checks no passwords (tools/pg_test_server.sh makes the role "
                  "torvika_passwords)");
        static int roles = 0;
        const QString role =
            QStringLiteral("torvika_pw_%1_%2").arg(QCoreApplication::applicationPid()).arg(++roles);
        execScriptStatement(f.db(), "DROP ROLE IF EXISTS " + role);
        execScriptStatement(f.db(),
                            "CREATE ROLE " + role + " LOGIN PASSWORD 'richtig' IN ROLE torvika_passwords");
        execScriptStatement(f.db(), "GRANT SELECT, UPDATE ON ALL TABLES IN SCHEMA public TO " + role);
        const Alias trusted = f.fx.alias();
        Alias server = trusted;
        server.user = role;
        EngineConfig(f.fx.session().programDir.engineConfig()).addAlias(server);
        for (const QString& p : typed)
            messages.answer(p);
        if (!opened)
            messages.answer(QVariant()); // Cancel
        const QString prompt = "Парола за " + server.description() + ":";
        const QString refused =
            "Сървърът " + server.description() + " не прие потребителя " + role + " или паролата";

        f.runModal([&f] {
            if (f.dialog()->isVisible() && f.combo()->count() > 0)
                f.dialog()->done(QDialog::Rejected);
        });

        QStringList expected{prompt};
        if (!typed.isEmpty())
            expected << refused << prompt;
        if (!opened)
            expected << "Работната база данни не може да бъде отворена:\r" + refused +
                            "\r\rПрограмата работи без база данни, докато не изберете друга с „Отвори“ в "
                            "менюто „Настройки“ → „База данни“.";
        QCOMPARE(messages.shown, expected);
        QCOMPARE(f.fx.session().workspace.isOpen(), opened);
        QCOMPARE(f.combo()->count() > 0, opened);
        QCOMPARE(f.quits, 0);

        EngineConfig(f.fx.session().programDir.engineConfig()).addAlias(trusted);
        f.fx.session().workspace.setServerPassword({});
        f.fx.session().workspace.open();
        execScriptStatement(f.db(), "DROP OWNED BY " + role);
        execScriptStatement(f.db(), "DROP ROLE " + role);
    }

    void passwordFieldsShowStars_data() {
        QTest::addColumn<QString>("field");
        QTest::newRow("login") << "Edit_Password";
        QTest::newRow("operators window") << "Edit_Par";
    }
    void passwordFieldsShowStars() {
        QFETCH(QString, field);
        LoginFixture f;
        TForm_Operatori operators(f.main.form.context());
        QLineEdit* edit = field == "Edit_Password" ? f.password() : operators.findChild<QLineEdit*>(field);
        QVERIFY(edit);
        edit->setEnabled(true);
        edit->setText("тайна");
        QCOMPARE(edit->displayText(), QString("*****"));
    }

    void defaultCaptions_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("caption");
        QTest::newRow("insert") << "Button_Insert_in_List"
                                << "Добави в списък        ";
        QTest::newRow("sale") << "Button_Prodajba"
                              << "Продажба     Ins";
        QTest::newRow("cancel") << "Button_Otkaz"
                                << "Откажи          Del";
        QTest::newRow("select all") << "Button_Select_all"
                                    << "Избери всичко    Ctrl+S";
        QTest::newRow("discount") << "Button_TO"
                                  << "Свободна отстъпка   F11";
        QTest::newRow("refresh") << "Button_Refresh"
                                 << "Обнови   F12";
    }
    void defaultCaptions() {
        QFETCH(QString, button);
        QFETCH(QString, caption);
        LoginFixture f;
        insertOperator(f.db(), "Ана", "1", allAllowedRights(menuTreeNodeCount()));
        f.logIn("Ана", "1");
        QCOMPARE(f.text(button.toLatin1()), caption);
    }

    void shortcutsPerOperator() {
        LoginFixture f;
        insertOperator(f.db(), "А", "1", allAllowedRights(menuTreeNodeCount()));
        insertOperator(f.db(), "Б", "1", allAllowedRights(menuTreeNodeCount()));
        // N_Prodajba is node 4, N_Cancel_Prodajba 5, N_Select_All 6.
        f.fx.writeFile("Firm_Data.ini", "[Оператор: А]\r\nCounts=140\r\n4=F2\r\n5=\r\n6=Ctrl+Q\r\n"
                                        "[Оператор: Б]\r\nCounts=140\r\n6=Alt+W\r\n");
        f.logIn("А", "1");
        QCOMPARE(f.action(Command::N_Prodajba)->shortcut(), QKeySequence(Qt::Key_F2));
        QVERIFY(f.action(Command::N_Cancel_Prodajba)->shortcut().isEmpty());
        QCOMPARE(f.action(Command::N_Select_All)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
        QCOMPARE(f.action(Command::N_Refresh)->shortcut(), QKeySequence(Qt::Key_F12));
        QCOMPARE(f.text("Button_Prodajba"), QString("Продажба     F2"));
        QCOMPARE(f.text("Button_Otkaz"), QString("Откажи          "));

        // Б's section names only node 6: the others keep А's shortcuts.
        f.logIn("Б", "1");
        QCOMPARE(f.action(Command::N_Select_All)->shortcut(), QKeySequence(Qt::ALT | Qt::Key_W));
        QCOMPARE(f.action(Command::N_Prodajba)->shortcut(), QKeySequence(Qt::Key_F2));
        QVERIFY(f.action(Command::N_Cancel_Prodajba)->shortcut().isEmpty());
        QCOMPARE(f.text("Button_Select_all"), QString("Избери всичко    Alt+W"));
        QCOMPARE(f.text("Button_Prodajba"), QString("Продажба     F2"));
    }

    // The operators window.
    void operatorsWindowShowsCurrentOperator() {
        test::Fixture fx;
        const qint64 ana = insertOperator(fx.db(), "Ана", "1", rightsDenying({19, 20}));
        insertOperator(fx.db(), "Борис", "1", allAllowedRights(menuTreeNodeCount()));
        fx.session().setOperator("Ана", {});
        TForm_Operatori form(test::context(fx.session()));
        form.show();
        QCOMPARE(form.windowTitle(), QString("ОПЕРАТОРИ"));
        QCOMPARE(form.selectedOperatorId(), ana);
        QCOMPARE(form.findChild<QLineEdit*>("Edit_Ime")->text(), QString("Ана"));
        QCOMPARE(form.findChild<QLineEdit*>("Edit_Par")->text(), QString(10, u' '));
        QVERIFY(!form.findChild<QLineEdit*>("Edit_Ime")->isEnabled());
        QVERIFY(!form.findChild<QComboBox*>("ComboBox_Type")->isEnabled());
        QCOMPARE(form.treeItem(0)->text(0), QString("Основни менюта"));
        QCOMPARE(form.treeItem(19)->text(0), QString("Артикули ..."));
        QCOMPARE(form.treeItem(19)->parent(), form.treeItem(18));
        // Hidden commands are nodes like any other ...
        QCOMPARE(form.treeItem(128)->text(0), QString("Достъп"));
        QCOMPARE(form.treeItem(128)->parent(), form.treeItem(0));
        // ... and the whole tree is expanded.
        for (int n = 0; n < menuTreeNodeCount(); ++n)
            if (form.treeItem(n)->childCount() > 0)
                QVERIFY2(form.treeItem(n)->isExpanded(), qPrintable(form.treeItem(n)->text(0)));
        QVERIFY(form.deniedNodes()[19] && form.deniedNodes()[20] && !form.deniedNodes()[21]);
        auto* grid = form.findChild<QTableView*>("DBGrid1");
        QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString(), QString("№"));
        QCOMPARE(grid->model()->headerData(1, Qt::Horizontal).toString(), QString("Име"));
        // Every operator by ID, with number and name only.
        const QList<OperatorRow> all = listOperators(fx.db());
        QCOMPARE(grid->model()->columnCount(), 2);
        QCOMPARE(grid->model()->rowCount(), int(all.size()));
        for (int row = 0; row < all.size(); ++row) {
            QCOMPARE(grid->model()->index(row, 0).data().toString(), QString::number(all[row].id));
            QCOMPARE(grid->model()->index(row, 1).data().toString(), all[row].ime);
        }
    }

    // A new operator starts as a copy of the selected one but never with
    // its password: one must be typed, and an empty one is refused.
    void operatorsWindowSave_data() {
        QTest::addColumn<bool>("insert");
        QTest::addColumn<QString>("password"); // null: the field left alone
        QTest::addColumn<bool>("saved");
        QTest::newRow("new operator, password typed") << true << "nova7" << true;
        QTest::newRow("new operator, password left") << true << QString() << false;
        QTest::newRow("new operator, password erased") << true << "" << false;
        QTest::newRow("edit, password typed") << false << "nova7" << true;
        QTest::newRow("edit, password left") << false << QString() << true;
    }
    void operatorsWindowSave() {
        QFETCH(bool, insert);
        QFETCH(QString, password);
        QFETCH(bool, saved);
        test::ScriptedMessages messages;
        test::Fixture fx;
        const qint64 ana = insertOperator(fx.db(), "Ана", "стара", rightsDenying({139}));
        const QString anaPar = findOperatorById(fx.db(), ana)->par;
        const int before = int(listOperators(fx.db()).size());
        fx.session().setOperator("Ана", {});
        TForm_Operatori form(test::context(fx.session()));
        form.show();

        insert ? messages.answerYes() : messages.answerNo();
        doubleClickOperator(form);
        QCOMPARE(messages.questions, QStringList{"1. За въвеждане на нов оператор натиснете Yes!\r"
                                                 "2. За редакция на избраният оператор натиснете No!\r"
                                                 "3. За отказ от операцията натиснете Cancel!"});
        auto* ime = form.findChild<QLineEdit*>("Edit_Ime");
        auto* par = form.findChild<QLineEdit*>("Edit_Par");
        auto* save = form.findChild<QPushButton*>("BitBtn_Insert_Operator");
        QVERIFY(ime->isEnabled() && par->isEnabled());
        QVERIFY(save->isEnabled());
        ime->setText("Нова");
        if (!password.isNull()) {
            par->setFocus();
            par->selectAll();
            QTest::keyClick(par, Qt::Key_Backspace);
            QTest::keyClicks(par, password);
        }
        // Deny N8 "Номенклатури" with its commands through the tree.
        clickMenuNode(form, 18);
        save->click();

        if (!saved) {
            QCOMPARE(messages.messages, QStringList{"Въведете парола за новия оператор"});
            QCOMPARE(int(listOperators(fx.db()).size()), before);
            QVERIFY(!findOperatorByName(fx.db(), "Нова"));
            // Still entering the new operator: a password can be typed now.
            QCOMPARE(form.editMode(), TForm_Operatori::EditMode::Insert);
            QVERIFY(ime->isEnabled() && par->isEnabled());
            QCOMPARE(ime->text(), QString("Нова"));
            QTest::keyClicks(par, "nova7");
            save->click();
            const std::optional<OperatorRow> late = findOperatorByName(fx.db(), "Нова");
            QVERIFY(late);
            QVERIFY(checkCredentials(fx.db(), "Нова", "nova7"));
            QVERIFY(!checkCredentials(fx.db(), "Нова", "стара"));
            return;
        }
        QVERIFY(messages.messages.isEmpty());
        QCOMPARE(int(listOperators(fx.db()).size()), before + (insert ? 1 : 0));
        const std::optional<OperatorRow> row = findOperatorByName(fx.db(), "Нова");
        QVERIFY(row);
        QCOMPARE(row->id == ana, !insert);
        // The template's rights (139 denied) with the tree's change.
        QList<int> denied{139};
        for (int n = 18; n <= 25; ++n)
            denied.append(n);
        QCOMPARE(row->prava, rightsDenying(denied));
        if (password.isNull()) {
            QCOMPARE(row->par, anaPar);
        } else {
            QVERIFY(checkCredentials(fx.db(), "Нова", password));
            QVERIFY(!checkCredentials(fx.db(), "Нова", "стара"));
        }
        QVERIFY(!ime->isEnabled() && !par->isEnabled());
        QCOMPARE(form.editMode(), TForm_Operatori::EditMode::None);
        QCOMPARE(form.selectedOperatorId(), row->id);
    }

    void operatorsWindowCancel() {
        test::ScriptedMessages messages;
        test::Fixture fx;
        insertOperator(fx.db(), "Ана", "1", allAllowedRights(menuTreeNodeCount()));
        const int before = int(listOperators(fx.db()).size());
        fx.session().setOperator("Ана", {});
        TForm_Operatori form(test::context(fx.session()));
        form.show();
        // Before any double click saving does nothing.
        test::control<QAbstractButton>(form, "BitBtn_Insert_Operator")->click();
        messages.answerCancel();
        doubleClickOperator(form);
        QVERIFY(!form.findChild<QLineEdit*>("Edit_Ime")->isEnabled());
        test::control<QAbstractButton>(form, "BitBtn_Insert_Operator")->click();
        QCOMPARE(int(listOperators(fx.db()).size()), before);

        // ОТКАЖИ after "No" reloads the row and ends the editing.
        messages.answerNo();
        doubleClickOperator(form);
        form.findChild<QLineEdit*>("Edit_Ime")->setText("Друга");
        clickMenuNode(form, 19);
        form.findChild<QPushButton*>("BitBtn_Cancel_Operator")->click();
        QCOMPARE(form.findChild<QLineEdit*>("Edit_Ime")->text(), QString("Ана"));
        QVERIFY(!form.deniedNodes()[19]);
        QVERIFY(!form.findChild<QLineEdit*>("Edit_Ime")->isEnabled());
        QVERIFY(findOperatorByName(fx.db(), "Ана"));
    }

    void operatorsWindowClosingRequestsLogin() {
        test::Fixture fx;
        insertOperator(fx.db(), "Ана", "1", allAllowedRights(menuTreeNodeCount()));
        int requests = 0;
        QObject::connect(&fx.session(), &Session::loginRequested, [&] { ++requests; });
        TForm_Operatori form(test::context(fx.session()));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        // Esc is ОТКАЖИ's key and does not close the window.
        QTest::keyClick(&form, Qt::Key_Escape);
        QVERIFY(form.isVisible());
        QCOMPARE(requests, 0);
        form.close();
        QCOMPARE(requests, 1);

        // Through the menu command, modally.
        QTimer close;
        QObject::connect(&close, &QTimer::timeout, [] {
            if (QWidget* w = QApplication::activeModalWidget())
                w->close();
        });
        close.start(0);
        N_OperatoriClick(test::context(fx.session()), nullptr);
        close.stop();
        QCOMPARE(requests, 2);
    }
};

QTEST_MAIN(LoginTest)
#include "test_login.moc"
