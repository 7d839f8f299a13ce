// The colour scale of signal levels shared by the sky plot and the signal
// bars: red for a weak signal through yellow to green for a strong one.
#pragma once

#include <QColor>
#include <QRectF>
#include <vector>

#include "views/view_support.h"

class QPainter;

// The strip along a window's bottom that holds the scale.
constexpr double kLegendHeight = 50;
QRectF LegendStrip(double windowWidth, double windowHeight);

// Levels at and above this many AMU are full green.
constexpr float kFullScaleAmu = 20.0f;

// Channel reports give levels in AMU; a multi-GNSS receiver's give them as
// carrier to noise density in dB-Hz, where 25 is weak and 45 strong.
enum class LevelUnit { Amu, DbHz };
// dB-Hz as soon as one of the satellites is a multi-GNSS channel.
LevelUnit UnitOfLevels(const std::vector<TrackedSatellite>& satellites);
// The levels at the red and the full green end of a unit's scale.
float WeakLevel(LevelUnit unit);
float FullScaleLevel(LevelUnit unit);

// The colour of a level; its magnitude counts, as for the weakest-level latch.
QColor LevelColour(float level, LevelUnit unit = LevelUnit::Amu);
// The mark of a satellite used in the fix.
QColor InFixColour();
// Draws the captioned scale with its ticks into the left part of area and
// returns the part to its right, free for the window's own samples.
QRectF DrawLevelScale(QPainter& p, const QRectF& area, LevelUnit unit);
