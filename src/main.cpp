// The main routine: brings the libraries up in a fixed order, runs the
// top-level loop, and releases everything in a fixed order. Every start-up
// failure is fatal; the release steps skip what was never created.
#include "main.h"
#include "controls.h"
#include "data_check.h"
#include "fade.h"
#include "grabber_functions.h"
#include "intro.h"
#include "labels.h"
#include "language_conf.h"
#include "menu.h"
#include "player.h"
#include "pong.h"
#include "quit_signal.h"
#include "random.h"
#include "select_player.h"
#include "sound.h"
#include "sound_loading.h"
#include "tables.h"
#include "tfont.h"
#include "time.h"
#include "utils.h"

#include <allegro.h>
#include <array>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

BITMAP *g_bmpBuffer = nullptr;
TFONT_FONT *g_Fonts[NUM_MENU_FONTS] = {nullptr, nullptr};
stUserContainer *g_ptUserContainer = nullptr;
stPlayer g_tPlayer[2] = {};

namespace {
constexpr std::array<int, 4> aiScreenRes = {24, 32, 16, 15}; // colour depths, in the order tried
constexpr int CHARACTER_MASK = 0xFF;    // player two's character in a selection result
constexpr int CLOSING_FADE_TIME = 1000; // ms the closing picture fades in and, with the music, out
constexpr int CLOSING_TIME = 4000;      // ms the closing picture stays before a key may end it
constexpr int MENU_FONT_HEIGHT = 15;    // px
constexpr const char *INSTALLED_DATA_PLACE = "share/tarvelix"; // holds data/, under the install prefix
constexpr int INTRO_FADE_IN_TIME = 1000; // ms
constexpr float INTRO_VOLUME = 0.8f;     // music and effects while the intro plays
constexpr float PROFILE_VOLUME_SCALE = 255.0f; // profile volumes run from 0 to 255

// The two halves of the datafiles' password, combined byte by byte.
constexpr char PASSWORD_KEY[] = "k3WQ9PzLm2Rt8";
constexpr char PASSWORD_MASK[] = "\x39\x45\x60\x20\x75\x2a\x48\x14\x08\x79\x6b\x04\x6c";
static_assert(sizeof(PASSWORD_KEY) == sizeof(PASSWORD_MASK), "password halves differ in length");
static_assert(sizeof(PASSWORD_KEY) <= DATA_PASSWORD_SIZE, "password does not fit its buffer");

// Start-up state for the whole run.
struct MainState {
    int iGfxCard = GFX_AUTODETECT_WINDOWED; // graphics driver this build asks for
    BITMAP *bmpCursor = nullptr;            // mouse pointer picture "POINTER"
    bool bTextLayerUp = false;              // tfont_init succeeded
    double fIntroFadeMs = 0.0;              // ms the opening music fade took (start-up report)
};
MainState g_tMain;

int try_depth_with_card(int iDepth)
{
    if (!system_driver) // the graphics library found no system to run on
        return -1;
    set_color_depth(iDepth);
    return set_gfx_mode(g_tMain.iGfxCard, SCREEN_WIDTH, SCREEN_HEIGHT, 0, 0);
}

void init_graphics_mode()
{
    if (find_graphics_depth(try_depth_with_card) == 0) // the console copy keeps the library's reason
        error_message_detail("El modo de video no pudo ser inicializado.", allegro_error);
    set_window_title("Tarvelix");
}

BITMAP *create_back_buffer()
{
    BITMAP *bmp = create_system_bitmap(SCREEN_W, SCREEN_H);
    return bmp ? bmp : create_bitmap(SCREEN_W, SCREEN_H);
}

bool has_data_directory(const std::string &sDir)
{
    struct stat tInfo;
    return stat((sDir + "/data").c_str(), &tInfo) == 0 && S_ISDIR(tInfo.st_mode);
}

// The top-level flow: the opening screen, the characters, then a series,
// until the opening screen asks to quit; backing out of the characters goes
// back to the opening screen.
void run_top_level_loop()
{
    int iGameMode = 0;
    int iPlayingMode = 0;
    int iDifficulty = 0;
    while (true) {
        opening_screen(&iGameMode, &iPlayingMode, &iDifficulty);
        if (iGameMode == -1)
            return;
        const int iPlayerSelection = select_player(iGameMode, iPlayingMode);
        if (iPlayerSelection == -1)
            continue;
        g_tPlayer[0].iCharacter = iPlayerSelection >> 8;
        g_tPlayer[1].iCharacter = iPlayerSelection & CHARACTER_MASK;
        pong(iGameMode, iPlayingMode, iDifficulty);
    }
}

// The closing picture fades in, stays 4 s and then until a key, and fades out
// with the music.
void closing_screen()
{
    BITMAP *bmpClosing = zenk_background(1);
    fade_from_color(bmpClosing, CLOSING_FADE_TIME, 0, 0, makecol(0, 0, 0));
    draw_sprite(screen, bmpClosing, 0, 0);
    wait_with_music(CLOSING_TIME, false);
    wait_answer_with_music();
    fade_media_out(bmpClosing, CLOSING_FADE_TIME, 0, 0, makecol(0, 0, 0), CHANNEL_INTRO_MUSIC);
}
} // namespace

void build_data_password(char szPassword[DATA_PASSWORD_SIZE])
{
    for (int i = 0; i < DATA_PASSWORD_SIZE; i++)
        szPassword[i] = 0;
    for (size_t i = 0; PASSWORD_KEY[i] != '\0'; i++)
        szPassword[i] = static_cast<char>(PASSWORD_KEY[i] ^ PASSWORD_MASK[i]);
}

int find_graphics_depth(int (*pfnTryDepth)(int iDepth))
{
    for (int iDepth : aiScreenRes)
        if (pfnTryDepth(iDepth) == 0)
            return iDepth;
    return 0;
}

void enter_game_directory()
{
    char szExe[PATH_MAX] = {0};
    const ssize_t iLength = readlink("/proc/self/exe", szExe, sizeof(szExe) - 1);
    std::string sExeDir = iLength > 0 ? std::string(szExe, iLength) : std::string();
    sExeDir = sExeDir.substr(0, sExeDir.find_last_of('/'));
    // A program run from the build tree may use the source tree's data; a copy
    // of it anywhere else must bring its own, or start-up says that it has none.
    const std::string sBuildDir = TVX_BUILD_DIR;
    const bool bInBuildTree = sExeDir == sBuildDir || sExeDir.rfind(sBuildDir + "/", 0) == 0;
    for (const std::string &sDir : {sExeDir, sExeDir + "/..", sExeDir + "/../" + INSTALLED_DATA_PLACE,
                                    std::string(bInBuildTree ? TVX_SOURCE_DIR : "")}) {
        if (!sDir.empty() && has_data_directory(sDir) && chdir(sDir.c_str()) == 0)
            return;
    }
}

void load_screen_texts()
{
    init_languages_conf();
    g_ptMenuText = create_menu_text();
    g_ptParcialMenuText = create_menu_text();
    load_menu_text(g_ptMenuText);
    load_box(g_ptBox);
    load_menu(g_ptMenu, NUM_GAME_MENUS);
    load_parcial_language(g_ptParcialMenu, g_ptParcialMenuText);
    load_labels();
    load_parcial_labels();
    load_score_labels();
}

void destroy_screen_texts()
{
    destroy_zenk_background();
    destroy_all_labels();
    destroy_all_score_labels();
    destroy_parcial_labels();
    destroy_all_menu();
    destroy_menu_text(&g_ptMenuText);
    destroy_all_parcial_menu();
    destroy_menu_text(&g_ptParcialMenuText);
    for (stBox *&ptBox : g_ptBox) {
        box_destroy(ptBox);
        ptBox = nullptr;
    }
}

void libraries_init()
{
    init_sound_library(); // first: the sound engine comes up before the graphics library
    set_uformat(U_UTF8);
    // Without a system to run on (no display at all) the library stays down and
    // the graphics mode below fails with its own message; the keyboard cannot be
    // installed on a library that is not up.
    if (allegro_init() == 0)
        install_keyboard();
    else if (allegro_error[0])
        fprintf(stderr, "Tarvelix: allegro_init: %s\n", allegro_error);
    install_quit_signals(); // after the library, which puts in handlers of its own

    char szPassword[DATA_PASSWORD_SIZE];
    build_data_password(szPassword);
    packfile_password(szPassword);
    check_data_files(); // before the first load: Allegro reads a damaged datafile silently

    if (tfont_init() != 0)
        error_message("Error al inicializar tfont.");
    g_tMain.bTextLayerUp = true;
    tfont_text_mode(-1);
    g_Fonts[1] = load_font_from_dat("FUTURA", "data/tx05.dat", MENU_FONT_HEIGHT);
    g_Fonts[0] = load_font_from_dat("CRACKHOUSE", "data/tx05.dat", MENU_FONT_HEIGHT);

    init_graphics_mode();
    if (install_joystick(JOY_TYPE_AUTODETECT) != 0)
        error_message("Error al inicializar joystick.");
    g_tMain.bmpCursor = load_bmp_from_dat("POINTER", "data/tx09.dat");
    if (install_mouse() < 0)
        error_message("No se encontro el mouse.\n");
    set_mouse_sprite(g_tMain.bmpCursor);
    enable_hardware_cursor();

    timer_init();
    random_init();

    g_bmpBuffer = create_back_buffer();
    g_ptUserContainer = read_users();
    init_player(0, &g_tPlayer[0], IN_KEYBOARD);
    init_player(1, &g_tPlayer[1], IN_KEYBOARD);
    init_controls();
    load_screen_texts();
    init_tables();
    init_sound_loading();
    load_effects();
}

void libraries_exit()
{
    for (TFONT_FONT *&ptFont : g_Fonts) {
        tfont_destroy_font(ptFont);
        ptFont = nullptr;
    }
    destroy_effects();
    destroy_screen_texts();
    destroy_player(&g_tPlayer[0]);
    destroy_player(&g_tPlayer[1]);
    close_users(g_ptUserContainer);
    g_ptUserContainer = nullptr;
    if (g_tMain.bmpCursor)
        destroy_bitmap(g_tMain.bmpCursor);
    g_tMain.bmpCursor = nullptr;
    if (g_bmpBuffer)
        destroy_bitmap(g_bmpBuffer);
    g_bmpBuffer = nullptr;
    timer_exit();
    if (g_tMain.bTextLayerUp)
        tfont_exit();
    g_tMain.bTextLayerUp = false;
    allegro_exit();
    exit_sound_libary(); // last: also safe when start-up never brought sound up
}

void mark_intro_first_frame()
{
    if (!getenv("TARVELIX_STARTUP_REPORT"))
        return;
    const auto tNow = std::chrono::system_clock::now().time_since_epoch();
    fprintf(stderr, "Tarvelix: intro's first frame at %lld ns, after a music fade of %.1f ms\n",
            static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(tNow).count()),
            g_tMain.fIntroFadeMs);
}

int tarvelix_main(int iGfxCard)
{
    g_tMain.iGfxCard = iGfxCard;
    enter_game_directory();
    libraries_init();

    stMixSound *sndIntro = nullptr; // stays empty while sound is off
    create_compressed_sound(&sndIntro, tSndSong.szName[INTRO_SONG], TRUE);
    play_sound(sndIntro, CHANNEL_INTRO_MUSIC, MUSIC_VOLUME, 0.0f);
    set_fmod_channel_priority(CHANNEL_INTRO_MUSIC, 0);
    set_fmod_volume(INTRO_VOLUME, INTRO_VOLUME);
    const auto tFadeStart = std::chrono::steady_clock::now();
    fade_music_in(CHANNEL_INTRO_MUSIC, INTRO_FADE_IN_TIME);
    const auto tFadeTime = std::chrono::steady_clock::now() - tFadeStart;
    g_tMain.fIntroFadeMs = std::chrono::duration<double, std::milli>(tFadeTime).count();
    intro();

    const stUser *ptUser = g_ptUserContainer->ptCurrentUser;
    set_fmod_volume(ptUser->iMusicVolume / PROFILE_VOLUME_SCALE,
                    ptUser->iFXVolume / PROFILE_VOLUME_SCALE);
    run_top_level_loop();
    closing_screen();

    if (sndIntro)
        destroy_sound(sndIntro);
    libraries_exit();
    return 0;
}
