#include "views/form_sky.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "views/level_scale.h"
#include "views/view_colours.h"
#include "views/view_support.h"

TForm_Sky* Form_Sky = nullptr;

namespace {

constexpr double kMargin = 26; // room for the N/E/S/W letters around the horizon
constexpr double kDiscRadius = TForm_Sky::kDiscRadius;
constexpr double kFixRingGap = 4;

void DrawRings(QPainter& p, QPointF centre, double horizon)
{
    p.setPen(QPen(FieldLineColour(0.5), 1));
    p.setBrush(Qt::NoBrush);
    for (int elevation : {0, 30, 60}) {
        const double r = horizon * (90 - elevation) / 90.0;
        p.drawEllipse(centre, r, r);
        p.drawText(QPointF(centre.x() + 3, centre.y() - r + 12), QString("%1%2").arg(elevation).arg(QChar(0x00B0)));
    }
    p.setPen(QPen(FieldLineColour(0.3), 1, Qt::DashLine));
    p.drawLine(QPointF(centre.x(), centre.y() - horizon), QPointF(centre.x(), centre.y() + horizon));
    p.drawLine(QPointF(centre.x() - horizon, centre.y()), QPointF(centre.x() + horizon, centre.y()));
}

void DrawCompass(QPainter& p, QPointF centre, double horizon)
{
    p.setPen(FieldTextColour());
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
    p.drawEllipse(m.disc, kDiscRadius + kFixRingGap, kDiscRadius + kFixRingGap);
}

// A disc moved off its place keeps a line to where the satellite is.
void DrawLeader(QPainter& p, const TForm_Sky::Mark& m)
{
    if (m.disc == m.at)
        return;
    p.setPen(QPen(FieldTextColour(), 1));
    p.setBrush(FieldTextColour());
    p.drawLine(m.at, m.disc);
    p.drawEllipse(m.at, 2, 2);
}

// Over the rings of all satellites, so close neighbours stay readable.
void DrawDisc(QPainter& p, const TForm_Sky::Mark& m)
{
    const QColor fill = LevelColour(m.level, m.unit);
    p.setPen(QPen(FieldLineColour(0.7), 1));
    p.setBrush(fill);
    p.drawEllipse(m.disc, kDiscRadius, kDiscRadius);
    if (m.prn == 0)
        return; // the legend's sample
    p.setPen(ReadableTextOn(fill));
    const QRectF box(m.disc.x() - kDiscRadius, m.disc.y() - kDiscRadius, 2 * kDiscRadius, 2 * kDiscRadius);
    p.drawText(box, Qt::AlignCenter, m.label);
}

// Satellites at nearly the same place would hide each other: each disc that
// meets one placed before it moves out, around its own place, to the nearest
// free spot (rings of 12 directions, starting away from the disc it met).
void SpreadDiscs(std::vector<TForm_Sky::Mark>& marks)
{
    constexpr double kApart = 2 * (kDiscRadius + kFixRingGap);
    auto firstHit = [&](QPointF at, size_t placed) -> const TForm_Sky::Mark* {
        for (size_t j = 0; j < placed; ++j)
            if (std::hypot(at.x() - marks[j].disc.x(), at.y() - marks[j].disc.y()) < kApart)
                return &marks[j];
        return nullptr;
    };
    for (size_t i = 0; i < marks.size(); ++i) {
        TForm_Sky::Mark& m = marks[i];
        m.disc = m.at;
        const TForm_Sky::Mark* hit = firstHit(m.at, i);
        if (!hit)
            continue;
        const QPointF away = m.at - hit->disc;
        const double start = away.isNull() ? -std::numbers::pi / 2 : std::atan2(away.y(), away.x());
        bool placed = false;
        for (int ring = 1; ring <= 4 && !placed; ++ring) {
            for (int k = 0; k < 12 && !placed; ++k) {
                const double angle = start + k * std::numbers::pi / 6;
                const QPointF candidate = m.at + ring * kApart * QPointF(std::cos(angle), std::sin(angle));
                if (!firstHit(candidate, i)) {
                    m.disc = candidate;
                    placed = true;
                }
            }
        }
    }
}

void DrawFixSample(QPainter& p, const QRectF& area, LevelUnit unit)
{
    const QPointF at(area.left() + kDiscRadius + kFixRingGap, area.top() + 23);
    const TForm_Sky::Mark sample{0, at, true, FullScaleLevel(unit), at, {}, unit};
    DrawFixRing(p, sample);
    DrawDisc(p, sample);
    p.setPen(FieldTextColour());
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
    const std::vector<TrackedSatellite> tracked = TrackedSatellites(*reports);
    const LevelUnit unit = UnitOfLevels(tracked);
    for (const TrackedSatellite& s : tracked) {
        // Below the horizon (or not yet known) is drawn on it.
        const double elevation = std::clamp(static_cast<double>(s.elevationDeg), 0.0, 90.0);
        const double r = horizon * (90.0 - elevation) / 90.0;
        const double azimuth = s.azimuthDeg * std::numbers::pi / 180.0;
        const QPointF at = centre + QPointF(r * std::sin(azimuth), -r * std::cos(azimuth));
        marks.push_back({s.prn, at, s.inFix, s.level, at, SatelliteText(s), unit});
    }
    SpreadDiscs(marks);
    return marks;
}

void TForm_Sky::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QPointF centre = PlotCentre();
    const double horizon = HorizonRadius();
    const std::vector<Mark> marks = Marks();
    const LevelUnit unit = marks.empty() ? shownUnit_ : marks.front().unit;
    shownUnit_ = unit; // the legend keeps its unit while no satellite is tracked
    background_.Paint(p, *this, static_cast<quint64>(unit), [&](QPainter& b) {
        DrawRings(b, centre, horizon);
        DrawCompass(b, centre, horizon);
        DrawFixSample(b, DrawLevelScale(b, LegendStrip(width(), height()), unit), unit);
    });
    p.setRenderHint(QPainter::Antialiasing);
    for (const Mark& m : marks)
        DrawLeader(p, m);
    for (const Mark& m : marks)
        DrawFixRing(p, m);
    for (const Mark& m : marks)
        DrawDisc(p, m);
    if (marks.empty()) {
        p.setPen(InactiveCaptionTextColour());
        p.drawText(PlotArea(), Qt::AlignCenter, "No satellites tracked");
    }
}
