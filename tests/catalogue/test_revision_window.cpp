// The revision window offscreen, its controls pressed by name: articles
// typed with their quantities (the books' quantity proposed, an article
// entered twice offered for editing, an unknown one said), a count file
// read and written, a line edited and deleted, the warehouse fixed while
// lines exist, the count list printed, closing with lines asked, and the
// revision saved into the stock. The menu commands of the revision, the
// imports and the exports, and the "Експорт ..." entries of the article and
// counterparty lists, triggered on the main window.

#include "catalogue/stock.h"
#include "catalogue/texts.h"
#include "catalogue/ui/form_artikuli.h"
#include "catalogue/ui/form_info_import.h"
#include "catalogue/ui/form_revision.h"
#include "catalogue/ui/form_spr_revision.h"
#include "common/cp1251.h"
#include "common/sql.h"
#include "common/texts.h"
#include "common/ui/desktop.h"
#include "common/ui/form_export_data.h"
#include "common/ui/form_get_kol.h"
#include "common/ui/form_print_vid_fail.h"
#include "common/ui/import_statistic_panel.h"
#include "counterparties/ui/counterparty_picker.h"
#include "counterparties/ui/form_kontrakents.h"
#include "support/fixture.h"
#include "support/host_stand_in.h"
#include "support/main_window.h"
#include "support/modal_script.h"
#include "support/scripted_messages.h"
#include "support/window_helpers.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <memory>

using namespace torvika;
using test::control;

class RevisionWindowTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    std::unique_ptr<test::ScriptedMessages> msg_;
    QStringList opened_;
    FileOpener previousOpener_;
    QSqlDatabase db() { return fx_->db(); }

    void article(qint64 id, const QString& name, double price) {
        execSql(db(),
                "INSERT INTO Produkti (ID, Nomenkl_N, Nomer_Grupa, Opisanie, Ed_Cena, Valuta_P, Mqrka) "
                "VALUES (?, ?, 1, ?, ?, 'Лева', 'бр.')",
                {id, QString::number(id), name, price});
    }
    static void click(const QWidget& w, const char* name) {
        QTest::mouseClick(control<QPushButton>(w, name), Qt::LeftButton);
    }
    static void enter(const QWidget& w, const char* name, const QString& text) {
        auto* e = control<QLineEdit>(w, name);
        e->setFocus();
        e->selectAll();
        test::typeText(e, text);
        QTest::keyClick(e, Qt::Key_Return);
    }
    // "article:recorded:counted" of the grid's rows.
    static QStringList rows(Form_Revision& w) {
        QStringList out;
        for (int r = 0; r < w.model()->rowCount(); ++r)
            out << QStringLiteral("%1:%2:%3")
                       .arg(w.model()->value(r, "Art_ID").toString(),
                            w.model()->value(r, "Nal_Kol").toString(),
                            w.model()->value(r, "Otkr_Kol").toString());
        return out;
    }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        msg_ = std::make_unique<test::ScriptedMessages>();
        opened_.clear();
        previousOpener_ = setFileOpener([this](const QString& f) {
            opened_ << f;
            return true;
        });
        execSql(db(), "INSERT INTO Grupi (ID, Opisanie) VALUES (1, 'Напитки')");
        execSql(db(), "INSERT INTO Sklad (ID_Sklad, Opis_Sklad) VALUES (2, 'Бус')");
        article(7, "Вода", 1.2);
        article(1024, "Кабел 2:1", 2.5);
        GET_NALI4NOST(db(), 7, 1, kSetStock, Decimal("10"));
    }
    void cleanup() {
        setFileOpener(previousOpener_);
        msg_.reset();
        fx_.reset();
    }

    // Typing: the books' quantity proposed, the typed count kept, the sums;
    // the same article again offered for editing; an unknown one said and
    // the picker opened; the warehouse fixed; saving moves the stock.
    void typedCountsSaved() {
        Form_Revision w(test::context(fx_->session()));
        w.show();
        QCOMPARE(control<QLineEdit>(w, "Edit_Nomer")->text(), QStringLiteral("1"));
        QCOMPARE(control<QComboBox>(w, "ComboBox_Osnovanie")->currentText(), kRevisionDefaultReason);
        enter(w, "Edit_Artikul", "7");
        QCOMPARE(control<QLabel>(w, "Label_Artikul")->text(), QStringLiteral("7:Вода"));
        QCOMPARE(control<QLineEdit>(w, "Edit_Kol")->text(), QStringLiteral("10.00"));
        enter(w, "Edit_Kol", "7,5");
        QCOMPARE(rows(w), QStringList{"7:10:7.5"});
        QCOMPARE(control<QLineEdit>(w, "Edit_Nalichno")->text().trimmed(), QStringLiteral("12.00"));
        QCOMPARE(control<QLineEdit>(w, "Edit_Otkrito")->text().trimmed(), QStringLiteral("9.00"));
        QCOMPARE(control<QLineEdit>(w, "Edit_Razlika")->text().trimmed(), QStringLiteral("-3.00"));
        QVERIFY(!control<QComboBox>(w, "ComboBox_Sklad")->isEnabled());

        msg_->answerNo();
        enter(w, "Edit_Artikul", "7");
        QCOMPARE(msg_->questions, QStringList{texts::kRevisionArticleEntered.arg("7:Вода")});

        test::ModalScript script;
        script.next([](QWidget* picker) { picker->close(); }, "the article picker");
        enter(w, "Edit_Artikul", "999");
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(msg_->messages, QStringList{texts::kRevisionNoSuchArticle});

        enter(w, "Edit_Artikul", "1024");
        enter(w, "Edit_Kol", "3");
        QCOMPARE(rows(w), QStringList({"7:10:7.5", "1024:0:3"}));
        click(w, "Button_Zapis");
        QVERIFY(!w.isVisible());
        QCOMPARE(stockIn(db(), 7, 1), std::optional<Decimal>(Decimal("7.5")));
        QCOMPARE(stockIn(db(), 1024, 1), std::optional<Decimal>(Decimal("3")));
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Revision_Art WHERE ID_Rev = 1").toInt(), 2);
    }

    // A count file read (its left-out lines said), a line edited and
    // deleted, the count file written, the count list printed, closing
    // with lines asked.
    void fileLinesEditedAndPrinted() {
        const QString in = fx_->writeFile(
            "TEMP/count.txt", toCp1251(QStringLiteral("1:[7]2:[2]\r\n1:[1024]2:[1,5]\r\n1:[7]2:[1]\r\n"
                                                      "1:[999]2:[1]\r\n")));
        Form_Revision w(test::context(fx_->session()));
        w.show();
        msg_->answer(in);
        click(w, "Button_Import");
        QCOMPARE(rows(w), QStringList({"7:10:3", "1024:0:1.5"}));
        QCOMPARE(msg_->messages.size(), 1);
        QVERIFY(msg_->messages[0].startsWith(texts::kRevisionCountFileRead.arg(3).arg(2)));
        QVERIFY(msg_->messages[0].contains(
            texts::kCountLineLeftOut.arg("4", texts::kImportNoSuchArticle.arg(999))));

        auto* grid = control<QTableView>(w, "DBGrid_Revision");
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(1, 0));
        test::ModalScript script;
        script.next<TForm_Get_Kol>([](TForm_Get_Kol* d) {
            auto* e = control<QLineEdit>(*d, "Edit_Kol");
            e->selectAll();
            QTest::keyClicks(e, "4.25");
            click(*d, "Button_Priemi");
        });
        click(w, "Button_Redaktirai");
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(rows(w), QStringList({"7:10:3", "1024:0:4.25"}));

        const QString out = fx_->root() + "TEMP/out.txt";
        msg_->answer(out);
        click(w, "Button_Export");
        QCOMPARE(test::Fixture::readFile(out),
                 QByteArray("1:[7]\t2:[3]\t3:[10]\r\n1:[1024]\t2:[4.25]\t3:[0]\r\n"));

        script.next<TForm_Print_Vid_Fail>([](TForm_Print_Vid_Fail* c) { click(*c, "BitBtn_Priemi"); });
        click(w, "Button_Pe4at");
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(opened_.size(), 1);
        const QString printed = QString::fromUtf8(test::Fixture::readFile(opened_[0]));
        QVERIFY(printed.contains(texts::kRevisionPrintNumber.arg(1)));
        QVERIFY(printed.contains("Кабел 2:1"));
        QVERIFY(printed.contains(
            texts::kRevisionPrintDifference.arg(control<QLineEdit>(w, "Edit_Razlika")->text())));

        grid->setFocus();
        grid->selectRow(0);
        msg_->answerYes();
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(rows(w), QStringList{"1024:0:4.25"});

        msg_->answerNo();
        click(w, "Button_Otkaz");
        QVERIFY(w.isVisible());
        msg_->answerYes();
        click(w, "Button_Otkaz");
        QVERIFY(!w.isVisible());
        QCOMPARE(msg_->questions.count(texts::kRevisionCloseQuestion), 2);
        QCOMPARE(stockIn(db(), 7, 1), std::optional<Decimal>(Decimal("10")));
    }

    // The saved revisions: listed newest first from the reports menu, the
    // lines and sums of the one chosen, narrowed to a warehouse, and the
    // chosen one printed as the revision window prints it.
    void savedRevisionsReport() {
        const QDate today = fx_->session().today();
        {
            RevisionDraft shop(db(), 1);
            QVERIFY(shop.addCount(7, Decimal("8")));
            QCOMPARE(shop.save(today, QTime(9, 15, 0), kRevisionDefaultReason), std::optional<qint64>(1));
            RevisionDraft van(db(), 2);
            QVERIFY(van.addCount(1024, Decimal("4")));
            QCOMPARE(van.save(today, QTime(17, 5, 30), QStringLiteral("Годишна")), std::optional<qint64>(2));
        }
        const QString day = today.toString("dd.MM.yyyy");

        test::MainWindow main(fx_->session());
        QVERIFY(main.start());
        test::ModalScript script;
        script.next<TForm_Spr_Revision>([&day](TForm_Spr_Revision* w) {
            QCOMPARE(w->windowTitle(), texts::kRevisionReportTitle);
            QCOMPARE(test::shownRows(w->model()),
                     (QStringList{"2|" + day + "|17:05:30|Годишна|Бус|1",
                                  "1|" + day + "|09:15:00|Справка налично|Основен склад|1"}));
            w->reject();
        });
        main.form.command(Command::N31)->trigger();
        QVERIFY2(script.finished(), qPrintable(script.failure()));

        TForm_Spr_Revision w(test::context(fx_->session()));
        w.show();
        QCOMPARE(test::shownRows(w.linesModel()),
                 QStringList{"1024|Кабел 2:1|4.000|0.000|4.000|бр.|2.50|Лева|0.00|10.00"});
        QCOMPARE(control<QLabel>(w, "Label_Razlika_Suma")->text().trimmed(), QStringLiteral("10.00"));

        control<QCheckBox>(w, "CheckBox_Sklad")->setChecked(true);
        auto* warehouse = control<QComboBox>(w, "ComboBox_Sklad");
        test::chooseItem(warehouse, warehouse->findText("1:Основен склад"));
        click(w, "Button_Tarsi");
        QCOMPARE(w.model()->rowCount(), 1);
        QCOMPARE(test::shownRows(w.linesModel()),
                 QStringList{"7|Вода|-2.000|10.000|8.000|бр.|1.20|Лева|12.00|9.60"});
        QCOMPARE(control<QLabel>(w, "Label_Nali4no_Suma")->text().trimmed(), QStringLiteral("12.00"));
        QCOMPARE(control<QLabel>(w, "Label_Otkrito_Suma")->text().trimmed(), QStringLiteral("9.60"));
        QCOMPARE(control<QLabel>(w, "Label_Razlika_Suma")->text().trimmed(), QStringLiteral("-2.40"));

        script.next<TForm_Print_Vid_Fail>([](TForm_Print_Vid_Fail* c) { click(*c, "BitBtn_Priemi"); });
        click(w, "Button_Pe4at_Revizia");
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(opened_.size(), 1);
        const QStringList lines = QString::fromUtf8(test::Fixture::readFile(opened_[0])).split("\r\n");
        QCOMPARE(lines.mid(0, 4),
                 (QStringList{"", "\t РЕВИЗИЯ N: 1", "", "\tОт Дата:" + day + ", 09:15:00"}));
        QVERIFY(lines.contains("\tСума налично: 12.00"));
        QVERIFY(lines.contains("\tСума открито: 9.60"));
        QVERIFY(lines.contains("\tСума разлика: -2.40"));
    }

    // "Ревизия...", the three imports (cancelling the open dialog does
    // nothing) with the statistics panel and the import report, and the two
    // exports, from the main window's menu.
    void menuCommands() {
        test::MainWindow main(fx_->session());
        QVERIFY(main.start());
        auto trigger = [&main](Command c) {
            QAction* a = main.form.command(c);
            QVERIFY(a->isEnabled());
            a->trigger();
        };
        test::ModalScript script;
        script.next<Form_Revision>([](Form_Revision* w) { click(*w, "Button_Otkaz"); });
        trigger(Command::N_Revizia);
        QVERIFY2(script.finished(), qPrintable(script.failure()));

        msg_->answer(QVariant());
        trigger(Command::N_Import_art);
        QVERIFY(!main.form.findChild<ImportStatisticPanel*>("fMemo"));

        msg_->answer(fx_->writeFile(
            "TEMP/articles.txt",
            toCp1251(QStringLiteral("1:[501]\t3:[Чай]\t4:[2,5]\t7:[Напитки]\r\n1:[7]\t3:[Вода]\r\n"))));
        script.next<Form_Info_Import>([](Form_Info_Import* w) {
            QCOMPARE(w->model()->rowCount(), 1);
            click(*w, "Button_Otkaz");
        });
        trigger(Command::N_Import_art);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        auto* panel = main.form.findChild<ImportStatisticPanel*>("fMemo");
        QVERIFY(panel);
        QVERIFY(!panel->isHidden());
        QVERIFY(
            panel->toPlainText().startsWith(texts::kImportArticleAdded.arg(501).arg("Чай").prepend("1- ")));
        QCOMPARE(scalarSql(db(), "SELECT Opisanie FROM Produkti WHERE ID = 501").toString(),
                 QStringLiteral("Чай"));

        msg_->answer(fx_->writeFile("TEMP/firms.txt",
                                    toCp1251(QStringLiteral("1:[123456789]\t3:[Север]\t11:[Иван]\r\n"))));
        trigger(Command::N_Import_Kontragents);
        const qint64 firm = scalarSql(db(), "SELECT ID FROM Firmi WHERE EIK = '123456789'").toLongLong();
        QVERIFY(firm > 0);
        QVERIFY(panel->toPlainText().contains("Север"));

        msg_->answer(fx_->writeFile("TEMP/numbers.txt",
                                    QStringLiteral("1:[501]\t2:[X-1]\t3:[%1]\r\n").arg(firm).toLatin1()));
        trigger(Command::N_Imp_Nomenkl_Kontrag);
        QCOMPARE(scalarSql(db(), "SELECT Nomenkl_N FROM Nomenklatures WHERE ID = 501").toString(),
                 QStringLiteral("X-1"));

        const QString articles = fx_->root() + "TEMP/out_articles.txt";
        script.next<Form_Export_Data>([&](Form_Export_Data* w) {
            click(*w, "Button_Clear_All");
            auto* list = control<QListWidget>(*w, "CheckListBox_Fields");
            list->setCurrentRow(0);
            QTest::keyClick(list, Qt::Key_Space);
            msg_->answer(articles);
            click(*w, "Button_Export");
        });
        trigger(Command::N_Export_art);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(test::Fixture::readFile(articles), QByteArray("1:[7]\t\r\n1:[501]\t\r\n1:[1024]\t\r\n"));

        const QString firms = fx_->root() + "TEMP/out_firms.txt";
        script.next<Form_Export_Data>([&](Form_Export_Data* w) {
            msg_->answer(firms);
            click(*w, "Button_Export");
        });
        trigger(Command::N_Export_Kontrag);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QVERIFY(fromCp1251(test::Fixture::readFile(firms)).contains("1:[123456789]\t2:[]\t3:[Север]"));
        QCOMPARE(opened_, QStringList({articles, firms}));
    }

    // The article list's and the counterparty list's "Експорт ..." entries
    // open the export window with their fields.
    void listExportEntries() {
        TForm_Artikuli articles(test::context(fx_->session()), kBrowseArticles);
        articles.show();
        test::ModalScript script;
        script.next<Form_Export_Data>([](Form_Export_Data* w) {
            QCOMPARE(control<QListWidget>(*w, "CheckListBox_Fields")->item(0)->text(),
                     QStringLiteral("1: Арт. номер"));
            click(*w, "Button_Cancel");
        });
        control<QAction>(articles, "N_Export")->trigger();
        QVERIFY2(script.finished(), qPrintable(script.failure()));

        TForm_Kontrakents firms(test::context(fx_->session()), kBrowseCounterparties);
        firms.show();
        script.next<Form_Export_Data>([](Form_Export_Data* w) {
            QCOMPARE(control<QListWidget>(*w, "CheckListBox_Fields")->item(0)->text(),
                     QStringLiteral("1: Булстат/ЕИК"));
            click(*w, "Button_Cancel");
        });
        control<QAction>(firms, "N_Export")->trigger();
        QVERIFY2(script.finished(), qPrintable(script.failure()));
    }
};

QTEST_MAIN(RevisionWindowTest)
#include "test_revision_window.moc"
