#include "sales/ui/form_spravka_prodajba.h"

#include "catalogue/reference_lists.h"
#include "catalogue/ui/article_picker.h"
#include "common/base_currency.h"
#include "common/cformat.h"
#include "common/dates.h"
#include "common/ref_text.h"
#include "common/texts.h"
#include "common/ui/error_edge.h"
#include "common/ui/form_get_kol.h"
#include "common/ui/form_koloni.h"
#include "common/ui/messages.h"
#include "common/ui/selection_order.h"
#include "counterparties/ui/counterparty_picker.h"
#include "documents/credit_note.h"
#include "documents/document_kinds.h"
#include "documents/texts.h"
#include "documents/ui/document_printer.h"
#include "sales/invalidation.h"
#include "sales/texts.h"
#include "sales/ui/fiscal_commands.h"
#include "shell/session_grids.h"
#include "shell/vat_rates.h"
#include "ui_form_spravka_prodajba.h"

#include <QDateEdit>
#include <QPainter>
#include <QShowEvent>
#include <QStyledItemDelegate>
#include <QTimeEdit>

namespace torvika {

namespace {

const QString kKey = QStringLiteral("ID_Prodajba");

// "<kind> № <number> от <date>".
QString annulledDocumentText(const AnnulledDocument& d) {
    return texts::kAnnulledDocument.arg(d.kind, d.number, shortDate(QDate::fromString(d.date, Qt::ISODate)));
}
const QString kNoArticleLabel = QStringLiteral("0:Няма избран артикул");

// Draws every cell of a line in the colour of its payment state: open
// credits red, paid-off ones blue.
class PaymentStateDelegate : public QStyledItemDelegate {
public:
    PaymentStateDelegate(StatementModel* model, QObject* parent)
        : QStyledItemDelegate(parent), model_(model) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        switch (paymentState(model_->value(index.row(), QStringLiteral("Konsign_N")).toLongLong())) {
        case PaymentState::Open:
            option->palette.setColor(QPalette::Text, Qt::red);
            option->palette.setColor(QPalette::HighlightedText, QColor(255, 200, 200));
            break;
        case PaymentState::PaidOff:
            option->palette.setColor(QPalette::Text, Qt::blue);
            option->palette.setColor(QPalette::HighlightedText, QColor(200, 220, 255));
            break;
        case PaymentState::Paid:
            break;
        }
    }

private:
    StatementModel* model_;
};

void fillComparisons(QComboBox* box) {
    box->addItems(comparisonTexts());
}

} // namespace

TForm_Spravka_prodajba::TForm_Spravka_prodajba(const WindowContext& context, QWidget* parent)
    : ListWindow(parent), ui(new Ui::TForm_Spravka_prodajba), context_(context), session_(context.session) {
    ui->setupUi(this);
    const int d = decimals();
    using F = GridColumnSpec;
    const QList<GridColumnSpec> columns{
        {kKey, QStringLiteral("N"), 7, F::Integer},
        {QStringLiteral("ID_Art"), QStringLiteral("Арт. N"), 7, F::Integer},
        {QStringLiteral("ID_Grupa"), QStringLiteral("Група N"), 6, F::Integer},
        {QStringLiteral("Ime_Grupa"), QStringLiteral("Име на група "), 14},
        {QStringLiteral("Opisanie"), QStringLiteral("Описание"), 24},
        {QStringLiteral("Kol"), QStringLiteral("Кол."), 8, F::Number, d},
        {QStringLiteral("ED_Cena"), QStringLiteral("Цена"), 9, F::Number, d},
        {QStringLiteral("Valuta"), QStringLiteral("Валута"), 6},
        {QStringLiteral("T_O"), QStringLiteral("TO в %"), 6, F::Number, 2},
        {QStringLiteral("Suma"), QStringLiteral("Общо"), 10, F::Number, d},
        {QStringLiteral("D_Prodajba"), QStringLiteral("Дата"), 10, F::Date},
        {QStringLiteral("T_Prodajba"), QStringLiteral("Час"), 8},
        {QStringLiteral("Ime_Firma"), QStringLiteral("Клиент"), 20},
        {QStringLiteral("Operator"), QStringLiteral("Оператор"), 12},
        {QStringLiteral("Pored_Ot"), QStringLiteral("Поред От/Сер.N"), 12},
        {QStringLiteral("Pored_Do"), QStringLiteral("Поред До/Гар."), 12},
        {QStringLiteral("Type_Pay"), QStringLiteral("Тип плащане"), 14},
        {QStringLiteral("Term_N"), QStringLiteral("Терминал"), 6, F::Integer},
        {QStringLiteral("Opis_Sklad"), QStringLiteral("Склад"), 14},
        {QStringLiteral("UNP"), QStringLiteral("УНП"), 22},
        {QStringLiteral("Bon"), QStringLiteral("Касов бон"), 12}};
    setUpList(gridContext(session_), ui->DBGrid1, columns, kKey, true);
    addColumnMenu(ui->DBGrid1);
    ui->DBGrid1->setItemDelegate(new PaymentStateDelegate(model(), ui->DBGrid1));
    order_ = new SelectionOrder(ui->DBGrid1);

    for (QComboBox* box : {ui->ComboBox_Select_Data, ui->ComboBox_T_Prodajba, ui->ComboBox_Select_Suma})
        fillComparisons(box);
    ui->ComboBox_Type_Pay->addItems({texts::kPayCash, texts::kPayBankTransfer, texts::kPayDeferred});
    // The dates and times start at today and now.
    for (QDateEdit* d : findChildren<QDateEdit*>())
        d->setDate(session_.today());
    for (QTimeEdit* t : findChildren<QTimeEdit*>())
        t->setTime(session_.now().time());
    ui->CheckListBox_Dok->setSelectionMode(QAbstractItemView::NoSelection);

    connect(ui->CheckBox_Kontragent, &QCheckBox::clicked, this, &TForm_Spravka_prodajba::counterpartyTicked);
    connect(ui->CheckBox_Artikul, &QCheckBox::clicked, this, &TForm_Spravka_prodajba::articleTicked);
    connect(ui->CheckBox_Data, &QCheckBox::clicked, this, &TForm_Spravka_prodajba::dateTicked);
    connect(ui->CheckBox_Chas, &QCheckBox::clicked, this, &TForm_Spravka_prodajba::timeTicked);
    connect(ui->CheckBox_Operator, &QCheckBox::clicked, this, &TForm_Spravka_prodajba::operatorTicked);
    connect(ui->CheckBox_Type_Pay, &QCheckBox::clicked, this, &TForm_Spravka_prodajba::payKindTicked);
    connect(ui->CheckBox_Sklad, &QCheckBox::clicked, this, &TForm_Spravka_prodajba::warehouseTicked);
    connect(ui->CheckBox_Suma, &QCheckBox::clicked, this, &TForm_Spravka_prodajba::amountTicked);
    connect(ui->CheckBox_UNP, &QCheckBox::clicked, ui->Edit_UNP, &QLineEdit::setEnabled);
    for (QComboBox* box : {ui->ComboBox_Select_Data, ui->ComboBox_T_Prodajba, ui->ComboBox_Select_Suma})
        connect(box, &QComboBox::currentIndexChanged, this, &TForm_Spravka_prodajba::updateRanges);

    connect(ui->Button_Search, &QPushButton::clicked, this, &TForm_Spravka_prodajba::Button_SearchClick);
    connect(ui->Button1, &QPushButton::clicked, this, &TForm_Spravka_prodajba::Button1Click);
    connect(ui->Button3, &QPushButton::clicked, this, &TForm_Spravka_prodajba::Button3Click);
    connect(ui->Button4, &QPushButton::clicked, this, &TForm_Spravka_prodajba::Button4Click);
    connect(ui->Button_Invalidate_Sales, &QPushButton::clicked, this, [this] {
        if (invalidateCommand_)
            invalidateCommand_();
        else
            invalidateChosen();
    });
    updateRanges();
}

TForm_Spravka_prodajba::~TForm_Spravka_prodajba() = default;

void TForm_Spravka_prodajba::showEvent(QShowEvent* e) {
    ListWindow::showEvent(e);
    if (!e->spontaneous())
        FormShow();
}

void TForm_Spravka_prodajba::FormShow() {
    model()->clear();
    ui->CheckListBox_Dok->clear();
    guarded([&] {
        for (const QString& kind : documentKindsFor(session_.db(), PrintContext::SalesReport)) {
            auto* item = new QListWidgetItem(kind, ui->CheckListBox_Dok);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Unchecked);
        }
    });
    ui->Button_Invalidate_Sales->setEnabled(invalidationAllowed_ ? invalidationAllowed_() : true);
}

QString TForm_Spravka_prodajba::sortField(int column) const {
    return model()->columns().value(column).field;
}

// ---- the criteria

void TForm_Spravka_prodajba::counterpartyTicked(bool on) {
    ui->Label_Kontragent->setEnabled(on);
    if (!on) {
        ui->Label_Kontragent->setText(texts::kNoCounterpartyChosen);
        return;
    }
    // The choice comes through the follow-up; a cancelled picker leaves the
    // label as it is: sales without a counterparty.
    pickCounterparty(context_, kSelectSalesReport, this);
}

void TForm_Spravka_prodajba::setCounterparty(const QString& refText) {
    ui->Label_Kontragent->setText(refText);
}

void TForm_Spravka_prodajba::articleTicked(bool on) {
    ui->Label_artikul->setEnabled(on);
    if (!on) {
        markedArticles_.clear();
        ui->Label_artikul->setText(kNoArticleLabel);
        return;
    }
    pickArticles(context_, kSelectSalesReportArticles, this);
}

void TForm_Spravka_prodajba::setArticleChoice(const ArticleChoice& choice) {
    if (choice.articles.isEmpty())
        return;
    QList<qint64> marked;
    for (const PickedArticle& a : choice.articles)
        marked << a.id;
    QString label;
    if (choice.articles.size() == 1) {
        label = choice.articles.first().refText();
    } else {
        for (qint64 id : marked)
            label += QString::number(id) + u';';
    }
    setArticles(marked, label);
}

void TForm_Spravka_prodajba::addFollowUps(FollowUpRegistry& followUps) {
    followUps.of<CounterpartyPicker>().add(kSelectSalesReport, [](QWidget* opener, const QString& ref) {
        openerWindow<TForm_Spravka_prodajba>(opener).setCounterparty(ref);
    });
    followUps.of<ArticlePicker>().add(
        kSelectSalesReportArticles, [](QWidget* opener, const ArticleChoice& choice) {
            openerWindow<TForm_Spravka_prodajba>(opener).setArticleChoice(choice);
        });
}

int TForm_Spravka_prodajba::decimals() const {
    return session_.settings().get(setting::kAmountDecimals);
}

void TForm_Spravka_prodajba::setArticles(const QList<qint64>& marked, const QString& labelText) {
    markedArticles_ = marked;
    ui->Label_artikul->setText(labelText);
}

void TForm_Spravka_prodajba::dateTicked(bool on) {
    ui->ComboBox_Select_Data->setEnabled(on);
    ui->DateTimePicker_Data_Ot->setEnabled(on);
    ui->DateTimePicker_Data_Do->setEnabled(on);
    if (on) {
        ui->ComboBox_Select_Data->setCurrentIndex(int(Comparison::Equal));
        ui->DateTimePicker_Data_Ot->setDate(session_.today());
        ui->DateTimePicker_Data_Do->setDate(session_.today());
    }
    updateRanges();
}

void TForm_Spravka_prodajba::timeTicked(bool on) {
    ui->ComboBox_T_Prodajba->setEnabled(on);
    ui->DateTimePicker_T_Prodajba_Ot->setEnabled(on);
    ui->DateTimePicker_T_Prodajba_Do->setEnabled(on);
    if (on) {
        const QTime now = session_.now().time();
        ui->ComboBox_T_Prodajba->setCurrentIndex(int(Comparison::Equal));
        ui->DateTimePicker_T_Prodajba_Ot->setTime(now);
        ui->DateTimePicker_T_Prodajba_Do->setTime(now);
    }
    updateRanges();
}

void TForm_Spravka_prodajba::amountTicked(bool on) {
    ui->ComboBox_Select_Suma->setEnabled(on);
    ui->Edit_Ot->setEnabled(on);
    ui->Edit_Do->setEnabled(on);
    if (on)
        ui->ComboBox_Select_Suma->setCurrentIndex(int(Comparison::Equal));
    updateRanges();
}

void TForm_Spravka_prodajba::updateRanges() {
    const auto between = [](QComboBox* box) { return box->currentIndex() == int(Comparison::Between); };
    for (QWidget* w : {static_cast<QWidget*>(ui->Label_Data_Ot), static_cast<QWidget*>(ui->Label_Data_Do),
                       static_cast<QWidget*>(ui->DateTimePicker_Data_Do)})
        w->setVisible(between(ui->ComboBox_Select_Data));
    for (QWidget* w : {static_cast<QWidget*>(ui->Label_Chas_Ot), static_cast<QWidget*>(ui->Label_Chas_Do),
                       static_cast<QWidget*>(ui->DateTimePicker_T_Prodajba_Do)})
        w->setVisible(between(ui->ComboBox_T_Prodajba));
    for (QWidget* w : {static_cast<QWidget*>(ui->Label_Suma_Ot), static_cast<QWidget*>(ui->Label_Suma_Do),
                       static_cast<QWidget*>(ui->Edit_Do)})
        w->setVisible(between(ui->ComboBox_Select_Suma));
}

void TForm_Spravka_prodajba::operatorTicked(bool on) {
    ui->ComboBox_Operators->setEnabled(on);
    ui->ComboBox_Operators->clear();
    if (!on)
        return;
    guarded([&] { ui->ComboBox_Operators->addItems(reportOperatorNames(session_.db())); });
    ui->ComboBox_Operators->setCurrentIndex(0);
}

void TForm_Spravka_prodajba::payKindTicked(bool on) {
    ui->ComboBox_Type_Pay->setEnabled(on);
    if (on)
        ui->ComboBox_Type_Pay->setCurrentIndex(0);
}

void TForm_Spravka_prodajba::warehouseTicked(bool on) {
    ui->ComboBox_Sklad->setEnabled(on);
    ui->ComboBox_Sklad->clear();
    if (!on)
        return;
    guarded([&] { ui->ComboBox_Sklad->addItems(warehouseItems(session_.db())); });
    ui->ComboBox_Sklad->setCurrentIndex(0);
}

SalesReportCriteria TForm_Spravka_prodajba::criteria() const {
    SalesReportCriteria c;
    if (ui->CheckBox_Kontragent->isChecked())
        c.counterparty = std::max(0, GetID_MFromTreeNodeName(ui->Label_Kontragent->text()));
    if (ui->CheckBox_Artikul->isChecked())
        c.articles = reportArticles(markedArticles_, ui->Label_artikul->text()).value_or(QList<qint64>{});
    if (ui->CheckBox_Data->isChecked())
        c.date = Range<QDate>{Comparison(ui->ComboBox_Select_Data->currentIndex()),
                              ui->DateTimePicker_Data_Ot->date(), ui->DateTimePicker_Data_Do->date()};
    if (ui->CheckBox_Chas->isChecked())
        c.time =
            Range<QTime>{Comparison(ui->ComboBox_T_Prodajba->currentIndex()),
                         ui->DateTimePicker_T_Prodajba_Ot->time(), ui->DateTimePicker_T_Prodajba_Do->time()};
    if (ui->CheckBox_Operator->isChecked())
        c.operatorName = ui->ComboBox_Operators->currentText();
    if (ui->CheckBox_Type_Pay->isChecked())
        c.payKind = ui->ComboBox_Type_Pay->currentText();
    if (ui->CheckBox_Sklad->isChecked())
        c.warehouse = std::max(0, GetID_MFromTreeNodeName(ui->ComboBox_Sklad->currentText()));
    if (ui->CheckBox_UNP->isChecked())
        c.uniqueSaleNumber = ui->Edit_UNP->text().trimmed();
    return c;
}

// ---- the search and the print

void TForm_Spravka_prodajba::Button_SearchClick() {
    SalesReportCriteria c = criteria();
    if (ui->CheckBox_Suma->isChecked()) {
        const std::optional<Decimal> from = Decimal::parse(ui->Edit_Ot->text());
        const bool between = ui->ComboBox_Select_Suma->currentIndex() == int(Comparison::Between);
        const std::optional<Decimal> to = between ? Decimal::parse(ui->Edit_Do->text()) : from;
        if (!from || !to) {
            showMessage(texts::kAmountNotNumber);
            (from ? ui->Edit_Do : ui->Edit_Ot)->setFocus();
            return;
        }
        c.amount = Range<Decimal>{Comparison(ui->ComboBox_Select_Suma->currentIndex()), *from, *to};
    }
    const int d = decimals();
    // The totals and the list change together: a failure leaves both as they were.
    SalesReportTotals totals;
    if (!guarded([&] { totals = salesReportTotals(database(), c, d); }))
        return;
    if (!search([&] { return salesReportStatement(c, d); }, QString()))
        return;
    totalTexts_ = salesReportTotalTexts(totals, d, baseCurrencyForCaptions(database()).words.major);
    ui->Label_Ob6to_SUM->setText(totalTexts_.value(0));
    ui->Label_Ob6to_SUM_Konsign->setText(totalTexts_.value(1));
    ui->Label_Ob6to_SUM_Plateni_Konsign->setText(totalTexts_.value(2));
    if (!totals.currenciesWithoutRate.isEmpty())
        showMessage(texts::kReportWithoutRate.arg(
            u'"' + totals.currenciesWithoutRate.join(QStringLiteral("\", \"")) + u'"'));
}

QList<SalesReportHeadingCriterion> TForm_Spravka_prodajba::headingCriteria() const {
    QList<SalesReportHeadingCriterion> out;
    if (ui->CheckBox_Kontragent->isChecked())
        out << SalesReportHeadingCriterion{QStringLiteral("Контрагент:"), ui->Label_Kontragent->text()};
    if (ui->CheckBox_Artikul->isChecked())
        out << SalesReportHeadingCriterion{QStringLiteral("Артикул:"), ui->Label_artikul->text()};
    if (ui->CheckBox_Data->isChecked())
        out << SalesReportHeadingCriterion{QStringLiteral("Дата:"),
                                           shortDate(ui->DateTimePicker_Data_Ot->date()),
                                           Comparison(ui->ComboBox_Select_Data->currentIndex()),
                                           shortDate(ui->DateTimePicker_Data_Do->date())};
    if (ui->CheckBox_Chas->isChecked())
        out << SalesReportHeadingCriterion{QStringLiteral("Час:"),
                                           shortTime(ui->DateTimePicker_T_Prodajba_Ot->time()),
                                           Comparison(ui->ComboBox_T_Prodajba->currentIndex()),
                                           shortTime(ui->DateTimePicker_T_Prodajba_Do->time())};
    if (ui->CheckBox_Suma->isChecked())
        out << SalesReportHeadingCriterion{QStringLiteral("Сума:"), ui->Edit_Ot->text().trimmed(),
                                           Comparison(ui->ComboBox_Select_Suma->currentIndex()),
                                           ui->Edit_Do->text().trimmed()};
    if (ui->CheckBox_Operator->isChecked())
        out << SalesReportHeadingCriterion{QStringLiteral("Оператор:"),
                                           ui->ComboBox_Operators->currentText()};
    if (ui->CheckBox_Type_Pay->isChecked())
        out << SalesReportHeadingCriterion{QStringLiteral("Тип на плащане:"),
                                           ui->ComboBox_Type_Pay->currentText()};
    if (ui->CheckBox_Sklad->isChecked())
        out << SalesReportHeadingCriterion{QStringLiteral("Склад:"), ui->ComboBox_Sklad->currentText()};
    if (ui->CheckBox_UNP->isChecked())
        out << SalesReportHeadingCriterion{QStringLiteral("УНП:"), ui->Edit_UNP->text().trimmed()};
    return out;
}

void TForm_Spravka_prodajba::Button1Click() {
    QStringList closing{QString(), QString()};
    for (const QString& t : totalTexts_)
        closing << u'\t' + t;
    printList({QStringLiteral("Spr_Prod"),
               salesReportHeading(texts::kSalesReportTitle, session_.now(), headingCriteria()), closing,
               QStringLiteral("\t")});
}

QList<qint64> TForm_Spravka_prodajba::chosenLines() const {
    QList<qint64> out;
    for (int row : order_->rows())
        if (const QVariant key = model()->value(row, kKey); key.isValid() && !out.contains(key.toLongLong()))
            out << key.toLongLong();
    return out;
}

// ---- documents and the receipt

void TForm_Spravka_prodajba::Button3Click() {
    const QList<qint64> chosen = chosenLines();
    if (chosen.isEmpty()) {
        showMessage(texts::kNoLinesForDocument);
        return;
    }
    QStringList kinds;
    for (int i = 0; i < ui->CheckListBox_Dok->count(); ++i)
        if (ui->CheckListBox_Dok->item(i)->checkState() == Qt::Checked)
            kinds << ui->CheckListBox_Dok->item(i)->text();
    if (kinds.isEmpty()) {
        showMessage(texts::kNoDocumentKindTicked);
        return;
    }
    SaleDocumentPlan plan;
    if (!guarded([&] { plan = planSaleDocuments(session_.db(), chosen); }))
        return;
    if (plan.documents.isEmpty()) {
        showMessage(texts::kNoGoodsForDocument);
        return;
    }
    // One document never names two buyers.
    if (plan.documents.size() > 1 && !askYesNo(texts::kAskDocumentPerCounterparty))
        return;
    PrintRequest request;
    if (!guarded([&] {
            request = pageRequest(session_, PrintContext::SalesReport);
            request.vatRates = companyVatRates(session_);
        }))
        return;
    const VatRates rates = request.vatRates;
    const int d = decimals();
    request.amounts = [rates, d](const QSqlDatabase& db, const QList<qint64>& lines) {
        return recordedSalesVat(db, lines, d, rates);
    };
    for (const SaleDocumentPlan::Document& doc : plan.documents) {
        request.lines = doc.lines;
        request.counterparty = doc.counterparty;
        printDocuments(session_, request, {kinds, {defaultPrinterName()}}, this);
    }
    for (int i = 0; i < ui->CheckListBox_Dok->count(); ++i)
        ui->CheckListBox_Dok->item(i)->setCheckState(Qt::Unchecked);
}

void TForm_Spravka_prodajba::Button4Click() {
    const QList<qint64> chosen = chosenLines();
    if (chosen.isEmpty()) {
        showMessage(texts::kNoSalesChosen);
        return;
    }
    guarded([&] {
        ReportReceipt r;
        if (const std::optional<FiscalServer> server = fiscalServer(session_)) {
            // Through the print server: the device's receipt is recorded
            // with the lines when it has printed them.
            HttpSaleReceipt receipt;
            r = reportHttpReceipt(session_.db(), chosen, *server, decimals(), receipt);
            if (r.status == ReportReceipt::Printed)
                sendSaleReceipt(session_, *server, receipt);
        } else {
            r = printReportReceipt(session_.state<FiscalState>(), session_.db(), chosen,
                                   fiscalSettings(session_), bonHeader(session_, QString()), decimals());
        }
        switch (r.status) {
        case ReportReceipt::Printed:
        case ReportReceipt::NotWritten:
            reportBonResult(session_, r.bon);
            break;
        case ReportReceipt::SeveralSales:
            showMessage(texts::kReceiptSeveralSales);
            break;
        case ReportReceipt::NoSaleNumber:
            showMessage(texts::kNoUniqueSaleNumber);
            break;
        case ReportReceipt::SaleNumberUsed:
            showMessage(texts::kSaleNumberUsed.arg(r.unp));
            break;
        case ReportReceipt::AlreadyPrinted:
            showMessage(texts::kReceiptAlreadyIssued);
            break;
        case ReportReceipt::Gone:
            showMessage(texts::kChosenSalesGone);
            break;
        case ReportReceipt::NoRate:
            showMessage(
                texts::kCurrencyWithoutRate.arg(u'"' + r.currencies.join(QStringLiteral("\", \"")) + u'"'));
            break;
        }
    });
}

// ---- invalidation

void TForm_Spravka_prodajba::invalidateChosen() {
    const QList<qint64> chosen = chosenLines();
    if (chosen.isEmpty()) {
        showMessage(texts::kNoSalesChosen);
        return;
    }
    QList<InvalidationCandidate> candidates;
    if (!guarded([&] { candidates = invalidationCandidates(session_.db(), chosen); }))
        return;
    QList<InvalidationCandidate> ready;
    for (const InvalidationCandidate& c : candidates) {
        if (c.status == InvalidationCandidate::Payment || c.status == InvalidationCandidate::Credit) {
            showMessage(texts::kNotGoodsToInvalidate.arg(c.sale));
            return;
        }
        if (c.status == InvalidationCandidate::Ready)
            ready << c;
    }
    if (ready.isEmpty()) {
        showMessage(texts::kChosenSalesGone);
        Button_SearchClick();
        return;
    }
    if (!askYesNo(texts::kAskInvalidateSales))
        return;
    TForm_Get_Kol reasonDialog(TForm_Get_Kol::Reason, QString(), this);
    if (reasonDialog.exec() != QDialog::Accepted)
        return;
    const QString reason = reasonDialog.text();
    if (reason.trimmed().isEmpty()) {
        showMessage(texts::kInvalidationReasonEmpty);
        return;
    }
    // Every question before the transaction.
    InvalidationRequest request;
    request.reason = reason;
    request.operatorName = session_.operatorName();
    request.when = session_.now();
    request.activeWarehouse = session_.activeWarehouse();
    for (const InvalidationCandidate& c : ready) {
        LineInvalidation line{c.sale};
        if (!c.documents.isEmpty())
            line.annulDocuments = askYesNo(texts::kAskAnnulDocuments);
        line.restoreStock = askYesNo(texts::kAskRestoreStock);
        request.lines << line;
    }
    InvalidationResult result;
    if (guarded([&] { result = invalidateSales(session_.db(), request); })) {
        // The goods given back of a printed receipt: its reversal receipt.
        printReversals(session_, result.invalidated);
        if (!result.skipped.isEmpty())
            showMessage(texts::kSomeSalesNotInvalidated.arg(QString::number(result.skipped.size())));
        if (!result.annulled.isEmpty())
            offerCreditNotes(result.annulled, request.reason);
    }
    Button_SearchClick();
}

// The annulled documents named; for each one issued to its counterparty (an
// invoice) a credit note for the goods given back, if the operator wants it.
void TForm_Spravka_prodajba::offerCreditNotes(const QList<AnnulledDocument>& annulled,
                                              const QString& reason) {
    const QString templates = session_.programDir.documentationsDir();
    QStringList documents;
    QList<AnnulledDocument> corrected;
    for (const AnnulledDocument& d : annulled) {
        documents << annulledDocumentText(d);
        if (d.counterparty > 0 && correctedByCreditNote(templates, d.kind))
            corrected << d;
    }
    QString message = texts::kDocumentsAnnulled.arg(documents.join(u'\r'));
    if (corrected.isEmpty())
        message += u'\r' + texts::kIssueCreditNote;
    showMessage(message);
    for (const AnnulledDocument& d : corrected) {
        if (!askYesNo(texts::kAskCreditNote.arg(annulledDocumentText(d))))
            continue;
        PrintRequest request;
        if (!guarded([&] {
                checkCreditNoteKind(session_.db());
                PrintRequest base = pageRequest(session_, PrintContext::InvalidatedSales);
                base.vatRates = companyVatRates(session_);
                const VatRates rates = base.vatRates;
                const int decimalsNow = decimals();
                base.amounts = [rates, decimalsNow](const QSqlDatabase& db, const QList<qint64>& lines) {
                    return recordedSalesVat(db, lines, decimalsNow, rates, StoredLines::Invalidated);
                };
                request = creditNoteRequest(
                    base, d.lines, CorrectedDocument{d.kind, d.number, d.date, d.counterparty, reason});
            }))
            continue;
        printDocuments(session_, request, {{texts::kCreditNoteKind}, {defaultPrinterName()}}, this);
    }
}

} // namespace torvika
