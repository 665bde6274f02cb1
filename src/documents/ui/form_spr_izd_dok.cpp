#include "documents/ui/form_spr_izd_dok.h"

#include "common/base_currency.h"
#include "common/cformat.h"
#include "common/ref_text.h"
#include "common/texts.h"
#include "common/ui/error_edge.h"
#include "common/ui/form_koloni.h"
#include "common/ui/messages.h"
#include "documents/credit_note.h"
#include "documents/document_kinds.h"
#include "documents/texts.h"
#include "documents/ui/document_printer.h"
#include "shell/session_grids.h"
#include "shell/vat_rates.h"
#include "ui_form_spr_izd_dok.h"

#include <QItemSelectionModel>
#include <QShowEvent>

namespace torvika {

namespace {

const QString kKey = QStringLiteral("Doc_Key");

void setChecked(QCheckBox* box, bool on) {
    const QSignalBlocker block(box);
    box->setChecked(on);
}

} // namespace

TForm_Spr_Izd_Dok::TForm_Spr_Izd_Dok(const WindowContext& context, QWidget* parent)
    : ListWindow(parent), ui(new Ui::TForm_Spr_Izd_Dok), context_(context), session_(context.session) {
    ui->setupUi(this);
    using F = GridColumnSpec;
    setUpList(gridContext(session_), ui->DBGrid_Dok,
              {{QStringLiteral("Opisanie"), QStringLiteral("Вид документ"), 20},
               {QStringLiteral("N_Dok"), QStringLiteral("Док. N"), 12},
               {QStringLiteral("Opisanie_K"), QStringLiteral("Контрагент"), 26},
               {QStringLiteral("Data"), QStringLiteral("Дата"), 10, F::Date},
               {QStringLiteral("fTime"), QStringLiteral("Час"), 8, F::Time},
               {QStringLiteral("Operator"), QStringLiteral("Оператор"), 14}},
              kKey, true);
    addColumnMenu(ui->DBGrid_Dok);

    const int d = session_.displayDecimals();
    lines_ = new StatementModel(this);
    lines_->setPageSize(0);
    lines_->setColumns(
        {{QStringLiteral("ID_Prod"), QStringLiteral("Прод. N"), 8, F::Integer},
         {QStringLiteral("Barkod"), QStringLiteral("Арт. N"), 8, F::Integer},
         {QStringLiteral("Opisanie"), QStringLiteral("Описание"), 28},
         {QStringLiteral("Kol"), QStringLiteral("Кол."), 8, F::Number, d},
         {QStringLiteral("Ed_Cena"), QStringLiteral("Ед.цена"), 9, F::Number, d},
         {QStringLiteral("Valuta"), QStringLiteral("Валута"), 7},
         {QStringLiteral("T_O"), QStringLiteral("ТО"), 6, F::Number, 2},
         {QStringLiteral("Suma"), baseCurrencyForCaptions(session_.db()).totalsCaption, 11, F::Number, 2},
         {QStringLiteral("Pored_Ot"), QStringLiteral("Поред. от/ Сер. номер"), 20},
         {QStringLiteral("Pored_Do"), QStringLiteral("Поред. до/ Гаранция"), 20}});
    setUpStatementGrid(ui->DBGrid_Art, lines_);
    addColumnMenu(ui->DBGrid_Art);
    ui->Splitter_Grids->setStretchFactor(0, 3);
    ui->Splitter_Grids->setStretchFactor(1, 2);

    ui->ComboBox1->addItems(
        {texts::kDateEqual, texts::kDateAtMost, texts::kDateAtLeast, texts::kDateBetween});
    ui->CheckListBox_New_Dok->setSelectionMode(QAbstractItemView::NoSelection);

    connect(ui->ChkBox_Vid_Dok, &QCheckBox::clicked, this, &TForm_Spr_Izd_Dok::kindTicked);
    connect(ui->ChkBox_N_Dok, &QCheckBox::clicked, ui->Edit_N_Dok, &QWidget::setEnabled);
    connect(ui->ChkBox_Data, &QCheckBox::clicked, this, &TForm_Spr_Izd_Dok::dateTicked);
    connect(ui->ChkBox_Operator, &QCheckBox::clicked, this, &TForm_Spr_Izd_Dok::operatorTicked);
    connect(ui->ChkBox_Kontragent, &QCheckBox::clicked, this, &TForm_Spr_Izd_Dok::counterpartyTicked);
    connect(ui->ChkBox_Artikul, &QCheckBox::clicked, this, &TForm_Spr_Izd_Dok::articleTicked);
    connect(ui->ComboBox1, &QComboBox::currentIndexChanged, this, &TForm_Spr_Izd_Dok::dateOperatorChanged);
    // Moving to a document, by mouse or arrow key, shows its lines.
    connect(ui->DBGrid_Dok->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TForm_Spr_Izd_Dok::showLines);
    connect(ui->Button_Search, &QPushButton::clicked, this, &TForm_Spr_Izd_Dok::Button_SearchClick);
    connect(ui->Button_Pe4at, &QPushButton::clicked, this, &TForm_Spr_Izd_Dok::Button_Pe4atClick);
    connect(ui->Button1, &QPushButton::clicked, this, &TForm_Spr_Izd_Dok::Button1Click);
    dateOperatorChanged();
}

TForm_Spr_Izd_Dok::~TForm_Spr_Izd_Dok() = default;

void TForm_Spr_Izd_Dok::showEvent(QShowEvent* e) {
    ListWindow::showEvent(e);
    if (!e->spontaneous())
        FormShow();
}

// Each showing starts from no filter: the boxes cleared, their controls
// disabled and back at their first state.
void TForm_Spr_Izd_Dok::FormShow() {
    for (QCheckBox* box : {ui->ChkBox_Vid_Dok, ui->ChkBox_N_Dok, ui->ChkBox_Data, ui->ChkBox_Operator,
                           ui->ChkBox_Kontragent, ui->ChkBox_Artikul})
        setChecked(box, false);
    for (QWidget* w :
         {static_cast<QWidget*>(ui->ComboBox_Vid_Dok), static_cast<QWidget*>(ui->Edit_N_Dok),
          static_cast<QWidget*>(ui->ComboBox1), static_cast<QWidget*>(ui->DateTimePicker_Data),
          static_cast<QWidget*>(ui->DateTimePicker_Do), static_cast<QWidget*>(ui->ComboBox_Operator),
          static_cast<QWidget*>(ui->Label_Kontrag), static_cast<QWidget*>(ui->Label_Art)})
        w->setEnabled(false);
    ui->ComboBox1->setCurrentIndex(0);
    ui->DateTimePicker_Data->setDate(session_.today());
    ui->DateTimePicker_Do->setDate(session_.today());
    ui->Label_Kontrag->setText(texts::kNoCounterpartyChosen);
    ui->Label_Art->setText(texts::kNoIssuedArticle);
    ui->CheckListBox_New_Dok->clear();
    guarded([&] {
        for (const QString& kind : documentKindsFor(session_.db(), PrintContext::Shop)) {
            auto* item = new QListWidgetItem(kind, ui->CheckListBox_New_Dok);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Unchecked);
        }
    });
    // The choosers stay off where no module serves them.
    const auto& choosers = context_.host.followUps().of<IssuedDocumentsChoosers>();
    ui->ChkBox_Kontragent->setEnabled(choosers.has(kChooseIssuedCounterparty));
    ui->ChkBox_Artikul->setEnabled(choosers.has(kChooseIssuedArticle));
}

QString TForm_Spr_Izd_Dok::sortField(int column) const {
    return model()->columns().value(column).field;
}

// ---- the filters

void TForm_Spr_Izd_Dok::kindTicked(bool on) {
    ui->ComboBox_Vid_Dok->setEnabled(on);
    if (!on)
        return;
    ui->ComboBox_Vid_Dok->clear();
    guarded([&] { ui->ComboBox_Vid_Dok->addItems(numberedKindItems(session_.db())); });
    ui->ComboBox_Vid_Dok->setCurrentIndex(0);
}

void TForm_Spr_Izd_Dok::dateTicked(bool on) {
    ui->ComboBox1->setEnabled(on);
    ui->DateTimePicker_Data->setEnabled(on);
    ui->ComboBox1->setCurrentIndex(0);
    ui->DateTimePicker_Data->setDate(session_.today());
    ui->DateTimePicker_Do->setDate(session_.today());
    dateOperatorChanged();
}

void TForm_Spr_Izd_Dok::dateOperatorChanged() {
    const bool between = ui->ComboBox1->currentIndex() == int(ValueComparison::Between);
    ui->Label_Do->setVisible(between);
    ui->DateTimePicker_Do->setVisible(between);
    ui->DateTimePicker_Do->setEnabled(between && ui->ChkBox_Data->isChecked());
}

void TForm_Spr_Izd_Dok::operatorTicked(bool on) {
    ui->ComboBox_Operator->setEnabled(on);
    if (!on)
        return;
    ui->ComboBox_Operator->clear();
    guarded([&] { ui->ComboBox_Operator->addItems(operatorNames(session_.db())); });
    ui->ComboBox_Operator->setCurrentIndex(0);
}

void TForm_Spr_Izd_Dok::counterpartyTicked(bool on) {
    ui->Label_Kontrag->setEnabled(on);
    if (!on) {
        ui->Label_Kontrag->setText(texts::kNoCounterpartyChosen);
        return;
    }
    // The list opened over the report hands its choice to setCounterparty;
    // closed without a choice, the filter stays on "0": documents issued
    // without a counterparty.
    context_.host.followUps().of<IssuedDocumentsChoosers>().run(kChooseIssuedCounterparty, this, 0);
}

void TForm_Spr_Izd_Dok::setCounterparty(const QString& refText) {
    ui->Label_Kontrag->setText(refText);
}

void TForm_Spr_Izd_Dok::articleTicked(bool on) {
    ui->Label_Art->setEnabled(on);
    if (!on) {
        ui->Label_Art->setText(texts::kNoIssuedArticle);
        return;
    }
    context_.host.followUps().of<IssuedDocumentsChoosers>().run(kChooseIssuedArticle, this, 0);
}

void TForm_Spr_Izd_Dok::setArticle(const QString& refText) {
    ui->Label_Art->setText(refText);
}

IssuedDocumentFilter TForm_Spr_Izd_Dok::filter() const {
    IssuedDocumentFilter f;
    f.place = ui->RadioButton_Servis->isChecked() ? kIssuedInService : kIssuedInShop;
    if (ui->ChkBox_Vid_Dok->isChecked())
        f.kind = std::max(0, GetID_MFromTreeNodeName(ui->ComboBox_Vid_Dok->currentText()));
    if (ui->ChkBox_N_Dok->isChecked())
        f.number = ui->Edit_N_Dok->text();
    if (ui->ChkBox_Data->isChecked()) {
        f.date = ValueComparison(std::clamp(ui->ComboBox1->currentIndex(), 0, 3));
        f.dateFrom = ui->DateTimePicker_Data->date();
        f.dateTo = ui->DateTimePicker_Do->date();
    }
    if (ui->ChkBox_Kontragent->isChecked())
        f.counterparty = std::max(0, GetID_MFromTreeNodeName(ui->Label_Kontrag->text()));
    if (ui->ChkBox_Artikul->isChecked())
        f.article = std::max(0, GetID_MFromTreeNodeName(ui->Label_Art->text()));
    if (ui->ChkBox_Operator->isChecked())
        f.operatorName = ui->ComboBox_Operator->currentText();
    return f;
}

// ---- the documents and their lines

void TForm_Spr_Izd_Dok::Button_SearchClick() {
    const IssuedDocumentFilter f = filter();
    search([f] { return issuedDocumentsStatement(f); }, texts::kSearchFailed);
}

void TForm_Spr_Izd_Dok::listShown() {
    if (model()->rowCount() > 0) {
        ui->DBGrid_Dok->setCurrentIndex(model()->index(0, 0));
        ui->DBGrid_Dok->selectRow(0);
    }
    showLines();
}

std::optional<IssuedDocumentRef> TForm_Spr_Izd_Dok::currentDocument() const {
    const QModelIndex current = ui->DBGrid_Dok->currentIndex();
    if (!current.isValid())
        return std::nullopt;
    const int row = current.row();
    auto value = [this, row](const char* field) { return model()->value(row, QLatin1String(field)); };
    IssuedDocumentRef d;
    d.kind = value("ID_Dok").toLongLong();
    d.kindName = value("Opisanie").toString();
    d.number = value("N_Dok").toString();
    d.place = value("Ot_Kade_Prod").toInt();
    d.date = value("Data").toString();
    d.time = value("fTime").toString();
    d.counterparty = value("ID_Firma").toLongLong();
    return d;
}

void TForm_Spr_Izd_Dok::showLines() {
    const std::optional<IssuedDocumentRef> d = currentDocument();
    if (!d) {
        lines_->clear();
        ui->Label_SUM->setText(texts::kTotalZero);
        return;
    }
    guarded([&] {
        lines_->setStatement(session_.db(), issuedLinesStatement(*d));
        ui->Label_SUM->setText(cformat(u"%4.2f", {issuedDocumentTotal(session_.db(), *d).toDouble()}));
    });
}

std::optional<PrintRequest> TForm_Spr_Izd_Dok::requestFor(const IssuedDocumentRef& d) {
    std::optional<PrintRequest> out;
    guarded([&] {
        const QList<qint64> lines = issuedDocumentLines(session_.db(), d);
        // Shop lines are printed from the recorded sale, from the lines
        // invalidated since, or from the sale list while the sale is not
        // recorded yet.
        const PrintContext context = d.place == kIssuedInService                 ? PrintContext::Service
                                     : issuedLinesRecorded(session_.db(), lines) ? PrintContext::SalesReport
                                     : issuedLinesInvalidated(session_.db(), lines)
                                         ? PrintContext::InvalidatedSales
                                         : PrintContext::Shop;
        PrintRequest r = pageRequest(session_, context);
        // A credit note names the annulled document it corrects.
        if (d.kindName == texts::kCreditNoteKind)
            if (const std::optional<CorrectedDocument> corrected = correctedDocumentOf(session_.db(), lines))
                addCreditNoteFields(r, *corrected);
        r.vatRates = companyVatRates(session_);
        r.lines = lines;
        r.counterparty = d.counterparty;
        const VatRates rates = r.vatRates;
        r.amounts = [rates, d](const QSqlDatabase& db, const QList<qint64>&) {
            return issuedDocumentAmounts(db, d, rates);
        };
        out = r;
    });
    return out;
}

// A copy of the document: its kind's template for its lines, under its
// number and marked "КОПИЕ"; nothing is registered and no number taken.
void TForm_Spr_Izd_Dok::Button_Pe4atClick() {
    const std::optional<IssuedDocumentRef> d = currentDocument();
    if (!d) {
        showMessage(texts::kNoDocumentChosen);
        return;
    }
    if (d->kindName.isEmpty()) {
        showMessage(texts::kKindGone.arg(d->number));
        return;
    }
    const std::optional<PrintRequest> request = requestFor(*d);
    if (!request)
        return;
    DocumentsToPrint what{{d->kindName}, {defaultPrinterName()}};
    what.copyOf = d->number;
    printDocuments(session_, *request, what, this);
}

// Documents of the ticked kinds for the lines of the document, each a new
// document of its kind (the print asks when one was issued for them).
void TForm_Spr_Izd_Dok::Button1Click() {
    const std::optional<IssuedDocumentRef> d = currentDocument();
    if (!d) {
        showMessage(texts::kNoDocumentChosen);
        return;
    }
    QStringList kinds;
    for (int i = 0; i < ui->CheckListBox_New_Dok->count(); ++i)
        if (ui->CheckListBox_New_Dok->item(i)->checkState() == Qt::Checked)
            kinds << ui->CheckListBox_New_Dok->item(i)->text();
    if (kinds.isEmpty()) {
        showMessage(texts::kNoFurtherKindTicked);
        return;
    }
    const std::optional<PrintRequest> request = requestFor(*d);
    if (!request)
        return;
    printDocuments(session_, *request, {kinds, {defaultPrinterName()}}, this);
    for (int i = 0; i < ui->CheckListBox_New_Dok->count(); ++i)
        ui->CheckListBox_New_Dok->item(i)->setCheckState(Qt::Unchecked);
    showLines();
}

} // namespace torvika
