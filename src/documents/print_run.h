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

// What a page hands to the print run.
struct PrintRequest {
    PrintContext context = PrintContext::Shop;
    // N_Prodajba of the selected lines, in the order they were selected.
    QList<qint64> lines;
    qint64 counterparty = 0;
    QString operatorName;
    // The page's own amounts for the computed labels.
    DocumentAmounts amounts;
    // Company data for the band texts ("[Фирма]" ...).
    QHash<QString, QString> companyFields;
    QString templateDir;
    QDateTime now;
};

// The company data the band texts may name, from Firm_Data/Firm_Data:
// [Фирма], [ЕИК], [ИН по ДДС] ("BG" and the EIK when the company's VAT
// rate, Firm_Data/DDS, is above 0; empty otherwise), [МОЛ], [Адрес],
// [Телефон], [IBAN], [BIC], [Банка].
QHash<QString, QString> companyFields(const QString& name, const QString& eik, const QString& mol,
                                      const QString& address, const QString& phone, const QString& iban,
                                      const QString& bic, const QString& bank, const QString& vatText);

// Asks for the text of a label typed at print time (kind 4: the text, kind
// 5: a number), starting from the label's caption; nullopt gives the
// document up.
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
    // The query found no row: there is nothing to print.
    bool empty() const { return data.queried && data.rows.isEmpty(); }
};

// Loads the kind's template, asks for its typed labels and reads its rows.
// Throws EDocumentError (with the message to show) for a template that
// cannot be printed, a typed number that is not one, or a prompt given up
// (the message then empty), and EDatabaseError.
PreparedDocument prepareDocument(const QSqlDatabase& db, const PrintRequest& request, const QString& kindName,
                                 const LabelPrompt& prompt);

// The state of printing kept for the program's run: the print context, the
// name of the document being printed, the key list, the printers, and per
// document kind of the current run its copy counter and number.
struct DocumentPrintState {
    PrintContext context = PrintContext::None;
    QString documentName;
    QList<qint64> keys;
    QString defaultPrinter; // the printer to restore after a run
    QString jobPrinter;     // the printer the documents go to now

    struct KindRun {
        int printed = 0;       // completed prints in this run
        bool numbering = true; // the next completed print takes the number
        QString number;        // the number taken
    };
    QHash<QString, KindRun> kinds;

    // A run starts: context and keys are set anew, every kind's counter
    // starts from nothing.
    void beginRun(PrintContext c, const QList<qint64>& lines);
    // The run ended or failed: the key list is emptied.
    void endRun();

    // The stamp of the kind's next print: "ОРИГИНАЛ" until a print of the
    // kind completed in this run, "КОПИЕ" after.
    QString stamp(const QString& kind) const;
    // A preview ended: nothing is counted; the next print decides afresh.
    void previewEnded(const QString& kind);
};

// SET_SELECTED_PRINTER: the printer of the job becomes the named one when
// it is one of the installed printers; any other name changes nothing.
void SET_SELECTED_PRINTER(DocumentPrintState& state, const QString& name, const QStringList& installed);

// The values a preview of the document shows: the stamp of the kind's next
// print and the number it would get.
ReportValues previewValues(const QSqlDatabase& db, const DocumentPrintState& state,
                           const PreparedDocument& doc);

// One print of the document: decides its stamp once for all its copies;
// the first completed print of the kind in the run takes the number —
// read, registered and advanced under the lock before the pages are drawn,
// so the printed number is the registered one — and the registration is
// kept only when draw reports the print done. Returns draw's result.
// Throws EDatabaseError (nothing registered then).
bool printDocument(const QSqlDatabase& db, DocumentPrintState& state, const PreparedDocument& doc,
                   const PrintRequest& request,
                   const std::function<bool(const ReportLayout&, int copies)>& draw);

} // namespace torvika
