// The implementation record behind the XML handle: the loaded text, its tree and
// the cursor that every lookup acts on.
#pragma once
#include "TvxXML.h"

// Longest value a read gives back, in characters; longer values are truncated.
constexpr int XML_ATTRIBUTE_BUFFER = 256; // bytes, terminating zero included

typedef struct _stXMLParser_impl {
    char *_pszBuffer;             // owned text of the document, zero-terminated, or null
    TvxXMLElement *_pRoot;        // owned tree, or null (not parsed, or the parse failed)
    TvxXMLElement *_pActualPos;   // the cursor: the element lookups act on (not owned)
    TvxXMLElement *_pReturnPos;   // result of the last element search
    TvxXMLAttribute *_pAttrPos;   // attribute found by the last attribute search, or null
    TvxXMLResults _results;       // outcome of the last parse
    char _szDocument[XML_ATTRIBUTE_BUFFER]; // what was loaded, for messages, or ""
} stXMLParser_impl;

stXMLParser_impl *xmlparser_impl_create();
int xmlparser_impl_loadFile(stXMLParser_impl *ptImpl, const char *pszPath);
int xmlparser_impl_loadFile_from_dat(stXMLParser_impl *ptImpl, const char *pData, int iLength);
int xmlparser_impl_saveFile(stXMLParser_impl *ptImpl, const char *pszPath);
int xmlparser_impl_parserFile(stXMLParser_impl *ptImpl);
int xmlparser_impl_gotoRoot(stXMLParser_impl *ptImpl);
int xmlparser_impl_gotoParent(stXMLParser_impl *ptImpl);
int xmlparser_impl_findElement(stXMLParser_impl *ptImpl, const char *pszName);
int xmlparser_impl_findAttribute(stXMLParser_impl *ptImpl, const char *pszName);
char *xmlparser_impl_getAttributeVal(stXMLParser_impl *ptImpl);
char *xmlparser_impl_getAttributeVal_asString(stXMLParser_impl *ptImpl, const char *pszName);
float xmlparser_impl_getAttributeVal_asFloat(stXMLParser_impl *ptImpl, const char *pszName);
int xmlparser_impl_getAttributeVal_asInteger(stXMLParser_impl *ptImpl, const char *pszName);
int xmlparser_impl_getAttributeVal_asIntegerBase(stXMLParser_impl *ptImpl, const char *pszName,
                                                 int iBase);
int xmlparser_impl_getAttributeVal_asColor(stXMLParser_impl *ptImpl, const char *pszName);
void xmlparser_impl_setDocumentName(stXMLParser_impl *ptImpl, const char *pszName);
void xmlparser_impl_destroy(stXMLParser_impl *ptImpl);
