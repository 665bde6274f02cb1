#include "service/ui/form_spr_izdadeni_ser.h"

#include "common/dates.h"
#include "common/grid_export.h"
#include "common/ref_text.h"
#include "common/ui/error_edge.h"
#include "common/ui/grid_file.h"
#include "common/ui/messages.h"
#include "common/ui/statement_model.h"
#include "counterparties/ui/counterparty_picker.h"
#include "service/texts.h"
#include "service/ui/row_colours.h"
#include "service/ui/service_settings.h"
#include "shell/operators.h"
#include "shell/session_grids.h"
#include "ui_form_spr_izdadeni_ser.h"

#include <QItemSelectionModel>

namespace torvika {

TForm_Spr_Izdadeni_Ser::TForm_Spr_Izdadeni_Ser(const WindowContext& context, QWidget* parent)
    : ListWindow(parent), ui(new Ui::TForm_Spr_Izdadeni_Ser), session_(context.session), context_(context) {
    ui->setupUi(this);
    Session& session = context.session;
    for (QPushButton* button : findChildren<QPushButton*>())
        button->setAutoDefault(false);
    auto text = [](const char* field, const char* title, int width = 0) {
        return GridColumnSpec{QLatin1String(field), QString::fromUtf8(title), width};
    };
    auto date = [](const char* field, const char* title) {
        return GridColumnSpec{QLatin1String(field), QString::fromUtf8(title), 0, GridColumnSpec::Date};
    };
    setUpList(gridContext(session), ui->DBGrid_Izdadeni,
              {{QStringLiteral("N_Priem"), QStringLiteral("Приет под N:"), 0, GridColumnSpec::Integer},
               text("Dosie_ID", "Досие"),
               text("S_N", "Сериен номер", 14),
               text("Opisanie", "Наименование", 22),
               text("Pri4ina", "Причина за приемане", 22),
               text("Ime_Kontrag", "Контрагент", 18),
               text("Model", "Модел"),
               text("Partida", "Партида"),
               text("Gar", "В гаранция"),
               text("Gar_Dok_N", "Вид гаранц. док."),
               date("Data_Gar_Dok", "Дата на документ"),
               text("Ime_Dostav4ik", "Доставчик", 18),
               date("Data_Priem", "Дата приемане"),
               text("Time_Priem", "Час приемане"),
               text("Operator", "Оператор приел"),
               {QStringLiteral("Pred_Cena_Remont"), QStringLiteral("Предварит. цена за ремонт"), 0,
                GridColumnSpec::Number},
               text("Valuta", "Валута"),
               date("Data_Izd", "Дата издаване"),
               text("Time_Izd", "Час издаване"),
               text("Oper_Izd", "Издал")},
              QStringLiteral("N_Priem"));
    ui->DBGrid_Izdadeni->setItemDelegate(new RowColours({}, this, 8));
    lines_ = new StatementModel(this);
    lines_->setColumns({text("SN", "Сериен номер", 12),
                        text("Remont", "Извършен ремонт/сменен елемент", 28),
                        {QStringLiteral("Kol"), QStringLiteral("Кол."), 6, GridColumnSpec::Number},
                        {QStringLiteral("Ed_Cena"), QStringLiteral("Ед. цена"), 9, GridColumnSpec::Number, 4},
                        text("Valuta", "Валута"),
                        {QStringLiteral("Suma"), QStringLiteral("Общо лв"), 9, GridColumnSpec::Number, 4},
                        date("Garan_Remont", "Гаранция до"),
                        text("Zamqna", "Замяна"),
                        text("Oper_Remont", "Оператор извършил ремонт")});
    setUpStatementGrid(ui->DBGrid_Remont, lines_);
    ui->DBGrid_Remont->setItemDelegate(new RowColours({}, this, 7));
    connect(ui->DBGrid_Izdadeni->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TForm_Spr_Izdadeni_Ser::showLines);

    logged([&] {
        for (const OperatorRow& o : listOperators(session.db())) {
            ui->ComboBox_Operator->addItem(o.ime);
            ui->ComboBox_Izd_Operator->addItem(o.ime);
        }
    });
    ui->ComboBox_Izd_Operator->insertItem(0, QStringLiteral("всички"));
    ui->ComboBox_Izd_Operator->setCurrentIndex(0);
    ui->ComboBox_Data_Uslovie->addItems({QStringLiteral("равно"), QStringLiteral("по - малко"),
                                         QStringLiteral("по - голямо"), QStringLiteral("между")});
    for (QDateEdit* d :
         {ui->DateTimePicker_Ot, ui->DateTimePicker_Do, ui->DateTimePicker_Izd_Ot, ui->DateTimePicker_Izd_Do})
        d->setDate(session.today());
    dateComparisonChosen();

    // The counterparty criteria choose their counterparty when ticked.
    connect(ui->CheckBox_Kontragent, &QCheckBox::clicked, this, [this](bool on) {
        if (!on) {
            ui->Label_Kontrag->setText(texts::kWarrantyNoCounterparty);
            return;
        }
        const std::optional<QString> ref = pickCounterparty(context_, kSelectIssuedSerialsClient, this);
        ui->CheckBox_Kontragent->setChecked(ref.has_value());
    });
    connect(ui->CheckBox_Dostavchik, &QCheckBox::clicked, this, [this](bool on) {
        if (!on) {
            ui->Label_Dostav4ik->setText(texts::kWarrantyNoSupplierChosen);
            return;
        }
        const std::optional<QString> ref = pickCounterparty(context_, kSelectIssuedSerialsSupplier, this);
        ui->CheckBox_Dostavchik->setChecked(ref.has_value());
    });
    connect(ui->CheckBox_Artikul, &QCheckBox::clicked, this, [this](bool on) {
        if (!on) {
            article_ = 0;
            ui->Label_Artikul->setText(texts::kWarrantyNoArticleChosen);
            return;
        }
        const std::optional<ArticleChoice> choice = pickArticles(context_, kSelectIssuedItemsArticle, this);
        ui->CheckBox_Artikul->setChecked(choice && choice->current);
    });
    connect(ui->CheckBox_Data, &QCheckBox::toggled, this, [this] {
        ui->ComboBox_Data_Uslovie->setCurrentIndex(0);
        ui->DateTimePicker_Ot->setDate(session_.today());
        ui->DateTimePicker_Do->setDate(session_.today());
        dateComparisonChosen();
    });
    connect(ui->ComboBox_Data_Uslovie, &QComboBox::currentIndexChanged, this,
            &TForm_Spr_Izdadeni_Ser::dateComparisonChosen);
    connect(ui->Button_Tarsi, &QPushButton::clicked, this, &TForm_Spr_Izdadeni_Ser::runSearch);
    connect(ui->Button_Pechat, &QPushButton::clicked, this, &TForm_Spr_Izdadeni_Ser::print);
    connect(ui->Button_Zatvori, &QPushButton::clicked, this, &QDialog::accept);
    runSearch();
}

TForm_Spr_Izdadeni_Ser::~TForm_Spr_Izdadeni_Ser() = default;

void TForm_Spr_Izdadeni_Ser::takeClient(const QString& ref) {
    ui->Label_Kontrag->setText(ref);
}

void TForm_Spr_Izdadeni_Ser::takeSupplier(const QString& ref) {
    ui->Label_Dostav4ik->setText(ref);
}

void TForm_Spr_Izdadeni_Ser::takeArticle(const PickedArticle& article) {
    article_ = article.id;
    ui->Label_Artikul->setText(article.refText());
}

void TForm_Spr_Izdadeni_Ser::dateComparisonChosen() {
    const bool between = ui->ComboBox_Data_Uslovie->currentIndex() == 3;
    ui->Label_Ot->setVisible(between);
    ui->Label_Do->setVisible(between);
    ui->DateTimePicker_Do->setVisible(between);
}

std::optional<IssuedFilter> TForm_Spr_Izdadeni_Ser::filter() const {
    IssuedFilter f;
    if (ui->CheckBox_Kontragent->isChecked())
        f.client = GetID_MFromTreeNodeName(ui->Label_Kontrag->text());
    if (ui->CheckBox_Pri4ina->isChecked())
        f.reason = ui->Edit_Pri4ina->text();
    if (ui->CheckBox_Operator->isChecked())
        f.operatorName = ui->ComboBox_Operator->currentText();
    if (ui->CheckBox_SN->isChecked())
        f.serial = ui->Edit_SN->text();
    if (ui->CheckBox_Model->isChecked())
        f.model = ui->Edit_Model->text();
    if (ui->CheckBox_Partida->isChecked())
        f.batch = ui->Edit_Partida->text();
    if (ui->CheckBox_Artikul->isChecked())
        f.article = article_;
    if (ui->CheckBox_Dosie->isChecked()) {
        bool ok = false;
        const qint64 dossier = ui->Edit_Dosie->text().trimmed().toLongLong(&ok);
        if (!ok || dossier <= 0) {
            showMessage(texts::kReportDossierNotNumber);
            return std::nullopt;
        }
        f.dossier = dossier;
    }
    if (ui->CheckBox_Izdaden->isChecked()) {
        if (ui->ComboBox_Izd_Operator->currentIndex() > 0)
            f.issuedBy = ui->ComboBox_Izd_Operator->currentText();
        f.issued = DateFilter{DateComparison::Between, ui->DateTimePicker_Izd_Ot->date(),
                              ui->DateTimePicker_Izd_Do->date()};
    }
    if (ui->CheckBox_Dostavchik->isChecked())
        f.supplier = GetID_MFromTreeNodeName(ui->Label_Dostav4ik->text());
    if (ui->CheckBox_Dokument->isChecked())
        f.document = ui->Edit_Dokument->text();
    if (ui->CheckBox_Data->isChecked())
        f.documentDate = DateFilter{DateComparison(ui->ComboBox_Data_Uslovie->currentIndex()),
                                    ui->DateTimePicker_Ot->date(), ui->DateTimePicker_Do->date()};
    return f;
}

QString TForm_Spr_Izdadeni_Ser::sortField(int column) const {
    const QString field = model()->columns().value(column).field;
    if (field == QLatin1String("Ime_Kontrag"))
        return QStringLiteral("K.Ime_Firma");
    if (field == QLatin1String("Ime_Dostav4ik"))
        return QStringLiteral("D.Ime_Firma");
    return QStringLiteral("R.") + field;
}

void TForm_Spr_Izdadeni_Ser::runSearch() {
    const std::optional<IssuedFilter> chosen = filter();
    if (!chosen)
        return;
    const IssuedFilter& f = *chosen;
    if (!search([&] { return issuedItemsStatement(f); }, QString()))
        return;
    shown_ = f;
    const int decimals = amountDecimals(session_);
    guarded([&] {
        ui->Label_Obshta_Suma->setText(texts::kReportTotalRepairs +
                                       issuedRepairsTotal(session_.db(), f).text(decimals).trimmed());
    });
    ui->DBGrid_Izdadeni->setFocus();
}

void TForm_Spr_Izdadeni_Ser::listShown() {
    if (model()->rowCount() > 0 && !grid()->currentIndex().isValid())
        grid()->setCurrentIndex(model()->index(0, 0));
    showLines();
}

void TForm_Spr_Izdadeni_Ser::showLines() {
    const qint64 item = currentKey().toLongLong();
    const int decimals = amountDecimals(session_);
    if (!currentKey().isValid()) {
        lines_->clear();
        ui->Label_Suma_Remont->setText(texts::kReportItemRepairs + RepairTotal{}.text(decimals).trimmed());
        return;
    }
    guarded([&] {
        lines_->setStatement(session_.db(), repairLinesStatement(item, RepairArchive::Issued));
        fitGridColumns(ui->DBGrid_Remont);
        ui->Label_Suma_Remont->setText(
            texts::kReportItemRepairs +
            repairTotal(repairLines(session_.db(), item, RepairArchive::Issued)).text(decimals).trimmed());
    });
}

void TForm_Spr_Izdadeni_Ser::print() {
    if (ui->RadioButton_Izbrano->isChecked()) {
        printChosen();
        return;
    }
    GridExport what;
    what.name = QStringLiteral("Export_Izdadeni_Remont");
    what.heading = {QString(), windowTitle(), QString(), exportDateLine(session_.now())};
    what.closing = {QString(), ui->Label_Obshta_Suma->text()};
    printList(what);
}

// The item under the cursor: its data as the heading, its repair lines as
// the table, the item's repair total as the closing line.
void TForm_Spr_Izdadeni_Ser::printChosen() {
    const int row = grid()->currentIndex().row();
    if (row < 0 || !currentKey().isValid()) {
        showMessage(texts::kReportNoItemChosen);
        return;
    }
    auto field = [&](const char* name) { return model()->value(row, QLatin1String(name)).toString(); };
    auto date = [&](const char* name) {
        return shortDate(QDate::fromString(field(name).left(10), Qt::ISODate));
    };
    GridExport what;
    what.name = QStringLiteral("Export_Izdaden_Remont");
    what.heading = {QString(),
                    windowTitle(),
                    QString(),
                    texts::kReportItemHeading.arg(currentKey().toString(), field("S_N"), field("Opisanie")),
                    texts::kReportItemClient.arg(field("Ime_Kontrag"), field("Pri4ina")),
                    texts::kReportItemDates.arg(date("Data_Priem"), date("Data_Izd"), field("Oper_Izd")),
                    exportDateLine(session_.now())};
    what.closing = {QString(), ui->Label_Suma_Remont->text()};
    exportGrid(gridContext(session_), this, ui->DBGrid_Remont, what);
}

} // namespace torvika
