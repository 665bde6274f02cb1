#pragma once
// The service desk's intake lines (Priem_Ser_Vremen) as other parts of the
// program read them.

#include "common/decimal.h"

#include <QList>
#include <QSqlDatabase>

namespace torvika {

// The sum of the expected repair prices (Pred_Cena_Remont) of the intake
// lines with those numbers; a line without a price counts 0. Throws
// EDatabaseError.
Decimal intakeRepairTotal(const QSqlDatabase& db, const QList<qint64>& lines);

} // namespace torvika
