// The price-groups window offscreen: the formula line, "Проба" into
// "Резултат" (and its faults as messages), storing, changing and deleting
// groups, and the refusals of bad input.

#include "catalogue/price_groups.h"
#include "catalogue/texts.h"
#include "catalogue/ui/form_cenovi_listi.h"
#include "common/sql.h"
#include "common/ui/statement_model.h"
#include "support/fixture.h"
#include "support/host_stand_in.h"
#include "support/scripted_messages.h"
#include "support/window_helpers.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

using namespace torvika;

namespace {
QLineEdit* field(const QWidget& w, const char* name) {
    return test::control<QLineEdit>(w, name);
}
} // namespace

class PriceGroupsWindowTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    std::unique_ptr<test::ScriptedMessages> msg_;
    QSqlDatabase db() { return fx_->db(); }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        msg_ = std::make_unique<test::ScriptedMessages>();
    }
    void cleanup() {
        QCOMPARE(msg_->unexpected, 0);
        msg_.reset();
        fx_.reset();
    }

    // The line takes only a formula's characters, letters upper-cased, and
    // keeps the caret at its end; "Проба" shows the group's price for the
    // sample prices.
    void formulaLineAndTrial() {
        TForm_Cenovi_Listi w(test::context(fx_->session()));
        QCOMPARE(w.windowTitle(), "Ценови групи");
        QCOMPARE(w.editedId(), 0); // an empty list starts a new group
        QCOMPARE(field(w, "Edit_Koeficient")->text(), "1.00");
        auto* formula = field(w, "Edit_Formula");
        test::typeText(formula, "d + 2x0%");
        QCOMPARE(formula->text(), "D+20%");
        QCOMPARE(formula->cursorPosition(), 5);
        field(w, "Edit_Proba_D")->setText("80");
        test::control<QAbstractButton>(w, "Button_Proba")->click();
        QCOMPARE(field(w, "Edit_Rezultat")->text(), "96.00");
        field(w, "Edit_Koeficient")->setText("0,5");
        test::control<QAbstractButton>(w, "Button_Proba")->click();
        QCOMPARE(field(w, "Edit_Rezultat")->text(), "48.00");
        // Without a formula: the ticked base price by the factor.
        formula->clear();
        test::control<QCheckBox>(w, "CheckBox_Ot_Dostavna")->setChecked(true);
        test::control<QAbstractButton>(w, "Button_Proba")->click();
        QCOMPARE(field(w, "Edit_Rezultat")->text(), "40.00");
        QCOMPARE(msg_->shown, QStringList{});
    }

    // A fault of the trial is a message, "Резултат" stays empty and the
    // caret goes where the fault is.
    void trialFaults_data() {
        QTest::addColumn<QString>("formula");
        QTest::addColumn<QString>("sampleD");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("caret");
        QTest::newRow("division by zero") << "P/D"
                                          << "0" << texts::kFormulaDivisionByZero << "Edit_Formula" << 3;
        QTest::newRow("malformed") << "P*(D"
                                   << "80" << texts::kFormulaUnclosed << "Edit_Formula" << 4;
        QTest::newRow("misplaced operator")
            << "P*/2"
            << "80" << texts::kFormulaUnexpected.arg("/").arg(3) << "Edit_Formula" << 2;
        QTest::newRow("sample not a number")
            << "P"
            << "осем" << texts::kPriceGroupSampleInvalid << "Edit_Proba_D" << 4;
    }
    void trialFaults() {
        QFETCH(QString, formula);
        QFETCH(QString, sampleD);
        QFETCH(QString, message);
        QFETCH(QString, field);
        QFETCH(int, caret);
        TForm_Cenovi_Listi w(test::context(fx_->session()));
        ::field(w, "Edit_Rezultat")->setText("1.00");
        ::field(w, "Edit_Formula")->setText(formula);
        ::field(w, "Edit_Proba_D")->setText(sampleD);
        test::control<QAbstractButton>(w, "Button_Proba")->click();
        QCOMPARE(msg_->shown, QStringList{message});
        QCOMPARE(::field(w, "Edit_Rezultat")->text(), QString());
        QCOMPARE(w.focusWidget(), ::field(w, qPrintable(field)));
        if (field == "Edit_Formula" && message != texts::kFormulaDivisionByZero)
            QCOMPARE(::field(w, "Edit_Formula")->cursorPosition(), caret);
    }

    // "ЗАПИС" stores a new group under the next number, or the chosen one;
    // "Изтрии" asks first; "ОТКАЗ" closes without storing.
    void storeChangeDelete() {
        execSql(db(), "INSERT INTO Cenovi_Grupi (ID, Opisanie, Formula, Koeficient, Ot_Dostavna) "
                      "VALUES (4, 'Едро', 'D+10%', 1, 'True')");
        TForm_Cenovi_Listi w(test::context(fx_->session()));
        QCOMPARE(w.model()->rowCount(), 1);
        QCOMPARE(w.model()->headerData(0, Qt::Horizontal).toString(), "No");
        QCOMPARE(w.editedId(), 4);
        QCOMPARE(field(w, "Edit_Formula")->text(), "D+10%");
        QVERIFY(test::control<QCheckBox>(w, "CheckBox_Ot_Dostavna")->isChecked());

        test::control<QAbstractButton>(w, "Button_Nov")->click();
        QCOMPARE(w.editedId(), 0);
        QCOMPARE(field(w, "Edit_Opisanie")->text(), QString());
        QCOMPARE(field(w, "Edit_Koeficient")->text(), "1.00");
        field(w, "Edit_Opisanie")->setText("Дребно");
        field(w, "Edit_Formula")->setText("P*1.2");
        test::control<QAbstractButton>(w, "Button_Zapis")->click();
        QCOMPARE(w.editedId(), 5);
        QCOMPARE(loadPriceGroup(db(), 5), (PriceGroup{"Дребно", "P*1.2", 1, false}));
        QCOMPARE(w.model()->rowCount(), 2);

        QVERIFY(w.positionOn(4));
        field(w, "Edit_Koeficient")->setText("1.1");
        test::control<QAbstractButton>(w, "Button_Zapis")->click();
        QCOMPARE(loadPriceGroup(db(), 4)->factor, Decimal("1.1"));
        QCOMPARE(w.editedId(), 4);

        msg_->answerNo();
        test::control<QAbstractButton>(w, "Button_Iztrii")->click();
        QCOMPARE(msg_->questions, QStringList{texts::kPriceGroupAskDelete.arg("Едро")});
        QCOMPARE(w.model()->rowCount(), 2);
        msg_->answerYes();
        test::control<QAbstractButton>(w, "Button_Iztrii")->click();
        QCOMPARE(w.model()->rowCount(), 1);
        QCOMPARE(w.editedId(), 5);
        QCOMPARE(loadPriceGroup(db(), 4), std::nullopt);

        field(w, "Edit_Opisanie")->setText("Не записана");
        test::control<QAbstractButton>(w, "Button_Otkaz")->click();
        QCOMPARE(w.result(), int(QDialog::Rejected));
        QCOMPARE(loadPriceGroup(db(), 5)->name, "Дребно");
    }

    // Bad input: a message, the caret on the field, nothing written.
    void badInput_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("formula");
        QTest::addColumn<QString>("factor");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("field");
        QTest::newRow("no name") << ""
                                 << "P"
                                 << "1" << texts::kPriceGroupNameEmpty << "Edit_Opisanie";
        QTest::newRow("name taken") << "ЕДРО"
                                    << "P"
                                    << "1" << texts::kPriceGroupNameTaken.arg("ЕДРО") << "Edit_Opisanie";
        QTest::newRow("malformed formula") << "Дребно"
                                           << "P++"
                                           << "1" << texts::kFormulaIncomplete << "Edit_Formula";
        QTest::newRow("factor not a number") << "Дребно"
                                             << "P"
                                             << "x2" << texts::kPriceGroupFactorInvalid << "Edit_Koeficient";
        QTest::newRow("factor 0") << "Дребно"
                                  << "P"
                                  << "0.00" << texts::kPriceGroupFactorInvalid << "Edit_Koeficient";
    }
    void badInput() {
        QFETCH(QString, name);
        QFETCH(QString, formula);
        QFETCH(QString, factor);
        QFETCH(QString, message);
        QFETCH(QString, field);
        execSql(db(), "INSERT INTO Cenovi_Grupi (ID, Opisanie, Formula, Koeficient, Ot_Dostavna) "
                      "VALUES (1, 'Едро', '', 1, 'False')");
        TForm_Cenovi_Listi w(test::context(fx_->session()));
        test::control<QAbstractButton>(w, "Button_Nov")->click();
        ::field(w, "Edit_Opisanie")->setText(name);
        ::field(w, "Edit_Formula")->setText(formula);
        ::field(w, "Edit_Koeficient")->setText(factor);
        test::control<QAbstractButton>(w, "Button_Zapis")->click();
        QCOMPARE(msg_->shown, QStringList{message});
        QCOMPARE(w.focusWidget(), ::field(w, qPrintable(field)));
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Cenovi_Grupi").toInt(), 1);
        QCOMPARE(w.editedId(), 0);
    }
};

QTEST_MAIN(PriceGroupsWindowTest)
#include "test_price_groups_window.moc"
