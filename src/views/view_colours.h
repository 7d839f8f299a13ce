// Colours the views draw with on a data field's background (WindowColour())
// under any colour scheme, light or dark: fixed colours are checked for
// contrast against it and lightened or darkened when they do not stand out.
#pragma once

#include <QColor>

// Contrast ratio as in WCAG 2: 1 (the same) to 21 (black on white).
double ContrastRatio(const QColor& a, const QColor& b);
// colour itself when it reaches ratio against background; otherwise lighter
// (on a dark background) or darker, just enough to reach it.
QColor WithContrast(const QColor& colour, const QColor& background, double ratio);
// Text and fine marks on WindowColour(): the scheme's text colour, made
// readable where it is not.
QColor FieldTextColour();
// The background mixed towards FieldTextColour(): faint grid lines at share
// 0.25, plain rings at 0.5.
QColor FieldLineColour(double share);
