// Level collision texts: the obstacles of a stage, written as a header line
// ("Tarvelix-level;VERSION;COUNT"), one free line, then one "Line" or "Circle"
// figure per line, turned into a new stLevelBounds.
#pragma once
#include "collision.h"

constexpr int LEVEL_TEXT_SIZE = 10240; // bytes of the working copy: a text must be shorter

// A new record with the text's circles and segments in the order of their
// lines; free it with safe_free. A wrong header, a text of LEVEL_TEXT_SIZE
// bytes or more, or a newer version ends the program with a message naming
// the text as pszName. Beyond the record's capacity of each kind, further
// figures of that kind are ignored.
stLevelBounds *collision_to_level(const char *pszLevel, const char *pszName);
