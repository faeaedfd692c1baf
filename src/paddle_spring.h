// Drawing of a paddle's band: a chain of cubic pieces through the band's nodes
// that wraps the held ball, opens while the band tears, vanishes while it is
// torn and grows back from both spheres. Reads the paddle only.
#pragma once

struct BITMAP;
struct _stPaddle;
typedef struct _stPaddle stPaddle;

constexpr int SPRING_NODES = 6;           // nodes 1 .. 4 are the band's, 0 and 5 mirror the ends
constexpr int SPRING_PIECE_POINTS = 8;    // ints of one cubic piece: four x, y pairs
constexpr float SPRING_CURVINESS = 0.25f; // inner control points this share of the chord away

typedef struct _stSpringNode {
    int iX;         // px
    int iY;         // px
    float fTangent; // direction of the curve here, radians
} stSpringNode;

typedef struct _stSpring {
    int iState;                         // not used by the drawing
    float fCurviness;                   // share of the chord for the control points
    float fTimeSinceBreak;              // not used by the drawing, s
    float fMaxTimeToBreak;              // not used by the drawing, s
    stSpringNode tNodes[SPRING_NODES];
} stSpring;

// The band for the paddle's current state, in its colour.
void draw_spring(BITMAP *bmpPicture, const stPaddle *ptPaddle);
void draw_spring_normal(BITMAP *bmpPicture, const stPaddle *ptPaddle);
void draw_spring_breaking(BITMAP *bmpPicture, const stPaddle *ptPaddle);
void draw_spring_reviving(BITMAP *bmpPicture, const stPaddle *ptPaddle);
void draw_spring_broken(BITMAP *bmpPicture, const stPaddle *ptPaddle);

// State 0, curviness 0.25, both times 0, every node zero.
void init_spring(stSpring *ptSpring);
float calc_node_distance(const stSpringNode *ptN1, const stSpringNode *ptN2);
// ptDummy = 2 N1 - N2 (N2 mirrored about N1), position only.
void create_dummy_node(stSpringNode *ptDummy, const stSpringNode *ptN1, const stSpringNode *ptN2);
// ptTarget's tangent: the direction from N1 to N2.
void calc_tangent_with_nodes(stSpringNode *ptTarget, const stSpringNode *ptN1,
                             const stSpringNode *ptN2);
// The 8 ints of the cubic piece from N1 to N2, leaving and arriving along their tangents.
void get_control_points(const stSpringNode *ptN1, const stSpringNode *ptN2,
                        int viPoints[SPRING_PIECE_POINTS], float fCurviness);
