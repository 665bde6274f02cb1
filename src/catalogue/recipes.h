#pragma once
// Recipes (operations): which element articles, in which quantities, make
// up a quantity of a main article (Rezept_Art with its elements in
// Rezept_El). An article may have several, told apart by name; a name is
// one article's, matched whole in any letter case.
//
// Three kinds: a recipe (made when sold: the sale takes the elements out of
// stock), a break-up (the main article taken apart into its elements) and
// production (the elements made into the main article). Carrying out an
// operation moves the stock of one warehouse in one transaction and records
// it (Projzvodstvo, Projzvodstvo_El): production and a recipe take the
// elements out and put the main article in, a break-up the other way.
//
// No recipe may hold its own main article, directly or through the recipe
// of one of its elements, so that an operation never feeds on itself.
//
// The elements being edited are this workstation's own working lines (a
// temporary table of the connection), each with its state; the recipes
// change only when the lines are saved.

#include "common/decimal.h"
#include "common/sql_statement.h"
#include "common/vat.h"
#include "common/working_table.h"

#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace torvika {

enum RecipeKind : int { kRecipeKind = 0, kBreakupKind = 1, kProductionKind = 2 };
inline constexpr std::array<QStringView, 3> recipeKindCaptions{u"Рецепта", u"Разпад", u"Пройзводство"};
// The names offered for a new recipe.
inline constexpr std::array<QStringView, 3> recipeDefaultNames{u"Стандарт", u"Минимум", u"Максимум"};
inline constexpr int kRecipeNameWidth = 15;

struct RecipeHeader {
    qint64 id = 0;
    qint64 article = 0;      // ID_Art: the main article
    Decimal forQuantity = 1; // Kol_Art: the quantity of the main article the elements make
    int kind = kRecipeKind;  // Vid_R
    QString name;            // Name_R
};

// The state of a working line.
enum RecipeLineState : int { kLineLoaded = 0, kLineAdded = 1, kLineChanged = 2, kLineDeleted = 3 };

struct RecipeLine {
    qint64 key = 0;    // the line's own number in the working lines
    qint64 recipe = 0; // ID_R; 0 for a recipe not saved yet
    qint64 element = 0;
    QString name; // the recipe's name
    Decimal quantity;
    int state = kLineLoaded;
};

// Which recipe the working lines show: a saved one by its number, or the
// lines collected under a name for a new recipe.
struct RecipeSelection {
    qint64 recipe = 0; // when above 0, that recipe's lines
    QString name;      // otherwise the lines of this name
};

// The value of the lines for a quantity of the main article, at the
// elements' selling prices in the base currency, split at the rates of
// their tax groups (the prices hold the VAT).
struct RecipeValue {
    Decimal base;
    Decimal vat;
    Decimal total;
};

struct RecipeSaveResult {
    enum Status {
        Saved,
        Refused, // message says why; nothing written
        Exists,  // a new recipe's name is the article's recipe `id` already
    } status = Saved;
    qint64 id = 0;
    QString message;
};

// The number a recipe saved now would get (MAX + 1), for showing; the
// recipe takes its number when it is written.
qint64 proposedRecipeNumber(const QSqlDatabase& db);
// The recipes of the article by name. Throws EDatabaseError.
QList<RecipeHeader> recipesOf(const QSqlDatabase& db, qint64 article);
std::optional<RecipeHeader> loadRecipe(const QSqlDatabase& db, qint64 id);
// The article's recipe of that name (whole, any letter case).
std::optional<RecipeHeader> recipeNamed(const QSqlDatabase& db, qint64 article, const QString& name);
// The elements of a saved recipe, in the order stored: element and quantity.
QList<RecipeLine> recipeElements(const QSqlDatabase& db, qint64 id);

// Why the element may not go into a recipe of the main article: it is the
// main article, or its own recipes hold the main article (at any depth).
// Empty when it may. Throws EDatabaseError.
std::optional<QString> elementRefusal(const QSqlDatabase& db, qint64 mainArticle, qint64 element);

class RecipeDraft {
public:
    // Empty working lines. Throws EDatabaseError.
    explicit RecipeDraft(const QSqlDatabase& db);
    ~RecipeDraft();
    RecipeDraft(const RecipeDraft&) = delete;
    RecipeDraft& operator=(const RecipeDraft&) = delete;

    const QSqlDatabase& database() const { return db_; }
    const QString& table() const { return lines_.table(); }

    // Makes the article the main article: the working lines become the
    // elements of its saved recipes, each loaded. Throws EDatabaseError.
    void load(qint64 article);
    qint64 article() const { return article_; }
    // The article's recipes as loaded.
    const QList<RecipeHeader>& recipes() const { return recipes_; }
    // The loaded recipe of the name (whole, any letter case).
    std::optional<RecipeHeader> recipeNamed(const QString& name) const;
    // The names to choose from: the article's recipes, sorted, each once;
    // withDefaults adds the names offered for a new recipe.
    QStringList names(bool withDefaults) const;

    // The lines shown for the selection (not those marked deleted).
    QList<RecipeLine> lines(const RecipeSelection& selection) const;
    // The grid: Line_Key, ID_El, Opisanie, Kol_El, Mqrka, Ed_Cena,
    // Valuta_P, Changed; in the order added, key Line_Key.
    SqlStatement linesStatement(const RecipeSelection& selection) const;

    // Adds an element to the selection's lines. Refused (the message): no
    // main article, no such article, a quantity not above 0, the element
    // already there, an element that may not go in (elementRefusal).
    std::optional<QString> add(const RecipeSelection& selection, qint64 element, const Decimal& quantity);
    // A new quantity for the line: a line loaded becomes changed; a line
    // added stays added (it is still to be written whole).
    std::optional<QString> setQuantity(qint64 key, const Decimal& quantity);
    // Removes the line: a line not saved yet goes, a saved one is marked
    // deleted.
    void remove(qint64 key);

    RecipeValue value(const RecipeSelection& selection, const Decimal& forQuantity, const Decimal& quantity,
                      const VatRates& rates) const;

    // Saves the lines of the header's name as a new recipe of the main
    // article. Exists (nothing written) when the article has a recipe of that
    // name. Refused: no main article, a kind outside the three, an empty or
    // too long name, a quantity not above 0, no lines, an element that may
    // not go in. The working lines are loaded again afterwards.
    RecipeSaveResult saveNew(const RecipeHeader& header);
    // Writes the changes of the recipe's lines and its quantity, kind and
    // name (a name another recipe of the article has is refused); the lines
    // of other workstations' changes not touched here stay. Refused also when
    // the recipe is gone or would be left without elements.
    RecipeSaveResult saveChanges(qint64 recipe, const RecipeHeader& header);

private:
    QString selectionCondition(const RecipeSelection& selection, QVariantList& values) const;
    std::optional<QString> checkHeader(const RecipeHeader& h) const;

    QSqlDatabase db_;
    WorkingTable lines_;
    qint64 article_ = 0;
    QList<RecipeHeader> recipes_;
};

// Deletes the recipe and its elements. False when it was gone already.
bool deleteRecipe(const QSqlDatabase& db, qint64 id);

// ---- A sale through a recipe ----

// An element of the main article being sold, for a sale line at price 0.
struct RecipeSaleElement {
    qint64 article = 0;
    QString description;
    Decimal quantity; // the element's quantity for the quantity sold
    bool warranty = false;
    bool series = false;
    QString shelfLife; // Trajnost, for the warranty text
    QString serial;    // asked for a warranty or series element
    QString warrantyText;
};
struct RecipeSale {
    qint64 recipe = 0;
    Decimal quantity; // of the main article
    QList<RecipeSaleElement> elements;
};
// The elements of the lines for a sale of `sold` of the main article: each
// element's quantity is its quantity divided by the recipe's quantity of
// the main article, times the quantity sold (a recipe for 10 with 1 kg of
// an element gives 0.3 kg for 3 sold). Throws EDatabaseError.
QList<RecipeSaleElement> recipeSaleElements(const QSqlDatabase& db, const QList<RecipeLine>& lines,
                                            const Decimal& forQuantity, const Decimal& sold);

// ---- Carrying out an operation ----

struct ProductionRequest {
    qint64 recipe = 0;
    Decimal quantity; // of the main article
    qint64 warehouse = 0;
    QString operatorName;
    QDateTime when;
};
struct ProductionResult {
    enum Status { Done, Refused } status = Done;
    qint64 id = 0; // Projzvodstvo.ID
    QString message;
};
// An article that the operation takes out of the warehouse beyond its stock.
struct ProductionShortage {
    qint64 article = 0;
    QString description;
    Decimal needed;
    Decimal available;
};
// What the operation would take beyond the warehouse's stock. Throws
// EDatabaseError.
QList<ProductionShortage> productionShortages(const QSqlDatabase& db, const ProductionRequest& request);
// Moves the stock and records the operation, in one transaction. Refused,
// nothing written: the recipe gone or without elements, a quantity not
// above 0, no such warehouse. Throws EDatabaseError (nothing written).
ProductionResult produce(const QSqlDatabase& db, const ProductionRequest& request);

} // namespace torvika
