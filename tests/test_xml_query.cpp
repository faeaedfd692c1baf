// The XML handle: loading, parsing, the cursor's walk over elements and siblings,
// quote removal, the typed reads and their fatal message, and the files.
#include "headless.h"
#include "stXMLParser.h"
#include "stXMLParser_impl.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace {

constexpr int FATAL_STATUS = 255;

// A handle holding the parsed text, with the cursor on the root.
stXMLParser *open_text(const std::string &sText)
{
    stXMLParser *ptParser = xmlparser_create();
    xmlparser_loadFile_from_dat(ptParser, sText.c_str(), static_cast<int>(sText.size()));
    EXPECT_EQ(xmlparser_parserFile(ptParser), 0);
    xmlparser_gotoRoot(ptParser);
    return ptParser;
}

const char *cursor_name(stXMLParser *ptParser)
{
    TvxXMLElement *p = ptParser->_pImpl->_pActualPos;
    return p && p->lpszName ? p->lpszName : "(root)";
}

TEST(XmlQuery, FreshHandleIsEmpty)
{
    stXMLParser *ptParser = xmlparser_create();
    const stXMLParser_impl *p = ptParser->_pImpl;
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->_pszBuffer, nullptr);
    EXPECT_EQ(p->_pRoot, nullptr);
    EXPECT_EQ(p->_pActualPos, nullptr);
    EXPECT_EQ(p->_pReturnPos, nullptr);
    EXPECT_EQ(p->_pAttrPos, nullptr);
    EXPECT_EQ(xmlparser_parserFile(ptParser), 1); // nothing loaded
    xmlparser_destroy(ptParser);
}

TEST(XmlQuery, FindElementWalksARunOfSiblings)
{
    stXMLParser *ptParser = open_text("<escenas><nivel a=1/><nivel a=2/></escenas>");
    EXPECT_EQ(xmlparser_findElement(ptParser, "escenas/nivel"), 1);
    EXPECT_EQ(xmlparser_getAttributeVal_asInteger(ptParser, "a"), 1);
    EXPECT_EQ(xmlparser_findElement(ptParser, "nivel"), 1);
    EXPECT_EQ(xmlparser_getAttributeVal_asInteger(ptParser, "a"), 2);
    EXPECT_EQ(xmlparser_findElement(ptParser, "nivel"), 0);
    EXPECT_EQ(xmlparser_getAttributeVal_asInteger(ptParser, "a"), 2); // cursor stayed
    xmlparser_destroy(ptParser);
}

TEST(XmlQuery, ReadsANumberedListFromItsParent)
{
    stXMLParser *ptParser =
        open_text("<?xml version=\"1.0\"?><ESCENAS><nivel n=0/><nivel n=1/><nivel n=2/>"
                  "<fin/></ESCENAS>");
    EXPECT_EQ(xmlparser_findElement(ptParser, "xml/ESCENAS"), 1);
    int iRead = 0;
    while (xmlparser_findElement(ptParser, "nivel"))
        EXPECT_EQ(xmlparser_getAttributeVal_asInteger(ptParser, "n"), iRead++);
    EXPECT_EQ(iRead, 3);
    xmlparser_destroy(ptParser);
}

struct StepCase {
    const char *pszText;  // document
    const char *pszStart; // path from the root to the starting cursor
    const char *pszFind;  // the search
    int iResult;          // what findElement gives
    const char *pszNow;   // cursor name afterwards
};

class XmlQueryFind : public ::testing::TestWithParam<StepCase> {};

TEST_P(XmlQueryFind, MovesTheCursorOnlyOnSuccess)
{
    const StepCase &c = GetParam();
    stXMLParser *ptParser = open_text(c.pszText);
    if (c.pszStart[0]) {
        ASSERT_EQ(xmlparser_findElement(ptParser, c.pszStart), 1);
    }
    EXPECT_EQ(xmlparser_findElement(ptParser, c.pszFind), c.iResult) << c.pszText;
    EXPECT_STREQ(cursor_name(ptParser), c.pszNow) << c.pszText;
    xmlparser_destroy(ptParser);
}
INSTANTIATE_TEST_SUITE_P(
    Steps, XmlQueryFind,
    ::testing::Values(
        // On "sonidos", "sonido" steps to the next sibling, never into the children.
        StepCase{"<r><sonidos><sonido/></sonidos><sonido2/></r>", "r/sonidos", "sonido", 1,
                 "sonido2"},
        StepCase{"<r><sonidos><sonido/></sonidos></r>", "r/sonidos", "sonido", 0, "sonidos"},
        // A text or a comment between two siblings ends the run.
        StepCase{"<r><n/>texto<n/></r>", "r/n", "n", 0, "n"},
        StepCase{"<r><n/><!-- c --><n/></r>", "r/n", "n", 0, "n"},
        // The next sibling must match too.
        StepCase{"<r><n/><m/><n/></r>", "r/n", "n", 0, "n"},
        // Other names search the children, by path.
        StepCase{"<r><a><b><c/></b></a></r>", "r", "a/b/c", 1, "c"},
        StepCase{"<r><a><b/></a></r>", "r", "a/x", 0, "r"},
        StepCase{"<r><a/></r>", "r", "", 0, "r"},
        StepCase{"<r><a/></r>", "", "r/", 1, "r"},
        StepCase{"<r><a/></r>", "", "/r", 0, "(root)"},
        // A declaration stays open: the document's elements are inside it.
        StepCase{"<?xml version=\"1.0\"?><NIVEL/>", "", "NIVEL", 0, "(root)"},
        StepCase{"<?xml version=\"1.0\"?><NIVEL/>", "", "xml/NIVEL", 1, "NIVEL"}));

TEST(XmlQuery, GotoParentStopsAtTheRoot)
{
    stXMLParser *ptParser = open_text("<a><b/></a>");
    EXPECT_EQ(xmlparser_gotoParent(ptParser), 1);
    EXPECT_STREQ(cursor_name(ptParser), "(root)");
    xmlparser_findElement(ptParser, "a/b");
    EXPECT_EQ(xmlparser_gotoParent(ptParser), 0);
    EXPECT_STREQ(cursor_name(ptParser), "a");
    EXPECT_EQ(xmlparser_gotoParent(ptParser), 0);
    EXPECT_EQ(xmlparser_gotoParent(ptParser), 1);
    EXPECT_STREQ(cursor_name(ptParser), "(root)");
    xmlparser_destroy(ptParser);
}

struct ValueCase {
    const char *pszAttribute; // as written in the start tag
    const char *pszString;    // what the string read gives
};

class XmlQueryString : public ::testing::TestWithParam<ValueCase> {};

TEST_P(XmlQueryString, DropsDoubleQuotesOnly)
{
    stXMLParser *ptParser = open_text(std::string("<a ") + GetParam().pszAttribute + "/>");
    xmlparser_findElement(ptParser, "a");
    EXPECT_STREQ(xmlparser_getAttributeVal_asString(ptParser, "nombre"), GetParam().pszString);
    ASSERT_EQ(xmlparser_findAttribute(ptParser, "nombre"), 1);
    char *pszCopy = xmlparser_getAttributeVal(ptParser);
    EXPECT_STREQ(pszCopy, GetParam().pszString);
    free(pszCopy);
    xmlparser_destroy(ptParser);
}
INSTANTIATE_TEST_SUITE_P(Values, XmlQueryString,
                         ::testing::Values(ValueCase{"nombre=\"rojo\"", "rojo"},
                                           ValueCase{"nombre=a\"b", "ab"},
                                           ValueCase{"nombre='rojo'", "'rojo'"},
                                           ValueCase{"nombre=\"\"", ""},
                                           ValueCase{"nombre", ""},
                                           ValueCase{"nombre='a\"b'", "'ab'"},
                                           ValueCase{"nombres=x", "x"}, // by prefix
                                           ValueCase{"nombre=\"dos palabras\"", "dos palabras"}));

TEST(XmlQuery, LongValuesAreCutTo255Characters)
{
    std::string sLong(300, 'v');
    stXMLParser *ptParser = open_text("<a v=\"" + sLong + "\" w=" + sLong + "/>");
    xmlparser_findElement(ptParser, "a");
    EXPECT_EQ(std::string(xmlparser_getAttributeVal_asString(ptParser, "v")), sLong.substr(0, 255));
    EXPECT_EQ(std::string(xmlparser_getAttributeVal_asString(ptParser, "w")), sLong.substr(0, 255));
    ASSERT_EQ(xmlparser_findAttribute(ptParser, "v"), 1);
    char *pszCopy = xmlparser_getAttributeVal(ptParser);
    EXPECT_EQ(strlen(pszCopy), 255u);
    free(pszCopy);
    xmlparser_destroy(ptParser);
}

TEST(XmlQuery, StringReadsShareOneBuffer)
{
    stXMLParser *ptParser = open_text("<a x=uno y=dos/>");
    xmlparser_findElement(ptParser, "a");
    char *pszFirst = xmlparser_getAttributeVal_asString(ptParser, "x");
    char *pszSecond = xmlparser_getAttributeVal_asString(ptParser, "y");
    EXPECT_EQ(pszFirst, pszSecond);
    EXPECT_STREQ(pszFirst, "dos");
    xmlparser_destroy(ptParser);
}

struct NumberCase {
    const char *pszValue;
    int iBase; // 10 reads with asInteger
    int iExpected;
};

class XmlQueryInteger : public ::testing::TestWithParam<NumberCase> {};

TEST_P(XmlQueryInteger, ConvertsLikeTheCLibrary)
{
    const NumberCase &c = GetParam();
    stXMLParser *ptParser = open_text(std::string("<a v=") + c.pszValue + "/>");
    xmlparser_findElement(ptParser, "a");
    int iValue = c.iBase == 10 ? xmlparser_getAttributeVal_asInteger(ptParser, "v")
                               : xmlparser_getAttributeVal_asIntegerBase(ptParser, "v", c.iBase);
    EXPECT_EQ(iValue, c.iExpected) << c.pszValue << " base " << c.iBase;
    xmlparser_destroy(ptParser);
}
INSTANTIATE_TEST_SUITE_P(Numbers, XmlQueryInteger,
                         ::testing::Values(NumberCase{"12abc", 10, 12},
                                           NumberCase{"\"-7\"", 10, -7},
                                           NumberCase{"\" +42\"", 10, 42},
                                           NumberCase{"abc", 10, 0}, NumberCase{"0x1F", 10, 0},
                                           NumberCase{"99999999999", 10, 2147483647},
                                           NumberCase{"-99999999999", 10, -2147483647 - 1},
                                           NumberCase{"ff", 16, 255}, NumberCase{"0xff", 16, 255},
                                           NumberCase{"101", 2, 5}, NumberCase{"017", 0, 15},
                                           NumberCase{"0x10", 0, 16}, NumberCase{"z", 36, 35}));

TEST(XmlQuery, FloatsUseDecimalConversion)
{
    stXMLParser *ptParser = open_text("<a f=2.5 g=\"-0.125\" h=1e3 i=x j=3.75abc/>");
    xmlparser_findElement(ptParser, "a");
    EXPECT_FLOAT_EQ(xmlparser_getAttributeVal_asFloat(ptParser, "f"), 2.5f);
    EXPECT_FLOAT_EQ(xmlparser_getAttributeVal_asFloat(ptParser, "g"), -0.125f);
    EXPECT_FLOAT_EQ(xmlparser_getAttributeVal_asFloat(ptParser, "h"), 1000.0f);
    EXPECT_FLOAT_EQ(xmlparser_getAttributeVal_asFloat(ptParser, "i"), 0.0f);
    EXPECT_FLOAT_EQ(xmlparser_getAttributeVal_asFloat(ptParser, "j"), 3.75f);
    xmlparser_destroy(ptParser);
}

// Colours are written as 24-bit values in the 24-bit pixel layout of the graphics
// library; a read gives the same colour in the current depth.
const char *const COLOUR_DOCUMENT = "<a rojo=ff0000 verde=\"0x00ff00\" mezcla=123456 x=zz/>";
const struct {
    const char *pszName;
    int iValue;
} kColours[] = {{"rojo", 0xff0000}, {"verde", 0x00ff00}, {"mezcla", 0x123456}, {"x", 0}};

class XmlQueryColor : public HeadlessAllegro {};

TEST_F(XmlQueryColor, HexColoursBecomePixelsOfTheCurrentDepth)
{
    stXMLParser *ptParser = open_text(COLOUR_DOCUMENT);
    xmlparser_findElement(ptParser, "a");
    for (const auto &c : kColours) {
        int iPixel = xmlparser_getAttributeVal_asColor(ptParser, c.pszName);
        EXPECT_EQ(getr(iPixel), getr24(c.iValue)) << c.pszName;
        EXPECT_EQ(getg(iPixel), getg24(c.iValue)) << c.pszName;
        EXPECT_EQ(getb(iPixel), getb24(c.iValue)) << c.pszName;
    }
    xmlparser_destroy(ptParser);
}

class XmlQueryColor24 : public HeadlessAllegro {
protected:
    void SetUp() override { SetUpDepth(24); }
};

TEST_F(XmlQueryColor24, At24BitsTheValueIsThePixel)
{
    stXMLParser *ptParser = open_text(COLOUR_DOCUMENT);
    xmlparser_findElement(ptParser, "a");
    for (const auto &c : kColours)
        EXPECT_EQ(xmlparser_getAttributeVal_asColor(ptParser, c.pszName), c.iValue) << c.pszName;
    xmlparser_destroy(ptParser);
}

TEST(XmlQueryDeathTest, MissingAttributeIsFatalAndPrintedLiterally)
{
    stXMLParser *ptParser = open_text("<a x=1/>");
    xmlparser_findElement(ptParser, "a");
    EXPECT_EXIT(xmlparser_getAttributeVal_asString(ptParser, "velocidad"),
                ::testing::ExitedWithCode(FATAL_STATUS),
                "No se pudo leer velocidad desde el XML\\.");
    EXPECT_EXIT(xmlparser_getAttributeVal_asInteger(ptParser, "100%s%n%d"),
                ::testing::ExitedWithCode(FATAL_STATUS),
                "No se pudo leer 100%s%n%d desde el XML\\.");
    EXPECT_EXIT(xmlparser_getAttributeVal_asFloat(ptParser, "xy"),
                ::testing::ExitedWithCode(FATAL_STATUS), "No se pudo leer xy desde el XML\\.");
    EXPECT_EXIT(xmlparser_getAttributeVal_asColor(ptParser, "color"),
                ::testing::ExitedWithCode(FATAL_STATUS), "No se pudo leer color desde el XML\\.");
    xmlparser_destroy(ptParser);
}

TEST(XmlQueryDeathTest, ParseErrorLeavesNoTreeAndReadsAreFatal)
{
    stXMLParser *ptParser = open_text("<a x=1></b>");
    EXPECT_EQ(ptParser->_pImpl->_pRoot, nullptr);
    EXPECT_EQ(ptParser->_pImpl->_results.error, eXMLErrorUnmatchedEndTag);
    EXPECT_EQ(xmlparser_findElement(ptParser, "a"), 0);
    EXPECT_EQ(xmlparser_findAttribute(ptParser, "x"), 0);
    EXPECT_EQ(xmlparser_gotoParent(ptParser), 1);
    EXPECT_EXIT(xmlparser_getAttributeVal_asInteger(ptParser, "x"),
                ::testing::ExitedWithCode(FATAL_STATUS), "No se pudo leer x desde el XML\\.");
    xmlparser_destroy(ptParser);
}

TEST(XmlQuery, OptionalAttributeThroughFindAttribute)
{
    stXMLParser *ptParser = open_text("<a x=\"1\"/>");
    xmlparser_findElement(ptParser, "a");
    EXPECT_EQ(xmlparser_findAttribute(ptParser, "y"), 0);
    char *pszNone = xmlparser_getAttributeVal(ptParser); // nothing remembered: empty
    EXPECT_STREQ(pszNone, "");
    free(pszNone);
    EXPECT_EQ(xmlparser_findAttribute(ptParser, "x"), 1);
    char *pszValue = xmlparser_getAttributeVal(ptParser);
    EXPECT_STREQ(pszValue, "1");
    free(pszValue);
    xmlparser_destroy(ptParser);
}

TEST(XmlQuery, ParsingAgainReplacesTheTree)
{
    stXMLParser *ptParser = open_text("<a v=1/>");
    xmlparser_findElement(ptParser, "a");
    std::string sNew = "<b v=2/>";
    xmlparser_loadFile_from_dat(ptParser, sNew.c_str(), static_cast<int>(sNew.size()));
    EXPECT_EQ(xmlparser_parserFile(ptParser), 0);
    EXPECT_EQ(ptParser->_pImpl->_pActualPos, nullptr); // nothing points into the old tree
    xmlparser_gotoRoot(ptParser);
    EXPECT_EQ(xmlparser_findElement(ptParser, "b"), 1);
    EXPECT_EQ(xmlparser_getAttributeVal_asInteger(ptParser, "v"), 2);
    xmlparser_destroy(ptParser);
}

TEST(XmlQuery, LoadFromMemoryKeepsATerminatedCopy)
{
    const char aBytes[] = {'<', 'a', ' ', 'v', '=', '7', '/', '>', 'X', 'X'};
    stXMLParser *ptParser = xmlparser_create();
    EXPECT_EQ(xmlparser_loadFile_from_dat(ptParser, aBytes, 8), 0);
    EXPECT_STREQ(ptParser->_pImpl->_pszBuffer, "<a v=7/>");
    EXPECT_NE(ptParser->_pImpl->_pszBuffer, aBytes);
    xmlparser_destroy(ptParser);
}

class XmlQueryFiles : public ::testing::Test {
protected:
    std::string path(const char *pszName) { return ::testing::TempDir() + pszName; }
    static std::string read(const std::string &sPath)
    {
        std::ifstream in(sPath, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
};

TEST_F(XmlQueryFiles, LoadParseAndSaveUnchanged)
{
    const std::string sText =
        "<?xml version=\"1.0\"?>\r\n<ITEMS>\n\t<item nombre=\"bola\"/>\n</ITEMS>\n";
    std::string sIn = path("tvx_xml_in.xml"), sOut = path("tvx_xml_out.xml");
    std::ofstream(sIn, std::ios::binary) << sText;
    stXMLParser *ptParser = xmlparser_create();
    ASSERT_EQ(xmlparser_loadFile(ptParser, sIn.c_str()), 0);
    EXPECT_EQ(xmlparser_parserFile(ptParser), 0);
    xmlparser_gotoRoot(ptParser);
    EXPECT_EQ(xmlparser_findElement(ptParser, "xml/ITEMS/item"), 1);
    EXPECT_STREQ(xmlparser_getAttributeVal_asString(ptParser, "nombre"), "bola");
    EXPECT_EQ(xmlparser_saveFile(ptParser, sOut.c_str()), 0);
    EXPECT_EQ(read(sOut), sText);
    EXPECT_EQ(xmlparser_saveFile(ptParser, "/nonexistent-dir/x.xml"), 1);
    xmlparser_destroy(ptParser);
    remove(sIn.c_str());
    remove(sOut.c_str());
}

TEST_F(XmlQueryFiles, MissingFileEndsTheProgramWithStatusOne)
{
    stXMLParser *ptParser = xmlparser_create();
    EXPECT_EXIT(xmlparser_loadFile(ptParser, "/nonexistent-dir/none.xml"),
                ::testing::ExitedWithCode(1), "");
    xmlparser_destroy(ptParser);
}

} // namespace
