#include "catalogue/ui/form_projzvodstvo.h"

#include "catalogue/articles.h"
#include "catalogue/deliveries.h"
#include "catalogue/reference_lists.h"
#include "catalogue/texts.h"
#include "catalogue/ui/article_picker.h"
#include "common/cformat.h"
#include "common/ref_text.h"
#include "common/ui/error_edge.h"
#include "common/ui/form_get_kol.h"
#include "common/ui/messages.h"
#include "common/ui/statement_model.h"
#include "shell/vat_rates.h"
#include "ui_form_projzvodstvo.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>

namespace torvika {

namespace {

const QString kLineKey = QStringLiteral("Line_Key");

// The quantities typed ("," or "." alike).
std::optional<Decimal> typedQuantity(const QString& text) {
    const std::optional<Decimal> q = typedDeliveryNumber(text);
    if (!q || q->sign() <= 0)
        return std::nullopt;
    return q;
}

} // namespace

TForm_Projzvodstvo::TForm_Projzvodstvo(const WindowContext& context, QWidget* parent)
    : QDialog(parent), ui(new Ui::TForm_Projzvodstvo), context_(context), session_(context.session),
      model_(new StatementModel(this)) {
    ui->setupUi(this);
    for (QStringView kind : recipeKindCaptions)
        ui->ComboBox_Operacia->addItem(kind.toString());
    ui->ComboBox_Operacia->setCurrentIndex(-1);
    ui->ComboBox_Ime->lineEdit()->setMaxLength(kRecipeNameWidth);
    const int decimals = session_.displayDecimals();
    model_->setColumns({
        {QStringLiteral("ID_El"), texts::kRecipeColumnArticle, 8, GridColumnSpec::Integer},
        {QStringLiteral("Opisanie"), texts::kTransferColumnDescription, 34},
        {QStringLiteral("Kol_El"), texts::kTransferColumnQuantity, 9, GridColumnSpec::Number, 3},
        {QStringLiteral("Mqrka"), texts::kTransferColumnUnit, 6},
        {QStringLiteral("Ed_Cena"), texts::kRecipeColumnPrice, 9, GridColumnSpec::Number, decimals},
        {QStringLiteral("Valuta_P"), texts::kTransferColumnCurrency, 7},
    });
    setUpStatementGrid(ui->DBGrid1, model_);
    ui->DBGrid1->installEventFilter(this);
    ui->Label_Osnoven->installEventFilter(this);

    connect(ui->ComboBox_Operacia, &QComboBox::activated, this, [this] { chooseKind(); });
    connect(ui->ComboBox_Ime, &QComboBox::currentTextChanged, this, [this] { showRecipe(); });
    connect(ui->Edit_Za_Kol, &QLineEdit::editingFinished, this, [this] { showValue(); });
    connect(ui->Button_Dobavi, &QPushButton::clicked, this, [this] { addElements(); });
    connect(ui->Button_Iztrii, &QPushButton::clicked, this, [this] { deleteElement(); });
    connect(ui->Button_Redaktirai, &QPushButton::clicked, this, [this] { editElement(); });
    connect(ui->DBGrid1, &QTableView::doubleClicked, this, [this] { editElement(); });
    connect(ui->Button_Redakcia, &QPushButton::clicked, this, [this] { setEditing(!editing_); });
    connect(ui->Button_Zapis, &QPushButton::clicked, this, [this] { save(); });
    connect(ui->Button_Priemi, &QPushButton::clicked, this, [this] { acceptSale(); });
    connect(ui->Button_Otkaz, &QPushButton::clicked, this, [this] { cancel(); });
    connect(ui->Button_Izpalni, &QPushButton::clicked, this, [this] { carryOut(); });
    connect(ui->Button_Iztrii_Operacia, &QPushButton::clicked, this, [this] { deleteOperation(); });

    guarded([this] {
        draft_ = std::make_unique<RecipeDraft>(session_.db());
        ui->ComboBox_Sklad->addItems(warehouseItems(session_.db()));
        ui->ComboBox_Sklad->setCurrentIndex(
            std::max(0, ui->ComboBox_Sklad->findText(session_.activeWarehouseText())));
    });
}

TForm_Projzvodstvo::~TForm_Projzvodstvo() = default;

QTableView* TForm_Projzvodstvo::grid() const {
    return ui->DBGrid1;
}

void TForm_Projzvodstvo::addFollowUps(FollowUpRegistry& registry) {
    registry.of<ArticlePicker>().add(kSelectProductionArticle, [](QWidget* opener, const ArticleChoice& c) {
        openerWindow<TForm_Projzvodstvo>(opener).takeMainArticle(c);
    });
    registry.of<ArticlePicker>().add(kSelectProductionElements, [](QWidget* opener, const ArticleChoice& c) {
        openerWindow<TForm_Projzvodstvo>(opener).takeElements(c);
    });
}

void TForm_Projzvodstvo::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous() && !prepared_) {
        prepared_ = true;
        if (!draft_) {
            QMetaObject::invokeMethod(
                this, [this] { done(Rejected); }, Qt::QueuedConnection);
            return;
        }
        if (mode_ == EditMode)
            prepareEditing();
    }
}

void TForm_Projzvodstvo::prepareEditing() {
    ui->Panel_Elementi->show();
    ui->GroupBox_Izpalnenie->show();
    ui->ComboBox_Operacia->setEnabled(true);
    ui->ComboBox_Operacia->setCurrentIndex(-1);
    ui->Label_Osnoven->setEnabled(true);
    ui->Label_Osnoven_Art->setText(texts::kNoArticleChosen);
    ui->Button_Zapis->show();
    ui->Button_Priemi->hide();
    ui->ComboBox_Ime->clear();
    for (QStringView name : recipeDefaultNames)
        ui->ComboBox_Ime->addItem(name.toString());
    updateCaption();
    showRecipe();
}

void TForm_Projzvodstvo::updateCaption() {
    const int kind = ui->ComboBox_Operacia->currentIndex();
    if (kind < 0)
        setWindowTitle(texts::kOperationNoKindCaption);
    else
        setWindowTitle((editing_ ? texts::kOperationEditCaption : texts::kOperationCaption)
                           .arg(ui->ComboBox_Operacia->currentText()));
}

RecipeSelection TForm_Projzvodstvo::selection() const {
    const QString name = ui->ComboBox_Ime->currentText().trimmed();
    if (draft_)
        if (const std::optional<RecipeHeader> r = draft_->recipeNamed(name))
            return {r->id, r->name};
    return {0, name};
}

std::optional<RecipeHeader> TForm_Projzvodstvo::shownRecipe() const {
    if (!draft_)
        return std::nullopt;
    return draft_->recipeNamed(ui->ComboBox_Ime->currentText().trimmed());
}

void TForm_Projzvodstvo::takeMainArticle(const ArticleChoice& choice) {
    if (choice.current)
        chooseMainArticle(choice.current->id);
}

void TForm_Projzvodstvo::chooseMainArticle(qint64 article) {
    guarded([&] {
        const std::optional<DeliveryArticle> a = deliveryArticle(session_.db(), article);
        if (!a)
            return;
        draft_->load(a->id);
        ui->Label_Osnoven_Art->setText(refText(a->id, a->description));
        const QSignalBlocker block(ui->ComboBox_Ime);
        ui->ComboBox_Ime->clear();
        ui->ComboBox_Ime->addItems(draft_->names(mode_ == EditMode));
        ui->ComboBox_Ime->setCurrentIndex(0);
    });
    showRecipe();
}

void TForm_Projzvodstvo::chooseKind() {
    updateCaption();
    showRecipe();
}

void TForm_Projzvodstvo::showRecipe() {
    if (!draft_)
        return;
    const std::optional<RecipeHeader> recipe = shownRecipe();
    guarded([&] { model_->setStatement(session_.db(), draft_->linesStatement(selection())); });
    const bool hasLines = model_->rowCount() > 0;
    const bool chosen = draft_->article() > 0;
    if (recipe) {
        ui->ComboBox_Operacia->setCurrentIndex(recipe->kind);
        ui->Label_Nomer->setText(QString::number(recipe->id));
        if (!editing_ || mode_ == SaleMode)
            ui->Edit_Za_Kol->setText(mode_ == SaleMode ? QStringLiteral("1")
                                                       : recipe->forQuantity.toString());
    } else {
        if (editing_)
            setEditing(false);
        guarded([&] {
            ui->Label_Nomer->setText(ui->ComboBox_Operacia->currentIndex() < 0
                                         ? QStringLiteral("0")
                                         : QString::number(proposedRecipeNumber(session_.db())));
        });
    }
    const bool sale = mode_ == SaleMode;
    // In sale mode the lines change only for this sale, and only where the
    // settings allow it.
    const bool editLines = !sale || editAtSale_;
    ui->Button_Redakcia->setVisible(!sale && recipe.has_value());
    ui->Button_Iztrii_Operacia->setVisible(!sale && recipe.has_value());
    ui->Button_Dobavi->setEnabled(editLines && chosen && ui->ComboBox_Operacia->currentIndex() >= 0);
    ui->Button_Iztrii->setEnabled(editLines && hasLines);
    ui->Button_Redaktirai->setEnabled(editLines && hasLines);
    ui->Button_Izpalni->setEnabled(!sale && recipe.has_value() && !editing_);
    ui->Button_Priemi->setEnabled(sale && recipe.has_value() && hasLines);
    updateCaption();
    showValue();
}

void TForm_Projzvodstvo::showValue() {
    guarded([this] {
        RecipeValue v;
        const std::optional<Decimal> typed = typedQuantity(ui->Edit_Za_Kol->text());
        if (typed && draft_) {
            // Sale mode: the elements of the quantity sold; editing: the
            // elements as they stand, for the recipe's quantity.
            const std::optional<RecipeHeader> recipe = shownRecipe();
            const Decimal forQuantity = mode_ == SaleMode && recipe ? recipe->forQuantity : *typed;
            v = draft_->value(selection(), forQuantity, *typed, companyVatRates(session_));
        }
        ui->Edit_Dan_Osnova->setText(format44(v.base));
        ui->Edit_DDS->setText(format44(v.vat));
        ui->Edit_Obshto->setText(format44(v.total));
    });
}

void TForm_Projzvodstvo::setEditing(bool on) {
    editing_ = on;
    ui->Label_Osnoven->setEnabled(!on);
    ui->Button_Redakcia->setStyleSheet(on ? QStringLiteral("color: red") : QString());
    if (!on && draft_ && draft_->article() > 0) {
        // Leaving the edit drops the changes not saved.
        guarded([this] { draft_->load(draft_->article()); });
    }
    showRecipe();
}

void TForm_Projzvodstvo::addElements() {
    if (ui->ComboBox_Operacia->currentIndex() < 0) {
        showMessage(texts::kNoOperationKind);
        return;
    }
    torvika::pickArticles(context_, kSelectProductionElements, this);
}

void TForm_Projzvodstvo::takeElements(const ArticleChoice& choice) {
    guarded([&] {
        const RecipeSelection s = selection();
        for (const PickedArticle& a : choice.articles) {
            if (!a.quantity)
                continue;
            if (const auto refusal = draft_->add(s, a.id, *a.quantity))
                showMessage(*refusal);
        }
    });
    showRecipe();
}

void TForm_Projzvodstvo::deleteElement() {
    const QVariant key = model_->value(ui->DBGrid1->currentIndex().row(), kLineKey);
    if (!key.isValid())
        return;
    guarded([&] { draft_->remove(key.toLongLong()); });
    showRecipe();
}

void TForm_Projzvodstvo::editElement() {
    const int row = ui->DBGrid1->currentIndex().row();
    const QVariant key = model_->value(row, kLineKey);
    if (!key.isValid() || (mode_ == SaleMode && !editAtSale_))
        return;
    const QString article = refText(model_->value(row, QStringLiteral("ID_El")).toLongLong(),
                                    model_->value(row, QStringLiteral("Opisanie")).toString());
    const std::optional<Decimal> q = askQuantity(article, this);
    if (!q)
        return;
    guarded([&] {
        if (const auto refusal = draft_->setQuantity(key.toLongLong(), *q))
            showMessage(*refusal);
    });
    showRecipe();
}

void TForm_Projzvodstvo::save() {
    const int kind = ui->ComboBox_Operacia->currentIndex();
    if (kind < 0) {
        showMessage(texts::kNoOperationKind);
        return;
    }
    guarded([&] {
        RecipeHeader h;
        h.article = draft_->article();
        h.kind = kind;
        h.name = ui->ComboBox_Ime->currentText().trimmed();
        const std::optional<Decimal> forQuantity = typedQuantity(ui->Edit_Za_Kol->text());
        if (!forQuantity) {
            showMessage(texts::kRecipeForQuantity);
            ui->Edit_Za_Kol->setFocus();
            ui->Edit_Za_Kol->selectAll();
            return;
        }
        h.forQuantity = *forQuantity;
        const std::optional<RecipeHeader> shown = shownRecipe();
        if (editing_ && shown) {
            const RecipeSaveResult r = draft_->saveChanges(shown->id, h);
            if (r.status != RecipeSaveResult::Saved) {
                showMessage(r.message);
                return;
            }
            // A saved edit leaves the switch off.
            {
                const QSignalBlocker block(ui->ComboBox_Ime);
                ui->ComboBox_Ime->clear();
                ui->ComboBox_Ime->addItems(draft_->names(true));
                ui->ComboBox_Ime->setCurrentText(h.name);
            }
            setEditing(false);
            return;
        }
        if (shown) {
            // The name is a saved recipe of the article: open it for editing.
            if (askYesNo(texts::kAskEditExistingRecipe.arg(h.name))) {
                setEditing(true);
            } else {
                ui->ComboBox_Ime->setFocus();
                ui->ComboBox_Ime->lineEdit()->selectAll();
            }
            return;
        }
        const RecipeSaveResult r = draft_->saveNew(h);
        switch (r.status) {
        case RecipeSaveResult::Refused:
            showMessage(r.message);
            return;
        case RecipeSaveResult::Exists:
            // Saved meanwhile by another workstation.
            draft_->load(h.article);
            if (askYesNo(texts::kAskEditExistingRecipe.arg(h.name)))
                setEditing(true);
            return;
        case RecipeSaveResult::Saved:
            break;
        }
        {
            const QSignalBlocker block(ui->ComboBox_Ime);
            ui->ComboBox_Ime->clear();
            ui->ComboBox_Ime->addItems(draft_->names(true));
            ui->ComboBox_Ime->setCurrentText(h.name);
        }
        // A new recipe just saved stays open for editing.
        editing_ = true;
        ui->Label_Osnoven->setEnabled(false);
        ui->Button_Redakcia->setStyleSheet(QStringLiteral("color: red"));
    });
    showRecipe();
}

void TForm_Projzvodstvo::cancel() {
    if (mode_ == EditMode && editing_) {
        setEditing(false);
        return;
    }
    reject();
}

void TForm_Projzvodstvo::deleteOperation() {
    const std::optional<RecipeHeader> recipe = shownRecipe();
    if (!recipe)
        return;
    if (!askYesNo(texts::kAskDeleteRecipe.arg(recipe->name, ui->Label_Osnoven_Art->text())))
        return;
    guarded([&] {
        if (!deleteRecipe(session_.db(), recipe->id))
            showMessage(texts::kRecipeGone);
        editing_ = false;
        ui->Label_Osnoven->setEnabled(true);
        ui->Button_Redakcia->setStyleSheet(QString());
        draft_->load(draft_->article());
        const QSignalBlocker block(ui->ComboBox_Ime);
        ui->ComboBox_Ime->clear();
        ui->ComboBox_Ime->addItems(draft_->names(true));
        ui->ComboBox_Ime->setCurrentIndex(0);
    });
    showRecipe();
}

void TForm_Projzvodstvo::carryOut() {
    const std::optional<RecipeHeader> recipe = shownRecipe();
    if (!recipe)
        return;
    const std::optional<Decimal> quantity = typedQuantity(ui->Edit_Kol_Izp->text());
    if (!quantity) {
        showMessage(texts::kQuantityNotPositive);
        ui->Edit_Kol_Izp->setFocus();
        ui->Edit_Kol_Izp->selectAll();
        return;
    }
    guarded([&] {
        ProductionRequest request;
        request.recipe = recipe->id;
        request.quantity = *quantity;
        request.warehouse = GetID_MFromTreeNodeName(ui->ComboBox_Sklad->currentText());
        request.operatorName = session_.operatorName();
        request.when = session_.now();
        const QList<ProductionShortage> shortages = productionShortages(session_.db(), request);
        if (!shortages.isEmpty()) {
            QStringList lines;
            for (const ProductionShortage& s : shortages)
                lines << QStringLiteral("%1: %2 / %3")
                             .arg(refText(s.article, s.description), formatFixed(s.needed, 3, 0),
                                  formatFixed(s.available, 3, 0));
            if (!askYesNo(texts::kAskProduceShort.arg(lines.join(u'\r'))))
                return;
        }
        const ProductionResult r = produce(session_.db(), request);
        showMessage(r.status == ProductionResult::Done ? texts::kOperationDone.arg(r.id) : r.message);
    });
}

// ---- Sale mode ----

void TForm_Projzvodstvo::openForSale(qint64 article) {
    mode_ = SaleMode;
    // The settings: whether the elements are shown, and whether they may
    // be changed for this sale (the recipe itself is not saved).
    bool showElements = true;
    guarded([&] {
        editAtSale_ = session_.settings().get(setting::kRecipeEditAtSale);
        showElements = session_.settings().get(setting::kShowProductionElements);
    });
    editAtSale_ = editAtSale_ && showElements;
    ui->GroupBox_Elementi->setVisible(showElements);
    ui->Panel_Elementi->setVisible(editAtSale_);
    ui->GroupBox_Izpalnenie->hide();
    ui->ComboBox_Operacia->setEnabled(false);
    ui->Label_Osnoven->setEnabled(false);
    ui->Button_Zapis->hide();
    ui->Button_Redakcia->hide();
    ui->Button_Iztrii_Operacia->hide();
    ui->Button_Priemi->show();
    if (draft_)
        chooseMainArticle(article);
    ui->Edit_Za_Kol->setText(QStringLiteral("1"));
    showValue();
    ui->Edit_Za_Kol->setFocus();
    ui->Edit_Za_Kol->selectAll();
}

void TForm_Projzvodstvo::acceptSale() {
    const std::optional<RecipeHeader> recipe = shownRecipe();
    if (!recipe)
        return;
    const std::optional<Decimal> sold = typedQuantity(ui->Edit_Za_Kol->text());
    if (!sold) {
        showMessage(texts::kQuantityNotPositive);
        ui->Edit_Za_Kol->setFocus();
        ui->Edit_Za_Kol->selectAll();
        return;
    }
    RecipeSale sale;
    const bool ok = guarded([&] {
        sale.recipe = recipe->id;
        sale.quantity = *sold;
        sale.elements =
            recipeSaleElements(session_.db(), draft_->lines(selection()), recipe->forQuantity, *sold);
    });
    if (!ok)
        return;
    // A warranty element or one sold in series asks its serial number.
    for (RecipeSaleElement& e : sale.elements) {
        if (!e.warranty && !e.series)
            continue;
        TForm_Get_Kol dialog(TForm_Get_Kol::SerialOrSeries, e.description, this);
        const QString period = shelfLifeWarrantyText(e.shelfLife);
        dialog.setGuarantee(period);
        if (dialog.exec() == QDialog::Accepted) {
            e.serial = dialog.serial().trimmed();
            e.warrantyText = dialog.guarantee().trimmed();
        }
    }
    sale_ = sale;
    QDialog::accept();
}

bool TForm_Projzvodstvo::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->Label_Osnoven && event->type() == QEvent::MouseButtonRelease) {
        if (ui->Label_Osnoven->isEnabled() && mode_ == EditMode)
            torvika::pickArticles(context_, kSelectProductionArticle, this);
        return true;
    }
    if (watched == ui->DBGrid1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Delete && ui->Button_Iztrii->isEnabled()) {
            deleteElement();
            return true;
        }
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && ui->Button_Redaktirai->isEnabled()) {
            editElement();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace torvika
