#include "catalogue/ui/stock_module.h"

#include "catalogue/ui/form_dostavki.h"
#include "catalogue/ui/form_projzvodstvo.h"
#include "catalogue/ui/form_spr_revision.h"
#include "catalogue/ui/form_spr_transfer.h"
#include "catalogue/ui/form_sprdostavka.h"
#include "catalogue/ui/form_transfer.h"

namespace torvika {

namespace {

// Opens the window modally over the main window.
template <typename Window> void runWindow(Host& host) {
    Window window(host.context(), host.window());
    window.exec();
}

} // namespace

void StockModule::install(Host& host) {
    // "Операции" / "Основни" / "Доставки..." and SpdBtn_Dostavka.
    host.registerCommand(Command::N_Dostavka, [&host] { runWindow<TForm_Dostavki>(host); });
    // "Справки" / "Операции" / "Основни" / "Доставки".
    host.registerCommand(Command::N_SprDostavka, [&host] { runWindow<TForm_SprDostavka>(host); });
    // "Операции" / "Основни" / "Трансфер..." and SpdBtn_Transfer.
    host.registerCommand(Command::N_Transfer, [&host] { runWindow<TForm_Transfer>(host); });
    // "Операции" / "Основни" / "Брак...".
    host.registerCommand(Command::N_Brak, [&host] { runWindow<TForm_Brak>(host); });
    // "Операции" / "Основни" / "Пройзводство...": recipes, production, break-up.
    host.registerCommand(Command::N_Projzvodstvo, [&host] { runWindow<TForm_Projzvodstvo>(host); });
    // "Справки" / "Операции" / "Основни" / "Трансфер" and "Брак": the recorded documents.
    host.registerCommand(Command::N32, [&host] {
        TForm_Spr_Transfer window(host.context(), StockMoveKind::Transfer, host.window());
        window.exec();
    });
    host.registerCommand(Command::N_Nali4nosti, [&host] {
        TForm_Spr_Transfer window(host.context(), StockMoveKind::Scrap, host.window());
        window.exec();
    });
    // "Справки" / "Операции" / "Основни" / "Ревизия": the saved revisions.
    host.registerCommand(Command::N31, [&host] { runWindow<TForm_Spr_Revision>(host); });
    TForm_Dostavki::addFollowUps(host.followUps());
    TForm_SprDostavka::addFollowUps(host.followUps());
    TForm_Transfer::addFollowUps(host.followUps());
    TForm_Projzvodstvo::addFollowUps(host.followUps());
}

} // namespace torvika
