#pragma once
// The fiscal-service page "ФИСКАЛЕН СЕРВИЗ": the device field, the device's
// registration, contract, owner and site, the five operations
// (registration, contract, dismantling, notification, change of data) with
// their save panel, the lists ("Справка") and the tax-office file, and the
// printing of the page's documents for the device in the field.
//
// A number typed and Enter looks the device up: a registered device is
// shown (an expired contract in red), one not registered opens a
// registration prefilled from the shop's sale of that device. A
// registration's "ЗАПИС" checks it and opens its contract; the contract's
// "ЗАПИС" stores both together.

#include "fiscal_service/devices.h"
#include "shell/ui/host.h"

#include <memory>
#include <optional>

class QAbstractButton;
class QLabel;

namespace Ui {
class FiscalServicePage;
}

namespace torvika {

class StatementModel;
class TForm_Data_ToFisk_Serv;
class TForm_SPR_TDD_Fisk_Ser;

class FiscalServicePage : public HostPage {
    Q_OBJECT
public:
    enum class Operation { None, Registration, Contract, Dismantling, Notification, Change };

    explicit FiscalServicePage(const WindowContext& context, QWidget* parent = nullptr);
    ~FiscalServicePage() override;
    // Empties the device field and puts the caret there.
    void activated() override;

    Operation operation() const { return operation_; }
    // Whether the device shown has a contract that has expired.
    bool contractExpired() const { return expired_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void lookUp();
    // The looked-up device's notifications in the grid under the page.
    void showNotifications();
    void showDevice(const DeviceRecord& d);
    void showNotRegistered(const QString& device);
    void clearLabels();
    void showOwner(const CounterpartyInfo& owner);
    void fillSites(qint64 owner);
    void fillOwnerDevices(qint64 owner, const QString& current);
    void showServiceCentre(const CounterpartyInfo& c);
    void modelChosen(int index);
    void siteChosen(int index);
    void ownerChosen(const QString& ref);
    void serviceChosen(const QString& ref);
    void taxOfficeChosen(const QString& ref);

    void operationToggled(Operation op, bool down);
    void startRegistration();
    void startChange();
    void startContract();
    void startDismantling();
    void proposeContract();
    void contractStartChanged();
    void save();
    void cancel();
    void closeOperation();
    void setEditors(bool registration, bool contract);
    void setButtonsFor(bool registered);
    QList<std::pair<QAbstractButton*, Operation>> operationButtons() const;
    DeviceRegistration registrationFromEditors() const;
    ContractEntry contractFromEditors() const;
    ContractNumbering numbering() const;

    void expiredContracts();
    void repairsDone();
    void taxOfficeFile();
    void printDocuments();

    WindowContext context_;
    std::unique_ptr<Ui::FiscalServicePage> ui;
    Operation operation_ = Operation::None;
    bool expired_ = false;
    // The device looked up last, as stored.
    std::optional<DeviceRecord> device_;
    // A registration checked and waiting for its contract.
    std::optional<DeviceRegistration> pendingRegistration_;
    qint64 proposedDossier_ = 0;
    QString proposedContract_;
    TForm_Data_ToFisk_Serv* dismantling_ = nullptr;
    TForm_SPR_TDD_Fisk_Ser* period_ = nullptr;
    StatementModel* notifications_ = nullptr;
};

} // namespace torvika
