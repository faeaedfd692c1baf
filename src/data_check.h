// The start-up check of the datafiles against the list the build wrote beside
// them, data/datafiles.cksum: one line "CRC SIZE NAME" per datafile, as the
// POSIX cksum command prints it. Allegro reads a datafile cut short without
// complaint, so a file that is missing, shorter, longer or changed must be
// caught before anything is loaded from it.
#pragma once
#include <cstdint>
#include <string>

constexpr char DATA_DIRECTORY[] = "data";
constexpr char DATA_LIST[] = "data/datafiles.cksum";

// The POSIX cksum CRC of iSize bytes: the bytes, then their count, most
// significant bit first.
class PosixCrc {
public:
    void add(const unsigned char *pBytes, size_t iSize);
    uint32_t finish() const; // of everything added so far
private:
    uint32_t iCrc = 0;
    uint64_t iLength = 0; // bytes added
};

enum class DataProblem { NONE, NO_DIRECTORY, MISSING, DAMAGED };

// The first problem of the data under sDir (a directory holding data/), and
// the file it concerns, relative to sDir (as the messages name it).
struct stDataCheck {
    DataProblem iProblem;
    std::string sFile;
};
stDataCheck find_data_problem(const std::string &sDir);

// Ends the game with a message naming the file when the data in the current
// directory has a problem.
void check_data_files();
