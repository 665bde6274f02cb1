#pragma once
// A print run: the documents of the ticked kinds for the lines the operator
// selected, each loaded from its template, fed by its query and printed on
// the ticked printers. This is the run's logic without a printer: what to
// print (PreparedDocument), with which stamp and number (DocumentPrintState),
// and the numbering of a completed print, which is registered together
// with the print or not at all (printDocument).

#include "documents/document_kinds.h"
#include "documents/report_engine.h"
#include "documents/report_query.h"
#include "documents/report_template.h"

#include <QDateTime>
#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace torvika {

// The amounts of lines as the database holds them now: their total split
// per VAT rate and each line's rate. The page that prints knows how its
// lines are priced; the print run asks when it reads the document's rows,
// with the lines that still exist.
using LineAmounts = std::function<DocumentAmounts(const QSqlDatabase& db, const QList<qint64>& lines)>;

// How the module that prices a page's lines gives their amounts to what
// prints them outside the page (the designer's preview of the shop's sale
// lines); kept in the session's state.
struct DocumentAmountSource {
    LineAmounts shop;
};

// What a page hands to the print run.
struct PrintRequest {
    PrintContext context = PrintContext::Shop;
    // N_Prodajba of the selected lines, in the order they were selected.
    QList<qint64> lines;
    qint64 counterparty = 0;
    QString operatorName;
    // The amounts of the computed labels; none gives zero amounts.
    LineAmounts amounts;
    // The VAT rates of the tax groups, for lines whose net values are
    // computed as they are read (the sales report's).
    VatRates vatRates;
    // Company data for the band texts ("[Фирма]" ...).
    QHash<QString, QString> companyFields;
    QString templateDir;
    QDateTime now;
    // The last day amounts show in euro and in lev (ISO text; empty: never).
    QString dualPricesUntil;
    // The rows of a page that feeds its documents itself (the fiscal-service
    // page: the device in its field), instead of the statement composed from
    // the template's data fields.
    std::function<ReportData(const QSqlDatabase&)> rows{};
};

// The company data the band texts may name, from Firm_Data/Firm_Data:
// [Фирма], [ЕИК], [ИН по ДДС] ("BG" and the EIK when the company's VAT
// rate, Firm_Data/DDS, is above 0; empty otherwise), [МОЛ], [Адрес],
// [Телефон], [IBAN], [BIC], [Банка], and [Място на издаване], the town
// where the document is issued (the place given, else the address); and
// the credit note's [Към документ] and [Основание], empty here.
QHash<QString, QString> companyFields(const QString& name, const QString& eik, const QString& mol,
                                      const QString& address, const QString& phone, const QString& iban,
                                      const QString& bic, const QString& bank, const QString& vatText,
                                      const QString& place = {});

// Where the workstation issues its documents: the town of the warehouse it
// sells from (Store/Active), else that warehouse's address; empty when it
// has neither. Throws EDatabaseError.
QString placeOfIssue(const QSqlDatabase& db, int warehouse);

// Asks for the text of a label typed at print time (kind 4: the text, kind
// 5: a number, kind 6: the payment method), starting from the text given;
// nullopt gives the document up.
using LabelPrompt =
    std::function<std::optional<QString>(const QString& documentName, int kind, const QString& caption)>;

// A document ready to print: its template, rows and values.
struct PreparedDocument {
    ReportTemplate report;
    ReportData data;
    ReportValues values;
    std::optional<DocumentKind> kind;
    int copies = 1;
    QStringList warnings; // logged: band texts that were missing
    // The selected lines that exist, in selection order (all of them where
    // the document is not printed for lines of a page).
    QList<qint64> lines;
    bool linesGone = false; // every selected line is gone
    // The query found no row, or the lines are gone: nothing to print.
    bool empty() const { return linesGone || (data.queried && data.rows.isEmpty()); }
};

// Loads the kind's template, reads its rows and amounts and asks for its
// typed labels. Throws EDocumentError (with the message to show) for a
// template that cannot be printed, a document issued to a counterparty
// without one, a kind whose number is not digits, a typed number that is
// not one, or a prompt given up (the message then empty), and EDatabaseError.
PreparedDocument prepareDocument(const QSqlDatabase& db, const PrintRequest& request, const QString& kindName,
                                 const LabelPrompt& prompt);
// Reads the document's lines, rows and amounts again, as they are now.
void rereadDocument(const QSqlDatabase& db, const PrintRequest& request, PreparedDocument& doc);

// The state of printing kept for the program's run: the print context, the
// name of the document being printed, the key list, the printers, and per
// document kind of the current run its prints and number.
struct DocumentPrintState {
    PrintContext context = PrintContext::None;
    QString documentName;
    QList<qint64> keys;
    QString defaultPrinter; // the printer to restore after a run
    QString jobPrinter;     // the printer the documents go to now

    struct KindRun {
        int printed = 0;   // completed prints in this run
        QString number;    // the number printed: taken by the first print, or the issued one copied
        bool copy = false; // the run prints copies of an issued document
    };
    QHash<QString, KindRun> kinds;

    // A run starts: context and keys are set anew, every kind's counter
    // starts from nothing.
    void beginRun(PrintContext c, const QList<qint64>& lines);
    // The run ended or failed: the key list is emptied.
    void endRun();
    // The run prints the kind as copies of the document issued under that
    // number: "КОПИЕ", the number, nothing registered.
    void copyIssued(const QString& kind, const QString& number);

    // The stamp of the kind's next print: "ОРИГИНАЛ" until a print of the
    // kind completed in this run, "КОПИЕ" after, and for copies.
    QString stamp(const QString& kind) const;
};

// SET_SELECTED_PRINTER: the printer of the job becomes the named one when
// it is one of the installed printers; any other name changes nothing.
void SET_SELECTED_PRINTER(DocumentPrintState& state, const QString& name, const QStringList& installed);

// The values a preview of the document shows: the stamp of the kind's next
// print and the number it would get.
ReportValues previewValues(const QSqlDatabase& db, const DocumentPrintState& state,
                           const PreparedDocument& doc);

enum class PrintOutcome {
    Printed,
    NotDrawn, // the printer did not take the pages: nothing registered
    Empty,    // the lines are gone: nothing to print
    Changed,  // the document is no longer what the preview showed
};

// One print of the document. Under one lock of the kind and of its lines it
// reads the lines, the rows and the amounts, takes the number (the first
// print of the kind in the run; later prints and copies carry the number
// printed before and register nothing), registers the lines it prints and
// draws the pages; the registration is kept only when draw reports the
// print done. With `shown` (what a preview showed) the print is made only
// when the document, its amounts and its number are still those shown.
// Throws EDocumentError for a number that is not digits and EDatabaseError
// (nothing registered then).
PrintOutcome printDocument(const QSqlDatabase& db, DocumentPrintState& state, const PreparedDocument& doc,
                           const PrintRequest& request,
                           const std::function<bool(const ReportLayout&, int copies)>& draw,
                           const PreparedDocument* shown = nullptr);

} // namespace torvika
