// SIGTERM and SIGINT are only noted when they come; the game's next frame
// shuts down and exits with the shell's status for that signal.
#include "support.h"
#include "quit_signal.h"
#include "sound.h"

#include <csignal>

TEST(QuitSignal, IsNotedAndTheNextFrameExitsWithTheSignalsStatus)
{
    const std::string sStyle = GTEST_FLAG_GET(death_test_style);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::pair<int, int> atCases[] = {{SIGTERM, 143}, {SIGINT, 130}}; // signal, exit status
    for (const auto &tCase : atCases) {
        EXPECT_EXIT(
            {
                install_quit_signals();
                raise(tCase.first);
                if (quit_signal() != tCase.first)
                    exit(EXIT_FAILURE);
                update_fmod();
                exit(EXIT_SUCCESS); // the frame went on
            },
            ::testing::ExitedWithCode(tCase.second), "")
            << "signal " << tCase.first;
    }
    GTEST_FLAG_SET(death_test_style, sStyle);
}
