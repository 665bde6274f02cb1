#include "documents/issued_documents.h"

#include "common/dates.h"
#include "common/number_column.h"
#include "common/sql.h"

namespace torvika {

namespace {

// The columns that make a document; the same in the search's grouping and
// in the statements that read one document back.
const QString kDocumentColumns = QStringLiteral("P.ID_Dok, P.N_Dok, P.Ot_Kade_Prod, COALESCE(P.Data, ''), "
                                                "COALESCE(P.fTime, ''), COALESCE(P.ID_Kontrag, 0)");

const QString kDocumentCondition =
    QStringLiteral("P.ID_Dok = ? AND P.N_Dok = ? AND P.Ot_Kade_Prod = ? AND COALESCE(P.Data, '') = ? AND "
                   "COALESCE(P.fTime, '') = ? AND COALESCE(P.ID_Kontrag, 0) = ?");

QVariantList documentValues(const IssuedDocumentRef& d) {
    return {d.kind, d.number, d.place, d.date, d.time, d.counterparty};
}

// One text per row of the search, unique among its rows.
QString keyExpression() {
    const QString part = QStringLiteral("CAST(%1 AS VARCHAR(40))");
    QStringList parts;
    for (const char* c : {"X.ID_Dok", "X.N_Dok", "X.Ot_Kade_Prod", "X.Data", "X.fTime", "X.ID_Firma"})
        parts << part.arg(QLatin1String(c));
    return parts.join(QStringLiteral(" || '|' || "));
}

// The lines' values: of the recorded sale, else of the sale list (shop), or
// of the service intake.
struct LineColumns {
    QString joins;
    QString quantity, price, currency, discount, serialFrom, serialTo, description;
};

LineColumns lineColumns(int place) {
    if (place == kIssuedInService)
        return {QStringLiteral("LEFT JOIN Priem_Ser_Vremen R ON R.N_Prodajba = P.ID_Prod "
                               "LEFT JOIN Valuti V ON V.Opisanie = R.Valuta "),
                QStringLiteral("CASE WHEN R.N_Prodajba IS NULL THEN NULL ELSE 1 END"),
                QStringLiteral("R.Pred_Cena_Remont"),
                QStringLiteral("R.Valuta"),
                QStringLiteral("0"),
                QStringLiteral("R.S_N"),
                QStringLiteral("R.Gar"),
                QStringLiteral("COALESCE(A.Opisanie, R.Opisanie)")};
    // A line keeps its number from the sale list to its record and to its
    // invalidation (the lines of an annulled invoice and of a credit note).
    return {
        QStringLiteral("LEFT JOIN Prodajbi S ON S.ID_Prodajba = P.ID_Prod "
                       "LEFT JOIN Invalidate_Sales I ON I.ID_Prodajba = P.ID_Prod AND S.ID_Prodajba IS NULL "
                       "LEFT JOIN Prodajbi_Vremenni T ON T.N_Prodajba = P.ID_Prod AND S.ID_Prodajba IS NULL "
                       "AND I.ID_Prodajba IS NULL "
                       "LEFT JOIN Valuti V ON V.Opisanie = COALESCE(S.Valuta, I.Valuta, T.Valuta) "),
        QStringLiteral("COALESCE(S.Kol, I.Kol, T.Kol)"),
        QStringLiteral("COALESCE(S.ED_Cena, I.Ed_Cena, T.Ed_Cena)"),
        QStringLiteral("COALESCE(S.Valuta, I.Valuta, T.Valuta)"),
        QStringLiteral("COALESCE(S.T_O, I.T_O, T.T_O, 0)"),
        QStringLiteral("COALESCE(S.Pored_Ot, I.Pored_Ot, T.Pored_Ot)"),
        QStringLiteral("COALESCE(S.Pored_Do, I.Pored_Do, T.Pored_Do)"),
        QStringLiteral("COALESCE(A.Opisanie, T.Opisanie)")};
}

} // namespace

SqlStatement issuedDocumentsStatement(const IssuedDocumentFilter& f) {
    QString where = QStringLiteral("P.Ot_Kade_Prod = ?");
    QVariantList values{f.place};
    if (f.kind) {
        where += QStringLiteral(" AND P.ID_Dok = ?");
        values << *f.kind;
    }
    if (f.number) {
        where += QStringLiteral(" AND P.N_Dok = ?");
        values << f.number->trimmed();
    }
    if (f.date) {
        where += QStringLiteral(" AND ") + valueCondition(QStringLiteral("P.Data"), *f.date);
        values << isoDate(f.dateFrom);
        if (*f.date == ValueComparison::Between)
            values << isoDate(f.dateTo);
    }
    if (f.counterparty) {
        where += QStringLiteral(" AND COALESCE(P.ID_Kontrag, 0) = ?");
        values << *f.counterparty;
    }
    if (f.article) {
        where += QStringLiteral(" AND P.ID_Art = ?");
        values << *f.article;
    }
    if (f.operatorName) {
        where += QStringLiteral(" AND P.Operator = ?");
        values << *f.operatorName;
    }
    // Grouped first, then joined: the kind and the counterparty are looked
    // up once per document rather than once per registered line. Every
    // column is named, so that a title sort by its name is not ambiguous
    // with a joined table's column (Dokumenti.N_Dok).
    SqlStatement s;
    s.text =
        QStringLiteral(
            "SELECT X.ID_Dok AS ID_Dok, X.N_Dok AS N_Dok, X.Ot_Kade_Prod AS Ot_Kade_Prod, X.Data AS Data, "
            "X.fTime AS fTime, X.ID_Firma AS ID_Firma, X.Operator AS Operator, "
            "D.Opisanie AS Opisanie, F.Ime_Firma AS Opisanie_K, %1 AS Doc_Key FROM "
            "(SELECT P.ID_Dok AS ID_Dok, P.N_Dok AS N_Dok, P.Ot_Kade_Prod AS Ot_Kade_Prod, "
            "COALESCE(P.Data, '') AS Data, COALESCE(P.fTime, '') AS fTime, "
            "COALESCE(P.ID_Kontrag, 0) AS ID_Firma, MIN(P.Operator) AS Operator "
            "FROM Printed_Dok P WHERE %2 GROUP BY %3) X "
            "LEFT JOIN Dokumenti D ON D.ID_Dokument = X.ID_Dok LEFT JOIN Firmi F ON F.ID = X.ID_Firma"
            "\nORDER BY X.Data DESC, X.fTime DESC, X.ID_Dok, X.N_Dok")
            .arg(keyExpression(), where, kDocumentColumns);
    s.values = values;
    s.key = QStringLiteral("Doc_Key");
    return s;
}

SqlStatement issuedLinesStatement(const IssuedDocumentRef& document) {
    const LineColumns c = lineColumns(document.place);
    SqlStatement s;
    s.text = QStringLiteral("SELECT P.ID_Prod AS ID_Prod, P.ID_Art AS Barkod, %1 AS Opisanie, %2 AS Kol, "
                            "%3 AS Ed_Cena, %4 AS Valuta, %5 AS T_O, "
                            "%2 * %3 * V.Kurs * (100 - %5) / 100 AS Suma, %6 AS Pored_Ot, %7 AS Pored_Do, "
                            "A.Dan_Grup AS Dan_Grup, V.Kurs AS Kurs FROM Printed_Dok P %8"
                            "LEFT JOIN Produkti A ON A.ID = P.ID_Art WHERE %9"
                            "\nORDER BY P.ID_Prod")
                 .arg(c.description, c.quantity, c.price, c.currency, c.discount, c.serialFrom, c.serialTo,
                      c.joins, kDocumentCondition);
    s.values = documentValues(document);
    s.key = QStringLiteral("ID_Prod");
    return s;
}

namespace {

struct IssuedLineAmount {
    qint64 line = 0;
    Decimal gross;
    int taxGroup = kStandardTaxGroup;
};

// Each line's amount in the base currency after its discount, to the
// stotinka, computed exactly from the stored values.
QList<IssuedLineAmount> lineAmounts(const QSqlDatabase& db, const IssuedDocumentRef& document) {
    const SqlStatement s = issuedLinesStatement(document);
    const SqlRows rows = readRows(db, s.text, s.values);
    const int line = int(rows.fields.indexOf(QStringLiteral("ID_Prod")));
    auto column = [&rows](const char* name) {
        for (int i = 0; i < rows.fields.size(); ++i)
            if (rows.fields[i].compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    };
    const int kol = column("Kol"), price = column("Ed_Cena"), discount = column("T_O"), rate = column("Kurs"),
              group = column("Dan_Grup");
    QList<IssuedLineAmount> out;
    for (const QVariantList& r : rows.rows) {
        if (r[rate].isNull() || r[kol].isNull())
            continue;
        const Decimal gross = fromNumberColumn(r[kol]) * fromNumberColumn(r[price]) *
                              fromNumberColumn(r[rate]) * (Decimal(100) - fromNumberColumn(r[discount]));
        out << IssuedLineAmount{r[line < 0 ? 0 : line].toLongLong(), gross.divided(100, 2),
                                r[group].isNull() ? kStandardTaxGroup : r[group].toInt()};
    }
    return out;
}

} // namespace

Decimal issuedDocumentTotal(const QSqlDatabase& db, const IssuedDocumentRef& document) {
    Decimal total;
    for (const IssuedLineAmount& l : lineAmounts(db, document))
        total += l.gross;
    return total;
}

VatTotals issuedDocumentAmounts(const QSqlDatabase& db, const IssuedDocumentRef& document,
                                const VatRates& rates) {
    QList<VatLine> lines;
    for (const IssuedLineAmount& l : lineAmounts(db, document))
        lines << VatLine{l.line, rates.of(l.taxGroup), l.gross};
    return splitVatByRate(lines);
}

QList<qint64> issuedDocumentLines(const QSqlDatabase& db, const IssuedDocumentRef& document) {
    const SqlRows rows =
        readRows(db,
                 QStringLiteral("SELECT DISTINCT P.ID_Prod FROM Printed_Dok P WHERE %1 ORDER BY P.ID_Prod")
                     .arg(kDocumentCondition),
                 documentValues(document));
    QList<qint64> out;
    for (const QVariantList& r : rows.rows)
        out << r[0].toLongLong();
    return out;
}

namespace {

// Whether every line is in the table (keyed by ID_Prodajba).
bool allLinesIn(const QSqlDatabase& db, const QString& table, const QList<qint64>& lines) {
    if (lines.isEmpty())
        return false;
    QStringList marks;
    QVariantList values;
    for (qint64 l : lines) {
        marks << QStringLiteral("?");
        values << l;
    }
    const qint64 found =
        scalarSql(db,
                  QStringLiteral("SELECT COUNT(DISTINCT ID_Prodajba) FROM %1 WHERE ID_Prodajba IN (%2)")
                      .arg(table, marks.join(QStringLiteral(", "))),
                  values)
            .toLongLong();
    return found == lines.size();
}

} // namespace

bool issuedLinesRecorded(const QSqlDatabase& db, const QList<qint64>& lines) {
    return allLinesIn(db, QStringLiteral("Prodajbi"), lines);
}

bool issuedLinesInvalidated(const QSqlDatabase& db, const QList<qint64>& lines) {
    return allLinesIn(db, QStringLiteral("Invalidate_Sales"), lines);
}

QStringList numberedKindItems(const QSqlDatabase& db) {
    QStringList out;
    for (const QVariantList& r :
         readRows(db, QStringLiteral("SELECT ID_Dokument, Opisanie FROM Dokumenti WHERE N_Dok <> '0' "
                                     "ORDER BY ID_Dokument"))
             .rows)
        out << r[0].toString() + u':' + r[1].toString();
    return out;
}

QStringList operatorNames(const QSqlDatabase& db) {
    QStringList out;
    for (const QVariantList& r : readRows(db, QStringLiteral("SELECT Ime FROM Operators ORDER BY ID")).rows)
        out << r[0].toString();
    return out;
}

} // namespace torvika
