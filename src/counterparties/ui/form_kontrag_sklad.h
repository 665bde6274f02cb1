#pragma once
// "Складове за избран контрагент": the sites of a counterparty.

#include "counterparties/ui/details_dialog.h"

#include <QList>

class QLineEdit;

namespace torvika {

class TForm_Kontrag_Sklad : public DetailsDialog {
    Q_OBJECT
public:
    TForm_Kontrag_Sklad(Session& session, qint64 counterparty, const QString& refText,
                        QWidget* parent = nullptr);

protected:
    SqlStatement statement() const override;
    void clearFields() override;
    void loadRow(int row) override;
    void save(bool isNew) override;

private:
    // Описание, Град, Адрес, Телефон, МОЛ, ЕГН, Лична карта, Издадена от.
    QList<QLineEdit*> edits_;
};

} // namespace torvika
