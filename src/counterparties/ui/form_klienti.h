#pragma once
// The counterparty card "Контрагенти": the company and its person, opened by
// the list for a new counterparty or for editing one. Its state is idle
// (0), new (1) or edit (2); Button_Insert saves in the new and edit states
// and only closes the card when idle.

#include "common/ui/follow_ups.h"
#include "shell/ui/host.h"

#include <QDialog>
#include <functional>
#include <memory>

class QLineEdit;
class QPushButton;

namespace Ui {
class TForm_Klienti;
}

namespace torvika {

struct FirmCard;
struct PersonCard;
class TownLookup;

// The card's buttons that open a window of another subsystem: the module
// owning the window registers with the host what the button does with the
// card's counterparty (host.followUps().of<CounterpartyCardButtons>(), the
// card as the opener). A button that nothing is registered for stays
// disabled, its tooltip saying why.
enum CounterpartyCardButton : int {
    kCardSpecialDiscounts = 0, // "Специални отстъпки": the sales' special discounts
};
struct CardCounterparty {
    qint64 id = 0;
    QString refText; // "<ID>:<name>"
};
struct CounterpartyCardButtons {
    using Choice = CardCounterparty;
    static constexpr const char* kName = "counterparty card";
    static QList<int> modes() { return {kCardSpecialDiscounts}; }
};

class TForm_Klienti : public QDialog {
    Q_OBJECT
public:
    enum State { Idle = 0, New = 1, Edit = 2 };

    explicit TForm_Klienti(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Klienti() override;

    State state() const { return state_; }
    // The counterparty stored by the last save (new or edited), -1 without one.
    qint64 savedId() const { return savedId_; }

    // Empties the card for a new counterparty of the group.
    void openNew(qint64 group);
    // Fills the card from the stored counterparty; false when there is none.
    bool openEdit(qint64 id);

    // Handlers, public so that tests drive them.
    void Button_InsertClick();
    void Button_CancelClick();
    void Edit_EIKExit();
    void Edit_EGN_MolExit();
    void Button_SkladoveClick();
    void Button_SmetkiClick();
    void Button_Sp_OtstapkiClick();
    void newTown(QLineEdit* field);

    TownLookup* firmTown() const { return firmTown_; }
    TownLookup* personTown() const { return personTown_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setState(State state);
    void clearFields();
    bool saveNew();
    bool saveEdit();
    bool store(const std::function<void()>& save);
    bool readCards(FirmCard& firm, PersonCard& person);
    QString refText() const;

    std::unique_ptr<Ui::TForm_Klienti> ui;
    const WindowContext context_;
    Session& session_;
    State state_ = Idle;
    qint64 group_ = 0;
    qint64 id_ = -1;
    qint64 personId_ = -1;
    qint64 savedId_ = -1;
    bool asking_ = false;
    // Клиентски карти, Складове, Специални отстъпки, Банкови сметки.
    QList<QPushButton*> sideButtons_;
    TownLookup* firmTown_;
    TownLookup* personTown_;
};

} // namespace torvika
