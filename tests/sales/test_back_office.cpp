// The back office in the main window: the cash desk count of the shop page,
// the sales report opened from its menu (criteria, totals, invalidation,
// documents for chosen lines), a sale on credit made at the till through
// the consignment dialog, and its instalments paid off in the instalments
// window with their vouchers and receipts.

#include "catalogue/stock.h"
#include "common/grid_export.h"
#include "common/sql.h"
#include "common/ui/desktop.h"
#include "common/ui/form_get_kol.h"
#include "common/ui/form_print_vid_fail.h"
#include "counterparties/ui/form_kontrakents.h"
#include "documents/ui/form_spr_izd_dok.h"
#include "sales/ui/form_konsignation.h"
#include "sales/ui/form_pay_type.h"
#include "sales/ui/form_spr_invalidate_sales.h"
#include "sales/ui/form_spravka_prodajba.h"
#include "sales/ui/form_vnoski_kredit.h"
#include "sales/ui/shop_page.h"
#include "support/fixture.h"
#include "support/main_window.h"
#include "support/modal_script.h"
#include "support/scripted_messages.h"
#include "support/window_helpers.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <QToolButton>

using namespace torvika;

namespace {

const QDateTime kNow(QDate(2025, 3, 4), QTime(18, 30, 0));

struct Row {
    qint64 id;
    qint64 article;
    const char* date;
    double quantity;
    double price;
    const char* currency = "Лева";
    qint64 counterparty = 0;
    double discount = 0;
    qint64 consignment = 0;
    const char* pay = "в брой";
    int terminal = 1;
};

void record(const QSqlDatabase& db, const Row& r) {
    execSql(
        db,
        "INSERT INTO Prodajbi (ID_Prodajba, ID_Art, Operator, D_Prodajba, T_Prodajba, Kol, ED_Cena, Valuta, "
        "ID_Klient, T_O, Konsign_N, Pored_Ot, Pored_Do, Type_Pay, Term_N, Sklad_ID) "
        "VALUES (?, ?, 'Иван', ?, '10:00:00', ?, ?, ?, ?, ?, ?, '', '', ?, ?, 1)",
        {r.id, r.article, QString::fromLatin1(r.date), r.quantity, r.price, QString::fromUtf8(r.currency),
         r.counterparty, r.discount, r.consignment, QString::fromUtf8(r.pay), r.terminal});
}

void click(QWidget* w) {
    QVERIFY2(w, "no such control");
    QTest::mouseClick(w, Qt::LeftButton);
}

// Ticks the check box on its box (a click beyond its text misses it).
void tick(QCheckBox* box) {
    QVERIFY2(box, "no such check box");
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

// Selects the rows of the grid in this order, as clicks with Ctrl would.
void selectRows(QTableView* grid, const QList<int>& rows) {
    grid->clearSelection();
    for (int row : rows)
        grid->selectionModel()->select(grid->model()->index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

// The grid's row of the sale line.
int rowOf(QTableView* grid, qint64 sale) {
    for (int r = 0; r < grid->model()->rowCount(); ++r)
        if (grid->model()->index(r, 0).data().toLongLong() == sale)
            return r;
    return -1;
}

void typeInto(QWidget* field, const QString& text) {
    field->setFocus();
    if (auto* e = qobject_cast<QLineEdit*>(field))
        e->selectAll();
    if (auto* s = qobject_cast<QAbstractSpinBox*>(field))
        s->selectAll();
    test::typeText(field, text);
}

} // namespace

class BackOfficeTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    std::unique_ptr<test::ScriptedMessages> msg_;
    std::unique_ptr<test::MainWindow> main_;
    QStringList opened_;
    QSqlDatabase db() { return fx_->db(); }
    ShopPage* page() { return main_->form.findChild<ShopPage*>(); }
    QString temp(const char* file) { return QDir(fx_->session().programDir.tempDir()).filePath(file); }
    QString label(const QWidget& w, const char* name) { return test::control<QLabel>(w, name)->text(); }
    QAction* menu(const char* command) { return main_->form.findChild<QAction*>(command); }
    int count(const QString& sql) { return scalarSql(db(), sql).toInt(); }

    // Runs the menu command with its window driven by the step.
    template <typename T> void runWindow(const char* command, std::function<void(T*)> step) {
        test::ModalScript script(20000);
        script.next<T>(std::move(step));
        trigger(command, script);
    }
    // Runs the menu command with the dialogs it opens driven by the script.
    void trigger(const char* command, test::ModalScript& script) {
        QAction* action = menu(command);
        QVERIFY2(action && action->isEnabled(), command);
        action->trigger();
        QVERIFY2(script.finished(), qPrintable(script.failure()));
    }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        msg_ = std::make_unique<test::ScriptedMessages>();
        fx_->session().clock = [] { return kNow; };
        opened_.clear();
        setFileOpener([this](const QString& f) {
            opened_ << f;
            return true;
        });
        fx_->firmData().writeString("Tuning", "19", "Bons");
        fx_->firmData().writeString("Tuning", "FB", "0");
        fx_->firmData().writeString("Store", "Active", "1");
        fx_->firmData().writeString("DBVer", "Term", "1");
        execSql(db(), "DELETE FROM Valuti");
        execSql(db(),
                "INSERT INTO Valuti (Opisanie, Kurs, Osn) VALUES ('Лева', 1, 'True'), ('BGL', 1, 'False'), "
                "('EUR', 1.95583, 'False')");
        execSql(db(), "INSERT INTO Grupi (ID, Opisanie) VALUES (1, 'Напитки')");
        execSql(
            db(),
            "INSERT INTO Produkti (ID, Opisanie, Nomer_Grupa, Ed_Cena, Valuta_P, Mqrka, Max_TO, Dan_Grup, "
            "Prigotvq_Se, Min_Kol) VALUES (10, 'Чай', 1, 2.5, 'Лева', 'бр.', 0, 1, 0, 0), "
            "(12, 'Уред', 1, 10, 'EUR', 'бр.', 0, 1, 0, 0)");
        execSql(
            db(),
            "INSERT INTO Firmi (ID, Ime_Firma, Adres_Firma, Grad, EIK, Dan_N, ID_Mol, Nomer_Grupa) VALUES "
            "(15, 'Бип ЕТ', 'ул. Витоша 12', 'София', '123456789', 'BG123456789', 7, 0)");
        execSql(db(), "INSERT INTO Klienti (ID, Ime_Klient, EGN) VALUES (7, 'Петър Петров', '7001011234')");
        GET_NALI4NOST(db(), 10, 1, 1, 100);
        main_ = std::make_unique<test::MainWindow>(fx_->session());
        QVERIFY(main_->start());
        main_->form.resize(1200, 800);
        main_->form.show();
        main_->form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main_->form));
    }
    void cleanup() {
        QCOMPARE(msg_->unexpected, 0);
        main_.reset();
        msg_.reset();
        fx_.reset();
        setFileOpener({});
    }

    // "Паричен калкулатор": today's cash of this till (7.00), three 2-leva
    // coins and a 50-stotinki one counted, Enter computes, "Печат" writes
    // the count report and opens it, a second press hides the panel.
    void cashDeskCount() {
        record(db(), {1, 10, "2025-03-04", 2, 2.5});
        record(db(), {2, 0, "2025-03-04", 1, 2, "BGL", 15}); // an instalment paid here
        record(db(), {3, 10, "2025-03-04", 1, 100, "Лева", 0, 0, 0, "по банков път"});
        record(db(), {4, 10, "2025-03-04", 1, 9, "Лева", 0, 0, 0, "в брой", 2});
        record(db(), {5, 10, "2025-03-03", 1, 9});
        QWidget* panel = test::control<QWidget>(main_->form, "Panel_Kasa");
        QVERIFY(!panel->isVisible());
        click(test::control<QToolButton>(main_->form, "SpdBtn_Kasa"));
        QVERIFY(panel->isVisible());
        QCOMPARE(label(*panel, "Label_Oborot"), "7.00");
        QCOMPARE(label(*panel, "Label_Nali4no"), "0.00");
        typeInto(test::control<QSpinBox>(*panel, "SpEdit_2lv"), "3");
        auto* fifty = test::control<QSpinBox>(*panel, "SpEdit_50st");
        typeInto(fifty, "1");
        QTest::keyClick(fifty, Qt::Key_Return);
        QCOMPARE(label(*panel, "Label_Nali4no"), "6.50");
        QCOMPARE(label(*panel, "Label_Razlika"), "-0.50");

        click(test::control<QPushButton>(*panel, "SpeedButton1"));
        QCOMPARE(opened_, QStringList{temp("Account.tmp")});
        QByteArray expected = "ОТЧЕТ - КАСА\r\nЗА ДАТА: 04.03.2025 18:30:00\r\nСУМА ОБОРОТ: 7.00 Лева\r\n"
                              "НАЛИЧНОСТ: 6.50 Лева\r\nОператор: Администратор\r\n\r\nВАЛУТЕН ОПИС\r\n"
                              "-------------------------\r\n";
        const QList<QByteArray> middles{
            " x 0.01  = ",  " x 0.02  = ",  " x 0.05  = ",  " x 0.10  = ", " x 0.20  = ",
            " x 0.50  = ",  " x 1.00  = ",  " x 2.00  = ",  " x 5.00  = ", " x 10.00  = ",
            " x 20.00  = ", " x 50.00  = ", " x 100.00  = "};
        for (const QByteArray& m : middles)
            expected += m == " x 0.50  = "   ? "1" + m + "0.50\r\n"
                        : m == " x 2.00  = " ? "3" + m + "6.00\r\n"
                                             : "0" + m + "0.00\r\n";
        expected += "-------------------------\r\nОБЩО: 6.50\r\n";
        QCOMPARE(test::Fixture::readFile(temp("Account.tmp")), expected);

        click(test::control<QToolButton>(main_->form, "SpdBtn_Kasa"));
        QVERIFY(!panel->isVisible());
        QVERIFY(msg_->shown.isEmpty());
    }

    // "Справки" / "Продажби": every line listed, the totals by payment state,
    // a criterion narrowing both, the open credit's line in red.
    void salesReportSearches() {
        record(db(), {1, 10, "2025-03-04", 2, 2.5});
        record(db(), {2, 12, "2025-03-04", 2, 10, "EUR", 15, 10, 0, "по банков път"});
        record(db(), {3, 10, "2025-03-03", 4, 2.5, "Лева", 15, 0, 5, "отложено плащане"});
        record(db(), {4, 0, "2025-03-03", 1, 3, "BGL", 15});
        record(db(), {5, 10, "2025-03-01", 1, 2.5, "Лева", 15, 0, -1, "отложено плащане"});
        runWindow<TForm_Spravka_prodajba>("N_Spravka_Prodajba", [this](TForm_Spravka_prodajba* w) {
            auto* grid = test::control<QTableView>(*w, "DBGrid1");
            QCOMPARE(grid->model()->rowCount(), 0);
            click(test::control<QPushButton>(*w, "Button_Search"));
            QCOMPARE(grid->model()->rowCount(), 5);
            QCOMPARE(label(*w, "Label_Ob6to_SUM"), "Обща сума платено в брой лева: 43.20");
            QCOMPARE(label(*w, "Label_Ob6to_SUM_Konsign"), "Обща сума на задължения в лева : 10.00");
            QCOMPARE(label(*w, "Label_Ob6to_SUM_Plateni_Konsign"),
                     "Обща сума на платени задължения в лева : 2.50");
            // The euro line in leva: 2 × 10 × 1.95583 less 10 %.
            QCOMPARE(grid->model()->index(rowOf(grid, 2), 9).data().toString(), "35.20");

            // "Дата" between the 3rd and today, "Тип плащане" "отложено плащане".
            tick(test::control<QCheckBox>(*w, "CheckBox_Data"));
            auto* comparison = test::control<QComboBox>(*w, "ComboBox_Select_Data");
            comparison->setCurrentIndex(3);
            QVERIFY(test::control<QWidget>(*w, "DateTimePicker_Data_Do")->isVisible());
            test::control<QDateEdit>(*w, "DateTimePicker_Data_Ot")->setDate(QDate(2025, 3, 3));
            tick(test::control<QCheckBox>(*w, "CheckBox_Type_Pay"));
            test::control<QComboBox>(*w, "ComboBox_Type_Pay")->setCurrentIndex(2);
            click(test::control<QPushButton>(*w, "Button_Search"));
            QCOMPARE(grid->model()->rowCount(), 1);
            QCOMPARE(grid->model()->index(0, 0).data().toLongLong(), 3);
            QCOMPARE(label(*w, "Label_Ob6to_SUM"), "Обща сума платено в брой лева: 0.00");
            QCOMPARE(label(*w, "Label_Ob6to_SUM_Konsign"), "Обща сума на задължения в лева : 10.00");
            w->reject();
        });
        QVERIFY(msg_->shown.isEmpty());
    }

    // "Контрагент" ticked opens the counterparty list in its mode 4; the
    // choice narrows the list to that counterparty's lines.
    void salesReportCounterpartyFromTheList() {
        record(db(), {1, 10, "2025-03-04", 2, 2.5});
        record(db(), {2, 10, "2025-03-04", 1, 2.5, "Лева", 15});
        test::ModalScript script(20000);
        script.next<TForm_Spravka_prodajba>([this](TForm_Spravka_prodajba* w) {
            tick(test::control<QCheckBox>(*w, "CheckBox_Kontragent"));
            QCOMPARE(label(*w, "Label_Kontragent"), "15:Бип ЕТ");
            click(test::control<QPushButton>(*w, "Button_Search"));
            auto* grid = test::control<QTableView>(*w, "DBGrid1");
            QCOMPARE(grid->model()->rowCount(), 1);
            QCOMPARE(grid->model()->index(0, 0).data().toLongLong(), 2);
            w->reject();
        });
        script.next<TForm_Kontrakents>([](TForm_Kontrakents* list) {
            QCOMPARE(list->mode(), 4);
            QVERIFY(list->positionOn(15));
            click(test::control<QPushButton>(*list, "BitBtn_Izberi"));
        });
        trigger("N_Spravka_Prodajba", script);
    }

    // "Изплащане вноски" without a sale counterparty: no credit, nothing to pay.
    void instalmentsWithoutCredit() {
        runWindow<TForm_Vnoski_Kredit>("N5", [this](TForm_Vnoski_Kredit* w) {
            QCOMPARE(test::control<QComboBox>(*w, "ComboBox_N_Kredit")->count(), 0);
            QVERIFY(!test::control<QPushButton>(*w, "Button_Izplati")->isEnabled());
            QCOMPARE(label(*w, "Label_Ob6to_Sum"), "0.0000");
            click(test::control<QPushButton>(*w, "Button_Zatvori"));
        });
        QVERIFY(msg_->shown.isEmpty());
    }

    // The counterparty list's pop-up "Изплащане на вноски" opens the
    // instalments window with the current row's open credits.
    void instalmentsFromTheCounterpartyList() {
        CreditTerms terms;
        terms.counterparty = 15;
        terms.handover = kNow.date();
        terms.instalments = 2;
        Transaction t(db());
        const CreditRecord credit = recordCredit(db(), terms, Decimal(50), {"Иван", kNow, 1, 1});
        t.commit();
        test::ModalScript script(20000);
        script.next<TForm_Kontrakents>([](TForm_Kontrakents* list) {
            QVERIFY(list->positionOn(15));
            QAction* pay = list->findChild<QAction*>("N_Izplashtane_Vnoski");
            QVERIFY(pay && pay->isEnabled());
            pay->trigger();
            list->reject();
        });
        script.next<TForm_Vnoski_Kredit>([this, credit](TForm_Vnoski_Kredit* w) {
            QCOMPARE(label(*w, "Label_Kontrag_Vnoski"), "15:Бип ЕТ");
            QCOMPARE(test::control<QComboBox>(*w, "ComboBox_N_Kredit")->currentText(),
                     QString::number(credit.consignment));
            QCOMPARE(label(*w, "Label_Sum_Vnoska"), "25.0000");
            click(test::control<QPushButton>(*w, "Button_Zatvori"));
        });
        trigger("N_Klienti", script);
    }

    // "Печат" of the sales report: the heading names the criteria, the
    // totals close the file before the footer line.
    void salesReportPrint() {
        record(db(), {1, 10, "2025-03-04", 2, 2.5});
        record(db(), {3, 10, "2025-03-04", 4, 2.5, "Лева", 15, 0, 5, "отложено плащане"});
        record(db(), {5, 10, "2025-03-01", 1, 2.5});
        test::ModalScript script(20000);
        script.next<TForm_Spravka_prodajba>([this](TForm_Spravka_prodajba* w) {
            tick(test::control<QCheckBox>(*w, "CheckBox_Data"));
            click(test::control<QPushButton>(*w, "Button_Search"));
            QCOMPARE(test::control<QTableView>(*w, "DBGrid1")->model()->rowCount(), 2);
            click(test::control<QPushButton>(*w, "Button1"));
            w->reject();
        });
        script.next<TForm_Print_Vid_Fail>([](TForm_Print_Vid_Fail* chooser) {
            click(test::control<QPushButton>(*chooser, "BitBtn_Priemi"));
        });
        trigger("N_Spravka_Prodajba", script);
        QCOMPARE(opened_, QStringList{temp("Spr_Prod.txt")});
        const QString text = QString::fromUtf8(test::Fixture::readFile(temp("Spr_Prod.txt")));
        QVERIFY2(text.startsWith("\xEF\xBB\xBF\r\n\tСправка продажби \r\n\r\n\tДата:04.03.2025 18:30:00\r\n"
                                 "\tТЪРСЕНЕ ПО:\r\n\t  Дата:04.03.2025\r\n"),
                 qPrintable(text));
        QVERIFY2(text.endsWith("\r\n\r\n\tОбща сума платено в брой лева: 5.00\r\n"
                               "\tОбща сума на задължения в лева : 10.00\r\n"
                               "\tОбща сума на платени задължения в лева : 0.00\r\n\t" +
                               footerLine() + "\r\n"),
                 qPrintable(text));
    }

    // "Справки" / "Анулирани" / "Продажби": the filters the operator ticks,
    // the reason found in any case, the list printed.
    void invalidatedSalesReport() {
        const char* insert =
            "INSERT INTO Invalidate_Sales (ID_Prodajba, ID_Art, Operator, D_Prodajba, T_Prodajba, Kol, "
            "Ed_Cena, "
            "Valuta, ID_Klient, T_O, Pored_Ot, Pored_Do, Konsign_N, Type_pay, Term_N, Osnovanie, Anuliral, "
            "Date_Invalidate, Time_Invalidate, Sklad_ID, Stock_Back) VALUES "
            "(?, 10, 'Иван', '2025-03-01', '10:00:00', 1, 2.5, 'Лева', ?, 0, '', '', 0, 'в брой', 1, ?, ?, "
            "?, "
            "'11:00:00', 1, 'True')";
        execSql(db(), insert, {1, 0, "Върната стока", "Иван", "2025-03-02"});
        execSql(db(), insert, {2, 15, "Грешно въведена", "Мария", "2025-03-04"});
        execSql(db(), insert, {3, 15, "ВЪРНАТА СТОКА", "Мария", "2025-03-04"});
        test::ModalScript script(20000);
        script.next<TForm_Spr_Invalidate_Sales>([this](TForm_Spr_Invalidate_Sales* w) {
            auto* grid = test::control<QTableView>(*w, "DBGrid1");
            click(test::control<QPushButton>(*w, "Button_Search"));
            QCOMPARE(grid->model()->rowCount(), 3);
            tick(test::control<QCheckBox>(*w, "CheckBox_Osnovanie"));
            typeInto(test::control<QLineEdit>(*w, "Edit_Osnovanie"), "стока");
            click(test::control<QPushButton>(*w, "Button_Search"));
            QCOMPARE(grid->model()->rowCount(), 2);
            tick(test::control<QCheckBox>(*w, "CheckBox_Anuliral"));
            auto* by = test::control<QComboBox>(*w, "ComboBox_Anuliral");
            QCOMPARE(by->count(), 2);
            by->setCurrentIndex(by->findText("Мария"));
            click(test::control<QPushButton>(*w, "Button_Search"));
            QCOMPARE(grid->model()->rowCount(), 1);
            QCOMPARE(grid->model()->index(0, 0).data().toLongLong(), 3);
            tick(test::control<QCheckBox>(*w, "CheckBox_Data_Anulirane"));
            auto* on = test::control<QComboBox>(*w, "ComboBox_Data_Anulirane");
            on->setCurrentIndex(1); // "по - малко": up to the 4th, today
            click(test::control<QPushButton>(*w, "Button_Search"));
            QCOMPARE(grid->model()->rowCount(), 1);
            click(test::control<QPushButton>(*w, "Button_Pe4at"));
            w->reject();
        });
        script.next<TForm_Print_Vid_Fail>([](TForm_Print_Vid_Fail* chooser) {
            click(test::control<QPushButton>(*chooser, "BitBtn_Priemi"));
        });
        trigger("N_Spr_Invalidate_Sales", script);
        QCOMPARE(opened_, QStringList{temp("Spr_Invalidate.txt")});
        const QString text = QString::fromUtf8(test::Fixture::readFile(temp("Spr_Invalidate.txt")));
        QVERIFY2(text.startsWith(
                     "\xEF\xBB\xBF\r\n\tСправка анулирани продажби \r\n\r\n\tДата:04.03.2025 18:30:00\r\n"
                     "\tТЪРСЕНЕ ПО:\r\n\t  Анулирал:Мария\r\n\t  Основание:стока\r\n"
                     "\t  Дата на анулиране:по - малко 04.03.2025\r\n"),
                 qPrintable(text));
        QVERIFY2(text.contains("ВЪРНАТА СТОКА"), qPrintable(text));
        QVERIFY2(!text.contains("Грешно"), qPrintable(text));
    }

    // "Анулирай" on a chosen line: asked, the reason typed, the stock given
    // back into the line's warehouse; the line moves to Invalidate_Sales and
    // the list is searched again. An instalment payment is refused whole.
    void invalidationFromTheReport() {
        record(db(), {1, 10, "2025-03-04", 2, 2.5});
        record(db(), {2, 10, "2025-03-04", 3, 2.5});
        record(db(), {4, 0, "2025-03-04", 1, 3, "BGL", 15});
        // An invoice issued at the shop for line 2.
        execSql(db(),
                "INSERT INTO Printed_Dok (ID_Prod, ID_Dok, ID_Kontrag, ID_Art, N_Dok, Operator, Data, fTime, "
                "Ot_Kade_Prod) SELECT 2, ID_Dokument, 0, 10, '000126', 'Иван', '2025-03-04', '10:00:00', 1 "
                "FROM Dokumenti WHERE Opisanie = 'Фактура'");
        test::ModalScript script(20000);
        script.next<TForm_Spravka_prodajba>([this](TForm_Spravka_prodajba* w) {
            auto* grid = test::control<QTableView>(*w, "DBGrid1");
            auto* invalidate = test::control<QPushButton>(*w, "Button_Invalidate_Sales");
            click(invalidate);
            QCOMPARE(msg_->messages, QStringList{"Няма избрани продажби"});
            click(test::control<QPushButton>(*w, "Button_Search"));
            QCOMPARE(grid->model()->rowCount(), 3);

            selectRows(grid, {rowOf(grid, 4), rowOf(grid, 2)});
            click(invalidate);
            QCOMPARE(msg_->messages.size(), 2);
            QVERIFY(msg_->messages.last().startsWith("Продажба 4 е вноска"));

            selectRows(grid, {rowOf(grid, 2)});
            msg_->answerYes(); // invalidate?
            msg_->answerYes(); // the invoice annulled
            msg_->answerYes(); // the quantity back
            click(invalidate);
            QCOMPARE(
                msg_->questions,
                (QStringList{
                    "Найстина ли желаете да анулирате избраните продажби",
                    "Има издадени документи свързани с тази продажба!\rЖелаете ли те да бъдат анулирани?",
                    "Желаете ли да бъде възстановено количеството"}));
            QCOMPARE(
                msg_->messages.last(),
                "Документите са маркирани като анулирани (номерата им се запазват):\rФактура № 000126 от "
                "04.03.2025\rЗа върнатата стока издайте кредитно известие.");
            QCOMPARE(grid->model()->rowCount(), 2);
            QCOMPARE(rowOf(grid, 2), -1);
            w->reject();
        });
        // The reason, asked after the first question.
        script.next<TForm_Get_Kol>([](TForm_Get_Kol* d) {
            auto* field = d->findChild<QLineEdit*>("Edit_Kol");
            QCOMPARE(field->text(), "Върната стока");
            field->selectAll();
            test::typeText(field, "Върната \"стока\"");
            QTest::mouseClick(d->findChild<QPushButton*>("Button_Priemi"), Qt::LeftButton);
        });
        trigger("N_Spravka_Prodajba", script);
        QCOMPARE(count("SELECT COUNT(*) FROM Prodajbi WHERE ID_Prodajba = 2"), 0);
        const SqlRows moved = readRows(db(), "SELECT Osnovanie, Anuliral, Date_Invalidate, Kol, Sklad_ID "
                                             "FROM Invalidate_Sales WHERE ID_Prodajba = 2");
        QCOMPARE(moved.rows.size(), 1);
        QCOMPARE(moved.rows[0][0].toString(), "Върната \"стока\"");
        QCOMPARE(moved.rows[0][1].toString(), "Администратор");
        QCOMPARE(moved.rows[0][3].toDouble(), 3.0);
        QCOMPARE(moved.rows[0][4].toInt(), 1);
        QCOMPARE(stockIn(db(), 10, 1).value_or(-1).toDouble(), 103.0);
        QCOMPARE(
            scalarSql(db(), "SELECT N_Dok || '/' || Anulirano FROM Printed_Dok WHERE ID_Prod = 2").toString(),
            "000126/True");
    }

    // "Издай документ за продажба" for a euro line: the invoice converts it
    // at the line's own rate (2 × 10 at 1.95583 less 10 % is 35.20);
    // nothing chosen, or an instalment payment alone, issues nothing.
    void documentForChosenLines() {
        const QString docs = fx_->session().programDir.documentationsDir();
        QDir().mkpath(docs);
        for (const QString& f : QDir(TORVIKA_SOURCE_DIR "/documentations").entryList(QDir::Files))
            QFile::copy(TORVIKA_SOURCE_DIR "/documentations/" + f, docs + u'/' + f);
        fx_->firmData().writeString("Firm_Data", "Name", "Алфа ЕООД");
        fx_->firmData().writeString("Firm_Data", "EIK", "201234567");
        fx_->firmData().writeString("Firm_Data", "DDS", "20");
        record(db(), {2, 12, "2025-03-04", 2, 10, "EUR", 15, 10, 0, "по банков път"});
        record(db(), {4, 0, "2025-03-04", 1, 3, "BGL", 15});
        const QString pdf = fx_->root() + "invoice.pdf";
        runWindow<TForm_Spravka_prodajba>("N_Spravka_Prodajba", [&](TForm_Spravka_prodajba* w) {
            auto* grid = test::control<QTableView>(*w, "DBGrid1");
            auto* issue = test::control<QPushButton>(*w, "Button3");
            auto* kinds = test::control<QListWidget>(*w, "CheckListBox_Dok");
            click(issue);
            QCOMPARE(msg_->messages, QStringList{"Не са избрани данни за документа"});
            click(test::control<QPushButton>(*w, "Button_Search"));
            const QList<QListWidgetItem*> invoice = kinds->findItems("Фактура", Qt::MatchExactly);
            QCOMPARE(invoice.size(), 1);
            invoice.first()->setCheckState(Qt::Checked);
            selectRows(grid, {rowOf(grid, 4)});
            click(issue);
            QVERIFY(msg_->messages.last().startsWith("Избраните редове не са продажби на стоки"));

            selectRows(grid, {rowOf(grid, 2)});
            msg_->answer("по банков път"); // the payment method of the invoice
            msg_->answer(pdf);
            click(issue);
            QCOMPARE(invoice.first()->checkState(), Qt::Unchecked);
            w->reject();
        });
        const QString text = test::pdfText(pdf);
        QVERIFY2(text.contains("35.20"), qPrintable(text));
        QVERIFY2(text.contains("Бип ЕТ"), qPrintable(text));
        QCOMPARE(count("SELECT COUNT(*) FROM Printed_Dok WHERE ID_Prod = 2"), 1);
    }

    // The euro line invoiced to Бип ЕТ, then invalidated with its invoice
    // annulled: the window names the invoice and offers the credit note,
    // which prints the returned line for the invoice's counterparty with
    // its own number, naming the invoice and the reason.
    void creditNoteForAnAnnulledInvoice() {
        const QString docs = fx_->session().programDir.documentationsDir();
        QDir().mkpath(docs);
        for (const QString& f : QDir(TORVIKA_SOURCE_DIR "/documentations").entryList(QDir::Files))
            QFile::copy(TORVIKA_SOURCE_DIR "/documentations/" + f, docs + u'/' + f);
        fx_->firmData().writeString("Firm_Data", "Name", "Алфа ЕООД");
        fx_->firmData().writeString("Firm_Data", "EIK", "201234567");
        fx_->firmData().writeString("Firm_Data", "DDS", "20");
        record(db(), {1, 10, "2025-03-04", 2, 2.5});
        record(db(), {2, 12, "2025-03-04", 2, 10, "EUR", 15, 10, 0, "по банков път"});
        const QString invoice = fx_->root() + "invoice.pdf";
        const QString note = fx_->root() + "credit_note.pdf";
        {
            test::ModalScript script(20000);
            script.next<TForm_Spravka_prodajba>([&](TForm_Spravka_prodajba* w) {
                auto* grid = test::control<QTableView>(*w, "DBGrid1");
                click(test::control<QPushButton>(*w, "Button_Search"));
                QCOMPARE(test::control<QListWidget>(*w, "CheckListBox_Dok")
                             ->findItems("Кредитно известие", Qt::MatchExactly)
                             .size(),
                         0); // printed from the invalidation only
                test::control<QListWidget>(*w, "CheckListBox_Dok")
                    ->findItems("Фактура", Qt::MatchExactly)
                    .first()
                    ->setCheckState(Qt::Checked);
                selectRows(grid, {rowOf(grid, 2)});
                msg_->answer("по банков път");
                msg_->answer(invoice);
                click(test::control<QPushButton>(*w, "Button3"));

                selectRows(grid, {rowOf(grid, 2)});
                msg_->answerYes(); // invalidate?
                msg_->answerYes(); // the invoice annulled
                msg_->answerNo();  // the quantity not back
                msg_->answerYes(); // the credit note
                msg_->answer(note);
                click(test::control<QPushButton>(*w, "Button_Invalidate_Sales"));
                QCOMPARE(msg_->questions.last(),
                         "Желаете ли да бъде отпечатано кредитно известие за върнатата "
                         "стока към Фактура № 0000000001 от 04.03.2025?");
                QCOMPARE(msg_->messages.last(), "Документите са маркирани като анулирани (номерата им се "
                                                "запазват):\rФактура № 0000000001 от 04.03.2025");
                QCOMPARE(grid->model()->rowCount(), 1);
                w->reject();
            });
            script.next<TForm_Get_Kol>([](TForm_Get_Kol* d) {
                QTest::mouseClick(d->findChild<QPushButton*>("Button_Priemi"), Qt::LeftButton);
            });
            trigger("N_Spravka_Prodajba", script);
        }
        const QString text = test::pdfText(note);
        for (const char* expected :
             {"КРЕДИТНО ИЗВЕСТИЕ", "Към документ: Фактура № 0000000001 от 04.03.2025", "0000000002", "Бип ЕТ",
              "BG123456789", "Алфа ЕООД", "Уред", "29.33", "5.87", "35.20",
              "Словом: тридесет и пет лева и 20 стотинки", "Основание: Върната стока"})
            QVERIFY2(text.contains(QString::fromUtf8(expected)), qPrintable(expected + ("\n" + text)));
        QVERIFY2(!text.contains("Чай"), qPrintable(text));
        QCOMPARE(scalarSql(db(), "SELECT P.N_Dok || '/' || P.ID_Kontrag FROM Printed_Dok P JOIN Dokumenti D "
                                 "ON D.ID_Dokument = P.ID_Dok WHERE D.Opisanie = 'Кредитно известие' AND "
                                 "P.ID_Prod = 2")
                     .toString(),
                 "0000000002/15");
        // Numbered in the invoices' series: the next invoice is 3.
        QCOMPARE(scalarSql(db(), "SELECT N_Dok FROM Dokumenti WHERE Opisanie = 'Фактура'").toString(),
                 "0000000003");

        // "Справка издадени документи": the note with its line, and its copy
        // naming the invoice again, under the same number.
        const QString copy = fx_->root() + "credit_note_copy.pdf";
        runWindow<TForm_Spr_Izd_Dok>("N_Spr_Izd_Dok", [&](TForm_Spr_Izd_Dok* w) {
            click(test::control<QPushButton>(*w, "Button_Search"));
            auto* documents = test::control<QTableView>(*w, "DBGrid_Dok");
            const QModelIndexList found = documents->model()->match(
                documents->model()->index(0, 0), Qt::DisplayRole, "Кредитно известие", 1, Qt::MatchExactly);
            QCOMPARE(found.size(), 1);
            QTest::mouseClick(documents->viewport(), Qt::LeftButton, {},
                              documents->visualRect(found.first()).center());
            QCOMPARE(test::control<QTableView>(*w, "DBGrid_Art")->model()->rowCount(), 1);
            QCOMPARE(label(*w, "Label_SUM"), "35.20");
            msg_->answer(copy);
            click(test::control<QPushButton>(*w, "Button_Pe4at"));
            w->reject();
        });
        const QString copied = test::pdfText(copy);
        for (const char* expected :
             {"КОПИЕ", "КРЕДИТНО ИЗВЕСТИЕ", "Към документ: Фактура № 0000000001 от 04.03.2025", "0000000002",
              "Уред", "35.20", "Основание: Върната стока"})
            QVERIFY2(copied.contains(QString::fromUtf8(expected)), qPrintable(expected + ("\n" + copied)));
        // The copy took no number.
        QCOMPARE(scalarSql(db(), "SELECT N_Dok FROM Dokumenti WHERE Opisanie = 'Фактура'").toString(),
                 "0000000003");
    }

    // "Издай фискален бон" for a line recorded without a receipt: written
    // once and recorded; a second press writes no second receipt.
    void receiptForLinesWithoutOne() {
        QDir().mkpath(fx_->root() + "Bons");
        record(db(), {1, 10, "2025-03-04", 2, 2.5});
        test::ModalScript script(20000);
        script.next<TForm_Spravka_prodajba>([this](TForm_Spravka_prodajba* w) {
            auto* grid = test::control<QTableView>(*w, "DBGrid1");
            click(test::control<QPushButton>(*w, "Button_Search"));
            selectRows(grid, {0});
            click(test::control<QPushButton>(*w, "Button4"));
            QVERIFY(msg_->messages.isEmpty());
            click(test::control<QPushButton>(*w, "Button4"));
            QCOMPARE(msg_->messages,
                     QStringList{"За избраните продажби вече е издаден касов бон: втори бон не се издава."});
            w->reject();
        });
        trigger("N_Spravka_Prodajba", script);
        const QString bon = fx_->root() + "Bons/BON1.bon";
        QVERIFY(QFile::exists(bon));
        QVERIFY(!QFile::exists(fx_->root() + "Bons/BON2.bon"));
        QCOMPARE(scalarSql(db(), "SELECT Bon_File FROM Prodajbi_Bon WHERE ID_Prodajba = 1").toString(), bon);
    }

    // A sale of 100.00 to a counterparty, 30.00 given, paid later in 7
    // instalments: the consignment dialog offers the first instalment and
    // shows 70.0000 and 10.0000; the credit, its first payment and the sale
    // lines are recorded together.
    void creditSaleAtTheTill() {
        fx_->session().setSaleCounterparty("15:Бип ЕТ");
        page()->refresh();
        execSql(
            db(),
            "INSERT INTO Prodajbi_Vremenni (Barkod, Opisanie, Kol, Mqrka, Ed_Cena, Valuta, Operator, T_O, "
            "SUM_BezDDS, Bez_DDS, Sm_N, Dan_Grup) VALUES "
            "(10, 'Чай', 40, 'бр.', 2.5, 'Лева', 'Администратор', 0, 0, 0, 0, 1), "
            "(10, 'Чай зелен', 2, 'бр.', 2.5, 'Лева', 'Администратор', 0, 0, 0, 0, 1)");
        page()->refresh();
        page()->selectOwnLines();
        test::ModalScript script(20000);
        script.next<TForm_Pay_Type>([](TForm_Pay_Type* d) {
            auto* deferred = d->findChild<QRadioButton*>("Pay_Deferred");
            QVERIFY(deferred->isVisibleTo(d));
            QTest::mouseClick(deferred, Qt::LeftButton);
            auto* given = d->findChild<QLineEdit*>("Edit_Dadena_Sum");
            QCOMPARE(given->text(), "0");
            given->selectAll();
            test::typeText(given, "30");
            QTest::mouseClick(d->findChild<QPushButton*>("OKBtn"), Qt::LeftButton);
        });
        script.next<TForm_Konsignation>([this](TForm_Konsignation* d) {
            QCOMPARE(d->findChild<QLabel*>("Label_ID_Kontragent")->text(), "15:Бип ЕТ");
            QCOMPARE(d->findChild<QComboBox*>("ComboBox_PayTape")->currentIndex(), 1);
            QCOMPARE(d->findChild<QLineEdit*>("Edit_First_Vnoska")->text(), "30.00");
            QCOMPARE(d->findChild<QLabel*>("Label_Ob6to_Sum_Art")->text(), "105.0000");
            // "Изтрии": the green tea leaves the credit (and stays unsold).
            auto* grid = d->findChild<QTableView*>("DBGrid_Konsignation");
            QCOMPARE(grid->model()->rowCount(), 2);
            const int green = grid->model()->index(0, 1).data().toString() == "Чай зелен" ? 0 : 1;
            selectRows(grid, {green});
            QTest::mouseClick(d->findChild<QPushButton*>("Button_Iztrii"), Qt::LeftButton);
            QCOMPARE(grid->model()->rowCount(), 1);
            QCOMPARE(d->findChild<QLabel*>("Label_Ob6to_Sum_Art")->text(), "100.0000");
            QCOMPARE(d->findChild<QLabel*>("Label_Ob6to_Sum")->text(), "70.0000");
            typeInto(d->findChild<QSpinBox*>("SpEdit_Broj_Vnosk"), "7");
            QCOMPARE(d->findChild<QLabel*>("Label_Vnoska")->text(), "10.0000");
            QCOMPARE(d->findChild<QDateEdit*>("DateTimePicker_Pay")->date(), QDate(2025, 10, 4));
            // An interest of -5 is refused, nothing taken.
            auto* interest = d->findChild<QLineEdit*>("Edit_Lihva");
            typeInto(interest, "-5");
            QTest::mouseClick(d->findChild<QPushButton*>("Button_Vavejdane"), Qt::LeftButton);
            QCOMPARE(msg_->messages, QStringList{"Лихвата трябва да бъде от 0 до 100 %."});
            QVERIFY(d->isVisible());
            typeInto(interest, "0");
            QCOMPARE(d->findChild<QLabel*>("Label_Vnoska")->text(), "10.0000");
            // "Печат": the handover protocol with its repayment schedule.
            QTest::mouseClick(d->findChild<QPushButton*>("Button_Pe4at"), Qt::LeftButton);
            QCOMPARE(opened_, QStringList{temp("Vnoski_Pay.tmp")});
            const QString protocol = QString::fromUtf8(test::Fixture::readFile(temp("Vnoski_Pay.tmp")));
            QVERIFY2(protocol.contains("ДОГОВОР ЗА ОТЛОЖЕНО ПЛАЩАНЕ N: 1 / 04.03.2025\r\n"),
                     qPrintable(protocol));
            QVERIFY2(protocol.contains("На: Бип ЕТ\r\n"), qPrintable(protocol));
            QVERIFY2(protocol.contains("|Чай                         |  40.00|  2.50      |  Лева  |"),
                     qPrintable(protocol));
            QVERIFY2(!protocol.contains("Чай зелен"), qPrintable(protocol));
            QVERIFY2(protocol.contains("7 вноска  10.0000 ,Лева"), qPrintable(protocol));
            QVERIFY2(protocol.contains("да се внесе до дата : 4.10.2025г"), qPrintable(protocol));
            QTest::mouseClick(d->findChild<QPushButton*>("Button_Vavejdane"), Qt::LeftButton);
        });
        test::scriptLogin(script);
        click(test::control<QPushButton>(main_->form, "Button_Prodajba"));
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(msg_->shown.size(), 1);

        const SqlRows credit = readRows(
            db(),
            "SELECT ID, ID_Kontrag, Broj_Vnosk, Vid_Pay, Period_Vnosk, Payed, First_Vnosk FROM Konsignation");
        QCOMPARE(credit.rows.size(), 1);
        QCOMPARE(credit.rows[0][1].toInt(), 15);
        QCOMPARE(credit.rows[0][2].toInt(), 7);
        QCOMPARE(credit.rows[0][3].toInt(), 1);
        QCOMPARE(credit.rows[0][5].toString(), "False");
        QCOMPARE(credit.rows[0][6].toDouble(), 30.0);
        const qint64 id = credit.rows[0][0].toLongLong();
        QCOMPARE(
            count("SELECT COUNT(*) FROM Prodajbi WHERE ID_Art = 0 AND ED_Cena = 30 AND Type_Pay = 'в брой' "
                  "AND Konsign_N = 0 AND ID_Klient = 15"),
            1);
        QCOMPARE(
            count(QString("SELECT COUNT(*) FROM Prodajbi WHERE ID_Art = 10 AND Kol = 40 AND Konsign_N = %1 "
                          "AND Type_Pay = 'отложено плащане'")
                      .arg(id)),
            1);
        QCOMPARE(count("SELECT COUNT(*) FROM Prodajbi_Vremenni WHERE Opisanie = 'Чай зелен'"), 1);
        QCOMPARE(count("SELECT COUNT(*) FROM Prodajbi WHERE ID_Art = 10"), 1);
    }

    // A credit of 100.00 in 3 instalments paid off from the shop page's
    // debts button: in full, in part (10.00, then the rest), in full; each
    // payment with its service receipt, the voucher printed, the last one
    // closing the credit.
    void creditPaidOffInThreeInstalments() {
        fx_->firmData().writeString("Tuning", "FB", "1");
        QDir().mkpath(fx_->root() + "Bons");
        fx_->session().setSaleCounterparty("15:Бип ЕТ");
        CreditTerms terms;
        terms.counterparty = 15;
        terms.handover = kNow.date();
        terms.instalments = 3;
        Transaction t(db());
        const CreditRecord credit = recordCredit(db(), terms, Decimal(100), {"Иван", kNow, 1, 1});
        t.commit();
        record(db(), {1, 10, "2025-03-04", 40, 2.5, "Лева", 15, 0, credit.consignment, "отложено плащане"});
        page()->refresh();
        auto* debts = test::control<QToolButton>(main_->form, "SpdBtn_Zadaljeniq");
        QVERIFY(debts->isVisible());

        test::ModalScript script(20000);
        script.next<TForm_Vnoski_Kredit>([this](TForm_Vnoski_Kredit* w) {
            auto* pay = test::control<QPushButton>(*w, "Button_Izplati");
            QCOMPARE(label(*w, "Label_Kontrag_Vnoski"), "15:Бип ЕТ");
            QCOMPARE(test::control<QComboBox>(*w, "ComboBox_N_Kredit")->count(), 1);
            QCOMPARE(label(*w, "Label12"), "100.0000");
            QCOMPARE(label(*w, "Label_Ob6to_Sum"), "100.0000");
            QCOMPARE(label(*w, "Label_Sum_Vnoska"), "33.3333");
            QCOMPARE(label(*w, "Label_N_Vnoska"), "1");
            QCOMPARE(label(*w, "Label_4ast_Pay_SUM"), "33.3300");
            QCOMPARE(test::control<QTableView>(*w, "DBGrid1")->model()->rowCount(), 1);
            click(pay);
            QCOMPARE(label(*w, "Label_N_Vnoska"), "2");

            click(test::control<QPushButton>(*w, "Button_Pe4at"));
            const QString voucher = QString::fromUtf8(test::Fixture::readFile(temp("Vnoski_Pay.tmp")));
            QVERIFY2(voucher.contains("|     Вноска N:1;От общо:3"), qPrintable(voucher));
            QVERIFY2(voucher.contains("|     Сума:33.3300, лева"), qPrintable(voucher));

            tick(test::control<QCheckBox>(*w, "ChkBox_4ast_Pay"));
            auto* partial = test::control<QLineEdit>(*w, "Edit_4ast_Pay");
            QVERIFY(partial->isVisible());
            typeInto(partial, "40");
            click(pay);
            QVERIFY(msg_->messages.last().startsWith("Сумата на плащането е по-голяма"));
            typeInto(partial, "10");
            click(pay);
            QCOMPARE(label(*w, "Label_N_Vnoska"), "2");
            QCOMPARE(label(*w, "Label_4ast_Pay_SUM"), "23.3300");
            QVERIFY(!partial->isVisible());
            click(pay);
            QCOMPARE(label(*w, "Label_N_Vnoska"), "3");
            QCOMPARE(label(*w, "Label_4ast_Pay_SUM"), "33.3400");
            click(pay);
            // Paid off: the credit leaves the list, nothing more to pay.
            QCOMPARE(test::control<QComboBox>(*w, "ComboBox_N_Kredit")->count(), 0);
            QVERIFY(!pay->isEnabled());
            click(test::control<QPushButton>(*w, "Button_Zatvori"));
        });
        click(debts);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(msg_->messages.size(), 1);

        QCOMPARE(scalarSql(db(), "SELECT Payed FROM Konsignation").toString(), "True");
        QCOMPARE(count("SELECT COUNT(*) FROM Prodajbi WHERE ID_Art = 10 AND Konsign_N = -1"), 1);
        QCOMPARE(count("SELECT COUNT(*) FROM Vnoski"), 4);
        QCOMPARE(scalarSql(db(), "SELECT SUM(ED_Cena) FROM Prodajbi WHERE ID_Art = 0").toDouble(), 100.0);
        // Each payment carried its receipt.
        QCOMPARE(count("SELECT COUNT(*) FROM Prodajbi_Bon B JOIN Prodajbi P ON P.ID_Prodajba = B.ID_Prodajba "
                       "WHERE P.ID_Art = 0 AND B.Bon_File <> ''"),
                 4);
        QVERIFY(!debts->isVisible());
    }
};

QTEST_MAIN(BackOfficeTest)
#include "test_back_office.moc"
