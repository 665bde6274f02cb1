#include "service/ui/service_page.h"

#include "catalogue/reference_lists.h"
#include "common/ui/error_edge.h"
#include "counterparties/ui/counterparty_picker.h"
#include "counterparties/ui/quick_search.h"
#include "ui_service_page.h"

#include <QListWidget>

namespace torvika {

ServicePage::ServicePage(Host& host, QWidget* parent)
    : HostPage(parent), ui(new Ui::ServicePage), host_(host) {
    ui->setupUi(this);
    CounterpartyQuickSearch* search = ui->QuickSearch_Kontrag_Ser;
    search->setUp(host.session(), QuickSearchPage::Service, this);
    auto takeClient = [search](const QString& ref) {
        search->field()->setText(ref);
        search->list()->hide();
    };
    counterpartyFollowUps().add(kSelectServiceClient, takeClient, this);
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
