#include "catalogue/ui/form_newartikul.h"

#include "catalogue/article_groups.h"
#include "catalogue/reference_lists.h"
#include "catalogue/stock.h"
#include "catalogue/texts.h"
#include "catalogue/ui/form_free_art_id.h"
#include "common/cformat.h"
#include "common/errors.h"
#include "common/ref_text.h"
#include "common/texts.h"
#include "common/ui/error_edge.h"
#include "common/ui/field_events.h"
#include "common/ui/messages.h"
#include "common/ui/statement_model.h"
#include "common/ui/video_help.h"
#include "counterparties/ui/counterparty_picker.h"
#include "shell/firm_data.h"
#include "shell/vat_rates.h"
#include "ui_form_newartikul.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QToolTip>

namespace torvika {

namespace {

// Page indexes of PageControl_Artikul.
constexpr int kBarcodePage = 1;
constexpr int kNumbersPage = 2;
constexpr int kSerialsPage = 3;

const QString kAdd = QStringLiteral("Добави");
const QString kDelete = QStringLiteral("Изтрии");
const QString kAccept = QStringLiteral("Приеми");
const QString kCancel = QStringLiteral("Откажи");

// A typed double quote is entered as an apostrophe.
void quotesToApostrophes(QLineEdit* edit) {
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
        if (!text.contains(u'"'))
            return;
        const int at = edit->cursorPosition();
        QString t = text;
        t.replace(u'"', u'\'');
        edit->setText(t);
        edit->setCursorPosition(at);
    });
}

} // namespace

// The free-number search's progress: the bar and "Прекъсни търсенето"
// beside the button, with pending window events run so that the cancel
// button can be pressed. Meanwhile "Приеми" and "Откажи" wait: the search
// ends (by itself or cancelled) before the dialog saves or closes.
class TForm_NewArtikul::SearchProgress : public Progress {
public:
    explicit SearchProgress(TForm_NewArtikul& form) : form_(form) {}
    void start(int maximum) override {
        form_.searchCancelled_ = false;
        form_.searching_ = true;
        form_.ui->Button_Priemi->setEnabled(false);
        form_.ui->Button_Otkaji->setEnabled(false);
        form_.ui->ProgressBar_Tarsene->setRange(0, maximum);
        form_.ui->ProgressBar_Tarsene->setValue(0);
        form_.ui->ProgressBar_Tarsene->show();
        form_.ui->Button_Prekasni->show();
        QApplication::processEvents();
    }
    void setValue(int value) override { form_.ui->ProgressBar_Tarsene->setValue(value); }
    bool cancelled() override {
        QApplication::processEvents();
        return form_.searchCancelled_;
    }
    void finish() override {
        form_.searching_ = false;
        form_.ui->Button_Priemi->setEnabled(true);
        form_.ui->Button_Otkaji->setEnabled(true);
        form_.ui->ProgressBar_Tarsene->hide();
        form_.ui->Button_Prekasni->hide();
    }

private:
    TForm_NewArtikul& form_;
};

TForm_NewArtikul::TForm_NewArtikul(const WindowContext& context, QWidget* parent)
    : QDialog(parent), ui(new Ui::TForm_NewArtikul), context_(context), session_(context.session),
      serials_(new StatementModel(this)) {
    ui->setupUi(this);
    ui->ProgressBar_Tarsene->hide();
    ui->Button_Prekasni->hide();
    for (QPushButton* b : {ui->SpdBtn_Posleden_Nomer, ui->SpdBtn_Svobodni_Nomera, ui->Button_Prekasni})
        b->setFocusPolicy(Qt::NoFocus);
    ui->Edit_Barkod->hide();
    ui->Panel_Nom_Vhod->hide();
    ui->Label_ID_Kontragent->setText(texts::kNoCounterpartyChosen);
    ui->Grid_Nomenklaturi->header()->setStretchLastSection(true);
    ui->Grid_Nomenklaturi->setColumnWidth(0, 200);
    serials_->setColumns(
        {{QStringLiteral("Serial_ID"), QStringLiteral("Сериен номер"), 0, GridColumnSpec::Text}});
    serials_->setPageSize(0);
    setUpStatementGrid(ui->DBGrid_Serials, serials_);
    ui->DBGrid_Serials->horizontalHeader()->setStretchLastSection(true);
    ui->Button_Pomosht->setEnabled(QFile::exists(helpClip()));
    fillChoices();

    for (QLineEdit* e : {ui->Edit_Opisanie, ui->Edit_Kasovo_Ime, ui->Edit_Etiket})
        quotesToApostrophes(e);
    connect(ui->Edit_Art_N, &QLineEdit::textEdited, this, &TForm_NewArtikul::numberEdited);
    connect(ui->Edit_Opisanie, &QLineEdit::textChanged, this, &TForm_NewArtikul::descriptionEdited);
    for (QLineEdit* e : {ui->Edit_Art_N, ui->Edit_Opisanie, ui->Edit_Cena, ui->Edit_Nom_N})
        e->installEventFilter(this);
    ui->Label_Select_Kontrag->installEventFilter(this);

    connect(ui->Button_Priemi, &QPushButton::clicked, this, &TForm_NewArtikul::Button_PriemiClick);
    connect(ui->Button_Otkaji, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->Button_Pomosht, &QPushButton::clicked, this, &TForm_NewArtikul::Button_PomoshtClick);
    connect(ui->SpdBtn_Posleden_Nomer, &QPushButton::clicked, this,
            &TForm_NewArtikul::SpdBtn_Posleden_NomerClick);
    connect(ui->SpdBtn_Svobodni_Nomera, &QPushButton::clicked, this,
            &TForm_NewArtikul::SpdBtn_Svobodni_NomeraClick);
    connect(ui->Button_Prekasni, &QPushButton::clicked, this, &TForm_NewArtikul::Button_PrekasniClick);
    connect(ui->Button_Barkod_Dobavi, &QPushButton::clicked, this,
            &TForm_NewArtikul::Button_Barkod_DobaviClick);
    connect(ui->Button_Barkod_Iztrii, &QPushButton::clicked, this,
            &TForm_NewArtikul::Button_Barkod_IztriiClick);
    connect(ui->Button_Barkod_Redakcia, &QPushButton::clicked, this,
            &TForm_NewArtikul::Button_Barkod_RedakciaClick);
    connect(ui->Edit_Barkod, &QLineEdit::returnPressed, this, &TForm_NewArtikul::acceptBarcode);
    connect(ui->Button_Nom_Dobavi, &QPushButton::clicked, this, &TForm_NewArtikul::Button_Nom_DobaviClick);
    connect(ui->Button_Nom_Iztrii, &QPushButton::clicked, this, &TForm_NewArtikul::Button_Nom_IztriiClick);
    connect(ui->Button_Nom_Redakcia, &QPushButton::clicked, this,
            &TForm_NewArtikul::Button_Nom_RedakciaClick);
    connect(ui->Edit_Nomenklatura, &QLineEdit::returnPressed, this,
            &TForm_NewArtikul::acceptCounterpartyNumber);
    connect(ui->Button_Snimka_Redaktiraj, &QPushButton::clicked, this,
            &TForm_NewArtikul::Button_Snimka_RedaktirajClick);
    connect(ui->Button_Snimka_Iztrii, &QPushButton::clicked, this,
            &TForm_NewArtikul::Button_Snimka_IztriiClick);
    connect(ui->ComboBox_Sklad, &QComboBox::currentIndexChanged, this,
            &TForm_NewArtikul::ComboBox_SkladChange);
    connect(ui->DBGrid_Serials, &QTableView::clicked, this, &TForm_NewArtikul::DBGrid_SerialsClick);
}

TForm_NewArtikul::~TForm_NewArtikul() = default;

void TForm_NewArtikul::addFollowUps(FollowUpRegistry& followUps) {
    // The counterparty picker of the counterparty-number page writes here.
    followUps.of<CounterpartyPicker>().add(kSelectNewArticle, [](QWidget* opener, const QString& ref) {
        openerWindow<TForm_NewArtikul>(opener).ui->Label_ID_Kontragent->setText(ref);
    });
}

QString TForm_NewArtikul::helpClip() const {
    return session_.programDir.videoDir() + QStringLiteral("/1.avi");
}

void TForm_NewArtikul::fillChoices() {
    VatRates rates = VatRates::defaults();
    guarded([&] { rates = storedVatRates(session_.db()); });
    ui->ComboBox_Dan_Grupa->addItems(vatGroupItems(rates));
    ui->ComboBox_Trajnost->addItems(durationUnitItems());
    guarded([&] {
        const QSqlDatabase db = session_.db();
        ui->ComboBox_Valuta->addItems(currencyNames(db));
        ui->ComboBox_Mqrka->addItems(unitItems(db));
        ui->ComboBox_Prigotvq_Se->addItems(departmentItems(db));
        const QSignalBlocker block(ui->ComboBox_Sklad);
        ui->ComboBox_Sklad->addItems(warehouseItems(db));
    });
    setNameLimits();
}

void TForm_NewArtikul::setNameLimits() {
    // The receipt and label names may be limited in length (the fiscal
    // device's and the label printer's).
    guarded([&] {
        const Settings& settings = session_.settings();
        receiptLimit_ = settings.get(setting::kFixedReceiptNameLength)
                            ? qMax(0, settings.get(setting::kReceiptNameLength))
                            : 0;
        labelLimit_ = settings.get(setting::kFixedLabelNameLength)
                          ? qMax(0, settings.get(setting::kLabelNameLength))
                          : 0;
    });
    ui->Edit_Kasovo_Ime->setMaxLength(receiptLimit_ > 0 ? receiptLimit_ : 32767);
    ui->Edit_Etiket->setMaxLength(labelLimit_ > 0 ? labelLimit_ : 32767);
}

void TForm_NewArtikul::setGroup(qint64 group) {
    group_ = group;
    QString name;
    guarded([&] { name = articleGroupName(session_.db(), group).value_or(QString()); });
    ui->Label_Grupa->setText(texts::kGroupLabel + refText(group, name));
}

void TForm_NewArtikul::openNew(qint64 group) {
    mode_ = New;
    oldId_ = -1;
    savedId_ = -1;
    stored_ = Article();
    storedCodes_ = codes_ = ArticleCodes();
    setGroup(group);
    qint64 number = 1;
    guarded([&] { number = nextArticleNumber(session_.db()); });
    derivedNumber_.clear();
    derivedDescription_.clear();
    ui->Edit_Nom_N->clear();
    ui->Edit_Kod_Vezna->clear();
    setNumber(QString::number(number));
    ui->Edit_Opisanie->clear();
    ui->Edit_Kasovo_Ime->clear();
    ui->Edit_Etiket->clear();
    ui->Edit_Cena->setText(QStringLiteral("0"));
    // The base currency when there is one, else the first.
    QString base;
    guarded([&] { base = baseCurrency(session_.db()); });
    ui->ComboBox_Valuta->setCurrentIndex(qMax(0, ui->ComboBox_Valuta->findText(base)));
    ui->ComboBox_Mqrka->setCurrentText(QStringLiteral("бр."));
    ui->ComboBox_Dan_Grupa->setCurrentIndex(1);
    ui->ComboBox_Prigotvq_Se->setCurrentIndex(0);
    ui->ComboBox_Trajnost->setCurrentIndex(0);
    ui->SpinEdit_Trajnost->setValue(0);
    ui->SpinEdit_Min_Kol->setValue(1);
    ui->Edit_Max_TO->setText(QStringLiteral("0.0000"));
    ui->CheckBox_Garancionen->setChecked(false);
    ui->CheckBox_Poredica->setChecked(false);
    // The picture and the stock belong to a stored article.
    ui->Panel_Snimka->setEnabled(false);
    showPicture({});
    ui->Label_Dostav4ik->clear();
    ui->Label_Dostavna_Cena->clear();
    ui->Label_Obshta_Nal->clear();
    ui->Label_Nal_Sklad->clear();
    ui->PageControl_Artikul->setTabVisible(kSerialsPage, false);
    showBarcodes();
    showCounterpartyNumbers();
    ui->PageControl_Artikul->setCurrentIndex(0);
    ui->Edit_Art_N->setFocus();
}

bool TForm_NewArtikul::openEdit(qint64 id) {
    std::optional<Article> a;
    if (!guarded([&] {
            a = loadArticle(session_.db(), id);
            if (a)
                storedCodes_ = loadArticleCodes(session_.db(), id);
        }) ||
        !a)
        return false;
    mode_ = Edit;
    oldId_ = id;
    savedId_ = -1;
    stored_ = *a;
    codes_ = storedCodes_;
    setGroup(a->group);
    // The stored values as they are: nothing is derived until the operator types.
    derivedNumber_ = QString::number(a->id);
    derivedDescription_ = a->description;
    ui->Edit_Art_N->setText(derivedNumber_);
    ui->Edit_Nom_N->setText(a->catalogueNumber);
    {
        const QSignalBlocker block(ui->Edit_Opisanie);
        ui->Edit_Opisanie->setText(a->description);
    }
    ui->Edit_Kasovo_Ime->setText(a->receiptName);
    ui->Edit_Etiket->setText(a->labelName);
    ui->Edit_Cena->setText(format44(a->price));
    if (ui->ComboBox_Valuta->findText(a->currency) < 0 && !a->currency.isEmpty())
        ui->ComboBox_Valuta->addItem(a->currency);
    ui->ComboBox_Valuta->setCurrentIndex(qMax(0, ui->ComboBox_Valuta->findText(a->currency)));
    ui->ComboBox_Mqrka->setCurrentText(a->unit);
    ui->ComboBox_Dan_Grupa->setCurrentIndex(a->vatGroup >= 0 && a->vatGroup <= 3 ? a->vatGroup : 1);
    int department = 0;
    for (int i = 0; i < ui->ComboBox_Prigotvq_Se->count(); ++i)
        if (GetID_MFromTreeNodeName(ui->ComboBox_Prigotvq_Se->itemText(i)) == a->preparation)
            department = i;
    ui->ComboBox_Prigotvq_Se->setCurrentIndex(department);
    const ShelfLife life = parseShelfLife(a->shelfLife);
    ui->ComboBox_Trajnost->setCurrentIndex(life.unit >= 0 && life.unit <= 3 ? life.unit : 0);
    const int count = life.count.trimmed().toInt();
    ui->SpinEdit_Trajnost->setMaximum(qMax(365, count));
    ui->SpinEdit_Trajnost->setValue(count);
    ui->SpinEdit_Min_Kol->setValue(a->minQuantity);
    ui->Edit_Max_TO->setText(formatFixed(a->maxDiscount, session_.displayDecimals()));
    ui->CheckBox_Garancionen->setChecked(a->warranty);
    ui->CheckBox_Poredica->setChecked(a->series);
    ui->Edit_Kod_Vezna->setText(QString::number(a->scaleCode));

    ui->Panel_Snimka->setEnabled(true);
    guarded([&] {
        const QSqlDatabase db = session_.db();
        showPicture(articlePicture(db, id));
        ui->Label_Dostav4ik->setText(counterpartyRefText(db, a->supplier));
        ui->Label_Dostavna_Cena->setText(formatFixed(a->deliveryPrice, session_.displayDecimals()) + u' ' +
                                         a->deliveryCurrency);
        serials_->setStatement(db, articleSerialsStatement(id));
    });
    {
        const QSignalBlocker block(ui->ComboBox_Sklad);
        for (int i = 0; i < ui->ComboBox_Sklad->count(); ++i)
            if (GetID_MFromTreeNodeName(ui->ComboBox_Sklad->itemText(i)) == session_.activeWarehouse())
                ui->ComboBox_Sklad->setCurrentIndex(i);
    }
    showStock();
    ui->PageControl_Artikul->setTabVisible(kSerialsPage, a->warranty);
    showBarcodes();
    showCounterpartyNumbers();
    ui->PageControl_Artikul->setCurrentIndex(0);
    ui->Edit_Opisanie->setFocus();
    return true;
}

void TForm_NewArtikul::setNumber(const QString& text) {
    ui->Edit_Art_N->setText(text);
    numberEdited(text);
}

void TForm_NewArtikul::numberEdited(const QString& text) {
    // The scale code and the catalogue number follow the number while they
    // hold what the number gave them (or nothing).
    const QString oldCatalogue = defaultCatalogueNumber(group_, derivedNumber_);
    if (ui->Edit_Nom_N->text().isEmpty() || ui->Edit_Nom_N->text() == oldCatalogue)
        ui->Edit_Nom_N->setText(defaultCatalogueNumber(group_, text));
    if (ui->Edit_Kod_Vezna->text().isEmpty() || ui->Edit_Kod_Vezna->text() == derivedNumber_.trimmed())
        ui->Edit_Kod_Vezna->setText(text.trimmed());
    derivedNumber_ = text;
}

void TForm_NewArtikul::descriptionEdited(const QString& text) {
    // The receipt and label names follow the description, cut to their
    // limits, while they hold what the description gave them.
    if (ui->Edit_Kasovo_Ime->text() == nameFromDescription(derivedDescription_, receiptLimit_))
        ui->Edit_Kasovo_Ime->setText(nameFromDescription(text, receiptLimit_));
    if (ui->Edit_Etiket->text() == nameFromDescription(derivedDescription_, labelLimit_))
        ui->Edit_Etiket->setText(nameFromDescription(text, labelLimit_));
    derivedDescription_ = text;
}

bool TForm_NewArtikul::Edit_Art_NExit() {
    const std::optional<qint64> n = parseKeyNumber(ui->Edit_Art_N->text());
    bool taken = false;
    if (n && mode_ == New)
        guarded([&] { taken = articleExists(session_.db(), *n); });
    if (n && !taken)
        return true;
    showMessage(texts::kEnterArticleNumber);
    ui->Edit_Art_N->setFocus();
    return false;
}

bool TForm_NewArtikul::Edit_OpisanieExit() {
    if (!ui->Edit_Opisanie->text().trimmed().isEmpty())
        return true;
    showMessage(texts::kEnterDescription);
    ui->Edit_Opisanie->setFocus();
    return false;
}

bool TForm_NewArtikul::Edit_CenaExit() {
    const QString text = ui->Edit_Cena->text().trimmed();
    const std::optional<Decimal> price = Decimal::parse(text);
    if (!text.isEmpty() && price && *price >= 0) {
        ui->Edit_Cena->setText(format44(*price));
        return true;
    }
    showMessage(text.isEmpty() ? texts::kEnterPrice : texts::kBadPrice);
    ui->Edit_Cena->setFocus();
    return false;
}

void TForm_NewArtikul::Edit_Nom_NExit() {
    if (ui->Edit_Nom_N->text().trimmed().isEmpty())
        ui->Edit_Nom_N->setText(defaultCatalogueNumber(group_, ui->Edit_Art_N->text()));
}

bool TForm_NewArtikul::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->Label_Select_Kontrag && event->type() == QEvent::MouseButtonRelease) {
        Label_Select_KontragClick();
        return true;
    }
    if (!checking_ && leftWithinWindow(event)) {
        checking_ = true;
        if (watched == ui->Edit_Art_N)
            Edit_Art_NExit();
        else if (watched == ui->Edit_Opisanie)
            Edit_OpisanieExit();
        else if (watched == ui->Edit_Cena)
            Edit_CenaExit();
        else if (watched == ui->Edit_Nom_N)
            Edit_Nom_NExit();
        checking_ = false;
    }
    return QDialog::eventFilter(watched, event);
}

void TForm_NewArtikul::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape && (barcodeOpen_ || numberOpen_)) {
        setCodeInput(barcodeOpen_, false);
        return;
    }
    QDialog::keyPressEvent(e);
}

bool TForm_NewArtikul::readArticle(Article& a) {
    auto refuse = [](const QString& message, QWidget* field) {
        showMessage(message);
        field->setFocus();
        return false;
    };
    const std::optional<qint64> number = parseKeyNumber(ui->Edit_Art_N->text());
    if (!number)
        return refuse(texts::kBadArticleNumber, ui->Edit_Art_N);
    if (ui->Edit_Opisanie->text().trimmed().isEmpty())
        return refuse(texts::kEnterDescription, ui->Edit_Opisanie);
    const QString priceText = ui->Edit_Cena->text().trimmed();
    if (priceText.isEmpty())
        return refuse(texts::kEnterPrice, ui->Edit_Cena);
    const std::optional<Decimal> price = Decimal::parse(priceText);
    if (!price || *price < 0)
        return refuse(texts::kBadPrice, ui->Edit_Cena);
    const std::optional<Decimal> discount = Decimal::parse(ui->Edit_Max_TO->text());
    if (!discount || *discount < 0 || *discount > 100)
        return refuse(texts::kBadMaxDiscount, ui->Edit_Max_TO);
    qint64 scaleCode = *number;
    if (!ui->Edit_Kod_Vezna->text().trimmed().isEmpty()) {
        bool ok = false;
        scaleCode = ui->Edit_Kod_Vezna->text().trimmed().toLongLong(&ok);
        // Kod_Vezna is a 32-bit integer column, as the article number.
        if (!ok || scaleCode > kMaxKeyNumber || scaleCode < -kMaxKeyNumber)
            return refuse(texts::kBadScaleCode, ui->Edit_Kod_Vezna);
    }
    a = stored_;
    a.id = *number;
    a.group = group_;
    a.catalogueNumber = ui->Edit_Nom_N->text().trimmed();
    if (a.catalogueNumber.isEmpty())
        a.catalogueNumber = defaultCatalogueNumber(group_, QString::number(*number));
    a.description = ui->Edit_Opisanie->text().trimmed();
    a.receiptName = ui->Edit_Kasovo_Ime->text();
    a.labelName = ui->Edit_Etiket->text();
    a.price = *price;
    a.currency = ui->ComboBox_Valuta->currentText();
    a.unit = ui->ComboBox_Mqrka->currentText().trimmed();
    a.vatGroup = GetID_MFromTreeNodeName(ui->ComboBox_Dan_Grupa->currentText());
    a.preparation = qMax(0, GetID_MFromTreeNodeName(ui->ComboBox_Prigotvq_Se->currentText()));
    a.shelfLife = shelfLifeText(ui->ComboBox_Trajnost->currentIndex(), ui->SpinEdit_Trajnost->value());
    a.minQuantity = ui->SpinEdit_Min_Kol->value();
    a.maxDiscount = *discount;
    a.warranty = ui->CheckBox_Garancionen->isChecked();
    a.series = ui->CheckBox_Poredica->isChecked();
    a.scaleCode = scaleCode;
    return true;
}

void TForm_NewArtikul::Button_PriemiClick() {
    // Enter reaches the default button even while it waits for the search.
    if (searching_)
        return;
    Article a;
    if (!readArticle(a))
        return;
    std::optional<ArticleRefusal> refused;
    if (!guarded([&] {
            refused = mode_ == New ? createArticle(session_.db(), a, codes_)
                                   : updateArticle(session_.db(), oldId_, a, storedCodes_, codes_);
        }))
        return;
    if (refused) {
        showMessage(refused->message);
        switch (refused->field) {
        case ArticleRefusal::Number:
            ui->PageControl_Artikul->setCurrentIndex(0);
            ui->Edit_Art_N->setFocus();
            break;
        case ArticleRefusal::Barcodes:
            ui->PageControl_Artikul->setCurrentIndex(kBarcodePage);
            ui->ListBox_Barkodes->setFocus();
            break;
        case ArticleRefusal::CounterpartyNumbers:
            ui->PageControl_Artikul->setCurrentIndex(kNumbersPage);
            ui->Grid_Nomenklaturi->setFocus();
            break;
        case ArticleRefusal::Group:
            break;
        }
        return;
    }
    savedId_ = a.id;
    accept();
}

void TForm_NewArtikul::SpdBtn_Posleden_NomerClick() {
    guarded([&] { setNumber(QString::number(lastNumberInGroup(session_.db(), group_))); });
}

void TForm_NewArtikul::SpdBtn_Svobodni_NomeraClick() {
    QList<qint64> numbers;
    SearchProgress progress(*this);
    ui->SpdBtn_Svobodni_Nomera->setEnabled(false);
    const bool found = guarded([&] {
        numbers = freeNumbersInGroup(session_.db(), group_, progress);
        fillFreeNumbersTable(session_.db(), group_, numbers);
    });
    progress.finish();
    ui->SpdBtn_Svobodni_Nomera->setEnabled(true);
    if (!found)
        return;
    TForm_Free_Art_ID list(context_, group_, this);
    if (list.exec() == QDialog::Accepted && list.chosen() > 0)
        setNumber(QString::number(list.chosen()));
}

void TForm_NewArtikul::Button_PrekasniClick() {
    searchCancelled_ = true;
}

void TForm_NewArtikul::reject() {
    if (searching_) {
        searchCancelled_ = true;
        return;
    }
    QDialog::reject();
}

// The barcode page.

void TForm_NewArtikul::showBarcodes() {
    ui->ListBox_Barkodes->clear();
    ui->ListBox_Barkodes->addItems(codes_.barcodes);
    if (ui->ListBox_Barkodes->count() > 0)
        ui->ListBox_Barkodes->setCurrentRow(0);
}

void TForm_NewArtikul::setCodeInput(bool barcode, bool open, const QString& old) {
    if (barcode) {
        barcodeOpen_ = open;
        oldBarcode_ = open && !old.isNull() ? std::optional<QString>(old) : std::nullopt;
        ui->Button_Barkod_Dobavi->setText(open ? kAccept : kAdd);
        ui->Button_Barkod_Iztrii->setText(open ? kCancel : kDelete);
        ui->Button_Barkod_Redakcia->setEnabled(!open);
        ui->Edit_Barkod->setVisible(open);
        ui->Edit_Barkod->setText(old);
        if (open)
            ui->Edit_Barkod->setFocus();
        return;
    }
    numberOpen_ = open;
    if (!open)
        oldNumber_.reset();
    ui->Button_Nom_Dobavi->setText(open ? kAccept : kAdd);
    ui->Button_Nom_Iztrii->setText(open ? kCancel : kDelete);
    ui->Button_Nom_Redakcia->setEnabled(!open);
    ui->Panel_Nom_Vhod->setVisible(open);
    ui->Edit_Nomenklatura->setText(old);
    if (open)
        ui->Edit_Nomenklatura->setFocus();
}

bool TForm_NewArtikul::barcodeEditing() const {
    return barcodeOpen_;
}

bool TForm_NewArtikul::numberEditing() const {
    return numberOpen_;
}

void TForm_NewArtikul::Button_Barkod_DobaviClick() {
    if (barcodeEditing())
        acceptBarcode();
    else
        setCodeInput(true, true);
}

void TForm_NewArtikul::Button_Barkod_IztriiClick() {
    if (barcodeEditing()) {
        setCodeInput(true, false);
        return;
    }
    const int row = ui->ListBox_Barkodes->currentRow();
    if (row < 0 || row >= codes_.barcodes.size())
        return;
    codes_.barcodes.removeAt(row);
    showBarcodes();
}

void TForm_NewArtikul::Button_Barkod_RedakciaClick() {
    const int row = ui->ListBox_Barkodes->currentRow();
    if (barcodeEditing() || row < 0 || row >= codes_.barcodes.size())
        return;
    setCodeInput(true, true, codes_.barcodes[row]);
}

void TForm_NewArtikul::acceptBarcode() {
    const QString code = ui->Edit_Barkod->text().trimmed();
    auto refuse = [this](const QString& message) {
        showMessage(message);
        ui->Edit_Barkod->setFocus();
    };
    if (code.isEmpty())
        return refuse(texts::kEnterBarcode);
    // A scanned code must find one article: a code this article or another
    // one has already is refused.
    if (code != oldBarcode_.value_or(QString()) && codes_.barcodes.contains(code))
        return refuse(texts::kBarcodeTaken.arg(code, ui->Edit_Art_N->text().trimmed()));
    std::optional<qint64> owner;
    if (!guarded([&] { owner = barcodeOwner(session_.db(), code, oldId_); }))
        return;
    if (owner)
        return refuse(texts::kBarcodeTaken.arg(code, QString::number(*owner)));
    if (!barcodeCheckDigitOk(code) && !askYesNo(texts::kAskBarcodeCheckDigit.arg(code))) {
        ui->Edit_Barkod->setFocus();
        return;
    }
    const qsizetype at = oldBarcode_ ? codes_.barcodes.indexOf(*oldBarcode_) : -1;
    if (at >= 0)
        codes_.barcodes[at] = code;
    else
        codes_.barcodes << code;
    setCodeInput(true, false);
    showBarcodes();
    ui->ListBox_Barkodes->setCurrentRow(int(codes_.barcodes.indexOf(code)));
}

// The counterparty-number page.

void TForm_NewArtikul::showCounterpartyNumbers() {
    ui->Grid_Nomenklaturi->clear();
    for (const CounterpartyNumber& n : codes_.counterpartyNumbers)
        new QTreeWidgetItem(ui->Grid_Nomenklaturi, {n.number, refText(n.counterparty, n.counterpartyName)});
    if (ui->Grid_Nomenklaturi->topLevelItemCount() > 0)
        ui->Grid_Nomenklaturi->setCurrentItem(ui->Grid_Nomenklaturi->topLevelItem(0));
}

void TForm_NewArtikul::Button_Nom_DobaviClick() {
    if (numberEditing()) {
        acceptCounterpartyNumber();
        return;
    }
    setCodeInput(false, true);
    ui->Label_ID_Kontragent->setText(texts::kNoCounterpartyChosen);
}

void TForm_NewArtikul::Button_Nom_IztriiClick() {
    if (numberEditing()) {
        setCodeInput(false, false);
        return;
    }
    const int row = ui->Grid_Nomenklaturi->indexOfTopLevelItem(ui->Grid_Nomenklaturi->currentItem());
    if (row < 0 || row >= codes_.counterpartyNumbers.size())
        return;
    codes_.counterpartyNumbers.removeAt(row);
    showCounterpartyNumbers();
}

void TForm_NewArtikul::Button_Nom_RedakciaClick() {
    const int row = ui->Grid_Nomenklaturi->indexOfTopLevelItem(ui->Grid_Nomenklaturi->currentItem());
    if (numberEditing() || row < 0 || row >= codes_.counterpartyNumbers.size())
        return;
    const CounterpartyNumber n = codes_.counterpartyNumbers[row];
    setCodeInput(false, true, n.number);
    oldNumber_ = n;
    ui->Label_ID_Kontragent->setText(refText(n.counterparty, n.counterpartyName));
}

void TForm_NewArtikul::Label_Select_KontragClick() {
    pickCounterparty(context_, kSelectNewArticle, this);
}

void TForm_NewArtikul::acceptCounterpartyNumber() {
    const QString number = ui->Edit_Nomenklatura->text().trimmed();
    if (number.isEmpty()) {
        showMessage(texts::kEnterCounterpartyNumber);
        ui->Edit_Nomenklatura->setFocus();
        return;
    }
    if (GetID_MFromTreeNodeName(ui->Label_ID_Kontragent->text()) <= 0) {
        showMessage(texts::kChooseCounterpartyForNumber);
        Label_Select_KontragClick();
        if (GetID_MFromTreeNodeName(ui->Label_ID_Kontragent->text()) <= 0)
            return;
    }
    const QString ref = ui->Label_ID_Kontragent->text();
    const CounterpartyNumber n{number, GetID_MFromTreeNodeName(ref), refDescription(ref)};
    auto refuse = [this](const QString& message) {
        showMessage(message);
        ui->Edit_Nomenklatura->setFocus();
    };
    if ((!oldNumber_ || !(n == *oldNumber_)) && codes_.counterpartyNumbers.contains(n))
        return refuse(texts::kCounterpartyNumberTaken.arg(number, ref, ui->Edit_Art_N->text().trimmed()));
    std::optional<qint64> owner;
    if (!guarded([&] { owner = counterpartyNumberOwner(session_.db(), number, n.counterparty, oldId_); }))
        return;
    if (owner)
        return refuse(texts::kCounterpartyNumberTaken.arg(number, ref, QString::number(*owner)));
    const qsizetype at = oldNumber_ ? codes_.counterpartyNumbers.indexOf(*oldNumber_) : -1;
    if (at >= 0)
        codes_.counterpartyNumbers[at] = n;
    else
        codes_.counterpartyNumbers << n;
    setCodeInput(false, false);
    ui->Label_ID_Kontragent->setText(texts::kNoCounterpartyChosen);
    showCounterpartyNumbers();
}

// The picture and the stock.

void TForm_NewArtikul::showPicture(const QByteArray& png) {
    QPixmap picture;
    if (!png.isEmpty())
        picture.loadFromData(png);
    if (picture.isNull()) {
        ui->Image_Snimka->clear();
        return;
    }
    ui->Image_Snimka->setPixmap(
        picture.scaled(ui->Image_Snimka->minimumSize(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void TForm_NewArtikul::Button_Snimka_RedaktirajClick() {
    if (mode_ != Edit)
        return;
    const QString file =
        Messages::current().openFileName(texts::kPictureCaption, QDir::homePath(), texts::kPictureFilter);
    if (file.isEmpty())
        return;
    QByteArray png;
    try {
        png = pictureFromFile(file);
    } catch (const EConvertError& e) {
        reportError(e);
        return;
    }
    if (guarded([&] { setArticlePicture(session_.db(), oldId_, png); }))
        showPicture(png);
}

void TForm_NewArtikul::Button_Snimka_IztriiClick() {
    if (mode_ == Edit && guarded([&] { setArticlePicture(session_.db(), oldId_, {}); }))
        showPicture({});
}

void TForm_NewArtikul::showStock() {
    if (mode_ != Edit)
        return;
    guarded([&] { ui->Label_Obshta_Nal->setText(format42(stockTotal(session_.db(), oldId_))); });
    ComboBox_SkladChange();
}

void TForm_NewArtikul::ComboBox_SkladChange() {
    if (mode_ != Edit)
        return;
    const int warehouse = GetID_MFromTreeNodeName(ui->ComboBox_Sklad->currentText());
    guarded([&] {
        ui->Label_Nal_Sklad->setText(format42(stockIn(session_.db(), oldId_, warehouse).value_or(Decimal())));
    });
}

void TForm_NewArtikul::DBGrid_SerialsClick(const QModelIndex& index) {
    if (!index.isValid())
        return;
    const QString serial = serials_->value(index.row(), QStringLiteral("Serial_ID")).toString();
    QString hint;
    if (!guarded([&] { hint = serialHint(session_.db(), serial); }))
        return;
    setToolTip(hint);
    if (!hint.isEmpty())
        QToolTip::showText(QCursor::pos(), hint, ui->DBGrid_Serials);
}

void TForm_NewArtikul::Button_PomoshtClick() {
    TForm_Video_Help help(helpClip(), this);
    help.exec();
}

} // namespace torvika
