// The XML handle's implementation: owns the loaded text and the tree parsed from
// it, and the one buffer that string reads give back. Always: the cursor, the last
// search result and the remembered attribute point into the current tree or are null.
#include "stXMLParser_impl.h"
#include "memory.h"
#include "utils.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

namespace {
// The missing attribute and the document that lacks it ("" while unnamed).
constexpr const char *MISSING_ATTRIBUTE_FORMAT = "Falta el atributo %s en el documento %s";
constexpr const char *BAD_NUMBER_FORMAT = "El valor de %s no es un número válido: %s";
// Magnitude no number of the game's documents comes near (the largest is a
// magnet strength of 250000): anything past it, or not finite, is a damaged
// document, never a setting.
constexpr double XML_FLOAT_LIMIT = 1.0e7;
constexpr const char *FILE_MISSING_FORMAT = " File < %s does not exist !!!! \n";
constexpr const char *OPEN_FAILED_TEXT = " Error openning XML file ";
constexpr const char *SAVE_FAILED_TEXT = " Error saving the bloody XML file";
constexpr const char *NOTHING_TO_PARSE_TEXT = "No data to parse. Please load file first!!!\n";
constexpr int MISSING_FILE_EXIT_STATUS = 1;
constexpr int DECIMAL = 10;
constexpr int HEXADECIMAL = 16;
// Room for the missing-attribute message around a name as long as a value and
// a document name.
constexpr int MESSAGE_BUFFER = 2 * XML_ATTRIBUTE_BUFFER + 64; // bytes

// The result of the last string read; the next one overwrites it.
char szAttributeVal[XML_ATTRIBUTE_BUFFER];

// A null record or name is a programming error of the caller: say so and stop.
void impl_require(bool bHolds, const char *pszWhat)
{
    if (bHolds)
        return;
    fprintf(stderr, "stXMLParser: %s\n", pszWhat);
    abort();
}

// The attribute's value without its double quotes into a buffer of
// XML_ATTRIBUTE_BUFFER bytes. A longer value is cut to XML_ATTRIBUTE_BUFFER - 1
// characters rather than overrunning the buffer; no value reads as "".
void copy_value(const TvxXMLAttribute *ptAttr, char *pszOut)
{
    int iLength = 0;
    const char *pszValue = ptAttr ? ptAttr->lpszValue : nullptr;
    for (; pszValue && *pszValue && iLength < XML_ATTRIBUTE_BUFFER - 1; pszValue++) {
        if (*pszValue != '"')
            pszOut[iLength++] = *pszValue;
    }
    pszOut[iLength] = '\0';
}

// Ends the program with the message; the console copy names the document
// and, when its parse failed, where the parse stopped.
[[noreturn]] void fatal_read(const stXMLParser_impl *ptImpl, const char *pszMessage)
{
    char szDetail[MESSAGE_BUFFER] = "";
    if (ptImpl->_szDocument[0] && !ptImpl->_pRoot && ptImpl->_results.error != eXMLErrorNone)
        snprintf(szDetail, sizeof(szDetail), "%s: the document does not parse (line %d, column %d)",
                 ptImpl->_szDocument, ptImpl->_results.nLine, ptImpl->_results.nColumn);
    else if (ptImpl->_szDocument[0] && !strstr(pszMessage, ptImpl->_szDocument))
        snprintf(szDetail, sizeof(szDetail), "in %s", ptImpl->_szDocument);
    error_message_detail(pszMessage, szDetail);
}

// The cursor's attribute pszName, remembered; a missing one ends the program.
const TvxXMLAttribute *require_attribute(stXMLParser_impl *ptImpl, const char *pszName)
{
    if (!xmlparser_impl_findAttribute(ptImpl, pszName)) {
        char szMessage[MESSAGE_BUFFER];
        // The name is an argument of a fixed format, so a '%' in it prints as itself.
        snprintf(szMessage, sizeof(szMessage), MISSING_ATTRIBUTE_FORMAT, pszName, ptImpl->_szDocument);
        fatal_read(ptImpl, szMessage);
    }
    return ptImpl->_pAttrPos;
}

// The C library's long conversion, held to the range of an int.
int to_int(const char *pszText, int iBase)
{
    long lValue = strtol(pszText, nullptr, iBase);
    if (lValue > INT_MAX)
        return INT_MAX;
    if (lValue < INT_MIN)
        return INT_MIN;
    return static_cast<int>(lValue);
}

// Forgets the tree: everything that points into it goes with it.
void drop_tree(stXMLParser_impl *ptImpl)
{
    TvxDeleteRoot(ptImpl->_pRoot);
    ptImpl->_pRoot = nullptr;
    ptImpl->_pActualPos = nullptr;
    ptImpl->_pReturnPos = nullptr;
    ptImpl->_pAttrPos = nullptr;
}

// The element directly after ptElement among its parent's entries, when that is an
// element whose name begins with the cbName bytes of pszName.
TvxXMLElement *next_sibling(TvxXMLElement *ptElement, const char *pszName, size_t cbName)
{
    TvxXMLElement *ptParent = ptElement->pParent;
    if (!ptParent)
        return nullptr;
    for (int i = 0; i + 1 < ptParent->nSize; i++) {
        const TvxXMLNode &node = ptParent->pEntries[i];
        if (node.type != eNodeElement || node.pElement != ptElement)
            continue;
        const TvxXMLNode &next = ptParent->pEntries[i + 1];
        if (next.type == eNodeElement && next.pElement->lpszName &&
            strncmp(next.pElement->lpszName, pszName, cbName) == 0)
            return next.pElement;
        return nullptr;
    }
    return nullptr;
}
} // namespace

stXMLParser_impl *xmlparser_impl_create()
{
    auto *ptImpl = static_cast<stXMLParser_impl *>(safe_calloc(1, sizeof(stXMLParser_impl)));
    ptImpl->_results.error = eXMLErrorNone;
    return ptImpl;
}

int xmlparser_impl_loadFile(stXMLParser_impl *ptImpl, const char *pszPath)
{
    impl_require(ptImpl && pszPath, "null record or path");
    struct stat tInfo;
    if (stat(pszPath, &tInfo) != 0) {
        printf(FILE_MISSING_FORMAT, pszPath);
        exit(MISSING_FILE_EXIT_STATUS);
    }
    FILE *ptFile = fopen(pszPath, "rb");
    if (!ptFile) { // the handle keeps what it had
        fputs(OPEN_FAILED_TEXT, stdout);
        return 1;
    }
    safe_free(&ptImpl->_pszBuffer);
    size_t iSize = static_cast<size_t>(tInfo.st_size);
    ptImpl->_pszBuffer = static_cast<char *>(safe_calloc(iSize + 1, 1));
    size_t iRead = fread(ptImpl->_pszBuffer, 1, iSize, ptFile);
    ptImpl->_pszBuffer[iRead] = '\0';
    fclose(ptFile);
    return 0;
}

int xmlparser_impl_loadFile_from_dat(stXMLParser_impl *ptImpl, const char *pData, int iLength)
{
    impl_require(ptImpl && pData && iLength >= 0, "null record or data, or negative length");
    safe_free(&ptImpl->_pszBuffer);
    ptImpl->_pszBuffer = static_cast<char *>(safe_malloc(static_cast<size_t>(iLength) + 1));
    memcpy(ptImpl->_pszBuffer, pData, static_cast<size_t>(iLength));
    ptImpl->_pszBuffer[iLength] = '\0';
    return 0;
}

int xmlparser_impl_saveFile(stXMLParser_impl *ptImpl, const char *pszPath)
{
    impl_require(ptImpl && pszPath, "null record or path");
    FILE *ptFile = fopen(pszPath, "wb");
    if (!ptFile) {
        fputs(SAVE_FAILED_TEXT, stdout);
        return 1;
    }
    if (ptImpl->_pszBuffer)
        fwrite(ptImpl->_pszBuffer, 1, strlen(ptImpl->_pszBuffer), ptFile);
    fclose(ptFile);
    return 0;
}

int xmlparser_impl_parserFile(stXMLParser_impl *ptImpl)
{
    impl_require(ptImpl != nullptr, "null record");
    if (!ptImpl->_pszBuffer) {
        fputs(NOTHING_TO_PARSE_TEXT, stdout);
        return 1;
    }
    drop_tree(ptImpl); // parsing again must neither leak the old tree nor point into it
    ptImpl->_pRoot = TvxParseXML(ptImpl->_pszBuffer, &ptImpl->_results);
    return 0;
}

int xmlparser_impl_gotoRoot(stXMLParser_impl *ptImpl)
{
    impl_require(ptImpl != nullptr, "null record");
    ptImpl->_pActualPos = ptImpl->_pRoot;
    return 0;
}

int xmlparser_impl_gotoParent(stXMLParser_impl *ptImpl)
{
    impl_require(ptImpl != nullptr, "null record");
    if (!ptImpl->_pActualPos || !ptImpl->_pActualPos->pParent)
        return 1;
    ptImpl->_pActualPos = ptImpl->_pActualPos->pParent;
    return 0;
}

int xmlparser_impl_findElement(stXMLParser_impl *ptImpl, const char *pszName)
{
    impl_require(ptImpl && pszName, "null record or name");
    TvxXMLElement *ptCursor = ptImpl->_pActualPos;
    if (!ptCursor)
        return 0;
    size_t cbName = strlen(pszName);
    if (cbName > 0 && ptCursor->lpszName && strncmp(ptCursor->lpszName, pszName, cbName) == 0)
        ptImpl->_pReturnPos = next_sibling(ptCursor, pszName, cbName);
    else
        ptImpl->_pReturnPos = TvxFindElement(ptCursor, pszName);
    if (!ptImpl->_pReturnPos)
        return 0;
    ptImpl->_pActualPos = ptImpl->_pReturnPos;
    return 1;
}

int xmlparser_impl_findAttribute(stXMLParser_impl *ptImpl, const char *pszName)
{
    impl_require(ptImpl && pszName, "null record or name");
    ptImpl->_pAttrPos =
        ptImpl->_pActualPos ? TvxFindAttribute(ptImpl->_pActualPos, pszName) : nullptr;
    return ptImpl->_pAttrPos ? 1 : 0;
}

char *xmlparser_impl_getAttributeVal(stXMLParser_impl *ptImpl)
{
    impl_require(ptImpl != nullptr, "null record");
    auto *pszValue = static_cast<char *>(safe_malloc(XML_ATTRIBUTE_BUFFER));
    copy_value(ptImpl->_pAttrPos, pszValue);
    return pszValue;
}

char *xmlparser_impl_getAttributeVal_asString(stXMLParser_impl *ptImpl, const char *pszName)
{
    copy_value(require_attribute(ptImpl, pszName), szAttributeVal);
    return szAttributeVal;
}

float xmlparser_impl_getAttributeVal_asFloat(stXMLParser_impl *ptImpl, const char *pszName)
{
    char szValue[XML_ATTRIBUTE_BUFFER];
    copy_value(require_attribute(ptImpl, pszName), szValue);
    const double fValue = strtod(szValue, nullptr);
    if (!std::isfinite(fValue) || std::fabs(fValue) > XML_FLOAT_LIMIT) {
        char szMessage[2 * MESSAGE_BUFFER];
        // Name and value are arguments of a fixed format: a '%' in them prints as itself.
        snprintf(szMessage, sizeof(szMessage), BAD_NUMBER_FORMAT, pszName, szValue);
        fatal_read(ptImpl, szMessage);
    }
    return static_cast<float>(fValue);
}

int xmlparser_impl_getAttributeVal_asInteger(stXMLParser_impl *ptImpl, const char *pszName)
{
    return xmlparser_impl_getAttributeVal_asIntegerBase(ptImpl, pszName, DECIMAL);
}

int xmlparser_impl_getAttributeVal_asIntegerBase(stXMLParser_impl *ptImpl, const char *pszName,
                                                 int iBase)
{
    char szValue[XML_ATTRIBUTE_BUFFER];
    copy_value(require_attribute(ptImpl, pszName), szValue);
    return to_int(szValue, iBase);
}

int xmlparser_impl_getAttributeVal_asColor(stXMLParser_impl *ptImpl, const char *pszName)
{
    return change_color24(
        xmlparser_impl_getAttributeVal_asIntegerBase(ptImpl, pszName, HEXADECIMAL));
}

void xmlparser_impl_setDocumentName(stXMLParser_impl *ptImpl, const char *pszName)
{
    impl_require(ptImpl && pszName, "null record or name");
    snprintf(ptImpl->_szDocument, sizeof(ptImpl->_szDocument), "%s", pszName);
}

void xmlparser_impl_destroy(stXMLParser_impl *ptImpl)
{
    impl_require(ptImpl != nullptr, "null record");
    safe_free(&ptImpl->_pszBuffer);
    drop_tree(ptImpl);
    free(ptImpl);
}
