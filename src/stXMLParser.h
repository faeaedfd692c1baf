// The handle every module reads its configuration through: load a document, parse
// it, move a cursor over its elements and read the cursor's attributes.
// Order of use: create, load, xmlparser_parserFile, xmlparser_gotoRoot, then
// findElement and the typed reads (gotoRoot again before each group), destroy.
#pragma once
#include <cstddef>
#include <cstdio>

struct _stXMLParser_impl;

typedef struct _stXMLParser {
    struct _stXMLParser_impl *_pImpl; // owned
} stXMLParser;

// A new handle with nothing loaded.
stXMLParser *xmlparser_create();
// 0 loaded, 1 the file cannot be opened; a file that does not exist ends the
// program with exit code 1.
int xmlparser_loadFile(stXMLParser *ptParser, const char *pszPath);
// Keeps a zero-terminated copy of the iLength bytes at pData. Gives 0.
int xmlparser_loadFile_from_dat(stXMLParser *ptParser, const char *pData, int iLength);
// Writes the loaded text unchanged: 0 written, 1 the file cannot be created.
int xmlparser_saveFile(stXMLParser *ptParser, const char *pszPath);
// 0 parsed (also when the text has errors: then there is no tree), 1 nothing loaded.
// Does not move the cursor.
int xmlparser_parserFile(stXMLParser *ptParser);
// 0; the cursor goes to the root.
int xmlparser_gotoRoot(stXMLParser *ptParser);
// 0 moved to the parent, 1 the cursor is on the root (not moved).
int xmlparser_gotoParent(stXMLParser *ptParser);
// 1 found and the cursor moved, 0 not found and the cursor unchanged. From an
// element whose name begins with pszName it steps to the next sibling of that
// name instead, so repeated calls walk a run of equally named elements.
int xmlparser_findElement(stXMLParser *ptParser, const char *pszName);
// 1 found (and remembered for xmlparser_getAttributeVal), 0 not found.
int xmlparser_findAttribute(stXMLParser *ptParser, const char *pszName);
// A new buffer (free() it) with the remembered attribute's value, double quotes removed.
char *xmlparser_getAttributeVal(stXMLParser *ptParser);
// Typed reads of the cursor's attribute pszName; a missing attribute is fatal.
// The string form gives one shared buffer that the next string read overwrites.
char *xmlparser_getAttributeVal_asString(stXMLParser *ptParser, const char *pszName);
float xmlparser_getAttributeVal_asFloat(stXMLParser *ptParser, const char *pszName);
int xmlparser_getAttributeVal_asInteger(stXMLParser *ptParser, const char *pszName);
int xmlparser_getAttributeVal_asIntegerBase(stXMLParser *ptParser, const char *pszName,
                                            int iBase);
// Copies the cursor's attribute pszName into a fixed text field, cut to fit
// with its zero; a missing attribute is fatal.
template <size_t N>
void xmlparser_copyAttribute(stXMLParser *ptParser, const char *pszName, char (&szValue)[N])
{
    snprintf(szValue, N, "%s", xmlparser_getAttributeVal_asString(ptParser, pszName));
}
// A 24-bit hexadecimal colour as a pixel value of the current colour depth.
int xmlparser_getAttributeVal_asColor(stXMLParser *ptParser, const char *pszName);
// Names the loaded document ("NAME (FILE)"): a failed read then says, on the
// error output, which document it was and, after a failed parse, where the
// parse stopped.
void xmlparser_setDocumentName(stXMLParser *ptParser, const char *pszName);
// Frees the tree, the text and the handle.
void xmlparser_destroy(stXMLParser *ptParser);
// Destroys every handle not destroyed yet: those a loader had open when the
// fatal path took over, for a harness that carries on after it.
void xmlparser_destroy_open();
