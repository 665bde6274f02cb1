#include "fiscal_service/ui/form_sv_bim.h"

#include "common/dates.h"
#include "common/errors.h"
#include "common/ref_text.h"
#include "common/ui/error_edge.h"
#include "common/ui/messages.h"
#include "counterparties/ui/counterparty_picker.h"
#include "fiscal_service/certificates.h"
#include "fiscal_service/texts.h"
#include "shell/session_grids.h"
#include "ui_form_sv_bim.h"

#include <QTableView>

namespace torvika {

namespace {
const QString kId = QStringLiteral("ID");
}

TForm_Sv_BIM::TForm_Sv_BIM(const WindowContext& context, QWidget* parent)
    : RecordWindow(parent), context_(context), ui(new Ui::TForm_Sv_BIM) {
    ui->setupUi(this);
    Records certificates;
    certificates.statement = certificatesStatement;
    certificates.show = [this](int row) {
        ui->Edit_Model->setText(model()->value(row, QStringLiteral("Model_Opis")).toString());
        ui->SpinEdit_SV_N->setText(row < 0 ? QStringLiteral("1")
                                           : model()->value(row, QStringLiteral("SV_ID")).toString());
        const QDate date =
            QDate::fromString(model()->value(row, QStringLiteral("SV_Data")).toString(), Qt::ISODate);
        ui->DateTimePicker1->setDate(date.isValid() ? date : context_.session.today());
        if (row >= 0)
            ui->Label_Kontrag->setText(refText(model()->value(row, QStringLiteral("ID_Plomb")).toLongLong(),
                                               model()->value(row, QStringLiteral("Ime_Firma")).toString()));
    };
    certificates.begin = [this] {
        // A new certificate keeps the last counterparty chosen.
        ui->Edit_Model->clear();
        ui->SpinEdit_SV_N->setText(QStringLiteral("1"));
        ui->DateTimePicker1->setDate(context_.session.today());
        return true;
    };
    certificates.store = [this](const QVariant& key) -> std::optional<QVariant> {
        Certificate c{ui->Edit_Model->text(), ui->SpinEdit_SV_N->text(), ui->DateTimePicker1->date(),
                      qMax(0, GetID_MFromTreeNodeName(ui->Label_Kontrag->text()))};
        if (c.model.trimmed().isEmpty()) {
            refuseField(texts::kCertificateNoModel, ui->Edit_Model);
            return std::nullopt;
        }
        if (c.number.trimmed().isEmpty()) {
            refuseField(texts::kCertificateNoNumber, ui->SpinEdit_SV_N);
            return std::nullopt;
        }
        const QSqlDatabase db = database();
        if (!key.isValid())
            return insertCertificate(db, c);
        // An edit keeps whether the model is forbidden.
        c.forbidden =
            model()->value(currentRow(), QStringLiteral("Zabranen")).toString() == QStringLiteral("True");
        updateCertificate(db, key.toLongLong(), c);
        return key;
    };
    certificates.remove = [this](const QVariant& key) {
        deleteCertificate(database(), key.toLongLong());
        return true;
    };
    certificates.question = [this](int row) {
        const qint64 id = model()->value(row, kId).toLongLong();
        const QString name = model()->value(row, QStringLiteral("Model_Opis")).toString();
        int devices = 0;
        guarded([&] { devices = devicesOfModel(database(), id); });
        return devices > 0 ? texts::kAskDeleteUsedCertificate.arg(name).arg(devices)
                           : texts::kAskDeleteCertificate.arg(name);
    };
    setUpRecords(gridContext(context_.session), ui->DBGrid1,
                 {{QStringLiteral("Model_Opis"), QStringLiteral("Модел ЕКА"), 24},
                  {QStringLiteral("SV_ID"), QStringLiteral("Свидетелство N:"), 14},
                  {QStringLiteral("SV_Data"), QStringLiteral("Дата"), 10, GridColumnSpec::Date},
                  {QStringLiteral("Ime_Firma"), QStringLiteral("Фискален център"), 24}},
                 kId, Style::LockedFields, certificates);
    setRecordFields({ui->Edit_Model, ui->SpinEdit_SV_N, ui->DateTimePicker1, ui->Label4});
    setRowButtons(ui->BitBtn_New, ui->BitBtn_Dell,
                  {texts::kCertificateAdd, texts::kCertificateAccept, texts::kCertificateDelete,
                   texts::kCertificateCancel});
    bindButton(ui->BitBtn_Edit, RecordCommand::Edit);
    connect(ui->DBGrid1, &QTableView::doubleClicked, this, [this] { run(RecordCommand::Edit); });
    connect(ui->Label4, &QPushButton::clicked, this, &TForm_Sv_BIM::Label4Click);
    reread();
}

TForm_Sv_BIM::~TForm_Sv_BIM() = default;

void TForm_Sv_BIM::showEvent(QShowEvent* event) {
    if (state() == Browse)
        reread(currentKey());
    RecordWindow::showEvent(event);
}

void TForm_Sv_BIM::addFollowUps(FollowUpRegistry& registry) {
    registry.of<CounterpartyPicker>().add(kSelectCertificate, [](QWidget* opener, const QString& ref) {
        openerWindow<TForm_Sv_BIM>(opener).takeCounterparty(ref);
    });
}

void TForm_Sv_BIM::takeCounterparty(const QString& ref) {
    if (state() == Browse && !noteFieldEdited())
        return;
    ui->Label_Kontrag->setText(ref);
}

void TForm_Sv_BIM::Label4Click() {
    pickCounterparty(context_, kSelectCertificate, this);
}

} // namespace torvika
