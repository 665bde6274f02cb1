#include "documents/ui/name_of_document.h"

#include "common/grid_export.h"
#include "ui_name_of_document.h"

#include <algorithm>

namespace torvika {

TName_Of_Dokument::TName_Of_Dokument(const QString& name, const QStringList& existing, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TName_Of_Dokument>()), existing_(existing) {
    ui->setupUi(this);
    ui->Edit_Name_Of_Dok->setText(name);
    connect(ui->SpinEdit_Nomer_Dok, &QSpinBox::valueChanged, this, &TName_Of_Dokument::update);
    connect(ui->SpinEdit_Format_Dok, &QSpinBox::valueChanged, this, &TName_Of_Dokument::update);
    connect(ui->Edit_Name_Of_Dok, &QLineEdit::textChanged, this, &TName_Of_Dokument::update);
    connect(ui->OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    ui->OKBtn->setDefault(true);
    update();
}

TName_Of_Dokument::~TName_Of_Dokument() = default;

QString TName_Of_Dokument::name() const {
    return ui->Edit_Name_Of_Dok->text().trimmed();
}

QString TName_Of_Dokument::formattedNumber() const {
    return FORMAT_NUMBERS(QString::number(ui->SpinEdit_Nomer_Dok->value()), ui->SpinEdit_Format_Dok->value());
}

void TName_Of_Dokument::update() {
    ui->Label_Formated_Nom->setText(formattedNumber());
    const bool exists = std::any_of(existing_.begin(), existing_.end(), [this](const QString& k) {
        return k.compare(name(), Qt::CaseInsensitive) == 0;
    });
    ui->SpinEdit_Nomer_Dok->setEnabled(!exists);
    ui->SpinEdit_Format_Dok->setEnabled(!exists);
    ui->Label_Existing->setText(
        exists ? QStringLiteral("Документът съществува: номерата му продължават от текущия.") : QString());
}

} // namespace torvika
