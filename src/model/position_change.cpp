#include "model/position_change.h"

#include <cmath>

#include "link/shared_flags.h"
#include "model/geodesy.h"

void PositionChange::SetReference(double latRad, double lonRad)
{
    lat0_ = latRad;
    lon0_ = lonRad;
    northScale_ = MeridianRadius(latRad);
    eastScale_ = PrimeVerticalRadius(latRad) * std::cos(latRad);
}

NorthEast PositionChange::From(double latRad, double lonRad) const
{
    return {(latRad - lat0_) * northScale_, (lonRad - lon0_) * eastScale_};
}

namespace {

PositionChange g_reference; // one for the whole program: it survives a change of display port

} // namespace

NorthEast UpdateChangeOfPosition(double latRad, double lonRad)
{
    if (!Flags.ReferenceSet) {
        Flags.ReferenceSet = 1;
        g_reference.SetReference(latRad, lonRad);
    }
    return g_reference.From(latRad, lonRad);
}
