#include "catalogue/transfers.h"

#include "catalogue/stock.h"
#include "catalogue/texts.h"
#include "common/cformat.h"
#include "common/dates.h"
#include "common/errors.h"
#include "common/new_keys.h"
#include "common/number_column.h"
#include "common/numbered_fields.h"
#include "common/ref_text.h"
#include "common/sql.h"

#include <QHash>
#include <QMap>
#include <QSaveFile>

namespace torvika {

namespace {

constexpr int kQuantityDecimals = 6;
constexpr int kValueDecimals = 8;

const QString kLineColumns =
    QStringLiteral("Line_Key, Art_ID, Opisanie, Kol, Mqrka, Ed_Cena, Valuta, Pri4ina");

StockMoveLine lineFrom(const QVariantList& r) {
    StockMoveLine l;
    l.key = r[0].toLongLong();
    l.article = r[1].toLongLong();
    l.description = r[2].toString();
    l.quantity = fromNumberColumn(r[3], kQuantityDecimals);
    l.unit = r[4].toString();
    l.price = fromNumberColumn(r[5], 4);
    l.currency = r[6].toString();
    l.reason = r[7].toString();
    return l;
}

bool warehouseExists(const QSqlDatabase& db, qint64 id) {
    return id > 0 && scalarSql(db, QStringLiteral("SELECT 1 FROM Sklad WHERE ID_Sklad = ?"), {id}).isValid();
}

// The document's tables and columns by kind.
struct Tables {
    QString head;
    QString lines;
    QString id;   // the lines' column of the document
    QString date; // the head's date and time
    QString time;
};
Tables tablesOf(StockMoveKind kind) {
    if (kind == StockMoveKind::Transfer)
        return {QStringLiteral("Transfer"), QStringLiteral("Transfer_Art"), QStringLiteral("ID_Trans"),
                QStringLiteral("Data_Transfer"), QStringLiteral("Time_Transfer")};
    return {QStringLiteral("Brak"), QStringLiteral("Brak_Art"), QStringLiteral("ID_Brak"),
            QStringLiteral("Data_Brak"), QStringLiteral("Time_Brak")};
}

} // namespace

StockMoveDraft::StockMoveDraft(const QSqlDatabase& db, StockMoveKind kind)
    : db_(db), kind_(kind),
      lines_(
          db, kind == StockMoveKind::Transfer ? QStringLiteral("Transfer_TMP") : QStringLiteral("Brak_TMP"),
          QStringLiteral("Line_Key INTEGER NOT NULL PRIMARY KEY, Art_ID INTEGER, Opisanie VARCHAR(150), Kol "
                         "DOUBLE PRECISION, Mqrka VARCHAR(20), Ed_Cena DOUBLE PRECISION, Valuta VARCHAR(20), "
                         "Pri4ina VARCHAR(%1)")
              .arg(kStockMoveReasonWidth)) {}

StockMoveDraft::~StockMoveDraft() = default;

std::optional<QString> StockMoveDraft::setWarehouses(qint64 source, qint64 target) {
    if (kind_ == StockMoveKind::Scrap)
        target = 0;
    if (source == source_ && target == target_)
        return std::nullopt;
    if (!isEmpty())
        return texts::kWarehousesFixed;
    if (!warehouseExists(db_, source) || (kind_ == StockMoveKind::Transfer && !warehouseExists(db_, target)))
        return texts::kChooseStockMoveWarehouse;
    if (kind_ == StockMoveKind::Transfer && source == target)
        return texts::kSameWarehouse;
    source_ = source;
    target_ = target;
    return std::nullopt;
}

Decimal StockMoveDraft::available(qint64 article, qint64 exceptLine) const {
    const Decimal stock = stockIn(db_, article, source_).value_or(Decimal(0));
    const Decimal collected = fromNumberColumn(
        scalarSql(
            db_,
            QStringLiteral("SELECT SUM(Kol) FROM %1 WHERE Art_ID = ? AND Line_Key <> ?").arg(lines_.table()),
            {article, exceptLine}),
        kQuantityDecimals);
    return stock - collected;
}

StockMoveDraft::Added StockMoveDraft::add(qint64 article, const Decimal& quantity, const QString& reason) {
    if (source_ <= 0 || (kind_ == StockMoveKind::Transfer && target_ <= 0))
        return {0, texts::kChooseStockMoveWarehouse};
    if (quantity.sign() <= 0)
        return {0, texts::kQuantityNotPositive};
    if (reason.size() > kStockMoveReasonWidth)
        return {0, texts::kReasonTooLong.arg(kStockMoveReasonWidth)};
    const SqlRows a =
        readRows(db_, QStringLiteral("SELECT Opisanie, Mqrka, Ed_Cena, Valuta_P FROM Produkti WHERE ID = ?"),
                 {article});
    if (a.rows.isEmpty())
        return {0, texts::kArticleNumberNotFound};
    const QVariantList& r = a.rows.front();
    const qint64 key =
        scalarSql(db_, QStringLiteral("SELECT MAX(Line_Key) FROM %1").arg(lines_.table()), {}, 0)
            .toLongLong() +
        1;
    execSql(db_,
            QStringLiteral("INSERT INTO %1 (%2) VALUES (?, ?, ?, ?, ?, ?, ?, ?)")
                .arg(lines_.table(), kLineColumns),
            {key, article, r[0], numberColumnValue(quantity.rounded(kQuantityDecimals)), r[1], r[2], r[3],
             reason.trimmed()});
    return {key, QString()};
}

std::optional<QString> StockMoveDraft::change(qint64 key, const Decimal& quantity, const QString& reason) {
    if (quantity.sign() <= 0)
        return texts::kQuantityNotPositive;
    if (reason.size() > kStockMoveReasonWidth)
        return texts::kReasonTooLong.arg(kStockMoveReasonWidth);
    QSqlQuery q = execSql(
        db_, QStringLiteral("UPDATE %1 SET Kol = ?, Pri4ina = ? WHERE Line_Key = ?").arg(lines_.table()),
        {numberColumnValue(quantity.rounded(kQuantityDecimals)), reason.trimmed(), key});
    if (q.numRowsAffected() < 1)
        return texts::kStockMoveLineGone;
    return std::nullopt;
}

int StockMoveDraft::remove(const QList<qint64>& keys) {
    int removed = 0;
    for (qint64 k : keys) {
        QSqlQuery q =
            execSql(db_, QStringLiteral("DELETE FROM %1 WHERE Line_Key = ?").arg(lines_.table()), {k});
        removed += qMax(0, q.numRowsAffected());
    }
    return removed;
}

void StockMoveDraft::clear() {
    execScriptStatement(db_, QStringLiteral("DELETE FROM %1").arg(lines_.table()));
}

std::optional<StockMoveLine> StockMoveDraft::line(qint64 key) const {
    const SqlRows rows = readRows(
        db_, QStringLiteral("SELECT %1 FROM %2 WHERE Line_Key = ?").arg(kLineColumns, lines_.table()), {key});
    if (rows.rows.isEmpty())
        return std::nullopt;
    return lineFrom(rows.rows.front());
}

QList<StockMoveLine> StockMoveDraft::lines() const {
    const SqlRows rows = readRows(
        db_, QStringLiteral("SELECT %1 FROM %2 ORDER BY Line_Key").arg(kLineColumns, lines_.table()));
    QList<StockMoveLine> out;
    for (const QVariantList& r : rows.rows)
        out << lineFrom(r);
    return out;
}

int StockMoveDraft::count() const {
    return int(
        scalarSql(db_, QStringLiteral("SELECT COUNT(*) FROM %1").arg(lines_.table()), {}, 0).toLongLong());
}

SqlStatement StockMoveDraft::linesStatement() const {
    return {QStringLiteral(
                "SELECT t.Line_Key AS Line_Key, t.Art_ID AS Art_ID, t.Opisanie AS Opisanie, t.Kol AS Kol, "
                "t.Mqrka AS Mqrka, t.Ed_Cena AS Ed_Cena, t.Valuta AS Valuta, t.Kol * t.Ed_Cena * "
                "Valuti.Kurs AS Sum_Row, t.Pri4ina AS Pri4ina FROM %1 t LEFT JOIN Valuti ON "
                "Valuti.Opisanie = t.Valuta\nORDER BY Line_Key")
                .arg(lines_.table()),
            {},
            QStringLiteral("Line_Key")};
}

StockMoveSums StockMoveDraft::sums(const VatRates& rates) const {
    const SqlRows rows = readRows(
        db_, QStringLiteral(
                 "SELECT t.Line_Key, t.Kol, t.Ed_Cena, t.Valuta, Valuti.Kurs, Produkti.Dan_Grup FROM %1 t "
                 "LEFT JOIN Valuti ON Valuti.Opisanie = t.Valuta LEFT JOIN Produkti ON Produkti.ID = "
                 "t.Art_ID ORDER BY t.Line_Key")
                 .arg(lines_.table()));
    StockMoveSums s;
    QList<VatLine> vatLines;
    for (const QVariantList& r : rows.rows) {
        if (r[4].isNull()) {
            if (!s.unknownCurrencies.contains(r[3].toString()))
                s.unknownCurrencies << r[3].toString();
            continue;
        }
        const Decimal amount =
            (fromNumberColumn(r[1], kQuantityDecimals) * fromNumberColumn(r[2], 4)).rounded(kValueDecimals) *
            fromNumberColumn(r[4], kValueDecimals);
        vatLines << VatLine{r[0].toLongLong(), rates.of(r[5].isNull() ? kStandardTaxGroup : r[5].toInt()),
                            amount};
    }
    const VatTotals t = splitVatByRate(vatLines);
    s.total = t.gross;
    s.base = t.net;
    s.vat = t.vat;
    return s;
}

QList<StockShortage> StockMoveDraft::shortages() const {
    const SqlRows rows = readRows(
        db_, QStringLiteral("SELECT Art_ID, MIN(Opisanie), SUM(Kol) FROM %1 GROUP BY Art_ID ORDER BY Art_ID")
                 .arg(lines_.table()));
    QList<StockShortage> out;
    for (const QVariantList& r : rows.rows) {
        const qint64 article = r[0].toLongLong();
        const Decimal wanted = fromNumberColumn(r[2], kQuantityDecimals);
        const Decimal stock = stockIn(db_, article, source_).value_or(Decimal(0));
        if (wanted > stock)
            out << StockShortage{article, r[1].toString(), wanted, stock};
    }
    return out;
}

StockMoveSaveResult StockMoveDraft::save(const StockMoveHeader& h) {
    const auto refused = [](const QString& message) {
        return StockMoveSaveResult{StockMoveSaveResult::Refused, 0, message};
    };
    const Tables t = tablesOf(kind_);
    Transaction tx(db_);
    if (!warehouseExists(db_, source_) ||
        (kind_ == StockMoveKind::Transfer && !warehouseExists(db_, target_)))
        return refused(texts::kChooseStockMoveWarehouse);
    if (kind_ == StockMoveKind::Transfer && source_ == target_)
        return refused(texts::kSameWarehouse);
    const QList<StockMoveLine> all = lines();
    if (all.isEmpty())
        return refused(texts::kEmptyStockMove);
    const qint64 id = nextKey(db_, t.head, QStringLiteral("ID"));
    if (kind_ == StockMoveKind::Transfer)
        execSql(db_,
                QStringLiteral(
                    "INSERT INTO Transfer (ID, Data_Transfer, Time_Transfer, Sklad_Ot, Sklad_Do, Operator, "
                    "Zabel) VALUES (?, ?, ?, ?, ?, ?, ?)"),
                {id, isoDate(h.when.date()), shortTime(h.when.time()), source_, target_, h.operatorName,
                 h.note.left(kStockMoveReasonWidth)});
    else
        execSql(db_,
                QStringLiteral("INSERT INTO Brak (ID, Data_Brak, Time_Brak, Sklad_ID, Operator, Zabel) "
                               "VALUES (?, ?, ?, ?, ?, ?)"),
                {id, isoDate(h.when.date()), shortTime(h.when.time()), source_, h.operatorName,
                 h.note.left(kStockMoveReasonWidth)});
    int n = 0;
    for (const StockMoveLine& l : all) {
        if (!scalarSql(db_, QStringLiteral("SELECT 1 FROM Produkti WHERE ID = ?"), {l.article}).isValid())
            return refused(texts::kArticleGone.arg(refText(l.article, l.description)));
        QVariantList values{
            id,        ++n, l.article, numberColumnValue(l.quantity), l.unit, numberColumnValue(l.price),
            l.currency};
        if (kind_ == StockMoveKind::Transfer) {
            execSql(db_,
                    QStringLiteral(
                        "INSERT INTO Transfer_Art (ID_Trans, Line_N, Art_ID, Kol, Mqrka, Ed_Cena, Valuta) "
                        "VALUES (?, ?, ?, ?, ?, ?, ?)"),
                    values);
            GET_NALI4NOST(db_, l.article, source_, kAddStock, -l.quantity);
            GET_NALI4NOST(db_, l.article, target_, kAddStock, l.quantity);
        } else {
            execSql(
                db_,
                QStringLiteral("INSERT INTO Brak_Art (ID_Brak, Line_N, Art_ID, Kol, Mqrka, Ed_Cena, Valuta, "
                               "Pri4ina) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
                values << l.reason);
            GET_NALI4NOST(db_, l.article, source_, kAddStock, -l.quantity);
        }
    }
    clear();
    tx.commit();
    return {StockMoveSaveResult::Saved, id, QString()};
}

// ---- Import and export ----

StockMoveImport importStockMoveLines(StockMoveDraft& draft, const QString& path) {
    NumberedFieldFile file(path);
    StockMoveImport result;
    QList<std::pair<qint64, Decimal>> found;
    QHash<qint64, bool> exists;
    while (const std::optional<QString> text = file.nextLine()) {
        if (text->trimmed().isEmpty())
            continue;
        const qint64 n = file.lineNumber();
        const NumberedFields f = GET_IMPORTED_DATA(*text);
        if (f.unterminated()) {
            result.refused << texts::kLineUnterminated.arg(n).arg(f.unterminatedField());
            continue;
        }
        bool ok = false;
        const qint64 id = f.value(1).trimmed().toLongLong(&ok);
        if (ok && !exists.contains(id))
            exists.insert(
                id, scalarSql(draft.database(), QStringLiteral("SELECT 1 FROM Produkti WHERE ID = ?"), {id})
                        .isValid());
        if (!ok || !exists.value(id)) {
            result.refused << texts::kImportNoArticle.arg(n).arg(f.value(1).trimmed());
            continue;
        }
        const std::optional<Decimal> q = Decimal::parse(f.value(2));
        if (!q || q->sign() <= 0 || *q > Decimal(1000000000000LL)) {
            result.refused << texts::kImportBadQuantity.arg(n).arg(f.value(2));
            continue;
        }
        found << std::pair{id, *q};
    }
    if (!result.refused.isEmpty())
        return result;
    Transaction t(draft.database());
    for (const auto& [id, q] : found) {
        const StockMoveDraft::Added added = draft.add(id, q);
        if (!added.refusal.isEmpty())
            throw EConvertError(added.refusal);
        ++result.added;
    }
    t.commit();
    return result;
}

void exportStockMoveLines(const StockMoveDraft& draft, const QString& path) {
    QByteArray bytes;
    for (const StockMoveLine& l : draft.lines())
        bytes += numberedFieldFileLine(
            numberedFieldLine({{1, QString::number(l.article)}, {2, l.quantity.toString()}}));
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) < 0 || !f.commit())
        throw EInOutError(texts::kFileUnwritable.arg(path, f.errorString()));
}

// ---- Print ----

QString stockMovePrintFile(StockMoveKind kind) {
    return kind == StockMoveKind::Transfer ? QStringLiteral("Transfer") : QStringLiteral("Brak");
}

QStringList stockMovePrintHeading(StockMoveKind kind, const QString& source, const QString& target,
                                  const QDateTime& when) {
    QStringList out{QString()};
    if (kind == StockMoveKind::Transfer)
        out << texts::kTransferPrintTitle << texts::kTransferPrintFrom + source
            << texts::kTransferPrintTo + target;
    else
        out << texts::kScrapPrintTitle << texts::kScrapPrintWarehouse + source;
    out << QString() << texts::kPrintFromDate.arg(shortDate(when.date()), shortTime(when.time()));
    return out;
}

QStringList stockMovePrintTotals(const StockMoveSums& s, int decimals) {
    return {QString(), texts::kPrintSum + formatFixed(s.base, decimals),
            QString(), texts::kPrintVat + formatFixed(s.vat, decimals),
            QString(), texts::kPrintTotal + formatFixed(s.total, decimals)};
}

// ---- The report ----

SqlStatement stockMoveReportStatement(StockMoveKind kind, const StockMoveReportFilter& f) {
    const Tables t = tablesOf(kind);
    QString where;
    QVariantList values;
    if (f.date) {
        const DateCondition& c = *f.date;
        if (!c.from.isValid() || (c.comparison == DateComparison::Between && !c.to.isValid()))
            throw EConvertError(texts::kOrderNoSearchDate);
        const QString field = QStringLiteral("h.") + t.date;
        values << isoDate(c.from);
        switch (c.comparison) {
        case DateComparison::Equal:
            where += QStringLiteral(" AND %1 = ?").arg(field);
            break;
        case DateComparison::AtMost:
            where += QStringLiteral(" AND %1 <= ?").arg(field);
            break;
        case DateComparison::AtLeast:
            where += QStringLiteral(" AND %1 >= ?").arg(field);
            break;
        case DateComparison::Between:
            where += QStringLiteral(" AND %1 BETWEEN ? AND ?").arg(field);
            values << isoDate(c.to);
            break;
        }
    }
    if (f.warehouse) {
        if (kind == StockMoveKind::Transfer) {
            where += QStringLiteral(" AND (h.Sklad_Ot = ? OR h.Sklad_Do = ?)");
            values << *f.warehouse << *f.warehouse;
        } else {
            where += QStringLiteral(" AND h.Sklad_ID = ?");
            values << *f.warehouse;
        }
    }
    if (f.article) {
        where += QStringLiteral(" AND EXISTS (SELECT 1 FROM %1 l WHERE l.%2 = h.ID AND l.Art_ID = ?)")
                     .arg(t.lines, t.id);
        values << *f.article;
    }
    const QString select =
        kind == StockMoveKind::Transfer
            ? QStringLiteral(
                  "SELECT h.ID AS ID, h.Data_Transfer AS Data, h.Time_Transfer AS Vreme, h.Sklad_Ot AS "
                  "Sklad_Ot, so.Opis_Sklad AS Ot_Name, h.Sklad_Do AS Sklad_Do, sd.Opis_Sklad AS Do_Name, "
                  "h.Operator AS Operator, h.Zabel AS Zabel FROM Transfer h "
                  "LEFT JOIN Sklad so ON so.ID_Sklad = h.Sklad_Ot "
                  "LEFT JOIN Sklad sd ON sd.ID_Sklad = h.Sklad_Do")
            : QStringLiteral(
                  "SELECT h.ID AS ID, h.Data_Brak AS Data, h.Time_Brak AS Vreme, h.Sklad_ID AS Sklad_Ot, "
                  "so.Opis_Sklad AS Ot_Name, NULL AS Sklad_Do, NULL AS Do_Name, h.Operator AS Operator, "
                  "h.Zabel AS Zabel FROM Brak h LEFT JOIN Sklad so ON so.ID_Sklad = h.Sklad_ID");
    return {select + QStringLiteral(" WHERE 1 = 1") + where + QStringLiteral("\nORDER BY ID"), values,
            QStringLiteral("ID")};
}

SqlStatement stockMoveLinesStatement(StockMoveKind kind, qint64 id) {
    const Tables t = tablesOf(kind);
    return {QStringLiteral(
                "SELECT l.Line_N AS Line_N, l.Art_ID AS Art_ID, Produkti.Opisanie AS Opisanie, l.Kol AS "
                "Kol, l.Mqrka AS Mqrka, l.Ed_Cena AS Ed_Cena, l.Valuta AS Valuta, l.Kol * l.Ed_Cena * "
                "Valuti.Kurs AS Sum_Row, %1 AS Pri4ina FROM %2 l LEFT JOIN Produkti ON Produkti.ID = "
                "l.Art_ID LEFT JOIN Valuti ON Valuti.Opisanie = l.Valuta WHERE l.%3 = ?\nORDER BY Line_N")
                .arg(kind == StockMoveKind::Transfer ? QStringLiteral("NULL") : QStringLiteral("l.Pri4ina"),
                     t.lines, t.id),
            {id},
            QStringLiteral("Line_N")};
}

QList<StockMoveLine> recordedStockMoveLines(const QSqlDatabase& db, StockMoveKind kind, qint64 id) {
    const SqlStatement s = stockMoveLinesStatement(kind, id);
    const SqlRows rows = readRows(db, s.text, s.values);
    QList<StockMoveLine> out;
    for (const QVariantList& r : rows.rows) {
        StockMoveLine l;
        l.key = r[0].toLongLong();
        l.article = r[1].toLongLong();
        l.description = r[2].toString();
        l.quantity = fromNumberColumn(r[3], kQuantityDecimals);
        l.unit = r[4].toString();
        l.price = fromNumberColumn(r[5], 4);
        l.currency = r[6].toString();
        l.reason = r[8].toString();
        out << l;
    }
    return out;
}

} // namespace torvika
