#pragma once
// "Създай собствени справки": the operator's own queries. The statement is
// typed (or chosen from the stored ones), run read-only with "Генерирай"
// (and stopped with "Прекъсни"), stored by name with "Запис", its result
// totalled or averaged by column from the grid's menu and printed into a
// grid export file. In the use mode the statement cannot be edited and
// nothing is stored.

#include "documents/own_queries.h"
#include "shell/ui/host.h"

#include <QDialog>
#include <memory>

class QAction;

namespace Ui {
class TForm_Create_Own_Query;
}

namespace torvika {

class OwnQueryModel;

class TForm_Create_Own_Query : public QDialog {
    Q_OBJECT
public:
    enum Mode { Design, Use };
    TForm_Create_Own_Query(const WindowContext& context, Mode mode, QWidget* parent = nullptr);
    ~TForm_Create_Own_Query() override;

    // The rows of the last run.
    const OwnQueryResult& result() const { return result_; }
    // Whether a run is going on.
    bool running() const { return run_ != nullptr; }

protected:
    void showEvent(QShowEvent* e) override;
    void reject() override;

private:
    void FormShow();
    void ComboBox_SQLsChange();
    void Button_CreateClick();
    void Button_CancelClick();
    void Button_SaveClick();
    void Button_PrintClick();
    void runEnded();
    void total(bool average);
    void updateCalculate();
    void setRunning(bool on);
    OwnQueryStore store() const;

    std::unique_ptr<Ui::TForm_Create_Own_Query> ui;
    WindowContext context_;
    Session& session_;
    Mode mode_;
    OwnQueryModel* model_ = nullptr;
    OwnQueryResult result_;
    std::unique_ptr<OwnQueryRun> run_;
    QAction* calculate_ = nullptr;
};

} // namespace torvika
