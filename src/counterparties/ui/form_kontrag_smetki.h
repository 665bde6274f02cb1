#pragma once
// "Сметки за избран контрагент": the bank accounts of a counterparty.

#include "counterparties/ui/details_dialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace torvika {

class TForm_Kontrag_Smetki : public DetailsDialog {
    Q_OBJECT
public:
    TForm_Kontrag_Smetki(Session& session, qint64 counterparty, const QString& refText,
                         QWidget* parent = nullptr);

protected:
    SqlStatement statement() const override;
    void clearFields() override;
    void loadRow(int row) override;
    void enteringState(State state) override;
    void save(bool isNew) override;

private:
    QLineEdit* account_;
    QLineEdit* code_;
    QLineEdit* branch_;
    QComboBox* bank_;
    QCheckBox* vat_;
};

} // namespace torvika
