#include "sales/unp.h"

#include "common/errors.h"
#include "common/sql.h"
#include "sales/texts.h"

#include <QRegularExpression>

namespace torvika {

namespace {

constexpr qint64 kLastSequence = 9'999'999;

bool matches(const QString& text, const char* pattern) {
    const QRegularExpression re(QString::fromLatin1(pattern));
    return re.match(text).hasMatch();
}

} // namespace

bool isFiscalDeviceNumber(const QString& text) {
    return matches(text, "^[A-Z]{2}[0-9]{6}$");
}

bool isOperatorCode(const QString& text) {
    return matches(text, "^[A-Z0-9]{4}$");
}

bool isUniqueSaleNumber(const QString& text) {
    return matches(text, "^[A-Z]{2}[0-9]{6}-[A-Z0-9]{4}-[0-9]{7}$");
}

QString uniqueSaleNumber(const QString& device, const QString& operatorCode, qint64 sequence) {
    return device + u'-' + operatorCode + u'-' + QStringLiteral("%1").arg(sequence, 7, 10, QChar(u'0'));
}

QString operatorCodeFor(const QSqlDatabase& db, const QString& operatorName) {
    const QList<QVariantList> rows =
        readRows(db, QStringLiteral("SELECT ID, Kod_Oper FROM Operators WHERE Ime = ? ORDER BY ID"),
                 {operatorName})
            .rows;
    if (rows.isEmpty())
        return QStringLiteral("0000");
    const QString code = rows.first().value(1).toString().trimmed().toUpper();
    if (isOperatorCode(code))
        return code;
    return QStringLiteral("%1").arg(rows.first().value(0).toLongLong() % 10000, 4, 10, QChar(u'0'));
}

qint64 takeSaleSequence(const QSqlDatabase& db, const QString& device) {
    if (!isFiscalDeviceNumber(device))
        throw EConvertError(texts::kBadFiscalDeviceNumber.arg(device));
    // The row is made once; a second workstation making it at the same
    // moment waits for the first and then finds it there.
    execSql(db,
            QStringLiteral("INSERT INTO Fisk_UNP (FU_Nomer, Posleden) VALUES (?, 0) "
                           "ON CONFLICT (FU_Nomer) DO NOTHING"),
            {device});
    // The update locks the row until the sale's transaction ends: another
    // till taking a number meanwhile waits, then counts on from this one.
    execSql(db, QStringLiteral("UPDATE Fisk_UNP SET Posleden = Posleden + 1 WHERE FU_Nomer = ?"), {device});
    const qint64 sequence =
        scalarSql(db, QStringLiteral("SELECT Posleden FROM Fisk_UNP WHERE FU_Nomer = ?"), {device})
            .toLongLong();
    if (sequence < 1 || sequence > kLastSequence)
        throw EConvertError(texts::kSaleSequenceEnded.arg(device));
    return sequence;
}

QString takeUniqueSaleNumber(const QSqlDatabase& db, const QString& device, const QString& operatorName) {
    const qint64 sequence = takeSaleSequence(db, device);
    return uniqueSaleNumber(device, operatorCodeFor(db, operatorName), sequence);
}

} // namespace torvika
