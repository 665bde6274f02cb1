#pragma once
// "Демонтаж ФП": the fiscal memory's totals per tax group collected when a
// device is dismantled, with their total in figures and in words, and the
// period they cover. An amount is a number with "." or "," as the decimal
// point; one that is not is replaced by "0.0000" when the field is left and
// counts with its last good value meanwhile. The dialog keeps its amounts
// between showings; both dates become today at every showing.

#include "fiscal_service/dismantling.h"

#include <QDialog>
#include <functional>
#include <memory>

class QLineEdit;

namespace Ui {
class TForm_Data_ToFisk_Serv;
}

namespace torvika {

class TForm_Data_ToFisk_Serv : public QDialog {
    Q_OBJECT
public:
    // words: the base currency's, for the total in words.
    explicit TForm_Data_ToFisk_Serv(std::function<QDate()> today, const CurrencyWords& words = {},
                                    QWidget* parent = nullptr);
    ~TForm_Data_ToFisk_Serv() override;

    // The amounts and the period as the dialog shows them now.
    DismantlingTotals totals() const;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CALCULATE_STAVKA_DDS_SUM();
    void amountLeft(int group);

    std::unique_ptr<Ui::TForm_Data_ToFisk_Serv> ui;
    std::function<QDate()> today_;
    QList<QLineEdit*> fields_;
    DismantlingTotals totals_;
};

} // namespace torvika
