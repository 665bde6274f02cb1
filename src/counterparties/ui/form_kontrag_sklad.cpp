#include "counterparties/ui/form_kontrag_sklad.h"

#include "counterparties/sites_accounts.h"
#include "counterparties/texts.h"
#include "ui_form_kontrag_sklad.h"

namespace torvika {

TForm_Kontrag_Sklad::TForm_Kontrag_Sklad(const WindowContext& context, qint64 counterparty,
                                         const QString& refText, QWidget* parent)
    : DetailsDialog(context, counterparty, refText, parent), ui(new Ui::TForm_Kontrag_Sklad) {
    ui->setupUi(fieldsPanel());
    setObjectName(QStringLiteral("Form_Kontrag_Sklad"));
    setWindowTitle(kSitesTitle);
    edits_ = {ui->Edit_Opisanie, ui->Edit_Grad, ui->Edit_Adres, ui->Edit_Telefon,
              ui->Edit_MOL,      ui->Edit_EGN,  ui->Edit_LK,    ui->Edit_Izdadena_Ot};
    finishSetUp({QStringLiteral("N"), QStringLiteral("Описание"), QStringLiteral("Град"),
                 QStringLiteral("Адрес"), QStringLiteral("Телефон"), QStringLiteral("МОЛ"),
                 QStringLiteral("ЕГН на МОЛ"), QStringLiteral("ЛК на МОЛ"), QStringLiteral("Издадена от ")});
}

TForm_Kontrag_Sklad::~TForm_Kontrag_Sklad() = default;

SqlStatement TForm_Kontrag_Sklad::statement() const {
    return sitesStatement(counterparty_);
}

void TForm_Kontrag_Sklad::clearFields() {
    for (QLineEdit* e : edits_)
        e->clear();
}

void TForm_Kontrag_Sklad::loadRow(int row) {
    for (int i = 0; i < edits_.size(); ++i)
        edits_[i]->setText(value(row, i + 1).toString());
}

void TForm_Kontrag_Sklad::save(bool isNew) {
    Site s;
    s.id = rowId();
    s.name = ui->Edit_Opisanie->text();
    s.town = ui->Edit_Grad->text();
    s.address = ui->Edit_Adres->text();
    s.phone = ui->Edit_Telefon->text();
    s.mol = ui->Edit_MOL->text();
    s.molEgn = ui->Edit_EGN->text();
    s.molCard = ui->Edit_LK->text();
    s.cardIssuer = ui->Edit_Izdadena_Ot->text();
    if (isNew)
        insertSite(session_.workspace.db(), counterparty_, s);
    else
        updateSite(session_.workspace.db(), counterparty_, s);
}

} // namespace torvika
