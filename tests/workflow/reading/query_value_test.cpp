#include <gtest/gtest.h>

#include "workflow/reading/query_value.h"

namespace quillane {
namespace {

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

}  // namespace
}  // namespace quillane
