#include "counterparties/ui/details_dialog.h"

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
    // The fields in the order of the grid's columns after the key.
    const QList<QLineEdit*> edits{ui->Edit_Opisanie, ui->Edit_Grad, ui->Edit_Adres, ui->Edit_Telefon,
                                  ui->Edit_MOL,      ui->Edit_EGN,  ui->Edit_LK,    ui->Edit_Izdadena_Ot};
    Details sites;
    sites.columns = {{QStringLiteral("ID_Sk"), QStringLiteral("N")},
                     {QStringLiteral("Opisanie_Sk"), QStringLiteral("Описание")},
                     {QStringLiteral("Grad_SK"), QStringLiteral("Град")},
                     {QStringLiteral("Adres_SK"), QStringLiteral("Адрес")},
                     {QStringLiteral("Tel_SK"), QStringLiteral("Телефон")},
                     {QStringLiteral("MOL_SK"), QStringLiteral("МОЛ")},
                     {QStringLiteral("EGN_MOL_SK"), QStringLiteral("ЕГН на МОЛ")},
                     {QStringLiteral("LK_Mol_Sk"), QStringLiteral("ЛК на МОЛ")},
                     {QStringLiteral("LK_Izd_Ot"), QStringLiteral("Издадена от ")}};
    sites.statement = [counterparty] { return sitesStatement(counterparty); };
    sites.clear = [edits] {
        for (QLineEdit* e : edits)
            e->clear();
    };
    sites.load = [this, edits](int row) {
        for (int i = 0; i < edits.size(); ++i)
            edits[i]->setText(model()->value(row, i + 1).toString());
    };
    sites.save = [this, edits](const QVariant& key) {
        Site s{key.toLongLong(), edits[0]->text(), edits[1]->text(), edits[2]->text(), edits[3]->text(),
               edits[4]->text(), edits[5]->text(), edits[6]->text(), edits[7]->text()};
        if (!key.isValid())
            return insertSite(session_.db(), counterparty_, s);
        updateSite(session_.db(), counterparty_, s);
        return s.id;
    };
    setUpDetails(sites);
}

TForm_Kontrag_Sklad::~TForm_Kontrag_Sklad() = default;

} // namespace torvika
