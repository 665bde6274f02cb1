#pragma once
// "Складове за избран контрагент": the sites of a counterparty.

#include "counterparties/ui/details_dialog.h"

#include <QList>
#include <memory>

class QLineEdit;

namespace Ui {
class TForm_Kontrag_Sklad;
}

namespace torvika {

class TForm_Kontrag_Sklad : public DetailsDialog {
    Q_OBJECT
public:
    TForm_Kontrag_Sklad(const WindowContext& context, qint64 counterparty, const QString& refText,
                        QWidget* parent = nullptr);
    ~TForm_Kontrag_Sklad() override;

protected:
    SqlStatement statement() const override;
    void clearFields() override;
    void loadRow(int row) override;
    void save(bool isNew) override;

private:
    std::unique_ptr<Ui::TForm_Kontrag_Sklad> ui;
    // The fields in the order of the grid's columns after the key.
    QList<QLineEdit*> edits_;
};

} // namespace torvika
