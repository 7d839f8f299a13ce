#include "views/form_scatter.h"

#include <QPainter>
#include <QPushButton>
#include <algorithm>
#include <bit>
#include <cmath>
#include <numbers>

#include "notify/receiver_notifier.h"
#include "platform/ui.h"
#include "views/view_colours.h"
#include "views/view_support.h"

TForm_Scatter* Form_Scatter = nullptr;

namespace {

constexpr double kTextHeight = 76; // four lines of text under the plot
constexpr double kMargin = 16;
constexpr double kSmallestExtentM = 0.5;

// Rounded first, so a value that shows as zero shows without a minus sign.
double Rounded(double v, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return std::round(v * scale) / scale + 0.0;
}

QString Fixed(double v, int decimals) { return QString::number(Rounded(v, decimals), 'f', decimals); }

QString Angle(double rad, char positive, char negative)
{
    const double deg = Rounded(rad * 180.0 / std::numbers::pi, 6);
    return QString("%1%2 %3").arg(Fixed(std::fabs(deg), 6)).arg(QChar(0x00B0)).arg(deg < 0 ? negative : positive);
}

// 1, 2 or 5 times a power of ten: about four grid rings across the radius.
double GridStep(double extentM)
{
    const double raw = extentM / 4;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0})
        if (m * power >= raw)
            return m * power;
    return 10 * power;
}

void DrawGrid(QPainter& p, QPointF centre, double pixelsPerMetre, double radiusPx)
{
    const double step = GridStep(radiusPx / pixelsPerMetre);
    p.setPen(QPen(FieldLineColour(0.25), 1));
    p.setBrush(Qt::NoBrush);
    for (double m = step; m * pixelsPerMetre <= radiusPx * 1.001; m += step)
        p.drawEllipse(centre, m * pixelsPerMetre, m * pixelsPerMetre);
    p.drawLine(QPointF(centre.x(), centre.y() - radiusPx), QPointF(centre.x(), centre.y() + radiusPx));
    p.drawLine(QPointF(centre.x() - radiusPx, centre.y()), QPointF(centre.x() + radiusPx, centre.y()));
    p.setPen(FieldTextColour());
    p.drawText(QPointF(centre.x() + 3, centre.y() - radiusPx + 11), "N");
    p.drawText(QPointF(centre.x() + radiusPx - 9, centre.y() - 3), "E");
    p.drawText(QPointF(centre.x() + step * pixelsPerMetre + 2, centre.y() + 12),
               QString("%1 m").arg(step, 0, 'g', 3));
}

// The caption sits outside the circle, above it (up) or below it to the right.
void DrawCircle(QPainter& p, QPointF centre, double radiusPx, const QPen& pen, const QString& caption, bool up)
{
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, radiusPx, radiusPx);
    const double d = radiusPx / std::numbers::sqrt2;
    p.drawText(up ? QPointF(centre.x() + d + 3, centre.y() - d - 3) : QPointF(centre.x() + d + 3, centre.y() + d + 13),
               caption);
}

// One dot per pixel however many fixes fall on it: a long history of a still
// receiver piles thousands of fixes on a few hundred pixels.
void DrawDots(QPainter& p, const std::vector<QPointF>& points)
{
    std::vector<QPoint> pixels;
    pixels.reserve(points.size());
    for (const QPointF& at : points)
        pixels.push_back(at.toPoint());
    std::sort(pixels.begin(), pixels.end(),
              [](const QPoint& a, const QPoint& b) { return a.x() != b.x() ? a.x() < b.x() : a.y() < b.y(); });
    pixels.erase(std::unique(pixels.begin(), pixels.end()), pixels.end());
    // A dot drawn once and copied: much cheaper than thousands of antialiased
    // circles. Made again when the colour scheme changes.
    static QImage dot;
    const QColor colour = FieldTextColour();
    if (dot.isNull() || dot.pixelColor(2, 2).rgb() != colour.rgb()) {
        dot = QImage(5, 5, QImage::Format_ARGB32_Premultiplied);
        dot.fill(Qt::transparent);
        QPainter painter(&dot);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawEllipse(QPointF(2.5, 2.5), 1.8, 1.8);
    }
    for (const QPoint& at : pixels)
        p.drawImage(at - QPoint(2, 2), dot);
}

} // namespace

TForm_Scatter::TForm_Scatter() : Form("Form_Scatter", "Position Scatter", 400, 470)
{
    MakeResizable(this, QSize(280, 320));
    clear_ = new QPushButton("Clear", this);
    clear_->setObjectName("Button_Clear");
    // Enter in the window must not erase the history: Clear is never the default.
    clear_->setAutoDefault(false);
    clear_->setDefault(false);
    connect(clear_, &QPushButton::clicked, this, &TForm_Scatter::Clear);
    ReceiverNotifier& r = Receivers();
    connect(&r, &ReceiverNotifier::positionChanged, this, &TForm_Scatter::KeepFix);
    repaint_ = new RepaintThrottle(this);
    connect(&r, &ReceiverNotifier::portStateChanged, repaint_, &RepaintThrottle::Request);
}

void TForm_Scatter::KeepFix(int slot)
{
    if (slot < 0 || slot >= kPortSlots)
        return;
    const size_t s = static_cast<size_t>(slot);
    const PortReportRecord& reports = PortReports[s];
    const std::optional<Ecef> fix = LastFixOf(reports);
    if (!fix)
        return;
    // A receiver sending both an ECEF and an LLA report of one fix counts once.
    if (last_[s].id != 0 && last_[s].id != reports.positionId && last_[s].time == reports.fixTime)
        return;
    last_[s] = {reports.positionId, reports.fixTime};
    history_[s].Add(*fix);
    if (IsDisplaySlot(slot))
        repaint_->Request();
}

void TForm_Scatter::Clear()
{
    if (DisplayPort < 1 || DisplayPort > kPortSlots)
        return;
    const size_t slot = static_cast<size_t>(DisplayPort - 1);
    const size_t count = history_[slot].Count();
    if (count == 0 || !ui::AskYesNo(QString("Clear the %1 fixes of COM%2 from the Position Scatter?")
                                        .arg(count)
                                        .arg(DisplayPort),
                                    "Clear?", ui::Icon::Warning, ui::Answer::No))
        return;
    history_[slot].Clear();
    last_[slot] = {};
    repaint_->Request();
}

QRectF TForm_Scatter::PlotArea() const
{
    return QRectF(0, 0, width(), height() - kTextHeight).adjusted(kMargin, kMargin, -kMargin, -kMargin);
}

QPointF TForm_Scatter::PlotCentre() const { return PlotArea().center(); }

TForm_Scatter::Picture TForm_Scatter::Draw() const
{
    Picture picture;
    if (DisplayPort < 1 || DisplayPort > kPortSlots)
        return picture;
    const FixHistory& history = history_[static_cast<size_t>(DisplayPort - 1)];
    const std::vector<LocalOffset> offsets = history.Offsets();
    picture.stats = SummariseOffsets(offsets);
    picture.stats.mean = history.Mean();
    // Everything fits: the farthest fix and the 2DRMS circle, with a tenth to spare.
    double extent = std::max(kSmallestExtentM, picture.stats.drms2);
    for (const LocalOffset& o : offsets)
        extent = std::max(extent, std::hypot(o.east, o.north));
    const QRectF area = PlotArea();
    picture.pixelsPerMetre = std::max(1.0, std::min(area.width(), area.height()) / 2) / (extent * 1.1);
    const QPointF centre = area.center();
    picture.points.reserve(offsets.size());
    for (const LocalOffset& o : offsets)
        picture.points.push_back(centre + QPointF(o.east, -o.north) * picture.pixelsPerMetre);
    return picture;
}

ScatterStats TForm_Scatter::Stats() const { return Draw().stats; }
std::vector<QPointF> TForm_Scatter::Points() const { return Draw().points; }
double TForm_Scatter::PixelsPerMetre() const { return Draw().pixelsPerMetre; }

QString TForm_Scatter::SummaryText() const { return Summary(Stats()); }

QString TForm_Scatter::Summary(const ScatterStats& s)
{
    const QString port = DisplayPort >= 1 ? QString("COM%1").arg(DisplayPort) : QString("no port");
    if (s.count == 0)
        return QString("Fixes: 0 (%1)").arg(port);
    const QChar sigma(0x03C3);
    return QString("Fixes: %1 (%2)\n").arg(s.count).arg(port) +
           QString("Mean: %1  %2  %3 m\n")
               .arg(Angle(s.mean.latRad, 'N', 'S'), Angle(s.mean.lonRad, 'E', 'W'))
               .arg(Fixed(s.mean.altM, 2)) +
           QString("%1 north %2 m   %1 east %3 m   %1 up %4 m\n")
               .arg(sigma)
               .arg(Fixed(s.sigmaNorth, 2), Fixed(s.sigmaEast, 2), Fixed(s.sigmaUp, 2)) +
           QString("CEP50 %1 m   2DRMS %2 m").arg(Fixed(s.cep50, 2), Fixed(s.drms2, 2));
}

void TForm_Scatter::resizeEvent(QResizeEvent* event)
{
    Form::resizeEvent(event);
    const QSize hint = clear_->sizeHint();
    clear_->setGeometry(width() - hint.width() - 10, height() - hint.height() - 10, hint.width(), hint.height());
}

void TForm_Scatter::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const Picture picture = Draw();
    const std::vector<QPointF>& points = picture.points;
    const double scale = picture.pixelsPerMetre;
    const QRectF plot = PlotArea();
    const QPointF centre = plot.center();
    grid_.Paint(p, *this, std::bit_cast<quint64>(scale),
                [&](QPainter& b) { DrawGrid(b, centre, scale, std::min(plot.width(), plot.height()) / 2); });
    p.setRenderHint(QPainter::Antialiasing);
    DrawDots(p, points);
    if (!points.empty()) {
        p.setPen(Qt::NoPen);
        p.setBrush(WithContrast(Qt::red, WindowColour(), 3.0)); // the latest fix
        p.drawEllipse(points.back(), 3.5, 3.5);
        const QColor cep = WithContrast(QColor(0, 90, 220), WindowColour(), 3.0);
        const QColor drms = WithContrast(QColor(200, 40, 40), WindowColour(), 3.0);
        DrawCircle(p, centre, picture.stats.cep50 * scale, QPen(cep, 2), "CEP50", false);
        DrawCircle(p, centre, picture.stats.drms2 * scale, QPen(drms, 2, Qt::DashLine), "2DRMS", true);
    }
    p.setPen(FieldTextColour());
    const QRectF text(10, height() - kTextHeight + 4, width() - clear_->width() - 30, kTextHeight - 8);
    p.drawText(text, Qt::AlignLeft | Qt::AlignTop, Summary(picture.stats));
}
