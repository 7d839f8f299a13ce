#include "views/cell_text_delegate.h"

#include <QApplication>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <array>
#include <cmath>

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

// A cell elided at the right shows one line of what fits: characters past what
// the width could hold at the text's narrowest advance change neither that
// line, nor whether more follows, nor the ellipsis, only the cost of shaping
// them (a packet's hex runs to hundreds). Printable ASCII only, where every
// character advances; the slack covers kerning and the line break's look-ahead.
QString WithoutUnseenTail(const QString& text, const QFont& font, int width)
{
    constexpr qsizetype kWorthCutting = 48;
    if (text.size() <= kWorthCutting)
        return text;
    const QFontMetricsF metrics(font);
    std::array<bool, 128> measured{};
    qreal narrowest = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u > 0x7E)
            return text;
        if (measured[u])
            continue;
        measured[u] = true;
        const qreal advance = metrics.horizontalAdvance(c);
        narrowest = narrowest == 0 ? advance : std::min(narrowest, advance);
    }
    if (narrowest <= 0)
        return text;
    const auto keep = static_cast<qsizetype>(std::ceil(1.5 * width / narrowest)) + 4;
    return keep < text.size() ? text.left(keep) : text;
}

// Qt's own styles draw an item's background only for a selection, focus, a
// hovered cell or a background brush; most cells of a busy table have none,
// and asking the style costs more than drawing their text. Other styles are
// always asked.
bool NothingUnderText(const QStyleOptionViewItem& cell, const QStyle& style)
{
    constexpr QStyle::State kDrawn = QStyle::State_Selected | QStyle::State_HasFocus | QStyle::State_MouseOver;
    if ((cell.state & kDrawn) || cell.backgroundBrush.style() != Qt::NoBrush)
        return false;
    const QString name = style.name();
    return name.compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0 ||
           name.compare(QLatin1String("windows"), Qt::CaseInsensitive) == 0;
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
    const bool cuttable = cell.textElideMode == Qt::ElideRight;
    laid.layout = std::make_unique<QTextLayout>(cuttable ? WithoutUnseenTail(key.text, key.font, key.width) : key.text,
                                                key.font);
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
        QString shown = wrap ? key.text.mid(first.textStart(), first.textLength()) + QChar(0x2026) : layout.text();
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
    if (!NothingUnderText(cell, *style))
        style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);
    painter->save();
    painter->setPen(TextColour(cell));
    laid.layout->draw(painter, QPointF(room.x(), placed.top()));
    painter->restore();
}
