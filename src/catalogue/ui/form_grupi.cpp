#include "catalogue/ui/form_grupi.h"

#include "catalogue/article_groups.h"
#include "catalogue/articles.h"
#include "catalogue/texts.h"
#include "common/new_keys.h"
#include "common/ui/error_edge.h"
#include "common/ui/messages.h"
#include "ui_form_grupi.h"

namespace torvika {

TForm_Grupi::TForm_Grupi(const WindowContext& context, QWidget* parent)
    : QDialog(parent), ui(new Ui::TForm_Grupi), session_(context.session) {
    ui->setupUi(this);
    connect(ui->Button_Priemi, &QPushButton::clicked, this, &TForm_Grupi::Button_PriemiClick);
    connect(ui->Button_Otkaji, &QPushButton::clicked, this, &QDialog::reject);
}

TForm_Grupi::TForm_Grupi(const WindowContext& context, const QString& kind, const QString& parentNode,
                         QWidget* parent)
    : TForm_Grupi(context, parent) {
    parentNode_ = parentNode;
    setWindowTitle(texts::kEnteringGroup + kind);
    ui->Edit_Nomer_Grupa->setText(
        QString::number(GET_MAX_NUMBER(session_.db(), QStringLiteral("Grupi"), QStringLiteral("ID"))));
    ui->Edit_Opisanie_Grupa->setFocus();
}

TForm_Grupi::TForm_Grupi(const WindowContext& context, qint64 group, const QString& name, QWidget* parent)
    : TForm_Grupi(context, parent) {
    oldNumber_ = group;
    setWindowTitle(texts::kEditingGroup + name);
    ui->Edit_Nomer_Grupa->setText(QString::number(group));
    ui->Edit_Opisanie_Grupa->setText(name);
    ui->Edit_Opisanie_Grupa->setFocus();
}

TForm_Grupi::~TForm_Grupi() = default;

QString TForm_Grupi::name() const {
    return ui->Edit_Opisanie_Grupa->text().trimmed();
}

void TForm_Grupi::Button_PriemiClick() {
    const std::optional<qint64> number = parseKeyNumber(ui->Edit_Nomer_Grupa->text());
    if (!number) {
        showMessage(texts::kGroupNumberNotPositive);
        ui->Edit_Nomer_Grupa->setFocus();
        return;
    }
    if (name().isEmpty()) {
        showMessage(texts::kEnterGroupName);
        ui->Edit_Opisanie_Grupa->setFocus();
        return;
    }
    bool stored = false;
    if (!guarded([&] {
            const QString file = articleTreeFile(session_.workspace.directory());
            stored = editing() ? updateArticleGroup(session_.db(), file, oldNumber_, *number, name(), &tree_)
                               : addArticleGroup(session_.db(), file, *number, name(), parentNode_, &tree_);
        }))
        return;
    if (!stored) {
        showMessage(texts::kGroupNumberTaken);
        ui->Edit_Nomer_Grupa->selectAll();
        ui->Edit_Nomer_Grupa->setFocus();
        return;
    }
    number_ = *number;
    accept();
}

} // namespace torvika
