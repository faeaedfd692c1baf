// The help page: the panel fades in from black, the current language's help
// text is drawn over it, and the page stays until the player answers; then it
// fades out to black.
#include "help.h"
#include "fade.h"
#include "grabber_functions.h"
#include "main.h"
#include "menu.h"

#include <allegro.h>

namespace {
constexpr const char *HELP_PICTURE = "FONDO_AYUDA";
constexpr const char *HELP_DATAFILE = "data/tx06.dat";
constexpr int HELP_FADE_TIME = 500; // ms, in and out
} // namespace

void help_screen()
{
    BITMAP *bmpPanel = load_bmp_from_dat(HELP_PICTURE, HELP_DATAFILE);
    blit(bmpPanel, g_bmpBuffer, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    fade_from_color(g_bmpBuffer, HELP_FADE_TIME, 0, 0, makecol(0, 0, 0));
    print_text_to_screen(g_ptMenuText, nullptr, TEXT_HELP, g_bmpBuffer);
    blit(g_bmpBuffer, screen, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    wait_answer_with_music();
    fade_to_color(g_bmpBuffer, HELP_FADE_TIME, 0, 0, makecol(0, 0, 0));
    destroy_bitmap(bmpPanel);
}
