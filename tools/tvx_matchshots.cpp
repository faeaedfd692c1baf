// Match pictures: for every level index, a match on that stage played for a
// few seconds of real frames with scripted keys (both sides riding up and
// down out of step), drawn by the game's own frame drawing and written as
// match_LL.png, so every stage can be looked at in play. Then, for every
// item, a match in which player one has used it and player two holds it,
// written as item_I.png: the effect in force, both bars and the icon. Last,
// the stage elements at their moments: the storm's bolt growing and its white
// flash, the snowmen in their three sizes and one smashed into snow.
#include "headless_game.h"
#include "stage_elements.h"

#include <functional>

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
constexpr int STORM_LEVEL = 8;           // the storm stage's third level
constexpr int SNOW_LEVEL = 14;           // the snow stage's third level
constexpr int MOMENT_FRAMES = 60 * 90;   // frames a moment is waited for, at most
constexpr int SMASH_FRAMES = 30;         // frames of flying snow before the picture

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

// The screen as sOut/sName.
bool write_picture(const std::string &sOut, const std::string &sName)
{
    if (headless::write_png(screen, sOut + "/" + sName, PICTURE_PERCENT))
        return true;
    fprintf(stderr, "match pictures: cannot write %s/%s\n", sOut.c_str(), sName.c_str());
    return false;
}

// "PREFIX_NN.png" with the number two digits wide, or as it is with iDigits 1.
std::string numbered(const char *pszPrefix, int iNumber, int iDigits)
{
    char szNumber[16];
    snprintf(szNumber, sizeof(szNumber), "%0*d", iDigits, iNumber);
    return std::string(pszPrefix) + "_" + szNumber + ".png";
}

bool level_pictures(const std::string &sOut)
{
    for (int iLevel = 0; iLevel < NUM_LEVEL_INDICES; iLevel++) {
        g_tPlayer[0].iCharacter = iLevel % NUM_CHARACTERS;
        g_tPlayer[1].iCharacter = (iLevel + CHARACTER_STEP) % NUM_CHARACTERS;
        headless::start_match(iLevel);
        play(PLAY_FRAMES);
        const bool bWritten = write_picture(sOut, numbered("match", iLevel, 2));
        exit_pong();
        if (!bWritten)
            return false;
    }
    return true;
}

bool item_pictures(const std::string &sOut)
{
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
        const bool bWritten = write_picture(sOut, numbered("item", iItem, 1));
        exit_pong();
        if (!bWritten)
            return false;
    }
    return true;
}

// One moment of a stage element: the match plays until bMoment() holds.
struct Moment {
    const char *pszName; // picture file
    std::function<bool()> bMoment;
};

// Plays a match on iLevel between the two characters, writing each moment's
// picture as it comes, in order.
bool moment_pictures(const std::string &sOut, int iLevel, int iOne, int iTwo,
                     const std::vector<Moment> &vMoments)
{
    g_tPlayer[0].iCharacter = iOne;
    g_tPlayer[1].iCharacter = iTwo;
    headless::start_match(iLevel);
    const stInputKeys atKeys[2] = {*g_tPlayer[0].ptInputKeys, *g_tPlayer[1].ptInputKeys};
    int iFrame = 0;
    bool bWritten = true;
    for (const Moment &tMoment : vMoments) {
        const int iLast = iFrame + MOMENT_FRAMES;
        while (iFrame < iLast && !tMoment.bMoment())
            play_tracking(atKeys, iFrame++);
        if (iFrame >= iLast) {
            fprintf(stderr, "match pictures: no moment for %s\n", tMoment.pszName);
            bWritten = false;
            break;
        }
        bWritten = write_picture(sOut, tMoment.pszName);
        if (!bWritten)
            break;
    }
    exit_pong();
    return bWritten;
}

bool special_pictures(const std::string &sOut)
{
    const stSpecialElement &tBolt = tElements.tSpecialElement[0];
    const std::vector<Moment> vStorm = {
        {"special_storm_bolt.png", [&tBolt] { return tBolt.bActive && tBolt.iHeightImag >= 300; }},
        {"special_storm_flash.png", [] { return g_bSpecialOnFront != FALSE; }},
    };
    // The sizes the active snowmen show; a snowman that was shown and is gone was smashed.
    auto sizes = [] {
        std::vector<const BITMAP *> v;
        for (int i = 0; i < NUM_SNOWMEN; i++)
            if (tElements.tSpecialElement[i].bActive &&
                std::find(v.begin(), v.end(), tElements.tSpecialElement[i].bmpImagElement) == v.end())
                v.push_back(tElements.tSpecialElement[i].bmpImagElement);
        return v.size();
    };
    int iSmashFrames = -1;
    int abWasActive[NUM_SNOWMEN] = {};
    auto smashed = [&iSmashFrames, &abWasActive] {
        for (int i = 0; i < NUM_SNOWMEN && iSmashFrames < 0; i++) {
            if (abWasActive[i] && !tElements.tSpecialElement[i].bActive)
                iSmashFrames = 0;
            abWasActive[i] = tElements.tSpecialElement[i].bActive;
        }
        return iSmashFrames >= 0 && iSmashFrames++ >= SMASH_FRAMES;
    };
    const std::vector<Moment> vSnow = {
        {"special_snow_sizes.png", [&sizes] { return sizes() == 3; }},
        {"special_snow_smash.png", smashed},
    };
    return moment_pictures(sOut, STORM_LEVEL, UAYUMIN, ALTER_UAYUMIN, vStorm) &&
           moment_pictures(sOut, SNOW_LEVEL, GUANTE, KAROLA, vSnow);
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
    if (!level_pictures(sOut) || !item_pictures(sOut) || !special_pictures(sOut))
        return 1;
    headless::stop_game();
    packfile_password(nullptr);
    printf("Match pictures: %d levels, %d items and the stage elements in %s\n", NUM_LEVEL_INDICES,
           static_cast<int>(NUM_ITEMS), sOut.c_str());
    return 0;
}
