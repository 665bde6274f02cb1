#include "documents/report_engine.h"

#include "common/cformat.h"
#include "common/dates.h"
#include "documents/rich_text.h"
#include "documents/texts.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFontMetricsF>
#include <QImage>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QRegularExpression>
#include <QTextCursor>
#include <QTextDocument>
#include <cmath>

namespace torvika {

namespace {

const QString kReportFont = QStringLiteral("Arial");
constexpr double kPadding = 2.0;
// The band texts keep off the page's frame.
constexpr double kBandInset = 4.0;
constexpr int kFootFontSize = 7;
constexpr int kStampFontSize = 16;

// The device the texts are measured on: 96 dots per inch, the designer's units.
QPaintDevice* measureDevice() {
    static QImage image = [] {
        QImage i(1, 1, QImage::Format_RGB32);
        i.setDotsPerMeterX(3780);
        i.setDotsPerMeterY(3780);
        return i;
    }();
    return &image;
}

QFont reportFont(const ElementFont& f) {
    QFont font(kReportFont);
    font.setPixelSize(std::max(1, qRound(f.size * 96.0 / 72.0)));
    font.setBold(f.bold);
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    font.setStrikeOut(f.strikeOut);
    return font;
}

Qt::PenStyle penStyle(FrameStyle s) {
    switch (s) {
    case FrameStyle::Dash:
        return Qt::DashLine;
    case FrameStyle::Dot:
        return Qt::DotLine;
    case FrameStyle::DashDot:
        return Qt::DashDotLine;
    case FrameStyle::DashDotDot:
        return Qt::DashDotDotLine;
    case FrameStyle::Clear:
        return Qt::NoPen;
    case FrameStyle::Solid:
    case FrameStyle::InsideFrame:
        break;
    }
    return Qt::SolidLine;
}

Qt::Alignment textAlignment(ElementAlignment a) {
    switch (a) {
    case ElementAlignment::Right:
        return Qt::AlignRight;
    case ElementAlignment::Center:
        return Qt::AlignHCenter;
    case ElementAlignment::Left:
        break;
    }
    return Qt::AlignLeft;
}

std::unique_ptr<QTextDocument> bandDocument(const QByteArray& rtf, const QHash<QString, QString>& fields) {
    auto doc = std::make_unique<QTextDocument>();
    doc->documentLayout()->setPaintDevice(measureDevice());
    QFont base(kReportFont);
    base.setPointSize(10);
    doc->setDefaultFont(base);
    doc->setDocumentMargin(0);
    if (!rtf.isEmpty())
        readRtf(rtf, *doc);
    for (auto it = fields.begin(); it != fields.end(); ++it) {
        const QString mark = u'[' + it.key() + u']';
        QTextCursor c = doc->find(mark);
        while (!c.isNull()) {
            c.insertText(it.value());
            c = doc->find(mark, c);
        }
    }
    doc->setTextWidth(kContentWidth - 2 * kBandInset);
    return doc;
}

} // namespace

QString fieldText(const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        if (const std::optional<Decimal> d = Decimal::fromVariant(value))
            return d->toFixed(2);
        return {};
    case QMetaType::QString: {
        static const QRegularExpression iso(QStringLiteral(R"(^\d{4}-\d{2}-\d{2}$)"));
        const QString s = value.toString();
        if (iso.match(s).hasMatch()) {
            const QDate d = QDate::fromString(s, Qt::ISODate);
            if (d.isValid())
                return shortDate(d);
        }
        return s;
    }
    default:
        return value.toString();
    }
}

// A band placed on a page: which band, for which row, where and how tall.
struct Placed {
    ReportBand band;
    int row; // the row of the detail band, or the row whose values the band shows
    double top;
    double height;
    double stretch; // what a detail band grew by
};

struct ReportLayout::Impl {
    const ReportTemplate& report;
    const ReportData& data;
    const ReportValues& values;
    std::unique_ptr<QTextDocument> header;
    std::unique_ptr<QTextDocument> footer;
    int numberColumn = -1;
    QList<QList<Placed>> pages;

    Impl(const ReportTemplate& r, const ReportData& dt, const ReportValues& v)
        : report(r), data(dt), values(v) {}

    int rowCount() const { return data.queried ? int(data.rows.size()) : 1; }

    QString text(int index, int row, int page) const {
        const ReportElement& e = report.elements[index];
        switch (e.kind) {
        case ElementKind::DataField: {
            const int column = data.columnOf(e);
            if (column < 0 || row < 0 || row >= data.rows.size())
                return {};
            if (column == numberColumn && !values.number.isEmpty())
                return values.number;
            return fieldText(data.rows[row].value(column));
        }
        case ElementKind::Label:
            switch (e.code) {
            case kLabelNet:
                return format42(values.amounts.net);
            case kLabelVat:
                return format42(values.amounts.vat);
            case kLabelTotal:
                return format42(values.amounts.gross);
            case kLabelTotalWords:
                return values.amounts.grossWords;
            case kLabelFreeText:
            case kLabelNumberWords:
                return values.typedLabels.value(index);
            default:
                return {};
            }
        case ElementKind::SystemData:
            switch (e.code) {
            case kSysDate:
                return shortDate(values.printed.date());
            case kSysDateTime:
                return shortDate(values.printed.date()) + u' ' + shortTime(values.printed.time());
            case kSysDetailCount:
                return QString::number(data.queried ? data.rows.size() : 0);
            case kSysDetailNo:
                return QString::number(std::max(0, row) + 1);
            case kSysPageNumber:
                return QString::number(page + 1);
            case kSysTitle:
                return values.title;
            default:
                return shortTime(values.printed.time());
            }
        case ElementKind::Image:
            return {};
        }
        return {};
    }

    // The rectangle an element takes for its text, relative to its band.
    QRectF elementRect(const ReportElement& e, const QString& text) const {
        QRectF r(e.geometry);
        if (e.autoSize && e.kind != ElementKind::Image) {
            const QFontMetricsF fm(reportFont(e.font), measureDevice());
            const double w = fm.horizontalAdvance(text) + 2 * kPadding;
            if (e.alignment == ElementAlignment::Right)
                r.setLeft(r.right() - w);
            else if (e.alignment == ElementAlignment::Center)
                r = QRectF(r.center().x() - w / 2, r.top(), w, r.height());
            else
                r.setWidth(w);
        }
        return r;
    }

    // How much taller than its band a detail row needs to be for its
    // wrapped texts.
    double stretchOf(int row) const {
        double extra = 0;
        for (int i = 0; i < report.elements.size(); ++i) {
            const ReportElement& e = report.elements[i];
            if (e.band != ReportBand::Detail || e.autoSize || e.kind == ElementKind::Image)
                continue;
            const QString t = text(i, row, 0);
            if (t.isEmpty())
                continue;
            const QFontMetricsF fm(reportFont(e.font), measureDevice());
            const QRectF need =
                fm.boundingRect(QRectF(0, 0, std::max(1.0, e.geometry.width() - 2 * kPadding), 1e6),
                                Qt::TextWordWrap | textAlignment(e.alignment), t);
            extra = std::max(extra, need.height() + kPadding - e.geometry.height());
        }
        return std::ceil(extra);
    }

    void layOut() {
        const double top = kPageMargin;
        const double bottom = kPageHeight - kPageMargin - kPageFootHeight;
        const int rows = rowCount();
        pages.append(QList<Placed>());
        double y = top;
        auto place = [&](ReportBand band, int row, double height, double stretch) {
            if (y + height > bottom && y > top) {
                pages.append(QList<Placed>());
                y = top;
            }
            pages.last().append({band, row, y, height, stretch});
            y += height;
        };
        place(ReportBand::Header, 0, report.headerHeight, 0);
        for (int r = 0; r < rows; ++r) {
            const double stretch = stretchOf(r);
            place(ReportBand::Detail, r, report.detailHeight + stretch, stretch);
        }
        place(ReportBand::Footer, rows - 1, report.footerHeight, 0);
    }

    void drawElement(QPainter& p, int index, const Placed& band, int page) const {
        const ReportElement& e = report.elements[index];
        const QString t = text(index, band.row, page);
        QRectF r = elementRect(e, t).translated(kPageMargin, band.top);
        if (band.stretch > 0) {
            // Cells that end where the lowest ones end grow with the row,
            // so the frames of a line stay in line.
            int lowest = 0;
            for (const ReportElement& other : report.elements)
                if (other.band == ReportBand::Detail)
                    lowest = std::max(lowest, other.geometry.bottom());
            if (e.geometry.bottom() >= lowest - 2)
                r.setHeight(r.height() + band.stretch);
        }
        if (e.kind == ElementKind::Image) {
            QImage image(QDir(values.imageDir).filePath(e.picture));
            if (!e.picture.isEmpty() && !image.isNull()) {
                QSizeF s = image.size().scaled(r.size().toSize(), Qt::KeepAspectRatio);
                p.drawImage(QRectF(r.topLeft(), s), image);
            }
        } else if (!t.isEmpty()) {
            p.save();
            p.setFont(reportFont(e.font));
            p.setPen(Qt::black);
            p.setClipRect(r);
            const QRectF inner = r.adjusted(kPadding, 1, -kPadding, 0);
            const int flags =
                int(textAlignment(e.alignment)) | Qt::AlignTop | (e.autoSize ? 0 : Qt::TextWordWrap);
            p.drawText(inner, flags, t);
            p.restore();
        }
        if (e.frame.any()) {
            p.save();
            QPen pen(Qt::black, std::max(1, e.frame.width), penStyle(e.frame.style));
            p.setPen(pen);
            if (e.frame.top)
                p.drawLine(r.topLeft(), r.topRight());
            if (e.frame.bottom)
                p.drawLine(r.bottomLeft(), r.bottomRight());
            if (e.frame.left)
                p.drawLine(r.topLeft(), r.bottomLeft());
            if (e.frame.right)
                p.drawLine(r.topRight(), r.bottomRight());
            p.restore();
        }
    }

    void drawBandText(QPainter& p, QTextDocument& doc, const Placed& band) const {
        p.save();
        p.translate(kPageMargin + kBandInset, band.top);
        const QRectF clip(0, 0, kContentWidth - 2 * kBandInset, std::max(0.0, band.height - 1));
        p.setClipRect(clip);
        QAbstractTextDocumentLayout::PaintContext ctx;
        ctx.clip = clip;
        ctx.palette.setColor(QPalette::Text, Qt::black);
        doc.documentLayout()->draw(&p, ctx);
        p.restore();
    }

    void drawStamp(QPainter& p, const Placed& band) const {
        if (!report.stampEnabled || values.stamp.isEmpty())
            return;
        ElementFont f;
        f.size = kStampFontSize;
        f.bold = true;
        const QFont font = reportFont(f);
        const QFontMetricsF fm(font, measureDevice());
        const double w = fm.horizontalAdvance(values.stamp);
        p.save();
        p.setFont(font);
        p.setPen(Qt::black);
        // Centred on the page, the fraction dropped.
        const double left = std::floor(kPageWidth / 2 - w / 2);
        p.drawText(QPointF(left, band.top + 2 + fm.ascent()), values.stamp);
        p.restore();
    }

    void drawFoot(QPainter& p, int page) const {
        ElementFont f;
        f.size = kFootFontSize;
        const QFont font = reportFont(f);
        const QFontMetricsF fm(font, measureDevice());
        const double top = kPageHeight - kPageMargin - kPageFootHeight;
        p.save();
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawLine(QPointF(kPageMargin, top), QPointF(kPageWidth - kPageMargin, top));
        const QRectF line1(kPageMargin + 4, top + 3, kContentWidth - 8, fm.height());
        p.drawText(line1, Qt::AlignLeft | Qt::AlignTop,
                   texts::kPageCaption + u' ' + QString::number(page + 1));
        p.drawText(line1, Qt::AlignRight | Qt::AlignTop, shortDate(values.printed.date()));
        const QRectF line2(kPageMargin + 4, top + 5 + fm.height(), kContentWidth - 8, fm.height());
        p.drawText(line2, Qt::AlignHCenter | Qt::AlignTop, texts::kIssuedByLine);
        p.restore();
    }

    void drawPage(QPainter& p, int page) const {
        p.save();
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(Qt::black, 1));
        p.drawRect(QRectF(kPageMargin, kPageMargin, kContentWidth, kPageHeight - 2 * kPageMargin));
        for (const Placed& band : pages.value(page)) {
            if (band.band == ReportBand::Header && header)
                drawBandText(p, *header, band);
            if (band.band == ReportBand::Footer && footer)
                drawBandText(p, *footer, band);
            for (int i = 0; i < report.elements.size(); ++i)
                if (report.elements[i].band == band.band)
                    drawElement(p, i, band, page);
            if (band.band == ReportBand::Header)
                drawStamp(p, band);
        }
        drawFoot(p, page);
        p.restore();
    }
};

ReportLayout::ReportLayout(const ReportTemplate& report, const ReportData& data, const ReportValues& values)
    : d(std::make_unique<Impl>(report, data, values)) {
    d->header = bandDocument(report.headerText, values.fields);
    d->footer = bandDocument(report.footerText, values.fields);
    d->numberColumn = int(data.columns.indexOf(QStringLiteral("dokumenti.n_dok")));
    d->layOut();
}

ReportLayout::~ReportLayout() = default;

int ReportLayout::pageCount() const {
    return int(d->pages.size());
}

QString ReportLayout::elementText(int element, int row) const {
    return d->text(element, row, 0);
}

void ReportLayout::drawPage(QPainter& painter, int page) const {
    d->drawPage(painter, page);
}

bool ReportLayout::print(QPagedPaintDevice& device, int copies) const {
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    QPainter p;
    if (!p.begin(&device))
        return false;
    const double sx = device.logicalDpiX() / 96.0, sy = device.logicalDpiY() / 96.0;
    bool first = true;
    for (int c = 0; c < std::max(1, copies); ++c)
        for (int page = 0; page < pageCount(); ++page) {
            if (!first && !device.newPage()) {
                p.end();
                return false;
            }
            first = false;
            p.resetTransform();
            p.scale(sx, sy);
            d->drawPage(p, page);
        }
    return p.end();
}

QString ReportLayout::plainText() const {
    QStringList out;
    for (int page = 0; page < pageCount(); ++page)
        for (const Placed& band : d->pages[page]) {
            if (band.band == ReportBand::Header) {
                if (d->report.stampEnabled && !d->values.stamp.isEmpty())
                    out << d->values.stamp;
                out << d->header->toPlainText();
            }
            if (band.band == ReportBand::Footer)
                out << d->footer->toPlainText();
            for (int i = 0; i < d->report.elements.size(); ++i)
                if (d->report.elements[i].band == band.band)
                    out << d->text(i, band.row, page);
        }
    return out.join(u'\n');
}

} // namespace torvika
