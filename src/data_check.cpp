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

constexpr int SLICES = 8; // bytes the CRC takes at a time, one table each

// aaiCrcTables[0][b] is the CRC step of byte b; aaiCrcTables[k][b] that of
// byte b followed by k zero bytes, so that eight bytes are taken in one step.
using CrcTables = std::array<std::array<uint32_t, 256>, SLICES>;
CrcTables make_crc_tables()
{
    CrcTables aaiTables{};
    for (uint32_t i = 0; i < 256; i++) {
        uint32_t iCrc = i << TOP_BYTE_SHIFT;
        for (int b = 0; b < BITS_PER_BYTE; b++)
            iCrc = (iCrc & TOP_BIT) ? (iCrc << 1) ^ CRC_POLYNOMIAL : iCrc << 1;
        aaiTables[0][i] = iCrc;
    }
    for (int k = 1; k < SLICES; k++)
        for (uint32_t i = 0; i < 256; i++) {
            const uint32_t iPrevious = aaiTables[k - 1][i];
            aaiTables[k][i] = (iPrevious << BITS_PER_BYTE) ^ aaiTables[0][iPrevious >> TOP_BYTE_SHIFT];
        }
    return aaiTables;
}
const CrcTables aaiCrcTables = make_crc_tables();

uint32_t crc_step(uint32_t iCrc, unsigned char iByte)
{
    return (iCrc << BITS_PER_BYTE) ^ aaiCrcTables[0][((iCrc >> TOP_BYTE_SHIFT) ^ iByte) & 0xFF];
}

// The CRC after eight more bytes: the first four are folded into the CRC,
// and each of the eight goes through the table of the bytes that follow it.
uint32_t crc_eight(uint32_t iCrc, const unsigned char *p)
{
    const uint32_t iFirst = iCrc ^ (uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 |
                                    uint32_t(p[2]) << 8 | uint32_t(p[3]));
    return aaiCrcTables[7][iFirst >> 24] ^ aaiCrcTables[6][(iFirst >> 16) & 0xFF] ^
           aaiCrcTables[5][(iFirst >> 8) & 0xFF] ^ aaiCrcTables[4][iFirst & 0xFF] ^
           aaiCrcTables[3][p[4]] ^ aaiCrcTables[2][p[5]] ^ aaiCrcTables[1][p[6]] ^
           aaiCrcTables[0][p[7]];
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
    size_t i = 0;
    for (; i + SLICES <= iSize; i += SLICES)
        iCrc = crc_eight(iCrc, pBytes + i);
    for (; i < iSize; i++)
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
