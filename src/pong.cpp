// The match: owns the globals shared by the match modules and runs a series of
// matches. g_iLevel is a level index 0 to 23; g_ptLevelBounds is null while no
// stage is loaded; within a match the winner goes from none to a side once.
#include "pong.h"
#include "ai_functions.h"
#include "collision.h"
#include "fade.h"
#include "grabber_functions.h"
#include "help.h"
#include "item.h"
#include "level.h"
#include "main.h"
#include "masked_copy.h"
#include "memory.h"
#include "menu.h"
#include "particle.h"
#include "personality_interface.h"
#include "player.h"
#include "playing_screens.h"
#include "random.h"
#include "select_player.h"
#include "sound.h"
#include "sound_loading.h"
#include "stage_elements.h"
#include "stage.h"
#include "stXMLParser.h"
#include "tables.h"
#include "tfont.h"
#include "time.h"
#include "utils.h"

#include <allegro.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>

int g_iLevel = 0;
int g_iGameMode = GM_PLAYER_VS_COMPUTER;
int g_iPlayingMode = VERSUS_MODE;
int g_iDifficulty = 0;
int g_iTypeControl = 0;
int g_iTypeControl2 = 0;
stBall g_tBall = {};
struct _stLevelBounds *g_ptLevelBounds = nullptr;

namespace {
constexpr const char *LEVEL_DOCUMENT = "NIVEL";
constexpr const char *LEVEL_DATAFILE = "data/tx15.dat";
constexpr const char *FONT_DATAFILE = "data/tx05.dat";
constexpr const char *FONT_NAME = "CRACKHOUSE";
constexpr const char *MINI_DATAFILE = "data/tx10.dat";
constexpr int NAMES_FONT_HEIGHT = 20;       // px
constexpr int SCORE_LABEL_FONT_HEIGHT = 50; // px
constexpr int NUM_MINI_DIGITS = 6;          // score digits 0 .. 5
constexpr int LEVEL_NAME_SIZE = 256;        // bytes of a song, datafile or object name, with its zero
constexpr int FADE_MEDIA_TIME = 1000;       // ms the stage picture and song fade in or out
constexpr int FADE_MUSIC_TIME = 750;        // ms the menu or stage music fades
constexpr int FADE_HELP_TIME = 500;         // ms
constexpr float SCORE_PAN = 0.7f;           // the point sound comes from the scorer's side
constexpr float MS_PER_S = 1000.0f;
constexpr float MOVE_FRAME = 0.016f;        // s: a paddle's acceleration is given per 16 ms
constexpr int NAME_ONE_X = 115;             // px
constexpr int NAME_TWO_RIGHT_X = 685;       // px
constexpr int NAME_Y = 12;                  // px
constexpr int MINI_VS_Y = 10;               // px
constexpr int DIGIT_ONE_X = 30;             // px
constexpr int DIGIT_TWO_X = 750;            // px
constexpr int DIGIT_Y = 5;                  // px
constexpr int aiNumGames[NUM_TOURNAMENTS] = {5, 6, 7, 8}; // matches of each tournament
constexpr int CHARACTER_MASK = 0xFF;        // player two's character in a selection result
// Between two computers with both bands torn, each sphere bounce turns the
// ball by up to this many degrees either way: two computers meeting a fast
// ball dead centre with their spheres would otherwise trade it for ever.
constexpr int DEMO_SPHERE_SPREAD = 30;

// One match's state and resources.
struct PongState {
    int bQuit = FALSE;                 // the match was abandoned, or the series is to end
    int iWinner = WITHOUT_A_WINNER;    // enWinnerStatus of the current match
    int iRematch = CONTINUE;           // enRematchMenu choice of the menus
    bool bPresentations = false;       // a series on screen: points are announced
    BITMAP *bmpBackground = nullptr;   // the stage picture, owned
    RLE_SPRITE *rleMiniVs = nullptr;   // small versus mark, owned
    RLE_SPRITE *rleMiniDig[NUM_MINI_DIGITS] = {}; // score digits, owned
    stMixSound *sndSong = nullptr;     // the stage song, owned; null while sound is off
    TFONT_FONT *fontNames = nullptr;   // characters' names, owned
    TFONT_FONT *fontScoreLabel = nullptr; // score announcements, owned
};
PongState g_tPong;

stUser *current_user()
{
    return g_ptUserContainer->ptCurrentUser;
}

// The stage of g_iLevel: its song, paused until the match starts, its picture
// and its obstacles.
void load_stage()
{
    stXMLParser *ptParser =
        open_xml_entry(LEVEL_DOCUMENT, LEVEL_DATAFILE, "escenas", "nivel", g_iLevel, "general");
    char szSong[LEVEL_NAME_SIZE];
    char szFile[LEVEL_NAME_SIZE];
    char szBackground[LEVEL_NAME_SIZE] = "";
    char szCollision[LEVEL_NAME_SIZE] = "";
    xmlparser_copyAttribute(ptParser, "cancion", szSong);
    xmlparser_copyAttribute(ptParser, "archivo", szFile);
    if (xmlparser_findAttribute(ptParser, "fondo"))
        xmlparser_copyAttribute(ptParser, "fondo", szBackground);
    if (xmlparser_findAttribute(ptParser, "colisiones"))
        xmlparser_copyAttribute(ptParser, "colisiones", szCollision);
    xmlparser_destroy(ptParser);

    create_compressed_sound(&g_tPong.sndSong, szSong, TRUE);
    play_sound(g_tPong.sndSong, CHANNEL_GAME_MUSIC, MUSIC_VOLUME, 0.0f);
    pause_channel(CHANNEL_GAME_MUSIC);
    // The frame drawing and the stage collision need both, so a stage without
    // them is refused by the loaders' own message.
    if (szBackground[0] == '\0')
        error_message("Error al cargar fondo desde NIVEL");
    g_tPong.bmpBackground = load_bmp_from_dat(szBackground, szFile);
    if (szCollision[0] == '\0')
        error_message("Error al cargar colisiones desde NIVEL");
    int iSize = 0;
    char *pszText = load_txt_from_dat(szCollision, szFile, &iSize);
    char szName[LEVEL_NAME_SIZE * 2 + sizeof(" ()")];
    snprintf(szName, sizeof(szName), "%s (%s)", szCollision, szFile);
    g_ptLevelBounds = collision_to_level(pszText, szName);
    safe_free(&pszText);
}

// The in-match menu: the game count and the stage sounds stop while it is open.
void in_match_menu(stPlayer *ptPlayer, int iPlayer)
{
    pause_count();
    pause_channel(CHANNEL_SPECIAL_SOUNDS);
    if (g_iPlayingMode != TOURNAMENT_MODE) {
        g_tPong.iRematch = rematch_screen(iPlayer, TRUE, TRUE, TRUE, TRUE, TRUE);
        clear_keybuf();
    }
    if (g_tPong.iRematch == CONTINUE) {
        if (g_iGameMode == GM_COMPUTER_VS_COMPUTER)
            ptPlayer->iInput = IN_COMPUTER;
    } else {
        g_tPong.bQuit = TRUE;
    }
    unpause_channel(CHANNEL_SPECIAL_SOUNDS);
    unpause_channel(CHANNEL_BAR);
    unpause_channel(CHANNEL_BAR_P2);
    unpause_count();
}

// Polls the joysticks: whether joystick iJoystick shows the escape binding.
bool joystick_escape(int iJoystick, const stInputKeys *ptJoyKeys)
{
    poll_joystick();
    return joy_button_pressed(iJoystick) == ptJoyKeys->iEscape;
}

void pause_bar_channels()
{
    pause_channel(CHANNEL_SPECIAL_SOUNDS);
    pause_channel(CHANNEL_BAR);
    pause_channel(CHANNEL_BAR_P2);
}

void goto_help_screen()
{
    pause_count();
    fade_to_color(g_tPong.bmpBackground, FADE_HELP_TIME, 0, 0, makecol(0, 0, 0));
    help_screen();
    fade_from_color(g_tPong.bmpBackground, FADE_HELP_TIME, 0, 0, makecol(0, 0, 0));
    unpause_count();
}

// In player-against-computer mode the computer plays OJEIS, or UAYUMIN against OJEIS.
void choose_computer_character()
{
    if (g_iGameMode == GM_PLAYER_VS_COMPUTER)
        g_tPlayer[1].iCharacter = g_tPlayer[0].iCharacter == OJEIS ? UAYUMIN : OJEIS;
}

void swap_entries(int *viOrder, int i, int j)
{
    const int iTemp = viOrder[i];
    viOrder[i] = viOrder[j];
    viOrder[j] = iTemp;
}

int find_entry(const int *viOrder, int iValue)
{
    for (int i = 0; i < TOURNAMENT_OPPONENTS; i++)
        if (viOrder[i] == iValue)
            return i;
    return -1;
}
} // namespace

int pong_winner()
{
    return g_tPong.iWinner;
}

int pong_quit()
{
    return g_tPong.bQuit;
}

void init_pong()
{
    g_tPong.fontNames = load_font_from_dat(FONT_NAME, FONT_DATAFILE, NAMES_FONT_HEIGHT);
    g_tPong.fontScoreLabel = load_font_from_dat(FONT_NAME, FONT_DATAFILE, SCORE_LABEL_FONT_HEIGHT);
    g_tPong.rleMiniVs = load_rle_from_dat("MINI_VERSUS", MINI_DATAFILE);
    for (int i = 0; i < NUM_MINI_DIGITS; i++) {
        char szName[LEVEL_NAME_SIZE];
        snprintf(szName, sizeof(szName), "MINI_%d", i);
        g_tPong.rleMiniDig[i] = load_rle_from_dat(szName, MINI_DATAFILE);
    }
    init_ball(&g_tBall);
    load_stage();
    load_special_elements(g_iLevel);
    init_special_elements();
    start_pong_match();
}

void start_pong_match()
{
    g_tPong.bQuit = FALSE;
    g_tPong.iWinner = WITHOUT_A_WINNER;
    g_tPong.iRematch = CONTINUE;
    reset_player_damping();
    kill_particles();
}

void exit_pong()
{
    // A match left with an effect running must not keep it: swapped controls
    // would stay in the player's profile.
    for (stPlayer &tPlayer : g_tPlayer)
        undo_item(tPlayer.iPlayer, &tPlayer.tItems);
    if (g_tPong.rleMiniVs)
        destroy_rle_sprite(g_tPong.rleMiniVs);
    g_tPong.rleMiniVs = nullptr;
    for (RLE_SPRITE *&rleDigit : g_tPong.rleMiniDig) {
        if (rleDigit)
            destroy_rle_sprite(rleDigit);
        rleDigit = nullptr;
    }
    stop_channel(CHANNEL_GAME_MUSIC);
    if (g_tPong.sndSong)
        destroy_sound(g_tPong.sndSong);
    g_tPong.sndSong = nullptr;
    if (g_tPong.bmpBackground)
        destroy_bitmap(g_tPong.bmpBackground);
    g_tPong.bmpBackground = nullptr;
    destroy_ball(&g_tBall);
    destroy_special_elements();
    tfont_destroy_font(g_tPong.fontNames);
    tfont_destroy_font(g_tPong.fontScoreLabel);
    g_tPong.fontNames = nullptr;
    g_tPong.fontScoreLabel = nullptr;
    safe_free(&g_ptLevelBounds);
    kill_particles();
}

void check_movement(stPlayer *ptPlayer, int iPlayer, float fDT)
{
    if (ptPlayer->iInput & IN_COMPUTER) {
        ptPlayer->ptReactiveAI->pAIFunction(ptPlayer, &g_tBall, fDT);
        const stPersonality *ptPersonality = ptPlayer->ptPersonality;
        ptPersonality->ptPer1D->pAIFunction(ptPlayer, &g_tBall, fDT);
        ptPersonality->ptPer2D->pAIFunction(ptPlayer, &g_tBall, fDT);
        ptPersonality->ptPer3D->pAIFunction(ptPlayer, &g_tBall, fDT);
    }
    const int iTypeControl = iPlayer == 0 ? g_iTypeControl : g_iTypeControl2;
    const bool bMayPause = !(ptPlayer->iInput & IN_COMPUTER) ||
                           ((g_tPlayer[0].iInput & IN_COMPUTER) && (g_tPlayer[1].iInput & IN_COMPUTER));
    const stInputKeys *atControls = current_user()->atControls[iPlayer];
    const int iEscapeKey = atControls[USER_KEYBOARD_CONTROLS].iEscape;
    stPaddle *ptPaddle = ptPlayer->ptPaddle;

    if (iEscapeKey > 0 && iEscapeKey < KEY_MAX && key[iEscapeKey] && iTypeControl == 0 && bMayPause) {
        ptPlayer->iInput = IN_KEYBOARD;
        pause_bar_channels();
        in_match_menu(ptPlayer, iPlayer);
    } else if (iTypeControl == 1 && bMayPause &&
               joystick_escape(ptPlayer->iJoystick, &atControls[USER_JOYSTICK_CONTROLS])) {
        pause_bar_channels();
        ptPlayer->iInput = IN_JOYSTICK;
        in_match_menu(ptPlayer, iPlayer);
    } else {
        switch (poll_movement(iPlayer, 1)) {
        case MOVE_UP:
            ptPaddle->fVY -= ptPaddle->fDeltaVY * fDT / MOVE_FRAME;
            break;
        case MOVE_DOWN:
            ptPaddle->fVY += ptPaddle->fDeltaVY * fDT / MOVE_FRAME;
            break;
        case MOVE_SHRINK:
            grow_paddle_spring(ptPaddle, fDT);
            break;
        case MOVE_GROW:
            shrink_paddle_spring(ptPaddle, fDT);
            break;
        case MOVE_ESCAPE:
            in_match_menu(ptPlayer, iPlayer);
            break;
        case MOVE_ACTION:
            use_item(iPlayer, &ptPlayer->tItems);
            break;
        default: // nothing in a match
            break;
        }
    }
    if (key[KEY_F1])
        goto_help_screen();
}

int exists_pong_winner()
{
    const int iOne = g_tPlayer[0].iPoints;
    const int iTwo = g_tPlayer[1].iPoints;
    if (iOne >= WINNING_POINTS || (iOne == SHUTOUT_POINTS && iTwo == 0))
        return PLAYER_1_WINNER;
    if (iTwo >= WINNING_POINTS || (iTwo == SHUTOUT_POINTS && iOne == 0))
        return PLAYER_2_WINNER;
    return WITHOUT_A_WINNER;
}

void detect_out_of_bounds()
{
    if (!g_tBall.bOutBounds)
        return;
    pause_count();
    const float fPan = g_tBall.iExitPlace == 1 ? -SCORE_PAN : SCORE_PAN;
    play_sound(sndEffectsSound[SOUND_EFFECT_SCORE], CHANNEL_SOUNDS, FX_VOLUME, fPan);
    for (stPlayer &tPlayer : g_tPlayer)
        undo_item(tPlayer.iPlayer, &tPlayer.tItems);
    for (stPlayer &tPlayer : g_tPlayer)
        if (tPlayer.ptPaddle->iSpringState == SPRING_BROKEN)
            tPlayer.ptPaddle->iSpringState = SPRING_REVIVING;
    if (g_tBall.iExitPlace == 1)
        g_tPlayer[0].iPoints++;
    else
        g_tPlayer[1].iPoints++;
    if (g_tPong.bPresentations) {
        print_score_label(g_tPlayer[0].iPoints, g_tPlayer[1].iPoints, g_tPong.fontScoreLabel, g_iPlayingMode);
        print_score(g_tPlayer[0].iPoints, g_tPlayer[1].iPoints, g_tBall.iExitPlace);
    }
    const int iWinner = exists_pong_winner();
    if (iWinner != WITHOUT_A_WINNER) {
        pause_channel(CHANNEL_GAME_MUSIC);
        const bool bWin = iWinner == PLAYER_1_WINNER || g_iGameMode == GM_PLAYER_VS_PLAYER;
        play_sound(sndEffectsSound[bWin ? SOUND_EFFECT_WIN : SOUND_EFFECT_LOOSE], CHANNEL_SOUNDS,
                   FX_VOLUME, 0.0f);
    }
    g_tPong.iWinner = iWinner;
    unpause_count();
}

namespace {
// With the environment variable TARVELIX_FRAME_REPORT set, a match prints on
// the console how many frames it drew in each second of play, for measuring
// the frame rate of the real program.
struct FrameReport {
    bool bOn = getenv("TARVELIX_FRAME_REPORT") != nullptr;
    int iFrames = 0;
    float fSince = 0.0f; // s of play when the second being counted began
    void count(float fNow)
    {
        if (!bOn)
            return;
        iFrames++;
        if (fNow - fSince < 1.0f)
            return;
        fprintf(stderr, "Tarvelix: %d frames in %.2f s of play\n", iFrames, fNow - fSince);
        iFrames = 0;
        fSince = fNow;
    }
};

// In a match between two computers whose bands are both torn, a ball the
// spheres just bounced (its velocity changed) leaves at a random turn of up to
// DEMO_SPHERE_SPREAD degrees, never turned back toward the sphere it left.
void scatter_sphere_bounce(float fVelXBefore, float fVelYBefore)
{
    if (g_iGameMode != GM_COMPUTER_VS_COMPUTER)
        return;
    for (const stPlayer &tPlayer : g_tPlayer)
        if (tPlayer.ptPaddle->iSpringState != SPRING_BROKEN)
            return;
    if (g_tBall.fVelX == fVelXBefore && g_tBall.fVelY == fVelYBefore)
        return;
    const float a = random_range(-DEMO_SPHERE_SPREAD, DEMO_SPHERE_SPREAD) * fDegToRad;
    const float fVelX = g_tBall.fVelX * std::cos(a) - g_tBall.fVelY * std::sin(a);
    const float fVelY = g_tBall.fVelX * std::sin(a) + g_tBall.fVelY * std::cos(a);
    if ((fVelX > 0.0f) != (g_tBall.fVelX > 0.0f))
        return;
    g_tBall.fVelX = fVelX;
    g_tBall.fVelY = fVelY;
}
} // namespace

void play_pong_frame(float fDT)
{
    update_ball(&g_tBall, fDT);
    check_movement(&g_tPlayer[0], 0, fDT);
    update_player(&g_tPlayer[0], fDT);
    check_movement(&g_tPlayer[1], 1, fDT);
    update_player(&g_tPlayer[1], fDT);
    const float fVelX = g_tBall.fVelX, fVelY = g_tBall.fVelY;
    detect_paddle_collision(g_tPlayer[0].ptPaddle, &g_tBall);
    detect_paddle_collision(g_tPlayer[1].ptPaddle, &g_tBall);
    scatter_sphere_bounce(fVelX, fVelY);
    detect_stage_collision(g_ptLevelBounds, &g_tBall, TRUE);
    detect_out_of_bounds();
    update_special_elements(fDT);
    update_particles(fDT);
    update_fmod();
}

void draw_pong()
{
    blit(g_tPong.bmpBackground, g_bmpBuffer, 0, 0, 0, 0, g_tPong.bmpBackground->w,
         g_tPong.bmpBackground->h);
    if (!g_bSpecialOnFront)
        draw_special_elements();
    draw_particles(g_bmpBuffer);
    draw_ball(g_bmpBuffer, &g_tBall);
    draw_player(g_bmpBuffer, &g_tPlayer[0]);
    draw_player(g_bmpBuffer, &g_tPlayer[1]);
    if (g_bSpecialOnFront)
        draw_special_elements();
    draw_items(g_bmpBuffer, &g_tPlayer[0].tItems);
    draw_items(g_bmpBuffer, &g_tPlayer[1].tItems);
    const int iWhite = makecol(255, 255, 255);
    textprintf_shadow(g_bmpBuffer, g_tPong.fontNames, NAME_ONE_X, NAME_Y, iWhite,
                      g_tPlayer[0].szCharName);
    textprintf_right_shadow(g_bmpBuffer, g_tPong.fontNames, NAME_TWO_RIGHT_X, NAME_Y, iWhite,
                            g_tPlayer[1].szCharName);
    draw_rle_sprite(g_bmpBuffer, g_tPong.rleMiniVs, SCREEN_WIDTH / 2 - g_tPong.rleMiniVs->w / 2,
                    MINI_VS_Y);
    draw_rle_sprite(g_bmpBuffer, g_tPong.rleMiniDig[g_tPlayer[0].iPoints], DIGIT_ONE_X, DIGIT_Y);
    draw_rle_sprite(g_bmpBuffer, g_tPong.rleMiniDig[g_tPlayer[1].iPoints], DIGIT_TWO_X, DIGIT_Y);
    if (current_user()->bVsync)
        wait_retrace();
    const int iDeltaX = static_cast<int>(tBigBallHit.fDeltaX);
    const int iDeltaY = static_cast<int>(tBigBallHit.fDeltaY);
    const bool bFlip = g_tPlayer[0].tItems.bInvertScreen || g_tPlayer[1].tItems.bInvertScreen;
    draw_masked_copy(screen, g_bmpBuffer, bFlip ? -iDeltaX : iDeltaX, iDeltaY, bFlip);
}

void check_rematch_selection(int iSelection, int *bContinueMatch)
{
    switch (iSelection) {
    case REMATCH:
        g_tPong.bQuit = FALSE;
        *bContinueMatch = TRUE;
        pause_channel(CHANNEL_INTRO_MUSIC);
        break;
    case CHANGE_CHARACTER:
    case CHANGE_STAGE: {
        g_tPong.bQuit = FALSE;
        unpause_channel(CHANNEL_INTRO_MUSIC);
        fade_music_in(CHANNEL_INTRO_MUSIC, FADE_MUSIC_TIME);
        // Backing out of either screen ends the series with the menu music on.
        int iChosen = 0;
        if (iSelection == CHANGE_CHARACTER) {
            iChosen = select_player(g_iGameMode, VERSUS_MODE);
            if (iChosen == -1)
                break;
            g_tPlayer[0].iCharacter = iChosen >> 8;
        }
        const int iLevel = scene_selection();
        if (iLevel == -1)
            break;
        g_iLevel = iLevel;
        if (iSelection == CHANGE_CHARACTER)
            g_tPlayer[1].iCharacter = iChosen & CHARACTER_MASK;
        choose_computer_character();
        *bContinueMatch = TRUE;
        fade_music_out(CHANNEL_INTRO_MUSIC, FADE_MUSIC_TIME);
        pause_channel(CHANNEL_INTRO_MUSIC);
        break;
    }
    case REMATCH_EXIT:
        g_tPong.bQuit = TRUE;
        unpause_channel(CHANNEL_INTRO_MUSIC);
        fade_music_in(CHANNEL_INTRO_MUSIC, FADE_MUSIC_TIME);
        break;
    default:
        fade_music_out(CHANNEL_INTRO_MUSIC, FADE_MUSIC_TIME);
        pause_channel(CHANNEL_INTRO_MUSIC);
        break;
    }
}

void pong(int iGameMode, int iPlayingMode, int iDifficulty)
{
    const int aiSavedInput[2] = {g_tPlayer[0].iInput, g_tPlayer[1].iInput};
    g_iGameMode = iGameMode;
    g_iPlayingMode = iPlayingMode;
    if (iPlayingMode != TOURNAMENT_MODE) {
        const int iLevel = scene_selection();
        if (iLevel == -1)
            return;
        g_iLevel = iLevel;
        if (iGameMode == GM_PLAYER_VS_COMPUTER) {
            g_tPlayer[1].iInput = IN_COMPUTER;
            choose_computer_character();
        } else if (iGameMode == GM_COMPUTER_VS_COMPUTER) {
            g_tPlayer[0].iInput = IN_COMPUTER;
            g_tPlayer[1].iInput = IN_COMPUTER;
        } else if (iGameMode != GM_PLAYER_VS_PLAYER) {
            error_message("Seleccion de Juego Invalida.");
        }
    }
    fade_music_out(CHANNEL_INTRO_MUSIC, FADE_MUSIC_TIME);
    pause_channel(CHANNEL_INTRO_MUSIC);
    g_tPong.bPresentations = true;

    int bContinueMatch = FALSE;
    do {
        if (iPlayingMode != TOURNAMENT_MODE) {
            bContinueMatch = FALSE;
            for (int i = 0; i < 2; i++) {
                if (iGameMode == GM_COMPUTER_VS_COMPUTER) {
                    g_tPlayer[i].iInput = IN_COMPUTER;
                    reset_player(&g_tPlayer[i], i, -2, iDifficulty);
                } else {
                    reset_player(&g_tPlayer[i], i, g_iLevel, iDifficulty);
                }
            }
        }
        init_pong();
        unpause_channel(CHANNEL_GAME_MUSIC);
        fade_media_in(g_tPong.bmpBackground, FADE_MEDIA_TIME, 0, 0, makecol(0, 0, 0),
                      CHANNEL_GAME_MUSIC);
        draw_pong();
        player_versus(&g_tPlayer[0], &g_tPlayer[1]);
        print_init_match();

        g_tPong.iRematch = CONTINUE;
        float fDT = 0.0f;
        float fLastTime = 0.0f;
        FrameReport tReport;
        clean_count();
        while (!g_tPong.bQuit && g_tPong.iWinner == WITHOUT_A_WINNER) {
            play_pong_frame(fDT);
            draw_pong();
            fDT = return_count() / MS_PER_S - fLastTime;
            fLastTime += fDT;
            tReport.count(fLastTime);
        }
        stop_channel(CHANNEL_SPECIAL_SOUNDS);
        stop_channel(CHANNEL_BAR);
        stop_channel(CHANNEL_BAR_P2);
        current_user()->iTimePlaying += static_cast<int>(fLastTime);
        if (!g_tPong.bQuit)
            player_results(&g_tPlayer[0], &g_tPlayer[1], g_iGameMode, g_tPong.iWinner, iPlayingMode);

        if (iPlayingMode != TOURNAMENT_MODE) {
            if (g_tPong.iRematch != CONTINUE) {
                fade_media_out(g_tPong.bmpBackground, FADE_MEDIA_TIME, 0, 0, makecol(0, 0, 0),
                               CHANNEL_GAME_MUSIC);
            } else {
                if (g_iTypeControl == 0)
                    g_tPlayer[0].iInput = IN_KEYBOARD;
                else if (g_iTypeControl == 1)
                    g_tPlayer[0].iInput = IN_JOYSTICK;
                fade_music_out(CHANNEL_GAME_MUSIC, FADE_MUSIC_TIME);
                g_tPong.iRematch = rematch_screen(0, FALSE, TRUE, TRUE, TRUE, TRUE);
                fade_to_color(g_tPong.bmpBackground, FADE_MEDIA_TIME, 0, 0, makecol(0, 0, 0));
            }
            check_rematch_selection(g_tPong.iRematch, &bContinueMatch);
        }
        exit_pong();
    } while (!g_tPong.bQuit && (iPlayingMode == TOURNAMENT_MODE || bContinueMatch));

    g_tPong.bPresentations = false;
    if (iPlayingMode == TOURNAMENT_MODE) {
        unpause_channel(CHANNEL_INTRO_MUSIC);
        fade_music_in(CHANNEL_INTRO_MUSIC, FADE_MUSIC_TIME);
    }
    g_tPlayer[0].iInput = aiSavedInput[0];
    g_tPlayer[1].iInput = aiSavedInput[1];
}

int is_alter(int iCharacter)
{
    return (iCharacter < ARTURITO || iCharacter > OJEIS) ? TRUE : FALSE;
}

int get_alter_character(int iCharacter)
{
    const bool bPlus = (iCharacter >= ALTER_ARTURITO && iCharacter <= ALTER_UAYUMIN) ||
                       (iCharacter >= CARNAL && iCharacter <= OJEIS);
    return bPlus ? iCharacter + 4 : iCharacter - 4;
}

void select_tournament_opponents(int *viPlayerOrder)
{
    int iCharacter = g_tPlayer[0].iCharacter;
    const bool bAlter = is_alter(iCharacter) != FALSE;
    if (bAlter)
        iCharacter = get_alter_character(iCharacter);
    for (int i = 0; i < TOURNAMENT_OPPONENTS; i++)
        viPlayerOrder[i] = ARTURITO + i;
    randomize_array(TOURNAMENT_OPPONENTS, viPlayerOrder);
    constexpr int LAST = TOURNAMENT_OPPONENTS - 1;
    swap_entries(viPlayerOrder, find_entry(viPlayerOrder, iCharacter), LAST);
    viPlayerOrder[LAST] = get_alter_character(iCharacter);
    const int iCarnal = find_entry(viPlayerOrder, CARNAL);
    if (iCarnal >= 0)
        swap_entries(viPlayerOrder, iCarnal, LAST - 1);
    const int iArturito = find_entry(viPlayerOrder, ARTURITO);
    if (iArturito >= 0)
        swap_entries(viPlayerOrder, iArturito, viPlayerOrder[LAST - 1] == CARNAL ? LAST - 2 : LAST - 1);
    if (bAlter)
        for (int i = 0; i < TOURNAMENT_OPPONENTS; i++)
            viPlayerOrder[i] = get_alter_character(viPlayerOrder[i]);
}

int remaining_levels(int iPlayingMode, int iCurrentMatch, int iTournament, int bContinueMatch)
{
    if (g_tPong.bQuit)
        return 0;
    if (iPlayingMode != TOURNAMENT_MODE)
        return bContinueMatch;
    if (g_tPong.iWinner == PLAYER_2_WINNER)
        return bContinueMatch ? aiNumGames[iTournament] - iCurrentMatch + 1 : 0;
    return aiNumGames[iTournament] - iCurrentMatch;
}
