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
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <cmath>
#include <limits>
#include <vector>

namespace torvika {

namespace {

const QString kReportFont = QStringLiteral("Arial");
constexpr double kPadding = 2.0;
// The band texts keep off the page's frame.
constexpr double kBandInset = 4.0;
constexpr int kFootFontSize = 7;
constexpr int kStampFontSize = 16;
// How far the boxes of one line of a band may reach into the next.
constexpr double kOverlap = 3.0;

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

// A band shaped for one row: elements whose texts need more room than
// their boxes grow, and what lies below them (elements and band text alike)
// moves down, so that a long customer name takes two lines and pushes the
// address under it down instead of being cut.
struct BandShape {
    ReportBand band = ReportBand::Detail;
    int row = 0;
    // Content at or below `at` (the band's own units) moves down by `by`,
    // added up over the splits: by rising position.
    struct Split {
        double at;
        double by;
    };
    QList<Split> splits;
    QHash<int, double> grow; // element index -> what it grew by
    double height = 0;       // the band's height with what it grew by

    double shiftAt(double y) const {
        double s = 0;
        for (const Split& split : splits)
            if (split.at <= y)
                s += split.by;
        return s;
    }
    double total() const { return shiftAt(std::numeric_limits<double>::max()); }
};

// A band, or part of one, placed on a page: the band's shape, the part of
// it shown (from `from`, `height` tall) and where on the page it starts.
struct Placed {
    const BandShape* shape;
    double top;
    double from;
    double height;
};

struct ReportLayout::Impl {
    const ReportTemplate& report;
    const ReportData& data;
    const ReportValues& values;
    std::unique_ptr<QTextDocument> header;
    std::unique_ptr<QTextDocument> footer;
    int numberColumn = -1;
    std::vector<std::unique_ptr<BandShape>> shapes;
    // The column headings: the upper band's text's last line, repeated on
    // every page whose rows continue from the page before.
    double headingsFrom = -1;
    double headingsTo = -1;
    QList<QList<Placed>> pages;

    Impl(const ReportTemplate& r, const ReportData& dt, const ReportValues& v)
        : report(r), data(dt), values(v) {}

    int rowCount() const { return data.queried ? int(data.rows.size()) : 1; }

    static QString ratePercent(const Decimal& rate) { return rate.toString() + QStringLiteral(" %"); }

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
        case ElementKind::Label: {
            QStringList lines;
            switch (e.code) {
            case kLabelNet:
                return format42(values.amounts.net);
            case kLabelVat:
                return format42(values.amounts.vat);
            case kLabelTotal:
                return format42(values.amounts.gross);
            case kLabelTotalWords:
                return values.amounts.grossWords;
            case kLabelTotalDual:
                return values.dualTotal;
            case kLabelFreeText:
            case kLabelNumberWords:
            case kLabelPayment:
                return values.typedLabels.value(index);
            case kLabelRates:
                for (const VatByRate& r : values.amounts.rates)
                    lines << ratePercent(r.rate);
                return lines.join(u'\n');
            case kLabelRateBases:
                for (const VatByRate& r : values.amounts.rates)
                    lines << format42(r.net);
                return lines.join(u'\n');
            case kLabelRateVat:
                for (const VatByRate& r : values.amounts.rates)
                    lines << format42(r.vat);
                return lines.join(u'\n');
            case kLabelLineRate: {
                if (row < 0 || row >= data.lines.size())
                    return {};
                const auto rate = values.amounts.lineRates.constFind(data.lines[row]);
                return rate == values.amounts.lineRates.constEnd() ? QString() : ratePercent(*rate);
            }
            default:
                return {};
            }
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
            const double w =
                fm.boundingRect(QRectF(0, 0, 1e6, 1e6), Qt::AlignLeft, text).width() + 2 * kPadding;
            if (e.alignment == ElementAlignment::Right)
                r.setLeft(r.right() - w);
            else if (e.alignment == ElementAlignment::Center)
                r = QRectF(r.center().x() - w / 2, r.top(), w, r.height());
            else
                r.setWidth(w);
        }
        return r;
    }

    // How much taller than its box an element must be for its text: wrapped
    // within its width, or line by line when it sizes itself.
    double growthOf(int index, int row) const {
        const ReportElement& e = report.elements[index];
        if (e.kind == ElementKind::Image)
            return 0;
        const QString t = text(index, row, 0);
        if (t.isEmpty())
            return 0;
        const QFontMetricsF fm(reportFont(e.font), measureDevice());
        const double width = e.autoSize ? 1e6 : std::max(1.0, e.geometry.width() - 2 * kPadding);
        const int flags = (e.autoSize ? 0 : int(Qt::TextWordWrap)) | int(textAlignment(e.alignment));
        const double need = fm.boundingRect(QRectF(0, 0, width, 1e6), flags, t).height();
        // The text starts one unit below the box's top.
        const double extra = need - (e.geometry.height() - 1);
        return extra > 0.5 ? std::ceil(extra) : 0;
    }

    const BandShape* shape(ReportBand band, int row) {
        auto s = std::make_unique<BandShape>();
        s->band = band;
        s->row = row;
        const double bandHeight = report.bandHeight(band);
        QList<int> growing;
        for (int i = 0; i < report.elements.size(); ++i)
            if (report.elements[i].band == band)
                if (const double g = growthOf(i, row); g > 0) {
                    s->grow.insert(i, g);
                    growing << i;
                }
        std::sort(growing.begin(), growing.end(), [this](int a, int b) {
            return report.elements[a].geometry.bottom() < report.elements[b].geometry.bottom();
        });
        for (int i : growing) {
            const QRect& g = report.elements[i].geometry;
            // Designers let the boxes of one line and the next overlap by a
            // unit or two: what starts a little above the bottom is below.
            const double at = std::max<double>(g.top() + 1, g.top() + g.height() - kOverlap);
            const double need = s->shiftAt(g.top()) + s->grow.value(i) - s->shiftAt(at);
            if (need > 0) {
                s->splits.append({at, need});
                std::sort(s->splits.begin(), s->splits.end(),
                          [](const BandShape::Split& a, const BandShape::Split& b) { return a.at < b.at; });
            }
        }
        s->height = bandHeight + s->total();
        shapes.push_back(std::move(s));
        return shapes.back().get();
    }

    void layOut() {
        const double top = kPageMargin;
        const double bottom = kPageHeight - kPageMargin - kPageFootHeight;
        const double room = bottom - top;
        const int rows = rowCount();
        const BandShape* head = shape(ReportBand::Header, 0);
        findHeadings(*head);
        pages.append(QList<Placed>());
        double y = top;
        auto newPage = [&](bool rowsContinue) {
            pages.append(QList<Placed>());
            y = top;
            if (rowsContinue && headingsFrom >= 0 && headingsTo - headingsFrom < room / 3) {
                const double h = headingsTo - headingsFrom;
                pages.last().append({head, y, headingsFrom, h});
                y += h;
            }
        };
        // A band taller than the page is cut at the page's foot.
        auto place = [&](const BandShape* s) {
            if (y + std::min(s->height, room) > bottom && y > top)
                newPage(s->band == ReportBand::Detail);
            const double h = std::min(s->height, bottom - y);
            pages.last().append({s, y, 0, h});
            y += h;
        };
        place(head);
        for (int r = 0; r < rows; ++r)
            place(shape(ReportBand::Detail, r));
        place(shape(ReportBand::Footer, rows - 1));
    }

    // Where the headings are in the upper band: its text's last line, with
    // what the band grew by above it.
    void findHeadings(const BandShape& head) {
        if (!header || header->isEmpty())
            return;
        const QTextBlock last = header->lastBlock();
        if (!last.isValid() || last.text().trimmed().isEmpty())
            return;
        const QRectF line = header->documentLayout()->blockBoundingRect(last);
        if (line.bottom() > report.headerHeight)
            return;
        headingsFrom = line.top() + head.shiftAt(line.top());
        headingsTo = line.bottom() + head.shiftAt(line.top());
    }

    // The box of an element on a band placed with its top at bandTop.
    QRectF boxOf(int index, const BandShape& band, double bandTop, const QString& t) const {
        const ReportElement& e = report.elements[index];
        const double shift = band.shiftAt(e.geometry.top());
        QRectF r = elementRect(e, t).translated(kPageMargin, bandTop + shift);
        double extra = band.grow.value(index);
        if (band.band == ReportBand::Detail) {
            // Cells that end where the lowest ones end grow with the row,
            // so the frames of a line stay in line.
            int lowest = 0;
            for (const ReportElement& other : report.elements)
                if (other.band == ReportBand::Detail)
                    lowest = std::max(lowest, other.geometry.bottom());
            if (e.geometry.bottom() >= lowest - 2)
                extra = std::max(extra, band.total() - shift);
        }
        r.setHeight(r.height() + extra);
        return r;
    }

    void drawElement(QPainter& p, int index, const BandShape& band, double bandTop, int page) const {
        const ReportElement& e = report.elements[index];
        const QString t = text(index, band.row, page);
        const QRectF r = boxOf(index, band, bandTop, t);
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
            p.setClipRect(r, Qt::IntersectClip);
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

    // The band text, each part between two splits moved down by what the
    // band grew by above it.
    void drawBandText(QPainter& p, QTextDocument& doc, const BandShape& band, double bandTop) const {
        QList<double> bounds{0};
        for (const BandShape::Split& s : band.splits)
            bounds << s.at;
        const double bandHeight = report.bandHeight(band.band);
        bounds << bandHeight;
        for (int i = 0; i + 1 < bounds.size(); ++i) {
            const double from = bounds[i];
            const double to = std::min(bounds[i + 1], bandHeight - 1);
            if (to <= from)
                continue;
            const double shift = band.shiftAt(from);
            p.save();
            p.translate(kPageMargin + kBandInset, bandTop + shift);
            const QRectF clip(0, from, kContentWidth - 2 * kBandInset, to - from);
            p.setClipRect(clip, Qt::IntersectClip);
            QAbstractTextDocumentLayout::PaintContext ctx;
            ctx.clip = clip;
            ctx.palette.setColor(QPalette::Text, Qt::black);
            doc.documentLayout()->draw(&p, ctx);
            p.restore();
        }
    }

    void drawStamp(QPainter& p, double bandTop) const {
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
        p.drawText(QPointF(left, bandTop + 2 + fm.ascent()), values.stamp);
        p.restore();
    }

    QString pageText(int page) const { return texts::kPageOf.arg(page + 1).arg(pages.size()); }

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
        p.drawText(line1, Qt::AlignLeft | Qt::AlignTop, pageText(page));
        p.drawText(line1, Qt::AlignRight | Qt::AlignTop, shortDate(values.printed.date()));
        const QRectF line2(kPageMargin + 4, top + 5 + fm.height(), kContentWidth - 8, fm.height());
        p.drawText(line2, Qt::AlignHCenter | Qt::AlignTop, texts::kIssuedByLine);
        p.restore();
    }

    void drawPlaced(QPainter& p, const Placed& placed, int page) const {
        const BandShape& band = *placed.shape;
        const double bandTop = placed.top - placed.from;
        p.save();
        // Nothing of a band shows outside its place on the page.
        p.setClipRect(QRectF(0, placed.top, kPageWidth, placed.height));
        if (band.band == ReportBand::Header && header)
            drawBandText(p, *header, band, bandTop);
        if (band.band == ReportBand::Footer && footer)
            drawBandText(p, *footer, band, bandTop);
        for (int i = 0; i < report.elements.size(); ++i)
            if (report.elements[i].band == band.band)
                drawElement(p, i, band, bandTop, page);
        if (band.band == ReportBand::Header && placed.from == 0)
            drawStamp(p, bandTop);
        p.restore();
    }

    void drawPage(QPainter& p, int page) const {
        p.save();
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(Qt::black, 1));
        p.drawRect(QRectF(kPageMargin, kPageMargin, kContentWidth, kPageHeight - 2 * kPageMargin));
        for (const Placed& placed : pages.value(page))
            drawPlaced(p, placed, page);
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

QList<ReportLayout::PlacedBand> ReportLayout::placedBands(int page) const {
    QList<PlacedBand> out;
    for (const Placed& p : d->pages.value(page))
        out.append({p.shape->band, p.shape->row, QRectF(kPageMargin, p.top, kContentWidth, p.height)});
    return out;
}

QRectF ReportLayout::elementBox(int element, int row) const {
    if (element < 0 || element >= d->report.elements.size())
        return {};
    const ReportBand band = d->report.elements[element].band;
    for (const QList<Placed>& page : d->pages)
        for (const Placed& p : page)
            if (p.shape->band == band && p.from == 0 && (band != ReportBand::Detail || p.shape->row == row))
                return d->boxOf(element, *p.shape, p.top, d->text(element, p.shape->row, 0));
    return {};
}

QString ReportLayout::plainText() const {
    QStringList out;
    for (int page = 0; page < pageCount(); ++page) {
        for (const Placed& placed : d->pages[page]) {
            const BandShape& band = *placed.shape;
            if (band.band == ReportBand::Header && placed.from == 0) {
                if (d->report.stampEnabled && !d->values.stamp.isEmpty())
                    out << d->values.stamp;
                out << d->header->toPlainText();
            } else if (band.band == ReportBand::Header) {
                out << d->header->lastBlock().text();
            }
            if (band.band == ReportBand::Footer)
                out << d->footer->toPlainText();
            for (int i = 0; i < d->report.elements.size(); ++i) {
                const ReportElement& e = d->report.elements[i];
                if (e.band != band.band)
                    continue;
                // A part of a band shows the elements within it.
                const double y = e.geometry.top() + band.shiftAt(e.geometry.top());
                if (y >= placed.from && y < placed.from + placed.height)
                    out << d->text(i, band.row, page);
            }
        }
        out << d->pageText(page);
    }
    return out.join(u'\n');
}

} // namespace torvika
