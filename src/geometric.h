// Plane geometry of the play field: points, segments, circles, triangles and
// convex polygons, and the pure measurements and tests on them. Screen pixels,
// x to the right and y downwards. Boolean results are 1 and 0.
#pragma once

typedef struct _stPoint {
    float fX; // px
    float fY; // px
} stPoint;

// A finite segment, or the infinite line through its two points.
typedef struct _stSegment {
    stPoint tPoint0;
    stPoint tPoint1;
} stSegment;

typedef struct _stCircle {
    float fRadius; // px
    stPoint tCenter;
} stCircle;

typedef struct _stTriangle {
    stPoint atPoint[3];
} stTriangle;

constexpr int POLYGON_POINTS = 30; // capacity of stPolygon

typedef struct _stPolygon {
    int iPoints; // points in use
    stPoint atPoint[POLYGON_POINTS];
} stPolygon;

// s0 * s1 with s0 = cross(B - A, P0 - A) and s1 = cross(B - A, P1 - B):
// positive both strictly on one side, negative strictly on opposite sides,
// zero when a point lies on the line.
float same_side(const stSegment *ptLine, const stPoint *ptPoint0, const stPoint *ptPoint1);
// 1 when fTest lies between the bounds (inclusive, either order); NaN gives 0.
int number_in_range(float fStart, float fEnd, float fTest);
// 1 when ptPoint2, or else ptPoint3, lies in the box spanned by ptPoint0 and ptPoint1.
int inside_box(const stPoint *ptPoint0, const stPoint *ptPoint1, const stPoint *ptPoint2,
               const stPoint *ptPoint3);
// 1 when the segments meet. Collinear segments meet only when an end point of
// the second lies in the first one's box.
int segment_segment_intersection(const stSegment *ptSegment0, const stSegment *ptSegment1);
float point_point_distance(const stPoint *ptPoint0, const stPoint *ptPoint1);
// Signed distance to the line: positive to the right of A -> B as seen on screen.
float point_line_distance(const stSegment *ptLine, const stPoint *ptPoint);
// Distance to the segment; the nearest point goes to ptNearestPoint unless it is null.
float point_segment_distance(const stSegment *ptSegment, const stPoint *ptPoint,
                             stPoint *ptNearestPoint);
// cross(P0 - Pivot, P1 - Pivot).
float segment_turn(const stPoint *ptPoint0, const stPoint *ptPivot, const stPoint *ptPoint1);
float triangle_area(const stPoint atPoint[3]);
// 1 when the point is inside or on an edge, the area sums matching within
// fTolerance square pixels.
int point_inside_triangle(const stPoint *ptPoint, const stPoint atTriangle[3], float fTolerance);
// Unsigned area of the closed polygon of iSize points.
float polygon_area(const stPoint *atPolygon, int iSize);
// 1 when the point is on the same side of every edge of a convex polygon
// (turns <= 0 on all edges or on none); an empty polygon holds nothing.
int point_inside_polygon(const stPoint *ptPoint, const stPoint *atPolygon, int iSize);
// 1 and the meeting point in ptIntersect, truncated to whole pixels except the
// x of a vertical line; parallel lines give 0 and the first line's first point.
int line_intersection(const stSegment *ptLine1, const stSegment *ptLine2, stPoint *ptIntersect);
