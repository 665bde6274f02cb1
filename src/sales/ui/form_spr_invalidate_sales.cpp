#include "sales/ui/form_spr_invalidate_sales.h"

#include "common/dates.h"
#include "common/ref_text.h"
#include "common/ui/error_edge.h"
#include "common/ui/messages.h"
#include "sales/texts.h"
#include "shell/session_grids.h"
#include "ui_form_spr_invalidate_sales.h"

#include <QDateEdit>
#include <QShowEvent>
#include <QTimeEdit>

namespace torvika {

namespace {
const QString kKey = QStringLiteral("ID_Prodajba");
const QString kTitle = QStringLiteral("Справка анулирани продажби ");
} // namespace

TForm_Spr_Invalidate_Sales::TForm_Spr_Invalidate_Sales(const WindowContext& context, QWidget* parent)
    : ListWindow(parent), ui(new Ui::TForm_Spr_Invalidate_Sales), session_(context.session) {
    ui->setupUi(this);
    const int d = session_.settings().get(setting::kAmountDecimals);
    using F = GridColumnSpec;
    const QList<GridColumnSpec> columns{
        {kKey, QStringLiteral("N"), 7, F::Integer},
        {QStringLiteral("ID_Art"), QStringLiteral("Арт. N"), 7, F::Integer},
        {QStringLiteral("Opisanie"), QStringLiteral("Описание"), 24},
        {QStringLiteral("Kol"), QStringLiteral("Кол."), 8, F::Number, d},
        {QStringLiteral("Ed_Cena"), QStringLiteral("Цена"), 9, F::Number, d},
        {QStringLiteral("Valuta"), QStringLiteral("Валута"), 6},
        {QStringLiteral("T_O"), QStringLiteral("TO в %"), 6, F::Number, 2},
        {QStringLiteral("Suma"), QStringLiteral("Общо"), 10, F::Number, d},
        {QStringLiteral("D_Prodajba"), QStringLiteral("Дата"), 10, F::Date},
        {QStringLiteral("T_Prodajba"), QStringLiteral("Час"), 8},
        {QStringLiteral("Ime_Firma"), QStringLiteral("Клиент"), 20},
        {QStringLiteral("Operator"), QStringLiteral("Оператор"), 12},
        {QStringLiteral("Pored_Ot"), QStringLiteral("Поред От/Сер.N"), 12},
        {QStringLiteral("Pored_Do"), QStringLiteral("Поред До/Гар."), 12},
        {QStringLiteral("Type_pay"), QStringLiteral("Тип плащане"), 14},
        {QStringLiteral("Term_N"), QStringLiteral("Терминал"), 6, F::Integer},
        {QStringLiteral("Osnovanie"), QStringLiteral("Основание"), 20},
        {QStringLiteral("Date_Invalidate"), QStringLiteral("Дата на анулиране"), 10, F::Date},
        {QStringLiteral("Time_Invalidate"), QStringLiteral("Час на анулиране"), 8},
        {QStringLiteral("Anuliral"), QStringLiteral("Анулирал"), 12}};
    setUpList(gridContext(session_), ui->DBGrid1, columns, kKey);

    const auto w = [](QWidget* x) { return x; };
    filters_ = {
        {ui->CheckBox_Kontragent, {ui->ComboBox_Kontragent}},
        {ui->CheckBox_Artikul, {ui->ComboBox_Artikul}},
        {ui->CheckBox_Data,
         {ui->ComboBox_Data, ui->DateTimePicker_Data_Ot, ui->DateTimePicker_Data_Do},
         ui->ComboBox_Data,
         {w(ui->Label_Data_Ot), w(ui->Label_Data_Do), w(ui->DateTimePicker_Data_Do)}},
        {ui->CheckBox_Chas,
         {ui->ComboBox_Chas, ui->DateTimePicker_Chas_Ot, ui->DateTimePicker_Chas_Do},
         ui->ComboBox_Chas,
         {w(ui->Label_Chas_Ot), w(ui->Label_Chas_Do), w(ui->DateTimePicker_Chas_Do)}},
        {ui->CheckBox_Suma,
         {ui->ComboBox_Suma, ui->Edit_Suma_Ot, ui->Edit_Suma_Do},
         ui->ComboBox_Suma,
         {w(ui->Label_Suma_Ot), w(ui->Label_Suma_Do), w(ui->Edit_Suma_Do)}},
        {ui->CheckBox_Operator, {ui->ComboBox_Operators}},
        {ui->CheckBox_Type_Pay, {ui->ComboBox_Type_Pay}},
        {ui->CheckBox_Anuliral, {ui->ComboBox_Anuliral}},
        {ui->CheckBox_Osnovanie, {ui->Edit_Osnovanie}},
        {ui->CheckBox_Data_Anulirane,
         {ui->ComboBox_Data_Anulirane, ui->DateTimePicker_Data_Anulirane_Ot,
          ui->DateTimePicker_Data_Anulirane_Do},
         ui->ComboBox_Data_Anulirane,
         {w(ui->Label_Data_Anulirane_Ot), w(ui->Label_Data_Anulirane_Do),
          w(ui->DateTimePicker_Data_Anulirane_Do)}},
        {ui->CheckBox_Chas_Anulirane,
         {ui->ComboBox_Chas_Anulirane, ui->DateTimePicker_Chas_Anulirane_Ot,
          ui->DateTimePicker_Chas_Anulirane_Do},
         ui->ComboBox_Chas_Anulirane,
         {w(ui->Label_Chas_Anulirane_Ot), w(ui->Label_Chas_Anulirane_Do),
          w(ui->DateTimePicker_Chas_Anulirane_Do)}},
    };
    for (const Filter& f : filters_) {
        connect(f.box, &QCheckBox::clicked, this, [this, f](bool on) { filterTicked(f, on); });
        if (f.comparison) {
            f.comparison->addItems(comparisonTexts());
            connect(f.comparison, &QComboBox::currentIndexChanged, this, [this, f] { updateRange(f); });
            updateRange(f);
        }
    }
    // The dates and times start at today and now.
    for (QDateEdit* d : findChildren<QDateEdit*>())
        d->setDate(session_.today());
    for (QTimeEdit* t : findChildren<QTimeEdit*>())
        t->setTime(session_.now().time());
    ui->ComboBox_Type_Pay->addItems({texts::kPayCash, texts::kPayBankTransfer, texts::kPayDeferred});
    connect(ui->Button_Search, &QPushButton::clicked, this, &TForm_Spr_Invalidate_Sales::Button_SearchClick);
    connect(ui->Button_Pe4at, &QPushButton::clicked, this, &TForm_Spr_Invalidate_Sales::Button_Pe4atClick);
}

TForm_Spr_Invalidate_Sales::~TForm_Spr_Invalidate_Sales() = default;

void TForm_Spr_Invalidate_Sales::showEvent(QShowEvent* e) {
    ListWindow::showEvent(e);
    if (!e->spontaneous()) {
        fillChoices();
        model()->clear();
    }
}

QString TForm_Spr_Invalidate_Sales::sortField(int column) const {
    return model()->columns().value(column).field;
}

void TForm_Spr_Invalidate_Sales::fillChoices() {
    InvalidatedChoices c;
    QStringList operators;
    if (!guarded([&] {
            c = invalidatedChoices(session_.db());
            operators = reportOperatorNames(session_.db());
        }))
        return;
    const auto refill = [](QComboBox* box, const QStringList& items) {
        const QString was = box->currentText();
        box->clear();
        box->addItems(items);
        box->setCurrentIndex(std::max(0, box->findText(was)));
    };
    refill(ui->ComboBox_Kontragent, c.counterparties);
    refill(ui->ComboBox_Artikul, c.articles);
    refill(ui->ComboBox_Anuliral, c.invalidatedBy);
    refill(ui->ComboBox_Operators, operators);
}

void TForm_Spr_Invalidate_Sales::filterTicked(const Filter& f, bool on) {
    for (QWidget* c : f.controls)
        c->setEnabled(on);
    if (on && f.comparison)
        f.comparison->setCurrentIndex(int(Comparison::Equal));
    if (on) {
        const QDateTime now = session_.now();
        for (QWidget* c : f.controls) {
            if (auto* d = qobject_cast<QDateEdit*>(c))
                d->setDate(now.date());
            else if (auto* t = qobject_cast<QTimeEdit*>(c))
                t->setTime(now.time());
        }
    }
}

void TForm_Spr_Invalidate_Sales::updateRange(const Filter& f) {
    const bool between = f.comparison->currentIndex() == int(Comparison::Between);
    for (QWidget* r : f.range)
        r->setVisible(between);
}

std::optional<InvalidatedCriteria> TForm_Spr_Invalidate_Sales::criteria() const {
    InvalidatedCriteria c;
    const auto comparison = [](const QComboBox* box) { return Comparison(std::max(0, box->currentIndex())); };
    if (ui->CheckBox_Kontragent->isChecked())
        c.sale.counterparty = std::max(0, GetID_MFromTreeNodeName(ui->ComboBox_Kontragent->currentText()));
    if (ui->CheckBox_Artikul->isChecked())
        c.sale.articles =
            QList<qint64>{std::max(0, GetID_MFromTreeNodeName(ui->ComboBox_Artikul->currentText()))};
    if (ui->CheckBox_Data->isChecked())
        c.sale.date = Range<QDate>{comparison(ui->ComboBox_Data), ui->DateTimePicker_Data_Ot->date(),
                                   ui->DateTimePicker_Data_Do->date()};
    if (ui->CheckBox_Chas->isChecked())
        c.sale.time = Range<QTime>{comparison(ui->ComboBox_Chas), ui->DateTimePicker_Chas_Ot->time(),
                                   ui->DateTimePicker_Chas_Do->time()};
    if (ui->CheckBox_Suma->isChecked()) {
        const Comparison how = comparison(ui->ComboBox_Suma);
        const std::optional<Decimal> from = Decimal::parse(ui->Edit_Suma_Ot->text().trimmed());
        const std::optional<Decimal> to =
            how == Comparison::Between ? Decimal::parse(ui->Edit_Suma_Do->text().trimmed()) : from;
        if (!from || !to) {
            showMessage(texts::kAmountNotNumber);
            return std::nullopt;
        }
        c.sale.amount = Range<Decimal>{how, *from, *to};
    }
    if (ui->CheckBox_Operator->isChecked())
        c.sale.operatorName = ui->ComboBox_Operators->currentText();
    if (ui->CheckBox_Type_Pay->isChecked())
        c.sale.payKind = ui->ComboBox_Type_Pay->currentText();
    if (ui->CheckBox_Anuliral->isChecked())
        c.invalidatedBy = ui->ComboBox_Anuliral->currentText();
    if (ui->CheckBox_Osnovanie->isChecked())
        c.reason = ui->Edit_Osnovanie->text();
    if (ui->CheckBox_Data_Anulirane->isChecked())
        c.invalidationDate = Range<QDate>{comparison(ui->ComboBox_Data_Anulirane),
                                          ui->DateTimePicker_Data_Anulirane_Ot->date(),
                                          ui->DateTimePicker_Data_Anulirane_Do->date()};
    if (ui->CheckBox_Chas_Anulirane->isChecked())
        c.invalidationTime = Range<QTime>{comparison(ui->ComboBox_Chas_Anulirane),
                                          ui->DateTimePicker_Chas_Anulirane_Ot->time(),
                                          ui->DateTimePicker_Chas_Anulirane_Do->time()};
    return c;
}

void TForm_Spr_Invalidate_Sales::Button_SearchClick() {
    const std::optional<InvalidatedCriteria> c = criteria();
    if (!c)
        return;
    const int d = session_.settings().get(setting::kAmountDecimals);
    search([&] { return invalidatedSalesStatement(*c, d); }, QString());
}

void TForm_Spr_Invalidate_Sales::Button_Pe4atClick() {
    // The heading names each ticked filter with what it holds.
    QList<SalesReportHeadingCriterion> ticked;
    for (const Filter& f : filters_) {
        if (!f.box->isChecked())
            continue;
        SalesReportHeadingCriterion h{f.box->text() + u':', QString()};
        const auto text = [](QWidget* w) -> QString {
            if (auto* b = qobject_cast<QComboBox*>(w))
                return b->currentText();
            if (auto* d = qobject_cast<QDateEdit*>(w))
                return shortDate(d->date());
            if (auto* t = qobject_cast<QTimeEdit*>(w))
                return shortTime(t->time());
            if (auto* e = qobject_cast<QLineEdit*>(w))
                return e->text().trimmed();
            return {};
        };
        if (f.comparison) {
            h.comparison = Comparison(std::max(0, f.comparison->currentIndex()));
            h.value = text(f.controls.value(1));
            h.to = text(f.controls.value(2));
        } else {
            h.value = text(f.controls.value(0));
        }
        ticked << h;
    }
    printList({QStringLiteral("Spr_Invalidate"), salesReportHeading(kTitle, session_.now(), ticked)});
}

} // namespace torvika
