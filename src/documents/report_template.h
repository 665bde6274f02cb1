#pragma once
// A document template: the report of three bands (the upper text, the
// detail rows, the lower text) with the elements placed on them. One model
// serves printing and designing: the designer adds, moves, restyles and
// removes elements and resizes the bands here, and the template files are
// read into it and written from it (template_files.h).
//
// Sizes and positions are in the designer's units: pixels of a 96 dpi
// screen at zoom 100 %, positions relative to the element's band.

#include <QByteArray>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

namespace torvika {

enum class ReportBand { Header, Detail, Footer };

// Type_Object of the template file.
enum class ElementKind { DataField, Label, SystemData, Image };

enum class ElementAlignment { Left, Right, Center };

enum class FrameStyle { Solid, Dash, Dot, DashDot, DashDotDot, Clear, InsideFrame };

// Computed-label kinds (Data of a label).
enum LabelKind : int {
    kLabelNet = 0,         // the amount without VAT
    kLabelVat = 1,         // the VAT amount
    kLabelTotal = 2,       // the total
    kLabelTotalWords = 3,  // the total in words
    kLabelFreeText = 4,    // a text the operator types at print time
    kLabelNumberWords = 5, // a number the operator types, in words
    kLabelPayment = 6,     // the payment method, asked at print time ("в брой" offered)
    // The VAT per rate of the document, one line per rate the lines have,
    // by rising rate: the rates, their tax bases, their VAT.
    kLabelRates = 7,
    kLabelRateBases = 8,
    kLabelRateVat = 9,
    kLabelLineRate = 10, // on the detail band: the VAT rate of the row's line
    // The total in euro and in lev ("48.00 EUR / 93.88 лв.") while both are
    // shown; empty otherwise.
    kLabelTotalDual = 11,
    kLabelLastKind = kLabelTotalDual
};
// Whether the label asks for its text at print time.
inline bool isTypedLabel(int kind) {
    return kind == 4 || kind == 5 || kind == 6;
}

// System-data kinds (Data of a system-data element): the position in the
// designer's list.
enum SystemDataKind : int {
    kSysDate = 0,
    kSysDateTime = 1,
    kSysDetailCount = 2, // the number of detail rows
    kSysDetailNo = 3,    // the number of the current detail row, from 1
    kSysPageNumber = 4,
    kSysTitle = 5, // the document kind's name
    kSysTime = 6
};

struct ElementFrame {
    bool left = false;
    bool right = false;
    bool top = false;
    bool bottom = false;
    FrameStyle style = FrameStyle::Solid;
    int width = 1;
    bool any() const { return (left || right || top || bottom) && style != FrameStyle::Clear; }
    bool operator==(const ElementFrame&) const = default;
};

// The elements' fonts are the report's Arial in a size and styles.
struct ElementFont {
    int size = 10; // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    bool operator==(const ElementFont&) const = default;
};

struct ReportElement {
    ElementKind kind = ElementKind::DataField;
    QString name;
    ReportBand band = ReportBand::Detail;
    // Data field: the table as the designer lists it ("Produkti.DB") and the column.
    QString dataSet;
    QString dataField;
    // Label: its kind (LabelKind, -1 for none); system data: its kind
    // (SystemDataKind).
    int code = 0;
    // Label: the caption as the designer shows it ("2:Обща сума продажба",
    // "4:<title>"); for kinds 4 and 5 the start of the prompt.
    QString caption;
    // Image: the picture file, relative to the templates' directory.
    QString picture;
    QRect geometry{0, 0, 50, 20};
    bool autoSize = false;
    ElementAlignment alignment = ElementAlignment::Left;
    ElementFrame frame;
    ElementFont font;
    bool operator==(const ReportElement&) const = default;
};

// The designer's items of the label kinds 0 to 4 and 6 to 10 ("0:Цена без
// ДДС" ...); the caption a label of that kind gets. Empty for other kinds.
QString labelKindItem(int kind);
// The kind a label caption names: the number before its first ":" when it
// is a label kind, else -1.
int labelKindOfCaption(const QString& caption);

// The table a DataSet names, without the designer's extension
// ("Produkti.DB" -> "Produkti").
QString tableOfDataSet(const QString& dataSet);

class ReportTemplate {
public:
    QString name; // the document kind's name (Dokumenti.Opisanie)

    int headerHeight = 0;
    int detailHeight = 0;
    int footerHeight = 0;
    // The rich texts of the upper and lower bands (RTF); empty prints nothing.
    QByteArray headerText;
    QByteArray footerText;
    // The stamp "ОРИГИНАЛ"/"КОПИЕ" in the upper band (Original/Vis).
    bool stampEnabled = false;
    // The document is issued to the counterparty of the sale (an invoice)
    // and is refused without one (Kontragent/Nujen, set by hand like the stamp).
    bool needsCounterparty = false;

    // The element list: its order numbers the elements in the template file.
    QList<ReportElement> elements;

    int bandHeight(ReportBand band) const;
    void setBandHeight(ReportBand band, int height);

    // Adds a new element of the kind on the band at left 0, top 0 with the
    // given size, named after its kind and its place in the list
    // ("QRLabel3"; a further number when that name is taken). Returns its index.
    int addElement(ElementKind kind, ReportBand band, QSize size = {50, 20});
    void removeElement(int index);
    // Puts the element on another band and at another position.
    void moveElement(int index, ReportBand band, QPoint topLeft);
    // The index of the element with that name (case-insensitive), -1 when none.
    int indexOf(const QString& elementName) const;

    // The distinct tables of the data fields, as their DataSet values,
    // sorted without regard to case (the first spelling of a table wins).
    QStringList tables() const;
    // Whether any element is a data field.
    bool hasDataFields() const;

    bool operator==(const ReportTemplate&) const = default;
};

// "TQRDBText", "TQRLabel", "TQRSysData", "TQRImage".
QString elementKindName(ElementKind kind);

} // namespace torvika
