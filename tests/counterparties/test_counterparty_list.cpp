// The counterparty list window, driven offscreen: the group tree and its
// file, the lists of a group, the search, the title sort, the print, moving
// rows into a group, the debtors, and picking through the selection
// protocol (a new counterparty included).

#include "common/sql.h"
#include "common/ui/desktop.h"
#include "common/ui/form_print_vid_fail.h"
#include "common/ui/grid_file.h"
#include "common/ui/statement_model.h"
#include "counterparties/group_tree.h"
#include "counterparties/ui/counterparty_picker.h"
#include "counterparties/ui/form_grupi_kontrag.h"
#include "counterparties/ui/form_klienti.h"
#include "counterparties/ui/form_kontrakents.h"
#include "support/fixture.h"
#include "support/host_stand_in.h"
#include "support/modal_script.h"
#include "support/scripted_messages.h"
#include "support/window_helpers.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQueryModel>
#include <QTimer>
#include <memory>

using namespace torvika;

namespace {

QList<qint64> listed(const TForm_Kontrakents& list) {
    QList<qint64> ids;
    for (int row = 0; row < list.model()->rowCount(); ++row)
        ids << list.model()->value(row, QStringLiteral("ID")).toLongLong();
    return ids;
}

QStringList treeTexts(const TForm_Kontrakents& list) {
    QStringList out;
    for (const GroupTreeLine& l : list.treeLines())
        out << QString(l.depth, u'\t') + l.text;
    return out;
}

QTreeWidgetItem* node(const TForm_Kontrakents& list, const QString& text) {
    const auto found = list.tree()->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.front();
}

} // namespace

class CounterpartyListTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    std::unique_ptr<test::ScriptedMessages> msg_;
    QSqlDatabase db() { return fx_->db(); }
    QString treeFile() { return groupTreeFile(fx_->session().workspace.directory()); }

    void addFirm(qint64 id, const QString& name, qint64 group, double discount = 0) {
        execSql(db(),
                "INSERT INTO Firmi (ID, Ime_Firma, EIK, Dan_N, T_O, ID_Mol, Nomer_Grupa) VALUES (?, ?, '0', "
                "?, ?, ?, ?)",
                {id, name, QStringLiteral("BG%1").arg(id), discount, id, group});
    }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        msg_ = std::make_unique<test::ScriptedMessages>();
        addFirm(1, "Пеликан ООД", 1, 2);
        addFirm(2, "Роза ЕТ", 2, 5);
        addFirm(3, "Фирма \"Пеликан\"", 1, 10);
        addFirm(4, "Ален мак", 0, 0);
    }
    void cleanup() {
        QCOMPARE(msg_->unexpected, 0);
        msg_.reset();
        fx_.reset();
    }

    void builtInTreeListsEverybody() {
        TForm_Kontrakents list(test::context(fx_->session()), kBrowseCounterparties);
        list.show();
        QCOMPARE(list.windowTitle(), "Контрагенти");
        QVERIFY(!test::control<QWidget>(list, "Panel_Izbor")->isVisible());
        QVERIFY(!test::control<QPushButton>(list, "Button_Iztrii")->isVisible());
        QVERIFY(!test::control<QPushButton>(list, "Button_Pomosht")->isEnabled());
        QCOMPARE(treeTexts(list), QStringList{"0:Всички контрагенти"});
        QCOMPARE(listed(list), (QList<qint64>{4, 0, 1, 2, 3})); // by name
        QCOMPARE(list.model()->headerData(2, Qt::Horizontal).toString(), "Инден. код");
        QCOMPARE(list.model()->headerData(10, Qt::Horizontal).toString(), "ТО в %");
        QCOMPARE(list.model()->columnCount(), 11); // the person's key and the group are not shown
        QCOMPARE(test::control<QLabel>(list, "Label_Tarsene_Po")->text(), "Търсене по: Номер");
        fx_->writeFile("Video/2.avi", "clip");
        TForm_Kontrakents again(test::context(fx_->session()), kBrowseCounterparties);
        again.show();
        QVERIFY(test::control<QPushButton>(again, "Button_Pomosht")->isEnabled());
    }

    void groupTreeSurvivesReopening() {
        fx_->writeFile("Data/" + kGroupTreeFileName,
                       "0:Всички контрагенти\r\n\t1:Клиенти\r\n\t\t3:Едро\r\n\t2:Доставчици\r\n");
        execSql(
            db(),
            "INSERT INTO Grupi_Kontrag (ID, Opisanie) VALUES (1, 'Клиенти'), (2, 'Доставчици'), (3, 'Едро')");
        {
            TForm_Kontrakents list(test::context(fx_->session()), kBrowseCounterparties);
            list.show();
            QCOMPARE(treeTexts(list),
                     (QStringList{"0:Всички контрагенти", "\t1:Клиенти", "\t\t3:Едро", "\t2:Доставчици"}));
            test::clickTreeItem(list.tree(), node(list, "1:Клиенти"));
            QCOMPARE(listed(list), (QList<qint64>{1, 3}));
            test::clickTreeItem(list.tree(), node(list, "3:Едро")); // members of the group only
            QCOMPARE(listed(list), QList<qint64>{});

            // A subgroup of the selected node, then a group at the top level, through the dialog.
            list.tree()->setCurrentItem(node(list, "2:Доставчици"));
            {
                test::ModalScript script;
                script.next<TForm_Grupi_Kontrag>([](TForm_Grupi_Kontrag* d) {
                    QCOMPARE(d->windowTitle(), "Въвеждане на Подгрупа");
                    QCOMPARE(test::control<QLineEdit>(*d, "Edit_Nomer")->text(), "4");
                    test::control<QLineEdit>(*d, "Edit_Naimenovanie")->setText("Вносители");
                    test::control<QPushButton>(*d, "Button_Zapis")->click();
                });
                test::control<QAction>(list, "N_Podgrupa")->trigger();
                QVERIFY2(script.finished(), qPrintable(script.failure()));
            }
            QCOMPARE(list.tree()->currentItem()->text(0), "4:Вносители");
            list.addGroupNode(5, "Други", false);
        }
        const QString expected =
            "0:Всички "
            "контрагенти\r\n\t1:Клиенти\r\n\t\t3:Едро\r\n\t2:Доставчици\r\n\t\t4:Вносители\r\n5:Други\r\n";
        QCOMPARE(QString::fromUtf8(test::Fixture::readFile(treeFile())), expected);
        QCOMPARE(scalarSql(db(), "SELECT Opisanie FROM Grupi_Kontrag WHERE ID = 4").toString(), "Вносители");

        TForm_Kontrakents reopened(test::context(fx_->session()), kBrowseCounterparties);
        reopened.show();
        QCOMPARE(treeTexts(reopened), (QStringList{"0:Всички контрагенти", "\t1:Клиенти", "\t\t3:Едро",
                                                   "\t2:Доставчици", "\t\t4:Вносители", "5:Други"}));
        QCOMPARE(reopened.tree()->currentItem()->text(0), "0:Всички контрагенти");

        // Another workstation adds a group meanwhile. A taken number stores
        // nothing and leaves the file alone; a group added here keeps the
        // other workstation's, and the tree shows both.
        const QString theirs = expected + "6:Чужда\r\n";
        fx_->writeFile("Data/" + kGroupTreeFileName, theirs.toUtf8());
        {
            test::ModalScript script;
            script.next<TForm_Grupi_Kontrag>([](TForm_Grupi_Kontrag* d) {
                test::control<QLineEdit>(*d, "Edit_Nomer")->setText("3");
                test::control<QPushButton>(*d, "Button_Zapis")->click();
            });
            test::control<QAction>(reopened, "N_Grupa")->trigger();
            QVERIFY2(script.finished(), qPrintable(script.failure()));
        }
        QCOMPARE(msg_->shown, QStringList{"Въведеният номер за група вече съществува!"});
        QCOMPARE(QString::fromUtf8(test::Fixture::readFile(treeFile())), theirs);
        reopened.addGroupNode(7, "Наша", false);
        QCOMPARE(QString::fromUtf8(test::Fixture::readFile(treeFile())), theirs + "7:Наша\r\n");
        QCOMPARE(treeTexts(reopened).mid(5), (QStringList{"5:Други", "6:Чужда", "7:Наша"}));
        QCOMPARE(reopened.tree()->currentItem()->text(0), "7:Наша");
    }

    void search_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("comparison");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QList<qint64>>("rows");
        QTest::addColumn<qint64>("current");
        const QList<qint64> all{4, 0, 1, 2, 3};
        QTest::newRow("two found: just those") << 1 << 0 << "пелик"
                                               << "" << QList<qint64>{1, 3} << qint64(-1);
        QTest::newRow("one found: everybody, on it") << 1 << 0 << "роза"
                                                     << "" << all << qint64(2);
        QTest::newRow("none found") << 1 << 0 << "%"
                                    << "" << QList<qint64>{} << qint64(-1);
        QTest::newRow("VAT number") << 3 << 0 << "bg3"
                                    << "" << all << qint64(3);
        QTest::newRow("number between") << 0 << 3 << "2"
                                        << "3" << QList<qint64>{2, 3} << qint64(-1);
        QTest::newRow("discount at least") << 10 << 2 << "5"
                                           << "" << QList<qint64>{2, 3} << qint64(-1);
        QTest::newRow("number equal") << 0 << 0 << "4"
                                      << "" << all << qint64(4);
    }
    void search() {
        QFETCH(int, column);
        QFETCH(int, comparison);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QList<qint64>, rows);
        QFETCH(qint64, current);
        TForm_Kontrakents list(test::context(fx_->session()), kBrowseCounterparties);
        list.show();
        test::chooseItem(test::control<QComboBox>(list, "ComboBox_Kriteria_Kontrag"), column);
        test::control<QComboBox>(list, "ComboBox_Uslovie")->setCurrentIndex(comparison);
        test::control<QLineEdit>(list, "Edit_Tarsi_Ot")->setText(from);
        test::control<QLineEdit>(list, "Edit_Tarsi_Do")->setText(to);
        QTest::keyClick(test::control<QLineEdit>(list, "Edit_Tarsi_Ot"), Qt::Key_Return);
        QCOMPARE(msg_->shown, QStringList{});
        QList<qint64> got = listed(list);
        if (rows.size() != 5)
            std::sort(got.begin(), got.end());
        QCOMPARE(got, rows);
        if (current >= 0)
            QCOMPARE(list.currentId(), current);
    }

    void searchControls() {
        TForm_Kontrakents list(test::context(fx_->session()), kBrowseCounterparties);
        list.show();
        auto* comparison = test::control<QComboBox>(list, "ComboBox_Uslovie");
        auto* value = test::control<QLineEdit>(list, "Edit_Tarsi_Ot");
        QCOMPARE(comparison->count(), 4);
        QCOMPARE(comparison->itemText(1), "по - малко");
        QVERIFY(comparison->isEnabled());
        comparison->setCurrentIndex(3);
        QVERIFY(test::control<QLineEdit>(list, "Edit_Tarsi_Do")->isVisible());
        QVERIFY(test::control<QLabel>(list, "Label_Ot")->isVisible());
        value->setText("стар");
        test::chooseItem(test::control<QComboBox>(list, "ComboBox_Kriteria_Kontrag"), 3);
        QCOMPARE(test::control<QLabel>(list, "Label_Tarsene_Po")->text(), "Търсене по: ЗДДС N");
        QCOMPARE(value->text(), "");
        QVERIFY(!comparison->isEnabled());
        QVERIFY(!test::control<QLineEdit>(list, "Edit_Tarsi_Do")->isVisible());
        test::clickCell(list.grid(), list.model()->index(0, 10));
        QCOMPARE(test::control<QLabel>(list, "Label_Tarsene_Po")->text(), "Търсене по: ТО в %");
        QCOMPARE(list.model()->headerData(10, Qt::Horizontal, Qt::BackgroundRole).value<QBrush>().color(),
                 QColor(Qt::red));

        value->setText("много");
        test::control<QAbstractButton>(list, "Button_Tarsi")->click();
        QCOMPARE(msg_->shown, QStringList{"Невалидни данни"});
        QVERIFY(test::Fixture::readFile(fx_->session().programDir.exceptionsLog()).contains("много"));
    }

    // A sort that cannot be read is said and logged; the rows shown stay.
    void failedSortIsLogged() {
        TForm_Kontrakents list(test::context(fx_->session()), kBrowseCounterparties);
        list.show();
        test::clickTreeItem(list.tree(), node(list, "0:Всички контрагенти"));
        const int shown = list.model()->rowCount();
        execSql(db(), "DROP TABLE Firmi");
        test::clickTitle(list.grid(), 1);
        QCOMPARE(msg_->shown, QStringList{"Няма данни за подреждане"});
        QCOMPARE(list.model()->rowCount(), shown);
        QVERIFY(
            test::Fixture::readFile(fx_->session().programDir.exceptionsLog()).contains("EDatabaseError"));
    }

    void titleClickSorts() {
        TForm_Kontrakents list(test::context(fx_->session()), kBrowseCounterparties);
        list.show();
        test::clickTreeItem(list.tree(), node(list, "0:Всички контрагенти"));
        test::clickTitle(list.grid(), 10);
        // Rows of the same value keep the order of their key.
        QVERIFY(list.statement().text.endsWith("\nORDER BY Firmi.T_O ASC, Firmi.ID"));
        QCOMPARE(listed(list).mid(3), (QList<qint64>{2, 3}));
        test::clickTitle(list.grid(), 1);
        QVERIFY(list.statement().text.endsWith("\nORDER BY Firmi.Ime_Firma DESC, Firmi.ID"));
        QCOMPARE(listed(list), (QList<qint64>{3, 2, 1, 0, 4}));
        // One switch for every title-sorted list of the run.
        TForm_Kontrakents other(test::context(fx_->session()), kBrowseCounterparties);
        other.show();
        test::clickTitle(other.grid(), 0);
        QVERIFY(other.statement().text.endsWith("\nORDER BY Firmi.ID ASC"));
        QCOMPARE(other.statement().text.count(u'\n'), 1);
    }

    void print() {
        fx_->session().clock = [] { return QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)); };
        QStringList opened;
        const FileOpener previous = setFileOpener([&opened](const QString& f) {
            opened << f;
            return true;
        });
        TForm_Kontrakents list(test::context(fx_->session()), kBrowseCounterparties);
        list.show();
        test::clickTreeItem(list.tree(), node(list, "0:Всички контрагенти"));
        test::control<QAction>(list, "N_Only_Debtors")->trigger(); // nobody owes anything
        test::control<QAbstractButton>(list, "Button_Pe4at")->click();
        QCOMPARE(msg_->shown, QStringList{"Няма данни за печат"});

        test::clickTreeItem(list.tree(), node(list, "0:Всички контрагенти"));
        {
            test::ModalScript script;
            script.next<TForm_Print_Vid_Fail>([](TForm_Print_Vid_Fail* chooser) {
                test::control<QPushButton>(*chooser, "BitBtn_Priemi")->click();
            });
            test::control<QAbstractButton>(list, "Button_Pe4at")->click();
            QVERIFY2(script.finished(), qPrintable(script.failure()));
        }
        setFileOpener(previous);
        QCOMPARE(opened.size(), 1);
        QVERIFY(opened.front().endsWith("TEMP/Export_Articles.txt"));
        const QString text = QString::fromUtf8(test::Fixture::readFile(opened.front())).remove(QChar(0xFEFF));
        QVERIFY2(text.startsWith("\r\n\tЕкспорт контрагенти \r\n\r\n\tДата:05.03.2024 14:07:09\r\n"),
                 qPrintable(text));
        QVERIFY(text.contains("Фирма \"Пеликан\""));
    }

    void moveRowsIntoAGroup() {
        fx_->writeFile("Data/" + kGroupTreeFileName, "0:Всички контрагенти\r\n\t7:Нова група\r\n");
        TForm_Kontrakents list(test::context(fx_->session()), kBrowseCounterparties);
        list.show();
        QItemSelectionModel* selection = list.grid()->selectionModel();
        const auto selectRows = [&](std::initializer_list<int> rows) {
            selection->clearSelection();
            for (int row : rows)
                selection->select(list.model()->index(row, 0),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
        };
        selectRows({2, 4}); // counterparties 1 and 3
        msg_->answerNo();
        list.TreeViewDragDrop(node(list, "7:Нова група"));
        QCOMPARE(msg_->shown,
                 QStringList{"Желаете ли да преместите избраните контрагенти в група:\r7:Нова група"});
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Firmi WHERE Nomer_Grupa = 7").toInt(), 0);

        selectRows({2, 4});
        msg_->answerYes();
        list.TreeViewDragDrop(node(list, "7:Нова група"));
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Firmi WHERE Nomer_Grupa = 7 AND ID IN (1, 3)").toInt(),
                 2);
        QCOMPARE(listed(list).size(), 5); // re-read as the current node, the root

        list.tree()->setCurrentItem(node(list, "7:Нова група"));
        QCOMPARE(listed(list), (QList<qint64>{1, 3}));
        list.grid()->selectAll();
        msg_->answerYes();
        list.TreeViewDragDrop(node(list, "0:Всички контрагенти"));
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Firmi WHERE Nomer_Grupa = 0").toInt(), 4);
        QCOMPARE(listed(list), QList<qint64>{}); // group 7 is empty now
    }

    void debtors() {
        execSql(db(),
                "INSERT INTO Konsignation (ID, ID_Kontrag, Payed) VALUES (1, 2, 'False'), (2, 2, 'False'), "
                "(3, 3, 'True')");
        TForm_Kontrakents list(test::context(fx_->session()), kBrowseCounterparties);
        list.show();
        auto* debtorsOnly = test::control<QAction>(*list.grid(), "N_Only_Debtors");
        QCOMPARE(debtorsOnly->text(), "Покажи само длъжници");
        debtorsOnly->trigger();
        QCOMPARE(listed(list), QList<qint64>{2});
    }

    // A mode that no window receives cannot choose, and says why.
    void unreceivedModeCannotChoose() {
        TForm_Kontrakents list(test::context(fx_->session()), kSelectOffer);
        auto* choose = test::control<QPushButton>(list, "BitBtn_Izberi");
        QVERIFY(!choose->isEnabled());
        QCOMPARE(choose->toolTip(), "Няма прозорец на програмата, който да приеме избора");
        test::host(fx_->session())
            .followUps()
            .of<CounterpartyPicker>()
            .add(kSelectOffer, [](QWidget*, const QString&) {});
        TForm_Kontrakents received(test::context(fx_->session()), kSelectOffer);
        QVERIFY(test::control<QPushButton>(received, "BitBtn_Izberi")->isEnabled());
    }

    void pickWithIzberi() {
        QStringList followed;
        test::host(fx_->session())
            .followUps()
            .of<CounterpartyPicker>()
            .add(kSelectOffer, [&followed](QWidget*, const QString& ref) { followed << ref; });
        test::ModalScript script;
        script.next<TForm_Kontrakents>([](TForm_Kontrakents* list) {
            QCOMPARE(list->mode(), int(kSelectOffer));
            QVERIFY(test::control<QWidget>(*list, "Panel_Izbor")->isVisible());
            QVERIFY(list->positionOn(3));
            test::control<QPushButton>(*list, "BitBtn_Izberi")->click();
        });
        QCOMPARE(pickCounterparty(test::context(fx_->session()), kSelectOffer, nullptr),
                 std::optional<QString>("3:Фирма \"Пеликан\""));
        QCOMPARE(followed, QStringList{"3:Фирма \"Пеликан\""});

        script.next<TForm_Kontrakents>(
            [](TForm_Kontrakents* list) { test::control<QPushButton>(*list, "BitBtn_Otkaji")->click(); });
        QCOMPARE(pickCounterparty(test::context(fx_->session()), kSelectOffer, nullptr), std::nullopt);
        QCOMPARE(followed.size(), 1);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
    }

    void createAndPickANewCounterparty() {
        test::host(fx_->session())
            .followUps()
            .of<CounterpartyPicker>()
            .add(kSelectDeliveriesReport, [](QWidget*, const QString&) {});
        fx_->writeFile("Data/" + kGroupTreeFileName, "0:Всички контрагенти\r\n\t2:Доставчици\r\n");
        test::ModalScript script;
        script.next<TForm_Kontrakents>([&script](TForm_Kontrakents* list) {
            list->tree()->setCurrentItem(node(*list, "2:Доставчици"));
            script.next<TForm_Klienti>([](TForm_Klienti* card) {
                QCOMPARE(card->state(), TForm_Klienti::New);
                test::typeText(test::control<QLineEdit>(*card, "Edit_Ime_Firma"), "Нова 50% \"Фирма\"");
                test::control<QLineEdit>(*card, "Edit_EIK")->setText("123456786");
                test::control<QLineEdit>(*card, "Edit_EGN_Mol")->setText("7501020018");
                test::control<QPushButton>(*card, "Button_Insert")->click();
            });
            test::control<QPushButton>(*list, "Button_Nov")->click();
            QCOMPARE(list->currentId(), 5); // the new one, listed in its group
            QCOMPARE(listed(*list), (QList<qint64>{5, 2}));
            test::control<QPushButton>(*list, "BitBtn_Izberi")->click();
        });
        QCOMPARE(pickCounterparty(test::context(fx_->session()), kSelectDeliveriesReport, nullptr),
                 std::optional<QString>("5:Нова 50% \"Фирма\""));
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(scalarSql(
                     db(),
                     "SELECT Ime_Klient FROM Klienti, Firmi WHERE Klienti.ID = Firmi.ID_Mol AND Firmi.ID = 5")
                     .toString(),
                 "Нова 50% \"Фирма\"");
        QCOMPARE(scalarSql(db(), "SELECT Nomer_Grupa FROM Firmi WHERE ID = 5").toInt(), 2);
    }

    void editFromTheList() {
        execSql(db(), "INSERT INTO Klienti (ID, Ime_Klient) VALUES (2, 'Роза')");
        test::ModalScript script;
        script.next<TForm_Kontrakents>([&script](TForm_Kontrakents* list) {
            QVERIFY(list->positionOn(2));
            script.next<TForm_Klienti>([](TForm_Klienti* card) {
                QCOMPARE(card->state(), TForm_Klienti::Edit);
                test::control<QLineEdit>(*card, "Edit_Ime_Firma")->setText("Роза и син");
                test::control<QPushButton>(*card, "Button_Insert")->click();
            });
            list->grid()->doubleClicked(list->grid()->currentIndex());
            QCOMPARE(list->currentId(), 2);
            QCOMPARE(list->model()
                         ->value(list->grid()->currentIndex().row(), QStringLiteral("Ime_Firma"))
                         .toString(),
                     "Роза и син");
            list->reject();
        });
        pickCounterparty(test::context(fx_->session()), kBrowseCounterparties, nullptr);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(scalarSql(db(), "SELECT Nomer_Grupa FROM Firmi WHERE ID = 2").toInt(), 2);
    }
};

QTEST_MAIN(CounterpartyListTest)
#include "test_counterparty_list.moc"
