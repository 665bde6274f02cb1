#pragma once
// "Справка издадени документи": the documents issued in the shop or the
// service that match the ticked filters, the lines of the document the
// operator moves to (with the mouse or the arrow keys) and their total, a
// copy of that document printed again ("ПЕЧАТ": the same number, "КОПИЕ",
// nothing registered), and documents of further kinds for its lines
// ("Печат Нов Документ", numbered as any new document).

#include "common/ui/follow_ups.h"
#include "common/ui/list_window.h"
#include "documents/issued_documents.h"
#include "documents/print_run.h"
#include "shell/ui/host.h"

#include <memory>
#include <optional>

namespace Ui {
class TForm_Spr_Izd_Dok;
}

namespace torvika {

// The filters "Контрагент" and "Артикул" open the counterparty list and
// the article catalogue, windows of libraries above this one: their
// modules register these follow-ups, which open the picker over the report
// (whose own follow-up then calls setCounterparty / setArticle).
enum IssuedDocumentsChooser : int {
    kChooseIssuedCounterparty = 0,
    kChooseIssuedArticle = 1,
};
struct IssuedDocumentsChoosers {
    using Choice = int; // nothing: the follow-up opens the picker
    static constexpr const char* kName = "issued-documents report";
    static QList<int> modes() { return {kChooseIssuedCounterparty, kChooseIssuedArticle}; }
};

class TForm_Spr_Izd_Dok : public ListWindow {
    Q_OBJECT
public:
    explicit TForm_Spr_Izd_Dok(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Spr_Izd_Dok() override;

    // The pickers' choices: "<ID>:<name>".
    void setCounterparty(const QString& refText);
    void setArticle(const QString& refText);

    // The ticked filters as the search takes them.
    IssuedDocumentFilter filter() const;
    // The document of the current row; none without a row.
    std::optional<IssuedDocumentRef> currentDocument() const;

protected:
    void showEvent(QShowEvent* e) override;
    void listShown() override;
    QString sortField(int column) const override;

private:
    void FormShow();
    void kindTicked(bool on);
    void dateTicked(bool on);
    void operatorTicked(bool on);
    void counterpartyTicked(bool on);
    void articleTicked(bool on);
    void dateOperatorChanged();
    void showLines();

    void Button_SearchClick();
    void Button_Pe4atClick();
    void Button1Click();

    // The request that prints for the document's lines; none (with the
    // reason shown) when its lines are gone.
    std::optional<PrintRequest> requestFor(const IssuedDocumentRef& document);

    std::unique_ptr<Ui::TForm_Spr_Izd_Dok> ui;
    WindowContext context_;
    Session& session_;
    StatementModel* lines_ = nullptr;
};

} // namespace torvika
