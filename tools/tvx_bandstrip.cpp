// Band strips: for every character, one hard hit on its band played frame by
// frame at 60 frames a second with the game's own paddle, band and collision
// code on memory bitmaps (the catch, the throw, the tear, the torn band and its
// revival), written four characters to a PNG.
#include "collision.h"
#include "grabber_functions.h"
#include "headless_game.h"
#include "paddle.h"
#include "stXMLParser.h"

#include <cmath>
#include <iterator>

namespace {
constexpr float FRAME = 1.0f / 60;      // s
constexpr float HIT_SPEED = 1200.0f;    // px/s: hard enough to tear every band
constexpr float HIT_ANGLE = 0.08f;      // rad below level
constexpr float HIT_MASS = 1.0f;
constexpr int APPROACH_FRAMES = 3;      // frames of the ball flying in before the catch
constexpr int TORN_FRAMES = 2;          // frames of the torn band before its revival
constexpr int MAX_FRAMES = 64;          // frames of one strip at most
constexpr int CELL_W = 420, CELL_H = 250; // px of one frame
constexpr int PADDLE_X = 170;           // px from the cell's left edge: room for the deepest give
constexpr int COLUMNS = 10;             // frames per row of a character's strip
constexpr int TEXT_SCALE = 2;           // the 8-px font drawn this much larger
constexpr int LABEL_H = 8 * TEXT_SCALE + 4; // px of a frame's label line
constexpr int HEADER_H = 8 * 3 + 8;     // px of a character's name line (font x 3)
constexpr int CHARACTERS_PER_PICTURE = 4;
constexpr int PICTURE_PERCENT = 50;     // scale of the written pictures

const char *const apszStates[] = {"normal",     "collision", "reaction",
                                                    "recovering", "breaking",  "broken",
                                                    "vibrating",  "reviving"};
const char *const apszCharacters[] = {
    "alter_arturito", "alter_camaney", "alter_lenguas", "alter_uayumin", "arturito", "camaney",
    "lenguas",        "uayumin",       "carnal",        "karola",        "guante",   "ojeis",
    "alter_carnal",   "alter_karola",  "alter_guante",  "alter_ojeis"};
static_assert(std::size(apszStates) == NUM_SPRING_STATES);
static_assert(std::size(apszCharacters) == NUM_CHARACTERS);
static_assert(NUM_CHARACTERS % CHARACTERS_PER_PICTURE == 0);

// The band colour as a display shows it: the document's hexadecimal RGB.
int band_color(int iCharacter)
{
    stXMLParser *ptParser = xmlparser_create();
    int iSize = 0;
    load_xml_from_dat(ptParser, "PERSONAJES", "data/tx15.dat", &iSize);
    xmlparser_parserFile(ptParser);
    xmlparser_gotoRoot(ptParser);
    xmlparser_findElement(ptParser, "raiz");
    for (int i = 0; i <= iCharacter; i++)
        xmlparser_findElement(ptParser, "personaje");
    xmlparser_findElement(ptParser, "datos");
    const int iHex = xmlparser_getAttributeVal_asIntegerBase(ptParser, "color", 16);
    xmlparser_destroy(ptParser);
    return makecol((iHex >> 16) & 255, (iHex >> 8) & 255, iHex & 255);
}

// Runs a program found on the PATH; its exit status, or -1.
// Text in the 8-px font, iScale times larger, with its top-left corner at (x, y).
void draw_text(BITMAP *bmpPicture, const char *pszText, int x, int y, int iScale, int iColor)
{
    const int w = text_length(font, pszText), h = text_height(font);
    BITMAP *bmpText = create_bitmap(w, h);
    clear_to_color(bmpText, bitmap_mask_color(bmpText));
    textout_ex(bmpText, font, pszText, 0, 0, iColor, -1);
    masked_stretch_blit(bmpText, bmpPicture, 0, 0, w, h, x, y, w * iScale, h * iScale);
    destroy_bitmap(bmpText);
}

// One frame: the field's edge, the paddle with its band, the ball and a label.
void draw_cell(BITMAP *bmpCell, const stPaddle *ptPaddle, const stBall *ptBall,
               RLE_SPRITE *rleBall, int iFrame)
{
    clear_to_color(bmpCell, makecol(22, 24, 34));
    vline(bmpCell, PADDLE_X, LABEL_H, CELL_H - 1, makecol(44, 48, 64)); // the band's rest line
    draw_paddle(bmpCell, ptPaddle);
    draw_rle_sprite(bmpCell, rleBall, static_cast<int>(ptBall->fX) - rleBall->w / 2,
                    static_cast<int>(ptBall->fY) - rleBall->h / 2);
    char szLabel[48];
    const int iState = ptPaddle->iSpringState;
    snprintf(szLabel, sizeof(szLabel), "%2d %3dms %s", iFrame, static_cast<int>(iFrame * FRAME * 1000),
             iState >= 0 && iState < NUM_SPRING_STATES ? apszStates[iState] : "?");
    draw_text(bmpCell, szLabel, 4, 2, TEXT_SCALE, makecol(230, 230, 230));
    rect(bmpCell, 0, 0, CELL_W - 1, CELL_H - 1, makecol(70, 70, 90));
}

// The frames of one character's hard hit, drawn into a new strip bitmap.
BITMAP *character_strip(int iCharacter, RLE_SPRITE *rleBall)
{
    stPaddle tPaddle = {};
    init_paddle(&tPaddle, PADDLE_X, CELL_H / 2 + LABEL_H / 2, iCharacter);
    tPaddle.iSpringColor = band_color(iCharacter);
    stBall &b = g_tBall;
    b = {};
    b.tCircle.fRadius = static_cast<float>(rleBall->w / 2);
    b.fMass = HIT_MASS;
    b.fVelX = -HIT_SPEED * std::cos(HIT_ANGLE);
    b.fVelY = HIT_SPEED * std::sin(HIT_ANGLE);
    // Placed so that the catch falls on the frame after the approach.
    b.fX = PADDLE_X + b.tCircle.fRadius - b.fVelX * FRAME * (APPROACH_FRAMES + 0.5f);
    b.fY = tPaddle.fY - b.fVelY * FRAME * (APPROACH_FRAMES + 0.5f);

    std::vector<BITMAP *> vCells;
    int iTorn = 0;
    for (int iFrame = 0; iFrame < MAX_FRAMES; iFrame++) {
        // The match's order: the ball moves, the paddle updates, then the catch.
        b.fPrevX = b.fX;
        b.fPrevY = b.fY;
        b.fX += b.fVelX * FRAME;
        b.fY += b.fVelY * FRAME;
        b.tCircle.tCenter = {b.fX, b.fY};
        b.tPath = {{b.fPrevX, b.fPrevY}, {b.fX, b.fY}};
        update_paddle(&tPaddle, FRAME);
        detect_paddle_collision(&tPaddle, &b);
        BITMAP *bmpCell = create_bitmap(CELL_W, CELL_H);
        draw_cell(bmpCell, &tPaddle, &b, rleBall, iFrame);
        vCells.push_back(bmpCell);
        if (tPaddle.iSpringState == SPRING_BROKEN && ++iTorn == TORN_FRAMES) {
            // The point is scored: the match loop revives the band.
            tPaddle.iSpringState = SPRING_REVIVING;
            tPaddle.fDeformedSpringTime = 0;
        }
        if (iTorn >= TORN_FRAMES && tPaddle.iSpringState == SPRING_NORMAL)
            break;
    }
    destroy_paddle(&tPaddle);

    const int iRows = (static_cast<int>(vCells.size()) + COLUMNS - 1) / COLUMNS;
    BITMAP *bmpStrip = create_bitmap(CELL_W * COLUMNS, HEADER_H + CELL_H * iRows);
    clear_to_color(bmpStrip, makecol(10, 10, 14));
    char szHeader[96];
    snprintf(szHeader, sizeof(szHeader), "%d %s: %.0f px/s, mass %.1f", iCharacter,
             apszCharacters[iCharacter], HIT_SPEED, HIT_MASS);
    draw_text(bmpStrip, szHeader, 8, 4, 3, band_color(iCharacter));
    for (size_t i = 0; i < vCells.size(); i++) {
        blit(vCells[i], bmpStrip, 0, 0, static_cast<int>(i % COLUMNS) * CELL_W,
             HEADER_H + static_cast<int>(i / COLUMNS) * CELL_H, CELL_W, CELL_H);
        destroy_bitmap(vCells[i]);
    }
    return bmpStrip;
}

} // namespace

int main(int argc, char **argv)
{
    std::string sOut;
    if (!headless::enter_picture_dirs(argc, argv, &sOut))
        return 2;
    if (!headless::start_allegro("band strip"))
        return 2;
    RLE_SPRITE *rleBall = load_rle_from_dat("BALL", "data/tx08.dat");

    int iPictures = 0;
    for (int iFirst = 0; iFirst < NUM_CHARACTERS; iFirst += CHARACTERS_PER_PICTURE) {
        BITMAP *abmpStrips[CHARACTERS_PER_PICTURE];
        int iHeight = 0;
        for (int i = 0; i < CHARACTERS_PER_PICTURE; i++) {
            abmpStrips[i] = character_strip(iFirst + i, rleBall);
            iHeight += abmpStrips[i]->h;
        }
        BITMAP *bmpPicture = create_bitmap(CELL_W * COLUMNS, iHeight);
        int y = 0;
        for (BITMAP *bmpStrip : abmpStrips) {
            blit(bmpStrip, bmpPicture, 0, 0, 0, y, bmpStrip->w, bmpStrip->h);
            y += bmpStrip->h;
            destroy_bitmap(bmpStrip);
        }
        const std::string sPng = sOut + "/band_strip_" + std::to_string(iFirst) + "-" +
                                 std::to_string(iFirst + CHARACTERS_PER_PICTURE - 1) + ".png";
        const bool bWritten = headless::write_png(bmpPicture, sPng, PICTURE_PERCENT);
        destroy_bitmap(bmpPicture);
        if (!bWritten) {
            fprintf(stderr, "band strip: cannot write %s\n", sPng.c_str());
            return 1;
        }
        iPictures++;
    }
    destroy_rle_sprite(rleBall);
    packfile_password(nullptr);
    printf("Band strips: %d pictures of %d characters in %s\n", iPictures, NUM_CHARACTERS,
           sOut.c_str());
    return 0;
}
