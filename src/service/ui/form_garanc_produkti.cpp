#include "service/ui/form_garanc_produkti.h"

#include "catalogue/articles.h"
#include "common/errors.h"
#include "common/ref_text.h"
#include "common/ui/error_edge.h"
#include "common/ui/messages.h"
#include "counterparties/ui/counterparty_picker.h"
#include "service/texts.h"
#include "shell/session_grids.h"
#include "ui_form_garanc_produkti.h"

namespace torvika {

namespace {

// The unit list: "до дата", "в дни", "в месеци".
PeriodUnit unitAt(int index) {
    return index == 1 ? PeriodUnit::Days : index == 2 ? PeriodUnit::Months : PeriodUnit::UntilDate;
}

} // namespace

TForm_Garanc_Produkti::TForm_Garanc_Produkti(const WindowContext& context, QWidget* parent)
    : ListWindow(parent), ui(new Ui::TForm_Garanc_Produkti), session_(context.session), context_(context),
      staging_(context.session.db()) {
    ui->setupUi(this);
    Session& session = context.session;
    // Enter belongs to the field it is pressed in (a lookup, a search), never to a button.
    for (QPushButton* button : findChildren<QPushButton*>())
        button->setAutoDefault(false);
    setUpList(gridContext(session), ui->DBGrid_Serials,
              {{QStringLiteral("N"), QStringLiteral("Номер"), 6, GridColumnSpec::Integer},
               {QStringLiteral("ID"), QStringLiteral("Арт. N"), 7, GridColumnSpec::Integer},
               {QStringLiteral("Opisanie"), QStringLiteral("Описание"), 24},
               {QStringLiteral("Model"), QStringLiteral("Модел"), 12},
               {QStringLiteral("Partida"), QStringLiteral("Партида"), 12},
               {QStringLiteral("Serial_ID"), QStringLiteral("Сериен номер"), 18},
               {QStringLiteral("Data"), QStringLiteral("Гаранция"), 0, GridColumnSpec::Date}},
              QStringLiteral("N"), true);
    logged([&] { ui->ComboBox_Vid_Dok->addItems(documentKindItems(session.db())); });
    ui->ComboBox_Gar_Vid->addItems(
        {QStringLiteral("до дата"), QStringLiteral("в дни"), QStringLiteral("в месеци")});
    connect(ui->Edit_Sel_Art, &QLineEdit::returnPressed, this, &TForm_Garanc_Produkti::articleTyped);
    connect(ui->ComboBox_Gar_Vid, &QComboBox::currentIndexChanged, this,
            &TForm_Garanc_Produkti::validityChanged);
    connect(ui->SpinEdit_Gar, &QSpinBox::valueChanged, this, &TForm_Garanc_Produkti::validityChanged);
    connect(ui->DateTimePicker_Gar, &QDateEdit::dateChanged, this, &TForm_Garanc_Produkti::validityChanged);
    connect(ui->DateTimePicker_Data, &QDateEdit::dateChanged, this, [this](const QDate& date) {
        // Rows staged with a period run from the document's date.
        guarded([&] { staging_.setDocumentDate(date); });
        validityChanged();
        reread();
    });
    connect(ui->Link_Kontragent, &QPushButton::clicked, this,
            [this] { pickCounterparty(context_, kSelectWarrantyCard, this); });
    connect(ui->Link_Artikul, &QPushButton::clicked, this,
            [this] { pickArticles(context_, kSelectWarrantyCardArticle, this); });
    connect(ui->Button_Dobavi, &QPushButton::clicked, this, &TForm_Garanc_Produkti::addRow);
    connect(ui->Button_Iztrii, &QPushButton::clicked, this, &TForm_Garanc_Produkti::removeRows);
    connect(ui->Button_Zapis, &QPushButton::clicked, this, &TForm_Garanc_Produkti::save);
    connect(ui->Button_Otkaz, &QPushButton::clicked, this, &QDialog::reject);
    resetDocument();
}

TForm_Garanc_Produkti::~TForm_Garanc_Produkti() = default;

QString TForm_Garanc_Produkti::sortField(int column) const {
    // The staged rows keep the order they were entered in.
    Q_UNUSED(column);
    return {};
}

void TForm_Garanc_Produkti::reread() {
    const QVariant key = currentKey();
    search([this] { return staging_.statement(); }, QString());
    positionOn(key);
}

void TForm_Garanc_Produkti::resetDocument() {
    const QDate today = session_.today();
    ui->DateTimePicker_Data->setDate(today);
    guarded([&] { staging_.setDocumentDate(today); });
    ui->Edit_Nomer->clear();
    ui->Edit_Zabelejka->clear();
    ui->Label_Kontragent->setText(texts::kWarrantyNoCounterparty);
    ui->Label_Artikul->setText(texts::kWarrantyNoArticleChosen);
    article_ = 0;
    ui->Edit_Sel_Art->clear();
    ui->Edit_Opisanie->clear();
    ui->Edit_Model->clear();
    ui->Edit_Partida->clear();
    ui->Edit_SN->clear();
    ui->ComboBox_Gar_Vid->setCurrentIndex(0);
    ui->DateTimePicker_Gar->setDate(today);
    logged([&] { ui->Label_Poreden_N->setText(QString::number(expectedWarrantyCard(session_.db()))); });
    validityChanged();
    reread();
}

void TForm_Garanc_Produkti::takeArticle(const PickedArticle& article) {
    article_ = article.id;
    ui->Label_Artikul->setText(article.refText());
    ui->Edit_Opisanie->setText(article.description);
    ui->Edit_Model->setFocus();
    ui->Edit_Model->selectAll();
}

void TForm_Garanc_Produkti::takeSupplier(const QString& ref) {
    ui->Label_Kontragent->setText(ref);
}

void TForm_Garanc_Produkti::articleTyped() {
    bool ok = false;
    const qint64 id = ui->Edit_Sel_Art->text().trimmed().toLongLong(&ok);
    std::optional<Article> found;
    if (ok && id > 0 && !guarded([&] { found = loadArticle(session_.db(), id); }))
        return;
    if (!found) {
        showMessage(texts::kWarrantyNoArticle);
        pickArticles(context_, kSelectWarrantyCardArticle, this);
        return;
    }
    PickedArticle article;
    article.id = id;
    article.description = found->description;
    takeArticle(article);
}

QDate TForm_Garanc_Produkti::validity() const {
    return periodEnd(ui->DateTimePicker_Data->date(), unitAt(ui->ComboBox_Gar_Vid->currentIndex()),
                     ui->SpinEdit_Gar->value(), ui->DateTimePicker_Gar->date());
}

void TForm_Garanc_Produkti::validityChanged() {
    const bool untilDate = unitAt(ui->ComboBox_Gar_Vid->currentIndex()) == PeriodUnit::UntilDate;
    ui->DateTimePicker_Gar->setVisible(untilDate);
    ui->SpinEdit_Gar->setVisible(!untilDate);
    ui->Label_Valid_Do->setText(validity().toString(QStringLiteral("dd.MM.yyyy")));
}

void TForm_Garanc_Produkti::addRow() {
    WarrantyRow row;
    row.article = article_;
    row.model = ui->Edit_Model->text();
    row.batch = ui->Edit_Partida->text();
    row.serial = ui->Edit_SN->text();
    row.unit = unitAt(ui->ComboBox_Gar_Vid->currentIndex());
    row.count = ui->SpinEdit_Gar->value();
    row.until = ui->DateTimePicker_Gar->date();
    try {
        staging_.stage(row);
    } catch (const EConvertError& e) {
        showMessage(e.message());
        ui->Edit_SN->setFocus();
        return;
    } catch (const std::exception& e) {
        reportError(e);
        return;
    }
    ui->Edit_Model->clear();
    ui->Edit_Partida->clear();
    ui->Edit_SN->clear();
    reread();
    ui->Edit_Model->setFocus();
}

void TForm_Garanc_Produkti::removeRows() {
    QList<int> numbers;
    for (const QVariant& key : markedKeys())
        numbers << key.toInt();
    if (numbers.isEmpty() && currentKey().isValid())
        numbers << currentKey().toInt();
    guarded([&] { staging_.remove(numbers); });
    reread();
}

void TForm_Garanc_Produkti::save() {
    WarrantyHeader header;
    header.supplier = std::max(0, GetID_MFromTreeNodeName(ui->Label_Kontragent->text()));
    header.kind = std::max(0, GetID_MFromTreeNodeName(ui->ComboBox_Vid_Dok->currentText()));
    header.number = ui->Edit_Nomer->text();
    header.date = ui->DateTimePicker_Data->date();
    header.note = ui->Edit_Zabelejka->text();
    qint64 number = 0;
    try {
        number = staging_.save(header);
    } catch (const EConvertError& e) {
        showMessage(e.message());
        return;
    } catch (const std::exception& e) {
        reportError(e);
        return;
    }
    showMessage(texts::kWarrantySaved.arg(number));
    resetDocument();
}

bool TForm_Garanc_Produkti::takeImport(const WarrantyImport& file) {
    ui->Edit_Nomer->setText(file.number);
    ui->Edit_Zabelejka->setText(file.note);
    if (file.date.isValid())
        ui->DateTimePicker_Data->setDate(file.date);
    try {
        staging_.stageAll(file.rows);
    } catch (const EConvertError& e) {
        showMessage(e.message());
        return false;
    }
    reread();
    return true;
}

void importWarrantyFile(const WindowContext& context, QWidget* parent) {
    Session& session = context.session;
    const QString path = Messages::current().openFileName(QString(), session.programDir.path(QString()),
                                                          texts::kWarrantyImportFileFilter);
    if (path.isEmpty())
        return;
    WarrantyImport file;
    if (!guarded([&] { file = readWarrantyFile(session.db(), path, &context.progress); }))
        return;
    if (file.cancelled)
        return;
    if (!file.ok()) {
        showMessage(texts::kWarrantyImportRefused.arg(file.errorText()));
        return;
    }
    std::unique_ptr<TForm_Garanc_Produkti> window;
    if (!guarded([&] { window = std::make_unique<TForm_Garanc_Produkti>(context, parent); }))
        return;
    if (window->takeImport(file))
        window->exec();
}

} // namespace torvika
