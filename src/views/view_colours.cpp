#include "views/view_colours.h"

#include <QApplication>
#include <QPalette>
#include <algorithm>
#include <cmath>

#include "platform/widgets.h"

namespace {

double RelativeLuminance(const QColor& c)
{
    auto linear = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

QColor Mix(const QColor& from, const QColor& to, double share)
{
    auto channel = [share](int a, int b) { return qRound(a + (b - a) * share); };
    return QColor(channel(from.red(), to.red()), channel(from.green(), to.green()), channel(from.blue(), to.blue()));
}

} // namespace

double ContrastRatio(const QColor& a, const QColor& b)
{
    const double la = RelativeLuminance(a), lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor WithContrast(const QColor& colour, const QColor& background, double ratio)
{
    if (ContrastRatio(colour, background) >= ratio)
        return colour;
    // Away from the background: towards white on a dark one, black on a light one.
    const QColor end = RelativeLuminance(background) < 0.18 ? QColor(Qt::white) : QColor(Qt::black);
    for (int step = 1; step <= 20; ++step) {
        const QColor mixed = Mix(colour, end, step / 20.0);
        if (ContrastRatio(mixed, background) >= ratio)
            return mixed;
    }
    return end;
}

QColor FieldTextColour()
{
    const QColor base = WindowColour();
    return WithContrast(QApplication::palette().color(QPalette::Active, QPalette::Text), base, 4.5);
}

QColor FieldLineColour(double share) { return Mix(WindowColour(), FieldTextColour(), share); }
