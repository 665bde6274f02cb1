// Price groups: the formula reader (what it accepts, what it computes, how
// it reports a malformed formula or a division by zero) and the store of
// the groups in Cenovi_Grupi.

#include "catalogue/price_formula.h"
#include "catalogue/price_groups.h"
#include "catalogue/texts.h"
#include "common/sql.h"
#include "support/fixture.h"
#include "support/hang_guard.h"

#include <QTest>
#include <random>

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
        QTest::addColumn<QString>("value");
        QTest::newRow("price") << "P"
                               << "100";
        QTest::newRow("factor") << "P*1.2"
                                << "120";
        QTest::newRow("precedence") << "D+P*2"
                                    << "280";
        QTest::newRow("left to right") << "P-D-10"
                                       << "10";
        QTest::newRow("division") << "P/8"
                                  << "12.5";
        QTest::newRow("parentheses") << "(P+D)/2"
                                     << "90";
        QTest::newRow("nested") << "((D-60)*(2+3))"
                                << "100";
        QTest::newRow("sign") << "-P+250"
                              << "150";
        QTest::newRow("sign after operator") << "P*-1"
                                             << "-100";
        QTest::newRow("mark-up") << "D+20%"
                                 << "96";
        QTest::newRow("discount") << "P-12.5%"
                                  << "87.5";
        QTest::newRow("share") << "P*120%"
                               << "120";
        QTest::newRow("lone percentage") << "5%"
                                         << "0.05";
        QTest::newRow("percentage of a group") << "D+(10+15)%"
                                               << "100";
        QTest::newRow("leading point") << ".5*P"
                                       << "50";
        QTest::newRow("trailing point") << "2.*D"
                                        << "160";
        QTest::newRow("zero") << "P-P"
                              << "0";
    }
    void evaluates() {
        QFETCH(QString, formula);
        QFETCH(QString, value);
        const FormulaResult r = GETRESULT_FORMULA(formula, 100, 80);
        QVERIFY2(r.value, qPrintable(r.message));
        QCOMPARE(r.value->toString(), value);
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
            << QString(30, u'9') + "*" + QString(30, u'9') << texts::kFormulaOutOfRange;
        QTest::newRow("a number of 40 digits") << "P+" + QString(40, u'9') << texts::kFormulaOutOfRange;
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

    // A formula restated in euro: its amounts converted, its factors and
    // percentages kept; one whose amounts cannot be told is left to the
    // operator. A restated formula of euro prices gives the lev formula's
    // value in euro (to the cent).
    void inOtherCurrency_data() {
        QTest::addColumn<QString>("formula");
        QTest::addColumn<QString>("restated"); // empty: none
        QTest::newRow("factor") << "D*1.2"
                                << "D*1.2";
        QTest::newRow("amount added") << "D*1.2+2"
                                      << "D*1.2+1.02258376";
        QTest::newRow("amount first") << "2+P"
                                      << "1.02258376+P";
        QTest::newRow("percentages") << "D+20%+0.5"
                                     << "D+20%+0.25564594";
        QTest::newRow("within parentheses") << "(D+2)*1.1"
                                            << "(D+1.02258376)*1.1";
        QTest::newRow("negative amount") << "P+-2"
                                         << "P+(-1.02258376)";
        QTest::newRow("computed amount") << "D*2-(3*2)"
                                         << "D*2-3.06775129";
        QTest::newRow("fixed price") << "5"
                                     << "2.55645941";
        QTest::newRow("factor with a percentage") << "P*(1+5%)"
                                                  << "P*(1+5%)";
        QTest::newRow("price times price") << "P*D"
                                           << "";
        QTest::newRow("percentage of a price") << "P+D%"
                                               << "";
        QTest::newRow("ratio") << "P/D"
                               << "";
        QTest::newRow("malformed") << "P*+"
                                   << "";
    }
    void inOtherCurrency() {
        QFETCH(QString, formula);
        QFETCH(QString, restated);
        const Decimal rate("1.95583");
        const std::optional<QString> r = formulaInOtherCurrency(formula, rate);
        QCOMPARE(r.value_or(QString()), restated);
        if (!r)
            return;
        const Decimal P("19.99"), D("12.40");
        const Decimal lev = *GETRESULT_FORMULA(formula, P, D).value;
        const Decimal euro = *GETRESULT_FORMULA(*r, P.divided(rate, 8), D.divided(rate, 8)).value;
        QCOMPARE(euro.rounded(2), lev.divided(rate, 2));
    }

    void formulaLine() {
        QCOMPARE(formulaInput("p*1,2x+ d%()"), "P*12+D%()");
        QVERIFY(isFormulaCharacter(u'd'));
        QVERIFY(!isFormulaCharacter(u' '));
        QVERIFY(!isFormulaCharacter(u'Р')); // Cyrillic Р is not P
    }

    void typedNumbers_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("value"); // empty: none
        QTest::newRow("point") << "1.95583"
                               << "1.95583";
        QTest::newRow("comma") << "1,5"
                               << "1.5";
        QTest::newRow("blanks") << " 2 "
                                << "2";
        QTest::newRow("sign") << "-3"
                              << "-3";
        QTest::newRow("exact, no binary fraction") << "0.1"
                                                   << "0.1";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("letters") << "1.2a"
                                 << "";
        QTest::newRow("two separators") << "1.2,3"
                                        << "";
        QTest::newRow("exponent") << "1e3"
                                  << "";
        QTest::newRow("not a number") << "nan"
                                      << "";
    }
    void typedNumbers() {
        QFETCH(QString, typed);
        QFETCH(QString, value);
        const std::optional<Decimal> d = typedDecimal(typed);
        QCOMPARE(d ? d->toString() : QString(), value);
    }

    // Prices are exact decimals: a tenth stays a tenth, and a value keeps
    // the formula's eight decimals.
    void exactArithmetic_data() {
        QTest::addColumn<QString>("formula");
        QTest::addColumn<QString>("P");
        QTest::addColumn<QString>("D");
        QTest::addColumn<QString>("value");
        QTest::newRow("a tenth times 1.2") << "D*1.2"
                                           << "0"
                                           << "0.1"
                                           << "0.12";
        QTest::newRow("tenths added") << "P+D"
                                      << "0.1"
                                      << "0.2"
                                      << "0.3";
        QTest::newRow("mark-up of cents") << "D+20%"
                                          << "0"
                                          << "2.675"
                                          << "3.21";
        QTest::newRow("a third") << "P/3"
                                 << "1"
                                 << "0"
                                 << "0.33333333";
        QTest::newRow("a third and back") << "P/3*3"
                                          << "1"
                                          << "0"
                                          << "0.99999999";
        QTest::newRow("rounded half away from zero") << "P/8"
                                                     << "-0.00000001"
                                                     << "0"
                                                     << "0";
    }
    void exactArithmetic() {
        QFETCH(QString, formula);
        QFETCH(QString, P);
        QFETCH(QString, D);
        QFETCH(QString, value);
        const FormulaResult r = GETRESULT_FORMULA(formula, Decimal(P), Decimal(D));
        QVERIFY2(r.value, qPrintable(r.message));
        QCOMPARE(r.value->toString(), value);
    }

    // Wherever a formula comes from, it is read only so long and so deep:
    // 100,000 nested parentheses are a fault, never a stack overflow.
    void bounds_data() {
        QTest::addColumn<QString>("formula");
        QTest::addColumn<QString>("message"); // empty: a value
        auto nested = [](int depth, const QString& open) {
            return open.repeated(depth) + "P" + QString(")").repeated(depth);
        };
        QTest::newRow("100,000 parentheses")
            << nested(100000, "(") << texts::kPriceGroupFormulaTooLong.arg(255);
        QTest::newRow("100,000 signs")
            << QString(100000, u'-') + "P" << texts::kPriceGroupFormulaTooLong.arg(255);
        QTest::newRow("the longest") << "P" + QString("+1").repeated(127) << "";
        QTest::newRow("one longer") << "P" + QString("+1").repeated(127) + "0"
                                    << texts::kPriceGroupFormulaTooLong.arg(255);
        QTest::newRow("50 deep") << nested(50, "(") << "";
        QTest::newRow("51 deep") << nested(51, "(") << texts::kFormulaTooDeep.arg(50);
        QTest::newRow("a run of signs is one level") << QString(200, u'-') + "P"
                                                     << "";
        QTest::newRow("signs and parentheses, 51 deep") << nested(26, "-(") << texts::kFormulaTooDeep.arg(50);
    }
    void bounds() {
        QFETCH(QString, formula);
        QFETCH(QString, message);
        const FormulaResult r = GETRESULT_FORMULA(formula, 100, 80);
        QCOMPARE(r.message, message);
        QCOMPARE(bool(r.value), message.isEmpty());
    }

    // The reader over a few thousand random and mutated formulas: each gives
    // a value or one fault with its message, a fault of syntax does not
    // depend on the prices, and none crashes or hangs.
    void fuzz() {
        const QStringList seeds{"P",      "P*1.2", "D+P*2",     "(P+D)/2", "((D-60)*(2+3))",
                                "-P+250", "D+20%", "P-12.5%",   "P*120%",  "D+(10+15)%",
                                ".5*P",   "2.*D",  "P/(D-80)",  "P/0%",    "P*(D+",
                                "1.2.3",  "P%%",   "-(-(-(P)))"};
        const QString alphabet = QStringLiteral("0123456789.+-*/%()PD x");
        std::mt19937 rng(20260311);
        auto pick = [&](qsizetype n) { return qsizetype(rng() % quint32(qMax<qsizetype>(1, n))); };
        auto mutated = [&](QString f) {
            for (int k = 0, n = 1 + int(rng() % 4); k < n; ++k) {
                const qsizetype at = pick(f.size() + 1);
                switch (rng() % 5) {
                case 0:
                    f.insert(at, alphabet[pick(alphabet.size())]);
                    break;
                case 1:
                    f.remove(at, 1);
                    break;
                case 2:
                    if (at < f.size())
                        f[at] = alphabet[pick(alphabet.size())];
                    break;
                case 3:
                    f.insert(at, f.mid(pick(f.size()), 1 + pick(8)));
                    break;
                default:
                    f = QString("(").repeated(int(pick(80))) + f + QString(")").repeated(int(pick(80)));
                }
            }
            return f;
        };
        test::HangGuard guard(std::chrono::seconds(10));
        for (int i = 0; i < 4000; ++i) {
            QString f;
            if (i % 2 == 0) {
                for (qsizetype n = pick(i % 10 == 0 ? 400 : 40); n > 0; --n)
                    f += alphabet[pick(alphabet.size())];
            } else {
                f = mutated(seeds[pick(seeds.size())]);
            }
            guard.begin(f);
            const FormulaResult r = GETRESULT_FORMULA(f, 100, 80);
            const FormulaResult other = GETRESULT_FORMULA(f, Decimal("-0.5"), 0);
            guard.end();
            QVERIFY2(bool(r.value) == (r.fault == FormulaResult::None), qPrintable(f));
            QVERIFY2(r.value || !r.message.isEmpty(), qPrintable(f));
            if (r.fault == FormulaResult::Syntax) {
                QVERIFY2(r.position >= 0 && r.position <= f.size(), qPrintable(f));
                QCOMPARE(other.message, r.message);
            } else {
                QVERIFY2(other.fault != FormulaResult::Syntax, qPrintable(f));
            }
        }
    }

    // The group's price: its formula, or the chosen base price, times its
    // factor.
    void groupPrice_data() {
        QTest::addColumn<PriceGroup>("group");
        QTest::addColumn<QString>("price");
        QTest::newRow("selling price") << PriceGroup{"Дребно", "", 1, false} << "100";
        QTest::newRow("delivery price by a factor") << PriceGroup{"Едро", "", Decimal("1.25"), true} << "100";
        QTest::newRow("formula by a factor") << PriceGroup{"Партньори", "D+10%", 2, true} << "176";
        QTest::newRow("a tenth of a factor") << PriceGroup{"Десетина", "", Decimal("0.1"), false} << "10";
    }
    void groupPrice() {
        QFETCH(PriceGroup, group);
        QFETCH(QString, price);
        const FormulaResult r = priceGroupPrice(group, 100, 80);
        QVERIFY(r.value);
        QCOMPARE(r.value->toString(), price);
    }

    // Groups are stored under MAX + 1, changed and deleted by number.
    void store() {
        fx_ = std::make_unique<test::Fixture>();
        execSql(db(), "INSERT INTO Cenovi_Grupi (ID, Opisanie, Formula, Koeficient, Ot_Dostavna) "
                      "VALUES (7, 'Едро', 'D+10%', 1, 'True')");
        const PriceGroup retail{" Дребно ", "P*1.2", Decimal("1.5"), false};
        const PriceGroupWrite added = insertPriceGroup(db(), retail);
        QVERIFY2(added.stored(), qPrintable(added.refusal));
        QCOMPARE(added.id, 8);
        QCOMPARE(loadPriceGroup(db(), 8), (PriceGroup{"Дребно", "P*1.2", Decimal("1.5"), false}));
        QCOMPARE(loadPriceGroup(db(), 7), (PriceGroup{"Едро", "D+10%", 1, true}));

        const PriceGroup changed{"Дребно", "", Decimal("0.9"), true};
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
