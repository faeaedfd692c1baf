// Stage special elements: owns the match's element record, the snowmen's grid,
// the three installed functions and the timers of the lightning and the
// snowmen. Only the third level of the storm and snow stages has elements; the
// random waits and places, the grid and the lightning persist across points.
#include "stage_elements.h"
#include "grabber_functions.h"
#include "main.h"
#include "particle.h"
#include "player.h"
#include "pong.h"
#include "random.h"
#include "sound.h"
#include "sound_loading.h"
#include "stXMLParser.h"
#include "tables.h"

#include <algorithm>
#include <allegro.h>
#include <cmath>
#include <cstdio>

stScenesSpecialElements tElements = {};
stPosSnowMan tSnowMan[SNOWMAN_COLUMNS][SNOWMAN_ROWS] = {};
int g_bSpecialOnFront = FALSE;
void (*init_special_elements)() = init_special_elements_none;
void (*update_special_elements)(float fTimer) = update_special_elements_none;
void (*draw_special_elements)() = draw_special_elements_none;

namespace {
constexpr const char *SPECIAL_DOCUMENT = "ELEMENTOS_ES";
constexpr const char *SPECIAL_DATAFILE = "data/tx15.dat";
constexpr int SPECIAL_NAME_SIZE = 256;     // bytes of a datafile or object name, with its zero
constexpr int SLOTS_PER_STAGE = 5;         // timers kept per stage
constexpr int SPECIAL_LEVEL = 2;           // the level of a stage that has elements

// The lightning.
constexpr int LIGHTNING_MIN_WAIT = 14;     // s between two strikes, at least
constexpr int LIGHTNING_MAX_WAIT = 28;     // s, at most
constexpr float BOLT_GROWTH_TIME = 0.2f;   // s the bolt takes to reach the bottom
constexpr int BOLT_HEIGHT = 600;           // px the bolt grows to
constexpr int BOLT_START_HEIGHT = 100;     // px of the bolt's picture shown before the strike
constexpr float FLASH_TIME = 0.35f;        // s the field stays white
constexpr int BOLT = 0;                    // picture of the bolt
constexpr int BOLT_SKY = 1;                // picture laid over the field while it grows

// The storm's sky as runs of its visible pixels (a sixth of the screen):
// drawn every frame of a strike, it then costs a sixth of a full-screen
// sprite. Made when the storm level starts, freed with the stage's pictures.
RLE_SPRITE *rleSky = nullptr;

// The snowmen.
constexpr int SNOWMAN_LEFT = 45;           // px: the grid's first cell
constexpr int SNOWMAN_TOP = 25;
constexpr int SNOWMAN_CELL_WIDTH = 118;    // px
constexpr int SNOWMAN_CELL_HEIGHT = 179;
constexpr int SNOWMAN_JITTER_X = 20;       // px a snowman stands off its cell's origin, at most
constexpr int SNOWMAN_JITTER_Y = 39;
constexpr float SNOWMAN_RADIUS = 31.0f;    // px: the body's circle in the pictures
constexpr int SNOWMAN_BODY_X = 60;         // px: its centre from the picture's top-left
constexpr int SNOWMAN_BODY_Y = 79;
constexpr int SNOWMAN_WAIT_STEP = 3;       // s between the slots' first appearances
constexpr int SNOWMAN_MIN_WAIT = 2;        // s before slot 0 appears, at least
constexpr float SNOWMAN_MIDDLE_AGE = 3.0f; // s: the second step from here
constexpr float SNOWMAN_FULL_AGE = 5.0f;   // s: the full snowman after this
constexpr int GROWTH_STEPS = 3;
// Speed times mass a snowman of each step withstands; harder, the ball breaks through.
constexpr float afSnowmanStrength[GROWTH_STEPS] = {1750.0f, 3000.0f, 3500.0f};

// One burst of the smash: a step adds one more, slower and larger.
struct SnowBurst {
    int iParticles;
    double fLife;       // s
    double fSpeed;      // px/s
    double fSizeDelta;  // px/s
};
constexpr SnowBurst atSnowBurst[GROWTH_STEPS] = {
    {180, 1.5, 27.0, 2.5}, {110, 1.8, 15.0, 2.0}, {60, 2.0, 7.0, 1.8}};
constexpr double FULL_TURN = 360.0; // degrees

// Timers of the stages' elements.
struct SpecialState {
    int bRandomActive[NUM_LEVELS][SLOTS_PER_STAGE] = {}; // draw a new wait or place next update
    float fTimeElement[NUM_LEVELS][SLOTS_PER_STAGE] = {}; // s left before the element shows
    int bGrow[NUM_SNOWMEN][GROWTH_STEPS] = {};           // that step's grow sound has played
    int iXRand[NUM_SNOWMEN] = {};                        // each snowman's cell
    int iYRand[NUM_SNOWMEN] = {};
    float fTimeChangeSnowMan[NUM_SNOWMEN] = {};          // s since the snowman appeared
    float fContTime = 0.0f;                              // s since the strike began
    float fTimeToUayumin = 0.0f;                         // s of the flash
};
SpecialState g_tSpecial;

struct StageFunctions {
    void (*pInit)();
    void (*pUpdate)(float fTimer);
    void (*pDraw)();
};
const StageFunctions atStageFunctions[NUM_LEVELS] = {
    {init_special_elements_camaney, update_special_elements_camaney, draw_special_elements_camaney},
    {init_special_elements_lenguas, update_special_elements_lenguas, draw_special_elements_lenguas},
    {init_special_elements_uayumin, update_special_elements_uayumin, draw_special_elements_uayumin},
    {init_special_elements_karola, update_special_elements_karola, draw_special_elements_karola},
    {init_special_elements_guante, update_special_elements_guante, draw_special_elements_guante},
    {init_special_elements_ojeis, update_special_elements_ojeis, draw_special_elements_ojeis},
    {init_special_elements_arturito, update_special_elements_arturito, draw_special_elements_arturito},
    {init_special_elements_carnal, update_special_elements_carnal, draw_special_elements_carnal},
};

// The stage's record: whether it is drawn in front, and at most SPECIAL_IMAGES
// pictures; a record listing more keeps the first ones.
void read_stage_record(int iStage)
{
    stXMLParser *ptParser = open_xml_document(SPECIAL_DOCUMENT, SPECIAL_DATAFILE);
    xmlparser_findElement(ptParser, "especiales");
    char szFile[SPECIAL_NAME_SIZE];
    xmlparser_copyAttribute(ptParser, "ruta", szFile);
    for (int i = 0; i <= iStage; i++)
        xmlparser_findElement(ptParser, "elemento");
    g_bSpecialOnFront = xmlparser_getAttributeVal_asInteger(ptParser, "frente");
    const int iImages = xmlparser_getAttributeVal_asInteger(ptParser, "n_imagenes");
    tElements.iNumImagToElement = std::clamp(iImages, 0, SPECIAL_IMAGES);
    for (int i = 0; i < tElements.iNumImagToElement; i++) {
        if (!xmlparser_findElement(ptParser, "imagen"))
            continue;
        char szName[SPECIAL_NAME_SIZE];
        xmlparser_copyAttribute(ptParser, "nombre", szName);
        tElements.bmpElement[i] = load_bmp_from_dat(szName, szFile);
    }
    xmlparser_destroy(ptParser);
}

int picture_width(int iImage)
{
    const BITMAP *bmp = tElements.bmpElement[iImage];
    return bmp ? bmp->w : 0;
}

int picture_height(int iImage)
{
    const BITMAP *bmp = tElements.bmpElement[iImage];
    return bmp ? bmp->h : 0;
}

// Pan of a sound from screen column x: -1 at the left edge, +1 at the right.
float screen_pan(float x)
{
    return 2.0f * x / SCREEN_WIDTH - 1.0f;
}

void play_special(int iSound, float fPan)
{
    play_sound(sndSpecialSound[iSound], CHANNEL_SPECIAL_SOUNDS, FX_VOLUME, fPan);
}

// The growth step of a snowman of age t: 0 young, 1 middle, 2 full.
int growth_step(float t)
{
    if (t > SNOWMAN_FULL_AGE)
        return 2;
    return t >= SNOWMAN_MIDDLE_AGE ? 1 : 0;
}

// Which of afSnowmanStrength and of the bursts a snowman of age t has.
int strength_step(float t)
{
    if (t <= SNOWMAN_MIDDLE_AGE)
        return 0;
    return t <= SNOWMAN_FULL_AGE ? 1 : 2;
}

// Whether some cell of the grid is free.
bool free_cell_left()
{
    for (const auto &aColumn : tSnowMan)
        for (const stPosSnowMan &tCell : aColumn)
            if (!tCell.bActive)
                return true;
    return false;
}

// A new wait and a free cell for snowman i; with every cell taken it tries
// again at the next update.
void place_snowman(int i)
{
    if (!free_cell_left())
        return;
    for (int &bGrow : g_tSpecial.bGrow[i])
        bGrow = FALSE;
    g_tSpecial.fTimeElement[GUANTE_LEVEL][i] =
        static_cast<float>(random_range(SNOWMAN_WAIT_STEP * i + SNOWMAN_MIN_WAIT,
                                        SNOWMAN_WAIT_STEP * i + SNOWMAN_MIN_WAIT + 1));
    g_tSpecial.bRandomActive[GUANTE_LEVEL][i] = FALSE;
    g_tSpecial.fTimeChangeSnowMan[i] = 0.0f;
    int c = 0, r = 0;
    do {
        c = random_num(SNOWMAN_COLUMNS);
        r = random_num(SNOWMAN_ROWS);
    } while (tSnowMan[c][r].bActive);
    tSnowMan[c][r].bActive = TRUE;
    g_tSpecial.iXRand[i] = c;
    g_tSpecial.iYRand[i] = r;
    stSpecialElement &e = tElements.tSpecialElement[i];
    e.iX = static_cast<int>(tSnowMan[c][r].tPoint.fX) + random_range(0, SNOWMAN_JITTER_X);
    e.iY = static_cast<int>(tSnowMan[c][r].tPoint.fY) + random_range(0, SNOWMAN_JITTER_Y);
    stCircle &tCircle = tElements.tSpecialElementBounds.vtCircle[i];
    tCircle.fRadius = SNOWMAN_RADIUS;
    tCircle.tCenter.fX = static_cast<float>(e.iX + SNOWMAN_BODY_X);
    tCircle.tCenter.fY = static_cast<float>(e.iY + SNOWMAN_BODY_Y);
}

// Snowman i shows the picture of its growth step, with the grow sound the
// first time it shows each step.
void grow_snowman(int i)
{
    stSpecialElement &e = tElements.tSpecialElement[i];
    const int iStep = growth_step(g_tSpecial.fTimeChangeSnowMan[i]);
    e.bmpImagElement = tElements.bmpElement[iStep];
    if (!g_tSpecial.bGrow[i][iStep]) {
        g_tSpecial.bGrow[i][iStep] = TRUE;
        play_special(SOUND_SPECIAL_GROW, screen_pan(picture_width(iStep) / 2.0f + e.iX));
    }
}

// The ball meets snowman i: it bounces off, or breaks through one that is too
// young for its blow; either way the snowman bursts into snow.
void smash_snowman(int i)
{
    const stCircle &tCircle = tElements.tSpecialElementBounds.vtCircle[i];
    const int iStep = strength_step(g_tSpecial.fTimeChangeSnowMan[i]);
    const float fForce = std::hypot(g_tBall.fVelX, g_tBall.fVelY) * g_tBall.fMass;
    if (fForce <= afSnowmanStrength[iStep]) {
        circle_bounce(&tCircle, &g_tBall);
    } else {
        const float a = (fForce - afSnowmanStrength[iStep]) / g_tBall.fMass;
        g_tBall.fX -= table_cos(a);
        g_tBall.fY -= table_sin(a);
    }
    const int iWhite = makecol(255, 255, 255);
    for (int k = 0; k <= iStep; k++)
        init_particle_explosion(static_cast<int>(tCircle.tCenter.fX), static_cast<int>(tCircle.tCenter.fY),
                                atSnowBurst[k].iParticles, atSnowBurst[k].fLife, 0.0, FULL_TURN,
                                atSnowBurst[k].fSpeed, atSnowBurst[k].fSizeDelta, 1, iWhite, iWhite,
                                CIRCLE_PARTICLE, nullptr);
    play_special(SOUND_SPECIAL_DESTROY, screen_pan(g_tBall.fX));
    g_tSpecial.bRandomActive[GUANTE_LEVEL][i] = TRUE;
    g_tSpecial.fTimeChangeSnowMan[i] = 0.0f;
    tSnowMan[g_tSpecial.iXRand[i]][g_tSpecial.iYRand[i]].bActive = FALSE;
    stSpecialElement &e = tElements.tSpecialElement[i];
    e.bActive = FALSE;
    e.bmpImagElement = tElements.bmpElement[0];
}
} // namespace

void load_special_elements(int iStage)
{
    const int iLevel = iStage % LEVELS_PER_STAGE;
    const int iStageNumber = iStage / LEVELS_PER_STAGE;
    if (iStage < 0 || iLevel != SPECIAL_LEVEL || iStageNumber >= NUM_LEVELS) {
        init_special_elements = init_special_elements_none;
        update_special_elements = update_special_elements_none;
        draw_special_elements = draw_special_elements_none;
        return;
    }
    tElements.iStage = iStageNumber;
    init_special_elements = atStageFunctions[iStageNumber].pInit;
    update_special_elements = atStageFunctions[iStageNumber].pUpdate;
    draw_special_elements = atStageFunctions[iStageNumber].pDraw;
    read_stage_record(iStageNumber);
}

void destroy_special_elements()
{
    for (int i = 0; i < tElements.iNumElements; i++)
        tElements.tSpecialElement[i].bmpImagElement = nullptr;
    for (int i = 0; i < tElements.iNumImagToElement; i++) {
        if (tElements.bmpElement[i])
            destroy_bitmap(tElements.bmpElement[i]);
        tElements.bmpElement[i] = nullptr;
    }
    tElements.iNumImagToElement = 0;
    if (rleSky)
        destroy_rle_sprite(rleSky);
    rleSky = nullptr;
}

int next_element(int iElement, int iTotElements)
{
    return iElement >= iTotElements - 1 ? 0 : iElement + 1;
}

void init_pos_snowman()
{
    for (int c = 0; c < SNOWMAN_COLUMNS; c++) {
        for (int r = 0; r < SNOWMAN_ROWS; r++) {
            tSnowMan[c][r].bActive = FALSE;
            tSnowMan[c][r].tPoint.fX = static_cast<float>(SNOWMAN_LEFT + SNOWMAN_CELL_WIDTH * c);
            tSnowMan[c][r].tPoint.fY = static_cast<float>(SNOWMAN_TOP + SNOWMAN_CELL_HEIGHT * r);
        }
    }
}

void init_special_elements_none()
{
    tElements.iNumElements = 0;
    tElements.iNumImagToElement = 0;
}
void update_special_elements_none(float) {}
void draw_special_elements_none() {}

void init_special_elements_camaney() {}
void update_special_elements_camaney(float) {}
void draw_special_elements_camaney() {}
void init_special_elements_lenguas() {}
void update_special_elements_lenguas(float) {}
void draw_special_elements_lenguas() {}
void init_special_elements_karola() {}
void update_special_elements_karola(float) {}
void draw_special_elements_karola() {}
void init_special_elements_ojeis() {}
void update_special_elements_ojeis(float) {}
void draw_special_elements_ojeis() {}
void init_special_elements_arturito() {}
void update_special_elements_arturito(float) {}
void draw_special_elements_arturito() {}
void init_special_elements_carnal() {}
void update_special_elements_carnal(float) {}
void draw_special_elements_carnal() {}

void init_special_elements_uayumin()
{
    tElements.iNumElements = 1;
    stSpecialElement &tBolt = tElements.tSpecialElement[0];
    tBolt = stSpecialElement{};
    tBolt.bmpImagElement = tElements.bmpElement[BOLT];
    tBolt.iWidthImag = picture_width(BOLT);
    tBolt.iHeightImag = BOLT_START_HEIGHT;
    tBolt.iX = SCREEN_WIDTH / 2 - picture_width(BOLT) / 2;
    stSpecialElement &tSky = tElements.tSpecialElement[1];
    tSky = stSpecialElement{};
    tSky.bmpImagElement = tElements.bmpElement[BOLT_SKY];
    tSky.iWidthImag = picture_width(BOLT_SKY);
    tSky.iHeightImag = picture_height(BOLT_SKY);
    if (rleSky)
        destroy_rle_sprite(rleSky);
    rleSky = tElements.bmpElement[BOLT_SKY] ? get_rle_sprite(tElements.bmpElement[BOLT_SKY]) : nullptr;
    tElements.tSpecialElementBounds.iNumCircles = 0;
    tElements.tSpecialElementBounds.iNumSegments = 0;
    g_tSpecial.bRandomActive[UAYUMIN_LEVEL][0] = TRUE;
    g_tSpecial.fTimeElement[UAYUMIN_LEVEL][0] = 0.0f;
    g_tSpecial.fContTime = 0.0f;
    g_tSpecial.fTimeToUayumin = 0.0f;
}

void update_special_elements_uayumin(float fTimer)
{
    float &fWait = g_tSpecial.fTimeElement[UAYUMIN_LEVEL][0];
    if (g_tSpecial.bRandomActive[UAYUMIN_LEVEL][0]) {
        fWait = static_cast<float>(random_range(LIGHTNING_MIN_WAIT, LIGHTNING_MAX_WAIT));
        g_tSpecial.bRandomActive[UAYUMIN_LEVEL][0] = FALSE;
        g_tSpecial.fContTime = 0.0f;
    }
    if (fWait > 0.0f) {
        fWait -= fTimer;
        if (fWait > 0.0f)
            return;
    }
    if (g_tSpecial.fContTime == 0.0f) {
        play_special(SOUND_SPECIAL_THUNDER, 0.0f);
        for (stPlayer &tPlayer : g_tPlayer) {
            tPlayer.iSufferingElement = UAYUMIN_LEVEL;
            tPlayer.fTimeSufferingElement = 0.0f;
        }
    }
    stSpecialElement &tBolt = tElements.tSpecialElement[0];
    tBolt.bActive = TRUE;
    if (g_tSpecial.fContTime <= BOLT_GROWTH_TIME) {
        g_tSpecial.fContTime += fTimer;
        tBolt.iHeightImag = static_cast<int>(g_tSpecial.fContTime * BOLT_HEIGHT / BOLT_GROWTH_TIME);
    } else {
        g_tSpecial.fTimeToUayumin += fTimer;
    }
}

// The bolt grows under its lit sky; then the field flashes white in front of
// everything but the item bars; then the next wait begins.
void draw_special_elements_uayumin()
{
    stSpecialElement &tBolt = tElements.tSpecialElement[0];
    if (!tBolt.bActive)
        return;
    if (tBolt.iHeightImag < BOLT_HEIGHT) {
        if (rleSky)
            draw_rle_sprite(g_bmpBuffer, rleSky, 0, 0);
        if (tBolt.bmpImagElement)
            masked_blit(tBolt.bmpImagElement, g_bmpBuffer, 0, 0, tBolt.iX, tBolt.iY, tBolt.iWidthImag,
                        tBolt.iHeightImag);
    } else if (g_tSpecial.fTimeToUayumin <= FLASH_TIME) {
        g_bSpecialOnFront = TRUE;
        clear_to_color(g_bmpBuffer, makecol(255, 255, 255));
    } else {
        g_tSpecial.bRandomActive[UAYUMIN_LEVEL][0] = TRUE;
        g_tSpecial.fTimeToUayumin = 0.0f;
        g_bSpecialOnFront = FALSE;
        tBolt.iHeightImag = 0;
        tBolt.bActive = FALSE;
    }
}

void init_special_elements_guante()
{
    init_pos_snowman();
    tElements.iNumElements = NUM_SNOWMEN;
    tElements.tSpecialElementBounds.iNumCircles = NUM_SNOWMEN;
    tElements.tSpecialElementBounds.iNumSegments = 0;
    for (int i = 0; i < NUM_SNOWMEN; i++) {
        tElements.tSpecialElementBounds.vtCircle[i] = stCircle{};
        stSpecialElement &e = tElements.tSpecialElement[i];
        e = stSpecialElement{};
        e.bmpImagElement = tElements.bmpElement[0];
        e.iWidthImag = picture_width(0);
        e.iHeightImag = picture_height(0);
        g_tSpecial.bRandomActive[GUANTE_LEVEL][i] = TRUE;
        g_tSpecial.fTimeChangeSnowMan[i] = 0.0f;
    }
}

void update_special_elements_guante(float fTimer)
{
    for (int i = 0; i < NUM_SNOWMEN; i++) {
        if (g_tSpecial.bRandomActive[GUANTE_LEVEL][i])
            place_snowman(i);
        stSpecialElement &e = tElements.tSpecialElement[i];
        float &fWait = g_tSpecial.fTimeElement[GUANTE_LEVEL][i];
        if (fWait > 0.0f)
            fWait -= fTimer;
        else if (!g_tSpecial.bRandomActive[GUANTE_LEVEL][i])
            e.bActive = TRUE;
        if (e.bActive) {
            grow_snowman(i);
            g_tSpecial.fTimeChangeSnowMan[i] += fTimer;
        }
    }
    for (int i = 0; i < NUM_SNOWMEN; i++)
        if (tElements.tSpecialElement[i].bActive &&
            ball_circle_colision(&g_tBall, &tElements.tSpecialElementBounds.vtCircle[i]))
            smash_snowman(i);
}

void draw_special_elements_guante()
{
    for (int i = 0; i < NUM_SNOWMEN; i++) {
        const stSpecialElement &e = tElements.tSpecialElement[i];
        if (e.bActive && e.bmpImagElement)
            draw_sprite(g_bmpBuffer, e.bmpImagElement, e.iX, e.iY);
    }
}
