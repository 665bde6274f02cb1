// The counterparty register's logic: identity numbers, keys, the list and
// quick searches, the group tree file, sites and accounts.

#include "common/cp1251.h"
#include "common/errors.h"
#include "common/new_keys.h"
#include "common/sql.h"
#include "common/sql_dialect.h"
#include "common/sql_statement.h"
#include "counterparties/counterparties.h"
#include "counterparties/group_tree.h"
#include "counterparties/identity_numbers.h"
#include "counterparties/sites_accounts.h"
#include "counterparties/towns.h"
#include "support/fixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <memory>
#include <stdexcept>

using namespace torvika;

namespace {

void addFirm(const QSqlDatabase& db, qint64 id, const QString& name, const QString& eik = QStringLiteral("0"),
             const QString& vat = QStringLiteral("0"), double discount = 0, qint64 group = 0) {
    execSql(db,
            QStringLiteral("INSERT INTO Firmi (ID, Ime_Firma, EIK, Dan_N, T_O, ID_Mol, Nomer_Grupa, Grad) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
            {id, name, eik, vat, discount, id, group, QStringLiteral("София")});
}

QList<qint64> ids(const QSqlDatabase& db, const SqlStatement& s) {
    QSqlQuery q = execSql(db, s.text, s.values);
    QList<qint64> out;
    while (q.next())
        out << q.value(0).toLongLong();
    return out;
}

} // namespace

class CounterpartyLogicTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    // A company database for the tests that need one, made on first use.
    test::Fixture& fx() {
        if (!fx_)
            fx_ = std::make_unique<test::Fixture>();
        return *fx_;
    }
    QSqlDatabase db() { return fx().db(); }

private slots:
    void cleanup() { fx_.reset(); }

    void checkEik_data() {
        QTest::addColumn<QString>("number");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<bool>("message");
        QTest::newRow("S1 204, remainder 6") << "123456786" << true << false;
        QTest::newRow("wrong check digit") << "123456780" << false << false;
        QTest::newRow("remainder 10, second pass 9") << "050000009" << true << false;
        QTest::newRow("second pass wanted 9") << "050000000" << false << false;
        QTest::newRow("both passes 10 give 0") << "281000000" << true << false;
        QTest::newRow("both passes 10, not 0") << "281000001" << false << false;
        QTest::newRow("twelve digits") << "123456786000" << false << false;
        QTest::newRow("thirteen digits") << "1234567860005" << false << false;
        QTest::newRow("empty") << "" << false << false;
        QTest::newRow("the default 0") << "0" << false << false;
        QTest::newRow("ninth a letter") << "12345678A" << false << false;
        QTest::newRow("letter among the first eight") << "1234A6786" << false << true;
        QTest::newRow("blank among the first eight") << "1234 6786" << false << true;
        QTest::newRow("ninth a blank") << "12345678 " << false << false;
        QTest::newRow("non-ASCII digit") << QStringLiteral("١23456786") << false << true;
    }
    void checkEik() {
        QFETCH(QString, number);
        QFETCH(bool, valid);
        QFETCH(bool, message);
        bool shown = !message;
        QCOMPARE(Check_EIK(number, &shown), valid);
        QCOMPARE(shown, message);
    }

    void getEik_data() {
        QTest::addColumn<QString>("number");
        QTest::addColumn<int>("shift");
        QTest::addColumn<bool>("second");
        QTest::addColumn<int>("digit");
        QTest::newRow("first pass") << "123456786" << 0 << false << 6;
        QTest::newRow("first pass keeps 10") << "050000009" << 0 << false << 10;
        QTest::newRow("second pass") << "050000009" << 2 << true << 9;
        QTest::newRow("second pass 10 is 0") << "281000000" << 2 << true << 0;
    }
    void getEik() {
        QFETCH(QString, number);
        QFETCH(int, shift);
        QFETCH(bool, second);
        QFETCH(int, digit);
        QCOMPARE(Get_EIK(number, shift, second), digit);
    }

    void checkEgn_data() {
        QTest::addColumn<QString>("number");
        QTest::addColumn<bool>("valid");
        QTest::newRow("S 54, remainder 10, digit 0") << "1111111110" << true;
        QTest::newRow("wrong check digit") << "1111111111" << false;
        QTest::newRow("nine ones") << "111111111" << false;
        QTest::newRow("eleven digits") << "75010200180" << false;
        QTest::newRow("ordinary number") << "7501020018" << true;
        QTest::newRow("ordinary, wrong digit") << "7501020017" << false;
        QTest::newRow("a letter") << "75010A0018" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("the default 0") << "0" << false;
    }
    void checkEgn() {
        QFETCH(QString, number);
        QFETCH(bool, valid);
        QCOMPARE(Check_EGN(number), valid);
    }

    void maxNumber() {
        QCOMPARE(GET_MAX_NUMBER(db(), "Grupi_Kontrag", "ID"), 1);
        QCOMPARE(GET_MAX_NUMBER(db(), "Firmi", "ID"), 1); // the counterparty 0 "none"
        addFirm(db(), 41, "Алфа");
        QCOMPARE(GET_MAX_NUMBER(db(), "Firmi", "ID"), 42);
        QCOMPARE(GET_MAX_NUMBER(db(), "No_Such_Table", "ID"), 0);
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, nextKey(db(), "No_Such_Table", "ID"));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument,
                                 GET_MAX_NUMBER(db(), "Firmi; DROP TABLE Firmi", "ID"));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, CHECK_REPEATED_NUMBERS(db(), "Firmi", "ID)", 1));
        QVERIFY(CHECK_REPEATED_NUMBERS(db(), "Firmi", "ID", 41));
        QVERIFY(!CHECK_REPEATED_NUMBERS(db(), "Firmi", "ID", 40));
        QVERIFY(CHECK_REPEATED_NUMBERS(db(), "Firmi", "Ime_Firma", "Алфа"));
        QVERIFY(!CHECK_REPEATED_NUMBERS(db(), "Firmi", "Ime_Firma", "Алфа\" OR \"1\"=\"1"));
    }

    void orderSql() {
        SortDirection direction;
        const SqlStatement s{"SELECT * FROM Firmi WHERE ID > ?\nORDER BY Ime_Firma", {5}};
        const SqlStatement a = ORDER_SQL(s, "Firmi.EIK", direction);
        QCOMPARE(a.text, "SELECT * FROM Firmi WHERE ID > ?\nORDER BY Firmi.EIK ASC");
        QCOMPARE(a.values, s.values);
        QCOMPARE(ORDER_SQL(a, "Firmi.EIK", direction).text,
                 "SELECT * FROM Firmi WHERE ID > ?\nORDER BY Firmi.EIK DESC");
        QCOMPARE(ORDER_SQL(SqlStatement{"SELECT 1", {}}, "T_O", direction).text,
                 "SELECT 1\nORDER BY T_O ASC");
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, ORDER_SQL(s, "ID; DELETE FROM Firmi", direction));
    }

    void createAndEdit() {
        // The person's key follows Klienti, the firm's key Firmi.
        execSql(db(), "INSERT INTO Klienti (ID, Ime_Klient) VALUES (6, 'Стар')");
        FirmCard firm{"Фирма \"Пеликан\" 100% _ООД_",
                      "Пловдив",
                      "ул. \"Роза\" 5",
                      "123456786",
                      "BG123456786",
                      "032/111",
                      "Банка 'ДСК'",
                      "STSA",
                      "BG11",
                      Decimal("5.5"),
                      "бележка\nвтори ред"};
        PersonCard person{"Иван \"Ванката\"", "Пловдив", "ул. Роза", "088", "7501020018"};
        const StoredCounterparty c = createCounterparty(db(), firm, person, 3);
        QCOMPARE(c.id, 1);
        QCOMPARE(c.personId, 7);
        const auto stored = loadCounterparty(db(), 1);
        QVERIFY(stored);
        QCOMPARE(stored->personId, 7);
        QCOMPARE(stored->group, 3);
        QCOMPARE(stored->firm.name, firm.name);
        QCOMPARE(stored->firm.address, firm.address);
        QCOMPARE(stored->firm.bankName, firm.bankName);
        QCOMPARE(stored->firm.note, firm.note);
        QCOMPARE(stored->firm.discount, Decimal("5.5"));
        QCOMPARE(stored->person.name, person.name);
        QCOMPARE(stored->person.egn, person.egn);

        firm.name = "Пеликан ЕООД";
        person.name = "Мария";
        updateCounterparty(db(), 1, 7, firm, person);
        const auto edited = loadCounterparty(db(), 1);
        QCOMPARE(edited->firm.name, "Пеликан ЕООД");
        QCOMPARE(edited->person.name, "Мария");
        QCOMPARE(edited->group, 3);
        QCOMPARE(edited->personId, 7);
        QCOMPARE(scalarSql(db(), "SELECT Ime_Klient FROM Klienti WHERE ID = 6").toString(), "Стар");
        QVERIFY(!loadCounterparty(db(), 99));
    }

    // A company whose person row is missing, or that names no person: the
    // edited person is stored and paired, and the "none" person 0 stays.
    void editWithoutItsPerson_data() {
        QTest::addColumn<QVariant>("idMol");
        QTest::addColumn<qint64>("personId");
        QTest::newRow("person row missing") << QVariant(12) << qint64(12);
        QTest::newRow("no person named") << QVariant() << qint64(9);
    }
    void editWithoutItsPerson() {
        QFETCH(QVariant, idMol);
        QFETCH(qint64, personId);
        execSql(db(), "INSERT INTO Klienti (ID, Ime_Klient) VALUES (8, 'друг')");
        execSql(db(), "INSERT INTO Firmi (ID, Ime_Firma, ID_Mol, Nomer_Grupa) VALUES (5, 'Внесена', ?, 2)",
                {idMol});
        const auto loaded = loadCounterparty(db(), 5);
        QVERIFY(loaded);
        QCOMPARE(loaded->person.name, QString());
        PersonCard person{"Петър", "Русе", "ул. 1", "082", "7501020018"};
        QCOMPARE(updateCounterparty(db(), 5, loaded->personId, loaded->firm, person), personId);
        const auto edited = loadCounterparty(db(), 5);
        QCOMPARE(edited->personId, personId);
        QCOMPARE(edited->person.name, "Петър");
        QCOMPARE(edited->person.egn, "7501020018");
        QCOMPARE(edited->group, 2);
        QCOMPARE(scalarSql(db(), "SELECT Ime_Klient FROM Klienti WHERE ID = 0").toString(),
                 "Няма избран контрагент");
    }

    void editOfAVanishedCompanyStoresNothing() {
        execSql(db(), "INSERT INTO Klienti (ID, Ime_Klient) VALUES (7, 'Иван')");
        PersonCard person;
        person.name = "Петър";
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, updateCounterparty(db(), 5, 7, FirmCard{}, person));
        QCOMPARE(scalarSql(db(), "SELECT Ime_Klient FROM Klienti WHERE ID = 7").toString(), "Иван");
    }

    void createIsAllOrNothing() {
        execSql(db(), "DROP TABLE Klienti");
        execSql(db(), "CREATE TABLE Klienti (ID INTEGER PRIMARY KEY, Ime_Klient VARCHAR(5) CHECK "
                      "(length(Ime_Klient) < 5))");
        FirmCard firm;
        firm.name = "Нова";
        PersonCard person;
        person.name = "твърде дълго";
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, createCounterparty(db(), firm, person, 0));
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Firmi").toInt(), 1);
    }

    void moveToGroup() {
        addFirm(db(), 1, "А", "0", "0", 0, 4);
        addFirm(db(), 2, "Б", "0", "0", 0, 4);
        addFirm(db(), 3, "В", "0", "0", 0, 4);
        moveCounterpartiesToGroup(db(), {1, 3}, 9);
        QCOMPARE(ids(db(), groupListStatement(9)), (QList<qint64>{1, 3}));
        QCOMPARE(ids(db(), groupListStatement(4)), (QList<qint64>{2}));
        moveCounterpartiesToGroup(db(), {1, 2, 3}, 0);
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Firmi WHERE Nomer_Grupa = 0").toInt(), 4);
    }

    void listSearch_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("comparison");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QList<qint64>>("found");
        const int eq = int(Comparison::Equal);
        QTest::newRow("number equal") << 0 << eq << "2"
                                      << "" << QList<qint64>{2};
        QTest::newRow("number at most") << 0 << int(Comparison::AtMost) << "2"
                                        << "" << QList<qint64>{0, 1, 2};
        QTest::newRow("number at least") << 0 << int(Comparison::AtLeast) << "3"
                                         << "" << QList<qint64>{3, 4, 5};
        QTest::newRow("number between") << 0 << int(Comparison::Between) << "2"
                                        << "3" << QList<qint64>{2, 3};
        QTest::newRow("discount, decimal comma") << 10 << int(Comparison::AtLeast) << "2,5"
                                                 << "" << QList<qint64>{3, 4};
        QTest::newRow("name contains, any case") << 1 << eq << "пелик"
                                                 << "" << QList<qint64>{1, 3};
        QTest::newRow("percent as typed") << 1 << eq << "100%"
                                          << "" << QList<qint64>{4};
        QTest::newRow("underscore as typed") << 1 << eq << "a_b"
                                             << "" << QList<qint64>{2};
        QTest::newRow("quote as typed") << 1 << eq << "\"Пеликан\""
                                        << "" << QList<qint64>{3};
        QTest::newRow("town") << 4 << eq << "соф"
                              << "" << QList<qint64>{1, 2, 3, 4, 5};
        QTest::newRow("company number") << 2 << eq << "4567"
                                        << "" << QList<qint64>{1};
    }
    void listSearch() {
        QFETCH(int, column);
        QFETCH(int, comparison);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QList<qint64>, found);
        addFirm(db(), 1, "Пеликан ООД", "123456786", "0", 0);
        addFirm(db(), 2, "a_b ЕТ", "0", "0", 1);
        addFirm(db(), 3, "Фирма \"Пеликан\"", "0", "0", 2.5);
        addFirm(db(), 4, "Отстъпка 100%", "0", "0", 10);
        addFirm(db(), 5, "axb ЕТ", "0", "0", 0);
        QCOMPARE(ids(db(), listSearchStatement(column, Comparison(comparison), from, to, sqlEngine(db()))),
                 found);
    }

    void listSearchRejectsNonNumbers() {
        QVERIFY_THROWS_EXCEPTION(EConvertError, listSearchStatement(0, Comparison::Equal, "abc", ""));
        QVERIFY_THROWS_EXCEPTION(EConvertError, listSearchStatement(10, Comparison::Between, "1", ""));
    }

    void quickSearch_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("page");
        QTest::addColumn<QStringList>("items");
        const int shop = int(QuickSearchPage::Shop), service = int(QuickSearchPage::Service);
        const QStringList all{"15:Бип ЕТ", "16:Жар 50%", "0:Няма избран контрагент", "3:Чип ООД"};
        QTest::newRow("! and a number") << "!15" << shop << QStringList{"15:Бип ЕТ"};
        QTest::newRow("! and a text") << "!abc" << shop << QStringList{};
        QTest::newRow("+ VAT number, exactly") << "+BG123" << shop << QStringList{"3:Чип ООД"};
        QTest::newRow("+ part of it") << "+BG12" << shop << QStringList{};
        QTest::newRow("- company number") << "-123456786" << service << QStringList{"15:Бип ЕТ"};
        QTest::newRow("space lists everybody") << " " << shop << all;
        QTest::newRow("a Latin letter lists everybody") << "Z" << service << all;
        QTest::newRow("a digit other than 0 lists everybody") << "5" << shop << all;
        QTest::newRow("starting with 0 searches nothing")
            << "0: Няма избран потребител" << shop << QStringList{};
        QTest::newRow("only a sign") << "!" << shop << QStringList{};
        QTest::newRow("shop: Ч stands for any letter")
            << "Чип" << shop << QStringList{"15:Бип ЕТ", "3:Чип ООД"};
        QTest::newRow("service: Ч as typed") << "Чип" << service << QStringList{"3:Чип ООД"};
        QTest::newRow("shop: lower case ч too") << "чип" << shop << QStringList{"15:Бип ЕТ", "3:Чип ООД"};
        QTest::newRow("name, any case") << "ип о" << service << QStringList{"3:Чип ООД"};
        QTest::newRow("percent as typed") << "Жар 50%" << shop << QStringList{"16:Жар 50%"};
        QTest::newRow("percent not a wildcard") << "Ж%" << shop << QStringList{};
    }
    void quickSearch() {
        QFETCH(QString, text);
        QFETCH(int, page);
        QFETCH(QStringList, items);
        addFirm(db(), 3, "Чип ООД", "0", "BG123");
        addFirm(db(), 15, "Бип ЕТ", "123456786", "BG1234");
        addFirm(db(), 16, "Жар 50%");
        QCOMPARE(torvika::quickSearch(db(), text, QuickSearchPage(page)), items);
    }

    // The name index finds exactly the rows a scan of UPPER(name) finds, in
    // any letter case, on either engine; wildcards and short texts scan.
    void nameIndexFindsWhatTheScanFinds_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("three letters") << "аги";
        QTest::newRow("upper case") << "АГИ";
        QTest::newRow("mixed case") << "ТрЕйД";
        QTest::newRow("ё and Ё") << "ёлх";
        QTest::newRow("Latin") << "tech";
        QTest::newRow("across a blank") << "а т";
        QTest::newRow("two letters") << "ра";
        QTest::newRow("one letter") << "ч";
        QTest::newRow("digits") << "100";
        QTest::newRow("percent") << "100%";
        QTest::newRow("underscore") << "a_b";
        QTest::newRow("backslash") << "\\d";
        QTest::newRow("nothing found") << "щхщ";
    }
    void nameIndexFindsWhatTheScanFinds() {
        QFETCH(QString, text);
        const QStringList words{"Агитех",    "Трейд",  "ЁЛХА", "ёлха",    "TechNo", "Пчела",
                                "100% чист", "a_b ЕТ", "axb",  "C:\\dir", "Рая",    "Марагит"};
        int id = 100;
        for (const QString& a : words)
            for (const QString& b : words)
                addFirm(db(), ++id, a + u' ' + b.toLower());
        auto ids = [this](const ContainsCondition& c) {
            QSqlQuery q = execSql(db(), "SELECT ID FROM Firmi WHERE " + c.sql + " ORDER BY ID", {c.value});
            QList<qint64> out;
            while (q.next())
                out << q.value(0).toLongLong();
            return out;
        };
        const QList<qint64> scanned = ids(likeCondition("Ime_Firma", likeContains(text.toUpper())));
        const QList<qint64> indexed =
            ids(containsCondition(sqlEngine(db()), "Firmi", "ID", "Ime_Firma", "Firmi_Names", text));
        QCOMPARE(indexed, scanned);
        QVERIFY(text == "щхщ" || !scanned.isEmpty());
    }

    void quickSearchFailureThrows() {
        execSql(db(), "DROP TABLE Firmi");
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, torvika::quickSearch(db(), " ", QuickSearchPage::Shop));
    }

    void towns() {
        for (auto [name, pk, tk] :
             {std::tuple{"Пловдив", "4000", "032"}, std::tuple{"София", "1000", "02"},
              std::tuple{"Асеновград", "4230", "0331"}, std::tuple{"Плевен", "5800", "064"}})
            execSql(db(), "INSERT INTO Grad (Opisanie, PK, TK) VALUES (?, ?, ?)", {name, pk, tk});
        QCOMPARE(townsByName(db(), "пл"), (QStringList{"Плевен", "Пловдив"}));
        QCOMPARE(townsByName(db(), "%"), QStringList{});
        QCOMPARE(allTowns(db()), (QStringList{"Асеновград", "Плевен", "Пловдив", "София"}));
        QCOMPARE(townsByCode(db(), TownCode::Phone, "032"), (QStringList{"Пловдив"}));
        QCOMPARE(townsByCode(db(), TownCode::Phone, "03"), (QStringList{"Асеновград", "Пловдив"}));
        QCOMPARE(townsByCode(db(), TownCode::Postal, "1000"), (QStringList{"София"}));
        QCOMPARE(townsByCode(db(), TownCode::Postal, "9"), QStringList{});
    }

    // The towns window's register: every town its own row under its key,
    // also when two are written alike.
    void townsEditor() {
        const Town varna{QStringLiteral("Варна"), QStringLiteral("9000"), QStringLiteral("052")};
        const qint64 first = insertTown(db(), varna);
        const qint64 second = insertTown(db(), varna);
        const qint64 quoted = insertTown(db(), {QStringLiteral("Село \"Ново\" '1'"), QString(), QString()});
        QVERIFY(first > 0);
        QVERIFY(second > first && quoted > second);

        auto rows = [this] {
            const SqlStatement list = townsStatement();
            QSqlQuery q = execSql(db(), list.text, list.values);
            QStringList out;
            while (q.next())
                out << QStringLiteral("%1|%2|%3|%4")
                           .arg(q.value(kTownColumnId).toString(), q.value(kTownColumnName).toString(),
                                q.value(kTownColumnPostalCode).toString(),
                                q.value(kTownColumnPhoneCode).toString());
            return out;
        };
        const QString f = QString::number(first), s = QString::number(second), o = QString::number(quoted);
        QCOMPARE(rows(),
                 (QStringList{f + "|Варна|9000|052", s + "|Варна|9000|052", o + "|Село \"Ново\" '1'||"}));

        updateTown(db(), second, {QStringLiteral("Варна"), QStringLiteral("9010"), QStringLiteral("052")});
        QCOMPARE(rows(),
                 (QStringList{f + "|Варна|9000|052", s + "|Варна|9010|052", o + "|Село \"Ново\" '1'||"}));
        QCOMPARE(loadTown(db(), second)->postalCode, QStringLiteral("9010"));

        // Deleting one of two towns written alike leaves the other.
        updateTown(db(), second, varna);
        QVERIFY(deleteTown(db(), first));
        QCOMPARE(rows(), (QStringList{s + "|Варна|9000|052", o + "|Село \"Ново\" '1'||"}));
        QVERIFY(!loadTown(db(), first));

        // A town another workstation deleted meanwhile.
        QVERIFY(!deleteTown(db(), first));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, updateTown(db(), first, varna));
        QCOMPARE(rows().size(), 2);
        // A key is never given out again.
        QVERIFY(insertTown(db(), varna) > quoted);
    }

    void townsEditorFailuresThrow() {
        execSql(db(), "DROP TABLE Grad");
        const Town town{QStringLiteral("Варна"), QString(), QString()};
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, insertTown(db(), town));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, updateTown(db(), 1, town));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, deleteTown(db(), 1));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, loadTown(db(), 1));
    }

    void readTreeFile_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("nodes"); // depth as leading tabs
        const QStringList tree{"0:Всички контрагенти", "\t1:Клиенти", "\t\t3:Едро", "\t2:Доставчици",
                               "5:Други"};
        const QString text =
            "0:Всички контрагенти\r\n\t1:Клиенти\r\n\t\t3:Едро\r\n\t2:Доставчици\r\n5:Други\r\n";
        QTest::newRow("UTF-8, CR LF") << text.toUtf8() << tree;
        QTest::newRow("Windows-1251") << toCp1251(text) << tree;
        QTest::newRow("LF and blank lines")
            << QString(text).replace("\r\n", "\n").replace("\t2:", "\n\n\t2:").toUtf8() << tree;
        QTest::newRow("too deep a level") << QByteArray("0:Всички контрагенти\n\t\t\t1:Клиенти\n")
                                          << QStringList{"0:Всички контрагенти", "\t1:Клиенти"};
        QTest::newRow("empty file") << QByteArray() << QStringList{"0:Всички контрагенти"};
        QTest::newRow("without the root")
            << QByteArray("1:Клиенти\n") << QStringList{"0:Всички контрагенти", "1:Клиенти"};
    }
    void readTreeFile() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, nodes);
        const QString file = fx().writeFile("Data/" + kGroupTreeFileName, bytes);
        QStringList got;
        for (const GroupTreeLine& l : readGroupTree(file))
            got << QString(l.depth, u'\t') + l.text;
        QCOMPARE(got, nodes);
    }

    // A change re-reads the file and changes only what it adds: node texts
    // with the depth as leading tabs, as the file keeps them.
    void addGroupTreeNodes_data() {
        QTest::addColumn<QStringList>("before"); // empty: no file
        QTest::addColumn<QString>("parent");     // null: at the top level
        QTest::addColumn<QStringList>("after");
        const QStringList tree{"0:Всички контрагенти", "\t1:Клиенти",    "\t\t3:Едро",
                               "\t\t\t4:Градове",      "\t2:Доставчици", "5:Други"};
        QTest::newRow("top level: after the last node")
            << tree << QString()
            << QStringList{"0:Всички контрагенти", "\t1:Клиенти", "\t\t3:Едро", "\t\t\t4:Градове",
                           "\t2:Доставчици",       "5:Други",     "9:Нова"};
        QTest::newRow("child: after the parent's last descendant")
            << tree << "1:Клиенти"
            << QStringList{"0:Всички контрагенти", "\t1:Клиенти",    "\t\t3:Едро", "\t\t\t4:Градове",
                           "\t\t9:Нова",           "\t2:Доставчици", "5:Други"};
        QTest::newRow("child of the root")
            << tree << "0:Всички контрагенти"
            << QStringList{"0:Всички контрагенти", "\t1:Клиенти", "\t\t3:Едро", "\t\t\t4:Градове",
                           "\t2:Доставчици",       "\t9:Нова",    "5:Други"};
        QTest::newRow("child of a node without children")
            << tree << "4:Градове"
            << QStringList{"0:Всички контрагенти", "\t1:Клиенти",    "\t\t3:Едро", "\t\t\t4:Градове",
                           "\t\t\t\t9:Нова",       "\t2:Доставчици", "5:Други"};
        QTest::newRow("child of the last node")
            << tree << "5:Други"
            << QStringList{"0:Всички контрагенти", "\t1:Клиенти", "\t\t3:Едро", "\t\t\t4:Градове",
                           "\t2:Доставчици",       "5:Други",     "\t9:Нова"};
        QTest::newRow("no file yet: the built-in root")
            << QStringList() << "0:Всички контрагенти" << QStringList{"0:Всички контрагенти", "\t9:Нова"};
    }
    void addGroupTreeNodes() {
        QFETCH(QStringList, before);
        QFETCH(QString, parent);
        QFETCH(QStringList, after);
        const QString file = groupTreeFile(fx().session().workspace.directory());
        QFile::remove(file);
        if (!before.isEmpty())
            fx().writeFile("Data/" + kGroupTreeFileName, (before.join("\r\n") + "\r\n").toUtf8());
        const QList<GroupTreeLine> shown =
            parent.isNull() ? addGroupTreeNode(file, "9:Нова") : addGroupTreeChild(file, parent, "9:Нова");
        QCOMPARE(shown, readGroupTree(file));
        QCOMPARE(test::Fixture::readFile(file), (after.join("\r\n") + "\r\n").toUtf8());
        // Replaced whole: nothing else is left in the directory.
        QCOMPARE(QDir(QFileInfo(file).path()).entryList({"Opis_Kontrag*"}, QDir::Files | QDir::Hidden),
                 QStringList{kGroupTreeFileName});
    }

    // Two workstations show the tree as it was and each adds a group: both
    // groups are in the file.
    void groupTreeChangesFromStaleTreesBothSurvive() {
        const QString file = groupTreeFile(fx().session().workspace.directory());
        writeGroupTree(file, {{0, kAllCounterpartiesNode}, {1, "1:Клиенти"}});
        const QList<GroupTreeLine> first = readGroupTree(file);
        const QList<GroupTreeLine> second = readGroupTree(file);

        addGroupTreeChild(file, first[1].text, "2:Едро");
        addGroupTreeNode(file, "3:Други");
        addGroupTreeChild(file, second[0].text, "4:Доставчици");

        QCOMPARE(readGroupTree(file), (QList<GroupTreeLine>{{0, kAllCounterpartiesNode},
                                                            {1, "1:Клиенти"},
                                                            {2, "2:Едро"},
                                                            {1, "4:Доставчици"},
                                                            {0, "3:Други"}}));
    }

    void groupTreeChangeRefused_data() {
        QTest::addColumn<QString>("setup");
        QTest::newRow("parent not in the file") << "missing parent";
        QTest::newRow("file cannot be read") << "unreadable";
    }
    void groupTreeChangeRefused() {
        QFETCH(QString, setup);
        const QString file = groupTreeFile(fx().session().workspace.directory());
        if (setup == "unreadable") {
            QFile::remove(file);
            QVERIFY(QDir().mkpath(file));
            QVERIFY_THROWS_EXCEPTION(EInOutError, readGroupTree(file));
            QVERIFY_THROWS_EXCEPTION(EInOutError, addGroupTreeNode(file, "9:Нова"));
            QVERIFY_THROWS_EXCEPTION(EInOutError, addGroupTreeChild(file, kAllCounterpartiesNode, "9:Нова"));
            QVERIFY(QFileInfo(file).isDir());
            QVERIFY(QDir(file).isEmpty());
            return;
        }
        const QByteArray bytes = "0:Всички контрагенти\r\n\t1:Клиенти\r\n";
        fx().writeFile("Data/" + kGroupTreeFileName, bytes);
        QVERIFY_THROWS_EXCEPTION(EInOutError, addGroupTreeChild(file, "7:Изтрита", "9:Нова"));
        QCOMPARE(test::Fixture::readFile(file), bytes);
    }

    void groupTreeWriteAndReadBack() {
        const QString file = groupTreeFile(fx().session().workspace.directory());
        QCOMPARE(readGroupTree(file), (QList<GroupTreeLine>{{0, kAllCounterpartiesNode}}));
        const QList<GroupTreeLine> tree{
            {0, kAllCounterpartiesNode}, {1, "1:Клиенти \"А\""}, {2, "2:Едро"}, {0, "3:Други"}};
        writeGroupTree(file, tree);
        QCOMPARE(test::Fixture::readFile(file),
                 QString("0:Всички контрагенти\r\n\t1:Клиенти \"А\"\r\n\t\t2:Едро\r\n3:Други\r\n").toUtf8());
        QCOMPARE(readGroupTree(file), tree);
    }

    void groups() {
        QVERIFY(addCounterpartyGroup(db(), 1, "Клиенти"));
        QVERIFY(!addCounterpartyGroup(db(), 1, "Друга"));
        QCOMPARE(scalarSql(db(), "SELECT Opisanie FROM Grupi_Kontrag WHERE ID = 1").toString(), "Клиенти");
        QCOMPARE(GET_MAX_NUMBER(db(), "Grupi_Kontrag", "ID"), 2);
    }

    void sitesAndAccounts() {
        Site s{0, "Магазин \"Център\"", "София", "бул. 1", "02", "Петров", "7501020018", "123", "МВР 100%"};
        QCOMPARE(insertSite(db(), 7, s), 1);
        Site other;
        other.name = "Склад";
        QCOMPARE(insertSite(db(), 8, other), 2);
        s.id = 1;
        s.name = "Магазин 2";
        updateSite(db(), 7, s);
        other.id = 1;
        updateSite(db(), 8, other); // another owner's site stays
        QSqlQuery q = execSql(db(), sitesStatement(7).text, sitesStatement(7).values);
        QVERIFY(q.next());
        QCOMPARE(q.value(1).toString(), "Магазин 2");
        QCOMPARE(q.value(8).toString(), "МВР 100%");
        QVERIFY(!q.next());

        BankAccount a{0, "BG80BNBG", "BNBG", "БНБ", "Център", true};
        QCOMPARE(insertBankAccount(db(), 7, a), 1);
        QCOMPARE(insertBankAccount(db(), 8, BankAccount{0, "X", "", "ДСК", "", false}), 2);
        QCOMPARE(insertBankAccount(db(), 9, BankAccount{0, "Y", "", "ДСК", "", false}), 3);
        a.id = 1;
        a.vat = false;
        updateBankAccount(db(), 7, a);
        QCOMPARE(scalarSql(db(), "SELECT DDS FROM Kontrag_SM WHERE ID_SM = 1").toString(), "False");
        QCOMPARE(bankNames(db()), (QStringList{"БНБ", "ДСК"}));
    }

    void openConsignments() {
        execSql(db(),
                "INSERT INTO Konsignation (ID, ID_Kontrag, Payed) VALUES (1, 5, 'True'), (2, 6, 'False'), "
                "(3, 7, NULL)");
        QVERIFY(!hasOpenConsignments(db(), 5));
        QVERIFY(hasOpenConsignments(db(), 6));
        QVERIFY(hasOpenConsignments(db(), 7));
        QVERIFY(!hasOpenConsignments(db(), 8));
        QCOMPARE(ids(db(), debtorsStatement()), (QList<qint64>{}));
        addFirm(db(), 6, "Длъжник");
        addFirm(db(), 5, "Платил");
        QCOMPARE(ids(db(), debtorsStatement()), (QList<qint64>{6}));
    }
};

QTEST_GUILESS_MAIN(CounterpartyLogicTest)
#include "test_counterparty_logic.moc"
