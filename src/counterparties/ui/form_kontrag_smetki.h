#pragma once
// "Сметки за избран контрагент": the bank accounts of a counterparty.

#include "counterparties/ui/details_dialog.h"

#include <memory>

namespace Ui {
class TForm_Kontrag_Smetki;
}

namespace torvika {

class TForm_Kontrag_Smetki : public DetailsDialog {
    Q_OBJECT
public:
    TForm_Kontrag_Smetki(Session& session, qint64 counterparty, const QString& refText,
                         QWidget* parent = nullptr);
    ~TForm_Kontrag_Smetki() override;

private:
    std::unique_ptr<Ui::TForm_Kontrag_Smetki> ui;
};

} // namespace torvika
