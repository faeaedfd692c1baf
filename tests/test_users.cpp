// The user profile and its container: the defaults of a fresh profile, the
// ring of one, bounded names, and release of everything that was made.
#include "support.h"
#include "database.h"
#include "database_interface.h"

namespace {
void expect_default_values(const stUser &u)
{
    EXPECT_TRUE(u.iTimePlaying == 0 && u.iMusicVolume == 153 && u.iFXVolume == 230 && u.bVsync == 1 && u.iScreen == 0);
    EXPECT_STREQ(u.szLanguage, "Ingles");
    EXPECT_STREQ(u.szExtraParams, "KEYBOARD");
    for (const auto *paiTable : {&u.aiWinnedCups, &u.aiPlayedGames, &u.aiWinnedGames, &u.aiPerfectGames})
        for (const auto &aiRow : *paiTable)
            for (int iCount : aiRow)
                EXPECT_EQ(iCount, 0);
    EXPECT_EQ(u.iNumCharacters, 2);
    EXPECT_TRUE(u.aiPlayableChar[4] == NOT_SELECTABLE && u.aiPlayableChar[5] == SELECTABLE && u.aiPlayableChar[0] == HIDDEN);
    // The open stages are whole: all three levels of iNumStages stages.
    int iOpen = 0;
    for (int iStage = 0; iStage < USER_NUM_STAGE_LEVELS / 3; iStage++) {
        const int *piLevel = &u.abPlayableStage[3 * iStage];
        EXPECT_TRUE(piLevel[0] == piLevel[1] && piLevel[1] == piLevel[2] && (piLevel[0] == 0 || piLevel[0] == -1)) << iStage;
        iOpen += piLevel[0] == -1;
    }
    EXPECT_TRUE(iOpen == 2 && u.iNumStages == 2 && u.abPlayableStage[6] == -1 && u.abPlayableStage[12] == -1);
    // Each side's keyboard and joystick record; two people on one keyboard
    // share no key that moves, bends the band or uses the item.
    for (const auto &atSide : u.atControls)
        EXPECT_TRUE(atSide[USER_KEYBOARD_CONTROLS].iType == 1 && atSide[USER_JOYSTICK_CONTROLS].iType == 2);
    const stInputKeys &a = u.atControls[0][USER_KEYBOARD_CONTROLS], &b = u.atControls[1][USER_KEYBOARD_CONTROLS];
    EXPECT_TRUE(a.iUp == 84 && a.iAction == 75 && b.iUp == 23 && b.iStart == 91) << "Up and Space, W and the keypad's Enter";
    for (int iOne : {a.iUp, a.iDown, a.iShrink, a.iGrow, a.iAction})
        for (int iTwo : {b.iUp, b.iDown, b.iShrink, b.iGrow, b.iAction})
            EXPECT_NE(iOne, iTwo);
}

// The one profile a run makes: number 0, the default name, a ring of itself.
void expect_lone_default(const stUser &tUser)
{
    EXPECT_TRUE(tUser.iUser == 0 && tUser.ptNextUser == &tUser && tUser.ptPastUser == &tUser);
    EXPECT_STREQ(tUser.szName, "Rondo Vex");
    expect_default_values(tUser);
}
} // namespace

TEST(Users, DefaultUsersAreAtMostARingOfOne)
{
    const std::pair<int, bool> atAsked[] = {{3, true}, {1, true}, {0, false}, {-4, false}};
    for (const auto &[iAsked, bMade] : atAsked) {
        stUser *ptUser = create_default_users(iAsked);
        ASSERT_EQ(ptUser != nullptr, bMade) << iAsked;
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
    // A name is data, never a format.
    for (const std::string &sName : {std::string("Vanto"), std::string(), sLong, std::string("100% %s %n")}) {
        initialize_user_values(&tUser, 7, sName.c_str(), &tNext, &tPast);
        EXPECT_EQ(std::string(tUser.szName), sName.substr(0, USER_TEXT_SIZE - 1));
        EXPECT_TRUE(tUser.iUser == 7 && tUser.ptNextUser == &tNext && tUser.ptPastUser == &tPast);
        expect_default_values(tUser);
    }
}
