// Band drawing: no state of its own; the nodes and control points of one
// drawing live on the stack. A straight band is one vertical line between the
// sphere centres; a deformed one passes through both sides of the held ball.
#include "paddle_spring.h"
#include "paddle.h"

#include <allegro.h>
#include <cmath>

namespace {
constexpr float STRAIGHT_LIMIT = 0.1f; // px: a sideways displacement below this draws straight

// Ends of the band at the sphere centres, px.
int upper_end(const stPaddle *ptPaddle)
{
    return static_cast<int>(ptPaddle->fY - 0.5f * ptPaddle->fSpringLength);
}
int lower_end(const stPaddle *ptPaddle)
{
    return static_cast<int>(ptPaddle->fY + 0.5f * ptPaddle->fSpringLength);
}

// The share of the timed state that has run, 1 when the state has no duration.
float state_progress(const stPaddle *ptPaddle)
{
    const float T = ptPaddle->fDeformedSpringMaxTime;
    return T > 0.0f ? ptPaddle->fDeformedSpringTime / T : 1.0f;
}

// The nodes of a band whose middle sits at the displacement, split into an
// upper and a lower inner node fHalfGap above and below it, with the mirror
// nodes at both ends and every node's tangent.
void build_nodes(stSpring *ptSpring, const stPaddle *ptPaddle, float fHalfGap)
{
    init_spring(ptSpring);
    stSpringNode *n = ptSpring->tNodes;
    const int iMiddleX = static_cast<int>(ptPaddle->fX + ptPaddle->fDeformedSpringX);
    const float fMiddleY = ptPaddle->fY + ptPaddle->fDeformedSpringY;
    n[1].iX = static_cast<int>(ptPaddle->fX);
    n[1].iY = upper_end(ptPaddle);
    n[2].iX = iMiddleX;
    n[2].iY = static_cast<int>(fMiddleY - fHalfGap);
    n[3].iX = iMiddleX;
    n[3].iY = static_cast<int>(fMiddleY + fHalfGap);
    n[4].iX = static_cast<int>(ptPaddle->fX);
    n[4].iY = lower_end(ptPaddle);
    create_dummy_node(&n[0], &n[1], &n[2]);
    create_dummy_node(&n[5], &n[4], &n[3]);
    for (int i = 1; i <= 4; i++)
        calc_tangent_with_nodes(&n[i], &n[i - 1], &n[i + 1]);
}

void draw_piece(BITMAP *bmpPicture, const stSpring *ptSpring, int iFrom, int iColor)
{
    int aiPoints[SPRING_PIECE_POINTS];
    get_control_points(&ptSpring->tNodes[iFrom], &ptSpring->tNodes[iFrom + 1], aiPoints,
                       ptSpring->fCurviness);
    spline(bmpPicture, aiPoints, iColor);
}
} // namespace

void draw_spring(BITMAP *bmpPicture, const stPaddle *ptPaddle)
{
    switch (ptPaddle->iSpringState) {
    case SPRING_BROKEN:
        draw_spring_broken(bmpPicture, ptPaddle);
        break;
    case SPRING_REVIVING:
        draw_spring_reviving(bmpPicture, ptPaddle);
        break;
    case SPRING_BREAKING:
        draw_spring_breaking(bmpPicture, ptPaddle);
        break;
    default:
        draw_spring_normal(bmpPicture, ptPaddle);
        break;
    }
}

void draw_spring_normal(BITMAP *bmpPicture, const stPaddle *ptPaddle)
{
    if (std::fabs(ptPaddle->fDeformedSpringX) < STRAIGHT_LIMIT) {
        vline(bmpPicture, static_cast<int>(ptPaddle->fX), upper_end(ptPaddle), lower_end(ptPaddle),
              ptPaddle->iSpringColor);
        return;
    }
    stSpring tSpring;
    build_nodes(&tSpring, ptPaddle, ptPaddle->iCollidingObjectRadius);
    for (int i = 1; i <= 3; i++)
        draw_piece(bmpPicture, &tSpring, i, ptPaddle->iSpringColor);
}

void draw_spring_breaking(BITMAP *bmpPicture, const stPaddle *ptPaddle)
{
    // The torn ends part from the ball's width to the whole band's length.
    const float fHalfGap = state_progress(ptPaddle) * ptPaddle->fSpringLength * 0.5f +
                           ptPaddle->iCollidingObjectRadius;
    stSpring tSpring;
    build_nodes(&tSpring, ptPaddle, fHalfGap);
    draw_piece(bmpPicture, &tSpring, 1, ptPaddle->iSpringColor);
    draw_piece(bmpPicture, &tSpring, 3, ptPaddle->iSpringColor);
}

void draw_spring_reviving(BITMAP *bmpPicture, const stPaddle *ptPaddle)
{
    const int x = static_cast<int>(ptPaddle->fX);
    const int y1 = upper_end(ptPaddle), y2 = lower_end(ptPaddle);
    const int k = static_cast<int>(ptPaddle->fSpringLength * 0.5f * state_progress(ptPaddle));
    vline(bmpPicture, x, y1, y1 + k, ptPaddle->iSpringColor);
    vline(bmpPicture, x, y2 - k, y2, ptPaddle->iSpringColor);
}

void draw_spring_broken(BITMAP *, const stPaddle *) {}

void init_spring(stSpring *ptSpring)
{
    *ptSpring = {};
    ptSpring->fCurviness = SPRING_CURVINESS;
}

float calc_node_distance(const stSpringNode *ptN1, const stSpringNode *ptN2)
{
    const float dx = static_cast<float>(ptN2->iX - ptN1->iX);
    const float dy = static_cast<float>(ptN2->iY - ptN1->iY);
    return std::sqrt(dy * dy + dx * dx);
}

void create_dummy_node(stSpringNode *ptDummy, const stSpringNode *ptN1, const stSpringNode *ptN2)
{
    ptDummy->iX = 2 * ptN1->iX - ptN2->iX;
    ptDummy->iY = 2 * ptN1->iY - ptN2->iY;
}

void calc_tangent_with_nodes(stSpringNode *ptTarget, const stSpringNode *ptN1,
                             const stSpringNode *ptN2)
{
    ptTarget->fTangent = static_cast<float>(std::atan2(ptN2->iY - ptN1->iY, ptN2->iX - ptN1->iX));
}

void get_control_points(const stSpringNode *ptN1, const stSpringNode *ptN2,
                        int viPoints[SPRING_PIECE_POINTS], float fCurviness)
{
    const float d = calc_node_distance(ptN1, ptN2) * fCurviness;
    viPoints[0] = ptN1->iX;
    viPoints[1] = ptN1->iY;
    viPoints[2] = ptN1->iX + static_cast<int>(std::cos(ptN1->fTangent) * d);
    viPoints[3] = ptN1->iY + static_cast<int>(std::sin(ptN1->fTangent) * d);
    viPoints[4] = ptN2->iX - static_cast<int>(std::cos(ptN2->fTangent) * d);
    viPoints[5] = ptN2->iY - static_cast<int>(std::sin(ptN2->fTangent) * d);
    viPoints[6] = ptN2->iX;
    viPoints[7] = ptN2->iY;
}
