// Match pictures: for every level index, a match on that stage played for a
// few seconds of real frames with scripted keys (both sides riding up and
// down out of step), drawn by the game's own frame drawing and written as
// match_LL.png, so every stage can be looked at in play.
#include "headless_game.h"

#include <string>

namespace {
constexpr float FRAME = 1.0f / 60;       // s
constexpr int PLAY_FRAMES = 150;         // frames played before the picture
constexpr int RIDE_FRAMES = 40;          // frames between reversals of a side's keys
constexpr int TWO_DELAY_FRAMES = 20;     // player two rides this much later
constexpr int CHARACTER_STEP = 5;        // player two plays the character this far on
constexpr int PICTURE_PERCENT = 100;

bool riding_up(int iFrame)
{
    return (iFrame / RIDE_FRAMES) % 2 == 0;
}

void play(int iFrames)
{
    for (int i = 0; i < iFrames; i++) {
        headless::hold_key(KEY_UP, riding_up(i));
        headless::hold_key(KEY_DOWN, !riding_up(i));
        headless::hold_key(KEY_W, riding_up(i + TWO_DELAY_FRAMES));
        headless::hold_key(KEY_S, !riding_up(i + TWO_DELAY_FRAMES));
        play_pong_frame(i == 0 ? 0.0f : FRAME);
        draw_pong();
    }
}
} // namespace

int main(int argc, char **argv)
{
    std::string sOut;
    if (!headless::enter_picture_dirs(argc, argv, &sOut))
        return 2;
    if (!headless::start_game("match pictures"))
        return 2;
    g_iGameMode = GM_PLAYER_VS_PLAYER;
    for (int iLevel = 0; iLevel < NUM_LEVEL_INDICES; iLevel++) {
        g_tPlayer[0].iCharacter = iLevel % NUM_CHARACTERS;
        g_tPlayer[1].iCharacter = (iLevel + CHARACTER_STEP) % NUM_CHARACTERS;
        headless::start_match(iLevel);
        play(PLAY_FRAMES);
        char szName[32];
        snprintf(szName, sizeof(szName), "/match_%02d.png", iLevel);
        const bool bWritten = headless::write_png(screen, sOut + szName, PICTURE_PERCENT);
        exit_pong();
        if (!bWritten) {
            fprintf(stderr, "match pictures: cannot write %s%s\n", sOut.c_str(), szName);
            return 1;
        }
    }
    headless::stop_game();
    packfile_password(nullptr);
    printf("Match pictures: %d levels in %s\n", NUM_LEVEL_INDICES, sOut.c_str());
    return 0;
}
