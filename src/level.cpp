// Level collision texts: no state beyond one reading. The record returned never
// holds more than MAX_LEVEL_CIRCLES circles and MAX_LEVEL_SEGMENTS segments,
// and a text is copied only when it fits the working buffer whole.
#include "level.h"
#include "memory.h"
#include "utils.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {
constexpr char LEVEL_MAGIC[] = "Tarvelix-level";
constexpr char VERSION_TEXT[] = "1.0"; // newest version of the text this game reads
constexpr char FIELD[] = ";";         // ends every field but the last of a line
constexpr char LINE_END[] = "\n";
constexpr char BAD_HEADER[] = "El texto de colisiones %s tiene un encabezado incorrecto";
constexpr char NEWER_VERSION[] = "El texto de colisiones %s es de una versión más nueva que este juego: "
                                 "actualice el juego o vuelva a crear el texto";
constexpr int MESSAGE_SIZE = 512; // bytes: a format and the text's name
constexpr int IGNORED_FIELDS = 2;     // fields between a figure's type and its numbers

// The text being read: runs of delimiters count as one, as with strtok.
struct stTokenizer {
    char *pszNext; // first byte not yet read, or null once the text is used up
};
stTokenizer tTokens;

// The next token up to any of the delimiters, or null when none is left.
char *get_string(const char *pszDelimiters)
{
    char *p = tTokens.pszNext;
    if (!p)
        return nullptr;
    p += strspn(p, pszDelimiters);
    if (*p == '\0') {
        tTokens.pszNext = nullptr;
        return nullptr;
    }
    char *pszEnd = p + strcspn(p, pszDelimiters);
    if (*pszEnd == '\0') {
        tTokens.pszNext = nullptr;
    } else {
        *pszEnd = '\0';
        tTokens.pszNext = pszEnd + 1;
    }
    return p;
}

// Ends the program with the message, the text's name in its place.
[[noreturn]] void refuse_text(const char *pszFormat, const char *pszName)
{
    char szMessage[MESSAGE_SIZE];
    snprintf(szMessage, sizeof(szMessage), pszFormat, pszName);
    notification_message(szMessage);
}

// atoi of the next token; a missing number reads as 0.
int get_int(const char *pszDelimiters)
{
    const char *pszToken = get_string(pszDelimiters);
    return pszToken ? atoi(pszToken) : 0;
}
} // namespace

stLevelBounds *collision_to_level(const char *pszLevel, const char *pszName)
{
    const size_t iLength = strnlen(pszLevel, LEVEL_TEXT_SIZE);
    if (iLength >= static_cast<size_t>(LEVEL_TEXT_SIZE))
        refuse_text(BAD_HEADER, pszName); // it cannot be the start of a text we wrote
    // The working copy is released on every way out, the fatal ones included.
    std::string sBuffer(pszLevel, iLength);
    tTokens.pszNext = sBuffer.data();

    const char *pszMagic = get_string(FIELD);
    if (!pszMagic || strcmp(pszMagic, LEVEL_MAGIC) != 0)
        refuse_text(BAD_HEADER, pszName);
    const char *pszVersion = get_string(FIELD);
    const float fVersion = static_cast<float>(atof(pszVersion ? pszVersion : ""));
    if (fVersion > static_cast<float>(atof(VERSION_TEXT)))
        refuse_text(NEWER_VERSION, pszName);
    const int iCount = get_int(LINE_END);
    get_string(LINE_END); // the free second line

    stLevelBounds *ptLevel = static_cast<stLevelBounds *>(safe_malloc(sizeof(stLevelBounds)));
    int iCircles = 0, iSegments = 0;
    for (int i = 0; i < iCount; i++) {
        const char *pszType = get_string(FIELD);
        if (!pszType)
            break; // the text ended before its count did
        for (int k = 0; k < IGNORED_FIELDS; k++)
            get_string(FIELD);
        if (strcmp(pszType, "Line") == 0) {
            const float x1 = static_cast<float>(get_int(FIELD));
            const float y1 = static_cast<float>(get_int(FIELD));
            const float x2 = static_cast<float>(get_int(FIELD));
            const float y2 = static_cast<float>(get_int(LINE_END));
            if (iSegments < MAX_LEVEL_SEGMENTS)
                ptLevel->vtSegment[iSegments++] = {{x1, y1}, {x2, y2}};
        } else if (strcmp(pszType, "Circle") == 0) {
            const float cx = static_cast<float>(get_int(FIELD));
            const float cy = static_cast<float>(get_int(FIELD));
            const float r = static_cast<float>(get_int(LINE_END));
            if (iCircles < MAX_LEVEL_CIRCLES)
                ptLevel->vtCircle[iCircles++] = {r, {cx, cy}};
        }
    }
    ptLevel->iNumCircles = iCircles;
    ptLevel->iNumSegments = iSegments;
    tTokens.pszNext = nullptr;
    return ptLevel;
}
