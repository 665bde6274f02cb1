#include "shell/ui/about_box.h"

#include "shell/version.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

namespace torvika {

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("ЗА НАС"));
    auto* l = new QVBoxLayout(this);
    auto* product = new QLabel(kProductName, this);
    product->setObjectName(QStringLiteral("ProductName"));
    QFont f = product->font();
    f.setPointSizeF(f.pointSizeF() * 2);
    f.setBold(true);
    product->setFont(f);
    product->setAlignment(Qt::AlignCenter);
    auto* version = new QLabel(QStringLiteral("Ver.") + GETFILEVERSION(), this);
    version->setObjectName(QStringLiteral("Version"));
    version->setAlignment(Qt::AlignCenter);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    l->addWidget(product);
    l->addWidget(version);
    l->addWidget(buttons);
}

} // namespace torvika
