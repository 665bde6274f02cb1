#include "counterparties/sites_accounts.h"

#include "common/new_keys.h"
#include "common/sql.h"

namespace torvika {

SqlStatement sitesStatement(qint64 counterparty) {
    return {
        QStringLiteral("SELECT ID_Sk, Opisanie_Sk, Grad_SK, Adres_SK, Tel_SK, MOL_SK, EGN_MOL_SK, LK_Mol_Sk, "
                       "LK_Izd_Ot FROM Kontrag_Sklad WHERE ID_Kontrag = ?\nORDER BY ID_Sk"),
        {counterparty}};
}

qint64 insertSite(const QSqlDatabase& db, qint64 counterparty, const Site& s) {
    Transaction t(db);
    const qint64 id = nextKey(db, QStringLiteral("Kontrag_Sklad"), QStringLiteral("ID_Sk"));
    execSql(
        db,
        QStringLiteral("INSERT INTO Kontrag_Sklad (ID_Sk, Opisanie_Sk, Grad_SK, Adres_SK, Tel_SK, MOL_SK, "
                       "EGN_MOL_SK, LK_Mol_Sk, LK_Izd_Ot, ID_Kontrag) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        {id, s.name, s.town, s.address, s.phone, s.mol, s.molEgn, s.molCard, s.cardIssuer, counterparty});
    t.commit();
    return id;
}

void updateSite(const QSqlDatabase& db, qint64 counterparty, const Site& s) {
    execSql(
        db,
        QStringLiteral("UPDATE Kontrag_Sklad SET Opisanie_Sk = ?, Grad_SK = ?, Adres_SK = ?, Tel_SK = ?, "
                       "MOL_SK = ?, EGN_MOL_SK = ?, LK_Mol_Sk = ?, LK_Izd_Ot = ? "
                       "WHERE ID_Kontrag = ? AND ID_Sk = ?"),
        {s.name, s.town, s.address, s.phone, s.mol, s.molEgn, s.molCard, s.cardIssuer, counterparty, s.id});
}

SqlStatement accountsStatement(qint64 counterparty) {
    return {
        QStringLiteral("SELECT ID_SM, Smetka, Kod, Banka, Klon, DDS FROM Kontrag_SM WHERE ID_Kontrag = ?\n"
                       "ORDER BY ID_SM"),
        {counterparty}};
}

qint64 insertBankAccount(const QSqlDatabase& db, qint64 counterparty, const BankAccount& a) {
    Transaction t(db);
    const qint64 id = nextKey(db, QStringLiteral("Kontrag_SM"), QStringLiteral("ID_SM"));
    execSql(db,
            QStringLiteral("INSERT INTO Kontrag_SM (ID_SM, Smetka, Kod, Banka, Klon, DDS, ID_Kontrag) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?)"),
            {id, a.account, a.code, a.bank, a.branch, boolText(a.vat), counterparty});
    t.commit();
    return id;
}

void updateBankAccount(const QSqlDatabase& db, qint64 counterparty, const BankAccount& a) {
    execSql(db,
            QStringLiteral("UPDATE Kontrag_SM SET Smetka = ?, Kod = ?, Banka = ?, Klon = ?, DDS = ? "
                           "WHERE ID_Kontrag = ? AND ID_SM = ?"),
            {a.account, a.code, a.bank, a.branch, boolText(a.vat), counterparty, a.id});
}

QStringList bankNames(const QSqlDatabase& db) {
    QSqlQuery q = execSql(db, QStringLiteral("SELECT DISTINCT Banka FROM Kontrag_SM WHERE Banka IS NOT NULL "
                                             "ORDER BY Banka"));
    QStringList names;
    while (q.next())
        names << q.value(0).toString();
    return names;
}

QString boolText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

bool textBool(const QString& text) {
    return text.trimmed().compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0;
}

} // namespace torvika
