#pragma once
// The composition root: the subsystems' modules that the main window hosts.

#include "catalogue/ui/catalogue_module.h"
#include "counterparties/ui/counterparties_module.h"
#include "documents/ui/documents_module.h"
#include "fiscal_service/ui/fiscal_service_module.h"
#include "sales/ui/sales_module.h"
#include "service/ui/service_module.h"

namespace torvika {

class TGeneral_Form;

// Every module of the program; they must outlive the main window's run.
struct Modules {
    CounterpartiesModule counterparties;
    CatalogueModule catalogue;
    DocumentsModule documents;
    SalesModule sales;
    ServiceModule service;
    FiscalServiceModule fiscalService;

    // Installs them into the main window.
    void installInto(TGeneral_Form& form);
};

} // namespace torvika
