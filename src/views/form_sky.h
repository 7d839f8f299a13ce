// The sky plot, caption "Sky Plot": every satellite the display port tracks,
// placed by azimuth (north up, east right) and elevation (horizon on the
// outer ring, zenith in the centre), filled by signal level, ringed when it
// is in the fix. Created hidden at start; paints only while shown.
#pragma once

#include <QPointF>
#include <QString>
#include <vector>

#include "platform/widgets.h"

class TForm_Sky : public Form {
    Q_OBJECT
public:
    TForm_Sky();

    struct Mark {
        int prn = 0;
        QPointF at; // centre of the satellite's disc, in window coordinates
        bool inFix = false;
        float level = 0;
        QString label; // "12", or "G12" / "R07" for a multi-GNSS channel
    };
    // What a paint draws now: the plot's centre and horizon radius, and the satellites.
    QPointF PlotCentre() const;
    double HorizonRadius() const;
    std::vector<Mark> Marks() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRectF PlotArea() const;
};

extern TForm_Sky* Form_Sky;
