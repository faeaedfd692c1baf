// Items of the power bar. Each side's hits feed a prospective level that the
// bar follows at a steady speed; a full bar deals a random item, shown beside
// it, that the side keeps while the bar stays full. Using it applies its effect
// to the ball, the side's own paddle or the opponent; the effect lasts while
// the bar drains at the item's own speed and is undone when the bar is empty,
// a point is scored or another item is used. Booleans hold TRUE (-1) and FALSE (0).
#pragma once

struct BITMAP;
struct RLE_SPRITE;

typedef enum _enItems {
    NO_ITEM = -1,
    PROPERTIES = 0,    // a stronger, quicker paddle and band
    GROW_BALL = 1,     // a big, heavy ball that shakes the picture
    GROW_PADDLE = 2,   // a longer band
    SHRINK_PADDLE = 3, // a shorter band for the opponent
    MIRROR = 4,        // the opponent's controls swapped
    MAGNET = 5,        // the ball pulled toward the side's paddle
    FAST_BALL = 6,     // a faster ball
    IMAGE = 7,         // the picture mirrored left to right
    NUM_ITEMS = 8
} enItems;

// Effect magnitudes, from the catalogue's "efectos".
typedef struct _stItemProperties {
    float fMagnetPull;                     // MAGNET: speed change per update at 1 px, px^3/s
    float fIncBallVel;                     // FAST_BALL: factor on the ball's velocity
    float fIncBallMass;                    // GROW_BALL: factor on the ball's mass
    float fIncPaddleDeltaVY;               // PROPERTIES: added to the paddle's fDeltaVY, px/s
    float fDecPaddleDampVY;                // PROPERTIES: taken from the paddle's fDampVY
    float fIncPaddleMaxVY;                 // PROPERTIES: added to the paddle's fMaxVY, px/s
    float fIncPaddleSpringK;               // PROPERTIES, GROW_PADDLE: factor on fSpringForceResistance
    float fIncPaddleSpringLengthProp;      // PROPERTIES: factor on the three band lengths
    float fIncPaddleSpringLengthGrow;      // GROW_PADDLE: factor on the three band lengths
    float fIncPaddleSpringMinVel;          // PROPERTIES: factor on fSpringMinVel
    float fIncPaddleSpringMaxAcceleration; // PROPERTIES: factor on fSpringMaxAcceleration
    float fIncPaddleSpringGrowth;          // PROPERTIES: added to fSpringGrowth, px per 16 ms
    float fDecEnemySpringLength;           // SHRINK_PADDLE: factor on the opponent's band lengths
} stItemProperties;

// One side's power bar.
typedef struct _stItem {
    int iItem;              // item held (dealt when the bar is full), or NO_ITEM
    int iUsedItem;          // item whose effect runs, or NO_ITEM
    float fPowerBar;        // level shown
    float fFullBar;         // level at which the bar is full ("tam_barra")
    float fProspectedBar;   // level the bar is heading for, within 0 .. fFullBar
    float fVelBar;          // fill and empty speed, levels per s
    int iBarX;              // frame position on screen, px
    int iBarY;
    int iEmptyColor;        // colour of the bar's empty part
    int iBlendAlpha;        // translucency of the filling, 0 .. 255
    int iInsideDelta;       // inset of the filling inside the frame, px
    BITMAP *bmpBar;         // frame, owned
    BITMAP *bmpGrayBar;     // sphere shown while no item is held, owned
    BITMAP *bmpInside;      // filling in use: bmpInsideNormal, or bmpInsideUsed while an effect runs
    BITMAP *bmpInsideUsed;  // plain filling of a running effect, owned
    BITMAP *bmpInsideNormal; // normal filling, owned
    int iNumItems;          // items in the catalogue, at most NUM_ITEMS
    int iItemX;             // icon position on screen, px
    int iItemY;
    int bInverted;          // side 2: drawn mirrored, filling from the right
    int bMagnetPull;        // TRUE while MAGNET runs
    int bInvertScreen;      // TRUE while IMAGE shows the match mirrored left to right
    RLE_SPRITE *rleItem[NUM_ITEMS]; // icons by item, owned
    int aiProbability[NUM_ITEMS];   // draw weights by item
    float afDecSpeed[NUM_ITEMS];    // drain speed while that item's effect runs, levels per s
    stItemProperties tProperties;
} stItem;

// The shake of the finished picture while the big ball is in force.
typedef struct _stHardHit {
    int bActive;   // TRUE while the big ball is in force
    float fTime;   // time since the last swing of the shake, s
    float fDeltaX; // screen offset of the finished frame, px
    float fDeltaY; // px
} stHardHit;

extern stHardHit tBigBallHit; // shared by both sides; the stage collision sets the offsets

// Reads the catalogue and the bar's layout and builds the bar of side iPlayer
// (0 left, 1 right, drawn mirrored); iColor is the side's band colour, which
// the colour-ramp filling uses. The bar starts empty, holding nothing.
void init_items(int iPlayer, int iColor, float fFullBar, stItem *ptItems);
// Once per frame, after the side's paddle update: the bar follows its prospect
// with its sounds, a full bar deals an item, a running effect drains it, the
// magnet pulls and the shake swings.
void update_items(int iPlayer, stItem *ptItems, float fDT);
// Uses the held item, ending a running effect first; with none held only the
// opponent's suffered item is cleared.
void use_item(int iPlayer, stItem *ptItems);
// Ends the running effect, if any, emptying the bar; always clears the
// opponent's suffered item.
void undo_item(int iPlayer, stItem *ptItems);
// The side's filling, frame and icon (or grey sphere).
void draw_items(BITMAP *bmpPicture, stItem *ptItems);
void destroy_items(stItem *ptItems);

// Drawing operations of the bar.
BITMAP *create_bar(int iWidth, int iHeight, int iColor);
// Slanted columns from iColor1 on the left to iColor2 on the right.
BITMAP *create_gradient_bar(int iWidth, int iHeight, int iColor1, int iColor2, int iSlope);
// Slanted columns of iColor, from black on the left to its full value on the right.
BITMAP *create_color_bar(int iWidth, int iHeight, int iColor, int iSlope);
// The fraction fPerc of bmpSprite's columns (its right part when bInverted)
// over iEmptyColor, edged in black, drawn translucent at (iX, iY).
void draw_trans_sprite_perc(BITMAP *bmpPicture, BITMAP *bmpSprite, int iX, int iY, float fPerc,
                            int iEmptyColor, int bInverted);
// Mirrors the bitmap left to right in place.
void flip_bitmap(BITMAP *bmpSprite);
