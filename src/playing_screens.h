// The short presentations around a match, drawn over the match picture in the
// back buffer: the versus presentation, the ready-go count, the announcement
// after a point (a label chosen by the score, then the score in large digits)
// and the results.
#pragma once
#include "labels.h"

struct _stPlayer;
typedef struct _TFONT_FONT TFONT_FONT;

constexpr int NAME_LINE_SIZE = LANGUAGE_TEXT_SIZE; // bytes of each name line, with its zero

// The versus presentation: both characters slide in and out around the bar.
void player_versus(struct _stPlayer *ptPlayer1, struct _stPlayer *ptPlayer2);
// The ready-go count, with its flashes and sounds.
void print_init_match();
// The score's announcement into the back buffer, if one is written for it.
void print_score_label(int iScoreP1, int iScoreP2, TFONT_FONT *ptFont, int iPlayingMode);
// The score, first as it was before the point, then as it is now.
void print_score(int iScore1, int iScore2, int iExitPlace);
// The results: winner and loser, their names and the verdict.
void player_results(struct _stPlayer *ptPlayer1, struct _stPlayer *ptPlayer2, int iPlayerMode, int iWin,
                    int iPlayMod);

// A name on two lines: "Alter" and the rest after its first space, or an
// empty first line and the whole name.
void name_lines(const char *pszName, char szUpper[NAME_LINE_SIZE], char szLower[NAME_LINE_SIZE]);
// The score label for a score: among the first 11 in a tournament (playing
// mode 0), the first 9 otherwise; -1 when none is written for it.
int score_label_index(int iScoreP1, int iScoreP2, int iPlayingMode);
// The score before the point that made iScore1 to iScore2: the scorer's
// count (player one's when iExitPlace is 1) less one.
void score_before_point(int iScore1, int iScore2, int iExitPlace, int *piBefore1, int *piBefore2);
// The verdict label for a game mode and winner.
int verdict_label(int iGameMode, int iWinner);
