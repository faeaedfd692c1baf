// Small helpers shared by every screen: the fatal message, centred sprites,
// colour conversion and the volume slider.
#pragma once

struct BITMAP;
typedef struct _TFONT_FONT TFONT_FONT;

// The game's only fatal path: back to text mode, the text shown literally in a
// message box, the shutdown sequence, exit status 255. Never returns.
[[noreturn]] void error_message(const char *pszText);
[[noreturn]] void notification_message(const char *pszText);
// As error_message; the console copy adds pszDetail (in parentheses) when it
// is not empty, for what a player need not read but a bug report should hold.
[[noreturn]] void error_message_detail(const char *pszText, const char *pszDetail);
// A handler the fatal path calls first, before the console copy and before
// anything is shut down: one that does not return (a fuzzing harness throws)
// takes the failure back to its caller. Null, the default, ends the program.
using FatalHandler = void (*)(const char *pszText);
void set_fatal_handler(FatalHandler pfnHandler);
// One line on the error output, "Tarvelix: text (detail)", the detail left out
// when null or empty: how every module reports to the console.
void console_message(const char *pszText, const char *pszDetail);

// Sprite drawn with its centre at (iX, iY).
void draw_sprite_centre(BITMAP *bmpPicture, BITMAP *bmpSprite, int iX, int iY);
void stretch_sprite_centre(BITMAP *bmpPicture, BITMAP *bmpSprite, int iX, int iY, int iWidth,
                           int iHeight);
inline int odd(int x) { return x & 1; }

// A colour packed in the 24-bit layout, converted to the current colour depth.
int change_color24(int iColor);
// A colour written 0xRRGGBB as a pixel of the current colour depth.
int rgb_color(int iRgb);

// Text over the TrueType layer, always printed literally (a "%" stays a "%").
// The black copies are drawn first, the text last, in iColor, at (iX, iY).
// Shadow: one black copy at (iX + 3, iY + 3). Bold: four black copies at
// (iX -/+ 4, iY -/+ 4). The plain forms are left-aligned, _centre_ centred on iX,
// _right_ ending at iX; _no_aa forms draw two-level text.
void textprintf_shadow(BITMAP *bmpBackground, TFONT_FONT *ptFont, int iX, int iY, int iColor,
                       const char *pszText);
void textprintf_centre_shadow(BITMAP *bmpBackground, TFONT_FONT *ptFont, int iX, int iY,
                              int iColor, const char *pszText);
void textprintf_right_shadow(BITMAP *bmpBackground, TFONT_FONT *ptFont, int iX, int iY,
                             int iColor, const char *pszText);
void textprintf_bold(BITMAP *bmpBackground, TFONT_FONT *ptFont, int iX, int iY, int iColor,
                     const char *pszText);
void textprintf_centre_bold(BITMAP *bmpBackground, TFONT_FONT *ptFont, int iX, int iY, int iColor,
                            const char *pszText);
void textprintf_right_bold_aa(BITMAP *bmpBackground, TFONT_FONT *ptFont, int iX, int iY,
                              int iColor, const char *pszText);
void textprintf_bold_no_aa(BITMAP *bmpBackground, TFONT_FONT *ptFont, int iX, int iY, int iColor,
                           const char *pszText);
void textprintf_centre_bold_no_aa(BITMAP *bmpBackground, TFONT_FONT *ptFont, int iX, int iY,
                                  int iColor, const char *pszText);

// The volume slider: a track from iX1 to iX2 at iY, a knob iBar pixels above
// and below it at iChange (0 to 255) along the track, and its percentage
// ("MUTE" at 0) right of the track in pfont. iStatus 0 draws it highlighted.
void slide_bar(BITMAP *pBuffer, TFONT_FONT *pfont, int iX1, int iX2, int iY, int iBar, int iColor,
               int iChange, int iStatus);
