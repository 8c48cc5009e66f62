#include "workflow/item_id.h"

#include "util/text.h"

namespace quillane {
namespace {

constexpr std::string_view kSmallestItemId = "10000000000";

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::string itemIdCandidate(std::string_view text) {
    const std::string afterId = textAfterLast(text, "id=");
    std::size_t digits = 0;
    while (digits < afterId.size() && isDigit(afterId[digits])) {
        ++digits;
    }
    return afterId.substr(0, digits);
}

bool isDirectItemId(std::string_view candidate) {
    if (candidate.size() < kSmallestItemId.size()) {
        return false;
    }
    // Compare values as digit strings: ids longer than any integer type are still judged.
    std::size_t firstSignificant = 0;
    while (firstSignificant < candidate.size() && candidate[firstSignificant] == '0') {
        ++firstSignificant;
    }
    const std::string_view value = candidate.substr(firstSignificant);
    if (value.size() != kSmallestItemId.size()) {
        return value.size() > kSmallestItemId.size();
    }
    return value > kSmallestItemId;
}

}  // namespace quillane
