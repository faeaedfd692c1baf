// Random operations: ranges and the weighted draw's skewed distribution.
#include "support.h"
#include "random.h"


TEST(Random, RangeAndNumStayInBoundsAndEmptyOnesGiveZero)
{
    random_init_seed(7);
    std::map<int, int> mSeen; // every value of a range comes up, and nothing else
    for (int i = 0; i < 1000; i++) {
        EXPECT_EQ(random_range(5, 5), 5);
        mSeen[random_range(-3, 4)]++;
        for (int iMod : {1, 2, 7, 100}) {
            const int n = random_num(iMod);
            EXPECT_TRUE(n >= 0 && n < iMod) << n << " of " << iMod;
        }
    }
    EXPECT_TRUE(mSeen.size() == 8 && mSeen.begin()->first == -3 && mSeen.rbegin()->first == 4);
    // A zero modulus would divide by zero; an empty range leaves the generator where it was.
    EXPECT_EQ(random_num(0), 0);
    random_init_seed(11);
    const int iFirst = rand();
    random_init_seed(11);
    EXPECT_EQ(random_range(6, 5), 0);
    EXPECT_EQ(rand(), iFirst);
}

// r = 0 gives -1 (no item) and the last index gets one value fewer than its
// weight; no weight at all gives -1 instead of a division by zero.
TEST(Random, WeightedDrawGivesMinusOneForZeroAndShortchangesTheLastIndex)
{
    struct Case { std::vector<int> vWeights; std::map<int, double> mExpected; }; // index -> probability
    const Case aCases[] = {
        {{1, 1, 1}, {{-1, 1.0 / 3}, {0, 1.0 / 3}, {1, 1.0 / 3}}}, {{2, 2}, {{-1, 0.25}, {0, 0.5}, {1, 0.25}}},
        {{0, 4}, {{-1, 0.25}, {1, 0.75}}}, {{5}, {{-1, 0.2}, {0, 0.8}}}, {{0, 0, 0}, {{-1, 1.0}}}, {{}, {{-1, 1.0}}},
    };
    constexpr int DRAWS = 60000;
    random_init_seed(42);
    for (const auto &c : aCases) {
        std::map<int, int> mCount;
        for (int i = 0; i < DRAWS; i++)
            mCount[weighted_random(int(c.vWeights.size()), c.vWeights.data())]++;
        for (const auto &[iIndex, iCount] : mCount)
            EXPECT_TRUE(c.mExpected.count(iIndex)) << "unexpected index " << iIndex;
        for (const auto &[iIndex, fP] : c.mExpected)
            EXPECT_NEAR(double(mCount[iIndex]) / DRAWS, fP, 0.015) << "index " << iIndex;
    }
}
