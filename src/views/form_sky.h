// The sky plot, caption "Sky Plot": every satellite the display port tracks,
// placed by azimuth (north up, east right) and elevation (horizon on the
// outer ring, zenith in the centre), filled by signal level, ringed when it
// is in the fix. Satellites at nearly the same place get their discs moved
// apart, with a line to their place. Created hidden at start; paints only
// while shown.
#pragma once

#include <QPointF>
#include <QString>
#include <vector>

#include "platform/widgets.h"
#include "views/level_scale.h"
#include "views/view_support.h"

class TForm_Sky : public Form {
    Q_OBJECT
public:
    TForm_Sky();

    static constexpr double kDiscRadius = 11;
    struct Mark {
        int prn = 0;
        QPointF at; // where the satellite is, in window coordinates
        bool inFix = false;
        float level = 0;
        QPointF disc; // centre of its disc: at, unless moved off a neighbour's
        QString label; // "12", or "G12" / "R07" for a multi-GNSS channel
        LevelUnit unit = LevelUnit::Amu;
    };
    // What a paint draws now: the plot's centre and horizon radius, and the satellites.
    QPointF PlotCentre() const;
    double HorizonRadius() const;
    std::vector<Mark> Marks() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRectF PlotArea() const;

    CachedBackground background_;
    LevelUnit shownUnit_ = LevelUnit::Amu;
};

extern TForm_Sky* Form_Sky;
