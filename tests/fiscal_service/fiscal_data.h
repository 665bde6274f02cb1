#pragma once
// The counterparties, site and model certificate the fiscal service's tests
// register devices with.

#include "common/sql.h"

namespace torvika::test {

inline constexpr qint64 kOwner = 10, kService = 11, kTaxOffice = 12, kSealer = 13, kSite = 20, kModel = 1;

inline void addFirm(const QSqlDatabase& db, qint64 id, const QString& name, const QString& town,
                    const QString& address, const QString& eik, const QString& phone, qint64 person) {
    execSql(
        db,
        "INSERT INTO Firmi (ID, Ime_Firma, Grad, Adres_Firma, EIK, Dan_N, Telefon, T_O, ID_Mol, Nomer_Grupa) "
        "VALUES (?, ?, ?, ?, ?, '', ?, 0, ?, 0)",
        {id, name, town, address, eik, phone, person});
}

inline void seedFiscalData(const QSqlDatabase& db) {
    execSql(db, "INSERT INTO Klienti (ID, Ime_Klient, Grad, Adres_Klient, Telefon_Klient, EGN) "
                "VALUES (5, 'Иван Петров', 'София', 'ул. Роза 1', '', '7501011234')");
    addFirm(db, kOwner, "Роза ЕООД", "София", "ул. Роза 1", "123456789", "02 111", 5);
    addFirm(db, kService, "Касов сервиз ООД", "Пловдив", "бул. Марица 5", "987654321", "032 222", 0);
    addFirm(db, kTaxOffice, "ТДД София", "София", "", "", "", 0);
    addFirm(db, kSealer, "Фискален център АД", "Варна", "", "", "", 0);
    execSql(db,
            "INSERT INTO Kontrag_Sklad (ID_Sk, Opisanie_Sk, Grad_SK, Adres_SK, Tel_SK, MOL_SK, ID_Kontrag) "
            "VALUES (?, 'Магазин Роза', 'София', 'ул. Лале 3', '0888 123', 'Мария', ?)",
            {kSite, kOwner});
    execSql(db,
            "INSERT INTO SV_BIM (ID, Model_Opis, SV_ID, SV_Data, ID_Plomb, Zabranen) "
            "VALUES (?, 'Датекс DP-05', '1234', '2008-04-01', ?, 'False')",
            {kModel, kSealer});
}

} // namespace torvika::test
