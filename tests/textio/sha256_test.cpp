// SHA-256 against the published test vectors (one, two and many blocks),
// and the run's date under SOURCE_DATE_EPOCH.
#include "textio/sha256.h"

#include <gtest/gtest.h>

#include "report/run_notes.h"

namespace sitedrain::testing {
namespace {

TEST(Sha256, PublishedVectors) {
  EXPECT_EQ(textio::sha256_hex(""),
            "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(textio::sha256_hex("abc"),
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(textio::sha256_hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  EXPECT_EQ(textio::sha256_hex(std::string(1000000, 'a')),
            "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(RunDate, SourceDateEpochOrTheClock) {
  EXPECT_EQ(report::run_date_text("1700000000", 0), "2023-11-14 22:13 UTC");
  EXPECT_EQ(report::run_date_text(nullptr, 86400), "1970-01-02 00:00 UTC");
  for (const char* bad : {"", "12x", "-5", "1e9", "99999999999999999999", "100000000000000000"})
    EXPECT_EQ(report::run_date_text(bad, 60), "1970-01-01 00:01 UTC") << bad;
}

}  // namespace
}  // namespace sitedrain::testing
