// The presentations around a match: nothing survives a call; each loads its
// pictures and fonts on entry and releases them on exit, and leaves the back
// buffer changed (the match redraws its whole frame afterwards).
#include "playing_screens.h"
#include "grabber_functions.h"
#include "main.h"
#include "player.h"
#include "pong.h"
#include "sound.h"
#include "sound_loading.h"
#include "tfont.h"
#include "time.h"
#include "utils.h"

#include <allegro.h>
#include <cstdio>
#include <cstring>

namespace {
constexpr const char *PICTURE_DATAFILE = "data/tx10.dat";
constexpr const char *FONT_NAME = "CRACKHOUSE";
constexpr const char *FONT_DATAFILE = "data/tx05.dat";
constexpr int UPPER_LINE_HEIGHT = 32;   // px: "Alter" above a name
constexpr int NAME_HEIGHT = 70;         // px
constexpr int VERDICT_FIRST_HEIGHT = 160; // px: the verdict's first word
constexpr int VERDICT_SECOND_HEIGHT = 115;
constexpr int PICTURE_Y = 65;           // px: the characters' top
constexpr int BAR_Y = 306;              // px: the versus and results bars' top
constexpr int BAR_ALPHA = 230;
constexpr int NAME_ONE_X = 175;         // px: the centres of the two names
constexpr int NAME_TWO_X = 625;
constexpr int UPPER_LINE_Y = 420;       // px
constexpr int NAME_Y = 450;             // px
constexpr int SLIDE_FIRST = -30;        // the versus slide runs i = -30 .. 7
constexpr int SLIDE_LAST = 7;
constexpr int SLIDE_GAP = 35;           // px between a picture and the screen's third
constexpr int RESULTS_GAP = 99;         // px, the same on the results screen
constexpr int FRAME_WAIT = 33;          // ms between two frames
constexpr int VERSUS_HOLD = 1000;       // ms the presentation stays at its end
constexpr int FLASH_TIME = 100;         // ms of a white flash
constexpr int READY_TIME = 1000;        // ms the ready text stays
constexpr int GO_ON_TIME = 250;         // ms of each blink of the go text
constexpr int GO_OFF_TIME = 180;
constexpr int GO_BLINKS = 2;
constexpr int LABEL_READY = 25;
constexpr int LABEL_GO = 26;
constexpr int LABEL_ONE_WINS = 7;       // the verdicts
constexpr int LABEL_COMPUTER_WINS = 8;
constexpr int LABEL_TWO_WINS = 9;
constexpr int LABEL_CPU_ONE_WINS = 10;
constexpr int LABEL_CPU_TWO_WINS = 11;
constexpr int VERSUS_SCORE_LABELS = 9;  // the score labels a versus match considers
constexpr int DIGIT_Y = 140;            // px: the score digits' top
constexpr int DASH_Y = 220;             // px
constexpr int DIGIT_OFFSET = 200;       // px between the middle and each side's digit
constexpr int BEFORE_POINT_TIME = 150;  // ms the old score shows
constexpr int AFTER_POINT_TIME = 850;   // ms the new score shows
constexpr int VERDICT_FIRST_Y = 100;    // px
constexpr int VERDICT_SECOND_Y = 375;   // px
constexpr int RESULTS_SHORT = 1000;     // ms a lost tournament match shows its results
constexpr int RESULTS_LONG = 1800;      // ms otherwise
constexpr int LOSER_GREY = 155;         // the loser's name
constexpr const char *apszDigit[] = {"ZERO", "ONE", "TWO", "THREE", "FOUR", "FIVE"};
constexpr int NUM_DIGITS = 6;

// A character's name on two lines.
struct NameLines {
    char szUpper[NAME_LINE_SIZE];
    char szLower[NAME_LINE_SIZE];
};

NameLines lines_of(const stPlayer *ptPlayer)
{
    NameLines t;
    name_lines(ptPlayer->szCharName, t.szUpper, t.szLower);
    return t;
}

void draw_names(BITMAP *bmp, TFONT_FONT *ptUpper, TFONT_FONT *ptName, const NameLines &tOne,
                const NameLines &tTwo, int iColorOne, int iColorTwo)
{
    textprintf_centre_bold(bmp, ptUpper, NAME_ONE_X, UPPER_LINE_Y, iColorOne, tOne.szUpper);
    textprintf_centre_bold(bmp, ptUpper, NAME_TWO_X, UPPER_LINE_Y, iColorTwo, tTwo.szUpper);
    textprintf_centre_bold(bmp, ptName, NAME_ONE_X, NAME_Y, iColorOne, tOne.szLower);
    textprintf_centre_bold(bmp, ptName, NAME_TWO_X, NAME_Y, iColorTwo, tTwo.szLower);
}

void draw_bar(BITMAP *bmp, RLE_SPRITE *rleBar)
{
    set_trans_blender(0, 0, 0, BAR_ALPHA);
    draw_trans_rle_sprite(bmp, rleBar, (SCREEN_WIDTH - rleBar->w) / 2, BAR_Y);
}

void present(BITMAP *bmp)
{
    blit(bmp, screen, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
}

void wait_sync()
{
    if (g_ptUserContainer->ptCurrentUser->bVsync)
        wait_retrace();
}

void play_effect(int iSound)
{
    play_sound(sndEffectsSound[iSound], CHANNEL_SOUNDS, FX_VOLUME, 0.0f);
}

void flash(BITMAP *bmpSaved)
{
    clear_to_color(g_bmpBuffer, makecol(255, 255, 255));
    present(g_bmpBuffer);
    wait_clock(FLASH_TIME);
    clean_clock();
    blit(bmpSaved, g_bmpBuffer, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
}

// Label iLabel centred on the screen in its own colour and size.
void draw_count_label(TFONT_FONT *ptFont, int iLabel)
{
    const stLabel *ptLabel = g_ptLabel[iLabel];
    if (!ptLabel)
        return;
    tfont_set_font_size(ptFont, ptLabel->iSize);
    textprintf_centre_bold(g_bmpBuffer, ptFont, SCREEN_WIDTH / 2, (SCREEN_HEIGHT - ptLabel->iSize) / 2,
                           ptLabel->iColor, ptLabel->szText);
}

// Both digits and the dash, each centred by its own width.
void draw_score(RLE_SPRITE *const arleDigit[], RLE_SPRITE *rleDash, int iScore1, int iScore2)
{
    const RLE_SPRITE *rleOne = arleDigit[iScore1];
    const RLE_SPRITE *rleTwo = arleDigit[iScore2];
    draw_rle_sprite(g_bmpBuffer, rleOne, SCREEN_WIDTH / 2 - rleOne->w / 2 - DIGIT_OFFSET, DIGIT_Y);
    draw_rle_sprite(g_bmpBuffer, rleDash, SCREEN_WIDTH / 2 - rleDash->w / 2, DASH_Y);
    draw_rle_sprite(g_bmpBuffer, rleTwo, SCREEN_WIDTH / 2 - rleTwo->w / 2 + DIGIT_OFFSET, DIGIT_Y);
}

int clamp_digit(int iScore)
{
    return iScore < 0 ? 0 : (iScore >= NUM_DIGITS ? NUM_DIGITS - 1 : iScore);
}
} // namespace

void name_lines(const char *pszName, char szUpper[NAME_LINE_SIZE], char szLower[NAME_LINE_SIZE])
{
    const char *pszSpace = strchr(pszName, ' ');
    if (pszSpace) {
        snprintf(szUpper, NAME_LINE_SIZE, "%s", "Alter");
        snprintf(szLower, NAME_LINE_SIZE, "%s", pszSpace + 1);
    } else {
        szUpper[0] = '\0';
        snprintf(szLower, NAME_LINE_SIZE, "%s", pszName);
    }
}

int score_label_index(int iScoreP1, int iScoreP2, int iPlayingMode)
{
    const int iCount = iPlayingMode == TOURNAMENT_MODE ? NUM_SCORE_LABELS : VERSUS_SCORE_LABELS;
    for (int i = 0; i < iCount; i++) {
        const stScoresLabel *pt = g_ptScoresLabel[i];
        if (pt && pt->iScoreP1 == iScoreP1 && pt->iScoreP2 == iScoreP2)
            return i;
    }
    return -1;
}

void score_before_point(int iScore1, int iScore2, int iExitPlace, int *piBefore1, int *piBefore2)
{
    *piBefore1 = iExitPlace == 1 ? iScore1 - 1 : iScore1;
    *piBefore2 = iExitPlace == 1 ? iScore2 : iScore2 - 1;
}

int verdict_label(int iGameMode, int iWinner)
{
    const bool bOneWon = iWinner == PLAYER_1_WINNER;
    switch (iGameMode) {
    case GM_PLAYER_VS_COMPUTER:
        return bOneWon ? LABEL_ONE_WINS : LABEL_COMPUTER_WINS;
    case GM_PLAYER_VS_PLAYER:
        return bOneWon ? LABEL_ONE_WINS : LABEL_TWO_WINS;
    default:
        return bOneWon ? LABEL_CPU_ONE_WINS : LABEL_CPU_TWO_WINS;
    }
}

void player_versus(stPlayer *ptPlayer1, stPlayer *ptPlayer2)
{
    BITMAP *bmpWork = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
    TFONT_FONT *ptName = load_font_from_dat(FONT_NAME, FONT_DATAFILE, NAME_HEIGHT);
    TFONT_FONT *ptUpper = load_font_from_dat(FONT_NAME, FONT_DATAFILE, UPPER_LINE_HEIGHT);
    RLE_SPRITE *rleVersus = load_rle_from_dat("VERSUS", PICTURE_DATAFILE);
    const NameLines tOne = lines_of(ptPlayer1);
    const NameLines tTwo = lines_of(ptPlayer2);
    const int iWhite = makecol(255, 255, 255);
    for (int i = SLIDE_FIRST; i <= SLIDE_LAST; i++) {
        blit(g_bmpBuffer, bmpWork, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
        const RLE_SPRITE *rleOne = ptPlayer1->rleCharacter;
        const RLE_SPRITE *rleTwo = ptPlayer2->rleCharacter;
        draw_rle_sprite(bmpWork, rleOne, SCREEN_WIDTH / 3 - rleOne->w / 2 - SLIDE_GAP - i * i, PICTURE_Y);
        draw_rle_sprite(bmpWork, rleTwo, 2 * SCREEN_WIDTH / 3 - rleTwo->w / 2 + SLIDE_GAP + i * i, PICTURE_Y);
        draw_bar(bmpWork, rleVersus);
        draw_names(bmpWork, ptUpper, ptName, tOne, tTwo, iWhite, iWhite);
        wait_sync();
        present(bmpWork);
        wait_clock(FRAME_WAIT);
    }
    rest(VERSUS_HOLD);
    destroy_rle_sprite(rleVersus);
    tfont_destroy_font(ptUpper);
    tfont_destroy_font(ptName);
    destroy_bitmap(bmpWork);
}

void print_init_match()
{
    BITMAP *bmpSaved = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
    blit(g_bmpBuffer, bmpSaved, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    TFONT_FONT *ptFont = load_font_from_dat(FONT_NAME, FONT_DATAFILE, NAME_HEIGHT);
    clean_clock();
    play_effect(SOUND_EFFECT_READY);
    flash(bmpSaved);
    draw_count_label(ptFont, LABEL_READY);
    present(g_bmpBuffer);
    wait_clock(READY_TIME);
    clean_clock();
    flash(bmpSaved);
    play_effect(SOUND_EFFECT_GO);
    for (int i = 0; i < GO_BLINKS; i++) {
        draw_count_label(ptFont, LABEL_GO);
        present(g_bmpBuffer);
        wait_clock(GO_ON_TIME);
        clean_clock();
        present(bmpSaved);
        wait_clock(GO_OFF_TIME);
        clean_clock();
    }
    tfont_destroy_font(ptFont);
    destroy_bitmap(bmpSaved);
}

void print_score_label(int iScoreP1, int iScoreP2, TFONT_FONT *ptFont, int iPlayingMode)
{
    const int i = score_label_index(iScoreP1, iScoreP2, iPlayingMode);
    if (i < 0)
        return;
    const stScoresLabel *pt = g_ptScoresLabel[i];
    tfont_set_font_size(ptFont, pt->iSize);
    textprintf_centre_bold(g_bmpBuffer, ptFont, pt->iX, pt->iY, pt->iColor, pt->szText);
}

void print_score(int iScore1, int iScore2, int iExitPlace)
{
    pause_channel(CHANNEL_BAR);
    pause_channel(CHANNEL_BAR_P2);
    RLE_SPRITE *arleDigit[NUM_DIGITS];
    for (int i = 0; i < NUM_DIGITS; i++)
        arleDigit[i] = load_rle_from_dat(apszDigit[i], PICTURE_DATAFILE);
    RLE_SPRITE *rleDash = load_rle_from_dat("DASH", PICTURE_DATAFILE);
    BITMAP *bmpSaved = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
    blit(g_bmpBuffer, bmpSaved, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    int iBefore1 = 0, iBefore2 = 0;
    score_before_point(iScore1, iScore2, iExitPlace, &iBefore1, &iBefore2);
    draw_score(arleDigit, rleDash, clamp_digit(iBefore1), clamp_digit(iBefore2));
    present(g_bmpBuffer);
    rest(BEFORE_POINT_TIME);
    blit(bmpSaved, g_bmpBuffer, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    draw_score(arleDigit, rleDash, clamp_digit(iScore1), clamp_digit(iScore2));
    present(g_bmpBuffer);
    rest(AFTER_POINT_TIME);
    destroy_bitmap(bmpSaved);
    destroy_rle_sprite(rleDash);
    for (RLE_SPRITE *rle : arleDigit)
        destroy_rle_sprite(rle);
    unpause_channel(CHANNEL_BAR);
    unpause_channel(CHANNEL_BAR_P2);
}

void player_results(stPlayer *ptPlayer1, stPlayer *ptPlayer2, int iPlayerMode, int iWin, int iPlayMod)
{
    TFONT_FONT *ptFirst = load_font_from_dat(FONT_NAME, FONT_DATAFILE, VERDICT_FIRST_HEIGHT);
    TFONT_FONT *ptSecond = load_font_from_dat(FONT_NAME, FONT_DATAFILE, VERDICT_SECOND_HEIGHT);
    TFONT_FONT *ptName = load_font_from_dat(FONT_NAME, FONT_DATAFILE, NAME_HEIGHT);
    TFONT_FONT *ptUpper = load_font_from_dat(FONT_NAME, FONT_DATAFILE, UPPER_LINE_HEIGHT);
    RLE_SPRITE *rleBar = load_rle_from_dat("RESULTS_BAR", PICTURE_DATAFILE);
    const bool bOneWon = iWin == PLAYER_1_WINNER;
    const RLE_SPRITE *rleOne = bOneWon ? ptPlayer1->rleCharacter : ptPlayer1->rleLoserChar;
    const RLE_SPRITE *rleTwo = bOneWon ? ptPlayer2->rleLoserChar : ptPlayer2->rleCharacter;
    draw_rle_sprite(g_bmpBuffer, rleOne, SCREEN_WIDTH / 3 - rleOne->w / 2 - RESULTS_GAP, PICTURE_Y);
    draw_rle_sprite(g_bmpBuffer, rleTwo, 2 * SCREEN_WIDTH / 3 - rleTwo->w / 2 + RESULTS_GAP, PICTURE_Y);
    draw_bar(g_bmpBuffer, rleBar);
    const int iWhite = makecol(255, 255, 255);
    const int iGrey = makecol(LOSER_GREY, LOSER_GREY, LOSER_GREY);
    draw_names(g_bmpBuffer, ptUpper, ptName, lines_of(ptPlayer1), lines_of(ptPlayer2),
               bOneWon ? iWhite : iGrey, bOneWon ? iGrey : iWhite);
    // The verdict's two words; a one-word verdict leaves the second line empty.
    const stLabel *ptVerdict = g_ptLabel[verdict_label(iPlayerMode, iWin)];
    if (ptVerdict) {
        char szFirst[NAME_LINE_SIZE] = "";
        char szSecond[NAME_LINE_SIZE] = "";
        sscanf(ptVerdict->szText, "%255s %255s", szFirst, szSecond);
        const int iOrange = makecol(255, 175, 0);
        textprintf_centre_bold(g_bmpBuffer, ptFirst, SCREEN_WIDTH / 2, VERDICT_FIRST_Y, iOrange, szFirst);
        textprintf_centre_bold(g_bmpBuffer, ptSecond, SCREEN_WIDTH / 2, VERDICT_SECOND_Y, iOrange, szSecond);
    }
    present(g_bmpBuffer);
    const bool bShort = iPlayerMode == GM_PLAYER_VS_COMPUTER && iPlayMod == TOURNAMENT_MODE && !bOneWon;
    rest(bShort ? RESULTS_SHORT : RESULTS_LONG);
    destroy_rle_sprite(rleBar);
    tfont_destroy_font(ptUpper);
    tfont_destroy_font(ptName);
    tfont_destroy_font(ptSecond);
    tfont_destroy_font(ptFirst);
}
