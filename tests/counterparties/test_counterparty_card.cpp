// The counterparty card and its dialogs, driven offscreen: saving new and
// edited counterparties, the identity questions, "ОТКАЖИ", the copied
// fields, the town lookup, sites, bank accounts, towns and groups.

#include "common/new_keys.h"
#include "common/sql.h"
#include "common/ui/statement_model.h"
#include "counterparties/counterparties.h"
#include "counterparties/ui/details_dialog.h"
#include "counterparties/ui/form_grad.h"
#include "counterparties/ui/form_grupi_kontrag.h"
#include "counterparties/ui/form_klienti.h"
#include "counterparties/ui/town_lookup.h"
#include "shell/workspace.h"
#include "support/fixture.h"
#include "support/host_stand_in.h"
#include "support/modal_script.h"
#include "support/scripted_messages.h"
#include "support/window_helpers.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlQueryModel>
#include <QTableView>
#include <QTest>
#include <memory>

using namespace torvika;

namespace {

const QString kInvalidIdentity =
    QStringLiteral("Въведени са невалидни ЕИК или ЕГН!.Желаете ли да продължите?");

template <typename T = QLineEdit> T* field(const QWidget& w, const char* name) {
    return test::control<T>(w, name);
}

void doubleClickRow(QTableView* grid, int row) {
    grid->window()->show();
    const QPoint at = grid->visualRect(grid->model()->index(row, 0)).center();
    // The first click makes the row current, the second opens it.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
}

int count(const QSqlDatabase& db, const QString& sql, const QVariantList& values = {}) {
    return scalarSql(db, sql, values).toInt();
}

} // namespace

class CounterpartyCardTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    std::unique_ptr<test::ScriptedMessages> msg_;
    QSqlDatabase db() { return fx_->db(); }

    // A stored counterparty: company 5 in group 3 with its person 7.
    void storeCounterparty() {
        execSql(db(), "INSERT INTO Firmi (ID, Ime_Firma, Grad, EIK, Dan_N, T_O, Zabel, ID_Mol, Nomer_Grupa) "
                      "VALUES (5, 'Пеликан', 'Варна', '123456786', 'BG123456786', 2.5, 'бележка', 7, 3)");
        execSql(db(),
                "INSERT INTO Klienti (ID, Ime_Klient, Grad, EGN) VALUES (7, 'Иван', 'Варна', '7501020018')");
    }

    void fill(TForm_Klienti& card, const QString& eik, const QString& egn) {
        field(card, "Edit_Ime_Firma")->setText("Фирма \"Роза\" 100%_");
        field(card, "Edit_Ime_Mol")->setText("Мария 'Мими'");
        field(card, "Edit_EIK")->setText(eik);
        field(card, "Edit_EGN_Mol")->setText(egn);
        field(card, "Edit_Otsapka")->setText("3,5");
        field<QPlainTextEdit>(card, "Memo_Zabel")->setPlainText("ред 1\nред 2");
    }

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

    void newCardStartsEmpty() {
        TForm_Klienti card(test::context(fx_->session()));
        QCOMPARE(card.windowTitle(), "Контрагенти");
        QCOMPARE(card.state(), TForm_Klienti::Idle);
        QCOMPARE(field<QPushButton>(card, "Button_Insert")->text(), "НОВ");
        QVERIFY(!field<QPushButton>(card, "Button_Cancel")->isEnabled());
        field(card, "Edit_Ime_Firma")->setText("стар текст");
        card.openNew(4);
        QCOMPARE(card.state(), TForm_Klienti::New);
        QCOMPARE(field<QPushButton>(card, "Button_Insert")->text(), "ВЪВЕДИ");
        QVERIFY(field<QPushButton>(card, "Button_Cancel")->isEnabled());
        QCOMPARE(field(card, "Edit_Ime_Firma")->text(), "");
        for (const char* name : {"Edit_EIK", "Edit_Dan_N", "Edit_Otsapka", "Edit_EGN_Mol"})
            QCOMPARE(field(card, name)->text(), "0");
        for (const char* name : {"Button_Karti", "Button_Skladove", "Button_Sp_Otstapki", "Button_Smetki"})
            QVERIFY(!field<QPushButton>(card, name)->isEnabled());
    }

    void saveNew_data() {
        QTest::addColumn<QString>("eik");
        QTest::addColumn<QString>("egn");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<int>("answer"); // -1: nothing asked
        QTest::addColumn<bool>("stored");
        const int none = -1, yes = int(Messages::Yes), no = int(Messages::No);
        QTest::newRow("both valid") << "123456786"
                                    << "7501020018" << QStringList{} << none << true;
        QTest::newRow("defaults, go on") << "0"
                                         << "0" << QStringList{kInvalidIdentity} << yes << true;
        QTest::newRow("defaults, stop") << "0"
                                        << "0" << QStringList{kInvalidIdentity} << no << false;
        QTest::newRow("invalid personal number")
            << "123456786"
            << "1111111111" << QStringList{kInvalidIdentity} << yes << true;
        QTest::newRow("thirteen digits") << "1234567860005"
                                         << "7501020018" << QStringList{kInvalidIdentity} << yes << true;
        QTest::newRow("empty company number") << ""
                                              << "7501020018" << QStringList{kInvalidIdentity} << no << false;
        QTest::newRow("letter in the company number")
            << "1234A6786"
            << "7501020018" << QStringList{"Невалиден ЕИК", kInvalidIdentity} << yes << true;
    }
    void saveNew() {
        QFETCH(QString, eik);
        QFETCH(QString, egn);
        QFETCH(QStringList, shown);
        QFETCH(int, answer);
        QFETCH(bool, stored);
        execSql(db(), "INSERT INTO Klienti (ID, Ime_Klient) VALUES (8, 'друг')");
        TForm_Klienti card(test::context(fx_->session()));
        card.openNew(4);
        fill(card, eik, egn);
        if (answer >= 0)
            msg_->answer(answer);
        card.Button_InsertClick();
        QCOMPARE(msg_->shown, shown);
        QCOMPARE(count(db(), "SELECT COUNT(*) FROM Firmi WHERE ID = 1"), stored ? 1 : 0);
        if (!stored) {
            QCOMPARE(card.state(), TForm_Klienti::New);
            QCOMPARE(field(card, "Edit_Ime_Firma")->text(), "Фирма \"Роза\" 100%_");
            return;
        }
        QCOMPARE(card.state(), TForm_Klienti::Idle);
        QCOMPARE(card.result(), int(QDialog::Accepted));
        QCOMPARE(card.savedId(), 1);
        const auto c = loadCounterparty(db(), 1);
        QCOMPARE(c->firm.name, "Фирма \"Роза\" 100%_");
        QCOMPARE(c->firm.eik, eik);
        QCOMPARE(c->firm.discount, Decimal("3.5"));
        QCOMPARE(c->firm.note, "ред 1\nред 2");
        QCOMPARE(c->group, 4);
        QCOMPARE(c->personId, 9);
        QCOMPARE(c->person.name, "Мария 'Мими'");
        QCOMPARE(c->person.egn, egn);
    }

    // A save that fails stores nothing, keeps the card open with what was
    // typed, and says what happened.
    void failedSaveStoresNothing() {
        // A person table that refuses the row: the company row must not stay alone.
        execSql(db(), "DROP TABLE Klienti");
        execSql(db(), "CREATE TABLE Klienti (ID INTEGER PRIMARY KEY, Ime_Klient VARCHAR(5) CHECK "
                      "(length(Ime_Klient) < 5), "
                      "Grad VARCHAR(5), Adres_Klient VARCHAR(5), Telefon_Klient VARCHAR(5), EGN VARCHAR(5))");
        TForm_Klienti card(test::context(fx_->session()));
        card.openNew(0);
        fill(card, "123456786", "7501020018");
        card.Button_InsertClick();
        QCOMPARE(msg_->shown.size(), 1);
        QVERIFY2(msg_->shown.front().startsWith("Некоректни или непълни данни\r"),
                 qPrintable(msg_->shown.front()));
        QCOMPARE(count(db(), "SELECT COUNT(*) FROM Firmi"), 1);
        QCOMPARE(card.state(), TForm_Klienti::New);
        QCOMPARE(card.result(), int(QDialog::Rejected)); // not closed as accepted
        QCOMPARE(field(card, "Edit_Ime_Firma")->text(), "Фирма \"Роза\" 100%_");
        QCOMPARE(card.savedId(), -1);
    }

    // Another workstation holds the database for longer than the program
    // waits: the card says the database is busy, and the typed card stays.
    void busyDatabaseIsNotIncompleteData() {
        QSqlDatabase other = openCompanyConnection("other-workstation", fx_->alias());
        setBusyPatience(100);
        {
            Transaction holding(other);
            nextKey(other, "Klienti", "ID"); // the other workstation takes a key
            TForm_Klienti card(test::context(fx_->session()));
            card.openNew(0);
            fill(card, "123456786", "7501020018");
            card.Button_InsertClick();
            QCOMPARE(msg_->shown.size(), 1);
            QVERIFY2(msg_->shown.front().contains("заета"), qPrintable(msg_->shown.front()));
            QCOMPARE(card.state(), TForm_Klienti::New);
            QCOMPARE(field(card, "Edit_Ime_Firma")->text(), "Фирма \"Роза\" 100%_");
        }
        setBusyPatience(120000);
        other = QSqlDatabase();
        closeConnection("other-workstation");
        QCOMPARE(count(db(), "SELECT COUNT(*) FROM Firmi"), 1);
        QVERIFY(test::Fixture::readFile(fx_->session().programDir.exceptionsLog()).contains("EDatabaseBusy"));
    }

    void discountMustBeANumber() {
        TForm_Klienti card(test::context(fx_->session()));
        card.openNew(0);
        fill(card, "123456786", "7501020018");
        field(card, "Edit_Otsapka")->setText("пет");
        card.Button_InsertClick();
        QCOMPARE(msg_->shown, QStringList{"Некоректни или непълни данни"});
        QCOMPARE(card.state(), TForm_Klienti::New);
        QCOMPARE(count(db(), "SELECT COUNT(*) FROM Firmi"), 1);
    }

    void editKeepsGroupAndPerson() {
        storeCounterparty();
        TForm_Klienti card(test::context(fx_->session()));
        QVERIFY(!card.openEdit(99));
        QVERIFY(card.openEdit(5));
        QCOMPARE(card.state(), TForm_Klienti::Edit);
        QCOMPARE(field<QLabel>(card, "Label_ID_Klient")->text(), "5");
        QCOMPARE(field(card, "Edit_Ime_Firma")->text(), "Пеликан");
        QCOMPARE(field(card, "EditGrad_Firma")->text(), "Варна");
        QCOMPARE(field(card, "Edit_Otsapka")->text(), "2.5");
        QCOMPARE(field(card, "Edit_Ime_Mol")->text(), "Иван");
        QCOMPARE(field(card, "Edit_EGN_Mol")->text(), "7501020018");
        QCOMPARE(field<QPlainTextEdit>(card, "Memo_Zabel")->toPlainText(), "бележка");
        for (const char* name : {"Button_Karti", "Button_Skladove", "Button_Smetki"})
            QVERIFY(field<QPushButton>(card, name)->isEnabled());
        field(card, "Edit_Ime_Firma")->setText("Пеликан \"Нов\"");
        field(card, "Edit_EIK")->setText("невалиден");
        field(card, "Edit_Ime_Mol")->setText("Петър");
        card.Button_InsertClick(); // no identity check when editing
        QCOMPARE(msg_->shown, QStringList{});
        QCOMPARE(card.state(), TForm_Klienti::Idle);
        const auto c = loadCounterparty(db(), 5);
        QCOMPARE(c->firm.name, "Пеликан \"Нов\"");
        QCOMPARE(c->firm.eik, "невалиден");
        QCOMPARE(c->group, 3);
        QCOMPARE(c->personId, 7);
        QCOMPARE(c->person.name, "Петър");
    }

    // "Специални отстъпки" runs what the sales registered, with the card's
    // counterparty; while nothing is registered it stays disabled.
    void specialDiscountsButton() {
        storeCounterparty();
        {
            TForm_Klienti card(test::context(fx_->session()));
            card.openEdit(5);
            QVERIFY(!field<QPushButton>(card, "Button_Sp_Otstapki")->isEnabled());
            QCOMPARE(field<QPushButton>(card, "Button_Sp_Otstapki")->toolTip(),
                     "Няма прозорец на програмата, който да приеме избора");
        }
        QList<CardCounterparty> opened;
        QList<QWidget*> openers;
        test::host(fx_->session())
            .followUps()
            .of<CounterpartyCardButtons>()
            .add(kCardSpecialDiscounts, [&](QWidget* opener, const CardCounterparty& c) {
                opened << c;
                openers << opener;
            });
        TForm_Klienti card(test::context(fx_->session()));
        card.openNew(0);
        QVERIFY(!field<QPushButton>(card, "Button_Sp_Otstapki")->isEnabled());
        card.openEdit(5);
        field<QPushButton>(card, "Button_Sp_Otstapki")->click();
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened[0].id, 5);
        QCOMPARE(opened[0].refText, "5:Пеликан");
        QCOMPARE(openers, QList<QWidget*>{&card});
    }

    void leavingIdentityFields_data() {
        QTest::addColumn<QString>("fieldName");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("focus");
        const QString eikQ = "Невалиден ЕИК, желаете ли да продължите",
                      egnQ = "Невалидно ЕГН, желаете ли да продължите";
        const int yes = int(Messages::Yes), no = int(Messages::No), none = -1;
        QTest::newRow("valid company number") << "Edit_EIK"
                                              << "123456786" << QStringList{} << none << "";
        QTest::newRow("company number, go on") << "Edit_EIK"
                                               << "0" << QStringList{eikQ} << yes << "Edit_Dan_N";
        QTest::newRow("company number, back") << "Edit_EIK"
                                              << "12345678" << QStringList{eikQ} << no << "Edit_EIK";
        QTest::newRow("letter in the company number")
            << "Edit_EIK"
            << "12A456786" << QStringList{"Невалиден ЕИК", eikQ} << no << "Edit_EIK";
        QTest::newRow("valid personal number") << "Edit_EGN_Mol"
                                               << "1111111110" << QStringList{} << none << "";
        QTest::newRow("personal number, go on") << "Edit_EGN_Mol"
                                                << "111111111" << QStringList{egnQ} << yes << "Memo_Zabel";
        QTest::newRow("personal number, back") << "Edit_EGN_Mol"
                                               << "1111111111" << QStringList{egnQ} << no << "Edit_EGN_Mol";
    }
    void leavingIdentityFields() {
        QFETCH(QString, fieldName);
        QFETCH(QString, text);
        QFETCH(QStringList, shown);
        QFETCH(int, answer);
        QFETCH(QString, focus);
        TForm_Klienti card(test::context(fx_->session()));
        card.openNew(0);
        card.show();
        QVERIFY(QTest::qWaitForWindowActive(&card));
        auto* f = field(card, fieldName.toLatin1().constData());
        f->setFocus();
        f->setText(text);
        if (answer >= 0)
            msg_->answer(answer);
        field(card, "Edit_Telefoni_Firma")->setFocus(Qt::TabFocusReason);
        QCOMPARE(msg_->shown, shown);
        if (!focus.isEmpty())
            QCOMPARE(QApplication::focusWidget()->objectName(), focus);
    }

    void cancel() {
        storeCounterparty();
        TForm_Klienti card(test::context(fx_->session()));
        card.openEdit(5);
        msg_->answerNo();
        card.Button_CancelClick();
        QCOMPARE(msg_->shown, QStringList{"Желаете ли да приключите работа с модул Контрагенти"});
        QCOMPARE(card.state(), TForm_Klienti::Idle);
        QCOMPARE(field(card, "Edit_Ime_Firma")->text(), "");
        QCOMPARE(field(card, "Edit_EIK")->text(), "");
        QCOMPARE(field(card, "Edit_EGN_Mol")->text(), "");
        QCOMPARE(field(card, "Edit_Otsapka")->text(), "0");
        QCOMPARE(field<QPushButton>(card, "Button_Insert")->text(), "НОВ");
        QCOMPARE(card.result(), int(QDialog::Rejected));
        card.Button_InsertClick(); // idle: closes, stores nothing
        QCOMPARE(card.result(), int(QDialog::Accepted));
        QCOMPARE(loadCounterparty(db(), 5)->firm.name, "Пеликан");

        card.openEdit(5);
        card.show();
        msg_->answerYes();
        card.Button_CancelClick();
        QVERIFY(!card.isVisible());
        QCOMPARE(card.result(), int(QDialog::Rejected));
    }

    void typingTheFirmFillsThePerson() {
        TForm_Klienti card(test::context(fx_->session()));
        card.openNew(0);
        test::typeText(field(card, "Edit_Ime_Firma"), "Иван ЕТ");
        test::typeText(field(card, "Edit_Adres_Firma"), "ул. \"Роза\"");
        test::typeText(field(card, "Edit_Telefoni_Firma"), "088");
        QCOMPARE(field(card, "Edit_Ime_Mol")->text(), "Иван ЕТ");
        QCOMPARE(field(card, "EditAdres_Mol")->text(), "ул. \"Роза\"");
        QCOMPARE(field(card, "Edit_Telefon_Mol")->text(), "088");
        QCOMPARE(field(card, "Edit_Adres_Firma")->text(), "ул. \"Роза\"");
    }

    void townLookup() {
        for (auto [name, pk, tk] : {std::tuple{"Пловдив", "4000", "032"}, std::tuple{"Плевен", "5800", "064"},
                                    std::tuple{"Асеновград", "4230", "0331"}})
            execSql(db(), "INSERT INTO Grad (Opisanie, PK, TK) VALUES (?, ?, ?)", {name, pk, tk});
        TForm_Klienti card(test::context(fx_->session()));
        card.openNew(0);
        card.show();
        QVERIFY(QTest::qWaitForWindowActive(&card));
        auto* town = field(card, "EditGrad_Firma");
        auto* personTown = field(card, "EditGrad_Mol");
        auto* list = field<QListWidget>(card, "ListBox_Grad_Firma");
        QVERIFY(
            town->toolTip().startsWith("1.Въведете част от името и изберете от списъка!\n2.Въведете \"+\""));

        town->setFocus();
        test::typeText(town, "пл");
        QVERIFY(list->isVisible());
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->currentItem()->text(), "Плевен");
        QCOMPARE(list->width(), town->width());
        QCOMPARE(list->height(), 100);
        QTest::keyClick(town, Qt::Key_Return);
        QCOMPARE(town->text(), "Плевен");
        QVERIFY(!list->isVisible());
        QCOMPARE(personTown->text(), "Плевен"); // the firm's town fills the person's

        town->setText("+032");
        QTest::keyClick(town, Qt::Key_Return);
        QCOMPARE(town->text(), "Пловдив");
        town->setText("+03");
        QTest::keyClick(town, Qt::Key_Return);
        QCOMPARE(town->text(), "+03");
        QVERIFY(list->isVisible());
        QCOMPARE(list->count(), 2);
        QCOMPARE(QApplication::focusWidget(), list);
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(town->text(), "Пловдив");
        QVERIFY(!list->isVisible());
        town->setText("-9");
        QTest::keyClick(town, Qt::Key_Return);
        QCOMPARE(town->text(), "");
        town->clear();
        test::typeText(town, " ");
        QCOMPARE(list->count(), 3);
        QCOMPARE(QApplication::focusWidget(), list);
        QTest::keyClick(list, Qt::Key_Escape);
        QVERIFY(!list->isVisible());
        QCOMPARE(QApplication::focusWidget(), town);
        town->clear();
        test::typeText(town, "Ново село");
        QVERIFY(!list->isVisible());
        QTest::keyClick(town, Qt::Key_Return);
        QCOMPARE(town->text(), "Ново село");

        // The person's field looks up alone.
        QCOMPARE(personTown->text(), "Ново село");
        personTown->clear();
        test::typeText(personTown, "асен");
        QTest::keyClick(personTown, Qt::Key_Return);
        QCOMPARE(personTown->text(), "Асеновград");
        QCOMPARE(town->text(), "Ново село");

        execSql(db(), "DROP TABLE Grad");
        town->clear();
        test::typeText(town, "п");
        QCOMPARE(msg_->shown, QStringList{"Некоректни данни"});
        QVERIFY(
            test::Fixture::readFile(fx_->session().programDir.exceptionsLog()).contains("EDatabaseError"));
    }

    void sites() {
        TForm_Kontrag_Sklad sites(test::context(fx_->session()), 5, "5:Пеликан");
        QCOMPARE(sites.windowTitle(), "Складове за избран контрагент");
        QCOMPARE(field<QLabel>(sites, "Label_Kontragent")->text(), "5:Пеликан");
        auto* first = field<QPushButton>(sites, "Button1");
        auto* second = field<QPushButton>(sites, "Button2");
        QCOMPARE(first->text(), "НОВ");
        QCOMPARE(second->text(), "ИЗТРИИ");
        field<QPushButton>(sites, "Button1")->click();
        QCOMPARE(sites.state(), DetailsDialog::Insert);
        QCOMPARE(first->text(), "ЗАПИС");
        QCOMPARE(second->text(), "ОТКАЖИ");
        field(sites, "Edit_Opisanie")->setText("Магазин \"Център\"");
        field(sites, "Edit_MOL")->setText("Петров");
        field(sites, "Edit_Izdadena_Ot")->setText("МВР 100%");
        field<QPushButton>(sites, "Button1")->click();
        QCOMPARE(sites.state(), DetailsDialog::Browse);
        QCOMPARE(field(sites, "Edit_Opisanie")->text(), "");
        QCOMPARE(sites.model()->rowCount(), 1);
        QCOMPARE(sites.model()->headerData(8, Qt::Horizontal).toString(), "Издадена от ");
        QCOMPARE(sites.model()->data(sites.model()->index(0, 1)).toString(), "Магазин \"Център\"");

        doubleClickRow(sites.grid(), 0);
        QCOMPARE(sites.state(), DetailsDialog::Edit);
        QCOMPARE(field(sites, "Edit_MOL")->text(), "Петров");
        field(sites, "Edit_MOL")->setText("Иванов");
        field<QPushButton>(sites, "Button1")->click();
        QCOMPARE(count(db(), "SELECT COUNT(*) FROM Kontrag_Sklad"), 1);
        QCOMPARE(scalarSql(db(), "SELECT MOL_SK FROM Kontrag_Sklad WHERE ID_Kontrag = 5").toString(),
                 "Иванов");

        QVERIFY(!second->isEnabled()); // idle: nothing is deleted
        QCOMPARE(count(db(), "SELECT COUNT(*) FROM Kontrag_Sklad"), 1);
        field<QPushButton>(sites, "Button1")->click();
        field(sites, "Edit_Opisanie")->setText("недовършен");
        field<QPushButton>(sites, "Button2")->click();
        QCOMPARE(sites.state(), DetailsDialog::Browse);
        QCOMPARE(field(sites, "Edit_Opisanie")->text(), "");
        QCOMPARE(count(db(), "SELECT COUNT(*) FROM Kontrag_Sklad"), 1);
    }

    // Another workstation holds the database for longer than the program
    // waits: the site dialog says the database is busy (not that the data is
    // incomplete), stays in its state with what was typed, and logs it.
    void sitesBusyDatabaseIsNotIncompleteData() {
        TForm_Kontrag_Sklad sites(test::context(fx_->session()), 5, "5:Пеликан");
        field<QPushButton>(sites, "Button1")->click();
        field(sites, "Edit_Opisanie")->setText("Магазин \"Център\"");
        field(sites, "Edit_MOL")->setText("Петров");
        QSqlDatabase other = openCompanyConnection("other-workstation", fx_->alias());
        setBusyPatience(100);
        {
            Transaction holding(other);
            nextKey(other, "Kontrag_Sklad", "ID_Sk"); // the other workstation takes a key
            field<QPushButton>(sites, "Button1")->click();
        }
        setBusyPatience(120000);
        other = QSqlDatabase();
        closeConnection("other-workstation");
        QCOMPARE(msg_->shown.size(), 1);
        QVERIFY2(msg_->shown.front().contains("заета"), qPrintable(msg_->shown.front()));
        QCOMPARE(sites.state(), DetailsDialog::Insert);
        QCOMPARE(field(sites, "Edit_Opisanie")->text(), "Магазин \"Център\"");
        QCOMPARE(field(sites, "Edit_MOL")->text(), "Петров");
        QCOMPARE(count(db(), "SELECT COUNT(*) FROM Kontrag_Sklad"), 0);
        QVERIFY(test::Fixture::readFile(fx_->session().programDir.exceptionsLog()).contains("EDatabaseBusy"));

        // Free again: the same fields are saved.
        field<QPushButton>(sites, "Button1")->click();
        QCOMPARE(sites.state(), DetailsDialog::Browse);
        QCOMPARE(scalarSql(db(), "SELECT MOL_SK FROM Kontrag_Sklad WHERE ID_Kontrag = 5").toString(),
                 "Петров");
    }

    void bankAccounts() {
        execSql(db(), "INSERT INTO Kontrag_SM (ID_SM, Smetka, Banka, DDS, ID_Kontrag) VALUES "
                      "(4, 'X', 'ДСК', 'False', 8), (5, 'Y', 'ДСК', 'False', 9), (6, 'Z', 'БНБ', 'True', 9)");
        TForm_Kontrag_Smetki accounts(test::context(fx_->session()), 5, "5:Пеликан");
        QCOMPARE(accounts.windowTitle(), "Сметки за избран контрагент");
        QCOMPARE(accounts.model()->rowCount(), 0);
        field<QPushButton>(accounts, "Button1")->click();
        auto* bank = field<QComboBox>(accounts, "ComboBox_Banka");
        QCOMPARE(bank->count(), 2);
        QCOMPARE(bank->itemText(0), "БНБ");
        QCOMPARE(bank->itemText(1), "ДСК");
        field(accounts, "Edit_Smetka")->setText("BG80 \"1\"");
        bank->setEditText("Нова банка");
        field<QCheckBox>(accounts, "CheckBox_DDS")->setChecked(true);
        field<QPushButton>(accounts, "Button1")->click();
        QVERIFY(!field<QCheckBox>(accounts, "CheckBox_DDS")->isChecked());
        QCOMPARE(scalarSql(db(), "SELECT ID_SM FROM Kontrag_SM WHERE ID_Kontrag = 5").toInt(), 7);
        QCOMPARE(scalarSql(db(), "SELECT DDS FROM Kontrag_SM WHERE ID_Kontrag = 5").toString(), "True");
        QCOMPARE(scalarSql(db(), "SELECT Banka FROM Kontrag_SM WHERE ID_Kontrag = 5").toString(),
                 "Нова банка");
        QCOMPARE(accounts.model()->rowCount(), 1);
        QCOMPARE(accounts.model()->headerData(5, Qt::Horizontal).toString(), "ДДС сметка");

        doubleClickRow(accounts.grid(), 0);
        QCOMPARE(field(accounts, "Edit_Smetka")->text(), "BG80 \"1\"");
        QVERIFY(field<QCheckBox>(accounts, "CheckBox_DDS")->isChecked());
        QCOMPARE(bank->currentText(), "Нова банка");
        field<QCheckBox>(accounts, "CheckBox_DDS")->setChecked(false);
        field<QPushButton>(accounts, "Button1")->click();
        QCOMPARE(scalarSql(db(), "SELECT DDS FROM Kontrag_SM WHERE ID_Kontrag = 5").toString(), "False");
        QCOMPARE(count(db(), "SELECT COUNT(*) FROM Kontrag_SM"), 4);
    }

    void towns() {
        TForm_Grad towns(test::context(fx_->session()));
        QCOMPARE(towns.windowTitle(), "Населени места");
        QCOMPARE(towns.model()->headerData(0, Qt::Horizontal).toString(), "Име на населено място");
        auto press = [&towns](const char* name) { field<QPushButton>(towns, name)->click(); };
        auto type = [&towns](const QString& name, const QString& pk, const QString& tk) {
            for (const auto& [control, text] :
                 {std::pair{"DBEdit_Opisanie", name}, {"DBEdit_PK", pk}, {"DBEdit_TK", tk}}) {
                field(towns, control)->clear();
                test::typeText(field(towns, control), text);
            }
        };
        // Only the navigator's five buttons.
        QVERIFY(field<QPushButton>(towns, "DBNavigator_First")->isHidden());
        QVERIFY(field<QPushButton>(towns, "DBNavigator_Refresh")->isHidden());
        press("DBNavigator_Insert");
        type("Бургас", "8000", "056");
        press("DBNavigator_Post");
        QCOMPARE(towns.state(), TForm_Grad::Browse);
        QCOMPARE(count(db(), "SELECT COUNT(*) FROM Grad WHERE Opisanie = 'Бургас' AND TK = '056'"), 1);
        QCOMPARE(towns.model()->rowCount(), 1);
        QCOMPARE(field(towns, "DBEdit_Opisanie")->text(), "Бургас"); // the stored town is current

        // An edit rewrites the current town; cancel puts its values back.
        press("DBNavigator_Edit");
        type("Бургас", "8001", "056");
        press("DBNavigator_Cancel");
        QCOMPARE(field(towns, "DBEdit_PK")->text(), "8000");
        // Typing into a field edits the current town.
        type("Бургас", "8001", "056");
        QCOMPARE(towns.state(), TForm_Grad::Edit);
        press("DBNavigator_Post");
        QCOMPARE(count(db(), "SELECT COUNT(*) FROM Grad WHERE PK = '8001'"), 1);

        press("DBNavigator_Insert");
        type("Не записан", "", "");
        towns.done(QDialog::Rejected); // closing abandons the unposted row
        QCOMPARE(count(db(), "SELECT COUNT(*) FROM Grad"), 1);

        TForm_Grad again(test::context(fx_->session()));
        field<QPushButton>(again, "DBNavigator_Delete")->click();
        QCOMPARE(count(db(), "SELECT COUNT(*) FROM Grad"), 0);
        QCOMPARE(msg_->shown, QStringList{});
    }

    // "Нов" beside a town field opens the towns with a new town begun.
    void newTownFromTheCard() {
        TForm_Klienti card(test::context(fx_->session()));
        card.openNew(0);
        test::ModalScript script;
        script.next<TForm_Grad>([](TForm_Grad* towns) {
            QCOMPARE(towns->state(), TForm_Grad::Insert);
            QCOMPARE(towns->focusWidget(), field(*towns, "DBEdit_Opisanie"));
            test::typeText(field(*towns, "DBEdit_Opisanie"), "Плевен");
            field<QPushButton>(*towns, "DBNavigator_Post")->click();
            towns->accept();
        });
        field<QPushButton>(card, "Button_Nov_Grad_Firma")->click();
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(count(db(), "SELECT COUNT(*) FROM Grad WHERE Opisanie = 'Плевен'"), 1);
    }

    // A town deleted on another workstation while it is edited here: the
    // save says so and keeps what was typed.
    void townEditOfAVanishedTown() {
        execSql(db(), "INSERT INTO Grad (Opisanie, PK, TK) VALUES (?, ?, ?)", {"Русе", "7000", "082"});
        TForm_Grad towns(test::context(fx_->session()));
        field<QPushButton>(towns, "DBNavigator_Edit")->click();
        field(towns, "DBEdit_PK")->clear();
        test::typeText(field(towns, "DBEdit_PK"), "7001");
        execSql(db(), "DELETE FROM Grad");
        field<QPushButton>(towns, "DBNavigator_Post")->click();
        QCOMPARE(msg_->shown.size(), 1);
        QVERIFY2(msg_->shown.front().contains("не съществува"), qPrintable(msg_->shown.front()));
        QCOMPARE(field(towns, "DBEdit_PK")->text(), "7001");
        QCOMPARE(towns.state(), TForm_Grad::Edit);
    }

    // Two towns written alike are two rows: deleting one keeps the other.
    void townsWindowDeletesOneOfTwoAlike() {
        for (int i = 0; i < 2; ++i)
            execSql(db(), "INSERT INTO Grad (Opisanie, PK, TK) VALUES (?, ?, ?)", {"Варна", "9000", "052"});
        TForm_Grad towns(test::context(fx_->session()));
        field<QPushButton>(towns, "DBNavigator_Delete")->click();
        QCOMPARE(count(db(), "SELECT COUNT(*) FROM Grad WHERE Opisanie = 'Варна'"), 1);
        QCOMPARE(msg_->shown, QStringList{});
    }

    void groupDialog() {
        execSql(db(), "INSERT INTO Grupi_Kontrag (ID, Opisanie) VALUES (4, 'Клиенти')");
        TForm_Grupi_Kontrag group(test::context(fx_->session()), "Подгрупа");
        QCOMPARE(group.windowTitle(), "Въвеждане на Подгрупа");
        QCOMPARE(field(group, "Edit_Nomer")->text(), "5");
        field(group, "Edit_Naimenovanie")->setText("Едро \"А\"");
        field(group, "Edit_Nomer")->setText("пет");
        group.Button_ZapisClick();
        QCOMPARE(msg_->shown.size(), 1);
        QCOMPARE(group.result(), 0);
        field(group, "Edit_Nomer")->setText("4");
        group.Button_ZapisClick();
        QCOMPARE(msg_->shown.last(), "Въведеният номер за група вече съществува!");
        QCOMPARE(group.result(), int(QDialog::Rejected));
        QCOMPARE(scalarSql(db(), "SELECT Opisanie FROM Grupi_Kontrag WHERE ID = 4").toString(), "Клиенти");
        field(group, "Edit_Nomer")->setText("5");
        group.Button_ZapisClick();
        QCOMPARE(group.result(), int(QDialog::Accepted));
        QCOMPARE(group.number(), 5);
        QCOMPARE(scalarSql(db(), "SELECT Opisanie FROM Grupi_Kontrag WHERE ID = 5").toString(), "Едро \"А\"");
    }
};

QTEST_MAIN(CounterpartyCardTest)
#include "test_counterparty_card.moc"
