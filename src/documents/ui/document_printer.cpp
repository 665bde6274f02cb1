#include "documents/ui/document_printer.h"

#include "common/exception_log.h"
#include "common/ui/error_edge.h"
#include "common/ui/messages.h"
#include "documents/template_files.h"
#include "documents/texts.h"
#include "documents/ui/document_preview.h"

#include <QDir>
#include <QPrinter>
#include <QPrinterInfo>
#include <memory>

namespace torvika {

namespace {

// Draws the copies: the printer makes them where it can, else each is drawn.
bool drawCopies(QPrinter& printer, const ReportLayout& layout, int copies) {
    if (copies > 1 && printer.supportsMultipleCopies()) {
        printer.setCopyCount(copies);
        return layout.print(printer, 1);
    }
    return layout.print(printer, copies);
}

std::optional<QString> askLabel(const QString& document, int kind, const QString& caption) {
    const QString prompt = kind == kLabelFreeText  ? texts::kFreeTextPrompt
                           : kind == kLabelPayment ? texts::kPaymentPrompt
                                                   : texts::kNumberPrompt;
    return Messages::current().inputText(document, prompt, caption);
}

class PrintRun {
public:
    PrintRun(Session& session, const PrintRequest& request, QWidget* parent)
        : session_(session), request_(request), parent_(parent), state_(session.state<DocumentPrintState>()) {
    }

    // The printer for the document: nullptr (with the message shown) when
    // the print cannot start. The PDF entry asks for the file.
    std::unique_ptr<QPrinter> printerFor(const QString& name, const QString& kind) {
        std::unique_ptr<QPrinter> printer;
        if (name == texts::kPdfPrinter) {
            const QString suggested =
                QDir(session_.programDir.tempDir()).filePath(kind + QStringLiteral(".pdf"));
            const QString path = Messages::current().saveFileName(texts::kPdfFileCaption.arg(kind), suggested,
                                                                  texts::kPdfFilter);
            if (path.isEmpty())
                return nullptr;
            printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(path);
        } else {
            const QPrinterInfo info = QPrinterInfo::printerInfo(name);
            if (info.isNull()) {
                showMessage(texts::kPrinterNotFound.arg(name, kind));
                return nullptr;
            }
            if (info.state() == QPrinter::Error || info.state() == QPrinter::Aborted) {
                showMessage(texts::kPrinterNotReady.arg(name, kind));
                return nullptr;
            }
            printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
        }
        printer->setFullPage(true);
        printer->setDocName(kind);
        return printer;
    }

    // One print of the document on the named printer, numbered when it is
    // the kind's first. `shown`: what the preview showed, which the print
    // must still be.
    PrintOutcome print(const QString& printerName, const PreparedDocument& doc,
                       const PreparedDocument* shown = nullptr) {
        std::unique_ptr<QPrinter> printer = printerFor(printerName, doc.values.title);
        if (!printer)
            return PrintOutcome::NotDrawn;
        PrintOutcome outcome = PrintOutcome::NotDrawn;
        const bool ran = guarded([&] {
            outcome = printDocument(
                session_.db(), state_, doc, request_,
                [&printer](const ReportLayout& layout, int copies) {
                    return drawCopies(*printer, layout, copies);
                },
                shown);
        });
        if (!ran)
            return PrintOutcome::NotDrawn;
        if (outcome == PrintOutcome::NotDrawn)
            showMessage(texts::kPrintFailed.arg(printerName, doc.values.title));
        else if (outcome == PrintOutcome::Empty)
            showMessage(texts::kNoDocumentRows.arg(doc.values.title));
        return outcome;
    }

    int printOn(const QString& printerName, const PreparedDocument& doc) {
        return print(printerName, doc) == PrintOutcome::Printed ? 1 : 0;
    }

    // The preview shows the document as the kind's next print would be; its
    // "Печат" prints it on the printer chosen there, as long as it is still
    // what was shown.
    int previewOn(const QString& printerName, PreparedDocument& doc) {
        int done = 0;
        DocumentPreview dialog(doc.values.title, installedPrinters(), printerName, parent_);
        PreparedDocument shown = doc;
        std::unique_ptr<ReportLayout> layout;
        auto show = [&] {
            logged([&] { shown.values = previewValues(session_.db(), state_, shown); });
            layout = std::make_unique<ReportLayout>(shown.report, shown.data, shown.values);
            dialog.setPages([&layout](QPrinter* p) { layout->print(*p, 1); }, layout->pageCount());
        };
        show();
        QObject::connect(&dialog, &DocumentPreview::printRequested, &dialog, [&](const QString& printer) {
            SET_SELECTED_PRINTER(state_, printer, installedPrinters());
            switch (print(printer, doc, &shown)) {
            case PrintOutcome::Printed:
                ++done;
                dialog.accept();
                return;
            case PrintOutcome::Changed:
                showMessage(texts::kPreviewChanged.arg(doc.values.title));
                guarded([&] { rereadDocument(session_.db(), request_, doc); });
                shown = doc;
                show();
                return;
            case PrintOutcome::Empty:
                dialog.reject();
                return;
            case PrintOutcome::NotDrawn:
                return;
            }
        });
        dialog.exec();
        return done;
    }

    int run(const DocumentsToPrint& what) {
        state_.beginRun(request_.context, request_.lines);
        int done = 0;
        // A page that feeds its documents itself prints without lines.
        if (request_.lines.isEmpty() && !request_.rows)
            showMessage(texts::kNoLinesSelected);
        else if (what.kinds.isEmpty())
            showMessage(texts::kNoDocumentTicked);
        else if (what.printers.isEmpty())
            showMessage(texts::kNoPrinterTicked);
        else
            done = printKinds(what);
        state_.endRun();
        state_.jobPrinter = state_.defaultPrinter;
        return done;
    }

private:
    // A kind already issued for the selected lines: a copy of it, or a new
    // document, as the operator says. False: nothing of the kind is printed.
    bool decideCopy(const QString& kind) {
        std::optional<IssuedDocument> issued;
        if (!guarded([&] { issued = issuedDocument(session_.db(), kind, request_.context, request_.lines); }))
            return false;
        if (!issued)
            return true;
        if (!issued->sameLines)
            return askYesNo(texts::kAskNewForIssued.arg(kind, issued->number));
        switch (Messages::current().question(texts::kAskCopyOrNew.arg(kind, issued->number), true)) {
        case Messages::Yes:
            state_.copyIssued(kind, issued->number);
            return true;
        case Messages::No:
            return true;
        default:
            return false;
        }
    }

    int printKinds(const DocumentsToPrint& what) {
        const bool preview = session_.settings().get(setting::kPreviewDocuments);
        const QStringList installed = installedPrinters();
        int done = 0;
        for (const QString& kind : what.kinds) {
            state_.documentName = kind;
            if (!what.copyOf.isEmpty())
                state_.copyIssued(kind, what.copyOf);
            else if (!decideCopy(kind))
                continue;
            std::optional<PreparedDocument> doc;
            try {
                doc = prepareDocument(session_.db(), request_, kind, askLabel);
            } catch (const EDocumentError& e) {
                // An empty message: the operator gave a prompt up.
                if (!e.message().isEmpty()) {
                    reportError(e, texts::kTemplateNotPrinted.arg(kind, e.message()));
                }
                continue;
            } catch (const std::exception& e) {
                reportError(e);
                continue;
            }
            for (const QString& warning : doc->warnings)
                logException(EDocumentError(warning));
            if (doc->empty()) {
                showMessage(texts::kNoDocumentRows.arg(kind));
                continue;
            }
            for (const QString& printer : what.printers) {
                SET_SELECTED_PRINTER(state_, printer, installed);
                done += preview ? previewOn(printer, *doc) : printOn(printer, *doc);
            }
        }
        return done;
    }

    Session& session_;
    const PrintRequest& request_;
    QWidget* parent_;
    DocumentPrintState& state_;
};

} // namespace

QStringList installedPrinters() {
    return QPrinterInfo::availablePrinterNames() << texts::kPdfPrinter;
}

QString defaultPrinterName() {
    const QString name = QPrinterInfo::defaultPrinterName();
    return name.isEmpty() ? texts::kPdfPrinter : name;
}

PrintRequest pageRequest(Session& session, PrintContext context) {
    PrintRequest r;
    r.context = context;
    r.operatorName = session.operatorName();
    const Settings& firm = session.settings();
    using namespace setting;
    r.companyFields = companyFields(
        firm.get(kCompanyName), firm.get(kCompanyEik), firm.get(kCompanyManager), firm.get(kCompanyAddress),
        firm.get(kCompanyPhone), firm.get(kCompanyIban), firm.get(kCompanyBic), firm.get(kCompanyBank),
        firm.get(kVatPercent), placeOfIssue(session.db(), firm.get(kActiveWarehouse)));
    r.templateDir = session.programDir.documentationsDir();
    r.now = session.now();
    r.dualPricesUntil = firm.get(kDualPricesUntil);
    return r;
}

int printDocuments(Session& session, const PrintRequest& request, const DocumentsToPrint& what,
                   QWidget* parent) {
    return PrintRun(session, request, parent).run(what);
}

} // namespace torvika
