#include "counterparties/ui/details_dialog.h"

#include "common/errors.h"
#include "common/ui/error_edge.h"
#include "counterparties/texts.h"
#include "shell/session_grids.h"
#include "ui_details_dialog.h"

namespace torvika {

DetailsDialog::DetailsDialog(const WindowContext& context, qint64 counterparty, const QString& refText,
                             QWidget* parent)
    : RecordWindow(parent), session_(context.session), counterparty_(counterparty),
      ui(new Ui::DetailsDialog) {
    ui->setupUi(this);
    ui->Label_Kontragent->setText(refText);
}

DetailsDialog::~DetailsDialog() = default;

QWidget* DetailsDialog::fieldsPanel() const {
    return ui->Panel_Fields;
}

void DetailsDialog::setUpDetails(const Details& details) {
    Records records;
    records.statement = details.statement;
    // Idle, the fields are empty: a row is shown in them only to be edited.
    records.show = [clear = details.clear](int) { clear(); };
    // "НОВ" takes the fields as they are.
    records.begin = [] { return true; };
    records.store = [save = details.save](const QVariant& key) -> std::optional<QVariant> {
        // A save that fails keeps the fields as typed and says what
        // happened: a busy database is not incomplete data.
        try {
            return save(key);
        } catch (const EDatabaseBusy&) {
            throw;
        } catch (const EDatabaseError& e) {
            reportError(e, kIncompleteData);
            return std::nullopt;
        }
    };
    records.stateChanged = [this, details](State state) {
        if (state == Edit)
            details.load(currentRow());
        if (state != Browse && details.entering)
            details.entering();
    };
    // The grid holds still while a row is entered; the fields stay open.
    setUpRecords(gridContext(session_), ui->DBGrid1, details.columns, details.columns.value(0).field,
                 Style::LockedFields, records);
    setRowButtons(ui->Button1, ui->Button2, {kCaptionNew, kCaptionSave, kCaptionDelete, kCaptionCancel});
    connect(ui->DBGrid1, &QTableView::doubleClicked, this, [this] { run(RecordCommand::Edit); });
    reread();
}

} // namespace torvika
