#pragma once
// The reports of recorded transfers ("Трансфер") and scrap ("Брак"): the
// documents by date, warehouse and article, the lines of the document
// chosen, and the print of the list or of every document with its lines.

#include "catalogue/transfers.h"
#include "common/ui/list_window.h"
#include "shell/ui/host.h"

#include <memory>

namespace Ui {
class TForm_Spr_Transfer;
}

namespace torvika {

class TForm_Spr_Transfer : public ListWindow {
    Q_OBJECT
public:
    TForm_Spr_Transfer(const WindowContext& context, StockMoveKind kind, QWidget* parent = nullptr);
    ~TForm_Spr_Transfer() override;

    StockMoveKind kind() const { return kind_; }
    StatementModel* linesModel() const { return lines_; }
    // The file the last print wrote; empty when none.
    const QString& printed() const { return printed_; }

protected:
    void listShown() override;

private:
    void find();
    void showDocument();
    void comparisonChosen();
    void print(bool withLines);

    std::unique_ptr<Ui::TForm_Spr_Transfer> ui;
    const WindowContext context_;
    Session& session_;
    StockMoveKind kind_;
    StatementModel* lines_;
    QString printed_;
};

} // namespace torvika
