// Match pictures: for every level index, a match on that stage played for a
// few seconds of real frames with scripted keys (both sides riding up and
// down out of step), drawn by the game's own frame drawing and written as
// match_LL.png, so every stage can be looked at in play. Then, for every
// item, a match in which player one has used it and player two holds it,
// written as item_I.png: the effect in force, both bars and the icon.
#include "headless_game.h"

#include <string>

namespace {
constexpr float FRAME = 1.0f / 60;       // s
constexpr int PLAY_FRAMES = 150;         // frames played before the picture
constexpr int RIDE_FRAMES = 40;          // frames between reversals of a side's keys
constexpr int TWO_DELAY_FRAMES = 20;     // player two rides this much later
constexpr int CHARACTER_STEP = 5;        // player two plays the character this far on
constexpr int PICTURE_PERCENT = 100;
constexpr int ITEM_LEVEL_STEP = 3;       // each item's match is on the next stage
constexpr int ITEM_EFFECT_FRAMES = 45;   // frames played with the item in force
constexpr float TRACK_DEAD_ZONE = 12.0f; // px of the ball's height that a tracking side ignores

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

// One frame in which both sides ride toward the ball's height with the keys
// they had when the match began (so swapped controls show).
void play_tracking(const stInputKeys atKeys[2], int iFrame)
{
    for (int i = 0; i < 2; i++) {
        const float fOffset = g_tBall.fY - g_tPlayer[i].ptPaddle->fY;
        headless::hold_key(atKeys[i].iUp, fOffset < -TRACK_DEAD_ZONE);
        headless::hold_key(atKeys[i].iDown, fOffset > TRACK_DEAD_ZONE);
    }
    play_pong_frame(iFrame == 0 ? 0.0f : FRAME);
    draw_pong();
}

// Side iPlayer's bar full, holding iItem.
void fill_bar(int iPlayer, int iItem)
{
    stItem *ptItems = &g_tPlayer[iPlayer].tItems;
    ptItems->fPowerBar = ptItems->fProspectedBar = ptItems->fFullBar;
    ptItems->iItem = iItem;
}

bool write_picture(const std::string &sOut, const char *pszFormat, int iIndex)
{
    char szName[32];
    snprintf(szName, sizeof(szName), pszFormat, iIndex);
    if (headless::write_png(screen, sOut + szName, PICTURE_PERCENT))
        return true;
    fprintf(stderr, "match pictures: cannot write %s%s\n", sOut.c_str(), szName);
    return false;
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
        const bool bWritten = write_picture(sOut, "/match_%02d.png", iLevel);
        exit_pong();
        if (!bWritten)
            return 1;
    }
    for (int iItem = 0; iItem < NUM_ITEMS; iItem++) {
        g_tPlayer[0].iCharacter = (iItem * ITEM_LEVEL_STEP) % NUM_CHARACTERS;
        g_tPlayer[1].iCharacter = (iItem * ITEM_LEVEL_STEP + CHARACTER_STEP) % NUM_CHARACTERS;
        headless::start_match(iItem * ITEM_LEVEL_STEP % NUM_LEVEL_INDICES);
        const stInputKeys atKeys[2] = {*g_tPlayer[0].ptInputKeys, *g_tPlayer[1].ptInputKeys};
        for (int i = 0; i < PLAY_FRAMES; i++)
            play_tracking(atKeys, i);
        // A point ends the effect: player one uses the item again at once.
        for (int i = 0; i < ITEM_EFFECT_FRAMES; i++) {
            if (g_tPlayer[0].tItems.iUsedItem == NO_ITEM) {
                fill_bar(0, iItem);
                use_item(0, &g_tPlayer[0].tItems);
            }
            fill_bar(1, iItem);
            play_tracking(atKeys, PLAY_FRAMES + i);
        }
        const bool bWritten = write_picture(sOut, "/item_%d.png", iItem);
        exit_pong();
        if (!bWritten)
            return 1;
    }
    headless::stop_game();
    packfile_password(nullptr);
    printf("Match pictures: %d levels and %d items in %s\n", NUM_LEVEL_INDICES,
           static_cast<int>(NUM_ITEMS), sOut.c_str());
    return 0;
}
