// The stages' content: every level's collision text read by the format's rules,
// its figures matching the ones its background draws, and a layout that can be
// played (paddle lanes free, top and bottom closed, a straight lane across, no
// trap for the ball), checked on all 24 level indices.
#include "collision.h"
#include "geometric.h"
#include "headless.h"
#include "level.h"
#include "memory.h"
#include "particle.h"
#include "pong.h"
#include "sound.h"
#include "tables.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {
namespace fs = std::filesystem;

const fs::path ASSETS = fs::path(__FILE__).parent_path().parent_path() / "assets";
constexpr int FIRST_STAGE_DATAFILE = 20; // assets/tx20 holds the first stage

constexpr float FIELD_W = 800, FIELD_H = 600;  // px
constexpr float PADDLE_LANE = 150;             // px from each side edge the paddles need
constexpr float SERVE_X = 400, SERVE_Y = 300;  // px, where every level serves
constexpr float NORMAL_RADIUS = 12;            // px, the normal ball
constexpr float BIG_RADIUS = 20;               // px, the big ball
constexpr float CLEARANCE = BIG_RADIUS + 4;    // px a lane or the serve keeps from any figure
constexpr float MIN_GAP = 2 * BIG_RADIUS + 8;  // px between two separate figures
constexpr size_t MAX_TEXT_BYTES = 10240;       // the game's working buffer for a text
constexpr float JOINED = 1e-3f;                // px: end points closer than this are one corner

// The snowmen of guante's third level: circles of this radius whose centres
// fall anywhere in these ranges.
constexpr float SNOWMAN_RADIUS = 31;
constexpr float SNOWMAN_X[6][2] = {{105, 125}, {223, 243}, {341, 361}, {459, 479}, {577, 597}, {695, 715}};
constexpr float SNOWMAN_Y[3][2] = {{104, 143}, {283, 322}, {462, 501}};

// The figures of one level, in the order of their lines.
struct stFigures {
    std::vector<stSegment> vSegments;
    std::vector<stCircle> vCircles;
};

std::string read_file(const fs::path &tPath)
{
    std::ifstream tIn(tPath, std::ios::binary);
    std::ostringstream tAll;
    tAll << tIn.rdbuf();
    return tAll.str();
}

fs::path level_file(int iLevel, const char *pszKind, const char *pszExt)
{
    return ASSETS / ("tx" + std::to_string(FIRST_STAGE_DATAFILE + iLevel / LEVELS_PER_STAGE)) /
           (std::string(pszKind) + std::to_string(iLevel % LEVELS_PER_STAGE) + pszExt);
}

// Splits at any of the delimiters, runs of them counting as one, as strtok does.
std::vector<std::string> split(const std::string &sText, const char *pszDelimiters)
{
    std::vector<std::string> vsOut;
    size_t iPos = sText.find_first_not_of(pszDelimiters);
    while (iPos != std::string::npos) {
        size_t iEnd = sText.find_first_of(pszDelimiters, iPos);
        vsOut.push_back(sText.substr(iPos, iEnd - iPos));
        iPos = iEnd == std::string::npos ? iEnd : sText.find_first_not_of(pszDelimiters, iEnd);
    }
    return vsOut;
}

bool is_integer(const std::string &s)
{
    return std::regex_match(s, std::regex("-?[0-9]+"));
}

// Reads a collision text as strictly as the format allows: the header, a count
// equal to the figure lines that follow, only "Line" and "Circle" records with
// every field present and whole numbers where numbers go. Faults go to psError.
bool read_collision_text(const std::string &sText, stFigures *ptOut, std::string *psError)
{
    std::vector<std::string> vsLines;
    std::istringstream tIn(sText);
    for (std::string sLine; std::getline(tIn, sLine);)
        vsLines.push_back(sLine);
    if (vsLines.size() < 2)
        return *psError = "no header and title lines", false;
    const std::vector<std::string> vsHeader = split(vsLines[0], ";");
    if (vsHeader.size() != 3 || vsHeader[0] != "Tarvelix-level")
        return *psError = "header is not Tarvelix-level;VERSION;COUNT", false;
    if (std::atof(vsHeader[1].c_str()) > 1.0f)
        return *psError = "version above 1.0", false;
    if (!is_integer(vsHeader[2]) || std::atoi(vsHeader[2].c_str()) != int(vsLines.size()) - 2)
        return *psError = "count " + vsHeader[2] + " for " + std::to_string(vsLines.size() - 2) + " figure lines",
               false;
    for (size_t i = 2; i < vsLines.size(); i++) {
        const std::string &sLine = vsLines[i];
        const std::vector<std::string> vsField = split(sLine, ";");
        if (sLine.find(";;") != std::string::npos || sLine.empty() || sLine.back() == ';')
            return *psError = "empty field in: " + sLine, false;
        const bool bLine = !vsField.empty() && vsField[0] == "Line";
        const bool bCircle = !vsField.empty() && vsField[0] == "Circle";
        if (!bLine && !bCircle)
            return *psError = "neither Line nor Circle: " + sLine, false;
        if (vsField.size() != (bLine ? 7u : 6u) ||
            !std::all_of(vsField.begin() + 3, vsField.end(), is_integer))
            return *psError = "fields of: " + sLine, false;
        std::vector<float> v;
        for (size_t k = 3; k < vsField.size(); k++)
            v.push_back(float(std::atoi(vsField[k].c_str())));
        if (bLine)
            ptOut->vSegments.push_back({{v[0], v[1]}, {v[2], v[3]}});
        else
            ptOut->vCircles.push_back({v[2], {v[0], v[1]}});
    }
    return true;
}

// The figures the background draws in its group "colisiones": a polygon's edges
// (closed), a polyline's (open), a circle; in the order they appear.
stFigures read_drawn_figures(const std::string &sSvg)
{
    stFigures tOut;
    const size_t iStart = sSvg.find("<g id=\"colisiones\"");
    if (iStart == std::string::npos)
        return tOut;
    const std::string sGroup = sSvg.substr(iStart, sSvg.find("</g>", iStart) - iStart);
    const std::regex tShape("<(polygon|polyline) points=\"([^\"]*)\"|<circle cx=\"(-?[0-9]+)\" cy=\"(-?[0-9]+)\" r=\"([0-9]+)\"");
    for (std::sregex_iterator it(sGroup.begin(), sGroup.end(), tShape), end; it != end; ++it) {
        const std::smatch &m = *it;
        if (m[3].matched) {
            tOut.vCircles.push_back({std::stof(m[5]), {std::stof(m[3]), std::stof(m[4])}});
            continue;
        }
        std::vector<stPoint> vPoints;
        for (const std::string &sPair : split(m[2], " ")) {
            const std::vector<std::string> vsXY = split(sPair, ",");
            vPoints.push_back({std::stof(vsXY.at(0)), std::stof(vsXY.at(1))});
        }
        const size_t iEdges = m[1] == "polygon" ? vPoints.size() : vPoints.size() - 1;
        for (size_t i = 0; i < iEdges; i++)
            tOut.vSegments.push_back({vPoints[i], vPoints[(i + 1) % vPoints.size()]});
    }
    return tOut;
}

// The numbers of the figures, in order: the counts, x0, y0, x1, y1 of every
// segment, then x, y, r of every circle.
std::vector<float> numbers(const stFigures &t)
{
    std::vector<float> v = {float(t.vSegments.size()), float(t.vCircles.size())};
    for (const stSegment &s : t.vSegments)
        v.insert(v.end(), {s.tPoint0.fX, s.tPoint0.fY, s.tPoint1.fX, s.tPoint1.fY});
    for (const stCircle &c : t.vCircles)
        v.insert(v.end(), {c.tCenter.fX, c.tCenter.fY, c.fRadius});
    return v;
}

// Separate figures: chains of segments that share end points, and each circle
// as a segment of no length at its centre, with its radius.
struct stFigure {
    std::vector<stSegment> vSegments;
    float fRadius; // px, 0 for a chain
};

std::vector<stFigure> group_figures(const stFigures &t)
{
    std::vector<int> viGroup(t.vSegments.size());
    for (size_t i = 0; i < viGroup.size(); i++)
        viGroup[i] = int(i);
    auto root = [&](int i) {
        while (viGroup[i] != i)
            i = viGroup[i];
        return i;
    };
    auto touches = [](const stPoint &a, const stPoint &b) {
        return std::fabs(a.fX - b.fX) < JOINED && std::fabs(a.fY - b.fY) < JOINED;
    };
    for (size_t i = 0; i < t.vSegments.size(); i++)
        for (size_t j = i + 1; j < t.vSegments.size(); j++) {
            const stSegment &a = t.vSegments[i], &b = t.vSegments[j];
            if (touches(a.tPoint0, b.tPoint0) || touches(a.tPoint0, b.tPoint1) || touches(a.tPoint1, b.tPoint0) ||
                touches(a.tPoint1, b.tPoint1))
                viGroup[root(int(j))] = root(int(i));
        }
    std::vector<stFigure> vOut;
    std::vector<int> viRootFigure(t.vSegments.size(), -1);
    for (size_t i = 0; i < t.vSegments.size(); i++) {
        int &iFigure = viRootFigure[root(int(i))];
        if (iFigure < 0) {
            iFigure = int(vOut.size());
            vOut.push_back({{}, 0});
        }
        vOut[iFigure].vSegments.push_back(t.vSegments[i]);
    }
    for (const stCircle &c : t.vCircles)
        vOut.push_back({{{c.tCenter, c.tCenter}}, c.fRadius});
    return vOut;
}

// Distance between the outlines of two figures (0 or less when they meet).
// Every coordinate is whole, so the tests on points of no length are exact.
float figure_distance(const stFigure &a, const stFigure &b)
{
    float fBest = INFINITY;
    for (const stSegment &s : a.vSegments)
        for (const stSegment &u : b.vSegments)
            fBest = std::min({fBest, segment_segment_intersection(&s, &u) ? 0.0f : INFINITY,
                              point_segment_distance(&s, &u.tPoint0, nullptr),
                              point_segment_distance(&s, &u.tPoint1, nullptr),
                              point_segment_distance(&u, &s.tPoint0, nullptr),
                              point_segment_distance(&u, &s.tPoint1, nullptr)});
    return fBest - a.fRadius - b.fRadius;
}

// The smallest distance from a segment, or a point, to any figure.
float clearance(const std::vector<stFigure> &vFigures, const stSegment &s)
{
    float fBest = INFINITY;
    for (const stFigure &f : vFigures)
        fBest = std::min(fBest, figure_distance(f, {{s}, 0}));
    return fBest;
}
float clearance(const std::vector<stFigure> &vFigures, const stPoint &p) { return clearance(vFigures, {p, p}); }

// The figures of a level's collision text, read strictly; a fault in the text
// fails the test. The text itself goes to psText when asked for.
stFigures level_figures(int iLevel, std::string *psText = nullptr)
{
    const fs::path tPath = level_file(iLevel, "COLISION", ".txt");
    const std::string sText = read_file(tPath);
    stFigures t;
    std::string sError;
    EXPECT_TRUE(read_collision_text(sText, &t, &sError)) << tPath << ": " << sError;
    if (psText)
        *psText = sText;
    return t;
}

class StageContentLevel : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        t = level_figures(GetParam(), &sText);
        vFigures = group_figures(t);
    }
    std::string sText;
    stFigures t;
    std::vector<stFigure> vFigures;
};

TEST_P(StageContentLevel, FitsTheGamesLimits)
{
    EXPECT_LT(sText.size(), MAX_TEXT_BYTES);
    EXPECT_LE(t.vSegments.size(), size_t(MAX_LEVEL_SEGMENTS));
    EXPECT_LE(t.vCircles.size(), size_t(MAX_LEVEL_CIRCLES));
    EXPECT_EQ(sText.find('\r'), std::string::npos);
}

// The game's own reader and the background's group "colisiones" give exactly
// the figures of the text, in order.
TEST_P(StageContentLevel, GameReadsAndBackgroundDrawsTheSameFigures)
{
    stLevelBounds *ptLevel = collision_to_level(sText.c_str(), "COLISION");
    stFigures tGame;
    tGame.vSegments.assign(ptLevel->vtSegment, ptLevel->vtSegment + ptLevel->iNumSegments);
    tGame.vCircles.assign(ptLevel->vtCircle, ptLevel->vtCircle + ptLevel->iNumCircles);
    safe_free(&ptLevel);
    EXPECT_EQ(numbers(tGame), numbers(t));
    EXPECT_EQ(numbers(read_drawn_figures(read_file(level_file(GetParam(), "FONDO", ".svg")))), numbers(t));
}

TEST_P(StageContentLevel, EveryFigureLiesInTheFieldAndOutOfThePaddleLanes)
{
    for (const stSegment &s : t.vSegments)
        for (const stPoint &p : {s.tPoint0, s.tPoint1})
            EXPECT_TRUE(p.fX >= PADDLE_LANE && p.fX <= FIELD_W - PADDLE_LANE && p.fY >= 0 && p.fY <= FIELD_H)
                << p.fX << ", " << p.fY;
    for (const stCircle &c : t.vCircles) {
        const float x = c.tCenter.fX, y = c.tCenter.fY, r = c.fRadius;
        EXPECT_TRUE(r > 0 && x - r >= PADDLE_LANE && x + r <= FIELD_W - PADDLE_LANE && y - r >= 0 && y + r <= FIELD_H)
            << x << ", " << y << ", " << r;
    }
}

// Between the paddle lanes nothing leaves through the top or the bottom: every
// column of the field meets a figure above the middle and one below it.
TEST_P(StageContentLevel, WallsCloseTheTopAndTheBottom)
{
    for (float x = PADDLE_LANE; x <= FIELD_W - PADDLE_LANE; x += 1) {
        const stSegment tUp = {{x, FIELD_H / 2}, {x, 0}}, tDown = {{x, FIELD_H / 2}, {x, FIELD_H}};
        bool bUp = false, bDown = false;
        for (const stSegment &s : t.vSegments) {
            bUp = bUp || segment_segment_intersection(&tUp, &s);
            bDown = bDown || segment_segment_intersection(&tDown, &s);
        }
        EXPECT_TRUE(bUp && bDown) << "x " << x;
    }
}

TEST_P(StageContentLevel, ServeSpotAndOneStraightLaneAcrossStayFree)
{
    EXPECT_GE(clearance(vFigures, stPoint{SERVE_X, SERVE_Y}), CLEARANCE);
    float fBest = 0;
    for (float y = 0; y <= FIELD_H; y += 1)
        fBest = std::max(fBest, clearance(vFigures, stSegment{{0, y}, {FIELD_W, y}}));
    EXPECT_GE(fBest, CLEARANCE) << "no horizontal lane from one paddle to the other";
}

// Separate figures leave room for the big ball, so nothing can wedge it.
TEST_P(StageContentLevel, SeparateFiguresLeaveRoomForTheBigBall)
{
    for (size_t i = 0; i < vFigures.size(); i++)
        for (size_t j = i + 1; j < vFigures.size(); j++)
            EXPECT_GE(figure_distance(vFigures[i], vFigures[j]), MIN_GAP) << "figures " << i << " and " << j;
}

INSTANTIATE_TEST_SUITE_P(AllLevels, StageContentLevel, ::testing::Range(0, NUM_LEVEL_INDICES));

// Level 0 is the two walls alone; every next level of a stage has more figures.
TEST(StageContent, ObstaclesGrowWithTheLevel)
{
    auto figure_count = [](int iLevel) { return group_figures(level_figures(iLevel)).size(); };
    for (int iStage = 0; iStage < NUM_LEVELS; iStage++) {
        const int iFirst = LEVELS_PER_STAGE * iStage;
        EXPECT_EQ(figure_count(iFirst), 2u) << "stage " << iStage;
        EXPECT_GT(figure_count(iFirst + 1), figure_count(iFirst)) << "stage " << iStage;
        EXPECT_GT(figure_count(iFirst + 2), figure_count(iFirst + 1)) << "stage " << iStage;
    }
}

// The snowmen of guante's third level appear anywhere in their cells: no figure
// of that level stands where one of them could.
TEST(StageContent, GuanteThirdLevelLeavesTheSnowmenRoom)
{
    const std::vector<stFigure> vFigures = group_figures(level_figures(3 * GUANTE_LEVEL + 2));
    for (const auto &aX : SNOWMAN_X)
        for (const auto &aY : SNOWMAN_Y)
            for (float x = aX[0]; x <= aX[1]; x += 1)
                for (float y = aY[0]; y <= aY[1]; y += 1)
                    ASSERT_GE(clearance(vFigures, stPoint{x, y}), SNOWMAN_RADIUS) << "snowman at " << x << ", " << y;
}

// Stage-only flights: from the serve, at random angles and speeds and in
// frames of random length, the ball bounces off the obstacles as the game
// loads them and as its collision code bounces it, and always reaches a
// paddle lane, never entering a figure nor leaving the field between the lanes.
class StageContentFlight : public HeadlessAllegro {
protected:
    void SetUp() override
    {
        HeadlessAllegro::SetUp();
        init_tables();
        kill_particles();
        iSavedSoundError = bSoundError;
        bSoundError = -1; // the hit sound stays silent
    }
    void TearDown() override
    {
        bSoundError = iSavedSoundError;
        kill_particles();
        HeadlessAllegro::TearDown();
    }
    int iSavedSoundError = 0;
};

TEST_F(StageContentFlight, PropertyEveryFlightReachesAPaddleLane)
{
    constexpr int FLIGHTS = 100;       // per level
    constexpr float MAX_FLIGHT_S = 20; // s before a flight counts as trapped
    constexpr float MAX_ANGLE = 1.05f; // rad from horizontal, about 60 degrees
    std::mt19937 rng(2411);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    for (int iLevel = 0; iLevel < NUM_LEVEL_INDICES; iLevel++) {
        std::string sText;
        const stFigures t = level_figures(iLevel, &sText);
        stLevelBounds *ptBounds = collision_to_level(sText.c_str(), "COLISION");
        for (int iFlight = 0; iFlight < FLIGHTS; iFlight++) {
            stBall b = {};
            b.tCircle.fRadius = iFlight % 2 ? BIG_RADIUS : NORMAL_RADIUS;
            b.fX = SERVE_X;
            b.fY = SERVE_Y;
            const float fAngle = MAX_ANGLE * (2 * unit(rng) - 1) + (iFlight % 4 < 2 ? 0 : 3.14159265f);
            const float fSpeed = 390 + 510 * unit(rng);
            b.fVelX = fSpeed * std::cos(fAngle);
            b.fVelY = fSpeed * std::sin(fAngle);
            for (float fTime = 0; b.fX > PADDLE_LANE && b.fX < FIELD_W - PADDLE_LANE;) {
                ASSERT_LT(fTime, MAX_FLIGHT_S) << "level " << iLevel << " flight " << iFlight << " trapped at "
                                               << b.fX << ", " << b.fY;
                const float fDT = 1.0f / 300 + (1.0f / 60 - 1.0f / 300) * unit(rng);
                b.fPrevX = b.fX;
                b.fPrevY = b.fY;
                b.fX += b.fVelX * fDT;
                b.fY += b.fVelY * fDT;
                b.tCircle.tCenter = {b.fX, b.fY};
                b.tPath = {{b.fPrevX, b.fPrevY}, {b.fX, b.fY}};
                detect_stage_collision(ptBounds, &b, TRUE);
                fTime += fDT;
                // Inside the field, and never a pixel deep in a circle.
                bool bInCircle = false;
                for (const stCircle &c : t.vCircles)
                    bInCircle = bInCircle || std::hypot(b.fX - c.tCenter.fX, b.fY - c.tCenter.fY) < c.fRadius - 1;
                ASSERT_TRUE(b.fY > 0 && b.fY < FIELD_H && !bInCircle)
                    << "level " << iLevel << " flight " << iFlight << " at " << b.fX << ", " << b.fY;
                kill_particles();
            }
        }
        safe_free(&ptBounds);
    }
}
} // namespace
