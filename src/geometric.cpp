// Plane geometry: pure functions on caller-owned points, segments and shapes.
// Nothing here allocates, keeps state or writes anything but its output points;
// single-precision arithmetic except line_intersection, which works in double.
#include "geometric.h"

#include <cmath>

namespace {
constexpr double LINE_EPSILON = 1e-8;    // slopes and x differences below this count as zero
constexpr double VERTICAL_SLOPE = 1e100; // slope that stands for a vertical line
} // namespace

float same_side(const stSegment *ptLine, const stPoint *ptPoint0, const stPoint *ptPoint1)
{
    const stPoint &a = ptLine->tPoint0;
    const stPoint &b = ptLine->tPoint1;
    const float s0 = (ptPoint0->fY - a.fY) * (b.fX - a.fX) - (ptPoint0->fX - a.fX) * (b.fY - a.fY);
    const float s1 = (ptPoint1->fY - b.fY) * (b.fX - a.fX) - (ptPoint1->fX - b.fX) * (b.fY - a.fY);
    return s0 * s1;
}

int number_in_range(float fStart, float fEnd, float fTest)
{
    return (fStart - fTest) * (fEnd - fTest) <= 0.0f ? 1 : 0;
}

int inside_box(const stPoint *ptPoint0, const stPoint *ptPoint1, const stPoint *ptPoint2,
               const stPoint *ptPoint3)
{
    if (number_in_range(ptPoint0->fX, ptPoint1->fX, ptPoint2->fX) &&
        number_in_range(ptPoint0->fY, ptPoint1->fY, ptPoint2->fY))
        return 1;
    if (number_in_range(ptPoint0->fX, ptPoint1->fX, ptPoint3->fX) &&
        number_in_range(ptPoint0->fY, ptPoint1->fY, ptPoint3->fY))
        return 1;
    return 0;
}

int segment_segment_intersection(const stSegment *ptSegment0, const stSegment *ptSegment1)
{
    const float s = same_side(ptSegment0, &ptSegment1->tPoint0, &ptSegment1->tPoint1);
    const float t = same_side(ptSegment1, &ptSegment0->tPoint0, &ptSegment0->tPoint1);
    // A proper crossing, or an end point on the other segment's line while it crosses ours.
    if ((s < 0.0f && t <= 0.0f) || (s <= 0.0f && t < 0.0f))
        return 1;
    if (s != 0.0f || t != 0.0f)
        return 0;
    // Collinear or degenerate: only the second segment's end points are tried.
    return inside_box(&ptSegment0->tPoint0, &ptSegment0->tPoint1, &ptSegment1->tPoint0,
                      &ptSegment1->tPoint1);
}

float point_point_distance(const stPoint *ptPoint0, const stPoint *ptPoint1)
{
    const float dx = ptPoint0->fX - ptPoint1->fX;
    const float dy = ptPoint0->fY - ptPoint1->fY;
    return std::sqrt(dx * dx + dy * dy);
}

float point_line_distance(const stSegment *ptLine, const stPoint *ptPoint)
{
    const stPoint &a = ptLine->tPoint0;
    const stPoint &b = ptLine->tPoint1;
    const float fLength = std::sqrt((a.fX - b.fX) * (a.fX - b.fX) + (a.fY - b.fY) * (a.fY - b.fY));
    return ((b.fY - ptPoint->fY) * (a.fX - b.fX) - (b.fX - ptPoint->fX) * (a.fY - b.fY)) / fLength;
}

float point_segment_distance(const stSegment *ptSegment, const stPoint *ptPoint,
                             stPoint *ptNearestPoint)
{
    const stPoint &a = ptSegment->tPoint0;
    const stPoint &b = ptSegment->tPoint1;
    stPoint tNearest;
    const float d0 = (ptPoint->fX - a.fX) * (b.fX - a.fX) + (ptPoint->fY - a.fY) * (b.fY - a.fY);
    if (d0 <= 0.0f) {
        tNearest = a; // also every zero-length segment
    } else {
        const float d1 =
            (ptPoint->fX - b.fX) * (a.fX - b.fX) + (ptPoint->fY - b.fY) * (a.fY - b.fY);
        if (d1 <= 0.0f) {
            tNearest = b;
        } else {
            const float k = d0 / (d0 + d1); // d0 + d1 is |B - A|^2
            tNearest.fX = a.fX + (b.fX - a.fX) * k;
            tNearest.fY = a.fY + (b.fY - a.fY) * k;
        }
    }
    if (ptNearestPoint)
        *ptNearestPoint = tNearest;
    return point_point_distance(ptPoint, &tNearest);
}

float segment_turn(const stPoint *ptPoint0, const stPoint *ptPivot, const stPoint *ptPoint1)
{
    return (ptPoint0->fX - ptPivot->fX) * (ptPoint1->fY - ptPivot->fY) -
           (ptPoint1->fX - ptPivot->fX) * (ptPoint0->fY - ptPivot->fY);
}

float triangle_area(const stPoint atPoint[3])
{
    const stPoint &t0 = atPoint[0];
    const stPoint &t1 = atPoint[1];
    const stPoint &t2 = atPoint[2];
    return std::fabs(t0.fX * t1.fY + t1.fX * t2.fY + t2.fX * t0.fY - t0.fY * t1.fX -
                     t2.fX * t1.fY - t0.fX * t2.fY) *
           0.5f;
}

int point_inside_triangle(const stPoint *ptPoint, const stPoint atTriangle[3], float fTolerance)
{
    stPoint atPart[3] = {atTriangle[0], atTriangle[1], atTriangle[2]};
    const float fArea = triangle_area(atPart);
    float afSubArea[3];
    // Each sub-triangle replaces one corner by the point, in a copy of the corners.
    for (int i = 0; i < 3; i++) {
        atPart[i] = *ptPoint;
        afSubArea[i] = triangle_area(atPart);
        atPart[i] = atTriangle[i];
    }
    return std::fabs(((fArea - afSubArea[0]) - afSubArea[1]) - afSubArea[2]) <= fTolerance ? 1 : 0;
}

// The polygon functions close the outline by wrapping the index, so they never
// write past the caller's points.
float polygon_area(const stPoint *atPolygon, int iSize)
{
    float fSum = 0.0f;
    for (int i = 0; i < iSize; i++) {
        const stPoint &p = atPolygon[i];
        const stPoint &q = atPolygon[(i + 1) % iSize];
        fSum += p.fX * q.fY - p.fY * q.fX;
    }
    return std::fabs(fSum) * 0.5f;
}

int point_inside_polygon(const stPoint *ptPoint, const stPoint *atPolygon, int iSize)
{
    if (iSize < 1)
        return 0;
    int iTurns = 0; // edges with the point on their non-positive side
    for (int i = 0; i < iSize; i++) {
        if (segment_turn(&atPolygon[i], ptPoint, &atPolygon[(i + 1) % iSize]) <= 0.0f)
            iTurns++;
    }
    return iTurns % iSize == 0 ? 1 : 0;
}

int line_intersection(const stSegment *ptLine1, const stSegment *ptLine2, stPoint *ptIntersect)
{
    const double ax1 = ptLine1->tPoint0.fX, ay1 = ptLine1->tPoint0.fY;
    const double bx1 = ptLine1->tPoint1.fX, by1 = ptLine1->tPoint1.fY;
    const double ax2 = ptLine2->tPoint0.fX, ay2 = ptLine2->tPoint0.fY;
    const double bx2 = ptLine2->tPoint1.fX, by2 = ptLine2->tPoint1.fY;
    const bool bVertical1 = std::fabs(ax1 - bx1) < LINE_EPSILON;
    const bool bVertical2 = std::fabs(ax2 - bx2) < LINE_EPSILON;
    const double m1 = bVertical1 ? VERTICAL_SLOPE : (by1 - ay1) / (bx1 - ax1);
    const double m2 = bVertical2 ? VERTICAL_SLOPE : (by2 - ay2) / (bx2 - ax2);
    const double fD = m1 - m2;
    if (std::fabs(fD) < LINE_EPSILON) {
        *ptIntersect = ptLine1->tPoint0;
        return 0;
    }
    // std::trunc truncates toward zero like a cast to int, without overflowing
    // on nearly parallel lines whose meeting point is far away.
    double x = std::trunc(((m1 * ax1 - ay1) - m2 * ax2 + ay2) / fD);
    if (bVertical1)
        x = ax1;
    else if (bVertical2)
        x = ax2;
    const double y = bVertical1 ? (x - ax2) * m2 + ay2 : (x - ax1) * m1 + ay1;
    ptIntersect->fX = static_cast<float>(x);
    ptIntersect->fY = static_cast<float>(std::trunc(y));
    return 1;
}
