#pragma once
// The export-kind chooser: a borderless modal box with the four kinds of
// grid export files; "ПРИЕМИ" makes the chosen kind the run's export kind,
// "ОТКАЖИ" leaves the previous one.

#include "common/export_kind.h"

#include <QDialog>
#include <memory>

class QButtonGroup;

namespace Ui {
class TForm_Print_Vid_Fail;
}

namespace torvika {

class TForm_Print_Vid_Fail : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Print_Vid_Fail(QWidget* parent = nullptr);
    ~TForm_Print_Vid_Fail() override;

    // The index of the checked item (0 to 3).
    int choice() const;
    void setChoice(int choice);

    // Shows the chooser with the kind in use checked (the first item before
    // any choice) and makes the chosen one the kind in use when accepted.
    // Callers go on in either case; the result only tells whether the kind
    // was chosen.
    static bool choose(ExportKind& kind, QWidget* parent = nullptr);

private:
    std::unique_ptr<Ui::TForm_Print_Vid_Fail> ui;
    QButtonGroup* group_; // the items, by kind number
};

} // namespace torvika
