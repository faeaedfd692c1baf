// Fuzz target for damaged data, read as the game reads it at start-up: every
// datafile is checked against the build's list of sizes and CRCs before
// anything is loaded from it, and only a datafile that passes reaches the
// loaders. The input's first byte chooses what it damages: even, it replaces
// the datafile of the ball and the pointer (data/tx08.dat, seeded with the
// real one); odd, it replaces the list itself. The rest of the game's data is
// the real one. A refusal is an accepted outcome; a crash, a sanitizer
// report, a hang or unbounded memory is a finding.
#include "data_check.h"
#include "fuzz_support.h"
#include "grabber_functions.h"
#include "memory.h"
#include "tfont.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr int FONT_HEIGHT = 15; // px
constexpr char DAMAGED_DATAFILE[] = "data/tx08.dat";

// The objects of the damaged datafile, one of each kind, and one absent: each
// is asked for with every loader.
constexpr const char *apszObjects[] = {"POINTER", "BALL", "MISSING"};

std::string g_sGameDir; // a scratch copy of the game's data, rewritten per input

void remove_game_dir() { fs::remove_all(g_sGameDir); }

void write_file(const fs::path &tPath, const uint8_t *pData, size_t iSize)
{
    fs::remove(tPath); // the copy, never the real file
    FILE *ptFile = fopen(tPath.c_str(), "wb");
    if (!ptFile || fwrite(pData, 1, iSize, ptFile) != iSize || fclose(ptFile) != 0)
        abort();
}

void restore_file(const char *pszName)
{
    const fs::path tCopy = fs::path(g_sGameDir) / pszName;
    fs::remove(tCopy);
    fs::copy_file(fs::current_path() / pszName, tCopy);
}

void load_everything(const char *pszFile)
{
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
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz_support::init(true); // the game's directory becomes the current one
    char szTemplate[] = "/tmp/tvx_fuzz_datafile_XXXXXX";
    if (!mkdtemp(szTemplate))
        abort();
    g_sGameDir = szTemplate;
    fs::copy(DATA_DIRECTORY, fs::path(g_sGameDir) / DATA_DIRECTORY, fs::copy_options::recursive);
    atexit(remove_game_dir);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *pData, size_t iSize)
{
    if (iSize == 0)
        return 0;
    const bool bList = pData[0] % 2 == 1;
    const char *pszDamaged = bList ? DATA_LIST : DAMAGED_DATAFILE;
    write_file(fs::path(g_sGameDir) / pszDamaged, pData + 1, iSize - 1);
    if (find_data_problem(g_sGameDir).iProblem == DataProblem::NONE)
        load_everything((fs::path(g_sGameDir) / DAMAGED_DATAFILE).c_str());
    restore_file(pszDamaged);
    return 0;
}
