#include "fiscal_service/ui/fiscal_service_module.h"

#include "fiscal_service/texts.h"
#include "ui_fiscal_service_page.h"

namespace torvika {

FiscalServicePage::FiscalServicePage(QWidget* parent) : HostPage(parent), ui(new Ui::FiscalServicePage) {
    ui->setupUi(this);
}

FiscalServicePage::~FiscalServicePage() = default;

void FiscalServicePage::activated() {
    ui->Edit_ID_EKA->clear();
    ui->Edit_ID_EKA->setFocus();
}

void FiscalServiceModule::install(Host& host) {
    host.addPage(
        new FiscalServicePage,
        {2, texts::kFiscalServiceTab, texts::kFiscalServiceTitle, false, {Command::N_Nastr_Fisk_Ser}});
}

} // namespace torvika
