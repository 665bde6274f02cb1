#include "catalogue/ui/form_transfer.h"

#include "catalogue/reference_lists.h"
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
#include "ui_form_transfer.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QTimer>
#include <algorithm>

namespace torvika {

namespace {

const QString kLineKey = QStringLiteral("Line_Key");

qint64 warehouseOf(const QComboBox* box) {
    return box->currentIndex() < 0 ? 0 : GetID_MFromTreeNodeName(box->currentText());
}

} // namespace

TForm_Transfer::TForm_Transfer(const WindowContext& context, QWidget* parent)
    : TForm_Transfer(context, StockMoveKind::Transfer, parent) {}

TForm_Transfer::TForm_Transfer(const WindowContext& context, StockMoveKind kind, QWidget* parent)
    : QDialog(parent), ui(new Ui::TForm_Transfer), context_(context), session_(context.session), kind_(kind),
      model_(new StatementModel(this)) {
    ui->setupUi(this);
    const int decimals = session_.displayDecimals();
    QList<GridColumnSpec> columns{
        {QStringLiteral("Art_ID"), texts::kTransferColumnArticle, 9, GridColumnSpec::Integer},
        {QStringLiteral("Opisanie"), texts::kTransferColumnDescription, 34},
        {QStringLiteral("Kol"), texts::kTransferColumnQuantity, 9, GridColumnSpec::Number, decimals},
        {QStringLiteral("Mqrka"), texts::kTransferColumnUnit, 6},
        {QStringLiteral("Ed_Cena"), texts::kTransferColumnPrice, 9, GridColumnSpec::Number, decimals},
        {QStringLiteral("Valuta"), texts::kTransferColumnCurrency, 7},
        {QStringLiteral("Sum_Row"), baseCurrencyForCaptions(session_.db()).totalsCaption, 10,
         GridColumnSpec::Number, 2},
    };
    if (isScrap()) {
        columns << GridColumnSpec{QStringLiteral("Pri4ina"), texts::kScrapColumnReason, 24};
        setObjectName(QStringLiteral("Form_Brak"));
        setWindowTitle(texts::kScrapWindowTitle);
        ui->Label_Ot_Sklad->setText(texts::kScrapWarehouseCaption);
        ui->Label_V_Sklad->hide();
        ui->ComboBox_V_Sklad->hide();
        ui->Edit_Art_ID->setToolTip(texts::kScrapArticleHint);
    } else {
        ui->Label_Pri4ina->hide();
        ui->Edit_Pri4ina->hide();
    }
    ui->Edit_Pri4ina->setMaxLength(kStockMoveReasonWidth);
    model_->setColumns(columns);
    setUpStatementGrid(ui->DBGrid1, model_, true);
    addColumnMenu(ui->DBGrid1);
    ui->DBGrid1->installEventFilter(this);
    ui->Edit_Art_ID->installEventFilter(this);

    connect(ui->ComboBox_Ot_Sklad, &QComboBox::activated, this, [this] { chooseWarehouses(); });
    connect(ui->ComboBox_V_Sklad, &QComboBox::activated, this, [this] { chooseWarehouses(); });
    connect(ui->Edit_Art_ID, &QLineEdit::returnPressed, this, [this] { findArticle(); });
    connect(ui->Edit_Kol, &QLineEdit::returnPressed, this, [this] { addLine(); });
    connect(ui->Edit_Pri4ina, &QLineEdit::returnPressed, this, [this] { addLine(); });
    connect(ui->Button_Dobavi, &QPushButton::clicked, this, [this] { addLine(); });
    connect(ui->Button_Izberi, &QPushButton::clicked, this, [this] { pickArticles(); });
    connect(ui->Button_Redaktirai, &QPushButton::clicked, this, [this] { editLine(); });
    connect(ui->DBGrid1, &QTableView::doubleClicked, this, [this] { editLine(); });
    connect(ui->Button_Iztrii, &QPushButton::clicked, this, [this] { deleteLines(); });
    connect(ui->Button_Pe4at, &QPushButton::clicked, this, [this] { print(); });
    connect(ui->Button_Import, &QPushButton::clicked, this, [this] { importLines(); });
    connect(ui->Button_Export, &QPushButton::clicked, this, [this] { exportLines(); });
    connect(ui->Button_Zapis, &QPushButton::clicked, this, [this] { save(); });
    connect(ui->Button_Otkaz, &QPushButton::clicked, this, &TForm_Transfer::reject);

    guarded([this] { draft_ = std::make_unique<StockMoveDraft>(session_.db(), kind_); });
}

TForm_Transfer::~TForm_Transfer() = default;

TForm_Brak::TForm_Brak(const WindowContext& context, QWidget* parent)
    : TForm_Transfer(context, StockMoveKind::Scrap, parent) {}

QTableView* TForm_Transfer::grid() const {
    return ui->DBGrid1;
}

void TForm_Transfer::addFollowUps(FollowUpRegistry& registry) {
    registry.of<ArticlePicker>().add(kSelectTransferArticles, [](QWidget* opener, const ArticleChoice& c) {
        openerWindow<TForm_Transfer>(opener).takeArticles(c);
    });
}

void TForm_Transfer::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous() && !prepared_) {
        prepared_ = true;
        prepare();
    }
}

void TForm_Transfer::prepare() {
    if (!draft_) {
        QTimer::singleShot(0, this, [this] { done(Rejected); });
        return;
    }
    QStringList warehouses;
    const bool read = guarded([&] { warehouses = warehouseItems(session_.db()); });
    if (read && (warehouses.isEmpty() || (!isScrap() && warehouses.size() < 2)))
        showMessage(isScrap() ? texts::kChooseStockMoveWarehouse : texts::kOnlyOneWarehouse);
    if (!read || warehouses.isEmpty() || (!isScrap() && warehouses.size() < 2)) {
        QTimer::singleShot(0, this, [this] { done(Rejected); });
        return;
    }
    ui->ComboBox_Ot_Sklad->clear();
    ui->ComboBox_V_Sklad->clear();
    ui->ComboBox_Ot_Sklad->addItems(warehouses);
    ui->ComboBox_V_Sklad->addItems(warehouses);
    // Scrap starts in the active warehouse when there is one.
    int source = 0;
    if (isScrap())
        source = std::max(0, ui->ComboBox_Ot_Sklad->findText(session_.activeWarehouseText()));
    ui->ComboBox_Ot_Sklad->setCurrentIndex(source);
    ui->ComboBox_V_Sklad->setCurrentIndex(isScrap() ? -1 : 1);
    guarded([this] {
        if (const auto refusal =
                draft_->setWarehouses(warehouseOf(ui->ComboBox_Ot_Sklad), warehouseOf(ui->ComboBox_V_Sklad)))
            showMessage(*refusal);
    });
    const QDateTime now = session_.now();
    ui->Edit_Data->setDate(now.date());
    ui->Edit_Chas->setTime(now.time());
    resetArticle();
    showLines();
}

void TForm_Transfer::chooseWarehouses() {
    guarded([this] {
        const auto refusal =
            draft_->setWarehouses(warehouseOf(ui->ComboBox_Ot_Sklad), warehouseOf(ui->ComboBox_V_Sklad));
        if (!refusal)
            return;
        showMessage(*refusal);
        // Back to the warehouses the lines were collected for.
        const auto back = [](QComboBox* box, qint64 id) {
            for (int i = 0; i < box->count(); ++i)
                if (GetID_MFromTreeNodeName(box->itemText(i)) == id) {
                    box->setCurrentIndex(i);
                    return;
                }
            box->setCurrentIndex(-1);
        };
        back(ui->ComboBox_Ot_Sklad, draft_->source());
        back(ui->ComboBox_V_Sklad, isScrap() ? 0 : draft_->target());
    });
}

void TForm_Transfer::resetArticle() {
    article_ = 0;
    ui->Edit_Art_ID->setText(QStringLiteral("0"));
    ui->Label_Artikul->setText(texts::kNoArticleChosen);
    ui->Edit_Kol->setText(QStringLiteral("1"));
    ui->Edit_Pri4ina->clear();
    ui->Edit_Art_ID->setFocus();
    ui->Edit_Art_ID->selectAll();
}

void TForm_Transfer::findArticle() {
    guarded([this] {
        bool ok = false;
        const qint64 id = ui->Edit_Art_ID->text().trimmed().toLongLong(&ok);
        const std::optional<DeliveryArticle> a =
            ok ? deliveryArticle(session_.db(), id) : std::optional<DeliveryArticle>();
        if (!a) {
            showMessage(texts::kArticleNumberNotFound);
            pickArticles();
            return;
        }
        article_ = a->id;
        ui->Edit_Art_ID->setText(QString::number(a->id));
        ui->Label_Artikul->setText(refText(a->id, a->description));
        // The whole quantity available is proposed.
        ui->Edit_Kol->setText(formatFixed(draft_->available(a->id), 2));
        ui->Edit_Kol->setFocus();
        ui->Edit_Kol->selectAll();
    });
}

bool TForm_Transfer::addChecked(qint64 article, const Decimal& quantity) {
    Decimal wanted = quantity;
    if (quantity > Decimal(0)) {
        const Decimal available = draft_->available(article);
        if (wanted > available) {
            const QString shown = formatFixed(wanted, 2, 0);
            const QString stock = formatFixed(available, 2, 0);
            if (isScrap()) {
                if (!askYesNo(texts::kAskScrapAboveStock.arg(shown, stock)))
                    return false;
            } else {
                switch (Messages::current().question(texts::kAskMoveAboveStock.arg(shown, stock), true)) {
                case Messages::Yes:
                    if (available <= Decimal(0))
                        return false;
                    wanted = available;
                    break;
                case Messages::No:
                    break;
                default:
                    return false;
                }
            }
        }
    }
    const StockMoveDraft::Added added = draft_->add(article, wanted, ui->Edit_Pri4ina->text().trimmed());
    if (!added.refusal.isEmpty()) {
        showMessage(added.refusal);
        return false;
    }
    return true;
}

void TForm_Transfer::addLine() {
    guarded([this] {
        if (article_ == 0 || ui->Label_Artikul->text() == texts::kNoArticleChosen) {
            // "Добави" without an article adds nothing.
            ui->Edit_Art_ID->setFocus();
            ui->Edit_Art_ID->selectAll();
            return;
        }
        const std::optional<Decimal> quantity = typedDeliveryNumber(ui->Edit_Kol->text());
        if (!quantity || *quantity <= Decimal(0)) {
            showMessage(texts::kQuantityNotPositive);
            ui->Edit_Kol->setFocus();
            ui->Edit_Kol->selectAll();
            return;
        }
        if (!addChecked(article_, *quantity)) {
            ui->Edit_Kol->setFocus();
            ui->Edit_Kol->selectAll();
            return;
        }
        showLines();
        resetArticle();
    });
}

void TForm_Transfer::pickArticles() {
    torvika::pickArticles(context_, kSelectTransferArticles, this);
}

void TForm_Transfer::takeArticles(const ArticleChoice& choice) {
    guarded([&] {
        for (const PickedArticle& a : choice.articles) {
            if (!a.quantity)
                continue;
            if (*a.quantity <= Decimal(0))
                continue;
            addChecked(a.id, *a.quantity);
        }
    });
    showLines();
    resetArticle();
}

void TForm_Transfer::editLine() {
    const QVariant key = model_->value(ui->DBGrid1->currentIndex().row(), kLineKey);
    if (!key.isValid())
        return;
    guarded([&] {
        const std::optional<StockMoveLine> line = draft_->line(key.toLongLong());
        if (!line)
            return;
        const std::optional<Decimal> quantity = askQuantity(refText(line->article, line->description), this);
        if (!quantity)
            return;
        if (*quantity <= Decimal(0)) {
            showMessage(texts::kQuantityNotPositive);
            return;
        }
        const Decimal available = draft_->available(line->article, line->key);
        if (*quantity > available) {
            const QString shown = formatFixed(*quantity, 2, 0);
            const QString stock = formatFixed(available, 2, 0);
            if (!askYesNo(
                    (isScrap() ? texts::kAskScrapAboveStock : texts::kAskChangeAboveStock).arg(shown, stock)))
                return;
        }
        if (const auto refusal = draft_->change(line->key, *quantity, line->reason))
            showMessage(*refusal);
    });
    showLines();
    ui->DBGrid1->setFocus();
}

void TForm_Transfer::deleteLines() {
    QList<qint64> keys;
    QList<int> rows;
    for (const QModelIndex& index : ui->DBGrid1->selectionModel()->selectedRows())
        rows << index.row();
    if (rows.isEmpty() && ui->DBGrid1->currentIndex().isValid())
        rows << ui->DBGrid1->currentIndex().row();
    for (int r : rows)
        keys << model_->value(r, kLineKey).toLongLong();
    if (keys.isEmpty())
        return;
    guarded([&] { draft_->remove(keys); });
    showLines();
}

void TForm_Transfer::showLines() {
    guarded([this] {
        model_->setStatement(session_.db(), draft_->linesStatement());
        const StockMoveSums sums = draft_->sums(companyVatRates(session_));
        const int decimals = session_.displayDecimals();
        ui->Edit_Suma->setText(formatFixed(sums.base, decimals));
        ui->Edit_DDS->setText(formatFixed(sums.vat, decimals));
        ui->Edit_Obshto->setText(formatFixed(sums.total, decimals));
        const bool fixed = !draft_->isEmpty();
        ui->ComboBox_Ot_Sklad->setEnabled(!fixed);
        ui->ComboBox_V_Sklad->setEnabled(!fixed);
    });
}

void TForm_Transfer::print() {
    if (draft_->isEmpty()) {
        showMessage(texts::kNothingToPrint);
        return;
    }
    guarded([this] {
        const QDateTime when(ui->Edit_Data->date(), ui->Edit_Chas->time());
        const StockMoveSums sums = draft_->sums(companyVatRates(session_));
        GridFile file(gridContext(session_), this, stockMovePrintFile(kind_));
        file.lines(stockMovePrintHeading(kind_, ui->ComboBox_Ot_Sklad->currentText(),
                                         ui->ComboBox_V_Sklad->currentText(), when));
        file.table(ui->DBGrid1);
        file.finish(stockMovePrintTotals(sums, session_.displayDecimals()) << QString(),
                    QStringLiteral("\t"));
    });
}

void TForm_Transfer::importLines() {
    const QString path = Messages::current().openFileName(
        texts::kImportCaption, session_.programDir.tempDir(), texts::kNumberedFieldFilter);
    if (path.isEmpty())
        return;
    guarded([&] {
        const StockMoveImport r = importStockMoveLines(*draft_, path);
        if (!r.refused.isEmpty())
            showMessage(texts::kImportRefused.arg(r.refused.size()).arg(r.refused.join(u'\r')));
    });
    showLines();
}

void TForm_Transfer::exportLines() {
    if (draft_->isEmpty()) {
        showMessage(texts::kNothingToPrint);
        return;
    }
    const QString path = Messages::current().saveFileName(
        texts::kExportCaption, session_.programDir.tempDir(), texts::kNumberedFieldFilter);
    if (path.isEmpty())
        return;
    guarded([&] { exportStockMoveLines(*draft_, path); });
}

void TForm_Transfer::save() {
    guarded([this] {
        if (draft_->isEmpty()) {
            showMessage(texts::kEmptyStockMove);
            return;
        }
        // The stock may have changed since the lines were added.
        const QList<StockShortage> short_ = draft_->shortages();
        if (!short_.isEmpty()) {
            QStringList lines;
            for (const StockShortage& s : short_)
                lines << QStringLiteral("%1: %2 / %3")
                             .arg(refText(s.article, s.description), formatFixed(s.wanted, 2, 0),
                                  formatFixed(s.available, 2, 0));
            if (!askYesNo(texts::kAskProduceShort.arg(lines.join(u'\r'))))
                return;
        }
        StockMoveHeader h;
        h.when = QDateTime(ui->Edit_Data->date(), ui->Edit_Chas->time());
        h.operatorName = session_.operatorName();
        h.note = ui->Edit_Zabelejka->text().trimmed();
        const StockMoveSaveResult r = draft_->save(h);
        if (r.status == StockMoveSaveResult::Refused) {
            showMessage(r.message);
            return;
        }
        showMessage((isScrap() ? texts::kScrapSaved : texts::kTransferSaved).arg(r.id));
        ui->Edit_Zabelejka->clear();
    });
    showLines();
    resetArticle();
}

bool TForm_Transfer::confirmClose() {
    return !draft_ || draft_->isEmpty() || askYesNo(texts::kAskCloseStockMove);
}

void TForm_Transfer::reject() {
    // "ОТКАЗ", Escape and the window's close button alike.
    if (prepared_ && !confirmClose())
        return;
    QDialog::reject();
}

bool TForm_Transfer::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (watched == ui->DBGrid1 && key == Qt::Key_Delete) {
            deleteLines();
            return true;
        }
        if (watched == ui->DBGrid1 && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            editLine();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace torvika
