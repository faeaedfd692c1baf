// SIGTERM and SIGINT are only noted when they come; the game's next frame
// shuts down and exits with the shell's status for that signal.
#include "quit_signal.h"
#include "sound.h"

#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

TEST(QuitSignal, IsNotedAndTheNextFrameExitsWithTheSignalsStatus)
{
    const std::string sStyle = GTEST_FLAG_GET(death_test_style);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const struct {
        int iSignal;
        int iStatus;
    } atCases[] = {{SIGTERM, 143}, {SIGINT, 130}};
    for (const auto &tCase : atCases) {
        EXPECT_EXIT(
            {
                install_quit_signals();
                raise(tCase.iSignal);
                if (quit_signal() != tCase.iSignal)
                    exit(EXIT_FAILURE);
                update_fmod();
                exit(EXIT_SUCCESS); // the frame went on
            },
            ::testing::ExitedWithCode(tCase.iStatus), "")
            << "signal " << tCase.iSignal;
    }
    GTEST_FLAG_SET(death_test_style, sStyle);
}
