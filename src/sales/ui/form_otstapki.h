#pragma once
// "Специални отстъпки/надбавки": the special discounts and surcharges of one
// counterparty at a time, edited in a working copy and stored together with
// "Запис". On the left the counterparties that have special discounts (a
// click or the arrow keys load one; "Добави" picks any counterparty from the
// counterparty list); on the right the loaded counterparty's rows and the
// entry panel; at the bottom "Нова"/"Запис", "Откажи" and the print for the
// loaded counterparty or for all of them.
//
// Loading another counterparty while the copy holds changes not stored asks
// whether to store them for the counterparty they were entered for, to drop
// them, or to stay.

#include "catalogue/ui/article_picker.h"
#include "sales/article_discounts.h"
#include "shell/ui/host.h"

#include <QDialog>
#include <memory>
#include <optional>

class QTableView;

namespace Ui {
class TForm_Spec_Otstapki;
}

namespace torvika {

class StatementModel;

class TForm_Spec_Otstapki : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Spec_Otstapki(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Spec_Otstapki() override;

    // Opens the window modally over the parent, with the counterparty
    // "<ID>:<name>" loaded when one is given.
    static void run(const WindowContext& context, QWidget* parent, const QString& refText = {});
    // Registers what the pickers opened by the window deliver to it (its
    // module does, while it is installed).
    static void addFollowUps(FollowUpRegistry& followUps);

    // Whether the working copy could be made; a window without one shows
    // nothing to work on.
    bool ready() const { return bool(copy_); }
    SpecialDiscountsCopy& copy() const { return *copy_; }
    StatementModel* counterparties() const { return counterparties_; }
    StatementModel* rows() const { return rows_; }
    QTableView* counterpartyGrid() const;
    QTableView* rowsGrid() const;
    // Entry mode: the bottom button reads "Запис" (else "Нова").
    bool entryMode() const { return entryMode_; }
    // The row being edited ("Приеми" on the add button).
    std::optional<qint64> editedRow() const { return editedRow_; }

    // Loads the counterparty "<ID>:<name>" into the working copy. When the
    // copy holds changes of another counterparty, asks first; false when the
    // operator stays with it (or the loading failed).
    bool loadCounterparty(const QString& refText);
    // The article or group chosen for the entry panel: "<ID>:<name>" in
    // Label_TO_Artikul, for kDiscountForArticle or kDiscountForGroup; an
    // article's price goes into "Основна цена".
    void chooseItem(const QString& kind, const QString& refText, const std::optional<Decimal>& price = {});
    // What the catalogue delivers in its modes kSelectDiscountGroup (the
    // group node; the root and the bin are no group) and
    // kSelectDiscountArticle (the first marked article, else the current one).
    void takeArticleChoice(const ArticleChoice& choice);

    // Handlers, public so that tests drive them.
    void Button_TarsiClick();
    void Button1Click();
    // Choosing "група" or "артикул", and "Избери...", open the catalogue in
    // the mode of the kind shown.
    void ComboBox_Select_G_AChange();
    void Button_Izberi_ArtClick();
    void Button_DobaviClick();
    void Button_IztriiClick();
    void Button_RedaktiraiClick();
    void Button_ZapisClick();
    void Edit_TODblClick();
    void Edit_Cena2Enter();
    // "Печат": for the loaded counterparty (its rows as shown) or for all
    // counterparties (their stored rows). Returns the file written, empty
    // when nothing was printed.
    QString Pe4at(bool all);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void readCounterparties(const QString& search);
    void readRows(std::optional<qint64> current = std::nullopt);
    void counterpartyRowChosen(int row);
    void positionOnLoaded();
    void setEntryMode(bool on);
    void endEditing();
    void showLoaded();
    bool storeCopy();
    std::optional<qint64> currentPor() const;
    // The typed percentage and purchase amount; none (after the message,
    // with the caret on the field) when one is refused.
    std::optional<std::pair<Decimal, Decimal>> typedValues();
    void priceFieldEdited(class QLineEdit* field);

    std::unique_ptr<Ui::TForm_Spec_Otstapki> ui;
    const WindowContext context_;
    Session& session_;
    std::unique_ptr<SpecialDiscountsCopy> copy_;
    StatementModel* counterparties_;
    StatementModel* rows_;
    QString search_;
    bool entryMode_ = false;
    std::optional<qint64> editedRow_;
    QString chosenKind_; // of the item in Label_TO_Artikul
    bool positioning_ = false;
};

} // namespace torvika
