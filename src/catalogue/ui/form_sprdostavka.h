#pragma once
// "СПРАВКА ДОСТАВКИ" (Form_SprDostavka): the recorded deliveries by any of
// the filters (supplier, document kind, number and date, date entered,
// warehouse, articles), the lines of the current delivery with its
// payments, the title-click sort of both grids, and the print of the
// deliveries, of one delivery's lines, or of every delivery listed with its
// lines.

#include "catalogue/deliveries.h"
#include "common/ui/list_window.h"
#include "shell/ui/host.h"

#include <QList>
#include <memory>

namespace Ui {
class TForm_SprDostavka;
}

namespace torvika {

struct ArticleChoice;

class TForm_SprDostavka : public ListWindow {
    Q_OBJECT
public:
    explicit TForm_SprDostavka(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_SprDostavka() override;

    StatementModel* linesModel() const { return lines_; }
    QTableView* linesGrid() const;
    // The file the last print wrote; empty when none.
    const QString& printed() const { return printed_; }

    // The supplier (counterparty list, mode 15) and the articles (catalogue,
    // mode 16) of the filters.
    void takeSupplier(const QString& refText);
    void takeArticles(const ArticleChoice& choice);
    static void addFollowUps(FollowUpRegistry& registry);

protected:
    void listShown() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    DeliveryReportFilter filter() const;
    void find();
    void showDelivery();
    void print(int choice);
    void dateFilterTicked(bool on, int which);
    void comparisonChosen(int which);
    void sortLines(int column);

    std::unique_ptr<Ui::TForm_SprDostavka> ui;
    const WindowContext context_;
    Session& session_;
    StatementModel* lines_;
    QList<qint64> articles_; // the articles of the filter, as marked
    QString printed_;
};

} // namespace torvika
