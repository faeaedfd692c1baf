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
#include <functional>
#include <sstream>
#include <string>

namespace {

constexpr int FATAL_STATUS = 255;

// A handle holding the parsed text, its cursor on the root or, given a path, on
// what the path finds; destroyed with the record.
struct Doc {
    explicit Doc(const std::string &sText, const char *pszPath = nullptr) : p(xmlparser_create())
    {
        xmlparser_loadFile_from_dat(p, sText.c_str(), static_cast<int>(sText.size()));
        EXPECT_EQ(xmlparser_parserFile(p), 0);
        xmlparser_gotoRoot(p);
        if (pszPath) {
            EXPECT_EQ(xmlparser_findElement(p, pszPath), 1) << pszPath;
        }
    }
    ~Doc() { xmlparser_destroy(p); }
    const char *cursor() const
    {
        const TvxXMLElement *ptAt = p->_pImpl->_pActualPos;
        return ptAt && ptAt->lpszName ? ptAt->lpszName : "(root)";
    }
    int integer(const char *pszName) { return xmlparser_getAttributeVal_asInteger(p, pszName); }
    std::string string(const char *pszName) { return xmlparser_getAttributeVal_asString(p, pszName); }
    // The remembered attribute's value through the caller-owned copy.
    std::string copy()
    {
        char *psz = xmlparser_getAttributeVal(p);
        std::string s = psz;
        free(psz);
        return s;
    }
    stXMLParser *p;
};

TEST(XmlQuery, FreshHandleHasNothingToParseAndKeepsATerminatedCopyOfWhatIsLoaded)
{
    stXMLParser *ptParser = xmlparser_create();
    EXPECT_EQ(xmlparser_parserFile(ptParser), 1);
    const char aBytes[] = {'<', 'a', ' ', 'v', '=', '7', '/', '>', 'X', 'X'};
    EXPECT_EQ(xmlparser_loadFile_from_dat(ptParser, aBytes, 8), 0);
    EXPECT_STREQ(ptParser->_pImpl->_pszBuffer, "<a v=7/>");
    EXPECT_NE(ptParser->_pImpl->_pszBuffer, aBytes);
    xmlparser_destroy(ptParser);
}

TEST(XmlQuery, RepeatedFindsWalkANumberedListAndStopOnItsLast)
{
    Doc tDoc("<?xml version=\"1.0\"?><ESCENAS><nivel n=0/><nivel n=1/><nivel n=2/><fin/></ESCENAS>",
             "xml/ESCENAS");
    int iRead = 0;
    while (xmlparser_findElement(tDoc.p, "nivel"))
        EXPECT_EQ(tDoc.integer("n"), iRead++);
    EXPECT_EQ(iRead, 3);
    EXPECT_EQ(tDoc.integer("n"), 2); // the failed step left the cursor on the last
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
    Doc tDoc(c.pszText, c.pszStart[0] ? c.pszStart : nullptr);
    EXPECT_EQ(xmlparser_findElement(tDoc.p, c.pszFind), c.iResult) << c.pszText;
    EXPECT_STREQ(tDoc.cursor(), c.pszNow) << c.pszText;
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
    Doc tDoc("<a><b/></a>");
    EXPECT_EQ(xmlparser_gotoParent(tDoc.p), 1);
    EXPECT_STREQ(tDoc.cursor(), "(root)");
    xmlparser_findElement(tDoc.p, "a/b");
    EXPECT_EQ(xmlparser_gotoParent(tDoc.p), 0);
    EXPECT_STREQ(tDoc.cursor(), "a");
    EXPECT_EQ(xmlparser_gotoParent(tDoc.p), 0);
    EXPECT_EQ(xmlparser_gotoParent(tDoc.p), 1);
    EXPECT_STREQ(tDoc.cursor(), "(root)");
}

struct ValueCase {
    const char *pszAttribute; // as written in the start tag
    const char *pszString;    // what the string read gives
};

class XmlQueryString : public ::testing::TestWithParam<ValueCase> {};

TEST_P(XmlQueryString, DropsDoubleQuotesOnly)
{
    Doc tDoc(std::string("<a ") + GetParam().pszAttribute + "/>", "a");
    EXPECT_EQ(tDoc.string("nombre"), GetParam().pszString);
    ASSERT_EQ(xmlparser_findAttribute(tDoc.p, "nombre"), 1);
    EXPECT_EQ(tDoc.copy(), GetParam().pszString);
}
INSTANTIATE_TEST_SUITE_P(
    Values, XmlQueryString,
    ::testing::Values(ValueCase{"nombre=\"rojo\"", "rojo"}, ValueCase{"nombre=a\"b", "ab"},
                      ValueCase{"nombre='rojo'", "'rojo'"}, ValueCase{"nombre=\"\"", ""},
                      ValueCase{"nombre", ""}, ValueCase{"nombre='a\"b'", "'ab'"},
                      ValueCase{"nombres=x", "x"}, // by prefix
                      ValueCase{"nombre=\"dos palabras\"", "dos palabras"}));

TEST(XmlQuery, LongValuesAreCutTo255CharactersAndStringReadsShareOneBuffer)
{
    const std::string sLong(300, 'v');
    Doc tDoc("<a v=\"" + sLong + "\" w=" + sLong + " x=uno y=dos/>", "a");
    EXPECT_EQ(tDoc.string("v"), sLong.substr(0, 255));
    EXPECT_EQ(tDoc.string("w"), sLong.substr(0, 255));
    ASSERT_EQ(xmlparser_findAttribute(tDoc.p, "v"), 1);
    EXPECT_EQ(tDoc.copy(), sLong.substr(0, 255));
    char *pszFirst = xmlparser_getAttributeVal_asString(tDoc.p, "x");
    char *pszSecond = xmlparser_getAttributeVal_asString(tDoc.p, "y");
    EXPECT_EQ(pszFirst, pszSecond);
    EXPECT_STREQ(pszFirst, "dos");
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
    Doc tDoc(std::string("<a v=") + c.pszValue + "/>", "a");
    const int iValue = c.iBase == 10 ? tDoc.integer("v")
                                     : xmlparser_getAttributeVal_asIntegerBase(tDoc.p, "v", c.iBase);
    EXPECT_EQ(iValue, c.iExpected) << c.pszValue << " base " << c.iBase;
}
INSTANTIATE_TEST_SUITE_P(
    Numbers, XmlQueryInteger,
    ::testing::Values(NumberCase{"12abc", 10, 12}, NumberCase{"\"-7\"", 10, -7},
                      NumberCase{"\" +42\"", 10, 42}, NumberCase{"abc", 10, 0},
                      NumberCase{"0x1F", 10, 0}, NumberCase{"99999999999", 10, 2147483647},
                      NumberCase{"-99999999999", 10, -2147483647 - 1}, NumberCase{"ff", 16, 255},
                      NumberCase{"0xff", 16, 255}, NumberCase{"101", 2, 5}, NumberCase{"017", 0, 15},
                      NumberCase{"0x10", 0, 16}, NumberCase{"z", 36, 35}));

TEST(XmlQuery, FloatsUseDecimalConversion)
{
    Doc tDoc("<a f=2.5 g=\"-0.125\" h=1e3 i=x j=3.75abc/>", "a");
    const std::pair<const char *, float> aValues[] = {
        {"f", 2.5f}, {"g", -0.125f}, {"h", 1000.0f}, {"i", 0.0f}, {"j", 3.75f}};
    for (const auto &v : aValues)
        EXPECT_FLOAT_EQ(xmlparser_getAttributeVal_asFloat(tDoc.p, v.first), v.second) << v.first;
}

// Colours are written as 24-bit hexadecimal values in the 24-bit pixel layout
// of the graphics library; a read gives the same colour in the current depth.
class XmlQueryColor : public HeadlessAllegro {};

TEST_F(XmlQueryColor, HexColoursBecomePixelsOfTheCurrentDepth)
{
    Doc tDoc("<a rojo=ff0000 verde=\"0x00ff00\" mezcla=123456 x=zz/>", "a");
    const std::pair<const char *, int> aColours[] = {{"rojo", 0xff0000}, {"verde", 0x00ff00}, {"mezcla", 0x123456}, {"x", 0}};
    for (const auto &[pszName, iValue] : aColours) {
        putpixel(screen, 0, 0, xmlparser_getAttributeVal_asColor(tDoc.p, pszName));
        EXPECT_EQ(pixel_rgb(screen, 0, 0), (Rgb{getr24(iValue), getg24(iValue), getb24(iValue)})) << pszName;
    }
}

// A missing attribute stops the game with its name printed literally; so does
// a damaged number (a level's ball speed of "1e39" or "nan" would make the
// ball vanish and its conversion to int undefined).
TEST(XmlQueryDeathTest, MissingAttributeOrAbsurdFloatIsFatal)
{
    Doc tDoc("<a x=1 v=1e39 n=nan i=-inf b=2e7 ok=-1e7/>", "a");
    const std::string sMissing = "Falta el atributo ", sAbsurd = "El valor de ";
    const struct {
        std::function<void(const char *)> fnRead;
        const char *pszName;
        const std::string &sMessage;
    } atCases[] = {{[&](const char *psz) { xmlparser_getAttributeVal_asString(tDoc.p, psz); }, "velocidad", sMissing},
                   {[&](const char *psz) { tDoc.integer(psz); }, "100%s%n%d", sMissing},
                   {[&](const char *psz) { xmlparser_getAttributeVal_asFloat(tDoc.p, psz); }, "xy", sMissing},
                   {[&](const char *psz) { xmlparser_getAttributeVal_asColor(tDoc.p, psz); }, "color", sMissing},
                   {[&](const char *psz) { xmlparser_getAttributeVal_asFloat(tDoc.p, psz); }, "v", sAbsurd},
                   {[&](const char *psz) { xmlparser_getAttributeVal_asFloat(tDoc.p, psz); }, "n", sAbsurd},
                   {[&](const char *psz) { xmlparser_getAttributeVal_asFloat(tDoc.p, psz); }, "i", sAbsurd},
                   {[&](const char *psz) { xmlparser_getAttributeVal_asFloat(tDoc.p, psz); }, "b", sAbsurd}};
    for (const auto &tCase : atCases)
        EXPECT_EXIT(tCase.fnRead(tCase.pszName), ::testing::ExitedWithCode(FATAL_STATUS),
                    tCase.sMessage + tCase.pszName + (&tCase.sMessage == &sMissing ? " en el documento" : " no es"));
    EXPECT_FLOAT_EQ(xmlparser_getAttributeVal_asFloat(tDoc.p, "ok"), -1.0e7f);
}

// The message names the document that lacks the attribute; the console copy
// says which document failed and, after a failed parse, where the parse stopped.
TEST(XmlQueryDeathTest, ConsoleCopyNamesTheDocumentAndWhereItsParseStopped)
{
    Doc tGood("<a x=1/>", "a");
    xmlparser_setDocumentName(tGood.p, "NIVEL (data/tx15.dat)");
    EXPECT_EXIT(tGood.integer("velocidad"), ::testing::ExitedWithCode(FATAL_STATUS),
                "Falta el atributo velocidad en el documento NIVEL \\(data/tx15\\.dat\\)\n");
    Doc tBroken("<a x=1>\n<b></c>");
    xmlparser_setDocumentName(tBroken.p, "ITEMS (data/tx15.dat)");
    EXPECT_EXIT(tBroken.integer("x"), ::testing::ExitedWithCode(FATAL_STATUS),
                "ITEMS \\(data/tx15\\.dat\\): the document does not parse \\(line 2, column [0-9]+\\)");
}

TEST(XmlQueryDeathTest, ParseErrorLeavesNoTreeAndReadsAreFatal)
{
    Doc tDoc("<a x=1></b>");
    EXPECT_EQ(tDoc.p->_pImpl->_pRoot, nullptr);
    EXPECT_EQ(xmlparser_findElement(tDoc.p, "a"), 0);
    EXPECT_EQ(xmlparser_findAttribute(tDoc.p, "x"), 0);
    EXPECT_EQ(xmlparser_gotoParent(tDoc.p), 1);
    EXPECT_EXIT(tDoc.integer("x"), ::testing::ExitedWithCode(FATAL_STATUS), "Falta el atributo x en el documento");
}

TEST(XmlQuery, OptionalAttributeThroughFindAttribute)
{
    Doc tDoc("<a x=\"1\"/>", "a");
    EXPECT_EQ(xmlparser_findAttribute(tDoc.p, "y"), 0);
    EXPECT_EQ(tDoc.copy(), ""); // nothing remembered: empty
    EXPECT_EQ(xmlparser_findAttribute(tDoc.p, "x"), 1);
    EXPECT_EQ(tDoc.copy(), "1");
}

TEST(XmlQuery, ParsingAgainReplacesTheTree)
{
    Doc tDoc("<a v=1/>", "a");
    const std::string sNew = "<b v=2/>";
    xmlparser_loadFile_from_dat(tDoc.p, sNew.c_str(), static_cast<int>(sNew.size()));
    EXPECT_EQ(xmlparser_parserFile(tDoc.p), 0);
    EXPECT_EQ(tDoc.p->_pImpl->_pActualPos, nullptr); // nothing points into the old tree
    xmlparser_gotoRoot(tDoc.p);
    EXPECT_EQ(xmlparser_findElement(tDoc.p, "b"), 1);
    EXPECT_EQ(tDoc.integer("v"), 2);
}

TEST(XmlQueryFiles, LoadParseAndSaveUnchanged)
{
    const std::string sText =
        "<?xml version=\"1.0\"?>\r\n<ITEMS>\n\t<item nombre=\"bola\"/>\n</ITEMS>\n";
    const std::string sIn = ::testing::TempDir() + "tvx_xml_in.xml";
    const std::string sOut = ::testing::TempDir() + "tvx_xml_out.xml";
    std::ofstream(sIn, std::ios::binary) << sText;
    stXMLParser *ptParser = xmlparser_create();
    ASSERT_EQ(xmlparser_loadFile(ptParser, sIn.c_str()), 0);
    EXPECT_EQ(xmlparser_parserFile(ptParser), 0);
    xmlparser_gotoRoot(ptParser);
    EXPECT_EQ(xmlparser_findElement(ptParser, "xml/ITEMS/item"), 1);
    EXPECT_STREQ(xmlparser_getAttributeVal_asString(ptParser, "nombre"), "bola");
    EXPECT_EQ(xmlparser_saveFile(ptParser, sOut.c_str()), 0);
    std::stringstream tWritten;
    tWritten << std::ifstream(sOut, std::ios::binary).rdbuf();
    EXPECT_EQ(tWritten.str(), sText);
    EXPECT_EQ(xmlparser_saveFile(ptParser, "/nonexistent-dir/x.xml"), 1);
    xmlparser_destroy(ptParser);
    remove(sIn.c_str());
    remove(sOut.c_str());
}

TEST(XmlQueryFilesDeathTest, MissingFileEndsTheProgramWithStatusOne)
{
    stXMLParser *ptParser = xmlparser_create();
    EXPECT_EXIT(xmlparser_loadFile(ptParser, "/nonexistent-dir/none.xml"),
                ::testing::ExitedWithCode(1), "");
    xmlparser_destroy(ptParser);
}

} // namespace
