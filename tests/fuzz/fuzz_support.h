// Shared by the fuzz targets that drive the game's own loaders: the game's fatal
// message comes back to the target as an exception instead of ending the process,
// and Allegro runs headless with the datafiles' password, in the game's directory.
#pragma once
#include "main.h"
#include "tfont.h"
#include "utils.h"

#include <allegro.h>
#include <cerrno>
#include <cstdlib>

namespace fuzz_support {

constexpr int COLOR_DEPTH = 32; // bits per pixel of the bitmaps the loaders create

// The game asked to stop with a message: an accepted outcome for damaged input.
struct FatalExit {};

[[noreturn]] inline void throw_fatal(const char *) { throw FatalExit(); }

// Runs fnLoad; true when it returned, false when it took the fatal path.
template <typename Load> bool completes(Load fnLoad)
{
    try {
        fnLoad();
        return true;
    } catch (const FatalExit &) {
        return false;
    }
}

// Once per process: fatal messages thrown, and, when bAllegro is set, Allegro
// without a display and the text layer up, as the game starts them, the game's
// directory current and the datafiles' password set.
inline void init(bool bAllegro)
{
    set_fatal_handler(throw_fatal);
    if (!bAllegro)
        return;
    set_uformat(U_UTF8);
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0 || tfont_init() != 0)
        abort();
    set_color_depth(COLOR_DEPTH);
    enter_game_directory();
    char szPassword[DATA_PASSWORD_SIZE];
    build_data_password(szPassword);
    packfile_password(szPassword);
}

} // namespace fuzz_support
