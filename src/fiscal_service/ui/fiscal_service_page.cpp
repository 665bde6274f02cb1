#include "fiscal_service/ui/fiscal_service_page.h"

#include "common/base_currency.h"
#include "common/dates.h"
#include "common/errors.h"
#include "common/ref_text.h"
#include "common/texts.h"
#include "common/ui/error_edge.h"
#include "common/ui/messages.h"
#include "common/ui/statement_model.h"
#include "counterparties/ui/counterparty_picker.h"
#include "documents/ui/document_printer.h"
#include "fiscal_service/dismantling.h"
#include "fiscal_service/notifications.h"
#include "fiscal_service/reports.h"
#include "fiscal_service/tax_office_file.h"
#include "fiscal_service/texts.h"
#include "fiscal_service/ui/device_list_window.h"
#include "fiscal_service/ui/dismantling_dialog.h"
#include "fiscal_service/ui/period_dialog.h"
#include "ui_fiscal_service_page.h"

#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>

namespace torvika {

namespace {

const QString kExpiredStyle = QStringLiteral("background-color: red; color: white;");

bool isEnter(const QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

QString orNotGiven(const QString& text) {
    return text.isEmpty() ? texts::kNotGiven : text;
}

// A row a device refers to that is missing is flagged, never left blank.
QString orMissing(bool found, const QString& text) {
    return found ? orNotGiven(text) : texts::kRowMissing;
}

} // namespace

FiscalServicePage::FiscalServicePage(const WindowContext& context, QWidget* parent)
    : HostPage(parent), context_(context), ui(new Ui::FiscalServicePage) {
    ui->setupUi(this);
    ui->Edit_ID_EKA->installEventFilter(this);
    connect(ui->Edit_ID_EKA, &QLineEdit::textEdited, this, [this](const QString& text) {
        // The field converts typing to upper case.
        const int caret = ui->Edit_ID_EKA->cursorPosition();
        ui->Edit_ID_EKA->setText(text.toUpper());
        ui->Edit_ID_EKA->setCursorPosition(caret);
    });

    ui->Edit_Kontrag_Search->setUp(context_, QuickSearchPage::Service, this);
    ui->Edit_Kontrag_Search->setNames(QStringLiteral("Edit_Kontrag"), QStringLiteral("ListBox_Kontrag"));
    ui->Edit_Services_Search->setUp(context_, QuickSearchPage::Service, this);
    ui->Edit_Services_Search->setNames(QStringLiteral("Edit_Services"), QStringLiteral("ListBox_Services"));
    ui->Edit_TDD_Search->setUp(context_, QuickSearchPage::Service, this);
    ui->Edit_TDD_Search->setNames(QStringLiteral("Edit_TDD"), QStringLiteral("ListBox_TDD"));
    for (CounterpartyQuickSearch* s :
         {ui->Edit_Kontrag_Search, ui->Edit_Services_Search, ui->Edit_TDD_Search})
        s->setNewCounterpartyMode(kBrowseCounterparties);
    connect(ui->Edit_Kontrag_Search, &CounterpartyQuickSearch::chosen, this, &FiscalServicePage::ownerChosen);
    connect(ui->Edit_Services_Search, &CounterpartyQuickSearch::chosen, this,
            &FiscalServicePage::serviceChosen);
    connect(ui->Edit_TDD_Search, &CounterpartyQuickSearch::chosen, this, &FiscalServicePage::taxOfficeChosen);
    // Typing in the service centre's or tax office's field shows in its label.
    connect(ui->Edit_Services_Search->field(), &QLineEdit::textEdited, ui->Label_Serviz_Ime,
            &QLabel::setText);
    connect(ui->Edit_TDD_Search->field(), &QLineEdit::textEdited, ui->Label_Ime_TDD, &QLabel::setText);

    connect(ui->ComboBox_Model_EKA, &QComboBox::activated, this, &FiscalServicePage::modelChosen);
    connect(ui->ComboBox_Sel_Obekt, &QComboBox::activated, this, &FiscalServicePage::siteChosen);
    connect(ui->ComboBox_All_EKA_Kontrag, &QComboBox::activated, this, [this](int index) {
        ui->Edit_ID_EKA->setText(ui->ComboBox_All_EKA_Kontrag->itemText(index));
        lookUp();
    });
    // Editing a value shows it in its label.
    connect(ui->Edit_MFP, &QLineEdit::textEdited, ui->Label_MFP_N, &QLabel::setText);
    connect(ui->Edit_Dosie_ID, &QLineEdit::textEdited, ui->Label_Dosie_ID, &QLabel::setText);
    connect(ui->DateTimePicker_Data_Fisk, &QDateEdit::dateChanged, this,
            [this](const QDate& d) { ui->Label_Data_Fisk->setText(shortDate(d)); });
    connect(ui->DateTimePicker_Time_Fisk, &QTimeEdit::timeChanged, this,
            [this](const QTime& t) { ui->Label_Time_Fisk->setText(shortTime(t)); });
    connect(ui->ComboBox_Vid_Dog, &QComboBox::currentTextChanged, ui->Label_Vid_Dog, &QLabel::setText);
    connect(ui->DateTimePicker_Dog_Ot, &QDateEdit::dateChanged, this,
            &FiscalServicePage::contractStartChanged);
    connect(ui->SpinEdit_Period, &QSpinBox::valueChanged, this, [this](int months) {
        ui->DateTimePicker_Valid_Do->setDate(contractEnd(ui->DateTimePicker_Dog_Ot->date(), months));
    });

    for (const auto& [button, op] : operationButtons())
        connect(button, &QAbstractButton::toggled, this,
                [this, op](bool down) { operationToggled(op, down); });
    connect(ui->BitBtn_Zapis, &QPushButton::clicked, this, &FiscalServicePage::save);
    connect(ui->BitBtn_Otkaz, &QPushButton::clicked, this, &FiscalServicePage::cancel);
    connect(ui->Button5, &QPushButton::clicked, this, &FiscalServicePage::expiredContracts);
    connect(ui->Button6, &QPushButton::clicked, this, &FiscalServicePage::repairsDone);
    connect(ui->Button7, &QPushButton::clicked, this, &FiscalServicePage::taxOfficeFile);
    connect(ui->Button9, &QPushButton::clicked, this, &FiscalServicePage::printDocuments);
    ui->DocumentChoosers_FC->setUp(context_.session, PrintContext::FiscalService, QStringLiteral("_FC"));

    ui->ComboBox_Pri4ina_Smqna_FP->addItems(notificationReasons());
    notifications_ = new StatementModel(this);
    notifications_->setColumns({{QStringLiteral("Data"), QStringLiteral("Дата"), 10, GridColumnSpec::Date},
                                {QStringLiteral("Vreme"), QStringLiteral("Час"), 6},
                                {QStringLiteral("Pri4ina"), QStringLiteral("Причина"), 40},
                                {QStringLiteral("Operator"), QStringLiteral("Оператор"), 16}});
    setUpStatementGrid(ui->DBGrid_Uvedomlenia, notifications_);

    clearLabels();
    setEditors(false, false);
    setButtonsFor(false);
    ui->SpdBtn_Registracia->setEnabled(false);
}

FiscalServicePage::~FiscalServicePage() = default;

void FiscalServicePage::activated() {
    ui->Edit_ID_EKA->clear();
    ui->Edit_ID_EKA->setFocus();
}

bool FiscalServicePage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->Edit_ID_EKA && isEnter(event)) {
        lookUp();
        return true;
    }
    return HostPage::eventFilter(watched, event);
}

// ---------------------------------------------------------------- lookup

void FiscalServicePage::lookUp() {
    const QString number = deviceNumber(ui->Edit_ID_EKA->text());
    ui->Edit_ID_EKA->setText(number);
    closeOperation();
    if (number.isEmpty())
        return;
    guarded([&] {
        device_ = lookUpDevice(context_.session.db(), number);
        if (device_)
            showDevice(*device_);
        else
            showNotRegistered(number);
        showNotifications();
    });
}

void FiscalServicePage::showNotifications() {
    if (device_)
        notifications_->setStatement(context_.session.db(),
                                     notificationsOfDeviceStatement(device_->registration.device));
    else
        notifications_->clear();
}

void FiscalServicePage::clearLabels() {
    for (QLabel* l : QList<QLabel*>{
             ui->Label_MFP_N,        ui->Label_Opis,         ui->Label_Plomb_Ot,      ui->Label_SV_N,
             ui->Label_SV_Data,      ui->Label_Data_Fisk,    ui->Label_Time_Fisk,     ui->Label_Serviz_Ime,
             ui->Label_Serviz_Grad,  ui->Label_Serviz_Adres, ui->Label_Serviz_Tel,    ui->Label_Dosie_ID,
             ui->Label_Dog_Ot,       ui->Label_Data_Dog,     ui->Label_Vid_Dog,       ui->Label_Ime_TDD,
             ui->Label_Name_Obekt,   ui->Label_Obekt_MOL,    ui->Label_Obekt_Grad,    ui->Label_Obekt_Adres,
             ui->Label_Obekt_Tel,    ui->Label_Kontrag_Ime,  ui->Label_Kontrag_EIK,   ui->Label_Kontrag_MOL,
             ui->Label_Kontrag_EGN,  ui->Label_Kontrag_Grad, ui->Label_Kontrag_Adres, ui->Label_Broi_EKA,
             ui->Label_Broi_Izteklo, ui->Label_Broi_Obekti})
        l->setText(texts::kNotGiven);
    ui->Label_Dog_ID->setText(texts::kNoContractNumberShown);
    ui->Label_Data_Dog->setStyleSheet(QString());
    expired_ = false;
}

void FiscalServicePage::showDevice(const DeviceRecord& d) {
    clearLabels();
    const DeviceRegistration& r = d.registration;
    setButtonsFor(true);
    ui->Label_MFP_N->setText(orNotGiven(r.fiscalMemory));
    ui->Label_Data_Fisk->setText(orNotGiven(shortDate(r.date)));
    ui->Label_Time_Fisk->setText(orNotGiven(shortTime(r.time)));
    ui->Label_Dosie_ID->setText(QString::number(r.dossier));
    showOwner(d.owner);
    ui->Edit_Kontrag_Search->setCounterpartyText(refText(r.owner, d.owner.name));
    ui->Label_Kontrag_Ime->setText(d.owner.found ? refText(r.owner, d.owner.name) : texts::kRowMissing);
    showServiceCentre(d.serviceCentre);
    ui->Edit_Services_Search->setCounterpartyText(refText(r.serviceCentre, d.serviceCentre.name));
    ui->Label_Ime_TDD->setText(orMissing(d.taxOffice.found, d.taxOffice.name));
    ui->Edit_TDD_Search->setCounterpartyText(refText(r.taxOffice, d.taxOffice.name));
    ui->Label_Name_Obekt->setText(orMissing(d.site.found, d.site.name));
    ui->Label_Obekt_Grad->setText(orNotGiven(d.site.town));
    ui->Label_Obekt_Adres->setText(orNotGiven(d.site.address));
    ui->Label_Obekt_Tel->setText(orNotGiven(d.site.phone));
    ui->Label_Obekt_MOL->setText(orNotGiven(d.site.responsible));
    ui->Label_Opis->setText(orMissing(d.model.found, d.model.name));
    ui->Label_Plomb_Ot->setText(orNotGiven(d.model.sealedByName));
    ui->Label_SV_N->setText(orNotGiven(d.model.certificate));
    ui->Label_SV_Data->setText(texts::kCertificateDateCaption + shortDate(d.model.certificateDate));
    if (d.contract) {
        ui->Label_Dog_ID->setText(d.contract->shownNumber());
        ui->Label_Dog_Ot->setText(shortDate(d.contract->start));
        ui->Label_Data_Dog->setText(shortDate(d.contract->validUntil));
        ui->Label_Vid_Dog->setText(orNotGiven(d.contract->kind));
        expired_ = d.contract->expiredOn(context_.session.today());
    } else {
        // A registration without a contract: its contract is the next step.
        ui->Label_Data_Dog->setText(texts::kNoContract);
        expired_ = true;
    }
    ui->Label_Data_Dog->setStyleSheet(expired_ ? kExpiredStyle : QString());
    // An expired contract is shown at once.
    ui->PageControl_EKA->setCurrentWidget(expired_ ? ui->TabSheet_EKA_More : ui->TabSheet_EKA_Main);
    guarded([&] {
        fillSites(r.owner);
        fillOwnerDevices(r.owner, r.device);
    });
}

void FiscalServicePage::showNotRegistered(const QString& device) {
    clearLabels();
    setButtonsFor(false);
    ui->Edit_MFP->clear();
    ui->ComboBox_Sel_Obekt->clear();
    ui->ComboBox_All_EKA_Kontrag->clear();
    for (CounterpartyQuickSearch* s :
         {ui->Edit_Kontrag_Search, ui->Edit_Services_Search, ui->Edit_TDD_Search})
        s->setCounterpartyText(texts::kNoCounterpartyChosen);
    const std::optional<DeviceSale> sale = deviceSale(context_.session.db(), device);
    {
        // Pressing the button starts the registration.
        ui->SpdBtn_Registracia->setChecked(true);
    }
    if (!sale)
        return;
    ui->Edit_MFP->setText(sale->fiscalMemory);
    ui->Label_MFP_N->setText(orNotGiven(sale->fiscalMemory));
    if (sale->buyer.found) {
        const QString ref = refText(sale->buyer.id, sale->buyer.name);
        ui->Edit_Kontrag_Search->setCounterpartyText(ref);
        showOwner(sale->buyer);
        ui->Label_Kontrag_Ime->setText(ref);
        fillSites(sale->buyer.id);
        fillOwnerDevices(sale->buyer.id, device);
    }
}

void FiscalServicePage::showOwner(const CounterpartyInfo& owner) {
    ui->Label_Kontrag_EIK->setText(orNotGiven(owner.eik));
    ui->Label_Kontrag_MOL->setText(orNotGiven(owner.personName));
    ui->Label_Kontrag_EGN->setText(orNotGiven(owner.personEgn));
    ui->Label_Kontrag_Grad->setText(orNotGiven(owner.town));
    ui->Label_Kontrag_Adres->setText(orNotGiven(owner.address));
}

void FiscalServicePage::showServiceCentre(const CounterpartyInfo& c) {
    ui->Label_Serviz_Ime->setText(orMissing(c.found, c.name));
    ui->Label_Serviz_Grad->setText(orNotGiven(c.town));
    ui->Label_Serviz_Adres->setText(orNotGiven(c.address));
    ui->Label_Serviz_Tel->setText(orNotGiven(c.phone));
}

void FiscalServicePage::fillSites(qint64 owner) {
    const QList<SiteInfo> sites = counterpartySites(context_.session.db(), owner);
    const qint64 current = device_ ? device_->registration.site : 0;
    ui->ComboBox_Sel_Obekt->clear();
    for (const SiteInfo& s : sites)
        ui->ComboBox_Sel_Obekt->addItem(refText(s.id, s.name), s.id);
    ui->ComboBox_Sel_Obekt->setCurrentIndex(ui->ComboBox_Sel_Obekt->findData(current));
    ui->Label_Broi_Obekti->setText(QString::number(sites.size()));
}

void FiscalServicePage::fillOwnerDevices(qint64 owner, const QString& current) {
    const OwnerDevices o = ownerDevices(context_.session.db(), owner, context_.session.today());
    ui->ComboBox_All_EKA_Kontrag->clear();
    ui->ComboBox_All_EKA_Kontrag->addItems(o.devices);
    ui->ComboBox_All_EKA_Kontrag->setCurrentIndex(o.devices.indexOf(current));
    ui->Label_Broi_EKA->setText(QString::number(o.devices.size()));
    ui->Label_Broi_Izteklo->setText(QString::number(o.expiredContracts));
}

void FiscalServicePage::ownerChosen(const QString& ref) {
    const qint64 id = GetID_MFromTreeNodeName(ref);
    ui->Edit_Kontrag_Search->setCounterpartyText(ref);
    guarded([&] {
        const CounterpartyInfo owner = counterpartyInfo(context_.session.db(), id);
        ui->Label_Kontrag_Ime->setText(ref);
        showOwner(owner);
        fillSites(id);
        ui->ComboBox_Sel_Obekt->setCurrentIndex(-1);
    });
}

void FiscalServicePage::serviceChosen(const QString& ref) {
    ui->Edit_Services_Search->setCounterpartyText(ref);
    guarded(
        [&] { showServiceCentre(counterpartyInfo(context_.session.db(), GetID_MFromTreeNodeName(ref))); });
}

void FiscalServicePage::taxOfficeChosen(const QString& ref) {
    ui->Edit_TDD_Search->setCounterpartyText(ref);
    ui->Label_Ime_TDD->setText(refDescription(ref));
}

void FiscalServicePage::modelChosen(int index) {
    const qint64 id = ui->ComboBox_Model_EKA->itemData(index).toLongLong();
    guarded([&] {
        for (const ModelInfo& m : models(context_.session.db()))
            if (m.id == id) {
                ui->Label_Opis->setText(ui->ComboBox_Model_EKA->itemText(index));
                ui->Label_SV_N->setText(orNotGiven(m.certificate));
                ui->Label_SV_Data->setText(texts::kCertificateDateCaption + shortDate(m.certificateDate));
                ui->Label_Plomb_Ot->setText(orNotGiven(m.sealedByName));
            }
    });
}

void FiscalServicePage::siteChosen(int index) {
    const qint64 owner = GetID_MFromTreeNodeName(ui->Edit_Kontrag_Search->field()->text());
    const qint64 site = ui->ComboBox_Sel_Obekt->itemData(index).toLongLong();
    guarded([&] {
        for (const SiteInfo& s : counterpartySites(context_.session.db(), owner))
            if (s.id == site) {
                ui->Label_Name_Obekt->setText(ui->ComboBox_Sel_Obekt->itemText(index));
                ui->Label_Obekt_Grad->setText(orNotGiven(s.town));
                ui->Label_Obekt_Adres->setText(orNotGiven(s.address));
                ui->Label_Obekt_Tel->setText(orNotGiven(s.phone));
                ui->Label_Obekt_MOL->setText(orNotGiven(s.responsible));
            }
    });
}

// ------------------------------------------------------------ operations

QList<std::pair<QAbstractButton*, FiscalServicePage::Operation>> FiscalServicePage::operationButtons() const {
    return {{ui->SpdBtn_Registracia, Operation::Registration},
            {ui->SpdBtn_Dogovor, Operation::Contract},
            {ui->SpdBtn_Demontaj, Operation::Dismantling},
            {ui->SpdBtn_Uvedomlenie, Operation::Notification},
            {ui->SpdBtn_Promqna, Operation::Change}};
}

void FiscalServicePage::setButtonsFor(bool registered) {
    ui->SpdBtn_Registracia->setEnabled(!registered);
    for (QAbstractButton* b : QList<QAbstractButton*>{ui->SpdBtn_Dogovor, ui->SpdBtn_Demontaj,
                                                      ui->SpdBtn_Uvedomlenie, ui->SpdBtn_Promqna})
        b->setEnabled(registered);
}

void FiscalServicePage::setEditors(bool registration, bool contract) {
    for (QWidget* w :
         QList<QWidget*>{ui->Edit_MFP, ui->ComboBox_Model_EKA, ui->DateTimePicker_Data_Fisk,
                         ui->DateTimePicker_Time_Fisk, ui->Edit_Services_Search, ui->Edit_Dosie_ID,
                         ui->Edit_TDD_Search, ui->ComboBox_Sel_Obekt, ui->Edit_Kontrag_Search})
        w->setVisible(registration);
    for (QWidget* w :
         QList<QWidget*>{ui->Edit_Dog_ID, ui->DateTimePicker_Dog_Ot, ui->Label_Period, ui->SpinEdit_Period,
                         ui->Label_Mesec, ui->DateTimePicker_Valid_Do, ui->ComboBox_Vid_Dog})
        w->setVisible(contract);
    ui->Panel_Zapis->setVisible(operation_ != Operation::None);
    ui->Panel_Pri4ina->setVisible(operation_ == Operation::Notification);
}

void FiscalServicePage::operationToggled(Operation op, bool down) {
    if (!down) {
        if (operation_ == op)
            closeOperation();
        return;
    }
    // At most one operation button is down.
    for (const auto& [b, other] : operationButtons())
        if (other != op && b->isChecked()) {
            const QSignalBlocker block(b);
            b->setChecked(false);
        }
    operation_ = op;
    pendingRegistration_.reset();
    switch (op) {
    case Operation::Registration:
        startRegistration();
        break;
    case Operation::Change:
        startChange();
        break;
    case Operation::Contract:
        startContract();
        break;
    case Operation::Dismantling:
        setEditors(false, false);
        startDismantling();
        break;
    case Operation::Notification:
        setEditors(false, false);
        ui->ComboBox_Pri4ina_Smqna_FP->setCurrentIndex(-1);
        ui->ComboBox_Pri4ina_Smqna_FP->setFocus();
        break;
    case Operation::None:
        setEditors(false, false);
        break;
    }
}

void FiscalServicePage::startRegistration() {
    ui->Edit_MFP->clear();
    ui->Label_MFP_N->setText(texts::kNotGiven);
    guarded([&] {
        ui->ComboBox_Model_EKA->clear();
        for (const ModelInfo& m : models(context_.session.db()))
            if (!m.forbidden)
                ui->ComboBox_Model_EKA->addItem(refText(m.id, m.name), m.id);
        ui->ComboBox_Model_EKA->setCurrentIndex(-1);
        proposedDossier_ = proposeDossier(context_.session.db());
    });
    ui->Edit_Dosie_ID->setText(QString::number(proposedDossier_));
    ui->Label_Dosie_ID->setText(ui->Edit_Dosie_ID->text());
    ui->DateTimePicker_Data_Fisk->setDate(context_.session.today());
    ui->DateTimePicker_Time_Fisk->setTime(context_.session.now().time());
    setEditors(true, false);
    ui->PageControl_EKA->setCurrentWidget(ui->TabSheet_EKA_Main);
    ui->Edit_MFP->setFocus();
}

void FiscalServicePage::startChange() {
    startRegistration();
    if (!device_)
        return;
    const DeviceRegistration& r = device_->registration;
    ui->Edit_MFP->setText(r.fiscalMemory);
    ui->Edit_Dosie_ID->setText(QString::number(r.dossier));
    ui->Label_Dosie_ID->setText(QString::number(r.dossier));
    ui->ComboBox_Model_EKA->setCurrentIndex(ui->ComboBox_Model_EKA->findData(r.model));
    if (r.date.isValid())
        ui->DateTimePicker_Data_Fisk->setDate(r.date);
    if (r.time.isValid())
        ui->DateTimePicker_Time_Fisk->setTime(r.time);
    ui->ComboBox_Sel_Obekt->setCurrentIndex(ui->ComboBox_Sel_Obekt->findData(r.site));
}

void FiscalServicePage::startContract() {
    const QString device = deviceNumber(ui->Edit_ID_EKA->text());
    std::optional<Contract> current;
    guarded([&] { current = deviceContract(context_.session.db(), device); });
    const QDate today = context_.session.today();
    {
        const QSignalBlocker block(ui->DateTimePicker_Dog_Ot);
        ui->DateTimePicker_Dog_Ot->setDate(current && current->start.isValid() ? current->start : today);
    }
    if (current && !current->expiredOn(today)) {
        // The contract in force is edited under its own number.
        proposedContract_.clear();
        ui->Edit_Dog_ID->setText(current->shownNumber());
        ui->DateTimePicker_Valid_Do->setDate(current->validUntil);
    } else {
        if (current) {
            // A renewal starts the day after the old contract ended.
            const QSignalBlocker block(ui->DateTimePicker_Dog_Ot);
            ui->DateTimePicker_Dog_Ot->setDate(qMax(today, current->validUntil.addDays(1)));
        }
        proposeContract();
        ui->DateTimePicker_Valid_Do->setDate(
            contractEnd(ui->DateTimePicker_Dog_Ot->date(), ui->SpinEdit_Period->value()));
    }
    ui->ComboBox_Vid_Dog->setCurrentText(current ? current->kind : QString());
    setEditors(false, true);
    ui->PageControl_EKA->setCurrentWidget(ui->TabSheet_EKA_More);
    ui->Edit_Dog_ID->setFocus();
}

void FiscalServicePage::proposeContract() {
    guarded([&] {
        proposedContract_ =
            proposeContractNumber(context_.session.db(), numbering(), ui->DateTimePicker_Dog_Ot->date());
    });
    ui->Edit_Dog_ID->setText(proposedContract_);
}

void FiscalServicePage::contractStartChanged() {
    // A new number is proposed for the chosen start date, unless the
    // operator typed one.
    if (!proposedContract_.isEmpty() && ui->Edit_Dog_ID->text() == proposedContract_)
        proposeContract();
    ui->DateTimePicker_Valid_Do->setDate(
        contractEnd(ui->DateTimePicker_Dog_Ot->date(), ui->SpinEdit_Period->value()));
    ui->Label_Dog_Ot->setText(shortDate(ui->DateTimePicker_Dog_Ot->date()));
}

void FiscalServicePage::startDismantling() {
    if (!dismantling_)
        dismantling_ = new TForm_Data_ToFisk_Serv([this] { return context_.session.today(); },
                                                  baseCurrencyForCaptions(context_.session.db()).words, this);
    dismantling_->exec();
}

ContractNumbering FiscalServicePage::numbering() const {
    const Settings& s = context_.session.settings();
    return {s.get(setting::kContractNumberDigits), s.get(setting::kContractNumberPrefix),
            s.get(setting::kContractNumberWithDate), s.get(setting::kContractNumberPerDay)};
}

DeviceRegistration FiscalServicePage::registrationFromEditors() const {
    DeviceRegistration r;
    r.device = ui->Edit_ID_EKA->text();
    r.dossier = ui->Edit_Dosie_ID->text().trimmed().toLongLong();
    r.fiscalMemory = ui->Edit_MFP->text();
    r.model = ui->ComboBox_Model_EKA->currentData().toLongLong();
    r.certificate = ui->Label_SV_N->text() == texts::kNotGiven ? QString() : ui->Label_SV_N->text();
    r.date = ui->DateTimePicker_Data_Fisk->date();
    r.time = ui->DateTimePicker_Time_Fisk->time();
    r.serviceCentre = qMax(0, GetID_MFromTreeNodeName(ui->Edit_Services_Search->field()->text()));
    r.taxOffice = qMax(0, GetID_MFromTreeNodeName(ui->Edit_TDD_Search->field()->text()));
    r.owner = qMax(0, GetID_MFromTreeNodeName(ui->Edit_Kontrag_Search->field()->text()));
    r.site = ui->ComboBox_Sel_Obekt->currentData().toLongLong();
    return r;
}

ContractEntry FiscalServicePage::contractFromEditors() const {
    return {ui->Edit_Dog_ID->text(), ui->ComboBox_Vid_Dog->currentText(), ui->DateTimePicker_Dog_Ot->date(),
            ui->DateTimePicker_Valid_Do->date()};
}

void FiscalServicePage::save() {
    const QSqlDatabase db = context_.session.db();
    switch (operation_) {
    case Operation::Registration: {
        const DeviceRegistration r = registrationFromEditors();
        if (const auto refusal = registrationRefusal(r)) {
            showMessage(*refusal);
            return;
        }
        // Stored together with its contract, which opens now.
        pendingRegistration_ = r;
        {
            const QSignalBlocker block(ui->SpdBtn_Registracia);
            ui->SpdBtn_Registracia->setChecked(false);
        }
        {
            const QSignalBlocker block(ui->SpdBtn_Dogovor);
            ui->SpdBtn_Dogovor->setEnabled(true);
            ui->SpdBtn_Dogovor->setChecked(true);
        }
        operation_ = Operation::Contract;
        startContract();
        return;
    }
    case Operation::Contract: {
        SaveResult result;
        const bool stored = guarded([&] {
            result = pendingRegistration_ ? registerDevice(db, *pendingRegistration_, contractFromEditors(),
                                                           numbering(), proposedDossier_, proposedContract_)
                                          : saveContract(db, ui->Edit_ID_EKA->text(), contractFromEditors(),
                                                         numbering(), proposedContract_);
        });
        if (!stored)
            return;
        if (!result.stored) {
            showMessage(result.refusal);
            return;
        }
        break;
    }
    case Operation::Change: {
        SaveResult result;
        if (!guarded([&] { result = changeRegistration(db, registrationFromEditors()); }))
            return;
        if (!result.stored) {
            showMessage(result.refusal);
            return;
        }
        break;
    }
    case Operation::Notification: {
        if (!device_)
            return;
        NotificationResult result;
        const QDateTime now = context_.session.now();
        if (!guarded([&] {
                result = recordNotification(db, {device_->registration.device, now.date(), now.time(),
                                                 ui->ComboBox_Pri4ina_Smqna_FP->currentText(),
                                                 context_.session.operatorName()});
            }))
            return;
        if (result.refusal) {
            showMessage(*result.refusal);
            return;
        }
        closeOperation();
        guarded([&] { showNotifications(); });
        showMessage(texts::kNotificationStored.arg(device_->registration.device));
        return;
    }
    case Operation::Dismantling:
    case Operation::None:
        return;
    }
    lookUp();
}

void FiscalServicePage::cancel() {
    closeOperation();
}

void FiscalServicePage::closeOperation() {
    for (const auto& [b, op] : operationButtons()) {
        const QSignalBlocker block(b);
        b->setChecked(false);
    }
    operation_ = Operation::None;
    pendingRegistration_.reset();
    setEditors(false, false);
    if (!device_ || deviceNumber(ui->Edit_ID_EKA->text()) != device_->registration.device)
        return;
    setButtonsFor(true);
}

// --------------------------------------------------------------- reports

void FiscalServicePage::expiredContracts() {
    TForm_Fisk_Spravka window(context_, DeviceList::ExpiredContracts, this);
    window.exec();
}

void FiscalServicePage::repairsDone() {
    TForm_Fisk_Spravka window(context_, DeviceList::Repairs, this, ui->Edit_ID_EKA->text());
    window.exec();
}

void FiscalServicePage::taxOfficeFile() {
    if (!period_)
        period_ = new TForm_SPR_TDD_Fisk_Ser([this] { return context_.session.today(); }, this);
    if (period_->exec() != QDialog::Accepted)
        return;
    const Settings& s = context_.session.settings();
    TaxOfficeCompany company;
    guarded([&] {
        company = {s.get(setting::kCompanyEik), s.get(setting::kCompanyName), s.get(setting::kCompanyAddress),
                   s.get(setting::kServicePhone), s.get(setting::kCompanyManager)};
    });
    if (company.eik.trimmed().isEmpty()) {
        showMessage(texts::kTaxOfficeNoEik);
        return;
    }
    const QSqlDatabase db = context_.session.db();
    QList<TaxOfficeDevice> devices;
    int leftOut = 0;
    if (!guarded([&] {
            devices = taxOfficeDevices(db, period_->from(), period_->to());
            leftOut = taxOfficeDevicesLeftOut(db, period_->from(), period_->to(), devices.size());
        }))
        return;
    showMessage(texts::kTaxOfficeFound.arg(devices.size()));
    if (leftOut > 0)
        showMessage(texts::kTaxOfficeLeftOut.arg(leftOut));
    QByteArray bytes;
    try {
        bytes = taxOfficeFileBytes(company, period_->from(), period_->to(), devices);
    } catch (const EConvertError& e) {
        showMessage(e.message());
        return;
    }
    const QString path = Messages::current().saveFileName(
        texts::kTaxOfficeSaveCaption, context_.session.programDir.root() + QStringLiteral("FISKAL.SER"),
        texts::kTaxOfficeFileFilter);
    if (path.isEmpty())
        return;
    try {
        writeTaxOfficeFile(path, bytes);
    } catch (const EInOutError&) {
        showMessage(texts::kTaxOfficeWriteFailed);
        return;
    }
    showMessage(texts::kTaxOfficeWritten.arg(QDir::toNativeSeparators(path)));
}

void FiscalServicePage::printDocuments() {
    const QString device = deviceNumber(ui->Edit_ID_EKA->text());
    std::optional<DeviceRecord> d;
    if (!guarded([&] { d = lookUpDevice(context_.session.db(), device); }))
        return;
    if (!d) {
        showMessage(texts::kDeviceNotRegistered.arg(device));
        return;
    }
    PrintRequest request = pageRequest(context_.session, PrintContext::FiscalService);
    request.rows = [device](const QSqlDatabase& db) { return deviceReportData(db, device); };
    if (dismantling_)
        request.companyFields.insert(dismantlingFields(dismantling_->totals()));
    const DocumentsToPrint what{ui->DocumentChoosers_FC->checkedDocuments(),
                                ui->DocumentChoosers_FC->checkedPrinters()};
    guarded([&] { torvika::printDocuments(context_.session, request, what, this); });
    ui->DocumentChoosers_FC->closeChoosers();
}

} // namespace torvika
