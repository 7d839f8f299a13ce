#include "sim/dop.h"

#include <array>
#include <cmath>
#include <utility>

namespace {

using Matrix4 = std::array<std::array<double, 4>, 4>;

// Gauss-Jordan inverse with partial pivoting; false when singular.
bool Invert(Matrix4 a, Matrix4* inverse)
{
    Matrix4 inv{};
    for (int i = 0; i < 4; ++i)
        inv[i][i] = 1;
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 4; ++r)
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col]))
                pivot = r;
        if (std::fabs(a[pivot][col]) < 1e-12)
            return false;
        std::swap(a[col], a[pivot]);
        std::swap(inv[col], inv[pivot]);
        const double d = a[col][col];
        for (int c = 0; c < 4; ++c) {
            a[col][c] /= d;
            inv[col][c] /= d;
        }
        for (int r = 0; r < 4; ++r) {
            if (r == col)
                continue;
            const double f = a[r][col];
            for (int c = 0; c < 4; ++c) {
                a[r][c] -= f * a[col][c];
                inv[r][c] -= f * inv[col][c];
            }
        }
    }
    *inverse = inv;
    return true;
}

} // namespace

bool ComputeDops(const std::vector<LookAngles>& directions, Dops* out)
{
    *out = {};
    if (directions.size() < 4)
        return false;
    Matrix4 normal{};
    for (const LookAngles& d : directions) {
        const double ce = std::cos(d.elevationRad);
        const std::array<double, 4> row = {-ce * std::sin(d.azimuthRad), -ce * std::cos(d.azimuthRad),
                                           -std::sin(d.elevationRad), 1.0};
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c)
                normal[r][c] += row[r] * row[c];
    }
    Matrix4 q{};
    if (!Invert(normal, &q))
        return false;
    out->hdop = std::sqrt(q[0][0] + q[1][1]);
    out->vdop = std::sqrt(q[2][2]);
    out->pdop = std::sqrt(q[0][0] + q[1][1] + q[2][2]);
    out->tdop = std::sqrt(q[3][3]);
    return true;
}
