// The fatal-message exit, centred sprite drawing, colour conversion, shadowed
// and bold text and the volume slider. error_message is the one way the
// program ends on an unrecoverable condition.
#include "utils.h"
#include "main.h"
#include "tfont.h"

#include <allegro.h>
#include <cstdio>
#include <cstdlib>

namespace {
constexpr int FATAL_EXIT_STATUS = -1; // seen by the shell as 255
constexpr int BYTE_MASK = 255;

// Set once the fatal path has begun, so a failure during shutdown cannot loop back.
bool g_bFatalInProgress = false;
FatalHandler g_pfnFatalHandler = nullptr;

// Where the black copies of shadowed and bold text go, relative to the text.
struct TextOffset {
    int iDX, iDY; // px
};
constexpr int SHADOW_OFFSET = 3; // px, down and right
constexpr int BOLD_OFFSET = 4;   // px, each diagonal
constexpr TextOffset atShadowCopies[] = {{SHADOW_OFFSET, SHADOW_OFFSET}};
constexpr TextOffset atBoldCopies[] = {{-BOLD_OFFSET, -BOLD_OFFSET},
                                       {-BOLD_OFFSET, BOLD_OFFSET},
                                       {BOLD_OFFSET, -BOLD_OFFSET},
                                       {BOLD_OFFSET, BOLD_OFFSET}};

// One of the text layer's printf forms.
using TextPrinter = void (*)(BITMAP *, TFONT_FONT *, int, int, int, const char *, ...);

template <size_t N>
void print_with_copies(TextPrinter pfnPrint, const TextOffset (&atCopies)[N], BITMAP *bmp,
                       TFONT_FONT *ptFont, int iX, int iY, int iColor, const char *pszText)
{
    const int iBlack = makecol(0, 0, 0);
    for (const TextOffset &tCopy : atCopies)
        pfnPrint(bmp, ptFont, iX + tCopy.iDX, iY + tCopy.iDY, iBlack, "%s", pszText);
    pfnPrint(bmp, ptFont, iX, iY, iColor, "%s", pszText);
}

// The volume slider's scale, colours and label.
constexpr int SLIDER_SCALE = 255;     // iChange at the right end of the track
constexpr int SLIDER_PERCENT = 100;   // the label's full scale
// The knob's columns, in px left of the knob position k: the light outer ones
// as tall as iBar above and below the track, the centre ones a pixel taller.
constexpr int aiKnobOuterColumns[] = {4, 1};
constexpr int aiKnobCentreColumns[] = {3, 2};
constexpr int LABEL_SHADOW_DX = 16, LABEL_SHADOW_DY = -19; // px from (iX2, iY)
constexpr int LABEL_DX = 15, LABEL_DY = -20;               // px from (iX2, iY)
constexpr int SLIDER_LABEL_SIZE = 16; // bytes, enough for "-2147483648%"
} // namespace

void set_fatal_handler(FatalHandler pfnHandler) { g_pfnFatalHandler = pfnHandler; }

void error_message(const char *pszText) { error_message_detail(pszText, ""); }

void error_message_detail(const char *pszText, const char *pszDetail)
{
    if (g_bFatalInProgress)
        exit(FATAL_EXIT_STATUS);
    if (g_pfnFatalHandler)
        g_pfnFatalHandler(pszText);
    g_bFatalInProgress = true;
    console_message(pszText, pszDetail); // a copy for the console and the logs
    if (system_driver) { // the graphics library may not be up yet
        set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
        allegro_message("%s", pszText); // shown literally, never as a format
    }
    libraries_exit();
    exit(FATAL_EXIT_STATUS);
}

void console_message(const char *pszText, const char *pszDetail)
{
    if (pszDetail && pszDetail[0])
        fprintf(stderr, "Tarvelix: %s (%s)\n", pszText, pszDetail);
    else
        fprintf(stderr, "Tarvelix: %s\n", pszText);
}

void notification_message(const char *pszText) { error_message(pszText); }

void draw_sprite_centre(BITMAP *bmpPicture, BITMAP *bmpSprite, int iX, int iY)
{
    draw_sprite(bmpPicture, bmpSprite, iX - bmpSprite->w / 2, iY - bmpSprite->h / 2);
}

void stretch_sprite_centre(BITMAP *bmpPicture, BITMAP *bmpSprite, int iX, int iY, int iWidth,
                           int iHeight)
{
    stretch_sprite(bmpPicture, bmpSprite, iX - iWidth / 2, iY - iHeight / 2, iWidth, iHeight);
}

int rgb_color(int iRgb)
{
    return makecol((iRgb >> 16) & BYTE_MASK, (iRgb >> 8) & BYTE_MASK, iRgb & BYTE_MASK);
}

int change_color24(int iColor)
{
    if (get_color_depth() == 24)
        return iColor;
    return makecol((iColor >> _rgb_r_shift_24) & BYTE_MASK, (iColor >> _rgb_g_shift_24) & BYTE_MASK,
                   (iColor >> _rgb_b_shift_24) & BYTE_MASK);
}

void textprintf_shadow(BITMAP *bmpBackground, TFONT_FONT *ptFont, int iX, int iY, int iColor,
                       const char *pszText)
{
    print_with_copies(tfont_textprintf_aa, atShadowCopies, bmpBackground, ptFont, iX, iY, iColor,
                      pszText);
}

void textprintf_centre_shadow(BITMAP *bmpBackground, TFONT_FONT *ptFont, int iX, int iY,
                              int iColor, const char *pszText)
{
    print_with_copies(tfont_textprintf_centre_aa, atShadowCopies, bmpBackground, ptFont, iX, iY,
                      iColor, pszText);
}

void textprintf_right_shadow(BITMAP *bmpBackground, TFONT_FONT *ptFont, int iX, int iY,
                             int iColor, const char *pszText)
{
    print_with_copies(tfont_textprintf_right_aa, atShadowCopies, bmpBackground, ptFont, iX, iY,
                      iColor, pszText);
}

void textprintf_bold(BITMAP *bmpBackground, TFONT_FONT *ptFont, int iX, int iY, int iColor,
                     const char *pszText)
{
    print_with_copies(tfont_textprintf_aa, atBoldCopies, bmpBackground, ptFont, iX, iY, iColor,
                      pszText);
}

void textprintf_centre_bold(BITMAP *bmpBackground, TFONT_FONT *ptFont, int iX, int iY, int iColor,
                            const char *pszText)
{
    print_with_copies(tfont_textprintf_centre_aa, atBoldCopies, bmpBackground, ptFont, iX, iY,
                      iColor, pszText);
}

void textprintf_right_bold_aa(BITMAP *bmpBackground, TFONT_FONT *ptFont, int iX, int iY,
                              int iColor, const char *pszText)
{
    print_with_copies(tfont_textprintf_right_aa, atBoldCopies, bmpBackground, ptFont, iX, iY,
                      iColor, pszText);
}

void textprintf_bold_no_aa(BITMAP *bmpBackground, TFONT_FONT *ptFont, int iX, int iY, int iColor,
                           const char *pszText)
{
    print_with_copies(tfont_textprintf, atBoldCopies, bmpBackground, ptFont, iX, iY, iColor,
                      pszText);
}

void textprintf_centre_bold_no_aa(BITMAP *bmpBackground, TFONT_FONT *ptFont, int iX, int iY,
                                  int iColor, const char *pszText)
{
    print_with_copies(tfont_textprintf_centre, atBoldCopies, bmpBackground, ptFont, iX, iY, iColor,
                      pszText);
}

void slide_bar(BITMAP *pBuffer, TFONT_FONT *pfont, int iX1, int iX2, int iY, int iBar, int iColor,
               int iChange, int iStatus)
{
    if (iStatus == 0)
        iColor = makecol(46, 244, 244);
    const int w = iX2 - iX1;
    const int k = iX1 + w * iChange / SLIDER_SCALE;

    hline(pBuffer, iX1, iY, iX2, iColor);
    hline(pBuffer, iX1, iY + 2, iX2, iColor);
    hline(pBuffer, iX1 - 1, iY + 1, iX2 + 1, iColor);

    const int iKnobEdge = makecol(158, 251, 253);
    for (int iColumn : aiKnobOuterColumns)
        vline(pBuffer, k - iColumn, iY - iBar, iY + iBar, iKnobEdge);
    for (int iColumn : aiKnobCentreColumns)
        vline(pBuffer, k - iColumn, iY - iBar - 1, iY + iBar + 1, iColor);

    // A track of no length has no knob travel to measure: the label follows iChange.
    const int p = w != 0 ? (k - iX1) * SLIDER_PERCENT / w : iChange * SLIDER_PERCENT / SLIDER_SCALE;
    char szLabel[SLIDER_LABEL_SIZE];
    if (p != 0)
        snprintf(szLabel, sizeof(szLabel), "%d%%", p);
    else
        snprintf(szLabel, sizeof(szLabel), "%s", "MUTE");
    tfont_textprintf_aa(pBuffer, pfont, iX2 + LABEL_SHADOW_DX, iY + LABEL_SHADOW_DY,
                        makecol(0, 0, 0), "%s", szLabel);
    tfont_textprintf_aa(pBuffer, pfont, iX2 + LABEL_DX, iY + LABEL_DY, makecol(255, 255, 255),
                        "%s", szLabel);
}
