// Renders the text layer's test card: both game fonts at 15, 32 and 70 pixels,
// anti-aliased and two-level, shadowed, bold, boxed and aligned, with Spanish
// text, into an 800 by 600 PNG. Usage: tvx_textcard OUT.png [FUTURA CRACKHOUSE]
#include "tfont.h"
#include "utils.h"

#include <allegro.h>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {
constexpr int CARD_W = 800, CARD_H = 600; // px
constexpr int CARD_DEPTH = 32;            // bits per pixel
constexpr int MARGIN = 12;                // px from the card's left and right edges
constexpr int TAG_HEIGHT = 15;            // px, the grey labels on the right
const char *const DEFAULT_FUTURA = "/usr/share/fonts/opentype/league-spartan/LeagueSpartan-SemiBold.otf";
const char *const DEFAULT_CRACKHOUSE = "/usr/share/fonts/opentype/bebas-neue/BebasNeue-Bold.otf";
const char *const SPANISH = "¿Jugar otra vez? Sí — Año ñandú ¡Olé!";

TFONT_FONT *load_font(const char *pszPath)
{
    std::ifstream tFile(pszPath, std::ios::binary);
    const std::vector<char> vBytes(std::istreambuf_iterator<char>(tFile), {});
    TFONT_FONT *ptFont = vBytes.empty() ? nullptr
                                        : tfont_load_font_from_mem(vBytes.data(), static_cast<int>(vBytes.size()));
    if (!ptFont)
        fprintf(stderr, "tvx_textcard: cannot load the font %s\n", pszPath);
    return ptFont;
}

// A vertical gradient, so that anti-aliased edges are seen over changing colour.
void draw_background(BITMAP *bmp)
{
    for (int y = 0; y < bmp->h; y++) {
        const int t = y * 255 / (bmp->h - 1);
        hline(bmp, 0, y, bmp->w - 1, makecol(18 + t / 6, 24 + t / 10, 60 + t / 4));
    }
}

// The grey label at the right end of a row, naming what the row shows.
void tag(BITMAP *bmp, TFONT_FONT *ptFont, int y, const char *pszTag)
{
    tfont_set_font_size(ptFont, TAG_HEIGHT);
    tfont_textout_right_aa(bmp, ptFont, pszTag, CARD_W - MARGIN, y, makecol(170, 180, 200));
}

// The baseline of text drawn at y, as a faint guide line under the row.
void baseline(BITMAP *bmp, TFONT_FONT *ptFont, int x1, int x2, int y)
{
    hline(bmp, x1, y + ptFont->face_ascender, x2, makecol(90, 70, 120));
}

void draw_card(BITMAP *bmp, TFONT_FONT *ptFutura, TFONT_FONT *ptCrackhouse)
{
    const int iGold = makecol(255, 204, 64), iWhite = makecol(255, 255, 255);
    const int iCyan = makecol(110, 230, 255), iRose = makecol(255, 120, 150);
    draw_background(bmp);

    tfont_set_font_size(ptCrackhouse, 70);
    textprintf_centre_bold(bmp, ptCrackhouse, CARD_W / 2, 8, iGold, "Tarvelix");
    tag(bmp, ptFutura, 8, "CRACKHOUSE 70 bold");

    struct Row {
        TFONT_FONT *ptFont;
        int iHeight, y;
        bool bAntiAliased;
        const char *pszTag;
    };
    const Row aRows[] = {
        {ptFutura, 32, 96, true, "FUTURA 32 aa"},       {ptFutura, 32, 134, false, "FUTURA 32 mono"},
        {ptCrackhouse, 32, 176, true, "CRACKHOUSE 32 aa"}, {ptCrackhouse, 32, 214, false, "CRACKHOUSE 32 mono"},
        {ptFutura, 15, 256, true, "FUTURA 15 aa"},      {ptFutura, 15, 276, false, "FUTURA 15 mono"},
        {ptCrackhouse, 15, 298, true, "CRACKHOUSE 15 aa"}, {ptCrackhouse, 15, 318, false, "CRACKHOUSE 15 mono"},
    };
    for (const Row &r : aRows) {
        tfont_set_font_size(r.ptFont, r.iHeight);
        baseline(bmp, r.ptFont, MARGIN, 640, r.y);
        if (r.bAntiAliased)
            tfont_textout_aa(bmp, r.ptFont, SPANISH, MARGIN, r.y, iWhite);
        else
            tfont_textout(bmp, r.ptFont, SPANISH, MARGIN, r.y, iWhite);
        tag(bmp, ptFutura, r.y + (r.iHeight - TAG_HEIGHT) / 2, r.pszTag);
    }

    // Large text: anti-aliased on the left, two-level on the right, one baseline.
    for (TFONT_FONT *ptFont : {ptFutura, ptCrackhouse}) {
        const int y = ptFont == ptFutura ? 344 : 420;
        tfont_set_font_size(ptFont, 70);
        baseline(bmp, ptFont, MARGIN, CARD_W - MARGIN, y);
        tfont_textout_aa(bmp, ptFont, ptFont == ptFutura ? "Año ñandú" : "¡Olé! Sí", MARGIN, y, iCyan);
        tfont_textout(bmp, ptFont, ptFont == ptFutura ? "Año ñandú" : "¡Olé! Sí", 400, y, iCyan);
    }
    tag(bmp, ptFutura, 336, "FUTURA 70 aa | mono");
    tag(bmp, ptFutura, 412, "CRACKHOUSE 70 aa | mono");

    // The helpers: shadow, bold (both kinds), a boxed background and the slider.
    tfont_set_font_size(ptFutura, 32);
    textprintf_shadow(bmp, ptFutura, MARGIN, 500, iWhite, "Sombra 100%");
    textprintf_bold(bmp, ptFutura, 250, 500, iRose, "Negrita");
    textprintf_bold_no_aa(bmp, ptFutura, 420, 500, iRose, "Sin AA");
    tfont_textout_aa_ex(bmp, ptFutura, "Caja", 600, 500, makecol(20, 20, 40), iGold);
    tfont_set_font_size(ptCrackhouse, 32);
    textprintf_right_shadow(bmp, ptCrackhouse, CARD_W - MARGIN, 548, iGold, "¿Jugar otra vez?");
    textprintf_centre_bold_no_aa(bmp, ptCrackhouse, 300, 548, iCyan, "Año");
    tfont_set_font_size(ptFutura, 15);
    slide_bar(bmp, ptFutura, MARGIN + 8, 150, 570, 8, makecol(80, 160, 255), 128, 1);
}

// Converts the temporary BMP to PNG with ImageMagick, without a shell.
bool convert_to_png(const char *pszBmp, const char *pszPng)
{
    char szConvert[] = "convert";
    std::string sIn = pszBmp, sOut = pszPng;
    char *apszArgs[] = {szConvert, sIn.data(), sOut.data(), nullptr};
    pid_t iChild;
    if (posix_spawnp(&iChild, szConvert, nullptr, nullptr, apszArgs, environ) != 0)
        return false;
    int iStatus = 0;
    return waitpid(iChild, &iStatus, 0) == iChild && WIFEXITED(iStatus) && WEXITSTATUS(iStatus) == 0;
}
} // namespace

int main(int argc, char **argv)
{
    if (argc != 2 && argc != 4) {
        fprintf(stderr, "usage: tvx_textcard OUT.png [FUTURA_FILE CRACKHOUSE_FILE]\n");
        return 2;
    }
    set_uformat(U_UTF8);
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0 || tfont_init() != 0) {
        fprintf(stderr, "tvx_textcard: cannot start the graphics library or the text layer\n");
        return 1;
    }
    tfont_text_mode(TFONT_TRANSPARENT);
    TFONT_FONT *ptFutura = load_font(argc == 4 ? argv[2] : DEFAULT_FUTURA);
    TFONT_FONT *ptCrackhouse = load_font(argc == 4 ? argv[3] : DEFAULT_CRACKHOUSE);
    if (!ptFutura || !ptCrackhouse)
        return 1;
    set_color_depth(CARD_DEPTH);
    BITMAP *bmpCard = create_bitmap(CARD_W, CARD_H);
    draw_card(bmpCard, ptFutura, ptCrackhouse);

    char szTemporary[] = "/tmp/tvx_textcard_XXXXXX.bmp";
    const int iFd = mkstemps(szTemporary, 4);
    bool bSaved = iFd >= 0;
    if (bSaved) {
        close(iFd);
        bSaved = save_bitmap(szTemporary, bmpCard, nullptr) == 0 && convert_to_png(szTemporary, argv[1]);
        unlink(szTemporary);
    }
    destroy_bitmap(bmpCard);
    tfont_destroy_font(ptFutura);
    tfont_destroy_font(ptCrackhouse);
    tfont_exit();
    if (!bSaved) {
        fprintf(stderr, "tvx_textcard: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
