#pragma once
// Draws each row of a grid in a colour of its own (and bold where asked):
// the items in service in the colour of their repair state, overdue ones in
// red and bold; the repair lines of a replacement in red. A column of
// stored "True"/"False" marks is shown as "да"/"не".

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
    RowColours(Style style, QObject* parent, int markColumn = -1)
        : QStyledItemDelegate(parent), style_(std::move(style)), markColumn_(markColumn) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        const RowStyle style = style_ ? style_(index.row()) : RowStyle{};
        if (style.colour) {
            option->palette.setColor(QPalette::Text, *style.colour);
            option->palette.setColor(QPalette::HighlightedText, *style.colour);
        }
        if (style.bold)
            option->font.setBold(true);
        if (index.column() == markColumn_)
            option->text =
                option->text == QLatin1String("True") ? QStringLiteral("да") : QStringLiteral("не");
    }

private:
    Style style_;
    int markColumn_;
};

} // namespace torvika
