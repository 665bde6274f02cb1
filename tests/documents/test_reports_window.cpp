// The issued-documents report and the own-queries window driven through
// their controls in the main window: an invoice printed from the shop is
// found, its lines shown as the operator moves through the documents, and
// printed again as a copy under its own number.

#include "common/grid_export.h"
#include "common/profile_file.h"
#include "common/sql.h"
#include "common/texts.h"
#include "common/ui/desktop.h"
#include "common/ui/form_get_kol.h"
#include "common/ui/form_print_vid_fail.h"
#include "counterparties/ui/counterparty_picker.h"
#include "counterparties/ui/form_kontrakents.h"
#include "documents/print_run.h"
#include "documents/texts.h"
#include "documents/ui/form_create_own_query.h"
#include "documents/ui/form_spr_izd_dok.h"
#include "sales/ui/sales_module.h"
#include "sales/ui/shop_page.h"
#include "support/fixture.h"
#include "support/main_window.h"
#include "support/modal_script.h"
#include "support/scripted_messages.h"
#include "support/window_helpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QStyleHints>
#include <QTableView>
#include <QTest>
#include <QToolButton>

using namespace torvika;

namespace {

QString pdfText(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput()).simplified();
}

void tick(const QWidget& w, const char* box) {
    QTest::mouseClick(test::control<QCheckBox>(w, box), Qt::LeftButton);
}

const QDateTime kNow(QDate(2024, 5, 17), QTime(10, 30, 5));

} // namespace

class ReportsWindowTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    std::unique_ptr<test::ScriptedMessages> msg_;
    std::unique_ptr<test::MainWindow> main_;
    QList<qint64> lines_;
    QSqlDatabase db() { return fx_->db(); }
    ShopPage* page() { return main_->modules.get<SalesModule>().shopPage(); }
    QString number() {
        return scalarSql(db(), "SELECT N_Dok FROM Dokumenti WHERE Opisanie = 'Фактура'").toString();
    }
    int registered() { return scalarSql(db(), "SELECT COUNT(*) FROM Printed_Dok").toInt(); }
    QString pdf(const char* name) { return fx_->root() + QString::fromLatin1(name); }

    // The invoice of the shop's rows, printed into the file.
    void printInvoice(const QList<int>& rows, const QString& file) {
        QTableView* grid = page()->findChild<QTableView*>("DBGrid1");
        grid->clearSelection();
        for (int row : rows)
            grid->selectionModel()->select(grid->model()->index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
        auto* toggle = page()->findChild<QToolButton*>("SpdBtn_Pokaji_Dokuments");
        if (!toggle->isChecked())
            QTest::mouseClick(toggle, Qt::LeftButton);
        test::tickOnly(page()->findChild<QListWidget*>("ChkListBox_Pokaj_Dokum"), "Фактура");
        test::tickOnly(page()->findChild<QListWidget*>("CheckListBox_Printers"), texts::kPdfPrinter);
        msg_->answer("в брой");
        msg_->answer(file);
        QTest::mouseClick(page()->findChild<QPushButton*>("Button_Pe4at_Dokumenti"), Qt::LeftButton);
    }

    std::unique_ptr<TForm_Spr_Izd_Dok> openReport() {
        auto w = std::make_unique<TForm_Spr_Izd_Dok>(main_->form.context());
        w->show();
        return w;
    }

    QStringList shownNumbers(const QWidget& w) {
        auto* grid = test::control<QTableView>(w, "DBGrid_Dok");
        QStringList out;
        for (int r = 0; r < grid->model()->rowCount(); ++r)
            out << grid->model()->index(r, 1).data().toString();
        return out;
    }
    int lineRows(const QWidget& w) { return test::control<QTableView>(w, "DBGrid_Art")->model()->rowCount(); }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        msg_ = std::make_unique<test::ScriptedMessages>();
        fx_->session().clock = [] { return kNow; };
        const QString docs = fx_->session().programDir.documentationsDir();
        QDir().mkpath(docs);
        for (const QString& f : QDir(TORVIKA_SOURCE_DIR "/documentations").entryList(QDir::Files))
            QFile::copy(TORVIKA_SOURCE_DIR "/documentations/" + f, docs + u'/' + f);
        execSql(db(), "INSERT INTO Firmi (ID, Ime_Firma, Adres_Firma, EIK, ID_Mol, Nomer_Grupa) VALUES "
                      "(5, 'Бета Трейд ООД', 'ул. Витоша 12', '123456789', 7, 0)");
        execSql(db(), "INSERT INTO Klienti (ID, Ime_Klient) VALUES (7, 'Петър Петров')");
        execSql(db(), "UPDATE Dokumenti SET N_Dok = '000125' WHERE Opisanie = 'Фактура'");
        const QList<std::pair<const char*, int>> lines{
            {"Кафе мляно 250 г", 1}, {"Чай зелен", 3}, {"Захар 1 кг", 3}};
        for (const auto& [name, group] : lines)
            lines_ << insertReturningKey(
                db(),
                "INSERT INTO Prodajbi_Vremenni (Barkod, Opisanie, Kol, Mqrka, Ed_Cena, "
                "Valuta, Operator, T_O, SUM_BezDDS, Bez_DDS, Sm_N, Dan_Grup) VALUES "
                "(10, ?, 2, 'бр.', 12, 'Лева', ?, 0, 20, 10, 0, ?)",
                {QString::fromUtf8(name), test::kFirstOperator, group}, "N_Prodajba");
        main_ = std::make_unique<test::MainWindow>(fx_->session());
        QVERIFY(main_->start());
        fx_->session().setSaleCounterparty("5:Бета Трейд ООД");
        page()->refresh();
    }
    void cleanup() {
        QCOMPARE(msg_->unexpected, 0);
        main_.reset();
        msg_.reset();
        fx_.reset();
    }

    // The menu command opens the report, modally, with its caption.
    void menuCommand() {
        test::ModalScript script;
        script.next<TForm_Spr_Izd_Dok>([](TForm_Spr_Izd_Dok* w) {
            QCOMPARE(w->windowTitle(), QStringLiteral("Справка издадени документи"));
            w->reject();
        });
        main_->form.runCommand(Command::N_Spr_Izd_Dok);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
    }

    // An invoice printed in the shop is found by kind and number, shows its
    // lines and their total, and is printed again as a copy: its number,
    // "КОПИЕ", no new number taken and nothing registered again.
    void findAndReprintCopy() {
        printInvoice({0, 2}, pdf("invoice.pdf"));
        QCOMPARE(number(), "000126");
        QCOMPARE(registered(), 2);
        msg_->clear();
        auto w = openReport();
        tick(*w, "ChkBox_Vid_Dok");
        auto* kinds = test::control<QComboBox>(*w, "ComboBox_Vid_Dok");
        test::chooseItem(kinds, kinds->findText("1:Фактура"));
        tick(*w, "ChkBox_N_Dok");
        test::typeAndEnter(*w, "Edit_N_Dok", "000125");
        test::click(*w, "Button_Search");
        QCOMPARE(shownNumbers(*w), QStringList{"000125"});
        auto* docs = test::control<QTableView>(*w, "DBGrid_Dok");
        QCOMPARE(docs->model()->index(0, 2).data().toString(), "Бета Трейд ООД");
        QCOMPARE(docs->model()->index(0, 3).data().toString(), "17.05.2024");
        QCOMPARE(lineRows(*w), 2);
        QCOMPARE(test::control<QLabel>(*w, "Label_SUM")->text(), "48.00");

        msg_->answer("в брой");
        msg_->answer(pdf("copy.pdf"));
        test::click(*w, "Button_Pe4at");
        QCOMPARE(msg_->messages, QStringList{});
        QCOMPARE(number(), "000126");
        QCOMPARE(registered(), 2);
        const QString text = pdfText(pdf("copy.pdf"));
        QVERIFY2(text.contains("КОПИЕ") && !text.contains("ОРИГИНАЛ"), qPrintable(text));
        QVERIFY2(text.contains("Фактура №: 000125"), qPrintable(text));
        QVERIFY2(text.contains("Сума за плащане: 48.00"), qPrintable(text));

        // Another number finds nothing; the lines and total are cleared.
        test::typeAndEnter(*w, "Edit_N_Dok", "000999");
        test::click(*w, "Button_Search");
        QCOMPARE(shownNumbers(*w), QStringList{});
        QCOMPARE(lineRows(*w), 0);
        QCOMPARE(test::control<QLabel>(*w, "Label_SUM")->text(), texts::kTotalZero);
    }

    // Moving through the documents with the arrow keys shows each one's
    // lines; the date filter "между" takes both dates.
    void arrowKeysAndDates() {
        printInvoice({0, 2}, pdf("first.pdf"));
        printInvoice({1}, pdf("second.pdf"));
        QCOMPARE(registered(), 3);
        msg_->clear();
        auto w = openReport();
        tick(*w, "ChkBox_Data");
        auto* op = test::control<QComboBox>(*w, "ComboBox1");
        QVERIFY(!test::control<QDateEdit>(*w, "DateTimePicker_Do")->isVisible());
        test::chooseItem(op, 3);
        QVERIFY(test::control<QDateEdit>(*w, "DateTimePicker_Do")->isVisible());
        test::control<QDateEdit>(*w, "DateTimePicker_Data")->setDate(QDate(2024, 5, 1));
        test::control<QDateEdit>(*w, "DateTimePicker_Do")->setDate(QDate(2024, 5, 31));
        test::click(*w, "Button_Search");
        QStringList numbers = shownNumbers(*w);
        numbers.sort();
        QCOMPARE(numbers, (QStringList{"000125", "000126"}));
        auto* docs = test::control<QTableView>(*w, "DBGrid_Dok");
        const QString first = docs->model()->index(0, 1).data().toString();
        const int firstLines = first == "000125" ? 2 : 1;
        QCOMPARE(lineRows(*w), firstLines);
        docs->setFocus();
        QTest::keyClick(docs, Qt::Key_Down);
        QCOMPARE(docs->currentIndex().row(), 1);
        QCOMPARE(lineRows(*w), 3 - firstLines);
        QTest::keyClick(docs, Qt::Key_Up);
        QCOMPARE(lineRows(*w), firstLines);
        // A title click sorts by its column, the next one the other way.
        test::clickTitle(docs, 1);
        QCOMPARE(shownNumbers(*w), (QStringList{"000125", "000126"}));
        QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 50); // not a double click
        docs->setCurrentIndex(docs->model()->index(1, 1));
        test::clickTitle(docs, 1);
        QCOMPARE(shownNumbers(*w), (QStringList{"000126", "000125"}));
        QCOMPARE(lineRows(*w), 1);

        // A month before finds none.
        test::control<QDateEdit>(*w, "DateTimePicker_Data")->setDate(QDate(2024, 4, 1));
        test::control<QDateEdit>(*w, "DateTimePicker_Do")->setDate(QDate(2024, 4, 30));
        test::click(*w, "Button_Search");
        QCOMPARE(shownNumbers(*w), QStringList{});
    }

    // "Печат Нов Документ": a document of another kind for the lines of the
    // one moved to, numbered and registered as a new document of its kind.
    void furtherDocument() {
        printInvoice({0, 2}, pdf("invoice.pdf"));
        msg_->clear();
        auto w = openReport();
        test::click(*w, "Button_Search");
        QCOMPARE(shownNumbers(*w), QStringList{"000125"});
        test::click(*w, "Button1");
        QCOMPARE(msg_->messages, QStringList{texts::kNoFurtherKindTicked});
        msg_->clear();
        test::tickOnly(test::control<QListWidget>(*w, "CheckListBox_New_Dok"), "Стокова разписка");
        msg_->answer(pdf("note.pdf"));
        test::click(*w, "Button1");
        QCOMPARE(msg_->messages, QStringList{});
        const SqlRows note =
            readRows(db(), "SELECT P.ID_Prod, P.N_Dok FROM Printed_Dok P JOIN Dokumenti D ON "
                           "D.ID_Dokument = P.ID_Dok WHERE D.Opisanie = 'Стокова разписка' "
                           "ORDER BY P.ID_Prod");
        QCOMPARE(note.rows.size(), 2);
        QCOMPARE(note.rows[0][0].toLongLong(), lines_[0]);
        QCOMPARE(note.rows[1][0].toLongLong(), lines_[2]);
        QCOMPARE(note.rows[0][1].toString(), "0000000001");
        QVERIFY2(pdfText(pdf("note.pdf")).contains("ОРИГИНАЛ"), qPrintable(pdfText(pdf("note.pdf"))));
        QCOMPARE(number(), "000126");
        QCOMPARE(test::control<QListWidget>(*w, "CheckListBox_New_Dok")->item(0)->checkState(),
                 Qt::Unchecked);
    }

    // "Контрагент" opens the counterparty list over the report; its choice
    // narrows the search. Cleared, the label goes back to none chosen.
    void counterpartyFilter() {
        printInvoice({0}, pdf("first.pdf"));
        execSql(db(), "INSERT INTO Firmi (ID, Ime_Firma, ID_Mol, Nomer_Grupa) VALUES (6, 'Гама АД', 0, 0)");
        msg_->clear();
        auto w = openReport();
        {
            test::ModalScript script;
            script.next<TForm_Kontrakents>([](TForm_Kontrakents* list) {
                QCOMPARE(list->mode(), int(kSelectIssuedDocuments));
                QVERIFY(list->positionOn(6));
                test::control<QPushButton>(*list, "BitBtn_Izberi")->click();
            });
            tick(*w, "ChkBox_Kontragent");
            QVERIFY2(script.finished(), qPrintable(script.failure()));
        }
        QCOMPARE(test::control<QLabel>(*w, "Label_Kontrag")->text(), "6:Гама АД");
        test::click(*w, "Button_Search");
        QCOMPARE(shownNumbers(*w), QStringList{});
        {
            test::ModalScript script;
            script.next<TForm_Kontrakents>([](TForm_Kontrakents* list) {
                QVERIFY(list->positionOn(5));
                test::control<QPushButton>(*list, "BitBtn_Izberi")->click();
            });
            tick(*w, "ChkBox_Kontragent"); // cleared
            QCOMPARE(test::control<QLabel>(*w, "Label_Kontrag")->text(), texts::kNoCounterpartyChosen);
            tick(*w, "ChkBox_Kontragent");
            QVERIFY2(script.finished(), qPrintable(script.failure()));
        }
        test::click(*w, "Button_Search");
        QCOMPARE(shownNumbers(*w), QStringList{"000125"});
    }

    // ---- own queries

    std::unique_ptr<TForm_Create_Own_Query> openQueries(TForm_Create_Own_Query::Mode mode) {
        auto w = std::make_unique<TForm_Create_Own_Query>(main_->form.context(), mode);
        w->show();
        return w;
    }
    // Types the statement line by line into the statement field.
    void typeQuery(const QWidget& w, const QStringList& lines) {
        auto* memo = test::control<QPlainTextEdit>(w, "Memo1");
        memo->setFocus();
        memo->selectAll();
        QTest::keyClick(memo, Qt::Key_Delete);
        for (int i = 0; i < lines.size(); ++i) {
            if (i > 0)
                QTest::keyClick(memo, Qt::Key_Return);
            test::typeText(memo, lines[i]);
        }
    }
    void generate(TForm_Create_Own_Query& w) {
        test::click(w, "Button_Create");
        QTRY_VERIFY_WITH_TIMEOUT(!w.running(), 30000);
    }

    // A query that joins the sales and the articles with GROUP BY: run,
    // totalled and averaged by column, stored whole under a name, exported
    // through the grid export, and read back in the use mode.
    void ownQueryJoinedAndExported() {
        execSql(db(), "INSERT INTO Produkti (ID, Opisanie) VALUES (10, 'Кафе'), (11, 'Чай')");
        execSql(db(), "INSERT INTO Prodajbi (ID_Prodajba, ID_Art, Kol, ED_Cena, Valuta) VALUES "
                      "(1, 10, 2, 5, 'Лева'), (2, 10, 1, 5, 'Лева'), (3, 11, 4, 1.5, 'Лева')");
        const QStringList query{"SELECT A.Opisanie AS Artikul, SUM(S.Kol * S.ED_Cena) AS Suma",
                                "FROM Prodajbi S JOIN Produkti A ON A.ID = S.ID_Art",
                                "GROUP BY A.Opisanie ORDER BY A.Opisanie;"};
        auto w = openQueries(TForm_Create_Own_Query::Design);
        typeQuery(*w, query);
        generate(*w);
        QCOMPARE(msg_->messages, QStringList{});
        auto* grid = test::control<QTableView>(*w, "DBGrid1");
        QCOMPARE(grid->model()->rowCount(), 2);
        QCOMPARE(grid->model()->index(0, 0).data().toString(), "Кафе");
        QCOMPARE(grid->model()->index(0, 1).data().toString(), "15");
        QCOMPARE(test::control<QLabel>(*w, "Label_Rows")->text(), texts::kOwnQueryRows.arg(2));

        // "Изчисли" only for the column of numbers.
        auto* calculate = test::control<QAction>(*w, "N_Izchisli");
        grid->setCurrentIndex(grid->model()->index(0, 0));
        QVERIFY(!calculate->isVisible());
        grid->setCurrentIndex(grid->model()->index(1, 1));
        QVERIFY(calculate->isVisible());
        test::control<QAction>(*w, "N_Obshta_Suma")->trigger();
        QCOMPARE(test::control<QLineEdit>(*w, "Edit_Result")->text(), "21.00");
        test::control<QAction>(*w, "N_Sredna_Stoinost")->trigger();
        QCOMPARE(test::control<QLineEdit>(*w, "Edit_Result")->text(), "10.50");

        {
            test::ModalScript script;
            script.next<TForm_Get_Kol>([](TForm_Get_Kol* d) {
                auto* field = d->findChild<QLineEdit*>("Edit_Kol");
                field->selectAll();
                test::typeText(field, "Продажби по артикул");
                QTest::mouseClick(d->findChild<QPushButton*>("Button_Priemi"), Qt::LeftButton);
            });
            test::click(*w, "Button_Save");
            QVERIFY2(script.finished(), qPrintable(script.failure()));
        }
        QCOMPARE(test::control<QComboBox>(*w, "ComboBox_SQLs")->currentText(), "1:Продажби по артикул");

        QStringList opened;
        const FileOpener previous = setFileOpener([&opened](const QString& f) {
            opened << f;
            return true;
        });
        {
            test::ModalScript script;
            script.next<TForm_Print_Vid_Fail>([](TForm_Print_Vid_Fail* chooser) {
                test::control<QPushButton>(*chooser, "BitBtn_Priemi")->click();
            });
            test::click(*w, "Button_Print");
            QVERIFY2(script.finished(), qPrintable(script.failure()));
        }
        setFileOpener(previous);
        QCOMPARE(opened.size(), 1);
        QVERIFY(opened[0].endsWith("/TEMP/Own_Query.txt"));
        const QString file = QString::fromUtf8(test::Fixture::readFile(opened[0]));
        QVERIFY2(file.startsWith("\xEF\xBB\xBFСОБСТВЕНИ СПРАВКИ\r\nДата: 17.05.2024 10:30:05\r\n"
                                 "Оператор: Администратор\r\nТип на справката: 1:ПРОДАЖБИ ПО АРТИКУЛ\r\n"),
                 qPrintable(file));
        QVERIFY(file.contains("|Кафе"));
        QVERIFY(file.contains("|Чай"));
        QVERIFY(file.endsWith(footerLine() + "\r\n"));
        w.reset();

        // The use mode: the stored statement whole, not to be edited or stored.
        auto use = openQueries(TForm_Create_Own_Query::Use);
        QVERIFY(test::control<QPlainTextEdit>(*use, "Memo1")->isReadOnly());
        QVERIFY(!test::control<QPushButton>(*use, "Button_Save")->isVisible());
        test::chooseItem(test::control<QComboBox>(*use, "ComboBox_SQLs"), 0);
        QCOMPARE(test::control<QPlainTextEdit>(*use, "Memo1")->toPlainText(), query.join("\n"));
        generate(*use);
        QCOMPARE(test::control<QTableView>(*use, "DBGrid1")->model()->rowCount(), 2);
    }

    // Queries that would write are refused with their reason and the
    // database stays as it was; a query that runs on is stopped.
    void ownQueryRefusedAndCancelled() {
        const int articles = scalarSql(db(), "SELECT COUNT(*) FROM Produkti").toInt();
        auto w = openQueries(TForm_Create_Own_Query::Design);
        const QList<std::pair<QString, QString>> refused{
            {"DELETE FROM Prodajbi_Vremenni", texts::kOwnQuerySelectOnly},
            {"UPDATE Dokumenti SET N_Dok = '1'", texts::kOwnQuerySelectOnly},
            {"PRAGMA writable_schema = ON", texts::kOwnQuerySelectOnly},
            {"SELECT 1; DELETE FROM Prodajbi_Vremenni", texts::kOwnQueryOneStatement}};
        for (const auto& [query, reason] : refused) {
            msg_->clear();
            typeQuery(*w, {query});
            generate(*w);
            QCOMPARE(msg_->messages, QStringList{reason});
        }
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Prodajbi_Vremenni").toInt(), 3);
        QCOMPARE(number(), "000125");
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Produkti").toInt(), articles);

        // A database error is shown with its text.
        msg_->clear();
        typeQuery(*w, {"SELECT * FROM No_Such_Table"});
        generate(*w);
        QCOMPARE(msg_->messages.size(), 1);
        QVERIFY2(msg_->messages[0].contains("no_such_table", Qt::CaseInsensitive),
                 qPrintable(msg_->messages[0]));

        msg_->clear();
        typeQuery(*w,
                  {"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) SELECT COUNT(*) FROM n"});
        test::click(*w, "Button_Create");
        QVERIFY(w->running());
        QVERIFY(!test::control<QPushButton>(*w, "Button_Create")->isEnabled());
        QTest::qWait(200);
        test::click(*w, "Button_Cancel");
        QTRY_VERIFY_WITH_TIMEOUT(!w->running(), 30000);
        QCOMPARE(msg_->messages, QStringList{texts::kOwnQueryCancelled});
        QVERIFY(test::control<QPushButton>(*w, "Button_Create")->isEnabled());
        QCOMPARE(test::control<QTableView>(*w, "DBGrid1")->model()->rowCount(), 0);
    }
};

QTEST_MAIN(ReportsWindowTest)
#include "test_reports_window.moc"
