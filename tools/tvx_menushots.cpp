// Screen pictures: the screens around a match as the game draws them, in
// every language of the built data, written as screen_LANG_NAME.png: the
// opening screen with each of its menus, the rematch screen over a match,
// the closing picture, and sheets of every label and score announcement in
// its own size and colour, so that each text can be read and checked for
// missing letters.
#include "headless_game.h"
#include "labels.h"
#include "language_conf.h"
#include "menu.h"
#include "grabber_functions.h"
#include "utils.h"

#include <string>

namespace {
constexpr int PICTURE_PERCENT = 100;
constexpr int MATCH_LEVEL = 12;          // the match behind the rematch screen
constexpr int MATCH_FRAMES = 90;         // frames played before it
constexpr float FRAME = 1.0f / 60;       // s
constexpr int SHEET_TOP = 20;            // px: the first line of a sheet
constexpr int SHEET_LEFT = 20;           // px
constexpr int SHEET_NUMBER_WIDTH = 40;   // px kept for each line's index
constexpr int SHEET_SIZE_CAP = 30;       // px: larger texts are shown at this size on a sheet
constexpr int SHEET_COLUMN = SCREEN_WIDTH / 2; // px: a sheet's second column
constexpr int SHEET_GAP = 4;             // px between lines

// The opening screen's menus: which menu, its selection, the picture's name.
struct OpeningMenu {
    int iMenu;
    int iSelected;
    const char *pszName;
};
constexpr OpeningMenu atOpeningMenus[] = {{MENU_BEGINNING, PLAY, "opening"},
                                          {MENU_PLAY, VS, "play"},
                                          {MENU_VERSUS, P1_VS_CPU, "versus"},
                                          {MENU_TOURNAMENT, EASY, "tournament"}};

// The fonts and texts the game's start-up loads for its screens.
void load_texts()
{
    g_Fonts[1] = load_font_from_dat("FUTURA", "data/tx05.dat", 15);
    g_Fonts[0] = load_font_from_dat("CRACKHOUSE", "data/tx05.dat", 15);
    load_screen_texts();
}

void release_texts()
{
    destroy_screen_texts();
    for (TFONT_FONT *&ptFont : g_Fonts) {
        tfont_destroy_font(ptFont);
        ptFont = nullptr;
    }
}

bool write(const std::string &sOut, const std::string &sLanguage, const char *pszName)
{
    const std::string sFile = sOut + "/screen_" + sLanguage + "_" + pszName + ".png";
    if (headless::write_png(g_bmpBuffer, sFile, PICTURE_PERCENT))
        return true;
    fprintf(stderr, "screen pictures: cannot write %s\n", sFile.c_str());
    return false;
}

// Where the next line of a sheet goes.
struct SheetPlace {
    int iX = SHEET_LEFT;
    int iY = SHEET_TOP;
};

// One line of a sheet: its index, then the text in its own colour and size
// (within limits); a full column continues in the second one.
void sheet_line(SheetPlace *ptPlace, int iIndex, const char *pszText, int iColor, int iSize)
{
    const int iShown = std::min(std::max(iSize, 12), SHEET_SIZE_CAP);
    if (ptPlace->iY + iShown > SCREEN_HEIGHT - SHEET_TOP) {
        ptPlace->iX = SHEET_COLUMN;
        ptPlace->iY = SHEET_TOP;
    }
    const int iX = ptPlace->iX;
    const int iY = ptPlace->iY;
    TFONT_FONT *ptFont = g_Fonts[0];
    tfont_set_font_size(g_Fonts[1], 14);
    char szIndex[16];
    snprintf(szIndex, sizeof(szIndex), "%d", iIndex);
    textprintf_shadow(g_bmpBuffer, g_Fonts[1], iX, iY, makecol(200, 200, 200), szIndex);
    tfont_set_font_size(ptFont, iShown);
    textprintf_shadow(g_bmpBuffer, ptFont, iX + SHEET_NUMBER_WIDTH, iY, iColor, pszText);
    ptPlace->iY = iY + iShown + SHEET_GAP;
}

bool language_pictures(const std::string &sOut, const std::string &sLanguage)
{
    for (const OpeningMenu &t : atOpeningMenus) {
        blit(zenk_background(0), g_bmpBuffer, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
        print_text_to_screen(g_ptMenuText, nullptr, TEXT_PRINCIPAL, g_bmpBuffer);
        print_button_to_screen(g_ptMenu[t.iMenu], nullptr, g_bmpBuffer, t.iSelected);
        if (!write(sOut, sLanguage, t.pszName))
            return false;
    }
    blit(zenk_background(1), g_bmpBuffer, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    if (!write(sOut, sLanguage, "closing"))
        return false;

    headless::start_match(MATCH_LEVEL);
    for (int i = 0; i < MATCH_FRAMES; i++)
        play_pong_frame(i == 0 ? 0.0f : FRAME);
    draw_pong();
    exit_pong();
    draw_menu_frame(g_bmpBuffer);
    print_button_to_screen(g_ptMenu[MENU_REMATCH], nullptr, g_bmpBuffer, CONTINUE);
    if (!write(sOut, sLanguage, "rematch"))
        return false;

    clear_to_color(g_bmpBuffer, makecol(24, 14, 40));
    SheetPlace tPlace;
    for (int i = 0; i < NUM_LABELS; i++)
        if (g_ptLabel[i])
            sheet_line(&tPlace, i, g_ptLabel[i]->szText, g_ptLabel[i]->iColor, g_ptLabel[i]->iSize);
    if (!write(sOut, sLanguage, "labels"))
        return false;
    clear_to_color(g_bmpBuffer, makecol(24, 14, 40));
    tPlace = SheetPlace();
    for (int i = 0; i < NUM_SCORE_LABELS; i++)
        if (g_ptScoresLabel[i])
            sheet_line(&tPlace, i, g_ptScoresLabel[i]->szText, g_ptScoresLabel[i]->iColor,
                       g_ptScoresLabel[i]->iSize);
    return write(sOut, sLanguage, "score_labels");
}
} // namespace

int main(int argc, char **argv)
{
    std::string sOut;
    if (!headless::enter_picture_dirs(argc, argv, &sOut))
        return 2;
    if (!headless::start_game("screen pictures"))
        return 2;
    load_texts();
    g_iGameMode = GM_PLAYER_VS_COMPUTER;
    g_tPlayer[1].iInput = IN_COMPUTER;
    g_tPlayer[0].iCharacter = CAMANEY;
    g_tPlayer[1].iCharacter = OJEIS;
    const int iLanguages = g_tFileLanguageConf.iNumLanguages;
    for (int i = 0; i < iLanguages; i++) {
        reload_languages_conf(i);
        if (!language_pictures(sOut, g_tLanguage[i].szIdLanguage))
            return 1;
    }
    release_texts();
    headless::stop_game();
    packfile_password(nullptr);
    printf("Screen pictures: %d languages in %s\n", iLanguages, sOut.c_str());
    return 0;
}
