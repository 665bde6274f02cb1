#include "offers/ui/form_spr_new_oferts.h"

#include "common/base_currency.h"
#include "common/cformat.h"
#include "common/dates.h"
#include "common/errors.h"
#include "common/grid_export.h"
#include "common/ref_text.h"
#include "common/texts.h"
#include "common/ui/desktop.h"
#include "common/ui/error_edge.h"
#include "common/ui/grid_file.h"
#include "common/ui/messages.h"
#include "common/ui/statement_model.h"
#include "counterparties/ui/counterparty_picker.h"
#include "offers/texts.h"
#include "offers/ui/form_oferti.h"
#include "offers/ui/offer_document.h"
#include "shell/session_grids.h"
#include "ui_form_spr_new_oferts.h"

#include <QDir>

namespace torvika {

namespace {

std::optional<qint64> typedNumber(const QLineEdit* edit) {
    bool ok = false;
    const qint64 n = edit->text().trimmed().toLongLong(&ok);
    if (!ok)
        throw EConvertError(texts::kReportNotANumber);
    return n;
}

} // namespace

TForm_Spr_New_Oferts::TForm_Spr_New_Oferts(const WindowContext& context, QWidget* parent)
    : QDialog(parent), ui(new Ui::TForm_Spr_New_Oferts), context_(context), session_(context.session) {
    ui->setupUi(this);
    resize(1000, 700);
    using F = GridColumnSpec;
    const int d = session_.settings().get(setting::kAmountDecimals);
    offers_ = new StatementModel(this);
    offers_->setColumns({{QStringLiteral("ID"), QStringLiteral("Оферта №"), 8, F::Integer},
                         {QStringLiteral("Data_Oferta"), QStringLiteral("Дата"), 10, F::Date},
                         {QStringLiteral("ID_Kontrag"), QStringLiteral("Контр. N"), 8, F::Integer},
                         {QStringLiteral("Ime_Firma"), QStringLiteral("Заявител"), 30},
                         {QStringLiteral("Pay_Beffor"), QStringLiteral("Предплата"), 10, F::Number, d}});
    setUpStatementGrid(ui->DBGrid_Oferti, offers_);
    lines_ = new StatementModel(this);
    lines_->setColumns({{QStringLiteral("Grup"), QStringLiteral("Група"), 14},
                        {QStringLiteral("Kat_N"), QStringLiteral("Кат. N"), 10},
                        {QStringLiteral("Opisanie"), QStringLiteral("Описание"), 34},
                        {QStringLiteral("Kol"), QStringLiteral("Кол."), 6, F::Number, 2},
                        {QStringLiteral("Cena"), QStringLiteral("Цена"), 10, F::Number, 2},
                        {QStringLiteral("Valuta"), QStringLiteral("Валута"), 6},
                        {QStringLiteral("Suma"), QStringLiteral("Сума лв"), 12, F::Number, d},
                        {QStringLiteral("Korekt"), QStringLiteral("Корекция"), 8},
                        {QStringLiteral("Dostav4ik"), QStringLiteral("Доставчик"), 16}});
    setUpStatementGrid(ui->DBGrid_Oferta_Art, lines_);
    ui->Label_Zaqvitel->setText(texts::kNoRequester);
    ui->DateEdit_Ot->setDate(session_.today());
    ui->DateEdit_Do->setDate(session_.today());

    connect(ui->Button_Zaqvitel, &QPushButton::clicked, this,
            [this] { pickCounterparty(context_, kSelectOffersRequester, this); });
    connect(ui->Button_Tarsi, &QPushButton::clicked, this, [this] { search(); });
    connect(ui->DBGrid_Oferti->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { offerClicked(); });
    connect(ui->Button_Iztrii, &QPushButton::clicked, this, [this] { deleteCurrent(); });
    connect(ui->Button_Otvori, &QPushButton::clicked, this, [this] { reopenCurrent(); });
    connect(ui->Button_Pe4at_Oferta, &QPushButton::clicked, this, [this] { printCurrent(); });
    connect(ui->Button_Pe4at_Dokument, &QPushButton::clicked, this, [this] { printDocument(); });
    connect(ui->Button_Sazdai_Zaqvka, &QPushButton::clicked, this, [this] { makeOrders(); });
    search();
}

TForm_Spr_New_Oferts::~TForm_Spr_New_Oferts() = default;

void TForm_Spr_New_Oferts::addFollowUps(FollowUpRegistry& registry) {
    registry.of<CounterpartyPicker>().add(kSelectOffersRequester, [](QWidget* opener, const QString& ref) {
        openerWindow<TForm_Spr_New_Oferts>(opener).takeRequester(ref);
    });
}

void TForm_Spr_New_Oferts::takeRequester(const QString& refText) {
    ui->Label_Zaqvitel->setText(refText);
    ui->CheckBox_Zaqvitel->setChecked(true);
}

void TForm_Spr_New_Oferts::search() {
    guarded([this] {
        OfferFilter f;
        if (ui->CheckBox_Zaqvitel->isChecked())
            f.counterparty = GetID_MFromTreeNodeName(ui->Label_Zaqvitel->text());
        if (ui->CheckBox_Nomer->isChecked()) {
            f.numberComparison = OfferComparison(ui->ComboBox_Nomer->currentIndex());
            f.number = typedNumber(ui->Edit_Nomer_Ot);
            if (f.numberComparison == OfferComparison::Between)
                f.numberTo = typedNumber(ui->Edit_Nomer_Do);
        }
        if (ui->CheckBox_Data->isChecked()) {
            f.dateComparison = OfferComparison(ui->ComboBox_Data->currentIndex());
            f.date = ui->DateEdit_Ot->date();
            f.dateTo = ui->DateEdit_Do->date();
        }
        offers_->setStatement(session_.db(), savedOffersStatement(f));
        lines_->clear();
        ui->Label_Obshta_Stoinost->setText(texts::kOfferReportTotal);
    });
}

std::optional<StoredOffer> TForm_Spr_New_Oferts::currentOffer() {
    const QModelIndex i = ui->DBGrid_Oferti->currentIndex();
    if (!i.isValid()) {
        showMessage(texts::kChooseOffer);
        return std::nullopt;
    }
    std::optional<StoredOffer> offer;
    guarded([&] {
        offer = loadOffer(session_.db(), offers_->value(i.row(), QStringLiteral("ID")).toLongLong());
    });
    if (!offer)
        showMessage(texts::kOfferGone);
    return offer;
}

void TForm_Spr_New_Oferts::offerClicked() {
    const QModelIndex i = ui->DBGrid_Oferti->currentIndex();
    if (!i.isValid())
        return;
    const qint64 id = offers_->value(i.row(), QStringLiteral("ID")).toLongLong();
    guarded([&] {
        lines_->setStatement(session_.db(), savedOfferLinesStatement(id));
        const std::optional<StoredOffer> o = loadOffer(session_.db(), id);
        const Decimal value = o ? offerValue(session_.db(), o->lines) : Decimal(0);
        ui->Label_Obshta_Stoinost->setText(
            texts::kOfferReportTotal + formatFixed(value, session_.settings().get(setting::kAmountDecimals)));
    });
}

void TForm_Spr_New_Oferts::deleteCurrent() {
    const std::optional<StoredOffer> o = currentOffer();
    if (!o || !askYesNo(texts::kOfferDelete.arg(o->id)))
        return;
    guarded([&] { deleteOffer(session_.db(), o->id); });
    search();
}

void TForm_Spr_New_Oferts::reopenCurrent() {
    const std::optional<StoredOffer> o = currentOffer();
    if (!o)
        return;
    if (TForm_Oferti* w = TForm_Oferti::showWindow(context_, parentWidget())) {
        w->reopen(*o);
        accept();
    }
}

OfferPrint TForm_Spr_New_Oferts::printOf(const StoredOffer& o) const {
    OfferPrint p;
    p.number = o.id;
    p.counterparty = o.counterparty;
    p.date = o.date;
    p.total = offerValue(session_.db(), o.lines);
    p.advance = o.advance;
    p.decimals = session_.settings().get(setting::kAmountDecimals);
    p.currencyWord = baseCurrencyForCaptions(session_.db()).words.major;
    p.operatorName = session_.operatorName();
    p.company = companyData(session_);
    return p;
}

void TForm_Spr_New_Oferts::printCurrent() {
    const std::optional<StoredOffer> o = currentOffer();
    if (!o)
        return;
    guarded([&] {
        const OfferPrint p = printOf(*o);
        const QStringList heading = offerPrintHeading(session_.db(), p);
        GridFile file(gridContext(session_), this, texts::kPrintedOfferFile);
        file.lines(heading);
        file.table(ui->DBGrid_Oferta_Art);
        file.finish(offerPrintClosing(p));
    });
}

void TForm_Spr_New_Oferts::printDocument() {
    const std::optional<StoredOffer> o = currentOffer();
    if (!o)
        return;
    guarded([&] {
        const QString tempDir = gridContext(session_).tempDir;
        QDir().mkpath(tempDir);
        const QString file = QDir(tempDir).filePath(texts::kOfferPdfFile);
        if (printOfferDocument(session_.db(), *o, printOf(*o), file))
            SHELLEXECUTE_OPENFILE(file);
        else
            throw EInOutError(file);
    });
}

void TForm_Spr_New_Oferts::makeOrders() {
    const std::optional<StoredOffer> o = currentOffer();
    if (!o || !askYesNo(texts::kAddToOrders))
        return;
    QStringList suppliers;
    for (const OfferLine& l : o->lines)
        if (!suppliers.contains(l.supplier))
            suppliers << l.supplier;
    QSet<QString> chosen;
    for (const QString& s : suppliers)
        if (suppliers.size() == 1 || askYesNo(texts::kOrderToSupplier.arg(s)))
            chosen.insert(s);
    int added = 0;
    if (guarded([&] { added = ordersFromOffer(session_.db(), *o, chosen, session_.today()); }))
        showMessage(texts::kOrdersAdded.arg(added));
}

} // namespace torvika
