// The currency window offscreen: keeping the currencies through the
// currencies' rules, each refusal with its message and the caret on the
// field, and the main window's ticker showing a changed rate at once.

#include "catalogue/texts.h"
#include "catalogue/ui/form_valuti.h"
#include "common/sql.h"
#include "common/ui/statement_model.h"
#include "shell/ui/status_widgets.h"
#include "support/fixture.h"
#include "support/host_stand_in.h"
#include "support/main_window.h"
#include "support/modal_script.h"
#include "support/scripted_messages.h"
#include "support/window_helpers.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace torvika;

namespace {

QLineEdit* field(const QWidget& w, const char* name) {
    return test::control<QLineEdit>(w, name);
}
QComboBox* baseChoice(const QWidget& w) {
    return test::control<QComboBox>(w, "ComboBox_Osn");
}

QStringList table(const QSqlDatabase& db) {
    QStringList out;
    QSqlQuery q = execSql(db, "SELECT Opisanie, Kurs, Osn FROM Valuti ORDER BY Opisanie");
    while (q.next())
        out << QStringLiteral("%1 %2 %3")
                   .arg(q.value(0).toString())
                   .arg(q.value(1).toDouble())
                   .arg(q.value(2).toString());
    return out;
}

const QStringList kFirstRows{"BGL 1 False", "EUR 1.95583 False", "USD 1.7 False", "Лева 1 True"};

} // namespace

class CurrenciesWindowTest : public QObject {
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

    // The operator changes a rate from the window the ticker opens; the
    // ticker shows the new rate as soon as it is stored.
    void tickerShowsAChangedRate() {
        test::MainWindow main(fx_->session());
        QVERIFY(main.start());
        main.form.resize(800, 600);
        main.form.show();
        auto* ticker = test::control<TickerStrip>(main.form, "Image_Show_Valuta_Kurs");
        QVERIFY2(ticker->text.contains("USD - 1.70"), qPrintable(ticker->text));
        test::ModalScript script;
        script.next<TForm_Valuti>([](TForm_Valuti* w) {
            QCOMPARE(w->windowTitle(), "Валутни курсове");
            QCOMPARE(w->currentKey().toString(), "Лева"); // the base currency first
            QVERIFY(w->positionOn("USD"));
            test::control<QPushButton>(*w, "Button_Redaktirai")->click();
            QCOMPARE(w->focusWidget(), field(*w, "Edit_Kurs"));
            field(*w, "Edit_Kurs")->setText("1,85");               // a comma is a decimal separator too
            test::control<QPushButton>(*w, "Button_Nov")->click(); // "Приеми"
            QCOMPARE(w->state(), TForm_Valuti::Browse);
            QCOMPARE(w->currentKey().toString(), "USD");
            QCOMPARE(w->model()->index(w->grid()->currentIndex().row(), 1).data().toString(), "1.85000");
            w->close();
        });
        QTest::mouseClick(ticker, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(scalarSql(db(), "SELECT Kurs FROM Valuti WHERE Opisanie = 'USD'").toDouble(), 1.85);
        // At once, not only when the ticker starts its next round.
        QVERIFY2(ticker->text.contains("USD - 1.85"), qPrintable(ticker->text));
        QCOMPARE(msg_->shown, QStringList{});
    }

    void addAndDelete() {
        TForm_Valuti w(test::context(fx_->session()));
        QCOMPARE(w.model()->headerData(1, Qt::Horizontal).toString(), "Курс спрямо лева");
        test::control<QPushButton>(w, "Button_Nov")->click();
        QCOMPARE(w.state(), TForm_Valuti::Insert);
        QCOMPARE(test::control<QPushButton>(w, "Button_Nov")->text(), "Приеми");
        QCOMPARE(w.focusWidget(), field(w, "Edit_Opisanie"));
        test::typeText(field(w, "Edit_Opisanie"), "GBP");
        field(w, "Edit_Kurs")->setText("2.28");
        test::control<QPushButton>(w, "Button_Nov")->click(); // "Приеми"
        QCOMPARE(w.state(), RecordWindow::Browse);
        QCOMPARE(w.currentKey().toString(), "GBP");
        QCOMPARE(w.model()->rowCount(), 5);
        test::control<QPushButton>(w, "Button_Iztrii")->click();
        QCOMPARE(w.model()->rowCount(), 4);
        QCOMPARE(table(db()), kFirstRows);

        // Giving the base mark to another currency takes it from the lev.
        QVERIFY(w.positionOn("BGL"));
        test::control<QPushButton>(w, "Button_Redaktirai")->click();
        baseChoice(w)->setCurrentText("True");
        test::control<QPushButton>(w, "Button_Nov")->click(); // "Приеми"
        QCOMPARE(w.state(), RecordWindow::Browse);
        QCOMPARE(w.currentKey().toString(), "BGL");
        QCOMPARE(scalarSql(db(), "SELECT Opisanie FROM Valuti WHERE Osn = 'True'").toString(), "BGL");
        QCOMPARE(w.model()->index(0, 0).data().toString(), "BGL");
        QCOMPARE(msg_->shown, QStringList{});
    }

    // The change to the euro from its button, after the question, and its
    // undoing; a declined question changes nothing.
    void euroAndBack() {
        execSql(db(),
                "INSERT INTO Produkti (ID, Opisanie, Ed_Cena, Valuta_P) VALUES (1, 'Кафе', 9.99, 'Лева')");
        TForm_Valuti w(test::context(fx_->session()));
        auto* toEuro = test::control<QPushButton>(w, "Button_Kam_Evro");
        auto* back = test::control<QPushButton>(w, "Button_Otmqna_Evro");
        QVERIFY(toEuro->isEnabled());
        QVERIFY(!back->isEnabled());
        msg_->answerNo();
        toEuro->click();
        QCOMPARE(msg_->questions, QStringList{texts::kEuroConvertQuestion});
        QCOMPARE(scalarSql(db(), "SELECT Valuta_P FROM Produkti").toString(), "Лева");

        msg_->answerYes();
        toEuro->click();
        QCOMPARE(msg_->shown.last(), texts::kEuroConverted.arg(1).arg(0).arg(0).arg(0));
        QCOMPARE(scalarSql(db(), "SELECT Ed_Cena FROM Produkti").toDouble(), 5.11);
        QCOMPARE(w.model()->index(0, 0).data().toString(), "EUR"); // the new base currency first
        QVERIFY(!toEuro->isEnabled());
        QVERIFY(back->isEnabled());
        QVERIFY(test::control<QLabel>(w, "Label_Evro")->text().startsWith("Основна валута: EUR."));
        QCOMPARE(test::control<QLabel>(w, "Label_Kurs")->text(), "Курс спрямо евро");

        msg_->answerYes();
        back->click();
        QCOMPARE(msg_->shown.last(), texts::kEuroReversed);
        QCOMPARE(scalarSql(db(), "SELECT Ed_Cena FROM Produkti").toDouble(), 9.99);
        QCOMPARE(table(db()), kFirstRows);
        QVERIFY(toEuro->isEnabled());
        QVERIFY(!back->isEnabled());
        QCOMPARE(test::control<QLabel>(w, "Label_Kurs")->text(), "Курс спрямо лева");
    }

    // Bad input: the message, the caret on the field, nothing written, the
    // row still open with what was typed.
    void badInput_data() {
        QTest::addColumn<QString>("edited"); // empty: a new currency
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("field");
        QTest::newRow("rate not a number") << ""
                                           << "GBP"
                                           << "две"
                                           << "False" << texts::kCurrencyRateInvalid << "Edit_Kurs";
        QTest::newRow("no rate") << ""
                                 << "GBP"
                                 << ""
                                 << "False" << texts::kCurrencyRateInvalid << "Edit_Kurs";
        QTest::newRow("negative rate") << "USD"
                                       << "USD"
                                       << "-1.7"
                                       << "False" << texts::kCurrencyRateInvalid << "Edit_Kurs";
        QTest::newRow("rate 0") << "USD"
                                << "USD"
                                << "0"
                                << "False" << texts::kCurrencyRateInvalid << "Edit_Kurs";
        QTest::newRow("no name") << ""
                                 << " "
                                 << "2"
                                 << "False" << texts::kCurrencyNameEmpty << "Edit_Opisanie";
        QTest::newRow("duplicate name") << ""
                                        << "eur"
                                        << "2"
                                        << "False" << texts::kCurrencyNameTaken.arg("eur") << "Edit_Opisanie";
        QTest::newRow("base not at 1") << "USD"
                                       << "USD"
                                       << "1.7"
                                       << "True" << texts::kCurrencyBaseRate << "Edit_Kurs";
        QTest::newRow("no base left") << "Лева"
                                      << "Лева"
                                      << "1"
                                      << "False" << texts::kCurrencyBaseRequired << "ComboBox_Osn";
        QTest::newRow("renaming a currency in use")
            << "USD"
            << "Долар"
            << "1.7"
            << "False" << texts::kCurrencyInUseRename.arg("USD", texts::kCurrencyUsedByArticles)
            << "Edit_Opisanie";
    }
    void badInput() {
        QFETCH(QString, edited);
        QFETCH(QString, name);
        QFETCH(QString, rate);
        QFETCH(QString, base);
        QFETCH(QString, message);
        QFETCH(QString, field);
        execSql(db(),
                "INSERT INTO Produkti (ID, Opisanie, Valuta_P, Valuta_D) VALUES (1, 'Чай', 'USD', 'Лева')");
        TForm_Valuti w(test::context(fx_->session()));
        if (edited.isEmpty()) {
            test::control<QPushButton>(w, "Button_Nov")->click();
        } else {
            QVERIFY(w.positionOn(edited));
            test::control<QPushButton>(w, "Button_Redaktirai")->click();
        }
        ::field(w, "Edit_Opisanie")->setText(name);
        ::field(w, "Edit_Kurs")->setText(rate);
        baseChoice(w)->setCurrentText(base);
        test::control<QPushButton>(w, "Button_Nov")->click(); // "Приеми"
        QCOMPARE(msg_->shown, QStringList{message});
        QCOMPARE(w.focusWidget(), w.findChild<QWidget*>(field));
        QCOMPARE(w.state(), edited.isEmpty() ? TForm_Valuti::Insert : TForm_Valuti::Edit);
        QCOMPARE(::field(w, "Edit_Opisanie")->text(), name);
        QCOMPARE(table(db()), kFirstRows);
    }

    // "Изтрии" says why the base currency and one in use stay.
    void deletionRefused() {
        execSql(db(), "INSERT INTO Prodajbi (ID_Prodajba, Valuta) VALUES (1, 'EUR')");
        TForm_Valuti w(test::context(fx_->session()));
        QVERIFY(w.positionOn("Лева"));
        test::control<QPushButton>(w, "Button_Iztrii")->click();
        QVERIFY(w.positionOn("EUR"));
        test::control<QPushButton>(w, "Button_Iztrii")->click();
        QCOMPARE(msg_->shown,
                 QStringList({texts::kCurrencyBaseNotDeleted,
                              texts::kCurrencyInUseDelete.arg("EUR", texts::kCurrencyUsedBySales)}));
        QCOMPARE(w.currentKey().toString(), "EUR");
        QCOMPARE(table(db()), kFirstRows);
    }
};

QTEST_MAIN(CurrenciesWindowTest)
#include "test_currencies_window.moc"
