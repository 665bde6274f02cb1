// The company database that NewTables.nts creates: its tables and columns,
// the rows a new company starts with, and the behaviour of its keys.

#include "common/errors.h"
#include "common/sql.h"
#include "shell/nts_script.h"
#include "shell/operators.h"
#include "support/fixture.h"

#include <QSqlRecord>
#include <QTest>
#include <memory>

using namespace torvika;

class NewTablesTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;

    QSqlDatabase db() { return fx_->db(); }

private slots:
    void initTestCase() { fx_ = std::make_unique<test::Fixture>(); }
    void cleanupTestCase() { fx_.reset(); }

    void tableHasItsColumns_data() {
        QTest::addColumn<QString>("columns");
        const char* const rows[][2] = {
            {"Operators", "ID Ime Par Prava"},
            {"Produkti", "ID Nomenkl_N Nomer_Grupa Opisanie Dostavna_Cena Valuta_D Ed_Cena Valuta_P Mqrka "
                         "Garancionen Kasovo_Ime Etiketno_Ime Dostav4ik Poredica Min_Kol Max_TO Trajnost "
                         "Kod_Vezna Dan_Grup Prigotvq_Se Snimka DDS"},
            {"Grupi", "ID Opisanie"},
            {"Barkodes", "ID Barkode"},
            {"Nomenklatures", "ID Nomenkl_N ID_Kontrag"},
            {"Valuti", "Opisanie Kurs Osn"},
            {"Garancia_dostavtchik", "ID ID_Kontrag Vid_Dok ID_Dok Data Zabel"},
            {"Serials", "ID_Karta ID Model Partida Serial_ID Data"},
            {"Sklad", "ID_Sklad Opis_Sklad Grad Adres Mol_Sklad"},
            {"Store_Kol", "Art_ID Sklad_ID Kol"},
            {"Dostavki", "ID Data_Dostavka Time_Dostavka Nomer_Dostav4ik Vid_Dokument Data_Dokument "
                         "Nomer_Dokument Zabel ID_Sklad Pay_Cach Pay_Bank Pay_Not"},
            {"Dostavka_Art",
             "ID_Dostavka Nomer_Produkt Dostavna_Cena Valuta_D Prodajna_Cena Valuta_P Kolitchestvo Mqrka"},
            {"DostavkiTMP",
             "ID_Dostavka Nomer_Produkt Opisanie Dostavna_Cena Valuta_D Prodajna_Cena Valuta_P "
             "Kolitchestvo Mqrka Have_DDS"},
            {"Revision", "ID Date_Rev Time_Rev Osnovanie Sklad_ID"},
            {"Revision_Art", "ID_Rev Art_ID Nal_Kol Otkr_Kol Mqrka Ed_Cena Valuta"},
            {"Rezept_Art", "ID ID_Art Kol_Art Vid_R Name_R"},
            {"Rezept_El", "ID_R ID_El Kol_El"},
            {"Transfer", "ID Data_Transfer Time_Transfer Sklad_Ot Sklad_Do Operator Zabel"},
            {"Transfer_Art", "ID_Trans Line_N Art_ID Kol Mqrka Ed_Cena Valuta"},
            {"Brak", "ID Data_Brak Time_Brak Sklad_ID Operator Zabel"},
            {"Brak_Art", "ID_Brak Line_N Art_ID Kol Mqrka Ed_Cena Valuta Pri4ina"},
            {"Projzvodstvo", "ID Data_P Time_P ID_R Vid_R ID_Art Kol Sklad_ID Operator"},
            {"Projzvodstvo_El", "ID_P ID_El Kol_El"},
            {"Zaqvki_All", "ID Data Art_ID Kat_N Opisanie Kol Dost_Cena Valuta Klient_Ime Dost_Ime"},
            {"Firmi",
             "ID Ime_Firma Grad Adres_Firma EIK Dan_N Telefon Banka_Ime Banka_Kod Banka_Smetka T_O Zabel "
             "ID_Mol Nomer_Grupa"},
            {"Klienti", "ID Ime_Klient Grad Adres_Klient Telefon_Klient EGN"},
            {"Grupi_Kontrag", "ID Opisanie"},
            {"Grad", "ID Opisanie PK TK"},
            {"Kontrag_Sklad",
             "ID_Sk Opisanie_Sk Grad_SK Adres_SK Tel_SK MOL_SK EGN_MOL_SK LK_Mol_Sk LK_Izd_Ot ID_Kontrag"},
            {"Kontrag_SM", "ID_SM Smetka Kod Banka Klon DDS ID_Kontrag"},
            {"Prodajbi_Vremenni",
             "N_Prodajba Barkod Opisanie Kol Mqrka Ed_Cena Valuta Operator Pored_Ot Pored_Do T_O "
             "SUM_BezDDS Bez_DDS Sm_N Term_N Nomenkl_N Dan_Grup Prigotvq_Se"},
            {"Karti", "ID Karts"},
            {"Prodajbi",
             "ID_Prodajba ID_Art Operator D_Prodajba T_Prodajba Kol ED_Cena Valuta ID_Klient T_O Konsign_N "
             "Pored_Ot Pored_Do Type_Pay Term_N Sklad_ID"},
            {"Type_Prigotvq_Se", "ID Opisanie Path Vid_FU"},
            {"Sp_Otstapka", "ID_Klient Otnasq_se_za ID_Art_Gr T_O Suma_Up"},
            {"Invalidate_Sales",
             "ID_Prodajba ID_Art Operator D_Prodajba T_Prodajba Kol Ed_Cena Valuta ID_Klient T_O "
             "Pored_Ot Pored_Do Konsign_N Type_pay Term_N Osnovanie Anuliral Date_Invalidate "
             "Time_Invalidate"},
            {"Oferti_Klient", "ID ID_Kontrag Data_Oferta Pay_Beffor"},
            {"Oferti_Klient_Art",
             "ID_Oferta Grup Opisanie Kol Cena Cena_2 Cena_3 Valuta Dostav4ik Korekt Kat_N"},
            {"Art_CL", "ID Opisanie Cena_1 Cena_2 Cena_3 Valuta Status ID_G ID_F Kat_N"},
            {"Firm_CL", "ID Opisanie"},
            {"Grupi_CL", "ID Opisanie ID_F"},
            {"Zad_el", "ID Opisanie Checked"},
            {"Konsignation", "ID ID_Kontrag Date_Otd Date_Pay Broj_Vnosk Vid_Pay Period_Vnosk Operator Payed "
                             "First_Vnosk Lihva"},
            {"Vnoski", "ID Data_Pay ID_Konsign Procent_pay"},
            {"Dokumenti", "ID_Dokument Opisanie Kade_se_izpolzva N_Dok N_Copies"},
            {"Kodove_za_Dokumenti", "ID"},
            {"Rab_Dokumenti", "ID Opisanie"},
            {"Printed_Dok", "ID_Prod ID_Dok ID_Kontrag ID_Art N_Dok Operator Data fTime Ot_Kade_Prod"},
            {"Priem_Ser_Vremen",
             "N_Prodajba Barkod S_N Opisanie Pri4ina Gar Gar_Dok_N Data_Gar_Dok ID_Kontrag "
             "Data_Priem Time_Priem Operator Pred_Cena_Remont Valuta ID_Dostav4ik Model Partida "
             "Krai_data"},
            {"Priem_Ser",
             "N_Prodajba Barkod S_N Opisanie Pri4ina Gar Gar_Dok_N Data_Gar_Dok ID_Kontrag Data_Priem "
             "Time_Priem Operator Pred_Cena_Remont Valuta ID_Dostav4ik Model Partida Status Krai_Data "
             "Dosie_ID"},
            {"R_Priem",
             "N_Priem Barkod S_N Opisanie Pri4ina Gar Gar_Dok_N Data_Gar_Dok ID_Kontrag Data_Priem "
             "Time_Priem Operator Pred_Cena_Remont Valuta ID_Dostav4ik Model Partida Dosie_ID Data_Izd "
             "Time_Izd"},
            {"Remont", "ID N_Priem Remont Kol Ed_Cena Valuta Garan_Remont SN Zamqna Oper_Remont"},
            {"R_Remont", "N_Priem Remont Kol ED_Cena Valuta Garan_Remont SN Zamqna Oper_Remont"},
            {"Status_Remont", "ID Opisanie Color"},
            {"Reg_EKA", "Dosie_ID EKA MFP Model Svid_N Data_Reg Time_Reg ID_Serv TDD_ID ID_Kontrag ID_Sklad"},
            {"Dogovor", "Dog_ID Prefics_ID EKA Vid_Dog Dog_Ot Valid_Do"},
            {"SV_BIM", "ID Model_Opis SV_ID SV_Data ID_Plomb"},
            {"Zada4i_Zadanie",
             "ID Opisanie_Z Izpalniteli Status Vazlojil_Klient D_Vazlagane T_Vazlagane D_Izpalnenie "
             "T_Izpalnenie Zabel Povtorenie"},
        };
        for (const auto& row : rows)
            QTest::newRow(row[0]) << QString::fromLatin1(row[1]);
    }
    void tableHasItsColumns() {
        QFETCH(QString, columns);
        const QString table = QString::fromLatin1(QTest::currentDataTag());
        QVERIFY2(db().tables().contains(table, Qt::CaseInsensitive), qPrintable("no table " + table));
        const QSqlRecord record = tableColumns(db(), table);
        for (const QString& column : columns.split(u' ', Qt::SkipEmptyParts))
            QVERIFY2(record.indexOf(column) >= 0, qPrintable("no column " + table + "." + column));
    }

    // Firm_CL takes its rows as INSERT ... VALUES with five values in table
    // order, Grupi_CL with three (ID, name, supplier).
    void positionalInsertsFit() {
        Transaction tx(db());
        execSql(db(), QStringLiteral("INSERT INTO Firm_CL VALUES (?, ?, ?, ?, ?)"),
                {1, "Доставчик", "a", "b", "c"});
        execSql(db(), QStringLiteral("INSERT INTO Grupi_CL VALUES (?, ?, ?)"), {1, "Група", 1});
        QCOMPARE(scalarSql(db(), QStringLiteral("SELECT ID_F FROM Grupi_CL WHERE Opisanie = ?"), {"Група"})
                     .toInt(),
                 1);
    }

    void firstOperatorMayDoEverything() {
        QSqlQuery q = execSql(db(), QStringLiteral("SELECT Ime, Par, Prava FROM Operators"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("Администратор"));
        // Stored hashed from the start; the password is "1".
        const QString par = q.value(1).toString();
        QVERIFY2(isPasswordHash(par), qPrintable(par));
        QVERIFY(verifyPassword(par, QStringLiteral("1")));
        QVERIFY(!verifyPassword(par, QStringLiteral("2")));
        QString everything;
        for (int node = 0; node < 140; ++node)
            everything += QString::number(node) + QStringLiteral("=0,");
        QCOMPARE(q.value(2).toString(), everything);
        QVERIFY(!q.next());
    }

    void currency_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("rate");
        QTest::addColumn<QString>("base");
        QTest::newRow("lev") << QStringLiteral("Лева") << 1.0 << "True";
        QTest::newRow("payment rows") << QStringLiteral("BGL") << 1.0 << "False";
        QTest::newRow("euro") << QStringLiteral("EUR") << 1.95583 << "False";
        QTest::newRow("dollar") << QStringLiteral("USD") << 1.70 << "False";
    }
    void currency() {
        QFETCH(QString, name);
        QFETCH(double, rate);
        QFETCH(QString, base);
        QSqlQuery q =
            execSql(db(), QStringLiteral("SELECT Kurs, Osn FROM Valuti WHERE Opisanie = ?"), {name});
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toDouble(), rate);
        QCOMPARE(q.value(1).toString(), base);
        QVERIFY(!q.next());
    }

    void firstRows() {
        auto text = [this](const char* sql) { return scalarSql(db(), QString::fromUtf8(sql)).toString(); };
        QCOMPARE(text("SELECT Opis_Sklad FROM Sklad WHERE ID_Sklad = 1"), QStringLiteral("Основен склад"));
        QCOMPARE(text("SELECT Opisanie FROM Type_Prigotvq_Se WHERE ID = 1"), QStringLiteral("Кухня"));
        QCOMPARE(text("SELECT Opisanie FROM Type_Prigotvq_Se WHERE ID = 2"), QStringLiteral("Бар"));
        QCOMPARE(text("SELECT Opisanie FROM Status_Remont WHERE ID = 1"), QStringLiteral("Приет за ремонт"));
        QVERIFY(scalarSql(db(), QStringLiteral("SELECT COUNT(*) FROM Rab_Dokumenti")).toInt() >= 3);
        // Counterparty 0 with its person 0, so that rows without a
        // counterparty survive the joins of reports and documents.
        QSqlQuery q = execSql(db(), QStringLiteral("SELECT Firmi.Ime_Firma FROM Firmi, Klienti "
                                                   "WHERE Firmi.ID = 0 AND Klienti.ID = Firmi.ID_Mol"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("Няма избран контрагент"));
    }

    // Numbers the table generates itself are never given out twice, also
    // after the row holding the highest one was deleted: they become sale
    // numbers, intake numbers and keys of registered documents.
    void generatedKeyIsNeverReused_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("column");
        QTest::newRow("sale line") << "Prodajbi_Vremenni"
                                   << "N_Prodajba"
                                   << "Operator";
        QTest::newRow("intake line") << "Priem_Ser_Vremen"
                                     << "N_Prodajba"
                                     << "Operator";
        QTest::newRow("repair line") << "Remont"
                                     << "ID"
                                     << "Oper_Remont";
        QTest::newRow("order line") << "Zaqvki_All"
                                    << "ID"
                                    << "Opisanie";
        QTest::newRow("document kind") << "Dokumenti"
                                       << "ID_Dokument"
                                       << "Opisanie";
        QTest::newRow("task") << "Zada4i_Zadanie"
                              << "ID"
                              << "Opisanie_Z";
        QTest::newRow("operator") << "Operators"
                                  << "ID"
                                  << "Ime";
        QTest::newRow("town") << "Grad"
                              << "ID"
                              << "Opisanie";
    }
    void generatedKeyIsNeverReused() {
        QFETCH(QString, table);
        QFETCH(QString, key);
        QFETCH(QString, column);
        Transaction tx(db());
        const QString insert = QStringLiteral("INSERT INTO %1 (%2) VALUES (?)").arg(table, column);
        const QVariant first = execSql(db(), insert, {"x"}).lastInsertId();
        QVERIFY(first.toLongLong() > 0);
        execSql(db(), QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(table, key), {first});
        const QVariant second = execSql(db(), insert, {"y"}).lastInsertId();
        QVERIFY(second.toLongLong() > first.toLongLong());
        QCOMPARE(
            scalarSql(db(), QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?").arg(key, table, column), {"y"}),
            second);
    }

    // Codes made of digits are text: their leading zeros are part of them.
    void digitCodeKeepsLeadingZeros_data() {
        QTest::addColumn<QString>("insert");
        QTest::addColumn<QString>("select");
        QTest::addColumn<QString>("code");
        QTest::newRow("barcode") << "INSERT INTO Barkodes (ID, Barkode) VALUES (1, ?)"
                                 << "SELECT Barkode FROM Barkodes WHERE ID = 1"
                                 << "0012345678905";
        QTest::newRow("catalogue number") << "INSERT INTO Produkti (ID, Nomenkl_N) VALUES (1, ?)"
                                          << "SELECT Nomenkl_N FROM Produkti WHERE ID = 1"
                                          << "007";
        QTest::newRow("counterparty's number")
            << "INSERT INTO Nomenklatures (ID, Nomenkl_N, ID_Kontrag) VALUES (1, ?, 0)"
            << "SELECT Nomenkl_N FROM Nomenklatures WHERE ID = 1"
            << "0042";
        QTest::newRow("next document number") << "INSERT INTO Dokumenti (Opisanie, N_Dok) VALUES ('Ф', ?)"
                                              << "SELECT N_Dok FROM Dokumenti WHERE Opisanie = 'Ф'"
                                              << "0000000001";
        QTest::newRow("issued document number") << "INSERT INTO Printed_Dok (ID_Prod, N_Dok) VALUES (1, ?)"
                                                << "SELECT N_Dok FROM Printed_Dok WHERE ID_Prod = 1"
                                                << "000017";
        QTest::newRow("company number") << "INSERT INTO Firmi (ID, EIK) VALUES (7, ?)"
                                        << "SELECT EIK FROM Firmi WHERE ID = 7"
                                        << "040123456";
        QTest::newRow("personal number") << "INSERT INTO Klienti (ID, EGN) VALUES (7, ?)"
                                         << "SELECT EGN FROM Klienti WHERE ID = 7"
                                         << "0041010101";
        QTest::newRow("contract number") << "INSERT INTO Dogovor (Dog_ID, EKA) VALUES (?, 'DT1')"
                                         << "SELECT Dog_ID FROM Dogovor WHERE EKA = 'DT1'"
                                         << "0000000042";
        QTest::newRow("certificate number") << "INSERT INTO SV_BIM (ID, SV_ID) VALUES (1, ?)"
                                            << "SELECT SV_ID FROM SV_BIM WHERE ID = 1"
                                            << "0123";
    }
    void digitCodeKeepsLeadingZeros() {
        QFETCH(QString, insert);
        QFETCH(QString, select);
        QFETCH(QString, code);
        Transaction tx(db());
        execSql(db(), insert, {code});
        QCOMPARE(scalarSql(db(), select).toString(), code);
    }

    // One stock row per article and warehouse; one row per currency name,
    // since reports join amounts with Valuti by that name.
    void duplicateRowIsRefused_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("another");
        QTest::addColumn<QString>("duplicate");
        QTest::newRow("stock") << "INSERT INTO Store_Kol (Art_ID, Sklad_ID, Kol) VALUES (5, 1, 1)"
                               << "INSERT INTO Store_Kol (Art_ID, Sklad_ID, Kol) VALUES (5, 2, 1)"
                               << "INSERT INTO Store_Kol (Art_ID, Sklad_ID, Kol) VALUES (5, 1, 2)";
        QTest::newRow("currency") << "INSERT INTO Valuti (Opisanie, Kurs, Osn) VALUES ('GBP', 2.2, 'False')"
                                  << "INSERT INTO Valuti (Opisanie, Kurs, Osn) VALUES ('CHF', 2, 'False')"
                                  << "INSERT INTO Valuti (Opisanie, Kurs, Osn) VALUES ('GBP', 2.3, 'False')";
    }
    void duplicateRowIsRefused() {
        QFETCH(QString, first);
        QFETCH(QString, another);
        QFETCH(QString, duplicate);
        Transaction tx(db());
        execScriptStatement(db(), first);
        execScriptStatement(db(), another);
        QVERIFY_THROWS_EXCEPTION(Error, execScriptStatement(db(), duplicate));
    }

    // Stock is added to in one statement on either engine: the first
    // movement of an article in a warehouse inserts its row, the next ones
    // add to it.
    void stockIsAddedToInOneStatement() {
        const QString add =
            QStringLiteral("INSERT INTO Store_Kol (Art_ID, Sklad_ID, Kol) VALUES (?, ?, ?) "
                           "ON CONFLICT (Art_ID, Sklad_ID) DO UPDATE SET Kol = Store_Kol.Kol + excluded.Kol");
        execSql(db(), add, {7, 1, 2.5});
        execSql(db(), add, {7, 1, -1.0});
        execSql(db(), add, {7, 2, 4.0});
        QCOMPARE(scalarSql(db(), "SELECT Kol FROM Store_Kol WHERE Art_ID = 7 AND Sklad_ID = 1").toDouble(),
                 1.5);
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Store_Kol WHERE Art_ID = 7").toInt(), 2);
        execSql(db(), "DELETE FROM Store_Kol");
    }

    void secondRunFailsAndChangesNothing() {
        const QStringList tables = db().tables();
        const NtsScript script = NtsScript::load(fx_->session().programDir.newTablesScript());
        QVERIFY(script.statements.size() > tables.size());
        const ScriptResult r = runNtsScript(db(), script);
        QVERIFY(!r.ok);
        QCOMPARE(r.failedOperation, 1);
        QCOMPARE(db().tables(), tables);
        QCOMPARE(scalarSql(db(), QStringLiteral("SELECT COUNT(*) FROM Operators")).toInt(), 1);
        QCOMPARE(scalarSql(db(), QStringLiteral("SELECT COUNT(*) FROM Valuti")).toInt(), 4);
    }
};

QTEST_GUILESS_MAIN(NewTablesTest)
#include "test_new_tables.moc"
