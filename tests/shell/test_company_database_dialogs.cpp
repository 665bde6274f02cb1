// The database-change dialog and the create / update dialog, driven offscreen.

#include "shell/company_databases.h"
#include "shell/nts_script.h"
#include "shell/ui/form_change_db.h"
#include "shell/ui/form_sazdava_nova_baza.h"
#include "shell/ui/server_settings.h"
#include "shell/version.h"
#include "support/fixture.h"
#include "support/host_stand_in.h"
#include "support/modal_script.h"
#include "support/scripted_messages.h"

#include <QApplication>
#include <QComboBox>
#include <QFileSystemModel>
#include <QGroupBox>
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

        TForm_Change_DB dlg(test::context(env.fx.session()));
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
                 switched
                     ? QStringList()
                     : QStringList{QStringLiteral("Неуспешна смяна на базата данни\rНяма база данни в ") +
                                   QDir::cleanPath(env.fx.root() + dir)});
        QCOMPARE(env.fx.session().workspace.directory(),
                 switched ? QDir::cleanPath(env.fx.root() + dir) : env.data());
    }

    // The server box: another database of the server, one that is no
    // company database, and a server that cannot be reached. A failed
    // switch keeps the working database; the password is never written.
    void changeToServer_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("switched");
        QTest::addColumn<QString>("reason"); // the start of the message's second line; %1 the database
        QTest::newRow("company database") << "company" << true << QString();
        QTest::newRow("empty database") << "empty" << false << "%1 не е база данни на програмата";
        QTest::newRow("unreachable server") << "nowhere" << false << "Няма връзка със сървъра %1: ";
    }
    void changeToServer() {
        if (!test::onPostgres())
            QSKIP("needs the PostgreSQL test server");
        QFETCH(QString, target);
        QFETCH(bool, switched);
        QFETCH(QString, reason);
        Env env;
        const Alias working = env.fx.alias();
        Alias other = working;
        other.database = QStringLiteral("torvika_other_%1").arg(QCoreApplication::applicationPid());
        other.path = QDir::cleanPath(env.fx.root() + "Other");
        dropServerDatabase(other, QString());
        if (target == "company")
            QVERIFY(createServerDatabase(env.fx.session(), other, QString()).ok);
        else if (target == "empty")
            createServerDatabaseOnly(other, QString());
        else
            other.host = env.fx.root() + "NoServerHere";
        // The creation above moved the workspace: back to the fixture's database.
        QVERIFY(switchCompanyDatabase(env.fx.session(), working, QString()).ok);
        env.logins = 0;

        TForm_Change_DB dlg(test::context(env.fx.session()));
        dlg.prepare();
        QVERIFY(dlg.server()->useServer()); // the working database is on the server
        QVERIFY(!child<QPushButton>(dlg, "Button_Copy_To_Server")->isVisibleTo(&dlg));
        dlg.show();
        child<QLineEdit>(dlg, "Edit_Server_Host")->setText(other.host);
        child<QLineEdit>(dlg, "Edit_Server_Database")->setText(other.database);
        child<QLineEdit>(dlg, "Edit_Server_Password")->setText("не-се-пише");
        QDir().mkpath(other.path);
        dlg.setSelectedDirectory(other.path);
        QTest::mouseClick(child<QPushButton>(dlg, "Button_Ok"), Qt::LeftButton);

        QCOMPARE(env.logins, switched ? 1 : 0);
        if (switched) {
            QVERIFY(env.messages.messages.isEmpty());
        } else {
            QCOMPARE(env.messages.messages.size(), 1);
            const QStringList lines = env.messages.messages.first().split(u'\r');
            QCOMPARE(lines.size(), 2);
            QCOMPARE(lines[0], QStringLiteral("Неуспешна смяна на базата данни"));
            QVERIFY2(lines[1].startsWith(reason.arg(other.description())), qPrintable(lines[1]));
        }
        QCOMPARE(env.fx.session().workspace.description(),
                 switched ? other.description() : working.description());
        QVERIFY(env.fx.session().workspace.isOpen());
        QVERIFY(!test::Fixture::readFile(env.fx.session().programDir.engineConfig()).contains("не-се-пише"));
        env.fx.session().workspace.close();
        if (target != "nowhere")
            dropServerDatabase(other, QString());
    }

    // A database created on the server from the create dialog; a failed one
    // leaves none behind.
    void createOnServer_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("created");
        QTest::newRow("created") << "Firma_Sarvar" << true;
        QTest::newRow("name that is no identifier") << "Фирма сървър" << false;
    }
    void createOnServer() {
        if (!test::onPostgres())
            QSKIP("needs the PostgreSQL test server");
        QFETCH(QString, name);
        QFETCH(bool, created);
        Env env;
        Alias target = env.fx.alias();
        target.database = name.toLower();
        TForm_Sazdava_Nova_Baza dlg(test::context(env.fx.session()));
        dlg.setMode(1);
        dlg.show();
        dlg.server()->setAlias(target);
        const QString base = QDir::cleanPath(env.fx.root() + "Companies");
        QVERIFY(QDir().mkpath(base));
        dlg.setSelectedDirectory(base);
        child<QLineEdit>(dlg, "Edit_ime_baza")->setText(name);
        QTest::mouseClick(child<QPushButton>(dlg, "Button_Vavedi"), Qt::LeftButton);
        QCOMPARE(env.fx.session().workspace.isOpen(), true);
        QCOMPARE(env.fx.session().workspace.description().startsWith(target.database + " "), created);
        QCOMPARE(QFileInfo::exists(base + "/" + name + "/Opis.pdt"), created);
        env.fx.session().workspace.close();
        if (created) {
            QVERIFY(serverDatabaseExists(target, QString()));
            dropServerDatabase(target, QString());
        }
        QCOMPARE(env.messages.messages.size(), created ? 0 : 1);
    }

    void driveBoxReroots() {
        Env env;
        TForm_Change_DB dlg(test::context(env.fx.session()));
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

        TForm_Sazdava_Nova_Baza dlg(test::context(env.fx.session()));
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

        TForm_Sazdava_Nova_Baza dlg(test::context(env.fx.session()));
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
        TForm_Sazdava_Nova_Baza::run(test::context(env.fx.session()), 2, &mainWindow);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(env.messages.messages,
                 QStringList{QStringLiteral("АКТУАЛИЗАЦИЯТА НА БАЗА ДАННИ ЗАВЪРШИ УСПЕШНО")});
        QCOMPARE(env.fx.settings().get(setting::kDatabaseVersion),
                 QString::number(fileVersion().releaseNumber()));

        QString keptLog;
        script.next([&](QWidget* w) {
            QCOMPARE(w->windowTitle(), QStringLiteral("Създаване на нова база данни"));
            keptLog = child<QPlainTextEdit>(*w, "Memo1")->toPlainText();
            QTest::mouseClick(w->findChild<QPushButton*>("Button_Otkaji"), Qt::LeftButton);
        });
        TForm_Sazdava_Nova_Baza::run(test::context(env.fx.session()), 1, &mainWindow);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(mainWindow.findChildren<TForm_Sazdava_Nova_Baza*>().size(), 1);
        QCOMPARE(keptLog, QStringLiteral("\nОПЕРАЦИЯ: 1- БЕШЕ УСПЕШНА")); // the last log stays
        QCOMPARE(env.logins, 1);

        // Choosing the working database's own directory logs in again.
        script.next([&](QWidget* w) {
            QCOMPARE(w->windowTitle(), QStringLiteral("Смяна на работна база "));
            QTest::mouseClick(child<QPushButton>(*w, "Button_Ok"), Qt::LeftButton);
        });
        TForm_Change_DB::run(test::context(env.fx.session()), &mainWindow);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(env.logins, 2);
        QCOMPARE(env.fx.session().workspace.directory(), env.data());
        QCOMPARE(env.messages.messages.size(), 1);
    }
};

QTEST_MAIN(CompanyDatabaseDialogsTest)
#include "test_company_database_dialogs.moc"
