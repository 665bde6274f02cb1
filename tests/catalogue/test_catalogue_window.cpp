// The catalogue window, driven offscreen on either engine: the group tree
// and its file, the enabled commands, groups through their dialog, the
// article search and the group search, the title sort, moving articles and
// groups, the stock of marked articles, the common data, the scale and list
// files, the delivery of a group, deleting, and picking through the
// selection modes (from the main window's command too).

#include "catalogue/article_groups.h"
#include "catalogue/articles.h"
#include "catalogue/stock.h"
#include "catalogue/texts.h"
#include "catalogue/ui/article_picker.h"
#include "catalogue/ui/article_views.h"
#include "catalogue/ui/form_artikuli.h"
#include "catalogue/ui/form_dostavki.h"
#include "catalogue/ui/form_grupi.h"
#include "catalogue/ui/form_ob6ti_danni_artikuli.h"
#include "common/cp1251.h"
#include "common/sql.h"
#include "common/ui/desktop.h"
#include "common/ui/form_get_kol.h"
#include "common/ui/form_koloni.h"
#include "common/ui/form_print_vid_fail.h"
#include "common/ui/statement_model.h"
#include "support/fixture.h"
#include "support/host_stand_in.h"
#include "support/main_window.h"
#include "support/modal_script.h"
#include "support/scripted_messages.h"
#include "support/window_helpers.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <memory>

using namespace torvika;

namespace {

QList<qint64> listed(const TForm_Artikuli& w) {
    QList<qint64> ids;
    for (int row = 0; row < w.model()->rowCount(); ++row)
        ids << w.model()->value(row, QStringLiteral("ID")).toLongLong();
    return ids;
}

QStringList treeTexts(const TForm_Artikuli& w) {
    QStringList out;
    for (const TreeLine& l : w.treeLines())
        out << QString(l.depth, u'\t') + l.text;
    return out;
}

QTreeWidgetItem* node(const TForm_Artikuli& w, const QString& text) {
    const auto found = w.tree()->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    if (found.isEmpty())
        qFatal("no node %s", qPrintable(text));
    return found.front();
}

void mark(const TForm_Artikuli& w, std::initializer_list<qint64> ids) {
    QItemSelectionModel* selection = w.grid()->selectionModel();
    selection->clearSelection();
    for (qint64 id : ids) {
        const int row = w.model()->findRow(QStringLiteral("ID"), id);
        QVERIFY(row >= 0);
        selection->select(w.model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

} // namespace

class CatalogueWindowTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    std::unique_ptr<test::ScriptedMessages> msg_;
    QSqlDatabase db() { return fx_->db(); }
    QString treeFile() { return articleTreeFile(fx_->session().workspace.directory()); }
    QString fileText() { return QString::fromUtf8(test::Fixture::readFile(treeFile())); }
    int count(const QString& sql) { return scalarSql(db(), sql).toInt(); }

    void article(qint64 id, qint64 group, const QString& name, double price) {
        execSql(
            db(),
            "INSERT INTO Produkti (ID, Nomenkl_N, Nomer_Grupa, Opisanie, Dostavna_Cena, Valuta_D, Ed_Cena, "
            "Valuta_P, Mqrka, Garancionen, Kasovo_Ime, Etiketno_Ime, Dostav4ik, Poredica, Min_Kol, Max_TO, "
            "Trajnost, Kod_Vezna, Dan_Grup, Prigotvq_Se) VALUES (?, ?, ?, ?, 0, 'Лева', ?, 'Лева', 'бр.', "
            "'False', ?, ?, 0, 'False', 1, 0, '', ?, 1, 0)",
            {id, QString::number(group) + u'_' + QString::number(id), group, name, price, name, name, id});
    }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        msg_ = std::make_unique<test::ScriptedMessages>();
        execSql(db(), "INSERT INTO Grupi (ID, Opisanie) VALUES (1, 'Напитки'), (2, 'Бира'), (3, 'Храни')");
        fx_->writeFile("Data/Opis.pdt", "Всички артикули\r\n1:Напитки\r\n\t2:Бира\r\n3:Храни\r\n");
        article(1, 1, "Кола", 2.5);
        article(2, 2, "Бира Загорка", 1.8);
        article(3, 3, "Хляб", 1.2);
        article(4, 3, "Сирене", 9.9);
        execSql(db(), "INSERT INTO Firmi (ID, Ime_Firma, ID_Mol, Nomer_Grupa) VALUES (7, 'Доставчик', 7, 0)");
    }
    void cleanup() {
        QCOMPARE(msg_->unexpected, 0);
        msg_.reset();
        fx_.reset();
    }

    void opensWithTheTree() {
        TForm_Artikuli w(test::context(fx_->session()), kBrowseArticles);
        w.show();
        QCOMPARE(w.windowTitle(), "Артикули");
        QVERIFY(!test::control<QWidget>(w, "Panel_Izbor")->isVisible());
        QCOMPARE(treeTexts(w), (QStringList{"Всички артикули", "1:Напитки", "\t2:Бира", "3:Храни"}));
        QCOMPARE(w.currentNode(), "Всички артикули");
        QCOMPARE(listed(w), (QList<qint64>{1, 2, 3, 4}));
        QStringList titles;
        for (int c = 0; c < w.model()->columnCount(); ++c)
            titles << w.model()->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(titles, (QStringList{"Арт. №", "Каталожен №", "Описание", "Цена", "Валута", "Мярка",
                                      "Група N", "Група"}));
        QCOMPARE(test::control<QLabel>(w, "Label_Tarsene_Po")->text(), "Търсене по: Арт. №");
        QCOMPARE(test::control<QLineEdit>(w, "Edit_Grupa_Tarsi")->text(), "0");
        test::clickTreeItem(w.tree(), node(w, "1:Напитки"));
        QCOMPARE(listed(w), QList<qint64>{1});
        w.tree()->setCurrentItem(node(w, "3:Храни"));
        QCOMPARE(listed(w), (QList<qint64>{3, 4}));
        w.tree()->setCurrentItem(node(w, "1:Напитки")); // its own articles, not its sub-group's
        QCOMPARE(listed(w), QList<qint64>{1});

        TForm_Artikuli picker(test::context(fx_->session()), kSelectSaleArticle);
        picker.show();
        QVERIFY(test::control<QWidget>(picker, "Panel_Izbor")->isVisible());
    }

    // "Настройка колони ...": the column window lists the titles ticked as
    // shown; "Нищо" and "Приеми" hide every column and keep the rows;
    // "Всичко" shows them again; "Откажи" changes nothing.
    void columnWindow() {
        TForm_Artikuli w(test::context(fx_->session()), kBrowseArticles);
        w.show();
        QTableView* grid = test::control<QTableView>(w, "DBGrid_Artikuli");
        const int columns = grid->model()->columnCount(), rows = grid->model()->rowCount();
        QVERIFY(columns > 2);
        auto shownColumns = [grid, columns] {
            int n = 0;
            for (int c = 0; c < columns; ++c)
                n += grid->isColumnHidden(c) ? 0 : 1;
            return n;
        };
        auto run = [&](std::function<void(TForm_Koloni*)> step) {
            test::ModalScript script;
            script.next<TForm_Koloni>(step);
            test::control<QAction>(w, "N_Nastroika_Koloni")->trigger();
            QVERIFY2(script.finished(), qPrintable(script.failure()));
        };
        run([&](TForm_Koloni* k) {
            auto* list = test::control<QListWidget>(*k, "CheckListBox_Koloni");
            QCOMPARE(list->count(), columns);
            QCOMPARE(list->item(1)->text(), grid->model()->headerData(1, Qt::Horizontal).toString());
            test::click(*k, "BitBtn_Notingh");
            test::click(*k, "BitBtn1");
        });
        QCOMPARE(shownColumns(), 0);
        QCOMPARE(grid->model()->rowCount(), rows);
        run([&](TForm_Koloni* k) {
            test::click(*k, "BitBtn_All");
            test::click(*k, "BitBtn2");
        });
        QCOMPARE(shownColumns(), 0);
        run([&](TForm_Koloni* k) {
            test::click(*k, "BitBtn_All");
            auto* list = test::control<QListWidget>(*k, "CheckListBox_Koloni");
            list->item(0)->setCheckState(Qt::Unchecked);
            test::click(*k, "BitBtn1");
        });
        QCOMPARE(shownColumns(), columns - 1);
        QVERIFY(grid->isColumnHidden(0));
    }

    // "Нов", "Редактирай" and "Изтрии" follow the node and the list.
    void enabledCommands() {
        fx_->writeFile("Data/Opis.pdt", "Всички артикули\r\n1:Напитки\r\n5:Празна\r\nИзтрити артикули\r\n");
        execSql(db(), "INSERT INTO Grupi (ID, Opisanie) VALUES (5, 'Празна')");
        TForm_Artikuli w(test::context(fx_->session()), kBrowseArticles);
        w.show();
        auto action = [&w](const char* name) { return test::control<QAction>(w, name)->isEnabled(); };
        QVERIFY(action("N_Nov") && action("N_Redaktiraj") && action("N_Iztrii") && action("N_Vav_Artikul"));
        QVERIFY(action("N_Export") && action("N_Nastroika_Koloni"));
        test::control<QAction>(w, "N_Nov")->trigger(); // the root is no group
        QCOMPARE(msg_->shown, QStringList{"Необходимо е да изберете група за артикула"});
        w.tree()->setCurrentItem(node(w, "5:Празна"));
        QVERIFY(action("N_Nov") && !action("N_Redaktiraj") && !action("N_Iztrii"));
        execSql(db(), "UPDATE Produkti SET Nomer_Grupa = 0 WHERE ID = 3");
        w.tree()->setCurrentItem(node(w, "Изтрити артикули"));
        QCOMPARE(listed(w), QList<qint64>{3});
        QVERIFY(!action("N_Nov") && !action("N_Redaktiraj") && !action("N_Iztrii") &&
                !action("N_Vav_Artikul"));
        // Ctrl+Delete on the root or the bin deletes nothing.
        test::control<QAction>(w, "N_Grupa_Iztrii")->trigger();
        w.tree()->setCurrentItem(node(w, "Всички артикули"));
        test::control<QAction>(w, "N_Grupa_Iztrii")->trigger();
        test::control<QAction>(w, "N_Grupa_Redaktiraj")->trigger();
        QCOMPARE(msg_->shown.mid(1), QStringList(3, "Необходимо е да изберете валидна група"));
        QCOMPARE(count("SELECT COUNT(*) FROM Grupi"), 4);
    }

    void groupsThroughTheDialog() {
        fx_->writeFile("Data/Opis.pdt",
                       "Всички артикули\r\n1:Напитки\r\n\t2:Бира\r\n3:Храни\r\nИзтрити артикули\r\n");
        TForm_Artikuli w(test::context(fx_->session()), kBrowseArticles);
        w.show();
        test::ModalScript script;
        script.next<TForm_Grupi>([](TForm_Grupi* d) {
            QCOMPARE(d->windowTitle(), "Въвеждане на Група");
            QCOMPARE(test::control<QLineEdit>(*d, "Edit_Nomer_Grupa")->text(), "4");
            test::control<QLineEdit>(*d, "Edit_Opisanie_Grupa")->setText("Сладкиши");
            test::control<QPushButton>(*d, "Button_Priemi")->click();
        });
        test::control<QAction>(w, "N_Vav_Grupa")->trigger();
        QCOMPARE(w.currentNode(), "4:Сладкиши");
        // A taken number and an empty name keep the dialog open.
        script.next<TForm_Grupi>([this](TForm_Grupi* d) {
            QCOMPARE(d->windowTitle(), "Въвеждане на Подгрупа");
            test::control<QLineEdit>(*d, "Edit_Nomer_Grupa")->setText("1");
            test::control<QLineEdit>(*d, "Edit_Opisanie_Grupa")->setText("Торти");
            test::control<QAbstractButton>(*d, "Button_Priemi")->click();
            QVERIFY(d->isVisible());
            test::control<QLineEdit>(*d, "Edit_Nomer_Grupa")->setText("0");
            test::control<QAbstractButton>(*d, "Button_Priemi")->click();
            test::control<QLineEdit>(*d, "Edit_Nomer_Grupa")->setText("5");
            test::control<QLineEdit>(*d, "Edit_Opisanie_Grupa")->setText(" ");
            test::control<QAbstractButton>(*d, "Button_Priemi")->click();
            QCOMPARE(msg_->shown, (QStringList{"Въведеният номер за група вече съществува!",
                                               "Номерът на група трябва да е цяло положително число!",
                                               "Въведете описание на група!"}));
            test::control<QLineEdit>(*d, "Edit_Opisanie_Grupa")->setText("Торти");
            test::control<QAbstractButton>(*d, "Button_Priemi")->click();
        });
        test::control<QAction>(w, "N_Podgrupa")->trigger();
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(fileText(),
                 "Всички артикули\r\n1:Напитки\r\n\t2:Бира\r\n3:Храни\r\n4:Сладкиши\r\n\t5:Торти\r\n"
                 "Изтрити артикули\r\n");
        QCOMPARE(count("SELECT COUNT(*) FROM Grupi"), 5);

        // A new number: the node and the group's articles follow.
        w.tree()->setCurrentItem(node(w, "3:Храни"));
        script.next<TForm_Grupi>([](TForm_Grupi* d) {
            QCOMPARE(d->windowTitle(), "Редакция на: Храни");
            test::control<QLineEdit>(*d, "Edit_Nomer_Grupa")->setText("30");
            test::control<QLineEdit>(*d, "Edit_Opisanie_Grupa")->setText("Хлебни");
            test::control<QPushButton>(*d, "Button_Priemi")->click();
        });
        test::control<QAction>(w, "N_Grupa_Redaktiraj")->trigger();
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(w.currentNode(), "30:Хлебни");
        QCOMPARE(listed(w), (QList<qint64>{3, 4}));
        QVERIFY(fileText().contains("\r\n30:Хлебни\r\n"));
        // No sub-group of the bin.
        w.tree()->setCurrentItem(node(w, "Изтрити артикули"));
        msg_->clear();
        test::control<QAction>(w, "N_Podgrupa")->trigger();
        QCOMPARE(msg_->shown, QStringList{"Необходимо е да изберете валидна група"});
    }

    void deleteGroupAsks() {
        GET_NALI4NOST(db(), 1, 1, kAddStock, 3);
        TForm_Artikuli w(test::context(fx_->session()), kBrowseArticles);
        w.show();
        w.tree()->setCurrentItem(node(w, "1:Напитки"));
        msg_->answerNo();
        test::control<QAction>(w, "N_Grupa_Iztrii")->trigger();
        msg_->answerYes();
        msg_->answerNo();
        test::control<QAction>(w, "N_Grupa_Iztrii")->trigger();
        QCOMPARE(msg_->questions, (QStringList{texts::kAskDeleteSubgroups, texts::kAskDeleteSubgroups,
                                               texts::kAskDeleteGroupArticles}));
        QCOMPARE(count("SELECT COUNT(*) FROM Grupi"), 3);
        msg_->clear();
        msg_->answerYes();
        msg_->answerYes();
        test::control<QAction>(w, "N_Grupa_Iztrii")->trigger();
        // Article 1 has stock: it waits in the bin; article 2 is gone.
        QCOMPARE(msg_->messages, QStringList{texts::kArticlesBinned.arg(1)});
        QCOMPARE(treeTexts(w), (QStringList{"Всички артикули", "3:Храни", "Изтрити артикули"}));
        QCOMPARE(fileText(), "Всички артикули\r\n3:Храни\r\nИзтрити артикули\r\n");
        QCOMPARE(count("SELECT COUNT(*) FROM Grupi"), 1);
        QCOMPARE(count("SELECT COUNT(*) FROM Produkti WHERE ID IN (1, 2)"), 1);
        w.tree()->setCurrentItem(node(w, "Изтрити артикули"));
        QCOMPARE(listed(w), QList<qint64>{1});
        // An empty group goes without a question.
        execSql(db(), "DELETE FROM Produkti WHERE Nomer_Grupa = 3");
        w.tree()->setCurrentItem(node(w, "3:Храни"));
        msg_->clear();
        test::control<QAction>(w, "N_Grupa_Iztrii")->trigger();
        QCOMPARE(msg_->shown, QStringList{});
        QCOMPARE(count("SELECT COUNT(*) FROM Grupi"), 0);
    }

    // The questions are about the tree shown: a sub-group another
    // workstation added meanwhile is shown and asked about before anything
    // is deleted; answered No, nothing is.
    void deleteGroupAsksAgainAboutNewSubgroups() {
        execSql(db(), "DELETE FROM Produkti WHERE Nomer_Grupa = 3");
        TForm_Artikuli w(test::context(fx_->session()), kBrowseArticles);
        w.show();
        w.tree()->setCurrentItem(node(w, "3:Храни"));
        QVERIFY(addArticleGroup(db(), treeFile(), 9, "Сладкиши", "3:Храни"));
        article(9, 9, "Торта", 20);
        msg_->answerNo();
        test::control<QAction>(w, "N_Grupa_Iztrii")->trigger();
        QCOMPARE(msg_->questions, QStringList{texts::kAskDeleteSubgroups});
        QCOMPARE(treeTexts(w),
                 (QStringList{"Всички артикули", "1:Напитки", "\t2:Бира", "3:Храни", "\t9:Сладкиши"}));
        QCOMPARE(w.currentNode(), "3:Храни");
        QCOMPARE(count("SELECT COUNT(*) FROM Grupi WHERE ID IN (3, 9)"), 2);
        QCOMPARE(count("SELECT COUNT(*) FROM Produkti WHERE ID = 9"), 1);
        // Asked about both, the group goes with its new sub-group.
        msg_->clear();
        msg_->answerYes();
        msg_->answerYes();
        test::control<QAction>(w, "N_Grupa_Iztrii")->trigger();
        QCOMPARE(msg_->questions, (QStringList{texts::kAskDeleteSubgroups, texts::kAskDeleteGroupArticles}));
        QCOMPARE(count("SELECT COUNT(*) FROM Grupi WHERE ID IN (3, 9)"), 0);
        QCOMPARE(fileText(), "Всички артикули\r\n1:Напитки\r\n\t2:Бира\r\n");
    }

    void deleteArticles() {
        execSql(db(), "INSERT INTO Barkodes (ID, Barkode) VALUES (3, '111')");
        execSql(db(), "INSERT INTO Prodajbi (ID_Prodajba, ID_Art, Kol) VALUES (1, 4, 1)");
        TForm_Artikuli w(test::context(fx_->session()), kBrowseArticles);
        w.show();
        w.tree()->setCurrentItem(node(w, "3:Храни"));
        QVERIFY(w.positionOn(3));
        test::control<QAction>(w, "N_Iztrii")->trigger();
        QCOMPARE(msg_->shown, QStringList{});
        QCOMPARE(listed(w), QList<qint64>{4});
        QCOMPARE(count("SELECT COUNT(*) FROM Barkodes"), 0);
        // A sold article keeps its sales: it goes to the bin, which appears.
        QVERIFY(w.positionOn(4));
        test::control<QAction>(w, "N_Iztrii")->trigger();
        QCOMPARE(msg_->shown, QStringList{texts::kArticleBinned.arg("4:Сирене")});
        QCOMPARE(listed(w), QList<qint64>{});
        QCOMPARE(treeTexts(w).last(), "Изтрити артикули");
        QVERIFY(fileText().endsWith("Изтрити артикули\r\n"));
        QCOMPARE(count("SELECT Nomer_Grupa FROM Produkti WHERE ID = 4"), 0);
    }

    void articleSearch() {
        execSql(db(), "INSERT INTO Nomenklatures (ID, Nomenkl_N, ID_Kontrag) VALUES (4, 'D-44', 7)");
        TForm_Artikuli w(test::context(fx_->session()), kBrowseArticles);
        w.show();
        auto* from = test::control<QLineEdit>(w, "Edit_Ot");
        auto* to = test::control<QLineEdit>(w, "Edit_Do");
        auto* comparison = test::control<QComboBox>(w, "ComboBox_Uslovie");
        auto* partOfWord = test::control<QCheckBox>(w, "CheckBox_Chast_Ot_Duma");
        QCOMPARE(test::control<QComboBox>(w, "ComboBox_Kriterii")->itemText(0), "Сериен номер");
        QCOMPARE(test::control<QComboBox>(w, "ComboBox_Kriterii")->itemText(10), "Номер на контрагент");
        QVERIFY(partOfWord->isChecked());

        test::clickCell(w.grid(), w.model()->index(0, 2));
        QCOMPARE(test::control<QLabel>(w, "Label_Tarsene_Po")->text(), "Търсене по: Описание");
        QVERIFY(!comparison->isEnabled());
        test::typeText(from, "ИР");
        QTest::keyClick(from, Qt::Key_Return);
        QCOMPARE(listed(w), (QList<qint64>{2, 4}));
        partOfWord->click();
        QCOMPARE(partOfWord->toolTip(), "Търсене по цяла дума");
        from->setText("сирене");
        test::control<QAbstractButton>(w, "Button_Tarsi")->click();
        QCOMPARE(listed(w), QList<qint64>{4});

        test::chooseItem(test::control<QComboBox>(w, "ComboBox_Kriterii"), 5); // "Цена"
        QCOMPARE(from->text(), "");
        QVERIFY(comparison->isEnabled());
        QVERIFY(!to->isVisible());
        comparison->setCurrentIndex(3);
        QVERIFY(to->isVisible() && test::control<QLabel>(w, "Label_Ot")->isVisible());
        from->setText("1.5");
        to->setText("2,5");
        test::control<QAbstractButton>(w, "Button_Tarsi")->click();
        QCOMPARE(listed(w), (QList<qint64>{1, 2}));

        // The counterparty number adds a column that the next search removes.
        test::chooseItem(test::control<QComboBox>(w, "ComboBox_Kriterii"), 10);
        from->setText("d-4");
        test::control<QAbstractButton>(w, "Button_Tarsi")->click();
        QCOMPARE(listed(w), QList<qint64>{4});
        QCOMPARE(w.model()->columnCount(), 9);
        QCOMPARE(w.model()->headerData(8, Qt::Horizontal).toString(), "Име на фирма");
        QCOMPARE(w.model()->data(w.model()->index(0, 8)).toString(), "Доставчик");
        // A failing search says so and lists the node again.
        test::chooseItem(test::control<QComboBox>(w, "ComboBox_Kriterii"), 2);
        from->setText("две");
        test::control<QAbstractButton>(w, "Button_Tarsi")->click();
        QCOMPARE(msg_->shown, QStringList{"Некоректен критерии за търсене!"});
        QCOMPARE(w.model()->columnCount(), 8);
        QCOMPARE(listed(w), (QList<qint64>{1, 2, 3, 4}));
    }

    void groupSearch() {
        TForm_Artikuli w(test::context(fx_->session()), kBrowseArticles);
        w.show();
        auto* box = test::control<QLineEdit>(w, "Edit_Grupa_Tarsi");
        auto* names = test::control<QListWidget>(w, "ListBox_Grupi");
        box->clear();
        QCOMPARE(box->text(), "0"); // while searching by number
        box->setText("3");
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(w.currentNode(), "3:Храни");
        QCOMPARE(listed(w), (QList<qint64>{3, 4}));
        box->setText("9");
        test::control<QAbstractButton>(w, "Button_Grupa_Tarsi")->click();
        QCOMPARE(msg_->shown, QStringList{"Не е открит търсеният код"});

        test::chooseItem(test::control<QComboBox>(w, "ComboBox_Grupa_Kriterii"), 1);
        QCOMPARE(box->text(), "0");
        box->setText("НАП");
        test::control<QAbstractButton>(w, "Button_Grupa_Tarsi")->click();
        QCOMPARE(w.currentNode(), "1:Напитки");
        box->setText("и"); // "Бира", "Напитки", "Храни"
        test::control<QAbstractButton>(w, "Button_Grupa_Tarsi")->click();
        QVERIFY(names->isVisible());
        QCOMPARE(names->count(), 3);
        const QPoint first = names->visualItemRect(names->item(0)).center();
        QTest::mouseClick(names->viewport(), Qt::LeftButton, {}, first);
        QTest::mouseDClick(names->viewport(), Qt::LeftButton, {}, first);
        QVERIFY(!names->isVisible());
        QCOMPARE(w.currentNode(), "2:Бира");
        box->setText("няма такава");
        test::control<QAbstractButton>(w, "Button_Grupa_Tarsi")->click();
        QCOMPARE(msg_->shown.last(), "Не е открита търсената група");
    }

    void titleSort() {
        TForm_Artikuli w(test::context(fx_->session()), kBrowseArticles);
        w.show();
        test::clickTitle(w.grid(), 2);
        QVERIFY(w.statement().text.endsWith("\nORDER BY Produkti.Opisanie ASC, Produkti.ID"));
        QCOMPARE(listed(w), (QList<qint64>{2, 1, 4, 3}));
        test::clickTitle(w.grid(), 7);
        QVERIFY(w.statement().text.endsWith("\nORDER BY Grupi.Opisanie DESC, Produkti.ID"));
        QCOMPARE(listed(w), (QList<qint64>{3, 4, 1, 2}));
    }

    void moveArticlesAndGroups() {
        fx_->writeFile("Data/Opis.pdt",
                       "Всички артикули\r\n1:Напитки\r\n\t2:Бира\r\n3:Храни\r\nИзтрити артикули\r\n");
        TForm_Artikuli w(test::context(fx_->session()), kBrowseArticles);
        w.show();
        mark(w, {1, 2});
        // Neither the root nor the bin takes articles: they would vanish.
        w.TreeViewDragDrop(node(w, "Всички артикули"));
        w.TreeViewDragDrop(node(w, "Изтрити артикули"));
        QCOMPARE(msg_->shown, QStringList(2, "Необходимо е да изберете валидна група"));
        mark(w, {1, 2});
        msg_->answerYes();
        w.TreeViewDragDrop(node(w, "3:Храни"));
        QCOMPARE(msg_->questions,
                 QStringList{"Желаете ли да преместите избраните артикули в група:\r3:Храни"});
        QCOMPARE(count("SELECT COUNT(*) FROM Produkti WHERE Nomer_Grupa = 3"), 4);

        msg_->clear();
        w.TreeViewGroupDrop("1:Напитки", node(w, "2:Бира"));
        w.TreeViewGroupDrop("1:Напитки", node(w, "Изтрити артикули"));
        QCOMPARE(msg_->shown, (QStringList{"Група не може да бъде преместена в себе си или в своя подгрупа!",
                                           "Необходимо е да изберете валидна група"}));
        msg_->clear();
        msg_->answerYes();
        w.TreeViewGroupDrop("1:Напитки", node(w, "3:Храни"));
        QCOMPARE(msg_->questions, QStringList{"Желаете ли да преместите група:1:Напитки"});
        QCOMPARE(fileText(),
                 "Всички артикули\r\n3:Храни\r\n\t1:Напитки\r\n\t\t2:Бира\r\nИзтрити артикули\r\n");
        QCOMPARE(w.currentNode(), "1:Напитки");
        msg_->answerYes();
        w.TreeViewGroupDrop("2:Бира", node(w, "Всички артикули")); // to the top level
        QCOMPARE(treeTexts(w),
                 (QStringList{"Всички артикули", "3:Храни", "\t1:Напитки", "2:Бира", "Изтрити артикули"}));
    }

    // 255 marked articles still make the report; 256 are refused.
    void stockOfMarkedArticles() {
        QVERIFY(db().transaction());
        for (qint64 id = 100; id < 356; ++id)
            article(id, 3, "Артикул", 1);
        QVERIFY(db().commit());
        GET_NALI4NOST(db(), 3, 1, kAddStock, Decimal("2.5"));
        GET_NALI4NOST(db(), 100, 1, kAddStock, 1);
        TForm_Artikuli w(test::context(fx_->session()), kBrowseArticles);
        w.show();
        w.tree()->setCurrentItem(node(w, "3:Храни"));
        test::control<QAction>(w, "N_Markirai_Vsi4ki")->trigger();
        QCOMPARE(w.markedIds().size(), 258);
        test::control<QAction>(w, "N_Nali4nosti")->trigger();
        QCOMPARE(msg_->shown, QStringList{"За справка наличности за всички артикули\rизползвайте "
                                          "\"Справки->Наличности артикули...\""});
        w.grid()->selectionModel()->clearSelection();
        QItemSelectionModel* s = w.grid()->selectionModel();
        s->select(QItemSelection(w.model()->index(0, 0), w.model()->index(254, 0)),
                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QCOMPARE(w.markedIds().size(), 255);
        test::control<QAction>(w, "N_Nali4nosti")->trigger();
        QCOMPARE(listed(w), (QList<qint64>{3, 100}));
        QCOMPARE(w.model()->columnCount(), 9);
        QCOMPARE(w.model()->headerData(8, Qt::Horizontal).toString(), "Нал. кол.");
        QCOMPARE(w.model()->data(w.model()->index(0, 8)).toString(), "2.50");
    }

    void commonDataOfMarkedArticles() {
        TForm_Artikuli w(test::context(fx_->session()), kBrowseArticles);
        w.show();
        mark(w, {3, 4});
        test::ModalScript script;
        script.next<TForm_Ob6ti_Danni_artikuli>([](TForm_Ob6ti_Danni_artikuli* d) {
            for (QCheckBox* box : d->findChildren<QCheckBox*>())
                QVERIFY(!box->isChecked());
            test::control<QCheckBox>(*d, "CheckBox_Valuta")->click();
            test::control<QComboBox>(*d, "ComboBox_Valuta")->setCurrentText("EUR");
            test::control<QCheckBox>(*d, "CheckBox_Garancionen")->click();
            QVERIFY(!test::control<QCheckBox>(*d, "CheckBox_Poredica")->isEnabled());
            QCOMPARE(test::control<QComboBox>(*d, "ComboBox_Garancionen")->currentText(), "True");
            test::control<QComboBox>(*d, "ComboBox_Gar_Srok")->setCurrentIndex(2);
            test::control<QSpinBox>(*d, "SpinEdit_Gar_Srok")->setValue(24);
            test::control<QCheckBox>(*d, "CheckBox_Trajnost")->click();
            test::control<QCheckBox>(*d, "CheckBox_Max_TO")->click();
            test::control<QLineEdit>(*d, "Edit_Max_TO")->setText("120");
            test::control<QPushButton>(*d, "Button_Zapis")->click();
            QVERIFY(d->isVisible()); // a discount above 100 is refused
            test::control<QLineEdit>(*d, "Edit_Max_TO")->setText("7,5");
            test::control<QPushButton>(*d, "Button_Zapis")->click();
        });
        test::control<QAction>(w, "N_Ob6ti_Danni")->trigger();
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(msg_->shown, QStringList{"Максималната отстъпка трябва да е число от 0 до 100!"});
        for (qint64 id : {3, 4}) {
            const Article a = *loadArticle(db(), id);
            QCOMPARE(a.currency, "EUR");
            QVERIFY(a.warranty);
            QCOMPARE(a.shelfLife, "2:24");
            QCOMPARE(a.maxDiscount, Decimal("7.5"));
        }
        QCOMPARE(loadArticle(db(), 1)->currency, "Лева");
        QCOMPARE(w.model()->value(w.model()->findRow("ID", 3), "Valuta_P").toString(), "EUR");
    }

    void scaleAndListFiles() {
        fx_->session().clock = [] { return QDateTime(QDate(2026, 3, 5), QTime(14, 7, 9)); };
        execSql(db(), "UPDATE Produkti SET Kod_Vezna = 0 WHERE ID = 3");
        TForm_Artikuli w(test::context(fx_->session()), kBrowseArticles);
        w.show();
        mark(w, {4, 3, 1});
        const QString scale = fx_->root() + "Artikules";
        msg_->answer(scale);
        test::control<QAction>(w, "N_Elikom")->trigger();
        QCOMPARE(QString::fromLatin1(test::Fixture::readFile(scale + ".txt")).size() > 0, true);
        QCOMPARE(fromCp1251(test::Fixture::readFile(scale + ".txt")),
                 "4;Сирене;Сирене;Сирене;4;-1;;3_4;9.9;0;\r\n1;Кола;Кола;Кола;1;-1;;1_1;2.5;0;\r\n");

        QStringList opened;
        const FileOpener previous = setFileOpener([&opened](const QString& f) {
            opened << f;
            return true;
        });
        test::ModalScript script;
        script.next<TForm_Print_Vid_Fail>([](TForm_Print_Vid_Fail* chooser) {
            test::control<QPushButton>(*chooser, "BitBtn_Priemi")->click();
        });
        test::control<QAction>(w, "N_Pe4at_Fail")->trigger();
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        setFileOpener(previous);
        QCOMPARE(opened.size(), 1);
        QVERIFY(opened.front().endsWith("TEMP/Export_Articles.txt"));
        const QString text = QString::fromUtf8(test::Fixture::readFile(opened.front())).remove(QChar(0xFEFF));
        QVERIFY2(text.startsWith("\r\n\tЕкспорт артикули \r\n\r\n\tДата:05.03.2026 14:07:09\r\n"),
                 qPrintable(text));
        QVERIFY(text.contains("Бира Загорка"));
        QVERIFY(text.contains("\r\n\r\n\r\n\t"));

        // An empty list prints nothing.
        w.tree()->setCurrentItem(node(w, "1:Напитки"));
        execSql(db(), "DELETE FROM Produkti");
        test::clickTreeItem(w.tree(), node(w, "1:Напитки")); // clicked while current: listed again
        test::control<QAction>(w, "N_Elikom")->trigger();
        test::control<QAction>(w, "N_Pe4at_Fail")->trigger();
        QCOMPARE(msg_->shown, QStringList(2, "Няма данни за печат"));
    }

    void deliveryOfAGroup() {
        TForm_Artikuli w(test::context(fx_->session()), kBrowseArticles);
        w.show();
        test::control<QAction>(w, "N_Dostavka")->trigger();
        QCOMPARE(msg_->shown, QStringList{"Необходимо е да изберете валидна група"});
        w.tree()->setCurrentItem(node(w, "3:Храни"));
        // The delivery window opens with a line of quantity 0 for each article.
        test::ModalScript script;
        script.next<TForm_Dostavki>([](TForm_Dostavki* d) {
            QVERIFY(d->isOpen());
            QCOMPARE(d->model()->rowCount(), 2);
            QCOMPARE(d->draft().lines().at(0).quantity.toString(), "0");
            d->draft().clear();
            d->reject();
        });
        test::control<QAction>(w, "N_Dostavka")->trigger();
        QVERIFY2(script.finished(), qPrintable(script.failure()));
    }

    // Mode 2, the sale list's: the follow-up gets the article's number and
    // catalogue number.
    void pickForTheSaleList() {
        QStringList codes;
        test::host(fx_->session())
            .followUps()
            .of<ArticlePicker>()
            .add(kSelectSaleArticle, [&codes](QWidget*, const ArticleChoice& c) {
                QVERIFY(c.current);
                codes << QString::number(c.current->id) << c.current->catalogueNumber;
            });
        test::ModalScript script;
        script.next<TForm_Artikuli>([](TForm_Artikuli* w) {
            QCOMPARE(w->mode(), int(kSelectSaleArticle));
            QVERIFY(w->positionOn(2));
            test::control<QPushButton>(*w, "BitBtn_Izberi")->click();
        });
        const std::optional<ArticleChoice> choice =
            pickArticles(test::context(fx_->session()), kSelectSaleArticle, nullptr);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QVERIFY(choice);
        QCOMPARE(codes, (QStringList{"2", "2_2"}));
        QCOMPARE(choice->current->refText(), "2:Бира Загорка");

        script.next<TForm_Artikuli>([](TForm_Artikuli* w) { w->reject(); });
        QCOMPARE(pickArticles(test::context(fx_->session()), kSelectSaleArticle, nullptr), std::nullopt);
        QCOMPARE(codes.size(), 2);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
    }

    // The line-making modes ask each marked article's quantity, in marking
    // order; an article whose quantity is cancelled makes no line.
    void pickWithQuantities() {
        QList<QPair<qint64, QString>> lines;
        test::host(fx_->session())
            .followUps()
            .of<ArticlePicker>()
            .add(kSelectTransferArticles, [&lines](QWidget*, const ArticleChoice& c) {
                for (const PickedArticle& a : c.articles)
                    lines.append({a.id, a.quantity->toString()});
            });
        test::ModalScript script;
        script.next<TForm_Artikuli>([&script, this](TForm_Artikuli* w) {
            mark(*w, {4, 1, 3});
            QCOMPARE(w->markedIds(), (QList<qint64>{4, 1, 3}));
            script.next<TForm_Get_Kol>([this](TForm_Get_Kol* k) {
                QCOMPARE(test::control<QLabel>(*k, "Label_Artikul")->text(), "4:Сирене");
                QCOMPARE(test::control<QLineEdit>(*k, "Edit_Kol")->text(), "1");
                test::control<QLineEdit>(*k, "Edit_Kol")->setText("много");
                test::control<QAbstractButton>(*k, "Button_Priemi")->click();
                QCOMPARE(msg_->shown, QStringList{"Количеството трябва да е число, не по-малко от 0!"});
                test::control<QLineEdit>(*k, "Edit_Kol")->setText("2,5");
                test::control<QPushButton>(*k, "Button_Priemi")->click();
            });
            script.next<TForm_Get_Kol>(
                [](TForm_Get_Kol* k) { test::control<QPushButton>(*k, "Button_Otkaji")->click(); });
            script.next<TForm_Get_Kol>([](TForm_Get_Kol* k) { test::click(*k, "Button_Priemi"); });
            test::control<QPushButton>(*w, "BitBtn_Izberi")->click();
        });
        pickArticles(test::context(fx_->session()), kSelectTransferArticles, nullptr);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(lines, (QList<QPair<qint64, QString>>{{4, "2.5"}, {3, "1"}}));
    }

    // A mode that no window receives cannot choose, and says why.
    void unreceivedModeCannotChoose() {
        TForm_Artikuli w(test::context(fx_->session()), kSelectOfferArticles);
        auto* choose = test::control<QPushButton>(w, "BitBtn_Izberi");
        QVERIFY(!choose->isEnabled());
        QCOMPARE(choose->toolTip(), "Няма прозорец на програмата, който да приеме избора");
        test::host(fx_->session())
            .followUps()
            .of<ArticlePicker>()
            .add(kSelectOfferArticles, [](QWidget*, const ArticleChoice&) {});
        TForm_Artikuli received(test::context(fx_->session()), kSelectOfferArticles);
        QVERIFY(test::control<QPushButton>(received, "BitBtn_Izberi")->isEnabled());
    }

    // Mode 0 takes a group node, never the root.
    void pickAGroup() {
        test::host(fx_->session())
            .followUps()
            .of<ArticlePicker>()
            .add(kSelectDiscountGroup, [](QWidget*, const ArticleChoice&) {});
        test::ModalScript script;
        script.next<TForm_Artikuli>([this](TForm_Artikuli* w) {
            test::control<QAbstractButton>(*w, "BitBtn_Izberi")->click();
            QCOMPARE(msg_->shown, QStringList{"Необходимо е да изберете валидна група"});
            w->tree()->setCurrentItem(node(*w, "2:Бира"));
            test::control<QAbstractButton>(*w, "BitBtn_Izberi")->click();
        });
        const std::optional<ArticleChoice> choice =
            pickArticles(test::context(fx_->session()), kSelectDiscountGroup, nullptr);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QVERIFY(choice);
        QCOMPARE(choice->groupNode, "2:Бира");
    }

    // "Артикули ..." of the main window and its tool button open the catalogue.
    void mainWindowCommand() {
        test::MainWindow main(fx_->session());
        QVERIFY(main.start());
        QVERIFY(main.form.command(Command::N_Artikuli)->isEnabled());
        test::ModalScript script;
        script.next<TForm_Artikuli>([](TForm_Artikuli* w) {
            QCOMPARE(w->mode(), int(kBrowseArticles));
            QCOMPARE(listed(*w).size(), 4);
            w->reject();
        });
        main.form.runCommand(Command::N_Artikuli);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
    }
};

QTEST_MAIN(CatalogueWindowTest)
#include "test_catalogue_window.moc"
