#include <gtest/gtest.h>

#include "workflow/query_value.h"
#include "workflow/rebate_lookup.h"

namespace quillane {
namespace {

struct ItemIdCase {
    const char* source;
    const char* candidate;
    bool direct;
};

TEST(ItemIdRules, CandidateIsTheDigitRunAfterTheLastIdMarker) {
    const ItemIdCase cases[] = {
        {"http://item.taobao.com/item.htm?id=12345678901", "12345678901", true},
        {"http://item.taobao.com/item.htm?id=123456789012", "123456789012", true},  // today's 12-digit ids whole
        {"http://item.taobao.com/item.htm?id=12345678901&ns=1", "12345678901", true},
        {"http://item.taobao.com/item.htm?id=12345678901&skuid=5", "5", false},      // skuid= is the last id=
        {"http://item.taobao.com/item.htm?id=1234567890", "1234567890", false},      // 10 digits
        {"http://item.taobao.com/item.htm?id=01234567890", "01234567890", false},    // leading zero: too small
        {"id=10000000000", "10000000000", false},                                  // exactly the bound
        {"id=10000000001", "10000000001", true},
        {"id=1234567a8901", "1234567", false},                                     // non-digit inside
        {"id=99999999999999999999999999999999", "99999999999999999999999999999999", true},
        {"id=00000000000000000000000001", "00000000000000000000000001", false},    // long but small value
        {"12345678901", "", false},                                                // a bare id has no id=
        {"", "", false},
        {"?ID=12345678901", "", false},                                            // the marker is exact-case
    };
    for (const ItemIdCase& c : cases) {
        SCOPED_TRACE(c.source);
        EXPECT_EQ(itemIdCandidate(c.source), c.candidate);
        EXPECT_EQ(isDirectItemId(itemIdCandidate(c.source)), c.direct);
    }
}

TEST(QueryValue, KeepsUnreservedBytesAndEncodesEverythingElse) {
    const std::pair<const char*, const char*> cases[] = {
        {"1234567890", "1234567890"},
        {"aZ-._~", "aZ-._~"},
        {"1&adzoneid=999", "1%26adzoneid%3D999"},
        {"a b#c?d/e:f", "a%20b%23c%3Fd%2Fe%3Af"},
        {"x\r\ny", "x%0D%0Ay"},
        {"\xD6\xD0", "%D6%D0"},
        {"", ""},
    };
    for (const auto& [value, encoded] : cases) {
        EXPECT_EQ(queryValue(value), encoded);
    }
}

TEST(SuccessMarker, CountsAnywhereInTheReply) {
    const std::string marker = "message\":null,\"ok\":true},\"ok\":true";
    EXPECT_TRUE(isSuccessfulReply(marker));  // at the very first character
    EXPECT_TRUE(isSuccessfulReply("{\"data\":{},\"" + marker + "}"));
    EXPECT_FALSE(isSuccessfulReply("{\"message\":\"nologin\",\"ok\":false}"));
    EXPECT_FALSE(isSuccessfulReply(""));
}

}  // namespace
}  // namespace quillane
