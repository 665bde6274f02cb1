#include "documents/report_query.h"

#include "common/sql.h"
#include "documents/template_files.h"
#include "documents/texts.h"

#include <QHash>
#include <QSqlField>
#include <QSqlRecord>

namespace torvika {

namespace {

bool same(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

const QString kFirmi = QStringLiteral("Firmi");
const QString kKlienti = QStringLiteral("Klienti");
const QString kOperators = QStringLiteral("Operators");
const QString kProdukti = QStringLiteral("Produkti");
const QString kDokumenti = QStringLiteral("Dokumenti");
const QString kSaleLines = QStringLiteral("Prodajbi_Vremenni");
const QString kIntakeLines = QStringLiteral("Priem_Ser_Vremen");

// A table of the database as the statement names it, with its columns.
struct Table {
    QString name; // the name as the template spells it, without extension
    QSqlRecord record;
};

QString placeholders(qsizetype count) {
    QStringList marks;
    for (qsizetype i = 0; i < count; ++i)
        marks << QStringLiteral("?");
    return marks.join(QStringLiteral(", "));
}

} // namespace

QString lineTable(PrintContext context) {
    switch (context) {
    case PrintContext::Shop:
    case PrintContext::SalesReport:
    case PrintContext::InvalidatedSales:
        return kSaleLines;
    case PrintContext::Service:
        return kIntakeLines;
    default:
        return {};
    }
}

LineSource lineSource(PrintContext context, const VatRates& rates) {
    LineSource s;
    const QString table = lineTable(context);
    if (context != PrintContext::SalesReport && context != PrintContext::InvalidatedSales) {
        s.from = table;
        if (!table.isEmpty())
            s.lock = QStringLiteral("UPDATE %1 SET N_Prodajba = N_Prodajba WHERE N_Prodajba = ?").arg(table);
        return s;
    }
    // The unit price after the discount, in the base currency, without the
    // VAT of the article's tax group (a group outside 0..3 has the standard
    // group's rate).
    const QString rate = QStringLiteral(
        "(CASE A.Dan_Grup WHEN 0 THEN CAST(? AS DOUBLE PRECISION) WHEN 2 THEN CAST(? AS DOUBLE PRECISION) "
        "WHEN 3 THEN CAST(? AS DOUBLE PRECISION) ELSE CAST(? AS DOUBLE PRECISION) END)");
    // Both tables have the columns of a recorded line.
    const QString stored = context == PrintContext::SalesReport ? QStringLiteral("Prodajbi")
                                                                : QStringLiteral("Invalidate_Sales");
    const QString unitNet =
        QStringLiteral("(P.ED_Cena * V.Kurs * (100 - P.T_O) / 100 / (1 + %1 / 100))").arg(rate);
    // The line's value without VAT from its amount to the stotinka, as the
    // document's totals take it (a line of 35.20 at 20 % is 29.33, not the
    // 29.34 of its unrounded price).
    const QString lineNet = QStringLiteral("(ROUND(CAST(P.Kol * P.ED_Cena * V.Kurs * (100 - P.T_O) / 100 AS "
                                           "NUMERIC), 2) / (1 + %1 / 100))")
                                .arg(rate);
    s.from =
        QStringLiteral(
            "(SELECT P.ID_Prodajba AS N_Prodajba, P.ID_Art AS Barkod, A.Opisanie AS Opisanie, P.Kol AS Kol, "
            "A.Mqrka AS Mqrka, P.ED_Cena AS Ed_Cena, P.Valuta AS Valuta, P.Operator AS Operator, "
            "P.Pored_Ot AS Pored_Ot, P.Pored_Do AS Pored_Do, P.T_O AS T_O, %3 AS SUM_BezDDS, "
            "%1 AS Bez_DDS, 0 AS Sm_N, P.Term_N AS Term_N, A.Nomenkl_N AS Nomenkl_N, "
            "A.Dan_Grup AS Dan_Grup, A.Prigotvq_Se AS Prigotvq_Se, P.UNP AS UNP "
            "FROM %2 P LEFT JOIN Produkti A ON A.ID = P.ID_Art "
            "LEFT JOIN Valuti V ON V.Opisanie = P.Valuta) ")
            .arg(unitNet, stored, lineNet) +
        table;
    for (int i = 0; i < 2; ++i)
        for (int group : {0, 2, 3, kStandardTaxGroup})
            s.values << rates.of(group).toDouble();
    s.lock = QStringLiteral("UPDATE %1 SET ID_Prodajba = ID_Prodajba WHERE ID_Prodajba = ?").arg(stored);
    return s;
}

QList<qint64> operatorSaleLines(const QSqlDatabase& db, const QString& operatorName) {
    QList<qint64> lines;
    for (const QVariantList& row :
         readRows(db,
                  QStringLiteral(
                      "SELECT N_Prodajba FROM Prodajbi_Vremenni WHERE Operator = ? ORDER BY N_Prodajba"),
                  {operatorName})
             .rows)
        lines << row.value(0).toLongLong();
    return lines;
}

int issuePlace(PrintContext context) {
    switch (context) {
    case PrintContext::Shop:
    case PrintContext::SalesReport:
    case PrintContext::InvalidatedSales:
        return 1;
    default:
        return int(context) + 1;
    }
}

bool isJoinedTable(const QString& table) {
    for (const QString& t : {kFirmi, kKlienti, kOperators, kProdukti, kDokumenti, kSaleLines, kIntakeLines})
        if (same(t, table))
            return true;
    return false;
}

int ReportData::columnOf(const ReportElement& element) const {
    if (element.kind != ElementKind::DataField || element.dataField.isEmpty())
        return -1;
    return int(
        columns.indexOf((tableOfDataSet(element.dataSet) + u'.' + element.dataField.trimmed()).toLower()));
}

DocumentQuery ADD_SQL_TO_QUERY_QUICKREPORT(const QSqlDatabase& db, const ReportTemplate& report,
                                           const DocumentQueryInput& input) {
    DocumentQuery q;
    // The tables, checked against the database; their names go into the
    // statement only as the database knows them.
    QList<Table> tables;
    auto tableIndex = [&tables](const QString& name) {
        for (int i = 0; i < tables.size(); ++i)
            if (same(tables[i].name, name))
                return i;
        return -1;
    };
    auto addTable = [&](const QString& name) {
        if (!isPlainIdentifier(name) || name.contains(u'.'))
            throw EDocumentError(texts::kUnknownTable.arg(name, report.name));
        const QSqlRecord record = tableColumns(db, name);
        if (record.isEmpty())
            throw EDocumentError(texts::kUnknownTable.arg(name, report.name));
        tables.append({name, record});
    };
    for (const QString& dataSet : report.tables())
        addTable(tableOfDataSet(dataSet));

    // The data fields' columns, each once.
    QStringList select;
    for (const ReportElement& e : report.elements) {
        if (e.kind != ElementKind::DataField || e.dataField.trimmed().isEmpty())
            continue;
        const QString table = tableOfDataSet(e.dataSet);
        const Table& t = tables[tableIndex(table)];
        const QString column = e.dataField.trimmed();
        const int field = isPlainIdentifier(column) ? t.record.indexOf(column) : -1;
        if (field < 0)
            throw EDocumentError(texts::kUnknownColumn.arg(table, column, report.name));
        const QString key = (table + u'.' + column).toLower();
        if (q.columns.contains(key))
            continue;
        q.columns << key;
        select << QStringLiteral("%1.%2 AS f%3").arg(t.name, t.record.fieldName(field)).arg(q.columns.size());
    }
    if (select.isEmpty())
        return q;

    // An article of the lines needs the lines.
    const QString lines = lineTable(input.context);
    if (!lines.isEmpty() && tableIndex(kProdukti) >= 0 && tableIndex(lines) < 0)
        addTable(lines);

    // Each table's condition and values, in the order of the tables.
    QStringList conditions;
    QList<QVariantList> values;
    for (const Table& t : tables) {
        QString condition;
        QVariantList bound;
        if (same(t.name, kFirmi)) {
            condition = QStringLiteral("%1.ID = ?").arg(t.name);
            bound << input.counterparty;
        } else if (same(t.name, kKlienti)) {
            // The person of the counterparty.
            const QVariant person = scalarSql(db, QStringLiteral("SELECT ID_Mol FROM Firmi WHERE ID = ?"),
                                              {input.counterparty}, QVariant(qint64(-1)));
            condition = QStringLiteral("%1.ID = ?").arg(t.name);
            bound << (person.isNull() ? QVariant(qint64(-1)) : person);
        } else if (!lines.isEmpty() && same(t.name, lines)) {
            if (input.lines.isEmpty())
                throw EDocumentError(texts::kNoLinesSelected);
            condition = QStringLiteral("%1.N_Prodajba IN (%2)").arg(t.name, placeholders(input.lines.size()));
            for (qint64 line : input.lines)
                bound << line;
            select << QStringLiteral("%1.N_Prodajba AS line_key").arg(t.name);
            q.lineKey = true;
        } else if (same(t.name, kOperators)) {
            condition = QStringLiteral("%1.Ime = ?").arg(t.name);
            bound << input.operatorName;
        } else if (same(t.name, kProdukti) && !lines.isEmpty()) {
            condition = QStringLiteral("%1.ID = %2.Barkod").arg(t.name, lines);
        } else if (same(t.name, kDokumenti)) {
            condition = QStringLiteral("%1.ID_Dokument = ?").arg(t.name);
            bound << input.kindId;
        }
        conditions << condition;
        values << bound;
        // Every table but the lines and the lines' articles must come to one
        // row at most, or it would repeat the document's rows.
        const bool perLine =
            (!lines.isEmpty() && same(t.name, lines)) || (same(t.name, kProdukti) && !lines.isEmpty());
        if (!perLine)
            q.checks.append({t.name, condition, bound});
    }

    const int lineIndex = lines.isEmpty() ? -1 : tableIndex(lines);
    QString from;
    QStringList where;
    QVariantList bound;
    if (lineIndex >= 0) {
        // The lines are the rows; every other table is joined to them, so
        // that a row it lacks (the person of a counterparty without one, an
        // article deleted since) leaves its fields empty instead of the
        // document without rows.
        const LineSource source = lineSource(input.context, input.vatRates);
        from = source.from;
        bound << source.values;
        for (int i = 0; i < tables.size(); ++i) {
            if (i == lineIndex)
                continue;
            from +=
                QStringLiteral(" LEFT JOIN %1 ON %2")
                    .arg(tables[i].name, conditions[i].isEmpty() ? QStringLiteral("1 = 1") : conditions[i]);
            bound << values[i];
        }
        where << conditions[lineIndex];
        bound << values[lineIndex];
    } else {
        QStringList names;
        for (int i = 0; i < tables.size(); ++i) {
            names << tables[i].name;
            if (!conditions[i].isEmpty())
                where << conditions[i];
            bound << values[i];
        }
        from = names.join(QStringLiteral(", "));
    }
    q.statement.text =
        QStringLiteral("SELECT ") + select.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") + from;
    if (!where.isEmpty())
        q.statement.text += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    q.statement.values = bound;
    return q;
}

ReportData readReportData(const QSqlDatabase& db, const ReportTemplate& report,
                          const DocumentQueryInput& input) {
    const DocumentQuery q = ADD_SQL_TO_QUERY_QUICKREPORT(db, report, input);
    ReportData data;
    data.columns = q.columns;
    if (q.statement.text.isEmpty())
        return data;
    data.queried = true;
    for (const DocumentQuery::Check& c : q.checks) {
        QString sql = QStringLiteral("SELECT COUNT(*) FROM %1").arg(c.table);
        if (!c.condition.isEmpty())
            sql += QStringLiteral(" WHERE ") + c.condition;
        if (scalarSql(db, sql, c.values).toLongLong() > 1)
            throw EDocumentError(texts::kRepeatingTable.arg(c.table, report.name));
    }
    SqlRows rows = readRows(db, q.statement.text, q.statement.values);
    if (q.lineKey) {
        // The rows in the order the lines were selected.
        QHash<qint64, int> order;
        for (int i = 0; i < input.lines.size(); ++i)
            order.insert(input.lines[i], i);
        const int key = int(q.columns.size());
        std::stable_sort(rows.rows.begin(), rows.rows.end(),
                         [&](const QVariantList& a, const QVariantList& b) {
                             return order.value(a[key].toLongLong()) < order.value(b[key].toLongLong());
                         });
        for (QVariantList& row : rows.rows) {
            data.lines << row.last().toLongLong();
            row.removeLast();
        }
    }
    data.rows = std::move(rows.rows);
    return data;
}

} // namespace torvika
