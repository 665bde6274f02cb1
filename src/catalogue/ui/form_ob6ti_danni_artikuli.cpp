#include "catalogue/ui/form_ob6ti_danni_artikuli.h"

#include "catalogue/articles.h"
#include "catalogue/reference_lists.h"
#include "catalogue/texts.h"
#include "common/ref_text.h"
#include "common/ui/error_edge.h"
#include "common/ui/messages.h"
#include "shell/vat_rates.h"
#include "ui_form_ob6ti_danni_artikuli.h"

#include <QCheckBox>
#include <QSpinBox>

namespace torvika {

TForm_Ob6ti_Danni_artikuli::TForm_Ob6ti_Danni_artikuli(const WindowContext& context,
                                                       const QList<qint64>& articles, QWidget* parent)
    : QDialog(parent), ui(new Ui::TForm_Ob6ti_Danni_artikuli), session_(context.session),
      articles_(articles) {
    ui->setupUi(this);
    VatRates rates = VatRates::defaults();
    guarded([&] { rates = storedVatRates(session_.db()); });
    ui->ComboBox_Dan_Grupa->addItems(vatGroupItems(rates));
    ui->ComboBox_Trajnost->addItems(durationUnitItems());
    ui->ComboBox_Gar_Srok->addItems(durationUnitItems());
    guarded([&] {
        const QSqlDatabase db = session_.db();
        ui->ComboBox_Prigotvq_Se->addItems(departmentItems(db));
        ui->ComboBox_Valuta->addItems(currencyNames(db));
        ui->ComboBox_Mqrka->addItems(unitItems(db));
    });
    const QList<QCheckBox*> boxes = findChildren<QCheckBox*>();
    for (QCheckBox* box : boxes) {
        box->setChecked(false);
        connect(box, &QCheckBox::toggled, this, [this] { updateEnabled(); });
    }
    // Ticking the VAT group preselects group 1, the warranty mark "True".
    connect(ui->CheckBox_Dan_Grupa, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            ui->ComboBox_Dan_Grupa->setCurrentIndex(1);
    });
    connect(ui->CheckBox_Garancionen, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            ui->ComboBox_Garancionen->setCurrentIndex(0);
    });
    connect(ui->CheckBox_Poredica, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            ui->ComboBox_Poredica->setCurrentIndex(0);
    });
    connect(ui->Button_Zapis, &QPushButton::clicked, this, &TForm_Ob6ti_Danni_artikuli::Button_ZapisClick);
    connect(ui->Button_Otkaji, &QPushButton::clicked, this, &QDialog::reject);
    updateEnabled();
}

TForm_Ob6ti_Danni_artikuli::~TForm_Ob6ti_Danni_artikuli() = default;

void TForm_Ob6ti_Danni_artikuli::updateEnabled() {
    ui->ComboBox_Dan_Grupa->setEnabled(ui->CheckBox_Dan_Grupa->isChecked());
    ui->ComboBox_Prigotvq_Se->setEnabled(ui->CheckBox_Prigotvq_Se->isChecked());
    ui->ComboBox_Trajnost->setEnabled(ui->CheckBox_Trajnost->isChecked());
    ui->SpinEdit_Trajnost->setEnabled(ui->CheckBox_Trajnost->isChecked());
    ui->ComboBox_Valuta->setEnabled(ui->CheckBox_Valuta->isChecked());
    ui->ComboBox_Mqrka->setEnabled(ui->CheckBox_Mqrka->isChecked());
    ui->SpinEdit_Min_Kol->setEnabled(ui->CheckBox_Min_Kol->isChecked());
    ui->Edit_Max_TO->setEnabled(ui->CheckBox_Max_TO->isChecked());
    const bool warranty = ui->CheckBox_Garancionen->isChecked();
    ui->ComboBox_Garancionen->setEnabled(warranty);
    // The warranty period shows while the warranty mark is ticked.
    ui->ComboBox_Gar_Srok->setVisible(warranty);
    ui->SpinEdit_Gar_Srok->setVisible(warranty);
    ui->ComboBox_Poredica->setEnabled(ui->CheckBox_Poredica->isChecked());
    ui->CheckBox_Poredica->setEnabled(!warranty);
    ui->CheckBox_Garancionen->setEnabled(!ui->CheckBox_Poredica->isChecked());
}

std::optional<ArticleCommonData> TForm_Ob6ti_Danni_artikuli::data() {
    ArticleCommonData d;
    if (ui->CheckBox_Dan_Grupa->isChecked())
        d.vatGroup = GetID_MFromTreeNodeName(ui->ComboBox_Dan_Grupa->currentText());
    if (ui->CheckBox_Prigotvq_Se->isChecked())
        d.preparation = qMax(0, GetID_MFromTreeNodeName(ui->ComboBox_Prigotvq_Se->currentText()));
    if (ui->CheckBox_Trajnost->isChecked())
        d.shelfLife = shelfLifeText(ui->ComboBox_Trajnost->currentIndex(), ui->SpinEdit_Trajnost->value());
    if (ui->CheckBox_Valuta->isChecked())
        d.currency = ui->ComboBox_Valuta->currentText();
    if (ui->CheckBox_Mqrka->isChecked())
        d.unit = ui->ComboBox_Mqrka->currentText().trimmed();
    if (ui->CheckBox_Min_Kol->isChecked())
        d.minQuantity = ui->SpinEdit_Min_Kol->value();
    if (ui->CheckBox_Max_TO->isChecked()) {
        const std::optional<Decimal> v = Decimal::parse(ui->Edit_Max_TO->text());
        if (!v || *v < 0 || *v > 100) {
            showMessage(texts::kBadMaxDiscount);
            ui->Edit_Max_TO->setFocus();
            return std::nullopt;
        }
        d.maxDiscount = *v;
    }
    if (ui->CheckBox_Garancionen->isChecked()) {
        d.warranty = ui->ComboBox_Garancionen->currentIndex() == 0;
        // Only a warranty article has a warranty period to write.
        if (*d.warranty)
            d.warrantyPeriod =
                shelfLifeText(ui->ComboBox_Gar_Srok->currentIndex(), ui->SpinEdit_Gar_Srok->value());
    }
    if (ui->CheckBox_Poredica->isChecked())
        d.series = ui->ComboBox_Poredica->currentIndex() == 0;
    d.vatIncluded = ui->CheckBox_DDS->isChecked();
    return d;
}

void TForm_Ob6ti_Danni_artikuli::Button_ZapisClick() {
    const std::optional<ArticleCommonData> d = data();
    if (!d)
        return;
    if (!guarded([&] { changed_ = setCommonData(session_.db(), articles_, *d); }))
        return;
    accept();
}

} // namespace torvika
