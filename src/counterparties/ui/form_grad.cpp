#include "counterparties/ui/form_grad.h"

#include "counterparties/texts.h"
#include "counterparties/towns.h"
#include "shell/session_grids.h"
#include "ui_form_grad.h"

namespace torvika {

TForm_Grad::TForm_Grad(const WindowContext& context, QWidget* parent)
    : RecordWindow(parent), ui(new Ui::TForm_Grad) {
    ui->setupUi(this);
    Session& session = context.session;
    Records towns;
    towns.statement = townsStatement;
    towns.show = [this](int row) {
        ui->DBEdit_Opisanie->setText(model()->value(row, QStringLiteral("Opisanie")).toString());
        ui->DBEdit_PK->setText(model()->value(row, QStringLiteral("PK")).toString());
        ui->DBEdit_TK->setText(model()->value(row, QStringLiteral("TK")).toString());
    };
    towns.store = [this, &session](const QVariant& key) -> std::optional<QVariant> {
        const Town town{ui->DBEdit_Opisanie->text(), ui->DBEdit_PK->text(), ui->DBEdit_TK->text()};
        if (!key.isValid())
            return insertTown(session.db(), town);
        updateTown(session.db(), key.toLongLong(), town);
        return key;
    };
    towns.remove = [&session](const QVariant& key) {
        deleteTown(session.db(), key.toLongLong());
        return true;
    };
    // The grid's titles are the captions of the fields.
    setUpRecords(gridContext(session), ui->DBGrid_Grad,
                 {{QStringLiteral("Opisanie"), ui->Label_Opisanie->text()},
                  {QStringLiteral("PK"), ui->Label_PK->text()},
                  {QStringLiteral("TK"), ui->Label_TK->text()}},
                 QStringLiteral("ID"), Style::OpenFields, towns);
    setRecordFields({ui->DBEdit_Opisanie, ui->DBEdit_PK, ui->DBEdit_TK});
    ui->DBNavigator->setVisibleCommands({RecordCommand::Insert, RecordCommand::Delete, RecordCommand::Edit,
                                         RecordCommand::Post, RecordCommand::Cancel});
    setNavigator(ui->DBNavigator);
    setReadFailureText(kIncorrectData);
    reread();
}

TForm_Grad::~TForm_Grad() = default;

} // namespace torvika
