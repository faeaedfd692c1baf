// One fixed pool of short-lived particles for the whole program: emitters fill
// free slots with a fan of particles, every live particle moves and fades over
// its life, and is drawn translucent as a picture, a line or concentric discs.
#pragma once

struct BITMAP;

typedef enum _enParticleTypes {
    BITMAP_PARTICLE = 0,
    CIRCLE_PARTICLE = 1,
    LINE_PARTICLE = 2
} enParticleTypes;

typedef struct _stParticle {
    double fLife;      // length of one life, s
    double fElapsed;   // time lived in this life, s
    double fX;         // px
    double fY;         // px
    double fVelX;      // px/s
    double fVelY;      // px/s
    double fVel;       // speed, px/s
    double fAngle;     // flight direction, radians
    int iColor1;       // colour at birth (a makecol value)
    int iColor2;       // colour at the end of life
    double fSize;      // disc radius or line length, px
    double fSizeDelta; // growth of fSize, px/s
    int bAlive;        // TRUE (-1) while the slot is in use, 0 when free
    int iNumLives;     // lives left
    enParticleTypes eType;
    BITMAP *bmpSprite; // picture of a BITMAP_PARTICLE, not owned
} stParticle;

constexpr int MAX_PARTICLES = 1000; // slots of the pool

// The intro's logo letter, the picture of the intro's sparks; null outside the intro.
extern BITMAP *bmpLogoLetter;

// Frees every slot.
void kill_particles();
// A fan of iParticles between the angles fAngle1 and fAngle2 (degrees, turned
// by 90), each jittered by up to one step, with life and speed within 15 %.
// Nothing happens without particles, lives or life; a full pool places fewer.
void init_particle_explosion(int iX, int iY, int iParticles, double fLife, double fAngle1,
                             double fAngle2, double fSpeed, double fSizeDelta, int iNumLives,
                             int iColor1, int iColor2, enParticleTypes eType, BITMAP *bmpSprite);
// The spark set of a stage (enLevels; -1 the intro's).
void init_stage_particles(int iX, int iY, int iLevel);
void update_particles(float fDT);
// Every live particle, translucent, fading out over its life.
void draw_particles(BITMAP *bmpBackground);
void draw_particle_bitmap(BITMAP *bmpBackground, int iN);
void draw_particle_line(BITMAP *bmpBackground, int iN);
void draw_particle_circle(BITMAP *bmpBackground, int iN);

// Slot iN of the pool (0 to MAX_PARTICLES - 1), read only.
const stParticle *get_particle(int iN);
int count_live_particles();
