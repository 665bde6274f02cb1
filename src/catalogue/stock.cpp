#include "catalogue/stock.h"

#include "catalogue/texts.h"
#include "common/errors.h"
#include "common/number_column.h"
#include "common/ref_text.h"
#include "common/sql.h"

namespace torvika {

void GET_NALI4NOST(const QSqlDatabase& db, qint64 article, qint64 warehouse, int mode,
                   const Decimal& quantity) {
    // The sum is rounded to six decimals as a number of the database, so
    // that sums of decimal quantities come out exact on either engine.
    const QString value = mode == kSetStock
                              ? QStringLiteral("excluded.Kol")
                              : QStringLiteral("ROUND(CAST(Store_Kol.Kol + excluded.Kol AS NUMERIC), 6)");
    QSqlQuery q = execSql(db,
                          QStringLiteral("INSERT INTO Store_Kol (Art_ID, Sklad_ID, Kol) "
                                         "SELECT ?, ?, ROUND(CAST(? AS NUMERIC), 6) "
                                         "WHERE EXISTS (SELECT 1 FROM Sklad WHERE ID_Sklad = ?) "
                                         "ON CONFLICT (Art_ID, Sklad_ID) DO UPDATE SET Kol = %1")
                              .arg(value),
                          {article, warehouse, numberColumnValue(quantity), warehouse});
    if (q.numRowsAffected() < 1)
        throw EDatabaseError(texts::kStockNoSuchWarehouse.arg(warehouse));
}

Decimal stockTotal(const QSqlDatabase& db, qint64 article) {
    return fromNumberColumn(
        scalarSql(db, QStringLiteral("SELECT SUM(Kol) FROM Store_Kol WHERE Art_ID = ?"), {article}), 6);
}

std::optional<Decimal> stockIn(const QSqlDatabase& db, qint64 article, qint64 warehouse) {
    const QVariant v =
        scalarSql(db, QStringLiteral("SELECT Kol FROM Store_Kol WHERE Art_ID = ? AND Sklad_ID = ?"),
                  {article, warehouse});
    if (!v.isValid())
        return std::nullopt;
    return fromNumberColumn(v, 6);
}

SqlStatement stockReportStatement(const StockFilter& filter) {
    QString where = QStringLiteral("Produkti.ID = Store_Kol.Art_ID");
    QVariantList values;
    if (filter.article) {
        where += QStringLiteral(" AND Store_Kol.Art_ID = ?");
        values << *filter.article;
    }
    if (filter.warehouse) {
        where += QStringLiteral(" AND Store_Kol.Sklad_ID = ?");
        values << *filter.warehouse;
    }
    if (filter.group) {
        where += QStringLiteral(" AND Produkti.Nomer_Grupa = ?");
        values << *filter.group;
    }
    // The sum is rounded as the stored quantities are, so that it shows no
    // binary remainder.
    return {
        QStringLiteral("SELECT Produkti.ID AS ID, Produkti.Opisanie AS Opisanie, Produkti.Mqrka AS Mqrka, "
                       "ROUND(CAST(SUM(Store_Kol.Kol) AS NUMERIC), 6) AS All_Kol "
                       "FROM Produkti, Store_Kol WHERE %1 "
                       "GROUP BY Produkti.ID, Produkti.Opisanie, Produkti.Mqrka\nORDER BY ID")
            .arg(where),
        values, QStringLiteral("ID")};
}

std::optional<SqlStatement> markedArticlesStockStatement(const QList<qint64>& marked) {
    if (marked.size() >= kMarkedStockLimit)
        return std::nullopt;
    QVariantList values;
    QStringList marks;
    for (qint64 id : marked) {
        values << id;
        marks << QStringLiteral("?");
    }
    const QString in = marked.isEmpty() ? QStringLiteral("1 = 0")
                                        : QStringLiteral("Store_Kol.Art_ID IN (%1)").arg(marks.join(u','));
    return SqlStatement{
        QStringLiteral(
            "SELECT Grupi.ID AS ID_Grupa, Grupi.Opisanie AS Grupa_Opis, Produkti.ID AS ID, "
            "Produkti.Nomenkl_N AS Nomenkl_N, Produkti.Opisanie AS Opisanie, Produkti.Ed_Cena AS Ed_Cena, "
            "Produkti.Valuta_P AS Valuta_P, Produkti.Mqrka AS Mqrka, "
            "ROUND(CAST(SUM(Store_Kol.Kol) AS NUMERIC), 6) AS All_Kol "
            "FROM Produkti, Store_Kol, Grupi "
            "WHERE %1 AND Produkti.ID = Store_Kol.Art_ID AND Grupi.ID = Produkti.Nomer_Grupa "
            "GROUP BY Produkti.ID, Produkti.Nomenkl_N, Produkti.Opisanie, Produkti.Ed_Cena, "
            "Produkti.Valuta_P, Produkti.Mqrka, Grupi.ID, Grupi.Opisanie\nORDER BY ID")
            .arg(in),
        values, QStringLiteral("ID")};
}

QString stockReportArticleText(const QSqlDatabase& db, qint64 article) {
    const QVariant name =
        scalarSql(db, QStringLiteral("SELECT Opisanie FROM Produkti WHERE ID = ?"), {article});
    return name.isValid() ? refText(article, name.toString()) : texts::kNoArticleChosen;
}

QStringList stockReportGroupItems(const QSqlDatabase& db) {
    QStringList out;
    QSqlQuery q = execSql(db, QStringLiteral("SELECT ID, Opisanie FROM Grupi ORDER BY ID"));
    while (q.next())
        out << refText(q.value(0).toLongLong(), q.value(1).toString());
    return out;
}

} // namespace torvika
