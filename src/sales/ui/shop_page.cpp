#include "sales/ui/shop_page.h"

#include "catalogue/ui/article_picker.h"
#include "catalogue/warehouses.h"
#include "common/amount_words.h"
#include "common/base_currency.h"
#include "common/cformat.h"
#include "common/ref_text.h"
#include "common/texts.h"
#include "common/ui/error_edge.h"
#include "common/ui/form_get_kol.h"
#include "common/ui/messages.h"
#include "common/ui/selection_order.h"
#include "counterparties/counterparties.h"
#include "counterparties/ui/counterparty_picker.h"
#include "counterparties/ui/quick_search.h"
#include "documents/ui/document_choosers.h"
#include "documents/ui/document_printer.h"
#include "sales/bills.h"
#include "sales/sale_completion.h"
#include "sales/sale_counterparty.h"
#include "sales/texts.h"
#include "sales/ui/fiscal_commands.h"
#include "sales/ui/form_konsignation.h"
#include "sales/ui/form_pay_type.h"
#include "sales/ui/ok_bottom_dlg.h"
#include "sales/ui/sale_lines_model.h"
#include "shell/firm_data.h"
#include "shell/ui/menu_rights.h"
#include "shell/vat_rates.h"
#include "ui_shop_page.h"

#include <QAction>
#include <QDir>
#include <QKeyEvent>
#include <QScopeGuard>
#include <QSignalBlocker>
#include <algorithm>

namespace torvika {

namespace {

// The buttons that run menu commands, and the blanks between caption and
// shortcut text.
struct CommandButton {
    const char* button;
    Command command;
    int blanks; // -1: the caption carries no shortcut text
};
constexpr CommandButton kCommandButtons[] = {
    {"Button_Insert_in_List", Command::Enter1, 0},
    {"Button_Prodajba", Command::N_Prodajba, 5},
    {"Button_Otkaz", Command::N_Cancel_Prodajba, 10},
    {"Button_Select_all", Command::N_Select_All, 4},
    {"Button_TO", Command::N_Ob6ta_TO, 3},
    {"Button_Refresh", Command::N_Refresh, 3},
};

// A key counts as typed by a scanner when it follows the previous one this
// quickly; a code counts as scanned when all but its first key did.
constexpr qint64 kScannerKeyGapMs = 30;
constexpr int kScannerMinimumKeys = 4;

const QColor kCounterpartyChosen(Qt::blue);
const QColor kNoCounterparty(Qt::red);

} // namespace

ShopPage::ShopPage(Host& host, QWidget* parent)
    : HostPage(parent), ui(new Ui::ShopPage), host_(host), model_(new SaleLinesModel(this)),
      selection_(nullptr), prefixes_(new QListWidget(this)), serials_(new QListWidget(this)) {
    ui->setupUi(this);
    Session& session = host.session();
    ui->QuickSearch_Kontrag->setUp(host.context(), QuickSearchPage::Shop, this);
    connect(ui->QuickSearch_Kontrag, &CounterpartyQuickSearch::chosen, this,
            [this](const QString& ref) { chooseSaleCounterparty(ref, true); });

    // Each button runs its command and is enabled as its command is.
    for (const CommandButton& b : kCommandButtons) {
        auto* button = findChild<QPushButton*>(QString::fromLatin1(b.button));
        QAction* command = host.command(b.command);
        const Command run = b.command;
        connect(button, &QPushButton::clicked, this, [this, run] { host_.runCommand(run); });
        auto follow = [button, command] { button->setEnabled(command->isEnabled()); };
        connect(command, &QAction::changed, button, follow);
        // A shortcut set in the shortcut window shows on the button at once.
        connect(command, &QAction::changed, this, [this] {
            if (captionBlanks_ >= 0)
                writeButtonCaptions(captionBlanks_);
        });
        follow();
    }
    connect(&session, &Session::saleCounterpartyChanged, this, [this] { Calculate_SUM(); });
    connect(&session.settings(), &Settings::changed, this, [this](SettingId id) {
        if (id == SettingId::AmountDecimals)
            Calculate_SUM();
        else if (id == SettingId::VatPercent)
            showVatSwitch();
    });

    // "Печат документи" prints the ticked documents; it is enabled as
    // "Печат на документи" is.
    ui->DocumentChoosers->setUp(session, PrintContext::Shop);
    ui->Panel_Kasa->setUp(host.context());
    QAction* documents = host.command(Command::N_Dokumenti);
    connect(ui->Button_Pe4at_Dokumenti, &QPushButton::clicked, this, &ShopPage::Button_Pe4at_DokumentiClick);
    auto followDocuments = [this, documents] {
        ui->Button_Pe4at_Dokumenti->setEnabled(documents->isEnabled());
    };
    connect(documents, &QAction::changed, this, followDocuments);
    followDocuments();

    ui->DBGrid1->setModel(model_);
    selection_ = new SelectionOrder(ui->DBGrid1);
    ui->DBGrid1->horizontalHeader()->setStretchLastSection(true);
    ui->DBGrid1->verticalHeader()->hide();
    ui->DBGrid1->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    const int widths[] = {70, 300, 70, 60, 90, 60, 70, 110, 120};
    for (int c = 0; c < SaleLinesModel::ColumnCount; ++c)
        ui->DBGrid1->setColumnWidth(c, widths[c]);
    connect(ui->DBGrid1, &QTableView::doubleClicked, this,
            [this](const QModelIndex& i) { openLineForEditing(i.row()); });

    // The criterion list and the known serial numbers open under their fields.
    prefixes_->setObjectName(QStringLiteral("ListBox_Prefixes"));
    prefixes_->addItems(criterionItems());
    prefixes_->hide();
    prefixes_->installEventFilter(this);
    connect(prefixes_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { chooseCriterion(prefixes_->row(item)); });
    serials_->setObjectName(QStringLiteral("ListBox_Select_SN"));
    serials_->hide();
    serials_->installEventFilter(this);
    connect(serials_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { chooseSerial(serials_->row(item)); });

    ui->ListBox_Opisanie_Artikuli->hide();
    ui->ListBox_Opisanie_Artikuli->installEventFilter(this);
    connect(ui->ListBox_Opisanie_Artikuli, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        choosePickItem(ui->ListBox_Opisanie_Artikuli->row(item), false);
    });
    connect(
        ui->ListBox_Opisanie_Artikuli, &QListWidget::itemDoubleClicked, this,
        [this](QListWidgetItem* item) { choosePickItem(ui->ListBox_Opisanie_Artikuli->row(item), true); });

    for (QWidget* w :
         {static_cast<QWidget*>(ui->Edit_Barkod), static_cast<QWidget*>(ui->Edit_Broj),
          static_cast<QWidget*>(ui->Edit_Cena_Nula), static_cast<QWidget*>(ui->Edit_Serien_Nomer),
          static_cast<QWidget*>(ui->Edit_Do_Nomer), static_cast<QWidget*>(ui->Label_Search_In)})
        w->installEventFilter(this);
    connect(ui->Edit_Barkod, &QLineEdit::textEdited, this, [this] { needsLookup_ = true; });
    connect(ui->Edit_Broj, &QLineEdit::textEdited, this, &ShopPage::quantityChanged);
    connect(ui->Edit_Cena_Nula, &QLineEdit::textEdited, this, &ShopPage::priceChanged);
    connect(ui->ChkBox_Add_DDS, &QCheckBox::clicked, this, &ShopPage::vatSwitchClicked);
    connect(ui->SpdBtn_Select_SN, &QToolButton::clicked, this, &ShopPage::showSerialList);
    connect(ui->Label_Izbor_artikul, &QLabel::linkActivated, this, [this] { pickFromCatalogue(); });
    connect(ui->ComboBox_Smetka, &QComboBox::activated, this, [this](int i) {
        if (const auto bill = parseBillNumber(ui->ComboBox_Smetka->itemText(i)))
            showBill(*bill);
    });
    ui->SpdBtn_Zadaljeniq->hide();
    connect(ui->SpdBtn_Zadaljeniq, &QToolButton::clicked, this, [this] {
        host_.followUps().of<CounterpartyPicker>().run(kSelectInstalments, this,
                                                       host_.session().saleCounterparty());
    });
    ui->ComboBox_Smetka->addItem(QStringLiteral("0"));
    ui->Panel_Smetki->hide();
    hideSerialFields();
    ui->Label_Search_In->setText(criterionLabel(criterion_));
    ui->Label_Search_In->setToolTip(criterionItem(criterion_));
}

ShopPage::~ShopPage() = default;

CounterpartyQuickSearch* ShopPage::counterpartySearch() const {
    return ui->QuickSearch_Kontrag;
}

void ShopPage::addFollowUps(FollowUpRegistry& followUps) {
    followUps.of<CounterpartyPicker>().add(kSelectSaleCounterparty, [this](QWidget*, const QString& ref) {
        chooseSaleCounterparty(ref, false);
    });
    followUps.of<ArticlePicker>().add(kSelectSaleArticle, [this](QWidget*, const ArticleChoice& choice) {
        if (choice.current) {
            criterion_ = SearchCriterion::Article;
            ui->Label_Search_In->setText(criterionLabel(criterion_));
            ui->Label_Search_In->setToolTip(criterionItem(criterion_));
            ui->Edit_Barkod->setText(QString::number(choice.current->id));
            needsLookup_ = true;
            lookUp();
        }
    });
}

QTableView* ShopPage::grid() const {
    return ui->DBGrid1;
}

int ShopPage::currentBill() const {
    return host_.session().state<ShopState>().bill;
}

int ShopPage::decimals() const {
    return decimals_;
}

QString ShopPage::formatted(const Decimal& value) const {
    return formatFixed(value, decimals());
}

QString ShopPage::priceText(const Decimal& price) const {
    // As the line will store it: display decimals below 2 would round the
    // price, and the rounded price typed back would be a discount.
    return formatFixed(price, storedPriceDecimals(decimals()));
}

SaleContext ShopPage::context() const {
    Session& s = host_.session();
    SaleContext c;
    c.operatorName = s.operatorName();
    c.bill = currentBill();
    c.terminal = s.settings().get(setting::kTerminal);
    c.counterparty = std::max<qint64>(0, GetID_MFromTreeNodeName(s.saleCounterparty()));
    c.decimals = decimals();
    c.vatRates = companyVatRates(s);
    return c;
}

void ShopPage::formShown(bool current) {
    // The bill box names the bill whose lines the grid shows (the receipts
    // and tickets print its text).
    {
        const QSignalBlocker block(ui->ComboBox_Smetka);
        ui->ComboBox_Smetka->setCurrentText(QString::number(currentBill()));
    }
    if (!current)
        return;
    showVatSwitch();
    ui->Edit_Barkod->setFocus();
}

void ShopPage::showVatSwitch() {
    // The VAT switch shows only when a VAT rate is set.
    logged([this] {
        ui->ChkBox_Add_DDS->setVisible(
            QString::compare(host_.session().settings().get(setting::kVatPercent), QStringLiteral("0")) > 0);
    });
}

void ShopPage::activated() {
    refresh();
}

void ShopPage::refresh() {
    clearEditState();
    Get_All_Smetki();
}

void ShopPage::writeButtonCaptions(int insertInListBlanks) {
    captionBlanks_ = insertInListBlanks;
    for (const CommandButton& b : kCommandButtons) {
        if (b.blanks < 0)
            continue;
        auto* button = findChild<QPushButton*>(QString::fromLatin1(b.button));
        const QString caption =
            button->property("caption").isValid() ? button->property("caption").toString() : button->text();
        button->setProperty("caption", caption);
        const int blanks = b.blanks == 0 ? insertInListBlanks : b.blanks;
        button->setText(caption + QString(blanks, u' ') + actionShortcutText(host_.command(b.command)));
    }
}

void ShopPage::chooseSaleCounterparty(const QString& refText, bool fromQuickSearch) {
    Session& session = host_.session();
    guarded([&] {
        const QSqlDatabase db = session.db();
        const qint64 id = GetID_MFromTreeNodeName(refText);
        const int bill = currentBill();
        const QList<qint64> articles = pendingArticles(db, session.operatorName(), bill);
        PendingLinesUpdate what;
        what.discounts = askYesNo(texts::kAskCounterpartyDiscounts);
        what.articleNumbers = fromQuickSearch && id > 0;
        updatePendingLines(db, session.operatorName(), bill, id, articles, what);
    });
    // Remembering the choice recomputes the totals (saleCounterpartyChanged).
    session.setSaleCounterparty(refText);
    selectOwnLines();
}

// ---- totals and bills -------------------------------------------------

namespace {

// "ДДС 20.00% :", or each rate of the lines: "ДДС 9.00%, 20.00% :".
QString vatRatesCaption(const VatTotals& totals) {
    QStringList rates;
    for (const VatByRate& r : totals.rates)
        rates << format42(r.rate) + u'%';
    if (rates.isEmpty())
        rates << format42(Decimal()) + u'%';
    return QStringLiteral("ДДС ") + rates.join(QStringLiteral(", ")) + QStringLiteral(" :");
}

} // namespace

void ShopPage::takeRecipeElements(const Decimal& quantity, const QList<ElementLine>& elements) {
    ui->Edit_Broj->setText(quantity.toString());
    guarded([&] { addElementLines(host_.session().db(), context(), elements); });
    Calculate_SUM();
}

void ShopPage::Calculate_SUM() {
    Session& s = host_.session();
    guarded([&] {
        decimals_ = s.settings().get(setting::kAmountDecimals);
        const SaleContext c = context();
        const QList<qint64> selected = selectedSaleLines();
        const SaleTotals t = recalculateSale(s.db(), c);
        showingAll_ = false;
        model_->setLines(t.lines, c.decimals);
        // The line being edited is gone (sold or cancelled elsewhere).
        if (editing_ && model_->rowOf(*editing_) < 0)
            clearEditState();
        for (qint64 line : selected)
            if (const int row = model_->rowOf(line); row >= 0)
                ui->DBGrid1->selectionModel()->select(model_->index(row, 0), QItemSelectionModel::Select |
                                                                                 QItemSelectionModel::Rows);
        ui->Label_Leva->setText(formatted(t.total));
        const BaseCurrency base = loadBaseCurrency(s.db());
        ui->Label_Leva_Caption->setText(texts::kTotalWithVatCaption.arg(base.words.major));
        model_->setTotalsCaption(base.totalsCaption);
        const QString dual = dualAmount(s, t.total);
        ui->Label_Dvoina_Suma->setText(dual);
        ui->Label_Dvoina_Suma->setVisible(!dual.isEmpty());
        ui->Label_DDS->setText(format42(t.vat.vat));
        ui->Label_SUMA_BezDDS->setText(format42(t.vat.net));
        ui->Label68->setText(vatRatesCaption(t.vat));
        ui->Label_Words->setText(Sum_To_Words(t.vat.gross, base.words));
        showCounterpartyField(!t.lines.isEmpty());
    });
    // The sale's buttons follow their commands again (a pick list disables them).
    setEntryButtonsEnabled(true);
}

void ShopPage::showCounterpartyField(bool hasLines) {
    Session& s = host_.session();
    QLineEdit* field = ui->QuickSearch_Kontrag->field();
    // A sale that lost its last line forgets its counterparty; one chosen
    // before the first line stays for it, and so does the operator's choice
    // when he opens or switches to a bill without lines.
    const int bill = currentBill();
    const bool sameSale = linesOf_ == s.operatorName() && (linesBill_ == bill || billVanished_);
    const bool emptied = !hasLines && hadLines_ && sameSale;
    linesOf_ = s.operatorName();
    linesBill_ = bill;
    hadLines_ = hasLines;
    billVanished_ = false;
    QString ref = s.saleCounterparty();
    const bool none = ref.isEmpty() || GetID_MFromTreeNodeName(ref) <= 0;
    if (emptied || none)
        ref = hasLines ? texts::kNoCounterpartyChosen : texts::kNoSaleCounterpartyShort;
    if (ref != s.saleCounterparty()) {
        const QSignalBlocker block(&s);
        s.setSaleCounterparty(ref);
    }
    ui->QuickSearch_Kontrag->setCounterpartyText(ref);
    field->setEnabled(hasLines);
    const qint64 id = GetID_MFromTreeNodeName(ref);
    bool debts = false;
    if (id > 0 && host_.followUps().of<CounterpartyPicker>().has(kSelectInstalments))
        logged([&] { debts = hasOpenConsignments(s.db(), id); });
    ui->SpdBtn_Zadaljeniq->setVisible(debts);
}

void ShopPage::Get_All_Smetki() {
    Session& s = host_.session();
    guarded([&] {
        QStringList bills = openBills(s.db(), s.operatorName());
        // A bill just opened is listed while it has no lines yet.
        if (openedBill_ >= 0 && !bills.contains(QString::number(openedBill_))) {
            bills << QString::number(openedBill_);
            std::sort(bills.begin(), bills.end());
        } else {
            openedBill_ = -1;
        }
        int& bill = s.state<ShopState>().bill;
        const int shown = bill;
        bill = billAfterRebuild(bills, bill);
        // The bill shown lost its last line (sold or cancelled).
        billVanished_ = bill != shown;
        const QSignalBlocker block(ui->ComboBox_Smetka);
        ui->ComboBox_Smetka->clear();
        ui->ComboBox_Smetka->addItems(bills);
        ui->ComboBox_Smetka->setCurrentText(QString::number(bill));
        ui->Panel_Smetki->setVisible(bills.size() > 1);
    });
    Calculate_SUM();
}

void ShopPage::showBill(int bill, bool open) {
    openedBill_ = open ? bill : (bill == openedBill_ ? bill : -1);
    host_.session().state<ShopState>().bill = bill;
    clearEditState();
    Get_All_Smetki();
    ui->Edit_Barkod->setFocus();
}

void ShopPage::openBill() {
    TForm_Get_Kol dialog(TForm_Get_Kol::BillNumber, QString(), window());
    // Only digits: "+5", "5.0" or "1e3" are refused with the dialog's message.
    dialog.setAccepts([](const QString& text) { return parseBillNumber(text).has_value(); });
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (const std::optional<int> bill = parseBillNumber(dialog.text()))
        showBill(*bill, true);
}

// ---- criteria and lookup ----------------------------------------------

void ShopPage::placePopup(QListWidget* list, QWidget* under) {
    const QPoint at = under->mapTo(this, QPoint(0, under->height()));
    const int rows = std::min(list->count(), 8);
    list->setGeometry(at.x(), at.y(), std::max(under->width(), 260),
                      rows * list->sizeHintForRow(0) + 2 * list->frameWidth() + 4);
    list->raise();
    list->show();
    list->setCurrentRow(0);
    list->setFocus();
}

void ShopPage::showCriteria() {
    placePopup(prefixes_, ui->Edit_Barkod);
}

void ShopPage::chooseCriterion(int item) {
    prefixes_->hide();
    if (item >= 0 && item < prefixes_->count()) {
        const QString text = prefixes_->item(item)->text();
        criterion_ = criterionOf(text);
        ui->Label_Search_In->setText(text.left(2));
        ui->Label_Search_In->setToolTip(text);
    }
    ui->Edit_Barkod->setFocus();
}

void ShopPage::lookUp() {
    if (prefixes_->hasFocus() || !needsLookup_)
        return;
    needsLookup_ = false;
    const QString reference = ui->Edit_Barkod->text().trimmed();
    if (reference.isEmpty())
        return;
    // A code typed at scanner speed is a barcode whatever the criterion shown.
    const bool scanned = typedKeys_ >= kScannerMinimumKeys && fastKeys_ >= typedKeys_ - 1;
    typedKeys_ = fastKeys_ = 0;
    guarded([&] {
        const QSqlDatabase db = host_.session().db();
        QList<qint64> found;
        SearchCriterion foundBy = criterion_;
        if (scanned && criterion_ != SearchCriterion::Barcode) {
            found = findArticles(db, SearchCriterion::Barcode, reference);
            if (!found.isEmpty())
                foundBy = SearchCriterion::Barcode;
        }
        if (found.isEmpty())
            found = findArticles(db, criterion_, reference);
        // A barcode or serial number whose article is gone finds nothing either.
        const QList<PickItem> items = found.isEmpty() ? QList<PickItem>() : pickItems(db, found);
        if (items.isEmpty()) {
            // The article found before is no longer the one the next line is of.
            article_.reset();
            ui->Ime_na_produkt->clear();
            showMessage(texts::kNothingFound);
            ui->Edit_Barkod->clear();
            ui->Edit_Barkod->setFocus();
            return;
        }
        if (items.size() >= 2) {
            showPickList(items);
            return;
        }
        // The quantity before the article: a recipe chosen with it sets its own.
        ui->Edit_Broj->setEnabled(true);
        ui->Edit_Broj->setText(QStringLiteral("1"));
        chooseArticle(items.first().id, foundBy == SearchCriterion::Serial);
        if (ui->Edit_Cena_Nula->hasFocus() || ui->Edit_Serien_Nomer->isVisible())
            return;
        ui->Edit_Broj->setFocus();
        ui->Edit_Broj->selectAll();
    });
}

void ShopPage::chooseArticle(qint64 id, bool bySerial) {
    const QSqlDatabase db = host_.session().db();
    article_ = loadSaleArticle(db, id);
    if (!article_)
        return;
    const QString typed = ui->Edit_Barkod->text().trimmed();
    ui->Ime_na_produkt->setText(articleCaption(*article_));
    ui->ChkBox_Add_DDS->setChecked(article_->vatIncluded);
    ui->Label_Edini4na_Cena->setText(article_->currency);
    // The line being edited shows its own price; a new line the catalogue's.
    ui->Edit_Cena_Nula->setText(editing_ && article_->id == editingArticle_ ? priceText(editingPrice_)
                                                                            : priceText(article_->price));
    followUpArticle(bySerial ? typed : QString());
    if (article_->price.isZero())
        ui->Edit_Cena_Nula->selectAll();
}

void ShopPage::followUpArticle(const QString& typedSerial) {
    Session& s = host_.session();
    const QSqlDatabase db = s.db();
    clearSerialFields();
    const bool askPeriod = s.settings().get(setting::kWarrantyPeriodAtSale);
    if (askPeriod)
        ui->Edit_Do_Nomer->setText(warrantyPeriodText(article_->shelfLife));
    if (article_->warranty) {
        serialChoices_.clear();
        if (!typedSerial.isEmpty()) {
            ui->Edit_Serien_Nomer->setText(typedSerial);
            if (const auto known = serialOf(db, article_->id, typedSerial); known && !askPeriod)
                ui->Edit_Do_Nomer->setText(known->date);
            ui->SpdBtn_Select_SN->hide();
        } else {
            serialChoices_ = knownSerials(db, article_->id);
            if (serialChoices_.size() == 1) {
                ui->Edit_Serien_Nomer->setText(serialChoices_.at(0).serial);
                if (!askPeriod)
                    ui->Edit_Do_Nomer->setText(serialChoices_.at(0).date);
            }
            ui->SpdBtn_Select_SN->setVisible(serialChoices_.size() > 1);
        }
        ui->Label14->setText(texts::kSerialCaption);
        ui->Label14->show();
        ui->Edit_Serien_Nomer->show();
        ui->Edit_Do_Nomer->show();
        ui->Edit_Serien_Nomer->setFocus();
    } else if (article_->series) {
        ui->Label14->setText(texts::kSeriesCaption);
        ui->Edit_Do_Nomer->clear();
        ui->Label14->show();
        ui->Edit_Serien_Nomer->show();
        ui->Edit_Do_Nomer->show();
        ui->SpdBtn_Select_SN->hide();
        ui->Edit_Serien_Nomer->setFocus();
    } else {
        ui->Label14->hide();
        ui->Edit_Serien_Nomer->hide();
        ui->Edit_Do_Nomer->hide();
        ui->SpdBtn_Select_SN->hide();
    }
    if (article_->price.isZero()) {
        ui->Edit_Cena_Nula->setFocus();
        showMessage(texts::kZeroPriceArticle);
    }
    if (hasRecipe(db, article_->id))
        host_.followUps().of<SaleRecipe>().run(kSaleRecipe, this, article_->id);
}

void ShopPage::showPickList(const QList<PickItem>& items) {
    QListWidget* list = ui->ListBox_Opisanie_Artikuli;
    list->clear();
    for (const PickItem& item : items) {
        auto* row = new QListWidgetItem(item.name, list);
        row->setData(Qt::UserRole, item.id);
    }
    setEntryButtonsEnabled(false);
    list->show();
    list->setCurrentRow(0);
    list->setFocus();
}

void ShopPage::hidePickList() {
    ui->ListBox_Opisanie_Artikuli->hide();
    ui->ListBox_Opisanie_Artikuli->clear();
}

void ShopPage::choosePickItem(int row, bool choose) {
    QListWidget* list = ui->ListBox_Opisanie_Artikuli;
    if (row < 0 || row >= list->count())
        return;
    const qint64 id = list->item(row)->data(Qt::UserRole).toLongLong();
    guarded([&] {
        const std::optional<SaleArticle> a = loadSaleArticle(host_.session().db(), id);
        if (!a)
            return;
        if (!choose) {
            // A single click previews the article.
            ui->Edit_Cena_Nula->setText(a->price.toString());
            ui->Ime_na_produkt->setText(articleCaption(*a));
            ui->Label_Edini4na_Cena->setText(a->currency);
            return;
        }
        chooseArticle(id, criterion_ == SearchCriterion::Serial);
        hidePickList();
        setEntryButtonsEnabled(true);
        ui->Edit_Broj->setText(QStringLiteral("1"));
        ui->Edit_Broj->setEnabled(true);
        if (!ui->Edit_Serien_Nomer->isVisible() && !article_->price.isZero()) {
            ui->Edit_Broj->setFocus();
            ui->Edit_Broj->selectAll();
        }
    });
}

void ShopPage::setEntryButtonsEnabled(bool enabled) {
    for (const char* name : {"Button_Insert_in_List", "Button_Prodajba"}) {
        auto* button = findChild<QPushButton*>(QString::fromLatin1(name));
        const QAction* command =
            host_.command(name == QLatin1String("Button_Prodajba") ? Command::N_Prodajba : Command::Enter1);
        button->setEnabled(enabled && command->isEnabled());
    }
}

void ShopPage::pickFromCatalogue() {
    pickArticles(host_.context(), kSelectSaleArticle, window());
}

// ---- quantity, price and serial numbers ---------------------------------

bool ShopPage::checkQuantity() {
    const QString text = ui->Edit_Broj->text().trimmed();
    if (text.isEmpty() || text == QLatin1String("0")) {
        showMessage(texts::kZeroValue);
        ui->Edit_Broj->clear();
        ui->Edit_Broj->setFocus();
        return false;
    }
    if (!parsePositiveAmount(text) || !Decimal::parse(ui->Edit_Cena_Nula->text())) {
        showMessage(texts::kWrongValue);
        ui->Edit_Broj->clear();
        ui->Edit_Broj->setFocus();
        return false;
    }
    return true;
}

void ShopPage::quantityChanged(const QString& text) {
    if (const auto q = Decimal::parse(text); q && q->sign() < 0) {
        showMessage(texts::kNegativeQuantity);
        ui->Edit_Broj->setText(QStringLiteral("1"));
    } else if (text.trimmed().startsWith(u'-')) {
        showMessage(texts::kNegativeQuantity);
        ui->Edit_Broj->setText(QStringLiteral("1"));
    }
}

void ShopPage::priceChanged(const QString& text) {
    if (text.trimmed().startsWith(u'-')) {
        showMessage(texts::kNegativePrice);
        ui->Edit_Cena_Nula->setText(priceText(article_ ? article_->price : Decimal()));
    }
}

void ShopPage::vatSwitchClicked() {
    Session& s = host_.session();
    guarded([&] {
        const Decimal rate = vatRateFromText(s.settings().get(setting::kVatPercent));
        if (rate.isZero())
            return;
        const std::optional<Decimal> price = Decimal::parse(ui->Edit_Cena_Nula->text());
        if (!price)
            return;
        const Decimal factor = rate.divided(100, 6) + 1;
        const Decimal changed = ui->ChkBox_Add_DDS->isChecked()
                                    ? *price * factor
                                    : price->divided(factor, std::max(decimals(), 2) + 4);
        ui->Edit_Cena_Nula->setText(priceText(changed));
        ui->Edit_Cena_Nula->setFocus();
    });
}

bool ShopPage::serialExit() {
    if (serials_->hasFocus())
        return true;
    if (ui->Edit_Serien_Nomer->text().trimmed().isEmpty()) {
        showMessage(texts::kSerialNeeded);
        ui->Edit_Serien_Nomer->setFocus();
        return false;
    }
    ui->Label14->hide();
    ui->SpdBtn_Select_SN->hide();
    return true;
}

void ShopPage::showSerialList() {
    serials_->clear();
    for (const KnownSerial& s : serialChoices_)
        serials_->addItem(s.serial);
    placePopup(serials_, ui->Edit_Serien_Nomer);
}

void ShopPage::chooseSerial(int row) {
    if (row < 0 || row >= serialChoices_.size())
        return;
    ui->Edit_Serien_Nomer->setText(serialChoices_.at(row).serial);
    serials_->hide();
    ui->SpdBtn_Select_SN->hide();
    if (!host_.session().settings().get(setting::kWarrantyPeriodAtSale))
        ui->Edit_Do_Nomer->setText(serialChoices_.at(row).date);
    ui->Edit_Do_Nomer->setFocus();
}

void ShopPage::hideSerialFields() {
    ui->Label14->hide();
    ui->Edit_Serien_Nomer->hide();
    ui->Edit_Do_Nomer->hide();
    ui->SpdBtn_Select_SN->hide();
}

void ShopPage::clearSerialFields() {
    ui->Edit_Serien_Nomer->clear();
    ui->Edit_Do_Nomer->clear();
}

// ---- lines ------------------------------------------------------------

void ShopPage::insertLine() {
    if (!article_) {
        showMessage(texts::kIncorrectData);
        resetEntry();
        return;
    }
    const std::optional<Decimal> quantity = parsePositiveAmount(ui->Edit_Broj->text());
    const std::optional<Decimal> price = Decimal::parse(ui->Edit_Cena_Nula->text());
    // Prices are above 0: a typed 0 would sell the article free.
    if (!quantity || !price || price->sign() <= 0) {
        showMessage(texts::kIncorrectData);
        ui->Edit_Cena_Nula->setText(QStringLiteral("0.0000"));
        ui->Edit_Broj->setText(QStringLiteral("1"));
        clearSerialFields();
        return;
    }
    Session& s = host_.session();
    const QSqlDatabase db = s.db();
    const QString serial = ui->Edit_Serien_Nomer->text().trimmed();
    if (article_->warranty) {
        if (serial.isEmpty()) {
            showMessage(texts::kSerialNeeded);
            ui->Edit_Serien_Nomer->show();
            ui->Edit_Do_Nomer->show();
            ui->Label14->show();
            ui->Edit_Serien_Nomer->setFocus();
            return;
        }
        bool taken = false;
        if (!guarded([&] { taken = serialTaken(db, article_->id, serial, editing_.value_or(0)); }))
            return;
        if (taken) {
            showMessage(texts::kSerialSold.arg(serial));
            ui->Edit_Serien_Nomer->setFocus();
            ui->Edit_Serien_Nomer->selectAll();
            return;
        }
    }
    EnterResult r;
    const LineEntry entry{article_->id, *quantity, *price, serial, ui->Edit_Do_Nomer->text()};
    if (!guarded([&] { r = enterLine(db, context(), entry, editing_); })) {
        clearSerialFields();
        return;
    }
    switch (r.status) {
    case EnterResult::Added:
    case EnterResult::Rewritten:
        break;
    case EnterResult::Gone:
        showMessage(texts::kLineGone);
        clearEditState();
        resetEntry();
        Calculate_SUM();
        return;
    case EnterResult::NoArticle:
        showMessage(texts::kArticleGone);
        resetEntry();
        return;
    case EnterResult::IncorrectData:
        showMessage(texts::kIncorrectData);
        ui->Edit_Cena_Nula->setText(QStringLiteral("0.0000"));
        ui->Edit_Broj->setText(QStringLiteral("1"));
        clearSerialFields();
        return;
    case EnterResult::AboveMaximum:
        showMessage(texts::kAboveMaxDiscount + formatted(r.maxDiscount) + u'%');
        ui->Edit_Cena_Nula->setText(priceText(article_->price));
        ui->Edit_Cena_Nula->setFocus();
        ui->Edit_Cena_Nula->selectAll();
        clearSerialFields();
        return;
    }
    clearEditState();
    resetEntry();
    Get_All_Smetki();
    if (const int row = model_->rowOf(r.line); row >= 0)
        ui->DBGrid1->scrollTo(model_->index(row, 0));
}

void ShopPage::resetEntry() {
    ui->Edit_Broj->setText(QStringLiteral("1"));
    ui->Edit_Barkod->clear();
    needsLookup_ = false;
    hidePickList();
    clearSerialFields();
    hideSerialFields();
    ui->Edit_Barkod->setFocus();
}

void ShopPage::clearEditState() {
    editing_.reset();
    editingArticle_ = 0;
    editingPrice_ = Decimal();
}

void ShopPage::openLineForEditing(int row) {
    if (showingAll_ || row < 0 || row >= model_->rowCount())
        return;
    const SaleLine& l = model_->line(row);
    if (l.operatorName != host_.session().operatorName())
        return;
    guarded([&] {
        if (const auto a = loadSaleArticle(host_.session().db(), l.article))
            ui->Ime_na_produkt->setText(articleCaption(*a));
    });
    editing_ = l.number;
    editingArticle_ = l.article;
    editingPrice_ = l.unitPrice;
    criterion_ = SearchCriterion::Article;
    ui->Label_Search_In->setText(criterionLabel(criterion_));
    ui->Label_Search_In->setToolTip(criterionItem(criterion_));
    ui->Edit_Barkod->setText(QString::number(l.article));
    ui->Edit_Broj->setText(formatted(l.quantity));
    ui->Edit_Cena_Nula->setText(priceText(l.unitPrice));
    ui->Label_Edini4na_Cena->setText(l.currency);
    needsLookup_ = true;
    ui->Edit_Barkod->setFocus();
    ui->Edit_Barkod->selectAll();
}

QList<qint64> ShopPage::selectedSaleLines() const {
    QList<qint64> lines;
    for (int row : selection_->rows())
        if (row >= 0 && row < model_->rowCount())
            lines << model_->line(row).number;
    return lines;
}

QString ShopPage::billText() const {
    return QString::number(currentBill());
}

DocumentChoosers* ShopPage::documentChoosers() const {
    return ui->DocumentChoosers;
}

LineAmounts ShopPage::documentAmounts() const {
    Session& s = host_.session();
    return [&s](const QSqlDatabase& db, const QList<qint64>& lines) {
        return saleLinesVat(db, lines, s.displayDecimals(), companyVatRates(s));
    };
}

void ShopPage::toggleCashDesk() {
    ui->Panel_Kasa->toggle();
}

void ShopPage::showDocumentChoosers() {
    ui->DocumentChoosers->showChoosers();
}

void ShopPage::Button_Pe4at_DokumentiClick() {
    Session& session = host_.session();
    PrintRequest request;
    if (!guarded([&] { request = pageRequest(session, PrintContext::Shop); }))
        return;
    request.lines = selectedSaleLines();
    request.counterparty = std::max(0, GetID_MFromTreeNodeName(session.saleCounterparty()));
    request.amounts = documentAmounts();
    printDocuments(session, request,
                   {ui->DocumentChoosers->checkedDocuments(), ui->DocumentChoosers->checkedPrinters()}, this);
    ui->DocumentChoosers->closeChoosers();
}

void ShopPage::selectOwnLines() {
    const QString op = host_.session().operatorName();
    QItemSelection selection;
    for (int r = 0; r < model_->rowCount(); ++r)
        if (model_->line(r).operatorName == op)
            selection.select(model_->index(r, 0), model_->index(r, SaleLinesModel::ColumnCount - 1));
    ui->DBGrid1->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void ShopPage::cancelSelectedLines() {
    const QList<qint64> lines = selectedSaleLines();
    if (lines.isEmpty() || !askYesNo(texts::kAskCancelLines))
        return;
    Session& s = host_.session();
    if (guarded([&] { cancelLines(s.db(), s.operatorName(), lines, 1); })) {
        if (editing_ && lines.contains(*editing_))
            clearEditState();
    }
    Get_All_Smetki();
    ui->Edit_Barkod->setFocus();
    s.requestLogin();
}

void ShopPage::sell() {
    Session& s = host_.session();
    // Whatever happens, the till is ready for the next code afterwards
    // (after the login for the next customer when the sale went through).
    bool sold = false;
    const auto done = qScopeGuard([this, &s, &sold] {
        Get_All_Smetki();
        ui->Edit_Barkod->setFocus();
        if (sold)
            s.requestLogin();
    });
    bool sellAll = false;
    bool autoOrder = false;
    if (!guarded([&] {
            sellAll = s.settings().get(setting::kSellEverything);
            autoOrder = s.settings().get(setting::kAutoOrderBelowMinimum);
        }))
        return;
    if (sellAll)
        selectOwnLines();
    const QList<qint64> lines = selectedSaleLines();
    if (lines.isEmpty()) {
        showMessage(texts::kSelectLinesForSale);
        return;
    }

    // The stock goes out of the active warehouse: without one the customer
    // would pay for a sale that cannot be recorded.
    bool warehouse = false;
    if (!guarded([&] { warehouse = loadWarehouse(s.db(), s.activeWarehouse()).has_value(); }))
        return;
    if (!warehouse) {
        showMessage(texts::kNoActiveWarehouse);
        return;
    }

    Decimal amountDue;
    QList<SaleLine> shown; // the selected lines in grid order
    for (int row = 0; row < model_->rowCount(); ++row)
        if (lines.contains(model_->line(row).number))
            shown << model_->line(row);
    for (const SaleLine& line : shown)
        amountDue += line.amount;
    // The order proposals are asked before the payment and written once the
    // sale is recorded; a failure there never stops the sale.
    QList<OrderProposal> proposals;
    logged([&] { proposals = minimumStockProposals(s.db(), shown, s.activeWarehouse()); });
    QList<OrderProposal> orders;
    for (const OrderProposal& p : proposals)
        if (autoOrder || askYesNo(texts::kAskOrderBelowMinimum.arg(p.description)))
            orders << p;

    const qint64 counterparty = std::max<qint64>(0, GetID_MFromTreeNodeName(s.saleCounterparty()));
    const std::optional<Payment> payment = GET_PAY_TYPE(counterparty, formatted(amountDue), window());
    if (!payment)
        return;
    const std::optional<PayKind> pay = payment->kind;
    // A deferred payment: the credit's terms, for the lines the consignment
    // dialog kept (a line it left out stays in the list, unsold).
    QList<qint64> sellLines = lines;
    std::optional<CreditSale> credit;
    if (*pay == PayKind::Deferred) {
        credit =
            INSERTINTO_KONSIGNATION(host_.context(), shown, s.saleCounterparty(), payment->given, window());
        if (!credit)
            return;
        sellLines.removeIf([&](qint64 n) {
            return std::none_of(credit->lines.begin(), credit->lines.end(),
                                [n](const SaleLine& l) { return l.number == n; });
        });
        amountDue = credit->purchase;
    }

    FiscalSettings receipts;
    QString fiscalDevice;
    std::optional<FiscalServer> server;
    if (!guarded([&] {
            receipts = fiscalSettings(s);
            fiscalDevice = s.settings().get(setting::kFiscalDeviceNumber).trimmed();
            server = fiscalServer(s);
        }))
        return;
    SaleRequest request;
    request.fiscalDevice = fiscalDevice;
    // Through a print server every cash sale prints its fiscal receipt.
    request.printsReceipt = *pay == PayKind::Cash && (server || receipts.saleHasReceipt());
    request.operatorName = s.operatorName();
    request.lines = sellLines;
    request.pay = *pay;
    if (credit)
        request.credit = credit->terms;
    request.counterparty = counterparty;
    request.warehouse = s.activeWarehouse();
    request.amountDue = amountDue;
    request.when = QDateTime::currentDateTime();
    request.decimals = decimals();
    SaleResult sale;
    if (!guarded([&] { sale = recordSale(s.db(), request); }))
        return;
    if (sale.status == SaleResult::Changed) {
        showMessage(texts::kSaleLinesChanged);
        return;
    }
    if (sale.status == SaleResult::NoRate) {
        showMessage(
            texts::kCurrencyWithoutRate.arg(u'"' + sale.currencies.join(QStringLiteral("\", \"")) + u'"'));
        return;
    }
    if (editing_ && sellLines.contains(*editing_))
        clearEditState();

    for (const OrderProposal& p : orders)
        logged([&] { writeOrderProposal(s.db(), p, request.when.date()); });
    if (*pay == PayKind::Cash && server) {
        // The receipt goes to the print server while the till goes on; the
        // department tickets are files as ever.
        sendSaleReceipt(s, *server, httpSaleReceipt(sale.sold, amountDue, sale.unp, *server));
        FiscalSettings ticketsOnly = receipts;
        ticketsOnly.saleReceipt = kNoReceipt;
        printReceipt(sale.sold, amountDue, ticketsOnly, sale.unp);
    } else if (*pay == PayKind::Cash) {
        printReceipt(sale.sold, amountDue, receipts, sale.unp);
    }
    sold = true;
}

void ShopPage::printReceipt(const QList<SaleLine>& sold, const Decimal& amountDue,
                            const FiscalSettings& settings, const QString& unp) {
    Session& s = host_.session();
    QString file;
    guarded([&] {
        BonHeader header = bonHeader(s, billText(), amountDue);
        header.unp = unp;
        const QList<ReceiptLine> receipt = receiptLines(sold);
        FiscalState& fiscal = s.state<FiscalState>();
        BonResult result = printSaleReceipt(fiscal, receipt, amountDue, s.db(), settings, header);
        reportBonResult(s, result);
        // The sale is recorded: its receipt can be tried again until it
        // prints; one given up is offered again at the next start.
        while (result.receiptFailed && askYesNo(texts::kAskReceiptAgain)) {
            result = printSaleReceiptAgain(fiscal, receipt, amountDue, s.db(), settings, header);
            reportBonResult(s, result);
        }
        file = result.receiptFile;
    });
    if (file.isEmpty())
        return;
    // The sale and its receipt are done: a failure to note the file is no
    // failed sale.
    try {
        recordReceiptFile(s.db(), sold, file);
    } catch (const std::exception& e) {
        logException(e);
        showMessage(texts::kReceiptNotRecorded.arg(QDir::toNativeSeparators(file)));
    }
}

void ShopPage::showAllLines() {
    Session& s = host_.session();
    guarded([&] {
        model_->setLines(allOperatorLines(s.db(), s.operatorName(), decimals()), decimals());
        showingAll_ = true;
        // Lines of any bill or currency can be cancelled from here.
        ui->Button_Otkaz->setEnabled(host_.command(Command::N_Cancel_Prodajba)->isEnabled());
    });
}

void ShopPage::freeDiscount() {
    const QList<qint64> lines = selectedSaleLines();
    if (lines.isEmpty()) {
        showMessage(texts::kSelectLinesForDiscount);
        return;
    }
    TOKBottomDlg dialog(window());
    if (dialog.exec() != QDialog::Accepted)
        return;
    QList<qint64> articles;
    for (qint64 line : lines)
        if (const int row = model_->rowOf(line); row >= 0 && !articles.contains(model_->line(row).article))
            articles << model_->line(row).article;
    guarded([&] { applyFreeDiscount(host_.session().db(), context(), articles, *dialog.percent()); });
    Calculate_SUM();
}

// ---- keys -------------------------------------------------------------

bool ShopPage::eventFilter(QObject* watched, QEvent* event) {
    const auto* key = event->type() == QEvent::KeyPress ? static_cast<QKeyEvent*>(event) : nullptr;
    const bool enter = key && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter);
    if (watched == ui->Edit_Barkod) {
        if (key) {
            if (key->key() == Qt::Key_Space && ui->Edit_Barkod->text().isEmpty()) {
                showCriteria();
                return true;
            }
            if (enter) {
                lookUp();
                return true;
            }
            if (!key->text().isEmpty() && key->text().at(0).isPrint()) {
                // Keys that follow each other within a few milliseconds come from a scanner.
                if (ui->Edit_Barkod->text().isEmpty())
                    typedKeys_ = fastKeys_ = 0;
                if (typedKeys_ > 0 && lastKey_.isValid() && lastKey_.elapsed() <= kScannerKeyGapMs)
                    ++fastKeys_;
                ++typedKeys_;
                lastKey_.start();
            }
        } else if (event->type() == QEvent::KeyRelease) {
            const auto* release = static_cast<QKeyEvent*>(event);
            // The keypad "*" makes what was typed before it the quantity.
            if (release->key() == Qt::Key_Asterisk && (release->modifiers() & Qt::KeypadModifier) &&
                ui->Edit_Barkod->text().endsWith(u'*')) {
                const QString text = ui->Edit_Barkod->text();
                ui->Edit_Broj->setText(text.left(text.size() - 1));
                ui->Edit_Barkod->clear();
                needsLookup_ = false;
                return true;
            }
        } else if (event->type() == QEvent::FocusOut) {
            lookUp();
        }
    } else if (watched == ui->Label_Search_In && event->type() == QEvent::MouseButtonDblClick) {
        showCriteria();
        return true;
    } else if (watched == prefixes_ && key) {
        if (enter) {
            chooseCriterion(prefixes_->currentRow());
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            prefixes_->hide();
            ui->Edit_Barkod->clear();
            ui->Edit_Barkod->setFocus();
            return true;
        }
    } else if (watched == serials_ && key) {
        if (enter) {
            chooseSerial(serials_->currentRow());
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            serials_->hide();
            ui->SpdBtn_Select_SN->hide();
            ui->Edit_Serien_Nomer->setFocus();
            return true;
        }
    } else if (watched == ui->ListBox_Opisanie_Artikuli && key && enter) {
        choosePickItem(ui->ListBox_Opisanie_Artikuli->currentRow(), true);
        return true;
    } else if (watched == ui->Edit_Broj && enter) {
        if (checkQuantity()) {
            ui->Edit_Cena_Nula->setFocus();
            ui->Edit_Cena_Nula->selectAll();
        }
        return true;
    } else if (watched == ui->Edit_Cena_Nula && enter) {
        if (checkQuantity())
            host_.runCommand(Command::Enter1);
        return true;
    } else if (watched == ui->Edit_Serien_Nomer && enter) {
        if (serialExit())
            ui->Edit_Do_Nomer->setFocus();
        return true;
    } else if (watched == ui->Edit_Do_Nomer && enter) {
        ui->Edit_Do_Nomer->hide();
        ui->Edit_Serien_Nomer->hide();
        ui->Edit_Broj->setFocus();
        ui->Edit_Broj->selectAll();
        return true;
    }
    return HostPage::eventFilter(watched, event);
}

} // namespace torvika
