// The user profile and its container: every default of a fresh profile, the
// ring of one, bounded names, and release of everything that was made.
#include "database.h"
#include "database_interface.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <iterator>
#include <string>

namespace {
// Bindings by key code number and joystick code, as the graphics library numbers them.
struct Binding {
    int iSide, iDevice;
    stInputKeys tKeys; // iType, up, down, shrink, grow, start, escape, back, action
};
const Binding aDefaultBindings[] = {
    {0, USER_KEYBOARD_CONTROLS, {1, 84, 85, 83, 82, 67, 59, 63, 75}},
    {0, USER_JOYSTICK_CONTROLS, {2, 1, 2, 3, 4, 5, 10, 11, 12}},
    {1, USER_KEYBOARD_CONTROLS, {1, 23, 19, 4, 1, 91, 59, 63, 5}}, // E: player one keeps Space,
    {1, USER_JOYSTICK_CONTROLS, {2, 1, 2, 3, 4, 5, 10, 11, 12}},
};

void expect_default_values(const stUser &tUser)
{
    EXPECT_EQ(tUser.iTimePlaying, 0);
    EXPECT_STREQ(tUser.szLanguage, "Ingles");
    EXPECT_EQ(tUser.iMusicVolume, 153);
    EXPECT_EQ(tUser.iFXVolume, 230);
    EXPECT_EQ(tUser.bVsync, 1);
    EXPECT_EQ(tUser.iScreen, 0);
    for (int m = 0; m < USER_NUM_GAME_MODES; m++)
        for (int d = 0; d < USER_NUM_DIFFICULTIES; d++) {
            EXPECT_EQ(tUser.aiWinnedCups[m][d], 0);
            EXPECT_EQ(tUser.aiPlayedGames[m][d], 0);
            EXPECT_EQ(tUser.aiWinnedGames[m][d], 0);
            EXPECT_EQ(tUser.aiPerfectGames[m][d], 0);
        }
    EXPECT_EQ(tUser.iNumCharacters, 2);
    const int aiStatus[USER_NUM_CHARACTERS] = {2, 2, 2, 2, 1, 0, 0, 0, 2, 0, 0, 0, 2, 2, 2, 2};
    for (int i = 0; i < USER_NUM_CHARACTERS; i++)
        EXPECT_EQ(tUser.aiPlayableChar[i], aiStatus[i]) << "character " << i;
    EXPECT_EQ(tUser.iNumStages, 2);
    for (int i = 0; i < USER_NUM_STAGE_LEVELS; i++) {
        const bool bOpen = (i >= 6 && i <= 8) || (i >= 12 && i <= 14);
        EXPECT_EQ(tUser.abPlayableStage[i], bOpen ? -1 : 0) << "level " << i;
    }
    const auto fields = [](const stInputKeys &k) {
        return std::array<int, 9>{k.iType, k.iUp, k.iDown, k.iShrink, k.iGrow,
                                  k.iStart, k.iEscape, k.iBack, k.iAction};
    };
    for (const Binding &b : aDefaultBindings)
        EXPECT_EQ(fields(tUser.atControls[b.iSide][b.iDevice]), fields(b.tKeys))
            << "side " << b.iSide << " device " << b.iDevice;
    EXPECT_STREQ(tUser.szExtraParams, "KEYBOARD");
}

// The one profile a run makes: number 0, the default name, a ring of itself.
void expect_lone_default(const stUser &tUser)
{
    EXPECT_EQ(tUser.iUser, 0);
    EXPECT_STREQ(tUser.szName, "Rondo Vex");
    EXPECT_EQ(tUser.ptNextUser, &tUser);
    EXPECT_EQ(tUser.ptPastUser, &tUser);
    expect_default_values(tUser);
}
} // namespace

TEST(Users, EveryRunStartsFromOneDefaultProfileThatIsFirstAndCurrent)
{
    // The second round sees the defaults again: a change lives only as long as its container.
    for (int iRun = 0; iRun < 2; iRun++) {
        stUserContainer *ptContainer = read_users();
        ASSERT_NE(ptContainer, nullptr);
        EXPECT_EQ(ptContainer->iNumUsers, 1);
        ASSERT_NE(ptContainer->ptCurrentUser, nullptr);
        EXPECT_EQ(ptContainer->ptFirstUser, ptContainer->ptCurrentUser);
        stUser &tUser = *ptContainer->ptCurrentUser;
        expect_lone_default(tUser);
        snprintf(tUser.szLanguage, USER_TEXT_SIZE, "%s", "Espanol");
        tUser.iMusicVolume = 0;
        close_users(ptContainer);
    }
    close_users(nullptr);
}

TEST(Users, DefaultUsersAreAtMostARingOfOne)
{
    const struct {
        int iAsked;
        bool bMade;
    } aCases[] = {{3, true}, {1, true}, {0, false}, {-4, false}};
    for (const auto &c : aCases) {
        stUser *ptUser = create_default_users(c.iAsked);
        ASSERT_EQ(ptUser != nullptr, c.bMade) << c.iAsked;
        if (ptUser)
            expect_lone_default(*ptUser);
        free(ptUser);
    }
}

TEST(Users, InitialisingKeepsIndexNeighboursAndABoundedName)
{
    stUser tUser, tNext, tPast;
    memset(&tUser, 0x5a, sizeof(tUser)); // whatever was there before is overwritten
    const std::string sLong(1000, 'x');
    const struct {
        std::string sName;
        std::string sStored;
    } aCases[] = {
        {"Vanto", "Vanto"},
        {"", ""},
        {sLong, sLong.substr(0, USER_TEXT_SIZE - 1)},
        {"100% %s %n", "100% %s %n"}, // a name is data, never a format
    };
    for (const auto &c : aCases) {
        initialize_user_values(&tUser, 7, c.sName.c_str(), &tNext, &tPast);
        EXPECT_EQ(std::string(tUser.szName), c.sStored);
        EXPECT_EQ(tUser.iUser, 7);
        EXPECT_EQ(tUser.ptNextUser, &tNext);
        EXPECT_EQ(tUser.ptPastUser, &tPast);
        expect_default_values(tUser);
    }
}
