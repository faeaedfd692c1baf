// Timed fades of a picture on the screen between a colour and the picture, and
// of a channel slot's music between silence and the music volume; and the waits
// of the still screens, which keep the music playing.
#pragma once

struct BITMAP;

// iTotalTime in ms (0 or less: only the final picture); iColour in the current depth.
void fade_from_color(BITMAP *bmpOriginal, int iTotalTime, int iX, int iY, int iColour);
void fade_to_color(BITMAP *bmpOriginal, int iTotalTime, int iX, int iY, int iColour);

// iChannel is a channel slot (enChannels); the volume goes from 0 up to the music
// volume (in) or down to 0 (out); the channel is neither paused nor stopped.
void fade_music_in(int iChannel, int iTotalTime);
void fade_music_out(int iChannel, int iTotalTime);
// A picture fade with the slot's music fading alongside: in from the colour, out to it.
void fade_media_in(BITMAP *bmpOriginal, int iTotalTime, int iX, int iY, int iColour, int iChannel);
void fade_media_out(BITMAP *bmpOriginal, int iTotalTime, int iX, int iY, int iColour, int iChannel);
// Waits iTime ms keeping the music fed; with bKeyEnds a key press ends the
// wait early (keys pressed before are discarded).
void wait_with_music(int iTime, bool bKeyEnds);
// Waits, keeping the music fed, until the player answers: a key, a mouse
// button or a joystick button (one held on entry must be let go first), so
// that a player with only a pad or a mouse is never held.
void wait_answer_with_music();
