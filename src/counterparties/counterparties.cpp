#include "counterparties/counterparties.h"

#include "common/errors.h"
#include "common/new_keys.h"
#include "common/number_column.h"
#include "common/ref_text.h"
#include "common/sql.h"
#include "common/sql_dialect.h"

#include <stdexcept>

namespace torvika {

namespace {

// The grid's columns, then the person's key and the group.
const QStringList kListFields{"ID",          "Ime_Firma", "EIK",        "Dan_N",        "Grad",
                              "Adres_Firma", "Telefon",   "Banka_Kod",  "Banka_Smetka", "Banka_Ime",
                              "T_O",         "ID_Mol",    "Nomer_Grupa"};
const QString kListKey = QStringLiteral("Firmi.ID");
// The name index of the counterparties (the creation script makes it).
const QString kNameIndex = QStringLiteral("Firmi_Names");
const QString kListSelect =
    QStringLiteral("SELECT ") + kListFields.join(QStringLiteral(", ")) + QStringLiteral(" FROM Firmi");

QString text(const QSqlQuery& q, const char* column) {
    return q.value(QString::fromLatin1(column)).toString();
}

QStringList firstColumn(QSqlQuery q) {
    QStringList out;
    while (q.next())
        out << q.value(0).toString();
    return out;
}

} // namespace

std::optional<StoredCounterparty> loadCounterparty(const QSqlDatabase& db, qint64 id) {
    QSqlQuery f = execSql(db, QStringLiteral("SELECT * FROM Firmi WHERE ID = ?"), {id});
    if (!f.next())
        return std::nullopt;
    StoredCounterparty c;
    c.id = id;
    const QVariant personId = f.value(QStringLiteral("ID_Mol"));
    c.personId = personId.isNull() ? -1 : personId.toLongLong();
    c.group = f.value(QStringLiteral("Nomer_Grupa")).toLongLong();
    c.firm = {text(f, "Ime_Firma"),    text(f, "Grad"),
              text(f, "Adres_Firma"),  text(f, "EIK"),
              text(f, "Dan_N"),        text(f, "Telefon"),
              text(f, "Banka_Ime"),    text(f, "Banka_Kod"),
              text(f, "Banka_Smetka"), fromNumberColumn(f.value(QStringLiteral("T_O"))),
              text(f, "Zabel")};
    QSqlQuery k = execSql(db, QStringLiteral("SELECT * FROM Klienti WHERE ID = ?"), {c.personId});
    if (c.personId >= 0 && k.next())
        c.person = {text(k, "Ime_Klient"), text(k, "Grad"), text(k, "Adres_Klient"),
                    text(k, "Telefon_Klient"), text(k, "EGN")};
    return c;
}

StoredCounterparty createCounterparty(const QSqlDatabase& db, const FirmCard& firm, const PersonCard& person,
                                      qint64 group) {
    Transaction t(db);
    StoredCounterparty c;
    c.personId = nextKey(db, QStringLiteral("Klienti"), QStringLiteral("ID"));
    c.id = nextKey(db, QStringLiteral("Firmi"), QStringLiteral("ID"));
    c.group = group;
    c.firm = firm;
    c.person = person;
    execSql(
        db,
        QStringLiteral("INSERT INTO Firmi (ID, Ime_Firma, Grad, Adres_Firma, EIK, Dan_N, Telefon, Banka_Ime, "
                       "Banka_Kod, Banka_Smetka, T_O, Zabel, ID_Mol, Nomer_Grupa) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        {c.id, firm.name, firm.town, firm.address, firm.eik, firm.vatNumber, firm.phone, firm.bankName,
         firm.bankCode, firm.bankAccount, numberColumnValue(firm.discount), firm.note, c.personId, group});
    execSql(db,
            QStringLiteral("INSERT INTO Klienti (ID, Ime_Klient, Grad, Adres_Klient, Telefon_Klient, EGN) "
                           "VALUES (?, ?, ?, ?, ?, ?)"),
            {c.personId, person.name, person.town, person.address, person.phone, person.egn});
    t.commit();
    return c;
}

qint64 updateCounterparty(const QSqlDatabase& db, qint64 id, qint64 personId, const FirmCard& firm,
                          const PersonCard& person) {
    Transaction t(db);
    QSqlQuery f = execSql(
        db,
        QStringLiteral("UPDATE Firmi SET Ime_Firma = ?, Grad = ?, Adres_Firma = ?, EIK = ?, Dan_N = ?, "
                       "Telefon = ?, Banka_Ime = ?, Banka_Kod = ?, Banka_Smetka = ?, T_O = ?, Zabel = ? "
                       "WHERE ID = ?"),
        {firm.name, firm.town, firm.address, firm.eik, firm.vatNumber, firm.phone, firm.bankName,
         firm.bankCode, firm.bankAccount, numberColumnValue(firm.discount), firm.note, id});
    if (f.numRowsAffected() < 1)
        throw EDatabaseError(QStringLiteral("Firmi holds no counterparty %1").arg(id));
    bool stored = false;
    if (personId >= 0) {
        QSqlQuery k =
            execSql(db,
                    QStringLiteral(
                        "UPDATE Klienti SET Ime_Klient = ?, Grad = ?, Adres_Klient = ?, Telefon_Klient = ?, "
                        "EGN = ? WHERE ID = ?"),
                    {person.name, person.town, person.address, person.phone, person.egn, personId});
        stored = k.numRowsAffected() > 0;
    } else {
        personId = nextKey(db, QStringLiteral("Klienti"), QStringLiteral("ID"));
        execSql(db, QStringLiteral("UPDATE Firmi SET ID_Mol = ? WHERE ID = ?"), {personId, id});
    }
    if (!stored)
        execSql(
            db,
            QStringLiteral("INSERT INTO Klienti (ID, Ime_Klient, Grad, Adres_Klient, Telefon_Klient, EGN) "
                           "VALUES (?, ?, ?, ?, ?, ?)"),
            {personId, person.name, person.town, person.address, person.phone, person.egn});
    t.commit();
    return personId;
}

void moveCounterpartiesToGroup(const QSqlDatabase& db, const QList<qint64>& ids, qint64 group) {
    Transaction t(db);
    for (qint64 id : ids)
        execSql(db, QStringLiteral("UPDATE Firmi SET Nomer_Grupa = ? WHERE ID = ?"), {group, id});
    t.commit();
}

bool hasOpenConsignments(const QSqlDatabase& db, qint64 id) {
    QSqlQuery q = execSql(db,
                          QStringLiteral("SELECT 1 FROM Konsignation WHERE ID_Kontrag = ? "
                                         "AND (Payed IS NULL OR Payed <> ?)"),
                          {id, QStringLiteral("True")});
    return q.next();
}

SqlStatement groupListStatement(qint64 group) {
    if (group == 0)
        return {kListSelect + QStringLiteral("\nORDER BY Ime_Firma, Firmi.ID"), {}, kListKey};
    return {kListSelect + QStringLiteral(" WHERE Nomer_Grupa = ?\nORDER BY Firmi.Ime_Firma, Firmi.ID"),
            {group},
            kListKey};
}

SqlStatement debtorsStatement() {
    QStringList columns;
    for (const QString& f : kListFields)
        columns << QStringLiteral("Firmi.") + f;
    return {QStringLiteral("SELECT DISTINCT ") + columns.join(QStringLiteral(", ")) +
                QStringLiteral(" FROM Firmi, Konsignation WHERE Firmi.ID = Konsignation.ID_Kontrag "
                               "AND (Konsignation.Payed IS NULL OR Konsignation.Payed <> ?)\n"
                               "ORDER BY Firmi.ID"),
            {QStringLiteral("True")},
            kListKey};
}

SqlStatement listSearchStatement(int column, Comparison comparison, const QString& from, const QString& to,
                                 SqlEngine engine) {
    if (column < 0 || column >= int(listColumns.size()))
        throw std::invalid_argument("no such list column");
    const ListColumn& c = listColumns[size_t(column)];
    const QString field = c.field.toString();
    // The rows in the order of their key, so that a grid can read them page by page.
    const QString order = QStringLiteral("\nORDER BY Firmi.ID");
    if (!c.numeric) {
        const ContainsCondition contains =
            field == QLatin1String("Ime_Firma")
                ? containsCondition(engine, QStringLiteral("Firmi"), QStringLiteral("ID"), field, kNameIndex,
                                    from)
                : likeCondition(field, likeContains(from.toUpper()));
        return {kListSelect + QStringLiteral(" WHERE ") + contains.sql + order, {contains.value}, kListKey};
    }
    QVariantList values{typedNumberValue(from)};
    if (comparison == Comparison::Between)
        values << typedNumberValue(to);
    return {kListSelect + QStringLiteral(" WHERE ") + valueCondition(field, comparison) + order, values,
            kListKey};
}

std::optional<SqlStatement> quickSearchStatement(const QString& text, QuickSearchPage page,
                                                 SqlEngine engine) {
    if (text.isEmpty() || text.startsWith(u'0'))
        return std::nullopt;
    const QString select = QStringLiteral("SELECT ID, Ime_Firma FROM Firmi");
    const QString order = QStringLiteral(" ORDER BY Ime_Firma");
    const QChar first = text.front();
    const QString rest = text.mid(1);
    if (first == u'!' || first == u'+' || first == u'-') {
        if (rest.isEmpty())
            return std::nullopt;
        if (first == u'!') {
            bool ok = false;
            const qint64 id = rest.trimmed().toLongLong(&ok);
            // A number that is not a number finds nobody.
            if (!ok)
                return SqlStatement{select + QStringLiteral(" WHERE 1 = 0") + order, {}};
            return SqlStatement{select + QStringLiteral(" WHERE ID = ?") + order, {id}};
        }
        const QString column = first == u'+' ? QStringLiteral("Dan_N") : QStringLiteral("EIK");
        return SqlStatement{select + QStringLiteral(" WHERE %1 = ?").arg(column) + order, {rest}};
    }
    // A Cyrillic letter of the Windows-1251 range (А to я) searches by name.
    if (first.unicode() >= 0x0410 && first.unicode() <= 0x044F) {
        const QString upper = text.toUpper();
        // On the shop page Ч, Щ, Ю and Я stand for any one letter: such a
        // pattern is matched by a scan.
        if (page == QuickSearchPage::Shop &&
            (upper.contains(u'Ч') || upper.contains(u'Щ') || upper.contains(u'Ю') || upper.contains(u'Я'))) {
            QString pattern = likeContains(upper);
            for (QChar letter : {u'Ч', u'Щ', u'Ю', u'Я'})
                pattern.replace(letter, u'_');
            const ContainsCondition c = likeCondition(QStringLiteral("Ime_Firma"), pattern);
            return SqlStatement{select + QStringLiteral(" WHERE ") + c.sql + order, {c.value}};
        }
        const ContainsCondition c = containsCondition(engine, QStringLiteral("Firmi"), QStringLiteral("ID"),
                                                      QStringLiteral("Ime_Firma"), kNameIndex, text);
        return SqlStatement{select + QStringLiteral(" WHERE ") + c.sql + order, {c.value}};
    }
    return SqlStatement{select + order, {}};
}

QStringList quickSearch(const QSqlDatabase& db, const QString& text, QuickSearchPage page) {
    const std::optional<SqlStatement> s = quickSearchStatement(text, page, sqlEngine(db));
    if (!s)
        return {};
    QSqlQuery q = execSql(db, s->text, s->values);
    QStringList items;
    while (q.next())
        items << refText(q.value(0).toLongLong(), q.value(1).toString());
    return items;
}

QStringList townsByName(const QSqlDatabase& db, const QString& text) {
    return firstColumn(execSql(db,
                               QStringLiteral("SELECT Opisanie FROM Grad WHERE UPPER(Opisanie) LIKE ? "
                                              "ESCAPE '\\' ORDER BY Opisanie"),
                               {likeContains(text.toUpper())}));
}

QStringList allTowns(const QSqlDatabase& db) {
    return firstColumn(execSql(db, QStringLiteral("SELECT Opisanie FROM Grad ORDER BY Opisanie")));
}

QStringList townsByCode(const QSqlDatabase& db, TownCode code, const QString& text) {
    const QString column = code == TownCode::Phone ? QStringLiteral("TK") : QStringLiteral("PK");
    return firstColumn(execSql(
        db,
        QStringLiteral("SELECT Opisanie FROM Grad WHERE %1 LIKE ? ESCAPE '\\' ORDER BY Opisanie").arg(column),
        {likeContains(text)}));
}

} // namespace torvika
