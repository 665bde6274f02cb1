#pragma once
// "Нова група": a new counterparty group (or subgroup) with its number
// and name; the list window adds the node to its tree.

#include "shell/ui/host.h"

#include <QDialog>
#include <memory>

namespace Ui {
class TForm_Grupi_Kontrag;
}

namespace torvika {

class TForm_Grupi_Kontrag : public QDialog {
    Q_OBJECT
public:
    // kind is the caption of the menu entry used: "Група" or "Подгрупа".
    TForm_Grupi_Kontrag(const WindowContext& context, const QString& kind, QWidget* parent = nullptr);
    ~TForm_Grupi_Kontrag() override;

    qint64 number() const { return number_; }
    QString name() const;

    // "Запис": stores the group and accepts; a number that is taken (or
    // not a number) is refused with a message.
    void Button_ZapisClick();

private:
    std::unique_ptr<Ui::TForm_Grupi_Kontrag> ui;
    Session& session_;
    qint64 number_ = 0;
};

} // namespace torvika
