// Draws a table cell as Qt's own delegate does, with one text layout per cell
// text instead of three per paint. Qt's item drawing measures a cell's text for
// the layout, again to decide on eliding and a third time to draw it; here a
// text is laid out once and the layout kept while it is in use: in the Packet
// Console every visible row moves at each second's flush, but its texts do not
// change, so a repaint only copies glyphs.
#pragma once

#include <QFont>
#include <QRect>
#include <QString>
#include <QStyledItemDelegate>
#include <QTextLayout>

#include <memory>
#include <unordered_map>

class CellTextDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Cell texts whose layout is kept (for tests: the cache stays bounded).
    size_t KeptLayouts() const { return recent_.size() + older_.size(); }

    // What decides a cell text's layout.
    struct Key {
        QString text;
        QFont font;
        int width = 0;
        int height = 0; // a wrapped cell's: whether a second line has room
        int flags = 0;  // alignment, direction, wrap and elide mode
        bool operator==(const Key& other) const = default;
    };
    struct KeyHash {
        size_t operator()(const Key& key) const noexcept;
    };

private:
    struct Laid {
        bool drawnHere = false; // false: the style draws it (more than one line, say)
        QSize size;             // the whole text's, which places it (the same for its elided form)
        std::unique_ptr<QTextLayout> layout; // the text as shown, elided if it had no room
    };
    const Laid& LayOut(const Key& key, const QStyleOptionViewItem& cell) const;

    // Two generations: a text used again moves to the recent one; when that is
    // full, the older is dropped. Texts no longer shown thus leave within two
    // fillings, and a repaint of what is shown finds all of it.
    static constexpr size_t kGeneration = 512; // more than a maximised table shows
    mutable std::unordered_map<Key, Laid, KeyHash> recent_, older_;
};
