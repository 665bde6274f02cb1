#include "catalogue/recipes.h"

#include "catalogue/stock.h"
#include "catalogue/texts.h"
#include "common/dates.h"
#include "common/errors.h"
#include "common/new_keys.h"
#include "common/number_column.h"
#include "common/ref_text.h"
#include "common/sql.h"

#include <QCollator>
#include <QHash>
#include <QSet>
#include <algorithm>

namespace torvika {

namespace {

constexpr int kQuantityDecimals = 6;
constexpr int kValueDecimals = 8;

const QString kTrue = QStringLiteral("True");

bool isTrue(const QVariant& v) {
    return v.toString().trimmed().compare(kTrue, Qt::CaseInsensitive) == 0;
}

Decimal quantity(const QVariant& v) {
    return fromNumberColumn(v, kQuantityDecimals);
}

RecipeHeader headerFrom(const QVariantList& r) {
    RecipeHeader h;
    h.id = r[0].toLongLong();
    h.article = r[1].toLongLong();
    h.forQuantity = quantity(r[2]);
    h.kind = r[3].toInt();
    h.name = r[4].toString();
    return h;
}

const QString kHeaderSelect = QStringLiteral("SELECT ID, ID_Art, Kol_Art, Vid_R, Name_R FROM Rezept_Art");

QString articleText(const QSqlDatabase& db, qint64 id) {
    return refText(
        id, scalarSql(db, QStringLiteral("SELECT Opisanie FROM Produkti WHERE ID = ?"), {id}).toString());
}

bool articleExists(const QSqlDatabase& db, qint64 id) {
    return scalarSql(db, QStringLiteral("SELECT 1 FROM Produkti WHERE ID = ?"), {id}).isValid();
}

} // namespace

qint64 proposedRecipeNumber(const QSqlDatabase& db) {
    return scalarSql(db, QStringLiteral("SELECT MAX(ID) FROM Rezept_Art"), {}, 0).toLongLong() + 1;
}

QList<RecipeHeader> recipesOf(const QSqlDatabase& db, qint64 article) {
    const SqlRows rows =
        readRows(db, kHeaderSelect + QStringLiteral(" WHERE ID_Art = ? ORDER BY Name_R, ID"), {article});
    QList<RecipeHeader> out;
    for (const QVariantList& r : rows.rows)
        out << headerFrom(r);
    return out;
}

std::optional<RecipeHeader> loadRecipe(const QSqlDatabase& db, qint64 id) {
    const SqlRows rows = readRows(db, kHeaderSelect + QStringLiteral(" WHERE ID = ?"), {id});
    if (rows.rows.isEmpty())
        return std::nullopt;
    return headerFrom(rows.rows.front());
}

std::optional<RecipeHeader> recipeNamed(const QSqlDatabase& db, qint64 article, const QString& name) {
    const SqlRows rows =
        readRows(db, kHeaderSelect + QStringLiteral(" WHERE ID_Art = ? AND UPPER(Name_R) = ? ORDER BY ID"),
                 {article, name.trimmed().toUpper()});
    if (rows.rows.isEmpty())
        return std::nullopt;
    return headerFrom(rows.rows.front());
}

QList<RecipeLine> recipeElements(const QSqlDatabase& db, qint64 id) {
    const SqlRows rows =
        readRows(db,
                 QStringLiteral(
                     "SELECT Rezept_El.ID_El, Rezept_El.Kol_El, Rezept_Art.Name_R FROM Rezept_El, Rezept_Art "
                     "WHERE Rezept_El.ID_R = ? AND Rezept_Art.ID = Rezept_El.ID_R ORDER BY Rezept_El.ID_El"),
                 {id});
    QList<RecipeLine> out;
    for (const QVariantList& r : rows.rows) {
        RecipeLine l;
        l.recipe = id;
        l.element = r[0].toLongLong();
        l.quantity = quantity(r[1]);
        l.name = r[2].toString();
        out << l;
    }
    return out;
}

std::optional<QString> elementRefusal(const QSqlDatabase& db, qint64 mainArticle, qint64 element) {
    if (element == mainArticle)
        return texts::kElementIsMain;
    // Every article the element is made of, at any depth: none may be the
    // main article.
    QSet<qint64> seen{element};
    QList<qint64> frontier{element};
    while (!frontier.isEmpty()) {
        const qint64 a = frontier.takeFirst();
        QSqlQuery q =
            execSql(db,
                    QStringLiteral("SELECT DISTINCT Rezept_El.ID_El FROM Rezept_Art, Rezept_El WHERE "
                                   "Rezept_Art.ID_Art = ? AND Rezept_El.ID_R = Rezept_Art.ID"),
                    {a});
        while (q.next()) {
            const qint64 part = q.value(0).toLongLong();
            if (part == mainArticle)
                return texts::kElementContainsMain.arg(articleText(db, element));
            if (!seen.contains(part)) {
                seen.insert(part);
                frontier << part;
            }
        }
    }
    return std::nullopt;
}

// ---- The working lines ----

RecipeDraft::RecipeDraft(const QSqlDatabase& db)
    : db_(db),
      lines_(db, QStringLiteral("Rezept_TMP"),
             QStringLiteral("Line_Key INTEGER NOT NULL PRIMARY KEY, ID_R INTEGER, ID_El INTEGER, Kol_El "
                            "DOUBLE PRECISION, Name_R VARCHAR(50), Changed SMALLINT")) {}

RecipeDraft::~RecipeDraft() = default;

void RecipeDraft::load(qint64 article) {
    Transaction t(db_);
    execScriptStatement(db_, QStringLiteral("DELETE FROM %1").arg(table()));
    const QList<RecipeHeader> recipes = recipesOf(db_, article);
    qint64 key = 0;
    for (const RecipeHeader& r : recipes)
        for (const RecipeLine& l : recipeElements(db_, r.id))
            execSql(db_,
                    QStringLiteral("INSERT INTO %1 (Line_Key, ID_R, ID_El, Kol_El, Name_R, Changed) "
                                   "VALUES (?, ?, ?, ?, ?, 0)")
                        .arg(table()),
                    {++key, r.id, l.element, numberColumnValue(l.quantity), r.name});
    t.commit();
    article_ = article;
    recipes_ = recipes;
}

std::optional<RecipeHeader> RecipeDraft::recipeNamed(const QString& name) const {
    const QString upper = name.trimmed().toUpper();
    for (const RecipeHeader& r : recipes_)
        if (r.name.trimmed().toUpper() == upper)
            return r;
    return std::nullopt;
}

QStringList RecipeDraft::names(bool withDefaults) const {
    QStringList out;
    const auto addName = [&out](const QString& n) {
        const QString upper = n.trimmed().toUpper();
        if (std::none_of(out.cbegin(), out.cend(), [&](const QString& o) { return o.toUpper() == upper; }))
            out << n.trimmed();
    };
    if (withDefaults)
        for (QStringView n : recipeDefaultNames)
            addName(n.toString());
    for (const RecipeHeader& r : recipes_)
        addName(r.name);
    QCollator collator(QLocale(QLocale::Bulgarian));
    std::sort(out.begin(), out.end(),
              [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
    return out;
}

QString RecipeDraft::selectionCondition(const RecipeSelection& s, QVariantList& values) const {
    if (s.recipe > 0) {
        values << s.recipe;
        return QStringLiteral("t.ID_R = ?");
    }
    values << s.name.trimmed().toUpper();
    return QStringLiteral("t.ID_R = 0 AND UPPER(t.Name_R) = ?");
}

QList<RecipeLine> RecipeDraft::lines(const RecipeSelection& selection) const {
    QVariantList values;
    const QString condition = selectionCondition(selection, values);
    const SqlRows rows =
        readRows(db_,
                 QStringLiteral("SELECT t.Line_Key, t.ID_R, t.ID_El, t.Name_R, t.Kol_El, t.Changed "
                                "FROM %1 t WHERE %2 AND t.Changed <> 3 ORDER BY t.Line_Key")
                     .arg(table(), condition),
                 values);
    QList<RecipeLine> out;
    for (const QVariantList& r : rows.rows)
        out << RecipeLine{r[0].toLongLong(), r[1].toLongLong(), r[2].toLongLong(),
                          r[3].toString(),   quantity(r[4]),    r[5].toInt()};
    return out;
}

SqlStatement RecipeDraft::linesStatement(const RecipeSelection& selection) const {
    QVariantList values;
    const QString condition = selectionCondition(selection, values);
    return {
        QStringLiteral("SELECT t.Line_Key AS Line_Key, t.ID_El AS ID_El, Produkti.Opisanie AS Opisanie, "
                       "t.Kol_El AS Kol_El, Produkti.Mqrka AS Mqrka, Produkti.Ed_Cena AS Ed_Cena, "
                       "Produkti.Valuta_P AS Valuta_P, t.Changed AS Changed FROM %1 t LEFT JOIN Produkti ON "
                       "Produkti.ID = t.ID_El WHERE %2 AND t.Changed <> 3\nORDER BY Line_Key")
            .arg(table(), condition),
        values, QStringLiteral("Line_Key")};
}

std::optional<QString> RecipeDraft::add(const RecipeSelection& selection, qint64 element, const Decimal& q) {
    if (article_ <= 0)
        return texts::kChooseMainArticle;
    if (!articleExists(db_, element))
        return texts::kArticleNumberNotFound;
    if (q.sign() <= 0)
        return texts::kQuantityNotPositive;
    if (const auto refusal = elementRefusal(db_, article_, element))
        return refusal;
    QVariantList values;
    const QString condition = selectionCondition(selection, values);
    const SqlRows same =
        readRows(db_,
                 QStringLiteral("SELECT t.Line_Key, t.Changed FROM %1 t WHERE %2 AND t.ID_El = ?")
                     .arg(table(), condition),
                 values << element);
    for (const QVariantList& r : same.rows) {
        if (r[1].toInt() != kLineDeleted)
            return texts::kElementTwice.arg(articleText(db_, element));
        // A saved element deleted and added again is a change of its quantity.
        execSql(db_, QStringLiteral("UPDATE %1 SET Kol_El = ?, Changed = 2 WHERE Line_Key = ?").arg(table()),
                {numberColumnValue(q.rounded(kQuantityDecimals)), r[0]});
        return std::nullopt;
    }
    QString name = selection.name.trimmed();
    if (selection.recipe > 0)
        for (const RecipeHeader& r : recipes_)
            if (r.id == selection.recipe)
                name = r.name;
    const qint64 key =
        scalarSql(db_, QStringLiteral("SELECT MAX(Line_Key) FROM %1").arg(table()), {}, 0).toLongLong() + 1;
    execSql(db_,
            QStringLiteral(
                "INSERT INTO %1 (Line_Key, ID_R, ID_El, Kol_El, Name_R, Changed) VALUES (?, ?, ?, ?, ?, 1)")
                .arg(table()),
            {key, qMax<qint64>(selection.recipe, 0), element, numberColumnValue(q.rounded(kQuantityDecimals)),
             name});
    return std::nullopt;
}

std::optional<QString> RecipeDraft::setQuantity(qint64 key, const Decimal& q) {
    if (q.sign() <= 0)
        return texts::kQuantityNotPositive;
    execSql(
        db_,
        QStringLiteral("UPDATE %1 SET Kol_El = ?, Changed = CASE WHEN Changed = 0 THEN 2 ELSE Changed END "
                       "WHERE Line_Key = ?")
            .arg(table()),
        {numberColumnValue(q.rounded(kQuantityDecimals)), key});
    return std::nullopt;
}

void RecipeDraft::remove(qint64 key) {
    Transaction t(db_);
    execSql(db_, QStringLiteral("DELETE FROM %1 WHERE Line_Key = ? AND Changed = 1").arg(table()), {key});
    execSql(db_, QStringLiteral("UPDATE %1 SET Changed = 3 WHERE Line_Key = ?").arg(table()), {key});
    t.commit();
}

RecipeValue RecipeDraft::value(const RecipeSelection& selection, const Decimal& forQuantity, const Decimal& q,
                               const VatRates& rates) const {
    RecipeValue v;
    if (forQuantity.sign() <= 0)
        return v;
    QVariantList values;
    const QString condition = selectionCondition(selection, values);
    const SqlRows rows = readRows(
        db_,
        QStringLiteral(
            "SELECT t.Line_Key, t.Kol_El, Produkti.Ed_Cena, Valuti.Kurs, Produkti.Dan_Grup FROM %1 t "
            "LEFT JOIN Produkti ON Produkti.ID = t.ID_El LEFT JOIN Valuti ON Valuti.Opisanie = "
            "Produkti.Valuta_P WHERE %2 AND t.Changed <> 3 ORDER BY t.Line_Key")
            .arg(table(), condition),
        values);
    QList<VatLine> lines;
    for (const QVariantList& r : rows.rows) {
        const Decimal used = (quantity(r[1]) * q).divided(forQuantity, kQuantityDecimals);
        const Decimal amount = (used * fromNumberColumn(r[2], 4)).rounded(kValueDecimals) *
                               fromNumberColumn(r[3], kValueDecimals);
        lines << VatLine{r[0].toLongLong(), rates.of(r[4].isNull() ? kStandardTaxGroup : r[4].toInt()),
                         amount};
    }
    const VatTotals t = splitVatByRate(lines);
    v.base = t.net;
    v.vat = t.vat;
    v.total = t.gross;
    return v;
}

std::optional<QString> RecipeDraft::checkHeader(const RecipeHeader& h) const {
    if (h.article <= 0 || !articleExists(db_, h.article))
        return texts::kChooseMainArticle;
    if (h.kind < kRecipeKind || h.kind > kProductionKind)
        return texts::kNoOperationKind;
    const QString name = h.name.trimmed();
    if (name.isEmpty())
        return texts::kRecipeNameEmpty;
    if (name.size() > kRecipeNameWidth)
        return texts::kRecipeNameTooLong.arg(kRecipeNameWidth);
    if (h.forQuantity.sign() <= 0)
        return texts::kRecipeForQuantity;
    return std::nullopt;
}

RecipeSaveResult RecipeDraft::saveNew(const RecipeHeader& h) {
    const auto refused = [](const QString& m) { return RecipeSaveResult{RecipeSaveResult::Refused, 0, m}; };
    if (const auto refusal = checkHeader(h))
        return refused(*refusal);
    const QString name = h.name.trimmed();
    const QList<RecipeLine> elements = lines({0, name});
    Transaction t(db_);
    const qint64 id = nextKey(db_, QStringLiteral("Rezept_Art"), QStringLiteral("ID"));
    if (const auto existing = torvika::recipeNamed(db_, h.article, name))
        return {RecipeSaveResult::Exists, existing->id, QString()};
    if (elements.isEmpty())
        return refused(texts::kRecipeNoElements);
    for (const RecipeLine& l : elements) {
        if (!articleExists(db_, l.element))
            return refused(texts::kArticleGone.arg(l.element));
        if (const auto refusal = elementRefusal(db_, h.article, l.element))
            return refused(*refusal);
    }
    execSql(
        db_,
        QStringLiteral("INSERT INTO Rezept_Art (ID, ID_Art, Kol_Art, Vid_R, Name_R) VALUES (?, ?, ?, ?, ?)"),
        {id, h.article, numberColumnValue(h.forQuantity.rounded(kQuantityDecimals)), h.kind, name});
    for (const RecipeLine& l : elements)
        execSql(db_, QStringLiteral("INSERT INTO Rezept_El (ID_R, ID_El, Kol_El) VALUES (?, ?, ?)"),
                {id, l.element, numberColumnValue(l.quantity)});
    t.commit();
    load(h.article);
    return {RecipeSaveResult::Saved, id, QString()};
}

RecipeSaveResult RecipeDraft::saveChanges(qint64 recipe, const RecipeHeader& h) {
    const auto refused = [](const QString& m) { return RecipeSaveResult{RecipeSaveResult::Refused, 0, m}; };
    if (const auto refusal = checkHeader(h))
        return refused(*refusal);
    const QString name = h.name.trimmed();
    const SqlRows changed = readRows(
        db_,
        QStringLiteral(
            "SELECT ID_El, Kol_El, Changed FROM %1 WHERE ID_R = ? AND Changed <> 0 ORDER BY Line_Key")
            .arg(table()),
        {recipe});
    Transaction t(db_);
    lockTableForWriting(db_, QStringLiteral("Rezept_Art"));
    const std::optional<RecipeHeader> stored = loadRecipe(db_, recipe);
    if (!stored)
        return refused(texts::kRecipeGone);
    if (const auto other = torvika::recipeNamed(db_, stored->article, name); other && other->id != recipe)
        return refused(texts::kRecipeNameTaken.arg(name));
    for (const QVariantList& r : changed.rows) {
        const qint64 element = r[0].toLongLong();
        const QVariant q = numberColumnValue(quantity(r[1]));
        switch (r[2].toInt()) {
        case kLineAdded:
        case kLineChanged: {
            if (!articleExists(db_, element))
                return refused(texts::kArticleGone.arg(element));
            if (const auto refusal = elementRefusal(db_, stored->article, element))
                return refused(*refusal);
            QSqlQuery u =
                execSql(db_, QStringLiteral("UPDATE Rezept_El SET Kol_El = ? WHERE ID_R = ? AND ID_El = ?"),
                        {q, recipe, element});
            if (u.numRowsAffected() < 1)
                execSql(db_, QStringLiteral("INSERT INTO Rezept_El (ID_R, ID_El, Kol_El) VALUES (?, ?, ?)"),
                        {recipe, element, q});
            break;
        }
        case kLineDeleted:
            execSql(db_, QStringLiteral("DELETE FROM Rezept_El WHERE ID_R = ? AND ID_El = ?"),
                    {recipe, element});
            break;
        default:
            break;
        }
    }
    if (scalarSql(db_, QStringLiteral("SELECT COUNT(*) FROM Rezept_El WHERE ID_R = ?"), {recipe}, 0)
            .toLongLong() == 0)
        return refused(texts::kRecipeNoElements);
    execSql(db_, QStringLiteral("UPDATE Rezept_Art SET Kol_Art = ?, Vid_R = ?, Name_R = ? WHERE ID = ?"),
            {numberColumnValue(h.forQuantity.rounded(kQuantityDecimals)), h.kind, name, recipe});
    t.commit();
    load(stored->article);
    return {RecipeSaveResult::Saved, recipe, QString()};
}

bool deleteRecipe(const QSqlDatabase& db, qint64 id) {
    Transaction t(db);
    QSqlQuery q = execSql(db, QStringLiteral("DELETE FROM Rezept_Art WHERE ID = ?"), {id});
    execSql(db, QStringLiteral("DELETE FROM Rezept_El WHERE ID_R = ?"), {id});
    t.commit();
    return q.numRowsAffected() > 0;
}

// ---- A sale through a recipe ----

QList<RecipeSaleElement> recipeSaleElements(const QSqlDatabase& db, const QList<RecipeLine>& lines,
                                            const Decimal& forQuantity, const Decimal& sold) {
    QList<RecipeSaleElement> out;
    if (forQuantity.sign() <= 0)
        return out;
    for (const RecipeLine& l : lines) {
        const SqlRows rows = readRows(
            db, QStringLiteral("SELECT Opisanie, Garancionen, Poredica, Trajnost FROM Produkti WHERE ID = ?"),
            {l.element});
        if (rows.rows.isEmpty())
            continue;
        const QVariantList& r = rows.rows.front();
        RecipeSaleElement e;
        e.article = l.element;
        e.description = r[0].toString();
        e.quantity = (l.quantity * sold).divided(forQuantity, kQuantityDecimals);
        e.warranty = isTrue(r[1]);
        e.series = isTrue(r[2]);
        e.shelfLife = r[3].toString();
        out << e;
    }
    return out;
}

// ---- Carrying out an operation ----

namespace {

// The movements of an operation: the article and the quantity added to
// its stock (negative: taken out).
struct Movement {
    qint64 article;
    QString description;
    Decimal quantity;
};

QList<Movement> movementsOf(const QSqlDatabase& db, const RecipeHeader& recipe, const Decimal& q) {
    const int sign = recipe.kind == kBreakupKind ? -1 : 1;
    QList<Movement> out;
    out << Movement{recipe.article, QString(), q * sign};
    for (const RecipeLine& l : recipeElements(db, recipe.id))
        out << Movement{l.element, QString(),
                        -(l.quantity * q).divided(recipe.forQuantity, kQuantityDecimals) * sign};
    return out;
}

} // namespace

QList<ProductionShortage> productionShortages(const QSqlDatabase& db, const ProductionRequest& request) {
    QList<ProductionShortage> out;
    const std::optional<RecipeHeader> recipe = loadRecipe(db, request.recipe);
    if (!recipe || recipe->forQuantity.sign() <= 0 || request.quantity.sign() <= 0)
        return out;
    for (const Movement& m : movementsOf(db, *recipe, request.quantity)) {
        if (m.quantity.sign() >= 0)
            continue;
        const Decimal stock = stockIn(db, m.article, request.warehouse).value_or(Decimal(0));
        if (stock + m.quantity < 0)
            out << ProductionShortage{m.article, articleText(db, m.article), -m.quantity, stock};
    }
    return out;
}

ProductionResult produce(const QSqlDatabase& db, const ProductionRequest& request) {
    const auto refused = [](const QString& m) { return ProductionResult{ProductionResult::Refused, 0, m}; };
    if (request.quantity.sign() <= 0)
        return refused(texts::kQuantityNotPositive);
    Transaction t(db);
    lockTablesAgainstWriters(db, {QStringLiteral("Rezept_Art"), QStringLiteral("Rezept_El")});
    const std::optional<RecipeHeader> recipe = loadRecipe(db, request.recipe);
    if (!recipe)
        return refused(texts::kRecipeGone);
    if (recipe->forQuantity.sign() <= 0)
        return refused(texts::kRecipeForQuantity);
    if (!scalarSql(db, QStringLiteral("SELECT 1 FROM Sklad WHERE ID_Sklad = ?"), {request.warehouse})
             .isValid())
        return refused(texts::kChooseStockMoveWarehouse);
    const QList<Movement> moves = movementsOf(db, *recipe, request.quantity);
    if (moves.size() < 2)
        return refused(texts::kRecipeNoElements);
    const qint64 id = nextKey(db, QStringLiteral("Projzvodstvo"), QStringLiteral("ID"));
    execSql(db,
            QStringLiteral(
                "INSERT INTO Projzvodstvo (ID, Data_P, Time_P, ID_R, Vid_R, ID_Art, Kol, Sklad_ID, Operator) "
                "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {id, isoDate(request.when.date()), shortTime(request.when.time()), recipe->id, recipe->kind,
             recipe->article, numberColumnValue(request.quantity), request.warehouse, request.operatorName});
    // The main article first, then each element with what it moved.
    for (qsizetype i = 0; i < moves.size(); ++i) {
        const Movement& m = moves[i];
        if (i > 0)
            execSql(db, QStringLiteral("INSERT INTO Projzvodstvo_El (ID_P, ID_El, Kol_El) VALUES (?, ?, ?)"),
                    {id, m.article, numberColumnValue(m.quantity)});
        GET_NALI4NOST(db, m.article, request.warehouse, kAddStock, m.quantity);
    }
    t.commit();
    return {ProductionResult::Done, id, QString()};
}

} // namespace torvika
