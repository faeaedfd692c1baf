// Random numbers over the C library's generator.
#pragma once

void random_init();              // seeds from the wall clock
void random_init_seed(int iSeed); // seeds for a repeatable run

int random_num(int iMod);               // 0 .. iMod-1 (0 when iMod is 0)
int random_range(int iMin, int iMax);   // iMin .. iMax inclusive; 0 when iMin > iMax
int weighted_random(int iNum, const int *aiWeight); // an index, or -1
void randomize_array(int iNum, int *aiArray);
