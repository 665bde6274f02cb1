#include "documents/ui/kind_grids.h"

#include "common/ui/messages.h"
#include "documents/document_kinds.h"
#include "documents/template_files.h"
#include "documents/texts.h"
#include "shell/session_grids.h"
#include "ui_form_na4_n_dok.h"
#include "ui_form_rab_dokumenti.h"

namespace torvika {

namespace {

const QString kName = QStringLiteral("Opisanie");

// The name of a kind to add; nothing when the operator gives up.
std::optional<QString> askKindName(QWidget* window) {
    return Messages::current().inputText(window->windowTitle(), texts::kKindNamePrompt, {});
}

} // namespace

// ---- TForm_Na4_N_Dok

TForm_Na4_N_Dok::TForm_Na4_N_Dok(Session& session, QWidget* parent)
    : RecordWindow(parent), ui(new Ui::TForm_Na4_N_Dok), session_(session) {
    ui->setupUi(this);
    setUpRecords(gridContext(session_), ui->DBGrid1,
                 {{kName, QStringLiteral("Описание"), 24},
                  {QStringLiteral("N_Dok"), QStringLiteral("Текущ номер"), 14},
                  {QStringLiteral("Kade_se_izpolzva"), QStringLiteral("Къде се използва"), 24},
                  {QStringLiteral("N_Copies"), QStringLiteral("Брой копия"), 10, GridColumnSpec::Integer}},
                 QStringLiteral("ID_Dokument"), Style::InPlace);
    setEditableFields(
        {kName, QStringLiteral("N_Dok"), QStringLiteral("Kade_se_izpolzva"), QStringLiteral("N_Copies")});
    bindButton(ui->Button_Dobavi, RecordCommand::Insert);
    bindButton(ui->Button_Iztrij, RecordCommand::Delete);
    connect(ui->Button_Zatvori, &QPushButton::clicked, this, &QDialog::accept);
    reread();
}

TForm_Na4_N_Dok::~TForm_Na4_N_Dok() = default;

SqlStatement TForm_Na4_N_Dok::recordsStatement() const {
    return documentKindsStatement();
}

std::optional<QVariant> TForm_Na4_N_Dok::addRecord() {
    const std::optional<QString> name = askKindName(this);
    if (!name)
        return std::nullopt;
    return addDocumentKind(session_.db(), *name);
}

void TForm_Na4_N_Dok::storeField(const QVariant& key, const QString& field, const QString& text) {
    const QSqlDatabase db = session_.db();
    const qint64 id = key.toLongLong();
    if (field == kName) {
        renameDocumentKind(db, session_.programDir.documentationsDir(), id, text);
    } else if (field == QLatin1String("N_Dok")) {
        setDocumentNumber(db, id, text);
    } else if (field == QLatin1String("Kade_se_izpolzva")) {
        setDocumentPlaces(db, id, text);
    } else if (field == QLatin1String("N_Copies")) {
        bool ok = false;
        const int copies = text.trimmed().toInt(&ok);
        if (!ok)
            throw EDocumentError(texts::kCopiesNotNegative);
        setDocumentCopies(db, id, copies);
    }
}

bool TForm_Na4_N_Dok::deleteRecord(const QVariant& key) {
    deleteDocumentKind(session_.db(), key.toLongLong());
    return true;
}

QString TForm_Na4_N_Dok::deleteQuestion(int row) const {
    return texts::kAskDeleteKind.arg(model()->value(row, kName).toString());
}

// ---- TForm_Rab_Dokumenti

TForm_Rab_Dokumenti::TForm_Rab_Dokumenti(Session& session, QWidget* parent)
    : RecordWindow(parent), ui(new Ui::TForm_Rab_Dokumenti), session_(session) {
    ui->setupUi(this);
    setUpRecords(gridContext(session_), ui->DBGrid1, {{kName, QStringLiteral("Описание"), 50}},
                 QStringLiteral("ID"), Style::InPlace);
    setEditableFields({kName});
    bindButton(ui->Button_Dobavi, RecordCommand::Insert);
    bindButton(ui->Button_Iztrij, RecordCommand::Delete);
    connect(ui->Button_Zatvori, &QPushButton::clicked, this, &QDialog::accept);
    reread();
}

TForm_Rab_Dokumenti::~TForm_Rab_Dokumenti() = default;

SqlStatement TForm_Rab_Dokumenti::recordsStatement() const {
    return workKindsStatement();
}

std::optional<QVariant> TForm_Rab_Dokumenti::addRecord() {
    const std::optional<QString> name = askKindName(this);
    if (!name)
        return std::nullopt;
    return addWorkKind(session_.db(), *name);
}

void TForm_Rab_Dokumenti::storeField(const QVariant& key, const QString&, const QString& text) {
    renameWorkKind(session_.db(), key.toLongLong(), text);
}

bool TForm_Rab_Dokumenti::deleteRecord(const QVariant& key) {
    deleteWorkKind(session_.db(), key.toLongLong());
    return true;
}

QString TForm_Rab_Dokumenti::deleteQuestion(int row) const {
    return texts::kAskDeleteKind.arg(model()->value(row, kName).toString());
}

} // namespace torvika
