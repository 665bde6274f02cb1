#include "fiscal_service/ui/device_list_window.h"

#include "common/ui/error_edge.h"
#include "common/ui/messages.h"
#include "fiscal_service/certificates.h"
#include "fiscal_service/reports.h"
#include "fiscal_service/texts.h"
#include "shell/session_grids.h"
#include "ui_device_list_window.h"

namespace torvika {

namespace {

using C = GridColumnSpec;

QList<GridColumnSpec> deviceColumns() {
    return {{QStringLiteral("EKA"), QStringLiteral("Инд. номер ЕКА"), 12},
            {QStringLiteral("MFP"), QStringLiteral("Номер на МФП"), 12},
            {QStringLiteral("Dosie_ID"), QStringLiteral("Досие N"), 8, C::Integer},
            {QStringLiteral("Data_Reg"), QStringLiteral("Фискализиран"), 12, C::Date},
            {QStringLiteral("Ime_Firma"), QStringLiteral("Собственик"), 30},
            {QStringLiteral("EIK"), QStringLiteral("ЕИК"), 10},
            {QStringLiteral("Opisanie_Sk"), QStringLiteral("Обект"), 20},
            {QStringLiteral("Model_Opis"), QStringLiteral("Модел"), 16},
            {QStringLiteral("Serv_Ime"), QStringLiteral("Сервизен център"), 20},
            {QStringLiteral("TDD_Ime"), QStringLiteral("Данъчна служба"), 16},
            {QStringLiteral("Dog_N"), QStringLiteral("Договор N"), 16},
            {QStringLiteral("Dog_Ot"), QStringLiteral("Сключен"), 10, C::Date},
            {QStringLiteral("Valid_Do"), QStringLiteral("Валиден до"), 10, C::Date}};
}

QList<GridColumnSpec> columnsOf(DeviceList list) {
    switch (list) {
    case DeviceList::Devices:
    case DeviceList::ExpiredContracts:
        return deviceColumns();
    case DeviceList::InService:
        return {{QStringLiteral("N_Prodajba"), QStringLiteral("Приемане N"), 8, C::Integer},
                {QStringLiteral("EKA"), QStringLiteral("Инд. номер ЕКА"), 12},
                {QStringLiteral("Ime_Firma"), QStringLiteral("Собственик"), 30},
                {QStringLiteral("Data_Priem"), QStringLiteral("Приет на"), 10, C::Date},
                {QStringLiteral("Pri4ina"), QStringLiteral("Причина"), 30},
                {QStringLiteral("Operator"), QStringLiteral("Оператор"), 16}};
    case DeviceList::Repairs:
        return {{QStringLiteral("N_Priem"), QStringLiteral("Приемане N"), 8, C::Integer},
                {QStringLiteral("Data_Priem"), QStringLiteral("Приет на"), 10, C::Date},
                {QStringLiteral("Data_Izd"), QStringLiteral("Издаден на"), 10, C::Date},
                {QStringLiteral("Pri4ina"), QStringLiteral("Причина"), 24},
                {QStringLiteral("Remont"), QStringLiteral("Ремонт"), 30},
                {QStringLiteral("Kol"), QStringLiteral("Кол."), 6, C::Number},
                {QStringLiteral("ED_Cena"), QStringLiteral("Цена"), 8, C::Number},
                {QStringLiteral("Oper_Remont"), QStringLiteral("Техник"), 16}};
    case DeviceList::ForbiddenModels:
        return {{QStringLiteral("Model_Opis"), QStringLiteral("Модел ЕКА"), 24},
                {QStringLiteral("SV_ID"), QStringLiteral("Свидетелство N:"), 12},
                {QStringLiteral("SV_Data"), QStringLiteral("Дата"), 10, C::Date},
                {QStringLiteral("Ime_Firma"), QStringLiteral("Фискален център"), 24},
                {QStringLiteral("Zabranen"), QStringLiteral("Забранен"), 8}};
    }
    return {};
}

QString keyOf(DeviceList list) {
    switch (list) {
    case DeviceList::InService:
        return QStringLiteral("N_Prodajba");
    case DeviceList::Repairs:
        return QStringLiteral("N_Priem");
    case DeviceList::ForbiddenModels:
        return QStringLiteral("ID");
    default:
        return QStringLiteral("EKA");
    }
}

QString titleOf(DeviceList list) {
    switch (list) {
    case DeviceList::Devices:
        return texts::kListDevices;
    case DeviceList::ExpiredContracts:
        return texts::kListExpired;
    case DeviceList::InService:
        return texts::kListInService;
    case DeviceList::Repairs:
        return texts::kListRepairs;
    case DeviceList::ForbiddenModels:
        return texts::kListForbiddenModels;
    }
    return {};
}

} // namespace

TForm_Fisk_Spravka::TForm_Fisk_Spravka(const WindowContext& context, DeviceList list, QWidget* parent,
                                       const QString& text)
    : ListWindow(parent), context_(context), list_(list), ui(new Ui::TForm_Fisk_Spravka) {
    ui->setupUi(this);
    setWindowTitle(titleOf(list));
    const QDate today = context_.session.today();
    ui->DateTimePicker_Ot->setDate(today.addMonths(-1));
    ui->DateTimePicker_Do->setDate(today);
    ui->Edit_Tarsi->setText(text);
    // Which filters each list has.
    const bool byText = list == DeviceList::Devices || list == DeviceList::Repairs;
    const bool byDates = list == DeviceList::Devices || list == DeviceList::ExpiredContracts;
    for (QWidget* w : QList<QWidget*>{ui->Label_Tarsi, ui->Edit_Tarsi})
        w->setVisible(byText);
    for (QWidget* w :
         QList<QWidget*>{ui->CheckBox_Period, ui->DateTimePicker_Ot, ui->Label_Do, ui->DateTimePicker_Do})
        w->setVisible(byDates);
    if (list == DeviceList::ExpiredContracts)
        ui->Label_Do->setText(texts::kExpiredBy);
    ui->Button_Tarsi->setVisible(byText || byDates);
    ui->Button_Zabrani->setVisible(list == DeviceList::ForbiddenModels);

    setUpList(gridContext(context_.session), ui->DBGrid_Spravka, columnsOf(list), keyOf(list));
    connect(ui->Button_Tarsi, &QPushButton::clicked, this, &TForm_Fisk_Spravka::Button_TarsiClick);
    connect(ui->Button_Zabrani, &QPushButton::clicked, this, &TForm_Fisk_Spravka::Button_ZabraniClick);
    connect(ui->Button_Pechat, &QPushButton::clicked, this, [this] {
        printList({titleOf(list_), {titleOf(list_)}});
    });
    connect(ui->Button_Izhod, &QPushButton::clicked, this, &QDialog::accept);
    Button_TarsiClick();
}

TForm_Fisk_Spravka::~TForm_Fisk_Spravka() = default;

SqlStatement TForm_Fisk_Spravka::statementNow() const {
    const bool period = ui->CheckBox_Period->isChecked();
    switch (list_) {
    case DeviceList::Devices:
        return devicesStatement({ui->Edit_Tarsi->text(), period ? ui->DateTimePicker_Ot->date() : QDate(),
                                 period ? ui->DateTimePicker_Do->date() : QDate()});
    case DeviceList::ExpiredContracts:
        return expiredContractsStatement(ui->DateTimePicker_Do->date(),
                                         period ? ui->DateTimePicker_Ot->date() : QDate());
    case DeviceList::InService:
        return devicesInServiceStatement();
    case DeviceList::Repairs:
        return repairsOfDeviceStatement(ui->Edit_Tarsi->text());
    case DeviceList::ForbiddenModels:
        return certificatesStatement();
    }
    return {};
}

void TForm_Fisk_Spravka::Button_TarsiClick() {
    if (ui->CheckBox_Period->isVisible() && ui->CheckBox_Period->isChecked() &&
        ui->DateTimePicker_Do->date() < ui->DateTimePicker_Ot->date()) {
        showMessage(texts::kPeriodEndBeforeStart);
        return;
    }
    search([this] { return statementNow(); }, texts::kListFailed);
}

void TForm_Fisk_Spravka::Button_ZabraniClick() {
    const QVariant key = currentKey();
    if (!key.isValid())
        return;
    const int row = grid()->currentIndex().row();
    const bool forbidden =
        model()->value(row, QStringLiteral("Zabranen")).toString() == QStringLiteral("True");
    if (guarded([&] { setModelForbidden(database(), key.toLongLong(), !forbidden); })) {
        search([this] { return statementNow(); }, texts::kListFailed);
        positionOn(key);
    }
}

void TForm_Fisk_Spravka::listShown() {
    ui->Label_Broi->setText(texts::kListCount.arg(model()->rowCount()));
}

} // namespace torvika
