// The start-up check of the datafiles against the build's cksum list.
#include "support.h"
#include "data_check.h"
#include "datafile_builder.h"

namespace db = datafile_builder;

namespace {
uint32_t crc_of(const std::string &sBytes)
{
    PosixCrc tCrc;
    tCrc.add(reinterpret_cast<const unsigned char *>(sBytes.data()), sBytes.size());
    return tCrc.finish();
}

std::string list_line(const std::string &sBytes, const std::string &sName)
{
    return std::to_string(crc_of(sBytes)) + " " + std::to_string(sBytes.size()) + " " + sName + "\n";
}
} // namespace

// The values the cksum command prints for these bytes.
TEST(DataCheck, CrcIsTheCksumCommands)
{
    EXPECT_EQ(crc_of(""), 4294967295u);
    EXPECT_EQ(crc_of("123456789"), 930766865u);
}

TEST(DataCheck, FindsTheFirstProblemAndNamesItsFile)
{
    const std::string sA = "first datafile's bytes", sB = std::string(3000, 'b');
    const std::string sGoodList = list_line(sA, "a.dat") + list_line(sB, "b.dat");
    // pszList null: no list, else the list ("good": the right one); sB: b.dat's
    // bytes, "-" leaves it out.
    struct Case { const char *pszCase; bool bDirectory; const char *pszList; std::string sB;
                  DataProblem iProblem; const char *pszFile; };
    const Case atCases[] = {
        {"intact", true, "good", sB, DataProblem::NONE, ""},
        {"no data directory", false, "good", sB, DataProblem::NO_DIRECTORY, "data"},
        {"no list", true, nullptr, sB, DataProblem::MISSING, "data/datafiles.cksum"},
        {"datafile missing", true, "good", "-", DataProblem::MISSING, "data/b.dat"},
        {"cut short", true, "good", sB.substr(0, sB.size() - 1), DataProblem::DAMAGED, "data/b.dat"},
        {"a byte changed", true, "good", "c" + sB.substr(1), DataProblem::DAMAGED, "data/b.dat"},
        {"malformed list", true, "12 34\n", sB, DataProblem::DAMAGED, "data/datafiles.cksum"},
    };
    for (const auto &tCase : atCases) {
        SCOPED_TRACE(tCase.pszCase);
        const std::string sDir = db::make_temp_dir("tvx_datacheck");
        ASSERT_FALSE(sDir.empty());
        if (tCase.bDirectory) {
            std::filesystem::create_directory(sDir + "/data");
            db::write_file(sDir + "/data/a.dat", sA);
            if (tCase.sB != "-")
                db::write_file(sDir + "/data/b.dat", tCase.sB);
            if (tCase.pszList)
                db::write_file(sDir + "/" + DATA_LIST,
                               std::string(tCase.pszList) == "good" ? sGoodList : tCase.pszList);
        }
        const stDataCheck tCheck = find_data_problem(sDir);
        EXPECT_EQ(tCheck.iProblem, tCase.iProblem);
        EXPECT_EQ(tCheck.sFile, tCase.pszFile);
        std::filesystem::remove_all(sDir);
    }
}
