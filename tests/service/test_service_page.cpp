// The service page in the main window: its boxes filled at each switch to
// it, and the intake client chosen by the quick search or the list (mode 9).

#include "common/ref_text.h"
#include "common/sql.h"
#include "counterparties/ui/counterparty_picker.h"
#include "counterparties/ui/form_kontrakents.h"
#include "support/fixture.h"
#include "support/host_stand_in.h"
#include "support/main_window.h"
#include "support/modal_script.h"
#include "support/scripted_messages.h"
#include "support/window_helpers.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

using namespace torvika;

class ServicePageTest : public QObject {
    Q_OBJECT
private slots:
    void pageSwitchFillsServiceBoxesOnce() {
        test::Fixture fx;
        test::ScriptedMessages msgs;
        fx.session().clock = [] { return QDateTime(QDate(2026, 12, 9), QTime(10, 0)); };
        test::MainWindow main(fx.session());
        QVERIFY(main.start());
        auto* pages = test::control<QTabWidget>(main.form, "PageControl1");
        pages->setCurrentIndex(1);
        pages->setCurrentIndex(0);
        pages->setCurrentIndex(1);
        QCOMPARE(main.form.windowTitle(), QStringLiteral("ТОРВИКА - СЕРВИЗ"));
        auto* dep = test::control<QComboBox>(main.form, "ComboBox_Otdel");
        QCOMPARE(dep->itemText(0), QStringLiteral("0:Не се приготвя"));
        QStringList items;
        for (int i = 0; i < dep->count(); ++i)
            items << dep->itemText(i);
        QCOMPARE(items.removeDuplicates(), 0);
        auto* cur = test::control<QComboBox>(main.form, "ComboBox_Valuta");
        QVERIFY(cur->count() > 0);
        QCOMPARE(cur->currentIndex(), 0);
        QCOMPARE(test::control<QDateEdit>(main.form, "DateTimePicker_Krai_Data")->date(), QDate(2026, 12, 9));
        pages->setCurrentIndex(0);
        QCOMPARE(main.form.windowTitle(), QStringLiteral("ТОРВИКА - МАГАЗИН"));
    }

    // The list in mode 9 writes the client into the service page's field,
    // and leaves the sale counterparty alone.
    void clientFromTheList() {
        test::Fixture fx;
        test::ScriptedMessages msgs;
        execSql(fx.db(), "INSERT INTO Firmi (ID, Ime_Firma, EIK, Dan_N, T_O, ID_Mol, Nomer_Grupa) VALUES "
                         "(3, 'Чип ООД', '0', 'BG123', 7, 3, 0)");
        test::MainWindow main(fx.session());
        QVERIFY(main.start());
        test::ModalScript script;
        script.next<TForm_Kontrakents>([](TForm_Kontrakents* list) {
            QVERIFY(list->positionOn(3));
            test::control<QPushButton>(*list, "BitBtn_Izberi")->click();
        });
        pickCounterparty(main.form.context(), kSelectServiceClient, &main.form);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(test::control<QLineEdit>(main.form, "Label_Selected_Kontragent_Ser")->text(), "3:Чип ООД");
        QVERIFY(!test::control<QListWidget>(main.form, "ListBox_Selected_Kontrag_Ser")->isVisible());
        QCOMPARE(msgs.shown, QStringList{});
        // The shop's sale keeps no counterparty.
        QCOMPARE(GetID_MFromTreeNodeName(fx.session().saleCounterparty()), 0);
    }
};

QTEST_MAIN(ServicePageTest)
#include "test_service_page.moc"
