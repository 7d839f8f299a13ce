#include "views/cell_text_delegate.h"

#include <QApplication>
#include <QPainter>
#include <QTextLayout>

namespace {

// The first line of text at the width, as an item view lays it out; whether
// more text follows on a line the cell has no room for.
QTextLine LayOutFirstLine(QTextLayout& layout, const QTextOption& option, int width, bool* more)
{
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, 0));
        *more = layout.createLine().isValid();
    }
    layout.endLayout();
    return line;
}

QColor TextColour(const QStyleOptionViewItem& option)
{
    QPalette::ColorGroup group = option.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    if (group == QPalette::Normal && !(option.state & QStyle::State_Active))
        group = QPalette::Inactive;
    return option.palette.color(group, option.state & QStyle::State_Selected ? QPalette::HighlightedText
                                                                             : QPalette::Text);
}

} // namespace

void CellTextDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const QString text = cell.text;
    const QWidget* widget = cell.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect room = cell.rect.adjusted(margin, 0, -margin, 0);
    const bool wrap = cell.features & QStyleOptionViewItem::WrapText;
    QTextOption textOption;
    textOption.setWrapMode(wrap ? QTextOption::WordWrap : QTextOption::ManualWrap);
    textOption.setTextDirection(cell.direction);
    textOption.setAlignment(QStyle::visualAlignment(cell.direction, cell.displayAlignment));
    QTextLayout layout(text, cell.font);
    bool more = false;
    const QTextLine first = LayOutFirstLine(layout, textOption, room.width(), &more);
    const bool tooWide = first.isValid() && first.naturalTextWidth() > room.width();
    // Only a one-line cell of plain text is drawn here (a wrapped one as Qt
    // shows it when a second line has no room: the first line's words and an
    // ellipsis); anything else the style's own way.
    const bool oneLine = first.isValid() && (!wrap || (2 * first.height() > room.height() && !tooWide));
    if (!oneLine || cell.features & (QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDecoration))
        return QStyledItemDelegate::paint(painter, option, index);
    // The text's height places it (the same for its elided form).
    const QRect placed = QStyle::alignedRect(Qt::LayoutDirectionAuto, cell.displayAlignment,
                                             layout.boundingRect().size().toSize(), room);
    if (tooWide || (wrap && more)) {
        QString shown = wrap ? text.mid(first.textStart(), first.textLength()) + QChar(0x2026) : text;
        shown = QFontMetrics(cell.font).elidedText(shown, cell.textElideMode, room.width());
        layout.setText(shown);
        LayOutFirstLine(layout, textOption, room.width(), &more);
    }
    // Background, selection and focus frame as the style draws them, then the text.
    cell.text.clear();
    cell.features &= ~QStyleOptionViewItem::HasDisplay;
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);
    painter->save();
    painter->setPen(TextColour(cell));
    layout.draw(painter, QPointF(room.x(), placed.top()));
    painter->restore();
}
