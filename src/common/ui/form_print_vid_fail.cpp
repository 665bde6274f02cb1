#include "common/ui/form_print_vid_fail.h"

#include "common/grid_export.h"
#include "ui_form_print_vid_fail.h"

#include <QButtonGroup>
#include <iterator>

namespace torvika {

TForm_Print_Vid_Fail::TForm_Print_Vid_Fail(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), ui(new Ui::TForm_Print_Vid_Fail),
      group_(new QButtonGroup(this)) {
    ui->setupUi(this);
    // The items' captions come with their kinds, in the chooser's order.
    QRadioButton* const items[] = {ui->RadioButton_Vid_0, ui->RadioButton_Vid_1, ui->RadioButton_Vid_2,
                                   ui->RadioButton_Vid_3};
    static_assert(std::size(items) == exportKindChoices.size());
    for (const ExportKindChoice& c : exportKindChoices) {
        items[c.number]->setText(c.caption.toString());
        group_->addButton(items[c.number], c.number);
    }
    connect(ui->BitBtn_Priemi, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->BitBtn_Otkaji, &QPushButton::clicked, this, &QDialog::reject);
}

TForm_Print_Vid_Fail::~TForm_Print_Vid_Fail() = default;

int TForm_Print_Vid_Fail::choice() const {
    return qMax(0, group_->checkedId());
}

void TForm_Print_Vid_Fail::setChoice(int choice) {
    if (QAbstractButton* b = group_->button(choice))
        b->setChecked(true);
}

bool TForm_Print_Vid_Fail::choose(ExportKind& kind, QWidget* parent) {
    TForm_Print_Vid_Fail form(parent);
    form.setChoice(kind.number);
    if (form.exec() != QDialog::Accepted)
        return false;
    kind = exportKindFor(form.choice());
    return true;
}

} // namespace torvika
