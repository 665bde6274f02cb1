#pragma once
// "Свободни артикулни номера": the free numbers of a group, from the
// connection's working table Free_Art, which is dropped when the dialog
// closes; "ИЗБЕРИ" hands the chosen number to the article dialog.

#include "shell/ui/host.h"

#include <QDialog>
#include <memory>

namespace Ui {
class TForm_Free_Art_ID;
}

namespace torvika {

class StatementModel;

class TForm_Free_Art_ID : public QDialog {
    Q_OBJECT
public:
    // Lists the numbers (already in Free_Art) of the group.
    TForm_Free_Art_ID(const WindowContext& context, qint64 group, QWidget* parent = nullptr);
    ~TForm_Free_Art_ID() override;

    StatementModel* model() const { return model_; }
    // The number chosen with "ИЗБЕРИ"; 0 before.
    qint64 chosen() const { return chosen_; }
    // Makes the row of the number current; false when it is not listed.
    bool positionOn(qint64 number);

    void BitBtn_IzberiClick();

protected:
    void done(int result) override;

private:
    std::unique_ptr<Ui::TForm_Free_Art_ID> ui;
    Session& session_;
    StatementModel* model_;
    qint64 chosen_ = 0;
};

} // namespace torvika
