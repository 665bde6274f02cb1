#include "catalogue/ui/form_sprdostavka.h"

#include "catalogue/reference_lists.h"
#include "catalogue/texts.h"
#include "catalogue/ui/article_picker.h"
#include "common/cformat.h"
#include "common/ref_text.h"
#include "common/ui/error_edge.h"
#include "common/ui/form_koloni.h"
#include "common/ui/grid_file.h"
#include "common/ui/messages.h"
#include "common/ui/statement_model.h"
#include "counterparties/ui/counterparty_picker.h"
#include "shell/session_grids.h"
#include "ui_form_sprdostavka.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace torvika {

namespace {

const QString kId = QStringLiteral("ID");

} // namespace

TForm_SprDostavka::TForm_SprDostavka(const WindowContext& context, QWidget* parent)
    : ListWindow(parent), ui(new Ui::TForm_SprDostavka), context_(context), session_(context.session),
      lines_(new StatementModel(this)) {
    ui->setupUi(this);
    setUpList(
        gridContext(session_), ui->DBGrid_Dostavki,
        {
            {kId, texts::kReportColumnNumber, 7, GridColumnSpec::Integer},
            {QStringLiteral("Ime_Firma"), texts::kReportColumnSupplier, 26},
            {QStringLiteral("Nomer_Dokument"), texts::kReportColumnDocumentNumber, 12},
            {QStringLiteral("Dok_Name"), texts::kReportColumnDocumentKind, 16},
            {QStringLiteral("Data_Dokument"), texts::kReportColumnDocumentDate, 11, GridColumnSpec::Date},
            {QStringLiteral("Data_Dostavka"), texts::kReportColumnEnteredDate, 11, GridColumnSpec::Date},
            {QStringLiteral("Opis_Sklad"), texts::kReportColumnWarehouse, 16},
        },
        kId);
    const int decimals = session_.displayDecimals();
    lines_->setColumns({
        {QStringLiteral("Nomer_Produkt"), texts::kReportColumnArticle, 9, GridColumnSpec::Integer},
        {QStringLiteral("Opisanie"), texts::kTransferColumnDescription, 28},
        {QStringLiteral("Kolitchestvo"), texts::kTransferColumnQuantity, 9, GridColumnSpec::Number, 3},
        {QStringLiteral("Mqrka"), texts::kTransferColumnUnit, 6},
        {QStringLiteral("Dostavna_Cena"), texts::kReportColumnDeliveryPrice, 9, GridColumnSpec::Number,
         decimals},
        {QStringLiteral("Valuta_D"), texts::kTransferColumnCurrency, 6},
        {QStringLiteral("Suma_Dost"), texts::kDeliveryColumnTotal, 10, GridColumnSpec::Number, 2},
        {QStringLiteral("Prodajna_Cena"), texts::kReportColumnSellingPrice, 9, GridColumnSpec::Number,
         decimals},
        {QStringLiteral("Valuta_P"), texts::kTransferColumnCurrency, 6},
        {QStringLiteral("Suma_Prod"), texts::kDeliveryColumnTotal, 10, GridColumnSpec::Number, 2},
    });
    setUpStatementGrid(ui->DBGrid_Artikuli, lines_);
    addColumnMenu(ui->DBGrid_Dostavki);
    addColumnMenu(ui->DBGrid_Artikuli);
    ui->DBGrid_Artikuli->horizontalHeader()->setSectionsClickable(true);
    connect(ui->DBGrid_Artikuli->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &TForm_SprDostavka::sortLines);

    for (QComboBox* box : {ui->ComboBox_Data_Dok, ui->ComboBox_Data_Vav})
        for (QStringView c : dateComparisonCaptions)
            box->addItem(c.toString());
    for (QStringView c : deliveryReportPrintCaptions)
        ui->ComboBox_Pe4at->addItem(c.toString());
    ui->ComboBox_Pe4at->setCurrentIndex(-1);
    guarded([this] {
        ui->ComboBox_Vid->addItems(deliveryDocumentKinds(session_.db()));
        ui->ComboBox_Sklad->addItems(warehouseItems(session_.db()));
    });
    for (QWidget* w : std::initializer_list<QWidget*>{ui->Label_Data_Dok_Do, ui->Edit_Data_Dok_Do,
                                                      ui->Label_Data_Vav_Do, ui->Edit_Data_Vav_Do})
        w->hide();
    ui->Label_Kontrag->installEventFilter(this);
    ui->Label_Artikul->installEventFilter(this);
    ui->DBGrid_Dostavki->installEventFilter(this);

    connect(ui->CheckBox_Nomer, &QCheckBox::toggled, this, [this](bool on) {
        if (on) {
            ui->Edit_Nomer->clear();
            ui->Edit_Nomer->setFocus();
        }
    });
    connect(ui->CheckBox_Data_Dok, &QCheckBox::toggled, this, [this](bool on) { dateFilterTicked(on, 0); });
    connect(ui->CheckBox_Data_Vav, &QCheckBox::toggled, this, [this](bool on) { dateFilterTicked(on, 1); });
    connect(ui->ComboBox_Data_Dok, &QComboBox::currentIndexChanged, this, [this] { comparisonChosen(0); });
    connect(ui->ComboBox_Data_Vav, &QComboBox::currentIndexChanged, this, [this] { comparisonChosen(1); });
    connect(ui->CheckBox_Kontrag, &QCheckBox::toggled, this, [this](bool on) {
        if (!on)
            ui->Label_Kontrag->setText(texts::kReportNoCounterparty);
    });
    connect(ui->CheckBox_Artikul, &QCheckBox::toggled, this, [this](bool on) {
        if (!on) {
            ui->Label_Artikul->setText(texts::kReportNoArticle);
            articles_.clear();
        }
    });
    connect(ui->Button_Tarsi, &QPushButton::clicked, this, &TForm_SprDostavka::find);
    connect(ui->DBGrid_Dostavki->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TForm_SprDostavka::showDelivery);
    connect(ui->ComboBox_Pe4at, &QComboBox::activated, this, &TForm_SprDostavka::print);
    ui->Button_Tarsi->setDefault(true);
}

TForm_SprDostavka::~TForm_SprDostavka() = default;

QTableView* TForm_SprDostavka::linesGrid() const {
    return ui->DBGrid_Artikuli;
}

void TForm_SprDostavka::addFollowUps(FollowUpRegistry& registry) {
    registry.of<CounterpartyPicker>().add(kSelectDeliveriesReport, [](QWidget* opener, const QString& ref) {
        openerWindow<TForm_SprDostavka>(opener).takeSupplier(ref);
    });
    registry.of<ArticlePicker>().add(kSelectDeliveryReportArticles,
                                     [](QWidget* opener, const ArticleChoice& c) {
                                         openerWindow<TForm_SprDostavka>(opener).takeArticles(c);
                                     });
}

void TForm_SprDostavka::takeSupplier(const QString& refText) {
    ui->Label_Kontrag->setText(refText);
    ui->CheckBox_Kontrag->setChecked(true);
}

void TForm_SprDostavka::takeArticles(const ArticleChoice& choice) {
    articles_.clear();
    QStringList refs;
    for (const PickedArticle& a : choice.articles) {
        articles_ << a.id;
        refs << a.refText();
    }
    // No article marked: the current one.
    if (articles_.isEmpty() && choice.current) {
        articles_ << choice.current->id;
        refs << choice.current->refText();
    }
    if (articles_.isEmpty())
        return;
    ui->Label_Artikul->setText(refs.join(QStringLiteral(", ")));
    ui->CheckBox_Artikul->setChecked(true);
}

void TForm_SprDostavka::dateFilterTicked(bool on, int which) {
    if (!on)
        return;
    QComboBox* box = which == 0 ? ui->ComboBox_Data_Dok : ui->ComboBox_Data_Vav;
    box->setCurrentIndex(0);
    (which == 0 ? ui->Edit_Data_Dok_Ot : ui->Edit_Data_Vav_Ot)->setDate(session_.today());
}

void TForm_SprDostavka::comparisonChosen(int which) {
    QComboBox* box = which == 0 ? ui->ComboBox_Data_Dok : ui->ComboBox_Data_Vav;
    const bool between = box->currentIndex() == int(DateComparison::Between);
    QLabel* label = which == 0 ? ui->Label_Data_Dok_Do : ui->Label_Data_Vav_Do;
    QDateEdit* to = which == 0 ? ui->Edit_Data_Dok_Do : ui->Edit_Data_Vav_Do;
    label->setVisible(between);
    to->setVisible(between);
    if (between)
        to->setDate(session_.today());
}

DeliveryReportFilter TForm_SprDostavka::filter() const {
    DeliveryReportFilter f;
    if (ui->CheckBox_Kontrag->isChecked())
        f.supplier = GetID_MFromTreeNodeName(ui->Label_Kontrag->text());
    if (ui->CheckBox_Vid->isChecked() && ui->ComboBox_Vid->currentIndex() >= 0)
        f.documentKind = GetID_MFromTreeNodeName(ui->ComboBox_Vid->currentText());
    if (ui->CheckBox_Nomer->isChecked())
        f.documentNumber = ui->Edit_Nomer->text().trimmed();
    const auto date = [](QComboBox* box, QDateEdit* from, QDateEdit* to) {
        return DateCondition{DateComparison(std::max(0, box->currentIndex())), from->date(), to->date()};
    };
    if (ui->CheckBox_Data_Dok->isChecked())
        f.documentDate = date(ui->ComboBox_Data_Dok, ui->Edit_Data_Dok_Ot, ui->Edit_Data_Dok_Do);
    if (ui->CheckBox_Data_Vav->isChecked())
        f.enteredDate = date(ui->ComboBox_Data_Vav, ui->Edit_Data_Vav_Ot, ui->Edit_Data_Vav_Do);
    if (ui->CheckBox_Sklad->isChecked() && ui->ComboBox_Sklad->currentIndex() >= 0)
        f.warehouse = GetID_MFromTreeNodeName(ui->ComboBox_Sklad->currentText());
    if (ui->CheckBox_Artikul->isChecked()) {
        // Without a marked article, the article of the label.
        QList<qint64> articles = articles_;
        if (articles.isEmpty())
            articles << GetID_MFromTreeNodeName(ui->Label_Artikul->text());
        f.articles = articles;
    }
    return f;
}

void TForm_SprDostavka::find() {
    const DeliveryReportFilter f = filter();
    search([f] { return deliveryReportStatement(f); }, QString());
}

void TForm_SprDostavka::listShown() {
    if (model()->rowCount() > 0 && !grid()->currentIndex().isValid())
        grid()->setCurrentIndex(model()->index(0, 0));
    showDelivery();
}

void TForm_SprDostavka::showDelivery() {
    const QVariant id = currentKey();
    guarded([&] {
        std::optional<DeliveryRecord> d;
        if (id.isValid())
            d = loadDelivery(session_.db(), id.toLongLong());
        const int decimals = session_.displayDecimals();
        const auto amount = [&](const Decimal& v) { return d ? formatFixed(v, decimals) : QString(); };
        ui->Label_Broj->setText(texts::kReportPaidCash + amount(d ? d->paidCash : Decimal(0)));
        ui->Label_Banka->setText(texts::kReportPaidBank + amount(d ? d->paidBank : Decimal(0)));
        ui->Label_Ne_Plateno->setText(texts::kReportNotPaid + amount(d ? d->notPaid : Decimal(0)));
        ui->Label_Obshto->setText(texts::kDeliveryRecordTotal.trimmed() +
                                  amount(d ? d->deliveryTotal : Decimal(0)));
        if (d)
            lines_->setStatement(session_.db(), deliveryLinesStatement(d->id));
        else
            lines_->clear();
    });
}

void TForm_SprDostavka::sortLines(int column) {
    if (lines_->rowCount() == 0 || column < 0 || column >= lines_->columns().size())
        return;
    guarded([&] {
        lines_->setStatement(session_.db(), ORDER_SQL(lines_->statement(), lines_->columns().at(column).field,
                                                      session_.sortDirection));
    });
}

void TForm_SprDostavka::print(int choice) {
    ui->ComboBox_Pe4at->setCurrentIndex(-1);
    printed_.clear();
    if (model()->rowCount() == 0) {
        showMessage(texts::kNothingToPrint);
        return;
    }
    guarded([&] {
        const QStringList heading = deliveryReportHeading(session_.now());
        switch (DeliveryReportPrint(choice)) {
        case DeliveryReportPrint::Documents:
            printed_ =
                printList({kDeliveryReportFile, heading, {QString(), QString()}, QStringLiteral("\t")});
            return;
        case DeliveryReportPrint::Articles: {
            const std::optional<DeliveryRecord> d = loadDelivery(session_.db(), currentKey().toLongLong());
            if (!d)
                return;
            GridFile file(gridContext(session_), this, kDeliveryReportFile);
            file.lines(heading + deliveryRecordLines(*d));
            file.table(ui->DBGrid_Artikuli);
            printed_ = file.finish({QString(), QString()}, QStringLiteral("\t"));
            return;
        }
        case DeliveryReportPrint::Everything: {
            const QList<GridColumn> columns = visibleColumns(ui->DBGrid_Artikuli);
            GridFile file(gridContext(session_), this, kDeliveryReportFile);
            file.lines(heading);
            for (const QVariant& key : shownKeys()) {
                const std::optional<DeliveryRecord> d = loadDelivery(session_.db(), key.toLongLong());
                if (!d)
                    continue;
                StatementModel lines;
                lines.setColumns(lines_->columns());
                lines.setStatement(session_.db(), deliveryLinesStatement(d->id));
                if (!file.lines(deliveryRecordLines(*d)) || !file.table(lines, columns))
                    break;
            }
            printed_ = file.finish({QString(), QString()}, QStringLiteral("\t"));
            return;
        }
        }
    });
}

bool TForm_SprDostavka::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == ui->Label_Kontrag) {
            pickCounterparty(context_, kSelectDeliveriesReport, this);
            return true;
        }
        if (watched == ui->Label_Artikul) {
            pickArticles(context_, kSelectDeliveryReportArticles, this);
            return true;
        }
    }
    return ListWindow::eventFilter(watched, event);
}

} // namespace torvika
