// The document parser: owns every tree it builds (names, values, nodes, arrays).
// Always: an element's attributes come before its other entries, entries keep
// document order, and the text being parsed is only read, never changed.
#include "TvxXML.h"
#include "memory.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Sections kept raw, tried in this order at the start of every token.
const TvxClearTag TvxClearTags[] = {
    {"<![CDATA[", "]]>"}, {"<PRE>", "</PRE>"}, {"<Script>", "</Script>"},
    {"<!--", "-->"},      {"<!DOCTYPE", ">"},  {nullptr, nullptr},
};
constexpr int CDATA_ROW = 0; // TvxAddCData adds a clear entry of this row

struct TvxErrorText {
    TvxXMLError error;
    const char *lpszText;
};
const TvxErrorText TvxErrorList[] = {
    {eXMLErrorNone, "No error"},
    {eXMLErrorEmpty, "No XML data"},
    {eXMLErrorFirstNotStartTag, "First token not start tag"},
    {eXMLErrorMissingTagName, "Missing start tag name"},
    {eXMLErrorMissingEndTagName, "Missing end tag name"},
    {eXMLErrorNoMatchingQuote, "Unmatched quote"},
    {eXMLErrorUnmatchedEndTag, "Unmatched end tag"},
    {eXMLErrorUnexpectedToken, "Unexpected token found"},
    {eXMLErrorInvalidTag, "Invalid tag found"},
    {eXMLErrorNoElements, "No elements found"},
    {eXMLErrorNone, nullptr},
};
constexpr const char *UNKNOWN_ERROR_TEXT = "Unknown";

// Where the parser is inside the element it is reading.
typedef enum _TvxStatus { eInsideTag = 0, eOutsideTag = 1 } TvxStatus;
typedef enum _TvxAttrib { eAttribName = 0, eAttribEquals = 1, eAttribValue = 2 } TvxAttrib;

// A programming error of the caller: say which and stop.
void xml_require(bool bHolds, const char *pszWhat)
{
    if (bHolds)
        return;
    fprintf(stderr, "TvxXML: %s\n", pszWhat);
    abort();
}

bool is_space(char ch) { return ch == '\t' || ch == '\n' || ch == '\r' || ch == ' '; }

char *copy_string(const char *pStart, int cbLength)
{
    char *lpsz = static_cast<char *>(safe_malloc(static_cast<size_t>(cbLength) + 1));
    memcpy(lpsz, pStart, static_cast<size_t>(cbLength));
    lpsz[cbLength] = '\0';
    return lpsz;
}

// True when the cbToken bytes at pToken begin with lpszName.
bool token_starts_with(const char *pToken, int cbToken, const char *lpszName)
{
    size_t cbName = strlen(lpszName);
    return static_cast<size_t>(cbToken) >= cbName && memcmp(pToken, lpszName, cbName) == 0;
}

// A new slot at the end of pEntry's entries, growing the array by nGrowBy when full.
TvxXMLNode *add_node(TvxXMLElement *pEntry, TvxXMLNodeType type, int nGrowBy)
{
    xml_require(pEntry != nullptr, "null element");
    xml_require(nGrowBy > 0, "growth step must be positive");
    if (pEntry->nSize == pEntry->nMax) {
        int nNewMax = pEntry->nMax + nGrowBy;
        pEntry->pEntries = static_cast<TvxXMLNode *>(
            safe_realloc(pEntry->pEntries, static_cast<size_t>(nNewMax) * sizeof(TvxXMLNode)));
        for (int i = pEntry->nMax; i < nNewMax; i++) {
            pEntry->pEntries[i].type = eNodeEmpty;
            pEntry->pEntries[i].pElement = nullptr;
        }
        pEntry->nMax = nNewMax;
    }
    TvxXMLNode *pNode = &pEntry->pEntries[pEntry->nSize++];
    pNode->type = type;
    return pNode;
}

TvxXMLElement *new_element(TvxXMLElement *pParent, char *lpszName, int nIsDeclaration)
{
    auto *pElement = static_cast<TvxXMLElement *>(safe_malloc(sizeof(TvxXMLElement)));
    pElement->lpszName = lpszName;
    pElement->nSize = 0;
    pElement->nMax = 0;
    pElement->nIsDeclaration = nIsDeclaration;
    pElement->pEntries = nullptr;
    pElement->pParent = pParent;
    return pElement;
}

void delete_entries(TvxXMLElement *pEntry)
{
    for (int i = 0; i < pEntry->nSize; i++) {
        TvxXMLNode *pNode = &pEntry->pEntries[i];
        switch (pNode->type) {
        case eNodeAttribute:
            free(pNode->pAttrib->lpszName);
            free(pNode->pAttrib->lpszValue);
            free(pNode->pAttrib);
            break;
        case eNodeElement:
            delete_entries(pNode->pElement);
            free(pNode->pElement->pEntries);
            free(pNode->pElement->lpszName);
            free(pNode->pElement);
            break;
        case eNodeText:
            free(pNode->pText->lpszValue);
            free(pNode->pText);
            break;
        case eNodeClear:
            free(pNode->pClear->lpszValue);
            free(pNode->pClear);
            break;
        case eNodeEmpty:
            break;
        }
        pNode->type = eNodeEmpty;
        pNode->pElement = nullptr;
    }
    pEntry->nSize = 0;
}

// The text pending since *ppText, up to pEnd with trailing whitespace cut, becomes
// a text entry of pEntry; afterwards nothing is pending.
void flush_text(TvxXMLElement *pEntry, const char **ppText, const char *pEnd)
{
    const char *pStart = *ppText;
    if (!pStart)
        return;
    while (pEnd > pStart && is_space(pEnd[-1]))
        pEnd--;
    TvxAddText(pEntry, copy_string(pStart, static_cast<int>(pEnd - pStart)), TVX_XML_GROW_BY);
    *ppText = nullptr;
}

bool parse_element_body(TvxXML *pXML, TvxXMLElement *pEntry);

// Parses the rest of pEntry: gives false on an error (and at the end of the text),
// true when pEntry is closed, possibly leaving a pending end or start tag.
bool TvxParseXMLElement(TvxXML *pXML, TvxXMLElement *pEntry)
{
    if (pXML->nDepth > TVX_XML_MAX_DEPTH) {
        pXML->error = eXMLErrorInvalidTag;
        return false;
    }
    pXML->nDepth++;
    bool bClosed = parse_element_body(pXML, pEntry);
    pXML->nDepth--;
    return bClosed;
}

// What one token of a start tag leads to.
enum TagStep { TAG_ERROR = -1, TAG_CLOSED = 0, TAG_CONTINUE = 1 };

struct TagState {
    TvxAttrib attrib;          // which part of an attribute comes next
    TvxStatus status;          // inside the start tag or past it
    const char *lpszAttrName;  // remembered attribute name (points into the text)
    int cbAttrName;            // its length in bytes
};

// Reads one token of pEntry's start tag (attribute names and values, "/>" or ">").
TagStep read_tag_token(TvxXML *pXML, TvxXMLElement *pEntry, TagState *pTag,
                       const TvxNextToken &token, int cbToken, TvxTokenType type)
{
    switch (pTag->attrib) {
    case eAttribName:
        if (type == eTokenText) {
            pTag->lpszAttrName = token.pStr;
            pTag->cbAttrName = cbToken;
            pTag->attrib = eAttribEquals;
            return TAG_CONTINUE;
        }
        if (type == eTokenCloseTag) {
            pTag->status = eOutsideTag;
            return TAG_CONTINUE;
        }
        if (type == eTokenShortHandClose)
            return TAG_CLOSED;
        break;
    case eAttribEquals:
        if (type == eTokenText) {
            TvxAddAttribute(pEntry, copy_string(pTag->lpszAttrName, pTag->cbAttrName), nullptr,
                            TVX_XML_GROW_BY);
            pTag->lpszAttrName = token.pStr;
            pTag->cbAttrName = cbToken;
            return TAG_CONTINUE;
        }
        if (type == eTokenEquals) {
            pTag->attrib = eAttribValue;
            return TAG_CONTINUE;
        }
        if (type == eTokenCloseTag || type == eTokenShortHandClose) {
            int cbName = pTag->cbAttrName;
            if (pEntry->nIsDeclaration && cbName > 0 && pTag->lpszAttrName[cbName - 1] == '?')
                cbName--;
            if (cbName > 0)
                TvxAddAttribute(pEntry, copy_string(pTag->lpszAttrName, cbName), nullptr,
                                TVX_XML_GROW_BY);
            if (type == eTokenShortHandClose)
                return TAG_CLOSED;
            pTag->status = eOutsideTag;
            return TAG_CONTINUE;
        }
        break;
    case eAttribValue:
        if (type == eTokenText || type == eTokenQuotedText) {
            int cbValue = cbToken;
            if (pEntry->nIsDeclaration && cbValue > 0 && token.pStr[cbValue - 1] == '?')
                cbValue--;
            TvxAddAttribute(pEntry, copy_string(pTag->lpszAttrName, pTag->cbAttrName),
                            copy_string(token.pStr, cbValue), TVX_XML_GROW_BY);
            pTag->attrib = eAttribName;
            return TAG_CONTINUE;
        }
        break;
    }
    pXML->error = eXMLErrorUnexpectedToken;
    return TAG_ERROR;
}

// A start tag "<name" or "<?name" met inside pEntry, with the child elements it
// opens. Sets *pbGoOn when reading pEntry goes on; otherwise the result is
// pEntry's own: false on an error, true when pEntry closes (a repeat of pEntry, or
// a tag pending for an outer element).
bool read_child(TvxXML *pXML, TvxXMLElement *pEntry, TvxTokenType tagType, bool *pbGoOn)
{
    *pbGoOn = false;
    int cbName;
    TvxTokenType nameType;
    TvxNextToken name = TvxGetNextToken(pXML, &cbName, &nameType);
    if (nameType != eTokenText) {
        pXML->error = eXMLErrorMissingTagName;
        return false;
    }
    if (pEntry->lpszName) {
        // The same name again, as in <p>one<p>two, closes the current element.
        size_t cbOwn = strlen(pEntry->lpszName);
        if (token_starts_with(name.pStr, cbName, pEntry->lpszName)) {
            char chAfter = name.pStr[cbOwn];
            if (chAfter == '>' || chAfter == '\t' || chAfter == '\n' || chAfter == ' ') {
                pXML->lpNewElement = name.pStr;
                pXML->cbNewElement = cbName;
                return true;
            }
        }
    }
    TvxXMLElement *pChild = TvxAddElement(pEntry, copy_string(name.pStr, cbName),
                                          tagType == eTokenDeclaration, TVX_XML_GROW_BY);
    for (;;) {
        if (!TvxParseXMLElement(pXML, pChild))
            return false;
        if (pXML->lpEndTag) {
            if (!pEntry->lpszName) {
                pXML->error = eXMLErrorUnmatchedEndTag;
                return false;
            }
            // An end tag naming an outer element closes every element up to it.
            if (token_starts_with(pXML->lpEndTag, pXML->cbEndTag, pEntry->lpszName)) {
                pXML->lpEndTag = nullptr;
                pXML->cbEndTag = 0;
            }
            return true;
        }
        if (!pXML->lpNewElement)
            break;
        if (pEntry->lpszName &&
            token_starts_with(pXML->lpNewElement, pXML->cbNewElement, pEntry->lpszName))
            return true;
        pChild = TvxAddElement(pEntry, copy_string(pXML->lpNewElement, pXML->cbNewElement), 0,
                               TVX_XML_GROW_BY);
        pXML->lpNewElement = nullptr;
        pXML->cbNewElement = 0;
    }
    *pbGoOn = true;
    return true;
}

// An end tag "</name>" met inside pEntry: gives true (pEntry closes) or false.
bool read_end_tag(TvxXML *pXML, TvxXMLElement *pEntry)
{
    int cbName, cbClose;
    TvxTokenType nameType, closeType = eTokenError;
    TvxNextToken name = TvxGetNextToken(pXML, &cbName, &nameType);
    if (nameType == eTokenText)
        TvxGetNextToken(pXML, &cbClose, &closeType);
    if (nameType != eTokenText || closeType != eTokenCloseTag) {
        pXML->error = eXMLErrorMissingEndTagName;
        return false;
    }
    if (!pEntry->lpszName) { // an end tag outside every element
        pXML->error = eXMLErrorUnmatchedEndTag;
        return false;
    }
    if (!token_starts_with(name.pStr, cbName, pEntry->lpszName)) {
        pXML->lpEndTag = name.pStr;
        pXML->cbEndTag = cbName;
    }
    return true;
}

// A clear section whose open string was just read: its raw text up to the close
// string becomes a clear entry. Gives false when the close string is missing.
bool read_clear(TvxXML *pXML, TvxXMLElement *pEntry, const TvxClearTag *pClr)
{
    const char *pStart = pXML->lpXML + pXML->nIndex;
    const char *pClose = strstr(pStart, pClr->lpszClose);
    if (!pClose) {
        pXML->error = eXMLErrorUnmatchedEndTag;
        return false;
    }
    TvxAddClear(pEntry, copy_string(pStart, static_cast<int>(pClose - pStart)), pClr,
                TVX_XML_GROW_BY);
    pXML->nIndex = static_cast<int>(pClose - pXML->lpXML + strlen(pClr->lpszClose));
    return true;
}

bool parse_element_body(TvxXML *pXML, TvxXMLElement *pEntry)
{
    const char *lpszText = nullptr; // start of the pending text, or null
    TagState tag = {eAttribName, eInsideTag, nullptr, 0};
    if (pXML->nFirst) { // the root has no start tag
        pXML->nFirst = 0;
        tag.status = eOutsideTag;
    }
    for (;;) {
        int cbToken;
        TvxTokenType type;
        TvxNextToken token = TvxGetNextToken(pXML, &cbToken, &type);
        if (type == eTokenError) {
            // A text running to the end of the document still belongs to pEntry.
            flush_text(pEntry, &lpszText, token.pStr);
            return false;
        }
        if (tag.status == eInsideTag) {
            TagStep step = read_tag_token(pXML, pEntry, &tag, token, cbToken, type);
            if (step != TAG_CONTINUE)
                return step == TAG_CLOSED;
            continue;
        }
        switch (type) {
        case eTokenText:
        case eTokenQuotedText:
        case eTokenEquals:
            if (!lpszText)
                lpszText = token.pStr;
            break;
        case eTokenTagStart:
        case eTokenDeclaration: {
            flush_text(pEntry, &lpszText, token.pStr);
            bool bGoOn;
            bool bResult = read_child(pXML, pEntry, type, &bGoOn);
            if (!bGoOn)
                return bResult;
            break;
        }
        case eTokenTagEnd:
            flush_text(pEntry, &lpszText, token.pStr);
            return read_end_tag(pXML, pEntry);
        case eTokenClear:
            flush_text(pEntry, &lpszText, token.pStr);
            if (!read_clear(pXML, pEntry, token.pClr))
                return false;
            break;
        case eTokenCloseTag:
        case eTokenShortHandClose:
        case eTokenError:
            pXML->error = eXMLErrorUnexpectedToken;
            return false;
        }
    }
}

// Output of the writer; with a null pOut it only measures.
struct XmlWriter {
    char *pOut;   // destination, or null while measuring
    int cbLength; // bytes written (or measured) so far
};

void put_bytes(XmlWriter *pW, const char *p, int cb)
{
    if (pW->pOut)
        memcpy(pW->pOut + pW->cbLength, p, static_cast<size_t>(cb));
    pW->cbLength += cb;
}
void put_string(XmlWriter *pW, const char *lpsz)
{
    put_bytes(pW, lpsz, static_cast<int>(strlen(lpsz)));
}
void put_char(XmlWriter *pW, char ch) { put_bytes(pW, &ch, 1); }
void put_indent(XmlWriter *pW, int nFormat, int nDepth)
{
    for (int i = 0; nFormat && i < nDepth; i++)
        put_char(pW, '\t');
}
void put_line_break(XmlWriter *pW, int nFormat)
{
    if (nFormat)
        put_char(pW, '\n');
}

bool is_empty(const char *lpsz) { return !lpsz || !lpsz[0]; }
char last_char(const char *lpsz) { return lpsz[strlen(lpsz) - 1]; }

// True when "<" directly followed by the name would read as something else: a
// declaration, an end tag or the open string of a clear section.
bool name_needs_gap(const char *lpszName)
{
    if (lpszName[0] == '?' || lpszName[0] == '/')
        return true;
    for (const TvxClearTag *pClr = TvxClearTags; pClr->lpszOpen; pClr++) {
        const char *lpszRest = pClr->lpszOpen + 1; // the open string after its '<'
        size_t cbRest = strlen(lpszRest);
        size_t cbName = strlen(lpszName);
        if (strncmp(lpszName, lpszRest, cbRest) == 0)
            return true;
        if (cbName + 1 == cbRest && strncmp(lpszName, lpszRest, cbName) == 0 &&
            lpszRest[cbName] == '>')
            return true;
    }
    return false;
}

void write_element(XmlWriter *pW, const TvxXMLElement *pEntry, int nFormat, int nDepth,
                   const char *lpszEnclosing)
{
    bool bNamed = !is_empty(pEntry->lpszName);
    int nInner = bNamed ? nDepth + 1 : nDepth; // depth of the entries
    if (bNamed) {
        bool bAttributes = false, bOthers = false;
        for (int i = 0; i < pEntry->nSize; i++) {
            const TvxXMLNode &node = pEntry->pEntries[i];
            if (node.type == eNodeAttribute)
                bAttributes = bAttributes || !is_empty(node.pAttrib->lpszName);
            else if (node.type != eNodeEmpty)
                bOthers = true;
        }
        put_indent(pW, nFormat, nDepth);
        put_char(pW, '<');
        if (name_needs_gap(pEntry->lpszName))
            put_char(pW, ' '); // whitespace after '<' is allowed and keeps the name a name
        put_string(pW, pEntry->lpszName);
        char chLast = last_char(pEntry->lpszName);
        // "<p>" or "<p a=1>" inside p would close p; a carriage return after the
        // name keeps the child nested.
        if (lpszEnclosing && strcmp(lpszEnclosing, pEntry->lpszName) == 0 &&
            (bAttributes || bOthers)) {
            put_char(pW, '\r');
            chLast = '\r';
        }
        for (int i = 0; i < pEntry->nSize; i++) {
            const TvxXMLNode &node = pEntry->pEntries[i];
            if (node.type != eNodeAttribute || is_empty(node.pAttrib->lpszName))
                continue;
            put_char(pW, ' ');
            put_string(pW, node.pAttrib->lpszName);
            chLast = last_char(node.pAttrib->lpszName);
            if (!is_empty(node.pAttrib->lpszValue)) {
                put_char(pW, '=');
                put_string(pW, node.pAttrib->lpszValue);
                chLast = last_char(node.pAttrib->lpszValue);
            }
        }
        if (!bOthers) {
            put_string(pW, "/>");
            put_line_break(pW, nFormat);
            return;
        }
        if (chLast == '/')
            put_char(pW, ' '); // "/>" would end the element here
        put_char(pW, '>');
        put_line_break(pW, nFormat);
    }
    for (int i = 0; i < pEntry->nSize; i++) {
        const TvxXMLNode &node = pEntry->pEntries[i];
        switch (node.type) {
        case eNodeElement:
            write_element(pW, node.pElement, nFormat, nInner, bNamed ? pEntry->lpszName : nullptr);
            break;
        case eNodeText:
            if (is_empty(node.pText->lpszValue))
                break;
            put_indent(pW, nFormat, nInner);
            put_string(pW, node.pText->lpszValue);
            put_line_break(pW, nFormat);
            break;
        case eNodeClear:
            put_indent(pW, nFormat, nInner);
            put_string(pW, node.pClear->lpszOpenTag);
            if (!is_empty(node.pClear->lpszValue))
                put_string(pW, node.pClear->lpszValue);
            put_string(pW, node.pClear->lpszCloseTag);
            put_line_break(pW, nFormat);
            break;
        case eNodeAttribute:
        case eNodeEmpty:
            break;
        }
    }
    if (bNamed) {
        put_indent(pW, nFormat, nDepth);
        put_string(pW, "</");
        put_string(pW, pEntry->lpszName);
        if (last_char(pEntry->lpszName) == '/')
            put_char(pW, ' ');
        put_char(pW, '>');
        put_line_break(pW, nFormat);
    }
}

} // namespace

TvxNextToken TvxGetNextToken(TvxXML *pXML, int *pcbToken, TvxTokenType *pType)
{
    const char *lpXML = pXML->lpXML;
    int n = pXML->nIndex;
    while (is_space(lpXML[n]))
        n++;
    TvxNextToken token = {nullptr, lpXML + n};
    int cb = 1;
    TvxTokenType type = eTokenText;
    char ch = lpXML[n];
    if (!ch) {
        cb = 0;
        type = eTokenError;
    } else {
        for (const TvxClearTag *pClr = pXML->pClrTags; pClr->lpszOpen; pClr++) {
            if (ch != pClr->lpszOpen[0])
                continue;
            size_t cbOpen = strlen(pClr->lpszOpen);
            if (strncmp(lpXML + n, pClr->lpszOpen, cbOpen) == 0) {
                token.pClr = pClr;
                *pcbToken = static_cast<int>(cbOpen);
                *pType = eTokenClear;
                pXML->nIndex = n + static_cast<int>(cbOpen);
                return token;
            }
        }
    }
    switch (ch) {
    case '\0':
        break;
    case '"':
    case '\'': {
        const char *pClose = strchr(lpXML + n + 1, ch);
        if (pClose) {
            cb = static_cast<int>(pClose - token.pStr) + 1;
            type = eTokenQuotedText;
        } else {
            cb = static_cast<int>(strlen(token.pStr));
            pXML->error = eXMLErrorNoMatchingQuote;
            type = eTokenError;
        }
        *pcbToken = cb;
        *pType = type;
        n += cb;
        while (is_space(lpXML[n]))
            n++;
        pXML->nIndex = n;
        return token;
    }
    case '<':
        if (lpXML[n + 1] == '/') {
            cb = 2;
            type = eTokenTagEnd;
        } else if (lpXML[n + 1] == '?') {
            cb = 2;
            type = eTokenDeclaration;
        } else {
            type = eTokenTagStart;
        }
        break;
    case '/':
        if (lpXML[n + 1] == '>') {
            cb = 2;
            type = eTokenShortHandClose;
        } else {
            cb = 0; // a lone '/' starts a text
        }
        break;
    case '=':
        type = eTokenEquals;
        break;
    case '>':
        type = eTokenCloseTag;
        break;
    default:
        cb = 0;
        break;
    }
    if (type == eTokenText) {
        int m = n + 1; // the first character is never a stop character
        while (lpXML[m] && !is_space(lpXML[m]) && lpXML[m] != '<' && lpXML[m] != '=' &&
               lpXML[m] != '>' && !(lpXML[m] == '/' && lpXML[m + 1] == '>'))
            m++;
        cb = m - n;
        pXML->nIndex = m + (is_space(lpXML[m]) ? 1 : 0);
    } else {
        pXML->nIndex = n + cb;
    }
    *pcbToken = cb;
    *pType = type;
    return token;
}

TvxXMLElement *TvxParseXML(const char *lpszXML, TvxXMLResults *pResults)
{
    xml_require(lpszXML != nullptr, "null text to parse");
    TvxXML xml = {lpszXML, 0, eXMLErrorNone, nullptr, 0, nullptr, 0, 1, TvxClearTags, 0};
    TvxXMLElement *pRoot = new_element(nullptr, nullptr, 0);
    TvxParseXMLElement(&xml, pRoot); // open elements at the end of the text are fine
    if (pResults) {
        pResults->error = xml.error;
        if (xml.error != eXMLErrorNone) {
            int nLine = 1, nColumn = 1;
            for (int i = 0; i < xml.nIndex && lpszXML[i]; i++) {
                if (lpszXML[i] == '\n') {
                    nLine++;
                    nColumn = 1;
                } else {
                    nColumn++;
                }
            }
            pResults->nLine = nLine;
            pResults->nColumn = nColumn;
        }
    }
    if (xml.error != eXMLErrorNone) {
        TvxDeleteRoot(pRoot);
        return nullptr;
    }
    return pRoot;
}

void TvxDeleteRoot(TvxXMLElement *pRoot)
{
    if (!pRoot)
        return;
    delete_entries(pRoot);
    free(pRoot->pEntries);
    free(pRoot->lpszName);
    free(pRoot);
}

TvxXMLElement *TvxFindElement(TvxXMLElement *pEntry, const char *lpszPath)
{
    xml_require(pEntry != nullptr, "null element");
    xml_require(lpszPath != nullptr, "null path");
    const char *pSlash = strchr(lpszPath, '/');
    size_t cbSegment = pSlash ? static_cast<size_t>(pSlash - lpszPath) : strlen(lpszPath);
    if (cbSegment == 0)
        return nullptr;
    for (int i = 0; i < pEntry->nSize; i++) {
        const TvxXMLNode &node = pEntry->pEntries[i];
        if (node.type != eNodeElement || !node.pElement->lpszName)
            continue;
        if (strncmp(node.pElement->lpszName, lpszPath, cbSegment) != 0)
            continue;
        if (pSlash && pSlash[1])
            return TvxFindElement(node.pElement, pSlash + 1); // no later sibling is tried
        return node.pElement;
    }
    return nullptr;
}

TvxXMLAttribute *TvxFindAttribute(TvxXMLElement *pEntry, const char *lpszAttrib)
{
    xml_require(pEntry != nullptr, "null element");
    xml_require(lpszAttrib != nullptr, "null attribute name");
    size_t cbName = strlen(lpszAttrib);
    for (int i = 0; i < pEntry->nSize; i++) {
        const TvxXMLNode &node = pEntry->pEntries[i];
        if (node.type == eNodeAttribute && node.pAttrib->lpszName &&
            strncmp(node.pAttrib->lpszName, lpszAttrib, cbName) == 0)
            return node.pAttrib;
    }
    return nullptr;
}

TvxXMLNode *TvxEnumNodes(TvxXMLElement *pEntry, int *pnIndex)
{
    xml_require(pEntry != nullptr && pnIndex != nullptr, "null element or index");
    xml_require(*pnIndex >= 0, "negative index");
    for (; *pnIndex < pEntry->nSize; (*pnIndex)++) {
        if (pEntry->pEntries[*pnIndex].type != eNodeEmpty)
            return &pEntry->pEntries[(*pnIndex)++];
    }
    *pnIndex = pEntry->nSize;
    return nullptr;
}

TvxXMLElement *TvxEnumElements(TvxXMLElement *pEntry, int *pnIndex)
{
    TvxXMLNode *pNode;
    while ((pNode = TvxEnumNodes(pEntry, pnIndex)) != nullptr) {
        if (pNode->type == eNodeElement)
            return pNode->pElement;
    }
    return nullptr;
}

TvxXMLAttribute *TvxEnumAttributes(TvxXMLElement *pEntry, int *pnIndex)
{
    TvxXMLNode *pNode;
    while ((pNode = TvxEnumNodes(pEntry, pnIndex)) != nullptr) {
        if (pNode->type == eNodeAttribute)
            return pNode->pAttrib;
    }
    return nullptr;
}

TvxXMLElement *TvxAddElement(TvxXMLElement *pParent, char *lpszName, int nIsDeclaration,
                             int nGrowBy)
{
    TvxXMLNode *pNode = add_node(pParent, eNodeElement, nGrowBy);
    pNode->pElement = new_element(pParent, lpszName, nIsDeclaration);
    return pNode->pElement;
}

TvxXMLAttribute *TvxAddAttribute(TvxXMLElement *pEntry, char *lpszName, char *lpszValue,
                                 int nGrowBy)
{
    TvxXMLNode *pNode = add_node(pEntry, eNodeAttribute, nGrowBy);
    pNode->pAttrib = static_cast<TvxXMLAttribute *>(safe_malloc(sizeof(TvxXMLAttribute)));
    pNode->pAttrib->lpszName = lpszName;
    pNode->pAttrib->lpszValue = lpszValue;
    return pNode->pAttrib;
}

TvxXMLText *TvxAddText(TvxXMLElement *pEntry, char *lpszValue, int nGrowBy)
{
    TvxXMLNode *pNode = add_node(pEntry, eNodeText, nGrowBy);
    pNode->pText = static_cast<TvxXMLText *>(safe_malloc(sizeof(TvxXMLText)));
    pNode->pText->lpszValue = lpszValue;
    return pNode->pText;
}

TvxXMLClear *TvxAddClear(TvxXMLElement *pEntry, char *lpszValue, const TvxClearTag *pClear,
                         int nGrowBy)
{
    xml_require(pClear != nullptr, "null clear tag");
    TvxXMLNode *pNode = add_node(pEntry, eNodeClear, nGrowBy);
    pNode->pClear = static_cast<TvxXMLClear *>(safe_malloc(sizeof(TvxXMLClear)));
    pNode->pClear->lpszOpenTag = pClear->lpszOpen;
    pNode->pClear->lpszCloseTag = pClear->lpszClose;
    pNode->pClear->lpszValue = lpszValue;
    return pNode->pClear;
}

TvxXMLClear *TvxAddCData(TvxXMLElement *pEntry, char *lpszValue, int nGrowBy)
{
    return TvxAddClear(pEntry, lpszValue, &TvxClearTags[CDATA_ROW], nGrowBy);
}

TvxXMLElement *TvxCreateElements(TvxXMLElement *pEntry, const char *lpszPath)
{
    xml_require(pEntry != nullptr, "null element");
    xml_require(lpszPath != nullptr, "null path");
    while (*lpszPath) {
        const char *pSlash = strchr(lpszPath, '/');
        int cbSegment = static_cast<int>(pSlash ? pSlash - lpszPath : strlen(lpszPath));
        if (cbSegment > 0) { // empty segments ("a//b", a leading '/') are skipped
            char *lpszSegment = copy_string(lpszPath, cbSegment);
            TvxXMLElement *pFound = TvxFindElement(pEntry, lpszSegment);
            if (pFound) {
                free(lpszSegment);
                pEntry = pFound;
            } else {
                pEntry = TvxAddElement(pEntry, lpszSegment, 0, TVX_XML_GROW_BY);
            }
        }
        lpszPath += cbSegment + (pSlash ? 1 : 0);
    }
    return pEntry;
}

char *TvxCreateXMLString(TvxXMLElement *pHead, int nFormat, int *pnSize)
{
    xml_require(pHead != nullptr, "null element");
    XmlWriter measure = {nullptr, 0};
    write_element(&measure, pHead, nFormat, 0, nullptr);
    auto *pszText = static_cast<char *>(safe_malloc(static_cast<size_t>(measure.cbLength) + 1));
    XmlWriter write = {pszText, 0};
    write_element(&write, pHead, nFormat, 0, nullptr);
    write.pOut[write.cbLength] = '\0';
    if (pnSize)
        *pnSize = write.cbLength;
    return write.pOut;
}

const char *TvxGetError(TvxXMLError error)
{
    for (const TvxErrorText *pEntry = TvxErrorList; pEntry->lpszText; pEntry++) {
        if (pEntry->error == error)
            return pEntry->lpszText;
    }
    return UNKNOWN_ERROR_TEXT;
}

const TvxClearTag *TvxGetClearTags() { return TvxClearTags; }
