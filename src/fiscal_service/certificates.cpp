#include "fiscal_service/certificates.h"

#include "common/dates.h"
#include "common/errors.h"
#include "common/new_keys.h"
#include "common/sql.h"
#include "fiscal_service/texts.h"

namespace torvika {

namespace {

QString boolText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

QVariantList values(const Certificate& c) {
    if (c.model.trimmed().isEmpty())
        throw EConvertError(texts::kCertificateNoModel);
    if (c.number.trimmed().isEmpty())
        throw EConvertError(texts::kCertificateNoNumber);
    return {c.model.trimmed().left(kModelNameLength), c.number.trimmed(),
            c.date.isValid() ? isoDate(c.date) : QString(), c.sealedBy, boolText(c.forbidden)};
}

} // namespace

namespace {
const QString kCertificateSelect = QStringLiteral(
    "SELECT SV_BIM.ID, SV_BIM.Model_Opis, SV_BIM.SV_ID, SV_BIM.SV_Data, SV_BIM.ID_Plomb, "
    "Firmi.Ime_Firma, SV_BIM.Zabranen FROM SV_BIM LEFT JOIN Firmi ON Firmi.ID = SV_BIM.ID_Plomb");
} // namespace

SqlStatement certificatesStatement() {
    return {kCertificateSelect + QStringLiteral(" ORDER BY SV_BIM.ID"), {}, QStringLiteral("SV_BIM.ID")};
}

SqlStatement forbiddenModelsStatement() {
    return {kCertificateSelect + QStringLiteral(" WHERE SV_BIM.Zabranen = 'True' ORDER BY SV_BIM.ID"),
            {},
            QStringLiteral("SV_BIM.ID")};
}

void setModelForbidden(const QSqlDatabase& db, qint64 id, bool forbidden) {
    execSql(db, QStringLiteral("UPDATE SV_BIM SET Zabranen = ? WHERE ID = ?"), {boolText(forbidden), id});
}

qint64 insertCertificate(const QSqlDatabase& db, const Certificate& c) {
    QVariantList v = values(c);
    Transaction t(db);
    const qint64 id = nextKey(db, QStringLiteral("SV_BIM"), QStringLiteral("ID"));
    v.prepend(id);
    execSql(db,
            QStringLiteral("INSERT INTO SV_BIM (ID, Model_Opis, SV_ID, SV_Data, ID_Plomb, Zabranen) VALUES "
                           "(?, ?, ?, ?, ?, ?)"),
            v);
    t.commit();
    return id;
}

void updateCertificate(const QSqlDatabase& db, qint64 id, const Certificate& c) {
    QVariantList v = values(c);
    v.append(id);
    execSql(db,
            QStringLiteral("UPDATE SV_BIM SET Model_Opis = ?, SV_ID = ?, SV_Data = ?, ID_Plomb = ?, Zabranen "
                           "= ? WHERE ID = ?"),
            v);
}

void deleteCertificate(const QSqlDatabase& db, qint64 id) {
    execSql(db, QStringLiteral("DELETE FROM SV_BIM WHERE ID = ?"), {id});
}

int devicesOfModel(const QSqlDatabase& db, qint64 id) {
    return scalarSql(db, QStringLiteral("SELECT COUNT(*) FROM Reg_EKA WHERE Model = ?"), {id}, 0).toInt();
}

} // namespace torvika
