#pragma once
// The three files of a template in the templates' directory D: D/N.psc
// (element list and band heights, a profile file), D/N.hdr and D/N.ftr (the
// rich texts of the upper and lower bands, RTF), where N is the document
// kind's name. Reading them into the report model (LOAD_SELECTED_FILE_PRINT)
// and writing them from it (the save of the designer), with the kind's row
// in Dokumenti.

#include "common/errors.h"
#include "documents/report_template.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace torvika {

// A template that cannot be read, written or printed; the message says why.
class EDocumentError : public Error {
public:
    using Error::Error;
    const char* className() const override { return "EDocumentError"; }
};

// The Parent values of the three bands.
QString bandParentName(ReportBand band);

// Reads a .psc text into the model: band heights, the stamp switch and the
// elements 1 to Max (sections beyond Max are ignored). Keys missing from a
// section leave the element as a new one has it; a missing or unknown
// Parent keeps the previous element's band (the detail band for the
// first), a missing kind makes a data field and an unknown one keeps the
// previous element's kind. Columns are read for data fields only.
void readPsc(const QByteArray& bytes, ReportTemplate& report);
// Writes the model into the .psc text (an earlier text is updated in
// place: sections of its own, such as Original, stay). Each element's
// section is emptied before its keys are written, so nothing of an element
// saved there before survives. headerFile and footerFile are written as
// NameOfFile.
QByteArray writePsc(const QByteArray& earlier, const ReportTemplate& report, const QString& headerFile,
                    const QString& footerFile);

// The file names of a template.
QString templatePath(const QString& dir, const QString& name, const char* extension);

// Whether the name can be a template's file name: not empty, none of
// \ / : * ? " < > | and no "..".
bool isValidTemplateName(const QString& name);

// Loads the template "name" from dir (LOAD_SELECTED_FILE_PRINT). A missing
// .psc gives a template without elements; a missing .hdr or .ftr gives an
// empty band and a line in warnings. Throws EDocumentError when a file
// exists but cannot be read.
ReportTemplate LOAD_SELECTED_FILE_PRINT(const QString& dir, const QString& name,
                                        QStringList* warnings = nullptr);

// Where a saved kind is offered.
struct DocumentPlaces {
    bool shop = true;           // "МАГАЗИН"
    bool service = false;       // "СЕРВИЗ"
    bool fiscalService = false; // "Фискален сервиз"
};
// Kade_se_izpolzva of the places: the three texts, each or empty, joined by " ,".
QString placesText(const DocumentPlaces& places);

// What a save found worth telling the designer.
struct TemplateSaveResult {
    // Tables of data fields that no condition joins to the document's rows:
    // each of their rows repeats the document's rows.
    QStringList unjoinedTables;
    // The kind's row was new (else the existing row was updated).
    bool registered = false;
};

// Saves the template under report.name into dir: N.hdr, N.ftr and N.psc,
// then the kind's row in Dokumenti: a new row with the places and the
// formatted start number, or, when a row of that name exists, its places
// only (its running number stays). Throws EDocumentError for a name that
// cannot be a file name and EInOutError / EDatabaseError when writing fails.
TemplateSaveResult saveTemplate(const QSqlDatabase& db, const QString& dir, const ReportTemplate& report,
                                const DocumentPlaces& places, const QString& formattedNumber);

// The tables of the template's data fields that no condition of the
// document query joins (tables the program does not know).
QStringList unjoinedTables(const ReportTemplate& report);

} // namespace torvika
