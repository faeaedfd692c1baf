// The intro: the studio's logo, and one game ball sent across it that bounces
// off the logo's round spot and leaves a trail of sparks.
#pragma once

// What the keys held down at the intro's moment choose.
typedef struct _stIntroKeys {
    int bFire;    // the intro ball burns
    int bShadows; // the intro ball trails shadows
    int iLevel;   // the level index whose stage decides the sparks
} stIntroKeys;

// The choice of the keys held down in akHeld (indexed by scancode), the first
// match winning in the order F, S, N, 0, 1, 3, 4, 5, 6, 7; iLevel is kept when
// none of them is held.
stIntroKeys intro_keys(const volatile char *akHeld, int iLevel);
// Runs the intro once; the level index chosen stays in g_iLevel.
void intro();
