#pragma once
// The report engine: a template with its rows laid out on A4 portrait pages
// and drawn with QPainter onto any paged device (a printer, a PDF file, a
// preview). The upper band opens the report with the stamp, one detail band
// follows per row (growing where a wrapped text needs it, continuing on the
// next page where the page is full), the lower band closes it, and every
// page gets the frame and, at its foot, the fixed band with the page number,
// the print date and the line naming the program.

#include "common/base_currency.h"
#include "common/vat.h"
#include "documents/report_query.h"
#include "documents/report_template.h"

#include <QDateTime>
#include <QFont>
#include <QHash>
#include <QRectF>
#include <QString>
#include <memory>

class QPainter;
class QPagedPaintDevice;

namespace torvika {

// The amounts of the document as the page that prints it computes them for
// its lines: the computed labels print the tax base, the VAT, the total and
// the total in words, and the base and VAT of each rate.
using DocumentAmounts = VatTotals;

// What the report prints besides the rows.
struct ReportValues {
    DocumentAmounts amounts;
    BaseCurrency currency; // the company's, which the amounts are in
    // The total in euro and in lev while both are shown; empty otherwise.
    QString dualTotal;
    QString title; // the document kind's name
    QDateTime printed;
    // "ОРИГИНАЛ" or "КОПИЕ"; shown when the template enables the stamp.
    QString stamp;
    // The document's number, printed by a data field of Dokumenti.N_Dok.
    QString number;
    // The texts of labels typed at print time, by element index.
    QHash<int, QString> typedLabels;
    // Texts put in place of "[name]" in the band texts (company data).
    QHash<QString, QString> fields;
    // The directory of the images' files.
    QString imageDir;
};

// The page: A4 portrait in the designer's units (1/96 inch), its margins
// and the height of the fixed band at its foot.
// The font of an element as printed (Arial at the element's size and
// style) and the pen of a frame's style: the designer draws with the same.
QFont reportFont(const ElementFont& f);
Qt::PenStyle penStyle(FrameStyle s);

inline constexpr double kPageWidth = 210.0 / 25.4 * 96.0;
inline constexpr double kPageHeight = 297.0 / 25.4 * 96.0;
inline constexpr double kPageMargin = 10.0 / 25.4 * 96.0;
inline constexpr double kPageFootHeight = 34.0;
inline constexpr double kContentWidth = kPageWidth - 2 * kPageMargin;

// The text a data field prints for a value: numbers with two decimals,
// ISO dates as dd.MM.yyyy, everything else as stored.
QString fieldText(const QVariant& value);

class ReportLayout {
public:
    ReportLayout(const ReportTemplate& report, const ReportData& data, const ReportValues& values);
    ~ReportLayout();
    ReportLayout(const ReportLayout&) = delete;
    ReportLayout& operator=(const ReportLayout&) = delete;

    int pageCount() const;
    // The text an element prints for a row (-1: no row).
    QString elementText(int element, int row) const;
    // Draws a page; the painter's units are the designer's, from the
    // paper's top left corner.
    void drawPage(QPainter& painter, int page) const;
    // The whole report, copies times over, onto the device (A4, no margins
    // of its own). False when the device cannot be painted on.
    bool print(QPagedPaintDevice& device, int copies = 1) const;
    // Every page's text, top to bottom, each page ending with its number
    // ("Стр. 1 от 2"), for checks and searches.
    QString plainText() const;

    // Where the bands are on a page: each band, or the part of it shown
    // there (the column headings repeated on a later page), and its box in
    // the designer's units from the paper's top left corner.
    struct PlacedBand {
        ReportBand band;
        int row;
        QRectF box;
    };
    QList<PlacedBand> placedBands(int page) const;
    // The box an element is drawn in for the row (its band's first place),
    // with what it grew by; an empty box when it is not placed.
    QRectF elementBox(int element, int row) const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace torvika
