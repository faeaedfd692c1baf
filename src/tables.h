// Sine and cosine by table lookup, quantised to whole degrees.
#pragma once

constexpr float fDegToRad = 0.017453289f; // pi / 180
constexpr float fRadToDeg = 57.29579f;    // 180 / pi

void init_tables();
// Any angle in radians, however large or negative; the degree is truncated towards zero.
float table_sin(float fRadian);
float table_cos(float fRadian);
