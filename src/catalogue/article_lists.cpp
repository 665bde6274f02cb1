#include "catalogue/article_lists.h"

#include "catalogue/articles.h"
#include "common/cp1251.h"
#include "common/errors.h"
#include "common/number_column.h"
#include "common/sql_dialect.h"
#include "common/texts.h"

#include <QDir>
#include <QHash>
#include <QSaveFile>

namespace torvika {

namespace {

const QString kKey = QStringLiteral("Produkti.ID");
// The grid's fields, the warranty mark the picker reads, and the group.
const QString kColumns =
    QStringLiteral("Produkti.ID, Produkti.Nomenkl_N, Produkti.Opisanie, Produkti.Ed_Cena, Produkti.Valuta_P, "
                   "Produkti.Mqrka, "
                   "Produkti.Garancionen, Grupi.ID AS ID_Grupa, Grupi.Opisanie AS Grupa_Opis");
const QString kListed = QStringLiteral("SELECT ") + kColumns +
                        QStringLiteral(" FROM Produkti, Grupi WHERE Grupi.ID = Produkti.Nomer_Grupa");
const QString kOrder = QStringLiteral("\nORDER BY Produkti.ID");
// The name index of the articles (the creation script makes it).
const QString kNameIndex = QStringLiteral("Produkti_Names");

SqlStatement listed(const QString& condition, const QVariantList& values) {
    return {kListed + QStringLiteral(" AND ") + condition + kOrder, values, kKey};
}

// A search finds articles whose group is gone as well (the bin's articles,
// with an empty group).
const QString kSearchedFrom =
    QStringLiteral(" FROM Produkti LEFT JOIN Grupi ON Grupi.ID = Produkti.Nomer_Grupa");

SqlStatement searched(const QString& condition, const QVariantList& values) {
    return {QStringLiteral("SELECT ") + kColumns + kSearchedFrom + QStringLiteral(" WHERE ") + condition +
                kOrder,
            values, kKey};
}

// The article search offers "по - голямо" before "по - малко".
QString comparisonSql(const QString& field, ArticleComparison comparison) {
    constexpr ValueComparison kConditions[] = {ValueComparison::Equal, ValueComparison::AtLeast,
                                               ValueComparison::AtMost, ValueComparison::Between};
    return valueCondition(field, kConditions[int(comparison)]);
}

QString marks(qsizetype n) {
    return QStringList(n, QStringLiteral("?")).join(u',');
}

} // namespace

SqlStatement groupArticlesStatement(qint64 group) {
    return listed(QStringLiteral("Produkti.Nomer_Grupa = ?"), {group});
}

SqlStatement allArticlesStatement() {
    return {kListed + kOrder, {}, kKey};
}

SqlStatement binArticlesStatement() {
    return {QStringLiteral("SELECT ") + kColumns +
                QStringLiteral(" FROM Produkti LEFT JOIN Grupi ON Grupi.ID = Produkti.Nomer_Grupa "
                               "WHERE Grupi.ID IS NULL") +
                kOrder,
            {},
            kKey};
}

QStringList articleCriterionCaptions() {
    QStringList captions{QStringLiteral("Сериен номер"), QStringLiteral("Баркод")};
    for (const ArticleColumn& c : articleColumns)
        captions << c.caption.toString();
    captions << QStringLiteral("Номер на контрагент");
    return captions;
}

ArticleCriterion criterionOfColumn(int column) {
    return ArticleCriterion(int(ArticleCriterion::Number) + column);
}

int columnOfCriterion(ArticleCriterion criterion) {
    const int column = int(criterion) - int(ArticleCriterion::Number);
    return column >= 0 && column < int(articleColumns.size()) ? column : -1;
}

bool isNumericCriterion(ArticleCriterion criterion) {
    return criterion == ArticleCriterion::Number || criterion == ArticleCriterion::Price ||
           criterion == ArticleCriterion::GroupNumber;
}

SqlStatement articleSearchStatement(ArticleCriterion criterion, ArticleComparison comparison,
                                    const QString& from, const QString& to, bool partOfWord,
                                    SqlEngine engine) {
    const QString upper = from.toUpper();
    // A text column in any letter case: containing the text, or equal to it.
    auto text = [&](const QString& field) {
        const ContainsCondition c =
            likeCondition(field, partOfWord ? likeContains(upper) : escapeLike(upper));
        return searched(c.sql, {c.value});
    };
    auto numeric = [&](const QString& field) {
        QVariantList values{typedNumberValue(from)};
        if (comparison == ArticleComparison::Between)
            values << typedNumberValue(to);
        return searched(comparisonSql(field, comparison), values);
    };
    switch (criterion) {
    case ArticleCriterion::Serial:
        return searched(
            QStringLiteral("Produkti.ID IN (SELECT Serials.ID FROM Serials WHERE Serials.Serial_ID = ?)"),
            {from.trimmed()});
    case ArticleCriterion::Barcode:
        return searched(
            QStringLiteral("Produkti.ID IN (SELECT Barkodes.ID FROM Barkodes WHERE Barkodes.Barkode = ?)"),
            {from.trimmed()});
    case ArticleCriterion::Number:
        return numeric(QStringLiteral("Produkti.ID"));
    case ArticleCriterion::Price:
        return numeric(QStringLiteral("Produkti.Ed_Cena"));
    case ArticleCriterion::GroupNumber:
        return numeric(QStringLiteral("Grupi.ID"));
    case ArticleCriterion::CatalogueNumber:
        if (!partOfWord)
            return searched(QStringLiteral("Produkti.Nomenkl_N = ?"), {from.trimmed()});
        return text(QStringLiteral("Produkti.Nomenkl_N"));
    case ArticleCriterion::Description: {
        if (!partOfWord)
            return text(QStringLiteral("Produkti.Opisanie"));
        // Through the name index (three letters or more).
        const ContainsCondition c =
            containsCondition(engine, QStringLiteral("Produkti"), QStringLiteral("ID"),
                              QStringLiteral("Produkti.Opisanie"), kNameIndex, from);
        return searched(c.sql, {c.value});
    }
    case ArticleCriterion::Currency:
        return text(QStringLiteral("Produkti.Valuta_P"));
    case ArticleCriterion::Unit:
        return text(QStringLiteral("Produkti.Mqrka"));
    case ArticleCriterion::GroupName:
        return text(QStringLiteral("Grupi.Opisanie"));
    case ArticleCriterion::CounterpartyNumber: {
        const ContainsCondition c =
            likeCondition(QStringLiteral("Nomenklatures.Nomenkl_N"), likeContains(upper));
        // An article has several counterparty numbers: the rows are ordered
        // by the whole key, so that pages neither repeat nor skip one.
        const QString key = QStringLiteral("Produkti.ID, Nomenklatures.ID_Kontrag, Nomenklatures.Nomenkl_N");
        return {QStringLiteral("SELECT ") + kColumns +
                    QStringLiteral(", Nomenklatures.Nomenkl_N AS Nom_ID, Firmi.Ime_Firma") + kSearchedFrom +
                    QStringLiteral(", Nomenklatures, Firmi WHERE Nomenklatures.ID = Produkti.ID "
                                   "AND Nomenklatures.ID_Kontrag = Firmi.ID AND ") +
                    c.sql + QStringLiteral("\nORDER BY ") + key,
                {c.value},
                key};
    }
    }
    throw EConvertError(QStringLiteral("no such criterion"));
}

std::optional<QString> groupNameByNumber(const QSqlDatabase& db, const QString& text) {
    const std::optional<qint64> n = parseKeyNumber(text);
    if (!n)
        return std::nullopt;
    QSqlQuery q = execSql(db, QStringLiteral("SELECT Opisanie FROM Grupi WHERE ID = ?"), {*n});
    if (!q.next())
        return std::nullopt;
    return q.value(0).toString();
}

QList<GroupRow> groupsByName(const QSqlDatabase& db, const QString& text) {
    const ContainsCondition c = likeCondition(QStringLiteral("Opisanie"), likeContains(text.toUpper()));
    QSqlQuery q = execSql(
        db, QStringLiteral("SELECT ID, Opisanie FROM Grupi WHERE %1 ORDER BY Opisanie, ID").arg(c.sql),
        {c.value});
    QList<GroupRow> rows;
    while (q.next())
        rows.append({q.value(0).toLongLong(), q.value(1).toString()});
    return rows;
}

QStringList scaleFileLines(const QSqlDatabase& db, const QList<qint64>& ids) {
    struct Row {
        qint64 scaleCode;
        QStringList fields;
    };
    QHash<qint64, Row> rows;
    constexpr int kChunk = 500;
    for (qsizetype i = 0; i < ids.size(); i += kChunk) {
        const QList<qint64> chunk = ids.mid(i, kChunk);
        QVariantList values;
        for (qint64 id : chunk)
            values << id;
        QSqlQuery q =
            execSql(db,
                    QStringLiteral("SELECT ID, Kod_Vezna, Opisanie, Kasovo_Ime, Etiketno_Ime, Trajnost, "
                                   "Nomenkl_N, Ed_Cena FROM Produkti WHERE ID IN (%1)")
                        .arg(marks(chunk.size())),
                    values);
        while (q.next()) {
            const ShelfLife life = parseShelfLife(q.value(5).toString());
            rows.insert(
                q.value(0).toLongLong(),
                {q.value(1).toLongLong(),
                 {QString::number(q.value(1).toLongLong()), q.value(2).toString(), q.value(3).toString(),
                  q.value(4).toString(), QString::number(q.value(0).toLongLong()), QString::number(life.unit),
                  life.count, q.value(6).toString(), fromNumberColumn(q.value(7)).toString()}});
        }
    }
    QStringList lines;
    for (qint64 id : ids) {
        const auto it = rows.constFind(id);
        if (it == rows.cend() || it->scaleCode <= 0)
            continue;
        lines << it->fields.join(u';') + QStringLiteral(";0;");
    }
    return lines;
}

void writeScaleFile(const QString& fileName, const QStringList& lines) {
    QByteArray bytes;
    for (const QString& l : lines)
        bytes += toCp1251(l) + "\r\n";
    QSaveFile f(fileName);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) < 0 || !f.commit())
        throw EInOutError(texts::kFileUnwritable.arg(QDir::toNativeSeparators(fileName), f.errorString()));
}

int fillGroupDelivery(const QSqlDatabase& db, qint64 group) {
    Transaction t(db);
    QSqlQuery q = execSql(
        db,
        QStringLiteral(
            "INSERT INTO DostavkiTMP (Nomer_Produkt, Opisanie, Dostavna_Cena, Valuta_D, Prodajna_Cena, "
            "Valuta_P, Kolitchestvo, Mqrka) "
            "SELECT Produkti.ID, Produkti.Opisanie, 0, Produkti.Valuta_P, Produkti.Ed_Cena, "
            "Produkti.Valuta_P, 0, Produkti.Mqrka FROM Produkti WHERE Produkti.Nomer_Grupa = ? "
            "AND NOT EXISTS (SELECT 1 FROM DostavkiTMP WHERE DostavkiTMP.Nomer_Produkt = Produkti.ID)"),
        {group});
    const int added = qMax(0, q.numRowsAffected());
    t.commit();
    return added;
}

bool ArticleCommonData::isEmpty() const {
    return !vatGroup && !preparation && !shelfLife && !currency && !unit && !minQuantity && !maxDiscount &&
           !warranty && !series && !vatIncluded;
}

SqlStatement commonDataStatement(const ArticleCommonData& d) {
    QStringList set;
    QVariantList values;
    auto assign = [&](const char* column, const QVariant& value) {
        set << QStringLiteral("%1 = ?").arg(QLatin1String(column));
        values << value;
    };
    const auto boolText = [](bool b) { return b ? QStringLiteral("True") : QStringLiteral("False"); };
    if (d.vatGroup)
        assign("Dan_Grup", *d.vatGroup);
    if (d.preparation)
        assign("Prigotvq_Se", *d.preparation);
    // The warranty period, when given with the mark True, is the shelf life
    // that is written; the mark False leaves every shelf life as it is.
    const bool warrantyPeriod = d.warranty.value_or(false) && d.warrantyPeriod.has_value();
    if (d.shelfLife && !warrantyPeriod)
        assign("Trajnost", *d.shelfLife);
    if (d.currency)
        assign("Valuta_P", *d.currency);
    if (d.unit)
        assign("Mqrka", *d.unit);
    if (d.minQuantity)
        assign("Min_Kol", *d.minQuantity);
    if (d.maxDiscount)
        assign("Max_TO", numberColumnValue(*d.maxDiscount));
    if (d.warranty) {
        assign("Garancionen", boolText(*d.warranty));
        if (warrantyPeriod)
            assign("Trajnost", *d.warrantyPeriod);
    }
    if (d.series)
        assign("Poredica", boolText(*d.series));
    if (d.vatIncluded)
        assign("DDS", QStringLiteral("True"));
    if (set.isEmpty())
        return {};
    return {QStringLiteral("UPDATE Produkti SET ") + set.join(QStringLiteral(", ")), values};
}

int setCommonData(const QSqlDatabase& db, const QList<qint64>& ids, const ArticleCommonData& data) {
    const SqlStatement s = commonDataStatement(data);
    if (s.text.isEmpty() || ids.isEmpty())
        return 0;
    int changed = 0;
    Transaction t(db);
    constexpr int kChunk = 500;
    for (qsizetype i = 0; i < ids.size(); i += kChunk) {
        const QList<qint64> chunk = ids.mid(i, kChunk);
        QVariantList values = s.values;
        for (qint64 id : chunk)
            values << id;
        QSqlQuery q =
            execSql(db, s.text + QStringLiteral(" WHERE ID IN (%1)").arg(marks(chunk.size())), values);
        changed += qMax(0, q.numRowsAffected());
    }
    t.commit();
    return changed;
}

} // namespace torvika
