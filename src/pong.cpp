// The match: owns the globals shared by the match modules. g_iLevel is a level
// index 0 to 23; g_ptLevelBounds is null while no stage is loaded.
#include "pong.h"

int g_iLevel = 0;
int g_iGameMode = GM_PLAYER_VS_COMPUTER;
stBall g_tBall = {};
struct _stLevelBounds *g_ptLevelBounds = nullptr;
