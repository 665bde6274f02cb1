#pragma once
// Draws each row of a grid in a colour of its own (and bold where asked):
// the items in service in the colour of their repair state, overdue ones in
// red and bold; the repair lines of a replacement in red.

#include <QColor>
#include <QStyledItemDelegate>
#include <functional>
#include <optional>

namespace torvika {

struct RowStyle {
    std::optional<QColor> colour; // none: the window-text colour
    bool bold = false;
};

class RowColours : public QStyledItemDelegate {
public:
    using Style = std::function<RowStyle(int row)>;
    RowColours(Style style, QObject* parent) : QStyledItemDelegate(parent), style_(std::move(style)) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        const RowStyle style = style_(index.row());
        if (style.colour) {
            option->palette.setColor(QPalette::Text, *style.colour);
            option->palette.setColor(QPalette::HighlightedText, *style.colour);
        }
        if (style.bold)
            option->font.setBold(true);
    }

private:
    Style style_;
};

} // namespace torvika
