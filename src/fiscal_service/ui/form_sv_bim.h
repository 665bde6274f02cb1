#pragma once
// "Свидетелсва на БИМ": the register of model certificates. The grid lists
// every certificate with its sealing company ("Фискален център");
// "Добави" begins a new certificate and "Приеми" stores it, "Редактирай"
// (or a double click) opens the current one, "Изтрии" asks and deletes it
// by its key. "Контрагент" takes the sealing company from the counterparty
// list. A new certificate starts with the number "1" and today's date and
// keeps the last counterparty chosen.

#include "common/ui/record_window.h"
#include "shell/ui/host.h"

#include <memory>

namespace Ui {
class TForm_Sv_BIM;
}

namespace torvika {

class TForm_Sv_BIM : public RecordWindow {
    Q_OBJECT
public:
    explicit TForm_Sv_BIM(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Sv_BIM() override;

    // The follow-up of the counterparty list opened from "Контрагент".
    static void addFollowUps(FollowUpRegistry& registry);
    // The counterparty chosen, as a reference text.
    void takeCounterparty(const QString& ref);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Label4Click();

    WindowContext context_;
    std::unique_ptr<Ui::TForm_Sv_BIM> ui;
};

} // namespace torvika
