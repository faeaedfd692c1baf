// Menus: owns the current language's menus and screen texts, every language's
// options menu and screen, the boxes, the opening screen's backgrounds and the
// flag that restarts the stage screen. Tables are filled from the documents
// up to their size; what a document lists beyond that is ignored.
#include "menu.h"
#include "fade.h"
#include "grabber_functions.h"
#include "help.h"
#include "input.h"
#include "main.h"
#include "memory.h"
#include "options.h"
#include "player.h"
#include "pong.h"
#include "random.h"
#include "sound.h"
#include "sound_loading.h"
#include "stXMLParser.h"
#include "tfont.h"
#include "time.h"
#include "utils.h"

#include <algorithm>
#include <iterator>
#include <allegro.h>
#include <cassert>
#include <cstdio>
#include <cstring>

stMenu *g_ptMenu[NUM_GAME_MENUS] = {};
stMenu *g_ptParcialMenu[MAX_LANGUAGES] = {};
stMenuText *g_ptMenuText = nullptr;
stMenuText *g_ptParcialMenuText = nullptr;
stBox *g_ptBox[NUM_BOXES] = {};
BITMAP *g_bmpZenkBgnd[NUM_ZENK_BACKGROUNDS] = {};
int g_bResetStage = FALSE;

namespace {
constexpr const char *BOX_DOCUMENT = "CAJAS";
constexpr const char *FRAME_DATAFILE = "data/tx03.dat";
constexpr const char *FRAME_PICTURE = "USERS_FRAME";
constexpr const char *SCREEN_FONT = "CRACKHOUSE";
constexpr const char *FONT_DATAFILE = "data/tx05.dat";
constexpr int SCREEN_FONT_HEIGHT = 15;     // px
constexpr int LOADED_BACKGROUNDS = 2;      // opening-screen pictures loaded: normal and champion
constexpr int FRAME_TIME = 150;            // ms the frame takes to grow
constexpr int FRAME_ALPHA = 200;           // translucency of the frame
constexpr int MENU_FADE_TIME = 500;        // ms of the opening screen's fades
constexpr int FRAME_WAIT = 33;             // ms between two frames of a menu
constexpr int ESCAPE_WAIT = 100;           // ms the exit stays shown before leaving
constexpr int BACK_WAIT = 150;             // ms after going back a screen
constexpr int CHOICE_WAIT = 200;           // ms after a choice on the rematch screen
constexpr int SCREEN_BLEND = 128;          // translucency set for the opening screen
constexpr int FULL_LIGHT = 255;            // brightness of the light fully on
constexpr int DIM_LIMIT = 100;             // below this the falling light catches at LIGHT_CATCH
constexpr int LIGHT_CATCH = 150;
constexpr int LIGHT_STEP = 40;             // brightness step: LIGHT_STEP / (1 .. 10)
constexpr int FIRST_COUNTDOWN = 10;        // frames before the first switch: 10 / (1 .. 2)
constexpr int COUNTDOWN = 100;             // frames between switches: 100 / (1 .. 2)
constexpr int CHAMPION_GAME_MODE = 3;      // the cup that earns the champion's background
constexpr int CHAMPION_DIFFICULTY = 2;
constexpr int HARD_GAME_MODE = 2;          // the cup that opens the hardest tournament
constexpr int HARD_DIFFICULTY = 0;
constexpr int LONG_PLAY_TIME = 18000;      // time played that earns background 3
constexpr int NO_SELECTION = -1;

// -------- reading the documents --------

int integer(stXMLParser *ptParser, const char *pszName)
{
    return xmlparser_getAttributeVal_asInteger(ptParser, pszName);
}

// Enters the optional child pszChild of the cursor's element: true when it
// exists, and then the caller reads it and calls xmlparser_gotoParent.
bool enter_child(stXMLParser *ptParser, const char *pszChild)
{
    return xmlparser_findElement(ptParser, pszChild) != 0;
}

void read_position(stXMLParser *ptParser, stPosition *ptPosition)
{
    if (!enter_child(ptParser, "posicion"))
        return;
    ptPosition->iX = integer(ptParser, "x");
    ptPosition->iY = integer(ptParser, "y");
    xmlparser_copyAttribute(ptParser, "centrado", ptPosition->szCenterType);
    xmlparser_gotoParent(ptParser);
}

void read_element(stXMLParser *ptParser, stElement *ptElement)
{
    xmlparser_copyAttribute(ptParser, "nombre", ptElement->szName);
    xmlparser_copyAttribute(ptParser, "id", ptElement->szID);
    ptElement->iValue = integer(ptParser, "valor");
    ptElement->iStatus = integer(ptParser, "estado");
    if (enter_child(ptParser, "fuente")) {
        stFontData &f = ptElement->tFont;
        xmlparser_copyAttribute(ptParser, "nombre", f.szName);
        xmlparser_copyAttribute(ptParser, "id", f.szID);
        xmlparser_copyAttribute(ptParser, "ubicacion", f.szRoute);
        f.iSize = integer(ptParser, "tamano");
        f.iColorSelected = xmlparser_getAttributeVal_asColor(ptParser, "color_seleccionado");
        f.iColorUnselected = xmlparser_getAttributeVal_asColor(ptParser, "color_no_seleccionado");
        f.iColorDisabled = xmlparser_getAttributeVal_asColor(ptParser, "color_desactivado");
        xmlparser_gotoParent(ptParser);
    }
    if (enter_child(ptParser, "area_de_mouse")) {
        stMouseArea &a = ptElement->tMouseArea;
        a.iYUp = integer(ptParser, "y_up");
        a.iYDown = integer(ptParser, "y_down");
        a.iXLeft = integer(ptParser, "x_left");
        a.iXRight = integer(ptParser, "x_right");
        xmlparser_gotoParent(ptParser);
    }
    if (enter_child(ptParser, "enlace")) {
        stLink &l = ptElement->tLink;
        l.iUp = integer(ptParser, "arriba");
        l.iDown = integer(ptParser, "abajo");
        l.iLeft = integer(ptParser, "izquierda");
        l.iRight = integer(ptParser, "derecha");
        xmlparser_gotoParent(ptParser);
    }
    read_position(ptParser, &ptElement->tPosition);
    if (enter_child(ptParser, "imagen")) {
        stImageData &i = ptElement->tImage;
        xmlparser_copyAttribute(ptParser, "ruta", i.szRoute);
        xmlparser_copyAttribute(ptParser, "fija", i.szImage);
        xmlparser_copyAttribute(ptParser, "seleccionada", i.szActiveImage);
        if (i.szRoute[0] != '\0') {
            xmlparser_copyAttribute(ptParser, "orientacion", i.szOrientation);
            i.bmpImage = load_bmp_from_dat(i.szImage, i.szRoute);
            i.bmpActiveImage = load_bmp_from_dat(i.szActiveImage, i.szRoute);
        }
        xmlparser_gotoParent(ptParser);
    }
}

// The option at the cursor ("opcion") into ptOption; the cursor comes back to it.
void read_option(stXMLParser *ptParser, stOption *ptOption)
{
    xmlparser_copyAttribute(ptParser, "tipo", ptOption->szType);
    xmlparser_copyAttribute(ptParser, "id", ptOption->szID);
    const int iListed = integer(ptParser, "num_elementos");
    ptOption->iNumElements = std::clamp(iListed, 0, MENU_OPTION_ELEMENTS);
    bool bInElement = false;
    for (int i = 0; i < ptOption->iNumElements; i++) {
        if (!xmlparser_findElement(ptParser, "elemento"))
            continue;
        bInElement = true;
        read_element(ptParser, &ptOption->atElement[i]);
    }
    if (bInElement)
        xmlparser_gotoParent(ptParser);
}

// The screen at the cursor ("pantalla"); the cursor comes back to it.
void read_screen(stXMLParser *ptParser, stScreen *ptScreen)
{
    ptScreen->iNumElements = std::clamp(integer(ptParser, "n_textos"), 0, SCREEN_TEXTS);
    xmlparser_copyAttribute(ptParser, "id", ptScreen->szID);
    if (enter_child(ptParser, "fondo")) {
        stBackground &b = ptScreen->tBackground;
        b.iNumBackgrounds = std::clamp(integer(ptParser, "n_fondos"), 0, SCREEN_BACKGROUNDS);
        xmlparser_copyAttribute(ptParser, "ruta", b.szRoute);
        bool bInImage = false;
        for (int i = 0; i < b.iNumBackgrounds; i++) {
            if (!xmlparser_findElement(ptParser, "imagen"))
                continue;
            bInImage = true;
            xmlparser_copyAttribute(ptParser, "nombre", b.atImage[i].szBackground);
        }
        if (bInImage)
            xmlparser_gotoParent(ptParser);
        xmlparser_gotoParent(ptParser);
    }
    bool bInElement = false;
    for (int i = 0; i < ptScreen->iNumElements; i++) {
        if (!xmlparser_findElement(ptParser, "elemento"))
            continue;
        bInElement = true;
        stTextElement &t = ptScreen->atTextElement[i];
        xmlparser_copyAttribute(ptParser, "nombre", t.szName);
        read_position(ptParser, &t.tPosition);
        if (enter_child(ptParser, "fuente")) {
            t.tFont.iSize = integer(ptParser, "tamano");
            xmlparser_copyAttribute(ptParser, "nombre", t.tFont.szName);
            xmlparser_copyAttribute(ptParser, "ubicacion", t.tFont.szRoute);
            t.tFont.iColorSelected = xmlparser_getAttributeVal_asColor(ptParser, "color");
            xmlparser_gotoParent(ptParser);
        }
    }
    if (bInElement)
        xmlparser_gotoParent(ptParser);
}

void destroy_menu_pictures(stMenu *ptMenu)
{
    for (stOption &tOption : ptMenu->atOption) {
        for (stElement &tElement : tOption.atElement) {
            if (tElement.tImage.bmpImage)
                destroy_bitmap(tElement.tImage.bmpImage);
            if (tElement.tImage.bmpActiveImage)
                destroy_bitmap(tElement.tImage.bmpActiveImage);
            tElement.tImage.bmpImage = nullptr;
            tElement.tImage.bmpActiveImage = nullptr;
        }
    }
}

// The font for a text of name pszName at height iSize.
TFONT_FONT *sized_font(const char *pszName, int iSize)
{
    TFONT_FONT *ptFont = g_Fonts[font_use(pszName)];
    tfont_set_font_size(ptFont, iSize);
    return ptFont;
}

// -------- the opening screen --------

// The flickering light of the opening screen.
struct Light {
    bool bOn = false;
    int iBrightness = FULL_LIGHT;
    int iStep = LIGHT_STEP / (random_num(10) + 1);
    int iCountdown = FIRST_COUNTDOWN / (random_num(2) + 1);

    void update()
    {
        iBrightness += bOn ? iStep + 1 : -iStep;
        if (iBrightness > FULL_LIGHT)
            iBrightness = FULL_LIGHT;
        else if (iBrightness < 1)
            iBrightness = 0;
        if (!bOn && iBrightness < DIM_LIMIT) {
            iBrightness = LIGHT_CATCH;
            iCountdown = 0;
        }
        if (iCountdown < 1) {
            play_sound(sndMenuSound[SOUND_MENU_LIGHTBULB], CHANNEL_LIGHT, FX_VOLUME, 0.0f);
            iCountdown = COUNTDOWN / (random_num(2) + 1);
            iStep = LIGHT_STEP / (random_num(10) + 1);
            bOn = !bOn;
        }
        iCountdown--;
    }
};

// Which menu each state of the opening screen shows.
constexpr int aiScreenMenu[] = {MENU_BEGINNING, MENU_PLAY, MENU_VERSUS, MENU_TOURNAMENT};

// The opening screen's state between frames.
struct OpeningState {
    int iScreen = BEGGINING_SCREEN;
    int iSelected = PLAY;
    int aiChosen[4] = {PLAY, VS, 0, 0}; // per screen, the button last chosen with Start in it
    bool bInput = true;
    bool bLeave = false;
    int iResult = NO_SELECTION;         // the selection the screen leaves with
    int iWait = 0;                      // ms to wait after this frame
    bool bOptions = false;              // the options screen opens after this frame
    bool bHelp = false;                 // the help page opens after this frame
};

stMenu *screen_menu(const OpeningState &t)
{
    return g_ptMenu[aiScreenMenu[t.iScreen]];
}

void go_to(OpeningState *pt, int iScreen, int iSelected)
{
    pt->iScreen = iScreen;
    pt->iSelected = iSelected;
}

void draw_opening(const OpeningState &t, BITMAP *bmpBackground, int iBrightness)
{
    blit(bmpBackground, g_bmpBuffer, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    if (iBrightness < FULL_LIGHT) {
        drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
        set_trans_blender(0, 0, 0, FULL_LIGHT - iBrightness);
        rectfill(g_bmpBuffer, 0, 0, SCREEN_WIDTH - 1, SCREEN_HEIGHT - 1, makecol(0, 0, 0));
        solid_mode();
    }
    print_text_to_screen(g_ptMenuText, nullptr, TEXT_PRINCIPAL, g_bmpBuffer);
    print_button_to_screen(screen_menu(t), nullptr, g_bmpBuffer, t.iSelected);
}

// Start on the selection of the current screen.
void choose(OpeningState *pt, int *piPlayingMode)
{
    play_menu_sound(SOUND_MENU_SELECT);
    pt->aiChosen[pt->iScreen] = pt->iSelected;
    switch (pt->iScreen) {
    case BEGGINING_SCREEN:
        if (pt->iSelected == PLAY) {
            go_to(pt, PLAY_SCREEN, VS);
        } else if (pt->iSelected == OPTIONS) {
            pt->bOptions = true;
        } else if (pt->iSelected == EXIT) {
            pt->iResult = NO_SELECTION;
            pt->bLeave = true;
        }
        break;
    case PLAY_SCREEN:
        if (pt->iSelected == VS) {
            *piPlayingMode = VERSUS_MODE;
            go_to(pt, VERSUS_MODE_SCREEN, P1_VS_CPU);
        } else if (pt->iSelected == BACK_TO_BEGGINING) {
            go_to(pt, BEGGINING_SCREEN, PLAY);
        }
        break;
    default: // versus or tournament
        if (pt->iSelected == VS_BACK_TO_PLAY) {
            go_to(pt, PLAY_SCREEN, pt->iScreen == VERSUS_MODE_SCREEN ? VS : TOURNAMENT);
        } else {
            pt->iResult = pt->iSelected;
            pt->bLeave = true;
        }
        break;
    }
}

// Back and Escape.
void go_back(OpeningState *pt, int iMove)
{
    play_menu_sound(SOUND_MENU_RETURN);
    if (iMove == MOVE_ESCAPE) {
        if (pt->iScreen == BEGGINING_SCREEN) {
            pt->iSelected = EXIT;
            pt->bInput = false;
            pt->iResult = NO_SELECTION;
            pt->bLeave = true;
            pt->iWait = ESCAPE_WAIT;
        } else {
            go_to(pt, BEGGINING_SCREEN, PLAY);
        }
        return;
    }
    if (pt->iScreen == BEGGINING_SCREEN)
        return;
    const int iTo = pt->iScreen == PLAY_SCREEN ? BEGGINING_SCREEN : PLAY_SCREEN;
    go_to(pt, iTo, iTo == BEGGINING_SCREEN ? PLAY : pt->aiChosen[iTo]);
    pt->iWait = BACK_WAIT;
}

// The opening screen's picture for the current profile, with the hardest
// tournament enabled or not; only the first two pictures are loaded, the
// others show the normal one.
BITMAP *opening_background()
{
    g_ptMenu[MENU_TOURNAMENT]->atOption[0].atElement[HARD].iStatus = check_zenkplayer_dif_active() ? 1 : 0;
    return zenk_background(get_current_background() == 1 ? 1 : 0);
}

void handle_opening_input(OpeningState *pt, int *piPlayingMode)
{
    stMenu *ptMenu = screen_menu(*pt);
    const int iBefore = pt->iSelected;
    const int iScreenBefore = pt->iScreen;
    if (check_mouse_active())
        pt->iSelected = check_mouse_position(ptMenu, pt->iSelected);
    const int iMove = poll_movement(0, 0);
    const bool bClick = check_mouse() == MOVE_START && check_mouse_selected(ptMenu, pt->iSelected) != -1;
    switch (iMove) {
    case MOVE_UP:
    case MOVE_DOWN:
    case MOVE_SHRINK:
    case MOVE_GROW:
        pt->iSelected = next_selection(ptMenu, pt->iSelected, iMove, false);
        break;
    case MOVE_ESCAPE:
    case MOVE_BACK:
        go_back(pt, iMove);
        break;
    case MOVE_START:
        choose(pt, piPlayingMode);
        break;
    case MOVE_HELP:
        pt->bHelp = true;
        break;
    default:
        if (bClick)
            choose(pt, piPlayingMode);
        break;
    }
    if (iMove != MOVE_NONE)
        clear_keybuf();
    if (pt->iSelected != iBefore && pt->iScreen == iScreenBefore && !pt->bLeave)
        play_menu_sound(SOUND_MENU_MOVE);
}
} // namespace

// -------- records --------

void present_with_mouse()
{
    show_mouse(nullptr);
    blit(g_bmpBuffer, screen, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    show_mouse(screen);
}

void play_menu_sound(int iSound)
{
    play_sound(sndMenuSound[iSound], CHANNEL_SOUNDS, FX_VOLUME, 0.0f);
}

stMenu *menu_create()
{
    return static_cast<stMenu *>(safe_calloc(1, sizeof(stMenu)));
}

void menu_destroy(stMenu *ptMenu)
{
    if (!ptMenu)
        return;
    destroy_menu_pictures(ptMenu);
    safe_free(&ptMenu);
}

void load_menu(stMenu *aptMenu[], int iCount)
{
    stXMLParser *ptParser = open_xml_document(g_tFileLanguageConf.szMenu, TEXT_DATAFILE);
    xmlparser_findElement(ptParser, "menu");
    for (int k = 0; k < iCount; k++) {
        aptMenu[k] = menu_create();
        aptMenu[k]->iNumMenus = 1;
        if (xmlparser_findElement(ptParser, "opcion"))
            read_option(ptParser, &aptMenu[k]->atOption[0]);
    }
    xmlparser_destroy(ptParser);
    set_mouse_area(aptMenu, iCount);
}

void destroy_all_menu()
{
    for (stMenu *&ptMenu : g_ptMenu) {
        menu_destroy(ptMenu);
        ptMenu = nullptr;
    }
}

void destroy_all_parcial_menu()
{
    for (stMenu *&ptMenu : g_ptParcialMenu) {
        menu_destroy(ptMenu);
        ptMenu = nullptr;
    }
}

stMenuText *create_menu_text()
{
    return static_cast<stMenuText *>(safe_calloc(1, sizeof(stMenuText)));
}

void load_menu_text(stMenuText *ptTexts)
{
    stXMLParser *ptParser = open_xml_document(g_tFileLanguageConf.szText, TEXT_DATAFILE);
    xmlparser_findElement(ptParser, "texto");
    ptTexts->iNumScreens = std::clamp(integer(ptParser, "n_pantallas"), 0, NUM_TEXT_SCREENS);
    for (int i = 0; i < ptTexts->iNumScreens; i++)
        if (xmlparser_findElement(ptParser, "pantalla"))
            read_screen(ptParser, &ptTexts->atScreen[i]);
    xmlparser_destroy(ptParser);
}

void destroy_menu_text(stMenuText **pptTexts)
{
    safe_free(pptTexts);
}

void load_parcial_language(stMenu *aptMenu[], stMenuText *ptTexts)
{
    const int iLanguages = g_tFileLanguageConf.iNumLanguages;
    for (int i = 0; i < iLanguages; i++) {
        stXMLParser *ptParser = open_xml_document(g_tFileParcialLanguageConf[i].szMenu, TEXT_DATAFILE);
        xmlparser_findElement(ptParser, "menu");
        aptMenu[i] = menu_create();
        aptMenu[i]->iNumMenus = 1;
        bool bFound = true;
        for (int k = 0; k <= MENU_OPTIONS_SCREEN && bFound; k++)
            bFound = xmlparser_findElement(ptParser, "opcion");
        if (bFound)
            read_option(ptParser, &aptMenu[i]->atOption[0]);
        xmlparser_destroy(ptParser);
    }
    set_mouse_area(aptMenu, iLanguages);
    for (int i = 0; i < iLanguages; i++) {
        stXMLParser *ptParser = open_xml_document(g_tFileParcialLanguageConf[i].szText, TEXT_DATAFILE);
        xmlparser_findElement(ptParser, "texto");
        ptTexts->iNumScreens = std::clamp(integer(ptParser, "n_pantallas"), 0, NUM_TEXT_SCREENS);
        if (xmlparser_findElement(ptParser, "pantalla"))
            read_screen(ptParser, &ptTexts->atScreen[i]);
        xmlparser_destroy(ptParser);
    }
}

void set_mouse_area(stMenu *aptMenu[], int iCount)
{
    for (int k = 0; k < iCount; k++)
        if (aptMenu[k])
            set_mouse_area_to_one_menu(aptMenu[k]);
}

void set_mouse_area_to_one_menu(stMenu *ptMenu)
{
    stOption &tOption = ptMenu->atOption[0];
    for (int i = 0; i < tOption.iNumElements; i++) {
        stElement &e = tOption.atElement[i];
        stMouseArea &a = e.tMouseArea;
        if (e.tImage.szRoute[0] != '\0') {
            a.iXLeft = e.tPosition.iX;
            a.iYUp = e.tPosition.iY;
            continue;
        }
        if (e.szName[0] == '\0')
            continue;
        const bool bCentred = strcmp(e.tPosition.szCenterType, "centrado") == 0;
        if (!bCentred && strcmp(e.tPosition.szCenterType, "izquierda") != 0)
            continue;
        const int iWidth = tfont_text_length(sized_font(e.tFont.szName, e.tFont.iSize), e.szName);
        a.iXLeft = bCentred ? e.tPosition.iX - iWidth / 2 : e.tPosition.iX;
        a.iXRight = a.iXLeft + iWidth;
        a.iYUp = e.tPosition.iY;
        a.iYDown = e.tPosition.iY + e.tFont.iSize;
    }
}

// -------- drawing --------

int font_use(const char *pszName)
{
    return strcmp(pszName, "FUTURA") == 0 ? 1 : 0;
}

void print_button_to_screen(stMenu *ptMenu, TFONT_FONT *, BITMAP *bmpBuffer, int iSelected)
{
    stOption &tOption = ptMenu->atOption[0];
    for (int i = 0; i < tOption.iNumElements; i++) {
        stElement &e = tOption.atElement[i];
        const stPosition &p = e.tPosition;
        if (e.tImage.szRoute[0] != '\0') {
            BITMAP *bmp = i == iSelected ? e.tImage.bmpActiveImage : e.tImage.bmpImage;
            if (!bmp)
                continue;
            draw_sprite(bmpBuffer, bmp, p.iX, p.iY);
            e.tMouseArea.iXRight = p.iX + bmp->w;
            e.tMouseArea.iYDown = p.iY + bmp->h;
            continue;
        }
        const int iColor = e.iStatus == 0       ? e.tFont.iColorDisabled
                           : i == iSelected     ? e.tFont.iColorSelected
                                                : e.tFont.iColorUnselected;
        TFONT_FONT *ptFont = sized_font(e.tFont.szName, e.tFont.iSize);
        if (strcmp(p.szCenterType, "centrado") == 0)
            textprintf_centre_shadow(bmpBuffer, ptFont, p.iX, p.iY, iColor, e.szName);
        else if (strcmp(p.szCenterType, "izquierda") == 0)
            textprintf_shadow(bmpBuffer, ptFont, p.iX, p.iY, iColor, e.szName);
    }
}

void print_text_to_screen(const stMenuText *ptTexts, TFONT_FONT *, int iScreen, BITMAP *bmpBuffer)
{
    const stScreen &tScreen = ptTexts->atScreen[iScreen];
    for (int i = 0; i < tScreen.iNumElements; i++) {
        const stTextElement &t = tScreen.atTextElement[i];
        TFONT_FONT *ptFont = sized_font(t.tFont.szName, t.tFont.iSize);
        const stPosition &p = t.tPosition;
        const int iColor = t.tFont.iColorSelected;
        if (strcmp(p.szCenterType, "centrado") == 0)
            textprintf_centre_shadow(bmpBuffer, ptFont, p.iX, p.iY, iColor, t.szName);
        else if (strcmp(p.szCenterType, "izquierda") == 0)
            textprintf_shadow(bmpBuffer, ptFont, p.iX, p.iY, iColor, t.szName);
        else if (strcmp(p.szCenterType, "derecha") == 0)
            textprintf_right_shadow(bmpBuffer, ptFont, p.iX, p.iY, iColor, t.szName);
    }
}

int next_selection(const stMenu *ptMenu, int iFrom, int iMove, bool bOnce)
{
    const stOption &tOption = ptMenu->atOption[0];
    const int iCount = tOption.iNumElements;
    auto link = [&tOption, iMove](int i) {
        const stLink &l = tOption.atElement[i].tLink;
        switch (iMove) {
        case MOVE_UP:
            return l.iUp;
        case MOVE_DOWN:
            return l.iDown;
        case MOVE_SHRINK:
            return l.iRight;
        default:
            return l.iLeft;
        }
    };
    if (iFrom < 0 || iFrom >= iCount)
        return iFrom;
    // A cycle that never reaches an enabled button keeps the selection.
    int i = iFrom;
    for (int iStep = 0; iStep < iCount; iStep++) {
        i = link(i);
        if (i < 0 || i >= iCount)
            return iFrom;
        if (bOnce || tOption.atElement[i].iStatus == 1)
            return i;
    }
    return iFrom;
}

// -------- boxes and backgrounds --------

stBox *box_create()
{
    return static_cast<stBox *>(safe_calloc(1, sizeof(stBox)));
}

void box_destroy(stBox *ptBox)
{
    safe_free(&ptBox);
}

void load_box(stBox *aptBox[])
{
    stXMLParser *ptParser = open_xml_document(BOX_DOCUMENT, TEXT_DATAFILE);
    xmlparser_findElement(ptParser, "cajas");
    const int iCount = std::clamp(integer(ptParser, "n_cajas"), 0, NUM_BOXES);
    for (int i = 0; i < iCount; i++) {
        aptBox[i] = box_create();
        if (!xmlparser_findElement(ptParser, "box"))
            continue;
        stBox &b = *aptBox[i];
        b.iXo = integer(ptParser, "Xo");
        b.iYo = integer(ptParser, "Yo");
        b.iYf = integer(ptParser, "Yf");
        b.iXf = integer(ptParser, "Xf");
        b.iXEnd = integer(ptParser, "terminaX");
        b.iIncX = integer(ptParser, "increX");
        b.iIncY = integer(ptParser, "increY");
        b.iColorBox = xmlparser_getAttributeVal_asColor(ptParser, "cajaColor");
        b.iColorBoarder = xmlparser_getAttributeVal_asColor(ptParser, "marcoColor");
    }
    xmlparser_destroy(ptParser);
}

void draw_box(const stBox *)
{
    BITMAP *bmpFrame = load_bmp_from_dat(FRAME_PICTURE, FRAME_DATAFILE);
    BITMAP *bmpSaved = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
    blit(screen, bmpSaved, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    BITMAP *bmpGrown = create_bitmap(bmpFrame->w, bmpFrame->h);
    set_trans_blender(0, 0, 0, FRAME_ALPHA);
    clean_fade_count();
    for (int t = 0; t < FRAME_TIME; t = return_fade_count()) {
        const int w = std::max(1, bmpFrame->w * t / FRAME_TIME);
        const int h = std::max(1, bmpFrame->h * t / FRAME_TIME);
        clear_to_color(bmpGrown, bitmap_mask_color(bmpGrown));
        stretch_blit(bmpFrame, bmpGrown, 0, 0, bmpFrame->w, bmpFrame->h, 0, 0, w, h);
        blit(bmpSaved, g_bmpBuffer, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
        masked_blit(bmpGrown, g_bmpBuffer, 0, 0, SCREEN_WIDTH / 2 - w / 2, SCREEN_HEIGHT / 2 - h / 2, w, h);
        blit(g_bmpBuffer, screen, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
        rest(1);
    }
    destroy_bitmap(bmpGrown);
    destroy_bitmap(bmpFrame);
    blit(bmpSaved, g_bmpBuffer, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    destroy_bitmap(bmpSaved);
    draw_menu_frame(g_bmpBuffer);
    blit(g_bmpBuffer, screen, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
}

void draw_menu_frame(BITMAP *bmpPicture)
{
    BITMAP *bmpFrame = load_bmp_from_dat(FRAME_PICTURE, FRAME_DATAFILE);
    set_trans_blender(0, 0, 0, FRAME_ALPHA);
    draw_trans_sprite(bmpPicture, bmpFrame, SCREEN_WIDTH / 2 - bmpFrame->w / 2,
                      SCREEN_HEIGHT / 2 - bmpFrame->h / 2);
    destroy_bitmap(bmpFrame);
}

BITMAP *zenk_background(int iPicture)
{
    assert(iPicture >= 0 && iPicture < LOADED_BACKGROUNDS);
    if (!g_bmpZenkBgnd[iPicture]) {
        const stBackground &b = g_ptMenuText->atScreen[TEXT_PRINCIPAL].tBackground;
        g_bmpZenkBgnd[iPicture] = load_bmp_from_dat(b.atImage[iPicture].szBackground, b.szRoute);
    }
    return g_bmpZenkBgnd[iPicture];
}

void destroy_zenk_background()
{
    for (BITMAP *&bmp : g_bmpZenkBgnd) {
        if (bmp)
            destroy_bitmap(bmp);
        bmp = nullptr;
    }
}

int get_current_background()
{
    const stUser *ptUser = g_ptUserContainer->ptCurrentUser;
    int iBackground = ptUser->aiWinnedCups[CHAMPION_GAME_MODE][CHAMPION_DIFFICULTY] > 0 ? 1 : 0;
    if (std::all_of(std::begin(ptUser->aiPlayableChar), std::end(ptUser->aiPlayableChar),
                    [](int iStatus) { return iStatus == SELECTABLE; }))
        iBackground = 2;
    if (ptUser->iTimePlaying > LONG_PLAY_TIME)
        iBackground = 3;
    return iBackground;
}

int check_zenkplayer_dif_active()
{
    return g_ptUserContainer->ptCurrentUser->aiWinnedCups[HARD_GAME_MODE][HARD_DIFFICULTY] > 0 ? TRUE : FALSE;
}

// -------- the screens --------

void opening_result(int iSelection, int iPlayingMode, int *piGameMode, int *piDifficulty)
{
    if (iPlayingMode == 0 && iSelection != NO_SELECTION) {
        *piGameMode = 0;
        *piDifficulty = iSelection;
    } else {
        *piGameMode = iSelection;
        *piDifficulty = 0;
    }
}

void opening_screen(int *piGameMode, int *piPlayingMode, int *piDifficulty)
{
    g_bResetStage = TRUE;
    BITMAP *bmpBackground = opening_background();
    TFONT_FONT *ptFont = load_font_from_dat(SCREEN_FONT, FONT_DATAFILE, SCREEN_FONT_HEIGHT);
    clean_clock();
    set_trans_blender(0, 0, 0, SCREEN_BLEND);
    OpeningState t;
    Light tLight;
    bool bFirst = true;
    clear_keybuf();
    while (true) {
        update_fmod();
        draw_opening(t, bmpBackground, tLight.iBrightness);
        if (bFirst) {
            fade_from_color(g_bmpBuffer, MENU_FADE_TIME, 0, 0, makecol(0, 0, 0));
            bFirst = false;
        } else {
            present_with_mouse();
        }
        wait_clock(FRAME_WAIT + t.iWait);
        t.iWait = 0;
        if (t.bLeave)
            break;
        tLight.update();
        if (t.bInput)
            handle_opening_input(&t, piPlayingMode);
        if (t.bOptions || t.bHelp) {
            show_mouse(nullptr);
            fade_to_color(g_bmpBuffer, MENU_FADE_TIME, 0, 0, makecol(0, 0, 0));
            if (t.bOptions)
                options_screen();
            else
                help_screen();
            t.bOptions = t.bHelp = false;
            bmpBackground = opening_background(); // the options may have changed the profile
            clear_keybuf();
            bFirst = true;
        }
    }
    show_mouse(nullptr);
    fade_to_color(g_bmpBuffer, MENU_FADE_TIME, 0, 0, makecol(0, 0, 0));
    tfont_destroy_font(ptFont);
    opening_result(t.iResult, *piPlayingMode, piGameMode, piDifficulty);
}

int rematch_screen(int iPlayer, int bContinue, int bRematch, int bChangeStage, int bChangeCharacter,
                   int bExit)
{
    stMenu *ptMenu = g_ptMenu[MENU_REMATCH];
    stElement *atElement = ptMenu->atOption[0].atElement;
    atElement[CONTINUE].iStatus = bContinue ? 1 : 0;
    atElement[REMATCH].iStatus = bRematch ? 1 : 0;
    atElement[CHANGE_STAGE].iStatus = bChangeStage ? 1 : 0;
    atElement[CHANGE_CHARACTER].iStatus = bChangeCharacter ? 1 : 0;
    atElement[REMATCH_EXIT].iStatus = bExit ? 1 : 0;
    int iSelected = bContinue ? CONTINUE : REMATCH;
    draw_box(g_ptBox[0]);
    BITMAP *bmpSaved = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
    blit(g_bmpBuffer, bmpSaved, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    int iChoice = NO_SELECTION;
    int iWait = 0;
    clear_keybuf();
    clean_clock();
    while (iChoice == NO_SELECTION || iWait > 0) {
        update_fmod();
        blit(bmpSaved, g_bmpBuffer, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
        print_button_to_screen(ptMenu, nullptr, g_bmpBuffer, iSelected);
        blit(g_bmpBuffer, screen, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
        wait_clock(FRAME_WAIT + iWait);
        if (iWait > 0)
            break;
        const int iMove = poll_movement(iPlayer, 0);
        const int iBefore = iSelected;
        switch (iMove) {
        case MOVE_UP:
        case MOVE_DOWN:
        case MOVE_SHRINK:
        case MOVE_GROW:
            iSelected = next_selection(ptMenu, iSelected, iMove, iMove == MOVE_SHRINK || iMove == MOVE_GROW);
            break;
        case MOVE_ESCAPE:
            iSelected = bContinue ? CONTINUE : REMATCH_EXIT;
            iChoice = iSelected;
            iWait = ESCAPE_WAIT;
            break;
        case MOVE_BACK:
            iSelected = bContinue ? CONTINUE : REMATCH;
            break;
        case MOVE_START:
            play_menu_sound(SOUND_MENU_SELECT);
            iChoice = iSelected;
            iWait = CHOICE_WAIT;
            break;
        default:
            break;
        }
        if (iMove != MOVE_NONE)
            clear_keybuf();
        if (iSelected != iBefore && iChoice == NO_SELECTION)
            play_menu_sound(SOUND_MENU_MOVE);
    }
    destroy_bitmap(bmpSaved);
    clear_keybuf();
    clear_joy_buff(g_tPlayer[iPlayer].iJoystick);
    return iChoice;
}
