// The document parser: the trees its loose rules build, the nesting bound,
// building and writing back out, and the programming errors that stop it.
#include "support.h"
#include "TvxXML.h"

namespace {

// A compact picture of a tree: element name(entries), declarations marked '?',
// @attribute=value (@attribute alone without a value), [text], {clear section}.
// For round trips the declaration mark is left out and an empty value reads as no
// value, because the writer writes neither.
std::string describe(const TvxXMLElement *pElement, bool bRoundTrip = false)
{
    std::string s = (pElement->nIsDeclaration && !bRoundTrip) ? "?" : "";
    s += pElement->lpszName ? pElement->lpszName : "";
    s += "(";
    for (int i = 0; i < pElement->nSize; i++) {
        const TvxXMLNode &node = pElement->pEntries[i];
        if (i)
            s += " ";
        switch (node.type) {
        case eNodeAttribute:
            s += "@";
            s += node.pAttrib->lpszName;
            if (node.pAttrib->lpszValue && (!bRoundTrip || node.pAttrib->lpszValue[0]))
                s += std::string("=") + node.pAttrib->lpszValue;
            break;
        case eNodeElement:
            s += describe(node.pElement, bRoundTrip);
            break;
        case eNodeText:
            s += std::string("[") + node.pText->lpszValue + "]";
            break;
        case eNodeClear:
            s += std::string("{") + node.pClear->lpszOpenTag + node.pClear->lpszValue +
                 node.pClear->lpszCloseTag + "}";
            break;
        case eNodeEmpty:
            s += "<empty>";
            break;
        }
    }
    return s + ")";
}

// The parsed tree of a text, pictured; "error N" when the parse fails.
std::string parse_describe(const std::string &sText)
{
    TvxXMLResults results;
    TvxXMLElement *pRoot = TvxParseXML(sText.c_str(), &results);
    if (!pRoot)
        return "error " + std::to_string(results.error);
    std::string s = describe(pRoot);
    TvxDeleteRoot(pRoot);
    return s;
}

TEST(XmlParse, LooseRulesBuildTheirTrees)
{
    const std::pair<const char *, const char *> aCases[] = {
        // Elements left open at the end of the text, with their text.
        {"<a><b>text", "(a(b([text])))"}, {"", "()"},
        // Attributes: quotes kept, bare values, no value, spacing around '='.
        {"<a x=\"1\" y=2 z/>", "(a(@x=\"1\" @y=2 @z))"}, {"<a x = \"1\" >", "(a(@x=\"1\"))"},
        {"<a x='it\"s'/>", "(a(@x='it\"s'))"}, {"<a x=1//>", "(a(@x=1/))"}, {"<a x=\"1\"y>", "(a(@x=\"1\" @y))"},
        // Texts: spacing inside kept, around cut; entities and quotes verbatim.
        {"<a>one<b/>two</a>", "(a([one] b() [two]))"}, {"<a>  one  two  </a>", "(a([one  two]))"},
        {"<a>x &amp; y</a>", "(a([x &amp; y]))"}, {"<a>\"quoted <b> text\"</a>", "(a([\"quoted <b> text\"]))"},
        {"<a>\n\t<b/>\n</a>", "(a(b()))"}, {"text <a/>", "([text] a())"},
        // Repeated elements close the current one; a '/', '\r' or other letter does not.
        {"<p>one<p>two</p>", "(p([one]) p([two]))"}, {"<p>one<p/>", "(p([one] p()))"},
        {"<p a=1><p a=2>", "(p(@a=1) p(@a=2))"}, {"<p><p\r>x", "(p(p([x])))"},
        {"<p/ ><p/>", "(p/(p()))"}, {"<p>\n<p\tb/>", "(p() p(@b))"}, {"<ab><a>", "(ab(a()))"},
        {"<p><pq><pq>", "(p(pq()) pq())"}, {"<p><b><p>", "(p(b(p())))"},
        // End tags close up to the element they name, by prefix.
        {"<a><b></a>", "(a(b()))"}, {"<a></ab>", "(a())"}, {"<a><b><c></a>x", "(a(b(c())) [x])"},
        // Clear sections, case-sensitive, raw.
        {"<!---->", "({<!---->})"}, {"<pre>", "(pre())"}, {"<PRE>a<b></PRE>", "({<PRE>a<b></PRE>})"},
        {"<a><![CDATA[<x>]]></a>", "(a({<![CDATA[<x>]]>}))"}, {"<!DOCTYPE html><a/>", "({<!DOCTYPE html>} a())"},
        {"<a>x<!--c-->y</a>", "(a([x] {<!--c-->} [y]))"},
        // Declarations stay open and lose a trailing '?' from attribute names and values.
        {"<?xml version=\"1.0\"?><NIVEL/>", "(?xml(@version=\"1.0\" NIVEL()))"},
        {"<?xml a? b?>", "(?xml(@a? @b))"}, {"<?xml v=?>", "(?xml(@v=))"},
    };
    for (const auto &[pszText, pszTree] : aCases)
        EXPECT_EQ(parse_describe(pszText), pszTree) << pszText;
}

TEST(XmlParse, NestingDepthIsBounded)
{
    auto nested = [](int nDepth) { // alternating names: "<a><a>" would be siblings
        std::string s;
        for (int i = 0; i < nDepth; i++)
            s += i % 2 ? "<b>" : "<a>";
        return s;
    };
    TvxXMLResults results;
    TvxXMLElement *pRoot = TvxParseXML(nested(TVX_XML_MAX_DEPTH).c_str(), &results);
    ASSERT_NE(pRoot, nullptr);
    TvxDeleteRoot(pRoot);
    EXPECT_EQ(TvxParseXML(nested(TVX_XML_MAX_DEPTH + 1).c_str(), &results), nullptr);
    EXPECT_EQ(results.error, eXMLErrorInvalidTag);
    EXPECT_EQ(TvxParseXML(nested(100000).c_str(), &results), nullptr);
}

char *dup(const char *psz) { return strdup(psz); }

TEST(XmlBuild, BuiltTreesWriteWithAndWithoutFormatting)
{
    TvxXMLElement *pRoot = TvxParseXML("<a><b/></a>", nullptr);
    TvxXMLElement *pC = TvxCreateElements(pRoot, "a/b/c");
    EXPECT_EQ(TvxCreateElements(pRoot, "a/b/c"), pC); // found, not created again
    TvxCreateElements(pRoot, "a/bb/");
    TvxXMLElement *pNivel = TvxAddElement(pRoot, dup("NIVEL"), 0, 1);
    TvxAddAttribute(pNivel, dup("nombre"), dup("\"uno\""), 1);
    TvxAddAttribute(pNivel, dup("z"), nullptr, 1);
    TvxXMLElement *pEscena = TvxAddElement(pNivel, dup("escena"), 0, 2);
    TvxAddAttribute(pEscena, dup("a"), dup("1"), 2);
    TvxAddText(pNivel, dup("hola"), 3);
    TvxAddCData(pNivel, dup("c"), 3);
    EXPECT_EQ(pEscena->pParent, pNivel);

    const std::pair<int, const char *> aWritten[] = {
        {0, "<a><b><c/></b><bb/></a><NIVEL nombre=\"uno\" z><escena a=1/>hola<![CDATA[c]]></NIVEL>"},
        {1, "<a>\n\t<b>\n\t\t<c/>\n\t</b>\n\t<bb/>\n</a>\n<NIVEL nombre=\"uno\" z>\n\t<escena a=1/>\n\thola\n"
            "\t<![CDATA[c]]>\n</NIVEL>\n"}};
    for (const auto &[nFormat, pszWritten] : aWritten) {
        int nSize = -1;
        char *psz = TvxCreateXMLString(pRoot, nFormat, &nSize);
        EXPECT_STREQ(psz, pszWritten);
        EXPECT_EQ(nSize, static_cast<int>(strlen(psz)));
        free(psz);
    }
    char *psz = TvxCreateXMLString(pEscena, 0, nullptr);
    EXPECT_STREQ(psz, "<escena a=1/>");
    free(psz);
    TvxDeleteRoot(pRoot);
}

// Random texts from the pieces documents are made of: whatever the parser accepts,
// written out (plain and formatted) and parsed again, gives the same tree.
TEST(XmlRoundTrip, AcceptedTextsSurviveWritingAndReading)
{
    const char *apszPieces[] = {"<", "</", "<?", ">", "/>", "=", " ", "\n", "\r", "\t", "a",
                                "b", "NIVEL", "p", "\"v\"", "'w'", "x", "<!--", "-->",
                                "<![CDATA[", "]]>", "<PRE>", "</PRE>", "?", "/", "!"};
    std::mt19937 rng(20261206);
    std::uniform_int_distribution<size_t> piece(0, std::size(apszPieces) - 1);
    std::uniform_int_distribution<int> length(1, 30);
    int nAccepted = 0;
    for (int nCase = 0; nCase < 40000; nCase++) {
        std::string sText;
        for (int i = length(rng); i > 0; i--)
            sText += apszPieces[piece(rng)];
        TvxXMLElement *pRoot = TvxParseXML(sText.c_str(), nullptr);
        if (!pRoot)
            continue;
        nAccepted++;
        for (int nFormat : {0, 1}) {
            char *psz = TvxCreateXMLString(pRoot, nFormat, nullptr);
            ASSERT_EQ(parse_describe(psz), describe(pRoot, true))
                << "text: " << sText << "\nwritten: " << psz;
            free(psz);
        }
        TvxDeleteRoot(pRoot);
    }
    EXPECT_GT(nAccepted, 2000); // the property was checked on many trees, not a few
}

TEST(XmlDeathTest, ProgrammingErrorsStop)
{
    TvxXMLElement *pRoot = TvxParseXML("<a/>", nullptr);
    EXPECT_STREQ(TvxGetError(eXMLErrorNoMatchingQuote), "Unmatched quote");
    EXPECT_DEATH(TvxFindElement(nullptr, "a"), "null element");
    EXPECT_DEATH(TvxFindElement(pRoot, nullptr), "null path");
    EXPECT_DEATH(TvxFindAttribute(pRoot, nullptr), "null attribute");
    EXPECT_DEATH(TvxAddText(pRoot, dup("x"), 0), "growth step");
    EXPECT_DEATH(TvxCreateXMLString(nullptr, 0, nullptr), "null element");
    TvxDeleteRoot(pRoot);
}

} // namespace
