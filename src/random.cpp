// Random numbers: a thin layer over rand()/srand(); the generator's state is the
// C library's. No operation divides by zero: an empty range or weight set gives
// the documented neutral result.
#include "random.h"
#include "memory.h"

#include <cstdlib>
#include <ctime>

void random_init() { srand(static_cast<unsigned>(time(nullptr))); }
void random_init_seed(int iSeed) { srand(static_cast<unsigned>(iSeed)); }

int random_num(int iMod)
{
    if (iMod == 0)
        return 0;
    return rand() % iMod;
}

int random_range(int iMin, int iMax)
{
    if (iMin > iMax)
        return 0;
    const long long lSpan = static_cast<long long>(iMax) - iMin + 1; // no overflow for any pair
    return static_cast<int>(iMin + rand() % lSpan);
}

// Draws r in [0, total) and walks the weights while r stays positive, so r = 0
// gives -1 and the last index gets one value fewer than its weight; the item
// bar takes -1 as "no item". A total of zero or less gives -1 without drawing.
int weighted_random(int iNum, const int *aiWeight)
{
    long long lTotal = 0;
    for (int i = 0; i < iNum; i++)
        lTotal += aiWeight[i];
    if (lTotal <= 0)
        return -1;
    long long r = rand() % lTotal;
    int i = 0;
    while (r > 0 && i < iNum) {
        r -= aiWeight[i];
        i++;
    }
    return i - 1;
}

// Every position in turn is swapped with a position drawn from the whole array.
void randomize_array(int iNum, int *aiArray)
{
    for (int i = 0; i < iNum; i++)
        int_swap(&aiArray[i], &aiArray[rand() % iNum]);
}
