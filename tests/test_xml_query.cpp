// The XML handle: the typed reads, colours at the current depth, and the fatal
// message of a missing attribute or an absurd number.
#include "datafile_builder.h"
#include "headless.h"
#include "stXMLParser.h"
#include "stXMLParser_impl.h"

#include <unistd.h>

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

// Strings lose their double quotes only (also through the copy of a found
// attribute) and are cut to 255 characters; numbers convert like the C
// library: integers in base 10 unless a base is given, floats in decimal.
TEST(XmlQuery, TypedReadsConvertTheValueAsWritten)
{
    const std::string sLong(300, 'v'), sCut(255, 'v');
    // The attribute "v" as written in the start tag; the read: 's'tring,
    // 'i'nteger, 'f'loat; for integers the base, 10 reading with asInteger.
    struct Case { std::string sAttribute; char cRead; int iBase; std::string sExpected; };
    const Case aCases[] = {
        {"v=\"rojo\"", 's', 0, "rojo"},  {"v=a\"b", 's', 0, "ab"},
        {"v='rojo'", 's', 0, "'rojo'"},  {"v", 's', 0, ""},
        {"vv=x", 's', 0, "x"}, // by prefix
        {"v=\"dos palabras\"", 's', 0, "dos palabras"},
        {"v=\"" + sLong + "\"", 's', 0, sCut}, {"v=" + sLong, 's', 0, sCut},
        {"v=12abc", 'i', 10, "12"},      {"v=\" +42\"", 'i', 10, "42"},
        {"v=0x1F", 'i', 10, "0"},        {"v=99999999999", 'i', 10, "2147483647"},
        {"v=-99999999999", 'i', 10, "-2147483648"},
        {"v=0xff", 'i', 16, "255"},      {"v=101", 'i', 2, "5"},
        {"v=017", 'i', 0, "15"},         {"v=z", 'i', 36, "35"},
        {"v=\"-0.125\"", 'f', 0, "-0.125"}, {"v=1e3", 'f', 0, "1000"},
        {"v=x", 'f', 0, "0"},            {"v=3.75abc", 'f', 0, "3.75"}};
    for (const auto &c : aCases) {
        SCOPED_TRACE(c.sAttribute);
        Doc tDoc("<a " + c.sAttribute + "/>", "a");
        if (c.cRead == 'f') {
            EXPECT_FLOAT_EQ(xmlparser_getAttributeVal_asFloat(tDoc.p, "v"), std::stof(c.sExpected));
        } else if (c.cRead == 'i') {
            EXPECT_EQ(c.iBase == 10 ? tDoc.integer("v") : xmlparser_getAttributeVal_asIntegerBase(tDoc.p, "v", c.iBase),
                      std::stoll(c.sExpected));
        } else {
            EXPECT_EQ(tDoc.string("v"), c.sExpected);
            ASSERT_EQ(xmlparser_findAttribute(tDoc.p, "v"), 1);
            EXPECT_EQ(tDoc.copy(), c.sExpected);
        }
    }
    Doc tDoc("<a x=uno y=dos/>", "a"); // string reads share one buffer
    EXPECT_EQ(xmlparser_getAttributeVal_asString(tDoc.p, "x"), xmlparser_getAttributeVal_asString(tDoc.p, "y"));
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
    const auto fnFloat = [&](const char *psz) { xmlparser_getAttributeVal_asFloat(tDoc.p, psz); };
    struct Case { std::function<void(const char *)> fnRead; const char *pszName; const std::string &sMessage; };
    const Case atCases[] = {
        {[&](const char *psz) { xmlparser_getAttributeVal_asString(tDoc.p, psz); }, "velocidad", sMissing},
        {[&](const char *psz) { tDoc.integer(psz); }, "100%s%n%d", sMissing},
        {fnFloat, "xy", sMissing},
        {[&](const char *psz) { xmlparser_getAttributeVal_asColor(tDoc.p, psz); }, "color", sMissing},
        {fnFloat, "v", sAbsurd},
        {fnFloat, "n", sAbsurd},
        {fnFloat, "i", sAbsurd},
        {fnFloat, "b", sAbsurd}};
    for (const auto &tCase : atCases)
        EXPECT_EXIT(tCase.fnRead(tCase.pszName), ::testing::ExitedWithCode(FATAL_STATUS),
                    tCase.sMessage + tCase.pszName + (&tCase.sMessage == &sMissing ? " en el documento" : " no es"));
    EXPECT_FLOAT_EQ(xmlparser_getAttributeVal_asFloat(tDoc.p, "ok"), -1.0e7f);
}

} // namespace
