#include "fiscal_service/certificates.h"

#include "common/dates.h"
#include "common/errors.h"
#include "common/new_keys.h"
#include "common/sql.h"
#include "fiscal_service/texts.h"

namespace torvika {

namespace {

QVariantList values(const Certificate& c) {
    if (c.model.trimmed().isEmpty())
        throw EConvertError(texts::kCertificateNoModel);
    if (c.number.trimmed().isEmpty())
        throw EConvertError(texts::kCertificateNoNumber);
    return {c.model.trimmed().left(kModelNameLength), c.number.trimmed(),
            c.date.isValid() ? isoDate(c.date) : QString(), c.sealedBy};
}

} // namespace

SqlStatement certificatesStatement() {
    return {
        QStringLiteral("SELECT SV_BIM.ID, SV_BIM.Model_Opis, SV_BIM.SV_ID, SV_BIM.SV_Data, SV_BIM.ID_Plomb, "
                       "Firmi.Ime_Firma FROM SV_BIM LEFT JOIN Firmi ON Firmi.ID = SV_BIM.ID_Plomb "
                       "ORDER BY SV_BIM.ID"),
        {},
        QStringLiteral("SV_BIM.ID")};
}

qint64 insertCertificate(const QSqlDatabase& db, const Certificate& c) {
    QVariantList v = values(c);
    Transaction t(db);
    const qint64 id = nextKey(db, QStringLiteral("SV_BIM"), QStringLiteral("ID"));
    v.prepend(id);
    execSql(db,
            QStringLiteral(
                "INSERT INTO SV_BIM (ID, Model_Opis, SV_ID, SV_Data, ID_Plomb) VALUES (?, ?, ?, ?, ?)"),
            v);
    t.commit();
    return id;
}

void updateCertificate(const QSqlDatabase& db, qint64 id, const Certificate& c) {
    QVariantList v = values(c);
    v.append(id);
    execSql(
        db,
        QStringLiteral("UPDATE SV_BIM SET Model_Opis = ?, SV_ID = ?, SV_Data = ?, ID_Plomb = ? WHERE ID = ?"),
        v);
}

void deleteCertificate(const QSqlDatabase& db, qint64 id) {
    execSql(db, QStringLiteral("DELETE FROM SV_BIM WHERE ID = ?"), {id});
}

int devicesOfModel(const QSqlDatabase& db, qint64 id) {
    return scalarSql(db, QStringLiteral("SELECT COUNT(*) FROM Reg_EKA WHERE Model = ?"), {id}, 0).toInt();
}

} // namespace torvika
