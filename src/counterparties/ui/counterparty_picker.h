#pragma once
// The selection protocol of the counterparty list: a window opens the list
// in its selection mode, the operator picks a row with "ИЗБЕРИ", and the
// caller gets the reference text "<ID>:<Ime_Firma>" back. What a mode does
// beyond that (its follow-up) is registered by the module that owns the
// receiving window, so the list window knows none of its callers.

#include "shell/session.h"

#include <QString>
#include <functional>
#include <optional>

class QObject;
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

// What choosing in a mode does with the reference text.
using SelectionFollowUp = std::function<void(const QString& refText)>;

// Registers the follow-up of a mode, replacing an earlier one. With an
// owner, the registration ends when the owner is destroyed.
void registerSelectionFollowUp(int mode, SelectionFollowUp followUp, QObject* owner = nullptr);
void unregisterSelectionFollowUp(int mode);
bool hasSelectionFollowUp(int mode);

// Opens the counterparty list modally in the mode. On "ИЗБЕРИ" runs the
// mode's registered follow-up (if any) and returns the chosen reference
// text; empty when the list was closed otherwise.
std::optional<QString> pickCounterparty(Session& session, int mode, QWidget* parent);

// Menu "Номенклатури" / "Контрагенти..." (Ctrl+K) and the tool button
// SpdBtn_Kontragenti: the list for browsing.
void N_KlientiClick(Session& session, QWidget* parent);
// Menu "Избор клиенти": the sale counterparty of the operator (mode 0).
std::optional<QString> N_Select_KontragClick(Session& session, QWidget* parent);

} // namespace torvika
