// Items of the power bar. For now a side's bar record with the item it holds
// and the item whose effect runs, and the shared shake record of the big
// ball's hard hits; no item is dealt yet, so a bar never holds one.
#pragma once

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

// One side's power bar.
typedef struct _stItem {
    int iItem;            // item held (dealt when the bar is full), or NO_ITEM
    int iUsedItem;        // item whose effect runs, or NO_ITEM
    float fFullBar;       // level at which the bar is full ("tam_barra")
    float fProspectedBar; // level the bar is heading for; hits add their credit
    int bInvertScreen;    // TRUE while IMAGE shows the match mirrored left to right
} stItem;

typedef struct _stHardHit {
    int bActive;   // TRUE while the big ball is in force
    float fTime;   // time since the last swing of the shake, s
    float fDeltaX; // screen offset of the finished frame, px
    float fDeltaY; // px
} stHardHit;

extern stHardHit tBigBallHit; // shared by both sides; the stage collision sets the offsets

// An empty bar of full size fFullBar for side iPlayer (0 or 1), holding nothing.
void init_items(int iPlayer, int iColor, float fFullBar, stItem *ptItems);
// Uses the held item: it becomes the item in use and the bar holds none.
// Nothing happens while the bar holds no item.
void use_item(int iPlayer, stItem *ptItems);
// Ends the effect in use, if any.
void undo_item(int iPlayer, stItem *ptItems);
