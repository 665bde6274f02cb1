// The database-change dialog and the create / update dialog, driven offscreen.

#include "shell/company_databases.h"
#include "shell/nts_script.h"
#include "shell/ui/form_change_db.h"
#include "shell/ui/form_sazdava_nova_baza.h"
#include "shell/version.h"
#include "support/fixture.h"
#include "support/modal_script.h"
#include "support/scripted_messages.h"

#include <QApplication>
#include <QComboBox>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

using namespace torvika;

namespace {

QByteArray script(const QStringList& statements) {
    QString t = QStringLiteral("[COUNT]\r\nMAX=%1\r\n").arg(statements.size());
    for (int i = 0; i < statements.size(); ++i)
        t += QStringLiteral("[%1]\r\nSQL=%2\r\n").arg(i + 1).arg(statements[i]);
    return t.toUtf8();
}

template <typename T> T* child(QWidget& w, const char* name) {
    T* c = w.findChild<T*>(QString::fromLatin1(name));
    if (!c)
        qFatal("no control %s", name);
    return c;
}

struct Env {
    test::Fixture fx;
    test::ScriptedMessages messages;
    int logins = 0;
    Env() {
        QObject::connect(&fx.session(), &Session::loginRequested, [this] { ++logins; });
    }
    QString data() { return QDir::cleanPath(fx.root() + "Data"); }
};

} // namespace

class CompanyDatabaseDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void changeDialog_data() {
        QTest::addColumn<QString>("dir");
        QTest::addColumn<bool>("switched");
        QTest::newRow("company database") << "Other" << true;
        QTest::newRow("plain directory") << "Plain" << false;
    }
    void changeDialog() {
        if (test::onPostgres())
            QSKIP("the change dialog's directories are SQLite company databases");
        QFETCH(QString, dir);
        QFETCH(bool, switched);
        Env env;
        QVERIFY(QDir().mkpath(env.fx.root() + "Plain"));
        QVERIFY(QDir().mkpath(env.fx.root() + "Other"));
        QVERIFY(QFile::copy(env.fx.root() + "Data/Torvika.db", env.fx.root() + "Other/Torvika.db"));

        TForm_Change_DB dlg(env.fx.session());
        dlg.prepare();
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Смяна на работна база "));
        QCOMPARE(dlg.selectedDirectory(), env.data());
        QCOMPARE(child<QPushButton>(dlg, "Button_Ok")->text(), QStringLiteral("Приеми"));
        dlg.show();
        dlg.setSelectedDirectory(env.fx.root() + dir);
        QTest::mouseClick(child<QPushButton>(dlg, "Button_Ok"), Qt::LeftButton);

        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(!dlg.isVisible());
        QCOMPARE(env.logins, switched ? 1 : 0);
        QCOMPARE(env.messages.messages,
                 switched ? QStringList() : QStringList{QStringLiteral("Неуспешна смяна на базата данни")});
        QCOMPARE(env.fx.session().workspace.directory(),
                 switched ? QDir::cleanPath(env.fx.root() + dir) : env.data());
    }

    void driveBoxReroots() {
        Env env;
        TForm_Change_DB dlg(env.fx.session());
        dlg.prepare();
        auto* drives = child<QComboBox>(dlg, "ComboBox_Drive");
        auto* tree = child<QTreeView>(dlg, "TreeView_Dirs");
        QVERIFY(drives->count() > 0);
        auto* model = qobject_cast<QFileSystemModel*>(tree->model());
        QVERIFY(model);
        QVERIFY(env.data().startsWith(model->filePath(tree->rootIndex())));
        const int pick = drives->count() - 1;
        const QString root = drives->itemData(pick).toString();
        emit drives->activated(pick);
        QCOMPARE(model->filePath(tree->rootIndex()), root);
        QCOMPARE(dlg.selectedDirectory(), root);
        // The tree holds directories only.
        QVERIFY(!(model->filter() & QDir::Files));
    }

    void createDialog_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("memo");
        QTest::addColumn<bool>("created");
        const QString ops = "\nОПЕРАЦИЯ: 1- БЕШЕ УСПЕШНА\n\nОПЕРАЦИЯ: 2- БЕШЕ УСПЕШНА";
        QTest::newRow("created") << script(
                                        {"CREATE TABLE Operators (ID INTEGER PRIMARY KEY, Ime VARCHAR(30))",
                                         "INSERT INTO Operators (Ime) VALUES ('Админ')"})
                                 << ops + "\n\nСЪЗДАВАНЕТО НА НОВАТА БАЗА ДАННИ ЗАВЪРШИ УСПЕШНО" << true;
        QTest::newRow("failing statement")
            << script({"CREATE TABLE Operators (ID INTEGER PRIMARY KEY, Ime VARCHAR(30))",
                       "INSERT INTO Operators (Ime) VALUES ('Админ')", "CREATE TABLE Broken ("})
            << ops + "\n\nГРЕШКА: \n\nОперацията е прекратена: новата база данни не е създадена" << false;
    }
    void createDialog() {
        QFETCH(QByteArray, text);
        QFETCH(QString, memo);
        QFETCH(bool, created);
        Env env;
        env.fx.writeFile("SQLs/NewTables.nts", text);
        const QString base = QDir::cleanPath(env.fx.root() + "Companies");
        QVERIFY(QDir().mkpath(base));

        TForm_Sazdava_Nova_Baza dlg(env.fx.session());
        dlg.setMode(1);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Създаване на нова база данни"));
        QCOMPARE(dlg.selectedDirectory(), env.data());
        dlg.show();
        auto* name = child<QLineEdit>(dlg, "Edit_ime_baza");
        QVERIFY(name->isVisible());
        QCOMPARE(child<QLabel>(dlg, "Label_ime_baza")->text(),
                 QStringLiteral("Въведете името на новата база данни"));
        dlg.setSelectedDirectory(base);
        QTest::keyClicks(name, "Firma");
        QTest::mouseClick(child<QPushButton>(dlg, "Button_Vavedi"), Qt::LeftButton);

        auto* log = child<QPlainTextEdit>(dlg, "Memo1");
        QVERIFY(log->isReadOnly());
        QCOMPARE(log->toPlainText(), memo);
        QVERIFY(env.messages.shown.isEmpty());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(!dlg.isVisible());
        QCOMPARE(env.logins, 1); // after a failure the login is into the old database
        QCOMPARE(env.fx.session().workspace.directory(), created ? base + "/Firma" : env.data());
        QCOMPARE(QFileInfo::exists(base + "/Firma"), created);
    }

    void updateDialog_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("logins");
        QTest::addColumn<QString>("memo");
        const QString op1 = "\nОПЕРАЦИЯ: 1- БЕШЕ УСПЕШНА";
        QTest::newRow("updated") << script({"CREATE TABLE Added (A INTEGER)"})
                                 << "АКТУАЛИЗАЦИЯТА НА БАЗА ДАННИ ЗАВЪРШИ УСПЕШНО" << 1 << op1;
        // The statement that ran is undone with the rest: the log says so.
        QTest::newRow("failing statement")
            << script({"CREATE TABLE Added (A INTEGER)", "DROP TABLE Missing"})
            << "Прекратена актуализация при изпълнението на \rОПЕРАЦИЯ: 2\r:DROP TABLE Missing" << 0
            << op1 + "\n\nГРЕШКА: \n\nОперацията е прекратена: базата данни не е променена";
    }
    void updateDialog() {
        QFETCH(QByteArray, text);
        QFETCH(QString, message);
        QFETCH(int, logins);
        QFETCH(QString, memo);
        Env env;
        env.fx.writeFile("Upd/UpdateTables.nts", text);

        TForm_Sazdava_Nova_Baza dlg(env.fx.session());
        dlg.setMode(2);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Актуализация на база данни"));
        QCOMPARE(dlg.selectedDirectory(), QDir::cleanPath(env.fx.root() + "SQLs"));
        dlg.show();
        QVERIFY(!child<QLineEdit>(dlg, "Edit_ime_baza")->isVisible());
        dlg.setSelectedDirectory(env.fx.root() + "Upd");
        QTest::mouseClick(child<QPushButton>(dlg, "Button_Vavedi"), Qt::LeftButton);

        QCOMPARE(child<QPlainTextEdit>(dlg, "Memo1")->toPlainText(), memo);
        QCOMPARE(env.messages.messages, QStringList{message});
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(env.logins, logins);
        QCOMPARE(env.fx.session().workspace.db().tables().contains("Added", Qt::CaseInsensitive),
                 logins == 1);
    }

    // The main window's entry points: modal, and one dialog kept for the run.
    void entryPoints() {
        if (test::onPostgres())
            QSKIP("the change dialog's directories are SQLite company databases");
        Env env;
        env.fx.writeFile("SQLs/UpdateTables.nts", script({"CREATE TABLE Added (A INTEGER)"}));
        QWidget mainWindow;

        test::ModalScript script;
        script.next([&](QWidget* w) {
            QCOMPARE(w->windowTitle(), QStringLiteral("Актуализация на база данни"));

            QTest::mouseClick(child<QPushButton>(*w, "Button_Vavedi"), Qt::LeftButton);
        });
        TForm_Sazdava_Nova_Baza::run(env.fx.session(), 2, &mainWindow);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(env.messages.messages,
                 QStringList{QStringLiteral("АКТУАЛИЗАЦИЯТА НА БАЗА ДАННИ ЗАВЪРШИ УСПЕШНО")});
        QCOMPARE(env.fx.firmData().dbVerText(), QString::number(fileVersion().releaseNumber()));

        QString keptLog;
        script.next([&](QWidget* w) {
            QCOMPARE(w->windowTitle(), QStringLiteral("Създаване на нова база данни"));
            keptLog = child<QPlainTextEdit>(*w, "Memo1")->toPlainText();
            QTest::mouseClick(w->findChild<QPushButton*>("Button_Otkaji"), Qt::LeftButton);
        });
        TForm_Sazdava_Nova_Baza::run(env.fx.session(), 1, &mainWindow);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(mainWindow.findChildren<TForm_Sazdava_Nova_Baza*>().size(), 1);
        QCOMPARE(keptLog, QStringLiteral("\nОПЕРАЦИЯ: 1- БЕШЕ УСПЕШНА")); // the last log stays
        QCOMPARE(env.logins, 1);

        // Choosing the working database's own directory logs in again.
        script.next([&](QWidget* w) {
            QCOMPARE(w->windowTitle(), QStringLiteral("Смяна на работна база "));
            QTest::mouseClick(child<QPushButton>(*w, "Button_Ok"), Qt::LeftButton);
        });
        TForm_Change_DB::run(env.fx.session(), &mainWindow);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(env.logins, 2);
        QCOMPARE(env.fx.session().workspace.directory(), env.data());
        QCOMPARE(env.messages.messages.size(), 1);
    }
};

QTEST_MAIN(CompanyDatabaseDialogsTest)
#include "test_company_database_dialogs.moc"
