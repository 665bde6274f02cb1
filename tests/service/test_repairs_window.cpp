// The repairs window and the repair states' editor, opened from their menu
// commands and driven through their controls: a repair line typed as free
// text (a price with a decimal comma, a price refused), the state of an
// item, the protocol, and issuing with its receipt; the states added,
// edited, and refused for deletion; the report of issued items narrowed by
// its criteria, and the service's turnover.

#include "catalogue/ui/form_artikuli.h"
#include "common/sql.h"
#include "common/ui/desktop.h"
#include "common/ui/form_print_vid_fail.h"
#include "counterparties/ui/form_kontrakents.h"
#include "service/texts.h"
#include "service/ui/form_oborotni_serviz.h"
#include "service/ui/form_remont.h"
#include "service/ui/form_spr_izdadeni_ser.h"
#include "service/ui/form_status_remont.h"
#include "support/fixture.h"
#include "support/main_window.h"
#include "support/modal_script.h"
#include "support/scripted_messages.h"
#include "support/window_helpers.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace torvika;

class RepairsWindowTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    std::unique_ptr<test::ScriptedMessages> msg_;
    std::unique_ptr<test::MainWindow> main_;
    QStringList opened_;
    QSqlDatabase db() { return fx_->db(); }
    int count(const QString& sql) { return scalarSql(db(), sql).toInt(); }

    void item(qint64 n, const QString& serial, const QString& intake, const QString& due) {
        execSql(
            db(),
            "INSERT INTO Priem_Ser (N_Prodajba, Barkod, S_N, Opisanie, Pri4ina, Gar, Gar_Dok_N, "
            "Data_Gar_Dok, "
            "ID_Kontrag, Data_Priem, Time_Priem, Operator, Pred_Cena_Remont, Valuta, ID_Dostav4ik, Model, "
            "Partida, Status, Krai_Data) VALUES (?, -1, ?, 'Лаптоп', 'Не се включва', 'False', '', '', 5, ?, "
            "'09:00:00', 'Иван', 30, 'Лева', 0, '', '', 1, ?)",
            {n, serial, intake, due});
    }
    // Clicks the row's first visible cell.
    static void clickRow(QTableView* grid, int row, int column = 0) {
        const QRect cell = grid->visualRect(grid->model()->index(row, column));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        msg_ = std::make_unique<test::ScriptedMessages>();
        fx_->firmData().writeString("Tuning", "19", "Bons");
        fx_->firmData().writeString("Firm_Data", "Name", "Сервиз ЕООД");
        fx_->session().clock = [] { return QDateTime(QDate(2026, 3, 10), QTime(16, 45)); };
        execSql(db(), "INSERT INTO Firmi (ID, Ime_Firma, EIK, Nomer_Grupa) VALUES (5, 'Бип ЕТ', '0', 0)");
        execSql(db(), "INSERT INTO Status_Remont (ID, Opisanie, Color) VALUES (2, 'Чака части', '13')");
        opened_.clear();
        setFileOpener([this](const QString& file) {
            opened_ << file;
            return true;
        });
        main_ = std::make_unique<test::MainWindow>(fx_->session());
        QVERIFY(main_->start());
    }
    void cleanup() {
        setFileOpener({});
        main_.reset();
        msg_.reset();
        fx_.reset();
    }

    void repairLineStateProtocolAndIssue() {
        item(1, "SN-1", "2026-03-01", "2026-03-20");
        item(2, "SN-2", "2026-03-01", "2026-03-05"); // overdue
        test::ModalScript script;
        script.next<TForm_Remont>([this](TForm_Remont* w) {
            QCOMPARE(w->windowTitle(), "РЕМОНТ");
            QCOMPARE(w->model()->rowCount(), 2);
            QCOMPARE(w->model()->headerData(13, Qt::Horizontal).toString(), "Ремонт до дата");
            auto* grid = test::control<QTableView>(*w, "DBGrid_Priem");
            clickRow(grid, 0);
            QCOMPARE(w->currentItem(), 1);

            // A free-text line with a decimal comma.
            test::control<QCheckBox>(*w, "CheckBox_Free_Tekst")->click();
            auto* text = test::control<QLineEdit>(*w, "Edit_Free_Tekst");
            auto* price = test::control<QLineEdit>(*w, "Edit_Cena");
            QVERIFY(text->isVisible());
            test::typeText(text, "Смяна на вентилатор");
            price->clear();
            test::typeText(price, "12,50");
            test::control<QPushButton>(*w, "Button_Dobavi")->click();
            QCOMPARE(w->linesModel()->rowCount(), 1);
            QCOMPARE(test::control<QLabel>(*w, "Label_Obshta_Suma")->text(),
                     "Обща сума на ремонта в лв : 12.50");
            QCOMPARE(price->text(), "0.0000");

            // A price that is no number is refused; nothing is stored.
            test::control<QCheckBox>(*w, "CheckBox_Free_Tekst")->click();
            test::control<QCheckBox>(*w, "CheckBox_Free_Tekst")->click();
            test::typeText(text, "Почистване");
            price->clear();
            test::typeText(price, "abc");
            test::control<QPushButton>(*w, "Button_Dobavi")->click();
            QCOMPARE(msg_->shown.last(), texts::kRepairPriceNotNumber.arg("abc"));
            QCOMPARE(w->linesModel()->rowCount(), 1);

            // The state is set at once.
            auto* state = test::control<QComboBox>(*w, "ComboBox_Status");
            QCOMPARE(state->count(), 2);
            state->setCurrentIndex(1);
            emit state->activated(1);
            QCOMPARE(scalarSql(db(), "SELECT Status FROM Priem_Ser WHERE N_Prodajba = 1").toInt(), 2);
            QCOMPARE(w->currentItem(), 1);

            // The protocol is written and opened.
            test::control<QPushButton>(*w, "Button_Pechat")->click();
            QCOMPARE(opened_.size(), 1);
            const QByteArray protocol = test::Fixture::readFile(opened_[0]);
            QVERIFY(opened_[0].endsWith("TEMP/Remont.tmp"));
            QVERIFY(protocol.contains("\r\n"));

            // The second item has no repair: it is not issued.
            clickRow(grid, 1);
            QCOMPARE(w->currentItem(), 2);
            test::control<QPushButton>(*w, "Button_Izdavane")->click();
            QCOMPARE(msg_->shown.last(), texts::kRepairNoLines.arg(2));

            // The first is issued with a receipt for its repair.
            clickRow(grid, 0);
            test::control<QPushButton>(*w, "Button_Izdavane")->click();
            QCOMPARE(w->model()->rowCount(), 1);
            w->accept();
        });
        main_->form.runCommand(Command::N59);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(msg_->shown.size(), 2);
        QCOMPARE(count("SELECT COUNT(*) FROM R_Priem WHERE N_Priem = 1"), 1);
        QCOMPARE(count("SELECT COUNT(*) FROM R_Remont WHERE N_Priem = 1"), 1);
        QCOMPARE(count("SELECT COUNT(*) FROM Priem_Ser"), 1);
        QCOMPARE(scalarSql(db(), "SELECT Remont FROM R_Remont").toString(), "Смяна на вентилатор");
        QCOMPARE(QDir(fx_->root() + "Bons").entryList(QDir::Files).size(), 1);
    }

    void statesAddedEditedAndKept() {
        item(1, "SN-1", "2026-03-01", "2026-03-20");
        test::ModalScript script;
        script.next<TForm_Status_Remont>([this](TForm_Status_Remont* w) {
            QCOMPARE(w->model()->rowCount(), 2);
            auto* add = test::control<QPushButton>(*w, "Button_Dobavi");
            auto* remove = test::control<QPushButton>(*w, "Button_Iztrii");
            auto* name = test::control<QLineEdit>(*w, "Edit_Status");
            auto* colour = test::control<QComboBox>(*w, "ComboBox_Color");
            QCOMPARE(colour->count(), 39);
            add->click();
            QCOMPARE(add->text(), "Приеми");
            QCOMPARE(remove->text(), "Откажи");
            QCOMPARE(colour->currentText(), "clWindowText");
            test::typeText(name, "Готов");
            colour->setCurrentIndex(6);
            add->click();
            QCOMPARE(add->text(), "Добави");
            QCOMPARE(w->model()->rowCount(), 3);

            // Renamed through "Редактирай".
            QVERIFY(w->positionOn(2));
            test::control<QPushButton>(*w, "Button_Redaktirai")->click();
            name->selectAll();
            test::typeText(name, "Чака резервни части");
            add->click();

            // The state of new items stays; so does one in use.
            QVERIFY(w->positionOn(1));
            remove->click();
            QCOMPARE(msg_->shown.last(), texts::kStateFirst.arg("Приет за ремонт"));
            execSql(db(), "UPDATE Priem_Ser SET Status = 3");
            QVERIFY(w->positionOn(3));
            remove->click();
            QCOMPARE(msg_->shown.last(), texts::kStateInUse.arg("Готов"));
            QVERIFY(w->positionOn(2));
            remove->click();
            QCOMPARE(w->model()->rowCount(), 2);
            w->accept();
        });
        main_->form.runCommand(Command::N_Sastoqnie_Remont);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(
            scalarSql(db(), "SELECT Opisanie || '/' || Color FROM Status_Remont WHERE ID = 3").toString(),
            "Готов/6");
        QCOMPARE(count("SELECT COUNT(*) FROM Status_Remont WHERE ID = 2"), 0);
    }
    void issuedReportAndTurnover() {
        execSql(db(), "INSERT INTO Firmi (ID, Ime_Firma, EIK, Nomer_Grupa) VALUES (6, 'Чип ООД', '0', 0)");
        execSql(db(), "INSERT INTO R_Priem (N_Priem, S_N, Opisanie, Pri4ina, Gar, ID_Kontrag, ID_Dostav4ik, "
                      "Data_Priem, Data_Izd, Time_Izd, Operator, Oper_Izd) VALUES "
                      "(4, 'AB-1', 'Лаптоп', 'Счупен екран', 'True', 5, 0, '2026-03-02', '2026-03-05', "
                      "'12:00:00', 'Иван', 'Мария'), "
                      "(7, 'CD-2', 'Принтер', 'Не печата', 'False', 6, 0, '2026-03-03', '2026-03-06', "
                      "'13:00:00', 'Иван', 'Мария')");
        execSql(
            db(),
            "INSERT INTO R_Remont (N_Priem, Remont, Kol, ED_Cena, Valuta, Garan_Remont, SN, Zamqna, "
            "Oper_Remont) VALUES (4, 'Смяна на екран', 1, 120, 'Лева', '2026-08-20', '', 'True', 'Иван'), "
            "(7, 'Почистване', 2, 10, 'Лева', '2026-04-06', '', 'False', 'Иван')");
        item(9, "EF-3", "2026-03-09", "2026-03-20");
        test::ModalScript script;
        script.next<TForm_Spr_Izdadeni_Ser>([this](TForm_Spr_Izdadeni_Ser* w) {
            QCOMPARE(w->model()->rowCount(), 2);
            QCOMPARE(test::control<QLabel>(*w, "Label_Obshta_Suma")->text(), "Обща сума на справка: 140.00");
            QCOMPARE(w->linesModel()->rowCount(), 1);
            QCOMPARE(test::control<QLabel>(*w, "Label_Suma_Remont")->text(), "Обща сума за ремонт: 120.00");
            // By reason, in any letter case.
            test::control<QCheckBox>(*w, "CheckBox_Pri4ina")->click();
            test::typeText(test::control<QLineEdit>(*w, "Edit_Pri4ina"), "ПЕЧАТ");
            test::control<QPushButton>(*w, "Button_Tarsi")->click();
            QCOMPARE(w->model()->rowCount(), 1);
            QCOMPARE(w->model()->value(0, "N_Priem").toInt(), 7);
            QCOMPARE(w->linesModel()->index(0, 1).data().toString(), "Почистване");
            QCOMPARE(test::control<QLabel>(*w, "Label_Obshta_Suma")->text(), "Обща сума на справка: 20.00");
            // By client, chosen from the list when ticked.
            test::control<QCheckBox>(*w, "CheckBox_Pri4ina")->click();
            test::control<QCheckBox>(*w, "CheckBox_Kontragent")->click();
            QCOMPARE(test::control<QLabel>(*w, "Label_Kontrag")->text(), "5:Бип ЕТ");
            test::control<QPushButton>(*w, "Button_Tarsi")->click();
            QCOMPARE(w->model()->rowCount(), 1);
            QCOMPARE(w->model()->value(0, "N_Priem").toInt(), 4);
            w->accept();
        });
        script.next<TForm_Kontrakents>([](TForm_Kontrakents* list) {
            QVERIFY(list->positionOn(5));
            test::control<QPushButton>(*list, "BitBtn_Izberi")->click();
        });
        main_->form.runCommand(Command::N_Spr_Izdadeni_Ser);
        QVERIFY2(script.finished(), qPrintable(script.failure()));

        // By the article chosen in the catalogue and by dossier; a dossier
        // that is no number is refused. "само избрано" prints the item under
        // the cursor with its repair lines, "всички" the list.
        fx_->writeFile("Data/Opis.pdt", "Всички артикули\r\n3:Компютри\r\n");
        execSql(db(), "INSERT INTO Grupi (ID, Opisanie) VALUES (3, 'Компютри')");
        execSql(db(), "INSERT INTO Produkti (ID, Opisanie, Nomer_Grupa, Ed_Cena, Valuta_P) VALUES "
                      "(20, 'Лаптоп', 3, 900, 'Лева')");
        execSql(db(), "UPDATE R_Priem SET Barkod = 20, Dosie_ID = 11 WHERE N_Priem = 4");
        execSql(db(), "UPDATE R_Priem SET Barkod = 0, Dosie_ID = 12 WHERE N_Priem = 7");
        script.next<TForm_Spr_Izdadeni_Ser>([this, &script](TForm_Spr_Izdadeni_Ser* w) {
            script.next<TForm_Artikuli>([](TForm_Artikuli* catalogue) {
                QCOMPARE(catalogue->mode(), int(kSelectIssuedItemsArticle));
                QVERIFY(catalogue->selectNode("3:Компютри"));
                QVERIFY(catalogue->positionOn(20));
                test::control<QAbstractButton>(*catalogue, "BitBtn_Izberi")->click();
            });
            test::control<QCheckBox>(*w, "CheckBox_Artikul")->click();
            QCOMPARE(test::control<QLabel>(*w, "Label_Artikul")->text(), "20:Лаптоп");
            test::control<QPushButton>(*w, "Button_Tarsi")->click();
            QCOMPARE(w->model()->rowCount(), 1);
            QCOMPARE(w->model()->value(0, "N_Priem").toInt(), 4);

            test::control<QCheckBox>(*w, "CheckBox_Artikul")->click();
            QCOMPARE(test::control<QLabel>(*w, "Label_Artikul")->text(), texts::kWarrantyNoArticleChosen);
            test::control<QCheckBox>(*w, "CheckBox_Dosie")->click();
            auto* dossier = test::control<QLineEdit>(*w, "Edit_Dosie");
            test::typeText(dossier, "1x");
            test::control<QPushButton>(*w, "Button_Tarsi")->click();
            QCOMPARE(msg_->messages, QStringList{texts::kReportDossierNotNumber});
            msg_->clear();
            QCOMPARE(w->model()->rowCount(), 1); // the list stays as it was
            dossier->clear();
            test::typeText(dossier, "12");
            test::control<QPushButton>(*w, "Button_Tarsi")->click();
            QCOMPARE(w->model()->rowCount(), 1);
            QCOMPARE(w->model()->value(0, "N_Priem").toInt(), 7);
            test::control<QCheckBox>(*w, "CheckBox_Dosie")->click();
            test::control<QPushButton>(*w, "Button_Tarsi")->click();
            QCOMPARE(w->model()->rowCount(), 2);
            clickRow(test::control<QTableView>(*w, "DBGrid_Izdadeni"), 1);

            for (const char* choice : {"RadioButton_Izbrano", "RadioButton_Vsichki"}) {
                test::control<QAbstractButton>(*w, choice)->click();
                script.next<TForm_Print_Vid_Fail>([](TForm_Print_Vid_Fail* chooser) {
                    test::control<QPushButton>(*chooser, "BitBtn_Priemi")->click();
                });
                test::control<QPushButton>(*w, "Button_Pechat")->click();
            }
            w->accept();
        });
        opened_.clear();
        main_->form.runCommand(Command::N_Spr_Izdadeni_Ser);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(opened_.size(), 2);
        const QString chosen = QString::fromUtf8(test::Fixture::readFile(opened_[0]));
        QVERIFY2(chosen.contains("Приет под N: 7   Сериен номер: CD-2   Принтер"), qPrintable(chosen));
        QVERIFY(chosen.contains("Издаден на: 06.03.2026   Издал: Мария"));
        QVERIFY(chosen.contains("Почистване"));
        QVERIFY(chosen.contains("Обща сума за ремонт: 20.00"));
        QVERIFY(!chosen.contains("AB-1"));
        const QString all = QString::fromUtf8(test::Fixture::readFile(opened_[1]));
        QVERIFY(all.contains("AB-1") && all.contains("CD-2"));
        QVERIFY(all.contains("Обща сума на справка: 140.00"));

        script.next<TForm_Oborotni_Serviz>([](TForm_Oborotni_Serviz* w) {
            QCOMPARE(test::control<QLabel>(*w, "Label_Priemani")->text(), "3");
            QCOMPARE(test::control<QLabel>(*w, "Label_Izdadeni")->text(), "2");
            QCOMPARE(test::control<QLabel>(*w, "Label_Izd_Garanc")->text(), "1");
            QCOMPARE(test::control<QLabel>(*w, "Label_V_Serviz")->text(), "1");
            QCOMPARE(test::control<QLabel>(*w, "Label_Oborot")->text(), "140.00");
            test::control<QDateEdit>(*w, "DateTimePicker_Ot")->setDate(QDate(2026, 3, 6));
            test::control<QPushButton>(*w, "Button_Pokaji")->click();
            QCOMPARE(test::control<QLabel>(*w, "Label_Izdadeni")->text(), "1");
            QCOMPARE(test::control<QLabel>(*w, "Label_Oborot")->text(), "20.00");
            w->accept();
        });
        main_->form.runCommand(Command::N60);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(msg_->shown, QStringList{});
    }
};

QTEST_MAIN(RepairsWindowTest)
#include "test_repairs_window.moc"
