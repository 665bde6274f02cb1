#pragma once
// "Трансфер на стоки" (Form_Transfer) and "Бракуване на стоки" (Form_Brak):
// the lines of goods to move from one warehouse to another, or to write
// off one warehouse, collected by article number, by picking from the
// catalogue or from a numbered-field file; their value; the print; and
// "ЗАПИС", which records the document and moves the stock (StockMoveDraft).
// The lines are this workstation's own until they are saved.

#include "catalogue/transfers.h"
#include "shell/ui/host.h"

#include <QDialog>
#include <memory>

class QTableView;

namespace Ui {
class TForm_Transfer;
}

namespace torvika {

class StatementModel;
struct ArticleChoice;

class TForm_Transfer : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Transfer(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Transfer() override;

    StockMoveDraft& draft() { return *draft_; }
    StatementModel* model() const { return model_; }
    QTableView* grid() const;

    // The articles marked in the catalogue (mode 14), each with its quantity.
    void takeArticles(const ArticleChoice& choice);
    // The follow-up of the catalogue opened by this window.
    static void addFollowUps(FollowUpRegistry& registry);

public slots:
    // Asks before lines not saved are dropped.
    void reject() override;

protected:
    TForm_Transfer(const WindowContext& context, StockMoveKind kind, QWidget* parent);
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isScrap() const { return kind_ == StockMoveKind::Scrap; }
    void prepare();
    void chooseWarehouses();
    void findArticle();
    void addLine();
    // Adds the line after the stock check; false when nothing was added.
    bool addChecked(qint64 article, const Decimal& quantity);
    void pickArticles();
    void editLine();
    void deleteLines();
    void print();
    void importLines();
    void exportLines();
    void save();
    void showLines();
    void resetArticle();
    bool confirmClose();

    std::unique_ptr<Ui::TForm_Transfer> ui;
    const WindowContext context_;
    Session& session_;
    StockMoveKind kind_;
    std::unique_ptr<StockMoveDraft> draft_;
    StatementModel* model_;
    qint64 article_ = 0; // the article the label shows
    bool prepared_ = false;
};

class TForm_Brak : public TForm_Transfer {
    Q_OBJECT
public:
    explicit TForm_Brak(const WindowContext& context, QWidget* parent = nullptr);
};

} // namespace torvika
