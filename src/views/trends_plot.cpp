#include "views/trends_plot.h"

#include <QDateTime>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace {

// A step of 1, 2 or 5 times a power of ten that cuts span into about `parts`:
// grid lines at round values (7, 7.5, 8), not at fifths of the range.
double RoundStep(double span, int parts)
{
    const double raw = span / parts;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double multiple : {1.0, 2.0, 5.0})
        if (multiple * power >= raw)
            return multiple * power;
    return 10 * power;
}

constexpr int64_t kShortestSpan = 60;

QColor EventColour(HistoryEventKind kind, const QPalette& palette)
{
    const bool dark = palette.color(QPalette::Window).lightness() < 128;
    switch (kind) {
    case HistoryEventKind::FixLost: return dark ? QColor(255, 190, 60) : QColor(200, 120, 0);
    case HistoryEventKind::PortLost: return dark ? QColor(255, 100, 100) : QColor(200, 0, 0);
    case HistoryEventKind::PortReopened: return dark ? QColor(110, 230, 110) : QColor(0, 140, 0);
    }
    return palette.color(QPalette::WindowText);
}

QString TimeText(int64_t t, int64_t span)
{
    const QDateTime when = QDateTime::fromSecsSinceEpoch(t, Qt::UTC);
    return when.toString(span > 2 * 86400 ? QStringLiteral("MM-dd HH:mm") : QStringLiteral("HH:mm:ss"));
}

} // namespace

QColor ReceiverColour(int index, const QColor& windowColour)
{
    static const int kHues[] = {210, 20, 120, 280, 50, 175, 330, 90, 250, 0, 150, 300, 35, 195, 60, 265};
    const int hue = kHues[index % 16];
    const bool dark = windowColour.lightness() < 128;
    return QColor::fromHsl(hue, 200, dark ? 165 : 95);
}

TrendsPlot::TrendsPlot(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TrendsPlot"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setMinimumSize(320, 200);
}

void TrendsPlot::SetRange(int64_t from, int64_t to)
{
    from_ = from;
    to_ = std::max(to, from + kShortestSpan);
    update();
}

void TrendsPlot::SetSeries(std::vector<PlottedReceiver> receivers, const QString& caption)
{
    receivers_ = std::move(receivers);
    caption_ = caption;
    update();
}

void TrendsPlot::SetCursor(int64_t unixSecond)
{
    cursor_ = unixSecond;
    update();
}

void TrendsPlot::SetLoading(const QString& text)
{
    loading_ = text;
    update();
}

QRect TrendsPlot::PlotArea() const
{
    const QFontMetrics fm(font());
    const int left = fm.horizontalAdvance(QStringLiteral("-000000.00")) + 8;
    return QRect(left, fm.height() + 6, std::max(10, width() - left - 10),
                 std::max(10, height() - 3 * fm.height() - 12));
}

int TrendsPlot::PlotColumns() const { return PlotArea().width(); }

int64_t TrendsPlot::TimeAtX(double x) const
{
    const QRect a = PlotArea();
    return from_ + static_cast<int64_t>(std::llround((x - a.left()) / a.width() * static_cast<double>(to_ - from_)));
}

double TrendsPlot::XOf(int64_t t) const
{
    const QRect a = PlotArea();
    return a.left() + static_cast<double>(t - from_) / static_cast<double>(to_ - from_) * a.width();
}

void TrendsPlot::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QPalette& pal = palette();
    p.fillRect(rect(), pal.color(QPalette::Base));
    const QRect a = PlotArea();
    const QFontMetrics fm(font());
    p.setPen(pal.color(QPalette::Text));
    p.drawText(QPoint(a.left(), fm.ascent() + 2), caption_);
    // Value range over every receiver.
    double lo = INFINITY, hi = -INFINITY;
    for (const PlottedReceiver& r : receivers_)
        for (const SeriesColumn& c : r.columns)
            if (!std::isnan(c.min))
                lo = std::min(lo, c.min), hi = std::max(hi, c.max);
    if (!(lo <= hi))
        lo = 0, hi = 1;
    if (hi - lo < 1e-9 * std::max(1.0, std::fabs(hi)))
        lo -= 0.5, hi += 0.5;
    const double pad = (hi - lo) * 0.05;
    lo -= pad, hi += pad;
    auto yOf = [&](double v) { return a.bottom() - (v - lo) / (hi - lo) * a.height(); };
    // Grid and labels.
    QColor grid = pal.color(QPalette::Mid);
    const double step = RoundStep(hi - lo, 4);
    for (double k = std::ceil(lo / step); k * step <= hi; ++k) {
        const double v = k * step;
        const int y = static_cast<int>(yOf(v));
        p.setPen(grid);
        p.drawLine(a.left(), y, a.right(), y);
        p.setPen(pal.color(QPalette::Text));
        p.drawText(QRect(0, y - fm.height() / 2, a.left() - 4, fm.height()), Qt::AlignRight | Qt::AlignVCenter,
                   QString::number(v, 'g', 7));
    }
    for (int i = 0; i <= 4; ++i) {
        const int64_t t = from_ + (to_ - from_) * i / 4;
        const int x = static_cast<int>(XOf(t));
        p.setPen(grid);
        p.drawLine(x, a.top(), x, a.bottom());
        p.setPen(pal.color(QPalette::Text));
        const QString text = TimeText(t, to_ - from_);
        const int w = fm.horizontalAdvance(text);
        p.drawText(std::clamp(x - w / 2, 0, width() - w), a.bottom() + fm.ascent() + 4, text);
    }
    p.setPen(pal.color(QPalette::Text));
    p.drawRect(a);
    // Event markers, then the series: one vertical stroke per column from min to max.
    p.setClipRect(a);
    for (const PlottedReceiver& r : receivers_)
        for (const HistoryEvent& e : r.events)
            if (e.unixSecond >= from_ && e.unixSecond <= to_) {
                p.setPen(QPen(EventColour(e.kind, pal), 1, Qt::DashLine));
                p.drawLine(QPointF(XOf(e.unixSecond), a.top()), QPointF(XOf(e.unixSecond), a.bottom()));
            }
    for (const PlottedReceiver& r : receivers_) {
        p.setPen(QPen(r.colour, 1.5));
        QPointF previous;
        bool joined = false;
        for (size_t i = 0; i < r.columns.size(); ++i) {
            const SeriesColumn& c = r.columns[i];
            if (std::isnan(c.min)) {
                joined = false; // a gap stays a gap
                continue;
            }
            const double x = a.left() + static_cast<double>(i) + 0.5;
            const QPointF top(x, yOf(c.max)), bottom(x, yOf(c.min));
            if (joined)
                p.drawLine(previous, QPointF(x, (top.y() + bottom.y()) / 2));
            p.drawLine(top, bottom);
            previous = QPointF(x, (top.y() + bottom.y()) / 2);
            joined = true;
        }
    }
    if (cursor_ >= from_ && cursor_ <= to_) {
        p.setPen(QPen(pal.color(QPalette::Text), 1, Qt::DotLine));
        p.drawLine(QPointF(XOf(cursor_), a.top()), QPointF(XOf(cursor_), a.bottom()));
    }
    p.setClipping(false);
    // Legend under the time axis.
    int x = a.left();
    const int y = a.bottom() + 2 * fm.height() + 6;
    for (const PlottedReceiver& r : receivers_) {
        p.fillRect(QRect(x, y - fm.ascent() + 2, 14, fm.ascent() - 4), r.colour);
        p.setPen(pal.color(QPalette::Text));
        p.drawText(x + 18, y, r.label);
        x += 18 + fm.horizontalAdvance(r.label) + 14;
    }
    if (!loading_.isEmpty()) {
        p.setPen(pal.color(QPalette::Text));
        p.drawText(a, Qt::AlignCenter, loading_);
    }
}

void TrendsPlot::Zoom(double factor, int64_t about)
{
    const double span = std::max(static_cast<double>(kShortestSpan), static_cast<double>(to_ - from_) * factor);
    const double share = static_cast<double>(about - from_) / static_cast<double>(to_ - from_);
    from_ = about - static_cast<int64_t>(span * share);
    to_ = from_ + static_cast<int64_t>(span);
    update();
    emit rangeChanged();
}

void TrendsPlot::Pan(double fraction)
{
    const auto shift = static_cast<int64_t>(static_cast<double>(to_ - from_) * fraction);
    from_ += shift, to_ += shift;
    update();
    emit rangeChanged();
}

void TrendsPlot::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    dragging_ = true;
    dragX_ = event->position().x();
    dragFrom_ = from_, dragTo_ = to_;
    SetCursor(TimeAtX(event->position().x()));
    emit cursorMoved();
}

void TrendsPlot::mouseMoveEvent(QMouseEvent* event)
{
    if (dragging_ && (event->buttons() & Qt::LeftButton)) {
        const double dx = event->position().x() - dragX_;
        const auto shift = static_cast<int64_t>(dx / PlotArea().width() * static_cast<double>(dragTo_ - dragFrom_));
        if (shift != 0) {
            from_ = dragFrom_ - shift, to_ = dragTo_ - shift;
            update();
        }
        return;
    }
    SetCursor(TimeAtX(event->position().x()));
    emit cursorMoved();
}

void TrendsPlot::mouseReleaseEvent(QMouseEvent*)
{
    if (dragging_ && (from_ != dragFrom_))
        emit rangeChanged();
    dragging_ = false;
}

void TrendsPlot::wheelEvent(QWheelEvent* event)
{
    Zoom(event->angleDelta().y() > 0 ? 0.8 : 1.25, TimeAtX(event->position().x()));
}

void TrendsPlot::keyPressEvent(QKeyEvent* event)
{
    const int64_t centre = cursor_ >= from_ && cursor_ <= to_ ? cursor_ : (from_ + to_) / 2;
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal: Zoom(0.5, centre); break;
    case Qt::Key_Minus: Zoom(2.0, centre); break;
    case Qt::Key_Left: Pan(-0.25); break;
    case Qt::Key_Right: Pan(0.25); break;
    default: QWidget::keyPressEvent(event);
    }
}
