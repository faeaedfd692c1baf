// Start-up, shutdown and the top-level flow of the game.
#pragma once

#include "database_interface.h"

struct BITMAP;
typedef struct _TFONT_FONT TFONT_FONT;

constexpr int NUM_MENU_FONTS = 2;
extern BITMAP *g_bmpBuffer;                  // back buffer, 800 by 600: every screen draws here first
extern TFONT_FONT *g_Fonts[NUM_MENU_FONTS];  // 0: "CRACKHOUSE", 1: "FUTURA", both at height 15
extern stUserContainer *g_ptUserContainer;   // the profiles; the current one holds the settings

constexpr int SCREEN_WIDTH = 800;  // px
constexpr int SCREEN_HEIGHT = 600; // px
constexpr int DATA_PASSWORD_SIZE = 15; // bytes of the buffer the password is built in

// Brings up every library and loads the resources that live for the whole run;
// any failure ends the program through error_message.
void libraries_init();
// Releases everything in a fixed order, skipping what was never created.
void libraries_exit();
// The current language and its menus, screen texts, boxes and labels (after
// the profiles and the fonts), and their release with the opening screen's
// pictures, which are loaded when first shown.
void load_screen_texts();
void destroy_screen_texts();

// The main routine: start-up, the top-level loop, the closing screen and
// shutdown. iGfxCard is the graphics driver this build asks for.
int tarvelix_main(int iGfxCard);

// The datafiles' password (13 characters and a terminating zero).
void build_data_password(char szPassword[DATA_PASSWORD_SIZE]);

// Tries the colour depths 24, 32, 16, 15 in that order with pfnTryDepth, which
// returns 0 when a mode at that depth was set. Gives the depth, or 0 when all fail.
int find_graphics_depth(int (*pfnTryDepth)(int iDepth));

// Makes the directory that holds data/ the current one: next to the program,
// one level up (the build tree), PREFIX/share/tarvelix for a program installed
// in PREFIX/bin, or the source tree the program was built from.
void enter_game_directory();

// The intro calls this just before its first frame. With the environment
// variable TARVELIX_STARTUP_REPORT set it prints, on the console, the wall
// clock in nanoseconds and how long the opening music fade held the screen
// black, so that a benchmark can tell the start-up time from the moment it
// started the program.
void mark_intro_first_frame();
