#pragma once
// "Пройзводство" (Form_Projzvodstvo): the recipes (operations) of a main
// article by name, their elements edited in this workstation's working
// lines and saved whole (RecipeDraft); carrying out an operation for a
// quantity in a warehouse ("ИЗПЪЛНИ": production or a recipe takes the
// elements out and puts the main article in, a break-up the other way); and
// the sale mode, opened for an article sold that has recipes: the operator
// picks a recipe and the quantity, and "ПРИЕМИ" hands the elements (with
// their serial numbers) to the sale.

#include "catalogue/recipes.h"
#include "shell/ui/host.h"

#include <QDialog>
#include <memory>
#include <optional>

class QTableView;

namespace Ui {
class TForm_Projzvodstvo;
}

namespace torvika {

class StatementModel;
struct ArticleChoice;

class TForm_Projzvodstvo : public QDialog {
    Q_OBJECT
public:
    enum Mode { EditMode = 0, SaleMode = 1 }; // Recipe_Window_Mode

    explicit TForm_Projzvodstvo(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Projzvodstvo() override;

    Mode mode() const { return mode_; }
    StatementModel* model() const { return model_; }
    QTableView* grid() const;
    RecipeDraft& draft() { return *draft_; }
    bool editing() const { return editing_; }

    // Sale mode: shows the article's recipes. After "ПРИЕМИ" sale() holds
    // the recipe, the quantity sold and the elements for the sale.
    void openForSale(qint64 article);
    const std::optional<RecipeSale>& sale() const { return sale_; }

    // The main article (mode 12) and the elements with their quantities
    // (mode 13) chosen in the catalogue.
    void takeMainArticle(const ArticleChoice& choice);
    void takeElements(const ArticleChoice& choice);
    static void addFollowUps(FollowUpRegistry& registry);

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void prepareEditing();
    void chooseMainArticle(qint64 article);
    void chooseKind();
    void showRecipe();
    void showValue();
    void setEditing(bool on);
    RecipeSelection selection() const;
    std::optional<RecipeHeader> shownRecipe() const;
    void addElements();
    void deleteElement();
    void editElement();
    void save();
    void cancel();
    void acceptSale();
    void carryOut();
    void deleteOperation();
    void updateCaption();

    std::unique_ptr<Ui::TForm_Projzvodstvo> ui;
    const WindowContext context_;
    Session& session_;
    std::unique_ptr<RecipeDraft> draft_;
    StatementModel* model_;
    Mode mode_ = EditMode;
    bool editing_ = false;
    bool editAtSale_ = false; // sale mode: the lines may change for this sale
    bool prepared_ = false;
    std::optional<RecipeSale> sale_;
};

} // namespace torvika
