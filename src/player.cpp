// Players: the two sides of the match. A side's paddle exists from init_player
// to destroy_player; its character pictures and band state exist while
// iPlayedGames is non-zero, and a computer side's controller and personality
// from its reset to the next one. Both sides share one damping accumulator.
#include "player.h"
#include "ai_functions.h"
#include "grabber_functions.h"
#include "memory.h"
#include "personality_interface.h"
#include "pong.h"
#include "stXMLParser.h"
#include "utils.h"

#include <allegro.h>
#include <cstdio>

namespace {
constexpr const char *CHARACTER_DOCUMENT = "PERSONAJES";
constexpr const char *CHARACTER_DATAFILE = "data/tx15.dat";
constexpr int CHARACTER_FILE_SIZE = 256; // bytes of the pictures' datafile path, with its zero
constexpr int TOURNAMENT_LEVEL = -1;     // controller level from the tournament difficulty
constexpr int COMPUTER_DUEL_LEVEL = 2;   // stage level of each computer in a computer duel
constexpr float SHADOW_GAIN = 1.5f;      // positive credit while the ball trails shadows
constexpr float SHADOW_LOSS = 0.5f;      // other credit while the ball trails shadows

// Damping time shared by both sides.
struct PlayerState {
    float fDampTime = 0.0f; // game time not yet damped, s
};
PlayerState g_tPlayerState;

// Each release skips what was never created, so a match set-up that failed
// half-way is released as cleanly as a finished one.
void destroy_match_resources(stPlayer *ptPlayer)
{
    destroy_paddle(ptPlayer->ptPaddle);
    destroy_items(&ptPlayer->tItems);
    if (ptPlayer->rleCharacter)
        destroy_rle_sprite(ptPlayer->rleCharacter);
    if (ptPlayer->rleLoserChar)
        destroy_rle_sprite(ptPlayer->rleLoserChar);
    ptPlayer->rleCharacter = nullptr;
    ptPlayer->rleLoserChar = nullptr;
}

// Reads the character's "datos" and pictures; gives the full size of its item bar.
int read_character(stPlayer *ptPlayer)
{
    stXMLParser *ptParser =
        open_xml_entry(CHARACTER_DOCUMENT, CHARACTER_DATAFILE, "raiz", "personaje", ptPlayer->iCharacter, "datos");
    ptPlayer->iSceneOrder = xmlparser_getAttributeVal_asInteger(ptParser, "orden_escena");
    snprintf(ptPlayer->szCharName, sizeof(ptPlayer->szCharName), "%s",
             xmlparser_getAttributeVal_asString(ptParser, "nombre"));
    char szFile[CHARACTER_FILE_SIZE];
    snprintf(szFile, sizeof(szFile), "%s", xmlparser_getAttributeVal_asString(ptParser, "archivo"));
    char szNormal[CHARACTER_FILE_SIZE];
    snprintf(szNormal, sizeof(szNormal), "%s",
             xmlparser_getAttributeVal_asString(ptParser, "imagen_normal"));
    char szLoser[CHARACTER_FILE_SIZE];
    snprintf(szLoser, sizeof(szLoser), "%s",
             xmlparser_getAttributeVal_asString(ptParser, "imagen_pierde"));
    const int iBarSize = xmlparser_getAttributeVal_asInteger(ptParser, "tam_barra");
    xmlparser_destroy(ptParser);
    ptPlayer->rleCharacter = load_rle_from_dat(szNormal, szFile);
    ptPlayer->rleLoserChar = load_rle_from_dat(szLoser, szFile);
    return iBarSize;
}

void destroy_computer(stPlayer *ptPlayer)
{
    destroy_reactive_ai(ptPlayer->ptReactiveAI);
    ptPlayer->ptReactiveAI = nullptr;
    destroy_personality(ptPlayer->ptPersonality);
    ptPlayer->ptPersonality = nullptr;
}
} // namespace

int controller_level(int iLevel, int iSceneOrder, int iDifficulty)
{
    if (iLevel == TOURNAMENT_LEVEL)
        return iSceneOrder * LEVELS_PER_STAGE + iDifficulty;
    if (iLevel < TOURNAMENT_LEVEL)
        return iSceneOrder * LEVELS_PER_STAGE + COMPUTER_DUEL_LEVEL;
    return iLevel;
}

float credit_hit(float fProspectedBar, float fCredit, int bShadows, int iUsedItem)
{
    if (bShadows)
        fCredit *= fCredit > 0.0f ? SHADOW_GAIN : SHADOW_LOSS;
    if (iUsedItem == NO_ITEM || fCredit > 0.0f)
        fProspectedBar += fCredit;
    return fProspectedBar;
}

void reset_player_damping()
{
    g_tPlayerState.fDampTime = 0.0f;
}

void init_player(int iPlayer, stPlayer *ptPlayer, int iInput)
{
    if (!ptPlayer)
        error_message("La estructura del jugador no ha sido creada.");
    if (ptPlayer->ptPaddle) {
        if (ptPlayer->iPlayedGames != 0)
            destroy_paddle(ptPlayer->ptPaddle);
        safe_free(&ptPlayer->ptPaddle);
    }
    // Zeroed: a paddle whose set-up fails before it loads its sphere holds
    // none, and the shutdown has nothing of it to release.
    ptPlayer->ptPaddle = static_cast<stPaddle *>(safe_calloc(1, sizeof(stPaddle)));
    ptPlayer->iPlayer = iPlayer;
    ptPlayer->iInput = iInput;
    ptPlayer->rleCharacter = nullptr;
    ptPlayer->rleLoserChar = nullptr;
    ptPlayer->iSufferingItem = NO_SUFFERING_ITEM;
    ptPlayer->iSufferingElement = NO_LEVEL_ELEMENT;
    ptPlayer->iPlayedGames = 0;
    ptPlayer->fTimeSufferingItem = 0.0f;
    ptPlayer->fTimeSufferingElement = 0.0f;
    ptPlayer->ptReactiveAI = nullptr;
    ptPlayer->ptPersonality = nullptr;
}

void reset_player(stPlayer *ptPlayer, int iPlayerNum, int iLevel, int iDifficulty)
{
    ptPlayer->iPoints = 0;
    if (ptPlayer->iPlayedGames != 0)
        destroy_match_resources(ptPlayer);
    const int iBarSize = read_character(ptPlayer);
    const int iControllerLevel = controller_level(iLevel, ptPlayer->iSceneOrder, iDifficulty);
    if (!ptPlayer->ptPaddle)
        error_message("No se pudo crear el paddle del jugador.");
    const float fX = iPlayerNum == 0 ? PLAYER_ONE_X : PLAYER_TWO_X;
    stPaddle *ptPaddle = ptPlayer->ptPaddle;
    init_paddle(ptPaddle, fX, PLAYER_START_Y, ptPlayer->iCharacter);
    init_items(ptPlayer->iPlayer, ptPaddle->iSpringColor, static_cast<float>(iBarSize),
               &ptPlayer->tItems);
    // Counted once everything above exists.
    ptPlayer->iPlayedGames++;
    if (ptPlayer->iInput & IN_COMPUTER) {
        destroy_computer(ptPlayer);
        ptPlayer->ptReactiveAI = init_reactive_ai(iControllerLevel);
        ptPaddle->fMaxVY = ptPlayer->ptReactiveAI->fMaxVY;
        ptPaddle->fDampVY = ptPlayer->ptReactiveAI->fDampVY;
        ptPaddle->fDeltaVY = ptPlayer->ptReactiveAI->fDeltaVY;
        ptPlayer->ptPersonality = init_personality(iControllerLevel);
    }
}

void update_player(stPlayer *ptPlayer, float fDT)
{
    stPaddle *ptPaddle = ptPlayer->ptPaddle;
    if (ptPaddle->fVY > ptPaddle->fMaxVY)
        ptPaddle->fVY = ptPaddle->fMaxVY;
    else if (ptPaddle->fVY < -ptPaddle->fMaxVY)
        ptPaddle->fVY = -ptPaddle->fMaxVY;
    const float fNewY = ptPaddle->fY + ptPaddle->fVY * fDT;

    g_tPlayerState.fDampTime += fDT;
    if (g_tPlayerState.fDampTime > PLAYER_DAMP_PERIOD) {
        ptPaddle->fVY *= ptPaddle->fDampVY;
        if (ptPlayer->iPlayer == 1)
            g_tPlayerState.fDampTime -= PLAYER_DAMP_PERIOD;
    }
    if (fNewY > 0.0f && fNewY < PLAYER_FIELD_HEIGHT)
        ptPaddle->fY = fNewY;

    if (ptPaddle->fDeltaHitVel != 0.0f) {
        stItem *ptItems = &ptPlayer->tItems;
        ptItems->fProspectedBar = credit_hit(ptItems->fProspectedBar, ptPaddle->fDeltaHitVel,
                                             g_tBall.bShadows, ptItems->iUsedItem);
        ptPaddle->fDeltaHitVel = 0.0f;
    }
    update_paddle(ptPaddle, fDT);
    update_items(ptPlayer->iPlayer, &ptPlayer->tItems, fDT);
}

void draw_player(BITMAP *bmpPicture, const stPlayer *ptPlayer)
{
    draw_paddle(bmpPicture, ptPlayer->ptPaddle);
}

// Also releases a controller left from a series in which this side was the
// computer, though it is a person again now.
void destroy_player(stPlayer *ptPlayer)
{
    destroy_computer(ptPlayer);
    if (!ptPlayer->ptPaddle)
        return;
    destroy_match_resources(ptPlayer);
    ptPlayer->iPlayedGames = 0;
    safe_free(&ptPlayer->ptPaddle);
}
