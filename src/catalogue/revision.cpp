#include "catalogue/revision.h"

#include "catalogue/articles.h"
#include "catalogue/texts.h"
#include "common/cp1251.h"
#include "common/dates.h"
#include "common/errors.h"
#include "common/import_report.h"
#include "common/new_keys.h"
#include "common/number_column.h"
#include "common/numbered_fields.h"
#include "common/sql.h"
#include "common/texts.h"

#include <QHash>
#include <QSaveFile>
#include <QSet>
#include <algorithm>
#include <stdexcept>

namespace torvika {

namespace {

const QString kDraftColumns = QStringLiteral(
    "Nomer INTEGER, Art_ID INTEGER, Opisanie VARCHAR(150), Nal_Kol DOUBLE PRECISION, "
    "Otkr_Kol DOUBLE PRECISION, Mqrka VARCHAR(20), Ed_Cena DOUBLE PRECISION, Valuta VARCHAR(20)");

// Quantities as the books keep them: six decimals.
constexpr int kQuantityDecimals = 6;
// Articles named in one statement.
constexpr int kArticlesPerStatement = 500;

Decimal quantity(const QVariant& v) {
    return fromNumberColumn(v, kQuantityDecimals);
}

// The value of a quantity at a price and a rate, kept to eight decimals
// until it is shown.
Decimal valueOf(const Decimal& q, const Decimal& price, const Decimal& rate) {
    return ((q * price).rounded(kNumberColumnDecimals) * rate).rounded(kNumberColumnDecimals);
}

// The totals of the rows (Nal_Kol, Otkr_Kol, Ed_Cena, Kurs).
RevisionTotals totalsOf(const QSqlDatabase& db, const QString& sql, const QVariantList& values) {
    RevisionTotals totals;
    QSqlQuery q = execSql(db, sql, values);
    while (q.next()) {
        if (q.value(3).isNull()) {
            ++totals.unvalued;
            continue;
        }
        const Decimal price = fromNumberColumn(q.value(2));
        const Decimal rate = fromNumberColumn(q.value(3));
        totals.recorded += valueOf(quantity(q.value(0)), price, rate);
        totals.counted += valueOf(fromNumberColumn(q.value(1)), price, rate);
    }
    return totals;
}

// "?, ?, ..." for n values.
QString marks(qsizetype n) {
    return QStringList(n, QStringLiteral("?")).join(u',');
}

// The grid's columns over a table of lines (alias L) joined to the rates.
const QString kLineColumns = QStringLiteral(
    "L.Art_ID AS Art_ID, %1 AS Art_Opis, ROUND(CAST(L.Otkr_Kol - L.Nal_Kol AS NUMERIC), 6) AS Difrents, "
    "L.Nal_Kol AS Nal_Kol, L.Otkr_Kol AS Otkr_Kol, L.Mqrka AS Mqrka, L.Ed_Cena AS Ed_Cena, L.Valuta AS "
    "Valuta, "
    "L.Nal_Kol * L.Ed_Cena * Valuti.Kurs AS Nal_Sum, L.Otkr_Kol * L.Ed_Cena * Valuti.Kurs AS Otkr_Sum");

} // namespace

QStringList revisionReasons(const QSqlDatabase& db) {
    QStringList reasons;
    QSqlQuery q = execSql(
        db, QStringLiteral(
                "SELECT DISTINCT Osnovanie FROM Revision WHERE Osnovanie IS NOT NULL ORDER BY Osnovanie"));
    while (q.next())
        reasons << q.value(0).toString();
    reasons.removeAll(QString());
    reasons.removeAll(kRevisionDefaultReason);
    reasons.prepend(kRevisionDefaultReason);
    return reasons;
}

qint64 expectedRevisionNumber(const QSqlDatabase& db) {
    const QVariant max = scalarSql(db, QStringLiteral("SELECT MAX(ID) FROM Revision"));
    return max.isNull() ? 1 : max.toLongLong() + 1;
}

RevisionDraft::RevisionDraft(const QSqlDatabase& db, qint64 warehouse)
    : db_(db), warehouse_(warehouse), table_(db, QStringLiteral("Revision_TMP"), kDraftColumns) {}

bool RevisionDraft::setWarehouse(qint64 warehouse) {
    if (warehouse == warehouse_)
        return true;
    if (!isEmpty())
        return false;
    warehouse_ = warehouse;
    return true;
}

qint64 RevisionDraft::lineCount() const {
    return scalarSql(db_, QStringLiteral("SELECT COUNT(*) FROM %1").arg(table())).toLongLong();
}

QList<qint64> RevisionDraft::articles() const {
    QList<qint64> out;
    QSqlQuery q = execSql(db_, QStringLiteral("SELECT Art_ID FROM %1 ORDER BY Nomer").arg(table()));
    while (q.next())
        out << q.value(0).toLongLong();
    return out;
}

Decimal RevisionDraft::recordedQuantity(qint64 article) const {
    return quantity(
        scalarSql(db_, QStringLiteral("SELECT SUM(Kol) FROM Store_Kol WHERE Art_ID = ? AND Sklad_ID = ?"),
                  {article, warehouse_}));
}

std::optional<Decimal> RevisionDraft::countedQuantity(qint64 article) const {
    const QVariant v =
        scalarSql(db_, QStringLiteral("SELECT Otkr_Kol FROM %1 WHERE Art_ID = ?").arg(table()), {article});
    if (!v.isValid())
        return std::nullopt;
    return fromNumberColumn(v);
}

bool RevisionDraft::addCount(qint64 article, const Decimal& counted) {
    if (counted.sign() < 0)
        throw std::invalid_argument("a quantity found is never below 0");
    if (!articleExists(db_, article))
        return false;
    addCounts({{article, counted}});
    return true;
}

void RevisionDraft::addCounts(const QList<std::pair<qint64, Decimal>>& counts) {
    QHash<qint64, Decimal> lines;
    {
        QSqlQuery q = execSql(db_, QStringLiteral("SELECT Art_ID, Otkr_Kol FROM %1").arg(table()));
        while (q.next())
            lines.insert(q.value(0).toLongLong(), fromNumberColumn(q.value(1)));
    }
    QList<qint64> fresh;
    for (const auto& [article, counted] : counts)
        if (!lines.contains(article))
            fresh << article;
    // The articles of the new lines and what the books show of them now.
    struct Facts {
        QString description, unit, currency;
        QVariant price;
        Decimal recorded;
    };
    QHash<qint64, Facts> facts;
    for (qsizetype i = 0; i < fresh.size(); i += kArticlesPerStatement) {
        const QList<qint64> part = fresh.mid(i, kArticlesPerStatement);
        QVariantList ids;
        for (qint64 id : part)
            ids << id;
        QSqlQuery a = execSql(
            db_,
            QStringLiteral("SELECT ID, Opisanie, Mqrka, Ed_Cena, Valuta_P FROM Produkti WHERE ID IN (%1)")
                .arg(marks(ids.size())),
            ids);
        while (a.next())
            facts.insert(a.value(0).toLongLong(), {a.value(1).toString(), a.value(2).toString(),
                                                   a.value(4).toString(), a.value(3), Decimal()});
        QSqlQuery s = execSql(
            db_,
            QStringLiteral("SELECT Art_ID, SUM(Kol) FROM Store_Kol WHERE Sklad_ID = ? AND Art_ID IN (%1) "
                           "GROUP BY Art_ID")
                .arg(marks(ids.size())),
            QVariantList{warehouse_} << ids);
        while (s.next())
            if (auto f = facts.find(s.value(0).toLongLong()); f != facts.end())
                f->recorded = quantity(s.value(1));
    }
    // The working table is this workstation's own: its rows need no lock
    // of the shared database.
    PreparedStatements statements(db_);
    BatchInsert insert(
        statements,
        QStringLiteral("INSERT INTO %1 (Nomer, Art_ID, Opisanie, Nal_Kol, Otkr_Kol, Mqrka, Ed_Cena, Valuta)")
            .arg(table()),
        8, 200);
    for (const auto& [article, counted] : counts) {
        if (auto line = lines.find(article); line != lines.end()) {
            *line += counted;
            statements.exec(QStringLiteral("UPDATE %1 SET Otkr_Kol = ? WHERE Art_ID = ?").arg(table()),
                            {numberColumnValue(*line), article});
            continue;
        }
        const auto f = facts.constFind(article);
        if (f == facts.cend())
            throw EDatabaseError(texts::kArticleIsGone);
        insert.add({nextLine_++, article, f->description, numberColumnValue(f->recorded),
                    numberColumnValue(counted), f->unit, f->price, f->currency});
        lines.insert(article, counted);
    }
    insert.flush();
}

void RevisionDraft::setCount(qint64 article, const Decimal& counted) {
    if (counted.sign() < 0)
        throw std::invalid_argument("a quantity found is never below 0");
    execSql(db_, QStringLiteral("UPDATE %1 SET Otkr_Kol = ? WHERE Art_ID = ?").arg(table()),
            {numberColumnValue(counted), article});
}

void RevisionDraft::removeLines(const QList<qint64>& articles) {
    for (qint64 a : articles)
        execSql(db_, QStringLiteral("DELETE FROM %1 WHERE Art_ID = ?").arg(table()), {a});
}

void RevisionDraft::clear() {
    execSql(db_, QStringLiteral("DELETE FROM %1").arg(table()));
    nextLine_ = 1;
}

RevisionTotals RevisionDraft::totals() const {
    return totalsOf(db_,
                    QStringLiteral("SELECT L.Nal_Kol, L.Otkr_Kol, L.Ed_Cena, Valuti.Kurs FROM %1 L "
                                   "LEFT JOIN Valuti ON Valuti.Opisanie = L.Valuta")
                        .arg(table()),
                    {});
}

SqlStatement RevisionDraft::linesStatement() const {
    return {
        QStringLiteral("SELECT L.Nomer AS Nomer, %1 FROM %2 L LEFT JOIN Valuti ON Valuti.Opisanie = L.Valuta"
                       "\nORDER BY Nomer")
            .arg(kLineColumns.arg(QStringLiteral("L.Opisanie")), table()),
        {},
        QStringLiteral("Nomer")};
}

CountFileImport RevisionDraft::importCountFile(const QString& fileName, Progress& progress) {
    NumberedFieldFile file(fileName);
    CountFileImport result;
    QList<std::pair<qint64, QString>> problems; // by line
    QList<qint64> order;                        // the articles in the order of the file
    QHash<qint64, Decimal> sums;
    QHash<qint64, QList<qint64>> linesOf;
    const bool read = readNumberedFile(file, progress, [&](qint64 line, const NumberedFields& fields) {
        if (fields.isEmpty() && !fields.unterminated())
            return;
        if (const std::optional<QString> broken = unterminatedLine(fields)) {
            problems << std::pair{line, *broken};
            return;
        }
        ImportFields f(fields);
        const std::optional<qint64> article = f.whole(1, 1, kMaxKeyNumber);
        const std::optional<Decimal> counted = f.number(2, Decimal(0));
        if (f.ok() && !article)
            f.refuse(fields.has(1) ? texts::kImportEmptyField.arg(1) : texts::kImportMissingField.arg(1));
        if (f.ok() && !counted)
            f.refuse(fields.has(2) ? texts::kImportEmptyField.arg(2) : texts::kImportMissingField.arg(2));
        if (!f.ok()) {
            problems << std::pair{line, f.refusal()};
            return;
        }
        if (!sums.contains(*article))
            order << *article;
        sums[*article] += *counted;
        linesOf[*article] << line;
        ++result.lines;
    });
    progress.finish();
    if (!read) {
        result.cancelled = true;
        result.lines = 0;
        return result;
    }
    QSet<qint64> known;
    for (qsizetype i = 0; i < order.size(); i += kArticlesPerStatement) {
        QVariantList ids;
        for (qint64 id : order.mid(i, kArticlesPerStatement))
            ids << id;
        QSqlQuery q = execSql(
            db_, QStringLiteral("SELECT ID FROM Produkti WHERE ID IN (%1)").arg(marks(ids.size())), ids);
        while (q.next())
            known.insert(q.value(0).toLongLong());
    }
    QList<std::pair<qint64, Decimal>> counts;
    for (qint64 article : order) {
        if (known.contains(article)) {
            counts << std::pair{article, sums[article]};
            continue;
        }
        for (qint64 line : linesOf[article])
            problems << std::pair{line, texts::kImportNoSuchArticle.arg(article)};
        result.lines -= int(linesOf[article].size());
    }
    addCounts(counts);
    result.articles = int(counts.size());
    std::stable_sort(problems.begin(), problems.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [line, reason] : problems)
        result.problems << texts::kCountLineLeftOut.arg(QString::number(line), reason);
    return result;
}

void RevisionDraft::exportCountFile(const QString& fileName) const {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw EInOutError(texts::kFileUnwritable.arg(fileName, file.errorString()));
    QByteArray out;
    QSqlQuery q =
        execSql(db_, QStringLiteral("SELECT Art_ID, Otkr_Kol, Nal_Kol FROM %1 ORDER BY Nomer").arg(table()));
    while (q.next())
        out += numberedFieldFileLine(numberedFieldLine({{1, q.value(0).toString()},
                                                        {2, fromNumberColumn(q.value(1)).toString()},
                                                        {3, quantity(q.value(2)).toString()}}));
    if (file.write(out) != out.size() || !file.commit())
        throw EInOutError(texts::kFileUnwritable.arg(fileName, file.errorString()));
}

std::optional<qint64> RevisionDraft::save(const QDate& date, const QTime& time, const QString& reason) {
    if (reason.size() > kRevisionReasonWidth)
        throw EConvertError(texts::kRevisionReasonTooLong.arg(kRevisionReasonWidth));
    if (isEmpty())
        return std::nullopt;
    Transaction t(db_);
    // No article of the lines leaves before its revision line is written
    // (a deletion then finds the history and bins the article instead).
    lockTablesAgainstWriters(
        db_, {QStringLiteral("Revision"), QStringLiteral("Revision_Art"), QStringLiteral("Produkti")});
    QStringList gone;
    {
        QSqlQuery q =
            execSql(db_, QStringLiteral("SELECT L.Art_ID FROM %1 L WHERE NOT EXISTS "
                                        "(SELECT 1 FROM Produkti P WHERE P.ID = L.Art_ID) ORDER BY L.Nomer")
                             .arg(table()));
        while (q.next())
            gone << q.value(0).toString();
    }
    if (!gone.isEmpty())
        throw EDatabaseError(texts::kRevisionArticlesGone.arg(gone.join(QStringLiteral(", "))));
    const qint64 number = nextKey(db_, QStringLiteral("Revision"), QStringLiteral("ID"));
    execSql(db_,
            QStringLiteral(
                "INSERT INTO Revision (ID, Date_Rev, Time_Rev, Osnovanie, Sklad_ID) VALUES (?, ?, ?, ?, ?)"),
            {number, isoDate(date), shortTime(time), reason, warehouse_});
    execSql(
        db_,
        QStringLiteral("INSERT INTO Revision_Art (ID_Rev, Art_ID, Nal_Kol, Otkr_Kol, Mqrka, Ed_Cena, Valuta) "
                       "SELECT ?, Art_ID, Nal_Kol, Otkr_Kol, Mqrka, Ed_Cena, Valuta FROM %1 ORDER BY Nomer")
            .arg(table()),
        {number});
    // Every line's difference added to the stock in one statement, as
    // GET_NALI4NOST adds one: the row made when the article has none, the
    // sum rounded to six decimals as a number of the database.
    if (!scalarSql(db_, QStringLiteral("SELECT 1 FROM Sklad WHERE ID_Sklad = ?"), {warehouse_}).isValid())
        throw EDatabaseError(texts::kStockNoSuchWarehouse.arg(warehouse_));
    execSql(db_,
            QStringLiteral("INSERT INTO Store_Kol (Art_ID, Sklad_ID, Kol) "
                           "SELECT L.Art_ID, ?, ROUND(CAST(L.Otkr_Kol - L.Nal_Kol AS NUMERIC), 6) FROM %1 L "
                           "WHERE L.Art_ID IS NOT NULL "
                           "ON CONFLICT (Art_ID, Sklad_ID) DO UPDATE SET "
                           "Kol = ROUND(CAST(Store_Kol.Kol + excluded.Kol AS NUMERIC), 6)")
                .arg(table()),
            {warehouse_});
    t.commit();
    clear();
    return number;
}

SqlStatement revisionListStatement(const RevisionFilter& filter) {
    QString where = QStringLiteral("R.Date_Rev BETWEEN ? AND ?");
    QVariantList values{isoDate(filter.from), isoDate(filter.to)};
    if (filter.warehouse) {
        where += QStringLiteral(" AND R.Sklad_ID = ?");
        values << *filter.warehouse;
    }
    return {QStringLiteral(
                "SELECT R.ID AS ID, R.Date_Rev AS Date_Rev, R.Time_Rev AS Time_Rev, "
                "R.Osnovanie AS Osnovanie, R.Sklad_ID AS Sklad_ID, S.Opis_Sklad AS Opis_Sklad, "
                "(SELECT COUNT(*) FROM Revision_Art A WHERE A.ID_Rev = R.ID) AS Art_Count "
                "FROM Revision R LEFT JOIN Sklad S ON S.ID_Sklad = R.Sklad_ID WHERE %1\nORDER BY ID DESC")
                .arg(where),
            values, QStringLiteral("ID")};
}

SqlStatement revisionLinesStatement(qint64 revision) {
    return {
        QStringLiteral("SELECT %1 FROM Revision_Art L LEFT JOIN Produkti P ON P.ID = L.Art_ID "
                       "LEFT JOIN Valuti ON Valuti.Opisanie = L.Valuta WHERE L.ID_Rev = ?\nORDER BY Art_ID")
            .arg(kLineColumns.arg(QStringLiteral("P.Opisanie"))),
        {revision},
        QStringLiteral("Art_ID")};
}

RevisionTotals revisionTotals(const QSqlDatabase& db, qint64 revision) {
    return totalsOf(db,
                    QStringLiteral("SELECT L.Nal_Kol, L.Otkr_Kol, L.Ed_Cena, Valuti.Kurs FROM Revision_Art L "
                                   "LEFT JOIN Valuti ON Valuti.Opisanie = L.Valuta WHERE L.ID_Rev = ?"),
                    {revision});
}

} // namespace torvika
