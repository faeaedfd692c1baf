// Timed fades of a picture on the screen between a colour and the picture.
#pragma once

struct BITMAP;

// iTotalTime in ms (0 or less: only the final picture); iColour in the current depth.
void fade_from_color(BITMAP *bmpOriginal, int iTotalTime, int iX, int iY, int iColour);
void fade_to_color(BITMAP *bmpOriginal, int iTotalTime, int iX, int iY, int iColour);
