// Guarded allocation. None of these functions returns null: a failed request
// ends the program through error_message, which never returns.
#include "memory.h"
#include "utils.h"

#include <cstdlib>
#include <cstring>

namespace {
constexpr const char *ALLOC_FAILED = "Error al crear memoria dinamica.";
constexpr const char *REALLOC_FAILED = "Error al crear memoria dinamica";

// malloc(0) may legitimately give null; asking for one byte keeps "never null" true.
size_t at_least_one(size_t iSize) { return iSize ? iSize : 1; }
} // namespace

void *safe_malloc(size_t iSize)
{
    void *p = malloc(at_least_one(iSize));
    if (!p)
        error_message(ALLOC_FAILED);
    return p;
}

void *safe_calloc(size_t iNumItems, size_t iSize)
{
    void *p = calloc(iNumItems ? iNumItems : 1, at_least_one(iSize));
    if (!p)
        error_message(ALLOC_FAILED);
    return p;
}

void *safe_realloc(void *Block, size_t iSize)
{
    void *p = realloc(Block, at_least_one(iSize));
    if (!p)
        error_message(REALLOC_FAILED);
    return p;
}

void mem_swap(void *pData1, void *pData2, size_t iSize)
{
    void *pTemp = safe_malloc(iSize);
    memcpy(pTemp, pData1, iSize);
    memmove(pData1, pData2, iSize);
    memcpy(pData2, pTemp, iSize);
    free(pTemp);
}

void int_swap(int *pData1, int *pData2)
{
    int iTemp = *pData1;
    *pData1 = *pData2;
    *pData2 = iTemp;
}
