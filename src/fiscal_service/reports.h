#pragma once
// The fiscal service's lists: the registered devices with their owners,
// the contracts expired by a date, the registered devices now at the
// service desk, and the repairs done on a device. Each is a statement a
// list window shows, prints and exports; columns are named for the grids.

#include "common/sql_statement.h"

#include <QDate>
#include <QString>

namespace torvika {

// The filters of the device lists; an empty text or an invalid date
// filters nothing.
struct DeviceFilter {
    QString text;   // part of the device number or of the owner's name
    QDate from, to; // registered within
};

// The registered devices with owner, site, model, service centre, tax
// office and contract, ordered by device number. Columns: EKA, MFP,
// Dosie_ID, Data_Reg, Ime_Firma, EIK, Opisanie_Sk, Model_Opis, Serv_Ime,
// TDD_Ime, Dog_N, Dog_Ot, Valid_Do.
SqlStatement devicesStatement(const DeviceFilter& filter);
// The devices whose contract has expired by `asOf` (valid until before it)
// or that have none; with `expiredFrom` valid, only contracts that ended on
// or after it. Columns as devicesStatement.
SqlStatement expiredContractsStatement(const QDate& asOf, const QDate& expiredFrom = {});
// The registered devices taken in at the service desk and not issued yet.
// Columns: EKA, Ime_Firma, Data_Priem, Pri4ina, Operator, N_Prodajba.
SqlStatement devicesInServiceStatement();
// The repairs done on a device (issued from the service desk), newest
// first. Columns: N_Priem, Data_Priem, Data_Izd, Pri4ina, Remont, Kol,
// ED_Cena, Oper_Remont.
SqlStatement repairsOfDeviceStatement(const QString& device);

// The valid-until date of a contract of `months` months from `start`: the
// day before the same day `months` later.
QDate contractEnd(const QDate& start, int months);

} // namespace torvika
