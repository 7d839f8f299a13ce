// The position scatter, caption "Position Scatter": the display port's last
// fixes as points north/east of their mean, in metres, with the CEP50 and
// 2DRMS circles and the mean, sigmas and fix count in text; "Clear" forgets
// the port's fixes once the user confirms. Fixes of every port are kept while the window is hidden
// (the last 3600 each), so opening it, or changing the display port, shows
// history at once; painting happens only while it is shown.
#pragma once

#include <QPointF>
#include <array>
#include <vector>

#include "link/port_table.h"
#include "model/fix_scatter.h"
#include "platform/widgets.h"
#include "views/view_support.h"

class QPushButton;

class TForm_Scatter : public Form {
    Q_OBJECT
public:
    TForm_Scatter();

    // What a paint draws now, for the display port.
    ScatterStats Stats() const;
    std::vector<QPointF> Points() const; // window coordinates, oldest first
    QPointF PlotCentre() const;          // where the mean is drawn
    double PixelsPerMetre() const;
    QString SummaryText() const;
    // Presses "Clear": asks first (No is the default), then forgets the port's fixes.
    void Clear();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct LastFix {
        int id = 0;
        float time = 0;
    };
    // The display port's fixes as one paint draws them.
    struct Picture {
        ScatterStats stats;
        std::vector<QPointF> points;
        double pixelsPerMetre = 1;
    };
    Picture Draw() const;
    static QString Summary(const ScatterStats& stats);
    void KeepFix(int slot);
    QRectF PlotArea() const;

    std::array<FixHistory, kPortSlots> history_;
    std::array<LastFix, kPortSlots> last_ = {};
    QPushButton* clear_ = nullptr;
    RepaintThrottle* repaint_ = nullptr;
    CachedBackground grid_; // drawn again when the scale changes
};

extern TForm_Scatter* Form_Scatter;
