#include "settings/ui/form_sistemni_nastr.h"

#include "common/decimal.h"
#include "common/errors.h"
#include "common/ui/error_edge.h"
#include "common/ui/messages.h"
#include "sales/receipt_files.h"
#include "sales/receipt_lines.h"
#include "sales/unp.h"
#include "settings/ui/texts.h"
#include "shell/autostart.h"
#include "ui_form_sistemni_nastr.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSpinBox>

namespace torvika {

TForm_Sistemni_Nastr::TForm_Sistemni_Nastr(const WindowContext& context, QWidget* parent)
    : QDialog(parent), context_(context), ui(new Ui::TForm_Sistemni_Nastr) {
    ui->setupUi(this);
    ui->ComboBox_Vid_FU->addItems(deviceTypeTexts());

    // "Общи"
    fields_.bind(ui->ChkBox_Otorization, setting::kAuthorizeAfterSale);
    fields_.bind(ui->ChkBox_Salle_all, setting::kSellEverything);
    fields_.bind(ui->ChkBox_End_Oder_Operators, setting::kCloseOtherOperatorsBills);
    fields_.bind(ui->ChkBox_Seek_Trajnost, setting::kWarnExpiringGoods);
    fields_.bind(ui->ChkBox_Add_Min_Kol, setting::kAutoOrderBelowMinimum);
    fields_.bind(ui->ChkBox_Calculate_Minus_Dostavka, setting::kStaleGoodsLossOnDelivery);
    fields_.bind(ui->ChkBox_forbid_Konsignation, setting::kNoCreditToDebtors);
    fields_.bind(ui->ChkBox_Seek_NotPayed_Klients, setting::kWatchLateInstalments);
    fields_.bind(ui->ChkBox_Seek_Prodajba_NotPayed_Klients, setting::kWatchSalesToDebtors);
    fields_.bind(ui->ChkBox_Update_By_Import, setting::kReplaceOnImport);
    fields_.bind(ui->CheckBox_Set_Trajnost, setting::kWarrantyPeriodAtSale);
    fields_.bind(ui->CheckBox_Preview_Dokument, setting::kPreviewDocuments);
    fields_.bind(ui->CheckBox_Dostap_On_Change_Rejim, setting::kLoginOnPageSwitch);
    fields_.bind(ui->CheckBox_Show_Valutes, setting::kShowCurrencyRates);
    fields_.bind(ui->CheckBox1, setting::kRecipeEditAtSale);
    fields_.bind(ui->ChkBox_ShowProjzvodstvo_elements, setting::kShowProductionElements);
    fields_.bind(ui->ChkBox_Kasa_Name, setting::kFixedReceiptNameLength);
    fields_.bind(ui->SpinEdit_Kasa_Name, setting::kReceiptNameLength);
    fields_.bind(ui->ChkBox_Etiket_Name, setting::kFixedLabelNameLength);
    fields_.bind(ui->SpinEdit_Etiket_Name, setting::kLabelNameLength);
    fields_.bind(ui->SpEdit_Zakraglenie, setting::kAmountDecimals);
    fields_.bind(ui->SpinEdit_Term_N, setting::kTerminal);
    fields_.bind(ui->CheckBox_Set_As_POS, setting::kPointOfSaleMode);
    fields_.bind(ui->CheckBox_ShutDown, setting::kShutdownAtExit);
    // "Фискални"
    fields_.bindIndex(ui->ComboBox_FB, setting::kSaleReceipt);
    fields_.bindText(ui->ComboBox_Vid_FU, setting::kFiscalDeviceType);
    fields_.bind(ui->Edit_Path_Temp_Bon, setting::kReceiptDirectory);
    fields_.bind(ui->ChkBox_Print_Prigotvqse_Bon, setting::kDepartmentTickets);
    fields_.bind(ui->ChkBox_Count_Copia_Bon, setting::kReceiptCopiesOn);
    fields_.bind(ui->SpinEdit_Copia_Fisk_Bon, setting::kReceiptCopies);
    // "Данни за фирмата"
    fields_.bind(ui->Edit_Firm_Name, setting::kCompanyName);
    fields_.bind(ui->Edit_Firm_Mol, setting::kCompanyManager);
    fields_.bind(ui->Edit_Firm_EIK, setting::kCompanyEik);
    fields_.bind(ui->Edit_Firm_Adres, setting::kCompanyAddress);
    fields_.bind(ui->Edit_Firm_IBAN, setting::kCompanyIban);
    fields_.bind(ui->Edit_Firm_BIC, setting::kCompanyBic);
    fields_.bind(ui->Edit_Firm_Bank, setting::kCompanyBank);
    fields_.bind(ui->Edit_Firm_Phone, setting::kCompanyPhone);
    fields_.bind(ui->Edit_Firm_IBAN_DDS, setting::kVatIban);
    fields_.bind(ui->Edit_Firm_BIC_DDS, setting::kVatBic);
    fields_.bind(ui->Edit_Firm_Bank_DDS, setting::kVatBank);
    fields_.bind(ui->Edit_Firm_Phone_DDS, setting::kVatPhone);
    fields_.bind(ui->Edit_DDS_Percent, setting::kVatPercent);
    fields_.bind(ui->Edit_Phone_Ser, setting::kServicePhone);
    // "Фискален сервиз"
    fields_.bindText(ui->ComboBox_FormatDate_Dogovor, setting::kContractDateFormat);
    fields_.bind(ui->SpinEdit_Kol_Cifri, setting::kContractNumberDigits);
    fields_.bind(ui->CheckBox_Prefix, setting::kContractNumberPrefix);
    fields_.bind(ui->CheckBox_Dog_plus_Data, setting::kContractNumberWithDate);
    fields_.bind(ui->CheckBox_Dog_Data_Por_N_den, setting::kContractNumberPerDay);
    fields_.bind(ui->CheckBox_Fisk_Ser_Page, setting::kFiscalServicePage);
    // "Фискални": the fiscal device of this workstation and how its
    // receipts reach it.
    deviceNumber_ =
        static_cast<QLineEdit*>(fields_.addTo(ui->Layout_Fiskalni_More, SettingId::FiscalDeviceNumber));
    deviceNumber_->setMaxLength(8);
    httpOutput_ =
        static_cast<QCheckBox*>(fields_.addTo(ui->Layout_Fiskalni_More, SettingId::FiscalHttpOutput));
    serverAddress_ =
        static_cast<QLineEdit*>(fields_.addTo(ui->Layout_Fiskalni_More, SettingId::FiscalServerAddress));
    for (SettingId id :
         {SettingId::FiscalPrinterId, SettingId::FiscalOperator, SettingId::FiscalOperatorPassword})
        fields_.addTo(ui->Layout_Fiskalni_More, id);
    // "Съобщения": made from the settings table.
    fields_.addTo(ui->Layout_Messages_More, SettingId::MessagesListen);
    static_cast<QSpinBox*>(fields_.addTo(ui->Layout_Messages_More, SettingId::MessagesPort))
        ->setRange(1, 65535);
    fields_.addTo(ui->Layout_Messages_More, SettingId::MessagesAllowed);
    fields_.addTo(ui->Layout_Ob6ti_More, SettingId::DualPricesUntil);

    load();
    connectDependencies();
    connect(ui->Button_Save, &QPushButton::clicked, this, &TForm_Sistemni_Nastr::Button_SaveClick);
    connect(ui->Button_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->SpdBtn_Select_Temp_Bon, &QToolButton::clicked, this,
            &TForm_Sistemni_Nastr::SpdBtn_Select_Temp_BonClick);
}

TForm_Sistemni_Nastr::~TForm_Sistemni_Nastr() = default;

void TForm_Sistemni_Nastr::run(const WindowContext& context, QWidget* parent) {
    std::unique_ptr<TForm_Sistemni_Nastr> dialog;
    if (!guarded([&] { dialog = std::make_unique<TForm_Sistemni_Nastr>(context, parent); }))
        return;
    dialog->exec();
}

void TForm_Sistemni_Nastr::load() {
    const Settings& settings = context_.session.settings();
    fields_.load(settings);
    // A receipt directory not set is where the receipts go then.
    if (!settings.has(SettingId::ReceiptDirectory))
        ui->Edit_Path_Temp_Bon->setText(QDir::toNativeSeparators(receiptDirectory(QString())));
    ui->CheckBox_Start_with_Windows->setChecked(hasAutostartEntry());
    followDependencies();
}

void TForm_Sistemni_Nastr::connectDependencies() {
    connect(ui->ChkBox_Kasa_Name, &QCheckBox::toggled, ui->SpinEdit_Kasa_Name, &QWidget::setEnabled);
    connect(ui->ChkBox_Etiket_Name, &QCheckBox::toggled, ui->SpinEdit_Etiket_Name, &QWidget::setEnabled);
    // A contract number by date and day number carries the date, and one
    // with the date carries the prefix.
    connect(ui->CheckBox_Dog_Data_Por_N_den, &QCheckBox::toggled, this, [this](bool on) {
        ui->CheckBox_Dog_plus_Data->setChecked(on);
        followContractBoxes();
    });
    connect(ui->CheckBox_Dog_plus_Data, &QCheckBox::toggled, this, [this](bool on) {
        ui->CheckBox_Prefix->setChecked(on);
        followContractBoxes();
    });
    // A point-of-sale workstation shuts down at exit and starts with the
    // desktop session; leaving the mode turns both off.
    connect(ui->CheckBox_Set_As_POS, &QCheckBox::toggled, this, [this](bool on) {
        ui->CheckBox_ShutDown->setChecked(on);
        ui->CheckBox_Start_with_Windows->setChecked(on);
    });
    connect(ui->ComboBox_FB, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index <= 0)
            ui->ComboBox_Vid_FU->setCurrentIndex(0);
        followReceiptKind();
    });
}

void TForm_Sistemni_Nastr::followDependencies() {
    ui->SpinEdit_Kasa_Name->setEnabled(ui->ChkBox_Kasa_Name->isChecked());
    ui->SpinEdit_Etiket_Name->setEnabled(ui->ChkBox_Etiket_Name->isChecked());
    // The stored contract boxes as the rule makes them.
    if (ui->CheckBox_Dog_Data_Por_N_den->isChecked())
        ui->CheckBox_Dog_plus_Data->setChecked(true);
    if (ui->CheckBox_Dog_plus_Data->isChecked())
        ui->CheckBox_Prefix->setChecked(true);
    followContractBoxes();
    followReceiptKind();
}

void TForm_Sistemni_Nastr::followContractBoxes() {
    ui->CheckBox_Dog_plus_Data->setEnabled(!ui->CheckBox_Dog_Data_Por_N_den->isChecked());
    ui->CheckBox_Prefix->setEnabled(!ui->CheckBox_Dog_plus_Data->isChecked());
}

void TForm_Sistemni_Nastr::followReceiptKind() {
    // The stored device type shows greyed while no receipt is printed.
    ui->ComboBox_Vid_FU->setEnabled(ui->ComboBox_FB->currentIndex() > 0);
}

QString TForm_Sistemni_Nastr::receiptDirectory(const QString& typed) const {
    return fiscalSettingsFrom(context_.session.programDir.root(), typed, 0, QString(), false).receiptDir;
}

void TForm_Sistemni_Nastr::SpdBtn_Select_Temp_BonClick() {
    const QString start = nearestExistingDirectory(receiptDirectory(ui->Edit_Path_Temp_Bon->text()),
                                                   context_.session.programDir.root());
    const QString dir = Messages::current().existingDirectory(texts::kChooseDirectoryCaption, start);
    if (!dir.isEmpty())
        ui->Edit_Path_Temp_Bon->setText(QDir::toNativeSeparators(dir));
}

bool TForm_Sistemni_Nastr::checkVatPercent() {
    const QString text = ui->Edit_DDS_Percent->text().trimmed();
    if (text.isEmpty())
        return true;
    const std::optional<Decimal> rate =
        Decimal::parse(QString(text).replace(QLatin1Char(','), QLatin1Char('.')));
    if (rate && *rate >= Decimal(0) && *rate <= Decimal(100))
        return true;
    ui->PageControl1->setCurrentWidget(ui->TabSheet1);
    ui->Edit_DDS_Percent->setFocus();
    showMessage(texts::kVatPercentNotNumber.arg(text));
    return false;
}

bool TForm_Sistemni_Nastr::makeReceiptDirectory() {
    const QString dir = receiptDirectory(ui->Edit_Path_Temp_Bon->text());
    if (QFileInfo(dir).isDir() || QDir().mkpath(dir))
        return true;
    ui->PageControl1->setCurrentWidget(ui->TabSheet3);
    ui->Edit_Path_Temp_Bon->setFocus();
    showMessage(texts::kReceiptDirectoryNotMade.arg(QDir::toNativeSeparators(dir)));
    return false;
}

bool TForm_Sistemni_Nastr::checkFiscalDevice() {
    deviceNumber_->setText(deviceNumber_->text().trimmed().toUpper());
    const QString number = deviceNumber_->text();
    QWidget* wrong = nullptr;
    if (!number.isEmpty() && !isFiscalDeviceNumber(number)) {
        showMessage(texts::kFiscalDeviceNumberWrong.arg(number));
        wrong = deviceNumber_;
    } else if (httpOutput_->isChecked() && (number.isEmpty() || serverAddress_->text().trimmed().isEmpty())) {
        showMessage(texts::kFiscalHttpNeedsSetup);
        wrong = number.isEmpty() ? deviceNumber_ : serverAddress_;
    }
    if (!wrong)
        return true;
    ui->PageControl1->setCurrentWidget(ui->TabSheet3);
    wrong->setFocus();
    return false;
}

void TForm_Sistemni_Nastr::Button_SaveClick() {
    if (!checkVatPercent() || !checkFiscalDevice() || !makeReceiptDirectory())
        return;
    if (!guarded([this] { context_.session.settings().save(fields_.changes()); }))
        return;
    const bool autostart = ui->CheckBox_Start_with_Windows->isChecked();
    if (autostart != hasAutostartEntry()) {
        try {
            setAutostartEntry(autostart, QCoreApplication::applicationFilePath());
        } catch (const Error& e) {
            showMessage(texts::kAutostartNotWritten.arg(e.message()));
        }
    }
    accept();
}

} // namespace torvika
