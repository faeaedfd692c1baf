// Items of the power bar: owns the shake record of the big ball's hard hits
// and each side's bar record. The shake record is all zero (inactive, no
// offset) until an item sets it; a bar holds an item only once one is dealt.
#include "item.h"

#include <allegro.h>

stHardHit tBigBallHit = {0, 0.0f, 0.0f, 0.0f};

void init_items(int iPlayer, int iColor, float fFullBar, stItem *ptItems)
{
    (void)iPlayer;
    (void)iColor;
    ptItems->iItem = NO_ITEM;
    ptItems->iUsedItem = NO_ITEM;
    ptItems->fFullBar = fFullBar;
    ptItems->fProspectedBar = 0.0f;
    ptItems->bInvertScreen = FALSE;
}

void use_item(int iPlayer, stItem *ptItems)
{
    if (ptItems->iItem == NO_ITEM)
        return;
    undo_item(iPlayer, ptItems);
    ptItems->iUsedItem = ptItems->iItem;
    ptItems->iItem = NO_ITEM;
}

void undo_item(int iPlayer, stItem *ptItems)
{
    (void)iPlayer;
    ptItems->iUsedItem = NO_ITEM;
    ptItems->bInvertScreen = FALSE;
}
