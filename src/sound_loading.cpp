// The sound catalogue: owns the six groups read from "SONIDOS" and the effect
// arrays loaded from them. Every entry is either null or a sound this module
// loaded and has not yet destroyed; group names past the document's are "".
#include "sound_loading.h"
#include "grabber_functions.h"
#include "sound.h"
#include "stXMLParser.h"

#include <cstdio>
#include <cstring>

stGroupSounds tSndSong, tSndEffects, tSndMenu, tSndPaddle, tSndBall, tSndSpecial;

stMixSound *sndMenuSound[NUM_MENU_SOUNDS];
stMixSound *sndPaddleSound[NUM_PADDLE_SOUNDS];
stMixSound *sndBallSound[NUM_BALL_SOUNDS];
stMixSound *sndEffectsSound[NUM_EFFECT_SOUNDS];
stMixSound *sndSpecialSound[NUM_SPECIAL_SOUNDS];

namespace {
constexpr char SOUND_DOCUMENT[] = "SONIDOS";
constexpr char SOUND_DATAFILE[] = "data/tx15.dat";
constexpr int ATTRIBUTE_NAME_SIZE = 16; // bytes: "sound" and a number

// A group of the document: its element and where its names go.
struct stGroupElement {
    const char *pszElement; // name of the group element under "Sound"
    stGroupSounds *ptGroup;
};

// In the order the document is read.
const stGroupElement atGroupElements[] = {
    {"songs", &tSndSong},   {"effects", &tSndEffects}, {"menu", &tSndMenu},
    {"paddle", &tSndPaddle}, {"ball", &tSndBall},       {"special", &tSndSpecial},
};

// An effect array and the group its names come from.
struct stEffectArray {
    stMixSound **psndSounds; // the array
    int iCount;              // its entries, from its enumeration
    const stGroupSounds *ptGroup;
};

// In the order of loading and of release.
const stEffectArray atEffectArrays[] = {
    {sndMenuSound, NUM_MENU_SOUNDS, &tSndMenu},
    {sndPaddleSound, NUM_PADDLE_SOUNDS, &tSndPaddle},
    {sndBallSound, NUM_BALL_SOUNDS, &tSndBall},
    {sndEffectsSound, NUM_EFFECT_SOUNDS, &tSndEffects},
    {sndSpecialSound, NUM_SPECIAL_SOUNDS, &tSndSpecial},
};
static_assert(NUM_MENU_SOUNDS <= GROUP_MAX_SOUNDS && NUM_PADDLE_SOUNDS <= GROUP_MAX_SOUNDS &&
                  NUM_BALL_SOUNDS <= GROUP_MAX_SOUNDS && NUM_EFFECT_SOUNDS <= GROUP_MAX_SOUNDS &&
                  NUM_SPECIAL_SOUNDS <= GROUP_MAX_SOUNDS && NUM_SONGS <= GROUP_MAX_SOUNDS,
              "a group's names must fit its array");

// Truncating, always terminated copy into one of the group's buffers.
void copy_name(char (&szTarget)[SOUND_NAME_SIZE], const char *pszSource)
{
    snprintf(szTarget, sizeof(szTarget), "%s", pszSource);
}

void read_group(stXMLParser *ptParser, const stGroupElement &tElement)
{
    stGroupSounds *ptGroup = tElement.ptGroup;
    memset(ptGroup, 0, sizeof(*ptGroup));
    xmlparser_gotoRoot(ptParser);
    xmlparser_findElement(ptParser, "Sound");
    xmlparser_findElement(ptParser, tElement.pszElement);
    copy_name(ptGroup->szFile, xmlparser_getAttributeVal_asString(ptParser, "archivo"));
    int iNumSounds = xmlparser_getAttributeVal_asInteger(ptParser, "num_sounds");
    // szName holds GROUP_MAX_SOUNDS names: any beyond them are not read.
    if (iNumSounds > GROUP_MAX_SOUNDS)
        iNumSounds = GROUP_MAX_SOUNDS;
    xmlparser_findElement(ptParser, "sonidos");
    for (int i = 0; i < iNumSounds; i++) {
        char szAttribute[ATTRIBUTE_NAME_SIZE];
        snprintf(szAttribute, sizeof(szAttribute), "sound%d", i);
        copy_name(ptGroup->szName[i], xmlparser_getAttributeVal_asString(ptParser, szAttribute));
    }
}
} // namespace

void init_sound_loading()
{
    stXMLParser *ptParser = xmlparser_create();
    int iSize = 0;
    load_xml_from_dat(ptParser, SOUND_DOCUMENT, SOUND_DATAFILE, &iSize);
    xmlparser_parserFile(ptParser);
    for (const stGroupElement &tElement : atGroupElements)
        read_group(ptParser, tElement);
    xmlparser_destroy(ptParser);
}

void load_effects()
{
    for (const stEffectArray &tArray : atEffectArrays) {
        for (int i = 0; i < tArray.iCount; i++) {
            if (bSoundError) // once sound is off the remaining entries stay empty
                return;
            tArray.psndSounds[i] =
                load_sample_from_dat(tArray.ptGroup->szName[i], tArray.ptGroup->szFile, 0);
        }
    }
}

void destroy_effects()
{
    for (const stEffectArray &tArray : atEffectArrays) {
        for (int i = 0; i < tArray.iCount; i++) {
            if (tArray.psndSounds[i])
                destroy_sound(tArray.psndSounds[i]);
            tArray.psndSounds[i] = nullptr;
        }
    }
}
