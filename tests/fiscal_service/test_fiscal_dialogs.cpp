// The fiscal service's small dialogs driven as an operator does: the
// dismantling amounts typed with their total in figures and words, an
// amount that is no number replaced when left, "12,50" accepted; the period
// of the tax-office file refused with its end before its start.

#include "common/base_currency.h"
#include "fiscal_service/texts.h"
#include "fiscal_service/ui/dismantling_dialog.h"
#include "fiscal_service/ui/period_dialog.h"
#include "support/scripted_messages.h"
#include "support/window_helpers.h"

#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace torvika;

namespace {

const QDate kToday(2009, 3, 5);

void type(QWidget* dialog, const char* field, const QString& text) {
    auto* edit = test::control<QLineEdit>(*dialog, field);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, text);
}

} // namespace

class FiscalDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void dismantlingTotal() {
        TForm_Data_ToFisk_Serv d([] { return kToday; });
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QCOMPARE(test::control<QLineEdit>(d, "Edit_DDS_SUM")->text(), QString("0.00"));
        QCOMPARE(test::control<QDateEdit>(d, "DateTimePicker_Ot")->date(), kToday);
        type(&d, "Edit_DDS_A", "1.5");
        type(&d, "Edit_DDS_B", "2.25");
        QCOMPARE(test::control<QLineEdit>(d, "Edit_DDS_SUM")->text(), QString("3.75"));
        QCOMPARE(test::control<QLabel>(d, "Label5")->text(), QString("три лева и 75 стотинки "));
        // Not a number: counts with its last good value, replaced when left.
        type(&d, "Edit_DDS_V", "1");
        QTest::keyClicks(test::control<QLineEdit>(d, "Edit_DDS_V"), "x");
        QCOMPARE(test::control<QLineEdit>(d, "Edit_DDS_SUM")->text(), QString("4.75"));
        QTest::keyClick(test::control<QLineEdit>(d, "Edit_DDS_V"), Qt::Key_Tab);
        QCOMPARE(test::control<QLineEdit>(d, "Edit_DDS_V")->text(), QString("0.0000"));
        type(&d, "Edit_DDS_G", "12,50");
        QCOMPARE(test::control<QLineEdit>(d, "Edit_DDS_SUM")->text(), QString("16.25"));
        QTest::mouseClick(test::control<QPushButton>(d, "BitBtn_Zapis"), Qt::LeftButton);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        const DismantlingTotals t = d.totals();
        QCOMPARE(t.total(), Decimal("16.25"));
        QCOMPARE(t.from, kToday);
        QCOMPARE(dismantlingFields(t).value("Словом"), QString("шестнадесет  лева и 25 стотинки "));

        // A company in euro: the words of the euro.
        TForm_Data_ToFisk_Serv euro([] { return kToday; }, euroBase().words);
        euro.show();
        type(&euro, "Edit_DDS_A", "3.75");
        QCOMPARE(test::control<QLabel>(euro, "Label5")->text(), QString("три евро и 75 цента "));
        QCOMPARE(dismantlingFields(euro.totals()).value("Словом"), QString("три евро и 75 цента "));
    }

    void periodRefusedBackwards() {
        test::ScriptedMessages messages;
        TForm_SPR_TDD_Fisk_Ser d([] { return kToday; });
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        test::control<QDateEdit>(d, "DateTimePicker_Ot")->setDate(kToday.addDays(1));
        QTest::mouseClick(test::control<QPushButton>(d, "Button1"), Qt::LeftButton);
        QCOMPARE(messages.messages, QStringList{texts::kPeriodEndBeforeStart});
        QVERIFY(d.isVisible());
        test::control<QDateEdit>(d, "DateTimePicker_Ot")->setDate(kToday.addDays(-30));
        QTest::mouseClick(test::control<QPushButton>(d, "Button1"), Qt::LeftButton);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(d.from(), kToday.addDays(-30));
        QCOMPARE(d.to(), kToday);
    }
};

QTEST_MAIN(FiscalDialogsTest)
#include "test_fiscal_dialogs.moc"
