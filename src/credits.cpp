// The credits slide show. Every page is drawn whole into the back buffer and
// brought to the screen with a fade; a key shortens the wait of the page on
// show only, so the show always runs to its end.
#include "credits.h"
#include "fade.h"
#include "grabber_functions.h"
#include "language_conf.h"
#include "main.h"
#include "stXMLParser.h"
#include "tfont.h"
#include "utils.h"

#include <algorithm>
#include <allegro.h>
#include <cstdio>

namespace {
constexpr const char *BACKGROUND_DATAFILE = "data/tx04.dat";
constexpr const char *PERSON_BACKGROUND = "CREDITS1"; // the two-person pages
constexpr const char *TEXT_BACKGROUND = "CREDITS2";   // the text pages
constexpr int TITLE_FONT = 0;
constexpr int TEXT_FONT = 1;

constexpr int PERSON_PAGES = 4;        // pages of two entries, 0 and 1 up to 6 and 7
constexpr int LOGO_ENTRY = 12;         // the closing logo's entry
constexpr int TRIO_FIRST = 8;          // the three-entry page: entries 8, 9 and 10
constexpr int TRIO_SIZE = 3;
constexpr int THANKS_ENTRY = 11;       // the last text page's entry
constexpr int PAGE_TIME = 8000;        // ms a page stays unless a key ends it
constexpr int MAX_FADE_TIME = 5000;    // ms: a longer fade in the document is cut to this

// The two-person pages: the upper entry at the top left, the lower one at the bottom right.
constexpr int UPPER_PICTURE_XY = 10;   // px, both coordinates
constexpr int UPPER_TEXT_X = 270;
constexpr int UPPER_NAME_Y = 55;
constexpr int UPPER_LINES_SPAN = 235;  // px the upper lines are centred in, from UPPER_LINES_TOP
constexpr int UPPER_LINES_TOP = 40;
constexpr int LOWER_TEXT_RIGHT_X = 510;
constexpr int LOWER_NAME_Y = 365;
constexpr int LOWER_LINES_SPAN = 225;
constexpr int LOWER_LINES_TOP = 350;
constexpr int LOWER_PICTURE_MARGIN = 10; // px from the right and bottom edges
constexpr int LINE_HEIGHT = 20;        // px a line counts for in the centring
constexpr int PERSON_LINE_STEP = 25;   // px between two lines

// The three-entry page, centred.
constexpr int TRIO_FIRST_NAME_Y = 60;
constexpr int TRIO_NAME_STEP = 60;     // px from one entry's block to the next, besides its lines
constexpr int TRIO_LINES_BELOW_NAME = 40;
constexpr int TRIO_LINE_STEP = 30;

// The thanks page.
constexpr int THANKS_TITLE_SIZE = 40;  // px
constexpr int THANKS_TEXT_SIZE = 30;
constexpr int THANKS_NAME_Y = 80;
constexpr int THANKS_FIRST_LINE_Y = 135;
constexpr int THANKS_LINE_STEP = 50;

constexpr int LOGO_FADE_TIME = 1500;   // ms, the closing logo's fades

// The show's loaded state.
struct CreditsState {
    stCredits atStaff[CREDITS_PEOPLE];
    int iNumPeople = 0;
    TFONT_FONT *afontCredits[2] = {nullptr, nullptr};
    int aiFontSize[2] = {0, 0};
    BITMAP *bmpPersons = nullptr;
    BITMAP *bmpText = nullptr;
};
CreditsState *g_ptCredits = nullptr; // only while the show runs

int black() { return makecol(0, 0, 0); }
int white() { return makecol(255, 255, 255); }

// An entry past the end of the document shows nothing.
const stCredits &entry(int i)
{
    static const stCredits tEmpty = {};
    return i < g_ptCredits->iNumPeople ? g_ptCredits->atStaff[i] : tEmpty;
}

int page_fade_time(int iEntry)
{
    return std::clamp(entry(iEntry).iFadeTime, 0, MAX_FADE_TIME);
}

void load_show()
{
    CreditsState &t = *g_ptCredits;
    stXMLParser *ptParser = open_xml_document(g_tFileLanguageConf.szCredits, TEXT_DATAFILE);
    stCreditsFonts tFonts = {};
    t.iNumPeople = read_credits(ptParser, t.atStaff, &tFonts);
    xmlparser_destroy(ptParser);
    for (int i = 0; i < t.iNumPeople; i++) {
        stCredits &tPerson = t.atStaff[i];
        if (!credits_has_picture(i) || !tPerson.szImage[0])
            continue;
        tPerson.bmpImage = load_bmp_from_dat(tPerson.szImage, tPerson.szImageFile);
        tPerson.iWidth = tPerson.bmpImage->w;
        tPerson.iHeight = tPerson.bmpImage->h;
    }
    for (int f = TITLE_FONT; f <= TEXT_FONT; f++) {
        t.aiFontSize[f] = tFonts.aiSize[f];
        t.afontCredits[f] = load_font_from_dat(tFonts.aszName[f], tFonts.szFile, tFonts.aiSize[f]);
    }
    t.bmpPersons = load_bmp_from_dat(PERSON_BACKGROUND, BACKGROUND_DATAFILE);
    t.bmpText = load_bmp_from_dat(TEXT_BACKGROUND, BACKGROUND_DATAFILE);
}

void free_show()
{
    CreditsState &t = *g_ptCredits;
    for (stCredits &tPerson : t.atStaff)
        if (tPerson.bmpImage)
            destroy_bitmap(tPerson.bmpImage);
    for (TFONT_FONT *ptFont : t.afontCredits)
        tfont_destroy_font(ptFont);
    destroy_bitmap(t.bmpPersons);
    destroy_bitmap(t.bmpText);
}

void draw_upper_person(const stCredits &tPerson)
{
    TFONT_FONT *const *afont = g_ptCredits->afontCredits;
    if (tPerson.bmpImage)
        draw_sprite(g_bmpBuffer, tPerson.bmpImage, UPPER_PICTURE_XY, UPPER_PICTURE_XY);
    tfont_textout_aa(g_bmpBuffer, afont[TITLE_FONT], tPerson.szName, UPPER_TEXT_X, UPPER_NAME_Y,
                     tPerson.aiColor[0]);
    const int iTop = credits_first_line_y(true, tPerson.iNumActivities);
    for (int i = 0; i < tPerson.iNumActivities; i++)
        tfont_textout_aa(g_bmpBuffer, afont[TEXT_FONT], tPerson.aszActivity[i], UPPER_TEXT_X,
                         iTop + i * PERSON_LINE_STEP, tPerson.aiColor[1]);
}

void draw_lower_person(const stCredits &tPerson)
{
    TFONT_FONT *const *afont = g_ptCredits->afontCredits;
    if (tPerson.bmpImage)
        draw_sprite(g_bmpBuffer, tPerson.bmpImage,
                    SCREEN_WIDTH - LOWER_PICTURE_MARGIN - tPerson.iWidth,
                    SCREEN_HEIGHT - LOWER_PICTURE_MARGIN - tPerson.iHeight);
    tfont_textout_right_aa(g_bmpBuffer, afont[TITLE_FONT], tPerson.szName, LOWER_TEXT_RIGHT_X,
                           LOWER_NAME_Y, tPerson.aiColor[0]);
    const int iTop = credits_first_line_y(false, tPerson.iNumActivities);
    for (int i = 0; i < tPerson.iNumActivities; i++)
        tfont_textout_right_aa(g_bmpBuffer, afont[TEXT_FONT], tPerson.aszActivity[i],
                               LOWER_TEXT_RIGHT_X, iTop + i * PERSON_LINE_STEP, tPerson.aiColor[1]);
}

// A name and its lines centred on the screen, with shadows.
void draw_centred_person(const stCredits &tPerson, int iNameY, int iLineY, int iLineStep)
{
    TFONT_FONT *const *afont = g_ptCredits->afontCredits;
    textprintf_centre_shadow(g_bmpBuffer, afont[TITLE_FONT], SCREEN_WIDTH / 2, iNameY,
                             tPerson.aiColor[0], tPerson.szName);
    for (int i = 0; i < tPerson.iNumActivities; i++)
        textprintf_centre_shadow(g_bmpBuffer, afont[TEXT_FONT], SCREEN_WIDTH / 2,
                                 iLineY + i * iLineStep, tPerson.aiColor[1], tPerson.aszActivity[i]);
}

// Fades the buffer in from black, holds it, and fades it out to iOutColour.
void show_page(int iFadeTime, int iOutColour)
{
    fade_from_color(g_bmpBuffer, iFadeTime, 0, 0, black());
    wait_with_music(PAGE_TIME, true);
    fade_to_color(g_bmpBuffer, iFadeTime, 0, 0, iOutColour);
}

void person_pages()
{
    for (int iPage = 0; iPage < PERSON_PAGES; iPage++) {
        blit(g_ptCredits->bmpPersons, g_bmpBuffer, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
        draw_upper_person(entry(2 * iPage));
        draw_lower_person(entry(2 * iPage + 1));
        show_page(page_fade_time(2 * iPage), black());
    }
}

void trio_page()
{
    blit(g_ptCredits->bmpText, g_bmpBuffer, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    const int p = entry(TRIO_FIRST).iNumActivities;
    const int q = entry(TRIO_FIRST + 1).iNumActivities;
    for (int k = 0; k < TRIO_SIZE; k++)
        draw_centred_person(entry(TRIO_FIRST + k), credits_trio_name_y(k, p, q),
                            credits_trio_line_y(k, p, q), TRIO_LINE_STEP);
    show_page(page_fade_time(TRIO_FIRST), black());
}

void thanks_page()
{
    CreditsState &t = *g_ptCredits;
    tfont_set_font_size(t.afontCredits[TITLE_FONT], THANKS_TITLE_SIZE);
    tfont_set_font_size(t.afontCredits[TEXT_FONT], THANKS_TEXT_SIZE);
    blit(t.bmpText, g_bmpBuffer, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    draw_centred_person(entry(THANKS_ENTRY), THANKS_NAME_Y, THANKS_FIRST_LINE_Y, THANKS_LINE_STEP);
    show_page(page_fade_time(THANKS_ENTRY), white());
}

void closing_logo()
{
    clear_to_color(g_bmpBuffer, white());
    const stCredits &tLogo = entry(LOGO_ENTRY);
    if (tLogo.bmpImage)
        draw_sprite(g_bmpBuffer, tLogo.bmpImage, SCREEN_WIDTH / 2 - tLogo.iWidth / 2,
                    SCREEN_HEIGHT / 2 - tLogo.iHeight / 2);
    fade_from_color(g_bmpBuffer, LOGO_FADE_TIME, 0, 0, white());
    wait_with_music(PAGE_TIME, true);
    fade_to_color(g_bmpBuffer, LOGO_FADE_TIME, 0, 0, black());
}

void read_person(stXMLParser *ptParser, stCredits *ptPerson)
{
    xmlparser_copyAttribute(ptParser, "nombre", ptPerson->szName);
    ptPerson->aiColor[0] = xmlparser_getAttributeVal_asColor(ptParser, "color1");
    ptPerson->aiColor[1] = xmlparser_getAttributeVal_asColor(ptParser, "color2");
    ptPerson->iFadeTime = xmlparser_getAttributeVal_asInteger(ptParser, "fade_time");
    ptPerson->iNumActivities = std::clamp(
        xmlparser_getAttributeVal_asInteger(ptParser, "num_actividades"), 0, CREDITS_ACTIVITIES);
    xmlparser_copyAttribute(ptParser, "imagen", ptPerson->szImage);
    xmlparser_copyAttribute(ptParser, "archivo", ptPerson->szImageFile);
    if (!xmlparser_findElement(ptParser, "Actividades")) {
        ptPerson->iNumActivities = 0;
        return;
    }
    for (int i = 0; i < ptPerson->iNumActivities; i++) {
        char szAttribute[16];
        snprintf(szAttribute, sizeof(szAttribute), "Act%d", i + 1);
        xmlparser_copyAttribute(ptParser, szAttribute, ptPerson->aszActivity[i]);
    }
    xmlparser_gotoParent(ptParser);
}
} // namespace

bool credits_has_picture(int i)
{
    return (i >= 0 && i < 2 * PERSON_PAGES) || i == LOGO_ENTRY;
}

int credits_first_line_y(bool bUpper, int n)
{
    if (bUpper)
        return (UPPER_LINES_SPAN - LINE_HEIGHT * n) / 2 + UPPER_LINES_TOP;
    return (LOWER_LINES_SPAN - LINE_HEIGHT * n) / 2 + LOWER_LINES_TOP;
}

int credits_trio_name_y(int k, int p, int q)
{
    const int iLinesBefore = (k >= 1 ? p : 0) + (k >= 2 ? q : 0);
    return TRIO_FIRST_NAME_Y + k * TRIO_NAME_STEP + TRIO_LINE_STEP * iLinesBefore;
}

int credits_trio_line_y(int k, int p, int q)
{
    return credits_trio_name_y(k, p, q) + TRIO_LINES_BELOW_NAME;
}

int read_credits(stXMLParser *ptParser, stCredits atStaff[CREDITS_PEOPLE], stCreditsFonts *ptFonts)
{
    if (!xmlparser_findElement(ptParser, "Staff"))
        return 0;
    xmlparser_copyAttribute(ptParser, "font1", ptFonts->aszName[TITLE_FONT]);
    xmlparser_copyAttribute(ptParser, "font2", ptFonts->aszName[TEXT_FONT]);
    xmlparser_copyAttribute(ptParser, "archivo", ptFonts->szFile);
    ptFonts->aiSize[TITLE_FONT] = xmlparser_getAttributeVal_asInteger(ptParser, "font_size1");
    ptFonts->aiSize[TEXT_FONT] = xmlparser_getAttributeVal_asInteger(ptParser, "font_size2");
    const int iWanted =
        std::clamp(xmlparser_getAttributeVal_asInteger(ptParser, "n_personas"), 0, CREDITS_PEOPLE);
    int iRead = 0;
    for (; iRead < iWanted && xmlparser_findElement(ptParser, "Persona"); iRead++)
    {
        atStaff[iRead] = stCredits{};
        read_person(ptParser, &atStaff[iRead]);
    }
    return iRead;
}

void credits()
{
    CreditsState tState{};
    g_ptCredits = &tState;
    load_show();
    person_pages();
    trio_page();
    thanks_page();
    closing_logo();
    free_show();
    g_ptCredits = nullptr;
}
