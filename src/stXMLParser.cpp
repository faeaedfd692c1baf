// The XML handle: owns its implementation record and forwards every operation to
// it. Always: a handle from xmlparser_create has a record until xmlparser_destroy.
#include "stXMLParser.h"
#include "memory.h"
#include "stXMLParser_impl.h"

#include <cstdio>
#include <cstdlib>
#include <unordered_set>

namespace {
// Every handle created and not yet destroyed, for xmlparser_destroy_open.
std::unordered_set<stXMLParser *> g_setOpen;

// A null handle is a programming error of the caller: say so and stop.
stXMLParser_impl *impl_of(stXMLParser *ptParser)
{
    if (!ptParser || !ptParser->_pImpl) {
        fputs("stXMLParser: null handle\n", stderr);
        abort();
    }
    return ptParser->_pImpl;
}
} // namespace

stXMLParser *xmlparser_create()
{
    auto *ptParser = static_cast<stXMLParser *>(safe_malloc(sizeof(stXMLParser)));
    ptParser->_pImpl = xmlparser_impl_create();
    g_setOpen.insert(ptParser);
    return ptParser;
}

int xmlparser_loadFile(stXMLParser *ptParser, const char *pszPath)
{
    return xmlparser_impl_loadFile(impl_of(ptParser), pszPath);
}

int xmlparser_loadFile_from_dat(stXMLParser *ptParser, const char *pData, int iLength)
{
    return xmlparser_impl_loadFile_from_dat(impl_of(ptParser), pData, iLength);
}

int xmlparser_saveFile(stXMLParser *ptParser, const char *pszPath)
{
    return xmlparser_impl_saveFile(impl_of(ptParser), pszPath);
}

int xmlparser_parserFile(stXMLParser *ptParser)
{
    return xmlparser_impl_parserFile(impl_of(ptParser));
}

int xmlparser_gotoRoot(stXMLParser *ptParser)
{
    return xmlparser_impl_gotoRoot(impl_of(ptParser));
}

int xmlparser_gotoParent(stXMLParser *ptParser)
{
    return xmlparser_impl_gotoParent(impl_of(ptParser));
}

int xmlparser_findElement(stXMLParser *ptParser, const char *pszName)
{
    return xmlparser_impl_findElement(impl_of(ptParser), pszName);
}

int xmlparser_findAttribute(stXMLParser *ptParser, const char *pszName)
{
    return xmlparser_impl_findAttribute(impl_of(ptParser), pszName);
}

char *xmlparser_getAttributeVal(stXMLParser *ptParser)
{
    return xmlparser_impl_getAttributeVal(impl_of(ptParser));
}

char *xmlparser_getAttributeVal_asString(stXMLParser *ptParser, const char *pszName)
{
    return xmlparser_impl_getAttributeVal_asString(impl_of(ptParser), pszName);
}

float xmlparser_getAttributeVal_asFloat(stXMLParser *ptParser, const char *pszName)
{
    return xmlparser_impl_getAttributeVal_asFloat(impl_of(ptParser), pszName);
}

int xmlparser_getAttributeVal_asInteger(stXMLParser *ptParser, const char *pszName)
{
    return xmlparser_impl_getAttributeVal_asInteger(impl_of(ptParser), pszName);
}

int xmlparser_getAttributeVal_asIntegerBase(stXMLParser *ptParser, const char *pszName, int iBase)
{
    return xmlparser_impl_getAttributeVal_asIntegerBase(impl_of(ptParser), pszName, iBase);
}

int xmlparser_getAttributeVal_asColor(stXMLParser *ptParser, const char *pszName)
{
    return xmlparser_impl_getAttributeVal_asColor(impl_of(ptParser), pszName);
}

void xmlparser_setDocumentName(stXMLParser *ptParser, const char *pszName)
{
    xmlparser_impl_setDocumentName(impl_of(ptParser), pszName);
}

void xmlparser_destroy(stXMLParser *ptParser)
{
    xmlparser_impl_destroy(impl_of(ptParser));
    ptParser->_pImpl = nullptr;
    g_setOpen.erase(ptParser);
    free(ptParser);
}

void xmlparser_destroy_open()
{
    while (!g_setOpen.empty())
        xmlparser_destroy(*g_setOpen.begin());
}
