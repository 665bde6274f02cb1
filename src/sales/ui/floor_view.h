#pragma once
// The drawing surface of the table window and the three shape buttons of
// "Вид маса". The view draws the floor's tables and places with their
// numbers; while a kind is chosen for drawing its outline follows the mouse,
// and releasing the button asks for an object there.

#include "sales/table_floor.h"

#include <QWidget>

namespace torvika {

class FloorView : public QWidget {
    Q_OBJECT
public:
    explicit FloorView(QWidget* parent = nullptr);

    void setFloor(const TableFloor* floor);
    // The kind being drawn; none (-1) while nothing is chosen.
    void setDrawingKind(int kind);
    int drawingKind() const { return drawingKind_; }
    void setNewTableSize(const QSize& size) { tableSize_ = size; }
    // The size of a new object of the kind being drawn.
    QSize newObjectSize() const;
    // The marked table and place (0: none), outlined in colour.
    void setMarked(int table, int place);
    // Tables drawn filled: the bills that are open.
    void setHighlighted(const QList<int>& tables);

    QSize sizeHint() const override { return {520, 420}; }

signals:
    // The operator released the button with a kind chosen: an object of
    // that kind centred at the point.
    void drawRequested(const QRect& rect);
    // A click on an object while nothing is being drawn.
    void objectClicked(const FloorObject& object);

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent*) override;

private:
    QRect outlineAt(const QPoint& centre) const;

    const TableFloor* floor_ = nullptr;
    int drawingKind_ = -1;
    QSize tableSize_{kFloorDefaultSide, kFloorDefaultSide};
    QPoint mouse_;
    bool mouseInside_ = false;
    int markedTable_ = 0;
    int markedPlace_ = 0;
    QList<int> highlighted_;
};

// A shape of "Вид маса": a rectangle, a circle or a cross-hatched ellipse
// with a red outline while it is chosen. A click toggles the choice.
class FloorShapeButton : public QWidget {
    Q_OBJECT
public:
    explicit FloorShapeButton(QWidget* parent = nullptr);

    void setKind(FloorObject::Kind kind) {
        kind_ = kind;
        update();
    }
    FloorObject::Kind kind() const { return kind_; }
    void setChosen(bool chosen);
    bool isChosen() const { return chosen_; }

    QSize sizeHint() const override { return {56, 44}; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    FloorObject::Kind kind_ = FloorObject::RectangleTable;
    bool chosen_ = false;
};

// Draws one object of the floor: its shape, outline and number.
void drawFloorObject(QPainter& painter, const FloorObject& object, const QColor& outline, int outlineWidth,
                     bool filled);

} // namespace torvika
