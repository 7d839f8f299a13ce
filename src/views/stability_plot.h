// The stability plot: ADEV, MDEV or TDEV against averaging time, both axes
// logarithmic, one line per receiver in its colour, each point with its
// confidence bar.
#pragma once

#include <QColor>
#include <QWidget>
#include <vector>

#include "model/stability.h"

struct StabilityCurve {
    QString label;
    QColor colour;
    std::vector<StabilityRow> rows;
};

enum class StabilityStatistic { Adev, Mdev, Tdev };

class StabilityPlot : public QWidget {
public:
    explicit StabilityPlot(QWidget* parent = nullptr);
    void SetCurves(std::vector<StabilityCurve> curves);
    void SetStatistic(StabilityStatistic statistic);
    void SetMessage(const QString& message);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<StabilityCurve> curves_;
    StabilityStatistic statistic_ = StabilityStatistic::Adev;
    QString message_;
};

const Deviation& DeviationOf(const StabilityRow& row, StabilityStatistic statistic);
