// The game's own code without a window, for the build's tools and the match
// benchmark: Allegro under no system driver, a memory screen, sound off, the
// datafiles' password, the default profile with both sides on the keyboard,
// and pictures written as PNG.
#pragma once
#include "controls.h"
#include "database_interface.h"
#include "main.h"
#include "player.h"
#include "pong.h"
#include "random.h"
#include "sound.h"
#include "tables.h"
#include "tfont.h"

#include <allegro.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace headless {
constexpr int SCREEN_DEPTH = 32;
constexpr int RANDOM_SEED = 1;       // the same run every time
constexpr int PATH_SIZE = 4096;      // bytes of a directory path, with its zero

// The arguments GAME_DIR OUT_DIR of a picture tool: makes OUT_DIR (and its
// parents) when missing and gives it back as an absolute path, then enters
// GAME_DIR, which holds the built data/. False, with a message, on a failure.
inline bool enter_picture_dirs(int argc, char **argv, std::string *psOut)
{
    if (argc != 3) {
        fprintf(stderr, "usage: %s GAME_DIR OUT_DIR (GAME_DIR holds the built data/)\n", argv[0]);
        return false;
    }
    char szStart[PATH_SIZE];
    if (!getcwd(szStart, sizeof(szStart))) {
        perror("getcwd");
        return false;
    }
    *psOut = argv[2][0] == '/' ? std::string(argv[2]) : std::string(szStart) + "/" + argv[2];
    std::error_code tError;
    std::filesystem::create_directories(*psOut, tError);
    if (tError) {
        fprintf(stderr, "%s: %s\n", psOut->c_str(), tError.message().c_str());
        return false;
    }
    if (chdir(argv[1]) != 0) {
        perror(argv[1]);
        return false;
    }
    return true;
}

inline void use_data_password()
{
    char szPassword[DATA_PASSWORD_SIZE];
    build_data_password(szPassword);
    packfile_password(szPassword);
}

// Allegro with the tables, silent, the datafiles readable, from the directory
// that holds data/. False, with a message, when the library does not start.
inline bool start_allegro(const char *pszProgram)
{
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
        fprintf(stderr, "%s: the graphics library did not start\n", pszProgram);
        return false;
    }
    set_color_depth(SCREEN_DEPTH);
    // Without a display the 24-bit layout keeps the library's default (blue
    // highest); the windowed game's display has red highest, and the
    // documents' colours are read in that layout.
    _rgb_r_shift_24 = 16;
    _rgb_g_shift_24 = 8;
    _rgb_b_shift_24 = 0;
    init_tables();
    random_init_seed(RANDOM_SEED);
    bSoundError = -1; // no sound output
    use_data_password();
    return true;
}

// What a match needs besides start_allegro: the text layer, a memory
// screen and back buffer of 800 by 600, the profile (no vertical sync: no
// display to wait for) and both sides on the keyboard.
inline bool start_game(const char *pszProgram)
{
    if (!start_allegro(pszProgram))
        return false;
    if (tfont_init() != 0) {
        fprintf(stderr, "%s: the text layer did not start\n", pszProgram);
        return false;
    }
    screen = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
    g_bmpBuffer = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
    g_ptUserContainer = read_users();
    g_ptUserContainer->ptCurrentUser->bVsync = FALSE;
    for (int i = 0; i < 2; i++)
        init_player(i, &g_tPlayer[i], IN_KEYBOARD);
    init_controls();
    simulate_keypress(KEY_A << 8 | 'a'); // held keys count once a key was pressed
    return true;
}

// Sets up a match on level index iLevel between the sides' current characters.
inline void start_match(int iLevel)
{
    g_iLevel = iLevel;
    for (int i = 0; i < 2; i++)
        reset_player(&g_tPlayer[i], i, g_iLevel, 0);
    init_pong();
}

inline void stop_game()
{
    for (stPlayer &tPlayer : g_tPlayer)
        destroy_player(&tPlayer);
    close_users(g_ptUserContainer);
    g_ptUserContainer = nullptr;
    destroy_bitmap(g_bmpBuffer);
    g_bmpBuffer = nullptr;
    destroy_bitmap(screen);
    screen = nullptr;
    tfont_exit();
}

inline void hold_key(int iScancode, bool bDown)
{
    const_cast<char *>(key)[iScancode] = bDown ? 1 : 0;
}

// Runs a program and waits for it: its exit status, -1 when it did not run.
inline int run(const std::vector<std::string> &vArgs)
{
    std::vector<char *> vArgv;
    for (const std::string &sArg : vArgs)
        vArgv.push_back(const_cast<char *>(sArg.c_str()));
    vArgv.push_back(nullptr);
    pid_t iPid = 0;
    if (posix_spawnp(&iPid, vArgv[0], nullptr, nullptr, vArgv.data(), environ) != 0)
        return -1;
    int iStatus = 0;
    waitpid(iPid, &iStatus, 0);
    return WIFEXITED(iStatus) ? WEXITSTATUS(iStatus) : -1;
}

// Writes the picture as a PNG at iPercent of its size (through a plain BMP
// and ImageMagick's convert).
inline bool write_png(BITMAP *bmp, const std::string &sPng, int iPercent)
{
    const std::string sBmp = sPng + ".bmp";
    packfile_password(nullptr); // the picture is written plain
    const bool bSaved = save_bitmap(sBmp.c_str(), bmp, nullptr) == 0;
    use_data_password();
    if (!bSaved)
        return false;
    const bool bDone =
        run({"convert", sBmp, "-resize", std::to_string(iPercent) + "%", sPng}) == 0;
    unlink(sBmp.c_str());
    return bDone;
}
} // namespace headless
