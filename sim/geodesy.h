// WGS-84 coordinate conversions the simulated receiver needs to place itself
// and to look at its satellites.
#pragma once

struct Lla {
    double latRad = 0;
    double lonRad = 0;
    double altM = 0; // above the ellipsoid
};

struct Ecef {
    double x = 0;
    double y = 0;
    double z = 0;
};

struct Enu {
    double east = 0;
    double north = 0;
    double up = 0;
};

constexpr double kPi = 3.14159265358979323846;

Ecef LlaToEcef(const Lla& p);
// Rotates a local east/north/up vector at the given place into ECEF axes.
Ecef EnuToEcef(const Lla& at, const Enu& v);
// Rotates an ECEF difference vector into the local east/north/up frame.
Enu EcefToEnu(const Lla& at, const Ecef& d);
// Moves a place by metres east and north (small distances, local sphere).
Lla OffsetLla(const Lla& at, double eastM, double northM);

struct LookAngles {
    double azimuthRad = 0;   // 0..2 pi from true north, clockwise
    double elevationRad = 0; // -pi/2..pi/2
};

LookAngles LookAt(const Lla& observer, const Ecef& target);
