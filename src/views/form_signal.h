// The signal levels, caption "Signal Levels": one bar per satellite the
// display port tracks, in channel order, its height the level (AMU or dB-Hz), its
// colour from the level scale; satellites in the fix are outlined and their
// PRN is bold; each channel's weakest-level latch is a line across its bar.
// Created hidden at start; paints only while shown.
#pragma once

#include <QRectF>
#include <QString>
#include <optional>
#include <vector>

#include "platform/widgets.h"
#include "views/level_scale.h"
#include "views/view_support.h"

class TForm_Signal : public Form {
    Q_OBJECT
public:
    TForm_Signal();

    struct Bar {
        int channel = 0;
        int prn = 0;
        float level = 0;
        QRectF rect; // in window coordinates; its bottom is the zero line
        bool inFix = false;
        std::optional<double> latchY; // the latch line's height, when the channel has a latch
        int latchedPrn = 0;
        QString label; // "12", or "G12" / "R07" for a multi-GNSS channel
        LevelUnit unit = LevelUnit::Amu;
    };
    // What a paint draws now.
    std::vector<Bar> Bars() const;
    // The level at the top of the scale: 20, or more when a level is higher.
    double ScaleTop() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRectF PlotArea() const;
    void DrawGrid(QPainter& p, double top) const;

    CachedBackground background_;
    LevelUnit shownUnit_ = LevelUnit::Amu;
};

extern TForm_Signal* Form_Signal;
