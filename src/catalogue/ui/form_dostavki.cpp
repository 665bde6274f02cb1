#include "catalogue/ui/form_dostavki.h"

#include "catalogue/articles.h"
#include "catalogue/reference_lists.h"
#include "catalogue/stock.h"
#include "catalogue/texts.h"
#include "catalogue/ui/article_picker.h"
#include "common/base_currency.h"
#include "common/cformat.h"
#include "common/ref_text.h"
#include "common/ui/error_edge.h"
#include "common/ui/form_get_kol.h"
#include "common/ui/form_koloni.h"
#include "common/ui/grid_file.h"
#include "common/ui/messages.h"
#include "common/ui/statement_model.h"
#include "shell/session_grids.h"
#include "shell/vat_rates.h"
#include "ui_form_dostavki.h"

#include <QBrush>
#include <QKeyEvent>
#include <algorithm>

namespace torvika {

namespace {

const QString kArticleField = QStringLiteral("Nomer_Produkt");

// The lines of the delivery; those without the VAT mark in blue.
class DeliveryLinesModel : public StatementModel {
public:
    using StatementModel::StatementModel;
    QVariant data(const QModelIndex& index, int role) const override {
        if (role == Qt::ForegroundRole && index.isValid() &&
            value(index.row(), QStringLiteral("Have_DDS")).toString() != QLatin1String("True"))
            return QBrush(Qt::blue);
        return StatementModel::data(index, role);
    }
};

// A price, markup or discount field: blank is 0, otherwise the number typed.
std::optional<Decimal> fieldNumber(QLineEdit* field) {
    if (field->text().trimmed().isEmpty())
        field->setText(QStringLiteral("0"));
    return typedDeliveryNumber(field->text());
}

void showNegative(QLineEdit* field, const Decimal& value) {
    field->setStyleSheet(value.sign() < 0 ? QStringLiteral("color: red") : QString());
}

QString priceText(const Decimal& v) {
    return formatFixed(v.rounded(kDeliveryPriceDecimals), kDeliveryPriceDecimals, 0);
}

void selectField(QLineEdit* field) {
    field->setFocus();
    field->selectAll();
}

} // namespace

TForm_Dostavki::TForm_Dostavki(const WindowContext& context, QWidget* parent)
    : QDialog(parent), ui(new Ui::TForm_Dostavki), context_(context), session_(context.session),
      model_(new DeliveryLinesModel(this)) {
    ui->setupUi(this);
    const int decimals = session_.displayDecimals();
    model_->setColumns({
        {kArticleField, texts::kDeliveryColumnArticle, 8, GridColumnSpec::Integer},
        {QStringLiteral("Opisanie"), texts::kTransferColumnDescription, 30},
        {QStringLiteral("Dostavna_Cena"), texts::kDeliveryColumnDeliveryPrice, 10, GridColumnSpec::Number,
         decimals},
        {QStringLiteral("Valuta_D"), texts::kTransferColumnCurrency, 6},
        {QStringLiteral("Kolitchestvo"), texts::kDeliveryColumnQuantity, 10, GridColumnSpec::Number, 3},
        {QStringLiteral("Mqrka"), texts::kTransferColumnUnit, 6},
        {QStringLiteral("Suma_D"), texts::kDeliveryColumnTotal, 10, GridColumnSpec::Number, 2},
        {QStringLiteral("Prodajna_Cena"), texts::kDeliveryColumnSellingPrice, 10, GridColumnSpec::Number,
         decimals},
        {QStringLiteral("Valuta_P"), texts::kTransferColumnCurrency, 6},
        {QStringLiteral("Have_DDS"), texts::kDeliveryColumnVat, 6},
    });
    setUpStatementGrid(ui->DBGrid1, model_, true);
    addColumnMenu(ui->DBGrid1);
    ui->ListBox_Dostav4ik->hide();
    ui->Edit_Nomer_Dokument->setMaxLength(kDocumentNumberWidth);
    ui->Edit_Zabelejka->setMaxLength(kDeliveryNoteWidth);
    for (QObject* o : std::initializer_list<QObject*>{ui->DBGrid1, ui->Edit_Dostav4ik, ui->ListBox_Dostav4ik,
                                                      ui->Label_A_N})
        o->installEventFilter(this);

    connect(ui->Edit_Dostav4ik, &QLineEdit::textEdited, this, &TForm_Dostavki::supplierTyped);
    connect(ui->Edit_Dostav4ik, &QLineEdit::returnPressed, this, &TForm_Dostavki::supplierEnter);
    connect(ui->ListBox_Dostav4ik, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { chooseSupplier(item->text()); });
    connect(ui->Button_Nov, &QPushButton::clicked, this,
            [this] { context_.host.runCommand(Command::N_Klienti); });
    connect(ui->ComboBox_Sklad, &QComboBox::activated, this, &TForm_Dostavki::chooseWarehouse);
    connect(ui->Edit_Art_ID, &QLineEdit::returnPressed, this, &TForm_Dostavki::findArticle);
    connect(ui->Edit_Prodajna_Cena, &QLineEdit::editingFinished, this, &TForm_Dostavki::sellingPriceLeft);
    connect(ui->Edit_Nadcenka, &QLineEdit::editingFinished, this, &TForm_Dostavki::markupLeft);
    connect(ui->Edit_Otstapka, &QLineEdit::editingFinished, this, &TForm_Dostavki::discountLeft);
    connect(ui->Edit_Dostavna_Cena, &QLineEdit::editingFinished, this,
            [this] { fieldNumber(ui->Edit_Dostavna_Cena); });
    connect(ui->Edit_Kol, &QLineEdit::editingFinished, this, [this] {
        if (ui->Edit_Kol->text().trimmed().isEmpty())
            ui->Edit_Kol->setText(QStringLiteral("1"));
    });
    connect(ui->Edit_Kol, &QLineEdit::returnPressed, this, &TForm_Dostavki::addOrAccept);
    connect(ui->CheckBox_DDS, &QCheckBox::clicked, this, &TForm_Dostavki::vatMarkClicked);
    connect(ui->ComboBox_Valuta_D, &QComboBox::activated, this, &TForm_Dostavki::deliveryCurrencyChosen);
    connect(ui->ComboBox_Valuta_P, &QComboBox::activated, this, &TForm_Dostavki::sellingCurrencyChosen);
    connect(ui->Button_Konvertirai, &QPushButton::clicked, this, &TForm_Dostavki::convert);
    connect(ui->Button_Izberi, &QPushButton::clicked, this, &TForm_Dostavki::pickArticles);
    connect(ui->Button_Redaktirai, &QPushButton::clicked, this, &TForm_Dostavki::editCurrentLine);
    connect(ui->DBGrid1, &QTableView::doubleClicked, this, &TForm_Dostavki::editCurrentLine);
    connect(ui->Button_Iztrii, &QPushButton::clicked, this, &TForm_Dostavki::deleteOrCancel);
    connect(ui->Button_Dobavi, &QPushButton::clicked, this, &TForm_Dostavki::addOrAccept);
    connect(ui->Button_Serijni, &QPushButton::clicked, this, &TForm_Dostavki::serialNumbers);
    connect(ui->Button_Import, &QPushButton::clicked, this, &TForm_Dostavki::importLines);
    connect(ui->Button_Export, &QPushButton::clicked, this, &TForm_Dostavki::exportLines);
    connect(ui->Button_Nova_Dostavka, &QPushButton::clicked, this, &TForm_Dostavki::newOrSave);
    connect(ui->Button_Otkaji, &QPushButton::clicked, this, [this] { abandon(); });
    connect(ui->Button_Pe4at, &QPushButton::clicked, this, &TForm_Dostavki::print);
    connect(ui->Edit_Plateno_Banka, &QLineEdit::editingFinished, this, &TForm_Dostavki::showSums);
    connect(ui->Edit_Ne_Plateno, &QLineEdit::editingFinished, this, &TForm_Dostavki::showSums);

    guarded([this] {
        const QSqlDatabase db = session_.db();
        draft_ = std::make_unique<DeliveryDraft>(db);
        ui->ComboBox_Vid_Dokument->addItems(deliveryDocumentKinds(db));
        ui->ComboBox_Vid_Dokument->setCurrentIndex(-1);
        ui->ComboBox_Sklad->addItems(warehouseItems(db));
        const QStringList currencies = currencyNames(db);
        ui->ComboBox_Valuta_D->addItems(currencies);
        ui->ComboBox_Valuta_P->addItems(currencies);
        ui->ComboBox_Mqrka->addItems(unitItems(db));
        // Both prices start in the base currency.
        const QString base = baseCurrencyName(db);
        if (!base.isEmpty()) {
            ui->ComboBox_Valuta_D->setCurrentText(base);
            ui->ComboBox_Valuta_P->setCurrentText(base);
        }
    });
    ui->Label_A_N->setText(texts::kOwnNumbers);
    ui->Label_A_N->setToolTip(texts::kOwnNumbersHint);
    sellingCurrencyChosen();
    setIdle();
}

TForm_Dostavki::~TForm_Dostavki() = default;

QTableView* TForm_Dostavki::grid() const {
    return ui->DBGrid1;
}

void TForm_Dostavki::addFollowUps(FollowUpRegistry& registry) {
    registry.of<ArticlePicker>().add(kSelectDeliveryArticles, [](QWidget* opener, const ArticleChoice& c) {
        openerWindow<TForm_Dostavki>(opener).takeArticles(c);
    });
}

void TForm_Dostavki::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (e->spontaneous() || !draft_)
        return;
    if (!shown_) {
        shown_ = true;
        showLines();
    }
    if (!open_)
        openDelivery();
}

// ---- The delivery ----

void TForm_Dostavki::setIdle() {
    open_ = false;
    editing_.reset();
    ui->Button_Nova_Dostavka->setText(texts::kNewDelivery);
    ui->Button_Nova_Dostavka->setToolTip(texts::kNewDeliveryHint);
    for (QWidget* w : std::initializer_list<QWidget*>{
             ui->GroupBox_Artikul, ui->Button_Izberi, ui->Button_Redaktirai, ui->Button_Iztrii,
             ui->Button_Dobavi, ui->Button_Serijni, ui->Button_Import, ui->Button_Export, ui->Edit_Zabelejka,
             ui->Button_Otkaji, ui->Edit_Nomer_Dokument})
        w->setEnabled(false);
    ui->Label_Dostavka_N->setText(texts::kDeliveryNumber + QStringLiteral("0"));
    ui->ComboBox_Sklad->setCurrentIndex(-1);
    ui->Label_Nali4no->setText(texts::kStockAllWarehouses);
    endLineEdit();
}

void TForm_Dostavki::openDelivery() {
    open_ = true;
    ui->Button_Nova_Dostavka->setText(texts::kSaveDelivery);
    ui->Button_Nova_Dostavka->setToolTip(texts::kSaveDeliveryHint);
    for (QWidget* w : std::initializer_list<QWidget*>{
             ui->GroupBox_Artikul, ui->Button_Izberi, ui->Button_Redaktirai, ui->Button_Iztrii,
             ui->Button_Dobavi, ui->Button_Serijni, ui->Button_Import, ui->Button_Export, ui->Edit_Zabelejka,
             ui->Button_Otkaji, ui->Edit_Nomer_Dokument})
        w->setEnabled(true);
    const QDateTime now = session_.now();
    ui->Edit_Data_Dokument->setDate(now.date());
    ui->Edit_Data_Dostavka->setDate(now.date());
    ui->Edit_Chas_Dostavka->setTime(now.time());
    ui->ComboBox_Sklad->setCurrentIndex(-1);
    ui->ComboBox_Sklad->setEnabled(supplier() > 0);
    ui->Label_Nali4no->setText(texts::kStockAllWarehouses);
    guarded([this] {
        ui->Label_Dostavka_N->setText(texts::kDeliveryNumber + QString::number(draft_->proposedNumber()));
    });
    resetArticleLine();
    selectField(ui->Edit_Art_ID);
}

int TForm_Dostavki::openForGroup(qint64 group) {
    if (!draft_)
        return 0;
    if (!open_)
        openDelivery();
    int added = 0;
    guarded([&] { added = draft_->addGroup(group); });
    showLines();
    return added;
}

void TForm_Dostavki::newOrSave() {
    if (open_)
        save();
    else
        openDelivery();
}

void TForm_Dostavki::save() {
    DeliveryHeader h;
    h.supplier = supplier();
    h.documentKind = ui->ComboBox_Vid_Dokument->currentIndex() < 0
                         ? -1
                         : GetID_MFromTreeNodeName(ui->ComboBox_Vid_Dokument->currentText());
    h.documentNumber = ui->Edit_Nomer_Dokument->text().trimmed();
    h.documentDate = ui->Edit_Data_Dokument->date();
    h.delivered = QDateTime(ui->Edit_Data_Dostavka->date(), ui->Edit_Chas_Dostavka->time());
    h.note = ui->Edit_Zabelejka->text();
    h.warehouse = warehouse() > 0 ? warehouse() : -1;
    const std::optional<Decimal> bank = typedDeliveryNumber(ui->Edit_Plateno_Banka->text());
    const std::optional<Decimal> notPaid = typedDeliveryNumber(ui->Edit_Ne_Plateno->text());
    if (!bank || !notPaid || bank->sign() < 0 || notPaid->sign() < 0) {
        showMessage(texts::kPaymentNotANumber);
        return;
    }
    h.paidBank = *bank;
    h.notPaid = *notPaid;
    guarded([&] {
        DeliverySaveOptions options;
        const VatRates rates = companyVatRates(session_);
        for (;;) {
            const DeliverySaveResult r = draft_->save(h, rates, options);
            switch (r.status) {
            case DeliverySaveResult::Saved:
                showMessage(texts::kDeliverySaved.arg(r.id));
                setIdle();
                resetArticleLine();
                return;
            case DeliverySaveResult::Refused:
                showMessage(r.message);
                return;
            case DeliverySaveResult::AskEmptyLines:
                if (!askYesNo(texts::kAskEmptyDeliveryLines.arg(r.emptyLines)))
                    return;
                options.withoutEmptyLines = true;
                break;
            case DeliverySaveResult::AskRepeatedDocument:
                if (!askYesNo(texts::kAskRepeatedDocument
                                  .arg(ui->ComboBox_Vid_Dokument->currentText(), h.documentNumber)
                                  .arg(r.id)))
                    return;
                options.repeatedDocument = true;
                break;
            }
        }
    });
    showLines();
}

bool TForm_Dostavki::abandon() {
    if (!open_)
        return true;
    if (draft_ && !draft_->isEmpty()) {
        if (!askYesNo(texts::kAskAbandonDelivery))
            return false;
        guarded([this] { draft_->clear(); });
    }
    setIdle();
    showLines();
    return true;
}

void TForm_Dostavki::reject() {
    if (!abandon())
        return;
    QDialog::reject();
}

// ---- The supplier ----

void TForm_Dostavki::supplierTyped(const QString& text) {
    if (text.isEmpty() || text.front() == u'+' || text.front() == u'-' || text.front() == u'!') {
        hideSupplierList();
        return;
    }
    QStringList found;
    guarded([&] { found = deliverySuppliers(session_.db(), text); });
    ui->ListBox_Dostav4ik->clear();
    ui->ListBox_Dostav4ik->addItems(found);
    ui->ListBox_Dostav4ik->setVisible(!found.isEmpty());
    if (!found.isEmpty())
        ui->ListBox_Dostav4ik->setCurrentRow(0);
    if (text.front() == u' ' && !found.isEmpty())
        ui->ListBox_Dostav4ik->setFocus();
}

void TForm_Dostavki::supplierEnter() {
    const QString text = ui->Edit_Dostav4ik->text();
    if (!text.isEmpty() && (text.front() == u'+' || text.front() == u'-' || text.front() == u'!')) {
        QStringList found;
        guarded([&] { found = deliverySuppliers(session_.db(), text); });
        if (found.isEmpty()) {
            showMessage(texts::kBadSupplierSearch);
            return;
        }
        if (found.size() > 1) {
            ui->ListBox_Dostav4ik->clear();
            ui->ListBox_Dostav4ik->addItems(found);
            ui->ListBox_Dostav4ik->setCurrentRow(0);
            ui->ListBox_Dostav4ik->show();
        }
        chooseSupplier(found.front());
        return;
    }
    QListWidgetItem* item = ui->ListBox_Dostav4ik->currentItem();
    if (!item) {
        showMessage(texts::kBadSupplierSearch);
        return;
    }
    chooseSupplier(item->text());
}

void TForm_Dostavki::chooseSupplier(const QString& refText) {
    ui->Edit_Dostav4ik->setText(refText);
    hideSupplierList();
    ui->ComboBox_Sklad->setEnabled(true);
    ui->Label_A_N->setText(texts::kSupplierNumbers);
    ui->Label_A_N->setToolTip(texts::kSupplierNumbersHint);
    ui->ComboBox_Vid_Dokument->setFocus();
}

void TForm_Dostavki::hideSupplierList() {
    ui->ListBox_Dostav4ik->hide();
}

qint64 TForm_Dostavki::supplier() const {
    const QString text = ui->Edit_Dostav4ik->text();
    if (!text.contains(u':'))
        return -1;
    return GetID_MFromTreeNodeName(text);
}

qint64 TForm_Dostavki::warehouse() const {
    return ui->ComboBox_Sklad->currentIndex() < 0
               ? 0
               : GetID_MFromTreeNodeName(ui->ComboBox_Sklad->currentText());
}

void TForm_Dostavki::chooseWarehouse() {
    ui->Label_Nali4no->setText(texts::kStockInWarehouse + ui->ComboBox_Sklad->currentText());
    if (article_ > 0)
        showStock(article_);
}

// ---- The article line ----

bool TForm_Dostavki::bySupplierNumber() const {
    return ui->Label_A_N->text() == texts::kSupplierNumbers;
}

void TForm_Dostavki::toggleNumbering() {
    const bool supplierNumbers = !bySupplierNumber();
    ui->Label_A_N->setText(supplierNumbers ? texts::kSupplierNumbers : texts::kOwnNumbers);
    ui->Label_A_N->setToolTip(supplierNumbers ? texts::kSupplierNumbersHint : texts::kOwnNumbersHint);
}

void TForm_Dostavki::resetArticleLine() {
    article_ = 0;
    ui->Edit_Art_ID->clear();
    ui->Label_Artikul->setText(texts::kDeliveryNoArticle);
    ui->Edit_Dostavna_Cena->setText(QStringLiteral("0.000"));
    ui->Edit_Prodajna_Cena->setText(QStringLiteral("0.000"));
    ui->Edit_Otstapka->setText(QStringLiteral("0"));
    ui->Edit_Nadcenka->setText(QStringLiteral("0"));
    ui->Edit_Kol->setText(QStringLiteral("1"));
    ui->CheckBox_DDS->setChecked(false);
    ui->Label_Nali4no_Kol->clear();
    showNegative(ui->Edit_Nadcenka, Decimal(0));
    showNegative(ui->Edit_Otstapka, Decimal(0));
}

void TForm_Dostavki::showArticle(const DeliveryArticle& a) {
    article_ = a.id;
    taxGroup_ = a.taxGroup;
    ui->Edit_Art_ID->setText(QString::number(a.id));
    ui->Label_Artikul->setText(refText(a.id, a.description));
    // The last delivery price is proposed with the selling price.
    ui->Edit_Dostavna_Cena->setText(priceText(a.deliveryPrice));
    if (!a.deliveryCurrency.isEmpty())
        ui->ComboBox_Valuta_D->setCurrentText(a.deliveryCurrency);
    ui->Edit_Prodajna_Cena->setText(priceText(a.sellingPrice));
    if (!a.sellingCurrency.isEmpty())
        ui->ComboBox_Valuta_P->setCurrentText(a.sellingCurrency);
    ui->ComboBox_Mqrka->setCurrentText(a.unit);
    ui->Edit_Otstapka->setText(QStringLiteral("0"));
    sellingPriceLeft();
}

void TForm_Dostavki::showStock(qint64 article) {
    guarded([&] {
        const qint64 w = warehouse();
        const Decimal stock = w > 0 ? stockIn(session_.db(), article, w).value_or(Decimal(0))
                                    : stockTotal(session_.db(), article);
        ui->Label_Nali4no_Kol->setText(formatFixed(stock, 2));
    });
}

void TForm_Dostavki::findArticle() {
    std::optional<DeliveryArticle> a;
    if (!guarded([&] {
            a = findDeliveryArticle(session_.db(), ui->Edit_Art_ID->text().trimmed(), bySupplierNumber(),
                                    supplier());
        }))
        return;
    if (!a) {
        showMessage(texts::kArticleNumberNotFound);
        pickArticles();
        return;
    }
    if (!editing_) {
        std::optional<DeliveryLine> existing;
        guarded([&] { existing = draft_->line(a->id); });
        if (existing) {
            if (askYesNo(texts::kAskEditDeliveryLine.arg(refText(a->id, a->description))))
                loadLine(a->id);
            else
                selectField(ui->Edit_Art_ID);
            return;
        }
    }
    showArticle(*a);
    showStock(a->id);
    selectField(ui->Edit_Dostavna_Cena);
}

void TForm_Dostavki::sellingPriceLeft() {
    const std::optional<Decimal> delivery = fieldNumber(ui->Edit_Dostavna_Cena);
    const std::optional<Decimal> selling = fieldNumber(ui->Edit_Prodajna_Cena);
    if (!delivery || !selling)
        return;
    if (const std::optional<Decimal> markup = markupPercent(*delivery, *selling)) {
        ui->Edit_Nadcenka->setText(priceText(*markup));
        showNegative(ui->Edit_Nadcenka, *markup);
    }
}

void TForm_Dostavki::markupLeft() {
    const std::optional<Decimal> delivery = fieldNumber(ui->Edit_Dostavna_Cena);
    const std::optional<Decimal> markup = fieldNumber(ui->Edit_Nadcenka);
    if (!delivery || !markup)
        return;
    showNegative(ui->Edit_Nadcenka, *markup);
    if (delivery->isZero())
        return;
    const std::optional<Decimal> selling = priceWithMarkup(*delivery, *markup);
    if (!selling) {
        showMessage(texts::kMarkupNegativePrice);
        selectField(ui->Edit_Nadcenka);
        return;
    }
    ui->Edit_Prodajna_Cena->setText(priceText(*selling));
}

void TForm_Dostavki::discountLeft() {
    const std::optional<Decimal> selling = fieldNumber(ui->Edit_Prodajna_Cena);
    const std::optional<Decimal> discount = fieldNumber(ui->Edit_Otstapka);
    if (!selling || !discount)
        return;
    showNegative(ui->Edit_Otstapka, *discount);
    if (discount->isZero())
        return;
    const std::optional<Decimal> delivery = priceAfterDiscount(*selling, *discount);
    if (!delivery) {
        showMessage(texts::kDiscountNegativePrice);
        selectField(ui->Edit_Otstapka);
        return;
    }
    ui->Edit_Dostavna_Cena->setText(priceText(*delivery));
    sellingPriceLeft();
}

void TForm_Dostavki::vatMarkClicked(bool checked) {
    const std::optional<Decimal> delivery = fieldNumber(ui->Edit_Dostavna_Cena);
    if (!delivery)
        return;
    const Decimal rate = companyVatRates(session_).of(taxGroup_);
    if (rate.isZero())
        return;
    ui->Edit_Dostavna_Cena->setText(priceText(priceWithVat(*delivery, rate, checked)));
    sellingPriceLeft();
}

void TForm_Dostavki::deliveryCurrencyChosen() {
    ui->ComboBox_Valuta_P->setCurrentIndex(ui->ComboBox_Valuta_D->currentIndex());
    sellingCurrencyChosen();
}

void TForm_Dostavki::sellingCurrencyChosen() {
    guarded([this] {
        const std::optional<Decimal> rate = currencyRate(session_.db(), ui->ComboBox_Valuta_D->currentText());
        const QString word = loadBaseCurrency(session_.db()).words.major;
        ui->Button_Konvertirai->setText(rate ? texts::kConvertAtRate.arg(word, rate->toString())
                                             : texts::kConvert.arg(word));
    });
}

void TForm_Dostavki::convert() {
    guarded([this] {
        const QString base = baseCurrencyName(session_.db());
        if (base.isEmpty()) {
            showMessage(texts::kNoBaseCurrency);
            return;
        }
        const std::optional<Decimal> rate = currencyRate(session_.db(), ui->ComboBox_Valuta_D->currentText());
        if (!rate) {
            showMessage(texts::kNoCurrency);
            return;
        }
        const std::optional<Decimal> delivery = fieldNumber(ui->Edit_Dostavna_Cena);
        if (!delivery) {
            showMessage(texts::kPriceNotANumber);
            return;
        }
        // The delivery price only: the selling price stays in its own currency.
        ui->Edit_Dostavna_Cena->setText(priceText(priceInBaseCurrency(*delivery, *rate)));
        ui->ComboBox_Valuta_D->setCurrentText(base);
        ui->Button_Konvertirai->setText(texts::kConvert.arg(loadBaseCurrency(session_.db()).words.major));
        sellingPriceLeft();
    });
}

std::optional<DeliveryLine> TForm_Dostavki::typedLine() {
    if (ui->ComboBox_Valuta_D->currentText().isEmpty() && ui->ComboBox_Valuta_P->currentText().isEmpty()) {
        showMessage(texts::kNoCurrency);
        return std::nullopt;
    }
    DeliveryLine l;
    l.article = article_;
    const std::optional<Decimal> delivery = fieldNumber(ui->Edit_Dostavna_Cena);
    const std::optional<Decimal> selling = fieldNumber(ui->Edit_Prodajna_Cena);
    if (!delivery || !selling || delivery->sign() < 0 || selling->sign() < 0) {
        showMessage(texts::kPriceNotANumber);
        selectField(!delivery || delivery->sign() < 0 ? ui->Edit_Dostavna_Cena : ui->Edit_Prodajna_Cena);
        return std::nullopt;
    }
    if (ui->Edit_Kol->text().trimmed().isEmpty())
        ui->Edit_Kol->setText(QStringLiteral("1"));
    const std::optional<Decimal> quantity = typedDeliveryNumber(ui->Edit_Kol->text());
    if (!quantity || quantity->sign() <= 0) {
        showMessage(texts::kQuantityNotPositive);
        selectField(ui->Edit_Kol);
        return std::nullopt;
    }
    l.deliveryPrice = *delivery;
    l.deliveryCurrency = ui->ComboBox_Valuta_D->currentText();
    l.sellingPrice = *selling;
    l.sellingCurrency = ui->ComboBox_Valuta_P->currentText();
    l.quantity = *quantity;
    l.unit = ui->ComboBox_Mqrka->currentText();
    l.vatIncluded = ui->CheckBox_DDS->isChecked();
    return l;
}

void TForm_Dostavki::addOrAccept() {
    if (!open_)
        return;
    if (!editing_ && article_ == 0) {
        // "Добави" without an article adds nothing.
        selectField(ui->Edit_Art_ID);
        return;
    }
    const std::optional<DeliveryLine> line = typedLine();
    if (!line)
        return;
    bool done = false;
    guarded([&] {
        const std::optional<QString> refusal =
            editing_ ? draft_->replace(*editing_, *line) : draft_->add(*line);
        if (refusal) {
            showMessage(*refusal);
            return;
        }
        done = true;
    });
    if (!done)
        return;
    endLineEdit();
    ui->CheckBox_DDS->setChecked(false);
    showLines();
    selectField(ui->Edit_Art_ID);
}

void TForm_Dostavki::deleteOrCancel() {
    if (editing_) {
        endLineEdit();
        resetArticleLine();
        selectField(ui->Edit_Art_ID);
        return;
    }
    QList<qint64> articles;
    QList<int> rows;
    for (const QModelIndex& index : ui->DBGrid1->selectionModel()->selectedRows())
        rows << index.row();
    if (rows.isEmpty() && ui->DBGrid1->currentIndex().isValid())
        rows << ui->DBGrid1->currentIndex().row();
    std::sort(rows.begin(), rows.end());
    for (int r : rows)
        articles << model_->value(r, kArticleField).toLongLong();
    if (articles.isEmpty() || !askYesNo(texts::kAskDeleteDeliveryLines))
        return;
    guarded([&] { draft_->remove(articles); });
    ui->CheckBox_DDS->setChecked(false);
    showLines();
}

void TForm_Dostavki::editCurrentLine() {
    if (!open_ || editing_)
        return;
    const QVariant article = model_->value(ui->DBGrid1->currentIndex().row(), kArticleField);
    if (article.isValid())
        loadLine(article.toLongLong());
}

void TForm_Dostavki::loadLine(qint64 article) {
    std::optional<DeliveryLine> l;
    std::optional<DeliveryArticle> a;
    guarded([&] {
        l = draft_->line(article);
        a = deliveryArticle(session_.db(), article);
    });
    if (!l)
        return;
    article_ = l->article;
    taxGroup_ = a ? a->taxGroup : 0;
    ui->Edit_Art_ID->setText(QString::number(l->article));
    ui->Label_Artikul->setText(refText(l->article, l->description));
    ui->Edit_Dostavna_Cena->setText(priceText(l->deliveryPrice));
    ui->ComboBox_Valuta_D->setCurrentText(l->deliveryCurrency);
    ui->Edit_Prodajna_Cena->setText(priceText(l->sellingPrice));
    ui->ComboBox_Valuta_P->setCurrentText(l->sellingCurrency);
    ui->ComboBox_Mqrka->setCurrentText(l->unit);
    ui->Edit_Kol->setText(l->quantity.toString());
    // Set, not clicked: the prices stay as they are.
    ui->CheckBox_DDS->setChecked(l->vatIncluded);
    ui->Edit_Otstapka->setText(QStringLiteral("0"));
    sellingPriceLeft();
    showStock(l->article);
    editing_ = l->article;
    ui->Button_Dobavi->setText(texts::kLineAccept);
    ui->Button_Iztrii->setText(texts::kLineCancel);
    ui->Edit_Art_ID->setEnabled(false);
    selectField(ui->Edit_Dostavna_Cena);
}

void TForm_Dostavki::endLineEdit() {
    editing_.reset();
    ui->Button_Dobavi->setText(texts::kLineAdd);
    ui->Button_Iztrii->setText(texts::kLineDelete);
    ui->Edit_Art_ID->setEnabled(true);
}

void TForm_Dostavki::pickArticles() {
    torvika::pickArticles(context_, kSelectDeliveryArticles, this);
}

void TForm_Dostavki::takeArticles(const ArticleChoice& choice) {
    if (!open_)
        return;
    QStringList refusals;
    guarded([&] {
        for (const PickedArticle& p : choice.articles) {
            if (!p.quantity || p.quantity->sign() <= 0)
                continue;
            const std::optional<DeliveryArticle> a = deliveryArticle(session_.db(), p.id);
            if (!a)
                continue;
            DeliveryLine l;
            l.article = a->id;
            l.deliveryPrice = a->deliveryPrice;
            l.deliveryCurrency = a->deliveryCurrency.isEmpty() ? a->sellingCurrency : a->deliveryCurrency;
            l.sellingPrice = a->sellingPrice;
            l.sellingCurrency = a->sellingCurrency;
            l.quantity = *p.quantity;
            l.unit = a->unit;
            l.vatIncluded = a->vatIncluded;
            if (const auto refusal = draft_->add(l))
                refusals << *refusal;
            else
                showArticle(*a);
        }
    });
    if (!refusals.isEmpty())
        showMessage(refusals.join(u'\r'));
    ui->CheckBox_DDS->setChecked(false);
    showLines();
}

void TForm_Dostavki::serialNumbers() {
    if (article_ == 0) {
        showMessage(texts::kSerialNeedsLine);
        return;
    }
    std::optional<DeliveryLine> line;
    guarded([&] { line = draft_->line(article_); });
    if (!line) {
        showMessage(texts::kSerialNeedsLine);
        return;
    }
    // One serial number after another, until the operator stops or the
    // line's quantity is reached.
    for (;;) {
        int entered = 0;
        guarded([&] { entered = int(draft_->serials(article_).size()); });
        if (Decimal(entered) >= line->quantity)
            break;
        TForm_Get_Kol dialog(TForm_Get_Kol::SerialOrSeries,
                             ui->Label_Artikul->text() + QStringLiteral(" (%1)").arg(entered + 1), this);
        if (dialog.exec() != QDialog::Accepted)
            break;
        DeliverySerial serial;
        serial.article = article_;
        serial.serial = dialog.serial().trimmed();
        serial.model = dialog.guarantee().trimmed();
        guarded([&] {
            if (const auto refusal = draft_->addSerial(serial))
                showMessage(*refusal);
        });
    }
}

void TForm_Dostavki::importLines() {
    const QString path = Messages::current().openFileName(
        texts::kImportCaption, session_.programDir.tempDir(), texts::kNumberedFieldFilter);
    if (path.isEmpty())
        return;
    guarded([&] {
        const DeliveryImport r = importDeliveryLines(*draft_, path, ui->ComboBox_Valuta_D->currentText(),
                                                     ui->ComboBox_Valuta_P->currentText());
        if (!r.refused.isEmpty())
            showMessage(texts::kImportRefused.arg(r.refused.size()).arg(r.refused.join(u'\r')));
        else
            showMessage(texts::kImportDone.arg(r.added).arg(r.changed));
    });
    showLines();
}

void TForm_Dostavki::exportLines() {
    if (!draft_ || draft_->isEmpty()) {
        showMessage(texts::kNothingToPrint);
        return;
    }
    const QString path = Messages::current().saveFileName(
        texts::kExportCaption, session_.programDir.tempDir(), texts::kNumberedFieldFilter);
    if (path.isEmpty())
        return;
    guarded([&] { exportDeliveryLines(*draft_, path); });
}

// ---- Lines and sums ----

void TForm_Dostavki::showLines() {
    if (!draft_)
        return;
    guarded([this] { model_->setStatement(session_.db(), draft_->linesStatement()); });
    showSums();
}

void TForm_Dostavki::showSums() {
    guarded([this] {
        sums_ = draft_->sums(companyVatRates(session_));
        ui->Label_Dan_Osnova_Value->setText(format42(sums_.base));
        ui->Label_DDS_Value->setText(format42(sums_.vat));
        const Decimal bank = fieldNumber(ui->Edit_Plateno_Banka).value_or(Decimal(0));
        const Decimal notPaid = fieldNumber(ui->Edit_Ne_Plateno).value_or(Decimal(0));
        ui->Edit_Plateno_Broj->setText(format42(sums_.paidCash(bank, notPaid)));
        ui->Label_Valuti->setText(
            sums_.unknownCurrencies.isEmpty()
                ? QString()
                : texts::kLinesInUnknownCurrency.arg(sums_.unknownCurrencies.join(u", ")));
        ui->Label_Valuti->setVisible(!sums_.unknownCurrencies.isEmpty());
    });
}

void TForm_Dostavki::print() {
    if (!draft_ || draft_->isEmpty()) {
        showMessage(texts::kNothingToPrint);
        return;
    }
    guarded([this] {
        DeliveryPrintHeading h;
        h.now = session_.now();
        h.delivered = QDateTime(ui->Edit_Data_Dostavka->date(), ui->Edit_Chas_Dostavka->time());
        h.supplier = ui->Edit_Dostav4ik->text();
        h.documentKind = ui->ComboBox_Vid_Dokument->currentText();
        h.documentNumber = ui->Edit_Nomer_Dokument->text();
        h.documentDate = ui->Edit_Data_Dokument->date();
        h.warehouse = ui->ComboBox_Sklad->currentText();
        h.note = ui->Edit_Zabelejka->text();
        const Decimal bank = fieldNumber(ui->Edit_Plateno_Banka).value_or(Decimal(0));
        const Decimal notPaid = fieldNumber(ui->Edit_Ne_Plateno).value_or(Decimal(0));
        GridFile file(gridContext(session_), this, kDeliveryPrintFile);
        file.lines(deliveryPrintHeading(h));
        file.table(ui->DBGrid1);
        file.finish(deliveryPrintTotals(sums_.due, sums_.paidCash(bank, notPaid), bank, notPaid) << QString(),
                    QStringLiteral("\t"));
    });
}

bool TForm_Dostavki::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->Label_A_N && event->type() == QEvent::MouseButtonRelease) {
        if (ui->Label_A_N->isEnabled())
            toggleNumbering();
        return true;
    }
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (watched == ui->DBGrid1) {
        if (key == Qt::Key_Delete && open_ && !editing_) {
            deleteOrCancel();
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            editCurrentLine();
            return true;
        }
    } else if (watched == ui->Edit_Dostav4ik) {
        if (key == Qt::Key_Down && ui->ListBox_Dostav4ik->isVisible()) {
            ui->ListBox_Dostav4ik->setFocus();
            return true;
        }
        if (key == Qt::Key_Space && ui->Edit_Dostav4ik->text().isEmpty()) {
            ui->Edit_Dostav4ik->setText(QStringLiteral(" "));
            supplierTyped(QStringLiteral(" "));
            return true;
        }
    } else if (watched == ui->ListBox_Dostav4ik) {
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && ui->ListBox_Dostav4ik->currentItem()) {
            chooseSupplier(ui->ListBox_Dostav4ik->currentItem()->text());
            return true;
        }
        if (key == Qt::Key_Escape) {
            hideSupplierList();
            ui->Edit_Dostav4ik->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace torvika
