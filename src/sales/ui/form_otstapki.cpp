#include "sales/ui/form_otstapki.h"

#include "common/cformat.h"
#include "common/dates.h"
#include "common/ref_text.h"
#include "common/ui/desktop.h"
#include "common/ui/error_edge.h"
#include "common/ui/grid_file.h"
#include "common/ui/messages.h"
#include "common/ui/statement_model.h"
#include "counterparties/texts.h"
#include "counterparties/ui/counterparty_picker.h"
#include "sales/sale_lines.h"
#include "sales/texts.h"
#include "shell/session_grids.h"
#include "ui_form_otstapki.h"

#include <QDir>
#include <QSignalBlocker>

namespace torvika {

namespace {

const QString kPor = QStringLiteral("Por");

// The rows grid; printing all counterparties writes their stored rows in the same columns.
QList<GridColumnSpec> rowColumns() {
    return {{kPor, QStringLiteral("N"), 4, GridColumnSpec::Integer},
            {QStringLiteral("Otnasq_se_za"), QStringLiteral("Арт./Група"), 9},
            {QStringLiteral("ID_Art_Gr"), QStringLiteral("Арт N"), 7, GridColumnSpec::Integer},
            {QStringLiteral("Opisanie"), QStringLiteral("Артикул"), 24},
            {QStringLiteral("T_O"), QStringLiteral("TO  в %"), 10, GridColumnSpec::Number, 4},
            {QStringLiteral("Suma_Up"), QStringLiteral("Покупка над"), 11, GridColumnSpec::Number, 4}};
}

} // namespace

TForm_Spec_Otstapki::TForm_Spec_Otstapki(const WindowContext& context, QWidget* parent)
    : QDialog(parent), ui(new Ui::TForm_Spec_Otstapki), context_(context), session_(context.session),
      counterparties_(new StatementModel(this)), rows_(new StatementModel(this)) {
    ui->setupUi(this);
    counterparties_->setColumns({{QStringLiteral("ID"), QStringLiteral("Номер"), 6, GridColumnSpec::Integer},
                                 {QStringLiteral("Ime_Firma"), QStringLiteral("Наименование"), 20}});
    setUpStatementGrid(ui->DBGrid_Kontrag_TO, counterparties_);
    rows_->setColumns(rowColumns());
    setUpStatementGrid(ui->DBGrid_Sp_Otstapka, rows_);

    connect(ui->DBGrid_Kontrag_TO->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { counterpartyRowChosen(current.row()); });
    // A click on the current row loads it when nothing is loaded (after "Запис");
    // a click that moved the current row has loaded it already, or was refused.
    connect(ui->DBGrid_Kontrag_TO, &QTableView::clicked, this, [this](const QModelIndex& index) {
        if (index.row() == ui->DBGrid_Kontrag_TO->currentIndex().row())
            counterpartyRowChosen(index.row());
    });
    connect(ui->Button_Tarsi, &QPushButton::clicked, this, &TForm_Spec_Otstapki::Button_TarsiClick);
    connect(ui->Edit_Kontrag_Search, &QLineEdit::returnPressed, this,
            &TForm_Spec_Otstapki::Button_TarsiClick);
    connect(ui->Button1, &QPushButton::clicked, this, &TForm_Spec_Otstapki::Button1Click);

    connect(ui->ComboBox_Select_G_A, &QComboBox::activated, this,
            &TForm_Spec_Otstapki::ComboBox_Select_G_AChange);
    connect(ui->Button_Izberi_Art, &QPushButton::clicked, this, &TForm_Spec_Otstapki::Button_Izberi_ArtClick);
    connect(ui->Button_Dobavi, &QPushButton::clicked, this, &TForm_Spec_Otstapki::Button_DobaviClick);
    connect(ui->Button_Iztrii, &QPushButton::clicked, this, &TForm_Spec_Otstapki::Button_IztriiClick);
    connect(ui->Button_Redaktirai, &QPushButton::clicked, this, &TForm_Spec_Otstapki::Button_RedaktiraiClick);
    connect(ui->DBGrid_Sp_Otstapka, &QTableView::doubleClicked, this,
            &TForm_Spec_Otstapki::Button_RedaktiraiClick);
    connect(ui->Button_Zapis, &QPushButton::clicked, this, &TForm_Spec_Otstapki::Button_ZapisClick);
    connect(ui->Button_Otkaji, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->Button_Pe4at_Izbran, &QPushButton::clicked, this, [this] { Pe4at(false); });
    connect(ui->Button_Pe4at_Vsichki, &QPushButton::clicked, this, [this] { Pe4at(true); });

    // Enter goes from the percentage to the purchase amount, and there adds (or accepts) the row.
    connect(ui->Edit_TO, &QLineEdit::returnPressed, this, [this] {
        ui->Edit_Price_Up->setFocus();
        ui->Edit_Price_Up->selectAll();
    });
    connect(ui->Edit_Price_Up, &QLineEdit::returnPressed, this, &TForm_Spec_Otstapki::Button_DobaviClick);
    ui->Edit_TO->installEventFilter(this);
    connect(ui->Edit_Cena1, &QLineEdit::textEdited, this, [this] { priceFieldEdited(ui->Edit_Cena1); });
    connect(ui->Edit_Cena2, &QLineEdit::textEdited, this, [this] { priceFieldEdited(ui->Edit_Cena2); });
    connect(ui->Edit_Cena1, &QLineEdit::returnPressed, this, [this] {
        ui->Edit_Cena2->setFocus();
        ui->Edit_Cena2->selectAll();
    });
    connect(ui->Edit_Cena2, &QLineEdit::returnPressed, this, &TForm_Spec_Otstapki::Edit_Cena2Enter);
    for (QWidget* w : {static_cast<QWidget*>(ui->Label_Cena1), static_cast<QWidget*>(ui->Edit_Cena1),
                       static_cast<QWidget*>(ui->Label_Cena2), static_cast<QWidget*>(ui->Edit_Cena2)})
        w->hide();
    ui->ComboBox_Select_G_A->setCurrentIndex(1); // "артикул"

    guarded([this] { copy_ = std::make_unique<SpecialDiscountsCopy>(session_.db()); });
    for (QWidget* w : {static_cast<QWidget*>(ui->Panel_Vavejdane), static_cast<QWidget*>(ui->Button_Zapis),
                       static_cast<QWidget*>(ui->Button1), static_cast<QWidget*>(ui->DBGrid_Kontrag_TO)})
        w->setEnabled(ready());
    readCounterparties(QString());
    readRows();
    setEntryMode(true);
    // Not the list: a list taking the focus makes its first row current, which would load it.
    ui->Edit_Kontrag_Search->setFocus();
}

TForm_Spec_Otstapki::~TForm_Spec_Otstapki() = default;

void TForm_Spec_Otstapki::run(const WindowContext& context, QWidget* parent, const QString& refText) {
    TForm_Spec_Otstapki window(context, parent);
    if (!window.ready())
        return;
    if (!refText.isEmpty())
        window.loadCounterparty(refText);
    window.exec();
}

void TForm_Spec_Otstapki::addFollowUps(FollowUpRegistry& followUps) {
    // The counterparty list in selection mode 1 delivers to the window that opened it.
    followUps.of<CounterpartyPicker>().add(kSelectSpecialDiscounts, [](QWidget* opener, const QString& ref) {
        openerWindow<TForm_Spec_Otstapki>(opener).loadCounterparty(ref);
    });
    // And the catalogue its group or article.
    for (int mode : {kSelectDiscountGroup, kSelectDiscountArticle})
        followUps.of<ArticlePicker>().add(mode, [](QWidget* opener, const ArticleChoice& choice) {
            openerWindow<TForm_Spec_Otstapki>(opener).takeArticleChoice(choice);
        });
}

QTableView* TForm_Spec_Otstapki::counterpartyGrid() const {
    return ui->DBGrid_Kontrag_TO;
}

QTableView* TForm_Spec_Otstapki::rowsGrid() const {
    return ui->DBGrid_Sp_Otstapka;
}

void TForm_Spec_Otstapki::readCounterparties(const QString& search) {
    const bool read = guarded([&] {
        counterparties_->setStatement(session_.db(),
                                      discountCounterpartiesStatement(sqlEngine(session_.db()), search));
    });
    if (read)
        search_ = search;
    positionOnLoaded();
}

void TForm_Spec_Otstapki::positionOnLoaded() {
    // Shows the loaded counterparty as the list's current row without loading it again.
    positioning_ = true;
    const int row = ready() && copy_->counterparty() > 0
                        ? counterparties_->findRow(QStringLiteral("ID"), copy_->counterparty())
                        : -1;
    if (row >= 0)
        ui->DBGrid_Kontrag_TO->setCurrentIndex(counterparties_->index(row, 0));
    else
        ui->DBGrid_Kontrag_TO->selectionModel()->clearCurrentIndex();
    positioning_ = false;
}

void TForm_Spec_Otstapki::readRows(std::optional<qint64> current) {
    if (!ready())
        return;
    guarded([this] { rows_->setStatement(session_.db(), copy_->rowsStatement()); });
    const int row = current ? rows_->findRow(kPor, *current) : -1;
    if (row >= 0)
        ui->DBGrid_Sp_Otstapka->setCurrentIndex(rows_->index(row, 0));
    else if (rows_->rowCount() > 0)
        ui->DBGrid_Sp_Otstapka->setCurrentIndex(rows_->index(0, 0));
}

void TForm_Spec_Otstapki::counterpartyRowChosen(int row) {
    if (positioning_ || row < 0 || !ready())
        return;
    const qint64 id = counterparties_->value(row, QStringLiteral("ID")).toLongLong();
    if (id == copy_->counterparty())
        return;
    loadCounterparty(refText(id, counterparties_->value(row, QStringLiteral("Ime_Firma")).toString()));
}

bool TForm_Spec_Otstapki::loadCounterparty(const QString& refText) {
    const int id = GetID_MFromTreeNodeName(refText);
    if (!ready() || id < 1)
        return false;
    if (id == copy_->counterparty())
        return true;
    bool unsaved = false;
    if (!guarded([&] { unsaved = copy_->hasUnsavedChanges(); }))
        return false;
    if (unsaved) {
        switch (Messages::current().question(texts::kAskStoreSpecialDiscounts.arg(copy_->counterpartyText()),
                                             true)) {
        case Messages::Yes:
            if (!storeCopy()) {
                positionOnLoaded();
                return false;
            }
            break;
        case Messages::No:
            break;
        default:
            positionOnLoaded();
            return false;
        }
    }
    const bool loaded = guarded([&] { copy_->load(id, refText); });
    if (!loaded) {
        positionOnLoaded();
        return false;
    }
    endEditing();
    showLoaded();
    setEntryMode(true);
    readRows();
    positionOnLoaded();
    return true;
}

void TForm_Spec_Otstapki::showLoaded() {
    ui->Label_TO_Klient->setText(copy_->counterpartyText());
}

void TForm_Spec_Otstapki::setEntryMode(bool on) {
    entryMode_ = on;
    ui->Button_Zapis->setText(on ? texts::kDiscountsStore : texts::kDiscountsNew);
    if (on)
        ui->Label_TO_Artikul->clear();
}

void TForm_Spec_Otstapki::endEditing() {
    editedRow_.reset();
    ui->Button_Dobavi->setText(texts::kRowCaptionAdd);
}

void TForm_Spec_Otstapki::Button_TarsiClick() {
    readCounterparties(ui->Edit_Kontrag_Search->text().trimmed());
}

void TForm_Spec_Otstapki::Button1Click() {
    pickCounterparty(context_, kSelectSpecialDiscounts, this);
}

void TForm_Spec_Otstapki::ComboBox_Select_G_AChange() {
    // The choice belongs to the kind it was made for: another kind starts anew.
    endEditing();
    ui->Label_TO_Artikul->clear();
    chosenKind_.clear();
    Button_Izberi_ArtClick();
}

void TForm_Spec_Otstapki::Button_Izberi_ArtClick() {
    pickArticles(context_,
                 ui->ComboBox_Select_G_A->currentIndex() == 0 ? kSelectDiscountGroup : kSelectDiscountArticle,
                 this);
}

void TForm_Spec_Otstapki::takeArticleChoice(const ArticleChoice& choice) {
    if (choice.mode == kSelectDiscountGroup) {
        if (GetID_MFromTreeNodeName(choice.groupNode) >= 1)
            chooseItem(kDiscountForGroup, choice.groupNode);
        return;
    }
    if (choice.mode != kSelectDiscountArticle)
        return;
    const std::optional<PickedArticle> article =
        choice.articles.isEmpty() ? choice.current : std::optional<PickedArticle>(choice.articles.front());
    if (article)
        chooseItem(kDiscountForArticle, article->refText(), article->price);
}

void TForm_Spec_Otstapki::chooseItem(const QString& kind, const QString& refText,
                                     const std::optional<Decimal>& price) {
    endEditing();
    chosenKind_ = kind;
    ui->Label_TO_Artikul->setText(refText);
    {
        const QSignalBlocker block(ui->ComboBox_Select_G_A);
        ui->ComboBox_Select_G_A->setCurrentIndex(kind == kDiscountForGroup ? 0 : 1);
    }
    if (price)
        ui->Edit_Cena1->setText(price->toString());
    ui->Edit_TO->setFocus();
    ui->Edit_TO->selectAll();
}

std::optional<qint64> TForm_Spec_Otstapki::currentPor() const {
    const QModelIndex current = ui->DBGrid_Sp_Otstapka->currentIndex();
    if (!current.isValid())
        return std::nullopt;
    return rows_->value(current.row(), kPor).toLongLong();
}

std::optional<std::pair<Decimal, Decimal>> TForm_Spec_Otstapki::typedValues() {
    const auto refuse = [](const QString& message, QLineEdit* field) {
        showMessage(message);
        field->setFocus();
        field->selectAll();
    };
    const std::optional<Decimal> discount = typedDiscountValue(ui->Edit_TO->text());
    if (!discount) {
        refuse(torvika::kIncorrectData, ui->Edit_TO);
        return std::nullopt;
    }
    if (!discountAllowed(*discount)) {
        refuse(texts::kDiscountAbove100, ui->Edit_TO);
        return std::nullopt;
    }
    const std::optional<Decimal> above = typedDiscountValue(ui->Edit_Price_Up->text());
    if (!above) {
        refuse(torvika::kIncorrectData, ui->Edit_Price_Up);
        return std::nullopt;
    }
    return std::pair{*discount, *above};
}

void TForm_Spec_Otstapki::Button_DobaviClick() {
    if (!ready())
        return;
    if (editedRow_) {
        // "Приеми": the edited row takes the values.
        const auto values = typedValues();
        if (!values)
            return;
        const qint64 por = *editedRow_;
        if (!guarded([&] { copy_->edit(por, values->first, values->second); }))
            return;
        endEditing();
        ui->Label_TO_Artikul->clear();
        chosenKind_.clear();
        readRows(por);
        return;
    }
    const QString item = ui->Label_TO_Artikul->text();
    if (item.isEmpty())
        return;
    if (copy_->counterparty() == 0) {
        showMessage(texts::kChooseDiscountCounterparty);
        return;
    }
    const int id = GetID_MFromTreeNodeName(item);
    if (id < 0 || chosenKind_.isEmpty())
        return;
    const auto values = typedValues();
    if (!values)
        return;
    qint64 por = 0;
    if (guarded(
            [&] { por = copy_->add(chosenKind_, id, refDescription(item), values->first, values->second); }))
        readRows(por);
}

void TForm_Spec_Otstapki::Button_IztriiClick() {
    const std::optional<qint64> por = currentPor();
    if (!ready() || !por)
        return;
    const int row = ui->DBGrid_Sp_Otstapka->currentIndex().row();
    if (!guarded([&] { copy_->remove(*por); }))
        return;
    if (editedRow_ == por) {
        endEditing();
        ui->Label_TO_Artikul->clear();
        chosenKind_.clear();
    }
    // The row that takes the removed one's place becomes current.
    const QVariant next = rows_->value(row + 1, kPor);
    readRows(next.isValid() ? next.toLongLong() : rows_->value(row - 1, kPor).toLongLong());
}

void TForm_Spec_Otstapki::Button_RedaktiraiClick() {
    const std::optional<qint64> por = currentPor();
    if (!ready() || !por)
        return;
    std::optional<DiscountRow> r;
    if (!guarded([&] { r = copy_->row(*por); }) || !r)
        return;
    chooseItem(r->kind, refText(r->item, r->name));
    ui->Edit_TO->setText(format44(r->discount));
    ui->Edit_Price_Up->setText(format44(r->purchaseAbove));
    editedRow_ = r->por;
    ui->Button_Dobavi->setText(texts::kRowCaptionAccept);
    ui->Edit_TO->setFocus();
    ui->Edit_TO->selectAll();
}

bool TForm_Spec_Otstapki::storeCopy() {
    return guarded([this] { copy_->store(); });
}

void TForm_Spec_Otstapki::Button_ZapisClick() {
    if (!ready())
        return;
    if (!entryMode_) {
        setEntryMode(true);
        return;
    }
    if (!storeCopy())
        return;
    // As after "Откажи": nothing loaded, the working copy empty.
    endEditing();
    chosenKind_.clear();
    ui->Label_TO_Klient->clear();
    ui->Label_TO_Artikul->clear();
    setEntryMode(false);
    readRows();
    readCounterparties(search_);
}

void TForm_Spec_Otstapki::Edit_TODblClick() {
    for (QWidget* w : {static_cast<QWidget*>(ui->Label_Cena1), static_cast<QWidget*>(ui->Edit_Cena1),
                       static_cast<QWidget*>(ui->Label_Cena2), static_cast<QWidget*>(ui->Edit_Cena2)})
        w->show();
    ui->Edit_Cena1->setFocus();
    ui->Edit_Cena1->selectAll();
}

void TForm_Spec_Otstapki::priceFieldEdited(QLineEdit* field) {
    if (field->text().isEmpty() || field->text() == QStringLiteral(" ")) {
        field->setText(QStringLiteral("1"));
        field->selectAll();
    }
}

void TForm_Spec_Otstapki::Edit_Cena2Enter() {
    const std::optional<Decimal> base = Decimal::parse(ui->Edit_Cena1->text());
    const std::optional<Decimal> after = Decimal::parse(ui->Edit_Cena2->text());
    const std::optional<Decimal> percent =
        base && after ? discountBetweenPrices(*base, *after) : std::nullopt;
    if (!percent) {
        showMessage(torvika::kIncorrectData);
        return;
    }
    ui->Edit_TO->setText(format44(*percent));
    ui->Edit_TO->setFocus();
    ui->Edit_TO->selectAll();
}

bool TForm_Spec_Otstapki::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->Edit_TO && event->type() == QEvent::MouseButtonDblClick) {
        Edit_TODblClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

QString TForm_Spec_Otstapki::Pe4at(bool all) {
    if (!ready())
        return {};
    const QString date = exportDateLine(session_.now());
    if (!all) {
        if (rows_->rowCount() == 0) {
            showMessage(texts::kNothingToPrint);
            return {};
        }
        GridExport what;
        what.name = texts::kSpecialDiscountsFile;
        what.heading = {QString(), texts::kSpecialDiscountsHeading, QString(), date,
                        texts::kSpecialDiscountsCounterparty + ui->Label_TO_Klient->text()};
        what.closing = {QString()};
        return exportGrid(gridContext(session_), this, ui->DBGrid_Sp_Otstapka, what);
    }

    // Every counterparty with stored rows, and what is stored for it (the
    // working copy stays as it is).
    SqlRows listed;
    if (!guarded([&] {
            listed = torvika::readRows(session_.db(),
                                       discountCounterpartiesStatement(sqlEngine(session_.db())).text);
        }))
        return {};
    if (listed.rows.isEmpty()) {
        showMessage(texts::kNothingToPrint);
        return {};
    }
    GridFile file(gridContext(session_), this, texts::kSpecialDiscountsFile);
    const QList<GridColumn> columns = visibleColumns(ui->DBGrid_Sp_Otstapka);
    StatementModel stored;
    stored.setColumns(rowColumns());
    stored.setPageSize(0);
    bool written = file.lines({QString(), texts::kAllSpecialDiscountsHeading, QString(), date});
    for (qsizetype i = 0; i < listed.rows.size() && written; ++i) {
        const QVariantList& c = listed.rows[i];
        const QString counterparty = refText(c[0].toLongLong(), c[1].toString());
        written = file.lines({texts::kSpecialDiscountsCounterparty + counterparty});
        if (written && !guarded([&] {
                stored.setStatement(session_.db(), storedDiscountsStatement(c[0].toLongLong()));
            })) {
            file.abandon();
            written = false;
        }
        written = written && file.table(stored, columns);
    }
    return file.finish({QString()});
}

} // namespace torvika
