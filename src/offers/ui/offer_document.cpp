#include "offers/ui/offer_document.h"

#include "common/grid_export.h"
#include "common/number_column.h"
#include "documents/report_engine.h"
#include "documents/report_query.h"
#include "documents/report_template.h"
#include "documents/rich_text.h"

#include <QDateTime>
#include <QPdfWriter>
#include <QTextDocument>

namespace torvika {

namespace {

QByteArray richText(const QStringList& lines) {
    QTextDocument doc;
    doc.setPlainText(lines.join(u'\n'));
    return writeRtf(doc);
}

struct Column {
    const char* field;
    const char* title;
    int width;
    ElementAlignment alignment;
};
const Column kColumns[] = {
    {"Kat_N", "Кат. N", 90, ElementAlignment::Left},  {"Opisanie", "Описание", 290, ElementAlignment::Left},
    {"Kol", "Кол.", 55, ElementAlignment::Right},     {"Cena", "Цена", 75, ElementAlignment::Right},
    {"Valuta", "Валута", 55, ElementAlignment::Left}, {"Dostav4ik", "Доставчик", 120, ElementAlignment::Left},
};
constexpr int kLineHeight = 16;

} // namespace

bool printOfferDocument(const QSqlDatabase& db, const StoredOffer& offer, const OfferPrint& print,
                        const QString& pdfFile) {
    const QStringList heading = offerPrintHeading(db, print);
    QStringList closing = offerPrintClosing(print);
    closing << footerLine();

    ReportTemplate t;
    t.name = QStringLiteral("Оферта");
    t.headerText = richText(heading);
    t.footerText = richText(closing);
    t.headerHeight = (int(heading.size()) + 2) * kLineHeight + 24;
    t.footerHeight = (int(closing.size()) + 1) * kLineHeight;
    t.detailHeight = 20;
    ReportValues values;
    values.title = t.name;
    values.printed = QDateTime(print.date, QTime(0, 0));
    int left = 0;
    const int numberIndex = t.addElement(ElementKind::SystemData, ReportBand::Detail, {30, 18});
    t.elements[numberIndex].code = kSysDetailNo;
    t.moveElement(numberIndex, ReportBand::Detail, {0, 1});
    left = 32;
    ReportData data;
    data.queried = true;
    for (const Column& c : kColumns) {
        const int title = t.addElement(ElementKind::Label, ReportBand::Header, {c.width, 18});
        t.elements[title].code = kLabelFreeText;
        t.elements[title].font.bold = true;
        t.elements[title].alignment = c.alignment;
        t.elements[title].frame.bottom = true;
        t.moveElement(title, ReportBand::Header, {left, t.headerHeight - 22});
        values.typedLabels.insert(title, QString::fromUtf8(c.title));
        const int field = t.addElement(ElementKind::DataField, ReportBand::Detail, {c.width, 18});
        t.elements[field].dataSet = QStringLiteral("Oferti_Klient_Art.DB");
        t.elements[field].dataField = QString::fromLatin1(c.field);
        t.elements[field].alignment = c.alignment;
        t.moveElement(field, ReportBand::Detail, {left, 1});
        data.columns << (QStringLiteral("oferti_klient_art.") + QString::fromLatin1(c.field)).toLower();
        left += c.width + 2;
    }
    for (const OfferLine& l : offer.lines)
        data.rows << QVariantList{l.catalogueNumber,          l.description, numberColumnValue(l.quantity),
                                  numberColumnValue(l.price), l.currency,    l.supplier};
    ReportLayout layout(t, data, values);
    QPdfWriter pdf(pdfFile);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setResolution(300);
    return layout.print(pdf);
}

} // namespace torvika
