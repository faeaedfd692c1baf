// Particles: owns the pool of MAX_PARTICLES slots, fixed for the whole run. A slot
// is free (bAlive 0) or alive (TRUE); only emission makes it alive and only the
// end of its last life or kill_particles frees it. Nothing is allocated.
#include "particle.h"
#include "pong.h"
#include "random.h"
#include "tables.h"
#include "trans_draw.h"
#include "utils.h"

#include <algorithm>
#include <allegro.h>
#include <cassert>
#include <cmath>
#include <cstring>
#include <iterator>

BITMAP *bmpLogoLetter = nullptr;

namespace {
constexpr double FULL_TURN = 360.0;             // degrees
constexpr double FULL_TURN_SLACK = 360.0001;    // a wider fan becomes one full turn
constexpr double FAN_TURN = 90.0;               // degrees added to every emission angle
constexpr double EMIT_DEG_TO_RAD = 0.01745328888888889; // the emitters' degree in radians
constexpr int SPREAD_LOW = 85;                  // life and speed drawn from 85 %
constexpr int SPREAD_HIGH = 115;                //   to 115 % of the asked value
constexpr double SPREAD_SCALE = 100.0;          // percent
constexpr int MIN_START_SIZE = 1;               // px
constexpr int MAX_START_SIZE = 2;               // px
constexpr int DISC_STEP = 2;                    // px between concentric disc radii
constexpr int OPAQUE = 255;                     // blender alpha at birth

stParticle tParticle[MAX_PARTICLES]; // the pool

// The spark set thrown by a stage hit.
struct stStageSparks {
    int iParticles;
    double fLife;      // s
    double fSpeed;     // px/s
    double fSizeDelta; // px/s
    int iRgb1;         // 0xRRGGBB at birth
    int iRgb2;         // 0xRRGGBB at the end of life
    enParticleTypes eType;
};

constexpr stStageSparks INTRO_SPARKS = {8, 1.05, 50, 1.6, 0xffff00, 0xff0000, BITMAP_PARTICLE};
constexpr stStageSparks OTHER_SPARKS = {20, 0.75, 35, 1.3, 0xffffff, 0xffffff, CIRCLE_PARTICLE};
constexpr stStageSparks atStageSparks[] = {
    {25, 1.05, 35, 1.6, 0xffff00, 0xff0000, LINE_PARTICLE},   // CAMANEY_LEVEL: forge
    {10, 0.65, 35, 1.1, 0xffffff, 0xffffff, CIRCLE_PARTICLE}, // LENGUAS_LEVEL: bubbles
    {30, 0.95, 35, 1.7, 0xffffff, 0xffffff, CIRCLE_PARTICLE}, // UAYUMIN_LEVEL: storm
    {15, 0.7, 35, 1.2, 0xffffff, 0xffffff, CIRCLE_PARTICLE},  // KAROLA_LEVEL: clouds
    {20, 0.75, 35, 1.3, 0x7fffff, 0xffffff, LINE_PARTICLE},   // GUANTE_LEVEL: ice
    {20, 0.75, 35, 1.3, 0xd0b281, 0xf2d4ba, CIRCLE_PARTICLE}, // OJEIS_LEVEL: sand
    {35, 1.15, 35, 1.8, 0xffff00, 0xff0000, LINE_PARTICLE},   // ARTURITO_LEVEL: factory
    {20, 0.75, 35, 1.3, 0xff0000, 0x000000, CIRCLE_PARTICLE}, // CARNAL_LEVEL: underworld
};
static_assert(std::size(atStageSparks) == NUM_LEVELS, "one spark set per stage");
constexpr int INTRO_STAGE = -1; // the intro's level index -3, divided by 3

// Colour c1 + (c2 - c1) * f per channel, truncated.
int blend_color(int iColor1, int iColor2, double f)
{
    const int r = getr(iColor1) + static_cast<int>((getr(iColor2) - getr(iColor1)) * f);
    const int g = getg(iColor1) + static_cast<int>((getg(iColor2) - getg(iColor1)) * f);
    const int b = getb(iColor1) + static_cast<int>((getb(iColor2) - getb(iColor1)) * f);
    return makecol(r, g, b);
}

// Fraction of the current life already lived, 0 at birth; a particle drawn
// with no life at all (too short to survive the 85 % draw) counts as spent.
double life_fraction(const stParticle &p) { return p.fLife > 0.0 ? p.fElapsed / p.fLife : 1.0; }

// Opaque at birth, fading to nothing over each life.
int opacity(const stParticle &p) { return OPAQUE - static_cast<int>(life_fraction(p) * OPAQUE); }
} // namespace

void kill_particles() { std::memset(tParticle, 0, sizeof(tParticle)); }

void init_particle_explosion(int iX, int iY, int iParticles, double fLife, double fAngle1,
                             double fAngle2, double fSpeed, double fSizeDelta, int iNumLives,
                             int iColor1, int iColor2, enParticleTypes eType, BITMAP *bmpSprite)
{
    if (iParticles <= 0 || iNumLives <= 0 || fLife <= 0.0)
        return;
    double fStart = std::min(fAngle1, fAngle2);
    double fSpan = std::fabs(fAngle1 - fAngle2);
    if (fSpan > FULL_TURN_SLACK) {
        fStart = 0.0;
        fSpan = FULL_TURN;
    }
    iParticles = std::min(iParticles, MAX_PARTICLES);
    const double fStep = fSpan / iParticles;
    const int iJitter = static_cast<int>(fStep); // degrees

    int k = 0; // particles placed
    for (int i = 0; i < MAX_PARTICLES && k < iParticles; i++) {
        stParticle &p = tParticle[i];
        if (p.bAlive)
            continue;
        const int j = random_range(-iJitter, iJitter);
        p.fAngle = (k * fStep + fStart + FAN_TURN + j) * EMIT_DEG_TO_RAD;
        p.bAlive = TRUE;
        p.fX = iX;
        p.fY = iY;
        p.fLife = random_range(static_cast<int>(fLife * SPREAD_LOW),
                               static_cast<int>(fLife * SPREAD_HIGH)) /
                  SPREAD_SCALE;
        p.fElapsed = 0.0;
        p.fVel = random_range(static_cast<int>(fSpeed * SPREAD_LOW),
                              static_cast<int>(fSpeed * SPREAD_HIGH)) /
                 SPREAD_SCALE;
        p.fVelX = p.fVel * table_cos(static_cast<float>(p.fAngle));
        p.fVelY = p.fVel * table_sin(static_cast<float>(p.fAngle));
        p.iColor1 = iColor1;
        p.iColor2 = iColor2;
        p.iNumLives = iNumLives;
        p.bmpSprite = bmpSprite;
        p.eType = eType;
        p.fSizeDelta = fSizeDelta;
        p.fSize = random_range(MIN_START_SIZE, MAX_START_SIZE);
        k++;
    }
}

void init_stage_particles(int iX, int iY, int iLevel)
{
    const stStageSparks *ptSparks = &OTHER_SPARKS;
    BITMAP *bmpSprite = nullptr;
    if (iLevel == INTRO_STAGE) {
        ptSparks = &INTRO_SPARKS;
        bmpSprite = bmpLogoLetter;
    } else if (iLevel >= 0 && iLevel < NUM_LEVELS) {
        ptSparks = &atStageSparks[iLevel];
    }
    init_particle_explosion(iX, iY, ptSparks->iParticles, ptSparks->fLife, 0.0, FULL_TURN,
                            ptSparks->fSpeed, ptSparks->fSizeDelta, 1, rgb_color(ptSparks->iRgb1),
                            rgb_color(ptSparks->iRgb2), ptSparks->eType, bmpSprite);
}

void update_particles(float fDT)
{
    for (stParticle &p : tParticle) {
        if (!p.bAlive)
            continue;
        p.fSize += fDT * p.fSizeDelta;
        const double t = p.fElapsed + fDT;
        if (t < p.fLife) {
            p.fElapsed = t;
            p.fX += fDT * p.fVelX;
            p.fY += fDT * p.fVelY;
        } else {
            // A further life starts where this one ended.
            p.fElapsed = 0.0;
            p.iNumLives--;
            if (p.iNumLives <= 0)
                p.bAlive = 0;
        }
    }
}

// Pictures and lines are drawn in the library's translucent mode at the
// particle's opacity; discs blend at that opacity by themselves.
void draw_particles(BITMAP *bmpBackground)
{
    for (int i = 0; i < MAX_PARTICLES; i++) {
        const stParticle &p = tParticle[i];
        if (!p.bAlive)
            continue;
        if (p.eType == BITMAP_PARTICLE || p.eType == LINE_PARTICLE) {
            drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
            set_trans_blender(0, 0, 0, opacity(p));
        }
        switch (p.eType) {
        case BITMAP_PARTICLE:
            draw_particle_bitmap(bmpBackground, i);
            break;
        case LINE_PARTICLE:
            draw_particle_line(bmpBackground, i);
            break;
        default:
            draw_particle_circle(bmpBackground, i);
            break;
        }
    }
    solid_mode();
}

// A picture particle without a picture (the intro's sparks outside the intro)
// draws nothing.
void draw_particle_bitmap(BITMAP *bmpBackground, int iN)
{
    const stParticle &p = tParticle[iN];
    if (!p.bmpSprite)
        return;
    draw_trans_sprite(bmpBackground, p.bmpSprite, static_cast<int>(p.fX), static_cast<int>(p.fY));
}

void draw_particle_line(BITMAP *bmpBackground, int iN)
{
    const stParticle &p = tParticle[iN];
    const int iColor = blend_color(p.iColor1, p.iColor2, life_fraction(p));
    const float fAngle = static_cast<float>(p.fAngle);
    fastline(bmpBackground, static_cast<int>(p.fX), static_cast<int>(p.fY),
             static_cast<int>(p.fX + p.fSize * table_cos(fAngle)),
             static_cast<int>(p.fY + p.fSize * table_sin(fAngle)), iColor);
}

// Concentric discs from the outside in: the outer rings take more of the end colour.
void draw_particle_circle(BITMAP *bmpBackground, int iN)
{
    const stParticle &p = tParticle[iN];
    const double fLived = life_fraction(p);
    const int iAlpha = opacity(p);
    for (int iRadius = static_cast<int>(p.fSize); iRadius > 0; iRadius -= DISC_STEP) {
        const double f = (iRadius / p.fSize) * fLived;
        trans_circlefill(bmpBackground, static_cast<int>(p.fX), static_cast<int>(p.fY), iRadius,
                         blend_color(p.iColor1, p.iColor2, f), iAlpha);
    }
}

const stParticle *get_particle(int iN)
{
    assert(iN >= 0 && iN < MAX_PARTICLES);
    return &tParticle[iN];
}

int count_live_particles()
{
    return static_cast<int>(
        std::count_if(std::begin(tParticle), std::end(tParticle),
                      [](const stParticle &p) { return p.bAlive != 0; }));
}
