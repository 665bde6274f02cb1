#include "common/ui/import_statistic_panel.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

namespace torvika {

ImportStatisticPanel::ImportStatisticPanel(QWidget* parent) : QPlainTextEdit(parent) {
    setObjectName(QStringLiteral("fMemo"));
    setReadOnly(true);
    setFrameShape(QFrame::NoFrame);
    setFixedSize(500, 270);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    hide();
}

void ImportStatisticPanel::begin() {
    clear();
    SHOW_STATISTIC();
}

void ImportStatisticPanel::showReport(const ImportReport& report) {
    setPlainText(report.lines.join(u'\n'));
    SHOW_STATISTIC();
}

void ImportStatisticPanel::SHOW_STATISTIC() {
    const QRect area = parentWidget() ? parentWidget()->rect()
                       : screen()     ? screen()->availableGeometry()
                                      : QRect(0, 0, 1024, 768);
    move(area.center() - QPoint(width() / 2, height() / 2));
    show();
    raise();
    setFocus();
}

void ImportStatisticPanel::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

} // namespace torvika
