// Character selection: owns, for one visit, the screen record, its pictures
// and fonts, and for the whole run the bars' animation and the two
// random-highlight flags.
#include "select_player.h"
#include "fade.h"
#include "grabber_functions.h"
#include "input.h"
#include "main.h"
#include "memory.h"
#include "player.h"
#include "sound.h"
#include "sound_loading.h"
#include "stXMLParser.h"
#include "tfont.h"
#include "time.h"
#include "utils.h"

#include <algorithm>
#include <allegro.h>
#include <cmath>
#include <initializer_list>
#include <cstdio>
#include <cstring>

namespace {
constexpr const char *SELECT_DOCUMENT = "SEL_PERSONAJE";
constexpr const char *SELECT_DATAFILE = "data/tx15.dat";
constexpr const char *FONT_NAME = "CRACKHOUSE";
constexpr const char *FONT_DATAFILE = "data/tx05.dat";
constexpr int SMALL_FONT_HEIGHT = 32;   // px: a name's first line
constexpr int BIG_FONT_HEIGHT = 70;     // px: its second line
constexpr int UPPER_LINE_RISE = 30;     // px between the two lines
constexpr int FIRST_ONE = UAYUMIN;      // where the highlights start
constexpr int FIRST_TWO = OJEIS;
constexpr int COMPUTER_ONE = UAYUMIN;   // what two computers play
constexpr int COMPUTER_TWO = OJEIS;
constexpr int DEBOUNCE_FRAMES = 3;      // frames without input after a code
constexpr float SELECT_PAN = 0.75f;     // the select sound comes from the chooser's side
constexpr int FRAME_WAIT = 33;          // ms between two frames
constexpr int COMPUTER_WAIT = 100;      // ms before two computers' choice is taken
constexpr int CHOSEN_WAIT = 300;        // ms the final choice stays
constexpr int FADE_TIME = 500;          // ms
constexpr int TWO_BLINK_SHIFT = 10;     // player two's blink runs this far ahead
constexpr int VERSUS_ALPHA = 240;
constexpr float BAR0_STEP = 0.2f;       // px per frame of each bar
constexpr float BAR1_STEP = 0.5f;
constexpr float BAR_TOP = -100.0f;      // px: the bars move between this and 0
constexpr int BAR2_ALPHA = 55;
constexpr int BAR1_ALPHA = 155;
constexpr int BAR2_X_ONE = 35, BAR1_X_ONE = 80;   // px: player one's bars
constexpr int BAR2_X_TWO = 585, BAR1_X_TWO = 570; // px: player two's
// The grid is drawn in this order.
constexpr int aiDrawOrder[NUM_CHARACTERS] = {0, 1, 2, 3, 4, 5, 6, 7, 12, 13, 14, 15, 8, 9, 10, 11};

// The pictures of one character.
struct CharacterPictures {
    RLE_SPRITE *rleSelected = nullptr;
    RLE_SPRITE *rleNotSelected = nullptr;
    RLE_SPRITE *rleHidden = nullptr;
    RLE_SPRITE *rlePlayer = nullptr;
    RLE_SPRITE *rlePlate1 = nullptr;
    RLE_SPRITE *rlePlate2 = nullptr;
};

// One visit's record, pictures and fonts, and the bars and highlight flags of the run.
struct SelectState {
    stSelectScreenPlayer *ptScreen = nullptr; // the record on show, owned
    BITMAP *bmpBackground = nullptr;
    RLE_SPRITE *rleVersus = nullptr;
    RLE_SPRITE *rleBar1 = nullptr;
    RLE_SPRITE *rleBar2 = nullptr;
    CharacterPictures atPicture[NUM_CHARACTERS];
    TFONT_FONT *fontSmall = nullptr;
    TFONT_FONT *fontBig = nullptr;
    int bRandActive[2] = {FALSE, FALSE};      // the highlight shows without blinking
    float fPosY0 = 0.0f;                      // bars' positions and steps, px
    float fPosY1 = 0.0f;
    float fDelta0 = -BAR0_STEP;
    float fDelta1 = -BAR1_STEP;
};
SelectState g_tSelect;

int integer(stXMLParser *ptParser, const char *pszName)
{
    return xmlparser_getAttributeVal_asInteger(ptParser, pszName);
}

const int *profile_statuses()
{
    return g_ptUserContainer->ptCurrentUser->aiPlayableChar;
}

RLE_SPRITE *load_sprite(const char *pszName)
{
    return load_rle_from_dat(pszName, g_tSelect.ptScreen->szRoute);
}

void free_sprite(RLE_SPRITE *&rle)
{
    if (rle)
        destroy_rle_sprite(rle);
    rle = nullptr;
}

// A bar moving between BAR_TOP and 0, turning at each end.
void move_bar(float *pfPos, float *pfDelta, float fStep)
{
    *pfPos += *pfDelta;
    if (*pfPos > 0.0f) {
        *pfPos = 0.0f;
        *pfDelta = -fStep;
    } else if (*pfPos < BAR_TOP) {
        *pfPos = BAR_TOP;
        *pfDelta = fStep;
    }
}

void draw_bars(BITMAP *bmp, bool bTwo)
{
    SelectState &t = g_tSelect;
    move_bar(&t.fPosY0, &t.fDelta0, BAR0_STEP);
    move_bar(&t.fPosY1, &t.fDelta1, BAR1_STEP);
    const int iY0 = static_cast<int>(t.fPosY0);
    const int iY1 = static_cast<int>(t.fPosY1);
    const int iAlpha2 = BAR2_ALPHA - static_cast<int>(std::lround(2.0f * t.fPosY0));
    const int iAlpha1 = BAR1_ALPHA - static_cast<int>(std::lround(t.fPosY1));
    set_trans_blender(0, 0, 0, iAlpha2);
    draw_trans_rle_sprite(bmp, t.rleBar2, BAR2_X_ONE, iY0);
    if (bTwo)
        draw_trans_rle_sprite(bmp, t.rleBar2, BAR2_X_TWO, iY0);
    set_trans_blender(0, 0, 0, iAlpha1);
    draw_trans_rle_sprite(bmp, t.rleBar1, BAR1_X_ONE, iY1);
    if (bTwo)
        draw_trans_rle_sprite(bmp, t.rleBar1, BAR1_X_TWO, iY1);
}

// The highlighted character's large picture, plate and name on one side.
void draw_side(BITMAP *bmp, int iCharacter, bool bOne)
{
    const stCharacter &c = g_tSelect.ptScreen->tCharacter[iCharacter];
    const CharacterPictures &p = g_tSelect.atPicture[iCharacter];
    if (p.rlePlayer) {
        const int iX = bOne ? c.tPlayer.iX : SCREEN_WIDTH - c.tPlayer.iX;
        draw_rle_sprite(bmp, p.rlePlayer, iX - p.rlePlayer->w / 2, c.tPlayer.iY - p.rlePlayer->h / 2);
    }
    const int iX = bOne ? c.tName.iXPlayer1 : c.tName.iXPlayer2;
    const RLE_SPRITE *rlePlate = bOne ? p.rlePlate1 : p.rlePlate2;
    if (rlePlate)
        draw_rle_sprite(bmp, rlePlate, iX - rlePlate->w / 2, c.tName.iY - rlePlate->h / 2 + BIG_FONT_HEIGHT / 2);
    const int iWhite = makecol(255, 255, 255);
    textprintf_centre_bold(bmp, g_tSelect.fontSmall, iX, c.tName.iY - UPPER_LINE_RISE, iWhite, c.tName.szName[0]);
    textprintf_centre_bold(bmp, g_tSelect.fontBig, iX, c.tName.iY, iWhite, c.tName.szName[1]);
}

// Whether a highlight shows at count iCount: always once confirmed; while
// choosing during the blink's on part, or while its random flag is set.
bool highlight_shows(int iCount, int bChoosing, int bRand)
{
    if (!bChoosing || bRand)
        return true;
    const stSelectScreenPlayer *pt = g_tSelect.ptScreen;
    const int iPeriod = std::max(1, static_cast<int>(std::lround(pt->fTimeOn + pt->fTimeOff)));
    return (iCount % iPeriod) < pt->fTimeOn;
}

void play_select(int iPlayer)
{
    play_sound(sndMenuSound[SOUND_MENU_SELECT], CHANNEL_SOUNDS, FX_VOLUME,
               iPlayer == 0 ? -SELECT_PAN : SELECT_PAN);
}

void play_menu(int iSound)
{
    play_sound(sndMenuSound[iSound], CHANNEL_SOUNDS, FX_VOLUME, 0.0f);
}

// A side choosing or confirmed, and whether it asks to leave.
struct Chooser {
    int iSelected;
    bool bChoosing = true;
};

// One code of one side; true when it asks to leave the screen.
bool handle_code(int iPlayer, int iCode, Chooser *pt)
{
    switch (iCode) {
    case MOVE_UP:
    case MOVE_DOWN:
    case MOVE_SHRINK:
    case MOVE_GROW:
        if (pt->bChoosing) {
            play_menu(SOUND_MENU_MOVE);
            pt->iSelected = check_link(iCode, pt->iSelected);
        }
        return false;
    case MOVE_ESCAPE:
        play_menu(SOUND_MENU_RETURN);
        if (pt->bChoosing)
            return true;
        pt->bChoosing = true;
        return false;
    case MOVE_START:
        if (pt->bChoosing) {
            play_select(iPlayer);
            pt->bChoosing = false;
        }
        return false;
    default:
        return false;
    }
}
} // namespace

int pack_selection(int iGameMode, int iSelected1, int iSelected2)
{
    if (iGameMode == GM_COMPUTER_VS_COMPUTER)
        return (COMPUTER_ONE << 8) | COMPUTER_TWO;
    if (iGameMode == GM_PLAYER_VS_COMPUTER)
        return (iSelected1 << 8) | NO_CHARACTER;
    return (iSelected1 << 8) | iSelected2;
}

int follow_links(const stSelectScreenPlayer *ptScreen, const int aiStatus[NUM_CHARACTERS], int iDirection,
                 int iSelected)
{
    int i = iSelected;
    for (int iStep = 0; iStep < NUM_CHARACTERS; iStep++) {
        const stLinkAvatar &l = ptScreen->tCharacter[i].tLink;
        switch (iDirection) {
        case MOVE_UP:
            i = l.iUp;
            break;
        case MOVE_DOWN:
            i = l.iDown;
            break;
        case MOVE_SHRINK:
            i = l.iRight;
            break;
        default:
            i = l.iLeft;
            break;
        }
        if (i < 0 || i >= NUM_CHARACTERS)
            return iSelected;
        if (aiStatus[i] == SELECTABLE)
            return i;
    }
    return iSelected; // a chain without a selectable character keeps the highlight
}

int check_link(int iDirection, int iSelected)
{
    return follow_links(g_tSelect.ptScreen, profile_statuses(), iDirection, iSelected);
}

void select_player_screen_load(stSelectScreenPlayer *ptScreen)
{
    stXMLParser *ptParser = open_xml_document(SELECT_DOCUMENT, SELECT_DATAFILE);
    xmlparser_findElement(ptParser, "pantalla");
    ptScreen->iNumCharacters = std::clamp(integer(ptParser, "n_personajes"), 0, static_cast<int>(NUM_CHARACTERS));
    xmlparser_copyAttribute(ptParser, "ruta", ptScreen->szRoute);
    xmlparser_copyAttribute(ptParser, "fondo", ptScreen->szBackground);
    xmlparser_copyAttribute(ptParser, "vs", ptScreen->szVs);
    ptScreen->iXVs = integer(ptParser, "x");
    ptScreen->iYVs = integer(ptParser, "y");
    ptScreen->fTimeOn = static_cast<float>(integer(ptParser, "tprendido"));
    ptScreen->fTimeOff = static_cast<float>(integer(ptParser, "tapagado"));
    for (int i = 0; i < ptScreen->iNumCharacters; i++) {
        if (!xmlparser_findElement(ptParser, "personaje"))
            continue;
        stCharacter &c = ptScreen->tCharacter[i];
        char szName[SELECT_TEXT_SIZE];
        xmlparser_copyAttribute(ptParser, "nombre", szName);
        const char *pszSpace = strchr(szName, ' ');
        snprintf(c.tName.szName[0], SELECT_TEXT_SIZE, "%s", pszSpace ? "Alter" : "");
        snprintf(c.tName.szName[1], SELECT_TEXT_SIZE, "%s", pszSpace ? pszSpace + 1 : szName);
        if (xmlparser_findElement(ptParser, "avatar")) {
            c.tAvatar.iX = integer(ptParser, "x");
            c.tAvatar.iY = integer(ptParser, "y");
            xmlparser_copyAttribute(ptParser, "seleccionado", c.tAvatar.szSelected);
            xmlparser_copyAttribute(ptParser, "no_seleccionado", c.tAvatar.szNotSelected);
            xmlparser_copyAttribute(ptParser, "inactivo", c.tAvatar.szHidden);
            xmlparser_gotoParent(ptParser);
        }
        if (xmlparser_findElement(ptParser, "jugador")) {
            c.tPlayer.iX = integer(ptParser, "x");
            c.tPlayer.iY = integer(ptParser, "y");
            xmlparser_copyAttribute(ptParser, "nombre", c.tPlayer.szName);
            xmlparser_gotoParent(ptParser);
        }
        if (xmlparser_findElement(ptParser, "placa")) {
            c.tName.iXPlayer1 = integer(ptParser, "x_izquierda");
            c.tName.iXPlayer2 = integer(ptParser, "x_derecha");
            c.tName.iY = integer(ptParser, "y");
            xmlparser_copyAttribute(ptParser, "izquierda", c.tName.szPlayer1);
            xmlparser_copyAttribute(ptParser, "derecha", c.tName.szPlayer2);
            xmlparser_gotoParent(ptParser);
        }
        if (xmlparser_findElement(ptParser, "enlaces")) {
            c.tLink.iUp = integer(ptParser, "arriba");
            c.tLink.iDown = integer(ptParser, "abajo");
            c.tLink.iLeft = integer(ptParser, "izquierda");
            c.tLink.iRight = integer(ptParser, "derecha");
            xmlparser_gotoParent(ptParser);
        }
    }
    xmlparser_destroy(ptParser);
}

void load_image(const stSelectScreenPlayer *ptScreen)
{
    SelectState &t = g_tSelect;
    t.bmpBackground = load_bmp_from_dat(ptScreen->szBackground, ptScreen->szRoute);
    t.rleVersus = load_sprite(ptScreen->szVs);
    t.rleBar2 = load_sprite("BAR2");
    t.rleBar1 = load_sprite("BAR1");
    for (int i = 0; i < ptScreen->iNumCharacters; i++) {
        const stCharacter &c = ptScreen->tCharacter[i];
        if (c.tAvatar.szSelected[0] == '\0')
            continue; // the document lacks this character
        CharacterPictures &p = t.atPicture[i];
        p.rleSelected = load_sprite(c.tAvatar.szSelected);
        p.rleNotSelected = load_sprite(c.tAvatar.szNotSelected);
        p.rleHidden = load_sprite(c.tAvatar.szHidden);
        p.rlePlayer = load_sprite(c.tPlayer.szName);
        p.rlePlate1 = load_sprite(c.tName.szPlayer1);
        p.rlePlate2 = load_sprite(c.tName.szPlayer2);
    }
}

void destroy_bmp_rle_to_player_screen()
{
    SelectState &t = g_tSelect;
    if (t.bmpBackground)
        destroy_bitmap(t.bmpBackground);
    t.bmpBackground = nullptr;
    free_sprite(t.rleVersus);
    free_sprite(t.rleBar1);
    free_sprite(t.rleBar2);
    for (CharacterPictures &p : t.atPicture)
        for (RLE_SPRITE **prle : {&p.rleSelected, &p.rleNotSelected, &p.rleHidden, &p.rlePlayer, &p.rlePlate1,
                                  &p.rlePlate2})
            free_sprite(*prle);
}

void print_screen_select_player(BITMAP *bmpBuffer, int iSelected1, int iSelected2, int iCount,
                                int bChoosing1, int bChoosing2)
{
    const bool bTwo = iSelected2 != NO_CHARACTER;
    draw_bars(bmpBuffer, bTwo);
    draw_side(bmpBuffer, iSelected1, true);
    if (bTwo)
        draw_side(bmpBuffer, iSelected2, false);
    const int *aiStatus = profile_statuses();
    for (int i : aiDrawOrder) {
        const stAvatar &a = g_tSelect.ptScreen->tCharacter[i].tAvatar;
        const CharacterPictures &p = g_tSelect.atPicture[i];
        const RLE_SPRITE *rle = aiStatus[i] == SELECTABLE       ? p.rleNotSelected
                                : aiStatus[i] == NOT_SELECTABLE ? p.rleHidden
                                                                : nullptr;
        if (rle)
            draw_rle_sprite(bmpBuffer, rle, a.iX, a.iY);
    }
    auto highlight = [bmpBuffer](int iCharacter) {
        const stAvatar &a = g_tSelect.ptScreen->tCharacter[iCharacter].tAvatar;
        if (g_tSelect.atPicture[iCharacter].rleSelected)
            draw_rle_sprite(bmpBuffer, g_tSelect.atPicture[iCharacter].rleSelected, a.iX, a.iY);
    };
    if (highlight_shows(iCount, bChoosing1, g_tSelect.bRandActive[0]))
        highlight(iSelected1);
    if (bTwo && highlight_shows(iCount + TWO_BLINK_SHIFT, bChoosing2, g_tSelect.bRandActive[1]))
        highlight(iSelected2);
    set_trans_blender(0, 0, 0, VERSUS_ALPHA);
    draw_trans_rle_sprite(bmpBuffer, g_tSelect.rleVersus, g_tSelect.ptScreen->iXVs, g_tSelect.ptScreen->iYVs);
}

int select_player(int iGameMode, int)
{
    SelectState &t = g_tSelect;
    t.ptScreen = static_cast<stSelectScreenPlayer *>(safe_calloc(1, sizeof(stSelectScreenPlayer)));
    select_player_screen_load(t.ptScreen);
    load_image(t.ptScreen);
    t.fontSmall = load_font_from_dat(FONT_NAME, FONT_DATAFILE, SMALL_FONT_HEIGHT);
    t.fontBig = load_font_from_dat(FONT_NAME, FONT_DATAFILE, BIG_FONT_HEIGHT);
    Chooser atSide[2] = {{FIRST_ONE}, {iGameMode == GM_PLAYER_VS_COMPUTER ? NO_CHARACTER : FIRST_TWO}};
    clean_clock();
    clear_keybuf();
    bool bFirst = true;
    bool bBack = false;
    bool bDone = false;
    int iDebounce = 0;
    while (!bDone && !bBack) {
        update_fmod();
        const int iCount = iClock / 10;
        clear_joy_buff(g_tPlayer[0].iJoystick);
        clear_joy_buff(g_tPlayer[1].iJoystick);
        clear_to_color(g_bmpBuffer, makecol(0, 51, 102));
        blit(t.bmpBackground, g_bmpBuffer, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
        if (iGameMode == GM_COMPUTER_VS_COMPUTER) {
            if (bFirst) {
                play_select(0);
                play_select(1);
                t.bRandActive[0] = t.bRandActive[1] = TRUE;
                atSide[0].bChoosing = atSide[1].bChoosing = false;
            } else {
                wait_clock(COMPUTER_WAIT);
                bDone = true;
            }
        } else if (iDebounce == 0) {
            const int iCode1 = poll_movement(0, 0);
            bBack = handle_code(0, iCode1, &atSide[0]);
            int iCode2 = MOVE_NONE;
            if (iGameMode == GM_PLAYER_VS_PLAYER) {
                iCode2 = poll_movement(1, 0);
                bBack = handle_code(1, iCode2, &atSide[1]) || bBack;
            }
            if (iCode1 != MOVE_NONE || iCode2 != MOVE_NONE) {
                iDebounce = DEBOUNCE_FRAMES;
                clean_clock();
            }
            bDone = !atSide[0].bChoosing && (iGameMode != GM_PLAYER_VS_PLAYER || !atSide[1].bChoosing);
        } else {
            iDebounce--;
        }
        clear_keybuf();
        print_screen_select_player(g_bmpBuffer, atSide[0].iSelected, atSide[1].iSelected, iCount,
                                   atSide[0].bChoosing, atSide[1].bChoosing);
        if (g_ptUserContainer->ptCurrentUser->bVsync)
            wait_retrace();
        if (bFirst) {
            fade_from_color(g_bmpBuffer, FADE_TIME, 0, 0, makecol(0, 0, 0));
            bFirst = false;
        } else {
            blit(g_bmpBuffer, screen, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
            wait_clock(FRAME_WAIT);
        }
    }
    t.bRandActive[0] = t.bRandActive[1] = FALSE;
    blit(g_bmpBuffer, screen, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    rest(CHOSEN_WAIT);
    fade_to_color(g_bmpBuffer, FADE_TIME, 0, 0, makecol(0, 0, 0));
    tfont_destroy_font(t.fontSmall);
    tfont_destroy_font(t.fontBig);
    t.fontSmall = t.fontBig = nullptr;
    destroy_bmp_rle_to_player_screen();
    safe_free(&t.ptScreen);
    return bBack ? -1 : pack_selection(iGameMode, atSide[0].iSelected, atSide[1].iSelected);
}
