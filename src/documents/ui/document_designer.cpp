#include "documents/ui/document_designer.h"

#include "common/ref_text.h"
#include "common/ui/error_edge.h"
#include "common/ui/messages.h"
#include "documents/document_kinds.h"
#include "documents/print_run.h"
#include "documents/report_engine.h"
#include "documents/report_query.h"
#include "documents/template_design.h"
#include "documents/template_files.h"
#include "documents/texts.h"
#include "documents/ui/band_text_editor.h"
#include "documents/ui/design_model.h"
#include "documents/ui/design_page.h"
#include "documents/ui/document_preview.h"
#include "documents/ui/document_printer.h"
#include "documents/ui/element_settings.h"
#include "documents/ui/name_of_document.h"
#include "ui_document_designer.h"

#include <QCloseEvent>
#include <QDir>
#include <QIntValidator>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>

namespace torvika {

TForm_GeneralForm_Dokumentaciq::TForm_GeneralForm_Dokumentaciq(const WindowContext& context, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TForm_GeneralForm_Dokumentaciq>()), session_(context.session),
      model_(new DesignModel(this)) {
    ui->setupUi(this);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    buildMenu();
    ui->QuickRep1->setUp(model_, session_.programDir.documentationsDir());
    ui->Label_Dokumenti->setVisible(false);
    ui->ComboBox_Dokumenti->setVisible(false);
    connect(ui->ComboBox_Dokumenti, &QComboBox::activated, this, [this](int index) {
        if (mayDiscard())
            LOAD_SELECTED_FILE_PRINT(ui->ComboBox_Dokumenti->itemText(index));
    });
    connect(ui->QuickRep1, &DesignPage::bandTextRequested, this,
            &TForm_GeneralForm_Dokumentaciq::editBandText);
    connect(ui->QuickRep1, &DesignPage::deleteRequested, this, &TForm_GeneralForm_Dokumentaciq::deleteChosen);
    connect(ui->SpeedButton_Header_Text, &QToolButton::clicked, this,
            [this] { editBandText(ReportBand::Header); });
    connect(ui->SpeedButton_Footer_Text, &QToolButton::clicked, this,
            [this] { editBandText(ReportBand::Footer); });
    bindFontControls();
    connect(model_, &DesignModel::selectionChanged, this, &TForm_GeneralForm_Dokumentaciq::showSelectedFont);
    connect(model_, &DesignModel::changed, this, &TForm_GeneralForm_Dokumentaciq::showSelectedFont);
    ReportTemplate empty;
    model_->reset(empty, QString());
    ui->ScrollBox_Report->setWidget(ui->QuickRep1);
    resize(1200, 900);
}

TForm_GeneralForm_Dokumentaciq::~TForm_GeneralForm_Dokumentaciq() = default;

DesignPage* TForm_GeneralForm_Dokumentaciq::page() const {
    return ui->QuickRep1;
}

void TForm_GeneralForm_Dokumentaciq::buildMenu() {
    menu_ = new QMenuBar(this);
    menu_->setObjectName(QStringLiteral("MainMenu1"));
    layout()->setMenuBar(menu_);
    auto action = [this](QMenu* menu, const char* name, const QString& text, auto slot) {
        QAction* a = menu->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    QMenu* file = menu_->addMenu(QStringLiteral("File"));
    file->setObjectName(QStringLiteral("N1"));
    QMenu* open = file->addMenu(QStringLiteral("Отвори"));
    open->setObjectName(QStringLiteral("N_Otvori"));
    action(open, "N_Open_File", QStringLiteral("Файл"), [this] { N_Open_FileClick(); });
    action(open, "N_otvori_gore", QStringLiteral("към текст отгоре"), [this] { N_otvori_goreClick(); });
    action(open, "N_otvori_otdolu", QStringLiteral("към текст отдолу"), [this] { N_otvori_otdoluClick(); });
    action(file, "N2", QStringLiteral("Запази"), [this] { N2Click(); })->setShortcut(QKeySequence::Save);
    action(file, "N_Pregled", QStringLiteral("Преглед"), [this] { N_PregledClick(); });
    action(file, "N_Pechat", QStringLiteral("Печат"), [this] {
        N_PregledClick();
    })->setShortcut(QKeySequence::Print);
    QMenu* add = menu_->addMenu(QStringLiteral("Добави данни"));
    add->setObjectName(QStringLiteral("N_Dobavi_Danni"));
    labelAction_ = action(add, "N_Etiket", QStringLiteral("Етикет"), [this] { openSettings(false); });
    pictureAction_ = action(add, "N_Kartinka", QStringLiteral("Картинка"), [this] { openSettings(true); });
    labelAction_->setCheckable(true);
    pictureAction_->setCheckable(true);
    QMenu* texts = menu_->addMenu(QStringLiteral("Текстове"));
    texts->setObjectName(QStringLiteral("N_Tekstove"));
    action(texts, "N_Tekst_Gore", QStringLiteral("Текст отгоре..."),
           [this] { editBandText(ReportBand::Header); });
    action(texts, "N_Tekst_Dolu", QStringLiteral("Текст отдолу..."),
           [this] { editBandText(ReportBand::Footer); });
    QAction* exit = menu_->addAction(QStringLiteral("Изход"));
    exit->setObjectName(QStringLiteral("N4"));
    connect(exit, &QAction::triggered, this, &QDialog::close);
}

void TForm_GeneralForm_Dokumentaciq::openSettings(bool picture) {
    labelAction_->setChecked(!picture);
    pictureAction_->setChecked(picture);
    if (!settings_) {
        settings_ = new TForm_Nastrojki(model_, session_.programDir.documentationsDir(), this);
        settings_->setObjectName(QStringLiteral("Form_Nastrojki"));
        refreshFieldTables();
        settings_->adjustSize();
        if (const QScreen* screen = this->screen()) {
            const QRect area = screen->availableGeometry();
            settings_->move(area.right() - 10 - settings_->frameGeometry().width(), area.top() + 35);
        }
    }
    settings_->showPage(picture ? TForm_Nastrojki::Page::Picture : TForm_Nastrojki::Page::Label);
    settings_->show();
    settings_->raise();
    settings_->activateWindow();
}

void TForm_GeneralForm_Dokumentaciq::refreshFieldTables() {
    if (!settings_)
        return;
    QStringList problems;
    QList<FieldTable> tables;
    logged([&] { tables = fieldTables(session_.db(), &problems); });
    for (QString& p : problems)
        p = texts::kUnknownTable.arg(p, model_->report().name);
    settings_->setFieldTables(tables, problems);
}

void TForm_GeneralForm_Dokumentaciq::N_Open_FileClick() {
    QStringList kinds;
    if (!guarded([&] { kinds = documentKindNames(session_.db()); }))
        return;
    ui->ComboBox_Dokumenti->clear();
    ui->ComboBox_Dokumenti->addItems(kinds);
    ui->ComboBox_Dokumenti->setCurrentIndex(-1);
    ui->ComboBox_Dokumenti->setVisible(true);
    ui->Label_Dokumenti->setVisible(true);
    ui->ComboBox_Dokumenti->setFocus();
}

void TForm_GeneralForm_Dokumentaciq::LOAD_SELECTED_FILE_PRINT(const QString& name) {
    QStringList warnings;
    ReportTemplate report;
    if (!guarded([&] {
            report =
                torvika::LOAD_SELECTED_FILE_PRINT(session_.programDir.documentationsDir(), name, &warnings);
        }))
        return;
    // Fields whose table or column the database no longer has stay in the
    // design, to be bound anew or deleted: they are named, not refused.
    logged([&] { warnings << missingFields(session_.db(), report); });
    std::optional<DocumentKind> kind;
    logged([&] { kind = findDocumentKind(session_.db(), name); });
    if (kind) {
        ui->CheckBox_Magazin->setChecked(kind->places.contains(texts::kPlaceShop));
        ui->CheckBox_Serviz->setChecked(kind->places.contains(texts::kPlaceService));
        ui->CheckBox_Fisk_Centar->setChecked(kind->places.contains(texts::kPlaceFiscalService));
    }
    model_->reset(report, name);
    model_->setCurrentBand(ReportBand::Detail);
    ui->Label_Template_Name->setText(name);
    const int at = ui->ComboBox_Dokumenti->findText(name);
    if (at >= 0)
        ui->ComboBox_Dokumenti->setCurrentIndex(at);
    openSettings(false);
    if (!warnings.isEmpty())
        showMessage(warnings.join(u'\r'));
}

void TForm_GeneralForm_Dokumentaciq::loadBandFile(ReportBand band) {
    const QString path =
        Messages::current().openFileName(texts::kOpenBandText, QString(), texts::kBandTextFilter);
    if (path.isEmpty())
        return;
    QByteArray rtf;
    // The file's text becomes the band's own: the save writes it into the
    // template's .hdr or .ftr, so the template never depends on that file.
    if (guarded([&] { rtf = bandTextFromFile(path); }))
        model_->setBandText(band, rtf);
}

void TForm_GeneralForm_Dokumentaciq::N_otvori_goreClick() {
    loadBandFile(ReportBand::Header);
}

void TForm_GeneralForm_Dokumentaciq::N_otvori_otdoluClick() {
    loadBandFile(ReportBand::Footer);
}

void TForm_GeneralForm_Dokumentaciq::editBandText(ReportBand band) {
    const ReportTemplate& r = model_->report();
    TForm_Band_Text editor(band == ReportBand::Footer ? texts::kEditFooterText : texts::kEditHeaderText,
                           band == ReportBand::Footer ? r.footerText : r.headerText, this);
    if (editor.exec() == QDialog::Accepted)
        model_->setBandText(band, editor.rtf());
}

void TForm_GeneralForm_Dokumentaciq::N2Click() {
    QStringList kinds;
    if (!guarded([&] { kinds = documentKindNames(session_.db()); }))
        return;
    QString name;
    QString number;
    {
        TName_Of_Dokument dialog(model_->openedName(), kinds, this);
        if (dialog.exec() != QDialog::Accepted)
            return;
        name = dialog.name();
        number = dialog.formattedNumber();
    }
    if (name.isEmpty())
        return;
    if (!isValidTemplateName(name)) {
        showMessage(texts::kBadTemplateName.arg(name));
        return;
    }
    const QString dir = session_.programDir.documentationsDir();
    bool replaces = false;
    if (!guarded([&] { replaces = replacesOtherKind(session_.db(), dir, name, model_->openedName()); }))
        return;
    if (replaces && !askYesNo(texts::kAskReplaceKind.arg(name)))
        return;
    ReportTemplate report = model_->report();
    report.name = name;
    DocumentPlaces places;
    places.shop = ui->CheckBox_Magazin->isChecked();
    places.service = ui->CheckBox_Serviz->isChecked();
    places.fiscalService = ui->CheckBox_Fisk_Centar->isChecked();
    TemplateSaveResult result;
    if (!guarded([&] { result = saveTemplate(session_.db(), dir, report, places, number); }))
        return;
    model_->setOpenedName(name);
    model_->setModified(false);
    ui->Label_Template_Name->setText(name);
    if (ui->ComboBox_Dokumenti->isVisible() && ui->ComboBox_Dokumenti->findText(name) < 0)
        ui->ComboBox_Dokumenti->addItem(name);
    if (!result.unjoinedTables.isEmpty())
        showMessage(texts::kUnjoinedTables.arg(result.unjoinedTables.join(QStringLiteral(", "))));
}

void TForm_GeneralForm_Dokumentaciq::N_PregledClick() {
    const ReportTemplate& report = model_->report();
    const QString title = report.name.isEmpty() ? texts::kDesignerCaption : report.name;
    PrintRequest request;
    ReportData data;
    ReportValues values;
    const bool ready = guarded([&] {
        const QSqlDatabase db = session_.db();
        request = pageRequest(session_, PrintContext::Shop);
        // The operator's lines of the sale on the shop page feed the design.
        request.lines = operatorSaleLines(db, request.operatorName);
        request.counterparty = std::max(0, GetID_MFromTreeNodeName(session_.saleCounterparty()));
        DocumentQueryInput input;
        input.context = PrintContext::Shop;
        input.lines = request.lines;
        input.counterparty = request.counterparty;
        input.operatorName = request.operatorName;
        const std::optional<DocumentKind> kind = findDocumentKind(db, report.name);
        input.kindId = kind ? kind->id : 0;
        data = readReportData(db, report, input);
        if (const DocumentAmountSource& source = session_.state<DocumentAmountSource>(); source.shop)
            values.amounts = source.shop(db, data.lines.isEmpty() ? request.lines : data.lines);
        values.title = title;
        values.printed = request.now;
        values.stamp = texts::kStampOriginal;
        values.number = kind ? kind->number : QString();
        values.fields = request.companyFields;
        values.imageDir = request.templateDir;
        for (int i = 0; i < report.elements.size(); ++i)
            if (report.elements[i].kind == ElementKind::Label && isTypedLabel(report.elements[i].code))
                values.typedLabels.insert(i, report.elements[i].caption);
    });
    if (!ready)
        return;
    const ReportLayout layout(report, data, values);
    DocumentPreview dialog(texts::kDesignPreview.arg(title), installedPrinters(), defaultPrinterName(), this);
    dialog.setPages([&layout](QPrinter* p) { layout.print(*p, 1); }, layout.pageCount());
    // A print of the design is a proof: no number is taken, nothing registered.
    connect(&dialog, &DocumentPreview::printRequested, &dialog, [&](const QString& printerName) {
        std::unique_ptr<QPrinter> printer;
        if (printerName == texts::kPdfPrinter) {
            const QString path = Messages::current().saveFileName(
                texts::kPdfFileCaption.arg(title),
                QDir(session_.programDir.tempDir()).filePath(title + QStringLiteral(".pdf")),
                texts::kPdfFilter);
            if (path.isEmpty())
                return;
            printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(path);
        } else {
            const QPrinterInfo info = QPrinterInfo::printerInfo(printerName);
            if (info.isNull()) {
                showMessage(texts::kPrinterNotFound.arg(printerName, title));
                return;
            }
            printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
        }
        printer->setFullPage(true);
        printer->setDocName(title);
        if (layout.print(*printer, 1))
            dialog.accept();
        else
            showMessage(texts::kPrintFailed.arg(printerName, title));
    });
    dialog.exec();
}

void TForm_GeneralForm_Dokumentaciq::bindFontControls() {
    for (int size = 8; size <= 72; size += 2)
        ui->ComboBox_Size->addItem(QString::number(size));
    ui->ComboBox_Size->setValidator(new QIntValidator(2, 72, ui->ComboBox_Size));
    auto apply = [this](const std::function<void(ReportElement&)>& change) {
        if (showing_)
            return;
        model_->changeSelected([&change](ReportElement& e) {
            if (e.kind != ElementKind::Image)
                change(e);
        });
    };
    connect(ui->ComboBox_Size, &QComboBox::textActivated, this, [apply](const QString& text) {
        if (const int size = text.toInt(); size >= 2 && size <= 72)
            apply([size](ReportElement& e) { e.font.size = size; });
    });
    connect(ui->SpeedButton_Bold, &QToolButton::clicked, this,
            [apply](bool on) { apply([on](ReportElement& e) { e.font.bold = on; }); });
    connect(ui->SpeedButton_Italic, &QToolButton::clicked, this,
            [apply](bool on) { apply([on](ReportElement& e) { e.font.italic = on; }); });
    connect(ui->SpeedButton_Underline, &QToolButton::clicked, this,
            [apply](bool on) { apply([on](ReportElement& e) { e.font.underline = on; }); });
    const std::pair<QToolButton*, ElementAlignment> aligns[] = {
        {ui->SpeedButton_Left, ElementAlignment::Left},
        {ui->SpeedButton_Center, ElementAlignment::Center},
        {ui->SpeedButton_Right, ElementAlignment::Right}};
    for (auto [button, align] : aligns)
        connect(button, &QToolButton::clicked, this, [this, apply, align] {
            apply([align](ReportElement& e) { e.alignment = align; });
            showSelectedFont();
        });
}

void TForm_GeneralForm_Dokumentaciq::showSelectedFont() {
    const ReportElement* e = model_->selectedElement();
    const bool styled = e && e->kind != ElementKind::Image;
    showing_ = true;
    for (QWidget* w : std::initializer_list<QWidget*>{
             ui->ComboBox_Size, ui->SpeedButton_Bold, ui->SpeedButton_Italic, ui->SpeedButton_Underline,
             ui->SpeedButton_Left, ui->SpeedButton_Center, ui->SpeedButton_Right})
        w->setEnabled(styled);
    if (styled) {
        ui->ComboBox_Size->setEditText(QString::number(e->font.size));
        ui->SpeedButton_Bold->setChecked(e->font.bold);
        ui->SpeedButton_Italic->setChecked(e->font.italic);
        ui->SpeedButton_Underline->setChecked(e->font.underline);
        ui->SpeedButton_Left->setChecked(e->alignment == ElementAlignment::Left);
        ui->SpeedButton_Center->setChecked(e->alignment == ElementAlignment::Center);
        ui->SpeedButton_Right->setChecked(e->alignment == ElementAlignment::Right);
    }
    showing_ = false;
}

void TForm_GeneralForm_Dokumentaciq::deleteChosen() {
    const ReportElement* e = model_->selectedElement();
    if (e && askYesNo(texts::kAskDeleteElement.arg(e->name)))
        model_->removeElement(model_->selected());
}

bool TForm_GeneralForm_Dokumentaciq::mayDiscard() {
    return !model_->modified() ||
           askYesNo(texts::kAskDiscardDesign.arg(model_->report().name.isEmpty() ? texts::kDesignerCaption
                                                                                 : model_->report().name));
}

void TForm_GeneralForm_Dokumentaciq::closeEvent(QCloseEvent* event) {
    if (!mayDiscard()) {
        event->ignore();
        return;
    }
    model_->setModified(false);
    if (settings_)
        settings_->close();
    QDialog::closeEvent(event);
}

void TForm_GeneralForm_Dokumentaciq::reject() {
    if (!mayDiscard())
        return;
    model_->setModified(false);
    if (settings_)
        settings_->close();
    QDialog::reject();
}

} // namespace torvika
