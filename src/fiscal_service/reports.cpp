#include "fiscal_service/reports.h"

#include "common/dates.h"
#include "fiscal_service/devices.h"

namespace torvika {

namespace {

const QString kDeviceColumns = QStringLiteral(
    "SELECT Reg_EKA.EKA, Reg_EKA.MFP, Reg_EKA.Dosie_ID, Reg_EKA.Data_Reg, Firmi.Ime_Firma, Firmi.EIK, "
    "Kontrag_Sklad.Opisanie_Sk, SV_BIM.Model_Opis, Serv.Ime_Firma AS Serv_Ime, TDD.Ime_Firma AS TDD_Ime, "
    "Dogovor.Prefics_ID || Dogovor.Dog_ID AS Dog_N, Dogovor.Dog_Ot, Dogovor.Valid_Do "
    "FROM Reg_EKA "
    "LEFT JOIN Firmi ON Firmi.ID = Reg_EKA.ID_Kontrag "
    "LEFT JOIN Kontrag_Sklad ON Kontrag_Sklad.ID_Sk = Reg_EKA.ID_Sklad "
    "AND Kontrag_Sklad.ID_Kontrag = Reg_EKA.ID_Kontrag "
    "LEFT JOIN SV_BIM ON SV_BIM.ID = Reg_EKA.Model "
    "LEFT JOIN Firmi Serv ON Serv.ID = Reg_EKA.ID_Serv "
    "LEFT JOIN Firmi TDD ON TDD.ID = Reg_EKA.TDD_ID "
    "LEFT JOIN Dogovor ON Dogovor.EKA = Reg_EKA.EKA");

const QString kDeviceOrder = QStringLiteral(" ORDER BY Reg_EKA.EKA");
const QString kDeviceKey = QStringLiteral("Reg_EKA.EKA");

} // namespace

SqlStatement devicesStatement(const DeviceFilter& filter) {
    QStringList where;
    QVariantList values;
    const QString text = filter.text.trimmed().toUpper();
    if (!text.isEmpty()) {
        where << QStringLiteral(
            "(Reg_EKA.EKA LIKE ? ESCAPE '\\' OR UPPER(Firmi.Ime_Firma) LIKE ? ESCAPE '\\')");
        values << likeContains(text) << likeContains(text);
    }
    if (filter.from.isValid()) {
        where << QStringLiteral("Reg_EKA.Data_Reg >= ?");
        values << isoDate(filter.from);
    }
    if (filter.to.isValid()) {
        where << QStringLiteral("Reg_EKA.Data_Reg <= ?");
        values << isoDate(filter.to);
    }
    QString sql = kDeviceColumns;
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    return {sql + kDeviceOrder, values, kDeviceKey};
}

SqlStatement expiredContractsStatement(const QDate& asOf, const QDate& expiredFrom) {
    QString sql = kDeviceColumns + QStringLiteral(" WHERE (Dogovor.EKA IS NULL OR Dogovor.Valid_Do < ?)");
    QVariantList values{isoDate(asOf)};
    if (expiredFrom.isValid()) {
        sql += QStringLiteral(" AND Dogovor.Valid_Do >= ?");
        values << isoDate(expiredFrom);
    }
    return {sql + kDeviceOrder, values, kDeviceKey};
}

SqlStatement devicesInServiceStatement() {
    return {QStringLiteral("SELECT Reg_EKA.EKA, Firmi.Ime_Firma, Priem_Ser.Data_Priem, Priem_Ser.Pri4ina, "
                           "Priem_Ser.Operator, Priem_Ser.N_Prodajba FROM Priem_Ser "
                           "JOIN Reg_EKA ON Reg_EKA.EKA = UPPER(TRIM(Priem_Ser.S_N)) "
                           "LEFT JOIN Firmi ON Firmi.ID = Reg_EKA.ID_Kontrag "
                           "ORDER BY Priem_Ser.Data_Priem, Priem_Ser.N_Prodajba"),
            {},
            QStringLiteral("Priem_Ser.N_Prodajba")};
}

SqlStatement repairsOfDeviceStatement(const QString& device) {
    return {
        QStringLiteral("SELECT R_Priem.N_Priem, R_Priem.Data_Priem, R_Priem.Data_Izd, R_Priem.Pri4ina, "
                       "R_Remont.Remont, R_Remont.Kol, R_Remont.ED_Cena, R_Remont.Oper_Remont FROM R_Priem "
                       "LEFT JOIN R_Remont ON R_Remont.N_Priem = R_Priem.N_Priem "
                       "WHERE UPPER(TRIM(R_Priem.S_N)) = ? "
                       "ORDER BY R_Priem.Data_Izd DESC, R_Priem.N_Priem DESC, R_Remont.Remont"),
        {deviceNumber(device)}};
}

QDate contractEnd(const QDate& start, int months) {
    if (!start.isValid() || months <= 0)
        return {};
    return start.addMonths(months).addDays(-1);
}

} // namespace torvika
