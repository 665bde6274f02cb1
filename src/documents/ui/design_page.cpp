#include "documents/ui/design_page.h"

#include "documents/report_engine.h"
#include "documents/rich_text.h"
#include "documents/template_design.h"
#include "documents/texts.h"
#include "documents/ui/design_model.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QHelpEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTextDocument>
#include <QToolTip>

namespace torvika {

namespace {

// The strip above each band naming it.
constexpr int kStrip = 16;
constexpr int kHandle = 7;
constexpr int kBandInset = 4;
constexpr double kPadding = 2.0;

const ReportBand kBands[] = {ReportBand::Header, ReportBand::Detail, ReportBand::Footer};

QString bandCaption(ReportBand band) {
    switch (band) {
    case ReportBand::Header:
        return QStringLiteral(" текст отгоре");
    case ReportBand::Detail:
        return QStringLiteral(" текст в среда");
    case ReportBand::Footer:
        return QStringLiteral(" текст отдолу");
    }
    return {};
}

std::unique_ptr<QTextDocument> bandDocument(const QByteArray& rtf) {
    auto doc = std::make_unique<QTextDocument>();
    QFont base(QStringLiteral("Arial"));
    base.setPointSize(10);
    doc->setDefaultFont(base);
    doc->setDocumentMargin(0);
    if (!rtf.isEmpty())
        readRtf(rtf, *doc);
    doc->setTextWidth(kContentWidth - 2 * kBandInset);
    return doc;
}

} // namespace

DesignPage::DesignPage(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(false);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
    setPalette(pal);
}

DesignPage::~DesignPage() = default;

void DesignPage::setUp(DesignModel* model, const QString& imageDir) {
    model_ = model;
    imageDir_ = imageDir;
    connect(model_, &DesignModel::changed, this, [this] {
        rebuildTexts();
        updateGeometry();
        resize(sizeHint());
        update();
    });
    connect(model_, &DesignModel::selectionChanged, this, qOverload<>(&QWidget::update));
    rebuildTexts();
    resize(sizeHint());
}

void DesignPage::rebuildTexts() {
    if (!model_)
        return;
    const ReportTemplate& r = model_->report();
    if (!header_ || headerRtf_ != r.headerText) {
        header_ = bandDocument(r.headerText);
        headerRtf_ = r.headerText;
    }
    if (!footer_ || footerRtf_ != r.footerText) {
        footer_ = bandDocument(r.footerText);
        footerRtf_ = r.footerText;
    }
}

int DesignPage::bandTop(ReportBand band) const {
    int top = int(kPageMargin);
    for (ReportBand b : kBands) {
        top += kStrip;
        if (b == band)
            return top;
        top += model_ ? model_->report().bandHeight(b) : 0;
    }
    return top;
}

int DesignPage::pageHeight() const {
    const int bands = bandTop(ReportBand::Footer) + (model_ ? model_->report().footerHeight : 0);
    return std::max(int(kPageHeight), bands + int(kPageMargin + kPageFootHeight));
}

QSize DesignPage::sizeHint() const {
    return QSize(int(kPageWidth) + 40, pageHeight() + 40);
}

QRect DesignPage::elementBox(int index) const {
    if (!model_ || index < 0 || index >= model_->report().elements.size())
        return {};
    const ReportElement& e = model_->report().elements[index];
    return e.geometry.translated(20 + int(kPageMargin), 20 + bandTop(e.band));
}

QRect DesignPage::handleOf(const QRect& box) const {
    return QRect(box.right() - kHandle + 2, box.bottom() - kHandle + 2, kHandle, kHandle);
}

QString DesignPage::designText(const ReportElement& e) const {
    switch (e.kind) {
    case ElementKind::DataField:
        // The column alone: the cells of a line are narrow; the table is
        // shown in the element's tooltip and in the settings window.
        return e.dataField.isEmpty() ? QStringLiteral("(няма поле)") : e.dataField;
    case ElementKind::Label:
        return e.caption.isEmpty() ? labelKindItem(e.code) : e.caption;
    case ElementKind::SystemData:
        return systemDataItems().value(e.code);
    case ElementKind::Image:
        return QStringLiteral("Картинка");
    }
    return {};
}

void DesignPage::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!model_)
        return;
    const ReportTemplate& r = model_->report();
    p.translate(20, 20);
    p.fillRect(QRect(0, 0, int(kPageWidth), pageHeight()), Qt::white);
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(QRectF(kPageMargin, kPageMargin, kContentWidth, pageHeight() - 2 * kPageMargin));
    QFont stripFont(QStringLiteral("Arial"));
    stripFont.setPixelSize(10);
    for (ReportBand band : kBands) {
        const int top = bandTop(band);
        const int height = r.bandHeight(band);
        const QRect strip(int(kPageMargin), top - kStrip, int(kContentWidth), kStrip);
        p.fillRect(strip,
                   band == model_->currentBand() ? QColor(0xc8, 0xdc, 0xf0) : QColor(0xe6, 0xe6, 0xe6));
        p.setFont(stripFont);
        p.setPen(Qt::darkGray);
        p.drawText(strip.adjusted(4, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                   bandCaption(band).trimmed() + QStringLiteral("  (%1)").arg(height));
        const QRect area(int(kPageMargin), top, int(kContentWidth), height);
        QTextDocument* text = band == ReportBand::Header   ? header_.get()
                              : band == ReportBand::Footer ? footer_.get()
                                                           : nullptr;
        if (text && height > 1) {
            p.save();
            p.translate(kPageMargin + kBandInset, top);
            const QRectF clip(0, 0, kContentWidth - 2 * kBandInset, height - 1);
            p.setClipRect(clip);
            QAbstractTextDocumentLayout::PaintContext ctx;
            ctx.clip = clip;
            ctx.palette.setColor(QPalette::Text, Qt::black);
            text->documentLayout()->draw(&p, ctx);
            p.restore();
        }
        if (band == ReportBand::Header && r.stampEnabled) {
            ElementFont f;
            f.size = 16;
            f.bold = true;
            p.setFont(reportFont(f));
            p.setPen(Qt::black);
            p.drawText(QRect(0, top + 2, int(kPageWidth), 30), Qt::AlignHCenter | Qt::AlignTop,
                       texts::kStampOriginal);
        }
        p.setPen(QPen(QColor(0x90, 0x90, 0x90), 1, Qt::DashLine));
        p.drawLine(area.bottomLeft(), area.bottomRight());
    }
    for (int i = 0; i < r.elements.size(); ++i) {
        const ReportElement& e = r.elements[i];
        const QRect box = elementBox(i).translated(-20, -20);
        p.save();
        p.setClipRect(QRect(int(kPageMargin), bandTop(e.band), int(kContentWidth), r.bandHeight(e.band)));
        if (e.kind == ElementKind::Image) {
            const QImage image(QDir(imageDir_).filePath(e.picture));
            if (!e.picture.isEmpty() && !image.isNull()) {
                const QSize s = image.size().scaled(box.size(), Qt::KeepAspectRatio);
                p.drawImage(QRect(box.topLeft(), s), image);
            } else {
                p.fillRect(box, QColor(0xf0, 0xf0, 0xf0));
            }
        }
        if (e.kind != ElementKind::Image || e.picture.isEmpty()) {
            p.setFont(reportFont(e.font));
            p.setPen(e.kind == ElementKind::DataField ? QColor(0x00, 0x30, 0x90) : QColor(Qt::black));
            const Qt::Alignment align = e.alignment == ElementAlignment::Right    ? Qt::AlignRight
                                        : e.alignment == ElementAlignment::Center ? Qt::AlignHCenter
                                                                                  : Qt::AlignLeft;
            p.drawText(QRectF(box).adjusted(kPadding, 1, -kPadding, 0),
                       int(align | Qt::AlignTop) | (e.autoSize ? 0 : int(Qt::TextWordWrap)), designText(e));
        }
        if (e.frame.any()) {
            p.setPen(QPen(Qt::black, std::max(1, e.frame.width), penStyle(e.frame.style)));
            if (e.frame.top)
                p.drawLine(box.topLeft(), box.topRight());
            if (e.frame.bottom)
                p.drawLine(box.bottomLeft(), box.bottomRight());
            if (e.frame.left)
                p.drawLine(box.topLeft(), box.bottomLeft());
            if (e.frame.right)
                p.drawLine(box.topRight(), box.bottomRight());
        } else {
            p.setPen(QPen(QColor(0xc0, 0xc0, 0xc0), 1, Qt::DotLine));
            p.drawRect(box);
        }
        p.restore();
        if (i == model_->selected()) {
            p.setPen(QPen(QColor(0x00, 0x60, 0xd0), 1, Qt::DashLine));
            p.setBrush(Qt::NoBrush);
            p.drawRect(box.adjusted(-1, -1, 1, 1));
            p.fillRect(handleOf(box), QColor(0x00, 0x60, 0xd0));
        }
    }
}

int DesignPage::elementAt(QPoint pos) const {
    if (!model_)
        return -1;
    // The chosen element first (its corner may lie over another), then the
    // topmost: the last drawn.
    const int chosen = model_->selected();
    if (chosen >= 0 && elementBox(chosen).adjusted(-1, -1, 2, 2).contains(pos))
        return chosen;
    for (int i = int(model_->report().elements.size()) - 1; i >= 0; --i)
        if (elementBox(i).contains(pos))
            return i;
    return -1;
}

ReportBand DesignPage::bandAt(int y) const {
    y -= 20;
    if (y < bandTop(ReportBand::Detail) - kStrip)
        return ReportBand::Header;
    if (y < bandTop(ReportBand::Footer) - kStrip)
        return ReportBand::Detail;
    return ReportBand::Footer;
}

void DesignPage::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (!model_ || event->button() != Qt::LeftButton)
        return;
    const QPoint pos = event->position().toPoint();
    const int index = elementAt(pos);
    model_->select(index);
    if (index < 0) {
        model_->setCurrentBand(bandAt(pos.y()));
        update();
        drag_ = Drag::None;
        return;
    }
    const QRect box = elementBox(index);
    drag_ = handleOf(box).adjusted(-2, -2, 2, 2).contains(pos) ? Drag::Resize : Drag::Move;
    pressedAt_ = pos;
    pressedBox_ = model_->report().elements[index].geometry;
}

void DesignPage::mouseMoveEvent(QMouseEvent* event) {
    const int index = model_ ? model_->selected() : -1;
    if (drag_ == Drag::None || index < 0)
        return;
    const QPoint pos = event->position().toPoint();
    const QPoint delta = pos - pressedAt_;
    const ReportElement& e = model_->report().elements[index];
    if (drag_ == Drag::Resize) {
        model_->place(index, e.band,
                      QRect(pressedBox_.topLeft(), pressedBox_.size() + QSize(delta.x(), delta.y())));
        return;
    }
    // The element goes to the band under the pointer, at the place it was
    // dragged to on the page.
    const ReportBand start = e.band;
    const int pageTop = bandTop(start) + pressedBox_.top() + delta.y();
    const ReportBand band = bandAt(pos.y());
    model_->place(index, band,
                  QRect(QPoint(pressedBox_.left() + delta.x(), pageTop - bandTop(band)), pressedBox_.size()));
    if (band != start) {
        // The element changed band: the drag goes on from where it is now.
        pressedAt_ = pos;
        pressedBox_ = model_->report().elements[index].geometry;
    }
}

bool DesignPage::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip && model_) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int index = elementAt(help->pos());
        if (index < 0) {
            QToolTip::hideText();
            return true;
        }
        const ReportElement& e = model_->report().elements[index];
        QString tip = e.name;
        if (e.kind == ElementKind::DataField)
            tip += u'\n' + e.dataSet + u'-' + e.dataField;
        else if (e.kind == ElementKind::Image)
            tip += u'\n' + e.picture;
        QToolTip::showText(help->globalPos(), tip, this);
        return true;
    }
    return QWidget::event(event);
}

void DesignPage::mouseReleaseEvent(QMouseEvent*) {
    drag_ = Drag::None;
}

void DesignPage::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (!model_ || elementAt(pos) >= 0)
        return;
    const ReportBand band = bandAt(pos.y());
    if (band != ReportBand::Detail)
        emit bandTextRequested(band);
}

void DesignPage::keyPressEvent(QKeyEvent* event) {
    const int index = model_ ? model_->selected() : -1;
    if (index < 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (event->key() == Qt::Key_Delete) {
        emit deleteRequested();
        return;
    }
    const int step = event->modifiers().testFlag(Qt::ControlModifier) ? 10 : 1;
    QPoint by;
    switch (event->key()) {
    case Qt::Key_Left:
        by = {-step, 0};
        break;
    case Qt::Key_Right:
        by = {step, 0};
        break;
    case Qt::Key_Up:
        by = {0, -step};
        break;
    case Qt::Key_Down:
        by = {0, step};
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    const ReportElement& e = model_->report().elements[index];
    QRect box = e.geometry;
    if (event->modifiers().testFlag(Qt::ShiftModifier))
        box.setSize(box.size() + QSize(by.x(), by.y()));
    else
        box.translate(by);
    model_->place(index, e.band, box);
}

} // namespace torvika
