// Guarded allocation: every call either gives usable memory or ends the
// program through the fatal message.
#pragma once
#include <cstddef>
#include <cstdlib>

void *safe_malloc(size_t iSize);
void *safe_calloc(size_t iNumItems, size_t iSize);
void *safe_realloc(void *Block, size_t iSize);

// Frees *pData when it is set and always clears it. Takes the pointer's address:
// safe_free(&ptBall).
template <typename T> inline void safe_free(T **pData)
{
    free(*pData);
    *pData = nullptr;
}

void mem_swap(void *pData1, void *pData2, size_t iSize);
void int_swap(int *pData1, int *pData2);
