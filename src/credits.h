// The credits: a slide show of the studio's roles, two to a page with their
// pictures, then two text pages and the closing logo, all read from the
// current language's credits document.
#pragma once
struct BITMAP;
struct _stXMLParser;
typedef struct _stXMLParser stXMLParser;

constexpr int CREDITS_PEOPLE = 13;     // entries of the show
constexpr int CREDITS_ACTIVITIES = 15; // lines of one entry
constexpr int CREDITS_TEXT_SIZE = 256; // bytes of each text, with its zero

// One entry of the show: a name, its lines and, for some, a picture.
typedef struct _stCredits {
    int iWidth;         // px, of the picture
    int iHeight;
    int iNumActivities; // lines in use
    int iFadeTime;      // ms, the fades of the entry's page
    int aiColor[2];     // the name's colour and the lines' colour
    char szName[CREDITS_TEXT_SIZE];
    char aszActivity[CREDITS_ACTIVITIES][CREDITS_TEXT_SIZE];
    char szImage[CREDITS_TEXT_SIZE];     // the picture's object name, and its datafile
    char szImageFile[CREDITS_TEXT_SIZE];
    BITMAP *bmpImage;   // owned; only the entries that carry a picture
} stCredits;

// The two fonts of the show, as the document names them.
typedef struct _stCreditsFonts {
    char aszName[2][CREDITS_TEXT_SIZE]; // title font, text font
    char szFile[CREDITS_TEXT_SIZE];
    int aiSize[2];                      // px
} stCreditsFonts;

// Runs the show to its end; a key shortens only the page on show.
void credits();
// Reads the document under ptParser (its cursor at the root) into atStaff and
// ptFonts, without pictures; gives the number of entries read (at most
// CREDITS_PEOPLE, each with at most CREDITS_ACTIVITIES lines).
int read_credits(stXMLParser *ptParser, stCredits atStaff[CREDITS_PEOPLE], stCreditsFonts *ptFonts);
// Whether entry i carries a picture: the eight of the two-person pages and the closing logo.
bool credits_has_picture(int i);
// The top of the first line of a page's first (bUpper) or second entry with n lines, px.
int credits_first_line_y(bool bUpper, int n);
// The three-entry page: the tops of entry k's name and first line, px, from
// the line counts p and q of its first two entries.
int credits_trio_name_y(int k, int p, int q);
int credits_trio_line_y(int k, int p, int q);
