#pragma once
// Sites (Kontrag_Sklad: premises with their own responsible person) and
// bank accounts (Kontrag_SM) of a counterparty. Neither is ever deleted.

#include "common/sql_statement.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace torvika {

struct Site {
    qint64 id = 0;
    QString name;
    QString town;
    QString address;
    QString phone;
    QString mol;     // responsible person of the site
    QString molEgn;  // that person's identity number
    QString molCard; // that person's identity card number
    QString cardIssuer;
};

// The sites of a counterparty for the grid: ID_Sk, Opisanie_Sk, Grad_SK,
// Adres_SK, Tel_SK, MOL_SK, EGN_MOL_SK, LK_Mol_Sk, LK_Izd_Ot.
SqlStatement sitesStatement(qint64 counterparty);
// Inserts with the key MAX + 1 over the whole table; returns the key.
qint64 insertSite(const QSqlDatabase& db, qint64 counterparty, const Site& site);
void updateSite(const QSqlDatabase& db, qint64 counterparty, const Site& site);

struct BankAccount {
    qint64 id = 0;
    QString account;
    QString code;
    QString bank;
    QString branch;
    bool vat = false; // the VAT account
};

// The accounts of a counterparty for the grid: ID_SM, Smetka, Kod, Banka,
// Klon, DDS.
SqlStatement accountsStatement(qint64 counterparty);
qint64 insertBankAccount(const QSqlDatabase& db, qint64 counterparty, const BankAccount& account);
void updateBankAccount(const QSqlDatabase& db, qint64 counterparty, const BankAccount& account);
// The distinct bank names of all accounts, sorted.
QStringList bankNames(const QSqlDatabase& db);

// "True" / "False", as booleans are stored.
QString boolText(bool value);
bool textBool(const QString& text);

} // namespace torvika
