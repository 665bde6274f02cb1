#pragma once
// "Настройка на бързи бутони" (TForm_Fast_Buttons): the menu tree with each
// command's shortcut. "ПРИЛОЖИ" gives the selected command the key of
// HotKey1 for this run (an empty key removes its shortcut); a key another
// command has already is asked about first and, when the operator agrees,
// moves to this command. "ЗАПИС" stores every command's shortcut in the
// operator's section of Firm_Data.ini and closes; "ОТКАЗ" closes, leaving
// the shortcuts applied in effect for the run.

#include "shell/ui/host.h"

#include <QDialog>
#include <memory>

class QTreeWidgetItem;

namespace Ui {
class TForm_Fast_Buttons;
}

namespace torvika {

class TForm_Fast_Buttons : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Fast_Buttons(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Fast_Buttons() override;

protected:
    void showEvent(QShowEvent* e) override;

private slots:
    void BitBtn3Click();
    void BitBtn1Click();
    void TreeView_Fast_ButonsChange();

private:
    void fillTree();
    QAction* actionOf(const QTreeWidgetItem* item) const;
    void showShortcut(QTreeWidgetItem* item);

    const WindowContext context_;
    std::unique_ptr<Ui::TForm_Fast_Buttons> ui;
    QList<QTreeWidgetItem*> items_; // by node number; [0] the root
};

} // namespace torvika
