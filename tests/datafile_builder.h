// Test support: small password-protected datafiles packed at test time with
// Allegro's dat tool, exactly as the build packs the game's data.
#pragma once
#include "main.h"

#include <allegro.h>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace datafile_builder {

inline std::string data_password()
{
    char szPassword[DATA_PASSWORD_SIZE];
    build_data_password(szPassword);
    return szPassword;
}

// A fresh directory under /tmp; the caller removes it.
inline std::string make_temp_dir(const std::string &sPrefix)
{
    std::string sTemplate = "/tmp/" + sPrefix + "_XXXXXX";
    return mkdtemp(sTemplate.data()) ? sTemplate : std::string();
}

inline void write_file(const std::string &sPath, const std::string &sBytes)
{
    std::ofstream(sPath, std::ios::binary) << sBytes;
}

inline std::string read_file(const std::string &sPath)
{
    std::ifstream tIn(sPath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(tIn), std::istreambuf_iterator<char>());
}

// Runs a command found on the PATH with its output discarded; true when it
// exited with status 0. Every argument is quoted for the shell.
inline bool run_quietly(const std::vector<std::string> &vArgs)
{
    std::string sCommand;
    for (const std::string &sArg : vArgs) {
        sCommand += " '";
        for (char c : sArg)
            sCommand += c == '\'' ? std::string("'\\''") : std::string(1, c);
        sCommand += "'";
    }
    return std::system((sCommand + " >/dev/null 2>&1").c_str()) == 0;
}

// A mono 16-bit WAV of iFrames frames of a constant level.
inline std::string wav_bytes(int iFrames, int16_t iLevel = 8000, int iRate = 44100)
{
    auto le = [](std::string &s, uint32_t v, int iBytes) {
        for (int i = 0; i < iBytes; i++)
            s.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
    };
    const uint32_t iData = static_cast<uint32_t>(iFrames) * 2;
    std::string s = "RIFF";
    le(s, 36 + iData, 4);
    s += "WAVEfmt ";
    le(s, 16, 4);
    le(s, 1, 2);         // PCM
    le(s, 1, 2);         // mono
    le(s, iRate, 4);     // frames per second
    le(s, iRate * 2, 4); // bytes per second
    le(s, 2, 2);         // bytes per frame
    le(s, 16, 2);        // bits per sample
    s += "data";
    le(s, iData, 4);
    for (int i = 0; i < iFrames; i++)
        le(s, static_cast<uint16_t>(iLevel), 2);
    return s;
}

// The objects of one datafile: raw bytes, and 24-bit bitmaps.
struct Contents {
    std::vector<std::pair<std::string, std::string>> vRaw;      // name, bytes
    std::vector<std::pair<std::string, BITMAP *>> vBitmaps;     // name, picture (not owned)
};

// Packs the contents into sOut with the password; true when dat succeeded.
inline bool pack(const std::string &sOut, const Contents &tContents,
                 const std::string &sPassword = data_password())
{
    const std::string sStage = sOut + ".sources";
    std::filesystem::create_directories(sStage + "/raw");
    std::filesystem::remove(sOut);
    const std::vector<std::string> vDat = {"dat", "-007", sPassword, "-c1", "-k", "-s1", sOut};
    std::vector<std::string> vArgs = vDat;
    if (!tContents.vRaw.empty()) {
        vArgs.push_back("-a");
        for (const auto &[sName, sBytes] : tContents.vRaw) {
            write_file(sStage + "/raw/" + sName, sBytes);
            vArgs.push_back(sStage + "/raw/" + sName);
        }
        vArgs.insert(vArgs.end(), {"-t", "DATA"});
        if (!run_quietly(vArgs))
            return false;
    }
    for (const auto &[sName, bmpPicture] : tContents.vBitmaps) {
        // dat reads a bitmap by its extension and keeps it in the name: rename it.
        const std::string sFile = sStage + "/" + sName + ".bmp";
        if (save_bitmap(sFile.c_str(), bmpPicture, nullptr) != 0)
            return false;
        vArgs = vDat;
        vArgs.insert(vArgs.end(), {"-a", sFile, "-t", "BMP", "-bpp", "24"});
        if (!run_quietly(vArgs))
            return false;
        vArgs = vDat;
        vArgs.insert(vArgs.end(), {sName + ".bmp", "NAME=" + sName});
        if (!run_quietly(vArgs))
            return false;
    }
    std::filesystem::remove_all(sStage);
    return true;
}

} // namespace datafile_builder
