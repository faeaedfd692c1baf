// Time of one stage test over a full obstacle record (200 circles, 200 segments
// spread over the field): a frame in which the ball touches nothing, and a
// frame in which it hits a circle and bounces (sparks and the silent hit sound
// included), against copying the record once with memcpy.
#include "collision.h"
#include "particle.h"
#include "sound.h"
#include "tables.h"

#include <allegro.h>
#include <benchmark/benchmark.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {
constexpr int REPETITIONS = 9;     // runs whose median is reported
constexpr int THROWS = 64;         // ball states cycled through
constexpr float BALL_RADIUS = 12;  // px
constexpr float BALL_SPEED = 900;  // px/s
constexpr float FRAME_TIME = 1.0f / 60; // s
constexpr unsigned SEED = 20261206;

struct stStage {
    std::unique_ptr<stLevelBounds> ptBounds = std::make_unique<stLevelBounds>();
    std::vector<stBall> vMisses; // throws that touch nothing
    std::vector<stBall> vHits;   // throws that hit one circle
};

stBall throw_ball(float qx, float qy, float fAngle)
{
    stBall t = {};
    t.tCircle.fRadius = BALL_RADIUS;
    t.fVelX = BALL_SPEED * std::cos(fAngle);
    t.fVelY = BALL_SPEED * std::sin(fAngle);
    t.fPrevX = qx;
    t.fPrevY = qy;
    t.fX = qx + t.fVelX * FRAME_TIME;
    t.fY = qy + t.fVelY * FRAME_TIME;
    t.tCircle.tCenter = {t.fX, t.fY};
    t.tPath = {{qx, qy}, {t.fX, t.fY}};
    return t;
}

// Obstacles at random over the field, and throws that miss them all or hit one.
const stStage &stage()
{
    static stStage tStage;
    if (!tStage.vMisses.empty())
        return tStage;
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(32);
    init_tables();
    bSoundError = -1;
    std::mt19937 rng(SEED);
    std::uniform_real_distribution<float> x(0, 800), y(0, 600), size(0, 1), turn(0, 6.2831853f);
    stLevelBounds &b = *tStage.ptBounds;
    b.iNumCircles = MAX_LEVEL_CIRCLES;
    for (stCircle &c : b.vtCircle)
        c = {4 + 10 * size(rng), {x(rng), y(rng)}};
    b.iNumSegments = MAX_LEVEL_SEGMENTS;
    for (stSegment &s : b.vtSegment) {
        const float fLength = 10 + 40 * size(rng), fAngle = turn(rng);
        const stPoint a{x(rng), y(rng)};
        s = {a, {a.fX + fLength * std::cos(fAngle), a.fY + fLength * std::sin(fAngle)}};
    }
    while (static_cast<int>(tStage.vMisses.size()) < THROWS) {
        const stBall t = throw_ball(x(rng), y(rng), turn(rng));
        stBall tTest = t;
        if (!detect_stage_collision(&b, &tTest, FALSE))
            tStage.vMisses.push_back(t);
    }
    for (int i = 0; static_cast<int>(tStage.vHits.size()) < THROWS; i++) {
        const stCircle &c = b.vtCircle[i % MAX_LEVEL_CIRCLES];
        const float fAngle = turn(rng);
        const float fFrom = c.fRadius + BALL_RADIUS + BALL_SPEED * FRAME_TIME * 0.5f;
        const stBall t = throw_ball(c.tCenter.fX - fFrom * std::cos(fAngle),
                                    c.tCenter.fY - fFrom * std::sin(fAngle), fAngle);
        stBall tTest = t;
        if (detect_stage_collision(&b, &tTest, FALSE))
            tStage.vHits.push_back(t);
    }
    return tStage;
}

void BM_StageCollisionMiss(benchmark::State &state)
{
    const stStage &s = stage();
    size_t i = 0;
    for (auto _ : state) {
        stBall t = s.vMisses[i++ % s.vMisses.size()];
        benchmark::DoNotOptimize(detect_stage_collision(s.ptBounds.get(), &t, TRUE));
        benchmark::DoNotOptimize(t);
    }
}

// The particle pool is emptied before each run; after the first thousand sparks
// every further hit scans a full pool and places none, as in a busy match.
void BM_StageCollisionHit(benchmark::State &state)
{
    const stStage &s = stage();
    kill_particles();
    size_t i = 0;
    for (auto _ : state) {
        stBall t = s.vHits[i++ % s.vHits.size()];
        benchmark::DoNotOptimize(detect_stage_collision(s.ptBounds.get(), &t, TRUE));
        benchmark::DoNotOptimize(t);
    }
}

void BM_CopyObstacleRecord(benchmark::State &state)
{
    const stStage &s = stage();
    auto ptCopy = std::make_unique<stLevelBounds>();
    for (auto _ : state) {
        std::memcpy(ptCopy.get(), s.ptBounds.get(), sizeof(stLevelBounds));
        benchmark::DoNotOptimize(ptCopy.get());
        benchmark::ClobberMemory();
    }
}

BENCHMARK(BM_StageCollisionMiss)->Unit(benchmark::kNanosecond)->Repetitions(REPETITIONS)->ReportAggregatesOnly(true);
BENCHMARK(BM_StageCollisionHit)->Unit(benchmark::kNanosecond)->Repetitions(REPETITIONS)->ReportAggregatesOnly(true);
BENCHMARK(BM_CopyObstacleRecord)->Unit(benchmark::kNanosecond)->Repetitions(REPETITIONS)->ReportAggregatesOnly(true);
} // namespace
