#include "sales/ui/ok_bottom_dlg.h"

#include "common/ui/messages.h"
#include "sales/sale_lines.h"
#include "sales/texts.h"
#include "ui_ok_bottom_dlg.h"

namespace torvika {

namespace {

// An emptied field, or one holding a single blank, gets its default.
void defaultWhenEmpty(QLineEdit* field, const QString& value) {
    QObject::connect(field, &QLineEdit::textChanged, field, [field, value](const QString& text) {
        if (text.isEmpty() || text == QLatin1String(" ")) {
            field->setText(value);
            field->selectAll();
        }
    });
}

} // namespace

TOKBottomDlg::TOKBottomDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), ui(new Ui::TOKBottomDlg) {
    ui->setupUi(this);
    defaultWhenEmpty(ui->Edit_Ob6ta_TO, QStringLiteral("0"));
    defaultWhenEmpty(ui->Edit_Cena1, QStringLiteral("1"));
    defaultWhenEmpty(ui->Edit_Cena2, QStringLiteral("1"));
    connect(ui->Edit_Cena2, &QLineEdit::textEdited, this, &TOKBottomDlg::newPriceChanged);
    connect(ui->OKBtn, &QPushButton::clicked, this, &TOKBottomDlg::acceptPercent);
    connect(ui->CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    ui->Edit_Ob6ta_TO->setFocus();
    ui->Edit_Ob6ta_TO->selectAll();
}

TOKBottomDlg::~TOKBottomDlg() = default;

std::optional<Decimal> TOKBottomDlg::percent() const {
    return Decimal::parse(ui->Edit_Ob6ta_TO->text());
}

void TOKBottomDlg::newPriceChanged() {
    const auto oldPrice = Decimal::parse(ui->Edit_Cena1->text());
    const auto newPrice = Decimal::parse(ui->Edit_Cena2->text());
    if (!oldPrice || !newPrice)
        return;
    if (const auto p = discountBetweenPrices(*oldPrice, *newPrice))
        ui->Edit_Ob6ta_TO->setText(p->toFixed(4));
}

void TOKBottomDlg::acceptPercent() {
    const std::optional<Decimal> p = percent();
    if (!p) {
        showMessage(texts::kIncorrectData);
        return;
    }
    if (*p > Decimal(100)) {
        showMessage(texts::kDiscountAbove100);
        return;
    }
    accept();
}

} // namespace torvika
