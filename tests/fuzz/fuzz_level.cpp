// Fuzz target for the stages' collision texts: any text either becomes a level
// whose figures fit its record or is refused through the fatal message.
#include "fuzz_support.h"
#include "level.h"
#include "memory.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz_support::init(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *pData, size_t iSize)
{
    // The game reads the text up to its first zero, as the loader hands it over.
    const std::string sText(reinterpret_cast<const char *>(pData), iSize);
    stLevelBounds *ptLevel = nullptr;
    if (!fuzz_support::completes([&] { ptLevel = collision_to_level(sText.c_str(), "FUZZ"); }))
        return 0;
    if (ptLevel->iNumCircles < 0 || ptLevel->iNumCircles > MAX_LEVEL_CIRCLES ||
        ptLevel->iNumSegments < 0 || ptLevel->iNumSegments > MAX_LEVEL_SEGMENTS) {
        fprintf(stderr, "fuzz_level: %d circles, %d segments\n", ptLevel->iNumCircles,
                ptLevel->iNumSegments);
        abort();
    }
    safe_free(&ptLevel);
    return 0;
}
