#pragma once
// "Печат документи": the print run of a page. For every ticked document
// kind the template is loaded and fed for the selected lines, then printed
// (or previewed, when "Преглед на документ преди печат" is set) on every
// ticked printer, installed ones through CUPS or the PDF entry into a file.
// A printer that is not ready or fails is named in a message and nothing is
// registered for that print; a template that cannot print is named and the
// run goes on with the next kind.

#include "documents/print_run.h"
#include "shell/session.h"

#include <QStringList>

class QWidget;

namespace torvika {

// The printers offered: the installed ones in the system's order, then the
// PDF entry.
QStringList installedPrinters();
// The printer ticked at first: the system's default, else the PDF entry.
QString defaultPrinterName();

// What a page's "Печат документи" prints.
struct DocumentsToPrint {
    QStringList kinds;    // ticked document kinds, in list order
    QStringList printers; // ticked printers, in list order
    // Set: every kind is printed as a copy of the document issued under
    // this number ("КОПИЕ", the same number, nothing registered).
    QString copyOf{};
};

// The request of a page for the session's company: its data, templates
// and clock.
PrintRequest pageRequest(Session& session, PrintContext context);

// Runs the print. Returns the number of prints done.
int printDocuments(Session& session, const PrintRequest& request, const DocumentsToPrint& what,
                   QWidget* parent = nullptr);

} // namespace torvika
