#pragma once
// The counterparties file: import ("Импорт на данни" -> "Контрагенти") and
// export ("Експорт на данни" -> "Контрагенти" and the list's "Експорт ...").
//
// Fields: 1 EIK, 2 VAT number, 3 company name, 4 its town, 5 its address,
// 6 its phone, 7 bank name, 8 bank code, 9 bank account, 10 trade discount,
// 11 person's name, 12 town, 13 address, 14 phone, 15 EGN, 17 note.

#include "common/import_report.h"
#include "common/numbered_export.h"

#include <QSqlDatabase>
#include <QString>

namespace torvika {

// Imports the file in one transaction. A line whose EIK is real (not
// empty, not "0") names the counterparty stored with that EIK, if any; the
// others are new counterparties, in group 0, each with its person. A
// counterparty stored already is left as it is, or with replace has the
// company and person fields the line holds written over its own (its key,
// group, sites and accounts stay). Throws EInOutError or EConvertError when
// the file cannot be opened or is no text; the rest is in the report.
ImportReport importCounterparties(const QSqlDatabase& db, const QString& fileName, bool replace,
                                  Progress& progress);

// Every counterparty but the "none" row, those without a person too, by
// number.
ExportSource counterpartyExportSource();

} // namespace torvika
