#pragma once
// "Населени места": a direct editor of the towns table Grad, with a
// navigator (insert, delete, edit, post, cancel). Deleting asks nothing;
// closing the window abandons a row that was not posted.

#include "shell/session.h"

#include <QDialog>
#include <memory>

class QSqlTableModel;
class QTableView;

namespace Ui {
class TForm_Grad;
}

namespace torvika {

class TForm_Grad : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Grad(Session& session, QWidget* parent = nullptr);
    ~TForm_Grad() override;

    QSqlTableModel* model() const { return model_; }
    QTableView* grid() const;

    // The navigator's buttons.
    void beginNewRow();
    void deleteRow();
    void editRow();
    // False (with a message) when the rows could not be stored.
    bool post();
    void cancel();

    void done(int result) override;

private:
    std::unique_ptr<Ui::TForm_Grad> ui;
    QSqlTableModel* model_;
};

} // namespace torvika
