// Guarded allocation: never null, fatal on failure, safe_free clears the pointer.
#include "support.h"
#include "memory.h"

TEST(Memory, AllocationsAreUsableFreeClearsThePointerAndSwapsExchange)
{
    char *p = static_cast<char *>(safe_malloc(0));
    ASSERT_NE(p, nullptr);
    safe_free(&p);
    EXPECT_EQ(p, nullptr);
    safe_free(&p); // freeing a cleared pointer is harmless
    EXPECT_EQ(p, nullptr);

    int *pi = static_cast<int *>(safe_calloc(16, sizeof(int)));
    EXPECT_EQ(std::count(pi, pi + 16, 0), 16);
    pi = static_cast<int *>(safe_realloc(pi, 1024 * sizeof(int)));
    pi[1023] = 5;
    EXPECT_EQ(pi[0], 0);
    safe_free(&pi);

    char a[] = "left block", b[] = "right side";
    mem_swap(a, b, sizeof(a));
    EXPECT_STREQ(a, "right side");
    EXPECT_STREQ(b, "left block");
    int x = 3, y = -8;
    int_swap(&x, &y);
    EXPECT_TRUE(x == -8 && y == 3);
}

using MemoryDeathTest = ::testing::Test;

TEST_F(MemoryDeathTest, FailedAllocationIsFatal)
{
    const size_t iHuge = SIZE_MAX / 2;
    const char szMessage[] = "Error al crear memoria dinamica\\."; // without the full stop after a reallocation
    EXPECT_EXIT(safe_malloc(iHuge), ::testing::ExitedWithCode(255), szMessage);
    EXPECT_EXIT(safe_calloc(iHuge, 4), ::testing::ExitedWithCode(255), szMessage);
    EXPECT_EXIT(safe_realloc(nullptr, iHuge), ::testing::ExitedWithCode(255), "Error al crear memoria dinamica\\s");
}
