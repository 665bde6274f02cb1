#pragma once
// The service page "СЕРВИЗ": the operator's working list of items being
// received, the entry of an item (client, article or free text, serial
// number with its lookup, reason, estimated price, due date, and the
// supplier's warranty document for a warranty intake), what is known of
// the serial number (its sale, its supplier's warranty, its earlier
// repairs), the workshop ticket and the documents of the selected lines,
// and "ПРИЕМИ", which moves the selected lines into service.

#include "catalogue/ui/article_picker.h"
#include "documents/print_run.h"
#include "service/intake_lines.h"
#include "shell/ui/host.h"

#include <memory>

namespace Ui {
class ServicePage;
}

namespace torvika {

class DocumentChoosers;
class SelectionOrder;
class StatementModel;

class ServicePage : public HostPage {
    Q_OBJECT
public:
    explicit ServicePage(Host& host, QWidget* parent = nullptr);
    ~ServicePage() override;

    // Registers what the counterparty list and the catalogue deliver to the
    // page: the intake's client, the supplier of a warranty intake and the
    // article (its module does, while it is installed).
    void addFollowUps(FollowUpRegistry& followUps);

    void formShown(bool current) override;
    // Fills the currency and department boxes anew, sets the due date to
    // today and reads the working list.
    void activated() override;
    void refresh() override;

    DocumentChoosers* documentChoosers() const;
    StatementModel* intakeModel() const { return lines_; }
    StatementModel* dossierModel() const { return dossier_; }
    StatementModel* dossierLinesModel() const { return dossierLines_; }
    // The selected lines of the working list (N_Prodajba), first selected first.
    QList<qint64> selectedIntakeLines() const;
    // The estimated repair prices of the lines, at the standard VAT rate.
    LineAmounts documentAmounts() const;

    // The article chosen in the catalogue (mode 8): its reference, price and currency.
    void takeArticle(const PickedArticle& article);
    // The supplier chosen in the counterparty list (mode 10).
    void takeSupplier(const QString& ref);
    // The intake's client (mode 9, or the quick search).
    void setClientText(const QString& text);

private:
    void readLines();
    void lookUp();
    void showDossierLines();
    void pickSerial(const QString& serial);
    void freeTextToggled(bool on);
    void warrantyToggled(bool on);
    void articleChanged(const QString& text);
    void addLine();
    void resetEntry();
    void selectAll();
    void cancelLines();
    void acceptLines();
    void printTicket();
    void printDocuments();
    qint64 clientNumber() const;

    std::unique_ptr<Ui::ServicePage> ui;
    Host& host_;
    StatementModel* lines_ = nullptr;
    StatementModel* dossier_ = nullptr;
    StatementModel* dossierLines_ = nullptr;
    SelectionOrder* order_ = nullptr;
};

} // namespace torvika
