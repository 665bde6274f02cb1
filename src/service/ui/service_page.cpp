#include "service/ui/service_page.h"

#include "catalogue/reference_lists.h"
#include "common/ref_text.h"
#include "common/ui/error_edge.h"
#include "counterparties/ui/counterparty_picker.h"
#include "counterparties/ui/quick_search.h"
#include "documents/ui/document_choosers.h"
#include "documents/ui/document_printer.h"
#include "service/intake_lines.h"
#include "shell/vat_rates.h"
#include "ui_service_page.h"

#include <QLineEdit>
#include <QListWidget>

namespace torvika {

ServicePage::ServicePage(Host& host, QWidget* parent)
    : HostPage(parent), ui(new Ui::ServicePage), host_(host) {
    ui->setupUi(this);
    ui->QuickSearch_Kontrag_Ser->setUp(host.context(), QuickSearchPage::Service, this);
    ui->DocumentChoosers->setUp(host.session(), PrintContext::Service, QStringLiteral("_Ser"));
    connect(ui->Button3, &QPushButton::clicked, this, &ServicePage::Button3Click);
}

void ServicePage::addFollowUps(FollowUpRegistry& followUps) {
    CounterpartyQuickSearch* search = ui->QuickSearch_Kontrag_Ser;
    followUps.of<CounterpartyPicker>().add(kSelectServiceClient, [search](QWidget*, const QString& ref) {
        search->field()->setText(ref);
        search->list()->hide();
    });
}

DocumentChoosers* ServicePage::documentChoosers() const {
    return ui->DocumentChoosers;
}

LineAmounts ServicePage::documentAmounts() const {
    Session& session = host_.session();
    // A repair is a service at the standard rate.
    return [&session](const QSqlDatabase& db, const QList<qint64>& lines) {
        return splitVatByRate(
            {{0, companyVatRates(session).of(kStandardTaxGroup), intakeRepairTotal(db, lines)}});
    };
}

void ServicePage::Button3Click() {
    Session& session = host_.session();
    PrintRequest request;
    if (!guarded([&] { request = pageRequest(session, PrintContext::Service); }))
        return;
    request.lines = selectedIntakeLines();
    request.counterparty = std::max(0, GetID_MFromTreeNodeName(ui->QuickSearch_Kontrag_Ser->field()->text()));
    request.amounts = documentAmounts();
    printDocuments(session, request,
                   {ui->DocumentChoosers->checkedDocuments(), ui->DocumentChoosers->checkedPrinters()}, this);
    ui->DocumentChoosers->closeChoosers();
}

ServicePage::~ServicePage() = default;

void ServicePage::formShown(bool current) {
    if (current)
        ui->Edit_SN->setFocus();
}

void ServicePage::activated() {
    ui->ComboBox_Valuta->clear();
    ui->ComboBox_Otdel->clear();
    Session& session = host_.session();
    if (session.workspace.isOpen()) {
        logged([&] {
            ui->ComboBox_Valuta->addItems(currencyNames(session.db()));
            ui->ComboBox_Otdel->addItems(departmentItems(session.db()));
        });
    }
    ui->ComboBox_Otdel->setCurrentIndex(ui->ComboBox_Otdel->count() > 0 ? 0 : -1);
    ui->DateTimePicker_Krai_Data->setDate(session.today());
    ui->ComboBox_Valuta->setCurrentIndex(ui->ComboBox_Valuta->count() > 0 ? 0 : -1);
    ui->Edit_SN->setFocus();
}

} // namespace torvika
