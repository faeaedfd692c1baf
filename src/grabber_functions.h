// The resource loaders: each fetches one object by name from a password-protected
// datafile, turns it into the form the game uses, and releases the object at once.
// A resource that cannot be loaded ends the program with
// "Error al cargar <object> desde <datafile>"; no loader gives a null result,
// except load_sample_from_dat while sound is switched off.
#pragma once

struct BITMAP;
struct RLE_SPRITE;
struct _TFONT_FONT;
typedef struct _TFONT_FONT TFONT_FONT;
struct _stXMLParser;
typedef struct _stXMLParser stXMLParser;
struct _stMixSound;
typedef struct _stMixSound stMixSound;

// The object's bytes as a TrueType font, iHeight pixels high.
TFONT_FONT *load_font_from_dat(const char *pszObject, const char *pszFile, int iHeight);
// A new bitmap in the current colour depth holding the whole object bitmap.
BITMAP *load_bmp_from_dat(const char *pszObject, const char *pszFile);
// The object bitmap as a run-length sprite (its mask colour transparent), in the
// current colour depth.
RLE_SPRITE *load_rle_from_dat(const char *pszObject, const char *pszFile);
// A copy of the object's bytes followed by a zero byte; *piSize is the object
// size + 1. Free it with safe_free.
char *load_txt_from_dat(const char *pszObject, const char *pszFile, int *piSize);
// A sound decoded from the object's bytes, looping when bLoop is set; null once
// sound is off.
stMixSound *load_sample_from_dat(const char *pszObject, const char *pszFile, int bLoop);
// Loads the object's text into ptParser (not parsed yet); *piSize is the object
// size + 1.
void load_xml_from_dat(stXMLParser *ptParser, const char *pszObject, const char *pszFile,
                       int *piSize);
// Parses the object's document, the cursor on its root. The caller destroys
// the parser.
stXMLParser *open_xml_document(const char *pszObject, const char *pszFile);
// Parses the object's document and walks to the iIndex-th (from 0) pszEntry
// under the root element pszRoot, then into that entry's pszChild: the game's
// documents list their levels and characters in order. The caller destroys
// the parser.
stXMLParser *open_xml_entry(const char *pszObject, const char *pszFile, const char *pszRoot,
                            const char *pszEntry, int iIndex, const char *pszChild);
