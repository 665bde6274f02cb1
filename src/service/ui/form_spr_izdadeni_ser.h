#pragma once
// "Справка за издадени от ремонт": the items issued from repair found by
// the criteria ticked (client, reason, operator who received it, serial
// number, model, batch, article, dossier, who issued it and when, supplier,
// warranty document and its date), with the repair lines of the item under
// the cursor, the total of the repairs found and of the item's repair.
// "Печат" prints the whole list ("всички") or the item under the cursor
// with its repair lines ("само избрано").

#include "catalogue/ui/article_picker.h"
#include "common/ui/list_window.h"
#include "service/service_reports.h"
#include "shell/ui/host.h"

#include <memory>
#include <optional>

namespace Ui {
class TForm_Spr_Izdadeni_Ser;
}

namespace torvika {

class StatementModel;

class TForm_Spr_Izdadeni_Ser : public ListWindow {
    Q_OBJECT
public:
    explicit TForm_Spr_Izdadeni_Ser(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Spr_Izdadeni_Ser() override;

    StatementModel* linesModel() const { return lines_; }
    // The criteria ticked; empty when a typed value is not valid (the
    // operator has been told).
    std::optional<IssuedFilter> filter() const;
    // The client (mode 16) and the supplier (mode 17) chosen in the counterparty list.
    void takeClient(const QString& ref);
    void takeSupplier(const QString& ref);
    // The article chosen in the catalogue for the "Артикул" criterion.
    void takeArticle(const PickedArticle& article);

protected:
    QString sortField(int column) const override;
    void listShown() override;

private:
    void runSearch();
    void showLines();
    void dateComparisonChosen();
    void print();
    void printChosen();

    std::unique_ptr<Ui::TForm_Spr_Izdadeni_Ser> ui;
    Session& session_;
    WindowContext context_;
    StatementModel* lines_ = nullptr;
    IssuedFilter shown_;
    qint64 article_ = 0;
};

} // namespace torvika
