#include "catalogue/ui/form_nali4nosti_artikuli.h"

#include "catalogue/reference_lists.h"
#include "catalogue/texts.h"
#include "common/dates.h"
#include "common/ref_text.h"
#include "common/ui/error_edge.h"
#include "common/ui/messages.h"
#include "shell/session_grids.h"
#include "ui_form_nali4nosti_artikuli.h"

namespace torvika {

TForm_Nali4nosti_Artikuli::TForm_Nali4nosti_Artikuli(const WindowContext& context, QWidget* parent)
    : ListWindow(parent), ui(new Ui::TForm_Nali4nosti_Artikuli), session_(context.session) {
    ui->setupUi(this);
    setUpList(gridContext(session_), ui->DBGrid_Nali4nosti,
              {{QStringLiteral("ID"), QStringLiteral("Арт. N"), 0, GridColumnSpec::Integer},
               {QStringLiteral("Opisanie"), QStringLiteral("Описание"), 40},
               {QStringLiteral("All_Kol"), QStringLiteral("Нал. кол."), 12, GridColumnSpec::Number,
                session_.displayDecimals()},
               {QStringLiteral("Mqrka"), QStringLiteral("Мярка"), 8}},
              QStringLiteral("ID"));
    connect(ui->CheckBox_Artikul, &QCheckBox::clicked, this,
            &TForm_Nali4nosti_Artikuli::CheckBox_ArtikulClick);
    connect(ui->CheckBox_Sklad, &QCheckBox::clicked, this, &TForm_Nali4nosti_Artikuli::CheckBox_SkladClick);
    connect(ui->CheckBox_Grupa, &QCheckBox::clicked, this, &TForm_Nali4nosti_Artikuli::CheckBox_GrupaClick);
    connect(ui->Edit_Artikul, &QLineEdit::textChanged, this, &TForm_Nali4nosti_Artikuli::Edit_ArtikulChange);
    connect(ui->Button_Tarsi, &QPushButton::clicked, this, &TForm_Nali4nosti_Artikuli::Button_TarsiClick);
    connect(ui->Button_Pe4at, &QPushButton::clicked, this, [this] { Button_Pe4atClick(); });
}

TForm_Nali4nosti_Artikuli::~TForm_Nali4nosti_Artikuli() = default;

StockFilter TForm_Nali4nosti_Artikuli::filter() const {
    StockFilter f;
    // A number that is no number, or a list with nothing chosen, matches
    // no row (-1).
    if (ui->CheckBox_Artikul->isChecked())
        f.article = GetID_MFromTreeNodeName(ui->Edit_Artikul->text() + u':');
    if (ui->CheckBox_Sklad->isChecked())
        f.warehouse = GetID_MFromTreeNodeName(ui->ComboBox_Sklad->currentText());
    if (ui->CheckBox_Grupa->isChecked())
        f.group = GetID_MFromTreeNodeName(ui->ComboBox_Grupa->currentText());
    return f;
}

void TForm_Nali4nosti_Artikuli::CheckBox_ArtikulClick() {
    const bool on = ui->CheckBox_Artikul->isChecked();
    ui->Edit_Artikul->setEnabled(on);
    if (on) {
        ui->Edit_Artikul->setFocus();
        ui->Edit_Artikul->selectAll();
    }
}

void TForm_Nali4nosti_Artikuli::CheckBox_SkladClick() {
    const bool on = ui->CheckBox_Sklad->isChecked();
    ui->ComboBox_Sklad->setEnabled(on);
    if (!on)
        return;
    // The list as stored now, the active warehouse chosen.
    ui->ComboBox_Sklad->clear();
    guarded([this] { ui->ComboBox_Sklad->addItems(warehouseItems(session_.db())); });
    const int active = ui->ComboBox_Sklad->findText(session_.activeWarehouseText());
    ui->ComboBox_Sklad->setCurrentIndex(qMax(active, 0));
}

void TForm_Nali4nosti_Artikuli::CheckBox_GrupaClick() {
    const bool on = ui->CheckBox_Grupa->isChecked();
    ui->ComboBox_Grupa->setEnabled(on);
    if (!on)
        return;
    const QString chosen = ui->ComboBox_Grupa->currentText();
    ui->ComboBox_Grupa->clear();
    guarded([this] { ui->ComboBox_Grupa->addItems(stockReportGroupItems(session_.db())); });
    ui->ComboBox_Grupa->setCurrentIndex(qMax(ui->ComboBox_Grupa->findText(chosen), 0));
}

void TForm_Nali4nosti_Artikuli::Edit_ArtikulChange() {
    const int article = GetID_MFromTreeNodeName(ui->Edit_Artikul->text() + u':');
    QString text = texts::kNoArticleChosen;
    if (article > 0)
        logged([&] { text = stockReportArticleText(session_.db(), article); });
    ui->Label_Artikul->setText(text);
}

void TForm_Nali4nosti_Artikuli::Button_TarsiClick() {
    const StockFilter f = filter();
    if (!guarded([&] { open(stockReportStatement(f)); }))
        return;
    conditions_.clear();
    if (f.article)
        conditions_ << texts::kStockReportArticle + ui->Label_Artikul->text();
    conditions_ << (f.warehouse ? texts::kStockReportWarehouse + ui->ComboBox_Sklad->currentText()
                                : texts::kStockReportAllWarehouses);
    if (f.group)
        conditions_ << texts::kStockReportGroup + ui->ComboBox_Grupa->currentText();
    if (model()->rowCount() > 0)
        ui->DBGrid_Nali4nosti->setCurrentIndex(model()->index(0, 0));
}

QString TForm_Nali4nosti_Artikuli::Button_Pe4atClick() {
    GridExport what;
    what.name = texts::kStockReportFile;
    what.heading = QStringList{QString(), texts::kStockReportHeading} + conditions_ +
                   QStringList{QString(), exportDateLine(session_.now())};
    return printList(what);
}

} // namespace torvika
