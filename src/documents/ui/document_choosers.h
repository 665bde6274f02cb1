#pragma once
// The document and printer choosers of a page: the toggle "Изберете
// документи за разпечатка" fills and shows the check list of the document
// kinds offered on the page and the list of printers; the printer toggle
// shows the printers alone. The page reads what is ticked when it prints.
// The shop page's controls keep their names; the service page's get
// "_Ser" and the fiscal-service page's "_FC" after every name.

#include "documents/report_query.h"
#include "shell/session.h"

#include <QStringList>
#include <QWidget>
#include <memory>

namespace Ui {
class DocumentChoosers;
}

namespace torvika {

class DocumentChoosers : public QWidget {
    Q_OBJECT
public:
    explicit DocumentChoosers(QWidget* parent = nullptr);
    ~DocumentChoosers() override;

    // The page the choosers serve; suffix goes after every control's name.
    void setUp(Session& session, PrintContext context, const QString& suffix = {});

    // Presses the document toggle down (the menu "Печат на документи"),
    // or raises both toggles and hides the lists.
    void showChoosers();
    void closeChoosers();

    QStringList checkedDocuments() const;
    QStringList checkedPrinters() const;
    PrintContext context() const { return context_; }

    // Handlers, public so that tests drive them.
    void documentsToggled(bool down);
    void printersToggled(bool down);

private:
    void fillDocuments();
    void fillPrinters();

    std::unique_ptr<Ui::DocumentChoosers> ui;
    Session* session_ = nullptr;
    PrintContext context_ = PrintContext::Shop;
};

} // namespace torvika
