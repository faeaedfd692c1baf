// The resource loaders over Allegro's single-object datafile load. Each object
// fetched here is unloaded before the loader returns, whatever the outcome; a
// missing, unreadable or mistyped object ends the program with the load message.
#include "grabber_functions.h"
#include "memory.h"
#include "sound.h"
#include "stXMLParser.h"
#include "tfont.h"
#include "utils.h"

#include <allegro.h>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {
constexpr char LOAD_FAILED_FORMAT[] = "Error al cargar %s desde %s";
constexpr int LOAD_MESSAGE_SIZE = 600; // bytes: the format with two names of up to 256 characters
constexpr int DOCUMENT_NAME_SIZE = 256; // bytes of "OBJECT (FILE)" kept for the messages of a failed read

// An object fetched from a datafile, unloaded when it goes out of scope.
struct DatafileObjectUnload {
    void operator()(DATAFILE *ptObject) const { unload_datafile_object(ptObject); }
};
using DatafileObject = std::unique_ptr<DATAFILE, DatafileObjectUnload>;

// The names are data: they only ever fill the two places of a fixed format.
[[noreturn]] void fail_load(const char *pszObject, const char *pszFile)
{
    char szMessage[LOAD_MESSAGE_SIZE];
    snprintf(szMessage, sizeof(szMessage), LOAD_FAILED_FORMAT, pszObject, pszFile);
    error_message(szMessage);
}

// The object, which must be of type iType (a bitmap read as raw bytes, or raw
// bytes read as a bitmap, would be garbage).
DatafileObject fetch_object(const char *pszObject, const char *pszFile, int iType)
{
    DatafileObject ptObject(load_datafile_object(pszFile, pszObject));
    if (!ptObject || ptObject->type != iType)
        fail_load(pszObject, pszFile);
    return ptObject;
}

// The bitmap object copied whole into a new bitmap of the current colour depth.
BITMAP *copy_to_current_depth(const DATAFILE *ptObject, const char *pszObject,
                              const char *pszFile)
{
    const BITMAP *bmpObject = static_cast<const BITMAP *>(ptObject->dat);
    BITMAP *bmpCopy = create_bitmap(bmpObject->w, bmpObject->h);
    if (!bmpCopy)
        fail_load(pszObject, pszFile);
    blit(const_cast<BITMAP *>(bmpObject), bmpCopy, 0, 0, 0, 0, bmpObject->w, bmpObject->h);
    return bmpCopy;
}
} // namespace

TFONT_FONT *load_font_from_dat(const char *pszObject, const char *pszFile, int iHeight)
{
    DatafileObject ptObject = fetch_object(pszObject, pszFile, DAT_DATA);
    // Null when FreeType rejects the bytes: that is a broken resource like any other.
    TFONT_FONT *ptFont = tfont_load_font_from_mem(ptObject->dat, static_cast<int>(ptObject->size));
    if (!ptFont)
        fail_load(pszObject, pszFile);
    tfont_set_font_size(ptFont, iHeight);
    return ptFont;
}

BITMAP *load_bmp_from_dat(const char *pszObject, const char *pszFile)
{
    DatafileObject ptObject = fetch_object(pszObject, pszFile, DAT_BITMAP);
    return copy_to_current_depth(ptObject.get(), pszObject, pszFile);
}

RLE_SPRITE *load_rle_from_dat(const char *pszObject, const char *pszFile)
{
    DatafileObject ptObject = fetch_object(pszObject, pszFile, DAT_BITMAP);
    // The picture is first brought to the current depth, so that its mask
    // colour becomes the mask colour of the sprite.
    BITMAP *bmpPicture = copy_to_current_depth(ptObject.get(), pszObject, pszFile);
    BITMAP *bmpMasked = create_bitmap(bmpPicture->w, bmpPicture->h);
    if (!bmpMasked)
        fail_load(pszObject, pszFile);
    clear_to_color(bmpMasked, bitmap_mask_color(bmpMasked));
    draw_sprite(bmpMasked, bmpPicture, 0, 0);
    RLE_SPRITE *rleSprite = get_rle_sprite(bmpMasked);
    destroy_bitmap(bmpMasked);
    destroy_bitmap(bmpPicture);
    if (!rleSprite)
        fail_load(pszObject, pszFile);
    return rleSprite;
}

char *load_txt_from_dat(const char *pszObject, const char *pszFile, int *piSize)
{
    DatafileObject ptObject = fetch_object(pszObject, pszFile, DAT_DATA);
    const size_t iSize = static_cast<size_t>(ptObject->size);
    char *pszText = static_cast<char *>(safe_malloc(iSize + 1));
    memcpy(pszText, ptObject->dat, iSize);
    pszText[iSize] = '\0';
    *piSize = static_cast<int>(iSize + 1);
    return pszText;
}

stMixSound *load_sample_from_dat(const char *pszObject, const char *pszFile, int bLoop)
{
    DatafileObject ptObject = fetch_object(pszObject, pszFile, DAT_DATA);
    // The mixer copies the bytes, so the object can go as soon as the sound exists.
    stMixCreateInfo tInfo = {};
    tInfo.iSize = sizeof(tInfo);
    tInfo.iLength = static_cast<unsigned int>(ptObject->size);
    stMixSound *sndSound = nullptr;
    create_sample_sound_from_memory(&sndSound, ptObject->dat, &tInfo, bLoop);
    return sndSound;
}

void load_xml_from_dat(stXMLParser *ptParser, const char *pszObject, const char *pszFile,
                       int *piSize)
{
    int iSize = 0;
    char *pszText = load_txt_from_dat(pszObject, pszFile, &iSize);
    xmlparser_loadFile_from_dat(ptParser, pszText, iSize);
    safe_free(&pszText);
    char szName[DOCUMENT_NAME_SIZE];
    snprintf(szName, sizeof(szName), "%s (%s)", pszObject, pszFile);
    xmlparser_setDocumentName(ptParser, szName);
    *piSize = iSize;
}

stXMLParser *open_xml_document(const char *pszObject, const char *pszFile)
{
    stXMLParser *ptParser = xmlparser_create();
    int iSize = 0;
    load_xml_from_dat(ptParser, pszObject, pszFile, &iSize);
    xmlparser_parserFile(ptParser);
    xmlparser_gotoRoot(ptParser);
    return ptParser;
}

stXMLParser *open_xml_entry(const char *pszObject, const char *pszFile, const char *pszRoot,
                            const char *pszEntry, int iIndex, const char *pszChild)
{
    stXMLParser *ptParser = open_xml_document(pszObject, pszFile);
    xmlparser_findElement(ptParser, pszRoot);
    for (int i = 0; i <= iIndex; i++)
        xmlparser_findElement(ptParser, pszEntry); // each search goes on after the last find
    xmlparser_findElement(ptParser, pszChild);
    return ptParser;
}
