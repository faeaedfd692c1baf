// Stage special elements: on the third level of the storm stage a lightning
// bolt strikes at random intervals, flashes the field white and stuns the
// computer's paddles; on the third level of the snow stage snowmen appear in
// a grid, grow in three steps and are smashed by the ball. Every stage has an
// init, an update and a draw function, installed in three function pointers
// when a match starts; the other stages' functions do nothing.
#pragma once
#include "collision.h"

struct BITMAP;

constexpr int SPECIAL_IMAGES = 3;         // pictures a stage's elements may use
constexpr int MAX_SPECIAL_ELEMENTS = 196; // elements of one stage
constexpr int SNOWMAN_COLUMNS = 6;        // the snowmen's grid
constexpr int SNOWMAN_ROWS = 3;
constexpr int NUM_SNOWMEN = 5;

typedef struct _stSpecialElement {
    int bActive;           // shown and live
    int iX;                // top-left position on screen, px
    int iY;
    int iWidthImag;        // size of the part of the picture shown, px
    int iHeightImag;
    int iVelX;             // px/s (no element moves yet)
    int iVelY;
    int iActiveTime;       // timers (no element uses them yet)
    int iTotalTime;
    float fTrans;          // translucency (no element uses it yet)
    BITMAP *bmpImagElement; // picture drawn, one of bmpElement; not owned
} stSpecialElement;

typedef struct _stScenesSpecialElements {
    int iStage;            // enLevels value of the stage
    int iNumElements;      // elements in use
    int iNumImagToElement; // pictures loaded into bmpElement
    BITMAP *bmpElement[SPECIAL_IMAGES]; // owned
    stLevelBounds tSpecialElementBounds; // the snowmen's collision circles
    stSpecialElement tSpecialElement[MAX_SPECIAL_ELEMENTS];
} stScenesSpecialElements;

// One cell of the snowmen's grid.
typedef struct _stPosSnowMan {
    int bActive;    // a snowman stands in it
    stPoint tPoint; // cell origin, px
} stPosSnowMan;

extern stScenesSpecialElements tElements;               // the match's elements
extern stPosSnowMan tSnowMan[SNOWMAN_COLUMNS][SNOWMAN_ROWS]; // column by row
extern int g_bSpecialOnFront; // TRUE: the elements are drawn in front of ball and paddles

// The current stage's functions, installed by load_special_elements.
extern void (*init_special_elements)();
extern void (*update_special_elements)(float fTimer);
extern void (*draw_special_elements)();

// Installs the functions of level index iStage (only a stage's third level has
// elements) and loads their pictures from "ELEMENTOS_ES".
void load_special_elements(int iStage);
// Forgets the elements and releases their pictures.
void destroy_special_elements();
// The next slot after iElement, back to 0 after the last of iTotElements.
int next_element(int iElement, int iTotElements);
// Every cell of the snowmen's grid free, at its place.
void init_pos_snowman();

void init_special_elements_none();
void update_special_elements_none(float fTimer);
void draw_special_elements_none();
void init_special_elements_camaney();
void update_special_elements_camaney(float fTimer);
void draw_special_elements_camaney();
void init_special_elements_lenguas();
void update_special_elements_lenguas(float fTimer);
void draw_special_elements_lenguas();
void init_special_elements_uayumin();
void update_special_elements_uayumin(float fTimer);
void draw_special_elements_uayumin();
void init_special_elements_karola();
void update_special_elements_karola(float fTimer);
void draw_special_elements_karola();
void init_special_elements_guante();
void update_special_elements_guante(float fTimer);
void draw_special_elements_guante();
void init_special_elements_ojeis();
void update_special_elements_ojeis(float fTimer);
void draw_special_elements_ojeis();
void init_special_elements_arturito();
void update_special_elements_arturito(float fTimer);
void draw_special_elements_arturito();
void init_special_elements_carnal();
void update_special_elements_carnal(float fTimer);
void draw_special_elements_carnal();
