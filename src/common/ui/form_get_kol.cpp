#include "common/ui/form_get_kol.h"

#include "common/texts.h"
#include "common/ui/messages.h"
#include "ui_form_get_kol.h"

namespace torvika {

TForm_Get_Kol::TForm_Get_Kol(Mode mode, const QString& article, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), ui(new Ui::TForm_Get_Kol), mode_(mode) {
    ui->setupUi(this);
    ui->Label_Artikul->setText(article);
    ui->Label_Artikul->setVisible(mode != BillNumber && !article.isEmpty());
    const bool serial = mode == SerialOrSeries;
    for (QWidget* w : {static_cast<QWidget*>(ui->Label_SN), static_cast<QWidget*>(ui->Edit_SN),
                       static_cast<QWidget*>(ui->Label_Garanc), static_cast<QWidget*>(ui->Edit_Garanc)})
        w->setVisible(serial);
    ui->Label_Kol->setVisible(!serial);
    ui->Edit_Kol->setVisible(!serial);
    switch (mode) {
    case Quantity:
        ui->Label_Kol->setText(texts::kGetKolQuantity);
        break;
    case SerialOrSeries:
        break;
    case BillNumber:
        ui->Label_Kol->setText(texts::kGetKolBill);
        break;
    case Reason:
        ui->Label_Kol->setText(texts::kGetKolReason);
        break;
    case QueryName:
        ui->Label_Kol->setText(texts::kGetKolQueryName);
        break;
    }
    ui->Edit_Kol->setText(mode == Reason ? texts::kGetKolReasonText : QStringLiteral("1"));
    if (serial) {
        ui->Edit_SN->setFocus();
    } else {
        ui->Edit_Kol->selectAll();
        ui->Edit_Kol->setFocus();
    }
    connect(ui->Button_Priemi, &QPushButton::clicked, this, &TForm_Get_Kol::Button_PriemiClick);
    connect(ui->Button_Otkaji, &QPushButton::clicked, this, &QDialog::reject);
}

TForm_Get_Kol::~TForm_Get_Kol() = default;

QString TForm_Get_Kol::text() const {
    return ui->Edit_Kol->text();
}

QString TForm_Get_Kol::serial() const {
    return ui->Edit_SN->text();
}

QString TForm_Get_Kol::guarantee() const {
    return ui->Edit_Garanc->text();
}

void TForm_Get_Kol::setGuarantee(const QString& text) {
    ui->Edit_Garanc->setText(text);
}

void TForm_Get_Kol::Button_PriemiClick() {
    if (mode_ == Quantity || mode_ == BillNumber) {
        // "1,5" and "1.5" alike; never an exponent or a binary fraction.
        const std::optional<Decimal> v = Decimal::parse(ui->Edit_Kol->text());
        const bool whole = v && (mode_ == Quantity || *v == v->integerPart());
        if (!v || *v < 0 || !whole || (accepts_ && !accepts_(ui->Edit_Kol->text()))) {
            showMessage(mode_ == Quantity ? texts::kBadQuantity : texts::kBadBillNumber);
            ui->Edit_Kol->selectAll();
            ui->Edit_Kol->setFocus();
            return;
        }
        number_ = *v;
    }
    accept();
}

std::optional<Decimal> askQuantity(const QString& article, QWidget* parent) {
    TForm_Get_Kol dialog(TForm_Get_Kol::Quantity, article, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.number();
}

} // namespace torvika
