// Special discounts: the working copy of one counterparty's rows (loading,
// adding, editing, removing, storing), one row per article or group, the
// copy being the connection's own, and the sale taking the stored rows.

#include "common/cformat.h"
#include "common/errors.h"
#include "common/sql.h"
#include "sales/article_discounts.h"
#include "sales/sale_counterparty.h"
#include "support/fixture.h"

#include <QTest>

using namespace torvika;

namespace {

Decimal d(const char* text) {
    return Decimal(text);
}

// A row as "<kind><item> <name> <discount> <purchase above> <state>".
QStringList shown(const SpecialDiscountsCopy& copy) {
    QStringList out;
    for (const DiscountRow& r : copy.rows())
        out << QStringLiteral("%1%2 %3 %4 %5 %6")
                   .arg(r.kind)
                   .arg(r.item)
                   .arg(r.name, format44(r.discount), format44(r.purchaseAbove))
                   .arg(int(r.state));
    return out;
}

} // namespace

class SpecialDiscountsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    QSqlDatabase db() { return fx_->db(); }

    // The stored rows of the counterparty as "<kind><item> <discount> <purchase above>".
    QStringList stored(qint64 counterparty) {
        QSqlQuery q =
            execSql(db(),
                    "SELECT Otnasq_se_za, ID_Art_Gr, T_O, Suma_Up FROM Sp_Otstapka WHERE ID_Klient = ? "
                    "ORDER BY Otnasq_se_za, ID_Art_Gr, T_O",
                    {counterparty});
        QStringList out;
        while (q.next())
            out << QStringLiteral("%1%2 %3 %4")
                       .arg(q.value(0).toString())
                       .arg(q.value(1).toLongLong())
                       .arg(format44(q.value(2).toDouble()), format44(q.value(3).toDouble()));
        return out;
    }
    void storeRow(qint64 counterparty, const char* kind, qint64 item, double discount, double above = 0) {
        execSql(db(),
                "INSERT INTO Sp_Otstapka (ID_Klient, Otnasq_se_za, ID_Art_Gr, T_O, Suma_Up) VALUES (?, ?, ?, "
                "?, ?)",
                {counterparty, kind, item, discount, above});
    }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        execSql(db(), "INSERT INTO Firmi (ID, Ime_Firma, EIK, Dan_N, T_O, ID_Mol, Nomer_Grupa) VALUES "
                      "(7, 'Пеликан ООД', '0', '0', 2, 7, 0), (8, 'Роза ЕТ', '0', '0', 0, 8, 0), "
                      "(9, 'Мак', '0', '0', 0, 9, 0)");
        execSql(db(), "INSERT INTO Grupi (ID, Opisanie) VALUES (3, 'Напитки'), (4, 'Храни')");
        execSql(db(),
                "INSERT INTO Produkti (ID, Opisanie, Nomer_Grupa) VALUES (12, 'Чай', 3), (13, 'Кафе', 3), "
                "(14, 'Хляб', 4)");
    }
    void cleanup() { fx_.reset(); }

    void loadTakesTheStoredRows() {
        storeRow(7, "G", 3, 5, 100);
        storeRow(7, "A", 12, 8);
        storeRow(7, "A", 99, -2.5); // an article gone from the catalogue
        storeRow(7, "X", 13, 1);    // neither article nor group
        storeRow(8, "A", 13, 3);
        SpecialDiscountsCopy copy(db());
        QCOMPARE(copy.counterparty(), 0);
        copy.load(7, "7:Пеликан ООД");
        QCOMPARE(copy.counterparty(), 7);
        QCOMPARE(copy.counterpartyText(), "7:Пеликан ООД");
        QCOMPARE(shown(copy), (QStringList{"A12 Чай 8.0000 0.0000 1", "A99  -2.5000 0.0000 1",
                                           "G3 Напитки 5.0000 100.0000 1"}));
        QCOMPARE(copy.rows().front().por, 1);
        QVERIFY(!copy.hasUnsavedChanges());

        // Loading another counterparty replaces the rows.
        copy.load(8, "8:Роза ЕТ");
        QCOMPARE(shown(copy), QStringList{"A13 Кафе 3.0000 0.0000 1"});
        copy.clear();
        QCOMPARE(copy.counterparty(), 0);
        QCOMPARE(shown(copy), QStringList{});
    }

    // A line of article 12 gets the article's 8 %, another article of group 3
    // the group's 5 %, an article of another group the standing 2 %.
    void theSaleTakesWhatIsStored() {
        SpecialDiscountsCopy copy(db());
        copy.load(7, "7:Пеликан ООД");
        copy.add(kDiscountForGroup, 3, "Напитки", d("5"), d("0"));
        copy.add(kDiscountForArticle, 12, "Чай", d("8"), d("0"));
        copy.store();
        QCOMPARE(format44(counterpartyDiscount(db(), 7, 12)), "8.0000");
        QCOMPARE(format44(counterpartyDiscount(db(), 7, 13)), "5.0000");
        QCOMPARE(format44(counterpartyDiscount(db(), 7, 14)), "2.0000");
        QCOMPARE(format44(counterpartyDiscount(db(), 8, 12)), "0.0000");
    }

    void storeWritesWhatChanged() {
        storeRow(7, "A", 12, 8, 10);
        storeRow(7, "A", 13, 4);
        storeRow(7, "G", 4, 1);
        SpecialDiscountsCopy copy(db());
        copy.load(7, "7:Пеликан ООД");
        const QList<DiscountRow> rows = copy.rows();
        QVERIFY(copy.edit(rows[0].por, d("9,5"), d("20")));
        QVERIFY(copy.remove(rows[2].por));
        const qint64 added = copy.add(kDiscountForArticle, 14, "Хляб", d("-3"), d("0"));
        QCOMPARE(added, 4); // after the loaded rows
        QCOMPARE(shown(copy), (QStringList{"A12 Чай 9.5000 20.0000 2", "A13 Кафе 4.0000 0.0000 1",
                                           "A14 Хляб -3.0000 0.0000 0"}));
        QVERIFY(copy.hasUnsavedChanges());
        QVERIFY(!copy.edit(rows[2].por, d("1"), d("0"))); // removed rows are not shown
        QVERIFY(!copy.remove(rows[2].por));

        // Another workstation changes the row left untouched here: storing keeps its change.
        execSql(db(), "UPDATE Sp_Otstapka SET T_O = 6 WHERE ID_Klient = 7 AND ID_Art_Gr = 13");
        copy.store();
        QCOMPARE(stored(7), (QStringList{"A12 9.5000 20.0000", "A13 6.0000 0.0000", "A14 -3.0000 0.0000"}));
        QCOMPARE(copy.counterparty(), 0);
        QCOMPARE(shown(copy), QStringList{});
        QVERIFY(!copy.hasUnsavedChanges());
    }

    // Removing a stored row deletes it at storing (every copy of it that an
    // older version stored twice); an added row removed again stores nothing.
    void removeDeletesTheStoredRow() {
        storeRow(7, "A", 12, 8);
        storeRow(7, "A", 12, 7);
        storeRow(7, "G", 3, 5);
        SpecialDiscountsCopy copy(db());
        copy.load(7, "7:Пеликан ООД");
        QCOMPARE(copy.rows().size(), 2); // the article's rows as one
        QVERIFY(copy.remove(copy.rows().front().por));
        const qint64 added = copy.add(kDiscountForArticle, 14, "Хляб", d("1"), d("0"));
        QVERIFY(copy.remove(added));
        QCOMPARE(shown(copy), QStringList{"G3 Напитки 5.0000 0.0000 1"});
        QVERIFY(copy.hasUnsavedChanges());
        copy.store();
        QCOMPARE(stored(7), QStringList{"G3 5.0000 0.0000"});
    }

    // A second row for the same article or group gives the first its values,
    // in the copy and in Sp_Otstapka.
    void oneRowPerArticleOrGroup_data() {
        QTest::addColumn<bool>("storedBefore"); // article 12 at 8 % stored before loading
        QTest::addColumn<bool>("removeFirst");
        QTest::addColumn<int>("state"); // of the row after the second add
        QTest::newRow("added twice") << false << false << int(DiscountRowState::Added);
        QTest::newRow("added over a loaded row") << true << false << int(DiscountRowState::Edited);
        QTest::newRow("added over a removed row") << true << true << int(DiscountRowState::Edited);
    }
    void oneRowPerArticleOrGroup() {
        QFETCH(bool, storedBefore);
        QFETCH(bool, removeFirst);
        QFETCH(int, state);
        if (storedBefore)
            storeRow(7, "A", 12, 8);
        SpecialDiscountsCopy copy(db());
        copy.load(7, "7:Пеликан ООД");
        const qint64 first =
            storedBefore ? copy.rows().front().por : copy.add(kDiscountForArticle, 12, "Чай", d("1"), d("1"));
        if (removeFirst)
            copy.remove(first);
        QCOMPARE(copy.add(kDiscountForArticle, 12, "Чай", d("4.25"), d("50")), first);
        QCOMPARE(copy.add(kDiscountForGroup, 12, "Група 12", d("1"), d("0")),
                 first + 1); // a group is not an article
        QCOMPARE(
            shown(copy),
            (QStringList{QStringLiteral("A12 Чай 4.2500 50.0000 %1").arg(state),
                         QStringLiteral("G12 Група 12 1.0000 0.0000 %1").arg(int(DiscountRowState::Added))}));
        copy.store();
        QCOMPARE(stored(7), (QStringList{"A12 4.2500 50.0000", "G12 1.0000 0.0000"}));
    }

    // A row that another workstation stored after this copy was loaded is
    // updated, not stored a second time.
    void storingMeetsARowStoredMeanwhile() {
        SpecialDiscountsCopy copy(db());
        copy.load(7, "7:Пеликан ООД");
        copy.add(kDiscountForArticle, 12, "Чай", d("3"), d("0"));
        QSqlDatabase other = fx_->openWorkstation("other workstation");
        {
            SpecialDiscountsCopy theirs(other);
            theirs.load(7, "7:Пеликан ООД");
            QCOMPARE(shown(theirs), QStringList{}); // this copy is not theirs
            theirs.add(kDiscountForArticle, 12, "Чай", d("5"), d("0"));
            theirs.store();
        }
        other = {};
        QSqlDatabase::removeDatabase("other workstation");
        QCOMPARE(stored(7), QStringList{"A12 5.0000 0.0000"});
        copy.store();
        QCOMPARE(stored(7), QStringList{"A12 3.0000 0.0000"});
    }

    // A window over another has a copy of its own on the same connection.
    void copiesOpenTogetherKeepApart() {
        storeRow(7, "A", 12, 8);
        storeRow(8, "A", 13, 3);
        auto first = std::make_unique<SpecialDiscountsCopy>(db());
        first->load(7, "7:Пеликан ООД");
        {
            SpecialDiscountsCopy second(db());
            QVERIFY(second.table() != first->table());
            second.load(8, "8:Роза ЕТ");
            QCOMPARE(shown(second), QStringList{"A13 Кафе 3.0000 0.0000 1"});
            QCOMPARE(shown(*first), QStringList{"A12 Чай 8.0000 0.0000 1"});
        }
        QCOMPARE(shown(*first), QStringList{"A12 Чай 8.0000 0.0000 1"});
        const QString table = first->table();
        first.reset();
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, execSql(db(), "SELECT COUNT(*) FROM " + table));
    }

    // "Запис" is all or nothing: a failing row leaves Sp_Otstapka and the copy as they were.
    void storeIsAllOrNothing() {
        storeRow(7, "A", 12, 8);
        storeRow(7, "A", 13, 4);
        SpecialDiscountsCopy copy(db());
        copy.load(7, "7:Пеликан ООД");
        copy.remove(copy.rows()[0].por);               // deleted first
        copy.edit(copy.rows()[0].por, d("1"), d("0")); // then refused
        test::refuseUpdates(db(), "Sp_Otstapka", "refused");
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, copy.store());
        QCOMPARE(stored(7), (QStringList{"A12 8.0000 0.0000", "A13 4.0000 0.0000"}));
        QCOMPARE(copy.counterparty(), 7);
        QCOMPARE(shown(copy), QStringList{"A13 Кафе 1.0000 0.0000 2"});
    }

    void typedValues_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("value"); // "%4.4f", empty when refused
        QTest::addColumn<bool>("allowed");  // as a discount
        QTest::newRow("whole") << "5"
                               << "5.0000" << true;
        QTest::newRow("comma") << "5,5"
                               << "5.5000" << true;
        QTest::newRow("point and blanks") << " 12.5 "
                                          << "12.5000" << true;
        QTest::newRow("rounded to 4") << "12.34565"
                                      << "12.3457" << true;
        QTest::newRow("surcharge") << "-150"
                                   << "-150.0000" << true;
        QTest::newRow("all of it") << "100"
                                   << "100.0000" << true;
        QTest::newRow("rounds to 100") << "100.00004"
                                       << "100.0000" << true;
        QTest::newRow("above 100") << "100.0001"
                                   << "100.0001" << false;
        QTest::newRow("empty") << ""
                               << "" << false;
        QTest::newRow("letters") << "пет"
                                 << "" << false;
        QTest::newRow("exponent") << "1e2"
                                  << "" << false;
        QTest::newRow("two separators") << "1,000.5"
                                        << "" << false;
    }
    void typedValues() {
        QFETCH(QString, text);
        QFETCH(QString, value);
        QFETCH(bool, allowed);
        const std::optional<Decimal> v = typedDiscountValue(text);
        QCOMPARE(v ? format44(*v) : QString(), value);
        QCOMPARE(v && discountAllowed(*v), allowed);
        SpecialDiscountsCopy copy(db());
        copy.load(7, "7:Пеликан ООД");
        if (v && !allowed) {
            QVERIFY_THROWS_EXCEPTION(EConvertError, copy.add(kDiscountForArticle, 12, "Чай", *v, d("0")));
            QCOMPARE(shown(copy), QStringList{});
        }
    }

    void addNeedsACounterparty() {
        SpecialDiscountsCopy copy(db());
        QVERIFY_THROWS_EXCEPTION(std::logic_error, copy.add(kDiscountForArticle, 12, "Чай", d("1"), d("0")));
    }

    void counterpartiesWithDiscounts() {
        storeRow(9, "A", 12, 1);
        storeRow(7, "A", 12, 1);
        storeRow(7, "G", 3, 1);
        const auto listed = [this](const QString& search) {
            const SqlStatement s = discountCounterpartiesStatement(sqlEngine(db()), search);
            QStringList out;
            for (const QVariantList& r : readRows(db(), s.text, s.values).rows)
                out << r[0].toString() + u':' + r[1].toString();
            return out;
        };
        QCOMPARE(listed({}), (QStringList{"7:Пеликан ООД", "9:Мак"}));
        QCOMPARE(listed("пелик"), QStringList{"7:Пеликан ООД"});
        QCOMPARE(listed("ма"), QStringList{"9:Мак"});
        QCOMPARE(listed("роза"), QStringList{});
        QCOMPARE(listed("%"), QStringList{}); // taken as typed
    }
};

QTEST_GUILESS_MAIN(SpecialDiscountsTest)
#include "test_article_discounts.moc"
