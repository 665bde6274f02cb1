#include "sales/ui/floor_view.h"

#include "sales/texts.h"

#include <QMouseEvent>
#include <QPainter>

namespace torvika {

namespace {

constexpr int kPlaceSide = 22;
const QColor kOpenBillFill(198, 239, 206);

void drawShape(QPainter& p, FloorObject::Kind kind, const QRect& r) {
    switch (kind) {
    case FloorObject::RectangleTable:
        p.drawRect(r);
        break;
    case FloorObject::RoundTable:
    case FloorObject::Place:
        p.drawEllipse(r);
        break;
    }
}

} // namespace

void drawFloorObject(QPainter& p, const FloorObject& o, const QColor& outline, int outlineWidth,
                     bool filled) {
    p.save();
    p.setPen(QPen(outline, outlineWidth));
    if (o.isTable())
        p.setBrush(filled ? QBrush(kOpenBillFill) : QBrush(Qt::white));
    else
        p.setBrush(QBrush(Qt::darkGray, Qt::DiagCrossPattern));
    drawShape(p, o.kind, o.rect);
    QFont font = p.font();
    font.setBold(true);
    font.setPointSize(o.isTable() ? 12 : 6);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(o.rect, Qt::AlignCenter, QString::number(o.number));
    p.restore();
}

FloorView::FloorView(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
}

void FloorView::setFloor(const TableFloor* floor) {
    floor_ = floor;
    update();
}

void FloorView::setDrawingKind(int kind) {
    drawingKind_ = kind;
    setCursor(kind < 0 ? Qt::ArrowCursor : Qt::CrossCursor);
    update();
}

QSize FloorView::newObjectSize() const {
    return drawingKind_ == FloorObject::Place ? QSize(kPlaceSide, kPlaceSide) : tableSize_;
}

void FloorView::setMarked(int table, int place) {
    markedTable_ = table;
    markedPlace_ = place;
    update();
}

void FloorView::setHighlighted(const QList<int>& tables) {
    highlighted_ = tables;
    update();
}

QRect FloorView::outlineAt(const QPoint& centre) const {
    QRect r(QPoint(), newObjectSize());
    r.moveCenter(centre);
    return r;
}

void FloorView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(palette().color(QPalette::Mid), 1));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    if (floor_) {
        for (const FloorObject& o : floor_->objects()) {
            if (!o.isTable())
                continue;
            const bool marked = o.number == markedTable_;
            drawFloorObject(p, o, marked ? Qt::red : Qt::black, marked ? 2 : 1,
                            highlighted_.contains(o.number));
        }
        for (const FloorObject& o : floor_->objects()) {
            if (o.isTable())
                continue;
            const bool marked = o.table == markedTable_ && o.number == markedPlace_;
            drawFloorObject(p, o, marked ? Qt::green : Qt::red, marked ? 2 : 1, false);
        }
    }
    if (drawingKind_ >= 0 && mouseInside_) {
        p.setPen(QPen(Qt::red, 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        drawShape(p, FloorObject::Kind(drawingKind_), outlineAt(mouse_));
    }
}

void FloorView::mouseMoveEvent(QMouseEvent* e) {
    mouse_ = e->position().toPoint();
    mouseInside_ = true;
    if (drawingKind_ >= 0)
        update();
}

void FloorView::leaveEvent(QEvent*) {
    mouseInside_ = false;
    update();
}

void FloorView::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton)
        return;
    const QPoint at = e->position().toPoint();
    if (drawingKind_ >= 0) {
        emit drawRequested(outlineAt(at));
        return;
    }
    if (floor_)
        if (const FloorObject* o = floor_->objectAt(at))
            emit objectClicked(*o);
}

FloorShapeButton::FloorShapeButton(QWidget* parent) : QWidget(parent) {
    setToolTip(texts::kFloorShapeHintChoose);
    setCursor(Qt::PointingHandCursor);
}

void FloorShapeButton::setChosen(bool chosen) {
    chosen_ = chosen;
    setToolTip(chosen ? texts::kFloorShapeHintCancel : texts::kFloorShapeHintChoose);
    update();
}

void FloorShapeButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(chosen_ ? Qt::red : Qt::black, chosen_ ? 2 : 1));
    p.setBrush(kind_ == FloorObject::Place ? QBrush(Qt::darkGray, Qt::DiagCrossPattern) : QBrush(Qt::white));
    QRect r = rect().adjusted(4, 4, -4, -4);
    if (kind_ == FloorObject::RoundTable) {
        const int side = std::min(r.width(), r.height());
        QRect square(0, 0, side, side);
        square.moveCenter(r.center());
        r = square;
    }
    drawShape(p, kind_, r);
}

void FloorShapeButton::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
        emit clicked();
}

} // namespace torvika
