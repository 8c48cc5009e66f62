#include <gtest/gtest.h>

#include "util/text.h"

namespace quillane {
namespace {

TEST(TextBetween, CutsTheValueBetweenMarkers) {
    EXPECT_EQ(textBetween("a=1; lang=zh; b=2", "lang=", ";"), "zh");
}

}  // namespace
}  // namespace quillane
