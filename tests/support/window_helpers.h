#pragma once
// Small helpers of the window tests.

#include <QAbstractItemModel>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>
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

// Presses the button of the window by its objectName.
inline void click(const QWidget& window, const char* name) {
    QTest::mouseClick(control<QPushButton>(window, name), Qt::LeftButton);
}

// Types into the field as the operator does and presses Enter.
inline void typeAndEnter(const QWidget& window, const char* name, const QString& text) {
    QLineEdit* e = control<QLineEdit>(window, name);
    e->setFocus();
    e->selectAll();
    typeText(e, text);
    QTest::keyClick(e, Qt::Key_Return);
}

// Chooses the item of the combo box as the operator does: from the
// keyboard, item by item.
inline void chooseItem(QComboBox* box, int index) {
    box->setFocus();
    if (box->currentIndex() < 0)
        QTest::keyClick(box, Qt::Key_Down);
    while (box->currentIndex() < index)
        QTest::keyClick(box, Qt::Key_Down);
    while (box->currentIndex() > index)
        QTest::keyClick(box, Qt::Key_Up);
}

// The rows of the grid's model as shown, cells trimmed and joined by "|".
inline QStringList shownRows(const QAbstractItemModel* m) {
    QStringList out;
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < m->columnCount(); ++c)
            cells << m->index(r, c).data().toString().trimmed();
        out << cells.join(u'|');
    }
    return out;
}

// Clicks the row of the grid (on its second column).
inline void clickRow(QTableView* grid, int row) {
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualRect(grid->model()->index(row, 1)).center());
}

// Clicks the cell of the grid.
inline void clickCell(QTableView* grid, const QModelIndex& cell) {
    grid->scrollTo(cell);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(cell).center());
}

// Clicks the item of the tree, its parents opened first as the operator
// would.
inline void clickTreeItem(QTreeWidget* tree, QTreeWidgetItem* item) {
    for (QTreeWidgetItem* p = item->parent(); p; p = p->parent())
        p->setExpanded(true);
    tree->scrollToItem(item);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
}

// Ticks the item of the check list with the text and unticks the others.
inline void tickOnly(QListWidget* list, const QString& text) {
    for (int i = 0; i < list->count(); ++i)
        list->item(i)->setCheckState(list->item(i)->text() == text ? Qt::Checked : Qt::Unchecked);
}

// The text of a printed PDF file as pdftotext lays it out; empty when it
// cannot be read.
inline QString pdfText(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace torvika::test
