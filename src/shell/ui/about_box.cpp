#include "shell/ui/about_box.h"

#include "common/texts.h"
#include "shell/texts.h"
#include "shell/version.h"
#include "ui_about_box.h"

namespace torvika {

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent), ui(new Ui::TAboutBox) {
    ui->setupUi(this);
    // Twice the size of the desktop's font, whatever that is.
    QFont f = ui->ProductName->font();
    f.setPointSizeF(f.pointSizeF() * 2);
    ui->ProductName->setFont(f);
    ui->ProductName->setText(texts::kProgramName);
    ui->Version->setText(texts::kVersionPrefix + GETFILEVERSION());
    connect(ui->ButtonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
}

TAboutBox::~TAboutBox() = default;

} // namespace torvika
