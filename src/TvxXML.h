// The document parser: turns the text of a configuration document into a tree of
// elements, attributes, texts and clear sections, looks things up in it and writes
// it back out. Forgiving and non-validating; values are stored exactly as written.
#pragma once

typedef enum _TvxXMLNodeType {
    eNodeEmpty = 0,
    eNodeAttribute = 1,
    eNodeElement = 2,
    eNodeText = 3,
    eNodeClear = 4
} TvxXMLNodeType;

typedef enum _TvxXMLError {
    eXMLErrorNone = 0,
    eXMLErrorEmpty = 1,
    eXMLErrorFirstNotStartTag = 2,
    eXMLErrorMissingTagName = 3,
    eXMLErrorMissingEndTagName = 4,
    eXMLErrorNoMatchingQuote = 5,
    eXMLErrorUnmatchedEndTag = 6,
    eXMLErrorUnexpectedToken = 7,
    eXMLErrorInvalidTag = 8, // also: elements nested deeper than TVX_XML_MAX_DEPTH
    eXMLErrorNoElements = 9
} TvxXMLError;

// Elements nested deeper than this are refused (eXMLErrorInvalidTag), so that no
// document can exhaust the stack of the recursive parser, writer or deletion.
constexpr int TVX_XML_MAX_DEPTH = 256; // levels of elements below the root

// Entries added by the parser grow an element's array by this many slots at a time.
constexpr int TVX_XML_GROW_BY = 5; // entries

// A pair of strings enclosing a section that is kept raw (comments, CDATA...).
typedef struct _TvxClearTag {
    const char *lpszOpen;
    const char *lpszClose;
} TvxClearTag;

struct _TvxXMLNode;

typedef struct _TvxXMLElement {
    char *lpszName;                 // owned; null for the unnamed document root
    int nSize;                      // entries in use
    int nMax;                       // entries allocated
    int nIsDeclaration;             // true for an element opened with "<?"
    struct _TvxXMLNode *pEntries;   // owned, nMax long, in document order
    struct _TvxXMLElement *pParent; // enclosing element; null for the root
} TvxXMLElement;

typedef struct _TvxXMLAttribute {
    char *lpszName;  // owned
    char *lpszValue; // owned; null when written without a value; quotes kept
} TvxXMLAttribute;

typedef struct _TvxXMLText {
    char *lpszValue; // owned
} TvxXMLText;

typedef struct _TvxXMLClear {
    const char *lpszOpenTag;  // points into the clear-tag table, not owned
    const char *lpszCloseTag; // points into the clear-tag table, not owned
    char *lpszValue;          // owned: the raw text between the two
} TvxXMLClear;

typedef struct _TvxXMLNode {
    TvxXMLNodeType type;
    union { // the one owned record chosen by type; null for eNodeEmpty
        TvxXMLAttribute *pAttrib;
        TvxXMLElement *pElement;
        TvxXMLText *pText;
        TvxXMLClear *pClear;
    };
} TvxXMLNode;

typedef struct _TvxXMLResults {
    TvxXMLError error;
    int nLine;   // 1-based; set only on an error
    int nColumn; // 1-based; set only on an error
} TvxXMLResults;

typedef enum _TvxTokenType {
    eTokenText = 0,
    eTokenQuotedText = 1,
    eTokenTagStart = 2,
    eTokenTagEnd = 3,
    eTokenCloseTag = 4,
    eTokenEquals = 5,
    eTokenDeclaration = 6,
    eTokenShortHandClose = 7,
    eTokenClear = 8,
    eTokenError = 9
} TvxTokenType;

// The state of one parse.
typedef struct _TvxXML {
    const char *lpXML;             // the text, zero-terminated, not owned
    int nIndex;                    // current offset into lpXML, in bytes
    TvxXMLError error;             // first error met, or eXMLErrorNone
    const char *lpEndTag;          // pending end-tag name (points into lpXML), or null
    int cbEndTag;                  // its length in bytes
    const char *lpNewElement;      // pending start-tag name (points into lpXML), or null
    int cbNewElement;              // its length in bytes
    int nFirst;                    // true only until the root's parse begins
    const TvxClearTag *pClrTags;   // the clear-tag table
    int nDepth;                    // elements being parsed right now, root included
} TvxXML;

// What the tokenizer gives: where the token starts and, for eTokenClear, its row.
typedef struct _TvxNextToken {
    const TvxClearTag *pClr;
    const char *pStr;
} TvxNextToken;

// Parsing and deletion.
TvxXMLElement *TvxParseXML(const char *lpszXML, TvxXMLResults *pResults);
void TvxDeleteRoot(TvxXMLElement *pRoot);

// The next token of pXML: its start, length (bytes) and type.
TvxNextToken TvxGetNextToken(TvxXML *pXML, int *pcbToken, TvxTokenType *pType);

// Lookups by prefix: "menu" matches an element or attribute named "menus".
TvxXMLElement *TvxFindElement(TvxXMLElement *pEntry, const char *lpszPath);
TvxXMLAttribute *TvxFindAttribute(TvxXMLElement *pEntry, const char *lpszAttrib);

// Enumeration from *pnIndex onwards; null (and *pnIndex == nSize) at the end.
TvxXMLNode *TvxEnumNodes(TvxXMLElement *pEntry, int *pnIndex);
TvxXMLElement *TvxEnumElements(TvxXMLElement *pEntry, int *pnIndex);
TvxXMLAttribute *TvxEnumAttributes(TvxXMLElement *pEntry, int *pnIndex);

// Building. Each call appends one entry and takes ownership of the strings, which
// must come from safe_malloc (or be null where a null value is allowed).
TvxXMLElement *TvxAddElement(TvxXMLElement *pParent, char *lpszName, int nIsDeclaration,
                             int nGrowBy);
TvxXMLAttribute *TvxAddAttribute(TvxXMLElement *pEntry, char *lpszName, char *lpszValue,
                                 int nGrowBy);
TvxXMLText *TvxAddText(TvxXMLElement *pEntry, char *lpszValue, int nGrowBy);
TvxXMLClear *TvxAddClear(TvxXMLElement *pEntry, char *lpszValue, const TvxClearTag *pClear,
                         int nGrowBy);
TvxXMLClear *TvxAddCData(TvxXMLElement *pEntry, char *lpszValue, int nGrowBy);
TvxXMLElement *TvxCreateElements(TvxXMLElement *pEntry, const char *lpszPath);

// A newly allocated text of the tree (free() it); nFormat != 0 indents with tabs.
// *pnSize (if given) receives its length in bytes, the terminating zero excluded.
char *TvxCreateXMLString(TvxXMLElement *pHead, int nFormat, int *pnSize);

// Tables.
const char *TvxGetError(TvxXMLError error);
const TvxClearTag *TvxGetClearTags();
