// Fuzz target for damaged datafiles: the input is written out as a datafile and
// every loader of grabber_functions reads its objects by the names the seeds'
// datafiles hold. A loader may refuse the file through the fatal message; it must
// not crash, trip a sanitizer, hang or take unbounded memory.
#include "fuzz_support.h"
#include "grabber_functions.h"
#include "memory.h"
#include "sound.h"
#include "tfont.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

constexpr int FONT_HEIGHT = 15; // px

// The objects of the seeds (data/tx09.dat, data/tx08.dat and data/tx15.dat),
// one of each kind and one absent: each is asked for with every loader.
constexpr const char *apszObjects[] = {"POINTER", "BALL", "CAJAS", "MISSING"};

std::string g_sPath; // the datafile every input is written to

void remove_datafile() { unlink(g_sPath.c_str()); }

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz_support::init(true);
    char szTemplate[] = "/tmp/tvx_fuzz_datafile_XXXXXX";
    const int iFile = mkstemp(szTemplate);
    if (iFile < 0)
        abort();
    close(iFile);
    g_sPath = szTemplate;
    atexit(remove_datafile);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *pData, size_t iSize)
{
    FILE *ptFile = fopen(g_sPath.c_str(), "wb");
    if (!ptFile || fwrite(pData, 1, iSize, ptFile) != iSize || fclose(ptFile) != 0)
        abort();
    const char *pszFile = g_sPath.c_str();
    for (const char *pszObject : apszObjects) {
        fuzz_support::completes([&] {
            int iLength = 0;
            char *pszText = load_txt_from_dat(pszObject, pszFile, &iLength);
            safe_free(&pszText);
        });
        fuzz_support::completes([&] { destroy_bitmap(load_bmp_from_dat(pszObject, pszFile)); });
        fuzz_support::completes([&] { destroy_rle_sprite(load_rle_from_dat(pszObject, pszFile)); });
        fuzz_support::completes(
            [&] { tfont_destroy_font(load_font_from_dat(pszObject, pszFile, FONT_HEIGHT)); });
    }
    return 0;
}
