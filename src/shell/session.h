#pragma once
// The state of the run, with a signal for each change: the operator and his
// rights, the working database, the active warehouse and the sale
// counterparty of each operator. Status panels and pages show this state;
// windows change it here and never in each other's controls.
//
// A subsystem keeps further state of its own in an object reached through
// state<T>(), created on first use, so that the shell needs to know none of
// them.

#include "common/sql_statement.h"
#include "shell/firm_data.h"
#include "shell/program_dir.h"
#include "shell/workspace.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>
#include <typeindex>
#include <unordered_map>

namespace torvika {

class Session : public QObject {
    Q_OBJECT
public:
    explicit Session(const ProgramDir& dir, QObject* parent = nullptr);
    ~Session() override;

    // Firm_Data.ini of the program directory.
    Settings& settings() { return settings_; }
    const Settings& settings() const { return settings_; }
    // The decimals of amounts shown (Values/"9"); Settings::changed says
    // when they change.
    int displayDecimals() const { return settings_.get(setting::kAmountDecimals); }
    QDateTime now() const { return clock ? clock() : QDateTime::currentDateTime(); }
    QDate today() const { return now().date(); }
    QSqlDatabase db() const { return workspace.db(); }

    // The operator in the status line (empty before the first login) and
    // the rights entries of his Prava.
    const QString& operatorName() const { return operatorName_; }
    const QStringList& rights() const { return rights_; }
    // A successful login; emits operatorChanged even for the same operator,
    // whose rights may have changed.
    void setOperator(const QString& name, const QStringList& rights);

    // The active warehouse ("Склад: <ID>:<name>" in the status line).
    int activeWarehouse() const { return warehouseId_; }
    const QString& activeWarehouseText() const { return warehouseText_; }
    void setActiveWarehouse(int id, const QString& refText);

    // The sale counterparty of an operator in this run as its reference
    // text; texts::kNoCounterpartyChosen while he has chosen none.
    QString saleCounterparty(const QString& operatorName) const;
    QString saleCounterparty() const { return saleCounterparty(operatorName_); }
    // Makes the text the current operator's sale counterparty.
    void setSaleCounterparty(const QString& refText);

    // Asks for a new login (after a change of database the operators and
    // their rights are those of the new one).
    void requestLogin() { emit loginRequested(); }
    // Says that the currencies or their rates were changed (the ticker shows them).
    void notifyRatesChanged() { emit ratesChanged(); }

    // A subsystem's state object, created on first use and kept for the run.
    template <typename T> T& state() {
        auto it = states_.find(std::type_index(typeid(T)));
        if (it == states_.end())
            it = states_.emplace(std::type_index(typeid(T)), std::make_shared<T>()).first;
        return *static_cast<T*>(it->second.get());
    }

    ProgramDir programDir;
    Workspace workspace;
    // The one direction switch of the lists sorted by a click on a column title.
    SortDirection sortDirection;
    // The clock of the run; tests replace it.
    std::function<QDateTime()> clock;

signals:
    void operatorChanged(const QString& name);
    // The workspace was connected to another company database.
    void databaseChanged(const QString& directory);
    void activeWarehouseChanged(int id, const QString& refText);
    void saleCounterpartyChanged(const QString& operatorName, const QString& refText);
    void loginRequested();
    void ratesChanged();

private:
    Settings settings_;
    QString operatorName_;
    QStringList rights_;
    QString databaseDirectory_;
    int warehouseId_ = 0;
    QString warehouseText_;
    QHash<QString, QString> saleCounterparties_;
    std::unordered_map<std::type_index, std::shared_ptr<void>> states_;
};

} // namespace torvika
