// Small helpers shared by every screen: the fatal message, centred sprites,
// colour conversion and the volume slider.
#pragma once

struct BITMAP;

// The game's only fatal path: back to text mode, the text shown literally in a
// message box, the shutdown sequence, exit status 255. Never returns.
[[noreturn]] void error_message(const char *pszText);
[[noreturn]] void notification_message(const char *pszText);

// Sprite drawn with its centre at (iX, iY).
void draw_sprite_centre(BITMAP *bmpPicture, BITMAP *bmpSprite, int iX, int iY);
void stretch_sprite_centre(BITMAP *bmpPicture, BITMAP *bmpSprite, int iX, int iY, int iWidth,
                           int iHeight);
inline int odd(int x) { return x & 1; }

// A colour packed in the 24-bit layout, converted to the current colour depth.
int change_color24(int iColor);
