#pragma once
// What the document designer does to a template besides editing it: the
// tables and columns offered for data fields (read from the database's
// catalogue), the tables of a template the database no longer has, the
// bounds an element is kept in while it is moved and resized, whether a
// save would replace another kind's template, and the outside files taken
// into a template (band texts and pictures are copied into the templates'
// directory, so that a template never depends on a file elsewhere).

#include "documents/report_template.h"

#include <QList>
#include <QRect>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace torvika {

// A table offered for data fields: its name as the designer lists it
// ("Produkti.DB") and its columns in the database's order.
struct FieldTable {
    QString dataSet;
    QStringList columns;
};

// The designer's list of system-data kinds, by their codes ("Дата" ...).
QStringList systemDataItems();
// The label kinds the designer offers, in its list's order (the number
// kind, asked at print time with a fixed prompt, is not among them).
QList<int> designerLabelKinds();

// The tables a document reads its rows from (each with a condition of the
// document query), then every other table of the database, by name. The
// columns come from the catalogue; a document table the database does not
// have is left out and named in `missing`.
QList<FieldTable> fieldTables(const QSqlDatabase& db, QStringList* missing = nullptr);

// The data fields of the template whose table or column the database does
// not have, as messages naming them (each table or column once).
QStringList missingFields(const QSqlDatabase& db, const ReportTemplate& report);

// The box an element may take on its band: inside the page's frame across,
// inside its band down (from the band's top when it is taller than the
// band), at least one unit each way.
QRect keptInside(const ReportTemplate& report, ReportBand band, QRect box);
// Puts the element on the band in the box, kept inside as above.
void placeElement(ReportTemplate& report, int index, ReportBand band, const QRect& box);

// Whether saving under `name` replaces the template of another kind: a kind
// of that name or its files exist, and it is not the kind the designer
// opened (`openedName`, empty for a new design). Names compare without
// regard to case, as the file system may.
bool replacesOtherKind(const QSqlDatabase& db, const QString& dir, const QString& name,
                       const QString& openedName);

// The names of the kinds registered in Dokumenti, in the table's order.
QStringList documentKindNames(const QSqlDatabase& db);

// An outside file as a band text: RTF as it is, any other text (UTF-8 or
// Windows-1251) made RTF. Throws EDocumentError when it cannot be read or
// is larger than a template's file may be.
QByteArray bandTextFromFile(const QString& path);

// Copies the picture into the templates' directory (unless it is there
// already) and returns its name there, which the image element keeps; a
// different file of the same name there is kept and the copy gets a
// further number. Throws EDocumentError when it is not a picture or cannot
// be copied.
QString importPicture(const QString& dir, const QString& path);

} // namespace torvika
