// The build's data check: every document under assets/ parses, and every object a
// document or the code names exists in the datafile it names (a song: on disk).
// Each broken reference prints one line naming who names what where; exit status 1.
#include "TvxXML.h"
#include "credits.h"
#include "item.h"
#include "labels.h"
#include "menu.h"
#include "stage_elements.h"
#include "main.h"
#include "pong.h"
#include "sound_loading.h"
#include "stXMLParser.h"
#include "stXMLParser_impl.h"

#include <allegro.h>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <strings.h>
#include <unistd.h>
#include <vector>

namespace {
namespace fs = std::filesystem;

constexpr int CHECK_COLOR_DEPTH = 32; // bits: bitmaps are loaded as they are stored
constexpr int ATTRIBUTE_NAME_SIZE = 16; // bytes: "sound" and a number

// An object the code loads by a fixed name; screens that load more add them here.
struct stCodeObject {
    const char *pszFile;   // datafile, relative to the game directory
    const char *pszObject; // object name
    const char *pszUser;   // what loads it, for the message
};
const stCodeObject atCodeObjects[] = {
    {"data/tx05.dat", "FUTURA", "start-up fonts"},
    {"data/tx05.dat", "CRACKHOUSE", "start-up fonts"},
    {"data/tx09.dat", "POINTER", "start-up mouse pointer"},
    {"data/tx03.dat", "USERS_FRAME", "menu box frame"},
    {"data/tx04.dat", "CREDITS1", "credits backgrounds"},
    {"data/tx04.dat", "CREDITS2", "credits backgrounds"},
    {"data/tx06.dat", "FONDO_AYUDA", "help screen background"},
    {"data/tx07.dat", "Vanto", "intro logo"},
    {"data/tx07.dat", "LOGO_LETTER", "intro logo sparks"},
    {"data/tx10.dat", "MINI_VERSUS", "match corner score"},
    {"data/tx10.dat", "MINI_0", "match corner score"},
    {"data/tx10.dat", "MINI_1", "match corner score"},
    {"data/tx10.dat", "MINI_2", "match corner score"},
    {"data/tx10.dat", "MINI_3", "match corner score"},
    {"data/tx10.dat", "MINI_4", "match corner score"},
    {"data/tx10.dat", "MINI_5", "match corner score"},
    {"data/tx10.dat", "VERSUS", "versus presentation"},
    {"data/tx10.dat", "RESULTS_BAR", "results screen"},
    {"data/tx10.dat", "ZERO", "score display"},
    {"data/tx10.dat", "ONE", "score display"},
    {"data/tx10.dat", "TWO", "score display"},
    {"data/tx10.dat", "THREE", "score display"},
    {"data/tx10.dat", "FOUR", "score display"},
    {"data/tx10.dat", "FIVE", "score display"},
    {"data/tx10.dat", "DASH", "score display"},
    {"data/tx15.dat", "SONIDOS", "sound catalogue"},
    {"data/tx15.dat", "NIVEL", "level settings"},
    {"data/tx15.dat", "PERSONAJES", "characters and their paddle bands"},
    {"data/tx15.dat", "ITEMS", "item bar and items"},
    {"data/tx15.dat", "ELEMENTOS_ES", "stage special elements"},
    {"data/tx15.dat", "LENGUAJES", "language list"},
    {"data/tx15.dat", "CAJAS", "menu boxes"},
    {"data/tx15.dat", "SEL_PERSONAJE", "character selection"},
    {"data/tx15.dat", "ESCENAS", "stage selection"},
};

// Something a document or the code names.
struct stReference {
    std::string sFile;   // datafile, or a file on disk, relative to the game directory
    std::string sObject; // object name; empty for a file on disk
    std::string sUser;   // who names it
};

// Everything the check found, for the final verdict.
struct stCheckState {
    std::vector<stReference> vReferences; // to resolve once every document was read
    int iDocuments = 0;                   // documents parsed
    int iProblems = 0;                    // lines printed as failures
};
stCheckState g_tCheck;

void report(const std::string &sText)
{
    fprintf(stderr, "data check: %s\n", sText.c_str());
    g_tCheck.iProblems++;
}

// The value of the cursor element's attribute, or false when it has none.
bool read_attribute(stXMLParser *ptParser, const char *pszName, std::string *psValue)
{
    if (!xmlparser_findAttribute(ptParser, pszName))
        return false;
    char *pszValue = xmlparser_getAttributeVal(ptParser);
    *psValue = pszValue;
    free(pszValue);
    return true;
}

// The parser forgives a text without any element; a document needs one.
bool has_element(const TvxXMLElement *ptRoot)
{
    for (int i = 0; i < ptRoot->nSize; i++)
        if (ptRoot->pEntries[i].type == eNodeElement)
            return true;
    return false;
}

// A parsed document, or null after reporting why it does not parse.
stXMLParser *parse_document(const fs::path &tPath)
{
    stXMLParser *ptParser = xmlparser_create();
    if (xmlparser_loadFile(ptParser, tPath.c_str()) != 0) {
        report(tPath.string() + ": cannot be read");
        xmlparser_destroy(ptParser);
        return nullptr;
    }
    xmlparser_parserFile(ptParser);
    const TvxXMLResults &tResults = ptParser->_pImpl->_results;
    if (tResults.error != eXMLErrorNone || !ptParser->_pImpl->_pRoot) {
        report(tPath.string() + ": line " + std::to_string(tResults.nLine) + ", column " +
               std::to_string(tResults.nColumn) + ": " + TvxGetError(tResults.error));
        xmlparser_destroy(ptParser);
        return nullptr;
    }
    if (!has_element(ptParser->_pImpl->_pRoot)) {
        report(tPath.string() + ": holds no element");
        xmlparser_destroy(ptParser);
        return nullptr;
    }
    return ptParser;
}

// --- "SONIDOS": per group, its datafile and the names of its sounds ---------

struct stSoundGroup {
    const char *pszElement; // group element under "Sound"
    int iLoaded;            // entries the game loads from it (0: songs, paths on disk)
};
const stSoundGroup atSoundGroups[] = {
    {"songs", 0},
    {"effects", NUM_EFFECT_SOUNDS},
    {"menu", NUM_MENU_SOUNDS},
    {"paddle", NUM_PADDLE_SOUNDS},
    {"ball", NUM_BALL_SOUNDS},
    {"special", NUM_SPECIAL_SOUNDS},
};
// The songs the game opens by index.
constexpr int aiNamedSongs[] = {INTRO_SONG, ENDING_SONG};

void check_sound_group(stXMLParser *ptParser, const std::string &sDocument,
                       const stSoundGroup &tGroup)
{
    const std::string sWhere = sDocument + ", group \"" + tGroup.pszElement + "\"";
    xmlparser_gotoRoot(ptParser);
    if (!xmlparser_findElement(ptParser, "Sound") ||
        !xmlparser_findElement(ptParser, tGroup.pszElement)) {
        report(sWhere + ": no such element under \"Sound\"");
        return;
    }
    std::string sFile, sCount;
    if (!read_attribute(ptParser, "archivo", &sFile) ||
        !read_attribute(ptParser, "num_sounds", &sCount)) {
        report(sWhere + ": lacks \"archivo\" or \"num_sounds\"");
        return;
    }
    int iCount = atoi(sCount.c_str());
    if (iCount > GROUP_MAX_SOUNDS) {
        fprintf(stderr, "data check: warning: %s: \"num_sounds\" %d, only the first %d are read\n",
                sWhere.c_str(), iCount, GROUP_MAX_SOUNDS);
        iCount = GROUP_MAX_SOUNDS;
    }
    std::vector<std::string> vNames(GROUP_MAX_SOUNDS);
    if (iCount > 0 && !xmlparser_findElement(ptParser, "sonidos")) {
        report(sWhere + ": no element \"sonidos\"");
        return;
    }
    for (int i = 0; i < iCount; i++) {
        char szAttribute[ATTRIBUTE_NAME_SIZE];
        snprintf(szAttribute, sizeof(szAttribute), "sound%d", i);
        if (!read_attribute(ptParser, szAttribute, &vNames[i]))
            report(sWhere + ": lacks \"" + szAttribute + "\"");
    }
    if (tGroup.iLoaded == 0) {
        for (int iSong : aiNamedSongs)
            if (vNames[iSong].empty())
                report(sWhere + ": no song at index " + std::to_string(iSong));
        for (const std::string &sSong : vNames)
            if (!sSong.empty())
                g_tCheck.vReferences.push_back({sSong, "", sWhere});
        return;
    }
    for (int i = 0; i < tGroup.iLoaded; i++) {
        if (vNames[i].empty())
            report(sWhere + ": no name for sound " + std::to_string(i) + " of the " +
                   std::to_string(tGroup.iLoaded) + " the game loads");
        else
            g_tCheck.vReferences.push_back({sFile, vNames[i], sWhere});
    }
}

void check_sound_document(stXMLParser *ptParser, const std::string &sDocument)
{
    for (const stSoundGroup &tGroup : atSoundGroups)
        check_sound_group(ptParser, sDocument, tGroup);
}

// --- "NIVEL": one "nivel" per level index, each naming its pictures ----------

// What a level element's child names: its datafile attribute, the attributes
// holding object names in that datafile, and those naming files on disk.
struct stLevelPictures {
    const char *pszElement;                // child of "nivel"
    std::vector<const char *> vObjects;    // attributes naming objects in its "archivo"
    std::vector<const char *> vFiles;      // attributes naming files on disk (songs)
};
const stLevelPictures atLevelPictures[] = {
    {"pelota", {"imagen", "imagen_grande"}, {}},
    {"general", {"fondo", "colisiones"}, {"cancion"}},
};

// The level element as the game finds it: "nivel" searched iLevel + 1 times.
bool goto_level(stXMLParser *ptParser, int iLevel)
{
    xmlparser_gotoRoot(ptParser);
    if (!xmlparser_findElement(ptParser, "escenas"))
        return false;
    for (int i = 0; i <= iLevel; i++)
        if (!xmlparser_findElement(ptParser, "nivel"))
            return false;
    return true;
}

// The computer opponent of a level: what the game reads of "ai", each
// element found from "ai" itself.
struct stAIRecord {
    const char *pszElement;
    std::vector<const char *> vAttributes;
};
const stAIRecord atAIRecords[] = {
    {"reactive_ai", {"type", "vision_sensor_far", "vision_sensor_near", "vision_percent_far",
                     "max_velocity_y", "damp_velocity_y", "delta_velocity_y"}},
    {"personality1D", {"type", "consecutive_omissions", "consecutive_changes", "random_omissions",
                       "random_changes", "time_same_personality"}},
    {"personality2D", {"type", "consecutive_omissions", "consecutive_changes", "random_omissions",
                       "random_changes", "delta_change", "max_change", "probability_left",
                       "probability_right"}},
    {"personality3D", {"type", "position_mirror", "acceleration_to_big",
                       "acceleration_to_accelerate", "position_invert_control", "position_shrink",
                       "position_stretch", "wait_seconds", "variance", "position_magnet"}},
};

// Every attribute present, and a far sight radius beyond the near one: the
// blur between them is measured over the difference of their squares.
void check_level_ai(stXMLParser *ptParser, int iLevel, const std::string &sLevel)
{
    for (const stAIRecord &tRecord : atAIRecords) {
        goto_level(ptParser, iLevel);
        const std::string sWhere = sLevel + ", \"ai\" \"" + tRecord.pszElement + "\"";
        if (!xmlparser_findElement(ptParser, "ai") ||
            !xmlparser_findElement(ptParser, tRecord.pszElement)) {
            report(sWhere + ": missing");
            continue;
        }
        std::string sValue;
        for (const char *pszAttribute : tRecord.vAttributes)
            if (!read_attribute(ptParser, pszAttribute, &sValue))
                report(sWhere + ": lacks \"" + pszAttribute + "\"");
        std::string sFar, sNear;
        if (read_attribute(ptParser, "vision_sensor_far", &sFar) &&
            read_attribute(ptParser, "vision_sensor_near", &sNear) &&
            atoi(sFar.c_str()) <= atoi(sNear.c_str()))
            report(sWhere + ": the far sight radius is not beyond the near one");
    }
}

void check_level_document(stXMLParser *ptParser, const std::string &sDocument)
{
    for (int iLevel = 0; iLevel < NUM_LEVEL_INDICES; iLevel++) {
        const std::string sLevel = sDocument + ", level " + std::to_string(iLevel);
        if (!goto_level(ptParser, iLevel)) {
            report(sLevel + ": no such \"nivel\" under \"escenas\"");
            return;
        }
        for (const stLevelPictures &tPictures : atLevelPictures) {
            goto_level(ptParser, iLevel);
            const std::string sWhere = sLevel + ", \"" + tPictures.pszElement + "\"";
            std::string sFile;
            if (!xmlparser_findElement(ptParser, tPictures.pszElement) ||
                !read_attribute(ptParser, "archivo", &sFile)) {
                report(sWhere + ": missing, or without \"archivo\"");
                continue;
            }
            for (const char *pszAttribute : tPictures.vObjects) {
                std::string sObject;
                if (read_attribute(ptParser, pszAttribute, &sObject))
                    g_tCheck.vReferences.push_back({sFile, sObject, sWhere});
                else
                    report(sWhere + ": lacks \"" + pszAttribute + "\"");
            }
            for (const char *pszAttribute : tPictures.vFiles) {
                std::string sPath;
                if (read_attribute(ptParser, pszAttribute, &sPath))
                    g_tCheck.vReferences.push_back({sPath, "", sWhere});
                else
                    report(sWhere + ": lacks \"" + pszAttribute + "\"");
            }
        }
        check_level_ai(ptParser, iLevel, sLevel);
    }
}

// --- "PERSONAJES": one "personaje" per character, its "datos" and "liga" ------

// What the game reads of each character; a missing one is fatal when it is read.
const char *const apszCharacterData[] = {"orden_escena", "nombre", "color", "archivo",
                                         "imagen_esfera", "imagen_normal", "imagen_pierde",
                                         "tam_barra"};
const char *const apszCharacterBand[] = {
    "delta_velocidad",    "desaceleracion",       "velocidad_max",     "constante_k_liga",
    "longitud_max",       "longitud_min",         "velocidad_min_liga", "aceleracion_max_liga",
    "delta_crecimiento",  "resistencia"};
// The pictures of "datos" held in its "archivo": the band's end sphere and the
// character as the versus and results screens show it, standing and beaten.
const char *const apszCharacterPictures[] = {"imagen_esfera", "imagen_normal", "imagen_pierde"};

// The character element as the game finds it: "personaje" searched iCharacter + 1 times.
bool goto_character(stXMLParser *ptParser, int iCharacter)
{
    xmlparser_gotoRoot(ptParser);
    if (!xmlparser_findElement(ptParser, "raiz"))
        return false;
    for (int i = 0; i <= iCharacter; i++)
        if (!xmlparser_findElement(ptParser, "personaje"))
            return false;
    return true;
}

void check_character_document(stXMLParser *ptParser, const std::string &sDocument)
{
    for (int iCharacter = 0; iCharacter < NUM_CHARACTERS; iCharacter++) {
        const std::string sCharacter = sDocument + ", character " + std::to_string(iCharacter);
        if (!goto_character(ptParser, iCharacter)) {
            report(sCharacter + ": no such \"personaje\" under \"raiz\"");
            return;
        }
        std::string sValue, sFile;
        if (!xmlparser_findElement(ptParser, "datos")) {
            report(sCharacter + ": no \"datos\"");
            continue;
        }
        for (const char *pszAttribute : apszCharacterData)
            if (!read_attribute(ptParser, pszAttribute, &sValue))
                report(sCharacter + ", \"datos\": lacks \"" + pszAttribute + "\"");
        if (read_attribute(ptParser, "archivo", &sFile))
            for (const char *pszAttribute : apszCharacterPictures)
                if (read_attribute(ptParser, pszAttribute, &sValue))
                    g_tCheck.vReferences.push_back({sFile, sValue, sCharacter + ", \"datos\""});
        // A character without a band keeps the paddle's previous values; one with a
        // band must give all of it.
        goto_character(ptParser, iCharacter);
        if (!xmlparser_findElement(ptParser, "liga"))
            continue;
        for (const char *pszAttribute : apszCharacterBand)
            if (!read_attribute(ptParser, pszAttribute, &sValue))
                report(sCharacter + ", \"liga\": lacks \"" + pszAttribute + "\"");
        // The catch divides by k, and the length lives between its two limits.
        std::string sK, sMin, sMax;
        if (read_attribute(ptParser, "constante_k_liga", &sK) && atof(sK.c_str()) <= 0.0)
            report(sCharacter + ", \"liga\": \"constante_k_liga\" must be positive");
        if (read_attribute(ptParser, "longitud_min", &sMin) &&
            read_attribute(ptParser, "longitud_max", &sMax) &&
            atof(sMin.c_str()) > atof(sMax.c_str()))
            report(sCharacter + ", \"liga\": \"longitud_min\" exceeds \"longitud_max\"");
    }
}

// --- "ITEMS": the bar, the catalogue in item order, the effect magnitudes -----

// Magnitudes the effects multiply by and whose undoing divides by them.
const char *const apszItemFactors[] = {"bola_vel", "bola_masa", "liga_k", "liga_lon_prop",
                                       "liga_lon_inc", "liga_min_vel", "liga_max_acel",
                                       "liga_lon_dec"};
const char *const apszItemAdded[] = {"fuerza_iman", "delta_vel", "damp_vel", "max_vel", "liga_crec"};
const char *const apszItemBar[] = {"delta_cuadro", "pos_x", "pos_y", "blend", "vel_incremento",
                                   "color_vacio", "pendiente", "color_lado_1", "color_lado_2",
                                   "color_decremento", "modo_color"};

// Whether the cursor element has the attribute with a value above 0, reporting otherwise.
void check_positive(stXMLParser *ptParser, const std::string &sWhere, const char *pszAttribute)
{
    std::string sValue;
    if (!read_attribute(ptParser, pszAttribute, &sValue))
        report(sWhere + ": lacks \"" + pszAttribute + "\"");
    else if (atof(sValue.c_str()) <= 0.0)
        report(sWhere + ": \"" + pszAttribute + "\" must be positive");
}

void check_item_document(stXMLParser *ptParser, const std::string &sDocument)
{
    std::string sValue, sFile;
    xmlparser_gotoRoot(ptParser);
    if (!xmlparser_findElement(ptParser, "raiz")) {
        report(sDocument + ": no \"raiz\"");
        return;
    }
    for (const char *pszAttribute : {"pos_items_x", "pos_items_y"})
        if (!read_attribute(ptParser, pszAttribute, &sValue))
            report(sDocument + ", \"raiz\": lacks \"" + pszAttribute + "\"");
    if (!read_attribute(ptParser, "num_items", &sValue) || atoi(sValue.c_str()) != NUM_ITEMS)
        report(sDocument + ", \"raiz\": \"num_items\" must be " + std::to_string(NUM_ITEMS));
    for (int i = 0; i < NUM_ITEMS; i++) {
        const std::string sItem = sDocument + ", item " + std::to_string(i);
        if (!xmlparser_findElement(ptParser, "item")) {
            report(sItem + ": no such \"item\" under \"raiz\"");
            break;
        }
        check_positive(ptParser, sItem, "vel_usado");
        check_positive(ptParser, sItem, "probabilidad");
        if (read_attribute(ptParser, "archivo", &sFile) && read_attribute(ptParser, "nombre", &sValue))
            g_tCheck.vReferences.push_back({sFile, sValue, sItem});
        else
            report(sItem + ": lacks \"archivo\" or \"nombre\"");
    }
    xmlparser_gotoRoot(ptParser);
    xmlparser_findElement(ptParser, "raiz");
    if (!xmlparser_findElement(ptParser, "efectos")) {
        report(sDocument + ": no \"efectos\"");
    } else {
        for (const char *pszAttribute : apszItemFactors)
            check_positive(ptParser, sDocument + ", \"efectos\"", pszAttribute);
        for (const char *pszAttribute : apszItemAdded)
            if (!read_attribute(ptParser, pszAttribute, &sValue))
                report(sDocument + ", \"efectos\": lacks \"" + pszAttribute + "\"");
        xmlparser_gotoParent(ptParser);
    }
    if (!xmlparser_findElement(ptParser, "barra")) {
        report(sDocument + ": no \"barra\"");
        return;
    }
    for (const char *pszAttribute : apszItemBar)
        if (!read_attribute(ptParser, pszAttribute, &sValue))
            report(sDocument + ", \"barra\": lacks \"" + pszAttribute + "\"");
    if (read_attribute(ptParser, "archivo", &sFile))
        for (const char *pszAttribute : {"nombre", "esfera_gris"})
            if (read_attribute(ptParser, pszAttribute, &sValue))
                g_tCheck.vReferences.push_back({sFile, sValue, sDocument + ", \"barra\""});
}

// --- "ELEMENTOS_ES": one record per stage, its pictures in "ruta" -------------

void check_special_document(stXMLParser *ptParser, const std::string &sDocument)
{
    std::string sFile, sValue;
    xmlparser_gotoRoot(ptParser);
    if (!xmlparser_findElement(ptParser, "especiales") || !read_attribute(ptParser, "ruta", &sFile)) {
        report(sDocument + ": no \"especiales\" with a \"ruta\"");
        return;
    }
    for (int iStage = 0; iStage < NUM_LEVELS; iStage++) {
        const std::string sStage = sDocument + ", stage " + std::to_string(iStage);
        if (!xmlparser_findElement(ptParser, "elemento")) {
            report(sStage + ": no such \"elemento\" under \"especiales\"");
            return;
        }
        if (!read_attribute(ptParser, "frente", &sValue))
            report(sStage + ": lacks \"frente\"");
        if (!read_attribute(ptParser, "n_imagenes", &sValue)) {
            report(sStage + ": lacks \"n_imagenes\"");
            continue;
        }
        const int iImages = atoi(sValue.c_str());
        if (iImages < 0 || iImages > SPECIAL_IMAGES)
            report(sStage + ": \"n_imagenes\" must be 0 to " + std::to_string(SPECIAL_IMAGES));
        bool bInImage = false;
        for (int i = 0; i < iImages && xmlparser_findElement(ptParser, "imagen"); i++) {
            bInImage = true;
            if (read_attribute(ptParser, "nombre", &sValue))
                g_tCheck.vReferences.push_back({sFile, sValue, sStage + ", \"imagen\""});
            else
                report(sStage + ", \"imagen\": lacks \"nombre\"");
        }
        if (bInImage)
            xmlparser_gotoParent(ptParser);
    }
}

// --- "LENGUAJES" and each language's documents --------------------------------

// A language's document from its source, or null after reporting it.
stXMLParser *language_document(const std::string &sObject, const std::string &sUser)
{
    const fs::path tPath = fs::path("assets/tx15") / (sObject + ".xml");
    if (!fs::is_regular_file(tPath)) {
        report(sUser + " names the document " + sObject + ", which assets/tx15 does not hold");
        return nullptr;
    }
    return parse_document(tPath);
}

// The labels document: "numero" 29 and every label with its text and attributes.
void check_labels(stXMLParser *ptParser, const std::string &sWhere)
{
    std::string sValue;
    xmlparser_gotoRoot(ptParser);
    if (!xmlparser_findElement(ptParser, "pantalla") || !xmlparser_findElement(ptParser, "textos") ||
        !read_attribute(ptParser, "numero", &sValue) || atoi(sValue.c_str()) != NUM_LABELS) {
        report(sWhere + ": needs \"pantalla\" / \"textos\" with \"numero\" " + std::to_string(NUM_LABELS));
        return;
    }
    for (int i = 0; i < NUM_LABELS; i++) {
        const std::string sLabel = sWhere + ", label " + std::to_string(i);
        if (!xmlparser_findElement(ptParser, "elemento")) {
            report(sLabel + ": missing");
            return;
        }
        if (!read_attribute(ptParser, "texto", &sValue))
            report(sLabel + ": lacks \"texto\"");
        if (!xmlparser_findElement(ptParser, "atributos")) {
            report(sLabel + ": lacks \"atributos\"");
            continue;
        }
        for (const char *pszAttribute : {"x", "y", "color", "tamano"})
            if (!read_attribute(ptParser, pszAttribute, &sValue))
                report(sLabel + ", \"atributos\": lacks \"" + pszAttribute + "\"");
        xmlparser_gotoParent(ptParser);
    }
}

void check_score_labels(stXMLParser *ptParser, const std::string &sWhere)
{
    std::string sValue;
    xmlparser_gotoRoot(ptParser);
    if (!xmlparser_findElement(ptParser, "etiquetas") || !read_attribute(ptParser, "n_etiquetas", &sValue) ||
        atoi(sValue.c_str()) != NUM_SCORE_LABELS) {
        report(sWhere + ": needs \"etiquetas\" with \"n_etiquetas\" " + std::to_string(NUM_SCORE_LABELS));
        return;
    }
    for (int i = 0; i < NUM_SCORE_LABELS; i++) {
        if (!xmlparser_findElement(ptParser, "elemento")) {
            report(sWhere + ", score label " + std::to_string(i) + ": missing");
            return;
        }
        for (const char *pszAttribute : {"texto", "posX", "posY", "color", "tamano", "scoreA", "scoreB"})
            if (!read_attribute(ptParser, pszAttribute, &sValue))
                report(sWhere + ", score label " + std::to_string(i) + ": lacks \"" + pszAttribute + "\"");
    }
}

// The menu document: every menu the code indexes, each button's links inside
// its menu, and from every button each direction reaches an enabled one.
void check_menus(stXMLParser *ptParser, const std::string &sWhere)
{
    std::string sValue;
    xmlparser_gotoRoot(ptParser);
    if (!xmlparser_findElement(ptParser, "menu")) {
        report(sWhere + ": no \"menu\"");
        return;
    }
    for (int k = 0; k < NUM_GAME_MENUS; k++) {
        const std::string sMenu = sWhere + ", menu " + std::to_string(k);
        if (!xmlparser_findElement(ptParser, "opcion")) {
            report(sMenu + ": missing");
            return;
        }
        int iCount = 0;
        if (read_attribute(ptParser, "num_elementos", &sValue))
            iCount = atoi(sValue.c_str());
        if (iCount < 1 || iCount > MENU_OPTION_ELEMENTS) {
            report(sMenu + ": \"num_elementos\" must be 1 to " + std::to_string(MENU_OPTION_ELEMENTS));
            continue;
        }
        std::vector<std::array<int, 4>> vLinks;
        std::vector<bool> vEnabled;
        for (int i = 0; i < iCount && xmlparser_findElement(ptParser, "elemento"); i++) {
            const std::string sButton = sMenu + ", button " + std::to_string(i);
            for (const char *pszAttribute : {"nombre", "id", "valor", "estado"})
                if (!read_attribute(ptParser, pszAttribute, &sValue))
                    report(sButton + ": lacks \"" + pszAttribute + "\"");
            vEnabled.push_back(read_attribute(ptParser, "estado", &sValue) && atoi(sValue.c_str()) == 1);
            std::array<int, 4> aiLink = {i, i, i, i};
            if (xmlparser_findElement(ptParser, "enlace")) {
                const char *apszLink[] = {"arriba", "abajo", "izquierda", "derecha"};
                for (int d = 0; d < 4; d++)
                    if (read_attribute(ptParser, apszLink[d], &sValue))
                        aiLink[d] = atoi(sValue.c_str());
                xmlparser_gotoParent(ptParser);
            }
            vLinks.push_back(aiLink);
        }
        xmlparser_gotoParent(ptParser);
        if (static_cast<int>(vLinks.size()) != iCount) {
            report(sMenu + ": lists fewer buttons than \"num_elementos\"");
            continue;
        }
        for (int i = 0; i < iCount; i++) {
            for (int d = 0; d < 4; d++) {
                int j = i;
                bool bReached = false;
                for (int iStep = 0; iStep < iCount && !bReached; iStep++) {
                    j = vLinks[j][d];
                    if (j < 0 || j >= iCount)
                        break;
                    bReached = vEnabled[j];
                }
                if (!bReached)
                    report(sMenu + ", button " + std::to_string(i) +
                           ": a link leads out of the menu or never to an enabled button");
            }
        }
    }
}

// The menu-text document: the eight screens the code indexes, and the opening
// screen's two backgrounds.
void check_screens(stXMLParser *ptParser, const std::string &sWhere)
{
    std::string sValue, sFile;
    xmlparser_gotoRoot(ptParser);
    if (!xmlparser_findElement(ptParser, "texto") || !read_attribute(ptParser, "n_pantallas", &sValue) ||
        atoi(sValue.c_str()) < TEXT_PRINCIPAL + 1) {
        report(sWhere + ": needs \"texto\" with \"n_pantallas\" of at least " +
               std::to_string(TEXT_PRINCIPAL + 1));
        return;
    }
    for (int i = 0; i <= TEXT_PRINCIPAL; i++) {
        const std::string sScreen = sWhere + ", screen " + std::to_string(i);
        if (!xmlparser_findElement(ptParser, "pantalla")) {
            report(sScreen + ": missing");
            return;
        }
        int iPictures = 0;
        if (xmlparser_findElement(ptParser, "fondo")) {
            if (!read_attribute(ptParser, "ruta", &sFile))
                report(sScreen + ": \"fondo\" without a \"ruta\"");
            // The first search enters "fondo", the next ones step along its pictures.
            for (; xmlparser_findElement(ptParser, "imagen"); iPictures++)
                if (read_attribute(ptParser, "nombre", &sValue))
                    g_tCheck.vReferences.push_back({sFile, sValue, sScreen});
            if (iPictures > 0)
                xmlparser_gotoParent(ptParser);
            xmlparser_gotoParent(ptParser);
        }
        // The opening screen shows two pictures; the options and controls screens one.
        const int iWanted = i == TEXT_PRINCIPAL ? 2 : (i == TEXT_OPTIONS || i == TEXT_CONTROLS ? 1 : 0);
        if (iPictures < iWanted)
            report(sScreen + ": needs " + std::to_string(iWanted) + " background picture(s)");
    }
}

void check_credits(stXMLParser *ptParser, const std::string &sWhere)
{
    static stCredits atStaff[CREDITS_PEOPLE];
    stCreditsFonts tFonts = {};
    xmlparser_gotoRoot(ptParser);
    const int iPeople = read_credits(ptParser, atStaff, &tFonts);
    if (iPeople != CREDITS_PEOPLE)
        report(sWhere + ": needs " + std::to_string(CREDITS_PEOPLE) + " \"Persona\" entries, has " +
               std::to_string(iPeople));
    for (const char *pszFont : tFonts.aszName)
        g_tCheck.vReferences.push_back({tFonts.szFile, pszFont, sWhere + ", fonts"});
    for (int i = 0; i < iPeople; i++) {
        const stCredits &t = atStaff[i];
        const std::string sEntry = sWhere + ", entry " + std::to_string(i);
        if (credits_has_picture(i) && !t.szImage[0])
            report(sEntry + ": needs a picture (\"imagen\")");
        else if (credits_has_picture(i))
            g_tCheck.vReferences.push_back({t.szImageFile, t.szImage, sEntry});
    }
}

void check_language_document(stXMLParser *ptParser, const std::string &sDocument)
{
    std::string sValue;
    xmlparser_gotoRoot(ptParser);
    xmlparser_findElement(ptParser, "conf_lenguajes");
    const int iLanguages = read_attribute(ptParser, "num_lenguajes", &sValue) ? atoi(sValue.c_str()) : 0;
    if (iLanguages < 1 || iLanguages > MAX_LANGUAGES) {
        report(sDocument + ": \"num_lenguajes\" must be 1 to " + std::to_string(MAX_LANGUAGES));
        return;
    }
    struct Documents {
        const char *pszAttribute;
        void (*pfnCheck)(stXMLParser *, const std::string &);
    };
    const Documents atDocuments[] = {{"labels", check_labels},      {"etiquetas_marcadores", check_score_labels},
                                     {"menu", check_menus},         {"textos", check_screens},
                                     {"creditos", check_credits},         {"torneos", nullptr}};
    xmlparser_findElement(ptParser, "archivos_conf");
    for (int i = 0; i < iLanguages; i++) {
        const std::string sLanguage = sDocument + ", language " + std::to_string(i);
        if (!xmlparser_findElement(ptParser, "f_elemento")) {
            report(sLanguage + ": no \"f_elemento\"");
            return;
        }
        if (!read_attribute(ptParser, "valor", &sValue) || atoi(sValue.c_str()) != i)
            report(sLanguage + ": \"valor\" must be " + std::to_string(i) + ", its place in the list");
        for (const Documents &t : atDocuments) {
            if (!read_attribute(ptParser, t.pszAttribute, &sValue)) {
                report(sLanguage + ": lacks \"" + t.pszAttribute + "\"");
                continue;
            }
            g_tCheck.vReferences.push_back({"data/tx15.dat", sValue, sLanguage});
            stXMLParser *ptDocument = language_document(sValue, sLanguage);
            if (!ptDocument)
                continue;
            if (t.pfnCheck)
                t.pfnCheck(ptDocument, sLanguage + ", " + sValue);
            xmlparser_destroy(ptDocument);
        }
    }
}

// --- "SEL_PERSONAJE" and "ESCENAS": the pictures of the two selection screens ---

void check_selection_document(stXMLParser *ptParser, const std::string &sDocument)
{
    std::string sFile, sValue;
    xmlparser_gotoRoot(ptParser);
    if (!xmlparser_findElement(ptParser, "pantalla") || !read_attribute(ptParser, "ruta", &sFile)) {
        report(sDocument + ": no \"pantalla\" with a \"ruta\"");
        return;
    }
    for (const char *pszAttribute : {"fondo", "vs"})
        if (read_attribute(ptParser, pszAttribute, &sValue))
            g_tCheck.vReferences.push_back({sFile, sValue, sDocument});
    g_tCheck.vReferences.push_back({sFile, "BAR1", sDocument});
    g_tCheck.vReferences.push_back({sFile, "BAR2", sDocument});
    struct Pictures {
        const char *pszElement;
        std::vector<const char *> vAttributes;
    };
    const Pictures atPictures[] = {{"avatar", {"seleccionado", "no_seleccionado", "inactivo"}},
                                   {"jugador", {"nombre"}},
                                   {"placa", {"izquierda", "derecha"}}};
    for (int i = 0; i < NUM_CHARACTERS; i++) {
        const std::string sCharacter = sDocument + ", character " + std::to_string(i);
        if (!xmlparser_findElement(ptParser, "personaje")) {
            report(sCharacter + ": missing");
            return;
        }
        for (const Pictures &t : atPictures) {
            if (!xmlparser_findElement(ptParser, t.pszElement)) {
                report(sCharacter + ": no \"" + t.pszElement + "\"");
                continue;
            }
            for (const char *pszAttribute : t.vAttributes)
                if (read_attribute(ptParser, pszAttribute, &sValue))
                    g_tCheck.vReferences.push_back({sFile, sValue, sCharacter});
            xmlparser_gotoParent(ptParser);
        }
        if (!xmlparser_findElement(ptParser, "enlaces")) {
            report(sCharacter + ": no \"enlaces\"");
            continue;
        }
        for (const char *pszAttribute : {"arriba", "abajo", "izquierda", "derecha"})
            if (!read_attribute(ptParser, pszAttribute, &sValue) || atoi(sValue.c_str()) < 0 ||
                atoi(sValue.c_str()) >= NUM_CHARACTERS)
                report(sCharacter + ": \"" + pszAttribute + "\" must name a character");
        xmlparser_gotoParent(ptParser);
    }
}

void check_stage_document(stXMLParser *ptParser, const std::string &sDocument)
{
    std::string sFile, sValue;
    xmlparser_gotoRoot(ptParser);
    if (!xmlparser_findElement(ptParser, "Scene") || !read_attribute(ptParser, "archivo", &sFile)) {
        report(sDocument + ": no \"Scene\" with an \"archivo\"");
        return;
    }
    std::string sFontFile, sFont;
    if (read_attribute(ptParser, "file", &sFontFile) && read_attribute(ptParser, "font", &sFont))
        g_tCheck.vReferences.push_back({sFontFile, sFont, sDocument});
    for (const char *pszName : {"ARROW_DOWN", "ARROW_LEFT", "ARROW_RIGHT", "ARROW_UP", "BACKGROUND", "FRAME"})
        g_tCheck.vReferences.push_back({sFile, pszName, sDocument});
    for (int i = 0; i < NUM_LEVELS; i++) {
        if (xmlparser_findElement(ptParser, "Stage") && read_attribute(ptParser, "name", &sValue))
            g_tCheck.vReferences.push_back({sFile, sValue, sDocument + ", stage " + std::to_string(i)});
        else
            report(sDocument + ", stage " + std::to_string(i) + ": missing or without \"name\"");
    }
}

// --- documents whose references are checked ----------------------------------

struct stDocumentCheck {
    const char *pszObject; // document object name, also its source's name
    const char *pszSource; // its source, relative to the game directory
    void (*pfnCheck)(stXMLParser *ptParser, const std::string &sDocument);
};
const stDocumentCheck atDocumentChecks[] = {
    {"SONIDOS", "assets/tx15/SONIDOS.xml", check_sound_document},
    {"NIVEL", "assets/tx15/NIVEL.xml", check_level_document},
    {"PERSONAJES", "assets/tx15/PERSONAJES.xml", check_character_document},
    {"ITEMS", "assets/tx15/ITEMS.xml", check_item_document},
    {"ELEMENTOS_ES", "assets/tx15/ELEMENTOS_ES.xml", check_special_document},
    {"LENGUAJES", "assets/tx15/LENGUAJES.xml", check_language_document},
    {"SEL_PERSONAJE", "assets/tx15/SEL_PERSONAJE.xml", check_selection_document},
    {"ESCENAS", "assets/tx15/ESCENAS.xml", check_stage_document},
};

// --- resolving references ----------------------------------------------------

// The object names of one datafile, upper case (the game finds them ignoring case).
struct stDatafileNames {
    bool bReadable = false;
    std::set<std::string> setNames;
};

std::string upper(std::string s)
{
    for (char &c : s)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return s;
}

stDatafileNames read_datafile_names(const std::string &sFile)
{
    stDatafileNames tNames;
    DATAFILE *ptData = load_datafile(sFile.c_str());
    if (!ptData)
        return tNames;
    tNames.bReadable = true;
    for (int i = 0; ptData[i].type != DAT_END; i++)
        tNames.setNames.insert(upper(get_datafile_property(&ptData[i], DAT_NAME)));
    unload_datafile(ptData);
    return tNames;
}

void resolve_references()
{
    std::map<std::string, stDatafileNames> mapDatafiles;
    for (const stReference &tRef : g_tCheck.vReferences) {
        if (tRef.sObject.empty()) {
            if (!fs::is_regular_file(tRef.sFile))
                report(tRef.sUser + " names the file " + tRef.sFile + ", which does not exist");
            continue;
        }
        auto itData = mapDatafiles.find(tRef.sFile);
        if (itData == mapDatafiles.end())
            itData = mapDatafiles.emplace(tRef.sFile, read_datafile_names(tRef.sFile)).first;
        if (!itData->second.bReadable)
            report(tRef.sUser + " names \"" + tRef.sObject + "\" in " + tRef.sFile +
                   ", which cannot be read (missing, or not packed with the game's password)");
        else if (!itData->second.setNames.count(upper(tRef.sObject)))
            report(tRef.sUser + " names \"" + tRef.sObject + "\" in " + tRef.sFile +
                   ", which does not hold it");
    }
}

void check_documents()
{
    std::vector<fs::path> vDocuments;
    for (const fs::directory_entry &tEntry : fs::recursive_directory_iterator("assets"))
        if (tEntry.is_regular_file() && tEntry.path().extension() == ".xml")
            vDocuments.push_back(tEntry.path());
    for (const fs::path &tPath : vDocuments) {
        stXMLParser *ptParser = parse_document(tPath);
        if (!ptParser)
            continue;
        g_tCheck.iDocuments++;
        for (const stDocumentCheck &tCheck : atDocumentChecks)
            if (tPath == tCheck.pszSource)
                tCheck.pfnCheck(ptParser, std::string("\"") + tCheck.pszObject + "\" (" +
                                              tCheck.pszSource + ")");
        xmlparser_destroy(ptParser);
    }
}
} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: %s GAME_DIR (the directory holding assets/ and data/)\n", argv[0]);
        return 2;
    }
    if (chdir(argv[1]) != 0) {
        perror(argv[1]);
        return 2;
    }
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
        fprintf(stderr, "data check: Allegro does not start\n");
        return 2;
    }
    set_color_depth(CHECK_COLOR_DEPTH);
    set_color_conversion(COLORCONV_NONE);
    char szPassword[DATA_PASSWORD_SIZE];
    build_data_password(szPassword);
    packfile_password(szPassword);

    for (const stCodeObject &tObject : atCodeObjects)
        g_tCheck.vReferences.push_back(
            {tObject.pszFile, tObject.pszObject, std::string("the code (") + tObject.pszUser + ")"});
    check_documents();
    resolve_references();
    packfile_password(nullptr);

    if (g_tCheck.iProblems > 0) {
        fprintf(stderr, "data check: %d problem(s) found\n", g_tCheck.iProblems);
        return 1;
    }
    printf("Data check: %d documents parse, %zu references resolve\n", g_tCheck.iDocuments,
           g_tCheck.vReferences.size());
    return 0;
}
