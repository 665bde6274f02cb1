#pragma once
// The VAT rates of the tax groups, a setting of the company. They are kept
// in the company database (Dan_Grupi), not in each workstation's
// Firm_Data.ini, so that every till of a company sharing one database
// computes the same VAT and a change of a rate reaches them all at once. A
// company not registered for VAT (Firm_Data/DDS 0) charges none.

#include "common/vat.h"

#include <QSqlDatabase>

namespace torvika {

class Session;

// The rates of the session's company: those of Dan_Grupi (a group without
// a row, or a database without the table, has its default rate), or 0 for
// every group when Firm_Data/DDS is 0. Throws EConvertError for a stored
// rate or a DDS text that is no rate, EDatabaseError when the database fails.
VatRates companyVatRates(Session& session);

// The rates of Dan_Grupi alone.
VatRates storedVatRates(const QSqlDatabase& db);
// Writes the four rates in one transaction. Throws EConvertError for a rate
// below 0 or above 100, EDatabaseError when the database fails.
void setVatRates(const QSqlDatabase& db, const VatRates& rates);

} // namespace torvika
