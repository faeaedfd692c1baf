// Languages: owns the language list and the document names of the current
// language and of every language, all read from "LENGUAJES". A list longer
// than the tables keeps its first MAX_LANGUAGES languages.
#include "language_conf.h"
#include "grabber_functions.h"
#include "labels.h"
#include "main.h"
#include "menu.h"
#include "stXMLParser.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

stLanguage g_tLanguage[MAX_LANGUAGES] = {};
stFileLanguageConf g_tFileLanguageConf = {};
stFileLanguageConf g_tFileParcialLanguageConf[MAX_LANGUAGES] = {};
int g_iLanguage = 0;

namespace {
constexpr const char *LANGUAGE_DOCUMENT = "LENGUAJES";

// The list's "conf_lenguajes", then its child pszList.
stXMLParser *open_list(const char *pszList)
{
    stXMLParser *ptParser = open_xml_document(LANGUAGE_DOCUMENT, TEXT_DATAFILE);
    xmlparser_findElement(ptParser, "conf_lenguajes");
    xmlparser_findElement(ptParser, pszList);
    return ptParser;
}

// The current language: the profile's, when the list has it; else unchanged.
void select_language()
{
    if (!g_ptUserContainer || !g_ptUserContainer->ptCurrentUser) {
        g_iLanguage = 0;
        return;
    }
    const char *pszId = g_ptUserContainer->ptCurrentUser->szLanguage;
    for (int i = 0; i < g_tFileLanguageConf.iNumLanguages; i++) {
        if (strcmp(g_tLanguage[i].szIdLanguage, pszId) == 0) {
            g_iLanguage = g_tLanguage[i].iValue;
            return;
        }
    }
}
} // namespace

void define_languages()
{
    stXMLParser *ptParser = open_xml_document(LANGUAGE_DOCUMENT, TEXT_DATAFILE);
    xmlparser_findElement(ptParser, "conf_lenguajes");
    g_tFileLanguageConf.iNumLanguages =
        std::clamp(xmlparser_getAttributeVal_asInteger(ptParser, "num_lenguajes"), 0, MAX_LANGUAGES);
    xmlparser_findElement(ptParser, "lenguajes");
    for (int i = 0; i < g_tFileLanguageConf.iNumLanguages; i++) {
        if (!xmlparser_findElement(ptParser, "elemento"))
            continue;
        stLanguage &t = g_tLanguage[i];
        t.iValue = xmlparser_getAttributeVal_asInteger(ptParser, "valor");
        xmlparser_copyAttribute(ptParser, "lenguaje", t.szLanguage);
        xmlparser_copyAttribute(ptParser, "id_lenguaje", t.szIdLanguage);
    }
    xmlparser_destroy(ptParser);
}

void define_languages_files()
{
    stXMLParser *ptParser = open_list("archivos_conf");
    for (int i = 0; i <= g_iLanguage; i++) {
        if (!xmlparser_findElement(ptParser, "f_elemento")) {
            printf("ERROR AL CARGAR EL IDIOMA-- : f_elemento no encontrado\n");
            break;
        }
    }
    stFileLanguageConf &t = g_tFileLanguageConf;
    t.iValue = xmlparser_getAttributeVal_asInteger(ptParser, "valor");
    xmlparser_copyAttribute(ptParser, "textos", t.szText);
    xmlparser_copyAttribute(ptParser, "creditos", t.szCredits);
    xmlparser_copyAttribute(ptParser, "torneos", t.szTournament);
    xmlparser_copyAttribute(ptParser, "labels", t.szLabels);
    xmlparser_copyAttribute(ptParser, "menu", t.szMenu);
    xmlparser_copyAttribute(ptParser, "etiquetas_marcadores", t.szScoreLabels);
    xmlparser_destroy(ptParser);
}

void define_parcial_languages_files()
{
    stXMLParser *ptParser = open_list("archivos_conf");
    for (int i = 0; i < g_tFileLanguageConf.iNumLanguages; i++) {
        if (!xmlparser_findElement(ptParser, "f_elemento"))
            continue;
        stFileLanguageConf &t = g_tFileParcialLanguageConf[i];
        t.iValue = xmlparser_getAttributeVal_asInteger(ptParser, "valor");
        xmlparser_copyAttribute(ptParser, "textos", t.szText);
        xmlparser_copyAttribute(ptParser, "labels", t.szLabels);
        xmlparser_copyAttribute(ptParser, "menu", t.szMenu);
    }
    xmlparser_destroy(ptParser);
}

void init_languages_conf()
{
    define_languages();
    select_language();
    define_languages_files();
    define_parcial_languages_files();
}

void set_languages_conf()
{
    select_language();
    define_languages_files();
}

int num_of_lenguages(const char *pszId)
{
    for (int i = 0; i < g_tFileLanguageConf.iNumLanguages; i++)
        if (strcmp(g_tLanguage[i].szIdLanguage, pszId) == 0)
            return g_tLanguage[i].iValue;
    return 0;
}

void reload_languages_conf(int iLang)
{
    stUser *ptUser = g_ptUserContainer->ptCurrentUser;
    snprintf(ptUser->szLanguage, sizeof(ptUser->szLanguage), "%s", g_tLanguage[iLang].szIdLanguage);
    set_languages_conf();
    destroy_all_menu();
    load_menu(g_ptMenu, NUM_GAME_MENUS);
    destroy_menu_text(&g_ptMenuText);
    g_ptMenuText = create_menu_text();
    load_menu_text(g_ptMenuText);
    destroy_all_labels();
    load_labels();
    destroy_all_score_labels();
    load_score_labels();
}
