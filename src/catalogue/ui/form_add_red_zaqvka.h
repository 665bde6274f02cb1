#pragma once
// "Нова поръчка": new order lines collected in a working copy and stored in
// the orders list together with "Запис". Each line names its requester,
// supplier and article, each chosen from the counterparties or the
// catalogue or typed as free text, the supplier's number of the article
// (proposed from the catalogue's counterparty numbers), the quantity, the
// expected delivery price and its currency. "Редактирай" loads the current
// working line into the fields; "Приеми" and "Откажи" then stand in place of
// "Добави" and "Изтрии". Closing the dialog without "Запис" drops the
// working lines.

#include "catalogue/orders.h"
#include "catalogue/ui/article_picker.h"
#include "shell/ui/host.h"

#include <QDialog>
#include <memory>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QTableView;

namespace Ui {
class TForm_Add_Red_Zaqvka;
}

namespace torvika {

class StatementModel;

class TForm_Add_Red_Zaqvka : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Add_Red_Zaqvka(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Add_Red_Zaqvka() override;

    // Registers what the pickers opened by the dialog deliver to it (its
    // module does, while it is installed).
    static void addFollowUps(FollowUpRegistry& followUps);

    // Whether the working copy could be made; a dialog without one is not shown.
    bool ready() const { return bool(copy_); }
    OrderLinesCopy& copy() const { return *copy_; }
    StatementModel* lines() const { return lines_; }
    QTableView* grid() const;
    // The working line being changed ("Приеми" / "Откажи").
    std::optional<qint64> editedLine() const { return editedLine_; }
    // The lines stored by "Запис".
    const QList<qint64>& saved() const { return saved_; }

    // What the pickers deliver: the requester and supplier reference texts,
    // and the article (its reference text, and its supplier's number).
    void takeRequester(const QString& refText);
    void takeSupplier(const QString& refText);
    void takeArticle(const PickedArticle& article);

    // Handlers, public so that tests drive them.
    void Label_ZaqvitelClick();
    void Label_Dostav4ikClick();
    void Label_ArtikulClick();
    // "Добави", or "Приеми" while a line is changed.
    void Button_DobaviClick();
    // "Изтрии", or "Откажи" while a line is changed.
    void Button_IztriiClick();
    void Button_RedaktiraiClick();
    void Button_ZapisClick();
    // Closing with working lines not saved asks first.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Row {
        QLabel* choose;
        QLabel* name;
        QCheckBox* free;
        QLineEdit* text;
    };
    Row requesterRow() const;
    Row supplierRow() const;
    Row articleRow() const;
    void freeTextToggled(const Row& row, bool on);
    static QString rowText(const Row& row);
    void readLines(std::optional<qint64> current = std::nullopt);
    void reset();
    void setEditing(std::optional<qint64> line);
    void proposeSupplierNumber();
    // The line as the fields give it; none (after the message, with the
    // caret on the field) when the quantity or the price is refused.
    std::optional<OrderLine> typedLine();
    QList<qint64> markedLines() const;

    std::unique_ptr<Ui::TForm_Add_Red_Zaqvka> ui;
    const WindowContext context_;
    Session& session_;
    std::unique_ptr<OrderLinesCopy> copy_;
    StatementModel* lines_;
    std::optional<qint64> editedLine_;
    QList<qint64> saved_;
    // The supplier's number last proposed, which a new choice may replace.
    QString proposedNumber_;
};

} // namespace torvika
