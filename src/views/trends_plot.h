// The plot of the Trends window: every chosen receiver's decimated series
// (min/max per pixel column) in its colour, event markers, a time cursor that
// reads every receiver's value, zoom and pan with the mouse and keys.
#pragma once

#include <QColor>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <vector>

#include "model/history_series.h"

struct PlottedReceiver {
    QString label;  // "COM3"
    QColor colour;
    std::vector<SeriesColumn> columns;
    std::vector<HistoryEvent> events;
};

class TrendsPlot : public QWidget {
    Q_OBJECT
public:
    explicit TrendsPlot(QWidget* parent = nullptr);

    void SetRange(int64_t from, int64_t to); // the times of the left and right edges
    int64_t From() const { return from_; }
    int64_t To() const { return to_; }
    void SetSeries(std::vector<PlottedReceiver> receivers, const QString& caption);
    void SetCursor(int64_t unixSecond);
    int64_t Cursor() const { return cursor_; }
    // Pixel columns the series should be decimated into.
    int PlotColumns() const;
    void SetLoading(const QString& text);

signals:
    void rangeChanged(); // by zoom or pan
    void cursorMoved();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QRect PlotArea() const;
    int64_t TimeAtX(double x) const;
    double XOf(int64_t t) const;
    void Zoom(double factor, int64_t about);
    void Pan(double fraction);

    int64_t from_ = 0, to_ = 3600;
    int64_t cursor_ = -1;
    std::vector<PlottedReceiver> receivers_;
    QString caption_, loading_;
    bool dragging_ = false;
    double dragX_ = 0;
    int64_t dragFrom_ = 0, dragTo_ = 0;
};

// The colour of the n-th receiver: distinct hues, light enough on a dark window.
QColor ReceiverColour(int index, const QColor& windowColour);
