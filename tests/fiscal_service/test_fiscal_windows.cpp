// The fiscal-service page and windows driven as an operator does, on both
// engines: a device sold by the shop registered with its prefilled buyer,
// its contract saved, found again by its number in lower case, its expired
// contract drawn red, FISKAL.SER written for the period; the certificate
// register; the lists.

#include "common/sql.h"
#include "counterparties/ui/form_kontrakents.h"
#include "documents/template_files.h"
#include "documents/texts.h"
#include "fiscal_data.h"
#include "fiscal_service/devices.h"
#include "fiscal_service/tax_office_file.h"
#include "fiscal_service/texts.h"
#include "fiscal_service/ui/device_list_window.h"
#include "fiscal_service/ui/fiscal_service_page.h"
#include "fiscal_service/ui/form_sv_bim.h"
#include "fiscal_service/ui/period_dialog.h"
#include "support/fixture.h"
#include "support/host_stand_in.h"
#include "support/modal_script.h"
#include "support/scripted_messages.h"
#include "support/window_helpers.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

using namespace torvika;

namespace {

const QDate kToday(2009, 3, 5);

QLineEdit* field_(QWidget& w, const char* name) {
    return test::control<QLineEdit>(w, name);
}
QString labelText(QWidget& w, const char* name) {
    return test::control<QLabel>(w, name)->text();
}
void click(QWidget& w, const char* name) {
    QTest::mouseClick(test::control<QPushButton>(w, name), Qt::LeftButton);
}
void enter(QWidget* w) {
    QTest::keyClick(w, Qt::Key_Return);
}
// Chooses the combo box's next item with the keyboard.
void nextItem(QWidget& w, const char* name) {
    auto* combo = test::control<QComboBox>(w, name);
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
}
// Types part of a counterparty's name into a search field and picks the
// first one found.
void pickCounterparty(QWidget& w, const char* name, const QString& text) {
    QLineEdit* f = field_(w, name);
    // A click selects the field's text, which the typing replaces.
    QTest::mouseClick(f, Qt::LeftButton);
    test::typeText(f, text);
    enter(f);
}

} // namespace

class FiscalWindowsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    QSqlDatabase db() { return fx_->db(); }
    int count(const QString& table) { return scalarSql(db(), "SELECT COUNT(*) FROM " + table).toInt(); }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        fx_->session().clock = [] { return QDateTime(kToday, QTime(10, 30, 0)); };
        test::seedFiscalData(db());
        execSql(db(),
                "INSERT INTO Prodajbi (ID_Prodajba, ID_Art, D_Prodajba, Kol, ID_Klient, Pored_Ot, Pored_Do) "
                "VALUES (1, 1, '2009-03-01', 1, ?, 'dt77', '02000077')",
                {test::kOwner});
    }
    void cleanup() { fx_.reset(); }

    void registerFindAndReport() {
        test::ScriptedMessages messages;
        FiscalServicePage page(test::context(fx_->session()));
        page.resize(1200, 800);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        page.activated();

        // Not registered, sold by the shop: the registration opens prefilled.
        QLineEdit* device = field_(page, "Edit_ID_EKA");
        QTest::keyClicks(device, "dt77");
        QCOMPARE(device->text(), QString("DT77"));
        enter(device);
        QCOMPARE(page.operation(), FiscalServicePage::Operation::Registration);
        QVERIFY(test::control<QPushButton>(page, "SpdBtn_Registracia")->isChecked());
        QVERIFY(!test::control<QPushButton>(page, "SpdBtn_Dogovor")->isEnabled());
        QCOMPARE(field_(page, "Edit_MFP")->text(), QString("02000077"));
        QCOMPARE(field_(page, "Edit_Kontrag")->text(), QString("10:Роза ЕООД"));
        QCOMPARE(labelText(page, "Label_Kontrag_EIK"), QString("123456789"));
        QCOMPARE(labelText(page, "Label_Broi_Obekti"), QString("1"));
        QCOMPARE(field_(page, "Edit_Dosie_ID")->text(), QString("1"));

        nextItem(page, "ComboBox_Model_EKA");
        QCOMPARE(labelText(page, "Label_Plomb_Ot"), QString("Фискален център АД"));
        QCOMPARE(labelText(page, "Label_SV_N"), QString("1234"));
        pickCounterparty(page, "Edit_Services", "Касов");
        QCOMPARE(labelText(page, "Label_Serviz_Grad"), QString("Пловдив"));
        pickCounterparty(page, "Edit_TDD", "ТДД");
        QCOMPARE(labelText(page, "Label_Ime_TDD"), QString("ТДД София"));
        nextItem(page, "ComboBox_Sel_Obekt");
        QCOMPARE(labelText(page, "Label_Obekt_MOL"), QString("Мария"));

        // "ЗАПИС" opens the contract; its "ЗАПИС" stores both.
        click(page, "BitBtn_Zapis");
        QCOMPARE(page.operation(), FiscalServicePage::Operation::Contract);
        QCOMPARE(count("Reg_EKA"), 0);
        QCOMPARE(field_(page, "Edit_Dog_ID")->text(), QString("0000000001"));
        QCOMPARE(test::control<QDateEdit>(page, "DateTimePicker_Valid_Do")->date(), QDate(2010, 3, 4));
        auto* kind = test::control<QComboBox>(page, "ComboBox_Vid_Dog");
        kind->setFocus();
        test::typeText(kind->lineEdit(), "Абонамент");
        click(page, "BitBtn_Zapis");
        QCOMPARE(messages.messages, QStringList());
        QCOMPARE(count("Reg_EKA"), 1);
        QCOMPARE(count("Dogovor"), 1);
        QCOMPARE(page.operation(), FiscalServicePage::Operation::None);
        QVERIFY(!test::control<QPushButton>(page, "SpdBtn_Registracia")->isEnabled());
        QVERIFY(test::control<QPushButton>(page, "SpdBtn_Dogovor")->isEnabled());
        QCOMPARE(labelText(page, "Label_Dog_ID"), QString("0000000001"));
        QCOMPARE(labelText(page, "Label_Vid_Dog"), QString("Абонамент"));
        QVERIFY(!page.contractExpired());

        // Found again by its number in lower case; a year later, expired.
        fx_->session().clock = [] { return QDateTime(QDate(2010, 3, 5), QTime(9, 0, 0)); };
        page.activated();
        QTest::keyClicks(device, "dt77");
        enter(device);
        QCOMPARE(labelText(page, "Label_Kontrag_Ime"), QString("10:Роза ЕООД"));
        QCOMPARE(labelText(page, "Label_Serviz_Ime"), QString("Касов сервиз ООД"));
        QCOMPARE(labelText(page, "Label_Name_Obekt"), QString("Магазин Роза"));
        QCOMPARE(labelText(page, "Label_Data_Dog"), QString("04.03.2010"));
        QVERIFY(page.contractExpired());
        QVERIFY(test::control<QLabel>(page, "Label_Data_Dog")->styleSheet().contains("red"));
        QCOMPARE(labelText(page, "Label_Broi_Izteklo"), QString("1"));

        // Renewed: a new number from the day after the old contract ended.
        click(page, "SpdBtn_Dogovor");
        QCOMPARE(field_(page, "Edit_Dog_ID")->text(), QString("0000000002"));
        QCOMPARE(test::control<QDateEdit>(page, "DateTimePicker_Dog_Ot")->date(), QDate(2010, 3, 5));
        click(page, "BitBtn_Zapis");
        QCOMPARE(count("Dogovor"), 1);
        QVERIFY(!page.contractExpired());
        QCOMPARE(labelText(page, "Label_Dog_ID"), QString("0000000002"));

        // A notification: the reason list shows with the save panel; none
        // chosen is refused, a chosen one is stored and listed under the page.
        auto* reasons = test::control<QComboBox>(page, "ComboBox_Pri4ina_Smqna_FP");
        QVERIFY(!reasons->isVisible());
        click(page, "SpdBtn_Uvedomlenie");
        QCOMPARE(page.operation(), FiscalServicePage::Operation::Notification);
        QVERIFY(reasons->isVisible());
        click(page, "BitBtn_Zapis");
        QCOMPARE(messages.messages, QStringList{texts::kNoNotificationReason});
        messages.clear();
        nextItem(page, "ComboBox_Pri4ina_Smqna_FP");
        QCOMPARE(reasons->currentText(), texts::kReasonRepair);
        click(page, "BitBtn_Zapis");
        QCOMPARE(messages.messages, QStringList{texts::kNotificationStored.arg("DT77")});
        messages.clear();
        QCOMPARE(page.operation(), FiscalServicePage::Operation::None);
        QVERIFY(!reasons->isVisible());
        QAbstractItemModel* notified = test::control<QTableView>(page, "DBGrid_Uvedomlenia")->model();
        QCOMPARE(notified->rowCount(), 1);
        QCOMPARE(notified->index(0, 2).data().toString(), texts::kReasonRepair);
        QCOMPARE(notified->index(0, 0).data().toString(), QString("05.03.2010"));

        // The tax-office file for March 2009, where the operator chooses.
        fx_->session().settings().save(Settings::Changes()
                                           .set(setting::kCompanyEik, "831234567")
                                           .set(setting::kCompanyName, "Касов сервиз ООД")
                                           .set(setting::kServicePhone, "032 222")
                                           .set(setting::kCompanyManager, "Петър Георгиев"));
        const QString path = fx_->root() + "Отчети/FISKAL.SER";
        QDir().mkpath(fx_->root() + "Отчети");
        messages.clear();
        messages.answer(path);
        test::ModalScript script;
        script.next<TForm_SPR_TDD_Fisk_Ser>([](TForm_SPR_TDD_Fisk_Ser* d) {
            test::control<QDateEdit>(*d, "DateTimePicker_Ot")->setDate(QDate(2009, 3, 1));
            test::control<QDateEdit>(*d, "DateTimePicker_Do")->setDate(QDate(2009, 3, 31));
            click(*d, "Button1");
        });
        click(page, "Button7");
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(messages.messages,
                 (QStringList{texts::kTaxOfficeFound.arg(1),
                              texts::kTaxOfficeWritten.arg(QDir::toNativeSeparators(path))}));
        const QByteArray file = test::Fixture::readFile(path);
        const QList<QByteArray> lines = file.split('\n');
        QCOMPARE(lines.size(), 14);
        QVERIFY(lines[0].startsWith("00          831234567"));
        QVERIFY(lines[0].endsWith("01.03.200931.03.20090001\r"));
        QCOMPARE(lines[8], QByteArray("08DT77    02000077\r"));
        QCOMPARE(file, taxOfficeFileBytes({"831234567", "Касов сервиз ООД", "", "032 222", "Петър Георгиев"},
                                          QDate(2009, 3, 1), QDate(2009, 3, 31),
                                          taxOfficeDevices(db(), QDate(2009, 3, 1), QDate(2009, 3, 31))));
    }

    // An unknown device never sold opens an empty registration; a registration
    // without owner is refused and nothing is stored.
    void emptyRegistrationRefused() {
        test::ScriptedMessages messages;
        FiscalServicePage page(test::context(fx_->session()));
        page.show();
        QLineEdit* device = field_(page, "Edit_ID_EKA");
        QTest::keyClicks(device, "zz1");
        enter(device);
        QCOMPARE(field_(page, "Edit_MFP")->text(), QString());
        QCOMPARE(labelText(page, "Label_Kontrag_EIK"), texts::kNotGiven);
        click(page, "BitBtn_Zapis");
        QCOMPARE(messages.messages, QStringList{texts::kNoOwnerChosen});
        QCOMPARE(page.operation(), FiscalServicePage::Operation::Registration);
        click(page, "BitBtn_Otkaz");
        QCOMPARE(page.operation(), FiscalServicePage::Operation::None);
        QCOMPARE(count("Reg_EKA"), 0);
    }

    // The certificate register: added with its sealing company from the
    // counterparty list, edited, deleted after the question.
    void certificates() {
        test::ScriptedMessages messages;
        TForm_Sv_BIM::addFollowUps(test::host(fx_->session()).followUps());
        TForm_Sv_BIM w(test::context(fx_->session()));
        w.show();
        QCOMPARE(w.model()->rowCount(), 1);
        click(w, "BitBtn_New");
        QCOMPARE(test::control<QPushButton>(w, "BitBtn_New")->text(), QString("Приеми"));
        QCOMPARE(field_(w, "SpinEdit_SV_N")->text(), QString("1"));
        test::typeText(field_(w, "Edit_Model"), "Тремол М20");
        test::ModalScript script;
        script.next<TForm_Kontrakents>([](TForm_Kontrakents* list) {
            QVERIFY(list->positionOn(test::kSealer));
            click(*list, "BitBtn_Izberi");
        });
        click(w, "Label4");
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(labelText(w, "Label_Kontrag"), QString("13:Фискален център АД"));
        click(w, "BitBtn_New");
        QCOMPARE(count("SV_BIM"), 2);
        QCOMPARE(scalarSql(db(), "SELECT ID_Plomb FROM SV_BIM WHERE Model_Opis = 'Тремол М20'").toInt(), 13);

        click(w, "BitBtn_Edit");
        field_(w, "SpinEdit_SV_N")->selectAll();
        QTest::keyClicks(field_(w, "SpinEdit_SV_N"), "77");
        click(w, "BitBtn_New");
        QCOMPARE(scalarSql(db(), "SELECT SV_ID FROM SV_BIM WHERE Model_Opis = 'Тремол М20'").toString(),
                 QString("77"));

        messages.answerYes();
        click(w, "BitBtn_Dell");
        QCOMPARE(messages.questions, QStringList{texts::kAskDeleteCertificate.arg("Тремол М20")});
        QCOMPARE(count("SV_BIM"), 1);
    }

    // The registration document of the device in the field printed to PDF,
    // its data fields from the device's row; neither numbered nor
    // registered. A device not registered prints nothing and says so.
    void printRegistrationToPdf() {
        DeviceRegistration r;
        r.device = "DT88";
        r.fiscalMemory = "02000088";
        r.model = test::kModel;
        r.date = kToday;
        r.serviceCentre = test::kService;
        r.taxOffice = test::kTaxOffice;
        r.owner = test::kOwner;
        r.site = test::kSite;
        QVERIFY(registerDevice(db(), r, {{}, "Абонамент", kToday, kToday.addYears(1)}, {}, 1, {}).stored);
        auto field = [](const QString& set, const QString& column) {
            ReportElement e;
            e.kind = ElementKind::DataField;
            e.name = set + column;
            e.band = ReportBand::Detail;
            e.dataSet = set;
            e.dataField = column;
            return e;
        };
        ReportTemplate t;
        t.name = "Регистрация ЕКА";
        t.detailHeight = 20;
        t.elements = {field("Reg_EKA", "EKA"), field("Firmi", "Ime_Firma"), field("Serv", "Ime_Firma")};
        t.elements[0].geometry = QRect(0, 0, 120, 20);
        t.elements[1].geometry = QRect(150, 0, 200, 20);
        t.elements[2].geometry = QRect(400, 0, 250, 20);
        saveTemplate(db(), fx_->session().programDir.documentationsDir(), t, {false, false, true},
                     "0000000007");

        test::ScriptedMessages messages;
        FiscalServicePage page(test::context(fx_->session()));
        page.show();
        QLineEdit* device = field_(page, "Edit_ID_EKA");
        QTest::keyClicks(device, "dt88");
        enter(device);
        QTest::mouseClick(test::control<QToolButton>(page, "SpdBtn_Pokaji_Dokuments_FC"), Qt::LeftButton);
        test::tickOnly(test::control<QListWidget>(page, "ChkListBox_Pokaj_Dokum_FC"), t.name);
        test::tickOnly(test::control<QListWidget>(page, "CheckListBox_Printers_FC"), texts::kPdfPrinter);
        const QString pdf = fx_->root() + "registration.pdf";
        messages.answer(pdf);
        click(page, "Button9");
        QVERIFY(QFile::exists(pdf));
        const QString text = test::pdfText(pdf);
        QVERIFY2(text.contains("DT88") && text.contains("Роза ЕООД") && text.contains("Касов сервиз ООД"),
                 qPrintable(text));
        QCOMPARE(scalarSql(db(), "SELECT N_Dok FROM Dokumenti WHERE Opisanie = ?", {t.name}).toString(),
                 QString("0000000007"));
        QCOMPARE(count("Printed_Dok"), 0);

        page.activated();
        QTest::keyClicks(device, "dt89");
        enter(device);
        click(page, "BitBtn_Otkaz");
        messages.clear();
        click(page, "Button9");
        QCOMPARE(messages.messages, QStringList{texts::kDeviceNotRegistered.arg("DT89")});
    }

    // The lists: the expired contracts by a date, the models forbidden.
    void lists() {
        execSql(db(), "INSERT INTO Reg_EKA (Dosie_ID, EKA, Model, Data_Reg, ID_Kontrag) VALUES (1, 'DT1', 1, "
                      "'2008-01-01', 10)");
        execSql(db(),
                "INSERT INTO Dogovor (Dog_ID, Prefics_ID, EKA, Dog_Ot, Valid_Do) VALUES ('1', '', 'DT1', "
                "'2008-01-01', '2008-12-31')");
        TForm_Fisk_Spravka expired(test::context(fx_->session()), DeviceList::ExpiredContracts);
        expired.show();
        QCOMPARE(expired.model()->rowCount(), 1);
        test::control<QDateEdit>(expired, "DateTimePicker_Do")->setDate(QDate(2008, 12, 31));
        click(expired, "Button_Tarsi");
        QCOMPARE(expired.model()->rowCount(), 0);

        TForm_Fisk_Spravka models(test::context(fx_->session()), DeviceList::ForbiddenModels);
        models.show();
        QTableView* grid = test::control<QTableView>(models, "DBGrid_Spravka");
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(0, 0)).center());
        click(models, "Button_Zabrani");
        QCOMPARE(scalarSql(db(), "SELECT Zabranen FROM SV_BIM WHERE ID = 1").toString(), QString("True"));
    }
};

QTEST_MAIN(FiscalWindowsTest)
#include "test_fiscal_windows.moc"
