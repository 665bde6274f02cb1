#include "service/ui/form_remont.h"

#include "catalogue/reference_lists.h"
#include "common/base_currency.h"
#include "common/cformat.h"
#include "common/errors.h"
#include "common/grid_export.h"
#include "common/ref_text.h"
#include "common/ui/desktop.h"
#include "common/ui/error_edge.h"
#include "common/ui/messages.h"
#include "counterparties/ui/counterparty_picker.h"
#include "sales/ui/fiscal_commands.h"
#include "service/texts.h"
#include "service/ui/form_status_remont.h"
#include "service/ui/row_colours.h"
#include "service/ui/service_settings.h"
#include "shell/session_grids.h"
#include "ui_form_remont.h"

#include <QDir>
#include <QHeaderView>
#include <QItemSelectionModel>

namespace torvika {

namespace {

const QString kIdField = QStringLiteral("N_Prodajba");

// The criterion list holds the columns in order; its item is the column.
RepairColumn criterionColumn(int index) {
    return RepairColumn(std::clamp(index, 0, kRepairColumnCount - 1));
}

bool isDateColumn(RepairColumn c) {
    return c == RepairColumn::IntakeDate || c == RepairColumn::DocumentDate || c == RepairColumn::DueDate;
}

} // namespace

TForm_Remont::TForm_Remont(const WindowContext& context, QWidget* parent)
    : ListWindow(parent), ui(new Ui::TForm_Remont), session_(context.session), context_(context) {
    ui->setupUi(this);
    Session& session = context.session;
    // Enter belongs to the field it is pressed in (a lookup, a search), never to a button.
    for (QPushButton* button : findChildren<QPushButton*>())
        button->setAutoDefault(false);
    QList<GridColumnSpec> columns;
    for (int c = 0; c < kRepairColumnCount; ++c) {
        const RepairColumnInfo& info = repairColumn(RepairColumn(c));
        GridColumnSpec grid{info.field.toString(), info.caption.toString()};
        const RepairColumn column = RepairColumn(c);
        if (column == RepairColumn::Number || column == RepairColumn::Article)
            grid.format = GridColumnSpec::Integer;
        else if (isDateColumn(column))
            grid.format = GridColumnSpec::Date;
        else if (column == RepairColumn::Reason || column == RepairColumn::Description)
            grid.width = 24;
        columns << grid;
        ui->ComboBox_Select_Kriteria->addItem(info.caption.toString());
    }
    setUpList(gridContext(session), ui->DBGrid_Priem, columns, kIdField, true);
    // Rows in the colour of their state; overdue ones red and bold.
    ui->DBGrid_Priem->setItemDelegate(new RowColours(
        [this](int row) {
            RowStyle style;
            const QDate due =
                QDate::fromString(model()->value(row, QStringLiteral("Krai_Data")).toString(), Qt::ISODate);
            const QDate intake =
                QDate::fromString(model()->value(row, QStringLiteral("Data_Priem")).toString(), Qt::ISODate);
            if (isOverdue(due, intake, session_.today()))
                return RowStyle{QColor(Qt::red), true};
            bool ok = false;
            const int colour = model()->value(row, QStringLiteral("Color")).toInt(&ok);
            style.colour = stateColour(ok ? colour : kDefaultStateColour, palette());
            return style;
        },
        this));

    lines_ = new StatementModel(this);
    lines_->setColumns(
        {{QStringLiteral("ID"), QStringLiteral("N"), 5, GridColumnSpec::Integer},
         {QStringLiteral("Zamqna"), QStringLiteral("Заменен"), 7},
         {QStringLiteral("SN"), QStringLiteral("Сериен номер"), 14},
         {QStringLiteral("Remont"), QStringLiteral("Заменен елемент / Ремонт"), 30},
         {QStringLiteral("Kol"), QStringLiteral("Кол."), 6, GridColumnSpec::Number, 2},
         {QStringLiteral("Ed_Cena"), QStringLiteral("Цена"), 10, GridColumnSpec::Number, 4},
         {QStringLiteral("Valuta"), QStringLiteral("Валута"), 8},
         {QStringLiteral("Suma"), QStringLiteral("Общо в лв"), 10, GridColumnSpec::Number, 4},
         {QStringLiteral("Garan_Remont"), QStringLiteral("Гаранция"), 10, GridColumnSpec::Date},
         {QStringLiteral("Oper_Remont"), QStringLiteral("Извършил ремонта"), 0}});
    setUpStatementGrid(ui->DBGrid_Remont, lines_);
    ui->DBGrid_Remont->setItemDelegate(new RowColours(
        [this](int row) {
            const bool replaced =
                lines_->value(row, QStringLiteral("Zamqna")).toString() == QLatin1String("True");
            return RowStyle{replaced ? std::optional<QColor>(QColor(Qt::red)) : std::nullopt, false};
        },
        this, 1));

    // A repair is priced in the base currency unless the operator picks another.
    QString base;
    logged([&] {
        ui->ComboBox_Valuta->addItems(currencyNames(session.db()));
        base = baseCurrencyRowName(session.db());
    });
    ui->ComboBox_Valuta->setCurrentIndex(ui->ComboBox_Valuta->findText(base));
    if (ui->ComboBox_Valuta->currentIndex() < 0 && ui->ComboBox_Valuta->count() > 0)
        ui->ComboBox_Valuta->setCurrentIndex(0);
    ui->ComboBox_Gar_Vid->addItems(
        {QStringLiteral("Дни"), QStringLiteral("Месеци"), QStringLiteral("До дата")});
    ui->DateTimePicker_Gar->setDate(session.today());
    ui->DateTimePicker_Data->setDate(session.today());
    ui->Edit_Cena->setValidator(nullptr);
    readStates();
    resetEntry();
    freeTextToggled(false);
    warrantyChanged();

    connect(ui->ComboBox_Select_Kriteria, &QComboBox::activated, this, &TForm_Remont::criterionChosen);
    connect(ui->ComboBox_Sreach_Status, &QComboBox::activated, this, &TForm_Remont::runSearch);
    connect(ui->Button_Tarsi, &QPushButton::clicked, this, &TForm_Remont::runSearch);
    connect(ui->Edit_Search_Text, &QLineEdit::returnPressed, this, &TForm_Remont::runSearch);
    connect(ui->Link_Kontragent, &QPushButton::clicked, this,
            [this] { pickCounterparty(context_, kSelectRepairs, this); });
    connect(ui->DBGrid_Priem->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TForm_Remont::showLines);
    connect(ui->DBGrid_Priem, &QTableView::clicked, this, [this](const QModelIndex& index) {
        // A click on a cell makes its column the criterion.
        ui->ComboBox_Select_Kriteria->setCurrentIndex(index.column());
        criterionChosen();
    });
    connect(ui->CheckBox_Free_Tekst, &QCheckBox::toggled, this, &TForm_Remont::freeTextToggled);
    connect(ui->CheckBox_Zamqna, &QCheckBox::toggled, this, &TForm_Remont::replacementToggled);
    connect(ui->SpinEdit_Garancia, &QSpinBox::valueChanged, this, &TForm_Remont::warrantyChanged);
    connect(ui->ComboBox_Gar_Vid, &QComboBox::currentIndexChanged, this, &TForm_Remont::warrantyChanged);
    connect(ui->DateTimePicker_Gar, &QDateEdit::dateChanged, this, &TForm_Remont::warrantyChanged);
    connect(ui->ComboBox_Status, &QComboBox::activated, this, &TForm_Remont::stateChosen);
    connect(ui->Link_Promeni_Status, &QPushButton::clicked, this, [this] {
        TForm_Status_Remont editor(context_, this);
        editor.exec();
        readStates();
        runSearch();
    });
    connect(ui->Link_Artikul, &QPushButton::clicked, this,
            [this] { pickArticles(context_, kSelectRepairArticle, this); });
    connect(ui->Button_Dobavi, &QPushButton::clicked, this, &TForm_Remont::addLine);
    connect(ui->Button_Iztrii, &QPushButton::clicked, this, &TForm_Remont::deleteLine);
    connect(ui->Button_Izdavane, &QPushButton::clicked, this, &TForm_Remont::issue);
    connect(ui->Button_Pechat, &QPushButton::clicked, this, &TForm_Remont::printProtocol);
    connect(ui->Button_Zatvori, &QPushButton::clicked, this, &QDialog::accept);

    // The first search lists every item; the criterion is "Описание" then.
    ui->ComboBox_Select_Kriteria->setCurrentIndex(int(RepairColumn::Description));
    search([] { return itemsInServiceStatement({}); }, QString());
    setSearchColumn(int(RepairColumn::Description),
                    repairColumn(RepairColumn::Description).caption.toString(), false);
    ui->DateTimePicker_Data->hide();
    ui->ComboBox_Sreach_Status->hide();
    ui->Link_Kontragent->hide();
    ui->Label_Sel_Kontrag->hide();
}

TForm_Remont::~TForm_Remont() = default;

qint64 TForm_Remont::currentItem() const {
    return currentKey().toLongLong();
}

void TForm_Remont::readStates() {
    logged([&] { states_ = repairStates(session_.db()); });
    const int wasShown = ui->ComboBox_Sreach_Status->currentIndex();
    ui->ComboBox_Status->clear();
    ui->ComboBox_Sreach_Status->clear();
    for (const RepairState& s : states_) {
        ui->ComboBox_Status->addItem(s.name, s.id);
        ui->ComboBox_Sreach_Status->addItem(s.name, s.id);
    }
    ui->ComboBox_Sreach_Status->setCurrentIndex(std::clamp(wasShown, 0, int(states_.size()) - 1));
    showLines();
}

QString TForm_Remont::sortField(int column) const {
    switch (RepairColumn(column)) {
    case RepairColumn::State:
        return QStringLiteral("S.Opisanie");
    case RepairColumn::Client:
        return QStringLiteral("F.Ime_Firma");
    default:
        return QStringLiteral("P.") + repairColumn(RepairColumn(column)).field.toString();
    }
}

void TForm_Remont::listShown() {
    shownItem_ = -1;
    if (model()->rowCount() > 0 && !grid()->currentIndex().isValid())
        grid()->setCurrentIndex(model()->index(0, qMax(searchColumn(), 0)));
    showLines();
}

void TForm_Remont::criterionChosen() {
    const RepairColumn column = criterionColumn(ui->ComboBox_Select_Kriteria->currentIndex());
    const bool isClient = column == RepairColumn::Client;
    ui->Edit_Search_Text->setVisible(!isDateColumn(column) && column != RepairColumn::State && !isClient);
    ui->DateTimePicker_Data->setVisible(isDateColumn(column));
    ui->ComboBox_Sreach_Status->setVisible(column == RepairColumn::State);
    ui->Label_Tarsene_Po->setVisible(!isClient);
    ui->ComboBox_Select_Kriteria->setVisible(true);
    ui->Link_Kontragent->setVisible(isClient);
    ui->Label_Sel_Kontrag->setVisible(isClient);
    if (!isClient) {
        client_ = 0;
        ui->Label_Sel_Kontrag->setText(texts::kWarrantyNoCounterparty);
    }
    setSearchColumn(int(column), repairColumn(column).caption.toString(), false);
}

void TForm_Remont::takeClient(const QString& ref) {
    client_ = std::max(0, GetID_MFromTreeNodeName(ref));
    ui->Label_Sel_Kontrag->setText(ref);
    runSearch();
}

void TForm_Remont::runSearch() {
    RepairSearch s;
    s.column = criterionColumn(ui->ComboBox_Select_Kriteria->currentIndex());
    s.text = ui->Edit_Search_Text->text();
    s.date = ui->DateTimePicker_Data->date();
    s.state = ui->ComboBox_Sreach_Status->currentData().toInt();
    s.client = client_;
    const QVariant key = currentKey();
    search([&] { return itemsInServiceStatement(s); }, QString());
    positionOn(key);
    ui->Edit_Search_Text->clear();
}

void TForm_Remont::showLines() {
    const qint64 item = currentItem();
    if (item <= 0) {
        lines_->clear();
        ui->Label_Obshta_Suma->setText(texts::kRepairTotal + RepairTotal{}.text(amountDecimals(session_)));
        shownItem_ = 0;
        return;
    }
    logged([&] {
        lines_->setStatement(session_.db(), repairLinesStatement(item));
        fitGridColumns(ui->DBGrid_Remont);
        const RepairTotal total = repairTotal(repairLines(session_.db(), item));
        ui->Label_Obshta_Suma->setText(texts::kRepairTotal + total.text(amountDecimals(session_)));
    });
    const int row = grid()->currentIndex().row();
    const int state = model()->value(row, QStringLiteral("Status")).toInt();
    ui->ComboBox_Status->setCurrentIndex(ui->ComboBox_Status->findData(state));
    shownItem_ = item;
}

void TForm_Remont::takeArticle(const PickedArticle& article) {
    ui->CheckBox_Free_Tekst->setChecked(false);
    ui->Label_Opis_art->setText(article.refText());
    ui->Edit_Free_Tekst->setText(article.refText());
    ui->Edit_Cena->setText(formatFixed(article.price, amountDecimals(session_)).trimmed());
    const int currency = ui->ComboBox_Valuta->findText(article.currency);
    if (currency >= 0)
        ui->ComboBox_Valuta->setCurrentIndex(currency);
    ui->Edit_SN->clear();
    ui->Label_SN->setVisible(article.warranty);
    ui->Edit_SN->setVisible(article.warranty);
    if (article.warranty)
        ui->Edit_SN->setFocus();
}

void TForm_Remont::freeTextToggled(bool on) {
    // The text field covers the article's label while free text is typed.
    ui->Label_Opis_art->setVisible(!on);
    ui->Edit_Free_Tekst->setVisible(on);
    ui->Link_Artikul->setEnabled(!on);
    ui->CheckBox_Zamqna->setEnabled(!on);
    if (on) {
        ui->Edit_Free_Tekst->clear();
        ui->Label_Opis_art->setText(texts::kRepairNoArticle);
        ui->Label_SN->hide();
        ui->Edit_SN->hide();
        ui->Edit_SN->clear();
        ui->Edit_Free_Tekst->setFocus();
    }
}

void TForm_Remont::replacementToggled(bool on) {
    ui->CheckBox_Free_Tekst->setEnabled(!on);
}

QDate TForm_Remont::warrantyUntil() const {
    const PeriodUnit unit = ui->ComboBox_Gar_Vid->currentIndex() == 1   ? PeriodUnit::Months
                            : ui->ComboBox_Gar_Vid->currentIndex() == 2 ? PeriodUnit::UntilDate
                                                                        : PeriodUnit::Days;
    return periodEnd(session_.today(), unit, ui->SpinEdit_Garancia->value(), ui->DateTimePicker_Gar->date());
}

void TForm_Remont::warrantyChanged() {
    const bool untilDate = ui->ComboBox_Gar_Vid->currentIndex() == 2;
    ui->SpinEdit_Garancia->setVisible(!untilDate);
    ui->DateTimePicker_Gar->setVisible(untilDate);
    ui->Label_Gar_Do_Data->setText(warrantyUntil().toString(QStringLiteral("dd.MM.yyyy")));
}

void TForm_Remont::stateChosen(int index) {
    const qint64 item = currentItem();
    if (item <= 0 || index < 0)
        return;
    guarded([&] {
        if (!setItemState(session_.db(), item, ui->ComboBox_Status->itemData(index).toInt()))
            showMessage(texts::kRepairItemGone.arg(item));
    });
    const QVariant key = currentKey();
    search([this] { return statement(); }, QString());
    positionOn(key);
}

void TForm_Remont::resetEntry() {
    ui->Label_Opis_art->setText(texts::kRepairNoArticle);
    ui->Edit_Free_Tekst->clear();
    ui->Edit_SN->clear();
    ui->Label_SN->hide();
    ui->Edit_SN->hide();
    ui->Edit_Cena->setText(QStringLiteral("0.0000"));
    ui->Edit_Kol->setText(QStringLiteral("1"));
    ui->CheckBox_Zamqna->setChecked(false);
}

void TForm_Remont::addLine() {
    const qint64 item = currentItem();
    if (item <= 0) {
        showMessage(texts::kRepairSelectItem);
        return;
    }
    RepairLineEntry entry;
    entry.text = ui->Edit_Free_Tekst->text();
    entry.quantity = ui->Edit_Kol->text();
    entry.price = ui->Edit_Cena->text();
    entry.currency = ui->ComboBox_Valuta->currentText();
    entry.warrantyUntil = warrantyUntil();
    entry.serial = ui->Edit_SN->isVisible() ? ui->Edit_SN->text() : QString();
    entry.replacement = ui->CheckBox_Zamqna->isChecked();
    if (!guarded([&] { addRepairLine(session_.db(), item, entry, session_.operatorName()); }))
        return;
    resetEntry();
    showLines();
}

void TForm_Remont::deleteLine() {
    const QModelIndex current = ui->DBGrid_Remont->currentIndex();
    if (!current.isValid())
        return;
    const qint64 line = lines_->value(current.row(), QStringLiteral("ID")).toLongLong();
    guarded([&] { deleteRepairLine(session_.db(), line); });
    showLines();
}

void TForm_Remont::issue() {
    QList<qint64> items;
    for (const QVariant& key : markedKeys())
        items << key.toLongLong();
    if (items.isEmpty() && currentItem() > 0)
        items << currentItem();
    if (items.isEmpty()) {
        showMessage(texts::kRepairNothingToIssue);
        return;
    }
    RepairIssue request;
    request.operatorName = session_.operatorName();
    request.warehouse = activeWarehouse(session_);
    request.terminal = terminalNumber(session_);
    request.decimals = amountDecimals(session_);
    for (const qint64 item : items) {
        request.when = session_.now();
        RepairIssueResult result;
        if (!guarded([&] { result = issueItem(session_.db(), item, request); }))
            break;
        switch (result.status) {
        case RepairIssueResult::Issued:
            if (!result.sold.isEmpty()) {
                guarded([&] {
                    const BonResult bon =
                        printRepairReceipt(session_.state<FiscalState>(), session_.db(),
                                           fiscalSettings(session_), bonHeader(session_, QString()), result);
                    reportBonResult(session_, bon);
                });
            }
            break;
        case RepairIssueResult::NotInService:
            showMessage(texts::kRepairIssuedElsewhere.arg(item));
            break;
        case RepairIssueResult::NoRepairLines:
            showMessage(texts::kRepairNoLines.arg(item));
            break;
        case RepairIssueResult::NoRate:
            showMessage(texts::kRepairNoRate.arg(item).arg(result.currencies.join(QStringLiteral(", "))));
            break;
        }
    }
    search([this] { return statement(); }, QString());
}

void TForm_Remont::printProtocol() {
    const qint64 item = currentItem();
    if (item <= 0) {
        showMessage(texts::kRepairSelectItem);
        return;
    }
    guarded([&] {
        std::optional<RepairProtocol> protocol = repairProtocolFor(session_.db(), item);
        if (!protocol) {
            showMessage(texts::kRepairItemGone.arg(item));
            return;
        }
        const int decimals = amountDecimals(session_);
        protocol->today = session_.today();
        protocol->company = serviceCompany(session_);
        protocol->decimals = decimals;
        protocol->totalText = texts::kRepairTotal + repairTotal(protocol->lines).text(decimals);
        protocol->operatorName = session_.operatorName();
        protocol->footer = footerLine();
        QDir().mkpath(session_.programDir.tempDir());
        const QString file = QDir(session_.programDir.tempDir()).filePath(texts::kRepairProtocolFile);
        if (!writeExportLines(file, repairProtocolLines(*protocol), ExportWrite::Rewrite))
            throw EInOutError(texts::kRepairProtocolNotWritten.arg(QDir::toNativeSeparators(file)));
        SHELLEXECUTE_OPENFILE(file);
    });
}

} // namespace torvika
