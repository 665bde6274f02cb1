#include "documents/ui/document_printer.h"

#include "common/exception_log.h"
#include "common/ui/error_edge.h"
#include "common/ui/messages.h"
#include "documents/template_files.h"
#include "documents/texts.h"

#include <QDir>
#include <QPaintEngine>
#include <QPrintPreviewDialog>
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
    return Messages::current().inputText(
        document, kind == kLabelFreeText ? texts::kFreeTextPrompt : texts::kNumberPrompt, caption);
}

class PrintRun {
public:
    PrintRun(Session& session, const PrintRequest& request, QWidget* parent)
        : session_(session), request_(request), parent_(parent), state_(session.state<DocumentPrintState>()) {
    }

    // The printer for the document: nullptr (with the message shown) when
    // the print cannot start.
    std::unique_ptr<QPrinter> printerFor(const QString& name, const QString& kind, bool preview) {
        std::unique_ptr<QPrinter> printer;
        if (name == texts::kPdfPrinter) {
            const QString suggested =
                QDir(session_.programDir.tempDir()).filePath(kind + QStringLiteral(".pdf"));
            QString path = suggested;
            if (!preview) {
                path = Messages::current().saveFileName(texts::kPdfFileCaption.arg(kind), suggested,
                                                        texts::kPdfFilter);
                if (path.isEmpty())
                    return nullptr;
            }
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

    // One print of the document on the printer, numbered when it is the
    // kind's first; false when it did not happen.
    bool print(QPrinter& printer, const PreparedDocument& doc, const QString& printerName) {
        bool ok = false;
        const bool ran = guarded([&] {
            ok = printDocument(session_.db(), state_, doc, request_,
                               [&printer](const ReportLayout& layout, int copies) {
                                   return drawCopies(printer, layout, copies);
                               });
        });
        if (ran && !ok)
            showMessage(texts::kPrintFailed.arg(printerName, doc.values.title));
        return ran && ok;
    }

    int printOn(const QString& printerName, const PreparedDocument& doc) {
        std::unique_ptr<QPrinter> printer = printerFor(printerName, doc.values.title, false);
        return printer && print(*printer, doc, printerName) ? 1 : 0;
    }

    int previewOn(const QString& printerName, const PreparedDocument& doc) {
        std::unique_ptr<QPrinter> printer = printerFor(printerName, doc.values.title, true);
        if (!printer)
            return 0;
        int done = 0;
        // While the preview draws its pages the printer paints through
        // another engine; a print from the preview paints through its own.
        QPaintEngine* const printing = printer->paintEngine();
        QPrintPreviewDialog dialog(printer.get(), parent_);
        dialog.setWindowTitle(doc.values.title);
        QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter* p) {
            if (p->paintEngine() != printing) {
                ReportValues values = doc.values;
                logged([&] { values = previewValues(session_.db(), state_, doc); });
                const ReportLayout layout(doc.report, doc.data, values);
                layout.print(*p, 1);
                return;
            }
            if (print(*p, doc, printerName))
                ++done;
        });
        dialog.exec();
        state_.previewEnded(doc.values.title);
        return done;
    }

    int run(const DocumentsToPrint& what) {
        state_.beginRun(request_.context, request_.lines);
        int done = 0;
        if (request_.lines.isEmpty())
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
    int printKinds(const DocumentsToPrint& what) {
        const bool preview = session_.settings().get(setting::kPreviewDocuments);
        const QStringList installed = installedPrinters();
        int done = 0;
        for (const QString& kind : what.kinds) {
            state_.documentName = kind;
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
    r.companyFields =
        companyFields(firm.get(kCompanyName), firm.get(kCompanyEik), firm.get(kCompanyManager),
                      firm.get(kCompanyAddress), firm.get(kCompanyPhone), firm.get(kCompanyIban),
                      firm.get(kCompanyBic), firm.get(kCompanyBank), firm.get(kVatPercent));
    r.templateDir = session.programDir.documentationsDir();
    r.now = session.now();
    return r;
}

int printDocuments(Session& session, const PrintRequest& request, const DocumentsToPrint& what,
                   QWidget* parent) {
    return PrintRun(session, request, parent).run(what);
}

} // namespace torvika
