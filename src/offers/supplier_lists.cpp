#include "offers/supplier_lists.h"

#include "catalogue/data_import.h"
#include "catalogue/texts.h"
#include "common/errors.h"
#include "common/new_keys.h"
#include "common/number_column.h"
#include "common/numbered_fields.h"
#include "common/ref_text.h"
#include "common/sql.h"
#include "common/sql_dialect.h"
#include "common/texts.h"
#include "offers/texts.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace torvika {

namespace {

const QStringList kListTables{QStringLiteral("Firm_CL"), QStringLiteral("Grupi_CL"),
                              QStringLiteral("Art_CL")};

// The record kind of a line: the highest kind any of its fields belongs to.
enum class LineKind { None, Supplier, Group, Article };

LineKind lineKind(const NumberedFields& fields) {
    bool article = false;
    bool group = false;
    for (const auto& [number, value] : fields.fields()) {
        bool ok = false;
        const int n = number.toInt(&ok);
        if (!ok || number.startsWith(u'0'))
            continue;
        if (n >= 16 && n <= 19)
            return LineKind::Supplier;
        if (n >= 11 && n <= 15)
            group = true;
        else if (n >= 1 && n <= 9)
            article = true;
    }
    return group ? LineKind::Group : article ? LineKind::Article : LineKind::None;
}

class PriceListImporter {
public:
    PriceListImporter(const QSqlDatabase& db, std::optional<qint64> update, SupplierListImport& result)
        : db_(db), update_(update), result_(result), statements_(db),
          articles_(
              statements_,
              QStringLiteral("INSERT INTO Art_CL (ID, Opisanie, Cena_1, Cena_2, Cena_3, Valuta, Status, "
                             "ID_G, ID_F, Kat_N)"),
              10, 100),
          currencies_(currenciesByFoldedName(db)) {}

    // Inside the transaction: the tables locked, the keys taken once, the
    // updated supplier's old list removed.
    void begin() {
        lockTablesAgainstWriters(db_, kListTables);
        nextSupplier_ = nextKey(db_, QStringLiteral("Firm_CL"), QStringLiteral("ID"));
        nextArticle_ = nextKey(db_, QStringLiteral("Art_CL"), QStringLiteral("ID"));
        if (update_) {
            if (!scalarSql(db_, QStringLiteral("SELECT COUNT(*) FROM Firm_CL WHERE ID = ?"), {*update_}, 0)
                     .toLongLong())
                throw EDatabaseError(texts::kPriceListSupplierGone);
            execSql(db_, QStringLiteral("DELETE FROM Art_CL WHERE ID_F = ?"), {*update_});
            execSql(db_, QStringLiteral("DELETE FROM Grupi_CL WHERE ID_F = ?"), {*update_});
            supplier_ = *update_;
            nextGroup_ = 1;
            result_.suppliers << *update_;
        }
    }

    void line(qint64 number, const NumberedFields& fields) {
        if (fields.isEmpty() && !fields.unterminated())
            return; // a blank line, or one without a field: see below
        if (const std::optional<QString> broken = unterminatedLine(fields))
            return refuse(number, *broken, fields);
        switch (lineKind(fields)) {
        case LineKind::Supplier:
            return supplierLine(number, fields);
        case LineKind::Group:
            return groupLine(number, fields);
        case LineKind::Article:
            return articleLine(number, fields);
        case LineKind::None:
            return refuse(number, texts::kPriceListNotARecord, fields);
        }
    }

    // A line of text that holds no field at all is no record either.
    void emptyLine(qint64 number, const QString& text) {
        if (!text.trimmed().isEmpty())
            result_.report.refuse(number, texts::kImportNoFields);
    }

    void end() { articles_.flush(); }

private:
    void refuse(qint64 number, const QString& reason, const NumberedFields& fields) {
        result_.report.refuse(number, reason);
        // The articles below a refused supplier or group have no place.
        const LineKind kind = lineKind(fields);
        if (kind == LineKind::Supplier) {
            if (!update_)
                supplier_.reset();
            group_.reset();
        } else if (kind == LineKind::Group) {
            group_.reset();
        }
    }

    void supplierLine(qint64 number, const NumberedFields& fields) {
        ImportFields f(fields);
        std::optional<QString> name = f.text(16, kSupplierNameWidth);
        QVariantList data;
        for (int n : {17, 18, 19})
            data << f.text(n, n == 18 ? kSupplierDataWidth : 255).value_or(QString());
        if (f.ok() && (!name || name->trimmed().isEmpty()))
            f.refuse(name ? texts::kImportEmptyField.arg(16) : texts::kImportMissingField.arg(16));
        if (!f.ok())
            return refuse(number, f.refusal(), fields);
        if (update_) {
            execSql(db_,
                    QStringLiteral("UPDATE Firm_CL SET Opisanie = ?, Adres = ?, Telefon = ?, Zabel = ? "
                                   "WHERE ID = ?"),
                    QVariantList{*name} + data + QVariantList{*update_});
        } else {
            supplier_ = nextSupplier_++;
            nextGroup_ = 1;
            statements_.exec(QStringLiteral("INSERT INTO Firm_CL (ID, Opisanie, Adres, Telefon, Zabel) "
                                            "VALUES (?, ?, ?, ?, ?)"),
                             QVariantList{*supplier_, *name} + data);
            result_.suppliers << *supplier_;
        }
        group_.reset();
    }

    void groupLine(qint64 number, const NumberedFields& fields) {
        ImportFields f(fields);
        std::optional<QString> name = f.text(11, kSupplierGroupWidth);
        if (f.ok() && (!name || name->trimmed().isEmpty()))
            f.refuse(name ? texts::kImportEmptyField.arg(11) : texts::kImportMissingField.arg(11));
        if (f.ok() && !supplier_)
            f.refuse(texts::kPriceListNoSupplier);
        if (!f.ok())
            return refuse(number, f.refusal(), fields);
        group_ = nextGroup_++;
        statements_.exec(QStringLiteral("INSERT INTO Grupi_CL (ID, Opisanie, ID_F) VALUES (?, ?, ?)"),
                         {*group_, *name, *supplier_});
        ++result_.groups;
    }

    void articleLine(qint64 number, const NumberedFields& fields) {
        ImportFields f(fields);
        const std::optional<QString> description = f.text(1, kSupplierArticleWidth);
        const std::optional<Decimal> price1 = f.number(2);
        const std::optional<Decimal> price2 = f.number(3);
        const std::optional<Decimal> price3 = f.number(4);
        const std::optional<QString> currency = f.text(5, 255);
        const std::optional<QString> status = f.text(6, kSupplierStatusWidth);
        const std::optional<QString> catalogueNumber = f.text(7, kSupplierNumberWidth);
        QString knownCurrency;
        if (f.ok()) {
            if (!description)
                f.refuse(texts::kImportMissingField.arg(1));
            else if (!price1)
                f.refuse(texts::kImportMissingField.arg(2));
            else if (!currency || currency->trimmed().isEmpty())
                f.refuse(texts::kImportMissingField.arg(5));
        }
        if (f.ok()) {
            const auto known = currencies_.constFind(currency->trimmed().toCaseFolded());
            if (known == currencies_.cend())
                f.refuse(texts::kImportNoSuchCurrency.arg(*currency));
            else
                knownCurrency = *known;
        }
        if (f.ok() && !group_)
            f.refuse(texts::kPriceListNoGroup);
        if (!f.ok())
            return refuse(number, f.refusal(), fields);
        articles_.add({nextArticle_++, *description, numberColumnValue(*price1),
                       numberColumnValue(price2.value_or(Decimal(0))),
                       numberColumnValue(price3.value_or(Decimal(0))), knownCurrency,
                       status.value_or(QString()), *group_, *supplier_, catalogueNumber.value_or(QString())});
        ++result_.articles;
    }

    QSqlDatabase db_;
    std::optional<qint64> update_;
    SupplierListImport& result_;
    PreparedStatements statements_;
    BatchInsert articles_;
    CurrencyNames currencies_;
    qint64 nextSupplier_ = 1;
    qint64 nextArticle_ = 1;
    qint64 nextGroup_ = 1;
    std::optional<qint64> supplier_;
    std::optional<qint64> group_;
};

void rewriteTree(const QSqlDatabase& db, const QString& treeFile) {
    changeTreeFile(treeFile, {}, [&db](QList<TreeLine>& lines) { lines = supplierTree(db); });
}

const QString kArticleColumns = QStringLiteral(
    "SELECT Art_CL.ID, Art_CL.Kat_N, Art_CL.Opisanie, Art_CL.Cena_1, Art_CL.Cena_2, Art_CL.Cena_3, "
    "Art_CL.Valuta, Art_CL.Status, Firm_CL.Opisanie AS Firma, Grupi_CL.Opisanie AS Grupa, Art_CL.ID_F, "
    "Art_CL.ID_G FROM Art_CL JOIN Firm_CL ON Firm_CL.ID = Art_CL.ID_F JOIN Grupi_CL ON Grupi_CL.ID_F = "
    "Art_CL.ID_F AND Grupi_CL.ID = Art_CL.ID_G WHERE ");
const QString kArticleOrder = QStringLiteral("\nORDER BY Art_CL.ID");
const QString kArticleKey = QStringLiteral("Art_CL.ID");

} // namespace

QString supplierTreeFile(const QString& companyDirectory) {
    return QDir(companyDirectory).filePath(QStringLiteral("CL.pdt"));
}

SupplierListImport importSupplierList(const QSqlDatabase& db, const QString& treeFile,
                                      const QString& fileName, std::optional<qint64> update,
                                      Progress& progress) {
    NumberedFieldFile file(fileName);
    SupplierListImport result;
    PriceListImporter importer(db, update, result);
    runImport(db, result.report, [&] {
        importer.begin();
        constexpr int kScale = 1000;
        constexpr int kLinesPerLook = 256;
        progress.start(kScale);
        int shown = -1;
        int sinceLook = 0;
        while (const std::optional<QString> text = file.nextLine()) {
            const NumberedFields fields = GET_IMPORTED_DATA(*text);
            if (fields.isEmpty() && !fields.unterminated())
                importer.emptyLine(file.lineNumber(), *text);
            else
                importer.line(file.lineNumber(), fields);
            const int now = file.size() > 0 ? int(file.position() * kScale / file.size()) : kScale;
            if (now != shown) {
                shown = now;
                progress.setValue(now);
            }
            if (++sinceLook >= kLinesPerLook) {
                sinceLook = 0;
                if (progress.cancelled())
                    return false;
            }
        }
        if (progress.cancelled())
            return false;
        importer.end();
        return true;
    });
    progress.finish();
    if (result.report.outcome != ImportReport::Outcome::Stored) {
        result.suppliers.clear();
        result.groups = 0;
    }
    result.report.added = result.report.outcome == ImportReport::Outcome::Stored ? result.articles : 0;
    result.report.lines << QString() << texts::kPriceListSuppliers.arg(result.suppliers.size())
                        << texts::kPriceListGroups.arg(result.groups);
    if (result.report.outcome == ImportReport::Outcome::Stored) {
        try {
            rewriteTree(db, treeFile);
        } catch (const Error& e) {
            result.report.lines << texts::kPriceListTreeNotWritten.arg(e.message());
        }
    } else {
        result.articles = 0;
        if (result.report.outcome == ImportReport::Outcome::Failed)
            result.report.lines << texts::kImportFailed.arg(result.report.failure);
    }
    closeImportReport(result.report, texts::kPriceListTotal, false);
    return result;
}

bool deleteSupplier(const QSqlDatabase& db, const QString& treeFile, qint64 supplier) {
    int deleted = 0;
    {
        Transaction t(db);
        execSql(db, QStringLiteral("DELETE FROM Art_CL WHERE ID_F = ?"), {supplier});
        execSql(db, QStringLiteral("DELETE FROM Grupi_CL WHERE ID_F = ?"), {supplier});
        deleted =
            execSql(db, QStringLiteral("DELETE FROM Firm_CL WHERE ID = ?"), {supplier}).numRowsAffected();
        t.commit();
    }
    rewriteTree(db, treeFile);
    return deleted > 0;
}

bool deleteSupplierGroup(const QSqlDatabase& db, const QString& treeFile, qint64 supplier, qint64 group) {
    int deleted = 0;
    {
        Transaction t(db);
        execSql(db, QStringLiteral("DELETE FROM Art_CL WHERE ID_F = ? AND ID_G = ?"), {supplier, group});
        deleted =
            execSql(db, QStringLiteral("DELETE FROM Grupi_CL WHERE ID_F = ? AND ID = ?"), {supplier, group})
                .numRowsAffected();
        t.commit();
    }
    rewriteTree(db, treeFile);
    return deleted > 0;
}

void deleteAllSupplierLists(const QSqlDatabase& db, const QString& treeFile) {
    {
        Transaction t(db);
        for (const QString& table :
             {QStringLiteral("Art_CL"), QStringLiteral("Grupi_CL"), QStringLiteral("Firm_CL")})
            execSql(db, QStringLiteral("DELETE FROM %1").arg(table));
        t.commit();
    }
    rewriteTree(db, treeFile);
}

QList<TreeLine> supplierTree(const QSqlDatabase& db) {
    QHash<qint64, QList<TreeLine>> groups;
    QSqlQuery g = execSql(db, QStringLiteral("SELECT ID_F, ID, Opisanie FROM Grupi_CL ORDER BY ID_F, ID"));
    while (g.next())
        groups[g.value(0).toLongLong()]
            << TreeLine{1, refText(g.value(1).toLongLong(), g.value(2).toString())};
    QList<TreeLine> lines;
    QSqlQuery s = execSql(db, QStringLiteral("SELECT ID, Opisanie FROM Firm_CL ORDER BY ID DESC"));
    while (s.next()) {
        lines << TreeLine{0, refText(s.value(0).toLongLong(), s.value(1).toString())};
        lines << groups.value(s.value(0).toLongLong());
    }
    return lines;
}

QList<TreeLine> loadSupplierTree(const QSqlDatabase& db, const QString& treeFile) {
    const QList<TreeLine> stored = supplierTree(db);
    if (!QFileInfo::exists(treeFile) || readTreeFile(treeFile) != stored)
        rewriteTree(db, treeFile);
    return stored;
}

SqlStatement supplierGroupArticles(qint64 supplier, qint64 group) {
    return {kArticleColumns + QStringLiteral("Art_CL.ID_F = ? AND Art_CL.ID_G = ?") + kArticleOrder,
            {supplier, group},
            kArticleKey};
}

std::optional<SqlStatement> supplierSearch(const QSqlDatabase& db, SupplierSearch kind, const QString& text,
                                           const QList<qint64>& suppliers) {
    if (suppliers.isEmpty())
        return std::nullopt;
    QString condition;
    QVariantList values;
    auto contains = [&](const QString& column) {
        const ContainsCondition c = likeCondition(column, likeContains(text.toUpper()));
        condition = c.sql;
        values << c.value;
    };
    auto number = [&](const QString& column) {
        const std::optional<Decimal> d = Decimal::parse(text);
        if (!d)
            throw EConvertError(texts::kSearchNotANumber.arg(text));
        condition = column + QStringLiteral(" = ?");
        values << numberColumnValue(*d);
    };
    switch (kind) {
    case SupplierSearch::Description: {
        const ContainsCondition c =
            containsCondition(sqlEngine(db), QStringLiteral("Art_CL"), QStringLiteral("ID"),
                              QStringLiteral("Art_CL.Opisanie"), QStringLiteral("Art_CL_Names"), text);
        condition = c.sql;
        values << c.value;
        break;
    }
    case SupplierSearch::GroupName:
        contains(QStringLiteral("Grupi_CL.Opisanie"));
        break;
    case SupplierSearch::GroupNumber: {
        const std::optional<Decimal> d = Decimal::parse(text);
        if (!d || *d != d->integerPart())
            throw EConvertError(texts::kSearchNotANumber.arg(text));
        condition = QStringLiteral("Grupi_CL.ID = ?");
        values << d->toString().toLongLong();
        break;
    }
    case SupplierSearch::Price1:
        number(QStringLiteral("Art_CL.Cena_1"));
        break;
    case SupplierSearch::Price2:
        number(QStringLiteral("Art_CL.Cena_2"));
        break;
    case SupplierSearch::Price3:
        number(QStringLiteral("Art_CL.Cena_3"));
        break;
    case SupplierSearch::Currency:
        contains(QStringLiteral("Art_CL.Valuta"));
        break;
    case SupplierSearch::Status:
        contains(QStringLiteral("Art_CL.Status"));
        break;
    case SupplierSearch::Supplier:
        contains(QStringLiteral("Firm_CL.Opisanie"));
        break;
    case SupplierSearch::CatalogueNumber:
        contains(QStringLiteral("Art_CL.Kat_N"));
        break;
    }
    const QString marks = QStringList(suppliers.size(), QStringLiteral("?")).join(u',');
    for (qint64 s : suppliers)
        values << s;
    return SqlStatement{kArticleColumns + condition + QStringLiteral(" AND Art_CL.ID_F IN (%1)").arg(marks) +
                            kArticleOrder,
                        values, kArticleKey};
}

SelectionFigures selectionFigures(const QSqlDatabase& db, const SqlStatement& statement) {
    const QString select = statement.text.section(u'\n', 0, 0);
    QSqlQuery q = execSql(db,
                          QStringLiteral("SELECT COUNT(*), MIN(CASE WHEN Cena_1 > 0 THEN Cena_1 END), "
                                         "MAX(CASE WHEN Cena_1 > 0 THEN Cena_1 END) FROM (%1) s")
                              .arg(select),
                          statement.values);
    SelectionFigures out;
    if (q.next()) {
        out.count = q.value(0).toLongLong();
        if (!q.value(1).isNull())
            out.bounds.low = fromNumberColumn(q.value(1), 4);
        if (!q.value(2).isNull())
            out.bounds.high = fromNumberColumn(q.value(2), 4);
    }
    return out;
}

QString supplierSortColumn(int box) {
    static const QStringList columns{QStringLiteral("Art_CL.Opisanie"), QStringLiteral("Art_CL.Cena_1"),
                                     QStringLiteral("Art_CL.Cena_2"),   QStringLiteral("Art_CL.Cena_3"),
                                     QStringLiteral("Art_CL.Valuta"),   QStringLiteral("Art_CL.Status"),
                                     QStringLiteral("Art_CL.ID_F"),     QStringLiteral("Art_CL.ID_G")};
    return columns.value(box);
}

} // namespace torvika
