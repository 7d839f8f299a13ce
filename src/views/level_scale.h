// The colour scale of signal levels shared by the sky plot and the signal
// bars: red for a weak signal through yellow to green for a strong one.
#pragma once

#include <QColor>
#include <QRectF>

class QPainter;

// The strip along a window's bottom that holds the scale.
constexpr double kLegendHeight = 50;
QRectF LegendStrip(double windowWidth, double windowHeight);

// Levels at and above this many AMU are full green.
constexpr float kFullScaleAmu = 20.0f;

// The colour of a level; its magnitude counts, as for the weakest-level latch.
QColor LevelColour(float levelAmu);
// The mark of a satellite used in the fix.
QColor InFixColour();
// Draws the captioned scale with its ticks into the left part of area and
// returns the part to its right, free for the window's own samples.
QRectF DrawLevelScale(QPainter& p, const QRectF& area);
