#include "documents/ui/element_settings.h"

#include "common/ui/error_edge.h"
#include "common/ui/messages.h"
#include "documents/texts.h"
#include "documents/ui/design_model.h"
#include "ui_element_settings.h"

#include <QDir>
#include <QImageReader>
#include <algorithm>
#include <iterator>

namespace torvika {

namespace {

// The style box's items by position, and the alignment box's.
const FrameStyle kStyles[] = {FrameStyle::Clear,      FrameStyle::Dash, FrameStyle::DashDot,
                              FrameStyle::DashDotDot, FrameStyle::Dot,  FrameStyle::InsideFrame,
                              FrameStyle::Solid};
const ElementAlignment kAlignments[] = {ElementAlignment::Left, ElementAlignment::Center,
                                        ElementAlignment::Right};
const ReportBand kBands[] = {ReportBand::Header, ReportBand::Detail, ReportBand::Footer};

int styleIndex(FrameStyle s) {
    for (int i = 0; i < int(std::size(kStyles)); ++i)
        if (kStyles[i] == s)
            return i;
    return 6;
}

int alignmentIndex(ElementAlignment a) {
    for (int i = 0; i < int(std::size(kAlignments)); ++i)
        if (kAlignments[i] == a)
            return i;
    return 0;
}

// The largest box a picture first takes.
constexpr int kPictureBox = 200;

} // namespace

TForm_Nastrojki::TForm_Nastrojki(DesignModel* model, const QString& templateDir, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), ui(std::make_unique<Ui::TForm_Nastrojki>()),
      model_(model), templateDir_(templateDir) {
    ui->setupUi(this);
    ui->Label_Missing->setVisible(false);
    ui->ComboBox_Frame_Style->setCurrentIndex(6);
    ui->ComboBox_Sobstvenik_na_Obekt->setCurrentIndex(1);

    const std::pair<QSpinBox*, ReportBand> heights[] = {
        {ui->SpinEdit_GroupHeaderBand1_Height, ReportBand::Header},
        {ui->SpinEdit_QRSubDetail1_Height, ReportBand::Detail},
        {ui->SpinEdit_GroupFooterBand1_Height, ReportBand::Footer}};
    for (auto [box, band] : heights)
        connect(box, &QSpinBox::valueChanged, this, [this, band](int v) {
            if (!showing_)
                model_->setBandHeight(band, v);
        });
    connect(ui->ComboBox_Sobstvenik_na_Obekt, &QComboBox::currentIndexChanged, this, [this] {
        if (!showing_)
            model_->setCurrentBand(chosenBand());
    });
    for (QRadioButton* r : {ui->RadioButton_Baza, ui->RadioButton_Etiket, ui->RadioButton_Sistemni})
        connect(r, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                kindChosen();
        });
    connect(ui->ComboBox_Type, &QComboBox::activated, this, &TForm_Nastrojki::typeChosen);
    connect(ui->ComboBox_Poleta, &QComboBox::activated, this, &TForm_Nastrojki::fieldChosen);
    connect(ui->ComboBox2, &QComboBox::activated, this, [this](int index) { model_->select(index); });
    connect(ui->BitBtn1, &QPushButton::clicked, this, &TForm_Nastrojki::BitBtn1Click);
    connect(ui->BitBtn2, &QPushButton::clicked, this, &TForm_Nastrojki::deleteElement);
    connect(ui->Button_Izberi_Kartinka, &QPushButton::clicked, this, &TForm_Nastrojki::choosePicture);
    connect(ui->Button_Iztrii_Kartinka, &QPushButton::clicked, this, &TForm_Nastrojki::deleteElement);
    bindStyleControls();
    connect(model_, &DesignModel::changed, this, [this] {
        showHeights();
        showSelected();
    });
    connect(model_, &DesignModel::selectionChanged, this, &TForm_Nastrojki::showSelected);
    kindChosen();
    showHeights();
    showSelected();
}

TForm_Nastrojki::~TForm_Nastrojki() = default;

void TForm_Nastrojki::setFieldTables(const QList<FieldTable>& tables, const QStringList& problems) {
    ui->ComboBox_Poleta->clear();
    for (const FieldTable& t : tables)
        for (const QString& c : t.columns)
            ui->ComboBox_Poleta->addItem(t.dataSet + u'-' + c, QStringList{t.dataSet, c});
    ui->Label_Missing->setText(problems.join(u'\n'));
    ui->Label_Missing->setVisible(!problems.isEmpty());
}

void TForm_Nastrojki::showPage(Page page) {
    ui->PageControl1->setCurrentWidget(page == Page::Label ? ui->TabSheet_QRLabel : ui->TabSheet_Kartinka);
}

ReportBand TForm_Nastrojki::chosenBand() const {
    return kBands[std::clamp(ui->ComboBox_Sobstvenik_na_Obekt->currentIndex(), 0, 2)];
}

ElementKind TForm_Nastrojki::chosenKind() const {
    if (ui->RadioButton_Etiket->isChecked())
        return ElementKind::Label;
    if (ui->RadioButton_Sistemni->isChecked())
        return ElementKind::SystemData;
    return ElementKind::DataField;
}

void TForm_Nastrojki::kindChosen() {
    fillKindBox();
    const bool field = chosenKind() == ElementKind::DataField;
    ui->ComboBox_Type->setEnabled(!field);
    ui->ComboBox_Poleta->setEnabled(field);
}

void TForm_Nastrojki::fillKindBox() {
    ui->ComboBox_Type->clear();
    if (chosenKind() == ElementKind::Label)
        for (int k : designerLabelKinds())
            ui->ComboBox_Type->addItem(labelKindItem(k), k);
    else if (chosenKind() == ElementKind::SystemData)
        for (int i = 0; i < systemDataItems().size(); ++i)
            ui->ComboBox_Type->addItem(systemDataItems()[i], i);
    ui->ComboBox_Type->setCurrentIndex(ui->ComboBox_Type->count() > 0 ? 0 : -1);
}

namespace {

// The caption of a free-text label: "4:" and the title the operator gives;
// nothing when the operator gives none.
std::optional<QString> freeTextCaption() {
    const std::optional<QString> title = Messages::current().inputText(
        texts::kFreeTextTitle, texts::kFreeTextTitle + u':', texts::kFreeTextStart);
    if (!title || title->trimmed().isEmpty())
        return std::nullopt;
    return QString::number(kLabelFreeText) + u':' + title->trimmed();
}

} // namespace

void TForm_Nastrojki::typeChosen(int index) {
    const ReportElement* e = model_->selectedElement();
    if (!e || index < 0)
        return;
    const int code = ui->ComboBox_Type->itemData(index).toInt();
    if (e->kind == ElementKind::Label && chosenKind() == ElementKind::Label) {
        QString caption = labelKindItem(code);
        if (code == kLabelFreeText) {
            const std::optional<QString> c = freeTextCaption();
            if (!c)
                return;
            caption = *c;
        }
        model_->changeSelected([&](ReportElement& el) {
            el.code = code;
            el.caption = caption;
        });
    } else if (e->kind == ElementKind::SystemData && chosenKind() == ElementKind::SystemData) {
        model_->changeSelected([code](ReportElement& el) { el.code = code; });
    }
}

void TForm_Nastrojki::fieldChosen(int index) {
    const QStringList field = ui->ComboBox_Poleta->itemData(index).toStringList();
    const ReportElement* e = model_->selectedElement();
    if (field.size() != 2 || !e || e->kind != ElementKind::DataField)
        return;
    model_->changeSelected([&field](ReportElement& el) {
        el.dataSet = field[0];
        el.dataField = field[1];
    });
}

void TForm_Nastrojki::BitBtn1Click() {
    const ElementKind kind = chosenKind();
    const ReportBand band = chosenBand();
    model_->setCurrentBand(band);
    QString caption;
    int code = ui->ComboBox_Type->currentData().toInt();
    QStringList field;
    if (kind == ElementKind::Label) {
        caption = labelKindItem(code);
        if (code == kLabelFreeText) {
            const std::optional<QString> c = freeTextCaption();
            if (!c)
                return;
            caption = *c;
        }
    } else if (kind == ElementKind::DataField) {
        field = ui->ComboBox_Poleta->currentData().toStringList();
    }
    const int index =
        model_->addElement(kind, band, QSize(ui->SpinEdit_Width->value(), ui->SpinEdit_Height->value()));
    model_->changeSelected([&](ReportElement& e) {
        if (kind == ElementKind::Label) {
            e.code = code;
            e.caption = caption;
        } else if (kind == ElementKind::SystemData) {
            e.code = code;
        } else if (field.size() == 2) {
            e.dataSet = field[0];
            e.dataField = field[1];
        }
    });
    model_->place(index, band, model_->report().elements[index].geometry);
}

void TForm_Nastrojki::deleteElement() {
    const ReportElement* e = model_->selectedElement();
    if (!e || !askYesNo(texts::kAskDeleteElement.arg(e->name)))
        return;
    model_->removeElement(model_->selected());
}

void TForm_Nastrojki::choosePicture() {
    const QString path =
        Messages::current().openFileName(texts::kOpenPicture, QString(), texts::kPictureFilter);
    if (path.isEmpty())
        return;
    QString name;
    if (!guarded([&] { name = importPicture(templateDir_, path); }))
        return;
    const ReportElement* e = model_->selectedElement();
    if (e && e->kind == ElementKind::Image) {
        model_->changeSelected([&name](ReportElement& el) { el.picture = name; });
        return;
    }
    QSize size = QImageReader(QDir(templateDir_).filePath(name)).size();
    if (!size.isValid() || size.isEmpty())
        size = QSize(kPictureBox, kPictureBox);
    if (size.width() > kPictureBox || size.height() > kPictureBox)
        size.scale(kPictureBox, kPictureBox, Qt::KeepAspectRatio);
    const ReportBand band = chosenBand();
    const int index = model_->addElement(ElementKind::Image, band, size);
    model_->changeSelected([&name](ReportElement& el) { el.picture = name; });
    model_->place(index, band, model_->report().elements[index].geometry);
}

void TForm_Nastrojki::bindStyleControls() {
    auto onChange = [this](auto* control, auto signal, std::function<void(ReportElement&)> apply) {
        connect(control, signal, this, [this, apply] {
            if (!showing_)
                model_->changeSelected([&apply](ReportElement& e) {
                    if (e.kind != ElementKind::Image)
                        apply(e);
                });
        });
    };
    onChange(ui->CheckBox_AutoSize, &QCheckBox::toggled,
             [this](ReportElement& e) { e.autoSize = ui->CheckBox_AutoSize->isChecked(); });
    onChange(ui->ComboBox_podravnqvane, &QComboBox::currentIndexChanged, [this](ReportElement& e) {
        e.alignment = kAlignments[std::clamp(ui->ComboBox_podravnqvane->currentIndex(), 0, 2)];
    });
    onChange(ui->CheckBox_Frame_Up, &QCheckBox::toggled,
             [this](ReportElement& e) { e.frame.top = ui->CheckBox_Frame_Up->isChecked(); });
    onChange(ui->CheckBox_Frame_Down, &QCheckBox::toggled,
             [this](ReportElement& e) { e.frame.bottom = ui->CheckBox_Frame_Down->isChecked(); });
    onChange(ui->CheckBox_Frame_Left, &QCheckBox::toggled,
             [this](ReportElement& e) { e.frame.left = ui->CheckBox_Frame_Left->isChecked(); });
    onChange(ui->CheckBox_Frame_Right, &QCheckBox::toggled,
             [this](ReportElement& e) { e.frame.right = ui->CheckBox_Frame_Right->isChecked(); });
    onChange(ui->ComboBox_Frame_Style, &QComboBox::currentIndexChanged, [this](ReportElement& e) {
        e.frame.style = kStyles[std::clamp(ui->ComboBox_Frame_Style->currentIndex(), 0, 6)];
    });
    onChange(ui->SpinEdit_Frame_Width, &QSpinBox::valueChanged,
             [this](ReportElement& e) { e.frame.width = ui->SpinEdit_Frame_Width->value(); });
    onChange(ui->CheckBox_Style_Bold, &QCheckBox::toggled,
             [this](ReportElement& e) { e.font.bold = ui->CheckBox_Style_Bold->isChecked(); });
    onChange(ui->CheckBox_Style_Italic, &QCheckBox::toggled,
             [this](ReportElement& e) { e.font.italic = ui->CheckBox_Style_Italic->isChecked(); });
    onChange(ui->CheckBox_Style_Underline, &QCheckBox::toggled,
             [this](ReportElement& e) { e.font.underline = ui->CheckBox_Style_Underline->isChecked(); });
    onChange(ui->CheckBox_Style_StrikeOut, &QCheckBox::toggled,
             [this](ReportElement& e) { e.font.strikeOut = ui->CheckBox_Style_StrikeOut->isChecked(); });
    onChange(ui->SpinEdit_Font_Size, &QSpinBox::valueChanged,
             [this](ReportElement& e) { e.font.size = ui->SpinEdit_Font_Size->value(); });
    // Size and place: any element, kept inside the page.
    for (QSpinBox* box : {ui->SpinEdit_Left, ui->SpinEdit_Top, ui->SpinEdit_Width, ui->SpinEdit_Height})
        connect(box, &QSpinBox::valueChanged, this, [this] {
            const ReportElement* e = model_->selectedElement();
            if (showing_ || !e)
                return;
            model_->place(model_->selected(), e->band,
                          QRect(ui->SpinEdit_Left->value(), ui->SpinEdit_Top->value(),
                                ui->SpinEdit_Width->value(), ui->SpinEdit_Height->value()));
            showSelected();
        });
}

void TForm_Nastrojki::showHeights() {
    showing_ = true;
    const ReportTemplate& r = model_->report();
    ui->SpinEdit_GroupHeaderBand1_Height->setValue(r.headerHeight);
    ui->SpinEdit_QRSubDetail1_Height->setValue(r.detailHeight);
    ui->SpinEdit_GroupFooterBand1_Height->setValue(r.footerHeight);
    ui->ComboBox_Sobstvenik_na_Obekt->setCurrentIndex(int(model_->currentBand()));
    showing_ = false;
}

void TForm_Nastrojki::showSelected() {
    showing_ = true;
    const ReportTemplate& r = model_->report();
    ui->ComboBox2->clear();
    for (const ReportElement& e : r.elements)
        ui->ComboBox2->addItem(e.name);
    ui->ComboBox2->setCurrentIndex(model_->selected());
    const ReportElement* e = model_->selectedElement();
    const bool styled = e && e->kind != ElementKind::Image;
    ui->BitBtn2->setEnabled(e != nullptr);
    ui->Button_Iztrii_Kartinka->setEnabled(e && e->kind == ElementKind::Image);
    ui->Label_Picture_File->setText(e && e->kind == ElementKind::Image ? e->picture : QString());
    for (QWidget* w : std::initializer_list<QWidget*>{ui->CheckBox_AutoSize, ui->ComboBox_podravnqvane,
                                                      ui->GroupBox_Ramki, ui->GroupBox_Shrift})
        w->setEnabled(!e || styled);
    if (e) {
        ui->SpinEdit_Left->setValue(e->geometry.left());
        ui->SpinEdit_Top->setValue(e->geometry.top());
        ui->SpinEdit_Width->setValue(e->geometry.width());
        ui->SpinEdit_Height->setValue(e->geometry.height());
        ui->ComboBox_Sobstvenik_na_Obekt->setCurrentIndex(int(e->band));
    }
    if (styled) {
        ui->CheckBox_AutoSize->setChecked(e->autoSize);
        ui->ComboBox_podravnqvane->setCurrentIndex(alignmentIndex(e->alignment));
        ui->CheckBox_Frame_Up->setChecked(e->frame.top);
        ui->CheckBox_Frame_Down->setChecked(e->frame.bottom);
        ui->CheckBox_Frame_Left->setChecked(e->frame.left);
        ui->CheckBox_Frame_Right->setChecked(e->frame.right);
        ui->ComboBox_Frame_Style->setCurrentIndex(styleIndex(e->frame.style));
        ui->SpinEdit_Frame_Width->setValue(e->frame.width);
        ui->CheckBox_Style_Bold->setChecked(e->font.bold);
        ui->CheckBox_Style_Italic->setChecked(e->font.italic);
        ui->CheckBox_Style_Underline->setChecked(e->font.underline);
        ui->CheckBox_Style_StrikeOut->setChecked(e->font.strikeOut);
        ui->SpinEdit_Font_Size->setValue(e->font.size);
        if (e->kind != chosenKind()) {
            QRadioButton* r = e->kind == ElementKind::Label        ? ui->RadioButton_Etiket
                              : e->kind == ElementKind::SystemData ? ui->RadioButton_Sistemni
                                                                   : ui->RadioButton_Baza;
            r->setChecked(true);
        }
        if (e->kind == ElementKind::DataField) {
            const int field = ui->ComboBox_Poleta->findData(QStringList{e->dataSet, e->dataField});
            if (field >= 0)
                ui->ComboBox_Poleta->setCurrentIndex(field);
        } else {
            const int code = ui->ComboBox_Type->findData(e->code);
            if (code >= 0)
                ui->ComboBox_Type->setCurrentIndex(code);
        }
    }
    showing_ = false;
}

} // namespace torvika
