#pragma once
// Grid export files: lists and reports are "printed" by writing them as a
// text table into a file in TEMP and opening it with the application the
// system associates with its extension.
//
// The files are UTF-8 with CR LF line ends: they are opened by editors,
// spreadsheets, word processors and browsers, often on Windows machines.
// A new (or empty) file starts with a UTF-8 byte-order mark so that Windows
// spreadsheets and word processors recognise the encoding of the Cyrillic
// text; appending never adds a second one.

#include "common/export_kind.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>

class QAbstractItemModel;

namespace torvika {

// One choice of the export-kind chooser, in the chooser's order.
struct ExportKindChoice {
    QStringView caption;
    int number;
    QStringView extension;
    QStringView separator;
};

inline constexpr std::array<ExportKindChoice, 4> exportKindChoices{{
    {u"Текстов файл", 0, u".txt", u"|"},
    {u"Excel", 1, u".xls", u"\t"},
    {u"Word", 2, u".rtf", u"\t"},
    {u"HTML", 3, u".html", u"\t"},
}};

// The kind of the chooser's item `choice` (0 to 3); any other value gives
// the kind of a run in which nothing was chosen yet.
ExportKind exportKindFor(int choice);

// The fixed last line of the program's text exports (101 characters).
QString footerLine();
// The date line of a print's heading: "\tДата:" and the date and time shown.
QString exportDateLine(const QDateTime& now);

// Puts "0" in front of the text until it is at least `width` characters long.
QString FORMAT_NUMBERS(const QString& text, int width);

inline const QString exportLineEnd = QStringLiteral("\r\n");

enum class ExportWrite { Rewrite, Append };

// Writes the text as it is (no line end added). False when the file cannot
// be opened or written; the file is closed in any case.
bool writeExportText(const QString& fileName, const QString& text, ExportWrite mode = ExportWrite::Append);
// Writes each line followed by CR LF.
bool writeExportLines(const QString& fileName, const QStringList& lines,
                      ExportWrite mode = ExportWrite::Append);

// A visible column of a grid: the model column it shows, its title and its
// on-screen width in pixels.
struct GridColumn {
    int modelColumn;
    QString title;
    int pixelWidth;
};

// Appends the grid to the file as a text table: an empty line, "<pre>" for
// the HTML kind, the titles line, an empty line, one line per row of the
// model (all of it: a lazily filled model is fetched to the end), an empty
// line. Each cell is the kind's separator followed by the cell's display text
// left-aligned, cut or padded to pixelWidth / 5 characters. Line breaks and
// tabs inside a text become blanks so that every row stays one line and the
// columns stay in place; for the HTML kind the cell texts are escaped.
// A write error closes the file and gives false; what was written stays.
bool PRINT_INTO(QAbstractItemModel& model, const QList<GridColumn>& columns, const QString& fileName,
                const ExportKind& kind);

// Whether the kind is the web file, whose table is preformatted HTML text.
bool isHtmlKind(const ExportKind& kind);
// Lines of our own (headings, footers) as the kind's file holds them:
// escaped for the web file, as they are otherwise.
QStringList linesForKind(const ExportKind& kind, const QStringList& lines);

// The text of one cell as PRINT_INTO writes it (without the separator).
QString exportCell(const QString& text, int pixelWidth, const ExportKind& kind);

// The file a caller writes for its base name: "<program dir>TEMP/<name>" + extension.
QString exportFileName(const QString& tempDir, const QString& name, const ExportKind& kind);

} // namespace torvika
