// The main window offscreen: start-up, status line, working-date guard,
// page switch, ticker and exit.

#include "catalogue/ui/article_picker.h"
#include "common/dates.h"
#include "common/errors.h"
#include "common/sql.h"
#include "common/ui/desktop.h"
#include "common/ui/video_help.h"
#include "counterparties/ui/counterparty_picker.h"
#include "counterparties/ui/form_klienti.h"
#include "documents/ui/form_spr_izd_dok.h"
#include "sales/ui/shop_page.h"
#include "shell/external_programs.h"
#include "shell/menu_tree.h"
#include "shell/operators.h"
#include "shell/rights.h"
#include "shell/ui/about_box.h"
#include "shell/ui/application.h"
#include "shell/ui/general_form.h"
#include "shell/ui/login.h"
#include "shell/ui/main_menu.h"
#include "shell/ui/menu_rights.h"
#include "shell/ui/status_widgets.h"
#include "shell/version.h"
#include "support/fixture.h"
#include "support/login_script.h"
#include "support/main_window.h"
#include "support/modal_script.h"
#include "support/scripted_messages.h"
#include "support/window_helpers.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <atomic>
#include <future>
#include <thread>

using namespace torvika;

namespace {
const QDateTime kNow(QDate(2026, 12, 9), QTime(10, 15, 30));

// Starts the window with the first operator logging in.
bool startLoggedIn(TGeneral_Form& form) {
    test::answerNextLogin(form.login());
    return form.start();
}

// A page and a module that record what the host asks of them.
class RecordingPage : public HostPage {
public:
    QStringList* calls;
    explicit RecordingPage(QStringList* c) : calls(c) {}
    void formShown(bool current) override { *calls << QStringLiteral("formShown %1").arg(current); }
    void activated() override { *calls << QStringLiteral("activated"); }
    void refresh() override { *calls << QStringLiteral("refresh"); }
};

class RecordingModule : public Module {
public:
    QStringList calls;
    QList<RecordingPage*> pages;
    void install(Host& host) override {
        for (int position : {0, 1}) {
            pages << new RecordingPage(&calls);
            host.addPage(pages.back(), {position,
                                        QStringLiteral("Страница %1").arg(position),
                                        QStringLiteral("Заглавие %1").arg(position),
                                        true,
                                        {}});
        }
    }
    void loggedIn() override { calls << QStringLiteral("loggedIn"); }
    void databaseChanged() override { calls << QStringLiteral("databaseChanged"); }
    void exiting() override { calls << QStringLiteral("exiting"); }
};

QString rightsDenying(const QList<int>& nodes) {
    QList<bool> denied(menuTreeNodeCount(), false);
    for (int n : nodes)
        denied[n] = true;
    return buildRightsString(denied);
}

// Scripted messages that make Firm_Data.ini unwritable when the first
// question is asked: the file steps aside for a link into a directory that
// is not there, so that reading it gives the defaults and every write fails
// (even for root, whom file modes do not stop). restore() puts it back.
class UnwritableAtFirstQuestion : public test::ScriptedMessages {
public:
    explicit UnwritableAtFirstQuestion(QString ini) : ini_(std::move(ini)) {}
    Answer question(const QString& text, bool withCancel) override {
        if (!broken_) {
            broken_ = true;
            if (!QFile::rename(ini_, ini_ + ".kept") || !QFile::link(ini_ + ".absent/Firm_Data.ini", ini_))
                qFatal("cannot put a link in place of %s", qPrintable(ini_));
        }
        return ScriptedMessages::question(text, withCancel);
    }
    bool restore() { return broken_ && QFile::remove(ini_) && QFile::rename(ini_ + ".kept", ini_); }

private:
    QString ini_;
    bool broken_ = false;
};

QString panelText(QWidget& w, const char* name) {
    auto* l = w.findChild<QLabel*>(QString::fromLatin1(name));
    return l ? l->text() : QStringLiteral("<missing>");
}
} // namespace

class GeneralFormTest : public QObject {
    Q_OBJECT
private slots:
    void startFillsStatusLine() {
        test::Fixture fx;
        test::ScriptedMessages msgs;
        fx.session().clock = [] { return kNow; };
        QCOMPARE(fx.settings().get(setting::kActiveWarehouse),
                 1); // set when the first start made the database
        fx.firmData().writeString("DBVer", "Term", "3");
        test::MainWindow main(fx.session());
        TGeneral_Form& form = main.form;
        QVERIFY(main.start());
        form.resize(1024, 700);
        form.show();
        QCOMPARE(msgs.shown, QStringList());
        QCOMPARE(panelText(form, "Panel_Operator"), "Оператор: " + test::kFirstOperator);
        QCOMPARE(panelText(form, "Panel_Database"), "База данни: " + fx.alias().description());
        QVERIFY2(panelText(form, "Panel_Sklad").startsWith("Склад: 1:"),
                 qPrintable(panelText(form, "Panel_Sklad")));
        QCOMPARE(panelText(form, "Panel_terminal"), QStringLiteral("3"));
        // A terminal number stored by the program shows at once.
        fx.settings().set(setting::kTerminal, 7);
        QCOMPARE(panelText(form, "Panel_terminal"), QStringLiteral("7"));
        form.Timer1Timer();
        QCOMPARE(panelText(form, "Panel_DateTime"), QStringLiteral("09.12.2026 - 10:15:30"));
        QCOMPARE(form.windowTitle(), QStringLiteral("ТОРВИКА - МАГАЗИН"));
        // Tabs: shop and service visible, fiscal service hidden.
        auto* pages = form.findChild<QTabWidget*>("PageControl1");
        QVERIFY(pages->isTabVisible(0) && pages->isTabVisible(1) && !pages->isTabVisible(2));
        QVERIFY(form.mainMenu().isHidden(Command::N_Nastr_Fisk_Ser));
        QVERIFY(!form.mainMenu()
                     .submenu(menuParentNode(*menuNode(Command::N_Nastr_Fisk_Ser)))
                     ->actions()
                     .contains(form.mainMenu().action(Command::N_Nastr_Fisk_Ser)));
        QVERIFY(!form.mainMenu().isHidden(Command::N_Nastr_SERVICE));
        form.grab().save(QDir::tempPath() + "/torvika_main_window.png");
    }

    // Every check refreshes the active page, a failed one for the operator
    // still logged in; only a successful one tells the modules.
    void loginRefreshesPage_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("first page, right password")
            << 0 << test::kFirstPassword << QStringList{"loggedIn", "refresh"};
        QTest::newRow("first page, wrong password") << 0 << "грешна" << QStringList{"refresh"};
        QTest::newRow("second page, wrong password") << 1 << "грешна" << QStringList{"refresh"};
    }
    void loginRefreshesPage() {
        QFETCH(int, page);
        QFETCH(QString, password);
        QFETCH(QStringList, calls);
        test::Fixture fx;
        test::ScriptedMessages msgs;
        RecordingModule module;
        TGeneral_Form form(fx.session());
        form.install(module);
        QVERIFY(startLoggedIn(form));
        form.findChild<QTabWidget*>("PageControl1")->setCurrentIndex(page);
        module.calls.clear();
        test::answerNextLogin(form.login(), test::kFirstOperator, password);
        test::control<QAction>(form, "N_dostap")->trigger();
        QCOMPARE(module.calls, calls);
    }

    // The host shows the pages in their places, tells them when the window
    // shows and when they become current, and tells the modules at exit.
    void hostDrivesPagesAndModules() {
        test::Fixture fx;
        test::ScriptedMessages msgs;
        RecordingModule module;
        TGeneral_Form form(fx.session());
        form.install(module);
        QCOMPARE(module.calls, QStringList{});
        QVERIFY(startLoggedIn(form));
        QCOMPARE(module.calls, (QStringList{"loggedIn", "refresh"}));
        module.calls.clear();
        form.show();
        QCOMPARE(module.calls, (QStringList{"formShown 1", "formShown 0"}));
        module.calls.clear();
        auto* pages = form.findChild<QTabWidget*>("PageControl1");
        QCOMPARE(pages->tabText(1), "Страница 1");
        pages->setCurrentIndex(1);
        QCOMPARE(form.windowTitle(), "Заглавие 1");
        QCOMPARE(module.calls, QStringList{"activated"});
        module.calls.clear();
        form.close();
        QCOMPARE(module.calls, QStringList{"exiting"});
    }

    // A command registered twice, or asked for a menu item it does not
    // have, is a mistake of the composition.
    void wrongCommandsAreRefused() {
        test::Fixture fx;
        test::ScriptedMessages msgs;
        TGeneral_Form form(fx.session());
        QVERIFY_THROWS_EXCEPTION(std::logic_error, form.registerCommand(Command::N_dostap, [] {}));
        QVERIFY_THROWS_EXCEPTION(std::logic_error, form.command(Command::SpdBtn_Kasa));
        // A command without an operation stays disabled whatever the rights.
        QVERIFY(!form.mainMenu().action(Command::N_Artikuli)->isEnabled());
        int runs = 0;
        form.registerCommand(Command::N_Artikuli, [&] { ++runs; });
        QVERIFY(form.mainMenu().action(Command::N_Artikuli)->isEnabled());
        form.runCommand(Command::N_Artikuli);
        QCOMPARE(runs, 1);
    }

    // The program's modules receive every picker mode that a window of the
    // program opens; the modes of windows still to come have no receiver
    // (their "ИЗБЕРИ" is disabled). After the start-up nothing registers.
    void pickerModesHaveReceivers() {
        test::Fixture fx;
        test::ScriptedMessages msgs;
        test::MainWindow main(fx.session());
        QVERIFY(main.start());
        FollowUpRegistry& followUps = main.form.followUps();
        const auto served = [](const auto& followUps, const QList<int>& all) {
            QList<int> out;
            for (int mode : all)
                if (!followUps.unserved().contains(mode))
                    out << mode;
            return out;
        };
        QCOMPARE(
            served(followUps.of<CounterpartyPicker>(), CounterpartyPicker::modes()),
            (QList<int>{kSelectSaleCounterparty, kSelectSpecialDiscounts, kSelectWarrantyCard,
                        kSelectInstalments, kSelectSalesReport, kSelectOffer, kSelectIssuedDocuments,
                        kSelectOrderRequester, kSelectOrderSupplier, kSelectServiceClient,
                        kSelectServiceSupplier, kSelectRepairs, kSelectWarrantyProducts, kSelectCertificate,
                        kSelectNewArticle, kSelectDeliveriesReport, kSelectIssuedSerialsClient,
                        kSelectIssuedSerialsSupplier, kSelectOffersRequester}));
        QCOMPARE(served(followUps.of<ArticlePicker>(), ArticlePicker::modes()),
                 (QList<int>{kSelectDiscountGroup, kSelectDiscountArticle, kSelectSaleArticle,
                             kSelectWarrantyCardArticle, kSelectSalesReportArticles, kSelectOfferArticles,
                             kSelectIssuedDocumentsArticle, kSelectOrderArticle, kSelectServiceIntakeArticle,
                             kSelectRepairArticle, kSelectWarrantyProductsArticle, kSelectProductionArticle,
                             kSelectProductionElements, kSelectTransferArticles, kSelectDeliveryArticles,
                             kSelectDeliveryReportArticles, kSelectIssuedItemsArticle}));
        QVERIFY(followUps.of<CounterpartyCardButtons>().has(kCardSpecialDiscounts));
        QVERIFY(followUps.of<SaleRecipe>().has(kSaleRecipe));
        QCOMPARE(followUps.of<IssuedDocumentsChoosers>().unserved(), QList<int>{});
        QVERIFY_THROWS_EXCEPTION(std::logic_error, followUps.of<CounterpartyPicker>().add(
                                                       kSelectInstalments, [](QWidget*, const QString&) {}));
    }

    void missingWarehouseShowsColonOnly() {
        test::Fixture fx;
        test::ScriptedMessages msgs;
        fx.firmData().writeString("Store", "Active", "999");
        TGeneral_Form form(fx.session());
        QVERIFY(startLoggedIn(form));
        QCOMPARE(panelText(form, "Panel_Sklad"), QStringLiteral("Склад: :"));
    }

    void startupDateGuard_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("answer"); // -1: no question expected
        QTest::addColumn<bool>("started");
        QTest::addColumn<QString>("storedAfter");
        QTest::newRow("no key") << QString() << -1 << true << QString();
        QTest::newRow("same day") << "09.12.2026" << -1 << true << "09.12.2026";
        QTest::newRow("earlier day") << "01.12.2026" << -1 << true << "01.12.2026";
        QTest::newRow("later, yes") << "10.12.2026" << int(Messages::Yes) << true << "09.12.2026";
        QTest::newRow("later, no") << "10.12.2026" << int(Messages::No) << false << "10.12.2026";
        QTest::newRow("unreadable") << "32.13.2026" << -1 << true << "32.13.2026";
    }
    void startupDateGuard() {
        QFETCH(QString, stored);
        QFETCH(int, answer);
        QFETCH(bool, started);
        QFETCH(QString, storedAfter);
        test::Fixture fx;
        test::ScriptedMessages msgs;
        fx.session().clock = [] { return kNow; };
        if (!stored.isNull())
            fx.firmData().writeString("TIME", "Last", stored);
        if (answer >= 0)
            msgs.answer(answer);
        TGeneral_Form form(fx.session());
        if (started)
            test::answerNextLogin(form.login());
        QCOMPARE(form.start(), started);
        if (answer >= 0)
            QCOMPARE(msgs.questions,
                     QStringList{"Настоящата дата 09.12.2026 е по стара от последната дата с която e "
                                 "работено:10.12.2026\rЖелаете ли да продължите?"});
        else
            QCOMPARE(msgs.questions, QStringList());
        QCOMPARE(fx.firmData().readString("TIME", "Last"), storedAfter);
        if (stored == "32.13.2026")
            QVERIFY(test::Fixture::readFile(fx.root() + "Exceptions.log").contains("EConvertError"));
    }

    // DBVer/Ver that is not an integer is a conversion error: logged, no
    // update request, and the start-up goes on.
    void startupVersionCheck_data() {
        QTest::addColumn<QString>("ver");
        QTest::addColumn<bool>("requested");
        QTest::addColumn<bool>("logged");
        const QString older = QString::number(fileVersion().releaseNumber() - 1);
        QTest::newRow("older version") << older << true << false;
        QTest::newRow("older version with blanks") << " " + older + " " << true << false;
        QTest::newRow("letters") << "abc" << false << true;
        QTest::newRow("empty") << "" << false << true;
        QTest::newRow("digits and letters") << "22a" << false << true;
        QTest::newRow("decimal") << "22.5" << false << true;
    }
    void startupVersionCheck() {
        QFETCH(QString, ver);
        QFETCH(bool, requested);
        QFETCH(bool, logged);
        test::Fixture fx;
        test::ScriptedMessages msgs;
        // This installation's record decides: the database keeps none.
        execScriptStatement(fx.db(), "DROP TABLE DB_Info");
        fx.firmData().writeString("DBVer", "Ver", ver);
        fx.firmData().writeString("Store", "Active", "1");
        TGeneral_Form form(fx.session());
        // The update request opens the update dialog, which the test leaves.
        int updates = 0;
        test::ModalScript script;
        test::scriptLogin(script);
        if (requested)
            script.next([&updates](QWidget* w) {
                QCOMPARE(w->windowTitle(), QStringLiteral("Актуализация на база данни"));
                ++updates;
                qobject_cast<QDialog*>(w)->reject();
            });
        QVERIFY(form.start());
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(updates, requested ? 1 : 0);
        QCOMPARE(msgs.shown.size(), requested ? 1 : 0);
        const QByteArray log = test::Fixture::readFile(fx.root() + "Exceptions.log");
        QCOMPARE(log.contains("EConvertError"), logged);
        if (logged)
            QVERIFY2(log.contains("'" + ver.toUtf8() + "'"), log.constData());
        // The rest of the start-up ran.
        QVERIFY2(panelText(form, "Panel_Sklad").startsWith("Склад: 1:"),
                 qPrintable(panelText(form, "Panel_Sklad")));
    }

    // A Firm_Data.ini that is there but cannot be read stops the start-up
    // (the program shows and logs the error) instead of being worked on
    // with defaults that the exit would write over it.
    void unreadableFirmDataStopsTheStart() {
        test::Fixture fx;
        test::ScriptedMessages msgs;
        const QString ini = fx.session().programDir.firmDataIni();
        QVERIFY(QFile::remove(ini));
        QVERIFY(QDir().mkpath(ini));
        TGeneral_Form form(fx.session());
        QVERIFY_THROWS_EXCEPTION(EInOutError, form.start());
        QVERIFY(QFileInfo(ini).isDir());
        QVERIFY(QDir(ini).isEmpty());
    }

    // A failure inside the tick is logged and the ticker and the date guard
    // go on for the rest of the run.
    void timer2SurvivesAFailure() {
        test::Fixture fx;
        test::ScriptedMessages msgs;
        TGeneral_Form form(fx.session());
        QVERIFY(startLoggedIn(form));
        form.show();
        const QString ini = fx.session().programDir.firmDataIni();
        QVERIFY(QFile::remove(ini));
        QVERIFY(QDir().mkpath(ini)); // the file cannot be read now
        form.Timer2Timer();
        QVERIFY(form.findChild<QTimer*>("Timer2")->isActive());
        QVERIFY(test::Fixture::readFile(fx.root() + "Exceptions.log").contains("EInOutError"));
        QCOMPARE(msgs.shown, QStringList{});
    }

    // The write of the new working date inside the tick fails after the
    // question: it is logged, the ticker and the date guard go on, and once
    // the file can be written again the next tick asks again and stores it.
    void timer2SurvivesAFailedWrite() {
        test::Fixture fx;
        UnwritableAtFirstQuestion msgs(fx.session().programDir.firmDataIni());
        QDateTime now = kNow;
        fx.session().clock = [&] { return now; };
        fx.firmData().writeString("TIME", "Last", "09.12.2026");
        TGeneral_Form form(fx.session());
        QVERIFY(startLoggedIn(form));
        form.show();
        now = QDateTime(QDate(2026, 12, 10), QTime(0, 0, 1)); // past midnight
        msgs.answerYes();
        form.Timer2Timer();
        QVERIFY(msgs.restore());
        QCOMPARE(msgs.questions.size(), 1);
        QVERIFY(form.findChild<QTimer*>("Timer2")->isActive());
        const QByteArray log = test::Fixture::readFile(fx.root() + "Exceptions.log");
        QVERIFY2(log.contains("EInOutError") && log.contains("не може да бъде записан"), log.constData());
        QCOMPARE(fx.firmData().readString("TIME", "Last"), QStringLiteral("09.12.2026"));

        msgs.answerYes();
        form.Timer2Timer();
        QCOMPARE(msgs.questions.size(), 2);
        QCOMPARE(fx.firmData().readString("TIME", "Last"), QStringLiteral("10.12.2026"));
        QVERIFY(form.findChild<QTimer*>("Timer2")->isActive());
    }

    // The start-up's write of the working date fails after the operator
    // chose to go on: it is logged, and the start-up goes on to the login.
    void startupDateWriteFailureIsLogged() {
        test::Fixture fx;
        UnwritableAtFirstQuestion msgs(fx.session().programDir.firmDataIni());
        fx.session().clock = [] { return kNow; };
        fx.firmData().writeString("TIME", "Last", "10.12.2026"); // later than today: the question
        msgs.answerYes();
        TGeneral_Form form(fx.session());
        test::answerNextLogin(form.login());
        const bool started = form.start();
        QVERIFY(msgs.restore());
        QVERIFY(started);
        QCOMPARE(msgs.questions.size(), 1);
        QCOMPARE(fx.session().operatorName(), test::kFirstOperator);
        const QByteArray log = test::Fixture::readFile(fx.root() + "Exceptions.log");
        QVERIFY2(log.contains("EInOutError") && log.contains("не може да бъде записан"), log.constData());
        QCOMPARE(fx.firmData().readString("TIME", "Last"), QStringLiteral("10.12.2026"));
    }

    void dateChangeWhileRunning() {
        test::Fixture fx;
        test::ScriptedMessages msgs;
        QDateTime now = kNow;
        fx.session().clock = [&] { return now; };
        fx.firmData().writeString("TIME", "Last", "09.12.2026");
        TGeneral_Form form(fx.session());
        QVERIFY(startLoggedIn(form));
        form.Timer2Timer();
        QCOMPARE(msgs.questions.size(), 0);
        now = QDateTime(QDate(2026, 12, 10), QTime(0, 0, 1)); // past midnight
        msgs.answerNo();
        form.Timer2Timer();
        const QString q =
            "Извършена е промяна на работната дата !\rАктивна дата :10.12.2026\rПоследна дата с която e "
            "работено:09.12.2026\rЖелаете ли да продължите?";
        QCOMPARE(msgs.questions, QStringList{q});
        msgs.answerYes(); // asked again on the next tick while the dates differ
        form.Timer2Timer();
        QCOMPARE(msgs.questions, (QStringList{q, q}));
        QCOMPARE(fx.firmData().readString("TIME", "Last"), QStringLiteral("10.12.2026"));
        form.Timer2Timer();
        QCOMPARE(msgs.questions.size(), 2);
        QVERIFY(form.findChild<QTimer*>("Timer2")->isActive());
    }

    void pointOfSaleMode_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("pos");
        QTest::newRow("absent") << QString() << false;
        QTest::newRow("off") << "0" << false;
        QTest::newRow("on") << "1" << true;
    }
    void pointOfSaleMode() {
        QFETCH(QString, value);
        QFETCH(bool, pos);
        test::Fixture fx;
        test::ScriptedMessages msgs;
        if (!value.isNull())
            fx.firmData().writeString("Tuning", "20", value);
        TGeneral_Form form(fx.session());
        QVERIFY(startLoggedIn(form));
        QCOMPARE(form.windowFlags().testFlag(Qt::FramelessWindowHint), pos);
        QCOMPARE(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint), pos);
    }

    void vatSwitchFollowsRate_data() {
        QTest::addColumn<QString>("dds");
        QTest::addColumn<bool>("visible");
        QTest::newRow("absent") << QString() << false;
        QTest::newRow("zero") << "0" << false;
        QTest::newRow("twenty") << "20" << true;
    }
    void vatSwitchFollowsRate() {
        QFETCH(QString, dds);
        QFETCH(bool, visible);
        test::Fixture fx;
        test::ScriptedMessages msgs;
        if (!dds.isNull())
            fx.firmData().writeString("Firm_Data", "DDS", dds);
        test::MainWindow main(fx.session());
        TGeneral_Form& form = main.form;
        QVERIFY(main.start());
        form.show();
        QCOMPARE(form.findChild<QCheckBox*>("ChkBox_Add_DDS")->isVisible(), visible);
    }

    void exitWritesDateAndOperator() {
        test::Fixture fx;
        test::ScriptedMessages msgs;
        fx.session().clock = [] { return kNow; };
        TGeneral_Form form(fx.session());
        QVERIFY(startLoggedIn(form));
        form.show();
        fx.firmData().writeString("Store", "ActiveOper", "Мария");
        form.close();
        QCOMPARE(fx.firmData().readString("TIME", "Last"), QStringLiteral("09.12.2026"));
        QCOMPARE(fx.firmData().readString("Store", "ActiveOper"), test::kFirstOperator);
    }

    // Ending the session may end the program at once: the date and the
    // operator are in Firm_Data.ini before it is asked for.
    void exitEndsTheSessionLast_data() {
        QTest::addColumn<QString>("shutdown"); // Tuning/"13"
        QTest::addColumn<bool>("ended");
        QTest::newRow("switch off") << "0" << false;
        QTest::newRow("switch on") << "1" << true;
    }
    void exitEndsTheSessionLast() {
        QFETCH(QString, shutdown);
        QFETCH(bool, ended);
        test::Fixture fx;
        test::ScriptedMessages msgs;
        fx.session().clock = [] { return kNow; };
        fx.firmData().writeString("Tuning", "13", shutdown);
        qputenv("TORVIKA_LOGOUT", "logout-x");
        QStringList seen; // the command, then what Firm_Data.ini held at that moment
        setProcessStarter([&](const QString& program, const QStringList&) {
            seen << program << fx.firmData().readString("TIME", "Last")
                 << fx.settings().get(setting::kLastOperator);
            return true;
        });
        TGeneral_Form form(fx.session());
        QVERIFY(startLoggedIn(form));
        form.show();
        fx.firmData().deleteKey("TIME", "Last");
        fx.firmData().deleteKey("Store", "ActiveOper");
        form.close();
        setProcessStarter(nullptr);
        qunsetenv("TORVIKA_LOGOUT");
        const QStringList expected =
            ended ? QStringList{"logout-x", "09.12.2026", test::kFirstOperator} : QStringList();
        QCOMPARE(seen, expected);
    }

    // A shortcut runs its command as the menu would: a hidden command too,
    // nothing below a disabled submenu.
    void shortcutReachesCommand_data() {
        QTest::addColumn<Command>("command");
        QTest::addColumn<QList<int>>("denied");
        QTest::addColumn<int>("runs");
        QTest::newRow("shown command") << Command::N_Prodajba << QList<int>{} << 1;
        QTest::newRow("denied command") << Command::N_Prodajba << QList<int>{4} << 0;
        QTest::newRow("below a denied submenu") << Command::N_Prodajba << QList<int>{1} << 0;
        QTest::newRow("hidden command") << Command::N_Select_Kontrag << QList<int>{} << 1;
        QTest::newRow("in a hidden submenu") << Command::N_Invalidate_Sales << QList<int>{} << 1;
        QTest::newRow("below a denied hidden submenu") << Command::N_Invalidate_Sales << QList<int>{33} << 0;
        QTest::newRow("below a denied grandparent") << Command::N_Invalidate_Sales << QList<int>{26} << 0;
    }
    void shortcutReachesCommand() {
        QFETCH(Command, command);
        QFETCH(QList<int>, denied);
        QFETCH(int, runs);
        test::Fixture fx;
        test::ScriptedMessages msgs;
        TGeneral_Form form(fx.session());
        int count = 0;
        form.registerCommand(command, [&] { ++count; });
        applyRights(form.mainMenu(), GETRIGHTS(rightsDenying(denied)));
        QVERIFY(!denied.isEmpty() || form.mainMenu().action(command)->isEnabled());
        form.mainMenu().action(command)->setShortcut(QKeySequence(Qt::Key_F8));
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QTest::keyClick(&form, Qt::Key_F8);
        QCOMPARE(count, runs);
    }

    // SpdBtn_Kasa takes the operator's right to the hidden command N_Kasa.
    void cashCountButtonFollowsRight_data() {
        QTest::addColumn<bool>("denied");
        QTest::addColumn<bool>("operation");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("allowed") << false << true << true;
        QTest::newRow("denied") << true << true << false;
        QTest::newRow("allowed, no operation yet") << false << false << false;
    }
    void cashCountButtonFollowsRight() {
        QFETCH(bool, denied);
        QFETCH(bool, operation);
        QFETCH(bool, enabled);
        test::Fixture fx;
        test::ScriptedMessages msgs;
        insertOperator(fx.db(), "Касиер", "1", rightsDenying(denied ? QList<int>{96} : QList<int>{}));
        TGeneral_Form form(fx.session());
        int runs = 0;
        if (operation)
            form.registerCommand(Command::SpdBtn_Kasa, [&] { ++runs; });
        test::answerNextLogin(form.login(), "Касиер", "1");
        QVERIFY(form.start());
        auto* button = form.findChild<QToolButton*>("SpdBtn_Kasa");
        QCOMPARE(button->isEnabled(), enabled);
        button->click();
        QCOMPARE(runs, enabled ? 1 : 0);
    }

    void searchAnimationOnlyWithItsClip_data() {
        QTest::addColumn<bool>("clip");
        QTest::newRow("no clip") << false;
        QTest::newRow("clip") << true;
    }
    void searchAnimationOnlyWithItsClip() {
        QFETCH(bool, clip);
        test::Fixture fx;
        test::ScriptedMessages msgs;
        if (clip)
            fx.writeFile("Video/Search.avi", "RIFF");
        TGeneral_Form form(fx.session());
        form.Action_Search();
        auto* animation = form.findChild<QWidget*>("Search_Animation");
        QCOMPARE(animation && animation->isVisible(), clip);
        form.Action_Stop_Search();
        QVERIFY(!animation || !animation->isVisible());
    }

    // The help clip plays in its modal window; without the clip the window
    // shows a busy indicator instead of staying blank.
    void videoHelp_data() {
        QTest::addColumn<bool>("clip");
        QTest::newRow("no clip") << false;
        QTest::newRow("clip") << true;
    }
    void videoHelp() {
        QFETCH(bool, clip);
        test::Fixture fx;
        test::ScriptedMessages msgs;
        if (clip)
            fx.writeFile("Video/1.avi", "RIFF");
        TGeneral_Form form(fx.session());
        test::ModalScript script;
        script.next<TForm_Video_Help>([clip](TForm_Video_Help* help) {
            QCOMPARE(help->windowTitle(), QStringLiteral("ВИДЕО ПОМОЩ"));
            QCOMPARE(help->clip()->playing(), clip);
            QCOMPARE(help->findChild<QWidget*>("Video") != nullptr, clip);
            QCOMPARE(help->findChild<QProgressBar*>("BusyIndicator") != nullptr, !clip);
            help->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Close)->click();
        });
        form.showVideoHelp("1");
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QVERIFY(msgs.shown.isEmpty());
    }

    // "За програмата": the product name and its four-part version, modally.
    void aboutWindow() {
        test::Fixture fx;
        test::ScriptedMessages msgs;
        TGeneral_Form form(fx.session());
        test::ModalScript script;
        script.next<TAboutBox>([](TAboutBox* about) {
            QCOMPARE(about->windowTitle(), QStringLiteral("ЗА НАС"));
            QCOMPARE(about->findChild<QLabel*>("ProductName")->text(), QStringLiteral("ТОРВИКА"));
            QCOMPARE(about->findChild<QLabel*>("Version")->text(), "Ver." + GETFILEVERSION());
            about->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
        form.mainMenu().action(Command::N43)->trigger();
        QVERIFY2(script.finished(), qPrintable(script.failure()));
    }

    // The rates of Valuti in the order read, each at least four characters
    // wide with the display decimals, and ten blanks after each.
    void tickerScrollsAndRefills_data() {
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QStringList>("rates");
        QTest::newRow("two decimals")
            << 2 << QStringList{"Лева - 1.00", "BGL - 1.00", "EUR - 1.96", "USD - 1.70"};
        QTest::newRow("four decimals")
            << 4 << QStringList{"Лева - 1.0000", "BGL - 1.0000", "EUR - 1.9558", "USD - 1.7000"};
        // At least four characters wide.
        QTest::newRow("no decimals") << 0
                                     << QStringList{"Лева -    1", "BGL -    1", "EUR -    2", "USD -    2"};
    }
    void tickerScrollsAndRefills() {
        QFETCH(int, decimals);
        QFETCH(QStringList, rates);
        test::Fixture fx;
        test::ScriptedMessages msgs;
        fx.settings().set(setting::kAmountDecimals, decimals);
        TGeneral_Form form(fx.session());
        QVERIFY(startLoggedIn(form));
        form.resize(800, 600);
        form.show();
        auto* ticker = form.findChild<TickerStrip*>("Image_Show_Valuta_Kurs");
        const QString blanks(10, u' ');
        QCOMPARE(ticker->text, rates.join(blanks) + blanks);
        int start = ticker->position;
        form.Timer2Timer();
        QCOMPARE(ticker->position, start - 5);
        ticker->position = -ticker->textWidth() - 1; // scrolled out
        form.Timer2Timer();
        QCOMPARE(ticker->position, -ticker->textWidth() - 1);
        form.Timer1Timer();
        QCOMPARE(ticker->position, ticker->width());
        // Other decimals stored by the program show at once.
        fx.settings().set(setting::kAmountDecimals, decimals + 1);
        QVERIFY2(ticker->text.contains("USD - " + QString::asprintf("%4.*f", decimals + 1, 1.7)),
                 qPrintable(ticker->text));
    }

    void toolButtonIgnoresDisabledCommand() {
        test::Fixture fx;
        test::ScriptedMessages msgs;
        TGeneral_Form form(fx.session());
        int runs = 0;
        form.registerCommand(Command::N_Artikuli, [&] { ++runs; });
        form.mainMenu().setRight(*menuNode(Command::N_Artikuli), false);
        form.findChild<QToolButton*>("SpdBtn_Artikuli")->click();
        QCOMPARE(runs, 1);
        form.mainMenu().action(Command::N_Artikuli)->trigger(); // a disabled action does not fire
        QCOMPARE(runs, 1);
    }

    void helpOpensItsFileOnlyWhenPresent() {
        test::Fixture fx;
        test::ScriptedMessages msgs;
        QStringList opened;
        FileOpener previous = setFileOpener([&](const QString& f) {
            opened << f;
            return true;
        });
        TGeneral_Form form(fx.session());
        form.mainMenu().action(Command::N_Help)->trigger();
        QCOMPARE(opened, QStringList());
        const QString help = fx.writeFile("Video/R_P.rtf", "{\\rtf1 }");
        form.mainMenu().action(Command::N_Help)->trigger();
        QCOMPARE(opened, QStringList{help});
        setFileOpener(previous);
        QCOMPARE(msgs.shown, QStringList());
    }

    void desktopProgramsStart_data() {
        QTest::addColumn<Command>("command");
        QTest::addColumn<QString>("env");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("calculator") << Command::N_Calc << "TORVIKA_CALCULATOR"
                                    << QStringList{"calc-x", "--small"};
        QTest::newRow("editor") << Command::N_Notepad << "TORVIKA_EDITOR" << QStringList{"edit-x"};
    }
    void desktopProgramsStart() {
        QFETCH(Command, command);
        QFETCH(QString, env);
        QFETCH(QStringList, expected);
        test::Fixture fx;
        test::ScriptedMessages msgs;
        QStringList started;
        setProcessStarter([&](const QString& program, const QStringList& args) {
            started = QStringList{program} + args;
            return true;
        });
        qputenv(env.toLatin1(), expected.join(' ').toUtf8());
        TGeneral_Form form(fx.session());
        form.mainMenu().action(command)->trigger();
        QCOMPARE(started, expected);
        // Nothing installed: the operator is told.
        qputenv(env.toLatin1(), "");
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", "/nonexistent");
        started.clear();
        form.mainMenu().action(command)->trigger();
        qputenv("PATH", path);
        QCOMPARE(started, QStringList());
        QCOMPARE(msgs.messages.size(), 1);
        setProcessStarter(nullptr);
    }

    void openProgramStartsTheChosenFile() {
        test::Fixture fx;
        test::ScriptedMessages msgs;
        QStringList started;
        setProcessStarter([&](const QString& program, const QStringList&) {
            started << program;
            return true;
        });
        TGeneral_Form form(fx.session());
        msgs.answer(QString()); // cancelled
        form.mainMenu().action(Command::Open_Exe)->trigger();
        msgs.answer(QStringLiteral("/usr/bin/true"));
        form.mainMenu().action(Command::Open_Exe)->trigger();
        QCOMPARE(started, QStringList{"/usr/bin/true"});
        setProcessStarter(nullptr);
    }

    void sendReportMessage() {
        test::Fixture fx;
        test::ScriptedMessages msgs;
        TGeneral_Form form(fx.session());
        form.mainMenu().action(Command::N_Send_Reports)->trigger();
        QCOMPARE(msgs.messages,
                 QStringList{"Желаете ли да уведомите разработчика за възникнали грешки при работа?"});
    }

    // Another workstation holds the database for a while: the main window
    // shows the wait (cursor and database panel) and puts both back after.
    void busyDatabaseWaitIsShown() {
        if (test::onPostgres())
            QSKIP("the server queues the lock itself; the program waits for a busy SQLite database");
        test::Fixture fx;
        test::MainWindow main{fx.session()};
        auto* panel = main.form.findChild<QLabel*>("Panel_Database");
        panel->setText("База данни: проба");
        QStringList seen;
        std::atomic<bool> waitShown = false;
        QObject::connect(&main.form, &TGeneral_Form::busyWaitShown, [&](bool waiting) {
            const QCursor* cursor = QGuiApplication::overrideCursor();
            seen << QStringLiteral("%1|%2|%3")
                        .arg(waiting)
                        .arg(cursor ? int(cursor->shape()) : -1)
                        .arg(panel->text());
            if (waiting)
                waitShown = true;
        });
        std::promise<void> locked;
        const QString dir = fx.session().workspace.directory();
        // The other workstation: a connection of its own, in its own thread,
        // holding the write lock until the wait is on the screen.
        std::thread holder([&] {
            {
                const QSqlDatabase other = openCompanyConnection("holder", dir, false);
                execSql(other, "BEGIN IMMEDIATE");
                locked.set_value();
                for (int i = 0; i < 2000 && !waitShown; ++i)
                    QThread::msleep(5);
                execSql(other, "COMMIT");
            }
            closeConnection("holder");
        });
        locked.get_future().wait();

        execSql(fx.db(), "INSERT INTO Grad (Opisanie, PK, TK) VALUES (?, ?, ?)", {"Русе", "7000", "082"});
        holder.join();

        QCOMPARE(seen, (QStringList{
                           QStringLiteral("1|%1|Базата данни е заета от друга работна станция – изчакване…")
                               .arg(int(Qt::WaitCursor)),
                           "0|-1|База данни: проба"}));
        QCOMPARE(scalarSql(fx.db(), "SELECT COUNT(*) FROM Grad WHERE Opisanie = ?", {"Русе"}).toInt(), 1);
    }
};

QTEST_MAIN(GeneralFormTest)
#include "test_general_form.moc"
