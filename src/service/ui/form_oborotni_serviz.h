#pragma once
// "Оборотни": the service's turnover over a period: the items received and
// issued in it (those issued under warranty apart), the items in service
// now, and what the repairs of the items issued came to in leva.

#include "shell/ui/host.h"

#include <QDialog>
#include <memory>

namespace Ui {
class TForm_Oborotni_Serviz;
}

namespace torvika {

class TForm_Oborotni_Serviz : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Oborotni_Serviz(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Oborotni_Serviz() override;

private:
    void showTurnover();

    std::unique_ptr<Ui::TForm_Oborotni_Serviz> ui;
    Session& session_;
    WindowContext context_;
};

} // namespace torvika
