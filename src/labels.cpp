// Labels: owns the label, partial label, cursor and score label tables of the
// current language (the partial ones of every language). A position whose
// element the document lacks stays null; entries beyond a table are ignored.
#include "labels.h"
#include "grabber_functions.h"
#include "memory.h"
#include "stXMLParser.h"

#include <algorithm>
#include <cstdio>

stLabel *g_ptLabel[NUM_LABELS] = {};
stLabel *g_ptParcialLabel[NUM_PARCIAL_LABELS] = {};
stCursor *g_ptCursor = nullptr;
stScoresLabel *g_ptScoresLabel[NUM_SCORE_LABELS] = {};

namespace {
template <typename T> T *zeroed()
{
    return static_cast<T *>(safe_calloc(1, sizeof(T)));
}

template <typename T> void free_record(T *&pt)
{
    safe_free(&pt);
}

// A label from the cursor's "elemento" into ptSlot: its text, and the position,
// colour and size of its "atributos" when it has them; the cursor stays on
// "elemento". The slot owns the record from the start, so a read that fails
// leaves it to the table's release.
void read_label(stXMLParser *ptParser, stLabel *&ptSlot)
{
    ptSlot = label_create();
    stLabel *ptLabel = ptSlot;
    xmlparser_copyAttribute(ptParser, "texto", ptLabel->szText);
    if (xmlparser_findElement(ptParser, "atributos")) {
        ptLabel->iX = xmlparser_getAttributeVal_asInteger(ptParser, "x");
        ptLabel->iY = xmlparser_getAttributeVal_asInteger(ptParser, "y");
        ptLabel->iColor = xmlparser_getAttributeVal_asColor(ptParser, "color");
        ptLabel->iSize = xmlparser_getAttributeVal_asInteger(ptParser, "tamano");
        xmlparser_gotoParent(ptParser);
    }
}

void read_cursor(stXMLParser *ptParser)
{
    g_ptCursor = cursor_create();
    g_ptCursor->cActive = xmlparser_getAttributeVal_asString(ptParser, "activo")[0];
    g_ptCursor->cInactive = xmlparser_getAttributeVal_asString(ptParser, "inactivo")[0];
    g_ptCursor->fTimeOn = xmlparser_getAttributeVal_asInteger(ptParser, "timeOn");
    g_ptCursor->fTimeOff = xmlparser_getAttributeVal_asInteger(ptParser, "timeOff");
    g_ptCursor->iSize = xmlparser_getAttributeVal_asInteger(ptParser, "tamano");
    g_ptCursor->iColor = xmlparser_getAttributeVal_asColor(ptParser, "color");
    g_ptCursor->iX = xmlparser_getAttributeVal_asInteger(ptParser, "x");
    g_ptCursor->iY = xmlparser_getAttributeVal_asInteger(ptParser, "y");
}
} // namespace

stLabel *label_create()
{
    return zeroed<stLabel>();
}

void label_destroy(stLabel *ptLabel)
{
    free_record(ptLabel);
}

stCursor *cursor_create()
{
    return zeroed<stCursor>();
}

void cursor_destroy(stCursor *ptCursor)
{
    free_record(ptCursor);
}

stScoresLabel *score_label_create()
{
    return zeroed<stScoresLabel>();
}

void score_label_destroy(stScoresLabel *ptLabel)
{
    free_record(ptLabel);
}

void load_labels()
{
    stXMLParser *ptParser = open_xml_document(g_tFileLanguageConf.szLabels, TEXT_DATAFILE);
    xmlparser_findElement(ptParser, "pantalla");
    if (xmlparser_findElement(ptParser, "textos")) {
        const int iCount = std::min(xmlparser_getAttributeVal_asInteger(ptParser, "numero"), NUM_LABELS);
        for (int i = 0; i < iCount; i++)
            if (xmlparser_findElement(ptParser, "elemento"))
                read_label(ptParser, g_ptLabel[i]);
        xmlparser_gotoRoot(ptParser);
        xmlparser_findElement(ptParser, "pantalla");
    }
    if (xmlparser_findElement(ptParser, "cursor"))
        read_cursor(ptParser);
    xmlparser_destroy(ptParser);
}

void load_parcial_labels()
{
    for (int iLanguage = 0; iLanguage < g_tFileLanguageConf.iNumLanguages; iLanguage++) {
        stXMLParser *ptParser =
            open_xml_document(g_tFileParcialLanguageConf[iLanguage].szLabels, TEXT_DATAFILE);
        xmlparser_findElement(ptParser, "pantalla");
        xmlparser_findElement(ptParser, "textos");
        bool bFound = true;
        for (int i = 0; i < FIRST_PARCIAL_LABEL && bFound; i++)
            bFound = xmlparser_findElement(ptParser, "elemento");
        for (int k = 0; k < LABELS_PER_LANGUAGE && bFound; k++)
            if ((bFound = xmlparser_findElement(ptParser, "elemento")))
                read_label(ptParser, g_ptParcialLabel[LABELS_PER_LANGUAGE * iLanguage + k]);
        xmlparser_destroy(ptParser);
    }
}

void load_score_labels()
{
    stXMLParser *ptParser = open_xml_document(g_tFileLanguageConf.szScoreLabels, TEXT_DATAFILE);
    xmlparser_findElement(ptParser, "etiquetas");
    const int iCount = std::min(xmlparser_getAttributeVal_asInteger(ptParser, "n_etiquetas"), NUM_SCORE_LABELS);
    for (int i = 0; i < iCount; i++) {
        if (!xmlparser_findElement(ptParser, "elemento"))
            continue;
        // The table owns the record before anything is read into it.
        stScoresLabel *pt = g_ptScoresLabel[i] = score_label_create();
        xmlparser_copyAttribute(ptParser, "texto", pt->szText);
        pt->iX = xmlparser_getAttributeVal_asInteger(ptParser, "posX");
        pt->iY = xmlparser_getAttributeVal_asInteger(ptParser, "posY");
        pt->iColor = xmlparser_getAttributeVal_asColor(ptParser, "color");
        pt->iSize = xmlparser_getAttributeVal_asInteger(ptParser, "tamano");
        pt->iScoreP1 = xmlparser_getAttributeVal_asInteger(ptParser, "scoreA");
        pt->iScoreP2 = xmlparser_getAttributeVal_asInteger(ptParser, "scoreB");
    }
    xmlparser_destroy(ptParser);
}

void destroy_all_labels()
{
    for (stLabel *&ptLabel : g_ptLabel)
        free_record(ptLabel);
    free_record(g_ptCursor);
}

void destroy_parcial_labels()
{
    for (stLabel *&ptLabel : g_ptParcialLabel)
        free_record(ptLabel);
}

void destroy_all_score_labels()
{
    for (stScoresLabel *&ptLabel : g_ptScoresLabel)
        free_record(ptLabel);
}
