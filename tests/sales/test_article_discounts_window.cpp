// The window "Специални отстъпки/надбавки", driven offscreen: loading a
// counterparty from its list and through the counterparty list, adding,
// editing, removing and storing rows, the question when another
// counterparty is loaded over changes not stored, refused input, the
// percentage from two prices, both prints byte for byte, and opening the
// window from the menu and from the counterparty card.

#include "catalogue/ui/form_artikuli.h"
#include "common/cformat.h"
#include "common/grid_export.h"
#include "common/sql.h"
#include "common/ui/desktop.h"
#include "common/ui/form_print_vid_fail.h"
#include "common/ui/statement_model.h"
#include "counterparties/ui/counterparty_picker.h"
#include "counterparties/ui/form_klienti.h"
#include "counterparties/ui/form_kontrakents.h"
#include "sales/sale_counterparty.h"
#include "sales/ui/form_otstapki.h"
#include "support/fixture.h"
#include "support/host_stand_in.h"
#include "support/main_window.h"
#include "support/modal_script.h"
#include "support/scripted_messages.h"
#include "support/window_helpers.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace torvika;

namespace {

const QString kAskStore7 =
    QStringLiteral("Промените в отстъпките за 7:Пеликан ООД не са записани.\rЖелаете ли да ги запишете?");

template <typename T = QLineEdit> T* control(const TForm_Spec_Otstapki& w, const char* name) {
    return test::control<T>(w, name);
}

QString labelText(const TForm_Spec_Otstapki& w, const char* name) {
    return control<QLabel>(w, name)->text();
}

// The rows grid as "<Арт./Група><Арт N> <Артикул> <TO  в %> <Покупка над>".
QStringList shownRows(const TForm_Spec_Otstapki& w) {
    QStringList out;
    const StatementModel* m = w.rows();
    for (int r = 0; r < m->rowCount(); ++r)
        out << m->index(r, 1).data().toString() + m->index(r, 2).data().toString() + u' ' +
                   m->index(r, 3).data().toString() + u' ' + m->index(r, 4).data().toString() + u' ' +
                   m->index(r, 5).data().toString();
    return out;
}

QList<qint64> listed(const TForm_Spec_Otstapki& w) {
    QList<qint64> ids;
    for (int r = 0; r < w.counterparties()->rowCount(); ++r)
        ids << w.counterparties()->value(r, QStringLiteral("ID")).toLongLong();
    return ids;
}

void clickCounterparty(TForm_Spec_Otstapki& w, qint64 id) {
    const int row = w.counterparties()->findRow(QStringLiteral("ID"), id);
    QVERIFY(row >= 0);
    QTableView* grid = w.counterpartyGrid();
    const QRect cell = grid->visualRect(w.counterparties()->index(row, 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

void typeValues(TForm_Spec_Otstapki& w, const QString& discount, const QString& above) {
    control(w, "Edit_TO")->setText(discount);
    control(w, "Edit_Price_Up")->setText(above);
}

} // namespace

class SpecialDiscountsWindowTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    std::unique_ptr<test::ScriptedMessages> msg_;
    QSqlDatabase db() { return fx_->db(); }

    QStringList stored(qint64 counterparty) {
        QSqlQuery q =
            execSql(db(),
                    "SELECT Otnasq_se_za, ID_Art_Gr, T_O, Suma_Up FROM Sp_Otstapka WHERE ID_Klient = ? "
                    "ORDER BY Otnasq_se_za, ID_Art_Gr",
                    {counterparty});
        QStringList out;
        while (q.next())
            out << QStringLiteral("%1%2 %3 %4")
                       .arg(q.value(0).toString())
                       .arg(q.value(1).toLongLong())
                       .arg(format44(q.value(2).toDouble()), format44(q.value(3).toDouble()));
        return out;
    }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        msg_ = std::make_unique<test::ScriptedMessages>();
        TForm_Spec_Otstapki::addFollowUps(test::host(fx_->session()).followUps());
        execSql(db(), "INSERT INTO Firmi (ID, Ime_Firma, EIK, Dan_N, T_O, ID_Mol, Nomer_Grupa) VALUES "
                      "(7, 'Пеликан ООД', '0', '0', 2, 7, 0), (8, 'Роза ЕТ', '0', '0', 0, 8, 0), "
                      "(9, 'Мак <&>', '0', '0', 0, 9, 0)");
        execSql(db(), "INSERT INTO Klienti (ID, Ime_Klient) VALUES (7, 'Иван')");
        execSql(db(), "INSERT INTO Grupi (ID, Opisanie) VALUES (3, 'Напитки')");
        execSql(db(), "INSERT INTO Produkti (ID, Opisanie, Nomer_Grupa, Ed_Cena, Valuta_P) VALUES "
                      "(12, 'Чай', 3, 4.5, 'лв.'), (13, 'Кафе', 3, 6, 'лв.'), (14, 'Хляб', 4, 1.2, 'лв.')");
        execSql(db(), "INSERT INTO Sp_Otstapka (ID_Klient, Otnasq_se_za, ID_Art_Gr, T_O, Suma_Up) VALUES "
                      "(7, 'G', 3, 5, 0), (7, 'A', 13, 1, 50), (9, 'A', 12, -2.5, 0)");
    }
    void cleanup() {
        const int unexpected = msg_->unexpected;
        msg_.reset();
        fx_.reset();
        QCOMPARE(unexpected, 0);
    }

    void mainPath() {
        TForm_Spec_Otstapki w(test::context(fx_->session()));
        w.show();
        QCOMPARE(w.windowTitle(), "Специални отстъпки/надбавки");
        QCOMPARE(listed(w), (QList<qint64>{7, 9}));
        QCOMPARE(labelText(w, "Label_TO_Klient"), "");
        QCOMPARE(control<QPushButton>(w, "Button_Zapis")->text(), "Запис");
        QCOMPARE(control<QComboBox>(w, "ComboBox_Select_G_A")->currentText(), "артикул");
        QVERIFY(!control(w, "Edit_Cena1")->isVisible());

        clickCounterparty(w, 7);
        QCOMPARE(labelText(w, "Label_TO_Klient"), "7:Пеликан ООД");
        QCOMPARE(shownRows(w), (QStringList{"A13 Кафе 1.0000 50.0000", "G3 Напитки 5.0000 0.0000"}));

        // Article 12 at 8 %, typed with a comma; group 3 edited to 6 %; article 13 removed.
        w.chooseItem(kDiscountForArticle, "12:Чай", Decimal(10));
        QCOMPARE(control(w, "Edit_Cena1")->text(), "10");
        typeValues(w, "7,5", "0");
        control<QPushButton>(w, "Button_Dobavi")->click();
        typeValues(w, "8", "0");
        QTest::keyClick(control(w, "Edit_Price_Up"),
                        Qt::Key_Return); // the same article again: its row takes 8 %
        QCOMPARE(shownRows(w), (QStringList{"A13 Кафе 1.0000 50.0000", "G3 Напитки 5.0000 0.0000",
                                            "A12 Чай 8.0000 0.0000"}));
        w.rowsGrid()->setCurrentIndex(w.rows()->index(1, 0));
        control<QPushButton>(w, "Button_Redaktirai")->click();
        QCOMPARE(labelText(w, "Label_TO_Artikul"), "3:Напитки");
        QCOMPARE(control<QComboBox>(w, "ComboBox_Select_G_A")->currentText(), "група");
        QCOMPARE(control(w, "Edit_TO")->text(), "5.0000");
        QCOMPARE(control<QPushButton>(w, "Button_Dobavi")->text(), "Приеми");
        typeValues(w, "6", "100");
        control<QPushButton>(w, "Button_Dobavi")->click();
        QCOMPARE(control<QPushButton>(w, "Button_Dobavi")->text(), "Добави");
        QCOMPARE(labelText(w, "Label_TO_Artikul"), "");
        w.rowsGrid()->setCurrentIndex(w.rows()->index(0, 0));
        control<QPushButton>(w, "Button_Iztrii")->click();
        QCOMPARE(shownRows(w), (QStringList{"G3 Напитки 6.0000 100.0000", "A12 Чай 8.0000 0.0000"}));
        QCOMPARE(stored(7), (QStringList{"A13 1.0000 50.0000", "G3 5.0000 0.0000"})); // nothing stored yet

        control<QPushButton>(w, "Button_Zapis")->click();
        QCOMPARE(stored(7), (QStringList{"A12 8.0000 0.0000", "G3 6.0000 100.0000"}));
        QCOMPARE(format44(counterpartyDiscount(db(), 7, 12)), "8.0000");
        QCOMPARE(format44(counterpartyDiscount(db(), 7, 13)), "6.0000");
        QCOMPARE(labelText(w, "Label_TO_Klient"), "");
        QCOMPARE(shownRows(w), QStringList{});
        QCOMPARE(control<QPushButton>(w, "Button_Zapis")->text(), "Нова");
        control<QPushButton>(w, "Button_Zapis")->click();
        QCOMPARE(control<QPushButton>(w, "Button_Zapis")->text(), "Запис");

        // Nothing is loaded now: a row cannot be added; the list loads the same counterparty again.
        w.chooseItem(kDiscountForArticle, "14:Хляб");
        control<QPushButton>(w, "Button_Dobavi")->click();
        QCOMPARE(msg_->shown, QStringList{"Изберете контрагент"});
        clickCounterparty(w, 7);
        QCOMPARE(shownRows(w), (QStringList{"A12 Чай 8.0000 0.0000", "G3 Напитки 6.0000 100.0000"}));
        QCOMPARE(msg_->shown.size(), 1);
    }

    // Loading counterparty 9 over a row added for 7 asks; Yes stores the row
    // for 7, No drops it, Cancel stays with 7 and its row.
    void loadingAnotherAsks_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("shownClient");
        QTest::addColumn<QStringList>("stored7");
        QTest::addColumn<QStringList>("rows");
        const QStringList before{"A13 1.0000 50.0000", "G3 5.0000 0.0000"};
        const QStringList rows9{"A12 Чай -2.5000 0.0000"};
        QTest::newRow("store for 7") << int(Messages::Yes) << "9:Мак <&>"
                                     << QStringList{"A12 3.0000 0.0000", "A13 1.0000 50.0000",
                                                    "G3 5.0000 0.0000"}
                                     << rows9;
        QTest::newRow("drop") << int(Messages::No) << "9:Мак <&>" << before << rows9;
        QTest::newRow("stay") << int(Messages::Cancel) << "7:Пеликан ООД" << before
                              << QStringList{"A13 Кафе 1.0000 50.0000", "G3 Напитки 5.0000 0.0000",
                                             "A12 Чай 3.0000 0.0000"};
    }
    void loadingAnotherAsks() {
        QFETCH(int, answer);
        QFETCH(QString, shownClient);
        QFETCH(QStringList, stored7);
        QFETCH(QStringList, rows);
        TForm_Spec_Otstapki w(test::context(fx_->session()));
        w.show();
        clickCounterparty(w, 7);
        w.chooseItem(kDiscountForArticle, "12:Чай");
        typeValues(w, "3", "0");
        control<QPushButton>(w, "Button_Dobavi")->click();
        msg_->answer(answer);
        clickCounterparty(w, 9);
        QCOMPARE(msg_->questions, QStringList{kAskStore7});
        QCOMPARE(labelText(w, "Label_TO_Klient"), shownClient);
        QCOMPARE(w.counterparties()->value(w.counterpartyGrid()->currentIndex().row(), "ID").toString(),
                 shownClient.section(u':', 0, 0));
        QCOMPARE(stored(7), stored7);
        QCOMPARE(stored(9), QStringList{"A12 -2.5000 0.0000"}); // never stored for the one loaded after
        QCOMPARE(shownRows(w), rows);
    }

    void refusedInput_data() {
        QTest::addColumn<QString>("discount");
        QTest::addColumn<QString>("above");
        QTest::addColumn<QString>("message"); // empty when the row is added
        QTest::addColumn<QString>("focus");
        QTest::newRow("not a number") << "пет"
                                      << "0"
                                      << "Некоректни данни"
                                      << "Edit_TO";
        QTest::newRow("empty") << ""
                               << "0"
                               << "Некоректни данни"
                               << "Edit_TO";
        QTest::newRow("above 100") << "100,01"
                                   << "0"
                                   << "Отстъпката не може да бъде над 100%"
                                   << "Edit_TO";
        QTest::newRow("purchase not a number") << "5"
                                               << "сто"
                                               << "Некоректни данни"
                                               << "Edit_Price_Up";
        QTest::newRow("surcharge") << "-20"
                                   << "1.5"
                                   << ""
                                   << "";
        QTest::newRow("all of it") << "100"
                                   << "0"
                                   << ""
                                   << "";
    }
    void refusedInput() {
        QFETCH(QString, discount);
        QFETCH(QString, above);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        TForm_Spec_Otstapki w(test::context(fx_->session()));
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.loadCounterparty("8:Роза ЕТ");
        control<QPushButton>(w, "Button_Dobavi")->click(); // nothing chosen: nothing happens
        w.chooseItem(kDiscountForArticle, "12:Чай");
        typeValues(w, discount, above);
        control<QPushButton>(w, "Button_Dobavi")->click();
        QCOMPARE(msg_->shown, message.isEmpty() ? QStringList{} : QStringList{message});
        QCOMPARE(w.rows()->rowCount(), message.isEmpty() ? 1 : 0);
        if (!focus.isEmpty())
            QCOMPARE(QApplication::focusWidget()->objectName(), focus);
    }

    void percentageFromPrices() {
        TForm_Spec_Otstapki w(test::context(fx_->session()));
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::mouseDClick(control(w, "Edit_TO"), Qt::LeftButton);
        QVERIFY(control(w, "Edit_Cena1")->isVisible());
        QVERIFY(control(w, "Edit_Cena2")->isVisible());
        QCOMPARE(QApplication::focusWidget()->objectName(), "Edit_Cena1");
        QLineEdit* base = control(w, "Edit_Cena1");
        QTest::keyClick(base, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(base, Qt::Key_Backspace); // emptied: "1"
        QCOMPARE(base->text(), "1");
        QTest::keyClicks(base, "10");
        QCOMPARE(base->text(), "10"); // "1" was selected, so typing replaces it
        QTest::keyClick(base, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget()->objectName(), "Edit_Cena2");
        QLineEdit* after = control(w, "Edit_Cena2");
        after->setText("7,5");
        QTest::keyClick(after, Qt::Key_Return);
        QCOMPARE(control(w, "Edit_TO")->text(), "25.0000");
        QCOMPARE(QApplication::focusWidget()->objectName(), "Edit_TO");
        after->setText("3");
        base->setText("0");
        QTest::keyClick(after, Qt::Key_Return);
        QCOMPARE(msg_->shown, QStringList{"Некоректни данни"});
        QCOMPARE(control(w, "Edit_TO")->text(), "25.0000");
    }

    // "Добави" under the list picks any counterparty in selection mode 1;
    // with a second window open over the first and closed again, the
    // choice still goes to the first.
    void pickFromTheCounterpartyList() {
        TForm_Spec_Otstapki w(test::context(fx_->session()));
        { TForm_Spec_Otstapki over(test::context(fx_->session())); }
        test::ModalScript script;
        script.next<TForm_Kontrakents>([](TForm_Kontrakents* list) {
            QCOMPARE(list->mode(), int(kSelectSpecialDiscounts));
            QVERIFY(list->positionOn(8));
            test::control<QPushButton>(*list, "BitBtn_Izberi")->click();
        });
        control<QPushButton>(w, "Button1")->click();
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(labelText(w, "Label_TO_Klient"), "8:Роза ЕТ");
        QCOMPARE(w.counterpartyGrid()->currentIndex().isValid(), false); // 8 has no discounts yet
        w.chooseItem(kDiscountForGroup, "3:Напитки");
        typeValues(w, "4", "0");
        control<QPushButton>(w, "Button_Dobavi")->click();
        control<QPushButton>(w, "Button_Zapis")->click();
        QCOMPARE(stored(8), QStringList{"G3 4.0000 0.0000"});
        QCOMPARE(listed(w), (QList<qint64>{7, 8, 9}));

        control(w, "Edit_Kontrag_Search")->setText("роз");
        control<QPushButton>(w, "Button_Tarsi")->click();
        QCOMPARE(listed(w), QList<qint64>{8});
    }

    // Choosing "група" or "артикул" opens the catalogue in the discount
    // modes; the group node or the article (with its price) comes back.
    void chooseFromTheCatalogue() {
        fx_->writeFile("Data/Opis.pdt", "Всички артикули\r\n3:Напитки\r\n");
        TForm_Spec_Otstapki w(test::context(fx_->session()));
        w.show();
        w.loadCounterparty("8:Роза ЕТ");
        auto* kind = control<QComboBox>(w, "ComboBox_Select_G_A");
        test::ModalScript script;
        script.next<TForm_Artikuli>([](TForm_Artikuli* catalogue) {
            QCOMPARE(catalogue->mode(), int(kSelectDiscountGroup));
            QVERIFY(catalogue->selectNode("3:Напитки"));
            test::control<QAbstractButton>(*catalogue, "BitBtn_Izberi")->click();
        });
        kind->setCurrentIndex(0);
        emit kind->activated(0);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(labelText(w, "Label_TO_Artikul"), "3:Напитки");

        script.next<TForm_Artikuli>([](TForm_Artikuli* catalogue) {
            QCOMPARE(catalogue->mode(), int(kSelectDiscountArticle));
            QVERIFY(catalogue->selectNode("3:Напитки"));
            QVERIFY(catalogue->positionOn(12));
            test::control<QAbstractButton>(*catalogue, "BitBtn_Izberi")->click();
        });
        kind->setCurrentIndex(1);
        emit kind->activated(1);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(labelText(w, "Label_TO_Artikul"), "12:Чай");
        QCOMPARE(control(w, "Edit_Cena1")->text(), "4.5");

        // Another kind starts anew: closing the catalogue leaves nothing chosen.
        script.next<TForm_Artikuli>([](TForm_Artikuli* catalogue) { catalogue->reject(); });
        kind->setCurrentIndex(0);
        emit kind->activated(0);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(labelText(w, "Label_TO_Artikul"), "");
        control<QPushButton>(w, "Button_Dobavi")->click();
        QCOMPARE(w.rows()->rowCount(), 0);

        // "Избери..." opens it in the mode of the kind shown; the root is no group.
        script.next<TForm_Artikuli>([](TForm_Artikuli* catalogue) {
            QCOMPARE(catalogue->mode(), int(kSelectDiscountGroup));
            QVERIFY(catalogue->selectNode("3:Напитки"));
            test::control<QAbstractButton>(*catalogue, "BitBtn_Izberi")->click();
        });
        control<QPushButton>(w, "Button_Izberi_Art")->click();
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        ArticleChoice root;
        root.mode = kSelectDiscountGroup;
        root.groupNode = "Всички артикули";
        test::host(fx_->session()).followUps().of<ArticlePicker>().run(kSelectDiscountGroup, &w, root);
        QCOMPARE(labelText(w, "Label_TO_Artikul"), "3:Напитки");
        typeValues(w, "2", "0");
        control<QPushButton>(w, "Button_Dobavi")->click();
        QCOMPARE(shownRows(w), QStringList{"G3 Напитки 2.0000 0.0000"});
    }

    void print_data() {
        QTest::addColumn<bool>("all");
        QTest::addColumn<QByteArray>("file");
        const QByteArray head = "\xEF\xBB\xBF\r\n";
        const QByteArray titles =
            "|N    |Арт./Група  |Арт N   |Артикул             |TO  в %   |Покупка над \r\n\r\n";
        const QByteArray footer = QStringLiteral("\r\n%1\r\n").arg(footerLine()).toUtf8();
        QTest::newRow("the loaded counterparty")
            << false
            << head +
                   "\tСправка Отстъпки \r\n\r\n\tДата:05.03.2024 14:07:09\r\n\tКонтрагент: 7:Пеликан "
                   "ООД\r\n\r\n" +
                   titles +
                   "|1    |A           |13      |Кафе                |1.0000    |50.0000     \r\n"
                   "|2    |G           |3       |Напитки             |5.0000    |0.0000      \r\n"
                   "|3    |A           |14      |Хляб                |-1.0000   |0.0000      \r\n\r\n" +
                   footer;
        QTest::newRow("all counterparties, as stored")
            << true
            << head +
                   "\tСправка Отстъпки за всички контрагенти \r\n\r\n\tДата:05.03.2024 14:07:09\r\n"
                   "\tКонтрагент: 7:Пеликан ООД\r\n\r\n" +
                   titles +
                   "|1    |A           |13      |Кафе                |1.0000    |50.0000     \r\n"
                   "|2    |G           |3       |Напитки             |5.0000    |0.0000      \r\n\r\n"
                   "\tКонтрагент: 9:Мак <&>\r\n\r\n" +
                   titles +
                   "|1    |A           |12      |Чай                 |-2.5000   |0.0000      \r\n\r\n" +
                   footer;
    }
    void print() {
        QFETCH(bool, all);
        QFETCH(QByteArray, file);
        fx_->session().clock = [] { return QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)); };
        QStringList opened;
        const FileOpener previous = setFileOpener([&opened](const QString& f) {
            opened << f;
            return true;
        });
        TForm_Spec_Otstapki w(test::context(fx_->session()));
        w.show();
        QCOMPARE(w.Pe4at(false), QString()); // nothing loaded
        QCOMPARE(msg_->shown, QStringList{"Няма данни за печат"});
        msg_->clear();
        // The loaded counterparty prints its rows as shown, the added one too;
        // all counterparties print what is stored.
        clickCounterparty(w, 7);
        w.chooseItem(kDiscountForArticle, "14:Хляб");
        typeValues(w, "-1", "0");
        control<QPushButton>(w, "Button_Dobavi")->click();
        // The columns' widths on the screen decide the widths in the file.
        QHeaderView* header = w.rowsGrid()->horizontalHeader();
        header->setStretchLastSection(false);
        const int widths[] = {25, 60, 40, 100, 50, 60};
        for (int i = 0; i < 6; ++i)
            header->resizeSection(i, widths[i]);
        test::ModalScript script;
        script.next<TForm_Print_Vid_Fail>([](TForm_Print_Vid_Fail* chooser) {
            test::control<QPushButton>(*chooser, "BitBtn_Priemi")->click();
        });
        const QString written = w.Pe4at(all);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        setFileOpener(previous);
        QCOMPARE(opened, QStringList{written});
        QVERIFY(written.endsWith("/TEMP/Spr_ТО.txt"));
        const QByteArray text = test::Fixture::readFile(written);
        QCOMPARE(QString::fromUtf8(text), QString::fromUtf8(file));
        QCOMPARE(w.rows()->rowCount(), 3); // the working copy as it was
        QCOMPARE(msg_->shown, QStringList{});
    }

    void nothingStoredToPrint() {
        execSql(db(), "DELETE FROM Sp_Otstapka");
        TForm_Spec_Otstapki w(test::context(fx_->session()));
        QCOMPARE(w.Pe4at(true), QString());
        QCOMPARE(msg_->shown, QStringList{"Няма данни за печат"});
    }

    // The menu command N_TO opens the window; the counterparty card opens it
    // with the card's counterparty loaded.
    void openedFromTheMenuAndTheCard() {
        test::MainWindow main(fx_->session());
        QVERIFY(main.start());
        QAction* command = main.form.command(Command::N_TO);
        QVERIFY(command->isEnabled());
        QCOMPARE(command->text(), "Отстъпки/Надбавки...");
        QCOMPARE(command->shortcut(), QKeySequence("Ctrl+O"));
        test::ModalScript script;
        script.next<TForm_Spec_Otstapki>([](TForm_Spec_Otstapki* w) {
            QCOMPARE(labelText(*w, "Label_TO_Klient"), "");
            QCOMPARE(listed(*w), (QList<qint64>{7, 9}));
            control<QPushButton>(*w, "Button_Otkaji")->click();
        });
        main.form.runCommand(Command::N_TO);

        TForm_Klienti card(main.form.context());
        QVERIFY(card.openEdit(7));
        script.next<TForm_Spec_Otstapki>([](TForm_Spec_Otstapki* w) {
            QCOMPARE(labelText(*w, "Label_TO_Klient"), "7:Пеликан ООД");
            QCOMPARE(shownRows(*w), (QStringList{"A13 Кафе 1.0000 50.0000", "G3 Напитки 5.0000 0.0000"}));
            QCOMPARE(w->counterparties()->value(w->counterpartyGrid()->currentIndex().row(), "ID").toInt(),
                     7);
            w->reject();
        });
        test::control<QPushButton>(card, "Button_Sp_Otstapki")->click();
        QVERIFY2(script.finished(), qPrintable(script.failure()));
    }
};

QTEST_MAIN(SpecialDiscountsWindowTest)
#include "test_article_discounts_window.moc"
