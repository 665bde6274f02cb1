#pragma once
// The small input dialog that several windows share: a quantity for an
// article, a serial number or series, the number of an open bill, the
// reason of an invalidation or the name of an own query. Borderless and
// centred on its parent; "ПРИЕМИ" accepts only a valid entry.

#include "common/decimal.h"

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>

namespace Ui {
class TForm_Get_Kol;
}

namespace torvika {

class TForm_Get_Kol : public QDialog {
    Q_OBJECT
public:
    enum Mode { Quantity = 0, SerialOrSeries = 1, BillNumber = 2, Reason = 3, QueryName = 4 };

    // article is the reference text of the article the entry is for.
    TForm_Get_Kol(Mode mode, const QString& article, QWidget* parent = nullptr);
    ~TForm_Get_Kol() override;

    Mode mode() const { return mode_; }
    // The entry of Edit_Kol (quantity, bill number, reason, query name).
    QString text() const;
    // The quantity or bill number, once accepted.
    const Decimal& number() const { return number_; }
    QString serial() const;
    QString guarantee() const;
    // The warranty text proposed with a serial number.
    void setGuarantee(const QString& text);

    // A further rule of the caller for the quantity or bill number typed:
    // a text it refuses is refused as one the mode refuses.
    void setAccepts(std::function<bool(const QString&)> accepts) { accepts_ = std::move(accepts); }

    // "ПРИЕМИ": a quantity must be a number of at least 0 and a bill
    // number a whole one (and the caller's rule must accept it); otherwise
    // the message, and the caret stays.
    void Button_PriemiClick();

private:
    std::unique_ptr<Ui::TForm_Get_Kol> ui;
    Mode mode_;
    Decimal number_;
    std::function<bool(const QString&)> accepts_;
};

// The quantity of the article; none when the operator cancelled.
std::optional<Decimal> askQuantity(const QString& article, QWidget* parent);

} // namespace torvika
