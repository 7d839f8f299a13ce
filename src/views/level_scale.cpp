#include "views/level_scale.h"

#include <QLinearGradient>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "platform/widgets.h"
#include "views/view_colours.h"

namespace {

constexpr double kScaleWidth = 170;
constexpr int kTicks = 4; // 0, 5, 10, 15, 20+ AMU; 25, 30, 35, 40, 45+ dB-Hz

} // namespace

QRectF LegendStrip(double windowWidth, double windowHeight)
{
    return QRectF(0, windowHeight - kLegendHeight, windowWidth, kLegendHeight);
}

LevelUnit UnitOfLevels(const std::vector<TrackedSatellite>& satellites)
{
    for (const TrackedSatellite& s : satellites)
        if (s.system != kNoSystem)
            return LevelUnit::DbHz;
    return LevelUnit::Amu;
}

float WeakLevel(LevelUnit unit) { return unit == LevelUnit::DbHz ? 25.0f : 0.0f; }
float FullScaleLevel(LevelUnit unit) { return unit == LevelUnit::DbHz ? 45.0f : kFullScaleAmu; }

QColor LevelColour(float level, LevelUnit unit)
{
    const double weak = WeakLevel(unit), full = FullScaleLevel(unit);
    const double fraction = std::clamp((std::fabs(static_cast<double>(level)) - weak) / (full - weak), 0.0, 1.0);
    return QColor::fromHsvF(static_cast<float>(fraction / 3.0), 0.75f, 0.95f); // hue 0 (red) to 120 (green)
}

// Blue, lightened on a dark background until it stands out from it.
QColor InFixColour() { return WithContrast(QColor(0, 70, 200), WindowColour(), 3.0); }

QRectF DrawLevelScale(QPainter& p, const QRectF& area, LevelUnit unit)
{
    const double weak = WeakLevel(unit), full = FullScaleLevel(unit);
    const QRectF bar(area.left() + 10, area.top() + 18, kScaleWidth, 10);
    p.setPen(FieldTextColour());
    p.drawText(QRectF(bar.left(), area.top() + 2, kScaleWidth + 40, 16), Qt::AlignLeft | Qt::AlignVCenter,
               unit == LevelUnit::DbHz ? "Signal level (dB-Hz)" : "Signal level (AMU)");
    QLinearGradient gradient(bar.topLeft(), bar.topRight());
    for (int i = 0; i <= 10; ++i)
        gradient.setColorAt(i / 10.0, LevelColour(static_cast<float>(weak + (full - weak) * i / 10.0), unit));
    p.setPen(QPen(FieldTextColour(), 1));
    p.setBrush(gradient);
    p.drawRect(bar);
    for (int i = 0; i <= kTicks; ++i) {
        const double x = bar.left() + bar.width() * i / kTicks;
        const int level = static_cast<int>(std::lround(weak + (full - weak) * i / kTicks));
        const QString text = i == kTicks ? QString("%1+").arg(level) : QString::number(level);
        p.drawLine(QPointF(x, bar.bottom()), QPointF(x, bar.bottom() + 3));
        p.drawText(QRectF(x - 15, bar.bottom() + 3, 30, 14), Qt::AlignHCenter | Qt::AlignTop, text);
    }
    return QRectF(bar.right() + 24, area.top(), std::max(0.0, area.right() - bar.right() - 24), area.height());
}
