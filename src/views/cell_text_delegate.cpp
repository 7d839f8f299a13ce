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

size_t CellTextDelegate::KeyHash::operator()(const Key& key) const noexcept
{
    return qHashMulti(0, key.text, key.font, key.width, key.height, key.flags);
}

const CellTextDelegate::Laid& CellTextDelegate::LayOut(const Key& key, const QStyleOptionViewItem& cell) const
{
    if (auto it = recent_.find(key); it != recent_.end())
        return it->second;
    if (auto it = older_.find(key); it != older_.end()) {
        Laid& moved = recent_[key] = std::move(it->second);
        older_.erase(it);
        return moved;
    }
    if (recent_.size() >= kGeneration) {
        older_ = std::move(recent_);
        recent_.clear();
    }
    Laid& laid = recent_[key];
    const bool wrap = cell.features & QStyleOptionViewItem::WrapText;
    QTextOption textOption;
    textOption.setWrapMode(wrap ? QTextOption::WordWrap : QTextOption::ManualWrap);
    textOption.setTextDirection(cell.direction);
    textOption.setAlignment(QStyle::visualAlignment(cell.direction, cell.displayAlignment));
    laid.layout = std::make_unique<QTextLayout>(key.text, key.font);
    QTextLayout& layout = *laid.layout;
    layout.setCacheEnabled(true); // keeps the shaped glyphs for drawing, now and at later paints
    bool more = false;
    const QTextLine first = LayOutFirstLine(layout, textOption, key.width, &more);
    const bool tooWide = first.isValid() && first.naturalTextWidth() > key.width;
    // Only a one-line cell of plain text is drawn here (a wrapped one as Qt
    // shows it when a second line has no room: the first line's words and an
    // ellipsis); anything else the style's own way.
    laid.drawnHere = first.isValid() && (!wrap || (2 * first.height() > cell.rect.height() && !tooWide));
    if (!laid.drawnHere)
        return laid;
    laid.size = layout.boundingRect().size().toSize();
    if (tooWide || (wrap && more)) {
        QString shown = wrap ? key.text.mid(first.textStart(), first.textLength()) + QChar(0x2026) : key.text;
        shown = QFontMetrics(key.font).elidedText(shown, cell.textElideMode, key.width);
        layout.setText(shown);
        LayOutFirstLine(layout, textOption, key.width, &more);
    }
    return laid;
}

void CellTextDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    if (cell.features & (QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDecoration))
        return QStyledItemDelegate::paint(painter, option, index);
    const QWidget* widget = cell.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect room = cell.rect.adjusted(margin, 0, -margin, 0);
    const bool wrap = cell.features & QStyleOptionViewItem::WrapText;
    const int flags = static_cast<int>(cell.displayAlignment) | (cell.direction == Qt::RightToLeft ? 1 << 16 : 0) |
                      (wrap ? 1 << 17 : 0) | static_cast<int>(cell.textElideMode) << 18;
    const Laid& laid = LayOut({cell.text, cell.font, room.width(), wrap ? room.height() : 0, flags}, cell);
    if (!laid.drawnHere)
        return QStyledItemDelegate::paint(painter, option, index);
    const QRect placed = QStyle::alignedRect(Qt::LayoutDirectionAuto, cell.displayAlignment, laid.size, room);
    // Background, selection and focus frame as the style draws them, then the text.
    cell.text.clear();
    cell.features &= ~QStyleOptionViewItem::HasDisplay;
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);
    painter->save();
    painter->setPen(TextColour(cell));
    laid.layout->draw(painter, QPointF(room.x(), placed.top()));
    painter->restore();
}
