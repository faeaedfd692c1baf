// Languages: the list of the game's languages, the current one (from the
// current profile) and the names of the documents that hold each language's
// texts. Switching language reloads every text table of the game.
#pragma once

constexpr int LANGUAGE_TEXT_SIZE = 256; // bytes of each name field, with its zero
constexpr int MAX_LANGUAGES = 5;        // languages the tables hold
constexpr const char *TEXT_DATAFILE = "data/tx15.dat"; // where every text document lives

typedef struct _stLanguage {
    char szLanguage[LANGUAGE_TEXT_SIZE];   // display name, in the language itself
    char szIdLanguage[LANGUAGE_TEXT_SIZE]; // identifier stored in the profiles
    int iValue;                            // the language's number
} stLanguage;

// Object names of one language's documents in TEXT_DATAFILE.
typedef struct _stFileLanguageConf {
    int iNumLanguages;                      // languages in the list (current record only)
    char szMenu[LANGUAGE_TEXT_SIZE];
    char szText[LANGUAGE_TEXT_SIZE];
    char szCredits[LANGUAGE_TEXT_SIZE];
    char szTournament[LANGUAGE_TEXT_SIZE];
    char szScoreLabels[LANGUAGE_TEXT_SIZE];
    char szLabels[LANGUAGE_TEXT_SIZE];
    int iValue;
} stFileLanguageConf;

extern stLanguage g_tLanguage[MAX_LANGUAGES];
extern stFileLanguageConf g_tFileLanguageConf;                       // the current language's
extern stFileLanguageConf g_tFileParcialLanguageConf[MAX_LANGUAGES]; // every language's, in list order
extern int g_iLanguage; // the current language's number, also its place in the list

// Start-up, after the profiles: the list, the current language and the
// documents of the current and of every language.
void init_languages_conf();
// The current language from the profile, and its documents.
void set_languages_conf();
// The number of the language with identifier pszId, or 0.
int num_of_lenguages(const char *pszId);
// Switches the current profile to language iLang of the list and reloads
// the menus, the menu texts, the labels and the score labels.
void reload_languages_conf(int iLang);

void define_languages();
void define_languages_files();
void define_parcial_languages_files();
