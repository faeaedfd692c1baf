// Sine and cosine lookups: whole degrees by truncation.
#include "support.h"
#include "tables.h"

namespace {
float exact_sin_deg(int d) { return static_cast<float>(std::sin(d * double(fDegToRad))); }
float exact_cos_deg(int d) { return static_cast<float>(std::cos(d * double(fDegToRad))); }
} // namespace

TEST(Tables, LookupsTruncateToTheWholeDegree)
{
    init_tables();
    struct Case { float fRadian; int iDegree; }; // the angle and the entry that must be read
    const Case aCases[] = {
        {3.14159f, 179},              // just under 180 degrees: truncated, not rounded
        {-0.01f, 0},                  // -0.57 degrees truncates to 0
        {0.99f * fDegToRad, 0},       {-1.5f * fDegToRad, 359}, {1.0f, 57},
        {-1.0f, 360 - 57},            {7.0f, 401 % 360},        {-7.0f, 360 - 401 % 360},
        {100.0f, 5729 % 360},         {45.5f * fDegToRad, 45},
    };
    for (const Case &c : aCases) {
        EXPECT_FLOAT_EQ(table_sin(c.fRadian), exact_sin_deg(c.iDegree)) << c.fRadian;
        EXPECT_FLOAT_EQ(table_cos(c.fRadian), exact_cos_deg(c.iDegree)) << c.fRadian;
    }
    // The zero crossings are exact zeros, not rounding residues.
    EXPECT_TRUE(table_sin(0.0f) == 0 && table_sin(180.5f * fDegToRad) == 0 && table_cos(90.5f * fDegToRad) == 0 &&
                table_cos(270.5f * fDegToRad) == 0);
}
