// The checksum of the start-up check of the datafiles, as the cksum command
// writes it in the build's list. (A damaged or unlisted datafile at start-up
// is driven end to end.)
#include "support.h"
#include "data_check.h"

namespace {
uint32_t crc_of(const std::string &sBytes)
{
    PosixCrc tCrc;
    tCrc.add(reinterpret_cast<const unsigned char *>(sBytes.data()), sBytes.size());
    return tCrc.finish();
}
} // namespace

// The values the cksum command prints for these bytes.
TEST(DataCheck, CrcIsTheCksumCommands)
{
    EXPECT_EQ(crc_of(""), 4294967295u);
    EXPECT_EQ(crc_of("123456789"), 930766865u);
}
