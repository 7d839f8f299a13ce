// The change of position against a reference point, in metres north and
// east, as the main window's "Change in Position:" panel shows it.
#pragma once

struct NorthEast {
    double north = 0, east = 0; // metres
};

// Latitude and longitude differences scaled by the ellipsoid's radii of
// curvature at the reference. The longitude difference is not wrapped at
// +-180 degrees.
class PositionChange {
public:
    void SetReference(double latRad, double lonRad);
    NorthEast From(double latRad, double lonRad) const;

private:
    double lat0_ = 0, lon0_ = 0;
    double northScale_ = 0, eastScale_ = 0; // metres per radian
};

// The program-wide reference, valid while Flags.ReferenceSet is 1: the first
// fix after the flag was cleared becomes the reference (and sets the flag).
// Returns the fix's change against it.
NorthEast UpdateChangeOfPosition(double latRad, double lonRad);
