#pragma once
// The service desk's reports: the items issued from repair ("Справка за
// издадени от ремонт"), the items in service now, and the turnover of the
// service over a period.

#include "common/sql_statement.h"
#include "service/repairs.h"
#include "service/warranty_cards.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <optional>

namespace torvika {

// "Справка за издадени от ремонт": every criterion given narrows it.
struct IssuedFilter {
    std::optional<qint64> client;
    std::optional<QString> reason;       // contained, any letter case
    std::optional<QString> operatorName; // who received the item
    std::optional<qint64> supplier;
    std::optional<QString> document; // the warranty document's number
    std::optional<DateFilter> documentDate;
    std::optional<qint64> article;
    std::optional<QString> model;  // contained, any letter case
    std::optional<QString> batch;  // contained, any letter case
    std::optional<QString> serial; // contained, any letter case
    std::optional<qint64> dossier;
    std::optional<QString> issuedBy; // who issued the item
    std::optional<DateFilter> issued;
};
// The issued items: N_Priem, Dosie_ID, S_N, Opisanie, Pri4ina,
// Ime_Kontrag, Model, Partida, Gar, Gar_Dok_N, Data_Gar_Dok, Ime_Dostav4ik,
// Data_Priem, Time_Priem, Operator, Pred_Cena_Remont, Valuta, Data_Izd,
// Time_Izd, Oper_Izd, Suma (the repair in leva), ID_Kontrag, ID_Dostav4ik,
// Barkod; by number (key R.N_Priem). An item without a supplier or whose
// client is gone is listed all the same.
SqlStatement issuedItemsStatement(const IssuedFilter& filter);
// The total of the repairs of the items the filter finds. Throws
// EDatabaseError.
RepairTotal issuedRepairsTotal(const QSqlDatabase& db, const IssuedFilter& filter);

// "Сервизни": the items in service now, narrowed by what is given.
struct InServiceFilter {
    std::optional<int> state;
    std::optional<qint64> client;
    std::optional<DateFilter> received;
    bool overdueOnly = false; // due before today and not on the intake day
};
// N_Prodajba, Status_Rem, Ime_Firma, Opisanie, S_N, Pri4ina, Data_Priem,
// Krai_Data, Operator, Pred_Cena_Remont, Valuta, Suma (the repair so far in
// leva), Status, Color; by number (key P.N_Prodajba).
SqlStatement inServiceStatement(const InServiceFilter& filter, const QDate& today);

// "Оборотни": the service's turnover over the days from..to.
struct ServiceTurnover {
    int received = 0;       // items received (accepted into service) in the period
    int issued = 0;         // items issued in the period
    int issuedWarranty = 0; // of them, received under warranty
    int inService = 0;      // items in service now
    RepairTotal repairs;    // the repairs of the items issued in the period
};
ServiceTurnover serviceTurnover(const QSqlDatabase& db, const QDate& from, const QDate& to);

} // namespace torvika
