// Sine and cosine tables of 360 whole degrees, filled once at start-up and
// read-only afterwards. A lookup truncates the angle in degrees towards zero.
#include "tables.h"

#include <cmath>

namespace {
constexpr int DEGREES = 360;

struct stTables {
    float afSin[DEGREES]; // sin of each whole degree
    float afCos[DEGREES]; // cos of each whole degree
};
stTables g_tTables; // filled by init_tables

// Whole degree of an angle: truncated towards zero, then wrapped into 0..359.
int degree_index(float fRadian)
{
    const float fDeg = fRadian * fRadToDeg;
    if (!std::isfinite(fDeg))
        return 0;
    // Beyond the range of int a float is already a whole number: wrap it first.
    const double dDeg = std::fabs(fDeg) < 2.0e9f ? fDeg : std::fmod(double(fDeg), DEGREES);
    int d = static_cast<int>(dDeg) % DEGREES;
    if (d < 0)
        d += DEGREES;
    return d;
}
} // namespace

void init_tables()
{
    for (int d = 0; d < DEGREES; d++) {
        g_tTables.afSin[d] = static_cast<float>(std::sin(d * double(fDegToRad)));
        g_tTables.afCos[d] = static_cast<float>(std::cos(d * double(fDegToRad)));
    }
    g_tTables.afSin[0] = 0.0f;
    g_tTables.afSin[180] = 0.0f;
    g_tTables.afCos[90] = 0.0f;
    g_tTables.afCos[270] = 0.0f;
}

float table_sin(float fRadian) { return g_tTables.afSin[degree_index(fRadian)]; }
float table_cos(float fRadian) { return g_tTables.afCos[degree_index(fRadian)]; }
