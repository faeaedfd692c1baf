// The datafiles against the build's list: every file listed must exist with
// its size and CRC; the list itself must be there and well formed.
#include "data_check.h"
#include "utils.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace {
constexpr uint32_t CRC_POLYNOMIAL = 0x04C11DB7; // of the POSIX cksum command
constexpr int BITS_PER_BYTE = 8;
constexpr uint32_t TOP_BIT = 0x80000000u;
constexpr int TOP_BYTE_SHIFT = 24;
constexpr size_t READ_BLOCK = 1 << 16; // bytes read at a time
constexpr int MESSAGE_SIZE = 512;      // bytes: a format and a path

constexpr char NO_DIRECTORY_MESSAGE[] = "No se encontró la carpeta de datos del juego (%s).";
constexpr char MISSING_MESSAGE[] = "Falta el archivo de datos %s";
constexpr char DAMAGED_MESSAGE[] = "El archivo de datos %s está dañado o incompleto";

std::array<uint32_t, 256> make_crc_table()
{
    std::array<uint32_t, 256> aiTable{};
    for (uint32_t i = 0; i < aiTable.size(); i++) {
        uint32_t iCrc = i << TOP_BYTE_SHIFT;
        for (int b = 0; b < BITS_PER_BYTE; b++)
            iCrc = (iCrc & TOP_BIT) ? (iCrc << 1) ^ CRC_POLYNOMIAL : iCrc << 1;
        aiTable[i] = iCrc;
    }
    return aiTable;
}
const std::array<uint32_t, 256> aiCrcTable = make_crc_table();

uint32_t crc_step(uint32_t iCrc, unsigned char iByte)
{
    return (iCrc << BITS_PER_BYTE) ^ aiCrcTable[((iCrc >> TOP_BYTE_SHIFT) ^ iByte) & 0xFF];
}

bool is_directory(const std::string &sPath)
{
    struct stat tInfo;
    return stat(sPath.c_str(), &tInfo) == 0 && S_ISDIR(tInfo.st_mode);
}

// Whether the file holds exactly iSize bytes whose CRC is iCrc; false also
// when it cannot be read.
bool file_matches(const std::string &sPath, uint32_t iCrc, uint64_t iSize)
{
    std::ifstream tFile(sPath, std::ios::binary);
    if (!tFile)
        return false;
    PosixCrc tCrc;
    std::array<char, READ_BLOCK> acBlock;
    uint64_t iRead = 0;
    while (tFile) {
        tFile.read(acBlock.data(), acBlock.size());
        const size_t iGot = static_cast<size_t>(tFile.gcount());
        tCrc.add(reinterpret_cast<const unsigned char *>(acBlock.data()), iGot);
        iRead += iGot;
    }
    return !tFile.bad() && iRead == iSize && tCrc.finish() == iCrc;
}
} // namespace

void PosixCrc::add(const unsigned char *pBytes, size_t iSize)
{
    for (size_t i = 0; i < iSize; i++)
        iCrc = crc_step(iCrc, pBytes[i]);
    iLength += iSize;
}

uint32_t PosixCrc::finish() const
{
    uint32_t iResult = iCrc;
    for (uint64_t iLeft = iLength; iLeft != 0; iLeft >>= BITS_PER_BYTE)
        iResult = crc_step(iResult, static_cast<unsigned char>(iLeft & 0xFF));
    return ~iResult;
}

stDataCheck find_data_problem(const std::string &sDir)
{
    if (!is_directory(sDir + "/" + DATA_DIRECTORY))
        return {DataProblem::NO_DIRECTORY, DATA_DIRECTORY};
    std::ifstream tList(sDir + "/" + DATA_LIST);
    if (!tList)
        return {DataProblem::MISSING, DATA_LIST};
    std::string sLine;
    bool bAny = false;
    while (std::getline(tList, sLine)) {
        std::istringstream tFields(sLine);
        uint32_t iCrc = 0;
        uint64_t iSize = 0;
        std::string sName, sExtra;
        if (!(tFields >> iCrc >> iSize >> sName) || (tFields >> sExtra) ||
            sName.find('/') != std::string::npos)
            return {DataProblem::DAMAGED, DATA_LIST};
        const std::string sFile = std::string(DATA_DIRECTORY) + "/" + sName;
        struct stat tInfo;
        if (stat((sDir + "/" + sFile).c_str(), &tInfo) != 0)
            return {DataProblem::MISSING, sFile};
        if (!file_matches(sDir + "/" + sFile, iCrc, iSize))
            return {DataProblem::DAMAGED, sFile};
        bAny = true;
    }
    if (!bAny) // an empty or unreadable list checks nothing
        return {DataProblem::DAMAGED, DATA_LIST};
    return {DataProblem::NONE, ""};
}

void check_data_files()
{
    const stDataCheck tCheck = find_data_problem(".");
    const char *pszFormat = nullptr;
    switch (tCheck.iProblem) {
    case DataProblem::NONE:
        return;
    case DataProblem::NO_DIRECTORY:
        pszFormat = NO_DIRECTORY_MESSAGE;
        break;
    case DataProblem::MISSING:
        pszFormat = MISSING_MESSAGE;
        break;
    case DataProblem::DAMAGED:
        pszFormat = DAMAGED_MESSAGE;
        break;
    }
    char szMessage[MESSAGE_SIZE];
    snprintf(szMessage, sizeof(szMessage), pszFormat, tCheck.sFile.c_str());
    error_message(szMessage);
}
