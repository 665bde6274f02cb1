// Price groups: the formula reader (what it accepts, what it computes, how
// it reports a malformed formula or a division by zero) and the store of
// the groups in Cenovi_Grupi.

#include "catalogue/price_formula.h"
#include "catalogue/price_groups.h"
#include "catalogue/texts.h"
#include "common/sql.h"
#include "support/fixture.h"

#include <QTest>

using namespace torvika;

Q_DECLARE_METATYPE(PriceGroup)

class PriceGroupsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    QSqlDatabase db() { return fx_->db(); }

private slots:
    void cleanup() { fx_.reset(); }

    // With the selling price P = 100 and the delivery price D = 80.
    void evaluates_data() {
        QTest::addColumn<QString>("formula");
        QTest::addColumn<double>("value");
        QTest::newRow("price") << "P" << 100.0;
        QTest::newRow("factor") << "P*1.2" << 120.0;
        QTest::newRow("precedence") << "D+P*2" << 280.0;
        QTest::newRow("left to right") << "P-D-10" << 10.0;
        QTest::newRow("division") << "P/8" << 12.5;
        QTest::newRow("parentheses") << "(P+D)/2" << 90.0;
        QTest::newRow("nested") << "((D-60)*(2+3))" << 100.0;
        QTest::newRow("sign") << "-P+250" << 150.0;
        QTest::newRow("sign after operator") << "P*-1" << -100.0;
        QTest::newRow("mark-up") << "D+20%" << 96.0;
        QTest::newRow("discount") << "P-12.5%" << 87.5;
        QTest::newRow("share") << "P*120%" << 120.0;
        QTest::newRow("lone percentage") << "5%" << 0.05;
        QTest::newRow("percentage of a group") << "D+(10+15)%" << 100.0;
        QTest::newRow("leading point") << ".5*P" << 50.0;
        QTest::newRow("trailing point") << "2.*D" << 160.0;
        QTest::newRow("zero") << "P-P" << 0.0;
    }
    void evaluates() {
        QFETCH(QString, formula);
        QFETCH(double, value);
        const FormulaResult r = GETRESULT_FORMULA(formula, 100, 80);
        QVERIFY2(r.value, qPrintable(r.message));
        QCOMPARE(*r.value, value);
        QCOMPARE(r.fault, FormulaResult::None);
        QCOMPARE(formulaSyntaxFault(formula), std::nullopt);
    }

    // The first fault is named with its place (counted from 1 in the
    // message, from 0 for the caret).
    void malformed_data() {
        QTest::addColumn<QString>("formula");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("position");
        QTest::newRow("empty") << "" << texts::kFormulaEmpty << 0;
        QTest::newRow("operator at the end") << "P+" << texts::kFormulaIncomplete << 2;
        QTest::newRow("two operators") << "P*/2" << texts::kFormulaUnexpected.arg("/").arg(3) << 2;
        QTest::newRow("unclosed") << "(P+D" << texts::kFormulaUnclosed << 4;
        QTest::newRow("extra closing") << "P)" << texts::kFormulaUnexpected.arg(")").arg(2) << 1;
        QTest::newRow("empty parentheses") << "P*()" << texts::kFormulaUnexpected.arg(")").arg(4) << 3;
        QTest::newRow("no operator") << "2P" << texts::kFormulaUnexpected.arg("P").arg(2) << 1;
        QTest::newRow("two points") << "1.2.3" << texts::kFormulaUnexpected.arg(".").arg(4) << 3;
        QTest::newRow("lone point") << "P+." << texts::kFormulaUnexpected.arg(".").arg(3) << 2;
        QTest::newRow("blank") << "P D" << texts::kFormulaUnexpected.arg(" ").arg(2) << 1;
        QTest::newRow("two percent signs") << "P%%" << texts::kFormulaUnexpected.arg("%").arg(3) << 2;
        QTest::newRow("lower case") << "p*2" << texts::kFormulaUnexpected.arg("p").arg(1) << 0;
        QTest::newRow("a word") << "P*x" << texts::kFormulaUnexpected.arg("x").arg(3) << 2;
        // Nothing of SQL or of a script gets through.
        QTest::newRow("SQL") << "P); DROP TABLE Produkti" << texts::kFormulaUnexpected.arg(")").arg(2) << 1;
        QTest::newRow("fault before a division by zero") << "P/0+" << texts::kFormulaIncomplete << 4;
    }
    void malformed() {
        QFETCH(QString, formula);
        QFETCH(QString, message);
        QFETCH(int, position);
        const FormulaResult r = GETRESULT_FORMULA(formula, 100, 80);
        QCOMPARE(r.value, std::nullopt);
        QCOMPARE(r.fault, FormulaResult::Syntax);
        QCOMPARE(r.message, message);
        QCOMPARE(r.position, position);
        const auto fault = formulaSyntaxFault(formula);
        QVERIFY(fault);
        QCOMPARE(fault->message, message);
    }

    // Faults of the prices, not of the formula: reported, never a crash or
    // an infinite price; the formula itself is well formed.
    void arithmeticFaults_data() {
        QTest::addColumn<QString>("formula");
        QTest::addColumn<QString>("message");
        QTest::newRow("by zero") << "P/0" << texts::kFormulaDivisionByZero;
        QTest::newRow("by a difference of zero") << "P/(D-80)" << texts::kFormulaDivisionByZero;
        QTest::newRow("by a zero percentage") << "P/0%" << texts::kFormulaDivisionByZero;
        QTest::newRow("out of range")
            << QString(200, u'9') + "*" + QString(200, u'9') << texts::kFormulaOutOfRange;
    }
    void arithmeticFaults() {
        QFETCH(QString, formula);
        QFETCH(QString, message);
        const FormulaResult r = GETRESULT_FORMULA(formula, 100, 80);
        QCOMPARE(r.value, std::nullopt);
        QCOMPARE(r.fault, FormulaResult::Arithmetic);
        QCOMPARE(r.message, message);
        QCOMPARE(formulaSyntaxFault(formula), std::nullopt);
    }

    void formulaLine() {
        QCOMPARE(formulaInput("p*1,2x+ d%()"), "P*12+D%()");
        QVERIFY(isFormulaCharacter(u'd'));
        QVERIFY(!isFormulaCharacter(u' '));
        QVERIFY(!isFormulaCharacter(u'Р')); // Cyrillic Р is not P
    }

    void typedNumbers_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<std::optional<double>>("value");
        QTest::newRow("point") << "1.95583" << std::optional<double>(1.95583);
        QTest::newRow("comma") << "1,5" << std::optional<double>(1.5);
        QTest::newRow("blanks") << " 2 " << std::optional<double>(2);
        QTest::newRow("sign") << "-3" << std::optional<double>(-3);
        QTest::newRow("empty") << "" << std::optional<double>();
        QTest::newRow("letters") << "1.2a" << std::optional<double>();
        QTest::newRow("two separators") << "1.2,3" << std::optional<double>();
        QTest::newRow("exponent") << "1e3" << std::optional<double>();
        QTest::newRow("not a number") << "nan" << std::optional<double>();
    }
    void typedNumbers() {
        QFETCH(QString, typed);
        QFETCH(std::optional<double>, value);
        QCOMPARE(typedDecimal(typed), value);
    }

    // The group's price: its formula, or the chosen base price, times its
    // factor.
    void groupPrice_data() {
        QTest::addColumn<PriceGroup>("group");
        QTest::addColumn<double>("price");
        QTest::newRow("selling price") << PriceGroup{"Дребно", "", 1, false} << 100.0;
        QTest::newRow("delivery price by a factor") << PriceGroup{"Едро", "", 1.25, true} << 100.0;
        QTest::newRow("formula by a factor") << PriceGroup{"Партньори", "D+10%", 2, true} << 176.0;
    }
    void groupPrice() {
        QFETCH(PriceGroup, group);
        QFETCH(double, price);
        const FormulaResult r = priceGroupPrice(group, 100, 80);
        QVERIFY(r.value);
        QCOMPARE(*r.value, price);
    }

    // Groups are stored under MAX + 1, changed and deleted by number.
    void store() {
        fx_ = std::make_unique<test::Fixture>();
        execSql(db(), "INSERT INTO Cenovi_Grupi (ID, Opisanie, Formula, Koeficient, Ot_Dostavna) "
                      "VALUES (7, 'Едро', 'D+10%', 1, 'True')");
        const PriceGroup retail{" Дребно ", "P*1.2", 1.5, false};
        const PriceGroupWrite added = insertPriceGroup(db(), retail);
        QVERIFY2(added.stored(), qPrintable(added.refusal));
        QCOMPARE(added.id, 8);
        QCOMPARE(loadPriceGroup(db(), 8), (PriceGroup{"Дребно", "P*1.2", 1.5, false}));
        QCOMPARE(loadPriceGroup(db(), 7), (PriceGroup{"Едро", "D+10%", 1, true}));

        const PriceGroup changed{"Дребно", "", 0.9, true};
        QVERIFY(updatePriceGroup(db(), 8, changed).stored());
        QCOMPARE(loadPriceGroup(db(), 8), changed);

        const SqlStatement s = priceGroupsStatement();
        QCOMPARE(readRows(db(), s.text, s.values).rows.size(), 2);

        QVERIFY(deletePriceGroup(db(), 7));
        QVERIFY(!deletePriceGroup(db(), 7));
        QCOMPARE(updatePriceGroup(db(), 7, changed).refusal, texts::kPriceGroupGone.arg(7));
        // The number after the highest one left.
        QCOMPARE(insertPriceGroup(db(), {"Нова", "", 1, false}).id, 9);
    }

    // Bad input: nothing written, the field to correct named.
    void refusedInput_data() {
        QTest::addColumn<PriceGroup>("group");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("position");
        QTest::newRow("no name") << PriceGroup{" ", "P", 1, false} << int(PriceGroupWrite::Name)
                                 << texts::kPriceGroupNameEmpty << -1;
        QTest::newRow("name taken") << PriceGroup{"едро", "P", 1, false} << int(PriceGroupWrite::Name)
                                    << texts::kPriceGroupNameTaken.arg("едро") << -1;
        QTest::newRow("name too long")
            << PriceGroup{QString(101, u'ж'), "P", 1, false} << int(PriceGroupWrite::Name)
            << texts::kPriceGroupNameTooLong.arg(100) << -1;
        QTest::newRow("malformed formula") << PriceGroup{"Дребно", "P*(D+", 1, false}
                                           << int(PriceGroupWrite::Formula) << texts::kFormulaIncomplete << 5;
        QTest::newRow("formula too long")
            << PriceGroup{"Дребно", "P" + QString(255, u'0'), 1, false} << int(PriceGroupWrite::Formula)
            << texts::kPriceGroupFormulaTooLong.arg(255) << -1;
        QTest::newRow("factor 0") << PriceGroup{"Дребно", "P", 0, false} << int(PriceGroupWrite::Factor)
                                  << texts::kPriceGroupFactorInvalid << -1;
        QTest::newRow("negative factor")
            << PriceGroup{"Дребно", "", -1, false} << int(PriceGroupWrite::Factor)
            << texts::kPriceGroupFactorInvalid << -1;
    }
    void refusedInput() {
        QFETCH(PriceGroup, group);
        QFETCH(int, field);
        QFETCH(QString, message);
        QFETCH(int, position);
        fx_ = std::make_unique<test::Fixture>();
        execSql(db(), "INSERT INTO Cenovi_Grupi (ID, Opisanie, Formula, Koeficient, Ot_Dostavna) "
                      "VALUES (1, 'Едро', '', 1, 'False'), (2, 'Дребно', 'P', 1, 'False')");
        for (const PriceGroupWrite& w : {insertPriceGroup(db(), group), updatePriceGroup(db(), 2, group)}) {
            QCOMPARE(int(w.field), field);
            QCOMPARE(w.refusal, message);
            QCOMPARE(w.position, position);
        }
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Cenovi_Grupi").toInt(), 2);
        QCOMPARE(loadPriceGroup(db(), 2), (PriceGroup{"Дребно", "P", 1, false}));
    }
};

QTEST_GUILESS_MAIN(PriceGroupsTest)
#include "test_price_groups.moc"
