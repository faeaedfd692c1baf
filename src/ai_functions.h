// Reactive controllers of a computer side: each frame one plain function looks
// at the ball and writes the side's paddle speed and position. Which one a side
// uses, how far and how clearly it sees and how fast its paddle moves come from
// the "ai" record of a level index in "NIVEL".
#pragma once
#include <cstddef>
#include <cstring>

struct _stPlayer;
struct _stBall;
struct _stXMLParser;

constexpr int AI_TYPE_SIZE = 40; // bytes of a controller or behaviour name, with its zero

// A controller or personality behaviour: (the side, the ball, the frame time in s).
typedef void (*AIFunction)(struct _stPlayer *ptEnemy, struct _stBall *ptBall, float fDT);

// A behaviour the data names, for tables of names and functions.
typedef struct _stNamedAI {
    const char *pszName;
    AIFunction pFunction;
} stNamedAI;

// The function named pszType in the table, or pDefault when none is.
template <std::size_t N>
AIFunction find_ai_function(const stNamedAI (&atNamed)[N], const char *pszType, AIFunction pDefault)
{
    for (const stNamedAI &tNamed : atNamed)
        if (strcmp(pszType, tNamed.pszName) == 0)
            return tNamed.pFunction;
    return pDefault;
}

typedef struct _stReactiveAI {
    char szType[AI_TYPE_SIZE]; // controller name ("stupid_ai" until read)
    int iVisionSensorFar;      // far sight radius, px
    float fVisionSensorFar_2;  // its square, px^2
    int iVisionSensorNear;     // near sight radius, px
    float fVisionSensorNear_2; // its square, px^2
    int iVisionPercentFar;     // how clearly the ball is seen at the far radius, %
    int iVisionPercentNear;    // how clearly it is seen inside the near radius: 100 %
    float fMaxVY;              // paddle speed limit, px/s
    float fDampVY;             // paddle damping factor
    float fDeltaVY;            // paddle speed change per steering step, px/s
    float fSwingVY;            // erratic_follow_ai: size of its swing speed, px/s
    AIFunction pAIFunction;    // the controller run every frame
} stReactiveAI;

// A new controller read from the record of level index iLevel (3 * stage + level).
stReactiveAI *init_reactive_ai(int iLevel);
// The defaults: "stupid_ai", blind, no speeds; the function is left unset.
void init_reactive_ai_struct(stReactiveAI *ptReactiveAI);
void destroy_reactive_ai(stReactiveAI *ptReactiveAI);
// The controller named szType (random_ai for an unknown name).
AIFunction reactive_ai_function(const char *pszType);
// The "ai" element of level index iLevel in "NIVEL", for the caller to read
// and destroy.
struct _stXMLParser *open_ai_record(int iLevel);

// The controllers, from the one that does nothing to the one that predicts.
void very_stupid_ai(struct _stPlayer *ptEnemy, struct _stBall *ptBall, float fDT);
void stupid_ai(struct _stPlayer *ptEnemy, struct _stBall *ptBall, float fDT);
void random_ai(struct _stPlayer *ptEnemy, struct _stBall *ptBall, float fDT);
void follow_ai(struct _stPlayer *ptEnemy, struct _stBall *ptBall, float fDT);
void erratic_follow_ai(struct _stPlayer *ptEnemy, struct _stBall *ptBall, float fDT);
void predict_ai(struct _stPlayer *ptEnemy, struct _stBall *ptBall, float fDT);
