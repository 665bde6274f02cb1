#include "documents/ui/form_print_vid_fail.h"

#include "documents/grid_export.h"

#include <QButtonGroup>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace torvika {

TForm_Print_Vid_Fail::TForm_Print_Vid_Fail(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), group_(new QButtonGroup(this)) {
    setObjectName(QStringLiteral("Form_Print_Vid_Fail"));
    setModal(true);

    // Without a title bar the box draws its own raised border.
    auto* frame = new QFrame(this);
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    frame->setLineWidth(2);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);

    auto* box = new QGroupBox(QStringLiteral("Изберете вид на файла"), frame);
    box->setObjectName(QStringLiteral("RadioGroup_Vid_Fail"));
    auto* items = new QVBoxLayout(box);
    for (const ExportKindChoice& c : exportKindChoices) {
        auto* radio = new QRadioButton(c.caption.toString(), box);
        radio->setObjectName(QStringLiteral("RadioButton_Vid_%1").arg(c.number));
        group_->addButton(radio, c.number);
        items->addWidget(radio);
    }
    group_->button(0)->setChecked(true);

    auto* ok = new QPushButton(QStringLiteral("ПРИЕМИ"), frame);
    ok->setObjectName(QStringLiteral("BitBtn_Priemi"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("ОТКАЖИ"), frame);
    cancel->setObjectName(QStringLiteral("BitBtn_Otkaji"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* inner = new QVBoxLayout(frame);
    inner->addWidget(box);
    inner->addLayout(buttons);
}

int TForm_Print_Vid_Fail::choice() const {
    return qMax(0, group_->checkedId());
}

void TForm_Print_Vid_Fail::setChoice(int choice) {
    if (QAbstractButton* b = group_->button(choice))
        b->setChecked(true);
}

bool TForm_Print_Vid_Fail::choose(Session& session, QWidget* parent) {
    TForm_Print_Vid_Fail form(parent);
    form.setChoice(session.state<ExportKind>().number);
    if (form.exec() != QDialog::Accepted)
        return false;
    session.state<ExportKind>() = exportKindFor(form.choice());
    return true;
}

} // namespace torvika
