// The settings dialog and the shortcut window offscreen: what opening shows
// and never writes, the dependencies between the controls, saving in one
// write with the windows following at once, bad input refused with nothing
// written, the autostart entry, the shortcuts stored per operator.

#include "common/profile_file.h"
#include "sales/receipt_lines.h"
#include "settings/ui/form_fast_buttons.h"
#include "settings/ui/form_sistemni_nastr.h"
#include "shell/autostart.h"
#include "shell/menu_tree.h"
#include "shell/operators.h"
#include "shell/ui/main_menu.h"
#include "support/fixture.h"
#include "support/host_stand_in.h"
#include "support/main_window.h"
#include "support/modal_script.h"
#include "support/scripted_messages.h"
#include "support/window_helpers.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

using namespace torvika;

namespace {

template <typename T> T* field(const QWidget& w, const char* name) {
    return test::control<T>(w, name);
}

QCheckBox* box(const QWidget& w, const char* name) {
    return field<QCheckBox>(w, name);
}

// Ticks or clears the box as the operator does: a click when it differs.
void setBox(const QWidget& w, const char* name, bool on) {
    QCheckBox* b = box(w, name);
    if (b->isChecked() != on)
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, b->height() / 2));
    QCOMPARE(b->isChecked(), on);
}

void setNumber(const QWidget& w, const char* name, int value) {
    QSpinBox* s = field<QSpinBox>(w, name);
    s->setFocus();
    s->selectAll();
    test::typeText(s, QString::number(value));
}

void setText(const QWidget& w, const char* name, const QString& text) {
    QLineEdit* e = field<QLineEdit>(w, name);
    e->setFocus();
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Delete);
    test::typeText(e, text);
}

} // namespace

class SettingsDialogTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::Fixture> fx_;
    std::unique_ptr<test::ScriptedMessages> msg_;
    QTemporaryDir config_;

    QByteArray firmData() { return test::Fixture::readFile(fx_->settings().path()); }
    std::unique_ptr<TForm_Sistemni_Nastr> dialog() {
        auto d = std::make_unique<TForm_Sistemni_Nastr>(test::context(fx_->session()));
        d->show();
        return d;
    }

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", config_.path().toUtf8()); }
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        msg_ = std::make_unique<test::ScriptedMessages>();
        QFile::remove(autostartEntryPath());
    }
    void cleanup() {
        msg_.reset();
        fx_.reset();
    }

    // With TORVIKA_PICTURES naming a directory: a picture of every page of
    // the dialog and of the shortcut window, to look at.
    void pictures() {
        const QString dir = qEnvironmentVariable("TORVIKA_PICTURES");
        if (dir.isEmpty())
            QSKIP("TORVIKA_PICTURES names no directory");
        auto d = dialog();
        auto* pages = d->findChild<QTabWidget*>("PageControl1");
        for (int i = 0; i < pages->count(); ++i) {
            pages->setCurrentIndex(i);
            d->adjustSize();
            QVERIFY(d->grab().save(QStringLiteral("%1/settings_%2.png").arg(dir).arg(i)));
        }
        test::MainWindow main(fx_->session());
        QVERIFY(main.start());
        TForm_Fast_Buttons shortcuts(main.form.context());
        shortcuts.show();
        QVERIFY(shortcuts.grab().save(dir + "/shortcuts.png"));
    }

    // A new installation: the dialog's defaults, the dependent controls'
    // state, and nothing written by opening and cancelling.
    void openingShowsDefaultsAndWritesNothing() {
        const QByteArray before = firmData();
        auto d = dialog();
        QVERIFY(box(*d, "CheckBox_Set_As_POS")->isChecked());
        QVERIFY(!box(*d, "CheckBox_ShutDown")->isChecked()); // stored value, no side effect
        QVERIFY(!box(*d, "CheckBox_Start_with_Windows")->isChecked());
        QVERIFY(box(*d, "CheckBox_Show_Valutes")->isChecked());
        QVERIFY(box(*d, "ChkBox_ShowProjzvodstvo_elements")->isChecked());
        QVERIFY(!box(*d, "CheckBox1")->isChecked());
        QCOMPARE(field<QSpinBox>(*d, "SpEdit_Zakraglenie")->value(), 4);
        QCOMPARE(field<QSpinBox>(*d, "SpinEdit_Term_N")->value(), 1);
        QCOMPARE(field<QSpinBox>(*d, "SpinEdit_Kasa_Name")->value(), 20);
        QVERIFY(!field<QSpinBox>(*d, "SpinEdit_Kasa_Name")->isEnabled());
        QVERIFY(!field<QSpinBox>(*d, "SpinEdit_Etiket_Name")->isEnabled());
        QCOMPARE(field<QLineEdit>(*d, "Edit_DDS_Percent")->text(), QStringLiteral("20"));
        QCOMPARE(field<QComboBox>(*d, "ComboBox_FB")->currentIndex(), 0);
        QCOMPARE(field<QComboBox>(*d, "ComboBox_Vid_FU")->currentText(), deviceTypeTexts().front());
        QCOMPARE(field<QComboBox>(*d, "ComboBox_Vid_FU")->count(), 19);
        QVERIFY(!field<QComboBox>(*d, "ComboBox_Vid_FU")->isEnabled());
        QCOMPARE(field<QComboBox>(*d, "ComboBox_FormatDate_Dogovor")->currentText(),
                 QStringLiteral("ddmmyyyy"));
        QCOMPARE(field<QSpinBox>(*d, "SpinEdit_Kol_Cifri")->value(), 10);
        // The receipt directory shown is where receipts go without a setting.
        QCOMPARE(field<QLineEdit>(*d, "Edit_Path_Temp_Bon")->text(), fx_->root() + "Fiscal");
        QVERIFY(!field<QCheckBox>(*d, "ChkBox_Count_Copia_Bon")->isVisibleTo(d.get()));
        test::click(*d, "Button_Cancel");
        QCOMPARE(d->result(), int(QDialog::Rejected));
        QCOMPARE(firmData(), before);
        QVERIFY(!QFile::exists(autostartEntryPath()));
    }

    // Stored values are shown as stored; a contract box the rule implies is
    // shown ticked and greyed; a device type stays greyed without a receipt.
    void storedValuesShown() {
        fx_->settings().save(Settings::Changes()
                                 .set(setting::kAmountDecimals, 3)
                                 .set(setting::kPointOfSaleMode, false)
                                 .set(setting::kFixedReceiptNameLength, true)
                                 .set(setting::kReceiptNameLength, 32)
                                 .set(setting::kFiscalDeviceType, deviceTypeTexts()[17])
                                 .set(setting::kContractNumberPerDay, true)
                                 .set(setting::kCompanyName, "Фирма ООД")
                                 .set(setting::kContractDateFormat, "yyyymmdd")
                                 .set(setting::kVatPercent, "9"));
        auto d = dialog();
        QCOMPARE(field<QSpinBox>(*d, "SpEdit_Zakraglenie")->value(), 3);
        QVERIFY(!box(*d, "CheckBox_Set_As_POS")->isChecked());
        QVERIFY(field<QSpinBox>(*d, "SpinEdit_Kasa_Name")->isEnabled());
        QCOMPARE(field<QSpinBox>(*d, "SpinEdit_Kasa_Name")->value(), 32);
        QCOMPARE(field<QComboBox>(*d, "ComboBox_Vid_FU")->currentText(), deviceTypeTexts()[17]);
        QVERIFY(!field<QComboBox>(*d, "ComboBox_Vid_FU")->isEnabled());
        QVERIFY(box(*d, "CheckBox_Dog_plus_Data")->isChecked() &&
                !box(*d, "CheckBox_Dog_plus_Data")->isEnabled());
        QVERIFY(box(*d, "CheckBox_Prefix")->isChecked() && !box(*d, "CheckBox_Prefix")->isEnabled());
        QCOMPARE(field<QLineEdit>(*d, "Edit_Firm_Name")->text(), QStringLiteral("Фирма ООД"));
        QCOMPARE(field<QComboBox>(*d, "ComboBox_FormatDate_Dogovor")->currentText(),
                 QStringLiteral("yyyymmdd"));
        QCOMPARE(field<QLineEdit>(*d, "Edit_DDS_Percent")->text(), QStringLiteral("9"));
    }

    void dependencies() {
        auto d = dialog();
        // The contract-number chain.
        setBox(*d, "CheckBox_Dog_Data_Por_N_den", true);
        QVERIFY(box(*d, "CheckBox_Dog_plus_Data")->isChecked() &&
                !box(*d, "CheckBox_Dog_plus_Data")->isEnabled());
        QVERIFY(box(*d, "CheckBox_Prefix")->isChecked() && !box(*d, "CheckBox_Prefix")->isEnabled());
        setBox(*d, "CheckBox_Dog_Data_Por_N_den", false);
        QVERIFY(!box(*d, "CheckBox_Dog_plus_Data")->isChecked() &&
                box(*d, "CheckBox_Dog_plus_Data")->isEnabled());
        QVERIFY(!box(*d, "CheckBox_Prefix")->isChecked() && box(*d, "CheckBox_Prefix")->isEnabled());
        // Point of sale: shutdown and autostart follow the operator's change.
        setBox(*d, "CheckBox_Set_As_POS", false);
        setBox(*d, "CheckBox_Set_As_POS", true);
        QVERIFY(box(*d, "CheckBox_ShutDown")->isChecked() &&
                box(*d, "CheckBox_Start_with_Windows")->isChecked());
        setBox(*d, "CheckBox_Set_As_POS", false);
        QVERIFY(!box(*d, "CheckBox_ShutDown")->isChecked() &&
                !box(*d, "CheckBox_Start_with_Windows")->isChecked());
        // The fixed-length numbers.
        setBox(*d, "ChkBox_Etiket_Name", true);
        QVERIFY(field<QSpinBox>(*d, "SpinEdit_Etiket_Name")->isEnabled());
        // The receipt kind and the device type.
        QComboBox* fb = field<QComboBox>(*d, "ComboBox_FB");
        QComboBox* type = field<QComboBox>(*d, "ComboBox_Vid_FU");
        d->findChild<QTabWidget*>("PageControl1")->setCurrentIndex(1);
        test::chooseItem(fb, 2);
        QVERIFY(type->isEnabled());
        test::chooseItem(type, 5);
        test::chooseItem(fb, 1);
        QCOMPARE(type->currentIndex(), 5);
        test::chooseItem(fb, 0);
        QCOMPARE(type->currentIndex(), 0);
        QVERIFY(!type->isEnabled());
        // "..." takes the directory chosen; a cancelled choice leaves the field.
        msg_->answer(fx_->root() + "Kasa");
        QTest::mouseClick(field<QToolButton>(*d, "SpdBtn_Select_Temp_Bon"), Qt::LeftButton);
        QCOMPARE(field<QLineEdit>(*d, "Edit_Path_Temp_Bon")->text(), fx_->root() + "Kasa");
        msg_->answer(QVariant());
        QTest::mouseClick(field<QToolButton>(*d, "SpdBtn_Select_Temp_Bon"), Qt::LeftButton);
        QCOMPARE(field<QLineEdit>(*d, "Edit_Path_Temp_Bon")->text(), fx_->root() + "Kasa");
        // Numbers stay within their bounds.
        setNumber(*d, "SpEdit_Zakraglenie", 9);
        QVERIFY(field<QSpinBox>(*d, "SpEdit_Zakraglenie")->value() <= 8);
    }

    // "Запис" writes every value in one save, the windows that show a
    // setting follow it, and the dialog closes.
    void savingWritesEveryKey() {
        auto d = dialog();
        QList<SettingId> ids;
        connect(&fx_->settings(), &Settings::changed, this, [&ids](SettingId id) { ids << id; });
        setNumber(*d, "SpEdit_Zakraglenie", 3);
        setNumber(*d, "SpinEdit_Term_N", 3);
        setText(*d, "Edit_Path_Temp_Bon", fx_->root() + "Bons/Till1");
        setText(*d, "Edit_Firm_Name", "Нова фирма");
        setText(*d, "Edit_Phone_Ser", "032 111 222");
        setBox(*d, "ChkBox_Otorization", true);
        test::click(*d, "Button_Save");
        QCOMPARE(d->result(), int(QDialog::Accepted));
        QVERIFY(QFileInfo(fx_->root() + "Bons/Till1").isDir());
        Settings& s = fx_->settings();
        QCOMPARE(s.get(setting::kAmountDecimals), 3);
        QCOMPARE(s.get(setting::kTerminal), 3);
        QCOMPARE(s.get(setting::kReceiptDirectory), fx_->root() + "Bons/Till1");
        QCOMPARE(s.get(setting::kCompanyName), QStringLiteral("Нова фирма"));
        QCOMPARE(s.get(setting::kServicePhone), QStringLiteral("032 111 222"));
        QVERIFY(s.get(setting::kAuthorizeAfterSale));
        // Every key of the dialog is in the file, the defaults too.
        const ProfileData data = s.load();
        QCOMPARE(data.value("Tuning", "20", "?"), QStringLiteral("1"));
        QCOMPARE(data.value("Tuning", "13", "?"), QStringLiteral("0"));
        QCOMPARE(data.value("Values", "10", "?"), QStringLiteral("20"));
        QCOMPARE(data.value("Tuning", "24", "?"), deviceTypeTexts().front());
        QCOMPARE(data.value("Tuning", "FormatDate", "?"), QStringLiteral("ddmmyyyy"));
        QCOMPARE(data.value("Firm_Data", "DDS", "?"), QStringLiteral("20"));
        QVERIFY(ids.contains(SettingId::AmountDecimals) && ids.contains(SettingId::Terminal));
        QVERIFY(!QFile::exists(autostartEntryPath()));
    }

    // Bad input: a VAT rate that is not a number, a receipt directory that
    // cannot be made. A message, the dialog stays open, nothing written.
    void badInputWritesNothing_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("VAT letters") << "Edit_DDS_Percent"
                                     << "2O"
                                     << "Стойността на ДДС трябва да е число";
        QTest::newRow("VAT above 100") << "Edit_DDS_Percent"
                                       << "120"
                                       << "Стойността на ДДС трябва да е число";
        QTest::newRow("directory under a file") << "Edit_Path_Temp_Bon"
                                                << "plain.txt/Bons"
                                                << "Директорията на фискалния бон не може да бъде създадена";
    }
    void badInputWritesNothing() {
        QFETCH(QString, control);
        QFETCH(QString, text);
        QFETCH(QString, message);
        fx_->writeFile("plain.txt", "a file");
        const QByteArray before = firmData();
        auto d = dialog();
        setNumber(*d, "SpEdit_Zakraglenie", 6);
        setText(*d, qPrintable(control), text);
        test::click(*d, "Button_Save");
        QCOMPARE(msg_->shown.size(), 1);
        QVERIFY2(msg_->shown.front().startsWith(message), qPrintable(msg_->shown.front()));
        QVERIFY(d->isVisible());
        QCOMPARE(d->result(), 0);
        QCOMPARE(firmData(), before);
    }

    // A file that cannot be read: the error is shown and no dialog opens.
    void unreadableFile() {
        // A directory where the file should be: there, but not readable.
        const QString path = fx_->settings().path();
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkdir(path));
        test::ModalScript script; // no dialog expected
        TForm_Sistemni_Nastr::run(test::context(fx_->session()), nullptr);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(msg_->shown.size(), 1);
        QVERIFY(QFileInfo(path).isDir());
    }

    // Autostart: ticking writes the entry at "Запис", clearing removes it.
    void autostartEntry() {
        {
            auto d = dialog();
            setBox(*d, "CheckBox_Start_with_Windows", true);
            test::click(*d, "Button_Save");
        }
        QVERIFY(QFile::exists(autostartEntryPath()));
        QVERIFY(test::Fixture::readFile(autostartEntryPath())
                    .contains("Exec=\"" + QCoreApplication::applicationFilePath().toUtf8() + "\""));
        auto d = dialog();
        QVERIFY(box(*d, "CheckBox_Start_with_Windows")->isChecked());
        setBox(*d, "CheckBox_Start_with_Windows", false);
        test::click(*d, "Button_Save");
        QVERIFY(!QFile::exists(autostartEntryPath()));
    }

    // In the running program: the fiscal-service tab and its menu appear at
    // once, the terminal panel and the ticker follow their settings.
    void mainWindowFollows() {
        test::MainWindow main(fx_->session());
        QVERIFY(main.start());
        main.form.show();
        auto* pages = main.form.findChild<QTabWidget*>("PageControl1");
        QVERIFY(!pages->isTabVisible(2));
        QVERIFY(main.form.mainMenu().isHidden(Command::N_Nastr_Fisk_Ser));
        test::ModalScript script;
        script.next<TForm_Sistemni_Nastr>([](TForm_Sistemni_Nastr* d) {
            setBox(*d, "CheckBox_Fisk_Ser_Page", true);
            setBox(*d, "CheckBox_Show_Valutes", false);
            setNumber(*d, "SpinEdit_Term_N", 7);
            test::click(*d, "Button_Save");
        });
        main.form.command(Command::N_Sistemni_Nastr)->trigger();
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QVERIFY(pages->isTabVisible(2));
        QVERIFY(!main.form.mainMenu().isHidden(Command::N_Nastr_Fisk_Ser));
        QVERIFY(!main.form.findChild<QWidget*>("Image_Show_Valuta_Kurs")->isVisible());
        QVERIFY(main.form.findChild<QLabel*>("Panel_terminal")->text().contains("7"));
    }

    // Shortcuts: "ПРИЛОЖИ" applies at once; a key another command has is
    // asked about and moves only when agreed; "ЗАПИС" stores every command
    // node and Counts for the operator.
    void shortcuts() {
        test::MainWindow main(fx_->session());
        QVERIFY(main.start());
        QAction* sell = main.form.command(Command::N_Prodajba);
        QAction* refresh = main.form.command(Command::N_Refresh);
        QCOMPARE(refresh->shortcut(), QKeySequence("F12"));
        auto select = [](TForm_Fast_Buttons* w, Command c) {
            auto* tree = test::control<QTreeWidget>(*w, "TreeView_Fast_Butons");
            const QList<QTreeWidgetItem*> found =
                tree->findItems(QString::fromUtf16(mainMenuNodes()[*menuNode(c) - 1].caption).trimmed(),
                                Qt::MatchExactly | Qt::MatchRecursive);
            QVERIFY(!found.isEmpty());
            tree->setCurrentItem(found.front());
        };
        msg_->answerNo();
        msg_->answerYes();
        test::ModalScript script;
        script.next<TForm_Fast_Buttons>([&](TForm_Fast_Buttons* w) {
            auto* tree = test::control<QTreeWidget>(*w, "TreeView_Fast_Butons");
            QCOMPARE(tree->topLevelItem(0)->text(0), QStringLiteral("Основни менюта"));
            select(w, Command::N_Refresh);
            auto* key = test::control<QKeySequenceEdit>(*w, "HotKey1");
            QCOMPARE(key->keySequence(), QKeySequence("F12"));
            key->setFocus();
            QTest::keyClick(key, Qt::Key_Insert); // "Продажба" has it: No
            test::click(*w, "BitBtn3");
            QCOMPARE(refresh->shortcut(), QKeySequence("F12"));
            test::click(*w, "BitBtn3"); // again: Yes, it moves
            QCOMPARE(refresh->shortcut(), QKeySequence(Qt::Key_Insert));
            QVERIFY(sell->shortcut().isEmpty());
            test::click(*w, "BitBtn1");
        });
        main.form.command(Command::N34)->trigger();
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(msg_->questions.size(), 2);
        QVERIFY(msg_->questions.front().contains("Продажба"));
        const ProfileData data = fx_->settings().load();
        const QString section = operatorShortcutSection(fx_->session().operatorName());
        QCOMPARE(data.value(section, "Counts", "?"), QString::number(menuTreeNodeCount()));
        QCOMPARE(data.value(section, QString::number(*menuNode(Command::N_Refresh)), "?"),
                 QStringLiteral("Ins"));
        QCOMPARE(data.value(section, QString::number(*menuNode(Command::N_Prodajba)), "?"), QString());
        QVERIFY(!data.hasKey(section, "0"));
        // The shop page's buttons show the shortcuts applied.
        QVERIFY(test::control<QPushButton>(main.form, "Button_Refresh")->text().endsWith(" Ins"));
        QVERIFY(!test::control<QPushButton>(main.form, "Button_Prodajba")->text().endsWith("Ins"));
    }
};

QTEST_MAIN(SettingsDialogTest)
#include "test_settings_dialog.moc"
