#include "service/ui/form_spr_garanc_prod.h"

#include "catalogue/ui/article_picker.h"
#include "common/grid_export.h"
#include "common/ref_text.h"
#include "common/ui/error_edge.h"
#include "common/ui/statement_model.h"
#include "counterparties/ui/counterparty_picker.h"
#include "service/texts.h"
#include "shell/session_grids.h"
#include "ui_form_spr_garanc_prod.h"

#include <QItemSelectionModel>

namespace torvika {

TForm_Spr_Garanc_Prod::TForm_Spr_Garanc_Prod(const WindowContext& context, QWidget* parent)
    : ListWindow(parent), ui(new Ui::TForm_Spr_Garanc_Prod), session_(context.session), context_(context) {
    ui->setupUi(this);
    Session& session = context.session;
    for (QPushButton* button : findChildren<QPushButton*>())
        button->setAutoDefault(false);
    setUpList(gridContext(session), ui->DBGrid_Dokumenti,
              {{QStringLiteral("Dok_Name"), QStringLiteral("Вид документ"), 18},
               {QStringLiteral("ID_Dok"), QStringLiteral("Док. N"), 12},
               {QStringLiteral("Data"), QStringLiteral("Дата на документ"), 0, GridColumnSpec::Date},
               {QStringLiteral("Dost_Name"), QStringLiteral("Доставчик"), 24},
               {QStringLiteral("Zabel"), QStringLiteral("Забележка"), 0}},
              QStringLiteral("ID"));
    serials_ = new StatementModel(this);
    serials_->setColumns(
        {{QStringLiteral("ID"), QStringLiteral("Арт. N"), 7, GridColumnSpec::Integer},
         {QStringLiteral("Art_Name"), QStringLiteral("Наименование"), 24},
         {QStringLiteral("Serial_ID"), QStringLiteral("Сериен номер"), 18},
         {QStringLiteral("Model"), QStringLiteral("Модел"), 12},
         {QStringLiteral("Partida"), QStringLiteral("Партида"), 12},
         {QStringLiteral("Data"), QStringLiteral("Валиден до дата"), 0, GridColumnSpec::Date}});
    setUpStatementGrid(ui->DBGrid_Serials, serials_);
    connect(ui->DBGrid_Dokumenti->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TForm_Spr_Garanc_Prod::showSerials);

    logged([&] { ui->ComboBox_Vid_Dok->addItems(documentKindItems(session.db())); });
    documentDate_ = {ui->ComboBox_Data_Uslovie,
                     ui->DateTimePicker_Data_Ot,
                     ui->DateTimePicker_Data_Do,
                     {ui->Label_Data_Ot, ui->Label_Data_Do, ui->DateTimePicker_Data_Do}};
    validity_ = {ui->ComboBox_Valid_Uslovie,
                 ui->DateTimePicker_Valid_Ot,
                 ui->DateTimePicker_Valid_Do,
                 {ui->Label_Valid_Ot, ui->Label_Valid_Do, ui->DateTimePicker_Valid_Do}};
    setUpDates(ui->CheckBox_Data, documentDate_);
    setUpDates(ui->CheckBox_Valid, validity_);

    connect(ui->CheckBox_Dostavchik, &QCheckBox::clicked, this, [this](bool on) {
        if (!on) {
            ui->Label_Kontrag->setText(texts::kWarrantyNoCounterparty);
            return;
        }
        const std::optional<QString> ref = pickCounterparty(context_, kSelectWarrantyProducts, this);
        ui->CheckBox_Dostavchik->setChecked(ref.has_value());
    });
    connect(ui->CheckBox_Artikul, &QCheckBox::clicked, this, [this](bool on) {
        if (!on) {
            article_ = 0;
            ui->Label_Artikul->setText(texts::kWarrantyNoArticleChosen);
            return;
        }
        const std::optional<ArticleChoice> choice =
            pickArticles(context_, kSelectWarrantyProductsArticle, this);
        const bool chosen = choice && choice->current;
        ui->CheckBox_Artikul->setChecked(chosen);
    });
    connect(ui->Button_Tarsi, &QPushButton::clicked, this, &TForm_Spr_Garanc_Prod::runSearch);
    connect(ui->Button_Pechat, &QPushButton::clicked, this, [this] {
        GridExport what;
        what.name = QStringLiteral("Export_Garanc_Prod");
        what.heading = {QString(), windowTitle(), QString(), exportDateLine(session_.now())};
        printList(what);
    });
    connect(ui->Button_Zatvori, &QPushButton::clicked, this, &QDialog::accept);
}

TForm_Spr_Garanc_Prod::~TForm_Spr_Garanc_Prod() = default;

void TForm_Spr_Garanc_Prod::takeSupplier(const QString& ref) {
    ui->Label_Kontrag->setText(ref);
}

void TForm_Spr_Garanc_Prod::takeArticle(const PickedArticle& article) {
    article_ = article.id;
    ui->Label_Artikul->setText(article.refText());
}

void TForm_Spr_Garanc_Prod::setUpDates(QCheckBox* box, const DateCriterion& dates) {
    dates.comparison->addItems({QStringLiteral("равно"), QStringLiteral("по - малко"),
                                QStringLiteral("по - голямо"), QStringLiteral("между")});
    auto showRange = [dates] {
        for (QWidget* w : dates.range)
            w->setVisible(dates.comparison->currentIndex() == 3);
    };
    // Ticking the criterion starts it at today, "равно".
    auto reset = [this, dates, showRange] {
        dates.comparison->setCurrentIndex(0);
        dates.from->setDate(session_.today());
        dates.to->setDate(session_.today());
        showRange();
    };
    connect(box, &QCheckBox::toggled, this, reset);
    connect(dates.comparison, &QComboBox::currentIndexChanged, this, showRange);
    reset();
}

DateFilter TForm_Spr_Garanc_Prod::dateFilter(const DateCriterion& dates) {
    return {DateComparison(dates.comparison->currentIndex()), dates.from->date(), dates.to->date()};
}

WarrantyReportFilter TForm_Spr_Garanc_Prod::filter() const {
    WarrantyReportFilter f;
    if (ui->CheckBox_Dostavchik->isChecked())
        f.supplier = GetID_MFromTreeNodeName(ui->Label_Kontrag->text());
    if (ui->CheckBox_Vid_Dok->isChecked())
        f.kind = GetID_MFromTreeNodeName(ui->ComboBox_Vid_Dok->currentText());
    if (ui->CheckBox_Dok_N->isChecked())
        f.number = ui->Edit_Dok_N->text();
    if (ui->CheckBox_Data->isChecked())
        f.date = dateFilter(documentDate_);
    if (ui->CheckBox_Artikul->isChecked())
        f.article = article_;
    if (ui->CheckBox_SN->isChecked())
        f.serial = TextFilter{ui->Edit_SN->text(), ui->CheckBox_SN_Chast->isChecked()};
    if (ui->CheckBox_Model->isChecked())
        f.model = TextFilter{ui->Edit_Model->text(), ui->CheckBox_Model_Chast->isChecked()};
    if (ui->CheckBox_Partida->isChecked())
        f.batch = TextFilter{ui->Edit_Partida->text(), ui->CheckBox_Partida_Chast->isChecked()};
    if (ui->CheckBox_Valid->isChecked())
        f.validity = dateFilter(validity_);
    return f;
}

QString TForm_Spr_Garanc_Prod::sortField(int column) const {
    const QString field = model()->columns().value(column).field;
    if (field == QLatin1String("Dok_Name"))
        return QStringLiteral("D.Opisanie");
    if (field == QLatin1String("Dost_Name"))
        return QStringLiteral("F.Ime_Firma");
    return QStringLiteral("G.") + field;
}

void TForm_Spr_Garanc_Prod::runSearch() {
    const WarrantyReportFilter f = filter();
    search([&] { return warrantyDocumentsStatement(f); }, QString());
    ui->DBGrid_Dokumenti->setFocus();
}

void TForm_Spr_Garanc_Prod::listShown() {
    if (model()->rowCount() > 0 && !grid()->currentIndex().isValid())
        grid()->setCurrentIndex(model()->index(0, 0));
    showSerials();
}

void TForm_Spr_Garanc_Prod::showSerials() {
    if (!currentKey().isValid()) {
        serials_->clear();
        return;
    }
    guarded([&] {
        serials_->setStatement(session_.db(), documentSerialsStatement(currentKey().toLongLong()));
        fitGridColumns(ui->DBGrid_Serials);
    });
}

} // namespace torvika
