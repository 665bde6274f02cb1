#pragma once
// "Обща отстъпка за артикулите": the free discount of the selected lines'
// articles, typed as a percentage or computed from an old and a new price.

#include "common/decimal.h"

#include <QDialog>
#include <memory>
#include <optional>

namespace Ui {
class TOKBottomDlg;
}

namespace torvika {

class TOKBottomDlg : public QDialog {
    Q_OBJECT
public:
    explicit TOKBottomDlg(QWidget* parent = nullptr);
    ~TOKBottomDlg() override;

    // The percentage typed (none when it is not a number).
    std::optional<Decimal> percent() const;

    // OK: accepted only with a percentage of at most 100.
    void acceptPercent();

private:
    void newPriceChanged();

    std::unique_ptr<Ui::TOKBottomDlg> ui;
};

} // namespace torvika
