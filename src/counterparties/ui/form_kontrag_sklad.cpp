#include "counterparties/ui/form_kontrag_sklad.h"

#include "counterparties/sites_accounts.h"
#include "counterparties/texts.h"

#include <QFormLayout>
#include <QLineEdit>

namespace torvika {

TForm_Kontrag_Sklad::TForm_Kontrag_Sklad(Session& session, qint64 counterparty, const QString& refText,
                                         QWidget* parent)
    : DetailsDialog(session, counterparty, refText, parent) {
    setObjectName(QStringLiteral("Form_Kontrag_Sklad"));
    setWindowTitle(kSitesTitle);
    const std::pair<const char*, QString> fields[] = {
        {"Edit_Opisanie", QStringLiteral("Описание")}, {"Edit_Grad", QStringLiteral("Град")},
        {"Edit_Adres", QStringLiteral("Адрес")},       {"Edit_Telefon", QStringLiteral("Телефон")},
        {"Edit_MOL", QStringLiteral("МОЛ")},           {"Edit_EGN", QStringLiteral("ЕГН")},
        {"Edit_LK", QStringLiteral("Лична карта")},    {"Edit_Izdadena_Ot", QStringLiteral("Издадена от")}};
    for (const auto& [name, caption] : fields) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        this->fields()->addRow(caption, e);
        edits_ << e;
    }
    finishSetUp({QStringLiteral("N"), QStringLiteral("Описание"), QStringLiteral("Град"),
                 QStringLiteral("Адрес"), QStringLiteral("Телефон"), QStringLiteral("МОЛ"),
                 QStringLiteral("ЕГН на МОЛ"), QStringLiteral("ЛК на МОЛ"), QStringLiteral("Издадена от ")});
}

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
    s.name = edits_[0]->text();
    s.town = edits_[1]->text();
    s.address = edits_[2]->text();
    s.phone = edits_[3]->text();
    s.mol = edits_[4]->text();
    s.molEgn = edits_[5]->text();
    s.molCard = edits_[6]->text();
    s.cardIssuer = edits_[7]->text();
    if (isNew)
        insertSite(session_.workspace.db(), counterparty_, s);
    else
        updateSite(session_.workspace.db(), counterparty_, s);
}

} // namespace torvika
