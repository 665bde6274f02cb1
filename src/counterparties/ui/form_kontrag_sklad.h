#pragma once
// "Складове за избран контрагент": the sites of a counterparty.

#include "counterparties/ui/details_dialog.h"

#include <memory>

namespace Ui {
class TForm_Kontrag_Sklad;
}

namespace torvika {

class TForm_Kontrag_Sklad : public DetailsDialog {
    Q_OBJECT
public:
    TForm_Kontrag_Sklad(Session& session, qint64 counterparty, const QString& refText,
                        QWidget* parent = nullptr);
    ~TForm_Kontrag_Sklad() override;

private:
    std::unique_ptr<Ui::TForm_Kontrag_Sklad> ui;
};

} // namespace torvika
