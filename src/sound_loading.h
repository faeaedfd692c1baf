// The sound catalogue: the document "SONIDOS" names, per group, the datafile of
// its sounds and their object names (for the songs, the paths of the music
// files); the effects are loaded once at start-up into fixed arrays indexed by
// the enumerations below, for play_sound.
#pragma once
#include "sound_mixer.h"

constexpr int GROUP_MAX_SOUNDS = 10;  // names a group can hold
constexpr int SOUND_NAME_SIZE = 256;  // bytes of a path or object name, with its zero

typedef struct _stGroupSounds {
    char szFile[SOUND_NAME_SIZE];                    // datafile path of the group's sounds
    char szName[GROUP_MAX_SOUNDS][SOUND_NAME_SIZE];  // object names in index order; "" when unnamed
} stGroupSounds;

typedef enum _enMenuSounds {
    SOUND_MENU_SELECT = 0,
    SOUND_MENU_MOVE,
    SOUND_MENU_RETURN,
    SOUND_MENU_LIGHTBULB,
    NUM_MENU_SOUNDS
} enMenuSounds;

typedef enum _enPaddleSounds {
    SOUND_PADDLE_CATCH = 0,
    SOUND_PADDLE_SHOOT,
    SOUND_PADDLE_BREAK,
    NUM_PADDLE_SOUNDS
} enPaddleSounds;

typedef enum _enBallSounds { SOUND_BALL_HIT = 0, SOUND_BALL_HIT_METAL, NUM_BALL_SOUNDS } enBallSounds;

typedef enum _enFXSounds {
    SOUND_EFFECT_SCORE = 0,
    SOUND_EFFECT_WIN,
    SOUND_EFFECT_LOOSE,
    SOUND_EFFECT_BAR_FILLING,
    SOUND_EFFECT_BAR_EMPTYING,
    SOUND_EFFECT_POWERUP,
    SOUND_EFFECT_READY,
    SOUND_EFFECT_GO,
    NUM_EFFECT_SOUNDS
} enFXSounds;

typedef enum _enSpecialSounds {
    SOUND_SPECIAL_THUNDER = 0,
    SOUND_SPECIAL_GROW,
    SOUND_SPECIAL_DESTROY,
    NUM_SPECIAL_SOUNDS
} enSpecialSounds;

// Indices into tSndSong.szName: paths of music files (index 1 is unnamed).
typedef enum _enSongs { INTRO_SONG = 0, ENDING_SONG = 2, NUM_SONGS = 3 } enSongs;

// The groups as the document gives them.
extern stGroupSounds tSndSong, tSndEffects, tSndMenu, tSndPaddle, tSndBall, tSndSpecial;

// The loaded effects; an entry stays null when sound was off before its load.
extern stMixSound *sndMenuSound[NUM_MENU_SOUNDS];
extern stMixSound *sndPaddleSound[NUM_PADDLE_SOUNDS];
extern stMixSound *sndBallSound[NUM_BALL_SOUNDS];
extern stMixSound *sndEffectsSound[NUM_EFFECT_SOUNDS];
extern stMixSound *sndSpecialSound[NUM_SPECIAL_SOUNDS];

// Reads "SONIDOS" from data/tx15.dat into the six groups. A group naming more
// than GROUP_MAX_SOUNDS sounds keeps the first GROUP_MAX_SOUNDS.
void init_sound_loading();
// Loads every effect array (menu, paddle, ball, effects, special), stopping as
// soon as sound is off.
void load_effects();
// Releases every loaded effect, in the order menu, paddle, ball, effects, special.
void destroy_effects();
