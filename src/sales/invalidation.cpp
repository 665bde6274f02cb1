#include "sales/invalidation.h"

#include "catalogue/stock.h"
#include "common/dates.h"
#include "common/errors.h"
#include "common/number_column.h"
#include "common/sql.h"
#include "common/sql_statement.h"
#include "sales/texts.h"

#include <QHash>
#include <QSet>
#include <algorithm>

namespace torvika {

namespace {

// Documents of the shop's lines are registered from page 1.
constexpr int kShopPlace = 1;
const QString kTrue = QStringLiteral("True");
const QString kFalse = QStringLiteral("False");

QList<IssuedForLine> documentsOf(const QSqlDatabase& db, qint64 sale) {
    const SqlRows rows = readRows(
        db,
        QStringLiteral(
            "SELECT DISTINCT D.Opisanie, P.N_Dok, P.Data FROM Printed_Dok P "
            "LEFT JOIN Dokumenti D ON D.ID_Dokument = P.ID_Dok "
            "WHERE P.ID_Prod = ? AND P.Ot_Kade_Prod = ? AND (P.Anulirano IS NULL OR P.Anulirano <> ?) "
            "ORDER BY P.Data, P.N_Dok"),
        {sale, kShopPlace, kTrue});
    QList<IssuedForLine> out;
    for (const QVariantList& r : rows.rows)
        out << IssuedForLine{r[0].toString(), r[1].toString(), r[2].toString()};
    return out;
}

} // namespace

QList<InvalidationCandidate> invalidationCandidates(const QSqlDatabase& db, const QList<qint64>& chosen) {
    QList<InvalidationCandidate> out;
    QSet<qint64> seen;
    for (auto it = chosen.crbegin(); it != chosen.crend(); ++it) {
        if (seen.contains(*it))
            continue;
        seen.insert(*it);
        InvalidationCandidate c;
        c.sale = *it;
        const SqlRows rows =
            readRows(db,
                     QStringLiteral("SELECT P.ID_Art, A.Opisanie, P.Kol, P.Konsign_N FROM Prodajbi P "
                                    "LEFT JOIN Produkti A ON A.ID = P.ID_Art WHERE P.ID_Prodajba = ?"),
                     {c.sale}, 1);
        if (rows.rows.isEmpty()) {
            c.status = InvalidationCandidate::Gone;
            out << c;
            continue;
        }
        const QVariantList& r = rows.rows[0];
        c.article = r[0].toLongLong();
        c.description = r[1].isNull() ? QString::number(c.article) : r[1].toString();
        c.quantity = fromNumberColumn(r[2], 6);
        if (c.article == 0)
            c.status = InvalidationCandidate::Payment;
        else if (r[3].toLongLong() != 0)
            c.status = InvalidationCandidate::Credit;
        else
            c.documents = documentsOf(db, c.sale);
        out << c;
    }
    return out;
}

InvalidationResult invalidateSales(const QSqlDatabase& db, const InvalidationRequest& request) {
    if (request.reason.trimmed().isEmpty())
        throw EConvertError(texts::kInvalidationReasonEmpty);
    InvalidationResult result;
    const QString date = isoDate(request.when.date());
    const QString time = shortTime(request.when.time());
    QHash<QString, AnnulledDocument> annulled; // by kind and number
    QStringList annulledOrder;
    Transaction t(db);
    for (const LineInvalidation& line : request.lines) {
        if (result.invalidated.contains(line.sale) || result.skipped.contains(line.sale))
            continue;
        // Locks the row: another workstation invalidating it waits here,
        // then finds it gone.
        const QSqlQuery lock =
            execSql(db, QStringLiteral("UPDATE Prodajbi SET ID_Prodajba = ID_Prodajba WHERE ID_Prodajba = ?"),
                    {line.sale});
        const int rows = lock.numRowsAffected();
        if (rows > 1)
            throw EDatabaseError(texts::kSaleRecordedTwice.arg(line.sale));
        const SqlRows stored =
            rows == 1 ? readRows(db,
                                 QStringLiteral("SELECT ID_Art, Kol, Konsign_N, Sklad_ID FROM Prodajbi "
                                                "WHERE ID_Prodajba = ?"),
                                 {line.sale}, 1)
                      : SqlRows();
        if (stored.rows.isEmpty() || stored.rows[0][0].toLongLong() == 0 ||
            stored.rows[0][2].toLongLong() != 0) {
            result.skipped << line.sale;
            continue;
        }
        const QVariantList& row = stored.rows[0];
        const qint64 article = row[0].toLongLong();
        const Decimal quantity = fromNumberColumn(row[1]);
        const qint64 warehouse = row[3].isNull() ? request.activeWarehouse : row[3].toLongLong();
        execSql(
            db,
            QStringLiteral(
                "INSERT INTO Invalidate_Sales (ID_Prodajba, ID_Art, Operator, D_Prodajba, T_Prodajba, Kol, "
                "Ed_Cena, Valuta, ID_Klient, T_O, Pored_Ot, Pored_Do, Konsign_N, Type_pay, Term_N, "
                "Osnovanie, Anuliral, Date_Invalidate, Time_Invalidate, Sklad_ID, Stock_Back, UNP) "
                "SELECT ID_Prodajba, ID_Art, Operator, D_Prodajba, T_Prodajba, Kol, ED_Cena, Valuta, "
                "ID_Klient, T_O, Pored_Ot, Pored_Do, Konsign_N, Type_Pay, Term_N, ?, ?, ?, ?, ?, ?, UNP "
                "FROM Prodajbi WHERE ID_Prodajba = ?"),
            {request.reason, request.operatorName, date, time, warehouse, line.restoreStock ? kTrue : kFalse,
             line.sale});
        const QSqlQuery removed =
            execSql(db, QStringLiteral("DELETE FROM Prodajbi WHERE ID_Prodajba = ?"), {line.sale});
        if (removed.numRowsAffected() != 1)
            throw EDatabaseError(texts::kSaleRecordedTwice.arg(line.sale));
        if (line.restoreStock)
            GET_NALI4NOST(db, article, warehouse, kAddStock, quantity);
        if (line.annulDocuments) {
            const SqlRows docs = readRows(
                db,
                QStringLiteral("SELECT D.Opisanie, P.N_Dok, P.Data, P.ID_Kontrag FROM Printed_Dok P "
                               "LEFT JOIN Dokumenti D ON D.ID_Dokument = P.ID_Dok WHERE P.ID_Prod = ? "
                               "AND P.Ot_Kade_Prod = ? AND (P.Anulirano IS NULL OR P.Anulirano <> ?)"),
                {line.sale, kShopPlace, kTrue});
            for (const QVariantList& d : docs.rows) {
                const QString key = d[0].toString() + u'\n' + d[1].toString();
                if (!annulled.contains(key)) {
                    annulledOrder << key;
                    annulled.insert(
                        key, AnnulledDocument{
                                 d[0].toString(), d[1].toString(), d[2].toString(), d[3].toLongLong(), {}});
                }
                annulled[key].lines << line.sale;
            }
            execSql(
                db,
                QStringLiteral("UPDATE Printed_Dok SET Anulirano = ? WHERE ID_Prod = ? AND Ot_Kade_Prod = ?"),
                {kTrue, line.sale, kShopPlace});
        }
        result.invalidated << line.sale;
    }
    t.commit();
    for (const QString& key : annulledOrder)
        result.annulled << annulled.value(key);
    return result;
}

InvalidatedChoices invalidatedChoices(const QSqlDatabase& db) {
    InvalidatedChoices c;
    const auto refs = [&db](const QString& sql) {
        QStringList out;
        for (const QVariantList& r : readRows(db, sql).rows)
            out << r[0].toString() + u':' + r[1].toString();
        return out;
    };
    c.counterparties = refs(QStringLiteral("SELECT DISTINCT P.ID_Klient, F.Ime_Firma FROM Invalidate_Sales P "
                                           "LEFT JOIN Firmi F ON F.ID = P.ID_Klient ORDER BY P.ID_Klient"));
    c.articles = refs(QStringLiteral("SELECT DISTINCT P.ID_Art, A.Opisanie FROM Invalidate_Sales P "
                                     "LEFT JOIN Produkti A ON A.ID = P.ID_Art ORDER BY P.ID_Art"));
    for (const QVariantList& r :
         readRows(db, QStringLiteral("SELECT DISTINCT Anuliral FROM Invalidate_Sales ORDER BY Anuliral"))
             .rows)
        c.invalidatedBy << r[0].toString();
    return c;
}

SqlStatement invalidatedSalesStatement(const InvalidatedCriteria& criteria, int decimals) {
    SqlConditions w = salesConditions(criteria.sale, decimals);
    if (criteria.invalidatedBy) {
        w.conditions << QStringLiteral("P.Anuliral = ?");
        w.values << *criteria.invalidatedBy;
    }
    if (criteria.reason) {
        w.conditions << QStringLiteral("UPPER(P.Osnovanie) LIKE ? ESCAPE '\\'");
        w.values << likeContains(criteria.reason->toUpper());
    }
    if (criteria.invalidationDate)
        addRange(w, QStringLiteral("P.Date_Invalidate"), *criteria.invalidationDate);
    if (criteria.invalidationTime)
        addRange(w, QStringLiteral("P.Time_Invalidate"), *criteria.invalidationTime);
    SqlStatement s;
    // Wrapped, so that a title sorts by the list's own column names.
    s.text = QStringLiteral("SELECT * FROM (SELECT P.ID_Prodajba, P.ID_Art, A.Opisanie, P.Kol, P.Ed_Cena, "
                            "P.Valuta, P.T_O, ") +
             lineAmountExpression() +
             QStringLiteral(
                 " AS Suma, P.D_Prodajba, P.T_Prodajba, F.Ime_Firma, P.Operator, P.Pored_Ot, P.Pored_Do, "
                 "P.Type_pay, P.Term_N, P.Osnovanie, P.Date_Invalidate, P.Time_Invalidate, P.Anuliral, "
                 "S.Opis_Sklad, P.Stock_Back FROM Invalidate_Sales P LEFT JOIN Produkti A ON A.ID = P.ID_Art "
                 "LEFT JOIN Firmi F ON F.ID = P.ID_Klient LEFT JOIN Valuti V ON V.Opisanie = P.Valuta "
                 "LEFT JOIN Sklad S ON S.ID_Sklad = P.Sklad_ID") +
             w.where() + QStringLiteral(") R\nORDER BY ID_Prodajba");
    s.values = w.values;
    s.key = QStringLiteral("ID_Prodajba");
    return s;
}

} // namespace torvika
