#pragma once
// The selection protocol of the counterparty list: a window opens the list
// in its selection mode, the operator picks a row with "ИЗБЕРИ", and the
// follow-up that the module owning the receiving window registered with the
// host for the mode gets the reference text "<ID>:<Ime_Firma>"
// (common/ui/follow_ups.h). In a mode nobody receives, "ИЗБЕРИ" is disabled.

#include "common/ui/follow_ups.h"
#include "shell/ui/host.h"

#include <QString>
#include <optional>

class QWidget;

namespace torvika {

// The selection modes, by the window that receives the choice.
enum CounterpartySelectionMode : int {
    kBrowseCounterparties = -1,        // the list only, no "ИЗБЕРИ"
    kSelectSaleCounterparty = 0,       // shop page Label_Selected_Kontragent
    kSelectSpecialDiscounts = 1,       // TForm_Spec_Otstapki Label_TO_Klient
    kSelectWarrantyCard = 2,           // TForm_Garanc_Produkti Label_Kontragent
    kSelectInstalments = 3,            // TForm_Vnoski_Kredit Label_Kontrag_Vnoski
    kSelectSalesReport = 4,            // TForm_Spravka_prodajba Label_Kontragent
    kSelectOffer = 5,                  // TForm_Oferti Label_ID_Kontragent
    kSelectIssuedDocuments = 6,        // TForm_Spr_Izd_Dok Label_Kontrag
    kSelectOrderRequester = 7,         // TForm_Add_Red_Zaqvka Label_Zaqvitel_Name
    kSelectOrderSupplier = 8,          // TForm_Add_Red_Zaqvka Label_Dostav4ik_Name
    kSelectServiceClient = 9,          // service page Label_Selected_Kontragent_Ser
    kSelectServiceSupplier = 10,       // service page Label_Ime_Dost
    kSelectRepairs = 11,               // TForm_Remont Label_Sel_Kontrag
    kSelectWarrantyProducts = 12,      // TForm_Garancionni_Prod Label_Kontrag
    kSelectCertificate = 13,           // TForm_Sv_BIM Label_Kontrag
    kSelectNewArticle = 14,            // TForm_NewArtikul Label_ID_Kontragent
    kSelectDeliveriesReport = 15,      // TForm_SprDostavka Label_Kontrag
    kSelectIssuedSerialsClient = 16,   // TForm_Spr_Izdadeni_Ser Label_Kontrag
    kSelectIssuedSerialsSupplier = 17, // TForm_Spr_Izdadeni_Ser Label_Dostav4ik
    kSelectOffersRequester = 18,       // TForm_Spr_New_Oferts Label_Zaqvitel
};

// The follow-ups of the list: host.followUps().of<CounterpartyPicker>().
struct CounterpartyPicker {
    using Choice = QString; // the reference text
    static constexpr const char* kName = "counterparty list";
    static QList<int> modes();
};

// Opens the counterparty list modally in the mode, over the parent. On
// "ИЗБЕРИ" runs the mode's follow-up, with the parent as the window that
// opened the list, and returns the chosen reference text; empty when the
// list was closed otherwise.
std::optional<QString> pickCounterparty(const WindowContext& context, int mode, QWidget* parent);

} // namespace torvika
