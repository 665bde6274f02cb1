#pragma once
// "Ревизия": the articles of one warehouse counted by typing (article
// number, Enter, the quantity found, Enter), by picking from the catalogue
// or by reading a count file, with the differences and their value, the
// count list printed, a count file written, and the revision saved (the
// stock of the warehouse moved by found - recorded for each article). The
// warehouse is fixed once lines exist; the revision's number is the one
// the next save will most likely get, taken for good when saving.

#include "catalogue/revision.h"
#include "common/ui/list_window.h"
#include "shell/ui/host.h"

#include <memory>
#include <optional>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimeEdit;

namespace torvika {

// The columns of a revision's lines (the draft's and a saved one's).
QList<GridColumnSpec> revisionLineColumns(int decimals);

class Form_Revision : public ListWindow {
    Q_OBJECT
public:
    explicit Form_Revision(WindowContext context, QWidget* parent = nullptr);
    ~Form_Revision() override;

    RevisionDraft& draft() { return *draft_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void articleEntered();
    void quantityEntered();
    void pickArticles();
    void editLine();
    void deleteLines();
    void importFile();
    void exportFile();
    void print();
    void save();
    void warehouseChosen();
    // The sums and the grid again, the warehouse locked while lines exist.
    void refresh();
    // Asks the quantity found of the line's article.
    void editArticle(qint64 article, const QString& label);
    QString articleLabel(qint64 article) const;

    WindowContext context_;
    std::unique_ptr<RevisionDraft> draft_;
    // The article typed, waiting for its quantity.
    std::optional<qint64> typed_;
    bool closing_ = false;

    QLineEdit* number_;
    QComboBox* reason_;
    QDateEdit* date_;
    QTimeEdit* time_;
    QComboBox* warehouse_;
    QLineEdit* recorded_;
    QLineEdit* counted_;
    QLineEdit* difference_;
    QLineEdit* article_;
    QLabel* articleLabel_;
    QLineEdit* quantity_;
};

} // namespace torvika
