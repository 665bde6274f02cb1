// The production window, driven offscreen on either engine: opened from
// the menu; a main article and its elements picked from the catalogue, an
// element added and edited before saving (kept), the main article refused
// as its own element, a new recipe saved and then edited (its kind kept),
// the question on a name the article has (Yes opens that recipe, No goes
// back to the name), the value box, producing five units (the elements'
// stock falls, the article's rises), deleting a recipe (asked first); and
// the sale mode: the recipe's elements for the quantity sold, a warranty
// element asking its serial number.

#include "catalogue/stock.h"
#include "catalogue/ui/form_artikuli.h"
#include "catalogue/ui/form_projzvodstvo.h"
#include "common/sql.h"
#include "common/ui/form_get_kol.h"
#include "common/ui/statement_model.h"
#include "support/fixture.h"
#include "support/host_stand_in.h"
#include "support/main_window.h"
#include "support/modal_script.h"
#include "support/scripted_messages.h"
#include "support/window_helpers.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace torvika;

namespace {

using test::chooseItem;
using test::click;
using test::shownRows;

template <typename T = QLineEdit> T* control(const QWidget& w, const char* name) {
    return test::control<T>(w, name);
}

void setField(const QWidget& w, const char* name, const QString& text) {
    QLineEdit* e = control(w, name);
    e->setFocus();
    e->selectAll();
    test::typeText(e, text);
}

// The catalogue in the mode, the article chosen; in the modes that make
// lines, its quantity typed.
void pickInCatalogue(test::ModalScript& script, int mode, qint64 article, const QString& quantity = {}) {
    script.next<TForm_Artikuli>([mode, article](TForm_Artikuli* catalogue) {
        QCOMPARE(catalogue->mode(), mode);
        QVERIFY(catalogue->positionOn(article));
        test::control<QPushButton>(*catalogue, "BitBtn_Izberi")->click();
    });
    if (!quantity.isEmpty())
        script.next<TForm_Get_Kol>([quantity](TForm_Get_Kol* d) {
            auto* field = d->findChild<QLineEdit*>("Edit_Kol");
            field->selectAll();
            test::typeText(field, quantity);
            d->findChild<QPushButton*>("Button_Priemi")->click();
        });
}

} // namespace

class ProductionWindowTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    std::unique_ptr<test::ScriptedMessages> msg_;
    QSqlDatabase db() { return fx_->db(); }
    QString stock(qint64 article) {
        const std::optional<Decimal> s = stockIn(db(), article, 1);
        return s ? s->toString() : QStringLiteral("-");
    }
    QStringList stored() {
        QStringList out;
        QSqlQuery q =
            execSql(db(), "SELECT a.ID, a.ID_Art, a.Kol_Art, a.Vid_R, a.Name_R, e.ID_El, e.Kol_El "
                          "FROM Rezept_Art a JOIN Rezept_El e ON e.ID_R = a.ID ORDER BY a.ID, e.ID_El");
        while (q.next()) {
            QStringList cells;
            for (int i = 0; i < 7; ++i)
                cells << q.value(i).toString();
            out << cells.join(u'|');
        }
        return out;
    }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        msg_ = std::make_unique<test::ScriptedMessages>();
        fx_->session().settings().set(setting::kVatPercent, QStringLiteral("20"));
        TForm_Projzvodstvo::addFollowUps(test::host(fx_->session()).followUps());
        execSql(db(), "INSERT INTO Grupi (ID, Opisanie) VALUES (3, 'Кухня')");
        execSql(db(), "INSERT INTO Produkti (ID, Nomer_Grupa, Opisanie, Ed_Cena, Valuta_P, Mqrka, Dan_Grup, "
                      "Garancionen, Trajnost) VALUES "
                      "(20, 3, 'Салата', 6, 'Лева', 'бр.', 1, 'False', ''), "
                      "(21, 3, 'Домати', 3, 'Лева', 'кг.', 1, 'False', ''), "
                      "(22, 3, 'Сирене', 12, 'Лева', 'кг.', 1, 'False', ''), "
                      "(23, 3, 'Купа', 2.4, 'Лева', 'бр.', 1, 'True', '2:6')");
        execSql(db(), "INSERT INTO Store_Kol (Art_ID, Sklad_ID, Kol) VALUES (21, 1, 10), (22, 1, 3)");
    }
    void cleanup() {
        const int unexpected = msg_->unexpected;
        msg_.reset();
        fx_.reset();
        QCOMPARE(unexpected, 0);
    }

    void openedFromTheMenu() {
        test::MainWindow main(fx_->session());
        QVERIFY(main.start());
        QVERIFY(main.form.command(Command::N_Projzvodstvo)->isEnabled());
        test::ModalScript script;
        script.next<TForm_Projzvodstvo>([](TForm_Projzvodstvo* w) {
            QCOMPARE(w->objectName(), "Form_Projzvodstvo");
            QCOMPARE(w->windowTitle(), "Пройзводство");
            QCOMPARE(w->mode(), TForm_Projzvodstvo::EditMode);
            QCOMPARE(control<QLabel>(*w, "Label_Osnoven_Art")->text(), "0:Няма избран артикул");
            QVERIFY(!control<QPushButton>(*w, "Button_Dobavi")->isEnabled());
            QVERIFY(!control<QPushButton>(*w, "Button_Priemi")->isVisible());
            w->reject();
        });
        main.form.runCommand(Command::N_Projzvodstvo);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
    }

    // A recipe made, saved, edited, produced and deleted.
    void recipeMadeAndProduced() {
        TForm_Projzvodstvo w(test::context(fx_->session()));
        w.show();
        test::ModalScript script;
        pickInCatalogue(script, kSelectProductionArticle, 20);
        QTest::mouseClick(control<QLabel>(w, "Label_Osnoven"), Qt::LeftButton);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(control<QLabel>(w, "Label_Osnoven_Art")->text(), "20:Салата");
        QComboBox* names = control<QComboBox>(w, "ComboBox_Ime");
        QCOMPARE(names->currentText(), "Максимум");
        chooseItem(names, names->findText("Стандарт"));
        QCOMPARE(names->currentText(), "Стандарт");
        QVERIFY(!control<QPushButton>(w, "Button_Dobavi")->isEnabled());
        chooseItem(control<QComboBox>(w, "ComboBox_Operacia"), kProductionKind);
        QCOMPARE(w.windowTitle(), "ОПЕРАЦИЯ - Пройзводство");
        QCOMPARE(control<QLabel>(w, "Label_Nomer")->text(), "1");

        // Two elements for 2 salads; the first edited before saving.
        setField(w, "Edit_Za_Kol", "2");
        pickInCatalogue(script, kSelectProductionElements, 21, "0.5");
        click(w, "Button_Dobavi");
        pickInCatalogue(script, kSelectProductionElements, 22, "0,25");
        click(w, "Button_Dobavi");
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        // The main article is no element of its own.
        pickInCatalogue(script, kSelectProductionElements, 20, "1");
        click(w, "Button_Dobavi");
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(msg_->shown,
                 QStringList{"Основният елемент не може да бъде и градивен елемент на своята операция!"});
        QTableView* grid = w.grid();
        grid->setCurrentIndex(w.model()->index(0, 1));
        script.next<TForm_Get_Kol>([](TForm_Get_Kol* d) {
            auto* field = d->findChild<QLineEdit*>("Edit_Kol");
            field->selectAll();
            test::typeText(field, "0.6");
            d->findChild<QPushButton*>("Button_Priemi")->click();
        });
        click(w, "Button_Redaktirai");
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(shownRows(w.model()),
                 (QStringList{"21|Домати|0.600|кг.|3.00|Лева", "22|Сирене|0.250|кг.|12.00|Лева"}));
        // 0.6 x 3 + 0.25 x 12 = 4.80, 20 % VAT held.
        QCOMPARE(control(w, "Edit_Obshto")->text(), "4.8000");
        QCOMPARE(control(w, "Edit_DDS")->text(), "0.8000");
        QCOMPARE(control(w, "Edit_Dan_Osnova")->text(), "4.0000");

        click(w, "Button_Zapis");
        QCOMPARE(stored(), (QStringList{"1|20|2|2|Стандарт|21|0.6", "1|20|2|2|Стандарт|22|0.25"}));
        QVERIFY(w.editing());
        QCOMPARE(w.windowTitle(), "ОПЕРАЦИЯ - РЕДАКЦИЯ на Пройзводство");

        // Edited: one element deleted, the kind kept.
        grid->setCurrentIndex(w.model()->index(1, 1));
        QTest::keyClick(grid, Qt::Key_Delete);
        click(w, "Button_Zapis");
        QCOMPARE(stored(), QStringList{"1|20|2|2|Стандарт|21|0.6"});
        QVERIFY(!w.editing());

        // The name the article has: No goes back to the name, Yes opens it.
        msg_->clear();
        msg_->answerNo();
        click(w, "Button_Zapis");
        QCOMPARE(msg_->questions,
                 QStringList{"Операция със име:Стандарт вече съществува.\r Желаете ли редакция?"});
        QVERIFY(!w.editing());
        msg_->answerYes();
        click(w, "Button_Zapis");
        QVERIFY(w.editing());
        click(w, "Button_Otkaz");
        QVERIFY(!w.editing());
        QVERIFY(w.isVisible());

        // Five salads: 1.5 kg of tomatoes out, five salads in.
        msg_->clear();
        setField(w, "Edit_Kol_Izp", "5");
        click(w, "Button_Izpalni");
        QCOMPARE(msg_->shown, QStringList{"Операцията е изпълнена и записана под номер 1."});
        QCOMPARE(stock(21), "8.5");
        QCOMPARE(stock(20), "5");
        QCOMPARE(stock(22), "3");

        // Deleting asks first.
        msg_->clear();
        msg_->answerNo();
        click(w, "Button_Iztrii_Operacia");
        QCOMPARE(stored().size(), 1);
        msg_->answerYes();
        click(w, "Button_Iztrii_Operacia");
        QCOMPARE(msg_->questions,
                 QStringList(2, "Желаете ли да изтриете операция Стандарт на артикул 20:Салата?"));
        QCOMPARE(stored(), QStringList{});
        QVERIFY(!control<QPushButton>(w, "Button_Redakcia")->isVisible());
    }

    // An article with a recipe chosen in the shop page: the window in sale
    // mode, and the elements join the sale at price 0 for the quantity sold.
    void soldThroughTheShopPage() {
        execSql(
            db(),
            "INSERT INTO Rezept_Art (ID, ID_Art, Kol_Art, Vid_R, Name_R) VALUES (1, 20, 10, 0, 'Стандарт')");
        execSql(db(), "INSERT INTO Rezept_El (ID_R, ID_El, Kol_El) VALUES (1, 21, 1)");
        test::MainWindow main(fx_->session());
        QVERIFY(main.start());
        test::ModalScript script;
        script.next<TForm_Projzvodstvo>([](TForm_Projzvodstvo* w) {
            QCOMPARE(w->mode(), TForm_Projzvodstvo::SaleMode);
            setField(*w, "Edit_Za_Kol", "3");
            click(*w, "Button_Priemi");
        });
        QLineEdit* code = test::control<QLineEdit>(main.form, "Edit_Barkod");
        code->setFocus();
        test::typeText(code, "20");
        QTest::keyClick(code, Qt::Key_Return);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(test::control<QLineEdit>(main.form, "Edit_Broj")->text(), "3");
        QSqlQuery q = execSql(db(), "SELECT Barkod, Kol, Ed_Cena FROM Prodajbi_Vremenni");
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toLongLong(), qint64(21));
        QCOMPARE(q.value(1).toDouble(), 0.3);
        QCOMPARE(q.value(2).toDouble(), 0.0);
        QVERIFY(!q.next());
    }

    // Sale mode: the quantity sold with the recipe's elements; a warranty
    // element asks its serial number with its warranty proposed.
    void saleMode() {
        execSql(db(), "INSERT INTO Rezept_Art (ID, ID_Art, Kol_Art, Vid_R, Name_R) VALUES "
                      "(1, 20, 10, 0, 'Стандарт'), (2, 20, 1, 0, 'Стандарт 2')");
        execSql(db(),
                "INSERT INTO Rezept_El (ID_R, ID_El, Kol_El) VALUES (1, 21, 1), (1, 23, 10), (2, 22, 5)");
        TForm_Projzvodstvo w(test::context(fx_->session()));
        w.openForSale(20);
        w.show();
        QCOMPARE(w.mode(), TForm_Projzvodstvo::SaleMode);
        QVERIFY(!control<QPushButton>(w, "Button_Zapis")->isVisible());
        QVERIFY(!control<QWidget>(w, "Panel_Elementi")->isVisible());
        QVERIFY(control<QPushButton>(w, "Button_Priemi")->isVisible());
        QComboBox* names = control<QComboBox>(w, "ComboBox_Ime");
        QCOMPARE(names->count(), 2);
        QCOMPARE(names->currentText(), "Стандарт");
        // Only the recipe of that exact name.
        QCOMPARE(w.model()->rowCount(), 2);
        setField(w, "Edit_Za_Kol", "3");
        test::ModalScript script;
        script.next<TForm_Get_Kol>([](TForm_Get_Kol* d) {
            QCOMPARE(d->findChild<QLineEdit*>("Edit_Garanc")->text(), "6, месеца");
            test::typeText(d->findChild<QLineEdit*>("Edit_SN"), "SN-1");
            d->findChild<QPushButton*>("Button_Priemi")->click();
        });
        click(w, "Button_Priemi");
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QVERIFY(!w.isVisible());
        QVERIFY(w.sale());
        const RecipeSale& sale = *w.sale();
        QCOMPARE(sale.recipe, qint64(1));
        QCOMPARE(sale.quantity.toString(), "3");
        QCOMPARE(sale.elements.size(), 2);
        QCOMPARE(sale.elements[0].article, qint64(21));
        QCOMPARE(sale.elements[0].quantity.toString(), "0.3");
        QCOMPARE(sale.elements[1].quantity.toString(), "3");
        QCOMPARE(sale.elements[1].serial, "SN-1");
        QCOMPARE(sale.elements[1].warrantyText, "6, месеца");
    }

    // The settings: editing at sale shows the element buttons, and a line
    // deleted changes this sale only; without "show the elements" the grid
    // is hidden (and nothing can be edited).
    void saleModeSettings() {
        execSql(
            db(),
            "INSERT INTO Rezept_Art (ID, ID_Art, Kol_Art, Vid_R, Name_R) VALUES (1, 20, 1, 0, 'Стандарт')");
        execSql(db(), "INSERT INTO Rezept_El (ID_R, ID_El, Kol_El) VALUES (1, 21, 1), (1, 22, 2)");
        fx_->settings().save(Settings::Changes().set(setting::kRecipeEditAtSale, true));
        {
            TForm_Projzvodstvo w(test::context(fx_->session()));
            w.openForSale(20);
            w.show();
            QVERIFY(control<QWidget>(w, "Panel_Elementi")->isVisible());
            QVERIFY(control<QWidget>(w, "DBGrid1")->isVisible());
            QVERIFY(control<QPushButton>(w, "Button_Iztrii")->isEnabled());
            w.grid()->setCurrentIndex(w.model()->index(0, 0));
            click(w, "Button_Iztrii");
            QCOMPARE(w.model()->rowCount(), 1);
            click(w, "Button_Priemi");
            QVERIFY(w.sale());
            QCOMPARE(w.sale()->elements.size(), 1);
            QCOMPARE(w.sale()->elements[0].article, qint64(22));
        }
        // The recipe itself is unchanged.
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Rezept_El WHERE ID_R = 1").toInt(), 2);
        fx_->settings().save(Settings::Changes().set(setting::kShowProductionElements, false));
        TForm_Projzvodstvo w(test::context(fx_->session()));
        w.openForSale(20);
        w.show();
        QVERIFY(!control<QWidget>(w, "GroupBox_Elementi")->isVisible());
        QVERIFY(!control<QWidget>(w, "Panel_Elementi")->isVisible());
    }
};

QTEST_MAIN(ProductionWindowTest)
#include "test_production_window.moc"
