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
} // namespace

void KindGrid::setUpKinds(Session& session, const Kinds& kinds) {
    Records records;
    records.statement = kinds.statement;
    records.add = [this, add = kinds.add]() -> std::optional<QVariant> {
        const std::optional<QString> name =
            Messages::current().inputText(windowTitle(), texts::kKindNamePrompt, {});
        if (!name)
            return std::nullopt;
        return add(*name);
    };
    records.storeField = kinds.storeField;
    records.remove = [remove = kinds.remove](const QVariant& key) {
        remove(key.toLongLong());
        return true;
    };
    records.question = [this](int row) {
        return texts::kAskDeleteKind.arg(model()->value(row, kName).toString());
    };
    setUpRecords(gridContext(session), kinds.grid, kinds.columns, kinds.keyField, Style::InPlace, records);
    setEditableFields(kinds.editable);
    bindButton(kinds.addButton, RecordCommand::Insert);
    bindButton(kinds.deleteButton, RecordCommand::Delete);
    connect(kinds.closeButton, &QPushButton::clicked, this, &QDialog::accept);
    reread();
}

// ---- TForm_Na4_N_Dok

TForm_Na4_N_Dok::TForm_Na4_N_Dok(const WindowContext& context, QWidget* parent)
    : KindGrid(parent), ui(new Ui::TForm_Na4_N_Dok) {
    ui->setupUi(this);
    Session& session = context.session;
    auto storeField = [&session](const QVariant& key, const QString& field, const QString& text) {
        const QSqlDatabase db = session.db();
        const qint64 id = key.toLongLong();
        if (field == kName) {
            renameDocumentKind(db, session.programDir.documentationsDir(), id, text);
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
    };
    setUpKinds(
        session,
        {ui->DBGrid1,
         {{kName, QStringLiteral("Описание"), 24},
          {QStringLiteral("N_Dok"), QStringLiteral("Текущ номер"), 14},
          {QStringLiteral("Kade_se_izpolzva"), QStringLiteral("Къде се използва"), 24},
          {QStringLiteral("N_Copies"), QStringLiteral("Брой копия"), 10, GridColumnSpec::Integer}},
         QStringLiteral("ID_Dokument"),
         {kName, QStringLiteral("N_Dok"), QStringLiteral("Kade_se_izpolzva"), QStringLiteral("N_Copies")},
         documentKindsStatement,
         [&session](const QString& name) { return addDocumentKind(session.db(), name); },
         storeField,
         [&session](qint64 id) { deleteDocumentKind(session.db(), id); },
         ui->Button_Dobavi,
         ui->Button_Iztrij,
         ui->Button_Zatvori});
}

TForm_Na4_N_Dok::~TForm_Na4_N_Dok() = default;

// ---- TForm_Rab_Dokumenti

TForm_Rab_Dokumenti::TForm_Rab_Dokumenti(const WindowContext& context, QWidget* parent)
    : KindGrid(parent), ui(new Ui::TForm_Rab_Dokumenti) {
    ui->setupUi(this);
    Session& session = context.session;
    setUpKinds(session, {ui->DBGrid1,
                         {{kName, QStringLiteral("Описание"), 50}},
                         QStringLiteral("ID"),
                         {kName},
                         workKindsStatement,
                         [&session](const QString& name) { return addWorkKind(session.db(), name); },
                         [&session](const QVariant& key, const QString&, const QString& text) {
                             renameWorkKind(session.db(), key.toLongLong(), text);
                         },
                         [&session](qint64 id) { deleteWorkKind(session.db(), id); },
                         ui->Button_Dobavi,
                         ui->Button_Iztrij,
                         ui->Button_Zatvori});
}

TForm_Rab_Dokumenti::~TForm_Rab_Dokumenti() = default;

} // namespace torvika
