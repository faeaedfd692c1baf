// Fuzz target for the game's documents as the game reads them: the first input
// byte picks a document kind (byte % kind count) and an entry index (byte / kind
// count); the rest is the document, packed into a password-protected datafile at
// the place of data/tx15.dat and read by that document's own loaders. Every other
// datafile is the real one. A loader may refuse the document through the fatal
// message; it must not crash, trip a sanitizer, hang or leak.
#include "ai_functions.h"
#include "ai_personality.h"
#include "ball.h"
#include "credits.h"
#include "fuzz_support.h"
#include "grabber_functions.h"
#include "item.h"
#include "labels.h"
#include "language_conf.h"
#include "menu.h"
#include "paddle.h"
#include "player.h"
#include "pong.h"
#include "select_player.h"
#include "sound_loading.h"
#include "stXMLParser.h"
#include "stage.h"
#include "stage_elements.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <utility>

namespace fs = std::filesystem;

namespace {

constexpr char FUZZED_DATAFILE[] = "tx15.dat"; // the datafile of every document
constexpr int ITEM_COLOR = 0xff8000;           // any bar colour will do
constexpr float FULL_BAR = 100.0f;
constexpr int MENU_FONT_HEIGHT = 15;           // px, as the game loads its two menu fonts

std::string g_sTempDir; // the game directory the target runs in

// One kind of document: the object name its loaders ask for, and a run of them.
struct DocumentKind {
    const char *pszObject;
    void (*pfnRead)(int iIndex);
};

// The language-driven documents are read under the names of the current and of
// every listed language: all of them name the fuzzed object.
void name_language_documents(const char *pszObject)
{
    for (stFileLanguageConf *pt = &g_tFileParcialLanguageConf[0];
         pt != &g_tFileParcialLanguageConf[MAX_LANGUAGES]; pt++) {
        snprintf(pt->szMenu, sizeof(pt->szMenu), "%s", pszObject);
        snprintf(pt->szText, sizeof(pt->szText), "%s", pszObject);
        snprintf(pt->szLabels, sizeof(pt->szLabels), "%s", pszObject);
    }
    stFileLanguageConf &t = g_tFileLanguageConf;
    t = g_tFileParcialLanguageConf[0];
    snprintf(t.szCredits, sizeof(t.szCredits), "%s", pszObject);
    snprintf(t.szScoreLabels, sizeof(t.szScoreLabels), "%s", pszObject);
    t.iNumLanguages = MAX_LANGUAGES;
    g_iLanguage = 0;
}

void read_level(int iIndex)
{
    g_iLevel = iIndex;
    stBall tBall = {};
    fuzz_support::completes([&] { init_ball(&tBall); });
    destroy_ball(&tBall);
    stReactiveAI *ptAI = nullptr;
    fuzz_support::completes([&] { ptAI = init_reactive_ai(iIndex); });
    destroy_reactive_ai(ptAI);
    stPersonality *ptPersonality = nullptr;
    fuzz_support::completes([&] { ptPersonality = init_personality(iIndex); });
    destroy_personality(ptPersonality);
}

void read_character(int iIndex)
{
    stPaddle tPaddle = {};
    fuzz_support::completes([&] { init_paddle(&tPaddle, 0.0f, 0.0f, iIndex); });
    destroy_paddle(&tPaddle);
}

void read_items(int iIndex)
{
    stItem tItems = {};
    fuzz_support::completes([&] { init_items(iIndex % 2, ITEM_COLOR, FULL_BAR, &tItems); });
    destroy_items(&tItems);
}

// Only a stage's last level has elements: iIndex counts stages.
void read_stage_elements(int iIndex)
{
    const int iStage = iIndex * LEVELS_PER_STAGE + LEVELS_PER_STAGE - 1;
    fuzz_support::completes([&] { load_special_elements(iStage); });
    destroy_special_elements();
}

// In the order of the selector byte; the seeds are made with the same order.
// The documents without an entry index are read by the lambdas.
const DocumentKind atKinds[] = {
    {"NIVEL", read_level},
    {"PERSONAJES", read_character},
    {"ITEMS", read_items},
    {"ELEMENTOS_ES", read_stage_elements},
    {"SEL_PERSONAJE", [](int) {
         stSelectScreenPlayer tScreen = {};
         fuzz_support::completes([&] { select_player_screen_load(&tScreen); });
     }},
    {"ESCENAS", [](int) {
         fuzz_support::completes([] { init_scene_selection(); });
         exit_scene_selection();
     }},
    {"SONIDOS", [](int) { fuzz_support::completes([] { init_sound_loading(); }); }},
    {"LENGUAJES", [](int) { fuzz_support::completes([] { init_languages_conf(); }); }},
    {"MENU", [](int) {
         fuzz_support::completes([] { load_menu(g_ptMenu, NUM_GAME_MENUS); });
         destroy_all_menu();
         stMenuText *ptTexts = create_menu_text();
         fuzz_support::completes([&] { load_parcial_language(g_ptParcialMenu, ptTexts); });
         destroy_all_parcial_menu();
         destroy_menu_text(&ptTexts);
     }},
    {"TEXTOS", [](int) {
         stMenuText *ptTexts = create_menu_text();
         fuzz_support::completes([&] { load_menu_text(ptTexts); });
         destroy_menu_text(&ptTexts);
     }},
    {"LABELS", [](int) {
         fuzz_support::completes([] { load_labels(); });
         destroy_all_labels();
         fuzz_support::completes([] { load_parcial_labels(); });
         destroy_parcial_labels();
     }},
    {"MARCADORES", [](int) {
         fuzz_support::completes([] { load_score_labels(); });
         destroy_all_score_labels();
     }},
    {"CREDITOS", [](int) {
         fuzz_support::completes([] {
             stXMLParser *ptParser = open_xml_document(g_tFileLanguageConf.szCredits, TEXT_DATAFILE);
             stCredits atStaff[CREDITS_PEOPLE] = {};
             stCreditsFonts tFonts = {};
             read_credits(ptParser, atStaff, &tFonts);
             xmlparser_destroy(ptParser);
         });
     }},
    {"CAJAS", [](int) {
         fuzz_support::completes([] { load_box(g_ptBox); });
         for (stBox *&ptBox : g_ptBox)
             box_destroy(std::exchange(ptBox, nullptr));
     }},
};
constexpr int NUM_KINDS = static_cast<int>(sizeof(atKinds) / sizeof(atKinds[0]));

// A datafile of one raw object, written with the password set, as dat writes them.
void write_datafile(const char *pszPath, const char *pszObject, const uint8_t *pData, size_t iSize)
{
    PACKFILE *ptFile = pack_fopen(pszPath, F_WRITE_NOPACK);
    if (!ptFile)
        abort();
    const int iNameLength = static_cast<int>(strlen(pszObject));
    pack_mputl(DAT_MAGIC, ptFile);
    pack_mputl(1, ptFile); // objects
    pack_mputl(DAT_PROPERTY, ptFile);
    pack_mputl(DAT_NAME, ptFile);
    pack_mputl(iNameLength, ptFile);
    pack_fwrite(pszObject, iNameLength, ptFile);
    pack_mputl(DAT_DATA, ptFile);
    PACKFILE *ptChunk = pack_fopen_chunk(ptFile, FALSE);
    pack_fwrite(pData, static_cast<long>(iSize), ptChunk);
    ptFile = pack_fclose_chunk(ptChunk);
    pack_fclose(ptFile);
}

void remove_temp_dir() { fs::remove_all(g_sTempDir); }

} // namespace

// The game's directory is copied as links to its datafiles into a fresh one,
// where data/tx15.dat is rewritten for every input.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz_support::init(true);
    // The menus measure their texts with the game's two menu fonts.
    g_Fonts[1] = load_font_from_dat("FUTURA", "data/tx05.dat", MENU_FONT_HEIGHT);
    g_Fonts[0] = load_font_from_dat("CRACKHOUSE", "data/tx05.dat", MENU_FONT_HEIGHT);
    const fs::path tGameData = fs::current_path() / "data";
    char szTemplate[] = "/tmp/tvx_fuzz_documents_XXXXXX";
    if (!mkdtemp(szTemplate))
        abort();
    g_sTempDir = szTemplate;
    atexit(remove_temp_dir);
    fs::create_directory(g_sTempDir + "/data");
    for (const fs::directory_entry &tEntry : fs::directory_iterator(tGameData))
        if (tEntry.path().filename() != FUZZED_DATAFILE)
            fs::create_symlink(tEntry.path(), fs::path(g_sTempDir) / "data" / tEntry.path().filename());
    fs::current_path(g_sTempDir);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *pData, size_t iSize)
{
    if (iSize < 1)
        return 0;
    const DocumentKind &tKind = atKinds[pData[0] % NUM_KINDS];
    write_datafile(TEXT_DATAFILE, tKind.pszObject, pData + 1, iSize - 1);
    name_language_documents(tKind.pszObject);
    tKind.pfnRead(pData[0] / NUM_KINDS);
    // What a loader had open when it took the fatal path.
    xmlparser_destroy_open();
    return 0;
}
