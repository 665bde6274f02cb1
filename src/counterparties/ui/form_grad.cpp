#include "counterparties/ui/form_grad.h"

#include "counterparties/texts.h"
#include "counterparties/towns.h"
#include "shell/session_grids.h"
#include "ui_form_grad.h"

namespace torvika {

TForm_Grad::TForm_Grad(Session& session, QWidget* parent)
    : RecordWindow(parent), ui(new Ui::TForm_Grad), session_(session) {
    ui->setupUi(this);
    // The grid's titles are the captions of the fields.
    setUpRecords(gridContext(session_), ui->DBGrid_Grad,
                 {{QStringLiteral("Opisanie"), ui->Label_Opisanie->text()},
                  {QStringLiteral("PK"), ui->Label_PK->text()},
                  {QStringLiteral("TK"), ui->Label_TK->text()}},
                 QStringLiteral("ID"), Style::OpenFields);
    setRecordFields({ui->DBEdit_Opisanie, ui->DBEdit_PK, ui->DBEdit_TK});
    ui->DBNavigator->setVisibleCommands({RecordCommand::Insert, RecordCommand::Delete, RecordCommand::Edit,
                                         RecordCommand::Post, RecordCommand::Cancel});
    setNavigator(ui->DBNavigator);
    setReadFailureText(kIncorrectData);
    reread();
}

TForm_Grad::~TForm_Grad() = default;

SqlStatement TForm_Grad::recordsStatement() const {
    return townsStatement();
}

void TForm_Grad::showRecord(int row) {
    ui->DBEdit_Opisanie->setText(model()->value(row, QStringLiteral("Opisanie")).toString());
    ui->DBEdit_PK->setText(model()->value(row, QStringLiteral("PK")).toString());
    ui->DBEdit_TK->setText(model()->value(row, QStringLiteral("TK")).toString());
}

std::optional<QVariant> TForm_Grad::storeRecord(const QVariant& key) {
    const Town town{ui->DBEdit_Opisanie->text(), ui->DBEdit_PK->text(), ui->DBEdit_TK->text()};
    if (!key.isValid())
        return insertTown(session_.db(), town);
    updateTown(session_.db(), key.toLongLong(), town);
    return key;
}

bool TForm_Grad::deleteRecord(const QVariant& key) {
    deleteTown(session_.db(), key.toLongLong());
    return true;
}

} // namespace torvika
