// The WGS-84 ellipsoid and the conversions between geodetic and ECEF
// coordinates and the local east/north/up frame. The one place these
// constants live: the model, the views, zelk_dump and the simulator use it.
#pragma once

namespace wgs84 {
inline constexpr double kSemiMajorM = 6378137.0;
inline constexpr double kFlattening = 1.0 / 298.257223563;
inline constexpr double kSemiMinorM = kSemiMajorM * (1.0 - kFlattening);
inline constexpr double kEccentricitySquared = kFlattening * (2.0 - kFlattening); // first eccentricity
} // namespace wgs84

struct Geodetic {
    double latRad = 0, lonRad = 0, altM = 0; // altitude above the WGS-84 ellipsoid
};

struct Ecef {
    double x = 0, y = 0, z = 0;
};

struct LocalOffset {
    double east = 0, north = 0, up = 0; // metres (or metres per second for a velocity)
};

Ecef GeodeticToEcef(const Geodetic& p);
// Iterated to convergence; better than 0.1 mm from the Earth's surface to beyond the GPS orbits,
// and defined at the poles.
Geodetic EcefToGeodetic(const Ecef& p);

// Radii of curvature of the ellipsoid at a latitude, metres: along the
// meridian (metres per radian of latitude) and in the prime vertical
// (times cos(latitude): metres per radian of longitude).
double MeridianRadius(double latRad);
double PrimeVerticalRadius(double latRad);

// The local tangent frame at a point: east, north and up there.
class LocalFrame {
public:
    explicit LocalFrame(const Geodetic& origin);
    // Where the point p lies in the frame.
    LocalOffset Of(const Ecef& p) const;
    // An ECEF vector (a difference, a velocity) in the frame's axes, and back.
    LocalOffset ToLocal(const Ecef& v) const;
    Ecef ToEcef(const LocalOffset& v) const;

private:
    Ecef origin_;
    double sinLat_, cosLat_, sinLon_, cosLon_;
};
// Where p lies in the local tangent frame at origin.
inline LocalOffset OffsetFrom(const Geodetic& origin, const Ecef& p) { return LocalFrame(origin).Of(p); }

struct LookAngles {
    double azimuthRad = 0;   // 0..2 pi from true north, clockwise
    double elevationRad = 0; // -pi/2..pi/2 above the local horizontal plane
};
// The direction from an observer to a target (a satellite).
LookAngles LookAt(const Geodetic& observer, const Ecef& target);
