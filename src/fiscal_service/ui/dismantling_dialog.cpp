#include "fiscal_service/ui/dismantling_dialog.h"

#include "ui_form_data_tofisk_serv.h"

#include <QEvent>
#include <QTimer>

namespace torvika {

namespace {
const QString kZero = QStringLiteral("0.0000");
}

TForm_Data_ToFisk_Serv::TForm_Data_ToFisk_Serv(std::function<QDate()> today, const CurrencyWords& words,
                                               QWidget* parent)
    : QDialog(parent), ui(new Ui::TForm_Data_ToFisk_Serv), today_(std::move(today)) {
    ui->setupUi(this);
    totals_.words = words;
    fields_ = {ui->Edit_DDS_A, ui->Edit_DDS_B, ui->Edit_DDS_V, ui->Edit_DDS_G};
    for (int i = 0; i < fields_.size(); ++i) {
        QLineEdit* f = fields_[i];
        f->installEventFilter(this);
        connect(f, &QLineEdit::textChanged, this, [this] { CALCULATE_STAVKA_DDS_SUM(); });
        connect(f, &QLineEdit::editingFinished, this, [this, i] { amountLeft(i); });
    }
    connect(ui->BitBtn_Zapis, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->BitBtn_Otkaz, &QPushButton::clicked, this, &QDialog::reject);
    CALCULATE_STAVKA_DDS_SUM();
}

TForm_Data_ToFisk_Serv::~TForm_Data_ToFisk_Serv() = default;

void TForm_Data_ToFisk_Serv::showEvent(QShowEvent* event) {
    const QDate today = today_();
    ui->DateTimePicker_Ot->setDate(today);
    ui->DateTimePicker_Do->setDate(today);
    QDialog::showEvent(event);
}

bool TForm_Data_ToFisk_Serv::eventFilter(QObject* watched, QEvent* event) {
    // Entering an amount or clicking in it selects its whole text.
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::MouseButtonRelease)
        if (auto* f = qobject_cast<QLineEdit*>(watched))
            QTimer::singleShot(0, f, &QLineEdit::selectAll);
    return QDialog::eventFilter(watched, event);
}

void TForm_Data_ToFisk_Serv::CALCULATE_STAVKA_DDS_SUM() {
    for (int i = 0; i < fields_.size(); ++i) {
        const QString text = fields_[i]->text().trimmed();
        if (text.isEmpty())
            totals_.amounts[i] = Decimal();
        else if (const auto amount = dismantlingAmount(text))
            totals_.amounts[i] = *amount;
    }
    ui->Edit_DDS_SUM->setText(totals_.totalText());
    ui->Label5->setText(totals_.totalWords());
}

DismantlingTotals TForm_Data_ToFisk_Serv::totals() const {
    DismantlingTotals t = totals_;
    t.from = ui->DateTimePicker_Ot->date();
    t.to = ui->DateTimePicker_Do->date();
    return t;
}

void TForm_Data_ToFisk_Serv::amountLeft(int group) {
    QLineEdit* f = fields_[group];
    if (!dismantlingAmount(f->text()))
        f->setText(kZero);
}

} // namespace torvika
