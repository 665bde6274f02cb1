#include "fiscal_service/ui/period_dialog.h"

#include "common/ui/messages.h"
#include "fiscal_service/texts.h"
#include "ui_form_spr_tdd_fisk_ser.h"

namespace torvika {

TForm_SPR_TDD_Fisk_Ser::TForm_SPR_TDD_Fisk_Ser(std::function<QDate()> today, QWidget* parent)
    : QDialog(parent), ui(new Ui::TForm_SPR_TDD_Fisk_Ser), today_(std::move(today)) {
    ui->setupUi(this);
    connect(ui->Button1, &QPushButton::clicked, this, &TForm_SPR_TDD_Fisk_Ser::Button1Click);
}

TForm_SPR_TDD_Fisk_Ser::~TForm_SPR_TDD_Fisk_Ser() = default;

QDate TForm_SPR_TDD_Fisk_Ser::from() const {
    return ui->DateTimePicker_Ot->date();
}

QDate TForm_SPR_TDD_Fisk_Ser::to() const {
    return ui->DateTimePicker_Do->date();
}

void TForm_SPR_TDD_Fisk_Ser::showEvent(QShowEvent* event) {
    const QDate today = today_();
    ui->DateTimePicker_Ot->setDate(today);
    ui->DateTimePicker_Do->setDate(today);
    QDialog::showEvent(event);
}

void TForm_SPR_TDD_Fisk_Ser::Button1Click() {
    if (to() < from()) {
        showMessage(texts::kPeriodEndBeforeStart);
        ui->DateTimePicker_Do->setFocus();
        return;
    }
    accept();
}

} // namespace torvika
