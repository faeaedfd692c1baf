// Items of the power bar: each side's bar record (bitmaps, catalogue, effect
// magnitudes), the effects and their exact undoing, the magnet pull and the
// shake of the big ball. A bar holds an item only while it is full; an effect
// runs from use_item until undo_item.
#include "item.h"
#include "grabber_functions.h"
#include "main.h"
#include "player.h"
#include "pong.h"
#include "random.h"
#include "sound.h"
#include "sound_loading.h"
#include "stXMLParser.h"

#include <algorithm>
#include <allegro.h>
#include <cassert>
#include <cmath>
#include <cstdio>

stHardHit tBigBallHit = {0, 0.0f, 0.0f, 0.0f};

namespace {
constexpr const char *ITEM_DOCUMENT = "ITEMS";
constexpr const char *ITEM_DATAFILE = "data/tx15.dat";
constexpr int ITEM_NAME_SIZE = 256;        // bytes of a datafile or object name, with its zero
constexpr int INSIDE_EXTRA_WIDTH = 5;      // px of the frame beside the filling, besides the insets
constexpr int INSIDE_EXTRA_HEIGHT = 15;    // px of the frame below the filling, besides the insets
constexpr float ITEM_PAN = 0.7f;           // bar and power-up sounds come from the side's edge
constexpr unsigned FILLING_LOOP_START = 300;  // ms: the filling sound's seamless loop
constexpr unsigned FILLING_LOOP_END = 710;    // ms
constexpr unsigned EMPTYING_LOOP_START = 200; // ms: the emptying sound's seamless loop
constexpr unsigned EMPTYING_LOOP_END = 450;   // ms
constexpr int LOOP_FOR_EVER = -1;
constexpr float FIRE_SPEED_2 = 400.0f * 400.0f;    // (px/s)^2: a full bar sets a faster ball on fire
constexpr float SHADOW_SPEED_2 = 550.0f * 550.0f;  // (px/s)^2: a faster ball trails shadows
constexpr float MAX_SPEED_2 = BALL_MAX_SPEED * BALL_MAX_SPEED;
constexpr float MAGNET_MIN_DISTANCE = 1.0f; // px: closer, the pull has no direction
constexpr float SHAKE_PERIOD = 0.05f;       // s between two swings of the shake
constexpr float SHAKE_SWING = -0.85f;       // each swing turns the offset round and shrinks it

// Per side: whether each bar sound may start, and whether it plays.
struct ItemSoundState {
    int bSoundFillingFlag[2] = {TRUE, TRUE}; // the filling sound may start
    int bSoundEmptyFlag[2] = {TRUE, TRUE};   // the emptying sound may start
    int bStopChannel[2] = {FALSE, FALSE};    // the filling sound plays
    int bStopChannel_2[2] = {FALSE, FALSE};  // the emptying sound plays
};
ItemSoundState g_tItemSound;
BITMAP *bmpTempBar = nullptr; // scratch the size of a filling, shared by both sides

// The scratch bar, made (again) when it is missing or of another size.
BITMAP *scratch_bar(int w, int h)
{
    if (bmpTempBar && (bmpTempBar->w != w || bmpTempBar->h != h)) {
        destroy_bitmap(bmpTempBar);
        bmpTempBar = nullptr;
    }
    if (!bmpTempBar)
        bmpTempBar = create_bitmap(w, h);
    return bmpTempBar;
}

int bar_channel(int iPlayer)
{
    return iPlayer == 0 ? CHANNEL_BAR : CHANNEL_BAR_P2;
}

float side_pan(int iPlayer)
{
    return iPlayer == 0 ? -ITEM_PAN : ITEM_PAN;
}

void start_bar_sound(int iPlayer, int iSound, unsigned iLoopStart, unsigned iLoopEnd)
{
    set_repit_loop_point_sound(sndEffectsSound[iSound], iLoopStart, iLoopEnd, LOOP_FOR_EVER);
    play_sound(sndEffectsSound[iSound], bar_channel(iPlayer), FX_VOLUME, side_pan(iPlayer));
}

// The "item" entries under "raiz"; a missing one leaves its slot empty.
void read_catalogue(stXMLParser *ptParser, stItem *ptItems)
{
    bool bInEntry = false;
    for (int i = 0; i < ptItems->iNumItems; i++) {
        if (!xmlparser_findElement(ptParser, "item"))
            continue;
        bInEntry = true;
        char szFile[ITEM_NAME_SIZE];
        char szName[ITEM_NAME_SIZE];
        xmlparser_copyAttribute(ptParser, "archivo", szFile);
        xmlparser_copyAttribute(ptParser, "nombre", szName);
        ptItems->afDecSpeed[i] = static_cast<float>(xmlparser_getAttributeVal_asInteger(ptParser, "vel_usado"));
        ptItems->aiProbability[i] = xmlparser_getAttributeVal_asInteger(ptParser, "probabilidad");
        ptItems->rleItem[i] = load_rle_from_dat(szName, szFile);
    }
    if (bInEntry)
        xmlparser_gotoParent(ptParser);
}

void read_properties(stXMLParser *ptParser, stItemProperties *pt)
{
    if (!xmlparser_findElement(ptParser, "efectos"))
        return;
    pt->fMagnetPull = xmlparser_getAttributeVal_asFloat(ptParser, "fuerza_iman");
    pt->fIncBallVel = xmlparser_getAttributeVal_asFloat(ptParser, "bola_vel");
    pt->fIncBallMass = xmlparser_getAttributeVal_asFloat(ptParser, "bola_masa");
    pt->fIncPaddleDeltaVY = xmlparser_getAttributeVal_asFloat(ptParser, "delta_vel");
    pt->fDecPaddleDampVY = xmlparser_getAttributeVal_asFloat(ptParser, "damp_vel");
    pt->fIncPaddleMaxVY = xmlparser_getAttributeVal_asFloat(ptParser, "max_vel");
    pt->fIncPaddleSpringK = xmlparser_getAttributeVal_asFloat(ptParser, "liga_k");
    pt->fIncPaddleSpringLengthProp = xmlparser_getAttributeVal_asFloat(ptParser, "liga_lon_prop");
    pt->fIncPaddleSpringLengthGrow = xmlparser_getAttributeVal_asFloat(ptParser, "liga_lon_inc");
    pt->fIncPaddleSpringMinVel = xmlparser_getAttributeVal_asFloat(ptParser, "liga_min_vel");
    pt->fIncPaddleSpringMaxAcceleration = xmlparser_getAttributeVal_asFloat(ptParser, "liga_max_acel");
    pt->fIncPaddleSpringGrowth = xmlparser_getAttributeVal_asFloat(ptParser, "liga_crec");
    pt->fDecEnemySpringLength = xmlparser_getAttributeVal_asFloat(ptParser, "liga_lon_dec");
    xmlparser_gotoParent(ptParser);
}

// The frame, the sphere and both fillings from "barra".
void read_bar(stXMLParser *ptParser, int iColor, stItem *ptItems)
{
    xmlparser_findElement(ptParser, "barra");
    char szFile[ITEM_NAME_SIZE];
    char szFrame[ITEM_NAME_SIZE];
    char szSphere[ITEM_NAME_SIZE];
    xmlparser_copyAttribute(ptParser, "archivo", szFile);
    xmlparser_copyAttribute(ptParser, "nombre", szFrame);
    xmlparser_copyAttribute(ptParser, "esfera_gris", szSphere);
    ptItems->iInsideDelta = xmlparser_getAttributeVal_asInteger(ptParser, "delta_cuadro");
    ptItems->iBarX = xmlparser_getAttributeVal_asInteger(ptParser, "pos_x");
    ptItems->iBarY = xmlparser_getAttributeVal_asInteger(ptParser, "pos_y");
    ptItems->iBlendAlpha = xmlparser_getAttributeVal_asInteger(ptParser, "blend");
    ptItems->fVelBar = xmlparser_getAttributeVal_asFloat(ptParser, "vel_incremento");
    ptItems->iEmptyColor = xmlparser_getAttributeVal_asColor(ptParser, "color_vacio");
    const int iSlope = xmlparser_getAttributeVal_asInteger(ptParser, "pendiente");
    const int iColor1 = xmlparser_getAttributeVal_asColor(ptParser, "color_lado_1");
    const int iColor2 = xmlparser_getAttributeVal_asColor(ptParser, "color_lado_2");
    const int iUsedColor = xmlparser_getAttributeVal_asColor(ptParser, "color_decremento");
    const int iColorMode = xmlparser_getAttributeVal_asInteger(ptParser, "modo_color");

    ptItems->bmpBar = load_bmp_from_dat(szFrame, szFile);
    ptItems->bmpGrayBar = load_bmp_from_dat(szSphere, szFile);
    // A frame too small for its insets still gets a filling of one pixel.
    const int iInset = 2 * ptItems->iInsideDelta;
    const int w = std::max(1, ptItems->bmpBar->w - iInset - INSIDE_EXTRA_WIDTH);
    const int h = std::max(1, ptItems->bmpBar->h - iInset - INSIDE_EXTRA_HEIGHT);
    ptItems->bmpInsideNormal = iColorMode == 0 ? create_gradient_bar(w, h, iColor1, iColor2, iSlope)
                                               : create_color_bar(w, h, iColor, iSlope);
    ptItems->bmpInsideUsed = create_bar(w, h, iUsedColor);
    ptItems->bmpInside = ptItems->bmpInsideNormal;
    scratch_bar(w, h);
}

void read_items(int iColor, stItem *ptItems)
{
    stXMLParser *ptParser = open_xml_document(ITEM_DOCUMENT, ITEM_DATAFILE);
    xmlparser_findElement(ptParser, "raiz");
    ptItems->iItemX = xmlparser_getAttributeVal_asInteger(ptParser, "pos_items_x");
    ptItems->iItemY = xmlparser_getAttributeVal_asInteger(ptParser, "pos_items_y");
    // The record has a slot for each item the game knows, and no more.
    ptItems->iNumItems = std::clamp(xmlparser_getAttributeVal_asInteger(ptParser, "num_items"), 0,
                                    static_cast<int>(NUM_ITEMS));
    read_catalogue(ptParser, ptItems);
    read_properties(ptParser, &ptItems->tProperties);
    read_bar(ptParser, iColor, ptItems);
    xmlparser_destroy(ptParser);
}

stPlayer *opponent(int iPlayer)
{
    assert(iPlayer == 0 || iPlayer == 1);
    return &g_tPlayer[1 - iPlayer];
}

// Multiplies (bApply) or divides by the factor: the undoing is the exact inverse.
void scale(float &fValue, float fFactor, bool bApply)
{
    fValue = bApply ? fValue * fFactor : fValue / fFactor;
}

void scale_spring_lengths(stPaddle *ptPaddle, float fFactor, bool bApply)
{
    scale(ptPaddle->fSpringLength, fFactor, bApply);
    scale(ptPaddle->fMaxSpringLength, fFactor, bApply);
    scale(ptPaddle->fOriginalSpringLength, fFactor, bApply);
}

// A key record's up and down, and shrink and grow, exchanged; its own inverse.
void swap_controls(stInputKeys *ptKeys)
{
    if (!ptKeys)
        return;
    std::swap(ptKeys->iUp, ptKeys->iDown);
    std::swap(ptKeys->iShrink, ptKeys->iGrow);
}

void set_ball_sprite(RLE_SPRITE *rleSprite)
{
    g_tBall.rleSprite = rleSprite;
    if (rleSprite)
        g_tBall.tCircle.fRadius = static_cast<float>(rleSprite->w / 2);
}

// Applies (bApply) or undoes item iItem of side iPlayer: undoing is the exact
// inverse, dividing what was multiplied and subtracting what was added.
void apply_effect(int iPlayer, stItem *ptItems, int iItem, bool bApply)
{
    const stItemProperties &tP = ptItems->tProperties;
    stPaddle *ptPaddle = g_tPlayer[iPlayer].ptPaddle;
    const float fSign = bApply ? 1.0f : -1.0f;
    switch (iItem) {
    case PROPERTIES:
        ptPaddle->fDeltaVY += fSign * tP.fIncPaddleDeltaVY;
        ptPaddle->fDampVY -= fSign * tP.fDecPaddleDampVY;
        ptPaddle->fMaxVY += fSign * tP.fIncPaddleMaxVY;
        scale(ptPaddle->fSpringForceResistance, tP.fIncPaddleSpringK, bApply);
        scale_spring_lengths(ptPaddle, tP.fIncPaddleSpringLengthProp, bApply);
        scale(ptPaddle->fSpringMinVel, tP.fIncPaddleSpringMinVel, bApply);
        scale(ptPaddle->fSpringMaxAcceleration, tP.fIncPaddleSpringMaxAcceleration, bApply);
        ptPaddle->fSpringGrowth += fSign * tP.fIncPaddleSpringGrowth;
        break;
    case GROW_BALL:
        scale(g_tBall.fMass, tP.fIncBallMass, bApply);
        set_ball_sprite(bApply ? g_tBall.rleBigSprite : g_tBall.rleNormalSprite);
        tBigBallHit.bActive = bApply ? TRUE : FALSE;
        if (bApply)
            tBigBallHit.fTime = SHAKE_PERIOD;
        break;
    case GROW_PADDLE:
        scale_spring_lengths(ptPaddle, tP.fIncPaddleSpringLengthGrow, bApply);
        scale(ptPaddle->fSpringForceResistance, tP.fIncPaddleSpringK, bApply);
        break;
    case SHRINK_PADDLE:
        scale_spring_lengths(opponent(iPlayer)->ptPaddle, tP.fDecEnemySpringLength, bApply);
        break;
    case MIRROR:
        swap_controls(opponent(iPlayer)->ptInputKeys);
        break;
    case MAGNET:
        ptItems->bMagnetPull = bApply ? TRUE : FALSE;
        break;
    case FAST_BALL:
        scale(g_tBall.fVelX, tP.fIncBallVel, bApply);
        scale(g_tBall.fVelY, tP.fIncBallVel, bApply);
        break;
    case IMAGE:
        ptItems->bInvertScreen = bApply ? TRUE : FALSE;
        break;
    default:
        break;
    }
}

// The bar follows its prospect at fVelBar, with the filling or emptying sound
// looping on the side's bar channel while it moves.
void follow_prospect(int iPlayer, stItem *ptItems, float fDT)
{
    ItemSoundState &tS = g_tItemSound;
    const int iChannel = bar_channel(iPlayer);
    if (ptItems->fProspectedBar > ptItems->fPowerBar) {
        if (tS.bStopChannel_2[iPlayer]) {
            tS.bStopChannel_2[iPlayer] = FALSE;
            stop_channel(iChannel);
        }
        if (tS.bSoundFillingFlag[iPlayer]) {
            tS.bSoundFillingFlag[iPlayer] = FALSE;
            start_bar_sound(iPlayer, SOUND_EFFECT_BAR_FILLING, FILLING_LOOP_START, FILLING_LOOP_END);
        }
        ptItems->fPowerBar = std::min(ptItems->fPowerBar + fDT * ptItems->fVelBar, ptItems->fProspectedBar);
        tS.bStopChannel[iPlayer] = TRUE;
        return;
    }
    tS.bSoundFillingFlag[iPlayer] = TRUE;
    if (tS.bStopChannel[iPlayer]) {
        tS.bStopChannel[iPlayer] = FALSE;
        stop_channel(iChannel);
    }
    if (ptItems->fPowerBar > ptItems->fProspectedBar) {
        if (tS.bSoundEmptyFlag[iPlayer]) {
            tS.bSoundEmptyFlag[iPlayer] = FALSE;
            start_bar_sound(iPlayer, SOUND_EFFECT_BAR_EMPTYING, EMPTYING_LOOP_START, EMPTYING_LOOP_END);
        }
        ptItems->fPowerBar = std::max(ptItems->fPowerBar - fDT * ptItems->fVelBar, ptItems->fProspectedBar);
        tS.bStopChannel_2[iPlayer] = TRUE;
    } else {
        stop_channel(iChannel);
        tS.bSoundEmptyFlag[iPlayer] = TRUE;
    }
}

// A full bar deals an item (a draw may deal none: the next update draws
// again) and sets a fast ball on fire; below full the item is lost and a
// faster ball trails shadows.
void deal_item(stItem *ptItems)
{
    const float fSpeed2 = g_tBall.fVelX * g_tBall.fVelX + g_tBall.fVelY * g_tBall.fVelY;
    if (ptItems->fPowerBar >= ptItems->fFullBar) {
        if (ptItems->iItem == NO_ITEM && ptItems->iNumItems > 0)
            ptItems->iItem = weighted_random(ptItems->iNumItems, ptItems->aiProbability);
        if (fSpeed2 >= FIRE_SPEED_2) {
            g_tBall.bFire = TRUE;
            g_tBall.bShadows = FALSE;
        }
    } else {
        ptItems->iItem = NO_ITEM;
        if (fSpeed2 >= SHADOW_SPEED_2 && !g_tBall.bFire)
            g_tBall.bShadows = TRUE;
    }
}

// The ball pulled toward the side's paddle, never beyond the ball's top speed.
void pull_ball(int iPlayer, const stItem *ptItems)
{
    const stPaddle *ptPaddle = g_tPlayer[iPlayer].ptPaddle;
    const float dx = ptPaddle->fX - g_tBall.fX;
    const float dy = ptPaddle->fY - g_tBall.fY;
    const float d = std::sqrt(dx * dx + dy * dy);
    if (d < MAGNET_MIN_DISTANCE)
        return;
    const float f = ptItems->tProperties.fMagnetPull / (d * d);
    g_tBall.fVelX += f * dx / d;
    g_tBall.fVelY += f * dy / d;
    const float fSpeed2 = g_tBall.fVelX * g_tBall.fVelX + g_tBall.fVelY * g_tBall.fVelY;
    if (fSpeed2 >= MAX_SPEED_2) {
        const float fScale = std::sqrt(MAX_SPEED_2 / fSpeed2);
        g_tBall.fVelX *= fScale;
        g_tBall.fVelY *= fScale;
    }
}

void update_shake(float fDT)
{
    if (!tBigBallHit.bActive) {
        tBigBallHit.fDeltaX = 0.0f;
        tBigBallHit.fDeltaY = 0.0f;
        return;
    }
    tBigBallHit.fTime += fDT;
    if (tBigBallHit.fTime > SHAKE_PERIOD) {
        tBigBallHit.fTime -= SHAKE_PERIOD;
        tBigBallHit.fDeltaX *= SHAKE_SWING;
        tBigBallHit.fDeltaY *= SHAKE_SWING;
    }
}

void destroy_bitmap_of(BITMAP *&bmp)
{
    if (bmp)
        destroy_bitmap(bmp);
    bmp = nullptr;
}
} // namespace

void init_items(int iPlayer, int iColor, float fFullBar, stItem *ptItems)
{
    *ptItems = stItem{};
    ptItems->iItem = NO_ITEM;
    ptItems->iUsedItem = NO_ITEM;
    ptItems->fFullBar = fFullBar;
    read_items(iColor, ptItems);
    tBigBallHit = stHardHit{};
    if (iPlayer == 1) {
        ptItems->bInverted = TRUE;
        ptItems->iBarX = SCREEN_WIDTH - ptItems->iBarX - ptItems->bmpBar->w;
        const int iIconWidth = ptItems->rleItem[0] ? ptItems->rleItem[0]->w : 0;
        ptItems->iItemX = SCREEN_WIDTH - ptItems->iItemX - iIconWidth;
        flip_bitmap(ptItems->bmpBar);
        flip_bitmap(ptItems->bmpInsideNormal);
    }
}

void update_items(int iPlayer, stItem *ptItems, float fDT)
{
    assert(iPlayer == 0 || iPlayer == 1);
    if (ptItems->iUsedItem != NO_ITEM) {
        const float fDrain = fDT * ptItems->afDecSpeed[ptItems->iUsedItem];
        ptItems->fPowerBar -= fDrain;
        ptItems->fProspectedBar -= fDrain;
    }
    ptItems->fProspectedBar = std::max(std::min(ptItems->fProspectedBar, ptItems->fFullBar), 0.0f);
    follow_prospect(iPlayer, ptItems, fDT);
    deal_item(ptItems);
    if (ptItems->iUsedItem != NO_ITEM && ptItems->fPowerBar <= 0.0f)
        undo_item(iPlayer, ptItems);
    if (ptItems->bMagnetPull)
        pull_ball(iPlayer, ptItems);
    update_shake(fDT);
}

void use_item(int iPlayer, stItem *ptItems)
{
    const int iHeld = ptItems->iItem;
    if (iHeld != NO_ITEM) {
        play_sound(sndEffectsSound[SOUND_EFFECT_POWERUP], CHANNEL_SOUNDS, FX_VOLUME, side_pan(iPlayer));
        // Ending the running effect clears the opponent's suffered item, so
        // the new one is marked after it.
        if (ptItems->iUsedItem != NO_ITEM)
            undo_item(iPlayer, ptItems);
    }
    stPlayer *ptEnemy = opponent(iPlayer);
    ptEnemy->iSufferingItem = iHeld;
    ptEnemy->fTimeSufferingItem = 0.0f;
    if (iHeld == NO_ITEM)
        return;
    apply_effect(iPlayer, ptItems, iHeld, true);
    ptItems->iUsedItem = iHeld;
    ptItems->bmpInside = ptItems->bmpInsideUsed;
}

void undo_item(int iPlayer, stItem *ptItems)
{
    stPlayer *ptEnemy = opponent(iPlayer);
    ptEnemy->iSufferingItem = NO_ITEM;
    ptEnemy->fTimeSufferingItem = 0.0f;
    if (ptItems->iUsedItem == NO_ITEM)
        return;
    apply_effect(iPlayer, ptItems, ptItems->iUsedItem, false);
    ptItems->iUsedItem = NO_ITEM;
    ptItems->fPowerBar = 0.0f;
    ptItems->fProspectedBar = 0.0f;
    ptItems->bmpInside = ptItems->bmpInsideNormal;
}

void draw_items(BITMAP *bmpPicture, stItem *ptItems)
{
    // A bar without a size is always full.
    const float fPerc = ptItems->fFullBar > 0.0f ? ptItems->fPowerBar / ptItems->fFullBar : 1.0f;
    set_trans_blender(0, 0, 0, ptItems->iBlendAlpha);
    draw_trans_sprite_perc(bmpPicture, ptItems->bmpInside, ptItems->iBarX + ptItems->iInsideDelta,
                           ptItems->iBarY + ptItems->iInsideDelta, fPerc, ptItems->iEmptyColor,
                           ptItems->bInverted);
    draw_sprite(bmpPicture, ptItems->bmpBar, ptItems->iBarX, ptItems->iBarY);
    if (ptItems->iItem == NO_ITEM) {
        if (ptItems->bInverted)
            draw_sprite_h_flip(bmpPicture, ptItems->bmpGrayBar,
                               ptItems->iBarX + ptItems->bmpBar->w - ptItems->bmpGrayBar->w, ptItems->iBarY);
        else
            draw_sprite(bmpPicture, ptItems->bmpGrayBar, ptItems->iBarX, ptItems->iBarY);
    } else if (ptItems->rleItem[ptItems->iItem]) {
        set_multiply_blender(0, 0, 0, 255);
        draw_trans_rle_sprite(bmpPicture, ptItems->rleItem[ptItems->iItem], ptItems->iItemX, ptItems->iItemY);
    }
}

void destroy_items(stItem *ptItems)
{
    destroy_bitmap_of(ptItems->bmpBar);
    destroy_bitmap_of(ptItems->bmpGrayBar);
    destroy_bitmap_of(ptItems->bmpInsideNormal);
    destroy_bitmap_of(ptItems->bmpInsideUsed);
    ptItems->bmpInside = nullptr;
    for (int i = 0; i < ptItems->iNumItems; i++) {
        if (ptItems->rleItem[i])
            destroy_rle_sprite(ptItems->rleItem[i]);
        ptItems->rleItem[i] = nullptr;
    }
    destroy_bitmap_of(bmpTempBar);
}

BITMAP *create_bar(int iWidth, int iHeight, int iColor)
{
    BITMAP *bmpBar = create_bitmap(iWidth, iHeight);
    clear_to_color(bmpBar, iColor);
    return bmpBar;
}

BITMAP *create_gradient_bar(int iWidth, int iHeight, int iColor1, int iColor2, int iSlope)
{
    BITMAP *bmpBar = create_bitmap(iWidth, iHeight);
    const int iSpan = std::max(1, iWidth + iSlope);
    const int r1 = getr(iColor1), g1 = getg(iColor1), b1 = getb(iColor1);
    const int r2 = getr(iColor2), g2 = getg(iColor2), b2 = getb(iColor2);
    for (int i = -iSlope; i < iWidth; i++) {
        const int t = i + iSlope;
        const int iColor = makecol(r1 + (r2 - r1) * t / iSpan, g1 + (g2 - g1) * t / iSpan,
                                   b1 + (b2 - b1) * t / iSpan);
        line(bmpBar, i, 0, i + iSlope, iHeight / 3, iColor);
        line(bmpBar, i, iHeight, i + iSlope, iHeight / 3, iColor);
    }
    return bmpBar;
}

BITMAP *create_color_bar(int iWidth, int iHeight, int iColor, int iSlope)
{
    BITMAP *bmpBar = create_bitmap(iWidth, iHeight);
    const float fSpan = static_cast<float>(std::max(1, iWidth + iSlope));
    float fHue = 0.0f, fSaturation = 0.0f, fValue = 0.0f;
    rgb_to_hsv(getr(iColor), getg(iColor), getb(iColor), &fHue, &fSaturation, &fValue);
    for (int i = -iSlope; i < iWidth; i++) {
        int r = 0, g = 0, b = 0;
        hsv_to_rgb(fHue, fSaturation, fValue * static_cast<float>(i + iSlope) / fSpan, &r, &g, &b);
        const int iColumn = makecol(r, g, b);
        line(bmpBar, i, 0, i + iSlope, iHeight / 2, iColumn);
        line(bmpBar, i, iHeight, i + iSlope, iHeight / 2, iColumn);
    }
    return bmpBar;
}

void draw_trans_sprite_perc(BITMAP *bmpPicture, BITMAP *bmpSprite, int iX, int iY, float fPerc,
                            int iEmptyColor, int bInverted)
{
    const int w = bmpSprite->w;
    const int h = bmpSprite->h;
    const int n = std::clamp(static_cast<int>(static_cast<float>(w) * fPerc), 0, w);
    BITMAP *bmpTemp = scratch_bar(w, h);
    clear_to_color(bmpTemp, iEmptyColor);
    const int iBlack = makecol(0, 0, 0);
    if (bInverted) {
        blit(bmpSprite, bmpTemp, w - n, 0, w - n, 0, n, h);
        vline(bmpTemp, w - n, 0, h - 1, iBlack);
        vline(bmpTemp, w - n - 1, 0, h - 1, iBlack);
    } else {
        blit(bmpSprite, bmpTemp, 0, 0, 0, 0, n, h);
        vline(bmpTemp, n, 0, h - 1, iBlack);
        vline(bmpTemp, n + 1, 0, h - 1, iBlack);
    }
    draw_trans_sprite(bmpPicture, bmpTemp, iX, iY);
}

void flip_bitmap(BITMAP *bmpSprite)
{
    for (int y = 0; y < bmpSprite->h; y++) {
        for (int x = 0, x2 = bmpSprite->w - 1; x < x2; x++, x2--) {
            const int iLeft = getpixel(bmpSprite, x, y);
            putpixel(bmpSprite, x, y, getpixel(bmpSprite, x2, y));
            putpixel(bmpSprite, x2, y, iLeft);
        }
    }
}
