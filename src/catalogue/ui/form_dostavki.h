#pragma once
// "ДОСТАВКИ" (Form_Dostavki): a delivery from a supplier entered line by
// line (by article number or the supplier's own number, picked from the
// catalogue, imported from a numbered-field file, or a whole group from
// the catalogue), with its prices, markup, discount, VAT mark and serial
// numbers; its sums; the print; and "Запис", which records the delivery,
// raises the stock of the chosen warehouse and carries the prices and the
// supplier back into the catalogue in one transaction (DeliveryDraft). The
// delivery being entered is this workstation's own.

#include "catalogue/deliveries.h"
#include "shell/ui/host.h"

#include <QDialog>
#include <memory>
#include <optional>

class QTableView;

namespace Ui {
class TForm_Dostavki;
}

namespace torvika {

class StatementModel;
struct ArticleChoice;

class TForm_Dostavki : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Dostavki(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Dostavki() override;

    DeliveryDraft& draft() { return *draft_; }
    StatementModel* model() const { return model_; }
    QTableView* grid() const;
    // A delivery is open ("Запис" shown).
    bool isOpen() const { return open_; }

    // Opens a new delivery whose lines are the group's articles (the
    // catalogue's group command "Доставка"); the number of lines added.
    int openForGroup(qint64 group);
    // The articles marked in the catalogue (mode 15), each with its quantity.
    void takeArticles(const ArticleChoice& choice);
    static void addFollowUps(FollowUpRegistry& registry);

public slots:
    // "Откажи" of the delivery first: closing asks about a delivery open.
    void reject() override;

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The supplier.
    void supplierTyped(const QString& text);
    void supplierEnter();
    void chooseSupplier(const QString& refText);
    void hideSupplierList();
    qint64 supplier() const;
    qint64 warehouse() const;
    void chooseWarehouse();
    // The article line.
    void toggleNumbering();
    bool bySupplierNumber() const;
    void findArticle();
    void showArticle(const DeliveryArticle& a);
    void showStock(qint64 article);
    void sellingPriceLeft();
    void markupLeft();
    void discountLeft();
    void vatMarkClicked(bool checked);
    void deliveryCurrencyChosen();
    void sellingCurrencyChosen();
    void convert();
    std::optional<DeliveryLine> typedLine();
    void addOrAccept();
    void deleteOrCancel();
    void editCurrentLine();
    void loadLine(qint64 article);
    void endLineEdit();
    void resetArticleLine();
    void pickArticles();
    void serialNumbers();
    void importLines();
    void exportLines();
    // The delivery.
    void openDelivery();
    void newOrSave();
    void save();
    // Leaves the open delivery (asked when it has lines); false when the
    // operator keeps it.
    bool abandon();
    void setIdle();
    void showLines();
    void showSums();
    void print();

    std::unique_ptr<Ui::TForm_Dostavki> ui;
    const WindowContext context_;
    Session& session_;
    std::unique_ptr<DeliveryDraft> draft_;
    StatementModel* model_;
    bool open_ = false;
    bool shown_ = false;
    std::optional<qint64> editing_; // the article of the line being edited
    qint64 article_ = 0;            // the article the article line holds
    int taxGroup_ = 0;              // its tax group, for the VAT mark
    DeliverySums sums_;
};

} // namespace torvika
