// Labels: the positioned, coloured texts of the current language (with a
// blinking cursor), two labels of every language for the language option,
// and the score announcements.
#pragma once
#include "language_conf.h"

constexpr int NUM_LABELS = 29;                         // labels of a language
constexpr int LABELS_PER_LANGUAGE = 2;                 // partial labels kept per language
constexpr int FIRST_PARCIAL_LABEL = 14;                // the first of them in each document
constexpr int NUM_PARCIAL_LABELS = MAX_LANGUAGES * LABELS_PER_LANGUAGE;
constexpr int NUM_SCORE_LABELS = 11;                   // score announcements of a language

typedef struct _stLabel {
    char szText[LANGUAGE_TEXT_SIZE];
    int iX;     // screen position, px
    int iY;
    int iColor; // pixel colour
    int iSize;  // font height, px
} stLabel;

typedef struct _stCursor {
    char cActive;   // the glyph in its two phases
    char cInactive;
    int fTimeOff;   // clock ticks of each phase
    int fTimeOn;
    int iX;         // px
    int iY;
    int iColor;
    int iSize;      // px
} stCursor;

typedef struct _stScoresLabel {
    char szText[LANGUAGE_TEXT_SIZE];
    int iScoreP1;   // the score pair the announcement is for
    int iScoreP2;
    int iX;         // px
    int iY;
    int iColor;
    int iSize;      // px
} stScoresLabel;

extern stLabel *g_ptLabel[NUM_LABELS];                 // by index, owned; a missing one is null
extern stLabel *g_ptParcialLabel[NUM_PARCIAL_LABELS];  // language i's at 2i and 2i + 1, owned
extern stCursor *g_ptCursor;                           // owned, or null
extern stScoresLabel *g_ptScoresLabel[NUM_SCORE_LABELS]; // owned; a missing one is null

void load_labels();
void load_parcial_labels();
void load_score_labels();
void destroy_all_labels();      // the labels and the cursor
void destroy_parcial_labels();  // the partial labels of every listed language
void destroy_all_score_labels();

stLabel *label_create();
void label_destroy(stLabel *ptLabel);
stCursor *cursor_create();
void cursor_destroy(stCursor *ptCursor);
stScoresLabel *score_label_create();
void score_label_destroy(stScoresLabel *ptLabel);
