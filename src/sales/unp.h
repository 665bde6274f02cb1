#pragma once
// The unique sale number (УНП) every sale carries: the fiscal device's
// individual number, the operator's code and the device's own sequence,
// "DT279013-0001-0000001". The sequence of a device is one row of Fisk_UNP
// shared by every workstation printing on that device; a sale takes its
// number inside the sale's transaction, with the row locked, so two tills
// never take the same number, and a sale rolled back gives its number back
// (the next sale takes it: the printed numbers have no gaps).

#include <QSqlDatabase>
#include <QString>

namespace torvika {

// "AB123456": two capital Latin letters and six digits.
bool isFiscalDeviceNumber(const QString& text);
// Four capital Latin letters or digits.
bool isOperatorCode(const QString& text);
// The whole number, "^[A-Z]{2}[0-9]{6}-[A-Z0-9]{4}-[0-9]{7}$".
bool isUniqueSaleNumber(const QString& text);

// The number of the sequence value; 1 to 9,999,999.
QString uniqueSaleNumber(const QString& device, const QString& operatorCode, qint64 sequence);

// The operator's code as the sale number carries it: Operators.Kod_Oper,
// or, for an operator without one, the operator's ID in four digits
// ("0001"). "0000" for a name that is no operator. Throws EDatabaseError.
QString operatorCodeFor(const QSqlDatabase& db, const QString& operatorName);

// Takes the device's next sequence value, in the caller's transaction
// (which must be open): the device's row is made when missing and locked
// until the transaction ends. Throws EConvertError for a device number
// that is not one or a sequence that has reached its end, EDatabaseError.
qint64 takeSaleSequence(const QSqlDatabase& db, const QString& device);

// The next sale number of the device for the operator, taken in the
// caller's transaction (takeSaleSequence).
QString takeUniqueSaleNumber(const QSqlDatabase& db, const QString& device, const QString& operatorName);

} // namespace torvika
