#include "catalogue/ui/form_add_red_zaqvka.h"

#include "catalogue/currencies.h"
#include "catalogue/texts.h"
#include "common/cformat.h"
#include "common/ref_text.h"
#include "common/sql.h"
#include "common/texts.h"
#include "common/ui/error_edge.h"
#include "common/ui/messages.h"
#include "common/ui/statement_model.h"
#include "counterparties/ui/counterparty_picker.h"
#include "ui_form_add_red_zaqvka.h"

#include <QMouseEvent>

namespace torvika {

namespace {

const QString kId = QStringLiteral("ID");
// The number of decimals the fields show.
constexpr int kFieldDecimals = 4;

// A stored quantity or price for its field: with the display decimals, or
// with as many as it has (up to the 4 kept), so that accepting the line
// unchanged changes nothing.
QString fieldNumber(const Decimal& value, int displayDecimals) {
    return formatFixed(value, qMax(displayDecimals, qMin(value.scale(), kFieldDecimals)));
}

} // namespace

TForm_Add_Red_Zaqvka::TForm_Add_Red_Zaqvka(const WindowContext& context, QWidget* parent)
    : QDialog(parent), ui(new Ui::TForm_Add_Red_Zaqvka), context_(context), session_(context.session),
      lines_(new StatementModel(this)) {
    ui->setupUi(this);
    for (QLineEdit* text : {ui->Edit_Zaqvitel, ui->Edit_Dostav4ik, ui->Edit_Artikul})
        text->setMaxLength(kOrderTextWidth);
    ui->Edit_Kat_N->setMaxLength(kOrderNumberWidth);

    const int decimals = session_.displayDecimals();
    lines_->setColumns(
        {{kId, QStringLiteral("N"), 4, GridColumnSpec::Integer},
         {QStringLiteral("Art_ID"), QStringLiteral("Арт. N"), 7, GridColumnSpec::Integer},
         {QStringLiteral("Kat_N"), QStringLiteral("Ном. N"), 12},
         {QStringLiteral("Opisanie"), QStringLiteral("Описание"), 34},
         {QStringLiteral("Kol"), QStringLiteral("Кол."), 10, GridColumnSpec::Number, decimals},
         {QStringLiteral("Dost_Cena"), QStringLiteral("Дост.цена"), 10, GridColumnSpec::Number, decimals},
         {QStringLiteral("Valuta"), QStringLiteral("Валута"), 8}});
    setUpStatementGrid(ui->DBGrid_Zaqvki, lines_, true);

    for (QLabel* label : {ui->Label_Zaqvitel, ui->Label_Dostav4ik, ui->Label_Artikul})
        label->installEventFilter(this);
    connect(ui->CheckBox_Zaqvitel, &QCheckBox::toggled, this,
            [this](bool on) { freeTextToggled(requesterRow(), on); });
    connect(ui->CheckBox_Dostav4ik, &QCheckBox::toggled, this,
            [this](bool on) { freeTextToggled(supplierRow(), on); });
    connect(ui->CheckBox_Artikul, &QCheckBox::toggled, this,
            [this](bool on) { freeTextToggled(articleRow(), on); });
    connect(ui->Button_Dobavi, &QPushButton::clicked, this, &TForm_Add_Red_Zaqvka::Button_DobaviClick);
    connect(ui->Button_Iztrii, &QPushButton::clicked, this, &TForm_Add_Red_Zaqvka::Button_IztriiClick);
    connect(ui->Button_Redaktirai, &QPushButton::clicked, this,
            &TForm_Add_Red_Zaqvka::Button_RedaktiraiClick);
    connect(ui->DBGrid_Zaqvki, &QTableView::doubleClicked, this, [this] {
        if (ui->Button_Redaktirai->isEnabled())
            Button_RedaktiraiClick();
    });
    connect(ui->Button_Zapis, &QPushButton::clicked, this, &TForm_Add_Red_Zaqvka::Button_ZapisClick);
    connect(ui->Button_Otkaz, &QPushButton::clicked, this, &QDialog::reject);

    // The base currency first, so that it is the one chosen.
    guarded([this] {
        const SqlRows currencies = readRows(session_.db(), currenciesStatement().text);
        for (const QVariantList& c : currencies.rows)
            ui->ComboBox_Valuta->addItem(c[0].toString());
    });
    if (ui->ComboBox_Valuta->count() > 0)
        ui->ComboBox_Valuta->setCurrentIndex(0);
    for (const Row& row : {requesterRow(), supplierRow(), articleRow()})
        row.text->hide();

    guarded([this] { copy_ = std::make_unique<OrderLinesCopy>(session_.db()); });
    for (QWidget* w : {static_cast<QWidget*>(ui->Button_Dobavi), static_cast<QWidget*>(ui->Button_Iztrii)})
        w->setEnabled(ready());
    reset();
    readLines();
}

TForm_Add_Red_Zaqvka::~TForm_Add_Red_Zaqvka() = default;

void TForm_Add_Red_Zaqvka::addFollowUps(FollowUpRegistry& followUps) {
    using Self = TForm_Add_Red_Zaqvka;
    followUps.of<CounterpartyPicker>().add(kSelectOrderRequester, [](QWidget* opener, const QString& ref) {
        openerWindow<Self>(opener).takeRequester(ref);
    });
    followUps.of<CounterpartyPicker>().add(kSelectOrderSupplier, [](QWidget* opener, const QString& ref) {
        openerWindow<Self>(opener).takeSupplier(ref);
    });
    followUps.of<ArticlePicker>().add(kSelectOrderArticle, [](QWidget* opener, const ArticleChoice& choice) {
        // The row reference: the current row, else the first marked.
        const std::optional<PickedArticle> article =
            choice.current              ? choice.current
            : choice.articles.isEmpty() ? std::nullopt
                                        : std::optional<PickedArticle>(choice.articles.front());
        if (article)
            openerWindow<Self>(opener).takeArticle(*article);
    });
}

QTableView* TForm_Add_Red_Zaqvka::grid() const {
    return ui->DBGrid_Zaqvki;
}

TForm_Add_Red_Zaqvka::Row TForm_Add_Red_Zaqvka::requesterRow() const {
    return {ui->Label_Zaqvitel, ui->Label_Zaqvitel_Name, ui->CheckBox_Zaqvitel, ui->Edit_Zaqvitel};
}

TForm_Add_Red_Zaqvka::Row TForm_Add_Red_Zaqvka::supplierRow() const {
    return {ui->Label_Dostav4ik, ui->Label_Dostav4ik_Name, ui->CheckBox_Dostav4ik, ui->Edit_Dostav4ik};
}

TForm_Add_Red_Zaqvka::Row TForm_Add_Red_Zaqvka::articleRow() const {
    return {ui->Label_Artikul, ui->Label_Artikul_Name, ui->CheckBox_Artikul, ui->Edit_Artikul};
}

bool TForm_Add_Red_Zaqvka::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        auto* label = qobject_cast<QLabel*>(watched);
        if (label && label->isEnabled()) {
            if (label == ui->Label_Zaqvitel) {
                Label_ZaqvitelClick();
                return true;
            }
            if (label == ui->Label_Dostav4ik) {
                Label_Dostav4ikClick();
                return true;
            }
            if (label == ui->Label_Artikul) {
                Label_ArtikulClick();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TForm_Add_Red_Zaqvka::freeTextToggled(const Row& row, bool on) {
    row.choose->setEnabled(!on);
    row.name->setEnabled(!on);
    row.text->setVisible(on);
    if (on) {
        row.text->clear();
        row.text->setFocus();
    }
}

QString TForm_Add_Red_Zaqvka::rowText(const Row& row) {
    return row.free->isChecked() ? row.text->text().trimmed() : row.name->text();
}

void TForm_Add_Red_Zaqvka::Label_ZaqvitelClick() {
    pickCounterparty(context_, kSelectOrderRequester, this);
}

void TForm_Add_Red_Zaqvka::Label_Dostav4ikClick() {
    pickCounterparty(context_, kSelectOrderSupplier, this);
}

void TForm_Add_Red_Zaqvka::Label_ArtikulClick() {
    pickArticles(context_, kSelectOrderArticle, this);
}

void TForm_Add_Red_Zaqvka::takeRequester(const QString& refText) {
    ui->Label_Zaqvitel_Name->setText(refText);
}

void TForm_Add_Red_Zaqvka::takeSupplier(const QString& refText) {
    ui->Label_Dostav4ik_Name->setText(refText);
    proposeSupplierNumber();
}

void TForm_Add_Red_Zaqvka::takeArticle(const PickedArticle& article) {
    ui->Label_Artikul_Name->setText(article.refText());
    proposeSupplierNumber();
}

void TForm_Add_Red_Zaqvka::proposeSupplierNumber() {
    if (ui->CheckBox_Artikul->isChecked())
        return;
    const int article = GetID_MFromTreeNodeName(ui->Label_Artikul_Name->text());
    if (article <= 0)
        return;
    // A number the operator typed himself stays.
    const QString shown = ui->Edit_Kat_N->text().trimmed();
    if (!shown.isEmpty() && shown != proposedNumber_)
        return;
    const int supplier = ui->CheckBox_Dostav4ik->isChecked()
                             ? 0
                             : qMax(0, GetID_MFromTreeNodeName(ui->Label_Dostav4ik_Name->text()));
    QString number;
    if (!guarded([&] { number = supplierArticleNumber(session_.db(), article, supplier); }))
        return;
    ui->Edit_Kat_N->setText(number);
    proposedNumber_ = number;
}

std::optional<OrderLine> TForm_Add_Red_Zaqvka::typedLine() {
    const auto refuse = [](const QString& message, QLineEdit* field) {
        showMessage(message);
        field->setFocus();
        field->selectAll();
    };
    const std::optional<Decimal> quantity = typedOrderNumber(ui->Edit_Kol->text());
    if (!quantity || quantity->sign() <= 0) {
        refuse(texts::kOrderQuantityNotPositive, ui->Edit_Kol);
        return std::nullopt;
    }
    const std::optional<Decimal> price = typedOrderNumber(ui->Edit_Dost_Cena->text());
    if (!price || price->sign() < 0) {
        refuse(texts::kBadOrderPrice, ui->Edit_Dost_Cena);
        return std::nullopt;
    }
    OrderLine line;
    line.date = ui->DateTimePicker_Data->date();
    line.article = ui->CheckBox_Artikul->isChecked()
                       ? 0
                       : qMax(0, GetID_MFromTreeNodeName(ui->Label_Artikul_Name->text()));
    line.supplierNumber = ui->Edit_Kat_N->text().trimmed();
    line.description = rowText(articleRow());
    line.quantity = *quantity;
    line.price = *price;
    line.currency = ui->ComboBox_Valuta->currentText();
    line.requester = rowText(requesterRow());
    line.supplier = rowText(supplierRow());
    return line;
}

void TForm_Add_Red_Zaqvka::Button_DobaviClick() {
    if (!ready())
        return;
    const std::optional<OrderLine> line = typedLine();
    if (!line)
        return;
    if (editedLine_) {
        // "Приеми": the line being changed takes the fields.
        const qint64 id = *editedLine_;
        if (!guarded([&] { copy_->edit(id, *line); }))
            return;
        setEditing(std::nullopt);
        reset();
        readLines(id);
        return;
    }
    qint64 id = 0;
    if (!guarded([&] { id = copy_->add(*line); }))
        return;
    reset();
    readLines(id);
}

QList<qint64> TForm_Add_Red_Zaqvka::markedLines() const {
    QList<qint64> ids;
    for (const QModelIndex& row : ui->DBGrid_Zaqvki->selectionModel()->selectedRows())
        ids << lines_->value(row.row(), kId).toLongLong();
    return ids;
}

void TForm_Add_Red_Zaqvka::Button_IztriiClick() {
    if (!ready())
        return;
    if (editedLine_) {
        // "Откажи": the line stays as it was.
        setEditing(std::nullopt);
        reset();
        readLines();
        return;
    }
    const QList<qint64> ids = markedLines();
    if (ids.isEmpty())
        return;
    guarded([&] { copy_->remove(ids); });
    readLines();
}

void TForm_Add_Red_Zaqvka::Button_RedaktiraiClick() {
    const QModelIndex current = ui->DBGrid_Zaqvki->currentIndex();
    if (!ready() || editedLine_ || !current.isValid())
        return;
    const qint64 id = lines_->value(current.row(), kId).toLongLong();
    std::optional<OrderLine> line;
    if (!guarded([&] { line = copy_->line(id); }) || !line)
        return;
    reset();
    ui->DateTimePicker_Data->setDate(line->date.isValid() ? line->date : session_.today());
    ui->Edit_Dost_Cena->setText(fieldNumber(line->price, session_.displayDecimals()));
    ui->Edit_Kol->setText(fieldNumber(line->quantity, session_.displayDecimals()));
    ui->Label_Zaqvitel_Name->setText(line->requester);
    ui->Label_Dostav4ik_Name->setText(line->supplier);
    // A line without a catalogue article is free text, whatever its text
    // begins with.
    if (line->article == 0) {
        ui->CheckBox_Artikul->setChecked(true);
        ui->Edit_Artikul->setText(line->description);
    } else {
        ui->Label_Artikul_Name->setText(line->description);
    }
    ui->Edit_Kat_N->setText(line->supplierNumber);
    proposedNumber_ = line->supplierNumber;
    // The line keeps its currency, also one no longer in the list.
    int currency = ui->ComboBox_Valuta->findText(line->currency);
    if (currency < 0 && !line->currency.isEmpty()) {
        ui->ComboBox_Valuta->addItem(line->currency);
        currency = ui->ComboBox_Valuta->count() - 1;
    }
    if (currency >= 0)
        ui->ComboBox_Valuta->setCurrentIndex(currency);
    setEditing(id);
    ui->Edit_Kol->setFocus();
    ui->Edit_Kol->selectAll();
}

void TForm_Add_Red_Zaqvka::setEditing(std::optional<qint64> line) {
    editedLine_ = line;
    ui->Button_Dobavi->setText(line ? texts::kRowCaptionAccept : texts::kRowCaptionAdd);
    ui->Button_Iztrii->setText(line ? texts::kRowCaptionCancel : texts::kRowCaptionDelete);
    const bool any = ready() && lines_->rowCount() > 0;
    ui->Button_Redaktirai->setEnabled(!line && any);
    // Stored only once the line being changed is accepted or abandoned.
    ui->Button_Zapis->setEnabled(!line && any);
}

void TForm_Add_Red_Zaqvka::reset() {
    for (const Row& row : {requesterRow(), supplierRow(), articleRow()})
        row.free->setChecked(false);
    ui->Label_Zaqvitel_Name->setText(texts::kNoRequesterChosen);
    ui->Label_Dostav4ik_Name->setText(texts::kNoSupplierChosen);
    ui->Label_Artikul_Name->setText(texts::kNoArticleChosen);
    ui->Edit_Kat_N->clear();
    proposedNumber_.clear();
    ui->Edit_Kol->setText(formatFixed(Decimal(1), kFieldDecimals));
    ui->Edit_Dost_Cena->setText(formatFixed(Decimal(0), kFieldDecimals));
    ui->DateTimePicker_Data->setDate(session_.today());
}

void TForm_Add_Red_Zaqvka::readLines(std::optional<qint64> current) {
    if (ready()) {
        guarded([this] { lines_->setStatement(session_.db(), copy_->linesStatement()); });
        const int row = current ? lines_->findRow(kId, *current) : -1;
        if (row >= 0)
            ui->DBGrid_Zaqvki->setCurrentIndex(lines_->index(row, 0));
        else if (lines_->rowCount() > 0)
            ui->DBGrid_Zaqvki->setCurrentIndex(lines_->index(0, 0));
    }
    setEditing(editedLine_);
}

void TForm_Add_Red_Zaqvka::reject() {
    // "Отказ", Esc and the close box drop the working lines: asked first.
    if (ready() && lines_->rowCount() > 0 && !askYesNo(texts::kAskCloseOrderLines))
        return;
    QDialog::reject();
}

void TForm_Add_Red_Zaqvka::Button_ZapisClick() {
    if (!ready() || editedLine_ || lines_->rowCount() == 0)
        return;
    const QDate date = ui->DateTimePicker_Data->date();
    // On a failure nothing is stored and the working lines stay for another try.
    if (guarded([&] { saved_ = copy_->save(date); }))
        accept();
}

} // namespace torvika
