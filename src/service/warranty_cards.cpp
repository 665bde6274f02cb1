#include "service/warranty_cards.h"

#include "common/dates.h"
#include "common/errors.h"
#include "common/new_keys.h"
#include "common/numbered_fields.h"
#include "common/ref_text.h"
#include "common/sql.h"
#include "service/texts.h"

#include <QHash>
#include <algorithm>
#include <limits>

namespace torvika {

namespace {

// The validity of a row from the document's date.
QDate validity(const WarrantyRow& row, const QDate& documentDate) {
    if (row.unit == PeriodUnit::UntilDate)
        return row.until;
    if (!documentDate.isValid() || row.count < 0)
        return {};
    return periodEnd(documentDate, row.unit, row.count);
}

void addTextCondition(QString& sql, QVariantList& values, const QString& column, const TextFilter& f) {
    const QString upper = f.text.trimmed().toUpper();
    if (f.contains) {
        sql += QStringLiteral(" AND UPPER(%1) LIKE ? ESCAPE '\\'").arg(column);
        values << likeContains(upper);
    } else {
        sql += QStringLiteral(" AND UPPER(%1) = ?").arg(column);
        values << upper;
    }
}

} // namespace

void addDateFilter(QString& sql, QVariantList& values, const QString& column, const DateFilter& f) {
    switch (f.comparison) {
    case DateComparison::Equal:
        sql += QStringLiteral(" AND %1 = ?").arg(column);
        values << isoDate(f.from);
        break;
    case DateComparison::AtMost:
        sql += QStringLiteral(" AND %1 <= ?").arg(column);
        values << isoDate(f.from);
        break;
    case DateComparison::AtLeast:
        sql += QStringLiteral(" AND %1 >= ?").arg(column);
        values << isoDate(f.from);
        break;
    case DateComparison::Between:
        sql += QStringLiteral(" AND %1 BETWEEN ? AND ?").arg(column);
        values << isoDate(f.from) << isoDate(f.to);
        break;
    }
}

QStringList documentKindItems(const QSqlDatabase& db) {
    QStringList out;
    QSqlQuery q = execSql(db, QStringLiteral("SELECT ID, Opisanie FROM Rab_Dokumenti ORDER BY ID"));
    while (q.next())
        out << refText(q.value(0).toLongLong(), q.value(1).toString());
    return out;
}

qint64 expectedWarrantyCard(const QSqlDatabase& db) {
    return GET_MAX_NUMBER(db, QStringLiteral("Garancia_dostavtchik"), QStringLiteral("ID"));
}

WarrantyStaging::WarrantyStaging(const QSqlDatabase& db)
    : db_(db), table_(db, QStringLiteral("Serials_TMP"),
                      QStringLiteral("N INTEGER, ID INTEGER, Opisanie VARCHAR(150), Model VARCHAR(100), "
                                     "Partida VARCHAR(100), Serial_ID VARCHAR(250), Data VARCHAR(10), "
                                     "Unit INTEGER, Kol INTEGER")) {}

void WarrantyStaging::setDocumentDate(const QDate& date) {
    date_ = date;
    QSqlQuery q =
        execSql(db_, QStringLiteral("SELECT N, Unit, Kol FROM %1 WHERE Unit <> ?").arg(table_.table()),
                {int(PeriodUnit::UntilDate)});
    QList<std::pair<int, QDate>> changes;
    while (q.next()) {
        WarrantyRow row;
        row.unit = PeriodUnit(q.value(1).toInt());
        row.count = q.value(2).toInt();
        changes.append({q.value(0).toInt(), validity(row, date)});
    }
    for (const auto& [n, until] : changes)
        execSql(db_, QStringLiteral("UPDATE %1 SET Data = ? WHERE N = ?").arg(table_.table()),
                {until.isValid() ? isoDate(until) : QString(), n});
}

int WarrantyStaging::stage(const WarrantyRow& row) {
    const QString serial = row.serial.trimmed();
    if (serial.isEmpty() || row.article <= 0)
        throw EConvertError(texts::kWarrantyRowIncomplete);
    const QVariant name =
        scalarSql(db_, QStringLiteral("SELECT Opisanie FROM Produkti WHERE ID = ?"), {row.article});
    if (!name.isValid())
        throw EConvertError(texts::kWarrantyNoArticle);
    const QDate until = validity(row, date_);
    if (!until.isValid())
        throw EConvertError(texts::kWarrantyNoValidity);
    if (scalarSql(db_, QStringLiteral("SELECT 1 FROM %1 WHERE UPPER(Serial_ID) = ?").arg(table_.table()),
                  {serial.toUpper()})
            .isValid())
        throw EConvertError(texts::kWarrantyDuplicateSerial.arg(serial));
    const int n =
        scalarSql(db_, QStringLiteral("SELECT COALESCE(MAX(N), 0) + 1 FROM %1").arg(table_.table())).toInt();
    execSql(db_,
            QStringLiteral("INSERT INTO %1 (N, ID, Opisanie, Model, Partida, Serial_ID, Data, Unit, Kol) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)")
                .arg(table_.table()),
            {n, row.article, name.toString(), row.model.trimmed(), row.batch.trimmed(), serial,
             isoDate(until), int(row.unit), row.count});
    return n;
}

void WarrantyStaging::stageAll(const QList<WarrantyRow>& rows) {
    Transaction t(db_);
    for (const WarrantyRow& row : rows)
        stage(row);
    t.commit();
}

int WarrantyStaging::remove(const QList<int>& numbers) {
    int removed = 0;
    for (int n : numbers)
        removed += execSql(db_, QStringLiteral("DELETE FROM %1 WHERE N = ?").arg(table_.table()), {n})
                       .numRowsAffected();
    return removed;
}

void WarrantyStaging::clear() {
    execSql(db_, QStringLiteral("DELETE FROM %1").arg(table_.table()));
}

int WarrantyStaging::count() const {
    return scalarSql(db_, QStringLiteral("SELECT COUNT(*) FROM %1").arg(table_.table())).toInt();
}

SqlStatement WarrantyStaging::statement() const {
    return {QStringLiteral("SELECT N, ID, Opisanie, Model, Partida, Serial_ID, Data FROM %1\nORDER BY N")
                .arg(table_.table()),
            {},
            QStringLiteral("N")};
}

qint64 WarrantyStaging::save(const WarrantyHeader& h) {
    if (h.number.trimmed().size() > kWarrantyNumberMaxLength)
        throw EConvertError(texts::kWarrantyNumberTooLong);
    if (h.kind <= 0)
        throw EConvertError(texts::kWarrantyNoKind);
    if (!h.date.isValid())
        throw EConvertError(texts::kWarrantyNoDate);
    if (count() == 0)
        throw EConvertError(texts::kWarrantyNothingStaged);
    const QString staged = table_.table();
    Transaction t(db_);
    const qint64 card = nextKey(db_, QStringLiteral("Garancia_dostavtchik"), QStringLiteral("ID"));
    execSql(db_, QStringLiteral("UPDATE Produkti SET Garancionen = 'True' WHERE ID IN (SELECT ID FROM %1)")
                     .arg(staged));
    execSql(db_,
            QStringLiteral("INSERT INTO Garancia_dostavtchik (ID, ID_Kontrag, Vid_Dok, ID_Dok, Data, Zabel) "
                           "VALUES (?, ?, ?, ?, ?, ?)"),
            {card, std::max<qint64>(h.supplier, 0), h.kind, h.number.trimmed(), isoDate(h.date),
             h.note.trimmed()});
    execSql(db_,
            QStringLiteral("INSERT INTO Serials (ID_Karta, ID, Model, Partida, Serial_ID, Data) "
                           "SELECT ?, ID, Model, Partida, Serial_ID, Data FROM %1 ORDER BY N")
                .arg(staged),
            {card});
    execSql(db_, QStringLiteral("DELETE FROM %1").arg(staged));
    t.commit();
    return card;
}

QString WarrantyImport::errorText(int limit) const {
    QStringList lines;
    for (int i = 0; i < errors.size() && i < limit; ++i)
        lines << (errors[i].line > 0 ? texts::kWarrantyImportLine.arg(errors[i].line).arg(errors[i].message)
                                     : errors[i].message);
    if (errors.size() > limit)
        lines << texts::kWarrantyImportMore.arg(errors.size() - limit);
    return lines.join(u'\r');
}

QDate importedDate(const QString& text) {
    const QDate shortForm = parseShortDate(text);
    if (shortForm.isValid())
        return shortForm;
    return QDate::fromString(text.trimmed(), QStringLiteral("yyyy-MM-dd"));
}

WarrantyImport readWarrantyFile(const QSqlDatabase& db, const QString& path, Progress* progress) {
    WarrantyImport out;
    NumberedFieldFile file(path);
    // The progress counts kilobytes, so that a large file stays within an int.
    if (progress)
        progress->start(int(std::min<qint64>(file.size() / 1024 + 1, std::numeric_limits<int>::max())));
    QHash<QString, qint64> serialLines; // upper-case serial -> its line
    QHash<qint64, bool> articles;       // article -> exists
    auto fault = [&out](qint64 line, const QString& message) { out.errors.append({line, message}); };
    while (const std::optional<QString> text = file.nextLine()) {
        const qint64 line = file.lineNumber();
        if (progress && line % 256 == 1) {
            progress->setValue(
                int(std::min<qint64>(file.position() / 1024, std::numeric_limits<int>::max())));
            if (progress->cancelled()) {
                out.cancelled = true;
                break;
            }
        }
        if (text->trimmed().isEmpty())
            continue;
        const NumberedFields fields = GET_IMPORTED_DATA(*text);
        if (fields.unterminated()) {
            fault(line, texts::kWarrantyImportUnterminated.arg(fields.unterminatedField()));
            continue;
        }
        if (!fields.has(1) && !fields.has(7)) {
            fault(line, texts::kWarrantyImportNoKind);
            continue;
        }
        if (fields.has(7)) {
            out.hasDocument = true;
            out.number = fields.value(7).trimmed();
            out.note = fields.value(9).trimmed();
            if (out.number.size() > kWarrantyNumberMaxLength)
                fault(line, texts::kWarrantyImportLongNumber.arg(out.number));
            if (fields.has(8)) {
                out.date = importedDate(fields.value(8));
                if (!out.date.isValid())
                    fault(line, texts::kWarrantyImportBadDate.arg(fields.value(8)));
            }
        }
        if (!fields.has(1))
            continue;
        WarrantyRow row;
        const QString articleText = fields.value(1).trimmed();
        bool numeric = false;
        row.article = articleText.toLongLong(&numeric);
        if (!numeric || row.article <= 0) {
            fault(line, texts::kWarrantyImportBadArticle.arg(articleText));
        } else {
            auto known = articles.find(row.article);
            if (known == articles.end())
                known = articles.insert(
                    row.article,
                    scalarSql(db, QStringLiteral("SELECT 1 FROM Produkti WHERE ID = ?"), {row.article})
                        .isValid());
            if (!*known)
                fault(line, texts::kWarrantyImportUnknownArticle.arg(row.article));
        }
        row.batch = fields.value(2).trimmed();
        row.model = fields.value(3).trimmed();
        row.serial = fields.value(4).trimmed();
        if (row.serial.isEmpty()) {
            fault(line, texts::kWarrantyImportNoSerial);
        } else {
            const QString key = row.serial.toUpper();
            if (const auto seen = serialLines.constFind(key); seen != serialLines.constEnd())
                fault(line, texts::kWarrantyImportDuplicate.arg(row.serial).arg(*seen));
            else
                serialLines.insert(key, line);
        }
        row.unit = PeriodUnit::UntilDate;
        row.until = importedDate(fields.value(5));
        if (!row.until.isValid())
            fault(line, texts::kWarrantyImportBadValidity.arg(fields.value(5)));
        out.rows << row;
    }
    if (progress)
        progress->finish();
    if (!out.hasDocument && !out.cancelled)
        fault(0, texts::kWarrantyImportNoDocument);
    return out;
}

SqlStatement warrantyDocumentsStatement(const WarrantyReportFilter& f) {
    QString where;
    QVariantList values;
    if (f.supplier) {
        where += QStringLiteral(" AND G.ID_Kontrag = ?");
        values << *f.supplier;
    }
    if (f.kind) {
        where += QStringLiteral(" AND G.Vid_Dok = ?");
        values << *f.kind;
    }
    if (f.number) {
        where += QStringLiteral(" AND G.ID_Dok = ?");
        values << f.number->trimmed();
    }
    if (f.date)
        addDateFilter(where, values, QStringLiteral("G.Data"), *f.date);
    // The article criteria find the documents that have such a serial
    // number, each document once.
    QString serials;
    if (f.article) {
        serials += QStringLiteral(" AND S.ID = ?");
        values << *f.article;
    }
    if (f.serial)
        addTextCondition(serials, values, QStringLiteral("S.Serial_ID"), *f.serial);
    if (f.model)
        addTextCondition(serials, values, QStringLiteral("S.Model"), *f.model);
    if (f.batch)
        addTextCondition(serials, values, QStringLiteral("S.Partida"), *f.batch);
    if (f.validity)
        addDateFilter(serials, values, QStringLiteral("S.Data"), *f.validity);
    if (!serials.isEmpty())
        where +=
            QStringLiteral(" AND EXISTS (SELECT 1 FROM Serials S WHERE S.ID_Karta = G.ID") + serials + u')';
    return {QStringLiteral(
                "SELECT G.ID, D.Opisanie AS Dok_Name, G.ID_Dok, G.Data, F.Ime_Firma AS Dost_Name, "
                "G.Zabel, G.ID_Kontrag, G.Vid_Dok FROM Garancia_dostavtchik G "
                "LEFT JOIN Firmi F ON F.ID = G.ID_Kontrag LEFT JOIN Rab_Dokumenti D ON D.ID = G.Vid_Dok "
                "WHERE 1 = 1") +
                where + QStringLiteral("\nORDER BY G.ID"),
            values, QStringLiteral("G.ID")};
}

SqlStatement documentSerialsStatement(qint64 card) {
    return {QStringLiteral("SELECT S.ID, A.Opisanie AS Art_Name, S.Serial_ID, S.Model, S.Partida, S.Data "
                           "FROM Serials S LEFT JOIN Produkti A ON A.ID = S.ID WHERE S.ID_Karta = ?\n"
                           "ORDER BY S.Serial_ID"),
            {card},
            QStringLiteral("S.Serial_ID")};
}

} // namespace torvika
