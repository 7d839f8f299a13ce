#include "views/form_sky.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "views/level_scale.h"
#include "views/view_support.h"

TForm_Sky* Form_Sky = nullptr;

namespace {

constexpr double kMargin = 26;      // room for the N/E/S/W letters around the horizon
constexpr double kDiscRadius = 11;
constexpr double kFixRingGap = 4;

void DrawRings(QPainter& p, QPointF centre, double horizon)
{
    p.setPen(QPen(QColor(150, 150, 150), 1));
    p.setBrush(Qt::NoBrush);
    for (int elevation : {0, 30, 60}) {
        const double r = horizon * (90 - elevation) / 90.0;
        p.drawEllipse(centre, r, r);
        p.drawText(QPointF(centre.x() + 3, centre.y() - r + 12), QString("%1%2").arg(elevation).arg(QChar(0x00B0)));
    }
    p.setPen(QPen(QColor(190, 190, 190), 1, Qt::DashLine));
    p.drawLine(QPointF(centre.x(), centre.y() - horizon), QPointF(centre.x(), centre.y() + horizon));
    p.drawLine(QPointF(centre.x() - horizon, centre.y()), QPointF(centre.x() + horizon, centre.y()));
}

void DrawCompass(QPainter& p, QPointF centre, double horizon)
{
    p.setPen(WindowTextColour());
    QFont bold = p.font();
    bold.setBold(true);
    p.setFont(bold);
    const double d = horizon + kMargin / 2;
    const QSizeF box(kMargin, kMargin);
    const struct {
        const char* text;
        QPointF at;
    } letters[] = {{"N", {0, -d}}, {"E", {d, 0}}, {"S", {0, d}}, {"W", {-d, 0}}};
    for (const auto& l : letters)
        p.drawText(QRectF(centre + l.at - QPointF(box.width() / 2, box.height() / 2), box), Qt::AlignCenter, l.text);
    bold.setBold(false);
    p.setFont(bold);
}

void DrawFixRing(QPainter& p, const TForm_Sky::Mark& m)
{
    if (!m.inFix)
        return;
    p.setPen(QPen(InFixColour(), 2.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(m.at, kDiscRadius + kFixRingGap, kDiscRadius + kFixRingGap);
}

// Over the rings of all satellites, so close neighbours stay readable.
void DrawDisc(QPainter& p, const TForm_Sky::Mark& m)
{
    const QColor fill = LevelColour(m.level);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(fill);
    p.drawEllipse(m.at, kDiscRadius, kDiscRadius);
    if (m.prn == 0)
        return; // the legend's sample
    p.setPen(ReadableTextOn(fill));
    const QRectF box(m.at.x() - kDiscRadius, m.at.y() - kDiscRadius, 2 * kDiscRadius, 2 * kDiscRadius);
    p.drawText(box, Qt::AlignCenter, m.label);
}

void DrawFixSample(QPainter& p, const QRectF& area)
{
    const QPointF at(area.left() + kDiscRadius + kFixRingGap, area.top() + 23);
    const TForm_Sky::Mark sample{0, at, true, kFullScaleAmu, {}};
    DrawFixRing(p, sample);
    DrawDisc(p, sample);
    p.setPen(WindowTextColour());
    p.drawText(QRectF(at.x() + kDiscRadius + 8, at.y() - 8, 80, 16), Qt::AlignLeft | Qt::AlignVCenter, "in fix");
}

} // namespace

TForm_Sky::TForm_Sky() : Form("Form_Sky", "Sky Plot", 360, 420)
{
    MakeResizable(this, QSize(220, 260));
    RepaintOnTrackingChanges(this);
}

QRectF TForm_Sky::PlotArea() const
{
    return QRectF(0, 0, width(), height() - kLegendHeight).adjusted(kMargin, kMargin, -kMargin, -kMargin);
}

QPointF TForm_Sky::PlotCentre() const { return PlotArea().center(); }

double TForm_Sky::HorizonRadius() const
{
    const QRectF area = PlotArea();
    return std::max(0.0, std::min(area.width(), area.height()) / 2);
}

std::vector<TForm_Sky::Mark> TForm_Sky::Marks() const
{
    std::vector<Mark> marks;
    const PortReportRecord* reports = DisplayReports();
    if (!reports)
        return marks;
    const QPointF centre = PlotCentre();
    const double horizon = HorizonRadius();
    for (const TrackedSatellite& s : TrackedSatellites(*reports)) {
        // Below the horizon (or not yet known) is drawn on it.
        const double elevation = std::clamp(static_cast<double>(s.elevationDeg), 0.0, 90.0);
        const double r = horizon * (90.0 - elevation) / 90.0;
        const double azimuth = s.azimuthDeg * std::numbers::pi / 180.0;
        marks.push_back({s.prn, centre + QPointF(r * std::sin(azimuth), -r * std::cos(azimuth)), s.inFix, s.level,
                         SatelliteText(s)});
    }
    return marks;
}

void TForm_Sky::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), WindowColour());
    const QPointF centre = PlotCentre();
    const double horizon = HorizonRadius();
    DrawRings(p, centre, horizon);
    DrawCompass(p, centre, horizon);
    const std::vector<Mark> marks = Marks();
    for (const Mark& m : marks)
        DrawFixRing(p, m);
    for (const Mark& m : marks)
        DrawDisc(p, m);
    if (marks.empty()) {
        p.setPen(InactiveCaptionTextColour());
        p.drawText(PlotArea(), Qt::AlignCenter, "No satellites tracked");
    }
    DrawFixSample(p, DrawLevelScale(p, LegendStrip(width(), height())));
}
