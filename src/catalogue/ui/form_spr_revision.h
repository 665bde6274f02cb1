#pragma once
// The report of saved revisions ("Справки" / "Ревизия"): the revisions of a
// period, of one warehouse or all, the lines of the revision chosen with
// what the books showed, what was found and their value, and the print of
// the list or of the chosen revision in the revision window's layout.

#include "common/ui/list_window.h"
#include "shell/ui/host.h"

#include <memory>

namespace Ui {
class TForm_Spr_Revision;
}

namespace torvika {

class TForm_Spr_Revision : public ListWindow {
    Q_OBJECT
public:
    explicit TForm_Spr_Revision(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Spr_Revision() override;

    StatementModel* linesModel() const { return lines_; }
    // The file the last print wrote; empty when none.
    const QString& printed() const { return printed_; }

protected:
    void listShown() override;

private:
    void find();
    void showRevision();
    void printList();
    void printRevision();

    std::unique_ptr<Ui::TForm_Spr_Revision> ui;
    const WindowContext context_;
    Session& session_;
    StatementModel* lines_;
    QString printed_;
};

} // namespace torvika
