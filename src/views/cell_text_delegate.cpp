#include "views/cell_text_delegate.h"

#include <QApplication>
#include <QPainter>
#include <QTextLayout>

namespace {

// One line of text at the line width, as an item view lays it out.
void LayOut(QTextLayout& layout, const QTextOption& option, int width)
{
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, 0));
    }
    layout.endLayout();
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
    const bool plain = !(cell.features & (QStyleOptionViewItem::WrapText | QStyleOptionViewItem::HasCheckIndicator |
                                          QStyleOptionViewItem::HasDecoration));
    if (!plain || cell.text.isEmpty())
        return QStyledItemDelegate::paint(painter, option, index);
    const QString text = cell.text;
    const QWidget* widget = cell.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    // Background, selection and focus frame as the style draws them; the text below.
    cell.text.clear();
    cell.features &= ~QStyleOptionViewItem::HasDisplay;
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect room = cell.rect.adjusted(margin, 0, -margin, 0);
    QTextOption textOption;
    textOption.setWrapMode(QTextOption::ManualWrap);
    textOption.setTextDirection(cell.direction);
    textOption.setAlignment(QStyle::visualAlignment(cell.direction, cell.displayAlignment));
    QTextLayout layout(text, cell.font);
    LayOut(layout, textOption, room.width());
    // The text's height places it (the same for its elided form).
    const QRect placed = QStyle::alignedRect(Qt::LayoutDirectionAuto, cell.displayAlignment,
                                             layout.boundingRect().size().toSize(), room);
    if (layout.lineCount() > 0 && layout.lineAt(0).naturalTextWidth() > room.width()) {
        layout.setText(QFontMetrics(cell.font).elidedText(text, cell.textElideMode, room.width()));
        LayOut(layout, textOption, room.width());
    }
    painter->save();
    painter->setPen(TextColour(cell));
    layout.draw(painter, QPointF(room.x(), placed.top()));
    painter->restore();
}
