#include "offers/ui/form_oferti.h"

#include "common/base_currency.h"
#include "common/cformat.h"
#include "common/errors.h"
#include "common/number_column.h"
#include "common/ref_text.h"
#include "common/texts.h"
#include "common/ui/error_edge.h"
#include "common/ui/grid_file.h"
#include "common/ui/import_statistic_panel.h"
#include "common/ui/messages.h"
#include "common/ui/statement_model.h"
#include "counterparties/ui/counterparty_picker.h"
#include "offers/texts.h"
#include "shell/session_grids.h"
#include "ui_form_oferti.h"

#include <QAction>
#include <QCheckBox>
#include <QColor>
#include <QFont>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QTreeWidget>

namespace torvika {

namespace {

QPointer<TForm_Oferti> theWindow;

// A statement grid whose rows a function colours (red and blue, bold).
class ColouredRows : public StatementModel {
public:
    ColouredRows(QObject* parent, std::function<QColor(int)> colour)
        : StatementModel(parent), colour_(std::move(colour)) {}
    QVariant data(const QModelIndex& index, int role) const override {
        if (role == Qt::ForegroundRole || role == Qt::FontRole) {
            const QColor c = colour_(index.row());
            if (!c.isValid())
                return StatementModel::data(index, role);
            if (role == Qt::ForegroundRole)
                return c;
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return StatementModel::data(index, role);
    }

private:
    std::function<QColor(int)> colour_;
};

const QStringList kCriteria{QStringLiteral("Описание на артикул"),
                            QStringLiteral("Име на група"),
                            QStringLiteral("Номер група"),
                            QStringLiteral("Цена 1"),
                            QStringLiteral("Цена 2"),
                            QStringLiteral("Цена 3"),
                            QStringLiteral("Валута"),
                            QStringLiteral("Статус"),
                            QStringLiteral("Доставчик"),
                            QStringLiteral("Каталожен номер")};

// The catalogue grid's columns and the fields a title click sorts by.
const QList<std::pair<GridColumnSpec, QString>> kArticleColumns{
    {{QStringLiteral("Kat_N"), QStringLiteral("Кат. N"), 12}, QStringLiteral("Art_CL.Kat_N")},
    {{QStringLiteral("Opisanie"), QStringLiteral("Описание"), 40}, QStringLiteral("Art_CL.Opisanie")},
    {{QStringLiteral("Cena_1"), QStringLiteral("Цена 1"), 10, GridColumnSpec::Number},
     QStringLiteral("Art_CL.Cena_1")},
    {{QStringLiteral("Cena_2"), QStringLiteral("Цена 2"), 10, GridColumnSpec::Number},
     QStringLiteral("Art_CL.Cena_2")},
    {{QStringLiteral("Cena_3"), QStringLiteral("Цена 3"), 10, GridColumnSpec::Number},
     QStringLiteral("Art_CL.Cena_3")},
    {{QStringLiteral("Valuta"), QStringLiteral("Валута"), 6}, QStringLiteral("Art_CL.Valuta")},
    {{QStringLiteral("Status"), QStringLiteral("Статус"), 10}, QStringLiteral("Art_CL.Status")},
    {{QStringLiteral("Firma"), QStringLiteral("Доставчик"), 16}, QStringLiteral("Firm_CL.Opisanie")},
    {{QStringLiteral("Grupa"), QStringLiteral("Група"), 16}, QStringLiteral("Grupi_CL.Opisanie")},
};

const QStringList kLineFields{QStringLiteral("ID"),      QStringLiteral("ID_Mark"),  QStringLiteral("Grup"),
                              QStringLiteral("Kat_N"),   QStringLiteral("Opisanie"), QStringLiteral("Suma"),
                              QStringLiteral("Kol"),     QStringLiteral("Cena"),     QStringLiteral("Valuta"),
                              QStringLiteral("Korekt"),  QStringLiteral("Cena_2"),   QStringLiteral("Cena_3"),
                              QStringLiteral("Pe4alba"), QStringLiteral("Firma")};

QString sumTitle(int priceColumn) {
    return QStringLiteral("Общо лв:Цена%1").arg(priceColumn);
}

QList<GridColumnSpec> lineColumns(int decimals) {
    using F = GridColumnSpec;
    return {{QStringLiteral("ID"), QStringLiteral("N"), 4, F::Integer},
            {QStringLiteral("ID_Mark"), QStringLiteral("Маркер"), 6, F::Integer},
            {QStringLiteral("Grup"), QStringLiteral("Група"), 14},
            {QStringLiteral("Kat_N"), QStringLiteral("Кат. N"), 10},
            {QStringLiteral("Opisanie"), QStringLiteral("Описание"), 34},
            {QStringLiteral("Suma"), sumTitle(1), 12, F::Number, decimals},
            {QStringLiteral("Kol"), QStringLiteral("Кол."), 6, F::Number, 2},
            {QStringLiteral("Cena"), QStringLiteral("Цена"), 10, F::Number, 2},
            {QStringLiteral("Valuta"), QStringLiteral("Валута"), 6},
            {QStringLiteral("Korekt"), QStringLiteral("Корекция"), 8},
            {QStringLiteral("Cena_2"), QStringLiteral("Цена 2"), 10, F::Number, 2},
            {QStringLiteral("Cena_3"), QStringLiteral("Цена 3"), 10, F::Number, 2},
            {QStringLiteral("Pe4alba"), QStringLiteral("Печалба"), 10, F::Number, decimals},
            {QStringLiteral("Firma"), QStringLiteral("Доставчик"), 16}};
}

QList<int> selectedRows(const QTableView* grid) {
    QList<int> rows;
    for (const QModelIndex& i : grid->selectionModel()->selectedRows())
        rows << i.row();
    std::sort(rows.begin(), rows.end());
    if (rows.isEmpty() && grid->currentIndex().isValid())
        rows << grid->currentIndex().row();
    return rows;
}

} // namespace

CompanyData companyData(Session& session) {
    const Settings& s = session.settings();
    return {s.get(setting::kCompanyName),  s.get(setting::kCompanyManager), s.get(setting::kCompanyAddress),
            s.get(setting::kCompanyPhone), s.get(setting::kCompanyEik),     s.get(setting::kCompanyIban),
            s.get(setting::kCompanyBic),   s.get(setting::kCompanyBank)};
}

TForm_Oferti::TForm_Oferti(const WindowContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window), ui(new Ui::TForm_Oferti), context_(context), session_(context.session),
      treeFile_(supplierTreeFile(context.session.workspace.directory())), copy_(context.session.db()) {
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    resize(1200, 800);
    ui->Splitter_Main->setStretchFactor(1, 1);
    ui->Splitter_Main->setSizes({260, 940});
    ui->Splitter_Right->setSizes({380, 420});

    articles_ = new ColouredRows(this, [this](int row) { return articleColour(row); });
    QList<GridColumnSpec> columns;
    for (const auto& c : kArticleColumns)
        columns << c.first;
    articles_->setColumns(columns);
    setUpStatementGrid(ui->DBGrid_Art, articles_, true);
    lines_ = new ColouredRows(this, [this](int row) { return lineColour(row); });
    lines_->setColumns(lineColumns(decimals()));
    setUpStatementGrid(ui->DBGrid_Oferta, lines_, true);

    ui->ListBox_Search_Kriterii->addItems(kCriteria);
    ui->ListBox_Search_Kriterii->setCurrentRow(0);
    ui->ListBox_Search_Kriterii->hide();
    ui->Label_ID_Kontragent->setText(texts::kNoCounterpartyChosen);

    // The tree's pop-up menu, its keys working while the tree has the focus.
    auto treeAction = [this](const char* name, const QString& text, const QKeySequence& key, auto slot) {
        auto* a = new QAction(text, ui->TreeView1);
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcut(key);
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        ui->TreeView1->addAction(a);
        connect(a, &QAction::triggered, this, slot);
    };
    treeAction("Action_Dobavi", QStringLiteral("Добави"), QKeySequence(Qt::Key_Insert),
               [this] { importList(false); });
    treeAction("Action_Aktualizirai", QStringLiteral("Актуализирай"), QKeySequence(Qt::CTRL | Qt::Key_Insert),
               [this] { importList(true); });
    treeAction("Action_Iztrii", QStringLiteral("Изтрии"), QKeySequence(Qt::Key_Delete),
               [this] { deleteNode(); });
    treeAction("Action_Iztrii_Vsi4ko", QStringLiteral("Изтрии всичко"),
               QKeySequence(Qt::CTRL | Qt::Key_Delete), [this] { deleteAll(); });
    connect(ui->TreeView1, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(this);
        menu.addActions(ui->TreeView1->actions());
        menu.exec(ui->TreeView1->viewport()->mapToGlobal(at));
    });
    connect(ui->TreeView1, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { nodeClicked(item); });

    connect(ui->Button_Kriterii, &QPushButton::clicked, this, [this] {
        ui->ListBox_Search_Kriterii->show();
        ui->ListBox_Search_Kriterii->setFocus();
    });
    connect(ui->ListBox_Search_Kriterii, &QListWidget::itemActivated, this, [this] { chooseCriterion(); });
    connect(ui->Button_Tarsene, &QPushButton::clicked, this, [this] { search(); });
    connect(ui->Edit_Search, &QLineEdit::returnPressed, this, [this] { search(); });
    for (int i = 0; i < 8; ++i) {
        auto* box = findChild<QCheckBox*>(QStringLiteral("CheckBox_Sort_%1").arg(i));
        connect(box, &QCheckBox::toggled, this, [this, i](bool on) {
            sortBoxes_.removeAll(i);
            if (on)
                sortBoxes_ << i;
        });
    }
    connect(ui->Button_Podredi, &QPushButton::clicked, this, [this] { sortByBoxes(); });
    connect(ui->DBGrid_Art->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { titleClicked(false, column); });
    connect(ui->DBGrid_Oferta->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { titleClicked(true, column); });
    connect(ui->DBGrid_Art, &QTableView::doubleClicked, this, [this] { addSelected(); });
    connect(ui->Label3, &QPushButton::clicked, this,
            [this] { pickCounterparty(context_, kSelectOffer, this); });

    connect(ui->Button_Dobavi, &QPushButton::clicked, this, [this] { addSelected(); });
    connect(ui->Button_Iztrii, &QPushButton::clicked, this, [this] { deleteLines(); });
    connect(ui->Button_Sravni, &QPushButton::clicked, this, [this] { compare(); });
    connect(ui->Button_Nali4no, &QPushButton::clicked, this,
            [this] { pickArticles(context_, kSelectOfferArticles, this); });
    connect(ui->Button_Zapis, &QPushButton::clicked, this, [this] { save(); });
    connect(ui->Button_Pe4at, &QPushButton::clicked, this, [this] { print(); });
    connect(ui->SpinEdit_Marker, &QSpinBox::valueChanged, this, [this] { compare(); });
    connect(ui->SpinEdit_Cena_N, &QSpinBox::valueChanged, this, [this] { compare(); });
    connect(ui->Button_Zad_Dobavi, &QPushButton::clicked, this, [this] { addElement(); });
    connect(ui->Edit_Zad_el, &QLineEdit::returnPressed, this, [this] { addElement(); });
    connect(ui->Button_Zad_Iztrii, &QPushButton::clicked, this, [this] { deleteElement(); });

    guarded([this] {
        loadTree();
        loadElements();
        refreshOffer();
    });
}

TForm_Oferti::~TForm_Oferti() = default;

TForm_Oferti* TForm_Oferti::showWindow(const WindowContext& context, QWidget* parent) {
    if (!theWindow) {
        TForm_Oferti* made = nullptr;
        if (!guarded([&] { made = new TForm_Oferti(context, parent); }))
            return nullptr;
        theWindow = made;
    }
    theWindow->setWindowState(theWindow->windowState() & ~Qt::WindowMinimized);
    theWindow->show();
    theWindow->raise();
    theWindow->activateWindow();
    return theWindow;
}

TForm_Oferti* TForm_Oferti::openWindow() {
    return theWindow;
}

void TForm_Oferti::addFollowUps(FollowUpRegistry& registry) {
    registry.of<CounterpartyPicker>().add(kSelectOffer, [](QWidget* opener, const QString& ref) {
        openerWindow<TForm_Oferti>(opener).takeCounterparty(ref);
    });
    registry.of<ArticlePicker>().add(kSelectOfferArticles, [](QWidget* opener, const ArticleChoice& choice) {
        openerWindow<TForm_Oferti>(opener).addOwnArticles(choice.articles);
    });
}

int TForm_Oferti::decimals() const {
    return session_.settings().get(setting::kAmountDecimals);
}

// ---- The tree ----

void TForm_Oferti::loadTree() {
    QSet<qint64> excluded;
    for (int i = 0; i < ui->TreeView1->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* s = ui->TreeView1->topLevelItem(i);
        if (s->checkState(0) == Qt::Unchecked)
            excluded.insert(GetID_MFromTreeNodeName(s->text(0)));
    }
    ui->TreeView1->clear();
    QTreeWidgetItem* supplier = nullptr;
    for (const TreeLine& line : loadSupplierTree(session_.db(), treeFile_)) {
        if (line.depth == 0) {
            supplier = new QTreeWidgetItem(ui->TreeView1, {line.text});
            supplier->setFlags(supplier->flags() | Qt::ItemIsUserCheckable);
            supplier->setCheckState(0, excluded.contains(GetID_MFromTreeNodeName(line.text)) ? Qt::Unchecked
                                                                                             : Qt::Checked);
            supplier->setToolTip(0, QStringLiteral("Отметнат: доставчикът участва в търсенето"));
        } else if (supplier) {
            new QTreeWidgetItem(supplier, {line.text});
        }
    }
}

QList<qint64> TForm_Oferti::searchedSuppliers() const {
    QList<qint64> out;
    for (int i = 0; i < ui->TreeView1->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* s = ui->TreeView1->topLevelItem(i);
        if (s->childCount() > 0 && s->checkState(0) == Qt::Checked)
            out << GetID_MFromTreeNodeName(s->text(0));
    }
    return out;
}

void TForm_Oferti::importList(bool update) {
    std::optional<qint64> supplier;
    if (update) {
        const QTreeWidgetItem* node = ui->TreeView1->currentItem();
        if (!node || node->parent()) {
            showMessage(texts::kPriceListChooseSupplier);
            return;
        }
        supplier = GetID_MFromTreeNodeName(node->text(0));
    }
    const QString file =
        Messages::current().openFileName(update ? texts::kPriceListUpdateHint : texts::kPriceListAddHint,
                                         session_.workspace.directory(), texts::kPriceListFilter);
    if (file.isEmpty())
        return;
    SupplierListImport result;
    if (!guarded([&] {
            result = importSupplierList(session_.db(), treeFile_, file, supplier, context_.progress);
        }))
        return;
    guarded([this] { loadTree(); });
    if (!panel_) {
        panel_ = new ImportStatisticPanel(this);
        panel_->setWindowFlags(Qt::Tool);
        panel_->setWindowTitle(update ? texts::kPriceListUpdateHint : texts::kPriceListAddHint);
    }
    panel_->showReport(result.report);
}

void TForm_Oferti::deleteNode() {
    const QTreeWidgetItem* node = ui->TreeView1->currentItem();
    if (!node)
        return;
    const qint64 id = GetID_MFromTreeNodeName(node->text(0));
    if (!node->parent()) {
        if (!askYesNo(texts::kPriceListDeleteSupplier.arg(refDescription(node->text(0)))))
            return;
        guarded([&] { deleteSupplier(session_.db(), treeFile_, id); });
    } else {
        if (!askYesNo(texts::kPriceListDeleteGroup.arg(refDescription(node->text(0)))))
            return;
        const qint64 supplier = GetID_MFromTreeNodeName(node->parent()->text(0));
        guarded([&] { deleteSupplierGroup(session_.db(), treeFile_, supplier, id); });
    }
    articles_->clear();
    guarded([this] { loadTree(); });
}

void TForm_Oferti::deleteAll() {
    if (!askYesNo(texts::kPriceListDeleteAll))
        return;
    guarded([this] { deleteAllSupplierLists(session_.db(), treeFile_); });
    articles_->clear();
    guarded([this] { loadTree(); });
}

void TForm_Oferti::nodeClicked(QTreeWidgetItem* item) {
    if (!item || !item->parent())
        return;
    const qint64 group = GetID_MFromTreeNodeName(item->text(0));
    const qint64 supplier = GetID_MFromTreeNodeName(item->parent()->text(0));
    if (group > 0)
        showArticles(supplierGroupArticles(supplier, group));
}

// ---- The catalogue grid ----

void TForm_Oferti::showArticles(const SqlStatement& statement) {
    guarded([&] {
        const SelectionFigures f = selectionFigures(session_.db(), statement);
        bounds_ = f.bounds;
        articles_->setStatement(session_.db(), statement);
        ui->Label_Count->setText(QString::number(f.count));
    });
}

QColor TForm_Oferti::articleColour(int row) const {
    const QVariant v = articles_->value(row, QStringLiteral("Cena_1"));
    if (v.isNull())
        return {};
    const Decimal price = fromNumberColumn(v, 4);
    if (bounds_.low && price == *bounds_.low)
        return Qt::red;
    if (bounds_.high && price == *bounds_.high)
        return Qt::blue;
    return {};
}

void TForm_Oferti::chooseCriterion() {
    if (QListWidgetItem* item = ui->ListBox_Search_Kriterii->currentItem())
        ui->Label_Search_Kriteria->setText(item->text());
    ui->ListBox_Search_Kriterii->hide();
    ui->Edit_Search->setFocus();
}

void TForm_Oferti::search() {
    const int kind = qMax(0, int(kCriteria.indexOf(ui->Label_Search_Kriteria->text())));
    guarded([&] {
        const std::optional<SqlStatement> s =
            supplierSearch(session_.db(), SupplierSearch(kind), ui->Edit_Search->text(), searchedSuppliers());
        if (!s) {
            // No supplier takes part: nothing is found.
            bounds_ = {};
            articles_->clear();
            ui->Label_Count->setText(QStringLiteral("0"));
            return;
        }
        showArticles(*s);
    });
}

void TForm_Oferti::sortByBoxes() {
    if (articles_->statement().text.isEmpty() || sortBoxes_.isEmpty()) {
        showMessage(texts::kNoSortData);
        return;
    }
    const QString direction = sortDirection_.next();
    QStringList fields;
    for (int box : sortBoxes_)
        fields << supplierSortColumn(box) + u' ' + direction;
    SqlStatement s = articles_->statement();
    s.text = s.text.section(u'\n', 0, 0) + QStringLiteral("\nORDER BY ") + fields.join(QStringLiteral(", ")) +
             QStringLiteral(", ") + s.key;
    showArticles(s);
    for (int i = 0; i < 8; ++i)
        findChild<QCheckBox*>(QStringLiteral("CheckBox_Sort_%1").arg(i))->setChecked(false);
}

void TForm_Oferti::titleClicked(bool offerGrid, int column) {
    StatementModel* model = offerGrid ? lines_ : articles_;
    if (model->statement().text.isEmpty()) {
        showMessage(texts::kNoSortData);
        return;
    }
    const QString field =
        offerGrid ? model->columns().value(column).field : kArticleColumns.value(column).second;
    try {
        const SqlStatement s = ORDER_SQL(model->statement(), field, sortDirection_);
        if (offerGrid)
            model->setStatement(session_.db(), s);
        else
            showArticles(s);
    } catch (const std::exception&) {
        showMessage(texts::kNoSortData);
    }
}

// ---- The offer ----

void TForm_Oferti::addSelected() {
    const QList<int> rows = selectedRows(ui->DBGrid_Art);
    if (rows.isEmpty())
        return;
    const auto correction =
        priceCorrection(ui->ComboBox_Znak_Korekcia->currentText(), ui->Edit_Korekcia->text());
    if (const QString* refusal = std::get_if<QString>(&correction)) {
        showMessage(*refusal);
        return;
    }
    const PriceCorrection& k = std::get<PriceCorrection>(correction);
    guarded([&] {
        QList<qint64> ids;
        for (int row : rows)
            ids << articles_->value(row, QStringLiteral("ID")).toLongLong();
        for (const CatalogueRow& r : catalogueRows(session_.db(), ids)) {
            const auto price = k.apply(r.price1);
            if (std::holds_alternative<QString>(price)) {
                showMessage(texts::kLineNotAdded + QStringLiteral(": ") + std::get<QString>(price));
                continue;
            }
            OfferLine l;
            l.group = r.group;
            l.description = r.description;
            l.quantity = ui->SpinEdit_Kol->value();
            l.price = std::get<Decimal>(price);
            l.price2 = r.price2;
            l.price3 = r.price3;
            l.currency = r.currency;
            l.supplier = r.supplier;
            l.marker = ui->SpinEdit_Marker->value();
            l.correction = k.text;
            l.catalogueNumber = r.catalogueNumber;
            copy_.add(l);
        }
    });
    ui->SpinEdit_Kol->setValue(1);
    refreshOffer();
}

void TForm_Oferti::addOwnArticles(const QList<PickedArticle>& articles) {
    const auto correction =
        priceCorrection(ui->ComboBox_Znak_Korekcia->currentText(), ui->Edit_Korekcia->text());
    if (const QString* refusal = std::get_if<QString>(&correction)) {
        showMessage(*refusal);
        return;
    }
    const PriceCorrection& k = std::get<PriceCorrection>(correction);
    guarded([&] {
        for (const PickedArticle& a : articles) {
            const auto price = k.apply(a.price);
            if (std::holds_alternative<QString>(price)) {
                showMessage(texts::kLineNotAdded + QStringLiteral(": ") + std::get<QString>(price));
                continue;
            }
            OfferLine l;
            l.group = texts::kOwnStockGroup.arg(a.id);
            l.description = a.description;
            l.quantity = a.quantity.value_or(Decimal(ui->SpinEdit_Kol->value()));
            l.price = std::get<Decimal>(price);
            l.currency = a.currency;
            l.supplier = texts::kOwnStockSupplier;
            l.marker = ui->SpinEdit_Marker->value();
            l.correction = k.text;
            l.catalogueNumber = texts::kOwnStockNumber.arg(a.catalogueNumber);
            l.article = a.id;
            copy_.add(l);
        }
    });
    ui->SpinEdit_Kol->setValue(1);
    refreshOffer();
}

void TForm_Oferti::deleteLines() {
    QList<qint64> ids;
    for (int row : selectedRows(ui->DBGrid_Oferta))
        ids << lines_->value(row, QStringLiteral("ID")).toLongLong();
    if (ids.isEmpty())
        return;
    guarded([&] { copy_.remove(ids); });
    refreshOffer();
}

void TForm_Oferti::compare() {
    refreshOffer();
}

void TForm_Oferti::refreshOffer() {
    guarded([this] {
        const int n = ui->SpinEdit_Cena_N->value();
        comparison_ = copy_.compare(ui->SpinEdit_Marker->value(), n);
        lines_->setHeaderData(5, Qt::Horizontal, sumTitle(n));
        if (lines_->statement().text.isEmpty())
            lines_->setStatement(session_.db(), copy_.linesStatement());
        else
            lines_->reread();
        const int d = decimals();
        ui->Label_Sum->setText(formatFixed(comparison_.offerSum, d));
        QString info;
        if (comparison_.low)
            info = texts::kMarkerFigures.arg(comparison_.marker)
                       .arg(formatFixed(*comparison_.low, d), formatFixed(*comparison_.high, d),
                            formatFixed(comparison_.markerSum, d));
        for (const QString& c : comparison_.unknownCurrencies)
            info += QStringLiteral("  ") + texts::kUnknownRate.arg(c);
        ui->Label_Marker_Info->setText(info);
        // The mandatory elements covered by a line are ticked.
        const QSet<int> markers = copy_.markers();
        for (int i = 0; i < ui->CheckListBox_Zad_el->count(); ++i)
            ui->CheckListBox_Zad_el->item(i)->setCheckState(markers.contains(i + 1) ? Qt::Checked
                                                                                    : Qt::Unchecked);
    });
}

QColor TForm_Oferti::lineColour(int row) const {
    const qint64 id = lines_->value(row, QStringLiteral("ID")).toLongLong();
    if (comparison_.lowLines.contains(id))
        return Qt::red;
    if (comparison_.highLines.contains(id))
        return Qt::blue;
    return {};
}

void TForm_Oferti::takeCounterparty(const QString& refText) {
    ui->Label_ID_Kontragent->setText(refText);
}

void TForm_Oferti::reopen(const StoredOffer& offer) {
    guarded([&] {
        copy_.clear();
        for (OfferLine l : offer.lines)
            copy_.add(l);
    });
    ui->Label_ID_Kontragent->setText(refText(offer.counterparty, offer.counterpartyName));
    ui->Edit_Avans->setText(offer.advance.toString());
    refreshOffer();
}

// ---- Mandatory elements ----

void TForm_Oferti::loadElements() {
    elements_ = mandatoryElements(session_.db());
    ui->CheckListBox_Zad_el->clear();
    for (const MandatoryElement& e : elements_) {
        auto* item = new QListWidgetItem(refText(e.id, e.description), ui->CheckListBox_Zad_el);
        // Ticked by the lines, not by hand.
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Unchecked);
    }
}

void TForm_Oferti::addElement() {
    const QString text = ui->Edit_Zad_el->text().trimmed();
    if (text.isEmpty()) {
        showMessage(texts::kElementEmpty);
        return;
    }
    if (!guarded([&] { addMandatoryElement(session_.db(), text); }))
        return;
    ui->Edit_Zad_el->clear();
    guarded([this] { loadElements(); });
    refreshOffer();
}

void TForm_Oferti::deleteElement() {
    const int row = ui->CheckListBox_Zad_el->currentRow();
    if (row < 0 || row >= elements_.size())
        return;
    if (!askYesNo(texts::kElementDelete.arg(elements_[row].description)))
        return;
    guarded([&] { deleteMandatoryElement(session_.db(), elements_[row].id); });
    guarded([this] { loadElements(); });
    refreshOffer();
}

// ---- Saving and printing ----

bool TForm_Oferti::confirmElements() {
    QStringList missing;
    guarded([&] { missing = missingMandatoryElements(elements_, copy_.markers()); });
    if (missing.isEmpty())
        return true;
    QString list;
    for (const QString& m : missing)
        list += m + u',';
    return askYesNo(texts::kMandatoryMissing.arg(list));
}

void TForm_Oferti::save() {
    const int counterparty = GetID_MFromTreeNodeName(ui->Label_ID_Kontragent->text());
    if (counterparty < 1) {
        showMessage(texts::kCounterpartyNotGiven);
        pickCounterparty(context_, kSelectOffer, this);
        return;
    }
    const std::optional<Decimal> advance = typedAdvance(ui->Edit_Avans->text());
    if (!advance) {
        showMessage(texts::kAdvanceNotANumber.arg(ui->Edit_Avans->text()));
        ui->Edit_Avans->setFocus();
        return;
    }
    QList<OfferLine> lines;
    if (!guarded([&] { lines = copy_.lines(); }))
        return;
    if (lines.isEmpty()) {
        showMessage(texts::kNothingToPrint);
        return;
    }
    if (!confirmElements())
        return;
    OfferSave s;
    s.counterparty = counterparty;
    s.counterpartyRef = ui->Label_ID_Kontragent->text();
    s.date = session_.today();
    s.advance = *advance;
    if (askYesNo(texts::kAddToOrders)) {
        // Orders to the suppliers asked for; with one supplier the answer
        // above is enough.
        QStringList suppliers;
        for (const OfferLine& l : lines)
            if (!suppliers.contains(l.supplier))
                suppliers << l.supplier;
        for (const QString& supplier : suppliers)
            if (suppliers.size() == 1 || askYesNo(texts::kOrderToSupplier.arg(supplier)))
                s.orderSuppliers.insert(supplier);
    }
    SavedOffer saved;
    if (!guarded([&] { saved = saveOffer(session_.db(), lines, s); }, texts::kSaveFailed))
        return;
    printOffer(saved.id);
}

void TForm_Oferti::print() {
    if (copy_.count() == 0) {
        showMessage(texts::kNothingToPrint);
        return;
    }
    if (!confirmElements())
        return;
    printOffer(0);
}

void TForm_Oferti::printOffer(qint64 number) {
    OfferPrint p;
    p.number = number;
    p.counterparty = GetID_MFromTreeNodeName(ui->Label_ID_Kontragent->text());
    p.date = session_.today();
    p.total = comparison_.offerSum;
    p.advance = typedAdvance(ui->Edit_Avans->text()).value_or(Decimal(0));
    p.decimals = decimals();
    p.currencyWord = baseCurrencyForCaptions(session_.db()).words.major;
    p.operatorName = session_.operatorName();
    p.company = companyData(session_);
    guarded([&] {
        const QStringList heading = offerPrintHeading(session_.db(), p);
        GridFile file(gridContext(session_), this, texts::kPrintedOfferFile);
        file.lines(heading);
        file.table(ui->DBGrid_Oferta);
        file.finish(offerPrintClosing(p));
    });
}

} // namespace torvika
