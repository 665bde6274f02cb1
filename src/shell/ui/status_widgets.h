#pragma once
// The small widgets of the main window: status-line panels that report
// clicks, the strip on which the currency rates scroll, and the progress
// panel of long operations.

#include "common/progress.h"

#include <QLabel>
#include <QObject>
#include <limits>

class QFrame;
class QProgressBar;
class QPushButton;

namespace torvika {

// A status-line panel that reports clicks.
class ClickablePanel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* e) override;
};

// The strip under the tool bars on which the currency rates scroll.
class TickerStrip : public QWidget {
    Q_OBJECT
public:
    explicit TickerStrip(QWidget* parent = nullptr);
    QString text;
    int position = 0;
    // Draws the text at the current position (x = position - 5).
    void drawAtPosition();
    int textWidth() const;
    QSize sizeHint() const override;
signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;

private:
    int drawnAt_ = std::numeric_limits<int>::max(); // nothing drawn before the first tick
};

// Panel_Progress: its gauge and cancel button as the progress of a long
// operation. Asking whether it was cancelled lets pending events run, so
// that the button can be pressed.
class ProgressPanel : public QObject, public Progress {
    Q_OBJECT
public:
    ProgressPanel(QFrame* panel, QProgressBar* gauge, QPushButton* cancel);
    void start(int maximum) override;
    void setValue(int value) override;
    bool cancelled() override;
    void finish() override;

private:
    QFrame* panel_;
    QProgressBar* gauge_;
    bool cancelled_ = false;
};

} // namespace torvika
