#include "service/service_reports.h"

#include "common/dates.h"
#include "common/number_column.h"
#include "common/sql.h"

namespace torvika {

namespace {

void addContains(QString& sql, QVariantList& values, const QString& column, const QString& text) {
    sql += QStringLiteral(" AND UPPER(%1) LIKE ? ESCAPE '\\'").arg(column);
    values << likeContains(text.trimmed().toUpper());
}

// The conditions of the filter on R_Priem R.
std::pair<QString, QVariantList> issuedConditions(const IssuedFilter& f) {
    QString sql;
    QVariantList values;
    if (f.client) {
        sql += QStringLiteral(" AND R.ID_Kontrag = ?");
        values << *f.client;
    }
    if (f.reason)
        addContains(sql, values, QStringLiteral("R.Pri4ina"), *f.reason);
    if (f.operatorName) {
        sql += QStringLiteral(" AND R.Operator = ?");
        values << *f.operatorName;
    }
    if (f.supplier) {
        sql += QStringLiteral(" AND R.ID_Dostav4ik = ?");
        values << *f.supplier;
    }
    if (f.document) {
        sql += QStringLiteral(" AND R.Gar_Dok_N = ?");
        values << f.document->trimmed();
    }
    if (f.documentDate)
        addDateFilter(sql, values, QStringLiteral("R.Data_Gar_Dok"), *f.documentDate);
    if (f.article) {
        sql += QStringLiteral(" AND R.Barkod = ?");
        values << *f.article;
    }
    if (f.model)
        addContains(sql, values, QStringLiteral("R.Model"), *f.model);
    if (f.batch)
        addContains(sql, values, QStringLiteral("R.Partida"), *f.batch);
    if (f.serial)
        addContains(sql, values, QStringLiteral("R.S_N"), *f.serial);
    if (f.dossier) {
        sql += QStringLiteral(" AND R.Dosie_ID = ?");
        values << *f.dossier;
    }
    if (f.issuedBy) {
        sql += QStringLiteral(" AND R.Oper_Izd = ?");
        values << *f.issuedBy;
    }
    if (f.issued)
        addDateFilter(sql, values, QStringLiteral("R.Data_Izd"), *f.issued);
    return {sql, values};
}

// The repair lines' amounts and currencies of the items R_Priem R the
// conditions find, summed as a total.
RepairTotal totalOf(const QSqlDatabase& db, const QString& conditions, const QVariantList& values) {
    QSqlQuery q = execSql(db,
                          QStringLiteral("SELECT L.Kol, L.ED_Cena, L.Valuta, V.Kurs FROM R_Priem R "
                                         "JOIN R_Remont L ON L.N_Priem = R.N_Priem "
                                         "LEFT JOIN Valuti V ON V.Opisanie = L.Valuta WHERE 1 = 1") +
                              conditions,
                          values);
    QList<RepairLine> lines;
    while (q.next()) {
        RepairLine l;
        l.quantity = fromNumberColumn(q.value(0), 6);
        l.price = fromNumberColumn(q.value(1), 6);
        l.currency = q.value(2).toString();
        if (!q.value(3).isNull())
            l.rate = fromNumberColumn(q.value(3), 8);
        lines << l;
    }
    return repairTotal(lines);
}

} // namespace

SqlStatement issuedItemsStatement(const IssuedFilter& filter) {
    const auto [conditions, values] = issuedConditions(filter);
    return {QStringLiteral(
                "SELECT R.N_Priem, R.Dosie_ID, R.S_N, R.Opisanie, R.Pri4ina, K.Ime_Firma AS Ime_Kontrag, "
                "R.Model, R.Partida, R.Gar, R.Gar_Dok_N, R.Data_Gar_Dok, D.Ime_Firma AS Ime_Dostav4ik, "
                "R.Data_Priem, R.Time_Priem, R.Operator, R.Pred_Cena_Remont, R.Valuta, R.Data_Izd, "
                "R.Time_Izd, R.Oper_Izd, (SELECT SUM(L.Kol * L.ED_Cena * V.Kurs) FROM R_Remont L "
                "JOIN Valuti V ON V.Opisanie = L.Valuta WHERE L.N_Priem = R.N_Priem) AS Suma, "
                "R.ID_Kontrag, R.ID_Dostav4ik, R.Barkod FROM R_Priem R "
                "LEFT JOIN Firmi K ON K.ID = R.ID_Kontrag LEFT JOIN Firmi D ON D.ID = R.ID_Dostav4ik "
                "WHERE 1 = 1") +
                conditions + QStringLiteral("\nORDER BY R.N_Priem"),
            values, QStringLiteral("R.N_Priem")};
}

RepairTotal issuedRepairsTotal(const QSqlDatabase& db, const IssuedFilter& filter) {
    const auto [conditions, values] = issuedConditions(filter);
    return totalOf(db, conditions, values);
}

SqlStatement inServiceStatement(const InServiceFilter& f, const QDate& today) {
    QString sql;
    QVariantList values;
    if (f.state) {
        sql += QStringLiteral(" AND P.Status = ?");
        values << *f.state;
    }
    if (f.client) {
        sql += QStringLiteral(" AND P.ID_Kontrag = ?");
        values << *f.client;
    }
    if (f.received)
        addDateFilter(sql, values, QStringLiteral("P.Data_Priem"), *f.received);
    if (f.overdueOnly) {
        sql += QStringLiteral(" AND P.Krai_Data <> '' AND P.Krai_Data < ? AND P.Krai_Data <> P.Data_Priem");
        values << isoDate(today);
    }
    return {
        QStringLiteral("SELECT P.N_Prodajba, S.Opisanie AS Status_Rem, F.Ime_Firma, P.Opisanie, P.S_N, "
                       "P.Pri4ina, P.Data_Priem, P.Krai_Data, P.Operator, P.Pred_Cena_Remont, P.Valuta, "
                       "(SELECT SUM(L.Kol * L.Ed_Cena * V.Kurs) FROM Remont L JOIN Valuti V "
                       "ON V.Opisanie = L.Valuta WHERE L.N_Priem = P.N_Prodajba) AS Suma, P.Status, S.Color "
                       "FROM Priem_Ser P LEFT JOIN Firmi F ON F.ID = P.ID_Kontrag "
                       "LEFT JOIN Status_Remont S ON S.ID = P.Status WHERE 1 = 1") +
            sql + QStringLiteral("\nORDER BY P.N_Prodajba"),
        values, QStringLiteral("P.N_Prodajba")};
}

ServiceTurnover serviceTurnover(const QSqlDatabase& db, const QDate& from, const QDate& to) {
    ServiceTurnover t;
    const QVariantList period{isoDate(from), isoDate(to)};
    t.received =
        scalarSql(db, QStringLiteral("SELECT COUNT(*) FROM Priem_Ser WHERE Data_Priem BETWEEN ? AND ?"),
                  period)
            .toInt() +
        scalarSql(db, QStringLiteral("SELECT COUNT(*) FROM R_Priem WHERE Data_Priem BETWEEN ? AND ?"), period)
            .toInt();
    t.issued =
        scalarSql(db, QStringLiteral("SELECT COUNT(*) FROM R_Priem WHERE Data_Izd BETWEEN ? AND ?"), period)
            .toInt();
    t.issuedWarranty =
        scalarSql(
            db,
            QStringLiteral("SELECT COUNT(*) FROM R_Priem WHERE Data_Izd BETWEEN ? AND ? AND Gar = 'True'"),
            period)
            .toInt();
    t.inService = scalarSql(db, QStringLiteral("SELECT COUNT(*) FROM Priem_Ser")).toInt();
    t.repairs = totalOf(db, QStringLiteral(" AND R.Data_Izd BETWEEN ? AND ?"), period);
    return t;
}

} // namespace torvika
