#include "views/stability_plot.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

const Deviation& DeviationOf(const StabilityRow& row, StabilityStatistic statistic)
{
    switch (statistic) {
    case StabilityStatistic::Mdev: return row.mdev;
    case StabilityStatistic::Tdev: return row.tdev;
    case StabilityStatistic::Adev: break;
    }
    return row.adev;
}

StabilityPlot::StabilityPlot(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("StabilityPlot"));
    setMinimumSize(320, 220);
}

void StabilityPlot::SetCurves(std::vector<StabilityCurve> curves)
{
    curves_ = std::move(curves);
    update();
}

void StabilityPlot::SetStatistic(StabilityStatistic statistic)
{
    statistic_ = statistic;
    update();
}

void StabilityPlot::SetMessage(const QString& message)
{
    message_ = message;
    update();
}

void StabilityPlot::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QPalette& pal = palette();
    p.fillRect(rect(), pal.color(QPalette::Base));
    const QFontMetrics fm(font());
    const QRect a(fm.horizontalAdvance(QStringLiteral("1e-10")) + 10, fm.height() + 6,
                  std::max(10, width() - fm.horizontalAdvance(QStringLiteral("1e-10")) - 24),
                  std::max(10, height() - 4 * fm.height() - 12));
    // Decades spanning every value and bar.
    double tauLo = INFINITY, tauHi = -INFINITY, lo = INFINITY, hi = -INFINITY;
    for (const StabilityCurve& c : curves_)
        for (const StabilityRow& r : c.rows) {
            const Deviation& d = DeviationOf(r, statistic_);
            if (!(d.value > 0))
                continue;
            tauLo = std::min(tauLo, r.tau), tauHi = std::max(tauHi, r.tau);
            lo = std::min(lo, d.low > 0 ? d.low : d.value), hi = std::max(hi, d.high > 0 ? d.high : d.value);
        }
    const bool empty = !(tauLo <= tauHi);
    const double x0 = empty ? 0 : std::floor(std::log10(tauLo)), x1 = empty ? 3 : std::ceil(std::log10(tauHi) + 1e-9);
    const double y0 = empty ? -10 : std::floor(std::log10(lo)), y1 = empty ? -7 : std::ceil(std::log10(hi) + 1e-9);
    const double xs = std::max(x1 - x0, 1.0), ys = std::max(y1 - y0, 1.0);
    auto px = [&](double tau) { return a.left() + (std::log10(tau) - x0) / xs * a.width(); };
    auto py = [&](double v) { return a.bottom() - (std::log10(v) - y0) / ys * a.height(); };
    const QColor grid = pal.color(QPalette::Mid);
    for (int d = static_cast<int>(x0); d <= static_cast<int>(x0 + xs); ++d) {
        const double x = px(std::pow(10.0, d));
        p.setPen(grid);
        p.drawLine(QPointF(x, a.top()), QPointF(x, a.bottom()));
        p.setPen(pal.color(QPalette::Text));
        p.drawText(QPointF(x - fm.horizontalAdvance(QStringLiteral("1e0")) / 2.0, a.bottom() + fm.ascent() + 4),
                   QStringLiteral("1e%1").arg(d));
    }
    for (int d = static_cast<int>(y0); d <= static_cast<int>(y0 + ys); ++d) {
        const double y = py(std::pow(10.0, d));
        p.setPen(grid);
        p.drawLine(QPointF(a.left(), y), QPointF(a.right(), y));
        p.setPen(pal.color(QPalette::Text));
        p.drawText(QRectF(0, y - fm.height() / 2.0, a.left() - 4, fm.height()), Qt::AlignRight | Qt::AlignVCenter,
                   QStringLiteral("1e%1").arg(d));
    }
    p.setPen(pal.color(QPalette::Text));
    p.drawRect(a);
    static const char* const kNames[] = {"ADEV", "MDEV", "TDEV (s)"};
    p.drawText(QPoint(a.left(), fm.ascent() + 2),
               QStringLiteral("%1 against averaging time tau (s)").arg(kNames[static_cast<int>(statistic_)]));
    for (const StabilityCurve& c : curves_) {
        p.setPen(QPen(c.colour, 1.5));
        QPointF previous;
        bool joined = false;
        for (const StabilityRow& r : c.rows) {
            const Deviation& d = DeviationOf(r, statistic_);
            if (!(d.value > 0)) {
                joined = false;
                continue;
            }
            const QPointF at(px(r.tau), py(d.value));
            if (joined)
                p.drawLine(previous, at);
            if (d.low > 0 && d.high > 0) { // the confidence bar with its caps
                p.drawLine(QPointF(at.x(), py(d.low)), QPointF(at.x(), py(d.high)));
                p.drawLine(QPointF(at.x() - 3, py(d.low)), QPointF(at.x() + 3, py(d.low)));
                p.drawLine(QPointF(at.x() - 3, py(d.high)), QPointF(at.x() + 3, py(d.high)));
            }
            p.drawEllipse(at, 2.5, 2.5);
            previous = at;
            joined = true;
        }
    }
    int x = a.left();
    const int y = a.bottom() + 2 * fm.height() + 6;
    for (const StabilityCurve& c : curves_) {
        p.fillRect(QRect(x, y - fm.ascent() + 2, 14, fm.ascent() - 4), c.colour);
        p.setPen(pal.color(QPalette::Text));
        p.drawText(x + 18, y, c.label);
        x += 18 + fm.horizontalAdvance(c.label) + 14;
    }
    if (!message_.isEmpty()) {
        p.setPen(pal.color(QPalette::Text));
        p.drawText(a.adjusted(8, 8, -8, -8), Qt::AlignTop | Qt::AlignRight | Qt::TextWordWrap, message_);
    }
}
