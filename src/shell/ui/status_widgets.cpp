#include "shell/ui/status_widgets.h"

#include <QCoreApplication>
#include <QFrame>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>

namespace torvika {

void ClickablePanel::mousePressEvent(QMouseEvent* e) {
    QLabel::mousePressEvent(e);
    emit clicked();
}

TickerStrip::TickerStrip(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
}

QSize TickerStrip::sizeHint() const {
    return {400, fontMetrics().height() + 6};
}

int TickerStrip::textWidth() const {
    return fontMetrics().horizontalAdvance(text);
}

void TickerStrip::drawAtPosition() {
    drawnAt_ = position - 5;
    update();
}

void TickerStrip::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    p.setPen(palette().text().color());
    p.drawText(drawnAt_, 2 + fontMetrics().ascent(), text);
}

void TickerStrip::mousePressEvent(QMouseEvent*) {
    emit clicked();
}

ProgressPanel::ProgressPanel(QFrame* panel, QProgressBar* gauge, QPushButton* cancel)
    : QObject(panel), panel_(panel), gauge_(gauge) {
    cancel->setIcon(cancel->style()->standardIcon(QStyle::SP_DialogCancelButton));
    connect(cancel, &QPushButton::clicked, this, [this] { cancelled_ = true; });
    panel_->hide();
}

void ProgressPanel::start(int maximum) {
    cancelled_ = false;
    gauge_->setRange(0, maximum);
    gauge_->setValue(0);
    panel_->show();
    QCoreApplication::processEvents();
}

void ProgressPanel::setValue(int value) {
    gauge_->setValue(value);
}

bool ProgressPanel::cancelled() {
    QCoreApplication::processEvents();
    return cancelled_;
}

void ProgressPanel::finish() {
    panel_->hide();
}

} // namespace torvika
