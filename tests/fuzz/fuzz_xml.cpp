// Fuzz target for the document parser. No input may crash it or trip a sanitizer;
// a refused input must say why and where; an accepted one, written out (plain and
// formatted) and parsed again, must give the same tree. Anything else aborts.
#include "TvxXML.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// A missing string and an empty one are alike: the writer writes an attribute
// with either as its bare name.
bool same_string(const char *pszA, const char *pszB)
{
    return strcmp(pszA ? pszA : "", pszB ? pszB : "") == 0;
}

// Same names, entries, order and parent links. The declaration mark is not
// compared: the writer writes declarations as ordinary elements.
bool same_tree(const TvxXMLElement *pA, const TvxXMLElement *pB)
{
    if (!same_string(pA->lpszName, pB->lpszName) || pA->nSize != pB->nSize ||
        pA->nSize > pA->nMax || pB->nSize > pB->nMax)
        return false;
    for (int i = 0; i < pA->nSize; i++) {
        const TvxXMLNode &a = pA->pEntries[i];
        const TvxXMLNode &b = pB->pEntries[i];
        if (a.type != b.type)
            return false;
        switch (a.type) {
        case eNodeAttribute:
            if (!same_string(a.pAttrib->lpszName, b.pAttrib->lpszName) ||
                !same_string(a.pAttrib->lpszValue, b.pAttrib->lpszValue))
                return false;
            break;
        case eNodeElement:
            if (a.pElement->pParent != pA || b.pElement->pParent != pB ||
                !same_tree(a.pElement, b.pElement))
                return false;
            break;
        case eNodeText:
            if (strcmp(a.pText->lpszValue, b.pText->lpszValue) != 0)
                return false;
            break;
        case eNodeClear:
            if (strcmp(a.pClear->lpszOpenTag, b.pClear->lpszOpenTag) != 0 ||
                strcmp(a.pClear->lpszValue, b.pClear->lpszValue) != 0)
                return false;
            break;
        case eNodeEmpty:
            return false; // never inside the entries in use
        }
    }
    return true;
}

[[noreturn]] void fail(const char *pszWhat, const char *pszText)
{
    fprintf(stderr, "fuzz_xml: %s\n--- text ---\n%s\n--- end ---\n", pszWhat, pszText);
    abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *pData, size_t iSize)
{
    // The parser reads zero-terminated texts: it sees the input up to its first zero.
    std::string sText(reinterpret_cast<const char *>(pData), iSize);
    TvxXMLResults results;
    TvxXMLElement *pRoot = TvxParseXML(sText.c_str(), &results);
    if (!pRoot) {
        if (results.error == eXMLErrorNone || results.nLine < 1 || results.nColumn < 1)
            fail("refused without an error and its position", sText.c_str());
        return 0;
    }
    if (results.error != eXMLErrorNone)
        fail("accepted with an error", sText.c_str());
    for (int nFormat : {0, 1}) {
        int nSize = -1;
        char *pszWritten = TvxCreateXMLString(pRoot, nFormat, &nSize);
        if (static_cast<int>(strlen(pszWritten)) != nSize)
            fail("written size differs from the text", sText.c_str());
        TvxXMLResults again;
        TvxXMLElement *pAgain = TvxParseXML(pszWritten, &again);
        if (!pAgain)
            fail(TvxGetError(again.error), pszWritten);
        if (!same_tree(pRoot, pAgain))
            fail("the written text reads back as another tree", pszWritten);
        TvxDeleteRoot(pAgain);
        free(pszWritten);
    }
    TvxDeleteRoot(pRoot);
    return 0;
}
