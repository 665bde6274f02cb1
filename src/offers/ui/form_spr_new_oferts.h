#pragma once
// "Справка оферти към клиенти": the saved offers found by requester, number
// and date, the lines of the offer clicked with its value; deleting an
// offer, reopening it in "Оферти", printing it to a grid file or a PDF
// document, and making order lines of it.
//
// A dialog of its own rather than a list window: it shows two grids (the
// offers and the clicked offer's lines) and three filters at once, which
// the list window's single search line does not serve.

#include "offers/offers.h"
#include "shell/ui/host.h"

#include <QDialog>
#include <memory>

namespace Ui {
class TForm_Spr_New_Oferts;
}

namespace torvika {

class StatementModel;

class TForm_Spr_New_Oferts : public QDialog {
    Q_OBJECT
public:
    TForm_Spr_New_Oferts(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Spr_New_Oferts() override;

    static void addFollowUps(FollowUpRegistry& registry);
    void takeRequester(const QString& refText);

private:
    void search();
    void offerClicked();
    std::optional<StoredOffer> currentOffer();
    void deleteCurrent();
    void reopenCurrent();
    void printCurrent();
    void printDocument();
    void makeOrders();
    OfferPrint printOf(const StoredOffer& offer) const;

    std::unique_ptr<Ui::TForm_Spr_New_Oferts> ui;
    const WindowContext context_;
    Session& session_;
    StatementModel* offers_;
    StatementModel* lines_;
};

} // namespace torvika
