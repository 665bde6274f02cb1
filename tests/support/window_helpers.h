#pragma once
// Small helpers of the window tests.

#include <QHeaderView>
#include <QString>
#include <QTableView>
#include <QTest>
#include <QWidget>

namespace torvika::test {

// Types the text key by key, Cyrillic included (QTest::keyClicks takes
// Latin-1 only).
inline void typeText(QWidget* widget, const QString& text) {
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// The control of the window by its objectName; the test ends at once
// without it.
template <typename T> T* control(const QWidget& window, const char* name) {
    T* c = window.findChild<T*>(QString::fromLatin1(name));
    if (!c)
        qFatal("no control %s", name);
    return c;
}

// Clicks the title of the grid's column (the grid is shown).
inline void clickTitle(QTableView* grid, int column) {
    if (grid->model()->rowCount() > 0)
        grid->scrollTo(grid->model()->index(0, column));
    QHeaderView* header = grid->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                             header->height() / 2));
}

} // namespace torvika::test
