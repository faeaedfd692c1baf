// Stage selection: owns, for one visit, the stage pictures, arrows,
// background, frame and fonts, and for the whole run the stage and level
// chosen last, which the next visit starts from unless the opening screen ran.
#include "stage.h"
#include "fade.h"
#include "grabber_functions.h"
#include "input.h"
#include "labels.h"
#include "main.h"
#include "menu.h"
#include "player.h"
#include "sound.h"
#include "sound_loading.h"
#include "stXMLParser.h"
#include "tfont.h"
#include "time.h"
#include "utils.h"

#include <algorithm>
#include <allegro.h>
#include <cstdio>

namespace {
constexpr const char *STAGE_DOCUMENT = "ESCENAS";
constexpr const char *STAGE_DATAFILE = "data/tx15.dat";
constexpr int NAME_SIZE = 256;          // bytes of a datafile or object name, with its zero
constexpr int PICTURE_X = 200;          // px: every stage picture's place
constexpr int PICTURE_Y = 183;
constexpr int FRAME_X = 137;            // px: the frame around it
constexpr int FRAME_Y = 155;
constexpr int FRAME_ALPHA = 196;
constexpr int HOVER_ALPHA = 80;         // the white veil over a picture under the pointer
constexpr int LEVEL_NAME_RISE = 30;     // px from the picture's bottom to the level name
constexpr int LAST_STAGE_COUNT = 3 * (NUM_LEVELS - 1); // 21
constexpr int MOUSE_WRAP_COUNT = 6;     // the right arrow clicked past the last stage: the third stage
constexpr int FIRST_COUNT = 12;         // after the opening screen: stage 4, level 0
constexpr int POINTER_X = 700;          // px: where the pointer is put on entry
constexpr int POINTER_Y = 100;
constexpr int STEP_WAIT = 200;          // ms after a change of stage or level
constexpr int FRAME_WAIT = 33;          // ms between two frames
constexpr int FADE_TIME = 500;          // ms
constexpr int LABEL_FIRST_LEVEL = 22;   // labels 22 .. 24 name the three levels
constexpr int LEVEL_NAME_HEIGHT = 40;   // px, when the labels give no size
constexpr int NO_BUTTON = -1;           // iSelected: nothing under the pointer
constexpr int PICTURE_BUTTON = 4;
// The stage menu's buttons, by iSelected.
constexpr int UP_BUTTON = 0, RIGHT_BUTTON = 1, DOWN_BUTTON = 2, LEFT_BUTTON = 3;
constexpr const char *apszArrow[NUM_ARROWS] = {"ARROW_DOWN", "ARROW_LEFT", "ARROW_RIGHT", "ARROW_UP"};

// One visit's pictures and fonts, and the choice kept between visits.
struct StageState {
    stStage tStage[NUM_LEVELS] = {};
    BITMAP *bmpArrow[NUM_ARROWS] = {};
    BITMAP *bmpSceneBackground = nullptr;
    BITMAP *bmpFrame = nullptr;
    TFONT_FONT *fontScene = nullptr;
    TFONT_FONT *fontDummy = nullptr;
    int iArrowOffset = 0;
    char aszSceneLevel[LEVELS_PER_STAGE][NAME_SIZE] = {};
    stSceneChoice tChoice = {FIRST_COUNT, 0};
    int iScene = 0;
};
StageState g_tStage;

bool playable(const int abPlayable[NUM_LEVEL_INDICES], const stSceneChoice &t)
{
    return abPlayable[t.iSceneCount + t.iSceneLevel] != 0;
}

// The next stage in steps of iStep (3 or -3) that is playable at this level,
// wrapping round; the choice itself when no stage is.
stSceneChoice step_stage(stSceneChoice t, const int abPlayable[NUM_LEVEL_INDICES], int iStep)
{
    stSceneChoice tNext = t;
    for (int i = 0; i < NUM_LEVELS; i++) {
        tNext.iSceneCount += iStep;
        if (tNext.iSceneCount > LAST_STAGE_COUNT)
            tNext.iSceneCount = 0;
        else if (tNext.iSceneCount < 0)
            tNext.iSceneCount = LAST_STAGE_COUNT;
        if (playable(abPlayable, tNext))
            return tNext;
    }
    return t;
}

void free_bitmap(BITMAP *&bmp)
{
    if (bmp)
        destroy_bitmap(bmp);
    bmp = nullptr;
}

const stStage &current_stage()
{
    return g_tStage.tStage[g_tStage.iScene];
}

void draw_scene(int iSelected)
{
    const StageState &t = g_tStage;
    const stStage &s = current_stage();
    blit(t.bmpSceneBackground, g_bmpBuffer, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    draw_sprite(g_bmpBuffer, s.bmpScene, s.iX, s.iY);
    set_trans_blender(0, 0, 0, FRAME_ALPHA);
    draw_trans_sprite(g_bmpBuffer, t.bmpFrame, FRAME_X, FRAME_Y);
    if (iSelected == PICTURE_BUTTON) {
        drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
        set_trans_blender(0, 0, 0, HOVER_ALPHA);
        rectfill(g_bmpBuffer, s.iX, s.iY, s.iX + s.bmpScene->w - 1, s.iY + s.bmpScene->h - 1,
                 makecol(255, 255, 255));
        solid_mode();
    }
    print_button_to_screen(g_ptMenu[MENU_STAGE], t.fontDummy, g_bmpBuffer, iSelected);
    print_text_to_screen(g_ptMenuText, nullptr, TEXT_STAGE, g_bmpBuffer);
    const int iColor = g_ptLabel[LABEL_FIRST_LEVEL] ? g_ptLabel[LABEL_FIRST_LEVEL]->iColor : makecol(255, 255, 255);
    tfont_textout_centre_aa(g_bmpBuffer, t.fontScene, t.aszSceneLevel[t.tChoice.iSceneLevel],
                            s.iX + s.bmpScene->w / 2, s.iY + s.bmpScene->h - LEVEL_NAME_RISE, iColor);
}

void play_menu(int iSound)
{
    play_sound(sndMenuSound[iSound], CHANNEL_SOUNDS, FX_VOLUME, 0.0f);
}
} // namespace

stSceneChoice scene_level_up(stSceneChoice t)
{
    if (t.iSceneLevel > 0)
        t.iSceneLevel--;
    return t;
}

stSceneChoice scene_level_down(stSceneChoice t, const int abPlayable[NUM_LEVEL_INDICES])
{
    if (t.iSceneLevel < LEVELS_PER_STAGE - 1) {
        t.iSceneLevel++;
        if (!playable(abPlayable, t))
            t.iSceneLevel--;
    }
    return t;
}

stSceneChoice scene_next(stSceneChoice t, const int abPlayable[NUM_LEVEL_INDICES])
{
    return step_stage(t, abPlayable, LEVELS_PER_STAGE);
}

stSceneChoice scene_previous(stSceneChoice t, const int abPlayable[NUM_LEVEL_INDICES])
{
    return step_stage(t, abPlayable, -LEVELS_PER_STAGE);
}

stSceneChoice scene_next_by_mouse(stSceneChoice t, const int abPlayable[NUM_LEVEL_INDICES])
{
    for (int i = 0; i < NUM_LEVELS; i++) {
        t.iSceneCount += LEVELS_PER_STAGE;
        if (t.iSceneCount > LAST_STAGE_COUNT) {
            t.iSceneCount = MOUSE_WRAP_COUNT;
            return t;
        }
        if (playable(abPlayable, t))
            return t;
    }
    return t;
}

stSceneChoice scene_start(stSceneChoice tKept, int bReset)
{
    return bReset ? stSceneChoice{FIRST_COUNT, 0} : tKept;
}

void set_area_mouse_to_imag_stage(stMenu *ptMenu)
{
    const stStage &s = current_stage();
    stMouseArea &a = ptMenu->atOption[0].atElement[PICTURE_BUTTON].tMouseArea;
    a.iXLeft = s.iX;
    a.iYUp = s.iY;
    a.iXRight = s.iX + s.bmpScene->w;
    a.iYDown = s.iY + s.bmpScene->h;
}

void init_scene_selection()
{
    StageState &t = g_tStage;
    stXMLParser *ptParser = open_xml_document(STAGE_DOCUMENT, STAGE_DATAFILE);
    xmlparser_findElement(ptParser, "Scene");
    t.iArrowOffset = xmlparser_getAttributeVal_asInteger(ptParser, "offset");
    char szFontFile[NAME_SIZE], szFont[NAME_SIZE], szFile[NAME_SIZE];
    xmlparser_copyAttribute(ptParser, "file", szFontFile);
    xmlparser_copyAttribute(ptParser, "font", szFont);
    xmlparser_copyAttribute(ptParser, "archivo", szFile);
    const int iStages = std::min(xmlparser_getAttributeVal_asInteger(ptParser, "num_scenes"), static_cast<int>(NUM_LEVELS));
    for (int i = 0; i < iStages; i++) {
        if (!xmlparser_findElement(ptParser, "Stage"))
            continue;
        char szName[NAME_SIZE];
        xmlparser_copyAttribute(ptParser, "name", szName);
        t.tStage[i].bmpScene = load_bmp_from_dat(szName, szFile);
    }
    xmlparser_destroy(ptParser);
    for (int i = 0; i < NUM_ARROWS; i++)
        t.bmpArrow[i] = load_bmp_from_dat(apszArrow[i], szFile);
    t.bmpSceneBackground = load_bmp_from_dat("BACKGROUND", szFile);
    t.bmpFrame = load_bmp_from_dat("FRAME", szFile);
    for (int i = 0; i < LEVELS_PER_STAGE; i++) {
        const stLabel *ptLabel = g_ptLabel[LABEL_FIRST_LEVEL + i];
        snprintf(t.aszSceneLevel[i], sizeof(t.aszSceneLevel[i]), "%s", ptLabel ? ptLabel->szText : "");
    }
    const stLabel *ptSized = g_ptLabel[LABEL_FIRST_LEVEL + LEVELS_PER_STAGE - 1];
    const int iHeight = ptSized ? ptSized->iSize : LEVEL_NAME_HEIGHT;
    t.fontScene = load_font_from_dat(szFont, szFontFile, iHeight);
    t.fontDummy = load_font_from_dat(szFont, szFontFile, iHeight);
}

void exit_scene_selection()
{
    StageState &t = g_tStage;
    tfont_destroy_font(t.fontScene);
    tfont_destroy_font(t.fontDummy);
    t.fontScene = t.fontDummy = nullptr;
    for (stStage &s : t.tStage)
        free_bitmap(s.bmpScene);
    for (BITMAP *&bmp : t.bmpArrow)
        free_bitmap(bmp);
    free_bitmap(t.bmpSceneBackground);
    free_bitmap(t.bmpFrame);
}

int scene_selection()
{
    StageState &t = g_tStage;
    init_scene_selection();
    // Stages the document lacks keep no picture; one is needed on show.
    for (stStage &s : t.tStage) {
        s.iX = PICTURE_X;
        s.iY = PICTURE_Y;
        if (!s.bmpScene)
            s.bmpScene = create_bitmap(1, 1);
    }
    t.tChoice = scene_start(t.tChoice, g_bResetStage);
    g_bResetStage = FALSE;
    t.iScene = t.tChoice.iSceneCount / LEVELS_PER_STAGE;
    stMenu *ptMenu = g_ptMenu[MENU_STAGE];
    set_area_mouse_to_imag_stage(ptMenu);
    const int *abPlayable = g_ptUserContainer->ptCurrentUser->abPlayableStage;
    int iSelected = NO_BUTTON;
    position_mouse(POINTER_X, POINTER_Y);
    clean_clock();
    g_tPlayer[0].iInput |= IN_MOUSE;
    bool bFirst = true;
    bool bMouseChange = false;
    int iResult = NO_BUTTON;
    stSceneChoice tShown = t.tChoice;
    bool bLeave = false;
    while (!bLeave) {
        if (tShown.iSceneCount != t.tChoice.iSceneCount || tShown.iSceneLevel != t.tChoice.iSceneLevel) {
            play_menu(SOUND_MENU_MOVE);
            wait_clock(STEP_WAIT);
            if (!bMouseChange)
                iSelected = NO_BUTTON;
            tShown = t.tChoice;
            set_area_mouse_to_imag_stage(ptMenu);
        }
        bMouseChange = false;
        if (check_mouse_active())
            iSelected = check_mouse_position(ptMenu, iSelected);
        if (iSelected != NO_BUTTON && check_mouse_selected(ptMenu, iSelected) == -1)
            iSelected = NO_BUTTON;
        const int iMove = poll_movement(0, 0);
        const stSceneChoice tBefore = t.tChoice;
        switch (iMove) {
        case MOVE_UP:
            t.tChoice = scene_level_up(t.tChoice);
            break;
        case MOVE_DOWN:
            t.tChoice = scene_level_down(t.tChoice, abPlayable);
            break;
        case MOVE_SHRINK:
            t.tChoice = scene_next(t.tChoice, abPlayable);
            break;
        case MOVE_GROW:
            t.tChoice = scene_previous(t.tChoice, abPlayable);
            break;
        case MOVE_ESCAPE:
        case MOVE_BACK:
            play_menu(SOUND_MENU_RETURN);
            bLeave = true;
            break;
        case MOVE_START:
            play_menu(SOUND_MENU_SELECT);
            if (!check_mouse_pressed()) {
                iResult = t.tChoice.iSceneCount + t.tChoice.iSceneLevel;
                bLeave = true;
                break;
            }
            bMouseChange = true;
            if (check_mouse_selected(ptMenu, iSelected) == -1)
                break;
            if (iSelected == UP_BUTTON)
                t.tChoice = scene_level_up(t.tChoice);
            else if (iSelected == DOWN_BUTTON)
                t.tChoice = scene_level_down(t.tChoice, abPlayable);
            else if (iSelected == LEFT_BUTTON)
                t.tChoice = scene_previous(t.tChoice, abPlayable);
            else if (iSelected == RIGHT_BUTTON)
                t.tChoice = scene_next_by_mouse(t.tChoice, abPlayable);
            else if (iSelected == PICTURE_BUTTON) {
                iResult = t.tChoice.iSceneCount + t.tChoice.iSceneLevel;
                bLeave = true;
            }
            break;
        default:
            break;
        }
        // The highlight follows a key's move to its arrow.
        if (!bMouseChange && t.tChoice.iSceneLevel != tBefore.iSceneLevel)
            iSelected = iMove == MOVE_UP ? UP_BUTTON : DOWN_BUTTON;
        if (!bMouseChange && t.tChoice.iSceneCount != tBefore.iSceneCount)
            iSelected = iMove == MOVE_SHRINK ? RIGHT_BUTTON : LEFT_BUTTON;
        t.iScene = t.tChoice.iSceneCount / LEVELS_PER_STAGE;
        clear_keybuf();
        update_fmod();
        draw_scene(iSelected);
        if (bFirst) {
            fade_from_color(g_bmpBuffer, FADE_TIME, 0, 0, makecol(0, 0, 0));
            bFirst = false;
        } else {
            show_mouse(g_bmpBuffer);
            blit(g_bmpBuffer, screen, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
            show_mouse(nullptr);
            wait_clock(FRAME_WAIT);
        }
    }
    g_tPlayer[0].iInput &= ~IN_MOUSE;
    show_mouse(nullptr);
    fade_to_color(g_bmpBuffer, FADE_TIME, 0, 0, makecol(0, 0, 0));
    exit_scene_selection();
    solid_mode();
    return iResult;
}
