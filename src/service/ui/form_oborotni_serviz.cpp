#include "service/ui/form_oborotni_serviz.h"

#include "common/ui/error_edge.h"
#include "service/service_reports.h"
#include "service/ui/service_settings.h"
#include "ui_form_oborotni_serviz.h"

namespace torvika {

TForm_Oborotni_Serviz::TForm_Oborotni_Serviz(const WindowContext& context, QWidget* parent)
    : QDialog(parent), ui(new Ui::TForm_Oborotni_Serviz), session_(context.session), context_(context) {
    ui->setupUi(this);
    Session& session = context.session;
    // The month so far.
    const QDate today = session.today();
    ui->DateTimePicker_Ot->setDate(QDate(today.year(), today.month(), 1));
    ui->DateTimePicker_Do->setDate(today);
    connect(ui->Button_Pokaji, &QPushButton::clicked, this, &TForm_Oborotni_Serviz::showTurnover);
    connect(ui->Button_Zatvori, &QPushButton::clicked, this, &QDialog::accept);
    showTurnover();
}

TForm_Oborotni_Serviz::~TForm_Oborotni_Serviz() = default;

void TForm_Oborotni_Serviz::showTurnover() {
    guarded([&] {
        const ServiceTurnover t =
            serviceTurnover(session_.db(), ui->DateTimePicker_Ot->date(), ui->DateTimePicker_Do->date());
        ui->Label_Priemani->setText(QString::number(t.received));
        ui->Label_Izdadeni->setText(QString::number(t.issued));
        ui->Label_Izd_Garanc->setText(QString::number(t.issuedWarranty));
        ui->Label_V_Serviz->setText(QString::number(t.inService));
        ui->Label_Oborot->setText(t.repairs.text(amountDecimals(session_)).trimmed());
    });
}

} // namespace torvika
