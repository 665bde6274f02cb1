#include "counterparties/ui/form_grupi_kontrag.h"

#include "common/new_keys.h"
#include "common/ui/messages.h"
#include "counterparties/group_tree.h"
#include "counterparties/texts.h"
#include "ui_form_grupi_kontrag.h"

namespace torvika {

TForm_Grupi_Kontrag::TForm_Grupi_Kontrag(const WindowContext& context, const QString& kind, QWidget* parent)
    : QDialog(parent), ui(new Ui::TForm_Grupi_Kontrag), session_(context.session) {
    ui->setupUi(this);
    setWindowTitle(texts::kEnteringGroup + kind);
    ui->Edit_Nomer->setText(QString::number(
        GET_MAX_NUMBER(session_.workspace.db(), QStringLiteral("Grupi_Kontrag"), QStringLiteral("ID"))));
    connect(ui->Button_Zapis, &QPushButton::clicked, this, &TForm_Grupi_Kontrag::Button_ZapisClick);
    connect(ui->Button_Otkaz, &QPushButton::clicked, this, &QDialog::reject);
}

TForm_Grupi_Kontrag::~TForm_Grupi_Kontrag() = default;

QString TForm_Grupi_Kontrag::name() const {
    return ui->Edit_Naimenovanie->text();
}

void TForm_Grupi_Kontrag::Button_ZapisClick() {
    bool ok = false;
    const qint64 number = ui->Edit_Nomer->text().trimmed().toLongLong(&ok);
    if (!ok || number <= 0) {
        showMessage(texts::kGroupNumberNotPositive);
        ui->Edit_Nomer->setFocus();
        return;
    }
    if (!addCounterpartyGroup(session_.workspace.db(), number, name())) {
        showMessage(texts::kGroupNumberTaken);
        reject();
        return;
    }
    number_ = number;
    accept();
}

} // namespace torvika
