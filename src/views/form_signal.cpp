#include "views/form_signal.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "views/level_scale.h"
#include "views/view_colours.h"
#include "views/view_support.h"

TForm_Signal* Form_Signal = nullptr;

namespace {

constexpr double kAxisWidth = 34;   // level captions left of the plot
constexpr double kLabelHeight = 20; // PRN captions under the bars
constexpr double kTopRoom = 18;     // level captions over the bars
constexpr double kGridStepAmu = 5;
constexpr double kMaxBarWidth = 44;

double Magnitude(float level) { return std::fabs(static_cast<double>(level)); }

// In the text colour with a rim of the background, so it shows on the bar's
// fill and on the background alike, in light and dark schemes.
void DrawLatchLine(QPainter& p, const QRectF& bar, double y)
{
    const QPointF from(bar.left() - 4, y), to(bar.right() + 4, y);
    p.setPen(QPen(WindowColour(), 5, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(from, to);
    p.setPen(QPen(FieldTextColour(), 3, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(from, to);
}

void DrawBar(QPainter& p, const TForm_Signal::Bar& b, const QRectF& plot)
{
    const QColor fill = LevelColour(b.level, b.unit);
    p.setPen(b.inFix ? QPen(InFixColour(), 3) : QPen(FieldLineColour(0.6), 1));
    p.setBrush(fill);
    p.drawRect(b.rect);
    if (b.latchY)
        DrawLatchLine(p, b.rect, *b.latchY);
    p.setPen(FieldTextColour());
    const double slot = std::max(b.rect.width() + 16, 40.0);
    p.drawText(QRectF(b.rect.center().x() - slot / 2, b.rect.top() - kTopRoom, slot, kTopRoom),
               Qt::AlignHCenter | Qt::AlignBottom, QString::number(static_cast<double>(b.level), 'f', 1));
    QFont font = p.font();
    font.setBold(b.inFix);
    p.setFont(font);
    p.setPen(b.inFix ? InFixColour() : FieldTextColour());
    p.drawText(QRectF(b.rect.center().x() - slot / 2, plot.bottom() + 2, slot, kLabelHeight - 2),
               Qt::AlignHCenter | Qt::AlignTop, b.label);
    font.setBold(false);
    p.setFont(font);
}

void DrawSamples(QPainter& p, const QRectF& area, LevelUnit unit)
{
    const QRectF bar(area.left(), area.top() + 12, 16, 22);
    p.setPen(QPen(InFixColour(), 3));
    p.setBrush(LevelColour(FullScaleLevel(unit), unit));
    p.drawRect(bar);
    p.setPen(FieldTextColour());
    p.drawText(QRectF(bar.right() + 6, bar.top(), 60, bar.height()), Qt::AlignLeft | Qt::AlignVCenter, "in fix");
    const QRectF latch(bar.right() + 66, bar.top(), 16, bar.height());
    DrawLatchLine(p, latch, latch.center().y());
    p.setPen(FieldTextColour());
    p.drawText(QRectF(latch.right() + 8, latch.top(), 100, latch.height()), Qt::AlignLeft | Qt::AlignVCenter,
               "weakest level");
}

} // namespace

TForm_Signal::TForm_Signal() : Form("Form_Signal", "Signal Levels", 440, 300)
{
    MakeResizable(this, QSize(300, 200));
    RepaintOnTrackingChanges(this);
}

QRectF TForm_Signal::PlotArea() const
{
    return QRectF(kAxisWidth, kTopRoom + 6, std::max(0.0, width() - kAxisWidth - 12),
                  std::max(0.0, height() - kLegendHeight - kLabelHeight - kTopRoom - 6));
}

double TForm_Signal::ScaleTop() const
{
    double top = kFullScaleAmu;
    if (const PortReportRecord* reports = DisplayReports())
        for (const TrackedSatellite& s : TrackedSatellites(*reports))
            top = std::max({top, Magnitude(s.level), Magnitude(s.latchedLevel)});
    return std::ceil(top / kGridStepAmu) * kGridStepAmu;
}

std::vector<TForm_Signal::Bar> TForm_Signal::Bars() const
{
    std::vector<Bar> bars;
    const PortReportRecord* reports = DisplayReports();
    if (!reports)
        return bars;
    const std::vector<TrackedSatellite> tracked = TrackedSatellites(*reports);
    const LevelUnit unit = UnitOfLevels(tracked);
    const QRectF plot = PlotArea();
    const double top = ScaleTop();
    const double pitch = plot.width() / std::max<size_t>(tracked.size(), 4);
    const double width = std::min(pitch * 0.6, kMaxBarWidth);
    auto heightOf = [&](float level) { return plot.height() * Magnitude(level) / top; };
    for (size_t i = 0; i < tracked.size(); ++i) {
        const TrackedSatellite& s = tracked[i];
        const double centre = plot.left() + pitch * (static_cast<double>(i) + 0.5);
        const double h = heightOf(s.level);
        Bar b{s.channel, s.prn, s.level, QRectF(centre - width / 2, plot.bottom() - h, width, h), s.inFix, {}, 0,
              SatelliteText(s), unit};
        if (s.latchedPrn != 0) {
            b.latchY = plot.bottom() - heightOf(s.latchedLevel);
            b.latchedPrn = s.latchedPrn;
        }
        bars.push_back(b);
    }
    return bars;
}

void TForm_Signal::DrawGrid(QPainter& p, double top) const
{
    const QRectF plot = PlotArea();
    for (double amu = 0; amu <= top; amu += kGridStepAmu) {
        const double y = plot.bottom() - plot.height() * amu / top;
        p.setPen(QPen(FieldLineColour(amu == 0 ? 0.5 : 0.3), 1, amu == 0 ? Qt::SolidLine : Qt::DotLine));
        p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        p.setPen(FieldTextColour());
        p.drawText(QRectF(0, y - 8, kAxisWidth - 6, 16), Qt::AlignRight | Qt::AlignVCenter, QString::number(amu));
    }
}

void TForm_Signal::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const double top = ScaleTop();
    const std::vector<Bar> bars = Bars();
    const LevelUnit unit = bars.empty() ? shownUnit_ : bars.front().unit;
    shownUnit_ = unit; // the legend keeps its unit while no satellite is tracked
    background_.Paint(p, *this, static_cast<quint64>(top) * 2 + static_cast<quint64>(unit), [&](QPainter& b) {
        DrawGrid(b, top);
        DrawSamples(b, DrawLevelScale(b, LegendStrip(width(), height()), unit), unit);
    });
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF plot = PlotArea();
    for (const Bar& b : bars)
        DrawBar(p, b, plot);
    if (bars.empty()) {
        p.setPen(InactiveCaptionTextColour());
        p.drawText(plot, Qt::AlignCenter, "No satellites tracked");
    }
}
