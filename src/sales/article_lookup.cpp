#include "sales/article_lookup.h"

#include "catalogue/articles.h"
#include "common/number_column.h"
#include "common/sql.h"
#include "common/sql_dialect.h"

#include <QSqlQuery>
#include <algorithm>

namespace torvika {

namespace {

struct Criterion {
    SearchCriterion criterion;
    QChar letter;
    const char16_t* item;
};
// The list's items as the operator sees them, in sorted order.
constexpr Criterion kCriteria[] = {
    {SearchCriterion::Article, u'a', u"a.  - артикул"},
    {SearchCriterion::Barcode, u'b', u"b.  - баркод"},
    {SearchCriterion::Name, u'i', u"i. - име на артикул "},
    {SearchCriterion::Card, u'k', u"k.  - клиентска карта"},
    {SearchCriterion::CatalogueNumber, u'n', u"n.  - номенклатурен номер артикул "},
    {SearchCriterion::Serial, u's', u"s.  - сериен номер"},
};

const Criterion& entry(SearchCriterion c) {
    for (const Criterion& e : kCriteria)
        if (e.criterion == c)
            return e;
    return kCriteria[0];
}

QList<qint64> ids(QSqlQuery q) {
    QList<qint64> out;
    while (q.next())
        out << q.value(0).toLongLong();
    return out;
}

bool isTrue(const QVariant& v) {
    const QString t = v.toString().trimmed();
    return t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 || t == QLatin1String("1");
}

} // namespace

QStringList criterionItems() {
    QStringList items;
    for (const Criterion& e : kCriteria)
        items << QString::fromUtf16(e.item);
    return items;
}

SearchCriterion criterionOf(QStringView text) {
    const QStringView t = text.trimmed();
    if (!t.isEmpty())
        for (const Criterion& e : kCriteria)
            if (t.front() == e.letter)
                return e.criterion;
    return SearchCriterion::Article;
}

QString criterionLabel(SearchCriterion criterion) {
    return QString(entry(criterion).letter) + u'.';
}

QString criterionItem(SearchCriterion criterion) {
    return QString::fromUtf16(entry(criterion).item);
}

QList<qint64> findArticles(const QSqlDatabase& db, SearchCriterion criterion, const QString& reference) {
    const QString typed = reference.trimmed();
    const QString upper = typed.toUpper();
    if (typed.isEmpty())
        return {};
    // Codes are compared as typed and upper-cased, so that the plain index
    // of the code column serves the lookup.
    switch (criterion) {
    case SearchCriterion::Article: {
        bool ok = false;
        const qint64 id = typed.toLongLong(&ok);
        if (!ok)
            return {};
        return ids(execSql(db, QStringLiteral("SELECT ID FROM Produkti WHERE ID = ?"), {id}));
    }
    case SearchCriterion::Barcode:
        return ids(
            execSql(db, QStringLiteral("SELECT ID FROM Barkodes WHERE Barkode IN (?, ?)"), {typed, upper}));
    case SearchCriterion::Name: {
        const ContainsCondition c =
            containsCondition(sqlEngine(db), QStringLiteral("Produkti"), QStringLiteral("ID"),
                              QStringLiteral("Opisanie"), QStringLiteral("Produkti_Names"), typed);
        return ids(execSql(
            db, QStringLiteral("SELECT ID FROM Produkti WHERE ") + c.sql + QStringLiteral(" ORDER BY ID"),
            {c.value}));
    }
    case SearchCriterion::Card:
        return ids(execSql(db, QStringLiteral("SELECT ID FROM Karti WHERE Karts IN (?, ?)"), {typed, upper}));
    case SearchCriterion::CatalogueNumber:
        return ids(
            execSql(db, QStringLiteral("SELECT ID FROM Produkti WHERE Nomenkl_N IN (?, ?)"), {typed, upper}));
    case SearchCriterion::Serial:
        return ids(
            execSql(db, QStringLiteral("SELECT ID FROM Serials WHERE Serial_ID IN (?, ?)"), {typed, upper}));
    }
    return {};
}

QList<PickItem> pickItems(const QSqlDatabase& db, const QList<qint64>& idList) {
    QList<PickItem> items;
    QList<qint64> seen;
    for (qint64 id : idList) {
        if (seen.contains(id))
            continue;
        seen << id;
        const QVariant name =
            scalarSql(db, QStringLiteral("SELECT Opisanie FROM Produkti WHERE ID = ?"), {id});
        if (name.isValid())
            items << PickItem{id, name.toString()};
    }
    std::sort(items.begin(), items.end(), [](const PickItem& a, const PickItem& b) {
        const int c = QString::localeAwareCompare(a.name, b.name);
        return c != 0 ? c < 0 : a.id < b.id;
    });
    return items;
}

std::optional<SaleArticle> loadSaleArticle(const QSqlDatabase& db, qint64 id) {
    QSqlQuery q =
        execSql(db,
                QStringLiteral("SELECT P.ID, P.Opisanie, P.Mqrka, P.Ed_Cena, P.Valuta_P, P.DDS, "
                               "P.Garancionen, P.Poredica, P.Trajnost, P.Nomer_Grupa, G.Opisanie "
                               "FROM Produkti P LEFT JOIN Grupi G ON G.ID = P.Nomer_Grupa WHERE P.ID = ?"),
                {id});
    if (!q.next())
        return std::nullopt;
    SaleArticle a;
    a.id = q.value(0).toLongLong();
    a.name = q.value(1).toString();
    a.unit = q.value(2).toString();
    a.price = fromNumberColumn(q.value(3), 6);
    a.currency = q.value(4).toString();
    a.vatIncluded = isTrue(q.value(5));
    a.warranty = isTrue(q.value(6));
    a.series = isTrue(q.value(7));
    a.shelfLife = q.value(8).toString();
    a.group = q.value(9).toLongLong();
    a.groupName = q.value(10).toString();
    return a;
}

QString articleCaption(const SaleArticle& a) {
    return u'[' + a.groupName + QStringLiteral("] ") + QString::number(a.id) + u':' + a.name;
}

QString warrantyPeriodText(const QString& shelfLife) {
    return shelfLifeWarrantyText(shelfLife);
}

QList<KnownSerial> knownSerials(const QSqlDatabase& db, qint64 article) {
    QSqlQuery q = execSql(db, QStringLiteral("SELECT Serial_ID, Data FROM Serials WHERE ID = ?"), {article});
    QList<KnownSerial> out;
    while (q.next())
        out << KnownSerial{q.value(0).toString(), q.value(1).toString()};
    return out;
}

std::optional<KnownSerial> serialOf(const QSqlDatabase& db, qint64 article, const QString& serial) {
    QSqlQuery q = execSql(
        db, QStringLiteral("SELECT Serial_ID, Data FROM Serials WHERE ID = ? AND Serial_ID IN (?, ?)"),
        {article, serial.trimmed(), serial.trimmed().toUpper()});
    if (!q.next())
        return std::nullopt;
    return KnownSerial{q.value(0).toString(), q.value(1).toString()};
}

bool serialTaken(const QSqlDatabase& db, qint64 article, const QString& serial, qint64 exceptLine) {
    const QString s = serial.trimmed();
    if (s.isEmpty())
        return false;
    const QVariantList values{article, s, s.toUpper()};
    if (scalarSql(db, QStringLiteral("SELECT 1 FROM Prodajbi WHERE ID_Art = ? AND Pored_Ot IN (?, ?)"),
                  values)
            .isValid())
        return true;
    return scalarSql(db,
                     QStringLiteral("SELECT 1 FROM Prodajbi_Vremenni WHERE Barkod = ? AND Pored_Ot IN (?, ?) "
                                    "AND N_Prodajba <> ?"),
                     {article, s, s.toUpper(), exceptLine})
        .isValid();
}

bool hasRecipe(const QSqlDatabase& db, qint64 article) {
    return scalarSql(db, QStringLiteral("SELECT 1 FROM Rezept_Art WHERE ID_Art = ?"), {article}).isValid();
}

} // namespace torvika
