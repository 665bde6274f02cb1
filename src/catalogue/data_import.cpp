#include "catalogue/data_import.h"

#include "catalogue/article_groups.h"
#include "catalogue/articles.h"
#include "catalogue/reference_lists.h"
#include "catalogue/texts.h"
#include "common/errors.h"
#include "common/new_keys.h"
#include "common/number_column.h"
#include "common/ref_text.h"
#include "common/sql.h"
#include "common/texts.h"

namespace torvika {

namespace {

// The widths of the columns the imports write (the creation script's).
constexpr int kCatalogueNumberWidth = 50;
constexpr int kDescriptionWidth = 150;
constexpr int kUnitWidth = 20;
constexpr int kShelfLifeWidth = 20;
constexpr int kGroupNameWidth = 150;
constexpr int kMaxMinQuantity = 1000000;
constexpr int kLargestVatGroup = 3;

const QString kTrue = QStringLiteral("True");
const QString kFalse = QStringLiteral("False");

QString markText(bool b) {
    return b ? kTrue : kFalse;
}

QString caseKey(const QString& name) {
    return name.toCaseFolded();
}

constexpr int kArticleColumnCount = 20;
const QString kInsertArticles = QStringLiteral(
    "INSERT INTO Produkti (ID, Nomenkl_N, Nomer_Grupa, Opisanie, Dostavna_Cena, Valuta_D, Ed_Cena, Valuta_P, "
    "Mqrka, Garancionen, Kasovo_Ime, Etiketno_Ime, Dostav4ik, Poredica, Min_Kol, Max_TO, Trajnost, "
    "Kod_Vezna, Dan_Grup, Prigotvq_Se)");

QVariant optionalNumber(const std::optional<Decimal>& d) {
    return d ? numberColumnValue(*d) : QVariant();
}

template <typename T> QVariant optionalValue(const std::optional<T>& v) {
    return v ? QVariant::fromValue(*v) : QVariant();
}

class ArticleImporter {
public:
    ArticleImporter(const QSqlDatabase& db, bool replace, ArticleImport& result)
        : db_(db), replace_(replace), result_(result), statements_(db),
          inserts_(statements_, kInsertArticles, kArticleColumnCount, 100) {}

    // Inside the transaction, before the first line.
    void begin() {
        // Nothing joins or leaves these tables until the import ends: the
        // lines are checked against what they hold.
        lockTablesAgainstWriters(
            db_, {QStringLiteral("Grupi"), QStringLiteral("Produkti"), QStringLiteral("Valuti")});
        currencies_ = currenciesByFoldedName(db_);
        baseCurrency_ = baseCurrency(db_);
        QSqlQuery g = execSql(db_, QStringLiteral("SELECT ID, Opisanie FROM Grupi ORDER BY ID"));
        while (g.next()) {
            const QString key = caseKey(g.value(1).toString());
            if (!groups_.contains(key))
                groups_.insert(key, g.value(0).toLongLong());
        }
        nextGroup_ = nextKey(db_, QStringLiteral("Grupi"), QStringLiteral("ID"));
        QSqlQuery a = execSql(db_, QStringLiteral("SELECT ID, Ed_Cena FROM Produkti"));
        while (a.next())
            stored_.insert(a.value(0).toLongLong(), fromNumberColumn(a.value(1)));
    }

    void line(qint64 number, const NumberedFields& fields) {
        ImportReport& report = result_.report;
        if (fields.isEmpty() && !fields.unterminated())
            return; // a line without any field is no record
        if (const std::optional<QString> broken = unterminatedLine(fields)) {
            report.refuse(number, *broken);
            return;
        }
        std::variant<ArticleRecord, QString> read = readArticleRecord(fields, currencies_);
        if (const QString* reason = std::get_if<QString>(&read)) {
            report.refuse(number, *reason);
            return;
        }
        const ArticleRecord& r = std::get<ArticleRecord>(read);
        if (const auto earlier = lineOf_.constFind(r.id); earlier != lineOf_.cend()) {
            report.refuse(number, texts::kImportRepeatedInFile.arg(texts::kImportArticleKey.arg(r.id),
                                                                   QString::number(*earlier)));
            return;
        }
        lineOf_.insert(r.id, number);
        const QString shown = fields.value(3);
        const auto stored = stored_.constFind(r.id);
        if (stored == stored_.cend()) {
            add(r);
            report.addNumbered(texts::kImportArticleAdded.arg(QString::number(r.id), shown));
            ++report.added;
        } else if (!replace_) {
            report.addNumbered(texts::kImportArticleExists.arg(QString::number(r.id), shown));
            ++report.repeated;
        } else {
            replace(r, *stored);
            report.addNumbered(texts::kImportArticleUpdated.arg(QString::number(r.id), shown));
            ++report.replaced;
            ++report.repeated;
        }
    }

    void end() { inserts_.flush(); }

    const QStringList& newNodes() const { return newNodes_; }

private:
    qint64 groupNamed(const QString& name) {
        const QString key = caseKey(name);
        if (const auto found = groups_.constFind(key); found != groups_.cend())
            return *found;
        const qint64 id = nextGroup_++;
        statements_.exec(QStringLiteral("INSERT INTO Grupi (ID, Opisanie) VALUES (?, ?)"), {id, name});
        groups_.insert(key, id);
        newNodes_ << refText(id, name);
        return id;
    }

    void add(const ArticleRecord& r) {
        qint64 group;
        if (r.group) {
            group = groupNamed(*r.group);
        } else {
            if (!defaultGroup_)
                defaultGroup_ = groupNamed(texts::kImportDefaultGroup.arg(nextGroup_));
            group = *defaultGroup_;
        }
        const QString description = r.description.value_or(QString());
        const QString currency = r.currency.value_or(baseCurrency_);
        const Decimal price = r.price.value_or(Decimal());
        inserts_.add({r.id,
                      r.catalogueNumber.value_or(defaultCatalogueNumber(group, QString::number(r.id))),
                      group,
                      description,
                      0.0,
                      currency,
                      numberColumnValue(price),
                      currency,
                      r.unit.value_or(QStringLiteral("бр.")),
                      markText(r.warranty.value_or(false)),
                      r.receiptName.value_or(description),
                      r.labelName.value_or(description),
                      r.supplier.value_or(0),
                      markText(r.series.value_or(false)),
                      r.minQuantity.value_or(1),
                      optionalNumber(r.maxDiscount),
                      optionalValue(r.shelfLife),
                      optionalValue(r.scaleCode),
                      r.vatGroup.value_or(1),
                      r.preparation.value_or(0)});
        stored_.insert(r.id, price);
        result_.statistics << ImportedArticle{r.id, description, price, currency, false, true};
    }

    // Writes the fields the line holds over the stored article.
    void replace(const ArticleRecord& r, const Decimal& storedPrice) {
        QStringList set;
        QVariantList values;
        auto put = [&](const char* column, const QVariant& value) {
            set << QString::fromLatin1(column) + QStringLiteral(" = ?");
            values << value;
        };
        if (r.catalogueNumber)
            put("Nomenkl_N", *r.catalogueNumber);
        if (r.group)
            put("Nomer_Grupa", groupNamed(*r.group));
        if (r.description)
            put("Opisanie", *r.description);
        if (r.price)
            put("Ed_Cena", numberColumnValue(*r.price));
        if (r.currency) {
            put("Valuta_P", *r.currency);
            put("Valuta_D", *r.currency);
        }
        if (r.unit)
            put("Mqrka", *r.unit);
        if (r.warranty)
            put("Garancionen", markText(*r.warranty));
        if (r.receiptName)
            put("Kasovo_Ime", *r.receiptName);
        if (r.labelName)
            put("Etiketno_Ime", *r.labelName);
        if (r.supplier)
            put("Dostav4ik", *r.supplier);
        if (r.series)
            put("Poredica", markText(*r.series));
        if (r.minQuantity)
            put("Min_Kol", *r.minQuantity);
        if (r.maxDiscount)
            put("Max_TO", numberColumnValue(*r.maxDiscount));
        if (r.shelfLife)
            put("Trajnost", *r.shelfLife);
        if (r.scaleCode)
            put("Kod_Vezna", *r.scaleCode);
        if (r.vatGroup)
            put("Dan_Grup", *r.vatGroup);
        if (r.preparation)
            put("Prigotvq_Se", *r.preparation);
        if (set.isEmpty())
            return;
        values << r.id;
        statements_.exec(
            QStringLiteral("UPDATE Produkti SET %1 WHERE ID = ?").arg(set.join(QStringLiteral(", "))),
            values);
        if (r.price && *r.price != storedPrice) {
            QSqlQuery& row = statements_.exec(
                QStringLiteral("SELECT Opisanie, Valuta_P FROM Produkti WHERE ID = ?"), {r.id});
            row.next();
            result_.statistics << ImportedArticle{
                r.id, row.value(0).toString(), *r.price, row.value(1).toString(), true, false};
            row.finish();
            stored_.insert(r.id, *r.price);
        }
    }

    QSqlDatabase db_;
    bool replace_;
    ArticleImport& result_;
    PreparedStatements statements_;
    BatchInsert inserts_;
    CurrencyNames currencies_;
    QString baseCurrency_;
    QHash<QString, qint64> groups_; // by case-folded name: the lowest number of that name
    qint64 nextGroup_ = 1;
    std::optional<qint64> defaultGroup_;
    QHash<qint64, Decimal> stored_; // the articles stored, with their prices
    QHash<qint64, qint64> lineOf_;  // the line each article of the file stands on
    QStringList newNodes_;
};

} // namespace

CurrencyNames currenciesByFoldedName(const QSqlDatabase& db) {
    CurrencyNames names;
    for (const QString& name : currencyNames(db))
        names.insert(caseKey(name), name);
    return names;
}

std::variant<ArticleRecord, QString> readArticleRecord(const NumberedFields& fields,
                                                       const CurrencyNames& currencies) {
    if (fields.isEmpty())
        return texts::kImportNoFields;
    ImportFields f(fields);
    ArticleRecord r;
    const std::optional<qint64> id = f.whole(1, 1, kMaxKeyNumber);
    if (!f.ok())
        return f.refusal();
    if (!id)
        return texts::kImportMissingField.arg(1);
    r.id = *id;
    r.catalogueNumber = f.text(2, kCatalogueNumberWidth);
    r.description = f.text(3, kDescriptionWidth);
    r.price = f.number(4, Decimal(0));
    if (const std::optional<QString> c = f.text(5, kUnitWidth); c && !c->trimmed().isEmpty()) {
        const auto known = currencies.constFind(caseKey(c->trimmed()));
        if (known == currencies.cend())
            f.refuse(texts::kImportNoSuchCurrency.arg(*c));
        else
            r.currency = *known;
    }
    r.unit = f.text(6, kUnitWidth);
    if (const std::optional<QString> g = f.text(7, kGroupNameWidth); g && !g->trimmed().isEmpty())
        r.group = *g;
    r.supplier = f.whole(10, 0, kMaxKeyNumber);
    r.minQuantity = f.whole(11, 0, kMaxMinQuantity);
    r.warranty = f.mark(12);
    r.series = f.mark(13);
    r.vatGroup = f.whole(14, 0, kLargestVatGroup);
    r.preparation = f.whole(15, 0, kMaxKeyNumber);
    r.shelfLife = f.text(16, kShelfLifeWidth);
    r.maxDiscount = f.number(17, Decimal(0), Decimal(100));
    r.scaleCode = f.whole(18, -kMaxKeyNumber, kMaxKeyNumber);
    r.labelName = f.text(19, kDescriptionWidth);
    r.receiptName = f.text(20, kDescriptionWidth);
    if (!f.ok())
        return f.refusal();
    return r;
}

ArticleImport importArticles(const QSqlDatabase& db, const QString& treeFile, const QString& fileName,
                             bool replace, Progress& progress) {
    NumberedFieldFile file(fileName);
    ArticleImport result;
    ArticleImporter importer(db, replace, result);
    runImport(db, result.report, [&] {
        importer.begin();
        const bool read = readNumberedFile(
            file, progress, [&](qint64 line, const NumberedFields& fields) { importer.line(line, fields); });
        if (read)
            importer.end();
        return read;
    });
    progress.finish();
    if (result.report.outcome == ImportReport::Outcome::Stored && !importer.newNodes().isEmpty()) {
        try {
            addArticleTreeNodes(treeFile, importer.newNodes());
        } catch (const Error& e) {
            result.report.lines << texts::kImportTreeNotWritten.arg(e.message());
        }
    }
    closeImportReport(result.report, texts::kImportArticlesTotal, replace);
    return result;
}

void fillImportStatistics(const QSqlDatabase& db, const QString& table, const QList<ImportedArticle>& rows) {
    execSql(db, QStringLiteral("DELETE FROM %1").arg(table));
    PreparedStatements statements(db);
    BatchInsert insert(
        statements,
        QStringLiteral("INSERT INTO %1 (Nomer, ID, Opisanie, Ed_Cena, Valuta, Korektion, New)").arg(table), 7,
        200);
    qint64 n = 0;
    for (const ImportedArticle& r : rows)
        insert.add({++n, r.id, r.description, numberColumnValue(r.price), r.currency,
                    r.priceCorrected ? texts::kYes : texts::kNo, r.added ? texts::kYes : texts::kNo});
    insert.flush();
}

SqlStatement importStatisticsStatement(const QString& table) {
    return {
        QStringLiteral("SELECT Nomer, ID, Opisanie, Ed_Cena, Valuta, Korektion, New FROM %1\nORDER BY Nomer")
            .arg(table),
        {},
        QStringLiteral("Nomer")};
}

// ---- Counterparties' article numbers ----

ImportReport importCounterpartyNumbers(const QSqlDatabase& db, const QString& fileName, Progress& progress) {
    NumberedFieldFile file(fileName);
    ImportReport report;
    PreparedStatements statements(db);
    auto nameOf = [&](const QString& sql, qint64 id) {
        QSqlQuery& q = statements.exec(sql, {id});
        const std::optional<QString> name =
            q.next() ? std::optional<QString>(q.value(0).toString()) : std::nullopt;
        q.finish();
        return name;
    };
    runImport(db, report, [&] {
        // No article leaves, and no number is given meanwhile elsewhere.
        lockTablesAgainstWriters(db, {QStringLiteral("Nomenklatures"), QStringLiteral("Produkti")});
        const bool read = readNumberedFile(file, progress, [&](qint64 line, const NumberedFields& fields) {
            if (fields.isEmpty() && !fields.unterminated())
                return;
            if (const std::optional<QString> broken = unterminatedLine(fields)) {
                report.refuse(line, *broken);
                return;
            }
            ImportFields f(fields);
            const std::optional<qint64> article = f.whole(1, 1, kMaxKeyNumber);
            std::optional<QString> number = f.text(2, kCatalogueNumberWidth);
            const std::optional<qint64> counterparty = f.whole(3, 0, kMaxKeyNumber);
            if (number)
                number = number->trimmed();
            if (f.ok() && !article)
                f.refuse(texts::kImportMissingField.arg(1));
            if (f.ok() && (!number || number->isEmpty()))
                f.refuse(number ? texts::kImportEmptyField.arg(2) : texts::kImportMissingField.arg(2));
            if (f.ok() && !counterparty)
                f.refuse(texts::kImportMissingField.arg(3));
            if (!f.ok()) {
                report.refuse(line, f.refusal());
                return;
            }
            const std::optional<QString> description =
                nameOf(QStringLiteral("SELECT Opisanie FROM Produkti WHERE ID = ?"), *article);
            const std::optional<QString> firm =
                nameOf(QStringLiteral("SELECT Ime_Firma FROM Firmi WHERE ID = ?"), *counterparty);
            if (!description) {
                report.refuse(line, texts::kImportNoSuchArticle.arg(*article));
                return;
            }
            if (!firm) {
                report.refuse(line, texts::kImportNoSuchCounterparty.arg(*counterparty));
                return;
            }
            QSqlQuery& owner = statements.exec(
                QStringLiteral(
                    "SELECT ID FROM Nomenklatures WHERE Nomenkl_N = ? AND ID_Kontrag = ? ORDER BY ID"),
                {*number, *counterparty});
            std::optional<qint64> holder;
            bool own = false;
            while (owner.next()) {
                const qint64 id = owner.value(0).toLongLong();
                if (id == *article)
                    own = true;
                else if (!holder)
                    holder = id;
            }
            owner.finish();
            if (own) {
                report.addNumbered(texts::kImportNumberKept.arg(
                    QString::number(*article), *description, *number, QString::number(*counterparty), *firm));
                ++report.repeated;
                return;
            }
            if (holder) {
                report.refuse(line, texts::kImportNumberTaken.arg(*number, QString::number(*counterparty),
                                                                  QString::number(*holder)));
                return;
            }
            statements.exec(
                QStringLiteral("INSERT INTO Nomenklatures (ID, Nomenkl_N, ID_Kontrag) VALUES (?, ?, ?)"),
                {*article, *number, *counterparty});
            report.addNumbered(texts::kImportNumberAdded.arg(QString::number(*article), *description, *number,
                                                             QString::number(*counterparty), *firm));
            ++report.added;
        });
        return read;
    });
    progress.finish();
    closeImportReport(report, texts::kImportDataTotal, false);
    return report;
}

} // namespace torvika
