#pragma once
// The counterparty register: a company card (Firmi) paired with a person
// (Klienti), the list statements of the counterparty window, its searches,
// the quick search of the shop and service pages, and the town lookup.

#include "common/decimal.h"
#include "common/sql.h"
#include "common/sql_statement.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace torvika {

// The company card, as the card window edits it.
struct FirmCard {
    QString name;
    QString town;
    QString address;
    QString eik;
    QString vatNumber;
    QString phone;
    QString bankName;
    QString bankCode;
    QString bankAccount;
    Decimal discount; // standing trade discount in percent
    QString note;
};

// The paired natural person: the responsible person or the private person.
struct PersonCard {
    QString name;
    QString town;
    QString address;
    QString phone;
    QString egn;
};

struct StoredCounterparty {
    qint64 id = 0;
    qint64 personId = -1; // the paired Klienti.ID; -1 when ID_Mol is empty
    qint64 group = 0;
    FirmCard firm;
    PersonCard person;
};

std::optional<StoredCounterparty> loadCounterparty(const QSqlDatabase& db, qint64 id);
// Writes the company and its person in one transaction, both keys taken as
// MAX + 1 inside it. Throws EDatabaseError; nothing is stored then.
StoredCounterparty createCounterparty(const QSqlDatabase& db, const FirmCard& firm, const PersonCard& person,
                                      qint64 group);
// Rewrites both cards in one transaction; the group and the person's key
// stay as they are. A person row that is missing is written under its key;
// a company without a paired person (personId -1) gets one with the key
// MAX + 1. Returns the person's key. Throws EDatabaseError, and stores
// nothing, when the company row is gone.
qint64 updateCounterparty(const QSqlDatabase& db, qint64 id, qint64 personId, const FirmCard& firm,
                          const PersonCard& person);
void moveCounterpartiesToGroup(const QSqlDatabase& db, const QList<qint64>& ids, qint64 group);
// Whether the counterparty has a consignment that is not paid.
bool hasOpenConsignments(const QSqlDatabase& db, qint64 id);

// The list grid: its columns in grid order.
struct ListColumn {
    QStringView field;
    QStringView caption;
    bool numeric;
};
inline constexpr std::array<ListColumn, 11> listColumns{{
    {u"ID", u"Номер", true},
    {u"Ime_Firma", u"Наименование", false},
    {u"EIK", u"Инден. код", false},
    {u"Dan_N", u"ЗДДС N", false},
    {u"Grad", u"Населено място", false},
    {u"Adres_Firma", u"Адрес", false},
    {u"Telefon", u"Телефон", false},
    {u"Banka_Kod", u"Банков код", false},
    {u"Banka_Smetka", u"Банкова сметка", false},
    {u"Banka_Ime", u"Банка", false},
    {u"T_O", u"ТО в %", true},
}};
// The statements' columns after the grid's: the person's key and the group.
inline constexpr int kListColumnIdMol = 11;
inline constexpr int kListColumnGroup = 12;

// All counterparties by name (group 0, the root of the tree), or the
// members of one group (not of its subgroups).
SqlStatement groupListStatement(qint64 group);
// Counterparties with an unpaid consignment.
SqlStatement debtorsStatement();

using Comparison = ValueComparison;
inline constexpr std::array<QStringView, 4> comparisonCaptions{u"равно", u"по - малко", u"по - голямо",
                                                               u"между"};
// The search of the list by one grid column. Numeric columns compare with
// the comparison chosen (throws EConvertError when a value is not a
// number); text columns find the rows that contain the typed text, case
// folded, with every character taken as typed.
// On either engine the name search goes through the name index when it can.
SqlStatement listSearchStatement(int column, Comparison comparison, const QString& from, const QString& to,
                                 SqlEngine engine = SqlEngine::SQLite);

// The quick search of the main window's pages: the shop page lets "Ч", "Щ",
// "Ю" and "Я" stand for any single character in a name search.
enum class QuickSearchPage { Shop, Service };
// Empty when no search is run (an empty text, the "none" text "0...", or a
// number search with nothing after its sign).
std::optional<SqlStatement> quickSearchStatement(const QString& text, QuickSearchPage page,
                                                 SqlEngine engine = SqlEngine::SQLite);
// The reference texts "<ID>:<Ime_Firma>" the statement finds. Throws
// EDatabaseError when it fails.
QStringList quickSearch(const QSqlDatabase& db, const QString& text, QuickSearchPage page);

// Towns (Grad) by part of their name, every town, or by part of a code.
enum class TownCode { Phone, Postal };
QStringList townsByName(const QSqlDatabase& db, const QString& text);
QStringList allTowns(const QSqlDatabase& db);
QStringList townsByCode(const QSqlDatabase& db, TownCode code, const QString& text);

} // namespace torvika
